#include "gui/nodal/gui_nodal_node.h"

#include <algorithm>
#include <cmath>

#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNodalNode, GuiNodalNodeBase)

namespace {

// Rounds half away from zero.
int round_half_away(double value)
{
    return static_cast<int>(std::lround(value));
}

GuiNodalItem::Color scaled(GuiNodalItem::Color const& color, float factor)
{
    auto const channel = [factor](unsigned char c) {
        return static_cast<unsigned char>(std::clamp(static_cast<float>(c) * factor, 0.0f, 255.0f));
    };
    return GuiNodalItem::Color(channel(color[0]), channel(color[1]), channel(color[2]));
}

}  // namespace

GuiNodalNode::GuiNodalNode(GuiNodal& graph, CoreString const& name, int const& x, int const& y,
                           unsigned int const& anchors)
    : GuiNodalNodeBase(nullptr, graph, x, y, anchors)
{
    m_header = new GuiNodalNodeZoneHeader(*this, name);
    set_selectable();
}

GuiNodalNode::~GuiNodalNode()
{
    for (GuiNodalNodeZone* zone : m_zones) delete zone;
    delete m_header;
}

void GuiNodalNode::set_name(CoreString const& name)
{
    m_header->set_line(0, name);
}

CoreString const& GuiNodalNode::get_name() const
{
    return m_header->get_lines().front().text;
}

void GuiNodalNode::set_info(CoreString const& info)
{
    m_header->set_line(1, info);
}

void GuiNodalNode::set_color(Color const& color)
{
    for (GuiNodalItem* item : {static_cast<GuiNodalItem*>(this), static_cast<GuiNodalItem*>(m_header)}) {
        item->set_bg_highlight_color(color);
        item->set_bg_normal_color(color);
        item->set_bg_selected_color(color);
    }
    GMathVec3<float> const unit(color[0] / 255.0f, color[1] / 255.0f, color[2] / 255.0f);
    set_border_color(compute_border_color(unit, false, 0.7f));
    set_anchors_color(color);
    set_dirty();
}

// Zones ---------------------------------------------------------------------------------------------

void GuiNodalNode::add_zone(GuiNodalNodeZone& zone)
{
    if (zone.get_parent() != this) {
        CORE_LOG_WARNING("GuiNodalNode.add_zone: the zone was made for another node; \"" << get_name()
                                                                                         << "\" keeps its zones\n");
        return;
    }
    if (std::find(m_zones.begin(), m_zones.end(), &zone) != m_zones.end() || &zone == m_header) return;
    m_zones.push_back(&zone);
    set_dirty();
}

void GuiNodalNode::remove_zone(GuiNodalNodeZone& zone)
{
    auto const found = std::find(m_zones.begin(), m_zones.end(), &zone);
    if (found == m_zones.end()) return;
    m_zones.erase(found);
    delete &zone;
    set_dirty();
}

GuiNodalNodeZone* GuiNodalNode::get_zone(size_t const& index) const
{
    return index < m_zones.size() ? m_zones[index] : nullptr;
}

void GuiNodalNode::set_zones_display_mode(ZoneDisplay const& mode, bool const& dirty)
{
    if (mode < ZONE_DISPLAY_ALL || mode > ZONE_DISPLAY_NONE) {
        CORE_LOG_WARNING("GuiNodalNode.set_zones_display_mode: " << static_cast<int>(mode)
                                                                 << " is not a display mode; \"" << get_name()
                                                                 << "\" keeps its own\n");
        return;
    }
    m_zone_display = mode;
    if (dirty) set_dirty();
}

void GuiNodalNode::turn_header_to_footer(bool const& footer)
{
    m_header->set_footer(footer);
}

int GuiNodalNode::get_min_width() const
{
    return round_half_away(MIN_SCREEN_WIDTH / static_cast<double>(get_graph().get_zoom_ratio()));
}

int GuiNodalNode::get_min_height() const
{
    return round_half_away(MIN_SCREEN_HEIGHT / static_cast<double>(get_graph().get_zoom_ratio()));
}

// Layout --------------------------------------------------------------------------------------------

void GuiNodalNode::update_content(GuiDc& dc)
{
    if (!get_is_dirty()) return;
    if (get_graph().is_simplified())
        activate_state(NODE_STATE_SIMPLIFIED);
    else
        desactivate_state(NODE_STATE_SIMPLIFIED);
    m_header->update_size();
    for (GuiNodalNodeZone* zone : m_zones) zone->update_content(dc);
    compute_size();
    // The zones' own updates marked the node again: the layout above holds.
    GuiNodalItem::set_draw_state(DRAW_STATE_UP_TO_DATE);
}

