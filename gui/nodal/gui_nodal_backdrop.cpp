#include "gui/nodal/gui_nodal_backdrop.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_layouter.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNodalBackdrop, GuiNodalNodeBase)

namespace {

constexpr int CORNER_SIZE = 12;
constexpr int LOCK_SIZE = 16;
GuiNodalItem::Color const LOCK_GREY(200, 200, 200);

// The item's box as (min x, min y, max x, max y).
GMathVec4<int> rect_of(GuiNodalNodeBase const& node)
{
    GMathVec2<int> const& pos = node.get_world_pos();
    return GMathVec4<int>(pos[0], pos[1] - node.get_height(), pos[0] + node.get_width(), pos[1]);
}

bool contains(GMathVec4<int> const& outer, GMathVec4<int> const& inner)
{
    return inner[0] >= outer[0] && inner[1] >= outer[1] && inner[2] <= outer[2] && inner[3] <= outer[3];
}

int64_t area_of(GMathVec4<int> const& rect)
{
    return static_cast<int64_t>(rect[2] - rect[0]) * static_cast<int64_t>(rect[3] - rect[1]);
}

int depth_of(GuiNodalBackdrop const& backdrop)
{
    int depth = 0;
    for (GuiNodalBackdrop const* p = backdrop.get_parent_backdrop(); p; p = p->get_parent_backdrop()) ++depth;
    return depth;
}

}  // namespace

GuiNodalBackdrop::GuiNodalBackdrop(GuiNodal& graph, CoreString const& title, int const& x, int const& y)
    : GuiNodalNodeBase(nullptr, graph, x, y, NODE_ANCHOR_NONE)
{
    m_header = new GuiNodalNodeZoneHeader(*this, title);
    m_left_corner = new GuiNodalNodeZoneButton(*this, 0, 0, CORNER_SIZE, CORNER_SIZE);
    m_right_corner = new GuiNodalNodeZoneButton(*this, 0, 0, CORNER_SIZE, CORNER_SIZE);
    m_lock = new GuiNodalNodeZoneButton(*this, 0, 0, LOCK_SIZE, LOCK_SIZE);
    m_left_corner->set_shape_corner(true);
    m_right_corner->set_shape_corner(false);
    for (GuiNodalNodeZoneButton* corner : {m_left_corner, m_right_corner})
        corner->set_action_mode(GuiNodalNodeZoneButton::BUTTON_ACTION_DRAG);
    connect(*m_left_corner, EVT_ID_NODAL_BUTTON_DRAG, &GuiNodalBackdrop::on_resize_left);
    connect(*m_right_corner, EVT_ID_NODAL_BUTTON_DRAG, &GuiNodalBackdrop::on_resize_right);
    connect(*m_lock, EVT_ID_NODAL_BUTTON_CLICK, &GuiNodalBackdrop::on_lock);
    set_color(m_color);
    set_selectable();
}

GuiNodalBackdrop::~GuiNodalBackdrop()
{
    if (m_parent_backdrop) m_parent_backdrop->remove_from_content(*this);
    set_parent_backdrop(nullptr);
    for (GuiNodalBackdrop* child : m_child_backdrops) child->m_parent_backdrop = nullptr;
    delete m_lock;
    delete m_right_corner;
    delete m_left_corner;
    delete m_header;
}

// Geometry ------------------------------------------------------------------------------------------

void GuiNodalBackdrop::set_width(int const& width)
{
    if (set_size_field("GuiNodalBackdrop.set_width", m_width, width)) notify_bbox_changed();
}

void GuiNodalBackdrop::set_height(int const& height)
{
    if (set_size_field("GuiNodalBackdrop.set_height", m_height, height)) notify_bbox_changed();
}

void GuiNodalBackdrop::set_geometry(GMathVec2<int> const& pos, int w, int h, bool dirty)
{
    set_position(pos);
    set_width(w);
    set_height(h);
    if (dirty && m_parent_backdrop) m_parent_backdrop->set_dirty();
}

GMathVec4<int> GuiNodalBackdrop::get_rect() const
{
    return rect_of(*this);
}

int GuiNodalBackdrop::get_gripper_height() const
{
    return m_header->get_height();
}

