// The Damerau distance between two names (optimal string alignment: an
// insertion, a deletion, a changed character or two neighbours swapped count
// one each), byte by byte: the names compared are ASCII.
#pragma once

#include <cstddef>
#include <string_view>

namespace checks {

// The distance, or limit + 1 when it is larger than limit (the comparison
// stops as soon as no alignment can stay within it).
std::size_t damerauDistance(std::string_view a, std::string_view b, std::size_t limit);

}  // namespace checks
