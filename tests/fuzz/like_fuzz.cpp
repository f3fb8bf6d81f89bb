// Like patterns: the engine's compiled matcher (its byte-wise path, its
// character path and the byte filter in front of them) against the plain
// reference matcher, over GBK texts and over UTF-8 texts.
//
// Input: PATTERN \0 TEXT \0 CONTROL
//   CONTROL[0] & 1: pattern and text are UTF-8
#include <cstdint>

#include "engine/char_stepper.h"
#include "engine/like_matcher.h"
#include "fuzz_support.h"
#include "reference_like.h"

using namespace fuzzsupport;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto p = parts(data, size, 3);
    const std::string pattern(p[0]);
    const std::string text(p[1]);
    const bool utf8 = !p[2].empty() && (p[2][0] & 1);
    const auto expected = testsupport::referenceLike(pattern, text, utf8);
    const engine::CharStepper chars(utf8 ? engine::CodePage::Utf8 : engine::CodePage::Gbk);
    std::optional<engine::LikeMatcher> matcher;
    try {
        matcher.emplace(pattern, chars);
    } catch (const engine::Error&) {
        check(!expected, "the pattern was refused but the reference takes it");
        return 0;
    }
    check(expected.has_value(), "the pattern was taken but its list is not closed");
    const std::string what = std::string(utf8 ? "UTF-8" : "GBK") + " pattern '" + pattern + "' text '" + text +
                             "': expected " + (*expected ? "a match" : "none");
    check(matcher->matches(text) == *expected, what);
    check(matcher->matches(text, false) == *expected, what + " (character path)");
    if (engine::isAscii(text.data(), text.size())) check(matcher->matches(text, true) == *expected, what + " (byte path)");
    if (*expected) check(matcher->mayMatch(text), what + " (turned down by the byte filter)");
    return 0;
}
