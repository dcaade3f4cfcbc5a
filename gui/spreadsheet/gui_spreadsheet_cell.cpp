#include "gui/spreadsheet/gui_spreadsheet_cell.h"

#include <algorithm>
#include <cstring>

#include "gui/core/gui.h"
#include "gui/core/gui_image.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/spreadsheet/gui_spreadsheet.h"
#include "gui/spreadsheet/gui_spreadsheet_row.h"
#include "host/core/core_log.h"
#include "host/image/image_icon.h"

CORE_IMPLEMENT_CLASS(GuiSpreadsheetCell, CoreBaseObject)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellBasic, GuiSpreadsheetCell)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellBasicText, GuiSpreadsheetCellBasic)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellNaturalText, GuiSpreadsheetCellBasicText)

void GuiSpreadsheetCell::init(GuiSpreadsheetRow& row)
{
    m_row = &row;
    m_enabled = true;
    m_locked = false;
    m_selectable = true;
    m_read_only = false;
}

bool GuiSpreadsheetCell::is_selectable(bool const&) const
{
    return m_selectable;
}

void GuiSpreadsheetCell::draw(GuiSpreadsheetDrawContext&) {}

bool GuiSpreadsheetCell::on_click(bool const&)
{
    return false;
}

void GuiSpreadsheetCell::on_edit_changed(int const&, int const&) {}

void GuiSpreadsheetCell::on_cursor_enter(int const&, int const&) {}

void GuiSpreadsheetCell::on_cursor_leave(int const&, int const&) {}

bool GuiSpreadsheetCell::set_pastable_text(CoreString const&)
{
    return false;
}

bool GuiSpreadsheetCell::get_window_rect(GMathVec4<int>& rect) const
{
    GuiSpreadsheet* sheet = get_spreadsheet();
    int column = -1, row = -1;
    if (!sheet || !sheet->get_cell_indices(this, column, row)) return false;
    int const y = sheet->get_cell_pos_y(row);
    if (y < 0) return false;
    int const height = sheet->is_custom_height_by_row() ? m_row->get_height() : sheet->get_row_height();
    rect = GMathVec4<int>(sheet->get_cell_pos_x(column), y, sheet->get_cell_width(column), height);
    return true;
}

bool GuiSpreadsheetCell::is_pointer_in_right_end(int const& width) const
{
    GMathVec4<int> rect;
    GuiSpreadsheet* sheet = get_spreadsheet();
    if (!sheet || !get_window_rect(rect)) return false;
    int const x = sheet->get_x() + Gui::get_relative_mouse_x(*sheet);
    int const y = sheet->get_y() + Gui::get_relative_mouse_y(*sheet);
    return x >= rect[0] + rect[2] - width && x < rect[0] + rect[2] && y >= rect[1] && y < rect[1] + rect[3];
}

bool GuiSpreadsheetCell::change_value(CoreString const& text, void* event_data)
{
    if (GuiSpreadsheet* sheet = get_spreadsheet()) return sheet->change_cell_value(this, text, event_data);
    return set_pastable_text(text);
}

int GuiSpreadsheetCell::compare(GuiSpreadsheetCell* other) const
{
    if (!other) return 1;
    return compare_bytes(get_text(), other->get_text());
}

GuiSpreadsheet* GuiSpreadsheetCell::get_spreadsheet() const
{
    return m_row ? m_row->get_spreadsheet() : nullptr;
}

void GuiSpreadsheetCell::start_edit_content(bool const& preselect)
{
    GuiSpreadsheet* sheet = get_spreadsheet();
    int column = -1, row = -1;
    if (!sheet || !sheet->get_cell_indices(this, column, row)) {
        CORE_LOG_WARNING("GuiSpreadsheetCell.start_edit_content: the cell is in no sheet\n");
        return;
    }
    if (preselect) sheet->set_preselection_cell(column, row);
    sheet->set_clicked_cell(column, row);
    sheet->start_edit_cell_content();
}

