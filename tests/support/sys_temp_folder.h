#pragma once
// A unique folder under /tmp for one test, removed with everything in it afterwards.
#include <stdlib.h>

#include <filesystem>
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
