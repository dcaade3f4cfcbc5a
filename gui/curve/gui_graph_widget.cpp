#include <GL/glew.h>

#include "gui/curve/gui_graph_widget.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/core/gui.h"
#include "gui/core/gui_action.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_item.h"
#include "host/app/app_units.h"
#include "host/core/core_log.h"
#include "host/parser/parser_group.h"

CORE_IMPLEMENT_CLASS(GuiGraphWidget, GuiGlWidget)

namespace {

// The float 0.001 widened: the smallest grid step.
double const MIN_STEP = static_cast<double>(0.001f);
constexpr int MIN_GRID_SIZE = 51;
constexpr int CURSOR_WE = 79;
constexpr int CURSOR_CROSS = 66;
// The side of the square the pick buffer covers around the pointer.
constexpr int PICK_SIZE = 16;

GMathVec3<unsigned char> g_next_pick(1, 1, 1);

struct ActionRow {
    char const* name;
    char const* shortcut;
    char const* description;
};

ActionRow const ACTIONS[] = {
    {"remove_selection", "del", "Remove selected items."},
    {"insert_key", "insert", "Insert value on selected Curves."},
    {"fit_selection", "f", "Fit On Selection."},
    {"select_all", "ctrl+a", "Select All."},
    {"select_prev", "left", "Select previous key."},
    {"select_next", "right", "Select next key."},
    {"select_all_prev", "shift+left", "Extend selection to all keys before currently selected."},
    {"select_all_next", "shift+right", "Extend selection to all keys after currently selected."},
    {"select_range", "down", "Extend selection to all keys between currently selected."},
};

long round_half_away(double const& value)
{
    return std::lround(value);
}

}  // namespace

char const* GuiGraphWidget::get_graph_state_name(unsigned int const& state)
{
    switch (state) {
    case GRAPH_STATE_ITEM_MOVE: return "GRAPH_STATE_ITEM_MOVE";
    case GRAPH_STATE_GRAPH_PAN: return "GRAPH_STATE_GRAPH_PAN";
    case GRAPH_STATE_MULTISELECTION_SQUARE: return "GRAPH_STATE_MULTISELECTION_SQUARE";
    case GRAPH_STATE_TANGENT_MOVE: return "GRAPH_STATE_TANGENT_MOVE";
    case GRAPH_STATE_TIMELINE_MOVE: return "GRAPH_STATE_TIMELINE_MOVE";
    case GRAPH_STATE_GIZMO_MOVE: return "GRAPH_STATE_GIZMO_MOVE";
    case GRAPH_STATE_MOVE_CANCELLED: return "GRAPH_STATE_MOVE_CANCELLED";
    default: return "";
    }
}

