#include "gui/nodal/gui_nodal_node_base.h"

#include <algorithm>
#include <cmath>

#include "gui/core/gui_color_scheme.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "host/core/core_log.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "host/gmath/gmath_color.h"

CORE_IMPLEMENT_CLASS(GuiNodalNodeBase, GuiNodalItem)

namespace {

// Anchor bits in their slot order: left, right, up, bottom.
constexpr unsigned int ANCHOR_BITS[GuiNodalNodeBase::ANCHOR_COUNT] = {
    GuiNodalNodeBase::NODE_ANCHOR_LEFT, GuiNodalNodeBase::NODE_ANCHOR_RIGHT, GuiNodalNodeBase::NODE_ANCHOR_UP,
    GuiNodalNodeBase::NODE_ANCHOR_BOTTOM};

}  // namespace

char const* GuiNodalNodeBase::get_node_state_name(unsigned int const& state)
{
    switch (state) {
        case NODE_STATE_SELECTED: return "NODE_STATE_SELECTED";
        case NODE_STATE_HIGHLIGHTED: return "NODE_STATE_HIGHLIGHTED";
        case NODE_STATE_DISABLED: return "NODE_STATE_DISABLED";
        case NODE_STATE_FADING_IN: return "NODE_STATE_FADING_IN";
        case NODE_STATE_FADING_IN_DELAYED: return "NODE_STATE_FADING_IN_DELAYED";
        case NODE_STATE_FADING_OUT: return "NODE_STATE_FADING_OUT";
        case NODE_STATE_FADING_OUT_DELAYED: return "NODE_STATE_FADING_OUT_DELAYED";
        case NODE_STATE_SIMPLIFIED: return "NODE_STATE_SIMPLIFIED";
        case NODE_STATE_HIDDEN: return "NODE_STATE_HIDDEN";
        case NODE_STATE_PRESELECTED: return "NODE_STATE_PRESELECTED";
        case NODE_STATE_MOVING: return "NODE_STATE_MOVING";
        case NODE_STATE_COLLAPSED: return "NODE_STATE_COLLAPSED";
        case NODE_STATE_GHOST: return "NODE_STATE_GHOST";
        case NODE_STATE_GUEST_IN: return "NODE_STATE_GUEST_IN";
        default: return "";
    }
}

char const* GuiNodalNodeBase::get_node_anchor_name(unsigned int const& anchor)
{
    switch (anchor) {
        case NODE_ANCHOR_LEFT: return "NODE_ANCHOR_LEFT";
        case NODE_ANCHOR_RIGHT: return "NODE_ANCHOR_RIGHT";
        case NODE_ANCHOR_SIDES: return "NODE_ANCHOR_SIDES";
        case NODE_ANCHOR_UP: return "NODE_ANCHOR_UP";
        case NODE_ANCHOR_ALL: return "NODE_ANCHOR_ALL";
        default: return "";
    }
}

GuiNodalNodeBase::GuiNodalNodeBase(GuiNodalNodeBase* parent, GuiNodal& graph, int const& x, int const& y,
                                   unsigned int const& anchors)
    : GuiNodalItem(graph), m_local_pos(x, y)
{
    using Scheme = GuiColorScheme;
    set_bg_normal_color(graph.get_color(Scheme::GROUP_NORMAL, Scheme::ROLE_BACKGROUND_LIGHT));
    set_bg_highlight_color(graph.get_color(Scheme::GROUP_NORMAL, Scheme::ROLE_HOVER));
    set_bg_selected_color(graph.get_color(Scheme::GROUP_NORMAL, Scheme::ROLE_SELECTION));
    set_bg_disabled_color(graph.get_color(Scheme::GROUP_DISABLED, Scheme::ROLE_BACKGROUND_LIGHT));
    set_text_colors(graph.get_color(Scheme::GROUP_NORMAL, Scheme::ROLE_TEXT),
                    graph.get_color(Scheme::GROUP_NORMAL, Scheme::ROLE_TEXT_SELECTED),
                    graph.get_color(Scheme::GROUP_DISABLED, Scheme::ROLE_TEXT),
                    graph.get_color(Scheme::GROUP_NORMAL, Scheme::ROLE_HIGHLIGHT));
    if (parent) parent->add_child(*this);
    for (unsigned int const bit : ANCHOR_BITS)
        if (anchors & bit) activate_anchor(bit);
}

