#include "engine/rtf/RtfReader.h"
#include "engine/model/PictureObject.h"

#include <gtest/gtest.h>

using namespace richedit;
using namespace richedit::model;

namespace {

struct Loaded {
    Document doc;
    rtf::ReadResult result;
    QString text() const { return doc.text(CharPos(0), doc.end()); }
    const CharFormat& charAt(int pos) const {
        return doc.charFormats()[doc.charFormatIdAt(CharPos(pos))];
    }
    const ParaFormat& para(int index) const {
        return doc.paraFormats()[doc.paraFormatId(ParaIndex(index))];
    }
};

std::unique_ptr<Loaded> load(const QByteArray& rtf, rtf::ReadOptions options = {}) {
    auto l = std::make_unique<Loaded>();
    rtf::BufferSource src(rtf);
    l->result = rtf::readRtf(src, l->doc, options);
    return l;
}

} // namespace

TEST(RtfReader, RefusesInputWithoutHeader) {
    for (const char* input : {"", "hello", "{\\rt", "{rtf1}", "\xEF\xBB\xBF{\\rtf1 x}"}) {
        auto l = load(input);
        EXPECT_EQ(l->result.status, rtf::ReadResult::NotRtf) << input;
        EXPECT_EQ(l->text(), QString()) << input;
    }
    EXPECT_EQ(load("  \r\n{\\rtf1 ok}")->result.status, rtf::ReadResult::Ok);
}

TEST(RtfReader, TextParagraphsAndTheFinalMark) {
    struct Case {
        const char* rtf;
        QString text;
    };
    const Case cases[] = {
        {"{\\rtf1 Hello}", u"Hello"_qs},
        {"{\\rtf1 Hello\\par}", u"Hello"_qs},
        {"{\\rtf1 Hello\\par\\par}", u"Hello\r"_qs},
        {"{\\rtf1 a\\par b\\line c\\tab d}", u"a\rb\vc\td"_qs},
        {"{\\rtf1 x\\~y\\-z\\_w}", u"x\u00A0y\u00ADz\u2011w"_qs},
        {"{\\rtf1 \\{\\}\\\\}", u"{}\\"_qs},
        {"{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet}", u"—–‘’“”•"_qs},
        {"{\\rtf1 line\r\nbreaks\r\n are ignored}", u"linebreaks are ignored"_qs},
        {"{\\rtf1 a\\\r\nb}", u"a\rb"_qs},
        {"{\\rtf1 {\\*\\unknown skipped}{\\header head}{\\footnote note}kept}", u"kept"_qs},
        {"{\\rtf1 truncated {\\b bold", u"truncated bold"_qs},
        {"{\\rtf1 after}trailing garbage", u"after"_qs},
        {"{\\rtf1 x}}}}}", u"x"_qs},
        {"{\\rtf1 a\\sect b\\page c}", u"a\rbc"_qs},
    };
    for (const Case& c : cases) {
        auto l = load(c.rtf);
        EXPECT_EQ(l->result.status, rtf::ReadResult::Ok) << c.rtf;
        EXPECT_EQ(l->text(), c.text) << c.rtf;
    }
}

TEST(RtfReader, UnicodeFallbacksAndCodePages) {
    struct Case {
        const char* name;
        QByteArray rtf;
        QString text;
    };
    const Case cases[] = {
        {"\\u with one fallback", "{\\rtf1 \\u8364?x}", u"€x"_qs},
        {"\\uc2 skips two", "{\\rtf1\\uc2 \\u8364\\'80\\'80y}", u"€y"_qs},
        {"\\uc0 skips none", "{\\rtf1\\uc0 \\u8364 z}", u"€z"_qs},
        {"negative \\u", "{\\rtf1 \\u-3913?}", u"\uF0B7"_qs},
        {"group end stops skipping", "{\\rtf1\\uc3 {\\u233 a}bc}", u"ébc"_qs},
        {"fallback counts a control word", "{\\rtf1 \\u233\\'e9!}", u"é!"_qs},
        {"1252", "{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80}", u"café €"_qs},
        {"1251 by \\ansicpg", "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", u"При"_qs},
        {"1250 by font charset",
         "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset238 Arial CE;}}\\f1 \\'9a\\'e8}",
         u"šč"_qs},
        {"Shift-JIS pairs", "{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\\'96\\'7b}", u"日本"_qs},
        {"GBK by charset 134",
         "{\\rtf1{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0 \\'d6\\'d0\\'ce\\'c4}", u"中文"_qs},
        {"lone surrogate kept", "{\\rtf1 \\u-10240?}", QString(QChar(0xD800))},
        {"bad hex dropped", "{\\rtf1 a\\'zzb}", u"azzb"_qs},
    };
    for (const Case& c : cases)
        EXPECT_EQ(load(c.rtf)->text(), c.text) << c.name;
}

