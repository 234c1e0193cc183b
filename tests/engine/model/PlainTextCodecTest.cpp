#include "engine/model/PlainTextCodec.h"

#include <gtest/gtest.h>

using namespace richedit::model;

TEST(PlainTextCodec, DecodesByMarkAndValidity) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QString expected;
    };
    const Case cases[] = {
        {"plain ascii", "abc", u"abc"_qs},
        {"utf-8",
         "Gr\xC3\xBC\xC3\x9F"
         "e",
         u"Grüße"_qs},
        {"utf-8 with mark", "\xEF\xBB\xBFok", u"ok"_qs},
        {"utf-16le with mark",
         QByteArray("\xFF\xFE"
                    "h\0i\0",
                    6),
         u"hi"_qs},
        {"utf-16be with mark", QByteArray("\xFE\xFF\0h\0i", 6), u"hi"_qs},
        {"windows-1252 fallback", "caf\xE9 \x80 \x93q\x94", u"café € “q”"_qs},
        {"truncated utf-8 is 1252", "x\xC3", u"xÃ"_qs},
        {"empty", "", QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodePlainText(c.bytes), c.expected) << c.name;
}

TEST(PlainTextCodec, Utf16LittleEndianSkipsItsMark) {
    EXPECT_EQ(decodeUtf16LE(QByteArray("\xFF\xFE"
                                       "a\0b\0",
                                       6)),
              u"ab"_qs);
    EXPECT_EQ(decodeUtf16LE(QByteArray("a\0b\0", 4)), u"ab"_qs);
    EXPECT_EQ(decodeUtf16LE(QByteArray("a\0b", 3)), u"a"_qs) << "an odd last byte is dropped";
}
