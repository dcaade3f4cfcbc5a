#include "gui/spreadsheet/gui_spreadsheet_cell_editors.h"

#include <cmath>
#include <cstdlib>

#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_image.h"
#include "gui/menus/gui_menu.h"
#include "gui/core/gui_resource.h"
#include "gui/fields/gui_number_edit.h"
#include "gui/menus/gui_list_button.h"
#include "gui/spreadsheet/gui_spreadsheet.h"
#include "gui/text/gui_variable_edit_window.h"
#include "host/core/core_log.h"
#include "host/of/of_expression.h"
#include "host/of/of_object_factory.h"
#include "host/sys/sys_filesystem.h"

CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellNumberEdit, GuiSpreadsheetCellBasicText)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellListButton, GuiSpreadsheetCellBasicText)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellFilename, GuiSpreadsheetCellBasicText)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellExpressionField, GuiSpreadsheetCellBasicText)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellScriptField, GuiSpreadsheetCellBasicText)

namespace {

// Embedded editors cover the cell's rectangle in the sheet's window, less a pixel at the top
// and bottom so the grid lines stay visible.
bool place_over(GuiSpreadsheetCell const& cell, GMathVec4<int> const& rect, GuiWidget& editor)
{
    GuiSpreadsheet* sheet = cell.get_spreadsheet();
    if (!sheet) return false;
    int const y = rect[1] + 1, h = std::max(1, rect[3] - 2);
    // Only when the cell moved: a resize of an open list button would disturb its list.
    if (editor.get_x() != rect[0] || editor.get_y() != y || editor.get_width() != rect[2] || editor.get_height() != h)
        editor.resize(rect[0], y, rect[2], h);
    return true;
}

// The number edit over a number cell: its value changes and the end of the edit go to it.
class CellNumberEditor : public GuiNumberEdit {
public:
    CellNumberEditor(GuiWidget& parent, GuiSpreadsheetCellNumberEdit& cell)
        : GuiNumberEdit(parent, 0, 0, 10, 10), m_cell(&cell)
    {
    }
    void forget_cell() { m_cell = nullptr; }

protected:
    void on_changed() override
    {
        GuiNumberEdit::on_changed();
        if (m_cell && is_shown()) m_cell->on_editor_changed();
    }
    // After the line edit's own handling, which commits a changed entry on focus out and
    // Return and puts the old text back on Escape.
    int process_event(CoreString const& name) override
    {
        int const result = GuiNumberEdit::process_event(name);
        int const key = Gui::get_last_key_pressed();
        bool const leaving = name == EVT_ID_WIDGET_FOCUS_OUT ||
                             (name == EVT_ID_KEY_DOWN && (key == Gui::KEY_ID_ESCAPE || key == Gui::KEY_ID_ENTER));
        if (leaving && m_cell && is_shown()) m_cell->on_editor_done();
        return result;
    }

private:
    GuiSpreadsheetCellNumberEdit* m_cell;
};

class CellListButton : public GuiListButton {
public:
    CellListButton(GuiWidget& parent, GuiSpreadsheetCellListButton& cell) : GuiListButton(parent, 0, 0, 10, 10), m_cell(&cell)
    {
        connect(*this, EVT_ID_LIST_BUTTON_SELECTION_CHANGED, &CellListButton::on_chosen);
        if (get_menu()) connect(*get_menu(), EVT_ID_MENU_HIDE, &CellListButton::on_menu_hidden);
    }
    ~CellListButton() override
    {
        if (m_open_timer) get_application().remove_timer(m_open_timer);
    }
    void forget_cell() { m_cell = nullptr; }
    // Opens the list once the press that started the edit is released: the release would
    // otherwise land on the list as it opens.
    void open_list()
    {
        if (!m_open_timer) m_open_timer = get_application().add_timer(&CellListButton::on_open_timer, this, 0.02);
    }

protected:
    int process_event(CoreString const& name) override
    {
        int const result = GuiListButton::process_event(name);
        bool const leaving = name == EVT_ID_MOUSE_WHEEL || name == EVT_ID_WIDGET_FOCUS_OUT ||
                             (name == EVT_ID_KEY_DOWN && Gui::get_last_key_pressed() == Gui::KEY_ID_ESCAPE);
        // The list's own menu takes the focus while it is open: that is not the end.
        if (leaving && m_cell && is_shown() && !is_menu_open()) m_cell->on_list_done();
        return result;
    }

private:
    void on_chosen(EventObject&, EventInfo const&, void*)
    {
        if (!m_cell) return;
        m_cell->on_list_chosen();
        m_cell->on_list_done();
    }
    // The button stays pushed while its list is open.
    bool is_menu_open() const { return get_value(); }
    // The list closed: a choice has been handled already; otherwise the edit ends unchanged.
    void on_menu_hidden(EventObject&, EventInfo const&, void*)
    {
        if (m_cell && is_shown()) m_cell->on_list_done();
    }

