#include <gtest/gtest.h>

#include <set>
#include <string>

#include "demo/sample_scene.h"
#include "host/of/of_attr.h"
#include "host/of/of_attr_table.h"
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
    EXPECT_TRUE(scene.check_integrity());

    // The whole build is one step: undone it leaves an empty scene, redone the same one.
    OfCommandManager& commands = other.get_command_manager();
    ASSERT_EQ(commands.get_undo_count(), 1u);
    EXPECT_EQ(commands.get_undo_label(), "Build Sample Scene");
    OfObjectFactory empty;
    ASSERT_TRUE(commands.undo());
    EXPECT_EQ(other.dump_text(), empty.dump_text());
    ASSERT_TRUE(commands.redo());
    EXPECT_EQ(other.dump_text().std_string(), dump());
    EXPECT_TRUE(other.check_integrity());

    // A second build into a scene that holds items is refused and changes nothing.
    LogRecorder log;
    EXPECT_FALSE(SampleScene::build(scene));
    EXPECT_TRUE(log.contains("SampleScene.build: the scene is not empty")) << log.dump();
    EXPECT_EQ(scene.get_command_manager().get_undo_count(), 0u);
    EXPECT_EQ(scene.get_context("/geometry1"), nullptr);

    // Classes already there are kept; a partial set of them is reported.
    EXPECT_TRUE(SampleScene::register_classes(scene.get_classes()));
    OfObjectFactory clash;
    clash.get_classes().add_class("Sphere");
    EXPECT_FALSE(SampleScene::register_classes(clash.get_classes()));
    EXPECT_FALSE(SampleScene::build(clash));
    EXPECT_TRUE(log.contains("SampleScene.register_classes: 1 of the scene's")) << log.dump();
}

