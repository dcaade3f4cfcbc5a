#include "host/sys/sys_filesystem.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "host/core/core_log.h"

namespace fs = std::filesystem;

namespace {

bool is_separator(char c)
{
    return c == '/' || c == '\\';
}

bool has_drive(std::string_view s)
{
    return s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
}

// Length of the root of `s`: one separator, a drive with its separator ("C:/"), a bare
// drive ("C:"), or nothing for a relative path.
size_t root_length(std::string_view s)
{
    if (!s.empty() && is_separator(s[0])) return 1;
    if (has_drive(s)) return s.size() > 2 && is_separator(s[2]) ? 3 : 2;
    return 0;
}

// End of `s` without its trailing separators (the root keeps its own).
size_t trimmed_end(std::string_view s, size_t root)
{
    size_t end = s.size();
    while (end > root && is_separator(s[end - 1])) --end;
    return end;
}

// Position of the last separator in [from, end), or npos.
size_t last_separator(std::string_view s, size_t from, size_t end)
{
    for (size_t i = end; i > from; --i) {
        if (is_separator(s[i - 1])) return i - 1;
    }
    return std::string_view::npos;
}

bool is_all_dots(std::string_view name)
{
    return name.find_first_not_of('.') == std::string_view::npos;
}

fs::path to_path(CoreBasicString const& path)
{
    return fs::path(path.std_string());
}

CoreString quoted(CoreBasicString const& text)
{
    CoreString r("'");
    r += text;
    r += '\'';
    return r;
}

// Turns the octal escapes of /proc/self/mounts ("\040" for a space) back into characters.
std::string unescape_mount_field(std::string const& field)
{
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3'
            && field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
            int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            out += static_cast<char>(value);
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// Turns udev's "\x20" escapes in /dev/disk/by-label names back into characters.
std::string unescape_udev_name(std::string const& name)
{
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x'
            && std::isxdigit(static_cast<unsigned char>(name[i + 2]))
            && std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            out += static_cast<char>(std::stoi(name.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

struct MountEntry {
    std::string device;
    std::string mount_point;
    std::string type;
};

std::vector<MountEntry> read_mounts()
{
    std::vector<MountEntry> mounts;
    std::ifstream in("/proc/self/mounts");
    std::string device, mount_point, type, rest;
    while (in >> device >> mount_point >> type) {
        std::getline(in, rest);
        mounts.push_back({unescape_mount_field(device), unescape_mount_field(mount_point), type});
    }
    return mounts;
}

// File systems that hold no user files: kernel interfaces, memory and container layers.
bool is_pseudo_file_system(std::string const& type)
{
    static char const* const pseudo[] = {
        "proc", "sysfs", "devtmpfs", "devpts", "tmpfs", "ramfs", "rootfs", "cgroup", "cgroup2",
        "securityfs", "pstore", "bpf", "debugfs", "tracefs", "mqueue", "hugetlbfs", "configfs",
        "fusectl", "autofs", "binfmt_misc", "rpc_pipefs", "nsfs", "efivarfs", "selinuxfs",
        "squashfs", "overlay", "fuse.lxcfs", "fuse.gvfsd-fuse", "fuse.portal",
    };
    for (char const* p : pseudo) {
        if (type == p) return true;
    }
    return false;
}

bool is_under(std::string const& path, std::string const& folder)
{
    if (folder == "/") return !path.empty() && path[0] == '/';
    return path.compare(0, folder.size(), folder) == 0
        && (path.size() == folder.size() || path[folder.size()] == '/');
}

}  // namespace

bool SysFilesystem::file_exists(CoreBasicString const& path)
{
    std::error_code ec;
    fs::file_status status = fs::status(to_path(path), ec);
    return !path.is_empty() && fs::exists(status) && !fs::is_directory(status);
}

bool SysFilesystem::folder_exists(CoreBasicString const& path)
{
    std::error_code ec;
    return !path.is_empty() && fs::is_directory(to_path(path), ec);
}

bool SysFilesystem::is_file_writable(CoreBasicString const& path)
{
    if (path.is_empty() || folder_exists(path)) return false;
    if (file_exists(path)) return ::access(path.c_str(), W_OK) == 0;
    CoreString folder = get_folder(path);
    if (folder.is_empty()) folder = ".";
    return folder_exists(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool SysFilesystem::is_relative(CoreBasicString const& path)
{
    return root_length(path.view()) == 0;
}

CoreString SysFilesystem::get_folder(CoreBasicString const& path)
{
    std::string_view s = path.view();
    size_t root = root_length(s);
    size_t end = trimmed_end(s, root);
    size_t sep = end > root ? last_separator(s, root, end) : std::string_view::npos;
    if (sep == std::string_view::npos) return CoreString(s.substr(0, root));
    while (sep > root && is_separator(s[sep - 1])) --sep;
    return CoreString(s.substr(0, sep > root ? sep : root));
}

CoreString SysFilesystem::get_filename(CoreBasicString const& path)
{
    std::string_view s = path.view();
    size_t root = root_length(s);
    size_t end = trimmed_end(s, root);
    if (end <= root) return CoreString();
    size_t sep = last_separator(s, root, end);
    size_t start = sep == std::string_view::npos ? root : sep + 1;
    return CoreString(s.substr(start, end - start));
}

CoreString SysFilesystem::get_filename_without_extension(CoreBasicString const& path)
{
    CoreString name = get_filename(path);
    if (is_all_dots(name.view())) return name;
    unsigned int dot = name.rev_find('.');
    if (dot == CoreString::NOT_FOUND || dot == 0) return name;
    return name.sub_string(0, dot);
}

CoreString SysFilesystem::get_file_extension(CoreBasicString const& path)
{
    CoreString name = get_filename(path);
    if (is_all_dots(name.view())) return CoreString();
    unsigned int dot = name.rev_find('.');
    if (dot == CoreString::NOT_FOUND || dot == 0) return CoreString();
    return name.sub_string(dot + 1);
}

CoreString SysFilesystem::format_path(CoreBasicString const& path)
{
    std::string_view s = path.view();
    if (s.empty()) return CoreString();

    std::string prefix;
    bool absolute = false;
    size_t pos = 0;
    if (has_drive(s)) {
        prefix = std::string(s.substr(0, 2));
        pos = 2;
    }
    if (pos < s.size() && is_separator(s[pos])) absolute = true;

    std::vector<std::string_view> parts;
    while (pos < s.size()) {
        while (pos < s.size() && is_separator(s[pos])) ++pos;
        size_t start = pos;
        while (pos < s.size() && !is_separator(s[pos])) ++pos;
        std::string_view part = s.substr(start, pos - start);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..") {
                parts.pop_back();
                continue;
            }
            if (absolute) continue;  // nothing above the root
        }
        parts.push_back(part);
    }

    std::string result = prefix;
    if (absolute) result += '/';
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) result += '/';
        result += parts[i];
    }
    if (result.empty()) return CoreString(".");
    return CoreString(std::move(result));
}

CoreString SysFilesystem::format_path_to_platform(CoreBasicString const& path)
{
    return format_path(windows_path_to_unix(path));
}

CoreString SysFilesystem::windows_path_to_unix(CoreBasicString const& path)
{
    CoreString result(path);
    result.replace('\\', '/');
    if (has_drive(result.view())) {
        result = result.sub_string(2);
        if (result.is_empty()) result = "/";
    }
    return result;
}

namespace {

// Lists the entries of `folder` that are folders (or not); false when it can't be read.
bool list_folder(char const* operation, CoreBasicString const& folder, bool want_folders,
                 CoreBasicString const& extension, CoreVector<CoreString>& out)
{
    out.clear();
    std::error_code ec;
    fs::directory_iterator it(to_path(folder), ec);
    if (ec) {
        CORE_LOG_WARNING("SysFilesystem." << operation << ": can't list " << quoted(folder) << ": "
                                          << ec.message() << "\n");
        return false;
    }
    CoreString wanted_extension(extension);
    if (wanted_extension.start_with(".")) wanted_extension = wanted_extension.sub_string(1);
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
        std::error_code status_ec;
        fs::file_status status = it->status(status_ec);
        if (status_ec || !fs::exists(status)) continue;  // broken link or vanished entry
        if (fs::is_directory(status) != want_folders) continue;
        CoreString name(it->path().filename().string());
        if (!want_folders && !wanted_extension.is_empty()
            && CoreString::compare(SysFilesystem::get_file_extension(name), wanted_extension, false) != 0) {
            continue;
        }
        out.add(std::move(name));
    }
    if (ec) {
        CORE_LOG_WARNING("SysFilesystem." << operation << ": error while listing " << quoted(folder) << ": "
                                          << ec.message() << "\n");
    }
    CoreString::alpha_sort(out);
    return !ec;
}

}  // namespace

bool SysFilesystem::get_files(CoreBasicString const& folder, CoreVector<CoreString>& out,
                              CoreBasicString const& extension)
{
    return list_folder("get_files", folder, false, extension, out);
}

bool SysFilesystem::get_folders(CoreBasicString const& folder, CoreVector<CoreString>& out)
{
    return list_folder("get_folders", folder, true, CoreBasicString(), out);
}

bool SysFilesystem::create_folder(CoreBasicString const& path)
{
    if (path.is_empty()) {
        CORE_LOG_WARNING("SysFilesystem.create_folder: empty path\n");
        return false;
    }
    if (folder_exists(path)) return true;
    std::error_code ec;
    fs::create_directories(to_path(path), ec);
    if (ec || !folder_exists(path)) {
        CORE_LOG_WARNING("SysFilesystem.create_folder: can't create " << quoted(path) << ": "
                                                                      << (ec ? ec.message() : "not a folder")
                                                                      << "\n");
        return false;
    }
    return true;
}

bool SysFilesystem::remove_file(CoreBasicString const& path)
{
    std::error_code ec;
    fs::file_status status = fs::symlink_status(to_path(path), ec);
    if (path.is_empty() || !fs::exists(status)) {
        CORE_LOG_WARNING("SysFilesystem.remove_file: " << quoted(path) << " does not exist\n");
        return false;
    }
    if (fs::is_directory(status)) {
        CORE_LOG_WARNING("SysFilesystem.remove_file: " << quoted(path) << " is a folder\n");
        return false;
    }
    if (!fs::remove(to_path(path), ec) || ec) {
        CORE_LOG_WARNING("SysFilesystem.remove_file: can't remove " << quoted(path) << ": " << ec.message()
                                                                    << "\n");
        return false;
    }
    return true;
}

bool SysFilesystem::remove_folder(CoreBasicString const& path)
{
    std::error_code ec;
    fs::file_status status = fs::symlink_status(to_path(path), ec);
    if (path.is_empty() || !fs::exists(status)) {
        CORE_LOG_WARNING("SysFilesystem.remove_folder: " << quoted(path) << " does not exist\n");
        return false;
    }
    // A link to a folder is removed as a link: what it points to is left alone.
    if (!fs::is_directory(status) && !(fs::is_symlink(status) && folder_exists(path))) {
        CORE_LOG_WARNING("SysFilesystem.remove_folder: " << quoted(path) << " is not a folder\n");
        return false;
    }
    if (format_path(path) == "/") {
        CORE_LOG_WARNING("SysFilesystem.remove_folder: refusing to remove the root folder\n");
        return false;
    }
    fs::remove_all(to_path(path), ec);
    if (ec) {
        CORE_LOG_WARNING("SysFilesystem.remove_folder: can't remove " << quoted(path) << ": "
                                                                      << ec.message() << "\n");
        return false;
    }
    return true;
}

namespace {

// A free name next to `to`: in the same folder, so that renaming it to `to` stays on one
// file system.
fs::path temporary_sibling(fs::path const& to)
{
    static std::atomic<unsigned int> s_counter{0};
    std::string const stem = "." + to.filename().string() + ".moving" + std::to_string(::getpid()) + "_";
    fs::path candidate;
    for (int attempt = 0; attempt < 100; ++attempt) {
        candidate = to.parent_path() / (stem + std::to_string(s_counter.fetch_add(1)));
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec))) break;
    }
    return candidate;
}

