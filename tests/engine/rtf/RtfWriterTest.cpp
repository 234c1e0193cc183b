#include "engine/rtf/RtfWriter.h"
#include "engine/model/Document.h"
#include "engine/model/PictureObject.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace richedit;
using namespace richedit::model;
using richedit::rtf::BufferSink;
using richedit::rtf::WriteOptions;
using richedit::rtf::writeRtf;

namespace {

// A document built front to back, with helpers for its formats.
struct Doc {
    Document doc;
    DocumentBuilder b{doc};

    CharFormatId cf(const CharFormat& f = {}) { return doc.charFormats().intern(f); }
    ParaFormatId pf(const ParaFormat& f = {}) { return doc.paraFormats().intern(f); }

    Doc& text(const QString& s, CharFormatId f) {
        b.text(s, f);
        return *this;
    }
    Doc& text(const QString& s) { return text(s, cf()); }
    Doc& para(ParaFormatId p) {
        b.endParagraph(p, cf());
        return *this;
    }
    Doc& para() { return para(pf()); }
    Document& finish(ParaFormatId p) {
        b.finish(p, cf());
        return doc;
    }
    Document& finish() { return finish(pf()); }
};

QByteArray rtfOf(const Document& doc, CharPos from, CharPos to, const WriteOptions& o = {}) {
    BufferSink sink;
    EXPECT_TRUE(writeRtf(doc, from, to, sink, o));
    return sink.bytes;
}

QByteArray rtfOf(const Document& doc, const WriteOptions& o = {}) {
    return rtfOf(doc, CharPos(0), doc.end(), o);
}

// What follows the header and the tables.
QByteArray bodyOf(const QByteArray& rtf) {
    const QByteArray start = "\\viewkind4\\uc1\r\n";
    const qsizetype at = rtf.indexOf(start);
    EXPECT_GE(at, 0) << rtf.constData();
    return rtf.mid(at + start.size(), rtf.size() - at - start.size() - 3); // "}\r\n"
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether `word` (like "\b" or "\fs28") occurs as a whole control word.
bool hasWord(const QByteArray& rtf, const QByteArray& word) {
    for (qsizetype at = rtf.indexOf(word); at >= 0; at = rtf.indexOf(word, at + 1)) {
        const qsizetype next = at + word.size();
        const char c = next < rtf.size() ? rtf[next] : ' ';
        const bool endsInDigit = isDigit(word.back());
        if (!isDigit(c) && !(isLetter(c) && !endsInDigit) && !(c == '-' && !endsInDigit))
            return true;
    }
    return false;
}

// Bytes as a string, so that failures show the RTF as text.
std::string str(const QByteArray& bytes) {
    return bytes.toStdString();
}

qsizetype countOf(const QByteArray& rtf, const QByteArray& what) {
    return rtf.count(what);
}

// Whether the braces that are not escaped pair up and the outermost group closes last.
bool bracesBalanced(const QByteArray& rtf) {
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{')
            ++depth;
        if (rtf[i] == '}' && --depth == 0 && rtf.indexOf('{', i) >= 0)
            return false;
        if (depth < 0)
            return false;
    }
    return depth == 0;
}

// A sink that counts its pieces and fails from the n-th on.
class CountingSink : public rtf::ByteSink {
public:
    explicit CountingSink(int failAt = -1) : failAt_(failAt) {}
    bool write(const char* data, int64_t size) override {
        ++calls;
        largest = std::max(largest, size);
        if (calls == failAt_)
            return false;
        bytes.append(data, qsizetype(size));
        return true;
    }
    int calls = 0;
    int64_t largest = 0;
    QByteArray bytes;

private:
    int failAt_;
};

Document& largeDocument(Doc& d, int paragraphs) {
    CharFormat bold;
    bold.effects |= CFE_BOLD;
    const CharFormatId plain = d.cf();
    const CharFormatId b = d.cf(bold);
    for (int i = 0; i < paragraphs; ++i) {
        d.text(QStringLiteral("Paragraph %1 has some text, ").arg(i), plain);
        d.text(QStringLiteral("bold words \u00e9\u20ac"), b);
        d.text(QStringLiteral(" and an end."), plain);
        d.para();
    }
    return d.finish();
}

} // namespace

TEST(RtfWriter, HeaderListsFontsAndColoursInFirstUseOrder) {
    Doc d;
    CharFormat arialRed;
    arialRed.face = QStringLiteral("Arial");
    arialRed.pitchAndFamily = 0x22;
    arialRed.charSet = 0;
    arialRed.lcid = 1033;
    arialRed.effects = CFE_AUTOBACKCOLOR;
    arialRed.textColor = RGB(255, 0, 0);
    CharFormat times;
    times.face = QStringLiteral("Times New Roman");
    times.pitchAndFamily = 0x12;
    times.charSet = 0;
    times.height = 240;
    times.effects = 0;
    times.textColor = RGB(0, 0, 255);
    times.backColor = RGB(255, 255, 0);
    CharFormat arialRedItalic = arialRed;
    arialRedItalic.effects |= CFE_ITALIC;
    Document& doc = d.text(u"one "_qs, d.cf(arialRed))
                        .text(u"two "_qs, d.cf(times))
                        .text(u"three"_qs, d.cf(arialRedItalic))
                        .finish();

    const QByteArray rtf = rtfOf(doc);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033"
                               "{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 Arial;}"
                               "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}"
                               "{\\f2\\fnil\\fcharset1 Arial;}}\r\n"
                               "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;"
                               "\\red255\\green255\\blue0;}\r\n"
                               "\\viewkind4\\uc1\r\n"))
        << rtf.constData();
    EXPECT_TRUE(rtf.endsWith("}\r\n"));
    EXPECT_TRUE(bracesBalanced(rtf));
    const QByteArray body = bodyOf(rtf);
    EXPECT_TRUE(body.contains("\\plain\\f0\\fs20\\cf1\\lang1033 one "));
    EXPECT_TRUE(body.contains("\\plain\\f1\\fs24\\cf2\\highlight3 two "));
    EXPECT_TRUE(body.contains("\\plain\\f0\\fs20\\cf1\\i\\lang1033 three"));
    // The final mark is in the default format: Arial with the default character set.
    EXPECT_TRUE(body.endsWith("\\plain\\f2\\fs20\\par\r\n")) << body.constData();

    WriteOptions plain;
    plain.plainRtf = true;
    const QByteArray basic = rtfOf(doc, plain);
    EXPECT_TRUE(basic.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl"));
    for (const char* word : {"\\nouicompat", "\\deflang1033", "\\lang1033"})
        EXPECT_FALSE(hasWord(basic, word)) << word;
}

