// CodePage.h - code page 949 <-> UTF-16 at the store boundary.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// Longest key in characters; longer keys are cut to it before conversion.
inline constexpr size_t kMaxKeyChars = 259;

// Converts a UTF-16 key (cut to kMaxKeyChars characters) to code page 949
// (Windows' table). A character the code page cannot hold (zero-width ones
// included: they never vanish) becomes '?', so the key is simply not found.
// Never fails.
std::string ToAnsiKey(std::u16string_view key);

// Decodes code page 949 bytes to UTF-16. Bytes that are not a valid sequence
// become U+FFFD; valid text decodes so that ToAnsiKey/EncodeAnsi give the same
// bytes back.
std::u16string AnsiToWide(std::string_view bytes);
// The same into out (its content replaced, its capacity reused).
void AnsiToWide(std::string_view bytes, std::u16string& out);

// Appends to out the UTF-8 form of what AnsiToWide gives for bytes, without
// the UTF-16 step: for printing many texts.
void AnsiToUtf8(std::string_view bytes, std::string& out);

// Encodes UTF-16 to code page 949 for a store builder. Characters the code
// page cannot hold are replaced by a best fit from ReplacementFor (or '?') and
// appended, once per occurrence, to *replaced when it is not null.
std::string EncodeAnsi(std::u16string_view text, std::vector<char32_t>* replaced = nullptr);

// The documented best fit for a character code page 949 cannot hold: typographic
// quotes and dashes, spaces and a few symbols map to ASCII; anything else '?'.
std::string_view ReplacementFor(char32_t c);

// UTF-8 <-> UTF-16 for tools that talk to a terminal; invalid UTF-8 gives U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// n in ASCII decimal digits ("-12" for -12), as UTF-16.
std::u16string DecimalUtf16(long long n);
// True for well-formed UTF-8 (no overlong forms, surrogates or values above U+10FFFF).
bool IsWellFormedUtf8(std::string_view text);

}  // namespace tavrin
