#include "gui/nodal/gui_nodal_subnet_scope.h"

#include <algorithm>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_backdrop.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "gui/nodal/gui_nodal_note.h"
#include "gui/nodal/gui_nodal_subnet.h"
#include "host/core/core_log.h"

namespace {

// Graph units between the members and each port.
constexpr int PORT_GAP = 120;

bool contains(std::vector<GuiNodalNodeBase*> const& boxes, GuiNodalNodeBase const* box)
{
    return std::find(boxes.begin(), boxes.end(), box) != boxes.end();
}

}  // namespace

struct GuiNodalSubnetScope::Level {
    GuiNodalSubnet* subnet = nullptr;
    std::vector<GuiNodalNodeBase*> members;  // in the subnet's content order
    std::vector<GuiNodalNodeBase*> hidden;   // the boxes entering hid, shown again on leaving
    std::unique_ptr<GuiNodalSubnet> inputs;
    std::unique_ptr<GuiNodalSubnet> outputs;
    GMathVec2<float> view_pos;
    float zoom_ratio = 1.0f;
};

GuiNodalSubnetScope::GuiNodalSubnetScope(GuiNodal& graph) : m_graph(graph) {}

GuiNodalSubnetScope::~GuiNodalSubnetScope() = default;

std::vector<GuiNodalNodeBase*> GuiNodalSubnetScope::get_top_level_boxes() const
{
    std::vector<GuiNodalNodeBase*> boxes;
    for (size_t i = 0; i < m_graph.get_node_count(); ++i) boxes.push_back(m_graph.get_node(i));
    boxes.insert(boxes.end(), m_graph.get_backdrops().begin(), m_graph.get_backdrops().end());
    boxes.insert(boxes.end(), m_graph.get_notes().begin(), m_graph.get_notes().end());
    boxes.insert(boxes.end(), m_graph.get_subnets().begin(), m_graph.get_subnets().end());
    boxes.erase(std::remove_if(boxes.begin(), boxes.end(), [](GuiNodalNodeBase* box) { return box->get_parent(); }),
                boxes.end());
    return boxes;
}

bool GuiNodalSubnetScope::enter(GuiNodalSubnet& subnet)
{
    std::vector<GuiNodalSubnet*> const& subnets = m_graph.get_subnets();
    if (std::find(subnets.begin(), subnets.end(), &subnet) == subnets.end() || subnet.get_is_hidden()) {
        CORE_LOG_WARNING("GuiNodalSubnetScope.enter: \"" << subnet.get_title()
                                                         << "\" is not a subnet shown in this view\n");
        return false;
    }
    auto level = std::make_unique<Level>();
    level->subnet = &subnet;
    level->members = subnet.get_content();
    level->view_pos = m_graph.get_view_pos();
    level->zoom_ratio = m_graph.get_zoom_ratio();

    // The members come out where they stand; every other shown box is hidden.
    subnet.clear_content();
    for (GuiNodalNodeBase* box : get_top_level_boxes())
        if (!box->get_is_hidden() && !contains(level->members, box)) level->hidden.push_back(box);
    if (!m_levels.empty())
        for (GuiNodalSubnet* port : {m_levels.back()->inputs.get(), m_levels.back()->outputs.get()})
            if (!port->get_is_hidden()) level->hidden.push_back(port);

    // Each link with one shown end among the members and the other outside gets a stand-in
    // for its outside end: the box that end shows as, taken by the port on its side.
    auto const is_member = [&level](GuiNodalNodeBase const* box) { return contains(level->members, box); };
    std::vector<GuiNodalNodeBase*> upstream, downstream;
    for (GuiNodalLink* link : m_graph.get_links()) {
        GuiNodalNodeBase* from = link->get_visible_node_from();
        GuiNodalNodeBase* to = link->get_visible_node_to();
        if (!from || !to || is_member(from) == is_member(to)) continue;
        GuiNodalNodeBase* outside = is_member(from) ? to : from;
        if (outside->get_parent() || outside->get_is_hidden() || outside == &subnet) continue;
        if (contains(upstream, outside) || contains(downstream, outside)) continue;
        (outside == from ? upstream : downstream).push_back(outside);
    }
    for (GuiNodalNodeBase* box : level->hidden) box->set_is_hidden(true, true);

    // Ports beside the members' bounds, at their middle height.
    GMathVec2<int> min(0, 0), max(0, 0);
    for (size_t i = 0; i < level->members.size(); ++i) {
        GuiNodalNodeBase const& member = *level->members[i];
        GMathVec2<int> const& pos = member.get_world_pos();
        GMathVec2<int> const low(pos[0], pos[1] - member.get_height());
        GMathVec2<int> const high(pos[0] + member.get_width(), pos[1]);
        min = i == 0 ? low : GMathVec2<int>(std::min(min[0], low[0]), std::min(min[1], low[1]));
        max = i == 0 ? high : GMathVec2<int>(std::max(max[0], high[0]), std::max(max[1], high[1]));
    }
    auto const make_port = [&](char const* title, std::vector<GuiNodalNodeBase*> const& stand_ins, bool left) {
        auto port = std::make_unique<GuiNodalSubnet>(m_graph, title, 0, 0);
        port->get_delete_button().set_is_hidden(true, false);
        port->set_color(left ? GuiNodalItem::Color(70, 110, 90) : GuiNodalItem::Color(110, 90, 70));
        port->autofit();
        int const x = left ? min[0] - PORT_GAP - port->get_width() : max[0] + PORT_GAP;
        port->set_origin(GMathVec2<int>(x, (min[1] + max[1]) / 2 + port->get_height() / 2));
        for (GuiNodalNodeBase* box : stand_ins) port->add_to_content(*box);
        return port;
    };
    level->inputs = make_port("Inputs", upstream, true);
    level->outputs = make_port("Outputs", downstream, false);
    m_levels.push_back(std::move(level));
    return true;
}

