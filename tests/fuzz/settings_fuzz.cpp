// settings_fuzz.cpp - display settings files of arbitrary bytes.
#include <QByteArray>

#include "DisplaySettings.h"
#include "FuzzCheck.h"

namespace {

// Every value the file sets: the colours, both sizes and the face.
QString Snapshot(const COLORITEM* items) {
    QString s = QString("%1 %2").arg(g_nMainFontSize).arg(g_nChapterFontSize);
    for (int i = 0; i < kColorItemCount; ++i) s += ' ' + QString::number(items[i].crColor);
    return s + ' ' + g_strFontFace;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    COLORITEM items[kColorItemCount + 1];
    ResetDisplaySettings(items);
    items[kColorItemCount] = {nullptr, 0};
    const QString defaults = Snapshot(items);

    // fromRawData: any read past the input's end is ASan's to see.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!DecodeSettings(bytes, items)) {
        // Rejected whole: not one value of the file in force.
        FUZZ_CHECK(Snapshot(items) == defaults);
        return 0;
    }
    FUZZ_CHECK(bytes.startsWith(EncodeSettings(items).left(40)));
    // What was read is saved in the one form and reads back the same.
    const QString read = Snapshot(items);
    const QByteArray saved = EncodeSettings(items);
    ResetDisplaySettings(items);
    FUZZ_CHECK(DecodeSettings(saved, items));
    FUZZ_CHECK(Snapshot(items) == read);
    return 0;
}
