// Sliders: pointer-to-value mapping and its ends, whole-number rounding, values outside the
// range, the changing/changed events of a drag, the wheel, and the drawn knob.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>


#include "gui/controls/gui_slider.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_synthetic_events.h"

namespace {

class SliderTest : public ControlsTest {
protected:
    // At (20, 40), 107 × 18: the track runs from x 23 to 123, 100 pixels; range 0 .. 10.
    GuiSlider& make_slider(GuiSlider::Type type)
    {
        GuiSlider* slider = new GuiSlider(window(), 20, 40, 107, 18, type);
        slider->set_max_value(10.0);
        shown(slider);
        m_log.listen(*slider, {&EVT_ID_SLIDER_VALUE_CHANGING, &EVT_ID_SLIDER_VALUE_CHANGED});
        return *slider;
    }
    int changing() const { return m_log.count(EVT_ID_SLIDER_VALUE_CHANGING); }
    int changed() const { return m_log.count(EVT_ID_SLIDER_VALUE_CHANGED); }
};

}  // namespace

TEST_F(SliderTest, PressesMapThePointerAlongTheTrack)
{
    GuiSlider& slider = make_slider(GuiSlider::TYPE_REAL);
    // Left and right of the track give its ends.
    struct Row {
        int x;
        double value;
    };
    Row const rows[] = {{22, 0.0}, {124, 10.0}, {21, 0.0}, {73, 5.0}, {78, 5.5}, {123, 10.0}};
    for (Row const& row : rows) {
        click(slider, row.x, 49);
        EXPECT_DOUBLE_EQ(slider.get_value(), row.value) << row.x;
    }
    // An empty range or a track without inside never divides by zero.
    slider.set_min_value(10.0);
    click(slider, 60, 49);
    EXPECT_EQ(slider.get_value(), 10.0);
    slider.resize(20, 40, 7, 18);
    EXPECT_EQ(slider.get_value_at(23), 10.0);
    EXPECT_EQ(slider.get_knob_center(), 22);
}

TEST_F(SliderTest, IntegerSliderHoldsWholeNumbersRoundedAwayFromZero)
{
    GuiSlider& slider = make_slider(GuiSlider::TYPE_INTEGER);
    click(slider, 77, 49);  // 5.4
    EXPECT_EQ(slider.get_value(), 5.0);
    click(slider, 78, 49);  // 5.5
    EXPECT_EQ(slider.get_value(), 6.0);

    slider.set_min_value(-10.4);
    slider.set_max_value(0.0);
    EXPECT_EQ(slider.get_min_value(), -10.0);
    click(slider, 28, 49);  // -9.5
    EXPECT_EQ(slider.get_value(), -10.0) << "halves round away from zero";
    slider.set_value(2.5);
    EXPECT_EQ(slider.get_value(), 3.0) << "set outside the range, still rounded";
}

TEST_F(SliderTest, ValueOutsideTheRangeStaysAndPutsTheKnobAtTheNearerEnd)
{
    GuiSlider& slider = make_slider(GuiSlider::TYPE_REAL);
    struct Row {
        double value;
        int knob;
    };
    Row const rows[] = {{5.0, 72}, {0.0, 22}, {10.0, 122}, {-4.0, 24}, {25.0, 123}};  // 72: trunc(0.5 × 100 + 22)
    for (Row const& row : rows) {
        slider.set_value(row.value);
        EXPECT_EQ(slider.get_value(), row.value);
        EXPECT_EQ(slider.get_knob_center(), row.knob) << row.value;
    }
    EXPECT_EQ(changing() + changed(), 0) << "set_value raises nothing";
}

TEST_F(SliderTest, DragRaisesChangingEventsAndOneChangedOnRelease)
{
    GuiSlider& slider = make_slider(GuiSlider::TYPE_REAL);
    mouse_down(slider, 33, 49);
    EXPECT_DOUBLE_EQ(slider.get_value(), 1.0);
    throttled_drag(slider, 53, 49);
    throttled_drag(slider, 53, 80);  // same x: no change
    throttled_drag(slider, 200, 49);
    EXPECT_EQ(slider.get_value(), 10.0);
    EXPECT_EQ(changing(), 3);
    EXPECT_EQ(changed(), 0);
    mouse_up(slider, 200, 49);
    EXPECT_EQ(changed(), 1);

    // A drag that comes back to where it started changes nothing in the end.
    m_log.clear();
    slider.set_value(5.0);
    mouse_down(slider, 73, 49);
    throttled_drag(slider, 100, 49);
    throttled_drag(slider, 73, 49);
    EXPECT_EQ(changing(), 2);
    mouse_up(slider, 73, 49);
    EXPECT_EQ(changed(), 0);
    EXPECT_DOUBLE_EQ(slider.get_value(), 5.0);

    slider.disable();
    click(slider, 100, 49);
    EXPECT_DOUBLE_EQ(slider.get_value(), 5.0);
}

TEST_F(SliderTest, WheelStepsATenthOfTheRangeWithinIt)
{
    GuiSlider& slider = make_slider(GuiSlider::TYPE_REAL);
    slider.set_value(5.0);
    EXPECT_EQ(wheel(slider, 0, 2), 0) << "a disabled wheel goes on to the parent";
    EXPECT_EQ(slider.get_value(), 5.0);

    slider.enable_used_wheel(true);
    EXPECT_EQ(wheel(slider, 0, 2), 1);
    EXPECT_DOUBLE_EQ(slider.get_value(), 7.0);
    EXPECT_EQ(changed(), 1);
    wheel(slider, 0, 5);
    EXPECT_EQ(slider.get_value(), 10.0) << "clamped to the range";
    EXPECT_EQ(wheel(slider, 0, 1), 1);
    EXPECT_EQ(changed(), 2) << "no event at the end";
    EXPECT_EQ(changing(), 0);
    EXPECT_EQ(send_event(slider, FL_MOUSEWHEEL, 300, 150), 0) << "the pointer elsewhere: not for this slider";

    // Whole numbers: a tenth of a range of 3 rounds back to the same value.
    GuiSlider* steps = new GuiSlider(window(), 20, 80, 107, 18, GuiSlider::TYPE_INTEGER);
    steps->set_max_value(3.0);
    steps->set_value(1.0);
    steps->enable_used_wheel(true);
    shown(steps);
    wheel(*steps, 0, 1);
    EXPECT_EQ(steps->get_value(), 1.0);
    wheel(*steps, 0, 2);
    EXPECT_EQ(steps->get_value(), 2.0);
}

TEST_F(SliderTest, DrawsGrooveAndKnobInSchemeColours)
{
    GuiSlider& slider = make_slider(GuiSlider::TYPE_REAL);
    slider.set_value(5.0);  // knob centre 72, groove centre row 49
    pump_events(app());
    GMathVec3<unsigned char> const groove =
        slider.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND_LIGHT);
    GMathVec3<unsigned char> const knob = slider.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_EDGE_LIGHT);
    ASSERT_NE(knob, groove);
    EXPECT_EQ(pixel_at(window(), 40, 49), groove);
    EXPECT_EQ(pixel_at(window(), 73, 46), knob);
}
