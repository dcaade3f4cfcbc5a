#include "gui/controls/gui_grid.h"

#include <algorithm>
#include <cmath>

#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_GRID_COLUMN_RESIZED);
EVENT_DEFINE_ID(EVT_ID_GRID_ROW_RESIZED);

CORE_IMPLEMENT_CLASS(GuiGridBorder, GuiWidget)
CORE_IMPLEMENT_CLASS(GuiGrid, GuiWidget)

namespace {

int round_half_up(double const& value)
{
    return static_cast<int>(std::trunc(value + 0.5));
}

using Role = GuiColorScheme::Role;
using Group = GuiColorScheme::Group;

}  // namespace

// GuiGridBorder -------------------------------------------------------------------------------

GuiGridBorder::GuiGridBorder(GuiGrid& grid, Orientation const& orientation, unsigned int const& index)
    : GuiWidget(grid, 0, 0, 1, 1), m_grid(&grid), m_orientation(orientation), m_index(index)
{
    set_mouse_cursor(orientation == ORIENTATION_ROW ? Gui::MOUSE_CURSOR_NS : Gui::MOUSE_CURSOR_WE);
}

int GuiGridBorder::process_event(CoreString const& name)
{
    if (!is_enabled()) return 0;
    if (name == EVT_ID_MOUSE_DOWN) {
        m_pressed = true;
        m_hovered = false;
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_ENTER || name == EVT_ID_MOUSE_UP) {
        m_hovered = true;
        m_pressed = false;
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_LEAVE) {
        m_hovered = false;
        m_pressed = false;
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_DRAG) {
        // The pointer of the event, in window coordinates.
        int px = 0, py = 0;
        Gui::get_relative_mouse_coords(*this, px, py);
        if (m_orientation == ORIENTATION_ROW) {
            m_grid->resize_row(m_index, py + get_y() - m_grid->get_row_top(m_index));
        } else if (m_grid->get_column_sizable_with_mouse(m_index)) {
            m_grid->resize_column(m_index, px + get_x() - m_grid->get_column_left(m_index));
        }
    }
    return GuiWidget::process_event(name);
}

void GuiGridBorder::draw(GuiDc& dc)
{
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    int const right = x + w - 1, bottom = y + h - 1;
    auto color = [this](int role, int group) {
        return get_color(static_cast<Group>(group), static_cast<Role>(role));
    };
    GMathVec3<unsigned char> fill, light, shadow;
    if (m_hovered) {
        fill = color(2, 2), light = color(1, 2), shadow = color(3, 0);
    } else if (m_pressed) {
        fill = color(18, 0), light = color(3, 0), shadow = color(1, 2);
    } else {
        fill = color(2, 0), light = color(1, 0), shadow = color(3, 0);
    }
    wdc.draw_rectf(GMathVec4<int>(x, y, w, h), fill);
    wdc.draw_line(x, y, right, y, light[0], light[1], light[2]);
    wdc.draw_line(x, y, x, bottom, light[0], light[1], light[2]);
    wdc.draw_line(x, bottom, right, bottom, shadow[0], shadow[1], shadow[2]);
    wdc.draw_line(right, y, right, bottom, shadow[0], shadow[1], shadow[2]);
}

// GuiGrid: construction and counts -------------------------------------------------------------

char const* GuiGrid::get_style_name(Style const& style)
{
    switch (style) {
        case STYLE_BORDER: return "STYLE_BORDER";
        case STYLE_NO_BORDER: return "STYLE_NO_BORDER";
    }
    return "STYLE_UNKNOWN";
}

GuiGrid::GuiGrid(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                 unsigned int const& columns, unsigned int const& rows)
    : GuiWidget(parent, x, y, w, h)
{
    Line first;
    first.ratio = 1.0;
    m_rows.push_back(first);
    m_rows.back().sizable_with_mouse = false;
    m_columns.push_back(first);
    m_cells.assign(1, nullptr);
    set_cell_count(columns, rows);
}

GuiGrid::~GuiGrid()
{
    remove_all_cells();
}

void GuiGrid::destroy_border(Line& line)
{
    if (!line.border) return;
    line.border->destroy();
    line.border = nullptr;
}

