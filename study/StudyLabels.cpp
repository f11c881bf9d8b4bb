// StudyLabels.cpp - the Korean texts about the study database and its items.
#include "StudyLabels.h"

namespace tavrin {

std::string StudyOpenMessage(const SStudyOpen& opened, const std::string& path) {
    switch (opened.m_status) {
        case SStudyOpen::EStatus::Opened:
            return {};
        case SStudyOpen::EStatus::Recovered:
            return "내 노트 파일이 손상되어 " + opened.m_strMovedTo +
                   " 파일로 옮겨 두고 새 파일을 시작합니다.\n가장 최근 백업: " +
                   (opened.m_strNewestBackup.empty() ? std::string("없음")
                                                     : opened.m_strNewestBackup);
        case SStudyOpen::EStatus::Newer:
            return "내 노트 파일 " + path +
                   " 은(는) 더 새로운 Tavrin이 쓴 파일입니다. 파일은 그대로 두고 책갈피, "
                   "형광펜, 메모 없이 성경을 읽습니다.";
        case SStudyOpen::EStatus::Failed:
            break;
    }
    return "내 노트 파일 " + (path.empty() ? std::string("(데이터 폴더 없음)") : path) +
           " 을(를) 열거나 만들 수 없습니다. 책갈피, 형광펜, 메모 없이 성경을 읽습니다." +
           (opened.m_strMessage.empty() ? std::string() : "\n(" + opened.m_strMessage + ")");
}

std::string StudyUnavailableMessage(const SStudyOpen& opened, const std::string& path) {
    switch (opened.m_status) {
        case SStudyOpen::EStatus::Opened:
        case SStudyOpen::EStatus::Recovered:
            return {};
        case SStudyOpen::EStatus::Newer:
            return "내 노트 파일 " + path +
                   " 은(는) 더 새로운 Tavrin이 쓴 파일이어서 저장하지 않았습니다.";
        case SStudyOpen::EStatus::Failed:
            break;
    }
    return "내 노트 파일 " + (path.empty() ? std::string("(데이터 폴더 없음)") : path) +
           " 을(를) 열 수 없어 저장하지 않았습니다.";
}

std::string_view KindLabel(EItemKind kind) {
    switch (kind) {
        case EItemKind::Bookmark:
            return "책갈피";
        case EItemKind::Highlight:
            return "형광펜";
        case EItemKind::Note:
            break;
    }
    return "메모";
}

std::string_view ColourLabel(EColour colour) {
    switch (colour) {
        case EColour::Yellow:
            return "노랑";
        case EColour::Green:
            return "초록";
        case EColour::Blue:
            return "파랑";
        case EColour::Pink:
            return "분홍";
        case EColour::Orange:
            break;
    }
    return "주황";
}

}  // namespace tavrin
