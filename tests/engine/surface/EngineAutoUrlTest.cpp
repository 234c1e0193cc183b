#include "RecordingHost.h"
#include "engine/surface/EngineVersion.h"
#include "engine/surface/RichEditEngine.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cstring>
#include <functional>
#include <map>

using namespace richedit;

namespace {

// The stretches of text with the link effect, in order; a field link shows its target after |.
QStringList links(const RichEditEngine& e) {
    const model::Document& d = e.document();
    const QString text = d.text(model::CharPos(0), d.end());
    QStringList out;
    QString open;
    QString target;
    bool inLink = false;
    auto close = [&] {
        if (inLink)
            out << (target.isEmpty() ? open : open + u'|' + target);
        inLink = false;
        open.clear();
    };
    int32_t at = 0;
    for (const model::Run& r : d.runs(model::CharPos(0), d.end())) {
        const model::CharFormat& f = d.charFormats()[r.format];
        if (!(f.effects & CFE_LINK) || (inLink && f.linkTarget != target))
            close();
        if (f.effects & CFE_LINK) {
            inLink = true;
            target = f.linkTarget;
            open += text.mid(at, r.length);
        }
        at += r.length;
    }
    close();
    return out;
}

void type(RichEditEngine& e, const QString& text) {
    for (const QChar c : text) {
        if (c == u'\r')
            e.InsertParagraph();
        else
            e.TypeText(QString(c));
    }
}

void select(RichEditEngine& e, int32_t from, int32_t to) {
    e.EM_EXSETSEL({from, to});
}

struct Source {
    QByteArray data;
    qsizetype pos = 0;

    EDITSTREAM stream() {
        EDITSTREAM es;
        es.pfnCallback = [this](uintptr_t, uint8_t* buf, int32_t cb, int32_t& pcb) -> uint32_t {
            pcb = int32_t(std::min<qsizetype>(cb, data.size() - pos));
            std::memcpy(buf, data.constData() + pos, size_t(pcb));
            pos += pcb;
            return 0;
        };
        return es;
    }
};

int32_t streamIn(RichEditEngine& e, uint32_t format, const QByteArray& bytes) {
    Source source{bytes};
    EDITSTREAM es = source.stream();
    return e.EM_STREAMIN(format, es);
}

QByteArray rtfOf(RichEditEngine& e) {
    QByteArray out;
    EDITSTREAM es;
    es.pfnCallback = [&out](uintptr_t, uint8_t* buf, int32_t cb, int32_t& pcb) -> uint32_t {
        out.append(reinterpret_cast<const char*>(buf), cb);
        pcb = cb;
        return 0;
    };
    e.EM_STREAMOUT(SF_RTF, es);
    return out;
}

// A document with a HYPERLINK field whose text is no address, and an address in plain text.
const QByteArray kFieldDocument =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}see http://a.com or "
    "{\\field{\\*\\fldinst{HYPERLINK \"http://x.org/\"}}{\\fldrslt{click here}}} now}";

CHARFORMAT2W charFormatOf(RichEditEngine& e, int32_t from, int32_t to) {
    select(e, from, to);
    CHARFORMAT2W cf;
    e.EM_GETCHARFORMAT(SCF_SELECTION, cf);
    return cf;
}

} // namespace