TEST(RtfReader, CharacterFormatting) {
    auto l =
        load("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\\fprq2 Times New Roman;}"
             "{\\f1\\fswiss\\fcharset0 Arial;}}"
             "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
             "\\f1\\fs20 a{\\b b}{\\i i}{\\uldb u}{\\ulwave w}{\\strike s}{\\cf1 r}"
             "{\\highlight2 h}{\\sub 2}{\\super 3}{\\up6 o}{\\v h}{\\protect p}{\\caps c}"
             "{\\scaps k}{\\expndtw20 e}{\\lang1031 g}{\\plain n}{\\b\\b0 x}{\\charscalex80 q}}");
    const CharFormat& base = l->charAt(0);
    EXPECT_EQ(base.face, u"Arial"_qs);
    EXPECT_EQ(base.height, 200);
    EXPECT_EQ(base.pitchAndFamily & 0xF0, 0x20);
    struct Case {
        int pos;
        std::function<bool(const CharFormat&)> check;
        const char* what;
    };
    const Case cases[] = {
        {1, [](const CharFormat& f) { return (f.effects & CFE_BOLD) && f.weight == 700; }, "bold"},
        {2, [](const CharFormat& f) { return f.effects & CFE_ITALIC; }, "italic"},
        {3,
         [](const CharFormat& f) {
             return f.underlineType == CFU_UNDERLINEDOUBLE && (f.effects & CFE_UNDERLINE);
         },
         "double underline"},
        {4, [](const CharFormat& f) { return f.underlineType == CFU_UNDERLINEWAVE; }, "wave"},
        {5, [](const CharFormat& f) { return f.effects & CFE_STRIKEOUT; }, "strike"},
        {6,
         [](const CharFormat& f) {
             return !(f.effects & CFE_AUTOCOLOR) && f.textColor == RGB(255, 0, 0);
         },
         "red"},
        {7,
         [](const CharFormat& f) {
             return !(f.effects & CFE_AUTOBACKCOLOR) && f.backColor == RGB(0, 0, 255);
         },
         "highlight"},
        {8, [](const CharFormat& f) { return f.effects & CFE_SUBSCRIPT; }, "sub"},
        {9, [](const CharFormat& f) { return f.effects & CFE_SUPERSCRIPT; }, "super"},
        {10, [](const CharFormat& f) { return f.offset == 60; }, "up"},
        {11, [](const CharFormat& f) { return f.effects & CFE_HIDDEN; }, "hidden"},
        {12, [](const CharFormat& f) { return f.effects & CFE_PROTECTED; }, "protected"},
        {13, [](const CharFormat& f) { return f.effects & CFE_ALLCAPS; }, "caps"},
        {14, [](const CharFormat& f) { return f.effects & CFE_SMALLCAPS; }, "small caps"},
        {15, [](const CharFormat& f) { return f.spacing == 20; }, "spacing"},
        {16, [](const CharFormat& f) { return f.lcid == 1031; }, "language"},
        {17,
         [](const CharFormat& f) {
             return f.face == u"Times New Roman"_qs && f.height == 240 && !(f.effects & CFE_BOLD);
         },
         "plain resets to the default font"},
        {18, [](const CharFormat& f) { return !(f.effects & CFE_BOLD); }, "\\b0"},
        {19, [](const CharFormat& f) { return f.charScaleX == 80; }, "scaling kept"},
    };
    ASSERT_EQ(l->text(), u"abiuwsrh23ohpckegnxq"_qs);
    for (const Case& c : cases)
        EXPECT_TRUE(c.check(l->charAt(c.pos))) << c.what;
    EXPECT_TRUE(l->charAt(1).face == u"Arial"_qs) << "a group inherits the font";
}

