#pragma once

#include "engine/api/RichEditRecords.h"
#include "engine/model/Document.h"
#include "engine/model/LineIndex.h"
#include "engine/model/Selection.h"
#include "engine/model/UndoStack.h"
#include "engine/surface/RichEditHost.h"
#include "engine/surface/RichEditViewSink.h"

#include <QByteArray>
#include <QColor>
#include <QRect>

#include <memory>
#include <optional>

class QImage;
class QPainter;

namespace richedit {

namespace model {
class EditTransaction;
}
namespace objects {
class RichEditOle;
}
namespace layout {
class DocumentLayout;
class PageFormatter;
class Painter;
class QtTextMeasurer;
} // namespace layout

// One engine instance: the document, its selection, undo history and settings, answering the
// engine's requests. Each request is a member named after its message. Notifications go to
// the host given at construction.
class RichEditEngine {
public:
    explicit RichEditEngine(RichEditHost* host = nullptr);
    ~RichEditEngine();
    RichEditEngine(const RichEditEngine&) = delete;
    RichEditEngine& operator=(const RichEditEngine&) = delete;

    int Version() const { return version_; }
    void SetHost(RichEditHost* host) { host_ = host; }

    // ---- Text and selection ----
    void EM_EXGETSEL(CHARRANGE& range) const;
    int32_t EM_EXSETSEL(const CHARRANGE& range);
    void EM_REPLACESEL(bool canUndo, const QString& text);
    QString EM_GETSELTEXT() const;
    int32_t EM_GETTEXTRANGE(const CHARRANGE& range, QString& text) const;
    int32_t EM_GETTEXTLENGTHEX(const GETTEXTLENGTHEX& request) const;
    QString WM_GETTEXT() const;
    bool WM_SETTEXT(const QString& text);
    int32_t WM_GETTEXTLENGTH() const;
    uint16_t EM_SELECTIONTYPE() const;
    void WM_CLEAR();
    void EM_EXLIMITTEXT(int32_t limit);
    int32_t EM_GETLIMITTEXT() const { return limit_; }
    bool EM_GETMODIFY() const { return modified_; }
    void EM_SETMODIFY(bool modified) { modified_ = modified; }

    // ---- Lines ----
    int32_t EM_GETLINECOUNT() const;
    int32_t EM_LINEINDEX(int32_t line) const;
    int32_t EM_LINELENGTH(int32_t charIndex) const;
    // Copies line `line` into buffer, at most bufferSize units; answers the count copied.
    int32_t EM_GETLINE(int32_t line, QString& buffer, int32_t bufferSize) const;
    int32_t EM_EXLINEFROMCHAR(int32_t charIndex) const;

    // ---- Formats ----
    uint32_t EM_GETCHARFORMAT(uint32_t scf, CHARFORMAT2W& format) const;
    uint32_t EM_GETCHARFORMAT(uint32_t scf, CHARFORMATW& format) const;
    bool EM_SETCHARFORMAT(uint32_t scf, const CHARFORMAT2W& format);
    bool EM_SETCHARFORMAT(uint32_t scf, const CHARFORMATW& format);
    uint32_t EM_GETPARAFORMAT(PARAFORMAT2& format) const;
    uint32_t EM_GETPARAFORMAT(PARAFORMAT& format) const;
    bool EM_SETPARAFORMAT(const PARAFORMAT2& format);
    bool EM_SETPARAFORMAT(const PARAFORMAT& format);

    // ---- Undo ----
    bool WM_UNDO();
    bool EM_CANUNDO() const;
    bool EM_REDO();
    bool EM_CANREDO() const;
    int32_t EM_SETUNDOLIMIT(int32_t limit);
    UNDONAMEID EM_GETUNDONAME() const;
    UNDONAMEID EM_GETREDONAME() const;
    void EM_EMPTYUNDOBUFFER();
    void EM_STOPGROUPTYPING();

    // ---- Search ----
    int32_t EM_FINDTEXT(uint32_t flags, const FINDTEXTW& find) const;
    int32_t EM_FINDTEXTEX(uint32_t flags, FINDTEXTEXW& find) const;

    // ---- Streams ----
    int32_t EM_STREAMIN(uint32_t format, EDITSTREAM& stream);
    int32_t EM_STREAMOUT(uint32_t format, EDITSTREAM& stream);

