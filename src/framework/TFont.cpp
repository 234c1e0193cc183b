#include "framework/TFont.h"

#include "framework/ScreenMetrics.h"

#include <cmath>

TFont::TFont(const QFont& font, TColor color)
    : FFont(font), FColor(color), FPitch(font.fixedPitch() ? fpFixed : fpDefault) {}

void TFont::Assign(const TPersistent* Source) {
    if (const auto* font = dynamic_cast<const TFont*>(Source)) {
        *this = *font;
        return;
    }
    TPersistent::Assign(Source);
}

int32_t TFont::Size() const {
    const double points = FFont.pointSizeF();
    if (points > 0)
        return int32_t(std::lround(points));
    const int pixels = FFont.pixelSize();
    if (pixels <= 0)
        return 0;
    return int32_t(std::lround(pixels * 72.0 / ScreenMetrics::LogPixelsY()));
}

void TFont::SetSize(int32_t value) {
    if (value > 0)
        FFont.setPointSize(value);
}

TFontStyles TFont::Style() const {
    TFontStyles s;
    if (FFont.bold())
        s += fsBold;
    if (FFont.italic())
        s += fsItalic;
    if (FFont.underline())
        s += fsUnderline;
    if (FFont.strikeOut())
        s += fsStrikeOut;
    return s;
}

void TFont::SetStyle(TFontStyles value) {
    // A font keeps its own weight while its boldness does not change.
    if (value.contains(fsBold) != FFont.bold())
        FFont.setBold(value.contains(fsBold));
    FFont.setItalic(value.contains(fsItalic));
    FFont.setUnderline(value.contains(fsUnderline));
    FFont.setStrikeOut(value.contains(fsStrikeOut));
}

void TFont::SetPitch(TFontPitch value) {
    FPitch = value;
    FFont.setFixedPitch(value == fpFixed);
}