void GuiGrid::renumber(std::vector<Line>& lines)
{
    for (unsigned int i = 0; i < lines.size(); ++i) {
        lines[i].index = i;
        if (lines[i].border) lines[i].border->set_index(i);
    }
}

void GuiGrid::set_line_count(std::vector<Line>& lines, unsigned int const& count)
{
    // New lines copy the last one; after every line was removed they share the grid.
    Line model;
    if (!lines.empty()) {
        model = lines.back();
        model.border = nullptr;
    } else {
        model.ratio = 1.0 / count;
    }
    while (lines.size() > count) {
        destroy_border(lines.back());
        lines.pop_back();
    }
    while (lines.size() < count) lines.push_back(model);
    renumber(lines);
}

void GuiGrid::set_cell_count(unsigned int const& columns, unsigned int const& rows)
{
    begin_layout();
    unsigned int const new_columns = std::max(columns, 1u);
    unsigned int const new_rows = std::max(rows, 1u);
    unsigned int const old_columns = get_column_count();
    unsigned int const old_rows = get_row_count();
    if (new_columns == old_columns && new_rows == old_rows) return;
    std::vector<GuiWidget*> cells(static_cast<size_t>(new_columns) * new_rows, nullptr);
    for (unsigned int r = 0; r < std::min(old_rows, new_rows); ++r)
        for (unsigned int c = 0; c < std::min(old_columns, new_columns); ++c)
            cells[static_cast<size_t>(r) * new_columns + c] = m_cells[static_cast<size_t>(r) * old_columns + c];
    m_cells.swap(cells);
    set_line_count(m_rows, new_rows);
    set_line_count(m_columns, new_columns);
    compute_ratios();
    redraw();
}

void GuiGrid::set_column_count(unsigned int const& columns)
{
    set_cell_count(columns, get_row_count());
}

void GuiGrid::set_row_count(unsigned int const& rows)
{
    set_cell_count(get_column_count(), rows);
}

void GuiGrid::add_column()
{
    set_cell_count(get_column_count() + 1, get_row_count());
}

void GuiGrid::add_row()
{
    set_cell_count(get_column_count(), get_row_count() + 1);
}

void GuiGrid::insert_column(unsigned int const& index)
{
    begin_layout();
    unsigned int const columns = get_column_count();
    if (index >= columns) return;
    Line added = m_columns[index];
    added.border = nullptr;
    m_columns.insert(m_columns.begin() + index, added);
    renumber(m_columns);
    std::vector<GuiWidget*> cells;
    for (unsigned int r = 0; r < get_row_count(); ++r)
        for (unsigned int c = 0; c <= columns; ++c)
            cells.push_back(c == index ? nullptr : m_cells[static_cast<size_t>(r) * columns + (c < index ? c : c - 1)]);
    m_cells.swap(cells);
    compute_ratios();
    redraw();
}

void GuiGrid::insert_row(unsigned int const& index)
{
    begin_layout();
    unsigned int const columns = get_column_count();
    if (index >= get_row_count()) return;
    Line added = m_rows[index];
    added.border = nullptr;
    m_rows.insert(m_rows.begin() + index, added);
    renumber(m_rows);
    m_cells.insert(m_cells.begin() + static_cast<long>(index) * columns, columns, nullptr);
    redraw();
}

void GuiGrid::remove_column(unsigned int const& index)
{
    begin_layout();
    unsigned int const columns = get_column_count();
    if (columns <= 1 || index >= columns) return;
    destroy_border(m_columns[index]);
    m_columns.erase(m_columns.begin() + index);
    renumber(m_columns);
    std::vector<GuiWidget*> cells;
    for (unsigned int r = 0; r < get_row_count(); ++r)
        for (unsigned int c = 0; c < columns; ++c)
            if (c != index) cells.push_back(m_cells[static_cast<size_t>(r) * columns + c]);
    m_cells.swap(cells);
    compute_ratios();
    redraw();
}

