#include "engine/rtf/CodePage.h"

#include "engine/model/PlainTextCodec.h"

#include <QStringDecoder>

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace richedit::rtf {

namespace {

const char* iconvName(int codePage) {
    switch (codePage) {
    case 437:
        return "CP437";
    case 850:
        return "CP850";
    case 852:
        return "CP852";
    case 866:
        return "CP866";
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "GBK";
    case 949:
        return "CP949";
    case 950:
        return "BIG5";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 1361:
        return "JOHAB";
    case 10000:
        return "MACINTOSH";
    case 10001:
        return "SHIFT_JIS";
    case 10002:
        return "BIG5";
    case 10003:
        return "EUC-KR";
    case 10006:
        return "MACGREEK";
    case 10007:
        return "MACCYRILLIC";
    case 10008:
        return "GB2312";
    case 10029:
        return "MACCENTRALEUROPE";
    case 20932:
        return "EUC-JP";
    case 51932:
        return "EUC-JP";
    case 54936:
        return "GB18030";
    case 20866:
        return "KOI8-R";
    case 28591:
        return "ISO-8859-1";
    case 28592:
        return "ISO-8859-2";
    case 28595:
        return "ISO-8859-5";
    default:
        return nullptr;
    }
}

void decode1252(const QByteArray& bytes, QString& out) {
    model::appendWindows1252(bytes, out);
}

} // namespace

int codePageOfCharset(int charset) {
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return 42; // symbol fonts: bytes stand for their glyphs
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0; // 1 (default) and unknown sets: the document's code page
    }
}

struct CodePageDecoder::Converter {
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
    ~Converter() {
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    }
};

CodePageDecoder::CodePageDecoder() = default;
CodePageDecoder::~CodePageDecoder() = default;

CodePageDecoder::Converter* CodePageDecoder::converterFor(int codePage) {
    auto it = converters_.find(codePage);
    if (it != converters_.end())
        return it->second.get();
    auto conv = std::make_unique<Converter>();
    if (const char* name = iconvName(codePage))
        conv->cd = iconv_open("UTF-16LE", name);
    Converter* raw = conv.get();
    converters_.emplace(codePage, std::move(conv));
    return raw;
}

void CodePageDecoder::decode(const QByteArray& bytes, int codePage, QString& out) {
    if (bytes.isEmpty())
        return;
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii || codePage == 1252 || codePage == 42 || codePage == 0) {
        decode1252(bytes, out);
        return;
    }
    if (codePage == 65001) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        out += utf8(bytes);
        return;
    }
    Converter* conv = converterFor(codePage);
    if (conv->cd == reinterpret_cast<iconv_t>(-1)) {
        decode1252(bytes, out); // an unknown code page: the common Western one is the best guess
        return;
    }
    iconv(conv->cd, nullptr, nullptr, nullptr, nullptr); // start from the initial state
    std::vector<char> buffer(size_t(bytes.size()) * 4 + 8);
    QByteArray input = bytes;
    char* in = input.data();
    size_t inLeft = size_t(input.size());
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        const size_t rc = iconv(conv->cd, &in, &inLeft, &outPtr, &outLeft);
        const size_t produced = buffer.size() - outLeft;
        out.append(reinterpret_cast<const QChar*>(buffer.data()), qsizetype(produced / 2));
        if (rc == size_t(-1)) {
            if (errno == E2BIG)
                continue;
            // An invalid or incomplete sequence: one replacement character per bad byte.
            out.append(QChar(0xFFFD));
            ++in;
            --inLeft;
            iconv(conv->cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
}

} // namespace richedit::rtf
