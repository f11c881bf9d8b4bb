// namelist_test.cpp - decoding book lists and reference lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CodePage.h"
#include "NameList.h"

namespace tavrin {
namespace {

using Names = std::vector<std::u16string>;

TEST(ParseNameList, Layouts) {
    struct SCase {
        const char* m_szWhat;
        std::string m_strText;
        Names m_arrExpected;
        std::u16string m_strRest = u"";  // what SplitNameList leaves after the last TAB
    };
    const SCase cases[] = {
        {"usual", "\tA\tB\t", {u"A", u"B"}},
        {"first character skipped, tail lost", "xA\tB", {u"A"}, u"B"},
        {"empty name kept", "\t\tA\t", {u"", u"A"}},
        {"nothing after the first character", "\t", {}},
        {"empty", "", {}},
        {"no TAB at all", "ABC", {}, u"BC"},
        {"two-byte first character skipped whole", EncodeAnsi(u"가나\t다\t"), {u"나", u"다"}},
        {"two-byte names, no stray entries",
         EncodeAnsi(u"\t창세기\t출애굽기\t똠햏\t"),
         {u"창세기", u"출애굽기", u"똠햏"}},
        {"names of 29 and 30 characters",
         "\t" + std::string(29, 'n') + "\t" + std::string(30, 'm') + "\t",
         {std::u16string(29, u'n'), std::u16string(29, u'm')}},
        {"two-byte name cut to 29 characters",
         EncodeAnsi(u"\t" + std::u16string(35, u'뷁') + u"\t"),
         {std::u16string(29, u'뷁')}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNameList(c.m_strText), c.m_arrExpected) << c.m_szWhat;
        EXPECT_EQ(SplitNameList(c.m_strText).strRest, c.m_strRest) << c.m_szWhat;
    }
    // The split keeps names whole; only the reader's list cuts them.
    EXPECT_EQ(SplitNameList("\t" + std::string(40, 'n') + "\t").arrNames,
              Names{std::u16string(40, u'n')});
}

}  // namespace
}  // namespace tavrin
