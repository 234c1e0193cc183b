#pragma once

#include "engine/api/RichEditConstants.h"
#include "engine/model/EmbeddedObject.h"

#include <QString>
#include <QUuid>

#include <cstdint>
#include <memory>

namespace richedit {
class RichEditEngine;
}

namespace richedit::objects {

// What the engine tells of one embedded object.
struct REOBJECT {
    uint32_t cbStruct = 56;
    int32_t cp = 0;           // the object's character position
    QUuid clsid;              // its class, when it names one
    model::ObjectRef poleobj; // the object itself (with REO_GETOBJ_POLEOBJ)
    uint32_t dvaspect = DVASPECT_CONTENT;
    uint32_t dwFlags = 0;
    uint32_t dwUser = 0;
    int32_t sizelWidth = 0; // its size in hundredths of a millimetre
    int32_t sizelHeight = 0;
};

// The engine's interface to the embedded objects of its document: how many there are, each
// one's place, kind and state, the names objects show for their container, and in-place
// activation.
class RichEditOle {
public:
    explicit RichEditOle(const RichEditEngine& engine) : engine_(engine) {}

    int32_t GetObjectCount() const;
    // Object number index (from 0, in text order), or REO_IOB_SELECTION for the object that is
    // the whole selection, or REO_IOB_USE_CP for the object at object.cp. flags choose which
    // interfaces come with it. E_INVALIDARG when there is no such object.
    HRESULT GetObject(int32_t index, REOBJECT& object, uint32_t flags) const;
    // The application and document names objects show when they are opened.
    HRESULT SetHostNames(const QString& application, const QString& document);
    const QString& HostApplication() const { return application_; }
    const QString& HostDocument() const { return document_; }
    // Ends in-place activation of the active object, if one is.
    HRESULT InPlaceDeactivate();

private:
    const RichEditEngine& engine_;
    QString application_;
    QString document_;
};

} // namespace richedit::objects
