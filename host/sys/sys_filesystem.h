#pragma once
// Path operations and file-system queries. Both '/' and '\\' count as separators when a
// path is taken apart, so paths written on Windows work too; paths produced here use '/'.
// Operations that fail log one warning ("SysFilesystem.<operation>: ...") and return
// false (or an empty result); nothing throws.
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

// Static path and file-system operations.
class QN_HOST_API SysFilesystem {
public:
    SysFilesystem() = delete;

    // --- queries (a false answer is not logged) ---

    // True for an existing entry that is not a folder (links are followed).
    static bool file_exists(CoreBasicString const& path);
    static bool folder_exists(CoreBasicString const& path);
    // True when `path` could be written: an existing file that may be written to, or a
    // missing file whose folder exists and may be written to.
    static bool is_file_writable(CoreBasicString const& path);
    // True unless the path starts with a separator or a drive letter ("C:").
    static bool is_relative(CoreBasicString const& path);

    // --- taking paths apart (pure text operations; trailing separators are ignored) ---

    // "a/b/c.txt" -> "a/b", "/c.txt" -> "/", "c.txt" -> "", "a/b/" -> "a".
    static CoreString get_folder(CoreBasicString const& path);
    // "a/b/c.txt" -> "c.txt", "a/b/" -> "b", "/" -> "".
    static CoreString get_filename(CoreBasicString const& path);
    // "a/b.tar.gz" -> "b.tar", "a/.profile" -> ".profile", "a/b." -> "b".
    static CoreString get_filename_without_extension(CoreBasicString const& path);
    // The text after the last dot of the file name, without the dot: "a/b.tar.gz" -> "gz";
    // empty for "a/b", for a dot file such as ".profile" and for "b.".
    static CoreString get_file_extension(CoreBasicString const& path);

    // --- normalising ---

    // '\\' becomes '/', repeated separators collapse, "." parts go and "name/.." pairs
    // resolve; ".." at the start of a relative path is kept, above the root it is dropped.
    // No trailing separator except for the root itself ("/", "C:/"). An empty path stays
    // empty; a relative path that resolves to nothing becomes ".".
    static CoreString format_path(CoreBasicString const& path);
    // A path usable on this platform: windows_path_to_unix, then format_path.
    static CoreString format_path_to_platform(CoreBasicString const& path);
    // Backslashes become '/'. A leading drive letter is dropped so that an absolute
    // Windows path becomes an absolute path from the root: "C:\\data\\a" -> "/data/a",
    // "C:" -> "/", while a drive-relative "C:a" -> "a". Nothing else changes.
    static CoreString windows_path_to_unix(CoreBasicString const& path);
    static char get_folder_separator() { return '/'; }

    // --- listing (names only, in natural order; `out` is cleared first) ---

    // Files of `folder` (not of its sub-folders). A non-empty `extension` keeps only the
    // files with that extension, compared without case, given with or without its dot.
    static bool get_files(CoreBasicString const& folder, CoreVector<CoreString>& out,
                          CoreBasicString const& extension = CoreBasicString());
    static bool get_folders(CoreBasicString const& folder, CoreVector<CoreString>& out);

    // --- changing ---

    // Creates the folder and its missing parents; true when it exists afterwards.
    static bool create_folder(CoreBasicString const& path);
    // Removes a file (not a folder).
    static bool remove_file(CoreBasicString const& path);
    // Removes a folder with everything in it.
    static bool remove_folder(CoreBasicString const& path);
    // Renames or moves a file; an existing file at `to` is replaced.
    static bool rename_file(CoreBasicString const& from, CoreBasicString const& to);
    // Renames or moves a folder; `to` must not exist.
    static bool rename_folder(CoreBasicString const& from, CoreBasicString const& to);

    // --- volumes and owners ---

    // Mount points of the real (disk or network) file systems, "/" first, the others in
    // natural order.
    static bool get_volumes(CoreVector<CoreString>& out);
    // The name of the volume holding `path`: its file-system label when it has one, else
    // the name of its mount point ("/" for the root). Empty when the path does not exist.
    static CoreString get_volume_name(CoreBasicString const& path);
    // The user name of the owner of `path` (its numeric id when the user is unknown).
    static CoreString get_file_owner(CoreBasicString const& path);
    // Total bytes of the files in `path` and all its sub-folders (links are not followed).
    static unsigned long long get_folder_size(CoreBasicString const& path);
};
