// The rich editor: construction, the engine window's creation and re-creation, properties and
// operations.

#include "editor/TTovraCustomRichEdit.h"

#include "editor/RichEditModule.h"
#include "editor/TTovraParaAttributes.h"
#include "editor/TTovraRichEditWindow.h"
#include "engine/objects/RichEditOle.h"
#include "engine/surface/RichEditEngine.h"
#include "framework/TColor.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QScrollBar>

using namespace richedit;

namespace {

constexpr uint32_t kEditorEventMask = ENM_CHANGE | ENM_SCROLL | ENM_MOUSEEVENTS |
                                      ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED |
                                      ENM_CORRECTTEXT | ENM_OBJECTPOSITIONS | ENM_LINK;
static_assert(kEditorEventMask == 107872261);

COLORREF toColorRef(const QColor& c) {
    return COLORREF(QColorToColor(c));
}

uint32_t langFlags(TTovraRichLangOptions options) {
    uint32_t flags = 0;
    if (options.contains(rlAutoKeyboard))
        flags |= IMF_AUTOKEYBOARD;
    if (options.contains(rlAutoFont))
        flags |= IMF_AUTOFONT;
    if (options.contains(rlImeCancelComplete))
        flags |= IMF_IMECANCELCOMPLETE;
    if (options.contains(rlImeAlwaysSendNotify))
        flags |= IMF_IMEALWAYSSENDNOTIFY;
    return flags;
}

// Clears the lines object's PlainText flag for a re-creation's save or load and puts it back
// however that ends: the document crosses a re-creation as rich text whatever the text mode.
class RichTextWhileRecreating {
public:
    explicit RichTextWhileRecreating(TRichEditStrings& lines)
        : FLines(lines), FPlainText(lines.PlainText()) {
        lines.SetPlainText(false);
    }
    ~RichTextWhileRecreating() { FLines.SetPlainText(FPlainText); }
    RichTextWhileRecreating(const RichTextWhileRecreating&) = delete;
    RichTextWhileRecreating& operator=(const RichTextWhileRecreating&) = delete;

private:
    TRichEditStrings& FLines;
    bool FPlainText;
};

// The control's font as the framework's font object.
TFont controlFont(const TTovraBaseCustomRichEdit& edit) {
    return TFont(edit.Font(), QColorToColor(edit.FontColor()));
}

} // namespace

TTovraCustomRichEdit::TTovraCustomRichEdit(QWidget* parent) : TTovraBaseCustomRichEdit(parent) {
    RichEditModule::Init();
    FWantTabs = true;
    FWantReturns = true;
    FSelAttributes = std::make_unique<TTovraTextAttributes>(this, atSelected);
    FDefAttributes = std::make_unique<TTovraTextAttributes>(this, atDefaultText);
    FWordAttributes = std::make_unique<TTovraTextAttributes>(this, atWord);
    FParagraph = std::make_unique<TTovraParaAttributes>(this);
    resize(185, 89);
}

TTovraCustomRichEdit::~TTovraCustomRichEdit() {
    // The window goes while this editor still hears its last notifications.
    if (HandleAllocated()) {
        CloseOleObjects();
        TTovraBaseCustomRichEdit::DestroyWnd();
        FRichEditOle = nullptr;
    }
    FSelAttributes.reset();
    FDefAttributes.reset();
    FWordAttributes.reset();
    FParagraph.reset();
}

bool TTovraCustomRichEdit::windowAndVersion(int atLeast) {
    return HandleAllocated() && RichEditVersion() >= atLeast;
}

// ---- The window ----

