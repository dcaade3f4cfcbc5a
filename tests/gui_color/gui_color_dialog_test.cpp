// The colour dialog: A, B and C as the user moves between them (swatches, revert, palette,
// picking, typed fields), the answers (Ok, Cancel, Escape) and their events, refused
// components, and the display colour space against OpenColorIO's own processors.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>
#include <OpenColorIO/OpenColorIO.h>

#include <cmath>
#include <limits>

#include "gui/color/gui_color_dialog.h"
#include "gui/controls/gui_push_button.h"
#include "gui/fields/gui_number_field.h"
#include "gui/menus/gui_list_button.h"
#include "host/colorio/colorio.h"
#include "tests/gui_color/color_test_util.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace OCIO = OCIO_NAMESPACE;

namespace {

using DialogTest = ColorTest;

void expect_rgb(GMathVec3<double> const& actual, double r, double g, double b, char const* what)
{
    EXPECT_NEAR(actual[0], r, 1e-9) << what;
    EXPECT_NEAR(actual[1], g, 1e-9) << what;
    EXPECT_NEAR(actual[2], b, 1e-9) << what;
}

// The middle of a widget's sub-box, in window coordinates.
void click_at(GuiWidget& widget, int dx, int dy, int clicks = 0)
{
    mouse_down(widget, widget.get_x() + dx, widget.get_y() + dy, 1, clicks);
    mouse_up(widget, widget.get_x() + dx, widget.get_y() + dy);
}

void type_into(GuiNumberField& field, char const* text)
{
    GuiLineEdit& edit = field.get_edit();
    edit.set_focus();
    edit.select_all();
    edit.insert_text(text);
    key_down(edit, FL_Enter);
}

TEST_F(DialogTest, OpensAsTheColourPickerWithARedFieldReadyToType)
{
    GuiColorDialog& dialog = make_dialog();
    EXPECT_EQ(dialog.get_title(), "Color Picker");
    EXPECT_EQ(dialog.get_width(), GuiColorDialog::WIDTH);
    EXPECT_EQ(dialog.get_height(), GuiColorDialog::HEIGHT);
    EXPECT_EQ(dialog.get_value(), -1);
    EXPECT_TRUE(dialog.get_field(3).get_edit().has_focus());
    EXPECT_EQ(dialog.get_color_space_list().get_item_label(0), GuiColorDialog::USE_DEFAULT);
    EXPECT_EQ(dialog.get_color_space_list().get_item_count(), ColorIO::get_color_space_names().get_count() + 1);
}

TEST_F(DialogTest, EachChangeOfARaisesOneEventAndPushesTheOldAIntoB)
{
    GuiColorDialog& dialog = make_dialog();
    dialog.set_rgb_color(0.1, 0.2, 0.3);
    m_events.clear();
    dialog.set_current_rgb_color(0.4, 0.5, 0.6, 0.7);
    EXPECT_EQ(m_events.count(EVT_ID_COLOR_DIALOG_COLOR_CHANGING), 1);
    expect_rgb(dialog.get_current_rgb_color(), 0.4, 0.5, 0.6, "A");
    EXPECT_DOUBLE_EQ(dialog.get_current_a_color(), 0.7);
    expect_rgb(dialog.get_previous().get_rgb(), 0.1, 0.2, 0.3, "B");
    // The opening colour stays the one set_rgb_color gave.
    expect_rgb(dialog.get_opening().get_rgb(), 0.1, 0.2, 0.3, "opening");
    EXPECT_DOUBLE_EQ(dialog.get_field(3).get_value(), 0.4);
    EXPECT_DOUBLE_EQ(dialog.get_field(6).get_value(), 0.7);
}

TEST_F(DialogTest, RevertingTwiceGivesTheFirstColourBack)
{
    GuiColorDialog& dialog = make_dialog();
    dialog.set_rgb_color(0.9, 0.1, 0.1);
    dialog.set_current_rgb_color(0.2, 0.8, 0.2, 0.5);
    GuiColorValue const first = dialog.get_current();
    dialog.revert_to_previous_color();
    expect_rgb(dialog.get_current_rgb_color(), 0.9, 0.1, 0.1, "once");
    EXPECT_DOUBLE_EQ(dialog.get_current_a_color(), 1.0);
    dialog.revert_to_previous_color();
    EXPECT_EQ(dialog.get_current(), first);
}

TEST_F(DialogTest, SwatchClicksRevertToBAndTakeC)
{
    GuiColorDialog& dialog = make_dialog();
    GuiColorSwatches& swatches = dialog.get_swatches();
    dialog.set_rgb_color(0.5, 0.0, 0.0);
    dialog.set_current_rgb_color(0.0, 0.25, 0.0, 1.0);
    int const swatch_y = GuiColorSwatches::SWATCH_Y + 5;
    click_at(swatches, 10, swatch_y);  // previous
    expect_rgb(dialog.get_current_rgb_color(), 0.5, 0.0, 0.0, "reverted");

    dialog.set_formula(GuiColorDialog::FORMULA_A_ADD_B);
    m_events.clear();
    click_at(swatches, GuiColorSwatches::SWATCH_W + GuiColorSwatches::SWATCH_GAP + 10, swatch_y);  // result
    expect_rgb(dialog.get_current_rgb_color(), 0.5, 0.25, 0.0, "A + B taken");
    EXPECT_DOUBLE_EQ(dialog.get_current_a_color(), 2.0);
    EXPECT_EQ(m_events.count(EVT_ID_COLOR_DIALOG_COLOR_CHANGING), 1);

    // Between and above the swatches nothing happens.
    GuiColorValue const now = dialog.get_current();
    click_at(swatches, GuiColorSwatches::SWATCH_W + 1, swatch_y);
    click_at(swatches, 10, GuiColorSwatches::SWATCH_Y - 3);
    EXPECT_EQ(dialog.get_current(), now);
}

TEST_F(DialogTest, TheResultFollowsAAndB)
{
    GuiColorDialog& dialog = make_dialog();
    dialog.set_rgb_color(0.0, 0.5, 0.0);
    dialog.set_current_rgb_color(1.0, 1.0, 1.0, 1.0);
    dialog.set_formula(GuiColorDialog::FORMULA_A_DIV_B);
    GMathVec4<double> const c = dialog.get_result().get_rgba();
    EXPECT_EQ(c, GMathVec4<double>(10.0, 2.0, 10.0, 1.0));
    dialog.set_formula(GuiColorDialog::FORMULA_INV_A);
    EXPECT_DOUBLE_EQ(dialog.get_result().get_alpha(), 0.0);
    EXPECT_EQ(dialog.get_formula_list().get_selected_label(), "1 - A");

    LogRecorder log;
    EXPECT_FALSE(dialog.set_formula(static_cast<GuiColorDialog::Formula>(10)));
    EXPECT_FALSE(dialog.set_mode(static_cast<GuiColorDialog::Mode>(-1)));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
    EXPECT_EQ(dialog.get_formula(), GuiColorDialog::FORMULA_INV_A);
}

TEST_F(DialogTest, HdrColoursAreKeptAndShown)
{
    GuiColorDialog& dialog = make_dialog();
    dialog.set_rgb_color(2.5, 0.5, 0.0);
    expect_rgb(dialog.get_current_rgb_color(), 2.5, 0.5, 0.0, "HDR");
    EXPECT_DOUBLE_EQ(dialog.get_current_hsv_color()[2], 2.5);
    EXPECT_DOUBLE_EQ(dialog.get_field(3).get_value(), 2.5);
    EXPECT_DOUBLE_EQ(dialog.get_field(2).get_value(), 2.5);
    dialog.set_format(GuiColorDialog::FORMAT_PERCENTAGE);
    EXPECT_DOUBLE_EQ(dialog.get_field(3).get_value(), 250.0);
    EXPECT_DOUBLE_EQ(dialog.get_field(0).get_value(), dialog.get_current_hsv_color()[0] * 360.0);
}

TEST_F(DialogTest, ComponentsThatAreNotNumbersAreRefusedOnce)
{
    GuiColorDialog& dialog = make_dialog();
    dialog.set_rgb_color(0.1, 0.2, 0.3);
    GuiColorValue const before = dialog.get_current();
    m_events.clear();
    double const nan = std::numeric_limits<double>::quiet_NaN();
    double const inf = std::numeric_limits<double>::infinity();
    LogRecorder log;
    EXPECT_FALSE(dialog.set_rgb_color(nan, 0.0, 0.0));
    EXPECT_FALSE(dialog.set_current_rgb_color(0.0, inf, 0.0, 1.0));
    EXPECT_FALSE(dialog.set_hsv_color(0.0, 0.0, -inf));
    EXPECT_FALSE(dialog.set_a_color(nan));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    EXPECT_EQ(dialog.get_current(), before);
    EXPECT_EQ(m_events.count(EVT_ID_COLOR_DIALOG_COLOR_CHANGING), 0);
}

TEST_F(DialogTest, TypedHueAndRedChangeA)
{
    GuiColorDialog& dialog = make_dialog();
    dialog.set_rgb_color(1.0, 0.0, 0.0);
    type_into(dialog.get_field(0), "120");
    expect_rgb(dialog.get_current_rgb_color(), 0.0, 1.0, 0.0, "hue 120 degrees");
    expect_rgb(dialog.get_previous().get_rgb(), 1.0, 0.0, 0.0, "B");
    type_into(dialog.get_field(3), "0.5");
    expect_rgb(dialog.get_current_rgb_color(), 0.5, 1.0, 0.0, "red typed");
    EXPECT_NEAR(dialog.get_field(0).get_value(), 360.0 * (1.0 / 6.0 + 1.0 / 12.0), 1e-9);
}

TEST_F(DialogTest, PickingInTheAreaSetsTheOtherTwoComponentsOfTheMode)
{
    GuiColorDialog& dialog = make_dialog();
    dialog.set_hsv_color(1.0 / 3.0, 0.2, 0.2);
    GuiColorPickArea& area = dialog.get_area();
    int const right = area.get_width() - 1;
    // Hue mode: the top-right corner is full saturation and value of the same hue.
    mouse_down(area, area.get_x() + right, area.get_y());
    expect_rgb(dialog.get_current_rgb_color(), 0.0, 1.0, 0.0, "top right");
    // A drag moves A but B stays the colour the drag started from.
    mouse_drag(area, area.get_x(), area.get_y() + area.get_height() - 1);
    mouse_up(area, area.get_x(), area.get_y() + area.get_height() - 1);
    expect_rgb(dialog.get_current_rgb_color(), 0.0, 0.0, 0.0, "bottom left");
    EXPECT_NEAR(dialog.get_previous().get_hsv()[1], 0.2, 1e-12);

    // Red mode: x is blue, y is green, red stays.
    dialog.set_current_rgb_color(0.7, 0.0, 0.0, 1.0);
    dialog.set_mode(GuiColorDialog::MODE_RED);
    EXPECT_EQ(dialog.get_mode_list().get_selected_label(), "Red");
    click_at(area, right, 0);
    expect_rgb(dialog.get_current_rgb_color(), 0.7, 1.0, 1.0, "red mode");
    GMathVec2<int> const marker = area.get_marker();
    EXPECT_EQ(marker, GMathVec2<int>(right, 0));
}

TEST_F(DialogTest, TheStripsSetTheModesComponentAndAlpha)
{
    GuiColorDialog& dialog = make_dialog();
    dialog.set_rgb_color(0.2, 0.4, 0.6);
    dialog.set_mode(GuiColorDialog::MODE_BLUE);
    GuiColorPickStrip& strip = dialog.get_strip();
    click_at(strip, 5, 0);
    expect_rgb(dialog.get_current_rgb_color(), 0.2, 0.4, 1.0, "blue at the top");
    GuiColorPickStrip& alpha = dialog.get_alpha_strip();
    click_at(alpha, 5, alpha.get_height() - 1);
    EXPECT_DOUBLE_EQ(dialog.get_current_a_color(), 0.0);
    expect_rgb(dialog.get_current_rgb_color(), 0.2, 0.4, 1.0, "alpha leaves the colour");
}

TEST_F(DialogTest, PaletteSelectsStoresAndUses)
{
    GuiColorDialog& dialog = make_dialog();
    GuiColorPalette& palette = dialog.get_palette();
    palette.reset();
    GuiColorPaletteView& view = dialog.get_palette_view();
    dialog.set_rgb_color(0.3, 0.3, 0.3);
    m_events.clear();

    // A press in slot 6 (row 1, column 1) selects it and leaves A.
    click_at(view, GuiColorPaletteView::PITCH + 3, GuiColorPaletteView::PITCH + 3);
    EXPECT_EQ(palette.get_selected(), 6);
    EXPECT_EQ(m_events.count(EVT_ID_COLOR_DIALOG_COLOR_CHANGING), 0);
    // Between the cells nothing is selected.
    click_at(view, GuiColorPaletteView::CELL + 1, 3);
    EXPECT_EQ(palette.get_selected(), 6);

    // Store: A into the selected slot; Use: the slot into A.
    dialog.set_current_rgb_color(1.5, 0.25, 0.0, 1.0);
    click_at(dialog.get_store_button(), 10, 10);
    EXPECT_EQ(palette.get_color(6), GMathVec3<double>(1.5, 0.25, 0.0));
    EXPECT_EQ(palette.get_color_bytes(6), GMathVec3<unsigned char>(255, 64, 0));
    click_at(view, 3, 3);
    m_events.clear();
    click_at(dialog.get_use_button(), 10, 10);
    expect_rgb(dialog.get_current_rgb_color(), 1.0, 0.0, 0.0, "slot 0 used");
    EXPECT_EQ(m_events.count(EVT_ID_COLOR_DIALOG_COLOR_CHANGING), 1);

    // A double click uses the slot at once.
    click_at(view, GuiColorPaletteView::PITCH * 4 + 3, 3);
    click_at(view, GuiColorPaletteView::PITCH * 4 + 3, 3, 1);
    expect_rgb(dialog.get_current_rgb_color(), 1.0, 1.0, 1.0, "white by double click");
    EXPECT_EQ(palette.get_selected(), 4);
    palette.reset();
}

TEST_F(DialogTest, EscapeInAFieldPutsTheOpeningColourBackAndCancels)
{
    listen_to_app();
    GuiColorDialog& dialog = make_dialog();
    dialog.set_rgb_color(0.1, 0.2, 0.3);
    dialog.set_current_rgb_color(0.9, 0.9, 0.9, 1.0);
    m_events.clear();
    key_down(dialog.get_field(3).get_edit(), FL_Escape);
    expect_rgb(dialog.get_current_rgb_color(), 0.1, 0.2, 0.3, "opening colour");
    EXPECT_EQ(dialog.get_value(), 1);
    EXPECT_FALSE(dialog.is_shown());
    EXPECT_EQ(m_events.count(EVT_ID_COLOR_DIALOG_COLOR_CANCEL), 1);
    EXPECT_EQ(m_events.count(EVT_ID_COLOR_DIALOG_COLOR_OK), 0);
    EXPECT_EQ(m_disconnected, 1);
}

TEST_F(DialogTest, OkAnswersWithTheColourAsItIs)
{
    listen_to_app();
    GuiColorDialog& dialog = make_dialog();
    dialog.set_rgb_color(0.1, 0.2, 0.3);
    dialog.set_current_rgb_color(0.4, 0.4, 0.4, 1.0);
    click_at(dialog.get_ok_button(), 10, 10);
    EXPECT_EQ(dialog.get_value(), 0);
    EXPECT_FALSE(dialog.is_shown());
    expect_rgb(dialog.get_current_rgb_color(), 0.4, 0.4, 0.4, "kept");
    EXPECT_EQ(m_events.count(EVT_ID_COLOR_DIALOG_COLOR_OK), 1);
    EXPECT_EQ(m_disconnected, 1);
    // Showing it again opens it unanswered.
    dialog.show(Gui::COLOR_DEPTH_RGB);
    EXPECT_EQ(dialog.get_value(), -1);
    EXPECT_FALSE(dialog.get_alpha_strip().is_shown()) << "no alpha for an RGB colour";
    EXPECT_FALSE(dialog.get_field(6).is_shown());
}

// OpenColorIO's own answer for one colour between two spaces of the current configuration.
GMathVec3<float> ocio_convert(char const* from, char const* to, GMathVec3<float> color)
{
    OCIO::ConstConfigRcPtr config = OCIO::Config::CreateFromFile(ColorIO::get_config_path().c_str());
    OCIO::ConstCPUProcessorRcPtr cpu = config->getProcessor(from, to)->getDefaultCPUProcessor();
    float pixel[3] = {color[0], color[1], color[2]};
    cpu->applyRGB(pixel);
    return GMathVec3<float>(pixel[0], pixel[1], pixel[2]);
}

TEST_F(DialogTest, SwatchesShowAInTheChosenSpaceAsOpenColorIOConvertsIt)
{
    ColorIO::reset_config();
    GuiColorDialog& dialog = make_dialog();
    CoreString const linear = ColorIO::get_default_color_space_name();
    for (char const* space : {"sRGB", "Gamma 2.2", "Raw"}) {
        ASSERT_TRUE(dialog.set_color_space(space)) << space;
        EXPECT_EQ(dialog.get_color_space_list().get_selected_label(), space);
        for (double value : {0.02, 0.18, 0.5, 0.9}) {
            dialog.set_rgb_color(value, value * 0.5, 1.0 - value);
            GMathVec3<float> const expected = ocio_convert(
                linear.c_str(), space,
                GMathVec3<float>(static_cast<float>(value), static_cast<float>(value * 0.5),
                                 static_cast<float>(1.0 - value)));
            GMathVec3<unsigned char> const shown = dialog.get_swatches().get_shown(0);
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(shown[c], std::lround(std::clamp(expected[c], 0.0f, 1.0f) * 255.0f), 1)
                    << space << " " << value << " " << c;
        }
    }
    // "Use Default" is the application's colour-picker space.
    ASSERT_TRUE(dialog.set_color_space(GuiColorDialog::USE_DEFAULT));
    EXPECT_EQ(dialog.get_color_space(), "");
    EXPECT_EQ(dialog.get_display_color_space(), app().get_color_picker_color_space_name());
}

TEST_F(DialogTest, BadColourSpacesAndConfigurationsAreReportedOnceAndChangeNothing)
{
    ColorIO::reset_config();
    GuiColorDialog& dialog = make_dialog();
    ASSERT_TRUE(dialog.set_color_space("Gamma 2.2"));
    dialog.set_rgb_color(0.18, 0.18, 0.18);
    GMathVec3<unsigned char> const shown = dialog.get_swatches().get_shown(0);
    CoreString const description = GuiColorDialog::get_color_space_converter().get_description();

    LogRecorder log;
    EXPECT_FALSE(dialog.set_color_space("ACEScg"));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    EXPECT_EQ(dialog.get_color_space(), "Gamma 2.2");

    // A configuration that cannot be read leaves the current one and the dialog as they were.
    SysTempFolder folder;
    EXPECT_FALSE(ColorIO::load_config(folder.get_path() + "/missing.ocio"));
    dialog.update_color_space_converter();
    dialog.set_rgb_color(0.18, 0.18, 0.18);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
    EXPECT_EQ(dialog.get_swatches().get_shown(0), shown);
    EXPECT_EQ(GuiColorDialog::get_color_space_converter().get_description(), description);
    dialog.set_color_space(CoreString());
}

TEST_F(DialogTest, TheApplicationSharesOneDialogUntilReset)
{
    GuiColorDialog* dialog = app().get_color_dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(app().get_color_dialog(), dialog);
    app().reset_color_dialog();
    process_idle(app());
    GuiColorDialog* fresh = app().get_color_dialog();
    ASSERT_NE(fresh, nullptr);
    app().reset_color_dialog();
}

}  // namespace