TEST(RtfReader, ParagraphFormatting) {
    auto l = load("{\\rtf1 \\pard\\qc\\li720\\fi-360\\ri144\\sb120\\sa240\\sl360\\slmult1 one\\par"
                  "\\pard\\qj\\sl-300\\slmult0\\keepn\\keep\\tx720\\tqr\\tldot\\tx4320\\tqc\\tx2000"
                  "\\tb3000 two\\par"
                  "\\pard\\sl480\\slmult1 three\\par\\pard\\sl276\\slmult1 four\\par"
                  "\\pard\\sl300 five}");
    ASSERT_EQ(l->doc.paragraphCount(), 5);
    const ParaFormat& p0 = l->para(0);
    EXPECT_EQ(p0.alignment, PFA_CENTER);
    EXPECT_EQ(p0.startIndent, 360) << "first line at \\li + \\fi";
    EXPECT_EQ(p0.offset, 360) << "the others hang back to \\li";
    EXPECT_EQ(p0.rightIndent, 144);
    EXPECT_EQ(p0.spaceBefore, 120);
    EXPECT_EQ(p0.spaceAfter, 240);
    EXPECT_EQ(p0.lineSpacingRule, 1);
    const ParaFormat& p1 = l->para(1);
    EXPECT_EQ(p1.alignment, PFA_JUSTIFY);
    EXPECT_EQ(p1.lineSpacingRule, 4);
    EXPECT_EQ(p1.lineSpacing, 300);
    EXPECT_EQ(p1.effects, PFE_KEEP | PFE_KEEPNEXT);
    ASSERT_EQ(p1.tabCount, 4);
    EXPECT_EQ(p1.tabs[0], 720);
    EXPECT_EQ(p1.tabs[1], 4320 | (2 << 24) | (1 << 28));
    EXPECT_EQ(p1.tabs[2], 2000 | (1 << 24));
    EXPECT_EQ(p1.tabs[3], 3000 | (4 << 24));
    EXPECT_EQ(l->para(2).lineSpacingRule, 2);
    EXPECT_EQ(l->para(3).lineSpacingRule, 5);
    EXPECT_EQ(l->para(3).lineSpacing, 23);
    EXPECT_EQ(l->para(4).lineSpacingRule, 3);
    EXPECT_EQ(l->para(4).lineSpacing, 300);
}

TEST(RtfReader, NumberingInBothForms) {
    auto l = load(
        "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc4\\levelstartat3"
        "{\\leveltext\\'02\\'00);}{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid7}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}}"
        "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent360{\\pntxtb\\'B7}}bullet\\par"
        "\\pard{\\pntext 4.\\tab}{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart4\\pnindent300"
        "{\\pntxta .}}roman\\par"
        "\\pard{\\listtext c)\\tab}\\ls1\\ilvl0 letter\\par\\pard plain}");
    EXPECT_EQ(l->text(), u"bullet\rroman\rletter\rplain"_qs) << "number text is not document text";
    EXPECT_EQ(l->para(0).numbering, PFN_BULLET);
    EXPECT_EQ(l->para(0).numberingTab, 360);
    EXPECT_EQ(l->para(1).numbering, PFN_UCROMAN);
    EXPECT_EQ(l->para(1).numberingStart, 4);
    EXPECT_EQ(l->para(1).numberingStyle, PFNS_PERIOD);
    EXPECT_EQ(l->para(2).numbering, PFN_LCLETTER);
    EXPECT_EQ(l->para(2).numberingStart, 3);
    EXPECT_EQ(l->para(2).numberingStyle, PFNS_PAREN);
    EXPECT_EQ(l->para(3).numbering, 0) << "\\pard ends the numbering";
}

TEST(RtfReader, FieldsLinksAndTables) {
    auto l = load("{\\rtf1 See {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/a\"}}"
                  "{\\fldrslt{\\ul\\cf1 the site}}} and {\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}."
                  "\\par\\trowd\\cellx1000\\cellx2500\\cellx4000\\pard\\intbl A\\cell B1\\par B2"
                  "\\cell\\cell\\row\\pard after}");
    EXPECT_EQ(l->text(), u"See the site and 7.\rA\tB1\vB2\t\rafter"_qs);
    const CharFormat& link = l->charAt(5);
    EXPECT_TRUE(link.effects & CFE_LINK);
    EXPECT_EQ(link.linkTarget, u"https://example.org/a"_qs);
    EXPECT_FALSE(l->charAt(17).effects & CFE_LINK) << "other fields keep only their result";
    const ParaFormat& row = l->para(1);
    EXPECT_TRUE(row.effects & PFE_TABLE);
    ASSERT_EQ(row.tabCount, 2);
    EXPECT_EQ(row.tabs[0], 1000);
    EXPECT_EQ(row.tabs[1], 2500);
    EXPECT_FALSE(l->para(2).effects & PFE_TABLE);
}

