#include "app/convert/ConvertTool.h"

#include "app/convert/ConvertTestSupport.h"

#include "engine/surface/RichEditEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

using quillex::ConvertTool;
using quillex::testing::ConvertFolderTest;

struct TRunResult {
    int Exit = -1;
    QString Out;
    QString Err;
};

TRunResult RunTool(QStringList arguments) {
    TRunResult r;
    QTextStream out(&r.Out);
    QTextStream err(&r.Err);
    ConvertTool tool(out, err);
    arguments.prepend(QStringLiteral("quillex-convert"));
    r.Exit = tool.run(arguments);
    out.flush();
    err.flush();
    return r;
}

class ConvertToolTest : public ConvertFolderTest {};

// ---- Plain text round trip ---------------------------------------------------------------

struct TRoundTripCase {
    const char* Name;
    QByteArray Input;
    QByteArray Expected;
};

TEST_F(ConvertToolTest, WritesPlainTextAsUtf8WithCrLfLineEnds) {
    const TRoundTripCase cases[] = {
        {"umlauts with LF",
         "Gr\xC3\xBC\xC3\x9F"
         "e\n\xC3\x84pfel und \xC3\x96l\n",
         "Gr\xC3\xBC\xC3\x9F"
         "e\r\n\xC3\x84pfel und \xC3\x96l\r\n"},
        {"CR LF kept", "eins\r\nzwei\r\n", "eins\r\nzwei\r\n"},
        {"lone CR, LF and CR LF mixed", "a\rb\nc\r\nd", "a\r\nb\r\nc\r\nd"},
        {"blank lines kept", "\n\nx\n\n", "\r\n\r\nx\r\n\r\n"},
        {"UTF-8 byte-order mark dropped",
         "\xEF\xBB\xBF"
         "K\xC3\xB6ln",
         "K\xC3\xB6ln"},
        {"UTF-16 with byte-order mark",
         quillex::testing::Utf16LEWithBom(QString::fromUtf8("M\xC3\xBC"
                                                            "nchen\r\n\xCE\xB1")),
         "M\xC3\xBC"
         "nchen\r\n\xCE\xB1"},
        {"Windows-1252 bytes",
         "Gr\xFC\xDF"
         "e \x80 5",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC 5"},
        {"empty file", "", ""},
    };
    for (const TRoundTripCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString in = Write(QStringLiteral("in.txt"), c.Input);
        const QString out = PathOf(QStringLiteral("out.txt"));
        const TRunResult first = RunTool({in, out});
        ASSERT_EQ(first.Exit, ConvertTool::Success) << first.Err.toStdString();
        EXPECT_TRUE(first.Out.isEmpty());
        EXPECT_TRUE(first.Err.isEmpty());
        EXPECT_EQ(Read(out), c.Expected);

        // Written text reads back to the same bytes.
        const QString again = PathOf(QStringLiteral("again.txt"));
        ASSERT_EQ(RunTool({out, again}).Exit, ConvertTool::Success);
        EXPECT_EQ(Read(again), c.Expected);
        EXPECT_EQ(Entries(), (QStringList{"again.txt", "in.txt", "out.txt"}));
    }
}

TEST_F(ConvertToolTest, ReplacesAnExistingTarget) {
    const QString in = Write(QStringLiteral("in.txt"), "new\n");
    const QString out = Write(QStringLiteral("out.txt"), "old text that is longer\r\n");
    ASSERT_EQ(RunTool({in, out}).Exit, ConvertTool::Success);
    EXPECT_EQ(Read(out), "new\r\n");
    EXPECT_EQ(Entries(), (QStringList{"in.txt", "out.txt"}));
}

TEST_F(ConvertToolTest, FormatOptionsOverrideTheExtensions) {
    const QString in = Write(QStringLiteral("notes.md"), "# Title\nbody\n");
    const QString out = PathOf(QStringLiteral("notes.rtf"));
    const TRunResult r = RunTool({"--from", "text", "--to=txt", in, out});
    ASSERT_EQ(r.Exit, ConvertTool::Success) << r.Err.toStdString();
    EXPECT_EQ(Read(out), "# Title\r\nbody\r\n");
}

// ---- Statistics --------------------------------------------------------------------------

struct TStatsCase {
    const char* Name;
    QByteArray Input;
    int Paragraphs;
    int Words;
    int Characters;
};

TEST_F(ConvertToolTest, CountsParagraphsWordsAndCharacters) {
    const TStatsCase cases[] = {
        // "Grüße aus Köln" is 14 characters, "Zwei  Wörter<tab>tab" 16; the empty line and the
        // line ends do not count.
        {"German text",
         "Gr\xC3\xBC\xC3\x9F"
         "e aus K\xC3\xB6ln\n\nZwei  W\xC3\xB6rter\ttab\r\n",
         2, 6, 30},
        {"empty file", "", 0, 0, 0},
        {"blank lines only", "   \n\t\n\n", 0, 0, 4},
        {"no final line end", "one two three", 1, 3, 13},
        {"punctuation belongs to words", "a-b c.d, e", 1, 3, 10},
        {"a soft line break is white space", "one\vtwo", 1, 2, 7},
        {"a character outside the BMP counts once", "\xF0\x9D\x84\x9E clef", 1, 2, 6},
        {"CJK without spaces is one word", "\xE4\xB8\xAD\xE6\x96\x87\n", 1, 1, 2},
    };
    for (const TStatsCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString in = Write(QStringLiteral("in.txt"), c.Input);
        const TRunResult r = RunTool({"--stats", in});
        ASSERT_EQ(r.Exit, ConvertTool::Success) << r.Err.toStdString();
        EXPECT_EQ(r.Out, QStringLiteral("Paragraphs: %1\nWords: %2\nCharacters: %3\n")
                             .arg(c.Paragraphs)
                             .arg(c.Words)
                             .arg(c.Characters));
        EXPECT_TRUE(r.Err.isEmpty());
        EXPECT_EQ(Entries(), QStringList{"in.txt"});
    }
}

TEST_F(ConvertToolTest, ConvertsAndCountsInOneRun) {
    const QString in = Write(QStringLiteral("in.txt"), "Hallo Welt\n");
    const QString out = PathOf(QStringLiteral("out.txt"));
    const TRunResult r = RunTool({in, out, "--stats"});
    ASSERT_EQ(r.Exit, ConvertTool::Success) << r.Err.toStdString();
    EXPECT_EQ(r.Out, "Paragraphs: 1\nWords: 2\nCharacters: 10\n");
    EXPECT_EQ(Read(out), "Hallo Welt\r\n");
}

TEST(ConvertToolHelp, DocumentsEveryOptionAndWhatIsCounted) {
    const TRunResult r = RunTool({"--help"});
    EXPECT_EQ(r.Exit, ConvertTool::Success);
    EXPECT_TRUE(r.Err.isEmpty());
    for (const char* text :
         {"Usage: quillex-convert", "--from FORMAT", "--to FORMAT", "--stats", "--help",
          "--version", "Paragraphs", "Words", "Characters", "Exit status", "Rich Text Format"})
        EXPECT_TRUE(r.Out.contains(QLatin1String(text))) << text;
}

// ---- Failures ----------------------------------------------------------------------------

struct TFailureCase {
    const char* Name;
    QStringList Arguments; // "@name" stands for the path of that file in the test folder
    int Exit;
    const char* Message;
};

class ConvertFailureTest : public ConvertFolderTest {
protected:
    // Runs a failing command line among fixtures and existing targets, and checks that it
    // fails with its exit status and a one-line message, and leaves every file as it was.
    void ExpectFailure(const TFailureCase& c) {
        SCOPED_TRACE(c.Name);
        Write(QStringLiteral("in.txt"), "text\n");
        Write(QStringLiteral("in.doc"), "text\n");
        Write(QStringLiteral("in.rtf"), "{\\rtf1\\ansi text\\par}");
        Write(QStringLiteral("out.txt"), "kept");
        Write(QStringLiteral("out.rtf"), "kept");
        QDir(Folder.path()).mkpath(QStringLiteral("folder.txt"));
        const QStringList before = Entries();

        auto expand = [&](QString s) { return s.replace(u'@', Folder.path() + u'/'); };
        QStringList arguments;
        for (const QString& a : c.Arguments)
            arguments << expand(a);
        const TRunResult r = RunTool(arguments);

        EXPECT_EQ(r.Exit, c.Exit);
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_TRUE(r.Err.startsWith(QLatin1String("quillex-convert: "))) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.contains(expand(QString::fromUtf8(c.Message)))) << r.Err.toStdString();
        EXPECT_EQ(r.Err.count(u'\n'), 1) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.endsWith(u'\n'));
        EXPECT_EQ(Read(PathOf(QStringLiteral("out.txt"))), "kept");
        EXPECT_EQ(Read(PathOf(QStringLiteral("out.rtf"))), "kept");
        EXPECT_EQ(Entries(), before);
    }
};

