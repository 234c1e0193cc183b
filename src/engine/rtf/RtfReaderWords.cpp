// The reader's handling of control words: destinations, tables, character and paragraph
// formatting.

#include "engine/rtf/RtfReaderState.h"

#include <algorithm>

namespace richedit::rtf::detail {

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
        cf.offset = clamped(int64_t(t.hasParam ? t.param : 6) * 10, -8388600, 8388600);
        return;
    case Kw::dn:
        cf.offset = clamped(-int64_t(t.hasParam ? t.param : 6) * 10, -8388600, 8388600);
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
        cf.kerning = clamped<uint16_t>(int64_t(t.param) * 10, 0, 65530); // whole half-points
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

} // namespace richedit::rtf::detail
