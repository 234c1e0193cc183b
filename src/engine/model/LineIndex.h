#pragma once

#include "engine/model/Document.h"

namespace richedit::model {

// The lines the engine's line requests count. Until lines are laid out, a line is a paragraph;
// the layout replaces this with display lines behind the same interface.
class LineIndex {
public:
    virtual ~LineIndex() = default;
    virtual int32_t lineCount() const = 0;
    // Start of a line; -1 for a line that does not exist.
    virtual CharPos lineStart(LineNumber line) const = 0;
    // Characters of the line without its paragraph mark (a wrapped line ends without one).
    virtual int32_t lineLength(LineNumber line) const = 0;
    // Characters of the line including its paragraph mark, when it has one in the text.
    virtual int32_t lineSpan(LineNumber line) const = 0;
    virtual LineNumber lineFromChar(CharPos pos) const = 0;
};

class ParagraphLines final : public LineIndex {
public:
    explicit ParagraphLines(const Document& doc) : doc_(doc) {}
    int32_t lineCount() const override { return doc_.paragraphCount(); }
    CharPos lineStart(LineNumber line) const override;
    int32_t lineLength(LineNumber line) const override;
    int32_t lineSpan(LineNumber line) const override;
    LineNumber lineFromChar(CharPos pos) const override;

private:
    const Document& doc_;
};

} // namespace richedit::model
