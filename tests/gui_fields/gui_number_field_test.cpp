// Number fields: smart increments, increments from the caret, dragging the handle (steps,
// events, modifiers, Escape, the range), the slider kept in step with the edit, the handle's
// hover look, and the toolbar's number fields.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>
#include <FL/Fl_Widget.H>

#include "gui/controls/gui_slider.h"
#include "gui/fields/gui_number_field.h"
#include "gui/panels/gui_toolbar.h"
#include "host/app/app_units.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_event_state.h"
#include "tests/support/gui_pixels.h"

namespace {

class NumberFieldTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        AppUnits::reset();
    }
    void TearDown() override
    {
        AppUnits::reset();
        ControlsTest::TearDown();
    }

    // At (20, 40), 240 × 20: the handle spans x 21 to 38.
    GuiNumberField& make_field(CoreString const& label = CoreString())
    {
        GuiNumberField* field = new GuiNumberField(window(), 20, 40, 240, 20, label);
        shown(field);
        m_log.listen(*field, {&EVT_ID_NUMBER_FIELD_VALUE_CHANGING, &EVT_ID_NUMBER_FIELD_VALUE_CHANGED});
        return *field;
    }
    int changing() const { return m_log.count(EVT_ID_NUMBER_FIELD_VALUE_CHANGING); }
    int changed() const { return m_log.count(EVT_ID_NUMBER_FIELD_VALUE_CHANGED); }

    static constexpr int HANDLE_X = 30;
    static constexpr int HANDLE_Y = 50;

    static void press_handle(GuiNumberField& field)
    {
        mouse_move(field, HANDLE_X, HANDLE_Y);
        mouse_down(field, HANDLE_X, HANDLE_Y);
    }
    // A drag `d` pixels right of the press, with modifier bits held.
    static void drag_by(GuiNumberField& field, int d, int modifiers = 0)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(GuiWidget::DRAG_THROTTLE_MS) + 5));
        GuiWidget const* window = field.get_window();
        GuiEventState state;
        state.set_position_in_window(window->get_x(), window->get_y(), HANDLE_X + d, HANDLE_Y)
            .set_state(modifiers)
            .press_button(1);
        state.send(*field.get_widget(), FL_DRAG);
    }
};

}  // namespace

TEST(NumberFieldIncrement, SmartIncrementIsARoundStepAtMostOne)
{
    struct Row {
        double value, reference, step;
    };
    Row const rows[] = {
        {0.37, 1.0, 0.25}, {9.0, 1.0, 1.0},     {40.0, 1.0, 1.0},   {0.37, 0.0, 0.25},
        {-3.0, 10.0, 0.25}, {0.0018, 1.0, 0.002}, {0.012, 1.0, 0.01}, {0.0007, 1.0, 0.00075},
        {0.05, 1.0, 0.05},  {0.0, 1.0, 1.0},
    };
    for (Row const& row : rows)
        EXPECT_NEAR(GuiNumberField::get_smart_increment(row.value, row.reference), row.step, row.step * 1e-12)
            << row.value << " / " << row.reference;
}

TEST_F(NumberFieldTest, CaretGivesTheIncrementOfTheDigitLeftOfIt)
{
    ASSERT_TRUE(AppUnits::set_unit_system("distance", "cm"));
    ASSERT_TRUE(AppUnits::set_unit_format("distance", GMathUnits::FORMAT_VALUE_UNIT));
    struct Row {
        GuiNumberEdit::Format format;
        char const* unit_type;
        double value;  // in the base unit
        char const* text;
        int caret;
        double increment;
    };
    Row const rows[] = {
        {GuiNumberEdit::FORMAT_FLOAT, "", 1.25, "1.25", 3, 0.1},
        {GuiNumberEdit::FORMAT_FLOAT, "", 1.25, "1.25", 4, 0.1 * 0.1},
        {GuiNumberEdit::FORMAT_FLOAT, "", 1.25, "1.25", 1, 1.0},
        {GuiNumberEdit::FORMAT_FLOAT, "", 1.25, "1.25", 0, 10.0},
        {GuiNumberEdit::FORMAT_FLOAT, "", 123, "123", 3, 1.0},
        {GuiNumberEdit::FORMAT_FLOAT, "", 123, "123", 1, 100.0},
        {GuiNumberEdit::FORMAT_INTEGER, "", 123, "123", 3, 1.0},
        {GuiNumberEdit::FORMAT_INTEGER, "", 123, "123", 1, 100.0},
        {GuiNumberEdit::FORMAT_INTEGER, "", -123, "-123", 0, 1000.0},
        {GuiNumberEdit::FORMAT_FLOAT, "distance", 0.25, "25cm", 2, 0.01},   // one cm, in m
        {GuiNumberEdit::FORMAT_FLOAT, "distance", 0.255, "25.5cm", 4, 0.001},
        {GuiNumberEdit::FORMAT_FLOAT, "distance", 0.25, "25cm", 3, -1.0},   // in the unit
        {GuiNumberEdit::FORMAT_FLOAT, "", 1.25, "1.25", -1, -1.0},          // no caret
    };
    GuiNumberField& field = make_field();
    for (Row const& row : rows) {
        SCOPED_TRACE(std::string(row.text) + " caret " + std::to_string(row.caret));
        field.set_format(row.format);
        field.set_unit_type(row.unit_type);
        field.set_value(row.value);
        ASSERT_EQ(field.get_text(), row.text);
        field.get_edit().set_selection(row.caret, row.caret);
        EXPECT_NEAR(field.get_user_increment(), row.increment, std::abs(row.increment) * 1e-12);
    }
}

