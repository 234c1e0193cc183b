#include "engine/rtf/RtfOutput.h"

#include <array>
#include <charconv>
#include <cstring>

namespace richedit::rtf::detail {

namespace {

// For ASCII: kPlain when the character is written as it is, kDelimit when a control word
// before it needs a delimiting space (letters, digits, space and minus would otherwise be read
// as part of the keyword or its parameter).
constexpr uint8_t kPlain = 1;
constexpr uint8_t kDelimit = 2;

constexpr std::array<uint8_t, 128> makeAsciiTable() {
    std::array<uint8_t, 128> t{};
    for (int c = 0x20; c < 0x7F; ++c)
        t[size_t(c)] = kPlain;
    for (int c = '0'; c <= '9'; ++c)
        t[size_t(c)] |= kDelimit;
    for (int c = 'a'; c <= 'z'; ++c)
        t[size_t(c)] |= kDelimit;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[size_t(c)] |= kDelimit;
    t[size_t(' ')] |= kDelimit;
    t[size_t('-')] |= kDelimit;
    t[size_t('\\')] = 0;
    t[size_t('{')] = 0;
    t[size_t('}')] = 0;
    return t;
}

constexpr std::array<uint8_t, 128> kAscii = makeAsciiTable();

constexpr char kHexDigits[] = "0123456789abcdef";

// The byte of Windows-1252 for a character of its upper half, or -1.
int cp1252Byte(char16_t c) {
    if (c >= 0xA0 && c <= 0xFF)
        return int(c);
    switch (c) {
    case 0x20AC:
        return 0x80;
    case 0x201A:
        return 0x82;
    case 0x0192:
        return 0x83;
    case 0x201E:
        return 0x84;
    case 0x2026:
        return 0x85;
    case 0x2020:
        return 0x86;
    case 0x2021:
        return 0x87;
    case 0x02C6:
        return 0x88;
    case 0x2030:
        return 0x89;
    case 0x0160:
        return 0x8A;
    case 0x2039:
        return 0x8B;
    case 0x0152:
        return 0x8C;
    case 0x017D:
        return 0x8E;
    case 0x2018:
        return 0x91;
    case 0x2019:
        return 0x92;
    case 0x201C:
        return 0x93;
    case 0x201D:
        return 0x94;
    case 0x2022:
        return 0x95;
    case 0x2013:
        return 0x96;
    case 0x2014:
        return 0x97;
    case 0x02DC:
        return 0x98;
    case 0x2122:
        return 0x99;
    case 0x0161:
        return 0x9A;
    case 0x203A:
        return 0x9B;
    case 0x0153:
        return 0x9C;
    case 0x017E:
        return 0x9E;
    case 0x0178:
        return 0x9F;
    default:
        return -1;
    }
}

} // namespace

bool RtfOutput::flush() {
    if (!ok_)
        return false;
    if (n_ > 0) {
        ok_ = sink_.write(buf_, int64_t(n_));
        n_ = 0;
    }
    return ok_;
}

void RtfOutput::raw(std::string_view s) {
    delimit_ = false;
    while (!s.empty()) {
        if (n_ == kBlock && !flush())
            return;
        if (!ok_)
            return;
        const size_t k = std::min(s.size(), kBlock - n_);
        std::memcpy(buf_ + n_, s.data(), k);
        n_ += k;
        s.remove_prefix(k);
    }
}

void RtfOutput::word(std::string_view name) {
    if (!room(name.size() + 1))
        return;
    buf_[n_++] = '\\';
    std::memcpy(buf_ + n_, name.data(), name.size());
    n_ += name.size();
    delimit_ = true;
}

void RtfOutput::word(std::string_view name, int64_t value) {
    if (!room(name.size() + 24))
        return;
    buf_[n_++] = '\\';
    std::memcpy(buf_ + n_, name.data(), name.size());
    n_ += name.size();
    const auto r = std::to_chars(buf_ + n_, buf_ + kBlock, value);
    n_ = size_t(r.ptr - buf_);
    delimit_ = true;
}

void RtfOutput::delimitBefore(char16_t c) {
    if (c < 0x80 && (kAscii[c] & kDelimit))
        buf_[n_++] = ' ';
    delimit_ = false;
}

void RtfOutput::unicodeEscape(char16_t c) {
    buf_[n_++] = '\\';
    buf_[n_++] = 'u';
    const auto r = std::to_chars(buf_ + n_, buf_ + kBlock, int(int16_t(c)));
    n_ = size_t(r.ptr - buf_);
    buf_[n_++] = '?';
}

void RtfOutput::text(QStringView s, unsigned mode) {
    if (!ok_)
        return;
    const char16_t* p = s.utf16();
    const qsizetype count = s.size();
    // Room for the longest escape of one character (a delimiter and "\u-32768?") each time.
    constexpr size_t kMaxPerChar = 16;
    for (qsizetype i = 0; i < count; ++i) {
        if (n_ + kMaxPerChar > kBlock && !flush())
            return;
        const char16_t c = p[i];
        if (c < 0x80 && (kAscii[c] & kPlain)) {
            if (delimit_)
                delimitBefore(c);
            buf_[n_++] = char(c);
            continue;
        }
        delimit_ = false;
        const auto control = [this](const char* w, size_t len) {
            std::memcpy(buf_ + n_, w, len);
            n_ += len;
            delimit_ = true;
        };
        switch (c) {
        case u'\\':
        case u'{':
        case u'}':
            buf_[n_++] = '\\';
            buf_[n_++] = char(c);
            continue;
        case u'\t':
            if (mode & TabIsCell)
                control("\\cell", 5);
            else
                control("\\tab", 4);
            continue;
        case u'\v':
            control("\\line", 5);
            continue;
        case u'\r':
            control("\\par", 4);
            continue;
        case 0x00A0:
            buf_[n_++] = '\\';
            buf_[n_++] = '~';
            continue;
        case 0x00AD:
            buf_[n_++] = '\\';
            buf_[n_++] = '-';
            continue;
        case 0x2011:
            buf_[n_++] = '\\';
            buf_[n_++] = '_';
            continue;
        case 0xFFFC: // an object character without its object
            continue;
        default:
            break;
        }
        if (mode & Ansi) {
            const int b = cp1252Byte(c);
            if (b >= 0) {
                buf_[n_++] = '\\';
                buf_[n_++] = '\'';
                buf_[n_++] = kHexDigits[b >> 4];
                buf_[n_++] = kHexDigits[b & 15];
                continue;
            }
        }
        unicodeEscape(c);
    }
}

void RtfOutput::bytes(QByteArrayView s) {
    for (const char ch : s) {
        if (!room(4))
            return;
        const auto c = uint8_t(ch);
        if (c < 0x80 && (kAscii[c] & kPlain)) {
            if (delimit_)
                delimitBefore(c);
            buf_[n_++] = char(c);
            continue;
        }
        delimit_ = false;
        buf_[n_++] = '\\';
        if (c == '\\' || c == '{' || c == '}') {
            buf_[n_++] = char(c);
            continue;
        }
        buf_[n_++] = '\'';
        buf_[n_++] = kHexDigits[c >> 4];
        buf_[n_++] = kHexDigits[c & 15];
    }
}

void RtfOutput::hex(QByteArrayView data) {
    constexpr qsizetype kLineBytes = 64; // 128 hex digits
    const auto* p = reinterpret_cast<const uint8_t*>(data.data());
    for (qsizetype line = 0; line < data.size(); line += kLineBytes) {
        if (!room(2 + 2 * kLineBytes))
            return;
        if (line == 0) {
            buf_[n_++] = ' ';
        } else {
            buf_[n_++] = '\r';
            buf_[n_++] = '\n';
        }
        const qsizetype end = std::min(data.size(), line + kLineBytes);
        for (qsizetype i = line; i < end; ++i) {
            buf_[n_++] = kHexDigits[p[i] >> 4];
            buf_[n_++] = kHexDigits[p[i] & 15];
        }
    }
    delimit_ = false;
}

} // namespace richedit::rtf::detail