GuiGraphWidget::GuiGraphWidget(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiGlWidget(parent, x, y, w, h)
{
    m_size = GMathVec2<int>(w, h);
    read_colors(true);
    m_timeline = new GuiGraphTimeline(*this);
    for (ActionRow const& row : ACTIONS)
        register_action(row.name, &GuiGraphWidget::on_action_callback, row.shortcut, row.description);
    set_focus_receiver(true);
    m_dirty = true;
    compute_cell_info();
}

GuiGraphWidget::~GuiGraphWidget()
{
    for (GuiGraphCurve* curve : m_curves) delete curve;
    m_curves.clear();
    delete m_timeline;
    m_timeline = nullptr;
}

void GuiGraphWidget::read_colors(bool const& with_zero_line)
{
    using S = GuiColorScheme;
    m_colors[COLOR_BACKGROUND] = get_color(S::ROLE_BACKGROUND_DARK);
    m_colors[COLOR_VISIBLE_RANGE] = get_color(S::ROLE_BACKGROUND_LIGHT);
    m_colors[COLOR_GRID_LINE] = get_color(S::ROLE_GRID_LINE);
    m_colors[COLOR_GRID_TEXT] = get_color(S::ROLE_TEXT_DIM);
    m_colors[COLOR_CURRENT_FRAME] = get_color(S::ROLE_ACCENT);
    m_colors[COLOR_SELECTEE] = get_color(S::ROLE_ACCENT);
    if (with_zero_line) m_colors[COLOR_GRID_LINE_ZERO] = get_color(S::ROLE_HIGHLIGHT);
}

// --- Curves ---

void GuiGraphWidget::add_curve(GuiGraphCurve* curve)
{
    if (!curve || m_curves.find(curve) >= 0) return;
    if (&curve->get_graph() != this) {
        CORE_LOG_WARNING("GuiGraphWidget.add_curve: the curve \"" << curve->get_name() << "\" was made for another widget\n");
        return;
    }
    m_curves.add(curve);
    curve->set_is_to_eval(true);
    redraw();
}

void GuiGraphWidget::remove_curve(GuiGraphCurve* curve)
{
    int const index = curve ? m_curves.find(curve) : -1;
    if (index < 0) return;
    m_curves.remove(static_cast<unsigned int>(index));
    curve->unselect_self();
    on_remove_item(curve);
    delete curve;
    redraw();
}

void GuiGraphWidget::clear_curves()
{
    CoreVector<GuiGraphCurve*> const curves = m_curves;
    for (GuiGraphCurve* curve : curves) remove_curve(curve);
}

// --- Mapping ---

double GuiGraphWidget::get_pixel_width() const
{
    return m_size[0] > 0 ? m_zoom[0] / m_size[0] : 0.0;
}

double GuiGraphWidget::compute_graph_x_from_mouse(double const& px) const
{
    return m_size[0] > 0 ? px / m_size[0] * m_zoom[0] + m_offset[0] : m_offset[0];
}

double GuiGraphWidget::compute_graph_y_from_mouse(double const& py) const
{
    return m_size[1] > 0 ? (m_size[1] - py) / m_size[1] * m_zoom[1] + m_offset[1] : m_offset[1];
}

int GuiGraphWidget::compute_pos_x_px(double const& x) const
{
    if (m_zoom[0] == 0.0 || !std::isfinite(x)) return 0;
    return static_cast<int>(std::trunc((x - m_offset[0]) / m_zoom[0] * m_size[0]));
}

int GuiGraphWidget::compute_pos_y_px(double const& y) const
{
    if (m_zoom[1] == 0.0 || !std::isfinite(y)) return 0;
    return static_cast<int>(std::trunc((y - m_offset[1]) / m_zoom[1] * m_size[1]));
}

bool GuiGraphWidget::is_inside(int const& x, int const& y, int const& x0, int const& x1, int const& y0, int const& y1)
{
    return x > x0 && x < x1 && y > y0 && y < y1;
}

// --- Picking ---

GMathVec3<unsigned char> GuiGraphWidget::next_pick_color()
{
    GMathVec3<unsigned char> const color = g_next_pick;
    if (g_next_pick[0] < 255) {
        ++g_next_pick[0];
    } else if (g_next_pick[1] < 255) {
        g_next_pick[0] = 1;
        ++g_next_pick[1];
    } else if (g_next_pick[2] < 255) {
        g_next_pick[0] = g_next_pick[1] = 1;
        ++g_next_pick[2];
    }
    return color;
}

void GuiGraphWidget::reset_pick_colors(GMathVec3<unsigned char> const& next)
{
    g_next_pick = next;
}

void GuiGraphWidget::add_select_item(GuiGraphItem& item, GMathVec3<unsigned char> const& color)
{
    GMathVec3<unsigned char> pick = color;
    if (pick == GMathVec3<unsigned char>(0, 0, 0)) pick = next_pick_color();
    item.m_pick = pick;
    m_select_items[pick_key(pick)] = &item;
}

void GuiGraphWidget::remove_select_item(GuiGraphItem& item)
{
    auto const it = m_select_items.find(pick_key(item.m_pick));
    if (it != m_select_items.end() && it->second == &item) m_select_items.erase(it);
}

GuiGraphItem* GuiGraphWidget::get_select_item(GMathVec3<unsigned char> const& color) const
{
    if (color == GMathVec3<unsigned char>(0, 0, 0)) return nullptr;
    auto const it = m_select_items.find(pick_key(color));
    return it == m_select_items.end() ? nullptr : it->second;
}

GuiGraphItem* GuiGraphWidget::pick_objects(GuiDc& dc, int const& x, int const& y)
{
    GuiGlWidgetDc& gl = static_cast<GuiGlWidgetDc&>(dc);
    // The buffer covers a small square around the pointer at one pixel a pixel: what lies
    // outside it is culled before it is drawn, so a pick costs the items near the pointer.
    if (!m_pick_buffer.begin(PICK_SIZE, PICK_SIZE)) return m_under_mouse;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    double const half = PICK_SIZE / 2;
    glOrtho(x - half, x + half, y - half, y + half, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gl.begin_batch().load_gl_matrices();
    draw_select(dc);
    gl.end_batch();
    GMathVec3<unsigned char> const color = m_pick_buffer.read(PICK_SIZE / 2, PICK_SIZE / 2);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    m_pick_buffer.end();
    GuiGraphItem* found = color[0] != 0 ? get_select_item(color) : nullptr;
    if (found != m_under_mouse) {
        m_previous_under_mouse = m_under_mouse;
        m_under_mouse = found;
    }
    if (get_is_state_idle()) {
        int cursor = 0;
        if (found && found->is_kindof(GuiGraphTimeline::class_info()))
            cursor = CURSOR_WE;
        else if (found && found->is_kindof(GuiGraphPoint::class_info()))
            cursor = CURSOR_CROSS;
        else if (found && found->is_kindof(GuiGraphGizmo::class_info()))
            cursor = static_cast<GuiGraphGizmo*>(found)->get_cursor();
        else if (found && found->is_kindof(GuiGraphGizmoHandle::class_info()))
            cursor = static_cast<GuiGraphGizmoHandle*>(found)->get_parent().get_cursor();
        set_mouse_cursor(static_cast<Gui::MouseCursorId>(cursor));
    }
    return found;
}

void GuiGraphWidget::on_gl_context_destroyed()
{
    m_pick_buffer.release(false);
}

// --- Selection ---

void GuiGraphWidget::add_to_selection(GuiGraphItem* item, bool const& same_class)
{
    if (!item || item->is_selected()) return;
    if (same_class)
        for (GuiGraphItem const* selected : m_selection)
            if (&selected->get_class_info() != &item->get_class_info()) return;
    m_selection.add(item);
    item->set_is_selected(true);
}

void GuiGraphWidget::remove_from_selection(GuiGraphItem* item, bool const& silent)
{
    int const index = item ? m_selection.find(item) : -1;
    if (index < 0) return;
    m_selection.remove(static_cast<unsigned int>(index));
    item->set_is_selected(false);
    if (!silent) selection_changed();
}

void GuiGraphWidget::clear_selection(bool const& notify)
{
    for (GuiGraphItem* item : m_selection) item->set_is_selected(false);
    m_selection.clear();
    if (notify) selection_changed();
}

void GuiGraphWidget::set_selection(CoreVector<GuiGraphItem*> const& items, bool const& notify)
{
    clear_selection(false);
    for (GuiGraphItem* item : items) add_to_selection(item, false);
    if (notify) selection_changed();
}

void GuiGraphWidget::on_remove_item(GuiGraphItem* item)
{
    if (!item) return;
    if (m_under_mouse == item) m_under_mouse = nullptr;
    if (m_previous_under_mouse == item) m_previous_under_mouse = nullptr;
    if (m_moving_tangent == item) m_moving_tangent = nullptr;
    int const index = m_selection.find(item);
    if (index >= 0) m_selection.remove(static_cast<unsigned int>(index));
}

void GuiGraphWidget::manage_select_item(bool const& add)
{
    if (!m_under_mouse) return;
    if (!add && m_under_mouse->is_selected())
        remove_from_selection(m_under_mouse, true);
    else
        add_to_selection(m_under_mouse, true);
    selection_changed();
}

void GuiGraphWidget::get_items_in_zone(GMathVec4<int> const& rect, CoreVector<GuiGraphItem*>& items) const
{
    int const x0 = std::min(rect[0], rect[2]), x1 = std::max(rect[0], rect[2]);
    int const y0 = std::min(rect[1], rect[3]), y1 = std::max(rect[1], rect[3]);
    for (GuiGraphCurve* curve : m_curves) {
        if (!curve->is_selectable()) continue;
        for (GuiGraphPoint* key : curve->get_graph_points()) {
            int const px = static_cast<int>(std::trunc(key->get_position()[0]));
            int const py = static_cast<int>(std::trunc(key->get_position()[1]));
            if (is_inside(px, py, x0, x1, y0, y1)) items.add(key);
        }
    }
    if (!items.is_empty()) return;
    for (GuiGraphCurve* curve : m_curves) {
        if (!curve->is_selectable()) continue;
        bool inside = false;
        for (CoreVector<GMathVec2<double>> const& part : curve->get_points()) {
            for (GMathVec2<double> const& point : part)
                if (point[0] >= x0 && point[0] <= x1 && point[1] >= y0 && point[1] <= y1) {
                    inside = true;
                    break;
                }
            if (inside) break;
        }
        if (inside) items.add(curve);
    }
}

void GuiGraphWidget::manage_rectangle_selection(bool const& add)
{
    CoreVector<GuiGraphItem*> items;
    get_items_in_zone(m_selection_rect, items);
    for (GuiGraphItem* item : items) {
        if (!add && item->is_selected())
            remove_from_selection(item, true);
        else
            add_to_selection(item, true);
    }
    selection_changed();
    m_selection_rect = GMathVec4<int>(0, 0, 0, 0);
    desactivate_state(GRAPH_STATE_MULTISELECTION_SQUARE);
}

void GuiGraphWidget::select_all()
{
    CoreVector<GuiGraphItem*> items;
    if (!m_selection.is_empty()) {
        CoreVector<GuiGraphCurve*> curves;
        for (GuiGraphItem* item : m_selection) {
            GuiGraphCurve* curve = nullptr;
            if (item->is_kindof(GuiGraphPoint::class_info()) && !item->is_kindof(GuiGraphTangent::class_info()))
                curve = &static_cast<GuiGraphPoint*>(item)->get_curve();
            else if (item->is_kindof(GuiGraphCurve::class_info()))
                curve = static_cast<GuiGraphCurve*>(item);
            if (curve && curves.find(curve) < 0) curves.add(curve);
        }
        for (GuiGraphCurve* curve : curves)
            if (curve->is_selectable())
                for (GuiGraphPoint* key : curve->get_graph_points()) items.add(key);
    } else {
        for (GuiGraphCurve* curve : m_curves)
            if (curve->is_selectable()) items.add(curve);
    }
    clear_selection(true);
    for (GuiGraphItem* item : items) add_to_selection(item, true);
    selection_changed();
    redraw();
}

void GuiGraphWidget::select_neighbours(CoreString const& shortcut)
{
    if (m_selection.is_empty() || !m_selection[0]->is_kindof(GuiGraphPoint::class_info())) return;
    std::string const text = shortcut.std_string();
    auto ends_with = [&](char const* tail) {
        std::string const t(tail);
        return text.size() >= t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
    };
    // Per curve, the indices of its selected keys.
    std::vector<std::pair<GuiGraphCurve*, std::vector<size_t>>> per_curve;
    for (GuiGraphItem* item : m_selection) {
        if (!item->is_kindof(GuiGraphPoint::class_info()) || item->is_kindof(GuiGraphTangent::class_info())) continue;
        GuiGraphPoint* key = static_cast<GuiGraphPoint*>(item);
        std::vector<GuiGraphPoint*> const& keys = key->get_curve().get_graph_points();
        size_t const index = static_cast<size_t>(std::find(keys.begin(), keys.end(), key) - keys.begin());
        auto it = std::find_if(per_curve.begin(), per_curve.end(), [&](auto const& e) { return e.first == &key->get_curve(); });
        if (it == per_curve.end()) {
            per_curve.push_back({&key->get_curve(), {}});
            it = per_curve.end() - 1;
        }
        it->second.push_back(index);
    }
    if (text.rfind("Shift", 0) == 0 || text == "Down") {
        for (auto const& [curve, indices] : per_curve) {
            std::vector<GuiGraphPoint*> const& keys = curve->get_graph_points();
            size_t const low = *std::min_element(indices.begin(), indices.end());
            size_t const high = *std::max_element(indices.begin(), indices.end());
            size_t from = low, to = high;
            if (text != "Down") {
                bool const later = ends_with("Right");
                from = later ? high : 0;
                to = later ? keys.size() - 1 : low;
            }
            for (size_t i = from; i <= to && i < keys.size(); ++i) add_to_selection(keys[i], true);
        }
        selection_changed();
    } else {
        if (m_selection.get_count() != 1 || per_curve.empty()) return;
        std::vector<GuiGraphPoint*> const& keys = per_curve[0].first->get_graph_points();
        size_t const index = per_curve[0].second[0];
        size_t const next = text == "Right" ? (index + 1) % keys.size() : (index + keys.size() - 1) % keys.size();
        clear_selection(true);
        add_to_selection(keys[next], true);
        selection_changed();
    }
    redraw();
}

// --- Actions and menu ---

void GuiGraphWidget::on_action_callback(GuiWidget& widget, GuiAction const& action, void*)
{
    static_cast<GuiGraphWidget&>(widget).on_action(action.get_name(), action.get_shortcut());
}

void GuiGraphWidget::on_action(CoreString const& name, CoreString const& shortcut)
{
    std::string const action = name.std_string();
    if (action == "remove_selection") {
        manage_remove();
    } else if (action == "insert_key") {
        manage_insert_point(compute_graph_x_from_mouse(m_mouse[0]));
    } else if (action == "fit_selection") {
        fit(false);
        m_dirty = true;
    } else if (action == "select_all") {
        select_all();
    } else {
        select_neighbours(shortcut);
    }
    redraw();
}

void GuiGraphWidget::manage_popup_menu()
{
    GuiMenu* menu = new GuiMenu(this);
    menu->add_separator("Selection");
    bool const has_selection = !m_selection.is_empty();
    bool const first_is_point = has_selection && m_selection[0]->is_kindof(GuiGraphPoint::class_info());
    bool const one_point = m_selection.get_count() == 1 && first_is_point;
    auto add = [&](char const* action, char const* label, CoreString const& description, bool const& enabled) {
        if (GuiAction* found = get_action(action)) {
            GuiMenuItem* item = menu->add_item(*found, label);
            item->set_doc(description);
            item->set_enable(enabled);
        }
    };
    if (has_selection)
        add("select_all", "Select all Keys",
            first_is_point ? "Extend selection to all keys on same Curve(s)." : "Select all keys on selected Curve(s).", true);
    else
        add("select_all", "Select all Curves", "Select all Curves.", true);
    add("select_prev", "Select Previous Key", "Select previous key.", one_point);
    add("select_next", "Select Next Key", "Select next key.", one_point);
    add("select_all_prev", "Select all Previous Keys", "Extend selection to all keys before currently selected.", first_is_point);
    add("select_all_next", "Select all Next Keys", "Extend selection to all keys after currently selected.", first_is_point);
    add("select_range", "Select Keys in Range", "Extend selection to all keys between currently selected.", first_is_point);
    add_to_popup_menu(*menu);
    int sx = 0, sy = 0;
    Gui::get_mouse_screen_position(sx, sy);
    menu->popup(sx, sy);
}

CoreString GuiGraphWidget::get_help() const
{
    return "Select item (LMB) Add to selection (Shift+LMB) Toggle item selection (Ctrl+LMB)";
}

// --- Moves ---

void GuiGraphWidget::manage_move_time()
{
    activate_state(GRAPH_STATE_TIMELINE_MOVE);
    m_timeline->set_is_selected(true);
    set_mouse_cursor(static_cast<Gui::MouseCursorId>(CURSOR_WE));
}

void GuiGraphWidget::end_move_time()
{
    desactivate_state(GRAPH_STATE_TIMELINE_MOVE);
    m_timeline->set_is_selected(false);
    set_mouse_cursor(Gui::MOUSE_CURSOR_DEFAULT);
}

void GuiGraphWidget::manage_move_gizmo()
{
    activate_state(GRAPH_STATE_GIZMO_MOVE);
}

void GuiGraphWidget::end_move_gizmo()
{
    desactivate_state(GRAPH_STATE_GIZMO_MOVE);
    set_mouse_cursor(Gui::MOUSE_CURSOR_DEFAULT);
}

void GuiGraphWidget::move_items(Gui::MouseButtonId const& button)
{
    if (get_is_state_item_move()) {
        manage_move_points(m_selection, button);
        return;
    }
    if (get_is_state_tangent_move()) {
        if (m_moving_tangent)
            manage_move_tangent(*m_moving_tangent);
        else
            desactivate_state(GRAPH_STATE_TANGENT_MOVE);
        return;
    }
    if (get_is_state_timeline_move()) {
        manage_move_time();
        return;
    }
    if (get_is_state_gizmo_move()) {
        manage_move_gizmo();
        return;
    }
    if (!get_is_state_idle() || !m_under_mouse) return;
    if (button == Gui::MOUSE_BUTTON_ID_MIDDLE) {
        manage_move_points(CoreVector<GuiGraphItem*>(), button);
        return;
    }
    GuiGraphItem* item = m_under_mouse;
    if (item->is_kindof(GuiGraphTangent::class_info())) {
        GuiGraphTangent& tangent = *static_cast<GuiGraphTangent*>(item);
        if (get_can_move_tangent(tangent)) {
            m_moving_tangent = &tangent;
            manage_move_tangent(tangent);
        }
    } else if (item->is_kindof(GuiGraphPoint::class_info())) {
        if (!item->is_selected()) {
            clear_selection(false);
            selection_changed();
            add_to_selection(item, true);
            selection_changed();
        }
        manage_move_points(m_selection, button);
    } else if (item->is_kindof(GuiGraphTimeline::class_info())) {
        manage_move_time();
    } else if (item->is_kindof(GuiGraphGizmo::class_info()) || item->is_kindof(GuiGraphGizmoHandle::class_info())) {
        manage_move_gizmo();
    }
}

// --- View ---

void GuiGraphWidget::set_highlighted_x_value(double const& value)
{
    if (!std::isfinite(value)) {
        CORE_LOG_WARNING("GuiGraphWidget.set_highlighted_x_value: the time is not a finite number\n");
        return;
    }
    m_highlighted_x = value;
    redraw();
}

void GuiGraphWidget::set_highlighted_range(double const& low, double const& high)
{
    if (!std::isfinite(low) || !std::isfinite(high)) {
        CORE_LOG_WARNING("GuiGraphWidget.set_highlighted_range: the range is not made of finite numbers\n");
        return;
    }
    m_highlighted_range = GMathVec2<double>(std::min(low, high), std::max(low, high));
    redraw();
}

void GuiGraphWidget::set_mouse_coords(int const& x, int const& y)
{
    m_previous_mouse = m_mouse;
    m_mouse = GMathVec2<int>(x, y);
}

void GuiGraphWidget::update_first_cell_location()
{
    for (int axis = 0; axis < 2; ++axis) {
        if (m_first_cell[axis] < m_offset[axis])
            m_first_cell[axis] += m_cell_step[axis];
        else if (m_first_cell[axis] > m_offset[axis] + m_cell_step[axis])
            m_first_cell[axis] -= m_cell_step[axis];
    }
}

void GuiGraphWidget::manage_pan(double const& dx, double const& dy)
{
    if (m_size[0] <= 0 || m_size[1] <= 0) return;
    m_offset[0] -= std::abs(m_zoom[0]) * dx / m_size[0];
    m_offset[1] -= std::abs(m_zoom[1]) * dy / m_size[1];
    // A long pan moves the first grid line by as many steps as it takes.
    for (int axis = 0; axis < 2; ++axis) {
        double const step = m_cell_step[axis];
        if (step > 0.0 && std::abs(m_first_cell[axis] - m_offset[axis]) > 2.0 * step)
            m_first_cell[axis] = m_offset[axis] + std::fmod(m_first_cell[axis] - m_offset[axis], step);
    }
    update_first_cell_location();
    m_dirty = true;
}

void GuiGraphWidget::zoom_at(double const& dy, int const& mouse_x, int const& mouse_y)
{
    if (m_size[0] <= 0 || m_size[1] <= 0) return;
    double const gx = compute_graph_x_from_mouse(mouse_x);
    double const gy = compute_graph_y_from_mouse(m_size[1] - mouse_y);
    double const g[2] = {gx, gy};
    for (int axis = 0; axis < 2; ++axis) {
        double const old = m_zoom[axis];
        double updated = old;
        if (old > ZOOM_LEVEL_MIN)
            updated = dy > 0 ? old * 1.5 : old * 0.6666666666666666;
        else if (dy > 0)
            updated = old * 1.5;
        if (updated == old) continue;
        m_offset[axis] = (g[axis] - m_offset[axis]) * (1.0 - updated / old) + m_offset[axis];
        m_zoom[axis] = updated;
    }
    compute_cell_info();
    m_dirty = true;
    redraw();
}

void GuiGraphWidget::compute_cell_size(double& step, double& cell_px, GMathVec2<int> const& range, double const& span,
                                       int const& size_px)
{
    if (!(step >= MIN_STEP) || !std::isfinite(step)) step = MIN_STEP;
    if (!(span > 0.0) || !std::isfinite(span) || size_px <= 0) return;
    auto count_of = [&](double const& s) { return static_cast<long long>(std::ceil(span / s)); };
    long long count = count_of(step);
    auto cell = [&](long long c) { return static_cast<double>(size_px / std::max<long long>(1, c)); };
    if (range[1] * count > size_px) {
        if (range[0] * count <= size_px) {
            cell_px = cell(count);
            return;
        }
        // Steps stay below what a double holds: a span this big keeps doubling a bounded time.
        for (int guard = 0; range[0] * count > size_px && guard < 2048; ++guard) {
            step *= 2.0;
            count = count_of(step);
        }
        cell_px = cell(count);
        return;
    }
    while (count != 0) {
        if (range[1] * count > size_px) {
            cell_px = cell(count);
            return;
        }
        if (step < MIN_STEP) break;
        step *= 0.5;
        count = count_of(step);
    }
    if (count == 0) {
        cell_px = size_px;
        return;
    }
    step = MIN_STEP;
    count = static_cast<long long>(std::ceil(span * 999.999952502551));
    cell_px = cell(count == 0 ? 1 : count);
}

void GuiGraphWidget::compute_cell_info()
{
    if (m_size[0] < MIN_GRID_SIZE || m_size[1] < MIN_GRID_SIZE) return;
    compute_cell_size(m_cell_step[0], m_cell_px[0], m_cell_range_x, m_zoom[0], m_size[0]);
    compute_cell_size(m_cell_step[1], m_cell_px[1], m_cell_range_y, m_zoom[1], m_size[1]);
    for (int axis = 0; axis < 2; ++axis) {
        double first = std::floor(m_offset[axis]);
        // Far from the origin a step-by-step walk would take too long: jump near, then walk.
        if (m_cell_step[axis] > 0.0 && m_offset[axis] - first > m_cell_step[axis])
            first += std::floor((m_offset[axis] - first) / m_cell_step[axis]) * m_cell_step[axis];
        while (first < m_offset[axis]) first += m_cell_step[axis];
        m_first_cell[axis] = first;
    }
}

void GuiGraphWidget::update_cell_info()
{
    compute_cell_info();
    update_first_cell_location();
}

// --- Texts ---

CoreString GuiGraphWidget::double_to_string(double const& value, int const&)
{
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%g", std::floor(value * 100.0 + 0.5) * 0.01);
    return CoreString(buffer);
}

void GuiGraphWidget::get_value_with_unit(double const& value, CoreString& text) const
{
    text = m_unit_values.is_empty() ? double_to_string(value) : AppUnits::get_value_with_unit_from_value(value, m_unit_values, 3);
}

// --- Drawing ---

void GuiGraphWidget::draw_grid(GuiDc& dc, std::vector<Label>& labels)
{
    GuiGlWidgetDc& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.get_batch();
    int const w = m_size[0], h = m_size[1];
    glDisable(GL_LINE_SMOOTH);
    batch.set_line_width(1.0f);
    GMathVec3<unsigned char> const& line = m_colors[COLOR_GRID_LINE];
    // Every loop is bounded: a bad step never spins.
    int const max_lines = 4096;
    double const step_x = m_cell_step[0], step_y = m_cell_step[1];
    if (step_x > 0.0 && m_zoom[0] > 0.0) {
        CoreString const sample = AppUnits::get_value_with_unit_from_value(m_offset[0] + m_zoom[0], "time", 3);
        double const step_px = step_x / m_zoom[0] * w;
        int const n = step_px > 0.0 ? static_cast<int>(std::trunc((get_text_width(sample) + 10) / step_px)) + 1 : 1;
        double t = 0.0;
        if (m_offset[0] > 0.0) {
            do t += n * step_x; while (t < m_first_cell[0]);
        } else if (m_offset[0] < 0.0 && m_first_cell[0] < 0.0) {
            do t -= n * step_x; while (t > m_first_cell[0]);
        }
        if (m_offset[0] >= t) t += n * step_x;
        double value = m_first_cell[0];
        for (int i = 0; value < m_offset[0] + m_zoom[0] && i < max_lines; ++i, value += step_x) {
            int const x = compute_pos_x_px(value);
            batch.set_color(line[0], line[1], line[2]);
            batch.add_line(static_cast<float>(x), 0.0f, static_cast<float>(x), static_cast<float>(h));
            if (value >= t - step_x * 1e-6) {
                // Text goes by window rows (y down): the labels sit on the bottom edge.
                labels.push_back({AppUnits::get_value_with_unit_from_value(std::abs(value) < step_x * 1e-6 ? 0.0 : value, "time", 3),
                                  x + 1, h - 4});
                t += n * step_x;
            }
        }
    }
    if (step_y > 0.0 && m_zoom[1] > 0.0) {
        double value = m_first_cell[1];
        for (int i = 0; value < m_offset[1] + m_zoom[1] && i < max_lines; ++i, value += step_y) {
            int const y = compute_pos_y_px(value);
            batch.set_color(line[0], line[1], line[2]);
            batch.add_line(0.0f, static_cast<float>(y), static_cast<float>(w), static_cast<float>(y));
            if (y > get_text_height()) {
                CoreString label;
                get_value_with_unit(std::abs(value) < step_y * 1e-6 ? 0.0 : value, label);
                labels.push_back({label, 2, h - y - 2});
            }
        }
    }
    int const zero = compute_pos_y_px(0.0);
    if (zero >= 0 && zero <= h) {
        GMathVec3<unsigned char> const& zero_color = m_colors[COLOR_GRID_LINE_ZERO];
        batch.set_color(zero_color[0], zero_color[1], zero_color[2]);
        batch.add_line(0.0f, static_cast<float>(zero), static_cast<float>(w), static_cast<float>(zero));
    }
    if (m_offset[0] <= m_highlighted_x && m_highlighted_x <= m_offset[0] + m_zoom[0] && m_zoom[0] > 0.0) {
        m_timeline->set_x(static_cast<int>(round_half_away((m_highlighted_x - m_offset[0]) / m_zoom[0] * w)));
        m_timeline->set_height(h);
        m_timeline->show();
        m_timeline->draw(dc);
    } else {
        m_timeline->hide();
    }
    glEnable(GL_LINE_SMOOTH);
}

void GuiGraphWidget::draw(GuiDc& dc)
{
    // A context made afresh (first draw, or after it was lost) holds none of the picking
    // buffer's objects: they are made again when picking next needs them.
    if (!is_context_valid()) m_pick_buffer.release(false);
    if (m_dirty) {
        for (GuiGraphCurve* curve : m_curves) curve->set_is_to_eval(true);
        update_content();
        m_dirty = false;
    }
    GMathVec3<unsigned char> const& background = m_colors[COLOR_BACKGROUND];
    glClearColor(background[0] / 255.0f, background[1] / 255.0f, background[2] / 255.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    int const w = m_size[0], h = m_size[1];
    if (w < 1 || h < 1) return;
    set_gl_widget_viewport();
    glDisable(GL_LIGHTING);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, w, 0.0, h, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    GuiGlWidgetDc& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    // The highlighted band.
    double const low = m_highlighted_range[0], high = m_highlighted_range[1];
    if (m_offset[0] <= high && m_offset[0] + m_zoom[0] >= low && m_zoom[0] > 0.0 && high > low) {
        double const x0 = (std::max(low, m_offset[0]) - m_offset[0]) / m_zoom[0] * w;
        double const x1 = (std::min(high, m_offset[0] + m_zoom[0]) - m_offset[0]) / m_zoom[0] * w;
        GMathVec3<unsigned char> const& band = m_colors[COLOR_VISIBLE_RANGE];
        batch.set_color(band[0], band[1], band[2]);
        batch.add_rectf(static_cast<float>(round_half_away(x0)), 0.0f, static_cast<float>(round_half_away(x1) - round_half_away(x0)),
                        static_cast<float>(h));
    }
    std::vector<Label> labels;
    draw_grid(dc, labels);
    for (GuiGraphCurve* curve : m_curves) curve->draw(dc);
    if (get_is_state_multiselection_square()) {
        GMathVec3<unsigned char> const& accent = get_color(GuiColorScheme::ROLE_ACCENT);
        int const x0 = std::min(m_selection_rect[0], m_selection_rect[2]), x1 = std::max(m_selection_rect[0], m_selection_rect[2]);
        int const y0 = std::min(m_selection_rect[1], m_selection_rect[3]), y1 = std::max(m_selection_rect[1], m_selection_rect[3]);
        batch.set_color(accent[0], accent[1], accent[2], 25);
        batch.add_rectf(static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(x1 - x0), static_cast<float>(y1 - y0));
        batch.set_color(accent[0], accent[1], accent[2]);
        batch.set_line_width(1.0f);
        batch.add_rect(static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(x1 - x0), static_cast<float>(y1 - y0));
    }
    draw_tool(dc, false);
    if (m_highlight_tooltip && m_under_mouse) m_under_mouse->draw_highlight(dc);
    gl.end_batch();
    // Text last, by window rows (y down): the grid's labels, then the help from 20 pixels
    // above the bottom, one line under the other.
    GMathVec3<unsigned char> const& text = m_colors[COLOR_GRID_TEXT];
    for (Label const& label : labels) gl.draw_text(label.text, label.x, label.y, text[0], text[1], text[2]);
    CoreString const help = get_help();
    int line_y = h - 20;
    unsigned int start = 0;
    while (start <= help.get_length() && !help.is_empty()) {
        unsigned int end = help.find('\n', start);
        if (end == CoreString::NOT_FOUND) end = help.get_length();
        gl.draw_text(help.sub_string(start, end - start), 50, line_y, text[0], text[1], text[2]);
        line_y += get_text_height() + 2;
        start = end + 1;
    }
    if (!get_is_state_item_move() && !get_is_state_graph_pan()) pick_objects(dc, m_mouse[0], m_mouse[1]);
}

void GuiGraphWidget::draw_select(GuiDc& dc)
{
    m_timeline->draw_select(dc);
    for (GuiGraphCurve* curve : m_curves) curve->draw_select(dc);
    draw_tool(dc, true);
}

void GuiGraphWidget::debug_draw(GuiDc& dc, int const&)
{
    GuiGlWidgetDc& gl = static_cast<GuiGlWidgetDc&>(dc);
    char buffer[256];
    int y = m_size[1] - 40;
    std::snprintf(buffer, sizeof(buffer), "MouseCoords: %d , %d GraphCoords: %g, %g", m_mouse[0], m_mouse[1],
                  compute_graph_x_from_mouse(m_mouse[0]), compute_graph_y_from_mouse(m_mouse[1]));
    gl.draw_text(buffer, 10, y, 255, 255, 255);
    std::snprintf(buffer, sizeof(buffer), "Nb Curves: %u", m_curves.get_count());
    gl.draw_text(buffer, 10, y -= 16, 255, 255, 255);
    std::snprintf(buffer, sizeof(buffer), "Width, Height: %d,%d Pan: %g, %g Zoom: %g, %g", m_size[0], m_size[1], m_offset[0],
                  m_offset[1], m_zoom[0], m_zoom[1]);
    gl.draw_text(buffer, 10, y -= 16, 255, 255, 255);
}

void GuiGraphWidget::manage_highlight()
{
    if (m_under_mouse == m_previous_under_mouse) return;
    if (m_under_mouse) m_under_mouse->set_is_highlighted(true);
    if (m_previous_under_mouse) m_previous_under_mouse->set_is_highlighted(false);
}

// --- Events ---

int GuiGraphWidget::process_event(CoreString const& name)
{
    int const mx = Gui::get_relative_mouse_x(*this);
    int const my = m_size[1] - Gui::get_relative_mouse_y(*this);
    bool const nav = Gui::is_modifier_alt() || Gui::is_key_down(' ');
    bool const shift = Gui::is_modifier_shift(), ctrl = Gui::is_modifier_ctrl();
    Gui::MouseButtonId const button = Gui::get_event_mouse_button();
    bool const left_down = Gui::is_mouse_button_pressed(Gui::MOUSE_BUTTON_ID_LEFT);
    if (name == EVT_ID_MOUSE_MOVE || name == EVT_ID_MOUSE_DRAG || name == EVT_ID_MOUSE_ENTER || name == EVT_ID_WIDGET_FOCUS_IN) {
        set_mouse_coords(mx, my);
        redraw();
        manage_highlight();
        if (name == EVT_ID_WIDGET_FOCUS_IN) return 1;
    }
    if (!get_is_state_multiselection_square()) {
        if (nav && left_down && !get_is_state_graph_pan()) {
            activate_state(GRAPH_STATE_GRAPH_PAN);
            m_pan_start = m_previous_mouse;
        } else if (!nav && get_is_state_graph_pan() && left_down) {
            desactivate_state(GRAPH_STATE_GRAPH_PAN);
            m_move_initial = GMathVec2<int>(m_move_initial[0] + m_mouse[0] - m_pan_start[0],
                                            m_move_initial[1] + m_mouse[1] - m_pan_start[1]);
        }
    }
    if (name == EVT_ID_MOUSE_WHEEL) {
        zoom_at(Gui::get_wheel_dy(), mx, my);
        return 1;
    }
    if (name == EVT_ID_MOUSE_DOWN) {
        if (!has_focus()) set_focus();
        if (button == Gui::MOUSE_BUTTON_ID_MIDDLE && !nav) {
            manage_add_point();
            redraw();
        } else if (get_is_state_idle() && !m_under_mouse && button == Gui::MOUSE_BUTTON_ID_LEFT && !shift && !ctrl) {
            clear_selection(true);
            redraw();
        } else if (button == Gui::MOUSE_BUTTON_ID_RIGHT && nav) {
            m_move_initial = m_mouse;
        }
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP) {
        if (get_is_state_graph_pan() && !left_down) desactivate_state(GRAPH_STATE_GRAPH_PAN);
        if (get_is_state_multiselection_square()) {
            manage_rectangle_selection(!ctrl);
        } else if (get_is_state_item_move()) {
            end_move_points(button);
        } else if (get_is_state_tangent_move()) {
            end_move_tangent();
        } else if (get_is_state_timeline_move()) {
            end_move_time();
        } else if (get_is_state_gizmo_move()) {
            end_move_gizmo();
        } else if (get_state_is_active(GRAPH_STATE_MOVE_CANCELLED)) {
            desactivate_state(GRAPH_STATE_MOVE_CANCELLED);
        } else if (get_is_state_idle() && !nav) {
            if (button == Gui::MOUSE_BUTTON_ID_LEFT) {
                if (!shift && !ctrl) clear_selection(false);
                manage_select_item(!ctrl);
            } else if (button == Gui::MOUSE_BUTTON_ID_RIGHT) {
                manage_popup_menu();
            }
        }
        desactivate_state(GRAPH_STATE_MOVE_CANCELLED);
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_DRAG) {
        int const dx = m_mouse[0] - m_previous_mouse[0], dy_up = m_mouse[1] - m_previous_mouse[1];
        bool const square = get_is_state_multiselection_square();
        if (button == Gui::MOUSE_BUTTON_ID_LEFT && !nav) {
            // A rubber band follows the pointer whatever passes under it.
            if (square) {
                m_selection_rect[2] = m_mouse[0];
                m_selection_rect[3] = m_mouse[1];
            } else if (m_under_mouse || !get_is_state_idle()) {
                if (!get_state_is_active(GRAPH_STATE_MOVE_CANCELLED)) move_items(button);
            } else {
                activate_state(GRAPH_STATE_MULTISELECTION_SQUARE);
                m_selection_rect = GMathVec4<int>(m_mouse[0], m_mouse[1], m_mouse[0], m_mouse[1]);
            }
        } else if (button == Gui::MOUSE_BUTTON_ID_MIDDLE && !nav) {
            if (get_is_state_gizmo_move())
                manage_move_gizmo();
            else
                move_items(button);
        } else if (nav && (button == Gui::MOUSE_BUTTON_ID_LEFT || button == Gui::MOUSE_BUTTON_ID_MIDDLE) && !square) {
            manage_pan(dx, dy_up);
        } else if (nav && button == Gui::MOUSE_BUTTON_ID_RIGHT) {
            int const d = dy_up - dx;
            double const factor = std::abs(d) * 0.01 + 1.0;
            GMathVec2<int> const anchor = m_move_initial;
            double const g[2] = {compute_graph_x_from_mouse(anchor[0]), compute_graph_y_from_mouse(m_size[1] - anchor[1])};
            for (int axis = 0; axis < (shift ? 1 : 2); ++axis) {
                double const old = m_zoom[axis];
                double updated = old;
                if (d >= 1)
                    updated = old * factor;
                else if (d <= 0 && old > ZOOM_LEVEL_MIN)
                    updated = old / factor;
                if (updated == old) continue;
                m_offset[axis] = (g[axis] - m_offset[axis]) * (1.0 - updated / old) + m_offset[axis];
                m_zoom[axis] = updated;
            }
            update_cell_info();
            m_dirty = true;
        }
        redraw();
        return 1;
    }
    if (name == EVT_ID_KEY_UP && Gui::get_last_key_pressed() == Gui::KEY_ID_ESCAPE && !get_is_state_idle()) {
        if (get_is_state_item_move())
            cancel_move_points();
        else if (get_is_state_tangent_move())
            cancel_move_tangent();
        else if (get_is_state_timeline_move())
            cancel_move_time();
        else if (get_is_state_gizmo_move())
            cancel_move_gizmo();
        m_states &= GRAPH_STATE_GRAPH_PAN;
        activate_state(GRAPH_STATE_MOVE_CANCELLED);
        redraw();
        return 1;
    }
    return GuiGlWidget::process_event(name);
}

void GuiGraphWidget::resize(int const& x, int const& y, int const& w, int const& h)
{
    GuiGlWidget::resize(x, y, w, h);
    m_size = GMathVec2<int>(w, h);
    compute_cell_info();
    if (is_shown() && is_context_valid()) {
        make_current();
        m_pick_buffer.release();
    }
    m_dirty = true;
}

void GuiGraphWidget::update_color_scheme(GuiColorScheme const& scheme)
{
    GuiGlWidget::update_color_scheme(scheme);
    read_colors(false);
    m_timeline->set_normal_color(m_colors[COLOR_CURRENT_FRAME]);
    m_timeline->set_highlight_color(m_colors[COLOR_SELECTEE]);
    m_timeline->set_select_color(m_colors[COLOR_SELECTEE]);
    redraw();
}

void GuiGraphWidget::save_settings(ParserGroup& group)
{
    GuiGlWidget::save_settings(group);
    ParserGroup& mine = group.add_group("GuiGraphWidget");
    mine.add_entry("graph_offset_x").add_double(m_offset[0]);
    mine.add_entry("graph_offset_y").add_double(m_offset[1]);
    mine.add_entry("zoom_level_x").add_double(m_zoom[0]);
    mine.add_entry("zoom_level_y").add_double(m_zoom[1]);
    mine.add_entry("tooltip").add_bool(m_highlight_tooltip);
}

void GuiGraphWidget::load_settings(ParserGroup const& group)
{
    GuiGlWidget::load_settings(group);
    ParserGroup const* mine = group.get_group("GuiGraphWidget");
    if (!mine) return;
    auto read = [&](char const* key, double& value, bool const& positive) {
        ParserEntry const* entry = mine->get_entry(key);
        if (!entry || entry->get_value_count() < 1 || !entry->is_value_number(0)) return;
        double const read_value = entry->get_double(0);
        if (!std::isfinite(read_value) || (positive && read_value <= 0.0)) {
            CORE_LOG_WARNING("GuiGraphWidget.load_settings: \"" << key << "\" is not a usable number; it is left\n");
            return;
        }
        value = read_value;
    };
    read("graph_offset_x", m_offset[0], false);
    read("graph_offset_y", m_offset[1], false);
    read("zoom_level_x", m_zoom[0], true);
    read("zoom_level_y", m_zoom[1], true);
    compute_cell_info();
    if (ParserEntry const* tooltip = mine->get_entry("tooltip"); tooltip && tooltip->is_value_bool(0))
        m_highlight_tooltip = tooltip->get_bool(0);
    m_dirty = true;
    redraw();
}
