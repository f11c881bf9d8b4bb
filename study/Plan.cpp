// Plan.cpp - reading plans: chapter lengths read from a set, the balanced split and the plans.
#include "Plan.h"

#include <algorithm>
#include <charconv>
#include <numeric>
#include <unordered_set>

#include "Chapter.h"
#include "Checksum.h"
#include "CodePage.h"
#include "FileIo.h"
#include "Reference.h"
#include "SearchIndex.h"
#include "SetInfo.h"

namespace tavrin {

namespace {

constexpr SPlanInfo kBuiltIn[] = {
    {"bible-year", u"성경 1년 1독", 365},
    {"nt-90", u"신약 90일", 90},
    {"ot1-nt2-year", u"구약 1독·신약 2독", 365},
    {"ps-pr-31", u"시편·잠언 한 달", 31},
};

// Where a standard 39-book Old Testament keeps the two books ps-pr-31 reads,
// for a set that names them in another language.
constexpr size_t kPsalmsPlace = 18;
constexpr size_t kProverbsPlace = 19;
constexpr size_t kStandardOldBooks = 39;

size_t ChapterChars(void* textStore, std::u16string_view chapterReference, Testament testament,
                    std::u16string& buffer) {
    const std::string chapterKey = ToAnsiKey(chapterReference);
    std::string key;
    size_t chars = 0;
    for (int verse = 1; verse <= kMaxWholeChapterVerses; ++verse) {
        key = chapterKey;
        AppendVerseNumber(key, verse, testament);
        bool found = false;
        const std::string_view text = FetchRecordView(textStore, key, &found);
        if (!found)
            break;
        AnsiToWide(text, buffer);
        chars += CharacterCount(buffer);
    }
    return chars;
}

// A span of chapters read once or more over all of a plan's days.
struct SRun {
    size_t m_nFirst = 0;
    size_t m_nEnd = 0;  // exclusive
    int m_nRepeat = 1;

