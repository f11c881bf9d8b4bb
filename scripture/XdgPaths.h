// XdgPaths.h - the XDG base folders the tools read and write under, found one way.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tavrin {

// Reads an environment variable: its value, or null when it is not set.
using EnvLookup = std::function<const char*(const char* name)>;

// Each folder comes back ending in one '/' (the root as "/"). A variable that
// is unset, empty or not an absolute path counts as unset, as the XDG rules
// say; so does HOME for the defaults built on it. env may be empty (nothing set).

// $XDG_DATA_HOME, else $HOME/.local/share/; empty when neither is absolute.
std::string XdgDataHome(const EnvLookup& env);
// $XDG_CACHE_HOME, else $HOME/.cache/; empty when neither is absolute.
std::string XdgCacheHome(const EnvLookup& env);
// The absolute entries of the colon-separated $XDG_DATA_DIRS in order (relative
// and empty ones skipped); /usr/local/share/ and /usr/share/ when it is unset or empty.
std::vector<std::string> XdgDataDirs(const EnvLookup& env);

}  // namespace tavrin
