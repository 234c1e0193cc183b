#pragma once

#include "engine/layout/ParagraphLayout.h"
#include "engine/layout/TextMeasurer.h"

#include <utility>
#include <vector>

namespace richedit::layout::test {

// Every character is 100 twips wide at the default height (200 twips) and scales with the
// height; ascent 80 % and descent 20 % of the height. Lets tests state positions exactly.
class FixedMeasurer final : public TextMeasurer {
public:
    FontExtents extents(const model::CharFormat& f) override {
        const qreal h = measuredHeight(f);
        return {h * 0.8, h * 0.2, 0};
    }
    void advances(const model::CharFormat& f, QStringView text, std::vector<qreal>& out) override {
        for (qsizetype i = 0; i < text.size(); ++i)
            out.push_back((f.effects & CFE_HIDDEN) ? 0.0 : measuredHeight(f) / 2.0 + f.spacing);
    }
};

// One paragraph built from pieces of text in their formats; the mark takes the last format.
struct TestParagraph {
    model::FormatTable<model::CharFormat> formats;
    model::Paragraph paragraph;
    model::ParaFormat format;

    explicit TestParagraph(const std::vector<std::pair<QString, model::CharFormat>>& pieces,
                           model::ParaFormat pf = {})
        : format(pf) {
        model::CharFormatId id = formats.intern(model::CharFormat{});
        for (const auto& [text, cf] : pieces) {
            id = formats.intern(cf);
            paragraph.text += text;
            paragraph.runs.push_back({int32_t(text.size()), id});
        }
        paragraph.text += QChar(model::kParagraphMark);
        paragraph.runs.push_back({1, id});
        model::runs::normalize(paragraph.runs);
    }
    TestParagraph(const QString& text, model::ParaFormat pf = {})
        : TestParagraph({{text, model::CharFormat{}}}, pf) {}

    ParagraphLayout layOut(int32_t width, TextMeasurer& m, const QString& number = {}) const {
        return ParagraphLayout::build({&paragraph, &formats, &format, number}, Twips(width), m);
    }
};

inline std::vector<int32_t> lineStarts(const ParagraphLayout& l) {
    std::vector<int32_t> out;
    for (const LineBox& b : l.lines())
        out.push_back(b.start);
    return out;
}

inline int32_t tab(int32_t position, int align, int leader = 0) {
    return position | (align << 24) | (leader << 28);
}

} // namespace richedit::layout::test
