// settings_test.cpp - the display settings file's bytes, refusals and failed
// saves that keep the old file.
#include "DisplaySettings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>

#include "ChildProcess.h"
#include "FailingCalls.h"

namespace {

using tavrin::test::ECall;
using tavrin::test::InChild;

const QByteArray kDefaultFile = QByteArray::fromHex(
    "00000000EBFACD0000000000FCEDE10000004D00F0F2E600FFFF8700000000000D0000000D000000"
    "FFFEFF065400610068006F006D006100");

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A settings file of head (colours and sizes) and face, its length as lengthBytes.
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
    void TearDown() override { ResetDisplaySettings(g_colorItems); }
    // Other values, with a face long enough that its save takes several writes.
    static void SetNewValues(int faceLength) {
        for (int i = 0; i < kColorItemCount; ++i) g_colorItems[i].crColor = MakeColor(i, 2 * i, 3);
        g_nMainFontSize = 28;
        g_nChapterFontSize = -1;
        g_strFontFace = QString(faceLength, QChar(u'굴'));
    }
    // The old file is still there, whole, and nothing beside it.
    void ExpectOldFileAlone(const QByteArray& old) {
        EXPECT_EQ(ReadAll(m_path), old);
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"tavrin_.dat"});
    }

    QTemporaryDir m_dir;
    QString m_path;
};

TEST_F(SettingsFile, EveryFieldAndFaceLengthRoundTrips) {
    g_colorItems[4].crColor = MakeColor(10, 20, 30);
    g_colorItems[7].crColor = MakeColor(1, 2, 3);
    g_nMainFontSize = 20;
    g_nChapterFontSize = 28;
    QByteArray head = kDefaultFile.left(40);
    head.replace(16, 4, QByteArray::fromHex("0A141E00"));
    head.replace(28, 4, QByteArray::fromHex("01020300"));
    head.replace(32, 8, QByteArray::fromHex("140000001C000000"));
    // Face lengths at each step of the string length's form, and the length's bytes.
    const std::pair<int, const char*> cases[] = {{0, "00"},
                                                 {254, "FE"},
                                                 {255, "FFFF00"},
                                                 {0xFFFD, "FFFDFF"},
                                                 {0xFFFE, "FFFFFFFEFF0000"},
                                                 {70000, "FFFFFF70110100"}};
    for (const auto& [chars, length] : cases) {
        SCOPED_TRACE(chars);
        QString face;
        for (int i = 0; i < chars; ++i) face += QChar(i % 2 ? u'가' + i % 50 : u'a' + i % 26);
        g_strFontFace = face;
        ASSERT_TRUE(SaveSettingsFile(m_path, g_colorItems));
        const QByteArray file = FaceFile(face, QByteArray::fromHex(length), head);
        EXPECT_EQ(ReadAll(m_path), file);
        ResetDisplaySettings(g_colorItems);
        ASSERT_TRUE(LoadSettingsFile(m_path, g_colorItems));
        EXPECT_EQ(EncodeSettings(g_colorItems), file);
    }
    // Saving replaces: the defaults leave the shorter default file.
    ResetDisplaySettings(g_colorItems);
    ASSERT_TRUE(SaveSettingsFile(m_path, g_colorItems));
    EXPECT_EQ(ReadAll(m_path), kDefaultFile);
    EXPECT_FALSE(SaveSettingsFile(m_dir.filePath("no/such/folder/tavrin_.dat"), g_colorItems));
    qputenv("XDG_CONFIG_HOME", m_dir.filePath("cfg").toLocal8Bit());
    const QString path = SettingsFilePath();
    EXPECT_TRUE(path.startsWith(m_dir.filePath("cfg/")) && path.endsWith("/tavrin_.dat"));
    EXPECT_TRUE(QFileInfo(path).dir().exists());
}

// Rows with a null face must be refused and change nothing; the others are read.
TEST_F(SettingsFile, DamagedFilesChangeNothing) {
    const auto withTail = [](qsizetype keep, const char* hex) {
        return kDefaultFile.left(keep) + QByteArray::fromHex(hex);
    };
    const QString gulim = QString::fromUtf8("굴림");
    const std::tuple<const char*, QByteArray, QString> cases[] = {
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
    for (const auto& [name, bytes, face] : cases) {
        ResetDisplaySettings(g_colorItems);
        g_colorItems[0].crColor = 0x123456;
        g_nMainFontSize = 99;
        const QByteArray before = EncodeSettings(g_colorItems);
        EXPECT_EQ(DecodeSettings(bytes, g_colorItems), !face.isNull()) << name;
        // Read means the whole file applied: its colours and sizes too.
        EXPECT_EQ(EncodeSettings(g_colorItems),
                  face.isNull() ? before : FaceFile(face, QByteArray(1, char(face.size()))))
            << name;
    }
}

// No file, one past the size limit, a FIFO, a device: refused whole, never
// waited on; a save replaces the FIFO.
TEST_F(SettingsFile, FilesThatAreNotOursAreRefusedWhole) {
    SetNewValues(10);
    const QByteArray valid = EncodeSettings(g_colorItems);
    ResetDisplaySettings(g_colorItems);
    const QString fifo = m_dir.filePath("fifo.dat");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", m_dir.filePath("device.dat")));
    QFile file(m_dir.filePath("large.dat"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(valid) == valid.size());
    file.close();
    // At the size limit it is still read, the zeros after the face ignored.
    ASSERT_TRUE(file.resize(qint64(1) << 20));
    EXPECT_TRUE(LoadSettingsFile(file.fileName(), g_colorItems));
    EXPECT_EQ(EncodeSettings(g_colorItems), valid);
    ResetDisplaySettings(g_colorItems);
    ASSERT_TRUE(file.resize((qint64(1) << 20) + 1));
    for (const char* name : {"missing.dat", "large.dat", "fifo.dat", "device.dat"}) {
        const auto load = [&] { return LoadSettingsFile(m_dir.filePath(name), g_colorItems); };
        // A blocked open ends the child by its alarm.
        EXPECT_EQ(
            InChild([&] { return load() || EncodeSettings(g_colorItems) != kDefaultFile; }, 10), 0)
            << name;
    }
    ASSERT_TRUE(SaveSettingsFile(fifo, g_colorItems));
    EXPECT_EQ(ReadAll(fifo), kDefaultFile);
}

// A write refused at any byte, a failed sync or rename: the old file stays, alone.
TEST_F(SettingsFile, EveryFailingStepOfASaveKeepsTheOldFile) {
    ASSERT_TRUE(SaveSettingsFile(m_path, g_colorItems));
    SetNewValues(300);
    const qsizetype size = EncodeSettings(g_colorItems).size();
    for (qsizetype limit = 0; limit < size; limit += 31) {
        const rlimit small{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
        EXPECT_EQ(InChild([&] {
                      std::signal(SIGXFSZ, SIG_IGN);
                      return setrlimit(RLIMIT_FSIZE, &small) != 0 ||
                             SaveSettingsFile(m_path, g_colorItems);
                  }),
                  0)
            << limit;
        ExpectOldFileAlone(kDefaultFile);
    }
    for (ECall call : {ECall::Write, ECall::Fsync, ECall::Rename}) {
        tavrin::test::FailCall(call, 1);
        EXPECT_FALSE(SaveSettingsFile(m_path, g_colorItems)) << static_cast<int>(call);
        ExpectOldFileAlone(kDefaultFile);
    }
    EXPECT_TRUE(SaveSettingsFile(m_path, g_colorItems));
    EXPECT_EQ(ReadAll(m_path), EncodeSettings(g_colorItems));
}

}  // namespace
