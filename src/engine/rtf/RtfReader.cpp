#include "engine/rtf/RtfReader.h"

#include "engine/rtf/RtfReaderState.h"

#include <algorithm>

namespace richedit::rtf {

namespace detail {
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

} // namespace detail

ReadResult readRtf(ByteSource& in, model::Document& out, const ReadOptions& options) {
    detail::Reader reader(in, out, options);
    return reader.run();
}

} // namespace richedit::rtf
