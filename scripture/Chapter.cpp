// Chapter.cpp - chapter references, verse keys, the chapter layout and neighbouring chapters.
#include "Chapter.h"

#include <climits>

namespace tavrin {

namespace {

std::u16string Decimal(long long n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

std::u16string ChapterReference(std::u16string_view reference) {
    const size_t colon = reference.find(u':');
    std::u16string_view chapter =
        colon == std::u16string_view::npos ? reference : reference.substr(0, colon + 1);
    if (chapter.size() > kMaxChapterRefChars)
        chapter = chapter.substr(0, kMaxChapterRefChars);
    return std::u16string(chapter);
}

std::u16string VerseKey(std::u16string_view chapterReference, int n, Testament testament) {
    std::u16string key(chapterReference);
    if (testament == Testament::New)
        key += u' ';
    key += Decimal(n);
    return key;
}

std::u16string BuildChapterText(const std::vector<std::u16string>& verses) {
    std::u16string text;
    size_t total = 0;
    for (size_t i = 0; i < verses.size(); ++i) total += verses[i].size() + (i % 2 ? 4 : 6);
    text.reserve(std::min(total, kMaxChapterTextChars));
    for (size_t i = 0; i < verses.size(); ++i) {
        if (i % 2 == 0) {
            text += u"  [";
            text += verses[i];
            text += u"]\r\n";
        } else {
            text += verses[i];
            text += u"\r\n\r\n";
        }
        if (text.size() >= kMaxChapterTextChars)
            break;
    }
    if (text.size() > kMaxChapterTextChars) {
        size_t cut = kMaxChapterTextChars;
        // Never leave half of a surrogate pair at the end.
        if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF)
            --cut;
        text.resize(cut);
    }
    return text;
}

std::optional<std::u16string> NeighbourChapter(std::u16string_view chapterReference,
                                               EDirection direction) {
    const std::u16string chapter = ChapterReference(chapterReference);
    std::u16string book;
    long long number = 0;
    bool tooLarge = false;
    // Digits count wherever they stand, so "X2Y5:" is book "XY", chapter 25.
    for (char16_t c : chapter) {
        if (c == u':')
            break;
        if (IsDigit(c)) {
            number = number * 10 + (c - u'0');
            if (number > INT_MAX)
                tooLarge = true, number = INT_MAX;
        } else {
            book += c;
        }
    }
    if (tooLarge)
        return std::nullopt;
    const long long target = direction == EDirection::Next ? number + 1 : number - 1;
    if (target < 1 || target > INT_MAX)
        return std::nullopt;
    book += Decimal(target);
    book += u':';
    return book;
}

}  // namespace tavrin
