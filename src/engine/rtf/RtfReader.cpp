#include "engine/rtf/RtfReader.h"

#include "engine/model/PictureObject.h"
#include "engine/rtf/CodePage.h"
#include "engine/rtf/RtfKeywords.h"
#include "engine/rtf/RtfTokenizer.h"

#include <QHash>

#include <algorithm>

namespace richedit::rtf {

using model::CharFormat;
using model::CharFormatId;
using model::ParaFormat;
using model::ParaFormatId;

namespace {

constexpr int kMaxDepth = 4096;

// Parameters are 32-bit but arithmetic on them is done in 64 bits and clamped to what the
// field can hold, so that no number in a document can overflow.
template <class T = int32_t> T clamped(int64_t v, int64_t lo, int64_t hi) {
    return T(std::clamp(v, lo, hi));
}

enum class Dest : uint8_t {
    Body,
    Skip,
    FontTable,
    ColorTable,
    StyleSheet,
    Info,
    Pict,
    Object,
    ObjData,
    ObjClass,
    ObjName,
    ObjResult,
    FieldInst,
    Pn,
    PnTextBefore,
    PnTextAfter,
    ListTable,
    List,
    ListLevel,
    LevelText,
    ListOverrideTable,
    ListOverride,
};

struct FontInfo {
    QString name;
    uint8_t charset = 1;
    uint8_t pitchAndFamily = 0;
    int codePage = 0;
};

struct StyleInfo {
    ParaFormat pf;
    CharFormat cf;
    QString name;
};

struct ListLevelInfo {
    int nfc = 0;
    int start = 1;
    QString text;
    int fi = 0;
};

struct GroupState {
    Dest dest = Dest::Body;
    CharFormat cf;
    ParaFormat pf;
    int uc = 1;
    int codePage = 1252;
    int ls = 0;
    int ilvl = 0;
    bool intbl = false;
    QString link;       // the target of the HYPERLINK field whose result this is
    int fieldLevel = 0; // fields open around this group
    bool fontEntry = false;
    bool hardSkip = false; // an alternative rendering: nothing inside it is text
    bool inShape = false;
};

// Pictures decode their hex digits as they arrive.
struct PictBuilder {
    std::shared_ptr<model::PictureObject> pict = std::make_shared<model::PictureObject>();
    int nibble = -1;
    void hex(std::string_view text) {
        static const auto table = [] {
            std::array<int8_t, 256> t{};
            t.fill(-1);
            for (int c = 0; c < 10; ++c)
                t[size_t('0' + c)] = int8_t(c);
            for (int c = 0; c < 6; ++c) {
                t[size_t('a' + c)] = int8_t(10 + c);
                t[size_t('A' + c)] = int8_t(10 + c);
            }
            return t;
        }();
        QByteArray& data = pict->data;
        for (char ch : text) {
            const int v = table[static_cast<unsigned char>(ch)];
            if (v < 0)
                continue;
            if (nibble < 0) {
                nibble = v;
            } else {
                data.append(char(nibble * 16 + v));
                nibble = -1;
            }
        }
    }
};

struct FieldInfo {
    QString instruction;
};

// The character a control word stands for, or a null character.
QChar charOfKeyword(Kw kw) {
    switch (kw) {
    case Kw::line:
        return QChar(model::kLineBreak);
    case Kw::tab:
        return QChar(u'\t');
    case Kw::emdash:
        return QChar(0x2014);
    case Kw::endash:
        return QChar(0x2013);
    case Kw::lquote:
        return QChar(0x2018);
    case Kw::rquote:
        return QChar(0x2019);
    case Kw::ldblquote:
        return QChar(0x201C);
    case Kw::rdblquote:
        return QChar(0x201D);
    case Kw::bullet:
        return QChar(0x2022);
    case Kw::emspace:
        return QChar(0x2003);
    case Kw::enspace:
        return QChar(0x2002);
    case Kw::qmspace:
        return QChar(0x2005);
    case Kw::zwj:
        return QChar(0x200D);
    case Kw::zwnj:
        return QChar(0x200C);
    case Kw::ltrmark:
        return QChar(0x200E);
    case Kw::rtlmark:
        return QChar(0x200F);
    default:
        return QChar();
    }
}

class Reader {
public:
    Reader(ByteSource& in, model::Document& out, const ReadOptions& options)
        : tok_(in), doc_(out), builder_(out), options_(options) {
        states_.reserve(64);
        states_.push_back(baseState());
    }

    ReadResult run();

private:
    GroupState baseState() const {
        GroupState s;
        s.cf = plainFormat();
        s.codePage = docCodePage_;
        return s;
    }
    CharFormat plainFormat() const {
        CharFormat cf;
        cf.height = 240;
        cf.face = QStringLiteral("Times New Roman");
        auto it = fonts_.constFind(defaultFont_);
        if (it != fonts_.constEnd()) {
            cf.face = it->name;
            cf.charSet = it->charset;
            cf.pitchAndFamily = it->pitchAndFamily;
        }
        return cf;
    }
    GroupState& st() { return states_.back(); }

    void open();
    void close();
    void word(const Token& t);
    void symbol(char c);
    void text(std::string_view bytes);
    void hexByte(uint8_t b);

    // Text of the body.
    void addBytes(std::string_view bytes);
    void decodePending();
    void put(QChar c);
    void put(QStringView s);
    void flushBody();
    void materialize();
    CharFormatId formatId();
    void endParagraph();
    void endRow();
    void insertObject(model::ObjectRef object);
    void beforeContent();

    // Text of the other destinations.
    QString* textTarget();
    void fontName(std::string_view bytes);
    void decodeFontName();
    void colorText(std::string_view bytes);
    void infoToken(const Token& t);

    void setDest(Dest d) { st().dest = d; }
    void charWord(Kw kw, const Token& t);
    void paraWord(Kw kw, const Token& t);
    ParaFormat resolvedParagraph();
    void applyPn(GroupState& target);
    void fontSelected(int number);
    void finishGroup(const GroupState& closed, GroupState& parent);

    Tokenizer tok_;
    model::Document& doc_;
    model::DocumentBuilder builder_;
    ReadOptions options_;
    CodePageDecoder decoder_;
    std::vector<GroupState> states_;
    int overflowDepth_ = 0;
    bool star_ = false;
    int skipFallback_ = 0;

    int docCodePage_ = 1252;
    int defaultFont_ = -1;
    QHash<int, FontInfo> fonts_;
    int currentFont_ = -1;
    QByteArray fontNameBytes_;
    QString fontNameText_;
    std::vector<std::pair<bool, COLORREF>> colors_; // (automatic, value)
    int red_ = -1, green_ = -1, blue_ = -1;
    QHash<int, StyleInfo> styles_;
    int styleNumber_ = 0;
    bool paraStyle_ = true;
    QByteArray styleName_;
    QByteArray info_;

    QByteArray pendingBytes_;
    int pendingCodePage_ = 1252;
    QString body_;
    CharFormatId bodyFormat_ = 0;
    bool pendingPar_ = false;
    ParaFormatId pendingParFormat_ = 0;
    CharFormatId pendingMarkFormat_ = 0;
    bool pageBreak_ = false;

