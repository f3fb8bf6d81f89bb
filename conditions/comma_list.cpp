#include "conditions/comma_list.h"

namespace conditions {

namespace {

bool isBlank(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

}  // namespace

std::vector<std::string> SplitCommaList(const std::string& text) {
    std::vector<std::string> items;
    const std::size_t end = text.size();
    std::size_t pos = 0;
    auto skipBlanks = [&] {
        while (pos < end && isBlank(text[pos])) ++pos;
    };

    skipBlanks();
    while (pos < end) {
        std::string item;
        if (text[pos] == '"') {
            // Quoted item: "" is one quote; an unclosed quote takes the rest
            // of the text, its last character included.
            ++pos;
            while (pos < end) {
                if (text[pos] == '"') {
                    if (pos + 1 < end && text[pos + 1] == '"') {
                        item += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;  // the closing quote
                    break;
                }
                item += text[pos++];
            }
        } else {
            const std::size_t start = pos;
            while (pos < end && text[pos] != ',' && !isBlank(text[pos])) ++pos;
            item.assign(text, start, pos - start);
        }
        items.push_back(std::move(item));

        skipBlanks();
        if (pos < end && text[pos] == ',') {
            if (pos + 1 == end) items.emplace_back();  // a trailing comma ends an empty item
            ++pos;
            skipBlanks();
        }
    }
    return items;
}

}  // namespace conditions
