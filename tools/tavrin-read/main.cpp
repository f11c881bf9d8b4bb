// main.cpp - tavrin-read: reads book lists, references, texts and chapters of a store set.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Chapter.h"
#include "CodePage.h"
#include "NameList.h"
#include "StoreSet.h"

namespace {

using namespace tavrin;

enum EExit { kFound = 0, kNone = 1, kUsage = 2, kNoStores = 3 };

constexpr const char* kUsageText =
    "Usage: tavrin-read [-d DIR] [-t old|new] COMMAND [ARGUMENT]\n"
    "\n"
    "Reads a scripture store set (inxkey_oldB.dbe, inxdat_oldB.dbe, inxkey_newB.dbe,\n"
    "inxdat_newB.dbe) and prints UTF-8, one item per line.\n"
    "\n"
    "Commands:\n"
    "  books               the testament's book list, in record order\n"
    "  refs BOOK           the book's references, in record order\n"
    "  text REFERENCE      the reference's text\n"
    "  chapter REFERENCE   the chapter of the reference, laid out as the chapter\n"
    "                      reader shows it (CR LF line ends kept)\n"
    "  next CHAPTER-REF    the next chapter's reference (e.g. next 창1: gives 창2:)\n"
    "  prev CHAPTER-REF    the previous chapter's reference; next and prev read no\n"
    "                      store, so -d and -t are ignored for them\n"
    "\n"
    "Options:\n"
    "  -d DIR              folder of the store set, read alone (default: the first\n"
    "                      with a set of this program's folder, ../share/tavrin\n"
    "                      beside it, $XDG_DATA_HOME/tavrin, $XDG_DATA_DIRS/tavrin)\n"
    "  -t old|new          testament (default: new)\n"
    "  --help              show this help\n"
    "\n"
    "Exit status: 0 found, 1 not found or none, 2 usage error, 3 store set missing.\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "tavrin-read: %s\n", problem.c_str());
    std::fputs("Try 'tavrin-read --help' for more information.\n", stderr);
    return kUsage;
}

void Print(std::u16string_view text) {
    const std::string utf8 = Utf16ToUtf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

void PrintLine(std::u16string_view text) {
    Print(text);
    std::fputc('\n', stdout);
}

int NotFound(const char* what, const std::string& argument) {
    std::fprintf(stderr, "tavrin-read: %s%s%s\n", what, argument.empty() ? "" : ": ",
                 argument.c_str());
    return kNone;
}

int PrintNames(const std::vector<std::u16string>& names, const char* none,
               const std::string& argument) {
    if (names.empty())
        return NotFound(none, argument);
    for (const auto& name : names) PrintLine(name);
    return kFound;
}

int Run(int argc, char** argv) {
    std::string folder;
    bool folderGiven = false;
    Testament testament = Testament::New;
    std::vector<std::string> words;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsageText, stdout);
            return kFound;
        }
        if (optionsDone || arg.empty() || arg[0] != '-' || arg == "-") {
            words.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsDone = true;
        } else if (arg == "-d" || arg == "-t") {
            if (i + 1 >= argc)
                return Usage("option " + std::string(arg) + " needs a value");
            const std::string value = argv[++i];
            if (arg == "-d") {
                folder = value;
                folderGiven = true;
            } else if (value == "old") {
                testament = Testament::Old;
            } else if (value == "new") {
                testament = Testament::New;
            } else {
                return Usage("testament must be 'old' or 'new', not '" + value + "'");
            }
        } else {
            return Usage("unknown option '" + std::string(arg) + "'");
        }
    }
    if (words.empty())
        return Usage("no command given");
    const std::string& command = words[0];
    const bool takesArgument = command != "books";
    if (command != "books" && command != "refs" && command != "text" && command != "chapter" &&
        command != "next" && command != "prev") {
        return Usage("unknown command '" + command + "'");
    }
    if (words.size() != (takesArgument ? 2u : 1u)) {
        return Usage(takesArgument ? "'" + command + "' takes one argument"
                                   : "'books' takes no argument");
    }
    const std::string argument = takesArgument ? words[1] : std::string();
    const std::u16string wide = Utf8ToUtf16(argument);

    if (command == "next" || command == "prev") {
        const auto neighbour =
            NeighbourChapter(wide, command == "next" ? EDirection::Next : EDirection::Previous);
        if (!neighbour)
            return NotFound("no such chapter", argument);
        PrintLine(*neighbour);
        return kFound;
    }

    if (!folderGiven)
        folder = FindStoreFolder(ProgramFolder(), std::getenv);
    CStoreSet stores;
    bool reported = false;
    stores.OpenStores(folder, [&](std::u16string_view message) {
        if (reported)
            return;
        reported = true;
        const std::string utf8 = Utf16ToUtf8(message);
        std::fprintf(stderr, "%s\n", utf8.c_str());
    });
    if (!stores.AreStoresOpen())
        return kNoStores;

    if (command == "books") {
        return PrintNames(stores.ReadBookList(testament), "no books", argument);
    }
    if (command == "refs") {
        bool found = false;
        const std::string text =
            FetchRecordText(stores.IndexStore(testament), ToAnsiKey(wide), &found);
        if (!found)
            return NotFound("no such book", argument);
        return PrintNames(ParseNameList(text), "no references", argument);
    }
    if (command == "text") {
        bool found = false;
        const std::string text =
            FetchRecordText(stores.TextStore(testament), ToAnsiKey(wide), &found);
        if (!found)
            return NotFound("no such reference", argument);
        PrintLine(AnsiToWide(text));
        return kFound;
    }
    const std::vector<std::u16string> verses = stores.LoadChapter(testament, wide);
    if (verses.empty())
        return NotFound("no such chapter", argument);
    Print(BuildChapterText(verses));
    return kFound;
}

}  // namespace

int main(int argc, char** argv) {
    const int status = Run(argc, argv);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("tavrin-read: cannot write the output\n", stderr);
        return kNone;
    }
    return status;
}
