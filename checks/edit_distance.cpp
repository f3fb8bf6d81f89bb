#include "checks/edit_distance.h"

#include <algorithm>
#include <vector>

namespace checks {

std::size_t damerauDistance(std::string_view a, std::string_view b, std::size_t limit) {
    const std::size_t n = a.size(), m = b.size();
    if ((n > m ? n - m : m - n) > limit) return limit + 1;
    // Three rows of the table: two back (for the swap), one back, this one.
    std::vector<std::size_t> before(m + 1), previous(m + 1), current(m + 1);
    for (std::size_t j = 0; j <= m; ++j) previous[j] = j;
    for (std::size_t i = 1; i <= n; ++i) {
        current[0] = i;
        std::size_t rowMinimum = current[0];
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            std::size_t best = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                best = std::min(best, before[j - 2] + 1);
            current[j] = best;
            rowMinimum = std::min(rowMinimum, best);
        }
        if (rowMinimum > limit) return limit + 1;
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return std::min(previous[m], limit + 1);
}

}  // namespace checks
