#include "foundation/TovraTextUtils.h"

#include "framework/ShellOpener.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace {

// ---- OpenURL -------------------------------------------------------------------------------

// Records what reaches the desktop and answers it with Accept.
class OpenURLTest : public ::testing::Test {
protected:
    QStringList Opened;
    QStringList Asked;
    bool Accept = true;
    ScopedShellOpenHook OpenHook{[this](const QString& target) {
        Opened << target;
        return Accept;
    }};
};

struct TOpenCase {
    const char* Text;
    bool NoHttpPrefix;
    const char* Opened;
};

TEST_F(OpenURLTest, CompletesTextsWithoutAColon) {
    ScopedShellConfirmHook confirm([this](const QString& target) {
        Asked << target;
        return true;
    });
    const TOpenCase cases[] = {
        {"www.example.com", false, "http://www.example.com"},
        {"www.example.com", true, "www.example.com"},
        {"wwwhatever", false, "http://wwwhatever"},
        {"WWW.EXAMPLE.COM", false, "WWW.EXAMPLE.COM"},
        {"Www.example.com", false, "Www.example.com"},
        {"ftp.example.com", false, "ftp://ftp.example.com"},
        {"ftp.example.com", true, "ftp://ftp.example.com"},
        {"ftpserver", false, "ftp://ftpserver"},
        {"FTP.example.com", false, "FTP.example.com"},
        {"someone@example.com", false, "mailto:someone@example.com"},
        {"a@b", true, "mailto:a@b"},
        {"@example.com", false, "@example.com"},
        {"@someone@example.com", false, "@someone@example.com"},
        {"www.someone@example.com", false, "http://www.someone@example.com"},
        {"www.someone@example.com", true, "www.someone@example.com"},
        {"ftp@example.com", false, "ftp://ftp@example.com"},
        {"plain words", false, "plain words"},
        {"ww.example.com", false, "ww.example.com"},
    };
    for (const TOpenCase& c : cases) {
        Opened.clear();
        EXPECT_TRUE(OpenURL(QString::fromUtf8(c.Text), c.NoHttpPrefix)) << c.Text;
        EXPECT_EQ(Opened, QStringList{QString::fromUtf8(c.Opened)})
            << c.Text << " noHttpPrefix=" << c.NoHttpPrefix;
    }
}

TEST_F(OpenURLTest, TextsWithAColonAreOpenedUnchanged) {
    ScopedShellConfirmHook confirm([](const QString&) { return true; });
    const char* const texts[] = {"http://www.example.com/a@b",
                                 "https://example.com",
                                 "mailto:someone@example.com",
                                 "C:\\Documents\\letter.rtf",
                                 "www.example.com:8080",
                                 "ftp:",
                                 "news:comp.lang"};
    for (const char* text : texts) {
        Opened.clear();
        EXPECT_TRUE(OpenURL(QString::fromUtf8(text), false)) << text;
        EXPECT_EQ(Opened, QStringList{QString::fromUtf8(text)}) << text;
    }
}

TEST_F(OpenURLTest, CompletedWebAndMailLinksNeedNoConfirmation) {
    for (const char* text : {"www.example.com", "ftp.example.com", "someone@example.com"})
        EXPECT_TRUE(OpenURL(QString::fromUtf8(text), false)) << text;
    EXPECT_EQ(Opened.size(), 3);
}

TEST_F(OpenURLTest, OtherTargetsAreRefusedWithoutConfirmation) {
    for (const char* text :
         {"/usr/bin/xterm", "file:///usr/bin/xterm", "@example.com", "C:\\Windows\\notepad.exe"})
        EXPECT_FALSE(OpenURL(QString::fromUtf8(text), false)) << text;
    // Without the "http://" in front, a "www" text is no web link either.
    EXPECT_FALSE(OpenURL(QStringLiteral("www.example.com"), true));
    EXPECT_TRUE(Opened.isEmpty());
}

TEST_F(OpenURLTest, OtherTargetsOpenOnceConfirmed) {
    ScopedShellConfirmHook confirm([this](const QString& target) {
        Asked << target;
        return true;
    });
    EXPECT_TRUE(OpenURL(QStringLiteral("/usr/share/doc/readme.txt"), false));
    EXPECT_EQ(Asked, QStringList{QStringLiteral("/usr/share/doc/readme.txt")});
    EXPECT_EQ(Opened, QStringList{QStringLiteral("/usr/share/doc/readme.txt")});
}

TEST_F(OpenURLTest, AnswersWhetherTheDesktopAcceptedTheRequest) {
    Accept = false;
    EXPECT_FALSE(OpenURL(QStringLiteral("www.example.com"), false));
    EXPECT_EQ(Opened, QStringList{QStringLiteral("http://www.example.com")});
}

// ---- StartsWithText ------------------------------------------------------------------------

struct TStartsCase {
    const char* Text;
    int Position;
    const char* Prefix;
    bool Expected;
};

