// StudyTransfer.cpp - TSV and Markdown export, TSV import, and reading the notes file.
#include "StudyTransfer.h"

#include <ctime>

#include "CodePage.h"
#include "FieldEscape.h"
#include "Notes.h"
#include "Reference.h"

namespace tavrin {

namespace {

bool IsLeap(int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool ValidFields(int64_t year, int64_t month, int64_t day, int64_t hour, int64_t minute,
                 int64_t second) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59)
        return false;
    return day <= kDays[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
}

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Reads count digits at text[at]; -1 when any is not a digit.
int64_t Digits(std::u16string_view text, size_t at, size_t count) {
    if (at + count > text.size())
        return -1;
    int64_t value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return -1;
        value = value * 10 + (text[i] - u'0');
    }
    return value;
}

// text matches pattern, where 'd' stands for any digit.
bool Shaped(std::u16string_view text, std::u16string_view pattern) {
    if (text.size() != pattern.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= u'0' && text[i] <= u'9';
        if (pattern[i] == u'd' ? !digit : text[i] != pattern[i])
            return false;
    }
    return true;
}

// Calls onLine with each line of text (the last one too, empty or not), without its CR LF or LF.
template <typename F>
void ForEachLine(std::string_view text, F onLine) {
    for (size_t from = 0; from <= text.size();) {
        size_t end = text.find('\n', from);
        if (end == text.npos)
            end = text.size();
        std::string_view line = text.substr(from, end - from);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        onLine(line);
        from = end + 1;
    }
}

SReadItems Bad(size_t line, std::string problem) {
    SReadItems bad;
    bad.m_nBadLine = line;
    bad.m_strProblem = std::move(problem);
    return bad;
}

// What is wrong with one TSV line, or empty; fills item.
std::string ReadTsvLine(std::string_view line, const CBibleOrder& order, SStudyItem& item) {
    if (!IsWellFormedUtf8(line))
        return "not valid UTF-8";
    std::string_view fields[6];
    size_t count = 0;
    for (size_t from = 0;; ++count) {
        const size_t tab = line.find('\t', from);
        if (count < 6)
            fields[count] = line.substr(from, tab == line.npos ? line.npos : tab - from);
        if (tab == line.npos)
            break;
        from = tab + 1;
    }
    if (count + 1 != 6)
        return "not six fields separated by tabs";
    const auto kind = KindFromName(fields[0]);
    if (!kind)
        return "unknown kind '" + std::string(fields[0]) + "'";
    item.m_kind = *kind;
    item.m_verse.m_strKey = fields[1];
    const auto testament = order.TestamentOf(fields[1]);
    if (!testament)
        return "the store set has no reference '" + std::string(fields[1]) + "'";
    item.m_verse.m_testament = *testament;
    const auto value = UnescapeField(fields[2]);
    const auto text = UnescapeField(fields[3]);
    if (!value || !text)
        return "a backslash that is no \\\\, \\t, \\n or \\r";
    item.m_strValue = *value;
    item.m_strText = *text;
    const auto created = ParseUtc(fields[4]);
    const auto modified = ParseUtc(fields[5]);
    if (!created || !modified)
        return "a time that is not YYYY-MM-DDTHH:MM:SSZ";
    item.m_nCreated = *created;
    item.m_nModified = *modified;
    if (item.m_kind != EItemKind::Note && !item.m_strText.empty())
        return "a bookmark or highlight with a TEXT";
    switch (item.m_kind) {
        case EItemKind::Bookmark:
            if (item.m_strValue.find_first_of("\r\n") != std::string::npos)
                return "a label with a line break";
            if (CountChars(item.m_strValue) > kMaxLabelChars)
                return "a label longer than " + std::to_string(kMaxLabelChars) + " characters";
            break;
        case EItemKind::Highlight:
            if (!ColourFromName(item.m_strValue))
                return "unknown colour '" + item.m_strValue + "'";
            break;
        case EItemKind::Note:
            if (!item.m_strValue.empty())
                return "a note with a VALUE";
            if (CountChars(item.m_strText) > kMaxNoteChars)
                return "a note longer than " + std::to_string(kMaxNoteChars) + " characters";
            break;
    }
    return {};
}

}  // namespace

