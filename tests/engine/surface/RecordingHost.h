#pragma once

#include "engine/surface/RichEditHost.h"

#include <vector>

// A host that records what the engine tells it and answers EN_PROTECTED as told.
struct RecordingHost : richedit::RichEditHost {
    std::vector<uint32_t> codes;
    std::vector<richedit::SELCHANGE> selChanges;
    std::vector<richedit::ENPROTECTED> protectedAsks;
    bool refuseProtected = false;

    intptr_t Notify(richedit::NMHDR& h) override {
        codes.push_back(h.code);
        if (h.code == richedit::EN_SELCHANGE)
            selChanges.push_back(reinterpret_cast<richedit::SELCHANGE&>(h));
        if (h.code == richedit::EN_PROTECTED) {
            protectedAsks.push_back(reinterpret_cast<richedit::ENPROTECTED&>(h));
            return refuseProtected ? 1 : 0;
        }
        return 0;
    }
    size_t count(uint32_t code) const {
        return size_t(std::count(codes.begin(), codes.end(), code));
    }
    void reset() {
        codes.clear();
        selChanges.clear();
        protectedAsks.clear();
    }
};
