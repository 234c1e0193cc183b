#pragma once

#include "engine/model/EmbeddedObject.h"

#include <QByteArray>

namespace richedit::model {

enum class PictureFormat { Png, Jpeg, Emf, Wmf, Dib, DeviceBitmap, Unknown };

// A picture in the document: its bytes as they came (so formats that cannot be drawn here are
// written back unchanged), its own size and the size it is shown at.
class PictureObject : public EmbeddedObject {
public:
    PictureFormat format = PictureFormat::Unknown;
    QByteArray data;         // the picture's bytes, decoded from hex or binary
    int32_t width = 0;       // its own width: pixels, or 0.01 mm for metafiles
    int32_t height = 0;
    int32_t goalWidth = 0;   // twips; 0 when not given
    int32_t goalHeight = 0;
    int32_t scaleX = 100;    // per cent
    int32_t scaleY = 100;
    int32_t metafileMapping = 8; // mapping mode of a Windows metafile
    int32_t bitsPerPixel = 0;    // device-dependent bitmaps only
    int32_t planes = 0;
    int32_t widthBytes = 0;
};

// An embedded object from another program: its class, its native data and the picture that
// shows it, kept so that the document writes back with the object intact.
class OleObjectData : public EmbeddedObject {
public:
    QByteArray kind = "objemb"; // objemb, objlink, objautlink, objsub, objpub, objicemb, objhtml, objocx
    QByteArray className;
    QByteArray name;
    QByteArray data; // decoded bytes of the object's native data
    int32_t width = 0; // twips
    int32_t height = 0;
    std::shared_ptr<PictureObject> result; // the object's last picture, when it has one
};

} // namespace richedit::model
