// StoreSet.cpp - opens the four stores, fetches record texts and reads lists, texts and chapters.
#include "StoreSet.h"

#include <tessdb.h>
#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "Chapter.h"
#include "CodePage.h"
#include "NameList.h"

namespace tavrin {

namespace {

// GetQdata fills a 30,000-byte record on every call; one per thread, reused,
// spares the chapter loop an allocation per verse.
_TESS_MAXDATA_& RecordBuffer() {
    thread_local std::unique_ptr<_TESS_MAXDATA_> record = std::make_unique<_TESS_MAXDATA_>();
    return *record;
}

// The bytes of a key as Tessdb takes them: NUL-terminated, no embedded NUL.
std::string KeyBytes(std::string_view key) {
    const size_t nul = key.find('\0');
    return std::string(key.substr(0, nul));
}

// Length of the well-formed UTF-8 sequence at s[i], or 0 when there is none.
size_t Utf8SequenceAt(std::string_view s, size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80)
        return 1;
    const size_t n = b >= 0xC2 && b <= 0xDF   ? 2
                     : b >= 0xE0 && b <= 0xEF ? 3
                     : b >= 0xF0 && b <= 0xF4 ? 4
                                              : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    const std::u16string wide = Utf8ToUtf16(s.substr(i, n));
    return wide.find(u'\uFFFD') == std::u16string::npos ? n : 0;
}

// A file system path may hold bytes that are not UTF-8 (a folder named in an
// older Korean encoding): each such byte travels as the lone surrogate
// U+DC80..U+DCFF, which Tessdb turns back into the byte, so every path opens.
std::u16string PathToUtf16(std::string_view path) {
    std::u16string wide;
    for (size_t i = 0; i < path.size();) {
        const size_t n = Utf8SequenceAt(path, i);
        if (n == 0) {
            wide += static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(path[i]));
            ++i;
        } else {
            wide += Utf8ToUtf16(path.substr(i, n));
            i += n;
        }
    }
    return wide;
}

}  // namespace

void* OpenStoreFile(const std::string& path, FLOPEN mode) {
    const std::u16string wide = PathToUtf16(path);
    std::vector<unsigned short> units(wide.begin(), wide.end());
    units.push_back(0);
    return CreateTESS(units.data(), mode);
}

