#include "media/base/Utf16.hpp"

#include <gtest/gtest.h>

#include <string>

// What Windows hands over in UTF-16 (a command line, a folder's path) reaches the program as
// the UTF-8 it keeps every path in.
TEST(Utf16Test, ConvertsEveryLengthOfCharacterAndReplacesLoneSurrogates) {
    struct Case {
        const char* what;
        std::u16string in;
        std::string out;
    };
    const Case cases[] = {
        {"empty", u"", ""},
        {"ASCII", u"C:\\Users\\ann\\Pictures", "C:\\Users\\ann\\Pictures"},
        {"two bytes", u"Bilder \u00e4\u00df", "Bilder \xc3\xa4\xc3\x9f"},
        {"three bytes", u"\u753b\u50cf", "\xe7\x94\xbb\xe5\x83\x8f"},
        {"last of two bytes, first of three", u"\u07ff\u0800", "\xdf\xbf\xe0\xa0\x80"},
        {"a pair (four bytes)", u"\U0001F388.json", "\xf0\x9f\x8e\x88.json"},
        {"highest code point", u"\U0010FFFF", "\xf4\x8f\xbf\xbf"},
        {"a high surrogate alone, at the end", std::u16string(u"a") + char16_t(0xD83C),
         "a\xef\xbf\xbd"},
        {"a high surrogate followed by a letter", std::u16string{char16_t(0xD83C), u'b'},
         "\xef\xbf\xbd"
         "b"},
        {"a low surrogate first", std::u16string{char16_t(0xDF88), char16_t(0xD83C)},
         "\xef\xbf\xbd\xef\xbf\xbd"},
        {"NUL inside", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf16::ToUtf8(c.in), c.out) << c.what;
    }
}
