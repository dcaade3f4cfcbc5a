#include <GL/glew.h>

#include "gui/nodal/gui_nodal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <type_traits>
#include <unordered_set>

#include "gui/controls/gui_checkbox.h"
#include "gui/core/gui.h"
#include "gui/core/gui_action.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_color_scheme.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_image.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/fields/gui_number_field.h"
#include "gui/menus/gui_list_button.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/nodal/gui_nodal_backdrop.h"
#include "gui/nodal/gui_nodal_bookmark.h"
#include "gui/nodal/gui_nodal_commands.h"
#include "gui/nodal/gui_nodal_dot.h"
#include "gui/nodal/gui_nodal_grid_options.h"
#include "gui/nodal/gui_nodal_item.h"
#include "gui/nodal/gui_nodal_dnd_data.h"
#include "gui/nodal/gui_nodal_layouter.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_link_editor.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "gui/nodal/gui_nodal_note.h"
#include "gui/nodal/gui_nodal_subnet.h"
#include "gui/panels/gui_input_dialog.h"
#include "host/app/app_preferences.h"
#include "host/app/app_base.h"
#include "host/core/core_log.h"
#include "host/parser/parser_group.h"

CORE_IMPLEMENT_CLASS(GuiNodal, GuiGlWidget)

EVENT_DEFINE_ID(EVT_ID_NODAL_SELECTION_CHANGED);
EVENT_DEFINE_ID(EVT_ID_NODAL_NODES_MOVED);
EVENT_DEFINE_ID(EVT_ID_NODAL_VIEW_CHANGED);
EVENT_DEFINE_ID(EVT_ID_NODAL_SUBNET_SCOPE_CHANGED);

namespace {

// Where the link highlight mode is kept between sessions.
constexpr char LINK_HIGHLIGHT_CATEGORY[] = "nodal_view";
constexpr char LINK_HIGHLIGHT_KEY[] = "link_highlight_mode";
// The widest maximum node width the "Node bounding" dialog offers.
constexpr int MAX_NODE_WIDTH_LIMIT = 1000;
// Room a bookmark button keeps for its colour beside the label.
constexpr int BOOKMARK_COLOR_WIDTH = 20;

}  // namespace

namespace {

constexpr float SIMPLIFICATION_RATIO = 0.75f;
constexpr uint32_t PICK_KEY_COUNT = 1u << 24;

}  // namespace

GuiNodal::GuiNodal(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, bool simplify,
                   bool hide_mode)
    : GuiGlWidget(parent, x, y, w, h),
      m_simplification_ratio(simplify ? SIMPLIFICATION_RATIO : 0.0f),
      m_hide_mode(hide_mode),
      m_subnet_scope(std::make_unique<GuiNodalSubnetScope>(*this))
{
    set_focus_receiver(true);  // for Escape and the view's shortcuts
    register_layout_actions();
    // Graph (0, 0) at the top-left, one graph unit per pixel.
    m_zoom_factor = get_graph_zone_height();
    m_zoom_ratio = 1.0f;
    m_view_pos = GMathVec2<float>(0.0f, static_cast<float>(-m_zoom_factor));
    compute_view_area();
    // The highlight follows the links the user chose last, in any view.
    AppPreferences& preferences = get_application().get_preferences();
    if (preferences.category_exists(LINK_HIGHLIGHT_CATEGORY)) {
        AppCategoryPreferences& category = *preferences.get_category(LINK_HIGHLIGHT_CATEGORY);
        if (category.item_exists(LINK_HIGHLIGHT_KEY)) {
            long long const mode = category.get_long_value(LINK_HIGHLIGHT_KEY);
            if (mode >= GuiNodalLinkEditor::LINK_HIGHLIGHT_IN && mode <= GuiNodalLinkEditor::LINK_HIGHLIGHT_IN_OUT)
                get_link_editor().set_link_highlight_mode(static_cast<unsigned int>(mode));
        }
    }
    GuiApp& app = get_application();
    for (CoreString const* event :
         {&EVT_ID_APPLICATION_BOOKMARK_ADD, &EVT_ID_APPLICATION_BOOKMARK_DEL, &EVT_ID_APPLICATION_BOOKMARK_MOD})
        connect(app, *event, &GuiNodal::on_bookmark_changed);
    init_bookmarks();
}

void GuiNodal::set_max_node_width(unsigned int const& width)
{
    m_max_node_width = width;
    for (GuiNodalNode* node : m_nodes) node->set_dirty();
    redraw();
}

void GuiNodal::set_simplified_layout(bool const& simplified)
{
    if (simplified == m_simplified_layout) return;
    m_simplified_layout = simplified;
    for (GuiNodalNode* node : m_nodes) node->set_dirty();
    invalidate_pick_index();
    redraw();
}

void GuiNodal::set_node_cropping(bool const& cropping)
{
    if (cropping == m_node_cropping) return;
    m_node_cropping = cropping;
    for (GuiNodalNode* node : m_nodes) node->set_dirty();
    redraw();
}

void GuiNodal::set_default_display_mode(unsigned short const& mode)
{
    if (mode > GuiNodalNode::ZONE_DISPLAY_NONE) {
        CORE_LOG_WARNING("GuiNodal.set_default_display_mode: " << mode << " is not a plug display mode\n");
        return;
    }
    // Nodes laid out in every direction show no plug rows.
    m_default_display_mode = m_omnidirectional ? static_cast<unsigned short>(GuiNodalNode::ZONE_DISPLAY_NONE) : mode;
}

void GuiNodal::set_omnidirectional_layout(bool const& omnidirectional)
{
    if (omnidirectional && !is_omnidirectional_layout_supported()) {
        CORE_LOG_WARNING("GuiNodal.set_omnidirectional_layout: this view's application does not lay nodes out in "
                         "every direction\n");
        return;
    }
    m_omnidirectional = omnidirectional;
    if (omnidirectional) m_default_display_mode = GuiNodalNode::ZONE_DISPLAY_NONE;
    redraw();
}

unsigned int GuiNodal::get_image_texture(GuiImage const& image)
{
    auto const found = m_textures.find(&image);
    if (found != m_textures.end()) return found->second;
    unsigned char const* pixels = image.get_data();
    if (!pixels || image.get_width() == 0 || image.get_height() == 0) return 0;
    GLenum const format = image.get_depth() == 4 ? GL_RGBA : GL_RGB;
    unsigned int const texture = make_texture(static_cast<int>(image.get_width()), static_cast<int>(image.get_height()),
                                              static_cast<int>(format), format, pixels);
    m_textures[&image] = texture;
    return texture;
}

void GuiNodal::remove_texture(GuiImage const& image)
{
    auto const found = m_textures.find(&image);
    if (found == m_textures.end()) return;
    // Deleted when the view's context can be made current; otherwise it went with it.
    if (is_context_valid()) {
        make_current();
        glDeleteTextures(1, &found->second);
    }
    m_textures.erase(found);
}

GuiNodal::~GuiNodal()
{
    if (AppBase* app = AppBase::get_instance()) {
        if (m_fit_timer) app->remove_timer(m_fit_timer);
        if (m_drop_timer) app->remove_timer(m_drop_timer);
    }
    // Menus are widgets of their own, deleted by the application's pass.
    if (m_popup_menu && !m_popup_menu->is_destroyed()) m_popup_menu->destroy();
    // The links being drawn let go of their ends while the ends are still there.
    m_link_editor.reset();
    m_subnet_scope.reset();  // its ports let go of the boxes they stand for
    for (GuiNodalLink* link : m_links) delete link;
    // Subnets and backdrops hold pointers to the nodes: they go first, subnets emptied before
    // any is deleted, since a subnet may hold another.
    for (GuiNodalSubnet* subnet : m_subnets) subnet->clear_content();
    for (GuiNodalSubnet* subnet : m_subnets) delete subnet;
    for (GuiNodalBackdrop* backdrop : m_backdrops) backdrop->set_content({});
    for (GuiNodalNote* note : m_notes) delete note;
    for (GuiNodalBackdrop* backdrop : m_backdrops) delete backdrop;
    for (GuiNodalNode* node : m_nodes) delete node;
    for (GuiNodalBookmark* bookmark : m_bookmark_buttons) delete bookmark;
}

// Items ---------------------------------------------------------------------------------------------

GuiNodalNode* GuiNodal::add_node(GuiNodalNode* node)
{
    if (!node) return nullptr;
    if (&node->get_graph() != this) {
        CORE_LOG_WARNING("GuiNodal.add_node: \"" << node->get_name() << "\" was made for another view; it is not added\n");
        return nullptr;
    }
    if (std::find(m_nodes.begin(), m_nodes.end(), node) == m_nodes.end()) {
        m_nodes.push_back(node);
        watch_box(*node);
        if (m_default_display_mode != GuiNodalNode::ZONE_DISPLAY_ALL)
            node->set_zones_display_mode(static_cast<GuiNodalNode::ZoneDisplay>(m_default_display_mode));
    }
    invalidate_pick_index();
    redraw();
    return node;
}

GuiNodalNode* GuiNodal::get_node(size_t const& index) const
{
    return index < m_nodes.size() ? m_nodes[index] : nullptr;
}

void GuiNodal::destroy_links_of(GuiNodalNodeBase& node)
{
    while (node.get_links_count() > 0) remove_link(*node.get_link(0));
    for (GuiNodalNodeBase* child : node.get_children()) destroy_links_of(*child);
}

void GuiNodal::remove_node(GuiNodalNode& node)
{
    auto const found = std::find(m_nodes.begin(), m_nodes.end(), &node);
    if (found == m_nodes.end()) {
        CORE_LOG_WARNING("GuiNodal.remove_node: \"" << node.get_name() << "\" is not a node of this view\n");
        return;
    }
    forget_box(node);  // before its links: a link being drawn from it goes first
    destroy_links_of(node);
    m_nodes.erase(found);
    delete &node;
    invalidate_pick_index();
    redraw();
}

GuiNodalLink* GuiNodal::create_link(GuiNodalNodeBase& from, GuiNodalNodeBase& to)
{
    if (&from.get_graph() != this || &to.get_graph() != this) {
        CORE_LOG_WARNING("GuiNodal.create_link: an end belongs to another view; no link is made\n");
        return nullptr;
    }
    auto* link = new GuiNodalLink(*this, from, to);
    m_links.push_back(link);
    redraw();
    return link;
}

void GuiNodal::remove_link(GuiNodalLink& link)
{
    auto const found = std::find(m_links.begin(), m_links.end(), &link);
    if (found == m_links.end()) return;
    m_links.erase(found);
    if (m_menu_item == &link) m_menu_item = nullptr;
    if (m_pressed_item == &link) m_pressed_item = nullptr;
    if (m_highlighted == &link) m_highlighted = nullptr;
    m_drawn.erase(std::remove(m_drawn.begin(), m_drawn.end(), &link), m_drawn.end());
    delete &link;
    invalidate_pick_index();
    redraw();
}

void GuiNodal::draw_grid(GuiGlWidgetDc& gl)
{
    // Lines closer than a few pixels would only grey the view: every second, fourth... then.
    double step = m_grid_size;
    while (step * m_zoom_ratio < MIN_GRID_PIXELS) step *= 2.0;
    GMathVec3<unsigned char> const& background =
        get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_VIEWPORT_BACKGROUND);
    GuiGlBatch& batch = gl.get_batch();
    batch.load_gl_matrices();
    unsigned char const shade[3] = {static_cast<unsigned char>(std::min(background[0] + 12, 255)),
                                    static_cast<unsigned char>(std::min(background[1] + 12, 255)),
                                    static_cast<unsigned char>(std::min(background[2] + 12, 255))};
    batch.set_color(shade[0], shade[1], shade[2]);
    GMathVec4<int> const& area = m_view_area;
    for (double x = std::floor(area[0] / step) * step; x <= area[2]; x += step)
        batch.add_line(static_cast<float>(x), static_cast<float>(area[1]), static_cast<float>(x),
                       static_cast<float>(area[3]));
    for (double y = std::floor(area[1] / step) * step; y <= area[3]; y += step)
        batch.add_line(static_cast<float>(area[0]), static_cast<float>(y), static_cast<float>(area[2]),
                       static_cast<float>(y));
}

// Minimap -------------------------------------------------------------------------------------------

void GuiNodal::enable_minimap(bool const& enabled)
{
    m_minimap_enabled = enabled;
    redraw();
}

bool GuiNodal::is_minimap_visible() const
{
    if (!m_minimap_enabled) return false;
    if (m_state == GRAPH_STATE_MINIMAP_DRAG) return true;
    GMathVec2<int> min, max;
    get_graph_bounding(min, max);
    if (min[0] > max[0]) return false;  // nothing in the graph
    GMathVec4<int> const& area = m_view_area;
    return min[0] < area[0] || min[1] < area[1] || max[0] > area[2] || max[1] > area[3];
}

float GuiNodal::get_minimap_scale() const
{
    GMathVec2<int> min, max;
    get_graph_bounding(min, max);
    if (min[0] > max[0]) return 1.0f;
    return std::max(static_cast<float>(std::max(max[0] - min[0], max[1] - min[1])) / MINIMAP_SIZE, 1e-3f);
}

GMathVec4<int> GuiNodal::get_minimap_geometry() const
{
    return GMathVec4<int>(get_width() - VIEWPORT_OFFSET - MINIMAP_MARGIN - MINIMAP_SIZE,
                          get_height() - VIEWPORT_OFFSET - MINIMAP_MARGIN - MINIMAP_SIZE, MINIMAP_SIZE, MINIMAP_SIZE);
}

GMathVec4<int> GuiNodal::get_minimap_graph_rect() const
{
    GMathVec2<int> min, max;
    get_graph_bounding(min, max);
    GMathVec4<int> const square = get_minimap_geometry();
    if (min[0] > max[0]) return square;
    float const scale = get_minimap_scale();
    int const w = static_cast<int>(std::lround((max[0] - min[0]) / scale));
    int const h = static_cast<int>(std::lround((max[1] - min[1]) / scale));
    return GMathVec4<int>(square[0] + (square[2] - w) / 2, square[1] + (square[3] - h) / 2, w, h);
}

bool GuiNodal::pick_minimap(GMathVec2<int> const& pixel) const
{
    if (!is_minimap_visible()) return false;
    GMathVec4<int> const square = get_minimap_geometry();
    return pixel[0] >= square[0] && pixel[0] < square[0] + square[2] && pixel[1] >= square[1] &&
           pixel[1] < square[1] + square[3];
}

void GuiNodal::edit_minimap(GMathVec2<int> const& pixel)
{
    GMathVec2<int> min, max;
    get_graph_bounding(min, max);
    if (min[0] > max[0]) return;
    GMathVec4<int> const rect = get_minimap_graph_rect();
    float const scale = get_minimap_scale();
    // The map's y grows downwards, the graph's upwards from the bottom of its box.
    float const gx = min[0] + (pixel[0] - rect[0]) * scale;
    float const gy = max[1] - (pixel[1] - rect[1]) * scale;
    double const shown_w = static_cast<double>(get_graph_zone_width()) * m_zoom_factor / get_graph_zone_height();
    set_view_pos(GMathVec2<float>(static_cast<float>(gx - shown_w / 2.0), static_cast<float>(gy - m_zoom_factor / 2.0)));
}

void GuiNodal::draw_minimap(GuiGlWidgetDc& gl)
{
    GMathVec2<int> min, max;
    get_graph_bounding(min, max);
    GMathVec4<int> const square = get_minimap_geometry();
    GMathVec4<int> const rect = get_minimap_graph_rect();
    GMathVec3<unsigned char> const& back = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND_DARK);
    GMathVec3<unsigned char> const& edge = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_HIGHLIGHT);
    // The square, in widget pixels.
    set_gl_widget_viewport();
    set_pixel_projection();
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    batch.set_color(back[0], back[1], back[2], 200);
    batch.add_rectf(square[0], square[1], square[2], square[3]);
    batch.set_color(edge[0], edge[1], edge[2], 120);
    batch.add_rect(square[0], square[1], square[2], square[3]);
    gl.end_batch();
    // The items through a projection of the graph's box onto the map's part of the square.
    glViewport(rect[0], get_height() - rect[1] - std::max(rect[3], 1), std::max(rect[2], 1), std::max(rect[3], 1));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(min[0], std::max(max[0], min[0] + 1), min[1], std::max(max[1], min[1] + 1), -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gl.begin_batch();
    for (GuiNodalBackdrop* backdrop : m_backdrops)
        if (!backdrop->get_parent_backdrop()) backdrop->draw_mini(gl);
    for (GuiNodalNote* note : m_notes) note->draw_mini(gl);
    for (GuiNodalNode* node : m_nodes) node->draw_mini(gl);
    for (GuiNodalSubnet* subnet : m_subnets) subnet->draw_mini(gl);
    // The part the view shows.
    GuiGlBatch& frame = gl.get_batch();
    frame.load_gl_matrices();
    frame.set_color(edge[0], edge[1], edge[2]);
    frame.add_rect(m_view_area[0], m_view_area[1], m_view_area[2] - m_view_area[0], m_view_area[3] - m_view_area[1]);
    gl.end_batch();
}

// State -------------------------------------------------------------------------------------------

char const* GuiNodal::get_graph_state_name(int const& state)
{
    static char const* const names[] = {"GRAPH_STATE_IDLE",
                                        "GRAPH_STATE_LINK_CREATION",
                                        "GRAPH_STATE_LINK_DESTRUCTION",
                                        "GRAPH_STATE_LINK_WAITING",
                                        "GRAPH_STATE_LINK_CANCEL",
                                        "GRAPH_STATE_NODE_MOVE",
                                        "GRAPH_STATE_NODE_DRAGGING",
                                        "GRAPH_STATE_GRAPH_PAN",
                                        "GRAPH_STATE_MULTISELECTION_SQUARE",
                                        "GRAPH_STATE_KNIFE",
                                        "GRAPH_STATE_NODE_RESIZE",
                                        "GRAPH_STATE_MINIMAP_DRAG"};
    return state >= 0 && state < static_cast<int>(std::size(names)) ? names[state] : "";
}

// Selection ---------------------------------------------------------------------------------------

void GuiNodal::notify_selection()
{
    get_link_editor().apply_link_highlight(m_selection);
    selection_changed();
    raise_event(EVT_ID_NODAL_SELECTION_CHANGED);
    redraw();
}

void GuiNodal::set_selection(std::vector<GuiNodalNodeBase*> const& boxes)
{
    for (GuiNodalNodeBase* box : m_selection) box->set_selected(false);
    m_selection.clear();
    for (GuiNodalNodeBase* box : boxes)
        if (box && !box->get_is_selected()) {
            box->set_selected(true);
            m_selection.push_back(box);
        }
    notify_selection();
}

