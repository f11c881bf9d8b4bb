// PassageMessages.cpp - Korean and English messages for passages that lead nowhere.
#include "PassageMessages.h"

#include "CodePage.h"

namespace tavrin {

namespace {

std::string Counted(int n, const char* noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

}  // namespace

std::u16string_view TopicParticle(std::u16string_view word) {
    if (word.empty())
        return u"은(는)";
    const char16_t last = word.back();
    if (last >= u'가' && last <= u'힣')
        return (last - u'가') % 28 != 0 ? u"은" : u"는";
    if (last >= u'0' && last <= u'9')
        return std::u16string_view(u"0136789").find(last) != std::u16string_view::npos ? u"은"
                                                                                       : u"는";
    return u"은(는)";
}

std::u16string_view ChapterCounter(std::u16string_view bookName) {
    return bookName.ends_with(u"편") ? u"편" : u"장";
}

std::u16string GoToProblem(const SParsedPassage& parsed, const SFoundPassage& found) {
    switch (parsed.m_syntax) {
        case ESyntax::Passage:
            break;
        case ESyntax::Empty:
            return u"구절을 입력하십시오.";
        case ESyntax::NotReference:
            return u"구절을 알아볼 수 없습니다. 예: 요3:16, 요한복음 3장 16절";
        case ESyntax::Backwards:
            return u"범위의 끝 절이 첫 절보다 앞에 있습니다. 예: 요3:16-18";
        case ESyntax::AcrossChapters:
            return u"범위는 한 장 안에서만 지정할 수 있습니다. 예: 요3:16-18";
    }
    const std::u16string_view book = found.BookName();
    const std::u16string_view counter = ChapterCounter(book);
    switch (found.m_result) {
        case EFound::Found:
            return {};
        case EFound::NoBook:
            return u"'" + parsed.m_passage.m_strBook + u"' 책이 없습니다.";
        case EFound::NoChapter:
            return std::u16string(book) + std::u16string(TopicParticle(book)) + u" " +
                   DecimalUtf16(found.m_nChapters) + std::u16string(counter) + u"까지 있습니다.";
        case EFound::NoVerse: {
            const std::u16string chapter = std::u16string(book) + u" " +
                                           DecimalUtf16(parsed.m_passage.m_nChapter) +
                                           std::u16string(counter);
            return chapter + std::u16string(TopicParticle(chapter)) + u" " +
                   DecimalUtf16(found.m_nVerses) + u"절까지 있습니다.";
        }
    }
    return {};
}

std::string SyntaxProblem(ESyntax syntax, std::string_view typed) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on "'" + string.
    std::string quoted(1, '\'');
    quoted.append(typed).push_back('\'');
    switch (syntax) {
        case ESyntax::Passage:
            return {};
        case ESyntax::Empty:
            return "no reference given";
        case ESyntax::NotReference:
            return quoted + " is not a reference";
        case ESyntax::Backwards:
            return "the range " + quoted + " runs backwards";
        case ESyntax::AcrossChapters:
            return "the range " + quoted + " runs across chapters (a range stays in one chapter)";
    }
    return {};
}

std::string LookupProblem(const SPassage& passage, const SFoundPassage& found) {
    const std::string book = Utf16ToUtf8(found.BookName());
    switch (found.m_result) {
        case EFound::Found:
            return {};
        case EFound::NoBook:
            return "no book '" + Utf16ToUtf8(passage.m_strBook) + "'";
        case EFound::NoChapter:
            return "no chapter " + std::to_string(passage.m_nChapter) + " in " + book + " (" +
                   Counted(found.m_nChapters, "chapter") + ")";
        case EFound::NoVerse:
            return "no verse " + std::to_string(found.m_nMissingVerse) + " in " + book + " " +
                   std::to_string(passage.m_nChapter) + " (" + Counted(found.m_nVerses, "verse") +
                   ")";
    }
    return {};
}

}  // namespace tavrin
