#pragma once

#include <QByteArray>
#include <QString>

// The 8-bit text of the system.
//
// Text crosses streams as UTF-8: the text engine reads and writes plain text so, and every
// string the components hand to a stream or take from one goes through StringToStreamText and
// StreamTextToString. Reading forgives legacy files: bytes that are not valid UTF-8 are read as
// Windows-1252, the Western code page of older 8-bit text.
//
// Windows-1252 (StringToAnsi, AnsiToString) holds ASCII, the Latin-1 letters at 0xA0-0xFF, and
// typographic punctuation, the euro sign and a few letters at 0x80-0x9F. The five bytes that
// Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control
// characters of the same number, both ways, so that every byte decodes and encodes back to
// itself.

// Encodes text in Windows-1252. A character the code page does not hold becomes '?'; a
// surrogate pair (one character outside the Basic Multilingual Plane) becomes a single '?'.
QByteArray StringToAnsi(const QString& text);

// Decodes bytes in Windows-1252; every byte has a character.
QString AnsiToString(const QByteArray& bytes);

// The character of one byte of Windows-1252.
char16_t AnsiCharOf(unsigned char byte);

// Encodes text for a stream: UTF-8. Text that starts with U+FEFF gets a UTF-8 byte-order mark in
// front, so that the character survives a reader that skips the mark.
QByteArray StringToStreamText(const QString& text);

// Decodes text taken from a stream: a leading UTF-8 byte-order mark is skipped and the rest is
// read as UTF-8; bytes that are not valid UTF-8 as a whole are read as Windows-1252 instead, so
// that no byte is lost. The text engine reads 8-bit plain text the same way.
QString StreamTextToString(const QByteArray& bytes);
