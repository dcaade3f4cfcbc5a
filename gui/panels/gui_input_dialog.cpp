#include "gui/panels/gui_input_dialog.h"

#include <algorithm>

#include "gui/controls/gui_checkbox.h"
#include "gui/controls/gui_push_button.h"
#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_dc.h"
#include "gui/fields/gui_label.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/fields/gui_number_field.h"
#include "gui/menus/gui_list_button.h"

CORE_IMPLEMENT_CLASS(GuiInputDialog, GuiWindow)

namespace {

constexpr int WIDTH = 3 * GuiInputDialog::MARGIN + GuiInputDialog::CAPTION_WIDTH + GuiInputDialog::FIELD_WIDTH;

}  // namespace

GuiInputDialog::GuiInputDialog(GuiWindow& owner, CoreString const& title)
    : GuiWindow(owner, 0, 0, WIDTH, 100, title)
{
    init_dialog();
}

GuiInputDialog::GuiInputDialog(GuiApp& app, CoreString const& title) : GuiWindow(app, 0, 0, WIDTH, 100, title)
{
    init_dialog();
}

GuiInputDialog::~GuiInputDialog() = default;

void GuiInputDialog::init_dialog()
{
    set_resizable(false);
    add_default_background();
    m_ok = new GuiPushButton(*this, 0, 0, BUTTON_WIDTH, BUTTON_HEIGHT, "Ok");
    m_cancel = new GuiPushButton(*this, 0, 0, BUTTON_WIDTH, BUTTON_HEIGHT, "Cancel");
    connect(*m_ok, EVT_ID_PUSH_BUTTON_CLICK, &GuiInputDialog::on_button);
    connect(*m_cancel, EVT_ID_PUSH_BUTTON_CLICK, &GuiInputDialog::on_button);
    layout_buttons();
}

void GuiInputDialog::layout_buttons()
{
    int const height = MARGIN + m_rows * ROW_HEIGHT + MARGIN + BUTTON_HEIGHT + MARGIN;
    resize(get_x(), get_y(), WIDTH, height);
    int const y = height - MARGIN - BUTTON_HEIGHT;
    m_cancel->resize(WIDTH - MARGIN - BUTTON_WIDTH, y, BUTTON_WIDTH, BUTTON_HEIGHT);
    m_ok->resize(WIDTH - 2 * (MARGIN + BUTTON_WIDTH) + MARGIN / 2, y, BUTTON_WIDTH, BUTTON_HEIGHT);
}

int GuiInputDialog::add_caption(CoreString const& caption, int const& rows)
{
    int const top = MARGIN + m_rows * ROW_HEIGHT;
    m_rows += std::max(1, rows);
    if (!caption.is_empty()) {
        GuiLabel* label = new GuiLabel(*this, MARGIN, top, CAPTION_WIDTH, FIELD_HEIGHT, caption);
        label->show();
    }
    layout_buttons();
    return top;
}

void GuiInputDialog::listen_to_edit(GuiLineEdit& edit)
{
    connect(edit, EVT_ID_LINE_EDIT_KEY_PRESSED, &GuiInputDialog::on_edit_key);
    connect(edit, EVT_ID_LINE_EDIT_ESCAPE_PRESSED, &GuiInputDialog::on_edit_escape);
}

GuiLineEdit* GuiInputDialog::add_text(CoreString const& caption, CoreString const& value)
{
    int const top = add_caption(caption);
    GuiLineEdit* edit = new GuiLineEdit(*this, 2 * MARGIN + CAPTION_WIDTH, top, FIELD_WIDTH, FIELD_HEIGHT);
    edit->set_text(value);
    edit->show();
    listen_to_edit(*edit);
    m_fields.add(edit);
    return edit;
}

GuiNumberField* GuiInputDialog::add_number(CoreString const& caption, double const& value)
{
    int const top = add_caption(caption);
    GuiNumberField* field = new GuiNumberField(*this, 2 * MARGIN + CAPTION_WIDTH, top, FIELD_WIDTH, FIELD_HEIGHT);
    field->set_value(value);
    field->show();
    listen_to_edit(field->get_edit());
    m_fields.add(&field->get_edit());
    return field;
}

GuiCheckbox* GuiInputDialog::add_check(CoreString const& caption, bool const& value)
{
    int const top = add_caption(CoreString());
    GuiCheckbox* box = new GuiCheckbox(*this, 2 * MARGIN + CAPTION_WIDTH, top + 3, caption);
    box->set_value(value);
    box->show();
    m_fields.add(box);
    return box;
}

GuiListButton* GuiInputDialog::add_choice(CoreString const& caption, CoreVector<CoreString> const& choices,
                                          int const& index)
{
    int const top = add_caption(caption);
    GuiListButton* list = new GuiListButton(*this, 2 * MARGIN + CAPTION_WIDTH, top, FIELD_WIDTH, FIELD_HEIGHT);
    list->set_items(choices);
    list->set_selected_index(index);
    list->show();
    m_fields.add(list);
    return list;
}

GMathVec4<int> GuiInputDialog::add_area(CoreString const& caption, int const& rows)
{
    int const top = add_caption(caption, rows);
    return GMathVec4<int>(2 * MARGIN + CAPTION_WIDTH, top, FIELD_WIDTH, std::max(1, rows) * ROW_HEIGHT - (ROW_HEIGHT - FIELD_HEIGHT));
}

bool GuiInputDialog::run(bool const& at_pointer)
{
    int x = 0, y = 0;
    if (at_pointer) {
        Gui::get_mouse_screen_position(x, y);
        x -= get_width() / 2;
        y -= MARGIN;
    } else if (GuiWindow* owner = get_owner()) {
        x = owner->get_x() + (owner->get_width() - get_width()) / 2;
        y = owner->get_y() + (owner->get_height() - get_height()) / 2;
    } else {
        x = (Gui::get_screen_width() - get_width()) / 2;
        y = (Gui::get_screen_height() - get_height()) / 2;
    }
    resize(std::max(0, x), std::max(0, y), get_width(), get_height());
    m_answer = -1;
    show_modal();
    if (!m_fields.is_empty())
        m_fields[0]->set_focus();
    else
        m_ok->set_focus();
    modal_blocking_loop();
    if (m_answer < 0) m_answer = 0;  // closed by the window manager
    return m_answer == 1;
}

void GuiInputDialog::accept()
{
    m_answer = 1;
    hide();
}

void GuiInputDialog::cancel()
{
    m_answer = 0;
    hide();
}

void GuiInputDialog::on_edit_key(EventObject&, EventInfo const&, void*)
{
    int const key = Gui::get_last_key_pressed();
    if (key == Gui::KEY_ID_ENTER || key == Gui::KEY_ID_KEYPAD_ENTER) accept();
}

void GuiInputDialog::on_edit_escape(EventObject&, EventInfo const&, void*)
{
    cancel();
}

void GuiInputDialog::on_button(EventObject& sender, EventInfo const&, void*)
{
    if (&sender == m_ok)
        accept();
    else
        cancel();
}

int GuiInputDialog::process_event(CoreString const& name)
{
    if (name == EVT_ID_KEY_DOWN || name == EVT_ID_KEY_SHORTCUT) {
        int const key = Gui::get_last_key_pressed();
        if (key == Gui::KEY_ID_ESCAPE) {
            cancel();
            return 1;
        }
        if (key == Gui::KEY_ID_ENTER || key == Gui::KEY_ID_KEYPAD_ENTER) {
            accept();
            return 1;
        }
    }
    return GuiWindow::process_event(name);
}
