// Streams arbitrary bytes into the engine as 8-bit and as UTF-16 plain text, edits the result
// with selections, replacements, typing, formatting, undo and redo, streams it out again and
// checks what the engine answers against what the text must be.
//
// Input layout: bytes 0-3 choose the block sizes the stream callbacks hand over (0-1 for the
// 8-bit stream, 2-3 for the UTF-16 stream). The edit script is read from the end of the input;
// what remains in between is the streamed text.

#include "engine/model/Paragraph.h"
#include "engine/model/PlainTextCodec.h"
#include "engine/surface/RichEditEngine.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

namespace {

using namespace richedit;

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "invariant failed at line %d: %s\n", __LINE__, #condition);       \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

constexpr uint32_t kUtf8CodePage = 65001;

// Two block sizes taken in turn, so that blocks of different sizes follow each other.
struct BlockSizes {
    int32_t sizes[2] = {4096, 4096};
    int calls = 0;
    int32_t next(int32_t limit) { return std::min(limit, sizes[calls++ & 1]); }
};

BlockSizes blockSizesFrom(uint8_t small, uint8_t large) {
    BlockSizes b;
    b.sizes[0] = 1 + small;      // 1..256 bytes
    b.sizes[1] = 1 + large * 16; // 1..4081 bytes
    return b;
}

struct Source {
    const QByteArray* bytes;
    qsizetype offset = 0;
    BlockSizes blocks;
};

uint32_t readSource(uintptr_t cookie, uint8_t* buffer, int32_t cb, int32_t& pcb) {
    auto* s = reinterpret_cast<Source*>(cookie);
    const int32_t n =
        int32_t(std::min<qsizetype>(s->blocks.next(cb), s->bytes->size() - s->offset));
    std::memcpy(buffer, s->bytes->constData() + s->offset, size_t(n));
    s->offset += n;
    pcb = n;
    return 0;
}

struct Sink {
    QByteArray bytes;
    BlockSizes blocks;
};

uint32_t writeSink(uintptr_t cookie, uint8_t* buffer, int32_t cb, int32_t& pcb) {
    auto* s = reinterpret_cast<Sink*>(cookie);
    const int32_t n = s->blocks.next(cb); // takes part of a block: the engine hands the rest again
    s->bytes.append(reinterpret_cast<const char*>(buffer), n);
    pcb = n;
    return 0;
}

int32_t streamIn(RichEditEngine& engine, uint32_t format, const QByteArray& bytes,
                 BlockSizes blocks) {
    Source source{&bytes, 0, blocks};
    EDITSTREAM stream;
    stream.dwCookie = reinterpret_cast<uintptr_t>(&source);
    stream.pfnCallback = readSource;
    const int32_t n = engine.EM_STREAMIN(format, stream);
    FUZZ_CHECK(stream.dwError == 0);
    FUZZ_CHECK(source.offset == bytes.size());
    return n;
}

QByteArray streamOut(RichEditEngine& engine, uint32_t format, BlockSizes blocks) {
    Sink sink{{}, blocks};
    EDITSTREAM stream;
    stream.dwCookie = reinterpret_cast<uintptr_t>(&sink);
    stream.pfnCallback = writeSink;
    engine.EM_STREAMOUT(format, stream);
    FUZZ_CHECK(stream.dwError == 0);
    return sink.bytes;
}

// Plain text as the document holds it: CR LF, CR and LF each become one paragraph mark.
QString asDocumentText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        // Plain text brings no objects: an object character arrives as a replacement character.
        out.append(c == u'\n' ? QChar(u'\r') : c == QChar(0xFFFC) ? QChar(0xFFFD) : c);
    }
    return out;
}

// The document text as the plain-text writer puts it: marks become CR LF, objects a space.
QString asWrittenText(const QString& text) {
    QString out;
    for (QChar c : text) {
        if (c == QChar(model::kParagraphMark))
            out.append(u"\r\n");
        else if (c == QChar(model::kObjectChar))
            out.append(u' ');
        else
            out.append(c);
    }
    return out;
}

QByteArray utf16Bytes(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// Whether plain text written as UTF-8 reads back to the same document text: lone surrogates
// have no UTF-8 form, object characters are written as spaces, and a leading U+FEFF reads back
// as a byte-order mark.
bool survivesUtf8(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QChar(model::kObjectChar))
            return false;
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate())
                return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

