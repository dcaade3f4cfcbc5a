#include "gui/nodal/gui_nodal_node.h"

#include <algorithm>
#include <cmath>

#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "host/app/app_base.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNodalNode, GuiNodalNodeBase)

namespace {

// Rounds half away from zero.
int round_half_away(double value)
{
    return static_cast<int>(std::lround(value));
}

// The header's buttons: the plug button's edge, the gap between buttons and the count
// buttons' margin around their number.
constexpr int PLUG_BUTTON_SIZE = 12;
constexpr int BUTTON_GAP = 3;
constexpr int COUNT_MARGIN = 4;
// The delayed fade-out waits while the pointer stays this close to the box (a fraction of its
// width and height on each side).
constexpr float FADE_OUT_MARGIN = 0.15f;
// Times are milliseconds since the start as doubles: differences of them are off by far less.
constexpr double CLOCK_ROUNDING = 1e-6;
constexpr unsigned int FADING_STATES = GuiNodalNodeBase::NODE_STATE_FADING_IN |
                                       GuiNodalNodeBase::NODE_STATE_FADING_IN_DELAYED |
                                       GuiNodalNodeBase::NODE_STATE_FADING_OUT |
                                       GuiNodalNodeBase::NODE_STATE_FADING_OUT_DELAYED;

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
    if (m_fade_timer)
        if (AppBase* app = AppBase::get_instance()) app->remove_timer(m_fade_timer);
    set_embedded_node(nullptr);
    if (GuiNodalNode* host = get_embedding_node()) host->m_embedded_node = nullptr;
    for (GuiNodalNodeZoneButton* button : get_header_buttons()) delete button;
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
    for (GuiNodalNodeZone* zone : m_zones) zone->set_anchors_color(color);
    if (m_embedded_node) m_embedded_node->set_color(color);
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
    if (m_pass_through == &zone) set_pass_through(nullptr);
    m_zones.erase(found);
    delete &zone;
    set_dirty();
}

GuiNodalNodeZone* GuiNodalNode::get_zone(size_t const& index) const
{
    std::vector<GuiNodalNodeZone*> const& zones = get_zones();
    return index < zones.size() ? zones[index] : nullptr;
}

std::vector<GuiNodalNodeZone*> const& GuiNodalNode::get_zones() const
{
    return m_embedded_node ? m_embedded_node->m_zones : m_zones;
}

bool GuiNodalNode::is_plug_zone(GuiNodalNodeZone const& zone)
{
    return zone.get_active_anchors() != 0;
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
    // Rows come and go with their plugs: the node's size changes.
    get_graph().invalidate_pick_index();
}

void GuiNodalNode::turn_header_to_footer(bool const& footer)
{
    m_header->set_footer(footer);
}

void GuiNodalNode::switch_position()
{
    m_switched = !m_switched;
    set_dirty();
}

void GuiNodalNode::center_icon(bool const& centered)
{
    m_centered_icon = centered;
    set_dirty();
}

GuiNodalNodeBase::Roundness GuiNodalNode::get_roundness(bool const&) const
{
    return ROUNDNESS_SQUARE;
}

// Header buttons ------------------------------------------------------------------------------------

void GuiNodalNode::add_plug_button()
{
    if (m_plug_button) return;
    m_plug_button = new GuiNodalNodeZoneButton(*this, 0, 0, PLUG_BUTTON_SIZE, PLUG_BUTTON_SIZE);
    m_plug_button->set_shape(m_zone_display == ZONE_DISPLAY_ALL ? GuiNodalNodeZoneButton::SHAPE_COLLAPSE
                                                                : GuiNodalNodeZoneButton::SHAPE_EXPAND);
    connect(*m_plug_button, EVT_ID_NODAL_BUTTON_CLICK, &GuiNodalNode::on_plug_button);
    set_dirty();
}

void GuiNodalNode::remove_plug_button()
{
    delete m_plug_button;
    m_plug_button = nullptr;
    set_dirty();
}

void GuiNodalNode::on_plug_button(GuiNodalNodeZoneButton&, EventInfo const&, void*)
{
    set_zones_display_mode(m_zone_display == ZONE_DISPLAY_ALL ? ZONE_DISPLAY_CONNECTED : ZONE_DISPLAY_ALL);
}

