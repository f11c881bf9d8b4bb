// RawStore.h - every record of one store file, read with the engine directly.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tavrin {

// Tessdb reaches records only by key; checking a set's framing and dumping
// it need every record, including those no list leads to, so this walks the
// database file itself (read-only).
class CRawStore {
public:
    // Reads every record of the store file at path. Returns false with error
    // set when the file is missing or is not a database of the engine.
    bool Load(const std::string& path, std::string& error);

    // Records by key. The key is the stored key without its terminating NUL
    // when it has one; the value is the stored bytes as they are.
    const std::map<std::string, std::string>& Records() const { return m_mapRecords; }
    // Stored keys that lack the terminating NUL or hold a NUL inside, which
    // no reader can look up.
    const std::map<std::string, std::string>& BadKeys() const { return m_mapBadKeys; }

    // What is wrong with a record's framing (a 32-bit little-endian length L,
    // then L bytes of text ending in its only NUL); empty when it is right.
    static std::string FramingProblem(std::string_view stored);

private:
    std::map<std::string, std::string> m_mapRecords;
    std::map<std::string, std::string> m_mapBadKeys;
};

}  // namespace tavrin
