// StudyExchange.cpp - export and import of the study items for the reader.
#include "StudyExchange.h"

#include "FileIo.h"
#include "StudyTransfer.h"

namespace tavrin {

std::string ExportStudyFile(CStudyDb& db, const CStoreSet& stores, const std::string& path,
                            EStudyFileFormat format) {
    CBibleOrder order;
    if (!order.Load(stores))
        return "성경 파일이 없어 내보낼 수 없습니다.";
    std::vector<SStudyItem> items = db.List();
    if (!db.LastError().empty())
        return "내 노트를 읽지 못했습니다: " + db.LastError();
    const std::string text = format == EStudyFileFormat::Markdown
                                 ? ExportMarkdown(std::move(items), order, stores)
                                 : ExportTsv(std::move(items), order);
    if (!ReplaceFile(path, {text}, true))
        return path + " 파일에 쓰지 못했습니다.";
    return {};
}

SStudyImport ImportStudyFile(CStudyDb& db, const CStoreSet& stores, const std::string& path,
                             EStudyFileFormat format) {
    SStudyImport result;
    CBibleOrder order;
    if (!order.Load(stores)) {
        result.m_strMessage = "성경 파일이 없어 가져올 수 없습니다.";
        return result;
    }
    const auto bytes = ReadRegularFile(path, kMaxImportBytes);
    if (!bytes) {
        result.m_strMessage = path + " 파일을 읽지 못했습니다.";
        return result;
    }
    const SReadItems read = format == EStudyFileFormat::NotesFile ? ReadNotesFile(*bytes, order)
                                                                  : ReadTsv(*bytes, order);
    if (!read.IsGood()) {
        result.m_strMessage = path + " 파일의 " + std::to_string(read.m_nBadLine) +
                              "번째 줄이 잘못되었습니다 (" + read.m_strProblem +
                              "). 아무것도 가져오지 않았습니다.";
        return result;
    }
    const auto count = db.Import(read.m_arrItems);
    if (!count) {
        result.m_strMessage = "가져오지 못했습니다 (" + db.LastError() + "). 바뀐 것은 없습니다.";
        return result;
    }
    result.m_bDone = true;
    result.m_bChanged = count->m_nImported > 0;
    result.m_strMessage = std::to_string(count->m_nImported) + "개를 가져오고 " +
                          std::to_string(count->m_nSkipped) + "개는 건너뛰었습니다.";
    return result;
}

}  // namespace tavrin
