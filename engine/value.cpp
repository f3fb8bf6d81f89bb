#include "engine/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace engine {

std::string formatNumber(double x) {
    if (std::isfinite(x) && std::floor(x) == x && std::fabs(x) < 1e18) {
        char buf[32];
        auto res = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(x));
        return std::string(buf, res.ptr);
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", x);
    return buf;
}

std::optional<double> parseNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    if (text.front() == '+') text.remove_prefix(1);
    double x = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), x);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
    return x;
}

std::optional<double> numericValue(const Value& v) {
    if (v.isNumber()) return v.number;
    if (v.isText()) return parseNumber(v.view());
    return std::nullopt;
}

}  // namespace engine