void GuiGrid::remove_row(unsigned int const& index)
{
    begin_layout();
    unsigned int const columns = get_column_count();
    if (get_row_count() <= 1 || index >= get_row_count()) return;
    destroy_border(m_rows[index]);
    m_rows.erase(m_rows.begin() + index);
    renumber(m_rows);
    auto const first = m_cells.begin() + static_cast<long>(index) * columns;
    m_cells.erase(first, first + columns);
    compute_ratios();
    redraw();
}

void GuiGrid::remove_all_rows()
{
    begin_layout();
    remove_all_widgets();
    m_cells.clear();
    for (Line& line : m_rows) destroy_border(line);
    m_rows.clear();
}

void GuiGrid::remove_all_columns()
{
    begin_layout();
    remove_all_widgets();
    m_cells.clear();
    for (Line& line : m_columns) destroy_border(line);
    m_columns.clear();
}

void GuiGrid::remove_all_cells()
{
    remove_all_rows();
    remove_all_columns();
}

// Widgets ---------------------------------------------------------------------------------------

void GuiGrid::set_widget(GuiWidget& widget, unsigned int const& column, unsigned int const& row)
{
    if (widget.get_parent() != this) {
        CORE_LOG_WARNING("gui.GuiGrid.set_widget: widget is not child of the grid\n");
        return;
    }
    if (column >= get_column_count() || row >= get_row_count()) return;
    settle();
    widget.set_active_constraints(false);
    GuiWidget*& cell = m_cells[static_cast<size_t>(row) * get_column_count() + column];
    if (cell == &widget) {
        CORE_LOG_WARNING("GuiGrid::set_widget: setting the same widget at same location.\n");
        return;
    }
    cell = &widget;
    transform_children();
}

GuiWidget* GuiGrid::get_widget(unsigned int const& column, unsigned int const& row) const
{
    if (column >= get_column_count() || row >= get_row_count()) return nullptr;
    return m_cells[static_cast<size_t>(row) * get_column_count() + column];
}

void GuiGrid::remove_widget(unsigned int const& column, unsigned int const& row)
{
    if (column >= get_column_count() || row >= get_row_count()) return;
    m_cells[static_cast<size_t>(row) * get_column_count() + column] = nullptr;
}

void GuiGrid::remove_all_widgets()
{
    std::fill(m_cells.begin(), m_cells.end(), nullptr);
}

void GuiGrid::on_remove_child(GuiWidget* child)
{
    // Only the first cell holding it: a widget sits in one cell.
    auto const found = std::find(m_cells.begin(), m_cells.end(), child);
    if (found != m_cells.end()) *found = nullptr;
    GuiWidget::on_remove_child(child);
}

// Ratios and sizes --------------------------------------------------------------------------------

void GuiGrid::set_column_ratio(unsigned int const& index, double const& ratio)
{
    if (index >= get_column_count() || !(ratio >= 0.0)) return;
    m_columns[index].ratio = ratio;
    begin_layout();
}

void GuiGrid::set_row_ratio(unsigned int const& index, double const& ratio)
{
    if (index >= get_row_count() || !(ratio >= 0.0)) return;
    m_rows[index].ratio = ratio;
    begin_layout();
}

double GuiGrid::get_column_ratio(unsigned int const& index) const
{
    return index < get_column_count() ? m_columns[index].ratio : 0.0;
}

double GuiGrid::get_row_ratio(unsigned int const& index) const
{
    return index < get_row_count() ? m_rows[index].ratio : 0.0;
}

void GuiGrid::set_cell_ratios(unsigned int const& column, unsigned int const& row, GMathVec2<double> const& ratios)
{
    set_column_ratio(column, ratios[0]);
    set_row_ratio(row, ratios[1]);
}

GMathVec2<double> GuiGrid::get_cell_ratios(unsigned int const& column, unsigned int const& row) const
{
    return GMathVec2<double>(get_column_ratio(column), get_row_ratio(row));
}

void GuiGrid::set_column_width(unsigned int const& index, int const& pixels)
{
    if (index >= get_column_count()) return;
    m_columns[index].size = pixels;
    double const ratio = get_width() > 0 ? static_cast<double>(pixels) / get_width() : -1.0;
    if (ratio >= 0.0) {
        m_columns[index].ratio = ratio;
        begin_layout();
    }
}

