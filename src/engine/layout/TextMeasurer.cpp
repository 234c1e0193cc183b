#include "engine/layout/TextMeasurer.h"

#include "engine/model/PictureObject.h"

namespace richedit::layout {

namespace {

// Pictures without a goal size give their size in pixels at 96 per inch.
constexpr qreal kTwipsPerPixel = 15;

ObjectExtent pictureExtent(const model::PictureObject& p) {
    const qreal w = p.goalWidth > 0 ? p.goalWidth : p.width * kTwipsPerPixel;
    const qreal h = p.goalHeight > 0 ? p.goalHeight : p.height * kTwipsPerPixel;
    return {w * p.scaleX / 100.0, h * p.scaleY / 100.0};
}

} // namespace

ObjectExtent TextMeasurer::objectExtent(const model::EmbeddedObject* object) const {
    if (const auto* picture = dynamic_cast<const model::PictureObject*>(object))
        return pictureExtent(*picture);
    if (const auto* ole = dynamic_cast<const model::OleObjectData*>(object)) {
        if (ole->width > 0 && ole->height > 0)
            return {qreal(ole->width), qreal(ole->height)};
        if (ole->result)
            return pictureExtent(*ole->result);
    }
    // An object without a size of its own shows as an icon of a third of an inch.
    return {480, 480};
}

int32_t measuredHeight(const model::CharFormat& format) {
    const int32_t h = std::max(1, format.height);
    if (format.effects & (CFE_SUBSCRIPT | CFE_SUPERSCRIPT))
        return std::max(1, h * 2 / 3);
    return h;
}

qreal baselineRaise(const model::CharFormat& format) {
    qreal raise = format.offset;
    if (format.effects & CFE_SUPERSCRIPT)
        raise += format.height / 3.0;
    else if (format.effects & CFE_SUBSCRIPT)
        raise -= format.height / 6.0;
    return raise;
}

bool showsCapitals(const model::CharFormat& format) {
    return (format.effects & (CFE_ALLCAPS | CFE_SMALLCAPS)) != 0;
}

} // namespace richedit::layout