TEST(RtfWriter, CharacterFormatsBecomeControlWords) {
    struct Case {
        const char* name;
        std::function<void(CharFormat&)> change;
        std::vector<QByteArray> words;
    };
    std::vector<Case> cases = {
        {"bold", [](CharFormat& f) { f.effects |= CFE_BOLD; }, {"\\b"}},
        {"heavy weight", [](CharFormat& f) { f.weight = 700; }, {"\\b"}},
        {"italic", [](CharFormat& f) { f.effects |= CFE_ITALIC; }, {"\\i"}},
        {"underline", [](CharFormat& f) { f.effects |= CFE_UNDERLINE; }, {"\\ul"}},
        {"strikeout", [](CharFormat& f) { f.effects |= CFE_STRIKEOUT; }, {"\\strike"}},
        {"protected", [](CharFormat& f) { f.effects |= CFE_PROTECTED; }, {"\\protect"}},
        {"small caps", [](CharFormat& f) { f.effects |= CFE_SMALLCAPS; }, {"\\scaps"}},
        {"all caps", [](CharFormat& f) { f.effects |= CFE_ALLCAPS; }, {"\\caps"}},
        {"hidden", [](CharFormat& f) { f.effects |= CFE_HIDDEN; }, {"\\v"}},
        {"outline", [](CharFormat& f) { f.effects |= CFE_OUTLINE; }, {"\\outl"}},
        {"shadow", [](CharFormat& f) { f.effects |= CFE_SHADOW; }, {"\\shad"}},
        {"emboss", [](CharFormat& f) { f.effects |= CFE_EMBOSS; }, {"\\embo"}},
        {"imprint", [](CharFormat& f) { f.effects |= CFE_IMPRINT; }, {"\\impr"}},
        {"disabled", [](CharFormat& f) { f.effects |= CFE_DISABLED; }, {"\\disabled"}},
        {"revised",
         [](CharFormat& f) {
             f.effects |= CFE_REVISED;
             f.revAuthor = 3;
         },
         {"\\revised", "\\revauth3"}},
        {"subscript", [](CharFormat& f) { f.effects |= CFE_SUBSCRIPT; }, {"\\sub"}},
        {"superscript", [](CharFormat& f) { f.effects |= CFE_SUPERSCRIPT; }, {"\\super"}},
        {"raised", [](CharFormat& f) { f.offset = 60; }, {"\\up6"}},
        {"lowered", [](CharFormat& f) { f.offset = -40; }, {"\\dn4"}},
        {"size", [](CharFormat& f) { f.height = 280; }, {"\\fs28"}},
        {"spacing", [](CharFormat& f) { f.spacing = -20; }, {"\\expndtw-20"}},
        {"kerning", [](CharFormat& f) { f.kerning = 240; }, {"\\kerning24"}},
        {"scaling", [](CharFormat& f) { f.charScaleX = 150; }, {"\\charscalex150"}},
        {"language", [](CharFormat& f) { f.lcid = 1036; }, {"\\lang1036"}},
        {"text colour",
         [](CharFormat& f) {
             f.effects &= ~CFE_AUTOCOLOR;
             f.textColor = RGB(1, 2, 3);
         },
         {"\\cf1", "\\red1\\green2\\blue3"}},
        {"back colour",
         [](CharFormat& f) {
             f.effects &= ~CFE_AUTOBACKCOLOR;
             f.backColor = RGB(4, 5, 6);
         },
         {"\\highlight1", "\\red4\\green5\\blue6"}},
    };
    const char* underlines[] = {"\\ul",         "\\ulw",      "\\uldb",   "\\uld",  "\\uldash",
                                "\\uldashd",    "\\uldashdd", "\\ulwave", "\\ulth", "\\ulhair",
                                "\\ululdbwave", "\\ulhwave",  "\\ulldash"};
    for (int type = 1; type <= 13; ++type)
        cases.push_back({underlines[type - 1],
                         [type](CharFormat& f) {
                             f.effects |= CFE_UNDERLINE;
                             f.underlineType = uint8_t(type);
                         },
                         {underlines[type - 1]}});

    for (const Case& c : cases) {
        Doc d;
        CharFormat f;
        c.change(f);
        const QByteArray rtf = rtfOf(d.text(u"x"_qs, d.cf(f)).finish());
        const QByteArray body = bodyOf(rtf);
        for (const QByteArray& w : c.words)
            EXPECT_TRUE(hasWord(rtf, w)) << c.name << ": " << w.constData() << "\n"
                                         << rtf.constData();
        EXPECT_TRUE(body.startsWith("\\pard\\plain\\f0")) << c.name;
    }

    Doc plain;
    const QByteArray body = bodyOf(rtfOf(plain.text(u"x"_qs).finish()));
    EXPECT_EQ(str(body), str("\\pard\\plain\\f0\\fs20 x\\par\r\n"));

    // Raised text is ended explicitly before the next format.
    Doc raised;
    CharFormat super;
    super.effects |= CFE_SUPERSCRIPT;
    raised.text(u"E=mc"_qs).text(u"2"_qs, raised.cf(super)).text(u"."_qs);
    EXPECT_EQ(str(bodyOf(rtfOf(raised.finish()))),
              str("\\pard\\plain\\f0\\fs20 E=mc\\plain\\f0\\fs20\\super 2"
                  "\\nosupersub\\plain\\f0\\fs20.\\par\r\n"));
}

