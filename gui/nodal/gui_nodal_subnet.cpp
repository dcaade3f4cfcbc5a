#include "gui/nodal/gui_nodal_subnet.h"

#include <algorithm>

#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNodalSubnet, GuiNodalNodeBase)

namespace {

constexpr int DELETE_SIZE = 16;

}  // namespace

GuiNodalSubnet::GuiNodalSubnet(GuiNodal& graph, CoreString const& title, int const& x, int const& y)
    : GuiNodalNodeBase(nullptr, graph, x, y, NODE_ANCHOR_NONE)
{
    m_header = new GuiNodalNodeZoneHeader(*this, title);
    m_delete = new GuiNodalNodeZoneButton(*this, 0, 0, DELETE_SIZE, DELETE_SIZE);
    m_delete->set_shape(GuiNodalNodeZoneButton::SHAPE_DELETE);
    connect(*m_delete, EVT_ID_NODAL_BUTTON_CLICK, &GuiNodalSubnet::on_delete);
    update_count_line();
    set_color(m_color);
    set_selectable();
}

GuiNodalSubnet::~GuiNodalSubnet()
{
    clear_content();
    delete m_delete;
    delete m_header;
}

// Content -------------------------------------------------------------------------------------------

bool GuiNodalSubnet::is_in_content(GuiNodalNodeBase const& node) const
{
    return std::find(m_content.begin(), m_content.end(), &node) != m_content.end();
}

void GuiNodalSubnet::add_to_content(GuiNodalNodeBase& node)
{
    if (is_in_content(node)) return;
    if (&node == this || is_child_of(node) || (node.get_parent() && node.get_parent() != this)) {
        CORE_LOG_WARNING("GuiNodalSubnet.add_to_content: the item belongs elsewhere; \""
                         << get_title() << "\" leaves it out\n");
        return;
    }
    // Parented with its place kept: its local position becomes relative to the subnet.
    GMathVec2<int> const world = node.get_world_pos();
    m_content.push_back(&node);
    node.set_is_hidden(true, true);
    add_child(node);
    node.set_local_pos(world - get_world_pos());
    update_count_line();
}

void GuiNodalSubnet::release(GuiNodalNodeBase& node)
{
    GMathVec2<int> const world = node.get_world_pos();
    if (node.get_parent() == this) remove_child(node);
    node.set_local_pos(world);
    node.set_is_hidden(false, true);
}

void GuiNodalSubnet::remove_from_content(GuiNodalNodeBase& node)
{
    auto const found = std::find(m_content.begin(), m_content.end(), &node);
    if (found == m_content.end()) return;
    // The last member takes the place of the one leaving.
    *found = m_content.back();
    m_content.pop_back();
    release(node);
    update_count_line();
}

void GuiNodalSubnet::set_content(std::vector<GuiNodalNodeBase*> const& nodes)
{
    clear_content();
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it)
        if (*it) add_to_content(**it);
}

void GuiNodalSubnet::clear_content()
{
    for (GuiNodalNodeBase* node : m_content)
        if (node->get_parent() == this) release(*node);
    m_content.clear();
    update_count_line();
}

void GuiNodalSubnet::set_is_hidden(bool hidden, bool const& recursive)
{
    GuiNodalNodeBase::set_is_hidden(hidden, recursive);
    if (!hidden && recursive)
        for (GuiNodalNodeBase* node : m_content)
            if (node->get_parent() == this) node->set_is_hidden(true, true);
}

// Look ----------------------------------------------------------------------------------------------

CoreString const& GuiNodalSubnet::get_title() const
{
    return m_header->get_lines().front().text;
}

void GuiNodalSubnet::set_title(CoreString const& title)
{
    m_header->set_line(0, title);
}

void GuiNodalSubnet::update_count_line()
{
    m_header->set_line(1, CoreString("(") + static_cast<int>(m_content.size()) + ")");
}

void GuiNodalSubnet::set_color(Color const& color)
{
    m_color = color;
    set_bg_normal_color(color);
    set_bg_selected_color(color);
    set_bg_highlight_color(color);
    GMathVec3<float> const unit(color[0] / 255.0f, color[1] / 255.0f, color[2] / 255.0f);
    set_border_color(compute_border_color(unit, false, 0.7f));
    set_dirty();
}

void GuiNodalSubnet::on_delete(GuiNodalNodeZoneButton&, EventInfo const&, void*)
{
    // Not inside the button's own event: the view removes the subnet in its next pass.
    get_graph().request_subnet_removal(*this);
}

// Geometry ------------------------------------------------------------------------------------------

void GuiNodalSubnet::set_width(int const& width)
{
    set_size_field("GuiNodalSubnet.set_width", m_width, width);
}

void GuiNodalSubnet::set_height(int const& height)
{
    set_size_field("GuiNodalSubnet.set_height", m_height, height);
}

void GuiNodalSubnet::set_geometry(int w, int h, bool dirty)
{
    set_width(w);
    set_height(h);
    if (!dirty) GuiNodalItem::set_draw_state(DRAW_STATE_UP_TO_DATE);
}

void GuiNodalSubnet::autofit(bool dirty)
{
    m_header->update_size();
    int const margin = get_border_size();
    set_geometry(m_header->get_width() + DELETE_SIZE + margin, std::max(m_header->get_height(), DELETE_SIZE + 2 * margin),
                 dirty);
    set_dirty();
}

int GuiNodalSubnet::get_in_link_x() const
{
    return get_world_pos()[0] - LINK_OFFSET;
}

int GuiNodalSubnet::get_in_link_y() const
{
    return get_world_pos()[1] - m_height / 2;
}

int GuiNodalSubnet::get_out_link_x() const
{
    return get_world_pos()[0] + m_width + LINK_OFFSET;
}

void GuiNodalSubnet::update_content(GuiDc&)
{
    if (!get_is_dirty()) return;
    m_header->update_size();
    m_header->set_local_pos(GMathVec2<int>(0, 0));
    int const margin = get_border_size();
    m_delete->set_local_pos(GMathVec2<int>(m_width - DELETE_SIZE - margin, -margin));
    set_computed_size(m_width, m_height);
    GuiNodalItem::set_draw_state(DRAW_STATE_UP_TO_DATE);
}

void GuiNodalSubnet::draw(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden()) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec2<int> const& pos = get_world_pos();
    float const x = static_cast<float>(pos[0]);
    float const top = static_cast<float>(pos[1]);
    float const w = static_cast<float>(m_width);
    float const h = static_cast<float>(m_height);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    // Two offset boxes: a stack of nodes.
    Color const border = get_outline_color();
    batch.set_color(border[0], border[1], border[2]);
    batch.add_rounded_rectf(x + 4.0f, top - h - 4.0f, w, h, 5.0f);
    batch.set_color(m_color[0], m_color[1], m_color[2]);
    batch.add_rounded_rectf(x, top - h, w, h, 5.0f);
    batch.set_color(border[0], border[1], border[2]);
    batch.add_rounded_rect(x, top - h, w, h, 5.0f);
    m_header->draw(dc);
    m_delete->draw(dc);
    gl.end_batch();
}

void GuiNodalSubnet::draw_mini(GuiDc& dc)
{
    update_content(dc);
    draw_mini_box(dc, m_color);
}

void GuiNodalSubnet::draw_select(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden()) return;
    draw_pick_box(dc);
    m_delete->draw_select(dc);
}
