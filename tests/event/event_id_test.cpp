#include <gtest/gtest.h>

#include "host/core/core_hash.h"
#include "host/event/event_id.h"
#include "tests/support/log_recorder.h"

EVENT_DECLARE_ID(, EVT_ID_TEST_REGISTERED);
EVENT_DEFINE_ID(EVT_ID_TEST_REGISTERED);

TEST(EventId, ConstantsCarryTheirOwnNameAndAreRegisteredByAddress)
{
    EXPECT_EQ(EVT_ID_TEST_REGISTERED, "EVT_ID_TEST_REGISTERED");
    EXPECT_TRUE(event_is_registered_id(&EVT_ID_TEST_REGISTERED));
    CoreString copy(EVT_ID_TEST_REGISTERED);
    EXPECT_FALSE(event_is_registered_id(&copy));

    LogRecorder log;
    {
        // A second constant with the same text (another library defining the same name) is
        // registered too, is no collision, and is forgotten when it goes away.
        CoreString twin("EVT_ID_TEST_REGISTERED");
        EventIdRegistration registration(twin);
        EXPECT_TRUE(event_is_registered_id(&twin));
        EXPECT_TRUE(event_is_registered_id(&EVT_ID_TEST_REGISTERED));
        EXPECT_EQ(log.count(), 0u) << log.dump();
    }
    EXPECT_TRUE(event_is_registered_id(&EVT_ID_TEST_REGISTERED));
}

TEST(EventId, DifferentNamesWithTheSameHashAreReportedOnce)
{
    // Two names found by brute force to share their one-at-a-time hash.
    CoreString const first("EVT_ID_CNCE");
    CoreString const second("EVT_ID_GAAA");
    unsigned int const hash = CoreHash::generate_jenkins(first.get_data(), first.get_length());
    ASSERT_EQ(hash, CoreHash::generate_jenkins(second.get_data(), second.get_length()));

    LogRecorder log;
    EXPECT_FALSE(event_debug_collisions(hash, first));
    EXPECT_FALSE(event_debug_collisions(hash, first));
    EXPECT_EQ(log.count(), 0u) << log.dump();

    EXPECT_TRUE(event_debug_collisions(hash, second));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();

    // Both names are now known: checking either again is no new collision.
    log.clear();
    EXPECT_FALSE(event_debug_collisions(hash, second));
    EXPECT_FALSE(event_debug_collisions(hash, first));
    EXPECT_EQ(log.count(), 0u) << log.dump();
}
