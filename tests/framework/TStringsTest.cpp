#include "framework/TStringList.h"
#include "framework/TovraException.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <functional>

#include <vector>

namespace {

QStringList LinesOf(const TStrings& strings) {
    QStringList lines;
    for (int32_t i = 0; i < strings.Count(); ++i)
        lines << strings.Strings(i);
    return lines;
}

void SetLines(TStrings& strings, const QStringList& lines) {
    strings.Clear();
    for (const QString& line : lines)
        strings.Add(line);
}

// A list that records its update-state calls and the change notices it sends, and refuses to
// take the line "refused".
class RecordingList : public TStringList {
public:
    RecordingList() {
        SetOnChanging([this](QObject* sender) {
            Events << QStringLiteral("changing");
            Senders.push_back(sender);
        });
        SetOnChange([this](QObject* sender) {
            Events << QStringLiteral("change %1").arg(Count());
            Senders.push_back(sender);
        });
    }

    void Insert(int32_t Index, const QString& S) override {
        if (S == u"refused")
            throw ETovraError(QStringLiteral("refused"));
        TStringList::Insert(Index, S);
    }

    QStringList Events;
    std::vector<QObject*> Senders;
    std::vector<bool> UpdateStates;

protected:
    void SetUpdateState(bool Updating) override {
        UpdateStates.push_back(Updating);
        TStringList::SetUpdateState(Updating);
    }
};

// The least a kind of list must supply; everything else comes from TStrings.
class MinimalStrings : public TStrings {
public:
    QString Get(int32_t Index) const override { return FLines.at(Index); }
    int32_t GetCount() const override { return static_cast<int32_t>(FLines.size()); }
    void Insert(int32_t Index, const QString& S) override {
        ++Inserts;
        FLines.insert(Index, S);
    }
    void Delete(int32_t Index) override { FLines.removeAt(Index); }
    void Clear() override { FLines.clear(); }

    int Inserts = 0;

private:
    QStringList FLines;
};

TEST(TStrings, SetTextSplitsAtEveryKindOfLineBreak) {
    struct Case {
        const char* Text;
        QStringList Lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\n", {"a"}},
        {"a\r", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"\r\n", {""}},
        {"\n", {""}},
        {"\r", {""}},
        {"\r\n\r\n", {"", ""}},
        {"\r\r", {"", ""}},
        {"a\r\n\r\n", {"a", ""}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}}, // CR, then CR LF
        {"a\n\rb", {"a", "", "b"}},   // LF then CR are two breaks
        {"\r\nlast", {"", "last"}},
        {" a \t\v\f", {" a \t\v\f"}}, // only CR and LF break lines
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetText(QString::fromUtf8(c.Text));
        EXPECT_EQ(LinesOf(list), c.Lines) << QByteArray(c.Text).toPercentEncoding().data();
    }
}

TEST(TStrings, SetTextReplacesTheLines) {
    TStringList list;
    SetLines(list, {"old 1", "old 2", "old 3"});
    list.SetText(QStringLiteral("new"));
    EXPECT_EQ(LinesOf(list), QStringList{"new"});
    list.SetText(QString());
    EXPECT_EQ(list.Count(), 0);
}

TEST(TStrings, TextEndsEveryLineWithCrLf) {
    const std::pair<QStringList, const char*> cases[] = {
        {{}, ""},
        {{""}, "\r\n"},
        {{"", ""}, "\r\n\r\n"},
        {{"a"}, "a\r\n"},
        {{"a", "", "b"}, "a\r\n\r\nb\r\n"},
    };
    for (const auto& [lines, text] : cases) {
        TStringList list;
        SetLines(list, lines);
        EXPECT_EQ(list.Text(), QString::fromUtf8(text)) << text;
        // Reading the text back gives the same lines.
        TStringList back;
        back.SetText(list.Text());
        EXPECT_EQ(LinesOf(back), lines) << text;
    }
    EXPECT_EQ(TStrings::LineBreak(), QStringLiteral("\r\n"));
}

