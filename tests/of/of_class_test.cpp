#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "host/of/of_attr.h"
#include "host/of/of_attr_table.h"
#include "host/parser/parser_group.h"
#include "tests/of/of_test_scene.h"
#include "tests/support/log_recorder.h"

namespace {

std::vector<std::string> names_of(CoreVector<OfClass const*> const& classes)
{
    std::vector<std::string> names;
    for (OfClass const* of_class : classes) names.push_back(of_class->get_name().std_string());
    return names;
}

std::vector<std::string> strings_of(CoreVector<CoreString> const& strings)
{
    std::vector<std::string> result;
    for (CoreString const& s : strings) result.push_back(s.std_string());
    return result;
}

using Names = std::vector<std::string>;

TEST_F(OfSceneTest, ClassesFormATreeWithCategories)
{
    OfClassFactory& classes = scene.get_classes();
    OfClass const* sphere = classes.get("Sphere");
    ASSERT_TRUE(sphere);
    EXPECT_EQ(sphere->get_base_class(), classes.get("Geometry"));
    EXPECT_FALSE(sphere->is_kindof("Material"));
    EXPECT_EQ(names_of(classes.get("Geometry")->get_children()), (Names{"Sphere", "Box", "Mesh"}));
    EXPECT_EQ(names_of(classes.get_classes_kindof(*classes.get("Geometry"))),
              (Names{"Geometry", "Sphere", "Box", "Mesh"}));
    EXPECT_EQ(names_of(classes.get_classes("*e?")), (Names{"SceneItem", "Wheel"}));
    EXPECT_EQ(names_of(classes.get_classes("m*")), (Names{"Mesh", "Material"}));  // any case

    EXPECT_EQ(names_of(classes.get_category_classes("Geometry")), (Names{"Geometry"}));
    EXPECT_EQ(names_of(classes.get_category_classes("Geometry", true)),
              (Names{"Geometry", "Sphere", "Box", "Mesh"}));
    EXPECT_EQ(names_of(classes.get_category_classes("/Geometry//Primitive/")), (Names{"Sphere", "Box"}));
    EXPECT_EQ(strings_of(classes.get_sub_categories_pathes("")), (Names{"Geometry", "Scene", "Shading"}));
    EXPECT_EQ(strings_of(classes.get_sub_categories_pathes("Geometry")),
              (Names{"Geometry/Polygon", "Geometry/Primitive"}));
    EXPECT_TRUE(classes.get_sub_categories_pathes("Geometry/Primitive").is_empty());

    // Abstract classes are not offered; objects are named after the class.
    EXPECT_FALSE(classes.get("Geometry")->is_ui_creatable());
    EXPECT_EQ(sphere->get_object_default_name(), "sphere");

    // Attributes: inherited first, indexes shared along the tree.
    EXPECT_EQ(sphere->get_attr_index("visible"), 0);
    EXPECT_EQ(classes.get("Box")->get_attr_index("material"), sphere->get_attr_index("material"));

    LogRecorder log;
    EXPECT_EQ(classes.add_class("Sphere"), nullptr);
    EXPECT_EQ(classes.add_class("Cone", "Shape"), nullptr);
    EXPECT_EQ(classes.add_class("9lives"), nullptr);
    // A class with derived classes (or objects) can no longer declare plugs.
    OfClass* geometry = classes.get("Geometry");
    geometry->add_attr("late", OfPlugType::TYPE_BOOL).set_default_bool(true);
    EXPECT_EQ(geometry->get_attr_index("late"), -1);
    classes.get("Mesh")->add_attr("radius", OfPlugType::TYPE_LONG);  // no clash: Mesh has no radius
    classes.get("Mesh")->add_attr("visible", OfPlugType::TYPE_LONG);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 5u) << log.dump();
}

TEST_F(OfSceneTest, DeclarationsDescribeTheirAttributes)
{
    OfClass* lamp = scene.get_classes().add_class("Lamp", "SceneItem");
    OfAttrValues warm(OfPlugType::TYPE_COLOR, 1);
    warm.set_vec3d(0, {1.0, 0.8, 0.6});
    lamp->add_attr("tint", OfPlugType::TYPE_COLOR).add_preset("Warm", warm);
    OfAttr* tint = scene.create_object("Lamp")->get_attr("tint");
    EXPECT_TRUE(tint->apply_preset(0));
    EXPECT_EQ(tint->get_vec3d()[1], 0.8);
    LogRecorder log;
    EXPECT_FALSE(tint->apply_preset(1));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
}

