// citation_test.cpp - copy with the reference: formats, passages and lines, verse keys, the stored
// choice.
#include <gtest/gtest.h>

#include "Citation.h"
#include "CodePage.h"
#include "StoreFixture.h"

namespace tavrin {
namespace {

SCitedVerse John(int verse, std::u16string text) {
    return {u"요한복음", u"요", 3, verse, std::move(text)};
}

constexpr SCitationFormat kFirst{}, kLast{true, false, false}, kFirstAbbrNamed{false, true, true},
    kLastAbbrNamed{true, true, true}, kFirstNamed{false, false, true}, kLastAbbr{true, true, false};

// One verse and 요3:16-18 in each shape of format.
TEST(Citation, EachFormatForOneVerseAndForAPassage) {
    const std::vector<SCitedVerse> one = {John(16, u"하나님이 세상을")},
                                   three = {John(16, u"가"), John(17, u"나"), John(18, u"다")};
    const struct {
        SCitationFormat format;
        const char* one;
        const char* three;
    } cases[] = {
        {kFirst, "요한복음 3:16 하나님이 세상을", "요한복음 3:16-18 16 가 17 나 18 다"},
        {kLast, "하나님이 세상을 (요한복음 3:16)", "16 가 17 나 18 다 (요한복음 3:16-18)"},
        {kFirstNamed, "요한복음 3:16 (개역한글) 하나님이 세상을",
         "요한복음 3:16-18 (개역한글) 16 가 17 나 18 다"},
        {kFirstAbbrNamed, "요3:16 (개역한글) 하나님이 세상을",
         "요3:16-18 (개역한글) 16 가 17 나 18 다"},
        {kLastAbbr, "하나님이 세상을 (요3:16)", "16 가 17 나 18 다 (요3:16-18)"},
        {kLastAbbrNamed, "하나님이 세상을 (요3:16, 개역한글)",
         "16 가 17 나 18 다 (요3:16-18, 개역한글)"},
    };
    for (const auto& c : cases) {
        const int code = EncodeCitationFormat(c.format);
        EXPECT_EQ(Utf16ToUtf8(CiteVerses(one, c.format, u"개역한글")), c.one) << code;
        EXPECT_EQ(Utf16ToUtf8(CiteVerses(three, c.format, u"개역한글")), c.three) << code;
    }
    EXPECT_EQ(CiteVerses(one, kLastAbbrNamed, u""), u"하나님이 세상을 (요3:16)");
    EXPECT_EQ(CiteVerses(one, kFirstNamed, u""), u"요한복음 3:16 하나님이 세상을");
    EXPECT_EQ(CiteVerses({}, kFirst, u"x"), u"");
}

// Only consecutive verses of one chapter, in order, make one passage.
TEST(Citation, OtherChoicesGiveOneLinePerVerse) {
    const SCitedVerse gen1 = {u"창세기", u"창", 1, 1, u"태초에"},
                      gen2 = {u"창세기", u"창", 1, 2, u"땅이"},
                      john4 = {u"요한복음", u"요", 4, 1, u"라"},
                      mark = {u"마가복음", u"막", 3, 17, u"마"};
    const struct {
        std::vector<SCitedVerse> verses;
        const char* expected;
    } cases[] = {
        {{gen1, gen2}, "창1:1-2 1 태초에 2 땅이"},
        {{gen2, gen1}, "창1:2 땅이\n창1:1 태초에"},
        {{gen1, gen1}, "창1:1 태초에\n창1:1 태초에"},
        {{John(16, u"가"), John(18, u"다")}, "요3:16 가\n요3:18 다"},
        {{John(16, u"가"), mark}, "요3:16 가\n막3:17 마"},
        {{John(36, u"가"), john4}, "요3:36 가\n요4:1 라"},
        {{John(16, u"가"), {u"요한복음", u"요", 4, 17, u"나"}}, "요3:16 가\n요4:17 나"},
        {{John(16, u"가"), John(17, u"나"), john4}, "요3:16 가\n요3:17 나\n요4:1 라"},
        {{John(16, u"\r\n가\r\n\r\n나\n다\r")}, "요3:16 가 나 다"},
        {{John(16, u"가\n"), John(17, u"\r\n나")}, "요3:16-17 16 가 17 나"},
        {{John(16, u" 가  나\t \n")}, "요3:16 가  나"},
        {{John(16, u"가 \r나\r")}, "요3:16 가 나"},
        {{{u"요한복음", u"", 3, 16, u"가"}}, "요한복음 3:16 가"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf16ToUtf8(CiteVerses(c.verses, {false, true, false}, u"K")), c.expected);
    EXPECT_EQ(FormatReference({u"", u"요", 3, 16, u""}, 16, false), u"요3:16");
    EXPECT_EQ(
        CiteText(John(16, u""), 18, u"  [요3: 16]\r\n가\r\n\r\n  [요3: 18]\r\n다\r\n", kLast, u"K"),
        u"[요3: 16] 가 [요3: 18] 다 (요한복음 3:16-18)");
}

// A listed reference of either testament, as the store set keys them; anything else is refused.
TEST(Citation, CitedVerseOfTakesVerseKeysOnly) {
    const struct {
        const char16_t* reference;
        const char16_t* abbr;
        int chapter, verse;
    } cases[] = {
        {u"요3: 16", u"요", 3, 16},      {u"창1:1", u"창", 1, 1},
        {u"삼상30:31", u"삼상", 30, 31}, {u"시119:176", u"시", 119, 176},
        {u"마1:   2", u"마", 1, 2},      {u"x1:999999", u"x", 1, 999999},
    };
    for (const auto& c : cases) {
        const std::optional<SCitedVerse> v = CitedVerseOf(u"책", c.reference, u"말씀");
        ASSERT_TRUE(v.has_value()) << Utf16ToUtf8(c.reference);
        EXPECT_EQ(v->m_strAbbr, c.abbr);
        EXPECT_EQ(v->m_nChapter, c.chapter);
        EXPECT_EQ(v->m_nVerse, c.verse);
        EXPECT_EQ(v->m_strBook, u"책");
        EXPECT_EQ(v->m_strText, u"말씀");
    }
    for (const char16_t* refused :
         {u"x1:1000000", u"창1:", u"창1", u"창0:1", u"창1:0", u"창1:1a", u"창:1", u"창1:1:2", u""})
        EXPECT_FALSE(CitedVerseOf(u"책", refused, u"말씀").has_value()) << Utf16ToUtf8(refused);
}

// The texts read from a set of either testament, as the main window's list chooses them.
TEST(Citation, CiteReferencesReadsTheChosenVerses) {
    test::CStoreFixture fx;
    fx.AddSampleSet();
    fx.Build();
    CStoreSet set;
    ASSERT_TRUE(set.OpenStores(fx.Folder()));
    const SCitationFormat last{true, false, true};
    EXPECT_EQ(CiteReferences(set, Testament::New, u"마태복음", {u"마1: 1", u"마1: 2"}, last, u"K"),
              u"1 마1: 1 말씀 2 마1: 2 말씀 (마태복음 1:1-2, K)");
    EXPECT_EQ(
        CiteReferences(set, Testament::Old, u"창세기", {u"창1:3", u"창2:1", u"창2:"}, last, u""),
        u"창1:3 말씀 (창세기 1:3)\n창2:1 말씀 (창세기 2:1)");
    set.CloseStores();
    EXPECT_EQ(CiteReferences(set, Testament::New, u"마태복음", {u"마1: 1"}, last, u"K"), u"");
}

TEST(Citation, FormatChoiceRoundTripsThroughItsNumber) {
    for (int value = 0; value <= 7; ++value)
        EXPECT_EQ(EncodeCitationFormat(DecodeCitationFormat(value)), value);
    EXPECT_EQ(EncodeCitationFormat(kLastAbbrNamed), 7);
    EXPECT_EQ(EncodeCitationFormat(kLast), 1);
    EXPECT_EQ(EncodeCitationFormat(kFirstAbbrNamed), 6);
    for (int value : {-1, 8, 1 << 30}) EXPECT_EQ(DecodeCitationFormat(value), kFirst) << value;
}

}  // namespace
}  // namespace tavrin
