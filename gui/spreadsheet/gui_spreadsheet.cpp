#include "gui/spreadsheet/gui_spreadsheet.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <numeric>

#include "gui/controls/gui_scrollbar.h"
#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_font.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/panels/gui_toolbar.h"
#include "gui/spreadsheet/gui_spreadsheet_cell.h"
#include "gui/spreadsheet/gui_spreadsheet_row.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_SPREADSHEET_SELECTION_CHANGED);
EVENT_DEFINE_ID(EVT_ID_SPREADSHEET_CLICK);
EVENT_DEFINE_ID(EVT_ID_SPREADSHEET_CURSOR_ENTER_CELL);
EVENT_DEFINE_ID(EVT_ID_SPREADSHEET_CURSOR_LEAVE_CELL);
EVENT_DEFINE_ID(EVT_ID_SPREADSHEET_CELL_UPDATED);
EVENT_DEFINE_ID(EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED);
EVENT_DEFINE_ID(EVT_ID_SPREADSHEET_LINE_EDIT_CHANGED);
EVENT_DEFINE_ID(EVT_ID_SPREADSHEET_LINE_EDIT_HIDDEN);

CORE_IMPLEMENT_CLASS(GuiSpreadsheetDrawContext, GuiWidgetDc)
CORE_IMPLEMENT_CLASS(GuiSpreadsheet, GuiWidget)

namespace {

uint64_t column_bit(int const& column)
{
    return column >= 0 && column < static_cast<int>(GuiSpreadsheet::mask_column_size) ? (uint64_t(1) << column) : 0;
}

// Bits of columns first .. last (inclusive), limited to the mask.
uint64_t column_range_bits(int first, int last)
{
    if (first > last) std::swap(first, last);
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(GuiSpreadsheet::mask_column_size) - 1);
    if (first > last) return 0;
    uint64_t const upper = last == 63 ? ~uint64_t(0) : ((uint64_t(1) << (last + 1)) - 1);
    return upper & ~((uint64_t(1) << first) - 1);
}

// Sheets with an open cell editor and the cells they edit, shared by all sheets.
std::vector<GuiSpreadsheet const*>& editing_sheets()
{
    static std::vector<GuiSpreadsheet const*> sheets;
    return sheets;
}

std::vector<GuiSpreadsheetCell const*>& edited_cells()
{
    static std::vector<GuiSpreadsheetCell const*> cells;
    return cells;
}

// The line edit over an edited cell. Tab is the sheet's (it ends the edit unsaved): taken
// here, so that the key reaches the sheet's handler instead of moving the focus on.
class GuiSpreadsheetCellLineEdit : public GuiLineEdit {
public:
    using GuiLineEdit::GuiLineEdit;
    int process_event(CoreString const& name) override
    {
        if (name == EVT_ID_KEY_DOWN && has_focus() && Gui::get_last_key_pressed() == Gui::KEY_ID_TAB) return 1;
        return GuiLineEdit::process_event(name);
    }
};

template <class T>
void erase_value(std::vector<T>& values, T const& value)
{
    values.erase(std::remove(values.begin(), values.end(), value), values.end());
}

}  // namespace

// Groups selection changes so that one operation raises EVT_ID_SPREADSHEET_SELECTION_CHANGED
// at most once, at its end.
class GuiSpreadsheetSelectionBatch {
public:
    explicit GuiSpreadsheetSelectionBatch(GuiSpreadsheet& sheet, uint64_t& serial, int& depth)
        : m_sheet(sheet), m_serial(serial), m_depth(depth), m_start(serial)
    {
        ++m_depth;
    }
    ~GuiSpreadsheetSelectionBatch()
    {
        if (--m_depth == 0 && m_serial != m_start) m_sheet.raise_event(EVT_ID_SPREADSHEET_SELECTION_CHANGED);
    }

private:
    GuiSpreadsheet& m_sheet;
    uint64_t& m_serial;
    int& m_depth;
    uint64_t m_start;
};

#define SELECTION_BATCH GuiSpreadsheetSelectionBatch selection_batch(*this, m_selection_serial, m_selection_batch)

// --- GuiSpreadsheetDrawContext ---

GuiSpreadsheetDrawContext::GuiSpreadsheetDrawContext(GuiSpreadsheet& spreadsheet)
    : GuiWidgetDc(spreadsheet), m_spreadsheet(&spreadsheet)
{
}

// --- GuiSpreadsheetMasks ---

uint64_t GuiSpreadsheetMasks::get(unsigned int const& row) const
{
    auto const found = m_masks.find(row);
    return found == m_masks.end() ? 0 : found->second.mask;
}

bool GuiSpreadsheetMasks::set(unsigned int const& row, uint64_t const& mask)
{
    auto found = m_masks.find(row);
    if (found == m_masks.end()) {
        if (mask == 0) return false;
        m_masks.emplace(row, Entry{mask, m_next_order++});
        return true;
    }
    if (found->second.mask == mask) return false;
    if (mask == 0)
        m_masks.erase(found);
    else
        found->second.mask = mask;
    return true;
}

bool GuiSpreadsheetMasks::clear()
{
    if (m_masks.empty()) return false;
    m_masks.clear();
    return true;
}

unsigned int GuiSpreadsheetMasks::count_bits(unsigned int const& limit) const
{
    unsigned int count = 0;
    for (auto const& [row, entry] : m_masks) {
        count += static_cast<unsigned int>(__builtin_popcountll(entry.mask));
        if (count >= limit) return limit;
    }
    return count;
}

CoreVector<unsigned int> GuiSpreadsheetMasks::get_rows() const
{
    CoreVector<unsigned int> rows;
    rows.reserve(get_row_count());
    for (auto const& [row, entry] : m_masks) rows.add(row);
    std::sort(rows.begin(), rows.end());
    return rows;
}

CoreVector<unsigned int> GuiSpreadsheetMasks::get_ordered_rows() const
{
    std::vector<std::pair<uint64_t, unsigned int>> order;
    order.reserve(m_masks.size());
    for (auto const& [row, entry] : m_masks) order.emplace_back(entry.order, row);
    std::sort(order.begin(), order.end());
    CoreVector<unsigned int> rows;
    rows.reserve(get_row_count());
    for (auto const& item : order) rows.add(item.second);
    return rows;
}

void GuiSpreadsheetMasks::on_row_inserted(unsigned int const& index)
{
    std::unordered_map<unsigned int, Entry> moved;
    moved.reserve(m_masks.size());
    for (auto const& [row, entry] : m_masks) moved.emplace(row >= index ? row + 1 : row, entry);
    m_masks.swap(moved);
}

void GuiSpreadsheetMasks::on_row_removed(unsigned int const& index)
{
    std::unordered_map<unsigned int, Entry> moved;
    moved.reserve(m_masks.size());
    for (auto const& [row, entry] : m_masks)
        if (row != index) moved.emplace(row > index ? row - 1 : row, entry);
    m_masks.swap(moved);
}

void GuiSpreadsheetMasks::permute(CoreVector<unsigned int> const& new_index_of)
{
    std::unordered_map<unsigned int, Entry> moved;
    moved.reserve(m_masks.size());
    for (auto const& [row, entry] : m_masks)
        if (row < new_index_of.get_count()) moved.emplace(new_index_of[row], entry);
    m_masks.swap(moved);
}

size_t GuiSpreadsheetMasks::get_memory_size() const
{
    // A node per entry (key, entry, next pointer, cached hash) plus the bucket array.
    return m_masks.size() * (sizeof(Entry) + 2 * sizeof(void*) + sizeof(unsigned int)) +
           m_masks.bucket_count() * sizeof(void*);
}

// --- Construction ---

GuiSpreadsheet::GuiSpreadsheet(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                               CoreVector<GuiWidget*> const* left, CoreVector<GuiWidget*> const* right)
    : GuiWidget(parent, x, y, w, h), m_grid_width(w)
{
    m_draw_context = new GuiSpreadsheetDrawContext(*this);
    m_horizontal_scrollbar = new GuiScrollbar(*this, x, y + h - SCROLLBAR_SIZE, w, SCROLLBAR_SIZE);
    m_horizontal_scrollbar->set_orientation(GuiScrollbar::ORIENTATION_HORIZONTAL);
    m_horizontal_scrollbar->set_focus_receiver(false);
    m_horizontal_scrollbar->hide();
    connect(*m_horizontal_scrollbar, EVT_ID_SCROLLBAR_VALUE_CHANGED, &GuiSpreadsheet::on_horizontal_scroll);
    m_vertical_scrollbar = new GuiScrollbar(*this, x + w - SCROLLBAR_SIZE, y, SCROLLBAR_SIZE, h);
    m_vertical_scrollbar->set_focus_receiver(false);
    m_vertical_scrollbar->hide();
    connect(*m_vertical_scrollbar, EVT_ID_SCROLLBAR_VALUE_CHANGED, &GuiSpreadsheet::on_vertical_scroll);

    m_toolbar = new GuiToolbar(*this, x, y, w, "Edit Expression");
    connect(*m_toolbar, EVT_ID_TOOLBAR_MAXIMIZE, &GuiSpreadsheet::on_toolbar_size);
    connect(*m_toolbar, EVT_ID_TOOLBAR_MINIMIZE, &GuiSpreadsheet::on_toolbar_size);
    int left_width = 0, right_width = 0;
    if (left)
        for (GuiWidget* widget : *left) left_width += widget ? widget->get_width() : 0;
    if (right)
        for (GuiWidget* widget : *right) right_width += widget ? widget->get_width() : 0;
    if (left)
        for (GuiWidget* widget : *left)
            if (widget) m_toolbar->add_widget(*widget, GuiToolbar::ANCHOR_LEFT);
    int const edit_width = std::max(20, w - left_width - right_width - 12);
    m_value_edit = new GuiLineEdit(*m_toolbar, x + 1 + left_width, y + 2, edit_width, 18);
    m_toolbar->add_widget(*m_value_edit, GuiToolbar::ANCHOR_LEFT, true, 20);
    if (right)
        for (GuiWidget* widget : *right)
            if (widget) m_toolbar->add_widget(*widget, GuiToolbar::ANCHOR_LEFT);
    connect(*m_value_edit, EVT_ID_LINE_EDIT_CHANGED, &GuiSpreadsheet::on_value_edit_changed);
    set_input_value_edit(CoreString(), nullptr, -1, -1);

    GuiSpreadsheetHeaderData row_header;
    row_header.set_width(DEFAULT_HEADER_ROW_WIDTH);
    row_header.set_fixed_size(true);
    m_columns.add(row_header);
    set_focus_receiver(true);
    mark_dirty();
}

GuiSpreadsheet::~GuiSpreadsheet()
{
    // Children go after this body, raising focus and scroll events as they do: this half
    // destroyed sheet must not hear them.
    disconnect_all();
    if (m_cell_line_edit) {
        get_application().remove_mouse_listener(&GuiSpreadsheet::on_edit_mouse, this);
        erase_value(edited_cells(), static_cast<GuiSpreadsheetCell const*>(m_edited_cell));
        m_cell_line_edit = nullptr;
        m_edited_cell = nullptr;
    }
    erase_value(editing_sheets(), static_cast<GuiSpreadsheet const*>(this));
    for (GuiSpreadsheetRow* row : m_rows) delete row;
    delete m_draw_context;
}

void GuiSpreadsheet::mark_dirty()
{
    set_is_dirty(true);
    redraw();
}

// --- Columns ---

GuiSpreadsheetHeaderData* GuiSpreadsheet::get_data_column(int const& column)
{
    return has_column(column) ? &m_columns.std_vector()[static_cast<size_t>(column) + 1] : nullptr;
}

void GuiSpreadsheet::add_column(CoreString const& title, int const& width, bool const& resizable, bool const& enabled)
{
    GuiSpreadsheetHeaderData data;
    data.set_title(title);
    data.set_width(std::max(width, m_minimum_column_width));
    data.set_fixed_size(true);
    data.set_resizable(resizable);
    data.set_enabled(enabled);
    m_columns.add(data);
    mark_dirty();
}

void GuiSpreadsheet::add_column(CoreString const& title, double const& ratio, bool const& resizable, bool const& enabled)
{
    GuiSpreadsheetHeaderData data;
    data.set_title(title);
    data.set_ratio(ratio > 0.0 ? ratio : 1.0);
    data.set_width(m_minimum_column_width);
    data.set_resizable(resizable);
    data.set_enabled(enabled);
    m_columns.add(data);
    mark_dirty();
}

void GuiSpreadsheet::add_column(CoreString const& title, bool const& enabled)
{
    add_column(title, 1.0, true, enabled);
}

void GuiSpreadsheet::remove_column(int const& column)
{
    if (!has_column(column)) {
        CORE_LOG_WARNING("GuiSpreadsheet.remove_column: no column " << column << "\n");
        return;
    }
    if (m_column_resizing) cancel_column_resize();
    m_columns.remove(static_cast<unsigned int>(column) + 1);
    mark_dirty();
}

int GuiSpreadsheet::get_column_index(CoreString const& title) const
{
    for (unsigned int entry = 1; entry < m_columns.get_count(); ++entry)
        if (m_columns[entry].get_title() == title) return static_cast<int>(entry) - 1;
    return -1;
}

CoreString GuiSpreadsheet::get_column_title(int const& column) const
{
    return has_column(column) ? m_columns[static_cast<unsigned int>(column) + 1].get_title() : CoreString();
}

int GuiSpreadsheet::get_column_width(int const& column) const
{
    return has_column(column) ? m_columns[static_cast<unsigned int>(column) + 1].get_width() : -1;
}

void GuiSpreadsheet::set_column_width(int const& column, int const& width)
{
    GuiSpreadsheetHeaderData* data = get_data_column(column);
    if (!data) {
        CORE_LOG_WARNING("GuiSpreadsheet.set_column_width: no column " << column << "\n");
        return;
    }
    if (width < 0) {
        CORE_LOG_WARNING("GuiSpreadsheet.set_column_width: negative width " << width << " refused for column "
                                                                         << column << "\n");
        return;
    }
    int const minimum = std::max(m_minimum_column_width, data->get_minimum_size());
    if (width < minimum)
        CORE_LOG_WARNING("GuiSpreadsheet.set_column_width: width " << width << " of column " << column
                                                                   << " raised to the minimum " << minimum << "\n");
    data->set_width(std::max(width, minimum));
    update_horizontal_overflow();
    if (!data->is_fixed_size()) recompute_ratios();
    refresh_layout();
    redraw();
}

double GuiSpreadsheet::get_column_ratio(int const& column) const
{
    return has_column(column) ? m_columns[static_cast<unsigned int>(column) + 1].get_ratio() : -1.0;
}

void GuiSpreadsheet::set_column_ratio(int const& column, double const& ratio)
{
    GuiSpreadsheetHeaderData* data = get_data_column(column);
    if (!data || !(ratio > 0.0)) {
        CORE_LOG_WARNING("GuiSpreadsheet.set_column_ratio: ratio " << ratio << " for column " << column
                                                                   << " refused\n");
        return;
    }
    data->set_ratio(ratio);
    mark_dirty();
}

void GuiSpreadsheet::set_column_enabled(int const& column, bool const& enabled)
{
    GuiSpreadsheetHeaderData* data = get_data_column(column);
    if (!data) return;
    data->set_enabled(enabled);
    for (GuiSpreadsheetRow* row : m_rows)
        if (GuiSpreadsheetCell* cell = row->get_cell(static_cast<unsigned int>(column))) cell->set_enable(enabled);
    redraw();
}

bool GuiSpreadsheet::is_column_enabled(int const& column) const
{
    return has_column(column) && m_columns[static_cast<unsigned int>(column) + 1].is_enabled();
}

void GuiSpreadsheet::set_column_resizable(int const& column, bool const& resizable)
{
    if (GuiSpreadsheetHeaderData* data = get_data_column(column)) data->set_resizable(resizable);
}

bool GuiSpreadsheet::is_column_resizable(int const& column) const
{
    return has_column(column) && m_columns[static_cast<unsigned int>(column) + 1].is_resizable();
}

void GuiSpreadsheet::set_column_hidden(int const& column, bool const& hidden)
{
    GuiSpreadsheetHeaderData* data = get_data_column(column);
    if (!data || data->is_hidden() == hidden) return;
    if (m_column_resizing) cancel_column_resize();
    data->set_hidden(hidden);
    update_horizontal_overflow();
    mark_dirty();
}

bool GuiSpreadsheet::is_column_hidden(int const& column) const
{
    return has_column(column) && m_columns[static_cast<unsigned int>(column) + 1].is_hidden();
}

void GuiSpreadsheet::set_column_sort_type(int const& column, int const& key)
{
    GuiSpreadsheetHeaderData* data = get_data_column(column);
    if (!data) {
        CORE_LOG_WARNING("GuiSpreadsheet.set_column_sort_type: no column " << column << " to give the sort key " << key
                                                                           << "\n");
        return;
    }
    data->set_sort_type(key);
}

int GuiSpreadsheet::get_column_sort_type(int const& column) const
{
    return has_column(column) ? m_columns[static_cast<unsigned int>(column) + 1].get_sort_type() : -1;
}

void GuiSpreadsheet::set_column_icon(int const& column, GuiImage const* image)
{
    if (GuiSpreadsheetHeaderData* data = get_data_column(column)) data->set_icon(image);
    redraw();
}

GuiImage const* GuiSpreadsheet::get_column_icon(int const& column) const
{
    return has_column(column) ? m_columns[static_cast<unsigned int>(column) + 1].get_icon() : nullptr;
}

bool GuiSpreadsheet::add_column_type(int const& key, CoreString const& title)
{
    for (unsigned int entry = 1; entry < m_columns.get_count(); ++entry)
        if (m_columns[entry].get_sort_type() == key) return false;
    add_column(title, DEFAULT_COLUMN_WIDTH, true, true);
    m_columns.std_vector().back().set_sort_type(key);
    return true;
}

