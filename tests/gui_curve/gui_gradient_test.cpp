// Gradient editors: keys added on every channel at one position, moved together (and kept
// apart), removed without ever losing the last one, bad input refused, and the mouse
// gestures (select, drag, add on the ramp, remove crosses) with their events and payloads.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <limits>

#include "gui/curve/gui_gradient.h"
#include "gui/fields/gui_number_field.h"
#include "gui/menus/gui_list_button.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/log_recorder.h"

namespace {

class GradientTest : public GuiTest {
protected:
    GuiGradient& make_gradient(Gui::ColorDepth depth = Gui::COLOR_DEPTH_RGBA)
    {
        GuiWindow& window = make_window(520, 260);
        GuiGradient* gradient = new GuiGradient(window, 10, 10, 480, 220, depth);
        gradient->show();
        pump_events(app());
        m_log.listen(*gradient, {&EVT_ID_GRADIENT_KEY_ADDED, &EVT_ID_GRADIENT_KEY_REMOVED,
                                 &EVT_ID_GRADIENT_KEY_POSITION_CHANGING, &EVT_ID_GRADIENT_KEY_POSITION_CHANGED,
                                 &EVT_ID_GRADIENT_KEY_VALUE_CHANGING, &EVT_ID_GRADIENT_KEY_VALUE_CHANGED,
                                 &EVT_ID_GRADIENT_KEY_TYPE_CHANGED, &EVT_ID_GRADIENT_EXTRAPOLATION_CHANGED});
        return *gradient;
    }
    // Keys at 0, 0.25, 0.5, 0.75 and 1, in index order.
    void add_three(GuiGradient& gradient)
    {
        for (double position : {0.25, 0.5, 0.75})
            gradient.add_key(position, FCurveKey::TYPE_LINEAR, position, 0.0, 1.0 - position, 1.0);
        ASSERT_EQ(gradient.get_key_count(), 5u);
    }
    // The positions of every channel's keys agree.
    void expect_shared_positions(GuiGradient& gradient)
    {
        for (unsigned int i = 0; i < gradient.get_key_count(); ++i) {
            FCurveKey const& first = gradient.get_curve(0).get_keys()[i];
            for (unsigned int channel = 1; channel < gradient.get_channel_count(); ++channel) {
                FCurveKey const& key = gradient.get_curve(channel).get_keys()[i];
                EXPECT_EQ(key.id, first.id) << "channel " << channel << " key " << i;
                EXPECT_EQ(key.time, first.time) << "channel " << channel << " key " << i;
            }
        }
    }

    EventLog m_log;
};

}  // namespace

TEST_F(GradientTest, KeyAddedWithFourComponentsHasOneKeyPerChannelAtOnePosition)
{
    GuiGradient& gradient = make_gradient();
    FCurveKeyId const id = gradient.add_key(0.4, FCurveKey::TYPE_SMOOTH, 0.1, 0.2, 0.3, 0.4);
    ASSERT_TRUE(id.is_valid());
    double const expected[4] = {0.1, 0.2, 0.3, 0.4};
    for (unsigned int channel = 0; channel < 4; ++channel) {
        FCurveKey key;
        ASSERT_TRUE(gradient.get_key(id, channel, key)) << channel;
        EXPECT_EQ(key.time, 0.4);
        EXPECT_EQ(key.value, expected[channel]);
        EXPECT_EQ(key.type, FCurveKey::TYPE_SMOOTH);
        EXPECT_EQ(gradient.get_curve(channel).get_key_count(), 3u);
    }
    EXPECT_EQ(gradient.get_key_index_by_id(id), 1);
    EXPECT_EQ(gradient.get_key_id_by_index(1), id);
    // Components past the channel count are left out.
    GuiGradient* grey = new GuiGradient(*gradient.get_parent(), 10, 10, 480, 220, Gui::COLOR_DEPTH_L);
    FCurveKeyId const g = grey->add_key(0.5, FCurveKey::TYPE_LINEAR, 0.7, 9.0, 9.0, 9.0);
    EXPECT_EQ(grey->get_channel_count(), 1u);
    EXPECT_EQ(grey->get_curve(0).get_key_value(g), 0.7);
}

