// PlanProgress.cpp - started plans, their marks and progress, kept in the study database.
#include "PlanProgress.h"

#include <ctime>

#include "CodePage.h"
#include "PassageMessages.h"

namespace tavrin {

namespace {

constexpr const char* kMarkByReading = "mark_by_reading";

}  // namespace

std::u16string DaySummary(const std::vector<SPlanReading>& readings) {
    std::u16string summary;
    for (size_t first = 0; first < readings.size();) {
        size_t last = first;
        while (last + 1 < readings.size() &&
               readings[last + 1].m_strBook == readings[first].m_strBook &&
               readings[last + 1].m_nChapter == readings[last].m_nChapter + 1)
            ++last;
        const std::u16string book = Utf8ToUtf16(readings[first].m_strBook);
        if (!summary.empty())
            summary += u", ";
        summary += book + u' ' + Utf8ToUtf16(std::to_string(readings[first].m_nChapter));
        if (last > first)
            summary += u'~' + Utf8ToUtf16(std::to_string(readings[last].m_nChapter));
        summary += ChapterCounter(book);
        first = last + 1;
    }
    return summary;
}

SPlanProgress PlanProgress(const SStartedPlan& plan, int64_t today) {
    SPlanProgress progress;
    progress.m_nToday = today - plan.m_nStartDay + 1;
    for (size_t d = 0; d < plan.m_arrDays.size(); ++d) {
        const int day = static_cast<int>(d) + 1;
        size_t read = 0;
        for (size_t p = 0; p < plan.m_arrDays[d].size(); ++p) {
            if (plan.m_arrDays[d][p].m_bRead)
                ++read;
            else if (day < progress.m_nToday)
                progress.m_arrBehind.push_back({day, static_cast<int>(p)});
        }
        progress.m_nRead += read;
        progress.m_nTotal += plan.m_arrDays[d].size();
        EDayState state = EDayState::NotYet;
        if (read == plan.m_arrDays[d].size())
            state = EDayState::Done;
        else if (read > 0)
            state = EDayState::Partly;
        else if (day > progress.m_nToday)
            state = EDayState::Future;
        progress.m_arrDayStates.push_back(state);
    }
    if (progress.m_nTotal > 0)
        progress.m_nPercent = static_cast<int>(progress.m_nRead * 100 / progress.m_nTotal);
    return progress;
}

bool CPlanBook::Fail(const std::string& what) {
    m_strError = what + ": " + m_db.Connection().LastError();
    return false;
}

std::optional<int64_t> CPlanBook::Start(const SPlan& plan, const SSetChapters& chapters,
                                        int64_t startDay) {
    if (plan.Readings() == 0) {
        m_strError = "the plan has no chapters";
        return std::nullopt;
    }
    CSqlite& db = m_db.Connection();
    CTransaction transaction(db);
    CStatement insert(db, "INSERT INTO plan(plan_id, name, start_day) VALUES(?, ?, ?)");
    if (!transaction.IsBegun() || !insert.Bind(1, plan.m_strId)
                                       .Bind(2, Utf16ToUtf8(plan.m_strName))
                                       .Bind(3, startDay)
                                       .Run()) {
        Fail("cannot start the plan");
        return std::nullopt;
    }
    const int64_t id = db.QueryInt("SELECT last_insert_rowid()");
    CStatement reading(db,
                       "INSERT INTO plan_reading(plan, day, position, testament, book, chapter,"
                       " number) VALUES(?, ?, ?, ?, ?, ?, ?)");
    for (size_t d = 0; d < plan.m_arrDays.size(); ++d) {
        for (size_t p = 0; p < plan.m_arrDays[d].size(); ++p) {
            const SPlanChapter& chapter = chapters.m_arrChapters.at(plan.m_arrDays[d][p]);
            const SPlanBook& book = chapters.m_arrBooks.at(chapter.m_nBook);
            reading.Reset();
            if (!reading.Bind(1, id)
                     .Bind(2, static_cast<int64_t>(d + 1))
                     .Bind(3, static_cast<int64_t>(p))
                     .Bind(4, TestamentCode(book.m_testament))
                     .Bind(5, Utf16ToUtf8(book.m_strName))
                     .Bind(6, Utf16ToUtf8(chapter.m_strChapter))
                     .Bind(7, chapter.m_nChapter)
                     .Run()) {
                Fail("cannot store the plan's days");
                return std::nullopt;
            }
        }
    }
    if (!transaction.Commit()) {
        Fail("cannot commit");
        return std::nullopt;
    }
    return id;
}

std::vector<SStartedPlan> CPlanBook::List() {
    std::vector<SStartedPlan> plans;
    CStatement select(m_db.Connection(),
                      "SELECT id, plan_id, name, start_day, stopped,"
                      " (SELECT count(*) FROM plan_reading WHERE plan = p.id),"
                      " (SELECT count(*) FROM plan_mark WHERE plan = p.id)"
                      " FROM plan p ORDER BY stopped, id");
    while (select.Step()) {
        SStartedPlan& plan = plans.emplace_back();
        plan.m_nId = select.Int(0);
        plan.m_strPlanId = select.Text(1);
        plan.m_strName = select.Text(2);
        plan.m_nStartDay = select.Int(3);
        plan.m_bStopped = select.Int(4) != 0;
        plan.m_nReadings = static_cast<size_t>(select.Int(5));
        plan.m_nRead = static_cast<size_t>(select.Int(6));
    }
    if (select.Failed())
        Fail("cannot read the plans");
    return plans;
}

std::optional<SStartedPlan> CPlanBook::Load(int64_t id) {
    std::optional<SStartedPlan> plan;
    for (SStartedPlan& listed : List())
        if (listed.m_nId == id)
            plan = std::move(listed);
    if (!plan) {
        m_strError = "no plan " + std::to_string(id);
        return std::nullopt;
    }
    CStatement select(m_db.Connection(),
                      "SELECT r.day, r.testament, r.book, r.chapter, r.number, m.marked IS NOT NULL"
                      " FROM plan_reading r LEFT JOIN plan_mark m USING(plan, day, position)"
                      " WHERE r.plan = ? ORDER BY r.day, r.position");
    select.Bind(1, id);
    while (select.Step()) {
        const auto day = static_cast<size_t>(select.Int(0));
        if (plan->m_arrDays.size() < day)
            plan->m_arrDays.resize(day);
        plan->m_arrDays[day - 1].push_back(
            {TestamentOfCode(select.Int(1)), std::string(select.Text(2)),
             std::string(select.Text(3)), static_cast<int>(select.Int(4)), select.Int(5) != 0});
    }
    if (select.Failed()) {
        Fail("cannot read the plan's days");
        return std::nullopt;
    }
    return plan;
}

bool CPlanBook::SetRead(int64_t id, SPlanPlace place, bool read) {
    CSqlite& db = m_db.Connection();
    CTransaction transaction(db);
    CStatement exists(db, "SELECT 1 FROM plan_reading WHERE plan = ? AND day = ? AND position = ?");
    exists.Bind(1, id).Bind(2, place.m_nDay).Bind(3, place.m_nPosition);
    if (!transaction.IsBegun() || !exists.Step()) {
        m_strError = "the plan has no such reading";
        return false;
    }
    CStatement change(db,
                      read ? "INSERT OR IGNORE INTO plan_mark VALUES(?, ?, ?, ?)"
                           : "DELETE FROM plan_mark WHERE plan = ? AND day = ? AND position = ?");
    change.Bind(1, id).Bind(2, place.m_nDay).Bind(3, place.m_nPosition);
    if (read)
        change.Bind(4, static_cast<int64_t>(std::time(nullptr)));
    return (change.Run() && transaction.Commit()) || Fail("cannot mark the reading");
}

bool CPlanBook::ChangePlan(CStatement& change, int64_t id, const char* failed,
                           const char* missing) {
    if (!change.Run())
        return Fail(failed);
    if (m_db.Connection().Changes() == 0) {
        m_strError = missing + std::to_string(id);
        return false;
    }
    return true;
}

bool CPlanBook::SetStartDay(int64_t id, int64_t startDay) {
    CStatement update(m_db.Connection(), "UPDATE plan SET start_day = ? WHERE id = ?");
    return ChangePlan(update.Bind(1, startDay).Bind(2, id), id, "cannot change the start",
                      "no plan ");
}

bool CPlanBook::Stop(int64_t id) {
    CStatement update(m_db.Connection(), "UPDATE plan SET stopped = 1 WHERE id = ?");
    return ChangePlan(update.Bind(1, id), id, "cannot stop the plan", "no plan ");
}

bool CPlanBook::Delete(int64_t id) {
    CStatement remove(m_db.Connection(), "DELETE FROM plan WHERE id = ? AND stopped = 1");
    return ChangePlan(remove.Bind(1, id), id, "cannot delete the plan", "no stopped plan ");
}

std::vector<int64_t> CPlanBook::MarkChapterRead(Testament testament, std::string_view chapter,
                                                int64_t today) {
    CSqlite& db = m_db.Connection();
    CTransaction transaction(db);
    // A day holds at most the Bible twice, so day * 100000 + position orders and parts whole.
    CStatement find(db,
                    "SELECT r.plan, min(r.day * 100000 + r.position) FROM plan_reading r"
                    " JOIN plan p ON p.id = r.plan"
                    " LEFT JOIN plan_mark m USING(plan, day, position)"
                    " WHERE p.stopped = 0 AND r.testament = ? AND r.chapter = ?"
                    " AND r.day <= ? - p.start_day + 1 AND m.marked IS NULL"
                    " GROUP BY r.plan ORDER BY r.plan");
    find.Bind(1, TestamentCode(testament)).Bind(2, chapter).Bind(3, today);
    std::vector<std::pair<int64_t, int64_t>> first;
    while (find.Step()) first.emplace_back(find.Int(0), find.Int(1));
    CStatement mark(db, "INSERT INTO plan_mark VALUES(?, ?, ?, ?)");
    std::vector<int64_t> marked;
    for (const auto& [plan, at] : first) {
        mark.Reset();
        if (!mark.Bind(1, plan)
                 .Bind(2, at / 100000)
                 .Bind(3, at % 100000)
                 .Bind(4, static_cast<int64_t>(std::time(nullptr)))
                 .Run()) {
            Fail("cannot mark the chapter");
            return {};
        }
        marked.push_back(plan);
    }
    if (!transaction.IsBegun() || find.Failed() || !transaction.Commit()) {
        Fail("cannot mark the chapter");
        return {};
    }
    return marked;
}

bool CPlanBook::MarkByReading() {
    CStatement select(m_db.Connection(), "SELECT value FROM setting WHERE name = ?");
    return select.Bind(1, kMarkByReading).Step() && select.Text(0) == "1";
}

bool CPlanBook::SetMarkByReading(bool on) {
    CStatement upsert(m_db.Connection(), "INSERT OR REPLACE INTO setting VALUES(?, ?)");
    return upsert.Bind(1, kMarkByReading).Bind(2, on ? "1" : "0").Run() ||
           Fail("cannot keep the option");
}

}  // namespace tavrin
