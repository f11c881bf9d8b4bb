// DisplaySettings.h - the colours, font sizes and face the screens use, and
// the small binary file that keeps them between runs. No widgets here.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// One colour item: display name and colour as 0x00BBGGRR (red lowest).
struct COLORITEM {
    const char16_t* pszName;  // null ends the table
    uint32_t crColor;
};

inline constexpr int kColorItemCount = 8;

// The eight items in file order, then the end marker.
extern COLORITEM g_colorItems[kColorItemCount + 1];
extern int32_t g_nMainFontSize;     // pixel height of the navigator's text
extern int32_t g_nChapterFontSize;  // pixel height of the chapter reader's text
extern QString g_strFontFace;       // face of both fonts
// The pixel heights fonts are made with, whatever size a file holds.
inline constexpr int kMinFontPixels = 6;
inline constexpr int kMaxFontPixels = 200;
// The pixel height a font gets for a stored size: a negative size means the
// same height as its absolute value; the result is held to kMinFontPixels ..
// kMaxFontPixels, so no stored value can make text vanish or swamp a pane.
int FontPixelSize(int32_t storedSize);
// The sizes the colours dialog offers, in list order.
inline constexpr int g_arFontSizes[10] = {13, 14, 15, 16, 18, 20, 22, 24, 26, 28};

inline int RedOf(uint32_t c) {
    return static_cast<int>(c & 0xFF);
}
inline int GreenOf(uint32_t c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline int BlueOf(uint32_t c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
inline uint32_t MakeColor(int r, int g, int b) {
    return static_cast<uint32_t>(r) + static_cast<uint32_t>(g) * 256u +
           static_cast<uint32_t>(b) * 65536u;
}

// Puts the built-in defaults back into items, the sizes and the face.
void ResetDisplaySettings(COLORITEM* items);

// The file's bytes for items and the current sizes and face.
QByteArray EncodeSettings(const COLORITEM* items);
// Applies bytes to items, sizes and face only when the whole file is valid;
// otherwise changes nothing and returns false. Never reads past bytes' end.
bool DecodeSettings(const QByteArray& bytes, COLORITEM* items);

// Reads the file at path. False (nothing changed) when there is no file, it is
// not a regular file (a FIFO, a device, a folder), it is empty, or it is
// rejected by DecodeSettings.
bool LoadSettingsFile(const QString& path, COLORITEM* items);
// Writes the file at path through a temporary file renamed over the old one,
// so a crash leaves the old or the new file, never a cut one. False on failure.
bool SaveSettingsFile(const QString& path, const COLORITEM* items);

// name in the user's configuration folder (the folder is created).
QString ConfigFilePath(const QString& name);
// "tavrin_.dat" there.
QString SettingsFilePath();