TEST(RtfWriter, ParagraphFormatsBecomeControlWords) {
    const auto tab = [](int32_t pos, int align, int leader) {
        return int32_t(uint32_t(pos) | uint32_t(align) << 24 | uint32_t(leader) << 28);
    };
    struct Case {
        const char* name;
        std::function<void(ParaFormat&)> change;
        QByteArray words; // in the order written
    };
    const std::vector<Case> cases = {
        {"right", [](ParaFormat& f) { f.alignment = PFA_RIGHT; }, "\\qr"},
        {"centre", [](ParaFormat& f) { f.alignment = PFA_CENTER; }, "\\qc"},
        {"justify", [](ParaFormat& f) { f.alignment = PFA_JUSTIFY; }, "\\qj"},
        {"hanging indent",
         [](ParaFormat& f) {
             f.startIndent = 360;
             f.offset = 360;
         },
         "\\fi-360\\li720"},
        {"first line indent",
         [](ParaFormat& f) {
             f.startIndent = 720;
             f.offset = -720;
         },
         "\\fi720"},
        {"right indent", [](ParaFormat& f) { f.rightIndent = 500; }, "\\ri500"},
        {"spacing",
         [](ParaFormat& f) {
             f.spaceBefore = 120;
             f.spaceAfter = 240;
         },
         "\\sb120\\sa240"},
        {"one and a half", [](ParaFormat& f) { f.lineSpacingRule = 1; }, "\\sl360\\slmult1"},
        {"double", [](ParaFormat& f) { f.lineSpacingRule = 2; }, "\\sl480\\slmult1"},
        {"at least",
         [](ParaFormat& f) {
             f.lineSpacingRule = 3;
             f.lineSpacing = 300;
         },
         "\\sl300\\slmult0"},
        {"exactly",
         [](ParaFormat& f) {
             f.lineSpacingRule = 4;
             f.lineSpacing = 300;
         },
         "\\sl-300\\slmult0"},
        {"multiple",
         [](ParaFormat& f) {
             f.lineSpacingRule = 5;
             f.lineSpacing = 30;
         },
         "\\sl360\\slmult1"},
        {"keep", [](ParaFormat& f) { f.effects |= PFE_KEEP; }, "\\keep"},
        {"keep next", [](ParaFormat& f) { f.effects |= PFE_KEEPNEXT; }, "\\keepn"},
        {"page break", [](ParaFormat& f) { f.effects |= PFE_PAGEBREAKBEFORE; }, "\\pagebb"},
        {"right to left", [](ParaFormat& f) { f.effects |= PFE_RTLPARA; }, "\\rtlpar"},
        {"tabs",
         [&](ParaFormat& f) {
             f.tabCount = 5;
             f.tabs[0] = tab(720, 0, 0);
             f.tabs[1] = tab(1440, 1, 1);
             f.tabs[2] = tab(2000, 3, 2);
             f.tabs[3] = tab(3000, 4, 0);
             f.tabs[4] = tab(4000, 2, 5);
         },
         "\\tx720\\tldot\\tqc\\tx1440\\tlhyph\\tqdec\\tx2000\\tb3000\\tleq\\tqr\\tx4000"},
        {"tab leaders",
         [&](ParaFormat& f) {
             f.tabCount = 2;
             f.tabs[0] = tab(100, 0, 3);
             f.tabs[1] = tab(200, 0, 4);
         },
         "\\tlul\\tx100\\tlth\\tx200"},
        {"heading",
         [](ParaFormat& f) {
             f.style = -3;
             f.outlineLevel = 1;
         },
         "\\s2\\outlinelevel1"},
    };
    for (const Case& c : cases) {
        Doc d;
        ParaFormat f;
        c.change(f);
        const QByteArray body = bodyOf(rtfOf(d.text(u"x"_qs).finish(d.pf(f))));
        EXPECT_TRUE(body.startsWith("\\pard" + c.words + "\\plain")) << c.name << "\n"
                                                                     << body.constData();
    }
}

