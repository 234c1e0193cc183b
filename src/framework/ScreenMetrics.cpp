#include "framework/ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <utility>

namespace {

ScreenMetrics::Hook& CurrentHook() {
    static ScreenMetrics::Hook hook;
    return hook;
}

int32_t RoundDpi(qreal dpi) {
    // A screen that reports nothing sensible counts as the standard resolution.
    if (!(dpi >= 1.0) || dpi > 1.0e6)
        return 96;
    return static_cast<int32_t>(std::lround(dpi));
}

} // namespace

TScreenResolution ScreenMetrics::QtResolution() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return TScreenResolution{};
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return TScreenResolution{};
    return TScreenResolution{RoundDpi(screen->logicalDotsPerInchX()),
                             RoundDpi(screen->logicalDotsPerInchY())};
}

TScreenResolution ScreenMetrics::Resolution() {
    // A copy, so that a hook may replace itself while it runs.
    const Hook hook = CurrentHook();
    return hook ? hook() : QtResolution();
}

ScreenMetrics::Hook ScreenMetrics::SetHook(Hook hook) {
    return std::exchange(CurrentHook(), std::move(hook));
}

ScreenMetrics::Hook ScreenMetrics::Fixed(int32_t x, int32_t y) {
    return [x, y] { return TScreenResolution{x, y}; };
}