void GuiNodal::add_to_selection(GuiNodalNodeBase& box)
{
    if (box.get_is_selected()) return;
    box.set_selected(true);
    m_selection.push_back(&box);
    notify_selection();
}

void GuiNodal::remove_from_selection(GuiNodalNodeBase& box)
{
    auto const found = std::find(m_selection.begin(), m_selection.end(), &box);
    if (found == m_selection.end()) return;
    box.set_selected(false);
    m_selection.erase(found);
    notify_selection();
}

void GuiNodal::toggle_selection(GuiNodalNodeBase& box)
{
    if (box.get_is_selected())
        remove_from_selection(box);
    else
        add_to_selection(box);
}

void GuiNodal::clear_selection()
{
    if (m_selection.empty()) return;
    set_selection({});
}

namespace {

void extend_bounds(GuiNodalNodeBase const& box, GMathVec2<int>& min, GMathVec2<int>& max)
{
    GMathVec2<int> const& pos = box.get_world_pos();
    min = GMathVec2<int>(std::min(min[0], pos[0]), std::min(min[1], pos[1] - box.get_height()));
    max = GMathVec2<int>(std::max(max[0], pos[0] + box.get_width()), std::max(max[1], pos[1]));
}

}  // namespace

void GuiNodal::get_selection_bounding(GMathVec2<int>& min, GMathVec2<int>& max) const
{
    min = GMathVec2<int>(EMPTY_BOUND, EMPTY_BOUND);
    max = GMathVec2<int>(-EMPTY_BOUND, -EMPTY_BOUND);
    for (GuiNodalNodeBase const* box : m_selection)
        if (!box->get_is_hidden()) extend_bounds(*box, min, max);
}

void GuiNodal::get_graph_bounding(GMathVec2<int>& min, GMathVec2<int>& max) const
{
    min = GMathVec2<int>(EMPTY_BOUND, EMPTY_BOUND);
    max = GMathVec2<int>(-EMPTY_BOUND, -EMPTY_BOUND);
    auto const add = [&](GuiNodalNodeBase const* box) {
        if (!box->get_is_hidden() && !box->get_parent()) extend_bounds(*box, min, max);
    };
    for (GuiNodalNode const* node : m_nodes) add(node);
    for (GuiNodalNote const* note : m_notes) add(note);
    for (GuiNodalSubnet const* subnet : m_subnets) add(subnet);
    for (GuiNodalBackdrop const* backdrop : m_backdrops) add(backdrop);
    for (bool const upstream : {true, false})
        if (GuiNodalSubnet const* port = m_subnet_scope->get_port(upstream)) add(port);
}

void GuiNodal::get_items_in_zone(GMathVec4<int> const& rect, std::vector<GuiNodalNodeBase*>& boxes) const
{
    auto const add = [&](GuiNodalNodeBase* box) {
        if (box->get_is_hidden() || box->get_parent()) return;
        GMathVec2<int> const& pos = box->get_world_pos();
        if (pos[0] >= rect[0] && pos[0] + box->get_width() <= rect[2] && pos[1] - box->get_height() >= rect[1] &&
            pos[1] <= rect[3])
            boxes.push_back(box);
    };
    for (GuiNodalNode* node : m_nodes) add(node);
    for (GuiNodalNote* note : m_notes) add(note);
    for (GuiNodalSubnet* subnet : m_subnets) add(subnet);
    for (GuiNodalBackdrop* backdrop : m_backdrops) add(backdrop);
}

void GuiNodal::manage_preview_rectangle_selection(GMathVec4<int> const& rect)
{
    std::vector<GuiNodalNodeBase*> inside;
    get_items_in_zone(rect, inside);
    auto const preview = [&](GuiNodalNodeBase* box) {
        box->set_is_preselected(std::find(inside.begin(), inside.end(), box) != inside.end());
    };
    for (GuiNodalNode* node : m_nodes) preview(node);
    for (GuiNodalNote* note : m_notes) preview(note);
    for (GuiNodalSubnet* subnet : m_subnets) preview(subnet);
    for (GuiNodalBackdrop* backdrop : m_backdrops) preview(backdrop);
    redraw();
}

void GuiNodal::manage_rectangle_selection(GMathVec4<int> const& rect, bool const& add, bool const& toggle)
{
    manage_preview_rectangle_selection(GMathVec4<int>(1, 1, 0, 0));  // nothing preselected
    std::vector<GuiNodalNodeBase*> inside;
    get_items_in_zone(rect, inside);
    if (toggle) {
        std::vector<GuiNodalNodeBase*> result = m_selection;
        for (GuiNodalNodeBase* box : inside) {
            auto const found = std::find(result.begin(), result.end(), box);
            if (found == result.end())
                result.push_back(box);
            else
                result.erase(found);
        }
        set_selection(result);
    } else if (add) {
        std::vector<GuiNodalNodeBase*> result = m_selection;
        result.insert(result.end(), inside.begin(), inside.end());
        set_selection(result);
    } else {
        set_selection(inside);
    }
}

namespace {

}  // namespace

void GuiNodal::select_neighbours(bool const& upstream, bool const& downstream)
{
    std::vector<GuiNodalNodeBase*> result = m_selection;
    for (size_t i = 0; i < result.size(); ++i) {
        std::vector<GuiNodalLink*> links;
        result[i]->get_connexity(links);
        for (GuiNodalLink* link : links) {
            GuiNodalNodeBase* from = GuiNodalNode::get_owner_node(link->get_node_from(), true);
            GuiNodalNodeBase* to = GuiNodalNode::get_owner_node(link->get_node_to(), true);
            GuiNodalNodeBase* next = nullptr;
            if (upstream && to == result[i]) next = from;
            if (downstream && from == result[i]) next = to;
            if (next && std::find(result.begin(), result.end(), next) == result.end()) result.push_back(next);
        }
    }
    set_selection(result);
}

// Grid, snapping and magnet -------------------------------------------------------------------------

void GuiNodal::set_grid_displayed(bool const& displayed)
{
    m_grid_displayed = displayed;
    redraw();
}

void GuiNodal::set_grid_size(int const& size)
{
    if (size < 1) {
        CORE_LOG_WARNING("GuiNodal.set_grid_size: " << size << " is not a grid size; it stays " << m_grid_size << "\n");
        return;
    }
    m_grid_size = size;
    redraw();
}

GMathVec2<int> GuiNodal::snap_coord(GMathVec2<int> const& point) const
{
    auto const snap = [g = m_grid_size](int c) {
        double const half = g * 0.5;
        long const v = c > 0 ? static_cast<long>(c + half) : static_cast<long>(c - half);
        return static_cast<int>(v - v % g);
    };
    return GMathVec2<int>(snap(point[0]), snap(point[1]));
}

GMathVec2<int> GuiNodal::magnet_coord(GuiNodalNodeBase const& box, GMathVec2<int> const& corner) const
{
    int const capture = static_cast<int>(std::lround(MAGNET_PIXELS * get_zoom_ratio_r()));
    GMathVec2<int> result = corner;
    int best_x = capture + 1;
    int best_y = capture + 1;
    int const w = box.get_width();
    int const h = box.get_height();
    for (GuiNodalNode const* other : m_nodes) {
        if (other == &box || other->get_is_hidden() || other->get_is_selected() || other->get_parent()) continue;
        GMathVec2<int> const& pos = other->get_world_pos();
        // Left edges, right edges, and a box beside the other on either side.
        for (int const x : {pos[0], pos[0] + other->get_width() - w, pos[0] + other->get_width(), pos[0] - w})
            if (std::abs(x - corner[0]) < best_x) {
                best_x = std::abs(x - corner[0]);
                result[0] = x;
            }
        for (int const y : {pos[1], pos[1] - other->get_height() + h, pos[1] - other->get_height(), pos[1] + h})
            if (std::abs(y - corner[1]) < best_y) {
                best_y = std::abs(y - corner[1]);
                result[1] = y;
            }
    }
    return result;
}

// Moving the selection ------------------------------------------------------------------------------

void GuiNodal::start_move_selection(GMathVec2<int> const& graph_point)
{
    m_move_starts.clear();
    if (!can_move_selection()) return;
    for (GuiNodalNodeBase* box : m_selection)
        if (!box->get_parent()) m_move_starts.push_back({box, box->get_world_pos(), 1.0});
    m_move_origin = graph_point;
    m_move_delta = GMathVec2<int>(0, 0);
    if (m_stretch && !m_move_starts.empty()) add_stretched_boxes();
}

void GuiNodal::add_stretched_boxes()
{
    // Boxes a moving backdrop carries already follow it whole.
    std::unordered_set<GuiNodalNodeBase const*> taken;
    for (MoveStart const& entry : m_move_starts) {
        taken.insert(entry.box);
        if (entry.box->is_kindof(GuiNodalBackdrop::class_info()))
            for (GuiNodalNodeBase* carried : static_cast<GuiNodalBackdrop*>(entry.box)->get_content())
                taken.insert(carried);
    }
    std::vector<GuiNodalNodeBase*> ring;
    for (MoveStart const& entry : m_move_starts) ring.push_back(entry.box);
    double share = 1.0;
    for (int depth = 0; depth < STRETCH_DEPTH && !ring.empty(); ++depth) {
        share *= 0.5;
        std::vector<GuiNodalNodeBase*> next;
        for (GuiNodalNodeBase* box : ring) {
            std::vector<GuiNodalLink*> links;
            box->get_connexity(links);
            for (GuiNodalLink* link : links) {
                for (GuiNodalNodeBase* end : {link->get_node_from(), link->get_node_to()}) {
                    GuiNodalNodeBase* other = get_movable_box(end);
                    if (!other || other->get_parent() || !taken.insert(other).second) continue;
                    m_move_starts.push_back({other, other->get_world_pos(), share});
                    next.push_back(other);
                }
            }
        }
        ring.swap(next);
    }
}

std::vector<std::pair<GuiNodalNodeBase*, double>> GuiNodal::get_moving_boxes() const
{
    std::vector<std::pair<GuiNodalNodeBase*, double>> boxes;
    for (MoveStart const& entry : m_move_starts) boxes.emplace_back(entry.box, entry.share);
    return boxes;
}

void GuiNodal::move_selection(GMathVec2<int> const& graph_point)
{
    if (m_move_starts.empty()) return;
    GMathVec2<int> delta = graph_point - m_move_origin;
    // The first box leads: its corner is snapped or pulled, the others keep their places to it.
    GuiNodalNodeBase const& lead = *m_move_starts.front().box;
    GMathVec2<int> const lead_start = m_move_starts.front().start;
    GMathVec2<int> corner = lead_start + delta;
    if (m_grid_snapping) corner = snap_coord(corner);
    if (m_magnet) corner = magnet_coord(lead, corner);
    delta = corner - lead_start;
    if (delta == m_move_delta) return;
    m_move_delta = delta;
    // A moving backdrop carries its content that is not selected; selected boxes move here,
    // stretched ones by their share of the movement.
    for (MoveStart const& entry : m_move_starts) {
        GMathVec2<int> const target(entry.start[0] + static_cast<int>(std::lround(delta[0] * entry.share)),
                                    entry.start[1] + static_cast<int>(std::lround(delta[1] * entry.share)));
        GMathVec2<int> const step = target - entry.box->get_world_pos();
        if (step != GMathVec2<int>(0, 0)) entry.box->move(step[0], step[1]);
    }
    invalidate_pick_index();
    redraw();
}

void GuiNodal::stop_move_selection(bool const& moved)
{
    std::vector<GuiNodalNodeBase*> boxes;
    GuiNodalMoveCommand::Moves moves;
    for (MoveStart const& entry : m_move_starts) {
        boxes.push_back(entry.box);
        GMathVec2<int> const delta = entry.box->get_world_pos() - entry.start;
        if (delta != GMathVec2<int>(0, 0)) moves.emplace_back(entry.box, delta);
    }
    bool const changed = moved && !moves.empty();
    m_move_starts.clear();
    if (changed) apply_nodes_positions(boxes);
    if (changed)
        if (OfCommandManager* commands = get_link_editor().get_command_manager())
            commands->run(std::make_unique<GuiNodalMoveCommand>(*this, moves));
    end_move_selection(boxes, changed);
    if (changed) raise_event(EVT_ID_NODAL_NODES_MOVED);
}

bool GuiNodal::drop_dnd_link_data(GuiNodalDndData const& data, GMathVec2<float> const& point)
{
    if (data.get_graph() != this) {
        CORE_LOG_WARNING("GuiNodal.drop_dnd_link_data: the dragged link "
                         << (data.get_plug() ? "comes from another view" : "has no plug") << "; nothing is connected\n");
        return false;
    }
    GuiNodalNodeBase* box = get_movable_box(pick(point));
    bool const upstream = data.is_upstream();
    GuiNodalNodeZoneAnchor* side =
        box ? box->get_anchor(upstream ? GuiNodalNodeBase::NODE_ANCHOR_LEFT : GuiNodalNodeBase::NODE_ANCHOR_RIGHT) : nullptr;
    if (!side) {
        CORE_LOG_WARNING("GuiNodal.drop_dnd_link_data: no box with an "
                         << (upstream ? "input" : "output") << " side at the drop; nothing is connected\n");
        return false;
    }
    bool connected = false;
    if (upstream) {
        connected = create_link(*data.get_plug(), *side) != nullptr;
    } else {
        for (unsigned int i = 0; i < data.get_count(); ++i)
            if (GuiNodalNodeZoneAnchor* plug = data.get_plug(i)) connected = create_link(*side, *plug) != nullptr || connected;
    }
    if (connected) redraw();
    return connected;
}

void GuiNodal::layout_nodes(std::vector<GuiNodalNodeBase*> const& boxes)
{
    // Nodes, dots and subnets standing at the top level; frames and notes keep their place.
    std::vector<GuiNodalNodeBase*> batch;
    for (GuiNodalNodeBase* box : boxes)
        if (box && !box->get_parent() && !box->get_is_hidden() &&
            (box->is_kindof(GuiNodalNode::class_info()) || box->is_kindof(GuiNodalSubnet::class_info())))
            batch.push_back(box);
    if (batch.empty()) return;
    // The arrangement starts where the boxes' lower-left extent was.
    GMathVec2<int> origin = batch.front()->get_world_pos();
    for (GuiNodalNodeBase const* box : batch) {
        origin[0] = std::min(origin[0], box->get_world_pos()[0]);
        origin[1] = std::min(origin[1], box->get_world_pos()[1]);
    }
    GuiNodalLayouter layouter(*this);
    layouter.set_reduce_crossings(true);
    layouter.layout(batch, origin, false);
}

void GuiNodal::apply_layout(std::vector<GuiNodalNodeBase*> const& nodes, bool const& silent)
{
    if (nodes.empty()) return;
    // A backdrop carries its content along when it moves (nested backdrops theirs): the
    // application hears of every box that moved. Backdrops hold their content by containment,
    // neither hiding nor parenting it, so there is nothing to show again or detach.
    std::vector<GuiNodalNodeBase*> moved = nodes;
    std::unordered_set<GuiNodalNodeBase const*> listed(nodes.begin(), nodes.end());
    for (size_t i = 0; i < moved.size(); ++i)  // the list grows as it is walked: nested content too
        if (moved[i]->is_kindof(GuiNodalBackdrop::class_info()))
            for (GuiNodalNodeBase* content : static_cast<GuiNodalBackdrop*>(moved[i])->get_content())
                if (listed.insert(content).second) moved.push_back(content);
    apply_nodes_positions(moved);
    invalidate_pick_index();
    redraw();
    if (!silent) raise_event(EVT_ID_NODAL_NODES_MOVED);
}

void GuiNodal::cancel_move_selection()
{
    if (m_move_starts.empty()) return;
    for (MoveStart const& entry : m_move_starts) {
        GMathVec2<int> const back = entry.start - entry.box->get_world_pos();
        if (back != GMathVec2<int>(0, 0)) entry.box->move(back[0], back[1]);
    }
    m_move_delta = GMathVec2<int>(0, 0);
    stop_move_selection(false);
    invalidate_pick_index();
    redraw();
}

// Fitting ---------------------------------------------------------------------------------------------

void GuiNodal::compute_fitting(GMathVec4<int> const& area, GMathVec2<float>& pos, float& ratio) const
{
    int const w = std::max(area[2] - area[0], 1);
    int const h = std::max(area[3] - area[1], 1);
    double const margin_x = std::lround(w * FIT_MARGIN);
    double const margin_y = std::lround(h * FIT_MARGIN);
    double const wide = w + 2.0 * margin_x;
    double const high = h + 2.0 * margin_y;
    double const zone_w = get_graph_zone_width();
    double const zone_h = get_graph_zone_height();
    ratio = std::clamp(static_cast<float>(std::min(zone_w / wide, zone_h / high)), get_min_zoom_ratio(),
                       get_max_zoom_ratio());
    // The area's middle in the zone's middle.
    double const factor = std::lround(zone_h / ratio);
    double const shown_w = zone_w * factor / zone_h;
    pos = GMathVec2<float>(static_cast<float>((area[0] + area[2]) / 2.0 - shown_w / 2.0),
                           static_cast<float>((area[1] + area[3]) / 2.0 - factor / 2.0));
}

void GuiNodal::manage_fit(bool const& selection)
{
    for (GuiNodalNode* node : m_nodes)
        if (node->get_scale() != 1.0f) node->set_scale(1.0f);
    GMathVec2<int> min, max;
    if (selection)
        get_selection_bounding(min, max);
    else
        get_graph_bounding(min, max);
    if (min[0] > max[0]) {
        if (selection) return;
        // Nothing to show: the first view.
        go_to_view(GMathVec2<float>(0.0f, -static_cast<float>(get_graph_zone_height())), 1.0f);
        return;
    }
    GMathVec2<float> pos;
    float ratio = 1.0f;
    compute_fitting(GMathVec4<int>(min[0], min[1], max[0], max[1]), pos, ratio);
    go_to_view(pos, ratio);
}

void GuiNodal::make_visible()
{
    GMathVec2<int> min, max;
    get_selection_bounding(min, max);
    if (min[0] > max[0]) return;
    double const shown_w = static_cast<double>(get_graph_zone_width()) * m_zoom_factor / get_graph_zone_height();
    go_to_view(GMathVec2<float>(static_cast<float>((min[0] + max[0]) / 2.0 - shown_w / 2.0),
                                static_cast<float>((min[1] + max[1]) / 2.0 - m_zoom_factor / 2.0)),
               m_zoom_ratio);
}