TEST(RtfWriter, ParagraphPropertiesAreWrittenWhenTheyChange) {
    Doc d;
    ParaFormat centred;
    centred.alignment = PFA_CENTER;
    CharFormat big;
    big.height = 400;
    const ParaFormatId c = d.pf(centred);
    d.text(u"a"_qs).para(c).text(u"b"_qs).para(c).text(u"c"_qs);
    d.b.endParagraph(d.pf(), d.cf(big)); // a mark in its own format
    const QByteArray body = bodyOf(rtfOf(d.finish()));
    EXPECT_EQ(str(body), str("\\pard\\qc\\plain\\f0\\fs20 a\\par\r\n"
                             "b\\par\r\n"
                             "\\pard c\\plain\\f0\\fs40\\par\r\n"
                             "\\plain\\f0\\fs20\\par\r\n"));
}

TEST(RtfWriter, SpecialCharactersAreEscaped) {
    struct Case {
        QString text;
        QByteArray written;
    };
    const std::vector<Case> cases = {
        {u"a\\b{c}"_qs, " a\\\\b\\{c\\}"},
        {u"\\x"_qs, "\\\\x"},
        {u"x\ty\vz"_qs, " x\\tab y\\line z"},
        {u"\t \t2\t-\t."_qs, "\\tab  \\tab 2\\tab -\\tab."},
        {u"n\u00A0s\u00ADh\u2011d"_qs, " n\\~s\\-h\\_d"},
        {u"caf\u00e9 \u20ac5 \u201cq\u201d"_qs, " caf\\'e9 \\'805 \\'93q\\'94"},
        {u"\u0416\u4e2d"_qs, "\\u1046?\\u20013?"},
        {u"\U0001F600!"_qs, "\\u-10179?\\u-8704?!"},
        {u"\uF020 1"_qs, "\\u-4064? 1"},
        {u"a\uFFFCb"_qs, " ab"}, // an object character without an object
        {u"\u0001"_qs, "\\u1?"},
    };
    for (const Case& c : cases) {
        Doc d;
        const QByteArray body = bodyOf(rtfOf(d.text(c.text).finish()));
        EXPECT_EQ(str(body), str("\\pard\\plain\\f0\\fs20" + c.written + "\\par\r\n"))
            << c.text.toStdString();
    }

    // A font of another character set reads \'hh in its own code page: use \u there.
    Doc d;
    CharFormat cyrillic;
    cyrillic.charSet = 204;
    const QByteArray rtf = rtfOf(d.text(u"\u00e9"_qs, d.cf(cyrillic)).finish());
    EXPECT_TRUE(rtf.contains("\\fcharset204 Arial;"));
    EXPECT_TRUE(bodyOf(rtf).startsWith("\\pard\\plain\\f0\\fs20\\u233?")) << rtf.constData();
}

