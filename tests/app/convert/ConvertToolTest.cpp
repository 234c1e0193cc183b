#include "app/convert/ConvertTool.h"

#include "app/convert/ConvertTestSupport.h"

#include "engine/surface/RichEditEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

using quillex::ConvertTool;
using quillex::testing::ConvertFolderTest;

using quillex::testing::RunTool;
using quillex::testing::TRunResult;

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
    for (const char* text : {"Usage: quillex-convert", "--from FORMAT", "--to FORMAT", "--stats",
                             "--help", "--version", "Paragraphs", "Words", "Characters",
                             "Exit status", "Rich Text Format", "read as plain text", "--page SIZE",
                             "a4", "--margins INCHES", "--png DIR", "--dpi N", ".pdf is PDF"})
        EXPECT_TRUE(r.Out.contains(QLatin1String(text))) << text;
}

// ---- Rich Text Format ------------------------------------------------------------------

// An engine holding an RTF document, to look at the formats a conversion wrote.
std::unique_ptr<richedit::RichEditEngine> LoadRtf(const QByteArray& rtf) {
    auto engine = std::make_unique<richedit::RichEditEngine>();
    qsizetype offset = 0;
    richedit::EDITSTREAM stream;
    stream.pfnCallback = [&](uintptr_t, uint8_t* buffer, int32_t size, int32_t& done) {
        done = int32_t(std::min<qsizetype>(size, rtf.size() - offset));
        std::memcpy(buffer, rtf.constData() + offset, size_t(done));
        offset += done;
        return 0u;
    };
    engine->EM_STREAMIN(richedit::SF_RTF, stream);
    EXPECT_EQ(stream.dwError, 0u);
    return engine;
}

struct TRtfCase {
    const char* Name;
    QByteArray Rtf;
    QByteArray Text; // UTF-8
};

// The paragraph mark before the closing brace is the document's last one: it ends the text
// without a line end of its own.
TEST_F(ConvertToolTest, RichTextGivesItsTextWithoutTheFormatting) {
    const TRtfCase cases[] = {
        {"character formats and escaped braces",
         "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times;}}"
         "{\\colortbl;\\red192\\green0\\blue0;}\n"
         "\\pard\\b Bold\\b0  and {\\i italic}, {\\cf1 red}, {\\f1\\fs32 big} \\{x\\}\\par\n"
         "\\pard\\qc Second\\tab line\\par}",
         "Bold and italic, red, big {x}\r\nSecond\tline"},
        {"code page and Unicode escapes",
         "{\\rtf1\\ansi\\ansicpg1252\\uc1 Gr\\'fc\\'dfe \\'80 \\'93q\\'94 \\u945?\\u946? "
         "\\u20013?\\u25991? \\u-10179?\\u-8704?\\par}",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xCE\xB1\xCE\xB2 \xE4\xB8\xAD\xE6\x96\x87 "
         "\xF0\x9F\x98\x80"},
        {"tables and destinations that hold no text",
         "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
         "{\\stylesheet{\\s1 heading 1;}}{\\info{\\title The title}{\\author Someone}}"
         "{\\*\\generator Writer 1.0;}{\\*\\unknowndest hidden}\\unknownword visible\\par}",
         "visible"},
        {"a link gives the text it shows",
         "{\\rtf1\\ansi see {\\field{\\*\\fldinst{HYPERLINK \"http://x.example/\"}}"
         "{\\fldrslt{link text}}} now\\par}",
         "see link text now"},
        {"truncated inside a group", "{\\rtf1\\ansi First\\par Second {\\b bold wo",
         "First\r\nSecond bold wo"},
        {"an empty document", "{\\rtf1}", ""},
    };
    for (const TRtfCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString in = Write(QStringLiteral("in.rtf"), c.Rtf);
        const QString out = PathOf(QStringLiteral("out.txt"));
        const TRunResult r = RunTool({in, out});
        ASSERT_EQ(r.Exit, ConvertTool::Success) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
        EXPECT_EQ(Read(out), c.Text);
    }
}