void GuiNodalNode::compute_size()
{
    bool const simplified = get_state_is_active(NODE_STATE_SIMPLIFIED);
    int width = std::max(m_header->get_width(), get_min_width());
    int height = m_header->get_height();
    if (!simplified)
        for (GuiNodalNodeZone* zone : m_zones) {
            width = std::max(width, zone->get_width());
            height += zone->get_height();
        }
    height = std::max(height, get_min_height());
    if (unsigned int const limit = get_graph().get_max_node_width())
        width = std::min(width, std::max(static_cast<int>(limit), get_min_width()));
    m_width = width;
    m_height = height;
    set_computed_size(width, height);

    // The header on top (or at the bottom as a footer), the zones stacked in between.
    int y = 0;
    if (!m_header->is_footer()) {
        m_header->set_local_pos(GMathVec2<int>(0, 0));
        y -= m_header->get_height();
    }
    for (GuiNodalNodeZone* zone : m_zones) {
        zone->set_local_pos(GMathVec2<int>(0, y));
        zone->set_is_hidden(simplified, false);
        y -= zone->get_height();
    }
    if (m_header->is_footer()) m_header->set_local_pos(GMathVec2<int>(0, -(height - m_header->get_height())));
    int const places[ANCHOR_COUNT][2] = {{0, -height / 2}, {width, -height / 2}, {width / 2, 0}, {width / 2, -height}};
    for (int i = 0; i < ANCHOR_COUNT; ++i)
        if (GuiNodalNodeBase* anchor = get_anchor(i)) {
            anchor->set_local_pos(GMathVec2<int>(places[i][0], places[i][1]));
            bool const shown = m_zone_display == ZONE_DISPLAY_ALL ||
                               (m_zone_display == ZONE_DISPLAY_CONNECTED && anchor->get_links_count() > 0);
            if (anchor->get_is_hidden() == shown && !get_is_hidden()) anchor->set_is_hidden(!shown, true);
        }
    set_delta_in_link(GMathVec2<int>(0, -height / 2));
    set_delta_out_link(GMathVec2<int>(width, -height / 2));
}

// Drawing -------------------------------------------------------------------------------------------

void GuiNodalNode::draw(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden()) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec2<int> const& pos = get_world_pos();
    float const x = static_cast<float>(pos[0]);
    float const top = static_cast<float>(pos[1]);
    float const w = static_cast<float>(m_width);
    float const h = static_cast<float>(m_height);
    float const radius = static_cast<float>(get_border_size());
    unsigned char const alpha = static_cast<unsigned char>(get_is_ghost() ? m_ghost_alpha : 255);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    Color const& fill = get_bg_color();
    batch.set_color(fill[0], fill[1], fill[2], alpha);
    batch.add_rounded_rectf(x, top - h, w, h, radius);
    if (!get_state_is_active(NODE_STATE_SIMPLIFIED) && !m_zones.empty()) {
        // The body under the header is a shade darker, so the title band reads as one.
        Color const body = scaled(fill, 0.75f);
        float const header_h = static_cast<float>(m_header->get_height());
        batch.set_color(body[0], body[1], body[2], alpha);
        batch.add_rectf(x + 1.0f, top - h + radius, w - 2.0f, h - header_h - radius);
    }
    Color const border = get_is_selected() ? get_bg_highlight_color() : get_border_color();
    batch.set_color(border[0], border[1], border[2], alpha);
    batch.set_line_width(get_is_selected() ? 2.0f : 1.0f);
    batch.add_rounded_rect(x, top - h, w, h, radius);
    batch.set_line_width(1.0f);
    m_header->draw(dc);
    for (GuiNodalNodeZone* zone : m_zones)
        if (!zone->get_is_hidden()) zone->draw(dc);
    for (int i = 0; i < ANCHOR_COUNT; ++i)
        if (GuiNodalNodeBase* anchor = get_anchor(i)) anchor->draw(dc);
    gl.end_batch();
}

void GuiNodalNode::draw_select(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden()) return;
    draw_pick_box(dc);
    for (int i = 0; i < ANCHOR_COUNT; ++i)
        if (GuiNodalNodeBase* anchor = get_anchor(i)) anchor->draw_select(dc);
}
