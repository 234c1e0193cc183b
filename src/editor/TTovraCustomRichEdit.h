#pragma once

#include "editor/TRichEditStrings.h"
#include "editor/TTovraBaseCustomRichEdit.h"
#include "editor/TTovraConversion.h"
#include "editor/TTovraParaAttributes.h"
#include "editor/TTovraTextAttributes.h"
#include "editor/TovraUnits.h"

#include <QBuffer>
#include <QComboBox>
#include <QPoint>
#include <QPointer>

#include <memory>
#include <vector>

// The rich editor: hosts the text engine's window and exposes it as a component with properties,
// events and operations. Every request reaches the engine through its message surface; every
// notification comes back through Notify.
namespace richedit::objects {
class RichEditOle;
}

class TTovraCustomRichEdit : public TTovraBaseCustomRichEdit {
    Q_OBJECT
public:
    explicit TTovraCustomRichEdit(QWidget* parent = nullptr);
    ~TTovraCustomRichEdit() override;

    // ---- Virtual steps ----
    virtual bool CanPaste();
    // The colour the engine paints behind the text.
    virtual QColor BackgroundColor();
    // Stream steps run by the lines object around saving and loading.
    virtual void BeforeStreamSave(QIODevice& Stream);
    virtual void AfterStreamSave();
    virtual void BeforeStreamLoad(QIODevice& Stream);
    virtual void AfterStreamLoad();

