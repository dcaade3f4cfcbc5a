// Minimap drawing of backdrops, notes and subnets: one box in the item's colour, without the
// text or the buttons of its full drawing; nothing for hidden items.
#include <gtest/gtest.h>

#include "gui/nodal/gui_nodal_backdrop.h"
#include "gui/nodal/gui_nodal_note.h"
#include "gui/nodal/gui_nodal_subnet.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"

namespace {

using Color = GuiNodalItem::Color;

class GuiNodalMiniTest : public NodalPixelTest {};

TEST_F(GuiNodalMiniTest, ItemsFillTheirBoxWithTheirColourAndNothingElse)
{
    GuiNodalNote& note = *graph().instantiate_note("a note\nof two lines", 20, -20);
    note.set_geometry(100, 60, true);
    GuiNodalSubnet& subnet = *graph().instantiate_subnet("subnet", 200, -20);
    subnet.set_color(Color(0, 200, 0));
    subnet.set_geometry(100, 60, true);
    GuiNodalBackdrop& outer = *graph().instantiate_backdrop("outer", 20, -120);
    outer.set_color(Color(0, 0, 255));
    outer.set_geometry(GMathVec2<int>(20, -120), 360, 160, true);
    GuiNodalBackdrop& inner = *graph().instantiate_backdrop("inner", 250, -150);
    inner.set_color(Color(255, 0, 0));
    inner.set_geometry(GMathVec2<int>(250, -150), 100, 100, true);
    outer.check_content(inner);
    ASSERT_EQ(inner.get_parent_backdrop(), &outer);
    graph().drawing_only = true;
    graph().drawing = [&](GuiGlWidgetDc& dc) {
        note.draw_mini(dc);
        subnet.draw_mini(dc);
        outer.draw_mini(dc);  // its child with it
    };
    draw_view();
    NodalPictureView const& view = graph();
    // Every pixel of the boxes' rows where draw() writes titles and text is the fill.
    int off_note = 0;
    int off_subnet = 0;
    for (int x = 22; x < 118; ++x)
        for (int y = 22; y < 50; ++y) {
            off_note += view.pixel(x, y) != note.get_bg_color();
            off_subnet += view.pixel(x + 180, y) != Color(0, 200, 0);
        }
    EXPECT_EQ(off_note, 0);
    EXPECT_EQ(off_subnet, 0);
    EXPECT_EQ(view.pixel(160, 50), Color(0, 0, 0));  // between them
    // The backdrop: a faint veil of its colour inside, no title band, and its outline.
    Color const veil = view.pixel(100, 126);
    EXPECT_EQ(veil[0], 0);
    EXPECT_GT(veil[2], 20);
    EXPECT_LT(veil[2], 128);
    EXPECT_EQ(view.pixel(100, 200), veil);
    bool outlined = false;
    for (int x = 18; x <= 22; ++x) outlined = outlined || view.pixel(x, 200) == Color(0, 0, 255);
    EXPECT_TRUE(outlined);
    EXPECT_GT(view.pixel(300, 200)[0], 20);  // the inner backdrop's veil over the outer's

    for (GuiNodalNodeBase* item : std::initializer_list<GuiNodalNodeBase*>{&note, &subnet, &outer})
        item->set_is_hidden(true, false);
    draw_view();
    for (GMathVec2<int> const& at :
         {GMathVec2<int>(60, 40), GMathVec2<int>(250, 40), GMathVec2<int>(100, 200)})
        EXPECT_EQ(view.pixel(at[0], at[1]), Color(0, 0, 0)) << at[0] << ", " << at[1];
}

}  // namespace