// Look ----------------------------------------------------------------------------------------------

void GuiNodalBackdrop::set_title(CoreString const& title)
{
    m_header->set_line(0, title);
}

CoreString const& GuiNodalBackdrop::get_title() const
{
    return m_header->get_lines().front().text;
}

void GuiNodalBackdrop::set_color(Color const& color)
{
    m_color = color;
    set_bg_normal_color(color);
    set_bg_selected_color(color);
    set_bg_highlight_color(color);
    m_lock->set_bg_normal_color(m_content_locked ? LOCK_GREY : color);
    GMathVec3<float> const unit(color[0] / 255.0f, color[1] / 255.0f, color[2] / 255.0f);
    set_border_color(compute_border_color(unit, false, 0.7f));
    set_dirty();
}

// Content -------------------------------------------------------------------------------------------

bool GuiNodalBackdrop::is_in_content(GuiNodalNodeBase const& node) const
{
    return std::find(m_content.begin(), m_content.end(), &node) != m_content.end();
}

void GuiNodalBackdrop::add_to_content(GuiNodalNodeBase& node)
{
    if (&node == this || is_in_content(node)) return;
    m_content.push_back(&node);
    if (node.is_kindof(GuiNodalBackdrop::class_info())) static_cast<GuiNodalBackdrop&>(node).set_parent_backdrop(this);
}

void GuiNodalBackdrop::remove_from_content(GuiNodalNodeBase& node)
{
    auto const found = std::find(m_content.begin(), m_content.end(), &node);
    if (found == m_content.end()) return;
    m_content.erase(found);
    if (node.is_kindof(GuiNodalBackdrop::class_info())) {
        auto& backdrop = static_cast<GuiNodalBackdrop&>(node);
        if (backdrop.m_parent_backdrop == this) backdrop.set_parent_backdrop(nullptr);
    }
}

void GuiNodalBackdrop::set_content(std::vector<GuiNodalNodeBase*> const& nodes)
{
    while (!m_content.empty()) remove_from_content(*m_content.back());
    for (GuiNodalNodeBase* node : nodes)
        if (node) add_to_content(*node);
}