TEST_F(NumberFieldTest, DragStepsByTheIncrementAndReportsOnRelease)
{
    GuiNumberField& field = make_field();
    field.set_increment(0.5);
    field.set_value(1.0);
    press_handle(field);
    ASSERT_TRUE(field.is_dragging());
    drag_by(field, 3);
    EXPECT_DOUBLE_EQ(field.get_value(), 2.5);
    // The pointer went back to the start, so the next move counts from there again.
    drag_by(field, 1);
    EXPECT_DOUBLE_EQ(field.get_value(), 3.0);
    drag_by(field, 0);  // no movement: nothing
    EXPECT_EQ(changing(), 2);
    EXPECT_EQ(changed(), 0);
    mouse_up(field, HANDLE_X, HANDLE_Y);
    EXPECT_FALSE(field.is_dragging());
    EXPECT_EQ(changed(), 1);
    EXPECT_EQ(field.get_text(), "3");
}

TEST_F(NumberFieldTest, DragBackToTheStartRaisesNoChangedEvent)
{
    GuiNumberField& field = make_field();
    field.set_increment(1.0);
    field.set_value(4.0);
    press_handle(field);
    drag_by(field, 2);
    drag_by(field, -2);
    EXPECT_EQ(field.get_value(), 4.0);
    mouse_up(field, HANDLE_X, HANDLE_Y);
    EXPECT_EQ(changing(), 2);
    EXPECT_EQ(changed(), 0);
}

TEST_F(NumberFieldTest, ShiftAndCtrlChangeTheDragSpeedAndTheRangeBoundsIt)
{
    struct Row {
        int modifiers;
        int d;
        double value;
    };
    Row const rows[] = {{0, 2, 12.0}, {FL_SHIFT, 2, 30.0}, {FL_CTRL, 2, 10.2}, {0, 200, 100.0}, {0, -20, 0.0}};
    GuiNumberField& field = make_field();
    field.set_range(0.0, 100.0);
    field.enable_range(true);
    field.set_increment(1.0);
    for (Row const& row : rows) {
        SCOPED_TRACE(row.modifiers);
        field.set_value(10.0);
        press_handle(field);
        drag_by(field, row.d, row.modifiers);
        mouse_up(field, HANDLE_X, HANDLE_Y);
        EXPECT_NEAR(field.get_value(), row.value, 1e-12);
    }
}

TEST_F(NumberFieldTest, EscapePutsTheStartValueBackAndEndsTheDrag)
{
    GuiNumberField& field = make_field();
    field.set_increment(1.0);
    field.set_value(7.0);
    press_handle(field);
    drag_by(field, 3);
    ASSERT_EQ(field.get_value(), 10.0);
    key_down(field, FL_Escape);
    EXPECT_EQ(field.get_value(), 7.0);
    EXPECT_FALSE(field.is_dragging());
    EXPECT_EQ(changing(), 2);  // to 10, and back to 7
    mouse_up(field, HANDLE_X, HANDLE_Y);
    EXPECT_EQ(changed(), 0);
}

TEST_F(NumberFieldTest, DragUsesTheCaretsIncrementUntilReleased)
{
    GuiNumberField& field = make_field();
    field.set_increment(5.0);
    field.set_value(1.25);
    field.get_edit().set_focus();
    field.get_edit().set_selection(3, 3);  // after the "2"
    press_handle(field);
    EXPECT_NEAR(field.get_increment(), 0.1, 1e-15);
    drag_by(field, 1);
    // One step up, on the step's grid: the digits right of the caret go.
    EXPECT_NEAR(field.get_value(), 1.3, 1e-12);
    drag_by(field, 1);
    EXPECT_NEAR(field.get_value(), 1.4, 1e-12);
    mouse_up(field, HANDLE_X, HANDLE_Y);
    EXPECT_EQ(field.get_increment(), 5.0);
}