void GuiSpreadsheetCell::stop_edit_content()
{
    if (GuiSpreadsheet* sheet = get_spreadsheet()) sheet->end_edit_cell_content();
}

int GuiSpreadsheetCell::compare_bytes(CoreBasicString const& a, CoreBasicString const& b)
{
    // std::string compares through char_traits<char>, which compares as unsigned char.
    int const result = a.std_string().compare(b.std_string());
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int GuiSpreadsheetCellBasic::get_button_size()
{
    return ImageIcon::get_image_icon_int_size(ImageIcon::IMAGE_ICON_SIZE_16);
}

void GuiSpreadsheetCellBasic::set_text(CoreString const&) {}

void GuiSpreadsheetCellBasic::set_has_value(bool const&) {}

bool GuiSpreadsheetCellBasic::set_pastable_text(CoreString const& text)
{
    set_text(text);
    return true;
}

void GuiSpreadsheetCellBasic::set_background_color(GMathVec3<unsigned char> const& color)
{
    m_background = color;
    m_has_background = true;
}

GMathVec3<unsigned char> GuiSpreadsheetCellBasic::draw_background(GuiSpreadsheetDrawContext& context) const
{
    GMathVec3<unsigned char> background = context.get_row_background_color();
    GMathVec4<int> const& rect = context.get_cell_rect();
    GuiSpreadsheet& sheet = context.get_spreadsheet();
    int const px = sheet.get_padding_x(), py = sheet.get_padding_y();
    if (!context.is_cell_selected()) {
        if (!m_has_background) return background;
        context.draw_rectf(rect[0] - px, rect[1] - py, rect[2] + 2 * px, rect[3] + 2 * py, m_background[0],
                           m_background[1], m_background[2]);
        return m_background;
    }
    bool const active = sheet.has_focus() && sheet.is_enabled() && is_enabled();
    GMathVec3<unsigned char> const& selection = context.get_color(
        active ? GuiColorScheme::GROUP_NORMAL : GuiColorScheme::GROUP_DISABLED, GuiColorScheme::ROLE_SELECTION);
    context.draw_rectf(rect[0] - px, rect[1] - py, rect[2] + 2 * px, rect[3] + 2 * py, selection[0], selection[1],
                       selection[2]);
    return selection;
}

void GuiSpreadsheetCellBasic::draw_highlight(GuiSpreadsheetDrawContext& context, CoreString const& text, int const& x,
                                             int const& w, bool const& right,
                                             GMathVec3<unsigned char> const& background) const
{
    GuiSpreadsheet& sheet = context.get_spreadsheet();
    if (!context.is_highlight_enabled() || sheet.get_highlight_text().is_empty() || w <= 0) return;
    CoreVector<GMathVec2<unsigned int>> const spans = sheet.get_highlight_spans(text);
    if (spans.is_empty()) return;
    int text_w = 0, text_h = 0;
    context.get_text_size(text, text_w, text_h);
    int const left = right && text_w <= w ? x + w - text_w : x;
    GMathVec3<unsigned char> const& accent = context.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_ACCENT);
    GMathVec3<unsigned char> color;
    for (int c = 0; c < 3; ++c) color[c] = static_cast<unsigned char>(0.8 * background[c] + 0.2 * accent[c]);
    GMathVec4<int> const& rect = context.get_content_rect();
    int const height = std::min(rect[3], text_h);
    int const top = rect[1] + (rect[3] - height) / 2;
    for (GMathVec2<unsigned int> const& span : spans) {
        int start_w = 0, span_w = 0, h = 0;
        context.get_text_size(text.sub_string(0, span[0]), start_w, h);
        context.get_text_size(text.sub_string(0, span[0] + span[1]), span_w, h);
        int const x0 = std::max(x, left + start_w), x1 = std::min(x + w, left + span_w);
        if (x1 > x0) context.draw_rectf(x0, top, x1 - x0, height, color[0], color[1], color[2]);
    }
}