    // ---- Properties ----
    bool AllowObjects() const { return FAllowObjects; }
    void SetAllowObjects(bool value);
    bool AllowInPlace() const { return FAllowInPlace; }
    void SetAllowInPlace(bool value) { FAllowInPlace = value; }
    bool AutoURLDetect();
    void SetAutoURLDetect(bool value);
    bool AutoVerbMenu() const { return FAutoVerbMenu; }
    void SetAutoVerbMenu(bool value) { FAutoVerbMenu = value; }
    bool CanRedo();
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool value);
    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool value);
    TTovraRichLangOptions LanguageOptions();
    void SetLanguageOptions(TTovraRichLangOptions value);
    // The stream format of Lines and the engine's text mode; a change re-creates the window.
    bool PlainText() const { return FRichEditStrings->PlainText(); }
    void SetPlainText(bool value);
    // The document's lines; assigning a string list loads its text (Rich Text Format code gives
    // formatted text).
    TRichEditStrings* Lines() const { return FRichEditStrings.get(); }
    void SetLines(const TStrings* value);
    // The conversion class Lines uses while it has no converter of its own.
    TTovraConversionClass DefaultConverter() const { return FDefaultConverter; }
    void SetDefaultConverter(TTovraConversionClass value) { FDefaultConverter = value; }
    // The document as Rich Text Format code (as plain text when PlainText is set). Reading
    // runs the save steps and so raises OnAfterSave; writing replaces the document.
    QString RTFText();
    void SetRTFText(const QString& value);
    TTovraRedoUndoType NextUndoAction();
    TTovraRedoUndoType NextRedoAction();
    TTovraRichSelectionType SelectionType();
    const QString& Title() const { return FTitle; }
    void SetTitle(const QString& value);
    int32_t UndoLimit() const { return FUndoLimit; }
    void SetUndoLimit(int32_t value);
    int32_t Version() const;
    TTovraZoom Zoom();
    void SetZoom(TTovraZoom value);
    // X the 1-based column and Y the 1-based line of SelStart.
    QPoint CursorPos();
    TTovraRichTypographyOptions TypographyOptions();
    void SetTypographyOptions(TTovraRichTypographyOptions value);
    int32_t TopLineIndex();
    void SetTopLineIndex(int32_t value);
    TTovraUnits Measurement() const { return FMeasurement; }
    void SetMeasurement(TTovraUnits value) { FMeasurement = value; }
    bool AcceptDropFiles() const { return FAcceptDropFiles; }
    void SetAcceptDropFiles(bool value);
    bool ProtectLinks() const { return FProtectLinks; }
    void SetProtectLinks(bool value) { FProtectLinks = value; }
    // Whether an attempt to change protected text is allowed when no handler decides otherwise.
    bool DefaultProtect() const { return FDefaultProtect; }
    void SetDefaultProtect(bool value) { FDefaultProtect = value; }
    // True from the start of a window destruction until the end of the next window creation.
    bool RecreateInProcess() const { return FRecreateInProcess; }

    // The character formats of the selection, of the word at the caret and of new text, and
    // the paragraph format of the selected paragraphs. The setters copy the given object's
    // values into the editor's own object.
    TTovraTextAttributes& SelAttributes() const { return *FSelAttributes; }
    void SetSelAttributes(const TTovraTextAttributes& value) { FSelAttributes->Assign(&value); }
    TTovraTextAttributes& WordAttributes() const { return *FWordAttributes; }
    void SetWordAttributes(const TTovraTextAttributes& value) { FWordAttributes->Assign(&value); }
    TTovraTextAttributes& DefAttributes() const { return *FDefAttributes; }
    void SetDefAttributes(const TTovraTextAttributes& value) { FDefAttributes->Assign(&value); }
    TTovraParaAttributes& Paragraph() const { return *FParagraph; }

    // Setting the selection's length scrolls the caret into view.
    void SetSelLength(int32_t value) override;
    QString SelText() override;
    // The caret as a point: X the offset in its line, Y the line, both from 0.
    QPoint CaretPos();
    void SetCaretPos(const QPoint& value);

    // The engine's interface to its embedded objects, while the window exists.
    richedit::objects::RichEditOle* RichEditOle() const { return FRichEditOle; }

    // ---- Events ----
    const TNotifyEvent& OnSelectionChange() const { return FOnSelChange; }
    void SetOnSelectionChange(TNotifyEvent value) { FOnSelChange = std::move(value); }
    void SetOnResizeRequest(TRichEditResizeEvent value) { FOnResizeRequest = std::move(value); }
    void SetOnProtectChange(TRichEditProtectChange value) { FOnProtectChange = std::move(value); }
    void SetOnSaveClipboard(TRichEditSaveClipboard value) { FOnSaveClipboard = std::move(value); }
    void SetOnURLClick(TTovraRichURLClickEvent value) { FOnURLClick = std::move(value); }
    void SetOnLinkClick(TTovraRichURLClickEvent value) { FOnLinkClick = std::move(value); }
    void SetOnLinkMouseMove(TTovraLinkMouseMoveEvent value) { FOnLinkMouseMove = std::move(value); }
    void SetOnDropFile(TTovraRichDropFileEvent value) { FOnDropFile = std::move(value); }
    void SetOnVScroll(TNotifyEvent value) { FOnVScroll = std::move(value); }
    void SetOnHScroll(TNotifyEvent value) { FOnHScroll = std::move(value); }
    const TTovraRichHandleEvent& OnAfterSave() const { return FOnAfterSave; }
    void SetOnAfterSave(TTovraRichHandleEvent value) { FOnAfterSave = std::move(value); }
    void SetOnBeforeSave(TNotifyEvent value) { FOnBeforeSave = std::move(value); }

    // ---- Operations ----
    int32_t FindTextExt(const QString& SearchStr, int32_t StartPos, int32_t Length,
                        TTovraSearchTypes Options);
    int32_t ReplaceTextExt(const QString& SearchStr, const QString& ReplaceStr, int32_t StartPos,
                           int32_t Len, TTovraSearchTypes Options);
    void Clear();
    QString GetTextRange(int32_t StartPos, int32_t EndPos);
    // Copies at most BufSize characters of the selected text; answers the number copied.
    int32_t GetSelTextBuf(QString& Buffer, int32_t BufSize);
    void Redo();
    void Undo();
    void SetSelRange(int32_t SelStart, int32_t SelLength);
    void ScrollByLines(int32_t delta);
    void SynchronizeLines(TTovraCustomRichEdit* aControl);
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void UpdateOleHostNames();
    void CloseOleObjects();
    // The plain-text paste: the clipboard's text without its formatting.
    void PastePlainText();
    // One stream-out of the document (or the selection) straight into aStream, without a
    // converter; the engine's error is not examined.
    void CopyToStream(QIODevice& aStream, bool aSelection, bool aPlainText, bool aObjects,
                      bool aPlainRtf);
    // One stream-in from aStream's position, replacing the document (or the selection),
    // without a converter; the engine's error is not examined.
    void PasteFromStream(QIODevice& aStream, bool aSelection, bool aPlainText, bool aPlainRtf);
    // Registers a conversion class for a file extension (given without its dot) for every
    // editor; a later registration of an extension wins over earlier ones.
    static void RegisterConversionFormat(const QString& AExtension,
                                         TTovraConversionClass AConversionClass);

    // ---- Notification handling ----
    void DoSelectionChange();
    bool DoProtectChange(int32_t StartPos, int32_t EndPos);
    bool DoSaveClipboard(int32_t NumObjects, int32_t NumChars);
    void DoRequestResize(QRect& Rect);
    void DoURLClick(const QString& text, TMouseButton Button);
    void DoLinkClick(const QString& text, TMouseButton Button);
    bool DoDropFile(const QString& FileName);
    // The selection chain's hooks: refresh registered combo boxes and the ruler from the
    // selection.
    void UpdateCombos();
    void UpdateRulerIndents();
    void RegisterCombo(QComboBox* combo);
    void UnRegisterCombo(QComboBox* combo);

    // ---- Steps the engine window runs first (see TTovraRichEditWindow) ----
    bool WindowKeyDown(QKeyEvent* e);
    void WindowPaste();
    void WindowRButtonUp(const QPoint& pos);
    bool WindowDropFiles(const QStringList& paths);
    void WindowContextMenu(const QPoint& pos);
    void WindowResized();