TEST_F(ConvertFailureTest, FailuresExplainThemselvesInOneLineAndKeepTheTarget) {
    const TFailureCase cases[] = {
        {"no arguments", {}, ConvertTool::UsageError, "no INPUT file given"},
        {"unknown option",
         {"--shout", "@in.txt", "@out.txt"},
         ConvertTool::UsageError,
         "Unknown option 'shout'"},
        {"no output and no statistics",
         {"@in.txt"},
         ConvertTool::UsageError,
         "no OUTPUT file given"},
        {"three files",
         {"@in.txt", "@out.txt", "@more.txt"},
         ConvertTool::UsageError,
         "too many files given"},
        {"missing input",
         {"@missing.txt", "@out.txt"},
         ConvertTool::ReadError,
         "cannot open '@missing.txt'"},
        {"input is a folder",
         {"@folder.txt", "@out.txt"},
         ConvertTool::ReadError,
         "cannot open '@folder.txt'"},
        {"unknown input extension",
         {"@in.doc", "@out.txt"},
         ConvertTool::UnsupportedFormat,
         "cannot tell the format of '@in.doc'"},
        {"unknown output extension",
         {"@in.txt", "@out.odt"},
         ConvertTool::UnsupportedFormat,
         "cannot tell the format of '@out.odt'"},
        {"unknown format name",
         {"--to", "docx", "@in.txt", "@out.txt"},
         ConvertTool::UnsupportedFormat,
         "unknown format 'docx' (known: text, rtf)"},
        {"output folder missing",
         {"@in.txt", "@nowhere/out.txt"},
         ConvertTool::WriteError,
         "cannot write '@nowhere/out.txt'"},
    };
    for (const TFailureCase& c : cases)
        ExpectFailure(c);
}

