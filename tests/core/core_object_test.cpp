// Class information, custom data, variants, hashing and logging.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <thread>
#include <vector>

#include "host/core/core_base_object.h"
#include "host/core/core_custom_data.h"
#include "host/core/core_hash.h"
#include "host/core/core_log.h"
#include "host/core/core_variant.h"
#include "tests/support/log_recorder.h"

namespace {

class TestShape : public CoreCustomData {
    CORE_DECLARE_CLASS(TestShape, CoreCustomData)
};
CORE_IMPLEMENT_CLASS(TestShape, CoreCustomData)

class TestCircle : public TestShape {
    CORE_DECLARE_CLASS(TestCircle, TestShape)
};
CORE_IMPLEMENT_CREATABLE_CLASS(TestCircle, TestShape)

class TestSquare : public TestShape {
    CORE_DECLARE_CLASS(TestSquare, TestShape)
};
CORE_IMPLEMENT_CLASS(TestSquare, TestShape)

// Nothing in this program names this class: only its record made at load can find it.
class TestNeverNamed : public TestShape {
    CORE_DECLARE_CLASS(TestNeverNamed, TestShape)
};
CORE_IMPLEMENT_CLASS(TestNeverNamed, TestShape)

}  // namespace

TEST(CoreClassInfo, IsKindofWalksTheParentChain)
{
    TestCircle circle;
    EXPECT_TRUE(circle.is_kindof(CoreBaseObject::class_info()));
    EXPECT_FALSE(circle.is_kindof(TestSquare::class_info()));
    EXPECT_FALSE(TestShape::class_info().is_kindof(TestCircle::class_info()));

    CoreBaseObject const& base = circle;
    EXPECT_EQ(&base.get_class_info(), &TestCircle::class_info());
}

TEST(CoreClassInfo, FindAndCreateByName)
{
    CoreClassInfo const* info = CoreClassInfo::find("TestCircle");
    ASSERT_NE(info, nullptr);
    EXPECT_FALSE(info->is_abstract());
    CoreBaseObject* made = info->create();
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->is_kindof(TestCircle::class_info()));
    delete made;

    EXPECT_TRUE(TestShape::class_info().is_abstract());
    EXPECT_EQ(TestShape::class_info().create(), nullptr);
    EXPECT_EQ(CoreClassInfo::find("NoSuchClass"), nullptr);
}

TEST(CoreClassInfo, EveryClassIsKnownByNameFromTheStart)
{
    CoreClassInfo const* info = CoreClassInfo::find("TestNeverNamed");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->get_parent(), CoreClassInfo::find("TestShape"));
}

TEST(CoreClassInfo, RegisteringANameTwiceWarnsAndKeepsTheFirst)
{
    LogRecorder log;
    CoreClassInfo& again = CoreClassInfo::new_class("TestCircle", nullptr, nullptr);
    EXPECT_EQ(&again, &TestCircle::class_info());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
}

TEST(CoreClassInfo, InitCallbackRunsOnceOnTheNewRecord)
{
    static int calls = 0;
    static CoreClassInfo* seen = nullptr;
    CoreClassInfo& info = CoreClassInfo::new_class("TestInitOnce", nullptr, &CoreBaseObject::class_info(),
                                                   [](CoreClassInfo& record) { ++calls; seen = &record; });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, &info);
}

TEST(CoreCustomData, KeysAreStablePerName)
{
    auto a = CoreCustomData::get_custom_data_key("test_key_a");
    auto b = CoreCustomData::get_custom_data_key("test_key_b");
    EXPECT_NE(a, b);
    EXPECT_EQ(CoreCustomData::get_custom_data_key_name(b), "test_key_b");
    EXPECT_EQ(CoreCustomData::get_custom_data_key_name(0xfffffff0u), "");
}

TEST(CoreCustomData, AddGetSetRemove)
{
    auto key = CoreCustomData::get_custom_data_key("test_data_item");
    auto other = CoreCustomData::get_custom_data_key("test_data_other");
    TestCircle object;
    CoreVariant out(7);
    EXPECT_FALSE(object.get_custom_data(key, out));
    EXPECT_EQ(out, CoreVariant(7));  // untouched when absent

    int payload = 5;
    EXPECT_TRUE(object.add_custom_data(key, CoreVariant(static_cast<void*>(&payload))));
    EXPECT_FALSE(object.add_custom_data(key, CoreVariant(1)));  // already there: unchanged
    ASSERT_TRUE(object.get_custom_data(key, out));
    EXPECT_EQ(out.to_pointer(), &payload);

    object.set_custom_data(key, CoreVariant("text"));
    object.set_custom_data(other, CoreVariant(2.5));
    ASSERT_TRUE(object.get_custom_data(key, out));
    EXPECT_EQ(out.to_string(), "text");

    TestCircle copy;
    static_cast<CoreCustomData&>(copy) = object;
    EXPECT_TRUE(object.remove_custom_data(key));
    EXPECT_FALSE(object.remove_custom_data(key));
    EXPECT_FALSE(object.has_custom_data(key));
    EXPECT_TRUE(copy.has_custom_data(key));  // copies are independent
}

