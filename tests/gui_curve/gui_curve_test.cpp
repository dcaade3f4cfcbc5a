// Function-curve editors: the pixel mapping, keeping moved keys apart, extrapolation changes
// by checked channel, bad input refused, and editing with the mouse and keys (select, drag,
// add on a curve, remove, area selection) with the events and payloads each gesture reports,
// including link mode.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <cmath>
#include <functional>
#include <limits>

#include "gui/controls/gui_check_button.h"
#include "gui/controls/gui_push_button.h"
#include "gui/curve/gui_curve.h"
#include "gui/fields/gui_number_field.h"
#include "gui/menus/gui_list_button.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/log_recorder.h"

namespace {

class CurveTest : public GuiTest {
protected:
    GuiCurve& make_curve(Gui::ColorDepth depth = Gui::COLOR_DEPTH_RGB)
    {
        GuiWindow& window = make_window(700, 400);
        GuiCurve* curve = new GuiCurve(window, 10, 10, 660, 360, depth);
        curve->show();
        pump_events(app());
        m_log.listen(*curve, {&EVT_ID_CURVE_KEY_VALUE_CHANGING, &EVT_ID_CURVE_KEY_VALUE_CHANGED,
                              &EVT_ID_CURVE_KEY_POSITION_CHANGING, &EVT_ID_CURVE_KEY_POSITION_CHANGED,
                              &EVT_ID_CURVE_KEY_TYPE_CHANGED, &EVT_ID_CURVE_EXTRAPOLATION_CHANGED,
                              &EVT_ID_CURVE_KEY_LINKING, &EVT_ID_CURVE_KEY_LINKED});
        return *curve;
    }
    // One channel with keys at (0, 0), (1, 1) and (2, 0), the view fitted around them.
    void set_three_keys(GuiCurve& curve, unsigned int channel = 0)
    {
        FCurve shape;
        shape.add_key(0.0, 0.0, FCurveKey::TYPE_LINEAR);
        shape.add_key(1.0, 1.0, FCurveKey::TYPE_LINEAR);
        shape.add_key(2.0, 0.0, FCurveKey::TYPE_LINEAR);
        CoreArray<FCurve const*> curves(curve.get_channel_count(), nullptr);
        for (unsigned int c = 0; c < curve.get_channel_count(); ++c) curves[c] = c == channel ? &shape : &m_flat;
        ASSERT_TRUE(curve.set_curves(curves));
        curve.set_visible_bbox(-0.5, -0.5, 2.5, 1.5);
        pump_events(app());
    }
    FCurveKeyId key_id(GuiCurve& curve, unsigned int channel, unsigned int index)
    {
        return curve.get_curve(channel).get_key_id(index);
    }
    GMathVec2<int> key_pixel(GuiCurve& curve, unsigned int channel, unsigned int index)
    {
        FCurveKey const& key = curve.get_curve(channel).get_keys()[index];
        return GMathVec2<int>(curve.time_to_pixel(key.time), curve.value_to_pixel_y(key.value));
    }

    EventLog m_log;
    FCurve m_flat;  // no keys
};

}  // namespace

