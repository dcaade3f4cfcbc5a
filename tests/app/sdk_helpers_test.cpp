#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/app/app_preferences.h"
#include "host/app/app_selection.h"
#include "host/app/sdk_helpers.h"
#include "tests/app/app_test_scene.h"
#include "tests/support/log_recorder.h"

namespace {

using Items = CoreVector<OfItem*>;

class SdkHelpersTest : public AppSceneTest {
protected:
    CoreVector<OfItem*> selected() const
    {
        return app.get_selection().get_items(AppSelection::get_global_group_label(),
                                             AppSelection::get_global_slot_label());
    }
    void select(Items const& items)
    {
        app.get_selection().set_selection(AppSelection::get_global_group_label(),
                                          AppSelection::get_global_slot_label(), items);
    }
};

TEST_F(SdkHelpersTest, PasteMakesWhatCopyItemsMakes)
{
    // A scene worth copying: an instance of a copied source, one of a source left behind, a
    // reference context with content, flags, comments, tags and an expression.
    OfObject* ball_instance = scene.create_instance(*ball, "ball_i", geo);
    ball_instance->get_attr("radius")->set_double(3.0);
    OfObject* box_instance = scene.create_instance(*box, "box_i", shading);
    OfContext* refs = scene.create_context("refs", shading);
    OfObject* inside = scene.create_object("Material", "inside", refs);
    inside->get_attr("texture")->connect(*checker);
    inside->set_hidden(true);
    refs->set_reference(true);
    red->get_attr("color")->set_expression("frame / 10");
    red->set_colortag(2);
    checker->set_disabled(true);
    OfContext* target = scene.create_context("target");
    commands().clear();
    Items items{ball, red, checker, ball_instance, box_instance, refs};

    std::string before = dump();
    ASSERT_EQ(scene.copy_items(items, *target).get_count(), 6u);
    std::string copied = dump();
    ASSERT_TRUE(commands().undo());
    ASSERT_EQ(dump(), before);

    // Copying changes only the clipboard.
    ASSERT_TRUE(SdkHelpers::copy_items(items));
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(commands().get_undo_count(), 0u);
    EXPECT_TRUE(commands().is_redoable());
    CoreVector<OfItem*> pasted;
    expect_undoable("Paste Items", [&] { pasted = SdkHelpers::paste_items(*target); });
    EXPECT_EQ(dump(), copied);
    ASSERT_EQ(pasted.get_count(), 6u);
    EXPECT_EQ(pasted[0]->to_object()->get_attr("material")->get_object(0), pasted[1]);
    EXPECT_EQ(pasted[3]->to_object()->get_source(), pasted[0]);
    EXPECT_EQ(pasted[4]->to_object()->get_source(), box);
}

TEST_F(SdkHelpersTest, CutAndPasteAfterwards)
{
    OfObject* ball_instance = scene.create_instance(*ball, "ball_i", geo);
    select(Items{ball, box});
    commands().clear();
    expect_undoable("Cut Items", [&] {
        EXPECT_TRUE(SdkHelpers::cut_items(Items{ball, ball_instance, red}));
    });
    EXPECT_EQ(selected(), (Items{box}));
    // With the originals gone, links among the cut items lead to the pasted ones, links to
    // the rest stay, and an instance whose source went is a plain object.
    CoreVector<OfItem*> pasted = SdkHelpers::paste_items(*scene.create_context("pasted"));
    ASSERT_EQ(pasted.get_count(), 3u);
    OfObject* new_ball = pasted[0]->to_object();
    EXPECT_EQ(new_ball->get_attr("material")->get_object(0), pasted[2]);
    EXPECT_EQ(pasted[1]->to_object()->get_source(), new_ball);
    EXPECT_EQ(pasted[2]->to_object()->get_attr("texture")->get_input(), checker->get_output("rgb"));
    EXPECT_NE(new_ball->get_embedded_object("wheel"), nullptr);
    EXPECT_TRUE(scene.check_integrity());

    // Pasting only the instance, its source gone, gives a plain object; a reference to an
    // object that is gone is left empty.
    ASSERT_TRUE(SdkHelpers::copy_items(Items{pasted[1]}));
    ASSERT_TRUE(SdkHelpers::trash_items(Items{new_ball, pasted[2]}));
    LogRecorder log;
    CoreVector<OfItem*> orphan = SdkHelpers::paste_items(*geo);
    ASSERT_EQ(orphan.get_count(), 1u);
    EXPECT_EQ(orphan[0]->to_object()->get_source(), nullptr);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 0u) << log.dump();
}