TEST(TStrings, UpdateBracketsNestAndReportOnlyTheOutermost) {
    RecordingList list;
    list.BeginUpdate();
    list.BeginUpdate();
    EXPECT_EQ(list.UpdateCount(), 2);
    list.EndUpdate();
    EXPECT_EQ(list.UpdateCount(), 1);
    EXPECT_EQ(list.UpdateStates, std::vector<bool>{true});
    list.EndUpdate();
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_EQ(list.UpdateStates, (std::vector<bool>{true, false}));

    // An EndUpdate without a BeginUpdate changes nothing.
    list.EndUpdate();
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_EQ(list.UpdateStates.size(), 2u);
    list.BeginUpdate();
    EXPECT_EQ(list.UpdateStates, (std::vector<bool>{true, false, true}));
    list.EndUpdate();
}

TEST(TStringList, EachChangeOutsideAnUpdateIsReportedBeforeAndAfter) {
    RecordingList list;
    EXPECT_EQ(list.Add(QStringLiteral("a")), 0);
    EXPECT_EQ(list.Add(QStringLiteral("b")), 1);
    list.Insert(0, QStringLiteral("first"));
    list.SetStrings(1, QStringLiteral("A"));
    list.Delete(2);
    EXPECT_EQ(LinesOf(list), (QStringList{"first", "A"}));
    EXPECT_EQ(list.Events,
              (QStringList{"changing", "change 1", "changing", "change 2", "changing", "change 3",
                           "changing", "change 3", "changing", "change 2"}));
    for (QObject* sender : list.Senders)
        EXPECT_EQ(sender, &list);

    list.Events.clear();
    list.Clear();
    list.Clear(); // an empty list does not change
    EXPECT_EQ(list.Events, (QStringList{"changing", "change 0"}));
}

TEST(TStringList, BatchesReportOnceWhenTheLastBracketCloses) {
    struct Case {
        const char* Name;
        std::function<void(RecordingList&, const TStringList&)> Change;
        QStringList Lines;
    };
    TStringList source;
    SetLines(source, {"x", "y", "z"});
    const Case cases[] = {
        {"Assign", [](RecordingList& l, const TStringList& s) { l.Assign(&s); }, {"x", "y", "z"}},
        {"AddStrings",
         [](RecordingList& l, const TStringList& s) { l.AddStrings(&s); },
         {"a", "b", "x", "y", "z"}},
        {"SetText",
         [](RecordingList& l, const TStringList&) { l.SetText(QStringLiteral("1\r\n2\n3\r4")); },
         {"1", "2", "3", "4"}},
        {"explicit bracket",
         [](RecordingList& l, const TStringList&) {
             l.BeginUpdate();
             l.Add(QStringLiteral("c"));
             l.BeginUpdate();
             l.Delete(0);
             l.EndUpdate();
             l.SetStrings(0, QStringLiteral("B"));
             l.EndUpdate();
         },
         {"B", "c"}},
    };
    for (const Case& c : cases) {
        RecordingList list;
        SetLines(list, {"a", "b"});
        list.Events.clear();
        list.UpdateStates.clear();
        c.Change(list, source);
        EXPECT_EQ(LinesOf(list), c.Lines) << c.Name;
        // The notice after the batch sees the finished list.
        EXPECT_EQ(list.Events,
                  (QStringList{"changing", QStringLiteral("change %1").arg(c.Lines.size())}))
            << c.Name;
        EXPECT_EQ(list.UpdateStates, (std::vector<bool>{true, false})) << c.Name;
    }
}

TEST(TStrings, AssignAndAddStringsAcceptNullAndThemselves) {
    RecordingList list;
    SetLines(list, {"a", "b"});
    list.Events.clear();
    list.AddStrings(nullptr);
    EXPECT_EQ(LinesOf(list), (QStringList{"a", "b"}));
    EXPECT_TRUE(list.Events.isEmpty());

    list.AddStrings(&list);
    EXPECT_EQ(LinesOf(list), (QStringList{"a", "b", "a", "b"}));

    list.Assign(&list);
    EXPECT_EQ(LinesOf(list), (QStringList{"a", "b", "a", "b"}));

    list.Assign(nullptr);
    EXPECT_EQ(list.Count(), 0);
}