void TTovraCustomRichEdit::CreateWnd() {
    const bool modified = Modified();
    TTovraBaseCustomRichEdit::CreateWnd();
    EngineWindow()->SetEditor(this);
    if (FFontAssigned) {
        const TFont font = controlFont(*this);
        FDefAttributes->Assign(&font);
    }
    RichEditEngine& e = *Engine();
    e.EM_SETEVENTMASK(kEditorEventMask);
    e.EM_SETBKGNDCOLOR(false, toColorRef(BackgroundColor()));
    if (RichEditVersion() >= 2) {
        e.EM_AUTOURLDETECT(FAutoURLDetect);
        FUndoLimit = e.EM_SETUNDOLIMIT(FUndoLimit);
        e.EM_SETLANGOPTIONS(langFlags(FLangOptions));
    }
    if (FAllowObjects) {
        FRichEditOle = &e.EM_GETOLEINTERFACE();
        UpdateOleHostNames();
    }
    e.EM_SETTEXTMODE(PlainText() ? (TM_PLAINTEXT | TM_SINGLECODEPAGE)
                                 : (TM_RICHTEXT | TM_MULTICODEPAGE));
    if (FMemStream) {
        // The document saved before the window was destroyed comes back as rich text.
        const std::unique_ptr<QBuffer> saved = std::move(FMemStream);
        RichTextWhileRecreating rich(*FRichEditStrings);
        FRichEditStrings->LoadFromStream(*saved);
    }
    e.EM_SETMODIFY(modified);
    applyAlignment();
    connectScrollEvents();
    SetEditRect();
    FRecreateInProcess = false;
}

void TTovraCustomRichEdit::DestroyWnd() {
    if (!HandleAllocated())
        return;
    FRecreateInProcess = true;
    // Save the whole document as rich text, whatever the text mode.
    try {
        FMemStream = std::make_unique<QBuffer>();
        FMemStream->open(QIODevice::ReadWrite);
        RichTextWhileRecreating rich(*FRichEditStrings);
        FRichEditStrings->SaveToStream(*FMemStream);
        FMemStream->seek(0);
    } catch (...) {
        // The window stays as it is, with its document.
        FMemStream.reset();
        FRecreateInProcess = false;
        throw;
    }
    CloseOleObjects();
    TTovraBaseCustomRichEdit::DestroyWnd(); // keeps the modified flag for the next window
    FRichEditOle = nullptr;
}

void TTovraCustomRichEdit::changeEvent(QEvent* e) {
    if (e->type() == QEvent::LayoutDirectionChange) {
        HandleNeeded();
        TTovraBaseCustomRichEdit::changeEvent(e);
        const TTovraParaAlignment alignment = FAlignment == taCenter         ? paCenter
                                              : FAlignment == taRightJustify ? paRightJustify
                                                                             : paLeftJustify;
        Paragraph().SetAlignment(alignment);
        return;
    }
    TTovraBaseCustomRichEdit::changeEvent(e);
}

void TTovraCustomRichEdit::applyAlignment() {
    // A centred or right-aligned edit style sets the alignment of a new, empty document.
    if (FAlignment == taLeftJustify || Engine()->WM_GETTEXTLENGTH() != 0)
        return;
    PARAFORMAT2 pf;
    pf.dwMask = PFM_ALIGNMENT;
    pf.wAlignment = FAlignment == taCenter ? PFA_CENTER : PFA_RIGHT;
    Engine()->EM_SETPARAFORMAT(pf);
    Engine()->EM_SETMODIFY(false);
}

void TTovraCustomRichEdit::connectScrollEvents() {
    // OnVScroll and OnHScroll follow a person's use of the scroll bars, after the bar moved.
    auto* window = EngineWindow();
    connect(window->verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (FOnVScroll)
                    FOnVScroll(this);
            },
            Qt::QueuedConnection);
    });
    connect(window->horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this](int) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (FOnHScroll)
                    FOnHScroll(this);
            },
            Qt::QueuedConnection);
    });
}

void TTovraCustomRichEdit::ApplyWindowStyle() {
    TTovraBaseCustomRichEdit::ApplyWindowStyle();
    if (EngineWindow())
        Engine()->EM_HIDESELECTION(FHideSelection, true);
}