void GuiNodalNode::set_references_count(unsigned int const& count)
{
    set_count(m_references_count, m_references_button, count);
}

void GuiNodalNode::set_dependencies_count(unsigned int const& count)
{
    set_count(m_dependencies_count, m_dependencies_button, count);
}

void GuiNodalNode::set_count(unsigned int& count, GuiNodalNodeZoneButton*& button, unsigned int const& value)
{
    count = value;
    if (value == 0) {
        delete button;
        button = nullptr;
    } else if (!button) {
        button = new GuiNodalNodeZoneButton(*this, 0, 0, PLUG_BUTTON_SIZE, PLUG_BUTTON_SIZE);
    }
    set_dirty();
}

std::vector<GuiNodalNodeZoneButton*> GuiNodalNode::get_header_buttons() const
{
    std::vector<GuiNodalNodeZoneButton*> buttons;
    for (GuiNodalNodeZoneButton* button : {m_plug_button, m_references_button, m_dependencies_button})
        if (button) buttons.push_back(button);
    return buttons;
}

void GuiNodalNode::place_header_buttons()
{
    bool const simplified = get_state_is_active(NODE_STATE_SIMPLIFIED);
    int right = m_width - get_border_size();
    int const band_top = m_header->get_local_pos()[1];
    int const band_height = m_header->get_height();
    for (GuiNodalNodeZoneButton* button : get_header_buttons()) {
        right -= button->get_width();
        button->set_local_pos(GMathVec2<int>(right, band_top - (band_height - button->get_height()) / 2));
        button->set_is_hidden(simplified || get_is_hidden(), false);
        right -= BUTTON_GAP;
    }
    if (m_plug_button)
        m_plug_button->set_shape(m_zone_display == ZONE_DISPLAY_ALL ? GuiNodalNodeZoneButton::SHAPE_COLLAPSE
                                                                    : GuiNodalNodeZoneButton::SHAPE_EXPAND);
}

// Embedded node -------------------------------------------------------------------------------------

void GuiNodalNode::set_embedded_node(GuiNodalNode* node)
{
    if (node == m_embedded_node) return;
    if (node && (node == this || is_child_of(*node) || node->m_embedded || &node->get_graph() != &get_graph())) {
        CORE_LOG_WARNING("GuiNodalNode.set_embedded_node: \"" << node->get_name() << "\" cannot be shown inside \""
                                                              << get_name() << "\"; it keeps its place\n");
        return;
    }
    if (GuiNodalNode* old = m_embedded_node) {
        old->m_embedded = false;
        remove_child(*old);
        old->set_world_pos_dirty();
        old->set_dirty();
    }
    m_embedded_node = node;
    if (node) {
        node->m_embedded = true;
        add_child(*node);
        node->set_local_pos(GMathVec2<int>(0, 0));
        // Its own plugs give way to this node's sides.
        for (int i = 0; i < ANCHOR_COUNT; ++i)
            if (GuiNodalNodeBase* anchor = node->get_anchor(i)) anchor->set_is_hidden(true, true);
    }
    set_dirty();
}

GuiNodalNode* GuiNodalNode::get_embedding_node() const
{
    if (!m_embedded || !get_parent() || !get_parent()->is_kindof(GuiNodalNode::class_info())) return nullptr;
    return static_cast<GuiNodalNode*>(get_parent());
}

GuiNodalNodeBase* GuiNodalNode::get_owner_node(GuiNodalNodeBase* box, bool const& through_embedding)
{
    while (box && box->get_parent() && box->is_kindof(GuiNodalNodeZone::class_info())) box = box->get_parent();
    if (!through_embedding) return box;
    // Only a node with a parent can be shown inside another.
    while (box && box->get_parent() && box->is_kindof(GuiNodalNode::class_info()))
        if (GuiNodalNode* host = static_cast<GuiNodalNode*>(box)->get_embedding_node())
            box = host;
        else
            break;
    return box;
}

// Pass-through --------------------------------------------------------------------------------------