int GuiSpreadsheetCellBasic::draw_right_button(GuiSpreadsheetDrawContext& context, GuiImage const* image,
                                               CoreString const& text,
                                               GMathVec3<unsigned char> const& background) const
{
    GuiSpreadsheet& sheet = context.get_spreadsheet();
    GMathVec4<int> const& rect = context.get_cell_rect();
    int const size = get_button_size();
    int const px = sheet.get_padding_x(), py = sheet.get_padding_y();
    int const x = rect[0] + rect[2] + px - size;
    int const y = rect[1] - py, h = rect[3] + 2 * py;
    if (size > rect[2]) return 0;
    GMathVec3<unsigned char> const& scheme = context.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BUTTON);
    GMathVec3<unsigned char> fill, ink;
    GMathVec3<unsigned char> const& text_color = context.get_text_color();
    for (int c = 0; c < 3; ++c) {
        fill[c] = static_cast<unsigned char>(0.9 * background[c] + 0.1 * scheme[c]);
        ink[c] = static_cast<unsigned char>(0.7 * text_color[c] + 0.3 * background[c]);
    }
    context.draw_rectf(x, y, size, h, fill[0], fill[1], fill[2]);
    if (image)
        image->draw(is_enabled(), x + (size - static_cast<int>(image->get_width())) / 2,
                    y + (h - static_cast<int>(image->get_height())) / 2, false);
    else
        context.draw_text(text, x, y, size, h, ink[0], ink[1], ink[2], GuiWidget::JUSTIFY_CENTER);
    return size;
}

void GuiSpreadsheetCellBasicText::set_text(CoreString const& text)
{
    if (!is_text_valid(text)) return;
    m_text = text;
    set_has_value(true);
}

bool GuiSpreadsheetCellBasicText::set_pastable_text(CoreString const& text)
{
    if (!is_text_valid(text)) return false;
    set_text(text);
    return true;
}

bool GuiSpreadsheetCellBasicText::is_text_valid(CoreString const& text) const
{
    if (m_text_filter != TEXT_FILTER_DIGITS && m_text_filter != TEXT_FILTER_DECIMAL) return true;
    int points = 0;
    for (char const c : text.std_string()) {
        if (c == '.' && m_text_filter == TEXT_FILTER_DECIMAL && ++points == 1) continue;
        if (c < '0' || c > '9') return false;
    }
    return true;
}

void GuiSpreadsheetCellBasicText::set_text_filter(int const& filter)
{
    m_text_filter = static_cast<unsigned char>(filter >= TEXT_FILTER_ANY && filter <= TEXT_FILTER_DECIMAL ? filter : TEXT_FILTER_ANY);
}

int GuiSpreadsheetCellBasicText::compare(GuiSpreadsheetCell* other) const
{
    if (!other) return 1;
    // Sorting a million rows calls this twenty million times: no copies for text cells.
    if (other->is_kindof(GuiSpreadsheetCellBasicText::class_info()))
        return compare_bytes(m_text, static_cast<GuiSpreadsheetCellBasicText*>(other)->m_text);
    return compare_bytes(m_text, other->get_text());
}

GMathVec3<unsigned char> GuiSpreadsheetCellBasicText::get_draw_text_color(GuiSpreadsheetDrawContext& context) const
{
    if (m_override_text_color) return m_text_color;
    return context.is_cell_selected() ? context.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_SELECTED)
                                      : context.get_text_color();
}

