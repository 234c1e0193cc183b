#pragma once

#include "engine/layout/TextMeasurer.h"

#include <QFont>
#include <QHash>
#include <QRawFont>

#include <vector>

namespace richedit::layout {

// Measures with Qt's raw fonts, unhinted and with design metrics. Fonts are read at their own
// design size (one pixel per font unit) and scaled to the height in twips, so measures are
// exactly proportional to the height and no screen or printer resolution takes part.
// The font a character format is drawn and measured with, at a pixel size: unhinted, outlines
// only, no kerning, so that its advances scale exactly with its size.
QFont layoutFont(const model::CharFormat& format, int pixelSize);

class QtTextMeasurer final : public TextMeasurer {
public:
    FontExtents extents(const model::CharFormat& format) override;
    void advances(const model::CharFormat& format, QStringView text,
                  std::vector<qreal>& out) override;

    // The font a format is measured with, at its design size (shared with painting).
    QRawFont designFont(const model::CharFormat& format);

private:
    // A font with the advances of the glyphs measured so far (design units; < 0 not yet).
    struct DesignFont {
        QRawFont raw;
        std::vector<float> advance;
    };
    DesignFont& entry(const model::CharFormat& format);

    QHash<QString, DesignFont> fonts_;
};

} // namespace richedit::layout