    bool inRow_ = false;
    int paraTabs_ = 0; // tabs in the paragraph being read
    bool cellSep_ = false;
    CharFormatId cellSepFormat_ = 0;
    std::vector<int32_t> cellEdges_;
    std::vector<int32_t> rowEdges_;

    int tabKind_ = 0;
    int tabLeader_ = 0;
    int slValue_ = 0;
    bool slSeen_ = false;

    std::vector<FieldInfo> fields_;
    int footnotes_ = 0;

    // Numbering in the old form, gathered while its group is open.
    ParaFormat pn_;
    QString pnBefore_, pnAfter_;
    int pnType_ = 0;
    bool pnNoNumber_ = false; // a paragraph that continues a list without a number

    // Lists in the newer form.
    QHash<int, std::vector<ListLevelInfo>> lists_;
    std::vector<ListLevelInfo> listLevels_;
    ListLevelInfo level_;
    int listId_ = 0;
    QHash<int, int> overrides_;
    int overrideList_ = 0, overrideLs_ = 0;
    QString levelText_;

    std::vector<PictBuilder> picts_;
    std::vector<std::shared_ptr<model::OleObjectData>> objects_;
    PictBuilder objectData_; // collects the data of the object being read
    QString objText_;
};

// ---- Groups ----

void Reader::open() {
    flushBody();
    skipFallback_ = 0;
    if (int(states_.size()) >= kMaxDepth) {
        ++overflowDepth_; // too deep to matter: its content is skipped
        return;
    }
    GroupState next = st();
    next.fontEntry = false;
    if (next.dest == Dest::FontTable)
        next.fontEntry = true;
    states_.push_back(std::move(next));
    star_ = false;
}

void Reader::close() {
    flushBody();
    skipFallback_ = 0;
    star_ = false;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (states_.size() <= 1)
        return; // an unmatched closing brace
    GroupState closed = std::move(states_.back());
    states_.pop_back();
    finishGroup(closed, st());
}

void Reader::finishGroup(const GroupState& closed, GroupState& parent) {
    // Fields end with their group.
    while (int(fields_.size()) > parent.fieldLevel && closed.fieldLevel > parent.fieldLevel)
        fields_.pop_back();
    switch (closed.dest) {
    case Dest::FontTable:
        if (closed.fontEntry && (!fontNameBytes_.isEmpty() || !fontNameText_.isEmpty()))
            fontName(";");
        break;
    case Dest::StyleSheet:
        if (parent.dest == Dest::StyleSheet && (!styleName_.isEmpty() || styleNumber_ != 0)) {
            if (paraStyle_) {
                StyleInfo style;
                style.pf = closed.pf;
                style.cf = closed.cf;
                QString name;
                decoder_.decode(styleName_, closed.codePage, name);
                style.name = name.trimmed();
                if (style.name.endsWith(u';'))
                    style.name.chop(1);
                const QString lower = style.name.toLower();
                if (lower.startsWith(u"heading ")) {
                    bool ok = false;
                    const int level = lower.mid(8).toInt(&ok);
                    if (ok && level >= 1 && level <= 9) {
                        style.pf.style = int16_t(-1 - level);
                    }
                }
                styles_.insert(styleNumber_, style);
            }
            styleName_.clear();
            styleNumber_ = 0;
            paraStyle_ = true;
        }
        break;
    case Dest::Info:
        info_.append('}');
        if (parent.dest != Dest::Info)
            doc_.setInfoGroup(info_);
        break;
    case Dest::Pn:
        if (parent.dest != Dest::Pn)
            applyPn(parent);
        break;
    case Dest::LevelText:
        if (parent.dest == Dest::ListLevel)
            level_.text = levelText_;
        break;
    case Dest::ListLevel:
        if (parent.dest == Dest::List)
            listLevels_.push_back(level_);
        break;
    case Dest::List:
        if (parent.dest == Dest::ListTable) {
            lists_.insert(listId_, listLevels_);
            listLevels_.clear();
        }
        break;
    case Dest::ListOverride:
        if (parent.dest == Dest::ListOverrideTable && overrideLs_ > 0)
            overrides_.insert(overrideLs_, overrideList_);
        break;
    case Dest::Pict:
        if (parent.dest != Dest::Pict && !picts_.empty()) {
            auto pict = picts_.back().pict;
            picts_.pop_back();
            if (parent.dest == Dest::ObjResult && !objects_.empty()) {
                if (!objects_.back()->result)
                    objects_.back()->result = pict;
            } else if (parent.dest == Dest::Body && pict->format != model::PictureFormat::Unknown) {
                insertObject(pict);
            }
        }
        break;
    case Dest::ObjData:
        if (parent.dest == Dest::Object && !objects_.empty())
            objects_.back()->data.append(objectData_.pict->data);
        break;
    case Dest::ObjClass:
    case Dest::ObjName:
        if (parent.dest == Dest::Object && !objects_.empty())
            (closed.dest == Dest::ObjClass ? objects_.back()->className : objects_.back()->name) =
                objText_.trimmed().toUtf8();
        break;
    case Dest::Object:
        if (parent.dest != Dest::Object && !objects_.empty()) {
            auto obj = objects_.back();
            objects_.pop_back();
            if (parent.dest == Dest::Body)
                insertObject(obj);
        }
        break;
    default:
        break;
    }
}

// ---- Body text ----

CharFormatId Reader::formatId() {
    const GroupState& s = st();
    if (s.link.isEmpty())
        return doc_.charFormats().intern(s.cf);
    CharFormat linked = s.cf;
    linked.effects |= CFE_LINK;
    linked.linkTarget = s.link;
    return doc_.charFormats().intern(linked);
}

void Reader::addBytes(std::string_view bytes) {
    if (pendingBytes_.size() && pendingCodePage_ != st().codePage)
        decodePending();
    pendingCodePage_ = st().codePage;
    pendingBytes_.append(bytes.data(), qsizetype(bytes.size()));
}

void Reader::decodePending() {
    if (pendingBytes_.isEmpty())
        return;
    QString decoded;
    decoder_.decode(pendingBytes_, pendingCodePage_, decoded);
    pendingBytes_.clear();
    if (QString* target = textTarget()) {
        target->append(decoded);
        return;
    }
    if (st().dest == Dest::Body) {
        // Paragraph marks and object characters come only from their control words.
        decoded.removeIf(
            [](QChar c) { return c == u'\r' || c == u'\n' || c == QChar(model::kObjectChar); });
        put(QStringView(decoded));
    }
}

void Reader::beforeContent() {
    materialize();
    if (cellSep_) {
        cellSep_ = false;
        const QChar tab(u'\t');
        builder_.text(QStringView(&tab, 1), cellSepFormat_);
        ++paraTabs_;
    }
}

void Reader::put(QChar c) {
    put(QStringView(&c, 1));
}

void Reader::put(QStringView s) {
    if (s.isEmpty() || st().dest != Dest::Body)
        return;
    if (cellSep_) {
        // The separator of the cell that ended before this text, in the format it ended with.
        cellSep_ = false;
        materialize();
        if (!body_.isEmpty()) {
            builder_.text(body_, bodyFormat_);
            body_.clear();
        }
        const QChar tab(u'\t');
        builder_.text(QStringView(&tab, 1), cellSepFormat_);
        ++paraTabs_;
    }
    if (body_.isEmpty()) {
        materialize();
        bodyFormat_ = formatId();
    }
    body_.append(s);
    paraTabs_ += int(s.count(u'\t'));
}

void Reader::flushBody() {
    decodePending();
    if (body_.isEmpty())
        return;
    builder_.text(body_, bodyFormat_);
    body_.clear();
}

void Reader::materialize() {
    if (!pendingPar_)
        return;
    pendingPar_ = false;
    builder_.endParagraph(pendingParFormat_, pendingMarkFormat_);
}

void Reader::insertObject(model::ObjectRef object) {
    flushBody();
    beforeContent();
    builder_.object(std::move(object), formatId());
}

ParaFormat Reader::resolvedParagraph() {
    GroupState& s = st();
    ParaFormat pf = options_.plainRtf ? ParaFormat{} : s.pf;
    if (pageBreak_) {
        pf.effects |= PFE_PAGEBREAKBEFORE;
        pageBreak_ = false;
    }
    if (s.ls > 0 && !options_.plainRtf) {
        const auto o = overrides_.constFind(s.ls);
        const auto l = lists_.constFind(o == overrides_.constEnd() ? s.ls : o.value());
        if (l != lists_.constEnd() && !l->empty()) {
            const ListLevelInfo& lv = (*l)[size_t(std::clamp<int>(s.ilvl, 0, int(l->size()) - 1))];
            uint16_t numbering = 0;
            switch (lv.nfc) {
            case 0:
                numbering = PFN_ARABIC;
                break;
            case 1:
                numbering = PFN_UCROMAN;
                break;
            case 2:
                numbering = PFN_LCROMAN;
                break;
            case 3:
                numbering = PFN_UCLETTER;
                break;
            case 4:
                numbering = PFN_LCLETTER;
                break;
            case 23:
                numbering = PFN_BULLET;
                break;
            case 255:
                numbering = 0;
                break;
            default:
                numbering = PFN_ARABIC;
                break;
            }
            if (numbering) {
                pf.numbering = numbering;
                pf.numberingStart =
                    numbering == PFN_BULLET ? 0 : uint16_t(std::clamp(lv.start, 1, 65535));
                // The level text holds its length, then the number placeholders (codes below
                // 10) between the text around them.
                const QString t = lv.text.mid(1);
                qsizetype first = -1, last = -1;
                for (qsizetype k = 0; k < t.size(); ++k)
                    if (t[k].unicode() < 10) {
                        if (first < 0)
                            first = k;
                        last = k;
                    }
                const QString before = first > 0 ? t.left(first) : QString();
                const QString after = last >= 0 ? t.mid(last + 1) : QString();
                if (numbering == PFN_BULLET)
                    pf.numberingStyle = 0;
                else if (before.contains(u'(') && after.startsWith(u')'))
                    pf.numberingStyle = PFNS_PARENS;
                else if (after.startsWith(u')'))
                    pf.numberingStyle = PFNS_PAREN;
                else if (after.startsWith(u'.'))
                    pf.numberingStyle = PFNS_PERIOD;
                else
                    pf.numberingStyle = PFNS_PLAIN;
                if (pf.numberingTab == 0)
                    pf.numberingTab = clamped<uint16_t>(std::abs(int64_t(lv.fi)), 0, 65535);
            }
        }
    }
    if (s.intbl && inRow_) {
        // A row's cells are separated by tabs, and its tab stops are the right edges of all
        // cells but the last; edges the row does not define follow in steps of an inch.
        pf.effects |= PFE_TABLE;
        pf.numbering = 0; // a row is not a list item
        pf.numberingStart = pf.numberingStyle = pf.numberingTab = 0;
        const int n = std::min(paraTabs_, MAX_TAB_STOPS);
        pf.tabCount = int16_t(n);
        pf.tabs.fill(0);
        int32_t edge = 0;
        for (int k = 0; k < n; ++k) {
            edge = size_t(k) < rowEdges_.size() ? std::clamp(rowEdges_[size_t(k)], 0, 0x00FFFFFF)
                                                : std::min(edge + 1440, 0x00FFFFFF);
            pf.tabs[size_t(k)] = edge;
        }
    }
    return pf;
}

void Reader::endParagraph() {
    flushBody();
    if (st().intbl) {
        // A paragraph break inside a table cell stays inside the row.
        put(QChar(model::kLineBreak));
        return;
    }
    materialize();
    cellSep_ = false;
    const ParaFormat pf = resolvedParagraph();
    pendingParFormat_ = doc_.paraFormats().intern(pf);
    pendingMarkFormat_ = doc_.charFormats().intern(st().cf); // a link ends with its paragraph
    pendingPar_ = true;
    paraTabs_ = 0;
}

void Reader::endRow() {
    flushBody();
    materialize();
    cellSep_ = false;
    const bool was = st().intbl;
    st().intbl = true;
    inRow_ = true;
    // The row's cells end at the edges it defined; the last edge is the row's right end.
    rowEdges_ = cellEdges_;
    const ParaFormat pf = resolvedParagraph();
    pendingParFormat_ = doc_.paraFormats().intern(pf);
    pendingMarkFormat_ = doc_.charFormats().intern(st().cf); // a link ends with its paragraph
    pendingPar_ = true;
    st().intbl = was;
    inRow_ = false;
    paraTabs_ = 0;
}

// ---- Other destinations ----

QString* Reader::textTarget() {
    switch (st().dest) {
    case Dest::FieldInst:
        return fields_.empty() ? nullptr : &fields_.back().instruction;
    case Dest::PnTextBefore:
        return &pnBefore_;
    case Dest::PnTextAfter:
        return &pnAfter_;
    case Dest::LevelText:
        return &levelText_;
    case Dest::ObjClass:
    case Dest::ObjName:
        return &objText_;
    default:
        return nullptr;
    }
}

void Reader::fontName(std::string_view bytes) {
    for (char c : bytes) {
        if (c != ';') {
            fontNameBytes_.append(c);
            continue;
        }
        decodeFontName();
        if (currentFont_ >= 0) {
            // Control characters are no part of a name.
            QString name;
            for (QChar ch : std::as_const(fontNameText_))
                if (ch.unicode() >= 0x20)
                    name.append(ch);
            fonts_[currentFont_].name = name.trimmed();
        }
        fontNameText_.clear();
    }
}

void Reader::decodeFontName() {
    const FontInfo& font = fonts_[currentFont_];
    const int cp = font.codePage ? font.codePage : codePageOfCharset(font.charset);
    decoder_.decode(fontNameBytes_, cp ? cp : docCodePage_, fontNameText_);
    fontNameBytes_.clear();
}

void Reader::colorText(std::string_view bytes) {
    for (char c : bytes) {
        if (c != ';')
            continue;
        if (red_ < 0 && green_ < 0 && blue_ < 0)
            colors_.push_back({true, 0});
        else
            colors_.push_back({false, RGB(uint8_t(std::max(red_, 0)), uint8_t(std::max(green_, 0)),
                                          uint8_t(std::max(blue_, 0)))});
        red_ = green_ = blue_ = -1;
    }
}

void Reader::infoToken(const Token& t) {
    switch (t.kind) {
    case Token::Open:
        info_.append('{');
        break;
    case Token::Close:
        break; // the closing brace is added when the group ends
    case Token::Word:
        info_.append('\\').append(t.word.data(), qsizetype(t.word.size()));
        if (t.hasParam)
            info_.append(QByteArray::number(t.param));
        info_.append(' ');
        break;
    case Token::Symbol:
        info_.append('\\').append(t.symbol);
        break;
    case Token::Hex:
        info_.append("\\'").append(QByteArray::number(t.hex, 16).rightJustified(2, '0'));
        break;
    case Token::Text:
        info_.append(t.text.data(), qsizetype(t.text.size()));
        break;
    case Token::End:
        break;
    }
}

void Reader::applyPn(GroupState& target) {
    if (options_.plainRtf)
        return;
    ParaFormat& pf = target.pf;
    pf.numbering = uint16_t(pnType_);
    // Numbers count from 1 unless told otherwise; bullets have no start.
    pf.numberingStart = pnType_ == PFN_BULLET ? 0 : std::max<uint16_t>(1, pn_.numberingStart);
    pf.numberingTab = pn_.numberingTab;
    if (pnType_ == PFN_BULLET)
        pf.numberingStyle = 0;
    else if (pnNoNumber_)
        pf.numberingStyle = PFNS_NONUMBER;
    else if (pnBefore_.contains(u'(') && pnAfter_.contains(u')'))
        pf.numberingStyle = PFNS_PARENS;
    else if (pnAfter_.contains(u')'))
        pf.numberingStyle = PFNS_PAREN;
    else if (pnAfter_.contains(u'.'))
        pf.numberingStyle = PFNS_PERIOD;
    else
        pf.numberingStyle = PFNS_PLAIN;
}

void Reader::fontSelected(int number) {
    GroupState& s = st();
    const auto it = fonts_.constFind(number);
    if (it == fonts_.constEnd())
        return;
    s.cf.face = it->name;
    s.cf.charSet = it->charset;
    s.cf.pitchAndFamily = it->pitchAndFamily;
    const int cp = it->codePage ? it->codePage : codePageOfCharset(it->charset);
    s.codePage = cp ? cp : docCodePage_;
}

// ---- Tokens ----

void Reader::text(std::string_view bytes) {
    if (skipFallback_ > 0) {
        const size_t n = std::min<size_t>(size_t(skipFallback_), bytes.size());
        skipFallback_ -= int(n);
        bytes.remove_prefix(n);
        if (bytes.empty())
            return;
    }
    switch (st().dest) {
    case Dest::Body:
        addBytes(bytes);
        break;
    case Dest::FontTable:
        fontName(bytes);
        break;
    case Dest::ColorTable:
        colorText(bytes);
        break;
    case Dest::StyleSheet:
        if (states_.size() >= 2 && states_[states_.size() - 2].dest == Dest::StyleSheet)
            styleName_.append(bytes.data(), qsizetype(bytes.size()));
        break;
    case Dest::Pict:
        if (!picts_.empty())
            picts_.back().hex(bytes);
        break;
    case Dest::ObjData:
        if (!objects_.empty())
            objectData_.hex(bytes); // object data is hex, like a picture's
        break;
    case Dest::FieldInst:
    case Dest::PnTextBefore:
    case Dest::PnTextAfter:
    case Dest::LevelText:
    case Dest::ObjClass:
    case Dest::ObjName:
        addBytes(bytes);
        break;
    default:
        break;
    }
}

void Reader::hexByte(uint8_t b) {
    if (skipFallback_ > 0) {
        --skipFallback_;
        return;
    }
    const char c = char(b);
    switch (st().dest) {
    case Dest::FontTable:
        fontName(std::string_view(&c, 1));
        break;
    case Dest::StyleSheet:
        styleName_.append(c);
        break;
    default:
        text(std::string_view(&c, 1));
        break;
    }
}

void Reader::symbol(char c) {
    if (st().dest == Dest::Info) {
        Token t;
        t.kind = Token::Symbol;
        t.symbol = c;
        infoToken(t);
        return;
    }
    if (c == '*') {
        star_ = true;
        return;
    }
    if (skipFallback_ > 0) {
        --skipFallback_;
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}':
        text(std::string_view(&c, 1));
        return;
    default:
        break;
    }
    const QChar special = c == '~'   ? QChar(0x00A0)
                          : c == '-' ? QChar(0x00AD)
                          : c == '_' ? QChar(0x2011)
                                     : QChar();
    if (st().dest == Dest::FontTable && !special.isNull()) {
        decodeFontName();
        fontNameText_.append(special);
        return;
    }
    if (QString* target = textTarget(); target && !special.isNull()) {
        decodePending();
        target->append(special);
        return;
    }
    if (st().dest != Dest::Body)
        return;
    decodePending();
    switch (c) {
    case '~':
        put(QChar(0x00A0));
        break;
    case '-':
        put(QChar(0x00AD));
        break;
    case '_':
        put(QChar(0x2011));
        break;
    case '|':
        break;
    case ':':
        break;
    default:
        break;
    }
}

void Reader::word(const Token& t) {
    const Kw kw = lookupKeyword(t.word);
    GroupState& s = st();
    const bool starred = star_;
    star_ = false;

    if (s.dest == Dest::Info) {
        infoToken(t);
        return;
    }
    if (kw == Kw::bin) {
        // Binary data belongs to the picture or object being read; elsewhere it is skipped.
        decodePending();
        const int64_t n = std::max<int64_t>(0, t.param);
        if (s.dest == Dest::Pict && !picts_.empty()) {
            QByteArray& data = picts_.back().pict->data;
            tok_.readBinary(n, [&](const char* p, int32_t len) { data.append(p, len); });
        } else if (s.dest == Dest::ObjData && !objects_.empty()) {
            QByteArray& data = objectData_.pict->data;
            tok_.readBinary(n, [&](const char* p, int32_t len) { data.append(p, len); });
        } else {
            tok_.readBinary(n, nullptr);
        }
        return;
    }
    if (s.dest == Dest::Skip) {
        // The text of text boxes in shapes and drawing objects is document text.
        if ((kw == Kw::shptxt && s.inShape) || kw == Kw::dptxbxtext) {
            if (!s.hardSkip)
                setDest(Dest::Body);
        }
        if (kw == Kw::shprslt || kw == Kw::nonesttables)
            s.hardSkip = true;
        return;
    }

    if (skipFallback_ > 0 && kw != Kw::u) {
        --skipFallback_;
        return;
    }
    if (kw != Kw::u && kw != Kw::Unknown)
        flushBody();

    switch (kw) {
    // ---- destinations ----
    case Kw::fonttbl:
        setDest(Dest::FontTable);
        return;
    case Kw::colortbl:
        setDest(Dest::ColorTable);
        return;
    case Kw::stylesheet:
        setDest(Dest::StyleSheet);
        return;
    case Kw::info:
        setDest(Dest::Info);
        info_ = "{\\info ";
        return;
    case Kw::pict:
        if (s.dest == Dest::Body || s.dest == Dest::ObjResult) {
            setDest(Dest::Pict);
            picts_.emplace_back();
        } else {
            setDest(Dest::Skip);
        }
        return;
    case Kw::object:
        if (s.dest == Dest::Body) {
            setDest(Dest::Object);
            objects_.push_back(std::make_shared<model::OleObjectData>());
        } else {
            setDest(Dest::Skip);
        }
        return;
    case Kw::objdata:
        if (s.dest == Dest::Object) {
            setDest(Dest::ObjData);
            objectData_ = PictBuilder{};
        } else {
            setDest(Dest::Skip);
        }
        return;
    case Kw::objclass:
    case Kw::objname:
        if (s.dest == Dest::Object) {
            setDest(kw == Kw::objclass ? Dest::ObjClass : Dest::ObjName);
            objText_.clear();
        } else {
            setDest(Dest::Skip);
        }
        return;
    case Kw::result:
        setDest(s.dest == Dest::Object ? Dest::ObjResult : Dest::Skip);
        return;
    case Kw::field:
        if (s.dest == Dest::Body) {
            fields_.push_back({});
            s.fieldLevel = int(fields_.size());
        }
        return;
    case Kw::fldinst:
        setDest(s.dest == Dest::Body ? Dest::FieldInst : Dest::Skip);
        return;
    case Kw::fldrslt:
        if (s.dest == Dest::Body && !fields_.empty()) {
            const QString inst = fields_.back().instruction.trimmed();
            if (inst.startsWith(u"HYPERLINK", Qt::CaseInsensitive)) {
                // The target: the first quoted argument, or the first word; "\l" names a place
                // in the document.
                QString rest = inst.mid(9).trimmed();
                QString target;
                bool local = false;
                while (!rest.isEmpty()) {
                    if (rest.startsWith(u"\\l")) {
                        local = true;
                        rest = rest.mid(2).trimmed();
                        continue;
                    }
                    if (rest.startsWith(u'\\')) {
                        // Another switch and its argument.
                        rest = rest.mid(2).trimmed();
                        if (rest.startsWith(u'"')) {
                            const qsizetype end = rest.indexOf(u'"', 1);
                            rest = end < 0 ? QString() : rest.mid(end + 1).trimmed();
                        }
                        continue;
                    }
                    if (rest.startsWith(u'"')) {
                        // A quoted argument: \" is a quote and \\ a backslash inside it.
                        for (qsizetype k = 1; k < rest.size(); ++k) {
                            const QChar c = rest[k];
                            if (c == u'\\' && k + 1 < rest.size() &&
                                (rest[k + 1] == u'"' || rest[k + 1] == u'\\')) {
                                target += rest[++k];
                            } else if (c == u'"') {
                                break;
                            } else {
                                target += c;
                            }
                        }
                    } else {
                        target = rest.section(u' ', 0, 0);
                    }
                    break;
                }
                if (!target.isEmpty() && !options_.plainRtf)
                    s.link = local ? u"#"_qs + target : target;
            }
        }
        return;
    case Kw::pn:
        if (s.dest == Dest::Body) {
            setDest(Dest::Pn);
            pn_ = ParaFormat{};
            pnBefore_.clear();
            pnAfter_.clear();
            pnType_ = PFN_ARABIC;
            pnNoNumber_ = false;
        } else {
            setDest(Dest::Skip);
        }
        return;
    case Kw::pntxtb:
        setDest(s.dest == Dest::Pn ? Dest::PnTextBefore : Dest::Skip);
        return;
    case Kw::pntxta:
        setDest(s.dest == Dest::Pn ? Dest::PnTextAfter : Dest::Skip);
        return;
    case Kw::listtable:
        setDest(Dest::ListTable);
        return;
    case Kw::list:
        if (s.dest == Dest::ListTable) {
            setDest(Dest::List);
            listLevels_.clear();
            listId_ = 0;
        } else {
            setDest(Dest::Skip);
        }
        return;
    case Kw::listlevel:
        if (s.dest == Dest::List) {
            setDest(Dest::ListLevel);
            level_ = ListLevelInfo{};
        } else {
            setDest(Dest::Skip);
        }
        return;
    case Kw::leveltext:
        if (s.dest == Dest::ListLevel) {
            setDest(Dest::LevelText);
            levelText_.clear();
        } else {
            setDest(Dest::Skip);
        }
        return;
    case Kw::listoverridetable:
        setDest(Dest::ListOverrideTable);
        return;
    case Kw::listoverride:
        if (s.dest == Dest::ListOverrideTable) {
            setDest(Dest::ListOverride);
            overrideList_ = overrideLs_ = 0;
        } else {
            setDest(Dest::Skip);
        }
        return;
    case Kw::shppict:
        return; // the picture inside is the one to show
    case Kw::shp:
        setDest(Dest::Skip);
        s.inShape = true;
        return;
    case Kw::shprslt:
    case Kw::nonesttables:
    case Kw::nonshppict:
        setDest(Dest::Skip);
        s.hardSkip = true;
        return;
    case Kw::chftn:
        if (s.dest == Dest::Body)
            put(QString::number(++footnotes_));
        return;
    case Kw::shptxt:
    case Kw::dptxbxtext:
        return;
    case Kw::pntext:
    case Kw::listtext:
    case Kw::header:
    case Kw::footer:
    case Kw::footnote:
    case Kw::annotation:
    case Kw::levelnumbers:
    case Kw::SkipDestination:
        setDest(Dest::Skip);
        return;
    case Kw::Unknown:
        if (starred)
            setDest(Dest::Skip);
        return;
    default:
        break;
    }

    switch (s.dest) {
    case Dest::FontTable:
        switch (kw) {
        case Kw::u:
            decodeFontName();
            fontNameText_.append(QChar(char16_t(t.param < 0 ? t.param + 65536 : t.param)));
            skipFallback_ = s.uc;
            return;
        case Kw::f:
            fontNameBytes_.clear();
            fontNameText_.clear();
            currentFont_ = t.param;
            fonts_[currentFont_] = FontInfo{};
            return;
        case Kw::fnil:
            fonts_[currentFont_].pitchAndFamily &= 0x0F;
            return;
        case Kw::froman:
            fonts_[currentFont_].pitchAndFamily |= 0x10;
            return;
        case Kw::fswiss:
            fonts_[currentFont_].pitchAndFamily |= 0x20;
            return;
        case Kw::fmodern:
            fonts_[currentFont_].pitchAndFamily |= 0x30;
            return;
        case Kw::fscript:
            fonts_[currentFont_].pitchAndFamily |= 0x40;
            return;
        case Kw::fdecor:
            fonts_[currentFont_].pitchAndFamily |= 0x50;
            return;
        case Kw::fcharset:
            fonts_[currentFont_].charset = uint8_t(t.param);
            return;
        case Kw::fprq:
            fonts_[currentFont_].pitchAndFamily =
                uint8_t((fonts_[currentFont_].pitchAndFamily & 0xF0) | (t.param & 0x03));
            return;
        case Kw::cpg:
            fonts_[currentFont_].codePage = t.param;
            return;
        default:
            return;
        }
    case Dest::ColorTable:
        switch (kw) {
        case Kw::red:
            red_ = std::clamp(t.param, 0, 255);
            return;
        case Kw::green:
            green_ = std::clamp(t.param, 0, 255);
            return;
        case Kw::blue:
            blue_ = std::clamp(t.param, 0, 255);
            return;
        default:
            return;
        }
    case Dest::Pict: {
        if (picts_.empty())
            return;
        model::PictureObject& p = *picts_.back().pict;
        switch (kw) {
        case Kw::pngblip:
            p.format = model::PictureFormat::Png;
            return;
        case Kw::jpegblip:
            p.format = model::PictureFormat::Jpeg;
            return;
        case Kw::emfblip:
            p.format = model::PictureFormat::Emf;
            return;
        case Kw::wmetafile:
            p.format = model::PictureFormat::Wmf;
            p.metafileMapping = t.hasParam ? t.param : 8;
            return;
        case Kw::dibitmap:
            p.format = model::PictureFormat::Dib;
            return;
        case Kw::wbitmap:
            p.format = model::PictureFormat::DeviceBitmap;
            return;
        case Kw::picw:
            p.width = t.param;
            return;
        case Kw::pich:
            p.height = t.param;
            return;
        case Kw::picwgoal:
            p.goalWidth = t.param;
            return;
        case Kw::pichgoal:
            p.goalHeight = t.param;
            return;
        case Kw::picscalex:
            p.scaleX = t.param;
            return;
        case Kw::picscaley:
            p.scaleY = t.param;
            return;
        case Kw::wbmbitspixel:
            p.bitsPerPixel = t.param;
            return;
        case Kw::wbmplanes:
            p.planes = t.param;
            return;
        case Kw::wbmwidthbytes:
            p.widthBytes = t.param;
            return;
        default:
            return;
        }
    }
    case Dest::Object: {
        if (objects_.empty())
            return;
        model::OleObjectData& o = *objects_.back();
        switch (kw) {
        case Kw::objemb:
            o.kind = "objemb";
            return;
        case Kw::objlink:
            o.kind = "objlink";
            return;
        case Kw::objautlink:
            o.kind = "objautlink";
            return;
        case Kw::objsub:
            o.kind = "objsub";
            return;
        case Kw::objpub:
            o.kind = "objpub";
            return;
        case Kw::objicemb:
            o.kind = "objicemb";
            return;
        case Kw::objhtml:
            o.kind = "objhtml";
            return;
        case Kw::objocx:
            o.kind = "objocx";
            return;
        case Kw::objw:
            o.width = t.param;
            return;
        case Kw::objh:
            o.height = t.param;
            return;
        default:
            return;
        }
    }
    case Dest::Pn:
        switch (kw) {
        case Kw::pnlvlblt:
            pnType_ = PFN_BULLET;
            return;
        case Kw::pnlvlcont:
            pnNoNumber_ = true;
            return;
        case Kw::pndec:
            pnType_ = PFN_ARABIC;
            return;
        case Kw::pnucltr:
            pnType_ = PFN_UCLETTER;
            return;
        case Kw::pnlcltr:
            pnType_ = PFN_LCLETTER;
            return;
        case Kw::pnucrm:
            pnType_ = PFN_UCROMAN;
            return;
        case Kw::pnlcrm:
            pnType_ = PFN_LCROMAN;
            return;
        case Kw::pnstart:
            pn_.numberingStart = uint16_t(std::clamp(t.param, 0, 65535));
            return;
        case Kw::pnindent:
            pn_.numberingTab = uint16_t(std::clamp(t.param, 0, 65535));
            return;
        default:
            return;
        }
    case Dest::List:
        if (kw == Kw::listid)
            listId_ = t.param;
        return;
    case Dest::ListLevel:
        switch (kw) {
        case Kw::levelnfc:
        case Kw::levelnfcn:
            level_.nfc = t.param;
            return;
        case Kw::levelstartat:
            level_.start = t.param;
            return;
        case Kw::fi:
            level_.fi = t.param;
            return;
        default:
            return;
        }
    case Dest::LevelText:
        if (kw == Kw::u)
            levelText_.append(QChar(char16_t(t.param)));
        return;
    case Dest::ListOverride:
        if (kw == Kw::listid)
            overrideList_ = t.param;
        else if (kw == Kw::ls)
            overrideLs_ = t.param;
        return;
    case Dest::StyleSheet:
        switch (kw) {
        case Kw::s:
            styleNumber_ = t.param;
            paraStyle_ = true;
            return;
        case Kw::cs:
        case Kw::ds:
        case Kw::ts:
            styleNumber_ = t.param;
            paraStyle_ = false;
            return;
        default:
            break;
        }
        break; // formatting inside a style entry
    case Dest::Body:
        break;
    case Dest::ObjResult:
        return;
    default:
        if (const QChar c = charOfKeyword(kw); !c.isNull() && textTarget()) {
            decodePending();
            textTarget()->append(c);
            return;
        }
        if (kw == Kw::u && textTarget()) {
            decodePending();
            textTarget()->append(QChar(char16_t(t.param)));
            skipFallback_ = st().uc;
        }
        return;
    }

    // ---- document-wide words ----
    switch (kw) {
    case Kw::ansi:
        docCodePage_ = 1252;
        s.codePage = 1252;
        return;
    case Kw::mac:
        docCodePage_ = 10000;
        s.codePage = 10000;
        return;
    case Kw::pc:
        docCodePage_ = 437;
        s.codePage = 437;
        return;
    case Kw::pca:
        docCodePage_ = 850;
        s.codePage = 850;
        return;
    case Kw::ansicpg:
        if (t.param > 0) {
            docCodePage_ = t.param;
            s.codePage = t.param;
        }
        return;
    case Kw::deff:
        defaultFont_ = t.param;
        return;
    case Kw::uc:
        s.uc = std::clamp(t.param, 0, 16);
        return;
    case Kw::u:
        if (s.dest == Dest::Body) {
            decodePending();
            const auto unit = char16_t(t.param < 0 ? t.param + 65536 : t.param);
            if (unit != u'\r' && unit != u'\n' && unit != model::kObjectChar)
                put(QChar(unit));
            skipFallback_ = s.uc;
        }
        return;
    default:
        break;
    }
    charWord(kw, t);
    paraWord(kw, t);
}

void Reader::charWord(Kw kw, const Token& t) {
    GroupState& s = st();
    CharFormat& cf = s.cf;
    const bool on = !t.hasParam || t.param != 0;
    auto effect = [&](uint32_t bit) { cf.effects = on ? (cf.effects | bit) : (cf.effects & ~bit); };
    auto underline = [&](uint8_t type) {
        if (on && type != CFU_UNDERLINENONE) {
            cf.effects |= CFE_UNDERLINE;
            cf.underlineType = type;
        } else {
            cf.effects &= ~CFE_UNDERLINE;
            cf.underlineType = CFU_UNDERLINENONE;
        }
    };
    auto color = [&](int index, COLORREF& value, uint32_t autoBit) {
        if (index <= 0 || size_t(index) >= colors_.size() || colors_[size_t(index)].first) {
            cf.effects |= autoBit;
            value = 0; // an automatic colour has no value of its own
            return;
        }
        cf.effects &= ~autoBit;
        value = colors_[size_t(index)].second;
    };
    const bool plain = options_.plainRtf;
    switch (kw) {
    case Kw::plain:
        cf = plainFormat();
        s.codePage = docCodePage_;
        fontSelected(defaultFont_);
        return;
    case Kw::f:
        fontSelected(t.param);
        return;
    case Kw::fs:
        if (t.param > 0)
            cf.height = clamped(int64_t(t.param) * 10, 10, 32760);
        return;
    case Kw::b:
        effect(CFE_BOLD);
        cf.weight = on ? 700 : 400;
        return;
    case Kw::i:
        effect(CFE_ITALIC);
        return;
    case Kw::ul:
        underline(CFU_UNDERLINE);
        return;
    case Kw::ulw:
        underline(CFU_UNDERLINEWORD);
        return;
    case Kw::uldb:
        underline(CFU_UNDERLINEDOUBLE);
        return;
    case Kw::uld:
        underline(CFU_UNDERLINEDOTTED);
        return;
    case Kw::uldash:
        underline(CFU_UNDERLINEDASH);
        return;
    case Kw::uldashd:
        underline(CFU_UNDERLINEDASHDOT);
        return;
    case Kw::uldashdd:
        underline(CFU_UNDERLINEDASHDOTDOT);
        return;
    case Kw::ulwave:
        underline(CFU_UNDERLINEWAVE);
        return;
    case Kw::ulth:
    case Kw::ulthd:
    case Kw::ulthdash:
        underline(CFU_UNDERLINETHICK);
        return;
    case Kw::ulhair:
        underline(CFU_UNDERLINEHAIRLINE);
        return;
    case Kw::ululdbwave:
        underline(CFU_UNDERLINEDOUBLEWAVE);
        return;
    case Kw::ulhwave:
        underline(CFU_UNDERLINEHEAVYWAVE);
        return;
    case Kw::ulldash:
        underline(CFU_UNDERLINELONGDASH);
        return;
    case Kw::ulnone:
        underline(CFU_UNDERLINENONE);
        return;
    case Kw::strike:
    case Kw::striked:
        effect(CFE_STRIKEOUT);
        return;
    case Kw::cf:
        color(t.param, cf.textColor, CFE_AUTOCOLOR);
        return;
    case Kw::cb:
    case Kw::highlight:
    case Kw::chcbpat:
        color(t.param, cf.backColor, CFE_AUTOBACKCOLOR);
        return;
    case Kw::sub:
        cf.effects = (cf.effects & ~CFE_SUPERSCRIPT);
        effect(CFE_SUBSCRIPT);
        return;
    case Kw::super:
        cf.effects = (cf.effects & ~CFE_SUBSCRIPT);
        effect(CFE_SUPERSCRIPT);
        return;
    case Kw::nosupersub:
        cf.effects &= ~(CFE_SUBSCRIPT | CFE_SUPERSCRIPT);
        cf.offset = 0;
        return;
    case Kw::up:
        cf.offset = clamped(int64_t(t.hasParam ? t.param : 6) * 10, -0x7FFFFF, 0x7FFFFF);
        return;
    case Kw::dn:
        cf.offset = clamped(-int64_t(t.hasParam ? t.param : 6) * 10, -0x7FFFFF, 0x7FFFFF);
        return;
    case Kw::v:
        effect(CFE_HIDDEN);
        return;
    case Kw::protect:
        if (!plain)
            effect(CFE_PROTECTED);
        return;
    case Kw::revised:
        if (!plain)
            effect(CFE_REVISED);
        return;
    case Kw::revauth:
        if (!plain)
            cf.revAuthor = uint8_t(std::clamp(t.param, 0, 255));
        return;
    case Kw::caps:
        effect(CFE_ALLCAPS);
        return;
    case Kw::scaps:
        effect(CFE_SMALLCAPS);
        return;
    case Kw::outl:
        effect(CFE_OUTLINE);
        return;
    case Kw::shad:
        effect(CFE_SHADOW);
        return;
    case Kw::embo:
        effect(CFE_EMBOSS);
        return;
    case Kw::disabled:
        effect(CFE_DISABLED);
        return;
    case Kw::impr:
        effect(CFE_IMPRINT);
        return;
    case Kw::expnd:
        cf.spacing = clamped<int16_t>(int64_t(t.param) * 5, -32768, 32767);
        return;
    case Kw::expndtw:
        cf.spacing = int16_t(std::clamp(t.param, -32768, 32767));
        return;
    case Kw::kerning:
        cf.kerning = clamped<uint16_t>(int64_t(t.param) * 10, 0, 65535);
        return;
    case Kw::lang:
        if (!plain)
            cf.lcid = uint32_t(std::max(0, t.param));
        return;
    case Kw::charscalex:
        cf.charScaleX = int16_t(std::clamp(t.param, 1, 600));
        return;
    case Kw::animtext:
        cf.animation = uint8_t(std::clamp(t.param, 0, 255));
        return;
    default:
        return;
    }
}

void Reader::paraWord(Kw kw, const Token& t) {
    GroupState& s = st();
    ParaFormat& pf = s.pf;
    auto clampTwips = [](int64_t v) { return clamped(v, -0x7FFFFF, 0x7FFFFF); };
    // The first line's indent and the others' offset follow from \li and \fi together.
    auto setIndents = [&](int64_t li, int64_t fi) {
        li = clampTwips(li);
        fi = clampTwips(fi);
        pf.startIndent = clampTwips(li + fi);
        pf.offset = clampTwips(-fi);
    };
    const int64_t li = int64_t(pf.startIndent) + pf.offset;
    const int64_t fi = -int64_t(pf.offset);
    switch (kw) {
    case Kw::pard: {
        flushBody();
        pf = ParaFormat{};
        s.ls = 0;
        s.ilvl = 0;
        s.intbl = false;
        tabKind_ = tabLeader_ = 0;
        return;
    }
    case Kw::s: {
        const auto it = styles_.constFind(t.param);
        if (it != styles_.constEnd() && s.dest == Dest::Body) {
            // The style is the base; a numbering already given for the paragraph stays.
            const ParaFormat given = pf;
            pf = it->pf;
            if (given.numbering) {
                pf.numbering = given.numbering;
                pf.numberingStart = given.numberingStart;
                pf.numberingStyle = given.numberingStyle;
                pf.numberingTab = given.numberingTab;
            }
            s.cf = it->cf;
        }
        return;
    }
    case Kw::ql:
        pf.alignment = PFA_LEFT;
        return;
    case Kw::qc:
        pf.alignment = PFA_CENTER;
        return;
    case Kw::qr:
        pf.alignment = PFA_RIGHT;
        return;
    case Kw::qj:
    case Kw::qd:
        pf.alignment = PFA_JUSTIFY;
        return;
    case Kw::li:
    case Kw::lin:
        setIndents(t.param, fi);
        return;
    case Kw::fi:
        setIndents(li, t.param);
        return;
    case Kw::ri:
    case Kw::rin:
        pf.rightIndent = clampTwips(t.param);
        return;
    case Kw::sb:
        pf.spaceBefore = std::clamp(t.param, 0, 0x7FFFFF);
        return;
    case Kw::sa:
        pf.spaceAfter = std::clamp(t.param, 0, 0x7FFFFF);
        return;
    case Kw::sl:
    case Kw::slmult: {
        if (kw == Kw::sl) {
            slValue_ = t.param;
            slSeen_ = true;
        }
        const bool multiple = kw == Kw::slmult && t.param == 1;
        const int32_t v = slValue_;
        if (v == 0 || !slSeen_) {
            pf.lineSpacingRule = 0;
            pf.lineSpacing = 0;
        } else if (multiple) {
            // A multiple in twentieths of a line: single, one and a half and double have
            // rules of their own.
            const int32_t lines = clamped(std::abs(int64_t(v)) / 12, 1, 0x7FFF);
            pf.lineSpacing = 0;
            if (lines == 20) {
                pf.lineSpacingRule = 0;
            } else if (lines == 30) {
                pf.lineSpacingRule = 1;
            } else if (lines == 40) {
                pf.lineSpacingRule = 2;
            } else {
                pf.lineSpacingRule = 5;
                pf.lineSpacing = lines;
            }
        } else if (v > 0) {
            pf.lineSpacingRule = 3;
            pf.lineSpacing = std::min(v, 0x7FFFFF);
        } else {
            pf.lineSpacingRule = 4;
            pf.lineSpacing = std::min(-int64_t(v), int64_t(0x7FFFFF));
        }
        return;
    }
    case Kw::tqr:
        tabKind_ = 2;
        return;
    case Kw::tqc:
        tabKind_ = 1;
        return;
    case Kw::tqdec:
        tabKind_ = 3;
        return;
    case Kw::tldot:
        tabLeader_ = 1;
        return;
    case Kw::tlmdot:
        tabLeader_ = 1;
        return;
    case Kw::tlhyph:
        tabLeader_ = 2;
        return;
    case Kw::tlul:
        tabLeader_ = 3;
        return;
    case Kw::tlth:
        tabLeader_ = 4;
        return;
    case Kw::tleq:
        tabLeader_ = 5;
        return;
    case Kw::tx:
    case Kw::tb: {
        const int kind = kw == Kw::tb ? 4 : tabKind_;
        if (pf.tabCount < MAX_TAB_STOPS && t.param >= 0) {
            pf.tabs[size_t(pf.tabCount++)] =
                std::min(t.param, 0x00FFFFFF) | (kind << 24) | (tabLeader_ << 28);
        }
        tabKind_ = tabLeader_ = 0;
        return;
    }
    case Kw::keep:
        pf.effects = t.param == 0 && t.hasParam ? pf.effects & ~PFE_KEEP : pf.effects | PFE_KEEP;
        return;
    case Kw::keepn:
        pf.effects =
            t.param == 0 && t.hasParam ? pf.effects & ~PFE_KEEPNEXT : pf.effects | PFE_KEEPNEXT;
        return;
    case Kw::pagebb:
        pf.effects |= PFE_PAGEBREAKBEFORE;
        return;
    case Kw::rtlpar:
        pf.effects |= PFE_RTLPARA;
        return;
    case Kw::ltrpar:
        pf.effects &= ~PFE_RTLPARA;
        return;
    case Kw::intbl:
        s.intbl = true;
        return;
    case Kw::outlinelevel:
        pf.outlineLevel = uint8_t(std::clamp(t.param, 0, 9));
        return;
    case Kw::ls:
        s.ls = t.param;
        return;
    case Kw::ilvl:
        s.ilvl = std::clamp(t.param, 0, 8);
        return;
    default:
        break;
    }
    if (const QChar c = charOfKeyword(kw); !c.isNull()) {
        if (s.dest == Dest::Body) {
            put(c);
        } else if (QString* target = textTarget()) {
            decodePending();
            target->append(c);
        }
        return;
    }
    if (s.dest != Dest::Body)
        return; // a style entry's formatting, not text
    switch (kw) {
    // ---- text ----
    case Kw::par:
        endParagraph();
        return;
    case Kw::sect:
        endParagraph();
        return;
    case Kw::page:
        pageBreak_ = true;
        return;
    // ---- tables ----
    case Kw::trowd:
        cellEdges_.clear();
        return;
    case Kw::cellx:
        if (cellEdges_.size() < 64)
            cellEdges_.push_back(t.param);
        return;
    case Kw::cell:
    case Kw::nestcell:
        flushBody();
        if (cellSep_) {
            cellSep_ = false; // an empty cell: its separator goes out now
            materialize();
            const QChar tab(u'\t');
            builder_.text(QStringView(&tab, 1), cellSepFormat_);
            ++paraTabs_;
        }
        cellSep_ = true;
        cellSepFormat_ = formatId();
        return;
    case Kw::row:
        endRow();
        return;
    case Kw::nestrow:
        return;
    default:
        return;
    }
}

ReadResult Reader::run() {
    ReadResult result;
    if (!tok_.hasRtfHeader()) {
        result.status = tok_.sourceFailed() ? ReadResult::SourceFailed : ReadResult::NotRtf;
        result.message = tok_.sourceFailed() ? u"The document could not be read."_qs
                                             : u"The document is not in Rich Text Format."_qs;
        return result;
    }
    Token t;
    int depth = 0;
    while (tok_.next(t)) {
        switch (t.kind) {
        case Token::Open:
            ++depth;
            if (st().dest == Dest::Info && overflowDepth_ == 0)
                infoToken(t);
            open();
            break;
        case Token::Close:
            if (--depth <= 0)
                goto done; // the document's closing brace: the rest is not part of it
            close();
            break;
        case Token::Word:
            if (overflowDepth_ == 0)
                word(t);
            break;
        case Token::Symbol:
            if (overflowDepth_ == 0)
                symbol(t.symbol);
            break;
        case Token::Hex:
            if (overflowDepth_ == 0) {
                if (st().dest == Dest::Info)
                    infoToken(t);
                else
                    hexByte(t.hex);
            }
            break;
        case Token::Text:
            if (overflowDepth_ == 0) {
                if (st().dest == Dest::Info)
                    infoToken(t);
                else
                    text(t.text);
            }
            break;
        case Token::End:
            break;
        }
    }
done:
    if (tok_.sourceFailed()) {
        result.status = ReadResult::SourceFailed;
        result.message = u"The document could not be read to its end."_qs;
        result.offset = tok_.offset();
        return result;
    }
    // A truncated document ends where its text ends.
    flushBody();
    if (pendingPar_) {
        // The last paragraph mark of a document is the final mark.
        pendingPar_ = false;
        builder_.finish(pendingParFormat_, pendingMarkFormat_);
    } else {
        builder_.finish(doc_.paraFormats().intern(resolvedParagraph()),
                        doc_.charFormats().intern(st().cf));
    }
    result.offset = tok_.offset();
    return result;
}

} // namespace

ReadResult readRtf(ByteSource& in, model::Document& out, const ReadOptions& options) {
    Reader reader(in, out, options);
    return reader.run();
}

} // namespace richedit::rtf
