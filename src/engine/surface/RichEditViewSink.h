#pragma once

namespace richedit {

// What the window that shows an engine hears from it, so that it repaints and moves its scroll
// bars. The calls come after the engine is consistent again.
class RichEditViewSink {
public:
    virtual ~RichEditViewSink() = default;
    // Text, formats, the wrap width or the zoom changed: anything shown may have moved.
    virtual void engineContentChanged() = 0;
    // The selection or the caret moved.
    virtual void engineSelectionChanged() = 0;
    // The scroll position changed.
    virtual void engineScrolled() = 0;
};

} // namespace richedit