void GuiNodalNode::set_pass_through(GuiNodalNodeZone* zone)
{
    if (zone && (std::find(m_zones.begin(), m_zones.end(), zone) == m_zones.end() || !is_plug_zone(*zone))) {
        CORE_LOG_WARNING("GuiNodalNode.set_pass_through: the zone is not a plug row of \"" << get_name()
                                                                                          << "\"; nothing changes\n");
        return;
    }
    for (GuiNodalNodeZone* row : {m_pass_through, zone})
        if (row)
            for (int i = 0; i < ANCHOR_COUNT; ++i)
                if (GuiNodalNodeZoneAnchor* plug = row->get_anchor(i)) plug->set_pass_through(row == zone);
    m_pass_through = zone;
    set_dirty();
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
    if (m_embedded) {
        // The node that shows this one's zones lays them out.
        for (GuiNodalNodeZone* zone : m_zones) zone->update_content(dc);
        GuiNodalItem::set_draw_state(DRAW_STATE_UP_TO_DATE);
        return;
    }
    if (get_graph().is_simplified())
        activate_state(NODE_STATE_SIMPLIFIED);
    else
        desactivate_state(NODE_STATE_SIMPLIFIED);
    m_header->update_size();
    for (GuiNodalNodeZone* zone : get_zones()) zone->update_content(dc);
    compute_size();
    update_self_plugs(dc);
    // The zones' own updates marked the node again: the layout above holds.
    GuiNodalItem::set_draw_state(DRAW_STATE_UP_TO_DATE);
}

bool GuiNodalNode::is_plug_shown(GuiNodalNodeBase const& plug) const
{
    if (m_expanded) return true;
    switch (m_zone_display) {
        case ZONE_DISPLAY_ALL: return true;
        case ZONE_DISPLAY_CONNECTED: return plug.get_links_count() > 0;
        case ZONE_DISPLAY_NONE: return false;
    }
    return true;
}