void TTovraCustomRichEdit::SetEditRect() {
    if (!HandleAllocated())
        return;
    // The text fills the window.
    Engine()->EM_SETRECT(EngineWindow()->defaultFormatRect());
}

void TTovraCustomRichEdit::WindowResized() {
    SetEditRect();
}

// ---- Virtual steps ----

bool TTovraCustomRichEdit::CanPaste() {
    return HandleAllocated() && EngineWindow()->EM_CANPASTE(0);
}

QColor TTovraCustomRichEdit::BackgroundColor() {
    return FColor;
}

void TTovraCustomRichEdit::ColorChanged() {
    if (HandleAllocated())
        Engine()->EM_SETBKGNDCOLOR(false, toColorRef(BackgroundColor()));
}

void TTovraCustomRichEdit::FontChanged() {
    // A font set before the window exists reaches the engine when the window is created.
    FFontAssigned = true;
    const TFont font = controlFont(*this);
    FDefAttributes->Assign(&font);
}

void TTovraCustomRichEdit::BeforeStreamSave(QIODevice&) {
    if (FRecreateInProcess)
        return;
    FTextEmpty = HandleAllocated() && Engine()->WM_GETTEXTLENGTH() == 0;
}

void TTovraCustomRichEdit::AfterStreamSave() {
    if (FRecreateInProcess)
        return;
    bool skipDefaultBehaviour = false;
    if (FOnAfterSave)
        FOnAfterSave(this, skipDefaultBehaviour);
    if (!skipDefaultBehaviour && FTextEmpty && HandleAllocated()) {
        SelectAll();
        Engine()->WM_CLEAR();
    }
}

void TTovraCustomRichEdit::BeforeStreamLoad(QIODevice&) {}

void TTovraCustomRichEdit::AfterStreamLoad() {}

// ---- Properties ----

void TTovraCustomRichEdit::SetAllowObjects(bool value) {
    if (FAllowObjects == value)
        return;
    FAllowObjects = value;
    RecreateWnd();
}

bool TTovraCustomRichEdit::AutoURLDetect() {
    if (!windowAndVersion(2))
        return FAutoURLDetect;
    return Engine()->EM_GETAUTOURLDETECT();
}

void TTovraCustomRichEdit::SetAutoURLDetect(bool value) {
    if (FAutoURLDetect == value)
        return;
    FAutoURLDetect = value;
    if (windowAndVersion(2)) {
        Engine()->EM_AUTOURLDETECT(value);
        RecreateWnd();
    }
}

bool TTovraCustomRichEdit::CanRedo() {
    return windowAndVersion(2) && Engine()->EM_CANREDO();
}

void TTovraCustomRichEdit::SetHideSelection(bool value) {
    if (FHideSelection == value)
        return;
    FHideSelection = value;
    HandleNeeded();
    Engine()->EM_HIDESELECTION(value, true);
}

void TTovraCustomRichEdit::SetHideScrollBars(bool value) {
    if (FHideScrollBars == value)
        return;
    FHideScrollBars = value;
    RecreateWnd();
}

TTovraRichLangOptions TTovraCustomRichEdit::LanguageOptions() {
    if (!windowAndVersion(2))
        return FLangOptions;
    const uint32_t flags = Engine()->EM_GETLANGOPTIONS();
    TTovraRichLangOptions options;
    if (flags & IMF_AUTOKEYBOARD)
        options += rlAutoKeyboard;
    if (flags & IMF_AUTOFONT)
        options += rlAutoFont;
    if (flags & IMF_IMECANCELCOMPLETE)
        options += rlImeCancelComplete;
    if (flags & IMF_IMEALWAYSSENDNOTIFY)
        options += rlImeAlwaysSendNotify;
    return options;
}

void TTovraCustomRichEdit::SetLanguageOptions(TTovraRichLangOptions value) {
    FLangOptions = value;
    if (windowAndVersion(2))
        Engine()->EM_SETLANGOPTIONS(langFlags(value));
}

