// Scrollbars: slider size and travel, offset conversions, trough paging, dragging, the wheel,
// resizing, silent changes while hidden, hover and the drawn colours.
#include <gtest/gtest.h>

#include <limits>

#include "gui/controls/gui_scrollbar.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_synthetic_events.h"

namespace {

class ScrollbarTest : public ControlsTest {
protected:
    // Shown and listened to: vertical at (20, 10), 15 × `length`; horizontal at (20, 170),
    // `length` × 15.
    GuiScrollbar& make_bar(unsigned int range, int length = 150, bool horizontal = false)
    {
        GuiScrollbar* bar = horizontal ? new GuiScrollbar(window(), 20, 170, length, 15)
                                       : new GuiScrollbar(window(), 20, 10, 15, length);
        if (horizontal) bar->set_orientation(GuiScrollbar::ORIENTATION_HORIZONTAL);
        bar->set_range(range);
        shown(bar);
        m_log.listen(*bar, {&EVT_ID_SCROLLBAR_VALUE_CHANGED});
        return *bar;
    }
    int changes() const { return m_log.count(EVT_ID_SCROLLBAR_VALUE_CHANGED); }
};

}  // namespace

TEST_F(ScrollbarTest, SliderSizeFollowsTheVisibleShareWithinItsLimits)
{
    struct Row {
        unsigned int range;
        int length, slider, travel;
    };
    Row const rows[] = {
        {600, 150, 37, 113},     // trunc(150 / 600 × 150)
        {1000000, 150, 12, 138}, // a very long range keeps a slider that can be grabbed
        {600, 8, 8, 0},          // a bar shorter than the minimum slider: the slider is the bar
        {600, 0, 0, 0},          // no length never divides by zero
        {600, -5, 0, 0},
    };
    GuiScrollbar& bar = make_bar(0);
    for (Row const& row : rows) {
        bar.set_range(row.range);
        bar.resize(20, 10, 15, row.length);
        EXPECT_EQ(bar.get_slider_button_size(), row.slider) << row.range << " " << row.length;
        EXPECT_EQ(bar.get_travel(), row.travel) << row.range << " " << row.length;
        bar.set_value(1000);
        EXPECT_EQ(bar.get_value(), row.travel) << row.range << " " << row.length;
    }
    bar.set_wheel_factor(10);
    EXPECT_EQ(bar.get_wheel_factor(), 0u) << "nothing to scroll";
}

TEST_F(ScrollbarTest, ContentThatFitsGivesAFullSliderAndNoMovement)
{
    for (unsigned int range : {0u, 100u, 150u}) {
        SCOPED_TRACE(range);
        GuiScrollbar& bar = make_bar(range);
        EXPECT_EQ(bar.get_slider_button_size(), 150);
        EXPECT_EQ(bar.get_travel(), 0);
        bar.set_value(40);
        EXPECT_EQ(bar.get_value(), 0);
        bar.set_offset(40);
        EXPECT_EQ(bar.get_offset(), 0);
        click(bar, 27, 150);  // on the slider, which fills the bar
        throttled_drag(bar, 27, 190);
        mouse_up(bar, 27, 190);
        wheel(bar, 0, 3);
        EXPECT_EQ(bar.get_value(), 0);
        EXPECT_EQ(bar.get_offset(), 0);
        bar.hide();
    }
}

TEST_F(ScrollbarTest, OffsetAndValueConvertAtBothEndsAndBetween)
{
    GuiScrollbar& bar = make_bar(600);  // 450 hidden pixels over a travel of 113
    bar.set_offset(450);
    EXPECT_EQ(bar.get_value(), 113);
    EXPECT_EQ(bar.get_offset(), 450);
    bar.set_offset(100000);
    EXPECT_EQ(bar.get_value(), 113) << "beyond the end stops at the end";
    bar.set_offset(0);
    EXPECT_EQ(bar.get_value(), 0);
    EXPECT_EQ(bar.get_offset(), 0);
    bar.set_offset(-50);
    EXPECT_EQ(bar.get_value(), 0);

    // Half a slider pixel rounds up, less stays at the start.
    bar.set_offset(1);  // 0.25 pixel
    EXPECT_EQ(bar.get_value(), 0);
    bar.set_offset(2);  // 0.502 pixel
    EXPECT_EQ(bar.get_value(), 1);
    EXPECT_EQ(bar.get_offset(), 4);  // trunc(450 / 113 + 0.5)

    bar.set_value(1000);
    EXPECT_EQ(bar.get_value(), 113);
    EXPECT_EQ(bar.get_offset(), 450);

    // A new range keeps the content offset.
    bar.set_offset(300);
    int const before = bar.get_offset();
    bar.set_range(1200);
    EXPECT_NEAR(bar.get_offset(), before, 8);  // one slider pixel is about 8 content pixels now
    bar.set_range(100);
    EXPECT_EQ(bar.get_offset(), 0) << "content that fits is shown from its start";

    // The longest range: offsets past the largest int stop there.
    bar.set_range(4000000000u);
    bar.set_value(1000);
    EXPECT_EQ(bar.get_value(), 138);
    EXPECT_EQ(bar.get_offset(), std::numeric_limits<int>::max());
}

