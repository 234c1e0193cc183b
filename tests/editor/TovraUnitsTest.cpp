#include "editor/TovraUnits.h"

#include "framework/ScreenMetrics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// Forms store units by ordinal, in one byte.
static_assert(sizeof(TTovraUnits) == 1);
static_assert(unPoints == 0 && unInches == 1 && unMillimeters == 2 && unAuto == 3);

// ---- Rounding ------------------------------------------------------------------------------

TEST(RoundHalfEven, SendsExactHalvesToTheEvenNeighbour) {
    const struct {
        double X;
        int32_t Expected;
    } cases[] = {
        {0.5, 0},
        {-0.5, 0},
        {1.5, 2},
        {-1.5, -2},
        {2.5, 2},
        {-2.5, -2},
        {3.5, 4},
        {-3.5, -4},
        {7.5, 8},
        {0.0, 0},
        {2.4999, 2},
        {2.5001, 3},
        {-2.5001, -3},
        {-2.4999, -2},
        {41.0, 41},
        {1e12, kMax},
        {-1e12, kMin},
        {2147483647.0, kMax},
        {-2147483648.0, kMin},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), kMax},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.X), c.Expected) << c.X;
}

TEST(MulDiv, RoundsTheWideProductWithHalvesAwayFromZero) {
    const struct {
        int32_t Number, Numerator, Denominator, Expected;
    } cases[] = {
        {1, 1, 2, 1},
        {-1, 1, 2, -1},
        {1, -1, 2, -1},
        {-1, -1, 2, 1},
        {1, 1, -2, -1},
        {-1, 1, -2, 1},
        {3, 1, 2, 2},
        {-3, 1, 2, -2},
        {5, 1, 4, 1},
        {7, 1, 4, 2},
        {-7, 1, 4, -2},
        {-5, 1, 4, -1},
        {1, 1, 3, 0},
        {2, 1, 3, 1},
        {-2, 1, 3, -1},
        {0, 5, 7, 0},
        {2000000000, 3, 6, 1000000000},
        {kMax, kMax, kMax, kMax},
        {kMin, 1, 1, kMin},
        {1, 1, kMin, 0},
        // Like the platform routine: -1 for a zero divisor and for a result beyond 32 bits.
        {5, 5, 0, -1},
        {0, 0, 0, -1},
        {kMax, 2, 1, -1},
        {kMin, -1, 1, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c.Number, c.Numerator, c.Denominator), c.Expected)
            << c.Number << " * " << c.Numerator << " / " << c.Denominator;
}

// ---- Conversions without the screen --------------------------------------------------------

struct TRealCase {
    const char* Name;
    std::function<double()> Call;
    double Expected;
};

void ExpectCases(const std::vector<TRealCase>& cases) {
    for (const TRealCase& c : cases)
        EXPECT_DOUBLE_EQ(c.Call(), c.Expected) << c.Name;
}

TEST(TovraUnits, RealConversionsKeepFractions) {
    ExpectCases({
        {"TwipsToPoints(1440)", [] { return TwipsToPoints(1440); }, 72.0},
        {"TwipsToPoints(-30)", [] { return TwipsToPoints(-30); }, -1.5},
        {"TwipsToMillimeters(1440)", [] { return TwipsToMillimeters(1440); }, 25.4},
        {"TwipsToInches100(1440)", [] { return TwipsToInches100(1440); }, 100.0},
        {"TwipsToInches100(1)", [] { return TwipsToInches100(1); }, 100.0 / 1440.0},
        {"PointsToInches100(72)", [] { return PointsToInches100(72); }, 100.0},
        {"PointsToMillimeters(72)", [] { return PointsToMillimeters(72); }, 25.4},
        {"Inches100ToPoints(100)", [] { return Inches100ToPoints(100); }, 72.0},
        {"Inches100ToPoints(1)", [] { return Inches100ToPoints(1); }, 0.72},
        {"Inches100ToMillimeters(100)", [] { return Inches100ToMillimeters(100); }, 25.4},
        {"MillimetersToPoints(25.4)", [] { return MillimetersToPoints(25.4); }, 72.0},
        {"MillimetersToInches100(25.4)", [] { return MillimetersToInches100(25.4); }, 100.0},
        {"MillimetersToInches100(10)", [] { return MillimetersToInches100(10); }, 1000.0 / 25.4},
    });
}