void GuiNodalNode::compute_size()
{
    bool const simplified = get_state_is_active(NODE_STATE_SIMPLIFIED);
    std::vector<GuiNodalNodeZone*> const& zones = get_zones();
    int buttons = 0;
    for (GuiNodalNodeZoneButton* button : get_header_buttons()) buttons += button->get_width() + BUTTON_GAP;
    int width = std::max(m_header->get_width() + (simplified ? 0 : buttons), get_min_width());
    int height = m_header->get_height();
    // A plug row shows while one of its plugs does; other zones show unless simplified.
    std::vector<bool> shown(zones.size(), false);
    for (size_t i = 0; i < zones.size(); ++i) {
        GuiNodalNodeZone const& zone = *zones[i];
        bool visible = !simplified;
        if (visible && is_plug_zone(zone)) {
            visible = false;
            for (int side = 0; side < ANCHOR_COUNT; ++side)
                if (GuiNodalNodeBase const* plug = zone.get_anchor(side)) visible = visible || is_plug_shown(*plug);
        }
        shown[i] = visible;
        if (!visible) continue;
        width = std::max(width, zone.get_width());
        height += zone.get_height();
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
    for (size_t i = 0; i < zones.size(); ++i) {
        GuiNodalNodeZone* zone = zones[i];
        zone->set_local_pos(GMathVec2<int>(0, y));
        if (zone->get_is_hidden() == shown[i] && !get_is_hidden()) zone->set_is_hidden(!shown[i], true);
        if (shown[i]) y -= zone->get_height();
    }
    if (m_header->is_footer()) m_header->set_local_pos(GMathVec2<int>(0, -(height - m_header->get_height())));
    place_header_buttons();
}

void GuiNodalNode::set_is_hidden(bool hidden, bool const& recursive)
{
    GuiNodalNodeBase::set_is_hidden(hidden, recursive);
    if (!hidden && recursive) set_dirty();
}

void GuiNodalNode::update_self_plugs(GuiDc&)
{
    int const width = m_width;
    int const height = m_height;
    // Inputs on the left and outputs on the right, or the other way once switched.
    int const input_x = m_switched ? width : 0;
    int const output_x = m_switched ? 0 : width;
    int const places[ANCHOR_COUNT][2] = {
        {input_x, -height / 2}, {output_x, -height / 2}, {width / 2, 0}, {width / 2, -height}};
    for (int i = 0; i < ANCHOR_COUNT; ++i)
        if (GuiNodalNodeBase* anchor = get_anchor(i)) {
            anchor->set_local_pos(GMathVec2<int>(places[i][0], places[i][1]));
            bool const shown = is_plug_shown(*anchor) && !m_embedded;
            if (anchor->get_is_hidden() == shown && !get_is_hidden()) anchor->set_is_hidden(!shown, true);
        }
    // A row's plugs sit on the node's sides at the row's mid-height; the row's own position
    // is relative to the node, so the sides are at 0 and the node's width.
    for (GuiNodalNodeZone* zone : get_zones()) {
        int const middle = -zone->get_height() / 2;
        for (int i = 0; i < ANCHOR_COUNT; ++i) {
            GuiNodalNodeBase* plug = zone->get_anchor(i);
            if (!plug) continue;
            int const x = i == 0 ? input_x : i == 1 ? output_x : width / 2;
            int const y = i == 2 ? 0 : i == 3 ? -zone->get_height() : middle;
            plug->set_local_pos(GMathVec2<int>(x, y));
            bool const shown = !zone->get_is_hidden() && is_plug_shown(*plug);
            if (plug->get_is_hidden() == shown && !get_is_hidden()) plug->set_is_hidden(!shown, true);
        }
    }
    set_delta_in_link(GMathVec2<int>(input_x, -height / 2));
    set_delta_out_link(GMathVec2<int>(output_x, -height / 2));
}

// Drawing -------------------------------------------------------------------------------------------

namespace {

// Grows what the node draws around its centre while it is scaled; undoes it when it goes.
class ScaledDrawing {
public:
    ScaledDrawing(GuiDc& dc, GuiNodalNode const& node) : m_dc(static_cast<GuiGlWidgetDc&>(dc))
    {
        float const scale = node.get_animated_scale();
        m_active = scale != 1.0f;
        if (!m_active) return;
        GMathVec2<int> const& pos = node.get_world_pos();
        m_dc.push_scale_about(pos[0] + node.get_width() / 2.0f, pos[1] - node.get_height() / 2.0f, scale);
    }
    ~ScaledDrawing()
    {
        if (m_active) m_dc.pop_transform();
    }
    ScaledDrawing(ScaledDrawing const&) = delete;
    ScaledDrawing& operator=(ScaledDrawing const&) = delete;

private:
    GuiGlWidgetDc& m_dc;
    bool m_active = false;
};

}  // namespace

void GuiNodalNode::draw(GuiDc& dc)
{
    update_content(dc);
    // An embedded node is drawn by the node that shows it.
    if (get_is_hidden() || m_embedded) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    gl.begin_batch();
    {
        ScaledDrawing scaled(dc, *this);
        _draw(dc);
    }
    gl.end_batch();
}

void GuiNodalNode::_draw(GuiDc& dc)
{
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec2<int> const& pos = get_world_pos();
    float const x = static_cast<float>(pos[0]);
    float const top = static_cast<float>(pos[1]);
    float const w = static_cast<float>(m_width);
    float const h = static_cast<float>(m_height);
    Roundness const roundness = get_roundness(get_is_selected());
    float const radius = get_corner_radius(roundness, w, h);
    unsigned char const alpha = static_cast<unsigned char>(get_is_ghost() ? m_ghost_alpha : 255);
    bool const simplified = get_state_is_active(NODE_STATE_SIMPLIFIED);
    std::vector<GuiNodalNodeZone*> const& zones = get_zones();
    GuiGlBatch& batch = gl.get_batch();
    batch.load_gl_matrices();
    Color const& fill = get_bg_color();
    batch.set_color(fill[0], fill[1], fill[2], alpha);
    draw_round_rect(dc, roundness, x, top - h, w, h, true);
    if (!simplified && !zones.empty()) {
        // The body under the header is a shade darker, so the title band reads as one.
        Color const body = scaled(fill, 0.75f);
        float const header_h = static_cast<float>(m_header->get_height());
        batch.set_color(body[0], body[1], body[2], alpha);
        batch.add_rectf(x + 1.0f, top - h + radius, w - 2.0f, h - header_h - radius);
    }
    Color const border = get_outline_color();
    batch.set_color(border[0], border[1], border[2], alpha);
    if (get_is_selected())
        draw_thick_frame(dc, x, top - h, w, h, 2.0f * get_graph().get_zoom_ratio_r(), roundness);  // 2 pixels
    else
        draw_round_rect(dc, roundness, x, top - h, w, h, false);
    m_header->draw(dc);
    for (GuiNodalNodeZone* zone : zones)
        if (!zone->get_is_hidden()) zone->draw(dc);
    if (m_pass_through && !m_pass_through->get_is_hidden() && !simplified) {
        // A faint band joins the row's plugs over the body: the input goes straight through.
        GMathVec2<int> const& row = m_pass_through->get_world_pos();
        float const row_h = static_cast<float>(m_pass_through->get_height());
        Color const& plug = m_pass_through->get_bg_normal_color();
        batch.load_gl_matrices();
        batch.set_color(plug[0], plug[1], plug[2], static_cast<unsigned char>(m_passthrough_alpha * 4));
        batch.add_rectf(x, row[1] - row_h * 0.75f, w, row_h * 0.5f);
    }
    for (GuiNodalNodeZoneButton* button : get_header_buttons()) button->draw(dc);
    for (GuiNodalNodeZoneButton* button : {m_references_button, m_dependencies_button})
        if (button && !button->get_is_hidden()) {
            // The count over its button.
            unsigned int const count = button == m_references_button ? m_references_count : m_dependencies_count;
            GMathVec2<int> const& at = button->get_world_pos();
            GuiFont const& font = m_header->get_lines().front().font;
            get_graph().add_text(gl, font, CoreString() + count, static_cast<float>(at[0] + COUNT_MARGIN / 2),
                                 static_cast<float>(at[1] - button->get_height() + 2), get_text_color());
        }
    for (int i = 0; i < ANCHOR_COUNT; ++i)
        if (GuiNodalNodeBase* anchor = get_anchor(i)) anchor->draw(dc);
    for (GuiNodalNodeZone* zone : zones)
        for (int i = 0; i < ANCHOR_COUNT; ++i)
            if (GuiNodalNodeBase* plug = zone->get_anchor(i)) plug->draw(dc);
}

void GuiNodalNode::draw_mini(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden() || m_embedded) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    gl.begin_batch();
    _draw_mini(dc);
    gl.end_batch();
}

