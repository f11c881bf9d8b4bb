// settings_test.cpp - the display settings file: exact bytes, round trips,
// refusal of damaged files, and saves that fail without harming the old file.
#include "DisplaySettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <csignal>

namespace {

const QByteArray kDefaultFile = QByteArray::fromHex(
    "00000000EBFACD0000000000FCEDE10000004D00F0F2E600FFFF8700000000000D0000000D000000"
    "FFFEFF065400610068006F006D006100");

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A file of the colours and sizes in head (the default ones unless given) and
// face, its length written as lengthBytes.
QByteArray FaceFile(const QString& face, const QByteArray& lengthBytes,
                    const QByteArray& head = kDefaultFile.left(40)) {
    const QByteArray units(reinterpret_cast<const char*>(face.utf16()), 2 * face.size());
    return head + "\xFF\xFE\xFF" + lengthBytes + units;
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDisplaySettings(g_colorItems);
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath("tavrin_.dat");
    }
    QTemporaryDir m_dir;
    QString m_path;
};

TEST_F(SettingsFile, EveryFieldAndFaceLengthRoundTrips) {
    g_colorItems[4].crColor = MakeColor(10, 20, 30);
    g_nMainFontSize = 20;
    g_nChapterFontSize = 28;
    QByteArray head = kDefaultFile.left(40);
    head.replace(16, 4, QByteArray::fromHex("0A141E00"));
    head.replace(32, 8, QByteArray::fromHex("140000001C000000"));
    const struct {
        int chars;
        QByteArray lengthBytes;
    } cases[] = {
        {0, QByteArray(1, '\0')},
        {254, "\xFE"},
        {255, QByteArray::fromHex("FFFF00")},
        {0xFFFD, QByteArray::fromHex("FFFDFF")},
        {0xFFFE, QByteArray::fromHex("FFFFFFFEFF0000")},
        {70000, QByteArray::fromHex("FFFFFF70110100")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chars);
        QString face;
        for (int i = 0; i < c.chars; ++i) face += QChar(i % 2 ? u'가' + i % 50 : u'a' + i % 26);
        g_strFontFace = face;
        ASSERT_TRUE(SaveSettingsFile(m_path, g_colorItems));
        const QByteArray file = FaceFile(face, c.lengthBytes, head);
        EXPECT_EQ(ReadAll(m_path), file);
        ResetDisplaySettings(g_colorItems);
        ASSERT_TRUE(LoadSettingsFile(m_path, g_colorItems));
        EXPECT_EQ(EncodeSettings(g_colorItems), file);
    }
    // Saving replaces: the defaults leave the shorter default file.
    ResetDisplaySettings(g_colorItems);
    ASSERT_TRUE(SaveSettingsFile(m_path, g_colorItems));
    EXPECT_EQ(ReadAll(m_path), kDefaultFile);
}

// Rows with a null face must be refused and change nothing; the others are read.
TEST_F(SettingsFile, DamagedFilesChangeNothing) {
    const auto withTail = [](qsizetype keep, const char* hex) {
        return kDefaultFile.left(keep) + QByteArray::fromHex(hex);
    };
    const QString gulim = QString::fromUtf8("굴림");
    const struct {
        const char* name;
        QByteArray bytes;
        QString face;
    } cases[] = {
        {"empty", {}, {}},
        {"one byte", "\x01", {}},
        {"colours only", kDefaultFile.left(32), {}},
        {"no string", kDefaultFile.left(40), {}},
        {"marker only", kDefaultFile.left(43), {}},
        {"face cut short", kDefaultFile.left(55), {}},
        {"8-bit string past end", withTail(40, "0641424344"), {}},
        {"16-bit length cut", withTail(40, "FFFEFFFF01"), {}},
        {"16-bit length past end", withTail(40, "FFFEFFFF00014100"), {}},
        {"absurd 32-bit length", withTail(40, "FFFEFFFFFFFFFFFFFFFF4100"), {}},
        {"marker twice", withTail(40, "FFFEFFFFFEFF0141004200"), {}},
        // A face stored as 8-bit code page text is read as such.
        {"code page, 8-bit length", withTail(40, "04B1BCB8B2"), gulim},
        {"code page, 16-bit length", withTail(40, "FF0400B1BCB8B2"), gulim},
        {"code page, 32-bit length", withTail(40, "FFFFFF04000000B1BCB8B2"), gulim},
        // Bytes after a complete face are ignored, like the archive reader does.
        {"trailing bytes", withTail(56, "DEADBEEF"), "Tahoma"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetDisplaySettings(g_colorItems);
        g_colorItems[0].crColor = 0x123456;
        g_nMainFontSize = 99;
        const QByteArray before = EncodeSettings(g_colorItems);
        const bool ok = !c.face.isNull();
        EXPECT_EQ(DecodeSettings(c.bytes, g_colorItems), ok);
        // Read means the whole file applied: its colours and sizes too.
        EXPECT_EQ(EncodeSettings(g_colorItems),
                  ok ? FaceFile(c.face, QByteArray(1, char(c.face.size()))) : before);
    }
    EXPECT_FALSE(LoadSettingsFile(m_dir.filePath("missing.dat"), g_colorItems));
}

TEST_F(SettingsFile, FailedSaveKeepsTheOldFile) {
    EXPECT_FALSE(SaveSettingsFile(m_dir.filePath("no/such/folder/tavrin_.dat"), g_colorItems));

    ASSERT_TRUE(SaveSettingsFile(m_path, g_colorItems));
    // A file-size limit below the new file's size makes its write fail half way.
    g_strFontFace = QString(200, u'x');
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveSettingsFile(m_path, g_colorItems);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadAll(m_path), kDefaultFile);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"tavrin_.dat"});
}

TEST_F(SettingsFile, PathIsInTheConfigurationFolderWhichIsCreated) {
    qputenv("XDG_CONFIG_HOME", m_dir.filePath("cfg").toLocal8Bit());
    const QString path = SettingsFilePath();
    EXPECT_TRUE(path.startsWith(m_dir.filePath("cfg")) && path.endsWith("/tavrin_.dat"));
    EXPECT_TRUE(QFileInfo(path).dir().exists());
}

}  // namespace
