#include "editor/EditorTestSupport.h"
#include "editor/TRichEditStrings.h"
#include "editor/TTovraConversion.h"
#include "framework/PropertyStore.h"
#include "framework/TStringList.h"
#include "framework/TovraException.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include <functional>

using namespace richedit;

namespace {

QStringList LinesOf(const TStrings& strings) {
    QStringList lines;
    for (int32_t i = 0; i < strings.Count(); ++i)
        lines << strings.Get(i);
    return lines;
}

QByteArray Utf8(const char16_t* text) {
    return QString::fromUtf16(text).toUtf8();
}

// Hands the input on in blocks of at most BlockSize bytes, so that tests choose where blocks
// end; counts its instances and the bytes it passes.
class SmallBlocks : public TTovraConversion {
public:
    SmallBlocks() { ++Instances; }
    int32_t ConvertReadStream(QIODevice& Stream, char* Buffer, int32_t BufSize) override {
        return TTovraConversion::ConvertReadStream(Stream, Buffer, std::min(BufSize, BlockSize));
    }
    int32_t ConvertWriteStream(QIODevice& Stream, const char* Buffer, int32_t BufSize) override {
        Written += BufSize;
        return TTovraConversion::ConvertWriteStream(Stream, Buffer, BufSize);
    }
    static inline int32_t BlockSize = 1 << 20;
    static inline int Instances = 0;
    static inline int64_t Written = 0;
};

// Writes part of the document and then fails, as a device that runs out of space would.
class FailingWrites : public TTovraConversion {
public:
    int32_t ConvertWriteStream(QIODevice& Stream, const char* Buffer, int32_t BufSize) override {
        TTovraConversion::ConvertWriteStream(Stream, Buffer, std::min(BufSize, 10));
        throw EWriteError(u"No space left on device"_qs);
    }
};

// Takes nothing of what the engine writes.
class RefusingWrites : public TTovraConversion {
public:
    int32_t ConvertWriteStream(QIODevice&, const char*, int32_t) override { return 0; }
};

class FailingReads : public TTovraConversion {
public:
    int32_t ConvertReadStream(QIODevice&, char*, int32_t) override {
        throw EReadError(u"Stream read error"_qs);
    }
};

const QByteArray kBoldRtf =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b bold} plain\\par}";

class LinesTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        SmallBlocks::BlockSize = 1 << 20;
        SmallBlocks::Instances = 0;
        SmallBlocks::Written = 0;
    }
    TRichEditStrings& lines() { return *edit->Lines(); }
    QString path(const QString& name) const { return dir.filePath(name); }
    static QByteArray contentsOf(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static void writeFile(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QStringList filesInDir() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    void load(const QByteArray& bytes) {
        QBuffer buffer;
        buffer.setData(bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        lines().LoadFromStream(buffer);
    }
    QByteArray save() {
        QBuffer buffer;
        EXPECT_TRUE(buffer.open(QIODevice::WriteOnly));
        lines().SaveToStream(buffer);
        return buffer.data();
    }

    QTemporaryDir dir;
};

// ---- Lines ----

TEST_F(LinesTest, CountAndGetSeeTheEnginesLinesWithoutTheirBreaks) {
    struct Case {
        const char16_t* Text;
        QStringList Lines;
    };
    const Case cases[] = {
        {u"", {}},
        {u"ab\rcd\r", {"ab", "cd"}},
        {u"ab\rcd", {"ab", "cd"}},
        {u"ab\r\rcd", {"ab", "", "cd"}},
        {u"\r", {""}},
    };
    for (const Case& c : cases) {
        edit->SetText(QString::fromUtf16(c.Text));
        EXPECT_EQ(lines().Count(), c.Lines.size()) << QString::fromUtf16(c.Text).toStdString();
        EXPECT_EQ(LinesOf(lines()), c.Lines);
        EXPECT_EQ(lines().Get(int32_t(c.Lines.size())), QString()) << "the line after the last";
        EXPECT_EQ(lines().Get(-1), QString());
        EXPECT_EQ(lines().Get(99), QString());
    }
}

TEST_F(LinesTest, InsertAddPutAndDeleteWorkOnLinesThatExist) {
    struct Case {
        const char* Name;
        const char16_t* Before;
        std::function<void(TStrings&)> Change;
        const char16_t* After;
    };
    const Case cases[] = {
        {"Add on an empty document", u"", [](TStrings& l) { l.Add(u"word"_qs); }, u"word\r"},
        {"Add after a last line without a mark", u"abc", [](TStrings& l) { l.Add(u"word"_qs); },
         u"abc\rword"},
        {"Add after a last mark", u"a\rb\r", [](TStrings& l) { l.Add(u"c"_qs); }, u"a\rb\rc\r"},
        {"Insert before the first line", u"a\rb", [](TStrings& l) { l.Insert(0, u"x"_qs); },
         u"x\ra\rb"},
        {"Insert far beyond the lines", u"a\rb", [](TStrings& l) { l.Insert(5, u"x"_qs); },
         u"a\rb"},
        {"Insert at a negative index", u"a\rb", [](TStrings& l) { l.Insert(-1, u"x"_qs); },
         u"a\rb"},
        {"Insert after an empty last line", u"a\r\r", [](TStrings& l) { l.Insert(3, u"x"_qs); },
         u"a\r\r"},
        {"Put keeps the line break", u"a\rbb\rc", [](TStrings& l) { l.Put(1, u"XYZ"_qs); },
         u"a\rXYZ\rc"},
        {"Put on the last line", u"a\rbb", [](TStrings& l) { l.Put(1, u"X"_qs); }, u"a\rX"},
        {"Put outside the lines", u"a\rb",
         [](TStrings& l) {
             l.Put(-1, u"X"_qs);
             l.Put(7, u"X"_qs);
         },
         u"a\rb"},
        {"Delete a middle line", u"a\rb\rc", [](TStrings& l) { l.Delete(1); }, u"a\rc"},
        {"Delete the last line", u"a\rb", [](TStrings& l) { l.Delete(1); }, u"a\r"},
        {"Delete outside the lines", u"a\rb",
         [](TStrings& l) {
             l.Delete(-1);
             l.Delete(7);
         },
         u"a\rb"},
        {"Text sets one line each", u"old", [](TStrings& l) { l.SetText(u"one\ntwo\r\nthree"_qs); },
         u"one\rtwo\rthree\r"},
    };
    for (const Case& c : cases) {
        edit->SetText(QString::fromUtf16(c.Before));
        engine().EM_EMPTYUNDOBUFFER();
        c.Change(lines());
        EXPECT_EQ(edit->Text(), QString::fromUtf16(c.After)) << c.Name;
        EXPECT_FALSE(engine().EM_CANUNDO()) << c.Name << ": line changes are not undoable";
    }
    edit->SetText(QString());
    lines().Add(u"word"_qs);
    EXPECT_EQ(LinesOf(lines()), QStringList{"word"});
}

TEST_F(LinesTest, AddStringsReplacesTheDocumentWithTheListsText) {
    edit->SetText(u"old text"_qs);
    int selectionChanges = 0;
    edit->SetOnSelectionChange([&](QObject*) { ++selectionChanges; });
    // A load moves the selection, which the handler hears ...
    edit->SetSelRange(2, 2);
    selectionChanges = 0;
    load("{\\rtf1 loaded}");
    EXPECT_GT(selectionChanges, 0);

    // ... but not while AddStrings replaces the document.
    edit->SetSelRange(2, 2);
    selectionChanges = 0;
    TStringList rtf;
    rtf.SetText(QString::fromLatin1(kBoldRtf));
    lines().AddStrings(&rtf);
    EXPECT_EQ(selectionChanges, 0);
    EXPECT_EQ(edit->Text(), u"plain bold plain"_qs) << "replaced, not appended";
    EXPECT_TRUE(boldAt(7));
    EXPECT_FALSE(boldAt(1));
    edit->SetSelStart(3);
    EXPECT_GT(selectionChanges, 0) << "the handler is back";

    lines().AddStrings(nullptr);
    EXPECT_EQ(edit->Text(), QString());

    TStringList plain;
    plain.SetText(QString::fromUtf16(u"caf\u00e9\n\u4e2d\u6587 \U0001F600"));
    lines().AddStrings(&plain);
    EXPECT_EQ(LinesOf(lines()), LinesOf(plain)) << "every character of the list arrives";
}

TEST_F(LinesTest, AssigningAListToLinesLoadsItsText) {
    TStringList rtf;
    rtf.SetText(QString::fromLatin1(kBoldRtf));
    edit->SetLines(&rtf);
    EXPECT_EQ(edit->Text(), u"plain bold plain"_qs);
    EXPECT_TRUE(boldAt(7));

    // Another editor's lines carry its formatting along.
    TTovraRichEdit other;
    other.SetLines(edit->Lines());
    other.Engine()->EM_EXSETSEL({7, 8});
    CHARFORMAT2W cf;
    other.Engine()->EM_GETCHARFORMAT(SCF_SELECTION, cf);
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
    EXPECT_EQ(other.Text(), u"plain bold plain"_qs);
}

TEST_F(LinesTest, SettingTextSendsNoChangeNoticesAndTellsTheTextOnce) {
    int changes = 0;
    edit->SetOnChange([&](QObject*) { ++changes; });
    QSignalSpy told(edit.get(), &TTovraCustomRichEdit::TextChanged);
    lines().SetText(u"one\ntwo\nthree"_qs);
    EXPECT_EQ(LinesOf(lines()), (QStringList{"one", "two", "three"}));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(told.count(), 1);
    EXPECT_TRUE(engine().EM_GETEVENTMASK() & ENM_CHANGE) << "change notices are back on";
    lines().Add(u"four"_qs);
    EXPECT_GT(changes, 0);

    // A batch holds back the window's painting until its end.
    lines().BeginUpdate();
    EXPECT_FALSE(edit->EngineWindow()->updatesEnabled());
    lines().Add(u"five"_qs);
    lines().EndUpdate();
    EXPECT_TRUE(edit->EngineWindow()->updatesEnabled());
    EXPECT_EQ(told.count(), 2);
}

TEST_F(LinesTest, ALineLongerThanTheLineBufferIsCutOnlyByGet) {
    edit->SetWordWrap(false); // one line per paragraph
    QString line;
    for (int i = 0; i < 5000; ++i)
        line += QChar(u'a' + i % 26);
    edit->SetText(line);
    EXPECT_EQ(lines().Get(0), line.left(4096));
    EXPECT_EQ(lines().Count(), 1);

    TTovraRichEdit other;
    other.SetRTFText(edit->RTFText());
    EXPECT_EQ(other.Text(), line) << "RTFText holds the whole line";
    edit->SetPlainText(true);
    EXPECT_EQ(save(), line.toUtf8()) << "and so does SaveToStream";
}

// ---- Streams ----

TEST_F(LinesTest, PlainTextGivesOneLinePerLineBreakWhereverTheBlocksEnd) {
    edit->SetPlainText(true);
    edit->SetDefaultConverter(TTovraConversionClass::Of<SmallBlocks>());
    const QStringList expected{"one", "two", "", "three"};
    for (const char* separator : {"\n", "\r", "\r\n"}) {
        const QByteArray sep(separator);
        const QByteArray body = "one" + sep + "two" + sep + sep + "three";
        for (const QByteArray& bytes : {body, body + sep}) {
            // Every block size up to a few lines puts a block end after each byte once.
            for (int32_t block = 1; block <= 12; ++block) {
                SCOPED_TRACE(testing::Message()
                             << "separator " << QByteArray(separator).toHex().toStdString()
                             << ", block " << block << ", "
                             << (bytes == body ? "no final break" : "final break"));
                SmallBlocks::BlockSize = block;
                load(bytes);
                EXPECT_EQ(LinesOf(lines()), expected);
                EXPECT_EQ(edit->Text(),
                          bytes == body ? u"one\rtwo\r\rthree"_qs : u"one\rtwo\r\rthree\r"_qs);
            }
        }
    }
    EXPECT_GT(SmallBlocks::Instances, 1) << "a temporary converter per load";
}

TEST_F(LinesTest, EveryByteReachesTheEngine) {
    edit->SetPlainText(true);
    load(QByteArray("a\0b\nc", 5));
    EXPECT_EQ(edit->Text(), QString::fromUtf16(u"a\0b\rc", 5)) << "bytes after a zero byte";

    // Binary data in rich text keeps its line-break bytes: three bytes of data, then text.
    edit->SetPlainText(false);
    load("{\\rtf1 before\\bin3 a\nb after}");
    EXPECT_EQ(edit->Text(), u"before after"_qs);
}

TEST_F(LinesTest, InputTheEngineRejectsIsReadInTheOtherFormatFromTheSamePosition) {
    ASSERT_FALSE(edit->PlainText());
    QBuffer buffer;
    buffer.setData("skip:hello\nworld");
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    ASSERT_TRUE(buffer.seek(5));
    lines().LoadFromStream(buffer);
    EXPECT_EQ(LinesOf(lines()), (QStringList{"hello", "world"}));

    // Rich text stays rich text; in plain-text mode its code is the text.
    load(kBoldRtf);
    EXPECT_EQ(edit->Text(), u"plain bold plain"_qs);
    lines().SetPlainText(true);
    load(kBoldRtf);
    EXPECT_EQ(edit->Text(), QString::fromLatin1(kBoldRtf));

    // A converter that fails on both attempts leaves an empty document and reports nothing.
    edit->SetDefaultConverter(TTovraConversionClass::Of<FailingReads>());
    EXPECT_NO_THROW(load("text"));
}

TEST_F(LinesTest, RtfTextIsTheDocumentAsStreamText) {
    edit->SetText(QString::fromUtf16(u"caf\u00e9 \u4e2d \U0001F600"));
    const QString rtf = edit->RTFText();
    EXPECT_TRUE(rtf.startsWith(u"{\\rtf1"_qs));
    TTovraRichEdit other;
    other.SetRTFText(rtf);
    EXPECT_EQ(other.Text(), edit->Text());

    // Plain text goes both ways as UTF-8, a leading U+FEFF included.
    other.SetPlainText(true);
    const QString texts[] = {QString::fromUtf16(u"caf\u00e9\r\u4e2d \U0001F600"),
                             QString(QChar(0xFEFF)) + u"mark"_qs};
    for (const QString& text : texts) {
        other.SetRTFText(text);
        EXPECT_EQ(other.Text(), text);
        EXPECT_EQ(other.RTFText(), QString(text).replace(u"\r"_qs, u"\r\n"_qs));
    }

    QSignalSpy told(&other, &TTovraCustomRichEdit::TextChanged);
    other.SetRTFText(u"one\ntwo\nthree"_qs);
    EXPECT_EQ(told.count(), 1);
}

TEST_F(LinesTest, CopyAndPasteStreamsBypassTheConverter) {
    edit->SetDefaultConverter(TTovraConversionClass::Of<RefusingWrites>());
    edit->SetText(u"alpha beta gamma"_qs);
    setBold(6, 10);
    edit->SetSelRange(6, 4);
    struct Case {
        bool Selection, PlainText, Objects, PlainRtf;
        QByteArray Expected; // the start of what the stream holds
    };
    const Case cases[] = {
        {true, true, false, false, "beta"},
        {true, true, true, false, "beta"},
        {false, true, false, false, "alpha beta gamma"},
        {true, false, true, false, "{\\rtf1"},
        {false, false, false, true, "{\\rtf1"},
    };
    for (const Case& c : cases) {
        QBuffer out;
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        edit->CopyToStream(out, c.Selection, c.PlainText, c.Objects, c.PlainRtf);
        EXPECT_TRUE(out.data().startsWith(c.Expected)) << out.data().left(40).toStdString();
        if (c.PlainText) {
            EXPECT_EQ(out.data(), c.Expected);
        }
    }
    QBuffer rich;
    ASSERT_TRUE(rich.open(QIODevice::ReadWrite));
    edit->CopyToStream(rich, true, false, true, false);
    EXPECT_THAT(rich.data().toStdString(), testing::HasSubstr("\\b"));

    // Pasting into the selection replaces only the selection; pasting the document replaces it.
    edit->SetSelRange(0, 5);
    QBuffer in;
    in.setData(Utf8(u"\u00e9t\u00e9"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    edit->PasteFromStream(in, true, true, false);
    EXPECT_EQ(edit->Text(), QString::fromUtf16(u"\u00e9t\u00e9 beta gamma"));
    rich.seek(0);
    edit->PasteFromStream(rich, false, false, false);
    EXPECT_EQ(edit->Text(), u"beta"_qs);
    EXPECT_TRUE(boldAt(1));

    edit->SetDefaultConverter(TTovraConversionClass::Of<TTovraConversion>());
    edit->SetPlainText(true);
    QApplication::clipboard()->setText(QString::fromUtf16(u"caf\u00e9 \U0001F600"));
    edit->SelectAll();
    edit->PastePlainText();
    EXPECT_EQ(edit->Text(), QString::fromUtf16(u"caf\u00e9 \U0001F600"));
}

// ---- Conversion classes and files ----

TEST_F(LinesTest, TheExtensionChoosesTheConversionClass) {
    TTovraCustomRichEdit::RegisterConversionFormat(u"DOC"_qs,
                                                   TTovraConversionClass::Of<SmallBlocks>());
    TTovraCustomRichEdit::RegisterConversionFormat(u".odt"_qs,
                                                   TTovraConversionClass::Of<SmallBlocks>());
    const auto base = TTovraConversionClass::Of<TTovraConversion>();
    const auto small = TTovraConversionClass::Of<SmallBlocks>();
    struct Case {
        const char* FileName;
        TTovraConversionClass Class;
        const char* Extension;
    };
    const Case cases[] = {
        {"A.DOC", small, "doc"},    {"/x/b.doc", small, "doc"},  {"c.txt", base, "txt"},
        {"d.RTF", base, "rtf"},     {"none", base, "txt"},       {"x.odt", base, "txt"},
        {"dir.doc/e", base, "txt"}, {"f.tar.doc", small, "doc"},
    };
    for (const Case& c : cases) {
        const TTovraConversionFormat& format =
            FindConversionFormat(QString::fromLatin1(c.FileName));
        EXPECT_TRUE(format.ConversionClass == c.Class) << c.FileName;
        EXPECT_EQ(format.Extension, QString::fromLatin1(c.Extension)) << c.FileName;
    }
    QStringList extensions;
    for (const TTovraConversionFormat* f = ConversionFormatList(); f; f = f->Next)
        extensions << f->Extension;
    EXPECT_EQ(extensions.mid(0, 2), (QStringList{".odt", "doc"})) << "newest first, as given";
    EXPECT_EQ(extensions.mid(extensions.size() - 2), (QStringList{"txt", "rtf"}));

    // The first file operation fixes the converter of the lines object.
    edit->SetText(u"kept"_qs);
    lines().SaveToFile(path(u"A.DOC"_qs));
    EXPECT_EQ(SmallBlocks::Instances, 1);
    const int64_t first = SmallBlocks::Written;
    EXPECT_GT(first, 0);
    lines().SaveToFile(path(u"b.txt"_qs));
    EXPECT_EQ(SmallBlocks::Instances, 1);
    EXPECT_EQ(SmallBlocks::Written, 2 * first) << "b.txt went through the same converter";
    EXPECT_EQ(contentsOf(path(u"b.txt"_qs)), contentsOf(path(u"A.DOC"_qs)));
}

TEST_F(LinesTest, SaveToFileRunsTheAfterSaveStepTwice) {
    int afterSaves = 0;
    edit->SetOnAfterSave([&](QObject* sender, bool& skip) {
        EXPECT_EQ(sender, edit.get());
        EXPECT_FALSE(skip);
        ++afterSaves;
    });
    edit->SetText(u"text"_qs);
    lines().SaveToFile(path(u"a.rtf"_qs));
    EXPECT_EQ(afterSaves, 2);
    (void)edit->RTFText();
    EXPECT_EQ(afterSaves, 3);
    edit->SetWordWrap(false);
    EXPECT_EQ(afterSaves, 3) << "a re-creation's save runs no save steps";
}

TEST_F(LinesTest, AFailedSaveLeavesTheOldFileAndDropsTheConverter) {
    TTovraCustomRichEdit::RegisterConversionFormat(u"broken"_qs,
                                                   TTovraConversionClass::Of<FailingWrites>());
    TTovraCustomRichEdit::RegisterConversionFormat(u"refused"_qs,
                                                   TTovraConversionClass::Of<RefusingWrites>());
    int afterSaves = 0;
    edit->SetOnAfterSave([&](QObject*, bool&) { ++afterSaves; });
    edit->SetText(u"the new letter"_qs);
    for (const QString& name : {u"letter.broken"_qs, u"letter.refused"_qs}) {
        const QString file = path(name);
        writeFile(file, "the old letter");
        try {
            lines().SaveToFile(file);
            ADD_FAILURE() << "no error for " << name.toStdString();
        } catch (const EOutOfResources& error) {
            EXPECT_EQ(error.Message(), u"Failed to Save Stream"_qs);
        }
        EXPECT_EQ(contentsOf(file), QByteArray("the old letter"));
        EXPECT_TRUE(filesInDir().contains(name));
        EXPECT_EQ(afterSaves, 0);
        EXPECT_EQ(edit->Text(), u"the new letter"_qs) << "the document is unchanged";
    }
    EXPECT_EQ(filesInDir().size(), 2) << "no temporary file is left behind";

    // The failed converter is gone: the next save chooses again, by its own extension.
    lines().SaveToFile(path(u"letter.rtf"_qs));
    EXPECT_TRUE(contentsOf(path(u"letter.rtf"_qs)).startsWith("{\\rtf1"));

    EXPECT_THROW(lines().SaveToFile(path(u"no such folder/x.rtf"_qs)), EFCreateError);
    EXPECT_THROW(lines().LoadFromFile(path(u"missing.rtf"_qs)), EFOpenError);
    EXPECT_EQ(edit->Text(), u"the new letter"_qs);
}

TEST_F(LinesTest, FilesRoundTripWithoutLoss) {
    // Rich text keeps its formatting and every character.
    const QString rich = QString::fromUtf16(u"caf\u00e9 bold \u4e2d\u6587 \U0001F600\rsecond");
    edit->SetText(rich);
    setBold(5, 9);
    lines().SaveToFile(path(u"doc.rtf"_qs));
    {
        TTovraRichEdit other;
        other.Lines()->LoadFromFile(path(u"doc.rtf"_qs));
        EXPECT_EQ(other.Text(), rich);
        other.Engine()->EM_EXSETSEL({6, 7});
        CHARFORMAT2W cf;
        other.Engine()->EM_GETCHARFORMAT(SCF_SELECTION, cf);
        EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
        EXPECT_EQ(other.Engine()->EM_GETLIMITTEXT(), 0x7FFFFFF0) << "a file load lifts the limit";
    }

    // Text files of every kind of line break and both encodings load as their lines and save
    // and load again as the same lines.
    struct Case {
        const char* Name;
        QByteArray Bytes;
        QStringList Lines;
    };
    const QStringList unicodeLines{QString::fromUtf16(u"caf\u00e9 \u20ac"),
                                   QString::fromUtf16(u"\u4e2d\u6587 \U0001F600"), "end"};
    const QStringList legacyLines{QString::fromUtf16(u"caf\u00e9 \u20ac"),
                                  QString::fromUtf16(u"\u201cq\u201d"), "end"};
    const Case cases[] = {
        {"UTF-8, LF", Utf8(u"caf\u00e9 \u20ac\n\u4e2d\u6587 \U0001F600\nend\n"), unicodeLines},
        {"UTF-8, CR", Utf8(u"caf\u00e9 \u20ac\r\u4e2d\u6587 \U0001F600\rend"), unicodeLines},
        {"UTF-8, CR LF", Utf8(u"caf\u00e9 \u20ac\r\n\u4e2d\u6587 \U0001F600\r\nend\r\n"),
         unicodeLines},
        {"Windows-1252, LF", QByteArray("caf\xe9 \x80\n\x93q\x94\nend"), legacyLines},
        {"Windows-1252, CR", QByteArray("caf\xe9 \x80\r\x93q\x94\rend\r"), legacyLines},
        {"Windows-1252, CR LF", QByteArray("caf\xe9 \x80\r\n\x93q\x94\r\nend"), legacyLines},
    };
    edit->SetPlainText(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        writeFile(path(u"in.txt"_qs), c.Bytes);
        TTovraRichEdit first;
        first.SetPlainText(true);
        first.Lines()->LoadFromFile(path(u"in.txt"_qs));
        EXPECT_EQ(LinesOf(*first.Lines()), c.Lines);
        first.Lines()->SaveToFile(path(u"out.txt"_qs));
        TTovraRichEdit second;
        second.SetPlainText(true);
        second.Lines()->LoadFromFile(path(u"out.txt"_qs));
        EXPECT_EQ(LinesOf(*second.Lines()), c.Lines);
        EXPECT_EQ(second.Text(), first.Text());
    }
}

// ---- The stored form and the text mode ----

TEST_F(LinesTest, TheStoredFormHoldsTheRichTextCodeAndReadsBack) {
    TWriter empty;
    lines().WriteProperties(empty);
    EXPECT_FALSE(empty.Properties().contains(u"Strings"_qs)) << "no lines, no data";

    edit->SetText(QString::fromUtf16(u"plain bold \u4e2d\rnext"));
    setBold(6, 10);
    TWriter writer;
    lines().WriteProperties(writer);
    const TReader reader = TReader::FromJson(writer.ToJson());
    const std::optional<QStringList> strings = reader.ReadStrings(u"Strings"_qs);
    ASSERT_TRUE(strings.has_value());
    EXPECT_TRUE(strings->first().startsWith(u"{\\rtf1"_qs)) << "the lines of the code";

    TTovraRichEdit other;
    other.Lines()->ReadProperties(reader);
    EXPECT_EQ(other.Text(), edit->Text());
    other.Engine()->EM_EXSETSEL({7, 8});
    CHARFORMAT2W cf;
    other.Engine()->EM_GETCHARFORMAT(SCF_SELECTION, cf);
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
    other.Lines()->ReadProperties(TReader());
    EXPECT_EQ(other.Text(), edit->Text()) << "no property, no change";

    // With an ancestor the lines are written only where they differ from its lines.
    struct Case {
        const char* Name;
        const QObject* Ancestor;
        bool Written;
    };
    TStringList same;
    same.Assign(edit->Lines());
    TStringList different;
    different.SetText(u"other"_qs);
    QObject notAList;
    const Case cases[] = {
        {"the same lines", &same, false},
        {"other lines", &different, true},
        {"not a string list", &notAList, true},
    };
    for (const Case& c : cases) {
        TWriter w;
        w.SetAncestor(c.Ancestor);
        lines().WriteProperties(w);
        EXPECT_EQ(w.Properties().contains(u"Strings"_qs), c.Written) << c.Name;
    }
}

TEST_F(LinesTest, PlainTextLivesInTheLinesAndTheEditorsSwitchRebuildsTheWindow) {
    edit->SetText(u"plain bold plain"_qs);
    setBold(6, 10);
    edit->SetModified(true);
    edit->SetDefaultConverter(TTovraConversionClass::Of<SmallBlocks>());

    edit->SetPlainText(true);
    EXPECT_TRUE(lines().PlainText());
    EXPECT_EQ(engine().EM_GETTEXTMODE() & TM_PLAINTEXT, uint32_t(TM_PLAINTEXT));
    EXPECT_GT(SmallBlocks::Instances, 0) << "the re-creation goes through the lines object";
    EXPECT_EQ(edit->RTFText(), u"plain bold plain"_qs);
    edit->SetPlainText(false);
    EXPECT_FALSE(lines().PlainText());
    EXPECT_EQ(edit->Text(), u"plain bold plain"_qs);
    EXPECT_TRUE(boldAt(7)) << "the re-creation keeps rich text whatever the mode";
    EXPECT_TRUE(edit->Modified());

    // The lines' own flag changes only the stream format.
    lines().SetPlainText(true);
    EXPECT_TRUE(edit->PlainText());
    EXPECT_EQ(engine().EM_GETTEXTMODE() & TM_PLAINTEXT, 0u) << "no new window";
    EXPECT_EQ(edit->RTFText(), u"plain bold plain"_qs);
    edit->SetWordWrap(false);
    EXPECT_TRUE(lines().PlainText()) << "restored after the re-creation";
    EXPECT_EQ(edit->Text(), u"plain bold plain"_qs);

    // A re-creation whose save fails keeps the window, its document and the flag.
    edit->SetDefaultConverter(TTovraConversionClass::Of<RefusingWrites>());
    richedit::RichEditEngine* before = edit->Engine();
    EXPECT_THROW(edit->SetPlainText(false), EOutOfResources);
    EXPECT_TRUE(edit->PlainText());
    EXPECT_FALSE(edit->RecreateInProcess());
    EXPECT_EQ(edit->Engine(), before);
    EXPECT_EQ(edit->Text(), u"plain bold plain"_qs);
}

} // namespace
