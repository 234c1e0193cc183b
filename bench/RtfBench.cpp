// Figures of Rich Text Format reading and writing on generated formatted documents of about
// 1 MiB and 50 MiB of RTF: the reader and writer alone, and the engine's stream requests.

#include "BenchDocument.h"
#include "RtfCorpus.h"

#include "engine/rtf/RtfReader.h"
#include "engine/rtf/RtfWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace {

using namespace richedit;
using quillex::bench::CountingHost;
using quillex::bench::CountingSink;
using quillex::bench::RtfCorpus;

// Each corpus is built once and kept for the whole run, so that no timed loop pays for it.
const RtfCorpus& corpusOf(int64_t megabytes) {
    static std::map<int64_t, std::unique_ptr<RtfCorpus>> corpora;
    auto& slot = corpora[megabytes];
    if (!slot)
        slot = quillex::bench::makeRtfCorpus(megabytes);
    return *slot;
}

void describe(benchmark::State& state, const RtfCorpus& corpus) {
    state.counters["rtf_bytes"] = double(corpus.rtf.size());
    state.counters["chars"] = double(corpus.characters);
    state.counters["paragraphs"] = double(corpus.paragraphs);
    state.counters["runs"] = double(corpus.runs);
}

// Serves a byte array to the engine's stream callback in the blocks it asks for.
struct MemorySource {
    const QByteArray* bytes = nullptr;
    qsizetype offset = 0;
};

uint32_t readMemory(uintptr_t cookie, uint8_t* buffer, int32_t size, int32_t& transferred) {
    auto* source = reinterpret_cast<MemorySource*>(cookie);
    const qsizetype n = std::min<qsizetype>(size, source->bytes->size() - source->offset);
    std::memcpy(buffer, source->bytes->constData() + source->offset, size_t(n));
    source->offset += n;
    transferred = int32_t(n);
    return 0;
}

uint32_t countBytes(uintptr_t cookie, uint8_t*, int32_t size, int32_t& transferred) {
    *reinterpret_cast<int64_t*>(cookie) += size;
    transferred = size;
    return 0;
}

// ---- The reader and the writer alone ----

// One iteration reads the whole RTF from memory into a fresh document. Freeing the document
// afterwards is not timed.
void BM_ReadRtf(benchmark::State& state) {
    const RtfCorpus& corpus = corpusOf(state.range(0));
    for (auto _ : state) {
        auto doc = std::make_unique<model::Document>();
        rtf::BufferSource source(corpus.rtf); // shares the bytes, copies nothing
        const rtf::ReadResult result = rtf::readRtf(source, *doc);
        state.PauseTiming();
        if (result.status != rtf::ReadResult::Ok || doc->end().v != corpus.characters)
            state.SkipWithError("the document did not read back whole");
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * corpus.rtf.size());
    describe(state, corpus);
}
BENCHMARK(BM_ReadRtf)->ArgName("MiB")->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

// One iteration writes the whole document into a sink that only counts the bytes.
void BM_WriteRtf(benchmark::State& state) {
    const RtfCorpus& corpus = corpusOf(state.range(0));
    const model::Document& doc = corpus.document;
    int64_t written = 0;
    for (auto _ : state) {
        CountingSink sink;
        if (!rtf::writeRtf(doc, model::CharPos(0), doc.end(), sink))
            state.SkipWithError("the writer failed");
        written += sink.bytes;
    }
    state.SetBytesProcessed(written);
    describe(state, corpus);
}
BENCHMARK(BM_WriteRtf)->ArgName("MiB")->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

// ---- The engine's stream requests ----

// One iteration loads the RTF into a fresh engine through EM_STREAMIN(SF_RTF), the callback
// copying 4 KiB blocks from memory: the reader plus the engine taking the document over and
// telling its host. Creating and freeing the engine is not timed.
void BM_StreamInRtf(benchmark::State& state) {
    const RtfCorpus& corpus = corpusOf(state.range(0));
    CountingHost host;
    for (auto _ : state) {
        state.PauseTiming();
        auto engine = std::make_unique<RichEditEngine>(&host);
        engine->EM_SETEVENTMASK(ENM_CHANGE | ENM_SELCHANGE);
        MemorySource source{&corpus.rtf, 0};
        EDITSTREAM stream;
        stream.dwCookie = reinterpret_cast<uintptr_t>(&source);
        stream.pfnCallback = readMemory;
        state.ResumeTiming();
        const int32_t loaded = engine->EM_STREAMIN(SF_RTF, stream);
        state.PauseTiming();
        if (stream.dwError != 0 || loaded != corpus.characters)
            state.SkipWithError("EM_STREAMIN did not load the whole document");
        engine.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * corpus.rtf.size());
    describe(state, corpus);
}
BENCHMARK(BM_StreamInRtf)->ArgName("MiB")->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

// One iteration saves the engine's document through EM_STREAMOUT(SF_RTF) to a callback that
// counts the blocks it is given.
void BM_StreamOutRtf(benchmark::State& state) {
    const RtfCorpus& corpus = corpusOf(state.range(0));
    CountingHost host;
    RichEditEngine engine(&host);
    MemorySource source{&corpus.rtf, 0};
    EDITSTREAM in;
    in.dwCookie = reinterpret_cast<uintptr_t>(&source);
    in.pfnCallback = readMemory;
    engine.EM_STREAMIN(SF_RTF, in);
    if (in.dwError != 0 || engine.WM_GETTEXTLENGTH() != corpus.characters) {
        state.SkipWithError("EM_STREAMIN did not load the whole document");
        return;
    }
    int64_t written = 0;
    for (auto _ : state) {
        EDITSTREAM out;
        out.dwCookie = reinterpret_cast<uintptr_t>(&written);
        out.pfnCallback = countBytes;
        engine.EM_STREAMOUT(SF_RTF, out);
        if (out.dwError != 0)
            state.SkipWithError("EM_STREAMOUT failed");
    }
    state.SetBytesProcessed(written);
    describe(state, corpus);
}
BENCHMARK(BM_StreamOutRtf)->ArgName("MiB")->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
