// Figures of the layout on a generated formatted document of about ten million characters:
// laying everything out, re-laying out after one typed character, painting one screen, and
// formatting and drawing pages. Qt's fonts need a GUI application, so this program has its own
// main that makes one (on the offscreen platform unless another is asked for) before it runs
// the benchmarks.

#include "LayoutCorpus.h"

#include "engine/layout/DocumentLayout.h"
#include "engine/layout/PageFormatter.h"
#include "engine/layout/Painter.h"
#include "engine/layout/QtTextMeasurer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

namespace {

using namespace richedit;
using layout::DocumentLayout;
using layout::PageFormatter;
using layout::PageRange;
using layout::PaintOptions;
using layout::QtTextMeasurer;
using layout::TwipsPoint;
using model::CharPos;
using model::ParaIndex;
using model::Twips;

constexpr int64_t kDocumentCharacters = 10'000'000;
constexpr Twips kTextWidth{9360}; // 6.5 inches
// US Letter with 1-inch margins.
constexpr Twips kPageWidth{12240};
constexpr Twips kPageHeight{15840};
constexpr Twips kMargin{1440};
constexpr Twips kPageTextWidth{kPageWidth.v - 2 * kMargin.v};
constexpr Twips kPageTextHeight{kPageHeight.v - 2 * kMargin.v};
constexpr int32_t kWantedPages = 500;

struct Corpus {
    model::Document document;
    int64_t characters = 0;
    int64_t utf8Bytes = 0;
    int32_t paragraphs = 0;
};

void describe(Corpus& c) {
    c.characters = c.document.end().v;
    c.paragraphs = c.document.paragraphCount();
    c.utf8Bytes = c.document.text(CharPos(0), c.document.end()).toUtf8().size();
}

// The measurer is shared by every benchmark and warmed by the first layout, as an editor keeps
// its own for the whole session: the figures are those of laying out, not of loading fonts.
QtTextMeasurer& measurer() {
    static QtTextMeasurer m;
    return m;
}

// The ten-million-character document, built once for the whole run.
Corpus& bigCorpus() {
    static std::unique_ptr<Corpus> corpus;
    if (!corpus) {
        corpus = std::make_unique<Corpus>();
        quillex::bench::buildLayoutDocument(corpus->document, kDocumentCharacters);
        describe(*corpus);
        DocumentLayout warm(corpus->document, measurer(), kTextWidth);
        benchmark::DoNotOptimize(warm.totalHeight());
    }
    return *corpus;
}

// A document of about 500 Letter pages: its length is calibrated on a sample.
Corpus& pageCorpus() {
    static std::unique_ptr<Corpus> corpus;
    if (!corpus) {
        constexpr int64_t kSample = 300'000;
        model::Document sample;
        quillex::bench::buildLayoutDocument(sample, kSample);
        PageFormatter f(sample, measurer(), kPageTextWidth);
        const auto pages = int64_t(f.paginate(kPageTextHeight).size());
        corpus = std::make_unique<Corpus>();
        quillex::bench::buildLayoutDocument(corpus->document, kSample * kWantedPages / pages);
        describe(*corpus);
    }
    return *corpus;
}

// Pixels of an image that are not white: shows that something was drawn.
double inkedPixels(const QImage& image) {
    int64_t n = 0;
    const QRgb white = qRgb(255, 255, 255);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        n += image.width() - std::count(row, row + image.width(), white);
    }
    return double(n);
}

void counters(benchmark::State& state, const Corpus& c) {
    state.counters["chars"] = double(c.characters);
    state.counters["paragraphs"] = double(c.paragraphs);
}

