#pragma once

#include <QPaintDevice>
#include <QPainter>

namespace richedit {

// Where the engine draws formatted pages, or the device it formats for: a paint device (a
// widget, an image, a PDF writer, a printer) and, when drawing, the painter already open on it.
// The resolution comes from the device itself.
class DeviceContext {
public:
    explicit DeviceContext(QPaintDevice& device) : device_(&device) {}
    explicit DeviceContext(QPainter& painter) : device_(painter.device()), painter_(&painter) {}

    QPaintDevice* device() const { return device_; }
    QPainter* painter() const { return painter_; }
    int dpiX() const { return device_ ? device_->logicalDpiX() : 96; }
    int dpiY() const { return device_ ? device_->logicalDpiY() : 96; }

private:
    QPaintDevice* device_ = nullptr;
    QPainter* painter_ = nullptr;
};

} // namespace richedit