// Renames, falling back to copy and remove when `to` is on another file system. The copy
// is made under a temporary name and renamed over `to` once complete, so `to` is never
// left truncated or half written, and a failure removes only the copy.
bool move_entry(fs::path const& from, fs::path const& to, std::error_code& ec)
{
    fs::rename(from, to, ec);
    if (ec != std::errc::cross_device_link) return !ec;
    ec.clear();
    fs::path const temporary = temporary_sibling(to);
    fs::copy(from, temporary, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    // Someone else took the name meanwhile: it is theirs, not ours to remove.
    bool const ours = ec != std::errc::file_exists;
    if (!ec) fs::rename(temporary, to, ec);
    if (ec) {
        std::error_code ignored;
        if (ours) fs::remove_all(temporary, ignored);
        return false;
    }
    fs::remove_all(from, ec);
    return !ec;
}

}  // namespace

bool SysFilesystem::rename_file(CoreBasicString const& from, CoreBasicString const& to)
{
    std::error_code ec;
    fs::file_status status = fs::symlink_status(to_path(from), ec);
    if (from.is_empty() || !fs::exists(status)) {
        CORE_LOG_WARNING("SysFilesystem.rename_file: " << quoted(from) << " does not exist\n");
        return false;
    }
    if (fs::is_directory(status)) {
        CORE_LOG_WARNING("SysFilesystem.rename_file: " << quoted(from) << " is a folder\n");
        return false;
    }
    if (to.is_empty() || folder_exists(to)) {
        CORE_LOG_WARNING("SysFilesystem.rename_file: can't rename " << quoted(from) << " to " << quoted(to)
                                                                    << ": the target is a folder\n");
        return false;
    }
    if (!move_entry(to_path(from), to_path(to), ec)) {
        CORE_LOG_WARNING("SysFilesystem.rename_file: can't rename " << quoted(from) << " to " << quoted(to)
                                                                    << ": " << ec.message() << "\n");
        return false;
    }
    return true;
}