GMathVec4<int> GuiNodal::get_view_area_at(GMathVec2<float> const& pos, float const& ratio) const
{
    double const factor = get_graph_zone_height() / static_cast<double>(ratio);
    double const width = static_cast<double>(get_graph_zone_width()) / ratio;
    return GMathVec4<int>(static_cast<int>(std::lround(pos[0])), static_cast<int>(std::lround(pos[1])),
                          static_cast<int>(std::lround(pos[0] + width)), static_cast<int>(std::lround(pos[1] + factor)));
}

void GuiNodal::go_to_view(GMathVec2<float> const& pos, float const& ratio)
{
    AppBase* app = AppBase::get_instance();
    bool const same_zoom = std::fabs(get_graph_zone_height() / ratio - m_zoom_factor) < 1.0f;
    bool const tiny = std::fabs(pos[0] - m_view_pos[0]) < 1.0f && std::fabs(pos[1] - m_view_pos[1]) < 1.0f && same_zoom;
    if (tiny) return;
    GMathVec4<int> const& now = m_view_area;
    GMathVec4<int> const target = get_view_area_at(pos, ratio);
    // A pan to a place the view already shows part of needs no animation to follow.
    GMathVec2<float> const middle((target[0] + target[2]) / 2.0f, (target[1] + target[3]) / 2.0f);
    bool const near_pan = same_zoom && is_inside(static_cast<int>(middle[0]), static_cast<int>(middle[1]), now[0],
                                                 now[2], now[3], now[1]);
    if (!m_smooth_transitions || !app || near_pan) {
        set_zoom_ratio(ratio);
        set_view_pos(pos);
        notify_view();
        return;
    }
    m_fit_from_pos = m_view_pos;
    m_fit_from_ratio = m_zoom_ratio;
    m_fit_to_pos = pos;
    m_fit_to_ratio = ratio;
    // A target partly out of sight is reached through a view that shows both, so the eye
    // follows where the view goes.
    bool const outside = target[0] < now[0] || target[1] < now[1] || target[2] > now[2] || target[3] > now[3];
    m_fit_through_middle = outside;
    if (outside)
        compute_fitting(GMathVec4<int>(std::min(now[0], target[0]), std::min(now[1], target[1]),
                                       std::max(now[2], target[2]), std::max(now[3], target[3])),
                        m_fit_mid_pos, m_fit_mid_ratio);
    m_fit_start = app->get_run_time();
    if (!m_fit_timer) m_fit_timer = app->add_timer(&GuiNodal::on_view_animation_timer, this, 0.0);
}

bool GuiNodal::step_view_animation(double const& now)
{
    if (m_fit_start < 0.0) return false;
    double const duration = m_fit_through_middle ? 2.0 * FIT_DURATION : FIT_DURATION;
    double t = std::clamp((now - m_fit_start) / duration, 0.0, 1.0);
    // Through the middle view: its first half goes there, the second on to the target.
    GMathVec2<float> from_pos = m_fit_from_pos;
    GMathVec2<float> to_pos = m_fit_to_pos;
    float from_ratio = m_fit_from_ratio;
    float to_ratio = m_fit_to_ratio;
    if (m_fit_through_middle) {
        if (t < 0.5) {
            to_pos = m_fit_mid_pos;
            to_ratio = m_fit_mid_ratio;
            t *= 2.0;
        } else {
            from_pos = m_fit_mid_pos;
            from_ratio = m_fit_mid_ratio;
            t = 2.0 * t - 1.0;
        }
    }
    // Eased at both ends; the zoom moves evenly in scale, the position with it.
    double const s = t * t * (3.0 - 2.0 * t);
    float const ratio = static_cast<float>(from_ratio * std::pow(to_ratio / from_ratio, s));
    GMathVec2<float> const pos = from_pos + (to_pos - from_pos) * static_cast<float>(s);
    set_zoom_ratio(ratio);
    set_view_pos(pos);
    if (now - m_fit_start < duration) return true;
    m_fit_start = -1.0;
    notify_view();
    return false;
}

void GuiNodal::stop_view_animation()
{
    if (!m_fit_timer) return;
    if (AppBase* app = AppBase::get_instance()) app->remove_timer(m_fit_timer);
    m_fit_timer = 0;
    m_fit_start = -1.0;
}

void GuiNodal::on_view_animation_timer(void* data)
{
    auto* view = static_cast<GuiNodal*>(data);
    AppBase* app = AppBase::get_instance();
    if (app && view->step_view_animation(app->get_run_time()))
        app->repeat_timer(VIEW_ANIMATION_PERIOD);
    else
        view->m_fit_timer = 0;
}

int GuiNodal::get_drop_alpha(double const& now) const
{
    if (m_drop_start < 0.0 || now < m_drop_start) return m_drop_start < 0.0 ? 0 : DROP_ALPHA;
    double const left = 1.0 - (now - m_drop_start) / DROP_DURATION;
    return left > 0.0 ? static_cast<int>(std::lround(DROP_ALPHA * left)) : 0;
}

void GuiNodal::on_drop_timer(void* data)
{
    auto* view = static_cast<GuiNodal*>(data);
    AppBase* app = AppBase::get_instance();
    view->redraw();
    if (app && view->get_drop_alpha(app->get_run_time()) > 0) {
        app->repeat_timer(VIEW_ANIMATION_PERIOD);
        return;
    }
    view->m_drop_timer = 0;
    view->m_drop_start = -1.0;
    view->m_drop_marks.clear();
}

void GuiNodal::notify_view()
{
    raise_event(EVT_ID_NODAL_VIEW_CHANGED);
}

// Gestures ----------------------------------------------------------------------------------------------

GuiNodalNodeBase* GuiNodal::get_movable_box(GuiNodalItem* item) const
{
    if (!item || item->is_kindof(GuiNodalLink::class_info()) || item->is_kindof(GuiNodalNodeZoneButton::class_info()))
        return nullptr;
    auto* box = static_cast<GuiNodalNodeBase*>(item);
    while (box->get_parent() && (box->is_kindof(GuiNodalNodeZone::class_info()) ||
                                 (box->is_kindof(GuiNodalNode::class_info()) &&
                                  static_cast<GuiNodalNode*>(box)->is_embedded())))
        box = box->get_parent();
    return box->get_parent() ? nullptr : box;
}

bool GuiNodal::begin_link_gesture(GuiNodalItem* item)
{
    GuiNodalLinkEditor& editor = get_link_editor();
    editor.set_graph_mouse_pos(m_press_graph);
    if (item && item->is_kindof(GuiNodalNodeZoneAnchor::class_info())) {
        auto* plug = static_cast<GuiNodalNodeZoneAnchor*>(item);
        // An input with a link: its end is dragged off; any other plug starts a new link.
        GuiNodalLink* incoming = nullptr;
        if (plug->get_side() == GuiNodalNodeBase::NODE_ANCHOR_LEFT)
            for (size_t i = 0; i < plug->get_links_count() && !incoming; ++i)
                if (plug->get_link(i)->get_node_to() == plug) incoming = plug->get_link(i);
        if (incoming && editor.begin_destruction(*incoming, *plug)) {
            m_state = GRAPH_STATE_LINK_DESTRUCTION;
        } else if (editor.begin_link_creation(*plug)) {
            m_state = GRAPH_STATE_LINK_CREATION;
        } else {
            return false;
        }
        set_link_interaction(true);
        return true;
    }
    if (item && item->is_kindof(GuiNodalLink::class_info())) {
        // A press near an end of a link drags that end off its plug.
        auto* link = static_cast<GuiNodalLink*>(item);
        float const reach = GuiNodalLink::m_plug_pickable_to_size * get_zoom_ratio_r();
        GMathVec2<float> const press(static_cast<float>(m_press_graph[0]), static_cast<float>(m_press_graph[1]));
        auto const near = [&](int x, int y) { return std::hypot(press[0] - x, press[1] - y) <= reach; };
        GuiNodalNodeBase* end = near(link->get_to_x(), link->get_to_y())       ? link->get_node_to()
                                : near(link->get_from_x(), link->get_from_y()) ? link->get_node_from()
                                                                               : nullptr;
        if (end && editor.begin_destruction(*link, *end)) {
            m_state = GRAPH_STATE_LINK_DESTRUCTION;
            set_link_interaction(true);
            return true;
        }
    }
    return false;
}

GMathVec4<int> GuiNodal::get_rubber_band() const
{
    return GMathVec4<int>(std::min(m_press_graph[0], m_drag_graph[0]), std::min(m_press_graph[1], m_drag_graph[1]),
                          std::max(m_press_graph[0], m_drag_graph[0]), std::max(m_press_graph[1], m_drag_graph[1]));
}

void GuiNodal::on_press(GMathVec2<int> const& pixel, int const& button, bool const& shift, bool const& ctrl,
                        bool const& alt)
{
    if (m_state == GRAPH_STATE_LINK_CREATION && m_press_button == 0) {
        // A link started from the keyboard or a menu: this click ends it, on a plug or not.
        m_press_button = button;
        on_release(pixel, button, shift, ctrl);
        return;
    }
    m_mouse_pixel = pixel;
    if (button == Gui::MOUSE_BUTTON_ID_LEFT)
        if (GuiNodalBookmark* bookmark = get_bookmark_at(pixel)) {
            // A click on a bookmark goes to its viewpoint; an id past the list does nothing.
            if (GuiNodalBookmarkData* data = get_bookmark_data(*bookmark)) apply_bookmark(*data);
            return;
        }
    m_press_pixel = pixel;
    m_press_button = button;
    manage_autoscroll(pixel, true);
    m_press_graph = compute_graph_coords(pixel);
    m_drag_graph = m_press_graph;
    m_press_view_pos = m_view_pos;
    m_dragged = false;
    set_graph_mouse_pos(m_press_graph);
    m_pressed_item = pick(to_graph(pixel[0], pixel[1]));
    if (m_fit_start >= 0.0) m_fit_start = -1.0;  // the user takes over from an animation
    if (button == Gui::MOUSE_BUTTON_ID_MIDDLE || (button == Gui::MOUSE_BUTTON_ID_LEFT && alt)) {
        m_state = GRAPH_STATE_GRAPH_PAN;
        return;
    }
    if (button == Gui::MOUSE_BUTTON_ID_LEFT && pick_minimap(pixel)) {
        m_state = GRAPH_STATE_MINIMAP_DRAG;
        edit_minimap(pixel);
        return;
    }
    if (button == Gui::MOUSE_BUTTON_ID_RIGHT) return;  // a knife once it moves, else the menu
    if (button != Gui::MOUSE_BUTTON_ID_LEFT) return;
    if (begin_link_gesture(m_pressed_item)) return;
    if (m_pressed_item && m_pressed_item->is_kindof(GuiNodalNodeZoneButton::class_info())) {
        auto* pressed = static_cast<GuiNodalNodeZoneButton*>(m_pressed_item);
        if (pressed->get_action_mode() == GuiNodalNodeZoneButton::BUTTON_ACTION_DRAG) {
            m_state = GRAPH_STATE_NODE_RESIZE;
            pressed->drag_begin();
        }
        return;  // a click button acts on release
    }
    GuiNodalNodeBase* box = get_movable_box(m_pressed_item);
    if (!box) {
        m_state = GRAPH_STATE_MULTISELECTION_SQUARE;
        return;
    }
    if (ctrl)
        toggle_selection(*box);
    else if (shift)
        add_to_selection(*box);
    else if (!box->get_is_selected())
        set_selection({box});
    if (!box->get_is_selected()) return;  // toggled off: nothing to move
    m_state = GRAPH_STATE_NODE_MOVE;
    start_move_selection(m_press_graph);
}

void GuiNodal::manage_autoscroll(GMathVec2<int> const& pixel, bool const& reset)
{
    // How far past the graph zone the pointer is, in pixels on each axis.
    int const left = VIEWPORT_OFFSET;
    int const top = VIEWPORT_OFFSET;
    int const right = VIEWPORT_OFFSET + get_graph_zone_width();
    int const bottom = VIEWPORT_OFFSET + get_graph_zone_height();
    int const over_x = pixel[0] < left ? pixel[0] - left : pixel[0] > right ? pixel[0] - right : 0;
    int const over_y = pixel[1] < top ? pixel[1] - top : pixel[1] > bottom ? pixel[1] - bottom : 0;
    if (reset || (over_x == 0 && over_y == 0)) {
        m_autoscroll_applied = GMathVec2<float>(0.0f, 0.0f);
        return;
    }
    float const units = get_zoom_ratio_r();
    // Graph y grows upwards where pixels grow downwards.
    GMathVec2<float> const wanted(over_x * units, -over_y * units);
    GMathVec2<float> step(0.0f, 0.0f);
    for (int axis = 0; axis < 2; ++axis) {
        float const more = wanted[axis] - m_autoscroll_applied[axis];
        // Only further out, in the direction already scrolled (or a new one).
        if (wanted[axis] != 0.0f && (more > 0.0f) == (wanted[axis] > 0.0f)) step[axis] = more;
    }
    if (step == GMathVec2<float>(0.0f, 0.0f)) return;
    m_autoscroll_applied = m_autoscroll_applied + step;
    set_view_pos(m_view_pos + step);
}

void GuiNodal::on_drag(GMathVec2<int> const& pixel)
{
    if (m_state == GRAPH_STATE_NODE_DRAGGING || m_state == GRAPH_STATE_NODE_MOVE ||
        m_state == GRAPH_STATE_MULTISELECTION_SQUARE || m_state == GRAPH_STATE_LINK_CREATION ||
        m_state == GRAPH_STATE_LINK_DESTRUCTION || m_state == GRAPH_STATE_KNIFE)
        manage_autoscroll(pixel, false);
    GMathVec2<int> const graph_point = compute_graph_coords(pixel);
    GMathVec2<int> const moved = pixel - m_press_pixel;
    if (moved[0] * moved[0] + moved[1] * moved[1] > DRAG_THRESHOLD) m_dragged = true;
    m_drag_graph = graph_point;
    set_graph_mouse_pos(graph_point);
    if (Gui::MOUSE_BUTTON_ID_RIGHT == m_press_button && m_state == GRAPH_STATE_IDLE && m_dragged) {
        m_state = GRAPH_STATE_KNIFE;
        get_link_editor().clear_knife_path();
        get_link_editor().add_knife_point(m_press_graph);
    }
    switch (m_state) {
        case GRAPH_STATE_MINIMAP_DRAG:
            edit_minimap(pixel);
            break;
        case GRAPH_STATE_LINK_CREATION:
        case GRAPH_STATE_LINK_DESTRUCTION:
            get_link_editor().set_graph_mouse_pos(graph_point);
            get_link_editor().check_link_target(pick(to_graph(pixel[0], pixel[1])));
            break;
        case GRAPH_STATE_KNIFE:
            get_link_editor().add_knife_point(graph_point);
            redraw();
            break;
        case GRAPH_STATE_GRAPH_PAN: {
            // The graph point under the press stays under the pointer.
            double const units = static_cast<double>(m_zoom_factor) / get_graph_zone_height();
            set_view_pos(m_press_view_pos - GMathVec2<float>(static_cast<float>(moved[0] * units),
                                                             static_cast<float>(-moved[1] * units)));
            break;
        }
        case GRAPH_STATE_NODE_MOVE:
        case GRAPH_STATE_NODE_DRAGGING:
            if (!m_dragged) break;
            m_state = GRAPH_STATE_NODE_DRAGGING;
            move_selection(graph_point);
            break;
        case GRAPH_STATE_MULTISELECTION_SQUARE:
            if (m_dragged) manage_preview_rectangle_selection(get_rubber_band());
            break;
        case GRAPH_STATE_NODE_RESIZE:
            if (m_pressed_item) {
                GMathVec2<int> const step = graph_point - m_press_graph;
                static_cast<GuiNodalNodeZoneButton*>(m_pressed_item)->drag(step);
                m_press_graph = graph_point;
                invalidate_pick_index();
                redraw();
            }
            break;
        default: break;
    }
}

void GuiNodal::on_release(GMathVec2<int> const& pixel, int const& button, bool const& shift, bool const& ctrl)
{
    on_drag(pixel);
    GraphState const state = m_state;
    m_state = GRAPH_STATE_IDLE;
    GuiNodalItem* const target = pick(to_graph(pixel[0], pixel[1]));
    bool const edits_links =
        state == GRAPH_STATE_LINK_CREATION || state == GRAPH_STATE_LINK_DESTRUCTION || state == GRAPH_STATE_KNIFE;
    auto const links_before = edits_links ? snapshot_links() : std::vector<std::pair<GuiNodalEndRef, GuiNodalEndRef>>();
    switch (state) {
        case GRAPH_STATE_MINIMAP_DRAG:
            notify_view();
            break;
        case GRAPH_STATE_LINK_CREATION:
            set_link_interaction(false);
            get_link_editor().manage_link_creation(target);
            record_link_changes(links_before, "Connect");
            invalidate_pick_index();
            break;
        case GRAPH_STATE_LINK_DESTRUCTION:
            set_link_interaction(false);
            get_link_editor().manage_link_destruction(target);
            record_link_changes(links_before, "Reconnect");
            invalidate_pick_index();
            break;
        case GRAPH_STATE_KNIFE:
            get_link_editor().manage_knife_cut();
            get_link_editor().clear_knife_path();
            record_link_changes(links_before, "Disconnect");
            invalidate_pick_index();
            break;
        case GRAPH_STATE_GRAPH_PAN:
            if (m_view_pos != m_press_view_pos) notify_view();
            // A middle click without a drag selects what it was on.
            if (button == Gui::MOUSE_BUTTON_ID_MIDDLE && !m_dragged)
                if (GuiNodalNodeBase* box = get_movable_box(m_pressed_item)) {
                    if (shift || ctrl)
                        add_to_selection(*box);
                    else
                        set_selection({box});
                }
            break;
        case GRAPH_STATE_NODE_MOVE:
        case GRAPH_STATE_NODE_DRAGGING: {
            // A lone node dropped on a link goes into it, in the same undo step as the move.
            OfCommandManager* commands = get_link_editor().get_command_manager();
            bool const dropped = state == GRAPH_STATE_NODE_DRAGGING;
            if (commands) commands->begin_batch("Move Nodes");
            stop_move_selection(dropped);
            if (dropped && m_node_auto_insert && m_selection.size() == 1 &&
                m_selection.front()->is_kindof(GuiNodalNode::class_info())) {
                auto* node = static_cast<GuiNodalNode*>(m_selection.front());
                GMathVec2<int> const centre = node->get_center();
                if (GuiNodalLink* link = get_link_near(GMathVec2<float>(centre[0], centre[1]), 8.0f, node)) {
                    auto const before = snapshot_links();
                    if (!manage_link_node_insertion(*link, *node, false, false)) insert_node_in_link(*link, *node);
                    record_link_changes(before, "Insert Node");
                }
            }
            if (commands) commands->end_batch();
            break;
        }
        case GRAPH_STATE_MULTISELECTION_SQUARE:
            if (m_dragged)
                manage_rectangle_selection(get_rubber_band(), shift, ctrl);
            else if (!shift && !ctrl)
                clear_selection();  // a click on empty space
            break;
        case GRAPH_STATE_NODE_RESIZE:
            if (m_pressed_item) static_cast<GuiNodalNodeZoneButton*>(m_pressed_item)->drag_end();
            break;
        case GRAPH_STATE_IDLE:
            if (button == Gui::MOUSE_BUTTON_ID_RIGHT && !m_dragged) {
                show_popup_menu(pixel);
                break;
            }
            if (button == Gui::MOUSE_BUTTON_ID_LEFT && m_pressed_item &&
                m_pressed_item->is_kindof(GuiNodalNodeZoneButton::class_info()) && target == m_pressed_item)
                static_cast<GuiNodalNodeZoneButton*>(m_pressed_item)->click();
            break;
        default: break;
    }
    m_pressed_item = nullptr;
    redraw();
}