TEST(CoreVariant, ConversionsBetweenKinds)
{
    EXPECT_FALSE(CoreVariant().to_bool() || CoreVariant().is_valid());
    EXPECT_EQ(CoreVariant(-2.75).to_long(), -2);
    EXPECT_EQ(CoreVariant(2.75).to_string(), "2.75");
    EXPECT_EQ(CoreVariant(1e300).to_long(), LLONG_MAX);
    EXPECT_EQ(CoreVariant(std::nan("")).to_long(), 0);
    EXPECT_TRUE(CoreVariant("yes").to_bool());
    EXPECT_FALSE(CoreVariant(static_cast<void*>(nullptr)).to_bool());
    EXPECT_EQ(CoreVariant(5).to_pointer(), nullptr);
    int const constant = 3;
    EXPECT_EQ(CoreVariant(&constant).get_type(), CoreVariant::TYPE_POINTER);  // not a bool
    EXPECT_EQ(CoreVariant(&constant).to_pointer(), &constant);

    EXPECT_EQ(CoreVariant(1), CoreVariant(1L));
    EXPECT_NE(CoreVariant(1), CoreVariant(1.0));  // different kinds
}

// Text reads as an integer exactly (beyond the 53 bits a double holds), a fraction
// truncates toward zero, an exponent scales and out-of-range values saturate.
TEST(CoreVariant, TextToLong)
{
    struct Row {
        char const* text;
        long long expected;
    } const rows[] = {
        {"9007199254740993", 9007199254740993LL},
        {"9223372036854775807", LLONG_MAX},
        {"-9223372036854775808", LLONG_MIN},
        {"99999999999999999999", LLONG_MAX},
        {"9007199254740993.75", 9007199254740993LL},
        {"-2.5", -2},
        {"-0.5", 0},
        {"1.5e3", 1500},
        {"1e30", LLONG_MAX},
        {"12abc", 12},
        {"", 0},
    };
    for (Row const& row : rows) EXPECT_EQ(CoreVariant(row.text).to_long(), row.expected) << row.text;
}

TEST(CoreHash, OneAtATimeKnownValues)
{
    EXPECT_EQ(CoreHash::generate_jenkins("a"), 0xca2e9442u);
    EXPECT_EQ(CoreHash::generate_jenkins("The quick brown fox jumps over the lazy dog"), 0x519e91f5u);
    EXPECT_EQ(CoreHash::generate_jenkins(""), 0u);
    unsigned char bytes[] = {'a', 0, 'b'};
    EXPECT_NE(CoreHash::generate_jenkins(bytes, 3), CoreHash::generate_jenkins("a"));
    EXPECT_EQ(CoreString("a").get_hash(), 0xca2e9442u);

    EXPECT_NE(CoreHash::combine(1, 2), CoreHash::combine(2, 1));
    EXPECT_NE(CoreHash::combine(0, 0), 0u);
}

TEST(CoreLogHandler, VerbosityGatesMessageConstruction)
{
    LogRecorder log(CORE_LOG_LEVEL_WARNING);
    int built = 0;
    auto build = [&built]() { ++built; return "text"; };
    CORE_LOG_INFO("Test.info: " << build() << "\n");
    EXPECT_EQ(built, 0);  // not admitted: the message was never built
    CORE_LOG_WARNING("Test.warn: " << build() << " " << 3 << "\n");
    EXPECT_EQ(built, 1);
    CORE_LOG_ERROR("Test.error: " << true << "\n");
    ASSERT_EQ(log.count(), 2u);
    EXPECT_EQ(log.get_messages()[0].text, "Test.warn: text 3\n");
    EXPECT_EQ(log.get_messages()[1].level, CORE_LOG_LEVEL_ERROR);
    EXPECT_EQ(log.get_messages()[1].text, "Test.error: true\n");
}

// A null handler would crash the next message: it stands for the default one.
TEST(CoreLogHandler, ANullHandlerMeansTheDefaultOne)
{
    CoreLogHandler* previous = CoreLogHandler::set_main_log_handler(nullptr);
    EXPECT_EQ(CoreLogHandler::get_main_log_handler(), &CoreLogHandler::get_default_handler());
    CoreLogHandler::set_main_log_handler(previous);
}

TEST(CoreLogHandler, ThreadsLogWhileHandlersAndVerbosityChange)
{
    LogRecorder first(CORE_LOG_LEVEL_WARNING);
    {
        LogRecorder second(CORE_LOG_LEVEL_WARNING);
        std::atomic<bool> stop{false};
        std::vector<std::thread> writers;
        for (int t = 0; t < 4; ++t) {
            writers.emplace_back([&stop]() {
                while (!stop.load()) CORE_LOG_WARNING("Test.thread: message\n");
            });
        }
        for (int i = 0; i < 2000; ++i) {
            CoreLogHandler::set_main_log_handler(i % 2 ? static_cast<CoreLogHandler*>(&first) : &second);
            second.set_verbosity(i % 3 ? CORE_LOG_LEVEL_WARNING : CORE_LOG_LEVEL_ERROR);
        }
        stop = true;
        for (std::thread& writer : writers) writer.join();
        CoreLogHandler::set_main_log_handler(&second);  // restored to `first` when `second` goes
    }
    EXPECT_EQ(CoreLogHandler::get_main_log_handler(), &first);
    for (auto const& message : first.get_messages()) EXPECT_EQ(message.text, "Test.thread: message\n");
}
