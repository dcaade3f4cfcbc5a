#include "gui/nodal/gui_nodal_item.h"

#include "gui/nodal/gui_nodal.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNodalItem, EventObject)

EVENT_DEFINE_ID(EVENT_ID_NODAL_BBOX_CHANGED);

GuiNodalItem::GuiNodalItem(GuiNodal& graph) : m_graph(&graph) {}

GuiNodalItem::~GuiNodalItem()
{
    m_graph->remove_clickable_node(m_pick_color);
}

void GuiNodalItem::set_bg_color(Color const& own_color)
{
    for (Color const* color : {&m_bg_highlight_color, &m_bg_normal_color, &m_bg_disabled_color, &m_bg_selected_color})
        if (color == &own_color) {
            m_bg_color = color;
            return;
        }
    CORE_LOG_WARNING("GuiNodalItem.set_bg_color: the colour is not one of the item's own; the current colour stays\n");
}

void GuiNodalItem::set_selectable()
{
    m_graph->add_clickable_node(*this, m_pick_color);
}

void GuiNodalItem::set_draw_state(ItemDrawState const& state)
{
    m_draw_state = state;
    if (state == DRAW_STATE_DIRTY) m_graph->invalidate_pick_index();
}
