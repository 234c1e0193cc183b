#include "framework/ScreenMetrics.h"

#include <gtest/gtest.h>

namespace {

// These tests run without a QGuiApplication: the reading from Qt falls back to 96.
TEST(ScreenMetrics, WithoutAGuiApplicationTheResolutionIsStandard) {
    EXPECT_EQ(ScreenMetrics::LogPixelsX(), 96);
    EXPECT_EQ(ScreenMetrics::LogPixelsY(), 96);
}

TEST(ScreenMetrics, AHookAnswersEachDirectionSeparately) {
    ScopedScreenMetricsHook hook(ScreenMetrics::Fixed(120, 144));
    EXPECT_EQ(ScreenMetrics::LogPixelsX(), 120);
    EXPECT_EQ(ScreenMetrics::LogPixelsY(), 144);
}

TEST(ScreenMetrics, TheHookIsAskedOnEveryRead) {
    int32_t dpi = 96;
    int calls = 0;
    ScopedScreenMetricsHook hook([&] {
        ++calls;
        return TScreenResolution{dpi, dpi};
    });
    EXPECT_EQ(ScreenMetrics::LogPixelsX(), 96);
    dpi = 120;
    EXPECT_EQ(ScreenMetrics::LogPixelsX(), 120);
    EXPECT_EQ(ScreenMetrics::LogPixelsY(), 120);
    EXPECT_EQ(calls, 3);
}

TEST(ScreenMetrics, ScopedHooksRestoreTheirPredecessors) {
    {
        ScopedScreenMetricsHook outer(120);
        {
            ScopedScreenMetricsHook inner(200);
            EXPECT_EQ(ScreenMetrics::LogPixelsX(), 200);
        }
        EXPECT_EQ(ScreenMetrics::LogPixelsX(), 120);
    }
    EXPECT_EQ(ScreenMetrics::LogPixelsX(), 96);
}

TEST(ScreenMetrics, AnEmptyHookRestoresTheReadingFromQt) {
    ScopedScreenMetricsHook hook(150);
    const ScreenMetrics::Hook previous = ScreenMetrics::SetHook(ScreenMetrics::Hook());
    EXPECT_EQ(ScreenMetrics::LogPixelsX(), 96);
    ScreenMetrics::SetHook(previous);
    EXPECT_EQ(ScreenMetrics::LogPixelsX(), 150);
}

} // namespace
