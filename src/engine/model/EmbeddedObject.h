#pragma once

#include <cstdint>
#include <memory>

namespace richedit::model {

// The document's slot for an embedded object: the object character U+FFFC carries a reference
// to one of these. Pictures and other objects derive from it.
class EmbeddedObject {
public:
    virtual ~EmbeddedObject() = default;
};

using ObjectRef = std::shared_ptr<EmbeddedObject>;

struct ObjectAt {
    int32_t offset = 0; // within the paragraph or fragment
    ObjectRef object;
};

} // namespace richedit::model