void GuiNodal::on_hover(GMathVec2<int> const& pixel)
{
    m_mouse_pixel = pixel;
    GuiNodalBookmark* const over = get_bookmark_at(pixel);
    for (GuiNodalBookmark* bookmark : m_bookmark_buttons)
        if (bookmark->get_is_highlighted() != (bookmark == over)) {
            bookmark->set_is_highlighted(bookmark == over);
            redraw();
        }
    GMathVec2<float> const point = to_graph(pixel[0], pixel[1]);
    set_graph_mouse_pos(compute_graph_coords(pixel));
    if (m_state == GRAPH_STATE_LINK_CREATION) {
        // A link started from the keyboard follows the pointer without a button held.
        get_link_editor().set_graph_mouse_pos(compute_graph_coords(pixel));
        get_link_editor().check_link_target(pick(point));
        return;
    }
    GuiNodalItem* item = pick(point);
    GuiNodalNodeBase* box = get_movable_box(item);
    // What the pointer is over shows it: a plug, a link or a button itself, else its box.
    GuiNodalItem* lit = item && (item->is_kindof(GuiNodalNodeZoneAnchor::class_info()) ||
                                 item->is_kindof(GuiNodalLink::class_info()) ||
                                 item->is_kindof(GuiNodalNodeZoneButton::class_info()))
                            ? item
                            : box;
    if (!m_highlighting_allowed) lit = nullptr;
    if (lit != m_highlighted) {
        if (m_highlighted) m_highlighted->set_is_highlighted(false);
        m_highlighted = lit;
        if (lit) lit->set_is_highlighted(true);
        redraw();
    }
    if (box == m_hovered) return;
    if (m_hovered && m_hovered->is_kindof(GuiNodalNode::class_info()))
        static_cast<GuiNodalNode*>(m_hovered)->begin_fade_out();
    m_hovered = box;
    if (box && box->is_kindof(GuiNodalNode::class_info())) static_cast<GuiNodalNode*>(box)->begin_fade_in();
}

void GuiNodal::on_wheel(GMathVec2<int> const& pixel, int const& steps)
{
    if (steps == 0) return;
    zoom_at(pixel, m_zoom_ratio * static_cast<float>(std::pow(WHEEL_ZOOM_STEP, -steps)));
    notify_view();
}

bool GuiNodal::on_key(int const& key)
{
    if (key != Gui::KEY_ID_ESCAPE) return false;
    if (m_state == GRAPH_STATE_LINK_CREATION) {
        get_link_editor().cancel_link_creation();
        set_link_interaction(false);
        m_state = GRAPH_STATE_IDLE;
        return true;
    }
    if (m_state == GRAPH_STATE_LINK_DESTRUCTION) {
        // The link keeps its end; the release that follows ends the gesture.
        get_link_editor().cancel_destruction();
        set_link_interaction(false);
        m_state = GRAPH_STATE_LINK_CANCEL;
        return true;
    }
    if (m_state == GRAPH_STATE_KNIFE) {
        get_link_editor().clear_knife_path();
        m_state = GRAPH_STATE_IDLE;
        redraw();
        return true;
    }
    if (m_state == GRAPH_STATE_NODE_MOVE || m_state == GRAPH_STATE_NODE_DRAGGING) {
        cancel_move_selection();
        m_state = GRAPH_STATE_IDLE;
        return true;
    }
    if (m_state == GRAPH_STATE_MULTISELECTION_SQUARE) {
        manage_preview_rectangle_selection(GMathVec4<int>(1, 1, 0, 0));
        m_state = GRAPH_STATE_IDLE;
        return true;
    }
    return false;
}

int GuiNodal::process_event(CoreString const& name)
{
    int x = 0;
    int y = 0;
    Gui::get_relative_mouse_coords(*this, x, y);
    GMathVec2<int> const pixel(x, y);
    if (name == EVT_ID_MOUSE_DOWN) {
        set_focus();
        on_press(pixel, Gui::get_event_mouse_button(), Gui::is_modifier_shift(), Gui::is_modifier_ctrl(),
                 Gui::is_modifier_alt());
        return 1;
    }
    if (name == EVT_ID_MOUSE_DRAG) {
        on_drag(pixel);
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP) {
        on_release(pixel, Gui::get_event_mouse_button(), Gui::is_modifier_shift(), Gui::is_modifier_ctrl());
        return 1;
    }
    if (name == EVT_ID_MOUSE_MOVE) {
        on_hover(pixel);
        return 1;
    }
    if (name == EVT_ID_MOUSE_WHEEL) {
        on_wheel(pixel, Gui::get_wheel_dy());
        return 1;
    }
    if (name == EVT_ID_KEY_DOWN && on_key(Gui::get_last_key_pressed())) return 1;
    return GuiGlWidget::process_event(name);
}

// Actions -------------------------------------------------------------------------------------------

bool GuiNodal::st_is_move_issuer = false;

namespace {

struct ViewAction {
    char const* name;
    char const* shortcut;
    char const* tooltip;
};

// The actions every view has; "hide", or "subnet" and "backdrop", follow the hide mode.
ViewAction const VIEW_ACTIONS[] = {
    {"fit", "f", "Fit View to Selection."},
    {"fit all", "a", "Fit View to All Network."},
    {"make_visible", "alt+f", "Pan View to center Selection."},
    {"grid", "g", "Enable/disable grid snapping when moving nodes."},
    {"magnet", "m", "Enable/disable magnet when moving nodes."},
    {"tune_grid", "shift+g", "Tune grid."},
    {"cull links", "k", "Show/hide links which extremities are outside view."},
    {"highlight links", "", "Enable/disable links highlight for selected nodes."},
    {"node_auto_insert", "", "Enable/disable node auto-insertion into a link."},
    // An upper-case N: shift and the key.
    {"display_node_label", "shift+n", "Enable/disable node title display when zooming out."},
    {"node_max_width", "", "Change maximum width for all nodes. Null value disables cropping."},
    {"smooth_transitions", "", "Enable/disable smooth transitions (animation) when fitting view."},
    {"stretch", "", "Enable/disable stretching when moving nodes."},
    {"start_connecting", "x", ""},
    {"start_multiconnecting", "shift+x", ""},
    {"select inputs", "", "Select upstream nodes."},
    {"select outputs", "", "Select downstream nodes."},
    {"select neighbors", "", "Select connected nodes."},
    {"bookmark", "ctrl+b", "Bookmark current viewpoint"},
    {"bk_remove", "", "Remove bookmark under mouse"},
    {"bk_update", "", "Update bookmark under mouse: snapshot current viewpoint"},
    {"bk_edit", "", "Change color/name of bookmark under mouse"},
    {"bk_clear", "", "Remove all bookmarks"},
    {"tangent links", "t", ""},
    {"expand all", "", "Show all plugs for all nodes."},
    {"expand selection", "", "Show all plugs for selected nodes."},
    {"collapse all", "", "Hide all plugs for all nodes."},
    {"collapse selection", "", "Hide all plugs for selected nodes."},
    {"show used plugs all", "", "Show only connected plugs for all nodes."},
    {"show used plugs selection", "", "Show only connected plugs for selected nodes."},
    {"layout", "l", "Lay out the selected nodes, or all of them, in columns that follow their links."},
    {"enter subnet", "i", "Show the content of the subnet under the mouse, or of the selected one."},
    {"leave subnet", "u", "Leave the subnet shown, back to the graph around it."},
};
ViewAction const HIDE_ACTION = {"hide", "h", "Hide selected nodes."};
ViewAction const OMNIDIRECTIONAL_ACTION = {"omnidirectional_layout", "", "Enable/Disable omnidirectional layout"};
ViewAction const GROUP_ACTIONS[] = {
    {"subnet", "", "Create Subnet node enclosing selection."},
    {"backdrop", "b", "Create Backdrop enclosing selection."},
};

}  // namespace

void GuiNodal::register_layout_actions()
{
    auto const add = [this](ViewAction const& action) {
        if (!get_action(action.name))
            register_action(action.name, &GuiNodal::on_view_action, action.shortcut, action.tooltip);
    };
    for (ViewAction const& action : VIEW_ACTIONS) add(action);
    if (is_omnidirectional_layout_supported()) add(OMNIDIRECTIONAL_ACTION);
    if (m_hide_mode)
        add(HIDE_ACTION);
    else
        for (ViewAction const& action : GROUP_ACTIONS) add(action);
}

void GuiNodal::on_view_action(GuiWidget& widget, GuiAction const& action, void*)
{
    static_cast<GuiNodal&>(widget).run_action(action.get_name());
}

bool GuiNodal::run_action(CoreString const& name)
{
    std::string const action = name.std_string();
    if (action == "fit") {
        manage_fit(true);
    } else if (action == "fit all") {
        manage_fit(false);
    } else if (action == "make_visible") {
        make_visible();
    } else if (action == "layout") {
        layout_nodes(m_selection.empty() ? std::vector<GuiNodalNodeBase*>(m_nodes.begin(), m_nodes.end()) : m_selection);
    } else if (action == "grid") {
        m_grid_snapping = !m_grid_snapping;
    } else if (action == "magnet") {
        m_magnet = !m_magnet;
    } else if (action == "tune_grid") {
        open_grid_options();
    } else if (action == "node_max_width") {
        open_node_bounding();
    } else if (action == "stretch") {
        m_stretch = !m_stretch;
    } else if (action == "omnidirectional_layout") {
        set_omnidirectional_layout(!m_omnidirectional);
    } else if (action == "cull links") {
        set_link_culling(!m_link_culling);
    } else if (action == "highlight links" && Gui::is_modifier_shift()) {
        open_link_highlight_mode();
    } else if (action == "highlight links") {
        GuiNodalLinkEditor& editor = get_link_editor();
        editor.set_link_highlight(!editor.is_link_highlight());
        editor.apply_link_highlight(m_selection);
        redraw();
    } else if (action == "node_auto_insert") {
        m_node_auto_insert = !m_node_auto_insert;
    } else if (action == "display_node_label") {
        set_display_node_label(static_cast<DisplayNodeLabel>((m_display_node_label + 1) % 3));
    } else if (action == "smooth_transitions") {
        m_smooth_transitions = !m_smooth_transitions;
    } else if (action == "start_connecting" || action == "start_multiconnecting") {
        // From the selected nodes' outputs (the first one alone, or each), following the
        // pointer until the next click.
        std::vector<GuiNodalNodeBase*> outputs;
        for (GuiNodalNodeBase* box : m_selection)
            if (box->is_kindof(GuiNodalNode::class_info()) && box->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT))
                outputs.push_back(box->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT));
        if (action == "start_connecting" && outputs.size() > 1) outputs.resize(1);
        GuiNodalLinkEditor& editor = get_link_editor();
        if (outputs.empty() || m_state != GRAPH_STATE_IDLE || !editor.begin_link_creation(*outputs.front()))
            return true;
        for (size_t i = 1; i < outputs.size(); ++i) editor.add_creation_link(*outputs[i]);
        editor.set_graph_mouse_pos(get_graph_mouse_pos());
        set_link_interaction(true);
        m_state = GRAPH_STATE_LINK_CREATION;
        m_press_button = 0;
    } else if (action == "bookmark") {
        open_bookmark_dialog(-1);
    } else if (action == "bk_remove" || action == "bk_update" || action == "bk_edit") {
        GuiNodalBookmark* target = get_bookmark_target();
        if (!target) return true;  // no bookmark under the pointer: nothing to do
        unsigned int const id = target->get_id();
        if (action == "bk_remove")
            remove_bookmark(id);
        else if (action == "bk_update")
            update_bookmark(id);
        else
            open_bookmark_dialog(static_cast<int>(id));
    } else if (action == "bk_clear") {
        clear_bookmarks();
    } else if (action == "select inputs") {
        select_neighbours(true, false);
    } else if (action == "select outputs") {
        select_neighbours(false, true);
    } else if (action == "select neighbors") {
        select_neighbours(true, true);
    } else if (action == "tangent links") {
        GuiNodalLink::st_symmetric_tangents = !GuiNodalLink::st_symmetric_tangents;
        for (GuiNodalLink* link : m_links) link->set_dirty();
        invalidate_pick_index();
        redraw();
    } else if (action.find("expand") == 0 || action.find("collapse") == 0 || action.find("show used plugs") == 0) {
        on_node_display(name);
    } else if (action == "hide" && m_hide_mode) {
        m_drop_marks.clear();
        for (GuiNodalNodeBase* box : m_selection) {
            GMathVec2<int> const& pos = box->get_world_pos();
            m_drop_marks.emplace_back(pos[0], pos[1] - box->get_height(), pos[0] + box->get_width(), pos[1]);
            box->set_is_hidden(true, true);
        }
        if (AppBase* app = AppBase::get_instance(); app && !m_drop_marks.empty()) {
            m_drop_start = app->get_run_time();
            if (!m_drop_timer) m_drop_timer = app->add_timer(&GuiNodal::on_drop_timer, this, 0.0);
        }
        clear_selection();
        invalidate_pick_index();
    } else if (action == "subnet" && !m_hide_mode) {
        on_subnet_selection();
    } else if (action == "enter subnet") {
        GuiNodalItem* under = pick(GMathVec2<float>(static_cast<float>(m_graph_mouse_pos[0]),
                                                    static_cast<float>(m_graph_mouse_pos[1])));
        GuiNodalSubnet* target = nullptr;
        if (under && under->is_kindof(GuiNodalSubnet::class_info()))
            target = static_cast<GuiNodalSubnet*>(under);
        else if (m_selection.size() == 1 && m_selection.front()->is_kindof(GuiNodalSubnet::class_info()))
            target = static_cast<GuiNodalSubnet*>(m_selection.front());
        if (target) enter_subnet(*target);
    } else if (action == "leave subnet") {
        leave_subnet();
    } else if (action == "backdrop" && !m_hide_mode) {
        on_backdrop_selection();
    } else {
        CORE_LOG_WARNING("GuiNodal.run_action: \"" << name << "\" is not an action of the view\n");
        return false;
    }
    redraw();
    return true;
}

void GuiNodal::set_link_culling(bool const& culling)
{
    m_link_culling = culling;
    redraw();
}

void GuiNodal::set_display_node_label(DisplayNodeLabel const& mode)
{
    if (mode < DISPLAY_NODE_LABEL_OFF || mode > DISPLAY_NODE_LABEL_SMART) {
        CORE_LOG_WARNING("GuiNodal.set_display_node_label: " << static_cast<int>(mode)
                                                              << " is not a label mode; it stays "
                                                              << static_cast<int>(m_display_node_label) << "\n");
        return;
    }
    m_display_node_label = mode;
    for (GuiNodalNode* node : m_nodes) node->set_dirty();
    redraw();
}

bool GuiNodal::is_node_label_shown(int const& text_height) const
{
    switch (m_display_node_label) {
        case DISPLAY_NODE_LABEL_OFF: return false;
        case DISPLAY_NODE_LABEL_ON: return true;
        case DISPLAY_NODE_LABEL_SMART: return text_height * m_zoom_ratio >= SMART_LABEL_PIXELS;
    }
    return true;
}

GuiNodalNodeBase* GuiNodal::get_container(GuiNodalNodeBase const& box) const
{
    if (box.get_parent()) return box.get_parent();
    GuiNodalBackdrop* innermost = nullptr;
    for (GuiNodalBackdrop* backdrop : m_backdrops)
        if (backdrop->is_in_content(box)) innermost = backdrop;
    return innermost;
}

bool GuiNodal::is_selection_in_single_container(GuiNodalNodeBase*& container) const
{
    container = nullptr;
    bool fixed = false;
    for (GuiNodalNodeBase const* box : m_selection) {
        GuiNodalNodeBase* mine = get_container(*box);
        if (!fixed) {
            container = mine;
            fixed = true;
        } else if (mine != container) {
            return false;
        }
    }
    return true;
}

GuiNodalBackdrop* GuiNodal::on_backdrop_selection()
{
    if (m_selection.empty()) return nullptr;
    GuiNodalNodeBase* container = nullptr;
    bool const single = is_selection_in_single_container(container);
    bool const accepts = !container || container->is_kindof(GuiNodalBackdrop::class_info()) ||
                         (container->is_kindof(GuiNodalNode::class_info()) &&
                          static_cast<GuiNodalNode*>(container)->can_accept_child_node());
    if (!single || !accepts) {
        CORE_LOG_WARNING("GuiNodal.on_backdrop_selection: Cannot create a single Backdrop for selected nodes.\n");
        return nullptr;
    }
    GMathVec2<int> min, max;
    get_selection_bounding(min, max);
    GuiNodalBackdrop* backdrop = instantiate_backdrop("backdrop selection", min[0], max[1]);
    backdrop->set_content(m_selection);
    backdrop->fit_content();
    return backdrop;
}

GuiNodalSubnet* GuiNodal::on_subnet_selection()
{
    if (m_selection.empty()) {
        CORE_LOG_WARNING("GuiNodal.on_subnet_selection: nothing is selected; no subnet is made\n");
        return nullptr;
    }
    GuiNodalNodeBase* container = nullptr;
    if (!is_selection_in_single_container(container) ||
        (container && !container->is_kindof(GuiNodalBackdrop::class_info()))) {
        CORE_LOG_WARNING("GuiNodal.on_subnet_selection: Cannot create a single Subnet for selected nodes.\n");
        return nullptr;
    }
    GMathVec2<int> min, max;
    get_selection_bounding(min, max);
    std::vector<GuiNodalNodeBase*> const members = m_selection;
    clear_selection();
    GuiNodalSubnet* subnet = instantiate_subnet("subnet", (min[0] + max[0]) / 2, (min[1] + max[1]) / 2);
    subnet->set_content(members);
    set_selection({subnet});
    return subnet;
}