    // ---- The format rectangle and positions ----
    // The rectangle the text is shown in, in client pixels; text wraps at its right edge.
    void EM_SETRECT(const RECT& rect);
    RECT EM_GETRECT() const { return formatRect_; }
    // Lays the text out for a target device: lineWidth in twips, 0 to wrap at the format
    // rectangle, 1 not to wrap at all.
    bool EM_SETTARGETDEVICE(DeviceContext* target, int32_t lineWidth);
    // A character's top left in client pixels, and the character nearest a point. Without a
    // format rectangle or line width there is no layout: the point is (0, 0) and the answer 0.
    POINT EM_POSFROMCHAR(int32_t charIndex) const;
    int32_t EM_CHARFROMPOS(const POINT& point) const;
    // Pixels per inch of the screen the format rectangle is measured on (96 unless told).
    void SetScreenResolution(int dpi);

    // ---- Pages ----
    // Formats (and, when render is true, draws into range.hdc) the page that starts at
    // range.chrg.cpMin within range.rc; answers the first character that did not fit and leaves
    // range.rc.bottom at the bottom of the area used. A null range releases the cached
    // formatting.
    int32_t EM_FORMATRANGE(bool render, FORMATRANGE* range);
    // Draws the page last formatted into the device it was formatted for, within rect (twips).
    bool EM_DISPLAYBAND(const RECT& rect);

    // ---- Embedded objects ----
    // The interface to the document's embedded objects; it lives as long as the engine.
    objects::RichEditOle& EM_GETOLEINTERFACE();

    // ---- Settings ----
    uint32_t EM_SETEVENTMASK(uint32_t mask);
    uint32_t EM_GETEVENTMASK() const { return eventMask_; }
    bool EM_SETREADONLY(bool readOnly);
    bool ReadOnly() const { return readOnly_; }
    // Answers 0 when the mode was taken; a document with text or undo history keeps its mode.
    int32_t EM_SETTEXTMODE(uint32_t mode);
    uint32_t EM_GETTEXTMODE() const { return textMode_; }
    bool EM_SETTYPOGRAPHYOPTIONS(uint32_t options, uint32_t mask);
    uint32_t EM_GETTYPOGRAPHYOPTIONS() const;
    void EM_SETLANGOPTIONS(uint32_t options);
    uint32_t EM_GETLANGOPTIONS() const;
    // Answers 0 on success, non-zero when the engine has no URL detection.
    int32_t EM_AUTOURLDETECT(bool enable);
    bool EM_GETAUTOURLDETECT() const { return autoUrlDetect_; }
    // Answers the previous background colour.
    COLORREF EM_SETBKGNDCOLOR(bool useSystemColor, COLORREF color);
    COLORREF BackgroundColor() const { return backColor_; }
    bool BackgroundUsesSystemColor() const { return backUsesSystem_; }

    // ---- Scrolling and zoom ----
    // The zoom as a ratio; 0/0 (the start) and 1/1 both show the text at its size. A ratio
    // outside 1/64 .. 64 is refused (false) and changes nothing.
    bool EM_SETZOOM(int32_t numerator, int32_t denominator);
    void EM_GETZOOM(int32_t& numerator, int32_t& denominator) const;
    qreal ZoomFactor() const;
    // The document point (pixels at the current zoom) shown at the format rectangle's top left.
    POINT EM_GETSCROLLPOS() const { return scroll_; }
    void EM_SETSCROLLPOS(const POINT& point);
    int32_t EM_GETFIRSTVISIBLELINE() const;
    // Scrolls by lines (vertically) and characters (horizontally, only without word wrap).
    bool EM_LINESCROLL(int32_t characters, int32_t lines);
    // SB_LINEUP, SB_LINEDOWN, SB_PAGEUP or SB_PAGEDOWN; answers the lines scrolled (negative
    // upwards) in the low word and 1 in the high word, or 0 for an unknown action.
    int32_t EM_SCROLL(uint32_t action);
    // Scrolls the caret into view.
    void EM_SCROLLCARET();
    // hide true hides the selection while the window does not have the focus; with changeStyle
    // the setting stays (otherwise it lasts until the next focus change).
    void EM_HIDESELECTION(bool hide, bool changeStyle);
    bool HideSelectionWhenUnfocused() const { return hideSelection_; }
    // Sends EN_REQUESTRESIZE with the rectangle the content needs.
    void EM_REQUESTRESIZE();
    // The content's size in pixels at the current zoom (for the scroll bars).
    int32_t ContentHeightPixels() const;
    int32_t ContentWidthPixels() const;
    // The format rectangle's size in pixels.
    int32_t ViewWidthPixels() const { return formatRect_.right - formatRect_.left; }
    int32_t ViewHeightPixels() const { return formatRect_.bottom - formatRect_.top; }
    bool WordWrapToWindow() const { return targetLineWidth_ == 0; }
    // Sends a notification the window raises for the engine (EN_MSGFILTER, EN_LINK,
    // EN_DROPFILES, EN_SAVECLIPBOARD) and answers the host's reply.
    intptr_t SendNotification(NMHDR& header) const { return send(header); }
    // The window that shows the engine.
    void SetViewSink(RichEditViewSink* sink) { viewSink_ = sink; }
    // Whether the window has the keyboard focus (the selection may be hidden without it).
    void SetFocused(bool focused);

