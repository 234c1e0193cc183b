#include "RecordingHost.h"
#include "engine/surface/RichEditEngine.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace richedit;

namespace {

// Serves bytes in blocks of at most `chunk` bytes, then fails after `failAfter` blocks if set.
struct Source {
    QByteArray data;
    int chunk = 4096;
    int failAfter = -1;
    qsizetype pos = 0;
    int calls = 0;

    EDITSTREAM stream() {
        EDITSTREAM es;
        es.pfnCallback = [this](uintptr_t, uint8_t* buf, int32_t cb, int32_t& pcb) -> uint32_t {
            if (failAfter >= 0 && calls++ >= failAfter)
                return 7;
            pcb =
                int32_t(std::min<qsizetype>({qsizetype(cb), qsizetype(chunk), data.size() - pos}));
            std::memcpy(buf, data.constData() + pos, size_t(pcb));
            pos += pcb;
            return 0;
        };
        return es;
    }
};

// Takes at most `chunk` bytes per call; fails with code 2 once `capacity` bytes are stored.
struct Sink {
    QByteArray data;
    int chunk = 1 << 30;
    qsizetype capacity = -1;

    EDITSTREAM stream() {
        EDITSTREAM es;
        es.pfnCallback = [this](uintptr_t, uint8_t* buf, int32_t cb, int32_t& pcb) -> uint32_t {
            if (capacity >= 0 && data.size() >= capacity)
                return 2;
            pcb = std::min(cb, chunk);
            data.append(reinterpret_cast<const char*>(buf), pcb);
            return 0;
        };
        return es;
    }
};

} // namespace

TEST(EngineStreams, TextInDecodesAcrossBlockBoundaries) {
    const QString text = u"Grüße aus Köln — ε ψ\r\nzweite Zeile\rdritte\n€"_qs;
    for (int chunk : {1, 2, 3, 5, 4096}) {
        RichEditEngine e;
        Source src{text.toUtf8(), chunk};
        EDITSTREAM es = src.stream();
        EXPECT_EQ(e.EM_STREAMIN(SF_TEXT, es), 42) << "characters read, " << chunk;
        EXPECT_EQ(es.dwError, 0u);
        EXPECT_EQ(e.WM_GETTEXT(), u"Grüße aus Köln — ε ψ\rzweite Zeile\rdritte\r€"_qs) << chunk;
        EXPECT_FALSE(e.EM_CANUNDO()) << "a load is not undoable";
        EXPECT_FALSE(e.EM_GETMODIFY());
    }
}

TEST(EngineStreams, TextInReadsUnicodeAnd1252) {
    RichEditEngine e;
    Source utf16{QByteArray("h\0\xE9\0", 4), 1};
    EDITSTREAM es = utf16.stream();
    e.EM_STREAMIN(SF_TEXT | SF_UNICODE, es);
    EXPECT_EQ(e.WM_GETTEXT(), u"hé"_qs);
    Source latin{QByteArray("na\xEFve \x93quoted\x94"), 3};
    es = latin.stream();
    e.EM_STREAMIN(SF_TEXT, es);
    EXPECT_EQ(e.WM_GETTEXT(), u"naïve “quoted”"_qs);
}

TEST(EngineStreams, FailedReadChangesNothingAndRtfIsRefused) {
    RecordingHost host;
    RichEditEngine e(&host);
    e.EM_SETEVENTMASK(ENM_CHANGE);
    e.WM_SETTEXT(u"keep me"_qs);
    host.reset();
    Source failing{QByteArray(10000, 'x'), 100, 3};
    EDITSTREAM es = failing.stream();
    EXPECT_EQ(e.EM_STREAMIN(SF_TEXT, es), 0);
    EXPECT_EQ(es.dwError, 7u);
    EXPECT_EQ(e.WM_GETTEXT(), u"keep me"_qs);
    EXPECT_EQ(host.count(EN_CHANGE), 0u);

    Source notRtf{"plain words"};
    es = notRtf.stream();
    e.EM_STREAMIN(SF_RTF, es);
    EXPECT_NE(es.dwError, 0u) << "a caller can retry in the other format";
    EXPECT_EQ(e.WM_GETTEXT(), u"keep me"_qs);
}