TEST_F(SdkHelpersTest, DeleteGoesThroughTheTrash)
{
    select(Items{ball, red});
    expect_undoable("Delete Items", [&] { EXPECT_TRUE(SdkHelpers::delete_items(Items{ball, shading})); });
    OfContext* trash = SdkHelpers::get_trash(scene);
    ASSERT_NE(trash, nullptr);
    EXPECT_EQ(ball->get_context(), trash);
    EXPECT_EQ(shading->get_parent(), trash);
    EXPECT_TRUE(selected().is_empty());

    // What is in the trash is deleted for good, and so is the trash itself.
    expect_undoable("Delete Items", [&] { EXPECT_TRUE(SdkHelpers::delete_items(Items{ball})); });
    EXPECT_FALSE(ball->is_in_scene());
    expect_undoable("Delete Items", [&] { EXPECT_TRUE(SdkHelpers::delete_items(Items{trash, box})); });
    EXPECT_FALSE(trash->is_in_scene());
    EXPECT_EQ(box->get_context(), SdkHelpers::get_trash(scene));

    // Without the trash preference, deletion is for good, as trash_items always is.
    OfObject* lamp = scene.create_object("Sphere", "lamp", geo);
    app.init_preferences();
    app.get_preferences().set_bool_value("general", "delete_to_trash", false);
    expect_undoable("Delete Items", [&] { SdkHelpers::delete_items(Items{lamp}); });
    EXPECT_FALSE(lamp->is_in_scene());
    expect_undoable("Permanently Delete Items", [&] { SdkHelpers::trash_items(Items{geo}); });
    EXPECT_FALSE(geo->is_in_scene());
}

TEST_F(SdkHelpersTest, GroupCombineAndInstantiate)
{
    OfContext* group = nullptr;
    expect_undoable("Group Items", [&] { group = SdkHelpers::group_items(Items{ball, box}); });
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->get_full_name(), "/geo/group");
    EXPECT_EQ(group->get_position(), GMathVec2<double>(20.0, 30.0));

    OfObject* combiner = nullptr;
    expect_undoable("Combine Items", [&] { combiner = SdkHelpers::combine_items(Items{ball, box, ball}); });
    ASSERT_NE(combiner, nullptr);
    EXPECT_EQ(combiner->get_context(), group);
    OfAttr* objects = combiner->get_attr("objects");
    ASSERT_EQ(objects->get_value_count(), 2u);
    EXPECT_EQ(objects->get_object(1), box);

    CoreVector<OfObject*> instances;
    expect_undoable("Instantiate Items", [&] {
        instances = SdkHelpers::instantiate_items(Items{ball, red});
    });
    ASSERT_EQ(instances.get_count(), 2u);
    EXPECT_EQ(instances[1]->get_source(), red);
    EXPECT_EQ(instances[1]->get_context(), shading);
}