void checkConsistent(const RichEditEngine& engine) {
    const QString text = engine.WM_GETTEXT();
    const auto length = int32_t(text.size());
    const auto marks = int32_t(text.count(QChar(model::kParagraphMark)));
    FUZZ_CHECK(engine.EM_GETTEXTLENGTHEX({GTL_DEFAULT, 1200}) == length);
    FUZZ_CHECK(engine.EM_GETTEXTLENGTHEX({GTL_NUMCHARS | GTL_PRECISE, 1200}) == length);
    FUZZ_CHECK(engine.EM_GETTEXTLENGTHEX({GTL_USECRLF, 1200}) == length + marks);
    FUZZ_CHECK(engine.WM_GETTEXTLENGTH() == length);
    FUZZ_CHECK(engine.EM_GETLINECOUNT() == marks + 1);
    CHARRANGE sel;
    engine.EM_EXGETSEL(sel);
    FUZZ_CHECK(0 <= sel.cpMin && sel.cpMin <= sel.cpMax && sel.cpMax <= length);
    FUZZ_CHECK(engine.EM_GETSELTEXT() == text.mid(sel.cpMin, sel.cpMax - sel.cpMin));
    const int32_t lastLine = engine.EM_GETLINECOUNT() - 1;
    const int32_t lastStart = engine.EM_LINEINDEX(lastLine);
    FUZZ_CHECK(lastStart == text.lastIndexOf(QChar(model::kParagraphMark)) + 1);
    FUZZ_CHECK(engine.EM_EXLINEFROMCHAR(length) == lastLine);
    if (survivesUtf8(text)) {
        const int32_t bytes =
            engine.EM_GETTEXTLENGTHEX({GTL_NUMBYTES | GTL_USECRLF, kUtf8CodePage});
        FUZZ_CHECK(bytes == asWrittenText(text).toUtf8().size());
    }
}

// Texts the edits insert: line ends of every kind, a soft line break, an object character,
// lone and paired surrogates.
const QString& piece(uint8_t n) {
    static const std::vector<QString> pieces = {
        QString(),
        QStringLiteral("x"),
        QString::fromUtf8("\xC3\xA4"),
        QStringLiteral("\r"),
        QStringLiteral("\n"),
        QStringLiteral("\r\n"),
        QStringLiteral("ab cd"),
        QStringLiteral("\v"),
        QStringLiteral("\t"),
        QString(QChar(model::kObjectChar)),
        QString(QChar(0xD83D)),
        QString(QChar(0xDE00)),
        QString::fromUtf8("\xF0\x9F\x98\x80"),
        QStringLiteral("\n\n\r x\r\n"),
    };
    return pieces[n % pieces.size()];
}

enum class OpKind : uint8_t {
    SetSel,
    ReplaceSel,
    Undo,
    Redo,
    SetCharFormat,
    StreamInSelection,
    Type,
    DeleteBack,
    DeleteForward,
    Last = DeleteForward
};

struct Op {
    OpKind kind;
    uint16_t a = 0;
    uint16_t b = 0;
    uint8_t c = 0;
};

int32_t positionFrom(uint16_t raw, int32_t length) {
    return int32_t(raw % uint32_t(length + 3)) - 1; // -1 up to one past the end
}

CHARFORMAT2W formatFrom(uint8_t c) {
    static constexpr uint32_t masks[] = {CFM_BOLD,      CFM_ITALIC | CFM_UNDERLINE,
                                         CFM_COLOR,     CFM_SIZE | CFM_FACE,
                                         CFM_PROTECTED, CFM_HIDDEN | CFM_BACKCOLOR};
    CHARFORMAT2W cf;
    cf.dwMask = masks[c % std::size(masks)];
    cf.dwEffects = (c & 0x40) ? 0xFFFFFFFFu : 0;
    cf.yHeight = 100 + (c & 0x0F) * 20;
    cf.crTextColor = c * 0x010203u;
    setFaceName(cf.szFaceName,
                (c & 0x20) ? QStringLiteral("Liberation Serif") : QStringLiteral("DejaVu Sans"));
    if (c & 0x80)
        cf.cbSize = sizeof(CHARFORMATW); // the older, shorter record
    return cf;
}

uint32_t charFormatTarget(uint8_t c) {
    static constexpr uint32_t targets[] = {SCF_SELECTION, SCF_ALL, SCF_SELECTION | SCF_WORD,
                                           SCF_DEFAULT};
    return targets[(c >> 3) % std::size(targets)];
}