void GuiNodalNode::_draw_mini(GuiDc& dc)
{
    draw_mini_box(dc, get_is_selected() ? get_outline_color() : get_bg_normal_color(),
                  static_cast<unsigned char>(get_is_ghost() ? m_ghost_alpha : 255));
}

void GuiNodalNode::draw_select(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden() || m_embedded) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    gl.begin_batch();
    {
        ScaledDrawing scaled(dc, *this);
        draw_pick_box(dc);
        for (GuiNodalNodeZoneButton* button : get_header_buttons()) button->draw_select(dc);
        for (GuiNodalNodeZone* zone : get_zones())
            if (!zone->get_is_hidden()) zone->draw_select(dc);
        for (int i = 0; i < ANCHOR_COUNT; ++i)
            if (GuiNodalNodeBase* anchor = get_anchor(i)) anchor->draw_select(dc);
        for (GuiNodalNodeZone* zone : get_zones())
            for (int i = 0; i < ANCHOR_COUNT; ++i)
                if (GuiNodalNodeBase* plug = zone->get_anchor(i)) plug->draw_select(dc);
    }
    gl.end_batch();
}

// Picking -------------------------------------------------------------------------------------------

void GuiNodalNode::get_zoomed_offset(GMathVec2<float>& offset) const
{
    // Grown around the centre: the corner moves out by half the growth of each side.
    float const growth = 1.0f - get_animated_scale();
    offset = GMathVec2<float>(0.5f * growth * m_width, -0.5f * growth * m_height);
}

GMathVec2<int> GuiNodalNode::get_unzoomed_offset() const
{
    GMathVec2<float> offset;
    get_zoomed_offset(offset);
    return GMathVec2<int>(static_cast<int>(std::lround(offset[0])), static_cast<int>(std::lround(offset[1])));
}

