#include "editor/TTovraParaAttributes.h"

#include "editor/TTovraCustomRichEdit.h"
#include "editor/TovraUnits.h"
#include "engine/api/RichEditRecords.h"
#include "engine/surface/RichEditEngine.h"

#include <algorithm>

using namespace richedit;

namespace {

// Everything ClearToDefaults resets.
constexpr uint32_t kClearMask = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT |
                                PFM_TABSTOPS | PFM_NUMBERING | PFM_SPACEBEFORE | PFM_SPACEAFTER |
                                PFM_LINESPACING | PFM_NUMBERINGSTYLE | PFM_NUMBERINGTAB |
                                PFM_NUMBERINGSTART;
static_assert(kClearMask == 0xE1FF);

// The table bits of wEffects.
constexpr uint16_t kTableBits = 0xC000;

// The largest tab position an entry holds; the bits above carry the stop's alignment and leader.
constexpr int32_t kMaxTabPosition = 0x00FFFFFF;

// Left and right alignment change places; centred and justified text stay.
uint16_t mirrored(uint16_t alignment) {
    if (alignment == PFA_LEFT)
        return PFA_RIGHT;
    if (alignment == PFA_RIGHT)
        return PFA_LEFT;
    return alignment;
}

int32_t tabEntry(int32_t twips, int32_t flags) {
    return std::clamp(twips, 0, kMaxTabPosition) | (flags & ~kMaxTabPosition);
}

} // namespace

TTovraParaAttributes::TTovraParaAttributes(TTovraCustomRichEdit* AOwner) : FRichEdit(AOwner) {}

int32_t TTovraParaAttributes::version() const {
    return FRichEdit->Version();
}

PARAFORMAT2 TTovraParaAttributes::emptyFormat() const {
    PARAFORMAT2 pf;
    pf.cbSize = version() >= 2 ? sizeof(PARAFORMAT2) : sizeof(PARAFORMAT);
    return pf;
}

uint32_t TTovraParaAttributes::getAttributes(PARAFORMAT2& format) const {
    format = emptyFormat();
    if (!FRichEdit->HandleAllocated())
        return 0;
    return FRichEdit->Engine()->EM_GETPARAFORMAT(format);
}

PARAFORMAT2 TTovraParaAttributes::current() const {
    PARAFORMAT2 pf;
    getAttributes(pf);
    return pf;
}

void TTovraParaAttributes::setAttributes(PARAFORMAT2& format, bool mirror) {
    FRichEdit->HandleNeeded();
    if (mirror && FRichEdit->isRightToLeft())
        format.wAlignment = mirrored(format.wAlignment);
    FRichEdit->Engine()->EM_SETPARAFORMAT(format);
}

void TTovraParaAttributes::selectionChange() {
    FRichEdit->DoSelectionChange();
}

int32_t TTovraParaAttributes::toTwips(int32_t value) const {
    return UnitsToTwips(FRichEdit->Measurement(), value);
}

int32_t TTovraParaAttributes::fromTwips(int32_t twips) const {
    return RoundHalfEven(TwipsToUnits(twips, FRichEdit->Measurement()));
}

void TTovraParaAttributes::Assign(const TPersistent* Source) {
    const auto* other = dynamic_cast<const TTovraParaAttributes*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    PARAFORMAT2 pf;
    uint32_t mask = other->getAttributes(pf);
    // The copy carries absolute indents: the relative form of the start indent would add the
    // source's indent to this paragraph's.
    mask &= ~PFM_OFFSETINDENT;
    if (mask == 0)
        return;
    pf.dwMask = mask;
    // The record holds the engine's own alignment, not this object's mirrored view of it.
    setAttributes(pf, false);
}

// ---- Alignment ----

TTovraParaAlignment TTovraParaAttributes::Alignment() const {
    uint16_t alignment = current().wAlignment;
    if (FRichEdit->isRightToLeft())
        alignment = mirrored(alignment);
    switch (alignment) {
    case PFA_RIGHT:
        return paRightJustify;
    case PFA_CENTER:
        return paCenter;
    default:
        return paLeftJustify;
    }
}

void TTovraParaAttributes::SetAlignment(TTovraParaAlignment value) {
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_ALIGNMENT;
    pf.wAlignment = uint16_t(value + 1);
    setAttributes(pf);
}

// ---- Indents ----

int32_t TTovraParaAttributes::FirstIndent() const {
    return fromTwips(-current().dxOffset);
}

void TTovraParaAttributes::SetFirstIndent(int32_t value) {
    FRichEdit->HandleNeeded();
    const PARAFORMAT2 now = current();
    const int32_t left = now.dxStartIndent + now.dxOffset;
    const int32_t first = std::max(toTwips(value), -left);
    if (first == -now.dxOffset)
        return;
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_STARTINDENT | PFM_OFFSET;
    pf.dxStartIndent = left + first;
    pf.dxOffset = -first;
    setAttributes(pf);
    selectionChange();
}