TEST_F(ScrollbarTest, TroughPressesPageByOneSliderSizeAndStopAtTheEnds)
{
    GuiScrollbar& bar = make_bar(600);  // slider 37, travel 113
    // The last page of each way stops at the end; the slider's edge pixel is the slider's.
    struct Row {
        int y, value;
    };
    Row const rows[] = {{140, 37}, {140, 74}, {159, 111}, {159, 113}, {12, 76}, {12, 39}, {11, 2}, {11, 0}};
    for (Row const& row : rows) {
        click(bar, 27, row.y);
        EXPECT_EQ(bar.get_value(), row.value) << row.y;
    }
    EXPECT_EQ(changes(), 8);

    GuiScrollbar& across = make_bar(800, 200, true);  // slider 50, travel 150
    click(across, 210, 177);
    EXPECT_EQ(across.get_value(), 50) << "along a horizontal bar the pointer's x counts";
}

TEST_F(ScrollbarTest, DraggingFollowsThePointerAndPinsPastTheEnds)
{
    GuiScrollbar& bar = make_bar(600);  // bar from y 10 to 160, slider 37, travel 113
    bar.set_value(50);                  // slider from y 60 to 97
    m_log.clear();
    mouse_down(bar, 27, 70);
    EXPECT_TRUE(bar.is_dragging());
    EXPECT_EQ(bar.get_value(), 50) << "grabbing the slider does not move it";
    // Past either end of the bar, and beside it, the slider stays within its travel.
    struct Row {
        int x, y, value;
    };
    Row const rows[] = {{27, 90, 70}, {27, 40, 20}, {27, 10, 0}, {27, -30, 0}, {27, 161, 113}, {300, 150, 113}};
    for (Row const& row : rows) {
        throttled_drag(bar, row.x, row.y);
        EXPECT_EQ(bar.get_value(), row.value) << row.x << ", " << row.y;
    }
    EXPECT_EQ(changes(), 6);
    mouse_up(bar, 300, 150);

    // A press in the trough pages but does not start a drag.
    mouse_down(bar, 27, 20);
    throttled_drag(bar, 27, 150);
    EXPECT_EQ(bar.get_value(), 76);
    mouse_up(bar, 27, 150);

    // Along a horizontal bar the pointer's x counts: slider 50, travel 150.
    GuiScrollbar& across = make_bar(800, 200, true);
    mouse_down(across, 30, 177);
    throttled_drag(across, 90, 300);
    EXPECT_EQ(across.get_value(), 60);
    mouse_up(across, 90, 300);
}

TEST_F(ScrollbarTest, WheelScrollsAboutEightyContentPixelsPerStep)
{
    GuiScrollbar& bar = make_bar(600);
    EXPECT_EQ(wheel(bar, 0, 1), 1);
    EXPECT_EQ(bar.get_value(), 27);  // ceil(80 / (450 / 150))
    wheel(bar, 0, 4);
    EXPECT_EQ(bar.get_value(), 113);
    wheel(bar, 0, -10);
    EXPECT_EQ(bar.get_value(), 0);
    EXPECT_EQ(changes(), 3);

    bar.set_wheel_factor(15);
    wheel(bar, 0, 1);
    EXPECT_EQ(bar.get_value(), 5);
}

TEST_F(ScrollbarTest, ResizingKeepsTheContentOffset)
{
    GuiScrollbar& bar = make_bar(500, 100);  // slider 20, travel 80, 400 hidden
    bar.set_offset(200);
    bar.resize(20, 10, 15, 200);  // slider 80, travel 120, 300 hidden
    EXPECT_EQ(bar.get_offset(), 200);
    EXPECT_EQ(bar.get_value(), 80);
    bar.resize(20, 10, 15, 450);  // only 50 hidden: the offset stops at the end
    EXPECT_EQ(bar.get_offset(), 50);
}

TEST_F(ScrollbarTest, HiddenScrollbarChangesSilently)
{
    GuiScrollbar* bar = new GuiScrollbar(window(), 20, 10, 15, 150);
    bar->set_range(600);
    m_log.listen(*bar, {&EVT_ID_SCROLLBAR_VALUE_CHANGED});
    bar->set_value(30);
    bar->set_offset(450);
    EXPECT_EQ(bar->get_value(), 113);
    bar->resize(20, 10, 15, 300);
    EXPECT_EQ(changes(), 0);

    shown(bar);
    bar->set_value(10);
    bar->set_offset(0);
    EXPECT_EQ(changes(), 2);
}

TEST_F(ScrollbarTest, HoverFollowsTheSliderAndDisabledBarIgnoresThePointer)
{
    GuiScrollbar& bar = make_bar(600);
    mouse_move(bar, 27, 30);
    EXPECT_TRUE(bar.is_hovered());
    mouse_move(bar, 27, 47);  // the slider's far edge is still on it
    EXPECT_TRUE(bar.is_hovered());
    mouse_move(bar, 27, 100);
    EXPECT_FALSE(bar.is_hovered());

    bar.disable();
    click(bar, 27, 140);
    mouse_down(bar, 27, 20);
    throttled_drag(bar, 27, 100);
    mouse_up(bar, 27, 100);
    wheel(bar, 0, 2);
    EXPECT_EQ(bar.get_value(), 0);
    EXPECT_EQ(changes(), 0);
}

TEST_F(ScrollbarTest, DrawsTroughAndSliderInSchemeColours)
{
    GuiScrollbar& bar = make_bar(600);
    bar.set_value(50);  // slider from y 60 to 97
    pump_events(app());
    GMathVec3<unsigned char> const trough =
        bar.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_EDGE_SHADOW);
    GMathVec3<unsigned char> const face = bar.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND);
    ASSERT_NE(trough, face);
    EXPECT_EQ(pixel_at(window(), 27, 30), trough);
    EXPECT_EQ(pixel_at(window(), 27, 80), face);
}
