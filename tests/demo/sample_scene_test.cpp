#include <gtest/gtest.h>

#include <string>

#include "demo/sample_scene.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "tests/support/log_recorder.h"

namespace {

// Objects of the scene's contexts and the objects embedded in them.
CoreVector<OfObject*> every_object(OfObjectFactory const& scene)
{
    CoreVector<OfObject*> result;
    for (OfObject* object : scene.get_root().get_all_objects()) {
        result.add(object);
        result.add(object->get_embedded_objects());
    }
    return result;
}

unsigned int context_count(OfContext const& context)
{
    unsigned int count = 1;
    for (OfContext const* child : context.get_contexts()) count += context_count(*child);
    return count;
}

class SampleSceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SampleScene::build(scene));
        scene.get_command_manager().clear();
    }

    std::string dump() const { return scene.dump_text().std_string(); }
    OfObject* object(char const* path) const { return scene.get_object(path); }

    OfObjectFactory scene;
};

TEST_F(SampleSceneTest, BuildIsDeterministicAndOneUndoStep)
{
    OfObjectFactory other;
    {
        // Every value the builder sets is accepted.
        LogRecorder log(CORE_LOG_LEVEL_WARNING);
        ASSERT_TRUE(SampleScene::build(other));
        EXPECT_EQ(log.count(), 0u) << log.dump();
    }
    EXPECT_EQ(other.dump_text().std_string(), dump());

    // The whole build is one step: undone it leaves an empty scene, redone the same one.
    OfCommandManager& commands = other.get_command_manager();
    ASSERT_EQ(commands.get_undo_count(), 1u);
    EXPECT_EQ(commands.get_undo_label(), "Build Sample Scene");
    OfObjectFactory empty;
    ASSERT_TRUE(commands.undo());
    EXPECT_EQ(other.dump_text(), empty.dump_text());

    // A second build into a scene that holds items is refused and changes nothing.
    LogRecorder log;
    EXPECT_FALSE(SampleScene::build(scene));
    EXPECT_TRUE(log.contains("SampleScene.build: the scene is not empty")) << log.dump();
    EXPECT_EQ(scene.get_command_manager().get_undo_count(), 0u);

    // Classes already there are kept; a partial set of them is reported.
    EXPECT_TRUE(SampleScene::register_classes(scene.get_classes()));
    OfObjectFactory clash;
    clash.get_classes().add_class("Sphere");
    EXPECT_FALSE(SampleScene::register_classes(clash.get_classes()));
    EXPECT_FALSE(SampleScene::build(clash));
    EXPECT_TRUE(log.contains("SampleScene.register_classes: 1 of the scene's")) << log.dump();

    // Categories form a tree that creation menus list.
    OfClassFactory const& classes = scene.get_classes();
    CoreVector<OfClass const*> geometry = classes.get_category_classes("Geometry", true);
    EXPECT_TRUE(geometry.contains(classes.get("Sphere")) && geometry.contains(classes.get("Combiner")));
}

TEST_F(SampleSceneTest, ReferencesAndPlugsResolveIntoAConnectedGraph)
{
    unsigned int references = 0, connections = 0;
    for (OfObject* item : every_object(scene)) {
        SCOPED_TRACE(item->get_full_name().std_string());
        for (unsigned int i = 0; i < item->get_attr_count(); ++i) {
            OfAttr const* attr = item->get_attr(i);
            if (attr->get_type() == OfPlugType::TYPE_REFERENCE) {
                for (unsigned int v = 0; v < attr->get_value_count(); ++v) {
                    OfObject* target = attr->get_object(v);
                    if (!target) continue;
                    ++references;
                    EXPECT_TRUE(target->is_kindof(attr->get_object_filter())) << attr->get_name();
                }
            }
            if (attr->is_connected()) {
                ++connections;
                OfOutput const* output = attr->get_input();
                ASSERT_NE(output, nullptr) << attr->get_name();
                // Colours feed colours, intensities feed numbers.
                EXPECT_EQ(output->get_type() == OfPlugType::TYPE_COLOR,
                          attr->get_type() == OfPlugType::TYPE_COLOR)
                    << attr->get_full_name() << " <- " << output->get_full_name();
            }
        }
    }
    EXPECT_GT(references, 300u);
    EXPECT_GT(connections, 50u);

    // Instances read their library source and override only their placement.
    OfObject* handle = object("/geometry/props/block_0/prop_5/handle");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->get_source(), object("/library/vase"));
    EXPECT_TRUE(handle->get_attr("translate")->is_local());
    EXPECT_FALSE(handle->get_attr("radius")->is_local());
}

TEST(SampleSceneSize, ObjectCountScalesLinearly)
{
    // Sizes below the fixed part still make one prop.
    struct Row {
        unsigned int size;
        double objects, tolerance;
    };
    for (Row const& row : {Row{300, 300.0, 15.0}, Row{3000, 3000.0, 60.0}, Row{0, 20.0, 20.0}}) {
        OfObjectFactory scene;
        EXPECT_TRUE(SampleScene::build(scene, row.size));
        EXPECT_NEAR(scene.get_root().get_all_objects().get_count(), row.objects, row.tolerance) << row.size;
        EXPECT_GE(context_count(scene.get_root()), SampleScene::get_prop_count(row.size)) << "a context a prop";
    }
    EXPECT_EQ(SampleScene::get_prop_count(0), 1u);
}

TEST_F(SampleSceneTest, PickedObjectsSpreadOverTheEditableScene)
{
    CoreVector<OfObject*> const all = scene.get_root().get_all_objects();
    CoreVector<OfObject*> const editable = SampleScene::pick_objects(scene, all.get_count() + 10);
    // Everything but the four objects of the reference context, once each, in scene order.
    ASSERT_EQ(editable.get_count(), all.get_count() - 4);
    for (unsigned int i = 1; i < editable.get_count(); ++i)
        ASSERT_LT(all.find(editable[i - 1]), all.find(editable[i]));

    CoreVector<OfObject*> const picked = SampleScene::pick_objects(scene, 40, 3);
    ASSERT_EQ(picked.get_count(), 40u);
    EXPECT_EQ(picked[0], editable[3]);
    // Spread: the last pick lies in the last tenth of the scene.
    EXPECT_GT(editable.find(picked[39]), int(editable.get_count() * 9 / 10));

    EXPECT_TRUE(SampleScene::pick_objects(scene, 0).is_empty());
    EXPECT_TRUE(SampleScene::pick_objects(scene, 5, editable.get_count()).is_empty());
    EXPECT_EQ(SampleScene::pick_objects(scene, 5, editable.get_count() - 2).get_count(), 2u);
}

TEST_F(SampleSceneTest, RenamingIsOneUndoStepAndNothingToRenameMakesNone)
{
    OfCommandManager& commands = scene.get_command_manager();
    std::string const before = dump();
    CoreVector<OfObject*> const picked = SampleScene::pick_objects(scene, 40, 3);
    EXPECT_EQ(SampleScene::rename_objects(picked, "_v2"), 40u);
    EXPECT_NE(picked[0]->get_full_name().std_string().find("_v2"), std::string::npos);
    ASSERT_EQ(commands.get_undo_count(), 1u);
    EXPECT_EQ(SampleScene::rename_objects({}, "_x"), 0u);
    EXPECT_EQ(commands.get_undo_count(), 1u);
    ASSERT_TRUE(commands.undo());
    EXPECT_EQ(dump(), before);
}

}  // namespace
