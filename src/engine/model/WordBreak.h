#pragma once

#include "engine/model/Document.h"

namespace richedit::model {

// Word boundaries as a word processor's user sees them: a word is a run of letters, digits,
// marks, apostrophes between letters and connectors; everything else separates words.
bool isWordChar(QChar c);

// Start and end of the word that holds pos (or touches it from the left); an empty range at pos
// when pos is between two non-word characters.
CharPos wordStart(const Document& doc, CharPos pos);
CharPos wordEnd(const Document& doc, CharPos pos);

// Where Ctrl+Left and Ctrl+Right move: to the start of the previous / next word.
CharPos previousWordStart(const Document& doc, CharPos pos);
CharPos nextWordStart(const Document& doc, CharPos pos);

} // namespace richedit::model