void TTovraCustomRichEdit::SetPlainText(bool value) {
    if (PlainText() == value)
        return;
    FRichEditStrings->SetPlainText(value);
    try {
        RecreateWnd();
    } catch (...) {
        // The window could not be saved and stays as it was, in its old text mode.
        FRichEditStrings->SetPlainText(!value);
        throw;
    }
}

TTovraRedoUndoType TTovraCustomRichEdit::NextUndoAction() {
    if (!windowAndVersion(2))
        return uidUnknown;
    return TTovraRedoUndoType(Engine()->EM_GETUNDONAME());
}

TTovraRedoUndoType TTovraCustomRichEdit::NextRedoAction() {
    if (!windowAndVersion(2))
        return uidUnknown;
    return TTovraRedoUndoType(Engine()->EM_GETREDONAME());
}

TTovraRichSelectionType TTovraCustomRichEdit::SelectionType() {
    if (!HandleAllocated())
        return {};
    // SEL_TEXT, SEL_OBJECT, SEL_MULTICHAR and SEL_MULTIOBJECT are bits 0 to 3, as the set's.
    return TTovraRichSelectionType::fromBits(Engine()->EM_SELECTIONTYPE() & 0xF);
}

void TTovraCustomRichEdit::SetTitle(const QString& value) {
    if (FTitle == value)
        return;
    FTitle = value;
    UpdateOleHostNames();
}

void TTovraCustomRichEdit::SetUndoLimit(int32_t value) {
    if (FUndoLimit == value)
        return;
    FUndoLimit = value;
    if (windowAndVersion(2))
        FUndoLimit = Engine()->EM_SETUNDOLIMIT(value);
}

int32_t TTovraCustomRichEdit::Version() const {
    return RichEditVersion();
}

TTovraZoom TTovraCustomRichEdit::Zoom() {
    if (!windowAndVersion(3))
        return FZoom;
    int32_t n = 0, d = 0;
    Engine()->EM_GETZOOM(n, d);
    if (n == d)
        return 0;
    if (d < n)
        return TTovraZoom(std::clamp(RoundHalfEven(double(n) / d), 0, int32_t(kMaxZoom)));
    return TTovraZoom(std::clamp(-RoundHalfEven(double(d) / n), int32_t(kMinZoom), 0));
}

void TTovraCustomRichEdit::SetZoom(TTovraZoom value) {
    value = TTovraZoom(std::clamp<int>(value, kMinZoom, kMaxZoom));
    if (!windowAndVersion(3)) {
        FZoom = value;
        return;
    }
    if (value == FZoom)
        return;
    FZoom = value;
    if (value == 0)
        Engine()->EM_SETZOOM(1, 1);
    else if (value > 0)
        Engine()->EM_SETZOOM(value, 1);
    else
        Engine()->EM_SETZOOM(1, -value);
}

QPoint TTovraCustomRichEdit::CursorPos() {
    const int32_t s = SelStart();
    const int32_t line = Engine()->EM_EXLINEFROMCHAR(s);
    return QPoint(s - Engine()->EM_LINEINDEX(line) + 1, line + 1);
}

TTovraRichTypographyOptions TTovraCustomRichEdit::TypographyOptions() {
    HandleNeeded();
    return Engine()->EM_GETTYPOGRAPHYOPTIONS() == TO_ADVANCEDTYPOGRAPHY ? toAdvanced : toSimple;
}

void TTovraCustomRichEdit::SetTypographyOptions(TTovraRichTypographyOptions value) {
    HandleNeeded();
    RichEditEngine& e = *Engine();
    e.EM_SETTYPOGRAPHYOPTIONS(TO_ADVANCEDTYPOGRAPHY, ~TO_ADVANCEDTYPOGRAPHY);
    e.EM_SETTYPOGRAPHYOPTIONS(TO_SIMPLELINEBREAK, ~TO_SIMPLELINEBREAK);
    if (value == toSimple)
        e.EM_SETTYPOGRAPHYOPTIONS(TO_SIMPLELINEBREAK, TO_SIMPLELINEBREAK);
    else
        e.EM_SETTYPOGRAPHYOPTIONS(TO_ADVANCEDTYPOGRAPHY, TO_ADVANCEDTYPOGRAPHY);
}

