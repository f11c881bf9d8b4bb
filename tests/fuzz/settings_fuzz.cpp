// settings_fuzz.cpp - display settings files of arbitrary bytes.
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "DisplaySettings.h"
#include "FuzzCheck.h"

namespace {

struct Snapshot {
    uint32_t colors[kColorItemCount];
    int32_t mainSize;
    int32_t chapterSize;
    QString face;

    static Snapshot Take(const COLORITEM* items) {
        Snapshot s{};
        for (int i = 0; i < kColorItemCount; ++i) s.colors[i] = items[i].crColor;
        s.mainSize = g_nMainFontSize;
        s.chapterSize = g_nChapterFontSize;
        s.face = g_strFontFace;
        return s;
    }
    bool operator==(const Snapshot& o) const {
        for (int i = 0; i < kColorItemCount; ++i)
            if (colors[i] != o.colors[i])
                return false;
        return mainSize == o.mainSize && chapterSize == o.chapterSize && face == o.face;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    COLORITEM items[kColorItemCount + 1];
    ResetDisplaySettings(items);
    items[kColorItemCount] = {nullptr, 0};
    const Snapshot defaults = Snapshot::Take(items);

    // fromRawData: any read past the input's end is ASan's to see.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!DecodeSettings(bytes, items)) {
        // Rejected whole: not one value of the file in force.
        FUZZ_CHECK(Snapshot::Take(items) == defaults);
        return 0;
    }
    FUZZ_CHECK(bytes.startsWith(EncodeSettings(items).left(40)));
    // What was read is saved in the one form and reads back the same.
    const Snapshot read = Snapshot::Take(items);
    const QByteArray saved = EncodeSettings(items);
    ResetDisplaySettings(items);
    FUZZ_CHECK(DecodeSettings(saved, items));
    FUZZ_CHECK(Snapshot::Take(items) == read);
    return 0;
}