bool SysFilesystem::rename_folder(CoreBasicString const& from, CoreBasicString const& to)
{
    if (!folder_exists(from)) {
        CORE_LOG_WARNING("SysFilesystem.rename_folder: " << quoted(from) << " is not a folder\n");
        return false;
    }
    std::error_code ec;
    if (to.is_empty() || fs::exists(fs::symlink_status(to_path(to), ec))) {
        CORE_LOG_WARNING("SysFilesystem.rename_folder: can't rename " << quoted(from) << " to " << quoted(to)
                                                                      << ": the target exists\n");
        return false;
    }
    if (!move_entry(to_path(from), to_path(to), ec)) {
        CORE_LOG_WARNING("SysFilesystem.rename_folder: can't rename " << quoted(from) << " to "
                                                                      << quoted(to) << ": " << ec.message()
                                                                      << "\n");
        return false;
    }
    return true;
}

bool SysFilesystem::get_volumes(CoreVector<CoreString>& out)
{
    out.clear();
    CoreVector<CoreString> others;
    for (MountEntry const& mount : read_mounts()) {
        std::string const& point = mount.mount_point;
        if (point == "/" || is_pseudo_file_system(mount.type)) continue;
        if (is_under(point, "/proc") || is_under(point, "/sys") || is_under(point, "/dev")) continue;
        // Containers bind single files (/etc/hosts...) from the host's disks.
        if (!folder_exists(CoreBasicString(point))) continue;
        if (!others.contains(CoreString(point))) others.add(CoreString(point));
    }
    CoreString::alpha_sort(others);
    out.add(CoreString("/"));
    out.add(others);
    return true;
}

