// The application's unit settings: values written and read through them, and the events
// that tell fields to show their values again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/app/app_base.h"
#include "host/app/app_units.h"
#include "tests/support/log_recorder.h"

namespace {

class AppUnitsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppUnits::reset();
        EventObject::connect(m_app, EVT_ID_APPLICATION_UNIT_SYSTEM_CHANGE, &AppUnitsTest::on_event, this);
        EventObject::connect(m_app, EVT_ID_APPLICATION_FPS_CHANGED, &AppUnitsTest::on_event, this);
    }
    void TearDown() override
    {
        AppUnits::reset();
        GMathUnits::set_used_fps(24.0);
    }

    static void on_event(EventObject&, EventObject::EventInfo const& info, void* data)
    {
        AppUnitsTest* test = static_cast<AppUnitsTest*>(data);
        std::string entry = info.get_name().std_string();
        if (info.get_event_data())
            entry += std::string(" ") +
                     GMathUnits::get_kind_label(*static_cast<GMathUnits::Kind*>(info.get_event_data()));
        test->m_events.push_back(entry);
    }

    AppBase m_app;
    std::vector<std::string> m_events;
};

}  // namespace

TEST_F(AppUnitsTest, WritesAndReadsValuesInTheCurrentSystem)
{
    struct Row {
        char const* type;
        char const* system;
        GMathUnits::Format format;
        double value;  // in the base unit
        char const* text;
    };
    Row const rows[] = {
        {"", "", GMathUnits::FORMAT_VALUE, 1.25, "1.25"},
        {"distance", "cm", GMathUnits::FORMAT_VALUE, 0.25, "25"},
        {"length", "cm", GMathUnits::FORMAT_VALUE_UNIT, 0.25, "25cm"},
        {"distance", "m", GMathUnits::FORMAT_AUTO_UNIT, 1500.0, "1.5km"},
        {"time", "f", GMathUnits::FORMAT_VALUE_UNIT, 2.0, "48f"},
    };
    for (Row const& row : rows) {
        SCOPED_TRACE(std::string(row.type) + " " + row.system);
        AppUnits::reset();
        if (*row.type) {
            ASSERT_TRUE(AppUnits::set_unit_system(row.type, row.system));
            ASSERT_TRUE(AppUnits::set_unit_format(row.type, row.format));
        }
        EXPECT_EQ(AppUnits::get_value_with_unit_from_value(row.value, row.type, 3), row.text);
        double read = -1.0;
        ASSERT_TRUE(AppUnits::get_value_from_str_with_unit(row.text, row.type, read));
        EXPECT_NEAR(read, row.value, 1e-9);
    }
}

TEST_F(AppUnitsTest, ChangesRaiseOneEventCarryingTheKind)
{
    ASSERT_TRUE(AppUnits::set_unit_system("distance", "cm"));
    ASSERT_TRUE(AppUnits::set_unit_system("length", "cm"));  // the same: no event
    ASSERT_TRUE(AppUnits::set_unit_format("angle", GMathUnits::FORMAT_VALUE_UNIT));
    ASSERT_TRUE(AppUnits::set_fps(25.0));
    ASSERT_TRUE(AppUnits::set_fps(25.0));
    EXPECT_EQ(m_events, (std::vector<std::string>{"EVT_ID_APPLICATION_UNIT_SYSTEM_CHANGE length",
                                                  "EVT_ID_APPLICATION_UNIT_SYSTEM_CHANGE angle",
                                                  "EVT_ID_APPLICATION_FPS_CHANGED"}));
    EXPECT_EQ(AppUnits::get_fps(), 25.0);
}

TEST_F(AppUnitsTest, RefusesBadSettingsAndKeepsTheCurrentOnes)
{
    ASSERT_TRUE(AppUnits::set_unit_system("distance", "cm"));
    m_events.clear();
    CoreVector<CoreString> const auto_units = AppUnits::get_settings("distance").auto_units;
    LogRecorder log(CORE_LOG_LEVEL_WARNING);
    EXPECT_FALSE(AppUnits::set_unit_system("distance", "deg"));
    EXPECT_FALSE(AppUnits::set_unit_system("weight", "kg"));
    EXPECT_FALSE(AppUnits::set_unit_system("", "m"));
    EXPECT_FALSE(AppUnits::set_unit_base("time", "parsec"));
    EXPECT_FALSE(AppUnits::set_unit_format("time", GMathUnits::FORMAT_COUNT));
    EXPECT_FALSE(AppUnits::set_auto_units("distance", {CoreString("m"), CoreString("s")}));
    EXPECT_FALSE(AppUnits::set_fps(0.0));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING) + log.count(CORE_LOG_LEVEL_ERROR), 7u) << log.dump();
    EXPECT_TRUE(m_events.empty());
    EXPECT_EQ(AppUnits::get_unit_system("distance"), "cm");
    EXPECT_EQ(AppUnits::get_unit_base("time"), "");
    EXPECT_TRUE(AppUnits::get_settings("distance").auto_units == auto_units);
    EXPECT_EQ(AppUnits::get_fps(), 24.0);
}
