#include "app/convert/ConvertTool.h"

#include "app/convert/ConvertTestSupport.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using quillex::ConvertTool;
using quillex::testing::ConvertFolderTest;

using quillex::testing::RunTool;
using quillex::testing::TRunResult;

int PdfPages(const QByteArray& pdf) {
    return int(QString::fromLatin1(pdf).count(
        QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))));
}

// A document of numbered lines, one paragraph each.
QByteArray Lines(int count) {
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "Line " + QByteArray::number(i) + " of a document that goes on for pages.\n";
    return text;
}

class ConvertPagesTest : public ConvertFolderTest {};

TEST_F(ConvertPagesTest, WritesPdfWithAPageForEveryScreenfulOfText) {
    struct TCase {
        const char* Name;
        QByteArray Input;
        QStringList Options;
        const char* Output;
        int MinPages;
        int MaxPages;
    } cases[] = {
        {"by extension", "Hello", {}, "out.pdf", 1, 1},
        {"empty document", "", {}, "out.pdf", 1, 1},
        {"named with --to", "Hello", {"--to", "pdf"}, "out.bin", 1, 1},
        {"long document on Letter", Lines(200), {}, "long.pdf", 4, 4},
        {"long document on A4", Lines(200), {"--page", "a4"}, "long.pdf", 4, 4},
        {"wider margins make more pages", Lines(200), {"--margins", "2"}, "long.pdf", 5, 6},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString in = Write(QStringLiteral("in.txt"), c.Input);
        const QString out = PathOf(QString::fromLatin1(c.Output));
        QStringList arguments = c.Options;
        arguments << in << out;
        const TRunResult r = RunTool(arguments);
        ASSERT_EQ(r.Exit, ConvertTool::Success) << r.Err.toStdString();
        const QByteArray pdf = Read(out);
        EXPECT_TRUE(pdf.startsWith("%PDF-")) << pdf.left(16).toStdString();
        const int pages = PdfPages(pdf);
        EXPECT_GE(pages, c.MinPages);
        EXPECT_LE(pages, c.MaxPages);
    }
}

TEST_F(ConvertPagesTest, DrawsEveryPageAsAnImageAtTheResolutionAsked) {
    struct TCase {
        const char* Name;
        QStringList Options;
        QSize Size;
    } cases[] = {
        {"Letter at the default 150 dpi", {}, {1275, 1650}},
        {"Letter at 72 dpi", {"--dpi", "72"}, {612, 792}},
        {"A4 at 100 dpi", {"--page", "a4", "--dpi", "100"}, {827, 1169}},
    };
    const QString in = Write(QStringLiteral("in.txt"), Lines(120));
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString folder = PathOf(QStringLiteral("pages-%1").arg(c.Size.width()));
        QStringList arguments = c.Options;
        arguments << QStringLiteral("--png") << folder << in;
        const TRunResult r = RunTool(arguments);
        ASSERT_EQ(r.Exit, ConvertTool::Success) << r.Err.toStdString();
        const QStringList files = Entries(QFileInfo(folder).fileName());
        ASSERT_GE(files.size(), 2);
        for (int i = 0; i < files.size(); ++i)
            EXPECT_EQ(files[i], QStringLiteral("page-%1.png").arg(i + 1, 3, 10, QChar(u'0')));
        QImage first(folder + u"/page-001.png"_qs);
        ASSERT_FALSE(first.isNull());
        EXPECT_EQ(first.size(), c.Size);
        // Some ink inside the margins, none in the top margin.
        int inked = 0;
        int inMargin = 0;
        const int margin = c.Size.width() * 1 / 9; // an inch of 8.5 or 8.27
        for (int y = 0; y < first.height(); ++y)
            for (int x = 0; x < first.width(); ++x)
                if (qGray(first.pixel(x, y)) < 128)
                    ++(y < margin - 2 ? inMargin : inked);
        EXPECT_GT(inked, 100);
        EXPECT_EQ(inMargin, 0);
    }
}

TEST_F(ConvertPagesTest, PdfAndImagesShowTheSamePages) {
    const QString in = Write(QStringLiteral("in.txt"), Lines(150));
    const QString pdf = PathOf(QStringLiteral("out.pdf"));
    const QString folder = PathOf(QStringLiteral("pages"));
    const TRunResult r = RunTool(
        {QStringLiteral("--png"), folder, QStringLiteral("--dpi"), QStringLiteral("40"), in, pdf});
    ASSERT_EQ(r.Exit, ConvertTool::Success) << r.Err.toStdString();
    EXPECT_EQ(PdfPages(Read(pdf)), Entries(QStringLiteral("pages")).size());
}

// The program starts its own GUI application on the offscreen platform when there is no display.
TEST_F(ConvertPagesTest, TheProgramWritesPdfWithoutADisplay) {
    const QString in = Write(QStringLiteral("in.txt"), Lines(80));
    const QString pdf = PathOf(QStringLiteral("out.pdf"));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUILLEX_CONVERT_EXE),
                  {QStringLiteral("--page"), QStringLiteral("a4"), in, pdf});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QByteArray bytes = Read(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_GE(PdfPages(bytes), 2);
}

} // namespace
