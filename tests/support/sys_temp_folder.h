#pragma once
// A unique folder under /tmp for one test, removed with everything in it afterwards.
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "host/core/core_string.h"

class SysTempFolder {
public:
    SysTempFolder()
    {
        char pattern[] = "/tmp/qn_test_sys_XXXXXX";
        char* made = ::mkdtemp(pattern);
        m_path = made ? made : "";
    }
    ~SysTempFolder()
    {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    SysTempFolder(SysTempFolder const&) = delete;
    SysTempFolder& operator=(SysTempFolder const&) = delete;

    CoreString get_path() const { return CoreString(m_path); }
    // The path of `name` inside the folder.
    CoreString operator/(char const* name) const { return CoreString(m_path + "/" + name); }

private:
    std::string m_path;
};

// Points the preferences folder (and so the glyph atlas cache) to a temporary folder while
// it lives, then back to what it was.
class TemporaryPreferences {
public:
    TemporaryPreferences()
    {
        if (char const* previous = std::getenv("XDG_CONFIG_HOME")) m_previous = previous;
        ::setenv("XDG_CONFIG_HOME", m_folder.get_path().c_str(), 1);
    }
    ~TemporaryPreferences()
    {
        m_previous ? ::setenv("XDG_CONFIG_HOME", m_previous->c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    }
    TemporaryPreferences(TemporaryPreferences const&) = delete;
    TemporaryPreferences& operator=(TemporaryPreferences const&) = delete;
    CoreString get_path() const { return m_folder.get_path(); }

private:
    SysTempFolder m_folder;
    std::optional<std::string> m_previous;
};

// The whole content of the file at `path` ("" when it cannot be read).
inline std::string read_file(CoreBasicString const& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Creates or replaces the file at `path` with `text`.
inline void write_file(CoreBasicString const& path, std::string const& text)
{
    std::ofstream(path.c_str(), std::ios::binary) << text;
}