    static void on_open_timer(void* data)
    {
        CellListButton& self = *static_cast<CellListButton*>(data);
        if (Gui::is_mouse_button_pressed()) {
            self.get_application().repeat_timer(0.02);
            return;
        }
        self.m_open_timer = 0;
        if (self.m_cell && self.is_shown() && !self.get_value()) self.push();
    }

    GuiSpreadsheetCellListButton* m_cell;
    AppBase::TimerId m_open_timer = 0;
};

// The cell's value text edited in a window over the application; false when cancelled.
bool edit_in_window(GuiSpreadsheetCell const& cell, CoreString const& title, CoreString& text)
{
    GuiSpreadsheet* sheet = cell.get_spreadsheet();
    if (!sheet) return false;
    GuiVariableEditWindow window(sheet->get_application(), title, text);
    if (!window.run()) return false;
    text = window.get_text();
    return true;
}

}  // namespace

// --- Number edit ---

GuiSpreadsheetCellNumberEdit::GuiSpreadsheetCellNumberEdit(double const& value) : m_value(std::isfinite(value) ? value : 0.0)
{
    refresh_text();
}

GuiSpreadsheetCellNumberEdit::~GuiSpreadsheetCellNumberEdit()
{
    remove_all_data();
}

void GuiSpreadsheetCellNumberEdit::remove_all_data()
{
    if (!m_edit) return;
    static_cast<CellNumberEditor*>(m_edit)->forget_cell();
    if (m_edit->is_shown()) stop_edit_content();
    m_edit->destroy();
    m_edit = nullptr;
}

bool GuiSpreadsheetCellNumberEdit::set_value(double const& value)
{
    if (!std::isfinite(value)) {
        CORE_LOG_WARNING("GuiSpreadsheetCellNumberEdit.set_value: the value is not a finite number\n");
        return false;
    }
    m_value = m_edit ? m_edit->clamp_value(value) : value;
    refresh_text();
    return true;
}

GuiNumberEdit* GuiSpreadsheetCellNumberEdit::get_number_edit()
{
    if (m_edit) return m_edit;
    GuiSpreadsheet* sheet = get_spreadsheet();
    if (!sheet) {
        CORE_LOG_WARNING("GuiSpreadsheetCellNumberEdit.get_number_edit: the cell is in no sheet yet\n");
        return nullptr;
    }
    m_edit = new CellNumberEditor(*sheet, *this);
    // Return and Tab end the edit; they must not move the focus along the window.
    m_edit->enable_tab_navigation(false);
    m_edit->hide();
    m_edit->set_value(m_value);
    return m_edit;
}

void GuiSpreadsheetCellNumberEdit::refresh_text()
{
    CoreString const text = m_edit ? m_edit->format_value(m_value)
                                   : AppUnits::get_value_with_unit_from_value(m_value, CoreString(), 3);
    GuiSpreadsheetCellBasicText::set_text(text);
}

CoreString GuiSpreadsheetCellNumberEdit::get_exact_text(double const& value) const
{
    AppUnits::Settings const settings = m_edit ? m_edit->get_unit_settings() : AppUnits::get_settings(CoreString());
    CoreString text;
    for (unsigned int precision = 3; precision <= 17; ++precision) {
        text = AppUnits::get_value_with_unit_from_value(settings, value, precision);
        double read = 0.0;
        if (AppUnits::get_value_from_str_with_unit(settings, text, read) && read == value) break;
    }
    return text;
}

CoreString GuiSpreadsheetCellNumberEdit::get_pastable_text() const
{
    return get_exact_text(m_value);
}

