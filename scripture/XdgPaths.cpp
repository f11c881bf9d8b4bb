// XdgPaths.cpp - XDG base folders from the environment, relative values ignored.
#include "XdgPaths.h"

#include <algorithm>
#include <string_view>

namespace tavrin {

namespace {

std::string_view Value(const EnvLookup& env, const char* name) {
    const char* value = env ? env(name) : nullptr;
    return value == nullptr ? std::string_view() : std::string_view(value);
}

// folder + sub with one '/' between and after; empty unless folder is absolute.
std::string Folder(std::string_view folder, std::string_view sub = {}) {
    if (folder.empty() || folder[0] != '/')
        return {};
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    std::string result(folder);
    if (result != "/")
        result += '/';
    if (!sub.empty())
        result.append(sub).append("/");
    return result;
}

std::string HomeOr(const EnvLookup& env, const char* variable, std::string_view underHome) {
    const std::string own = Folder(Value(env, variable));
    return own.empty() ? Folder(Value(env, "HOME"), underHome) : own;
}

}  // namespace

std::string XdgDataHome(const EnvLookup& env) {
    return HomeOr(env, "XDG_DATA_HOME", ".local/share");
}

std::string XdgCacheHome(const EnvLookup& env) {
    return HomeOr(env, "XDG_CACHE_HOME", ".cache");
}

std::vector<std::string> XdgDataDirs(const EnvLookup& env) {
    std::string_view dirs = Value(env, "XDG_DATA_DIRS");
    if (dirs.empty())
        dirs = "/usr/local/share:/usr/share";
    std::vector<std::string> folders;
    for (size_t from = 0; from <= dirs.size();) {
        const size_t colon = std::min(dirs.find(':', from), dirs.size());
        std::string folder = Folder(dirs.substr(from, colon - from));
        if (!folder.empty())
            folders.push_back(std::move(folder));
        from = colon + 1;
    }
    return folders;
}

}  // namespace tavrin
