// settings_fault_test.cpp - the display settings file when a save is killed or its writes fail.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <random>

#include "ChildProcess.h"
#include "DisplaySettings.h"

namespace {

using tavrin::test::InChild;

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SettingsFaults : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath("tavrin_.dat");
        ResetDisplaySettings(g_colorItems);
        m_old = EncodeSettings(g_colorItems);
        ASSERT_TRUE(SaveSettingsFile(m_path, g_colorItems));
    }
    void TearDown() override { ResetDisplaySettings(g_colorItems); }

    // Other values, with a face long enough that its save takes several writes.
    static void SetNewValues(int faceLength) {
        for (int i = 0; i < kColorItemCount; ++i) g_colorItems[i].crColor = MakeColor(i, 2 * i, 3);
        g_nMainFontSize = 28;
        g_nChapterFontSize = -1;
        g_strFontFace = QString(faceLength, QChar(u'굴'));
    }

    QTemporaryDir m_dir;
    QString m_path;
    QByteArray m_old;
};

// A process killed at a random moment while it saves, again and again: the
// file is always the old or the new one, whole, and reads back.
TEST_F(SettingsFaults, KilledMidSaveLeavesTheOldOrTheNewFile) {
    SetNewValues(100000);
    const QByteArray fresh = EncodeSettings(g_colorItems);
    ResetDisplaySettings(g_colorItems);
    std::mt19937 random(7);
    int sawNew = 0;
    for (int round = 0; round < 40; ++round) {
        const pid_t child = tavrin::test::StartChild([&] {
            for (int i = 0;; ++i) {
                i % 2 ? SetNewValues(100000) : ResetDisplaySettings(g_colorItems);
                SaveSettingsFile(m_path, g_colorItems);
            }
            return 0;
        });
        ASSERT_GT(child, 0);
        usleep(1000 + random() % 20000);
        kill(child, SIGKILL);
        tavrin::test::WaitChild(child);
        const QByteArray now = ReadAll(m_path);
        ASSERT_TRUE(now == m_old || now == fresh)
            << "round " << round << ": " << now.size() << " bytes";
        ASSERT_TRUE(LoadSettingsFile(m_path, g_colorItems));
        sawNew += now == fresh;
        ResetDisplaySettings(g_colorItems);
    }
    // The saves did land: the kills caught the file both ways.
    EXPECT_GT(sawNew, 0);
}

// The file system refusing the save's writes at any byte: the save says so
// and the old file stays whole, with no temporary file left beside it.
TEST_F(SettingsFaults, EveryFailingWriteKeepsTheOldFile) {
    SetNewValues(300);
    const qsizetype size = EncodeSettings(g_colorItems).size();
    for (qsizetype limit = 0; limit < size; limit += 31) {
        SCOPED_TRACE(limit);
        EXPECT_EQ(InChild([&] {
                      std::signal(SIGXFSZ, SIG_IGN);
                      const rlimit small{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
                      setrlimit(RLIMIT_FSIZE, &small);
                      return SaveSettingsFile(m_path, g_colorItems) ? 1 : 0;
                  }),
                  0);
        ASSERT_EQ(ReadAll(m_path), m_old);
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"tavrin_.dat"});
    }
}

// What is not a settings file of ours is refused whole, without blocking,
// without being read into memory and without taking a value from it: a valid
// file followed by megabytes of zeros, a FIFO, a device. The next save puts a
// file in the FIFO's place.
TEST_F(SettingsFaults, FilesThatAreNotOursAreRefusedWhole) {
    SetNewValues(10);
    const QByteArray valid = EncodeSettings(g_colorItems);
    ResetDisplaySettings(g_colorItems);
    const QString fifo = m_dir.filePath("fifo.dat");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", m_dir.filePath("device.dat")));
    for (qint64 size : {qint64(2) << 20, qint64(64) << 20}) {
        QFile file(m_dir.filePath(QString::number(size)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(valid), valid.size());
        ASSERT_TRUE(file.resize(size));
    }
    const auto refused = [&](const char* name) {
        if (LoadSettingsFile(m_dir.filePath(name), g_colorItems))
            return 1;
        return EncodeSettings(g_colorItems) == m_old ? 0 : 2;
    };
    for (const char* name : {"2097152", "67108864", "fifo.dat", "device.dat"}) {
        SCOPED_TRACE(name);
        // A blocked open ends the child by its alarm.
        EXPECT_EQ(InChild([&] { return refused(name); }, 10), 0);
    }
    ASSERT_TRUE(SaveSettingsFile(fifo, g_colorItems));
    EXPECT_EQ(ReadAll(fifo), m_old);
}

}  // namespace
