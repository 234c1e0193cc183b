#include "engine/model/UndoStack.h"
#include "engine/model/EditTransaction.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace richedit::model;

namespace {

// The text with one character-format id per character.
struct Snapshot {
    QString text;
    std::vector<CharFormatId> formats;
};

Snapshot snapshot(const Document& d) {
    Snapshot s{d.text(CharPos(0), d.end()), {}};
    for (const Run& r : d.runs(CharPos(0), d.end()))
        s.formats.insert(s.formats.end(), size_t(r.length), r.format);
    return s;
}

// Everything outside [from, to) of after is what before held there: the same head, and the same
// tail.
void expectOnlySpanDiffers(const Snapshot& before, const Snapshot& after, ChangedSpan span,
                           const std::string& what) {
    const int32_t head = span.from.v;
    const int32_t tail = int32_t(after.text.size()) - span.to.v;
    ASSERT_GE(head, 0) << what;
    ASSERT_GE(tail, 0) << what;
    ASSERT_LE(head + tail, before.text.size()) << what;
    EXPECT_EQ(after.text.left(head), before.text.left(head)) << what;
    EXPECT_EQ(after.text.right(tail), before.text.right(tail)) << what;
    auto same = [](auto a, auto b, int32_t n) { return std::equal(a, a + n, b); };
    EXPECT_TRUE(same(after.formats.begin(), before.formats.begin(), head)) << what;
    EXPECT_TRUE(same(after.formats.end() - tail, before.formats.end() - tail, tail)) << what;
}

} // namespace

TEST(UndoStack, ChangedSpanOfTypicalGroups) {
    Document doc;
    const CharFormatId plain = doc.charFormatIdAt(CharPos(0));
    CharFormat boldFormat;
    boldFormat.effects |= richedit::CFE_BOLD;
    const CharFormatId bold = doc.charFormats().intern(boldFormat);
    auto text = [&](const QString& s) { return Document::plainFragment(s, plain, 0); };
    {
        EditTransaction setup(doc, richedit::UID_UNKNOWN, {});
        setup.replace(CharPos(0), CharPos(0), text(u"0123456789"_qs));
    }

    struct Case {
        const char* what;
        std::function<void(EditTransaction&)> edit;
        ChangedSpan forward;
        ChangedSpan backward;
    };
    const Case cases[] = {
        {"typing",
         [&](EditTransaction& e) { e.replace(CharPos(4), CharPos(4), text(u"ab"_qs)); },
         {CharPos(4), CharPos(6)},
         {CharPos(4), CharPos(4)}},
        {"typing then deleting back over it",
         [&](EditTransaction& e) {
             e.replace(CharPos(4), CharPos(4), text(u"abc"_qs));
             e.replace(CharPos(6), CharPos(7), {});
         },
         {CharPos(4), CharPos(6)},
         {CharPos(4), CharPos(4)}},
        {"replacing a word",
         [&](EditTransaction& e) { e.replace(CharPos(2), CharPos(5), text(u"x"_qs)); },
         {CharPos(2), CharPos(3)},
         {CharPos(2), CharPos(5)}},
        {"moving text to the end",
         [&](EditTransaction& e) {
             e.replace(CharPos(10), CharPos(10), text(u"12"_qs));
             e.replace(CharPos(1), CharPos(3), {});
         },
         {CharPos(1), CharPos(10)},
         {CharPos(1), CharPos(10)}},
        {"a format change",
         [&](EditTransaction& e) {
             e.overwriteRuns(CharPos(3), {{2, bold}});
         },
         {CharPos(3), CharPos(5)},
         {CharPos(3), CharPos(5)}},
    };
    for (const Case& c : cases) {
        EditTransaction edit(doc, richedit::UID_UNKNOWN, {});
        c.edit(edit);
        UndoGroup group = edit.finish({});
        EXPECT_EQ(changedSpan(group, true), c.forward) << c.what;
        UndoStack undo;
        undo.push(std::move(group));
        Selection sel;
        ASSERT_TRUE(undo.undo(doc, sel));
        ASSERT_TRUE(undo.lastChange()) << c.what;
        EXPECT_EQ(*undo.lastChange(), c.backward) << c.what;
        ASSERT_TRUE(undo.redo(doc, sel));
        ASSERT_TRUE(undo.lastChange()) << c.what;
        EXPECT_EQ(*undo.lastChange(), c.forward) << c.what;
        ASSERT_TRUE(undo.undo(doc, sel)); // back to the digits for the next case
    }

    EditTransaction paraOnly(doc, richedit::UID_UNKNOWN, {});
    ParaFormat centred;
    centred.alignment = richedit::PFA_CENTER;
    paraOnly.setParaFormats(ParaIndex(0), {doc.paraFormats().intern(centred)});
    EXPECT_FALSE(changedSpan(paraOnly.finish({}), true)) << "paragraph formats touch no text";
}

TEST(UndoStack, ChangedSpanCoversEveryDifferenceOfRandomGroups) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        Document doc;
        std::vector<CharFormatId> formats;
        for (int i = 0; i < 3; ++i) {
            CharFormat f;
            f.height = 200 + 40 * i;
            formats.push_back(doc.charFormats().intern(f));
        }
        auto fragment = [&](int n) {
            QString s;
            for (int k = 0; k < n; ++k)
                s += QChar(u"ab \r"[rng() % 4]);
            return Document::plainFragment(s, formats[rng() % formats.size()], 0);
        };
        {
            EditTransaction setup(doc, richedit::UID_UNKNOWN, {});
            setup.replace(CharPos(0), CharPos(0), fragment(30));
        }
        UndoStack undo;
        for (int group = 0; group < 20; ++group) {
            const Snapshot before = snapshot(doc);
            EditTransaction edit(doc, richedit::UID_UNKNOWN, {});
            for (int steps = int(rng() % 4) + 1; steps > 0; --steps) {
                const int32_t len = doc.end().v;
                const CharPos a(int32_t(rng() % unsigned(len + 1)));
                const CharPos b = std::min(doc.end(), a + int32_t(rng() % 5));
                if (rng() % 3 == 0 && b > a)
                    edit.overwriteRuns(a, {{b - a, formats[rng() % formats.size()]}});
                else
                    edit.replace(a, b, fragment(int(rng() % 4)));
            }
            if (edit.empty())
                continue;
            UndoGroup g = edit.finish({});
            const std::optional<ChangedSpan> forward = changedSpan(g, true);
            ASSERT_TRUE(forward);
            const Snapshot after = snapshot(doc);
            const std::string what =
                "seed " + std::to_string(seed) + " group " + std::to_string(group);
            expectOnlySpanDiffers(before, after, *forward, what + " forward");
            undo.push(std::move(g));

            Selection sel;
            ASSERT_TRUE(undo.undo(doc, sel));
            expectOnlySpanDiffers(after, snapshot(doc), *undo.lastChange(), what + " undone");
            ASSERT_TRUE(undo.redo(doc, sel));
            EXPECT_EQ(*undo.lastChange(), *forward) << what;
        }
    }
}
