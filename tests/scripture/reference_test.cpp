// reference_test.cpp - the reference grammar: typed passages, listed references, chapter
// references and verse keys; the particles of the go-to messages.
#include <gtest/gtest.h>

#include "CodePage.h"
#include "PassageMessages.h"
#include "Reference.h"

namespace tavrin {
namespace {

// "book chapter first-last", "book chapter" for a whole chapter, or the syntax's name.
std::string Shown(const SParsedPassage& parsed) {
    switch (parsed.m_syntax) {
        case ESyntax::Passage:
            break;
        case ESyntax::Empty:
            return "empty";
        case ESyntax::NotReference:
            return "not";
        case ESyntax::Backwards:
            return "backwards";
        case ESyntax::AcrossChapters:
            return "across";
    }
    const SPassage& p = parsed.m_passage;
    std::string shown = Utf16ToUtf8(p.m_strBook) + " " + std::to_string(p.m_nChapter);
    if (!p.IsWholeChapter())
        shown += " " + std::to_string(p.m_nVerse) + "-" + std::to_string(p.m_nLastVerse);
    return shown;
}

TEST(ReferenceGrammar, AcceptsWhatPeopleTypeAndRefusesTheRest) {
    const std::pair<const char16_t*, const char*> rows[] = {
        {u"요3:16", "요 3 16-16"},
        {u"요3: 16", "요 3 16-16"},
        {u"요 3:16", "요 3 16-16"},
        {u"요3.16", "요 3 16-16"},
        {u"요한복음 3:16", "요한복음 3 16-16"},
        {u"요한복음 3장 16절", "요한복음 3 16-16"},
        {u"요한복음3장16절", "요한복음 3 16-16"},
        {u"시편 23편 1절", "시편 23 1-1"},
        {u"요3", "요 3"},
        {u"시23:", "시 23"},
        {u"시편 23편", "시편 23"},
        {u"요3:16-18", "요 3 16-18"},
        {u"요3장 16-18절", "요 3 16-18"},
        {u"요３：１６～１８", "요 3 16-18"},
        {u"요3:16-16", "요 3 16-16"},
        {u"요3:16-3:18", "요 3 16-18"},  // the same chapter named twice
        {u"요3:18-17", "backwards"},
        {u"요4-3", "backwards"},
        {u"요3:16-4:2", "across"},
        {u"요3-4", "across"},
        {u"요0:0", "요 0 0-0"},  // only the set can say there is no chapter 0
        {u"요2147483647:2147483647", "요 2147483647 2147483647-2147483647"},
        {u"요2147483648:1", "not"},
        {u"요1:2147483648", "not"},
        {u"1 John 3:16", "1 John 3 16-16"},
        {u"JUD1", "JUD 1"},
        {u"\u00A0요한\t \u3000복음\u00A0３ ：\u3000１６ ", "요한 복음 3 16-16"},
        {u"", "empty"},
        {u" \u3000\t", "empty"},
        {u"xyz", "not"},
        {u"창", "not"},
        {u"3:16", "not"},
        {u":1", "not"},
        {u"창1:1:1", "not"},
        {u"창1a", "not"},
        {u"창1 2", "not"},
        {u"창1:2-", "not"},
        {u"창1:-2", "not"},
        {u"요3:16-18-20", "not"},
        {u"요3장장", "not"},
    };
    for (const auto& [typed, expected] : rows)
        EXPECT_EQ(Shown(ReadPassage(typed)), expected) << Utf16ToUtf8(typed);
    const std::u16string blanks(kMaxTypedChars - 4, u' ');
    EXPECT_EQ(Shown(ReadPassage(u"요" + blanks + u"3:1")), "요 3 1-1");
    EXPECT_EQ(Shown(ReadPassage(u"요" + blanks + u"3:16")), "not");
}

TEST(ReferenceGrammar, ListedReferencesChapterReferencesAndVerseKeys) {
    for (const auto& [listed, expected] : {std::pair{u"마1: 12", "마 1 12-12"},
                                           {u"창1:1", "창 1 1-1"},
                                           {u"창1:", "창 1"},
                                           {u"시3", "시 3"},
                                           {u"창1:2-3", "-"},
                                           {u"창1:2a", "-"},
                                           {u"X2Y5:", "-"}}) {
        const std::optional<SPassage> split = SplitReference(listed);
        EXPECT_EQ(split ? Shown({ESyntax::Passage, *split}) : "-", expected) << Utf16ToUtf8(listed);
    }
    for (const auto& [chapter, expected] : {std::pair{u"창12:", "창 12"},
                                            {u"X2Y5:7", "XY 25"},
                                            {u"X:", "X 0"},
                                            {u"X2147483647:", "X 2147483647"},
                                            {u"X2147483648:", "-"}}) {
        const std::optional<SChapterParts> parts = SplitChapterReference(chapter);
        EXPECT_EQ(parts
                      ? Utf16ToUtf8(parts->m_strBookPart) + " " + std::to_string(parts->m_nChapter)
                      : "-",
                  expected);
    }
    for (const auto& [chapter, holds] : {std::pair{u"X2Y5:", true},
                                         {u"요한1서3:", true},
                                         {u"X25:", false},
                                         {u"X:", false},
                                         {u"1:", false}})
        EXPECT_EQ(BookPartHoldsDigit(chapter), holds) << Utf16ToUtf8(chapter);
    const std::tuple<const char16_t*, Testament, const char*> keys[] = {
        {u"창1:5", Testament::Old, "창1: 5"},   {u"마1: 5", Testament::New, "마1: 5"},
        {u"창1:5", Testament::New, "-"},        {u"마1: 5", Testament::Old, "-"},
        {u"창1:05", Testament::Old, "-"},       {u"창1:999999", Testament::Old, "창1: 999999"},
        {u"창1:1000000", Testament::Old, "-"},  {u"창1", Testament::Old, "-"},
        {u"a:b:12", Testament::Old, "a:b: 12"},
    };
    for (const auto& [key, testament, expected] : keys) {
        const std::optional<SVerseKey> split = SplitVerseKey(key, testament);
        EXPECT_EQ(
            split ? Utf16ToUtf8(split->m_strChapter) + " " + std::to_string(split->m_nVerse) : "-",
            expected);
    }
}

TEST(GoToMessages, ParticleFollowsTheLastSyllableAndPsalmsCountInPyeon) {
    const std::pair<const char16_t*, const char16_t*> particles[] = {
        {u"요한복음", u"은"},
        {u"사도행전", u"은"},
        {u"시편", u"은"},
        {u"창세기", u"는"},
        {u"로마서", u"는"},
        {u"아가", u"는"},
        {u"요한복음 3장", u"은"},
        {u"가", u"는"},
        {u"힣", u"은"},
        {u"3", u"은"},
        {u"2", u"는"},
        {u"Jude", u"은(는)"},
        {u"", u"은(는)"},
    };
    for (const auto& [word, particle] : particles)
        EXPECT_EQ(TopicParticle(word), particle) << Utf16ToUtf8(word);
    EXPECT_EQ(ChapterCounter(u"시편"), u"편");
    EXPECT_EQ(ChapterCounter(u"요한복음"), u"장");
}

}  // namespace
}  // namespace tavrin