TEST(CurveMapping, PixelsAndValuesRoundTrip)
{
    struct Row {
        double min, max;
        int low, high;
        double margin;
    };
    // x axes (growing right) and y axes (high pixel above low: values grow upwards).
    Row const rows[] = {{0.0, 1.0, 40, 655, 10.0}, {-3.5, 12.0, 100, 300, 0.0}, {0.0, 1.0, 350, 28, 10.0},
                        {-1e6, 1e6, 0, 1000, 5.0}};
    for (Row const& row : rows) {
        double const sign = row.high >= row.low ? 1.0 : -1.0;
        EXPECT_EQ(GuiChannelCurves::value_to_pixel(row.min, row.min, row.max, row.low, row.high, row.margin),
                  static_cast<int>(row.low + sign * row.margin));
        EXPECT_EQ(GuiChannelCurves::value_to_pixel(row.max, row.min, row.max, row.low, row.high, row.margin),
                  static_cast<int>(row.high - sign * row.margin));
        double const one_pixel = (row.max - row.min) / (std::abs(row.high - row.low) - 2.0 * row.margin);
        for (double f : {0.0, 0.13, 0.5, 0.77, 1.0}) {
            double const value = row.min + f * (row.max - row.min);
            int const pixel = GuiChannelCurves::value_to_pixel(value, row.min, row.max, row.low, row.high, row.margin);
            double const back = GuiChannelCurves::pixel_to_value(pixel, row.min, row.max, row.low, row.high, row.margin);
            EXPECT_NEAR(back, value, one_pixel) << row.low << " " << row.high << " at " << f;
        }
    }
    // An empty range puts everything at the margin instead of dividing by 0.
    EXPECT_EQ(GuiChannelCurves::value_to_pixel(5.0, 1.0, 1.0, 10, 110, 4.0), 14);
}

TEST_F(CurveTest, CurveAreaFollowsChannelCountAndMapsWithItsMargin)
{
    GuiCurve& rgb = make_curve();
    GuiCurve* single = new GuiCurve(*rgb.get_parent(), 10, 10, 660, 360, Gui::COLOR_DEPTH_L);
    // The channel buttons take a row above the curves of several channels.
    EXPECT_EQ(rgb.get_pos_curve_up() - single->get_pos_curve_up(), 18);
    EXPECT_EQ(rgb.get_pos_y_remove(), rgb.get_pos_curve_up() + 9);
    rgb.set_visible_bbox(2.0, -1.0, 4.0, 3.0);
    EXPECT_EQ(rgb.time_to_pixel(2.0), rgb.get_pos_curve_left() + 10);
    EXPECT_EQ(rgb.time_to_pixel(4.0), rgb.get_pos_curve_right() - 10);
    EXPECT_EQ(rgb.value_to_pixel_y(-1.0), rgb.get_pos_curve_down() - 10);
    EXPECT_EQ(rgb.value_to_pixel_y(3.0), rgb.get_pos_curve_up() + 10);
    EXPECT_NEAR(rgb.pixel_to_time(rgb.time_to_pixel(3.0)), 3.0, 0.01);
    EXPECT_NEAR(rgb.pixel_to_value_y(rgb.value_to_pixel_y(1.0)), 1.0, 0.02);
}

TEST_F(CurveTest, MovedKeyStaysBesideTheKeyItLandsOnFromItsSide)
{
    GuiCurve& curve = make_curve(Gui::COLOR_DEPTH_L);
    struct Row {
        double from, to, expected;
    };
    // Keys at 0.5 and 0.5 + 2e-8 stay; a third key moves.
    double const a = 0.5, b = 0.5 + 2e-8;
    Row const rows[] = {
        {0.9, a, b + 2e-8},         // from above onto a: beside a, then beside b, still above
        {0.1, a, a - 2e-8},         // from below: below a
        {0.9, a - 5e-9, b + 2e-8},  // close is as good as equal
        {0.1, b, a - 2e-8},         // below b is a, so below a
        {0.9, 0.7, 0.7},            // far from every key: where asked
    };
    for (Row const& row : rows) {
        FCurve start;
        start.add_key(a, 0.0);
        start.add_key(b, 0.0);
        FCurveKeyId const moving = start.add_key(row.from, 1.0);
        ASSERT_TRUE(curve.set_curves(CoreArray<FCurve const*>({&start})));
        ASSERT_TRUE(curve.set_key_time(0, moving, row.to));
        EXPECT_DOUBLE_EQ(curve.get_key_time(0, moving), row.expected) << row.from << " -> " << row.to;
        EXPECT_EQ(curve.get_key_count(0), 3u);
    }
}