void GuiGrid::set_row_height(unsigned int const& index, int const& pixels)
{
    if (index >= get_row_count()) return;
    m_rows[index].size = pixels;
    double const ratio = get_height() > 0 ? static_cast<double>(pixels) / get_height() : -1.0;
    if (ratio >= 0.0) {
        m_rows[index].ratio = ratio;
        begin_layout();
    }
}

void GuiGrid::set_cell_size(unsigned int const& column, unsigned int const& row, GMathVec2<int> const& size)
{
    set_column_width(column, size[0]);
    set_row_height(row, size[1]);
}

void GuiGrid::set_column_sizable(unsigned int const& index, bool const& sizable)
{
    begin_layout();
    if (index < get_column_count()) m_columns[index].sizable = sizable;
}

bool GuiGrid::get_column_sizable(unsigned int const& index) const
{
    return index < get_column_count() && m_columns[index].sizable;
}

void GuiGrid::set_column_sizable_with_mouse(unsigned int const& index, bool const& sizable)
{
    if (index < get_column_count()) m_columns[index].sizable_with_mouse = sizable;
}

bool GuiGrid::get_column_sizable_with_mouse(unsigned int const& index) const
{
    return index < get_column_count() && m_columns[index].sizable_with_mouse;
}

void GuiGrid::set_row_sizable(unsigned int const& index, bool const& sizable)
{
    begin_layout();
    if (index < get_row_count()) m_rows[index].sizable = sizable;
}

bool GuiGrid::get_row_sizable(unsigned int const& index) const
{
    return index < get_row_count() && m_rows[index].sizable;
}

bool GuiGrid::rescale_line(std::vector<Line>& lines, unsigned int const& index, double const& ratio)
{
    settle();
    if (!(ratio >= 0.0) || index >= lines.size() || lines.size() < 2) return false;
    unsigned int const neighbour = index + 1 < lines.size() ? index + 1 : index - 1;
    double const total = lines[index].ratio + lines[neighbour].ratio;
    lines[index].ratio = std::min(ratio, total);
    lines[neighbour].ratio = total - lines[index].ratio;
    compute_ratios();
    redraw();
    return true;
}

void GuiGrid::rescale_column(unsigned int const& index, double const& ratio)
{
    if (rescale_line(m_columns, index, ratio)) raise_event(EVT_ID_GRID_COLUMN_RESIZED);
}

void GuiGrid::rescale_row(unsigned int const& index, double const& ratio)
{
    if (rescale_line(m_rows, index, ratio)) raise_event(EVT_ID_GRID_ROW_RESIZED);
}

void GuiGrid::rescale_cell(unsigned int const& index, double const& column_ratio, double const& row_ratio)
{
    rescale_column(index, column_ratio);
    rescale_row(index, row_ratio);
}

void GuiGrid::resize_column(unsigned int const& index, int const& pixels)
{
    if (index >= get_column_count() || get_width() <= 0) return;
    if (!m_columns[index].sizable) m_columns[index].size = pixels;
    rescale_column(index, static_cast<double>(pixels) / get_width());
}

void GuiGrid::resize_row(unsigned int const& index, int const& pixels)
{
    if (index >= get_row_count() || get_height() <= 0) return;
    if (!m_rows[index].sizable) m_rows[index].size = pixels;
    rescale_row(index, static_cast<double>(pixels) / get_height());
}

void GuiGrid::resize_cell(unsigned int const& index, int const& w, int const& h)
{
    resize_column(index, w);
    resize_row(index, h);
}

// Layout ----------------------------------------------------------------------------------------

void GuiGrid::settle()
{
    if (!m_layout_pending && !m_has_fixed_columns) return;
    compute_ratios();
    m_layout_pending = false;
}

void GuiGrid::end_layout()
{
    settle();
}

