#pragma once
// GuiTextEditGotoLineWindow: the small modal question "Goto Line" over a text editor: the
// line number to jump to (1 to the editor's line count), answered by Ok, Return or Cancel.
//
//     GuiTextEditGotoLineWindow dialog(*window, *editor);
//     dialog.show_modal_and_go();               // the caret is on the chosen line
#include "gui/panels/gui_input_dialog.h"

class GuiLineEdit;
class GuiTextEdit;

class QN_GUI_API GuiTextEditGotoLineWindow : public GuiInputDialog {
    CORE_DECLARE_CLASS(GuiTextEditGotoLineWindow, GuiInputDialog)

public:
    GuiTextEditGotoLineWindow(GuiWindow& owner, GuiTextEdit& edit);
    ~GuiTextEditGotoLineWindow() override;

    // Opens the dialog with the entry selected; on Ok moves the editor's caret and gives it the
    // focus back. True when the caret moved.
    bool show_modal_and_go();
    // Moves the editor to the entered line (clamped by the editor); a text that is not a whole
    // number is refused with a warning. True when the caret moved.
    bool go(CoreString const& entry);
    // The 1-based line number of an entry; false when it is not a whole number.
    static bool parse_line(CoreString const& entry, int& line);
    GuiLineEdit& get_line_edit() const { return *m_line_edit; }

private:
    GuiTextEdit* m_edit;
    GuiLineEdit* m_line_edit;
};
