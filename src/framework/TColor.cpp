#include "framework/TColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

// The palette the system colours come from. Without a running application Qt's default light
// palette stands in.
QPalette currentPalette() {
    if (qGuiApp)
        return QGuiApplication::palette();
    return QPalette(QColor(0xF0, 0xF0, 0xF0), QColor(0xFF, 0xFF, 0xFF));
}

// Where each system colour lives in a Qt palette: the role and the colour group.
struct PaletteSlot {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

PaletteSlot slotOf(uint8_t index) {
    using P = QPalette;
    switch (index) {
    case 0: // scroll bar
        return {P::Active, P::Mid};
    case 1: // desktop
        return {P::Active, P::Dark};
    case 2: // active caption
    case 27:
        return {P::Active, P::Highlight};
    case 3: // inactive caption
    case 28:
        return {P::Inactive, P::Mid};
    case 4:  // menu
    case 30: // menu bar
        return {P::Active, P::Window};
    case 5: // window background
        return {P::Active, P::Base};
    case 6: // window frame
        return {P::Active, P::Shadow};
    case 7: // menu text
        return {P::Active, P::WindowText};
    case 8: // window text
        return {P::Active, P::Text};
    case 9: // caption text
        return {P::Active, P::HighlightedText};
    case 10: // active border
    case 11: // inactive border
        return {P::Active, P::Button};
    case 12: // application work space
        return {P::Active, P::Mid};
    case 13: // selection
    case 29: // menu selection
        return {P::Active, P::Highlight};
    case 14: // selected text
        return {P::Active, P::HighlightedText};
    case 15: // button face
        return {P::Active, P::Button};
    case 16: // button shadow
        return {P::Active, P::Dark};
    case 17: // grey (disabled) text
        return {P::Disabled, P::Text};
    case 18: // button text
        return {P::Active, P::ButtonText};
    case 19: // inactive caption text
        return {P::Inactive, P::WindowText};
    case 20: // button highlight
        return {P::Active, P::Light};
    case 21: // dark 3-D shadow
        return {P::Active, P::Shadow};
    case 22: // 3-D light
        return {P::Active, P::Midlight};
    case 23: // tooltip text
        return {P::Active, P::ToolTipText};
    case 24: // tooltip background
        return {P::Active, P::ToolTipBase};
    case 26: // hot-tracked item (links)
        return {P::Active, P::Link};
    default:
        return {P::Active, P::WindowText};
    }
}

} // namespace

TColor ColorToRGB(TColor color) {
    if (!IsSystemColor(color))
        return color;
    const PaletteSlot slot = slotOf(uint8_t(uint32_t(color) & 0xFF));
    return QColorToColor(currentPalette().color(slot.group, slot.role));
}

QColor ColorToQColor(TColor color) {
    if (color == clNone || color == clDefault)
        return QColor();
    const uint32_t rgb = uint32_t(ColorToRGB(color));
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

TColor QColorToColor(const QColor& color) {
    const QColor c = color.toRgb();
    return RGBColor(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}