TEST_F(GradientTest, MovedKeysKeepTheirPositionsSharedAndApart)
{
    GuiGradient& gradient = make_gradient();
    add_three(gradient);
    FCurveKeyId const moving = gradient.get_key_id_by_index(3);  // at 0.75
    ASSERT_TRUE(gradient.set_keys_position(moving, 0.25));
    EXPECT_DOUBLE_EQ(gradient.get_keys_position(moving), 0.25 + 2e-8);
    expect_shared_positions(gradient);
    ASSERT_TRUE(gradient.set_keys_position(moving, -3.0));
    EXPECT_EQ(gradient.get_key_index_by_id(moving), 0);
    expect_shared_positions(gradient);
}

TEST_F(GradientTest, RemovingSelectedKeysKeepsOneAndSelectsTheKeyBefore)
{
    struct Row {
        char const* what;
        std::vector<unsigned int> selected;  // indices among the five keys
        unsigned int remaining;
        double selected_position;  // of the only selected key afterwards
    };
    Row const rows[] = {
        {"middle keys", {2, 3}, 3, 0.25},
        {"the first key", {0}, 4, 0.25},
        {"every key", {0, 1, 2, 3, 4}, 1, 1.0},
    };
    for (Row const& row : rows) {
        GuiGradient& gradient = make_gradient();
        add_three(gradient);
        gradient.clear_selection();
        CoreVector<FCurveKeyId> ids;
        for (unsigned int index : row.selected) ids.add(gradient.get_key_id_by_index(index));
        for (FCurveKeyId const& id : ids) gradient.select_key(id, true);
        m_log.clear();
        gradient.set_focus();
        key_down(gradient, FL_Delete);

        EXPECT_EQ(gradient.get_key_count(), row.remaining) << row.what;
        expect_shared_positions(gradient);
        unsigned int selected = 0;
        for (GuiGradient::KeyState const& state : gradient.get_key_states()) {
            if (!(state.flags & GuiGradient::KEY_FLAG_SELECTED)) continue;
            ++selected;
            EXPECT_EQ(gradient.get_keys_position(state.id), row.selected_position) << row.what;
        }
        EXPECT_EQ(selected, 1u) << row.what;
        EXPECT_EQ(m_log.get(), Names({"EVT_ID_GRADIENT_KEY_REMOVED"})) << row.what;
        EXPECT_EQ(gradient.get_current_key_removed().get_count(), 5u - row.remaining) << row.what;
        // The colour field shows the selected key.
        EXPECT_EQ(gradient.get_position_field().get_value(), row.selected_position) << row.what;
        gradient.get_parent()->destroy();
        process_idle(app());
    }
}

TEST_F(GradientTest, DraggingAHandleMovesTheKeyOnEveryChannel)
{
    GuiGradient& gradient = make_gradient();
    add_three(gradient);
    FCurveKeyId const id = gradient.get_key_id_by_index(2);
    int const x = gradient.position_to_pixel(0.5), y = gradient.get_pos_y_color();
    mouse_down(gradient, x, y);
    EXPECT_TRUE(gradient.is_key_selected(id));
    EXPECT_FALSE(gradient.is_key_selected(gradient.get_key_id_by_index(0)));
    throttled_drag(gradient, x + 20, y);
    throttled_drag(gradient, x + 40, y + 3);
    mouse_up(gradient, x + 40, y + 3);

    EXPECT_NEAR(gradient.get_keys_position(id), 0.5 + gradient.pixel_to_position(x + 40) - gradient.pixel_to_position(x),
                1e-9);
    expect_shared_positions(gradient);
    EXPECT_GE(m_log.count(EVT_ID_GRADIENT_KEY_POSITION_CHANGING), 1);
    EXPECT_EQ(m_log.count(EVT_ID_GRADIENT_KEY_POSITION_CHANGED), 1);
    EXPECT_EQ(m_log.get().back(), "EVT_ID_GRADIENT_KEY_POSITION_CHANGED");
    EXPECT_EQ(gradient.get_current_key_position_changed(), CoreVector<FCurveKeyId>({id}));
}

