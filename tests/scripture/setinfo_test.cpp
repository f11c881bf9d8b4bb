// setinfo_test.cpp - a set's short name as stored, and the name made from its description.
#include <gtest/gtest.h>

#include "CodePage.h"
#include "SetInfo.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

TEST(SetInfo, FirstWordsOfADescription) {
    const struct {
        const char16_t* description;
        const char16_t* expected;
    } cases[] = {
        {u"성경전서 개역한글판 (1961) · 대한성서공회", u"성경전서 개역한글판"},
        {u"King James Version (1769)", u"King James"},
        {u"abcdefgh ijklmno and more", u"abcdefgh ijklmno"},  // 16
        {u"abcdefgh ijklmnop", u"abcdefgh"},                  // 17
        {u"abcdefghijklmnopq rest", u"abcdefghijklmnop"},     // one word of 17, cut
        {u"  a\u3000\u3000 b  ", u"a b"},
        {u"😀😀😀😀😀😀😀😀 😀😀😀😀😀😀😀", u"😀😀😀😀😀😀😀😀 😀😀😀😀😀😀😀"},
        {u"😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀", u"😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀"},
        {u" \u3000 ", u""},
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf16ToUtf8(FirstWords(c.description)), Utf16ToUtf8(c.expected));
}

// The record as a builder may have left it; the name shown with and without it.
TEST(SetInfo, ShortNameReadBesideTheDescription) {
    const std::u16string hangul16(16, u'가');
    const struct {
        const char* name;  // UTF-8; null: no record
        const char* description;
        const char16_t* shortName;
        const char16_t* shown;
    } cases[] = {
        {"개역한글", "성경전서 개역한글판 (1961)", u"개역한글", u"개역한글"},
        {"KJV", nullptr, u"KJV", u"KJV"},
        {nullptr, "성경전서 개역한글판 (1961)", u"", u"성경전서 개역한글판"},
        {nullptr, nullptr, u"", u""},
        {"abcdefghijklmnop", nullptr, u"abcdefghijklmnop", u"abcdefghijklmnop"},
        {"abcdefghijklmnopq", nullptr, u"abcdefghijklmnop", u"abcdefghijklmnop"},
        {"가가가가가가가가가가가가가가가가가", nullptr, hangul16.c_str(), hangul16.c_str()},
        {"a\tb", "World English Bible", u"", u"World English"},
        {"", "World English Bible", u"", u"World English"},
    };
    for (const auto& c : cases) {
        test::CStoreFixture fx;
        fx.AddSampleSet();
        if (c.name)
            fx.PutText(kKeyOldFile, std::string(kShortNameKey), EncodeAnsi(Utf8ToUtf16(c.name)));
        if (c.description)
            fx.PutText(kKeyOldFile, std::string(kDescriptionKey),
                       EncodeAnsi(Utf8ToUtf16(c.description)));
        fx.Build();
        CStoreSet set;
        ASSERT_TRUE(set.OpenStores(fx.Folder()));
        EXPECT_EQ(ReadShortName(set), c.shortName) << (c.name ? c.name : "none");
        EXPECT_EQ(SetDisplayName(set), c.shown) << (c.name ? c.name : "none");
        fx.Omit(kDatNewFile);  // an incomplete set names nothing
        fx.Build();
        set.OpenStores(fx.Folder());
        EXPECT_EQ(SetDisplayName(set), u"");
    }
}

}  // namespace
}  // namespace tavrin