bool GuiSpreadsheetCellNumberEdit::set_pastable_text(CoreString const& text)
{
    double value = m_value;
    bool const read = m_edit ? m_edit->read_value(text, value)
                             : AppUnits::get_value_from_str_with_unit(text, CoreString(), value);
    return read && set_value(value);
}

void GuiSpreadsheetCellNumberEdit::set_text(CoreString const& text)
{
    set_pastable_text(text);
}

int GuiSpreadsheetCellNumberEdit::compare(GuiSpreadsheetCell* other) const
{
    if (!other || !other->is_kindof(GuiSpreadsheetCellNumberEdit::class_info()))
        return GuiSpreadsheetCellBasicText::compare(other);
    double const theirs = static_cast<GuiSpreadsheetCellNumberEdit*>(other)->m_value;
    return m_value < theirs ? -1 : (m_value > theirs ? 1 : 0);
}

void GuiSpreadsheetCellNumberEdit::draw(GuiSpreadsheetDrawContext& context)
{
    // The units may have changed since the value was written.
    refresh_text();
    GuiSpreadsheetCellBasicText::draw(context);
    if (m_edit && m_edit->is_shown()) place_editor();
}

void GuiSpreadsheetCellNumberEdit::place_editor()
{
    GMathVec4<int> rect;
    if (get_window_rect(rect)) place_over(*this, rect, *m_edit);
}

bool GuiSpreadsheetCellNumberEdit::on_double_click()
{
    if (!is_enabled() || get_is_locked() || !get_spreadsheet()) return false;
    start_edit_content(true);
    return true;
}

bool GuiSpreadsheetCellNumberEdit::on_edit_content()
{
    GuiNumberEdit* edit = get_number_edit();
    GMathVec4<int> rect;
    if (!edit || !get_window_rect(rect)) {
        stop_edit_content();
        return true;
    }
    edit->set_value(m_value);
    place_over(*this, rect, *edit);
    edit->show();
    edit->set_focus();
    edit->select_all();
    return true;
}

void GuiSpreadsheetCellNumberEdit::on_editor_changed()
{
    if (m_edit->get_value() == m_value) return;
    // Exact: the display's precision would round what was typed.
    if (!change_value(get_exact_text(m_edit->get_value()), m_edit)) m_edit->set_value(m_value);
}

void GuiSpreadsheetCellNumberEdit::on_editor_done()
{
    m_edit->hide();
    GuiSpreadsheet* sheet = get_spreadsheet();
    stop_edit_content();
    if (sheet) {
        sheet->set_focus();
        sheet->redraw();
    }
}

// --- List button ---

GuiSpreadsheetCellListButton::~GuiSpreadsheetCellListButton()
{
    remove_all_data();
}

void GuiSpreadsheetCellListButton::remove_all_data()
{
    if (!m_list) return;
    static_cast<CellListButton*>(m_list)->forget_cell();
    m_list->destroy();
    m_list = nullptr;
}

void GuiSpreadsheetCellListButton::set_values(CoreVector<CoreString> const& values)
{
    m_values = values;
    if (m_list) m_list->set_items(values);
}

bool GuiSpreadsheetCellListButton::set_selected_value(CoreString const& value)
{
    if (m_values.find(value) < 0) {
        CORE_LOG_WARNING("GuiSpreadsheetCellListButton.set_selected_value: \"" << value << "\" is not in the list\n");
        return false;
    }
    set_text(value);
    if (m_list) m_list->select_item(value);
    if (GuiSpreadsheet* sheet = get_spreadsheet()) {
        sheet->raise_event(EventObject::EventInfo(EVT_ID_SPREADSHEET_CELL_UPDATED, this));
        sheet->redraw();
    }
    return true;
}

bool GuiSpreadsheetCellListButton::set_pastable_text(CoreString const& text)
{
    if (m_values.find(text) < 0) return false;
    set_text(text);
    if (m_list) m_list->select_item(text);
    return true;
}

void GuiSpreadsheetCellListButton::draw(GuiSpreadsheetDrawContext& context)
{
    GMathVec3<unsigned char> const background = draw_background(context);
    GuiImage const& arrow = context.is_cell_selected() ? GuiResource::down_triangle_label_selected()
                                                       : GuiResource::down_triangle_label();
    GMathVec4<int> const& rect = context.get_content_rect();
    int const w = static_cast<int>(arrow.get_width());
    if (rect[2] > w) arrow.draw(is_enabled(), rect[0] + rect[2] - w, rect[1] + (rect[3] - static_cast<int>(arrow.get_height())) / 2, false);
    draw_text_part(context, background, get_edit_offset(), w + 2);
    if (m_list && m_list->is_shown()) {
        GMathVec4<int> cell;
        if (get_window_rect(cell)) place_over(*this, cell, *m_list);
    }
}