TEST_F(SampleSceneTest, EveryClassIsUsedAndDocumented)
{
    OfClassFactory const& classes = scene.get_classes();
    std::set<std::string> used;
    for (OfObject* item : every_object(scene)) used.insert(item->get_class_name().std_string());

    std::set<int> types;
    std::set<int> hints;
    bool has_presets = false, has_ranges = false, has_enum_docs = false, has_table = false;
    for (CoreString const& name : SampleScene::get_class_names()) {
        SCOPED_TRACE(name.std_string());
        OfClass const* of_class = classes.get(name);
        ASSERT_NE(of_class, nullptr);
        EXPECT_FALSE(of_class->get_class_doc().is_empty());
        EXPECT_NE(of_class->get_icon_image(16), nullptr);
        EXPECT_EQ(used.count(name.std_string()), of_class->is_abstract() ? 0u : 1u);
        for (unsigned int i = 0; i < of_class->get_attr_count(); ++i) {
            OfAttrDecl const* decl = of_class->get_attr_decl(i);
            EXPECT_FALSE(decl->get_doc().is_empty()) << decl->get_name();
            types.insert(decl->get_type());
            hints.insert(decl->get_visual_hint());
            has_presets |= decl->has_preset();
            has_ranges |= decl->has_hard_range() && decl->has_soft_range();
            if (decl->get_enum())
                for (unsigned int e = 0; e < decl->get_enum()->get_value_count(); ++e)
                    has_enum_docs |= !decl->get_enum()->get_doc(e).is_empty();
            if (decl->get_type() == OfPlugType::TYPE_FILENAME &&
                decl->get_visual_hint() != OfPlugType::VISUAL_HINT_FOLDER) {
                EXPECT_FALSE(decl->get_filename_extensions().is_empty()) << decl->get_name();
            }
            if (decl->get_type() == OfPlugType::TYPE_REFERENCE) {
                EXPECT_TRUE(classes.exists(decl->get_object_filter())) << decl->get_name();
            }
        }
        for (unsigned int i = 0; i < of_class->get_output_count(); ++i)
            EXPECT_FALSE(of_class->get_output_decl(i)->get_doc().is_empty());
        has_table |= of_class->get_attr_table_count() > 0;
    }
    // Every kind of attribute value, every visual hint (colours need none: their type says
    // it), and the other declarations.
    for (int type = OfPlugType::TYPE_BOOL; type <= OfPlugType::TYPE_REFERENCE; ++type)
        EXPECT_EQ(types.count(type), 1u) << OfPlugType::get_type_name(OfPlugType::Type(type));
    for (int hint = OfPlugType::VISUAL_HINT_DEFAULT; hint < OfPlugType::VISUAL_HINT_COUNT; ++hint) {
        if (hint == OfPlugType::VISUAL_HINT_COLOR) continue;
        EXPECT_EQ(hints.count(hint), 1u) << OfPlugType::get_visual_hint_name(OfPlugType::VisualHint(hint));
    }
    EXPECT_TRUE(has_presets && has_ranges && has_enum_docs && has_table);

    // Categories form a tree under the top levels that creation menus list.
    CoreVector<CoreString> top = classes.get_sub_categories_pathes("");
    for (char const* category : {"Camera", "Geometry", "Light", "Material", "Render", "Scene", "Texture"})
        EXPECT_TRUE(top.contains(category)) << category;
    CoreVector<OfClass const*> geometry = classes.get_category_classes("Geometry", true);
    EXPECT_TRUE(geometry.contains(classes.get("Sphere")) && geometry.contains(classes.get("Combiner")));
    EXPECT_FALSE(classes.get("ShadingRule")->is_ui_creatable());

    // The attribute table reads through the render settings' columns.
    OfAttrTable aovs(*object("/render/preview"), "aovs");
    ASSERT_TRUE(aovs.is_valid());
    ASSERT_EQ(aovs.get_row_count(), 3u);
    EXPECT_EQ(aovs.get_string(1, 0), "depth");
    EXPECT_EQ(aovs.get_long(1, 1), 32);
    EXPECT_TRUE(aovs.is_row_enabled(0));
    EXPECT_FALSE(aovs.is_row_enabled(2));
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
                    EXPECT_TRUE(target->is_in_scene());
                    EXPECT_TRUE(target->is_kindof(attr->get_object_filter())) << attr->get_name();
                }
            }
            if (attr->is_connected()) {
                ++connections;
                OfOutput const* output = attr->get_input();
                ASSERT_NE(output, nullptr) << attr->get_name();
                EXPECT_TRUE(output->get_parent_object()->is_in_scene());
                // Colours feed colours, intensities feed numbers.
                EXPECT_EQ(output->get_type() == OfPlugType::TYPE_COLOR,
                          attr->get_type() == OfPlugType::TYPE_COLOR)
                    << attr->get_full_name() << " <- " << output->get_full_name();
            }
        }
        // Nothing is left over: every texture and material is read, every light rendered,
        // and every prop surface belongs to a combiner.
        if (item->is_kindof("Texture") || item->is_kindof("Material") || item->is_kindof("Light") ||
            item->is_kindof("Camera") || item->is_kindof("Geometry")) {
            EXPECT_FALSE(item->get_dependents().is_empty()) << "nothing reads it";
        }
    }
    EXPECT_GT(references, 300u);
    EXPECT_GT(connections, 50u);

    // A few paths through the graph.
    OfObject* final_render = object("/render/final");
    ASSERT_NE(final_render, nullptr);
    EXPECT_EQ(final_render->get_attr("camera")->get_object(0), object("/cameras/main_camera"));
    EXPECT_EQ(final_render->get_attr("geometry")->get_object(0), object("/geometry/everything"));
    EXPECT_EQ(object("/materials/block_0/prop_3")->get_attr("diffuse_color")->get_input(),
              scene.get_output("/textures/block_0/prop_3_diffuse>rgb"));
    EXPECT_EQ(object("/geometry/props/block_0/prop_4/body")->get_attr("material")->get_object(0),
              object("/materials/block_0/prop_4_blend"));
    EXPECT_EQ(object("/lights/practicals/practical_1")->get_attr("light_linking")->get_object(0),
              object("/geometry/props/block_1/prop_25/combined"));

    // Instances read their library source and override only their placement.
    OfObject* handle = object("/geometry/props/block_0/prop_5/handle");
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->get_source(), object("/library/vase"));
    EXPECT_EQ(handle->get_attr("radius")->get_double(), 0.3);
    EXPECT_TRUE(handle->get_attr("translate")->is_local());
    EXPECT_FALSE(handle->get_attr("radius")->is_local());
    EXPECT_EQ(object("/library/chair")->get_instance_count(), SampleScene::get_prop_count(300) / 3 + 1);

    // The reference context cannot change; the rest carries flags, tags and comments.
    OfContext* library = scene.get_context("/library");
    EXPECT_TRUE(library->is_reference());
    EXPECT_FALSE(object("/library/lamp")->is_editable());
    {
        LogRecorder log;
        EXPECT_FALSE(object("/library/lamp")->set_name("lantern"));
    }
    EXPECT_TRUE(object("/lights/sun")->is_disabled());
    EXPECT_TRUE(object("/geometry/props/block_0/prop_12/detail")->is_disabled());
    EXPECT_NE(object("/lights/key")->get_colortag(), 0u);
    EXPECT_FALSE(object("/lights/key")->get_comment().is_empty());
    EXPECT_EQ(scene.get_context("/geometry/set")->get_engine().get_kind(), OfContextEngine::KIND_ASSEMBLY);
    EXPECT_EQ(object("/materials/shared/shading_layer")->get_embedded_object_count(),
              1 + (SampleScene::get_prop_count(300) + 24) / 25);
}

