#pragma once

#include "engine/model/Document.h"
#include "engine/rtf/RtfOutput.h"

#include <QString>

#include <cstdint>
#include <map>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace richedit::rtf::detail {

// One entry of the font table.
struct FontEntry {
    QString face;
    uint8_t charSet = 0;
    uint8_t pitchAndFamily = 0;
};

// The part of [from, to) that one paragraph contributes: text [begin, textEnd) and, when
// `mark` is set, its paragraph mark.
struct Piece {
    model::ParaIndex index;
    const model::Paragraph* para = nullptr;
    int32_t begin = 0;
    int32_t textEnd = 0;
    bool mark = false;
};

// [from, to) of a document as the writer sees it. A range that reaches the end of the text
// takes the final paragraph's mark too, so that the final paragraph's formats are written.
struct WriteRange {
    model::CharPos from;
    model::CharPos to; // exclusive; end() + 1 when the final mark is included
    bool empty = true;
};
WriteRange clampRange(const model::Document& doc, model::CharPos from, model::CharPos to);

template <class F> void forEachPiece(const model::Document& doc, const WriteRange& range, F&& f) {
    if (range.empty)
        return;
    model::ParaIndex p = doc.paragraphAt(range.from);
    model::CharPos start = doc.paragraphStart(p);
    while (start < range.to && p.v < doc.paragraphCount()) {
        const model::Paragraph& para = doc.paragraph(p);
        const int32_t len = para.length();
        Piece piece;
        piece.index = p;
        piece.para = &para;
        piece.begin = std::max(0, range.from - start);
        const int32_t b = std::min(len, range.to - start);
        piece.mark = b == len;
        piece.textEnd = piece.mark ? len - 1 : b;
        if (!f(piece))
            return;
        start += len;
        ++p;
    }
}

// The tables written before the body: fonts, colours and the heading styles in use, collected
// from the range in first-use order, with each character format's references into them.
class WriterTables {
public:
    static constexpr int32_t kNone = -1;

    struct FormatRefs {
        int32_t font = kNone;  // kNone until the format was met
        int32_t textColor = 0; // \cf index, 0 automatic
        int32_t backColor = 0; // \highlight index, 0 automatic
    };

    void collect(const model::Document& doc, const WriteRange& range);

    const FormatRefs& refs(model::CharFormatId id) const { return refs_[id]; }
    const std::vector<FontEntry>& fonts() const { return fonts_; }
    int32_t symbolFont() const { return symbolFont_; }
    bool ansiFont(int32_t font) const;
    // The first run's language, 0 when the range is empty.
    uint32_t firstLcid() const { return firstLcid_; }

    void write(RtfOutput& out) const;

private:
    void addFormat(model::CharFormatId id, const model::CharFormat& f);
    int32_t font(const QString& face, uint8_t charSet, uint8_t pitchAndFamily);
    int32_t colour(uint32_t rgb);

    std::vector<FormatRefs> refs_;
    std::vector<FontEntry> fonts_;
    std::map<std::tuple<QString, uint8_t, uint8_t>, int32_t> fontIndex_;
    std::vector<uint32_t> colours_;
    std::unordered_map<uint32_t, int32_t> colourIndex_;
    uint16_t headings_ = 0; // bit n: heading n in use
    int32_t symbolFont_ = kNone;
    uint32_t firstLcid_ = 0;
    bool sawRun_ = false;
};

// The heading level (1..9) of a paragraph style, 0 when it is not a heading.
inline int headingLevel(int16_t style) {
    return style <= -2 && style >= -10 ? -style - 1 : 0;
}

} // namespace richedit::rtf::detail
