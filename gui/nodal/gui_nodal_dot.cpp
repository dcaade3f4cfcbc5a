#include "gui/nodal/gui_nodal_dot.h"

#include <cmath>
#include <set>

#include "gui/core/gui_color_scheme.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNodalDot, GuiNodalNode)

namespace {

int half_away(int const& value)
{
    return static_cast<int>(std::lround(value / 2.0));
}

}  // namespace

GuiNodalDot::GuiNodalDot(GuiNodal& graph, unsigned int const& anchors, int const& diameter)
    : GuiNodalNode(graph, CoreString(), 0, 0, anchors)
{
    set_color(graph.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_LINK));
    set_width(diameter);
    get_header().set_is_hidden(true, false);  // a dot has no title band
}

void GuiNodalDot::set_width(int const& width)
{
    set_size_field("GuiNodalDot.set_width", m_diameter, width);
}

void GuiNodalDot::move_to(int const& x, int const& y)
{
    set_position(GMathVec2<int>(x - half_away(m_diameter), y + half_away(m_diameter)));
}

GMathVec2<int> GuiNodalDot::get_center() const
{
    GMathVec2<int> const& pos = get_world_pos();
    return GMathVec2<int>(pos[0] + half_away(m_diameter), pos[1] - half_away(m_diameter));
}

GuiNodalNodeBase* GuiNodalDot::get_input_node() const
{
    std::set<GuiNodalDot const*> seen;
    GuiNodalDot const* dot = this;
    while (dot && seen.insert(dot).second) {
        GuiNodalNodeBase const* plug = dot->get_anchor(NODE_ANCHOR_LEFT);
        GuiNodalLink* incoming = nullptr;
        for (size_t i = 0; plug && i < plug->get_links_count() && !incoming; ++i)
            if (plug->get_link(i)->get_node_to() == plug) incoming = plug->get_link(i);
        if (!incoming) return nullptr;
        GuiNodalNodeBase* source = incoming->get_visible_node_from();
        if (!source || !source->is_kindof(GuiNodalDot::class_info())) return source;
        dot = static_cast<GuiNodalDot const*>(source);
    }
    return nullptr;
}

bool GuiNodalDot::can_begin_link_creation()
{
    GuiNodalNodeBase* input = get_input_node();
    return input ? input->can_begin_link_creation() : true;
}

bool GuiNodalDot::can_begin_link_destruction(GuiNodalLink const& link)
{
    GuiNodalNodeBase* input = get_input_node();
    return input ? input->can_begin_link_destruction(link) : true;
}

void GuiNodalDot::update_content(GuiDc&)
{
    if (!get_is_dirty()) return;
    // Links run through the centre, where both plugs sit.
    GMathVec2<int> const centre(half_away(m_diameter), -half_away(m_diameter));
    for (int i = 0; i < ANCHOR_COUNT; ++i)
        if (GuiNodalNodeBase* anchor = get_anchor(i)) {
            anchor->set_local_pos(centre);
            anchor->set_delta_in_link(GMathVec2<int>(0, 0));
            anchor->set_delta_out_link(GMathVec2<int>(0, 0));
        }
    set_delta_in_link(centre);
    set_delta_out_link(centre);
    set_computed_size(m_diameter, m_diameter);
    GuiNodalItem::set_draw_state(DRAW_STATE_UP_TO_DATE);
}

void GuiNodalDot::draw(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden()) return;
    GMathVec2<int> const centre = get_center();
    float const radius = m_diameter / 2.0f;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    Color const& fill = get_bg_color();
    batch.set_color(fill[0], fill[1], fill[2]);
    batch.add_circlef(static_cast<float>(centre[0]), static_cast<float>(centre[1]), radius);
    Color const border = get_outline_color();
    batch.set_color(border[0], border[1], border[2]);
    batch.add_circle(static_cast<float>(centre[0]), static_cast<float>(centre[1]), radius);
    gl.end_batch();
}

void GuiNodalDot::draw_select(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden()) return;
    GMathVec2<int> const centre = get_center();
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    Color const& pick = get_pick_color();
    batch.set_color(pick[0], pick[1], pick[2]);
    batch.add_circlef(static_cast<float>(centre[0]), static_cast<float>(centre[1]), m_diameter / 2.0f);
    gl.end_batch();
}
