// main.cpp - tavrin-mkstore: builds store sets from SWORD modules or TSV files, verifies and dumps
// them.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "BookTable.h"
#include "Chapter.h"
#include "CodePage.h"
#include "InputFile.h"
#include "NameList.h"
#include "StoreBuilder.h"
#include "StoreDump.h"
#include "StoreSet.h"
#include "StoreVerifier.h"
#include "SwordReader.h"
#include "TextUtil.h"
#include "TsvReader.h"
#include "Versification.h"

namespace {

using namespace tavrin;

constexpr const char* kUsage =
    "usage: tavrin-mkstore [--quiet] [--names FILE] [--title TEXT] [--short-name TEXT]\n"
    "                      --from-sword MODULE OUTDIR\n"
    "       tavrin-mkstore [--quiet] [--names FILE] [--title TEXT] [--short-name TEXT]\n"
    "                      --from-tsv FILE OUTDIR\n"
    "       tavrin-mkstore [--quiet] --verify DIR [--compare-with MAINDIR]\n"
    "       tavrin-mkstore --dump DIR\n"
    "Builds the four store files of a scripture set in OUTDIR (replacing a set\n"
    "there only when the new one is complete), checks a set, or prints it.\n"
    "  --from-sword MODULE  an installed SWORD Bible module, e.g. engWEB2015eb\n"
    "  --from-tsv FILE      UTF-8 lines BOOK<TAB>CHAPTER<TAB>VERSE<TAB>TEXT (OSIS ids),\n"
    "                       plain or xz-compressed; - reads standard input\n"
    "  --names FILE         book names: lines OSIS<TAB>NAME<TAB>ABBREVIATION\n"
    "  --title TEXT         the set's description (title, attribution), stored unaltered;\n"
    "                       overrides a '# title: TEXT' line of the TSV file\n"
    "  --short-name TEXT    the name the reader shows for the set (at most 16\n"
    "                       characters, e.g. KJV); overrides '# short-name: TEXT'\n"
    "  --verify DIR         list every breach of the store-set rules; exit 1 if any\n"
    "  --compare-with MAINDIR  with --verify: also list the references DIR lacks\n"
    "                       ('lacks REF') or adds ('adds REF') compared with the\n"
    "                       set in MAINDIR (the default set), which are no breach\n"
    "  --dump DIR           print every record as KEY<TAB>TEXT in UTF-8\n"
    "  --quiet              no progress bar and no summary\n"
    "Exit status: 0 done, 1 failed or breaches found, 2 wrong usage.\n";

constexpr size_t kMaxListed = 40;

int Usage(const std::string& why) {
    std::cerr << "tavrin-mkstore: " << why << "\n" << kUsage;
    return 2;
}

int Fail(const std::string& what, const std::vector<std::string>& items = {}) {
    std::cerr << "tavrin-mkstore: " << what << "\n";
    for (size_t i = 0; i < items.size() && i < kMaxListed; ++i)
        std::cerr << "  " << items[i] << "\n";
    if (items.size() > kMaxListed)
        std::cerr << "  ... and " << items.size() - kMaxListed << " more\n";
    return 1;
}

// A one-line progress bar on stderr, drawn only when stderr is a terminal.
class CProgressBar {
public:
    explicit CProgressBar(bool enabled) : m_bEnabled(enabled && isatty(STDERR_FILENO)) {}
    ~CProgressBar() { Clear(); }
    void Show(const char* stage, double share, std::string_view label) {
        if (!m_bEnabled)
            return;
        const int width = 30;
        const int filled = std::clamp(static_cast<int>(share * width), 0, width);
        std::fprintf(stderr, "\r%-8s [%s%s] %3d%% %-16.*s", stage, std::string(filled, '#').c_str(),
                     std::string(width - filled, ' ').c_str(), static_cast<int>(share * 100),
                     static_cast<int>(std::min<size_t>(label.size(), 16)), label.data());
        m_bDrawn = true;
    }
    void Clear() {
        if (m_bDrawn)
            std::fprintf(stderr, "\r\033[K");
        m_bDrawn = false;
    }

private:
    bool m_bEnabled;
    bool m_bDrawn = false;
};

std::string Thousands(size_t n) {
    const std::string digits = std::to_string(n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

void PrintSummary(const std::string& outdir, const CBibleText& text, const CStoreBuilder& builder,
                  double seconds) {
    const CStoreBuilder::Figures& f = builder.GetFigures();
    std::cout << "tavrin-mkstore: " << text.m_strSource << " -> " << outdir << "\n";
    std::cout << "  books      " << f.nBooks[0] << " Old Testament + " << f.nBooks[1]
              << " New Testament";
    if (!text.m_arrSkippedBooks.empty()) {
        std::cout << "; skipped " << text.m_arrSkippedBooks.size() << " other books (";
        for (size_t i = 0; i < text.m_arrSkippedBooks.size(); ++i)
            std::cout << (i ? " " : "") << text.m_arrSkippedBooks[i];
        std::cout << ")";
    }
    std::cout << "\n  chapters   " << f.nChapters[0] << " + " << f.nChapters[1] << "\n";
    std::cout << "  verses     " << f.nVerses[0] << " + " << f.nVerses[1];
    if (text.m_nEmptyVersesKept || text.m_nEmptyVersesDropped)
        std::cout << " (" << text.m_nEmptyVersesKept << " without text kept empty, "
                  << text.m_nEmptyVersesDropped << " without text at a chapter's end dropped)";
    std::cout << "\n  bytes      " << Thousands(f.nTextBytes) << " of verse text;";
    size_t total = 0;
    for (const char* file : {kKeyOldFile, kKeyNewFile, kDatOldFile, kDatNewFile}) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(std::filesystem::path(outdir) / file, ec);
        std::cout << " " << file << " " << (ec ? std::string("?") : Thousands(size));
        total += ec ? 0 : size;
    }
    std::cout << " (" << Thousands(total) << " in all)\n";

    int replaced = 0;
    std::vector<std::pair<int, char32_t>> kinds;
    for (const auto& [c, n] : f.mapReplaced) {
        replaced += n;
        kinds.emplace_back(n, c);
    }
    std::sort(kinds.rbegin(), kinds.rend());
    if (text.m_strTitle.empty())
        std::cout << "  title      none\n";
    else
        std::cout << "  title      " << Utf16ToUtf8(text.m_strTitle) << "\n";
    if (text.m_strShortName.empty())
        std::cout << "  short name none\n";
    else
        std::cout << "  short name " << Utf16ToUtf8(text.m_strShortName) << "\n";
    // The text is stored unaltered unless this line names what was replaced.
    if (replaced == 0) {
        std::cout << "  replaced   none: every character is stored as the source gives it\n";
    } else {
        std::cout << "  replaced   " << replaced << " characters code page 949 cannot hold";
        for (size_t i = 0; i < kinds.size() && i < 6; ++i)
            std::cout << (i ? ", " : ": ") << DescribeChar(kinds[i].second) << " -> '"
                      << ReplacementFor(kinds[i].second) << "' x" << kinds[i].first;
        if (kinds.size() > 6)
            std::cout << ", and " << kinds.size() - 6 << " more kinds";
        std::cout << "\n";
    }
    std::cout << "  nearest    verse " << Thousands(f.peakVerseBytes.nValue) << "/"
              << Thousands(kMaxRecordBytes) << " bytes (" << f.peakVerseBytes.strWhere << ")\n"
              << "  limits     list " << Thousands(f.peakListBytes.nValue) << "/"
              << Thousands(kMaxRecordBytes) << " bytes (" << f.peakListBytes.strWhere << ")\n"
              << "             chapter text " << Thousands(f.peakLayoutChars.nValue) << "/"
              << Thousands(kMaxChapterTextChars) << " characters (" << f.peakLayoutChars.strWhere
              << ")\n"
              << "             name or key " << f.peakNameChars.nValue << "/" << kMaxNameChars
              << " characters (" << f.peakNameChars.strWhere << ")\n"
              << "             most verses in a chapter " << f.peakVerses.nValue << " ("
              << f.peakVerses.strWhere << ")\n";
    for (const std::string& w : builder.Warnings()) std::cout << "  warning    " << w << "\n";
    std::cout << "  time       " << std::fixed;
    std::cout.precision(2);
    std::cout << seconds << " s\n";
}

int Build(bool fromSword, const std::string& source, const std::string& outdir,
          const std::string& namesFile, const std::optional<std::string>& title,
          const std::optional<std::string>& shortName, bool quiet) {
    const auto start = std::chrono::steady_clock::now();
    CBookTable table;
    std::string error;
    if (!namesFile.empty() && !table.LoadNames(namesFile, error))
        return Fail(error);
    const std::vector<std::string> problems = table.Check();
    if (!problems.empty())
        return Fail("the book names cannot make a store set:", problems);

    CProgressBar bar(!quiet);
    CBibleText text;
    const bool read = fromSword ? ReadSwordText(source, table, text, error,
                                                [&](double share, std::string_view book) {
                                                    bar.Show("reading", share, book);
                                                })
                                : ReadTsvText(source, table, text, error);
    bar.Clear();
    if (!read)
        return Fail(error);
    if (title)
        text.m_strTitle = Utf8ToUtf16(*title);
    if (shortName)
        text.m_strShortName = Utf8ToUtf16(*shortName);

    CStoreBuilder builder(table);
    const std::vector<std::string> breaches = builder.Build(text);
    if (!breaches.empty())
        return Fail("nothing written: the text breaks the store-set limits:", breaches);
    if (!builder.Write(outdir, error, [&](double share, std::string_view file) {
            bar.Show("writing", share, file);
        })) {
        bar.Clear();
        return Fail("nothing replaced: " + error);
    }
    bar.Clear();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!quiet)
        PrintSummary(outdir, text, builder, seconds);
    return 0;
}

// The references dir lacks or adds against the set in mainDir, one line each.
// False when either set does not open.
bool Compare(const std::string& dir, const std::string& mainDir) {
    CStoreSet set, main;
    if (!main.OpenStores(mainDir) || !set.OpenStores(dir)) {
        std::cerr << "tavrin-mkstore: cannot compare " << dir << " with " << mainDir << "\n";
        return false;
    }
    const std::vector<SKeyDifference> differences = CompareReferences(main, set);
    for (const SKeyDifference& d : differences)
        std::cout << (d.m_bAdded ? "adds " : "lacks ") << Utf16ToUtf8(d.m_strReference) << "\n";
    std::cout << dir << ": " << differences.size() << " references differ from " << mainDir << "\n";
    return true;
}

int Verify(const std::string& dir, bool quiet, const std::string& compareWith) {
    CStoreVerifier verifier;
    const bool clean = verifier.Verify(dir);
    for (const std::string& b : verifier.Breaches()) std::cout << b << "\n";
    if (!compareWith.empty() && !Compare(dir, compareWith))
        return 1;
    if (!quiet) {
        for (const std::string& w : verifier.Warnings()) std::cout << "warning: " << w << "\n";
        if (clean)
            std::cout << dir << ": no breach (" << verifier.m_nBooks << " books, "
                      << verifier.m_nChapters << " chapters, " << verifier.m_nReferences
                      << " references)\n";
        else
            std::cout << dir << ": " << verifier.Breaches().size() << " breaches\n";
    }
    return clean ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool quiet = false;
    std::string mode, source, dir, names, compareWith;
    std::optional<std::string> title, shortName;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--quiet" || a == "-q") {
            quiet = true;
        } else if (a == "--names") {
            if (!value(names))
                return Usage("--names needs a file");
        } else if (a == "--compare-with") {
            if (!value(compareWith) || compareWith.empty())
                return Usage("--compare-with needs a folder");
        } else if (a == "--title") {
            if (!value(title.emplace()))
                return Usage("--title needs a text");
            if (!IsValidUtf8(*title))
                return Usage("--title must be UTF-8 text");
        } else if (a == "--short-name") {
            if (!value(shortName.emplace()))
                return Usage("--short-name needs a text");
            if (!IsValidUtf8(*shortName))
                return Usage("--short-name must be UTF-8 text");
            if (shortName->empty())
                return Usage("--short-name must not be empty");
        } else if (a == "--from-sword" || a == "--from-tsv" || a == "--verify" || a == "--dump") {
            if (!mode.empty())
                return Usage("give one of --from-sword, --from-tsv, --verify, --dump");
            mode = a;
            if (!value(a == "--verify" || a == "--dump" ? dir : source))
                return Usage(a + " needs an argument");
        } else if (!a.empty() && a[0] == '-') {
            return Usage("unknown option " + a);
        } else if (dir.empty() && (mode == "--from-sword" || mode == "--from-tsv")) {
            dir = a;
        } else {
            return Usage("unexpected argument '" + a + "'");
        }
    }
    if (mode.empty())
        return Usage("give one of --from-sword, --from-tsv, --verify, --dump");
    if (dir.empty())
        return Usage("the build needs an output folder");
    if ((!names.empty() || title || shortName) && (mode == "--verify" || mode == "--dump"))
        return Usage("--names, --title and --short-name apply to a build only");
    if (!compareWith.empty() && mode != "--verify")
        return Usage("--compare-with applies to --verify only");
    if (mode == "--verify")
        return Verify(dir, quiet, compareWith);
    if (mode == "--dump")
        return DumpStoreSet(dir, std::cout) ? 0 : 1;
    return Build(mode == "--from-sword", source, dir, names, title, shortName, quiet);
}
