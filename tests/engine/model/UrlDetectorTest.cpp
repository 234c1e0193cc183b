#include "engine/model/UrlDetector.h"

#include <gtest/gtest.h>

#include <QString>

using namespace richedit::model;

namespace {

// A case writes the expected addresses between ⟦ and ⟧ inside the text.
struct Marked {
    QString text;
    std::vector<UrlRange> ranges;
};

Marked unmark(const QString& marked) {
    Marked m;
    int32_t open = -1;
    for (const QChar c : marked) {
        if (c == u'⟦') {
            open = int32_t(m.text.size());
        } else if (c == u'⟧') {
            m.ranges.emplace_back(open, int32_t(m.text.size()));
        } else {
            m.text.append(c);
        }
    }
    return m;
}

QString describe(QStringView text, const std::vector<UrlRange>& ranges) {
    QString out;
    int32_t at = 0;
    for (const UrlRange& r : ranges) {
        out.append(text.sliced(at, r.first - at));
        out.append(u'⟦');
        out.append(text.sliced(r.first, r.second - r.first));
        out.append(u'⟧');
        at = r.second;
    }
    out.append(text.sliced(at));
    return out;
}

} // namespace

TEST(UrlDetector, FindsAddressesWhereAReaderSeesThem) {
    const char16_t* const cases[] = {
        // Schemes, in any case, and www.
        u"⟦http://example.com⟧",
        u"see ⟦https://example.com/a/b?x=1&y=2#top⟧ now",
        u"⟦HTTPS://Example.COM/Path⟧",
        u"⟦ftp://files.example.org/pub/readme.txt⟧",
        u"write to ⟦mailto:joe@example.com⟧ today",
        u"⟦file:///C:/Temp/report.txt⟧ and ⟦file://server/share/x.doc⟧",
        u"⟦news:comp.lang.c++⟧ or ⟦nntp://news.example.org/misc⟧",
        u"⟦telnet://host.example.org:23⟧",
        u"visit ⟦www.example.com⟧",
        u"⟦WWW.Example.Com/Start⟧",
        u"⟦http://例え.jp/パス⟧ and ⟦www.bücher.de⟧",
        u"two: ⟦http://a.com⟧ and ⟦www.b.org⟧",
        u"⟦http://a.com/?next=http://b.com⟧ is one address",
        u"⟦http://www.a.com⟧ is one address",
        // Punctuation a sentence adds is not part of the address.
        u"go to ⟦http://a.com⟧.",
        u"⟦http://a.com/x⟧, ⟦http://b.com⟧; ⟦http://c.com⟧: fine",
        u"really ⟦www.a.com⟧?! yes",
        u"end ⟦http://a.com/x⟧... more",
        u"⟦http://a.com:8080/x⟧ keeps its port",
        u"⟦http://a.com/x.html⟧ keeps inner dots",
        u"⟦http://a.com/it's⟧ keeps an inner apostrophe",
        u"⟦http://a.com⟧… and ⟦http://b.com⟧。",
        // Closing brackets belong to the address only when it opened them.
        u"(see ⟦http://a.com/x⟧)",
        u"⟦http://en.wikipedia.org/wiki/Foo_(bar)⟧",
        u"(⟦http://en.wikipedia.org/wiki/Foo_(bar)⟧)",
        u"(⟦http://a.com/x_(y)⟧).",
        u"[⟦http://a.com/⟧]",
        u"{⟦www.a.com/{id}⟧}",
        u"(⟦www.a.com⟧)",
        u"⟦http://a.com/a)b⟧ keeps a closer inside",
        // Wrapped addresses end at the closer.
        u"<⟦http://a.com/x⟧>y",
        u"\"⟦http://a.com/x⟧\"y",
        u"“⟦http://a.com/x⟧”",
        u"«⟦http://a.com⟧»",
        u"'⟦http://a.com/x⟧'y",
        u"‘⟦http://a.com⟧’s page",
        u"「⟦http://a.com⟧」",
        u"see:⟦http://a.com⟧",
        // White space, line breaks and objects end an address.
        u"⟦http://a.com⟧\tx",
        u"⟦http://a.com⟧\u000Bx",
        u"⟦http://a.com⟧\u00A0x",
        u"⟦http://a.com⟧\uFFFCx",
        u"⟦http://a.com⟧\u200Bx",
        // Not addresses.
        u"http:// alone",
        u"http://. dot",
        u"mailto: nobody",
        u"www.",
        u"www.. twice",
        u"www.-a.com",
        u"www",
        u"Breaking news: today",
        u"profile: xhttp://a.com awww.a.com",
        u"a.www.b.com and joe@www.a.com and C:/www.a.com",
        u"http//a.com and http:/a.com and htp://a.com",
        u"myfile:x",
        u"",
    };
    for (const char16_t* c : cases) {
        const Marked m = unmark(QString::fromUtf16(c));
        const std::vector<UrlRange> found = findUrls(m.text);
        EXPECT_EQ(describe(m.text, found), describe(m.text, m.ranges));

        // Whatever surrounds the text beyond a break makes no difference: the engine scans only
        // the words around an edit.
        for (const QString& around : {u"x "_qs, u"www.q.com\t"_qs, u"\r"_qs, u"(\uFFFC"_qs}) {
            const QString wrapped = around + m.text + u' ' + around;
            std::vector<UrlRange> expected = findUrls(around);
            for (const UrlRange& r : m.ranges)
                expected.emplace_back(r.first + around.size(), r.second + around.size());
            for (UrlRange r : findUrls(around)) {
                const int32_t shift = int32_t(around.size() + m.text.size() + 1);
                expected.emplace_back(r.first + shift, r.second + shift);
            }
            EXPECT_EQ(describe(wrapped, findUrls(wrapped)), describe(wrapped, expected));
        }
    }
}

TEST(UrlDetector, BreaksAreWhiteSpaceObjectsAndControls) {
    for (char16_t c : {u' ', u'\t', u'\r', u'\n', u'\u000B', u'\u0000', u'\u007F', u'\u00A0',
                       u'\u2028', u'\u3000', u'\uFFFC', u'\u200B'})
        EXPECT_TRUE(isUrlBreak(QChar(c))) << int(c);
    for (char16_t c : {u'a', u'.', u'/', u'<', u'"', u'\u00E9', u'\u4E00', u'\uFFFD'})
        EXPECT_FALSE(isUrlBreak(QChar(c))) << int(c);
}

TEST(UrlDetector, TrimsAnyNumberOfUnmatchedClosers) {
    const QString text = u"http://a.com/"_qs + QString(100000, u')') + u" www.b.org"_qs;
    const std::vector<UrlRange> found = findUrls(text);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0], (UrlRange{0, 13}));
    EXPECT_EQ(text.sliced(found[1].first, found[1].second - found[1].first), u"www.b.org"_qs);
}
