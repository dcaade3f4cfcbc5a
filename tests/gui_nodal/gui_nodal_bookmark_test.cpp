// Bookmark buttons: sized by their label, kept at their size and place on screen whatever the
// zoom and the view's position, lighter while highlighted; bad names are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "gui/nodal/gui_nodal_bookmark.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Bookmark = GuiNodalBookmark;
using Color = GuiNodalItem::Color;

class GuiNodalBookmarkTest : public NodalPixelTest {
protected:
    void lay_out(Bookmark& mark) { mark.update_content(graph().get_dc()); }
};

TEST_F(GuiNodalBookmarkTest, TheLabelAndItsMarginsSizeTheButtonAtEveryZoom)
{
    struct Row {
        char const* name;
        bool at_least_width;  // the label is too short to widen the button
    } const rows[] = {{nullptr, true}, {"ab", true}, {"A rather long bookmark name", false}};
    int const least_height = graph().get_font().get_size() + 2 * Bookmark::LABEL_MARGIN_Y;
    for (Row const& row : rows) {
        Bookmark mark(graph(), 0, 10, -10);
        if (row.name) mark.set_name(row.name);
        lay_out(mark);
        int const width =
            row.at_least_width ? Bookmark::MIN_WIDTH : mark.get_label_width() + 2 * Bookmark::LABEL_MARGIN_X;
        EXPECT_EQ(mark.get_width(), width) << (row.name ? row.name : "(nameless)");
        EXPECT_GE(mark.get_height(), std::max(least_height, Bookmark::MIN_HEIGHT));
        int const height = mark.get_height();
        // Screen pixels: zooming changes neither its size nor where it is hit.
        graph().set_zoom_ratio(0.25f);
        mark.set_dirty();
        lay_out(mark);
        EXPECT_EQ(mark.get_width(), width);
        EXPECT_EQ(mark.get_height(), height);
        EXPECT_TRUE(mark.holds(10, -10));
        EXPECT_TRUE(mark.holds(10 + width - 1, -10 - height + 1));
        EXPECT_FALSE(mark.holds(10 + width, -10));
        EXPECT_FALSE(mark.holds(10, -10 - height));
        graph().set_zoom_ratio(1.0f);
    }
}

TEST_F(GuiNodalBookmarkTest, EmptyAndOverlongNamesAreRefused)
{
    Bookmark mark(graph(), 3, 0, 0);
    mark.set_name("kept");
    std::string const longest(Bookmark::MAX_NAME_LENGTH, 'x');
    LogRecorder log;
    mark.set_name("");
    mark.set_name(CoreString((longest + "x").c_str()));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
    EXPECT_EQ(mark.get_name(), CoreString("kept"));
    mark.set_name(CoreString(longest.c_str()));
    EXPECT_EQ(mark.get_name(), CoreString(longest.c_str()));
    EXPECT_EQ(mark.get_id(), 3u);
}

TEST_F(GuiNodalBookmarkTest, ItIsDrawnAtItsPlaceOnScreenInItsColourLighterWhileHighlighted)
{
    Bookmark mark(graph(), 0, 20, -30);
    mark.set_name("mark 1");
    mark.set_color(Color(200, 40, 40));
    graph().drawing_only = true;
    graph().drawing = [&mark](GuiGlWidgetDc& dc) { mark.draw(dc); };
    // Zoomed out and panned away: the button stays where its position puts it.
    graph().set_zoom_ratio(0.5f);
    graph().set_view_pos(GMathVec2<float>(1000.0f, -500.0f));
    draw_view();
    int const w = mark.get_width();
    int const h = mark.get_height();
    int const mid = 30 + h / 2;
    EXPECT_EQ(graph().pixel(20 + 2, mid), Color(200, 40, 40));
    EXPECT_EQ(graph().pixel(20 + w - 3, mid), Color(200, 40, 40));
    EXPECT_EQ(graph().pixel(20 + w + 2, mid), Color(0, 0, 0));
    EXPECT_EQ(graph().pixel(20 + 2, 30 + h + 2), Color(0, 0, 0));
    // The label: light pixels on the dark red, at the font's size.
    int label = 0;
    for (int x = 20; x < 20 + w; ++x)
        for (int y = 30; y < 30 + h; ++y) label += graph().pixel(x, y)[1] > 150;
    EXPECT_GT(label, 10);

    mark.set_is_highlighted(true);
    draw_view();
    Color const light = graph().pixel(20 + 2, mid);
    EXPECT_EQ(light, mark.get_bg_highlight_color());
    EXPECT_GT(light[1], 40);
    mark.set_is_highlighted(false);
    mark.set_is_hidden(true, false);
    draw_view();
    EXPECT_EQ(graph().pixel(20 + 2, mid), Color(0, 0, 0));
}

}  // namespace
