#pragma once

#include "engine/surface/RichEditEngine.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace quillex::bench {

// Every paragraph of a generated document holds this many characters, its mark included.
constexpr int32_t kParagraphLength = 100;

// Counts the notifications an engine sends; answers every one with 0.
class CountingHost final : public richedit::RichEditHost {
public:
    intptr_t Notify(richedit::NMHDR& header) override {
        ++total;
        if (header.code == richedit::EN_CHANGE)
            ++changes;
        else if (header.code == richedit::EN_SELCHANGE)
            ++selectionChanges;
        return 0;
    }
    int64_t total = 0;
    int64_t changes = 0;
    int64_t selectionChanges = 0;
};

// A word of the generated text, in document positions.
struct WordSpan {
    int32_t start = 0;
    int32_t length = 0;
};

// Plain text of `paragraphs` lines of lower-case words (3 to 9 letters, from a fixed seed), each
// line kParagraphLength - 1 characters long, joined by CR LF without a final line end, so that
// the document holds exactly `paragraphs` paragraphs.
struct GeneratedText {
    QByteArray bytes;
    std::vector<WordSpan> words;
};
GeneratedText generateText(int32_t paragraphs);

// An engine holding a generated document: the text is streamed in as plain text and every tenth
// word gets a character format (bold, italic, underline or a colour in turn) through selections
// and EM_SETCHARFORMAT, so the document has a format run boundary about every ten words.
struct BenchDocument {
    CountingHost host;
    richedit::RichEditEngine engine{&host};
    int32_t paragraphs = 0;
    int32_t length = 0; // characters, paragraph marks included
    int64_t formattedWords = 0;
};
std::unique_ptr<BenchDocument> buildDocument(int32_t paragraphs);

// The format run count of a document, for the figures.
int64_t runCount(const richedit::RichEditEngine& engine);

} // namespace quillex::bench