GuiNodalNodeBase::~GuiNodalNodeBase()
{
    // Links still attached (a box destroyed other than through its view) let go of it rather
    // than keep a pointer to it.
    for (GuiNodalLink* link : m_links) link->forget_end(*this);
    m_links.clear();
    desactivate_anchor(NODE_ANCHOR_ALL);
    for (GuiNodalNodeBase* child : m_children) child->m_parent = nullptr;
    if (m_parent) m_parent->remove_child(*this);
}

// Item ----------------------------------------------------------------------------------------------

void GuiNodalNodeBase::set_is_highlighted(bool const& highlighted)
{
    if (highlighted)
        activate_state(NODE_STATE_HIGHLIGHTED);
    else
        desactivate_state(NODE_STATE_HIGHLIGHTED);
}

bool GuiNodalNodeBase::get_is_highlighted() const
{
    return m_states & NODE_STATE_HIGHLIGHTED;
}

void GuiNodalNodeBase::set_draw_state(ItemDrawState const& state)
{
    GuiNodalItem::set_draw_state(state);
    if (state != DRAW_STATE_DIRTY) return;
    for (GuiNodalNodeBase* ancestor = m_parent; ancestor; ancestor = ancestor->m_parent)
        ancestor->GuiNodalItem::set_draw_state(DRAW_STATE_DIRTY);
}

// Tree ----------------------------------------------------------------------------------------------

bool GuiNodalNodeBase::is_child_of(GuiNodalNodeBase const& ancestor) const
{
    for (GuiNodalNodeBase const* node = m_parent; node; node = node->m_parent)
        if (node == &ancestor) return true;
    return false;
}

void GuiNodalNodeBase::add_child(GuiNodalNodeBase& child)
{
    if (&child == this || is_child_of(child)) return;  // no cycles
    if (child.m_parent && child.m_parent != this) child.m_parent->remove_child(child);
    if (std::find(m_children.begin(), m_children.end(), &child) == m_children.end()) m_children.push_back(&child);
    child.m_parent = this;
    child.set_world_pos_dirty();
    set_dirty();
}

void GuiNodalNodeBase::remove_child(GuiNodalNodeBase& child)
{
    auto const found = std::find(m_children.begin(), m_children.end(), &child);
    if (found == m_children.end()) return;
    m_children.erase(found);
    child.m_parent = nullptr;
    child.set_world_pos_dirty();
    set_dirty();
}

// Links ---------------------------------------------------------------------------------------------

void GuiNodalNodeBase::add_link(GuiNodalLink& link)
{
    if (std::find(m_links.begin(), m_links.end(), &link) != m_links.end()) return;
    m_links.push_back(&link);
    set_dirty();  // a node showing only connected plugs shows this one now
}

void GuiNodalNodeBase::remove_link(GuiNodalLink& link)
{
    auto const found = std::find(m_links.begin(), m_links.end(), &link);
    if (found == m_links.end()) return;
    *found = m_links.back();
    m_links.pop_back();
    set_dirty();
}

namespace {

// 0: every link, 1: those leaving from the subtree, 2: those arriving at it.
void collect_links(GuiNodalNodeBase const& node, int const& which, std::vector<GuiNodalLink*>& links)
{
    for (size_t i = 0; i < node.get_links_count(); ++i) {
        GuiNodalLink* link = node.get_link(i);
        bool const wanted = which == 0 || (which == 1 && link->get_node_from() == &node) ||
                            (which == 2 && link->get_node_to() == &node);
        if (wanted && std::find(links.begin(), links.end(), link) == links.end()) links.push_back(link);
    }
    for (GuiNodalNodeBase const* child : node.get_children()) collect_links(*child, which, links);
}

}  // namespace