bool GuiSpreadsheetCellListButton::on_double_click()
{
    if (!is_enabled() || get_is_locked() || !get_spreadsheet()) return false;
    start_edit_content(true);
    return true;
}

bool GuiSpreadsheetCellListButton::on_edit_content()
{
    GuiSpreadsheet* sheet = get_spreadsheet();
    GMathVec4<int> rect;
    if (!sheet || m_values.is_empty() || !get_window_rect(rect)) {
        if (m_values.is_empty()) CORE_LOG_WARNING("GuiSpreadsheetCellListButton.on_edit_content: the list is empty\n");
        stop_edit_content();
        return true;
    }
    if (!m_list) {
        m_list = new CellListButton(*sheet, *this);
        m_list->set_items(m_values);
    }
    m_list->select_item(get_text());
    place_over(*this, rect, *m_list);
    m_list->show();
    m_list->set_focus();
    static_cast<CellListButton*>(m_list)->open_list();
    return true;
}

void GuiSpreadsheetCellListButton::on_list_chosen()
{
    CoreString const chosen = m_list->get_selected_label();
    if (chosen != get_text() && !change_value(chosen, m_list)) m_list->select_item(get_text());
}

void GuiSpreadsheetCellListButton::on_list_done()
{
    m_list->hide();
    GuiSpreadsheet* sheet = get_spreadsheet();
    stop_edit_content();
    if (sheet) {
        sheet->set_focus();
        sheet->redraw();
    }
}

// --- File name ---

GuiSpreadsheetCellFilename::GuiSpreadsheetCellFilename(CoreString const& path, int const& mode)
    : GuiSpreadsheetCellBasicText(path), m_mode(MODE_OPEN_FILE)
{
    set_mode(mode);
}

void GuiSpreadsheetCellFilename::set_mode(int const& mode)
{
    if (mode < MODE_SAVE_FILE || mode > MODE_CHOOSE_FOLDER) {
        CORE_LOG_WARNING("GuiSpreadsheetCellFilename.set_mode: " << mode << " is not 0, 1 or 2\n");
        return;
    }
    m_mode = mode;
}

bool GuiSpreadsheetCellFilename::set_pastable_text(CoreString const& text)
{
    GuiSpreadsheet* sheet = get_spreadsheet();
    if (m_mode != MODE_SAVE_FILE && !text.is_empty()) {
        CoreString const path = sheet ? OfExpression::compute_path(text, sheet->get_application().get_factory()) : text;
        bool const exists = m_mode == MODE_CHOOSE_FOLDER ? SysFilesystem::folder_exists(path)
                                                         : SysFilesystem::file_exists(path) && !SysFilesystem::folder_exists(path);
        if (!exists) {
            CORE_LOG_WARNING("GuiSpreadsheetCellFilename.set_pastable_text: \"" << path << "\" is not an existing "
                                                                             << (m_mode == MODE_CHOOSE_FOLDER ? "folder" : "file")
                                                                             << "\n");
            return false;
        }
    }
    return GuiSpreadsheetCellBasicText::set_pastable_text(text);
}

CoreString GuiSpreadsheetCellFilename::run_file_dialog(CoreString const& start_path, CoreString const& title)
{
    GuiApp& app = get_spreadsheet()->get_application();
    if (m_mode == MODE_SAVE_FILE) return GuiWidget::save_file(app, start_path, title, m_filter, nullptr);
    if (m_mode == MODE_CHOOSE_FOLDER) return GuiWidget::open_folder(app, start_path, title);
    return GuiWidget::open_file(app, start_path, title, m_filter);
}

bool GuiSpreadsheetCellFilename::pressed_button()
{
    if (!is_button_usable()) return false;
    GuiSpreadsheet* sheet = get_spreadsheet();
    CoreString start = get_text();
    if (start.is_empty()) sheet->get_application().get_factory().get_var("PDIR", start);
    static char const* const titles[] = {"Save File", "Open File", "Choose Folder"};
    CoreString const chosen = run_file_dialog(start, titles[m_mode]);
    if (chosen.is_empty() || chosen == get_text()) return false;
    return change_value(chosen);
}

