// Character and paragraph format requests of the engine.

#include "engine/model/EditTransaction.h"
#include "engine/model/WordBreak.h"
#include "engine/surface/FormatRecords.h"
#include "engine/surface/RichEditEngine.h"

#include <cstring>
#include <unordered_map>

namespace richedit {

using model::CharPos;
using model::ParaIndex;

namespace {

bool isFullChar(uint32_t cbSize) {
    return cbSize >= sizeof(CHARFORMAT2W);
}
bool isFullPara(uint32_t cbSize) {
    return cbSize >= sizeof(PARAFORMAT2);
}

// Copies between the older records and the full ones; the older record is a prefix.
CHARFORMAT2W widen(const CHARFORMATW& cf) {
    CHARFORMAT2W w;
    std::memcpy(static_cast<void*>(&w), &cf,
                sizeof(CHARFORMATW) - 2); // up to the end of the face name
    w.cbSize = sizeof(CHARFORMATW);
    return w;
}
void narrow(const CHARFORMAT2W& w, CHARFORMATW& cf) {
    const uint32_t size = cf.cbSize;
    std::memcpy(static_cast<void*>(&cf), &w, sizeof(CHARFORMATW) - 2);
    cf.cbSize = size;
}
PARAFORMAT2 widen(const PARAFORMAT& pf) {
    PARAFORMAT2 w;
    std::memcpy(static_cast<void*>(&w), &pf, sizeof(PARAFORMAT));
    w.cbSize = sizeof(PARAFORMAT);
    return w;
}
void narrow(const PARAFORMAT2& w, PARAFORMAT& pf) {
    const uint32_t size = pf.cbSize;
    std::memcpy(static_cast<void*>(&pf), &w, sizeof(PARAFORMAT));
    pf.cbSize = size;
}

} // namespace

// ---- Character formats ----

uint32_t RichEditEngine::readCharFormat(uint32_t scf, CHARFORMAT2W& cf, bool full) const {
    full = full && version_ >= 2;
    const auto& table = doc_.charFormats();
    uint32_t mask = fullCharMask(full);
    model::CharFormatId id = defaultFormat_;
    if (scf & (SCF_SELECTION | SCF_ALL)) {
        const bool all = (scf & SCF_ALL) || (textMode_ & TM_PLAINTEXT);
        const CharPos from = all ? CharPos(0) : sel_.min();
        const CharPos to = all ? doc_.end() : sel_.max();
        if (from == to) {
            id = all ? doc_.charFormatIdAt(CharPos(0)) : insertionFormat();
        } else {
            const model::RunList list = doc_.runs(from, to);
            id = list.front().format;
            const model::CharFormat& first = table[id];
            model::CharFormatId last = id;
            for (const model::Run& r : list) {
                if (r.format == last)
                    continue;
                last = r.format;
                mask &= ~charDifferences(first, table[r.format]);
            }
        }
    }
    fillCharRecord(table[id], cf, full);
    cf.dwMask = mask;
    return mask;
}

uint32_t RichEditEngine::EM_GETCHARFORMAT(uint32_t scf, CHARFORMAT2W& format) const {
    return readCharFormat(scf, format, isFullChar(format.cbSize));
}

uint32_t RichEditEngine::EM_GETCHARFORMAT(uint32_t scf, CHARFORMATW& format) const {
    CHARFORMAT2W w = widen(format);
    const uint32_t mask = readCharFormat(scf, w, false);
    narrow(w, format);
    return mask;
}

bool RichEditEngine::applyCharFormat(uint32_t scf, const CHARFORMAT2W& cf, bool full) {
    full = full && version_ >= 2;
    const uint32_t mask = cf.dwMask & fullCharMask(full);
    auto& table = doc_.charFormats();
    auto merged = [&](model::CharFormatId id) {
        return table.intern(mergeCharFormat(table[id], cf, mask));
    };

    if (!(scf & (SCF_SELECTION | SCF_ALL))) {
        // The default format: what an empty document and newly started text use.
        defaultFormat_ = merged(defaultFormat_);
        if (doc_.end() == CharPos(0)) {
            doc_.overwriteRuns(CharPos(0), {{1, merged(doc_.charFormatIdAt(CharPos(0)))}});
            pendingFormat_.reset();
            EM_FORMATRANGE(false, nullptr); // the empty document's pages change with it
        }
        return true;
    }

    const bool all = (scf & SCF_ALL) || (textMode_ & TM_PLAINTEXT);
    CharPos from = all ? CharPos(0) : sel_.min();
    CharPos to = all ? doc_.end() + 1 : sel_.max(); // all formats the final mark too
    if (!all && from == to && (scf & SCF_WORD)) {
        const CharPos ws = model::wordStart(doc_, from);
        const CharPos we = model::wordEnd(doc_, from);
        if (ws < from && from < we) {
            from = ws;
            to = we;
        }
    }
    if (from == to) {
        // An empty selection keeps the format for the text typed next.
        pendingFormat_ = merged(insertionFormat());
        return true;
    }
    const bool touchesProtection = (mask & CFM_PROTECTED) != 0;
    if (!allowChange(msg::EM_SETCHARFORMAT, from, std::min(to, doc_.end()), touchesProtection))
        return false;

    model::RunList list = doc_.runs(from, to);
    std::unordered_map<model::CharFormatId, model::CharFormatId> cache;
    for (model::Run& r : list) {
        auto it = cache.find(r.format);
        if (it == cache.end())
            it = cache.emplace(r.format, merged(r.format)).first;
        r.format = it->second;
    }
    model::runs::normalize(list);
    model::EditTransaction edit(doc_, UID_UNKNOWN, sel_);
    edit.overwriteRuns(from, std::move(list));
    commit(edit, true);
    return true;
}

bool RichEditEngine::EM_SETCHARFORMAT(uint32_t scf, const CHARFORMAT2W& format) {
    return applyCharFormat(scf, format, isFullChar(format.cbSize));
}

bool RichEditEngine::EM_SETCHARFORMAT(uint32_t scf, const CHARFORMATW& format) {
    return applyCharFormat(scf, widen(format), false);
}

// ---- Paragraph formats ----

void RichEditEngine::paragraphsOfSelection(ParaIndex& first, ParaIndex& last) const {
    if (textMode_ & TM_PLAINTEXT) {
        first = ParaIndex(0);
        last = ParaIndex(doc_.paragraphCount() - 1);
        return;
    }
    first = doc_.paragraphAt(sel_.min());
    last = doc_.paragraphAt(sel_.max());
    // A selection that ends at the start of a paragraph does not reach into it.
    if (!sel_.empty() && last > first && doc_.paragraphStart(last) == sel_.max())
        --last;
}

uint32_t RichEditEngine::readParaFormat(PARAFORMAT2& pf, bool full) const {
    full = full && version_ >= 2;
    const auto& table = doc_.paraFormats();
    ParaIndex first, last;
    paragraphsOfSelection(first, last);
    const model::ParaFormatId id = doc_.paraFormatId(first);
    uint32_t mask = fullParaMask(full);
    model::ParaFormatId seen = id;
    for (ParaIndex p = first + 1; p <= last; ++p) {
        const model::ParaFormatId other = doc_.paraFormatId(p);
        if (other != seen) {
            seen = other;
            mask &= ~paraDifferences(table[id], table[other]);
        }
    }
    fillParaRecord(table[id], pf, full);
    pf.dwMask = mask;
    return mask;
}

uint32_t RichEditEngine::EM_GETPARAFORMAT(PARAFORMAT2& format) const {
    return readParaFormat(format, isFullPara(format.cbSize));
}

uint32_t RichEditEngine::EM_GETPARAFORMAT(PARAFORMAT& format) const {
    PARAFORMAT2 w = widen(format);
    const uint32_t mask = readParaFormat(w, false);
    narrow(w, format);
    return mask;
}

bool RichEditEngine::applyParaFormat(const PARAFORMAT2& pf, bool full) {
    full = full && version_ >= 2;
    const uint32_t mask = pf.dwMask & fullParaMask(full);
    ParaIndex first, last;
    paragraphsOfSelection(first, last);
    const CharPos from = doc_.paragraphStart(first);
    const CharPos to =
        std::min(doc_.end(), doc_.paragraphStart(last) + doc_.paragraph(last).length());
    if (!allowChange(msg::EM_SETPARAFORMAT, from, to))
        return false;
    auto& table = doc_.paraFormats();
    std::unordered_map<model::ParaFormatId, model::ParaFormatId> cache;
    std::vector<model::ParaFormatId> after;
    after.reserve(size_t(last - first + 1));
    for (ParaIndex p = first; p <= last; ++p) {
        const model::ParaFormatId old = doc_.paraFormatId(p);
        auto it = cache.find(old);
        if (it == cache.end())
            it = cache.emplace(old, table.intern(mergeParaFormat(table[old], pf, mask))).first;
        after.push_back(it->second);
    }
    model::EditTransaction edit(doc_, UID_UNKNOWN, sel_);
    edit.setParaFormats(first, std::move(after));
    commit(edit, true);
    return true;
}

bool RichEditEngine::EM_SETPARAFORMAT(const PARAFORMAT2& format) {
    return applyParaFormat(format, isFullPara(format.cbSize));
}

bool RichEditEngine::EM_SETPARAFORMAT(const PARAFORMAT& format) {
    return applyParaFormat(widen(format), false);
}

} // namespace richedit
