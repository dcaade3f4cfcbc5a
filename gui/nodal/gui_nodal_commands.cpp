#include "gui/nodal/gui_nodal_commands.h"

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node_base.h"

CORE_IMPLEMENT_CLASS(GuiNodalMoveCommand, OfCommand)
CORE_IMPLEMENT_CLASS(GuiNodalLinkCommand, OfCommand)
CORE_IMPLEMENT_CLASS(GuiNodalTextCommand, OfCommand)

GuiNodalMoveCommand::GuiNodalMoveCommand(GuiNodal& view, Moves const& moves, CoreString const& label)
    : m_label(label), m_view(view.get_lifetime())
{
    for (auto const& [box, delta] : moves) m_moves.emplace_back(view.make_end_ref(*box), delta);
}

void GuiNodalMoveCommand::apply(int const& sign)
{
    std::shared_ptr<GuiNodal*> const alive = m_view.lock();
    if (!alive) return;
    GuiNodal& view = **alive;
    for (auto const& [ref, delta] : m_moves)
        if (GuiNodalNodeBase* box = view.resolve_end_ref(ref)) box->move(sign * delta[0], sign * delta[1]);
    view.invalidate_pick_index();
    view.redraw();
}

GuiNodalTextCommand::GuiNodalTextCommand(GuiNodal& view, GuiNodalNodeBase& box, CoreString const& label,
                                         CoreString const& before, CoreString const& after)
    : m_view(view.get_lifetime()), m_box(view.make_end_ref(box)), m_label(label), m_before(before), m_after(after)
{
}

void GuiNodalTextCommand::apply(CoreString const& text)
{
    std::shared_ptr<GuiNodal*> const alive = m_view.lock();
    if (!alive) return;
    GuiNodal& view = **alive;
    if (GuiNodalNodeBase* box = view.resolve_end_ref(m_box)) {
        GuiNodal::write_item_text(*box, text);
        view.invalidate_pick_index();
        view.redraw();
    }
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