TEST_F(CurveTest, ExtrapolationChangeReportsTheCheckedChannels)
{
    GuiCurve& curve = make_curve();
    curve.set_channel_editable(2, false);
    EXPECT_FALSE(curve.get_edit_all_button()->get_value());
    CoreVector<unsigned int> const* data = nullptr;
    EventObject::connect(curve, EVT_ID_CURVE_EXTRAPOLATION_CHANGED, [&](EventObject::EventInfo const& info) {
        data = static_cast<CoreVector<unsigned int> const*>(info.get_event_data());
    });
    // The list button's choice goes through the same call.
    curve.get_post_behavior_button().set_selected_index(FCurve::BEHAVIOR_CYCLE);
    curve.get_post_behavior_button().raise_event(EVT_ID_LIST_BUTTON_SELECTION_CHANGED);
    CoreVector<unsigned int> const expected({1, 1, 0, FCurve::BEHAVIOR_CYCLE, 2});
    EXPECT_EQ(curve.get_current_extrapolation_change(), expected);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(*data, expected);
    EXPECT_EQ(curve.get_curve(0).get_post_behavior(), FCurve::BEHAVIOR_CYCLE);
    EXPECT_EQ(curve.get_curve(1).get_post_behavior(), FCurve::BEHAVIOR_CYCLE);
    EXPECT_EQ(curve.get_curve(2).get_post_behavior(), FCurve::BEHAVIOR_CONSTANT);

    curve.set_all_channels_editable(true);
    ASSERT_TRUE(curve.set_extrapolation(true, FCurve::BEHAVIOR_LINEAR));
    EXPECT_EQ(curve.get_current_extrapolation_change(),
              CoreVector<unsigned int>({1, 1, 1, FCurve::BEHAVIOR_LINEAR, 1}));
    EXPECT_EQ(curve.get_pre_behavior_button().get_selected_index(), FCurve::BEHAVIOR_LINEAR);
    EXPECT_EQ(m_log.count(EVT_ID_CURVE_EXTRAPOLATION_CHANGED), 2);
}

TEST_F(CurveTest, NumbersThatAreNotFiniteAreRefusedWithOneWarning)
{
    GuiCurve& curve = make_curve(Gui::COLOR_DEPTH_L);
    FCurve const before = curve.get_curve(0);
    FCurveKeyId const first = key_id(curve, 0, 0);
    double const nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct Row {
        char const* what;
        std::function<void()> edit;
    };
    Row const rows[] = {
        {"add at NaN", [&] { EXPECT_FALSE(curve.add_key(0, nan, FCurveKey::TYPE_LINEAR, 0.0).is_valid()); }},
        {"add a NaN value", [&] { EXPECT_FALSE(curve.add_key(0, 0.5, FCurveKey::TYPE_LINEAR, nan).is_valid()); }},
        {"move to infinity", [&] { EXPECT_FALSE(curve.set_key_time(0, first, inf)); }},
        {"set NaN", [&] { EXPECT_FALSE(curve.set_key_value(0, first, nan)); }},
    };
    for (Row const& row : rows) {
        LogRecorder log;
        row.edit();
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << row.what << "\n" << log.dump();
        EXPECT_TRUE(curve.get_curve(0) == before) << row.what;
        EXPECT_EQ(curve.get_key_states(0).get_count(), 2u) << row.what;
    }
    LogRecorder log;
    curve.remove_key(0, FCurveKeyId(77));
    EXPECT_EQ(log.count(), 0u) << log.dump();
    EXPECT_TRUE(curve.get_curve(0) == before);
    EXPECT_TRUE(m_log.get().empty());
}

