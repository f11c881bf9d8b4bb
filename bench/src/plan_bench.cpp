// plan_bench.cpp - reading plans on the 1961 Korean text: the chapter lengths read once, then
// each built-in plan computed from them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "BenchMain.h"
#include "Plan.h"

namespace {

using namespace tavrin;

// Built by bench/compare from data/krv1961.tsv.xz with tavrin-mkstore.
std::string KrvFolder() {
    const char* env = std::getenv("TAVRIN_BENCH_KRV");
    return env != nullptr && *env != '\0' ? env : TAVRIN_BENCH_DEFAULT_KRV;
}

const SSetChapters& Chapters() {
    static const SSetChapters chapters = [] {
        CStoreSet stores;
        return stores.OpenStores(KrvFolder()) ? ReadSetChapters(stores) : SSetChapters();
    }();
    return chapters;
}

// The lengths counted from the text store, or taken from their cache file
// (as the reader does after a set's first plan).
void ReadLengths(benchmark::State& state, bool cached) {
    CStoreSet stores;
    if (!stores.OpenStores(KrvFolder())) {
        state.SkipWithError(
            ("no store set in " + KrvFolder() + " (bench/compare makes it)").c_str());
        return;
    }
    const std::string cache =
        cached ? (std::filesystem::temp_directory_path() / "tavrin-plan-bench.chapters").string()
               : std::string();
    if (cached) {
        // A set made moments ago is cached only once its files have settled.
        bool fromCache = false;
        for (int tries = 0; tries < 4 && !fromCache; ++tries) {
            ReadSetChapters(stores, KrvFolder(), cache, &fromCache);
            if (!fromCache)
                std::this_thread::sleep_for(std::chrono::seconds(1));
        }
        if (!fromCache) {
            state.SkipWithError("the chapter-length cache was not written");
            return;
        }
    }
    size_t chapters = 0;
    for (auto _ : state) {
        const SSetChapters read =
            cached ? ReadSetChapters(stores, KrvFolder(), cache) : ReadSetChapters(stores);
        chapters = read.m_arrChapters.size();
        benchmark::DoNotOptimize(read.m_arrChapters.data());
    }
    if (cached)
        std::filesystem::remove(cache);
    state.SetLabel(std::to_string(chapters) + " chapters");
}

// The plan from lengths already read; the label gives its longest and
// shortest day in characters.
void Compute(benchmark::State& state, std::string_view id) {
    const SSetChapters& chapters = Chapters();
    SPlanResult made;
    for (auto _ : state) {
        made = MakePlan(chapters, id);
        benchmark::DoNotOptimize(made.m_plan.m_arrDays.data());
    }
    if (made.m_error != EPlanError::None) {
        state.SkipWithError("the plan cannot be made from the set");
        return;
    }
    size_t longest = 0, shortest = SIZE_MAX;
    for (const auto& day : made.m_plan.m_arrDays) {
        size_t chars = 0;
        for (size_t c : day) chars += chapters.m_arrChapters[c].m_nChars;
        longest = std::max(longest, chars);
        shortest = std::min(shortest, chars);
    }
    state.SetLabel("days of " + std::to_string(shortest) + ".." + std::to_string(longest) +
                   " characters");
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("plan/read_lengths", ReadLengths, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("plan/read_lengths_cached", ReadLengths, true)
        ->Unit(benchmark::kMillisecond);
    for (const SPlanInfo& plan : BuiltInPlans())
        benchmark::RegisterBenchmark(("plan/" + std::string(plan.m_strId)).c_str(), Compute,
                                     plan.m_strId);
    return tavrin::bench::RunRegistered(argc, argv);
}