void GuiNodalBackdrop::set_parent_backdrop(GuiNodalBackdrop* parent)
{
    if (m_parent_backdrop == parent) return;
    if (m_parent_backdrop) {
        std::vector<GuiNodalBackdrop*>& siblings = m_parent_backdrop->m_child_backdrops;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    m_parent_backdrop = parent;
    if (parent) parent->m_child_backdrops.push_back(this);
}

GuiNodalBackdrop* GuiNodalBackdrop::get_root()
{
    GuiNodalBackdrop* root = this;
    while (root->m_parent_backdrop) root = root->m_parent_backdrop;
    return root;
}

void GuiNodalBackdrop::withdraw(GuiNodalNodeBase& node)
{
    remove_from_content(node);
    // A copy: removing a backdrop from a child's content changes this list.
    for (GuiNodalBackdrop* child : std::vector<GuiNodalBackdrop*>(m_child_backdrops)) child->withdraw(node);
}

bool GuiNodalBackdrop::offer(GuiNodalNodeBase& node, GMathVec4<int> const& rect)
{
    if (&node == this || !contains(get_rect(), rect)) return false;
    for (GuiNodalBackdrop* child : std::vector<GuiNodalBackdrop*>(m_child_backdrops))
        if (child != &node && child->offer(node, rect)) return true;
    add_to_content(node);
    return true;
}

void GuiNodalBackdrop::check_content(GuiNodalNodeBase& node)
{
    if (m_content_locked || &node == this) return;
    GuiNodalBackdrop* root = get_root();
    root->withdraw(node);
    root->offer(node, rect_of(node));
}

void GuiNodalBackdrop::check_content(std::vector<GuiNodalNodeBase*> const& nodes)
{
    for (GuiNodalNodeBase* node : nodes)
        if (node) check_content(*node);
}

void GuiNodalBackdrop::set_content_locked(bool const& locked)
{
    m_content_locked = locked;
    // The lock shows its state by swapping its fill and border colours.
    m_lock->set_bg_normal_color(locked ? LOCK_GREY : m_color);
    m_lock->set_border_color(locked ? m_color : LOCK_GREY);
    set_dirty();
}

void GuiNodalBackdrop::set_autofit(bool autofit)
{
    m_autofit = autofit;
    m_left_corner->set_enabled(!autofit);
    m_right_corner->set_enabled(!autofit);
}

bool GuiNodalBackdrop::fit_content(bool const& dirty)
{
    if (m_header->get_is_dirty()) m_header->update_size();
    int const header_w = m_header->get_width();
    int const header_h = m_header->get_height();
    GMathVec2<int> pos;
    int w = 0;
    int h = 0;
    if (m_content.empty()) {
        pos = get_world_pos();
        w = header_w;
        h = DEFAULT_HEIGHT;
    } else {
        GMathVec4<int> box = rect_of(*m_content.front());
        for (GuiNodalNodeBase const* node : m_content) {
            GMathVec4<int> const r = rect_of(*node);
            box = GMathVec4<int>(std::min(box[0], r[0]), std::min(box[1], r[1]), std::max(box[2], r[2]),
                                 std::max(box[3], r[3]));
        }
        box = GMathVec4<int>(box[0] - FIT_MARGIN, box[1] - FIT_MARGIN, box[2] + FIT_MARGIN, box[3] + FIT_MARGIN);
        pos = GMathVec2<int>(box[0], box[3] + header_h);
        w = std::max(box[2] - box[0], header_w);
        h = box[3] - box[1] + header_h;
    }
    if (pos == get_world_pos() && w == m_width && h == m_height) return false;
    set_geometry(pos, w, h, dirty);
    return true;
}

void GuiNodalBackdrop::move(int const& dx, int const& dy)
{
    GuiNodalNodeBase::move(dx, dy);
    for (GuiNodalNodeBase* node : m_content)
        if (!node->get_is_selected()) node->move(dx, dy);
}

void GuiNodalBackdrop::move_to(int const& x, int const& y)
{
    GMathVec2<int> const& pos = get_world_pos();
    move(x - pos[0], y - pos[1]);
}

// Controls ------------------------------------------------------------------------------------------

void GuiNodalBackdrop::on_resize_left(GuiNodalNodeZoneButton&, EventInfo const& info, void*)
{
    auto const* delta = static_cast<GMathVec2<int> const*>(info.get_event_data());
    if (!delta) return;
    // The right edge and the top stay; the left edge and the bottom follow the corner.
    int const dx = std::min((*delta)[0], m_width - 1);
    int const dy = std::min((*delta)[1], m_height - 1);
    GuiNodalNodeBase::move(dx, 0);
    set_width(m_width - dx);
    set_height(m_height - dy);
    if (m_parent_backdrop) m_parent_backdrop->set_dirty();
}

void GuiNodalBackdrop::on_resize_right(GuiNodalNodeZoneButton&, EventInfo const& info, void*)
{
    auto const* delta = static_cast<GMathVec2<int> const*>(info.get_event_data());
    if (!delta) return;
    set_width(std::max(m_width + (*delta)[0], 1));
    set_height(std::max(m_height - (*delta)[1], 1));
    if (m_parent_backdrop) m_parent_backdrop->set_dirty();
}

void GuiNodalBackdrop::on_lock(GuiNodalNodeZoneButton&, EventInfo const&, void*)
{
    set_content_locked(!m_content_locked);
}

// Drawing -------------------------------------------------------------------------------------------

void GuiNodalBackdrop::place_buttons()
{
    m_left_corner->set_local_pos(GMathVec2<int>(0, -(m_height - CORNER_SIZE)));
    m_right_corner->set_local_pos(GMathVec2<int>(m_width - CORNER_SIZE, -(m_height - CORNER_SIZE)));
    int const gripper = m_header->get_height();
    m_lock->set_local_pos(GMathVec2<int>(m_width - LOCK_SIZE - 4, -std::max(0, (gripper - LOCK_SIZE) / 2)));
}

void GuiNodalBackdrop::update_content(GuiDc&)
{
    if (!get_is_dirty()) return;
    m_header->update_size();
    m_width = std::max(m_width, 1);
    place_buttons();
    GuiNodalItem::set_draw_state(DRAW_STATE_UP_TO_DATE);
}

void GuiNodalBackdrop::draw(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden()) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec4<int> const rect = get_rect();
    float const x = static_cast<float>(rect[0]);
    float const y = static_cast<float>(rect[1]);
    float const w = static_cast<float>(m_width);
    float const h = static_cast<float>(m_height);
    float const band = static_cast<float>(m_header->get_height());
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    // A light veil of its colour, so that nested frames and their nodes stay readable.
    batch.set_color(m_color[0], m_color[1], m_color[2], 110);
    batch.add_rectf(x, y, w, h);
    batch.set_color(m_color[0], m_color[1], m_color[2], 230);
    batch.add_rectf(x, y + h - band, w, band);
    Color const border = get_outline_color();
    batch.set_color(border[0], border[1], border[2]);
    batch.add_rect(x, y, w, h);
    m_header->draw(dc);
    for (GuiNodalNodeZoneButton* button : {m_left_corner, m_right_corner, m_lock}) button->draw(dc);
    for (GuiNodalBackdrop* child : m_child_backdrops) child->draw(dc);
    gl.end_batch();
}

