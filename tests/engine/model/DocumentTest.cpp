#include "engine/model/Document.h"

#include <gtest/gtest.h>

using namespace richedit::model;

namespace {

QString allText(const Document& d) {
    return d.text(CharPos(0), d.end());
}

struct Fixture {
    Document doc;
    CharFormatId plain = doc.charFormats().intern(CharFormat{});
    CharFormatId bold = [this] {
        CharFormat f;
        f.effects |= richedit::CFE_BOLD;
        return doc.charFormats().intern(f);
    }();
    ParaFormatId left = doc.paraFormats().intern(ParaFormat{});
    ParaFormatId centred = [this] {
        ParaFormat f;
        f.alignment = richedit::PFA_CENTER;
        return doc.paraFormats().intern(f);
    }();
};

class TestObject : public EmbeddedObject {};

} // namespace

TEST(Document, EmptyDocumentHasOnlyTheFinalMark) {
    Document d;
    EXPECT_EQ(d.end(), CharPos(0));
    EXPECT_EQ(d.paragraphCount(), 1);
    EXPECT_EQ(allText(d), QString());
    d.remove(CharPos(0), CharPos(5));
    EXPECT_EQ(d.paragraphCount(), 1) << "the final mark cannot be removed";
}

TEST(Document, InsertSplitsParagraphsAndKeepsFormats) {
    Fixture f;
    f.doc.insert(CharPos(0), Document::plainFragment(u"hello world"_qs, f.plain, f.left));
    f.doc.setParaFormatId(ParaIndex(0), f.centred);
    // Insert "A\rB" with a bold run in the middle of "hello world".
    Fragment frag = Document::plainFragment(u"A\rB"_qs, f.bold, f.left);
    f.doc.insert(CharPos(5), frag);
    EXPECT_EQ(allText(f.doc), u"helloA\rB world"_qs);
    ASSERT_EQ(f.doc.paragraphCount(), 2);
    EXPECT_EQ(f.doc.paraFormatId(ParaIndex(0)), f.left) << "the inserted mark brings its format";
    EXPECT_EQ(f.doc.paraFormatId(ParaIndex(1)), f.centred) << "the tail keeps the old mark";
    EXPECT_EQ(f.doc.paragraphStart(ParaIndex(1)), CharPos(7));
    EXPECT_EQ(f.doc.charFormatIdAt(CharPos(4)), f.plain);
    EXPECT_EQ(f.doc.charFormatIdAt(CharPos(5)), f.bold);
    EXPECT_EQ(f.doc.charFormatIdAt(CharPos(7)), f.bold);
    EXPECT_EQ(f.doc.charFormatIdAt(CharPos(8)), f.plain);
}

TEST(Document, RemoveAcrossParagraphsJoinsIntoTheLaterFormat) {
    Fixture f;
    f.doc.insert(CharPos(0), Document::plainFragment(u"one\rtwo\rthree"_qs, f.plain, f.left));
    f.doc.setParaFormatId(ParaIndex(1), f.centred);
    const Fragment removed = f.doc.extract(CharPos(2), CharPos(5));
    EXPECT_EQ(removed.text, u"e\rt"_qs);
    ASSERT_EQ(removed.marks.size(), 1u);
    EXPECT_EQ(removed.marks[0], f.left);
    f.doc.remove(CharPos(2), CharPos(5));
    EXPECT_EQ(allText(f.doc), u"onwo\rthree"_qs);
    EXPECT_EQ(f.doc.paraFormatId(ParaIndex(0)), f.centred);
    // Putting the piece back restores text and both formats.
    f.doc.insert(CharPos(2), removed);
    EXPECT_EQ(allText(f.doc), u"one\rtwo\rthree"_qs);
    EXPECT_EQ(f.doc.paraFormatId(ParaIndex(0)), f.left);
    EXPECT_EQ(f.doc.paraFormatId(ParaIndex(1)), f.centred);
}

TEST(Document, ObjectsTravelWithTheirCharacters) {
    Fixture f;
    auto obj = std::make_shared<TestObject>();
    Fragment frag = Document::plainFragment(u"ab\uFFFCcd"_qs, f.plain, f.left);
    frag.objects.push_back({2, obj});
    f.doc.insert(CharPos(0), frag);
    f.doc.insert(CharPos(1), Document::plainFragment(u"x\ry"_qs, f.plain, f.left));
    // "ax\ryb\uFFFCcd": the object now sits in paragraph 1 at offset 2.
    ASSERT_EQ(f.doc.paragraphCount(), 2);
    const Paragraph& p = f.doc.paragraph(ParaIndex(1));
    ASSERT_EQ(p.objects.size(), 1u);
    EXPECT_EQ(p.objects[0].offset, 2);
    EXPECT_EQ(p.objects[0].object, obj);
    const Fragment out = f.doc.extract(CharPos(0), f.doc.end());
    ASSERT_EQ(out.objects.size(), 1u);
    EXPECT_EQ(out.objects[0].offset, 5);
    f.doc.remove(CharPos(4), CharPos(6));
    EXPECT_TRUE(f.doc.paragraph(ParaIndex(1)).objects.empty());
}

TEST(Document, OverwriteRunsSpansParagraphsAndMerges) {
    Fixture f;
    f.doc.insert(CharPos(0), Document::plainFragment(u"abc\rdef"_qs, f.plain, f.left));
    f.doc.overwriteRuns(CharPos(1), {{4, f.bold}});
    EXPECT_EQ(f.doc.runs(CharPos(0), f.doc.end()),
              (RunList{{1, f.plain}, {4, f.bold}, {2, f.plain}}));
    f.doc.overwriteRuns(CharPos(0), {{7, f.plain}});
    EXPECT_EQ(f.doc.paragraph(ParaIndex(0)).runs, (RunList{{4, f.plain}}));
}

TEST(Document, PlainFragmentTurnsEveryLineBreakIntoOneMark) {
    const Fragment f = Document::plainFragment(u"a\r\nb\nc\rd"_qs, 0, 0);
    EXPECT_EQ(f.text, u"a\rb\rc\rd"_qs);
    EXPECT_EQ(f.marks.size(), 3u);
}

TEST(Document, ObserverHearsEveryChangeWithItsRange) {
    struct Recorder : DocumentObserver {
        QStringList log;
        void textChanged(CharPos at, int32_t removed, int32_t added) override {
            log << u"text %1 -%2 +%3"_qs.arg(at.v).arg(removed).arg(added);
        }
        void formatChanged(CharPos from, CharPos to) override {
            log << u"format %1..%2"_qs.arg(from.v).arg(to.v);
        }
    } rec;
    Fixture f;
    f.doc.setObserver(&rec);
    f.doc.insert(CharPos(0), Document::plainFragment(u"ab\rcd"_qs, f.plain, f.left));
    f.doc.insert(CharPos(1), Document::plainFragment(u"x"_qs, f.plain, f.left));
    f.doc.remove(CharPos(1), CharPos(5));
    f.doc.overwriteRuns(CharPos(0), {{2, f.bold}});
    f.doc.setParaFormatId(ParaIndex(0), f.centred);
    f.doc.setParaFormatId(ParaIndex(0), f.centred);
    EXPECT_EQ(rec.log, (QStringList{u"text 0 -0 +5"_qs, u"text 1 -0 +1"_qs, u"text 1 -4 +0"_qs,
                                    u"format 0..2"_qs, u"format 0..3"_qs}));
    f.doc.setObserver(nullptr);
}