TEST_F(NumberFieldTest, ReadOnlyFieldDoesNotDrag)
{
    GuiNumberField& field = make_field();
    field.set_read_only(true);
    press_handle(field);
    EXPECT_FALSE(field.is_dragging());
    drag_by(field, 5);
    EXPECT_EQ(field.get_value(), 0.0);
}

TEST_F(NumberFieldTest, SliderAndEditStayInStep)
{
    GuiNumberField& field = make_field();
    field.set_range(0.0, 10.0);
    field.enable_range(true);
    field.show_slider(true);
    GuiSlider& slider = *field.get_slider();
    field.set_value(4.0);
    EXPECT_EQ(slider.get_value(), 4.0);
    int const right = slider.get_x() + slider.get_width() - 4, middle = slider.get_y() + 9;
    click(slider, right, middle);
    EXPECT_EQ(field.get_text(), "10");
    EXPECT_EQ(changing(), 1);
    EXPECT_EQ(changed(), 1);
    // The slider's own range replaces the field's, which still bounds the value.
    field.set_slider_range(0.0, 20.0);
    field.enable_slider_range(true);
    click(slider, right, middle);
    EXPECT_EQ(slider.get_max_value(), 20.0);
    EXPECT_EQ(field.get_value(), 10.0);
    EXPECT_EQ(slider.get_value(), 10.0);
}

TEST_F(NumberFieldTest, TypedEntriesReachTheFieldsEvents)
{
    GuiNumberField& field = make_field();
    m_log.listen(field, {&EVT_ID_NUMBER_FIELD_VALUE_VALIDATE});
    field.set_value(2.0);
    GuiNumberEdit& edit = field.get_edit();
    edit.set_focus();
    edit.select_all();
    edit.insert_text("+=5");
    key_down(edit, FL_Enter);
    EXPECT_EQ(field.get_value(), 7.0);
    EXPECT_EQ(field.get_expression_operator(), '+');
    EXPECT_EQ(field.get_expression_value(), 5.0);
    edit.set_focus();
    key_down(edit, FL_Enter);  // the same text again: validated
    EXPECT_EQ(changed(), 1);
    EXPECT_EQ(m_log.count(EVT_ID_NUMBER_FIELD_VALUE_VALIDATE), 1);
}

TEST_F(NumberFieldTest, HandleLightsUpUnderThePointer)
{
    GuiNumberField& field = make_field("Size");
    // A pixel of the handle's face, away from its arrows.
    GMathVec3<unsigned char> const before = pixel_at(window(), 23, 43);
    mouse_move(field, HANDLE_X, HANDLE_Y);
    pump_events(app());
    EXPECT_TRUE(field.is_handle_hovered());
    EXPECT_NE(pixel_at(window(), 23, 43), before);
    // Over the label, between the handle and the edit, it goes out again.
    mouse_move(field, field.get_edit().get_x() - 2, HANDLE_Y);
    EXPECT_FALSE(field.is_handle_hovered());
}

TEST_F(NumberFieldTest, ToolbarMakesOwnedShownNumberFields)
{
    GuiToolbar* bar = new GuiToolbar(window(), 0, 0, 400, "tools");
    shown(bar);
    GuiNumberField* field = bar->create_number_field("Frame", 120, GuiToolbar::ANCHOR_LEFT);
    pump_events(app());
    ASSERT_TRUE(bar->has_widget(field));
    EXPECT_TRUE(field->is_shown());
    EXPECT_EQ(field->get_width(), 120);
    EXPECT_EQ(field->get_label(), "Frame");
    bar->remove_widget(field);
    EXPECT_TRUE(field->is_destroyed());
}

TEST_F(NumberFieldTest, EditsContextMenuEventsComeFromTheField)
{
    GuiNumberField& field = make_field();
    m_log.listen(field, {&EVT_ID_NUMBER_FIELD_MENU_SHOW, &EVT_ID_NUMBER_FIELD_MENU_ITEM_SELECTED});
    field.set_value(2.0);
    field.get_edit().select_all();
    field.get_edit().popup_menu();
    pump_events(app());
    GuiMenu* menu = field.get_edit().get_context_menu();
    ASSERT_NE(menu, nullptr);
    click_menu_row(*menu, 1);  // Copy
    EXPECT_EQ(m_log.count(EVT_ID_NUMBER_FIELD_MENU_SHOW), 1);
    EXPECT_EQ(m_log.count(EVT_ID_NUMBER_FIELD_MENU_ITEM_SELECTED), 1);
}
