#include "gui/text/gui_text_edit_goto_line_window.h"

#include <charconv>

#include "gui/fields/gui_line_edit.h"
#include "gui/text/gui_text_edit.h"

CORE_IMPLEMENT_CLASS(GuiTextEditGotoLineWindow, GuiInputDialog)

GuiTextEditGotoLineWindow::GuiTextEditGotoLineWindow(GuiWindow& owner, GuiTextEdit& edit)
    : GuiInputDialog(owner, "Goto Line"), m_edit(&edit)
{
    int line = 0, column = 0, lines = 0;
    edit.get_infos(line, column, lines);
    m_line_edit = add_text(CoreString("Line (1 - ") + lines + ")", CoreString() + (line + 1));
}

GuiTextEditGotoLineWindow::~GuiTextEditGotoLineWindow() = default;

bool GuiTextEditGotoLineWindow::parse_line(CoreString const& entry, int& line)
{
    CoreString const trimmed = entry.get_trim();
    std::string_view const text = trimmed.view();
    if (text.empty()) return false;
    int value = 0;
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range && end == text.data() + text.size()) {
        // A number past the int range still names a line beyond the end (or before the start).
        value = text[0] == '-' ? INT_MIN : INT_MAX;
    } else if (error != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    line = value;
    return true;
}

bool GuiTextEditGotoLineWindow::go(CoreString const& entry)
{
    int line = 0;
    if (!parse_line(entry, line)) {
        CORE_LOG_WARNING("GuiTextEditGotoLineWindow.go: '" << entry << "' is not a line number\n");
        return false;
    }
    m_edit->goto_line(line == INT_MIN ? 0 : line - 1);
    return true;
}

bool GuiTextEditGotoLineWindow::show_modal_and_go()
{
    m_line_edit->select_all();
    if (!run()) return false;
    bool const moved = go(m_line_edit->get_text());
    m_edit->set_focus();
    return moved;
}