bool GuiSpreadsheet::remove_column_type(int const& key)
{
    if (get_column_count() == 0) return false;
    bool removed = false;
    for (unsigned int entry = m_columns.get_count() - 1; entry >= 1; --entry)
        if (m_columns[entry].get_sort_type() == key) {
            m_columns.remove(entry);
            removed = true;
        }
    if (removed) {
        if (m_column_resizing) cancel_column_resize();
        mark_dirty();
    }
    return removed;
}

void GuiSpreadsheet::set_minimum_column_width(int const& width)
{
    if (width < 0) {
        CORE_LOG_WARNING("GuiSpreadsheet.set_minimum_column_width: negative width " << width << " refused\n");
        return;
    }
    m_minimum_column_width = width;
    mark_dirty();
}

int GuiSpreadsheet::get_column_right_margin(int const&) const
{
    return 0;
}

// --- Rows ---

bool GuiSpreadsheet::append_row(GuiSpreadsheetRow* row)
{
    m_rows.add(row);
    m_rows_visibility_dirty = true;
    m_tree_dirty = true;
    unsigned int const cells = row->get_cell_count();
    unsigned int const columns = static_cast<unsigned int>(get_column_count());
    for (unsigned int column = 0; column < std::min(cells, columns); ++column)
        if (!m_columns[column + 1].is_enabled()) row->get_cell(column)->set_enable(false);
    return cells != columns;
}

void GuiSpreadsheet::log_cell_count_mismatch(char const* operation, unsigned int const& rows) const
{
    CORE_LOG_WARNING("GuiSpreadsheet." << operation << ": " << rows << " row(s) with a cell count other than the "
                                       << get_column_count()
                                       << " columns; missing cells show nothing, extra cells are ignored\n");
}

void GuiSpreadsheet::after_append(int const& index, bool const& select)
{
    m_rows_visibility_dirty = true;
    mark_dirty();
    m_anchor_column = 0;
    m_anchor_row = index;
    if (!select) return;
    SELECTION_BATCH;
    update_rows_visibility();
    unselect_all(false);
    m_anchor_column = m_anchor_row = -1;
    set_cursor_position(0, index);
}

int GuiSpreadsheet::add_row(GuiSpreadsheetRow* row, bool const& select, bool const& refresh)
{
    if (!row) {
        CORE_LOG_WARNING("GuiSpreadsheet.add_row: null row ignored\n");
        return -1;
    }
    if (m_sorting) {
        CORE_LOG_ERROR("GuiSpreadsheet.add_row: refused while the rows are being sorted\n");
        return -1;
    }
    if (append_row(row)) log_cell_count_mismatch("add_row", 1);
    int const index = static_cast<int>(m_rows.get_count()) - 1;
    if (!m_highlight_words.is_empty()) update_row_highlight(static_cast<unsigned int>(index));
    if (refresh) after_append(index, select);
    return index;
}

void GuiSpreadsheet::add_rows(CoreVector<GuiSpreadsheetRow*> const& rows, bool const& refresh)
{
    if (m_sorting) {
        CORE_LOG_ERROR("GuiSpreadsheet.add_rows: refused while the rows are being sorted\n");
        return;
    }
    m_rows.reserve(m_rows.get_count() + rows.get_count());
    unsigned int mismatched = 0;
    for (GuiSpreadsheetRow* row : rows) {
        if (!row) continue;
        if (append_row(row)) ++mismatched;
        if (!m_highlight_words.is_empty()) update_row_highlight(m_rows.get_count() - 1);
    }
    if (mismatched) log_cell_count_mismatch("add_rows", mismatched);
    if (refresh && !m_rows.is_empty()) after_append(static_cast<int>(m_rows.get_count()) - 1, false);
}

void GuiSpreadsheet::insert_row(unsigned int const& index, GuiSpreadsheetRow* row)
{
    if (!row || m_sorting) {
        CORE_LOG_WARNING("GuiSpreadsheet.insert_row: null row, or rows being sorted: refused\n");
        return;
    }
    unsigned int const at = std::min(index, m_rows.get_count());
    if (append_row(row)) log_cell_count_mismatch("insert_row", 1);
    std::rotate(m_rows.begin() + at, m_rows.end() - 1, m_rows.end());
    m_selection.on_row_inserted(at);
    m_highlight.on_row_inserted(at);
    if (!m_highlight_words.is_empty()) update_row_highlight(at);
    auto shift = [&](int& value) {
        if (value >= static_cast<int>(at)) ++value;
    };
    shift(m_cursor_row);
    shift(m_anchor_row);
    shift(m_clicked_row);
    shift(m_preselection_row);
    m_rows_visibility_dirty = true;
    mark_dirty();
}

void GuiSpreadsheet::insert_row(unsigned int const& index, GuiSpreadsheetRow* row, int const& parent)
{
    update_tree_structure();
    GuiSpreadsheetRow* parent_row = parent >= 0 ? get_row(static_cast<unsigned int>(parent)) : nullptr;
    // Past the parent and at most just after its subtree, so that the rows stay depth-first.
    if (!row || !parent_row || index <= static_cast<unsigned int>(parent) ||
        index > static_cast<unsigned int>(parent + parent_row->get_total_sub_children_count()) + 1) {
        CORE_LOG_ERROR("GuiSpreadsheet.insert_row: cannot insert at " << index << " under parent " << parent << " of "
                                                                      << m_rows.get_count()
                                                                      << " rows (null row, no such parent, or an index "
                                                                         "outside its subtree); nothing inserted\n");
        return;
    }
    parent_row->set_children_count(parent_row->get_children_count() + 1);
    row->set_parent_index(parent);
    insert_row(index, row);
}

void GuiSpreadsheet::insert_rows(unsigned int const& index, CoreVector<GuiSpreadsheetRow*> const& block,
                                 int const& parent, int const& roots)
{
    if (block.is_empty()) return;
    update_tree_structure();
    GuiSpreadsheetRow* parent_row = parent >= 0 ? get_row(static_cast<unsigned int>(parent)) : nullptr;
    bool const inside = parent < 0 ? index <= m_rows.get_count()
                                   : parent_row && index > static_cast<unsigned int>(parent) &&
                                         index <= static_cast<unsigned int>(parent + parent_row->get_total_sub_children_count()) + 1;
    if (m_sorting || !inside || std::find(block.begin(), block.end(), nullptr) != block.end()) {
        CORE_LOG_ERROR("GuiSpreadsheet.insert_rows: cannot insert " << block.get_count() << " rows at " << index
                                                                    << " under parent " << parent << " of "
                                                                    << m_rows.get_count()
                                                                    << " rows; nothing inserted\n");
        return;
    }
    if (parent_row) parent_row->set_children_count(parent_row->get_children_count() + roots);
    unsigned int mismatched = 0;
    for (GuiSpreadsheetRow* row : block)
        if (append_row(row)) ++mismatched;
    if (mismatched) log_cell_count_mismatch("insert_rows", mismatched);
    unsigned int const count = block.get_count();
    std::rotate(m_rows.begin() + index, m_rows.end() - count, m_rows.end());
    if (m_tree_mode && !m_tree_inconsistent) splice_tree_inserted(index, count, parent);
    for (unsigned int i = 0; i < count; ++i) {
        m_selection.on_row_inserted(index + i);
        m_highlight.on_row_inserted(index + i);
        if (!m_highlight_words.is_empty()) update_row_highlight(index + i);
    }
    auto shift = [&](int& value) {
        if (value >= static_cast<int>(index)) value += static_cast<int>(count);
    };
    shift(m_cursor_row);
    shift(m_anchor_row);
    shift(m_clicked_row);
    shift(m_preselection_row);
    m_permute_rows.clear();
    mark_dirty();
}

void GuiSpreadsheet::destroy_row(GuiSpreadsheetRow* row)
{
    row->remove_all_data();
    delete row;
}

void GuiSpreadsheet::move_row(unsigned int const& from, unsigned int const& to)
{
    if (from >= m_rows.get_count() || to > m_rows.get_count() || m_sorting) {
        CORE_LOG_WARNING("GuiSpreadsheet.move_row: cannot move row " << from << " to " << to << " among "
                                                                     << m_rows.get_count() << "\n");
        return;
    }
    unsigned int const target = to > from ? to - 1 : to;
    if (target == from) return;
    std::vector<unsigned int> order(m_rows.get_count());
    std::iota(order.begin(), order.end(), 0u);
    order.erase(order.begin() + from);
    order.insert(order.begin() + target, from);
    apply_row_order(order);
}

GuiSpreadsheetRow* GuiSpreadsheet::get_row(unsigned int const& index) const
{
    return index < m_rows.get_count() ? m_rows[index] : nullptr;
}

void GuiSpreadsheet::on_removing_row(unsigned int const&) {}

void GuiSpreadsheet::abort_gestures(char const* operation)
{
    if (!m_mouse_pressed && !m_drag_started) return;
    CORE_LOG_WARNING("GuiSpreadsheet." << operation << ": rows removed during a drag; the drag ends here\n");
    m_mouse_pressed = false;
    m_drag_started = false;
    m_header_drag = HEADER_DRAG_NONE;
}

GuiSpreadsheetRow* GuiSpreadsheet::remove_row(unsigned int const& index)
{
    if (m_sorting) {
        CORE_LOG_ERROR("GuiSpreadsheet.remove_row: refused while the rows are being sorted\n");
        return nullptr;
    }
    if (index >= m_rows.get_count()) {
        CORE_LOG_WARNING("GuiSpreadsheet.remove_row: no row " << index << " among " << m_rows.get_count() << "\n");
        return nullptr;
    }
    SELECTION_BATCH;
    abort_gestures("remove_row");
    on_removing_row(index);
    GuiSpreadsheetRow* row = m_rows[index];
    if (m_edited_cell && m_edited_cell->get_row() == row) abandon_edit("remove_row");
    m_row_serials.erase(row);
    if (m_tree_mode) {
        // Its children move up to its parent, so the counts keep adding up.
        update_tree_structure();
        if (GuiSpreadsheetRow* parent = row->get_parent_index() >= 0 ? get_row(static_cast<unsigned int>(row->get_parent_index())) : nullptr)
            parent->set_children_count(parent->get_children_count() + row->get_children_count() - 1);
    }
    m_rows.remove(index);
    if (m_selection.get(index)) ++m_selection_serial;
    m_selection.on_row_removed(index);
    m_highlight.on_row_removed(index);
    m_permute_rows.clear();
    m_tree_dirty = true;
    m_cursor_column = m_cursor_row = -1;
    auto fix = [&](int& value) {
        if (value == static_cast<int>(index))
            value = -1;
        else if (value > static_cast<int>(index))
            --value;
    };
    fix(m_anchor_row);
    if (m_anchor_row < 0) m_anchor_column = -1;
    fix(m_clicked_row);
    fix(m_preselection_row);
    m_rows_visibility_dirty = true;
    refresh_multi_cell_selected();
    mark_dirty();
    return row;
}

void GuiSpreadsheet::remove_rows(CoreVector<unsigned int> const& indices)
{
    if (m_sorting) {
        CORE_LOG_ERROR("GuiSpreadsheet.remove_rows: refused while the rows are being sorted\n");
        return;
    }
    std::vector<unsigned int> sorted;
    for (unsigned int index : indices)
        if (index < m_rows.get_count()) sorted.push_back(index);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (sorted.empty()) return;
    SELECTION_BATCH;
    abort_gestures("remove_rows");
    for (unsigned int index : sorted) {
        on_removing_row(index);
        if (m_edited_cell && m_edited_cell->get_row() == m_rows[index]) abandon_edit("remove_rows");
        m_row_serials.erase(m_rows[index]);
    }
    if (m_tree_mode) {
        // From the last up, each removed row's children move up to its parent (which may go
        // too, handing them further up).
        update_tree_structure();
        for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
            GuiSpreadsheetRow const& row = *m_rows[*it];
            if (row.get_parent_index() >= 0) {
                GuiSpreadsheetRow& parent = *m_rows[static_cast<unsigned int>(row.get_parent_index())];
                parent.set_children_count(parent.get_children_count() + row.get_children_count() - 1);
            }
        }
    }
    // One compaction pass: removing many rows of a long sheet stays linear.
    unsigned int constexpr GONE = ~0u;
    CoreVector<unsigned int> new_index_of(m_rows.get_count());
    std::vector<GuiSpreadsheetRow*>& rows = m_rows.std_vector();
    size_t next_removed = 0, kept = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (next_removed < sorted.size() && sorted[next_removed] == i) {
            destroy_row(rows[i]);
            new_index_of.set(static_cast<unsigned int>(i), GONE);
            ++next_removed;
            continue;
        }
        new_index_of.set(static_cast<unsigned int>(i), static_cast<unsigned int>(kept));
        rows[kept++] = rows[i];
    }
    rows.resize(kept);
    unsigned int const selected_before = m_selection.get_row_count();
    GuiSpreadsheetMasks kept_masks;
    for (unsigned int row : m_selection.get_ordered_rows())
        if (new_index_of[row] != GONE) kept_masks.set(new_index_of[row], m_selection.get(row));
    m_selection = kept_masks;
    if (m_selection.get_row_count() != selected_before) ++m_selection_serial;
    GuiSpreadsheetMasks kept_highlight;
    for (unsigned int row : m_highlight.get_rows())
        if (new_index_of[row] != GONE) kept_highlight.set(new_index_of[row], m_highlight.get(row));
    m_highlight = kept_highlight;
    m_permute_rows.clear();
    m_tree_dirty = true;
    auto remap = [&](int& value) {
        if (value >= 0) value = new_index_of[static_cast<unsigned int>(value)] == GONE
                                    ? -1
                                    : static_cast<int>(new_index_of[static_cast<unsigned int>(value)]);
    };
    m_cursor_column = m_cursor_row = -1;
    remap(m_anchor_row);
    if (m_anchor_row < 0) m_anchor_column = -1;
    remap(m_clicked_row);
    remap(m_preselection_row);
    m_rows_visibility_dirty = true;
    refresh_multi_cell_selected();
    mark_dirty();
}

void GuiSpreadsheet::remove_rows(unsigned int const& first, unsigned int const& last)
{
    CoreVector<unsigned int> indices;
    for (unsigned int index = first; index <= last && index < m_rows.get_count(); ++index) indices.add(index);
    // One whole subtree of a current tree: its leaving is spliced out of the structure
    // instead of walking every row again.
    update_tree_structure();
    bool const subtree = m_tree_mode && !m_tree_inconsistent && !m_sorting && last < m_rows.get_count() &&
                         first <= last &&
                         static_cast<int>(last - first) == m_rows[first]->get_total_sub_children_count();
    int const parent = subtree ? m_rows[first]->get_parent_index() : -1;
    remove_rows(indices);
    if (subtree) splice_tree_removed(first, last - first + 1, parent);
}

std::vector<GuiSpreadsheet::OpenLevel> GuiSpreadsheet::structure_rows(unsigned int const& index,
                                                                     unsigned int const& end, int const& parent)
{
    std::vector<OpenLevel> open;
    int const base_depth = parent < 0 ? 0 : m_rows[static_cast<unsigned int>(parent)]->get_depth() + 1;
    for (unsigned int i = index; i < end; ++i) {
        GuiSpreadsheetRow& row = *m_rows[i];
        row.m_depth = base_depth + static_cast<int>(open.size());
        row.m_parent_index = open.empty() ? parent : static_cast<int>(open.back().parent);
        row.m_total_sub_children_count = 0;
        if (!open.empty()) --open.back().remaining;
        if (row.get_children_count() > 0) {
            open.push_back(OpenLevel{i, row.get_children_count()});
            continue;
        }
        // This row ends every subtree whose last child it completes.
        while (!open.empty() && open.back().remaining == 0) {
            m_rows[open.back().parent]->m_total_sub_children_count = static_cast<int>(i - open.back().parent);
            open.pop_back();
        }
    }
    return open;
}

void GuiSpreadsheet::splice_tree_inserted(unsigned int const& index, unsigned int const& count, int const& parent)
{
    unsigned int const end = index + count;
    // A block whose counts do not add up: the next pass walks every row and reports it.
    if (!structure_rows(index, end, parent).empty()) return;
    // Later rows point past the block; the ancestors' subtrees grew by it.
    unsigned int const total = m_rows.get_count();
    for (unsigned int i = end; i < total; ++i)
        if (m_rows[i]->m_parent_index >= static_cast<int>(index)) m_rows[i]->m_parent_index += static_cast<int>(count);
    for (int p = parent; p >= 0; p = m_rows[static_cast<unsigned int>(p)]->m_parent_index)
        m_rows[static_cast<unsigned int>(p)]->m_total_sub_children_count += static_cast<int>(count);
    m_tree_dirty = false;
}

void GuiSpreadsheet::splice_tree_removed(unsigned int const& first, unsigned int const& count, int const& parent)
{
    unsigned int const total = m_rows.get_count();
    int const last = static_cast<int>(first + count) - 1;
    for (unsigned int i = first; i < total; ++i)
        if (m_rows[i]->m_parent_index > last) m_rows[i]->m_parent_index -= static_cast<int>(count);
    for (int p = parent; p >= 0; p = m_rows[static_cast<unsigned int>(p)]->m_parent_index)
        m_rows[static_cast<unsigned int>(p)]->m_total_sub_children_count -= static_cast<int>(count);
    m_tree_dirty = false;
}

void GuiSpreadsheet::remove_selected_rows()
{
    remove_rows(m_selection.get_rows());
}

