#include "gui/nodal/gui_nodal_node_zone.h"

#include <algorithm>
#include <cmath>

#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNodalNodeZone, GuiNodalNodeBase)

EVENT_DEFINE_ID(EVT_ID_NODAL_BUTTON_CLICK);
EVENT_DEFINE_ID(EVT_ID_NODAL_BUTTON_DRAG_BEGIN);
EVENT_DEFINE_ID(EVT_ID_NODAL_BUTTON_DRAG);
EVENT_DEFINE_ID(EVT_ID_NODAL_BUTTON_DRAG_END);
CORE_IMPLEMENT_CLASS(GuiNodalNodeZoneAnchor, GuiNodalNodeZone)

// Zone ----------------------------------------------------------------------------------------------

GuiNodalNodeZone::GuiNodalNodeZone(GuiNodalNodeBase& node, int const& x, int const& y)
    : GuiNodalNodeBase(&node, node.get_graph(), x, y, NODE_ANCHOR_NONE)
{
}

void GuiNodalNodeZone::set_width(int const& width)
{
    set_size_field("GuiNodalNodeZone.set_width", m_width, width, 0);
}

void GuiNodalNodeZone::set_height(int const& height)
{
    set_size_field("GuiNodalNodeZone.set_height", m_height, height, 0);
}

// Anchor --------------------------------------------------------------------------------------------

GuiNodalNodeZoneAnchor::GuiNodalNodeZoneAnchor(GuiNodalNodeBase& node, NodeAnchor const& side)
    : GuiNodalNodeZone(node, 0, 0), m_side(side)
{
    GuiNodalNodeZone::set_width(DEFAULT_SIZE);
    GuiNodalNodeZone::set_height(DEFAULT_SIZE);
    set_selectable();
}

void GuiNodalNodeZoneAnchor::set_shape(Shape const& shape, float const& factor)
{
    if (!(factor > 0.0f) || !std::isfinite(factor)) {
        CORE_LOG_WARNING("GuiNodalNodeZoneAnchor.set_shape: the size factor " << factor
                                                                              << " is not positive; the shape stays\n");
        return;
    }
    m_shape = shape;
    m_shape_factor = factor;
    set_dirty();
}

void GuiNodalNodeZoneAnchor::set_shape_triangle(float const& factor)
{
    set_shape(SHAPE_TRIANGLE, factor);
}

void GuiNodalNodeZoneAnchor::set_shape_circle(float const& factor)
{
    set_shape(SHAPE_CIRCLE, factor);
}

void GuiNodalNodeZoneAnchor::set_shape_half_circle(float const& factor)
{
    set_shape(SHAPE_HALF_CIRCLE, factor);
}

void GuiNodalNodeZoneAnchor::set_size(int const& size)
{
    if (size <= 0) {
        CORE_LOG_WARNING("GuiNodalNodeZoneAnchor.set_size: " << size << " is not a size; the plug stays "
                                                             << get_width() << " wide\n");
        return;
    }
    set_width(size);
    set_height(size);
}

void GuiNodalNodeZoneAnchor::set_is_highlighted(bool const& highlighted)
{
    GuiNodalNodeBase::set_is_highlighted(highlighted);
    set_bg_color(highlighted ? get_bg_highlight_color() : get_bg_normal_color());
}

bool GuiNodalNodeZoneAnchor::can_begin_link_creation()
{
    GuiNodalNodeBase* node = get_parent();
    return node ? node->can_begin_link_creation() : true;
}

bool GuiNodalNodeZoneAnchor::can_begin_link_destruction(GuiNodalLink const& link)
{
    GuiNodalNodeBase* node = get_parent();
    return node ? node->can_begin_link_destruction(link) : true;
}