void GuiNodalNodeBase::get_connexity(std::vector<GuiNodalLink*>& links) const
{
    collect_links(*this, 0, links);
}

void GuiNodalNodeBase::get_connexity_from(std::vector<GuiNodalLink*>& links) const
{
    collect_links(*this, 1, links);
}

void GuiNodalNodeBase::get_connexity_to(std::vector<GuiNodalLink*>& links) const
{
    collect_links(*this, 2, links);
}

// States --------------------------------------------------------------------------------------------

void GuiNodalNodeBase::set_collapsed(bool const& collapsed)
{
    collapsed ? activate_state(NODE_STATE_COLLAPSED) : desactivate_state(NODE_STATE_COLLAPSED);
    set_dirty();
}

void GuiNodalNodeBase::set_guest_input(bool const& guest)
{
    guest ? activate_state(NODE_STATE_GUEST_IN) : desactivate_state(NODE_STATE_GUEST_IN);
}

bool GuiNodalNodeBase::get_is_fading() const
{
    return m_states & (NODE_STATE_FADING_IN | NODE_STATE_FADING_IN_DELAYED | NODE_STATE_FADING_OUT |
                       NODE_STATE_FADING_OUT_DELAYED);
}

bool GuiNodalNodeBase::get_is_fading_in() const
{
    return m_states & (NODE_STATE_FADING_IN | NODE_STATE_FADING_IN_DELAYED);
}

void GuiNodalNodeBase::set_selected(bool selected)
{
    selected ? activate_state(NODE_STATE_SELECTED) : desactivate_state(NODE_STATE_SELECTED);
    set_bg_color(selected ? get_bg_selected_color() : get_bg_normal_color());
    m_text_color = selected ? &m_text_selected_color : &m_text_normal_color;
    set_dirty();
}

void GuiNodalNodeBase::set_is_preselected(bool const& preselected)
{
    preselected ? activate_state(NODE_STATE_PRESELECTED) : desactivate_state(NODE_STATE_PRESELECTED);
}

void GuiNodalNodeBase::set_disabled(bool disabled)
{
    disabled ? activate_state(NODE_STATE_DISABLED) : desactivate_state(NODE_STATE_DISABLED);
    set_bg_color(disabled ? get_bg_disabled_color() : get_is_selected() ? get_bg_selected_color()
                                                                          : get_bg_normal_color());
    m_text_color = disabled ? &m_text_disabled_color : &m_text_normal_color;
    set_dirty();
}

void GuiNodalNodeBase::set_ghost(bool ghost)
{
    ghost ? activate_state(NODE_STATE_GHOST) : desactivate_state(NODE_STATE_GHOST);
    for (GuiNodalNodeZoneAnchor* anchor : m_anchors)
        if (anchor) anchor->set_ghost(ghost);
    set_dirty();
}

void GuiNodalNodeBase::set_is_hidden(bool hidden, bool const& recursive)
{
    hidden ? activate_state(NODE_STATE_HIDDEN) : desactivate_state(NODE_STATE_HIDDEN);
    // Right, bottom, left, up.
    for (int const slot : {1, 3, 0, 2})
        if (m_anchors[slot]) m_anchors[slot]->set_is_hidden(hidden, true);
    if (recursive)
        for (GuiNodalNodeBase* child : m_children)
            if (child->get_parent() == this) child->set_is_hidden(hidden, true);
}

// Look ----------------------------------------------------------------------------------------------

GuiNodalItem::Color const& GuiNodalNodeBase::get_border_color() const
{
    return get_is_disabled() ? get_disabled_border_color() : m_border_color;
}

GuiNodalItem::Color GuiNodalNodeBase::get_outline_color() const
{
    if (get_is_selected()) return get_graph().get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_SELECTION);
    if (get_is_highlighted()) return adjust_color(get_border_color(), true, true);
    return get_border_color();
}

GuiNodalItem::Color const& GuiNodalNodeBase::get_disabled_border_color()
{
    static Color const disabled(70, 70, 70);
    return disabled;
}

