#pragma once

#include "framework/TColor.h"
#include "framework/TPersistent.h"
#include "framework/TSet.h"

#include <QFont>
#include <QString>

#include <cstdint>

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

// The character set a font is asked for with (the platform's numbering).
using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;

// A font as the components hand it around: a Qt font (face, size, styles, weight) with the
// colour, character set and pitch the components keep beside it.
class TFont : public TPersistent {
public:
    TFont() = default;
    explicit TFont(const QFont& font, TColor color = clWindowText);
    TFont(const TFont&) = default;
    TFont& operator=(const TFont&) = default;

    QString ClassName() const override { return QStringLiteral("TFont"); }
    // Another TFont is copied whole; any other source is asked to copy itself into this font.
    void Assign(const TPersistent* Source) override;

    const QFont& QtFont() const { return FFont; }
    void SetQtFont(const QFont& value) { FFont = value; }

    QString Name() const { return FFont.family(); }
    void SetName(const QString& value) { FFont.setFamily(value); }
    // Whole points. A font sized in pixels answers its size at the screen's vertical resolution.
    int32_t Size() const;
    // Sizes of 0 or less leave the size as it is: a font has a positive size.
    void SetSize(int32_t value);
    TFontStyles Style() const;
    void SetStyle(TFontStyles value);
    // The weight on the platform's scale (400 normal, 700 bold).
    int32_t Weight() const { return FFont.weight(); }
    TColor Color() const { return FColor; }
    void SetColor(TColor value) { FColor = value; }
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset value) { FCharset = value; }
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch value);

private:
    QFont FFont;
    TColor FColor = clWindowText;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
};