TEST(RtfWriter, LinksBecomeHyperlinkFields) {
    Doc d;
    CharFormat link;
    link.effects |= CFE_LINK;
    link.linkTarget = u"http://x.org/a\"b\\c"_qs;
    CharFormat boldLink = link;
    boldLink.effects |= CFE_BOLD;
    CharFormat bare;
    bare.effects |= CFE_LINK;
    Document& doc = d.text(u"see "_qs)
                        .text(u"the "_qs, d.cf(link))
                        .text(u"site"_qs, d.cf(boldLink))
                        .text(u" or "_qs)
                        .text(u"www.q.com"_qs, d.cf(bare))
                        .finish();
    const QByteArray body = bodyOf(rtfOf(doc));
    EXPECT_EQ(countOf(body, "\\field"), 2);
    EXPECT_TRUE(body.contains("see {\\field{\\*\\fldinst{HYPERLINK "
                              "\"http://x.org/a\\\\\"b\\\\\\\\c\"}}"
                              "{\\fldrslt{\\plain\\f0\\fs20 the \\plain\\f0\\fs20\\b site}}}"
                              " or "))
        << body.constData();
    EXPECT_TRUE(body.contains("{\\field{\\*\\fldinst{HYPERLINK \"www.q.com\"}}"
                              "{\\fldrslt{\\plain\\f0\\fs20 www.q.com}}}"))
        << body.constData();
    EXPECT_TRUE(bracesBalanced(rtfOf(doc)));
}

