#include "gui/nodal/gui_nodal_dnd_data.h"

#include "gui/nodal/gui_nodal_node_zone.h"

CORE_IMPLEMENT_CLASS(GuiNodalDndData, CoreBaseObject)

GuiNodalDndData::GuiNodalDndData(GuiNodalNodeZoneAnchor* plug, bool const& upstream)
{
    if (upstream)
        m_upstream = plug;
    else
        m_plugs.push_back(plug);
}

void GuiNodalDndData::add_plug(GuiNodalNodeZoneAnchor* plug)
{
    m_plugs.push_back(plug);
}

unsigned int GuiNodalDndData::get_count() const
{
    return is_upstream() ? 1u : static_cast<unsigned int>(m_plugs.size());
}

GuiNodalNodeZoneAnchor* GuiNodalDndData::get_plug() const
{
    if (is_upstream()) return m_upstream;
    return m_plugs.empty() ? nullptr : m_plugs.front();
}

GuiNodalNodeZoneAnchor* GuiNodalDndData::get_plug(unsigned int const& index) const
{
    return index < m_plugs.size() ? m_plugs[index] : nullptr;
}

GuiNodal* GuiNodalDndData::get_graph() const
{
    GuiNodalNodeZoneAnchor const* plug = get_plug();
    return plug ? &plug->get_graph() : nullptr;
}