TEST(EngineAutoUrl, TypedAddressesAreLinkedAsTheyGrow) {
    RecordingHost host;
    RichEditEngine e(&host);
    e.EM_SETEVENTMASK(ENM_CHANGE);
    EXPECT_EQ(e.EM_AUTOURLDETECT(true), 0);
    host.reset();

    const QString typed = u"see www.example.com, ok\rmailto:a@b.org"_qs;
    const std::map<int, QStringList> expected = {
        {7, {}},                                            // see www
        {8, {}},                                            // see www.
        {9, {u"www.e"_qs}},                                 // see www.e
        {19, {u"www.example.com"_qs}},                      // see www.example.com
        {20, {u"www.example.com"_qs}},                      // the comma is the sentence's
        {23, {u"www.example.com"_qs}},                      // , ok
        {31, {u"www.example.com"_qs}},                      // mailto:
        {32, {u"www.example.com"_qs, u"mailto:a"_qs}},      // mailto:a
        {38, {u"www.example.com"_qs, u"mailto:a@b.org"_qs}} // the whole address
    };
    for (int n = 1; n <= typed.size(); ++n) {
        type(e, typed.sliced(n - 1, 1));
        if (auto it = expected.find(n); it != expected.end()) {
            EXPECT_EQ(links(e), it->second) << "after typing " << typed.left(n).toStdString();
        }
    }
    EXPECT_EQ(host.count(EN_CHANGE), size_t(typed.size())) << "one notification per key";

    // The detector's formats are no undo steps: one undo takes all the typing away.
    EXPECT_EQ(e.EM_GETUNDONAME(), UID_TYPING);
    ASSERT_TRUE(e.WM_UNDO());
    EXPECT_EQ(e.WM_GETTEXT(), QString());
    EXPECT_FALSE(e.EM_CANUNDO());
    ASSERT_TRUE(e.EM_REDO());
    EXPECT_EQ(e.WM_GETTEXT(), u"see www.example.com, ok\rmailto:a@b.org"_qs);
    EXPECT_EQ(links(e), (QStringList{u"www.example.com"_qs, u"mailto:a@b.org"_qs}));
}

TEST(EngineAutoUrl, EditsFollowTheAddressesTheyMakeOrUnmake) {
    struct Case {
        const char16_t* text;
        int32_t from, to;
        const char16_t* replacement;
        QStringList links;
    };
    const Case cases[] = {
        {u"go http://a.com now", 7, 8, u"", {}}, // http//a.com
        {u"go www.a.com now", 3, 3, u"x", {}},   // xwww.a.com
        {u"go www.a.com now", 2, 3, u"", {}},    // gowww.a.com
        {u"go www.a.com now", 5, 6, u"", {}},    // ww.a.com
        {u"a\rhttp://b.com", 1, 2, u"", {}},     // the paragraphs join: ahttp://
        {u"http://a.com/path", 12, 12, u" ", {u"http://a.com"_qs}},
        {u"http://a.com x", 12, 13, u"", {u"http://a.comx"_qs}},
        {u"go http://a.com", 15, 15, u".", {u"http://a.com"_qs}},
        {u"go www", 6, 6, u".q", {u"www.q"_qs}},
        {u"http://b.com/xy", 14, 14, u"\r", {u"http://b.com/x"_qs}},
        {u"(http://a.com/x", 15, 15, u")", {u"http://a.com/x"_qs}},
        {u"http://a.com/x_(y", 17, 17, u")", {u"http://a.com/x_(y)"_qs}},
        {u"x www.q.org y", 2, 11, u"mailto:joe@q.org", {u"mailto:joe@q.org"_qs}},
        {u"http://a.com and www.b.com", 13, 16, u"or", {u"http://a.com"_qs, u"www.b.com"_qs}},
        {u"one http://a.com\rtwo\rthree www.c.org",
         17,
         20,
         u"2",
         {u"http://a.com"_qs, u"www.c.org"_qs}},
        {u"see this",
         4,
         5,
         u"\rhttp://a.com\rftp://b.org/x)\r",
         {u"http://a.com"_qs, u"ftp://b.org/x"_qs}},
    };
    for (const Case& c : cases) {
        RichEditEngine e;
        e.EM_AUTOURLDETECT(true);
        e.WM_SETTEXT(QString::fromUtf16(c.text));
        select(e, c.from, c.to);
        e.EM_REPLACESEL(true, QString::fromUtf16(c.replacement));
        EXPECT_EQ(links(e), c.links) << e.WM_GETTEXT().toStdString();
    }
}

