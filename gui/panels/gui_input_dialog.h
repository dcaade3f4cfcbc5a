#pragma once
// GuiInputDialog: a small modal window that asks for a few values: rows of a caption beside
// a field (a line edit, a number field, a check box or a list of choices) above the buttons
// "Ok" and "Cancel". Return in a field accepts, Escape cancels.
//
//     GuiInputDialog dialog(*window, "Node bounding");
//     GuiNumberField* width = dialog.add_number("Maximum Width", 250);
//     GuiCheckbox* crop = dialog.add_check("Crop", false);
//     if (dialog.run()) apply(width->get_value(), crop->get_value());
//
// The fields belong to the dialog; read them after run() returns, before the dialog goes.
#include "gui/core/gui_window.h"

class GuiCheckbox;
class GuiLineEdit;
class GuiListButton;
class GuiNumberField;
class GuiPushButton;

class QN_GUI_API GuiInputDialog : public GuiWindow {
    CORE_DECLARE_CLASS(GuiInputDialog, GuiWindow)

public:
    static constexpr int MARGIN = 12;
    static constexpr int ROW_HEIGHT = 28;
    static constexpr int FIELD_HEIGHT = 20;
    static constexpr int CAPTION_WIDTH = 110;
    static constexpr int FIELD_WIDTH = 220;
    static constexpr int BUTTON_WIDTH = 80;
    static constexpr int BUTTON_HEIGHT = 22;

    GuiInputDialog(GuiWindow& owner, CoreString const& title);
    GuiInputDialog(GuiApp& app, CoreString const& title);
    ~GuiInputDialog() override;

    // Rows, top to bottom, in the order they are added.
    GuiLineEdit* add_text(CoreString const& caption, CoreString const& value);
    GuiNumberField* add_number(CoreString const& caption, double const& value);
    GuiCheckbox* add_check(CoreString const& caption, bool const& value);
    GuiListButton* add_choice(CoreString const& caption, CoreVector<CoreString> const& choices, int const& index);
    // A row `rows` rows tall for a field the caller makes (a text editor, say) in the returned
    // rectangle (x, y, width, height) and hands back with add_field.
    GMathVec4<int> add_area(CoreString const& caption, int const& rows);
    // The field takes part in the focus order; the dialog owns it as a child.
    void add_field(GuiWidget& field) { m_fields.add(&field); }

    // Opens the dialog modally, at the pointer when `at_pointer` (else centred on its owner),
    // the first field focused, and returns once it is answered: true for Ok.
    bool run(bool const& at_pointer = false);
    // Answers and closes the dialog.
    void accept();
    void cancel();
    bool is_accepted() const { return m_answer == 1; }
    // 1 accepted, 0 cancelled, -1 while open.
    int on_modal_loop() override { return m_answer; }
    GuiPushButton& get_ok_button() const { return *m_ok; }
    GuiPushButton& get_cancel_button() const { return *m_cancel; }

    int process_event(CoreString const& name) override;

private:
    void init_dialog();
    // The caption of the next row (`rows` tall), and the row's top.
    int add_caption(CoreString const& caption, int const& rows = 1);
    // Return accepts and Escape cancels from inside a line edit, which keeps those keys.
    void listen_to_edit(GuiLineEdit& edit);
    void on_edit_key(EventObject& sender, EventInfo const& info, void* data);
    void on_edit_escape(EventObject& sender, EventInfo const& info, void* data);
    void on_button(EventObject& sender, EventInfo const& info, void* data);
    void layout_buttons();

    GuiPushButton* m_ok = nullptr;
    GuiPushButton* m_cancel = nullptr;
    CoreVector<GuiWidget*> m_fields;
    int m_rows = 0;
    int m_answer = -1;
};