TEST(SampleSceneSize, ObjectCountScalesLinearly)
{
    struct Built {
        unsigned int objects;
        unsigned int contexts;
    };
    auto build = [](unsigned int const& size) {
        OfObjectFactory scene;
        EXPECT_TRUE(SampleScene::build(scene, size));
        return Built{scene.get_root().get_all_objects().get_count(), context_count(scene.get_root())};
    };
    // The fixed contexts (root and build included), three per block and one per prop.
    auto contexts_for = [](unsigned int const& size) {
        unsigned int const props = SampleScene::get_prop_count(size);
        return 14 + 3 * ((props + SampleScene::PROPS_PER_BLOCK - 1) / SampleScene::PROPS_PER_BLOCK) + props;
    };
    Built const small = build(300);
    Built const large = build(3000);
    EXPECT_NEAR(small.objects, 300.0, 15.0);
    EXPECT_NEAR(large.objects, 3000.0, 60.0);
    EXPECT_EQ(small.contexts, contexts_for(300));
    EXPECT_EQ(large.contexts, contexts_for(3000));

    // Sizes below the fixed part still make one prop.
    Built const tiny = build(0);
    EXPECT_EQ(SampleScene::get_prop_count(0), 1u);
    EXPECT_EQ(tiny.contexts, 18u);
    EXPECT_LT(tiny.objects, 40u);
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
    // Spread: the last pick lies in the last tenth of the scene, and the picks span contexts.
    EXPECT_GT(editable.find(picked[39]), int(editable.get_count() * 9 / 10));
    std::set<OfContext*> contexts;
    for (OfObject* item : picked) contexts.insert(item->get_context());
    EXPECT_GT(contexts.size(), 10u);

    EXPECT_TRUE(SampleScene::pick_objects(scene, 0).is_empty());
    EXPECT_TRUE(SampleScene::pick_objects(scene, 5, editable.get_count()).is_empty());
    EXPECT_EQ(SampleScene::pick_objects(scene, 5, editable.get_count() - 2).get_count(), 2u);
}

TEST_F(SampleSceneTest, BatchAcrossTheSceneUndoesAndRedoesExactly)
{
    OfCommandManager& commands = scene.get_command_manager();
    std::string const before = dump();

    CoreVector<OfObject*> picked = SampleScene::pick_objects(scene, 40, 3);
    ASSERT_EQ(picked.get_count(), 40u);

    // What the batch changes, found before the renaming.
    OfObject* moved = object("/materials/block_0/prop_1");
    OfObject* metal = object("/materials/shared/metal");
    OfObject* detail = object("/geometry/props/block_0/prop_1/detail");
    OfObject* key = object("/lights/key");
    OfObject* fill = object("/lights/fill");
    OfObject* sun = object("/lights/sun");
    OfObject* final_render = object("/render/final");
    OfObject* closeup = object("/cameras/closeup_camera");
    OfObject* top_view = object("/cameras/top_view");
    OfObject* floor = object("/materials/shared/floor");
    OfObject* preview = object("/render/preview");
    OfObject* lamp = object("/library/lamp");
    OfContext* textures = scene.get_context("/textures/block_1");
    OfContext* prop = scene.get_context("/geometry/props/block_0/prop_7");

    commands.begin_batch("Edit Everything");
    EXPECT_EQ(SampleScene::rename_objects(picked, "_v2"), 40u);
    EXPECT_TRUE(moved->move_to(*scene.get_context("/materials/shared")));
    EXPECT_TRUE(textures->move_to(*scene.get_context("/textures/shared")));
    EXPECT_TRUE(metal->remove());  // every detail refers to it
    EXPECT_TRUE(prop->remove());   // a context with an instance of the library
    EXPECT_TRUE(key->get_attr("intensity")->set_double(3.5));
    EXPECT_TRUE(fill->get_attr("color")->set_vec3d({1.0, 0.5, 0.25}));
    EXPECT_TRUE(final_render->get_attr("camera")->set_object(closeup));
    EXPECT_TRUE(final_render->get_attr("resolution")->apply_preset(1));
    EXPECT_TRUE(floor->get_attr("diffuse_color")->disconnect());
    EXPECT_TRUE(sun->set_disabled(false));
    EXPECT_TRUE(top_view->set_comment("Plan view"));
    EXPECT_TRUE(preview->get_attr("aov_names")->set_value_count(4));
    EXPECT_NE(scene.create_instance(*lamp, "extra", scene.get_context("/geometry")), nullptr);
    commands.end_batch();

    std::string const after = dump();
    EXPECT_NE(after, before);
    EXPECT_TRUE(scene.check_integrity());
    EXPECT_EQ(detail->get_attr("material")->get_object(0), nullptr);
    ASSERT_EQ(commands.get_undo_count(), 1u);
    EXPECT_EQ(commands.get_undo_label(), "Edit Everything");

    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(commands.undo());
        EXPECT_EQ(dump(), before);
        EXPECT_TRUE(scene.check_integrity());
        EXPECT_EQ(commands.get_redo_label(), "Edit Everything");
        ASSERT_TRUE(commands.redo());
        EXPECT_EQ(dump(), after);
        EXPECT_TRUE(scene.check_integrity());
    }
    // Renaming nothing makes no step.
    EXPECT_EQ(SampleScene::rename_objects({}, "_x"), 0u);
    EXPECT_EQ(commands.get_undo_count(), 1u);
}

}  // namespace
