// SwordReader.cpp - libsword import: option filters off, notes cut, plain text tidied.
#include "SwordReader.h"

#ifdef TAVRIN_HAVE_SWORD
#include <markupfiltmgr.h>
#include <swlog.h>
#include <swmgr.h>
#include <swmodule.h>
#include <versekey.h>
#endif

#include <memory>
#include <set>

#include "CodePage.h"

namespace tavrin {

namespace {

#ifdef TAVRIN_HAVE_SWORD
// Removes every element named tag (with its content), putting mark where
// each stood.
std::string CutElements(std::string_view in, std::string_view tag, std::string_view mark) {
    std::string open("<"), close("</");
    open.append(tag);
    close.append(tag).append(">");
    std::string out;
    out.reserve(in.size());
    size_t pos = 0;
    while (pos < in.size()) {
        const size_t at = in.find(open, pos);
        if (at == std::string_view::npos) {
            out.append(in.substr(pos));
            break;
        }
        const char after = at + open.size() < in.size() ? in[at + open.size()] : '>';
        if (after != ' ' && after != '>' && after != '/') {  // a longer tag name
            out.append(in.substr(pos, at + open.size() - pos));
            pos = at + open.size();
            continue;
        }
        out.append(in.substr(pos, at - pos));
        out.append(mark);
        const size_t tagEnd = in.find('>', at);
        if (tagEnd == std::string_view::npos)
            break;
        if (in[tagEnd - 1] == '/') {
            pos = tagEnd + 1;
            continue;
        }
        const size_t closeAt = in.find(close, tagEnd);
        if (closeAt == std::string_view::npos)
            break;
        pos = closeAt + close.size();
    }
    return out;
}

// Cuts what follows the chapter's end (some modules put a book's glossary or
// appendix into its last verse), takes out titles (headings, psalm titles
// included, even those marked canonical) and replaces each footnote with
// kNoteMark: modules often hold no blank where a note stood between two
// words, so the mark lets TidyVerseText put one back.
std::string PrepareMarkup(std::string_view raw) {
    const size_t end = raw.find("<chapter eID");
    if (end != std::string_view::npos)
        raw = raw.substr(0, end);
    return CutElements(CutElements(raw, "title", " "), "note", kNoteMark);
}
#endif

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Whether a blank may stand before the text at s (its first character).
bool TakesBlankBefore(std::string_view s) {
    if (s.empty() || IsSpace(s[0]))
        return false;
    if (std::string_view(".,;:!?)]}'\"").find(s[0]) != std::string_view::npos)
        return false;
    for (std::string_view closer : {"\u2019", "\u201D", "\u2026", "\u2014", "\u2013"}) {
        if (s.substr(0, closer.size()) == closer)
            return false;
    }
    return true;
}

// Whether a blank may follow text that ends in s.
bool TakesBlankAfter(std::string_view s) {
    if (s.empty() || IsSpace(s.back()))
        return false;
    if (std::string_view("([{").find(s.back()) != std::string_view::npos)
        return false;
    for (std::string_view opener : {"\u2018", "\u201C", "\u2014", "\u2013"}) {
        if (s.size() >= opener.size() && s.substr(s.size() - opener.size()) == opener)
            return false;
    }
    return true;
}

#ifdef TAVRIN_HAVE_SWORD
void SetOptionsOff(sword::SWMgr& mgr) {
    for (const sword::SWBuf& option : mgr.getGlobalOptions()) {
        const sword::StringList values = mgr.getGlobalOptionValues(option.c_str());
        for (const char* wanted : {"Off", "Primary Reading"}) {
            bool found = false;
            for (const sword::SWBuf& v : values) found = found || v == wanted;
            if (found) {
                mgr.setGlobalOption(option.c_str(), wanted);
                break;
            }
        }
    }
}

std::string BibleModuleNames(sword::SWMgr& mgr) {
    std::string names;
    for (const auto& [name, module] : mgr.getModules()) {
        if (std::string_view(module->getType()) == sword::SWMgr::MODTYPE_BIBLES)
            names += (names.empty() ? "" : ", ") + std::string(name.c_str());
    }
    return names.empty() ? "none" : names;
}
#endif

}  // namespace

std::string TidyVerseText(std::string_view rendered) {
    std::string out;
    out.reserve(rendered.size());
    bool pendingBlank = false;
    size_t i = 0;
    while (i < rendered.size()) {
        if (rendered.substr(i, kNoteMark.size()) == kNoteMark) {
            i += kNoteMark.size();
            size_t next = i;
            while (rendered.substr(next, kNoteMark.size()) == kNoteMark) next += kNoteMark.size();
            if (!pendingBlank && TakesBlankAfter(out) && TakesBlankBefore(rendered.substr(next)))
                pendingBlank = true;
            continue;
        }
        if (IsSpace(rendered[i])) {
            pendingBlank = true;
            ++i;
            continue;
        }
        if (pendingBlank && !out.empty())
            out += ' ';
        pendingBlank = false;
        out += rendered[i++];
    }
    return out;
}

#ifdef TAVRIN_HAVE_SWORD
bool ReadSwordText(const std::string& module, const CBookTable& table, CBibleText& text,
                   std::string& error, const ProgressFn& progress) {
    // libsword reports missing optional files on stderr as warnings; only
    // its errors matter here.
    sword::SWLog::getSystemLog()->setLogLevel(sword::SWLog::LOG_ERROR);
    sword::SWMgr mgr(new sword::MarkupFilterMgr(sword::FMT_PLAIN));
    sword::SWModule* mod = mgr.getModule(module.c_str());
    if (mod == nullptr) {
        error = "no SWORD module named '" + module +
                "' is installed (Bible modules found: " + BibleModuleNames(mgr) + ")";
        return false;
    }
    if (std::string_view(mod->getType()) != sword::SWMgr::MODTYPE_BIBLES) {
        error =
            "SWORD module '" + module + "' is not a Bible (its type is '" + mod->getType() + "')";
        return false;
    }
    SetOptionsOff(mgr);

    std::unique_ptr<sword::SWKey> key(mod->createKey());
    auto* vk = dynamic_cast<sword::VerseKey*>(key.get());
    if (vk == nullptr) {
        error = "SWORD module '" + module + "' has no verse keys";
        return false;
    }
    vk->setIntros(false);

    int booksDone = 0;
    const int booksTotal = vk->getBookMax() + [&] {
        vk->setTestament(2);
        return vk->getBookMax();
    }();
    std::set<std::string> skipped;
    for (char testament = 1; testament <= 2; ++testament) {
        vk->setTestament(testament);
        const int bookMax = vk->getBookMax();
        for (int b = 1; b <= bookMax; ++b, ++booksDone) {
            vk->setTestament(testament);
            vk->setBook(static_cast<char>(b));
            const std::string osis = vk->getOSISBookName();
            if (progress)
                progress(static_cast<double>(booksDone) / booksTotal, osis);
            const int bookIndex = table.Find(osis);
            const int chapterMax = vk->getChapterMax();
            if (bookIndex < 0) {
                // Counted only when the module holds text for it.
                for (int c = 1; c <= chapterMax && !skipped.count(osis); ++c) {
                    vk->setChapter(c);
                    const int verseMax = vk->getVerseMax();
                    for (int v = 1; v <= verseMax; ++v) {
                        vk->setVerse(v);
                        mod->setKey(*vk);
                        if (*mod->getRawEntry() != '\0') {
                            skipped.insert(osis);
                            break;
                        }
                    }
                }
                continue;
            }

            for (int c = 1; c <= chapterMax; ++c) {
                vk->setChapter(c);
                const int verseMax = vk->getVerseMax();
                CBibleText::Chapter verses;
                int lastVerse = 0;
                for (int v = 1; v <= verseMax; ++v) {
                    vk->setVerse(v);
                    mod->setKey(*vk);
                    const std::string markup = PrepareMarkup(mod->getRawEntry());
                    std::string plain;
                    if (!markup.empty())
                        plain = TidyVerseText(mod->renderText(markup.c_str()).c_str());
                    if (!plain.empty())
                        lastVerse = v;
                    verses.push_back(Utf8ToUtf16(plain));
                }
                if (lastVerse == 0)
                    continue;  // not in this module
                text.m_nEmptyVersesDropped += static_cast<int>(verses.size()) - lastVerse;
                verses.resize(static_cast<size_t>(lastVerse));
                for (const std::u16string& v : verses) text.m_nEmptyVersesKept += v.empty() ? 1 : 0;
                text.AddChapter(bookIndex, c, std::move(verses));
            }
        }
    }
    text.m_arrSkippedBooks.assign(skipped.begin(), skipped.end());
    text.m_strSource = module;
    return true;
}
#else
bool ReadSwordText(const std::string& module, const CBookTable&, CBibleText&, std::string& error,
                   const ProgressFn&) {
    error = "cannot read '" + module +
            "': this tavrin-mkstore was built without the SWORD library (libsword-dev)";
    return false;
}
#endif

}  // namespace tavrin