void GuiNodalNodeBase::set_text_colors(Color const& normal, Color const& selected, Color const& disabled,
                                       Color const& highlight)
{
    m_text_normal_color = normal;
    m_text_selected_color = selected;
    m_text_disabled_color = disabled;
    m_text_highlight_color = highlight;
}

GuiNodalItem::Color GuiNodalNodeBase::compute_border_color(GMathVec3<float> const& color, bool const& force_darken,
                                                          float const& factor)
{
    float h = 0.0f, s = 0.0f, v = 0.0f;
    gmath_rgb_to_hsv(color[0], color[1], color[2], h, s, v);
    if (v <= 0.5f && !force_darken) {
        s *= factor;
        v = std::min((factor + 1.0f) * v, 1.0f);
    } else {
        v = std::max(factor * v, 0.0f);
    }
    float r = 0.0f, g = 0.0f, b = 0.0f;
    gmath_hsv_to_rgb(h, s, v, r, g, b);
    auto const to_byte = [](float c) { return static_cast<unsigned char>(std::clamp(c, 0.0f, 1.0f) * 255.0f); };
    return Color(to_byte(r), to_byte(g), to_byte(b));
}

// Geometry ------------------------------------------------------------------------------------------

void GuiNodalNodeBase::set_scale(float const& scale)
{
    m_scale = scale;
    set_world_pos_dirty();
    set_dirty();
}

void GuiNodalNodeBase::set_computed_size(int const& width, int const& height)
{
    if (width == m_computed_width && height == m_computed_height) return;
    m_computed_width = width;
    m_computed_height = height;
    notify_bbox_changed();
}

void GuiNodalNodeBase::notify_bbox_changed()
{
    // Only top-level boxes sit in backdrops; zones and members follow their parent.
    if (!m_parent) raise_event(EVENT_ID_NODAL_BBOX_CHANGED);
}

void GuiNodalNodeBase::set_local_x(int const& x)
{
    set_local_pos(GMathVec2<int>(x, m_local_pos[1]));
}

void GuiNodalNodeBase::set_local_y(int const& y)
{
    set_local_pos(GMathVec2<int>(m_local_pos[0], y));
}

void GuiNodalNodeBase::set_local_pos(GMathVec2<int> const& pos)
{
    if (pos == m_local_pos && !m_world_pos_dirty) return;
    m_local_pos = pos;
    set_world_pos_dirty();
    notify_bbox_changed();
}

void GuiNodalNodeBase::set_world_pos_dirty()
{
    m_world_pos_dirty = true;
    get_graph().invalidate_pick_index();
    // The links attached here follow the box: their curves are sampled again.
    for (GuiNodalLink* link : m_links) link->set_dirty();
    for (GuiNodalNodeBase* child : m_children) child->set_world_pos_dirty();
}

void GuiNodalNodeBase::compute_world_pos() const
{
    m_world_pos = m_parent ? m_parent->get_world_pos() + m_local_pos : m_local_pos;
    m_world_pos_dirty = false;
}

GMathVec2<int> const& GuiNodalNodeBase::get_world_pos() const
{
    if (m_world_pos_dirty) compute_world_pos();
    return m_world_pos;
}

void GuiNodalNodeBase::set_position(GMathVec2<int> const& pos)
{
    GMathVec2<int> const parent = m_parent ? m_parent->get_world_pos() : GMathVec2<int>(0, 0);
    set_local_pos(pos - parent);
}

GMathVec2<int> GuiNodalNodeBase::get_center() const
{
    GMathVec2<int> const& pos = get_world_pos();
    return GMathVec2<int>(pos[0] + get_width() / 2, pos[1] - get_height() / 2);
}

void GuiNodalNodeBase::set_center(GMathVec2<int> const& center)
{
    set_position(GMathVec2<int>(center[0] - get_width() / 2, center[1] + get_height() / 2));
}

void GuiNodalNodeBase::get_bbox(GMathVec2<int>& min, GMathVec2<int>& max) const
{
    GMathVec2<int> const& pos = get_world_pos();
    min = GMathVec2<int>(pos[0], pos[1] - get_height());
    max = GMathVec2<int>(pos[0] + get_width(), pos[1]);
}

