#include <gtest/gtest.h>

#include <stdlib.h>

#include <optional>
#include <string>

#include "host/sys/sys_file.h"
#include "host/sys/sys_functions.h"
#include "tests/support/sys_temp_folder.h"

namespace {

// Sets (or unsets, with null) an environment variable for the scope of a test.
class ScopedEnv {
public:
    ScopedEnv(char const* name, char const* value) : m_name(name)
    {
        if (char const* old = ::getenv(name)) m_old = old;
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv()
    {
        if (m_old) {
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name.c_str());
        }
    }

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

}  // namespace

TEST(SysFunctions, HomeAndEnvironment)
{
    {
        ScopedEnv home("HOME", "/home/somebody");
        EXPECT_EQ(sys_get_home_dir(), "/home/somebody");
        EXPECT_EQ(sys_get_env("HOME"), "/home/somebody");
    }
    {
        ScopedEnv home("HOME", nullptr);  // falls back to the password database
        EXPECT_FALSE(sys_get_home_dir().is_empty());
    }
    EXPECT_TRUE(sys_get_env("").is_empty());
}

TEST(SysFunctions, PreferencesFolderFollowsXdgConfigHome)
{
    ScopedEnv home("HOME", "/home/somebody");
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/srv/config/");
        EXPECT_EQ(sys_get_preferences_dir(), "/srv/config/qn_gui");
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(sys_get_preferences_dir(), "/home/somebody/.config/qn_gui");
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", "relative/config");  // invalid: ignored
        EXPECT_EQ(sys_get_preferences_dir(), "/home/somebody/.config/qn_gui");
    }
}

TEST(SysFunctions, DesktopFolderFromUserDirsFile)
{
    SysTempFolder temp;
    ScopedEnv home("HOME", "/home/somebody");
    ScopedEnv config("XDG_CONFIG_HOME", temp.get_path().c_str());
    ScopedEnv desktop("XDG_DESKTOP_DIR", nullptr);

    EXPECT_EQ(sys_get_desktop_dir(), "/home/somebody/Desktop");  // no user-dirs.dirs

    SysFile::write_file(temp / "user-dirs.dirs",
                        "# written by xdg-user-dirs-update\n"
                        "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                        "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    EXPECT_EQ(sys_get_desktop_dir(), "/home/somebody/Bureau");

    SysFile::write_file(temp / "user-dirs.dirs", "XDG_DESKTOP_DIR=\"/data/desk\"\n");
    EXPECT_EQ(sys_get_desktop_dir(), "/data/desk");

    ScopedEnv from_env("XDG_DESKTOP_DIR", "$HOME/Schreibtisch");  // the environment wins
    EXPECT_EQ(sys_get_desktop_dir(), "/home/somebody/Schreibtisch");
}

TEST(SysFunctions, ResourcesFolderCanBeOverridden)
{
    {
        ScopedEnv bin("VELMORA_BIN_DIR", nullptr);
        EXPECT_TRUE(sys_get_resources_dir().end_with("resources"));
    }
    ScopedEnv bin("VELMORA_BIN_DIR", "/opt/app/bin");
    EXPECT_EQ(sys_get_resources_dir(), "/opt/app/bin");
}