TEST_F(CurveTest, PressOnAKeySelectsItAndDragMovesItWithOneEndEvent)
{
    GuiCurve& curve = make_curve(Gui::COLOR_DEPTH_L);
    set_three_keys(curve);
    GMathVec2<int> const start = key_pixel(curve, 0, 1);
    FCurveKeyId const id = key_id(curve, 0, 1);
    mouse_down(curve, start[0], start[1]);
    EXPECT_TRUE(curve.is_key_selected(0, id));
    EXPECT_FALSE(curve.is_key_selected(0, key_id(curve, 0, 0)));
    EXPECT_NEAR(curve.get_input_field().get_value(), 1.0, 1e-9);
    EXPECT_NEAR(curve.get_output_field().get_value(), 1.0, 1e-9);
    throttled_drag(curve, start[0] + 20, start[1]);
    throttled_drag(curve, start[0] + 40, start[1] + 30);
    mouse_up(curve, start[0] + 40, start[1] + 30);

    // Moved by the mouse offset from where the press was.
    EXPECT_NEAR(curve.get_key_time(0, id), 1.0 + curve.pixel_to_time(start[0] + 40) - curve.pixel_to_time(start[0]),
                1e-9);
    EXPECT_LT(curve.get_key_value(0, id), 1.0);
    EXPECT_GE(m_log.count(EVT_ID_CURVE_KEY_POSITION_CHANGING), 1);
    EXPECT_EQ(m_log.count(EVT_ID_CURVE_KEY_VALUE_CHANGING), 1);
    EXPECT_EQ(m_log.count(EVT_ID_CURVE_KEY_POSITION_CHANGED), 1);
    EXPECT_EQ(m_log.count(EVT_ID_CURVE_KEY_VALUE_CHANGED), 1);
    EXPECT_EQ(m_log.get().back(), "EVT_ID_CURVE_KEY_VALUE_CHANGED");
    EXPECT_EQ(curve.get_current_key_change(), CoreVector<GuiCurveEventInfo>({{0, id}}));
}

TEST_F(CurveTest, ConstraintsKeepDraggedKeysInsideTheView)
{
    GuiCurve& curve = make_curve(Gui::COLOR_DEPTH_L);
    set_three_keys(curve);
    curve.set_contraint_on_min_values(true);
    curve.set_contraint_on_max_values(true);
    GMathVec2<int> const start = key_pixel(curve, 0, 1);
    FCurveKeyId const id = key_id(curve, 0, 1);
    mouse_down(curve, start[0], start[1]);
    throttled_drag(curve, curve.get_pos_curve_right() + 200, curve.get_pos_curve_up() - 200);
    mouse_up(curve, curve.get_pos_curve_right() + 200, curve.get_pos_curve_up() - 200);
    EXPECT_DOUBLE_EQ(curve.get_key_time(0, id), curve.get_xmin() + curve.get_xrange());
    EXPECT_DOUBLE_EQ(curve.get_key_value(0, id), curve.get_ymin() + curve.get_yrange());
}

TEST_F(CurveTest, ClickOnACurveAddsTheCurvesValueThere)
{
    GuiCurve& curve = make_curve();
    set_three_keys(curve, 1);
    GuiChannelCurves::set_default_key_type(FCurveKey::TYPE_CONSTANT);
    int const x = curve.time_to_pixel(0.5);
    int const y = curve.value_to_pixel_y(curve.get_curve(1).eval(curve.pixel_to_time(x)));
    click(curve, x, y);
    GuiChannelCurves::set_default_key_type(FCurveKey::TYPE_SMOOTH);

    ASSERT_EQ(curve.get_key_count(1), 4u);
    FCurveKeyId const added = key_id(curve, 1, 1);
    EXPECT_NEAR(curve.get_key_time(1, added), curve.pixel_to_time(x), 1e-9);
    EXPECT_NEAR(curve.get_key_value(1, added), curve.pixel_to_time(x), 1e-9);  // the ramp from 0 to 1
    EXPECT_EQ(curve.get_key_type(1, added), FCurveKey::TYPE_CONSTANT);
    EXPECT_TRUE(curve.is_key_selected(1, added));
    EXPECT_EQ(curve.get_current_key_added(), CoreVector<GuiCurveEventInfo>({{1, added}}));
    EXPECT_EQ(m_log.get(), Names({"EVT_ID_CURVE_KEY_VALUE_CHANGED"}));
    // The empty channels are flat at 0 and have no keys to hit.
    EXPECT_EQ(curve.get_key_count(0), 0u);
}

