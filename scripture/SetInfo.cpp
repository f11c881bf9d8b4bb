// SetInfo.cpp - the short name read from its record, and a name made from a description.
#include "SetInfo.h"

#include <algorithm>

#include "CodePage.h"

namespace tavrin {

namespace {

bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\u3000';
}

// The first n characters of text, never splitting a surrogate pair.
std::u16string_view FirstChars(std::u16string_view text, size_t n) {
    size_t i = 0;
    for (size_t count = 0; i < text.size(); ++i) {
        if (!IsLowSurrogate(text[i]) && count++ == n)
            break;
    }
    return text.substr(0, i);
}

}  // namespace

size_t CharacterCount(std::u16string_view text) {
    size_t n = 0;
    for (char16_t c : text) n += IsLowSurrogate(c) ? 0 : 1;
    return n;
}

std::u16string ReadShortName(const CStoreSet& set) {
    if (!set.AreStoresOpen())
        return {};
    // A character of the code page takes at most two bytes, so this many
    // bytes hold the longest name; a longer record is cut, not decoded whole.
    constexpr size_t kMaxBytes = 2 * kMaxShortNameChars;
    std::string_view text = FetchRecordView(set.m_hKeyOld, kShortNameKey, nullptr);
    size_t end = 0;
    for (size_t i = 0; i < text.size() && i < kMaxBytes;) {
        i += static_cast<unsigned char>(text[i]) >= 0x81 ? 2 : 1;
        if (i <= kMaxBytes)
            end = i;
    }
    const std::u16string name = AnsiToWide(text.substr(0, std::min(end, text.size())));
    for (char16_t c : name) {
        if (c < 0x20 || c == 0x7F)
            return {};
    }
    return std::u16string(FirstChars(name, kMaxShortNameChars));
}

std::u16string FirstWords(std::u16string_view description) {
    std::u16string out;
    size_t i = 0;
    while (i < description.size()) {
        while (i < description.size() && IsBlank(description[i])) ++i;
        size_t end = i;
        while (end < description.size() && !IsBlank(description[end])) ++end;
        if (end == i)
            break;
        const std::u16string_view word = description.substr(i, end - i);
        if (out.empty() && CharacterCount(word) > kMaxShortNameChars)
            return std::u16string(FirstChars(word, kMaxShortNameChars));
        const size_t length = CharacterCount(out) + (out.empty() ? 0 : 1) + CharacterCount(word);
        if (length > kMaxShortNameChars)
            break;
        if (!out.empty())
            out += u' ';
        out += word;
        i = end;
    }
    return out;
}

std::u16string SetDisplayName(const CStoreSet& set) {
    std::u16string name = ReadShortName(set);
    return name.empty() ? FirstWords(set.ReadDescription()) : name;
}

}  // namespace tavrin