    size_t Readings() const { return (m_nEnd - m_nFirst) * static_cast<size_t>(m_nRepeat); }
};

// What a plan id asks for, before any split.
struct SPlanShape {
    EPlanError m_error = EPlanError::None;
    std::string m_strDetail;
    std::string m_strId;
    std::u16string m_strName;
    size_t m_nDays = 0;
    std::vector<SRun> m_arrRuns;  // each day reads its part of each run, in this order
};

SPlanShape Failed(EPlanError error, std::string detail) {
    SPlanShape shape;
    shape.m_error = error;
    shape.m_strDetail = std::move(detail);
    return shape;
}

SRun BookRun(const SPlanBook& book) {
    return {book.m_nFirst, book.m_nFirst + book.m_nCount, 1};
}

// A book of ps-pr-31: by its Korean name, else by its place in a standard
// Old Testament.
const SPlanBook* PlanBook(const SSetChapters& chapters, std::u16string_view name, size_t place) {
    const int found = chapters.FindBook(name);
    if (found >= 0)
        return &chapters.m_arrBooks[static_cast<size_t>(found)];
    size_t oldBooks = 0;
    for (const SPlanBook& book : chapters.m_arrBooks)
        oldBooks += book.m_testament == Testament::Old;
    return oldBooks == kStandardOldBooks ? &chapters.m_arrBooks[place] : nullptr;
}

constexpr std::string_view kCustomPrefix = "custom:";

// id is kCustomPrefix, then FIRST-LAST:DAYS.
SPlanShape CustomShape(const SSetChapters& chapters, std::string_view id) {
    const std::string_view range = id.substr(kCustomPrefix.size());
    const size_t colon = range.rfind(':');
    const size_t dash = range.find('-');
    if (colon == range.npos || dash == range.npos || dash > colon)
        return Failed(EPlanError::UnknownPlan, std::string(id));
    const std::string_view daysText = range.substr(colon + 1);
    int days = 0;
    const auto [end, error] =
        std::from_chars(daysText.data(), daysText.data() + daysText.size(), days);
    if (daysText.empty() || error != std::errc() || end != daysText.data() + daysText.size() ||
        days < 1 || days > kMaxPlanDays)
        return Failed(EPlanError::BadDays, std::string(daysText));
    const std::string_view firstName = range.substr(0, dash);
    const std::string_view lastName = range.substr(dash + 1, colon - dash - 1);
    const int first = chapters.FindBook(Utf8ToUtf16(firstName));
    if (first < 0)
        return Failed(EPlanError::UnknownBook, std::string(firstName));
    const int last = chapters.FindBook(Utf8ToUtf16(lastName));
    if (last < 0)
        return Failed(EPlanError::UnknownBook, std::string(lastName));
    if (last < first)
        return Failed(EPlanError::BooksBackwards, std::string(lastName));
    const SPlanBook& from = chapters.m_arrBooks[static_cast<size_t>(first)];
    const SPlanBook& to = chapters.m_arrBooks[static_cast<size_t>(last)];
    SPlanShape shape;
    shape.m_strId = id;
    shape.m_strName = from.m_strName + u'-' + to.m_strName + u' ' + Utf8ToUtf16(daysText) + u'일';
    shape.m_nDays = static_cast<size_t>(days);
    shape.m_arrRuns = {{from.m_nFirst, to.m_nFirst + to.m_nCount, 1}};
    return shape;
}

SPlanShape Shape(const SSetChapters& chapters, std::string_view id) {
    if (id.starts_with(kCustomPrefix))
        return CustomShape(chapters, id);
    const auto info = std::find_if(std::begin(kBuiltIn), std::end(kBuiltIn),
                                   [id](const SPlanInfo& p) { return p.m_strId == id; });
    if (info == std::end(kBuiltIn))
        return Failed(EPlanError::UnknownPlan, std::string(id));
    SPlanShape shape;
    shape.m_strId = id;
    shape.m_strName = info->m_strName;
    shape.m_nDays = static_cast<size_t>(info->m_nDays);
    const auto [oldFirst, oldEnd] = chapters.TestamentRange(Testament::Old);
    const auto [newFirst, newEnd] = chapters.TestamentRange(Testament::New);
    if (id == "bible-year") {
        shape.m_arrRuns = {{oldFirst, newEnd, 1}};
        if (oldFirst == oldEnd)  // a set of the New Testament alone
            shape.m_arrRuns[0].m_nFirst = newFirst;
    } else if (id == "nt-90") {
        shape.m_arrRuns = {{newFirst, newEnd, 1}};
    } else if (id == "ot1-nt2-year") {
        shape.m_arrRuns = {{oldFirst, oldEnd, 1}, {newFirst, newEnd, 2}};
    } else {
        const SPlanBook* psalms = PlanBook(chapters, u"시편", kPsalmsPlace);
        const SPlanBook* proverbs = PlanBook(chapters, u"잠언", kProverbsPlace);
        if (psalms == nullptr)
            return Failed(EPlanError::UnknownBook, "시편");
        if (proverbs == nullptr)
            return Failed(EPlanError::UnknownBook, "잠언");
        shape.m_arrRuns = {BookRun(*psalms), BookRun(*proverbs)};
    }
    return shape;
}

}  // namespace

int SSetChapters::FindBook(std::u16string_view name) const {
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t b = 0; b < m_arrBooks.size(); ++b) {
            const SPlanBook& book = m_arrBooks[b];
            if (pass == 0 ? SameBookName(book.m_strName, name) : book.m_strBookPart == name)
                return static_cast<int>(b);
        }
    }
    return -1;
}

std::pair<size_t, size_t> SSetChapters::TestamentRange(Testament testament) const {
    size_t first = m_arrChapters.size(), end = 0;
    for (const SPlanBook& book : m_arrBooks) {
        if (book.m_testament != testament || book.m_nCount == 0)
            continue;
        first = std::min(first, book.m_nFirst);
        end = std::max(end, book.m_nFirst + book.m_nCount);
    }
    return first < end ? std::pair{first, end} : std::pair{first, first};
}

