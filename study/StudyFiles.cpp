// StudyFiles.cpp - opening the study database safely, moving damaged files aside, daily backups.
#include "StudyFiles.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tavrin {

namespace fs = std::filesystem;

namespace {

std::string LocalStamp(std::time_t now, const char* format) {
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof(text), format, &local);
    return text;
}

enum class ECheck { Healthy, Damaged, Newer, Unreadable };

// Looks at an existing file read-only: nothing in it is written.
ECheck CheckExisting(const std::string& path) {
    CSqlite db;
    if (!db.Open(path, true, false))
        return ECheck::Unreadable;
    const int64_t version = db.QueryInt("PRAGMA user_version");
    if (version < 0) {
        const int code = db.LastCode();
        return code == SQLITE_NOTADB || code == SQLITE_CORRUPT ? ECheck::Damaged
                                                               : ECheck::Unreadable;
    }
    if (version > kStudySchemaVersion)
        return ECheck::Newer;
    const std::string check = db.QueryText("PRAGMA quick_check");
    if (check == "ok")
        return ECheck::Healthy;
    const int code = db.LastCode();
    return check.empty() && code != SQLITE_NOTADB && code != SQLITE_CORRUPT ? ECheck::Unreadable
                                                                            : ECheck::Damaged;
}

// Renames path and its -wal / -shm files with suffix; false when the main file stays.
bool MoveAside(const std::string& path, const std::string& suffix, std::string* movedTo) {
    std::error_code error;
    std::string target = path + suffix;
    for (int n = 2; fs::exists(target, error); ++n)
        target = path + suffix + "-" + std::to_string(n);
    fs::rename(path, target, error);
    if (error)
        return false;
    *movedTo = target;
    const std::string tail = target.substr(path.size());
    for (const char* side : {"-wal", "-shm"}) {
        if (fs::exists(path + side, error))
            fs::rename(path + side, path + side + tail, error);
    }
    return true;
}

// The study-YYYYMMDD.sqlite3 files of backupFolder, oldest first.
std::vector<std::string> Backups(const std::string& backupFolder) {
    std::vector<std::string> backups;
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(backupFolder, code)) {
        const std::string file = entry.path().filename().string();
        if (file.size() == 22 && file.starts_with("study-") && file.ends_with(".sqlite3"))
            backups.push_back(entry.path().string());
    }
    std::sort(backups.begin(), backups.end());
    return backups;
}

}  // namespace

std::string StudyDatabasePath(const EnvLookup& env) {
    const std::string home = XdgDataHome(env);
    return home.empty() ? std::string() : home + "tavrin/" + kStudyFileName;
}

std::string StudyBackupFolder(const std::string& databasePath) {
    return fs::path(databasePath).parent_path().string() + "/backup/";
}

SStudyOpen OpenStudyDatabase(CStudyDb& db, const std::string& path, std::time_t now) {
    SStudyOpen result;
    std::error_code error;
    const fs::path folder = fs::path(path).parent_path();
    if (!folder.empty())
        fs::create_directories(folder, error);
    if (error) {
        result.m_strMessage = "cannot make the folder " + folder.string() + ": " + error.message();
        return result;
    }
    const bool exists = fs::exists(path, error);
    const ECheck check =
        exists && fs::file_size(path, error) > 0 ? CheckExisting(path) : ECheck::Healthy;
    if (check == ECheck::Newer) {
        result.m_status = SStudyOpen::EStatus::Newer;
        result.m_strMessage = path + " was written by a newer Tavrin; it is left as it is";
        return result;
    }
    if (check == ECheck::Damaged) {
        if (!MoveAside(path, LocalStamp(now, ".damaged-%Y%m%d-%H%M%S"), &result.m_strMovedTo)) {
            result.m_strMessage = path + " is damaged and cannot be moved aside";
            return result;
        }
        result.m_strNewestBackup = NewestBackup(StudyBackupFolder(path));
        result.m_strMessage =
            path + " was damaged: it is kept as " + result.m_strMovedTo +
            " and a new one is started; the newest backup is " +
            (result.m_strNewestBackup.empty() ? std::string("(none)") : result.m_strNewestBackup);
    }
    switch (db.Open(path)) {
        case CStudyDb::EOpen::Opened:
            result.m_status = check == ECheck::Damaged ? SStudyOpen::EStatus::Recovered
                                                       : SStudyOpen::EStatus::Opened;
            break;
        case CStudyDb::EOpen::Newer:
            result.m_status = SStudyOpen::EStatus::Newer;
            result.m_strMessage = db.LastError();
            break;
        case CStudyDb::EOpen::Failed:
            result.m_status = SStudyOpen::EStatus::Failed;
            result.m_strMessage = db.LastError();
            break;
    }
    return result;
}

bool DailyBackup(CStudyDb& db, const std::string& backupFolder, std::time_t now,
                 std::string* error) {
    const auto fail = [error](const std::string& why) {
        if (error != nullptr)
            *error = why;
        return false;
    };
    if (!db.IsOpen())
        return fail("the database is not open");
    std::error_code code;
    fs::create_directories(backupFolder, code);
    if (code)
        return fail("cannot make " + backupFolder + ": " + code.message());
    const std::string name = backupFolder + LocalStamp(now, "study-%Y%m%d.sqlite3");
    if (!fs::exists(name, code)) {
        const std::string partial = name + ".part";
        CSqlite copy;
        if (!copy.Open(partial, false, true))
            return fail("cannot write " + partial);
        sqlite3_backup* backup =
            sqlite3_backup_init(copy.Handle(), "main", db.Connection().Handle(), "main");
        const bool done = backup != nullptr && sqlite3_backup_step(backup, -1) == SQLITE_DONE;
        sqlite3_backup_finish(backup);
        copy.Close();
        if (done)
            fs::rename(partial, name, code);
        if (!done || code) {
            fs::remove(partial, code);
            return fail("cannot copy the database to " + name);
        }
    }
    const std::vector<std::string> backups = Backups(backupFolder);
    for (size_t i = 0; i + kBackupsKept < backups.size(); ++i) fs::remove(backups[i], code);
    return true;
}

std::string NewestBackup(const std::string& backupFolder) {
    const std::vector<std::string> backups = Backups(backupFolder);
    return backups.empty() ? std::string() : backups.back();
}

}  // namespace tavrin