TEST(StartsWithText, ComparesFromAOneBasedPosition) {
    const TStartsCase cases[] = {
        {"hello", 1, "he", true},      {"hello", 2, "ell", true},
        {"hello", 5, "o", true},       {"hello", 1, "hello", true},
        {"hello", 1, "", true},        {"hello", 5, "", true},
        {"hello", 0, "", false},       {"hello", -2, "h", false},
        {"hello", 6, "", false},       {"hello", 4, "lo!", false},
        {"hello", 1, "hello!", false}, {"Hello", 1, "he", false},
        {"hello", 1, "HE", false},     {"", 1, "", false},
        {"hello", 2, "he", false},
    };
    for (const TStartsCase& c : cases)
        EXPECT_EQ(
            StartsWithText(QString::fromUtf8(c.Text), c.Position, QString::fromUtf8(c.Prefix)),
            c.Expected)
            << '"' << c.Text << "\" at " << c.Position << " with \"" << c.Prefix << '"';
}

// ---- WideToUTF8 ----------------------------------------------------------------------------

struct TUtf8Case {
    std::vector<char16_t> Units;
    bool Lenient;
    bool AddBOM;
    const char* Hex;
    uint8_t Status;
};

QString FromUnits(const std::vector<char16_t>& units) {
    return QString(reinterpret_cast<const QChar*>(units.data()), qsizetype(units.size()));
}

TEST(WideToUTF8, ConvertsCodeUnitsByTheirRules) {
    const TUtf8Case cases[] = {
        {{u'A'}, false, false, "41", utf8ConversionOK},
        {{0x7F, 0x80}, false, false, "7fc280", utf8ConversionOK},
        {{0xE9}, false, false, "c3a9", utf8ConversionOK},
        {{0x7FF, 0x800}, false, false, "dfbfe0a080", utf8ConversionOK},
        {{0x20AC, 0xFFFF}, false, false, "e282acefbfbf", utf8ConversionOK},
        {{0xD83D, 0xDE00}, false, false, "f09f9880", utf8ConversionOK},
        {{0xDBFF, 0xDFFF}, false, false, "f48fbfbf", utf8ConversionOK},
        {{}, false, false, "", utf8ConversionOK},
        // A lone low surrogate.
        {{0xDC00}, false, false, "", utf8SourceIllegal},
        {{0xDC00}, true, false, "edb080", utf8ConversionOK},
        {{u'a', u'b', 0xDC00, u'c'}, false, false, "6162", utf8SourceIllegal},
        // A high surrogate not followed by a low one.
        {{0xD800, u'x'}, false, false, "", utf8SourceIllegal},
        {{0xD800, u'x'}, true, false, "eda08078", utf8ConversionOK},
        {{0xDC00, 0xD800, u'y'}, true, false, "edb080eda08079", utf8ConversionOK},
        // A high surrogate in the last position stands for itself.
        {{u'z', 0xDBFF}, false, false, "7aedafbf", utf8ConversionOK},
        {{u'z', 0xDBFF}, true, false, "7aedafbf", utf8ConversionOK},
        // Byte-order mark.
        {{u'A'}, false, true, "efbbbf41", utf8ConversionOK},
        {{}, false, true, "efbbbf", utf8ConversionOK},
        {{0xFEFF, u'A'}, false, true, "efbbbf41", utf8ConversionOK},
        {{0xFEFF, u'A'}, false, false, "efbbbf41", utf8ConversionOK},
        {{u'a', 0xDC00}, false, true, "61", utf8SourceIllegal},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const TUtf8Case& c = cases[i];
        QByteArray out("left over");
        EXPECT_EQ(WideToUTF8(FromUnits(c.Units), out, c.Lenient, c.AddBOM), c.Status)
            << "case " << i;
        EXPECT_EQ(out.toHex(), QByteArray(c.Hex)) << "case " << i;
    }
}

TEST(WideToUTF8, AgreesWithQtOnWellFormedText) {
    const QString text = QString::fromUtf8("Tovra \u00e9\u00df \u20ac \U0001F600 \u4e2d\u6587");
    QByteArray out;
    ASSERT_EQ(WideToUTF8(text, out, false, false), utf8ConversionOK);
    EXPECT_EQ(out, text.toUtf8());
}

// ---- SameTextUnicode -----------------------------------------------------------------------

struct TSameCase {
    const char* A;
    const char* B;
    bool Expected;
};

TEST(SameTextUnicode, IgnoresLetterCase) {
    const TSameCase cases[] = {
        {"URL", "url", true},
        {"URL", "URLs", false},
        {"url", "URL", true},
        {"Link", "lInK", true},
        {"", "", true},
        {"a", "", false},
        {"a", "b", false},
        {"stra\u00dfe", "STRASSE", true},
        {"\u03a3\u038a\u03a3\u03a5\u03a6\u039f\u03a3", "\u03c3\u03af\u03c3\u03c5\u03c6\u03bf\u03c2",
         true},
        {"\u0130", "i\u0307", true},
        {"\u00e9", "\u00c9", true},
        {"\u00e9", "e", false},
    };
    for (const TSameCase& c : cases)
        EXPECT_EQ(SameTextUnicode(QString::fromUtf8(c.A), QString::fromUtf8(c.B)), c.Expected)
            << c.A << " / " << c.B;
}

} // namespace