bool GuiGrid::compute_line_ratios(std::vector<Line>& lines, double const& extent, unsigned int& fixed)
{
    bool has_fixed = false;
    double fixed_pixels = 0.0;
    double sizable_sum = 0.0;
    for (Line const& line : lines) {
        if (line.sizable) {
            sizable_sum += line.ratio;
        } else {
            has_fixed = true;
            fixed_pixels += line.size;
        }
    }
    if (has_fixed && extent > 0.0 && fixed_pixels <= extent) {
        double fixed_ratio = 0.0;
        for (Line& line : lines)
            if (!line.sizable) {
                line.ratio = line.size > 0 ? line.size / extent : 0.0;
                fixed_ratio += line.ratio;
            }
        // The sizable lines share what the fixed ones leave. Scaled to that share rather than
        // multiplied by it, so that settling again (at every draw while fixed lines exist)
        // leaves the ratios where they are.
        double const remaining = 1.0 - fixed_ratio;
        if (sizable_sum > 0.0)
            for (Line& line : lines)
                if (line.sizable) line.ratio *= remaining / sizable_sum;
    }
    double total = 0.0;
    for (Line const& line : lines)
        if (!line.sizable) total += std::trunc(extent * line.ratio);
    fixed = static_cast<unsigned int>(std::max(0.0, total));
    return has_fixed;
}

void GuiGrid::compute_ratios()
{
    m_has_fixed_columns = compute_line_ratios(m_columns, get_width(), m_fixed_width);
    m_has_fixed_rows = compute_line_ratios(m_rows, get_height(), m_fixed_height);
    if (m_style == STYLE_BORDER) compute_borders();
    transform_children();
}

double GuiGrid::line_start(std::vector<Line> const& lines, double const& origin, double const& extent,
                           unsigned int const& index, bool const& with_borders) const
{
    if (index >= lines.size()) return -1.0;
    double start = origin;
    for (unsigned int i = 0; i < index; ++i) start += extent * lines[i].ratio + 1.0;
    if (index > 0 && with_borders && m_style == STYLE_BORDER) start += m_border_size / 2.0;
    return start;
}

double GuiGrid::line_extent(std::vector<Line> const& lines, double const& extent, unsigned int const& index,
                            bool const& with_borders) const
{
    if (index >= lines.size()) return 0.0;
    double size = extent * lines[index].ratio;
    if (with_borders && m_style == STYLE_BORDER && lines.size() > 1) size -= m_border_size;
    return size;
}

int GuiGrid::get_column_left(unsigned int const& index, bool const& with_borders) const
{
    if (index >= get_column_count()) return -1;
    return round_half_up(line_start(m_columns, get_x(), get_width(), index, with_borders));
}

int GuiGrid::get_row_top(unsigned int const& index, bool const& with_borders) const
{
    if (index >= get_row_count()) return -1;
    return round_half_up(line_start(m_rows, get_y(), get_height(), index, with_borders));
}

int GuiGrid::get_column_width(unsigned int const& index, bool const& with_borders) const
{
    return round_half_up(line_extent(m_columns, get_width(), index, with_borders));
}

int GuiGrid::get_row_height(unsigned int const& index, bool const& with_borders) const
{
    return round_half_up(line_extent(m_rows, get_height(), index, with_borders));
}

GMathVec2<int> GuiGrid::get_cell_position(unsigned int const& column, unsigned int const& row,
                                          bool const& with_borders) const
{
    return GMathVec2<int>(get_column_left(column, with_borders), get_row_top(row, with_borders));
}

GMathVec2<int> GuiGrid::get_cell_size(unsigned int const& column, unsigned int const& row,
                                      bool const& with_borders) const
{
    return GMathVec2<int>(get_column_width(column, with_borders), get_row_height(row, with_borders));
}

GuiGridBorder& GuiGrid::make_border(std::vector<Line>& lines, unsigned int const& index,
                                    GuiGridBorder::Orientation const& orientation)
{
    Line& line = lines[index];
    if (!line.border) {
        line.border = new GuiGridBorder(*this, orientation, index);
        line.border->set_active_constraints(false);
    }
    return *line.border;
}

