// StudyTestSet.h - the sample store set, its Bible order and a study database in a temporary
// folder.
#pragma once

#include <filesystem>

#include "StoreFixture.h"
#include "StudyDb.h"

namespace tavrin::test {

// The sample set (창1:1-3, 창2:1-2, 출1:1; 마1: 1-2, 마2: 1, 계1: 1) and a database beside it.
struct CStudyTestSet {
    CStoreFixture m_fixture;
    CStoreSet m_stores;
    CBibleOrder m_order;
    CStudyDb m_db;
    std::string m_strPath;

    CStudyTestSet() {
        m_fixture.AddSampleSet();
        m_fixture.Build();
        m_stores.OpenStores(m_fixture.Folder());
        m_order.Load(m_stores);
        m_strPath = m_fixture.PathOf("data/study.sqlite3");
        std::filesystem::create_directories(m_fixture.PathOf("data"));
        m_db.Open(m_strPath);
    }
};

inline SVerse Old(std::string key) {
    return {Testament::Old, std::move(key)};
}
inline SVerse New(std::string key) {
    return {Testament::New, std::move(key)};
}

}  // namespace tavrin::test
