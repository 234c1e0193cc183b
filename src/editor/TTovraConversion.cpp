// Conversion classes and the registry that maps file extensions to them.

#include "editor/TTovraConversion.h"

#include "editor/TTovraCustomRichEdit.h"
#include "framework/TovraException.h"

#include <QIODevice>

#include <deque>

TTovraConversion::~TTovraConversion() = default;

int32_t TTovraConversion::ConvertReadStream(QIODevice& Stream, char* Buffer, int32_t BufSize) {
    const qint64 n = Stream.read(Buffer, BufSize);
    if (n < 0)
        throw EReadError(Stream.errorString().isEmpty() ? QStringLiteral("Stream read error")
                                                        : Stream.errorString());
    return int32_t(n);
}

int32_t TTovraConversion::ConvertWriteStream(QIODevice& Stream, const char* Buffer,
                                             int32_t BufSize) {
    const qint64 n = Stream.write(Buffer, BufSize);
    if (n < 0)
        throw EWriteError(Stream.errorString().isEmpty() ? QStringLiteral("Stream write error")
                                                         : Stream.errorString());
    return int32_t(n);
}

namespace {

struct ConversionRegistry {
    // The two initial entries; "txt" is also the answer of every lookup that finds nothing.
    TTovraConversionFormat Rtf{TTovraConversionClass::Of<TTovraConversion>(), QStringLiteral("rtf"),
                               nullptr};
    TTovraConversionFormat Txt{TTovraConversionClass::Of<TTovraConversion>(), QStringLiteral("txt"),
                               &Rtf};
    TTovraConversionFormat* Head = &Txt;
    // The registered entries, kept for the life of the program; a deque never moves them.
    std::deque<TTovraConversionFormat> Added;
};

ConversionRegistry& Registry() {
    static ConversionRegistry registry;
    return registry;
}

// The extension of a file name without its dot, lower-cased as file names are compared: the
// text after the last dot of the name's last part, empty when that part has no dot.
QString ExtensionOf(const QString& FileName) {
    const qsizetype slash = FileName.lastIndexOf(u'/');
    const qsizetype dot = FileName.lastIndexOf(u'.');
    if (dot < 0 || dot < slash)
        return {};
    return FileName.mid(dot + 1).toLower();
}

} // namespace

TTovraConversionFormat* ConversionFormatList() {
    return Registry().Head;
}

const TTovraConversionFormat& FindConversionFormat(const QString& FileName) {
    const QString extension = ExtensionOf(FileName);
    for (const TTovraConversionFormat* format = Registry().Head; format; format = format->Next) {
        if (format->Extension == extension)
            return *format;
    }
    return Registry().Txt;
}

void TTovraCustomRichEdit::RegisterConversionFormat(const QString& AExtension,
                                                    TTovraConversionClass AConversionClass) {
    // A leading dot is kept: callers name the extension without it.
    ConversionRegistry& registry = Registry();
    registry.Added.push_back({AConversionClass, AExtension.toLower(), registry.Head});
    registry.Head = &registry.Added.back();
}