void GuiNodalNodeZoneAnchor::shape_points(std::vector<GuiGlBatch::Point>& points) const
{
    points.clear();
    // A node enlarged on hover draws its plugs through its own enlarged transform.
    float const half = 0.5f * static_cast<float>(get_width()) * m_shape_factor;
    GMathVec2<int> const& pos = get_world_pos();
    float const cx = static_cast<float>(pos[0]);
    float const cy = static_cast<float>(pos[1]);
    // Outwards is +x for right plugs, +y for up plugs; the others point into their node.
    float const direction = (m_side == NODE_ANCHOR_RIGHT || m_side == NODE_ANCHOR_UP) ? 1.0f : -1.0f;
    bool const vertical = m_side == NODE_ANCHOR_UP || m_side == NODE_ANCHOR_BOTTOM;
    auto const add = [&](float along, float across) {
        points.push_back(vertical ? GuiGlBatch::Point{cx + across, cy + along} : GuiGlBatch::Point{cx + along, cy + across});
    };
    constexpr float PI = 3.14159265f;
    switch (m_shape) {
        case SHAPE_TRIANGLE:
            add(-half * direction, -half);
            add(half * direction, 0.0f);
            add(-half * direction, half);
            break;
        case SHAPE_CIRCLE:
        case SHAPE_HALF_CIRCLE: {
            int const steps = 16;
            float const sweep = m_shape == SHAPE_CIRCLE ? 2.0f * PI : PI;
            for (int i = 0; i <= steps; ++i) {
                float const a = -PI / 2.0f + sweep * static_cast<float>(i) / steps;
                add(half * std::cos(a) * direction, half * std::sin(a));
            }
            if (m_shape == SHAPE_CIRCLE) points.pop_back();  // the first point again
            break;
        }
    }
}

void GuiNodalNodeZoneAnchor::draw(GuiDc& dc)
{
    if (get_is_hidden()) return;
    std::vector<GuiGlBatch::Point> shape;
    shape_points(shape);
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    Color const& fill = get_bg_color();
    int const alpha = get_is_ghost() ? m_ghost_alpha : m_pass_through ? m_passthrough_alpha : 255;
    batch.set_color(fill[0], fill[1], fill[2], static_cast<unsigned char>(alpha));
    batch.add_polygonf(shape.data(), shape.size());
    Color const& border = get_border_color();
    batch.set_color(border[0], border[1], border[2], static_cast<unsigned char>(alpha));
    batch.add_polyline(shape.data(), shape.size(), true);
    gl.end_batch();
}

void GuiNodalNodeZoneAnchor::draw_select(GuiDc& dc)
{
    if (get_is_hidden()) return;
    std::vector<GuiGlBatch::Point> shape;
    shape_points(shape);
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    Color const& pick = get_pick_color();
    batch.set_color(pick[0], pick[1], pick[2]);
    batch.add_polygonf(shape.data(), shape.size());
    gl.end_batch();
}

// Header --------------------------------------------------------------------------------------------

CORE_IMPLEMENT_CLASS(GuiNodalNodeZoneHeader, GuiNodalNodeZone)

GuiNodalNodeZoneHeader::GuiNodalNodeZoneHeader(GuiNodalNodeBase& node, CoreString const& title)
    : GuiNodalNodeZone(node, 0, 0)
{
    set_line(0, title);
}

void GuiNodalNodeZoneHeader::set_line(size_t const& index, CoreString const& text)
{
    while (m_lines.size() <= index) {
        Line line;
        line.font = get_graph().get_font();
        line.color = get_text_color();
        // The title is bold; other lines are a size smaller.
        if (m_lines.empty())
            line.font.set_weight(GuiFont::WEIGHT_BOLD);
        else
            line.font.set_size(std::max(1, line.font.get_size() - 1));
        m_lines.push_back(line);
    }
    m_lines[index].text = text;
    set_dirty();
}

void GuiNodalNodeZoneHeader::set_line_color(size_t const& index, Color const& color)
{
    if (index >= m_lines.size()) return;
    m_lines[index].color = color;
    set_dirty();
}

void GuiNodalNodeZoneHeader::set_line_icon(size_t const& index, GuiImage const& icon)
{
    if (index >= m_lines.size()) set_line(index, CoreString());
    get_graph().remove_texture(m_lines[index].icon);
    m_lines[index].icon = icon;
    set_dirty();
}

int GuiNodalNodeZoneHeader::get_icon_column() const
{
    if (m_lines.empty() || !m_lines.front().has_icon()) return 0;
    for (size_t i = 1; i < m_lines.size(); ++i)
        if (m_lines[i].has_icon()) return 0;
    return static_cast<int>(m_lines.front().icon.get_width());
}

int GuiNodalNodeZoneHeader::get_text_offset(Line const& line) const
{
    int const margin = get_border_size();
    int const column = get_icon_column();
    if (column > 0) return margin + column + margin;
    return line.has_icon() ? margin + static_cast<int>(line.icon.get_width()) + margin : margin;
}

