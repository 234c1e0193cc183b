#include "engine/rtf/RtfTokenizer.h"

#include <algorithm>

namespace richedit::rtf {

namespace {
constexpr size_t kBufferSize = 64 * 1024;

int hexValue(int c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
bool isLetter(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
} // namespace

Tokenizer::Tokenizer(ByteSource& source) : source_(source), buffer_(kBufferSize) {}

bool Tokenizer::fill() {
    if (eof_)
        return false;
    consumed_ += int64_t(pos_);
    // Keep nothing: every token is complete before a refill is needed.
    pos_ = 0;
    size_ = 0;
    const int32_t n = source_.read(buffer_.data(), int32_t(buffer_.size()));
    if (n < 0) {
        failed_ = true;
        eof_ = true;
        return false;
    }
    if (n == 0) {
        eof_ = true;
        return false;
    }
    size_ = size_t(std::min<int32_t>(n, int32_t(buffer_.size())));
    return true;
}

int Tokenizer::peek() {
    if (pos_ >= size_ && !fill())
        return -1;
    return buffer_[pos_];
}

int Tokenizer::get() {
    const int c = peek();
    if (c >= 0)
        ++pos_;
    return c;
}

bool Tokenizer::hasRtfHeader() {
    // The header must be within the first block; skip white space before it.
    if (pos_ >= size_)
        fill();
    size_t i = pos_;
    while (i < size_ &&
           (buffer_[i] == ' ' || buffer_[i] == '\t' || buffer_[i] == '\r' || buffer_[i] == '\n'))
        ++i;
    static constexpr std::string_view header = "{\\rtf";
    if (size_ - i < header.size())
        return false;
    return std::equal(header.begin(), header.end(), buffer_.begin() + std::ptrdiff_t(i));
}

bool Tokenizer::next(Token& t) {
    for (;;) {
        const int c = peek();
        if (c < 0) {
            t.kind = Token::End;
            return false;
        }
        if (c == '{' || c == '}') {
            ++pos_;
            t.kind = c == '{' ? Token::Open : Token::Close;
            return true;
        }
        if (c == '\r' || c == '\n' || c == 0) {
            ++pos_;
            continue;
        }
        if (c != '\\') {
            // A run of text up to the next special byte or the end of the buffer.
            const size_t start = pos_;
            while (pos_ < size_) {
                const uint8_t b = buffer_[pos_];
                if (b == '\\' || b == '{' || b == '}' || b == '\r' || b == '\n' || b == 0)
                    break;
                ++pos_;
            }
            t.kind = Token::Text;
            t.text = std::string_view(reinterpret_cast<const char*>(buffer_.data()) + start,
                                      pos_ - start);
            return true;
        }
        ++pos_; // the backslash
        const int d = peek();
        if (d < 0) {
            t.kind = Token::End;
            return false;
        }
        if (isLetter(d)) {
            size_t len = 0;
            while (isLetter(peek())) {
                const int ch = get();
                if (len < 32)
                    name_[len++] = char(ch);
            }
            t.kind = Token::Word;
            t.word = std::string_view(name_.data(), len);
            t.hasParam = false;
            t.param = 0;
            bool negative = false;
            if (peek() == '-') {
                ++pos_;
                negative = true;
            }
            int64_t value = 0;
            bool digits = false;
            while (peek() >= '0' && peek() <= '9') {
                value = std::min<int64_t>(value * 10 + (get() - '0'), int64_t(1) << 40);
                digits = true;
            }
            if (digits) {
                t.hasParam = true;
                value = negative ? -value : value;
                t.param = int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
            }
            if (peek() == ' ')
                ++pos_;
            return true;
        }
        ++pos_;
        if (d == '\'') {
            const int h1 = hexValue(peek());
            if (h1 < 0)
                continue; // a broken escape: drop it
            ++pos_;
            const int h2 = hexValue(peek());
            if (h2 < 0) {
                t.kind = Token::Hex;
                t.hex = uint8_t(h1);
                return true;
            }
            ++pos_;
            t.kind = Token::Hex;
            t.hex = uint8_t(h1 * 16 + h2);
            return true;
        }
        if (d == '\r' || d == '\n') {
            // A backslash before a line end is a paragraph mark.
            t.kind = Token::Word;
            t.word = "par";
            t.hasParam = false;
            t.param = 0;
            return true;
        }
        t.kind = Token::Symbol;
        t.symbol = char(d);
        return true;
    }
}

void Tokenizer::readBinary(int64_t count, const std::function<void(const char*, int32_t)>& sink) {
    while (count > 0) {
        if (pos_ >= size_ && !fill())
            return;
        const auto n = int32_t(std::min<int64_t>(count, int64_t(size_ - pos_)));
        if (sink)
            sink(reinterpret_cast<const char*>(buffer_.data()) + pos_, n);
        pos_ += size_t(n);
        count -= n;
    }
}

} // namespace richedit::rtf