TEST(TStrings, AFailedBatchStillClosesItsBracket) {
    TStringList source;
    SetLines(source, {"x", "refused", "z"});
    const std::function<void(RecordingList&)> batches[] = {
        [&](RecordingList& l) { l.Assign(&source); },
        [&](RecordingList& l) { l.AddStrings(&source); },
        [](RecordingList& l) { l.SetText(QStringLiteral("x\r\nrefused\r\nz")); },
    };
    for (const auto& batch : batches) {
        RecordingList list;
        list.Add(QStringLiteral("a"));
        list.Events.clear();
        EXPECT_THROW(batch(list), ETovraError);
        EXPECT_EQ(list.UpdateCount(), 0);
        EXPECT_EQ(list.UpdateStates, (std::vector<bool>{true, false}));
        ASSERT_EQ(list.Events.size(), 2);
        EXPECT_EQ(list.Events.front(), QStringLiteral("changing"));
        // The lines before the refused one were taken.
        EXPECT_EQ(list.Strings(list.Count() - 1), QStringLiteral("x"));
        // The list keeps working normally.
        list.Events.clear();
        list.Add(QStringLiteral("after"));
        EXPECT_EQ(list.Events.size(), 2);
    }
}

TEST(TStringList, IndicesOutsideTheLinesRaiseListErrors) {
    TStringList list;
    SetLines(list, {"a", "b"});
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { list.Get(2); }, "List index out of bounds (2)"},
        {[&] { list.Get(-1); }, "List index out of bounds (-1)"},
        {[&] { list.Put(2, QString()); }, "List index out of bounds (2)"},
        {[&] { list.Insert(3, QString()); }, "List index out of bounds (3)"},
        {[&] { list.Insert(-1, QString()); }, "List index out of bounds (-1)"},
        {[&] { list.Delete(2); }, "List index out of bounds (2)"},
    };
    for (const auto& [call, message] : cases) {
        try {
            call();
            ADD_FAILURE() << "no error for " << message;
        } catch (const EStringListError& error) {
            EXPECT_EQ(error.Message(), QString::fromUtf8(message));
        }
    }
    EXPECT_EQ(LinesOf(list), (QStringList{"a", "b"}));
    list.Insert(2, QStringLiteral("c")); // the end is a valid place to insert
    EXPECT_EQ(list.Strings(2), QStringLiteral("c"));
}

TEST(TStringList, IndexOfIgnoresCaseUnlessTheListIsCaseSensitive) {
    TStringList list;
    SetLines(list, {"Alpha", "beta", "BETA"});
    EXPECT_EQ(list.IndexOf(QStringLiteral("ALPHA")), 0);
    EXPECT_EQ(list.IndexOf(QStringLiteral("BETA")), 1);
    EXPECT_EQ(list.IndexOf(QStringLiteral("gamma")), -1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf(QStringLiteral("ALPHA")), -1);
    EXPECT_EQ(list.IndexOf(QStringLiteral("BETA")), 2);
}

TEST(TStrings, TheDefaultMembersWorkOnTheFiveAKindSupplies) {
    MinimalStrings strings;
    EXPECT_EQ(strings.Add(QStringLiteral("a")), 0);
    EXPECT_EQ(strings.Add(QStringLiteral("c")), 1);
    strings.SetStrings(1, QStringLiteral("b"));
    EXPECT_EQ(strings.Text(), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(strings.IndexOf(QStringLiteral("B")), 1);
    EXPECT_EQ(strings.UpdateCount(), 0);

    TStringList list;
    list.Assign(&strings);
    EXPECT_EQ(LinesOf(list), (QStringList{"a", "b"}));
    strings.SetText(QStringLiteral("x\ny"));
    EXPECT_EQ(LinesOf(strings), (QStringList{"x", "y"}));
    EXPECT_EQ(strings.ClassName(), QStringLiteral("TStrings"));
    EXPECT_EQ(list.ClassName(), QStringLiteral("TStringList"));
}

// A device that takes at most Limit bytes per write and then refuses with a reason once
// Capacity bytes are in.
class LimitedDevice : public QIODevice {
public:
    LimitedDevice(qint64 limit, qint64 capacity) : FLimit(limit), FCapacity(capacity) {
        open(QIODevice::WriteOnly);
    }
    QByteArray Data;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (Data.size() >= FCapacity) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 n = std::min({size, FLimit, FCapacity - Data.size()});
        Data.append(data, n);
        return n;
    }

private:
    qint64 FLimit;
    qint64 FCapacity;
};