void GuiSpreadsheet::remove_all_data(bool const& reset_cursor)
{
    if (m_sorting) {
        CORE_LOG_ERROR("GuiSpreadsheet.remove_all_data: refused while the rows are being sorted\n");
        return;
    }
    SELECTION_BATCH;
    abort_gestures("remove_all_data");
    if (m_edited_cell) abandon_edit("remove_all_data");
    m_row_serials.clear();
    for (GuiSpreadsheetRow* row : m_rows) destroy_row(row);
    m_rows.clear();
    m_row_y_positions.clear();
    m_visible_rows.clear();
    if (m_selection.clear()) ++m_selection_serial;
    m_highlight.clear();
    m_permute_rows.clear();
    m_tree_dirty = true;
    if (reset_cursor) m_cursor_column = m_cursor_row = -1;
    m_anchor_column = m_anchor_row = -1;
    m_clicked_column = m_clicked_row = -1;
    m_preselection_column = m_preselection_row = -1;
    m_row_offset_index = 0;
    m_multi_cell_selected = false;
    m_rows_visibility_dirty = true;
    mark_dirty();
}

GuiSpreadsheetCell* GuiSpreadsheet::get_cell(int const& column, int const& row) const
{
    if (column < 0 || row < 0 || row >= static_cast<int>(m_rows.get_count())) return nullptr;
    return m_rows[static_cast<unsigned int>(row)]->get_cell(static_cast<unsigned int>(column));
}

bool GuiSpreadsheet::get_cell_indices(GuiSpreadsheetCell const* cell, int& column, int& row) const
{
    column = row = -1;
    if (!cell || !cell->get_row()) return false;
    // The row is looked up by pointer: linear, but only asked for from clicks and editing.
    int const index = m_rows.find(cell->get_row());
    if (index < 0) return false;
    column = cell->get_row()->get_cell_index(cell);
    row = index;
    return column >= 0;
}

void GuiSpreadsheet::set_cell_content(GuiSpreadsheetCell* cell, CoreString const& text)
{
    if (!cell || !cell->is_kindof(GuiSpreadsheetCellBasic::class_info())) {
        CORE_LOG_WARNING("GuiSpreadsheet.set_cell_content: not a cell that takes text\n");
        return;
    }
    change_cell_value(cell, text);
}

bool GuiSpreadsheet::change_cell_value(GuiSpreadsheetCell* cell, CoreString const& text, void* event_data)
{
    int column = -1, row = -1;
    if (!cell || !get_cell_indices(cell, column, row)) {
        CORE_LOG_WARNING("GuiSpreadsheet.change_cell_value: the cell is not in this sheet\n");
        return false;
    }
    char const* refusal = nullptr;
    if (!cell->is_value_changeable())
        refusal = "the cell is disabled";
    else if (cell->get_is_locked())
        refusal = "the cell is locked";
    else if (cell->get_is_read_only() ||
             (m_read_only && m_columns[static_cast<unsigned int>(column) + 1].is_can_read_only()))
        refusal = "the cell is read-only";
    if (refusal) {
        CORE_LOG_WARNING("GuiSpreadsheet.change_cell_value: cell (" << column << ", " << row << ") not changed: "
                                                                   << refusal << "\n");
        return false;
    }
    CoreString const before = cell->get_pastable_text();
    bool accepted = false;
    if (m_commands && !m_commands->is_busy()) {
        // The command's run makes the change; a refused command adds no step.
        auto command = std::make_unique<GuiSpreadsheetCellCommand>(*this, make_cell_ref(*cell), before, text);
        m_pending_event_data = event_data;
        accepted = m_commands->run(std::move(command));
        m_pending_event_data = nullptr;
    } else {
        accepted = apply_cell_value(cell, text, event_data);
    }
    if (!accepted)
        CORE_LOG_WARNING("GuiSpreadsheet.change_cell_value: cell (" << column << ", " << row << ") refuses \""
                                                                   << text << "\"; it keeps \"" << before << "\"\n");
    return accepted;
}

bool GuiSpreadsheet::apply_cell_value(GuiSpreadsheetCell* cell, CoreString const& text, void* event_data)
{
    if (!cell->set_pastable_text(text)) return false;
    if (!event_data) event_data = m_pending_event_data;
    raise_event(EventInfo(EVT_ID_SPREADSHEET_CELL_UPDATED, event_data ? event_data : static_cast<void*>(cell)));
    redraw();
    return true;
}

unsigned int GuiSpreadsheet::paste_text(CoreString const& text)
{
    int column = m_cursor_column, row = m_cursor_row;
    if (row < 0 || column < 0) {
        CoreVector<GMathVec2<int>> const cells = get_selected_cells();
        if (cells.is_empty()) {
            CORE_LOG_WARNING("GuiSpreadsheet.paste_text: no cursor cell or selection to paste at\n");
            return 0;
        }
        column = cells[0][0];
        row = cells[0][1];
    }
    update_rows_visibility();
    std::vector<std::string> lines;
    std::string const& all = text.std_string();
    for (size_t start = 0; start <= all.size();) {
        size_t const end = std::min(all.find('\n', start), all.size());
        std::string line = all.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    unsigned int changed = 0;
    if (m_commands) m_commands->begin_batch("Paste Cells");
    unsigned int position = get_visible_position(static_cast<unsigned int>(row));
    for (std::string const& line : lines) {
        if (position >= get_visible_row_count()) break;
        unsigned int const target_row = static_cast<unsigned int>(get_visible_row(position++));
        int target_column = column;
        for (size_t start = 0; start <= line.size(); ++target_column) {
            size_t const end = std::min(line.find('\t', start), line.size());
            std::string const field = line.substr(start, end - start);
            start = end + 1;
            // Empty fields are the unselected cells of a copied block: their targets are kept.
            if (field.empty()) continue;
            GuiSpreadsheetCell* cell = get_cell(target_column, static_cast<int>(target_row));
            if (!cell) continue;
            if (cell->get_pastable_text() == CoreString(field) || change_cell_value(cell, CoreString(field))) ++changed;
        }
    }
    if (m_commands) m_commands->end_batch();
    return changed;
}

void GuiSpreadsheet::paste(CoreString const& text)
{
    if (m_read_only) {
        CORE_LOG_WARNING("GuiSpreadsheet.paste: the sheet is read-only\n");
        return;
    }
    paste_text(text);
}

GuiSpreadsheetCellRef GuiSpreadsheet::make_cell_ref(GuiSpreadsheetCell const& cell)
{
    GuiSpreadsheetCellRef ref;
    ref.row = cell.get_row();
    ref.column = ref.row ? ref.row->get_cell_index(&cell) : -1;
    auto const [it, added] = m_row_serials.emplace(ref.row, m_next_row_serial);
    if (added) ++m_next_row_serial;
    ref.serial = it->second;
    return ref;
}

GuiSpreadsheetCell* GuiSpreadsheet::resolve_cell_ref(GuiSpreadsheetCellRef const& ref) const
{
    auto const it = m_row_serials.find(ref.row);
    if (it == m_row_serials.end() || it->second != ref.serial) return nullptr;
    return ref.row->get_cell(static_cast<unsigned int>(ref.column));
}

// --- Geometry ---

void GuiSpreadsheet::set_row_height(int const& height)
{
    if (height < 1) {
        CORE_LOG_WARNING("GuiSpreadsheet.set_row_height: height " << height << " refused\n");
        return;
    }
    m_row_height = height;
    m_rows_visibility_dirty = true;
    mark_dirty();
}

void GuiSpreadsheet::enable_custom_height_by_row(bool const& enable)
{
    m_custom_height_by_row = enable;
    if (!enable) m_row_y_positions = CoreVector<uint32_t>();
    m_rows_visibility_dirty = true;
    mark_dirty();
}

void GuiSpreadsheet::set_padding_x(int const& padding)
{
    m_padding_x = std::max(0, padding);
    mark_dirty();
}

void GuiSpreadsheet::set_padding_y(int const& padding)
{
    m_padding_y = std::max(0, padding);
    m_rows_visibility_dirty = true;
    mark_dirty();
}

int GuiSpreadsheet::get_row_total_height() const
{
    return m_row_height + 2 * m_padding_y + (m_show_vertical_grid ? 1 : 0);
}

int GuiSpreadsheet::get_row_inner_height(unsigned int const& row) const
{
    int const height = m_custom_height_by_row && row < m_rows.get_count() ? m_rows[row]->get_height() : m_row_height;
    return height + 2 * m_padding_y;
}

int GuiSpreadsheet::get_row_pitch(unsigned int const& row) const
{
    return get_row_inner_height(row) + (m_show_horizontal_grid ? 1 : 0);
}

int GuiSpreadsheet::get_header_row_width() const
{
    return m_show_header_row ? m_columns[0].get_width() : -1;
}

void GuiSpreadsheet::set_show_header_column(bool const& show)
{
    m_show_header_column = show;
    mark_dirty();
}

void GuiSpreadsheet::set_show_header_row(bool const& show)
{
    m_show_header_row = show;
    mark_dirty();
}

void GuiSpreadsheet::set_show_line_edit(bool const& show)
{
    m_show_line_edit = show;
    mark_dirty();
}

void GuiSpreadsheet::set_show_grid(bool const& show)
{
    m_show_horizontal_grid = m_show_vertical_grid = show;
    m_rows_visibility_dirty = true;
    mark_dirty();
}

void GuiSpreadsheet::set_show_horizontal_grid(bool const& show)
{
    m_show_horizontal_grid = show;
    m_rows_visibility_dirty = true;
    mark_dirty();
}

void GuiSpreadsheet::set_show_vertical_grid(bool const& show)
{
    m_show_vertical_grid = show;
    mark_dirty();
}

void GuiSpreadsheet::set_shaded(bool const& shaded)
{
    m_shaded = shaded;
    redraw();
}

void GuiSpreadsheet::set_row_index_display_start_offset(int const& offset)
{
    m_row_index_display_start_offset = offset;
    mark_dirty();
}

void GuiSpreadsheet::set_read_only(bool const& read_only)
{
    m_read_only = read_only;
    redraw();
}

void GuiSpreadsheet::set_read_only_titles_disabled(bool const& disabled)
{
    m_read_only_titles_disabled = disabled;
    redraw();
}

void GuiSpreadsheet::set_show_cursor(bool const& show)
{
    m_show_cursor = show;
    redraw();
}

int GuiSpreadsheet::get_toolbar_height() const
{
    return m_show_line_edit && m_toolbar ? m_toolbar->get_height() : 0;
}

int GuiSpreadsheet::get_title_strip_height() const
{
    return m_show_header_column ? m_header_column_height : 0;
}

int GuiSpreadsheet::get_body_y() const
{
    return get_y() + get_toolbar_height() + get_title_strip_height();
}

int GuiSpreadsheet::get_body_height() const
{
    int const bar = m_horizontal_scrollbar->is_shown() ? SCROLLBAR_SIZE : 0;
    return get_height() - get_toolbar_height() - get_title_strip_height() - bar;
}

int GuiSpreadsheet::get_entry_width(unsigned int const& entry) const
{
    if (entry >= m_columns.get_count()) return 0;
    if (entry == 0) return m_show_header_row ? std::max(0, m_columns[0].get_width()) : 0;
    return m_columns[entry].is_hidden() ? 0 : m_columns[entry].get_width();
}

int GuiSpreadsheet::get_entry_x(unsigned int const& entry) const
{
    int const grid = m_show_vertical_grid ? 1 : 0;
    int const strip = get_entry_width(0);
    if (entry == 0) return get_x();
    // The row-number strip stays; data columns scroll.
    int x = get_x() + strip + (strip > 0 ? grid : 0) - m_horizontal_offset;
    for (unsigned int e = 1; e < entry && e < m_columns.get_count(); ++e)
        if (!m_columns[e].is_hidden()) x += m_columns[e].get_width() + grid;
    return x;
}

void GuiSpreadsheet::update_tree_structure()
{
    if (!m_tree_mode || !m_tree_dirty) return;
    m_tree_dirty = false;
    m_rows_visibility_dirty = true;
    unsigned int const count = m_rows.get_count();
    std::vector<OpenLevel> open = structure_rows(0, count, -1);
    bool const inconsistent = !open.empty();
    if (inconsistent && !m_tree_inconsistent)
        CORE_LOG_WARNING("GuiSpreadsheet.update_tree_structure: row "
                         << open.back().parent << " expects " << open.back().remaining
                         << " more children than the rows that follow; its subtree ends at the last row\n");
    m_tree_inconsistent = inconsistent;
    for (; !open.empty(); open.pop_back())
        m_rows[open.back().parent]->m_total_sub_children_count = static_cast<int>(count - 1 - open.back().parent);
}

void GuiSpreadsheet::update_rows_visibility()
{
    update_tree_structure();
    if (!m_rows_visibility_dirty) return;
    m_rows_visibility_dirty = false;
    unsigned int const count = m_rows.get_count();
    std::vector<unsigned int>& visible = m_visible_rows.std_vector();
    visible.clear();
    if (m_tree_mode)
        collect_visible_rows(0, count, visible);
    else if (visible.capacity() > 0)
        m_visible_rows = CoreVector<unsigned int>();
    update_visible_positions();
}

void GuiSpreadsheet::collect_visible_rows(unsigned int const& first, unsigned int const& end,
                                          std::vector<unsigned int>& visible) const
{
    // Hidden rows and collapsed parents skip their subtrees whole: the walk costs the rows
    // shown, not the rows stored.
    for (unsigned int row = first; row < end;) {
        GuiSpreadsheetRow const& r = *m_rows[row];
        unsigned int const subtree = static_cast<unsigned int>(r.get_total_sub_children_count());
        if (r.is_hidden()) {
            row += 1 + subtree;
            continue;
        }
        visible.push_back(row);
        row += r.is_show_children() ? 1 : 1 + subtree;
    }
}

void GuiSpreadsheet::splice_visible_subtree(unsigned int const& row, bool const& show)
{
    std::vector<unsigned int>& visible = m_visible_rows.std_vector();
    unsigned int const end = row + 1 + static_cast<unsigned int>(m_rows[row]->get_total_sub_children_count());
    auto const first = std::lower_bound(visible.begin(), visible.end(), row + 1);
    if (show) {
        std::vector<unsigned int> shown;
        collect_visible_rows(row + 1, end, shown);
        visible.insert(first, shown.begin(), shown.end());
    } else {
        visible.erase(first, std::lower_bound(first, visible.end(), end));
    }
    update_visible_positions();
}

void GuiSpreadsheet::update_visible_positions()
{
    std::vector<unsigned int> const& visible = m_visible_rows.std_vector();
    // A first shown row that went out of sight gives way to the shown row above it.
    if (m_tree_mode && m_row_offset_index > 0 && !visible.empty() && !is_row_visible(m_row_offset_index)) {
        unsigned int const position = get_visible_position(static_cast<unsigned int>(m_row_offset_index));
        m_row_offset_index = static_cast<int>(visible[position > 0 ? position - 1 : 0]);
    }
    unsigned int const shown = get_visible_row_count();
    if (!m_custom_height_by_row) {
        m_content_height = shown * static_cast<unsigned int>(get_row_pitch(0));
        return;
    }
    m_row_y_positions.resize(shown);
    uint32_t y = 0;
    for (unsigned int position = 0; position < shown; ++position) {
        m_row_y_positions.set(position, y);
        y += static_cast<uint32_t>(get_row_pitch(static_cast<unsigned int>(get_visible_row(position))));
    }
    m_content_height = y;
}

void GuiSpreadsheet::refresh_rows_visibility()
{
    m_rows_visibility_dirty = true;
    m_tree_dirty = true;
    mark_dirty();
}

unsigned int GuiSpreadsheet::get_visible_row_count() const
{
    ensure_rows_visibility();
    return m_tree_mode ? m_visible_rows.get_count() : m_rows.get_count();
}

int GuiSpreadsheet::get_visible_row(unsigned int const& position) const
{
    if (position >= get_visible_row_count()) return -1;
    return static_cast<int>(m_tree_mode ? m_visible_rows[position] : position);
}

unsigned int GuiSpreadsheet::get_visible_position(unsigned int const& row) const
{
    ensure_rows_visibility();
    if (!m_tree_mode) return std::min(row, m_rows.get_count());
    // The list is in row order (the tree is stored depth-first).
    return static_cast<unsigned int>(std::lower_bound(m_visible_rows.begin(), m_visible_rows.end(), row) -
                                     m_visible_rows.begin());
}

bool GuiSpreadsheet::is_row_visible(int const& row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.get_count())) return false;
    unsigned int const position = get_visible_position(static_cast<unsigned int>(row));
    return get_visible_row(position) == row;
}

bool GuiSpreadsheet::is_row_shaded(int const& row) const
{
    return row >= 0 && (get_visible_position(static_cast<unsigned int>(row)) & 1) != 0;
}

unsigned int GuiSpreadsheet::get_position_y(unsigned int const& position) const
{
    ensure_rows_visibility();
    if (m_custom_height_by_row)
        return position < m_row_y_positions.get_count() ? m_row_y_positions[position] : m_content_height;
    return std::min(position, get_visible_row_count()) * static_cast<unsigned int>(get_row_pitch(0));
}

unsigned int GuiSpreadsheet::get_position_at_y(unsigned int const& y) const
{
    ensure_rows_visibility();
    if (m_custom_height_by_row) {
        auto const it = std::upper_bound(m_row_y_positions.begin(), m_row_y_positions.end(), y);
        return static_cast<unsigned int>(std::max<std::ptrdiff_t>(0, it - m_row_y_positions.begin() - 1));
    }
    return y / static_cast<unsigned int>(get_row_pitch(0));
}

unsigned int GuiSpreadsheet::get_row_y_position(unsigned int const& row) const
{
    return get_position_y(get_visible_position(row));
}

unsigned int GuiSpreadsheet::get_content_height() const
{
    ensure_rows_visibility();
    return m_content_height;
}

int GuiSpreadsheet::get_cell_pos_y(int const& row) const
{
    if (row < m_row_offset_index || !is_row_visible(row)) return -1;
    return get_body_y() + static_cast<int>(get_row_y_position(static_cast<unsigned int>(row)) -
                                           get_row_y_position(static_cast<unsigned int>(m_row_offset_index)));
}