    // ---- Drawing the window ----
    // Paints the visible text that falls in clip (client pixels) with the selection unless it
    // is hidden, over the background colour (the system's is given by the window); the caret is
    // the window's.
    void PaintView(QPainter& painter, const QRect& clip,
                   const QColor& systemBackground = QColor(Qt::white));
    // The caret's rectangle in client pixels (an empty QRect without a layout).
    QRect CaretRect() const;
    // The link (text with the link effect) under a client point, if any.
    std::optional<CHARRANGE> LinkAtPoint(const POINT& point) const;
    // Where the link at a character leads when a document's hyperlink field gave it a target;
    // empty for other text (an address typed into the text is its own target).
    QString LinkTargetAt(int32_t charIndex) const;
    // Whether a client point lies over the selected text.
    bool PointInSelection(const POINT& point) const;
    // The character format typed text takes at the caret (for the input method's preedit).
    model::CharFormat InsertionCharFormat() const;

    // ---- Caret movement (keys) and selection (mouse) ----
    enum class CaretMove {
        Left,
        Right,
        WordLeft,
        WordRight,
        Up,
        Down,
        LineStart,
        LineEnd,
        ParagraphUp,
        ParagraphDown,
        PageUp,
        PageDown,
        DocumentStart,
        DocumentEnd,
    };
    // Moves the caret; with extend the anchor stays and the selection grows or shrinks. Page
    // moves scroll by a page as well. The caret is scrolled into view.
    void MoveCaret(CaretMove move, bool extend);
    // A click at a client point: places the caret (extend: moves the active end).
    void ClickAt(const POINT& point, bool extend);
    // The mouse dragged to a point while selecting; byWord extends by whole words (after a
    // double-click), byParagraph by whole paragraphs (after a triple-click).
    void DragSelectTo(const POINT& point, bool byWord = false, bool byParagraph = false);
    void SelectWordAt(const POINT& point);
    void SelectParagraphAt(const POINT& point);
    void SelectAll();

    // ---- Clipboard and drag and drop (the window owns the desktop side) ----
    // The selection as Rich Text Format and as plain text (line breaks as LF).
    QByteArray SelectionAsRtf() const;
    QString SelectionAsText() const;
    int32_t SelectionObjectCount() const;
    // Deletes the selection after it was copied (WM_CUT) or dragged into another window: one undo
    // step of the kind given.
    bool CutSelection(UNDONAMEID kind = UID_CUT);
    // Asks whether protected text in the selection may be copied; false refuses.
    bool AllowCopy();
    // Puts rich text, plain text or a picture in place of the selection: one undo step of the
    // kind given (UID_PASTE or UID_DRAGDROP). False when read-only, refused or unreadable.
    bool PasteRtf(const QByteArray& rtf, UNDONAMEID kind = UID_PASTE);
    bool PasteText(const QString& text, UNDONAMEID kind = UID_PASTE);
    bool PasteImage(const QImage& image, UNDONAMEID kind = UID_PASTE);
    // Moves (or copies) the selection to a position as one undo step of the kind drag-drop; the
    // moved text ends up selected. False when the position lies inside the selection.
    bool DropSelectionAt(int32_t charIndex, bool copy);

    // ---- Editing as a person types (the view calls these) ----
    bool TypeText(const QString& text);
    bool InsertParagraph();
    bool InsertLineBreak();
    bool DeleteBackward(bool wholeWord = false);
    bool DeleteForward(bool wholeWord = false);
    void SetOverwrite(bool overwrite) { overwrite_ = overwrite; }
    bool Overwrite() const { return overwrite_; }