TEST(TStringsStream, LoadReadsUtf8FromThePositionAndLegacyBytesAsWindows1252) {
    struct Case {
        const char* Name;
        QByteArray Bytes;
        QStringList Lines;
    };
    const Case cases[] = {
        {"UTF-8",
         QByteArray("skip\r\ncaf\xc3\xa9 \xe2\x82\xac \xe4\xb8\xad \xf0\x9f\x98\x80\r\nend"),
         {QString::fromUtf8("caf\u00e9 \u20ac \u4e2d \U0001F600"), QStringLiteral("end")}},
        {"UTF-8 after a byte-order mark",
         QByteArray("skip\r\n\xef\xbb\xbf\xef\xbb\xbfmark\r\n"),
         {QString(QChar(0xFEFF)) + QStringLiteral("mark")}},
        {"Windows-1252",
         QByteArray("skip\r\ncaf\xe9 \x80 \x93q\x94\r\nend"),
         {QString::fromUtf8("caf\u00e9 \u20ac \u201cq\u201d"), QStringLiteral("end")}},
        // One byte that is not UTF-8 makes the whole text Windows-1252, as the engine reads it.
        {"mixed", QByteArray("skip\r\n\xc3\xa9\xe9"), {QString::fromUtf8("\u00c3\u00a9\u00e9")}},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.Bytes;
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        ASSERT_TRUE(buffer.seek(6));
        TStringList list;
        SetLines(list, {"old"});
        list.LoadFromStream(buffer);
        EXPECT_EQ(LinesOf(list), c.Lines) << c.Name;
        EXPECT_TRUE(buffer.atEnd()) << c.Name;
    }
}

TEST(TStringsStream, SaveWritesUtf8AtThePosition) {
    QByteArray bytes("KEEP");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadWrite));
    ASSERT_TRUE(buffer.seek(2));
    TStringList list;
    SetLines(list, {QString::fromUtf8("\u00e9\u20ac"), QString::fromUtf8("\u4e2d\U0001F600")});
    list.SaveToStream(buffer);
    EXPECT_EQ(bytes, QByteArray("KE\xc3\xa9\xe2\x82\xac\r\n\xe4\xb8\xad\xf0\x9f\x98\x80\r\n"));

    // A text that starts with U+FEFF keeps it behind a byte-order mark.
    QBuffer marked;
    ASSERT_TRUE(marked.open(QIODevice::ReadWrite));
    SetLines(list, {QString(QChar(0xFEFF)) + QStringLiteral("x")});
    list.SaveToStream(marked);
    EXPECT_EQ(marked.data(), QByteArray("\xef\xbb\xbf\xef\xbb\xbfx\r\n"));
    ASSERT_TRUE(marked.seek(0));
    TStringList back;
    back.LoadFromStream(marked);
    EXPECT_EQ(LinesOf(back), LinesOf(list));
}

TEST(TStringsStream, SaveKeepsWritingWhileTheDeviceTakesPartOfTheText) {
    LimitedDevice device(3, 1000);
    TStringList list;
    SetLines(list, {"a longer line", "and another"});
    list.SaveToStream(device);
    EXPECT_EQ(device.Data, QByteArray("a longer line\r\nand another\r\n"));
}

TEST(TStringsStream, ADeviceThatRefusesWritesRaisesItsReason) {
    TStringList list;
    SetLines(list, {"a longer line", "and another"});
    LimitedDevice full(100, 5);
    try {
        list.SaveToStream(full);
        ADD_FAILURE() << "no error for a full device";
    } catch (const EWriteError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("No space left on device"));
    }

    QByteArray bytes;
    QBuffer readOnly(&bytes);
    ASSERT_TRUE(readOnly.open(QIODevice::ReadOnly));
    EXPECT_THROW(list.SaveToStream(readOnly), EWriteError);
    QBuffer closed;
    EXPECT_THROW(list.SaveToStream(closed), EWriteError);
    EXPECT_THROW(list.LoadFromStream(closed), EReadError);
    EXPECT_EQ(list.Count(), 2);
}

class TStringsFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Dir.isValid()); }

    QString PathOf(const QString& name) const { return Dir.filePath(name); }

    static QByteArray ContentsOf(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    static void WriteFile(const QString& path, const QByteArray& contents) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(contents), contents.size());
    }

    QStringList FilesInDir() const {
        return QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir Dir;
};

