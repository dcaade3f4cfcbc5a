#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "host/sys/sys_file.h"
#include "host/sys/sys_filesystem.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

TEST(SysFile, WriteReadRoundTrip)
{
    SysTempFolder temp;
    LogRecorder log;
    CoreString path = temp / "data.bin";

    // Every byte value, NULs included, must survive.
    std::string bytes;
    for (int i = 0; i < 256 * 300; ++i) bytes += static_cast<char>(i % 256);
    {
        SysFile file(path, SysFile::MODE_WRITE);
        ASSERT_TRUE(file.is_open());
        EXPECT_EQ(file.write(bytes.data(), 1000), 1000u);
        EXPECT_TRUE(file.write(CoreString(bytes.substr(1000))));
    }  // the destructor puts the file in place

    SysFile file;
    ASSERT_TRUE(file.open(path, SysFile::MODE_READ));
    EXPECT_EQ(file.get_size(), static_cast<long long>(bytes.size()));
    char head[10];
    EXPECT_EQ(file.read(head, sizeof(head)), sizeof(head));
    EXPECT_EQ(file.tell(), 10);
    CoreString rest;
    ASSERT_TRUE(file.read_all(rest));
    EXPECT_EQ(rest.std_string(), bytes.substr(10));
    EXPECT_EQ(file.read(head, sizeof(head)), 0u);  // at the end: nothing more, no message
    ASSERT_TRUE(file.seek(256));
    EXPECT_EQ(file.read(head, 1), 1u);
    EXPECT_EQ(head[0], '\0');
    EXPECT_TRUE(file.close());

    // No temporary file is left next to the target.
    CoreVector<CoreString> names;
    SysFilesystem::get_files(temp.get_path(), names);
    EXPECT_EQ(names, CoreVector<CoreString>{"data.bin"});
    EXPECT_EQ(log.count(), 0u) << log.dump();
}

TEST(SysFile, WriteReplacesTheFileOnlyWhenClosed)
{
    SysTempFolder temp;
    CoreString path = temp / "settings.txt";
    ASSERT_TRUE(SysFile::write_file(path, "old"));
    ::chmod(path.c_str(), 0640);

    CoreString content;
    {
        SysFile file(path, SysFile::MODE_WRITE, SysFile::TYPE_TEXT);
        file.write(CoreString("new content"));
        SysFile::read_file(path, content);
        EXPECT_EQ(content, "old");  // still the previous content while writing
        EXPECT_TRUE(file.close());
    }
    SysFile::read_file(path, content);
    EXPECT_EQ(content, "new content");
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // permissions are kept

    SysFile file(path, SysFile::MODE_WRITE);
    file.write(CoreString("dropped"));
    file.discard();
    SysFile::read_file(path, content);
    EXPECT_EQ(content, "new content");

    // Writing through a link replaces the file it points to and keeps the link.
    CoreString link = temp / "link.txt";
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    ASSERT_TRUE(SysFile::write_file(link, "through the link"));
    SysFile::read_file(path, content);
    EXPECT_EQ(content, "through the link");
    struct stat link_info;
    ASSERT_EQ(::lstat(link.c_str(), &link_info), 0);
    EXPECT_TRUE(S_ISLNK(link_info.st_mode));
    CoreVector<CoreString> names;
    SysFilesystem::get_files(temp.get_path(), names);
    EXPECT_EQ(names.get_count(), 2u);
}

TEST(SysFile, AppendAndReadWrite)
{
    SysTempFolder temp;
    CoreString path = temp / "log.txt";
    for (char const* line : {"one\n", "two\n"}) {
        SysFile file(path, SysFile::MODE_APPEND, SysFile::TYPE_TEXT);  // made when missing
        EXPECT_TRUE(file.write(CoreString(line)));
    }
    CoreString content;
    SysFile::read_file(path, content);
    EXPECT_EQ(content, "one\ntwo\n");

    SysFile file(path, SysFile::MODE_READ_WRITE);
    char buffer[4] = {};
    EXPECT_EQ(file.read(buffer, 3), 3u);
    EXPECT_TRUE(file.write(CoreString("!")));  // overwrites the '\n' after "one"
    EXPECT_EQ(file.read(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "two");
    file.close();
    SysFile::read_file(path, content);
    EXPECT_EQ(content, "one!two\n");
}

TEST(SysFile, FailuresLogOneMessage)
{
    SysTempFolder temp;
    SysFile::write_file(temp / "regular", "x");
    SysFilesystem::create_folder(temp / "folder");

    struct Case {
        CoreString path;
        SysFile::Mode mode;
    };
    Case const cases[] = {
        {temp / "missing", SysFile::MODE_READ},
        {temp / "regular/child", SysFile::MODE_WRITE},  // parent is a file: fails even as root
        {temp / "folder", SysFile::MODE_READ},
        {"", SysFile::MODE_READ},
    };
    for (Case const& c : cases) {
        LogRecorder log;
        SysFile file;
        EXPECT_FALSE(file.open(c.path, c.mode)) << c.path;
        EXPECT_EQ(file.get_size(), -1);
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << c.path << "\n" << log.dump();
    }

    LogRecorder log;
    CoreString content("stale");
    EXPECT_FALSE(SysFile::read_file(temp / "missing", content));
    EXPECT_TRUE(content.is_empty());
    EXPECT_FALSE(SysFile::write_file(temp / "regular/child", "x"));
    EXPECT_EQ(log.count(), 2u) << log.dump();

    // Wrong direction: reading a file opened for appending, writing one opened for reading.
    log.clear();
    SysFile appended(temp / "appended", SysFile::MODE_APPEND);
    char byte;
    EXPECT_EQ(appended.read(&byte, 1), 0u);
    SysFile read_only(temp / "regular", SysFile::MODE_READ);
    EXPECT_EQ(read_only.write("y", 1), 0u);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();

    SysFile::read_file(temp / "regular", content);
    EXPECT_EQ(content, "x");
}

TEST(SysFile, DeviceFullIsReportedOnClose)
{
    if (!SysFilesystem::file_exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    LogRecorder log;
    SysFile file("/dev/full", SysFile::MODE_APPEND);
    ASSERT_TRUE(file.is_open());
    file.write(CoreString("buffered, so the error shows when flushed"));
    EXPECT_FALSE(file.close());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
}