TEST_F(GradientTest, ClickOnTheRampAddsTheColourThere)
{
    GuiGradient& gradient = make_gradient(Gui::COLOR_DEPTH_RGB);
    int const x = gradient.position_to_pixel(0.3);
    double const position = gradient.pixel_to_position(x);
    GMathVec4<double> const before = gradient.eval(position);
    click(gradient, x, (gradient.get_pos_gradient_up() + gradient.get_pos_gradient_down()) / 2);

    ASSERT_EQ(gradient.get_key_count(), 3u);
    FCurveKeyId const id = gradient.get_key_id_by_index(1);
    EXPECT_EQ(gradient.get_current_key_added(), CoreVector<FCurveKeyId>({id}));
    EXPECT_EQ(m_log.get(), Names({"EVT_ID_GRADIENT_KEY_ADDED"}));
    EXPECT_TRUE(gradient.is_key_selected(id));
    for (unsigned int channel = 0; channel < 3; ++channel)
        EXPECT_NEAR(gradient.get_curve(channel).get_key_value(id), before[channel], 1e-12) << channel;
    EXPECT_NEAR(gradient.get_value_field().get_color()[0], before[0], 1e-12);
}

TEST_F(GradientTest, RemoveCrossRemovesItsKeyButNotTheLast)
{
    GuiGradient& gradient = make_gradient(Gui::COLOR_DEPTH_LA);
    FCurveKeyId const last = gradient.get_key_id_by_index(1);
    click(gradient, gradient.position_to_pixel(0.0), gradient.get_pos_y_remove());
    EXPECT_EQ(gradient.get_key_count(), 1u);
    EXPECT_TRUE(gradient.is_key_selected(last));
    click(gradient, gradient.position_to_pixel(1.0), gradient.get_pos_y_remove());
    EXPECT_EQ(gradient.get_key_count(), 1u);
    EXPECT_EQ(m_log.get(), Names({"EVT_ID_GRADIENT_KEY_REMOVED"}));
}

TEST_F(GradientTest, BadInputChangesNothing)
{
    GuiGradient& gradient = make_gradient();
    FCurveKeyId const first = gradient.get_key_id_by_index(0);
    double const nan = std::numeric_limits<double>::quiet_NaN();
    auto snapshot = [&] {
        std::vector<FCurve> curves;
        for (unsigned int c = 0; c < gradient.get_channel_count(); ++c) curves.push_back(gradient.get_curve(c));
        return curves;
    };
    std::vector<FCurve> const before = snapshot();
    {
        LogRecorder log;
        EXPECT_FALSE(gradient.add_key(0.5, FCurveKey::TYPE_LINEAR, 0.0, nan, 0.0, 1.0).is_valid());
        EXPECT_FALSE(gradient.set_keys_position(first, nan));
        EXPECT_FALSE(gradient.set_key_value(first, std::numeric_limits<double>::infinity(), 2));
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u) << log.dump();
    }
    {
        LogRecorder log;
        gradient.remove_key(FCurveKeyId(99));
        EXPECT_EQ(log.count(), 0u) << log.dump();
    }
    {
        // Curves that do not share their keys are refused.
        FCurve a, b;
        a.add_key(0.0, 0.0);
        b.add_key(0.5, 0.0);
        LogRecorder log;
        EXPECT_FALSE(gradient.set_curves(CoreArray<FCurve const*>({&a, &b, &a, &a})));
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    }
    EXPECT_TRUE(snapshot() == before);
    EXPECT_TRUE(m_log.get().empty());

    // Empty curves are a gradient without keys: black everywhere, and a click adds a key.
    FCurve empty;
    ASSERT_TRUE(gradient.set_curves(CoreArray<FCurve const*>({&empty, &empty, &empty, &empty})));
    EXPECT_EQ(gradient.get_key_count(), 0u);
    pump_events(app());
    click(gradient, gradient.position_to_pixel(0.5), gradient.get_pos_gradient_up() + 2);
    EXPECT_EQ(gradient.get_key_count(), 1u);
}

