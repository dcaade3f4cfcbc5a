#pragma once
// GuiVariableEditWindow: a modal window that edits a longer text (an expression, a script)
// in a text editor, answered by Ok or Cancel. Return in the editor starts a new line;
// Ctrl+Return answers Ok and Escape Cancel.
//
//     GuiVariableEditWindow dialog(app, "Edit Expression", cell_text);
//     if (dialog.run()) apply(dialog.get_text());
#include "gui/panels/gui_input_dialog.h"

class GuiTextEdit;

class QN_GUI_API GuiVariableEditWindow : public GuiInputDialog {
    CORE_DECLARE_CLASS(GuiVariableEditWindow, GuiInputDialog)

public:
    // The editor's height in dialog rows.
    static constexpr int EDITOR_ROWS = 6;

    GuiVariableEditWindow(GuiApp& app, CoreString const& title, CoreString const& text);
    ~GuiVariableEditWindow() override;

    CoreString get_text() const;
    GuiTextEdit& get_text_edit() const { return *m_edit; }

private:
    GuiTextEdit* m_edit;
};
