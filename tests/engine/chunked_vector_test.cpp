// The block list behind the distinct values' per-row lists: rows of several
// entries stay whole and in place across block boundaries.
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/chunked_vector.h"

namespace {

using engine::ChunkedVector;

TEST(ChunkedVector, RowsKeepTheirEntriesAcrossBlocks) {
    for (std::size_t width : {std::size_t{1}, std::size_t{3}}) {
        ChunkedVector<std::uint64_t> v(width);
        const std::size_t rows = 3 * ChunkedVector<std::uint64_t>::kRowsPerBlock + 5;
        std::vector<const std::uint64_t*> where;
        for (std::size_t r = 0; r < rows; ++r) {
            std::uint64_t* row = v.appendRow();
            for (std::size_t i = 0; i < width; ++i) row[i] = r * 10 + i;
            if (r % 9973 == 0) where.push_back(row);
        }
        ASSERT_EQ(v.size(), rows);
        for (std::size_t r = 0; r < rows; ++r)
            for (std::size_t i = 0; i < width; ++i) ASSERT_EQ(v.row(r)[i], r * 10 + i) << "width " << width;
        // Growing moved nothing.
        for (std::size_t k = 0; k < where.size(); ++k) EXPECT_EQ(where[k], v.row(k * 9973));
    }
}

TEST(ChunkedVector, MovedListsHandOverTheirRows) {
    ChunkedVector<std::uint64_t> a;
    for (std::uint64_t i = 0; i < 70000; ++i) a.push_back(i * i);
    ChunkedVector<std::uint64_t> b(std::move(a));
    EXPECT_TRUE(a.empty());
    ASSERT_EQ(b.size(), 70000u);
    EXPECT_EQ(b[69999], 69999ull * 69999ull);
    ChunkedVector<std::uint64_t> c(2);
    c = std::move(b);
    ASSERT_EQ(c.size(), 70000u);
    EXPECT_EQ(c[65536], 65536ull * 65536ull);
    c[3] += 1;
    EXPECT_EQ(c[3], 10u);
}

}  // namespace