// The converter leaves Rich Text Format to the engine: while the engine refuses it, so does
// the converter, with a message of its own instead of writing something else.
bool EngineRefusesRtf() {
    const QByteArray rtf("{\\rtf1\\ansi x\\par}");
    qsizetype offset = 0;
    richedit::EDITSTREAM stream;
    stream.pfnCallback = [&](uintptr_t, uint8_t* buffer, int32_t size, int32_t& done) {
        done = int32_t(std::min<qsizetype>(size, rtf.size() - offset));
        std::memcpy(buffer, rtf.constData() + offset, size_t(done));
        offset += done;
        return 0u;
    };
    richedit::RichEditEngine engine;
    engine.EM_STREAMIN(richedit::SF_RTF, stream);
    return stream.dwError == richedit::ESE_REJECTED_FORMAT;
}

TEST_F(ConvertFailureTest, RichTextFormatIsRefusedWhileTheEngineRefusesIt) {
    if (!EngineRefusesRtf())
        GTEST_SKIP() << "the engine reads Rich Text Format";
    const char* message = "Rich Text Format is not supported by this build yet";
    const TFailureCase cases[] = {
        {"RTF input", {"@in.rtf", "@out.txt"}, ConvertTool::UnsupportedFormat, message},
        {"RTF input for statistics",
         {"--stats", "@in.rtf"},
         ConvertTool::UnsupportedFormat,
         message},
        {"RTF output", {"@in.txt", "@out.rtf"}, ConvertTool::UnsupportedFormat, message},
        {"RTF named by --to",
         {"--to", "rtf", "@in.txt", "@out.txt"},
         ConvertTool::UnsupportedFormat,
         message},
    };
    for (const TFailureCase& c : cases)
        ExpectFailure(c);
}

} // namespace
