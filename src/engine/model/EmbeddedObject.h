#pragma once

#include <cstdint>
#include <memory>

namespace richedit::model {

// The document's slot for an embedded object: the object character U+FFFC carries a reference
// to one of these. Pictures and other objects derive from it.
class EmbeddedObject {
public:
    virtual ~EmbeddedObject() = default;
    // Whether the object is being edited in a window of its own or in place. Objects kept as
    // data (pictures, the native data of another program's object) never are.
    virtual bool IsOpen() const { return false; }
    virtual bool IsInPlaceActive() const { return false; }
    // Ends editing the object; with save its changes are kept. Nothing to do for kept data.
    virtual void Close(bool save) { (void)save; }
};

using ObjectRef = std::shared_ptr<EmbeddedObject>;

struct ObjectAt {
    int32_t offset = 0; // within the paragraph or fragment
    ObjectRef object;
};

} // namespace richedit::model