TEST_F(ConvertToolTest, TextThroughRichTextAndBackKeepsEveryCharacter) {
    const TRoundTripCase cases[] = {
        {"non-ASCII letters and a character outside the BMP",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xC3\xA9t\xC3\xA9 \xCE\xB1\xCE\xB2\xCE\xB3 \xD0\x9C\xD0\xB8\xD1\x80 "
         "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9D\x84\x9E\n",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xC3\xA9t\xC3\xA9 \xCE\xB1\xCE\xB2\xCE\xB3 \xD0\x9C\xD0\xB8\xD1\x80 "
         "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9D\x84\x9E\r\n"},
        {"characters RTF escapes", "{\\rtf1 not a header} back\\slash\ttab\n",
         "{\\rtf1 not a header} back\\slash\ttab\r\n"},
        {"typographic and special spaces",
         "\xE2\x80\x9Cq\xE2\x80\x9D \xE2\x82\xAC a\xC2\xA0"
         "b\xC2\xAD"
         "c\xE2\x80\x91"
         "d\n",
         "\xE2\x80\x9Cq\xE2\x80\x9D \xE2\x82\xAC a\xC2\xA0"
         "b\xC2\xAD"
         "c\xE2\x80\x91"
         "d\r\n"},
        {"blank lines and no final line end", "\n\nx\n\ny", "\r\n\r\nx\r\n\r\ny"},
        {"empty file", "", ""},
    };
    for (const TRoundTripCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString in = Write(QStringLiteral("in.txt"), c.Input);
        const QString rtf = PathOf(QStringLiteral("mid.rtf"));
        const QString back = PathOf(QStringLiteral("back.txt"));
        const TRunResult toRtf = RunTool({in, rtf});
        ASSERT_EQ(toRtf.Exit, ConvertTool::Success) << toRtf.Err.toStdString();
        const QByteArray written = Read(rtf);
        EXPECT_TRUE(written.startsWith("{\\rtf1")) << written.toStdString();
        EXPECT_TRUE(
            std::all_of(written.begin(), written.end(), [](char b) { return uchar(b) < 0x80; }))
            << "RTF output is 7-bit: " << written.toStdString();
        const TRunResult toText = RunTool({rtf, back});
        ASSERT_EQ(toText.Exit, ConvertTool::Success) << toText.Err.toStdString();
        EXPECT_TRUE(toText.Err.isEmpty()) << toText.Err.toStdString();
        EXPECT_EQ(Read(back), c.Expected);
    }
}

TEST_F(ConvertToolTest, RichTextToRichTextKeepsTextAndFormatting) {
    const QString in = Write(
        QStringLiteral("in.rtf"),
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Liberation Sans;}{\\f1\\froman Liberation "
        "Serif;}}{\\colortbl;\\red192\\green0\\blue0;}\n"
        "\\pard\\qc\\f0\\fs24 plain {\\b bold} {\\i italic} {\\cf1 red} {\\f1\\fs40 big}\\par\n"
        "\\pard S\\'fc\\'df \\u945?\\par}");
    const QString once = PathOf(QStringLiteral("once.rtf"));
    const QString twice = PathOf(QStringLiteral("twice.rtf"));
    ASSERT_EQ(RunTool({in, once}).Exit, ConvertTool::Success);
    ASSERT_EQ(RunTool({once, twice}).Exit, ConvertTool::Success);
    // What the converter writes, it reads back to the same document.
    EXPECT_EQ(Read(once), Read(twice));

    const auto engine = LoadRtf(Read(once));
    EXPECT_EQ(engine->WM_GETTEXT(),
              QString::fromUtf8("plain bold italic red big\rS\xC3\xBC\xC3\x9F \xCE\xB1"));
    struct TSpan {
        const char* Word;
        uint32_t Effects;
        int32_t Height;
        richedit::COLORREF Colour; // 0xFFFFFFFF: automatic
        const char* Face;
    };
    const TSpan spans[] = {
        {"plain", 0, 240, 0xFFFFFFFF, "Liberation Sans"},
        {"bold", richedit::CFE_BOLD, 240, 0xFFFFFFFF, "Liberation Sans"},
        {"italic", richedit::CFE_ITALIC, 240, 0xFFFFFFFF, "Liberation Sans"},
        {"red", 0, 240, 0x000000C0, "Liberation Sans"},
        {"big", 0, 400, 0xFFFFFFFF, "Liberation Serif"},
    };
    const QString text = engine->WM_GETTEXT();
    for (const TSpan& span : spans) {
        SCOPED_TRACE(span.Word);
        const auto at = int32_t(text.indexOf(QLatin1String(span.Word)));
        ASSERT_GE(at, 0);
        engine->EM_EXSETSEL({at, at + int32_t(std::strlen(span.Word))});
        richedit::CHARFORMAT2W cf;
        engine->EM_GETCHARFORMAT(richedit::SCF_SELECTION, cf);
        EXPECT_EQ(cf.dwEffects & (richedit::CFE_BOLD | richedit::CFE_ITALIC), span.Effects);
        EXPECT_EQ(cf.yHeight, span.Height);
        if (span.Colour == 0xFFFFFFFF) {
            EXPECT_TRUE(cf.dwEffects & richedit::CFE_AUTOCOLOR);
        } else {
            EXPECT_FALSE(cf.dwEffects & richedit::CFE_AUTOCOLOR);
            EXPECT_EQ(cf.crTextColor, span.Colour);
        }
        EXPECT_EQ(richedit::faceNameOf(cf.szFaceName), QLatin1String(span.Face));
    }
    engine->EM_EXSETSEL({0, 0});
    richedit::PARAFORMAT2 pf;
    engine->EM_GETPARAFORMAT(pf);
    EXPECT_EQ(pf.wAlignment, richedit::PFA_CENTER);
}

