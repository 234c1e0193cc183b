// Figures of the engine's window on a generated formatted document of about ten million
// characters, from the input event to the finished repaint of the window: a typed character at
// the start, middle and end, Page Down, a paste of 1 MB of rich text, and scrolling from top to
// bottom by the scroll bar's thumb (the slowest frame is reported). The window runs on the
// offscreen platform unless another is asked for; its own main makes the application.

#include "LayoutCorpus.h"

#include "engine/rtf/RtfStreams.h"
#include "engine/rtf/RtfWriter.h"
#include "engine/view/RichEditView.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using namespace richedit;
using model::CharPos;

constexpr int64_t kDocumentCharacters = 10'000'000;
constexpr int64_t kPasteCharacters = 1'000'000;

QByteArray toRtf(const model::Document& doc) {
    rtf::BufferSink sink;
    rtf::writeRtf(doc, CharPos(0), doc.end(), sink);
    return sink.bytes;
}

void streamIn(RichEditEngine& engine, const QByteArray& rtf) {
    qsizetype pos = 0;
    EDITSTREAM stream;
    stream.pfnCallback = [&](uintptr_t, uint8_t* buffer, int32_t cb, int32_t& got) {
        got = int32_t(std::min<qsizetype>(cb, rtf.size() - pos));
        std::memcpy(buffer, rtf.constData() + pos, size_t(got));
        pos += got;
        return 0u;
    };
    engine.EM_STREAMIN(SF_RTF, stream);
}

// One window of 1000 x 800 pixels holding the big document, made once for the whole run and
// closed before the application ends.
std::unique_ptr<view::RichEditView> theWindow;

view::RichEditView& window() {
    if (!theWindow) {
        model::Document doc;
        quillex::bench::buildLayoutDocument(doc, kDocumentCharacters);
        theWindow = std::make_unique<view::RichEditView>();
        theWindow->resize(1000 + 2 * theWindow->frameWidth() +
                              theWindow->verticalScrollBar()->sizeHint().width(),
                          800 + 2 * theWindow->frameWidth());
        theWindow->show();
        theWindow->setFocus();
        streamIn(theWindow->engine(), toRtf(doc));
        QApplication::processEvents();
        theWindow->viewport()->repaint(); // lays out what the first screen needs
    }
    return *theWindow;
}

void typeAndRepaint(view::RichEditView& v) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(&v, &press);
    v.viewport()->repaint();
}

void BM_TypeCharacter(benchmark::State& state) {
    view::RichEditView& v = window();
    RichEditEngine& e = v.engine();
    const int32_t length = e.WM_GETTEXTLENGTH();
    const int32_t at = state.range(0) == 0 ? 0 : state.range(0) == 1 ? length / 2 : length;
    e.EM_EXSETSEL({at, at});
    e.EM_SCROLLCARET();
    v.viewport()->repaint();
    for (auto _ : state)
        typeAndRepaint(v);
    state.SetLabel(state.range(0) == 0 ? "start" : state.range(0) == 1 ? "middle" : "end");
    e.EM_STOPGROUPTYPING();
}
BENCHMARK(BM_TypeCharacter)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_PageDown(benchmark::State& state) {
    view::RichEditView& v = window();
    RichEditEngine& e = v.engine();
    const int32_t length = e.WM_GETTEXTLENGTH();
    e.EM_EXSETSEL({length / 3, length / 3});
    e.EM_SCROLLCARET();
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(&v, &press);
        v.viewport()->repaint();
    }
}
BENCHMARK(BM_PageDown)->Unit(benchmark::kMicrosecond);

void BM_Paste1MBRtf(benchmark::State& state) {
    view::RichEditView& v = window();
    RichEditEngine& e = v.engine();
    model::Document piece;
    quillex::bench::buildLayoutDocument(piece, kPasteCharacters);
    const QByteArray rtf = toRtf(piece);
    auto* data = new QMimeData; // the clipboard owns it
    data->setData(QStringLiteral("text/rtf"), rtf);
    QApplication::clipboard()->setMimeData(data);
    for (auto _ : state) {
        state.PauseTiming();
        const int32_t middle = e.WM_GETTEXTLENGTH() / 2;
        e.EM_EXSETSEL({middle, middle});
        state.ResumeTiming();
        v.WM_PASTE();
        v.viewport()->repaint();
        state.PauseTiming();
        e.WM_UNDO();
        v.viewport()->repaint();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
    state.counters["rtf_bytes"] = double(rtf.size());
}
BENCHMARK(BM_Paste1MBRtf)->Unit(benchmark::kMillisecond)->Iterations(5);

// Drags the thumb from the top to the bottom in 400 steps, each step a repaint.
void BM_ScrollByThumb(benchmark::State& state) {
    view::RichEditView& v = window();
    QScrollBar* bar = v.verticalScrollBar();
    double slowest = 0;
    double total = 0;
    constexpr int kSteps = 400;
    for (auto _ : state) {
        for (int i = 0; i <= kSteps; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            bar->setValue(int(int64_t(bar->maximum()) * i / kSteps));
            v.viewport()->repaint();
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count();
            slowest = std::max(slowest, ms);
            total += ms;
        }
    }
    state.counters["frames"] = double(kSteps + 1);
    state.counters["slowest_frame_ms"] = slowest;
    state.counters["mean_frame_ms"] = total / (double(state.iterations()) * (kSteps + 1));
}
BENCHMARK(BM_ScrollByThumb)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theWindow.reset();
    return 0;
}
