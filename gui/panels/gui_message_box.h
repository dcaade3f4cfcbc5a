#pragma once
// GuiMessageBox: a modal window that asks the user and answers with a button code (an
// AppDialog value: Ok 1, Cancel 2, Abort 4, Retry 8, Ignore 16, Yes 32, No 64, plus 128 when
// "Apply settings for all" was ticked). The style chooses the buttons; Enter and Escape
// answer with the style's codes; an optional list is shown under the message.
//
//     GuiMessageBox box(app, 400, 160, "Save", "Overwrite the file?");
//     box.set_style(AppDialog::STYLE_YES_NO);
//     box.set_default_value(AppDialog::no());
//     box.show();                                   // returns once answered
//     if (box.get_value().is_yes()) ...
//
// The application's message_box builds one of these for every question.
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "host/app/app_dialog.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class GuiCheckbox;
class GuiMessageBoxLines;
class GuiPushButton;

class QN_GUI_API GuiMessageBox : public GuiWindow {
    CORE_DECLARE_CLASS(GuiMessageBox, GuiWindow)

public:
    static constexpr int BUTTON_HEIGHT = 22;
    static constexpr int BUTTON_MIN_WIDTH = 96;
    static constexpr int BUTTON_GAP = 12;
    static constexpr int BUTTONS_FROM_BOTTOM = 34;
    static constexpr int CHECKBOX_FROM_BOTTOM = 28;
    static constexpr int LIST_X = 16;

    GuiMessageBox(GuiApp& app, int const& w, int const& h, CoreString const& title, CoreString const& message);
    GuiMessageBox(GuiWindow& owner, int const& w, int const& h, CoreString const& title,
                  CoreString const& message);
    ~GuiMessageBox() override;

    // The buttons of an AppDialog::Style; STYLE_APPLY_TO_ALL adds the check box.
    void set_style(int const& style);
    int const& get_style() const { return m_style; }
    // The button that has the focus when the box opens.
    void set_default_value(AppDialog const& value) { m_default_value = value; }
    AppDialog const& get_default_value() const { return m_default_value; }
    // Lines shown between the message and the buttons; the box may then be resized.
    void set_list(CoreVector<CoreString> const& list);
    // Labels of the first, second and third button in layout order (the rightmost first).
    void set_custom_button1_label(CoreString const& label) { set_custom_label(0, label); }
    void set_custom_button2_label(CoreString const& label) { set_custom_label(1, label); }
    void set_custom_button3_label(CoreString const& label) { set_custom_label(2, label); }

    // Opens the box modally and returns once a button, Enter or Escape answered (or the box
    // was closed: then the value stays -1). A box already open is only shown again.
    void show() override;
    // The answer; -1 (no answer) until then.
    AppDialog get_value() const { return AppDialog(m_value); }
    int on_modal_loop() override { return m_value; }

    // "Ok", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"; "Unknown" otherwise.
    static char const* get_button_label(int const& code);
    // Buttons of a style (without the check box bit), left to right, and the codes of
    // Enter and Escape.
    static CoreVector<int> get_style_buttons(int const& style);
    static int get_enter_code(int const& style);
    static int get_escape_code(int const& style);
    // The size that shows the message and the list whole, within 300 to 640 pixels wide.
    static GMathVec2<int> get_preferred_size(CoreString const& message, CoreVector<CoreString> const& list,
                                             int const& style);

    // Builds the box a request asks for, owned by the top window and placed at the request's
    // geometry or centred on the top window (on the screen without one), runs it and writes
    // the final geometry back. A box closed without an answer answers as Escape. The
    // application shows its message boxes through this.
    static AppDialog ask(GuiApp& app, GuiApp::MessageBoxRequest& request);

    // Places the buttons, the check box, the message and the list for the box's size.
    void set_button_layout();
    unsigned int get_button_count() const { return m_buttons.get_count(); }
    // In layout order: 0 is the rightmost button.
    GuiPushButton* get_button(unsigned int const& index) const;
    int get_button_code(unsigned int const& index) const;
    GuiCheckbox* get_apply_checkbox() const { return m_checkbox; }

    // Enter and keypad Enter, and Escape, answer; other keys are used up. Keys reach the box
    // as events while the pointer is over it, and as its actions (for keys typed while no
    // widget has the focus) wherever the pointer is.
    int process_event(CoreString const& name) override;
    bool process_actions() override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;

private:
    void init(CoreString const& message);
    void set_custom_label(unsigned int const& index, CoreString const& label);
    void answer(int const& code);
    // Answers Enter and Escape; true for every key (the box uses them all up).
    bool answer_key();
    void on_button_click(GuiPushButton& button, EventInfo const& info, void* data);

    int m_style = AppDialog::STYLE_OK;
    AppDialog m_default_value = AppDialog::ok();
    int m_value = -1;
    bool m_running = false;
    CoreVector<GuiPushButton*> m_buttons;  // layout order: rightmost first
    CoreVector<int> m_codes;               // the code of each button, same order
    GuiCheckbox* m_checkbox = nullptr;
    GuiMessageBoxLines* m_message = nullptr;
    GuiMessageBoxLines* m_list = nullptr;
};
