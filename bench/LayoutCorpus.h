#pragma once

#include "engine/model/Document.h"

#include <cstdint>

namespace quillex::bench {

// A formatted document for the layout figures, built from a fixed seed so that every run and
// machine lays out the same text: body paragraphs of 130 to 170 words in Liberation Serif,
// justified with a first-line indent; a change of character format about every ten words (bold,
// italic, bold italic, 9 to 16 pt, Liberation Sans, DejaVu Sans); a heading in Liberation Sans
// bold before every twentieth paragraph; short numbered lists; price lists on left, right and
// decimal tab stops; now and then a word with Latin-1 letters or typographic punctuation.
// Paragraphs are added until the text holds at least `characters` characters.
void buildLayoutDocument(richedit::model::Document& out, int64_t characters);

} // namespace quillex::bench