TEST_F(GradientTest, ExtrapolationAndTypeApplyToEveryChannel)
{
    GuiGradient& gradient = make_gradient();
    ASSERT_TRUE(gradient.set_extrapolation(true, FCurve::BEHAVIOR_CYCLE));
    EXPECT_EQ(gradient.get_current_extrapolation_change(),
              CoreVector<unsigned int>({1, 1, 1, 1, FCurve::BEHAVIOR_CYCLE, 1}));
    for (unsigned int channel = 0; channel < 4; ++channel)
        EXPECT_EQ(gradient.get_curve(channel).get_pre_behavior(), FCurve::BEHAVIOR_CYCLE);

    FCurveKeyId const first = gradient.get_key_id_by_index(0);
    ASSERT_TRUE(gradient.is_key_selected(first));
    gradient.get_key_type_button().set_selected_index(FCurveKey::TYPE_CONSTANT);
    gradient.get_key_type_button().raise_event(EVT_ID_LIST_BUTTON_SELECTION_CHANGED);
    for (unsigned int channel = 0; channel < 4; ++channel)
        EXPECT_EQ(gradient.get_curve(channel).get_key_type(first), FCurveKey::TYPE_CONSTANT);
    EXPECT_EQ(gradient.get_current_key_type_changed(), CoreVector<FCurveKeyId>({first}));
    EXPECT_EQ(m_log.get(), Names({"EVT_ID_GRADIENT_EXTRAPOLATION_CHANGED", "EVT_ID_GRADIENT_KEY_TYPE_CHANGED"}));
}

TEST_F(GradientTest, FieldsEditTheSelectedKeysByChannel)
{
    struct Row {
        Gui::ColorDepth depth;
        double typed;                  // into the first component
        std::vector<double> expected;  // the first key's channels afterwards
        bool green_shown;
    };
    Row const rows[] = {
        {Gui::COLOR_DEPTH_RGBA, 0.9, {0.9, 0.0, 0.0, 1.0}, true},
        {Gui::COLOR_DEPTH_LA, 0.6, {0.6, 1.0}, false},
        {Gui::COLOR_DEPTH_A, 0.3, {0.3}, false},
    };
    for (Row const& row : rows) {
        GuiGradient& gradient = make_gradient(row.depth);
        FCurveKeyId const first = gradient.get_key_id_by_index(0);
        GuiNumberField& component = gradient.get_value_field().get_component_field(0);
        EXPECT_EQ(gradient.get_value_field().get_component_field(1).is_shown(), row.green_shown);
        component.set_value(row.typed);
        component.raise_event(EVT_ID_NUMBER_FIELD_VALUE_CHANGED);
        for (unsigned int channel = 0; channel < gradient.get_channel_count(); ++channel)
            EXPECT_DOUBLE_EQ(gradient.get_curve(channel).get_key_value(first), row.expected[channel])
                << Gui::get_channel_depth_name(row.depth) << " channel " << channel;
        EXPECT_EQ(gradient.get_current_key_value_changed(), CoreVector<FCurveKeyId>({first}));
        EXPECT_EQ(m_log.count(EVT_ID_GRADIENT_KEY_VALUE_CHANGED), 1);
        m_log.clear();
        gradient.get_parent()->destroy();
        process_idle(app());
    }

    // Key Parameter: the first selected key takes the entry, the others keep their distance.
    GuiGradient& gradient = make_gradient(Gui::COLOR_DEPTH_RGB);
    add_three(gradient);
    FCurveKeyId const a = gradient.get_key_id_by_index(1), b = gradient.get_key_id_by_index(3);
    gradient.clear_selection();
    gradient.select_key(a, true);
    gradient.select_key(b, true);
    gradient.get_position_field().set_value(0.1);
    gradient.get_position_field().raise_event(EVT_ID_NUMBER_FIELD_VALUE_CHANGED);
    EXPECT_DOUBLE_EQ(gradient.get_keys_position(a), 0.1);
    EXPECT_DOUBLE_EQ(gradient.get_keys_position(b), 0.6);
    expect_shared_positions(gradient);
    EXPECT_EQ(m_log.get(), Names({"EVT_ID_GRADIENT_KEY_POSITION_CHANGED"}));
}
