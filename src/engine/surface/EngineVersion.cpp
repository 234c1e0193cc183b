#include "engine/surface/EngineVersion.h"

namespace richedit {

namespace {
int g_version = 3;
}

int engineVersion() {
    return g_version;
}

ScopedEngineVersion::ScopedEngineVersion(int version) : previous_(g_version) {
    g_version = version;
}

ScopedEngineVersion::~ScopedEngineVersion() {
    g_version = previous_;
}

} // namespace richedit
