#include "editor/TTovraTextAttributes.h"

#include "editor/TTovraCustomRichEdit.h"
#include "editor/TovraUnits.h"
#include "engine/api/RichEditRecords.h"
#include "engine/surface/RichEditEngine.h"
#include "framework/ScreenMetrics.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

using namespace richedit;

namespace {

// Effect bits whose mask bit has the same value: when the mask says the attribute differs over
// the text, its effect bit reads as off.
constexpr uint32_t kFlagEffects = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT |
                                  CFM_PROTECTED | CFM_LINK | CFM_SMALLCAPS | CFM_ALLCAPS |
                                  CFM_HIDDEN | CFM_OUTLINE | CFM_SHADOW | CFM_EMBOSS | CFM_IMPRINT |
                                  CFM_DISABLED | CFM_REVISED | CFM_SUBSCRIPT;

constexpr uint32_t kStyleMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;

// The colour as the engine takes it: plain RGB.
COLORREF engineColor(TColor color) {
    return COLORREF(uint32_t(ColorToRGB(color)) & 0x00FFFFFFu);
}

bool isAutomaticText(TColor color) {
    return color == clWindowText || color == clDefault || color == clNone;
}

bool isAutomaticBack(TColor color) {
    return color == clWindow || color == clDefault || color == clNone;
}

// The face name as the record holds it: at most 31 code units and no half of a surrogate pair.
QString recordFaceName(const QString& name) {
    constexpr qsizetype kMax = LF_FACESIZE - 1;
    if (name.size() <= kMax)
        return name;
    qsizetype n = kMax;
    if (name[n - 1].isHighSurrogate())
        --n;
    return name.left(n);
}

// The engine's pitch code (the low two bits of bPitchAndFamily).
uint8_t pitchBits(TFontPitch pitch) {
    switch (pitch) {
    case fpVariable:
        return 2;
    case fpFixed:
        return 1;
    default:
        return 0;
    }
}

// ---- Reading one attribute from a record ----

TColor colorOf(const CHARFORMAT2W& cf) {
    if (cf.dwEffects & CFE_AUTOCOLOR)
        return clWindowText;
    return TColor(cf.crTextColor & 0x00FFFFFFu);
}

QString nameOf(const CHARFORMAT2W& cf) {
    return faceNameOf(cf.szFaceName);
}

TFontPitch pitchOf(const CHARFORMAT2W& cf) {
    switch (cf.bPitchAndFamily & 0x03) {
    case 1:
        return fpFixed;
    case 2:
        return fpVariable;
    default:
        return fpDefault;
    }
}

int32_t sizeOf(const CHARFORMAT2W& cf) {
    return cf.yHeight / 20;
}

TFontStyles styleOf(const CHARFORMAT2W& cf) {
    TFontStyles s;
    if (cf.dwEffects & CFE_BOLD)
        s += fsBold;
    if (cf.dwEffects & CFE_ITALIC)
        s += fsItalic;
    if (cf.dwEffects & CFE_UNDERLINE)
        s += fsUnderline;
    if (cf.dwEffects & CFE_STRIKEOUT)
        s += fsStrikeOut;
    return s;
}

// Clears the attributes outside mask to their neutral values, so that an attribute that differs
// over the text reads the same whatever run the engine took the record from.
void neutralize(CHARFORMAT2W& cf, uint32_t mask) {
    cf.dwEffects &= ~(kFlagEffects & ~mask);
    if (!(mask & CFM_COLOR)) {
        cf.dwEffects |= CFE_AUTOCOLOR;
        cf.crTextColor = 0;
    }
    if (!(mask & CFM_BACKCOLOR)) {
        cf.dwEffects |= CFE_AUTOBACKCOLOR;
        cf.crBackColor = 0;
    }
    if (!(mask & CFM_SIZE))
        cf.yHeight = 0;
    if (!(mask & CFM_OFFSET))
        cf.yOffset = 0;
    if (!(mask & CFM_CHARSET))
        cf.bCharSet = 0;
    if (!(mask & CFM_FACE)) {
        setFaceName(cf.szFaceName, QString());
        cf.bPitchAndFamily = 0;
    }
    if (!(mask & CFM_WEIGHT))
        cf.wWeight = 0;
    if (!(mask & CFM_UNDERLINETYPE))
        cf.bUnderlineType = 0;
    if (!(mask & CFM_REVAUTHOR))
        cf.bRevAuthor = 0;
}

} // namespace

