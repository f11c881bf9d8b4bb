// study_bench.cpp - the study database with 100,000 items spread over the Bible: a chapter's
// items, one committed change, TSV export and import, and the note search per keystroke.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchMain.h"
#include "CodePage.h"
#include "PlanProgress.h"
#include "Reference.h"
#include "StudyDb.h"
#include "StudyTransfer.h"
#include "SyntheticSet.h"

namespace tavrin::bench {
namespace {

namespace fs = std::filesystem;

const char* const kWords[] = {"사랑", "믿음", "소망", "은혜", "평강", "하나님의", "말씀을", "기도"};

// The Korean set's verses, a folder for the databases, and the 100,000-item database.
struct SStudyBench {
    CStoreSet m_stores;
    CBibleOrder m_order;
    std::vector<SVerse> m_arrVerses;
    std::string m_strFolder;
    CStudyDb m_db;
    CStudyDb m_notes;  // 10,000 notes for the search
    std::string m_strTsv;

    SStudyBench() {
        std::string error;
        if (!EnsureKoreanSet(KoreanSetFolder(), error) || !m_stores.OpenStores(KoreanSetFolder()))
            throw std::runtime_error("no Korean set: " + error);
        m_order.Load(m_stores);
        for (Testament t : {Testament::Old, Testament::New})
            for (const auto& book : m_stores.ReadBookList(t))
                for (const auto& key : m_stores.ReadReferenceList(t, book))
                    m_arrVerses.push_back({t, Utf16ToUtf8(key)});
        m_strFolder =
            fs::temp_directory_path() / ("tavrin-study-bench-" + std::to_string(getpid()));
        fs::remove_all(m_strFolder);
        fs::create_directories(m_strFolder);
        m_db.Open(m_strFolder + "/study.sqlite3");
        m_db.Import(Items(100000));
        m_notes.Open(m_strFolder + "/notes.sqlite3");
        std::vector<SStudyItem> notes;
        for (size_t i = 0; i < 10000; ++i) notes.push_back(Note(i * 3 % m_arrVerses.size(), i));
        m_notes.Import(notes);
        m_strTsv = ExportTsv(m_db.List(), m_order);
        // bench/compare's reader starts with such a database in its data folder.
        if (const char* keep = std::getenv("TAVRIN_BENCH_STUDY_DB")) {
            CStudyDb kept;
            if (kept.Open(keep) != CStudyDb::EOpen::Opened || !kept.Import(Items(100000)))
                throw std::runtime_error(std::string("cannot make ") + keep);
        }
    }
    ~SStudyBench() { fs::remove_all(m_strFolder); }

    SStudyItem Note(size_t verse, size_t i) const {
        std::string text;
        for (size_t w = 0; w < 12; ++w) text += std::string(kWords[(i * 7 + w * 3) % 8]) + ' ';
        text += std::to_string(i);
        return {0,
                EItemKind::Note,
                m_arrVerses[verse],
                {},
                text,
                int64_t(1.7e9) + int64_t(i),
                int64_t(1.7e9) + int64_t(i)};
    }
    // A highlight on every verse, a bookmark on every third, the rest notes spread evenly.
    std::vector<SStudyItem> Items(size_t count) const {
        std::vector<SStudyItem> items;
        for (size_t v = 0; v < m_arrVerses.size(); ++v) {
            items.push_back({0, EItemKind::Highlight, m_arrVerses[v], "yellow", {}, 1, 1});
            if (v % 3 == 0)
                items.push_back({0, EItemKind::Bookmark, m_arrVerses[v], "표시", {}, 1, 1});
        }
        for (size_t i = 0; items.size() < count; ++i)
            items.push_back(Note(i * 7 % m_arrVerses.size(), i));
        return items;
    }
};

SStudyBench& Bench() {
    static SStudyBench bench;
    return bench;
}

void Chapter(benchmark::State& state) {
    SStudyBench& b = Bench();
    const auto chapter = SplitVerseKey(Utf8ToUtf16(b.m_arrVerses[0].m_strKey), Testament::Old);
    const std::string name = Utf16ToUtf8(chapter->m_strChapter);
    for (auto _ : state) benchmark::DoNotOptimize(b.m_db.ChapterItems(Testament::Old, name));
}
BENCHMARK(Chapter)->Name("study/chapter_of_100000")->Unit(benchmark::kMicrosecond);

void AddOne(benchmark::State& state) {
    SStudyBench& b = Bench();
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(b.m_db.AddNote(b.m_arrVerses[i++ % 100], "새 메모"));
}
BENCHMARK(AddOne)->Name("study/add_one_committed")->Unit(benchmark::kMicrosecond)->UseRealTime();

void Export(benchmark::State& state) {
    SStudyBench& b = Bench();
    for (auto _ : state) benchmark::DoNotOptimize(ExportTsv(b.m_db.List(), b.m_order));
}
BENCHMARK(Export)->Name("study/export_100000")->Unit(benchmark::kMillisecond)->UseRealTime();

void Import(benchmark::State& state) {
    SStudyBench& b = Bench();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CStudyDb db;
        db.Open(b.m_strFolder + "/import-" + std::to_string(round++) + ".sqlite3");
        state.ResumeTiming();
        const SReadItems read = ReadTsv(b.m_strTsv, b.m_order);
        if (!read.IsGood() || !db.Import(read.m_arrItems))
            state.SkipWithError("the import failed");
    }
}
BENCHMARK(Import)->Name("study/import_100000")->Unit(benchmark::kMillisecond)->UseRealTime();

// Each keystroke of "하나님의 사랑" typed: a new query over the 10,000 notes.
void Search(benchmark::State& state) {
    SStudyBench& b = Bench();
    const std::u16string typed = u"하나님의 사랑";
    size_t at = 0;
    for (auto _ : state) {
        at = at % typed.size() + 1;
        benchmark::DoNotOptimize(b.m_notes.FindNotes(CSearchQuery(typed.substr(0, at))));
    }
}
BENCHMARK(Search)->Name("study/note_search_10000")->Unit(benchmark::kMillisecond);

// ot1-nt2-year started a year ago with every reading marked.
struct SPlanBench {
    CStudyDb m_db;
    int64_t m_nId = 0;

    SPlanBench() {
        SStudyBench& b = Bench();
        m_db.Open(b.m_strFolder + "/plans.sqlite3");
        CPlanBook book(m_db);
        const SSetChapters chapters = ReadSetChapters(b.m_stores);
        m_nId = book.Start(MakePlan(chapters, "ot1-nt2-year").m_plan, chapters, 20000).value_or(0);
        m_db.Connection().Exec(
            "INSERT INTO plan_mark SELECT plan, day, position, 1"
            " FROM plan_reading");
    }
};

// What the 통독 panel reads to show a plan: the plans listed, the chosen one loaded with its
// days and marks, and its progress today.
void PanelModel(benchmark::State& state) {
    static SPlanBench b;
    size_t read = 0;
    for (auto _ : state) {
        CPlanBook book(b.m_db);
        benchmark::DoNotOptimize(book.List());
        const std::optional<SStartedPlan> plan = book.Load(b.m_nId);
        if (!plan) {
            state.SkipWithError("no plan");
            return;
        }
        read = PlanProgress(*plan, 20000 + 365).m_nRead;
    }
    state.SetLabel(std::to_string(read) + " readings marked");
}
BENCHMARK(PanelModel)->Name("study/plan_panel_year")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavrin::bench

int main(int argc, char** argv) {
    return tavrin::bench::RunRegistered(argc, argv);
}
