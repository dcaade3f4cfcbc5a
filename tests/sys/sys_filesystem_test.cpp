#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "host/sys/sys_filesystem.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

TEST(SysFilesystem, TakesPathsApart)
{
    struct Case {
        char const* path;
        char const* folder;
        char const* filename;
        char const* stem;
        char const* extension;
    };
    Case const cases[] = {
        {"a/b/c.txt", "a/b", "c.txt", "c", "txt"},
        {"/c.txt", "/", "c.txt", "c", "txt"},
        {"a/b.tar.gz", "a", "b.tar.gz", "b.tar", "gz"},
        {"home/.profile", "home", ".profile", ".profile", ""},
        {"home/.config.bak", "home", ".config.bak", ".config", "bak"},
        {"a/b.", "a", "b.", "b", ""},
        {"dir.d/file", "dir.d", "file", "file", ""},  // a dot in the folder is not an extension
        {"a//b//", "a", "b", "b", ""},                // trailing separators are ignored
        {"/", "/", "", "", ""},
        {"", "", "", "", ""},
        {"C:\\data\\img.PNG", "C:\\data", "img.PNG", "img", "PNG"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(SysFilesystem::get_folder(c.path), c.folder);
        EXPECT_EQ(SysFilesystem::get_filename(c.path), c.filename);
        EXPECT_EQ(SysFilesystem::get_filename_without_extension(c.path), c.stem);
        EXPECT_EQ(SysFilesystem::get_file_extension(c.path), c.extension);
    }
}

TEST(SysFilesystem, FormatsAndConvertsPaths)
{
    std::pair<char const*, char const*> const formats[] = {
        {"", ""},
        {"//", "/"},
        {"a//b///c/", "a/b/c"},
        {"./a/./b/.", "a/b"},
        {"a/b/../c", "a/c"},
        {"a/..", "."},
        {"../../a", "../../a"},      // nothing to resolve against
        {"a/../../b", "../b"},
        {"/x/y/../../..", "/"},      // nothing above the root
        {"C:\\a\\..\\..\\b", "C:/b"},
        {"C:\\", "C:/"},
    };
    for (auto const& [input, expected] : formats) {
        EXPECT_EQ(SysFilesystem::format_path(input), expected) << "format_path(\"" << input << "\")";
    }

    EXPECT_EQ(SysFilesystem::windows_path_to_unix("C:\\data\\a b\\x.txt"), "/data/a b/x.txt");
    EXPECT_EQ(SysFilesystem::windows_path_to_unix("C:"), "/");
    EXPECT_EQ(SysFilesystem::windows_path_to_unix("c:rel\\x"), "rel/x");
    EXPECT_EQ(SysFilesystem::windows_path_to_unix("rel\\x\\\\"), "rel/x//");  // only separators change
    EXPECT_EQ(SysFilesystem::format_path_to_platform("D:\\scenes\\..\\shots\\\\a\\"), "/shots/a");

    for (char const* relative : {"", "../a"}) EXPECT_TRUE(SysFilesystem::is_relative(relative)) << relative;
    for (char const* absolute : {"/a", "\\a", "C:\\a"}) EXPECT_FALSE(SysFilesystem::is_relative(absolute)) << absolute;
}

TEST(SysFilesystem, CreatesListsRenamesAndRemovesFolders)
{
    SysTempFolder temp;
    LogRecorder log;

    CoreString deep = temp / "a/b/c";
    EXPECT_TRUE(SysFilesystem::create_folder(deep));
    EXPECT_FALSE(SysFilesystem::file_exists(deep));
    EXPECT_TRUE(SysFilesystem::create_folder(deep));  // already there: fine

    write_file(temp / "a/item10.txt", "0123456789");
    write_file(temp / "a/item2.TXT", "01");
    write_file(temp / "a/notes.md", "abc");
    write_file(temp / "a/.hidden", "");
    write_file(temp / "a/b/inner.bin", std::string(1000, 'x'));
    SysFilesystem::create_folder(temp / "a/folder10");
    SysFilesystem::create_folder(temp / "a/folder9");
    EXPECT_FALSE(SysFilesystem::folder_exists(temp / "a/notes.md"));

    CoreVector<CoreString> names{"stale"};
    ASSERT_TRUE(SysFilesystem::get_files(temp / "a", names));
    EXPECT_EQ(names, (CoreVector<CoreString>{".hidden", "item2.TXT", "item10.txt", "notes.md"}));
    ASSERT_TRUE(SysFilesystem::get_files(temp / "a", names, "txt"));
    EXPECT_EQ(names, (CoreVector<CoreString>{"item2.TXT", "item10.txt"}));
    ASSERT_TRUE(SysFilesystem::get_files(temp / "a", names, ".MD"));
    EXPECT_EQ(names, (CoreVector<CoreString>{"notes.md"}));
    ASSERT_TRUE(SysFilesystem::get_folders(temp / "a", names));
    EXPECT_EQ(names, (CoreVector<CoreString>{"b", "folder9", "folder10"}));

    EXPECT_EQ(SysFilesystem::get_folder_size(temp / "a"), 10u + 2u + 3u + 0u + 1000u);

    EXPECT_TRUE(SysFilesystem::rename_folder(temp / "a/b", temp / "a/renamed"));
    EXPECT_FALSE(SysFilesystem::folder_exists(temp / "a/b"));
    EXPECT_TRUE(SysFilesystem::file_exists(temp / "a/renamed/c/../inner.bin"));

    EXPECT_TRUE(SysFilesystem::rename_file(temp / "a/notes.md", temp / "a/item2.TXT"));  // replaces
    EXPECT_FALSE(SysFilesystem::file_exists(temp / "a/notes.md"));
    EXPECT_EQ(SysFilesystem::get_folder_size(temp / "a"), 10u + 3u + 1000u);

    EXPECT_TRUE(SysFilesystem::remove_file(temp / "a/item10.txt"));
    EXPECT_TRUE(SysFilesystem::remove_folder(temp / "a"));
    EXPECT_FALSE(SysFilesystem::folder_exists(temp / "a"));
    EXPECT_EQ(log.count(), 0u) << log.dump();
}

TEST(SysFilesystem, FailuresLogOneMessageAndChangeNothing)
{
    SysTempFolder temp;
    write_file(temp / "file", "content");
    SysFilesystem::create_folder(temp / "folder");
    SysFilesystem::create_folder(temp / "other");

    struct Case {
        char const* what;
        std::function<bool()> call;
    };
    CoreVector<CoreString> names{"stale"};
    Case const cases[] = {
        {"create_folder", [&] { return SysFilesystem::create_folder(temp / "file/sub"); }},
        {"create_folder", [&] { return SysFilesystem::create_folder(""); }},
        {"remove_file", [&] { return SysFilesystem::remove_file(temp / "missing"); }},
        {"remove_file", [&] { return SysFilesystem::remove_file(temp / "folder"); }},
        {"remove_folder", [&] { return SysFilesystem::remove_folder(temp / "missing"); }},
        {"remove_folder", [&] { return SysFilesystem::remove_folder(temp / "file"); }},
        {"rename_file", [&] { return SysFilesystem::rename_file(temp / "missing", temp / "x"); }},
        {"rename_file", [&] { return SysFilesystem::rename_file(temp / "folder", temp / "x"); }},
        {"rename_file", [&] { return SysFilesystem::rename_file(temp / "file", temp / "folder"); }},
        {"rename_folder", [&] { return SysFilesystem::rename_folder(temp / "folder", temp / "other"); }},
        {"rename_folder", [&] { return SysFilesystem::rename_folder(temp / "file", temp / "x"); }},
        {"rename_folder", [&] { return SysFilesystem::rename_folder(temp / "folder", temp / "file/sub"); }},
        {"get_files", [&] { return SysFilesystem::get_files(temp / "missing", names); }},
        {"get_folders", [&] { return SysFilesystem::get_folders(temp / "file", names); }},
        {"get_folder_size", [&] { return SysFilesystem::get_folder_size(temp / "missing") != 0; }},
        {"get_file_owner", [&] { return !SysFilesystem::get_file_owner(temp / "missing").is_empty(); }},
        {"get_volume_name", [&] { return !SysFilesystem::get_volume_name(temp / "missing").is_empty(); }},
    };
    for (Case const& c : cases) {
        LogRecorder log;
        EXPECT_FALSE(c.call()) << c.what;
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << c.what << "\n" << log.dump();
    }
    EXPECT_TRUE(names.is_empty());
    EXPECT_TRUE(SysFilesystem::file_exists(temp / "file"));
    EXPECT_TRUE(SysFilesystem::folder_exists(temp / "folder"));
    EXPECT_TRUE(SysFilesystem::folder_exists(temp / "other"));
    EXPECT_FALSE(SysFilesystem::file_exists(temp / "x"));
}

TEST(SysFilesystem, RemoveFolderLeavesTheTargetOfALink)
{
    SysTempFolder temp;
    SysFilesystem::create_folder(temp / "real");
    write_file(temp / "real/keep", "x");
    ASSERT_EQ(::symlink((temp / "real").c_str(), (temp / "link").c_str()), 0);
    EXPECT_TRUE(SysFilesystem::remove_folder(temp / "link"));
    EXPECT_TRUE(SysFilesystem::file_exists(temp / "real/keep"));
}

TEST(SysFilesystem, AnswersWritabilityOwnerAndVolumes)
{
    SysTempFolder temp;
    write_file(temp / "file", "x");
    EXPECT_TRUE(SysFilesystem::is_file_writable(temp / "file"));
    EXPECT_TRUE(SysFilesystem::is_file_writable(temp / "new_file"));
    EXPECT_FALSE(SysFilesystem::is_file_writable(temp / "file/new_file"));
    EXPECT_FALSE(SysFilesystem::is_file_writable(temp.get_path()));  // a folder is not a file
    EXPECT_FALSE(SysFilesystem::is_file_writable(""));

    EXPECT_FALSE(SysFilesystem::get_file_owner(temp / "file").is_empty());

    CoreVector<CoreString> volumes;
    ASSERT_TRUE(SysFilesystem::get_volumes(volumes));
    ASSERT_FALSE(volumes.is_empty());
    EXPECT_EQ(volumes[0], "/");
    EXPECT_FALSE(SysFilesystem::get_volume_name(temp / "file").is_empty());
}

TEST(SysFilesystem, RenamingAcrossFileSystemsReplacesTheTargetOnlyWhenComplete)
{
    // /dev/shm is a memory file system on most machines: a move from there to /tmp copies.
    SysTempFolder temp;
    char pattern[] = "/dev/shm/qn_test_sys_XXXXXX";
    char* made = ::mkdtemp(pattern);
    if (!made) GTEST_SKIP() << "no /dev/shm";
    std::string const other = made;
    struct stat here, there;
    if (::stat(temp.get_path().c_str(), &here) != 0 || ::stat(other.c_str(), &there) != 0 ||
        here.st_dev == there.st_dev) {
        std::filesystem::remove_all(other);
        GTEST_SKIP() << "/dev/shm and /tmp are on one file system";
    }
    CoreString const target = temp / "target.txt";
    write_file(target, "old");

    // A source that cannot be copied (a pipe) leaves the target as it was, with nothing beside it.
    std::string const pipe = other + "/pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    {
        LogRecorder log;
        EXPECT_FALSE(SysFilesystem::rename_file(CoreString(pipe), target));
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    }
    EXPECT_EQ(read_file(target), "old");
    auto const entries = [&] {
        std::filesystem::directory_iterator it(temp.get_path().c_str());
        return std::distance(it, std::filesystem::directory_iterator());
    };
    EXPECT_EQ(entries(), 1);

    // A regular file replaces the target and leaves its own file system.
    std::string const source = other + "/source.txt";
    write_file(CoreString(source), "new content");
    EXPECT_TRUE(SysFilesystem::rename_file(CoreString(source), target));
    EXPECT_EQ(read_file(target), "new content");
    EXPECT_FALSE(SysFilesystem::file_exists(CoreString(source)));
    EXPECT_EQ(entries(), 1);
    std::filesystem::remove_all(other);
}