void runEdits(RichEditEngine& engine, const std::vector<Op>& ops, BlockSizes blocks) {
    QString baseline = engine.WM_GETTEXT(); // what undoing everything gives back
    for (const Op& op : ops) {
        const QString before = engine.WM_GETTEXT();
        const auto length = int32_t(before.size());
        CHARRANGE sel;
        engine.EM_EXGETSEL(sel);
        switch (op.kind) {
        case OpKind::SetSel:
            if (op.c & 1)
                engine.EM_EXSETSEL({0, -1});
            else
                engine.EM_EXSETSEL({positionFrom(op.a, length), positionFrom(op.b, length)});
            FUZZ_CHECK(engine.WM_GETTEXT() == before);
            break;
        case OpKind::ReplaceSel: {
            const bool canUndo = op.c & 1;
            const QString inserted = asDocumentText(piece(uint8_t(op.a)));
            engine.EM_REPLACESEL(canUndo, piece(uint8_t(op.a)));
            const QString expected = before.left(sel.cpMin) + inserted + before.mid(sel.cpMax);
            FUZZ_CHECK(engine.WM_GETTEXT() == expected);
            CHARRANGE after;
            engine.EM_EXGETSEL(after);
            if (sel.cpMin != sel.cpMax || !inserted.isEmpty()) {
                const int32_t caret = sel.cpMin + int32_t(inserted.size());
                FUZZ_CHECK(after.cpMin == caret && after.cpMax == caret);
                if (!canUndo)
                    baseline = expected;
            }
            break;
        }
        case OpKind::Undo:
            engine.WM_UNDO();
            break;
        case OpKind::Redo:
            engine.EM_REDO();
            break;
        case OpKind::SetCharFormat:
            engine.EM_SETCHARFORMAT(charFormatTarget(op.c), formatFrom(op.c));
            FUZZ_CHECK(engine.WM_GETTEXT() == before);
            break;
        case OpKind::StreamInSelection: {
            const QString text = piece(uint8_t(op.a));
            const uint32_t format = (op.c & 1) ? SF_TEXT | SF_UNICODE : SF_TEXT;
            const QByteArray bytes = (op.c & 1) ? utf16Bytes(text) : text.toUtf8();
            streamIn(engine, format | SFF_SELECTION, bytes, blocks);
            const QString inserted = asDocumentText((op.c & 1) ? model::decodeUtf16LE(bytes)
                                                               : model::decodePlainText(bytes));
            FUZZ_CHECK(engine.WM_GETTEXT() ==
                       before.left(sel.cpMin) + inserted + before.mid(sel.cpMax));
            break;
        }
        case OpKind::Type:
            engine.TypeText(piece(uint8_t(op.a)));
            break;
        case OpKind::DeleteBack:
            engine.DeleteBackward(op.c & 1);
            break;
        case OpKind::DeleteForward:
            engine.DeleteForward(op.c & 1);
            break;
        }
        checkConsistent(engine);
    }

    // Undoing everything gives the text from before the undoable edits; redoing as many steps
    // gives the text from after them (older redo steps may remain beyond those).
    const QString edited = engine.WM_GETTEXT();
    int undone = 0;
    while (undone < 1000 && engine.WM_UNDO()) {
        ++undone;
        checkConsistent(engine);
    }
    FUZZ_CHECK(engine.WM_GETTEXT() == baseline);
    for (int i = 0; i < undone; ++i) {
        FUZZ_CHECK(engine.EM_REDO());
        checkConsistent(engine);
    }
    FUZZ_CHECK(engine.WM_GETTEXT() == edited);
}

std::vector<Op> readOps(FuzzedDataProvider& data) {
    std::vector<Op> ops(data.ConsumeIntegralInRange<size_t>(0, 24));
    for (Op& op : ops) {
        op.kind = OpKind(data.ConsumeIntegralInRange<uint8_t>(0, uint8_t(OpKind::Last)));
        op.a = data.ConsumeIntegral<uint16_t>();
        op.b = data.ConsumeIntegral<uint16_t>();
        op.c = data.ConsumeIntegral<uint8_t>();
    }
    return ops;
}

void checkWrittenText(RichEditEngine& engine, BlockSizes blocks) {
    const QString text = engine.WM_GETTEXT();
    const QString written = asWrittenText(text);
    // Text that starts with U+FEFF is written with a byte-order mark in front of it.
    const bool mark = text.startsWith(QChar(0xFEFF));
    FUZZ_CHECK(streamOut(engine, SF_TEXT | SF_UNICODE, blocks) ==
               (mark ? QByteArray("\xFF\xFE", 2) : QByteArray()) + utf16Bytes(written));
    const QByteArray utf8 = streamOut(engine, SF_TEXT, blocks);
    if (!survivesUtf8(text))
        return;
    FUZZ_CHECK(utf8 == (mark ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + written.toUtf8());
    // What was written reads back as the same text.
    RichEditEngine again;
    streamIn(again, SF_TEXT, utf8, blocks);
    FUZZ_CHECK(again.WM_GETTEXT() == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t header[4] = {};
    const size_t headerSize = std::min<size_t>(size, 4);
    std::memcpy(header, data, headerSize);
    FuzzedDataProvider rest(data + headerSize, size - headerSize);
    const std::vector<Op> ops = readOps(rest);
    const std::vector<uint8_t> payload = rest.ConsumeRemainingBytes<uint8_t>();
    const QByteArray bytes(reinterpret_cast<const char*>(payload.data()),
                           qsizetype(payload.size()));
    const BlockSizes eightBit = blockSizesFrom(header[0], header[1]);
    const BlockSizes wide = blockSizesFrom(header[2], header[3]);

    // The 8-bit stream: UTF-8, a byte-order mark's encoding, or else Windows-1252.
    {
        RichEditEngine engine;
        streamIn(engine, SF_TEXT, bytes, eightBit);
        FUZZ_CHECK(engine.WM_GETTEXT() == asDocumentText(model::decodePlainText(bytes)));
        checkConsistent(engine);
        checkWrittenText(engine, eightBit);
        runEdits(engine, ops, eightBit);
        checkWrittenText(engine, eightBit);
    }
    // The UTF-16 stream.
    {
        RichEditEngine engine;
        streamIn(engine, SF_TEXT | SF_UNICODE, bytes, wide);
        FUZZ_CHECK(engine.WM_GETTEXT() == asDocumentText(model::decodeUtf16LE(bytes)));
        checkConsistent(engine);
        runEdits(engine, ops, wide);
        checkWrittenText(engine, wide);
    }
    return 0;
}