TEST_F(CurveTest, EmptyCurveTakesAKeyFromAClickOnItsLine)
{
    GuiCurve& curve = make_curve(Gui::COLOR_DEPTH_L);
    FCurve empty;
    ASSERT_TRUE(curve.set_curves(CoreArray<FCurve const*>({&empty})));
    curve.fit_zoom();  // no keys: the default view
    EXPECT_EQ(curve.get_xrange(), 1.0);
    pump_events(app());
    click(curve, curve.time_to_pixel(0.25), curve.value_to_pixel_y(0.0));
    ASSERT_EQ(curve.get_key_count(0), 1u);
    EXPECT_NEAR(curve.get_key_value(0, key_id(curve, 0, 0)), 0.0, 1e-12);
}

TEST_F(CurveTest, DeleteRemovesSelectedKeysButNeverTheLast)
{
    GuiCurve& curve = make_curve(Gui::COLOR_DEPTH_L);
    set_three_keys(curve);
    curve.selection_all_key_in_area(0.5, -1.0, 3.0, 2.0);
    FCurveKeyId const second = key_id(curve, 0, 1), third = key_id(curve, 0, 2);
    curve.set_focus();
    key_down(curve, FL_Delete);
    EXPECT_EQ(curve.get_key_count(0), 1u);
    EXPECT_EQ(curve.get_current_key_removed(), CoreVector<GuiCurveEventInfo>({{0, second}, {0, third}}));
    EXPECT_EQ(m_log.get(), Names({"EVT_ID_CURVE_KEY_VALUE_CHANGED"}));

    curve.selection_all_key_in_area(-1.0, -1.0, 3.0, 2.0);
    key_down(curve, FL_Delete);
    EXPECT_EQ(curve.get_key_count(0), 1u);
    EXPECT_EQ(m_log.get().size(), 1u);
    EXPECT_EQ(curve.get_key_states(0).get_count(), 1u);
}

TEST_F(CurveTest, RemoveHandleRemovesItsKeyUnlessItIsTheOnlyOne)
{
    GuiCurve& curve = make_curve(Gui::COLOR_DEPTH_L);
    set_three_keys(curve);
    FCurveKeyId const middle = key_id(curve, 0, 1);
    click(curve, key_pixel(curve, 0, 1)[0], curve.get_pos_y_remove());
    EXPECT_EQ(curve.get_curve(0).get_key_index(middle), -1);
    EXPECT_EQ(curve.get_current_key_removed(), CoreVector<GuiCurveEventInfo>({{0, middle}}));
    click(curve, key_pixel(curve, 0, 0)[0], curve.get_pos_y_remove());
    ASSERT_EQ(curve.get_key_count(0), 1u);
    click(curve, key_pixel(curve, 0, 0)[0], curve.get_pos_y_remove());
    EXPECT_EQ(curve.get_key_count(0), 1u);
}

TEST_F(CurveTest, DragOverEmptySpaceSelectsTheKeysInside)
{
    GuiCurve& curve = make_curve(Gui::COLOR_DEPTH_L);
    set_three_keys(curve);
    GMathVec2<int> const first = key_pixel(curve, 0, 0), second = key_pixel(curve, 0, 1);
    // From below-left of the first key to above-right of the second, starting off the curve.
    int const x0 = first[0] - 15, y0 = curve.value_to_pixel_y(-0.4);
    mouse_down(curve, x0, y0);
    throttled_drag(curve, second[0] + 10, second[1] - 10);
    mouse_up(curve, second[0] + 10, second[1] - 10);
    EXPECT_TRUE(curve.is_key_selected(0, key_id(curve, 0, 0)));
    EXPECT_TRUE(curve.is_key_selected(0, key_id(curve, 0, 1)));
    EXPECT_FALSE(curve.is_key_selected(0, key_id(curve, 0, 2)));
    EXPECT_TRUE(m_log.get().empty());
}

