// Seeded random edits, undone and redone, checked against a plain model of the document: the
// text with one character-format id per character and one paragraph-format id per paragraph.

#include "engine/model/EditTransaction.h"
#include "engine/model/UndoStack.h"

#include <gtest/gtest.h>

#include <random>

using namespace richedit::model;

namespace {

struct Plain {
    QString text; // includes the final mark
    std::vector<CharFormatId> chars;
    std::vector<ParaFormatId> paras;
    friend bool operator==(const Plain&, const Plain&) = default;
};

Plain snapshot(const Document& d) {
    Plain p;
    for (ParaIndex i(0); i.v < d.paragraphCount(); ++i) {
        const Paragraph& para = d.paragraph(i);
        p.text += para.text;
        for (const Run& r : para.runs)
            p.chars.insert(p.chars.end(), size_t(r.length), r.format);
        p.paras.push_back(para.format);
        EXPECT_EQ(runs::totalLength(para.runs), para.length());
        EXPECT_EQ(para.text.back(), QChar(kParagraphMark));
        EXPECT_EQ(para.text.count(QChar(kParagraphMark)), 1);
    }
    return p;
}

int paragraphOf(const Plain& p, int pos) {
    return int(p.text.left(pos).count(QChar(kParagraphMark)));
}

} // namespace

TEST(RandomEdits, MatchThePlainModelAndUndoExactly) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        Document doc;
        UndoStack undo;
        undo.setLimit(1000);
        std::vector<CharFormatId> cfs;
        std::vector<ParaFormatId> pfs;
        for (int i = 0; i < 4; ++i) {
            CharFormat c;
            c.height = 200 + 20 * i;
            cfs.push_back(doc.charFormats().intern(c));
            ParaFormat p;
            p.startIndent = 360 * i;
            pfs.push_back(doc.paraFormats().intern(p));
        }
        Plain model = snapshot(doc);
        std::vector<Plain> history{model};
        const QString alphabet = u"ab c\rd\u00E9"_qs;

        for (int step = 0; step < 150; ++step) {
            const int len = model.text.size() - 1;
            const int op = int(rng() % 4);
            EditTransaction edit(doc, richedit::UID_UNKNOWN, Selection{});
            if (op == 0) { // insert
                const int at = int(rng() % unsigned(len + 1));
                QString s;
                for (unsigned k = rng() % 6 + 1; k > 0; --k)
                    s += alphabet[int(rng() % unsigned(alphabet.size()))];
                const CharFormatId cf = cfs[rng() % cfs.size()];
                const ParaFormatId pf = pfs[rng() % pfs.size()];
                edit.replace(CharPos(at), CharPos(at), Document::plainFragment(s, cf, pf));
                // Plain model: new marks take pf; the split paragraph's tail keeps its format.
                const int para = paragraphOf(model, at);
                model.text.insert(at, s);
                model.chars.insert(model.chars.begin() + at, size_t(s.size()), cf);
                const auto marks = size_t(s.count(QChar(kParagraphMark)));
                model.paras.insert(model.paras.begin() + para, marks, pf);
            } else if (op == 1 && len > 0) { // remove
                const int a = int(rng() % unsigned(len));
                const int b = std::min(len, a + int(rng() % 8) + 1);
                edit.replace(CharPos(a), CharPos(b), Fragment{});
                const int pa = paragraphOf(model, a);
                const int marks = int(model.text.mid(a, b - a).count(QChar(kParagraphMark)));
                model.text.remove(a, b - a);
                model.chars.erase(model.chars.begin() + a, model.chars.begin() + b);
                model.paras.erase(model.paras.begin() + pa, model.paras.begin() + pa + marks);
            } else if (op == 2 && len > 0) { // character format
                const int a = int(rng() % unsigned(len));
                const int b = std::min(len + 1, a + int(rng() % 10) + 1);
                const CharFormatId cf = cfs[rng() % cfs.size()];
                edit.overwriteRuns(CharPos(a), {{b - a, cf}});
                std::fill(model.chars.begin() + a, model.chars.begin() + b, cf);
            } else { // paragraph format
                const int count = int(model.paras.size());
                const int first = int(rng() % unsigned(count));
                const int n = std::min(count - first, int(rng() % 3) + 1);
                std::vector<ParaFormatId> ids;
                for (int k = 0; k < n; ++k)
                    ids.push_back(pfs[rng() % pfs.size()]);
                edit.setParaFormats(ParaIndex(first), ids);
                std::copy(ids.begin(), ids.end(), model.paras.begin() + first);
            }
            ASSERT_EQ(snapshot(doc), model) << "seed " << seed << " step " << step;
            if (!edit.empty()) {
                undo.push(edit.finish(Selection{}));
                history.push_back(model);
            }

            // Now and then walk back and forth through the history.
            if (rng() % 10 == 0) {
                const size_t back = rng() % history.size();
                Selection sel;
                for (size_t k = 0; k < back; ++k) {
                    ASSERT_TRUE(undo.undo(doc, sel));
                    ASSERT_EQ(snapshot(doc), history[history.size() - 2 - k])
                        << "seed " << seed << " undo " << k;
                }
                for (size_t k = 0; k < back; ++k)
                    ASSERT_TRUE(undo.redo(doc, sel));
                ASSERT_EQ(snapshot(doc), model) << "seed " << seed << " after redo";
            }
        }
        // Undo everything: back to the empty document.
        Selection sel;
        while (undo.undo(doc, sel)) {
        }
        EXPECT_EQ(snapshot(doc), history.front()) << "seed " << seed;
    }
}

TEST(UndoStack, TypingMergesAndTheLimitDropsTheOldest) {
    Document doc;
    UndoStack undo;
    auto type = [&](int at, const QString& s, bool mergeable) {
        EditTransaction e(doc, richedit::UID_TYPING, Selection{CharPos(at), CharPos(at)},
                          mergeable);
        e.replace(CharPos(at), CharPos(at), Document::plainFragment(s, 0, 0));
        const CharPos end = CharPos(at + int(s.size()));
        undo.push(e.finish(Selection{end, end}));
    };
    type(0, u"a"_qs, true);
    type(1, u"b"_qs, true);
    type(2, u"c"_qs, true);
    EXPECT_EQ(undo.undoCount(), 1u) << "continuous typing is one step";
    undo.stopGrouping();
    type(3, u"d"_qs, true);
    EXPECT_EQ(undo.undoCount(), 2u);
    type(0, u"x"_qs, true);
    EXPECT_EQ(undo.undoCount(), 3u) << "typing elsewhere starts a new step";

    EXPECT_EQ(undo.setLimit(2), 2);
    EXPECT_EQ(undo.undoCount(), 2u);
    Selection sel;
    EXPECT_TRUE(undo.undo(doc, sel));
    EXPECT_TRUE(undo.undo(doc, sel));
    EXPECT_FALSE(undo.undo(doc, sel));
    EXPECT_EQ(doc.text(CharPos(0), doc.end()), u"abc"_qs);
    EXPECT_EQ(undo.setLimit(-5), 0) << "a negative limit turns undo off";
}
