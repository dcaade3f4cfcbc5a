#include "gui/text/gui_variable_edit_window.h"

#include "gui/text/gui_text_edit.h"

CORE_IMPLEMENT_CLASS(GuiVariableEditWindow, GuiInputDialog)

GuiVariableEditWindow::GuiVariableEditWindow(GuiApp& app, CoreString const& title, CoreString const& text)
    : GuiInputDialog(app, title)
{
    GMathVec4<int> const area = add_area(CoreString(), EDITOR_ROWS);
    // The editor spans the caption column too: a longer text needs the width.
    m_edit = new GuiTextEdit(*this, MARGIN, area[1], area[0] + area[2] - MARGIN, area[3]);
    m_edit->set_text(text);
    m_edit->show();
    add_field(*m_edit);
}

GuiVariableEditWindow::~GuiVariableEditWindow() = default;

CoreString GuiVariableEditWindow::get_text() const
{
    return m_edit->get_text();
}
