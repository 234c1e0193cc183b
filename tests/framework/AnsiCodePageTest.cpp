#include "framework/AnsiCodePage.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <array>
#include <optional>

namespace {

constexpr std::array<unsigned char, 5> kUnassigned = {0x81, 0x8D, 0x8F, 0x90, 0x9D};

bool IsUnassigned(unsigned char byte) {
    for (unsigned char b : kUnassigned) {
        if (b == byte)
            return true;
    }
    return false;
}

// The C library's own Windows-1252 converter, as an independent reading of the code page.
class LibcDecoder {
public:
    LibcDecoder() : FHandle(iconv_open("UTF-32LE", "WINDOWS-1252")) {}
    ~LibcDecoder() {
        if (Available())
            iconv_close(FHandle);
    }
    LibcDecoder(const LibcDecoder&) = delete;
    LibcDecoder& operator=(const LibcDecoder&) = delete;

    bool Available() const { return FHandle != reinterpret_cast<iconv_t>(-1); }

    // The code point of byte, or nothing when the converter does not assign one.
    std::optional<char32_t> Decode(unsigned char byte) {
        iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
        char in = static_cast<char>(byte);
        std::array<unsigned char, 4> out{};
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(out.data());
        size_t inLeft = 1;
        size_t outLeft = out.size();
        if (iconv(FHandle, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
            return std::nullopt;
        return static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) | (out[3] << 24));
    }

private:
    iconv_t FHandle;
};

QByteArray AllBytes() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(static_cast<char>(b));
    return bytes;
}

TEST(AnsiCodePage, EveryByteDecodesAndEncodesBackToItself) {
    const QByteArray bytes = AllBytes();
    const QString text = AnsiToString(bytes);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(StringToAnsi(text), bytes);
}

TEST(AnsiCodePage, TheTableAgreesWithTheCLibrarysWindows1252) {
    LibcDecoder libc;
    if (!libc.Available())
        GTEST_SKIP() << "the C library has no Windows-1252 converter";
    const QString text = AnsiToString(AllBytes());
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const std::optional<char32_t> expected = libc.Decode(byte);
        if (IsUnassigned(byte)) {
            // Unassigned in Windows-1252; they stand for the control character of their number.
            EXPECT_EQ(text.at(b).unicode(), byte) << "byte " << b;
        } else {
            ASSERT_TRUE(expected.has_value()) << "byte " << b;
            EXPECT_EQ(text.at(b).unicode(), *expected) << "byte " << b;
        }
    }
}

TEST(AnsiCodePage, TypographicCharactersHaveTheirBytes) {
    const QString text = QString::fromUtf8("\u20ac \u201cquoted\u201d \u2018x\u2019 \u2026 "
                                           "\u2013\u2014 \u2122 \u0152\u0153 \u0160\u0161 "
                                           "\u017d\u017e \u0178 caf\u00e9 \u00ff");
    EXPECT_EQ(StringToAnsi(text), QByteArray("\x80 \x93quoted\x94 \x91x\x92 \x85 \x96\x97 \x99 "
                                             "\x8c\x9c \x8a\x9a \x8e\x9e \x9f caf\xe9 \xff"));
}

TEST(AnsiCodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    struct Case {
        const char16_t* Text;
        const char* Expected;
    };
    const Case cases[] = {
        {u"\u0100", "?"},              // Latin A with macron: no byte of its own
        {u"\u0080", "?"},              // the control character 0x80 is not 0x80 (that is the euro)
        {u"\u009f", "?"},              // likewise 0x9F, which is Y with diaeresis
        {u"\u0081\u009d", "\x81\x9d"}, // unassigned bytes keep their control characters
        {u"\u4e2d\u6587", "??"},       // one mark per character
        {u"a\U0001F600b", "a?b"},      // a surrogate pair is one character, one mark
        {u"\U0001F600\U0001F600", "??"},
        {u"a\xd800"
         "b",
         "a?b"}, // a lone high surrogate
        {u"a\xdc00"
         "b",
         "a?b"},                 // a lone low surrogate
        {u"\xdc00\xd800", "??"}, // a pair in the wrong order is two lone surrogates
        {u"\xd800", "?"},        // a high surrogate at the very end
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.Text);
        EXPECT_EQ(StringToAnsi(text), QByteArray(c.Expected)) << text.toStdString();
    }
}

TEST(AnsiCodePage, EmptyTextAndNulBytesPassThrough) {
    EXPECT_TRUE(StringToAnsi(QString()).isEmpty());
    EXPECT_TRUE(AnsiToString(QByteArray()).isEmpty());
    const QByteArray withNul("a\0b", 3);
    EXPECT_EQ(AnsiToString(withNul), QString::fromUtf16(u"a\0b", 3));
    EXPECT_EQ(StringToAnsi(AnsiToString(withNul)), withNul);
}

} // namespace
