// The memory one RTF read takes, measured in a process that does nothing else.
//
//   quillex_bench_rtf_memory [MIB]      generates a document of about MIB MiB of RTF (50 if not
//                                       given) in one child process, reads it in another and
//                                       prints the second one's figures
//   quillex_bench_rtf_memory --write FILE MIB   (the first child) writes the RTF to FILE
//   quillex_bench_rtf_memory --read FILE        (the second child) loads FILE into memory,
//                                               reads it and prints the figures
//
// The reading process never held the generated document, so its peak resident size is that of
// the read alone.

#include "CountingAllocator.h"
#include "RtfCorpus.h"

#include "engine/rtf/RtfReader.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <malloc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

using namespace richedit;

int64_t peakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return int64_t(usage.ru_maxrss) * 1024; // Linux reports KiB
}

int writeCorpus(const char* path, int64_t megabytes) {
    const std::unique_ptr<quillex::bench::RtfCorpus> corpus =
        quillex::bench::makeRtfCorpus(megabytes);
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(corpus->rtf) != corpus->rtf.size()) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    return 0;
}

double mib(int64_t bytes) {
    return double(bytes) / double(1 << 20);
}

int readCorpus(const char* path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return 1;
    }
    const QByteArray rtf = file.readAll();
    file.close();
    malloc_trim(0);

    const int64_t residentBefore = peakResidentBytes();
    const int64_t heapBefore = quillex::bench::heapBytesInUse();
    quillex::bench::resetHeapPeak();

    model::Document doc;
    rtf::BufferSource source(rtf);
    const rtf::ReadResult result = rtf::readRtf(source, doc);

    const int64_t heapPeak = quillex::bench::heapPeakBytes() - heapBefore;
    const int64_t heapAfter = quillex::bench::heapBytesInUse() - heapBefore;
    const int64_t residentPeak = peakResidentBytes() - residentBefore;
    if (result.status != rtf::ReadResult::Ok) {
        std::fprintf(stderr, "the reader refused the file: %s\n",
                     result.message.toLocal8Bit().constData());
        return 1;
    }
    const auto size = double(rtf.size());
    std::printf("rtf_bytes              %12lld  (%.1f MiB)\n", static_cast<long long>(rtf.size()),
                mib(rtf.size()));
    std::printf("characters             %12d\n", doc.end().v);
    std::printf("paragraphs             %12d\n", doc.paragraphCount());
    std::printf("heap_peak_bytes        %12lld  %5.2f x RTF  (most heap in use during the read)\n",
                static_cast<long long>(heapPeak), double(heapPeak) / size);
    std::printf("heap_document_bytes    %12lld  %5.2f x RTF  (heap still in use: the document)\n",
                static_cast<long long>(heapAfter), double(heapAfter) / size);
    std::printf("model_estimate_bytes   %12lld  %5.2f x RTF  (Document::memoryBytes)\n",
                static_cast<long long>(doc.memoryBytes()), double(doc.memoryBytes()) / size);
    std::printf("maxrss_growth_bytes    %12lld  %5.2f x RTF  (ru_maxrss after minus before)\n",
                static_cast<long long>(residentPeak), double(residentPeak) / size);
    return 0;
}

int spawnSelf(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    static char self[] = "/proc/self/exe";
    argv.push_back(self);
    for (std::string& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, self, nullptr, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        return 1;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return 1;
    return WEXITSTATUS(status);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--write") == 0)
        return writeCorpus(argv[2], std::atoll(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "--read") == 0)
        return readCorpus(argv[2]);
    if (argc > 2 || (argc == 2 && std::atoll(argv[1]) <= 0)) {
        std::fprintf(stderr, "usage: %s [MIB]\n", argv[0]);
        return 2;
    }
    const std::string megabytes = argc == 2 ? argv[1] : "50";
    const QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    const std::string path = folder.filePath(QStringLiteral("corpus.rtf")).toStdString();
    if (const int rc = spawnSelf({"--write", path, megabytes}); rc != 0)
        return rc;
    std::fflush(stdout);
    return spawnSelf({"--read", path});
}
