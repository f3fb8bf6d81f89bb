// The word-wise single-byte test answers as the byte-by-byte one, for every
// length and every place of a byte of 0x80 or above.
#include <gtest/gtest.h>

#include "engine/char_stepper.h"

TEST(IsAscii, WordsGiveWhatBytesGive) {
    for (std::size_t n = 0; n <= 40; ++n) {
        const std::string plain(n, 'a');
        EXPECT_TRUE(engine::isAscii(plain.data(), n)) << n;
        EXPECT_EQ(engine::isAscii(plain.data(), n), engine::isAsciiPlain(plain.data(), n)) << n;
        for (std::size_t at = 0; at < n; ++at) {
            for (const char high : {'\x80', '\xFF', '\xA2'}) {
                std::string text = plain;
                text[at] = high;
                EXPECT_FALSE(engine::isAscii(text.data(), n)) << n << " " << at;
                EXPECT_EQ(engine::isAscii(text.data(), n), engine::isAsciiPlain(text.data(), n)) << n << " " << at;
            }
        }
    }
    // Bytes beyond the text are not looked at.
    const char bytes[] = "ab\xFF";
    EXPECT_TRUE(engine::isAscii(bytes, 2));
}
