#pragma once

#include <QByteArray>
#include <QString>

// The system's ANSI code page for 8-bit text is Windows-1252: ASCII, the Latin-1 letters at
// 0xA0-0xFF, and typographic punctuation, the euro sign and a few letters at 0x80-0x9F. The five
// bytes that Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control
// characters of the same number, both ways, so that every byte decodes and encodes back to
// itself.

// Encodes text in the ANSI code page. A character the code page does not hold becomes '?'; a
// surrogate pair (one character outside the Basic Multilingual Plane) becomes a single '?'.
QByteArray StringToAnsi(const QString& text);

// Decodes bytes in the ANSI code page; every byte has a character.
QString AnsiToString(const QByteArray& bytes);

// The character of one byte of the ANSI code page.
char16_t AnsiCharOf(unsigned char byte);
