#include "LayoutTestSupport.h"

#include "engine/layout/Painter.h"
#include "engine/layout/QtTextMeasurer.h"
#include "engine/model/PictureObject.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

using namespace richedit;
using namespace richedit::layout;
using model::CharPos;

namespace {

model::CharFormat withEffects(uint32_t effects, uint8_t underline = 0) {
    model::CharFormat f;
    f.face = u"Liberation Serif"_qs;
    f.height = 240;
    f.effects |= effects;
    f.underlineType = underline;
    return f;
}

QByteArray pngBytes() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(QColor(0, 200, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A document with every character and paragraph format the painter draws.
void buildShowcase(model::Document& doc) {
    model::DocumentBuilder b(doc);
    auto id = [&](const model::CharFormat& f) { return doc.charFormats().intern(f); };
    const model::CharFormatId plain = id(withEffects(0));
    b.text(u"Plain "_qs, plain);
    b.text(u"bold "_qs, id(withEffects(CFE_BOLD)));
    b.text(u"italic "_qs, id(withEffects(CFE_ITALIC)));
    for (uint8_t u = CFU_UNDERLINE; u <= CFU_UNDERLINELONGDASH; ++u)
        b.text(u"under lined "_qs, id(withEffects(CFE_UNDERLINE, u)));
    b.text(u"struck "_qs, id(withEffects(CFE_STRIKEOUT)));
    b.text(u"sub"_qs, id(withEffects(CFE_SUBSCRIPT)));
    b.text(u"super "_qs, id(withEffects(CFE_SUPERSCRIPT)));
    model::CharFormat raised = withEffects(0);
    raised.offset = 60;
    b.text(u"raised "_qs, id(raised));
    b.text(u"hidden "_qs, id(withEffects(CFE_HIDDEN)));
    model::CharFormat link = withEffects(CFE_LINK);
    link.linkTarget = u"https://example.org"_qs;
    b.text(u"a link "_qs, id(link));
    b.text(u"All caps "_qs, id(withEffects(CFE_ALLCAPS)));
    b.text(u"Small caps "_qs, id(withEffects(CFE_SMALLCAPS)));
    b.text(u"disabled "_qs, id(withEffects(CFE_DISABLED)));
    model::CharFormat coloured = withEffects(0);
    coloured.effects &= ~uint32_t(CFE_AUTOCOLOR | CFE_AUTOBACKCOLOR);
    coloured.textColor = RGB(0, 128, 0);
    coloured.backColor = RGB(255, 230, 0);
    b.text(u"coloured \u0645\u0631\u062D\u0628\u0627 \u4E2D\u6587"_qs, id(coloured));
    auto picture = std::make_shared<model::PictureObject>();
    picture->format = model::PictureFormat::Png;
    picture->data = pngBytes();
    picture->goalWidth = picture->goalHeight = 300;
    b.object(picture, plain);
    auto metafile = std::make_shared<model::PictureObject>();
    metafile->format = model::PictureFormat::Emf;
    metafile->goalWidth = 400;
    metafile->goalHeight = 200;
    b.object(metafile, plain);
    model::ParaFormat bullets;
    bullets.numbering = PFN_BULLET;
    bullets.startIndent = 360;
    bullets.offset = 360;
    b.endParagraph(doc.paraFormats().intern(bullets), plain);
    model::ParaFormat leaders;
    leaders.tabCount = 5;
    for (int i = 0; i < 5; ++i)
        leaders.tabs[size_t(i)] = test::tab(1440 * (i + 1), i % 3, i + 1);
    b.text(u"a\tb\tc\td\te\tf"_qs, plain);
    b.endParagraph(doc.paraFormats().intern(leaders), plain);
    model::ParaFormat numbered;
    numbered.numbering = PFN_UCROMAN;
    numbered.numberingStyle = 0x200; // period
    numbered.startIndent = 360;
    numbered.offset = 360;
    b.text(u"numbered"_qs, plain);
    b.finish(doc.paraFormats().intern(numbered), plain);
}

int countPixels(const QImage& image, const std::function<bool(QColor)>& match) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixelColor(x, y)))
                ++n;
    return n;
}

} // namespace

TEST(Painter, DrawsEveryFormatIntoAnImage) {
    model::Document doc;
    buildShowcase(doc);
    QtTextMeasurer m;
    DocumentLayout layout(doc, m, Twips(9360));
    for (qreal zoom : {0.5, 1.0, 3.0}) {
        SCOPED_TRACE(zoom);
        PaintOptions o;
        o.scale = 96.0 / 1440.0 * zoom;
        o.selectionStart = CharPos(3);
        o.selectionEnd = CharPos(40);
        QImage image(int(9360 * o.scale) + 1, int(layout.totalHeight().v * o.scale) + 1,
                     QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            Painter(doc, layout).paint(painter, o);
        }
        EXPECT_GT(countPixels(image, [](QColor c) { return c.lightness() < 80; }), 100) << "text";
        EXPECT_GT(countPixels(image, [](QColor c) { return c == QColor(255, 230, 0); }), 10)
            << "background colour";
        EXPECT_GT(countPixels(image, [](QColor c) { return c == QColor(0, 200, 0); }), 4)
            << "the picture";
        EXPECT_GT(countPixels(image, [](QColor c) { return c == QColor(0x33, 0x66, 0xCC); }), 10)
            << "the selection";
    }
}

