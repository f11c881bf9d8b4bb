// xdgpaths_test.cpp - the XDG base folders: set, unset, relative, lists, the HOME fallback.
#include <gtest/gtest.h>

#include <map>

#include "XdgPaths.h"

namespace tavrin {
namespace {

using Env = std::map<std::string, std::string>;
EnvLookup LookUpIn(const Env& env) {
    return [&env](const char* name) {
        auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    };
}

TEST(XdgPaths, HomesAreAbsoluteVariablesElseUnderAnAbsoluteHome) {
    const struct {
        Env m_env;
        std::string m_strData, m_strCache;
    } cases[] = {
        {{{"HOME", "/h"}}, "/h/.local/share/", "/h/.cache/"},
        {{{"HOME", "/h//"}, {"XDG_DATA_HOME", "/d//"}, {"XDG_CACHE_HOME", "/c"}}, "/d/", "/c/"},
        {{{"HOME", "/h"}, {"XDG_DATA_HOME", "d"}, {"XDG_CACHE_HOME", "./c"}},
         "/h/.local/share/",
         "/h/.cache/"},
        {{{"HOME", "/h"}, {"XDG_DATA_HOME", ""}, {"XDG_CACHE_HOME", ""}},
         "/h/.local/share/",
         "/h/.cache/"},
        {{{"HOME", "h"}, {"XDG_CACHE_HOME", "/"}}, "", "/"},
        {{{"XDG_DATA_HOME", "/d"}}, "/d/", ""},
        {{{"HOME", "/"}}, "/.local/share/", "/.cache/"},
        {{}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.m_strData + " " + c.m_strCache);
        EXPECT_EQ(XdgDataHome(LookUpIn(c.m_env)), c.m_strData);
        EXPECT_EQ(XdgCacheHome(LookUpIn(c.m_env)), c.m_strCache);
    }
    EXPECT_EQ(XdgCacheHome({}), "");
}

TEST(XdgPaths, DataDirsKeepAbsoluteEntriesInOrderWithTheDefaultWhenUnsetOrEmpty) {
    using Dirs = std::vector<std::string>;
    const Dirs defaults = {"/usr/local/share/", "/usr/share/"};
    const std::pair<Env, Dirs> cases[] = {
        {{}, defaults},
        {{{"XDG_DATA_DIRS", ""}}, defaults},
        {{{"XDG_DATA_DIRS", "/a"}}, {"/a/"}},
        {{{"XDG_DATA_DIRS", "/b/:rel::/a//:./x:/"}}, {"/b/", "/a/", "/"}},
        {{{"XDG_DATA_DIRS", "rel"}}, {}},
    };
    for (const auto& [env, dirs] : cases) EXPECT_EQ(XdgDataDirs(LookUpIn(env)), dirs);
}

}  // namespace
}  // namespace tavrin