namespace {

// Books and chapters of the set; each chapter's length from lengths when it
// holds one for every chapter, else counted from the text store.
SSetChapters ReadChapters(const CStoreSet& stores, const std::vector<uint32_t>* lengths) {
    SSetChapters set;
    if (!stores.AreStoresOpen())
        return set;
    std::u16string buffer;
    for (Testament t : {Testament::Old, Testament::New}) {
        for (std::u16string& name : stores.ReadBookList(t)) {
            SPlanBook& book = set.m_arrBooks.emplace_back();
            book.m_testament = t;
            book.m_nFirst = set.m_arrChapters.size();
            std::unordered_set<std::u16string> seen;
            for (const std::u16string& reference : stores.ReadReferenceList(t, name)) {
                std::u16string chapter = ChapterReference(reference);
                const auto parts = SplitChapterReference(chapter);
                if (!parts || !seen.insert(chapter).second)
                    continue;
                if (book.m_strBookPart.empty())
                    book.m_strBookPart = parts->m_strBookPart;
                const size_t index = set.m_arrChapters.size();
                SPlanChapter& read = set.m_arrChapters.emplace_back();
                read.m_nBook = set.m_arrBooks.size() - 1;
                read.m_nChapter = parts->m_nChapter;
                read.m_nChars = lengths != nullptr && index < lengths->size()
                                    ? (*lengths)[index]
                                    : ChapterChars(stores.TextStore(t), chapter, t, buffer);
                read.m_strChapter = std::move(chapter);
            }
            book.m_strName = std::move(name);
            book.m_nCount = set.m_arrChapters.size() - book.m_nFirst;
        }
    }
    if (lengths != nullptr && lengths->size() != set.m_arrChapters.size())
        return ReadChapters(stores, nullptr);
    return set;
}

// The cache file: magic, version, the stores' stamps, the chapter count, one
// 32-bit length per chapter, then a CChecksum of everything before it; every
// number little-endian.
constexpr char kLengthsMagic[8] = {'T', 'a', 'v', 'r', 'i', 'n', 'C', 'L'};
constexpr uint32_t kLengthsVersion = 1;
constexpr uint64_t kMaxLengthsBytes = uint64_t{16} << 20;

void PutLittle(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

uint64_t GetLittle(std::string_view in, size_t at, int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= uint64_t{static_cast<unsigned char>(in[at + static_cast<size_t>(i)])} << (8 * i);
    return value;
}

// What a file written from these stores begins with.
std::string LengthsHeader(const SStoreStamps& stores) {
    std::string header(kLengthsMagic, sizeof kLengthsMagic);
    PutLittle(header, kLengthsVersion, 4);
    AppendStoreStamps(header, stores);
    return header;
}

std::optional<std::vector<uint32_t>> LoadLengths(const std::string& path,
                                                 const SStoreStamps& stores) {
    const auto read = ReadRegularFile(path, kMaxLengthsBytes, true);
    const std::string header = LengthsHeader(stores);
    if (!read || read->size() < header.size() + 12 || read->compare(0, header.size(), header) != 0)
        return std::nullopt;
    const std::string& file = *read;
    const size_t size = file.size();
    const uint64_t count = GetLittle(file, header.size(), 4);
    if (size != header.size() + 4 + 4 * count + 8)
        return std::nullopt;
    CChecksum sum;
    sum.Add(file.data(), size - 8);
    if (sum.Value() != GetLittle(file, size - 8, 8))
        return std::nullopt;
    std::vector<uint32_t> lengths(count);
    for (size_t i = 0; i < count; ++i)
        lengths[i] = static_cast<uint32_t>(GetLittle(file, header.size() + 4 + 4 * i, 4));
    return lengths;
}

void SaveLengths(const std::string& path, const SStoreStamps& stores, const SSetChapters& set) {
    std::string file = LengthsHeader(stores);
    PutLittle(file, set.m_arrChapters.size(), 4);
    for (const SPlanChapter& chapter : set.m_arrChapters) PutLittle(file, chapter.m_nChars, 4);
    CChecksum sum;
    sum.Add(file);
    PutLittle(file, sum.Value(), 8);
    MakeFolderOf(path);
    // No fsync: a file cut short fails its checksum and is counted again.
    ReplaceFile(path, {file}, false);
}

}  // namespace

SSetChapters ReadSetChapters(const CStoreSet& stores) {
    return ReadChapters(stores, nullptr);
}

SSetChapters ReadSetChapters(const CStoreSet& stores, const std::string& folder,
                             const std::string& cacheFile, bool* fromCache) {
    if (fromCache != nullptr)
        *fromCache = false;
    // Taken before the stores are read, so that a change meanwhile leaves the file stale.
    const auto before = cacheFile.empty() ? std::nullopt : IdentifyStores(folder);
    if (!before)
        return ReadChapters(stores, nullptr);
    if (const auto lengths = LoadLengths(cacheFile, before->m_arrStores)) {
        SSetChapters set = ReadChapters(stores, &*lengths);
        if (fromCache != nullptr)
            *fromCache = set.m_arrChapters.size() == lengths->size();
        return set;
    }
    SSetChapters set = ReadChapters(stores, nullptr);
    const auto after = IdentifyStores(folder);
    if (!set.m_arrChapters.empty() && before->m_bSettled && after &&
        after->m_arrStores == before->m_arrStores)
        SaveLengths(cacheFile, before->m_arrStores, set);
    return set;
}

std::string ChapterCachePath(const std::string& folder) {
    return SetCachePath(folder, ".chapters", std::getenv);
}

namespace {

// Fewest days of at most cap each that weights fit in (first fit).
size_t FewestDays(std::span<const size_t> weights, size_t cap) {
    size_t days = 0, load = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        if (i == 0 || load + weights[i] > cap) {
            ++days;
            load = 0;
        }
        load += weights[i];
    }
    return days;
}

size_t Distance(size_t a, size_t b) {
    return a > b ? a - b : b - a;
}

}  // namespace

