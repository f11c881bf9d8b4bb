// SyntheticSet.cpp - writes the Korean benchmark set through Tessdb.
#include "SyntheticSet.h"

#include <sword/versificationmgr.h>
#include <tessdb.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "BookTable.h"
#include "Chapter.h"
#include "CodePage.h"
#include "StoreSet.h"

namespace tavrin::bench {

namespace {

namespace fs = std::filesystem;

constexpr const char* kStamp = "korean-set.done";

// Words of ordinary scripture prose; verses are drawn from them so the text has
// the byte mix of real Korean text (two-byte syllables, blanks, punctuation).
const char16_t* const kWords[] = {
    u"태초에",     u"하나님이",     u"천지를",   u"창조하시니라", u"땅이",     u"혼돈하고",
    u"공허하며",   u"흑암이",       u"깊음",     u"위에",         u"있고",     u"신은",
    u"수면에",     u"운행하시니라", u"가라사대", u"빛이",         u"있으라",   u"하시매",
    u"그",         u"빛이",         u"하나님의", u"보시기에",     u"좋았더라", u"백성이",
    u"여호와께서", u"말씀하시되",   u"이스라엘", u"자손에게",     u"이르라",   u"너희는",
    u"내가",       u"너희",         u"조상들의", u"하나님",       u"곧",       u"아브라함의",
    u"이삭의",     u"야곱의",       u"그들이",   u"성에",         u"들어가서", u"그리고,",
    u"예수께서",   u"제자들에게",   u"이르시되", u"진실로",       u"말하노니", u"사람이",
};
constexpr size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

std::u16string Number(int n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

class CStore {
public:
    explicit CStore(const std::string& path) : m_hStore(OpenStoreFile(path, FL_NEWDB)) {}
    ~CStore() { DestroyTESS(m_hStore); }
    CStore(const CStore&) = delete;
    CStore& operator=(const CStore&) = delete;

    bool IsOpen() const { return m_hStore != nullptr; }
    bool Put(std::string key, std::string text) {
        return InsertQdata(m_hStore, key.data(), text.data(), 1) == 1;
    }

private:
    void* m_hStore = nullptr;
};

std::string NameList(const std::vector<std::u16string>& names) {
    std::string text = "\t";
    for (const auto& name : names) {
        text += EncodeAnsi(name);
        text += '\t';
    }
    return text;
}

}  // namespace

bool EnsureKoreanSet(const std::string& folder, std::string& error) {
    const fs::path root(folder);
    if (fs::exists(root / kStamp))
        return true;
    std::error_code ec;
    fs::create_directories(root, ec);

    const sword::VersificationMgr::System* kjv =
        sword::VersificationMgr::getSystemVersificationMgr()->getVersificationSystem("KJV");
    if (kjv == nullptr) {
        error = "libsword has no KJV versification";
        return false;
    }
    const CBookTable table;
    CStore keyOld((root / kKeyOldFile).string());
    CStore keyNew((root / kKeyNewFile).string());
    CStore datOld((root / kDatOldFile).string());
    CStore datNew((root / kDatNewFile).string());
    if (!keyOld.IsOpen() || !keyNew.IsOpen() || !datOld.IsOpen() || !datNew.IsOpen()) {
        error = "cannot create the stores in " + folder;
        return false;
    }

    std::vector<std::u16string> oldBooks;
    std::vector<std::u16string> newBooks;
    uint32_t seed = 12345;
    long verses = 0;
    for (int b = 0; b < kjv->getBookCount(); ++b) {
        const sword::VersificationMgr::Book* book = kjv->getBook(b);
        const int index = table.Find(book->getOSISName());
        if (index < 0)
            continue;
        const CBookTable::Book& entry = table.Books()[static_cast<size_t>(index)];
        const bool old = entry.testament == Testament::Old;
        std::vector<std::u16string> refs;
        for (int c = 1; c <= book->getChapterMax(); ++c) {
            const std::u16string chapter = entry.strAbbr + Number(c) + u":";
            for (int v = 1; v <= book->getVerseMax(c); ++v) {
                const std::u16string key = VerseKey(chapter, v, entry.testament);
                std::u16string text;
                seed = seed * 1103515245u + 12345u;
                const int words = 6 + static_cast<int>((seed >> 16) % 18);
                for (int w = 0; w < words; ++w) {
                    seed = seed * 1103515245u + 12345u;
                    if (w > 0)
                        text += u' ';
                    text += kWords[(seed >> 16) % kWordCount];
                }
                text += u'.';
                if (!(old ? datOld : datNew).Put(ToAnsiKey(key), EncodeAnsi(text))) {
                    error = "cannot store a verse in " + folder;
                    return false;
                }
                refs.push_back(key);
                ++verses;
            }
        }
        if (!(old ? keyOld : keyNew).Put(ToAnsiKey(entry.strName), NameList(refs))) {
            error = "cannot store a reference list in " + folder;
            return false;
        }
        (old ? oldBooks : newBooks).push_back(entry.strName);
    }
    if (!keyOld.Put(std::string(kBookListKey), NameList(oldBooks)) ||
        !keyNew.Put(std::string(kBookListKey), NameList(newBooks))) {
        error = "cannot store the book lists in " + folder;
        return false;
    }
    if (verses != 31102) {
        error = "the KJV versification gave " + std::to_string(verses) + " verses, not 31102";
        return false;
    }
    std::ofstream(root / kStamp) << verses << " verses\n";
    return true;
}

std::string WebSetFolder() {
    const char* env = std::getenv("TAVRIN_BENCH_WEB");
    return env != nullptr && *env != '\0' ? env : TAVRIN_BENCH_DEFAULT_WEB;
}

std::string KoreanSetFolder() {
    const char* env = std::getenv("TAVRIN_BENCH_KOREAN");
    return env != nullptr && *env != '\0' ? env : TAVRIN_BENCH_DEFAULT_KOREAN;
}

}  // namespace tavrin::bench
