#include "TfrmTovraRichDialogForm.h"

#include "editor/TRichEditStrings.h"
#include "editor/TTovraRichEdit.h"
#include "framework/FileDialogs.h"
#include "framework/MessageBoxes.h"
#include "framework/TovraException.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

namespace {

const QString kTitle = QStringLiteral("TovraRichEdit Demo");
const QString kUntitled = QStringLiteral("Untitled");

// A status panel of a fixed width.
QLabel* makePanel(QStatusBar* bar, int width, Qt::Alignment alignment) {
    auto* panel = new QLabel(bar); // the status bar owns it
    panel->setFixedWidth(width);
    panel->setAlignment(alignment | Qt::AlignVCenter);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    bar->addWidget(panel);
    return panel;
}

} // namespace

TfrmTovraRichDialogForm::TfrmTovraRichDialogForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmTovraRichDialogForm"));
    QFont face(QStringLiteral("Segoe UI"));
    face.setPointSize(8);
    setFont(face);
    setMinimumSize(640, 300);

    FTovraRichEdit = new TTovraRichEdit(this); // the window owns its editor
    FTovraRichEdit->setObjectName(QStringLiteral("TovraRichEdit"));
    FTovraRichEdit->SetAutoURLDetect(true);
    FTovraRichEdit->SetBorderStyle(bsNone);
    QFont editorFont(QStringLiteral("Segoe UI"));
    editorFont.setPixelSize(13);
    FTovraRichEdit->SetFont(editorFont);
    FTovraRichEdit->SetHideScrollBars(false);
    FTovraRichEdit->SetScrollBars(ssBoth);
    FTovraRichEdit->SetOnChange([this](QObject*) { TovraRichEditChange(); });
    FTovraRichEdit->SetOnSelectionChange([this](QObject*) { TovraRichEditSelectionChange(); });
    FTovraRichEdit->SetOnDropFile([this](QObject*, const QString& name, bool& accept) {
        TovraRichEditDropFile(name, accept);
    });
    setCentralWidget(FTovraRichEdit);

    QStatusBar* bar = statusBar();
    bar->setFixedHeight(19);
    bar->setSizeGripEnabled(true);
    FPanels[0] = makePanel(bar, 70, Qt::AlignHCenter);
    FPanels[1] = makePanel(bar, 70, Qt::AlignHCenter);
    FPanels[2] = makePanel(bar, 50, Qt::AlignLeft);

    buildMenus();

    // The client area is 810 x 536, centred on the screen.
    resize(810, 536 + menuBar()->sizeHint().height() + bar->height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    } else {
        move(272, 182);
    }
    FTovraRichEdit->setFocus();
}

TfrmTovraRichDialogForm::~TfrmTovraRichDialogForm() = default;

void TfrmTovraRichDialogForm::buildMenus() {
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    FvwWordWrap = view->addAction(QStringLiteral("WordWrap"));
    FvwWordWrap->setCheckable(true);
    connect(FvwWordWrap, &QAction::triggered, this, [this] { vwWordWrapClick(); });

    QMenu* measurement = view->addMenu(QStringLiteral("Measurement"));
    auto* group = new QActionGroup(measurement); // the menu owns it
    const std::pair<QString, TTovraUnits> items[] = {
        {QStringLiteral("Points"), unPoints},
        {QStringLiteral("Inches"), unInches},
        {QStringLiteral("Millimeters"), unMillimeters}};
    for (int i = 0; i < 3; ++i) {
        QAction* item = measurement->addAction(items[i].first);
        item->setCheckable(true);
        item->setData(int(items[i].second)); // the item's tag
        group->addAction(item);
        FMeasurementItems[i] = item;
    }
    connect(group, &QActionGroup::triggered, this, [this](QAction* a) { Measurement1Click(a); });
}

QString TfrmTovraRichDialogForm::documentFolder() const {
    return QCoreApplication::applicationDirPath();
}

void TfrmTovraRichDialogForm::FormCreate(const QStringList& arguments) {
    FvwWordWrap->setChecked(FTovraRichEdit->WordWrap());
    for (QAction* item : FMeasurementItems)
        if (item->data().toInt() == int(FTovraRichEdit->Measurement())) {
            item->setChecked(true);
            break;
        }
    SetFileName(kUntitled);
    if (!arguments.isEmpty() && !arguments.first().isEmpty())
        OpenFile(arguments.first());
}

