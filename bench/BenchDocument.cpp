#include "BenchDocument.h"

#include "BenchRandom.h"

#include <algorithm>
#include <cstring>

namespace quillex::bench {

using namespace richedit;

namespace {

struct ByteSource {
    const QByteArray* bytes = nullptr;
    qsizetype offset = 0;
};

uint32_t readBytes(uintptr_t cookie, uint8_t* buffer, int32_t size, int32_t& transferred) {
    auto* source = reinterpret_cast<ByteSource*>(cookie);
    const qsizetype n = std::min<qsizetype>(size, source->bytes->size() - source->offset);
    std::memcpy(buffer, source->bytes->constData() + source->offset, size_t(n));
    source->offset += n;
    transferred = int32_t(n);
    return 0;
}

CHARFORMAT2W formatNumber(int64_t n) {
    CHARFORMAT2W cf;
    switch (n % 4) {
    case 0:
        cf.dwMask = CFM_BOLD;
        cf.dwEffects = CFE_BOLD;
        break;
    case 1:
        cf.dwMask = CFM_ITALIC;
        cf.dwEffects = CFE_ITALIC;
        break;
    case 2:
        cf.dwMask = CFM_UNDERLINE;
        cf.dwEffects = CFE_UNDERLINE;
        break;
    default:
        cf.dwMask = CFM_COLOR;
        cf.dwEffects = 0;
        cf.crTextColor = 0x000000C0; // dark red
        break;
    }
    return cf;
}

} // namespace

GeneratedText generateText(int32_t paragraphs) {
    GeneratedText out;
    out.bytes.reserve(qsizetype(paragraphs) * (kParagraphLength + 1));
    out.words.reserve(size_t(paragraphs) * 16);
    Lcg random(20240601);
    constexpr int32_t lineLength = kParagraphLength - 1;
    for (int32_t p = 0; p < paragraphs; ++p) {
        const int32_t paragraphStart = p * kParagraphLength;
        int32_t used = 0;
        while (used < lineLength) {
            if (used > 0) {
                out.bytes.append(' ');
                ++used;
                if (used == lineLength)
                    break;
            }
            const int32_t want = 3 + int32_t(random.below(7));
            const int32_t length = std::min(want, lineLength - used);
            for (int32_t i = 0; i < length; ++i)
                out.bytes.append(char('a' + random.below(26)));
            out.words.push_back({paragraphStart + used, length});
            used += length;
        }
        if (p + 1 < paragraphs)
            out.bytes.append("\r\n");
    }
    return out;
}

std::unique_ptr<BenchDocument> buildDocument(int32_t paragraphs) {
    auto doc = std::make_unique<BenchDocument>();
    GeneratedText text = generateText(paragraphs);
    RichEditEngine& engine = doc->engine;

    ByteSource source{&text.bytes, 0};
    EDITSTREAM stream;
    stream.dwCookie = reinterpret_cast<uintptr_t>(&source);
    stream.pfnCallback = readBytes;
    engine.EM_STREAMIN(SF_TEXT, stream);
    text.bytes = QByteArray(); // the source text is not part of the document's figures

    for (size_t w = 9; w < text.words.size(); w += 10) {
        const WordSpan word = text.words[w];
        engine.EM_EXSETSEL({word.start, word.start + word.length});
        engine.EM_SETCHARFORMAT(SCF_SELECTION, formatNumber(doc->formattedWords++));
    }
    engine.EM_EXSETSEL({0, 0});
    engine.EM_EMPTYUNDOBUFFER();
    engine.EM_SETMODIFY(false);
    doc->paragraphs = paragraphs;
    doc->length = engine.WM_GETTEXTLENGTH();
    return doc;
}

int64_t runCount(const RichEditEngine& engine) {
    const model::Document& d = engine.document();
    int64_t n = 0;
    for (int32_t p = 0; p < d.paragraphCount(); ++p)
        n += int64_t(d.paragraph(model::ParaIndex(p)).runs.size());
    return n;
}

} // namespace quillex::bench
