#include "editor/RichEditModule.h"

#include "engine/surface/EngineVersion.h"
#include "engine/surface/RichEditEngine.h"
#include "framework/ClipboardFormats.h"

namespace {

struct ModuleState {
    bool loaded = false;
    int32_t version = -1;
    uint32_t embeddedObject = 0;
    uint32_t linkSource = 0;
    uint32_t rtf = 0;
    uint32_t rtfNoObjects = 0;
};

ModuleState& state() {
    static ModuleState s;
    return s;
}

} // namespace

namespace RichEditModule {

void Init() {
    ModuleState& s = state();
    if (s.loaded)
        return;
    s.loaded = true;
    s.version = -1;
    // The second and later engines share one library; the first is a library of its own.
    if (richedit::engineVersion() >= 2) {
        // Only the third and later engines answer the typography request.
        richedit::RichEditEngine probe;
        s.version = probe.EM_SETTYPOGRAPHYOPTIONS(richedit::TO_SIMPLELINEBREAK,
                                                  richedit::TO_SIMPLELINEBREAK)
                        ? 3
                        : 2;
    } else if (richedit::engineVersion() == 1) {
        s.version = 1;
    }
    s.embeddedObject = ClipboardFormats::RegisterClipboardFormat(QStringLiteral("Embedded Object"));
    s.linkSource = ClipboardFormats::RegisterClipboardFormat(QStringLiteral("Link Source"));
    s.rtf = ClipboardFormats::RegisterClipboardFormat(QStringLiteral("Rich Text Format"));
    s.rtfNoObjects = ClipboardFormats::RegisterClipboardFormat(
        QStringLiteral("Rich Text Format Without Objects"));
    // On the desktop clipboard rich text travels as text/rtf; the other formats are this
    // program's own.
    ClipboardFormats::SetMimeType(s.rtf, QStringLiteral("text/rtf"));
    ClipboardFormats::SetMimeType(s.rtfNoObjects, QStringLiteral("text/rtf"));
    ClipboardFormats::SetMimeType(s.embeddedObject,
                                  QStringLiteral("application/x-quillex-embedded-object"));
    ClipboardFormats::SetMimeType(s.linkSource,
                                  QStringLiteral("application/x-quillex-link-source"));
}

void Reset() {
    state().loaded = false;
}

bool Loaded() {
    return state().loaded;
}

} // namespace RichEditModule

int32_t RichEditVersion() {
    return state().version;
}

uint32_t CF_EMBEDDEDOBJECT() {
    return state().embeddedObject;
}
uint32_t CF_LINKSOURCE() {
    return state().linkSource;
}
uint32_t CF_RTF() {
    return state().rtf;
}
uint32_t CF_RTFNOOBJS() {
    return state().rtfNoObjects;
}