void GuiGrid::compute_borders()
{
    double const w = get_width(), h = get_height();
    int const thickness = static_cast<int>(std::trunc(m_border_size));
    for (unsigned int i = 0; i + 1 < m_rows.size(); ++i) {
        GuiGridBorder& bar = make_border(m_rows, i, GuiGridBorder::ORIENTATION_ROW);
        double const edge = line_start(m_rows, get_y(), h, i, false) + h * m_rows[i].ratio + 1.0 - m_border_size / 2.0;
        bar.resize(get_x(), static_cast<int>(std::trunc(edge)), get_width(), thickness);
        if (!bar.is_shown() && is_shown()) bar.show();
    }
    for (unsigned int i = 0; i + 1 < m_columns.size(); ++i) {
        GuiGridBorder& bar = make_border(m_columns, i, GuiGridBorder::ORIENTATION_COLUMN);
        double const edge =
            line_start(m_columns, get_x(), w, i, false) + w * m_columns[i].ratio + 1.0 - m_border_size / 2.0;
        bar.resize(static_cast<int>(std::trunc(edge)), get_y(), thickness, get_height());
        if (!bar.is_shown() && is_shown()) bar.show();
    }
    // No bar after the last line.
    if (!m_rows.empty()) destroy_border(m_rows.back());
    if (!m_columns.empty()) destroy_border(m_columns.back());
}

void GuiGrid::clear_borders()
{
    for (Line& line : m_rows) destroy_border(line);
    for (Line& line : m_columns) destroy_border(line);
}

std::vector<int> GuiGrid::cell_edges(std::vector<Line>& lines, int const& origin, int const& extent,
                                     GuiGridBorder::Orientation const& orientation)
{
    // Start and end of each line, one after the other.
    std::vector<int> edges;
    unsigned int const count = static_cast<unsigned int>(lines.size());
    for (unsigned int i = 0; i < count; ++i) {
        int start, end;
        if (m_style == STYLE_NO_BORDER) {
            start = i == 0 ? origin : round_half_up(line_start(lines, origin, extent, i, false));
            end = i + 1 == count ? origin + extent : round_half_up(line_start(lines, origin, extent, i + 1, false));
        } else {
            bool const rows = orientation == GuiGridBorder::ORIENTATION_ROW;
            auto const bar_start = [&](unsigned int k) {
                GuiGridBorder& bar = make_border(lines, k, orientation);
                return rows ? bar.get_y() : bar.get_x();
            };
            auto const bar_end = [&](unsigned int k) {
                GuiGridBorder& bar = make_border(lines, k, orientation);
                return rows ? bar.get_y() + bar.get_height() : bar.get_x() + bar.get_width();
            };
            start = i == 0 ? origin : bar_end(i - 1) + 1;
            end = i + 1 == count ? origin + extent : bar_start(i);
        }
        edges.push_back(start);
        edges.push_back(end);
    }
    return edges;
}

