#pragma once

#include "engine/rtf/RtfStreams.h"

#include <QByteArrayView>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace richedit::rtf::detail {

// The writer's output: a fixed block that is handed to the sink whenever it fills. Control
// words remember that the next letter, digit, space or minus needs a delimiting space, so text
// never runs into a keyword. Once the sink fails every call does nothing and ok() is false.
class RtfOutput {
public:
    static constexpr size_t kBlock = 4096;

    // How text is escaped.
    enum TextMode : uint8_t {
        Unicode = 0,   // everything outside ASCII as \uN?
        Ansi = 1,      // Windows-1252's upper half as \'hh (the current font reads that code page)
        TabIsCell = 2, // a tab ends a table cell
    };

    explicit RtfOutput(ByteSink& sink) : sink_(sink) {}
    RtfOutput(const RtfOutput&) = delete;
    RtfOutput& operator=(const RtfOutput&) = delete;

    bool ok() const { return ok_; }

    // Bytes written as they are (keywords with their backslash, braces, ASCII text).
    void raw(std::string_view s);
    void raw(char c) {
        if (room(1))
            buf_[n_++] = c;
        delimit_ = false;
    }
    void open() { raw('{'); }
    void close() { raw('}'); }
    void newline() { raw("\r\n"); }

    // "\name" and "\name<value>".
    void word(std::string_view name);
    void word(std::string_view name, int64_t value);

    // Text of the document, escaped.
    void text(QStringView s, unsigned mode);
    // 8-bit text (object classes and names): ASCII as it is, the rest as \'hh.
    void bytes(QByteArrayView s);
    // Binary data as lower-case hex, in lines of 128 digits, after a delimiting space.
    void hex(QByteArrayView data);

    // Hands the block to the sink; false when the sink failed (now or before).
    bool flush();

private:
    bool room(size_t n) {
        if (n_ + n > kBlock)
            return flush();
        return ok_;
    }
    void delimitBefore(char16_t c);
    void unicodeEscape(char16_t c);

    ByteSink& sink_;
    size_t n_ = 0;
    bool ok_ = true;
    bool delimit_ = false;
    char buf_[kBlock];
};

} // namespace richedit::rtf::detail
