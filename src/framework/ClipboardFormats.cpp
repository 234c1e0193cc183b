#include "framework/ClipboardFormats.h"

#include <QHash>
#include <QStringList>

namespace ClipboardFormats {

namespace {

struct Registry {
    QStringList names; // index i holds the format 0xC000 + i
    QHash<uint32_t, QString> mimeTypes{{CF_TEXT, QStringLiteral("text/plain")},
                                       {CF_UNICODETEXT, QStringLiteral("text/plain")},
                                       {CF_BITMAP, QStringLiteral("image/png")},
                                       {CF_DIB, QStringLiteral("image/png")}};
};

Registry& registry() {
    static Registry r;
    return r;
}

constexpr uint32_t kFirstRegistered = 0xC000;

} // namespace

uint32_t RegisterClipboardFormat(const QString& name) {
    Registry& r = registry();
    for (qsizetype i = 0; i < r.names.size(); ++i)
        if (r.names[i].compare(name, Qt::CaseInsensitive) == 0)
            return kFirstRegistered + uint32_t(i);
    r.names.append(name);
    return kFirstRegistered + uint32_t(r.names.size() - 1);
}

QString FormatName(uint32_t format) {
    const Registry& r = registry();
    if (format < kFirstRegistered || format - kFirstRegistered >= uint32_t(r.names.size()))
        return {};
    return r.names[qsizetype(format - kFirstRegistered)];
}

QString MimeTypeOf(uint32_t format) {
    return registry().mimeTypes.value(format);
}

void SetMimeType(uint32_t format, const QString& mimeType) {
    registry().mimeTypes.insert(format, mimeType);
}

} // namespace ClipboardFormats
