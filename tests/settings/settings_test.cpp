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

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
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

// Runs first in its own process under CTest, so the globals are untouched.
TEST_F(SettingsFile, StartupValuesAndFirstSaveAreTheDefaultBytes) {
    EXPECT_EQ(EncodeSettings(g_colorItems), kDefaultFile);
    EXPECT_EQ(g_colorItems[kColorItemCount].pszName, nullptr);
    EXPECT_EQ(QString::fromUtf16(g_colorItems[1].pszName), QString::fromUtf8("배경색"));
    ASSERT_TRUE(SaveSettingsFile(m_path, g_colorItems));
    EXPECT_EQ(ReadAll(m_path), kDefaultFile);
}

TEST_F(SettingsFile, EditedValuesLandAtTheirOffsetsAndReadBack) {
    g_nMainFontSize = 20;
    g_nChapterFontSize = 28;
    g_colorItems[4].crColor = MakeColor(10, 20, 30);
    ASSERT_TRUE(SaveSettingsFile(m_path, g_colorItems));
    QByteArray expected = kDefaultFile;
    expected.replace(16, 4, QByteArray::fromHex("0A141E00"));
    expected.replace(32, 8, QByteArray::fromHex("140000001C000000"));
    EXPECT_EQ(ReadAll(m_path), expected);

    ResetDisplaySettings(g_colorItems);
    ASSERT_TRUE(LoadSettingsFile(m_path, g_colorItems));
    EXPECT_EQ(g_nMainFontSize, 20);
    EXPECT_EQ(g_nChapterFontSize, 28);
    EXPECT_EQ(g_colorItems[4].crColor, 0x001E140Au);
    EXPECT_EQ(EncodeSettings(g_colorItems), expected);
}

TEST_F(SettingsFile, FaceLengthFormsRoundTrip) {
    const struct {
        int chars;
        QByteArray lengthBytes;
    } cases[] = {
        {0, QByteArray(1, '\0')},
        {11, "\x0B"},
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
        const QByteArray bytes = ReadAll(m_path);
        EXPECT_EQ(bytes.size(), 43 + c.lengthBytes.size() + 2 * c.chars);
        EXPECT_EQ(bytes.mid(40, 3 + c.lengthBytes.size()), "\xFF\xFE\xFF" + c.lengthBytes);
        g_strFontFace.clear();
        ASSERT_TRUE(LoadSettingsFile(m_path, g_colorItems));
        EXPECT_EQ(g_strFontFace, face);
    }
    // Saving replaces: a shorter face leaves a shorter file.
    g_strFontFace = "Tahoma";
    ASSERT_TRUE(SaveSettingsFile(m_path, g_colorItems));
    EXPECT_EQ(ReadAll(m_path), kDefaultFile);
}

TEST_F(SettingsFile, DamagedFilesChangeNothing) {
    const auto withTail = [](qsizetype keep, const char* hex) {
        return kDefaultFile.left(keep) + QByteArray::fromHex(hex);
    };
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", {}},
        {"one byte", "\x01"},
        {"colours only", kDefaultFile.left(32)},
        {"no string", kDefaultFile.left(40)},
        {"marker only", kDefaultFile.left(43)},
        {"face cut short", kDefaultFile.left(55)},
        {"bad marker byte", withTail(40, "FEFEFF0141")},
        {"bad marker word", withTail(40, "FFFFFE0141")},
        {"8-bit string past end", withTail(40, "0641424344")},
        {"length past end", withTail(40, "FFFEFF0A41004200")},
        {"16-bit length cut", withTail(40, "FFFEFFFF01")},
        {"16-bit length past end", withTail(40, "FFFEFFFF00014100")},
        {"absurd 32-bit length", withTail(40, "FFFEFFFFFFFFFFFFFFFF4100")},
        {"marker twice", withTail(40, "FFFEFFFFFEFF0141004200")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetDisplaySettings(g_colorItems);
        g_colorItems[0].crColor = 0x123456;
        g_nMainFontSize = 99;
        const QByteArray before = EncodeSettings(g_colorItems);
        EXPECT_FALSE(DecodeSettings(c.bytes, g_colorItems));
        ASSERT_TRUE(WriteAll(m_path, c.bytes));
        EXPECT_FALSE(LoadSettingsFile(m_path, g_colorItems));
        EXPECT_EQ(EncodeSettings(g_colorItems), before);
    }
    // A face stored as 8-bit code page text is read as such.
    for (const char* hex : {"04B1BCB8B2", "FF0400B1BCB8B2", "FFFFFF04000000B1BCB8B2"}) {
        SCOPED_TRACE(hex);
        g_strFontFace.clear();
        EXPECT_TRUE(DecodeSettings(withTail(40, hex), g_colorItems));
        EXPECT_EQ(g_strFontFace, QString::fromUtf8("굴림"));
    }
    // Bytes after a complete face are ignored, like the archive reader does.
    EXPECT_TRUE(DecodeSettings(withTail(56, "DEADBEEF"), g_colorItems));
    EXPECT_EQ(EncodeSettings(g_colorItems), kDefaultFile);
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
    EXPECT_TRUE(path.startsWith(m_dir.filePath("cfg")));
    EXPECT_TRUE(path.endsWith("/tavrin_.dat"));
    EXPECT_TRUE(QFileInfo(path).dir().exists());
}

}  // namespace
