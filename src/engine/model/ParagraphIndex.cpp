#include "engine/model/ParagraphIndex.h"

namespace richedit::model {

void ParagraphIndex::rebuild(const std::vector<int32_t>& lengths) {
    const size_t n = lengths.size();
    tree_.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        tree_[i] += lengths[i];
        const size_t parent = i | (i + 1);
        if (parent < n)
            tree_[parent] += tree_[i];
    }
    topBit_ = 1;
    while (size_t(topBit_) * 2 <= n)
        topBit_ *= 2;
}

void ParagraphIndex::add(int32_t index, int32_t delta) {
    for (size_t i = size_t(index); i < tree_.size(); i |= i + 1)
        tree_[i] += delta;
}

int64_t ParagraphIndex::prefix(int32_t index) const {
    int64_t sum = 0;
    for (int32_t i = index - 1; i >= 0; i = (i & (i + 1)) - 1)
        sum += tree_[size_t(i)];
    return sum;
}

int32_t ParagraphIndex::find(int64_t pos) const {
    // Descend the implicit tree: find the largest count of leading paragraphs whose total
    // length is <= pos.
    int32_t idx = 0; // number of paragraphs consumed
    int64_t remaining = pos;
    const int32_t n = count();
    for (int32_t step = topBit_; step > 0; step >>= 1) {
        const int32_t next = idx + step;
        if (next <= n && tree_[size_t(next - 1)] <= remaining) {
            idx = next;
            remaining -= tree_[size_t(next - 1)];
        }
    }
    return idx < n ? idx : n - 1;
}

} // namespace richedit::model