TEST(EngineAutoUrl, LoadedPastedAndSetTextIsScanned) {
    const QString text = u"one http://a.com\rtwo www.b.org."_qs;
    const QStringList expected = {u"http://a.com"_qs, u"www.b.org"_qs};
    const QByteArray rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}one http://a.com\\par two www.b.org.}";
    struct Case {
        const char* what;
        std::function<void(RichEditEngine&)> load;
    };
    const Case cases[] = {
        {"set text", [&](RichEditEngine& e) { e.WM_SETTEXT(text); }},
        {"text stream", [&](RichEditEngine& e) { streamIn(e, SF_TEXT, text.toUtf8()); }},
        {"rtf stream", [&](RichEditEngine& e) { streamIn(e, SF_RTF, rtf); }},
        {"replace selection", [&](RichEditEngine& e) { e.EM_REPLACESEL(true, text); }},
        {"text pasted by stream",
         [&](RichEditEngine& e) { streamIn(e, SF_TEXT | SFF_SELECTION, text.toUtf8()); }},
        {"rtf pasted by stream",
         [&](RichEditEngine& e) { streamIn(e, SF_RTF | SFF_SELECTION, rtf); }},
    };
    for (const Case& c : cases) {
        RichEditEngine e;
        e.EM_AUTOURLDETECT(true);
        c.load(e);
        EXPECT_EQ(e.WM_GETTEXT(), u"one http://a.com\rtwo www.b.org."_qs) << c.what;
        EXPECT_EQ(links(e), expected) << c.what;

        RichEditEngine off;
        c.load(off);
        EXPECT_EQ(links(off), QStringList()) << c.what << ": detection starts off";
    }
}

TEST(EngineAutoUrl, UndoAndRedoRescanWhatTheyChange) {
    RichEditEngine e;
    e.EM_AUTOURLDETECT(true);
    e.WM_SETTEXT(u"x www.a.com y\rz http://b.com"_qs);
    select(e, 2, 6);
    e.WM_CLEAR(); // x a.com y
    EXPECT_EQ(links(e), QStringList{u"http://b.com"_qs});
    select(e, 12, 12);
    type(e, u"Q"_qs); // z Qhttp://b.com
    EXPECT_EQ(links(e), QStringList());

    ASSERT_TRUE(e.WM_UNDO());
    EXPECT_EQ(links(e), QStringList{u"http://b.com"_qs});
    ASSERT_TRUE(e.WM_UNDO());
    EXPECT_EQ(e.WM_GETTEXT(), u"x www.a.com y\rz http://b.com"_qs);
    EXPECT_EQ(links(e), (QStringList{u"www.a.com"_qs, u"http://b.com"_qs}));
    EXPECT_FALSE(e.EM_CANUNDO()) << "detection adds no undo steps";
    ASSERT_TRUE(e.EM_REDO());
    EXPECT_EQ(links(e), QStringList{u"http://b.com"_qs});
    ASSERT_TRUE(e.EM_REDO());
    EXPECT_EQ(e.WM_GETTEXT(), u"x a.com y\rz Qhttp://b.com"_qs);
    EXPECT_EQ(links(e), QStringList());

    // Typing and deleting key by key is one undo step of several edits.
    e.WM_SETTEXT(QString());
    type(e, u"see www.ab"_qs);
    e.DeleteBackward();
    e.DeleteBackward();
    e.DeleteBackward(); // see www
    EXPECT_EQ(links(e), QStringList());
    ASSERT_TRUE(e.WM_UNDO());
    EXPECT_EQ(e.WM_GETTEXT(), QString());
    ASSERT_TRUE(e.EM_REDO());
    EXPECT_EQ(e.WM_GETTEXT(), u"see www"_qs);
    EXPECT_EQ(links(e), QStringList());
}

