// search_bench.cpp - the search engine on the 1961 Korean text next to bare reads and scans.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
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

size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The first query of a session: the index built from the stores (every list and
// text read and prepared), then the query answered. threads 0: as the reader does.
void FirstQuery(benchmark::State& state, unsigned threads) {
    if (!HasSet(state))
        return;
    size_t hits = 0, bytes = 0, heap = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        CSearchIndex index;
        if (!index.Build(KrvFolder(), EScope::Both, {}, threads))
            state.SkipWithError("the index was not built");
        hits = index.Search(CSearchQuery(u"하나님")).size();
        bytes = index.MemoryBytes();
        heap = HeapInUse() - before;
    }
    // In the label, not as counters: the CSV report takes counters only when
    // the first figure it reports has them, and figures run interleaved.
    // glibc counts only the main thread's arena, so the heap figure is
    // meaningful for one reading thread.
    char memory[96];
    std::snprintf(memory, sizeof memory, "; index %.2f MB; heap %.2f MB",
                  static_cast<double>(bytes) / 1e6, static_cast<double>(heap) / 1e6);
    state.SetLabel(std::to_string(hits) + " hits" + (threads == 1 ? memory : ""));
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
        const CRawStore stores[2] = {CRawStore(folder + kDatOldFile),
                                     CRawStore(folder + kDatNewFile)};
        for (int t = 0; t < 2; ++t) {
            for (const std::string& key : keys[t]) {
                stores[t].Fetch(key, text);
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
    const auto buffers = SharedIndex().PreparedBuffers();
    std::u16string prepared;
    PrepareSearchText(term, prepared);
    size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (std::u16string_view buffer : buffers) {
            for (size_t at = buffer.find(prepared); at != std::u16string_view::npos;
                 at = buffer.find(prepared, at + 1))
                ++hits;
        }
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
    benchmark::RegisterBenchmark("search/first_query", FirstQuery, 0u)
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
    benchmark::RegisterBenchmark("search/first_query_1thread", FirstQuery, 1u)
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
