// search_bench.cpp - the search engine on the 1961 Korean text next to bare reads and scans.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchMain.h"
#include "CodePage.h"
#include "Floor.h"
#include "SearchIndex.h"

namespace {

using namespace tavrin;
using namespace tavrin::bench;

// Built by bench/compare from data/krv1961.tsv.xz with tavrin-mkstore.
std::string KrvFolder() {
    const char* env = std::getenv("TAVRIN_BENCH_KRV");
    return env != nullptr && *env != '\0' ? env : TAVRIN_BENCH_DEFAULT_KRV;
}

bool HasSet(benchmark::State& state) {
    CStoreSet stores;
    if (stores.OpenStores(KrvFolder()))
        return true;
    state.SkipWithError(("no store set in " + KrvFolder() + " (bench/compare makes it)").c_str());
    return false;
}

// One index, built once, for every keystroke figure.
const CSearchIndex& SharedIndex() {
    static const CSearchIndex index = [] {
        CSearchIndex built;
        built.Build(KrvFolder(), EScope::Both);
        return built;
    }();
    return index;
}

// Memory the process holds in RAM, in bytes, after giving back what the heap
// no longer uses (what an index's build freed would otherwise stay counted).
size_t Resident() {
    malloc_trim(0);
    size_t pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%zu %zu", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// The first query of a session: the index built from the stores (every list
// and text read and prepared), then the query answered.
void FirstQuery(benchmark::State& state) {
    if (!HasSet(state))
        return;
    size_t hits = 0;
    for (auto _ : state) {
        CSearchIndex index;
        if (!index.Build(KrvFolder(), EScope::Both))
            state.SkipWithError("the index was not built");
        hits = index.Search(CSearchQuery(u"하나님")).size();
    }
    state.SetLabel(std::to_string(hits) + " hits");
}

// The memory of one index, measured once: what MemoryBytes counts, and what
// the process holds in RAM after the build less before it. Run on its own
// (bench/compare does): a label survives only in a run without repetitions.
void Memory(benchmark::State& state) {
    if (!HasSet(state))
        return;
    size_t bytes = 0, resident = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const size_t before = Resident();
        state.ResumeTiming();
        CSearchIndex index;
        index.Build(KrvFolder(), EScope::Both);
        state.PauseTiming();
        bytes = index.MemoryBytes();
        resident = Resident() - before;
        state.ResumeTiming();
    }
    char memory[96];
    std::snprintf(memory, sizeof memory, "index %.1f MB; resident %.1f MB",
                  static_cast<double>(bytes) / 1e6, static_cast<double>(resident) / 1e6);
    state.SetLabel(memory);
}

// The first query of a later session: the index read from its cache file
// (written by the first round, whose time is not counted), then the query
// answered.
void CachedFirstQuery(benchmark::State& state) {
    if (!HasSet(state))
        return;
    std::string folder = (std::filesystem::temp_directory_path() / "tavrin-cache-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder for the cache");
        return;
    }
    const std::string cache = folder + "/krv.idx";
    ECacheUse use = ECacheUse::NotWritten;
    CSearchIndex().BuildCached(KrvFolder(), EScope::Both, cache, {}, &use);
    size_t hits = 0;
    for (auto _ : state) {
        CSearchIndex index;
        index.BuildCached(KrvFolder(), EScope::Both, cache, {}, &use);
        if (use != ECacheUse::Loaded) {
            state.SkipWithError("the cache was not read (a store changed in the last seconds?)");
            break;
        }
        hits = index.Search(CSearchQuery(u"하나님")).size();
    }
    char size[64];
    std::snprintf(size, sizeof size, "; cache file %.2f MB",
                  static_cast<double>(std::filesystem::file_size(cache)) / 1e6);
    state.SetLabel(std::to_string(hits) + " hits" + size);
    std::filesystem::remove_all(folder);
}