// Everything laid out at 6.5 inches by a fresh layout each iteration.
void BM_LayoutAll(benchmark::State& state) {
    Corpus& c = bigCorpus();
    int32_t lines = 0;
    for (auto _ : state) {
        auto l = std::make_unique<DocumentLayout>(c.document, measurer(), kTextWidth);
        benchmark::DoNotOptimize(l->totalHeight());
        lines = l->lineCount();
        state.PauseTiming();
        l.reset();
        state.ResumeTiming();
    }
    counters(state, c);
    state.counters["lines"] = double(lines);
    state.counters["paragraphs_per_second"] =
        benchmark::Counter(double(c.paragraphs), benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(state.iterations() * c.utf8Bytes);
}
BENCHMARK(BM_LayoutAll)->Unit(benchmark::kMillisecond)->UseRealTime();

// A body paragraph of about 150 words near the middle of the document.
ParaIndex typingParagraph(const model::Document& doc) {
    ParaIndex best(doc.paragraphCount() / 2);
    int32_t bestMiss = 1 << 30;
    for (int32_t p = doc.paragraphCount() / 2; p < doc.paragraphCount() && bestMiss > 0; ++p) {
        const QString& text = doc.paragraph(ParaIndex(p)).text;
        const int32_t words = int32_t(text.count(u' ')) + 1;
        if (std::abs(words - 150) < bestMiss) {
            bestMiss = std::abs(words - 150);
            best = ParaIndex(p);
        }
    }
    return best;
}

// One character typed in the middle of a 150-word paragraph in the middle of the document: the
// model's insert tells the layout (its observer), which is then asked for that paragraph's
// layout (range 0) or for the total height as well (range 1). Only the insert and the question
// are timed; the character is removed again (and the layout brought up to date) untimed, so
// every iteration types into the same paragraph.
void BM_TypeCharInMiddle(benchmark::State& state) {
    Corpus& c = bigCorpus();
    model::Document& doc = c.document;
    const bool askTotal = state.range(0) != 0;
    DocumentLayout l(doc, measurer(), kTextWidth);
    benchmark::DoNotOptimize(l.totalHeight());
    doc.setObserver(&l);
    const ParaIndex p = typingParagraph(doc);
    const CharPos at = doc.paragraphStart(p) + doc.paragraph(p).length() / 2;
    model::Fragment typed;
    typed.text = QStringLiteral("e");
    typed.runs = {model::Run{1, doc.charFormatIdAt(at)}};
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto start = Clock::now();
        doc.insert(at, typed);
        benchmark::DoNotOptimize(l.paragraphLayout(p).height());
        if (askTotal)
            benchmark::DoNotOptimize(l.totalHeight());
        const auto stop = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        doc.remove(at, at + 1);
        benchmark::DoNotOptimize(l.paragraphLayout(p).height());
        benchmark::DoNotOptimize(l.totalHeight());
    }
    doc.setObserver(nullptr);
    counters(state, c);
    const QString& text = doc.paragraph(p).text;
    state.counters["words"] = double(text.count(u' ') + 1);
    state.counters["para_lines"] = double(l.paragraphLayout(p).lineCount());
}
BENCHMARK(BM_TypeCharInMiddle)
    ->ArgName("total_height")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// One 1000 x 800 screen at 96 dpi painted at the top (range 0), the middle (1) or the end (2)
// of the laid-out document, into an image, with a painter that keeps its fonts between screens.
void BM_PaintScreen(benchmark::State& state) {
    Corpus& c = bigCorpus();
    DocumentLayout l(c.document, measurer(), kTextWidth);
    const int32_t total = l.totalHeight().v;
    layout::Painter painter(c.document, l);
    QImage screen(1000, 800, QImage::Format_ARGB32_Premultiplied);
    screen.fill(Qt::white);
    PaintOptions o;
    o.scale = 96.0 / 1440.0;
    o.clip = QRectF(0, 0, screen.width(), screen.height());
    const int32_t screenTwips = int32_t(std::lround(screen.height() / o.scale));
    const int32_t where[] = {0, total / 2, std::max(0, total - screenTwips)};
    o.from = TwipsPoint{Twips(0), Twips(where[state.range(0)])};
    for (auto _ : state) {
        QPainter p(&screen);
        painter.paint(p, o);
    }
    counters(state, c);
    state.counters["y_twips"] = double(o.from.y.v);
    state.counters["inked_pixels"] = inkedPixels(screen);
}
BENCHMARK(BM_PaintScreen)->ArgName("at")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Every page of the 500-page document formatted for Letter with 1-inch margins by a fresh page
// formatter (so the layout at the page width is part of it), without drawing. Pages are in
// twips, so this is the same for a 600 dpi printer as for any device.
void BM_FormatAllPages(benchmark::State& state) {
    Corpus& c = pageCorpus();
    size_t pages = 0;
    for (auto _ : state) {
        auto f = std::make_unique<PageFormatter>(c.document, measurer(), kPageTextWidth);
        pages = f->paginate(kPageTextHeight).size();
        state.PauseTiming();
        f.reset();
        state.ResumeTiming();
    }
    counters(state, c);
    state.counters["pages"] = double(pages);
    state.counters["pages_per_second"] =
        benchmark::Counter(double(pages), benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(state.iterations() * c.utf8Bytes);
}
BENCHMARK(BM_FormatAllPages)->Unit(benchmark::kMillisecond)->UseRealTime();

// One page from the middle of the 500-page document drawn into a 150 dpi Letter image
// (1275 x 1650), the layout already made and the page formatter keeping its fonts.
void BM_RenderPage150Dpi(benchmark::State& state) {
    Corpus& c = pageCorpus();
    PageFormatter f(c.document, measurer(), kPageTextWidth);
    const std::vector<PageRange> pages = f.paginate(kPageTextHeight);
    const CharPos start = pages[pages.size() / 2].start;
    constexpr qreal kDpi = 150;
    const qreal scale = kDpi / 1440.0;
    QImage page(int(std::lround(kPageWidth.v * scale)), int(std::lround(kPageHeight.v * scale)),
                QImage::Format_RGB32);
    page.fill(Qt::white);
    const QPointF origin(kMargin.v * scale, kMargin.v * scale);
    int32_t lines = 0;
    for (auto _ : state) {
        QPainter p(&page);
        lines = f.drawPage(p, start, kPageTextHeight, origin, scale).lines;
    }
    counters(state, c);
    state.counters["pages"] = double(pages.size());
    state.counters["page_lines"] = double(lines);
    state.counters["inked_pixels"] = inkedPixels(page);
}
BENCHMARK(BM_RenderPage150Dpi)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
