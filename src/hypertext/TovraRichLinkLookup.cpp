#include "hypertext/TovraRichLinkLookup.h"

#include "editor/TTovraCustomRichEdit.h"

namespace {

const QString kStartMarker = QStringLiteral("\001HR\002");
const QString kTailStart = QStringLiteral("\001/HR:");
const QString kTailEnd = QStringLiteral("\002");

// The display text may hold at most this many characters.
constexpr int32_t kMaxDisplay = 45;

int32_t searchForward(TTovraCustomRichEdit& editor, const QString& what, int32_t from) {
    const int32_t length = editor.GetTextLen();
    return editor.FindText(what, from, std::max(0, length - from), {stSearchDown});
}

} // namespace

bool LocateLinkAround(TTovraCustomRichEdit& editor, int32_t Pos, int32_t& s, int32_t& e) {
    s = editor.FindText(kStartMarker, Pos, Pos, {});
    if (s < 0)
        return false;
    e = searchForward(editor, kTailStart, s + 4);
    return e > s + 4 && e - s < kMaxDisplay + 5 && s < Pos && Pos < e;
}

bool GetLinkParams(TTovraCustomRichEdit& editor, int32_t Pos, bool& aType, QString& aAddress) {
    aType = false;
    aAddress.clear();
    int32_t s = 0, e = 0;
    if (!LocateLinkAround(editor, Pos, s, e))
        return false;
    const int32_t t = searchForward(editor, kTailEnd, e);
    if (t <= e)
        return false;
    const QString tail = editor.GetTextRange(e, t + 1);
    aType = tail.mid(5, 3).compare(u"URL", Qt::CaseInsensitive) != 0;
    aAddress = tail.mid(9, t - e - 9);
    return true;
}
