#pragma once

#include <QString>

#include <cstdint>

// The units in which users see and type lengths. The ordinals are fixed: forms store them and
// code compares them by ordinal.
enum TTovraUnits : uint8_t {
    unPoints = 0,      // points, 1/72 inch
    unInches = 1,      // hundredths of an inch
    unMillimeters = 2, // millimetres
    unAuto = 3,        // no conversion: the value is in the routine's native unit
};

// Rounds to the nearest integer, sending an exact half to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2). NaN gives 0; values beyond the 32-bit range give the nearest bound.
int32_t RoundHalfEven(double x);

// number * numerator / denominator with a 64-bit intermediate product, rounded to the nearest
// integer with halves away from zero. As the platform routine it stands in for, it answers -1 when
// denominator is 0 or when the result does not fit in 32 bits (so -1 is also an ordinary result).
int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator);

// The screen's horizontal resolution in pixels per inch, read anew on every call.
int32_t ScreenPixelsPerInch();

// Real conversions between twips (1/1440 inch), points, hundredths of an inch and millimetres,
// without rounding.
double TwipsToPoints(double x);
double TwipsToMillimeters(double x);
double TwipsToInches100(double x);
double PointsToInches100(double x);
double PointsToMillimeters(double x);
double Inches100ToPoints(double x);
double Inches100ToMillimeters(double x);
double MillimetersToPoints(double x);
double MillimetersToInches100(double x);

// Conversions to whole twips, rounded half to even.
int32_t PointsToTwips(double x);
int32_t Inches100ToTwips(double x);
int32_t MillimetersToTwips(double x);

// Conversions to and from screen pixels at the screen's horizontal resolution.
double PointsToPixels(double x);
double Inches100ToPixels(double x);
double MillimetersToPixels(double x);
int32_t TwipsToPixels(int32_t x);
int32_t PixelsToTwips(int32_t x);

// Twips to device units of a device with resolution pixels per inch (for example a printer).
int32_t TwipsToDevice(int32_t twips, int32_t resolution);

// Conversions by unit. unAuto leaves the value in the native unit of the routine: twips for the
// twips routines, pixels for the pixel routines. A value outside the enumeration counts as
// unAuto.
int32_t UnitsToTwips(TTovraUnits unit, double x);
double TwipsToUnits(int32_t twips, TTovraUnits unit);
int32_t UnitsToPixels(TTovraUnits unit, double x);
int32_t UnitsToPixels(TTovraUnits unit, int32_t x);
// With unAuto the pixels are divided by the resolution, which yields whole inches.
int32_t PixelsToUnits(int32_t pixels, TTovraUnits unit);
double ConvertUnits(TTovraUnits from, TTovraUnits to, double x);

// The unit's name from the string table; empty for unAuto.
QString GetUnitName(TTovraUnits unit);
