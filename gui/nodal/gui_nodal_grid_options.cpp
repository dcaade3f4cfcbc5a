#include "gui/nodal/gui_nodal_grid_options.h"

#include <cmath>

#include "gui/controls/gui_checkbox.h"
#include "gui/fields/gui_number_field.h"
#include "gui/nodal/gui_nodal.h"

CORE_IMPLEMENT_CLASS(GridOptions, GuiInputDialog)

GridOptions::GridOptions(GuiWindow& owner) : GuiInputDialog(owner, "Grid Options")
{
    m_enable = add_check("Enable", false);
    m_display = add_check("Display", true);
    m_size = add_number("Grid Size", 40);
    m_size->set_format(GuiNumberEdit::FORMAT_INTEGER);
    m_size->set_range(1, MAX_GRID_SIZE);
    m_size->enable_range(true);
}

void GridOptions::fill(GuiNodal const& view)
{
    m_enable->set_value(view.is_grid_snapping());
    m_display->set_value(view.is_grid_displayed());
    m_size->set_value(view.get_grid_size());
}

void GridOptions::apply(GuiNodal& view) const
{
    view.set_grid_snapping(m_enable->get_value());
    view.set_grid_displayed(m_display->get_value());
    view.set_grid_size(static_cast<int>(std::lround(m_size->get_value())));
}

bool GridOptions::edit(GuiNodal& view)
{
    fill(view);
    if (!run()) return false;
    apply(view);
    return true;
}