void GuiNodalNode::get_bbox(GMathVec2<int>& min, GMathVec2<int>& max) const
{
    GuiNodalNodeBase::get_bbox(min, max);
    float const scale = get_animated_scale();
    if (scale == 1.0f) return;
    float const half_w = 0.5f * m_width * scale;
    float const half_h = 0.5f * m_height * scale;
    float const cx = 0.5f * (min[0] + max[0]);
    float const cy = 0.5f * (min[1] + max[1]);
    min = GMathVec2<int>(static_cast<int>(std::floor(cx - half_w)), static_cast<int>(std::floor(cy - half_h)));
    max = GMathVec2<int>(static_cast<int>(std::ceil(cx + half_w)), static_cast<int>(std::ceil(cy + half_h)));
}

GuiNodalItem* GuiNodalNode::pick(GMathVec2<float> const& at)
{
    update_content(get_graph().get_dc());
    if (get_is_hidden() || m_embedded) return nullptr;
    // A grown node is drawn scaled around its centre: bring the point back to its layout.
    GMathVec2<float> point = at;
    if (float const scale = get_animated_scale(); scale != 1.0f) {
        GMathVec2<int> const& pos = get_world_pos();
        float const cx = pos[0] + m_width / 2.0f;
        float const cy = pos[1] - m_height / 2.0f;
        point = GMathVec2<float>(cx + (at[0] - cx) / scale, cy + (at[1] - cy) / scale);
    }
    auto const plug_at = [&point](GuiNodalNodeBase const& owner) -> GuiNodalNodeZoneAnchor* {
        for (int i = 0; i < ANCHOR_COUNT; ++i) {
            GuiNodalNodeZoneAnchor* plug = owner.get_anchor(i);
            if (!plug || plug->get_is_hidden()) continue;
            GMathVec2<int> const& centre = plug->get_world_pos();
            float const half = 0.5f * plug->get_width() * plug->get_shape_factor();
            if (std::fabs(point[0] - centre[0]) <= half && std::fabs(point[1] - centre[1]) <= half) return plug;
        }
        return nullptr;
    };
    std::vector<GuiNodalNodeZone*> const& zones = get_zones();
    if (GuiNodalNodeZoneAnchor* plug = plug_at(*this)) return plug;
    for (GuiNodalNodeZone* zone : zones)
        if (!zone->get_is_hidden())
            if (GuiNodalNodeZoneAnchor* plug = plug_at(*zone)) return plug;
    if (!box_holds(get_world_pos(), m_width, m_height, point)) return nullptr;
    for (GuiNodalNodeZoneButton* button : get_header_buttons())
        if (!button->get_is_hidden() && box_holds(button->get_world_pos(), button->get_width(), button->get_height(), point))
            return button;
    // Buttons of zones (an image's resize corner) before the zones.
    for (GuiNodalNodeZone* zone : zones)
        if (!zone->get_is_hidden())
            for (GuiNodalNodeBase* child : zone->get_children())
                if (child->is_kindof(GuiNodalNodeZoneButton::class_info()) && !child->get_is_hidden() &&
                    box_holds(child->get_world_pos(), child->get_width(), child->get_height(), point))
                    return child;
    if (!m_header->get_is_hidden() && box_holds(m_header->get_world_pos(), m_width, m_header->get_height(), point))
        return m_header;
    for (GuiNodalNodeZone* zone : zones)
        if (!zone->get_is_hidden() && box_holds(zone->get_world_pos(), m_width, zone->get_height(), point)) return zone;
    return this;
}

// Growing on hover ----------------------------------------------------------------------------------

float GuiNodalNode::get_fade_in_target() const
{
    return std::max(1.0f / get_graph().get_zoom_ratio(), 1.0f);
}

void GuiNodalNode::restart_fading_clock(double const& now)
{
    m_fade_start = now;
    m_fade_from = get_scale();
}

void GuiNodalNode::begin_fade_in()
{
    GuiNodal& graph = get_graph();
    if (!m_animatable || (!graph.is_node_zoom_allowed() && !graph.is_link_interaction())) return;
    if (graph.get_zoom_ratio() >= 1.0f && !graph.is_auto_expand_allowed()) return;
    AppBase* app = AppBase::get_instance();
    desactivate_state(FADING_STATES);
    activate_state(NODE_STATE_FADING_IN_DELAYED);
    restart_fading_clock(app ? app->get_run_time() : 0.0);
    if (app && !m_fade_timer) m_fade_timer = app->add_timer(&GuiNodalNode::manage_fading, this, 0.0);
}

