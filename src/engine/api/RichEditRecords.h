#pragma once

// The records exchanged with the rich-edit engine. Field names and sizes follow the engine's
// documented records, so that a caller's cbSize selects the older, shorter record.

#include "engine/api/RichEditConstants.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace richedit {

struct CHARRANGE {
    int32_t cpMin = 0;
    int32_t cpMax = 0;
    friend bool operator==(const CHARRANGE&, const CHARRANGE&) = default;
};

// The older character format: the fields up to the face name.
struct CHARFORMATW {
    uint32_t cbSize = sizeof(CHARFORMATW);
    uint32_t dwMask = 0;
    uint32_t dwEffects = 0;
    int32_t yHeight = 0;
    int32_t yOffset = 0;
    COLORREF crTextColor = 0;
    uint8_t bCharSet = 0;
    uint8_t bPitchAndFamily = 0;
    char16_t szFaceName[LF_FACESIZE] = {};
};
static_assert(sizeof(CHARFORMATW) == 92);

// The full character format. Its leading fields are those of CHARFORMATW.
struct CHARFORMAT2W {
    uint32_t cbSize = sizeof(CHARFORMAT2W);
    uint32_t dwMask = 0;
    uint32_t dwEffects = 0;
    int32_t yHeight = 0;
    int32_t yOffset = 0;
    COLORREF crTextColor = 0;
    uint8_t bCharSet = 0;
    uint8_t bPitchAndFamily = 0;
    char16_t szFaceName[LF_FACESIZE] = {};
    uint16_t wWeight = 0;
    int16_t sSpacing = 0;
    COLORREF crBackColor = 0;
    uint32_t lcid = 0;
    uint32_t dwReserved = 0;
    int16_t sStyle = 0;
    uint16_t wKerning = 0;
    uint8_t bUnderlineType = 0;
    uint8_t bAnimation = 0;
    uint8_t bRevAuthor = 0;
    uint8_t bReserved1 = 0;
};
static_assert(sizeof(CHARFORMAT2W) == 116);
static_assert(offsetof(CHARFORMAT2W, wWeight) == 90);

// Face name helpers: the name is a zero-terminated array of 32 UTF-16 units.
QString faceNameOf(const char16_t (&face)[LF_FACESIZE]);
void setFaceName(char16_t (&face)[LF_FACESIZE], const QString& name);

// The older paragraph format.
struct PARAFORMAT {
    uint32_t cbSize = sizeof(PARAFORMAT);
    uint32_t dwMask = 0;
    uint16_t wNumbering = 0;
    uint16_t wEffects = 0;
    int32_t dxStartIndent = 0;
    int32_t dxRightIndent = 0;
    int32_t dxOffset = 0;
    uint16_t wAlignment = 0;
    int16_t cTabCount = 0;
    int32_t rgxTabs[MAX_TAB_STOPS] = {};
};
static_assert(sizeof(PARAFORMAT) == 156);

// The full paragraph format. Its leading fields are those of PARAFORMAT.
struct PARAFORMAT2 {
    uint32_t cbSize = sizeof(PARAFORMAT2);
    uint32_t dwMask = 0;
    uint16_t wNumbering = 0;
    uint16_t wEffects = 0;
    int32_t dxStartIndent = 0;
    int32_t dxRightIndent = 0;
    int32_t dxOffset = 0;
    uint16_t wAlignment = 0;
    int16_t cTabCount = 0;
    int32_t rgxTabs[MAX_TAB_STOPS] = {};
    int32_t dySpaceBefore = 0;
    int32_t dySpaceAfter = 0;
    int32_t dyLineSpacing = 0;
    int16_t sStyle = 0;
    uint8_t bLineSpacingRule = 0;
    uint8_t bOutlineLevel = 0;
    uint16_t wShadingWeight = 0;
    uint16_t wShadingStyle = 0;
    uint16_t wNumberingStart = 0;
    uint16_t wNumberingStyle = 0;
    uint16_t wNumberingTab = 0;
    uint16_t wBorderSpace = 0;
    uint16_t wBorderWidth = 0;
    uint16_t wBorders = 0;
};
static_assert(sizeof(PARAFORMAT2) == 188);