void GuiNodalBackdrop::draw_mini(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden()) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec4<int> const rect = get_rect();
    float const x = static_cast<float>(rect[0]);
    float const y = static_cast<float>(rect[1]);
    float const w = static_cast<float>(m_width);
    float const h = static_cast<float>(m_height);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    // Fainter than in the view: the nodes over it are mere specks in a minimap.
    batch.set_color(m_color[0], m_color[1], m_color[2], 60);
    batch.add_rectf(x, y, w, h);
    batch.set_color(m_color[0], m_color[1], m_color[2]);
    batch.add_rect(x, y, w, h);
    for (GuiNodalBackdrop* child : m_child_backdrops) child->draw_mini(dc);
    gl.end_batch();
}

void GuiNodalBackdrop::draw_select(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden()) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec4<int> const rect = get_rect();
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    Color const& pick = get_pick_color();
    batch.set_color(pick[0], pick[1], pick[2]);
    // Only the gripper picks the frame: clicks inside it reach the background.
    batch.add_rectf(static_cast<float>(rect[0]), static_cast<float>(rect[3] - m_header->get_height()),
                    static_cast<float>(m_width), static_cast<float>(m_header->get_height()));
    for (GuiNodalNodeZoneButton* button : {m_left_corner, m_right_corner, m_lock}) button->draw_select(dc);
    for (GuiNodalBackdrop* child : m_child_backdrops) child->draw_select(dc);
    gl.end_batch();
}

// Hierarchies ---------------------------------------------------------------------------------------

void GuiNodalBackdrop::get_node_hierarchy(std::vector<GuiNodalNodeBase*>& nodes, bool const& recursive) const
{
    for (GuiNodalNodeBase* node : m_content) {
        if (std::find(nodes.begin(), nodes.end(), node) == nodes.end()) nodes.push_back(node);
    }
    if (recursive)
        for (GuiNodalBackdrop const* child : m_child_backdrops) child->get_node_hierarchy(nodes, true);
}

void GuiNodalBackdrop::check_hierarchies(std::vector<GuiNodalBackdrop*> const& backdrops,
                                         std::vector<GuiNodalNodeBase*> const& items)
{
    std::unordered_map<GuiNodalNodeBase const*, GuiNodalBackdrop*> holders;
    std::unordered_map<GuiNodalNodeBase const*, size_t> order;
    for (size_t i = 0; i < backdrops.size(); ++i) {
        order[backdrops[i]] = i;
        for (GuiNodalNodeBase* node : backdrops[i]->m_content) holders[node] = backdrops[i];
    }
    for (GuiNodalNodeBase* item : items) {
        if (!item || item->get_parent()) continue;
        auto const held = holders.find(item);
        GuiNodalBackdrop* holder = held == holders.end() ? nullptr : held->second;
        if (holder && holder->m_content_locked) continue;
        GMathVec4<int> const rect = rect_of(*item);
        int64_t const item_area = area_of(rect);
        auto const item_order = order.find(item);
        bool const item_is_backdrop = item->is_kindof(GuiNodalBackdrop::class_info());
        GuiNodalBackdrop* best = nullptr;
        int64_t best_area = 0;
        for (GuiNodalBackdrop* backdrop : backdrops) {
            if (backdrop == item || backdrop->m_content_locked) continue;
            GMathVec4<int> const outer = backdrop->get_rect();
            if (!contains(outer, rect)) continue;
            int64_t const area = area_of(outer);
            // A backdrop of the same size holds another only when listed before it: no loops.
            if (item_is_backdrop && area == item_area &&
                (item_order == order.end() || order[backdrop] > item_order->second))
                continue;
            // Of equal frames, the later one is held by the earlier: it is the inner one.
            if (!best || area <= best_area) {
                best = backdrop;
                best_area = area;
            }
        }
        if (best == holder) continue;
        if (holder) holder->remove_from_content(*item);
        if (best) best->add_to_content(*item);
    }
}