int32_t TTovraCustomRichEdit::TopLineIndex() {
    HandleNeeded();
    return Engine()->EM_GETFIRSTVISIBLELINE();
}

void TTovraCustomRichEdit::SetTopLineIndex(int32_t value) {
    const int32_t first = TopLineIndex();
    if (value == first)
        return;
    ScrollByLines(value - first);
    SetSelStart(Engine()->EM_LINEINDEX(value));
    SetSelLength(0);
}

void TTovraCustomRichEdit::SetAcceptDropFiles(bool value) {
    FAcceptDropFiles = value;
}

void TTovraCustomRichEdit::SetSelLength(int32_t value) {
    HandleNeeded();
    CHARRANGE r;
    Engine()->EM_EXGETSEL(r);
    Engine()->EM_EXSETSEL({r.cpMin, r.cpMin + value});
    Engine()->EM_SCROLLCARET();
}

QString TTovraCustomRichEdit::SelText() {
    QString buffer;
    GetSelTextBuf(buffer, SelLength() + 1);
    return buffer;
}

QPoint TTovraCustomRichEdit::CaretPos() {
    HandleNeeded();
    CHARRANGE r;
    Engine()->EM_EXGETSEL(r);
    const int32_t line = Engine()->EM_EXLINEFROMCHAR(r.cpMax);
    return QPoint(r.cpMax - Engine()->EM_LINEINDEX(-1), line);
}

void TTovraCustomRichEdit::SetCaretPos(const QPoint& value) {
    HandleNeeded();
    const int32_t at = Engine()->EM_LINEINDEX(value.y()) + value.x();
    Engine()->EM_EXSETSEL({at, at});
}

// ---- Operations ----

int32_t TTovraCustomRichEdit::DoFindText(const QString& SearchStr, int32_t StartPos, int32_t Length,
                                         TTovraSearchTypes Options) {
    HandleNeeded();
    FINDTEXTW find;
    find.chrg.cpMin = StartPos;
    if (RichEditVersion() == 1 || Options.contains(stSearchDown))
        find.chrg.cpMax = StartPos + Length;
    else
        find.chrg.cpMax = std::max(0, StartPos - Length);
    find.lpstrText = SearchStr;
    uint32_t flags = 0;
    if (Options.contains(stWholeWord))
        flags |= FR_WHOLEWORD;
    if (Options.contains(stMatchCase))
        flags |= FR_MATCHCASE;
    if (Options.contains(stSearchDown))
        flags |= FR_DOWN;
    return Engine()->EM_FINDTEXT(flags, find);
}

int32_t TTovraCustomRichEdit::DoReplaceText(const QString& SearchStr, const QString& ReplaceStr,
                                            int32_t StartPos, int32_t Len,
                                            TTovraSearchTypes Options) {
    const int32_t p = DoFindText(SearchStr, StartPos, Len, Options);
    if (p < 0)
        return p;
    SetSelRange(p, int32_t(SearchStr.size()));
    Engine()->EM_REPLACESEL(true, ReplaceStr);
    const int32_t after = p + int32_t(ReplaceStr.size());
    Engine()->EM_EXSETSEL({after, after});
    return p;
}

int32_t TTovraCustomRichEdit::FindTextExt(const QString& SearchStr, int32_t StartPos,
                                          int32_t Length, TTovraSearchTypes Options) {
    return DoFindText(SearchStr, StartPos, Length, Options);
}

int32_t TTovraCustomRichEdit::ReplaceTextExt(const QString& SearchStr, const QString& ReplaceStr,
                                             int32_t StartPos, int32_t Len,
                                             TTovraSearchTypes Options) {
    return DoReplaceText(SearchStr, ReplaceStr, StartPos, Len, Options);
}

