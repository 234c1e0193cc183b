#pragma once

namespace richedit {

// The engine answers as version 3. Tests may make new engine instances behave as the older
// versions 1 and 2 did, so that callers' version-dependent paths can be exercised.
int engineVersion();

class ScopedEngineVersion {
public:
    explicit ScopedEngineVersion(int version);
    ~ScopedEngineVersion();
    ScopedEngineVersion(const ScopedEngineVersion&) = delete;
    ScopedEngineVersion& operator=(const ScopedEngineVersion&) = delete;

private:
    int previous_;
};

} // namespace richedit
