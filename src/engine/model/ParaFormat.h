#pragma once

#include "engine/api/RichEditConstants.h"

#include <QHash>

#include <array>
#include <cstddef>
#include <cstdint>

namespace richedit::model {

// A complete paragraph format. Tab entries keep their alignment and leader in the high bits.
struct ParaFormat {
    uint16_t numbering = 0;
    uint16_t effects = 0;
    int32_t startIndent = 0; // twips, of the first line
    int32_t rightIndent = 0;
    int32_t offset = 0; // twips, of the following lines relative to the first
    uint16_t alignment = PFA_LEFT;
    int16_t tabCount = 0;
    std::array<int32_t, MAX_TAB_STOPS> tabs{};
    int32_t spaceBefore = 0;
    int32_t spaceAfter = 0;
    int32_t lineSpacing = 0;
    int16_t style = 0;
    uint8_t lineSpacingRule = 0;
    uint8_t outlineLevel = 0;
    uint16_t shadingWeight = 0;
    uint16_t shadingStyle = 0;
    uint16_t numberingStart = 0;
    uint16_t numberingStyle = 0;
    uint16_t numberingTab = 0;
    uint16_t borderSpace = 0;
    uint16_t borderWidth = 0;
    uint16_t borders = 0;

    friend bool operator==(const ParaFormat&, const ParaFormat&) = default;
};

inline size_t qHash(const ParaFormat& f, size_t seed = 0) {
    size_t h = qHashMulti(seed, f.numbering, f.effects, f.startIndent, f.rightIndent, f.offset,
                          f.alignment, f.tabCount, f.spaceBefore, f.spaceAfter, f.lineSpacing,
                          f.style, f.lineSpacingRule, f.outlineLevel, f.shadingWeight);
    h = qHashMulti(h, f.shadingStyle, f.numberingStart, f.numberingStyle, f.numberingTab,
                   f.borderSpace, f.borderWidth, f.borders);
    for (int i = 0; i < f.tabCount && i < MAX_TAB_STOPS; ++i)
        h = qHashMulti(h, f.tabs[size_t(i)]);
    return h;
}

} // namespace richedit::model
