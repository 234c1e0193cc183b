#include "engine/objects/RichEditOle.h"

#include "engine/model/PictureObject.h"
#include "engine/surface/RichEditEngine.h"

namespace richedit::objects {

namespace {

using model::CharPos;
using model::ParaIndex;

// Calls f(cp, object) for every object in text order until it answers true.
template <typename F> bool forEachObject(const model::Document& doc, F&& f) {
    for (int32_t p = 0; p < doc.paragraphCount(); ++p) {
        const model::Paragraph& para = doc.paragraph(ParaIndex(p));
        const CharPos start = doc.paragraphStart(ParaIndex(p));
        for (const model::ObjectAt& at : para.objects)
            if (at.object && f(start + at.offset, at.object))
                return true;
    }
    return false;
}

int32_t twipsToHundredthMm(int32_t twips) {
    return int32_t(int64_t(twips) * 2540 / 1440);
}

void describe(CharPos cp, const model::ObjectRef& object, uint32_t flags, REOBJECT& out) {
    out.cp = cp.v;
    out.dvaspect = DVASPECT_CONTENT;
    out.dwFlags = 0;
    if (const auto* picture = dynamic_cast<const model::PictureObject*>(object.get())) {
        out.dwFlags |= REO_STATIC;
        out.sizelWidth = twipsToHundredthMm(picture->goalWidth * picture->scaleX / 100);
        out.sizelHeight = twipsToHundredthMm(picture->goalHeight * picture->scaleY / 100);
    } else if (const auto* ole = dynamic_cast<const model::OleObjectData*>(object.get())) {
        out.dwFlags |= REO_RESIZABLE;
        if (ole->kind == "objlink" || ole->kind == "objautlink")
            out.dwFlags |= REO_LINK;
        out.sizelWidth = twipsToHundredthMm(ole->width);
        out.sizelHeight = twipsToHundredthMm(ole->height);
    }
    if (object->IsOpen())
        out.dwFlags |= REO_OPEN;
    if (object->IsInPlaceActive())
        out.dwFlags |= REO_INPLACEACTIVE;
    out.poleobj = (flags & REO_GETOBJ_POLEOBJ) ? object : nullptr;
}

} // namespace

int32_t RichEditOle::GetObjectCount() const {
    int32_t n = 0;
    forEachObject(engine_.document(), [&](CharPos, const model::ObjectRef&) {
        ++n;
        return false;
    });
    return n;
}

HRESULT RichEditOle::GetObject(int32_t index, REOBJECT& object, uint32_t flags) const {
    const model::Document& doc = engine_.document();
    int32_t wantedCp = -1;
    if (index == REO_IOB_SELECTION) {
        const model::Selection sel = engine_.selection();
        if (sel.max() - sel.min() != 1)
            return E_INVALIDARG;
        wantedCp = sel.min().v;
    } else if (index == REO_IOB_USE_CP) {
        wantedCp = object.cp;
    } else if (index < 0) {
        return E_INVALIDARG;
    }
    int32_t n = 0;
    const bool found = forEachObject(doc, [&](CharPos cp, const model::ObjectRef& o) {
        const bool match = wantedCp >= 0 ? cp.v == wantedCp : n == index;
        ++n;
        if (match)
            describe(cp, o, flags, object);
        return match;
    });
    return found ? S_OK : E_INVALIDARG;
}

HRESULT RichEditOle::SetHostNames(const QString& application, const QString& document) {
    application_ = application;
    document_ = document;
    return S_OK;
}

HRESULT RichEditOle::InPlaceDeactivate() {
    forEachObject(engine_.document(), [](CharPos, const model::ObjectRef& o) {
        if (o->IsInPlaceActive())
            o->Close(true);
        return false;
    });
    return S_OK;
}

} // namespace richedit::objects
