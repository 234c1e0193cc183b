// Runs the built quillex-convert program as a separate process: its command line, standard
// streams and exit status, and how it fails when the file system refuses the output.

#include "app/convert/ConvertTestSupport.h"

#include <QFileDevice>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using quillex::testing::ConvertFolderTest;

struct TProcessResult {
    int Exit = -1;
    bool Finished = false;
    QByteArray Out;
    QByteArray Err;
};

TProcessResult RunProgram(const QStringList& arguments,
                          const std::function<void()>& prepareChild = {},
                          const QByteArray& standardInput = {}) {
    QProcess process;
    if (prepareChild)
        process.setChildProcessModifier(prepareChild);
    process.start(QStringLiteral(QUILLEX_CONVERT_EXE), arguments);
    process.write(standardInput);
    process.closeWriteChannel();
    TProcessResult r;
    r.Finished = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    r.Exit = process.exitCode();
    r.Out = process.readAllStandardOutput();
    r.Err = process.readAllStandardError();
    return r;
}

class ConvertProcessTest : public ConvertFolderTest {};

TEST_F(ConvertProcessTest, HelpAndVersionGoToStandardOutput) {
    const TProcessResult help = RunProgram({"--help"});
    ASSERT_TRUE(help.Finished);
    EXPECT_EQ(help.Exit, 0);
    EXPECT_TRUE(help.Out.startsWith("Usage: quillex-convert")) << help.Out.toStdString();
    EXPECT_TRUE(help.Err.isEmpty());

    const TProcessResult version = RunProgram({"--version"});
    EXPECT_EQ(version.Exit, 0);
    EXPECT_TRUE(version.Out.startsWith("quillex-convert ")) << version.Out.toStdString();
}

TEST_F(ConvertProcessTest, ConvertsAFileWithANonAsciiNameAndPrintsItsCounts) {
    const QString in = Write(QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                                               "e.txt"),
                             "Gr\xC3\xBC\xC3\x9F"
                             "e Welt\n");
    const QString out = PathOf(QString::fromUtf8("\xC3\x9C"
                                                 "bersicht.txt"));
    const TProcessResult r = RunProgram({"--stats", in, out});
    ASSERT_TRUE(r.Finished);
    EXPECT_EQ(r.Exit, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out, "Paragraphs: 1\nWords: 2\nCharacters: 10\n");
    EXPECT_EQ(Read(out), "Gr\xC3\xBC\xC3\x9F"
                         "e Welt\r\n");
}

// A pipe cannot seek back: input that turns out not to be Rich Text Format is read as plain
// text from the bytes the first attempt already took.
TEST_F(ConvertProcessTest, ReadsRichTextAndPlainTextFromAPipe) {
    QByteArray longText;
    for (int i = 0; i < 5000; ++i)
        longText += "line " + QByteArray::number(i) + " of text arriving through a pipe\n";
    QByteArray longExpected = longText;
    longExpected.replace("\n", "\r\n");
    const struct {
        const char* Name;
        QByteArray Input;
        QByteArray Expected;
        bool Note;
    } cases[] = {
        {"Rich Text Format", "{\\rtf1\\ansi Gr\\'fc\\'dfe {\\b fett}\\par}",
         "Gr\xC3\xBC\xC3\x9F"
         "e fett",
         false},
        {"plain text", "K\xC3\xB6ln\nzwei\n", "K\xC3\xB6ln\r\nzwei\r\n", true},
        {"plain text of many blocks", longText, longExpected, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString out = PathOf(QStringLiteral("out.txt"));
        const TProcessResult r = RunProgram({"--from", "rtf", "/dev/stdin", out}, {}, c.Input);
        ASSERT_TRUE(r.Finished);
        EXPECT_EQ(r.Exit, 0) << r.Err.toStdString();
        EXPECT_EQ(r.Err.contains("is not Rich Text Format; read as plain text"), c.Note)
            << r.Err.toStdString();
        EXPECT_EQ(Read(out), c.Expected);
    }
}

TEST_F(ConvertProcessTest, MissingInputFailsWithOneLineOnStandardError) {
    const QString missing = PathOf(QStringLiteral("missing.txt"));
    const TProcessResult r = RunProgram({missing, PathOf(QStringLiteral("out.txt"))});
    ASSERT_TRUE(r.Finished);
    EXPECT_NE(r.Exit, 0);
    EXPECT_TRUE(r.Out.isEmpty());
    EXPECT_EQ(r.Err.count('\n'), 1) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains(missing.toUtf8())) << r.Err.toStdString();
    EXPECT_EQ(Entries(), QStringList{});
}

// The superuser writes into any folder, so a child started by root gives up its rights before
// the program runs; the folder is then closed to it as to anybody else.
void DropSuperuserRights() {
    if (geteuid() != 0)
        return;
    const gid_t nobodyGroup = 65534;
    const uid_t nobody = 65534;
    if (setgroups(0, nullptr) != 0 || setgid(nobodyGroup) != 0 || setuid(nobody) != 0)
        _exit(125);
}

TEST_F(ConvertProcessTest, UnwritableOutputFolderKeepsTheExistingTarget) {
    const QString in = Write(QStringLiteral("in.txt"), "new text\n");
    ASSERT_TRUE(QDir(Folder.path()).mkdir(QStringLiteral("locked")));
    const QString target = Write(QStringLiteral("locked/out.txt"), "kept");
    const auto readable = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther |
                          QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(Folder.path(), readable | QFileDevice::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(PathOf(QStringLiteral("locked")), readable));

    const TProcessResult r = RunProgram({in, target}, DropSuperuserRights);

    QFile::setPermissions(PathOf(QStringLiteral("locked")), readable | QFileDevice::WriteOwner);
    ASSERT_TRUE(r.Finished);
    EXPECT_NE(r.Exit, 125) << "the child could not give up its rights";
    EXPECT_EQ(r.Exit, 4) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.startsWith("quillex-convert: cannot write")) << r.Err.toStdString();
    EXPECT_EQ(r.Err.count('\n'), 1) << r.Err.toStdString();
    EXPECT_EQ(Read(target), "kept");
    EXPECT_EQ(Entries(QStringLiteral("locked")), QStringList{"out.txt"});
}

// A file size limit makes the write fail part way through, after the temporary file exists.
void LimitFileSize() {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        _exit(125);
}

TEST_F(ConvertProcessTest, WriteFailingHalfwayKeepsTheExistingTarget) {
    QByteArray text;
    for (int i = 0; i < 2000; ++i)
        text += "line " + QByteArray::number(i) + " of a text larger than the limit\n";
    const QString in = Write(QStringLiteral("in.txt"), text);
    const QString target = Write(QStringLiteral("out.txt"), "kept");

    const TProcessResult r = RunProgram({in, target}, LimitFileSize);

    ASSERT_TRUE(r.Finished);
    EXPECT_EQ(r.Exit, 4) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.startsWith("quillex-convert: cannot write")) << r.Err.toStdString();
    EXPECT_EQ(Read(target), "kept");
    EXPECT_EQ(Entries(), (QStringList{"in.txt", "out.txt"}));
}

} // namespace
