#include "gui/nodal/gui_nodal_commands.h"

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node_base.h"

CORE_IMPLEMENT_CLASS(GuiNodalMoveCommand, OfCommand)
CORE_IMPLEMENT_CLASS(GuiNodalLinkCommand, OfCommand)

GuiNodalMoveCommand::GuiNodalMoveCommand(GuiNodal& view, std::vector<GuiNodalNodeBase*> const& boxes,
                                         GMathVec2<int> const& delta)
    : m_view(view), m_delta(delta)
{
    for (GuiNodalNodeBase* box : boxes) m_boxes.push_back(view.make_end_ref(*box));
}

void GuiNodalMoveCommand::apply(int const& sign)
{
    for (GuiNodalEndRef const& ref : m_boxes)
        if (GuiNodalNodeBase* box = m_view.resolve_end_ref(ref)) box->move(sign * m_delta[0], sign * m_delta[1]);
    m_view.invalidate_pick_index();
    m_view.redraw();
}

GuiNodalLinkCommand::GuiNodalLinkCommand(GuiNodal& view, CoreString const& label, std::vector<Ends> const& added,
                                         std::vector<Ends> const& removed)
    : m_view(view), m_label(label), m_added(added), m_removed(removed)
{
}

void GuiNodalLinkCommand::undo()
{
    apply(m_added, m_removed);
}

void GuiNodalLinkCommand::redo()
{
    apply(m_removed, m_added);
}

void GuiNodalLinkCommand::apply(std::vector<Ends> const& remove, std::vector<Ends> const& add)
{
    for (Ends const& ends : remove) {
        GuiNodalNodeBase* from = m_view.resolve_end_ref(ends.first);
        GuiNodalNodeBase* to = m_view.resolve_end_ref(ends.second);
        if (!from || !to) continue;
        if (GuiNodalLink* link = m_view.find_link(*from, *to)) m_view.remove_link(*link);
    }
    for (Ends const& ends : add) {
        GuiNodalNodeBase* from = m_view.resolve_end_ref(ends.first);
        GuiNodalNodeBase* to = m_view.resolve_end_ref(ends.second);
        if (from && to && !m_view.find_link(*from, *to)) m_view.create_link(*from, *to);
    }
    m_view.invalidate_pick_index();
}
