// codepage_test.cpp - code page 949 round trips, unmappable characters, UTF-8 and name lists.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "CodePage.h"
#include "NameList.h"

namespace tavrin {
namespace {

// AnsiToUtf8 appending to a line already begun.
std::string Utf8Of(std::string_view bytes) {
    std::string out = "|";
    AnsiToUtf8(bytes, out);
    return out;
}

TEST(CodePageRoundTrip, EveryTwoByteSequenceThatDecodesEncodesBack) {
    int mapped = 0, hangul = 0, failures = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x41; trail <= 0xFE; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string wide = AnsiToWide(bytes);
            if (wide.size() != 1 || wide[0] == 0xFFFD)
                continue;
            ++mapped;
            hangul += wide[0] >= 0xAC00 && wide[0] <= 0xD7A3;
            // A stray lead byte after it takes the converter's road, which must agree.
            if ((ToAnsiKey(wide) != bytes || EncodeAnsi(wide) != bytes ||
                 AnsiToWide(bytes + "\x81") != wide + u"\uFFFD" ||
                 Utf8Of(bytes + 'a') != "|" + Utf16ToUtf8(wide + u'a')) &&
                ++failures <= 5) {
                ADD_FAILURE() << std::hex << lead << ' ' << trail;
            }
        }
    }
    EXPECT_EQ(failures, 0);
    // Every Hangul syllable and more: EUC-KR's 8,000 would mean the wrong converter.
    EXPECT_EQ(hangul, 0xD7A3 - 0xAC00 + 1);
    EXPECT_GT(mapped, 17000);
    // Windows' table, not EUC-KR: the extension syllables and their bytes.
    EXPECT_EQ(ToAnsiKey(u"똠햏뷁가"), "\x8C\x63\xC1\x64\x94\xEE\xB0\xA1");
}

TEST(CodePageDecode, InvalidBytesBecomeReplacementWithoutEatingText) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"", u""},
        {"abc\t", u"abc\t"},
        {"\xB0\xA1\xB0", u"가\uFFFD"},      // cut in the middle of a character
        {"\xC9\x41\x62", u"\uFFFD\x62"},    // a well-formed pair the table lacks
        {"\xB0\x0A\x62", u"\uFFFD\n\x62"},  // invalid trail keeps the ASCII byte
        {"\x8C\x63\t", u"똠\t"},            // ASCII-letter trail byte
        {"a\xC9", u"a\uFFFD"},              // a lead byte alone at the end
        {"\x8C\x63\xB0\xA1", u"똠가"},      // pairs from two rows
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(AnsiToWide(bytes), expected);
        EXPECT_EQ(Utf8Of(bytes), "|" + Utf16ToUtf8(expected));
        // A new thread's first text fills its decoding table; it must decode the same.
        std::u16string first;
        std::thread([&first, &bytes = bytes] { first = AnsiToWide(bytes); }).join();
        EXPECT_EQ(first, expected) << "first text of a thread";
    }
}

TEST(CodePageEncode, UnmappableCharactersAreReplacedAndReportedKeysCut) {
    // Text, its key (ToAnsiKey), its encoding (EncodeAnsi) and what that replaced.
    const std::tuple<std::u16string, std::string, std::string, std::vector<char32_t>> cases[] = {
        // Zero-width characters must not vanish: a key would silently change.
        {u"a\u200Bb", "a?b", "a?b", {0x200B}},
        {u"\uFEFF\u200D", "??", "??", {0xFEFF, 0x200D}},
        {u"a\u2014b", "a?b", "a-b", {0x2014}},
        {u"\u00A0\u2013\u2026", "??\xA1\xA6", " -\xA1\xA6", {0x00A0, 0x2013}},
        {u"\U0001F600!", "?!", "?!", {0x1F600}},
        {u"x\xD800y", "x?y", "x?y", {0xD800}},  // lone surrogate
        {u"“가”", "\xA1\xB0\xB0\xA1\xA1\xB1", "\xA1\xB0\xB0\xA1\xA1\xB1", {}},
        {u"\u3164", "\xA4\xD4", "\xA4\xD4", {}},  // filler held by the code page
    };
    for (const auto& [text, key, encoded, replacedChars] : cases) {
        std::vector<char32_t> replaced;
        EXPECT_EQ(ToAnsiKey(text) + '|' + EncodeAnsi(text, &replaced), key + '|' + encoded);
        EXPECT_EQ(replaced, replacedChars);
    }
    // Every best fit the encoder knows.
    const std::u16string fits =
        u"‘’‚‛′“”„‟″«»‐‑‒–—―−\u00A0\u2000\u2001\u2002\u2003\u2004\u2005"
        u"\u2006\u2007\u2008\u2009\u200A\u202F\u205F…•·‹›\u00BC";
    std::string replaced;
    for (char16_t c : fits) replaced += ReplacementFor(c);
    EXPECT_EQ(replaced, "'''''\"\"\"\"\"\"\"-------              ...**<>?");
    EXPECT_EQ(ToAnsiKey(std::u16string(300, u'a')), std::string(kMaxKeyChars, 'a'));
    EXPECT_EQ(ToAnsiKey(std::u16string(300, u'가')).size(), kMaxKeyChars * 2);
}

using Names = std::vector<std::u16string>;

TEST(ParseNameList, Layouts) {
    // What, the text, the names, and what SplitNameList leaves after the last TAB.
    const std::tuple<const char*, std::string, Names, std::u16string> cases[] = {
        {"usual", "\tA\tB\t", {u"A", u"B"}, u""},
        {"first character skipped, tail lost", "xA\tB", {u"A"}, u"B"},
        {"empty name kept", "\t\tA\t", {u"", u"A"}, u""},
        {"empty", "", {}, u""},
        {"no TAB at all", "ABC", {}, u"BC"},
        {"two-byte first character skipped whole", EncodeAnsi(u"가나\t다\t"), {u"나", u"다"}, u""},
        {"two-byte names", EncodeAnsi(u"\t창세기\t똠햏\t"), {u"창세기", u"똠햏"}, u""},
        {"names of 29 and 30 characters",
         "\t" + std::string(29, 'n') + "\t" + std::string(30, 'm') + "\t",
         {std::u16string(29, u'n'), std::u16string(29, u'm')},
         u""},
        {"two-byte name cut to 29 characters",
         EncodeAnsi(u"\t" + std::u16string(35, u'뷁') + u"\t"),
         {std::u16string(29, u'뷁')},
         u""},
    };
    for (const auto& [what, text, names, rest] : cases) {
        EXPECT_EQ(ParseNameList(text), names) << what;
        EXPECT_EQ(SplitNameList(text).strRest, rest) << what;
    }
    // The split keeps names whole; only the reader's list cuts them.
    EXPECT_EQ(SplitNameList("\t" + std::string(40, 'n') + "\t").arrNames,
              Names{std::u16string(40, u'n')});
}

}  // namespace
}  // namespace tavrin