TEST(RtfReader, PicturesObjectsStylesAndInfo) {
    auto l = load("{\\rtf1{\\stylesheet{\\s0 Normal;}{\\s2\\sb240\\b\\fs32 heading 2;}}"
                  "{\\info{\\title The \\'e9t\\'e9}{\\author Me}}"
                  "\\pard\\s2 Title\\par\\pard "
                  "{\\pict\\pngblip\\picw2\\pich3\\picwgoal600\\pichgoal900 89504e47 0d0a}"
                  "{\\*\\shppict{\\pict\\jpegblip ffd8}}{\\nonshppict{\\pict\\wmetafile8 0102}}"
                  "{\\pict\\emfblip\\bin3 \x01\x02\x7d}"
                  "{\\object\\objemb\\objw100\\objh50{\\*\\objclass Paint.Picture}"
                  "{\\*\\objdata 0a0b}{\\result{\\pict\\wmetafile8 cafe}}}end}");
    EXPECT_EQ(l->text(), u"Title\r\uFFFC\uFFFC\uFFFC\uFFFCend"_qs);
    const ParaFormat& heading = l->para(0);
    EXPECT_EQ(heading.style, -3) << "heading 2";
    EXPECT_EQ(heading.spaceBefore, 240);
    EXPECT_TRUE(l->charAt(0).effects & CFE_BOLD) << "the style's character format";
    EXPECT_EQ(l->charAt(0).height, 320);

    const Paragraph& p = l->doc.paragraph(ParaIndex(1));
    ASSERT_EQ(p.objects.size(), 4u);
    auto png = std::dynamic_pointer_cast<PictureObject>(p.objects[0].object);
    ASSERT_TRUE(png);
    EXPECT_EQ(png->format, PictureFormat::Png);
    EXPECT_EQ(png->data, QByteArray::fromHex("89504e470d0a"));
    EXPECT_EQ(png->goalWidth, 600);
    EXPECT_EQ(png->height, 3);
    auto jpeg = std::dynamic_pointer_cast<PictureObject>(p.objects[1].object);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->format, PictureFormat::Jpeg) << "the alternative picture is skipped";
    auto emf = std::dynamic_pointer_cast<PictureObject>(p.objects[2].object);
    ASSERT_TRUE(emf);
    EXPECT_EQ(emf->data, QByteArray("\x01\x02\x7d", 3)) << "binary data, braces and all";
    auto obj = std::dynamic_pointer_cast<OleObjectData>(p.objects[3].object);
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj->className, "Paint.Picture");
    EXPECT_EQ(obj->data, QByteArray::fromHex("0a0b"));
    EXPECT_EQ(obj->width, 100);
    ASSERT_TRUE(obj->result);
    EXPECT_EQ(obj->result->data, QByteArray::fromHex("cafe"));
    EXPECT_TRUE(l->doc.infoGroup().startsWith("{\\info"));
    EXPECT_TRUE(l->doc.infoGroup().contains("Me"));
}

TEST(RtfReader, HostileInputStaysBounded) {
    struct Case {
        const char* name;
        QByteArray rtf;
    };
    const Case cases[] = {
        {"deep nesting", "{\\rtf1 " + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}')},
        {"huge \\bin", "{\\rtf1 {\\pict\\pngblip\\bin2147483647 abc}}"},
        {"long numbers",
         "{\\rtf1 \\fs99999999999999999999999999999999999999999999999999 x\\u-99999999999999}"},
        {"long word", "{\\rtf1 \\" + QByteArray(5000, 'a') + " x}"},
        {"NUL bytes", QByteArray("{\\rtf1 a\0b\0}", 11)},
        {"many fonts",
         [] {
             QByteArray b = "{\\rtf1{\\fonttbl";
             for (int i = 0; i < 100000; ++i)
                 b += "{\\f" + QByteArray::number(i) + " F;}";
             return b + "}\\f99999 x}";
         }()},
        {"unmatched closers", "{\\rtf1 }}}}}{{{{"},
        {"lone backslash", "{\\rtf1 \\"},
        {"bad hex at the end", "{\\rtf1 \\'"},
        {"cells without rows", "{\\rtf1 a\\cell b\\cell}"},
        {"row without cells", "{\\rtf1 \\row\\row x}"},
        {"\\uc huge", "{\\rtf1\\uc2000000000 \\u65 abc}"},
        {"extreme parameters",
         "{\\rtf1 \\fi-2147483648\\li2147483647\\ri-2147483648\\up2147483647\\dn-2147483648"
         "\\expnd2147483647\\kerning-2147483648\\fs-2147483648\\sl-2147483648\\slmult1"
         "\\tx-5\\tx2147483647\\cellx-2147483648\\ls2147483647\\ilvl-9 x\\row}"},
    };
    for (const Case& c : cases) {
        auto l = load(c.rtf);
        EXPECT_EQ(l->result.status, rtf::ReadResult::Ok) << c.name;
        EXPECT_LE(l->text().size(), c.rtf.size()) << c.name;
    }
    EXPECT_EQ(load(cases[0].rtf)->text(), QString()) << "groups nested too deep are skipped";
}

TEST(RtfReader, PlainRtfKeepsOnlyBasicFormatting) {
    rtf::ReadOptions plain;
    plain.plainRtf = true;
    auto l = load("{\\rtf1 \\pard\\qc{\\b\\protect\\lang1031 x}\\par}", plain);
    EXPECT_TRUE(l->charAt(0).effects & CFE_BOLD);
    EXPECT_FALSE(l->charAt(0).effects & CFE_PROTECTED);
    EXPECT_EQ(l->charAt(0).lcid, 0u);
    EXPECT_EQ(l->para(0).alignment, PFA_LEFT);
}
