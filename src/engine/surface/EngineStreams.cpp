// Stream and search requests of the engine.

#include "engine/model/EditTransaction.h"
#include "engine/model/PlainTextCodec.h"
#include "engine/model/TextSearch.h"
#include "engine/rtf/RtfReader.h"
#include "engine/rtf/RtfWriter.h"
#include "engine/surface/RichEditEngine.h"

#include <array>
#include <cstring>

namespace richedit {

using model::CharPos;

namespace {

constexpr int32_t kBlockSize = 4096;
constexpr uint32_t kShortWrite = 0x8003001D; // the receiver took no bytes: a write fault

uint32_t streamKind(uint32_t format) {
    return format & 0x000F;
}

// Collects output bytes and hands them to the caller's callback in blocks.
class BlockWriter {
public:
    explicit BlockWriter(EDITSTREAM& stream) : stream_(stream) {}
    bool failed() const { return stream_.dwError != 0; }

    void put(const char* data, qsizetype n) {
        while (n > 0 && !failed()) {
            const qsizetype take = std::min<qsizetype>(n, kBlockSize - used_);
            std::memcpy(buffer_.data() + used_, data, size_t(take));
            used_ += int32_t(take);
            data += take;
            n -= take;
            if (used_ == kBlockSize)
                flush();
        }
    }
    void flush() {
        int32_t offset = 0;
        while (offset < used_ && !failed()) {
            int32_t written = 0;
            const uint32_t rc = stream_.pfnCallback
                                    ? stream_.pfnCallback(stream_.dwCookie, buffer_.data() + offset,
                                                          used_ - offset, written)
                                    : kShortWrite;
            if (rc != 0)
                stream_.dwError = rc;
            else if (written <= 0)
                stream_.dwError = kShortWrite;
            else
                offset += std::min(written, used_ - offset);
        }
        used_ = 0;
    }

private:
    EDITSTREAM& stream_;
    std::array<uint8_t, kBlockSize> buffer_{};
    int32_t used_ = 0;
};

// Reads the caller's blocks until it delivers none; false when the callback failed.
bool readAll(EDITSTREAM& stream, QByteArray& out) {
    std::array<uint8_t, kBlockSize> block{};
    for (;;) {
        int32_t got = 0;
        if (!stream.pfnCallback) {
            stream.dwError = kShortWrite;
            return false;
        }
        const uint32_t rc = stream.pfnCallback(stream.dwCookie, block.data(), kBlockSize, got);
        if (rc != 0) {
            stream.dwError = rc;
            return false;
        }
        if (got <= 0)
            return true;
        out.append(reinterpret_cast<const char*>(block.data()), std::min(got, kBlockSize));
    }
}

// The caller's callback as the source the reader pulls from.
class CallbackSource : public rtf::ByteSource {
public:
    explicit CallbackSource(EDITSTREAM& stream) : stream_(stream) {}
    int32_t read(uint8_t* buffer, int32_t capacity) override {
        if (!stream_.pfnCallback) {
            stream_.dwError = kShortWrite;
            return -1;
        }
        int32_t got = 0;
        const uint32_t rc = stream_.pfnCallback(stream_.dwCookie, buffer, capacity, got);
        if (rc != 0) {
            stream_.dwError = rc;
            return -1;
        }
        return std::clamp(got, 0, capacity);
    }

private:
    EDITSTREAM& stream_;
};

class WriterSink : public rtf::ByteSink {
public:
    explicit WriterSink(BlockWriter& writer) : writer_(writer) {}
    bool write(const char* data, int64_t size) override {
        writer_.put(data, qsizetype(size));
        return !writer_.failed();
    }

private:
    BlockWriter& writer_;
};

} // namespace

int32_t RichEditEngine::EM_STREAMIN(uint32_t format, EDITSTREAM& stream) {
    stream.dwError = 0;
    const uint32_t kind = streamKind(format);
    if (kind == SF_TEXT)
        return streamInText(format, stream);
    if (kind == SF_RTF || kind == SF_RTFNOOBJS)
        return streamInRtf(format, stream);
    stream.dwError = ESE_REJECTED_FORMAT;
    return 0;
}

int32_t RichEditEngine::streamInRtf(uint32_t format, EDITSTREAM& stream) {
    CallbackSource source(stream);
    model::Document loaded;
    rtf::ReadOptions options;
    options.plainRtf = format & SFF_PLAINRTF;
    const rtf::ReadResult result = rtf::readRtf(source, loaded, options);
    if (result.status != rtf::ReadResult::Ok) {
        // Nothing changes: a caller may try the input in the other format.
        if (stream.dwError == 0)
            stream.dwError = ESE_REJECTED_FORMAT;
        return 0;
    }
    if (format & SFF_SELECTION) {
        model::Fragment fragment = doc_.importFragment(loaded, CharPos(0), loaded.end());
        if (options.plainRtf)
            std::fill(fragment.marks.begin(), fragment.marks.end(), insertionParaFormat());
        const int32_t n = fragment.length();
        const bool done =
            replaceSelectionFragment(std::move(fragment), UID_PASTE, true, msg::EM_STREAMIN, false);
        return done ? n : 0;
    }
    // A load replaces the document and cannot be undone.
    if (loaded.end() > CharPos(limit_))
        loaded.remove(CharPos(limit_), loaded.end());
    const model::CharFormat defaultChar = doc_.charFormats()[defaultFormat_];
    const model::ParaFormat defaultPara = doc_.paraFormats()[defaultParaFormat_];
    doc_.replaceWith(std::move(loaded));
    defaultFormat_ = doc_.charFormats().intern(defaultChar);
    defaultParaFormat_ = doc_.paraFormats().intern(defaultPara);
    sel_ = {};
    pendingFormat_.reset();
    undo_.clear();
    detectUrls(CharPos(0), doc_.end());
    notifyChange();
    modified_ = false;
    notifySelectionChange();
    return doc_.end().v;
}

int32_t RichEditEngine::streamInText(uint32_t format, EDITSTREAM& stream) {
    QByteArray bytes;
    if (!readAll(stream, bytes))
        return 0; // a failed read changes nothing
    const QString text =
        (format & SF_UNICODE) ? model::decodeUtf16LE(bytes) : model::decodePlainText(bytes);

    if (format & SFF_SELECTION) {
        const bool done = replaceSelection(text, UID_PASTE, true, msg::EM_STREAMIN, false);
        return done ? int32_t(text.size()) : 0;
    }
    // A load replaces the document and cannot be undone.
    const model::CharFormatId cf = defaultFormat_;
    const model::ParaFormatId pf = defaultParaFormat_;
    resetDocument();
    model::Fragment frag = model::Document::plainFragment(text, cf, pf);
    if (frag.length() > limit_)
        frag = model::leftOf(frag, limit_);
    doc_.insert(CharPos(0), frag);
    detectUrls(CharPos(0), doc_.end());
    notifyChange();
    modified_ = false;
    notifySelectionChange();
    return frag.length();
}

int32_t RichEditEngine::EM_STREAMOUT(uint32_t format, EDITSTREAM& stream) {
    stream.dwError = 0;
    const uint32_t kind = streamKind(format);
    if (kind == SF_TEXT || kind == SF_TEXTIZED)
        return streamOutText(format, stream);
    const bool selection = format & SFF_SELECTION;
    const CharPos from = selection ? sel_.min() : CharPos(0);
    const CharPos to = selection ? sel_.max() : doc_.end();
    rtf::WriteOptions options;
    options.objects = kind != SF_RTFNOOBJS;
    options.plainRtf = format & SFF_PLAINRTF;
    BlockWriter out(stream);
    WriterSink sink(out);
    const bool written = rtf::writeRtf(doc_, from, to, sink, options);
    if (!out.failed())
        out.flush();
    if (!written && stream.dwError == 0)
        stream.dwError = kShortWrite;
    return out.failed() ? 0 : to - from;
}

int32_t RichEditEngine::streamOutText(uint32_t format, EDITSTREAM& stream) const {
    const bool selection = format & SFF_SELECTION;
    const bool unicode = format & SF_UNICODE;
    const bool textized = streamKind(format) == SF_TEXTIZED;
    const CharPos from = selection ? sel_.min() : CharPos(0);
    const CharPos to = selection ? sel_.max() : doc_.end();
    BlockWriter out(stream);
    // Text that starts with U+FEFF would lose it to the byte-order mark readers skip: a mark
    // in front keeps it.
    if (from < to && doc_.charAt(from) == QChar(0xFEFF)) {
        if (unicode)
            out.put("\xFF\xFE", 2);
        else
            out.put("\xEF\xBB\xBF", 3);
    }
    int32_t written = 0;
    QString piece;
    doc_.forEachSegment(from, to, [&](const QChar* s, int32_t n, CharPos) {
        if (out.failed())
            return;
        piece.clear();
        piece.reserve(n + 1);
        for (int32_t i = 0; i < n; ++i) {
            const QChar c = s[i];
            if (c == QChar(model::kParagraphMark))
                piece.append(u"\r\n");
            else if (c == QChar(model::kObjectChar))
                piece.append(textized ? QStringLiteral("[object]") : QStringLiteral(" "));
            else
                piece.append(c);
        }
        if (unicode)
            out.put(reinterpret_cast<const char*>(piece.utf16()), piece.size() * 2);
        else {
            const QByteArray utf8 = piece.toUtf8();
            out.put(utf8.constData(), utf8.size());
        }
        written += n;
    });
    if (!out.failed())
        out.flush();
    return out.failed() ? 0 : written;
}

// ---- Search ----

int32_t RichEditEngine::EM_FINDTEXT(uint32_t flags, const FINDTEXTW& find) const {
    model::SearchOptions o;
    o.down = (flags & FR_DOWN) || version_ == 1;
    o.matchCase = flags & FR_MATCHCASE;
    o.wholeWord = flags & FR_WHOLEWORD;
    const CharPos a = clampPos(find.chrg.cpMin);
    const CharPos b = find.chrg.cpMax < 0 ? doc_.end() : clampPos(find.chrg.cpMax);
    const CharPos lo = std::min(a, b), hi = std::max(a, b);
    return o.down ? model::findText(doc_, find.lpstrText, lo, hi, o)
                  : model::findText(doc_, find.lpstrText, hi, lo, o);
}

int32_t RichEditEngine::EM_FINDTEXTEX(uint32_t flags, FINDTEXTEXW& find) const {
    const int32_t at = EM_FINDTEXT(flags, FINDTEXTW{find.chrg, find.lpstrText});
    find.chrgText = at < 0 ? CHARRANGE{-1, -1} : CHARRANGE{at, at + int32_t(find.lpstrText.size())};
    return at;
}

} // namespace richedit
