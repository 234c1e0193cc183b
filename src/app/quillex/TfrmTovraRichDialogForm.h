#pragma once

#include <QMainWindow>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class TTovraRichEdit;

// The program's main window: one editor, the status bar with the line and column and the
// modified state, the document's file name in the caption, the save-changes question before the
// document is replaced or the program ends, and the View switches.
class TfrmTovraRichDialogForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmTovraRichDialogForm(QWidget* parent = nullptr);
    ~TfrmTovraRichDialogForm() override;

    TTovraRichEdit* TovraRichEdit() const { return FTovraRichEdit; }
    // The three status panels: line and column, the modified state, and one left empty.
    QLabel* StatusPanel(int index) const { return FPanels[index]; }
    const QString& FileName() const { return FFileName; }
    QAction* WordWrapItem() const { return FvwWordWrap; }
    QAction* MeasurementItem(int index) const { return FMeasurementItems[index]; }

    // Runs the start-up: the View ticks, the caption, and the file named on the command line.
    void FormCreate(const QStringList& arguments);

    // Whether the document may be replaced or closed: asks to save a modified document.
    bool CheckSave();
    void OpenFile(const QString& path);
    void SetFileName(const QString& name);
    // Saves the document under its name, asking for one while it is "Untitled"; answers whether
    // it was saved.
    bool SaveDocument();
    bool SaveDocumentAs();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void TovraRichEditSelectionChange();
    void TovraRichEditChange();
    void TovraRichEditDropFile(const QString& fileName, bool& accept);
    void vwWordWrapClick();
    void Measurement1Click(QAction* item);
    void buildMenus();
    QString documentFolder() const;

    TTovraRichEdit* FTovraRichEdit = nullptr; // a child of this window
    QLabel* FPanels[3] = {};
    QAction* FvwWordWrap = nullptr;
    QAction* FMeasurementItems[3] = {};
    QString FFileName;
};