void GuiNodalNodeZoneHeader::set_footer(bool const& footer)
{
    m_footer = footer;
    set_dirty();
}

void GuiNodalNodeZoneHeader::add_bar(int const& height)
{
    m_bar_height = std::max(height, 0);
    set_dirty();
}

void GuiNodalNodeZoneHeader::add_status(int const& height)
{
    m_status_height = std::max(height, 0);
    set_dirty();
}

GuiNodalNodeZoneHeader::~GuiNodalNodeZoneHeader()
{
    for (Line const& line : m_lines) get_graph().remove_texture(line.icon);
}

int GuiNodalNodeZoneHeader::get_line_height(Line const& line) const
{
    int width = 0;
    int height = 0;
    line.font.get_text_size(line.text, width, height);
    int const text = line.text.is_empty() ? 0 : std::max(height, line.font.get_size());
    // An icon keeps the default margin above and below it.
    int const icon = line.has_icon() ? static_cast<int>(line.icon.get_height()) + 2 * get_border_size() : 0;
    return std::max(text, icon);
}

void GuiNodalNodeZoneHeader::update_size()
{
    int const margin = get_border_size();
    GuiNodal& graph = get_graph();
    bool const simplified = get_parent() && get_parent()->get_state_is_active(NODE_STATE_SIMPLIFIED);
    int width = 0;
    int height = simplified ? 0 : m_bar_height;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        Line const& line = m_lines[i];
        if ((line.text.is_empty() && !line.has_icon()) || (simplified && i > 0)) continue;
        int const line_width = get_text_offset(line) + graph.get_text_width(line.font, line.text) + margin;
        if (line.counts_in_width) width = std::max(width, line_width);
        height += get_line_height(line);
    }
    height += m_status_height / 2;
    if (graph.get_zoom_simplification_ratio() > 0.0f) height = std::max(height, MIN_SIMPLIFIED_VIEW_HEIGHT);
    set_width(width);
    set_height(height);
    set_computed_size(get_width(), height);
    set_draw_state(DRAW_STATE_UP_TO_DATE);
}

void GuiNodalNodeZoneHeader::draw(GuiDc& dc)
{
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec2<int> const& pos = get_world_pos();
    int const margin = get_border_size();
    int const limit = get_parent() ? get_parent()->get_width() - 2 * margin : 0;
    bool const simplified = get_parent() && get_parent()->get_state_is_active(NODE_STATE_SIMPLIFIED);
    float const left = static_cast<float>(pos[0]);
    float const width = static_cast<float>(get_parent() ? get_parent()->get_width() : get_width());
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    if (!simplified && m_bar_height > 0) {
        // The bar: a darker strip along the top.
        Color const& back = get_bg_color();
        batch.set_color(back[0] * 3 / 5, back[1] * 3 / 5, back[2] * 3 / 5);
        batch.add_rectf(left, static_cast<float>(pos[1] - m_bar_height), width, static_cast<float>(m_bar_height));
    }
    float y = static_cast<float>(pos[1] - (simplified ? 0 : m_bar_height));
    for (size_t i = 0; i < m_lines.size(); ++i) {
        Line const& line = m_lines[i];
        if ((line.text.is_empty() && !line.has_icon()) || (simplified && i > 0)) continue;
        float const line_height = static_cast<float>(get_line_height(line));
        y -= line_height;
        if (line.has_icon()) {
            float const h = static_cast<float>(line.icon.get_height());
            batch.set_color(255, 255, 255);
            batch.add_image(get_graph().get_image_texture(line.icon), left + margin, y + (line_height - h) / 2.0f,
                            static_cast<float>(line.icon.get_width()), h);
        }
        // The baseline sits a fifth of the line above its bottom, where descenders end.
        // Zoomed out, the view decides whether titles still show.
        if (simplified && !get_graph().is_node_label_shown(line.font.get_size())) continue;
        int const offset = get_text_offset(line);
        get_graph().add_text(gl, line.font, line.text, left + offset, y + line_height * 0.2f, line.color,
                             std::max(limit - (offset - margin), 1));
    }
    if (!simplified && m_status_height > 0) {
        // The status area: a strip in the border colour along the band's bottom.
        Color const& status = get_parent() ? get_parent()->get_border_color() : get_border_color();
        batch.set_color(status[0], status[1], status[2]);
        batch.add_rectf(left, y - m_status_height / 2.0f, width, m_status_height / 2.0f);
    }
    gl.end_batch();
}

