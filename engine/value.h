// The value an expression gives for one row: null, a text (bytes in the
// connection's code page, viewed, not owned) or a number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

struct Value {
    enum class Kind : std::uint8_t { Null, Text, Number };

    Kind kind = Kind::Null;
    double number = 0;
    const char* data = nullptr;
    std::uint32_t size = 0;

    static Value null() { return {}; }
    static Value text(const char* p, std::size_t n) {
        Value v;
        v.kind = Kind::Text;
        v.data = p;
        v.size = static_cast<std::uint32_t>(n);
        return v;
    }
    static Value text(std::string_view s) { return text(s.data(), s.size()); }
    static Value fromNumber(double x) {
        Value v;
        v.kind = Kind::Number;
        v.number = x;
        return v;
    }

    bool isNull() const { return kind == Kind::Null; }
    bool isText() const { return kind == Kind::Text; }
    bool isNumber() const { return kind == Kind::Number; }
    std::string_view view() const { return {data, size}; }
};

// A number written the way results show it: whole numbers without a
// fraction, others with up to 15 significant digits.
std::string formatNumber(double x);

// The number a text spells (blanks around it allowed), or nullopt.
std::optional<double> parseNumber(std::string_view text);

// The value as a number: numbers as they are, texts that spell a number
// converted, anything else nullopt.
std::optional<double> numericValue(const Value& v);

}  // namespace engine
