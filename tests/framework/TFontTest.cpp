#include "framework/TFont.h"
#include "framework/TovraException.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Another persistent kind that knows no fonts.
class TOther : public TPersistent {
public:
    QString ClassName() const override { return QStringLiteral("TOther"); }
};

QString assignError(const std::function<void()>& run) {
    try {
        run();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return QStringLiteral("no error");
}

} // namespace

TEST(TColorTest, SystemColoursResolveThroughTheCurrentPalette) {
    const QPalette saved = QGuiApplication::palette();
    QPalette p = saved;
    p.setColor(QPalette::Active, QPalette::Base, QColor(0x10, 0x20, 0x30));
    p.setColor(QPalette::Active, QPalette::Text, QColor(0x40, 0x50, 0x60));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x70, 0x80, 0x90));
    QGuiApplication::setPalette(p);
    EXPECT_EQ(ColorToRGB(clWindow), RGBColor(0x10, 0x20, 0x30));
    EXPECT_EQ(ColorToRGB(clWindowText), RGBColor(0x40, 0x50, 0x60));
    EXPECT_EQ(ColorToRGB(clGrayText), RGBColor(0x70, 0x80, 0x90));
    EXPECT_EQ(ColorToQColor(clWindow), QColor(0x10, 0x20, 0x30));
    QGuiApplication::setPalette(saved);

    EXPECT_EQ(ColorToRGB(clRed), 0x0000FF) << "RGB values pass unchanged";
    EXPECT_EQ(ColorToRGB(clDefault), clDefault);
    EXPECT_EQ(clWindowText, TColorFromBits(0xFF000008));
    EXPECT_TRUE(IsSystemColor(clWindow));
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_FALSE(ColorToQColor(clNone).isValid());
    EXPECT_FALSE(ColorToQColor(clDefault).isValid());
    EXPECT_EQ(QColorToColor(QColor(1, 2, 3, 4)), RGBColor(1, 2, 3));
    EXPECT_EQ(ColorToQColor(RGBColor(1, 2, 3)), QColor(1, 2, 3));
}

TEST(TFontTest, StylesSizesPitchAndWeight) {
    TFont f;
    EXPECT_EQ(f.Color(), clWindowText);
    EXPECT_EQ(f.Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(f.Pitch(), fpDefault);

    f.SetStyle({fsItalic, fsStrikeOut});
    EXPECT_EQ(f.Style(), (TFontStyles{fsItalic, fsStrikeOut}));
    f.SetStyle({fsBold, fsUnderline});
    EXPECT_EQ(f.Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(f.Weight(), 700);

    QFont black;
    black.setWeight(QFont::Black);
    TFont heavy(black);
    heavy.SetStyle({fsBold, fsItalic});
    EXPECT_EQ(heavy.Weight(), int(QFont::Black)) << "a bold font keeps its own weight";
    heavy.SetStyle({});
    EXPECT_EQ(heavy.Weight(), int(QFont::Normal));

    f.SetSize(14);
    EXPECT_EQ(f.Size(), 14);
    f.SetSize(0);
    EXPECT_EQ(f.Size(), 14) << "a font keeps a positive size";
    QFont pixels;
    pixels.setPixelSize(32);
    EXPECT_GT(TFont(pixels).Size(), 0) << "a pixel-sized font answers points";

    f.SetPitch(fpFixed);
    EXPECT_EQ(f.Pitch(), fpFixed);
    EXPECT_TRUE(f.QtFont().fixedPitch());
    QFont mono;
    mono.setFixedPitch(true);
    EXPECT_EQ(TFont(mono).Pitch(), fpFixed);
}

TEST(TFontTest, AssignCopiesFontsAndNamesBothKindsOtherwise) {
    TFont source;
    source.SetName(QStringLiteral("Liberation Serif"));
    source.SetSize(17);
    source.SetColor(clRed);
    source.SetCharset(SYMBOL_CHARSET);
    source.SetPitch(fpVariable);
    TFont copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Name(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(copy.Size(), 17);
    EXPECT_EQ(copy.Color(), clRed);
    EXPECT_EQ(copy.Charset(), SYMBOL_CHARSET);
    EXPECT_EQ(copy.Pitch(), fpVariable);

    TOther other;
    EXPECT_EQ(assignError([&] { copy.Assign(&other); }),
              QStringLiteral("Cannot assign a TOther to a TFont"));
    EXPECT_EQ(assignError([&] { other.Assign(&copy); }),
              QStringLiteral("Cannot assign a TFont to a TOther"));
    EXPECT_EQ(assignError([&] { copy.Assign(nullptr); }),
              QStringLiteral("Cannot assign a nil to a TFont"));
    EXPECT_EQ(copy.Name(), QStringLiteral("Liberation Serif")) << "a failed copy changes nothing";
}
