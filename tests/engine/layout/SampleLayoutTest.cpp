#include "engine/layout/DocumentLayout.h"
#include "engine/layout/PageFormatter.h"
#include "engine/layout/QtTextMeasurer.h"
#include "engine/rtf/RtfReader.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace richedit;
using namespace richedit::layout;

namespace {

// Every paragraph of docs/sample.rtf at 6.5 inches: its top, and its lines' starts (offsets in
// the paragraph) and left edges, in twips.
struct Expected {
    int32_t paragraph;
    int32_t top;
    std::vector<int32_t> starts;
    std::vector<int32_t> lefts;
    friend bool operator==(const Expected&, const Expected&) = default;
};

const Expected kSampleLines[] = {
    {0, 0, {0}, {3159}},
    {1, 672, {0}, {1861}},
    {2, 1234, {0}, {5538}},
    {3, 1824, {0}, {0}},
    {4, 2718, {0, 100, 190}, {0, 0, 0}},
    {5, 3697, {0, 89, 168}, {0, 0, 0}},
    {6, 4797, {0, 94}, {0, 0}},
    {7, 5469, {0}, {0}},
    {8, 6363, {0}, {2411}},
    {9, 6759, {0}, {5627}},
    {10, 7155, {0, 85, 170}, {720, 720, 720}},
    {11, 8103, {0, 98}, {567, 0}},
    {12, 8775, {0, 96}, {0, 1440}},
    {13, 9447, {0}, {567}},
    {14, 10180, {0}, {0}},
    {15, 11074, {0}, {0}},
    {16, 11716, {0}, {720}},
    {17, 12052, {0}, {720}},
    {18, 12388, {0, 92}, {720, 720}},
    {19, 13000, {0}, {0}},
    {20, 13642, {0}, {720}},
    {21, 13978, {0}, {720}},
    {22, 14314, {0}, {720}},
    {23, 14650, {0}, {0}},
    {24, 15544, {0, 100}, {0, 0}},
    {25, 16216, {0}, {0}},
    {26, 16552, {0}, {0}},
    {27, 16888, {0}, {0}},
    {28, 17224, {0}, {0}},
    {29, 17560, {0}, {0}},
    {30, 18454, {0, 95}, {0, 0}},
    {31, 19126, {0}, {0}},
    {32, 20020, {0}, {0}},
    {33, 20416, {0}, {0}},
    {34, 20812, {0}, {0}},
    {35, 21208, {0}, {0}},
    {36, 21604, {0}, {0}},
    {37, 22000, {0}, {3733}},
};

QString list(const std::vector<int32_t>& v) {
    QString out = u"{"_qs;
    for (size_t i = 0; i < v.size(); ++i)
        out += (i ? u", "_qs : QString()) + QString::number(v[i]);
    return out + u'}';
}

QString describe(const std::vector<Expected>& all) {
    QString out;
    for (const Expected& e : all)
        out += QStringLiteral("    {%1, %2, %3, %4},\n")
                   .arg(e.paragraph)
                   .arg(e.top)
                   .arg(list(e.starts), list(e.lefts));
    return out;
}

struct Sample {
    model::Document doc;
    Sample() {
        QFile f(QStringLiteral(QUILLEX_SOURCE_DIR "/docs/sample.rtf"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        rtf::BufferSource source(f.readAll());
        const rtf::ReadResult r = rtf::readRtf(source, doc);
        EXPECT_EQ(r.status, rtf::ReadResult::Ok) << r.message.toStdString();
    }
};

} // namespace

TEST(SampleLayout, LineBreaksOfTheSampleDocumentAtSixAndAHalfInches) {
    Sample s;
    ASSERT_GT(s.doc.paragraphCount(), 20);
    QtTextMeasurer m;
    DocumentLayout layout(s.doc, m, Twips(9360));
    std::vector<Expected> actual;
    for (int32_t p = 0; p < s.doc.paragraphCount(); ++p) {
        const ParagraphLayout& l = layout.paragraphLayout(model::ParaIndex(p));
        Expected e{p, layout.paragraphTop(model::ParaIndex(p)).v, {}, {}};
        for (const LineBox& line : l.lines()) {
            e.starts.push_back(line.start);
            e.lefts.push_back(line.left.v);
        }
        actual.push_back(e);
    }
    bool same = actual.size() == std::size(kSampleLines);
    for (size_t i = 0; same && i < actual.size(); ++i)
        same = actual[i] == kSampleLines[i];
    EXPECT_TRUE(same) << "the sample's layout now:\n" << describe(actual).toStdString();
}

TEST(SampleLayout, TheSamplePaginatesOnLetterAndEveryLineLandsOnOnePage) {
    Sample s;
    QtTextMeasurer m;
    PageFormatter pages(s.doc, m, Twips(9360));
    const std::vector<PageRange> all = pages.paginate(Twips(12960)); // 9 inches
    ASSERT_GE(all.size(), 1u);
    int32_t lines = 0;
    for (const PageRange& p : all)
        lines += p.lines;
    EXPECT_EQ(lines, pages.layout().lineCount());
    EXPECT_GE(all.back().next, s.doc.end());
}