TTovraTextAttributes::TTovraTextAttributes(TTovraCustomRichEdit* AOwner,
                                           TTovraAttributeType AttributeType)
    : FRichEdit(AOwner), FType(AttributeType) {}

int32_t TTovraTextAttributes::version() const {
    return FRichEdit->Version();
}

uint32_t TTovraTextAttributes::wParam() const {
    switch (FType) {
    case atSelected:
        return SCF_SELECTION;
    case atWord:
        return SCF_SELECTION | SCF_WORD;
    default:
        return SCF_DEFAULT;
    }
}

CHARFORMAT2W TTovraTextAttributes::emptyFormat() const {
    CHARFORMAT2W cf;
    cf.cbSize = version() >= 2 ? sizeof(CHARFORMAT2W) : sizeof(CHARFORMATW);
    return cf;
}

uint32_t TTovraTextAttributes::getAttributes(CHARFORMAT2W& format) const {
    format = emptyFormat();
    if (!FRichEdit->HandleAllocated())
        return 0;
    const uint32_t mask = FRichEdit->Engine()->EM_GETCHARFORMAT(wParam(), format);
    neutralize(format, mask);
    format.dwMask = mask;
    return mask;
}

CHARFORMAT2W TTovraTextAttributes::current() const {
    CHARFORMAT2W cf;
    getAttributes(cf);
    return cf;
}

void TTovraTextAttributes::setAttributes(const CHARFORMAT2W& format) const {
    if (!FRichEdit->HandleAllocated())
        return;
    if (!(format.dwMask & CFM_PROTECTED)) {
        FRichEdit->Engine()->EM_SETCHARFORMAT(wParam(), format);
        return;
    }
    // Changing the protected attribute is the program's own decision: the editor answers the
    // engine's question with yes while it is sent, and its setting comes back afterwards, also
    // when the request fails.
    struct RestoreProtect {
        TTovraCustomRichEdit* edit;
        bool before;
        ~RestoreProtect() { edit->SetDefaultProtect(before); }
    } restore{FRichEdit, FRichEdit->DefaultProtect()};
    FRichEdit->SetDefaultProtect(true);
    FRichEdit->Engine()->EM_SETCHARFORMAT(wParam(), format);
}

void TTovraTextAttributes::setEffect(uint32_t mask, uint32_t effect, bool on,
                                     int32_t needsVersion) {
    if (version() < needsVersion)
        return;
    CHARFORMAT2W cf = emptyFormat();
    cf.dwMask = mask;
    cf.dwEffects = on ? effect : 0;
    setAttributes(cf);
}

// ---- Assignment ----

void TTovraTextAttributes::Assign(const TPersistent* Source) {
    if (const auto* font = dynamic_cast<const TFont*>(Source)) {
        CHARFORMAT2W cf = emptyFormat();
        cf.bPitchAndFamily = pitchBits(font->Pitch());
        cf.dwMask =
            CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_FACE | CFM_COLOR;
        cf.yHeight = int32_t(std::clamp<int64_t>(int64_t(font->Size()) * 20, 0, INT32_MAX));
        const TFontStyles styles = font->Style();
        if (styles.contains(fsBold))
            cf.dwEffects |= CFE_BOLD;
        if (styles.contains(fsItalic))
            cf.dwEffects |= CFE_ITALIC;
        if (styles.contains(fsUnderline))
            cf.dwEffects |= CFE_UNDERLINE;
        if (styles.contains(fsStrikeOut))
            cf.dwEffects |= CFE_STRIKEOUT;
        setFaceName(cf.szFaceName, recordFaceName(font->Name()));
        // The font's colour becomes a fixed RGB value; a font without a colour of its own takes
        // the current window text colour.
        const TColor color = font->Color();
        cf.crTextColor = engineColor(color == clDefault || color == clNone ? clWindowText : color);
        cf.dwMask |= CFM_CHARSET;
        cf.bCharSet = font->Charset();
        cf.dwMask |= CFM_WEIGHT;
        cf.wWeight = uint16_t(std::clamp(font->Weight(), 1, 1000));
        setAttributes(cf);
        return;
    }
    if (const auto* other = dynamic_cast<const TTovraTextAttributes*>(Source)) {
        CHARFORMAT2W cf;
        if (other->getAttributes(cf) != 0)
            setAttributes(cf);
        return;
    }
    TPersistent::Assign(Source);
}