TEST(EngineAutoUrl, UndoWhileDetectionIsOffBringsNoLinksBack) {
    RichEditEngine e;
    e.EM_AUTOURLDETECT(true);
    type(e, u"go www.a.com"_qs);
    select(e, 0, -1);
    CHARFORMAT2W bold;
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    e.EM_SETCHARFORMAT(SCF_SELECTION, bold);
    ASSERT_EQ(links(e), QStringList{u"www.a.com"_qs});

    e.EM_AUTOURLDETECT(false);
    EXPECT_EQ(links(e), QStringList());
    ASSERT_TRUE(e.WM_UNDO()); // the bold, with formats from while detection was on
    EXPECT_EQ(links(e), QStringList());
    ASSERT_TRUE(e.WM_UNDO()); // the typing
    ASSERT_TRUE(e.EM_REDO());
    EXPECT_EQ(e.WM_GETTEXT(), u"go www.a.com"_qs);
    EXPECT_EQ(links(e), QStringList());
    e.EM_AUTOURLDETECT(true);
    EXPECT_EQ(links(e), QStringList{u"www.a.com"_qs}) << "turning on scans the whole text";
}

TEST(EngineAutoUrl, FieldLinksAndLinksSetByFormatStay) {
    RichEditEngine e;
    ASSERT_GT(streamIn(e, SF_RTF, kFieldDocument), 0);
    ASSERT_EQ(e.WM_GETTEXT(), u"see http://a.com or click here now"_qs);
    EXPECT_EQ(links(e), QStringList{u"click here|http://x.org/"_qs});

    // A link set through a format request, on text that is no address.
    select(e, 31, 34);
    CHARFORMAT2W link;
    link.dwMask = CFM_LINK;
    link.dwEffects = CFE_LINK;
    e.EM_SETCHARFORMAT(SCF_SELECTION, link);

    e.EM_AUTOURLDETECT(true);
    const QStringList all = {u"http://a.com"_qs, u"click here|http://x.org/"_qs, u"now"_qs};
    EXPECT_EQ(links(e), all);
    select(e, 25, 25);
    type(e, u" "_qs); // typed inside links, text joins them and they stay
    select(e, 33, 33);
    type(e, u"!"_qs);
    EXPECT_EQ(e.WM_GETTEXT(), u"see http://a.com or click  here n!ow"_qs);
    EXPECT_EQ(links(e),
              (QStringList{u"http://a.com"_qs, u"click  here|http://x.org/"_qs, u"n!ow"_qs}));

    e.EM_AUTOURLDETECT(false);
    EXPECT_EQ(links(e), (QStringList{u"click  here|http://x.org/"_qs, u"n!ow"_qs}));
    e.EM_AUTOURLDETECT(true);
    EXPECT_EQ(links(e),
              (QStringList{u"http://a.com"_qs, u"click  here|http://x.org/"_qs, u"n!ow"_qs}));
}

TEST(EngineAutoUrl, FieldLinkTextEditedIntoNoAddressStaysALink) {
    RichEditEngine e;
    e.EM_AUTOURLDETECT(true);
    streamIn(e, SF_RTF,
             "{\\rtf1 {\\field{\\*\\fldinst{HYPERLINK \"http://x.org/\"}}{\\fldrslt{http://x.org"
             "}}} end}");
    ASSERT_EQ(links(e), QStringList{u"http://x.org|http://x.org/"_qs});
    select(e, 4, 5); // the colon
    e.WM_CLEAR();
    EXPECT_EQ(links(e), QStringList{u"http//x.org|http://x.org/"_qs});
}

