#include "engine/surface/RichEditEngine.h"

#include <gtest/gtest.h>

using namespace richedit;

namespace {

const QString kText = u"A first paragraph that is long enough to wrap onto several lines when the "
                      u"text is shown in a narrow rectangle of two inches.\rShort.\r"
                      u"And a third paragraph, also long enough to wrap at that narrow width."_qs;

std::vector<int32_t> lineStarts(const RichEditEngine& e) {
    std::vector<int32_t> starts;
    for (int32_t line = 0; line < e.EM_GETLINECOUNT(); ++line)
        starts.push_back(e.EM_LINEINDEX(line));
    return starts;
}

} // namespace

TEST(EngineDisplayLines, LinesWrapAtTheFormatRectangle) {
    RichEditEngine e;
    e.WM_SETTEXT(kText);
    EXPECT_EQ(e.EM_GETLINECOUNT(), 3) << "without a rectangle a line is a paragraph";
    e.EM_SETRECT({10, 5, 10 + 192, 400}); // two inches at 96 pixels per inch
    EXPECT_EQ(e.EM_GETRECT(), (RECT{10, 5, 202, 400}));
    const std::vector<int32_t> starts = lineStarts(e);
    ASSERT_GT(starts.size(), 5u);
    for (size_t i = 1; i < starts.size(); ++i)
        EXPECT_GT(starts[i], starts[i - 1]);
    // Every character lies on the line whose start is the last one at or before it.
    for (int32_t cp = 0; cp < e.WM_GETTEXTLENGTH(); cp += 7) {
        const int32_t line = e.EM_EXLINEFROMCHAR(cp);
        EXPECT_LE(e.EM_LINEINDEX(line), cp);
        if (line + 1 < e.EM_GETLINECOUNT()) {
            EXPECT_GT(e.EM_LINEINDEX(line + 1), cp);
        }
    }
    // A wrapped line has no paragraph mark of its own.
    QString line;
    const int32_t n = e.EM_GETLINE(0, line, 4096);
    EXPECT_EQ(n, starts[1] - starts[0]);
    EXPECT_FALSE(line.contains(u'\r'));

    // The same rectangle on a screen of twice the resolution holds the same lines.
    e.SetScreenResolution(192);
    e.EM_SETRECT({20, 10, 20 + 384, 800});
    EXPECT_EQ(lineStarts(e), starts);

    // Typing re-wraps; no wrapping gives one line per paragraph again.
    e.EM_EXSETSEL({0, 0});
    e.TypeText(u"Inserted words at the start push the lines on. "_qs);
    EXPECT_GT(e.EM_GETLINECOUNT(), int32_t(starts.size()));
    e.EM_SETTARGETDEVICE(nullptr, 1);
    EXPECT_EQ(e.EM_GETLINECOUNT(), 3);
}

TEST(EngineDisplayLines, PositionsAndPointsAgree) {
    RichEditEngine e;
    e.WM_SETTEXT(kText);
    e.EM_SETRECT({10, 5, 10 + 192, 400});
    const POINT origin = e.EM_POSFROMCHAR(0);
    EXPECT_EQ(origin, (POINT{10, 5}));
    int32_t previousY = -1;
    for (int32_t line = 0; line < e.EM_GETLINECOUNT(); ++line) {
        const int32_t cp = e.EM_LINEINDEX(line);
        const POINT p = e.EM_POSFROMCHAR(cp);
        EXPECT_GT(p.y, previousY) << "each line lies below the one before";
        previousY = p.y;
        EXPECT_EQ(e.EM_CHARFROMPOS({p.x + 1, p.y + 2}), cp) << "line " << line;
    }
    const POINT mid = e.EM_POSFROMCHAR(30);
    EXPECT_GT(mid.x, origin.x);
}

TEST(EngineDisplayLines, ZoomKeepsLineBreaksAtATargetWidthAndRewrapsAtTheWindow) {
    RichEditEngine e;
    e.WM_SETTEXT(kText);
    e.EM_SETRECT({0, 0, 192, 400});
    e.EM_SETTARGETDEVICE(nullptr, 2880); // two inches, whatever the zoom
    const std::vector<int32_t> atActualSize = lineStarts(e);
    ASSERT_GT(atActualSize.size(), 5u);
    const int32_t y = e.EM_POSFROMCHAR(atActualSize[2]).y;
    for (auto [n, d] : {std::pair{1, 2}, std::pair{2, 1}, std::pair{3, 1}, std::pair{4, 1}}) {
        SCOPED_TRACE(n * 10 / d);
        ASSERT_TRUE(e.EM_SETZOOM(n, d));
        EXPECT_EQ(lineStarts(e), atActualSize);
        EXPECT_NEAR(e.EM_POSFROMCHAR(atActualSize[2]).y, y * n / double(d), 2)
            << "positions scale with the zoom";
    }
    // Wrapping at the window, a larger zoom leaves fewer characters a line.
    e.EM_SETZOOM(0, 0);
    e.EM_SETTARGETDEVICE(nullptr, 0);
    const size_t lines = lineStarts(e).size();
    e.EM_SETZOOM(2, 1);
    EXPECT_GT(lineStarts(e).size(), lines);
}
