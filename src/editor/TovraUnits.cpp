#include "editor/TovraUnits.h"

#include "framework/ScreenMetrics.h"
#include "resources/TovraStrings.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerPoint = 20.0;
constexpr double kPointsPerInch = 72.0;
constexpr double kInches100PerInch = 100.0;
constexpr double kMillimetersPerInch = 25.4;

} // namespace

int32_t RoundHalfEven(double x) {
    if (std::isnan(x))
        return 0;
    double rounded = std::floor(x);
    const double fraction = x - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    constexpr double lowest = std::numeric_limits<int32_t>::min();
    constexpr double highest = std::numeric_limits<int32_t>::max();
    if (rounded <= lowest)
        return std::numeric_limits<int32_t>::min();
    if (rounded >= highest)
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(rounded);
}

int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator) {
    if (denominator == 0)
        return -1;
    const int64_t product = int64_t{number} * int64_t{numerator};
    const int64_t divisor = denominator;
    // Round the magnitudes, then apply the sign: halves go away from zero.
    const int64_t magnitude = (std::llabs(product) + std::llabs(divisor) / 2) / std::llabs(divisor);
    const int64_t result = (product < 0) != (divisor < 0) ? -magnitude : magnitude;
    if (result < std::numeric_limits<int32_t>::min() ||
        result > std::numeric_limits<int32_t>::max())
        return -1;
    return static_cast<int32_t>(result);
}

int32_t ScreenPixelsPerInch() {
    return ScreenMetrics::LogPixelsX();
}

double TwipsToPoints(double x) {
    return x / kTwipsPerPoint;
}

double TwipsToMillimeters(double x) {
    return kMillimetersPerInch * x / kTwipsPerInch;
}

double TwipsToInches100(double x) {
    return x * kInches100PerInch / kTwipsPerInch;
}

double PointsToInches100(double x) {
    return x * kInches100PerInch / kPointsPerInch;
}

double PointsToMillimeters(double x) {
    return kMillimetersPerInch * x / kPointsPerInch;
}

double Inches100ToPoints(double x) {
    return x * kPointsPerInch / kInches100PerInch;
}

double Inches100ToMillimeters(double x) {
    return kMillimetersPerInch * x / kInches100PerInch;
}

double MillimetersToPoints(double x) {
    return x * kPointsPerInch / kMillimetersPerInch;
}

double MillimetersToInches100(double x) {
    return x * kInches100PerInch / kMillimetersPerInch;
}

int32_t PointsToTwips(double x) {
    return RoundHalfEven(x * kTwipsPerPoint);
}

int32_t Inches100ToTwips(double x) {
    return RoundHalfEven(x * kTwipsPerInch / kInches100PerInch);
}

int32_t MillimetersToTwips(double x) {
    return RoundHalfEven(x * kTwipsPerInch / kMillimetersPerInch);
}

double PointsToPixels(double x) {
    return x * ScreenPixelsPerInch() / kPointsPerInch;
}

double Inches100ToPixels(double x) {
    return (x / kInches100PerInch) * ScreenPixelsPerInch();
}

double MillimetersToPixels(double x) {
    return x * ScreenPixelsPerInch() / kMillimetersPerInch;
}

int32_t TwipsToPixels(int32_t x) {
    return RoundHalfEven(static_cast<double>(x) * ScreenPixelsPerInch() / kTwipsPerInch);
}

int32_t PixelsToTwips(int32_t x) {
    return MulDiv(x, 1440, ScreenPixelsPerInch());
}

int32_t TwipsToDevice(int32_t twips, int32_t resolution) {
    return MulDiv(twips, resolution, 1440);
}

int32_t UnitsToTwips(TTovraUnits unit, double x) {
    switch (unit) {
    case unPoints:
        return PointsToTwips(x);
    case unInches:
        return Inches100ToTwips(x);
    case unMillimeters:
        return MillimetersToTwips(x);
    case unAuto:
        break;
    }
    return RoundHalfEven(x);
}

double TwipsToUnits(int32_t twips, TTovraUnits unit) {
    switch (unit) {
    case unPoints:
        return TwipsToPoints(twips);
    case unInches:
        return TwipsToInches100(twips);
    case unMillimeters:
        return TwipsToMillimeters(twips);
    case unAuto:
        break;
    }
    return twips;
}

int32_t UnitsToPixels(TTovraUnits unit, double x) {
    // Zero is zero pixels at any resolution; the screen is not asked.
    if (x == 0.0)
        return 0;
    switch (unit) {
    case unPoints:
        return RoundHalfEven(PointsToPixels(x));
    case unInches:
        return RoundHalfEven(Inches100ToPixels(x));
    case unMillimeters:
        return RoundHalfEven(MillimetersToPixels(x));
    case unAuto:
        break;
    }
    return RoundHalfEven(x);
}

int32_t UnitsToPixels(TTovraUnits unit, int32_t x) {
    return UnitsToPixels(unit, static_cast<double>(x));
}

int32_t PixelsToUnits(int32_t pixels, TTovraUnits unit) {
    // The products for points and hundredths of an inch are whole numbers; they are formed in
    // 64 bits so that no pixel count overflows.
    double product = pixels;
    switch (unit) {
    case unPoints:
        product = static_cast<double>(int64_t{pixels} * 72);
        break;
    case unInches:
        product = static_cast<double>(int64_t{pixels} * 100);
        break;
    case unMillimeters:
        product = pixels * kMillimetersPerInch;
        break;
    case unAuto:
        break;
    }
    return RoundHalfEven(product / ScreenPixelsPerInch());
}

double ConvertUnits(TTovraUnits from, TTovraUnits to, double x) {
    if (from == to)
        return x;
    switch (from) {
    case unPoints:
        return to == unInches ? PointsToInches100(x) : PointsToMillimeters(x);
    case unInches:
        return to == unPoints ? Inches100ToPoints(x) : Inches100ToMillimeters(x);
    case unMillimeters:
        return to == unInches ? MillimetersToInches100(x) : MillimetersToPoints(x);
    case unAuto:
        break;
    }
    return x;
}

QString GetUnitName(TTovraUnits unit) {
    switch (unit) {
    case unPoints:
        return LoadStr(sidUnitPoints);
    case unInches:
        return LoadStr(sidUnitInches);
    case unMillimeters:
        return LoadStr(sidUnitMillimeters);
    case unAuto:
        break;
    }
    return QString();
}