TEST(Painter, HiddenTextIsNotDrawnAndColoursFollowTheFormat) {
    struct Case {
        const char* name;
        model::CharFormat format;
        bool inked;
    } cases[] = {
        {"hidden", withEffects(CFE_HIDDEN), false},
        {"automatic colour", withEffects(0), true},
        {"disabled", withEffects(CFE_DISABLED), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model::Document doc;
        model::DocumentBuilder b(doc);
        const model::CharFormatId id = doc.charFormats().intern(c.format);
        b.text(u"Hamburgefonstiv"_qs, id);
        b.finish(doc.paraFormats().intern({}), id);
        QtTextMeasurer m;
        DocumentLayout layout(doc, m, Twips(9360));
        QImage image(640, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            PaintOptions o;
            o.scale = 2 * 96.0 / 1440.0;
            Painter(doc, layout).paint(painter, o);
        }
        const int inked = countPixels(image, [](QColor col) { return col.lightness() < 200; });
        EXPECT_EQ(inked > 0, c.inked);
        if (c.format.effects & CFE_DISABLED) {
            EXPECT_EQ(countPixels(image, [](QColor col) { return col.lightness() < 60; }), 0)
                << "disabled text is grey";
        }
    }
}

TEST(Painter, PaintsOnlyTheLinesInTheClip) {
    model::Document doc;
    model::DocumentBuilder b(doc);
    const model::CharFormatId id = doc.charFormats().intern({});
    const model::ParaFormatId pf = doc.paraFormats().intern({});
    for (int i = 0; i < 2000; ++i) {
        b.text(u"paragraph"_qs, id);
        b.endParagraph(pf, id);
    }
    b.finish(pf, id);
    test::FixedMeasurer m;
    DocumentLayout layout(doc, m, Twips(5000));
    int laidOut = 0;
    layout.setLayoutHook([&](model::ParaIndex) { ++laidOut; });
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintOptions o;
    o.scale = 96.0 / 1440.0;
    o.clip = QRectF(0, 0, 400, 300); // 300 pixels: 4500 twips, 23 lines of 200
    Painter(doc, layout).paint(painter, o);
    EXPECT_LE(laidOut, 30);
    EXPECT_GT(laidOut, 20);
}

TEST(Painter, SmallCapitalsAreMeasuredAsTheSmallerCapitalsTheyAreDrawnAs) {
    QtTextMeasurer m;
    model::CharFormat caps = withEffects(CFE_ALLCAPS);
    model::CharFormat small = withEffects(CFE_SMALLCAPS);
    std::vector<qreal> a, b;
    m.advances(caps, u"Ab"_qs, a);
    m.advances(small, u"Ab"_qs, b);
    ASSERT_EQ(a.size(), 2u);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_DOUBLE_EQ(b[0], a[0]) << "a capital stays as wide";
    EXPECT_NEAR(b[1], a[1] * kSmallCapitalScale, 1e-9) << "a lower-case letter shrinks";
}

namespace {

// One paragraph drawn at twice 96 dpi: the image and the layout it was drawn from.
struct Drawn {
    model::Document doc;
    QtTextMeasurer m;
    std::unique_ptr<DocumentLayout> layout;
    QImage image{900, 80, QImage::Format_RGB32};
    static constexpr qreal kScale = 2 * 96.0 / 1440.0;

    Drawn(const std::vector<std::pair<QString, model::CharFormat>>& pieces,
          const model::ParaFormat& pf = {}) {
        model::DocumentBuilder b(doc);
        model::CharFormatId id = 0;
        for (const auto& [text, f] : pieces) {
            id = doc.charFormats().intern(f);
            b.text(text, id);
        }
        b.finish(doc.paraFormats().intern(pf), id);
        layout = std::make_unique<DocumentLayout>(doc, m, Twips(6000));
        image.fill(Qt::white);
        QPainter painter(&image);
        PaintOptions o;
        o.scale = kScale;
        Painter(doc, *layout).paint(painter, o);
    }
    // Dark pixels between the left edges of two characters, from y0 to y1 twips below the
    // baseline (negative: above).
    int inkBetween(int32_t from, int32_t to, qreal y0, qreal y1) const {
        const ParagraphLayout& l = layout->paragraphLayout(model::ParaIndex(0));
        const qreal base = l.line(0).top.v + l.line(0).baseline.v;
        int n = 0;
        for (int y = int((base + y0) * kScale); y <= int((base + y1) * kScale); ++y)
            for (int x = int(l.xOfOffset(from).v * kScale) + 1;
                 x < int(l.xOfOffset(to).v * kScale) - 1; ++x)
                if (y >= 0 && y < image.height() && qGray(image.pixel(x, y)) < 160)
                    ++n;
        return n;
    }
};

} // namespace

TEST(Painter, EveryUnderlineTypeDrawsUnderTheTextAndWordsOnlySkipsSpaces) {
    for (uint8_t u = CFU_UNDERLINE; u <= CFU_UNDERLINELONGDASH; ++u) {
        SCOPED_TRACE(int(u));
        const Drawn d({{u"xx"_qs, withEffects(0)},
                       {u"mmmm    mmmm"_qs, withEffects(CFE_UNDERLINE, u)},
                       {u"xx"_qs, withEffects(0)}});
        // Below the baseline, above the next line: under "mmmm", under the spaces.
        EXPECT_GT(d.inkBetween(2, 6, 10, 90), 4);
        const int underSpaces = d.inkBetween(7, 9, 10, 90);
        if (u == CFU_UNDERLINEWORD)
            EXPECT_EQ(underSpaces, 0);
        else
            EXPECT_GT(underSpaces, 0);
        EXPECT_EQ(d.inkBetween(14, 15, 10, 90), 0) << "the plain text after is not underlined";
    }
}

TEST(Painter, TabLeadersFillTheTabWithTheirPattern) {
    for (int leader = 0; leader <= 5; ++leader) {
        SCOPED_TRACE(leader);
        model::ParaFormat pf;
        pf.tabCount = 1;
        pf.tabs[0] = test::tab(4000, 0, leader);
        const Drawn d({{u"ab\tcd"_qs, withEffects(0)}}, pf);
        // Anywhere from the x-height down to the underline.
        const int ink = d.inkBetween(2, 3, -150, 60);
        if (leader == 0)
            EXPECT_EQ(ink, 0);
        else
            EXPECT_GT(ink, 10);
    }
}

TEST(Painter, TabLeadersFollowTheTabInEveryAlignment) {
    // The line moves with its alignment; the leader is drawn across the tab where it went.
    struct Case {
        const char* name;
        uint16_t alignment;
        int32_t stop;
    } cases[] = {
        {"left, left stop", PFA_LEFT, test::tab(2000, 0, LeaderDots)},
        {"centre, left stop", PFA_CENTER, test::tab(2000, 0, LeaderDots)},
        {"right, left stop", PFA_RIGHT, test::tab(2000, 0, LeaderDots)},
        {"right, right stop", PFA_RIGHT, test::tab(2000, 2, LeaderLine)},
        {"right, stop before the line's moved start", PFA_RIGHT, test::tab(700, 0, LeaderLine)},
        {"centre, centre stop", PFA_CENTER, test::tab(2000, 1, LeaderDashes)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model::ParaFormat pf;
        pf.alignment = c.alignment;
        pf.tabCount = 1;
        pf.tabs[0] = c.stop;
        const Drawn d({{u"ab\tcd"_qs, withEffects(0)}}, pf);
        EXPECT_GT(d.inkBetween(2, 3, -150, 60), 10);
        model::ParaFormat bare = pf;
        bare.tabs[0] = c.stop & 0x0FFFFFFF;
        const Drawn without({{u"ab\tcd"_qs, withEffects(0)}}, bare);
        EXPECT_EQ(without.inkBetween(2, 3, -150, 60), 0);
    }
}

TEST(Painter, LinksAreUnderlinedAndBlueUnlessColoured) {
    model::CharFormat link = withEffects(CFE_LINK);
    model::CharFormat red = withEffects(CFE_LINK);
    red.effects &= ~uint32_t(CFE_AUTOCOLOR);
    red.textColor = RGB(255, 0, 0);
    const Drawn d({{u"mmmm"_qs, link}, {u"mmmm"_qs, red}});
    EXPECT_GT(d.inkBetween(0, 4, 10, 60), 4) << "underlined";
    EXPECT_GT(d.inkBetween(4, 8, 10, 60), 4) << "a coloured link is underlined too";
    auto count = [&](auto match) {
        int n = 0;
        for (int y = 0; y < d.image.height(); ++y)
            for (int x = 0; x < d.image.width(); ++x)
                if (match(d.image.pixelColor(x, y)))
                    ++n;
        return n;
    };
    EXPECT_GT(count([](QColor c) { return c.blue() > 200 && c.red() < 60 && c.green() < 60; }), 20);
    EXPECT_GT(count([](QColor c) { return c.red() > 200 && c.blue() < 60 && c.green() < 60; }), 20);
}