TEST(TovraUnits, UnitsToTwipsRoundsHalfToEven) {
    const struct {
        TTovraUnits Unit;
        double X;
        int32_t Expected;
    } cases[] = {
        {unPoints, 0.125, 2},     {unPoints, 0.375, 8},
        {unPoints, -0.125, -2},   {unPoints, 12, 240},
        {unInches, 100, 1440},    {unInches, 0.25, 4},
        {unInches, -50, -720},    {unMillimeters, 25.4, 1440},
        {unMillimeters, 10, 567}, {unAuto, 2.5, 2},
        {unAuto, 3.5, 4},         {unAuto, 1440, 1440},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnitsToTwips(c.Unit, c.X), c.Expected) << int(c.Unit) << " " << c.X;
    EXPECT_EQ(PointsToTwips(0.125), 2);
    EXPECT_EQ(Inches100ToTwips(100), 1440);
    EXPECT_EQ(MillimetersToTwips(25.4), 1440);
}

TEST(TovraUnits, TwipsToUnitsLeavesTwipsForAuto) {
    EXPECT_DOUBLE_EQ(TwipsToUnits(1440, unPoints), 72.0);
    EXPECT_DOUBLE_EQ(TwipsToUnits(1440, unInches), 100.0);
    EXPECT_DOUBLE_EQ(TwipsToUnits(1440, unMillimeters), 25.4);
    EXPECT_DOUBLE_EQ(TwipsToUnits(1440, unAuto), 1440.0);
    EXPECT_DOUBLE_EQ(TwipsToUnits(-25, unPoints), -1.25);
}

TEST(TovraUnits, ConvertUnitsFollowsItsDispatch) {
    const struct {
        TTovraUnits From, To;
        double X, Expected;
    } cases[] = {
        {unPoints, unPoints, 7.3, 7.3},
        {unPoints, unInches, 72, 100},
        {unPoints, unMillimeters, 72, 25.4},
        {unPoints, unAuto, 72, 25.4}, // as millimetres
        {unInches, unPoints, 100, 72},
        {unInches, unMillimeters, 100, 25.4},
        {unInches, unAuto, 100, 25.4}, // as millimetres
        {unMillimeters, unInches, 25.4, 100},
        {unMillimeters, unPoints, 25.4, 72},
        {unMillimeters, unAuto, 25.4, 72}, // as points
        {unAuto, unPoints, 5, 5},
        {unAuto, unInches, 5, 5},
        {unAuto, unMillimeters, 5, 5},
        {unAuto, unAuto, 5, 5},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ConvertUnits(c.From, c.To, c.X), c.Expected)
            << int(c.From) << " -> " << int(c.To);
}

TEST(TovraUnits, UnitNamesComeFromTheStringTable) {
    EXPECT_EQ(GetUnitName(unPoints), QStringLiteral("Points"));
    EXPECT_EQ(GetUnitName(unInches), QStringLiteral("Inches x 100"));
    EXPECT_EQ(GetUnitName(unMillimeters), QStringLiteral("Millimeters"));
    EXPECT_TRUE(GetUnitName(unAuto).isEmpty());
    EXPECT_TRUE(GetUnitName(static_cast<TTovraUnits>(9)).isEmpty());
}

