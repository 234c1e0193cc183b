#include "engine/model/TextSearch.h"

#include <gtest/gtest.h>

using namespace richedit::model;

namespace {
Document makeDoc(const QString& text) {
    Document d;
    d.insert(CharPos(0), Document::plainFragment(text, 0, 0));
    return d;
}
} // namespace

TEST(TextSearch, FindsByDirectionCaseAndWholeWord) {
    const Document d = makeDoc(u"The cat\rscatters CATS; the Cat.\rend"_qs);
    const int32_t end = d.end().v;
    struct Case {
        const char* name;
        QString pattern;
        int from, to;
        SearchOptions o;
        int expected;
    };
    const Case cases[] = {
        {"down, case-insensitive", u"cat"_qs, 0, end, {true, false, false}, 4},
        {"down from after the first", u"cat"_qs, 5, end, {true, false, false}, 9},
        {"match case", u"Cat"_qs, 0, end, {true, true, false}, 27},
        {"whole word skips scatters and CATS", u"cat"_qs, 5, end, {true, false, true}, 27},
        {"match must end inside the range", u"cat"_qs, 0, 6, {true, false, false}, -1},
        {"up finds the nearest before", u"cat"_qs, 28, 0, {false, false, false}, 17},
        {"up, whole word", u"cat"_qs, 28, 0, {false, false, true}, 4},
        {"up does not find a match that starts at the start",
         u"cat"_qs,
         4,
         0,
         {false, false, false},
         -1},
        {"up stops at its lower bound", u"cat"_qs, 28, 10, {false, false, false}, 17},
        {"pattern across a paragraph mark", u"cat\rsc"_qs, 0, end, {true, false, false}, 4},
        {"non-ascii case folding", u"ÉTÉ"_qs, 0, end, {true, false, false}, -1},
        {"missing word", u"dog"_qs, 0, end, {true, false, false}, -1},
        {"empty pattern", QString(), 0, end, {true, false, false}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findText(d, c.pattern, CharPos(c.from), CharPos(c.to), c.o), c.expected)
            << c.name;
}

TEST(TextSearch, FoldsNonAsciiLetters) {
    const Document d = makeDoc(u"Un été à Paris; ÉTÉ"_qs);
    EXPECT_EQ(findText(d, u"ÉTÉ"_qs, CharPos(0), d.end(), {}), 3);
    SearchOptions exact;
    exact.matchCase = true;
    EXPECT_EQ(findText(d, u"ÉTÉ"_qs, CharPos(0), d.end(), exact), 16);
}