TEST(EngineStreams, SelectionStreamInReplacesTheSelectionAsAPaste) {
    RichEditEngine e;
    e.WM_SETTEXT(u"one two three"_qs);
    e.EM_EXSETSEL({4, 7});
    Source src{"2\r\n2b"};
    EDITSTREAM es = src.stream();
    e.EM_STREAMIN(SF_TEXT | SFF_SELECTION, es);
    EXPECT_EQ(e.WM_GETTEXT(), u"one 2\r2b three"_qs);
    EXPECT_EQ(e.EM_GETUNDONAME(), UID_PASTE);
    e.WM_UNDO();
    EXPECT_EQ(e.WM_GETTEXT(), u"one two three"_qs);
}

TEST(EngineStreams, TextOutWritesCrLfInBlocksAndReportsFailure) {
    RichEditEngine e;
    QString big;
    for (int i = 0; i < 3000; ++i)
        big += u"line é %1\r"_qs.arg(i);
    e.WM_SETTEXT(big);
    QString expected = big;
    expected.replace(u"\r"_qs, u"\r\n"_qs);

    for (int chunk : {1000, 7, 1 << 30}) {
        Sink sink;
        sink.chunk = chunk;
        EDITSTREAM es = sink.stream();
        e.EM_STREAMOUT(SF_TEXT, es);
        EXPECT_EQ(es.dwError, 0u);
        EXPECT_EQ(QString::fromUtf8(sink.data), expected) << chunk;
    }

    Sink unicode;
    EDITSTREAM es = unicode.stream();
    e.EM_EXSETSEL({0, 4});
    e.EM_STREAMOUT(SF_TEXT | SF_UNICODE | SFF_SELECTION, es);
    EXPECT_EQ(unicode.data, QByteArray("l\0i\0n\0e\0", 8));

    Sink full;
    full.capacity = 5000;
    es = full.stream();
    EXPECT_EQ(e.EM_STREAMOUT(SF_TEXT, es), 0);
    EXPECT_EQ(es.dwError, 2u) << "a failing receiver stops the transfer";

    Sink refusing;
    refusing.chunk = 0;
    es = refusing.stream();
    e.EM_STREAMOUT(SF_TEXT, es);
    EXPECT_NE(es.dwError, 0u) << "a receiver that takes nothing is a failure, not success";
}

TEST(EngineStreams, ALeadingZeroWidthNoBreakSpaceSurvivesARoundTrip) {
    for (uint32_t format : {SF_TEXT, SF_TEXT | SF_UNICODE}) {
        RichEditEngine e;
        e.WM_SETTEXT(QChar(0xFEFF) + u"text"_qs);
        Sink sink;
        EDITSTREAM es = sink.stream();
        e.EM_STREAMOUT(format, es);
        RichEditEngine back;
        Source src{sink.data};
        es = src.stream();
        back.EM_STREAMIN(format, es);
        EXPECT_EQ(back.WM_GETTEXT(), e.WM_GETTEXT()) << format;
    }
}

TEST(EngineStreams, FindTextAndFindTextEx) {
    RichEditEngine e;
    e.WM_SETTEXT(u"Find the word, then the Word again"_qs);
    EXPECT_EQ(e.EM_FINDTEXT(FR_DOWN, {{0, -1}, u"word"_qs}), 9);
    EXPECT_EQ(e.EM_FINDTEXT(FR_DOWN | FR_MATCHCASE, {{0, -1}, u"Word"_qs}), 24);
    EXPECT_EQ(e.EM_FINDTEXT(FR_DOWN | FR_WHOLEWORD, {{0, -1}, u"the"_qs}), 5);
    EXPECT_EQ(e.EM_FINDTEXT(0, {{24, 0}, u"the"_qs}), 20) << "upwards from the second Word";
    FINDTEXTEXW ex{{10, -1}, u"word"_qs, {}};
    EXPECT_EQ(e.EM_FINDTEXTEX(FR_DOWN, ex), 24);
    EXPECT_EQ(ex.chrgText, (CHARRANGE{24, 28}));
    FINDTEXTEXW miss{{0, -1}, u"absent"_qs, {}};
    EXPECT_EQ(e.EM_FINDTEXTEX(FR_DOWN, miss), -1);
    EXPECT_EQ(miss.chrgText, (CHARRANGE{-1, -1}));
}

