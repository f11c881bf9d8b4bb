// StudyFiles.h - the study database's files: where it lives, opening it with damage checks,
// moving a damaged one aside, and the daily backups.
#pragma once

#include <ctime>
#include <string>

#include "StudyDb.h"
#include "XdgPaths.h"

namespace tavrin {

inline constexpr const char* kStudyFileName = "study.sqlite3";
inline constexpr size_t kBackupsKept = 7;

// XdgDataHome + "tavrin/study.sqlite3"; empty when there is no data home.
std::string StudyDatabasePath(const EnvLookup& env);
// The backup folder beside the database: its folder + "backup/".
std::string StudyBackupFolder(const std::string& databasePath);

struct SStudyOpen {
    enum class EStatus {
        Opened,     // ready
        Recovered,  // the old file was damaged, moved aside, and a new one started
        Newer,      // a newer schema: left untouched, nothing opened
        Failed,     // cannot be opened or created (an unwritable folder...): nothing opened
    };
    EStatus m_status = EStatus::Failed;
    std::string m_strMovedTo;       // Recovered: the damaged file's new name
    std::string m_strNewestBackup;  // Recovered: the newest backup, empty when none
    std::string m_strMessage;       // for the user: what happened, naming the files (not Opened)
};

// Opens the database at path, making its folder when missing. A file that is no
// database or fails quick_check is first looked at read-only, then renamed with
// its -wal and -shm files to NAME.damaged-YYYYMMDD-HHMMSS (local time now; never
// deleted or written), and a new one is started.
SStudyOpen OpenStudyDatabase(CStudyDb& db, const std::string& path, std::time_t now);

// The day's backup: when backupFolder (made when missing) holds no
// study-YYYYMMDD.sqlite3 of now's local date, copies the open database there with
// SQLite's backup API (through a temporary name, so a copy cut short is never
// taken for one), then removes all but the newest kBackupsKept. True when the
// day's copy is there; *error says why not.
bool DailyBackup(CStudyDb& db, const std::string& backupFolder, std::time_t now,
                 std::string* error = nullptr);
// The newest backup's path in backupFolder, or empty.
std::string NewestBackup(const std::string& backupFolder);

}  // namespace tavrin
