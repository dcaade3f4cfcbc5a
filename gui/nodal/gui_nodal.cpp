#include <GL/glew.h>

#include "gui/nodal/gui_nodal.h"

#include <algorithm>
#include <cmath>

#include "gui/core/gui_color_scheme.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_image.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal_backdrop.h"
#include "gui/nodal/gui_nodal_dot.h"
#include "gui/nodal/gui_nodal_item.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "gui/nodal/gui_nodal_note.h"
#include "gui/nodal/gui_nodal_subnet.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNodal, GuiGlWidget)

namespace {

constexpr float SIMPLIFICATION_RATIO = 0.75f;
constexpr uint32_t PICK_KEY_COUNT = 1u << 24;

}  // namespace

GuiNodal::GuiNodal(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, bool simplify,
                   bool hide_mode)
    : GuiGlWidget(parent, x, y, w, h),
      m_simplification_ratio(simplify ? SIMPLIFICATION_RATIO : 0.0f),
      m_hide_mode(hide_mode)
{
}

void GuiNodal::set_max_node_width(unsigned int const& width)
{
    m_max_node_width = width;
    for (GuiNodalNode* node : m_nodes) node->set_dirty();
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
    for (GuiNodalLink* link : m_links) delete link;
    // Subnets and backdrops hold pointers to the nodes: they go first.
    for (GuiNodalSubnet* subnet : m_subnets) delete subnet;
    for (GuiNodalBackdrop* backdrop : m_backdrops) backdrop->set_content({});
    for (GuiNodalNote* note : m_notes) delete note;
    for (GuiNodalBackdrop* backdrop : m_backdrops) delete backdrop;
    for (GuiNodalNode* node : m_nodes) delete node;
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
    destroy_links_of(node);
    forget_box(node);
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
    delete &link;
    invalidate_pick_index();
    redraw();
}

// Backdrop updates ----------------------------------------------------------------------------------

void GuiNodal::watch_box(GuiNodalNodeBase& box)
{
    connect(box, EVENT_ID_NODAL_BBOX_CHANGED, &GuiNodal::on_need_backdrop_update);
}

void GuiNodal::forget_box(GuiNodalNodeBase& box)
{
    for (GuiNodalBackdrop* backdrop : m_backdrops) backdrop->remove_from_content(box);
    for (GuiNodalSubnet* subnet : m_subnets) subnet->remove_from_content(box);
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
    destroy_links_of(subnet);
    forget_box(subnet);
    m_subnets_to_remove.erase(std::remove(m_subnets_to_remove.begin(), m_subnets_to_remove.end(), &subnet),
                              m_subnets_to_remove.end());
    m_subnets.erase(found);
    delete &subnet;
    invalidate_pick_index();
    redraw();
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

void GuiNodal::set_view_pos(GMathVec2<float> const& pos)
{
    if (!std::isfinite(pos[0]) || !std::isfinite(pos[1])) {
        CORE_LOG_WARNING("GuiNodal.set_view_pos: (" << pos[0] << ", " << pos[1] << ") is not a position; the view stays\n");
        return;
    }
    m_view_pos = pos;
    redraw();
}

GMathVec2<float> GuiNodal::to_graph(int const& x, int const& y) const
{
    return GMathVec2<float>(m_view_pos[0] + x / m_zoom_ratio, m_view_pos[1] - y / m_zoom_ratio);
}

void GuiNodal::set_graph_matrices()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, get_width(), 0.0, get_height(), -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The top-left corner shows m_view_pos; graph y grows upwards like the view's.
    glTranslatef(0.0f, static_cast<float>(get_height()), 0.0f);
    glScalef(m_zoom_ratio, m_zoom_ratio, 1.0f);
    glTranslatef(-m_view_pos[0], -m_view_pos[1], 0.0f);
}

void GuiNodal::draw(GuiDc& dc)
{
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    set_gl_widget_viewport();
    GMathVec3<unsigned char> const& background = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_VIEWPORT_BACKGROUND);
    gl.clear(background[0], background[1], background[2]);
    set_graph_matrices();
    gl.begin_batch();
    GuiNodalBackdrop::draw_hierarchies(dc, m_backdrops);
    for (GuiNodalNote* note : m_notes) note->draw(dc);
    // Only what lies in the view is drawn; plugs stick out of their boxes by their size.
    float const margin = static_cast<float>(GuiNodalNodeZoneAnchor::DEFAULT_SIZE);
    GMathVec2<float> const seen_min(m_view_pos[0] - margin, m_view_pos[1] - get_height() / m_zoom_ratio - margin);
    GMathVec2<float> const seen_max(m_view_pos[0] + get_width() / m_zoom_ratio + margin, m_view_pos[1] + margin);
    for (GuiNodalLink* link : m_links) {
        link->update_content();
        link->set_is_culled(link->is_curve_outside(seen_min, seen_max));
        if (!link->get_is_culled()) link->draw(dc);
    }
    for (GuiNodalNode* node : m_nodes) {
        node->update_content(dc);
        GMathVec2<int> min, max;
        node->get_bbox(min, max);
        node->set_is_culled(max[0] < seen_min[0] || min[0] > seen_max[0] || max[1] < seen_min[1] || min[1] > seen_max[1]);
        if (!node->get_is_culled()) node->draw(dc);
    }
    for (GuiNodalSubnet* subnet : m_subnets) subnet->draw(dc);
    gl.end_batch();
}

void GuiNodal::set_zoom_ratio(float const& ratio)
{
    if (!std::isfinite(ratio)) {
        CORE_LOG_WARNING("GuiNodal.set_zoom_ratio: " << ratio << " is not a zoom ratio; the zoom stays "
                                                     << m_zoom_ratio << "\n");
        return;
    }
    m_zoom_ratio = std::clamp(ratio, get_min_zoom_ratio(), get_max_zoom_ratio());
    invalidate_pick_index();  // node sizes and link tolerances follow the zoom
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
    m_link_index.query(point, hits);
    // A link near the point through several of its pieces is measured once.
    std::sort(hits.begin(), hits.end());
    hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
    GuiNodalItem* nearest = nullptr;
    float best = std::min(link_tolerance, MAX_LINK_TOLERANCE) / m_zoom_ratio;
    for (GuiNodalItem* item : hits) {
        float const distance = static_cast<GuiNodalLink*>(item)->get_distance(point);
        if (distance <= best) {
            best = distance;
            nearest = item;
        }
    }
    if (nearest) return nearest;
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

#include "gui/nodal/gui_nodal_link_editor.h"

void GuiNodal::LinkEditorDeleter::operator()(GuiNodalLinkEditor* editor) const
{
    delete editor;
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
    GuiNodalNodeBase* dot = GuiNodalLinkEditor::get_owner_node(detached, false);
    return dot && dot->is_kindof(GuiNodalDot::class_info()) && dot == GuiNodalLinkEditor::get_owner_node(&plug, false);
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
    invalidate_pick_index();
    redraw();
}