TEST(RtfWriter, PicturesAreWrittenAsHex) {
    QByteArray data;
    for (int i = 0; i < 100; ++i)
        data.append(char(i));
    const QByteArray hex = data.toHex();
    const QByteArray lines = hex.left(128) + "\r\n" + hex.mid(128);

    struct Case {
        PictureFormat format;
        QByteArray header;
    };
    const std::vector<Case> cases = {
        {PictureFormat::Png, "\\pngblip"},
        {PictureFormat::Jpeg, "\\jpegblip"},
        {PictureFormat::Emf, "\\emfblip"},
        {PictureFormat::Wmf, "\\wmetafile8"},
        {PictureFormat::Dib, "\\dibitmap0"},
        {PictureFormat::DeviceBitmap, "\\wbitmap0\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes4"},
    };
    for (const Case& c : cases) {
        auto pic = std::make_shared<PictureObject>();
        pic->format = c.format;
        pic->data = data;
        pic->width = 10;
        pic->height = 20;
        pic->goalWidth = 300;
        pic->goalHeight = 400;
        pic->bitsPerPixel = 1;
        pic->planes = 1;
        pic->widthBytes = 4;
        Doc d;
        d.text(u"a"_qs);
        d.b.object(pic, d.cf());
        const QByteArray body = bodyOf(rtfOf(d.text(u"b"_qs).finish()));
        EXPECT_EQ(str(body),
                  str("\\pard\\plain\\f0\\fs20 a{\\pict" + c.header +
                      "\\picw10\\pich20\\picwgoal300\\pichgoal400 " + lines + "}b\\par\r\n"));
    }

    // Goal sizes of 0 and scales of 100 are left out; other scales are written.
    auto scaled = std::make_shared<PictureObject>();
    scaled->format = PictureFormat::Png;
    scaled->data = "\x01\xff";
    scaled->width = 1;
    scaled->height = 1;
    scaled->scaleX = 50;
    Doc s;
    s.b.object(scaled, s.cf());
    EXPECT_TRUE(rtfOf(s.finish()).contains("{\\pict\\pngblip\\picw1\\pich1\\picscalex50 01ff}"));

    // Unknown pictures, and every picture when objects are left out, write nothing.
    auto unknown = std::make_shared<PictureObject>();
    unknown->data = data;
    Doc u;
    u.b.object(unknown, u.cf());
    EXPECT_FALSE(rtfOf(u.finish()).contains("\\pict"));
    WriteOptions noObjects;
    noObjects.objects = false;
    EXPECT_EQ(str(bodyOf(rtfOf(s.doc, noObjects))), str("\\pard\\plain\\f0\\fs20\\par\r\n"));
}

TEST(RtfWriter, ObjectsKeepClassNameDataAndResult) {
    auto ole = std::make_shared<OleObjectData>();
    ole->kind = "objemb";
    ole->className = "Paint.Picture";
    ole->name = "";
    ole->data = "\x01\x02\xab";
    ole->width = 1440;
    ole->height = 720;
    ole->result = std::make_shared<PictureObject>();
    ole->result->format = PictureFormat::Wmf;
    ole->result->metafileMapping = 8;
    ole->result->width = 2540;
    ole->result->height = 1270;
    ole->result->data = "\xcd";
    Doc d;
    d.b.object(ole, d.cf());
    const QByteArray rtf = rtfOf(d.finish());
    EXPECT_TRUE(rtf.contains("{\\object\\objemb\\objw1440\\objh720{\\*\\objclass Paint.Picture}"
                             "{\\*\\objdata 0102ab}"
                             "{\\result {\\pict\\wmetafile8\\picw2540\\pich1270 cd}}}"))
        << rtf.constData();
    EXPECT_FALSE(rtf.contains("\\objname"));

    WriteOptions noObjects;
    noObjects.objects = false;
    EXPECT_FALSE(rtfOf(d.doc, noObjects).contains("\\object"));
}

TEST(RtfWriter, TableRowsWriteCellsWithTheirEdges) {
    Doc d;
    ParaFormat row;
    row.effects |= PFE_TABLE;
    row.tabCount = 2;
    row.tabs[0] = 2000;
    row.tabs[1] = 4000;
    const ParaFormatId r = d.pf(row);
    Document& doc =
        d.text(u"a\tb\tc\td"_qs).para(r).text(u"e\tf"_qs).para(r).text(u"after"_qs).finish();
    const QByteArray body = bodyOf(rtfOf(doc));
    EXPECT_EQ(str(body),
              str("\\trowd\\trgaph108\\cellx2000\\cellx4000\\cellx5440\\cellx6880"
                  "\\pard\\intbl\\plain\\f0\\fs20 a\\cell b\\cell c\\cell d\\cell\\row\r\n"
                  "\\trowd\\trgaph108\\cellx2000\\cellx4000\\pard\\intbl e\\cell f\\cell\\row\r\n"
                  "\\pard after\\par\r\n"));

    // A row cut by the range: its cells from the first one written, or plain text without
    // its mark.
    EXPECT_EQ(str(bodyOf(rtfOf(doc, CharPos(2), CharPos(9)))),
              str("\\trowd\\trgaph108\\cellx4000\\cellx5440\\cellx6880"
                  "\\pard\\intbl\\plain\\f0\\fs20 b\\cell c\\cell d\\cell\\row\r\n"
                  "\\pard\\tx2000\\tx4000 e"));
}

