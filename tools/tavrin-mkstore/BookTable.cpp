// BookTable.cpp - the built-in Korean book table, its override file and its checks.
#include "BookTable.h"

#include <algorithm>
#include <fstream>
#include <set>

#include "CodePage.h"
#include "NameList.h"
#include "StoreSet.h"
#include "TextUtil.h"

namespace tavrin {

namespace {

struct BuiltIn {
    const char* osis;
    const char16_t* name;
    const char16_t* abbr;
};

// The usual names and abbreviations of Korean Bibles.
constexpr BuiltIn kOld[] = {
    {"Gen", u"창세기", u"창"},       {"Exod", u"출애굽기", u"출"},   {"Lev", u"레위기", u"레"},
    {"Num", u"민수기", u"민"},       {"Deut", u"신명기", u"신"},     {"Josh", u"여호수아", u"수"},
    {"Judg", u"사사기", u"삿"},      {"Ruth", u"룻기", u"룻"},       {"1Sam", u"사무엘상", u"삼상"},
    {"2Sam", u"사무엘하", u"삼하"},  {"1Kgs", u"열왕기상", u"왕상"}, {"2Kgs", u"열왕기하", u"왕하"},
    {"1Chr", u"역대상", u"대상"},    {"2Chr", u"역대하", u"대하"},   {"Ezra", u"에스라", u"스"},
    {"Neh", u"느헤미야", u"느"},     {"Esth", u"에스더", u"에"},     {"Job", u"욥기", u"욥"},
    {"Ps", u"시편", u"시"},          {"Prov", u"잠언", u"잠"},       {"Eccl", u"전도서", u"전"},
    {"Song", u"아가", u"아"},        {"Isa", u"이사야", u"사"},      {"Jer", u"예레미야", u"렘"},
    {"Lam", u"예레미야애가", u"애"}, {"Ezek", u"에스겔", u"겔"},     {"Dan", u"다니엘", u"단"},
    {"Hos", u"호세아", u"호"},       {"Joel", u"요엘", u"욜"},       {"Amos", u"아모스", u"암"},
    {"Obad", u"오바댜", u"옵"},      {"Jonah", u"요나", u"욘"},      {"Mic", u"미가", u"미"},
    {"Nah", u"나훔", u"나"},         {"Hab", u"하박국", u"합"},      {"Zeph", u"스바냐", u"습"},
    {"Hag", u"학개", u"학"},         {"Zech", u"스가랴", u"슥"},     {"Mal", u"말라기", u"말"},
};

constexpr BuiltIn kNew[] = {
    {"Matt", u"마태복음", u"마"},
    {"Mark", u"마가복음", u"막"},
    {"Luke", u"누가복음", u"눅"},
    {"John", u"요한복음", u"요"},
    {"Acts", u"사도행전", u"행"},
    {"Rom", u"로마서", u"롬"},
    {"1Cor", u"고린도전서", u"고전"},
    {"2Cor", u"고린도후서", u"고후"},
    {"Gal", u"갈라디아서", u"갈"},
    {"Eph", u"에베소서", u"엡"},
    {"Phil", u"빌립보서", u"빌"},
    {"Col", u"골로새서", u"골"},
    {"1Thess", u"데살로니가전서", u"살전"},
    {"2Thess", u"데살로니가후서", u"살후"},
    {"1Tim", u"디모데전서", u"딤전"},
    {"2Tim", u"디모데후서", u"딤후"},
    {"Titus", u"디도서", u"딛"},
    {"Phlm", u"빌레몬서", u"몬"},
    {"Heb", u"히브리서", u"히"},
    {"Jas", u"야고보서", u"약"},
    {"1Pet", u"베드로전서", u"벧전"},
    {"2Pet", u"베드로후서", u"벧후"},
    {"1John", u"요한일서", u"요일"},
    {"2John", u"요한이서", u"요이"},
    {"3John", u"요한삼서", u"요삼"},
    {"Jude", u"유다서", u"유"},
    {"Rev", u"요한계시록", u"계"},
};

// OSIS ids of books that Bible sources may hold beyond the 66.
constexpr const char* kOtherBooks[] = {
    "Tob",   "Jdt",      "EsthGr",  "AddEsth", "Wis",    "Sir",    "Bar",    "EpJer", "PrAzar",
    "Sus",   "Bel",      "AddDan",  "1Macc",   "2Macc",  "3Macc",  "4Macc",  "1Esd",  "2Esd",
    "PrMan", "AddPs",    "Ps151",   "Odes",    "PssSol", "EpLao",  "1En",    "Jub",   "4Ezra",
    "5Ezra", "6Ezra",    "DanGr",   "1Meq",    "2Meq",   "3Meq",   "Rep",    "4Bar",  "EpCor",
    "3Cor",  "PsJoseph", "JosAsen", "T12Patr", "2Bar",   "LetJer", "AddJer",
};

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    if (line.find('\t') != std::string::npos) {
        size_t start = 0;
        while (true) {
            const size_t tab = line.find('\t', start);
            fields.push_back(Trim(line.substr(start, tab - start)));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        return fields;
    }
    size_t pos = 0;
    while (pos < line.size()) {
        const size_t start = line.find_first_not_of(" ", pos);
        if (start == std::string::npos)
            break;
        const size_t end = line.find(' ', start);
        fields.push_back(line.substr(start, end - start));
        pos = end == std::string::npos ? line.size() : end;
    }
    return fields;
}

bool HasDigit(std::u16string_view s) {
    return std::any_of(s.begin(), s.end(), [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'\uFF10' && c <= u'\uFF19');
    });
}

bool RoundTrips(std::u16string_view s) {
    std::vector<char32_t> replaced;
    const std::string bytes = EncodeAnsi(s, &replaced);
    return replaced.empty() && AnsiToWide(bytes) == s;
}

}  // namespace

