#include "host/sys/sys_functions.h"

#include <dlfcn.h>
#include <malloc.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#ifndef QN_RESOURCES_DIR
#define QN_RESOURCES_DIR "resources"
#endif
#ifndef QN_INSTALLED_RESOURCES_DIR
#define QN_INSTALLED_RESOURCES_DIR "../share/qn_gui/resources"
#endif

namespace {

// Replaces a leading "$HOME" (or "${HOME}") by the home folder.
CoreString expand_home(std::string const& value)
{
    for (char const* variable : {"$HOME", "${HOME}"}) {
        std::string prefix(variable);
        if (value.compare(0, prefix.size(), prefix) == 0) {
            return sys_get_home_dir() + value.substr(prefix.size()).c_str();
        }
    }
    return CoreString(value);
}

// Reads XDG_DESKTOP_DIR="..." from the user-dirs.dirs file of the configuration folder.
CoreString read_user_dirs_desktop()
{
    CoreString config = sys_get_env("XDG_CONFIG_HOME");
    if (config.is_empty() || config[0] != '/') config = sys_get_home_dir() + "/.config";
    std::ifstream in((config + "/user-dirs.dirs").c_str());
    std::string line;
    std::string const key = "XDG_DESKTOP_DIR=";
    while (std::getline(in, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ' || value.back() == '\t')) {
            value.pop_back();
        }
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (!value.empty()) return expand_home(value);
    }
    return CoreString();
}

}  // namespace

CoreString sys_get_home_dir()
{
    CoreString home = sys_get_env("HOME");
    if (!home.is_empty()) return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    int result = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
    if (result == 0 && found && found->pw_dir) {
        return CoreString(found->pw_dir);
    }
    return CoreString("/");
}

CoreString sys_get_desktop_dir()
{
    CoreString desktop = sys_get_env("XDG_DESKTOP_DIR");
    if (!desktop.is_empty()) return expand_home(desktop.std_string());
    desktop = read_user_dirs_desktop();
    if (!desktop.is_empty()) return desktop;
    return sys_get_home_dir() + "/Desktop";
}

CoreString sys_get_preferences_dir()
{
    // Relative values are invalid for XDG variables and are ignored.
    CoreString config = sys_get_env("XDG_CONFIG_HOME");
    if (config.is_empty() || config[0] != '/') config = sys_get_home_dir() + "/.config";
    while (config.get_length() > 1 && config.end_with("/")) {
        config = config.sub_string(0, config.get_length() - 1);
    }
    return config + "/qn_gui";
}

CoreString sys_get_resources_dir()
{
    CoreString folder = sys_get_env("VELMORA_BIN_DIR");
    if (!folder.is_empty()) return folder;
    // An installed library finds its resources beside it, wherever the tree was installed;
    // a library in its build tree takes them from the sources.
    Dl_info library;
    if (::dladdr(reinterpret_cast<void*>(&sys_get_resources_dir), &library) && library.dli_fname) {
        std::string path(library.dli_fname);
        std::string::size_type const slash = path.rfind('/');
        if (slash != std::string::npos) {
            std::string const installed = path.substr(0, slash + 1) + QN_INSTALLED_RESOURCES_DIR;
            struct stat info;
            if (::stat(installed.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return CoreString(installed.c_str());
        }
    }
    return CoreString(QN_RESOURCES_DIR);
}

CoreString sys_get_env(CoreBasicString const& name)
{
    if (name.is_empty()) return CoreString();
    char const* value = std::getenv(name.c_str());
    return value ? CoreString(value) : CoreString();
}

double sys_time()
{
    auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(since_epoch).count();
}

void sys_thread_yield()
{
    std::this_thread::yield();
}

void sys_release_unused_memory()
{
    ::malloc_trim(0);
}
