#include "host/of/of_command_manager.h"

#include "host/core/core_log.h"
#include "host/of/of_event.h"

CORE_IMPLEMENT_CLASS(OfCommand, CoreBaseObject)
CORE_IMPLEMENT_CLASS(OfCommandBatch, OfCommand)
CORE_IMPLEMENT_CREATABLE_CLASS(OfCommandManager, EventObject)

OfCommandBatch::~OfCommandBatch() = default;

void OfCommandBatch::undo()
{
    for (auto it = m_commands.rbegin(); it != m_commands.rend(); ++it) (*it)->undo();
}

void OfCommandBatch::redo()
{
    for (auto& command : m_commands) command->redo();
}

size_t OfCommandBatch::get_memory_size() const
{
    size_t size = sizeof(OfCommandBatch) + m_commands.capacity() * sizeof(void*);
    for (auto const& command : m_commands) size += command->get_memory_size();
    return size;
}

OfCommandManager::~OfCommandManager()
{
    m_batch.reset();
    m_running.clear();
    m_redo.clear();
    m_undo.clear();
}

bool OfCommandManager::run(std::unique_ptr<OfCommand> command)
{
    if (!command) return false;
    if (m_busy) {
        CORE_LOG_WARNING("OfCommandManager.run: \"" << command->get_label()
                                                    << "\" refused: an undo or redo is running\n");
        return false;
    }
    // Commands that event listeners run while this one runs are collected in a frame of their
    // own and recorded after it, in the same step.
    m_running.emplace_back();
    bool const done = command->run();
    std::vector<std::unique_ptr<OfCommand>> nested = std::move(m_running.back());
    m_running.pop_back();
    CoreString const label = command->get_label();
    std::vector<std::unique_ptr<OfCommand>> commands;
    commands.reserve(nested.size() + 1);
    if (done) commands.push_back(std::move(command));
    for (auto& item : nested) commands.push_back(std::move(item));
    // A refused command changed nothing, but the listeners' changes it triggered still count.
    if (!commands.empty()) record(label, std::move(commands));
    return done;
}

void OfCommandManager::record(CoreBasicString const& label, std::vector<std::unique_ptr<OfCommand>> commands)
{
    if (!m_running.empty()) {
        for (auto& command : commands) m_running.back().push_back(std::move(command));
        return;
    }
    // The scene has diverged from the redo steps.
    drop_redo();
    if (m_batch) {
        for (auto& command : commands) m_batch->add(std::move(command));
    } else if (commands.size() == 1) {
        push_step(std::move(commands.front()));
    } else {
        auto step = std::make_unique<OfCommandBatch>(label);
        for (auto& command : commands) step->add(std::move(command));
        push_step(std::move(step));
    }
}

char const* OfCommandManager::get_refusal() const
{
    if (m_busy) return "an undo or redo runs";
    if (!m_running.empty()) return "a command runs";
    if (m_batch_level > 0) return "a batch is open";
    return nullptr;
}

void OfCommandManager::begin_batch(CoreBasicString const& label)
{
    if (m_batch_level++ == 0) m_batch = std::make_unique<OfCommandBatch>(label);
}

void OfCommandManager::end_batch()
{
    if (m_batch_level == 0) {
        CORE_LOG_WARNING("OfCommandManager.end_batch: no batch is open\n");
        return;
    }
    if (--m_batch_level > 0) return;
    std::unique_ptr<OfCommandBatch> batch = std::move(m_batch);
    if (batch->get_command_count() > 0) push_step(std::move(batch));
}

CoreString const& OfCommandManager::get_batch_label() const
{
    return m_batch ? m_batch->get_batch_label() : CoreString::get_null_string();
}

bool OfCommandManager::undo()
{
    if (char const* refusal = get_refusal()) {
        CORE_LOG_WARNING("OfCommandManager.undo: refused while " << refusal << "\n");
        return false;
    }
    if (m_undo.empty()) return false;
    std::unique_ptr<OfCommand> step = std::move(m_undo.back());
    m_undo.pop_back();
    m_busy = true;
    step->undo();
    m_busy = false;
    m_redo.push_back(std::move(step));
    raise_event(EVT_ID_OF_COMMAND_HISTORY_CHANGED);
    return true;
}

bool OfCommandManager::redo()
{
    if (char const* refusal = get_refusal()) {
        CORE_LOG_WARNING("OfCommandManager.redo: refused while " << refusal << "\n");
        return false;
    }
    if (m_redo.empty()) return false;
    std::unique_ptr<OfCommand> step = std::move(m_redo.back());
    m_redo.pop_back();
    m_busy = true;
    step->redo();
    m_busy = false;
    m_undo.push_back(std::move(step));
    raise_event(EVT_ID_OF_COMMAND_HISTORY_CHANGED);
    return true;
}

CoreString OfCommandManager::get_undo_label() const
{
    return get_undo_label(0);
}

CoreString OfCommandManager::get_redo_label() const
{
    return get_redo_label(0);
}

CoreString OfCommandManager::get_undo_label(unsigned int const& index) const
{
    return index < m_undo.size() ? m_undo[m_undo.size() - 1 - index]->get_label() : CoreString();
}

CoreString OfCommandManager::get_redo_label(unsigned int const& index) const
{
    return index < m_redo.size() ? m_redo[m_redo.size() - 1 - index]->get_label() : CoreString();
}

void OfCommandManager::clear()
{
    if (char const* refusal = get_refusal()) {
        CORE_LOG_WARNING("OfCommandManager.clear: refused while " << refusal << "\n");
        return;
    }
    if (m_undo.empty() && m_redo.empty()) return;
    drop_redo();
    std::vector<std::unique_ptr<OfCommand>> steps = std::move(m_undo);
    m_undo.clear();
    steps.clear();
    raise_event(EVT_ID_OF_COMMAND_HISTORY_CHANGED);
}

void OfCommandManager::set_history_limit(unsigned int const& limit)
{
    m_history_limit = limit;
    enforce_limit();
}

void OfCommandManager::push_step(std::unique_ptr<OfCommand> step)
{
    m_undo.push_back(std::move(step));
    enforce_limit();
    raise_event(EVT_ID_OF_COMMAND_HISTORY_CHANGED);
}

void OfCommandManager::drop_redo()
{
    // Steps free only the items they own, which nothing outside them links to, so any order
    // is safe.
    std::vector<std::unique_ptr<OfCommand>> steps = std::move(m_redo);
    m_redo.clear();
    steps.clear();
}

void OfCommandManager::enforce_limit()
{
    if (m_history_limit == 0 || m_undo.size() <= m_history_limit) return;
    m_undo.erase(m_undo.begin(), m_undo.begin() + static_cast<long>(m_undo.size() - m_history_limit));
}

size_t OfCommandManager::get_memory_size() const
{
    size_t size = EventObject::get_memory_size() - sizeof(EventObject) + sizeof(OfCommandManager);
    for (auto const& step : m_undo) size += step->get_memory_size();
    for (auto const& step : m_redo) size += step->get_memory_size();
    if (m_batch) size += m_batch->get_memory_size();
    for (auto const& frame : m_running) {
        for (auto const& command : frame) size += command->get_memory_size();
    }
    return size;
}