void GuiNodal::on_node_display(CoreString const& action)
{
    std::string const words = action.std_string();
    GuiNodalNode::ZoneDisplay const mode = words.find("collapse") != std::string::npos ? GuiNodalNode::ZONE_DISPLAY_NONE
                                           : words.find("expand") != std::string::npos ? GuiNodalNode::ZONE_DISPLAY_ALL
                                                                                       : GuiNodalNode::ZONE_DISPLAY_CONNECTED;
    std::vector<GuiNodalNode*> nodes;
    if (words.find("selection") != std::string::npos) {
        for (GuiNodalNodeBase* box : m_selection)
            if (box->is_kindof(GuiNodalNode::class_info())) nodes.push_back(static_cast<GuiNodalNode*>(box));
    } else {
        nodes = m_nodes;
    }
    for (GuiNodalNode* node : nodes) node->set_zones_display_mode(mode);
    st_is_move_issuer = true;
    apply_nodes_property(nodes);
    st_is_move_issuer = false;
    invalidate_pick_index();
    redraw();
}

// Hotspot and insertion -------------------------------------------------------------------------------

void GuiNodal::set_hotspot(GMathVec2<int> const& point)
{
    m_hotspot = point;
    m_hotspot_count = 0;
}

GMathVec2<int> GuiNodal::get_usable_hotspot()
{
    GMathVec2<int> const step = get_hotspot_increment();
    int const k = m_hotspot_count++;
    return m_hotspot + GMathVec2<int>(static_cast<int>(std::lround(k * step[0] * get_zoom_ratio_r())),
                                      static_cast<int>(std::lround(-k * step[1] * get_zoom_ratio_r())));
}

bool GuiNodal::insert_node_in_link(GuiNodalLink& link, GuiNodalNode& node)
{
    GuiNodalNodeBase* input = node.get_anchor(GuiNodalNodeBase::NODE_ANCHOR_LEFT);
    GuiNodalNodeBase* output = node.get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT);
    GuiNodalNodeBase* from = link.get_node_from();
    GuiNodalNodeBase* to = link.get_node_to();
    // Only a node with both sides free goes in, and never into its own link.
    if (!input || !output || input->get_links_count() || output->get_links_count() || !from || !to) return false;
    if (GuiNodalNode::get_owner_node(from, true) == &node || GuiNodalNode::get_owner_node(to, true) == &node)
        return false;
    if (!validate_link_creation(*GuiNodalNode::get_owner_node(from, false), node) ||
        !validate_link_creation(node, *GuiNodalNode::get_owner_node(to, false)))
        return false;
    remove_link(link);
    create_link(*from, *input);
    create_link(*output, *to);
    invalidate_pick_index();
    return true;
}

// Undo ----------------------------------------------------------------------------------------------

GuiNodalEndRef GuiNodal::make_end_ref(GuiNodalNodeBase& end) const
{
    GuiNodalEndRef ref;
    // The top-level box: the nearest of the end and its ancestors that the view registered.
    GuiNodalNodeBase* box = &end;
    while (box && m_box_serials.find(box) == m_box_serials.end()) box = box->get_parent();
    if (!box) return ref;
    ref.box = box;
    ref.serial = m_box_serials.at(box);
    GuiNodalNodeBase* holder = &end;
    if (end.is_kindof(GuiNodalNodeZoneAnchor::class_info()) && end.get_parent()) {
        holder = end.get_parent();
        for (int i = 0; i < GuiNodalNodeBase::ANCHOR_COUNT; ++i)
            if (holder->get_anchor(i) == &end) ref.slot = i;
    }
    if (holder != box && box->is_kindof(GuiNodalNode::class_info())) {
        auto* node = static_cast<GuiNodalNode*>(box);
        for (size_t i = 0; GuiNodalNodeZone* zone = node->get_zone(i); ++i)
            if (zone == holder) ref.zone = static_cast<int>(i);
    }
    return ref;
}

GuiNodalNodeBase* GuiNodal::resolve_end_ref(GuiNodalEndRef const& ref) const
{
    auto const found = m_box_serials.find(ref.box);
    if (found == m_box_serials.end() || found->second != ref.serial) return nullptr;
    GuiNodalNodeBase* holder = ref.box;
    if (ref.zone >= 0) {
        if (!holder->is_kindof(GuiNodalNode::class_info())) return nullptr;
        holder = static_cast<GuiNodalNode*>(holder)->get_zone(static_cast<size_t>(ref.zone));
        if (!holder) return nullptr;
    }
    return ref.slot >= 0 ? holder->get_anchor(ref.slot) : holder;
}

GuiNodalLink* GuiNodal::find_link(GuiNodalNodeBase const& from, GuiNodalNodeBase const& to) const
{
    for (GuiNodalLink* link : m_links)
        if (link->get_node_from() == &from && link->get_node_to() == &to) return link;
    return nullptr;
}

std::vector<std::pair<GuiNodalEndRef, GuiNodalEndRef>> GuiNodal::snapshot_links() const
{
    std::vector<std::pair<GuiNodalEndRef, GuiNodalEndRef>> ends;
    if (!m_link_editor.get() || !m_link_editor.get()->get_command_manager()) return ends;
    ends.reserve(m_links.size());
    for (GuiNodalLink* link : m_links)
        if (link->get_node_from() && link->get_node_to())
            ends.emplace_back(make_end_ref(*link->get_node_from()), make_end_ref(*link->get_node_to()));
    return ends;
}

void GuiNodal::record_link_changes(std::vector<std::pair<GuiNodalEndRef, GuiNodalEndRef>> const& before,
                                   CoreString const& label)
{
    OfCommandManager* commands = get_link_editor().get_command_manager();
    if (!commands) return;
    auto const after = snapshot_links();
    auto const missing_from = [](auto const& ends, auto const& set) {
        std::vector<std::pair<GuiNodalEndRef, GuiNodalEndRef>> out;
        for (auto const& e : ends)
            if (std::find(set.begin(), set.end(), e) == set.end()) out.push_back(e);
        return out;
    };
    auto const added = missing_from(after, before);
    auto const removed = missing_from(before, after);
    if (added.empty() && removed.empty()) return;
    commands->run(std::make_unique<GuiNodalLinkCommand>(*this, label, added, removed));
}

// Bookmarks -----------------------------------------------------------------------------------------

CoreString GuiNodal::get_bookmark_key() const
{
    return CoreString(get_class_info().get_name()) + "_bookmarks";
}

GuiNodalBookmarkPreference& GuiNodal::get_bookmarks()
{
    GuiApp& app = get_application();
    CoreString const key = get_bookmark_key();
    AppObjectClassPreference* found = app.get_class_preference(key);
    if (!found || !found->is_kindof(GuiNodalBookmarkPreference::class_info())) {
        found = new GuiNodalBookmarkPreference();
        app.set_class_preference(key, found);
    }
    return *static_cast<GuiNodalBookmarkPreference*>(found);
}

GMathVec3<double> GuiNodal::get_bookmark_color(unsigned int const& count)
{
    static GMathVec3<double> const colors[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}, {1, 1, 0}, {1, 0, 1}};
    return colors[count % 6];
}

void GuiNodal::bookmark_viewpoint(GuiNodalBookmarkData& data) const
{
    data.viewpoint = GMathVec3<double>((m_view_area[0] + m_view_area[2]) * 0.5, (m_view_area[1] + m_view_area[3]) * 0.5,
                                       m_zoom_ratio);
}

void GuiNodal::apply_bookmark(GuiNodalBookmarkData const& data)
{
    double const ratio = data.viewpoint[2];
    if (!(ratio > 0.0) || !std::isfinite(data.viewpoint[0]) || !std::isfinite(data.viewpoint[1])) {
        CORE_LOG_WARNING("GuiNodal.apply_bookmark: \"" << data.name << "\" holds no viewpoint; the view stays\n");
        return;
    }
    int const width = get_graph_zone_width();
    int const height = get_graph_zone_height();
    double const x = std::trunc(data.viewpoint[0] - (width / 2) / ratio);
    double const y = std::trunc(data.viewpoint[1] - (height / 2) / ratio);
    stop_view_animation();  // a fit under way would carry the view on past the bookmark
    set_zoom_factor(std::max(1, static_cast<int>(std::trunc(height / ratio))));
    set_view_pos(GMathVec2<float>(static_cast<float>(x), static_cast<float>(y)));
    invalidate_pick_index();
    notify_view();
    redraw();
}

void GuiNodal::init_bookmarks()
{
    for (GuiNodalBookmark* bookmark : m_bookmark_buttons) delete bookmark;
    m_bookmark_buttons.clear();
    m_menu_bookmark = nullptr;
    std::vector<GuiNodalBookmarkData> const& stored = get_bookmarks().get_bookmarks();
    for (unsigned int id = 0; id < stored.size(); ++id) {
        auto* bookmark = new GuiNodalBookmark(*this, id, BOOKMARK_MARGIN, -BOOKMARK_MARGIN);
        bookmark->set_name(stored[id].name);
        m_bookmark_buttons.push_back(bookmark);
    }
    layout_bookmarks();
}

void GuiNodal::layout_bookmarks()
{
    std::vector<GuiNodalBookmarkData> const& stored = get_bookmarks().get_bookmarks();
    // One width for the whole bar: the widest label, its margins and room for the colour.
    int width = 0;
    for (GuiNodalBookmark* bookmark : m_bookmark_buttons) width = std::max(width, bookmark->get_label_width());
    int offset = BOOKMARK_MARGIN;
    for (GuiNodalBookmark* bookmark : m_bookmark_buttons) {
        if (bookmark->get_id() < stored.size()) {
            GMathVec3<double> const& c = stored[bookmark->get_id()].color;
            auto const channel = [](double v) { return static_cast<unsigned char>(std::clamp(v, 0.0, 1.0) * 255.0); };
            bookmark->set_color(GuiNodalItem::Color(channel(c[0]), channel(c[1]), channel(c[2])));
        }
        bookmark->set_control_width(width + 2 * GuiNodalBookmark::LABEL_MARGIN_X + BOOKMARK_COLOR_WIDTH);
        bookmark->update_content(get_dc());
        bookmark->set_position(GMathVec2<int>(BOOKMARK_MARGIN, -offset));
        offset += bookmark->get_height() + BOOKMARK_GAP;
    }
    redraw();
}

GuiNodalBookmarkData* GuiNodal::get_bookmark_data(GuiNodalBookmark const& bookmark)
{
    std::vector<GuiNodalBookmarkData>& stored = get_bookmarks().get_bookmarks();
    return bookmark.get_id() < stored.size() ? &stored[bookmark.get_id()] : nullptr;
}

GuiNodalBookmark* GuiNodal::get_bookmark_at(GMathVec2<int> const& pixel) const
{
    for (GuiNodalBookmark* bookmark : m_bookmark_buttons)
        if (!bookmark->get_is_hidden() && bookmark->holds(pixel[0], -pixel[1])) return bookmark;
    return nullptr;
}

GuiNodalBookmark* GuiNodal::get_bookmark_target() const
{
    if (GuiNodalBookmark* under = get_bookmark_at(m_mouse_pixel)) return under;
    return m_menu_bookmark;
}

namespace {

void raise_bookmark_event(GuiApp& app, CoreString const& name, GuiNodalBookmarkPreference const& preference,
                          GuiNodalBookmarkData const& data, unsigned int const& index)
{
    GuiNodalBookmarkEvent record{&preference, &data, index};
    app.raise_event(EventObject::EventInfo(name, &record));
}

}  // namespace

bool GuiNodal::add_bookmark(CoreString const& name, GMathVec3<double> const& color)
{
    if (name.is_empty() || name.get_length() > GuiNodalBookmark::MAX_NAME_LENGTH) {
        CORE_LOG_WARNING("GuiNodal.add_bookmark: a name of " << name.get_length() << " bytes is refused (1 to "
                                                             << GuiNodalBookmark::MAX_NAME_LENGTH << ")\n");
        return false;
    }
    GuiNodalBookmarkData data;
    data.name = name;
    data.color = color;
    bookmark_viewpoint(data);
    GuiNodalBookmarkPreference& preference = get_bookmarks();
    preference.get_bookmarks().push_back(data);
    auto const index = static_cast<unsigned int>(preference.get_bookmarks().size() - 1);
    raise_bookmark_event(get_application(), EVT_ID_APPLICATION_BOOKMARK_ADD, preference,
                         preference.get_bookmarks().back(), index);
    return true;
}

bool GuiNodal::remove_bookmark(unsigned int const& index)
{
    GuiNodalBookmarkPreference& preference = get_bookmarks();
    std::vector<GuiNodalBookmarkData>& stored = preference.get_bookmarks();
    if (index >= stored.size()) {
        CORE_LOG_WARNING("GuiNodal.remove_bookmark: there is no bookmark " << index << "\n");
        return false;
    }
    GuiNodalBookmarkData const removed = stored[index];
    stored.erase(stored.begin() + index);
    raise_bookmark_event(get_application(), EVT_ID_APPLICATION_BOOKMARK_DEL, preference, removed, index);
    return true;
}

bool GuiNodal::update_bookmark(unsigned int const& index)
{
    GuiNodalBookmarkPreference& preference = get_bookmarks();
    std::vector<GuiNodalBookmarkData>& stored = preference.get_bookmarks();
    if (index >= stored.size()) {
        CORE_LOG_WARNING("GuiNodal.update_bookmark: there is no bookmark " << index << "\n");
        return false;
    }
    bookmark_viewpoint(stored[index]);
    raise_bookmark_event(get_application(), EVT_ID_APPLICATION_BOOKMARK_MOD, preference, stored[index], index);
    return true;
}

bool GuiNodal::edit_bookmark(unsigned int const& index, CoreString const& name, GMathVec3<double> const& color)
{
    GuiNodalBookmarkPreference& preference = get_bookmarks();
    std::vector<GuiNodalBookmarkData>& stored = preference.get_bookmarks();
    if (index >= stored.size() || name.is_empty() || name.get_length() > GuiNodalBookmark::MAX_NAME_LENGTH) {
        CORE_LOG_WARNING("GuiNodal.edit_bookmark: bookmark " << index << " cannot take the name \"" << name
                                                              << "\"; it stays as it was\n");
        return false;
    }
    stored[index].name = name;
    stored[index].color = color;
    raise_bookmark_event(get_application(), EVT_ID_APPLICATION_BOOKMARK_MOD, preference, stored[index], index);
    return true;
}

void GuiNodal::clear_bookmarks()
{
    // From the last, so that every view's ids stay those of the list while it shrinks.
    for (size_t count = get_bookmarks().get_bookmarks().size(); count > 0; --count)
        remove_bookmark(static_cast<unsigned int>(count - 1));
}

void GuiNodal::on_bookmark_changed(EventObject&, EventInfo const& info, void*)
{
    auto const* record = static_cast<GuiNodalBookmarkEvent const*>(info.get_event_data());
    GuiApp& app = get_application();
    if (!record || record->preference != app.get_class_preference(get_bookmark_key())) return;
    std::vector<GuiNodalBookmarkData> const& stored = record->preference->get_bookmarks();
    if (info.get_name() == EVT_ID_APPLICATION_BOOKMARK_ADD) {
        auto* bookmark = new GuiNodalBookmark(*this, record->index, BOOKMARK_MARGIN, -BOOKMARK_MARGIN);
        bookmark->set_name(record->data->name);
        m_bookmark_buttons.push_back(bookmark);
    } else if (info.get_name() == EVT_ID_APPLICATION_BOOKMARK_DEL) {
        for (auto it = m_bookmark_buttons.begin(); it != m_bookmark_buttons.end();) {
            GuiNodalBookmark* bookmark = *it;
            if (bookmark->get_id() == record->index) {
                if (m_menu_bookmark == bookmark) m_menu_bookmark = nullptr;
                delete bookmark;
                it = m_bookmark_buttons.erase(it);
                continue;
            }
            if (bookmark->get_id() > record->index) bookmark->set_id(bookmark->get_id() - 1);
            ++it;
        }
    } else {
        for (GuiNodalBookmark* bookmark : m_bookmark_buttons)
            if (bookmark->get_id() == record->index && record->index < stored.size())
                bookmark->set_name(stored[record->index].name);
    }
    layout_bookmarks();
}

bool GuiNodal::open_bookmark_dialog(int const& index)
{
    std::vector<GuiNodalBookmarkData> const& stored = get_bookmarks().get_bookmarks();
    bool const editing = index >= 0;
    if (editing && static_cast<size_t>(index) >= stored.size()) {
        CORE_LOG_WARNING("GuiNodal.open_bookmark_dialog: there is no bookmark " << index << "\n");
        return false;
    }
    auto const count = static_cast<unsigned int>(m_bookmark_buttons.size());
    CoreString name = editing ? stored[static_cast<size_t>(index)].name : CoreString("mark") + (count + 1);
    GMathVec3<double> color = editing ? stored[static_cast<size_t>(index)].color : get_bookmark_color(count);
    // The six colours by name, and the bookmark's own when it is none of them.
    CoreVector<CoreString> names = {"Red", "Green", "Blue", "White", "Yellow", "Magenta"};
    int chosen = -1;
    for (unsigned int i = 0; i < 6; ++i)
        if (get_bookmark_color(i) == color) chosen = static_cast<int>(i);
    if (chosen < 0) {
        names.add("Current");
        chosen = 6;
    }
    GuiInputDialog* dialog = make_dialog<GuiInputDialog>("Bookmark");
    if (!dialog) return false;
    GuiLineEdit* name_edit = dialog->add_text("Name", name);
    GuiListButton* color_list = dialog->add_choice("Color", names, chosen);
    bool const accepted = run_dialog(*dialog);
    name = name_edit->get_text().get_trim();
    int const picked = color_list->get_selected_index();
    dialog->destroy();
    if (!accepted) return false;
    if (picked >= 0 && picked < 6) color = get_bookmark_color(static_cast<unsigned int>(picked));
    return editing ? edit_bookmark(static_cast<unsigned int>(index), name, color) : add_bookmark(name, color);
}

// Dialogs -------------------------------------------------------------------------------------------