TEST_F(TStringsFile, SavedFilesLoadBack) {
    const QString path = PathOf(QStringLiteral("lines.txt"));
    TStringList list;
    SetLines(list, {QString::fromUtf8("na\u00efve \u2013 \u20ac5"), "", "end"});
    list.SaveToFile(path);
    EXPECT_EQ(ContentsOf(path), QByteArray("na\xc3\xafve \xe2\x80\x93 \xe2\x82\xac"
                                           "5\r\n\r\nend\r\n"));

    TStringList back;
    back.LoadFromFile(path);
    EXPECT_EQ(LinesOf(back), LinesOf(list));

    // Saving again replaces the whole file, also with a shorter text.
    SetLines(list, {"x"});
    list.SaveToFile(path);
    EXPECT_EQ(ContentsOf(path), QByteArray("x\r\n"));
    EXPECT_EQ(FilesInDir(), QStringList{"lines.txt"});
}

TEST_F(TStringsFile, AFileThatCannotBeOpenedIsNamedInTheError) {
    const QString missing = PathOf(QStringLiteral("missing.txt"));
    TStringList list;
    SetLines(list, {"kept"});
    for (const QString& path : {missing, Dir.path()}) {
        try {
            list.LoadFromFile(path);
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const EFOpenError& error) {
            const QString prefix = QStringLiteral("Cannot open file \"%1\". ").arg(path);
            EXPECT_TRUE(error.Message().startsWith(prefix)) << error.what();
            EXPECT_GT(error.Message().size(), prefix.size()) << "no reason in " << error.what();
            EXPECT_EQ(error.FileName(), path);
        }
    }
    EXPECT_EQ(LinesOf(list), QStringList{"kept"});
}

TEST_F(TStringsFile, AFileThatCannotBeCreatedIsNamedInTheError) {
    const QString inMissingFolder = PathOf(QStringLiteral("no such folder/lines.txt"));
    TStringList list;
    SetLines(list, {"text"});
    for (const QString& path : {inMissingFolder, Dir.path()}) {
        try {
            list.SaveToFile(path);
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const EFCreateError& error) {
            const QString prefix = QStringLiteral("Cannot create file \"%1\". ").arg(path);
            EXPECT_TRUE(error.Message().startsWith(prefix)) << error.what();
            EXPECT_GT(error.Message().size(), prefix.size()) << "no reason in " << error.what();
        }
    }
    EXPECT_TRUE(QFileInfo(Dir.path()).isDir());
    EXPECT_TRUE(FilesInDir().isEmpty());
}

// Writes the whole text and then fails, as a device that loses the data at the end would.
class FailingAfterWrite : public TStringList {
public:
    void SaveToStream(QIODevice& Stream) const override {
        TStringList::SaveToStream(Stream);
        throw EWriteError(QStringLiteral("No space left on device"));
    }
};

TEST_F(TStringsFile, AFailedSaveLeavesTheOldFileAsItWas) {
    const QString path = PathOf(QStringLiteral("letter.txt"));
    WriteFile(path, "the old letter\r\n");
    FailingAfterWrite list;
    SetLines(list, {"the new letter", "that never arrives"});
    EXPECT_THROW(list.SaveToFile(path), EWriteError);
    EXPECT_EQ(ContentsOf(path), QByteArray("the old letter\r\n"));
    // Nothing of the attempt is left beside it.
    EXPECT_EQ(FilesInDir(), QStringList{"letter.txt"});
}

TEST_F(TStringsFile, AFolderThatCannotBeWrittenKeepsTheOldFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser may write in any folder";
    const QString path = PathOf(QStringLiteral("letter.txt"));
    WriteFile(path, "the old letter\r\n");
    QFile folder(Dir.path());
    const QFileDevice::Permissions permissions = folder.permissions();
    ASSERT_TRUE(folder.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    TStringList list;
    SetLines(list, {"the new letter"});
    EXPECT_THROW(list.SaveToFile(path), EFCreateError);
    folder.setPermissions(permissions);
    EXPECT_EQ(ContentsOf(path), QByteArray("the old letter\r\n"));
}

} // namespace
