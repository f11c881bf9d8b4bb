// read_bench.cpp - store reads, chapters, lists and notes next to their bare floors.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <tessdb.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <memory>

#include "BenchMain.h"
#include "BenchSets.h"
#include "Chapter.h"
#include "CodePage.h"
#include "Floor.h"
#include "NameList.h"
#include "Notes.h"

namespace {

using namespace tavrin;
using namespace tavrin::bench;

constexpr std::u16string_view kVerse = u"창1:1";
constexpr std::u16string_view kChapter31 = u"창1:";    // Genesis 1: 31 verses
constexpr std::u16string_view kChapter99 = u"시119:";  // Psalm 119: the first 99 of 176
constexpr std::u16string_view kPsalms = u"시편";       // 2,461 references

// The set of the run, or a skip when it cannot be read.
SBenchSet* Open(benchmark::State& state, int index) {
    SBenchSet& set = BenchSet(index);
    if (!set.m_strError.empty()) {
        state.SkipWithError(set.m_strError.c_str());
        return nullptr;
    }
    return &set;
}

void Fetch(benchmark::State& state, int index) {
    SBenchSet* set = Open(state, index);
    if (set == nullptr)
        return;
    std::string key = ToAnsiKey(kVerse);
    auto record = std::make_unique<_TESS_MAXDATA_>();
    for (auto _ : state) {
        if (!GetQdata(set->m_stores.m_hDatOld, *record, key.data()))
            state.SkipWithError("verse missing");
        benchmark::DoNotOptimize(record->szData);
    }
}

void FetchFloor(benchmark::State& state, int index) {
    SBenchSet* set = Open(state, index);
    if (set == nullptr)
        return;
    const std::string key = ToAnsiKey(kVerse);
    std::string text;
    for (auto _ : state) {
        if (!set->m_pDatOld->Fetch(key, text))
            state.SkipWithError("verse missing");
        benchmark::DoNotOptimize(text.data());
    }
}

void Chapter(benchmark::State& state, int index, std::u16string_view chapter) {
    SBenchSet* set = Open(state, index);
    if (set == nullptr)
        return;
    size_t verses = 0;
    for (auto _ : state) {
        const auto read = set->m_stores.LoadChapter(Testament::Old, chapter);
        verses = read.size() / 2;
        benchmark::DoNotOptimize(read.data());
    }
    state.SetLabel(std::to_string(verses) + " verses");
}

void ChapterFloor(benchmark::State& state, int index, std::u16string_view chapter, bool mapped) {
    SBenchSet* set = Open(state, index);
    if (set == nullptr)
        return;
    const CRawDecoder decoder;
    const std::string bytes = decoder.Encode(chapter);
    const CRawStore& store = mapped ? *set->m_pDatOldMapped : *set->m_pDatOld;
    size_t verses = 0;
    for (auto _ : state) {
        const auto read = RawChapter(store, decoder, bytes, chapter, false);
        verses = read.size() / 2;
        benchmark::DoNotOptimize(read.data());
    }
    state.SetLabel(std::to_string(verses) + " verses");
}

void Layout(benchmark::State& state, int index, std::u16string_view chapter) {
    SBenchSet* set = Open(state, index);
    if (set == nullptr)
        return;
    const auto verses = set->m_stores.LoadChapter(Testament::Old, chapter);
    for (auto _ : state) {
        const std::u16string text = BuildChapterText(verses);
        benchmark::DoNotOptimize(text.data());
    }
}

// The least any layout costs: one copy of a text of the same length.
void LayoutFloor(benchmark::State& state, int index, std::u16string_view chapter) {
    SBenchSet* set = Open(state, index);
    if (set == nullptr)
        return;
    const std::u16string laidOut =
        BuildChapterText(set->m_stores.LoadChapter(Testament::Old, chapter));
    for (auto _ : state) {
        std::u16string text(laidOut);
        benchmark::DoNotOptimize(text.data());
    }
}

void Psalms(benchmark::State& state, int index) {
    SBenchSet* set = Open(state, index);
    if (set == nullptr)
        return;
    size_t names = 0;
    for (auto _ : state) {
        const auto list = set->m_stores.ReadReferenceList(Testament::Old, kPsalms);
        names = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.SetLabel(std::to_string(names) + " names");
}

void PsalmsFloor(benchmark::State& state, int index) {
    SBenchSet* set = Open(state, index);
    if (set == nullptr)
        return;
    const CRawDecoder decoder;
    const std::string key = decoder.Encode(kPsalms);
    std::string text;
    size_t names = 0;
    for (auto _ : state) {
        set->m_pKeyOld->Fetch(key, text);
        const auto list = RawNames(decoder.Decode(text));
        names = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.SetLabel(std::to_string(names) + " names");
}

std::string NotePath() {
    const char* base = std::getenv("TMPDIR");
    return std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tavrin-bench-note-" +
           std::to_string(getpid()) + ".txt";
}

std::u16string NoteEntry() {
    return FormatNoteEntry(Testament::Old, u"창세기", kVerse,
                           u"태초에 하나님이 천지를 창조하시니라");
}

void Note(benchmark::State& state) {
    const std::string path = NotePath();
    const std::u16string entry = NoteEntry();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    for (auto _ : state) {
        if (AppendNote(path, entry, local) != ENoteResult::Saved)
            state.SkipWithError("note not saved");
    }
    std::remove(path.c_str());
}

// The bare append: open, one write of a record of the same size, close.
void NoteFloor(benchmark::State& state) {
    const std::string path = NotePath();
    std::tm local{};
    const std::u16string record = FormatStamp(local) + NoteEntry();
    for (auto _ : state) {
        const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0 || write(fd, record.data(), record.size() * 2) < 0)
            state.SkipWithError("cannot write");
        close(fd);
    }
    std::remove(path.c_str());
}

void Register() {
    for (int i = 0; i < 2; ++i) {
        const std::string set = kSetNames[i];
        benchmark::RegisterBenchmark(("fetch/" + set + "/GetQdata").c_str(), Fetch, i);
        benchmark::RegisterBenchmark(("fetch/" + set + "/floor").c_str(), FetchFloor, i);
        for (auto [name, chapter] :
             {std::pair{"chapter31", kChapter31}, {"chapter99", kChapter99}}) {
            const std::string prefix = std::string(name) + "/" + set;
            benchmark::RegisterBenchmark((prefix + "/LoadChapter").c_str(), Chapter, i, chapter);
            benchmark::RegisterBenchmark((prefix + "/floor").c_str(), ChapterFloor, i, chapter,
                                         false);
            benchmark::RegisterBenchmark((prefix + "/floor_mapped").c_str(), ChapterFloor, i,
                                         chapter, true);
            const std::string layout = std::string("layout") + (name + 7) + "/" + set;
            benchmark::RegisterBenchmark((layout + "/BuildChapterText").c_str(), Layout, i,
                                         chapter);
            benchmark::RegisterBenchmark((layout + "/floor").c_str(), LayoutFloor, i, chapter);
        }
        benchmark::RegisterBenchmark(("psalms/" + set + "/ReadReferenceList").c_str(), Psalms, i);
        benchmark::RegisterBenchmark(("psalms/" + set + "/floor").c_str(), PsalmsFloor, i);
    }
    benchmark::RegisterBenchmark("note/AppendNote", Note);
    benchmark::RegisterBenchmark("note/floor", NoteFloor);
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return tavrin::bench::RunRegistered(argc, argv);
}