template <class Dialog>
Dialog* GuiNodal::make_dialog(CoreString const& title)
{
    GuiWidget* window = get_window();
    if (!window || !window->is_window()) {
        CORE_LOG_WARNING("GuiNodal.make_dialog: the view is in no window; \"" << title << "\" cannot open\n");
        return nullptr;
    }
    if constexpr (std::is_same_v<Dialog, GuiInputDialog>)
        return new GuiInputDialog(*static_cast<GuiWindow*>(window), title);
    else
        return new Dialog(*static_cast<GuiWindow*>(window));
}

bool GuiNodal::run_dialog(GuiInputDialog& dialog)
{
    if (m_open_dialog) {
        CORE_LOG_WARNING("GuiNodal.run_dialog: \"" << m_open_dialog->get_title() << "\" is open; \""
                                                    << dialog.get_title() << "\" waits for it to close\n");
        return false;
    }
    m_open_dialog = &dialog;
    bool const accepted = dialog.run(true);
    m_open_dialog = nullptr;
    return accepted;
}

bool GuiNodal::open_grid_options()
{
    GridOptions* dialog = make_dialog<GridOptions>("Grid Options");
    if (!dialog) return false;
    dialog->fill(*this);
    bool const accepted = run_dialog(*dialog);
    if (accepted) dialog->apply(*this);
    dialog->destroy();
    redraw();
    return accepted;
}

bool GuiNodal::open_node_bounding()
{
    GuiInputDialog* dialog = make_dialog<GuiInputDialog>("Node bounding");
    if (!dialog) return false;
    GuiNumberField* width = dialog->add_number("Maximum Width", 0);
    width->set_format(GuiNumberEdit::FORMAT_INTEGER);
    width->set_range(0, MAX_NODE_WIDTH_LIMIT);
    width->enable_range(true);
    width->show_slider(true);
    width->set_slider_range(100, MAX_NODE_WIDTH_LIMIT);
    width->enable_slider_range(true);
    width->get_edit().set_special_value_text(0, "Unlimited");
    width->set_value(m_max_node_width);
    GuiCheckbox* crop = dialog->add_check("Crop", m_node_cropping);
    bool const accepted = run_dialog(*dialog);
    if (accepted) {
        auto const chosen = static_cast<unsigned int>(std::lround(std::max(0.0, width->get_value())));
        if (chosen != m_max_node_width) set_max_node_width(chosen);
        if (crop->get_value() != m_node_cropping) set_node_cropping(crop->get_value());
    }
    dialog->destroy();
    return accepted;
}

bool GuiNodal::open_link_highlight_mode()
{
    GuiInputDialog* dialog = make_dialog<GuiInputDialog>("Link Highlight");
    if (!dialog) return false;
    GuiNodalLinkEditor& editor = get_link_editor();
    GuiListButton* mode = dialog->add_choice("Mode ", {"In", "Out", "In&Out"},
                                             static_cast<int>(editor.get_link_highlight_mode()) - 1);
    bool const accepted = run_dialog(*dialog);
    int const chosen = mode->get_selected_index();
    dialog->destroy();
    if (!accepted || chosen < 0) return false;
    editor.set_link_highlight_mode(static_cast<unsigned int>(chosen + 1));
    editor.apply_link_highlight(m_selection);
    // Kept in the preferences, whose change event tells the application.
    AppPreferences& preferences = get_application().get_preferences();
    AppCategoryPreferences& category = preferences.category_exists(LINK_HIGHLIGHT_CATEGORY)
                                           ? *preferences.get_category(LINK_HIGHLIGHT_CATEGORY)
                                           : preferences.add_category(LINK_HIGHLIGHT_CATEGORY);
    if (!category.item_exists(LINK_HIGHLIGHT_KEY))
        category.add_long(LINK_HIGHLIGHT_KEY, GuiNodalLinkEditor::LINK_HIGHLIGHT_IN_OUT,
                          "Which links the highlight of the selected nodes follows: 1 upstream, 2 downstream, 3 both.");
    category.set_long_value(LINK_HIGHLIGHT_KEY, chosen + 1);
    redraw();
    return true;
}

bool GuiNodal::read_item_text(GuiNodalItem const& item, CoreString& text)
{
    if (item.is_kindof(GuiNodalBackdrop::class_info()))
        text = static_cast<GuiNodalBackdrop const&>(item).get_title();
    else if (item.is_kindof(GuiNodalNote::class_info()))
        text = static_cast<GuiNodalNote const&>(item).get_text();
    else if (item.is_kindof(GuiNodalSubnet::class_info()))
        text = static_cast<GuiNodalSubnet const&>(item).get_title();
    else
        return false;
    return true;
}

bool GuiNodal::write_item_text(GuiNodalItem& item, CoreString const& text)
{
    if (item.is_kindof(GuiNodalBackdrop::class_info()))
        static_cast<GuiNodalBackdrop&>(item).set_title(text);
    else if (item.is_kindof(GuiNodalNote::class_info()))
        static_cast<GuiNodalNote&>(item).set_text(text);
    else if (item.is_kindof(GuiNodalSubnet::class_info()))
        static_cast<GuiNodalSubnet&>(item).set_title(text);
    else
        return false;
    return true;
}

void GuiNodal::set_item_text(GuiNodalItem& item, CoreString const& text)
{
    CoreString before;
    if (!read_item_text(item, before)) {
        CORE_LOG_WARNING("GuiNodal.set_item_text: only backdrops, notes and subnets have a title or a text\n");
        return;
    }
    if (before == text) return;
    write_item_text(item, text);
    if (OfCommandManager* commands = get_link_editor().get_command_manager()) {
        bool const note = item.is_kindof(GuiNodalNote::class_info());
        commands->run(std::make_unique<GuiNodalTextCommand>(*this, static_cast<GuiNodalNodeBase&>(item),
                                                            note ? "Edit Note" : "Set Title", before, text));
    }
    invalidate_pick_index();
    redraw();
}

bool GuiNodal::open_item_text(GuiNodalItem& item)
{
    CoreString text;
    if (!read_item_text(item, text)) {
        CORE_LOG_WARNING("GuiNodal.open_item_text: only backdrops, notes and subnets have a title or a text\n");
        return false;
    }
    bool const note = item.is_kindof(GuiNodalNote::class_info());
    char const* const title = item.is_kindof(GuiNodalBackdrop::class_info()) ? "Set Backdrop Title"
                              : note                                        ? "Edit Note"
                                                                            : "Set Subnet Title";
    GuiInputDialog* dialog = make_dialog<GuiInputDialog>(title);
    if (!dialog) return false;
    GuiLineEdit* edit = dialog->add_text(note ? "Text" : "Title", text);
    // The item may leave the view while the dialog waits: it is found again afterwards.
    GuiNodalEndRef const ref = make_end_ref(static_cast<GuiNodalNodeBase&>(item));
    bool const accepted = run_dialog(*dialog);
    CoreString const chosen = edit->get_text();
    dialog->destroy();
    if (!accepted) return false;
    GuiNodalNodeBase* still = resolve_end_ref(ref);
    if (!still) {
        CORE_LOG_WARNING("GuiNodal.open_item_text: the item left the view while \"" << title << "\" was open\n");
        return false;
    }
    set_item_text(*still, chosen);
    return true;
}

// Context menu --------------------------------------------------------------------------------------

namespace {

// An entry that runs one of the view's actions, ticked when `checked` says so.
GuiMenuItem* add_action_entry(GuiMenu& menu, GuiWidget& view, char const* action, char const* label,
                              bool const& enabled = true)
{
    GuiAction* found = view.get_action(action);
    GuiMenuItem* item = found ? menu.add_item(*found, label) : menu.add_item(label);
    item->set_enable(enabled && found);
    return item;
}

void add_check_entry(GuiMenu& menu, GuiWidget& view, char const* action, char const* label, bool const& checked,
                     bool const& enabled = true)
{
    GuiMenuItem* item = add_action_entry(menu, view, action, label, enabled);
    item->set_checkable(true);
    item->check(checked);
}

}  // namespace

GuiMenu* GuiNodal::build_popup_menu(GuiNodalItem* under)
{
    if (!m_popup_menu) {
        m_popup_menu = new GuiMenu(this);
        connect(*m_popup_menu, EVT_ID_MENU_CLICK, &GuiNodal::on_popup_menu_click);
    }
    GuiMenu& menu = *m_popup_menu;
    menu.remove_all_items();
    m_menu_bookmark = get_bookmark_at(m_mouse_pixel);
    if (m_menu_bookmark) {
        m_menu_item = nullptr;
        menu.add_separator("Bookmarks");
        add_action_entry(menu, *this, "bk_update", "Update");
        add_action_entry(menu, *this, "bk_remove", "Delete");
        add_action_entry(menu, *this, "bk_edit", "Edit");
        menu.add_separator();
        add_action_entry(menu, *this, "bk_clear", "Delete All");
        fill_popup_menu(menu);
        add_to_popup_menu(menu);
        return &menu;
    }
    // A plug or zone stands for its node.
    GuiNodalNodeBase* box = get_movable_box(under);
    m_menu_item = box ? static_cast<GuiNodalItem*>(box) : under;
    if (m_menu_item && m_menu_item->is_kindof(GuiNodalBackdrop::class_info())) {
        auto* backdrop = static_cast<GuiNodalBackdrop*>(m_menu_item);
        menu.add_separator("Backdrop");
        menu.add_item("Fit");
        GuiMenuItem* autofit = menu.add_item("Autofit");
        autofit->set_checkable(true);
        autofit->check(backdrop->is_autofit());
        menu.add_item(backdrop->is_content_locked() ? "Unlock" : "Lock");
        menu.add_item("Set Title");
        menu.add_item("Select Content");
        menu.add_item("Layout")->set_doc("Arrange the content in columns that follow its links.");
    } else if (m_menu_item && m_menu_item->is_kindof(GuiNodalNote::class_info())) {
        menu.add_separator("Note");
        menu.add_item("Autofit");
        menu.add_item("Set Text");
    } else if (m_menu_item && m_menu_item->is_kindof(GuiNodalSubnet::class_info())) {
        menu.add_separator("Subnet");
        menu.add_item("Enter")->set_doc("Show the subnet's content; U leaves it.");
        menu.add_item("Expand");
        menu.add_item("Autofit");
        menu.add_item("Set Title");
    } else if (m_menu_item && m_menu_item->is_kindof(GuiNodalNode::class_info())) {
        menu.add_separator("Node");
        menu.add_item("Disconnect");
        if (m_hide_mode) menu.add_item("Hide")->set_doc("Hide selected nodes");
        menu.add_item("Start Connecting...")->set_doc("Initiate downstream connection from this node.");
        menu.add_item("Start Multi-connecting...")
            ->set_doc("Initiate downstream multi-connection from selected nodes.");
    } else if (m_menu_item && m_menu_item->is_kindof(GuiNodalLink::class_info())) {
        menu.add_separator("Link");
        menu.add_item("Select 'From' Node");
        menu.add_item("Select 'To' Node");
        menu.add_item("Select Both Nodes");
        menu.add_item("Start Connecting...")
            ->set_doc("Initiate downstream connection from the node which is source of link under mouse");
    }
    fill_popup_menu(menu);
    add_to_popup_menu(menu);
    return &menu;
}

void GuiNodal::fill_popup_menu(GuiMenu& menu)
{
    bool const highlight = get_link_editor().is_link_highlight();
    bool const has_nodes = !m_nodes.empty();
    bool const has_selection = !m_selection.empty();
    menu.add_separator("Layout");
    add_check_entry(menu, *this, "cull links", "Links Culling", m_link_culling);
    add_check_entry(menu, *this, "highlight links", "Links Highlight", highlight);
    add_check_entry(menu, *this, "tangent links", "Links Symmetrical tangents", GuiNodalLink::st_symmetric_tangents,
                    highlight);
    add_check_entry(menu, *this, "node_auto_insert", "Node Auto-insert", m_node_auto_insert);
    GuiMenu* labels = menu.add_sub_menu("Node Label");
    GuiMenuRadioGroup* group = labels->create_radio_group();
    for (char const* mode : {"Off", "On", "Smart"}) {
        GuiMenuItem* item = labels->add_item(mode);
        item->set_radio_group(group);
        item->check(std::string(mode) == (m_display_node_label == DISPLAY_NODE_LABEL_OFF  ? "Off"
                                          : m_display_node_label == DISPLAY_NODE_LABEL_ON ? "On"
                                                                                          : "Smart"));
    }
    connect(*labels, EVT_ID_MENU_CLICK, &GuiNodal::on_popup_menu_click);
    add_action_entry(menu, *this, "node_max_width", "Max Node Width...");
    add_check_entry(menu, *this, "smooth_transitions", "Smooth Transitions", m_smooth_transitions);
    add_action_entry(menu, *this, "collapse all", "Collapse All", has_nodes);
    add_action_entry(menu, *this, "show used plugs all", "Show only used plugs All", has_nodes);
    add_action_entry(menu, *this, "expand all", "Expand All", has_nodes);
    add_action_entry(menu, *this, "bookmark", "Bookmark Viewpoint");
    menu.add_separator("Selection");
    add_action_entry(menu, *this, "select inputs", "Select Inputs", has_selection);
    add_action_entry(menu, *this, "select outputs", "Select Outputs", has_selection);
    add_action_entry(menu, *this, "select neighbors", "Select Neighbors", has_selection);
    add_action_entry(menu, *this, "collapse selection", "Collapse", has_selection);
    add_action_entry(menu, *this, "show used plugs selection", "Show only used plugs", has_selection);
    add_action_entry(menu, *this, "expand selection", "Expand", has_selection);
    menu.add_separator();
    add_check_entry(menu, *this, "grid", "Grid Snapping", m_grid_snapping);
    add_action_entry(menu, *this, "tune_grid", "Grid Settings...");
    add_check_entry(menu, *this, "magnet", "Magnet", m_magnet);
    add_check_entry(menu, *this, "stretch", "Stretch Mode", m_stretch);
    add_check_entry(menu, *this, "omnidirectional_layout", "Omnidirectional Layout", m_omnidirectional,
                    is_omnidirectional_layout_supported());
    GuiMenu* display = menu.add_sub_menu("Display Mode");
    GuiMenuRadioGroup* display_group = display->create_radio_group();
    for (char const* mode : {"Normal", "Simplified"}) {
        GuiMenuItem* item = display->add_item(mode);
        item->set_radio_group(display_group);
        item->check((std::string(mode) == "Simplified") == m_simplified_layout);
    }
    connect(*display, EVT_ID_MENU_CLICK, &GuiNodal::on_popup_menu_click);
    add_action_entry(menu, *this, "fit", "Fit Selection", has_selection);
    add_action_entry(menu, *this, "make_visible", "Center Selection", has_selection);
    add_action_entry(menu, *this, "fit all", "Fit All");
    if (m_hide_mode) {
        add_action_entry(menu, *this, "hide", "Hide Selection", has_selection);
    } else {
        add_action_entry(menu, *this, "subnet", "Create Selection Subnet", has_selection);
        add_action_entry(menu, *this, "backdrop", "Create Selection Backdrop", has_selection);
    }
    if (m_subnet_scope->get_depth() > 0) add_action_entry(menu, *this, "leave subnet", "Leave Subnet");
}

void GuiNodal::on_popup_menu_click(GuiMenu& menu, EventInfo const&, void*)
{
    if (GuiMenuItem* item = menu.get_last_selected_item()) on_menu_entry(item->get_name());
}

bool GuiNodal::on_menu_entry(CoreString const& label)
{
    std::string const entry = label.std_string();
    if (entry == "Off" || entry == "On" || entry == "Smart") {
        set_display_node_label(entry == "Off" ? DISPLAY_NODE_LABEL_OFF
                               : entry == "On" ? DISPLAY_NODE_LABEL_ON
                                               : DISPLAY_NODE_LABEL_SMART);
        return true;
    }
    if (entry == "Normal" || entry == "Simplified") {
        set_simplified_layout(entry == "Simplified");
        return true;
    }
    GuiNodalItem* item = m_menu_item;
    if (!item) return false;
    if (entry == "Set Title" || entry == "Set Text") {
        CoreString text;
        if (!read_item_text(*item, text)) return false;
        open_item_text(*item);
        return true;
    }
    bool done = true;
    if (item->is_kindof(GuiNodalBackdrop::class_info())) {
        auto* backdrop = static_cast<GuiNodalBackdrop*>(item);
        if (entry == "Fit")
            backdrop->fit_content();
        else if (entry == "Autofit")
            backdrop->set_autofit(!backdrop->is_autofit());
        else if (entry == "Lock" || entry == "Unlock")
            backdrop->set_content_locked(entry == "Lock");
        else if (entry == "Select Content")
            set_selection(backdrop->get_content());
        else if (entry == "Layout")
            backdrop->layout();
        else
            done = false;
    } else if (item->is_kindof(GuiNodalNote::class_info()) && entry == "Autofit") {
        static_cast<GuiNodalNote*>(item)->autofit();
    } else if (item->is_kindof(GuiNodalSubnet::class_info()) &&
               (entry == "Enter" || entry == "Expand" || entry == "Autofit")) {
        if (entry == "Enter")
            enter_subnet(*static_cast<GuiNodalSubnet*>(item));
        else if (entry == "Expand")
            request_subnet_removal(*static_cast<GuiNodalSubnet*>(item));
        else
            static_cast<GuiNodalSubnet*>(item)->autofit();
    } else if (item->is_kindof(GuiNodalNode::class_info())) {
        auto* node = static_cast<GuiNodalNode*>(item);
        if (entry == "Disconnect") {
            std::vector<GuiNodalLink*> links;
            node->get_connexity(links);
            auto const before = snapshot_links();
            if (!links.empty()) on_links_remove(links, "Disconnect");
            record_link_changes(before, "Disconnect");
        } else if (entry == "Hide" && m_hide_mode) {
            if (!node->get_is_selected()) set_selection({node});
            run_action("hide");
        } else if (entry == "Start Connecting...") {
            set_selection({node});
            run_action("start_connecting");
        } else if (entry == "Start Multi-connecting...") {
            if (!node->get_is_selected()) set_selection({node});
            run_action("start_multiconnecting");
        } else {
            done = false;
        }
    } else if (item->is_kindof(GuiNodalLink::class_info())) {
        auto* link = static_cast<GuiNodalLink*>(item);
        GuiNodalNodeBase* from = get_movable_box(link->get_node_from());
        GuiNodalNodeBase* to = get_movable_box(link->get_node_to());
        if (entry == "Select 'From' Node" && from)
            set_selection({from});
        else if (entry == "Select 'To' Node" && to)
            set_selection({to});
        else if (entry == "Select Both Nodes")
            set_selection({from, to});
        else if (entry == "Start Connecting..." && from) {
            set_selection({from});
            run_action("start_connecting");
        } else
            done = false;
    } else {
        done = false;
    }
    if (done) {
        invalidate_pick_index();
        redraw();
    }
    return done;
}

