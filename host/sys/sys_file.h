#pragma once
// Reading and writing files. A file opened for writing is written under a temporary name
// in the same folder and renamed over the target when closed, so a crash or a failed
// write never leaves half a file: the target keeps its previous content until then.
#include <cstddef>
#include <cstdio>

#include "host/core/core_export.h"
#include "host/core/core_string.h"

// An open file; closed (and, when written, put in place) on destruction. Failures log a
// warning "SysFile.<operation>: ..." and are returned as false or a short count.
class QN_HOST_API SysFile {
public:
    enum Mode : int {
        MODE_READ,        // an existing file, from its start
        MODE_WRITE,       // a new content replacing the file's, put in place by close()
        MODE_APPEND,      // writes go to the end; the file is made when missing
        MODE_READ_WRITE,  // reads and writes anywhere; the file is made when missing
        MODE_COUNT
    };
    // Text and binary files are read and written alike on this platform: no line-end
    // translation takes place.
    enum Type : int { TYPE_TEXT, TYPE_BINARY, TYPE_COUNT };

    static char const* get_mode_name(Mode const& mode);
    static char const* get_type_name(Type const& type);

    SysFile() = default;
    SysFile(CoreBasicString const& path, Mode const& mode, Type const& type = TYPE_BINARY);
    ~SysFile();
    SysFile(SysFile const&) = delete;
    SysFile& operator=(SysFile const&) = delete;

    // Closes any file already open first.
    bool open(CoreBasicString const& path, Mode const& mode, Type const& type = TYPE_BINARY);
    bool is_open() const { return m_file != nullptr; }
    // Closes the file; in MODE_WRITE renames it into place, unless a write failed, in
    // which case the new content is dropped. False when the file could not be completed.
    bool close();
    // Closes a file opened in MODE_WRITE without replacing the target.
    void discard();

    // Reads up to `size` bytes; returns how many were read (fewer at the end of the file).
    size_t read(void* buffer, size_t size);
    // Reads from the current position to the end of the file, replacing `out`.
    bool read_all(CoreString& out);
    // Writes `size` bytes; returns how many were written.
    size_t write(void const* buffer, size_t size);
    bool write(CoreBasicString const& text);

    // Size of the file in bytes (what has been written so far included); -1 when closed.
    long long get_size() const;
    // Moves to `position` bytes from the start.
    bool seek(long long position);
    // The current position, or -1 when closed.
    long long tell() const;

    CoreString const& get_path() const { return m_path; }
    Mode const& get_mode() const { return m_mode; }
    Type const& get_type() const { return m_type; }

    // Whole-file conveniences.
    static bool read_file(CoreBasicString const& path, CoreString& out);
    static bool write_file(CoreBasicString const& path, CoreBasicString const& text);

private:
    void switch_direction(bool writing);
    void release();

    std::FILE* m_file = nullptr;
    CoreString m_path;
    CoreString m_temporary_path;  // MODE_WRITE: where the content goes until close()
    CoreString m_target_path;     // MODE_WRITE: the file replaced at close() (links resolved)
    Mode m_mode = MODE_READ;
    Type m_type = TYPE_BINARY;
    bool m_failed = false;   // a write failed: close() must not replace the target
    bool m_writing = false;  // the last transfer was a write
};