TEST_F(CurveTest, KeyTypeShowsMixedAndSetsEverySelectedKey)
{
    GuiCurve& curve = make_curve(Gui::COLOR_DEPTH_L);
    set_three_keys(curve);
    curve.set_key_type(0, key_id(curve, 0, 2), FCurveKey::TYPE_BEZIER);
    GuiListButton& types = curve.get_key_type_button();
    EXPECT_FALSE(types.is_enabled());
    curve.select_key(0, key_id(curve, 0, 0), true);
    EXPECT_EQ(types.get_selected_index(), FCurveKey::TYPE_LINEAR);
    curve.select_key(0, key_id(curve, 0, 2), true);
    EXPECT_EQ(types.get_selected_index(), -1);
    EXPECT_EQ(types.get_placeholder(), CoreString("(mixed)"));

    types.set_selected_index(FCurveKey::TYPE_CONSTANT);
    types.raise_event(EVT_ID_LIST_BUTTON_SELECTION_CHANGED);
    EXPECT_EQ(curve.get_key_type(0, key_id(curve, 0, 0)), FCurveKey::TYPE_CONSTANT);
    EXPECT_EQ(curve.get_key_type(0, key_id(curve, 0, 1)), FCurveKey::TYPE_LINEAR);
    EXPECT_EQ(curve.get_key_type(0, key_id(curve, 0, 2)), FCurveKey::TYPE_CONSTANT);
    EXPECT_EQ(curve.get_current_key_type_changed(),
              CoreVector<GuiCurveEventInfo>({{0, key_id(curve, 0, 0)}, {0, key_id(curve, 0, 2)}}));
    EXPECT_EQ(m_log.get(), Names({"EVT_ID_CURVE_KEY_TYPE_CHANGED"}));
}

TEST_F(CurveTest, FieldsMoveSelectedKeysByTheFirstKeysOffset)
{
    GuiCurve& curve = make_curve(Gui::COLOR_DEPTH_L);
    set_three_keys(curve);
    FCurveKeyId const a = key_id(curve, 0, 0), b = key_id(curve, 0, 1);
    curve.select_key(0, a, true);
    curve.select_key(0, b, true);
    curve.get_output_field().set_value(0.25);
    curve.get_output_field().raise_event(EVT_ID_NUMBER_FIELD_VALUE_CHANGED);
    EXPECT_DOUBLE_EQ(curve.get_key_value(0, a), 0.25);
    EXPECT_DOUBLE_EQ(curve.get_key_value(0, b), 1.25);
    curve.get_input_field().set_value(-1.0);
    curve.get_input_field().raise_event(EVT_ID_NUMBER_FIELD_VALUE_CHANGED);
    EXPECT_DOUBLE_EQ(curve.get_key_time(0, a), -1.0);
    EXPECT_DOUBLE_EQ(curve.get_key_time(0, b), 0.0);
    EXPECT_EQ(m_log.get(), Names({"EVT_ID_CURVE_KEY_VALUE_CHANGED", "EVT_ID_CURVE_KEY_POSITION_CHANGED"}));
}

TEST_F(CurveTest, ChannelButtonsFollowEditAllAndProtectTheirChannel)
{
    GuiCurve& curve = make_curve();
    set_three_keys(curve, 2);
    GuiCheckButton& all = *curve.get_edit_all_button();
    click(all, all.get_x() + 5, all.get_y() + 5);
    for (unsigned int c = 0; c < 3; ++c) EXPECT_FALSE(curve.get_channel_button(c)->get_value()) << c;
    EXPECT_TRUE(curve.is_protected_channel(2));
    // A protected channel's keys cannot be picked.
    GMathVec2<int> const key = key_pixel(curve, 2, 1);
    mouse_down(curve, key[0], key[1]);
    mouse_up(curve, key[0], key[1]);
    EXPECT_FALSE(curve.is_key_selected(2, key_id(curve, 2, 1)));

    GuiCheckButton& blue = *curve.get_channel_button(2);
    click(blue, blue.get_x() + 5, blue.get_y() + 5);
    EXPECT_FALSE(all.get_value());
    for (unsigned int c : {0u, 1u}) {
        GuiCheckButton& button = *curve.get_channel_button(c);
        click(button, button.get_x() + 5, button.get_y() + 5);
    }
    EXPECT_TRUE(all.get_value());
    EXPECT_FALSE(curve.is_protected_channel(2));
}

