#pragma once

#include "framework/TColor.h"
#include "framework/TFont.h"
#include "framework/TPersistent.h"
#include "framework/TSet.h"

#include <QString>

#include <cstdint>

class TTovraCustomRichEdit;

namespace richedit {
struct CHARFORMAT2W;
}

// Which text an attribute object describes.
enum TTovraAttributeType : uint8_t { atDefaultText, atSelected, atWord };

// The ordinal is the engine's underline code. The wave value carries the prefix ur.
enum TTovraUnderlineType : uint8_t {
    utNone,
    utSolid,
    utWord,
    utDouble,
    utDotted,
    utDash,
    utDashDot,
    utDashDotDot,
    urWave,
    utThick,
};

// Scoped: its ssNone would collide with the edit control's scroll-bar style ssNone.
enum class TTovraRichSubscriptStyle : uint8_t { ssNone, ssSubscript, ssSuperscript };

enum TTovraConsistentAttribute : uint8_t {
    caBold,
    caColor,
    caFace,
    caItalic,
    caSize,
    caStrikeOut,
    caUnderline,
    caProtected,
    caOffset,
    caHidden,
    caLink,
    caBackColor,
    caDisabled,
    caWeight,
    caSubscript,
    caRevAuthor,
    caRevised,
};
using TTovraConsistentAttributes = TSet<TTovraConsistentAttribute>;

// The character format of one part of an editor's document: the default format of new text,
// the selection, or the word at the caret. The object keeps no values: every read asks the
// engine for the current format and every write sends a format in which only the written
// attribute is marked valid, so the other attributes keep their values and a write to a mixed
// selection changes that one attribute over all of it.
//
// Reads: without the editor's window every property reads as its zero value (0, false, black,
// empty). An attribute that differs over the selection reads as its neutral value (the effect
// off, 0, an empty name, the automatic colours); ConsistentAttributes tells which attributes are
// the same throughout. Writes: without a window they are dropped. Attributes the older engines
// lack (version below 2) read as their neutral values and are not written.
class TTovraTextAttributes : public TPersistent {
public:
    TTovraTextAttributes(TTovraCustomRichEdit* AOwner, TTovraAttributeType AttributeType);

    QString ClassName() const override { return QStringLiteral("TTovraTextAttributes"); }
    // From a TFont: face, size, styles, colour (as RGB), character set and weight in one write.
    // From other attributes: the attributes that are the same over the source's text.
    void Assign(const TPersistent* Source) override;
    // Into a TFont: colour, name, character set, styles, size and pitch; an attribute that
    // differs over the text leaves the font's own value.
    void AssignTo(TPersistent* Dest) const override;

    TTovraCustomRichEdit* RichEdit() const { return FRichEdit; }
    TTovraAttributeType AttributeType() const { return FType; }

    // clWindow for the automatic background (and with an older engine).
    TColor BackColor() const;
    // clWindow, clDefault and clNone choose the automatic background.
    void SetBackColor(TColor value);
    uint8_t Charset() const;
    void SetCharset(uint8_t value);
    // clWindowText for the automatic text colour.
    TColor Color() const;
    // clWindowText, clDefault and clNone choose the automatic text colour; system colours are
    // sent as their current RGB value.
    void SetColor(TColor value);
    TTovraConsistentAttributes ConsistentAttributes() const;
    bool Disabled() const;
    void SetDisabled(bool value);
    bool Hidden() const;
    void SetHidden(bool value);
    bool Link() const;
    void SetLink(bool value);
    QString Name() const;
    // At most 31 UTF-16 code units are sent (a surrogate pair is not split).
    void SetName(const QString& value);
    // In the editor's Measurement; positive raises the text.
    int32_t Offset() const;
    void SetOffset(int32_t value);
    TFontPitch Pitch() const;
    // The engine takes the pitch together with the face: the current face is sent again with
    // the new pitch. When the face differs over the selection nothing is sent.
    void SetPitch(TFontPitch value);
    bool Protected() const;
    // The editor lets this change through while it is sent (DefaultProtect).
    void SetProtected(bool value);
    bool Revised() const;
    void SetRevised(bool value);
    uint8_t RevAuthorIndex() const;
    void SetRevAuthorIndex(uint8_t value);
    TTovraRichSubscriptStyle SubscriptStyle() const;
    void SetSubscriptStyle(TTovraRichSubscriptStyle value);
    // Whole points (twips divided by 20, truncated).
    int32_t Size() const;
    void SetSize(int32_t value);
    TFontStyles Style() const;
    // Sets the styles in value and removes the others.
    void SetStyle(TFontStyles value);
    // The character height in screen pixels, negative (as font dialogs take it).
    int32_t Height() const;
    // Either sign is taken as a character height in screen pixels.
    void SetHeight(int32_t value);
    // Underline codes without a value of their own read as the nearest kind.
    TTovraUnderlineType UnderlineType() const;
    void SetUnderlineType(TTovraUnderlineType value);

private:
    int32_t version() const;
    uint32_t wParam() const;
    // A zero-filled record of the size the engine's version takes.
    richedit::CHARFORMAT2W emptyFormat() const;
    // Fills format with the current format and answers the mask of attributes that are the same
    // over the text (0 without a window). Attributes outside the mask are left at their neutral
    // values.
    uint32_t getAttributes(richedit::CHARFORMAT2W& format) const;
    richedit::CHARFORMAT2W current() const;
    // Sends format; a format that carries the protected attribute is let through the editor's
    // protection check.
    void setAttributes(const richedit::CHARFORMAT2W& format) const;
    void setEffect(uint32_t mask, uint32_t effect, bool on, int32_t needsVersion = 0);

    TTovraCustomRichEdit* FRichEdit;
    TTovraAttributeType FType;
};