// The least the first query's reading costs: every reference text fetched raw
// (keys encoded beforehand) and decoded by one ICU converter, nothing kept.
void FirstQueryFloor(benchmark::State& state) {
    if (!HasSet(state))
        return;
    std::vector<std::string> keys[2];
    CStoreSet stores;
    stores.OpenStores(KrvFolder());
    for (Testament t : {Testament::Old, Testament::New}) {
        for (const auto& book : stores.ReadBookList(t)) {
            for (const auto& reference : stores.ReadReferenceList(t, book))
                keys[t == Testament::New].push_back(ToAnsiKey(reference));
        }
    }
    const std::string folder = KrvFolder() + "/";
    const CRawDecoder decoder;
    std::string text;
    size_t units = 0;
    for (auto _ : state) {
        units = 0;
        const CRawStore raw[2] = {CRawStore(folder + kDatOldFile), CRawStore(folder + kDatNewFile)};
        for (int t = 0; t < 2; ++t) {
            for (const std::string& key : keys[t]) {
                raw[t].Fetch(key, text);
                units += decoder.Decode(text).size();
            }
        }
        benchmark::DoNotOptimize(units);
    }
    state.SetLabel(std::to_string(keys[0].size() + keys[1].size()) + " texts");
}

// One keystroke: the query as typed so far parsed and answered.
void Keystroke(benchmark::State& state, std::u16string query) {
    if (!HasSet(state))
        return;
    const CSearchIndex& index = SharedIndex();
    size_t hits = 0;
    for (auto _ : state) {
        const std::vector<size_t> ids = index.Search(CSearchQuery(query));
        hits = ids.size();
        benchmark::DoNotOptimize(ids.data());
    }
    state.SetLabel(std::to_string(hits) + " references");
}

// A plain find loop for term over the same prepared text, counting every occurrence.
void ScanFloor(benchmark::State& state, std::u16string term) {
    if (!HasSet(state))
        return;
    const std::u16string_view buffer = SharedIndex().PreparedText();
    std::u16string prepared;
    PrepareSearchText(term, prepared);
    size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (size_t at = buffer.find(prepared); at != std::u16string_view::npos;
             at = buffer.find(prepared, at + 1))
            ++hits;
        benchmark::DoNotOptimize(hits);
    }
    state.SetLabel(std::to_string(hits) + " occurrences");
}

// The highlights of one shown row, as the result list asks for them.
void RowHighlights(benchmark::State& state) {
    if (!HasSet(state))
        return;
    const CSearchIndex& index = SharedIndex();
    const CSearchQuery query(u"하나님 ㅅㄹ");
    const std::vector<size_t> ids = index.Search(query);
    size_t row = 0;
    for (auto _ : state) {
        const auto ranges = index.MatchedRanges(ids[row++ % ids.size()], query);
        benchmark::DoNotOptimize(ranges.data());
    }
}

void Register() {
    benchmark::RegisterBenchmark("search/first_query", FirstQuery)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("search/memory", Memory)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("search/cached_first_query", CachedFirstQuery)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("search/first_query_floor", FirstQueryFloor)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    // Typing 하나님의 사랑, then a phrase and initials; each against a scan
    // for its longest term (initials: the word they stand for).
    const std::pair<const char*, std::u16string> keys[] = {
        {"ha", u"하"},
        {"hana", u"하나"},
        {"hananim", u"하나님"},
        {"two_terms", u"하나님의 사"},
        {"two_words", u"하나님의 사랑"},
        {"phrase", u"\"하나님의 사랑\""},
        {"initials", u"ㅎㄴㄴ"},
    };
    const std::u16string floors[] = {u"하",       u"하나",         u"하나님", u"하나님의",
                                     u"하나님의", u"하나님의사랑", u"하나님"};
    for (size_t i = 0; i < std::size(keys); ++i) {
        const std::string name = std::string("search/key/") + keys[i].first;
        benchmark::RegisterBenchmark(name.c_str(), Keystroke, keys[i].second);
        benchmark::RegisterBenchmark((name + "_floor").c_str(), ScanFloor, floors[i]);
    }
    benchmark::RegisterBenchmark("search/row_highlights", RowHighlights);
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return tavrin::bench::RunRegistered(argc, argv);
}
