#pragma once

#include "engine/api/RichEditConstants.h"

#include <QHash>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace richedit::model {

// A complete character format: every attribute a run of text can carry. Effects use the
// engine's effect bits (bold, italic, ..., automatic colour, automatic background).
struct CharFormat {
    uint32_t effects = CFE_AUTOCOLOR | CFE_AUTOBACKCOLOR;
    int32_t height = 200; // twips
    int32_t offset = 0;   // twips, positive raises
    COLORREF textColor = 0;
    uint8_t charSet = 1; // default character set
    uint8_t pitchAndFamily = 0;
    QString face = QStringLiteral("Arial");
    uint16_t weight = 400;
    int16_t spacing = 0;
    COLORREF backColor = 0;
    uint32_t lcid = 0;
    int16_t style = 0;
    uint16_t kerning = 0;
    uint8_t underlineType = 0;
    uint8_t animation = 0;
    uint8_t revAuthor = 0;
    int16_t charScaleX = 100; // horizontal scaling in per cent, kept from documents
    QString linkTarget;       // where a link leads (the text of a HYPERLINK field's target)
    bool autoLink = false;    // the link effect comes from automatic URL detection

    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

inline size_t qHash(const CharFormat& f, size_t seed = 0) {
    return qHashMulti(seed, f.effects, f.height, f.offset, f.textColor, f.charSet, f.pitchAndFamily,
                      f.face, f.weight, f.spacing, f.backColor, f.lcid, f.style, f.kerning,
                      f.underlineType, f.animation, f.revAuthor, f.autoLink);
}

} // namespace richedit::model