TEST(EngineStreams, RichTextInReplacesTheDocumentOrPastesIntoTheSelection) {
    RecordingHost host;
    RichEditEngine e(&host);
    e.EM_SETEVENTMASK(ENM_CHANGE);
    e.WM_SETTEXT(u"old text"_qs);
    Source doc{"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello {\\b bold} world\\par second}", 7};
    EDITSTREAM es = doc.stream();
    EXPECT_EQ(e.EM_STREAMIN(SF_RTF, es), 23);
    EXPECT_EQ(es.dwError, 0u);
    EXPECT_EQ(e.WM_GETTEXT(), u"Hello bold world\rsecond"_qs);
    EXPECT_FALSE(e.EM_CANUNDO());
    EXPECT_FALSE(e.EM_GETMODIFY());
    e.EM_EXSETSEL({6, 10});
    CHARFORMAT2W cf;
    EXPECT_TRUE(e.EM_GETCHARFORMAT(SCF_SELECTION, cf) & CFM_BOLD);
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
    EXPECT_EQ(faceNameOf(cf.szFaceName), u"Arial"_qs);

    e.EM_EXSETSEL({0, 5});
    Source paste{"{\\rtf1 {\\i Goodbye}}"};
    es = paste.stream();
    e.EM_STREAMIN(SF_RTF | SFF_SELECTION, es);
    EXPECT_EQ(e.WM_GETTEXT(), u"Goodbye bold world\rsecond"_qs);
    EXPECT_EQ(e.EM_GETUNDONAME(), UID_PASTE);
    e.EM_EXSETSEL({0, 1});
    e.EM_GETCHARFORMAT(SCF_SELECTION, cf);
    EXPECT_TRUE(cf.dwEffects & CFE_ITALIC);
    e.WM_UNDO();
    EXPECT_EQ(e.WM_GETTEXT(), u"Hello bold world\rsecond"_qs);

    // Input that is not Rich Text Format, or a read that fails, changes nothing.
    host.reset();
    Source plain{"just words"};
    es = plain.stream();
    EXPECT_EQ(e.EM_STREAMIN(SF_RTF, es), 0);
    EXPECT_NE(es.dwError, 0u);
    Source broken{"{\\rtf1 " + QByteArray(20000, 'x') + "}", 1000, 5};
    es = broken.stream();
    EXPECT_EQ(e.EM_STREAMIN(SF_RTF, es), 0);
    EXPECT_EQ(es.dwError, 7u);
    EXPECT_EQ(e.WM_GETTEXT(), u"Hello bold world\rsecond"_qs);
    EXPECT_EQ(host.count(EN_CHANGE), 0u);
}

TEST(EngineStreams, RichTextOutRoundTripsAndStopsOnAFailingReceiver) {
    RichEditEngine e;
    Source doc{
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0 "
        "caf\\'e9 {\\cf1 red} \\u8364?{\\pict\\pngblip\\picw1\\pich1 89504e47}\\par\\qc end}"};
    EDITSTREAM es = doc.stream();
    e.EM_STREAMIN(SF_RTF, es);
    const QString text = e.WM_GETTEXT();

    Sink sink;
    sink.chunk = 100;
    es = sink.stream();
    e.EM_STREAMOUT(SF_RTF, es);
    EXPECT_EQ(es.dwError, 0u);
    EXPECT_TRUE(sink.data.startsWith("{\\rtf1"));
    EXPECT_TRUE(sink.data.contains("\\pngblip"));
    RichEditEngine again;
    Source back{sink.data, 13};
    es = back.stream();
    again.EM_STREAMIN(SF_RTF, es);
    EXPECT_EQ(again.WM_GETTEXT(), text);
    PARAFORMAT2 pf;
    again.EM_EXSETSEL({again.WM_GETTEXTLENGTH(), again.WM_GETTEXTLENGTH()});
    again.EM_GETPARAFORMAT(pf);
    EXPECT_EQ(pf.wAlignment, PFA_CENTER);

    Sink noObjects;
    es = noObjects.stream();
    e.EM_STREAMOUT(SF_RTFNOOBJS, es);
    EXPECT_FALSE(noObjects.data.contains("\\pict")) << "objects are left out";

    e.EM_EXSETSEL({5, 8});
    Sink part;
    es = part.stream();
    e.EM_STREAMOUT(SF_RTF | SFF_SELECTION, es);
    RichEditEngine piece;
    Source pieceIn{part.data};
    es = pieceIn.stream();
    piece.EM_STREAMIN(SF_RTF, es);
    EXPECT_EQ(piece.WM_GETTEXT(), u"red"_qs);

    Sink full;
    full.capacity = 50;
    full.chunk = 20;
    es = full.stream();
    EXPECT_EQ(e.EM_STREAMOUT(SF_RTF, es), 0);
    EXPECT_EQ(es.dwError, 2u);
}