std::string FormatUtc(int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::optional<int64_t> ParseUtc(std::string_view text) {
    const std::u16string wide(text.begin(), text.end());
    if (!Shaped(wide, u"dddd-dd-ddTdd:dd:ddZ"))
        return std::nullopt;
    const int64_t y = Digits(wide, 0, 4), mo = Digits(wide, 5, 2), d = Digits(wide, 8, 2),
                  h = Digits(wide, 11, 2), mi = Digits(wide, 14, 2), s = Digits(wide, 17, 2);
    if (!ValidFields(y, mo, d, h, mi, s))
        return std::nullopt;
    return DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s;
}

std::string ExportTsv(std::vector<SStudyItem> items, const CBibleOrder& order) {
    SortInBibleOrder(items, order);
    std::string out(kTsvHeader);
    out += '\n';
    for (const SStudyItem& item : items) {
        out += KindName(item.m_kind);
        out += '\t';
        out += item.m_verse.m_strKey;
        out += '\t';
        AppendEscapedField(out, item.m_strValue);
        out += '\t';
        AppendEscapedField(out, item.m_strText);
        out += '\t';
        out += FormatUtc(item.m_nCreated);
        out += '\t';
        out += FormatUtc(item.m_nModified);
        out += '\n';
    }
    return out;
}

std::string ExportMarkdown(std::vector<SStudyItem> items, const CBibleOrder& order,
                           const CStoreSet& stores) {
    SortInBibleOrder(items, order);
    std::string out;
    std::u16string book, chapter;
    const SVerse* verse = nullptr;
    for (const SStudyItem& item : items) {
        const std::u16string key = Utf8ToUtf16(item.m_verse.m_strKey);
        const auto split = SplitVerseKey(key, item.m_verse.m_testament);
        const std::u16string& itemBook = order.BookOf(item.m_verse);
        if (verse == nullptr || itemBook != book) {
            book = itemBook;
            out += "# " + Utf16ToUtf8(book.empty() ? u"?" : book) + "\n\n";
            chapter.clear();
        }
        const std::u16string itemChapter = split ? split->m_strChapter : key;
        if (itemChapter != chapter) {
            chapter = itemChapter;
            out += "## " + Utf16ToUtf8(chapter) + "\n\n";
        }
        if (verse == nullptr || !(*verse == item.m_verse)) {
            verse = &item.m_verse;
            const std::string text =
                Utf16ToUtf8(stores.ReadReferenceText(item.m_verse.m_testament, key));
            out += "> **" + item.m_verse.m_strKey + "**";
            bool first = true;
            ForEachLine(text, [&](std::string_view line) {
                out += first ? " " : "> ";
                out += line;
                out += '\n';
                first = false;
            });
            out += '\n';
        }
        switch (item.m_kind) {
            case EItemKind::Bookmark:
                out += "- 책갈피" + (item.m_strValue.empty() ? "" : ": " + item.m_strValue);
                break;
            case EItemKind::Highlight:
                out += "- 형광펜: " + item.m_strValue;
                break;
            case EItemKind::Note: {
                out += "- 메모 (" + FormatUtc(item.m_nModified) + "):";
                ForEachLine(item.m_strText, [&out](std::string_view line) {
                    out += "\n    ";
                    out += line;
                });
                break;
            }
        }
        out += '\n';
    }
    return out;
}

SReadItems ReadTsv(std::string_view data, const CBibleOrder& order) {
    SReadItems read;
    size_t number = 0;
    for (size_t from = 0; from < data.size();) {
        size_t end = data.find('\n', from);
        if (end == data.npos)
            end = data.size();
        const std::string_view line = data.substr(from, end - from);
        from = end + 1;
        if (++number == 1) {
            if (line != kTsvHeader)
                return Bad(1, "the first line is not '" + std::string(kTsvHeader) + "'");
            continue;
        }
        SStudyItem item;
        const std::string problem = ReadTsvLine(line, order, item);
        if (!problem.empty())
            return Bad(number, problem);
        read.m_arrItems.push_back(std::move(item));
    }
    if (number == 0)
        return Bad(1, "the first line is not '" + std::string(kTsvHeader) + "'");
    return read;
}

SReadItems ReadNotesFile(std::string_view bytes, const CBibleOrder& order) {
    if (bytes.size() % 2 != 0)
        return Bad(1, "not UTF-16: an odd number of bytes");
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      static_cast<unsigned char>(bytes[i + 1]) << 8);
    size_t at = !text.empty() && text[0] == u'\xFEFF' ? 1 : 0;
    constexpr std::u16string_view kSeparator = u"\r\n▶ 일시 ";
    SReadItems read;
    size_t lines = 1;  // the line the text at `at` is on
    if (at == text.size())
        return read;
    if (std::u16string_view(text).substr(at, kSeparator.size()) != kSeparator)
        return Bad(1, "no time stamp where a record begins");
    while (at < text.size()) {
        const size_t stampLine = lines + 1;
        const size_t begin = at + kSeparator.size();
        size_t next = text.find(kSeparator, begin);
        if (next == text.npos)
            next = text.size();
        const std::u16string_view record(text.data() + begin, next - begin);
        for (size_t i = at; i < next; ++i) lines += text[i] == u'\n';
        at = next;

        const size_t stampEnd = record.find(u"\r\n");
        const std::u16string_view stamp = record.substr(0, stampEnd);
        if (stampEnd == record.npos || !Shaped(stamp, u"dddd-dd-dd / dd:dd:dd "))
            return Bad(stampLine, "no readable time stamp");
        std::tm local{};
        const int64_t y = Digits(stamp, 0, 4), mo = Digits(stamp, 5, 2), d = Digits(stamp, 8, 2),
                      h = Digits(stamp, 13, 2), mi = Digits(stamp, 16, 2), s = Digits(stamp, 19, 2);
        if (!ValidFields(y, mo, d, h, mi, s))
            return Bad(stampLine, "no readable time stamp");
        local.tm_year = static_cast<int>(y - 1900);
        local.tm_mon = static_cast<int>(mo - 1);
        local.tm_mday = static_cast<int>(d);
        local.tm_hour = static_cast<int>(h);
        local.tm_min = static_cast<int>(mi);
        local.tm_sec = static_cast<int>(s);
        local.tm_isdst = -1;
        const std::time_t utc = std::mktime(&local);

        const size_t headingEnd = record.find(u"\r\n", stampEnd + 2);
        const std::u16string_view heading = record.substr(
            stampEnd + 2, headingEnd == record.npos ? record.npos : headingEnd - stampEnd - 2);
        const size_t lastDash = heading.rfind(u" - ");
        std::optional<Testament> testament;
        if (heading.starts_with(TestamentWord(Testament::Old)))
            testament = Testament::Old;
        else if (heading.starts_with(TestamentWord(Testament::New)))
            testament = Testament::New;
        SStudyItem note;
        note.m_kind = EItemKind::Note;
        if (testament && lastDash != heading.npos)
            note.m_verse = {*testament, Utf16ToUtf8(heading.substr(lastDash + 3))};
        if (headingEnd == record.npos || !testament || !order.Rank(note.m_verse))
            return Bad(stampLine + 1, "a heading without a reference the store set has");
        std::u16string_view body = record.substr(headingEnd + 2);
        if (body.ends_with(u"\r\n"))
            body.remove_suffix(2);
        note.m_strText = Utf16ToUtf8(body);
        if (CountChars(note.m_strText) > kMaxNoteChars)
            return Bad(stampLine + 2,
                       "a note longer than " + std::to_string(kMaxNoteChars) + " characters");
        note.m_nCreated = note.m_nModified = utc;
        read.m_arrItems.push_back(std::move(note));
    }
    return read;
}

}  // namespace tavrin
