#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace richedit::model {

// Paragraph lengths in a Fenwick tree: the start of a paragraph and the paragraph holding a
// position are found in logarithmic time, and a length change costs logarithmic time too.
// Adding or removing paragraphs rebuilds the tree in linear time.
class ParagraphIndex {
public:
    void rebuild(const std::vector<int32_t>& lengths);
    void add(int32_t index, int32_t delta);
    // Sum of the lengths of paragraphs [0, index).
    int64_t prefix(int32_t index) const;
    // The paragraph containing position pos: the largest index with prefix(index) <= pos,
    // limited to the last paragraph.
    int32_t find(int64_t pos) const;
    int32_t count() const { return int32_t(tree_.size()); }
    int64_t total() const { return prefix(count()); }

private:
    std::vector<int64_t> tree_; // 1-based Fenwick tree stored from index 0
    int32_t topBit_ = 0;
};

} // namespace richedit::model