TEST(TovraUnits, TwipsToDeviceUsesTheGivenResolutionOnly) {
    int screenReads = 0;
    ScopedScreenMetricsHook hook([&] {
        ++screenReads;
        return TScreenResolution{96, 96};
    });
    const struct {
        int32_t Twips, Resolution, Expected;
    } cases[] = {
        {1440, 600, 600}, {1, 600, 0},   {3, 600, 1}, {-3, 600, -1}, {12, 600, 5},
        {3, 240, 1},      {-3, 240, -1}, {9, 240, 2}, {100, 0, 0},   {-1440, 300, -300},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TwipsToDevice(c.Twips, c.Resolution), c.Expected)
            << c.Twips << " at " << c.Resolution;
    EXPECT_EQ(screenReads, 0);
}

// ---- Screen conversions --------------------------------------------------------------------

TEST(TovraUnits, WithoutAHookTheScreenIsStandard) {
    EXPECT_EQ(ScreenPixelsPerInch(), 96);
    EXPECT_EQ(UnitsToPixels(unPoints, 72), 96);
}

struct TScreenCase {
    int32_t Dpi;
    const char* Name;
    std::function<double()> Call;
    double Expected;
};

TEST(TovraUnits, ScreenConversionsAtTheScreensResolution) {
    const TScreenCase cases[] = {
        {96, "UnitsToPixels(unPoints, 72)", [] { return UnitsToPixels(unPoints, 72); }, 96},
        {96, "UnitsToPixels(unPoints, 72.0)", [] { return UnitsToPixels(unPoints, 72.0); }, 96},
        {96, "UnitsToPixels(unInches, 100)", [] { return UnitsToPixels(unInches, 100); }, 96},
        {96, "UnitsToPixels(unMillimeters, 25.4)",
         [] { return UnitsToPixels(unMillimeters, 25.4); }, 96},
        {96, "UnitsToPixels(unAuto, 2.5)", [] { return UnitsToPixels(unAuto, 2.5); }, 2},
        {96, "UnitsToPixels(unAuto, 37)", [] { return UnitsToPixels(unAuto, 37); }, 37},
        {96, "UnitsToPixels(unPoints, 0.375)", [] { return UnitsToPixels(unPoints, 0.375); }, 0},
        {96, "UnitsToPixels(unPoints, 1.125)", [] { return UnitsToPixels(unPoints, 1.125); }, 2},
        {96, "PixelsToTwips(1)", [] { return PixelsToTwips(1); }, 15},
        {96, "PixelsToTwips(-1)", [] { return PixelsToTwips(-1); }, -15},
        {96, "TwipsToPixels(15)", [] { return TwipsToPixels(15); }, 1},
        {96, "TwipsToPixels(1440)", [] { return TwipsToPixels(1440); }, 96},
        {96, "TwipsToPixels(7)", [] { return TwipsToPixels(7); }, 0},
        {96, "TwipsToPixels(-15)", [] { return TwipsToPixels(-15); }, -1},
        {96, "PixelsToUnits(96, unAuto)", [] { return PixelsToUnits(96, unAuto); }, 1},
        {96, "PixelsToUnits(96, unPoints)", [] { return PixelsToUnits(96, unPoints); }, 72},
        {96, "PixelsToUnits(96, unInches)", [] { return PixelsToUnits(96, unInches); }, 100},
        {96, "PixelsToUnits(96, unMillimeters)", [] { return PixelsToUnits(96, unMillimeters); },
         25},
        {96, "PointsToPixels(72)", [] { return PointsToPixels(72); }, 96.0},
        {96, "Inches100ToPixels(50)", [] { return Inches100ToPixels(50); }, 48.0},
        {96, "MillimetersToPixels(25.4)", [] { return MillimetersToPixels(25.4); }, 96.0},
        {120, "UnitsToPixels(unPoints, 72)", [] { return UnitsToPixels(unPoints, 72); }, 120},
        {120, "UnitsToPixels(unInches, 50)", [] { return UnitsToPixels(unInches, 50); }, 60},
        {120, "PixelsToTwips(1)", [] { return PixelsToTwips(1); }, 12},
        {120, "TwipsToPixels(12)", [] { return TwipsToPixels(12); }, 1},
        {120, "TwipsToPixels(6)", [] { return TwipsToPixels(6); }, 0},   // 0.5 to even
        {120, "TwipsToPixels(18)", [] { return TwipsToPixels(18); }, 2}, // 1.5 to even
        {120, "TwipsToPixels(-18)", [] { return TwipsToPixels(-18); }, -2},
        {120, "PixelsToUnits(120, unAuto)", [] { return PixelsToUnits(120, unAuto); }, 1},
        {120, "PixelsToUnits(60, unAuto)", [] { return PixelsToUnits(60, unAuto); }, 0},
        {120, "PixelsToUnits(180, unAuto)", [] { return PixelsToUnits(180, unAuto); }, 2},
        {120, "PixelsToUnits(5, unPoints)", [] { return PixelsToUnits(5, unPoints); }, 3},
        {120, "PixelsToUnits(-5, unPoints)", [] { return PixelsToUnits(-5, unPoints); }, -3},
        {120, "PointsToPixels(1)", [] { return PointsToPixels(1); }, 120.0 / 72.0},
        {120, "MillimetersToPixels(25.4)", [] { return MillimetersToPixels(25.4); }, 120.0},
        {144, "PixelsToTwips(1)", [] { return PixelsToTwips(1); }, 10},
        {144, "PixelsToUnits(1, unPoints)", [] { return PixelsToUnits(1, unPoints); }, 0},
        {144, "PixelsToUnits(3, unPoints)", [] { return PixelsToUnits(3, unPoints); }, 2},
    };
    for (const TScreenCase& c : cases) {
        ScopedScreenMetricsHook hook(c.Dpi);
        EXPECT_DOUBLE_EQ(c.Call(), c.Expected) << c.Name << " at " << c.Dpi << " dpi";
    }
}

