// History.h - back and forward through the passages the reader has shown, and
// the small text form the state file keeps them in.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "StoreSet.h"

namespace tavrin {

// One passage shown: the testament, the book as the book list names it, and
// the reference as its list holds it ("창1:1", "요3: 16").
struct SHistoryEntry {
    Testament m_testament = Testament::New;
    std::u16string m_strBook;
    std::u16string m_strReference;

    bool operator==(const SHistoryEntry&) const = default;
};

// Tells whether an entry can still be shown (its book and reference are in
// the set now open). History never reads the stores itself.
using HistoryExists = std::function<bool(const SHistoryEntry&)>;

// The passages shown, oldest first, and the one shown now. Visit records a
// new passage; Back and Forward step, skipping entries that no longer exist.
class CHistory {
public:
    // Entries kept; the oldest goes when a new one would pass this.
    static constexpr size_t kMaxEntries = 100;
    // A longer line of the text form is not one History wrote and is skipped.
    static constexpr size_t kMaxLineBytes = 1024;

    // Records entry as the passage shown now:
    // - the same as the current entry: nothing changes (so showing an entry
    //   that Back or Forward returned records nothing);
    // - the same testament, book and chapter (a reference's part up to and
    //   including its first ':') as the current entry: the current entry
    //   takes entry's reference, and the entries ahead of it stay;
    // - otherwise: the entries ahead of the current one are dropped, entry is
    //   appended and becomes current, and the oldest entry is dropped when
    //   more than kMaxEntries are held.
    // An entry without a book or a reference is ignored.
    void Visit(const SHistoryEntry& entry);

    // Moves to the nearest entry before (Back) or after (Forward) the current
    // one for which exists is true (an empty exists accepts every entry) and
    // returns it. Entries passed over stay in the history. Nullopt, with
    // nothing changed, when there is none.
    std::optional<SHistoryEntry> Back(const HistoryExists& exists = {});
    std::optional<SHistoryEntry> Forward(const HistoryExists& exists = {});
    // Whether Back / Forward would move now (to enable their commands).
    bool CanGoBack(const HistoryExists& exists = {}) const;
    bool CanGoForward(const HistoryExists& exists = {}) const;

    // The entry shown now; null when the history is empty.
    const SHistoryEntry* Current() const;
    const std::vector<SHistoryEntry>& Entries() const { return m_arrEntries; }
    // Index of the current entry in Entries(); -1 when empty.
    int CurrentIndex() const { return m_nCurrent; }
    void Clear();

    // The text form: UTF-8, one line per entry, oldest first, each
    // "old|new<TAB>book<TAB>reference", the current entry's line starting
    // with '*'. A backslash, CR or LF in a name is written as "\\", "\r",
    // "\n". Empty for an empty history.
    std::string Format() const;
    // Reads the text form. A damaged line (wrong field count, an unknown
    // testament, an empty or invalid UTF-8 field, a bad escape, a line longer
    // than kMaxLineBytes) is skipped; of more than kMaxEntries entries the
    // newest are kept. The current entry is the first marked one, or the
    // last entry when none is marked (or the marked one was skipped or
    // dropped). Never fails.
    static CHistory Parse(std::string_view text);

private:
    std::optional<int> Step(int direction, const HistoryExists& exists) const;

    std::vector<SHistoryEntry> m_arrEntries;
    int m_nCurrent = -1;
};

}  // namespace tavrin
