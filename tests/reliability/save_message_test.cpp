// save_message_test.cpp - a failed note save says so and leaves the notes file as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>

#include "CommandIds.h"
#include "FileBytes.h"
#include "MainFrame.h"
#include "Messages.h"
#include "Notes.h"
#include "StoreFixture.h"
#include "TavrinApp.h"
#include "TavrinView.h"

// Qt keeps caches for the process's life; only the code under test is of interest.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace {

class SaveMessages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // A private home: the run never touches the user's files.
        static QTemporaryDir home;
        qputenv("HOME", home.path().toLocal8Bit());
        for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            qputenv(var, (home.path() + "/" + var).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());  // made owner-only
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "save_message_test";
        static char* argv[] = {name, nullptr};
        static CTavrinApp app(argc, argv);
    }

    void SetUp() override {
        m_fx.AddSampleSet();
        m_fx.Build();
        ASSERT_TRUE(CTavrinApp::Instance()->InitInstance(QString::fromStdString(m_fx.Folder())));
        SetMessageSinkForTesting([this](const QString& m) { m_arrMessages << m; });
        m_path = CTavrinView::NotesFilePath();
        ASSERT_TRUE(m_path.startsWith(qEnvironmentVariable("HOME") + "/"));
        QDir().mkpath(QFileInfo(m_path).absolutePath());
    }
    void TearDown() override {
        SetMessageSinkForTesting({});
        CTavrinApp::Instance()->ExitInstance();
        QFile::remove(m_path);
        QDir(m_path).removeRecursively();
    }
    void Save() { CTavrinApp::Instance()->MainFrame()->Action(ID_FILE_SAVE)->trigger(); }

    tavrin::test::CStoreFixture m_fx;
    QStringList m_arrMessages;
    QString m_path;
};

const QString kSaved = QString::fromStdU16String(std::u16string(tavrin::kNoteSavedMessage));

// One message per save: the failure when the save did not happen, never the
// confirmation; and the file as it was.
TEST_F(SaveMessages, AFailedSaveSaysSoAndChangesNothing) {
    const auto expectOneFailure = [&] {
        ASSERT_EQ(m_arrMessages.size(), 1);
        EXPECT_NE(m_arrMessages[0], kSaved);
        EXPECT_TRUE(m_arrMessages[0].contains(QStringLiteral("저장하지 못했습니다")));
        m_arrMessages.clear();
    };
    // A folder where the file belongs.
    QDir().mkpath(m_path + "/x");
    Save();
    expectOneFailure();
    EXPECT_TRUE(QDir(m_path + "/x").exists());
    QDir(m_path).removeRecursively();

    Save();
    ASSERT_EQ(m_arrMessages, QStringList{kSaved});
    m_arrMessages.clear();
    const std::string earlier = tavrin::test::ReadBytes(m_path.toStdString());
    ASSERT_FALSE(earlier.empty());

    // The disk fills ten bytes into the next record.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = static_cast<rlim_t>(earlier.size() + 10);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    expectOneFailure();
    EXPECT_EQ(tavrin::test::ReadBytes(m_path.toStdString()), earlier);
}

}  // namespace
