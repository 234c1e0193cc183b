#include "framework/ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ScreenMetricsGui, WithoutAHookTheResolutionComesFromThePrimaryScreen) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(ScreenMetrics::LogPixelsX(), std::lround(screen->logicalDotsPerInchX()));
    EXPECT_EQ(ScreenMetrics::LogPixelsY(), std::lround(screen->logicalDotsPerInchY()));
}

TEST(ScreenMetricsGui, AHookTakesPrecedenceOverTheScreen) {
    ScopedScreenMetricsHook hook(ScreenMetrics::Fixed(300, 301));
    EXPECT_EQ(ScreenMetrics::LogPixelsX(), 300);
    EXPECT_EQ(ScreenMetrics::LogPixelsY(), 301);
}

} // namespace
