#include "host/sys/sys_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

#include "host/core/core_log.h"

namespace {

std::string error_text(int error)
{
    return std::error_code(error, std::generic_category()).message();
}

char const* mode_action(SysFile::Mode const& mode)
{
    switch (mode) {
    case SysFile::MODE_READ: return "reading";
    case SysFile::MODE_WRITE: return "writing";
    case SysFile::MODE_APPEND: return "appending";
    case SysFile::MODE_READ_WRITE: return "reading and writing";
    default: return "an unknown mode";
    }
}

bool can_read(SysFile::Mode const& mode)
{
    return mode == SysFile::MODE_READ || mode == SysFile::MODE_READ_WRITE;
}

// A name next to `target` that no other writer (thread or process) uses at the same time.
CoreString temporary_name(CoreString const& target)
{
    static std::atomic<unsigned int> s_counter{0};
    CoreString name(target);
    name += ".tmp.";
    name += static_cast<long>(::getpid());
    name += '.';
    name += s_counter.fetch_add(1);
    return name;
}

}  // namespace

char const* SysFile::get_mode_name(Mode const& mode)
{
    switch (mode) {
    case MODE_READ: return "MODE_READ";
    case MODE_WRITE: return "MODE_WRITE";
    case MODE_APPEND: return "MODE_APPEND";
    case MODE_READ_WRITE: return "MODE_READ_WRITE";
    case MODE_COUNT: return "MODE_COUNT";
    }
    return "MODE_UNKNOWN";
}

char const* SysFile::get_type_name(Type const& type)
{
    switch (type) {
    case TYPE_TEXT: return "TYPE_TEXT";
    case TYPE_BINARY: return "TYPE_BINARY";
    case TYPE_COUNT: return "TYPE_COUNT";
    }
    return "TYPE_UNKNOWN";
}

SysFile::SysFile(CoreBasicString const& path, Mode const& mode, Type const& type)
{
    open(path, mode, type);
}

SysFile::~SysFile()
{
    close();
}

bool SysFile::open(CoreBasicString const& path, Mode const& mode, Type const& type)
{
    close();
    m_path = path;
    m_mode = mode;
    m_type = type;
    m_failed = false;
    if (mode < MODE_READ || mode >= MODE_COUNT || type < TYPE_TEXT || type >= TYPE_COUNT) {
        CORE_LOG_WARNING("SysFile.open: can't open '" << path << "': invalid mode or type\n");
        return false;
    }
    if (path.is_empty()) {
        CORE_LOG_WARNING("SysFile.open: can't open a file with an empty path\n");
        return false;
    }

    struct stat info;
    bool const exists = ::stat(path.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) {
        CORE_LOG_WARNING("SysFile.open: can't open '" << path << "' for " << mode_action(mode)
                                                      << ": it is a folder\n");
        return false;
    }

    int fd = -1;
    char const* stdio_mode = "rb";
    switch (mode) {
    case MODE_READ:
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        break;
    case MODE_APPEND:
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
        stdio_mode = "ab";
        break;
    case MODE_READ_WRITE:
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        stdio_mode = "r+b";
        break;
    case MODE_WRITE: {
        // Write next to the file a link points to, so that the rename replaces the file
        // and not the link.
        m_target_path = path;
        if (exists) {
            char* resolved = ::realpath(path.c_str(), nullptr);
            if (resolved) {
                m_target_path = resolved;
                std::free(resolved);
            }
        }
        m_temporary_path = temporary_name(m_target_path);
        fd = ::open(m_temporary_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 && exists) ::fchmod(fd, info.st_mode & 07777);  // keep the file's permissions
        stdio_mode = "wb";
        break;
    }
    default:
        break;
    }
    if (fd >= 0) {
        m_file = ::fdopen(fd, stdio_mode);
        if (!m_file) {
            int error = errno;
            ::close(fd);
            errno = error;
        }
    }
    if (!m_file) {
        int error = errno;
        if (mode == MODE_WRITE && fd >= 0) ::unlink(m_temporary_path.c_str());
        CORE_LOG_WARNING("SysFile.open: can't open '" << path << "' for " << mode_action(mode) << ": "
                                                      << error_text(error) << "\n");
        m_temporary_path = CoreString();
        m_target_path = CoreString();
        return false;
    }
    return true;
}

void SysFile::switch_direction(bool writing)
{
    // The C library needs a flush or a seek between a write and a read on the same stream.
    if (m_writing != writing && m_mode == MODE_READ_WRITE) std::fseek(m_file, 0, SEEK_CUR);
    m_writing = writing;
}

void SysFile::release()
{
    m_file = nullptr;
    m_writing = false;
    m_temporary_path = CoreString();
    m_target_path = CoreString();
    m_failed = false;
}

