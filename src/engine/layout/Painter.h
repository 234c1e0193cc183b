#pragma once

#include "engine/layout/DocumentLayout.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPointF>
#include <QRawFont>
#include <QRectF>

#include <memory>

class QPainter;

namespace richedit::layout {

// The Qt colour of a 0x00BBGGRR colour value.
inline QColor colorOf(COLORREF c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// How a stretch of a layout is put on a device.
struct PaintOptions {
    // Device units per twip: the device's dots per inch / 1440, times the zoom.
    qreal scale = 96.0 / 1440.0;
    // The layout point that lands on the device point `origin`.
    TwipsPoint from{};
    QPointF origin;
    // Device rectangle to draw in; an empty one means everything from `from` down.
    QRectF clip;
    // Only lines starting in [firstChar, endChar) are drawn (endChar < 0: to the end).
    model::CharPos firstChar{0};
    model::CharPos endChar{-1};
    // Selected characters are drawn highlighted.
    model::CharPos selectionStart{0};
    model::CharPos selectionEnd{0};
    QColor textColor = Qt::black; // automatic text colour
    QColor selectionBack = QColor(0x33, 0x66, 0xCC);
    QColor selectionText = Qt::white;
};

// Draws a laid-out document into any QPainter (widget, image, PDF, printer). Text goes at the
// positions the layout computed, in fonts scaled from twips without hinting, so that what is
// drawn matches the layout on every device. Only the lines inside the clip are visited.
class Painter {
public:
    Painter(const model::Document& doc, const DocumentLayout& layout)
        : doc_(doc), layout_(layout) {}

    void paint(QPainter& painter, const PaintOptions& options);

private:
    void paintLine(QPainter& painter, const PaintOptions& o, model::ParaIndex p,
                   const ParagraphLayout& pl, const LineBox& line, qreal paraTop);
    QRawFont rawFont(const model::CharFormat& format, qreal pixels);

    const model::Document& doc_;
    const DocumentLayout& layout_;
    QHash<QString, QRawFont> fonts_;
    // Decoded pictures; an entry counts only while its object lives (an address may be reused).
    struct Picture {
        std::weak_ptr<model::EmbeddedObject> object;
        QImage image;
    };
    QHash<const void*, Picture> pictures_;
};

} // namespace richedit::layout
