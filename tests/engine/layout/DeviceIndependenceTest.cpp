#include "LayoutTestSupport.h"

#include "engine/layout/DocumentLayout.h"
#include "engine/layout/QtTextMeasurer.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace richedit;
using namespace richedit::layout;

namespace {

// A few paragraphs in several faces, sizes and formats, laid out at 6.5 inches; the answer is
// every line's start, top, height and baseline and every character's x.
QString layoutDump() {
    model::Document doc;
    model::DocumentBuilder b(doc);
    auto cf = [&](const char* face, int32_t height, uint32_t effects) {
        model::CharFormat f;
        f.face = QString::fromLatin1(face);
        f.height = height;
        f.effects |= effects;
        return doc.charFormats().intern(f);
    };
    model::ParaFormat justified;
    justified.alignment = PFA_JUSTIFY;
    justified.startIndent = 360;
    justified.offset = -360;
    model::ParaFormat tabbed;
    tabbed.tabCount = 2;
    tabbed.tabs[0] = test::tab(2880, 1);
    tabbed.tabs[1] = test::tab(7200, 3);
    const QString words = u"The quick brown fox jumps over the lazy dog; pack my box with five "
                          u"dozen liquor jugs. Sphinx of black quartz, judge my vow! "_qs;
    b.text(words, cf("Liberation Serif", 240, 0));
    b.text(words, cf("DejaVu Sans", 200, CFE_BOLD));
    b.text(words, cf("Liberation Sans", 280, CFE_ITALIC | CFE_SUPERSCRIPT));
    b.endParagraph(doc.paraFormats().intern(justified), cf("Liberation Serif", 240, 0));
    b.text(u"Name\tCentre\t1234.50\vNext\tline\t7.5"_qs, cf("DejaVu Serif", 220, 0));
    b.finish(doc.paraFormats().intern(tabbed), cf("DejaVu Serif", 220, 0));

    QtTextMeasurer measurer;
    DocumentLayout layout(doc, measurer, Twips(9360));
    QString out;
    for (int32_t p = 0; p < doc.paragraphCount(); ++p) {
        const ParagraphLayout& l = layout.paragraphLayout(model::ParaIndex(p));
        for (const LineBox& line : l.lines()) {
            out += QStringLiteral("line %1 %2 %3 %4:")
                       .arg(line.start)
                       .arg(line.top.v)
                       .arg(line.height.v)
                       .arg(line.baseline.v);
            for (int32_t i = line.start; i < line.end(); ++i)
                out += u' ' + QString::number(l.xOfOffset(i).v);
            out += u'\n';
        }
    }
    return out;
}

} // namespace

// Runs this test again in child processes whose screens claim other resolutions and scale
// factors; each child writes its layout and its screen's resolution to a file.
TEST(DeviceIndependence, LineBreaksAndPositionsIgnoreTheScreen) {
    const QByteArray dumpTo = qgetenv("QUILLEX_LAYOUT_DUMP");
    if (!dumpTo.isEmpty()) {
        QFile f(QString::fromLocal8Bit(dumpTo));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QScreen* screen = QGuiApplication::primaryScreen();
        // Device pixels per inch (Qt may report a high resolution as a pixel ratio).
        f.write(
            QByteArray::number(qRound(screen->logicalDotsPerInch() * screen->devicePixelRatio())) +
            '\n');
        f.write(layoutDump().toUtf8());
        return;
    }
    const QString here = layoutDump();
    ASSERT_GT(here.count(u"line"_qs), 6);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Screen {
        int dpi;
        int dpr;
    } screens[] = {{96, 1}, {300, 1}, {600, 1}, {96, 2}, {144, 4}};
    for (const Screen& s : screens) {
        const QString config =
            dir.filePath(QStringLiteral("screen%1-%2.json").arg(s.dpi).arg(s.dpr));
        QFile c(config);
        ASSERT_TRUE(c.open(QIODevice::WriteOnly));
        c.write(QStringLiteral(R"({"screens": [{"name": "S", "x": 0, "y": 0, "width": 1600,
            "height": 1200, "logicalDpi": %1, "dpr": %2}]})")
                    .arg(s.dpi)
                    .arg(s.dpr)
                    .toUtf8());
        c.close();
        const QString dump = dir.filePath(QStringLiteral("dump%1-%2.txt").arg(s.dpi).arg(s.dpr));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), u"offscreen:configfile="_qs + config);
        env.insert(QStringLiteral("QUILLEX_LAYOUT_DUMP"), dump);
        child.setProcessEnvironment(env);
        child.start(
            QCoreApplication::applicationFilePath(),
            {u"--gtest_filter=DeviceIndependence.LineBreaksAndPositionsIgnoreTheScreen"_qs});
        ASSERT_TRUE(child.waitForFinished(120000));
        ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
        QFile d(dump);
        ASSERT_TRUE(d.open(QIODevice::ReadOnly));
        const QByteArray header = d.readLine().trimmed();
        EXPECT_EQ(header, QByteArray::number(s.dpi * s.dpr))
            << "the child's screen has the resolution asked for";
        EXPECT_EQ(QString::fromUtf8(d.readAll()), here)
            << "at " << s.dpi << " dpi, ratio " << s.dpr;
    }
}
