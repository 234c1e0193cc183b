#include "LayoutTestSupport.h"

#include "engine/layout/PageFormatter.h"
#include "engine/layout/QtTextMeasurer.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace richedit;
using namespace richedit::layout;
using model::CharPos;

namespace {

// Paragraphs of plain text in the fixed measurer: 100-twip characters, 200-twip lines.
struct Doc {
    model::Document doc;
    explicit Doc(const std::vector<QString>& paragraphs, const model::CharFormat& cf = {}) {
        model::DocumentBuilder b(doc);
        const model::CharFormatId id = doc.charFormats().intern(cf);
        const model::ParaFormatId pf = doc.paraFormats().intern({});
        for (size_t i = 0; i < paragraphs.size(); ++i) {
            b.text(paragraphs[i], id);
            if (i + 1 < paragraphs.size())
                b.endParagraph(pf, id);
        }
        b.finish(pf, id);
    }
};

// Paragraphs of whole lines in the fixed measurer at 1000 twips: "aaaa bbbb " is one line.
struct Para {
    int32_t lines;
    uint16_t effects = 0;
};

struct ParaDoc {
    model::Document doc;
    explicit ParaDoc(const std::vector<Para>& paragraphs) {
        model::DocumentBuilder b(doc);
        const model::CharFormatId id = doc.charFormats().intern({});
        for (size_t i = 0; i < paragraphs.size(); ++i) {
            model::ParaFormat pf;
            pf.effects = paragraphs[i].effects;
            const model::ParaFormatId f = doc.paraFormats().intern(pf);
            b.text(u"aaaa bbbb "_qs.repeated(paragraphs[i].lines), id);
            if (i + 1 < paragraphs.size())
                b.endParagraph(f, id);
            else
                b.finish(f, id);
        }
    }
};

// Where each page starts: the paragraph and its line.
using LineAt = std::pair<int32_t, int32_t>;

std::vector<int32_t> pageStarts(const std::vector<PageRange>& pages) {
    std::vector<int32_t> out;
    for (const PageRange& p : pages)
        out.push_back(p.start.v);
    return out;
}

} // namespace

TEST(PageFormatter, PagesChainToTheEndOfTheDocument) {
    // Ten characters a line, five lines a page.
    struct Case {
        const char* name;
        std::vector<QString> paragraphs;
        std::vector<int32_t> starts;
    } cases[] = {
        {"empty document", {u""_qs}, {0}},
        {"one short line", {u"abc"_qs}, {0}},
        {"exactly one page", {u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs}, {0}},
        {"one line more than a page",
         {u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs, u"f"_qs},
         {0, 10}},
        // A wrapped paragraph of 12 lines breaks between its lines.
        {"a long paragraph", {QString(u"aaaa bbbb "_qs).repeated(12)}, {0, 50, 100}},
    };
    test::FixedMeasurer m;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Doc d(c.paragraphs);
        PageFormatter pages(d.doc, m, Twips(1000));
        const std::vector<PageRange> all = pages.paginate(Twips(1000));
        EXPECT_EQ(pageStarts(all), c.starts);
        ASSERT_FALSE(all.empty());
        EXPECT_GE(all.back().next, d.doc.end()) << "the last page reaches the end";
        for (size_t i = 0; i + 1 < all.size(); ++i)
            EXPECT_EQ(all[i].next, all[i + 1].start);
        for (const PageRange& p : all) {
            EXPECT_GT(p.lines, 0);
            EXPECT_LE(p.used.v, 1000);
        }
        // From the last page and past the end, the answer is at or past the text's length.
        EXPECT_GE(pages.formatPage(all.back().start, Twips(1000)).next, d.doc.end());
        EXPECT_GE(pages.formatPage(d.doc.end() + 5, Twips(1000)).next, d.doc.end());
    }
}

TEST(PageFormatter, LineTallerThanThePageStillAdvances) {
    model::CharFormat big;
    big.height = 2000; // 2000-twip lines on 500-twip pages
    Doc d({u"a b c"_qs, u"d"_qs}, big);
    test::FixedMeasurer m;
    PageFormatter pages(d.doc, m, Twips(1200));
    const std::vector<PageRange> all = pages.paginate(Twips(500));
    // "a ", "b ", "c" and "d": one over-tall line per page.
    ASSERT_EQ(pageStarts(all), (std::vector<int32_t>{0, 2, 4, 6}));
    for (const PageRange& p : all) {
        EXPECT_EQ(p.lines, 1);
        EXPECT_GT(p.next, p.start);
    }
}

