#include "gui/text/gui_text_edit_action.h"

#include <algorithm>

void GuiTextEditActionInsertText::redo(GuiTextBuffer& buffer, int& line, int& column)
{
    buffer.insert_text(m_line, m_column, m_text);
    line = m_line;
    column = m_column + static_cast<int>(m_text.get_length());
}

void GuiTextEditActionInsertText::undo(GuiTextBuffer& buffer, int& line, int& column)
{
    buffer.remove_text(m_line, m_column, static_cast<int>(m_text.get_length()));
    line = m_line;
    column = m_column;
}

void GuiTextEditActionRemoveText::redo(GuiTextBuffer& buffer, int& line, int& column)
{
    m_text = buffer.remove_text(m_line, m_column, m_length);
    m_length = static_cast<int>(m_text.get_length());
    line = m_line;
    column = m_column;
}

void GuiTextEditActionRemoveText::undo(GuiTextBuffer& buffer, int& line, int& column)
{
    buffer.insert_text(m_line, m_column, m_text);
    line = m_line;
    column = m_column + static_cast<int>(m_text.get_length());
}

void GuiTextEditActionSetLine::redo(GuiTextBuffer& buffer, int& line, int& column)
{
    buffer.swap_line(m_line, m_text);
    line = m_line;
    column = 0;
}

void GuiTextEditActionInsertLine::redo(GuiTextBuffer& buffer, int& line, int& column)
{
    buffer.insert_line(m_line, m_text, m_info);
    line = m_line;
    column = 0;
}

void GuiTextEditActionInsertLine::undo(GuiTextBuffer& buffer, int& line, int& column)
{
    buffer.remove_line(m_line);
    line = std::max(0, m_line - 1);
    column = 0;
}

void GuiTextEditActionRemoveLine::redo(GuiTextBuffer& buffer, int& line, int& column)
{
    m_emptied = buffer.get_line_count() == 1;
    GuiTextBuffer::Line removed = buffer.remove_line(m_line);
    m_text = std::move(removed.text);
    m_info = std::move(removed.info);
    line = std::min(m_line, buffer.get_line_count() - 1);
    column = 0;
}

void GuiTextEditActionRemoveLine::undo(GuiTextBuffer& buffer, int& line, int& column)
{
    if (m_emptied) {
        CoreString text = m_text;
        buffer.swap_line(0, text);
    } else {
        buffer.insert_line(m_line, m_text, m_info);
    }
    line = m_line;
    column = 0;
}

void GuiTextEditActionSetCursorPosition::redo(GuiTextBuffer&, int& line, int& column)
{
    line = m_line;
    column = m_column;
}