TEST_F(SdkHelpersTest, GroupAndCombineIntoAGivenContextAndContextualize)
{
    OfContext* sub = scene.create_context("sub", geo);
    OfObject* pebble = scene.create_object("Sphere", "pebble", sub);
    commands().clear();

    OfContext* group = nullptr;
    expect_undoable("Group Items", [&] { group = SdkHelpers::group_items(Items{ball, red}, "pair", sub); });
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->get_full_name(), "/geo/sub/pair");
    EXPECT_EQ(ball->get_context(), group);
    EXPECT_EQ(red->get_context(), group);

    OfObject* combiner = nullptr;
    expect_undoable("Combine Items",
                    [&] { combiner = SdkHelpers::combine_items(Items{box}, "Combiner", shading); });
    ASSERT_NE(combiner, nullptr);
    EXPECT_EQ(combiner->get_context(), shading);

    // Items of /geo/sub/pair, /geo/sub and /shading meet in the root; a context and what it
    // holds meet above the context.
    OfContext* gathered = nullptr;
    expect_undoable("Contextualize Items", [&] {
        gathered = SdkHelpers::contextualize_items(Items{ball, pebble, checker});
    });
    ASSERT_NE(gathered, nullptr);
    EXPECT_EQ(gathered->get_full_name(), "/context");
    EXPECT_EQ(pebble->get_context(), gathered);
    ASSERT_TRUE(commands().undo());
    expect_undoable("Contextualize Items", [&] {
        gathered = SdkHelpers::contextualize_items(Items{group, ball}, "inner");
    });
    EXPECT_EQ(gathered->get_full_name(), "/geo/sub/inner");
    EXPECT_EQ(group->get_context(), gathered);
}

TEST_F(SdkHelpersTest, IsolateMoreLessAndSwap)
{
    OfObject* moon = scene.create_object("Sphere", "moon", shading);
    ASSERT_TRUE(SdkHelpers::isolate_items(Items{ball}));
    commands().clear();
    auto displayed = [&] {
        std::vector<std::string> names;
        for (OfObject* object : scene.get_root().get_all_objects())
            if (SdkHelpers::is_item_displayed(*object)) names.push_back(object->get_name().std_string());
        return names;
    };
    ASSERT_EQ(displayed(), (std::vector<std::string>{"ball"}));

    expect_undoable("Isolate More", [&] { SdkHelpers::isolate_more_items(Items{shading}); });
    EXPECT_EQ(displayed(), (std::vector<std::string>{"ball", "red", "checker", "moon"}));
    expect_undoable("Isolate Less", [&] { SdkHelpers::isolate_less_items(Items{ball, shading}); });
    EXPECT_EQ(displayed(), (std::vector<std::string>{}));
    ASSERT_TRUE(commands().undo());
    expect_undoable("Isolate Less", [&] { SdkHelpers::isolate_less_items(Items{moon}); });
    expect_undoable("Isolate Swap", [&] { SdkHelpers::isolate_swap(scene); });
    EXPECT_EQ(displayed(), (std::vector<std::string>{"box", "moon"}));
    EXPECT_FALSE(scene.get_build().is_hidden());
}

TEST_F(SdkHelpersTest, EditAndUneditReferences)
{
    OfContext* refs = scene.create_context("refs", geo);
    OfObject* inside = scene.create_object("Material", "inside", refs);
    refs->set_reference(true);
    commands().clear();
    ASSERT_FALSE(inside->is_editable(OfItem::EDIT_MODE_VALUES));

    expect_undoable("Edit References", [&] { EXPECT_TRUE(SdkHelpers::edit_references(Items{refs}, true)); });
    EXPECT_TRUE(inside->is_editable(OfItem::EDIT_MODE_VALUES));
    EXPECT_FALSE(inside->is_editable(OfItem::EDIT_MODE_STRUCTURE)) << "still a reference";
    expect_undoable("Unedit References",
                    [&] { EXPECT_TRUE(SdkHelpers::edit_references(Items{refs}, false)); });
    EXPECT_FALSE(refs->is_override());
}