std::vector<size_t> BalancedSplit(std::span<const size_t> weights, size_t days) {
    const size_t n = weights.size();
    if (days == 0 || days > n)
        return {};
    // The least cap for the heaviest day; any split into fewer days splits
    // further into exactly days, since days <= n.
    size_t low = *std::max_element(weights.begin(), weights.end());
    size_t high = std::accumulate(weights.begin(), weights.end(), size_t{0});
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        if (FewestDays(weights, mid) <= days)
            high = mid;
        else
            low = mid + 1;
    }
    const size_t cap = low;
    std::vector<size_t> sums(n + 1, 0);
    for (size_t i = 0; i < n; ++i) sums[i + 1] = sums[i] + weights[i];
    // fewest[i]: the fewest days under cap for the items from i on.
    std::vector<size_t> fewest(n + 1, 0);
    for (size_t i = n, end = n; i-- > 0;) {
        while (sums[end] - sums[i] > cap) --end;
        fewest[i] = 1 + fewest[end];
    }
    // Each day ends, among the ends that leave the rest a split under cap
    // into the days left, where the reading so far comes nearest its even
    // share of the total; the earlier end on a tie.
    std::vector<size_t> ends;
    ends.reserve(days);
    for (size_t day = 0, start = 0; day < days; ++day) {
        const size_t left = days - day - 1;
        const size_t share = (day + 1) * sums[n];
        size_t best = n + 1;
        for (size_t end = start + 1; end <= n - left && sums[end] - sums[start] <= cap; ++end) {
            if (fewest[end] > left)
                continue;
            if (best > n || Distance(sums[end] * days, share) < Distance(sums[best] * days, share))
                best = end;
        }
        ends.push_back(best);
        start = best;
    }
    return ends;
}

size_t SPlan::Readings() const {
    size_t readings = 0;
    for (const auto& day : m_arrDays) readings += day.size();
    return readings;
}

std::span<const SPlanInfo> BuiltInPlans() {
    return kBuiltIn;
}

size_t PlanReadings(const SSetChapters& chapters, std::string_view id) {
    const SPlanShape shape = Shape(chapters, id);
    size_t readings = 0;
    for (const SRun& run : shape.m_arrRuns) readings += run.Readings();
    return readings;
}

SPlanResult MakePlan(const SSetChapters& chapters, std::string_view id) {
    SPlanShape shape = Shape(chapters, id);
    SPlanResult result;
    if (shape.m_error != EPlanError::None) {
        result.m_error = shape.m_error;
        result.m_strDetail = std::move(shape.m_strDetail);
        return result;
    }
    SPlan& plan = result.m_plan;
    plan.m_strId = std::move(shape.m_strId);
    plan.m_strName = std::move(shape.m_strName);
    plan.m_arrDays.resize(shape.m_nDays);
    std::vector<size_t> order, weights;
    for (const SRun& run : shape.m_arrRuns) {
        order.clear();
        for (int r = 0; r < run.m_nRepeat; ++r)
            for (size_t c = run.m_nFirst; c < run.m_nEnd; ++c) order.push_back(c);
        weights.resize(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            weights[i] = chapters.m_arrChapters[order[i]].m_nChars;
        const std::vector<size_t> ends = BalancedSplit(weights, shape.m_nDays);
        if (ends.empty()) {
            result.m_error = EPlanError::TooManyDays;
            result.m_strDetail = std::to_string(order.size());
            result.m_plan = {};
            return result;
        }
        for (size_t day = 0, at = 0; day < ends.size(); ++day)
            for (; at < ends[day]; ++at) plan.m_arrDays[day].push_back(order[at]);
    }
    return result;
}

}  // namespace tavrin