// Text ----------------------------------------------------------------------------------------------

CORE_IMPLEMENT_CLASS(GuiNodalNodeZoneText, GuiNodalNodeZone)

GuiNodalNodeZoneText::GuiNodalNodeZoneText(GuiNodalNodeBase& node, CoreString const& text, int const& text_height)
    : GuiNodalNodeZone(node, 0, 0), m_text(text)
{
    set_text_height(text_height);
}

void GuiNodalNodeZoneText::set_text(CoreString const& text)
{
    m_text = text;
    set_dirty();
}

void GuiNodalNodeZoneText::set_text_height(int const& height)
{
    if (height < 1) {
        CORE_LOG_WARNING("GuiNodalNodeZoneText.set_text_height: " << height << " is not a text height; it stays "
                                                                  << m_text_height << "\n");
        return;
    }
    m_text_height = height;
    set_dirty();
}

void GuiNodalNodeZoneText::set_crop_width(int const& width)
{
    m_crop_width = std::max(width, 0);
    set_dirty();
}

void GuiNodalNodeZoneText::update_content(GuiDc&)
{
    GuiFont font = get_graph().get_font();
    font.set_size(m_text_height);
    int const margin = get_border_size() + get_plug_inset();
    int width = get_graph().get_text_width(font, m_text) + 2 * margin;
    if (m_crop_width > 0 && !m_uncroppable) width = std::min(width, m_crop_width);
    set_width(width);
    set_height(m_text_height + margin);
    set_computed_size(width, m_text_height + margin);
    set_draw_state(DRAW_STATE_UP_TO_DATE);
}

void GuiNodalNodeZoneText::draw(GuiDc& dc)
{
    if (m_text.is_empty()) return;
    GuiFont font = get_graph().get_font();
    font.set_size(m_text_height);
    GMathVec2<int> const& pos = get_world_pos();
    int const margin = get_border_size() + get_plug_inset();
    // A croppable text is cut to its zone, never to nothing.
    int const limit = m_uncroppable ? 0 : std::max(get_width() - 2 * margin, 1);
    // Half the margin above the text, whose glyphs rise about four fifths of its height.
    float const baseline = static_cast<float>(pos[1]) - margin * 0.5f - m_text_height * 0.8f;
    get_graph().add_text(static_cast<GuiGlWidgetDc&>(dc), font, m_text, static_cast<float>(pos[0] + margin), baseline,
                         get_text_color(), limit);
}

int GuiNodalNodeZone::get_plug_inset() const
{
    if (!(get_active_anchors() & NODE_ANCHOR_SIDES)) return 0;
    float factor = 0.0f;
    for (NodeAnchor const side : {NODE_ANCHOR_LEFT, NODE_ANCHOR_RIGHT})
        if (GuiNodalNodeZoneAnchor const* plug = get_anchor(side))
            factor = std::max(factor, plug->get_width() * plug->get_shape_factor());
    return static_cast<int>(std::ceil(factor / 2.0f));
}

// Button --------------------------------------------------------------------------------------------

CORE_IMPLEMENT_CLASS(GuiNodalNodeZoneButton, GuiNodalNodeZone)

GuiNodalNodeZoneButton::GuiNodalNodeZoneButton(GuiNodalNodeBase& node, int const& x, int const& y, int const& w,
                                               int const& h)
    : GuiNodalNodeZone(node, x, y)
{
    set_width(std::max(w, 0));
    set_height(std::max(h, 0));
    set_border_color(Color(200, 200, 200));
    set_selectable();
}

void GuiNodalNodeZoneButton::set_shape(unsigned int const& shape)
{
    m_shape = shape;
    set_dirty();
}

char const* GuiNodalNodeZoneButton::get_tooltip() const
{
    switch (m_shape) {
        case SHAPE_CORNER_LEFT:
        case SHAPE_CORNER_RIGHT: return "Drag to resize.";
        case SHAPE_DELETE: return "Click to delete.";
        case SHAPE_SLIDER: return "Slide to collapse/expand.";
        default: return "";
    }
}

void GuiNodalNodeZoneButton::click()
{
    if (m_enabled) raise_event(EVT_ID_NODAL_BUTTON_CLICK);
}