int GuiSpreadsheet::get_entry_at(int const& window_x) const
{
    int const grid = m_show_vertical_grid ? 1 : 0;
    int const strip = get_entry_width(0);
    if (strip > 0 && window_x >= get_x() && window_x < get_x() + strip + grid) return 0;
    for (unsigned int entry = 1; entry < m_columns.get_count(); ++entry) {
        int const width = get_entry_width(entry);
        if (width <= 0) continue;
        int const x = get_entry_x(entry);
        if (window_x >= x && window_x < x + width + grid) return static_cast<int>(entry);
    }
    return -1;
}

int GuiSpreadsheet::get_row_at(int const& window_y, bool* after) const
{
    int const body_y = get_body_y();
    int const offset = window_y - body_y;
    if (offset < 0 || offset >= get_body_height() || m_rows.is_empty()) return -1;
    unsigned int const target = get_row_y_position(static_cast<unsigned int>(m_row_offset_index)) +
                                static_cast<unsigned int>(offset);
    if (target >= get_content_height()) return -1;
    unsigned int const position = get_position_at_y(target);
    int const row = get_visible_row(position);
    if (after && row >= 0)
        *after = (target - get_position_y(position)) * 2 >= static_cast<unsigned int>(get_row_pitch(static_cast<unsigned int>(row)));
    return row;
}

int GuiSpreadsheet::get_resize_handle_at(int const& window_x) const
{
    for (unsigned int entry = 1; entry < m_columns.get_count(); ++entry) {
        if (!m_columns[entry].is_resizable() || m_columns[entry].is_hidden()) continue;
        int const edge = get_entry_x(entry) + m_columns[entry].get_width();
        if (window_x > edge - RESIZE_HANDLE_REACH && window_x < edge + RESIZE_HANDLE_REACH)
            return static_cast<int>(entry);
    }
    return -1;
}

bool GuiSpreadsheet::is_vertical_scrollbar_needed() const
{
    return static_cast<int>(get_content_height()) > get_body_height();
}

void GuiSpreadsheet::refresh_layout()
{
    update_rows_visibility();
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    if (m_show_line_edit) {
        m_toolbar->resize(x, y, w, m_toolbar->get_height());
        if (!m_toolbar->is_shown()) m_toolbar->show();
    } else if (m_toolbar->is_shown()) {
        m_toolbar->hide();
    }
    if (m_show_header_row) {
        int tw = 0, th = 0;
        CoreString count;
        count += m_rows.get_count();
        get_text_size(count, tw, th);
        m_columns.std_vector()[0].set_width(std::max(DEFAULT_HEADER_ROW_WIDTH, tw + 10));
    } else {
        m_columns.std_vector()[0].set_width(-1);
    }

    m_scrollbar_mute = true;
    int const body_y = get_body_y();
    bool const vertical = is_vertical_scrollbar_needed();
    int const hbar = m_horizontal_scrollbar->is_shown() ? SCROLLBAR_SIZE : 0;
    if (!vertical) {
        if (m_vertical_scrollbar->is_shown()) m_vertical_scrollbar->hide();
        m_row_offset_index = 0;
    } else {
        m_vertical_scrollbar->resize(x + w - SCROLLBAR_SIZE, body_y, SCROLLBAR_SIZE, std::max(0, y + h - hbar - body_y));
        m_vertical_scrollbar->set_range(get_content_height());
        if (!m_vertical_scrollbar->is_shown()) m_vertical_scrollbar->show();
        m_row_offset_index = std::min(m_row_offset_index, get_max_row_offset_index());
        m_vertical_scrollbar->set_offset(
            static_cast<int>(get_row_y_position(static_cast<unsigned int>(m_row_offset_index))));
    }

    // Fixed entries keep their widths; the others share what is left by their ratios.
    m_grid_width = get_available_width(vertical) + m_horizontal_overflow;
    int fixed = 0;
    double ratios = 0.0;
    for (unsigned int entry = 0; entry < m_columns.get_count(); ++entry) {
        GuiSpreadsheetHeaderData const& data = m_columns[entry];
        if (entry > 0 && data.is_hidden()) continue;
        if (entry == 0 || data.is_fixed_size())
            fixed += entry == 0 ? get_entry_width(0) : data.get_width();
        else
            ratios += data.get_ratio();
    }
    int const share = std::max(0, m_grid_width - fixed);
    // Each share truncated, then the pixels truncation lost go to the largest remainders, so
    // the columns fill the share exactly and widths set through the ratios come back as set.
    std::vector<std::pair<double, unsigned int>> remainders;
    int assigned = 0;
    for (unsigned int entry = 1; entry < m_columns.get_count() && ratios > 0.0; ++entry) {
        GuiSpreadsheetHeaderData& data = m_columns.std_vector()[entry];
        if (data.is_fixed_size() || data.is_hidden()) continue;
        double const exact = share * data.get_ratio() / ratios;
        int const width = static_cast<int>(exact + 1e-6);
        data.set_width(width);
        assigned += width;
        remainders.emplace_back(-(exact - width), entry);
    }
    std::stable_sort(remainders.begin(), remainders.end(),
                     [](auto const& a, auto const& b) { return a.first < b.first; });
    for (size_t i = 0; i < remainders.size() && assigned < share; ++i, ++assigned) {
        GuiSpreadsheetHeaderData& data = m_columns.std_vector()[remainders[i].second];
        data.set_width(data.get_width() + 1);
    }
    for (unsigned int entry = 1; entry < m_columns.get_count(); ++entry) {
        GuiSpreadsheetHeaderData& data = m_columns.std_vector()[entry];
        if (!data.is_fixed_size() && !data.is_hidden())
            data.set_width(std::max({data.get_width(), m_minimum_column_width, data.get_minimum_size()}));
    }
    place_scrollbars();
    m_scrollbar_mute = false;
    redraw();
}

void GuiSpreadsheet::place_scrollbars()
{
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    int const vbar = m_vertical_scrollbar->is_shown() ? SCROLLBAR_SIZE : 0;
    int const grid = m_show_vertical_grid ? 1 : 0;
    int total = get_entry_width(0) + (get_entry_width(0) > 0 ? grid : 0);
    for (unsigned int entry = 1; entry < m_columns.get_count(); ++entry)
        if (get_entry_width(entry) > 0) total += get_entry_width(entry) + grid;
    int const visible = w - vbar;
    bool const mute = m_scrollbar_mute;
    m_scrollbar_mute = true;
    if (total > visible && visible > 0) {
        m_horizontal_scrollbar->resize(x, y + h - SCROLLBAR_SIZE, visible, SCROLLBAR_SIZE);
        m_horizontal_scrollbar->set_range(static_cast<unsigned int>(total));
        if (!m_horizontal_scrollbar->is_shown()) m_horizontal_scrollbar->show();
        m_horizontal_offset = std::min(m_horizontal_offset, total - visible);
        m_horizontal_scrollbar->set_offset(m_horizontal_offset);
    } else {
        if (m_horizontal_scrollbar->is_shown()) m_horizontal_scrollbar->hide();
        m_horizontal_offset = 0;
    }
    if (m_vertical_scrollbar->is_shown()) {
        int const body_y = get_body_y();
        int const hbar = m_horizontal_scrollbar->is_shown() ? SCROLLBAR_SIZE : 0;
        m_vertical_scrollbar->resize(x + w - SCROLLBAR_SIZE, body_y, SCROLLBAR_SIZE, std::max(0, y + h - hbar - body_y));
    }
    m_scrollbar_mute = mute;
}

int GuiSpreadsheet::get_available_width(bool const& vertical_scrollbar) const
{
    int const grid = m_show_vertical_grid ? 1 : 0;
    int lines = get_entry_width(0) > 0 ? grid : 0;
    for (unsigned int entry = 1; entry < m_columns.get_count(); ++entry)
        if (!m_columns[entry].is_hidden()) lines += grid;
    return get_width() - (vertical_scrollbar ? SCROLLBAR_SIZE : 0) - 2 - lines;
}

void GuiSpreadsheet::update_horizontal_overflow()
{
    int total = 0;
    for (unsigned int entry = 0; entry < m_columns.get_count(); ++entry) total += get_entry_width(entry);
    int const available = get_available_width(m_vertical_scrollbar->is_shown());
    m_horizontal_overflow = std::max(0, total - available);
    m_grid_width = available + m_horizontal_overflow;
}

void GuiSpreadsheet::recompute_ratios()
{
    int fixed = 0;
    for (unsigned int entry = 0; entry < m_columns.get_count(); ++entry)
        if (entry == 0 || (m_columns[entry].is_fixed_size() && !m_columns[entry].is_hidden()))
            fixed += get_entry_width(entry);
    double const share = std::max(1, m_grid_width - fixed);
    for (unsigned int entry = 1; entry < m_columns.get_count(); ++entry) {
        GuiSpreadsheetHeaderData& data = m_columns.std_vector()[entry];
        if (!data.is_fixed_size() && !data.is_hidden()) data.set_ratio(data.get_width() / share);
    }
}

// --- Scrolling ---

int GuiSpreadsheet::get_max_row_offset_index() const
{
    unsigned int const content = get_content_height();
    int const body = get_body_height();
    if (m_rows.is_empty() || body <= 0 || static_cast<int>(content) <= body) return std::max(0, get_visible_row(0));
    unsigned int const top = content - static_cast<unsigned int>(body);
    // The first visible row whose top lies at or below `top`: from it the rest fits.
    unsigned int position = 0;
    if (m_custom_height_by_row) {
        auto const it = std::lower_bound(m_row_y_positions.begin(), m_row_y_positions.end(), top);
        position = static_cast<unsigned int>(it - m_row_y_positions.begin());
    } else {
        unsigned int const pitch = static_cast<unsigned int>(get_row_pitch(0));
        position = (top + pitch - 1) / pitch;
    }
    return get_visible_row(std::min(position, get_visible_row_count() - 1));
}

void GuiSpreadsheet::set_row_offset_index(int const& index)
{
    int clamped = std::clamp(index, 0, get_max_row_offset_index());
    // A row out of sight gives way to the next one shown.
    if (m_tree_mode && !is_row_visible(clamped)) {
        unsigned int const position = get_visible_position(static_cast<unsigned int>(clamped));
        clamped = std::max(0, get_visible_row(std::min(position, get_visible_row_count() - 1)));
    }
    if (clamped == m_row_offset_index) return;
    m_row_offset_index = clamped;
    if (m_vertical_scrollbar->is_shown()) {
        m_scrollbar_mute = true;
        m_vertical_scrollbar->set_offset(static_cast<int>(get_row_y_position(static_cast<unsigned int>(clamped))));
        m_scrollbar_mute = false;
    }
    redraw();
}

void GuiSpreadsheet::focus_on_row(int const& row)
{
    if (m_disable_focus_on_row || row < 0 || row >= static_cast<int>(m_rows.get_count())) return;
    update_rows_visibility();
    if (m_tree_mode && !is_row_visible(row)) {
        // Collapsed ancestors open; hidden rows stay hidden.
        bool opened = false;
        for (int parent = m_rows[static_cast<unsigned int>(row)]->get_parent_index(); parent >= 0;
             parent = m_rows[static_cast<unsigned int>(parent)]->get_parent_index()) {
            GuiSpreadsheetRow& ancestor = *m_rows[static_cast<unsigned int>(parent)];
            if (!ancestor.is_show_children()) {
                ancestor.set_show_children(true);
                opened = true;
            }
        }
        if (opened) {
            m_rows_visibility_dirty = true;
            refresh_layout();
        }
        if (!is_row_visible(row)) return;
    }
    int const body = get_body_height();
    if (body < 1) return;
    unsigned int const r = static_cast<unsigned int>(row);
    unsigned int const bottom = get_row_y_position(r) + static_cast<unsigned int>(get_row_pitch(r));
    int first = m_row_offset_index;
    if (row < first) {
        first = row;
    } else if (bottom > get_row_y_position(static_cast<unsigned int>(first)) + static_cast<unsigned int>(body)) {
        unsigned int const top = bottom - static_cast<unsigned int>(body);
        unsigned int position = 0;
        if (m_custom_height_by_row) {
            auto const it = std::lower_bound(m_row_y_positions.begin(), m_row_y_positions.end(), top);
            position = static_cast<unsigned int>(it - m_row_y_positions.begin());
        } else {
            unsigned int const pitch = static_cast<unsigned int>(get_row_pitch(0));
            position = (top + pitch - 1) / pitch;
        }
        first = get_visible_row(position);
    }
    if (first != m_row_offset_index) set_row_offset_index(first);
}

void GuiSpreadsheet::on_vertical_scroll(GuiScrollbar& bar, EventInfo const&, void*)
{
    if (m_scrollbar_mute || get_visible_row_count() == 0) return;
    unsigned int const offset = static_cast<unsigned int>(std::max(0, bar.get_offset()));
    unsigned int position = 0;
    if (m_custom_height_by_row) {
        position = get_position_at_y(offset);
        unsigned int const pitch = static_cast<unsigned int>(get_row_pitch(static_cast<unsigned int>(get_visible_row(position))));
        // A row scrolled out by more than a tenth gives way to the next one.
        if ((offset - get_position_y(position)) * 10 > pitch) ++position;
    } else {
        position = static_cast<unsigned int>(std::floor(offset / static_cast<double>(get_row_pitch(0)) + 0.9));
    }
    position = std::min(position, get_visible_row_count() - 1);
    m_row_offset_index = std::clamp(get_visible_row(position), 0, get_max_row_offset_index());
    redraw();
}

void GuiSpreadsheet::on_horizontal_scroll(GuiScrollbar& bar, EventInfo const&, void*)
{
    if (m_scrollbar_mute) return;
    m_horizontal_offset = std::max(0, bar.get_offset());
    redraw();
}

void GuiSpreadsheet::on_toolbar_size(GuiToolbar&, EventInfo const&, void*)
{
    refresh_layout();
}

void GuiSpreadsheet::set_input_value_edit(CoreString const& text, GuiSpreadsheetCell*, int const& column,
                                          int const& row)
{
    bool const cell = column >= 0 && row >= 0 && get_cell(column, row);
    m_value_column = cell ? column : -1;
    m_value_row = cell ? row : -1;
    m_value_edit->set_text(text);
    m_value_edit->set_enable(cell);
    m_value_edit->set_read_only(cell && m_read_only && is_column_can_read_only(column));
    // Italics for a text that stands for no cell.
    GuiFont font = m_value_edit->get_text_font();
    font.set_style(cell ? GuiFont::STYLE_NORMAL : GuiFont::STYLE_ITALIC);
    m_value_edit->set_text_font(font);
}

void GuiSpreadsheet::update_input_value_edit(CoreString const& text, bool const& read_only)
{
    m_value_edit->set_text(text);
    m_value_edit->set_read_only(read_only);
}

void GuiSpreadsheet::set_focus_on_input_value_edit()
{
    if (m_value_edit->is_enabled() && m_value_edit->is_shown()) m_value_edit->set_focus();
}

void GuiSpreadsheet::get_input_value_position(int& column, int& row) const
{
    column = m_value_column;
    row = m_value_row;
}

void GuiSpreadsheet::on_value_edit_changed(GuiLineEdit&, EventInfo const&, void*)
{
    for (unsigned int row : m_selection.get_rows()) {
        uint64_t const mask = m_selection.get(row);
        for (unsigned int column = 0; column < mask_column_size; ++column)
            if (mask & (uint64_t(1) << column))
                if (GuiSpreadsheetCell* cell = m_rows[row]->get_cell(column))
                    cell->on_edit_changed(static_cast<int>(column), static_cast<int>(row));
    }
    raise_event(EVT_ID_SPREADSHEET_LINE_EDIT_CHANGED);
    redraw();
}

// --- Selection ---

bool GuiSpreadsheet::is_cell_selected(int const& column, int const& row) const
{
    if (row < 0) return false;
    return (m_selection.get(static_cast<unsigned int>(row)) & column_bit(column)) != 0;
}

bool GuiSpreadsheet::is_row_selected(int const& row) const
{
    return row >= 0 && m_selection.get(static_cast<unsigned int>(row)) != 0;
}

uint64_t GuiSpreadsheet::get_row_selection_mask(int const& row) const
{
    return row >= 0 ? m_selection.get(static_cast<unsigned int>(row)) : 0;
}

CoreVector<unsigned int> GuiSpreadsheet::get_selected_rows() const
{
    return m_selection.get_rows();
}

CoreVector<unsigned int> GuiSpreadsheet::get_ordered_row_selection() const
{
    return m_selection.get_ordered_rows();
}

CoreVector<GMathVec2<int>> GuiSpreadsheet::get_selected_cells() const
{
    CoreVector<GMathVec2<int>> cells;
    for (unsigned int row : m_selection.get_rows()) {
        uint64_t const mask = m_selection.get(row);
        for (int column = 0; column < static_cast<int>(mask_column_size); ++column)
            if (mask & column_bit(column)) cells.add(GMathVec2<int>(column, static_cast<int>(row)));
    }
    return cells;
}

uint64_t GuiSpreadsheet::get_all_columns_bits() const
{
    uint64_t bits = 0;
    for (int column = 0; column < get_column_count(); ++column)
        if (!m_columns[static_cast<unsigned int>(column) + 1].is_hidden()) bits |= column_bit(column);
    return bits;
}

bool GuiSpreadsheet::paint_row_bits(unsigned int const& row, uint64_t const& bits, bool const& select)
{
    if (row >= m_rows.get_count()) return false;
    // Only bits of cells the row has and that can be selected.
    uint64_t allowed = 0;
    GuiSpreadsheetRow const& r = *m_rows[row];
    unsigned int const cells = std::min(r.get_cell_count(), mask_column_size);
    for (unsigned int column = 0; column < cells; ++column)
        if ((bits >> column) & 1)
            if (!select || r.get_cell(column)->is_selectable(false)) allowed |= uint64_t(1) << column;
    uint64_t const old_mask = m_selection.get(row);
    uint64_t const new_mask = select ? (old_mask | allowed) : (old_mask & ~bits);
    if (!m_selection.set(row, new_mask)) return false;
    ++m_selection_serial;
    redraw();
    return true;
}