    // ---- For the layers built on the engine ----
    const model::Document& document() const { return doc_; }
    const model::LineIndex& lines() const { return *lines_; }
    model::Selection selection() const { return sel_; }

private:
    model::CharPos clampPos(int32_t cp) const;
    model::CharFormatId insertionFormat() const;
    model::ParaFormatId insertionParaFormat() const;
    bool rangeHasProtected(model::CharPos from, model::CharPos to) const;
    // Asks the host whether protected text in the range may change; false refuses.
    bool allowChange(uint32_t request, model::CharPos from, model::CharPos to,
                     bool alwaysAsk = false);
    // Replaces the selection by text through one undoable (or not) edit.
    bool replaceSelection(const QString& text, UNDONAMEID kind, bool canUndo, uint32_t request,
                          bool typing);
    bool replaceSelectionFragment(model::Fragment fragment, UNDONAMEID kind, bool canUndo,
                                  uint32_t request, bool typing);
    bool replaceRange(model::CharPos from, model::CharPos to, model::Fragment fragment,
                      UNDONAMEID kind, bool canUndo, uint32_t request, bool mergeable);
    void commit(model::EditTransaction& edit, bool canUndo);
    // Gives the addresses in the paragraphs around [from, to) the link effect while automatic
    // URL detection is on, and takes the detector's effect from text that is no longer one
    // (EngineAutoUrl.cpp). Formats only: no undo record, no change notification.
    void detectUrls(model::CharPos from, model::CharPos to);
    void setSelection(model::Selection sel);
    void resetDocument();
    bool applyCharFormat(uint32_t scf, const CHARFORMAT2W& format, bool full);
    bool applyParaFormat(const PARAFORMAT2& format, bool full);
    uint32_t readCharFormat(uint32_t scf, CHARFORMAT2W& format, bool full) const;
    uint32_t readParaFormat(PARAFORMAT2& format, bool full) const;
    void paragraphsOfSelection(model::ParaIndex& first, model::ParaIndex& last) const;
    int32_t streamInText(uint32_t format, EDITSTREAM& stream);
    int32_t streamInRtf(uint32_t format, EDITSTREAM& stream);
    int32_t streamOutText(uint32_t format, EDITSTREAM& stream) const;

    // Notifications, sent after an operation has left the engine consistent.
    void notifyChange();
    void notifySelectionChange();
    intptr_t send(NMHDR& header) const;

    RichEditHost* host_ = nullptr;
    int version_ = 3;
    model::Document doc_;
    std::unique_ptr<model::ParagraphLines> paragraphLines_;
    const model::LineIndex* lines_ = nullptr; // display lines when laid out, else paragraphs
    model::UndoStack undo_;
    model::Selection sel_;
    model::Selection notifiedSel_;
    std::optional<model::CharFormatId> pendingFormat_; // format for text typed at the caret
    model::CharFormatId defaultFormat_ = 0;
    model::ParaFormatId defaultParaFormat_ = 0;

    uint32_t eventMask_ = ENM_NONE;
    bool readOnly_ = false;
    bool modified_ = false;
    bool overwrite_ = false;
    bool autoUrlDetect_ = false;
    bool backUsesSystem_ = true;
    COLORREF backColor_ = 0x00FFFFFF;
    uint32_t textMode_ = TM_RICHTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE;
    uint32_t typography_ = 0;
    uint32_t langOptions_ = IMF_AUTOFONT | IMF_DUALFONT;
    int32_t limit_ = 0x7FFFFFFF;

    // The window's view: zoom, scroll position, and the caret's goal column for vertical moves.
    qreal pixelsPerTwip() const;
    void clampScroll();
    void notifyView(bool content);
    void checkRequestResize();
    model::CharPos charAtClientPoint(const POINT& point) const;
    model::CharPos lineMoveTarget(model::CharPos from, int32_t lines, int32_t& goalX);
    RichEditViewSink* viewSink_ = nullptr;
    int32_t zoomNum_ = 0;
    int32_t zoomDen_ = 0;
    POINT scroll_;
    bool hideSelection_ = true;
    bool focused_ = false;
    int32_t goalX_ = -1; // twips; -1 when the next vertical move takes the caret's own x
    model::Selection dragOrigin_; // the word or paragraph a double or triple click selected
    int32_t lastRequestedHeight_ = -1;

    // Display lines at the wrap width, kept up to date by the document's change notices.
    void updateLayout();
    std::unique_ptr<layout::DocumentLayout> display_;
    std::unique_ptr<layout::Painter> screenPainter_; // keeps its fonts between repaints
    std::unique_ptr<objects::RichEditOle> ole_;
    RECT formatRect_;
    bool formatRectSet_ = false;
    int32_t targetLineWidth_ = 0;
    int screenDpi_ = 96;

    // Page formatting, kept between the pages of one print job and dropped by any change.
    std::unique_ptr<layout::QtTextMeasurer> measurer_;
    std::unique_ptr<layout::PageFormatter> pages_;
    FORMATRANGE lastPage_;
    bool lastPageValid_ = false;
};

} // namespace richedit