void GuiNodalNodeZoneButton::drag_begin()
{
    if (m_enabled) raise_event(EVT_ID_NODAL_BUTTON_DRAG_BEGIN);
}

void GuiNodalNodeZoneButton::drag(GMathVec2<int> const& delta)
{
    if (!m_enabled) return;
    GMathVec2<int> moved = delta;
    raise_event(EventInfo(EVT_ID_NODAL_BUTTON_DRAG, &moved));
}

void GuiNodalNodeZoneButton::drag_end()
{
    if (m_enabled) raise_event(EVT_ID_NODAL_BUTTON_DRAG_END);
}

void GuiNodalNodeZoneButton::set_is_highlighted(bool const& highlighted)
{
    GuiNodalNodeBase::set_is_highlighted(highlighted);
    set_bg_color(highlighted ? get_bg_highlight_color() : get_bg_normal_color());
}

void GuiNodalNodeZoneButton::draw(GuiDc& dc)
{
    if (get_is_hidden()) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec2<int> const& pos = get_world_pos();
    float const x = static_cast<float>(pos[0]);
    float const top = static_cast<float>(pos[1]);
    float const w = static_cast<float>(get_width());
    float const h = static_cast<float>(get_height());
    unsigned char const alpha = m_enabled ? 255 : 96;
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    Color const& border = get_border_color();
    batch.set_color(border[0], border[1], border[2], alpha);
    if (m_shape == SHAPE_CORNER_LEFT || m_shape == SHAPE_CORNER_RIGHT) {
        // A triangle in the corner it resizes.
        bool const left = m_shape == SHAPE_CORNER_LEFT;
        GuiGlBatch::Point const corner{left ? x : x + w, top - h};
        batch.add_triangle(corner, GuiGlBatch::Point{left ? x + w : x, top - h}, GuiGlBatch::Point{corner.x, top});
    } else {
        Color const& fill = get_bg_color();
        batch.set_color(fill[0], fill[1], fill[2], alpha);
        batch.add_rectf(x, top - h, w, h);
        batch.set_color(border[0], border[1], border[2], alpha);
        batch.add_rect(x, top - h, w, h);
        if (m_shape == SHAPE_COLLAPSE || m_shape == SHAPE_EXPAND) {
            // A small arrowhead: up to fold away, down to unfold.
            float const cx = x + w / 2.0f;
            float const cy = top - h / 2.0f;
            float const r = std::min(w, h) / 4.0f;
            float const tip = m_shape == SHAPE_COLLAPSE ? r : -r;
            batch.add_triangle(GuiGlBatch::Point{cx - r, cy - tip / 2.0f}, GuiGlBatch::Point{cx + r, cy - tip / 2.0f},
                               GuiGlBatch::Point{cx, cy + tip / 2.0f});
        }
    }
    gl.end_batch();
}

void GuiNodalNodeZoneButton::draw_select(GuiDc& dc)
{
    if (!get_is_hidden()) draw_pick_box(dc);
}

// Image ---------------------------------------------------------------------------------------------

CORE_IMPLEMENT_CLASS(GuiNodalNodeZoneImage, GuiNodalNodeZone)

GuiNodalNodeZoneImage::GuiNodalNodeZoneImage(GuiNodalNodeBase& node, GuiImage const& image)
    : GuiNodalNodeZone(node, 0, 0)
{
    set_image(image);
}

GuiNodalNodeZoneImage::~GuiNodalNodeZoneImage()
{
    delete m_resize_corner;
    get_graph().remove_texture(m_image);
}

void GuiNodalNodeZoneImage::set_image(GuiImage const& image)
{
    get_graph().remove_texture(m_image);
    m_image = image;
    unsigned int const w = image.get_width();
    unsigned int const h = image.get_height();
    if (!image.has_data() || w == 0 || h == 0)
        CORE_LOG_WARNING("GuiNodalNodeZoneImage.set_image: the image has no pixels; its zone stays empty\n");
    m_ratio = w > 0 && h > 0 ? static_cast<double>(h) / w : 1.0;
    m_size = static_cast<double>(w);
    m_outdated = false;
    set_dirty();
}