void TTovraTextAttributes::AssignTo(TPersistent* Dest) const {
    auto* font = dynamic_cast<TFont*>(Dest);
    if (!font) {
        TPersistent::AssignTo(Dest);
        return;
    }
    CHARFORMAT2W cf;
    const uint32_t mask = getAttributes(cf);
    if (mask & CFM_COLOR)
        font->SetColor(colorOf(cf));
    if (mask & CFM_FACE)
        font->SetName(nameOf(cf));
    if (mask & CFM_CHARSET)
        font->SetCharset(cf.bCharSet);
    if (mask & kStyleMask) {
        // Styles that differ over the text keep the font's own setting.
        const TFontStyles mine = styleOf(cf);
        TFontStyles styles = font->Style();
        const std::pair<uint32_t, TFontStyle> bits[] = {{CFM_BOLD, fsBold},
                                                        {CFM_ITALIC, fsItalic},
                                                        {CFM_UNDERLINE, fsUnderline},
                                                        {CFM_STRIKEOUT, fsStrikeOut}};
        for (const auto& [bit, style] : bits) {
            if (!(mask & bit))
                continue;
            if (mine.contains(style))
                styles += style;
            else
                styles -= style;
        }
        font->SetStyle(styles);
    }
    if (mask & CFM_SIZE)
        font->SetSize(sizeOf(cf));
    if (mask & CFM_FACE)
        font->SetPitch(pitchOf(cf));
}

// ---- Properties ----

TColor TTovraTextAttributes::BackColor() const {
    if (version() < 2)
        return clWindow;
    const CHARFORMAT2W cf = current();
    if (cf.dwEffects & CFE_AUTOBACKCOLOR)
        return clWindow;
    return TColor(cf.crBackColor & 0x00FFFFFFu);
}

void TTovraTextAttributes::SetBackColor(TColor value) {
    if (version() < 2)
        return;
    CHARFORMAT2W cf = emptyFormat();
    cf.dwMask = CFM_BACKCOLOR;
    if (isAutomaticBack(value))
        cf.dwEffects = CFE_AUTOBACKCOLOR;
    else
        cf.crBackColor = engineColor(value);
    setAttributes(cf);
}

uint8_t TTovraTextAttributes::Charset() const {
    return current().bCharSet;
}

void TTovraTextAttributes::SetCharset(uint8_t value) {
    CHARFORMAT2W cf = emptyFormat();
    cf.dwMask = CFM_CHARSET;
    cf.bCharSet = value;
    setAttributes(cf);
}

TColor TTovraTextAttributes::Color() const {
    return colorOf(current());
}

void TTovraTextAttributes::SetColor(TColor value) {
    CHARFORMAT2W cf = emptyFormat();
    cf.dwMask = CFM_COLOR;
    if (isAutomaticText(value))
        cf.dwEffects = CFE_AUTOCOLOR;
    else
        cf.crTextColor = engineColor(value);
    setAttributes(cf);
}