// Tab stop entries carry the position in twips in the low 24 bits, the alignment in bits 24-27
// (0 left, 1 centre, 2 right, 3 decimal, 4 bar) and the leader in bits 28-31.
constexpr int32_t tabPosition(int32_t tab) {
    return tab & 0x00FFFFFF;
}
constexpr int tabAlignment(int32_t tab) {
    return (uint32_t(tab) >> 24) & 0x0F;
}
constexpr int tabLeader(int32_t tab) {
    return (uint32_t(tab) >> 28) & 0x0F;
}

struct FINDTEXTW {
    CHARRANGE chrg;
    QString lpstrText;
};

struct FINDTEXTEXW {
    CHARRANGE chrg;
    QString lpstrText;
    CHARRANGE chrgText; // filled with the match, or -1/-1
};

struct GETTEXTLENGTHEX {
    uint32_t flags = GTL_DEFAULT;
    uint32_t codepage = 1200; // 1200 counts UTF-16 units; any other code page counts bytes in it
};

// The stream callback moves one block: in (read from the caller) or out (written to the caller).
// cb is the block's size; the callback stores the bytes it transferred in pcb and answers 0, or
// a non-zero error code that stops the transfer and is kept in dwError.
using EDITSTREAMCALLBACK =
    std::function<uint32_t(uintptr_t dwCookie, uint8_t* pbBuff, int32_t cb, int32_t& pcb)>;

struct EDITSTREAM {
    uintptr_t dwCookie = 0;
    uint32_t dwError = 0;
    EDITSTREAMCALLBACK pfnCallback;
};

// ---- Formatting pages ----

struct RECT {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    friend bool operator==(const RECT&, const RECT&) = default;
};

struct POINT {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const POINT&, const POINT&) = default;
};

class DeviceContext; // where pages are drawn; defined with the engine that draws

// A page to format: rc is the area for the text and rcPage the whole page, both in twips of the
// device; chrg the characters to format (cpMax -1: to the end).
struct FORMATRANGE {
    DeviceContext* hdc = nullptr;
    DeviceContext* hdcTarget = nullptr;
    RECT rc;
    RECT rcPage;
    CHARRANGE chrg;
};

// ---- Notifications ----

struct NMHDR {
    const void* hwndFrom = nullptr;
    uintptr_t idFrom = 0;
    uint32_t code = 0;
};

struct SELCHANGE {
    NMHDR nmhdr;
    CHARRANGE chrg;
    uint16_t seltyp = SEL_EMPTY;
};

struct ENPROTECTED {
    NMHDR nmhdr;
    uint32_t msg = 0; // the request that would change protected text
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    CHARRANGE chrg;
};

// A keyboard or mouse message the engine is about to handle; a non-zero answer from the host
// drops it.
struct MSGFILTER {
    NMHDR nmhdr;
    uint32_t msg = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// The mouse over, or a button on, text with the link effect. lParam carries the pointer's client
// position (x in the low 16 bits, y in the high 16 bits).
struct ENLINK {
    NMHDR nmhdr;
    uint32_t msg = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    CHARRANGE chrg;
};

// The rectangle (client pixels) the content would need to show all of it.
struct REQRESIZE {
    NMHDR nmhdr;
    RECT rc;
};

// The window is closing while the clipboard holds its data; a non-zero answer drops that data.
struct ENSAVECLIPBOARD {
    NMHDR nmhdr;
    int32_t cObjectCount = 0;
    int32_t cch = 0;
};

// Files dropped on the window: the paths, the position they were dropped at and whether that
// position is in protected text. The host decides; the engine inserts nothing.
struct ENDROPFILES {
    NMHDR nmhdr;
    const void* hDrop = nullptr; // the list of paths (a const QStringList* in this engine)
    int32_t cp = 0;
    bool fProtected = false;
};

// Packs a client point into a message's lParam (x low, y high, each 16 bits signed).
constexpr intptr_t makePointParam(int32_t x, int32_t y) {
    return intptr_t((uint32_t(uint16_t(int16_t(x)))) | (uint32_t(uint16_t(int16_t(y))) << 16));
}
constexpr int32_t pointParamX(intptr_t lParam) {
    return int16_t(uint16_t(lParam & 0xFFFF));
}
constexpr int32_t pointParamY(intptr_t lParam) {
    return int16_t(uint16_t((uintptr_t(lParam) >> 16) & 0xFFFF));
}

} // namespace richedit