std::string ProgramFolder() {
    std::string path(256, '\0');
    while (true) {
        const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < path.size()) {
            path.resize(static_cast<size_t>(n));
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return path.substr(0, slash + 1);
}

std::vector<std::string> StoreFolderSearchPath(const std::string& programFolder,
                                               const EnvLookup& env) {
    std::vector<std::string> folders;
    // folder + sub + '/', for absolute folders only.
    auto add = [&](std::string folder, std::string_view sub) {
        if (folder.empty() || folder[0] != '/')
            return;
        while (!folder.empty() && folder.back() == '/') folder.pop_back();
        folders.push_back(folder.append(sub).append("/"));
    };
    if (!programFolder.empty()) {
        add(programFolder, "");
        // The folder above bin/, found by name: /proc/self/exe holds no link.
        std::string above = programFolder;
        while (!above.empty() && above.back() == '/') above.pop_back();
        const size_t slash = above.rfind('/');
        add(slash == 0 || slash == std::string::npos ? "/" : above.substr(0, slash),
            "/share/tavrin");
    }
    add(XdgDataHome(env), "/tavrin");
    for (const std::string& folder : XdgDataDirs(env)) add(folder, "/tavrin");
    return folders;
}

std::string FindStoreFolder(const std::string& programFolder, const EnvLookup& env) {
    for (const std::string& folder : StoreFolderSearchPath(programFolder, env)) {
        bool complete = true;
        for (const char* file : {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile}) {
            struct stat st {};
            complete = complete && stat((folder + file).c_str(), &st) == 0 && S_ISREG(st.st_mode);
        }
        if (complete)
            return folder;
    }
    return programFolder;
}

CStoreSet::~CStoreSet() {
    CloseStores();
}

bool CStoreSet::OpenStores(const std::string& folder,
                           const std::function<void(std::u16string_view)>& onMissing) {
    CloseStores();
    // An empty folder is no folder: opening relative to the working directory
    // would read whatever stores happen to lie there.
    if (!folder.empty()) {
        const std::string prefix = folder.back() == '/' ? folder : folder + '/';
        m_hKeyOld = OpenStoreFile(prefix + kKeyOldFile, FL_READER);
        m_hKeyNew = OpenStoreFile(prefix + kKeyNewFile, FL_READER);
        m_hDatOld = OpenStoreFile(prefix + kDatOldFile, FL_READER);
        m_hDatNew = OpenStoreFile(prefix + kDatNewFile, FL_READER);
    }
    const bool open = AreStoresOpen();
    if (!open && onMissing)
        onMissing(kMissingStoresMessage);
    return open;
}

bool CStoreSet::AreStoresOpen() const {
    return m_hKeyOld != nullptr && m_hKeyNew != nullptr && m_hDatOld != nullptr &&
           m_hDatNew != nullptr;
}

void CStoreSet::CloseStores() {
    for (void** handle : {&m_hKeyOld, &m_hKeyNew, &m_hDatOld, &m_hDatNew}) {
        if (*handle != nullptr) {
            DestroyTESS(*handle);
            *handle = nullptr;
        }
    }
}

std::vector<std::u16string> CStoreSet::ReadBookList(Testament testament) const {
    if (!AreStoresOpen())
        return {};
    return ParseNameList(FetchRecordView(IndexStore(testament), kBookListKey));
}

std::vector<std::u16string> CStoreSet::ReadReferenceList(Testament testament,
                                                         std::u16string_view book) const {
    if (!AreStoresOpen())
        return {};
    return ParseNameList(FetchRecordView(IndexStore(testament), ToAnsiKey(book)));
}

std::u16string CStoreSet::ReadReferenceText(Testament testament,
                                            std::u16string_view reference) const {
    if (!AreStoresOpen())
        return {};
    return AnsiToWide(FetchRecordView(TextStore(testament), ToAnsiKey(reference)));
}

std::u16string CStoreSet::ReadDescription() const {
    if (!AreStoresOpen())
        return {};
    std::string_view text = FetchRecordView(m_hKeyOld, kDescriptionKey, nullptr);
    // A lead byte (0x81 and up) opens a two-byte character: never split one.
    size_t end = 0;
    for (size_t i = 0; i < text.size() && i < kMaxDescriptionBytes;) {
        i += static_cast<unsigned char>(text[i]) >= 0x81 ? 2 : 1;
        if (i <= kMaxDescriptionBytes)
            end = i;
    }
    return AnsiToWide(text.substr(0, std::min(end, text.size())));
}

std::vector<std::u16string> CStoreSet::LoadChapter(Testament testament,
                                                   std::u16string_view reference) const {
    return LoadChapter(testament, reference, kMaxChapterVerses);
}

std::vector<std::u16string> CStoreSet::LoadChapter(Testament testament,
                                                   std::u16string_view reference,
                                                   int maxVerses) const {
    std::vector<std::u16string> verses;
    if (!AreStoresOpen())
        return verses;
    const std::u16string chapter = ChapterReference(reference);
    void* store = TextStore(testament);
    // The code page is stateless, so the chapter reference is encoded once and
    // each verse number appended as ASCII; a key past the key limit takes the
    // general road so it is cut exactly as ToAnsiKey cuts it.
    const std::string prefix = ToAnsiKey(chapter);
    std::string key;
    for (int n = 1; n <= maxVerses; ++n) {
        std::u16string wideKey = VerseKey(chapter, n, testament);
        if (wideKey.size() <= kMaxKeyChars) {
            key = prefix;
            AppendVerseNumber(key, n, testament);
        } else {
            key = ToAnsiKey(wideKey);
        }
        bool found = false;
        const std::string_view text = FetchRecordView(store, key, &found);
        if (!found)
            break;
        verses.push_back(std::move(wideKey));
        verses.push_back(AnsiToWide(text));
    }
    return verses;
}

std::string_view FetchRecordView(void* store, std::string_view key, bool* found) {
    if (found != nullptr)
        *found = false;
    if (store == nullptr)
        return {};
    std::string keyBytes = KeyBytes(key);
    _TESS_MAXDATA_& record = RecordBuffer();
    if (!GetQdata(store, record, keyBytes.data()))
        return {};
    if (found != nullptr)
        *found = true;
    size_t length = strnlen(record.szData, sizeof(record.szData));
    // A stored length is trusted only to shorten the text; one outside the
    // text (negative, or past it) says nothing and is ignored.
    if (record.nLen >= 0 && static_cast<size_t>(record.nLen) < length) {
        length = static_cast<size_t>(record.nLen);
    }
    if (length > kMaxRecordBytes)
        length = kMaxRecordBytes;
    return std::string_view(record.szData, length);
}

std::string FetchRecordText(void* store, std::string_view key, bool* found) {
    return std::string(FetchRecordView(store, key, found));
}

}  // namespace tavrin