TTovraConsistentAttributes TTovraTextAttributes::ConsistentAttributes() const {
    if (!FRichEdit->HandleAllocated() || FType == atDefaultText)
        return {};
    CHARFORMAT2W cf;
    const uint32_t mask = getAttributes(cf);
    TTovraConsistentAttributes result;
    auto add = [&](uint32_t bits, TTovraConsistentAttribute member) {
        if (mask & bits)
            result += member;
    };
    add(CFM_BOLD, caBold);
    add(CFM_COLOR, caColor);
    add(CFM_FACE, caFace);
    add(CFM_ITALIC, caItalic);
    add(CFM_SIZE, caSize);
    add(CFM_STRIKEOUT, caStrikeOut);
    add(CFM_UNDERLINE, caUnderline);
    add(CFM_PROTECTED, caProtected);
    add(CFM_OFFSET, caOffset);
    add(CFM_HIDDEN, caHidden);
    if (version() >= 2) {
        add(CFM_REVISED, caRevised);
        add(CFM_BACKCOLOR, caBackColor);
        add(CFM_LINK, caLink);
        add(CFM_DISABLED, caDisabled);
        add(CFM_WEIGHT, caWeight);
        add(CFM_SUBSCRIPT | CFM_SUPERSCRIPT, caSubscript);
        add(CFM_REVAUTHOR, caRevAuthor);
    }
    return result;
}

bool TTovraTextAttributes::Disabled() const {
    return version() >= 2 && (current().dwEffects & CFE_DISABLED);
}

void TTovraTextAttributes::SetDisabled(bool value) {
    setEffect(CFM_DISABLED, CFE_DISABLED, value, 2);
}

bool TTovraTextAttributes::Hidden() const {
    return version() >= 2 && (current().dwEffects & CFE_HIDDEN);
}

void TTovraTextAttributes::SetHidden(bool value) {
    setEffect(CFM_HIDDEN, CFE_HIDDEN, value, 2);
}

bool TTovraTextAttributes::Link() const {
    return version() >= 2 && (current().dwEffects & CFE_LINK);
}

void TTovraTextAttributes::SetLink(bool value) {
    setEffect(CFM_LINK, CFE_LINK, value, 2);
}

QString TTovraTextAttributes::Name() const {
    return nameOf(current());
}

void TTovraTextAttributes::SetName(const QString& value) {
    CHARFORMAT2W cf = emptyFormat();
    cf.dwMask = CFM_FACE;
    setFaceName(cf.szFaceName, recordFaceName(value));
    setAttributes(cf);
}

int32_t TTovraTextAttributes::Offset() const {
    return RoundHalfEven(TwipsToUnits(current().yOffset, FRichEdit->Measurement()));
}

void TTovraTextAttributes::SetOffset(int32_t value) {
    CHARFORMAT2W cf = emptyFormat();
    cf.dwMask = CFM_OFFSET;
    cf.yOffset = UnitsToTwips(FRichEdit->Measurement(), value);
    setAttributes(cf);
}

TFontPitch TTovraTextAttributes::Pitch() const {
    return pitchOf(current());
}

void TTovraTextAttributes::SetPitch(TFontPitch value) {
    CHARFORMAT2W now;
    if (!(getAttributes(now) & CFM_FACE))
        return;
    CHARFORMAT2W cf = emptyFormat();
    cf.dwMask = CFM_FACE;
    std::copy(std::begin(now.szFaceName), std::end(now.szFaceName), std::begin(cf.szFaceName));
    cf.bPitchAndFamily = uint8_t((now.bPitchAndFamily & ~0x03) | pitchBits(value));
    setAttributes(cf);
}

bool TTovraTextAttributes::Protected() const {
    return current().dwEffects & CFE_PROTECTED;
}

void TTovraTextAttributes::SetProtected(bool value) {
    setEffect(CFM_PROTECTED, CFE_PROTECTED, value);
}

bool TTovraTextAttributes::Revised() const {
    return current().dwEffects & CFE_REVISED;
}

void TTovraTextAttributes::SetRevised(bool value) {
    setEffect(CFM_REVISED, CFE_REVISED, value);
}

uint8_t TTovraTextAttributes::RevAuthorIndex() const {
    return current().bRevAuthor;
}

