#include "host/core/core_log.h"

#include <cstdio>

namespace {
// The default handler is constant-initialised, so that messages logged by other libraries'
// static initialisers already find it, and never destroyed, so that static destructors
// that run after this file's may still log.
union DefaultHandlerStorage {
    CoreLogHandlerStderr handler;
    constexpr DefaultHandlerStorage() : handler() {}
    ~DefaultHandlerStorage() {}
};
constinit DefaultHandlerStorage s_default_storage;
}  // namespace

std::atomic<CoreLogHandler*> CoreLogHandler::s_main_log_handler{&s_default_storage.handler};

CoreLogHandler& CoreLogHandler::get_default_handler()
{
    return s_default_storage.handler;
}

CoreLogHandler* CoreLogHandler::set_main_log_handler(CoreLogHandler* handler)
{
    return s_main_log_handler.exchange(handler ? handler : &get_default_handler(), std::memory_order_acq_rel);
}

void CoreLogHandler::log(int level, CoreLogStream const& stream)
{
    if (!admits(level)) return;
    std::string text = stream.get_text();
    std::lock_guard<std::mutex> guard(m_mutex);
    write(level, text);
}

void CoreLogHandler::log(int level, CoreString const& text)
{
    if (!admits(level)) return;
    std::lock_guard<std::mutex> guard(m_mutex);
    write(level, text.std_string());
}

void CoreLogHandlerStderr::write(int level, std::string const& text)
{
    char const* prefix = "";
    if (level <= CORE_LOG_LEVEL_ERROR) prefix = "error: ";
    else if (level == CORE_LOG_LEVEL_WARNING) prefix = "warning: ";
    std::fprintf(stderr, "%s%s", prefix, text.c_str());
    std::fflush(stderr);
}
