// Figures of the text engine on a large generated document: editing latency, line lookups,
// formatting a long selection, searching, and the memory the document takes.

#include "BenchDocument.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <map>
#include <string>
#include <utility>

namespace {

using namespace richedit;
using quillex::bench::BenchDocument;
using quillex::bench::kParagraphLength;

constexpr int32_t kLargeDocument = 100000; // paragraphs: 10 million characters
constexpr int32_t kSmallDocument = 1000;

// Documents are built once per purpose and size and kept for the whole run, so that no timed
// loop pays for them. Benchmarks that edit get a document of their own.
BenchDocument& documentFor(const std::string& purpose, int32_t paragraphs) {
    static std::map<std::pair<std::string, int32_t>, std::unique_ptr<BenchDocument>> documents;
    auto& slot = documents[{purpose, paragraphs}];
    if (!slot)
        slot = quillex::bench::buildDocument(paragraphs);
    return *slot;
}

// Positions spread over the document in a fixed pseudo-random order, so that consecutive
// lookups do not hit the same part of the index.
std::vector<int32_t> spreadPositions(int32_t limit) {
    std::vector<int32_t> out(4096);
    uint32_t x = 2463534242u;
    for (int32_t& p : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        p = int32_t(x % uint32_t(limit));
    }
    return out;
}

size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// ---- Building the document, and its memory ----

void BM_BuildDocument(benchmark::State& state) {
    const auto paragraphs = int32_t(state.range(0));
    for (auto _ : state) {
        const size_t before = heapInUse();
        std::unique_ptr<BenchDocument> doc = quillex::bench::buildDocument(paragraphs);
        const size_t after = heapInUse();
        state.PauseTiming();
        const double chars = doc->length;
        const double model = double(doc->engine.document().memoryBytes());
        const double heap = double(after) - double(before);
        state.counters["chars"] = chars;
        state.counters["runs"] = double(quillex::bench::runCount(doc->engine));
        state.counters["model_bytes"] = model;
        state.counters["model_bytes_per_char"] = model / chars;
        state.counters["heap_bytes"] = heap;
        state.counters["heap_bytes_per_char"] = heap / chars;
        doc.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildDocument)->Arg(kLargeDocument)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---- Typing one character in the middle ----

// Each iteration moves the caret into the middle of the document and inserts one character as
// an undoable edit: the selection change, the edit, its undo record and the EN_CHANGE and
// EN_SELCHANGE notifications. Successive insertions go round 1000 paragraphs around the middle so
// that no paragraph grows long.
void BM_InsertCharInMiddle(benchmark::State& state) {
    BenchDocument& doc = documentFor("insert", kLargeDocument);
    RichEditEngine& engine = doc.engine;
    engine.EM_SETEVENTMASK(ENM_CHANGE | ENM_SELCHANGE);
    constexpr int32_t kSpread = 1000;
    const int32_t firstLine = doc.paragraphs / 2 - kSpread / 2;
    static int64_t inserted = 0;
    const int64_t notificationsBefore = doc.host.total;
    const QString text = QStringLiteral("x");
    for (auto _ : state) {
        const int32_t line = firstLine + int32_t(inserted++ % kSpread);
        const int32_t at = engine.EM_LINEINDEX(line) + kParagraphLength / 2;
        engine.EM_EXSETSEL({at, at});
        engine.EM_REPLACESEL(true, text);
    }
    if (!engine.EM_CANUNDO())
        state.SkipWithError("the insertion left no undo record");
    state.SetItemsProcessed(state.iterations());
    state.counters["notifications_per_insert"] = benchmark::Counter(
        double(doc.host.total - notificationsBefore), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_InsertCharInMiddle)->Unit(benchmark::kMicrosecond);

// ---- Line lookups ----

void BM_LineFromChar(benchmark::State& state) {
    BenchDocument& doc = documentFor("read", int32_t(state.range(0)));
    const std::vector<int32_t> positions = spreadPositions(doc.length + 1);
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.engine.EM_EXLINEFROMCHAR(positions[i++ & 4095]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LineFromChar)->Arg(kSmallDocument)->Arg(kLargeDocument);

void BM_LineIndex(benchmark::State& state) {
    BenchDocument& doc = documentFor("read", int32_t(state.range(0)));
    const std::vector<int32_t> lines = spreadPositions(doc.engine.EM_GETLINECOUNT());
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.engine.EM_LINEINDEX(lines[i++ & 4095]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LineIndex)->Arg(kSmallDocument)->Arg(kLargeDocument);

// ---- Formatting a long selection ----

// Toggles bold on a selection of 1000 paragraphs (100 000 characters in about 3800 format
// runs), one undoable EM_SETCHARFORMAT per iteration, with its EN_CHANGE notification.
void BM_ToggleBold1000Paragraphs(benchmark::State& state) {
    BenchDocument& doc = documentFor("format", kLargeDocument);
    RichEditEngine& engine = doc.engine;
    engine.EM_SETEVENTMASK(ENM_CHANGE | ENM_SELCHANGE);
    const int32_t firstLine = doc.paragraphs / 2 - 500;
    const CHARRANGE range{engine.EM_LINEINDEX(firstLine), engine.EM_LINEINDEX(firstLine + 1000)};
    engine.EM_EXSETSEL(range);
    CHARFORMAT2W bold;
    bold.dwMask = CFM_BOLD;
    bool on = true;
    for (auto _ : state) {
        bold.dwEffects = on ? CFE_BOLD : 0;
        if (!engine.EM_SETCHARFORMAT(SCF_SELECTION, bold))
            state.SkipWithError("EM_SETCHARFORMAT refused the selection");
        on = !on;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["selected_chars"] = double(range.cpMax - range.cpMin);
}
BENCHMARK(BM_ToggleBold1000Paragraphs)->Unit(benchmark::kMicrosecond);

// ---- Search ----

// Searches the whole document forward for a word it does not contain (no word of the text is
// longer than nine letters). The argument is the search flags besides FR_DOWN.
void BM_FindMissingWord(benchmark::State& state) {
    BenchDocument& doc = documentFor("read", kLargeDocument);
    const FINDTEXTW find{{0, -1}, QStringLiteral("quillexion")};
    const auto flags = FR_DOWN | uint32_t(state.range(0));
    for (auto _ : state) {
        const int32_t found = doc.engine.EM_FINDTEXT(flags, find);
        if (found != -1)
            state.SkipWithError("the missing word was found");
        benchmark::DoNotOptimize(found);
    }
    const double chars = double(state.iterations()) * doc.length;
    state.SetBytesProcessed(int64_t(chars) * 2); // the text is UTF-16
    state.counters["chars_per_second"] = benchmark::Counter(chars, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FindMissingWord)
    ->ArgName("matchcase")
    ->Arg(0)
    ->Arg(FR_MATCHCASE)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
