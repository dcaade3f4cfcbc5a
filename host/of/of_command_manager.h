#pragma once
// Undo and redo of scene changes. Every change of a scene is an OfCommand run by the
// factory's command manager, which keeps the history as two stacks of steps:
//
//     OfCommandManager& commands = factory.get_command_manager();
//     commands.begin_batch("Rename Items");    // one undo step for what follows
//     for (OfItem* item : items) item->set_name(...);
//     commands.end_batch();
//     commands.undo();                          // the names come back, in reverse order
//
// A command run outside any batch is its own step, labelled with the command's label.
// Batches nest: inner begin/end pairs only count levels (get_batch_level) and the outer
// label names the step; an empty batch adds no step. Running a command clears the redo
// steps. Undo, redo and clear are refused (with a message) while a batch is open or a command
// runs, and so are new commands while an undo or redo is running.
//
// A command's run() raises scene events; commands that listeners run in response join the
// running command's step, after it, so one undo takes back the change and its consequences
// (in reverse order).
//
// Commands keep the items they delete (or whose creation was undone) alive, detached, so
// undo can put them back; such items are freed with the command, when it leaves the
// history (the redo steps are dropped, the history is cleared or exceeds its limit).
#include <memory>
#include <vector>

#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/event/event_object.h"

// One undoable change. run() makes it the first time and may refuse (changing nothing);
// after a successful run, undo() and redo() alternate, each from the exact state the other
// left, so they cannot fail.
class QN_HOST_API OfCommand : public CoreBaseObject {
    CORE_DECLARE_CLASS(OfCommand, CoreBaseObject)

public:
    ~OfCommand() override = default;

    virtual bool run() = 0;
    virtual void undo() = 0;
    virtual void redo() = 0;
    // What the command does, for the undo history ("Rename Item").
    virtual CoreString get_label() const = 0;
};

// A sequence of commands undone in reverse order: one undo step.
class QN_HOST_API OfCommandBatch : public OfCommand {
    CORE_DECLARE_CLASS(OfCommandBatch, OfCommand)

public:
    explicit OfCommandBatch(CoreBasicString const& label) : m_label(label) {}
    ~OfCommandBatch() override;

    bool run() override { return true; }
    void undo() override;
    void redo() override;
    CoreString get_label() const override { return m_label; }
    CoreString const& get_batch_label() const { return m_label; }

    // Appends a command that has already run.
    void add(std::unique_ptr<OfCommand> command) { m_commands.push_back(std::move(command)); }
    unsigned int get_command_count() const { return static_cast<unsigned int>(m_commands.size()); }
    OfCommand const* get_command(unsigned int const& index) const
    {
        return index < m_commands.size() ? m_commands[index].get() : nullptr;
    }

    size_t get_memory_size() const override;

private:
    CoreString m_label;
    std::vector<std::unique_ptr<OfCommand>> m_commands;
};

class QN_HOST_API OfCommandManager : public EventObject {
    CORE_DECLARE_CLASS(OfCommandManager, EventObject)

public:
    OfCommandManager() = default;
    ~OfCommandManager() override;

    // Runs `command`; when it succeeds, records it in the open batch or as a new step and
    // returns true. A refused command is deleted and false returned.
    bool run(std::unique_ptr<OfCommand> command);

    void begin_batch(CoreBasicString const& label);
    // Closes the innermost batch; an unmatched call is reported and ignored.
    void end_batch();
    int const& get_batch_level() const { return m_batch_level; }
    // Label of the open outermost batch, or "".
    CoreString const& get_batch_label() const;

    bool is_undoable() const { return !m_undo.empty() && !get_refusal(); }
    bool is_redoable() const { return !m_redo.empty() && !get_refusal(); }
    // Undo or redo one step; false (with a message when not merely empty) when refused.
    bool undo();
    bool redo();
    // Labels of the step undo (redo) would take back (make again); "" when there is none.
    CoreString get_undo_label() const;
    CoreString get_redo_label() const;
    unsigned int get_undo_count() const { return static_cast<unsigned int>(m_undo.size()); }
    unsigned int get_redo_count() const { return static_cast<unsigned int>(m_redo.size()); }
    // Label of undo step `index` counted from the most recent (0), or "".
    CoreString get_undo_label(unsigned int const& index) const;
    CoreString get_redo_label(unsigned int const& index) const;
    // True while an undo or redo runs.
    bool const& is_busy() const { return m_busy; }
    // True while a command's run() executes (including commands run by its listeners).
    bool is_running() const { return !m_running.empty(); }

    // Drops every step (freeing the items they kept). Refused while a batch is open or a
    // command, undo or redo runs.
    void clear();
    // The most steps kept; older ones are dropped (0, the default, keeps all).
    unsigned int const& get_history_limit() const { return m_history_limit; }
    void set_history_limit(unsigned int const& limit);

    size_t get_memory_size() const override;

private:
    // Records commands that ran (in order) in the running command's frame, the open batch, or
    // as one new step named `label`.
    void record(CoreBasicString const& label, std::vector<std::unique_ptr<OfCommand>> commands);
    // Why undo, redo and clear are refused now, or nullptr.
    char const* get_refusal() const;
    void push_step(std::unique_ptr<OfCommand> step);
    void drop_redo();
    void enforce_limit();

    std::vector<std::unique_ptr<OfCommand>> m_undo;  // oldest first
    std::vector<std::unique_ptr<OfCommand>> m_redo;  // the next redo last
    std::unique_ptr<OfCommandBatch> m_batch;
    // One frame per command whose run() is executing, innermost last: the commands its
    // listeners ran, in order.
    std::vector<std::vector<std::unique_ptr<OfCommand>>> m_running;
    int m_batch_level = 0;
    unsigned int m_history_limit = 0;
    bool m_busy = false;
};
