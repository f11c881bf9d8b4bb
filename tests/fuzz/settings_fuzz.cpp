// settings_fuzz.cpp - display settings files of arbitrary bytes.
#include <QByteArray>

#include "DisplaySettings.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    COLORITEM items[kColorItemCount + 1];
    ResetDisplaySettings(items);
    items[kColorItemCount] = {nullptr, 0};
    const QByteArray defaults = EncodeSettings(items);  // every value a file sets
    // fromRawData: any read past the input's end is ASan's to see.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!DecodeSettings(bytes, items)) {
        FUZZ_CHECK(EncodeSettings(items) == defaults);  // rejected whole: no value in force
        return 0;
    }
    // What was read is saved in the one form and reads back the same.
    const QByteArray saved = EncodeSettings(items);
    FUZZ_CHECK(bytes.startsWith(saved.left(40)));
    ResetDisplaySettings(items);
    FUZZ_CHECK(DecodeSettings(saved, items) && EncodeSettings(items) == saved);
    return 0;
}
