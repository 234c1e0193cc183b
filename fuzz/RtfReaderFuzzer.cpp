// Feeds arbitrary bytes to the Rich Text Format reader in blocks of varying size. The reader must
// never crash, hang or grow without bound, and the document it builds must be consistent.

#include "engine/rtf/RtfReader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace richedit;

namespace {

// Serves the input in blocks whose sizes come from the input's first byte.
class ChoppedSource : public rtf::ByteSource {
public:
    ChoppedSource(const uint8_t* data, size_t size, int32_t block)
        : data_(data), size_(size), block_(block) {}
    int32_t read(uint8_t* buffer, int32_t capacity) override {
        const size_t n = std::min<size_t>({size_ - pos_, size_t(capacity), size_t(block_)});
        std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        return int32_t(n);
    }

private:
    const uint8_t* data_;
    size_t size_;
    int32_t block_;
    size_t pos_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const int32_t block = 1 + data[0] * 17;
    ChoppedSource src(data + 1, size - 1, block);
    model::Document doc;
    rtf::readRtf(src, doc);
    // Every paragraph ends with its mark and its runs cover it exactly.
    int64_t total = 0;
    for (model::ParaIndex p(0); p.v < doc.paragraphCount(); ++p) {
        const model::Paragraph& para = doc.paragraph(p);
        if (para.text.isEmpty() || para.text.back() != QChar(model::kParagraphMark) ||
            model::runs::totalLength(para.runs) != para.length())
            std::abort();
        total += para.length();
    }
    if (total - 1 != doc.end().v)
        std::abort();
    return 0;
}
