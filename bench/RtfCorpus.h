#pragma once

#include "engine/model/Document.h"
#include "engine/rtf/RtfStreams.h"

#include <QByteArray>

#include <cstdint>
#include <memory>

namespace quillex::bench {

// A formatted document as a word processor user writes one, built from a fixed seed so that
// every run and machine gets the same bytes: body paragraphs of 90 to 110 words in sentences,
// a character format change about every ten words (bold, italic, underline, colours, a larger
// size, other fonts), a heading before every twentieth paragraph, short numbered lists, tabbed
// lines with left, right and decimal stops, and words with non-ASCII letters (Latin-1,
// Greek, Cyrillic, Japanese, typographic punctuation).
void buildFormattedDocument(richedit::model::Document& out, int32_t paragraphs);

// The number of paragraphs that makes the document's RTF about `rtfBytes` long.
int32_t paragraphsForRtfSize(int64_t rtfBytes);

// The whole document as RTF.
QByteArray rtfOf(const richedit::model::Document& doc);

// A document of about `megabytes` MiB of RTF, together with its RTF.
struct RtfCorpus {
    richedit::model::Document document;
    QByteArray rtf;
    int64_t characters = 0;
    int32_t paragraphs = 0;
    int64_t runs = 0;
};
std::unique_ptr<RtfCorpus> makeRtfCorpus(int64_t megabytes);

// A sink that only counts what it is given.
class CountingSink final : public richedit::rtf::ByteSink {
public:
    bool write(const char* data, int64_t size) override {
        (void)data;
        bytes += size;
        return true;
    }
    int64_t bytes = 0;
};

} // namespace quillex::bench