TEST(RtfWriter, NumberedParagraphsCarryTheirNumbers) {
    const auto numbering = [](uint16_t kind, uint16_t style, uint16_t start) {
        ParaFormat f;
        f.numbering = kind;
        f.numberingStyle = style;
        f.numberingStart = start;
        f.numberingTab = 360;
        f.startIndent = 360;
        f.offset = 360;
        return f;
    };
    struct Case {
        const char* name;
        ParaFormat format;
        std::vector<QByteArray> numbers; // of three paragraphs in a row
        QByteArray group;
    };
    const std::vector<Case> cases = {
        {"arabic",
         numbering(PFN_ARABIC, PFNS_PERIOD, 0),
         {"1.", "2.", "3."},
         "{\\*\\pn\\pnlvlbody\\pndec\\pnstart1\\pnindent360{\\pntxta .}}"},
        {"lower roman",
         numbering(PFN_LCROMAN, PFNS_PAREN, 4),
         {"iv)", "v)", "vi)"},
         "{\\*\\pn\\pnlvlbody\\pnlcrm\\pnstart4\\pnindent360{\\pntxta )}}"},
        {"upper roman",
         numbering(PFN_UCROMAN, PFNS_PLAIN, 1999),
         {"MCMXCIX", "MM", "MMI"},
         "{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart1999\\pnindent360}"},
        {"upper letter",
         numbering(PFN_UCLETTER, PFNS_PARENS, 1),
         {"(A)", "(B)", "(C)"},
         "{\\*\\pn\\pnlvlbody\\pnucltr\\pnstart1\\pnindent360{\\pntxtb (}{\\pntxta )}}"},
        {"lower letter",
         numbering(PFN_LCLETTER, PFNS_PERIOD, 26),
         {"z.", "aa.", "bb."},
         "{\\*\\pn\\pnlvlbody\\pnlcltr\\pnstart26\\pnindent360{\\pntxta .}}"},
    };
    for (const Case& c : cases) {
        Doc d;
        const ParaFormatId n = d.pf(c.format);
        d.text(u"one"_qs).para(n).text(u"two"_qs).para(n).text(u"three"_qs).para(n);
        d.text(u"plain"_qs).para().text(u"again"_qs).para(n);
        const Document& doc = d.finish();
        const QByteArray body = bodyOf(rtfOf(doc));
        EXPECT_TRUE(body.startsWith("\\pard{\\pntext " + c.numbers[0] + "\\tab}" + c.group +
                                    "\\fi-360\\li720\\plain\\f0\\fs20 one\\par\r\n"))
            << c.name << "\n"
            << body.constData();
        EXPECT_TRUE(body.contains("{\\pntext " + c.numbers[1] + "\\tab}two")) << c.name;
        EXPECT_TRUE(body.contains("{\\pntext " + c.numbers[2] + "\\tab}three")) << c.name;
        // A plain paragraph ends the list; the next list starts anew.
        EXPECT_TRUE(body.contains("{\\pntext " + c.numbers[0] + "\\tab}" + c.group +
                                  "\\fi-360\\li720 again"))
            << c.name;
        // A range that starts inside the list counts from the list's start.
        const QByteArray part = bodyOf(rtfOf(doc, CharPos(8), doc.end()));
        EXPECT_TRUE(part.startsWith("\\pard{\\pntext " + c.numbers[2] + "\\tab}")) << c.name;
    }
}

TEST(RtfWriter, BulletsUseTheSymbolFont) {
    Doc d;
    ParaFormat bullet;
    bullet.numbering = PFN_BULLET;
    bullet.numberingTab = 0;
    const ParaFormatId b = d.pf(bullet);
    const QByteArray rtf = rtfOf(d.text(u"x"_qs).para(b).text(u"y"_qs).para(b).finish());
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset1 Arial;}"
                             "{\\f1\\fnil\\fcharset2 Symbol;}}"))
        << rtf.constData();
    EXPECT_EQ(str(bodyOf(rtf)), str("\\pard{\\pntext\\f1 \\'b7\\tab}"
                                    "{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}"
                                    "\\plain\\f0\\fs20 x\\par\r\n"
                                    "{\\pntext\\f1 \\'b7\\tab}y\\par\r\n"
                                    "\\pard\\par\r\n"));
}