bool GuiSpreadsheet::set_cell_selected(int const& column, int const& row, bool const& select)
{
    uint64_t const bit = column_bit(column);
    if (!bit || row < 0) return false;
    return paint_row_bits(static_cast<unsigned int>(row), bit, select);
}

void GuiSpreadsheet::refresh_multi_cell_selected()
{
    if (Gui::is_modifier_ctrl() && m_multi_cell_selected) return;
    m_multi_cell_selected = m_selection.count_bits(2) >= 2;
}

void GuiSpreadsheet::set_selection_row(int const& row, bool const& select)
{
    if (row < 0 || row >= static_cast<int>(m_rows.get_count())) return;
    SELECTION_BATCH;
    paint_row_bits(static_cast<unsigned int>(row), get_all_columns_bits(), select);
    refresh_multi_cell_selected();
}

void GuiSpreadsheet::set_selection_rows(CoreVector<unsigned int> const& rows, bool const& select,
                                        bool const& clear_first)
{
    SELECTION_BATCH;
    if (clear_first) unselect_all(false);
    uint64_t const bits = get_all_columns_bits();
    for (unsigned int row : rows) paint_row_bits(row, bits, select);
    refresh_multi_cell_selected();
}

void GuiSpreadsheet::set_selection_cells(CoreVector<GMathVec2<int>> const& cells)
{
    SELECTION_BATCH;
    unselect_all(false);
    for (GMathVec2<int> const& cell : cells) set_cell_selected(cell[0], cell[1], true);
    refresh_multi_cell_selected();
}

void GuiSpreadsheet::select_all()
{
    SELECTION_BATCH;
    uint64_t const bits = get_all_columns_bits();
    for (unsigned int row = 0; row < m_rows.get_count(); ++row) paint_row_bits(row, bits, true);
    refresh_multi_cell_selected();
}

void GuiSpreadsheet::unselect_all(bool const& raise)
{
    if (!m_selection.clear()) return;
    m_multi_cell_selected = false;
    redraw();
    if (m_selection_batch > 0) {
        ++m_selection_serial;
    } else if (raise) {
        ++m_selection_serial;
        raise_event(EVT_ID_SPREADSHEET_SELECTION_CHANGED);
    }
}

void GuiSpreadsheet::invert_selection_rows()
{
    SELECTION_BATCH;
    uint64_t const bits = get_all_columns_bits();
    for (unsigned int row = 0; row < m_rows.get_count(); ++row)
        paint_row_bits(row, bits, m_selection.get(row) == 0);
    refresh_multi_cell_selected();
}

void GuiSpreadsheet::set_anchor_cell(int const& column, int const& row)
{
    m_anchor_column = column;
    m_anchor_row = row;
}

void GuiSpreadsheet::select_rectangle(int const& column0, int const& row0, int const& column1, int const& row1,
                                      bool const& value)
{
    if (m_rows.is_empty()) return;
    int const last = static_cast<int>(m_rows.get_count()) - 1;
    int const top = std::clamp(std::min(row0, row1), 0, last);
    int const bottom = std::clamp(std::max(row0, row1), 0, last);
    uint64_t const bits = get_all_columns_bits() & (m_full_row_select ? ~uint64_t(0) : column_range_bits(column0, column1));
    for (int row = top; row <= bottom; ++row)
        if (is_row_selectable_by_range(static_cast<unsigned int>(row)))
            paint_row_bits(static_cast<unsigned int>(row), bits, value);
}

void GuiSpreadsheet::do_multiselection(int const& column, int const& row)
{
    if (!m_multi_selection || m_anchor_row < 0 || m_anchor_column < 0) return;
    SELECTION_BATCH;
    if (!Gui::is_modifier_ctrl()) unselect_all(false);
    select_rectangle(m_anchor_column, m_anchor_row, column, row, m_paint_value);
    // The anchor stays where the range started.
    int const anchor_column = m_anchor_column, anchor_row = m_anchor_row;
    bool const paint = m_paint_value;
    m_paint_value = true;
    int const row_clamped = std::min(row, static_cast<int>(m_rows.get_count()) - 1);
    // Moving the cursor must not toggle or extend the range it ends.
    if (m_cursor_column != column || m_cursor_row != row_clamped) {
        GuiSpreadsheetCell* old_cell = get_cell(m_cursor_column, m_cursor_row);
        GuiSpreadsheetCell* new_cell = get_cell(column, row_clamped);
        if (old_cell) {
            old_cell->on_cursor_leave(column, row_clamped);
            raise_event(EventInfo(EVT_ID_SPREADSHEET_CURSOR_LEAVE_CELL, old_cell));
        }
        m_cursor_column = column;
        m_cursor_row = row_clamped;
        if (new_cell) {
            new_cell->on_cursor_enter(column, row_clamped);
            raise_event(EventInfo(EVT_ID_SPREADSHEET_CURSOR_ENTER_CELL, new_cell));
        }
    }
    m_paint_value = paint;
    m_anchor_column = anchor_column;
    m_anchor_row = anchor_row;
    focus_on_row(row_clamped);
    refresh_multi_cell_selected();
}

CoreString GuiSpreadsheet::get_selection_copy_text(CoreString* type) const
{
    CoreVector<unsigned int> const rows = m_selection.get_rows();
    if (rows.is_empty()) return CoreString();
    int first = static_cast<int>(mask_column_size), last = -1;
    for (unsigned int row : rows) {
        uint64_t const mask = m_selection.get(row);
        first = std::min(first, std::countr_zero(mask));
        last = std::max(last, 63 - std::countl_zero(mask));
    }
    CoreString text;
    for (unsigned int i = 0; i < rows.get_count(); ++i) {
        if (i > 0) text += '\n';
        GuiSpreadsheetRow const& row = *m_rows[rows[i]];
        uint64_t const mask = m_selection.get(rows[i]);
        for (int column = first; column <= last; ++column) {
            if (column > first) text += '\t';
            GuiSpreadsheetCell const* cell = row.get_cell(static_cast<unsigned int>(column));
            if (cell && (mask >> column) & 1) text += cell->get_pastable_text();
        }
    }
    if (type) {
        *type = get_class_info().get_name();
        *type += ' ';
        *type += first;
        *type += ' ';
        *type += last;
    }
    return text;
}

void GuiSpreadsheet::copy_selection_to_clipboard() const
{
    CoreString type;
    CoreString const text = get_selection_copy_text(&type);
    if (!type.is_empty()) Gui::copy_to_clipboard(text, type);
}

// --- Cursor ---

void GuiSpreadsheet::get_cursor_position(int& column, int& row) const
{
    column = m_cursor_column;
    row = m_cursor_row;
}

void GuiSpreadsheet::reset_cursor_position()
{
    m_cursor_column = m_cursor_row = -1;
    redraw();
}

void GuiSpreadsheet::get_clicked_cell_position(int& column, int& row) const
{
    column = m_clicked_column;
    row = m_clicked_row;
}

void GuiSpreadsheet::set_cursor_position(int const& column, int const& row)
{
    SELECTION_BATCH;
    if (column != m_cursor_column || row != m_cursor_row) {
        if (GuiSpreadsheetCell* old_cell = get_cell(m_cursor_column, m_cursor_row)) {
            old_cell->on_cursor_leave(column, row);
            raise_event(EventInfo(EVT_ID_SPREADSHEET_CURSOR_LEAVE_CELL, old_cell));
            set_input_value_edit(CoreString(), nullptr, -1, -1);
        }
        GuiSpreadsheetCell* new_cell = get_cell(column, row);
        if (new_cell) {
            set_input_value_edit(CoreString(), nullptr, -1, -1);
            if (!Gui::is_modifier_ctrl()) set_cell_selected(column, row, true);
            new_cell->on_cursor_enter(column, row);
        }
        m_cursor_column = column;
        m_cursor_row = row;
        if (new_cell) raise_event(EventInfo(EVT_ID_SPREADSHEET_CURSOR_ENTER_CELL, new_cell));
        redraw();
    }
    if (m_multi_selection && !(Gui::is_modifier_shift() && m_anchor_row >= 0)) {
        m_anchor_column = column;
        m_anchor_row = row;
    }
    if (m_full_row_select && row >= 0) paint_row_bits(static_cast<unsigned int>(row), get_all_columns_bits(), m_paint_value);
    focus_on_row(row);
    refresh_multi_cell_selected();
}

void GuiSpreadsheet::set_preselection_cell(int const& column, int const& row)
{
    m_preselection_column = column;
    m_preselection_row = row;
    redraw();
}

void GuiSpreadsheet::set_clicked_cell(int const& column, int const& row)
{
    m_clicked_column = column;
    m_clicked_row = row;
}

// --- In-place editing ---

bool GuiSpreadsheet::is_editing() const
{
    std::vector<GuiSpreadsheet const*> const& sheets = editing_sheets();
    return std::find(sheets.begin(), sheets.end(), this) != sheets.end();
}

bool GuiSpreadsheet::is_cell_edited(GuiSpreadsheetCell const* cell)
{
    std::vector<GuiSpreadsheetCell const*> const& cells = edited_cells();
    return cell && std::find(cells.begin(), cells.end(), cell) != cells.end();
}

void GuiSpreadsheet::start_edit_cell_content()
{
    if (is_editing()) return;
    bool const preselected = m_preselection_row >= 0;
    int column = preselected ? m_preselection_column : m_cursor_column;
    int const row = preselected ? m_preselection_row : m_cursor_row;
    if (m_full_row_select) column = static_cast<int>(m_full_row_edition_column);
    GuiSpreadsheetCell* cell = get_cell(column, row);
    char const* refusal = nullptr;
    if (!cell)
        refusal = "there is no cell";
    else if (!cell->is_kindof(GuiSpreadsheetCellBasic::class_info()))
        refusal = "the cell is not a basic cell";
    else if (!cell->is_enabled())
        refusal = "the cell is disabled";
    else if (cell->get_is_locked())
        refusal = "the cell is locked";
    else if (m_read_only && has_column(column) && m_columns[static_cast<unsigned int>(column) + 1].is_can_read_only())
        refusal = "the column is read-only";
    if (refusal) {
        CORE_LOG_WARNING("GuiSpreadsheet.start_edit_cell_content: cell (" << column << ", " << row
                                                                          << ") not edited: " << refusal << "\n");
        return;
    }
    GuiSpreadsheetCellBasic* basic = static_cast<GuiSpreadsheetCellBasic*>(cell);
    editing_sheets().push_back(this);
    if (basic->on_edit_content()) return;

    focus_on_row(row);
    update_rows_visibility();
    GuiFont& font = get_font();
    int const font_height = font.get_height();
    int const row_height = m_custom_height_by_row ? m_rows[static_cast<unsigned int>(row)]->get_height() : m_row_height;
    int offset = basic->get_edit_offset();
    if (m_tree_mode && column == m_tree_column_index) offset += get_tree_indent(static_cast<unsigned int>(row));
    int const x = get_cell_pos_x(column) - 1 + offset;
    int const y = get_cell_pos_y(row) - 1 + (row_height - font_height) / 2;
    int const w = get_cell_width(column) - offset + 2;
    int const h = font_height + 2 * m_padding_y + 1;
    m_cell_line_edit = new GuiSpreadsheetCellLineEdit(*this, x, y, w, h);
    m_edited_cell = basic;
    m_cell_line_edit->set_text_font(font);
    m_cell_line_edit->set_background_color(GuiColorScheme::ROLE_FIELD);
    m_cell_line_edit->set_style(GuiLineEdit::STYLE_FLAT);
    m_cell_line_edit->set_text(basic->get_text());
    m_cell_line_edit->enable_tab_navigation(false);
    for (CoreString const* name : {&EVT_ID_LINE_EDIT_CHANGED, &EVT_ID_LINE_EDIT_VALIDATE, &EVT_ID_LINE_EDIT_ESCAPE_PRESSED,
                                   &EVT_ID_WIDGET_FOCUS_OUT, &EVT_ID_KEY_DOWN, &EVT_ID_KEY_UP})
        connect(*m_cell_line_edit, *name, &GuiSpreadsheet::on_cell_edit_event);
    m_cell_line_edit->show();
    m_cell_line_edit->set_focus();
    m_cell_line_edit->select_all();
    get_application().add_mouse_listener(&GuiSpreadsheet::on_edit_mouse, this);
    edited_cells().push_back(basic);
    redraw();
}

void GuiSpreadsheet::end_edit_cell_content()
{
    m_preselection_column = m_preselection_row = -1;
    erase_value(editing_sheets(), static_cast<GuiSpreadsheet const*>(this));
}

void GuiSpreadsheet::hide_edit_field(GuiSpreadsheetCellBasic* cell, bool const& commit)
{
    GuiLineEdit* edit = m_cell_line_edit;
    if (!edit) return;
    GuiSpreadsheetCell const* edited = m_edited_cell;
    // Forgotten first: the events that closing raises find no editor.
    m_cell_line_edit = nullptr;
    m_edited_cell = nullptr;
    get_application().remove_mouse_listener(&GuiSpreadsheet::on_edit_mouse, this);
    if (commit && cell && edit->get_text() != cell->get_text()) set_cell_content(cell, edit->get_text());
    erase_value(edited_cells(), edited);
    set_focus();
    edit->destroy();
    raise_event(EVT_ID_SPREADSHEET_LINE_EDIT_HIDDEN);
    end_edit_cell_content();
    redraw();
}

void GuiSpreadsheet::on_cell_edit_event(GuiLineEdit& edit, EventInfo const& info, void*)
{
    if (&edit != m_cell_line_edit) return;
    CoreString const& name = info.get_name();
    bool commit = true;
    if (name == EVT_ID_KEY_UP) return;
    if (name == EVT_ID_KEY_DOWN) {
        int const key = Gui::get_last_key_pressed();
        if (key != Gui::KEY_ID_ESCAPE && key != Gui::KEY_ID_TAB) return;
        commit = false;
    } else if (name == EVT_ID_LINE_EDIT_ESCAPE_PRESSED) {
        commit = false;
    } else if (!edit.is_shown()) {
        return;
    }
    hide_edit_field(m_edited_cell, commit);
}

void GuiSpreadsheet::on_edit_mouse(GuiWidget&, CoreString const& event, void* data)
{
    GuiSpreadsheet& sheet = *static_cast<GuiSpreadsheet*>(data);
    GuiLineEdit* edit = sheet.m_cell_line_edit;
    if (!edit || event != EVT_ID_MOUSE_DOWN) return;
    int const x = Gui::get_relative_mouse_x(*edit), y = Gui::get_relative_mouse_y(*edit);
    if (x >= 0 && y >= 0 && x < edit->get_width() && y < edit->get_height()) return;
    sheet.hide_edit_field(sheet.m_edited_cell, true);
}

void GuiSpreadsheet::abandon_edit(char const* operation)
{
    CORE_LOG_WARNING("GuiSpreadsheet." << operation << ": the row of the cell being edited is removed; the edit ends unsaved\n");
    hide_edit_field(m_edited_cell, false);
}

// --- Sorting ---

void GuiSpreadsheet::enable_column_sort(bool const& enable)
{
    m_column_sort_enabled = enable;
}

void GuiSpreadsheet::set_sort_type(int const& key)
{
    if (key == -1) return;
    bool known = false;
    for (unsigned int entry = 1; entry < m_columns.get_count() && !known; ++entry)
        known = m_columns[entry].get_sort_type() == key;
    if (!known) {
        CORE_LOG_WARNING("GuiSpreadsheet.set_sort_type: no column has the sort key " << key << "\n");
        return;
    }
    if (key != m_sort_type)
        set_sort_state(key, 1);
    else
        set_sort_state(key, m_sort_order == 1 ? -1 : (m_sort_order == -1 ? 0 : 1));
}

void GuiSpreadsheet::set_sort_state(int const& key, int const& order)
{
    m_sort_type = key;
    m_sort_order = order;
    raise_event(EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED);
    redraw();
}

void GuiSpreadsheet::set_sort_order(int const& order)
{
    if (order < -1 || order > 1) {
        CORE_LOG_WARNING("GuiSpreadsheet.set_sort_order: order " << order << " refused (1, -1 or 0)\n");
        return;
    }
    m_sort_order = order;
    raise_event(EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED);
    redraw();
}

int GuiSpreadsheet::get_sort_indicator(unsigned int const& entry) const
{
    if (entry == 0 || entry >= m_columns.get_count() || m_sort_type == -1) return 0;
    return m_columns[entry].get_sort_type() == m_sort_type ? m_sort_order : 0;
}

void GuiSpreadsheet::sorting_rows_by_selected_column()
{
    if (m_sorting) {
        CORE_LOG_ERROR("GuiSpreadsheet.sorting_rows_by_selected_column: a sort is already under way\n");
        return;
    }
    if (m_sort_order == 0 || m_sort_type < 0 || m_rows.get_count() < 2) return;
    unsigned int const key = static_cast<unsigned int>(m_sort_type);
    unsigned int const count = m_rows.get_count();
    std::vector<GuiSpreadsheetCell*> cells(count);
    for (unsigned int row = 0; row < count; ++row) {
        cells[row] = m_rows[row]->get_cell(key);
        if (!cells[row]) {
            CORE_LOG_ERROR("GuiSpreadsheet.sorting_rows_by_selected_column: row "
                           << row << " has no cell " << key << " to sort by; the order is kept\n");
            return;
        }
    }
    update_tree_structure();
    m_sorting = true;
    bool const ascending = m_sort_order == 1;
    auto less = [&](unsigned int a, unsigned int b) {
        return ascending ? cells[a]->compare(cells[b]) < 0 : cells[b]->compare(cells[a]) < 0;
    };
    std::vector<unsigned int> order;
    if (!m_tree_mode) {
        order.resize(count);
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(), less);
    } else {
        // Siblings sort among themselves, each carrying its subtree, so the rows stay
        // depth-first. A stack instead of recursion: trees may be deep.
        order.reserve(count);
        auto siblings = [&](unsigned int first, unsigned int end) {
            std::vector<unsigned int> starts;
            for (unsigned int i = first; i < end; i += 1 + static_cast<unsigned int>(m_rows[i]->get_total_sub_children_count()))
                starts.push_back(i);
            std::stable_sort(starts.begin(), starts.end(), less);
            return starts;
        };
        struct Level {
            std::vector<unsigned int> starts;
            size_t next;
        };
        std::vector<Level> levels;
        levels.push_back(Level{siblings(0, count), 0});
        while (!levels.empty()) {
            if (levels.back().next == levels.back().starts.size()) {
                levels.pop_back();
                continue;
            }
            unsigned int const row = levels.back().starts[levels.back().next++];
            order.push_back(row);
            unsigned int const subtree = static_cast<unsigned int>(m_rows[row]->get_total_sub_children_count());
            if (subtree > 0) levels.push_back(Level{siblings(row + 1, row + 1 + subtree), 0});
        }
    }
    m_sorting = false;
    apply_row_order(order);
    focus_on_row(m_cursor_row);
}

