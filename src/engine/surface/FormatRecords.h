#pragma once

#include "engine/api/RichEditRecords.h"
#include "engine/model/CharFormat.h"
#include "engine/model/ParaFormat.h"

namespace richedit {

// Conversions between the engine's complete formats and the records callers exchange.
// "Full" tells whether the record is the longer one (CHARFORMAT2W / PARAFORMAT2).

uint32_t fullCharMask(bool full);
void fillCharRecord(const model::CharFormat& f, CHARFORMAT2W& cf, bool full);
// The format f with the attributes named by mask taken from cf.
model::CharFormat mergeCharFormat(const model::CharFormat& f, const CHARFORMAT2W& cf,
                                  uint32_t mask);
// The mask bits of the attributes in which a and b differ.
uint32_t charDifferences(const model::CharFormat& a, const model::CharFormat& b);

uint32_t fullParaMask(bool full);
void fillParaRecord(const model::ParaFormat& f, PARAFORMAT2& pf, bool full);
model::ParaFormat mergeParaFormat(const model::ParaFormat& f, const PARAFORMAT2& pf, uint32_t mask);
uint32_t paraDifferences(const model::ParaFormat& a, const model::ParaFormat& b);

} // namespace richedit
