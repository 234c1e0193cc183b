#include "engine/surface/RichEditEngine.h"

#include "engine/layout/PageFormatter.h"
#include "engine/layout/Painter.h"
#include "engine/layout/QtTextMeasurer.h"
#include "engine/model/EditTransaction.h"
#include "engine/model/WordBreak.h"
#include "engine/objects/RichEditOle.h"
#include "engine/surface/EngineVersion.h"

namespace richedit {

using model::CharPos;
using model::LineNumber;
using model::ParaIndex;
using model::Selection;

RichEditEngine::RichEditEngine(RichEditHost* host)
    : host_(host), version_(engineVersion()),
      paragraphLines_(std::make_unique<model::ParagraphLines>(doc_)),
      lines_(paragraphLines_.get()) {
    defaultFormat_ = doc_.charFormats().intern(model::CharFormat{});
    defaultParaFormat_ = doc_.paraFormats().intern(model::ParaFormat{});
    if (version_ == 1) {
        // The first engine kept a single level of undo.
        undo_.setLimit(1);
        textMode_ = TM_RICHTEXT | TM_SINGLELEVELUNDO | TM_MULTICODEPAGE;
    }
}

objects::RichEditOle& RichEditEngine::EM_GETOLEINTERFACE() {
    if (!ole_)
        ole_ = std::make_unique<objects::RichEditOle>(*this);
    return *ole_;
}

RichEditEngine::~RichEditEngine() {
    doc_.setObserver(nullptr);
}

// ---- Notifications ----

intptr_t RichEditEngine::send(NMHDR& header) const {
    header.hwndFrom = this;
    return host_ ? host_->Notify(header) : 0;
}

void RichEditEngine::notifyChange() {
    modified_ = true;
    pages_.reset(); // formatted pages no longer match the text
    lastPageValid_ = false;
    if (viewSink_) {
        clampScroll();
        viewSink_->engineContentChanged();
    }
    checkRequestResize();
    if (eventMask_ & ENM_CHANGE) {
        NMHDR h;
        h.code = EN_CHANGE;
        send(h);
    }
}

void RichEditEngine::notifySelectionChange() {
    if (sel_ == notifiedSel_)
        return;
    notifiedSel_ = sel_;
    goalX_ = -1;
    if (viewSink_)
        viewSink_->engineSelectionChanged();
    if (eventMask_ & ENM_SELCHANGE) {
        SELCHANGE info;
        info.nmhdr.code = EN_SELCHANGE;
        info.chrg = {sel_.min().v, sel_.max().v};
        info.seltyp = EM_SELECTIONTYPE();
        send(info.nmhdr);
    }
}

// ---- Helpers ----

CharPos RichEditEngine::clampPos(int32_t cp) const {
    return std::clamp(CharPos(cp), CharPos(0), doc_.end());
}

model::CharFormatId RichEditEngine::insertionFormat() const {
    if (pendingFormat_ && sel_.empty())
        return *pendingFormat_;
    const CharPos pos = sel_.min();
    if (!sel_.empty())
        return doc_.charFormatIdAt(pos);
    const ParaIndex p = doc_.paragraphAt(pos);
    // Text typed inside a paragraph continues the character before it; at the paragraph's
    // start it takes the format of the character that follows.
    return pos > doc_.paragraphStart(p) ? doc_.charFormatIdAt(pos - 1) : doc_.charFormatIdAt(pos);
}

model::ParaFormatId RichEditEngine::insertionParaFormat() const {
    return doc_.paraFormatId(doc_.paragraphAt(sel_.min()));
}

bool RichEditEngine::rangeHasProtected(CharPos from, CharPos to) const {
    auto isProtected = [&](model::CharFormatId id) {
        return (doc_.charFormats()[id].effects & CFE_PROTECTED) != 0;
    };
    if (from == to) {
        // Typing between two protected characters changes protected text.
        if (from <= CharPos(0) || from >= doc_.end())
            return false;
        return isProtected(doc_.charFormatIdAt(from - 1)) && isProtected(doc_.charFormatIdAt(from));
    }
    for (const model::Run& r : doc_.runs(from, to))
        if (isProtected(r.format))
            return true;
    return false;
}

bool RichEditEngine::allowChange(uint32_t request, CharPos from, CharPos to, bool alwaysAsk) {
    if (!(eventMask_ & ENM_PROTECTED))
        return true;
    if (!alwaysAsk && !rangeHasProtected(from, to))
        return true;
    ENPROTECTED info;
    info.nmhdr.code = EN_PROTECTED;
    info.msg = request;
    info.chrg = {from.v, to.v};
    return send(info.nmhdr) == 0;
}

void RichEditEngine::commit(model::EditTransaction& edit, bool canUndo) {
    if (edit.empty()) {
        notifySelectionChange();
        return;
    }
    model::UndoGroup group = edit.finish(sel_);
    if (const auto span = model::changedSpan(group, true))
        detectUrls(span->from, span->to);
    if (canUndo)
        undo_.push(std::move(group));
    else
        undo_.clear(); // older records would no longer match the text
    notifyChange();
    notifySelectionChange();
}

void RichEditEngine::setSelection(Selection sel) {
    if (sel != sel_) {
        pendingFormat_.reset();
        undo_.stopGrouping();
    }
    sel_ = sel;
    notifySelectionChange();
}

bool RichEditEngine::replaceSelection(const QString& text, UNDONAMEID kind, bool canUndo,
                                      uint32_t request, bool typing) {
    return replaceSelectionFragment(
        model::Document::plainFragment(text, insertionFormat(), insertionParaFormat()), kind,
        canUndo, request, typing);
}

bool RichEditEngine::replaceSelectionFragment(model::Fragment fragment, UNDONAMEID kind,
                                              bool canUndo, uint32_t request, bool typing) {
    return replaceRange(sel_.min(), sel_.max(), std::move(fragment), kind, canUndo, request,
                        typing);
}

bool RichEditEngine::replaceRange(CharPos from, CharPos to, model::Fragment fragment,
                                  UNDONAMEID kind, bool canUndo, uint32_t request, bool mergeable) {
    // The text limit refuses what goes past it.
    const int64_t room = int64_t(limit_) - (int64_t(doc_.end().v) - (to - from));
    if (fragment.length() > room)
        fragment = model::leftOf(fragment, int32_t(std::max<int64_t>(0, room)));
    if (from == to && fragment.empty())
        return false;
    if (!allowChange(request, from, to))
        return false;
    model::EditTransaction edit(doc_, kind, sel_, mergeable);
    edit.replace(from, to, fragment);
    const CharPos caret = from + fragment.length();
    sel_ = {caret, caret};
    pendingFormat_.reset();
    commit(edit, canUndo);
    return true;
}

void RichEditEngine::resetDocument() {
    doc_.clear(defaultFormat_, defaultParaFormat_);
    sel_ = {};
    pendingFormat_.reset();
    undo_.clear();
}

// ---- Text and selection ----

void RichEditEngine::EM_EXGETSEL(CHARRANGE& range) const {
    range.cpMin = sel_.min().v;
    range.cpMax = sel_.max().v;
}

int32_t RichEditEngine::EM_EXSETSEL(const CHARRANGE& range) {
    Selection s;
    if (range.cpMin == 0 && range.cpMax == -1) {
        s = {CharPos(0), doc_.end()};
    } else if (range.cpMin < 0) {
        s = {sel_.active, sel_.active}; // deselect, keeping the caret
    } else {
        const CharPos a = clampPos(range.cpMin);
        const CharPos b = range.cpMax < 0 ? doc_.end() : clampPos(range.cpMax);
        s = {a, b};
    }
    setSelection(s);
    return sel_.max().v;
}

void RichEditEngine::EM_REPLACESEL(bool canUndo, const QString& text) {
    replaceSelection(text, UID_UNKNOWN, canUndo, msg::EM_REPLACESEL, false);
}

QString RichEditEngine::EM_GETSELTEXT() const {
    return doc_.text(sel_.min(), sel_.max());
}

int32_t RichEditEngine::EM_GETTEXTRANGE(const CHARRANGE& range, QString& text) const {
    const CharPos from = clampPos(range.cpMin);
    const CharPos to = range.cpMax < 0 ? doc_.end() : clampPos(range.cpMax);
    text = doc_.text(from, to);
    return int32_t(text.size());
}

int32_t RichEditEngine::EM_GETTEXTLENGTHEX(const GETTEXTLENGTHEX& request) const {
    const bool crlf = request.flags & GTL_USECRLF;
    const bool bytes = (request.flags & GTL_NUMBYTES) && request.codepage != 1200;
    if (!bytes) {
        int64_t n = doc_.end().v;
        if (crlf)
            n += doc_.paragraphCount() - 1;
        return int32_t(std::min<int64_t>(n, INT32_MAX));
    }
    // Bytes in the 8-bit code page, which is UTF-8, as a plain-text stream writes them: a
    // surrogate pair makes four bytes, a lone surrogate the one replacement byte.
    int64_t n = 0;
    bool pendingHigh = false;
    doc_.forEachSegment(CharPos(0), doc_.end(), [&](const QChar* s, int32_t count, CharPos) {
        for (int32_t i = 0; i < count; ++i) {
            const char16_t c = s[i].unicode();
            if (pendingHigh) {
                pendingHigh = false;
                if (QChar::isLowSurrogate(c)) {
                    n += 3; // with the one counted for the high half
                    continue;
                }
            }
            if (c < 0x80)
                n += (c == u'\r' && crlf) ? 2 : 1;
            else if (c < 0x800)
                n += 2;
            else if (QChar::isHighSurrogate(c)) {
                n += 1;
                pendingHigh = true;
            } else if (QChar::isLowSurrogate(c))
                n += 1;
            else
                n += 3;
        }
    });
    return int32_t(std::min<int64_t>(n, INT32_MAX));
}

QString RichEditEngine::WM_GETTEXT() const {
    return doc_.text(CharPos(0), doc_.end());
}

bool RichEditEngine::WM_SETTEXT(const QString& text) {
    if (!allowChange(msg::WM_SETTEXT, CharPos(0), doc_.end()))
        return false;
    const model::CharFormatId format = doc_.charFormatIdAt(CharPos(0));
    const model::ParaFormatId para = doc_.paraFormatId(ParaIndex(0));
    model::EditTransaction edit(doc_, UID_UNKNOWN, sel_);
    edit.replace(CharPos(0), doc_.end(), model::Document::plainFragment(text, format, para));
    sel_ = {};
    pendingFormat_.reset();
    commit(edit, false);
    return true;
}

int32_t RichEditEngine::WM_GETTEXTLENGTH() const {
    return doc_.end().v;
}

uint16_t RichEditEngine::EM_SELECTIONTYPE() const {
    if (sel_.empty())
        return SEL_EMPTY;
    int objects = 0;
    int64_t chars = 0;
    doc_.forEachSegment(sel_.min(), sel_.max(), [&](const QChar* s, int32_t n, CharPos) {
        for (int32_t i = 0; i < n && (objects < 2 || chars < 2); ++i) {
            if (s[i] == QChar(model::kObjectChar))
                ++objects;
            else
                ++chars;
        }
    });
    uint16_t type = SEL_EMPTY;
    if (chars > 0)
        type |= SEL_TEXT;
    if (chars > 1)
        type |= SEL_MULTICHAR;
    if (objects > 0)
        type |= SEL_OBJECT;
    if (objects > 1)
        type |= SEL_MULTIOBJECT;
    return type;
}

void RichEditEngine::WM_CLEAR() {
    if (readOnly_ || sel_.empty())
        return;
    replaceSelectionFragment({}, UID_DELETE, true, msg::WM_CLEAR, false);
}

void RichEditEngine::EM_EXLIMITTEXT(int32_t limit) {
    // Zero or less restores this engine's own limit, which is as large as positions go.
    limit_ = limit > 0 ? limit : 0x7FFFFFFF;
}

// ---- Lines ----

int32_t RichEditEngine::EM_GETLINECOUNT() const {
    return lines_->lineCount();
}

int32_t RichEditEngine::EM_LINEINDEX(int32_t line) const {
    const LineNumber l = line == -1 ? lines_->lineFromChar(sel_.active) : LineNumber(line);
    return lines_->lineStart(l).v;
}

int32_t RichEditEngine::EM_LINELENGTH(int32_t charIndex) const {
    if (charIndex < 0) {
        // The characters of the selection's lines that are not selected.
        const LineNumber first = lines_->lineFromChar(sel_.min());
        const LineNumber last = lines_->lineFromChar(sel_.max());
        if (sel_.empty())
            return lines_->lineLength(first);
        const CharPos lastEnd = lines_->lineStart(last) + lines_->lineLength(last);
        return (sel_.min() - lines_->lineStart(first)) + std::max(0, lastEnd - sel_.max());
    }
    return lines_->lineLength(lines_->lineFromChar(clampPos(charIndex)));
}

int32_t RichEditEngine::EM_GETLINE(int32_t line, QString& buffer, int32_t bufferSize) const {
    buffer.clear();
    const CharPos start = lines_->lineStart(LineNumber(line));
    if (start.v < 0 || bufferSize <= 0)
        return 0;
    const int32_t n = std::min(lines_->lineSpan(LineNumber(line)), bufferSize);
    buffer = doc_.text(start, start + n);
    return n;
}

int32_t RichEditEngine::EM_EXLINEFROMCHAR(int32_t charIndex) const {
    const CharPos pos = charIndex < 0 ? sel_.min() : clampPos(charIndex);
    return lines_->lineFromChar(pos).v;
}

// ---- Undo ----

bool RichEditEngine::WM_UNDO() {
    if (readOnly_)
        return false;
    Selection sel = sel_;
    bool done = undo_.undo(doc_, sel);
    if (!done && version_ == 1)
        done = undo_.redo(doc_, sel); // a single level: undo undoes the undo
    if (!done)
        return false;
    if (const auto span = undo_.lastChange())
        detectUrls(span->from, span->to);
    sel_ = {clampPos(sel.anchor.v), clampPos(sel.active.v)};
    pendingFormat_.reset();
    notifyChange();
    notifySelectionChange();
    return true;
}

bool RichEditEngine::EM_CANUNDO() const {
    return undo_.canUndo() || (version_ == 1 && undo_.canRedo());
}

bool RichEditEngine::EM_REDO() {
    if (version_ < 2 || readOnly_)
        return false;
    Selection sel = sel_;
    if (!undo_.redo(doc_, sel))
        return false;
    if (const auto span = undo_.lastChange())
        detectUrls(span->from, span->to);
    sel_ = {clampPos(sel.anchor.v), clampPos(sel.active.v)};
    pendingFormat_.reset();
    notifyChange();
    notifySelectionChange();
    return true;
}

bool RichEditEngine::EM_CANREDO() const {
    return version_ >= 2 && undo_.canRedo();
}

int32_t RichEditEngine::EM_SETUNDOLIMIT(int32_t limit) {
    if (version_ < 2)
        return 0;
    return undo_.setLimit(limit);
}

UNDONAMEID RichEditEngine::EM_GETUNDONAME() const {
    return version_ < 2 ? UID_UNKNOWN : undo_.undoName();
}

UNDONAMEID RichEditEngine::EM_GETREDONAME() const {
    return version_ < 2 ? UID_UNKNOWN : undo_.redoName();
}

void RichEditEngine::EM_EMPTYUNDOBUFFER() {
    undo_.clear();
}

void RichEditEngine::EM_STOPGROUPTYPING() {
    undo_.stopGrouping();
}

// ---- Settings ----

uint32_t RichEditEngine::EM_SETEVENTMASK(uint32_t mask) {
    const uint32_t old = eventMask_;
    eventMask_ = mask;
    return old;
}

bool RichEditEngine::EM_SETREADONLY(bool readOnly) {
    readOnly_ = readOnly;
    return true;
}

int32_t RichEditEngine::EM_SETTEXTMODE(uint32_t mode) {
    constexpr int32_t kRefused = 1;
    if (version_ < 2 || doc_.end() > CharPos(0) || undo_.canUndo() || undo_.canRedo())
        return kRefused;
    uint32_t next = textMode_;
    auto pick = [&](uint32_t a, uint32_t b) {
        const uint32_t bits = mode & (a | b);
        if (bits == (a | b))
            return false;
        if (bits)
            next = (next & ~(a | b)) | bits;
        return true;
    };
    if (!pick(TM_PLAINTEXT, TM_RICHTEXT) || !pick(TM_SINGLELEVELUNDO, TM_MULTILEVELUNDO) ||
        !pick(TM_SINGLECODEPAGE, TM_MULTICODEPAGE))
        return kRefused;
    textMode_ = next;
    if (textMode_ & TM_SINGLELEVELUNDO)
        undo_.setLimit(1);
    return 0;
}

bool RichEditEngine::EM_SETTYPOGRAPHYOPTIONS(uint32_t options, uint32_t mask) {
    if (version_ < 3)
        return false;
    const uint32_t known = TO_ADVANCEDTYPOGRAPHY | TO_SIMPLELINEBREAK;
    typography_ = (typography_ & ~(mask & known)) | (options & mask & known);
    return true;
}

uint32_t RichEditEngine::EM_GETTYPOGRAPHYOPTIONS() const {
    return version_ < 3 ? 0 : typography_;
}

void RichEditEngine::EM_SETLANGOPTIONS(uint32_t options) {
    if (version_ >= 2)
        langOptions_ = options;
}

uint32_t RichEditEngine::EM_GETLANGOPTIONS() const {
    return version_ < 2 ? 0 : langOptions_;
}

COLORREF RichEditEngine::EM_SETBKGNDCOLOR(bool useSystemColor, COLORREF color) {
    const COLORREF old = backUsesSystem_ ? COLORREF(0x00FFFFFF) : backColor_;
    backUsesSystem_ = useSystemColor;
    if (!useSystemColor)
        backColor_ = color & 0x00FFFFFF;
    return old;
}

// ---- Editing as a person types ----

bool RichEditEngine::TypeText(const QString& text) {
    if (readOnly_ || text.isEmpty())
        return false;
    if (overwrite_ && sel_.empty() && sel_.active < doc_.end() &&
        doc_.charAt(sel_.active) != QChar(model::kParagraphMark) && !text.contains(u'\r') &&
        !text.contains(u'\n')) {
        // Overwrite replaces as many characters as are typed, up to the paragraph's end.
        CharPos to = sel_.active;
        for (qsizetype i = 0;
             i < text.size() && to < doc_.end() && doc_.charAt(to) != QChar(model::kParagraphMark);
             ++i)
            ++to;
        return replaceRange(
            sel_.active, to,
            model::Document::plainFragment(text, insertionFormat(), insertionParaFormat()),
            UID_TYPING, true, msg::WM_CHAR, true);
    }
    return replaceSelection(text, UID_TYPING, true, msg::WM_CHAR, true);
}

bool RichEditEngine::InsertParagraph() {
    if (readOnly_)
        return false;
    return replaceSelection(QString(QChar(model::kParagraphMark)), UID_TYPING, true, msg::WM_CHAR,
                            true);
}

bool RichEditEngine::InsertLineBreak() {
    if (readOnly_)
        return false;
    return replaceSelection(QString(QChar(model::kLineBreak)), UID_TYPING, true, msg::WM_CHAR,
                            true);
}

bool RichEditEngine::DeleteBackward(bool wholeWord) {
    if (readOnly_)
        return false;
    if (!sel_.empty())
        return replaceSelectionFragment({}, UID_DELETE, true, msg::WM_KEYDOWN, false);
    const CharPos caret = sel_.active;
    if (caret <= CharPos(0))
        return false;
    CharPos from = caret - 1;
    if (wholeWord)
        from = model::previousWordStart(doc_, caret);
    else if (from > CharPos(0) && doc_.charAt(from).isLowSurrogate() &&
             doc_.charAt(from - 1).isHighSurrogate())
        --from;
    return replaceRange(from, caret, {}, UID_TYPING, true, msg::WM_KEYDOWN, true);
}

bool RichEditEngine::DeleteForward(bool wholeWord) {
    if (readOnly_)
        return false;
    if (!sel_.empty())
        return replaceSelectionFragment({}, UID_DELETE, true, msg::WM_KEYDOWN, false);
    const CharPos caret = sel_.active;
    if (caret >= doc_.end())
        return false;
    CharPos to = caret + 1;
    if (wholeWord)
        to = std::max(to, model::nextWordStart(doc_, caret));
    else if (doc_.charAt(caret).isHighSurrogate() && to < doc_.end() &&
             doc_.charAt(to).isLowSurrogate())
        ++to;
    return replaceRange(caret, to, {}, UID_DELETE, true, msg::WM_KEYDOWN, true);
}

} // namespace richedit