bool GuiNodalSubnetScope::leave()
{
    if (m_levels.empty()) return false;
    std::unique_ptr<Level> level = std::move(m_levels.back());
    m_levels.pop_back();
    // The members: those at entry still there and free, then the boxes shown inside that
    // entering did not hide (made inside).
    std::vector<GuiNodalNodeBase*> members = level->members;
    std::erase_if(members, [](GuiNodalNodeBase* box) { return box->get_parent(); });  // now in a subnet inside
    for (GuiNodalNodeBase* box : get_top_level_boxes())
        if (!box->get_is_hidden() && box != level->subnet && !contains(level->hidden, box) && !contains(members, box))
            members.push_back(box);
    level->inputs.reset();  // their stand-ins are released
    level->outputs.reset();
    for (GuiNodalNodeBase* box : level->hidden) box->set_is_hidden(false, true);
    if (level->subnet) {
        // The content takes its members from the last: given reversed, it keeps their order.
        std::reverse(members.begin(), members.end());
        level->subnet->set_content(members);
    }
    // Back to where the view was, as a fit goes (it replaces a fit still under way).
    m_graph.go_to_view(level->view_pos, level->zoom_ratio);
    return true;
}

GuiNodalSubnet* GuiNodalSubnetScope::get_subnet() const
{
    return m_levels.empty() ? nullptr : m_levels.back()->subnet;
}

GuiNodalSubnet* GuiNodalSubnetScope::get_port(bool upstream) const
{
    if (m_levels.empty()) return nullptr;
    return upstream ? m_levels.back()->inputs.get() : m_levels.back()->outputs.get();
}

bool GuiNodalSubnetScope::is_port(GuiNodalNodeBase const& box) const
{
    for (std::unique_ptr<Level> const& level : m_levels)
        if (&box == level->inputs.get() || &box == level->outputs.get()) return true;
    return false;
}

bool GuiNodalSubnetScope::is_link_shown(GuiNodalLink const& link) const
{
    if (m_levels.empty()) return true;
    GuiNodalNodeBase const* from = link.get_visible_node_from();
    GuiNodalNodeBase const* to = link.get_visible_node_to();
    if (!from || !to) return true;  // a link being drawn by the user
    if (from->get_is_hidden() || to->get_is_hidden()) return false;
    return !(is_port(*from) && is_port(*to));
}

void GuiNodalSubnetScope::forget(GuiNodalNodeBase& box)
{
    for (std::unique_ptr<Level> const& level : m_levels) {
        std::erase(level->members, &box);
        std::erase(level->hidden, &box);
        if (level->subnet == &box) level->subnet = nullptr;
        level->inputs->remove_from_content(box);
        level->outputs->remove_from_content(box);
    }
}

void GuiNodalSubnetScope::draw(GuiDc& dc)
{
    if (m_levels.empty()) return;
    m_levels.back()->inputs->draw(dc);
    m_levels.back()->outputs->draw(dc);
}

CoreString GuiNodalSubnetScope::get_path() const
{
    CoreString path;
    for (std::unique_ptr<Level> const& level : m_levels) {
        if (!path.is_empty()) path += " > ";
        path += level->subnet ? level->subnet->get_title() : CoreString("(removed)");
    }
    return path;
}
