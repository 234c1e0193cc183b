// Automatic URL detection: while it is on, the web, mail and file addresses in the text carry
// the link effect, kept up to date paragraph by paragraph as edits touch them.
//
// The effect the detector sets is marked in the character format (autoLink), so that it can take
// back exactly what it set: links from HYPERLINK fields (which have a target) and links set
// through a format request stay as they are. Detection changes formats only, directly in the
// document and without undo records; undo and redo restore text and formats as they were, and
// the paragraphs they touched are scanned again afterwards.

#include "engine/model/UrlDetector.h"
#include "engine/surface/RichEditEngine.h"

#include <unordered_map>

namespace richedit {

using model::CharFormatId;
using model::CharPos;
using model::ParaIndex;

namespace {

// The format a character takes in an address (or outside one), interned once per format.
class LinkFormats {
public:
    explicit LinkFormats(model::FormatTable<model::CharFormat>& table) : table_(table) {}

    CharFormatId wanted(CharFormatId id, bool inAddress) {
        const uint64_t key = (uint64_t(id) << 1) | (inAddress ? 1u : 0u);
        auto it = cache_.find(key);
        if (it == cache_.end())
            it = cache_.emplace(key, compute(id, inAddress)).first;
        return it->second;
    }

private:
    CharFormatId compute(CharFormatId id, bool inAddress) {
        model::CharFormat f = table_[id]; // a copy: interning may move the table's formats
        if (!f.linkTarget.isEmpty())
            return id;
        if (inAddress) {
            if (f.effects & CFE_LINK)
                return id;
            f.effects |= CFE_LINK;
            f.autoLink = true;
        } else {
            if (!f.autoLink)
                return id;
            f.effects &= ~CFE_LINK;
            f.autoLink = false;
        }
        return table_.intern(f);
    }

    model::FormatTable<model::CharFormat>& table_;
    std::unordered_map<uint64_t, CharFormatId> cache_;
};

struct Piece {
    int32_t at;
    model::Run run;
};

} // namespace

int32_t RichEditEngine::EM_AUTOURLDETECT(bool enable) {
    if (version_ < 2)
        return int32_t(0x80070057); // not supported by the first engine
    if (autoUrlDetect_ != enable) {
        autoUrlDetect_ = enable;
        detectUrls(CharPos(0), doc_.end());
        notifyView(true); // links appeared or went: the window shows them
    }
    return 0;
}

void RichEditEngine::detectUrls(CharPos from, CharPos to) {
    from = std::clamp(from, CharPos(0), doc_.end());
    to = std::clamp(to, from, doc_.end());
    const ParaIndex first = doc_.paragraphAt(from);
    const ParaIndex last = doc_.paragraphAt(to);
    LinkFormats formats(doc_.charFormats());
    std::vector<Piece> pieces;
    bool changed = false;
    for (ParaIndex p = first; p <= last; ++p) {
        const CharPos start = doc_.paragraphStart(p);
        const model::Paragraph& para = doc_.paragraph(p);
        const QStringView text(para.text);
        const int32_t length = para.length();

        // Addresses never cross a break: the words around the change are all that can differ.
        int32_t lo = p == first ? from - start : 0;
        int32_t hi = p == last ? std::min(to - start, length) : length;
        while (lo > 0 && !model::isUrlBreak(text[lo - 1]))
            --lo;
        while (hi < length && !model::isUrlBreak(text[hi]))
            ++hi;
        std::vector<model::UrlRange> urls;
        if (autoUrlDetect_ && hi > lo)
            urls = model::findUrls(text.sliced(lo, hi - lo));

        // The stretch's runs split at the addresses, each piece with the format it should have.
        pieces.clear();
        int32_t changedFrom = -1;
        int32_t changedTo = -1;
        size_t u = 0;
        int32_t runStart = 0;
        for (const model::Run& r : para.runs) {
            const int32_t runEnd = runStart + r.length;
            int32_t at = std::max(runStart, lo);
            const int32_t stop = std::min(runEnd, hi);
            while (at < stop) {
                while (u < urls.size() && lo + urls[u].second <= at)
                    ++u;
                const bool inAddress = u < urls.size() && lo + urls[u].first <= at;
                int32_t next = stop;
                if (u < urls.size())
                    next = std::min(stop, lo + (inAddress ? urls[u].second : urls[u].first));
                const CharFormatId id = formats.wanted(r.format, inAddress);
                if (id != r.format) {
                    if (changedFrom < 0)
                        changedFrom = at;
                    changedTo = next;
                }
                pieces.push_back({at, {next - at, id}});
                at = next;
            }
            runStart = runEnd;
            if (runStart >= hi)
                break;
        }
        if (changedFrom < 0)
            continue;

        model::RunList runs;
        for (const Piece& piece : pieces)
            if (piece.at >= changedFrom && piece.at < changedTo)
                runs.push_back(piece.run);
        model::runs::normalize(runs);
        doc_.overwriteRuns(start + changedFrom, runs); // the layout hears of it
        changed = true;
    }
    if (changed)
        EM_FORMATRANGE(false, nullptr); // formatted pages show the old formats
}

} // namespace richedit
