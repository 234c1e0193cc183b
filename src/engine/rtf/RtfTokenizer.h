#pragma once

#include "engine/rtf/RtfStreams.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace richedit::rtf {

struct Token {
    enum Kind { End, Open, Close, Word, Symbol, Hex, Text };
    Kind kind = End;
    std::string_view word; // control word name (Word)
    int32_t param = 0;     // its numeric parameter, clamped to 32 bits
    bool hasParam = false;
    char symbol = 0;       // control symbol character (Symbol)
    uint8_t hex = 0;       // the byte of a \'hh (Hex)
    std::string_view text; // a run of plain text bytes (Text), valid until the next token
};

// Splits a Rich Text Format byte stream into tokens, pulling blocks from the source as it goes.
// Malformed input never stops it: odd bytes become text, bad hex is dropped, long names and
// numbers are cut, NUL bytes are ignored.
class Tokenizer {
public:
    explicit Tokenizer(ByteSource& source);

    // False when the source holds no RTF header ("{\rtf" after optional white space).
    bool hasRtfHeader();
    bool next(Token& token);
    // Hands the next `count` raw bytes (after \bin) to sink in pieces; stops at the end of input.
    void readBinary(int64_t count, const std::function<void(const char*, int32_t)>& sink);

    bool sourceFailed() const { return failed_; }
    int64_t offset() const { return consumed_ + int64_t(pos_); }

private:
    bool fill();
    int peek();
    int get();

    ByteSource& source_;
    std::vector<uint8_t> buffer_;
    size_t pos_ = 0;
    size_t size_ = 0;
    int64_t consumed_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    std::array<char, 33> name_{};
};

} // namespace richedit::rtf