void GuiNodalBackdrop::draw_hierarchies(GuiDc& dc, std::vector<GuiNodalBackdrop*> const& backdrops)
{
    for (GuiNodalBackdrop* backdrop : backdrops)
        if (!backdrop->m_parent_backdrop) backdrop->draw(dc);  // its children over it
}

GuiNodalItem* GuiNodalBackdrop::pick_hierarchies(GuiDc& dc, std::vector<GuiNodalBackdrop*> const& backdrops,
                                                 GMathVec2<float> const& point)
{
    // Deeper backdrops are drawn over the ones that hold them, and later ones over earlier
    // ones: they answer first.
    std::vector<GuiNodalBackdrop*> order(backdrops.rbegin(), backdrops.rend());
    std::stable_sort(order.begin(), order.end(), [](GuiNodalBackdrop const* a, GuiNodalBackdrop const* b) {
        return depth_of(*a) > depth_of(*b);
    });
    for (GuiNodalBackdrop* backdrop : order) {
        if (backdrop->get_is_hidden()) continue;
        backdrop->update_content(dc);
        for (GuiNodalNodeZoneButton* button : {backdrop->m_lock, backdrop->m_left_corner, backdrop->m_right_corner})
            if (box_holds(button->get_world_pos(), button->get_width(), button->get_height(), point)) return button;
        if (box_holds(backdrop->get_world_pos(), backdrop->m_width, backdrop->get_gripper_height(), point))
            return backdrop;
    }
    return nullptr;
}

void GuiNodalBackdrop::recurse_autofit(GuiNodalBackdrop& backdrop)
{
    for (GuiNodalBackdrop* child : std::vector<GuiNodalBackdrop*>(backdrop.m_child_backdrops)) recurse_autofit(*child);
    if (backdrop.m_autofit) backdrop.fit_content();
}

void GuiNodalBackdrop::debug_hierarchies(std::vector<GuiNodalBackdrop*> const& backdrops)
{
    auto const write = [](GuiNodalBackdrop const& backdrop, int depth, auto const& self) -> void {
        GMathVec4<int> const rect = backdrop.get_rect();
        CORE_LOG_INFO(std::string(2 * static_cast<size_t>(depth), ' ')
                      << "\"" << backdrop.get_title() << "\" (" << rect[0] << ", " << rect[1] << ") - (" << rect[2]
                      << ", " << rect[3] << "): " << backdrop.m_content.size() << " boxes"
                      << (backdrop.m_content_locked ? ", locked" : "") << (backdrop.m_autofit ? ", autofit" : "")
                      << "\n");
        for (GuiNodalBackdrop const* child : backdrop.m_child_backdrops) self(*child, depth + 1, self);
    };
    for (GuiNodalBackdrop const* backdrop : backdrops)
        if (!backdrop->m_parent_backdrop) write(*backdrop, 0, write);
}

void GuiNodalBackdrop::layout()
{
    if (m_content.empty()) return;
    constexpr int INSET = 45;
    GMathVec2<int> const corner = get_world_pos();
    GuiNodalLayouter layouter(get_graph());
    layouter.layout(m_content, GMathVec2<int>(corner[0] + INSET, corner[1] + INSET), false);
    fit_content(true);
}
