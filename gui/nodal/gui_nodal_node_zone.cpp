#include "gui/nodal/gui_nodal_node_zone.h"

#include <cmath>

#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNodalNodeZone, GuiNodalNodeBase)
CORE_IMPLEMENT_CLASS(GuiNodalNodeZoneAnchor, GuiNodalNodeZone)

// Zone ----------------------------------------------------------------------------------------------

GuiNodalNodeZone::GuiNodalNodeZone(GuiNodalNodeBase& node, int const& x, int const& y)
    : GuiNodalNodeBase(&node, node.get_graph(), x, y, NODE_ANCHOR_NONE)
{
}

void GuiNodalNodeZone::set_width(int const& width)
{
    if (width < 0) {
        CORE_LOG_WARNING("GuiNodalNodeZone.set_width: " << width << " is negative; the width stays " << m_width
                                                        << "\n");
        return;
    }
    m_width = width;
    set_dirty();
}

void GuiNodalNodeZone::set_height(int const& height)
{
    if (height < 0) {
        CORE_LOG_WARNING("GuiNodalNodeZone.set_height: " << height << " is negative; the height stays "
                                                         << m_height << "\n");
        return;
    }
    m_height = height;
    set_dirty();
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
    // Drawn at the node's scale: a node enlarged on hover enlarges its plugs.
    float const node_scale = get_parent() ? get_parent()->get_scale() : 1.0f;
    float const half = 0.5f * static_cast<float>(get_width()) * m_shape_factor * node_scale;
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
