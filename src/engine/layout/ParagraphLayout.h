#pragma once

#include "engine/layout/TextMeasurer.h"
#include "engine/model/Document.h"

#include <QString>

#include <vector>

namespace richedit::layout {

using model::Twips;

// A point in a layout, twips from its top left.
struct TwipsPoint {
    Twips x;
    Twips y;
    friend bool operator==(const TwipsPoint&, const TwipsPoint&) = default;
};

// The leaders a tab stop may carry, as a tab entry keeps them in its top four bits.
enum TabLeader : uint8_t {
    LeaderNone = 0,
    LeaderDots = 1,
    LeaderDashes = 2,
    LeaderLine = 3,
    LeaderThick = 4,
    LeaderEquals = 5
};

// One line of a laid-out paragraph.
struct LineBox {
    int32_t start = 0;  // offset of its first character in the paragraph
    int32_t length = 0; // characters, a closing U+000B or paragraph mark included
    Twips top;          // from the paragraph's top
    Twips height;
    Twips baseline;           // from the line's top
    Twips left;               // x of the first character
    Twips right;              // x after the last character that is not trailing white space
    Twips penEnd;             // x after the last character, trailing white space included
    bool forcedBreak = false; // ended by U+000B
    bool lastLine = false;    // holds the paragraph mark

    int32_t end() const { return start + length; }
};

// What a paragraph is laid out from.
struct ParagraphSource {
    const model::Paragraph* paragraph = nullptr;
    const model::FormatTable<model::CharFormat>* charFormats = nullptr;
    const model::ParaFormat* format = nullptr;
    QString numberText; // shown in the hanging indent of the first line; empty for none
};

// A paragraph broken into lines at a width, everything in twips: positions of every character,
// line heights and baselines, and the number or bullet before the first line.
class ParagraphLayout {
public:
    static ParagraphLayout build(const ParagraphSource& source, Twips width,
                                 TextMeasurer& measurer);

    const std::vector<LineBox>& lines() const { return lines_; }
    int32_t lineCount() const { return int32_t(lines_.size()); }
    const LineBox& line(int32_t i) const { return lines_[size_t(i)]; }
    // Height with the space before and after.
    Twips height() const { return height_; }
    Twips width() const { return width_; }
    int32_t length() const { return int32_t(x_.size()); }

    // The line holding the character at offset (a character at a wrap starts the next line).
    int32_t lineOfOffset(int32_t offset) const;
    // Left edge of the character at offset, on its line.
    Twips xOfOffset(int32_t offset) const;
    // Top left of the character at offset, from the paragraph's top left.
    TwipsPoint positionOf(int32_t offset) const;
    // The offset nearest to a point (the paragraph mark and a closing U+000B are not chosen
    // unless the line holds nothing else).
    int32_t offsetAt(TwipsPoint point) const;
    int32_t offsetInLine(int32_t line, Twips x) const;

    const QString& numberText() const { return numberText_; }
    Twips numberX() const { return numberX_; }

    // The leader of the stop the tab at offset went to: none for a default stop, for the
    // hanging indent and for any character that is not a tab.
    TabLeader tabLeader(int32_t offset) const;

private:
    struct LeaderAt {
        int32_t offset;
        TabLeader leader;
    };

    std::vector<LineBox> lines_;
    std::vector<LeaderAt> leaders_; // tabs with a leader, by offset
    std::vector<int32_t> x_;        // left edge of each character, twips
    Twips height_;
    Twips width_;
    QString numberText_;
    Twips numberX_;
};

} // namespace richedit::layout
