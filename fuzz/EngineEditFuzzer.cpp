// Drives an engine laid out in a window as a person would: typing, deleting, caret moves, clicks,
// selections, pastes of text and rich text, moving the selection, cutting, zoom, automatic URL
// detection, undo and redo, in an order the input chooses. After every step the engine's answers
// must agree with each other; at the end, after redoing what is left to redo, undoing everything
// must give back the starting text and redoing everything the text before the undo.

#include "engine/surface/RichEditEngine.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace richedit;
using CaretMove = RichEditEngine::CaretMove;

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "invariant failed at line %d: %s\n", __LINE__, #condition);       \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Pieces typed and pasted: words, spaces, breaks, and the starts of addresses the detector knows.
const char16_t* const kPieces[] = {
    u"a",          u"word ",   u" ",     u"\t",    u"http://", u"www.",     u"example",
    u".org",       u"mailto:", u"x@y.z", u"(",     u")",       u",",        u"\u00E9t\u00E9",
    u"\U0001F600", u"\r",      u"\v",    u"file:", u"\"q\"",   u"ftp://h/p"};

const char* const kRtf[] = {
    "{\\rtf1 {\\b bold} text}",
    "{\\rtf1 one\\par two\\par}",
    "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://a.b\"}{\\fldrslt link}} after}",
    "{\\rtf1\\ansi caf\\'e9 {\\ul under}\\line x}",
    "{\\rtf1 {\\pict\\pngblip\\picw1\\pich1 89504e47}}",
    "not rtf",
};

// The application lives as long as the process: libFuzzer ends with exit(), after Qt's own
// statics are gone, and destroying the application then would crash. It is made once and left to
// the process's end.
void app() {
    static int argc = 1;
    static char name[] = "fuzz_engine_edit";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* instance = nullptr;
    if (!instance) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        instance = new QGuiApplication(argc, argv);
    }
}

void checkConsistent(RichEditEngine& e) {
    const int32_t length = e.WM_GETTEXTLENGTH();
    FUZZ_CHECK(length == e.WM_GETTEXT().size());
    CHARRANGE sel;
    e.EM_EXGETSEL(sel);
    FUZZ_CHECK(0 <= sel.cpMin && sel.cpMin <= sel.cpMax && sel.cpMax <= length);
    const int32_t lines = e.EM_GETLINECOUNT();
    FUZZ_CHECK(lines >= 1);
    FUZZ_CHECK(e.EM_LINEINDEX(lines - 1) <= length);
    FUZZ_CHECK(e.EM_EXLINEFROMCHAR(length) == lines - 1);
    const int32_t caretLine = e.EM_EXLINEFROMCHAR(sel.cpMax);
    FUZZ_CHECK(e.EM_LINEINDEX(caretLine) <= sel.cpMax);
    const POINT at = e.EM_POSFROMCHAR(sel.cpMax);
    const int32_t back = e.EM_CHARFROMPOS(at);
    FUZZ_CHECK(0 <= back && back <= length);
    const POINT scroll = e.EM_GETSCROLLPOS();
    FUZZ_CHECK(scroll.x >= 0 && scroll.y >= 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    app();
    FuzzedDataProvider in(data, size);
    RichEditEngine e;
    e.EM_SETUNDOLIMIT(1 << 20);
    e.EM_SETRECT({2, 1, 2 + in.ConsumeIntegralInRange(40, 600), 300});
    const QString start = QStringLiteral("Start http://example.org text\rsecond paragraph");
    e.WM_SETTEXT(start);
    e.EM_AUTOURLDETECT(in.ConsumeBool());
    int steps = 0;
    while (in.remaining_bytes() > 0 && steps++ < 400) {
        const int32_t length = e.WM_GETTEXTLENGTH();
        const int op = in.ConsumeIntegralInRange(0, 17);
        if (std::getenv("FUZZ_TRACE")) {
            CHARRANGE r;
            e.EM_EXGETSEL(r);
            std::fprintf(stderr, "op %d len %d sel %d-%d\n", op, length, r.cpMin, r.cpMax);
        }
        switch (op) {
        case 0:
        case 1:
            e.TypeText(QString::fromUtf16(
                kPieces[in.ConsumeIntegralInRange<size_t>(0, std::size(kPieces) - 1)]));
            break;
        case 2:
            e.InsertParagraph();
            break;
        case 3:
            e.DeleteBackward(in.ConsumeBool());
            break;
        case 4:
            e.DeleteForward(in.ConsumeBool());
            break;
        case 5:
            e.MoveCaret(CaretMove(in.ConsumeIntegralInRange(0, 13)), in.ConsumeBool());
            break;
        case 6: {
            const int32_t a = in.ConsumeIntegralInRange(-1, length + 2);
            const int32_t b = in.ConsumeIntegralInRange(-1, length + 2);
            e.EM_EXSETSEL({a, b});
            break;
        }
        case 7:
            e.WM_UNDO();
            break;
        case 8:
            e.EM_REDO();
            break;
        case 9:
            e.PasteText(QString::fromUtf16(
                kPieces[in.ConsumeIntegralInRange<size_t>(0, std::size(kPieces) - 1)]));
            break;
        case 10:
            e.PasteRtf(kRtf[in.ConsumeIntegralInRange<size_t>(0, std::size(kRtf) - 1)]);
            break;
        case 11:
            e.DropSelectionAt(in.ConsumeIntegralInRange(0, length), in.ConsumeBool());
            break;
        case 12:
            e.CutSelection();
            break;
        case 13:
            e.EM_AUTOURLDETECT(in.ConsumeBool());
            break;
        case 14:
            e.ClickAt({in.ConsumeIntegralInRange(-20, 700), in.ConsumeIntegralInRange(-20, 400)},
                      in.ConsumeBool());
            break;
        case 15:
            e.DragSelectTo(
                {in.ConsumeIntegralInRange(-20, 700), in.ConsumeIntegralInRange(-20, 400)},
                in.ConsumeBool(), in.ConsumeBool());
            break;
        case 16: {
            const int32_t n = in.ConsumeIntegralInRange(1, 8);
            const int32_t d = in.ConsumeIntegralInRange(1, 8);
            e.EM_SETZOOM(n, d);
            break;
        }
        case 17:
            e.SelectWordAt({in.ConsumeIntegralInRange(0, 600), in.ConsumeIntegralInRange(0, 300)});
            break;
        }
        checkConsistent(e);
    }
    // Redo what is left to redo, then undo everything and redo everything again.
    while (e.EM_CANREDO())
        FUZZ_CHECK(e.EM_REDO());
    const QString before = e.WM_GETTEXT();
    while (e.EM_CANUNDO())
        FUZZ_CHECK(e.WM_UNDO());
    FUZZ_CHECK(e.WM_GETTEXT() == start);
    checkConsistent(e);
    while (e.EM_CANREDO())
        FUZZ_CHECK(e.EM_REDO());
    FUZZ_CHECK(e.WM_GETTEXT() == before);
    checkConsistent(e);
    // Qt trims its font caches from timers: let them run, as the program's event loop would.
    QCoreApplication::processEvents();
    return 0;
}