TEST(RtfWriter, HeadingsGetAStylesheet) {
    Doc d;
    ParaFormat h1;
    h1.style = -2;
    ParaFormat h3;
    h3.style = -4;
    h3.outlineLevel = 2;
    ParaFormat body;
    body.outlineLevel = 5; // an outline level is kept on any paragraph
    const QByteArray rtf = rtfOf(d.text(u"Title"_qs)
                                     .para(d.pf(h3))
                                     .text(u"Top"_qs)
                                     .para(d.pf(h1))
                                     .text(u"text"_qs)
                                     .finish(d.pf(body)));
    EXPECT_TRUE(rtf.contains("}\r\n{\\stylesheet{\\s0 Normal;}{\\s1 heading 1;}"
                             "{\\s3 heading 3;}}\r\n\\viewkind4"))
        << rtf.constData();
    const QByteArray written = bodyOf(rtf);
    EXPECT_TRUE(written.startsWith("\\pard\\s3\\outlinelevel2\\plain"));
    EXPECT_TRUE(written.contains("\\pard\\s1\\plain\\f0\\fs20 Top"));
    EXPECT_TRUE(hasWord(written, "\\outlinelevel5"));

    Doc plain;
    EXPECT_FALSE(rtfOf(plain.text(u"x"_qs).finish()).contains("\\stylesheet"));
}

TEST(RtfWriter, DocumentInformationIsWrittenAfterTheTables) {
    Doc d;
    Document& doc = d.text(u"x"_qs).finish();
    doc.setInfoGroup("{\\info{\\title The \\'e9 title}{\\author Someone}}");
    const QByteArray rtf = rtfOf(doc);
    EXPECT_TRUE(rtf.contains(";}\r\n{\\info{\\title The \\'e9 title}{\\author Someone}}\r\n"
                             "\\viewkind4\\uc1\r\n"))
        << rtf.constData();
}

TEST(RtfWriter, RangesWriteTheirShareOfTheText) {
    Doc d;
    Document& doc =
        d.text(u"Hello world"_qs).para().text(u"Second"_qs).para().text(u"Third"_qs).finish();
    struct Case {
        int32_t from;
        int32_t to;
        QByteArray body;
    };
    const QByteArray start = "\\pard\\plain\\f0\\fs20 ";
    const std::vector<Case> cases = {
        {2, 7, start + "llo w"},
        {0, 11, start + "Hello world"},
        {6, 14, start + "world\\par\r\nSe"},
        {12, 19, start + "Second\\par\r\n"},
        // Reaching the end of the text takes the final mark along.
        {14, doc.end().v, start + "cond\\par\r\nThird\\par\r\n"},
        {0, doc.end().v + 10, start + "Hello world\\par\r\nSecond\\par\r\nThird\\par\r\n"},
        {3, 3, ""},
        {7, 3, ""},
    };
    for (const Case& c : cases) {
        const QByteArray rtf = rtfOf(doc, CharPos(c.from), CharPos(c.to));
        EXPECT_EQ(str(bodyOf(rtf)), str(c.body)) << c.from << ".." << c.to;
        EXPECT_TRUE(bracesBalanced(rtf));
    }

    Document empty;
    EXPECT_EQ(str(bodyOf(rtfOf(empty))), str("\\pard\\plain\\f0\\fs20\\par\r\n"));
}

TEST(RtfWriter, SameDocumentSameBytesInSmallPieces) {
    Doc d;
    const Document& doc = largeDocument(d, 3000);
    CountingSink first;
    CountingSink second;
    ASSERT_TRUE(writeRtf(doc, CharPos(0), doc.end(), first));
    ASSERT_TRUE(writeRtf(doc, CharPos(0), doc.end(), second));
    EXPECT_EQ(first.bytes, second.bytes);
    EXPECT_GT(first.calls, 10) << "written in pieces";
    EXPECT_LE(first.largest, 8192);
    EXPECT_TRUE(bracesBalanced(first.bytes));
    EXPECT_EQ(countOf(first.bytes, "\\par\r\n"), 3001);
    EXPECT_EQ(countOf(first.bytes, "\\plain"), 3000 * 2 + 1);
}

TEST(RtfWriter, FailingSinkStopsTheWriter) {
    Doc d;
    const Document& doc = largeDocument(d, 2000);
    for (int failAt : {1, 2, 7}) {
        CountingSink sink(failAt);
        EXPECT_FALSE(writeRtf(doc, CharPos(0), doc.end(), sink));
        EXPECT_EQ(sink.calls, failAt) << "nothing is written after the failure";
    }
}