int32_t TTovraParaAttributes::LeftIndent() const {
    const PARAFORMAT2 pf = current();
    return fromTwips(pf.dxStartIndent + pf.dxOffset);
}

void TTovraParaAttributes::SetLeftIndent(int32_t value) {
    FRichEdit->HandleNeeded();
    const PARAFORMAT2 now = current();
    const int32_t left = std::max(0, toTwips(value));
    int32_t offset = now.dxOffset;
    int32_t start = left - offset;
    // The first line keeps its place relative to the following lines, but never starts left of
    // the text's left edge.
    if (start < 0) {
        start = 0;
        offset = left;
    }
    if (start == now.dxStartIndent && offset == now.dxOffset)
        return;
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_STARTINDENT | PFM_OFFSET;
    pf.dxStartIndent = start;
    pf.dxOffset = offset;
    setAttributes(pf);
    selectionChange();
}

int32_t TTovraParaAttributes::RightIndent() const {
    return fromTwips(current().dxRightIndent);
}

void TTovraParaAttributes::SetRightIndent(int32_t value) {
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_RIGHTINDENT;
    pf.dxRightIndent = toTwips(value);
    setAttributes(pf);
    selectionChange();
}

void TTovraParaAttributes::SetParagraphIndent(int32_t Left, int32_t First) {
    FRichEdit->HandleNeeded();
    const PARAFORMAT2 now = current();
    // The first line's position is formed in the user's unit and converted once.
    const int32_t start =
        std::max(0, UnitsToTwips(FRichEdit->Measurement(), double(Left) + double(First)));
    const int32_t left = std::max(0, toTwips(Left));
    const int32_t offset = left - start;
    if (start == now.dxStartIndent && offset == now.dxOffset)
        return;
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_STARTINDENT | PFM_OFFSET;
    pf.dxStartIndent = start;
    pf.dxOffset = offset;
    setAttributes(pf);
    selectionChange();
}

void TTovraParaAttributes::GetIndents(int32_t& Left, int32_t& First, int32_t& Right) const {
    const PARAFORMAT2 pf = current();
    Left = fromTwips(pf.dxStartIndent + pf.dxOffset);
    First = fromTwips(-pf.dxOffset);
    Right = fromTwips(pf.dxRightIndent);
}

// ---- Spacing ----

int32_t TTovraParaAttributes::SpaceBefore() const {
    return fromTwips(current().dySpaceBefore);
}

void TTovraParaAttributes::SetSpaceBefore(int32_t value) {
    if (version() < 2)
        return;
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_SPACEBEFORE;
    pf.dySpaceBefore = toTwips(value);
    setAttributes(pf);
}

int32_t TTovraParaAttributes::SpaceAfter() const {
    return fromTwips(current().dySpaceAfter);
}

void TTovraParaAttributes::SetSpaceAfter(int32_t value) {
    if (version() < 2)
        return;
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_SPACEAFTER;
    pf.dySpaceAfter = toTwips(value);
    setAttributes(pf);
}

int32_t TTovraParaAttributes::LineSpacing() const {
    return fromTwips(current().dyLineSpacing);
}

void TTovraParaAttributes::SetLineSpacing(int32_t value) {
    if (version() < 2)
        return;
    FRichEdit->HandleNeeded();
    PARAFORMAT2 pf = current();
    pf.dwMask = PFM_LINESPACING;
    pf.dyLineSpacing = toTwips(value);
    setAttributes(pf);
}

TTovraLineSpacingRule TTovraParaAttributes::LineSpacingRule() const {
    const uint8_t rule = current().bLineSpacingRule;
    return rule <= lsMultiple ? TTovraLineSpacingRule(rule) : lsSingle;
}

void TTovraParaAttributes::SetLineSpacingRule(TTovraLineSpacingRule value) {
    if (version() < 2)
        return;
    FRichEdit->HandleNeeded();
    PARAFORMAT2 pf = current();
    pf.dwMask = PFM_LINESPACING;
    pf.bLineSpacingRule = uint8_t(value);
    setAttributes(pf);
}

// ---- Numbering ----

TTovraNumbering TTovraParaAttributes::Numbering() const {
    const uint16_t numbering = current().wNumbering;
    if (numbering == 0)
        return nsNone;
    if (version() == 1)
        return nsBullet;
    // Numbering kinds the type has no name for are numbers of some kind.
    return numbering <= nsUpCaseRoman ? TTovraNumbering(numbering) : nsArabicNumbers;
}

void TTovraParaAttributes::SetNumbering(TTovraNumbering value) {
    if (version() == 1 && value != nsNone)
        value = nsBullet;
    if (value == nsNone)
        SetLeftIndent(0);
    else if (LeftIndent() < 10)
        SetLeftIndent(10);
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_NUMBERING;
    pf.wNumbering = value;
    setAttributes(pf);
}

int32_t TTovraParaAttributes::NumberingStart() const {
    return current().wNumberingStart;
}