TEST_F(SdkHelpersTest, MakeInstanceAndMakeLocal)
{
    OfObject* plain = scene.create_object("Box", "plain", geo);
    plain->set_comment("keep me");
    ball->get_attr("material")->set_object(red);
    OfObject* rust = scene.create_object("Material", "rust", shading);
    // `red` becomes an instance of `rust`; the ball's reference follows it.
    CoreVector<OfObject*> made;
    expect_undoable("Make Instance", [&] { made = SdkHelpers::make_instance_items(Items{red}, *rust); });
    ASSERT_EQ(made.get_count(), 1u);
    OfObject* instance = made[0];
    EXPECT_EQ(instance->get_full_name(), "/shading/red");
    EXPECT_EQ(instance->get_source(), rust);
    EXPECT_EQ(ball->get_attr("material")->get_object(0), instance);
    EXPECT_TRUE(scene.check_integrity());

    // Making it local keeps the values it reads and drops the source.
    rust->get_attr("color")->set_vec3d({0.7, 0.2, 0.1});
    expect_undoable("Make Local", [&] { EXPECT_TRUE(SdkHelpers::make_local_items(Items{instance})); });
    EXPECT_EQ(instance->get_source(), nullptr);
    EXPECT_EQ(instance->get_attr("color")->get_vec3d(), GMathVec3<double>(0.7, 0.2, 0.1));
    EXPECT_TRUE(instance->get_attr("color")->is_local());

    // An item inside a reference: every reference holding it becomes local.
    OfContext* inner = scene.create_context("inner", shading);
    OfObject* deep = scene.create_object("Texture", "deep", inner);
    inner->set_reference(true);
    shading->set_reference(true);
    expect_undoable("Make Local", [&] { EXPECT_TRUE(SdkHelpers::make_local_items(Items{deep, plain})); });
    EXPECT_FALSE(shading->is_reference());
    EXPECT_FALSE(inner->is_reference());
    EXPECT_TRUE(deep->is_editable());

    LogRecorder log;
    EXPECT_FALSE(SdkHelpers::make_local_items(Items{plain}));
    EXPECT_TRUE(SdkHelpers::make_instance_items(Items{rust}, *rust).is_empty());
    EXPECT_EQ(log.count(), 2u) << log.dump();
}

TEST_F(SdkHelpersTest, DisplayStateAndOverrides)
{
    OfObject* moon = scene.create_object("Sphere", "moon", shading);
    OfContext* sub = scene.create_context("sub", geo);
    OfObject* pebble = scene.create_object("Sphere", "pebble", sub);
    box->set_hidden(true);
    expect_undoable("Isolate Items", [&] { SdkHelpers::isolate_items(Items{box, sub}); });
    EXPECT_TRUE(SdkHelpers::is_item_displayed(*box));
    EXPECT_TRUE(SdkHelpers::is_item_displayed(*pebble));
    EXPECT_FALSE(SdkHelpers::is_item_displayed(*moon));
    EXPECT_FALSE(scene.get_build().is_hidden());

    expect_undoable("Toggle Items Display", [&] {
        SdkHelpers::toggle_items_display(Items{ball, box, ball});
    });
    EXPECT_TRUE(SdkHelpers::is_item_displayed(*ball));
    EXPECT_FALSE(SdkHelpers::is_item_displayed(*box));
    expect_undoable("Hide Items", [&] { SdkHelpers::set_items_display(Items{geo}, false); });
    EXPECT_FALSE(SdkHelpers::is_item_displayed(*pebble));
    expect_undoable("Set Color Tag", [&] { SdkHelpers::colortag_items(Items{ball, geo}, 4); });
    EXPECT_EQ(geo->get_colortag(), 4u);
    expect_undoable("Disable Items", [&] { SdkHelpers::enable_disable_items(Items{ball, red}, false); });
    EXPECT_TRUE(red->is_disabled());

    // Overrides: the given instances and those directly in given contexts, or everything held.
    OfObject* near = scene.create_instance(*ball, "near", geo);
    OfObject* far = scene.create_instance(*ball, "far", sub);
    near->get_attr("radius")->set_double(5.0);
    far->get_attr("radius")->set_double(6.0);
    expect_undoable("Revert Overrides", [&] { SdkHelpers::revert_items_overrides(Items{geo}); });
    EXPECT_FALSE(near->get_attr("radius")->is_local());
    EXPECT_TRUE(far->get_attr("radius")->is_local());
    expect_undoable("Revert Sub-Items Overrides",
                    [&] { SdkHelpers::revert_sub_items_overrides(Items{geo}); });
    EXPECT_EQ(far->get_attr("radius")->get_double(), 1.0);
}

