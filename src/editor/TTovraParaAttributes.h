#pragma once

#include "framework/TPersistent.h"

#include <QString>

#include <cstdint>
#include <vector>

class TTovraCustomRichEdit;

namespace richedit {
struct PARAFORMAT2;
}

enum TTovraParaAlignment : uint8_t { paLeftJustify, paRightJustify, paCenter };

// The ordinal is the engine's numbering code.
enum TTovraNumbering : uint8_t {
    nsNone,
    nsBullet,
    nsArabicNumbers,
    nsLoCaseLetter,
    nsUpCaseLetter,
    nsLoCaseRoman,
    nsUpCaseRoman,
};

// How a number is set off: "1)", "1.", "(1)", or the number alone.
enum TTovraNumberingStyle : uint8_t { nsParenthesis, nsPeriod, nsEnclosed, nsSimple };

// The ordinal is the engine's line-spacing rule.
enum TTovraLineSpacingRule : uint8_t {
    lsSingle,
    lsOneAndHalf,
    lsDouble,
    lsSpecifiedOrMore,
    lsSpecified,
    lsMultiple,
};

enum TTovraParaTableStyle : uint8_t { tsNone, tsTable, tsTableRow, tsTableCellEnd, tsTableCell };

// A heading level, 0 (none) to 9.
using TTovraHeadingStyle = uint8_t;

// The paragraph format of the paragraphs the editor's selection touches. The object keeps no
// values: every read asks the engine (the values of the first of the paragraphs), every write
// sends a format in which only the written attributes are marked valid. Lengths are in the
// editor's Measurement.
//
// Indents: the engine keeps the first line's indent from the left edge and the offset of the
// following lines from the first line. This object shows LeftIndent (where the following lines
// start), FirstIndent (where the first line starts, relative to LeftIndent; negative for a
// hanging first line) and RightIndent.
//
// Reads without the editor's window give zeros; a write creates the window first, so it is never
// lost. Writes that move indents or tab stops run the editor's selection change afterwards, so
// the ruler and other listeners read the paragraph again. In a right-to-left editor left and
// right alignment are mirrored, in both directions. Attributes the engine's version lacks read
// as their neutral values and are not written.
class TTovraParaAttributes : public TPersistent {
public:
    static constexpr int kMaxTabs = 32;
    // What Tab answers for an index beyond the last stop slot.
    static constexpr int32_t kNoTab = -999;

    explicit TTovraParaAttributes(TTovraCustomRichEdit* AOwner);

    QString ClassName() const override { return QStringLiteral("TTovraParaAttributes"); }
    // Copies the attributes that are the same over the source's paragraphs.
    void Assign(const TPersistent* Source) override;

    TTovraCustomRichEdit* RichEdit() const { return FRichEdit; }

    // Justified text (which the type cannot name) reads as paLeftJustify.
    TTovraParaAlignment Alignment() const;
    void SetAlignment(TTovraParaAlignment value);
    int32_t FirstIndent() const;
    // The first line never starts left of the text's left edge; the left indent stays.
    void SetFirstIndent(int32_t value);
    int32_t LeftIndent() const;
    // A negative value gives 0; the first line moves with the following lines.
    void SetLeftIndent(int32_t value);
    int32_t RightIndent() const;
    void SetRightIndent(int32_t value);
    int32_t SpaceBefore() const;
    void SetSpaceBefore(int32_t value);
    int32_t SpaceAfter() const;
    void SetSpaceAfter(int32_t value);
    // The spacing value as a length, whatever the rule.
    int32_t LineSpacing() const;
    // Keeps the current rule.
    void SetLineSpacing(int32_t value);
    TTovraLineSpacingRule LineSpacingRule() const;
    // Keeps the current spacing value.
    void SetLineSpacingRule(TTovraLineSpacingRule value);
    TTovraNumbering Numbering() const;
    // Removing the numbering sets the left indent to 0; numbering a paragraph that is indented
    // less than 10 units indents it to 10, so that the bullet or number has room.
    void SetNumbering(TTovraNumbering value);
    int32_t NumberingStart() const;
    void SetNumberingStart(int32_t value);
    TTovraNumberingStyle NumberingStyle() const;
    void SetNumberingStyle(TTovraNumberingStyle value);
    uint16_t NumberingTab() const;
    void SetNumberingTab(uint16_t value);
    int32_t TabCount() const;
    // Keeps the positions of the first value stops; the count is limited to 0 .. 32.
    void SetTabCount(int32_t value);
    // The position of stop Index; kNoTab for an index of 32 or more.
    int32_t Tab(uint8_t Index) const;
    // Sets stop Index (32 or more: nothing) and raises the count to Index + 1 when it is
    // smaller; the stops in between keep what the engine reported. Stops are not sorted.
    void SetTab(uint8_t Index, int32_t value);
    TTovraHeadingStyle HeadingStyle() const;
    void SetHeadingStyle(TTovraHeadingStyle value);
    TTovraParaTableStyle TableStyle() const;
    void SetTableStyle(TTovraParaTableStyle value);

    // Sets the following lines' indent and the first line's indent (relative to it) together.
    void SetParagraphIndent(int32_t Left, int32_t First);
    // Replaces all tab stops by the first 32 of Tabs, in the given order.
    void SetTabs(const std::vector<int32_t>& Tabs);
    // LeftIndent, FirstIndent and RightIndent from one read.
    void GetIndents(int32_t& Left, int32_t& First, int32_t& Right) const;
    // No indents, tab stops, numbering or spacing, single line spacing, left alignment.
    void ClearToDefaults();

private:
    int32_t version() const;
    richedit::PARAFORMAT2 emptyFormat() const;
    // Fills format with the current format (zeros without a window) and answers the mask of
    // attributes that are the same over the paragraphs.
    uint32_t getAttributes(richedit::PARAFORMAT2& format) const;
    richedit::PARAFORMAT2 current() const;
    // The common write step: creates the window when needed, mirrors the alignment in a
    // right-to-left editor (unless the record is a copy of another format) and sends the format.
    void setAttributes(richedit::PARAFORMAT2& format, bool mirror = true);
    void selectionChange();
    int32_t toTwips(int32_t value) const;
    int32_t fromTwips(int32_t twips) const;

    TTovraCustomRichEdit* FRichEdit;
};