void GuiSpreadsheet::apply_row_order(std::vector<unsigned int> const& order)
{
    unsigned int const count = m_rows.get_count();
    CoreVector<unsigned int> new_index_of(count);
    std::vector<GuiSpreadsheetRow*> reordered(count);
    for (unsigned int i = 0; i < count; ++i) {
        new_index_of.set(order[i], i);
        reordered[i] = m_rows[order[i]];
    }
    m_rows.std_vector().swap(reordered);
    // Selection, cursor and anchors stay on their rows.
    m_selection.permute(new_index_of);
    m_highlight.permute(new_index_of);
    auto remap = [&](int& value) {
        if (value >= 0 && value < static_cast<int>(count)) value = static_cast<int>(new_index_of[static_cast<unsigned int>(value)]);
    };
    remap(m_cursor_row);
    remap(m_anchor_row);
    remap(m_clicked_row);
    remap(m_preselection_row);
    m_rows_visibility_dirty = true;
    m_tree_dirty = true;
    mark_dirty();
}

bool GuiSpreadsheet::apply_permute_rows()
{
    unsigned int const count = m_rows.get_count();
    std::vector<unsigned int> order(m_permute_rows.begin(), m_permute_rows.end());
    std::vector<bool> seen(count, false);
    bool valid = order.size() == count && !m_sorting && !m_tree_mode;
    for (unsigned int i = 0; valid && i < order.size(); ++i) {
        valid = order[i] < count && !seen[order[i]];
        if (valid) seen[order[i]] = true;
    }
    if (!valid) {
        CORE_LOG_WARNING("GuiSpreadsheet.apply_permute_rows: the permuted rows are not an order of the "
                         << count << " rows (or the sheet is sorting or in tree mode); nothing moves\n");
        return false;
    }
    apply_row_order(order);
    m_permute_rows.clear();
    return true;
}

// --- Column resizing ---

void GuiSpreadsheet::start_column_resize(int const& entry, int const& window_x, bool const& proportional)
{
    if (entry < 1 || entry >= static_cast<int>(m_columns.get_count()) ||
        !m_columns[static_cast<unsigned int>(entry)].is_resizable()) {
        CORE_LOG_WARNING("GuiSpreadsheet.start_column_resize: entry " << entry << " cannot be resized\n");
        return;
    }
    m_column_resizing = true;
    m_resize_entry = entry;
    m_resize_start_x = window_x;
    m_resize_proportional = proportional;
    m_resize_start_widths.clear();
    for (int e = 0; e <= entry; ++e) m_resize_start_widths.add(m_columns[static_cast<unsigned int>(e)].get_width());
    m_resize_next_entry = -1;
    if (!m_resize_only_one_column)
        for (unsigned int e = static_cast<unsigned int>(entry) + 1; e < m_columns.get_count(); ++e)
            if (m_columns[e].is_resizable() && !m_columns[e].is_hidden()) {
                m_resize_next_entry = static_cast<int>(e);
                m_resize_next_start_width = m_columns[e].get_width();
                break;
            }
    set_mouse_cursor(Gui::MOUSE_CURSOR_WE);
}

void GuiSpreadsheet::continue_column_resize(int const& window_x)
{
    if (!m_column_resizing) return;
    int const d = window_x - m_resize_start_x;
    std::vector<GuiSpreadsheetHeaderData>& columns = m_columns.std_vector();
    auto minimum = [&](unsigned int e) { return std::max(m_minimum_column_width, columns[e].get_minimum_size()); };
    // The entries that take the change: the dragged one, or with Shift every resizable one up to it.
    std::vector<unsigned int> affected;
    if (m_resize_proportional) {
        for (unsigned int e = 1; e <= static_cast<unsigned int>(m_resize_entry); ++e)
            if (columns[e].is_resizable() && !columns[e].is_hidden()) affected.push_back(e);
    } else {
        affected.push_back(static_cast<unsigned int>(m_resize_entry));
    }
    int const n = static_cast<int>(affected.size());
    int total_change = 0;
    bool changed_proportional = false;
    for (int i = 0; i < n; ++i) {
        unsigned int const e = affected[static_cast<size_t>(i)];
        // d / n each, the remainder a pixel at a time, the last one whatever makes the sum d.
        int share = d / n;
        int const remainder = d - share * n;
        if (i < std::abs(remainder)) share += remainder > 0 ? 1 : -1;
        int const start = m_resize_start_widths[e];
        int const width = std::max(minimum(e), start + share);
        total_change += width - start;
        if (width != columns[e].get_width() && !columns[e].is_fixed_size()) changed_proportional = true;
        columns[e].set_width(width);
    }
    if (m_resize_next_entry > 0) {
        unsigned int const next = static_cast<unsigned int>(m_resize_next_entry);
        int const width = std::max(minimum(next), m_resize_next_start_width - total_change);
        if (width != columns[next].get_width() && !columns[next].is_fixed_size()) changed_proportional = true;
        columns[next].set_width(width);
        if (width == minimum(next) && m_resize_next_start_width - total_change < width) {
            // The next column can give no more: carry on from here, the sheet grows instead.
            for (unsigned int e = 0; e < m_resize_start_widths.get_count(); ++e)
                m_resize_start_widths.set(e, columns[e].get_width());
            m_resize_next_start_width = width;
            m_resize_start_x = window_x;
        }
    }
    update_horizontal_overflow();
    if (changed_proportional) recompute_ratios();
    refresh_layout();
}

void GuiSpreadsheet::end_column_resize()
{
    if (!m_column_resizing) return;
    m_column_resizing = false;
    m_resize_entry = -1;
    set_mouse_cursor(Gui::MOUSE_CURSOR_DEFAULT);
}

void GuiSpreadsheet::cancel_column_resize()
{
    if (!m_column_resizing) return;
    for (unsigned int e = 0; e < m_resize_start_widths.get_count() && e < m_columns.get_count(); ++e)
        if (e > 0) m_columns.std_vector()[e].set_width(m_resize_start_widths[e]);
    if (m_resize_next_entry > 0 && m_resize_next_entry < static_cast<int>(m_columns.get_count()))
        m_columns.std_vector()[static_cast<unsigned int>(m_resize_next_entry)].set_width(m_resize_next_start_width);
    end_column_resize();
    update_horizontal_overflow();
    recompute_ratios();
    refresh_layout();
}

void GuiSpreadsheet::autofit_column(unsigned int const& entry)
{
    if (entry < 1 || entry >= m_columns.get_count()) return;
    int tw = 0, th = 0;
    get_text_size(m_columns[entry].get_title(), tw, th);
    int width = tw + 4;
    unsigned int const column = entry - 1;
    int const body = get_body_height();
    unsigned int const shown = get_visible_row_count();
    unsigned int const first = get_visible_position(static_cast<unsigned int>(m_row_offset_index));
    for (unsigned int position = first; position < shown; ++position) {
        if (static_cast<int>(get_position_y(position) - get_position_y(first)) >= body) break;
        unsigned int const row = static_cast<unsigned int>(get_visible_row(position));
        GuiSpreadsheetCell* cell = m_rows[row]->get_cell(column);
        if (!cell || !cell->is_kindof(GuiSpreadsheetCellBasic::class_info())) continue;
        get_text_size(cell->get_text(), tw, th);
        width = std::max(width, tw + get_column_right_margin(static_cast<int>(column)) +
                                    static_cast<GuiSpreadsheetCellBasic*>(cell)->get_edit_offset() + 24 +
                                    (static_cast<int>(column) == m_tree_column_index ? get_tree_indent(row) : 0));
    }
    set_column_width(static_cast<int>(column), width);
}

void GuiSpreadsheet::autofit()
{
    for (unsigned int entry = 1; entry < m_columns.get_count(); ++entry) autofit_column(entry);
}

void GuiSpreadsheet::set_column_auto_fit(int const& column, bool const& auto_fit)
{
    if (GuiSpreadsheetHeaderData* data = get_data_column(column)) data->set_auto_fit(auto_fit);
}

bool GuiSpreadsheet::is_column_auto_fit(int const& column) const
{
    return has_column(column) && m_columns[static_cast<unsigned int>(column) + 1].is_auto_fit();
}

void GuiSpreadsheet::set_column_can_read_only(int const& column, bool const& can)
{
    if (GuiSpreadsheetHeaderData* data = get_data_column(column)) data->set_can_read_only(can);
    redraw();
}

bool GuiSpreadsheet::is_column_can_read_only(int const& column) const
{
    return has_column(column) && m_columns[static_cast<unsigned int>(column) + 1].is_can_read_only();
}

// --- Tree ---

void GuiSpreadsheet::set_tree_mode(bool const& on)
{
    if (on == m_tree_mode) return;
    m_tree_mode = on;
    m_tree_dirty = true;
    m_rows_visibility_dirty = true;
    mark_dirty();
}

void GuiSpreadsheet::set_tree_column_index(int const& column)
{
    if (column < 0) {
        CORE_LOG_WARNING("GuiSpreadsheet.set_tree_column_index: column " << column << " refused\n");
        return;
    }
    m_tree_column_index = column;
    redraw();
}

void GuiSpreadsheet::toggle_show_children(unsigned int const& row, bool const& show)
{
    GuiSpreadsheetRow* r = get_row(row);
    if (!r || !r->has_children() || r->is_show_children() == show) return;
    r->set_show_children(show);
    if (!m_tree_mode) return;
    // Depths and subtree sizes stand. A shown row's subtree goes into or out of the visible
    // list in place; otherwise the list is made again at the next pass.
    if (!m_tree_dirty && !m_rows_visibility_dirty && is_row_visible(static_cast<int>(row)))
        splice_visible_subtree(row, show);
    else
        m_rows_visibility_dirty = true;
    mark_dirty();
}

void GuiSpreadsheet::expand_all(bool const& expand)
{
    for (GuiSpreadsheetRow* row : m_rows)
        if (row->has_children()) row->set_show_children(expand);
    m_rows_visibility_dirty = true;
    mark_dirty();
}

int GuiSpreadsheet::get_tree_toggle_x(unsigned int const& row) const
{
    return get_cell_pos_x(m_tree_column_index) + m_rows[row]->get_depth() * TREE_INDENT;
}

int GuiSpreadsheet::get_tree_indent(unsigned int const& row) const
{
    if (!m_tree_mode) return 0;
    return std::max(0, m_rows[row]->get_depth() * TREE_INDENT + TREE_INDENT - m_padding_x);
}

bool GuiSpreadsheet::is_row_selectable_by_range(unsigned int const& row) const
{
    return !m_tree_mode || m_select_collapsed_rows || is_row_visible(static_cast<int>(row));
}

// --- Highlight words and text filter ---

void GuiSpreadsheet::update_highlight_words()
{
    m_highlight_words.clear();
    CoreString const text = m_case_sensitive_highlight ? m_highlight_filter_text : m_highlight_filter_text.get_lower_case();
    for (CoreString const& piece : text.split(" ")) {
        CoreString const word = piece.get_trim();
        if (!word.is_empty()) m_highlight_words.add(word);
    }
    if (m_highlight_words.get_count() > 1) {
        CoreVector<CoreString> words;
        for (CoreString const& word : m_highlight_words) {
            CoreString kept;
            for (char c : word.std_string())
                if (c != '*') kept += c;
            if (!kept.is_empty()) words.add(kept);
        }
        m_highlight_words = words;
    }
    // Every row is searched again: a filter change costs the rows times the searched columns.
    m_highlight.clear();
    if (m_highlight_words.is_empty()) return;
    bool any_column = false;
    for (int column = 0; column < get_column_count() && !any_column; ++column)
        any_column = is_highlight_text_enabled(column, -1);
    if (!any_column) return;
    for (unsigned int row = 0; row < m_rows.get_count(); ++row) update_row_highlight(row);
}

void GuiSpreadsheet::update_row_highlight(unsigned int const& row)
{
    // The single word "*" lets every text through the filter but marks nothing.
    if (m_highlight_words.get_count() == 1 && m_highlight_words[0] == "*") {
        m_highlight.set(row, 0);
        return;
    }
    GuiSpreadsheetRow const& r = *m_rows[row];
    uint64_t mask = 0;
    unsigned int const cells = std::min({r.get_cell_count(), mask_column_size, static_cast<unsigned int>(get_column_count())});
    for (unsigned int column = 0; column < cells; ++column) {
        GuiSpreadsheetCell const* cell = r.get_cell(column);
        if (is_highlight_text_enabled(static_cast<int>(column), static_cast<int>(row)) && cell &&
            is_valid_by_text_filter(cell->get_text()))
            mask |= uint64_t(1) << column;
    }
    m_highlight.set(row, mask);
}

void GuiSpreadsheet::set_highlight_text(CoreString const& text, bool const& refresh)
{
    m_highlight_filter_text = text;
    update_highlight_words();
    if (!refresh) return;
    for (GuiSpreadsheetRow* row : m_rows) row->refresh_data();
    redraw();
}

void GuiSpreadsheet::clear_highlight_text()
{
    set_highlight_text(CoreString(), true);
}

void GuiSpreadsheet::enable_case_sensitive_highlight(bool const& on, bool const& refresh)
{
    if (on == m_case_sensitive_highlight) return;
    m_case_sensitive_highlight = on;
    set_highlight_text(m_highlight_filter_text, refresh);
}

bool GuiSpreadsheet::is_valid_by_text_filter(CoreString const& text) const
{
    if (m_highlight_words.is_empty() || (m_highlight_words.get_count() == 1 && m_highlight_words[0] == "*")) return true;
    CoreString const searched = m_case_sensitive_highlight ? text : text.get_lower_case();
    for (CoreString const& word : m_highlight_words)
        if (!searched.contains(word)) return false;
    return true;
}

CoreVector<GMathVec2<unsigned int>> GuiSpreadsheet::get_highlight_spans(CoreString const& text) const
{
    CoreVector<GMathVec2<unsigned int>> spans;
    if (m_highlight_words.is_empty()) return spans;
    // Lower-casing is byte for byte, so offsets in the searched text are offsets in the text.
    CoreString const searched = m_case_sensitive_highlight ? text : text.get_lower_case();
    for (CoreString const& word : m_highlight_words) {
        if (word == "*") continue;
        unsigned int const length = word.get_length();
        for (unsigned int at = searched.find(word); at != CoreString::NOT_FOUND; at = searched.find(word, at + length))
            spans.add(GMathVec2<unsigned int>(at, length));
    }
    return spans;
}

void GuiSpreadsheet::enable_column_highlight_text(int const& column, bool const& enable)
{
    GuiSpreadsheetHeaderData* data = get_data_column(column);
    if (!data) {
        CORE_LOG_WARNING("GuiSpreadsheet.enable_column_highlight_text: no column " << column << "\n");
        return;
    }
    if (data->get_is_highlight_text_enabled() == enable) return;
    data->enabled_highlight_text(enable);
    update_highlight_words();
    redraw();
}

bool GuiSpreadsheet::is_highlight_text_enabled(int const& column, int const&) const
{
    return has_column(column) && m_columns[static_cast<unsigned int>(column) + 1].get_is_highlight_text_enabled();
}

bool GuiSpreadsheet::is_row_highlighted(int const& row) const
{
    return row >= 0 && m_highlight.get(static_cast<unsigned int>(row)) != 0;
}

uint64_t GuiSpreadsheet::get_row_highlight_mask(int const& row) const
{
    return row >= 0 ? m_highlight.get(static_cast<unsigned int>(row)) : 0;
}

bool GuiSpreadsheet::is_cell_highlighted(int const& column, int const& row) const
{
    return (get_row_highlight_mask(row) & column_bit(column)) != 0;
}

void GuiSpreadsheet::set_highlighted_row(int const& row, bool const& highlighted)
{
    if (row < 0 || row >= static_cast<int>(m_rows.get_count())) {
        CORE_LOG_WARNING("GuiSpreadsheet.set_highlighted_row: no row " << row << "\n");
        return;
    }
    if (m_highlight.set(static_cast<unsigned int>(row), highlighted ? get_all_columns_bits() : 0)) redraw();
}

// --- Reordering by drops ---

void GuiSpreadsheet::get_dnd_info(int& column, int& row, bool& after) const
{
    column = m_drop_column;
    row = m_drop_row;
    after = m_drop_after;
}

void GuiSpreadsheet::set_dnd_info(int const& column, int const& row, bool const& after)
{
    bool const valid = row >= 0 && row < static_cast<int>(m_rows.get_count());
    m_drop_column = valid ? column : -1;
    m_drop_row = valid ? row : -1;
    m_drop_after = valid && after;
    redraw();
}