void TTovraTextAttributes::SetRevAuthorIndex(uint8_t value) {
    if (version() < 2)
        return;
    CHARFORMAT2W cf = emptyFormat();
    cf.dwMask = CFM_REVAUTHOR;
    cf.bRevAuthor = value;
    setAttributes(cf);
}

TTovraRichSubscriptStyle TTovraTextAttributes::SubscriptStyle() const {
    if (version() < 2)
        return TTovraRichSubscriptStyle::ssNone;
    const uint32_t effects = current().dwEffects;
    if (effects & CFE_SUBSCRIPT)
        return TTovraRichSubscriptStyle::ssSubscript;
    if (effects & CFE_SUPERSCRIPT)
        return TTovraRichSubscriptStyle::ssSuperscript;
    return TTovraRichSubscriptStyle::ssNone;
}

void TTovraTextAttributes::SetSubscriptStyle(TTovraRichSubscriptStyle value) {
    uint32_t effect = 0;
    if (value == TTovraRichSubscriptStyle::ssSubscript)
        effect = CFE_SUBSCRIPT;
    else if (value == TTovraRichSubscriptStyle::ssSuperscript)
        effect = CFE_SUPERSCRIPT;
    setEffect(CFM_SUBSCRIPT | CFM_SUPERSCRIPT, effect, effect != 0, 2);
}

int32_t TTovraTextAttributes::Size() const {
    return sizeOf(current());
}

void TTovraTextAttributes::SetSize(int32_t value) {
    CHARFORMAT2W cf = emptyFormat();
    cf.dwMask = CFM_SIZE;
    cf.yHeight = int32_t(std::clamp<int64_t>(int64_t(value) * 20, INT32_MIN, INT32_MAX));
    setAttributes(cf);
}

TFontStyles TTovraTextAttributes::Style() const {
    return styleOf(current());
}

void TTovraTextAttributes::SetStyle(TFontStyles value) {
    CHARFORMAT2W cf = emptyFormat();
    cf.dwMask = kStyleMask;
    if (value.contains(fsBold))
        cf.dwEffects |= CFE_BOLD;
    if (value.contains(fsItalic))
        cf.dwEffects |= CFE_ITALIC;
    if (value.contains(fsUnderline))
        cf.dwEffects |= CFE_UNDERLINE;
    if (value.contains(fsStrikeOut))
        cf.dwEffects |= CFE_STRIKEOUT;
    setAttributes(cf);
}

int32_t TTovraTextAttributes::Height() const {
    return -MulDiv(Size(), ScreenMetrics::LogPixelsY(), 72);
}

void TTovraTextAttributes::SetHeight(int32_t value) {
    const int32_t pixels = value == INT32_MIN ? INT32_MAX : std::abs(value);
    SetSize(MulDiv(pixels, 72, ScreenMetrics::LogPixelsY()));
}

TTovraUnderlineType TTovraTextAttributes::UnderlineType() const {
    if (version() < 2)
        return utNone;
    const CHARFORMAT2W cf = current();
    if (!(cf.dwEffects & CFE_UNDERLINE) || !(cf.dwMask & CFM_UNDERLINETYPE))
        return utNone;
    switch (cf.bUnderlineType) {
    case CFU_UNDERLINENONE:
        // The underline effect without a kind of its own is a single line.
        return utSolid;
    case CFU_UNDERLINEDOUBLEWAVE:
    case CFU_UNDERLINEHEAVYWAVE:
        return urWave;
    case CFU_UNDERLINELONGDASH:
        return utDash;
    default:
        if (cf.bUnderlineType <= CFU_UNDERLINETHICK)
            return TTovraUnderlineType(cf.bUnderlineType);
        return utSolid;
    }
}

void TTovraTextAttributes::SetUnderlineType(TTovraUnderlineType value) {
    if (version() < 2)
        return;
    CHARFORMAT2W cf = emptyFormat();
    cf.dwMask = CFM_UNDERLINETYPE | CFM_UNDERLINE;
    cf.bUnderlineType = uint8_t(value);
    if (value != utNone)
        cf.dwEffects = CFE_UNDERLINE;
    setAttributes(cf);
}
