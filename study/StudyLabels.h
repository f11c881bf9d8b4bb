// StudyLabels.h - what the reader says about the study database and its items, in Korean.
#pragma once

#include <string>
#include <string_view>

#include "StudyDb.h"
#include "StudyFiles.h"

namespace tavrin {

// The one message box of opening the database at path: empty when it simply opened; a
// damaged file names where it was moved and the newest backup; a newer file says a newer
// Tavrin wrote it; a failure says the marks are off and reading goes on.
std::string StudyOpenMessage(const SStudyOpen& opened, const std::string& path);
// What a marking command reports while there is no database: empty when one is open.
std::string StudyUnavailableMessage(const SStudyOpen& opened, const std::string& path);

// "책갈피", "형광펜", "메모".
std::string_view KindLabel(EItemKind kind);
// "노랑", "초록", "파랑", "분홍", "주황".
std::string_view ColourLabel(EColour colour);

}  // namespace tavrin
