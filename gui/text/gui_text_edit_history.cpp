#include "gui/text/gui_text_edit_history.h"

#include <climits>

void GuiTextEditHistory::start_undo(Type const& type, int const& line, int const& column)
{
    if (m_recording) CORE_LOG_WARNING("GuiTextEditHistory.start_undo: a recording was still open; it is closed\n");
    m_current.actions.clear();
    m_current.type = type;
    m_recording = true;
    record(std::make_unique<GuiTextEditActionSetCursorPosition>(line, column));
}

bool GuiTextEditHistory::stop_undo(int const& line, int const& column)
{
    if (!m_recording) return false;
    m_recording = false;
    // Only the opening cursor position: nothing changed.
    if (m_current.actions.size() <= 1) {
        m_current.actions.clear();
        return false;
    }
    record(std::make_unique<GuiTextEditActionSetCursorPosition>(line, column));
    m_undo.push_back(std::move(m_current));
    m_current = ActionList();
    m_redo.clear();
    count(1);
    return true;
}

void GuiTextEditHistory::record(std::unique_ptr<GuiTextEditAction> action)
{
    if (m_recording) m_current.actions.push_back(std::move(action));
}

void GuiTextEditHistory::count(int const& step)
{
    if (step > 0 && m_modifications == INT_MAX) return;
    if (step < 0 && m_modifications == INT_MIN) return;
    m_modifications += step;
}

void GuiTextEditHistory::insert_text(int const& line, int const& column, CoreString const& text)
{
    if (text.is_empty()) return;
    auto action = std::make_unique<GuiTextEditActionInsertText>(line, column, text);
    int l, c;
    action->redo(*m_buffer, l, c);
    record(std::move(action));
}

CoreString GuiTextEditHistory::remove_text(int const& line, int const& column, int const& length)
{
    if (length <= 0) return CoreString();
    auto action = std::make_unique<GuiTextEditActionRemoveText>(line, column, length);
    int l, c;
    action->redo(*m_buffer, l, c);
    CoreString removed = action->get_text();
    record(std::move(action));
    return removed;
}

void GuiTextEditHistory::set_line(int const& line, CoreString const& text)
{
    auto action = std::make_unique<GuiTextEditActionSetLine>(line, text);
    int l, c;
    action->redo(*m_buffer, l, c);
    record(std::move(action));
}

void GuiTextEditHistory::insert_line(int const& line, CoreString const& text)
{
    auto action = std::make_unique<GuiTextEditActionInsertLine>(line, text, GuiTextEditLineInfo());
    int l, c;
    action->redo(*m_buffer, l, c);
    record(std::move(action));
}

void GuiTextEditHistory::remove_line(int const& line)
{
    auto action = std::make_unique<GuiTextEditActionRemoveLine>(line);
    int l, c;
    action->redo(*m_buffer, l, c);
    record(std::move(action));
}

bool GuiTextEditHistory::undo(int& line, int& column)
{
    if (m_undo.empty()) return false;
    Type type;
    do {
        ActionList list = std::move(m_undo.back());
        m_undo.pop_back();
        for (auto it = list.actions.rbegin(); it != list.actions.rend(); ++it) (*it)->undo(*m_buffer, line, column);
        type = list.type;
        m_redo.push_back(std::move(list));
        count(-1);
    } while (is_merged_type(type) && !m_undo.empty() && m_undo.back().type == type);
    return true;
}

bool GuiTextEditHistory::redo(int& line, int& column)
{
    if (m_redo.empty()) return false;
    Type type;
    do {
        ActionList list = std::move(m_redo.back());
        m_redo.pop_back();
        for (auto& action : list.actions) action->redo(*m_buffer, line, column);
        type = list.type;
        m_undo.push_back(std::move(list));
        count(1);
    } while (is_merged_type(type) && !m_redo.empty() && m_redo.back().type == type);
    return true;
}

void GuiTextEditHistory::clear()
{
    m_undo.clear();
    m_redo.clear();
    m_current = ActionList();
    m_recording = false;
}