// ---- The document ----

void TfrmTovraRichDialogForm::SetFileName(const QString& name) {
    FFileName = name;
    const QString shown = QFileInfo(name).fileName();
    setWindowTitle(QStringLiteral("%1 - [%2]").arg(kTitle, shown));
    if (name != kUntitled)
        FTovraRichEdit->SetTitle(shown);
    TovraRichEditChange();
}

void TfrmTovraRichDialogForm::OpenFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return;
    FFileName = info.absoluteFilePath();
    try {
        FTovraRichEdit->Lines()->LoadFromFile(FFileName);
    } catch (const ETovraError& error) {
        MessageDlg(error.Message(), mtError, {mbOK}, this);
        return;
    }
    FTovraRichEdit->SetModified(false);
    TovraRichEditChange();
    SetFileName(FFileName);
}

bool TfrmTovraRichDialogForm::SaveDocument() {
    if (FFileName.isEmpty() || FFileName == kUntitled)
        return SaveDocumentAs();
    try {
        FTovraRichEdit->Lines()->SaveToFile(FFileName);
    } catch (const ETovraError& error) {
        MessageDlg(error.Message(), mtError, {mbOK}, this);
        return false;
    }
    FTovraRichEdit->SetModified(false);
    TovraRichEditChange();
    return true;
}

bool TfrmTovraRichDialogForm::SaveDocumentAs() {
    QString name = PromptForFileName(TFileDialogKind::Save, this, QStringLiteral("Saves As..."),
                                     documentFolder(),
                                     QStringLiteral("Rich Text Format (*.rtf);;Text (*.txt)"));
    if (name.isEmpty())
        return false;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".rtf");
    FTovraRichEdit->SetTitle(QFileInfo(name).fileName());
    try {
        FTovraRichEdit->Lines()->SaveToFile(name);
    } catch (const ETovraError& error) {
        MessageDlg(error.Message(), mtError, {mbOK}, this);
        return false;
    }
    FTovraRichEdit->SetModified(false);
    SetFileName(QFileInfo(name).absoluteFilePath());
    return true;
}

bool TfrmTovraRichDialogForm::CheckSave() {
    if (!FTovraRichEdit->Modified())
        return true;
    QString prompt = QStringLiteral("Save changes");
    const QString name = FFileName.isEmpty() ? FTovraRichEdit->Title() : FFileName;
    if (!name.isEmpty())
        prompt = QStringLiteral("%1 to %2?").arg(prompt, name);
    switch (MessageDlg(prompt, mtConfirmation, mbYesNoCancel, this)) {
    case mrYes:
        return SaveDocument();
    case mrNo:
        return true;
    default:
        return false;
    }
}

void TfrmTovraRichDialogForm::closeEvent(QCloseEvent* e) {
    if (CheckSave())
        e->accept();
    else
        e->ignore();
}

// ---- The editor's events ----

void TfrmTovraRichDialogForm::TovraRichEditSelectionChange() {
    const QPoint at = FTovraRichEdit->CursorPos();
    FPanels[0]->setText(QStringLiteral("%1: %2").arg(at.y()).arg(at.x()));
    TovraRichEditChange();
}

void TfrmTovraRichDialogForm::TovraRichEditChange() {
    FPanels[1]->setText(FTovraRichEdit->Modified() ? QStringLiteral("Modified") : QString());
}

void TfrmTovraRichDialogForm::TovraRichEditDropFile(const QString& fileName, bool& accept) {
    accept = false; // the window stays where it is
    if (CheckSave())
        OpenFile(fileName);
}

// ---- View ----

void TfrmTovraRichDialogForm::vwWordWrapClick() {
    const int32_t selStart = FTovraRichEdit->SelStart();
    FTovraRichEdit->SetWordWrap(FvwWordWrap->isChecked());
    TovraRichEditChange();
    FTovraRichEdit->SetSelStart(selStart);
}

void TfrmTovraRichDialogForm::Measurement1Click(QAction* item) {
    item->setChecked(true);
    FTovraRichEdit->SetMeasurement(TTovraUnits(item->data().toInt()));
}
