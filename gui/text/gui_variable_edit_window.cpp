#include "gui/text/gui_variable_edit_window.h"

#include "gui/core/gui.h"
#include "gui/text/gui_text_edit.h"

CORE_IMPLEMENT_CLASS(GuiVariableEditWindow, GuiInputDialog)

namespace {

// The editor keeps Return for new lines; Ctrl+Return answers Ok and Escape Cancel.
class VariableTextEdit : public GuiTextEdit {
public:
    VariableTextEdit(GuiVariableEditWindow& dialog, int const& x, int const& y, int const& w, int const& h)
        : GuiTextEdit(dialog, x, y, w, h), m_dialog(&dialog)
    {
    }

    int process_event(CoreString const& name) override
    {
        if (name == EVT_ID_KEY_DOWN) {
            int const key = Gui::get_last_key_pressed();
            if (Gui::is_modifier_ctrl() && (key == Gui::KEY_ID_ENTER || key == Gui::KEY_ID_KEYPAD_ENTER)) {
                m_dialog->accept();
                return 1;
            }
            if (key == Gui::KEY_ID_ESCAPE) {
                m_dialog->cancel();
                return 1;
            }
        }
        return GuiTextEdit::process_event(name);
    }

private:
    GuiVariableEditWindow* m_dialog;
};

}  // namespace

GuiVariableEditWindow::GuiVariableEditWindow(GuiApp& app, CoreString const& title, CoreString const& text)
    : GuiInputDialog(app, title)
{
    GMathVec4<int> const area = add_area(CoreString(), EDITOR_ROWS);
    // The editor spans the caption column too: a longer text needs the width.
    m_edit = new VariableTextEdit(*this, MARGIN, area[1], area[0] + area[2] - MARGIN, area[3]);
    m_edit->set_text(text);
    m_edit->show();
    add_field(*m_edit);
}

GuiVariableEditWindow::~GuiVariableEditWindow() = default;

CoreString GuiVariableEditWindow::get_text() const
{
    return m_edit->get_text();
}