void GuiSpreadsheetCellBasicText::draw_text_part(GuiSpreadsheetDrawContext& context,
                                                 GMathVec3<unsigned char> const& background, int const& left,
                                                 int const& right_reserve)
{
    if (!m_has_value) return;
    GMathVec4<int> const& rect = context.get_content_rect();
    int const w = rect[2] - left - right_reserve;
    if (w <= 0) return;
    draw_highlight(context, m_text, rect[0] + left, w, m_justify_right, background);
    GMathVec3<unsigned char> const color = get_draw_text_color(context);
    context.draw_text_clampable(m_text, rect[0] + left, rect[1], w, rect[3], color[0], color[1], color[2], true,
                                m_clamp_left, m_justify_right);
}

void GuiSpreadsheetCellBasicText::draw(GuiSpreadsheetDrawContext& context)
{
    GMathVec3<unsigned char> const background = draw_background(context);
    int const button = m_text_editable ? draw_right_button(context, nullptr, "...", background) : 0;
    draw_text_part(context, background, get_edit_offset(), button);
}

bool GuiSpreadsheetCellBasicText::is_selectable(bool const& flag) const
{
    if (!GuiSpreadsheetCellBasic::is_selectable(flag)) return false;
    if (!m_text_editable || flag) return true;
    return !is_pointer_in_right_end(get_button_size());
}

bool GuiSpreadsheetCellBasicText::on_click(bool const&)
{
    if (!is_enabled() || !m_text_editable) return false;
    if (!is_pointer_in_right_end(get_button_size())) return false;
    return start_line_edit();
}

bool GuiSpreadsheetCellBasicText::on_double_click()
{
    if (!is_enabled() || !m_text_editable) return false;
    return start_line_edit();
}

bool GuiSpreadsheetCellBasicText::start_line_edit()
{
    GuiSpreadsheet* sheet = get_spreadsheet();
    int column = -1, row = -1;
    if (!sheet || !sheet->get_cell_indices(this, column, row)) return false;
    // With full row select the sheet edits the full-row-edition column: this one, for the call.
    unsigned int const full_row_column = sheet->get_full_row_edition_column_index();
    if (sheet->is_full_row_select()) sheet->set_full_row_edition_column_index(static_cast<unsigned int>(column));
    // The edit works on the preselection: a press on the button did not move the cursor here.
    sheet->set_preselection_cell(column, row);
    sheet->set_clicked_cell(column, row);
    sheet->start_edit_cell_content();
    sheet->set_full_row_edition_column_index(full_row_column);
    return true;
}

void GuiSpreadsheetCellBasicText::on_cursor_enter(int const& column, int const& row)
{
    GuiSpreadsheet* sheet = get_spreadsheet();
    if (!sheet) return;
    if (m_text_editable && is_enabled())
        sheet->set_input_value_edit(m_text, this, column, row);
    else
        sheet->set_input_value_edit(m_text, nullptr, -1, -1);
}

void GuiSpreadsheetCellBasicText::on_edit_changed(int const& column, int const& row)
{
    GuiSpreadsheet* sheet = get_spreadsheet();
    if (!sheet || !m_text_editable || !is_enabled() || get_is_read_only() || get_is_locked()) return;
    // A read-only column of a read-only sheet keeps its text.
    if (sheet->is_read_only() && sheet->is_column_can_read_only(column)) return;
    (void)row;
    change_value(sheet->get_input_value_edit()->get_text());
}

size_t GuiSpreadsheetCellBasicText::get_memory_size() const
{
    // The text's own block when it outgrows the string's inline buffer.
    size_t const heap = m_text.std_string().capacity() > 15 ? m_text.std_string().capacity() + 1 : 0;
    return sizeof(GuiSpreadsheetCellBasicText) + heap;
}

int GuiSpreadsheetCellNaturalText::compare(GuiSpreadsheetCell* other) const
{
    if (!other) return 1;
    if (other->is_kindof(GuiSpreadsheetCellBasicText::class_info()))
        return CoreString::natural_compare(get_text_ref(), static_cast<GuiSpreadsheetCellBasicText*>(other)->get_text_ref());
    return CoreString::natural_compare(get_text_ref(), other->get_text());
}
