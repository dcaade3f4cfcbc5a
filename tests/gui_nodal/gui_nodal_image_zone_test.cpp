// The resize corner of image zones: made and destroyed on demand, placed at the zone's
// bottom-right, resizing the image at its ratio when dragged, drawn and picked with the zone.
#include <gtest/gtest.h>

#include <vector>

#include "gui/core/gui_image.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Button = GuiNodalNodeZoneButton;
using Color = GuiNodalItem::Color;
using Vec = GMathVec2<int>;

class GuiNodalImageZoneTest : public NodalPixelTest {
protected:
    // A node at (0, 0) holding a zone of a 40 × 20 red image (ratio 0.5), resizable.
    GuiNodalNodeZoneImage& image_zone()
    {
        std::vector<unsigned char> red(40 * 20 * 3, 0);
        for (size_t i = 0; i < red.size(); i += 3) red[i] = 255;
        m_node = graph().add_node(new GuiNodalNode(graph(), "pictured", 0, 0, 0));
        auto* zone = new GuiNodalNodeZoneImage(*m_node, GuiImage(red.data(), 40, 20, 3));
        m_node->add_zone(*zone);
        zone->set_resizable(true);
        lay_out();
        return *zone;
    }
    void lay_out() { m_node->update_content(graph().get_dc()); }
    GuiNodalNode& node() { return *m_node; }

private:
    GuiNodalNode* m_node = nullptr;
};

TEST_F(GuiNodalImageZoneTest, TheCornerComesAndGoesAtTheZonesBottomRight)
{
    GuiNodalNodeZoneImage& zone = image_zone();
    zone.set_resizable(true);  // once only
    ASSERT_TRUE(zone.is_resizable());
    EXPECT_EQ(zone.get_children().size(), 1u);
    Button& corner = *zone.get_resize_corner();
    EXPECT_EQ(corner.get_shape(), Button::SHAPE_CORNER_RIGHT);
    EXPECT_EQ(corner.get_action_mode(), Button::BUTTON_ACTION_DRAG);
    Vec const zone_corner = zone.get_world_pos() + Vec(zone.get_width(), -zone.get_height());
    EXPECT_EQ(corner.get_world_pos() + Vec(corner.get_width(), -corner.get_height()), zone_corner);
    // The view finds it before the zone it sits on.
    GMathVec2<float> const inside(zone_corner[0] - 2.0f, zone_corner[1] + 2.0f);
    EXPECT_EQ(graph().pick(inside), &corner);
    // It follows the zone when the image grows.
    zone.set_image_size(80.0);
    lay_out();
    EXPECT_EQ(corner.get_world_pos() + Vec(corner.get_width(), -corner.get_height()),
              zone.get_world_pos() + Vec(zone.get_width(), -zone.get_height()));
    zone.set_resizable(false);
    EXPECT_FALSE(zone.is_resizable());
    EXPECT_EQ(zone.get_resize_corner(), nullptr);
    EXPECT_TRUE(zone.get_children().empty());
}

TEST_F(GuiNodalImageZoneTest, DraggingTheCornerResizesTheImageAtItsRatio)
{
    GuiNodalNodeZoneImage& zone = image_zone();
    double const least =
        GuiNodalNodeZoneImage::MIN_DRAG_SIDE / zone.get_image_ratio();  // the height is shorter
    struct Row {
        Vec drag;
        double size;
        bool refused;
    } const rows[] = {
        {Vec(30, 0), 110.0, false},    // right
        {Vec(0, -20), 120.0, false},   // down: 20 units of height are 40 of width
        {Vec(10, -20), 120.0, false},  // the larger move leads
        {Vec(-40, 5), 40.0, false},    // left
        {Vec(-75, 0), least, false},   // not below the least size
        {Vec(-80, 0), 80.0, true},     // to nothing
        {Vec(0, 50), 80.0, true},      // up by 100 units of width
    };
    int const margin = zone.get_border_size();
    for (Row const& row : rows) {
        zone.set_image_size(80.0);
        lay_out();
        LogRecorder log;
        zone.get_resize_corner()->drag(row.drag);
        EXPECT_DOUBLE_EQ(zone.get_image_size(), row.size) << row.drag[0] << ", " << row.drag[1];
        EXPECT_EQ(node().get_is_dirty(), !row.refused);
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), row.refused ? 1u : 0u) << log.dump();
        lay_out();
        EXPECT_EQ(zone.get_height(), static_cast<int>(row.size * 0.5 + 0.5) + 2 * margin);
    }
    // An image smaller than the least size is not grown by shrinking it.
    zone.set_image_size(10.0);
    zone.get_resize_corner()->drag(Vec(-4, 0));
    EXPECT_DOUBLE_EQ(zone.get_image_size(), 10.0);
}

TEST_F(GuiNodalImageZoneTest, TheCornerIsDrawnWithTheZoneAndPickedInItsOwnColour)
{
    GuiNodalNodeZoneImage& zone = image_zone();
    Button& corner = *zone.get_resize_corner();
    // Two pixels inside the zone's bottom-right corner, in view pixels (y downwards).
    Vec const at = zone.get_world_pos() + Vec(zone.get_width() - 3, -zone.get_height() + 3);
    Vec const image_middle =
        zone.get_world_pos() + Vec(zone.get_border_size() + 20, -zone.get_border_size() - 10);
    draw_view();
    EXPECT_EQ(graph().pixel(at[0], -at[1]), corner.get_border_color());
    EXPECT_EQ(graph().pixel(image_middle[0], -image_middle[1]), Color(255, 0, 0));

    graph().drawing_only = true;
    graph().drawing = [&zone](GuiGlWidgetDc& dc) { zone.draw_select(dc); };
    draw_view();
    Color const pick = graph().pixel(at[0], -at[1]);
    EXPECT_EQ(pick, corner.get_pick_color());
    EXPECT_EQ(graph().get_clickable_node(pick), &corner);
    EXPECT_EQ(graph().pixel(image_middle[0], -image_middle[1]), Color(0, 0, 0));  // only the corner
}

}  // namespace
