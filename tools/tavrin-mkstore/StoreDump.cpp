// StoreDump.cpp - orders a set's records as the reader meets them and prints them escaped.
#include "StoreDump.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <vector>

#include "Chapter.h"
#include "CodePage.h"
#include "NameList.h"
#include "RawStore.h"
#include "RecordFraming.h"
#include "StoreSet.h"

namespace tavrin {

namespace {

std::string Escape(std::string_view bytes) {
    const std::u16string wide = AnsiToWide(bytes);
    if (EncodeAnsi(wide) != bytes) {  // not code page 949: show the bytes
        std::string out;
        for (char b : bytes) {
            const auto u = static_cast<unsigned char>(b);
            if (u >= 0x20 && u < 0x7F && u != '\\') {
                out += b;
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", u);
                out += hex;
            }
        }
        return out;
    }
    std::u16string escaped;
    for (char16_t c : wide) {
        switch (c) {
            case u'\t':
                escaped += u"\\t";
                break;
            case u'\r':
                escaped += u"\\r";
                break;
            case u'\n':
                escaped += u"\\n";
                break;
            case u'\\':
                escaped += u"\\\\";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(c));
                    escaped += Utf8ToUtf16(hex);
                } else {
                    escaped += c;
                }
        }
    }
    return Utf16ToUtf8(escaped);
}

void PrintRecord(std::ostream& out, const std::string& key, const std::string& stored) {
    const std::string framing = CRawStore::FramingProblem(stored);
    if (!framing.empty())
        out << "# bad framing: " << framing << "\n";
    out << Escape(key) << '\t' << Escape(tessdb::RecordText(stored)) << '\n';
}

// Prints records in the given key order first, then the rest by key.
void PrintStore(std::ostream& out, const char* file, const CRawStore& store,
                const std::vector<std::string>& order) {
    out << "# " << file << ": " << store.Records().size() + store.BadKeys().size() << " records\n";
    std::map<std::string, bool> printed;
    for (const std::string& key : order) {
        auto it = store.Records().find(key);
        if (it == store.Records().end() || printed[key])
            continue;
        printed[key] = true;
        PrintRecord(out, it->first, it->second);
    }
    for (const auto& [key, stored] : store.Records()) {
        if (!printed.count(key))
            PrintRecord(out, key, stored);
    }
    for (const auto& [key, stored] : store.BadKeys()) {
        out << "# key not NUL-terminated\n";
        PrintRecord(out, key, stored);
    }
}

}  // namespace

bool DumpStoreSet(const std::string& dir, std::ostream& out) {
    bool ok = true;
    for (Testament t : {Testament::Old, Testament::New}) {
        const char* indexFile = t == Testament::Old ? kKeyOldFile : kKeyNewFile;
        const char* textFile = t == Testament::Old ? kDatOldFile : kDatNewFile;
        CRawStore index, text;
        std::string error;
        const bool haveIndex = index.Load((std::filesystem::path(dir) / indexFile).string(), error);
        if (!haveIndex) {
            out << "# " << indexFile << ": " << error << "\n";
            ok = false;
        }
        // The reader's order: book list, books, their references, then the
        // verses of each chapter the references lead to.
        std::vector<std::string> indexOrder{std::string(kBookListKey)}, textOrder;
        if (haveIndex) {
            auto list = [&](const std::string& key) {
                auto it = index.Records().find(key);
                return it == index.Records().end() ? std::vector<std::u16string>{}
                                                   : ParseNameList(tessdb::RecordText(it->second));
            };
            std::map<std::u16string, bool> seenChapters;
            for (const std::u16string& book : list(std::string(kBookListKey))) {
                indexOrder.push_back(ToAnsiKey(book));
                for (const std::u16string& ref : list(ToAnsiKey(book))) {
                    textOrder.push_back(ToAnsiKey(ref));
                    const std::u16string chapterRef = ChapterReference(ref);
                    if (seenChapters[chapterRef])
                        continue;
                    seenChapters[chapterRef] = true;
                    for (int n = 1; n <= kMaxChapterVerses; ++n)
                        textOrder.push_back(ToAnsiKey(VerseKey(chapterRef, n, t)));
                }
            }
            PrintStore(out, indexFile, index, indexOrder);
        }
        if (!text.Load((std::filesystem::path(dir) / textFile).string(), error)) {
            out << "# " << textFile << ": " << error << "\n";
            ok = false;
            continue;
        }
        PrintStore(out, textFile, text, textOrder);
    }
    return ok;
}

}  // namespace tavrin
