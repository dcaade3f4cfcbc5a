#include "host/glutils/glutils_gl_ctx.h"

void GlUtilsGlCtx::set_current(bool const& current)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_current = current;
    m_current_thread = current ? std::this_thread::get_id() : std::thread::id();
}

bool GlUtilsGlCtx::is_current() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_current && m_current_thread == std::this_thread::get_id();
}

void GlUtilsGlCtx::execute_or_queue(Command command)
{
    if (!command) return;
    if (is_current()) {
        command();
        return;
    }
    queue(std::move(command));
}

void GlUtilsGlCtx::queue(Command command)
{
    if (!command) return;
    std::lock_guard<std::mutex> guard(m_lock);
    m_commands.push_back(std::move(command));
}

void GlUtilsGlCtx::run_queued_commands()
{
    std::vector<Command> commands;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        commands.swap(m_commands);
    }
    for (Command& command : commands) command();
}

void GlUtilsGlCtx::clear_queued_commands()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_commands.clear();
}

unsigned int GlUtilsGlCtx::get_queued_command_count() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return static_cast<unsigned int>(m_commands.size());
}
