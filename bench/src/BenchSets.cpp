// BenchSets.cpp - opens the demo and Korean sets for the benchmarks.
#include "BenchSets.h"

#include "SyntheticSet.h"

namespace tavrin::bench {

SBenchSet& BenchSet(int index) {
    static SBenchSet sets[2];
    static bool opened[2] = {false, false};
    SBenchSet& set = sets[index];
    if (opened[index])
        return set;
    opened[index] = true;
    set.m_strName = kSetNames[index];
    set.m_strFolder = index == 0 ? WebSetFolder() : KoreanSetFolder();
    if (index == 1 && !EnsureKoreanSet(set.m_strFolder, set.m_strError))
        return set;
    if (!set.m_stores.OpenStores(set.m_strFolder)) {
        set.m_strError = "no complete store set in " + set.m_strFolder;
        return set;
    }
    const std::string prefix = set.m_strFolder + "/";
    set.m_pKeyOld = std::make_unique<CRawStore>(prefix + kKeyOldFile);
    set.m_pDatOld = std::make_unique<CRawStore>(prefix + kDatOldFile);
    set.m_pDatOldMapped = std::make_unique<CRawStore>(prefix + kDatOldFile, true);
    return set;
}

}  // namespace tavrin::bench