void GuiNodal::show_popup_menu(GMathVec2<int> const& pixel)
{
    GuiMenu* menu = build_popup_menu(pick(to_graph(pixel[0], pixel[1])));
    int x = 0;
    int y = 0;
    Gui::get_absolute_mouse_coords(*this, x, y);
    menu->popup(x, y);
}

// Settings ------------------------------------------------------------------------------------------

void GuiNodal::save_settings(ParserGroup& group)
{
    GuiGlWidget::save_settings(group);
    ParserGroup& mine = group.add_group("GuiNodal");
    mine.add_entry("pos_x").add_int(std::lround(m_view_pos[0]));
    mine.add_entry("pos_y").add_int(std::lround(m_view_pos[1]));
    mine.add_entry("zoom_factor").add_int(m_zoom_factor);
    mine.add_entry("grid").add_bool(m_grid_snapping).add_bool(m_grid_displayed).add_int(m_grid_size);
    mine.add_entry("magnet").add_bool(m_magnet);
    mine.add_entry("smooth_transitions").add_bool(m_smooth_transitions);
    mine.add_entry("autozoom").add_bool(m_node_zoom_allowed);
    mine.add_entry("node_max_width").add_int(m_max_node_width);
    mine.add_entry("node_cropping").add_bool(m_node_cropping);
    mine.add_entry("default_node_state").add_int(m_default_display_mode);
    mine.add_entry("cull_links").add_bool(m_link_culling);
    mine.add_entry("link_node_autoinsert").add_bool(m_node_auto_insert);
    mine.add_entry("highlight_links").add_bool(get_link_editor().is_link_highlight());
    mine.add_entry("display_node_label").add_int(m_display_node_label);
}

void GuiNodal::load_settings(ParserGroup const& group)
{
    GuiGlWidget::load_settings(group);
    ParserGroup const* mine = group.get_group("GuiNodal");
    if (!mine) return;
    auto const entry = [mine](char const* key, unsigned int count) -> ParserEntry const* {
        ParserEntry const* found = mine->get_entry(key);
        if (!found) return nullptr;
        if (found->get_value_count() < count) {
            CORE_LOG_WARNING("GuiNodal.load_settings: \"" << key << "\" has " << found->get_value_count()
                                                          << " values where " << count << " are needed; it is left\n");
            return nullptr;
        }
        return found;
    };
    auto const read_int = [](ParserEntry const& found, unsigned int index, int& value) {
        if (found.is_value_number(index)) value = static_cast<int>(found.get_int(index));
    };
    auto const read_bool = [](ParserEntry const& found, unsigned int index, bool& value) {
        if (found.is_value_bool(index)) value = found.get_bool(index);
    };
    GMathVec2<int> pos(static_cast<int>(std::lround(m_view_pos[0])), static_cast<int>(std::lround(m_view_pos[1])));
    if (ParserEntry const* e = entry("pos_x", 1)) read_int(*e, 0, pos[0]);
    if (ParserEntry const* e = entry("pos_y", 1)) read_int(*e, 0, pos[1]);
    int factor = m_zoom_factor;
    if (ParserEntry const* e = entry("zoom_factor", 1)) read_int(*e, 0, factor);
    if (ParserEntry const* e = entry("grid", 3)) {
        read_bool(*e, 0, m_grid_snapping);
        read_bool(*e, 1, m_grid_displayed);
        int size = m_grid_size;
        read_int(*e, 2, size);
        set_grid_size(size);
    }
    if (ParserEntry const* e = entry("magnet", 1)) read_bool(*e, 0, m_magnet);
    if (ParserEntry const* e = entry("smooth_transitions", 1)) read_bool(*e, 0, m_smooth_transitions);
    if (ParserEntry const* e = entry("autozoom", 1)) read_bool(*e, 0, m_node_zoom_allowed);
    if (ParserEntry const* e = entry("node_max_width", 1)) {
        int width = static_cast<int>(m_max_node_width);
        read_int(*e, 0, width);
        if (width >= 0) set_max_node_width(static_cast<unsigned int>(width));
    }
    if (ParserEntry const* e = entry("node_cropping", 1)) {
        bool cropping = m_node_cropping;
        read_bool(*e, 0, cropping);
        set_node_cropping(cropping);
    }
    if (ParserEntry const* e = entry("default_node_state", 1); e && !m_omnidirectional) {
        int mode = m_default_display_mode;
        read_int(*e, 0, mode);
        if (mode >= 0 && mode <= GuiNodalNode::ZONE_DISPLAY_NONE)
            set_default_display_mode(static_cast<unsigned short>(mode));
        else
            CORE_LOG_WARNING("GuiNodal.load_settings: \"default_node_state\" " << mode
                                                                                << " is not a plug display mode; it is left\n");
    }
    if (ParserEntry const* e = entry("cull_links", 1)) read_bool(*e, 0, m_link_culling);
    if (ParserEntry const* e = entry("link_node_autoinsert", 1)) read_bool(*e, 0, m_node_auto_insert);
    if (ParserEntry const* e = entry("highlight_links", 1)) {
        bool highlight = get_link_editor().is_link_highlight();
        read_bool(*e, 0, highlight);
        get_link_editor().set_link_highlight(highlight);
    }
    if (ParserEntry const* e = entry("display_node_label", 1)) {
        // Older files keep it as a flag: true is On.
        if (e->is_value_bool(0))
            set_display_node_label(e->get_bool(0) ? DISPLAY_NODE_LABEL_ON : DISPLAY_NODE_LABEL_OFF);
        else if (e->is_value_number(0))
            set_display_node_label(static_cast<DisplayNodeLabel>(e->get_int(0)));
    }
    set_zoom_factor(factor);
    set_view_pos(GMathVec2<float>(static_cast<float>(pos[0]), static_cast<float>(pos[1])));
}

// Backdrop updates ----------------------------------------------------------------------------------

void GuiNodal::watch_box(GuiNodalNodeBase& box)
{
    m_box_serials[&box] = m_next_serial++;
    connect(box, EVENT_ID_NODAL_BBOX_CHANGED, &GuiNodal::on_need_backdrop_update);
}

void GuiNodal::forget_box(GuiNodalNodeBase& box)
{
    m_box_serials.erase(&box);
    get_link_editor().forget_box(box);
    auto const selected = std::find(m_selection.begin(), m_selection.end(), &box);
    if (selected != m_selection.end()) {
        m_selection.erase(selected);
        notify_selection();
    }
    m_move_starts.erase(std::remove_if(m_move_starts.begin(), m_move_starts.end(),
                                       [&box](MoveStart const& entry) { return entry.box == &box; }),
                        m_move_starts.end());
    if (m_hovered == &box) m_hovered = nullptr;
    if (m_highlighted && (m_highlighted == &box || (m_highlighted->is_kindof(GuiNodalNodeBase::class_info()) &&
                                                    static_cast<GuiNodalNodeBase*>(m_highlighted)->is_child_of(box))))
        m_highlighted = nullptr;
    m_drawn.erase(std::remove(m_drawn.begin(), m_drawn.end(), &box), m_drawn.end());
    if (m_menu_item == &box) m_menu_item = nullptr;
    if (m_pressed_item == &box || (m_pressed_item && m_pressed_item->is_kindof(GuiNodalNodeBase::class_info()) &&
                                   static_cast<GuiNodalNodeBase*>(m_pressed_item)->is_child_of(box)))
        m_pressed_item = nullptr;
    for (GuiNodalBackdrop* backdrop : m_backdrops) backdrop->remove_from_content(box);
    for (GuiNodalSubnet* subnet : m_subnets) subnet->remove_from_content(box);
    if (m_subnet_scope) m_subnet_scope->forget(box);
    m_backdrop_update_boxes.erase(std::remove(m_backdrop_update_boxes.begin(), m_backdrop_update_boxes.end(), &box),
                                  m_backdrop_update_boxes.end());
}

void GuiNodal::on_need_backdrop_update(GuiNodalNodeBase& box, EventInfo const&, void*)
{
    request_backdrop_update(box.is_kindof(GuiNodalBackdrop::class_info()) ? nullptr : &box);
}

void GuiNodal::request_backdrop_update(GuiNodalNodeBase* box)
{
    if (m_backdrops.empty()) return;  // nothing could hold it
    if (!m_backdrop_update_pending) set_is_dirty(true);  // brings the view's next pass
    m_backdrop_update_pending = true;
    if (m_backdrop_update_all) return;
    // Past one box in two, looking at every box costs no more.
    if (!box || m_backdrop_update_boxes.size() * 2 > m_nodes.size() + m_notes.size() + m_subnets.size()) {
        m_backdrop_update_all = true;
        m_backdrop_update_boxes.clear();
        return;
    }
    m_backdrop_update_boxes.push_back(box);
}

void GuiNodal::complete_backdrop_update_request()
{
    if (!m_backdrop_update_pending) return;
    bool const all = m_backdrop_update_all;
    std::vector<GuiNodalNodeBase*> const boxes = std::move(m_backdrop_update_boxes);
    m_backdrop_update_boxes.clear();
    m_backdrop_update_pending = false;
    m_backdrop_update_all = false;
    if (all)
        update_all_backdrops();
    else
        update_backdrops(boxes);
    // Fitting and moving boxes between backdrops asked again: that is done.
    m_backdrop_update_pending = false;
    m_backdrop_update_all = false;
    m_backdrop_update_boxes.clear();
}

void GuiNodal::update_backdrops(std::vector<GuiNodalNodeBase*> const& boxes)
{
    for (GuiNodalBackdrop* backdrop : m_backdrops)
        if (!backdrop->get_parent_backdrop()) GuiNodalBackdrop::recurse_autofit(*backdrop);
    GuiNodalBackdrop::check_hierarchies(m_backdrops, boxes);
    invalidate_pick_index();
    redraw();
}

void GuiNodal::update_all_backdrops()
{
    std::vector<GuiNodalNodeBase*> boxes;
    boxes.reserve(m_backdrops.size() + m_nodes.size() + m_notes.size() + m_subnets.size());
    // Backdrops first: the boxes then find the hierarchy as it now stands.
    boxes.insert(boxes.end(), m_backdrops.begin(), m_backdrops.end());
    boxes.insert(boxes.end(), m_nodes.begin(), m_nodes.end());
    boxes.insert(boxes.end(), m_notes.begin(), m_notes.end());
    boxes.insert(boxes.end(), m_subnets.begin(), m_subnets.end());
    update_backdrops(boxes);
}

GuiNodalDot* GuiNodal::instantiate_dot(unsigned int const& anchors, int const& diameter)
{
    return static_cast<GuiNodalDot*>(add_node(new GuiNodalDot(*this, anchors, diameter)));
}

void GuiNodal::remove_dot(GuiNodalDot& dot)
{
    remove_node(dot);
}

GuiNodalBackdrop* GuiNodal::instantiate_backdrop(CoreString const& title, int const& x, int const& y)
{
    auto* backdrop = new GuiNodalBackdrop(*this, title, x, y);
    m_backdrops.push_back(backdrop);
    watch_box(*backdrop);
    request_backdrop_update(nullptr);
    invalidate_pick_index();
    redraw();
    return backdrop;
}

void GuiNodal::remove_backdrop(GuiNodalBackdrop& backdrop)
{
    auto const found = std::find(m_backdrops.begin(), m_backdrops.end(), &backdrop);
    if (found == m_backdrops.end()) {
        CORE_LOG_WARNING("GuiNodal.remove_backdrop: \"" << backdrop.get_title() << "\" is not a backdrop of this view\n");
        return;
    }
    // Its content goes to the backdrop above it, if any.
    GuiNodalBackdrop* parent = backdrop.get_parent_backdrop();
    std::vector<GuiNodalNodeBase*> const content = backdrop.get_content();
    backdrop.set_content({});
    if (parent)
        for (GuiNodalNodeBase* node : content) parent->add_to_content(*node);
    forget_box(backdrop);
    m_backdrops.erase(found);
    delete &backdrop;
    invalidate_pick_index();
    redraw();
}

GuiNodalNote* GuiNodal::instantiate_note(CoreString const& text, int const& x, int const& y)
{
    auto* note = new GuiNodalNote(*this, text, x, y);
    m_notes.push_back(note);
    watch_box(*note);
    invalidate_pick_index();
    redraw();
    return note;
}

void GuiNodal::remove_note(GuiNodalNote& note)
{
    auto const found = std::find(m_notes.begin(), m_notes.end(), &note);
    if (found == m_notes.end()) {
        CORE_LOG_WARNING("GuiNodal.remove_note: the note is not a note of this view\n");
        return;
    }
    forget_box(note);
    m_notes.erase(found);
    delete &note;
    invalidate_pick_index();
    redraw();
}

GuiNodalSubnet* GuiNodal::instantiate_subnet(CoreString const& title, int const& x, int const& y)
{
    auto* subnet = new GuiNodalSubnet(*this, title, x, y);
    subnet->autofit();
    m_subnets.push_back(subnet);
    watch_box(*subnet);
    invalidate_pick_index();
    redraw();
    return subnet;
}

void GuiNodal::remove_subnet(GuiNodalSubnet& subnet)
{
    auto const found = std::find(m_subnets.begin(), m_subnets.end(), &subnet);
    if (found == m_subnets.end()) {
        CORE_LOG_WARNING("GuiNodal.remove_subnet: \"" << subnet.get_title() << "\" is not a subnet of this view\n");
        return;
    }
    forget_box(subnet);
    destroy_links_of(subnet);
    m_subnets_to_remove.erase(std::remove(m_subnets_to_remove.begin(), m_subnets_to_remove.end(), &subnet),
                              m_subnets_to_remove.end());
    m_subnets.erase(found);
    delete &subnet;
    invalidate_pick_index();
    redraw();
}

bool GuiNodal::enter_subnet(GuiNodalSubnet& subnet)
{
    if (!m_subnet_scope->enter(subnet)) return false;
    clear_selection();
    invalidate_pick_index();
    manage_fit(false);
    raise_event(EVT_ID_NODAL_SUBNET_SCOPE_CHANGED);
    redraw();
    return true;
}

bool GuiNodal::leave_subnet()
{
    GuiNodalSubnet* subnet = m_subnet_scope->get_subnet();
    clear_selection();
    if (!m_subnet_scope->leave()) return false;
    if (subnet) set_selection({subnet});
    invalidate_pick_index();
    raise_event(EVT_ID_NODAL_SUBNET_SCOPE_CHANGED);
    redraw();
    return true;
}

void GuiNodal::request_subnet_removal(GuiNodalSubnet& subnet)
{
    if (std::find(m_subnets_to_remove.begin(), m_subnets_to_remove.end(), &subnet) == m_subnets_to_remove.end())
        m_subnets_to_remove.push_back(&subnet);
    set_is_dirty(true);
}

void GuiNodal::widget_update()
{
    GuiGlWidget::widget_update();
    complete_backdrop_update_request();
    std::vector<GuiNodalSubnet*> const requested = std::move(m_subnets_to_remove);
    m_subnets_to_remove.clear();
    for (GuiNodalSubnet* subnet : requested)
        if (std::find(m_subnets.begin(), m_subnets.end(), subnet) != m_subnets.end()) remove_subnet(*subnet);
}

// View ----------------------------------------------------------------------------------------------

int GuiNodal::get_graph_zone_width() const
{
    return std::max(get_width() - 2 * VIEWPORT_OFFSET, 1);
}

int GuiNodal::get_graph_zone_height() const
{
    return std::max(get_height() - 2 * VIEWPORT_OFFSET, 1);
}

void GuiNodal::set_view_pos(GMathVec2<float> const& pos)
{
    if (!std::isfinite(pos[0]) || !std::isfinite(pos[1])) {
        CORE_LOG_WARNING("GuiNodal.set_view_pos: (" << pos[0] << ", " << pos[1] << ") is not a position; the view stays\n");
        return;
    }
    m_view_pos = pos;
    compute_view_area();
    redraw();
}

void GuiNodal::set_zoom_factor(int const& factor)
{
    if (factor < 1) {
        CORE_LOG_WARNING("GuiNodal.set_zoom_factor: " << factor << " is not a zoom factor; the zoom stays "
                                                      << m_zoom_factor << "\n");
        return;
    }
    // The ratio's limits, as factors of the zone's height.
    double const zone = get_graph_zone_height();
    int const least = static_cast<int>(std::ceil(zone / get_max_zoom_ratio()));
    int const most = std::max(static_cast<int>(std::floor(zone / get_min_zoom_ratio())), least);
    m_zoom_factor = std::clamp(factor, least, most);
    m_zoom_ratio = static_cast<float>(zone / m_zoom_factor);
    compute_view_area();
    invalidate_pick_index();  // node sizes and link tolerances follow the zoom
    redraw();
}

void GuiNodal::set_zoom_ratio(float const& ratio)
{
    if (!std::isfinite(ratio) || ratio <= 0.0f) {
        CORE_LOG_WARNING("GuiNodal.set_zoom_ratio: " << ratio << " is not a zoom ratio; the zoom stays "
                                                     << m_zoom_ratio << "\n");
        return;
    }
    float const kept = std::clamp(ratio, get_min_zoom_ratio(), get_max_zoom_ratio());
    set_zoom_factor(static_cast<int>(std::lround(get_graph_zone_height() / static_cast<double>(kept))));
}

void GuiNodal::compute_view_area()
{
    double const width = static_cast<double>(get_graph_zone_width()) * m_zoom_factor / get_graph_zone_height();
    m_view_area = GMathVec4<int>(static_cast<int>(std::lround(m_view_pos[0])), static_cast<int>(std::lround(m_view_pos[1])),
                                 static_cast<int>(std::lround(m_view_pos[0] + width)),
                                 static_cast<int>(std::lround(m_view_pos[1] + m_zoom_factor)));
}

GMathVec2<float> GuiNodal::to_graph(int const& x, int const& y) const
{
    double const zone = get_graph_zone_height();
    double const gx = (x - VIEWPORT_OFFSET) * static_cast<double>(m_zoom_factor) / zone + m_view_pos[0];
    double const gy = (1.0 - (y - VIEWPORT_OFFSET) / zone) * m_zoom_factor + m_view_pos[1];
    return GMathVec2<float>(static_cast<float>(gx), static_cast<float>(gy));
}

