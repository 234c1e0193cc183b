#include "engine/rtf/RtfWriterTables.h"

namespace richedit::rtf::detail {

namespace {

constexpr uint8_t kAnsiCharSet = 0;
constexpr uint8_t kDefaultCharSet = 1;
constexpr uint8_t kSymbolCharSet = 2;

const char* familyWord(uint8_t pitchAndFamily) {
    switch (pitchAndFamily >> 4) {
    case 1:
        return "froman";
    case 2:
        return "fswiss";
    case 3:
        return "fmodern";
    case 4:
        return "fscript";
    case 5:
        return "fdecor";
    default:
        return "fnil";
    }
}

} // namespace

WriteRange clampRange(const model::Document& doc, model::CharPos from, model::CharPos to) {
    const model::CharPos end = doc.end();
    WriteRange r;
    from = std::clamp(from, model::CharPos(0), end);
    if (to < from || (to == from && to < end))
        return r;
    r.from = from;
    r.to = to >= end ? end + 1 : to;
    r.empty = false;
    return r;
}

void WriterTables::collect(const model::Document& doc, const WriteRange& range) {
    refs_.assign(doc.charFormats().size(), FormatRefs{});
    bool bullets = false;
    forEachPiece(doc, range, [&](const Piece& piece) {
        const model::ParaFormat& pf = doc.paraFormats()[piece.para->format];
        if (const int level = headingLevel(pf.style))
            headings_ |= uint16_t(1u << level);
        if (pf.numbering == PFN_BULLET && !(pf.effects & PFE_TABLE))
            bullets = true;
        const int32_t end = piece.mark ? piece.para->length() : piece.textEnd;
        int32_t at = 0;
        for (const model::Run& run : piece.para->runs) {
            const int32_t runEnd = at + run.length;
            if (runEnd > piece.begin && at < end)
                addFormat(run.format, doc.charFormats()[run.format]);
            at = runEnd;
            if (at >= end)
                break;
        }
        return true;
    });
    if (fonts_.empty()) {
        const model::CharFormat f;
        font(f.face, f.charSet, f.pitchAndFamily);
    }
    if (bullets)
        symbolFont_ = font(QStringLiteral("Symbol"), kSymbolCharSet, 0);
}

void WriterTables::addFormat(model::CharFormatId id, const model::CharFormat& f) {
    FormatRefs& r = refs_[id];
    if (!sawRun_) {
        sawRun_ = true;
        firstLcid_ = f.lcid;
    }
    if (r.font != kNone)
        return;
    r.font = font(f.face, f.charSet, f.pitchAndFamily);
    if (!(f.effects & CFE_AUTOCOLOR))
        r.textColor = colour(f.textColor);
    if (!(f.effects & CFE_AUTOBACKCOLOR))
        r.backColor = colour(f.backColor);
}

int32_t WriterTables::font(const QString& face, uint8_t charSet, uint8_t pitchAndFamily) {
    const auto key = std::make_tuple(face, charSet, pitchAndFamily);
    const auto it = fontIndex_.find(key);
    if (it != fontIndex_.end())
        return it->second;
    const auto index = int32_t(fonts_.size());
    fonts_.push_back({face, charSet, pitchAndFamily});
    fontIndex_.emplace(key, index);
    return index;
}

int32_t WriterTables::colour(uint32_t rgb) {
    rgb &= 0x00FFFFFFu;
    const auto it = colourIndex_.find(rgb);
    if (it != colourIndex_.end())
        return it->second;
    colours_.push_back(rgb);
    const auto index = int32_t(colours_.size()); // entry 0 is the automatic colour
    colourIndex_.emplace(rgb, index);
    return index;
}

bool WriterTables::ansiFont(int32_t font) const {
    if (font < 0 || size_t(font) >= fonts_.size())
        return true;
    const uint8_t cs = fonts_[size_t(font)].charSet;
    return cs == kAnsiCharSet || cs == kDefaultCharSet;
}

void WriterTables::write(RtfOutput& out) const {
    out.raw("{\\fonttbl");
    for (size_t i = 0; i < fonts_.size(); ++i) {
        const FontEntry& f = fonts_[i];
        out.open();
        out.word("f", int64_t(i));
        out.word(familyWord(f.pitchAndFamily));
        if (f.pitchAndFamily & 3)
            out.word("fprq", f.pitchAndFamily & 3);
        out.word("fcharset", f.charSet);
        // A semicolon would end the name early.
        QString face = f.face;
        face.replace(u';', u',');
        out.text(face, ansiFont(int32_t(i)) ? RtfOutput::Ansi : RtfOutput::Unicode);
        out.raw(";}");
    }
    out.close();
    out.newline();

    out.raw("{\\colortbl ;");
    for (const uint32_t c : colours_) {
        out.word("red", c & 0xFF);
        out.word("green", (c >> 8) & 0xFF);
        out.word("blue", (c >> 16) & 0xFF);
        out.raw(';');
    }
    out.close();
    out.newline();

    if (headings_) {
        out.raw("{\\stylesheet{\\s0 Normal;}");
        for (int level = 1; level <= 9; ++level) {
            if (!(headings_ & (1u << level)))
                continue;
            out.open();
            out.word("s", level);
            out.raw(" heading ");
            out.raw(char('0' + level));
            out.raw(";}");
        }
        out.close();
        out.newline();
    }
}

} // namespace richedit::rtf::detail
