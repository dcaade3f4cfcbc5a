#include "gui/spreadsheet/gui_spreadsheet_row.h"

#include "gui/spreadsheet/gui_spreadsheet_cell.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiSpreadsheetRow, CoreBaseObject)

GuiSpreadsheetRow::GuiSpreadsheetRow(GuiSpreadsheet& spreadsheet) : m_spreadsheet(&spreadsheet) {}

GuiSpreadsheetRow::~GuiSpreadsheetRow()
{
    for (GuiSpreadsheetCell* cell : m_cells) delete cell;
    delete m_pre_draw;
}

void GuiSpreadsheetRow::init()
{
    m_height = DEFAULT_HEIGHT;
    m_children_count = 0;
    m_total_sub_children_count = 0;
    m_depth = 0;
    m_parent_index = -1;
    m_flags = 0;
    set_pre_draw_callback(nullptr, nullptr);
}

void GuiSpreadsheetRow::set_flag(unsigned int const& flag, bool const& on)
{
    m_flags = on ? (m_flags | flag) : (m_flags & ~flag);
}

void GuiSpreadsheetRow::set_hidden(bool const& hidden)
{
    set_flag(ROW_FLAG_HIDDEN, hidden);
}

void GuiSpreadsheetRow::remove_all_data()
{
    for (GuiSpreadsheetCell* cell : m_cells) {
        cell->remove_all_data();
        delete cell;
    }
    m_cells.clear();
}

void GuiSpreadsheetRow::set_is_removed(bool const& removed)
{
    set_flag(ROW_FLAG_REMOVED, removed);
}

void GuiSpreadsheetRow::refresh_data()
{
    for (GuiSpreadsheetCell* cell : m_cells) cell->refresh_data();
}

void GuiSpreadsheetRow::add_cell(GuiSpreadsheetCell* cell)
{
    if (!cell) {
        CORE_LOG_WARNING("GuiSpreadsheetRow.add_cell: null cell ignored\n");
        return;
    }
    m_cells.add(cell);
    cell->init(*this);
}

void GuiSpreadsheetRow::set_cell(unsigned int const& index, GuiSpreadsheetCell* cell)
{
    if (!cell || index >= m_cells.get_count()) {
        CORE_LOG_WARNING("GuiSpreadsheetRow.set_cell: no cell " << index << " among " << m_cells.get_count()
                                                                   << " (or a null cell)\n");
        return;
    }
    if (m_cells[index] == cell) return;
    delete m_cells[index];
    m_cells.set(index, cell);
    cell->init(*this);
}

int GuiSpreadsheetRow::get_cell_index(GuiSpreadsheetCell const* cell) const
{
    for (unsigned int i = 0; i < m_cells.get_count(); ++i)
        if (m_cells[i] == cell) return static_cast<int>(i);
    return -1;
}

void GuiSpreadsheetRow::set_height(int const& height)
{
    if (height < 1) {
        CORE_LOG_WARNING("GuiSpreadsheetRow.set_height: height " << height << " refused, it stays " << m_height << "\n");
        return;
    }
    m_height = height;
}

void GuiSpreadsheetRow::set_children_count(int const& count)
{
    m_children_count = count < 0 ? 0 : count;
    if (m_children_count > 0) set_flag(ROW_FLAG_HAS_CHILDREN, true);
}

void GuiSpreadsheetRow::set_has_children(bool const& has)
{
    set_flag(ROW_FLAG_HAS_CHILDREN, has);
}

bool GuiSpreadsheetRow::is_show_children() const
{
    return (m_flags & ROW_FLAG_SHOW_CHILDREN) && has_children();
}

void GuiSpreadsheetRow::set_show_children(bool const& show)
{
    set_flag(ROW_FLAG_SHOW_CHILDREN, show);
}

void GuiSpreadsheetRow::set_dashed(bool const& dashed)
{
    set_flag(ROW_FLAG_DASHED, dashed);
}

void GuiSpreadsheetRow::set_pre_draw_callback(PreDrawCallback callback, void* data)
{
    if (!callback) {
        delete m_pre_draw;
        m_pre_draw = nullptr;
        return;
    }
    if (!m_pre_draw) m_pre_draw = new PreDraw;
    *m_pre_draw = PreDraw{callback, data};
}

void GuiSpreadsheetRow::pre_draw(int const& index)
{
    if (m_pre_draw) m_pre_draw->callback(*this, index, m_pre_draw->data);
}

size_t GuiSpreadsheetRow::get_memory_size() const
{
    size_t size = sizeof(GuiSpreadsheetRow) + m_cells.std_vector().capacity() * sizeof(GuiSpreadsheetCell*) +
                  (m_pre_draw ? sizeof(PreDraw) : 0);
    for (GuiSpreadsheetCell* cell : m_cells) size += cell->get_memory_size();
    return size;
}