CoreString SysFilesystem::get_volume_name(CoreBasicString const& path)
{
    std::error_code ec;
    fs::path canonical = fs::canonical(to_path(path), ec);
    if (path.is_empty() || ec) {
        CORE_LOG_WARNING("SysFilesystem.get_volume_name: can't find " << quoted(path) << ": "
                                                                      << (ec ? ec.message() : "empty path")
                                                                      << "\n");
        return CoreString();
    }
    // The mount holding the path is the last listed one with the longest matching point.
    std::string target = canonical.string();
    MountEntry const* best = nullptr;
    std::vector<MountEntry> mounts = read_mounts();
    for (MountEntry const& mount : mounts) {
        if (is_under(target, mount.mount_point)
            && (!best || mount.mount_point.size() >= best->mount_point.size())) {
            best = &mount;
        }
    }
    if (!best) return CoreString("/");

    fs::path device = fs::canonical(best->device, ec);
    if (!ec) {
        for (fs::directory_iterator it("/dev/disk/by-label", ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code link_ec;
            if (fs::canonical(it->path(), link_ec) == device && !link_ec) {
                return CoreString(unescape_udev_name(it->path().filename().string()));
            }
        }
    }
    if (best->mount_point == "/") return CoreString("/");
    return get_filename(CoreBasicString(best->mount_point));
}

CoreString SysFilesystem::get_file_owner(CoreBasicString const& path)
{
    struct stat info;
    if (path.is_empty() || ::stat(path.c_str(), &info) != 0) {
        std::error_code ec(path.is_empty() ? ENOENT : errno, std::generic_category());
        CORE_LOG_WARNING("SysFilesystem.get_file_owner: can't read " << quoted(path) << ": " << ec.message()
                                                                     << "\n");
        return CoreString();
    }
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    if (::getpwuid_r(info.st_uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return CoreString(found->pw_name);
    }
    CoreString id;
    id += static_cast<unsigned long>(info.st_uid);
    return id;
}

unsigned long long SysFilesystem::get_folder_size(CoreBasicString const& path)
{
    if (!folder_exists(path)) {
        CORE_LOG_WARNING("SysFilesystem.get_folder_size: " << quoted(path) << " is not a folder\n");
        return 0;
    }
    unsigned long long total = 0;
    std::error_code ec;
    fs::recursive_directory_iterator it(to_path(path), fs::directory_options::skip_permission_denied, ec);
    for (fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::error_code entry_ec;
        if (it->symlink_status(entry_ec).type() != fs::file_type::regular || entry_ec) continue;
        uintmax_t size = it->file_size(entry_ec);
        if (!entry_ec) total += size;
    }
    if (ec) {
        CORE_LOG_WARNING("SysFilesystem.get_folder_size: error while reading " << quoted(path) << ": "
                                                                               << ec.message() << "\n");
    }
    return total;
}