TEST_F(OfSceneTest, IconsFallBackToTheBaseClass)
{
    OfClass* item = scene.get_classes().get("SceneItem");
    CoreVector<unsigned char> pixels(4 * 4 * 4, 200);
    EXPECT_TRUE(item->get_icons().set_image(16, OfIconImage(4, 4, pixels)));
    LogRecorder log;
    EXPECT_FALSE(item->get_icons().set_image(32, OfIconImage(4, 5, pixels)));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    OfClass const* sphere = scene.get_classes().get("Sphere");
    ASSERT_TRUE(sphere->get_icon_image(16));
    EXPECT_EQ(sphere->get_icon_image(16)->get_width(), 4u);
    EXPECT_EQ(sphere->get_icon_image(32), nullptr);
    EXPECT_EQ(item->get_icons().get_nearest_image(48), item->get_icon_image(16));
}

TEST_F(OfSceneTest, ValuesConvertClampAndFollowTheirSource)
{
    OfObject* ball = scene.create_object("Sphere", "ball");
    OfAttr* radius = ball->get_attr("radius");
    OfAttr* segments = ball->get_attr("segments");
    OfAttr* visible = ball->get_attr("visible");
    EXPECT_TRUE(radius->is_default() && !radius->is_local());

    // Scalars convert between bool, long and double.
    EXPECT_TRUE(segments->set_double(7.6));
    EXPECT_EQ(segments->get_long(), 8);
    EXPECT_TRUE(visible->set_long(5));
    EXPECT_EQ(visible->get_long(), 1);
    EXPECT_TRUE(radius->set_double(250.0));
    EXPECT_EQ(radius->get_double(), 100.0);  // clamped to the hard range

    // An instance reads its source until it sets a value of its own.
    OfObject* copy = scene.create_instance(*ball, "");
    EXPECT_EQ(copy->get_attr("radius")->get_double(), 100.0);
    radius->set_double(4.0);
    EXPECT_EQ(copy->get_attr("radius")->get_double(), 4.0);
    copy->get_attr("radius")->set_double(9.0);
    radius->set_double(5.0);
    EXPECT_EQ(copy->get_attr("radius")->get_double(), 9.0);
    EXPECT_TRUE(copy->get_attr("radius")->revert());
    EXPECT_EQ(copy->get_attr("radius")->get_double(), 5.0);
    // Deleting the source leaves the instance with its own values and the class defaults.
    copy->get_attr("segments")->set_long(3);
    ASSERT_TRUE(ball->remove());
    EXPECT_EQ(copy->get_source(), nullptr);
    EXPECT_EQ(copy->get_attr("radius")->get_double(), 1.0);
    EXPECT_EQ(copy->get_attr("segments")->get_long(), 3);
    ASSERT_TRUE(commands().undo());
    EXPECT_EQ(copy->get_attr("radius")->get_double(), 5.0);

    // Variable counts grow with the first default value.
    OfAttr* tags = ball->get_attr("tags");
    EXPECT_EQ(tags->get_value_count(), 1u);
    EXPECT_TRUE(tags->set_value_count(3));
    OfAttrValues two(OfPlugType::TYPE_STRING, 2);
    EXPECT_TRUE(tags->set_values(two));
    EXPECT_EQ(tags->get_value_count(), 2u);
    LogRecorder log;
    EXPECT_FALSE(radius->set_values(two));
    EXPECT_FALSE(radius->set_values(OfAttrValues(OfPlugType::TYPE_DOUBLE, 2)));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
}