void TTovraParaAttributes::SetNumberingStart(int32_t value) {
    if (version() < 3)
        return;
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_NUMBERINGSTART;
    pf.wNumberingStart = uint16_t(value);
    setAttributes(pf);
}

TTovraNumberingStyle TTovraParaAttributes::NumberingStyle() const {
    if (version() < 2)
        return nsSimple;
    // The flags above the style (no number, start a new number) do not change how a number
    // is set off.
    switch (current().wNumberingStyle & 0x0300) {
    case 0x0100:
        return nsEnclosed;
    case 0x0200:
        return nsPeriod;
    case 0x0300:
        return nsSimple;
    default:
        return nsParenthesis;
    }
}

void TTovraParaAttributes::SetNumberingStyle(TTovraNumberingStyle value) {
    if (version() < 2)
        return;
    static constexpr uint16_t kStyles[] = {0x0000, 0x0200, 0x0100, 0x0300};
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_NUMBERINGSTYLE;
    pf.wNumberingStyle = kStyles[std::min<size_t>(value, std::size(kStyles) - 1)];
    setAttributes(pf);
}

uint16_t TTovraParaAttributes::NumberingTab() const {
    return uint16_t(fromTwips(current().wNumberingTab));
}

void TTovraParaAttributes::SetNumberingTab(uint16_t value) {
    if (version() < 2)
        return;
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_NUMBERINGTAB;
    pf.wNumberingTab = uint16_t(toTwips(value));
    setAttributes(pf);
}

// ---- Tab stops ----

int32_t TTovraParaAttributes::TabCount() const {
    return current().cTabCount;
}

void TTovraParaAttributes::SetTabCount(int32_t value) {
    FRichEdit->HandleNeeded();
    PARAFORMAT2 pf = current();
    pf.dwMask = PFM_TABSTOPS;
    pf.cTabCount = int16_t(std::clamp(value, 0, kMaxTabs));
    setAttributes(pf);
}

int32_t TTovraParaAttributes::Tab(uint8_t Index) const {
    if (Index >= kMaxTabs)
        return kNoTab;
    // A stop's alignment and leader live in the entry's high bits; the position is below them.
    return fromTwips(tabPosition(current().rgxTabs[Index]));
}

void TTovraParaAttributes::SetTab(uint8_t Index, int32_t value) {
    if (Index >= kMaxTabs)
        return;
    FRichEdit->HandleNeeded();
    PARAFORMAT2 pf = current();
    // An existing stop keeps its alignment and leader.
    const int32_t flags = Index < pf.cTabCount ? pf.rgxTabs[Index] : 0;
    pf.rgxTabs[Index] = tabEntry(toTwips(value), flags);
    pf.dwMask = PFM_TABSTOPS;
    if (pf.cTabCount < Index + 1)
        pf.cTabCount = int16_t(Index + 1);
    setAttributes(pf);
    selectionChange();
}

void TTovraParaAttributes::SetTabs(const std::vector<int32_t>& Tabs) {
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_TABSTOPS;
    const int n = int(std::min<size_t>(Tabs.size(), kMaxTabs));
    pf.cTabCount = int16_t(n);
    for (int i = 0; i < n; ++i)
        pf.rgxTabs[i] = tabEntry(toTwips(Tabs[size_t(i)]), 0);
    setAttributes(pf);
    selectionChange();
}

// ---- Heading and table ----

TTovraHeadingStyle TTovraParaAttributes::HeadingStyle() const {
    if (version() < 3)
        return 0;
    return TTovraHeadingStyle(current().sStyle & 0xFF);
}

void TTovraParaAttributes::SetHeadingStyle(TTovraHeadingStyle value) {
    if (version() < 3)
        return;
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_STYLE;
    pf.sStyle = int16_t(std::min<int>(value, 9));
    setAttributes(pf);
}

TTovraParaTableStyle TTovraParaAttributes::TableStyle() const {
    if (version() < 2)
        return tsNone;
    switch (current().wEffects & kTableBits) {
    case 0xC000:
        return tsTableRow;
    case 0x8000:
        return tsTableCellEnd;
    case 0x4000:
        return tsTable;
    default:
        return tsNone;
    }
}

void TTovraParaAttributes::SetTableStyle(TTovraParaTableStyle value) {
    if (version() < 2)
        return;
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = PFM_TABLE;
    switch (value) {
    case tsTable:
    case tsTableCell:
        pf.wEffects = 0x4000;
        break;
    case tsTableRow:
        pf.wEffects = 0xC000;
        break;
    case tsTableCellEnd:
        pf.wEffects = 0x8000;
        break;
    default:
        pf.wEffects = 0;
        break;
    }
    setAttributes(pf);
}

// ---- Resetting ----

void TTovraParaAttributes::ClearToDefaults() {
    PARAFORMAT2 pf = emptyFormat();
    pf.dwMask = kClearMask;
    // The engine takes no alignment 0: the default is left (mirrored in a right-to-left editor).
    pf.wAlignment = PFA_LEFT;
    setAttributes(pf);
    selectionChange();
}