void GuiNodalNodeBase::move(int const& dx, int const& dy)
{
    set_local_pos(GMathVec2<int>(m_local_pos[0] + dx, m_local_pos[1] + dy));
}

void GuiNodalNodeBase::move_to(int const& x, int const& y)
{
    set_position(GMathVec2<int>(x, y));
}

namespace {

// The offset times the box's scale, or times the view's inverse zoom for a box that keeps its
// size on screen; truncated.
int scaled(int const& offset, GuiNodalNodeBase const& node)
{
    float const factor = node.is_screen_size() ? node.get_graph().get_zoom_ratio_r() : node.get_scale();
    return static_cast<int>(static_cast<float>(offset) * factor);
}

}  // namespace

int GuiNodalNodeBase::get_in_link_x() const
{
    return get_world_pos()[0] + scaled(m_delta_in_link[0], *this);
}

int GuiNodalNodeBase::get_in_link_y() const
{
    return get_world_pos()[1] + scaled(m_delta_in_link[1], *this);
}

int GuiNodalNodeBase::get_out_link_x() const
{
    return get_world_pos()[0] + scaled(m_delta_out_link[0], *this);
}

int GuiNodalNodeBase::get_out_link_y() const
{
    return get_world_pos()[1] + scaled(m_delta_out_link[1], *this);
}

unsigned int GuiNodalNodeBase::set_depth(unsigned int depth)
{
    m_depth = depth;
    return depth + 1;
}

// Anchors -------------------------------------------------------------------------------------------

int GuiNodalNodeBase::get_anchor_slot(unsigned int const& anchor)
{
    for (int slot = 0; slot < ANCHOR_COUNT; ++slot)
        if (ANCHOR_BITS[slot] == anchor) return slot;
    return -1;
}

void GuiNodalNodeBase::activate_anchor(unsigned int const& anchor)
{
    int const slot = get_anchor_slot(anchor);
    if (slot < 0 || m_anchors[slot]) return;
    auto* made = new GuiNodalNodeZoneAnchor(*this, static_cast<NodeAnchor>(anchor));
    made->set_bg_normal_color(get_bg_normal_color());
    m_anchors[slot] = made;
    m_active_anchors |= anchor;
    set_dirty();
}

void GuiNodalNodeBase::desactivate_anchor(unsigned int const& anchors)
{
    for (int slot = 0; slot < ANCHOR_COUNT; ++slot) {
        if (!(anchors & ANCHOR_BITS[slot]) || !m_anchors[slot]) continue;
        GuiNodalNodeZoneAnchor* anchor = m_anchors[slot];
        m_anchors[slot] = nullptr;
        m_active_anchors &= ~ANCHOR_BITS[slot];
        delete anchor;
        set_dirty();
    }
}

GuiNodalNodeZoneAnchor* GuiNodalNodeBase::get_anchor(NodeAnchor const& anchor) const
{
    int const slot = get_anchor_slot(anchor);
    return slot < 0 ? nullptr : m_anchors[slot];
}

GuiNodalNodeZoneAnchor* GuiNodalNodeBase::get_anchor(int const& index) const
{
    return index >= 0 && index < ANCHOR_COUNT ? m_anchors[index] : nullptr;
}

void GuiNodalNodeBase::set_anchors_color(Color const& color)
{
    for (GuiNodalNodeZoneAnchor* anchor : m_anchors)
        if (anchor) anchor->set_bg_normal_color(color);
    set_dirty();
}

void GuiNodalNodeBase::set_anchor_disabled(bool const& disabled)
{
    for (GuiNodalNodeZoneAnchor* anchor : m_anchors)
        if (anchor) anchor->set_disabled(disabled);
}

// Helpers of the kinds of box ---------------------------------------------------------------------