TEST(EngineAutoUrl, CharFormatShowsTheLinkEffect) {
    RichEditEngine e;
    e.EM_AUTOURLDETECT(true);
    e.WM_SETTEXT(u"go to http://a.com/x now"_qs);
    const CHARFORMAT2W in = charFormatOf(e, 6, 20);
    EXPECT_TRUE(in.dwMask & CFM_LINK);
    EXPECT_TRUE(in.dwEffects & CFE_LINK);
    const CHARFORMAT2W before = charFormatOf(e, 0, 5);
    EXPECT_TRUE(before.dwMask & CFM_LINK);
    EXPECT_FALSE(before.dwEffects & CFE_LINK);
    const CHARFORMAT2W across = charFormatOf(e, 3, 20);
    EXPECT_FALSE(across.dwMask & CFM_LINK) << "the selection is partly a link";
    CHARFORMATW shortRecord;
    select(e, 8, 9);
    e.EM_GETCHARFORMAT(SCF_SELECTION, shortRecord);
    EXPECT_TRUE(shortRecord.dwEffects & CFE_LINK);

    select(e, 20, 20);
    type(e, u"y"_qs); // typed at the address's end, it continues the address
    EXPECT_TRUE(charFormatOf(e, 20, 21).dwEffects & CFE_LINK);
    select(e, 21, 21);
    type(e, u" "_qs); // a space typed there takes the link's format, and loses the link
    EXPECT_EQ(e.WM_GETTEXT(), u"go to http://a.com/xy  now"_qs);
    EXPECT_FALSE(charFormatOf(e, 21, 22).dwEffects & CFE_LINK);
    EXPECT_TRUE(charFormatOf(e, 6, 21).dwEffects & CFE_LINK);
}

TEST(EngineAutoUrl, TogglingSendsNoChangeAndKeepsTheHistory) {
    RecordingHost host;
    RichEditEngine e(&host);
    e.EM_SETEVENTMASK(ENM_CHANGE);
    type(e, u"see www.a.com"_qs);
    e.EM_SETMODIFY(false);
    host.reset();

    EXPECT_EQ(e.EM_AUTOURLDETECT(true), 0);
    EXPECT_TRUE(e.EM_GETAUTOURLDETECT());
    EXPECT_EQ(links(e), QStringList{u"www.a.com"_qs});
    EXPECT_EQ(e.EM_AUTOURLDETECT(false), 0);
    EXPECT_EQ(links(e), QStringList());
    EXPECT_EQ(host.count(EN_CHANGE), 0u);
    EXPECT_FALSE(e.EM_GETMODIFY()) << "links are shown, the document is not changed";
    ASSERT_TRUE(e.WM_UNDO());
    EXPECT_EQ(e.WM_GETTEXT(), QString()) << "the typing is still the one undo step";
    EXPECT_FALSE(e.EM_CANUNDO());
}

TEST(EngineAutoUrl, PlainTextModeShowsLinksToo) {
    RichEditEngine e;
    ASSERT_EQ(e.EM_SETTEXTMODE(TM_PLAINTEXT), 0);
    e.EM_AUTOURLDETECT(true);
    type(e, u"mail mailto:a@b.org now"_qs);
    EXPECT_EQ(links(e), QStringList{u"mailto:a@b.org"_qs});
}

TEST(EngineAutoUrl, TheFirstEngineHasNoDetection) {
    ScopedEngineVersion v(1);
    RichEditEngine e;
    EXPECT_NE(e.EM_AUTOURLDETECT(true), 0);
    e.WM_SETTEXT(u"http://a.com"_qs);
    EXPECT_EQ(links(e), QStringList());
}

TEST(EngineAutoUrl, SavedDocumentsKeepDetectedAddressesAsText) {
    RichEditEngine e;
    e.EM_AUTOURLDETECT(true);
    streamIn(e, SF_RTF, kFieldDocument);
    const QByteArray rtf = rtfOf(e);
    EXPECT_EQ(rtf.count("\\field"), 1) << "only the field link is written as a field\n"
                                       << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("http://a.com")) << rtf.toStdString();

    RichEditEngine plain;
    streamIn(plain, SF_RTF, rtf);
    EXPECT_EQ(links(plain), QStringList{u"click here|http://x.org/"_qs});
    RichEditEngine detecting;
    detecting.EM_AUTOURLDETECT(true);
    streamIn(detecting, SF_RTF, rtf);
    EXPECT_EQ(links(detecting), (QStringList{u"http://a.com"_qs, u"click here|http://x.org/"_qs}));
}
