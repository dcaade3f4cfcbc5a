// Number edits: typed entries with units and relative operators, clamping, display formats,
// bad entries, the null state, and showing the value again when the units change.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <string>

#include "gui/fields/gui_number_edit.h"
#include "host/app/app_units.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/log_recorder.h"

namespace {

class NumberEditTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        AppUnits::reset();
    }
    void TearDown() override
    {
        AppUnits::reset();
        AppUnits::set_fps(24.0);
        ControlsTest::TearDown();
    }

    GuiNumberEdit& make_edit(CoreString const& unit_type = CoreString())
    {
        GuiNumberEdit* edit = new GuiNumberEdit(window(), 20, 40, 120, 20);
        edit->set_unit_type(unit_type);
        shown(edit);
        m_log.listen(*edit, {&EVT_ID_LINE_EDIT_CHANGED});
        return *edit;
    }

    // Types `text` over the whole entry and presses Return, as a user would.
    static void enter(GuiNumberEdit& edit, std::string const& text)
    {
        edit.set_focus();
        edit.select_all();
        edit.insert_text(CoreString(text));
        key_down(edit, FL_Enter);
    }
};

}  // namespace

TEST_F(NumberEditTest, ReadsPlainAndRelativeEntries)
{
    struct Row {
        char const* unit_type;
        char const* system;  // the application's, for the unit type
        double start;        // in the base unit
        char const* entry;
        double value;
        char const* text;
        char op;
    };
    Row const rows[] = {
        {"", "", 2.0, "+=5", 7.0, "7", '+'},
        {"", "", 2.0, "+5", 5.0, "5", 0},         // no "=": a signed value
        {"", "", 2.0, "  *=2", 4.0, "4", '*'},    // blanks before the operator
        {"", "", 2.0, "\t-=0.5", 1.5, "1.5", '-'},
        {"", "", 3.0, "/=2", 1.5, "1.5", '/'},
        {"", "", 2.0, "-=-1", 3.0, "3", '-'},
        {"distance", "cm", 0.25, "+=5", 0.30, "30", '+'},    // the operand in the system unit
        {"distance", "cm", 0.25, "+=1in", 0.2754, "27.54", '+'},
        {"distance", "cm", 0.25, "*=2", 0.5, "50", '*'},     // a factor, not 2 cm
        {"distance", "cm", 0.25, "1m", 1.0, "100", 0},
        {"time", "f", 1.0, "+=12", 1.5, "36", '+'},           // frames at 24 fps
    };
    for (Row const& row : rows) {
        SCOPED_TRACE(std::string(row.unit_type) + " " + row.entry);
        AppUnits::reset();
        if (*row.unit_type) {
            ASSERT_TRUE(AppUnits::set_unit_system(row.unit_type, row.system));
        }
        GuiNumberEdit& edit = make_edit(row.unit_type);
        edit.set_value(row.start);
        m_log.clear();
        enter(edit, row.entry);
        EXPECT_NEAR(edit.get_value(), row.value, 1e-12);
        EXPECT_EQ(edit.get_text(), row.text);
        EXPECT_EQ(edit.get_expression_operator(), row.op);
        EXPECT_EQ(m_log.count(EVT_ID_LINE_EDIT_CHANGED), 1);
        edit.destroy();
    }
}

TEST_F(NumberEditTest, BadEntriesWarnOnceAndKeepTheValue)
{
    GuiNumberEdit& edit = make_edit("distance");
    edit.set_value(1.5);
    enter(edit, "*=3");  // a pending expression that bad entries must leave alone
    ASSERT_EQ(edit.get_value(), 4.5);
    m_log.clear();
    char const* const entries[] = {"+=", "abc", "", "/=0", "5 parsecs", "2deg", "*=1e308"};
    for (char const* entry : entries) {
        SCOPED_TRACE(entry);
        if (std::string(entry) == "*=1e308") edit.set_value(1e300, false);  // overflows to infinity
        double const before = edit.get_value();
        LogRecorder log(CORE_LOG_LEVEL_WARNING);
        enter(edit, entry);
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
        EXPECT_EQ(edit.get_value(), before);
        EXPECT_EQ(edit.get_text(), edit.format_value(before));
        EXPECT_EQ(edit.get_expression_operator(), '*');
        EXPECT_EQ(edit.get_expression_value(), 3.0);
    }
    EXPECT_EQ(m_log.count(EVT_ID_LINE_EDIT_CHANGED), 0);
}

TEST_F(NumberEditTest, ClampsToIntegerLimitsAndTheRange)
{
    struct Row {
        GuiNumberEdit::Format format;
        bool range;
        double min, max, value, expected;
    };
    Row const rows[] = {
        {GuiNumberEdit::FORMAT_INTEGER, false, 0, 0, 3e9, 2147483647.0},
        {GuiNumberEdit::FORMAT_INTEGER, false, 0, 0, -3e9, -2147483648.0},
        {GuiNumberEdit::FORMAT_INTEGER, true, -1e300, 1e300, 1e17, 9007199254740992.0},
        {GuiNumberEdit::FORMAT_INTEGER, true, -1e300, 1e300, -1e17, -9007199254740992.0},
        {GuiNumberEdit::FORMAT_INTEGER, true, 0, 10, -4, 0},
        {GuiNumberEdit::FORMAT_FLOAT, false, 0, 0, 3e9, 3e9},
        {GuiNumberEdit::FORMAT_FLOAT, true, 0, 1, 1.5, 1},
    };
    GuiNumberEdit& edit = make_edit();
    for (Row const& row : rows) {
        SCOPED_TRACE(row.value);
        edit.enable_range(false);
        edit.set_format(row.format);
        edit.set_range(row.min, row.max);
        edit.enable_range(row.range);
        edit.set_value(row.value);
        EXPECT_EQ(edit.get_value(), row.expected);
    }
    // Typed entries are clamped the same way.
    edit.enable_range(false);
    edit.set_format(GuiNumberEdit::FORMAT_INTEGER);
    enter(edit, "3e9");
    EXPECT_EQ(edit.get_value(), 2147483647.0);
    EXPECT_EQ(edit.get_text(), "2147483647");
}

