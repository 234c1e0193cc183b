#include "engine/surface/FormatRecords.h"

#include <algorithm>

namespace richedit {

namespace {
// Effect bits that are stored as they come: each mask bit names the effect bit of the same value.
constexpr uint32_t kPlainEffects = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT |
                                   CFM_PROTECTED | CFM_LINK | CFM_SMALLCAPS | CFM_ALLCAPS |
                                   CFM_HIDDEN | CFM_OUTLINE | CFM_SHADOW | CFM_EMBOSS |
                                   CFM_IMPRINT | CFM_DISABLED | CFM_REVISED | CFM_SUBSCRIPT;
constexpr uint32_t kShortCharMask = CFM_ALL | CFM_EFFECTS;
// The table bits of a paragraph's effects, both under PFM_TABLE: 0x4000 a table (cell)
// paragraph, 0xC000 a row's end, 0x8000 a cell's end.
constexpr uint16_t kTableEffects = 0xC000;

// The effect bits that mask names.
uint16_t paraEffectsOf(uint32_t mask) {
    uint16_t effects = uint16_t((mask & PFM_EFFECTS) >> 16);
    if (mask & PFM_TABLE)
        effects |= kTableEffects;
    return effects;
}
} // namespace

QString faceNameOf(const char16_t (&face)[LF_FACESIZE]) {
    int n = 0;
    while (n < LF_FACESIZE && face[n] != 0)
        ++n;
    return QString(reinterpret_cast<const QChar*>(face), n);
}

void setFaceName(char16_t (&face)[LF_FACESIZE], const QString& name) {
    const int n = std::min<int>(int(name.size()), LF_FACESIZE - 1);
    for (int i = 0; i < n; ++i)
        face[i] = name[i].unicode();
    for (int i = n; i < LF_FACESIZE; ++i)
        face[i] = 0;
}

uint32_t fullCharMask(bool full) {
    return full ? CFM_ALL2 : kShortCharMask;
}

void fillCharRecord(const model::CharFormat& f, CHARFORMAT2W& cf, bool full) {
    cf.dwEffects = f.effects;
    cf.yHeight = f.height;
    cf.yOffset = f.offset;
    cf.crTextColor = f.textColor;
    cf.bCharSet = f.charSet;
    cf.bPitchAndFamily = f.pitchAndFamily;
    setFaceName(cf.szFaceName, f.face);
    if (!full) {
        cf.dwEffects &= kShortCharMask;
        return;
    }
    cf.wWeight = f.weight;
    cf.sSpacing = f.spacing;
    cf.crBackColor = f.backColor;
    cf.lcid = f.lcid;
    cf.sStyle = f.style;
    cf.wKerning = f.kerning;
    cf.bUnderlineType = f.underlineType;
    cf.bAnimation = f.animation;
    cf.bRevAuthor = f.revAuthor;
}

model::CharFormat mergeCharFormat(const model::CharFormat& base, const CHARFORMAT2W& cf,
                                  uint32_t mask) {
    model::CharFormat f = base;
    const uint32_t effects = mask & kPlainEffects;
    f.effects = (f.effects & ~effects) | (cf.dwEffects & effects);
    // Subscript and superscript exclude each other; subscript wins when both are asked for.
    if ((mask & CFM_SUBSCRIPT) && (f.effects & CFE_SUBSCRIPT))
        f.effects &= ~CFE_SUPERSCRIPT;
    if ((mask & CFM_LINK) && !(f.effects & CFE_LINK))
        f.linkTarget.clear(); // text that is no longer a link leads nowhere
    if (mask & CFM_COLOR) {
        f.effects = (f.effects & ~CFE_AUTOCOLOR) | (cf.dwEffects & CFE_AUTOCOLOR);
        f.textColor = (cf.dwEffects & CFE_AUTOCOLOR) ? 0 : cf.crTextColor & 0x00FFFFFF;
    }
    if (mask & CFM_BACKCOLOR) {
        f.effects = (f.effects & ~CFE_AUTOBACKCOLOR) | (cf.dwEffects & CFE_AUTOBACKCOLOR);
        f.backColor = (cf.dwEffects & CFE_AUTOBACKCOLOR) ? 0 : cf.crBackColor & 0x00FFFFFF;
    }
    if ((mask & CFM_SIZE) && cf.yHeight > 0)
        f.height = std::min(cf.yHeight, 1638 * 20);
    if (mask & CFM_OFFSET)
        f.offset = cf.yOffset;
    if (mask & CFM_CHARSET)
        f.charSet = cf.bCharSet;
    if (mask & CFM_FACE) {
        f.face = faceNameOf(cf.szFaceName);
        f.pitchAndFamily = cf.bPitchAndFamily;
    }
    // Bold and weight describe one thing: each follows the other.
    if (mask & CFM_WEIGHT) {
        f.weight = cf.wWeight;
        if (!(mask & CFM_BOLD))
            f.effects = f.weight >= 600 ? (f.effects | CFE_BOLD) : (f.effects & ~CFE_BOLD);
    } else if (mask & CFM_BOLD) {
        f.weight = (f.effects & CFE_BOLD) ? 700 : 400;
    }
    if (mask & CFM_SPACING)
        f.spacing = cf.sSpacing;
    if (mask & CFM_LCID)
        f.lcid = cf.lcid;
    if (mask & CFM_STYLE)
        f.style = cf.sStyle;
    if (mask & CFM_KERNING)
        f.kerning = cf.wKerning;
    if (mask & CFM_ANIMATION)
        f.animation = cf.bAnimation;
    if (mask & CFM_REVAUTHOR)
        f.revAuthor = cf.bRevAuthor;
    // The underline effect and the underline type are kept in step.
    if (mask & CFM_UNDERLINETYPE) {
        // The type decides: a type means underlined, no type means not underlined.
        f.underlineType = cf.bUnderlineType;
        f.effects = f.underlineType != CFU_UNDERLINENONE ? (f.effects | CFE_UNDERLINE)
                                                         : (f.effects & ~CFE_UNDERLINE);
    } else if (mask & CFM_UNDERLINE) {
        if (!(f.effects & CFE_UNDERLINE))
            f.underlineType = CFU_UNDERLINENONE;
        else if (f.underlineType == CFU_UNDERLINENONE)
            f.underlineType = CFU_UNDERLINE;
    }
    return f;
}

uint32_t charDifferences(const model::CharFormat& a, const model::CharFormat& b) {
    uint32_t d = (a.effects ^ b.effects) & kPlainEffects;
    if (d & CFM_SUBSCRIPT)
        d |= CFM_SUBSCRIPT;
    const bool aAuto = a.effects & CFE_AUTOCOLOR, bAuto = b.effects & CFE_AUTOCOLOR;
    if (aAuto != bAuto || (!aAuto && a.textColor != b.textColor))
        d |= CFM_COLOR;
    const bool aAutoB = a.effects & CFE_AUTOBACKCOLOR, bAutoB = b.effects & CFE_AUTOBACKCOLOR;
    if (aAutoB != bAutoB || (!aAutoB && a.backColor != b.backColor))
        d |= CFM_BACKCOLOR;
    if (a.height != b.height)
        d |= CFM_SIZE;
    if (a.offset != b.offset)
        d |= CFM_OFFSET;
    if (a.charSet != b.charSet)
        d |= CFM_CHARSET;
    if (a.face != b.face || a.pitchAndFamily != b.pitchAndFamily)
        d |= CFM_FACE;
    if (a.weight != b.weight)
        d |= CFM_WEIGHT;
    if (a.spacing != b.spacing)
        d |= CFM_SPACING;
    if (a.lcid != b.lcid)
        d |= CFM_LCID;
    if (a.style != b.style)
        d |= CFM_STYLE;
    if (a.kerning != b.kerning)
        d |= CFM_KERNING;
    if (a.underlineType != b.underlineType)
        d |= CFM_UNDERLINETYPE;
    if (a.animation != b.animation)
        d |= CFM_ANIMATION;
    if (a.revAuthor != b.revAuthor)
        d |= CFM_REVAUTHOR;
    return d;
}

uint32_t fullParaMask(bool full) {
    return full ? PFM_ALL2 : (PFM_ALL & ~PFM_RTLPARA);
}

void fillParaRecord(const model::ParaFormat& f, PARAFORMAT2& pf, bool full) {
    pf.wNumbering = f.numbering;
    pf.wEffects = full ? f.effects : 0;
    pf.dxStartIndent = f.startIndent;
    pf.dxRightIndent = f.rightIndent;
    pf.dxOffset = f.offset;
    pf.wAlignment = f.alignment;
    pf.cTabCount = f.tabCount;
    for (int i = 0; i < MAX_TAB_STOPS; ++i)
        pf.rgxTabs[i] = i < f.tabCount ? f.tabs[size_t(i)] : 0;
    if (!full)
        return;
    pf.dySpaceBefore = f.spaceBefore;
    pf.dySpaceAfter = f.spaceAfter;
    pf.dyLineSpacing = f.lineSpacing;
    pf.sStyle = f.style;
    pf.bLineSpacingRule = f.lineSpacingRule;
    pf.bOutlineLevel = f.outlineLevel;
    pf.wShadingWeight = f.shadingWeight;
    pf.wShadingStyle = f.shadingStyle;
    pf.wNumberingStart = f.numberingStart;
    pf.wNumberingStyle = f.numberingStyle;
    pf.wNumberingTab = f.numberingTab;
    pf.wBorderSpace = f.borderSpace;
    pf.wBorderWidth = f.borderWidth;
    pf.wBorders = f.borders;
}

model::ParaFormat mergeParaFormat(const model::ParaFormat& base, const PARAFORMAT2& pf,
                                  uint32_t mask) {
    model::ParaFormat f = base;
    if (mask & PFM_OFFSETINDENT)
        f.startIndent = std::max(0, f.startIndent + pf.dxStartIndent);
    else if (mask & PFM_STARTINDENT)
        f.startIndent = pf.dxStartIndent;
    if (mask & PFM_RIGHTINDENT)
        f.rightIndent = pf.dxRightIndent;
    if (mask & PFM_OFFSET)
        f.offset = pf.dxOffset;
    if ((mask & PFM_ALIGNMENT) && pf.wAlignment >= PFA_LEFT && pf.wAlignment <= PFA_JUSTIFY)
        f.alignment = pf.wAlignment;
    if (mask & PFM_TABSTOPS) {
        f.tabCount = int16_t(std::clamp<int>(pf.cTabCount, 0, MAX_TAB_STOPS));
        f.tabs.fill(0);
        for (int i = 0; i < f.tabCount; ++i)
            f.tabs[size_t(i)] = pf.rgxTabs[i];
    }
    if (mask & PFM_NUMBERING)
        f.numbering = pf.wNumbering;
    const uint16_t effects = paraEffectsOf(mask);
    f.effects = uint16_t((f.effects & ~effects) | (pf.wEffects & effects));
    if (mask & PFM_SPACEBEFORE)
        f.spaceBefore = std::max(0, pf.dySpaceBefore);
    if (mask & PFM_SPACEAFTER)
        f.spaceAfter = std::max(0, pf.dySpaceAfter);
    if (mask & PFM_LINESPACING) {
        f.lineSpacing = pf.dyLineSpacing;
        f.lineSpacingRule = pf.bLineSpacingRule <= 5 ? pf.bLineSpacingRule : 0;
    }
    if (mask & PFM_STYLE)
        f.style = pf.sStyle;
    if (mask & PFM_OUTLINELEVEL)
        f.outlineLevel = pf.bOutlineLevel;
    if (mask & PFM_SHADING) {
        f.shadingWeight = pf.wShadingWeight;
        f.shadingStyle = pf.wShadingStyle;
    }
    if (mask & PFM_BORDER) {
        f.borderSpace = pf.wBorderSpace;
        f.borderWidth = pf.wBorderWidth;
        f.borders = pf.wBorders;
    }
    if (mask & PFM_NUMBERINGSTART)
        f.numberingStart = pf.wNumberingStart;
    if (mask & PFM_NUMBERINGSTYLE)
        f.numberingStyle = pf.wNumberingStyle;
    if (mask & PFM_NUMBERINGTAB)
        f.numberingTab = pf.wNumberingTab;
    return f;
}

uint32_t paraDifferences(const model::ParaFormat& a, const model::ParaFormat& b) {
    const uint16_t effects = uint16_t(a.effects ^ b.effects);
    uint32_t d = uint32_t(effects & ~kTableEffects) << 16;
    if (effects & kTableEffects)
        d |= PFM_TABLE;
    if (a.startIndent != b.startIndent)
        d |= PFM_STARTINDENT;
    if (a.rightIndent != b.rightIndent)
        d |= PFM_RIGHTINDENT;
    if (a.offset != b.offset)
        d |= PFM_OFFSET;
    if (a.alignment != b.alignment)
        d |= PFM_ALIGNMENT;
    if (a.tabCount != b.tabCount || a.tabs != b.tabs)
        d |= PFM_TABSTOPS;
    if (a.numbering != b.numbering)
        d |= PFM_NUMBERING;
    if (a.spaceBefore != b.spaceBefore)
        d |= PFM_SPACEBEFORE;
    if (a.spaceAfter != b.spaceAfter)
        d |= PFM_SPACEAFTER;
    if (a.lineSpacing != b.lineSpacing || a.lineSpacingRule != b.lineSpacingRule)
        d |= PFM_LINESPACING;
    if (a.style != b.style)
        d |= PFM_STYLE;
    if (a.outlineLevel != b.outlineLevel)
        d |= PFM_OUTLINELEVEL;
    if (a.shadingWeight != b.shadingWeight || a.shadingStyle != b.shadingStyle)
        d |= PFM_SHADING;
    if (a.borderSpace != b.borderSpace || a.borderWidth != b.borderWidth || a.borders != b.borders)
        d |= PFM_BORDER;
    if (a.numberingStart != b.numberingStart)
        d |= PFM_NUMBERINGSTART;
    if (a.numberingStyle != b.numberingStyle)
        d |= PFM_NUMBERINGSTYLE;
    if (a.numberingTab != b.numberingTab)
        d |= PFM_NUMBERINGTAB;
    return d;
}

} // namespace richedit