TEST_F(CurveTest, LinkModeCopiesTheEditedChannelToTheOtherEditableOnes)
{
    GuiCurve& curve = make_curve();
    set_three_keys(curve, 0);
    curve.set_channel_editable(2, false);
    curve.set_link_mode(true);
    curve.set_extrapolation(false, FCurve::BEHAVIOR_OSCILLATE);  // the targets keep their behaviours
    GMathVec2<int> const start = key_pixel(curve, 0, 1);
    FCurveKeyId const id = key_id(curve, 0, 1);
    mouse_down(curve, start[0], start[1]);
    throttled_drag(curve, start[0] + 30, start[1]);
    mouse_up(curve, start[0] + 30, start[1]);

    EXPECT_EQ(curve.get_key_count(1), 3u);
    EXPECT_EQ(curve.get_key_time(1, id), curve.get_key_time(0, id));
    EXPECT_TRUE(curve.is_key_selected(1, id));
    EXPECT_EQ(curve.get_key_count(2), 0u);
    EXPECT_EQ(curve.get_curve(1).get_post_behavior(), FCurve::BEHAVIOR_OSCILLATE);
    EXPECT_EQ(curve.get_current_curve_cloned(), CoreVector<GuiCurveLinkedEventInfo>({{0, 1}}));
    EXPECT_GE(m_log.count(EVT_ID_CURVE_KEY_LINKING), 1);
    EXPECT_EQ(m_log.count(EVT_ID_CURVE_KEY_LINKED), 1);
    EXPECT_EQ(m_log.count(EVT_ID_CURVE_KEY_POSITION_CHANGED), 0);
}

TEST_F(CurveTest, FitFramesTheSelectionAndTheWheelZoomsAboutThePointer)
{
    GuiCurve& curve = make_curve(Gui::COLOR_DEPTH_L);
    set_three_keys(curve);
    curve.select_key(0, key_id(curve, 0, 1), true);
    curve.select_key(0, key_id(curve, 0, 2), true);
    GuiPushButton& fit = curve.get_fit_button();
    click(fit, fit.get_x() + 5, fit.get_y() + 5);
    // Inputs 1 to 2 and the values the curve takes between them, 0 to 1.
    EXPECT_DOUBLE_EQ(curve.get_xmin(), 1.0);
    EXPECT_DOUBLE_EQ(curve.get_xrange(), 1.0);
    EXPECT_DOUBLE_EQ(curve.get_ymin(), 0.0);
    EXPECT_DOUBLE_EQ(curve.get_yrange(), 1.0);

    int const cx = curve.get_x() + curve.get_width() / 2, cy = curve.get_y() + curve.get_height() / 2;
    double const t = curve.pixel_to_time(cx), v = curve.pixel_to_value_y(cy);
    wheel(curve, 0, -2);
    EXPECT_LT(curve.get_xrange(), 1.0);
    EXPECT_NEAR(curve.pixel_to_time(cx), t, 1e-9);
    EXPECT_NEAR(curve.pixel_to_value_y(cy), v, 1e-9);
    curve.set_enable_zoom(false);
    double const range = curve.get_xrange();
    wheel(curve, 0, 3);
    EXPECT_EQ(curve.get_xrange(), range);

    GuiPushButton& reset = curve.get_reset_zoom_button();
    click(reset, reset.get_x() + 5, reset.get_y() + 5);
    EXPECT_EQ(curve.get_xmin(), 0.0);
    EXPECT_EQ(curve.get_xrange(), 1.0);
}
