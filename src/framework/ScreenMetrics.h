#pragma once

#include <cstdint>
#include <functional>
#include <utility>

// The screen's resolution in pixels per inch, horizontally (LOGPIXELSX) and vertically
// (LOGPIXELSY).
struct TScreenResolution {
    int32_t X = 96;
    int32_t Y = 96;
};

// Reads the screen's resolution. Nothing is cached: every call asks again, so a change of the
// display settings takes effect at the next call.
//
// By default the answer comes from the primary screen of the running QGuiApplication (its logical
// dots per inch, rounded); without a QGuiApplication or without a screen it is 96 in both
// directions. A hook replaces that reading, for example in tests that need a fixed resolution;
// it, too, is called anew on every read.
class ScreenMetrics {
public:
    using Hook = std::function<TScreenResolution()>;

    static TScreenResolution Resolution();
    static int32_t LogPixelsX() { return Resolution().X; }
    static int32_t LogPixelsY() { return Resolution().Y; }

    // Installs hook (an empty one restores the reading from Qt) and answers the previous hook.
    static Hook SetHook(Hook hook);

    // A hook that always answers the given resolution.
    static Hook Fixed(int32_t x, int32_t y);

    // The resolution as Qt reports it, ignoring any hook.
    static TScreenResolution QtResolution();
};

// Installs a screen-metrics hook for the lifetime of the object and puts the previous one back
// when it goes out of scope.
class ScopedScreenMetricsHook {
public:
    explicit ScopedScreenMetricsHook(ScreenMetrics::Hook hook)
        : FPrevious(ScreenMetrics::SetHook(std::move(hook))) {}
    // A fixed resolution of dpi pixels per inch in both directions.
    explicit ScopedScreenMetricsHook(int32_t dpi)
        : ScopedScreenMetricsHook(ScreenMetrics::Fixed(dpi, dpi)) {}
    ~ScopedScreenMetricsHook() { ScreenMetrics::SetHook(std::move(FPrevious)); }

    ScopedScreenMetricsHook(const ScopedScreenMetricsHook&) = delete;
    ScopedScreenMetricsHook& operator=(const ScopedScreenMetricsHook&) = delete;

private:
    ScreenMetrics::Hook FPrevious;
};