TEST_F(OfSceneTest, DuplicateTablesAreRefused)
{
    OfClass* rig = scene.get_classes().add_class("TableRig", "SceneItem");
    rig->add_attr("names", OfPlugType::TYPE_STRING, 2).set_variable(true);
    rig->add_attr_table("rows").add_column("Name", "names");
    LogRecorder log;
    rig->add_attr_table("rows").add_column("Other", "names");
    EXPECT_EQ(rig->get_attr_table_decl("rows")->get_column_count(), 1u);
    OfObject* object = scene.create_object("TableRig", "rig");
    EXPECT_FALSE(OfAttrTable(*object, "none").is_valid());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
}

TEST_F(OfSceneTest, LongValuesStayExactAndClampInIntegers)
{
    OfClass* counter = scene.get_classes().add_class("Counter", "SceneItem");
    counter->add_attr("count", OfPlugType::TYPE_LONG);
    counter->add_attr("level", OfPlugType::TYPE_LONG).set_hard_range(-5.5, 10.5);
    OfObject* object = scene.create_object("Counter", "counter");
    OfAttr* count = object->get_attr("count");
    OfAttr* level = object->get_attr("level");
    int64_t const max = std::numeric_limits<int64_t>::max();
    int64_t const min = std::numeric_limits<int64_t>::min();

    // Without a hard range every value is kept exactly, including those a double rounds.
    for (int64_t value : {max, min, (int64_t(1) << 53) + 1, -(int64_t(1) << 53) - 1}) {
        EXPECT_TRUE(count->set_long(value));
        EXPECT_EQ(count->get_long(), value);
    }
    // Doubles beyond the integer range (or not numbers) are refused and change nothing.
    {
        LogRecorder log;
        EXPECT_FALSE(count->set_double(1e30));
        EXPECT_FALSE(count->set_double(-1e30));
        EXPECT_FALSE(count->set_double(std::nan("")));
        EXPECT_EQ(count->get_long(), -(int64_t(1) << 53) - 1);
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u);
    }
    EXPECT_TRUE(count->set_double(-9223372036854775808.0));
    EXPECT_EQ(count->get_long(), min);

    // A hard range clamps to the whole numbers inside it.
    EXPECT_TRUE(level->set_long(max));
    EXPECT_EQ(level->get_long(), 10);
    EXPECT_TRUE(level->set_long(min));
    EXPECT_EQ(level->get_long(), -5);
    EXPECT_TRUE(level->set_double(-4.6));
    EXPECT_EQ(level->get_long(), -5);
}

TEST_F(OfSceneTest, SerializeWritesWhatDeserializeReads)
{
    OfObject* ball = scene.create_object("Sphere", "ball");
    OfObject* red = scene.create_object("Material", "red");
    OfObject* tex = scene.create_object("Texture", "tex");
    ball->get_attr("radius")->set_double(2.5);
    ball->get_attr("radius")->set_expression("t");
    ball->get_attr("material")->set_object(red);
    ball->get_attr("scale")->set_vec3d({1, 2, 3});
    red->get_attr("texture")->connect(*tex->get_output("rgb"));
    red->get_attr("map")->set_string("a \"quoted\" name");
    tex->get_attr("uv")->set_vec2d({2, 2});

    OfObject* other_ball = scene.create_object("Sphere", "other_ball");
    OfObject* other_red = scene.create_object("Material", "other_red");
    for (auto [from, to] : {std::pair{ball, other_ball}, std::pair{red, other_red}}) {
        ParserGroup group;
        from->serialize(group);
        EXPECT_TRUE(to->deserialize(group));
        ParserGroup copy;
        to->serialize(copy);
        EXPECT_EQ(copy, group);
    }
    EXPECT_EQ(other_red->get_attr("texture")->get_input(), tex->get_output("rgb"));
    EXPECT_EQ(commands().get_undo_label(), "Deserialize");

    ParserGroup bad;
    bad.add_group("height").add_entry("values").add_double(1.0);
    bad.add_group("segments").add_entry("values").add_string("many");
    bad.add_group("material").add_entry("values").add_string("/nowhere");
    bad.add_group("radius").add_entry("values").add_double(7.0);
    LogRecorder log;
    EXPECT_FALSE(other_ball->deserialize(bad));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u) << log.dump();
    EXPECT_EQ(other_ball->get_attr("radius")->get_double(), 7.0);  // the good entry is still read
    EXPECT_TRUE(scene.check_integrity());
}

}  // namespace