bool GuiNodalNodeBase::set_size_field(char const* operation, int& field, int const& size, int const& least)
{
    if (size < least) {
        CORE_LOG_WARNING(operation << ": " << size << " is not a size; it stays " << field << "\n");
        return false;
    }
    field = size;
    set_dirty();
    return true;
}

void GuiNodalNodeBase::draw_mini_box(GuiDc& dc, Color const& fill, unsigned char const& alpha) const
{
    if (get_is_hidden()) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec2<int> const& pos = get_world_pos();
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    batch.set_color(fill[0], fill[1], fill[2], alpha);
    batch.add_rectf(static_cast<float>(pos[0]), static_cast<float>(pos[1] - get_height()),
                    static_cast<float>(get_width()), static_cast<float>(get_height()));
    gl.end_batch();
}

void GuiNodalNodeBase::draw_pick_box(GuiDc& dc) const
{
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec2<int> const& pos = get_world_pos();
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    Color const& pick = get_pick_color();
    batch.set_color(pick[0], pick[1], pick[2]);
    batch.add_rectf(static_cast<float>(pos[0]), static_cast<float>(pos[1] - get_height()),
                    static_cast<float>(get_width()), static_cast<float>(get_height()));
    gl.end_batch();
}

// Drawing helpers -----------------------------------------------------------------------------------

GMathVec2<int> GuiNodalNodeBase::get_displayed_center() const
{
    GMathVec2<int> const& pos = get_world_pos();
    float const scale = m_scale > 0.0f ? m_scale : 1.0f;
    int const half_w = static_cast<int>(std::lround(get_width() * 0.5 / scale));
    int const half_h = static_cast<int>(std::lround(get_height() * 0.5 / scale));
    return GMathVec2<int>(pos[0] + half_w, -(pos[1] - half_h));
}

float GuiNodalNodeBase::get_corner_radius(Roundness const& roundness, float const& w, float const& h) const
{
    switch (roundness) {
        case ROUNDNESS_SQUARE: return 0.0f;
        case ROUNDNESS_SMALL: return static_cast<float>(m_border_size);
        case ROUNDNESS_LARGE: return 2.0f * static_cast<float>(m_border_size);
        case ROUNDNESS_FULL: return std::min(std::fabs(w), std::fabs(h)) / 2.0f;
    }
    return 0.0f;
}

void GuiNodalNodeBase::draw_round_rect(GuiDc& dc, Roundness const& roundness, float const& x, float const& y,
                                       float const& w, float const& h, bool const& filled) const
{
    GuiGlBatch& batch = static_cast<GuiGlWidgetDc&>(dc).get_batch();
    float const radius = get_corner_radius(roundness, w, h);
    if (filled)
        batch.add_rounded_rectf(x, y, w, h, radius);
    else
        batch.add_rounded_rect(x, y, w, h, radius);
}

void GuiNodalNodeBase::draw_thick_frame(GuiDc& dc, float const& x, float const& y, float const& w, float const& h,
                                        float const& thickness, Roundness const& roundness) const
{
    static_cast<GuiGlWidgetDc&>(dc).get_batch().add_rounded_framef(x, y, w, h, get_corner_radius(roundness, w, h),
                                                                  thickness);
}

void GuiNodalNodeBase::draw_thick_ring(GuiDc& dc, float const& r1, float const& r2) const
{
    GMathVec2<int> const& pos = get_world_pos();
    float const cx = pos[0] + get_width() / 2.0f;
    float const cy = pos[1] - get_height() / 2.0f;
    static_cast<GuiGlWidgetDc&>(dc).get_batch().add_ringf(cx, cy, r1, r2);
}

GuiNodalItem::Color GuiNodalNodeBase::adjust_color(Color const& color, bool const& lighten, bool const& strong)
{
    float const amount = strong ? 0.35f : 0.15f;
    auto const channel = [&](unsigned char c) {
        float const value = lighten ? c + (255.0f - c) * amount : c * (1.0f - amount);
        return static_cast<unsigned char>(std::lround(std::clamp(value, 0.0f, 255.0f)));
    };
    return Color(channel(color[0]), channel(color[1]), channel(color[2]));
}
