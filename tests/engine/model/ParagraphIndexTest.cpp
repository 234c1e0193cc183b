#include "engine/model/ParagraphIndex.h"

#include <gtest/gtest.h>

#include <random>

using richedit::model::ParagraphIndex;

// The tree must agree with plain prefix sums after any mix of rebuilds and length changes.
TEST(ParagraphIndex, AgreesWithLinearPrefixSums) {
    std::mt19937 rng(7);
    for (int size : {1, 2, 3, 7, 64, 100, 1000}) {
        std::vector<int32_t> lengths(static_cast<size_t>(size));
        for (auto& l : lengths)
            l = int32_t(rng() % 50) + 1;
        ParagraphIndex index;
        index.rebuild(lengths);
        for (int round = 0; round < 200; ++round) {
            const auto i = size_t(rng() % size_t(size));
            const int32_t delta = int32_t(rng() % 20);
            lengths[i] += delta;
            index.add(int32_t(i), delta);
        }
        int64_t sum = 0;
        for (int i = 0; i < size; ++i) {
            ASSERT_EQ(index.prefix(i), sum) << "size " << size << " at " << i;
            // Every position inside paragraph i maps back to i.
            EXPECT_EQ(index.find(sum), i);
            EXPECT_EQ(index.find(sum + lengths[size_t(i)] - 1), i);
            sum += lengths[size_t(i)];
        }
        EXPECT_EQ(index.total(), sum);
        EXPECT_EQ(index.find(sum + 10), size - 1) << "past the end stays in the last paragraph";
    }
}