CBookTable::CBookTable() {
    for (const BuiltIn& b : kOld) m_arrBooks.push_back({b.osis, b.name, b.abbr, Testament::Old});
    for (const BuiltIn& b : kNew) m_arrBooks.push_back({b.osis, b.name, b.abbr, Testament::New});
}

int CBookTable::Find(std::string_view osis) const {
    for (size_t i = 0; i < m_arrBooks.size(); ++i) {
        if (m_arrBooks[i].strOsis == osis)
            return static_cast<int>(i);
    }
    return -1;
}

bool CBookTable::IsOtherBook(std::string_view osis) {
    return std::any_of(std::begin(kOtherBooks), std::end(kOtherBooks),
                       [&](const char* id) { return osis == id; });
}

bool CBookTable::LoadNames(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    std::vector<Book> books = m_arrBooks;
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        if (lineNo == 1 && line.starts_with(kUtf8Bom))
            line.erase(0, kUtf8Bom.size());
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string where = path + ":" + std::to_string(lineNo) + ": ";
        if (Trim(line).empty() || Trim(line)[0] == '#')
            continue;
        if (!IsValidUtf8(line)) {
            error = where + "not valid UTF-8";
            return false;
        }
        const std::vector<std::string> fields = SplitFields(line);
        if (fields.size() != 3) {
            error = where + "expected OSIS id, name and abbreviation";
            return false;
        }
        const int index = Find(fields[0]);
        if (index < 0) {
            error = where + "'" + fields[0] + "' is not the OSIS id of one of the 66 books";
            return false;
        }
        books[static_cast<size_t>(index)].strName = Utf8ToUtf16(fields[1]);
        books[static_cast<size_t>(index)].strAbbr = Utf8ToUtf16(fields[2]);
    }
    if (in.bad()) {
        error = path + ": read error";
        return false;
    }
    m_arrBooks = std::move(books);
    return true;
}

std::vector<std::string> CBookTable::Check() const {
    std::vector<std::string> problems;
    std::set<std::pair<Testament, std::u16string>> names, abbrs;
    for (const Book& b : m_arrBooks) {
        const std::string who = b.strOsis + ": ";
        const std::string name = "name '" + Utf16ToUtf8(b.strName) + "'";
        const std::string abbr = "abbreviation '" + Utf16ToUtf8(b.strAbbr) + "'";
        if (b.strName.empty())
            problems.push_back(who + "empty name");
        if (b.strAbbr.empty())
            problems.push_back(who + "empty abbreviation");
        if (b.strName.size() > kMaxNameChars)
            problems.push_back(who + name + " has " + std::to_string(b.strName.size()) +
                               " characters, more than " + std::to_string(kMaxNameChars));
        if (HasControl(b.strName))
            problems.push_back(who + name + " holds a TAB or control character");
        if (HasControl(b.strAbbr) || b.strAbbr.find(u':') != std::u16string::npos)
            problems.push_back(who + abbr + " holds ':', a TAB or a control character");
        if (HasDigit(b.strAbbr))
            problems.push_back(who + abbr + " holds a decimal digit");
        if (!RoundTrips(b.strName))
            problems.push_back(who + name + " holds characters code page 949 cannot hold");
        if (!RoundTrips(b.strAbbr))
            problems.push_back(who + abbr + " holds characters code page 949 cannot hold");
        if (EncodeAnsi(b.strName) == kBookListKey)
            problems.push_back(who + "'" + std::string(kBookListKey) +
                               "' is the key of the book list");
        if (!names.insert({b.testament, b.strName}).second)
            problems.push_back(who + name + " is used by another book of the testament");
        if (!abbrs.insert({b.testament, b.strAbbr}).second)
            problems.push_back(who + abbr + " is used by another book of the testament");
    }
    return problems;
}

}  // namespace tavrin