CoreVector<unsigned int> GuiSpreadsheet::fill_permute_rows(int const& mode, CoreVector<unsigned int> const& moved,
                                                           unsigned int const& row_count, int const& target,
                                                           bool const& after)
{
    CoreVector<unsigned int> order;
    if (mode != DND_MODE_REORDER) return order;
    std::vector<bool> is_moved(row_count, false);
    CoreVector<unsigned int> kept_moved;
    for (unsigned int row : moved)
        if (row < row_count && !is_moved[row]) {
            is_moved[row] = true;
            kept_moved.add(row);
        }
    // The moved rows go in before row k.
    unsigned int const k = target < 0 ? row_count : static_cast<unsigned int>(target) + (after ? 1 : 0);
    order.reserve(row_count);
    bool placed = false;
    for (unsigned int row = 0; row < row_count; ++row) {
        if (row == k && !placed) {
            order.add(kept_moved);
            placed = true;
        }
        if (!is_moved[row]) order.add(row);
    }
    if (!placed) order.add(kept_moved);
    return order;
}

void GuiSpreadsheet::fill_permute_rows()
{
    CoreVector<unsigned int> moved;
    if (m_preselection_row >= 0 && !is_row_selected(m_preselection_row))
        moved.add(static_cast<unsigned int>(m_preselection_row));
    else
        moved = m_selection.get_ordered_rows();
    m_permute_rows = fill_permute_rows(m_dnd_mode, moved, m_rows.get_count(), m_drop_row, m_drop_after);
    redraw();
}

int GuiSpreadsheet::process_dnd_event(CoreString const& name)
{
    if (name == EVT_ID_DND_ENTER) {
        if (m_dnd_mode == DND_MODE_NONE || !is_valid_dnd_data()) {
            CORE_LOG_WARNING("GuiSpreadsheet.process_event: the sheet does not take this drop\n");
            return 0;
        }
        return 1;
    }
    if (name == EVT_ID_DND_DRAG) {
        bool after = false;
        int const my = get_y() + Gui::get_relative_mouse_y(*this);
        int row = get_row_at(my, &after);
        int const entry = get_entry_at(get_x() + Gui::get_relative_mouse_x(*this));
        // Below the last row, in the body: after the last row.
        if (row < 0 && my >= get_body_y() && my < get_body_y() + get_body_height() && get_visible_row_count() > 0) {
            row = get_visible_row(get_visible_row_count() - 1);
            after = true;
        }
        if (row >= 0)
            set_dnd_info(entry >= 1 ? entry - 1 : -1, row, after);
        else
            set_dnd_info(-1, -1, false);
        return 1;
    }
    if (name == EVT_ID_DND_RELEASE && m_drop_row >= 0) {
        fill_permute_rows();
        // Owners take the drop from here (reorder: apply_permute_rows).
        raise_event(EVT_ID_DND_RELEASE);
    }
    set_dnd_info(-1, -1, false);
    return 1;
}

bool GuiSpreadsheet::do_initiate_dnd_event()
{
    // A reorder drags the sheet's own rows; other modes leave the drag to the owner.
    if (m_dnd_mode != DND_MODE_REORDER) return false;
    return initiate_dnd_event(static_cast<CoreBaseObject*>(this));
}

bool GuiSpreadsheet::is_valid_dnd_data() const
{
    // Rows are reordered only within their own sheet.
    if (m_dnd_mode == DND_MODE_REORDER && get_dnd_widget() != this) return false;
    if (!m_read_only) return true;
    int const entry = get_entry_at(get_x() + Gui::get_relative_mouse_x(*this));
    return !(entry >= 1 && m_columns[static_cast<unsigned int>(entry)].is_can_read_only());
}

// --- Clicks ---

bool GuiSpreadsheet::on_cell_click(GuiSpreadsheetCell* cell, int const& column, int const&, bool const& press)
{
    if (!cell || cell->get_is_locked()) return false;
    if (m_read_only && has_column(column) && m_columns[static_cast<unsigned int>(column) + 1].is_can_read_only())
        return false;
    return cell->on_click(press);
}

bool GuiSpreadsheet::on_cell_double_click(GuiSpreadsheetCell* cell, int const& column, int const&)
{
    if (!cell || cell->get_is_locked()) return false;
    if (m_read_only && has_column(column) && m_columns[static_cast<unsigned int>(column) + 1].is_can_read_only())
        return false;
    return cell->on_double_click();
}

// --- Events ---

void GuiSpreadsheet::show()
{
    m_preselection_column = m_preselection_row = -1;
    GuiWidget::show();
}

void GuiSpreadsheet::resize(int const& x, int const& y, int const& w, int const& h)
{
    GuiWidget::resize(x, y, w, h);
    refresh_layout();
}

void GuiSpreadsheet::widget_update()
{
    update_rows_visibility();
    refresh_layout();
}

int GuiSpreadsheet::process_key_event(CoreString const&)
{
    int const key = Gui::get_last_key_pressed();
    bool const ctrl = Gui::is_modifier_ctrl(), shift = Gui::is_modifier_shift(), alt = Gui::is_modifier_alt();
    if (m_focus_by_key && !ctrl && !shift && !alt && key >= 'a' && key <= 'z') {
        int const row = find_row_by_key(static_cast<char>(key));
        if (row >= 0) move_cursor_by_key(0, row, false);
        return 1;
    }
    if (ctrl && !alt && key == 'c' && m_copy_to_clipboard) {
        copy_selection_to_clipboard();
        return 1;
    }
    // The text arrives through paste(), at once when this process owns the clipboard.
    if (ctrl && !alt && key == 'v' && !m_read_only) {
        if (!Gui::paste_from_clipboard()) CORE_LOG_WARNING("GuiSpreadsheet.process_key_event: nothing to paste into\n");
        return 1;
    }
    if (ctrl && !alt && key == 'a' && m_multi_selection) {
        select_all();
        return 1;
    }
    if (key == Gui::KEY_ID_ESCAPE) {
        SELECTION_BATCH;
        unselect_all(false);
        set_cursor_position(-1, -1);
        return 1;
    }
    if (ctrl || alt) return 0;
    switch (key) {
        case Gui::KEY_ID_UP:
        case Gui::KEY_ID_DOWN:
        case Gui::KEY_ID_HOME:
        case Gui::KEY_ID_END:
        case Gui::KEY_ID_PAGE_UP:
        case Gui::KEY_ID_PAGE_DOWN:
        case Gui::KEY_ID_LEFT:
        case Gui::KEY_ID_RIGHT: break;
        default: return 0;
    }
    int column = -1, row = -1;
    if (get_navigation_target(key, column, row)) move_cursor_by_key(std::max(column, 0), std::max(row, 0), shift);
    return 1;
}

void GuiSpreadsheet::move_cursor_by_key(int const& column, int const& row, bool const& shift)
{
    SELECTION_BATCH;
    unselect_all(false);
    if (shift && m_anchor_row >= 0 && m_multi_selection) {
        m_paint_value = true;
        do_multiselection(column, row);
    }
    set_cursor_position(column, row);
    // A cursor that stays put keeps its cell selected.
    GuiSpreadsheetCell* cell = get_cell(column, row);
    if (cell && cell->is_selectable(true)) set_cell_selected(column, row, true);
    refresh_multi_cell_selected();
}

bool GuiSpreadsheet::get_navigation_target(int const& key, int& column, int& row)
{
    update_rows_visibility();
    unsigned int const count = get_visible_row_count();
    if (count == 0) return false;
    column = m_cursor_column;
    row = m_cursor_row;
    bool const has_row = row >= 0 && row < static_cast<int>(m_rows.get_count());
    int const position = has_row && is_row_visible(row) ? static_cast<int>(get_visible_position(static_cast<unsigned int>(row))) : -1;
    int const last = static_cast<int>(count) - 1;
    // A one-column tree (or one selected by whole rows) spends Left and Right on its branches.
    bool const tree_keys = m_tree_mode && (get_column_count() == 1 || m_full_row_select);
    switch (key) {
        case Gui::KEY_ID_UP:
            if (position > 0) row = get_visible_row(static_cast<unsigned int>(position - 1));
            return true;
        case Gui::KEY_ID_DOWN: row = get_visible_row(static_cast<unsigned int>(std::min(position + 1, last))); return true;
        case Gui::KEY_ID_HOME: row = get_visible_row(0); return true;
        case Gui::KEY_ID_END: row = get_visible_row(static_cast<unsigned int>(last)); return true;
        case Gui::KEY_ID_PAGE_UP: row = get_previous_page_row_position(row); return true;
        case Gui::KEY_ID_PAGE_DOWN: row = get_next_page_row_position(row); return true;
        default: break;
    }
    if (tree_keys) {
        if (!has_row) return false;
        GuiSpreadsheetRow const& current = *m_rows[static_cast<unsigned int>(row)];
        if (key == Gui::KEY_ID_LEFT) {
            if (current.is_show_children()) {
                toggle_show_children(static_cast<unsigned int>(row), false);
                return false;
            }
            if (current.get_parent_index() < 0) return false;
            row = current.get_parent_index();
            return true;
        }
        if (current.has_children() && !current.is_show_children()) toggle_show_children(static_cast<unsigned int>(row), true);
        return false;
    }
    // Hidden columns are stepped over; Right stops at the last column shown.
    int const step = key == Gui::KEY_ID_LEFT ? -1 : 1;
    for (int c = column + step; c >= 0 && c < get_column_count(); c += step) {
        if (!is_column_hidden(c)) {
            column = c;
            break;
        }
    }
    return true;
}

int GuiSpreadsheet::get_next_page_row_position(int const& row) const
{
    ensure_rows_visibility();
    unsigned int const count = get_visible_row_count();
    if (count == 0) return -1;
    unsigned int const start = row < 0 ? 0 : std::min(get_visible_position(static_cast<unsigned int>(row)), count - 1);
    int const body = get_body_height();
    int sum = get_row_pitch(static_cast<unsigned int>(get_visible_row(start)));
    unsigned int target = start;
    for (unsigned int position = start + 1; position < count; ++position) {
        int const pitch = get_row_pitch(static_cast<unsigned int>(get_visible_row(position)));
        if (sum + pitch > body && position > start + 1) break;
        sum += pitch;
        target = position;
    }
    return get_visible_row(target);
}

int GuiSpreadsheet::get_previous_page_row_position(int const& row) const
{
    ensure_rows_visibility();
    unsigned int const count = get_visible_row_count();
    if (count == 0) return -1;
    unsigned int const start = row < 0 ? 0 : std::min(get_visible_position(static_cast<unsigned int>(row)), count - 1);
    int const body = get_body_height();
    int sum = get_row_pitch(static_cast<unsigned int>(get_visible_row(start)));
    unsigned int target = start;
    for (unsigned int position = start; position-- > 0;) {
        int const pitch = get_row_pitch(static_cast<unsigned int>(get_visible_row(position)));
        if (sum + pitch > body && position + 1 < start) break;
        sum += pitch;
        target = position;
    }
    return get_visible_row(target);
}

int GuiSpreadsheet::find_row_by_key(char const& letter) const
{
    // With several cells selected, the search goes on after the selection, wrapping to the top.
    bool const after_selection = m_selection.count_bits(2) > 1;
    bool passed_selection = false;
    int first = -1;
    for (unsigned int r = 0; r < m_rows.get_count(); ++r) {
        GuiSpreadsheetRow const& row = *m_rows[r];
        if (row.is_hidden()) continue;
        GuiSpreadsheetCell const* cell = row.get_cell(m_key_focus_column);
        if (cell) {
            CoreString const text = cell->get_text();
            if (!text.is_empty() && std::tolower(static_cast<unsigned char>(text[0])) == letter) {
                if (!after_selection || passed_selection) return static_cast<int>(r);
                if (first < 0) first = static_cast<int>(r);
            }
        }
        if (m_selection.get(r) != 0) passed_selection = true;
    }
    return first;
}

int GuiSpreadsheet::process_event(CoreString const& name)
{
    if (name == EVT_ID_WIDGET_FOCUS_IN || name == EVT_ID_WIDGET_FOCUS_OUT || name == EVT_ID_WIDGET_FOCUS_LOOSE) {
        redraw();
        return GuiWidget::process_event(name);
    }
    if (!is_enabled()) return GuiWidget::process_event(name);
    if (name == EVT_ID_DND_ENTER || name == EVT_ID_DND_DRAG || name == EVT_ID_DND_LEAVE || name == EVT_ID_DND_RELEASE)
        return process_dnd_event(name);
    if (name == EVT_ID_MOUSE_DOWN && Gui::get_event_mouse_button() == Gui::MOUSE_BUTTON_ID_LEFT) {
        on_mouse_down();
        return 1;
    }
    if (name == EVT_ID_MOUSE_DRAG && (m_mouse_pressed || m_column_resizing)) {
        on_mouse_drag();
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP && (m_mouse_pressed || m_column_resizing)) {
        on_mouse_up();
        return 1;
    }
    if (name == EVT_ID_MOUSE_MOVE) {
        int const mx = get_x() + Gui::get_relative_mouse_x(*this);
        int const my = get_y() + Gui::get_relative_mouse_y(*this);
        int const title_y = get_y() + get_toolbar_height();
        bool const over_title = m_show_header_column && my >= title_y && my < title_y + get_title_strip_height();
        if (!m_column_resizing)
            set_mouse_cursor(over_title && get_resize_handle_at(mx) >= 0 ? Gui::MOUSE_CURSOR_WE
                                                                         : Gui::MOUSE_CURSOR_DEFAULT);
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_MOUSE_WHEEL && m_vertical_scrollbar->is_shown() && !is_editing()) {
        on_wheel();
        return 1;
    }
    if (name == EVT_ID_KEY_DOWN || name == EVT_ID_KEY_SHORTCUT) {
        if (m_column_resizing && Gui::get_last_key_pressed() == Gui::KEY_ID_ESCAPE) {
            cancel_column_resize();
            return 1;
        }
        if (int const handled = process_key_event(name)) return handled;
    }
    return GuiWidget::process_event(name);
}

void GuiSpreadsheet::on_wheel()
{
    int const dy = Gui::get_wheel_dy();
    if (dy == 0) return;
    // Three shown rows a turn, whatever the size of the step.
    int const position = static_cast<int>(get_visible_position(static_cast<unsigned int>(m_row_offset_index)));
    int const last = static_cast<int>(get_visible_row_count()) - 1;
    int const row = get_visible_row(static_cast<unsigned int>(std::clamp(position + (dy > 0 ? 3 : -3), 0, std::max(0, last))));
    if (row >= 0) set_row_offset_index(row);
}

void GuiSpreadsheet::on_mouse_down()
{
    int const mx = get_x() + Gui::get_relative_mouse_x(*this);
    int const my = get_y() + Gui::get_relative_mouse_y(*this);
    int const title_y = get_y() + get_toolbar_height();
    bool const over_title = m_show_header_column && my >= title_y && my < title_y + get_title_strip_height();
    int const entry = get_entry_at(mx);
    bool const over_row_strip = m_show_header_row && entry == 0 && my >= title_y;
    int const column = entry >= 1 ? entry - 1 : -1;
    int const row = over_title ? -1 : get_row_at(my);
    int const handle = over_title ? get_resize_handle_at(mx) : -1;
    bool const ctrl = Gui::is_modifier_ctrl(), shift = Gui::is_modifier_shift();
    bool const double_click = Gui::is_double_click();

    if (m_column_sort_enabled && over_title && handle < 0 && has_column(column)) {
        set_sort_type(get_column_sort_type(column));
        return;
    }
    if (double_click && handle >= 0) {
        autofit_column(static_cast<unsigned int>(handle));
        return;
    }
    m_paint_value = true;
    set_focus();
    m_press_x = mx;
    m_press_y = my;
    m_clicked_column = column;
    m_clicked_row = row;

    if (over_title || over_row_strip) {
        SELECTION_BATCH;
        if (handle >= 0) {
            start_column_resize(handle, mx, shift);
            return;
        }
        if (over_title && entry == 0) {
            select_all();
            return;
        }
        if (over_row_strip && row >= 0) {
            if (!ctrl) {
                unselect_all(false);
                m_preselection_column = m_preselection_row = -1;
            }
            if (m_multi_selection) {
                uint64_t const bits = get_all_columns_bits();
                uint64_t const mask = m_selection.get(static_cast<unsigned int>(row)) & bits;
                m_paint_value = (mask != 0 && mask != bits) ? true : mask == 0;
                paint_row_bits(static_cast<unsigned int>(row), bits, m_paint_value);
                m_header_drag = HEADER_DRAG_ROWS;
                m_mouse_pressed = true;
            }
            set_cursor_position(0, row);
            m_anchor_column = 0;
            m_anchor_row = row;
            refresh_multi_cell_selected();
            return;
        }
        if (over_title && has_column(column) && !m_full_row_select) {
            if (!ctrl) unselect_all(false);
            if (m_multi_selection) {
                uint64_t const bit = column_bit(column);
                bool any = false, all = true;
                for (unsigned int r = 0; r < m_rows.get_count(); ++r) {
                    bool const on = (m_selection.get(r) & bit) != 0;
                    any = any || on;
                    all = all && on;
                }
                m_paint_value = (any && !all) ? true : !any;
                for (unsigned int r = 0; r < m_rows.get_count(); ++r) paint_row_bits(r, bit, m_paint_value);
                m_header_drag = HEADER_DRAG_COLUMNS;
                m_mouse_pressed = true;
            }
            if (!m_rows.is_empty()) set_cursor_position(column, 0);
            m_anchor_column = column;
            m_anchor_row = 0;
            refresh_multi_cell_selected();
        }
        return;
    }
    GuiSpreadsheetCell* cell = get_cell(column, row);
    if (!cell || column >= get_column_count()) {
        GuiWidget::process_event(EVT_ID_MOUSE_DOWN);
        return;
    }
    m_mouse_pressed = true;
    if (m_tree_mode && column == m_tree_column_index && m_rows[static_cast<unsigned int>(row)]->has_children()) {
        int const toggle_x = get_tree_toggle_x(static_cast<unsigned int>(row));
        if (mx > toggle_x && mx < toggle_x + TREE_INDENT)
            toggle_show_children(static_cast<unsigned int>(row), !m_rows[static_cast<unsigned int>(row)]->is_show_children());
    }
    if (m_preselection && !double_click) {
        if (cell->is_selectable(true)) {
            m_preselection_column = column;
            m_preselection_row = row;
            redraw();
        }
        return;
    }
    select_pressed_cell(cell, column, row, ctrl, shift);
    bool consumed = false;
    if (double_click) consumed = on_cell_double_click(cell, column, row);
    if (!consumed) consumed = on_cell_click(cell, column, row, true);
    if (!consumed) raise_event(EVT_ID_SPREADSHEET_CLICK);
}

