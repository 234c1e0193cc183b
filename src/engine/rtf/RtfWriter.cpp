#include "engine/rtf/RtfWriter.h"

#include "engine/model/PictureObject.h"
#include "engine/rtf/RtfOutput.h"
#include "engine/rtf/RtfWriterTables.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace richedit::rtf {

namespace {

using detail::headingLevel;
using detail::Piece;
using detail::RtfOutput;
using detail::WriteRange;
using detail::WriterTables;
using model::CharFormat;
using model::CharFormatId;
using model::ParaFormat;
using model::ParaFormatId;

constexpr CharFormatId kNoCharFormat = UINT32_MAX;
constexpr ParaFormatId kNoParaFormat = UINT32_MAX;
constexpr int32_t kDefaultCellWidth = 1440;

// ---- Numbers of numbered paragraphs ----

std::string letters(int32_t n, char first) {
    // 1 -> a, 26 -> z, 27 -> aa, 28 -> bb ...
    const int32_t repeat = std::min<int32_t>((n - 1) / 26 + 1, 64);
    return std::string(size_t(repeat), char(first + (n - 1) % 26));
}

std::string roman(int32_t n, bool upper) {
    static constexpr struct {
        int32_t value;
        const char* digits;
    } kRoman[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                  {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                  {5, "v"},    {4, "iv"},   {1, "i"}};
    std::string s;
    for (const auto& r : kRoman) {
        while (n >= r.value) {
            s += r.digits;
            n -= r.value;
        }
    }
    if (upper)
        std::transform(s.begin(), s.end(), s.begin(), [](char c) { return char(c - 'a' + 'A'); });
    return s;
}

// The text a numbered paragraph shows before its tab: "3.", "(c)", "iv)" ...
std::string numberText(const ParaFormat& f, int32_t n) {
    std::string digits;
    switch (f.numbering) {
    case PFN_LCLETTER:
        digits = letters(n, 'a');
        break;
    case PFN_UCLETTER:
        digits = letters(n, 'A');
        break;
    case PFN_LCROMAN:
        digits = roman(n, false);
        break;
    case PFN_UCROMAN:
        digits = roman(n, true);
        break;
    default:
        digits = std::to_string(n);
        break;
    }
    switch (f.numberingStyle & 0x0F00) {
    case PFNS_PARENS:
        return "(" + digits + ")";
    case PFNS_PERIOD:
        return digits + ".";
    case PFNS_PLAIN:
        return digits;
    case PFNS_NONUMBER:
        return {};
    default:
        return digits + ")";
    }
}

const char* numberingWord(uint16_t numbering) {
    switch (numbering) {
    case PFN_LCLETTER:
        return "pnlcltr";
    case PFN_UCLETTER:
        return "pnucltr";
    case PFN_LCROMAN:
        return "pnlcrm";
    case PFN_UCROMAN:
        return "pnucrm";
    default:
        return "pndec";
    }
}

// Links are written as HYPERLINK fields; the addresses that automatic URL detection linked stay
// plain text, as they were typed, and are found again when the document is read.
bool writesField(const CharFormat& f) {
    return (f.effects & CFE_LINK) && !f.autoLink;
}

bool numbered(const ParaFormat& f) {
    return f.numbering != 0 && !(f.effects & PFE_TABLE);
}

// Numbers consecutive paragraphs of the same numbering, restarting after any other paragraph
// or where a paragraph asks for a new number.
class ListCounter {
public:
    explicit ListCounter(const model::Document& doc) : doc_(doc) {}

    int32_t numberOf(model::ParaIndex p) {
        if (p.v == last_ + 1 && continues(p.v))
            ++number_;
        else
            number_ = fromListStart(p.v);
        last_ = p.v;
        return number_;
    }

private:
    const ParaFormat& format(int32_t p) const {
        return doc_.paraFormats()[doc_.paraFormatId(model::ParaIndex(p))];
    }
    // Whether paragraph p carries on the list of paragraph p - 1.
    bool continues(int32_t p) const {
        if (p == 0)
            return false;
        const ParaFormat& f = format(p);
        const ParaFormat& prev = format(p - 1);
        return !(f.numberingStyle & PFNS_NEWNUMBER) && numbered(prev) &&
               prev.numbering == f.numbering;
    }
    int32_t fromListStart(int32_t p) const {
        int32_t first = p;
        while (continues(first))
            --first;
        return std::max<int32_t>(1, format(first).numberingStart) + (p - first);
    }

    const model::Document& doc_;
    int32_t last_ = -2;
    int32_t number_ = 0;
};

// ---- The body ----

class BodyWriter {
public:
    BodyWriter(const model::Document& doc, const WriterTables& tables, RtfOutput& out,
               const WriteOptions& options)
        : doc_(doc), tables_(tables), out_(out), options_(options), counter_(doc) {}

    bool paragraph(const Piece& piece);

private:
    const CharFormat& charFormat(CharFormatId id) const { return doc_.charFormats()[id]; }

    void startParagraph(const Piece& piece, const ParaFormat& pf);
    void startRow(const Piece& piece, const ParaFormat& pf);
    void paraProperties(const ParaFormat& pf, bool inRow);
    void numberingText(const Piece& piece, const ParaFormat& pf);
    void numberingGroup(const ParaFormat& pf);

    void content(const Piece& piece, unsigned extraMode);
    int32_t linkEnd(const model::Paragraph& para, size_t run, int32_t runStart, int32_t end) const;
    void field(const model::Paragraph& para, size_t& run, int32_t& runStart, int32_t& at,
               int32_t end, unsigned extraMode);
    void runText(const model::Paragraph& para, CharFormatId format, int32_t from, int32_t to,
                 unsigned extraMode);
    void useFormat(CharFormatId id);
    unsigned textMode(CharFormatId id) const {
        return tables_.ansiFont(tables_.refs(id).font) ? RtfOutput::Ansi : RtfOutput::Unicode;
    }

    void object(const model::EmbeddedObject* object);
    void picture(const model::PictureObject& pic);
    void oleObject(const model::OleObjectData& ole);

    const model::Document& doc_;
    const WriterTables& tables_;
    RtfOutput& out_;
    const WriteOptions& options_;
    ListCounter counter_;
    CharFormatId current_ = kNoCharFormat;
    bool supersub_ = false; // the current format raises or lowers its text
    ParaFormatId lastPara_ = kNoParaFormat;
};

bool BodyWriter::paragraph(const Piece& piece) {
    const ParaFormat& pf = doc_.paraFormats()[piece.para->format];
    // A row is written as one only when its mark is in the range; a piece of a row without its
    // mark is plain text.
    const bool row = (pf.effects & PFE_TABLE) && piece.mark;
    if (row)
        startRow(piece, pf);
    else
        startParagraph(piece, pf);
    content(piece, row ? RtfOutput::TabIsCell : 0);
    if (piece.mark) {
        useFormat(piece.para->runs.back().format);
        if (row) {
            out_.word("cell");
            out_.word("row");
            lastPara_ = kNoParaFormat; // the next paragraph must leave the table
        } else {
            out_.word("par");
        }
        out_.newline();
    }
    return out_.ok();
}

void BodyWriter::startParagraph(const Piece& piece, const ParaFormat& pf) {
    const bool changed = piece.para->format != lastPara_;
    if (changed) {
        out_.word("pard");
        lastPara_ = piece.para->format;
    }
    if (numbered(pf) && piece.begin == 0)
        numberingText(piece, pf);
    if (changed) {
        if (numbered(pf))
            numberingGroup(pf);
        paraProperties(pf, false);
    }
}

void BodyWriter::startRow(const Piece& piece, const ParaFormat& pf) {
    const QString& text = piece.para->text;
    const auto tabsBefore = [&](int32_t from, int32_t to) {
        int32_t n = 0;
        for (int32_t i = from; i < to; ++i)
            n += text[i] == u'\t';
        return n;
    };
    const int32_t firstCell = tabsBefore(0, piece.begin);
    const int32_t lastCell = firstCell + tabsBefore(piece.begin, piece.textEnd);
    out_.word("trowd");
    out_.word("trgaph", 108);
    const int32_t stops = std::clamp<int32_t>(pf.tabCount, 0, MAX_TAB_STOPS);
    int32_t edge = 0;
    for (int32_t cell = 0; cell <= lastCell; ++cell) {
        if (cell < stops)
            edge = pf.tabs[size_t(cell)] & 0x00FFFFFF;
        else
            edge += kDefaultCellWidth;
        if (cell >= firstCell)
            out_.word("cellx", edge);
    }
    out_.word("pard");
    out_.word("intbl");
    paraProperties(pf, true);
    lastPara_ = kNoParaFormat;
}

void BodyWriter::paraProperties(const ParaFormat& pf, bool inRow) {
    if (const int level = headingLevel(pf.style)) {
        out_.word("s", level);
        // A style brings its character format along: the next run states its own again.
        current_ = kNoCharFormat;
    }
    if (pf.effects & PFE_KEEP)
        out_.word("keep");
    if (pf.effects & PFE_KEEPNEXT)
        out_.word("keepn");
    if (pf.effects & PFE_PAGEBREAKBEFORE)
        out_.word("pagebb");
    if (pf.effects & PFE_RTLPARA)
        out_.word("rtlpar");
    switch (pf.alignment) {
    case PFA_RIGHT:
        out_.word("qr");
        break;
    case PFA_CENTER:
        out_.word("qc");
        break;
    case PFA_JUSTIFY:
        out_.word("qj");
        break;
    default:
        break;
    }
    const int64_t left = int64_t(pf.startIndent) + pf.offset;
    if (pf.offset != 0)
        out_.word("fi", -int64_t(pf.offset));
    if (left != 0)
        out_.word("li", left);
    if (pf.rightIndent != 0)
        out_.word("ri", pf.rightIndent);
    if (pf.spaceBefore != 0)
        out_.word("sb", pf.spaceBefore);
    if (pf.spaceAfter != 0)
        out_.word("sa", pf.spaceAfter);
    switch (pf.lineSpacingRule) {
    case 1:
        out_.word("sl", 360);
        out_.word("slmult", 1);
        break;
    case 2:
        out_.word("sl", 480);
        out_.word("slmult", 1);
        break;
    case 3:
        out_.word("sl", pf.lineSpacing);
        out_.word("slmult", 0);
        break;
    case 4:
        out_.word("sl", -std::abs(int64_t(pf.lineSpacing)));
        out_.word("slmult", 0);
        break;
    case 5:
        out_.word("sl", int64_t(pf.lineSpacing) * 12);
        out_.word("slmult", 1);
        break;
    default:
        break;
    }
    if (pf.outlineLevel != 0)
        out_.word("outlinelevel", pf.outlineLevel);
    if (inRow)
        return; // a row's tab stops are its cell edges
    const int count = std::clamp<int>(pf.tabCount, 0, MAX_TAB_STOPS);
    for (int i = 0; i < count; ++i) {
        const auto tab = uint32_t(pf.tabs[size_t(i)]);
        const int64_t pos = tab & 0x00FFFFFF;
        switch ((tab >> 28) & 0xF) {
        case 1:
            out_.word("tldot");
            break;
        case 2:
            out_.word("tlhyph");
            break;
        case 3:
            out_.word("tlul");
            break;
        case 4:
            out_.word("tlth");
            break;
        case 5:
            out_.word("tleq");
            break;
        default:
            break;
        }
        switch ((tab >> 24) & 0xF) {
        case 1:
            out_.word("tqc");
            break;
        case 2:
            out_.word("tqr");
            break;
        case 3:
            out_.word("tqdec");
            break;
        case 4:
            out_.word("tb", pos);
            continue;
        default:
            break;
        }
        out_.word("tx", pos);
    }
}

void BodyWriter::numberingText(const Piece& piece, const ParaFormat& pf) {
    out_.raw("{\\pntext");
    if (pf.numbering == PFN_BULLET) {
        out_.word("f", tables_.symbolFont());
        out_.raw(" \\'b7");
    } else {
        const std::string text = numberText(pf, counter_.numberOf(piece.index));
        if (!text.empty()) {
            out_.raw(' ');
            out_.raw(text);
        }
    }
    out_.word("tab");
    out_.close();
}

void BodyWriter::numberingGroup(const ParaFormat& pf) {
    out_.raw("{\\*\\pn");
    if (pf.numbering == PFN_BULLET) {
        out_.word("pnlvlblt");
        out_.word("pnf", tables_.symbolFont());
        out_.word("pnindent", pf.numberingTab);
        out_.raw("{\\pntxtb\\'b7}");
    } else {
        const uint16_t style = pf.numberingStyle & 0x0F00;
        out_.word(style == PFNS_NONUMBER ? "pnlvlcont" : "pnlvlbody");
        out_.word(numberingWord(pf.numbering));
        // Without \pnstart some readers count from 0; a start of 0 counts as 1.
        out_.word("pnstart", std::max<int>(1, pf.numberingStart));
        out_.word("pnindent", pf.numberingTab);
        switch (style) {
        case PFNS_PARENS:
            out_.raw("{\\pntxtb (}{\\pntxta )}");
            break;
        case PFNS_PERIOD:
            out_.raw("{\\pntxta .}");
            break;
        case PFNS_PLAIN:
        case PFNS_NONUMBER:
            break;
        default:
            out_.raw("{\\pntxta )}");
            break;
        }
    }
    out_.close();
}

// Writes text [begin, textEnd) of a piece run by run; links become fields.
void BodyWriter::content(const Piece& piece, unsigned extraMode) {
    const model::Paragraph& para = *piece.para;
    size_t run = 0;
    int32_t runStart = 0;
    while (run < para.runs.size() && runStart + para.runs[run].length <= piece.begin)
        runStart += para.runs[run++].length;
    int32_t at = piece.begin;
    while (at < piece.textEnd && run < para.runs.size() && out_.ok()) {
        const CharFormatId id = para.runs[run].format;
        if (writesField(charFormat(id))) {
            field(para, run, runStart, at, piece.textEnd, extraMode);
            continue;
        }
        const int32_t to = std::min(piece.textEnd, runStart + para.runs[run].length);
        runText(para, id, at, to, extraMode);
        at = to;
        runStart += para.runs[run++].length;
    }
}

// The end of the link that starts in run `run`: the following runs belong to it while they are
// links to the same target (or, for links without a target, while they lack one too).
int32_t BodyWriter::linkEnd(const model::Paragraph& para, size_t run, int32_t runStart,
                            int32_t end) const {
    const QString& target = charFormat(para.runs[run].format).linkTarget;
    int32_t to = runStart + para.runs[run].length;
    for (size_t r = run + 1; r < para.runs.size() && to < end; ++r) {
        const CharFormat& f = charFormat(para.runs[r].format);
        if (!writesField(f) || f.linkTarget != target)
            break;
        to += para.runs[r].length;
    }
    return std::min(to, end);
}

void BodyWriter::field(const model::Paragraph& para, size_t& run, int32_t& runStart, int32_t& at,
                       int32_t end, unsigned extraMode) {
    const int32_t to = linkEnd(para, run, runStart, end);
    QString target = charFormat(para.runs[run].format).linkTarget;
    if (target.isEmpty())
        target = para.text.mid(at, to - at);
    // The field's own escapes first, then the text's.
    target.replace(u'\\', QLatin1String("\\\\")).replace(u'"', QLatin1String("\\\""));

    const CharFormatId outside = current_;
    const bool outsideSupersub = supersub_;
    out_.raw("{\\field{\\*\\fldinst{HYPERLINK \"");
    out_.text(target, textMode(current_ == kNoCharFormat ? para.runs[run].format : current_));
    out_.raw("\"}}{\\fldrslt{");
    while (at < to && out_.ok()) {
        const int32_t runEnd = runStart + para.runs[run].length;
        const int32_t stop = std::min(to, runEnd);
        runText(para, para.runs[run].format, at, stop, extraMode);
        at = stop;
        if (at == runEnd) {
            runStart = runEnd;
            ++run;
        }
    }
    out_.raw("}}}");
    current_ = outside; // the groups' formats ended with them
    supersub_ = outsideSupersub;
}

void BodyWriter::runText(const model::Paragraph& para, CharFormatId format, int32_t from,
                         int32_t to, unsigned extraMode) {
    useFormat(format);
    const unsigned mode = textMode(format) | extraMode;
    const QChar* text = para.text.constData();
    if (!para.objects.empty()) {
        auto it = std::lower_bound(
            para.objects.begin(), para.objects.end(), from,
            [](const model::ObjectAt& o, int32_t offset) { return o.offset < offset; });
        for (; it != para.objects.end() && it->offset < to; ++it) {
            if (it->offset >= from && text[it->offset] == QChar(model::kObjectChar)) {
                out_.text(QStringView(text + from, it->offset - from), mode);
                if (options_.objects)
                    object(it->object.get());
                from = it->offset + 1;
            }
        }
    }
    out_.text(QStringView(text + from, to - from), mode);
}

void BodyWriter::useFormat(CharFormatId id) {
    if (id == current_)
        return;
    // Some readers keep super- and subscript through \plain: end them explicitly.
    if (supersub_)
        out_.word("nosupersub");
    current_ = id;
    const CharFormat& f = charFormat(id);
    supersub_ = (f.effects & (CFE_SUBSCRIPT | CFE_SUPERSCRIPT)) != 0;
    const WriterTables::FormatRefs& refs = tables_.refs(id);
    out_.word("plain");
    out_.word("f", refs.font);
    out_.word("fs", (int64_t(f.height) + 5) / 10);
    if (!(f.effects & CFE_AUTOCOLOR))
        out_.word("cf", refs.textColor);
    if (!(f.effects & CFE_AUTOBACKCOLOR))
        out_.word("highlight", refs.backColor);
    if ((f.effects & CFE_BOLD) || f.weight >= 600)
        out_.word("b");
    if (f.effects & CFE_ITALIC)
        out_.word("i");
    if (f.effects & CFE_UNDERLINE) {
        static constexpr const char* kUnderline[] = {
            "ul",       "ul",     "ulw",  "uldb",   "uld",        "uldash",  "uldashd",
            "uldashdd", "ulwave", "ulth", "ulhair", "ululdbwave", "ulhwave", "ulldash"};
        out_.word(f.underlineType < std::size(kUnderline) ? kUnderline[f.underlineType] : "ul");
    }
    if (f.effects & CFE_STRIKEOUT)
        out_.word("strike");
    if (f.effects & CFE_PROTECTED)
        out_.word("protect");
    if (f.effects & CFE_SMALLCAPS)
        out_.word("scaps");
    if (f.effects & CFE_ALLCAPS)
        out_.word("caps");
    if (f.effects & CFE_HIDDEN)
        out_.word("v");
    if (f.effects & CFE_OUTLINE)
        out_.word("outl");
    if (f.effects & CFE_SHADOW)
        out_.word("shad");
    if (f.effects & CFE_EMBOSS)
        out_.word("embo");
    if (f.effects & CFE_IMPRINT)
        out_.word("impr");
    if (f.effects & CFE_DISABLED)
        out_.word("disabled");
    if (f.effects & CFE_REVISED)
        out_.word("revised");
    if (f.revAuthor != 0)
        out_.word("revauth", f.revAuthor);
    if (f.effects & CFE_SUBSCRIPT)
        out_.word("sub");
    if (f.effects & CFE_SUPERSCRIPT)
        out_.word("super");
    if (f.offset > 0)
        out_.word("up", f.offset / 10);
    else if (f.offset < 0)
        out_.word("dn", -int64_t(f.offset) / 10);
    if (f.spacing != 0)
        out_.word("expndtw", f.spacing);
    if (f.kerning != 0)
        out_.word("kerning", f.kerning / 10);
    if (f.charScaleX != 100)
        out_.word("charscalex", f.charScaleX);
    if (f.animation != 0)
        out_.word("animtext", f.animation);
    if (f.lcid != 0 && !options_.plainRtf)
        out_.word("lang", f.lcid);
}

// ---- Objects ----

void BodyWriter::object(const model::EmbeddedObject* object) {
    if (const auto* pic = dynamic_cast<const model::PictureObject*>(object))
        picture(*pic);
    else if (const auto* ole = dynamic_cast<const model::OleObjectData*>(object))
        oleObject(*ole);
}

void BodyWriter::picture(const model::PictureObject& pic) {
    using model::PictureFormat;
    if (pic.format == PictureFormat::Unknown)
        return;
    out_.raw("{\\pict");
    switch (pic.format) {
    case PictureFormat::Png:
        out_.word("pngblip");
        break;
    case PictureFormat::Jpeg:
        out_.word("jpegblip");
        break;
    case PictureFormat::Emf:
        out_.word("emfblip");
        break;
    case PictureFormat::Wmf:
        out_.word("wmetafile", pic.metafileMapping);
        break;
    case PictureFormat::Dib:
        out_.word("dibitmap", 0);
        break;
    case PictureFormat::DeviceBitmap:
        out_.word("wbitmap", 0);
        out_.word("wbmbitspixel", pic.bitsPerPixel);
        out_.word("wbmplanes", pic.planes);
        out_.word("wbmwidthbytes", pic.widthBytes);
        break;
    case PictureFormat::Unknown:
        break;
    }
    out_.word("picw", pic.width);
    out_.word("pich", pic.height);
    if (pic.goalWidth != 0)
        out_.word("picwgoal", pic.goalWidth);
    if (pic.goalHeight != 0)
        out_.word("pichgoal", pic.goalHeight);
    if (pic.scaleX != 100)
        out_.word("picscalex", pic.scaleX);
    if (pic.scaleY != 100)
        out_.word("picscaley", pic.scaleY);
    out_.hex(pic.data);
    out_.close();
}

void BodyWriter::oleObject(const model::OleObjectData& ole) {
    // The kind becomes a keyword: anything but a short run of letters falls back to embedding.
    const bool kindOk =
        !ole.kind.isEmpty() && ole.kind.size() <= 16 &&
        std::all_of(ole.kind.begin(), ole.kind.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    out_.raw("{\\object");
    out_.word(kindOk ? std::string_view(ole.kind.constData(), size_t(ole.kind.size()))
                     : std::string_view("objemb"));
    out_.word("objw", ole.width);
    out_.word("objh", ole.height);
    if (!ole.className.isEmpty()) {
        out_.raw("{\\*\\objclass ");
        out_.bytes(ole.className);
        out_.close();
    }
    if (!ole.name.isEmpty()) {
        out_.raw("{\\*\\objname ");
        out_.bytes(ole.name);
        out_.close();
    }
    out_.raw("{\\*\\objdata");
    out_.hex(ole.data);
    out_.close();
    if (ole.result && ole.result->format != model::PictureFormat::Unknown) {
        out_.raw("{\\result ");
        picture(*ole.result);
        out_.close();
    }
    out_.close();
}

} // namespace

bool writeRtf(const model::Document& doc, model::CharPos from, model::CharPos to, ByteSink& sink,
              const WriteOptions& options) {
    const WriteRange range = detail::clampRange(doc, from, to);
    WriterTables tables;
    tables.collect(doc, range);

    RtfOutput out(sink);
    out.raw("{\\rtf1\\ansi\\ansicpg1252\\deff0");
    if (!options.plainRtf) {
        out.word("nouicompat");
        if (tables.firstLcid() != 0)
            out.word("deflang", tables.firstLcid());
    }
    tables.write(out);
    if (!doc.infoGroup().isEmpty()) {
        out.raw(std::string_view(doc.infoGroup().constData(), size_t(doc.infoGroup().size())));
        out.newline();
    }
    out.raw("\\viewkind4\\uc1");
    out.newline();

    BodyWriter body(doc, tables, out, options);
    detail::forEachPiece(doc, range, [&](const Piece& piece) { return body.paragraph(piece); });
    out.close();
    out.newline();
    return out.flush();
}

} // namespace richedit::rtf
