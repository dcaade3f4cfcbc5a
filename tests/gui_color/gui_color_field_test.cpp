// Colour fields: opening the application's dialog from the swatch, following it while it is
// theirs, letting go when it hides or another field takes it, and the horizontal field's
// typed components.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include "gui/color/gui_color_field.h"
#include "gui/controls/gui_push_button.h"
#include "gui/fields/gui_number_field.h"
#include "tests/gui_color/color_test_util.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/log_recorder.h"

namespace {

class FieldTest : public ColorTest {
protected:
    void TearDown() override
    {
        app().reset_color_dialog();
        ColorTest::TearDown();
    }
    template <class Field>
    Field& make_field(GuiWindow& window, int y, GMathVec3<double> const& color)
    {
        Field* field = new Field(window, 10, y, 260, 20, "Tint");
        field->set_color(color);
        field->show();
        m_field_events.listen(*field, {&EVT_ID_COLOR_FIELD_VALUE_CHANGING, &EVT_ID_COLOR_FIELD_VALUE_CHANGED});
        return *field;
    }
    // A press in the middle of the field's swatch.
    static void press_swatch(GuiColorFieldBase& field)
    {
        GMathVec4<int> const swatch = field.get_swatch_rect();
        click(field, swatch[0] + swatch[2] / 2, swatch[1] + swatch[3] / 2);
    }

    EventCounter m_field_events;
};

TEST_F(FieldTest, TheSwatchOpensTheDialogOnTheFieldsColourAndFollowsIt)
{
    GuiWindow& window = make_window(300, 120);
    GuiColorField& field = make_field<GuiColorField>(window, 10, GMathVec3<double>(0.2, 0.4, 0.6));
    pump_events(app());
    press_swatch(field);
    GuiColorDialog* dialog = field.get_dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog, app().get_color_dialog());
    EXPECT_TRUE(dialog->is_shown());
    EXPECT_EQ(dialog->get_current_rgb_color(), GMathVec3<double>(0.2, 0.4, 0.6));
    EXPECT_EQ(m_field_events.count(EVT_ID_COLOR_FIELD_VALUE_CHANGING), 0) << "opening changes nothing";

    dialog->set_current_rgb_color(0.9, 0.1, 0.0, 1.0);
    EXPECT_EQ(field.get_color(), GMathVec3<double>(0.9, 0.1, 0.0));
    EXPECT_EQ(m_field_events.count(EVT_ID_COLOR_FIELD_VALUE_CHANGING), 1);
    click(dialog->get_ok_button(), dialog->get_ok_button().get_x() + 5, dialog->get_ok_button().get_y() + 5);
    EXPECT_EQ(field.get_dialog(), nullptr);
    EXPECT_EQ(m_field_events.count(EVT_ID_COLOR_FIELD_VALUE_CHANGED), 1);

    // Once let go, the dialog's changes do not reach the field.
    dialog->set_current_rgb_color(0.0, 0.0, 1.0, 1.0);
    EXPECT_EQ(field.get_color(), GMathVec3<double>(0.9, 0.1, 0.0));
}

TEST_F(FieldTest, EscapeInTheDialogGivesTheFieldItsColourBack)
{
    GuiWindow& window = make_window(300, 120);
    GuiColorField& field = make_field<GuiColorField>(window, 10, GMathVec3<double>(0.2, 0.4, 0.6));
    pump_events(app());
    ASSERT_TRUE(field.open_dialog());
    GuiColorDialog& dialog = *field.get_dialog();
    dialog.set_current_rgb_color(1.0, 1.0, 1.0, 1.0);
    key_down(dialog.get_field(3).get_edit(), FL_Escape);
    EXPECT_EQ(field.get_color(), GMathVec3<double>(0.2, 0.4, 0.6));
    EXPECT_EQ(field.get_dialog(), nullptr);
    EXPECT_EQ(m_field_events.count(EVT_ID_COLOR_FIELD_VALUE_CHANGED), 0) << "back where it started";
}

TEST_F(FieldTest, AnotherFieldTakingTheDialogMakesTheFirstLetGo)
{
    GuiWindow& window = make_window(300, 120);
    GuiColorField& first = make_field<GuiColorField>(window, 10, GMathVec3<double>(1.0, 0.0, 0.0));
    GuiColorField& second = make_field<GuiColorField>(window, 40, GMathVec3<double>(0.0, 1.0, 0.0));
    pump_events(app());
    ASSERT_TRUE(first.open_dialog());
    ASSERT_TRUE(second.open_dialog());
    EXPECT_EQ(first.get_dialog(), nullptr);
    ASSERT_EQ(second.get_dialog(), app().get_color_dialog());
    EXPECT_EQ(second.get_dialog()->get_current_rgb_color(), GMathVec3<double>(0.0, 1.0, 0.0));
    second.get_dialog()->set_current_rgb_color(0.5, 0.5, 0.5, 1.0);
    EXPECT_EQ(first.get_color(), GMathVec3<double>(1.0, 0.0, 0.0));
    EXPECT_EQ(second.get_color(), GMathVec3<double>(0.5, 0.5, 0.5));
}

TEST_F(FieldTest, HorizontalFieldsTypeComponentsIntoTheColourAndTheOpenDialog)
{
    GuiWindow& window = make_window(300, 120);
    auto& field = make_field<GuiHorizontalColorField>(window, 10, GMathVec3<double>(0.1, 0.2, 0.3));
    pump_events(app());
    EXPECT_DOUBLE_EQ(field.get_component_field(1).get_value(), 0.2);
    EXPECT_LT(field.get_swatch_rect()[0] + field.get_swatch_rect()[2], field.get_component_field(0).get_x());
    ASSERT_TRUE(field.open_dialog());

    GuiLineEdit& edit = field.get_component_field(2).get_edit();
    edit.set_focus();
    edit.select_all();
    edit.insert_text("1.5");
    key_down(edit, FL_Enter);
    EXPECT_EQ(field.get_color(), GMathVec3<double>(0.1, 0.2, 1.5));
    EXPECT_EQ(m_field_events.count(EVT_ID_COLOR_FIELD_VALUE_CHANGED), 1);
    EXPECT_EQ(field.get_dialog()->get_current_rgb_color(), GMathVec3<double>(0.1, 0.2, 1.5));

    // The dialog's changes come back into the components.
    field.get_dialog()->set_current_rgb_color(0.7, 0.0, 0.0, 1.0);
    EXPECT_DOUBLE_EQ(field.get_component_field(0).get_value(), 0.7);

    LogRecorder log;
    EXPECT_FALSE(field.set_color(GMathVec3<double>(0.0, std::nan(""), 0.0)));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_EQ(field.get_color(), GMathVec3<double>(0.7, 0.0, 0.0));
}

}  // namespace