signals:
    // A context menu is asked for at a screen point (the right button or the menu key).
    void ContextPopupRequested(const QPoint& globalPos);
    // The text changed in a batch of changes of Lines (told once, when the batch ends).
    void TextChanged();

protected:
    int32_t DoFindText(const QString& SearchStr, int32_t StartPos, int32_t Length,
                       TTovraSearchTypes Options) override;
    int32_t DoReplaceText(const QString& SearchStr, const QString& ReplaceStr, int32_t StartPos,
                          int32_t Len, TTovraSearchTypes Options) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Change() override;
    intptr_t WMNotify(richedit::NMHDR& header) override;
    void ColorChanged() override;
    // The control's font becomes the format of new text.
    void FontChanged() override;
    void ApplyWindowStyle() override;
    bool KeepScrollBars() const override { return !FHideScrollBars; }
    // Sends the format rectangle to the engine.
    virtual void SetEditRect();
    // A change of the reading direction sets the selection's paragraph alignment from
    // Alignment.
    void changeEvent(QEvent* e) override;

private:
    void handleLink(const richedit::ENLINK& link);
    void applyAlignment();
    void connectScrollEvents();
    void hoverCountdown();
    bool windowAndVersion(int atLeast);

    std::vector<QPointer<QComboBox>> FCombos;
    bool FAllowObjects = true;
    bool FAllowInPlace = true;
    bool FAutoURLDetect = false;
    bool FAutoVerbMenu = true;
    bool FHideSelection = true;
    bool FHideScrollBars = true;
    TTovraRichLangOptions FLangOptions{rlAutoFont};
    TTovraConversionClass FDefaultConverter = TTovraConversionClass::Of<TTovraConversion>();
    std::unique_ptr<QBuffer> FMemStream;
    std::unique_ptr<TTovraParaAttributes> FParagraph;
    std::unique_ptr<TRichEditStrings> FRichEditStrings = std::make_unique<TRichEditStrings>(this);
    QString FTitle;
    richedit::objects::RichEditOle* FRichEditOle = nullptr;
    int32_t FUndoLimit = 100;
    TTovraZoom FZoom = 0;
    std::unique_ptr<TTovraTextAttributes> FSelAttributes;
    std::unique_ptr<TTovraTextAttributes> FWordAttributes;
    std::unique_ptr<TTovraTextAttributes> FDefAttributes;
    // The control's font was set: every new window takes it as the format of new text.
    bool FFontAssigned = false;
    bool FDefaultProtect = false;
    TTovraUnits FMeasurement = unPoints;
    bool FRecreateInProcess = false;
    bool FTextEmpty = false;

    TNotifyEvent FOnSelChange;
    TRichEditResizeEvent FOnResizeRequest;
    TRichEditProtectChange FOnProtectChange;
    TRichEditSaveClipboard FOnSaveClipboard;
    TTovraRichURLClickEvent FOnURLClick;
    TTovraRichURLClickEvent FOnLinkClick;
    bool FAcceptDropFiles = true;
    TNotifyEvent FOnVScroll;
    TNotifyEvent FOnHScroll;
    TTovraRichDropFileEvent FOnDropFile;
    TTovraLinkMouseMoveEvent FOnLinkMouseMove;
    QString FInMousePosURL;
    int32_t FInMousePosURLc = 0;
    TTovraRichHandleEvent FOnAfterSave;
    TNotifyEvent FOnBeforeSave;
    bool FProtectLinks = true;
};
