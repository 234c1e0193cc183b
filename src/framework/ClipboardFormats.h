#pragma once

#include <QString>

#include <cstdint>

// Clipboard format numbers as programs exchange them by name, mapped to the desktop clipboard's
// MIME types. The standard formats keep their numbers; registered names get numbers from 0xC000
// up, the same name always the same number.
namespace ClipboardFormats {

constexpr uint32_t CF_TEXT = 1;
constexpr uint32_t CF_BITMAP = 2;
constexpr uint32_t CF_DIB = 8;
constexpr uint32_t CF_UNICODETEXT = 13;

// The number registered for name (case-insensitive), registering it on first use.
uint32_t RegisterClipboardFormat(const QString& name);
// The registered name of a number; empty for standard and unknown numbers.
QString FormatName(uint32_t format);
// The MIME type that carries the format on the desktop clipboard; empty when it has none.
QString MimeTypeOf(uint32_t format);
// Gives a registered format its MIME type.
void SetMimeType(uint32_t format, const QString& mimeType);

} // namespace ClipboardFormats
