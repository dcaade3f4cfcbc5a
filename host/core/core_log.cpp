#include "host/core/core_log.h"

#include <cstdio>

namespace {
// Constant-initialised so that messages logged by other libraries' static initialisers
// (event name registration) already find a handler.
constinit CoreLogHandlerStderr s_default_handler;
}  // namespace

CoreLogHandler* CoreLogHandler::s_main_log_handler = &s_default_handler;

CoreLogHandler& CoreLogHandler::get_default_handler()
{
    return s_default_handler;
}

CoreLogHandler* CoreLogHandler::set_main_log_handler(CoreLogHandler* handler)
{
    CoreLogHandler* previous = s_main_log_handler;
    s_main_log_handler = handler ? handler : &get_default_handler();
    return previous;
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