void GuiSpreadsheetCellFilename::draw(GuiSpreadsheetDrawContext& context)
{
    GMathVec3<unsigned char> const background = draw_background(context);
    GuiImage const& icon = m_mode == MODE_SAVE_FILE ? GuiResource::save() : GuiResource::open();
    int const button = draw_right_button(context, &icon, CoreString(), background);
    draw_text_part(context, background, get_edit_offset(), button);
}

bool GuiSpreadsheetCellFilename::is_selectable(bool const& flag) const
{
    return GuiSpreadsheetCell::is_selectable(flag) && (flag || !is_pointer_in_right_end(get_button_size()));
}

bool GuiSpreadsheetCellFilename::on_click(bool const& press)
{
    if (press && is_pointer_in_right_end(get_button_size())) {
        pressed_button();
        return true;
    }
    return GuiSpreadsheetCellBasicText::on_click(press);
}

bool GuiSpreadsheetCellFilename::on_double_click()
{
    if (pressed_button()) return true;
    return GuiSpreadsheetCellBasicText::on_double_click();
}

// --- Expression ---

GuiSpreadsheetCellExpressionField::GuiSpreadsheetCellExpressionField(CoreString const& expression)
    : GuiSpreadsheetCellBasicText(expression)
{
    set_is_text_editable(true);
}

bool GuiSpreadsheetCellExpressionField::run_edit_window(CoreString& text)
{
    return edit_in_window(*this, "Edit Expression", text);
}

bool GuiSpreadsheetCellExpressionField::pressed_button()
{
    if (!is_button_usable()) return false;
    CoreString text = get_text();
    if (!run_edit_window(text) || text == get_text()) return false;
    return change_value(text);
}

void GuiSpreadsheetCellExpressionField::draw(GuiSpreadsheetDrawContext& context)
{
    GMathVec3<unsigned char> const background = draw_background(context);
    int const button = draw_right_button(context, nullptr, "=", background);
    draw_text_part(context, background, get_edit_offset(), button);
}

bool GuiSpreadsheetCellExpressionField::is_selectable(bool const& flag) const
{
    return GuiSpreadsheetCell::is_selectable(flag);
}

bool GuiSpreadsheetCellExpressionField::on_double_click()
{
    if (is_pointer_in_right_end(get_button_size())) return pressed_button();
    return GuiSpreadsheetCellBasicText::on_double_click();
}

// --- Script ---

GuiSpreadsheetCellScriptField::GuiSpreadsheetCellScriptField(CoreString const& script)
    : GuiSpreadsheetCellBasicText(script)
{
}

bool GuiSpreadsheetCellScriptField::run_edit_window(CoreString& text)
{
    return edit_in_window(*this, "Edit Script", text);
}

bool GuiSpreadsheetCellScriptField::pressed_button()
{
    if (!is_button_usable()) return false;
    CoreString text = get_text();
    if (!run_edit_window(text) || text == get_text()) return false;
    return change_value(text);
}

void GuiSpreadsheetCellScriptField::draw(GuiSpreadsheetDrawContext& context)
{
    GMathVec3<unsigned char> const background = draw_background(context);
    int const button = draw_right_button(context, nullptr, "...", background);
    // One line of the script: the first.
    CoreString const& text = get_text_ref();
    unsigned int const end = text.find('\n');
    if (end == CoreString::NOT_FOUND) {
        draw_text_part(context, background, get_edit_offset(), button);
        return;
    }
    GMathVec4<int> const& rect = context.get_content_rect();
    GMathVec3<unsigned char> const color = get_draw_text_color(context);
    context.draw_text_clampable(text.sub_string(0, end) + " ...", rect[0], rect[1],
                                rect[2] - button, rect[3], color[0], color[1], color[2], true, false, false);
}

bool GuiSpreadsheetCellScriptField::is_selectable(bool const& flag) const
{
    return GuiSpreadsheetCell::is_selectable(flag) && !is_pointer_in_right_end(get_button_size());
}

bool GuiSpreadsheetCellScriptField::on_click(bool const& press)
{
    if (!press || !is_pointer_in_right_end(get_button_size())) return false;
    pressed_button();
    return true;
}