TEST_F(SdkHelpersTest, BadInputGivesOneMessageAndChangesNothing)
{
    OfContext* looks = scene.create_context("looks", shading);
    OfObject* tinted = scene.create_object("Material", "tinted", looks);
    shading->set_reference(true);
    OfObject* wheel = ball->get_embedded_object("wheel");
    scene.get_classes().add_class("Plain");
    commands().clear();
    // Kept alive, out of the scene, by the command that deleted it.
    OfObject* gone = scene.create_object("Box", "gone", geo);
    gone->remove();
    unsigned int steps = commands().get_undo_count();
    OfContext* root = &scene.get_root();

    std::vector<std::pair<char const*, std::function<bool()>>> attempts = {
        {"copy nothing", [&] { return SdkHelpers::copy_items(Items{}); }},
        {"copy embedded", [&] { return SdkHelpers::copy_items(Items{wheel}); }},
        {"copy deleted",
         [&] {
             return SdkHelpers::copy_items(Items{ball, gone});
         }},
        {"cut virtual", [&] { return SdkHelpers::cut_items(Items{tinted}); }},
        {"paste empty", [&] { return !SdkHelpers::paste_items(*geo).is_empty(); }},
        {"delete null", [&] { return SdkHelpers::delete_items(Items{nullptr}); }},
        {"delete locked", [&] { return SdkHelpers::delete_items(Items{root}); }},
        {"group bad name", [&] { return SdkHelpers::group_items(Items{ball}, "my group") != nullptr; }},
        {"group embedded",
         [&] {
             return SdkHelpers::group_items(Items{box, wheel}) != nullptr;
         }},
        {"group a context into itself",
         [&] { return SdkHelpers::group_items(Items{geo}, "group", geo) != nullptr; }},
        {"group into a reference",
         [&] { return SdkHelpers::group_items(Items{ball}, "group", looks) != nullptr; }},
        {"contextualize the root", [&] { return SdkHelpers::contextualize_items(Items{root}) != nullptr; }},
        {"combine into a reference",
         [&] { return SdkHelpers::combine_items(Items{ball}, "Combiner", looks) != nullptr; }},
        {"edit a plain context", [&] { return SdkHelpers::edit_references(Items{geo}, true); }},
        {"unedit a reference not edited", [&] { return SdkHelpers::edit_references(Items{shading}, false); }},
        {"isolate less nothing", [&] { return SdkHelpers::isolate_less_items(Items{}); }},
        {"combine a context",
         [&] {
             return SdkHelpers::combine_items(Items{ball, geo}) != nullptr;
         }},
        {"combine with a plain class",
         [&] { return SdkHelpers::combine_items(Items{ball}, "Plain") != nullptr; }},
        {"instantiate virtual", [&] { return !SdkHelpers::instantiate_items(Items{tinted}).is_empty(); }},
        {"hide virtual", [&] { return SdkHelpers::set_items_display(Items{tinted}, false); }},
        // Commands this application does not offer.
        {"shading layer", [&] { return SdkHelpers::create_shading_layer_for_items(Items{ball}); }},
        {"export reference", [&] { return SdkHelpers::export_context_as_reference(*geo, "/tmp/geo.ref"); }},
    };
    std::string before = dump();
    for (auto const& [what, attempt] : attempts) {
        LogRecorder log;
        EXPECT_FALSE(attempt()) << what;
        EXPECT_EQ(log.count(), 1u) << what << ":\n" << log.dump();
    }
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(commands().get_undo_count(), steps);

    // Clipboard content this scene cannot make (here, from a scene with other classes).
    ParserGroup foreign;
    foreign.add_entry("object").add_string("comet").add_group().add_entry("class").add_string("Comet");
    app.set_item_clipboard(foreign);
    {
        LogRecorder log;
        EXPECT_TRUE(SdkHelpers::paste_items(*geo).is_empty());
        EXPECT_EQ(log.count(), 1u) << log.dump();
    }
    EXPECT_EQ(dump(), before);

    // A scene without an interactive application has no clipboard.
    OfObjectFactory bare;
    OfContext* alone = bare.create_context("alone");
    LogRecorder log;
    EXPECT_TRUE(SdkHelpers::paste_items(*alone).is_empty());
    EXPECT_EQ(log.count(), 1u);
}

}  // namespace