void GuiSpreadsheet::select_pressed_cell(GuiSpreadsheetCell* cell, int const& column, int const& row, bool const& ctrl,
                                         bool const& shift)
{
    SELECTION_BATCH;
    if (shift && m_anchor_row >= 0) {
        if (m_multi_selection) {
            m_paint_value = true;
            do_multiselection(column, row);
        } else {
            unselect_all(false);
            set_cursor_position(column, row);
        }
    } else if (cell->is_selectable(false)) {
        // Asked as a press: a press on a cell's button does not select it.
        if (!ctrl && !(shift && m_multi_selection)) unselect_all(false);
        bool const was = is_cell_selected(column, row);
        if (ctrl) set_cell_selected(column, row, !was);
        m_paint_value = ctrl ? !was : true;
        if (!ctrl) set_cell_selected(column, row, true);
        set_cursor_position(column, row);
        refresh_multi_cell_selected();
    }
}

void GuiSpreadsheet::on_mouse_drag()
{
    int const mx = get_x() + Gui::get_relative_mouse_x(*this);
    int const my = get_y() + Gui::get_relative_mouse_y(*this);
    if (m_column_resizing) {
        continue_column_resize(mx);
        return;
    }
    if (!m_multiselection_by_drag && m_header_drag == HEADER_DRAG_NONE) {
        if (!m_drag_started && (std::abs(mx - m_press_x) >= DRAG_THRESHOLD || std::abs(my - m_press_y) >= DRAG_THRESHOLD)) {
            m_drag_started = true;
            do_initiate_dnd_event();
            // The drag loop took the release: the press is over.
            if (!Gui::is_mouse_button_pressed()) m_mouse_pressed = m_drag_started = false;
        }
        return;
    }
    if (m_rows.is_empty() || !m_multi_selection) return;
    // Past the body's edges the nearest row and column count.
    int const body_y = get_body_y();
    int const clamped_y = std::clamp(my, body_y, body_y + std::max(0, get_body_height() - 1));
    int row = get_row_at(clamped_y);
    if (row < 0) row = my < body_y ? m_row_offset_index : static_cast<int>(m_rows.get_count()) - 1;
    int entry = get_entry_at(mx);
    if (entry < 1) entry = mx < get_entry_x(1) ? 1 : get_column_count();
    int const column = entry - 1;
    SELECTION_BATCH;
    if (m_header_drag == HEADER_DRAG_ROWS) {
        uint64_t const bits = get_all_columns_bits();
        int const top = std::min(m_anchor_row, row), bottom = std::max(m_anchor_row, row);
        for (int r = top; r <= bottom; ++r)
            if (is_row_selectable_by_range(static_cast<unsigned int>(r)))
                paint_row_bits(static_cast<unsigned int>(r), bits, m_paint_value);
    } else if (m_header_drag == HEADER_DRAG_COLUMNS) {
        uint64_t const bits = column_range_bits(m_anchor_column, column) & get_all_columns_bits();
        for (unsigned int r = 0; r < m_rows.get_count(); ++r) paint_row_bits(r, bits, m_paint_value);
    } else {
        if (!Gui::is_modifier_ctrl()) unselect_all(false);
        select_rectangle(m_anchor_column, m_anchor_row, column, row, m_paint_value);
        focus_on_row(row);
    }
    refresh_multi_cell_selected();
}

void GuiSpreadsheet::on_mouse_up()
{
    int const mx = get_x() + Gui::get_relative_mouse_x(*this);
    int const my = get_y() + Gui::get_relative_mouse_y(*this);
    bool const resized = m_column_resizing;
    if (m_preselection && !resized && !m_drag_started && m_header_drag == HEADER_DRAG_NONE) {
        int const entry = get_entry_at(mx);
        int const row = get_row_at(my);
        GuiSpreadsheetCell* cell = entry >= 1 ? get_cell(entry - 1, row) : nullptr;
        if (!cell) {
            if (entry != 0 && my >= get_body_y()) {
                unselect_all(true);
                reset_cursor_position();
            }
        } else if (cell->is_selectable(false)) {
            int const column = entry - 1;
            select_pressed_cell(cell, column, row, Gui::is_modifier_ctrl(), Gui::is_modifier_shift());
            if (!on_cell_click(cell, column, row, false)) raise_event(EVT_ID_SPREADSHEET_CLICK);
        } else if (!on_cell_click(cell, entry - 1, row, false)) {
            raise_event(EVT_ID_SPREADSHEET_CLICK);
        }
        refresh_multi_cell_selected();
    }
    if (resized) end_column_resize();
    m_mouse_pressed = false;
    m_drag_started = false;
    m_header_drag = HEADER_DRAG_NONE;
    // An edit opened by the press still works on its cell.
    if (!is_editing()) m_preselection_column = m_preselection_row = -1;
    redraw();
}

// --- Drawing ---

GMathVec3<unsigned char> GuiSpreadsheet::get_row_background(unsigned int const& row, unsigned int const& position) const
{
    GMathVec3<unsigned char> color = get_color(GuiColorScheme::ROLE_ROW_EVEN);
    if (m_shaded && (position & 1)) {
        // Alternate shown rows are brightened rather than given a colour of their own.
        for (int c = 0; c < 3; ++c) color[c] = static_cast<unsigned char>(std::min(255.0, color[c] * 1.115));
    }
    if (m_highlight.get(row)) {
        GMathVec3<unsigned char> const& mark = get_color(GuiColorScheme::ROLE_SELECTION);
        for (int c = 0; c < 3; ++c) color[c] = static_cast<unsigned char>(0.85 * color[c] + 0.15 * mark[c]);
    }
    return color;
}

void GuiSpreadsheet::draw_tree_toggle(GuiWidgetDc& dc, unsigned int const& row, int const& y, int const& height,
                                      bool const& selected)
{
    GuiSpreadsheetRow const& r = *m_rows[row];
    // The scheme's text colour, dimmed, or the selected text's colour on selected rows.
    GMathVec3<unsigned char> color = get_color(selected ? GuiColorScheme::ROLE_TEXT_SELECTED : GuiColorScheme::ROLE_TEXT);
    if (!selected)
        for (int c = 0; c < 3; ++c) color[c] = static_cast<unsigned char>(0.65 * color[c]);
    int const cx = get_tree_toggle_x(row) + TREE_INDENT / 2, cy = y + height / 2;
    if (r.is_show_children())
        dc.draw_trianglef(cx - 4, cy - 2, cx + 4, cy - 2, cx, cy + 3, color[0], color[1], color[2]);
    else
        dc.draw_trianglef(cx - 2, cy - 4, cx - 2, cy + 4, cx + 3, cy, color[0], color[1], color[2]);
}

void GuiSpreadsheet::draw_title_strip(GuiWidgetDc& dc, int const& first_entry, int const& last_entry)
{
    int const x = get_x(), w = get_width();
    int const y = get_y() + get_toolbar_height(), h = get_title_strip_height();
    GMathVec3<unsigned char> const& background = get_color(GuiColorScheme::ROLE_HEADER);
    GMathVec3<unsigned char> const& line = get_color(GuiColorScheme::ROLE_GRID_LINE);
    bool const disabled = !is_enabled() || (m_read_only && m_read_only_titles_disabled);
    GMathVec3<unsigned char> const& text = dc.get_color(disabled ? GuiColorScheme::GROUP_DISABLED : GuiColorScheme::GROUP_NORMAL,
                                                        GuiColorScheme::ROLE_HEADER_TEXT);
    dc.draw_rectf(x, y, w, h, background[0], background[1], background[2]);
    int const strip = get_entry_width(0);
    push_clip(x + strip, y, std::max(0, w - strip), h);
    for (int entry = first_entry; entry <= last_entry; ++entry) {
        unsigned int const e = static_cast<unsigned int>(entry);
        int const ex = get_entry_x(e), ew = get_entry_width(e);
        if (ew <= 0) continue;
        GuiSpreadsheetHeaderData const& data = m_columns[e];
        int const indicator = get_sort_indicator(e);
        int const arrow = indicator != 0 ? 10 : 0;
        dc.draw_text(data.get_title(), ex + m_padding_x, y, ew - 2 * m_padding_x - arrow, h, text[0], text[1], text[2],
                     GuiWidget::JUSTIFY_LEFT);
        if (indicator != 0) {
            int const ax = ex + ew - 12, ay = y + h / 2;
            if (indicator > 0)
                dc.draw_trianglef(ax, ay + 2, ax + 8, ay + 2, ax + 4, ay - 3, text[0], text[1], text[2]);
            else
                dc.draw_trianglef(ax, ay - 2, ax + 8, ay - 2, ax + 4, ay + 3, text[0], text[1], text[2]);
        }
        dc.draw_line(ex - 1, y, ex - 1, y + h - 1, line[0], line[1], line[2]);
    }
    pop_clip();
    dc.draw_line(x, y + h - 1, x + w - 1, y + h - 1, line[0], line[1], line[2]);
}

void GuiSpreadsheet::draw(GuiDc& dc)
{
    GuiWidget::draw(dc);
    update_rows_visibility();
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), w = get_width();
    int const body_y = get_body_y(), body_h = get_body_height();
    int const vbar = m_vertical_scrollbar->is_shown() ? SCROLLBAR_SIZE : 0;
    int const body_w = w - vbar;
    if (body_w <= 0) return;
    GMathVec3<unsigned char> const& body_color = get_color(GuiColorScheme::ROLE_BACKGROUND_DARK);
    GMathVec3<unsigned char> const& grid = get_color(GuiColorScheme::ROLE_GRID_LINE);
    GMathVec3<unsigned char> const& header = get_color(GuiColorScheme::ROLE_HEADER);
    GMathVec3<unsigned char> const& header_text = get_color(GuiColorScheme::ROLE_HEADER_TEXT);
    wdc.draw_rectf(x, body_y, body_w, std::max(0, body_h), body_color[0], body_color[1], body_color[2]);

    // The entries on screen, with their x once for all rows.
    int const strip = get_entry_width(0);
    int const data_left = x + strip;
    int const right = x + body_w;
    int first_entry = -1, last_entry = -1;
    std::vector<int> entry_x(m_columns.get_count(), 0);
    for (unsigned int e = 1; e < m_columns.get_count(); ++e) {
        entry_x[e] = get_entry_x(e);
        int const ew = get_entry_width(e);
        if (ew <= 0 || entry_x[e] + ew < data_left || entry_x[e] >= right) continue;
        if (first_entry < 0) first_entry = static_cast<int>(e);
        last_entry = static_cast<int>(e);
    }
    if (m_show_header_column) draw_title_strip(wdc, first_entry < 0 ? 1 : first_entry, last_entry);

    GuiSpreadsheetDrawContext& context = *m_draw_context;
    context.m_text_color = get_color(GuiColorScheme::ROLE_TEXT);
    int const bottom = body_y + body_h;
    unsigned int const shown = get_visible_row_count();
    unsigned int const first_position = get_visible_position(static_cast<unsigned int>(m_row_offset_index));
    unsigned int const first_y = get_position_y(first_position);
    int last_row_bottom = body_y;
    push_clip(x, body_y, body_w, std::max(0, body_h));
    for (unsigned int position = first_position; position < shown; ++position) {
        int const row = get_visible_row(position);
        unsigned int const r = static_cast<unsigned int>(row);
        int const ry = body_y + static_cast<int>(get_position_y(position) - first_y);
        if (ry >= bottom) break;
        int const inner = get_row_inner_height(r);
        GuiSpreadsheetRow& sheet_row = *m_rows[r];
        sheet_row.pre_draw(row);
        GMathVec3<unsigned char> const background = get_row_background(r, position);
        wdc.draw_rectf(data_left, ry, std::max(0, right - data_left), inner, background[0], background[1], background[2]);
        uint64_t const mask = m_selection.get(r);
        uint64_t const highlight = m_highlight.get(r);
        context.m_row_background = background;
        context.m_row_selected = mask != 0;
        context.m_row_highlighted = highlight != 0;
        push_clip(data_left, body_y, std::max(0, right - data_left), std::max(0, body_h));
        for (int entry = first_entry; entry >= 1 && entry <= last_entry; ++entry) {
            unsigned int const e = static_cast<unsigned int>(entry);
            int const column = entry - 1;
            GuiSpreadsheetCell* cell = sheet_row.get_cell(static_cast<unsigned int>(column));
            int const ew = get_entry_width(e);
            if (!cell || ew <= 0) continue;
            context.m_cell_rect = GMathVec4<int>(entry_x[e] + m_padding_x, ry + m_padding_y, ew - 2 * m_padding_x,
                                                 inner - 2 * m_padding_y);
            context.m_content_rect = context.m_cell_rect;
            if (m_tree_mode && column == m_tree_column_index) {
                int const indent = std::min(get_tree_indent(r), std::max(0, context.m_content_rect[2]));
                context.m_content_rect[0] += indent;
                context.m_content_rect[2] -= indent;
            }
            context.m_cell_selected = (mask & column_bit(column)) != 0;
            context.m_cursor = column == m_cursor_column && row == m_cursor_row;
            context.m_read_only = cell->get_is_read_only() || (m_read_only && m_columns[e].is_can_read_only());
            context.m_highlight_enabled = is_highlight_text_enabled(column, row);
            cell->draw(context);
            if (m_tree_mode && column == m_tree_column_index && sheet_row.has_children())
                draw_tree_toggle(wdc, r, ry, inner, context.m_cell_selected);
        }
        pop_clip();
        if (m_show_horizontal_grid)
            wdc.draw_line(data_left, ry + inner, right - 1, ry + inner, grid[0], grid[1], grid[2]);
        if (strip > 0) {
            wdc.draw_rectf(x, ry, strip, inner + (m_show_horizontal_grid ? 1 : 0), header[0], header[1], header[2]);
            CoreString number;
            number += row + m_row_index_display_start_offset;
            wdc.draw_text(number, x, ry, strip - 4, inner, header_text[0], header_text[1], header_text[2],
                          GuiWidget::JUSTIFY_RIGHT);
        }
        last_row_bottom = ry + get_row_pitch(r);
    }
    // Frames around the cursor and the pressed cell while selection waits for the release.
    if (m_preselection && !m_full_row_select) {
        auto frame = [&](int column, int row, GuiColorScheme::Role role) {
            int const cy = get_cell_pos_y(row);
            if (!has_column(column) || cy < 0 || cy >= bottom) return;
            unsigned int const e = static_cast<unsigned int>(column) + 1;
            GMathVec3<unsigned char> const& color = get_color(role);
            int const ch = get_row_inner_height(static_cast<unsigned int>(row));
            wdc.draw_rect(entry_x[e], cy, get_entry_width(e), ch, color[0], color[1], color[2]);
            if (m_multi_cell_selected)
                wdc.draw_rect(entry_x[e] + 1, cy + 1, get_entry_width(e) - 2, ch - 2, color[0], color[1], color[2]);
        };
        if (m_show_cursor && has_focus()) frame(m_cursor_column, m_cursor_row, GuiColorScheme::ROLE_FOCUS);
        frame(m_preselection_column, m_preselection_row, GuiColorScheme::ROLE_ACCENT);
    }
    if (m_show_vertical_grid) {
        for (int entry = first_entry; entry >= 1 && entry <= last_entry; ++entry) {
            unsigned int const e = static_cast<unsigned int>(entry);
            if (get_entry_width(e) <= 0) continue;
            int const lx = entry_x[e] + get_entry_width(e);
            wdc.draw_line(lx, body_y, lx, std::min(bottom, last_row_bottom) - 1, grid[0], grid[1], grid[2]);
        }
        if (strip > 0) wdc.draw_line(x + strip, body_y, x + strip, bottom - 1, grid[0], grid[1], grid[2]);
    }
    draw_drop_target(wdc, data_left, right);
    pop_clip();
}

void GuiSpreadsheet::draw_drop_target(GuiWidgetDc& dc, int const& left, int const& right) const
{
    if (m_drop_row < 0) return;
    int const y = get_cell_pos_y(m_drop_row);
    if (y < 0) return;
    GMathVec3<unsigned char> const& color = get_color(GuiColorScheme::ROLE_ACCENT);
    int const h = get_row_inner_height(static_cast<unsigned int>(m_drop_row));
    if (m_dnd_mode == DND_MODE_REORDER) {
        // A bar on the edge the rows go to.
        int const bar_y = m_drop_after ? y + h - 1 : y - 1;
        dc.draw_rectf(left, bar_y, right - left, 2, color[0], color[1], color[2]);
    } else if (m_dnd_mode == DND_MODE_REPARENT || !has_column(m_drop_column)) {
        dc.draw_rect(left, y, right - left, h, color[0], color[1], color[2]);
    } else {
        dc.draw_rect(get_cell_pos_x(m_drop_column), y, get_cell_width(m_drop_column), h, color[0], color[1], color[2]);
    }
}

size_t GuiSpreadsheet::get_memory_size() const
{
    size_t size = GuiWidget::get_memory_size() + sizeof(GuiSpreadsheet) - sizeof(GuiWidget);
    size += m_rows.std_vector().capacity() * sizeof(GuiSpreadsheetRow*);
    size += m_row_y_positions.std_vector().capacity() * sizeof(uint32_t);
    size += m_columns.get_count() * sizeof(GuiSpreadsheetHeaderData);
    size += m_selection.get_memory_size();
    for (GuiSpreadsheetRow* row : m_rows) size += row->get_memory_size();
    return size;
}
