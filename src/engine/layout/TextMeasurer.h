#pragma once

#include "engine/model/CharFormat.h"
#include "engine/model/EmbeddedObject.h"

#include <QStringView>

#include <vector>

namespace richedit::layout {

// Vertical extents of a font, in twips.
struct FontExtents {
    qreal ascent = 0;
    qreal descent = 0;
    qreal lineGap = 0;
};

// The size an embedded object takes in the text, in twips.
struct ObjectExtent {
    qreal width = 0;
    qreal height = 0;
};

// The layout's only view of fonts: measures text of a character format in twips. An
// implementation must not depend on any device's resolution, so that a paragraph breaks into
// the same lines on every device.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;

    // Extents of the font the format's text is measured with (already reduced for sub- and
    // superscript; the baseline shift is baselineRaise()).
    virtual FontExtents extents(const model::CharFormat& format) = 0;

    // Appends one advance per UTF-16 unit of text: the second unit of a surrogate pair gets 0.
    // Hidden text gets 0; the format's spacing is included.
    virtual void advances(const model::CharFormat& format, QStringView text,
                          std::vector<qreal>& out) = 0;

    // The size of an object in the text: a picture at its goal size scaled by its scale factors.
    virtual ObjectExtent objectExtent(const model::EmbeddedObject* object) const;
};

// The height text of this format is measured at: sub- and superscript are two thirds high.
int32_t measuredHeight(const model::CharFormat& format);
// How far the format's baseline sits above the line's baseline (offset, superscript), twips.
qreal baselineRaise(const model::CharFormat& format);
// Whether the format's text is measured and drawn in capitals.
bool showsCapitals(const model::CharFormat& format);
// Small capitals: lower-case letters are shown as capitals this much smaller.
constexpr qreal kSmallCapitalScale = 0.8;

} // namespace richedit::layout