void TTovraCustomRichEdit::Clear() {
    // Protected text goes too: the engine's question is answered yes while the document empties.
    struct RestoreProtect {
        bool& flag;
        bool before;
        ~RestoreProtect() { flag = before; }
    } restore{FDefaultProtect, FDefaultProtect};
    FDefaultProtect = true;
    CloseOleObjects();
    HandleNeeded();
    Engine()->WM_SETTEXT(QString());
    SetModified(false);
}

QString TTovraCustomRichEdit::GetTextRange(int32_t StartPos, int32_t EndPos) {
    if (StartPos == 0 && EndPos == -1)
        return Text();
    if (StartPos < 0 || StartPos >= EndPos)
        return {};
    HandleNeeded();
    QString text;
    Engine()->EM_GETTEXTRANGE({StartPos, EndPos}, text);
    return text;
}

int32_t TTovraCustomRichEdit::GetSelTextBuf(QString& Buffer, int32_t BufSize) {
    HandleNeeded();
    // The buffer holds BufSize - 1 characters and the terminating zero.
    Buffer = Engine()->EM_GETSELTEXT().left(std::max(0, BufSize - 1));
    return int32_t(Buffer.size());
}

void TTovraCustomRichEdit::Redo() {
    HandleNeeded();
    Engine()->EM_REDO();
}

void TTovraCustomRichEdit::Undo() {
    HandleNeeded();
    Engine()->WM_UNDO();
}

void TTovraCustomRichEdit::SetSelRange(int32_t selStart, int32_t selLength) {
    if (HandleAllocated())
        Engine()->EM_EXSETSEL({selStart, selStart + selLength});
}

void TTovraCustomRichEdit::ScrollByLines(int32_t delta) {
    HandleNeeded();
    Engine()->EM_LINESCROLL(0, delta);
}

void TTovraCustomRichEdit::SynchronizeLines(TTovraCustomRichEdit* aControl) {
    if (aControl)
        ScrollByLines(aControl->TopLineIndex() - TopLineIndex());
}

void TTovraCustomRichEdit::CopyToClipboard() {
    HandleNeeded();
    EngineWindow()->WM_COPY();
}

void TTovraCustomRichEdit::CutToClipboard() {
    HandleNeeded();
    EngineWindow()->WM_CUT();
}

void TTovraCustomRichEdit::PasteFromClipboard() {
    HandleNeeded();
    EngineWindow()->WM_PASTE();
}

void TTovraCustomRichEdit::UpdateOleHostNames() {
    if (!HandleAllocated() || !FRichEditOle)
        return;
    QString application = QGuiApplication::applicationDisplayName().trimmed();
    if (application.isEmpty())
        application = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QString title = FTitle.trimmed();
    FRichEditOle->SetHostNames(application, title.isEmpty() ? application : FTitle);
}

void TTovraCustomRichEdit::CloseOleObjects() {
    if (!FRichEditOle)
        return;
    // From the last object to the first: closing one must not move the ones still to come.
    for (int32_t i = FRichEditOle->GetObjectCount() - 1; i >= 0; --i) {
        objects::REOBJECT object;
        if (FRichEditOle->GetObject(i, object, REO_GETOBJ_POLEOBJ) != S_OK || !object.poleobj)
            continue;
        if (object.dwFlags & REO_INPLACEACTIVE)
            FRichEditOle->InPlaceDeactivate();
        object.poleobj->Close(false);
    }
}

void TTovraCustomRichEdit::RegisterCombo(QComboBox* combo) {
    if (combo && std::find(FCombos.begin(), FCombos.end(), combo) == FCombos.end())
        FCombos.emplace_back(combo);
}

void TTovraCustomRichEdit::UnRegisterCombo(QComboBox* combo) {
    FCombos.erase(std::remove_if(FCombos.begin(), FCombos.end(),
                                 [&](const QPointer<QComboBox>& c) { return c == combo || !c; }),
                  FCombos.end());
}