void GuiNodalNode::begin_fade_out()
{
    if (!get_is_fading() && get_scale() == 1.0f && !m_expanded) return;
    AppBase* app = AppBase::get_instance();
    desactivate_state(FADING_STATES);
    activate_state(NODE_STATE_FADING_OUT_DELAYED);
    restart_fading_clock(app ? app->get_run_time() : 0.0);
    if (app && !m_fade_timer) m_fade_timer = app->add_timer(&GuiNodalNode::manage_fading, this, 0.0);
}

void GuiNodalNode::set_display_expanded(bool const& expanded)
{
    if (m_expanded == expanded) return;
    m_expanded = expanded;
    set_dirty();
    get_graph().invalidate_pick_index();
}

bool GuiNodalNode::step_fading(double const& now)
{
    GuiNodal& graph = get_graph();
    double const elapsed = now - m_fade_start;
    bool going = true;
    if (graph.get_zoom_ratio() >= 1.0f && !m_expanded && !graph.is_auto_expand_allowed()) {
        // Nothing to grow back to at full size.
        desactivate_state(FADING_STATES);
        set_scale(1.0f);
        going = false;
    } else if (get_state_is_active(NODE_STATE_FADING_IN_DELAYED)) {
        if (elapsed + CLOCK_ROUNDING >= graph.get_node_highlight_delay()) {
            desactivate_state(NODE_STATE_FADING_IN_DELAYED);
            activate_state(NODE_STATE_FADING_IN);
            restart_fading_clock(now);
        }
    } else if (get_state_is_active(NODE_STATE_FADING_OUT_DELAYED)) {
        // Postponed while the pointer stays near the box.
        GMathVec2<int> const& pos = get_world_pos();
        GMathVec2<int> const& mouse = graph.get_graph_mouse_pos();
        float const mx = FADE_OUT_MARGIN * m_width;
        float const my = FADE_OUT_MARGIN * m_height;
        bool const near = mouse[0] >= pos[0] - mx && mouse[0] <= pos[0] + m_width + mx && mouse[1] <= pos[1] + my &&
                          mouse[1] >= pos[1] - m_height - my;
        if (near) {
            m_fade_start = now;
        } else if (elapsed + CLOCK_ROUNDING >= graph.get_node_highlight_delay()) {
            desactivate_state(NODE_STATE_FADING_OUT_DELAYED);
            activate_state(NODE_STATE_FADING_OUT);
            restart_fading_clock(now);
        }
    } else if (get_state_is_active(NODE_STATE_FADING_IN) || get_state_is_active(NODE_STATE_FADING_OUT)) {
        bool const growing = get_state_is_active(NODE_STATE_FADING_IN);
        float const target = growing ? get_fade_in_target() : 1.0f;
        // Whole steps elapsed; the clock's rounding must not lose the step it just reached.
        double const steps = std::floor(elapsed * FADE_STEPS / FADE_DURATION + CLOCK_ROUNDING);
        if (steps >= FADE_STEPS) {
            desactivate_state(FADING_STATES);
            set_scale(target);
            // Grown for a link being connected, the node offers all its plugs until it shrinks.
            set_display_expanded(growing && graph.is_auto_expand_allowed());
            going = false;
        } else {
            set_scale(m_fade_from + (target - m_fade_from) * static_cast<float>(steps / FADE_STEPS));
        }
    } else {
        going = false;
    }
    set_dirty();
    graph.invalidate_pick_index();
    graph.redraw();
    return going;
}

void GuiNodalNode::manage_fading(void* data)
{
    auto* node = static_cast<GuiNodalNode*>(data);
    AppBase* app = AppBase::get_instance();
    if (!app) return;
    if (node->step_fading(app->get_run_time()))
        app->repeat_timer(FADE_TIMER_PERIOD / 1000.0);
    else
        node->m_fade_timer = 0;
}