TEST_F(ConvertToolTest, StatisticsOfRichTextCountItsTextNotItsCode) {
    // Two paragraphs of text, "Grüße aus Köln" (14 characters) and "zwei\tWörter link" (16),
    // amid tables, document information, fields and formatting.
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1 Courier New;}}"
        "{\\colortbl;\\red192\\green0\\blue0;}{\\stylesheet{\\s1 heading 1;}}"
        "{\\info{\\title A title of five words}{\\author Someone Else}}"
        "{\\*\\generator Some Writer 2.0;}\\viewkind4\\uc1\n"
        "\\pard\\s1\\sb240\\b\\fs32 Gr\\'fc\\'dfe {\\i\\cf1 aus} K\\'f6ln\\par\n"
        "\\pard\\plain zwei\\tab W\\u246?rter {\\field{\\*\\fldinst{HYPERLINK "
        "\"http://example.org/a/long/target\"}}{\\fldrslt{\\ul link}}}\\par\n"
        "\\pard\\par}";
    const QString in = Write(QStringLiteral("in.rtf"), rtf);
    const QString out = PathOf(QStringLiteral("out.txt"));
    const TRunResult r = RunTool({"--stats", in, out});
    ASSERT_EQ(r.Exit, ConvertTool::Success) << r.Err.toStdString();
    EXPECT_EQ(r.Out, "Paragraphs: 2\nWords: 6\nCharacters: 30\n");
    // The same counts as the plain text the document converts to.
    EXPECT_EQ(RunTool({"--stats", out}).Out, r.Out);
}

// A file that is to be read as Rich Text Format but does not begin with an RTF header is
// read as plain text, with a note, as the editor opens such a file.
TEST_F(ConvertToolTest, RichTextInputWithoutAnRtfHeaderIsReadAsPlainText) {
    struct TCase {
        const char* Name;
        const char* File;
        QStringList Options;
        QByteArray Input;
        QByteArray Expected;
    };
    const TCase cases[] = {
        {"text named .rtf",
         "notes.rtf",
         {},
         "just words\nline two\n",
         "just words\r\nline two\r\n"},
        {"text read with --from rtf",
         "notes.txt",
         {"--from", "rtf"},
         "K\xC3\xB6ln\n",
         "K\xC3\xB6ln\r\n"},
        {"a brace but no header", "brace.rtf", {}, "{not rtf}\n", "{not rtf}\r\n"},
        {"UTF-16 with byte-order mark",
         "wide.rtf",
         {},
         quillex::testing::Utf16LEWithBom(QStringLiteral("{\\rtf1 wide}")),
         "{\\rtf1 wide}"},
        {"empty file", "empty.rtf", {}, "", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString in = Write(QString::fromLatin1(c.File), c.Input);
        const QString out = PathOf(QStringLiteral("out.txt"));
        const TRunResult r = RunTool(QStringList(c.Options) << in << out);
        ASSERT_EQ(r.Exit, ConvertTool::Success) << r.Err.toStdString();
        EXPECT_EQ(r.Err, "quillex-convert: note: '" + in +
                             "' is not Rich Text Format; read as plain text\n");
        EXPECT_EQ(Read(out), c.Expected);
    }
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
         "unknown format 'docx' (known: text, rtf, pdf)"},
        {"output folder missing",
         {"@in.txt", "@nowhere/out.txt"},
         ConvertTool::WriteError,
         "cannot write '@nowhere/out.txt'"},
        {"PDF is not read",
         {"--from", "pdf", "@in.txt", "@out.txt"},
         ConvertTool::UnsupportedFormat,
         "cannot read PDF"},
        {"unknown page size",
         {"--page", "b5", "@in.txt", "@out.pdf"},
         ConvertTool::UsageError,
         "unknown page size 'b5' (known: letter, a4)"},
        {"margins that leave no room",
         {"--margins", "4", "@in.txt", "@out.pdf"},
         ConvertTool::UsageError,
         "--margins needs inches that leave room on the page, not '4'"},
        {"margins that are not a number",
         {"--margins", "wide", "@in.txt", "@out.pdf"},
         ConvertTool::UsageError,
         "--margins needs inches"},
        {"resolution out of range",
         {"--dpi", "0", "--png", "@pages", "@in.txt"},
         ConvertTool::UsageError,
         "--dpi needs a number from 10 to 1200, not '0'"},
    };
    for (const TFailureCase& c : cases)
        ExpectFailure(c);
}

} // namespace