TEST_F(NumberEditTest, EnablingTheRangeClampsAndBadRangesAreRefused)
{
    GuiNumberEdit& edit = make_edit();
    edit.set_value(5.0);
    edit.set_range(0.0, 2.0);
    EXPECT_EQ(edit.get_value(), 5.0);  // not enabled yet
    edit.enable_range(true);
    EXPECT_EQ(edit.get_value(), 2.0);
    LogRecorder log(CORE_LOG_LEVEL_WARNING);
    edit.set_range(3.0, 1.0);
    edit.set_value(std::nan(""));
    edit.set_value(3.0);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
    EXPECT_EQ(edit.get_value(), 2.0);
}

TEST_F(NumberEditTest, ShowsTheValueWithItsPrecisionAndUnit)
{
    ASSERT_TRUE(AppUnits::set_unit_system("distance", "cm"));
    ASSERT_TRUE(AppUnits::set_unit_format("distance", GMathUnits::FORMAT_VALUE_UNIT));
    struct Row {
        GuiNumberEdit::Format display;
        unsigned int precision;
        char const* text;
        double shown;  // get_value_with_precision, in m
    };
    Row const rows[] = {
        {GuiNumberEdit::FORMAT_FLOAT, 3, "12.346cm", 0.12346},
        {GuiNumberEdit::FORMAT_FLOAT, 1, "12.3cm", 0.123},
        {GuiNumberEdit::FORMAT_INTEGER, 3, "12cm", 0.12},
    };
    GuiNumberEdit& edit = make_edit("distance");
    edit.set_value(0.1234567);
    for (Row const& row : rows) {
        SCOPED_TRACE(row.text);
        edit.set_display_format(row.display);
        edit.set_float_precision(row.precision);
        EXPECT_EQ(edit.get_text(), row.text);
        EXPECT_NEAR(edit.get_value_with_precision(), row.shown, 1e-15);
        EXPECT_EQ(edit.get_value(), 0.1234567);
    }
}

TEST_F(NumberEditTest, ForcedUnitsReplaceTheApplicationsOnes)
{
    ASSERT_TRUE(AppUnits::set_unit_system("distance", "cm"));
    GuiNumberEdit& edit = make_edit("distance");
    edit.set_value(0.5);
    edit.set_force_unit_system("mm");
    edit.set_force_unit_format("FORMAT_VALUE_UNIT");
    EXPECT_EQ(edit.get_text(), "500mm");
    edit.set_force_unit_base("cm");  // values are now stored in cm
    edit.set_value(2.0);
    EXPECT_EQ(edit.get_text(), "20mm");
    LogRecorder log(CORE_LOG_LEVEL_WARNING);
    edit.set_force_unit_system("deg");
    edit.set_force_unit_format("FORMAT_SOMETHING");
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
    EXPECT_EQ(edit.get_text(), "20mm");
}

TEST_F(NumberEditTest, ShowsTheValueAgainWhenUnitsOrFrameRateChange)
{
    GuiNumberEdit& length = make_edit("distance");
    GuiNumberEdit& time = make_edit("time");
    length.set_value(0.25);
    time.set_value(2.0);
    ASSERT_TRUE(AppUnits::set_unit_system("time", "f"));
    EXPECT_EQ(time.get_text(), "48");
    EXPECT_EQ(length.get_text(), "0.25");
    ASSERT_TRUE(AppUnits::set_unit_system("distance", "cm"));
    EXPECT_EQ(length.get_text(), "25");
    ASSERT_TRUE(AppUnits::set_fps(25.0));
    EXPECT_EQ(time.get_text(), "50");
    EXPECT_EQ(time.get_value(), 2.0);
}

TEST_F(NumberEditTest, NullStateStandsForSeveralValuesUntilAValueComes)
{
    GuiNumberEdit& edit = make_edit();
    edit.set_value(2.0);
    edit.set_null(true);
    EXPECT_TRUE(edit.is_null());
    EXPECT_TRUE(edit.get_text().is_empty() || edit.get_text() == edit.get_null_value());
    // Leaving it untouched keeps it null; a relative entry applies and is kept for the others.
    GuiNumberEdit& other = make_edit();
    edit.set_focus();
    other.set_focus();
    EXPECT_TRUE(edit.is_null());
    EXPECT_EQ(m_log.count(EVT_ID_LINE_EDIT_CHANGED), 0);
    enter(edit, "*=3");
    EXPECT_FALSE(edit.is_null());
    EXPECT_EQ(edit.get_value(), 6.0);
    EXPECT_EQ(edit.get_expression_operator(), '*');
    EXPECT_EQ(edit.get_expression_value(), 3.0);
    edit.set_null(true);
    edit.set_value(1.0);
    EXPECT_FALSE(edit.is_null());
    EXPECT_EQ(edit.get_text(), "1");
    EXPECT_EQ(edit.get_expression_operator(), 0);
}
