#include <gtest/gtest.h>

#include "common/utf8.h"

using namespace caldrift;

TEST(Utf16, EveryNameComesBackExactlyUnpairedSurrogatesToo) {
    struct Case {
        std::u16string utf16;
        std::string utf8;
    };
    const Case cases[] = {
        {u"caff\u00e8.mp3", "caff\xC3\xA8.mp3"},
        {u"\U0001F600.jpg", "\xF0\x9F\x98\x80.jpg"},
        {std::u16string{u'a', 0xD800, u'b'},
         "a\xED\xA0\x80"
         "b"},
        {std::u16string{0xDC00}, "\xED\xB0\x80"},
        {std::u16string{0xDE00, 0xD83D}, "\xED\xB8\x80\xED\xA0\xBD"},  // a pair the wrong way round
        {u"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8::fromUtf16(c.utf16), c.utf8);
        EXPECT_EQ(utf8::toUtf16(c.utf8), c.utf16);
    }
}

TEST(Utf16, BytesThatAreNotUtf8ReadAsReplacementCharacters) {
    EXPECT_EQ(utf8::toUtf16("a\xFF"
                            "b"),
              u"a\uFFFDb");
    EXPECT_EQ(utf8::toUtf16("\xC0\x80"), u"\uFFFD\uFFFD");                      // overlong
    EXPECT_EQ(utf8::toUtf16("\xE2\x82"), u"\uFFFD\uFFFD");                      // cut short
    EXPECT_EQ(utf8::toUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // beyond U+10FFFF
}