TEST(PageFormatter, PageBreaksAreTheSameForEveryTargetResolution) {
    model::CharFormat serif;
    serif.face = u"Liberation Serif"_qs;
    serif.height = 240;
    std::vector<QString> paragraphs;
    for (int i = 0; i < 12; ++i)
        paragraphs.push_back(u"Sphinx of black quartz, judge my vow; pack my box with five "
                             u"dozen liquor jugs. "_qs.repeated(1 + i % 3));
    Doc d(paragraphs, serif);
    QtTextMeasurer m;
    // Three by two inches of text.
    const Twips width(4320), height(2880);
    std::vector<std::vector<int32_t>> results;
    for (int dpi : {96, 300, 600}) {
        SCOPED_TRACE(dpi);
        PageFormatter pages(d.doc, m, width);
        const qreal scale = dpi / 1440.0;
        QImage image(int(width.v * scale) + 1, int(height.v * scale) + 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(int(dpi / 0.0254));
        image.setDotsPerMeterY(int(dpi / 0.0254));
        std::vector<int32_t> starts;
        CharPos at(0);
        do {
            image.fill(Qt::white);
            QPainter painter(&image);
            const PageRange page = pages.drawPage(painter, at, height, QPointF(0, 0), scale);
            starts.push_back(page.start.v);
            at = page.next;
        } while (at < d.doc.end());
        results.push_back(starts);
    }
    ASSERT_GT(results[0].size(), 2u);
    EXPECT_EQ(results[0], results[1]);
    EXPECT_EQ(results[0], results[2]);
}

TEST(PageFormatter, KeepsMoveTheBreakBackToAParagraphStart) {
    // Five 200-twip lines a page.
    const uint16_t keep = PFE_KEEP, next = PFE_KEEPNEXT, breakBefore = PFE_PAGEBREAKBEFORE;
    struct Case {
        const char* name;
        std::vector<Para> paragraphs;
        std::vector<LineAt> starts;
    } cases[] = {
        {"without keeps the page breaks between lines", {{3}, {1}, {3}}, {{0, 0}, {2, 1}}},
        {"kept together moves whole", {{3}, {1}, {3, keep}}, {{0, 0}, {2, 0}}},
        {"kept together a page tall moves whole", {{1}, {5, keep}}, {{0, 0}, {1, 0}}},
        {"kept together but taller than a page splits", {{3}, {7, keep}}, {{0, 0}, {1, 2}}},
        {"kept together on a later page", {{5}, {3}, {1}, {3, keep}}, {{0, 0}, {1, 0}, {3, 0}}},
        {"kept with the next goes along with its first line",
         {{4}, {1, next}, {3}},
         {{0, 0}, {1, 0}}},
        {"kept with the next whose first line fits stays", {{3}, {1, next}, {3}}, {{0, 0}, {2, 1}}},
        {"kept with the next but split itself", {{3}, {3, next}, {1}}, {{0, 0}, {1, 2}}},
        {"a chain kept with the next moves together",
         {{3}, {1, next}, {1, next}, {3}},
         {{0, 0}, {1, 0}}},
        {"a chain back to the page's top stays", {{2, next}, {3, next}, {3}}, {{0, 0}, {2, 0}}},
        {"kept with the next on a page that begins inside a paragraph",
         {{7}, {3, next}, {1}},
         {{0, 0}, {0, 5}, {1, 0}}},
        {"kept with one kept together", {{2}, {1, next}, {3, keep}}, {{0, 0}, {1, 0}}},
        {"a page break before starts a page", {{1}, {1, breakBefore}, {1}}, {{0, 0}, {1, 0}}},
        {"a page break before the first paragraph", {{1, breakBefore}, {1}}, {{0, 0}}},
        {"a page break before a paragraph that begins a page anyway",
         {{5}, {1, breakBefore}},
         {{0, 0}, {1, 0}}},
        {"a page break before wins over keeping with the next",
         {{1}, {1, next}, {1, breakBefore}},
         {{0, 0}, {2, 0}}},
    };
    test::FixedMeasurer m;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParaDoc d(c.paragraphs);
        PageFormatter pages(d.doc, m, Twips(1000));
        const std::vector<PageRange> all = pages.paginate(Twips(1000));
        std::vector<LineAt> starts;
        int32_t lines = 0;
        for (const PageRange& p : all) {
            const model::ParaIndex para = d.doc.paragraphAt(p.start);
            const int32_t offset = p.start - d.doc.paragraphStart(para);
            starts.push_back({para.v, pages.layout().paragraphLayout(para).lineOfOffset(offset)});
            EXPECT_GT(p.lines, 0);
            EXPECT_LE(p.used.v, 1000);
            EXPECT_EQ(p.used.v, p.lines * 200) << "used is the height of the lines it holds";
            lines += p.lines;
        }
        EXPECT_EQ(starts, c.starts);
        for (size_t i = 0; i + 1 < all.size(); ++i)
            EXPECT_EQ(all[i].next, all[i + 1].start);
        EXPECT_EQ(lines, pages.layout().lineCount()) << "every line is on one page";
        ASSERT_FALSE(all.empty());
        EXPECT_GE(all.back().next, d.doc.end());
    }
}
