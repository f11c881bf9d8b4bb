// FieldEscape.h - one field of a line-per-record text file: backslash escapes for the
// characters that would end the field or the line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

// Appends text to out with a backslash, TAB, LF and CR written as "\\", "\t", "\n" and "\r",
// so that it holds no TAB and no line break.
void AppendEscapedField(std::string& out, std::string_view text);

// The text an escaped field stands for; nullopt when it holds a backslash followed by anything
// but one of the four letters above, or ends in a lone backslash.
std::optional<std::string> UnescapeField(std::string_view field);

}  // namespace tavrin