bool SysFile::close()
{
    if (!m_file) return true;
    int error = 0;
    if (m_mode != MODE_READ && std::fflush(m_file) != 0) error = errno;
    // The data must be on disk before the rename makes it the file's content.
    if (!error && m_mode == MODE_WRITE && !m_failed && ::fsync(::fileno(m_file)) != 0) error = errno;
    if (std::fclose(m_file) != 0 && !error) error = errno;
    // A failed write has already been reported.
    bool ok = !error && !m_failed;
    if (error) {
        if (m_mode == MODE_WRITE) {
            CORE_LOG_WARNING("SysFile.close: '" << m_path << "' was not saved: " << error_text(error)
                                                << "\n");
        } else {
            CORE_LOG_WARNING("SysFile.close: can't complete '" << m_path << "': " << error_text(error)
                                                << "\n");
        }
    }
    if (m_mode == MODE_WRITE) {
        if (ok && ::rename(m_temporary_path.c_str(), m_target_path.c_str()) != 0) {
            error = errno;
            ok = false;
            CORE_LOG_WARNING("SysFile.close: can't put '" << m_path << "' in place: " << error_text(error)
                                                          << "\n");
        }
        if (!ok) ::unlink(m_temporary_path.c_str());
    }
    release();
    return ok;
}

void SysFile::discard()
{
    if (!m_file) return;
    std::fclose(m_file);
    if (m_mode == MODE_WRITE) ::unlink(m_temporary_path.c_str());
    release();
}

size_t SysFile::read(void* buffer, size_t size)
{
    if (!m_file || !can_read(m_mode)) {
        CORE_LOG_WARNING("SysFile.read: '" << m_path << "' is not open for reading\n");
        return 0;
    }
    if (size == 0) return 0;
    switch_direction(false);
    size_t count = std::fread(buffer, 1, size, m_file);
    if (count < size && std::ferror(m_file)) {
        CORE_LOG_WARNING("SysFile.read: error reading '" << m_path << "': " << error_text(errno) << "\n");
        std::clearerr(m_file);
    }
    return count;
}

bool SysFile::read_all(CoreString& out)
{
    out = CoreString();
    if (!m_file || !can_read(m_mode)) {
        CORE_LOG_WARNING("SysFile.read_all: '" << m_path << "' is not open for reading\n");
        return false;
    }
    switch_direction(false);
    std::string content;
    long long size = get_size();
    long long position = tell();
    if (size > position && position >= 0) content.reserve(static_cast<size_t>(size - position));
    char chunk[65536];
    for (;;) {
        size_t count = std::fread(chunk, 1, sizeof(chunk), m_file);
        content.append(chunk, count);
        if (count < sizeof(chunk)) break;
    }
    if (std::ferror(m_file)) {
        CORE_LOG_WARNING("SysFile.read_all: error reading '" << m_path << "': " << error_text(errno) << "\n");
        std::clearerr(m_file);
        return false;
    }
    out = CoreString(std::move(content));
    return true;
}

size_t SysFile::write(void const* buffer, size_t size)
{
    if (!m_file || m_mode == MODE_READ) {
        CORE_LOG_WARNING("SysFile.write: '" << m_path << "' is not open for writing\n");
        return 0;
    }
    if (size == 0) return 0;
    switch_direction(true);
    size_t count = std::fwrite(buffer, 1, size, m_file);
    if (count < size) {
        int error = errno;
        if (!m_failed) {
            char const* consequence = m_mode == MODE_WRITE ? " (the file will not be replaced)" : "";
            CORE_LOG_WARNING("SysFile.write: error writing '" << m_path << "': " << error_text(error)
                                                              << consequence << "\n");
        }
        m_failed = true;
        std::clearerr(m_file);
    }
    return count;
}

bool SysFile::write(CoreBasicString const& text)
{
    return write(text.get_data(), text.get_length()) == text.get_length();
}

long long SysFile::get_size() const
{
    if (!m_file) return -1;
    if (m_mode != MODE_READ) std::fflush(m_file);
    struct stat info;
    if (::fstat(::fileno(m_file), &info) != 0) return -1;
    return static_cast<long long>(info.st_size);
}

bool SysFile::seek(long long position)
{
    if (!m_file || position < 0 || ::fseeko(m_file, static_cast<off_t>(position), SEEK_SET) != 0) {
        CORE_LOG_WARNING("SysFile.seek: can't move to " << position << " in '" << m_path << "'\n");
        return false;
    }
    return true;
}

long long SysFile::tell() const
{
    if (!m_file) return -1;
    return static_cast<long long>(::ftello(m_file));
}

bool SysFile::read_file(CoreBasicString const& path, CoreString& out)
{
    SysFile file;
    if (!file.open(path, MODE_READ)) {
        out = CoreString();
        return false;
    }
    return file.read_all(out);
}

bool SysFile::write_file(CoreBasicString const& path, CoreBasicString const& text)
{
    SysFile file;
    if (!file.open(path, MODE_WRITE)) return false;
    if (!file.write(text)) {
        file.discard();
        return false;
    }
    return file.close();
}
