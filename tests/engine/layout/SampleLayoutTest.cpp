#include "engine/layout/DocumentLayout.h"
#include "engine/layout/PageFormatter.h"
#include "engine/layout/QtTextMeasurer.h"
#include "engine/rtf/RtfReader.h"

#include <QFile>

#include <algorithm>
#include <iterator>

#include <gtest/gtest.h>

using namespace richedit;
using namespace richedit::layout;

namespace {

// A paragraph of a document in docs/ laid out: its top, and its lines' starts (offsets in the
// paragraph) and left edges, in twips.
struct Expected {
    int32_t paragraph;
    int32_t top;
    std::vector<int32_t> starts;
    std::vector<int32_t> lefts;
    friend bool operator==(const Expected&, const Expected&) = default;
};

// docs/sample.rtf at 6.5 inches.
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

// docs/showcase.rtf at 6.5 inches, and the first characters of its pages 9 inches tall.
const Expected kShowcaseLines[] = {
    {0, 0, {0}, {1428}},
    {1, 566, {0}, {1377}},
    {2, 1059, {0}, {0}},
    {3, 1907, {0, 109}, {0, 0}},
    {4, 2533, {0, 105}, {205, 3116}},
    {5, 3159, {0, 109}, {123, 6666}},
    {6, 3785, {0, 108, 219}, {0, 0, 0}},
    {7, 4664, {0}, {0}},
    {8, 5512, {0, 92}, {1440, 1440}},
    {9, 6138, {0, 74}, {0, 0}},
    {10, 6764, {0, 97}, {720, 0}},
    {11, 7390, {0, 97}, {0, 1440}},
    {12, 8016, {0, 89}, {720, 720}},
    {13, 8642, {0}, {0}},
    {14, 9490, {0}, {0}},
    {15, 9743, {0}, {0}},
    {16, 9996, {0}, {0}},
    {17, 10489, {0}, {0}},
    {18, 11222, {0}, {0}},
    {19, 11595, {0}, {0}},
    {20, 12443, {0, 111}, {0, 0}},
    {21, 13069, {0, 105}, {0, 0}},
    {22, 13948, {0, 110}, {0, 0}},
    {23, 15080, {0, 102}, {0, 0}},
    {24, 16060, {0, 103}, {0, 0}},
    {25, 16740, {0, 108}, {0, 0}},
    {26, 17467, {0}, {0}},
    {27, 18315, {0}, {0}},
    {28, 18851, {0}, {0}},
    {29, 19104, {0}, {0}},
    {30, 19357, {0}, {0}},
    {31, 19610, {0}, {0}},
    {32, 19863, {0}, {0}},
    {33, 20236, {0}, {0}},
    {34, 20772, {0}, {0}},
    {35, 21025, {0}, {0}},
    {36, 21278, {0}, {0}},
    {37, 21531, {0}, {0}},
    {38, 21784, {0}, {0}},
    {39, 22037, {0}, {0}},
    {40, 22290, {0}, {0}},
    {41, 22543, {0}, {0}},
    {42, 22916, {0}, {0}},
    {43, 23452, {0}, {0}},
    {44, 23825, {0}, {0}},
    {45, 24361, {0}, {1668}},
    {46, 24614, {0}, {3335}},
    {47, 24867, {0}, {2160}},
    {48, 25240, {0}, {0}},
    {49, 26088, {0}, {720}},
    {50, 26401, {0, 102}, {720, 720}},
    {51, 27027, {0}, {720}},
    {52, 27340, {0}, {720}},
    {53, 27713, {0}, {720}},
    {54, 28026, {0}, {720}},
    {55, 28399, {0}, {720}},
    {56, 28712, {0}, {720}},
    {57, 29085, {0}, {720}},
    {58, 29398, {0}, {720}},
    {59, 29771, {0}, {720}},
    {60, 30084, {0}, {720}},
    {61, 30397, {0}, {720}},
    {62, 30770, {0}, {720}},
    {63, 31083, {0}, {720}},
    {64, 31456, {0}, {720}},
    {65, 31769, {0}, {720}},
    {66, 32082, {0}, {720}},
    {67, 32455, {0}, {0}},
    {68, 33303, {0, 14, 32, 44}, {0, 0, 0, 0}},
    {69, 34435, {0, 81, 192}, {0, 0, 0}},
    {70, 35314, {0}, {0}},
    {71, 36162, {0, 92}, {0, 0}},
    {72, 36800, {0}, {0}},
    {73, 37748, {0}, {0}},
    {74, 38124, {0}, {0}},
    {75, 38972, {0, 106}, {0, 0}},
    {76, 39851, {0}, {0}},
    {77, 40699, {0, 96, 193}, {0, 0, 0}},
    {78, 41578, {0}, {0}},
    {79, 42426, {0, 109}, {0, 0}},
    {80, 43200, {0}, {0}},
    {81, 44048, {0, 92, 180}, {0, 0, 0}},
    {82, 44927, {0}, {0}},
    {83, 45775, {0, 112}, {0, 0}},
    {84, 46685, {0}, {0}},
    {85, 47533, {0}, {0}},
    {86, 47906, {0, 106}, {0, 0}},
    {87, 48532, {0, 103}, {0, 0}},
    {88, 49158, {0}, {3773}},
};
const int32_t kShowcasePages[] = {0, 2063, 3466, 4709, 5850};

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

// A document of docs/ as the RTF reader reads it.
struct DocsFile {
    model::Document doc;
    explicit DocsFile(const char* name) {
        QFile f(QStringLiteral(QUILLEX_SOURCE_DIR "/docs/") + QLatin1String(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        rtf::BufferSource source(f.readAll());
        const rtf::ReadResult r = rtf::readRtf(source, doc);
        EXPECT_EQ(r.status, rtf::ReadResult::Ok) << r.message.toStdString();
    }
};

std::vector<Expected> linesOf(const model::Document& doc, Twips width) {
    QtTextMeasurer m;
    DocumentLayout layout(doc, m, width);
    std::vector<Expected> actual;
    for (int32_t p = 0; p < doc.paragraphCount(); ++p) {
        const ParagraphLayout& l = layout.paragraphLayout(model::ParaIndex(p));
        Expected e{p, layout.paragraphTop(model::ParaIndex(p)).v, {}, {}};
        for (const LineBox& line : l.lines()) {
            e.starts.push_back(line.start);
            e.lefts.push_back(line.left.v);
        }
        actual.push_back(e);
    }
    return actual;
}

// Compares a document's layout with its table, and prints the layout as a table if they differ.
template <size_t N> void expectLines(const char* name, Twips width, const Expected (&expected)[N]) {
    DocsFile file(name);
    const std::vector<Expected> actual = linesOf(file.doc, width);
    const bool same =
        std::equal(actual.begin(), actual.end(), std::begin(expected), std::end(expected));
    EXPECT_TRUE(same) << name << " is now laid out as:\n" << describe(actual).toStdString();
}

} // namespace

TEST(SampleLayout, LineBreaksOfTheSampleDocumentAtSixAndAHalfInches) {
    expectLines("sample.rtf", Twips(9360), kSampleLines);
}

TEST(SampleLayout, TheSamplePaginatesOnLetterAndEveryLineLandsOnOnePage) {
    DocsFile s("sample.rtf");
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

TEST(SampleLayout, LineBreaksOfTheShowcaseAtSixAndAHalfInches) {
    expectLines("showcase.rtf", Twips(9360), kShowcaseLines);
}

TEST(SampleLayout, TheShowcaseKeepsItsHeadingsWithTheTextOnLetterPages) {
    DocsFile s("showcase.rtf");
    QtTextMeasurer m;
    PageFormatter pages(s.doc, m, Twips(9360));
    const std::vector<PageRange> all = pages.paginate(Twips(12960));
    std::vector<int32_t> starts;
    for (const PageRange& p : all)
        starts.push_back(p.start.v);
    EXPECT_EQ(starts, std::vector<int32_t>(std::begin(kShowcasePages), std::end(kShowcasePages)))
        << "the showcase's pages now start at " << list(starts).toStdString();
    const auto effects = [&](model::ParaIndex p) {
        return s.doc.paraFormats()[s.doc.paraFormatId(p)].effects;
    };
    for (size_t i = 0; i + 1 < all.size(); ++i) {
        EXPECT_FALSE(effects(s.doc.paragraphAt(all[i].next - 1)) & PFE_KEEPNEXT)
            << "page " << i + 1 << " ends with a heading";
    }
    bool breakBefore = false;
    for (int32_t p = 1; p < s.doc.paragraphCount(); ++p) {
        if (effects(model::ParaIndex(p)) & PFE_PAGEBREAKBEFORE) {
            breakBefore = true;
            EXPECT_NE(std::find(starts.begin(), starts.end(),
                                s.doc.paragraphStart(model::ParaIndex(p)).v),
                      starts.end())
                << "paragraph " << p << " asks for a page of its own";
        }
    }
    EXPECT_TRUE(breakBefore);
}