TEST(TovraUnits, PixelConversionsUseTheHorizontalResolution) {
    ScopedScreenMetricsHook hook(ScreenMetrics::Fixed(120, 96));
    EXPECT_EQ(UnitsToPixels(unPoints, 72), 120);
    EXPECT_EQ(PixelsToTwips(1), 12);
    EXPECT_EQ(ScreenPixelsPerInch(), 120);
}

TEST(TovraUnits, TheResolutionIsReadAnewOnEveryCall) {
    int32_t dpi = 96;
    ScopedScreenMetricsHook hook([&] { return TScreenResolution{dpi, dpi}; });
    EXPECT_EQ(UnitsToPixels(unPoints, 72), 96);
    EXPECT_EQ(PixelsToTwips(1), 15);
    dpi = 120;
    EXPECT_EQ(UnitsToPixels(unPoints, 72), 120);
    EXPECT_EQ(PixelsToTwips(1), 12);
    EXPECT_EQ(TwipsToPixels(1440), 120);
    EXPECT_EQ(PixelsToUnits(120, unAuto), 1);
    dpi = 96;
    EXPECT_EQ(TwipsToPixels(1440), 96);
    EXPECT_DOUBLE_EQ(PointsToPixels(72), 96.0);
}

TEST(TovraUnits, ZeroIsZeroPixelsWithoutAskingTheScreen) {
    int screenReads = 0;
    ScopedScreenMetricsHook hook([&] {
        ++screenReads;
        return TScreenResolution{120, 120};
    });
    for (TTovraUnits unit : {unPoints, unInches, unMillimeters, unAuto}) {
        EXPECT_EQ(UnitsToPixels(unit, 0.0), 0) << int(unit);
        EXPECT_EQ(UnitsToPixels(unit, 0), 0) << int(unit);
        EXPECT_EQ(UnitsToPixels(unit, -0.0), 0) << int(unit);
    }
    EXPECT_EQ(screenReads, 0);
}

TEST(TovraUnits, LargePixelCountsDoNotOverflow) {
    ScopedScreenMetricsHook hook(96);
    EXPECT_EQ(PixelsToUnits(kMin, unPoints), -1610612736);
    EXPECT_EQ(PixelsToUnits(kMax, unInches), kMax); // beyond 32 bits: the nearest bound
}

} // namespace