void GuiGrid::transform_children()
{
    unsigned int const columns = get_column_count();
    unsigned int const rows = get_row_count();
    if (m_cells.empty() || columns == 0 || rows == 0) return;
    std::vector<int> const xs = cell_edges(m_columns, get_x(), get_width(), GuiGridBorder::ORIENTATION_COLUMN);
    std::vector<int> const ys = cell_edges(m_rows, get_y(), get_height(), GuiGridBorder::ORIENTATION_ROW);
    for (unsigned int r = 0; r < rows; ++r)
        for (unsigned int c = 0; c < columns; ++c) {
            GuiWidget* widget = m_cells[static_cast<size_t>(r) * columns + c];
            if (!widget) continue;
            int const x0 = xs[2 * c], x1 = xs[2 * c + 1];
            int const y0 = ys[2 * r], y1 = ys[2 * r + 1];
            widget->set_size(x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
        }
}

bool const& GuiGrid::is_recursive_constraints() const
{
    static bool const no = false;
    return no;
}

void GuiGrid::resize(int const& x, int const& y, int const& w, int const& h)
{
    settle();
    int const new_w = std::max(w, static_cast<int>(m_fixed_width));
    int const new_h = std::max(h, static_cast<int>(m_fixed_height));
    if (x == get_x() && y == get_y() && new_w == get_width() && new_h == get_height()) return;
    // The fixed lines keep their pixels: the sizable ones take what changes.
    auto const rescale = [](std::vector<Line>& lines, double const& old_extent, double const& new_extent,
                            bool const& scale_fixed) {
        if (old_extent <= 0.0 || new_extent <= 0.0 || old_extent == new_extent) return;
        double sum = 0.0;
        for (Line const& line : lines)
            if (line.sizable) sum += line.ratio;
        double const s = std::max(sum, 0.01);
        if (s < 1.0) {
            double const factor = std::max((1.0 - (old_extent / new_extent) * (1.0 - s)) / s, 0.01);
            for (Line& line : lines)
                if (line.sizable) line.ratio *= factor;
        }
        if (scale_fixed)
            for (Line& line : lines)
                if (!line.sizable) line.ratio *= old_extent / new_extent;
    };
    rescale(m_columns, get_width(), new_w, false);
    rescale(m_rows, get_height(), new_h, true);
    GuiWidget::resize(x, y, new_w, new_h);
    if (m_has_fixed_columns || m_has_fixed_rows) {
        compute_ratios();  // the fixed lines' ratios for the new size, then the cells
        return;
    }
    if (m_style == STYLE_BORDER) compute_borders();
    transform_children();
}

// Appearance ------------------------------------------------------------------------------------

void GuiGrid::set_style(Style const& style)
{
    if (style == m_style) return;
    if (style != STYLE_BORDER && style != STYLE_NO_BORDER) {
        CORE_LOG_WARNING("GuiGrid.set_style: unknown style " << static_cast<int>(style) << "\n");
        return;
    }
    begin_layout();
    m_style = style;
    if (style == STYLE_NO_BORDER)
        clear_borders();
    else
        compute_borders();
    transform_children();
    redraw();
}

void GuiGrid::set_border_size(int const& size)
{
    if (size == m_border_size) return;
    begin_layout();
    m_border_size = std::max(0, size);
    if (m_style == STYLE_BORDER) compute_borders();
    transform_children();
    redraw();
}

GuiGridBorder* GuiGrid::get_row_border(unsigned int const& index) const
{
    return index < get_row_count() ? m_rows[index].border : nullptr;
}

GuiGridBorder* GuiGrid::get_column_border(unsigned int const& index) const
{
    return index < get_column_count() ? m_columns[index].border : nullptr;
}

void GuiGrid::show_guides()
{
    m_guides = true;
    redraw();
}

void GuiGrid::hide_guides()
{
    m_guides = false;
    redraw();
}

void GuiGrid::show_background()
{
    m_background = true;
    redraw();
}

void GuiGrid::hide_background()
{
    m_background = false;
    redraw();
}

void GuiGrid::debug() const
{
    CORE_LOG_INFO("GuiGrid: " << static_cast<void const*>(this) << " " << get_column_count() << " columns "
                              << get_row_count() << " rows\n");
    for (unsigned int r = 0; r < get_row_count(); ++r)
        for (unsigned int c = 0; c < get_column_count(); ++c) {
            GuiWidget const* widget = get_widget(c, r);
            CORE_LOG_INFO("  row " << r << " column " << c << " " << static_cast<void const*>(widget)
                                   << (widget ? CoreString(" ") + widget->get_class_info().get_name() : CoreString())
                                   << "\n");
        }
}

void GuiGrid::show()
{
    settle();
    for (GuiWidget* widget : m_cells)
        if (widget) widget->show();
    GuiWidget::show();
    if (m_style == STYLE_BORDER) compute_borders();
}

void GuiGrid::draw(GuiDc& dc)
{
    settle();
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    if (m_background)
        wdc.draw_rectf(GMathVec4<int>(get_x(), get_y(), get_width(), get_height()),
                       get_color(GuiColorScheme::GROUP_NORMAL, static_cast<Role>(0)));
    if (m_style == STYLE_NO_BORDER && m_guides) {
        GMathVec3<unsigned char> const& guide = get_color(GuiColorScheme::GROUP_NORMAL, static_cast<Role>(5));
        for (unsigned int i = 1; i < get_row_count(); ++i) {
            int const y = get_row_top(i);
            wdc.draw_line(get_x(), y, get_x() + get_width() - 1, y, guide[0], guide[1], guide[2]);
        }
        for (unsigned int i = 1; i < get_column_count(); ++i) {
            int const x = get_column_left(i);
            wdc.draw_line(x, get_y(), x, get_y() + get_height() - 1, guide[0], guide[1], guide[2]);
        }
    }
    GuiWidget::draw(dc);
}
