// BenchSets.h - the two store sets the benchmarks read, opened once per program.
#pragma once

#include <memory>
#include <string>

#include "Floor.h"
#include "StoreSet.h"

namespace tavrin::bench {

// A store set opened both ways: through the program's store set and raw.
struct SBenchSet {
    std::string m_strName;  // "web" or "korean"
    std::string m_strFolder;
    CStoreSet m_stores;
    std::unique_ptr<CRawStore> m_pKeyOld;
    std::unique_ptr<CRawStore> m_pDatOld;
    std::unique_ptr<CRawStore> m_pDatOldMapped;  // the same file with gdbm's mapping on
    std::string m_strError;                      // why the set is unusable, empty when it is open
};

// The demo WEB set (index 0) or the synthetic Korean set (index 1, made when
// missing). Never null; check m_strError.
SBenchSet& BenchSet(int index);

inline constexpr const char* kSetNames[2] = {"web", "korean"};

}  // namespace tavrin::bench
