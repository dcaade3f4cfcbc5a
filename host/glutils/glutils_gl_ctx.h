#pragma once
// GlUtilsGlCtx: the OpenGL context shared by all of the interface's OpenGL views, as the
// host sees it. Code that must issue OpenGL commands at a moment when no context may be
// current (a texture freed by a worker's callback, an object released while no view
// draws) hands them to execute_or_queue: they run at once while the context is current,
// otherwise at the start of the next draw, when the interface calls run_queued_commands.
//
//     ctx.execute_or_queue([texture] { glDeleteTextures(1, &texture); });
//
// Commands may be queued from any thread; they always run on the thread that draws.
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "host/core/core_export.h"

class QN_HOST_API GlUtilsGlCtx {
public:
    using Command = std::function<void()>;

    GlUtilsGlCtx() = default;
    GlUtilsGlCtx(GlUtilsGlCtx const&) = delete;
    GlUtilsGlCtx& operator=(GlUtilsGlCtx const&) = delete;

    // Set by the drawing code while the shared context is current on its thread.
    void set_current(bool const& current);
    bool is_current() const;

    // Runs the command now when the context is current on this thread, else queues it.
    void execute_or_queue(Command command);
    void queue(Command command);
    // Runs the queued commands in the order they came (the context must be current); commands
    // queued meanwhile wait for the next call.
    void run_queued_commands();
    // Drops the queued commands: the context they were meant for is gone.
    void clear_queued_commands();
    unsigned int get_queued_command_count() const;

private:
    mutable std::mutex m_lock;
    std::vector<Command> m_commands;
    bool m_current = false;
    std::thread::id m_current_thread;
};
