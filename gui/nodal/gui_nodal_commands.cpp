#include "gui/nodal/gui_nodal_commands.h"

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node_base.h"

CORE_IMPLEMENT_CLASS(GuiNodalMoveCommand, OfCommand)
CORE_IMPLEMENT_CLASS(GuiNodalLinkCommand, OfCommand)

GuiNodalMoveCommand::GuiNodalMoveCommand(GuiNodal& view, std::vector<GuiNodalNodeBase*> const& boxes,
                                         GMathVec2<int> const& delta)
    : m_view(view.get_lifetime()), m_delta(delta)
{
    for (GuiNodalNodeBase* box : boxes) m_boxes.push_back(view.make_end_ref(*box));
}

void GuiNodalMoveCommand::apply(int const& sign)
{
    std::shared_ptr<GuiNodal*> const alive = m_view.lock();
    if (!alive) return;
    GuiNodal& view = **alive;
    for (GuiNodalEndRef const& ref : m_boxes)
        if (GuiNodalNodeBase* box = view.resolve_end_ref(ref)) box->move(sign * m_delta[0], sign * m_delta[1]);
    view.invalidate_pick_index();
    view.redraw();
}

GuiNodalLinkCommand::GuiNodalLinkCommand(GuiNodal& view, CoreString const& label, std::vector<Ends> const& added,
                                         std::vector<Ends> const& removed)
    : m_view(view.get_lifetime()), m_label(label), m_added(added), m_removed(removed)
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
    std::shared_ptr<GuiNodal*> const alive = m_view.lock();
    if (!alive) return;
    GuiNodal& view = **alive;
    for (Ends const& ends : remove) {
        GuiNodalNodeBase* from = view.resolve_end_ref(ends.first);
        GuiNodalNodeBase* to = view.resolve_end_ref(ends.second);
        if (!from || !to) continue;
        if (GuiNodalLink* link = view.find_link(*from, *to)) view.remove_link(*link);
    }
    for (Ends const& ends : add) {
        GuiNodalNodeBase* from = view.resolve_end_ref(ends.first);
        GuiNodalNodeBase* to = view.resolve_end_ref(ends.second);
        if (from && to && !view.find_link(*from, *to)) view.create_link(*from, *to);
    }
    view.invalidate_pick_index();
}
