// DisplaySettings.cpp - the display settings' defaults and their file form.
#include "DisplaySettings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "CodePage.h"
#include "ColorScheme.h"
#include "FileIo.h"
#include "ZoomSteps.h"

namespace {

struct DefaultItem {
    const char16_t* pszName;
    uint32_t crColor;
};

constexpr std::array<DefaultItem, kColorItemCount> kDefaultItems = {{
    {u"배경글", tavrin::kDefaultColors[0]},
    {u"배경색", tavrin::kDefaultColors[1]},
    {u"Viewer 1 글자", tavrin::kDefaultColors[2]},
    {u"Viewer 1 바탕", tavrin::kDefaultColors[3]},
    {u"List 1 글자", tavrin::kDefaultColors[4]},
    {u"List 1 바탕", tavrin::kDefaultColors[5]},
    {u"Viewer 2 글자", tavrin::kDefaultColors[6]},
    {u"Viewer 2 바탕", tavrin::kDefaultColors[7]},
}};

constexpr int32_t kDefaultFontSize = tavrin::kDefaultZoomSize;
constexpr char16_t kDefaultFace[] = u"Tahoma";

// No real settings file comes near this; a bigger one is not ours and is not
// read into memory.
constexpr qint64 kMaxFileBytes = 1 << 20;

// The archive's wide-string marker: the byte FF, then the 16-bit value FFFE.
constexpr uint8_t kMarkerByte = 0xFF;
constexpr uint16_t kMarkerWord = 0xFFFE;

void PutU16(QByteArray& out, uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

void PutU32(QByteArray& out, uint32_t v) {
    PutU16(out, static_cast<uint16_t>(v & 0xFFFF));
    PutU16(out, static_cast<uint16_t>(v >> 16));
}

// Reads little-endian values off a byte array; every read checks what is left
// first, so a short or lying file fails instead of reading past its end.
class Reader {
public:
    explicit Reader(const QByteArray& bytes) : m_bytes(bytes) {}

    qsizetype Left() const { return m_bytes.size() - m_pos; }

    std::optional<uint8_t> U8() {
        if (Left() < 1)
            return std::nullopt;
        return static_cast<uint8_t>(m_bytes[m_pos++]);
    }
    std::optional<uint16_t> U16() {
        if (Left() < 2)
            return std::nullopt;
        const uint16_t lo = static_cast<uint8_t>(m_bytes[m_pos]);
        const uint16_t hi = static_cast<uint8_t>(m_bytes[m_pos + 1]);
        m_pos += 2;
        return static_cast<uint16_t>(lo | (hi << 8));
    }
    std::optional<uint32_t> U32() {
        const auto lo = U16();
        if (!lo)
            return std::nullopt;
        const auto hi = U16();
        if (!hi)
            return std::nullopt;
        return static_cast<uint32_t>(*lo) | (static_cast<uint32_t>(*hi) << 16);
    }
    const char* Take(qsizetype n) {
        if (n < 0 || Left() < n)
            return nullptr;
        const char* p = m_bytes.constData() + m_pos;
        m_pos += n;
        return p;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

// Stands for the wide-string marker where a length was expected.
constexpr int64_t kMarkerLength = -1;

// The archive's string length after its first byte b: b itself below 255,
// else 16 bits below 0xFFFE, else FF FFFF and 32 bits; FF FFFE is the marker.
std::optional<int64_t> ReadLengthAfter(uint8_t b, Reader& in) {
    if (b != 0xFF)
        return b;
    const auto w = in.U16();
    if (!w)
        return std::nullopt;
    if (*w == kMarkerWord)
        return kMarkerLength;
    if (*w != 0xFFFF)
        return *w;
    const auto d = in.U32();
    if (!d)
        return std::nullopt;
    return *d;
}

// The face as the archive stores a string: after the wide marker, n UTF-16LE
// code units; without it, n bytes of code page 949, which we never write but
// read as the device did.
std::optional<QString> ReadArchiveString(Reader& in) {
    const auto first = in.U8();
    if (!first)
        return std::nullopt;
    auto n = ReadLengthAfter(*first, in);
    if (!n)
        return std::nullopt;
    qsizetype unitBytes = 1;
    if (*n == kMarkerLength) {
        unitBytes = 2;
        const auto b = in.U8();
        if (!b)
            return std::nullopt;
        n = ReadLengthAfter(*b, in);
        // A second marker where the length belongs is not a length.
        if (!n || *n == kMarkerLength)
            return std::nullopt;
    }
    if (static_cast<qint64>(*n) * unitBytes > in.Left())
        return std::nullopt;
    const qsizetype units = static_cast<qsizetype>(*n);
    const char* p = in.Take(units * unitBytes);
    if (!p)
        return std::nullopt;
    if (unitBytes == 1) {
        const std::u16string wide = tavrin::AnsiToWide(std::string_view(p, units));
        return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
    }
    QString s(units, Qt::Uninitialized);
    for (qsizetype i = 0; i < units; ++i) {
        const auto lo = static_cast<uint8_t>(p[2 * i]);
        const auto hi = static_cast<uint8_t>(p[2 * i + 1]);
        s[i] = QChar(static_cast<char16_t>(lo | (hi << 8)));
    }
    return s;
}

void PutWideString(QByteArray& out, const QString& s) {
    out.append(static_cast<char>(kMarkerByte));
    PutU16(out, kMarkerWord);
    const auto n = static_cast<uint64_t>(s.size());
    if (n < 0xFF) {
        out.append(static_cast<char>(n));
    } else if (n < 0xFFFE) {
        out.append(static_cast<char>(0xFF));
        PutU16(out, static_cast<uint16_t>(n));
    } else {
        out.append(static_cast<char>(0xFF));
        PutU16(out, 0xFFFF);
        PutU32(out, static_cast<uint32_t>(n));
    }
    for (QChar c : s) PutU16(out, c.unicode());
}

}  // namespace

COLORITEM g_colorItems[kColorItemCount + 1] = {
    {kDefaultItems[0].pszName, kDefaultItems[0].crColor},
    {kDefaultItems[1].pszName, kDefaultItems[1].crColor},
    {kDefaultItems[2].pszName, kDefaultItems[2].crColor},
    {kDefaultItems[3].pszName, kDefaultItems[3].crColor},
    {kDefaultItems[4].pszName, kDefaultItems[4].crColor},
    {kDefaultItems[5].pszName, kDefaultItems[5].crColor},
    {kDefaultItems[6].pszName, kDefaultItems[6].crColor},
    {kDefaultItems[7].pszName, kDefaultItems[7].crColor},
    {nullptr, 0},
};
int32_t g_nMainFontSize = kDefaultFontSize;
int32_t g_nChapterFontSize = kDefaultFontSize;
QString g_strFontFace = QString::fromUtf16(kDefaultFace);

void ResetDisplaySettings(COLORITEM* items) {
    if (items) {
        for (int i = 0; i < kColorItemCount; ++i) {
            items[i].pszName = kDefaultItems[i].pszName;
            items[i].crColor = kDefaultItems[i].crColor;
        }
    }
    g_nMainFontSize = kDefaultFontSize;
    g_nChapterFontSize = kDefaultFontSize;
    g_strFontFace = QString::fromUtf16(kDefaultFace);
}

int FontPixelSize(int32_t storedSize) {
    const int64_t height = storedSize < 0 ? -static_cast<int64_t>(storedSize) : storedSize;
    return static_cast<int>(std::clamp<int64_t>(height, kMinFontPixels, kMaxFontPixels));
}

QByteArray EncodeSettings(const COLORITEM* items) {
    QByteArray out;
    out.reserve(44 + 2 * g_strFontFace.size());
    for (int i = 0; i < kColorItemCount; ++i) PutU32(out, items[i].crColor);
    PutU32(out, static_cast<uint32_t>(g_nMainFontSize));
    PutU32(out, static_cast<uint32_t>(g_nChapterFontSize));
    PutWideString(out, g_strFontFace);
    return out;
}

bool DecodeSettings(const QByteArray& bytes, COLORITEM* items) {
    if (!items)
        return false;
    // Everything is parsed before anything is applied: a bad file must not
    // leave half of its values in force. Bytes after the face are ignored,
    // as the archive reader ignores what it is not asked for.
    Reader in(bytes);
    std::array<uint32_t, kColorItemCount> colors{};
    for (auto& c : colors) {
        const auto v = in.U32();
        if (!v)
            return false;
        c = *v;
    }
    const auto mainSize = in.U32();
    const auto chapterSize = in.U32();
    if (!mainSize || !chapterSize)
        return false;
    auto face = ReadArchiveString(in);
    if (!face)
        return false;

    for (int i = 0; i < kColorItemCount; ++i) items[i].crColor = colors[i];
    g_nMainFontSize = static_cast<int32_t>(*mainSize);
    g_nChapterFontSize = static_cast<int32_t>(*chapterSize);
    g_strFontFace = std::move(*face);
    return true;
}

bool LoadSettingsFile(const QString& path, COLORITEM* items) {
    // Only a regular file holds settings: opening a FIFO would block start-up
    // until some writer came, and a device never ends.
    uint64_t size = 0;
    const int fd = tavrin::OpenRegularFile(QFile::encodeName(path).toStdString(),
                                           static_cast<uint64_t>(kMaxFileBytes), &size);
    if (fd < 0)
        return false;
    const tavrin::CFileCloser closer(fd);
    if (size == 0)
        return false;
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    if (!tavrin::ReadExactly(fd, bytes.data(), static_cast<size_t>(size)))
        return false;
    return DecodeSettings(bytes, items);
}

bool SaveSettingsFile(const QString& path, const COLORITEM* items) {
    if (!items)
        return false;
    const QByteArray bytes = EncodeSettings(items);
    return tavrin::ReplaceFile(QFile::encodeName(path).toStdString(),
                               {std::string_view(bytes.constData(), bytes.size())}, true);
}

QString ConfigFilePath(const QString& name) {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(dir);
    return QDir(dir).filePath(name);
}

QString SettingsFilePath() {
    return ConfigFilePath(QStringLiteral("tavrin_.dat"));
}
