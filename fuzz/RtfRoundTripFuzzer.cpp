// Reads arbitrary bytes as Rich Text Format, writes what was read and reads that again: the
// text, the character formats and the paragraph formats must survive the second trip.

#include "engine/rtf/RtfReader.h"
#include "engine/rtf/RtfWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace richedit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    model::Document first;
    rtf::BufferSource src(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (rtf::readRtf(src, first).status != rtf::ReadResult::Ok)
        return 0;
    rtf::BufferSink out;
    if (!rtf::writeRtf(first, model::CharPos(0), first.end(), out))
        std::abort();
    model::Document second;
    rtf::BufferSource again(out.bytes);
    if (rtf::readRtf(again, second).status != rtf::ReadResult::Ok)
        std::abort();
    const QString a = first.text(model::CharPos(0), first.end());
    const QString b = second.text(model::CharPos(0), second.end());
    if (a != b) {
        std::fprintf(stderr, "text differs\n");
        std::abort();
    }
    for (int32_t pos = 0; pos <= first.end().v; ++pos) {
        const model::CharPos at(pos);
        if (!(first.charFormats()[first.charFormatIdAt(at)] ==
              second.charFormats()[second.charFormatIdAt(at)])) {
            std::fprintf(stderr, "character format differs at %d\n", pos);
            std::abort();
        }
    }
    for (model::ParaIndex p(0); p.v < first.paragraphCount(); ++p)
        if (!(first.paraFormats()[first.paraFormatId(p)] ==
              second.paraFormats()[second.paraFormatId(p)])) {
            std::fprintf(stderr, "paragraph format differs in paragraph %d\n", p.v);
            std::abort();
        }
    return 0;
}
