#pragma once

#include "engine/api/RichEditRecords.h"
#include "engine/model/Document.h"
#include "engine/model/LineIndex.h"
#include "engine/model/Selection.h"
#include "engine/model/UndoStack.h"
#include "engine/surface/RichEditHost.h"

#include <memory>
#include <optional>

namespace richedit {

namespace model {
class EditTransaction;
}
namespace layout {
class DocumentLayout;
class PageFormatter;
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

    // Display lines at the wrap width, kept up to date by the document's change notices.
    void updateLayout();
    std::unique_ptr<layout::DocumentLayout> display_;
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
