// Orders of scene items: the natural name order, each column's order and its ties, and the
// direction of a sort.
#include <string>
#include <vector>

#include "demo/sample_scene.h"
#include "gui/explorer/gui_of_item_sort.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

namespace {

int sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// A scene with the sample classes and one context of named objects.
class ItemSortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SampleScene::register_classes(m_scene.get_classes()));
        m_context = m_scene.create_context("things");
    }
    OfObject* make(char const* name, char const* class_name = "Sphere")
    {
        OfObject* object = m_scene.create_object(class_name, name, m_context);
        EXPECT_NE(object, nullptr) << name;
        return object;
    }
    std::vector<std::string> sorted(std::vector<OfItem*> const& items, int key, int order)
    {
        std::vector<name_and_number_for_qsort> records(items.size());
        for (size_t i = 0; i < items.size(); ++i) GuiOfItemSort::make_record(*items[i], records[i]);
        GuiOfItemSort::sort(records, key, order);
        std::vector<std::string> names;
        for (auto const& record : records) names.push_back(record.item->get_name().std_string());
        return names;
    }

    OfObjectFactory m_scene;
    OfContext* m_context = nullptr;
};

}  // namespace

TEST(ItemSortNames, NaturalOrderComparesBasesBytewiseThenTrailingNumbers)
{
    struct Row {
        char const* a;
        char const* b;
        int expected;
    };
    Row const rows[] = {
        {"item2", "item10", -1},   {"item10", "item2", 1},     {"item", "item1", -1},
        {"Item2", "item10", -1},   {"item10", "ITEM10", 0},    {"item01", "item1", 0},
        {"cube_9", "cube_10", -1}, {"wheel", "wheel_1", -1},   {"a10b", "a9b", -1},
        {"abc", "abd", -1},        {"z", "\xc3\xa9t\xc3\xa9", -1}, {"", "a", -1},
        {"light3", "lamp40", 1},   {"x4294967296", "x1", 1},
    };
    for (Row const& row : rows) {
        SCOPED_TRACE(std::string(row.a) + " vs " + row.b);
        EXPECT_EQ(sign(GuiOfItemSort::compare_names(row.a, row.b)), row.expected);
        EXPECT_EQ(sign(GuiOfItemSort::compare_names(row.b, row.a)), -row.expected);
    }
}

TEST_F(ItemSortTest, TrailingNumbersSortAscendingAndDescending)
{
    std::vector<OfItem*> const items = {make("prop10"), make("prop2"), make("prop1")};
    EXPECT_EQ(sorted(items, GuiOfItemSort::KEY_NAME, 1), (std::vector<std::string>{"prop1", "prop2", "prop10"}));
    EXPECT_EQ(sorted(items, GuiOfItemSort::KEY_NAME, -1), (std::vector<std::string>{"prop10", "prop2", "prop1"}));
    EXPECT_EQ(sorted(items, GuiOfItemSort::KEY_NAME, 0), (std::vector<std::string>{"prop10", "prop2", "prop1"}));
}

TEST_F(ItemSortTest, EqualModificationTimesFallBackToNames)
{
    // Items made within one second share their time; try again across a second's edge.
    for (int attempt = 0; attempt < 3; ++attempt) {
        m_scene.clear();
        m_context = m_scene.create_context("things");
        OfObject* b = make("b");
        OfObject* a = make("a");
        if (a->get_modification_time() != b->get_modification_time()) continue;
        EXPECT_EQ(sorted({b, a}, GuiOfItemSort::KEY_MODIFICATION_DATE, 1), (std::vector<std::string>{"a", "b"}));
        EXPECT_EQ(sorted({b, a}, GuiOfItemSort::KEY_CREATION_DATE, -1), (std::vector<std::string>{"b", "a"}));
        return;
    }
    FAIL() << "no two objects were made within one second";
}

TEST_F(ItemSortTest, ColumnOrdersBreakTiesByName)
{
    OfObject* lamp = make("lamp", "LightPoint");
    OfObject* ball2 = make("ball2");
    OfObject* ball10 = make("ball10");
    OfObject* crate = make("crate", "Box");
    std::vector<OfItem*> const items = {lamp, ball10, crate, ball2};
    EXPECT_EQ(sorted(items, GuiOfItemSort::KEY_TYPE, 1), (std::vector<std::string>{"crate", "lamp", "ball2", "ball10"}));

    ASSERT_TRUE(ball10->set_colortag(1));
    ASSERT_TRUE(crate->set_colortag(3));
    ASSERT_TRUE(lamp->set_colortag(1));
    // Tagged items by tag, untagged ones last.
    EXPECT_EQ(sorted(items, GuiOfItemSort::KEY_COLOR, 1), (std::vector<std::string>{"ball10", "lamp", "crate", "ball2"}));

    ASSERT_TRUE(crate->set_comment("a box"));
    ASSERT_TRUE(ball2->set_comment("a ball"));
    EXPECT_EQ(sorted(items, GuiOfItemSort::KEY_COMMENT, 1), (std::vector<std::string>{"ball10", "lamp", "ball2", "crate"}));
}

TEST_F(ItemSortTest, ItemsHoldingObjectsComeFirst)
{
    OfContext* full = m_scene.create_context("full", m_context);
    OfContext* empty = m_scene.create_context("empty", m_context);
    ASSERT_NE(m_scene.create_object("Sphere", "inside", full), nullptr);
    OfObject* plain = make("plain");
    OfObject* layer = make("layer", "ShadingLayer");
    ASSERT_NE(layer->add_embedded_object("ShadingRule", "rule"), nullptr);
    EXPECT_EQ(sorted({plain, empty, layer, full}, GuiOfItemSort::KEY_HAS_OBJECT, 1),
              (std::vector<std::string>{"full", "layer", "empty", "plain"}));
}

TEST_F(ItemSortTest, InstancesSortBySourceName)
{
    OfObject* zebra = make("zebra");
    OfObject* apple = make("apple");
    OfObject* one = m_scene.create_instance(*zebra, "one", m_context);
    OfObject* two = m_scene.create_instance(*apple, "two", m_context);
    ASSERT_TRUE(one && two);
    EXPECT_EQ(GuiOfItemSort::get_source_name(*one), "zebra");
    // Objects without a source (an empty name) first.
    EXPECT_EQ(sorted({one, two, zebra}, GuiOfItemSort::KEY_SOURCE, 1), (std::vector<std::string>{"zebra", "two", "one"}));
}
