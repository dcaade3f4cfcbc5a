#include "tests/support/log_recorder.h"

LogRecorder::LogRecorder(int verbosity) : CoreLogHandler(verbosity)
{
    m_previous = CoreLogHandler::set_main_log_handler(this);
}

LogRecorder::~LogRecorder()
{
    CoreLogHandler::set_main_log_handler(m_previous);
}

std::vector<LogRecorder::Message> LogRecorder::get_messages() const
{
    std::lock_guard<std::mutex> guard(m_messages_mutex);
    return m_messages;
}

size_t LogRecorder::count(int level) const
{
    std::lock_guard<std::mutex> guard(m_messages_mutex);
    size_t n = 0;
    for (auto const& m : m_messages) n += (level == 0 || m.level == level) ? 1 : 0;
    return n;
}

bool LogRecorder::contains(std::string const& text) const
{
    std::lock_guard<std::mutex> guard(m_messages_mutex);
    for (auto const& m : m_messages) {
        if (m.text.find(text) != std::string::npos) return true;
    }
    return false;
}

std::string LogRecorder::dump() const
{
    std::lock_guard<std::mutex> guard(m_messages_mutex);
    std::string out;
    for (auto const& m : m_messages) out += "[" + std::to_string(m.level) + "] " + m.text;
    return out;
}

void LogRecorder::clear()
{
    std::lock_guard<std::mutex> guard(m_messages_mutex);
    m_messages.clear();
}

void LogRecorder::write(int level, std::string const& text)
{
    std::lock_guard<std::mutex> guard(m_messages_mutex);
    m_messages.push_back({level, text});
}
