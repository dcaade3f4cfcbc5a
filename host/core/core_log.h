#pragma once
// Logging: every message goes to the main log handler, which admits the levels up to its
// verbosity (1 errors, 2 warnings, 3 information, 4 debugging traces). Use CORE_LOG so
// that the text is only built when the level is admitted:
//
//     CORE_LOG(2, "ParserFile.read: " << path << ":" << line << ": missing '}'\n");
#include <atomic>
#include <mutex>
#include <sstream>
#include <string>

#include "host/core/core_export.h"
#include "host/core/core_string.h"

enum CoreLogLevel {
    CORE_LOG_LEVEL_ERROR = 1,
    CORE_LOG_LEVEL_WARNING = 2,
    CORE_LOG_LEVEL_INFO = 3,
    CORE_LOG_LEVEL_DEBUG = 4,
};

// Collects the text of one message.
class QN_HOST_API CoreLogStream {
public:
    template <typename T>
    CoreLogStream& operator<<(T const& value) { m_stream << value; return *this; }
    CoreLogStream& operator<<(bool value) { m_stream << (value ? "true" : "false"); return *this; }
    std::string get_text() const { return m_stream.str(); }

private:
    std::ostringstream m_stream;
};

class QN_HOST_API CoreLogHandler {
public:
    constexpr explicit CoreLogHandler(int verbosity = CORE_LOG_LEVEL_WARNING) : m_verbosity(verbosity) {}
    virtual ~CoreLogHandler() = default;

    int get_verbosity() const { return m_verbosity.load(std::memory_order_relaxed); }
    void set_verbosity(int const& verbosity) { m_verbosity.store(verbosity, std::memory_order_relaxed); }
    bool admits(int level) const { return level <= get_verbosity(); }

    // Writes the message when the level is admitted. Safe from any thread.
    void log(int level, CoreLogStream const& stream);
    void log(int level, CoreString const& text);

    // The handler every message goes to; never null (a stderr handler by default). Any
    // thread may log while another installs a handler; a handler that is replaced must
    // stay alive until the threads that may still be logging to it are done.
    static std::atomic<CoreLogHandler*> s_main_log_handler;
    static CoreLogHandler* get_main_log_handler()
    {
        return s_main_log_handler.load(std::memory_order_acquire);
    }
    // Installs `handler` (null restores the default) and returns the previous one.
    static CoreLogHandler* set_main_log_handler(CoreLogHandler* handler);
    static CoreLogHandler& get_default_handler();

protected:
    // Receives admitted messages one at a time (calls are serialised).
    virtual void write(int level, std::string const& text) = 0;

private:
    std::atomic<int> m_verbosity;
    std::mutex m_mutex;
};

// Writes to stderr, prefixing warnings and errors with their level.
class QN_HOST_API CoreLogHandlerStderr : public CoreLogHandler {
public:
    constexpr explicit CoreLogHandlerStderr(int verbosity = CORE_LOG_LEVEL_WARNING)
        : CoreLogHandler(verbosity) {}

protected:
    void write(int level, std::string const& text) override;
};

#define CORE_LOG(level, message)                                            \
    do {                                                                    \
        CoreLogHandler* core_log_handler_ = CoreLogHandler::get_main_log_handler(); \
        if (core_log_handler_->admits(level)) {                             \
            CoreLogStream core_log_stream_;                                 \
            core_log_stream_ << message;                                    \
            core_log_handler_->log(level, core_log_stream_);                \
        }                                                                   \
    } while (0)

#define CORE_LOG_ERROR(message) CORE_LOG(CORE_LOG_LEVEL_ERROR, message)
#define CORE_LOG_WARNING(message) CORE_LOG(CORE_LOG_LEVEL_WARNING, message)
#define CORE_LOG_INFO(message) CORE_LOG(CORE_LOG_LEVEL_INFO, message)
#define CORE_LOG_DEBUG(message) CORE_LOG(CORE_LOG_LEVEL_DEBUG, message)
