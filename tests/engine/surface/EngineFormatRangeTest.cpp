#include "engine/surface/DeviceContext.h"
#include "engine/surface/RichEditEngine.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace richedit;

namespace {

// A Letter page with one-inch margins, in twips.
FORMATRANGE letterPage(DeviceContext* dc, int32_t from) {
    FORMATRANGE fr;
    fr.hdc = dc;
    fr.hdcTarget = dc;
    fr.rcPage = {0, 0, 12240, 15840};
    fr.rc = {1440, 1440, 12240 - 1440, 15840 - 1440};
    fr.chrg = {from, -1};
    return fr;
}

QString manyParagraphs(int n) {
    QString s;
    for (int i = 0; i < n; ++i)
        s += u"Paragraph %1 of a document long enough to need several pages when printed.\r"_qs.arg(
            i);
    return s;
}

// Every page starts where the one before stopped; the last answers the text's length or more.
std::vector<int32_t> pageStarts(RichEditEngine& e, DeviceContext* dc, bool render) {
    std::vector<int32_t> starts;
    const int32_t length = e.WM_GETTEXTLENGTH();
    int32_t from = 0;
    do {
        starts.push_back(from);
        FORMATRANGE fr = letterPage(dc, from);
        const int32_t next = e.EM_FORMATRANGE(render, &fr);
        EXPECT_GT(next, from) << "a page always advances";
        EXPECT_LE(fr.rc.bottom, 15840 - 1440) << "the area used stays on the page";
        from = next;
    } while (from < length && starts.size() < 1000);
    e.EM_FORMATRANGE(false, nullptr);
    return starts;
}

} // namespace

TEST(EngineFormatRange, PagesChainToTheEndAtEveryResolution) {
    RichEditEngine e;
    e.WM_SETTEXT(manyParagraphs(300));
    std::vector<std::vector<int32_t>> results;
    for (int dpi : {96, 300, 600}) {
        QImage target(10, 10, QImage::Format_RGB32);
        target.setDotsPerMeterX(int(dpi / 0.0254));
        target.setDotsPerMeterY(int(dpi / 0.0254));
        DeviceContext dc(target);
        results.push_back(pageStarts(e, &dc, false));
    }
    ASSERT_GT(results[0].size(), 3u);
    EXPECT_EQ(results[0], results[1]) << "pages are laid out in twips, not device pixels";
    EXPECT_EQ(results[0], results[2]);
}

TEST(EngineFormatRange, EmptyDocumentIsOnePageAndDrawingFillsThePage) {
    RichEditEngine e;
    QImage image(850, 1100, QImage::Format_RGB32); // a Letter page at 100 dpi
    image.setDotsPerMeterX(int(100 / 0.0254));
    image.setDotsPerMeterY(int(100 / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DeviceContext dc(painter);
        EXPECT_EQ(pageStarts(e, &dc, true).size(), 1u);

        e.WM_SETTEXT(u"Hello, printed world."_qs);
        FORMATRANGE fr = letterPage(&dc, 0);
        EXPECT_GE(e.EM_FORMATRANGE(true, &fr), e.WM_GETTEXTLENGTH());
        EXPECT_GT(fr.rc.bottom, fr.rc.top);
        EXPECT_LT(fr.rc.bottom, 1440 + 720) << "one line uses little of the page";
        painter.end();
    }
    // Ink inside the top margin's first line, none above the margin.
    bool inkInText = false, inkInMargin = false;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 850; ++x) {
            const bool ink = qGray(image.pixel(x, y)) < 128;
            if (ink && y < 95)
                inkInMargin = true;
            if (ink && y >= 100)
                inkInText = true;
        }
    EXPECT_TRUE(inkInText);
    EXPECT_FALSE(inkInMargin);
}

TEST(EngineFormatRange, AnEditBetweenPagesFormatsTheNewText) {
    RichEditEngine e;
    QImage target(10, 10, QImage::Format_RGB32);
    DeviceContext dc(target);
    e.WM_SETTEXT(u"short"_qs);
    FORMATRANGE fr = letterPage(&dc, 0);
    EXPECT_GE(e.EM_FORMATRANGE(false, &fr), 5) << "at or past the end on the last page";
    e.WM_SETTEXT(manyParagraphs(300));
    fr = letterPage(&dc, 0);
    const int32_t next = e.EM_FORMATRANGE(false, &fr);
    EXPECT_GT(next, 5);
    EXPECT_LT(next, e.WM_GETTEXTLENGTH()) << "the new text needs more than one page";
    fr = letterPage(&dc, 0);
    fr.chrg = {0, 20};
    EXPECT_EQ(e.EM_FORMATRANGE(false, &fr), 20) << "a range ending inside the page fits";
}