GMathVec2<int> GuiNodal::compute_graph_coords(GMathVec2<int> const& pixel) const
{
    GMathVec2<float> const point = to_graph(pixel[0], pixel[1]);
    return GMathVec2<int>(static_cast<int>(std::lround(point[0])), static_cast<int>(std::lround(point[1])));
}

GMathVec2<int> GuiNodal::world_to_screen(GMathVec2<float> const& point) const
{
    double const zone = get_graph_zone_height();
    double const x = (point[0] - m_view_pos[0]) * zone / m_zoom_factor + VIEWPORT_OFFSET;
    double const y = (1.0 - (point[1] - m_view_pos[1]) / m_zoom_factor) * zone + VIEWPORT_OFFSET;
    return GMathVec2<int>(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
}

bool GuiNodal::is_inside(int const& x, int const& y, int const& left, int const& right, int const& top,
                         int const& bottom)
{
    return left < x && x < right && bottom < y && y < top;
}

void GuiNodal::zoom_at(GMathVec2<int> const& pixel, float const& ratio)
{
    GMathVec2<float> const before = to_graph(pixel[0], pixel[1]);
    set_zoom_ratio(ratio);
    // Move the view by what the pointer's graph point drifted.
    GMathVec2<float> const after = to_graph(pixel[0], pixel[1]);
    set_view_pos(m_view_pos + (before - after));
}

CoreString GuiNodal::get_zoom_text() const
{
    char text[64];
    if (m_zoom_ratio < get_max_zoom_ratio()) {
        float const place = (m_zoom_ratio - get_min_zoom_ratio()) / (get_max_zoom_ratio() - get_min_zoom_ratio());
        std::snprintf(text, sizeof(text), "Zoom: %d%%", static_cast<int>(place * 100.0f));
    } else {
        std::snprintf(text, sizeof(text), "Zoom: %.2f x", static_cast<double>(m_zoom_ratio));
    }
    return CoreString(text);
}

void GuiNodal::resize(int const& x, int const& y, int const& w, int const& h)
{
    float const ratio = m_zoom_ratio;
    float const top = m_view_pos[1] + static_cast<float>(m_zoom_factor);
    GuiGlWidget::resize(x, y, w, h);
    // The same ratio over the new zone, its top-left corner still on the same graph point.
    m_zoom_factor = std::max(static_cast<int>(std::lround(get_graph_zone_height() / static_cast<double>(ratio))), 1);
    m_zoom_ratio = static_cast<float>(static_cast<double>(get_graph_zone_height()) / m_zoom_factor);
    m_view_pos = GMathVec2<float>(m_view_pos[0], top - static_cast<float>(m_zoom_factor));
    compute_view_area();
    invalidate_pick_index();
}

void GuiNodal::set_graph_matrices()
{
    glViewport(VIEWPORT_OFFSET, VIEWPORT_OFFSET, get_graph_zone_width(), get_graph_zone_height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    double const width = static_cast<double>(get_graph_zone_width()) * m_zoom_factor / get_graph_zone_height();
    glOrtho(m_view_pos[0], m_view_pos[0] + width, m_view_pos[1], m_view_pos[1] + m_zoom_factor, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GuiNodal::draw(GuiDc& dc)
{
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    set_gl_widget_viewport();
    GMathVec3<unsigned char> const& background = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_VIEWPORT_BACKGROUND);
    gl.clear(background[0], background[1], background[2]);
    set_graph_matrices();
    gl.begin_batch();
    draw_first(dc);
    if (m_grid_displayed) draw_grid(gl);
    GuiNodalBackdrop::draw_hierarchies(dc, m_backdrops);
    for (GuiNodalNote* note : m_notes) note->draw(dc);
    // Only what lies in the view is drawn, found through the picking index; plugs stick out
    // of their boxes by their size.
    float const margin = static_cast<float>(GuiNodalNodeZoneAnchor::DEFAULT_SIZE);
    GMathVec2<float> const seen_min(m_view_area[0] - margin, m_view_area[1] - margin);
    GMathVec2<float> const seen_max(m_view_area[2] + margin, m_view_area[3] + margin);
    for (GuiNodalItem* item : m_drawn) item->set_is_culled(true);
    m_drawn.clear();
    // A current index gives what is near the view; after a change (a zoom, a move) the
    // index waits for the next pick, and every item is looked at instead.
    std::vector<GuiNodalItem*> candidates;
    if (m_pick_index_dirty)
        candidates.assign(m_links.begin(), m_links.end());
    else
        m_link_index.query(seen_min, seen_max, candidates);
    for (GuiNodalItem* item : candidates) {
        auto* link = static_cast<GuiNodalLink*>(item);
        if (!m_subnet_scope->is_link_shown(*link)) continue;
        link->update_content();
        bool culled = link->is_curve_outside(seen_min, seen_max);
        if (!culled && m_link_culling) {
            // Both ends out of the view: the link only passes through.
            auto const out = [&](int x, int y) {
                return x < seen_min[0] || x > seen_max[0] || y < seen_min[1] || y > seen_max[1];
            };
            culled = out(link->get_from_x(), link->get_from_y()) && out(link->get_to_x(), link->get_to_y());
        }
        if (culled) continue;
        link->set_is_culled(false);
        m_drawn.push_back(link);
        link->draw(dc);
    }
    if (m_pick_index_dirty)
        candidates.assign(m_nodes.begin(), m_nodes.end());
    else
        m_node_index.query(seen_min, seen_max, candidates);
    for (GuiNodalItem* item : candidates) {
        auto* node = static_cast<GuiNodalNode*>(item);
        node->update_content(dc);
        GMathVec2<int> min, max;
        node->get_bbox(min, max);
        if (max[0] < seen_min[0] || min[0] > seen_max[0] || max[1] < seen_min[1] || min[1] > seen_max[1]) continue;
        node->set_is_culled(false);
        m_drawn.push_back(node);
        node->draw(dc);
    }
    for (GuiNodalSubnet* subnet : m_subnets) subnet->draw(dc);
    m_subnet_scope->draw(dc);
    get_link_editor().draw(dc);  // links being made or dragged, and the knife
    if (m_state == GRAPH_STATE_MULTISELECTION_SQUARE && m_dragged) {
        GMathVec4<int> const band = get_rubber_band();
        GMathVec3<unsigned char> const& edge = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_HIGHLIGHT);
        GuiGlBatch& batch = gl.get_batch();
        batch.load_gl_matrices();
        batch.set_color(edge[0], edge[1], edge[2], 40);
        batch.add_rectf(band[0], band[1], band[2] - band[0], band[3] - band[1]);
        batch.set_color(edge[0], edge[1], edge[2]);
        batch.add_rect(band[0], band[1], band[2] - band[0], band[3] - band[1]);
    }
    if (!m_drop_marks.empty())
        if (AppBase* app = AppBase::get_instance()) {
            // The hidden nodes' places, fading.
            int const alpha = get_drop_alpha(app->get_run_time());
            GMathVec3<unsigned char> const& mark = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT);
            GuiGlBatch& batch = gl.get_batch();
            batch.load_gl_matrices();
            batch.set_color(mark[0], mark[1], mark[2], static_cast<unsigned char>(alpha));
            for (GMathVec4<int> const& box : m_drop_marks)
                batch.add_rectf(box[0], box[1], box[2] - box[0], box[3] - box[1]);
        }
    // The bookmark bar, at its place on screen over the graph.
    for (GuiNodalBookmark* bookmark : m_bookmark_buttons) bookmark->draw(dc);
    draw_last(dc);
    gl.end_batch();
    // The zoom, centred at the bottom of the widget, over everything.
    set_gl_widget_viewport();
    set_pixel_projection();
    CoreString const zoom = get_zoom_text();
    GMathVec3<unsigned char> const& text = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_DIM);
    int const zoom_width = get_text_width(get_font(), zoom);
    gl.draw_text(zoom, (get_width() - zoom_width) / 2, get_height() - VIEWPORT_OFFSET - 6, text[0], text[1], text[2]);
    // Inside subnets, where the view is, at the top.
    if (m_subnet_scope->get_depth() > 0) {
        GMathVec3<unsigned char> const& strong = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT);
        CoreString const path = CoreString("Inside: ") + m_subnet_scope->get_path() + "  (U leaves)";
        int const path_width = get_text_width(get_font(), path);
        gl.draw_text(path, (get_width() - path_width) / 2, VIEWPORT_OFFSET + 16, strong[0], strong[1], strong[2]);
    }
    if (is_minimap_visible()) draw_minimap(gl);
}


void GuiNodal::add_clickable_node(GuiNodalItem& item, GMathVec3<unsigned char>& color)
{
    uint32_t key = to_key(color);
    auto const known = m_clickables.find(key);
    if (key != 0 && known != m_clickables.end() && known->second == &item) return;
    if (!m_free_pick_keys.empty()) {
        key = m_free_pick_keys.back();
        m_free_pick_keys.pop_back();
    } else if (m_next_pick_key < PICK_KEY_COUNT) {
        key = m_next_pick_key++;
    } else {
        CORE_LOG_ERROR("GuiNodal.add_clickable_node: every pick colour is taken; the item cannot be picked\n");
        return;
    }
    color = GMathVec3<unsigned char>(static_cast<unsigned char>(key >> 16), static_cast<unsigned char>(key >> 8),
                                     static_cast<unsigned char>(key));
    m_clickables[key] = &item;
}

void GuiNodal::remove_clickable_node(GMathVec3<unsigned char> const& color)
{
    uint32_t const key = to_key(color);
    if (key == 0 || m_clickables.erase(key) == 0) return;
    m_free_pick_keys.push_back(key);
}

namespace {

// Picking reaches this many screen pixels beyond a link's curve at most.
constexpr float MAX_LINK_TOLERANCE = 16.0f;
// Curve points per piece of a link in the picking index.
constexpr size_t LINK_PIECE_POINTS = 8;

}  // namespace

void GuiNodal::update_pick_index()
{
    if (!m_pick_index_dirty) return;
    GuiDc& dc = get_dc();
    m_node_index.clear();
    m_link_index.clear();
    int const plug = GuiNodalNodeZoneAnchor::DEFAULT_SIZE;
    for (GuiNodalNode* node : m_nodes) {
        node->update_content(dc);
        if (node->get_is_hidden()) continue;
        GMathVec2<int> min, max;
        node->get_bbox(min, max);
        // Plugs stick out of the box by up to their size.
        m_node_index.insert(*node, min - GMathVec2<int>(plug, plug), max + GMathVec2<int>(plug, plug));
    }
    int const reach = static_cast<int>(std::ceil(MAX_LINK_TOLERANCE / m_zoom_ratio));
    for (GuiNodalLink* link : m_links) {
        if (!m_subnet_scope->is_link_shown(*link)) continue;
        link->update_content();
        std::vector<GMathVec2<float>> const& curve = link->get_curve();
        // Listed by pieces of a few points: a long link is found only near its curve.
        for (size_t first = 0; first + 1 < curve.size(); first += LINK_PIECE_POINTS) {
            size_t const last = std::min(first + LINK_PIECE_POINTS, curve.size() - 1);
            float x0 = curve[first][0], y0 = curve[first][1], x1 = x0, y1 = y0;
            for (size_t i = first; i <= last; ++i) {
                x0 = std::min(x0, curve[i][0]);
                x1 = std::max(x1, curve[i][0]);
                y0 = std::min(y0, curve[i][1]);
                y1 = std::max(y1, curve[i][1]);
            }
            m_link_index.insert(*link,
                                GMathVec2<int>(static_cast<int>(std::floor(x0)) - reach, static_cast<int>(std::floor(y0)) - reach),
                                GMathVec2<int>(static_cast<int>(std::ceil(x1)) + reach, static_cast<int>(std::ceil(y1)) + reach));
        }
    }
    // Bringing the items up to date marked the index again.
    m_pick_index_dirty = false;
}

GuiNodalLink* GuiNodal::get_link_near(GMathVec2<float> const& point, float const& tolerance,
                                      GuiNodalNodeBase const* except)
{
    update_pick_index();
    std::vector<GuiNodalItem*> hits;
    m_link_index.query(point, hits);
    // A link near the point through several of its pieces is measured once.
    std::sort(hits.begin(), hits.end());
    hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
    GuiNodalLink* nearest = nullptr;
    float best = std::min(tolerance, MAX_LINK_TOLERANCE) / m_zoom_ratio;
    for (GuiNodalItem* item : hits) {
        auto* link = static_cast<GuiNodalLink*>(item);
        if (except && (GuiNodalNode::get_owner_node(link->get_node_from(), true) == except ||
                       GuiNodalNode::get_owner_node(link->get_node_to(), true) == except))
            continue;
        float const distance = link->get_distance(point);
        if (distance <= best) {
            best = distance;
            nearest = link;
        }
    }
    return nearest;
}

GuiNodalItem* GuiNodal::pick(GMathVec2<float> const& point, float const& link_tolerance)
{
    update_pick_index();
    std::vector<GuiNodalItem*> hits;
    m_node_index.query(point, hits);
    for (auto it = hits.rbegin(); it != hits.rend(); ++it)
        if (GuiNodalItem* item = static_cast<GuiNodalNode*>(*it)->pick(point)) return item;
    for (auto it = m_subnets.rbegin(); it != m_subnets.rend(); ++it) {
        GuiNodalSubnet* subnet = *it;
        if (subnet->get_is_hidden()) continue;
        subnet->update_content(get_dc());
        GuiNodalNodeZoneButton& button = subnet->get_delete_button();
        if (GuiNodalNodeBase::box_holds(button.get_world_pos(), button.get_width(), button.get_height(), point)) return &button;
        if (GuiNodalNodeBase::box_holds(subnet->get_world_pos(), subnet->get_width(), subnet->get_height(), point)) return subnet;
    }
    if (GuiNodalLink* link = get_link_near(point, link_tolerance)) return link;
    for (auto it = m_notes.rbegin(); it != m_notes.rend(); ++it) {
        GuiNodalNote* note = *it;
        if (note->get_is_hidden()) continue;
        note->update_content(get_dc());
        GuiNodalNodeZoneButton& corner = note->get_resize_corner();
        if (GuiNodalNodeBase::box_holds(corner.get_world_pos(), corner.get_width(), corner.get_height(), point)) return &corner;
        if (GuiNodalNodeBase::box_holds(note->get_world_pos(), note->get_width(), note->get_height(), point)) return note;
    }
    return GuiNodalBackdrop::pick_hierarchies(get_dc(), m_backdrops, point);
}


GuiNodalItem* GuiNodal::get_clickable_node(GMathVec3<unsigned char> const& color) const
{
    auto const found = m_clickables.find(to_key(color));
    return found == m_clickables.end() ? nullptr : found->second;
}

int GuiNodal::get_text_width(GuiFont const& font, CoreString const& text)
{
    GuiFont::FontDesc const* desc = GuiFont::get_rasterized_font_data(font);
    if (!desc) return 0;
    double width = 0.0;
    for (char const c : to_atlas_codes(text)) width += desc->advance[static_cast<signed char>(c) + 128];
    return static_cast<int>(std::lround(width));
}

void GuiNodal::add_text(GuiGlWidgetDc& dc, GuiFont const& font, CoreString const& text, float const& x,
                        float const& y, GMathVec3<unsigned char> const& color, int const& max_width)
{
    set_active_font(font);
    FontGlData* data = get_ready_active_font();
    if (!data) return;
    CoreString const shown = max_width > 0 ? get_ellipsed_text(text, max_width, TEXT_ELLIPSIS_END) : text;
    GuiGlBatch& batch = dc.begin_batch();
    batch.load_gl_matrices();
    batch.set_color(color[0], color[1], color[2]);
    batch.add_glyphs(*data, to_atlas_codes(shown), x, y);
    dc.end_batch();
}

// Link editing --------------------------------------------------------------------------------------

void GuiNodal::LinkEditorDeleter::operator()(GuiNodalLinkEditor* editor) const
{
    delete editor;
}

void GuiNodal::forget_link(GuiNodalLink& link)
{
    if (m_link_editor) m_link_editor->forget_link(link);
}

GuiNodalLinkEditor& GuiNodal::get_link_editor()
{
    if (!m_link_editor) m_link_editor.reset(new GuiNodalLinkEditor(*this));
    return *m_link_editor;
}

void GuiNodal::set_command_manager(OfCommandManager* manager)
{
    get_link_editor().set_command_manager(manager);
}

GuiNodalLink* GuiNodal::add_link(GuiNodalLink* link)
{
    if (!link) return nullptr;
    if (&link->get_graph() != this) {
        CORE_LOG_WARNING("GuiNodal.add_link: the link was made for another view; it is not added\n");
        return nullptr;
    }
    if (std::find(m_links.begin(), m_links.end(), link) == m_links.end()) m_links.push_back(link);
    invalidate_pick_index();
    redraw();
    return link;
}

bool GuiNodal::check_link_creation(GuiNodalNodeBase&, GuiNodalNodeBase&)
{
    return true;
}

bool GuiNodal::validate_link_creation(GuiNodalNodeBase&, GuiNodalNodeBase&)
{
    return true;
}

bool GuiNodal::validate_link_reconnection(GuiNodalNodeBase&, GuiNodalNodeBase&, GuiNodalLink&)
{
    return false;
}

bool GuiNodal::on_link_remove(GuiNodalLink&, CoreString const&)
{
    return true;
}

bool GuiNodal::on_links_remove(std::vector<GuiNodalLink*> const& links, CoreString const&)
{
    for (GuiNodalLink* link : links)
        if (link) remove_link(*link);
    return true;
}

bool GuiNodal::is_reconnecting_on_same_plug(GuiNodalLink& link, GuiNodalNodeZoneAnchor& plug)
{
    if (link.get_state() != GuiNodalLink::LINK_STATE_DESTRUCTION) return false;
    GuiNodalNodeBase* detached = link.get_dangling_node() == link.get_node_from() ? link.get_node_to() : link.get_node_from();
    if (detached == &plug) return true;
    GuiNodalNodeBase* dot = GuiNodalNode::get_owner_node(detached, false);
    return dot && dot->is_kindof(GuiNodalDot::class_info()) && dot == GuiNodalNode::get_owner_node(&plug, false);
}

void GuiNodal::begin_link_creation(GuiNodalLink const&) {}

void GuiNodal::end_link_creation() {}

void GuiNodal::unref_link(GuiNodalLink& link, bool destroy)
{
    if (destroy) {
        remove_link(link);
        return;
    }
    auto const found = std::find(m_links.begin(), m_links.end(), &link);
    if (found == m_links.end()) return;
    m_links.erase(found);
    m_drawn.erase(std::remove(m_drawn.begin(), m_drawn.end(), &link), m_drawn.end());
    invalidate_pick_index();
    redraw();
}
