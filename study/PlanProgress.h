// PlanProgress.h - reading plans followed in the study database: their days fixed when started,
// read marks, the reader's marking option, and progress against today.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Plan.h"
#include "StudyDb.h"

namespace tavrin {

// Dates are day numbers: days since 1970-01-01 in the civil calendar (the
// user's local date, as the caller counts it).

// One chapter reading of a started plan, as stored when the plan started.
struct SPlanReading {
    Testament m_testament = Testament::Old;
    std::string m_strBook;     // UTF-8, as the set's book list named it
    std::string m_strChapter;  // chapter reference with ':' ("창1:", "마1:")
    int m_nChapter = 0;
    bool m_bRead = false;
};

// A reading's address: day 1.. of the plan, position 0.. within the day.
struct SPlanPlace {
    int m_nDay = 1;
    int m_nPosition = 0;
    bool operator==(const SPlanPlace&) const = default;
};

struct SStartedPlan {
    int64_t m_nId = 0;
    std::string m_strPlanId;  // "bible-year", "custom:롬-갈:30"
    std::string m_strName;    // UTF-8
    int64_t m_nStartDay = 0;
    bool m_bStopped = false;
    size_t m_nReadings = 0;
    size_t m_nRead = 0;
    // Filled by CPlanBook::Load only: m_arrDays[d - 1] is day d.
    std::vector<std::vector<SPlanReading>> m_arrDays;
};

enum class EDayState {
    Done,    // every chapter read
    Partly,  // some read
    NotYet,  // none read, the day is today or past
    Future,  // none read, the day is still to come
};

struct SPlanProgress {
    size_t m_nRead = 0;
    size_t m_nTotal = 0;
    int m_nPercent = 0;    // rounded down: 100 only when all is read
    int64_t m_nToday = 0;  // today's day of the plan: < 1 before the start, > days after the end
    std::vector<SPlanPlace> m_arrBehind;    // unread chapters of days before today, in order
    std::vector<EDayState> m_arrDayStates;  // [d - 1] for day d
};

// A day's readings in short, for the schedule: each run of one book's
// consecutive chapters once, runs joined by ", " ("창세기 1~3장, 마태복음 1장";
// psalms counted in 편), so the two runs of a day never read as one span.
std::u16string DaySummary(const std::vector<SPlanReading>& readings);

// Progress of a plan loaded with its days, on day number today.
SPlanProgress PlanProgress(const SStartedPlan& plan, int64_t today);

// The started plans of an open study database. Every change runs in one
// transaction; a failed call returns false / nullopt and LastError() says why.
class CPlanBook {
public:
    explicit CPlanBook(CStudyDb& db) : m_db(db) {}

    // Stores plan (made from chapters) as started on startDay; its id.
    std::optional<int64_t> Start(const SPlan& plan, const SSetChapters& chapters, int64_t startDay);
    // Every started plan without its days, the followed ones first, each by id.
    std::vector<SStartedPlan> List();
    // The plan with id, its days and marks; nullopt when there is none.
    std::optional<SStartedPlan> Load(int64_t id);

    // Marks a reading read or unread; false when the plan has no such reading.
    bool SetRead(int64_t id, SPlanPlace place, bool read);
    // Moves the start; the marks stay on their readings.
    bool SetStartDay(int64_t id, int64_t startDay);
    // Stops following a plan, keeping it and its marks.
    bool Stop(int64_t id);
    // Deletes a stopped plan with its marks; a followed one is refused.
    bool Delete(int64_t id);

    // The reader has shown chapter (of testament) to its last verse: in each
    // followed plan, its first unread reading of that chapter on day number
    // today or earlier is marked. The plans marked, by id.
    std::vector<int64_t> MarkChapterRead(Testament testament, std::string_view chapter,
                                         int64_t today);

    // The option to mark by reading to the last verse (off until set).
    bool MarkByReading();
    bool SetMarkByReading(bool on);

    const std::string& LastError() const { return m_strError; }

private:
    bool Fail(const std::string& what);
    // Runs change, a statement on plan id: failed names a failure, missing (then the id) a plan
    // it did not touch.
    bool ChangePlan(CStatement& change, int64_t id, const char* failed, const char* missing);

    CStudyDb& m_db;
    std::string m_strError;
};

}  // namespace tavrin
