#include "engine/result_order.h"

#include <algorithm>
#include <numeric>

#include "engine/text_fold.h"
#include "engine/value.h"

namespace engine {
namespace {

struct KeyValue {
    enum Kind : std::uint8_t { Null, Number, Text } kind = Null;
    double number = 0;
    std::string folded;
};

int compare(const KeyValue& a, const KeyValue& b) {
    if (a.kind != b.kind) return a.kind < b.kind ? -1 : 1;
    if (a.kind == KeyValue::Number) return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    if (a.kind == KeyValue::Text) return a.folded.compare(b.folded) < 0 ? -1 : a.folded == b.folded ? 0 : 1;
    return 0;
}

}  // namespace

void sortRows(RowStore& rows, const std::vector<SortKey>& keys, const CharStepper* chars) {
    if (keys.empty() || rows.rows() < 2) return;
    const std::size_t n = rows.rows();
    const std::size_t k = keys.size();
    std::vector<KeyValue> values(n * k);
    for (std::size_t r = 0; r < n; ++r) {
        for (std::size_t i = 0; i < k; ++i) {
            const Cell& c = rows.cell(r, keys[i].column);
            KeyValue& v = values[r * k + i];
            if (c.isNull()) continue;
            if (auto num = parseNumber(c.view())) {
                v.kind = KeyValue::Number;
                v.number = *num;
            } else {
                v.kind = KeyValue::Text;
                appendFolded(v.folded, c.view(), chars[keys[i].column]);
            }
        }
    }
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        for (std::size_t i = 0; i < k; ++i) {
            int c = compare(values[a * k + i], values[b * k + i]);
            if (keys[i].descending) c = -c;
            if (c != 0) return c < 0;
        }
        return false;
    });
    rows.reorder(order);
}

}  // namespace engine