void GuiNodalNodeZoneImage::set_image_size(double const& size)
{
    if (!(size > 0.0) || !std::isfinite(size)) {
        CORE_LOG_WARNING("GuiNodalNodeZoneImage.set_image_size: " << size << " is not a size; it stays " << m_size
                                                                  << "\n");
        return;
    }
    m_size = size;
    set_dirty();
}

void GuiNodalNodeZoneImage::set_resizable(bool const& resizable)
{
    if (resizable == is_resizable()) return;
    if (resizable) {
        m_resize_corner = new GuiNodalNodeZoneButton(*this, 0, 0, RESIZE_CORNER_SIZE, RESIZE_CORNER_SIZE);
        m_resize_corner->set_shape(GuiNodalNodeZoneButton::SHAPE_CORNER_RIGHT);
        m_resize_corner->set_action_mode(GuiNodalNodeZoneButton::BUTTON_ACTION_DRAG);
        connect(*m_resize_corner, EVT_ID_NODAL_BUTTON_DRAG, &GuiNodalNodeZoneImage::on_resize);
    } else {
        delete m_resize_corner;
        m_resize_corner = nullptr;
    }
    set_dirty();
}

void GuiNodalNodeZoneImage::on_resize(GuiNodalNodeZoneButton&, EventInfo const& info, void*)
{
    auto const* delta = static_cast<GMathVec2<int> const*>(info.get_event_data());
    if (!delta) return;
    // The corner is the bottom-right one; y runs upwards, so a move down is negative.
    double const across = (*delta)[0];
    double const down = -(*delta)[1] / m_ratio;
    double const size = m_size + (std::fabs(across) >= std::fabs(down) ? across : down);
    if (!(size > 0.0)) {
        CORE_LOG_WARNING("GuiNodalNodeZoneImage.on_resize: a drag of (" << (*delta)[0] << ", " << (*delta)[1]
                                                                        << ") would shrink the image to nothing; "
                                                                           "it stays "
                                                                        << m_size << " wide\n");
        return;
    }
    // The shorter side keeps MIN_DRAG_SIDE; an image already smaller is not grown by shrinking.
    double const least = std::min(m_size, MIN_DRAG_SIDE * std::max(1.0, 1.0 / m_ratio));
    double const shown = std::max(size, least);
    if (shown != m_size) set_image_size(shown);
}

void GuiNodalNodeZoneImage::set_outdated(bool const& outdated)
{
    m_outdated = outdated;
    set_dirty();
}

void GuiNodalNodeZoneImage::update_content(GuiDc&)
{
    int const margin = get_border_size();
    int const w = static_cast<int>(std::lround(m_size));
    int const h = static_cast<int>(std::lround(m_size * m_ratio));
    set_width(w + 2 * margin);
    set_height(h + 2 * margin);
    set_computed_size(w + 2 * margin, h + 2 * margin);
    if (m_resize_corner)
        m_resize_corner->set_local_pos(GMathVec2<int>(get_width() - m_resize_corner->get_width(),
                                                      -(get_height() - m_resize_corner->get_height())));
    set_draw_state(DRAW_STATE_UP_TO_DATE);
}

void GuiNodalNodeZoneImage::draw(GuiDc& dc)
{
    if (get_is_hidden()) return;
    draw_image(dc);
    if (m_resize_corner) m_resize_corner->draw(dc);
}

void GuiNodalNodeZoneImage::draw_select(GuiDc& dc)
{
    if (!get_is_hidden() && m_resize_corner) m_resize_corner->draw_select(dc);
}

void GuiNodalNodeZoneImage::draw_image(GuiDc& dc)
{
    unsigned int const texture = get_graph().get_image_texture(m_image);
    if (texture == 0) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec2<int> const& pos = get_world_pos();
    float const margin = static_cast<float>(get_border_size());
    float const w = static_cast<float>(m_size);
    float const h = static_cast<float>(m_size * m_ratio);
    float const x = static_cast<float>(pos[0]) + margin;
    float const y = static_cast<float>(pos[1]) - margin - h;
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    if (m_use_background) {
        Color const& back = get_bg_color();
        batch.set_color(back[0], back[1], back[2]);
        batch.add_rectf(x, y, w, h);
    }
    // White shows the image as it is; grey dims an outdated one.
    unsigned char const tint = m_outdated ? 110 : 255;
    batch.set_color(tint, tint, tint);
    batch.add_image(texture, x, y, w, h);
    gl.end_batch();
}
