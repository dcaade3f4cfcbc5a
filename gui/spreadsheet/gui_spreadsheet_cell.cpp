#include "gui/spreadsheet/gui_spreadsheet_cell.h"

#include <algorithm>
#include <cstring>

#include "gui/fields/gui_line_edit.h"
#include "gui/spreadsheet/gui_spreadsheet.h"
#include "gui/spreadsheet/gui_spreadsheet_row.h"
#include "host/core/core_log.h"

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

void GuiSpreadsheetCellBasic::set_text(CoreString const&) {}

GMathVec3<unsigned char> GuiSpreadsheetCellBasic::draw_background(GuiSpreadsheetDrawContext& context) const
{
    GMathVec3<unsigned char> background = context.get_row_background_color();
    if (!context.is_cell_selected()) return background;
    GuiSpreadsheet& sheet = context.get_spreadsheet();
    bool const active = sheet.has_focus() && sheet.is_enabled() && is_enabled();
    GMathVec3<unsigned char> const& selection = context.get_color(
        active ? GuiColorScheme::GROUP_NORMAL : GuiColorScheme::GROUP_DISABLED, GuiColorScheme::ROLE_SELECTION);
    GMathVec4<int> const& rect = context.get_cell_rect();
    int const px = sheet.get_padding_x(), py = sheet.get_padding_y();
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

int GuiSpreadsheetCellBasicText::compare(GuiSpreadsheetCell* other) const
{
    if (!other) return 1;
    // Sorting a million rows calls this twenty million times: no copies for text cells.
    if (other->is_kindof(GuiSpreadsheetCellBasicText::class_info()))
        return compare_bytes(m_text, static_cast<GuiSpreadsheetCellBasicText*>(other)->m_text);
    return compare_bytes(m_text, other->get_text());
}

void GuiSpreadsheetCellBasicText::draw(GuiSpreadsheetDrawContext& context)
{
    GMathVec3<unsigned char> const background = draw_background(context);
    GMathVec4<int> const& content = context.get_content_rect();
    draw_highlight(context, m_text, content[0] + get_edit_offset(), content[2] - get_edit_offset(), m_justify_right,
                   background);
    GMathVec3<unsigned char> const& color =
        context.is_cell_selected()
            ? context.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_SELECTED)
            : context.get_text_color();
    GMathVec4<int> const& rect = context.get_content_rect();
    int const offset = get_edit_offset();
    context.draw_text_clampable(m_text, rect[0] + offset, rect[1], rect[2] - offset, rect[3], color[0], color[1],
                                color[2], true, m_clamp_left, m_justify_right);
}

bool GuiSpreadsheetCellBasicText::on_double_click()
{
    GuiSpreadsheet* sheet = get_spreadsheet();
    if (!sheet || !is_enabled() || !m_text_editable) return false;
    int column = -1, row = -1;
    if (!sheet->get_cell_indices(this, column, row)) return false;
    // With full row select the sheet edits the full-row-edition column: this one, for the call.
    unsigned int const full_row_column = sheet->get_full_row_edition_column_index();
    if (sheet->is_full_row_select()) sheet->set_full_row_edition_column_index(static_cast<unsigned int>(column));
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
    sheet->set_cell_content(this, sheet->get_input_value_edit()->get_text());
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
