#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "host/core/core_name_server.h"
#include "host/of/of_event.h"
#include "host/of/of_expression.h"
#include "host/of/of_handle.h"
#include "tests/of/of_test_scene.h"
#include "tests/support/log_recorder.h"

namespace {

TEST_F(OfSceneTest, NamesClashTakeTheNextFreeNumber)
{
    OfContext* geo = scene.create_context("geo");
    // Plain numbering, padded numbers, deletions and copies are in the random check below.
    scene.create_object("Sphere", "sphere", geo);
    // Contexts and objects share the names of a context; embedded objects have their own.
    EXPECT_EQ(scene.create_context("sphere", geo)->get_name(), "sphere1");
    OfObject* car = scene.create_object("Box", "car", geo);
    EXPECT_EQ(car->add_embedded_object("Wheel", "sphere")->get_name(), "sphere");
    // Renaming onto a taken name numbers it; a number freed by a rename is found again by
    // an item moved in, which is renumbered (its name was free where it was made).
    OfObject* box = scene.create_object("Box", "", geo);
    EXPECT_TRUE(box->set_name("sphere1"));
    EXPECT_EQ(box->get_name(), "sphere2");
    EXPECT_TRUE(box->set_name("box"));
    OfObject* moved = scene.create_object("Sphere", "sphere1");
    EXPECT_EQ(moved->get_name(), "sphere1");
    moved->move_to(*geo);
    EXPECT_EQ(moved->get_name(), "sphere2");
    // A name numbered 0 is not one of the counted ones: freeing it frees no number.
    OfContext* zero = scene.create_context("zero");
    scene.create_object("Sphere", "sphere", zero);
    scene.create_object("Sphere", "sphere", zero);
    EXPECT_TRUE(scene.create_object("Sphere", "sphere0", zero)->remove());
    EXPECT_EQ(scene.create_object("Sphere", "sphere", zero)->get_name(), "sphere2");
    EXPECT_TRUE(scene.check_integrity());
}

TEST_F(OfSceneTest, BadInputIsRefusedWithOneMessage)
{
    OfContext* geo = scene.create_context("geo");
    OfObject* ball = scene.create_object("Sphere", "ball", geo);
    OfObject* red = scene.create_object("Material", "red", geo);
    std::string before = dump();
    unsigned int steps = commands().get_undo_count();
    std::vector<std::pair<char const*, std::function<bool()>>> cases = {
        {"empty name", [&] { return ball->set_name(""); }},
        {"bad character", [&] { return scene.create_context("my geo") != nullptr; }},
        {"unknown class", [&] { return scene.create_object("Teapot") != nullptr; }},
        {"abstract class", [&] { return scene.create_object("Geometry") != nullptr; }},
        {"embedded only", [&] { return scene.create_object("Wheel") != nullptr; }},
        {"wrong value type", [&] { return ball->get_attr("radius")->set_string("big"); }},
        {"index out of range", [&] { return ball->get_attr("radius")->set_double(1.0, 3); }},
        {"fixed count", [&] { return ball->get_attr("radius")->set_value_count(2); }},
        {"enum value", [&] { return red->get_attr("model")->set_long(5); }},
        {"class filter", [&] { return ball->get_attr("material")->set_object(ball); }},
        {"not connectable", [&] { return ball->get_attr("radius")->connect(*red); }},
        {"root locked", [&] { return scene.get_root().set_name("top"); }},
        {"build locked", [&] { return scene.get_build().remove(); }},
        {"move into itself", [&] { return geo->move_to(*geo); }},
        {"unknown attribute", [&] { return ball->get_attr("height") != nullptr; }},
        {"bad state", [&] { return ball->set_state(OfItem::State(9)); }},
        {"bad variable", [&] { return scene.set_var("1x", "v"); }},
    };
    for (auto const& [what, run] : cases) {
        LogRecorder log;
        EXPECT_FALSE(run()) << what;
        EXPECT_EQ(log.count(), 1u) << what << "\n" << log.dump();
    }
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(commands().get_undo_count(), steps);

    // Reading with the wrong type reports and gives zero.
    LogRecorder log;
    EXPECT_EQ(ball->get_attr("radius")->get_string(), "");
    EXPECT_EQ(ball->get_attr("scale")->get_double(), 0.0);
    EXPECT_EQ(ball->get_attr("radius")->get_double(2), 0.0);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u);
}

TEST_F(OfSceneTest, ReferenceCyclesAreRefused)
{
    OfObject* a = scene.create_object("Material", "a");
    OfObject* b = scene.create_object("Material", "b");
    OfObject* c = scene.create_object("Material", "c");
    ASSERT_TRUE(a->get_attr("base")->set_object(b));
    ASSERT_TRUE(b->get_attr("base")->set_object(c));
    LogRecorder log;
    EXPECT_FALSE(c->get_attr("base")->set_object(a));
    // Connections close cycles too, and so do instances that read their source's links.
    EXPECT_FALSE(c->get_attr("texture")->connect(*a->get_output("shader")));
    OfObject* instance = scene.create_instance(*c, "c_instance");
    EXPECT_FALSE(c->get_attr("base")->set_object(instance));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u);
    EXPECT_EQ(c->get_attr("base")->get_object(0), nullptr);
    EXPECT_TRUE(a->depends_on(*c));
    EXPECT_FALSE(c->depends_on(*a));
    EXPECT_TRUE(scene.check_integrity());
}

TEST_F(OfSceneTest, PathsResolveBothWaysForEveryKind)
{
    OfContext* geo = scene.create_context("geo");
    OfContext* inner = scene.create_context("inner", geo);
    OfObject* car = scene.create_object("Sphere", "car", inner);
    OfObject* wheel = car->add_embedded_object("Wheel", "front");
    OfAttr* radius = car->get_attr("radius");
    OfOutput* mesh = car->get_output("mesh");
    OfAttr* wheel_tags = wheel->get_attr("tags");

    EXPECT_EQ(wheel->get_full_name(), "/geo/inner/car/front");
    EXPECT_EQ(radius->get_full_name(), "/geo/inner/car.radius");
    EXPECT_EQ(mesh->get_full_name(), "/geo/inner/car>mesh");

    for (OfItem* item : std::vector<OfItem*>{&scene.get_root(), geo, inner, car, wheel})
        EXPECT_EQ(scene.get_item(item->get_full_name()), item) << item->get_full_name();
    EXPECT_EQ(scene.get_attr(radius->get_full_name()), radius);
    EXPECT_EQ(scene.get_attr(wheel_tags->get_full_name()), wheel_tags);
    EXPECT_EQ(scene.get_output(mesh->get_full_name()), mesh);
    EXPECT_EQ(scene.get_handle("/geo/inner/car>mesh"), OfHandle(mesh));

    // Relative paths, "." and "..", and what does not resolve.
    EXPECT_EQ(scene.get_object("./inner//car/", geo), car);
    EXPECT_EQ(scene.get_item("../inner", inner), inner);
    EXPECT_EQ(scene.get_object("car/front/..", inner), car);
    EXPECT_EQ(scene.get_item(".."), nullptr);  // above the root
    EXPECT_EQ(scene.get_item("/geo/inner/car.radius"), nullptr);  // an attribute, not an item
    EXPECT_EQ(scene.get_attr("/geo/inner/car>radius"), nullptr);
    EXPECT_TRUE(scene.get_handle("/nothing").is_null());

    // The default context makes relative paths and receives new items.
    ASSERT_TRUE(scene.set_default(*inner));
    EXPECT_EQ(scene.get_object("car"), car);
    EXPECT_EQ(scene.create_object("Box")->get_context(), inner);
    inner->remove();
    EXPECT_EQ(&scene.get_default(), &scene.get_root());
}

TEST_F(OfSceneTest, HandlesAnswerForWhatTheyName)
{
    OfContext* geo = scene.create_context("geo");
    OfObject* ball = scene.create_object("Sphere", "ball", geo);
    OfAttr* radius = ball->get_attr("radius");
    OfObjectHandle object_handle(ball);
    OfContextHandle context_handle(geo);
    OfAttrHandle attr_handle(radius);
    OfOutputHandle output_handle(ball->get_output("mesh"));

    EXPECT_EQ(attr_handle.get_context(), geo);

    // The questions of user commands.
    EXPECT_TRUE(object_handle.get_can_delete() && object_handle.get_can_rename());
    EXPECT_FALSE(attr_handle.get_can_delete());
    EXPECT_FALSE(OfContextHandle(scene.get_root()).get_can_delete());
    EXPECT_FALSE(OfContextHandle(scene.get_build()).get_can_rename());
    ASSERT_TRUE(geo->set_reference(true));
    EXPECT_TRUE(object_handle.is_virtual() && object_handle.get_can_localize());
    EXPECT_FALSE(object_handle.get_can_delete() || object_handle.get_can_rename());
    EXPECT_FALSE(object_handle.is_editable(OfItem::EDIT_MODE_VALUES));
    ASSERT_TRUE(geo->set_override(true));
    EXPECT_TRUE(attr_handle.is_editable());
    EXPECT_TRUE(radius->set_double(3.0));
    EXPECT_FALSE(ball->set_name("other"));

    // Deleting invalidates; undo revalidates.
    ASSERT_TRUE(commands().undo());
    ASSERT_TRUE(commands().undo());
    ASSERT_TRUE(commands().undo());
    ASSERT_TRUE(geo->remove());
    for (OfHandle const* handle :
         std::vector<OfHandle const*>{&object_handle, &context_handle, &attr_handle, &output_handle}) {
        EXPECT_FALSE(handle->is_valid());
        EXPECT_EQ(handle->to_object(), nullptr);
    }
    ASSERT_TRUE(commands().undo());
    EXPECT_EQ(attr_handle.get_attr(), radius);
    EXPECT_EQ(context_handle.to_context(), geo);
    EXPECT_EQ(output_handle.get_full_name(), "/geo/ball>mesh");
}

// Records the events raised on a factory with the item each concerned.
struct EventLog {
    std::vector<std::string> events;
    OfObjectFactory* factory = nullptr;

    static void on_event(EventObject&, EventObject::EventInfo const& info, void* data)
    {
        auto* log = static_cast<EventLog*>(data);
        auto const* event = static_cast<OfEventData const*>(info.get_event_data());
        std::string text = info.get_name().std_string();
        if (event->item) text += " " + event->item->get_full_name().std_string();
        if (event->attr) text += " " + event->attr->get_name().std_string();
        if (!event->previous_name.is_empty()) text += " was " + event->previous_name.std_string();
        // The last event item is set before callbacks run.
        if (log->factory->get_last_event_item() != event->item) text += " (wrong last item)";
        if (event->context && event->context->get_last_event_item() != event->item)
            text += " (wrong context item)";
        log->events.push_back(text);
    }
    void listen(OfObjectFactory& scene)
    {
        factory = &scene;
        for (CoreString const* name :
             {&EVT_ID_OF_ADD_OBJECT, &EVT_ID_OF_REMOVE_OBJECT, &EVT_ID_OF_ADD_EMBEDDED_OBJECT,
              &EVT_ID_OF_OBJECT_RENAME, &EVT_ID_OF_ADD_CONTEXT, &EVT_ID_OF_REMOVE_CONTEXT,
              &EVT_ID_OF_RENAME_CONTEXT, &EVT_ID_OF_PASTE_OBJECT, &EVT_ID_OF_ITEM_MOVED,
              &EVT_ID_OF_REORDER_CONTEXT, &EVT_ID_OF_OBJECT_ATTR_CHANGE, &EVT_ID_OF_OBJECT_ATTR_FLAGS,
              &EVT_ID_OF_OBJECT_CONNECTION_CHANGED, &EVT_ID_OF_ITEM_FLAGS, &EVT_ID_OF_ITEM_COLORTAG_CHANGED,
              &EVT_ID_OF_ITEM_COMMENT_CHANGED, &EVT_ID_OF_ITEM_POSITION_CHANGED,
              &EVT_ID_OF_REMOVE_ALL_OBJECTS, &EVT_ID_OF_ASSEMBLY_CONTAINER_CONTENT_CHANGED})
            EventObject::connect(scene, *name, &EventLog::on_event, this);
    }
    std::vector<std::string> take()
    {
        std::vector<std::string> result;
        result.swap(events);
        return result;
    }
};

using Events = std::vector<std::string>;

TEST_F(OfSceneTest, EventsFollowEveryChangeWithTheRightItem)
{
    EventLog log;
    log.listen(scene);
    OfContext* geo = scene.create_context("geo");
    OfObject* ball = scene.create_object("Sphere", "ball", geo);
    OfObject* red = scene.create_object("Material", "red");
    EXPECT_EQ(log.take(), (Events{"EVT_ID_OF_ADD_CONTEXT /geo", "EVT_ID_OF_ADD_OBJECT /geo/ball",
                                  "EVT_ID_OF_ADD_OBJECT /red"}));
    EXPECT_EQ(geo->get_last_event_object(), ball);

    ball->set_name("sphere");
    geo->set_name("geometry");
    ball->get_attr("radius")->set_double(2.0);  // the attribute becomes local: a flag change too
    ball->get_attr("radius")->set_double(3.0);
    ball->get_attr("radius")->set_expression("2 * t");
    ball->get_attr("material")->set_object(red);
    ball->set_colortag(1);
    ball->set_comment("c");
    ball->set_position({1, 2});
    ball->set_disabled(true);
    ball->move_to(scene.get_root());
    EXPECT_EQ(log.take(), (Events{"EVT_ID_OF_OBJECT_RENAME /geo/sphere was ball",
                                  "EVT_ID_OF_RENAME_CONTEXT /geometry was geo",
                                  "EVT_ID_OF_OBJECT_ATTR_CHANGE /geometry/sphere radius",
                                  "EVT_ID_OF_OBJECT_ATTR_FLAGS /geometry/sphere radius",
                                  "EVT_ID_OF_OBJECT_ATTR_CHANGE /geometry/sphere radius",
                                  "EVT_ID_OF_OBJECT_ATTR_FLAGS /geometry/sphere radius",
                                  "EVT_ID_OF_OBJECT_ATTR_CHANGE /geometry/sphere material",
                                  "EVT_ID_OF_OBJECT_CONNECTION_CHANGED /geometry/sphere material",
                                  "EVT_ID_OF_OBJECT_ATTR_FLAGS /geometry/sphere material",
                                  "EVT_ID_OF_ITEM_COLORTAG_CHANGED /geometry/sphere",
                                  "EVT_ID_OF_ITEM_COMMENT_CHANGED /geometry/sphere",
                                  "EVT_ID_OF_ITEM_POSITION_CHANGED /geometry/sphere",
                                  "EVT_ID_OF_ITEM_FLAGS /geometry/sphere", "EVT_ID_OF_ITEM_MOVED /sphere"}));

    // Deleting the referenced object clears the reference first; undo puts it back after.
    red->remove();
    EXPECT_EQ(log.take(), (Events{"EVT_ID_OF_OBJECT_ATTR_CHANGE /sphere material",
                                  "EVT_ID_OF_OBJECT_CONNECTION_CHANGED /sphere material",
                                  "EVT_ID_OF_REMOVE_OBJECT /red"}));
    commands().undo();
    EXPECT_EQ(log.take(),
              (Events{"EVT_ID_OF_ADD_OBJECT /red", "EVT_ID_OF_OBJECT_ATTR_CHANGE /sphere material",
                      "EVT_ID_OF_OBJECT_CONNECTION_CHANGED /sphere material"}));

    // Instances hear about their source's values; assemblies about their content.
    OfObject* instance = scene.create_instance(*ball, "copy");
    OfContext* assembly = scene.create_context("set", nullptr, OfContextEngine::KIND_ASSEMBLY);
    scene.create_object("Box", "b", assembly);
    ball->add_embedded_object("Wheel", "w");
    log.take();
    ball->get_attr("segments")->set_long(3);
    EXPECT_EQ(log.take(), (Events{"EVT_ID_OF_OBJECT_ATTR_CHANGE /sphere segments",
                                  "EVT_ID_OF_OBJECT_ATTR_CHANGE /copy segments",
                                  "EVT_ID_OF_OBJECT_ATTR_FLAGS /sphere segments"}));
    EXPECT_EQ(instance->get_attr("segments")->get_long(), 3);
    scene.copy_items(CoreVector<OfItem*>{instance}, *assembly);
    EXPECT_EQ(log.take(), (Events{"EVT_ID_OF_PASTE_OBJECT /set/copy",
                                  "EVT_ID_OF_ASSEMBLY_CONTAINER_CONTENT_CHANGED /set/copy"}));

    scene.clear();
    EXPECT_EQ(log.take(), (Events{"EVT_ID_OF_REMOVE_ALL_OBJECTS"}));
    EXPECT_EQ(scene.get_root().get_contexts().get_count(), 1u);  // the build context stays
    EXPECT_FALSE(commands().is_undoable());
}

TEST_F(OfSceneTest, CopiesRemapTheirInnerLinks)
{
    OfContext* look = scene.create_context("look");
    OfObject* base = scene.create_object("Material", "base", look);
    OfObject* top = scene.create_object("Material", "top", look);
    OfObject* outside = scene.create_object("Texture", "outside");
    top->get_attr("base")->set_object(base);
    top->get_attr("texture")->connect(*outside->get_output("rgb"));
    OfObject* instance = scene.create_instance(*base, "base_instance", look);

    OfContext* target = scene.create_context("target");
    CoreVector<OfItem*> copies = scene.copy_items(CoreVector<OfItem*>{look, top}, *target);
    ASSERT_EQ(copies.get_count(), 1u);  // top lies inside look
    OfContext* look_copy = copies[0]->to_context();
    OfObject* base_copy = look_copy->get_object("base");
    OfObject* top_copy = look_copy->get_object("top");
    EXPECT_EQ(top_copy->get_attr("base")->get_object(0), base_copy);
    EXPECT_EQ(top_copy->get_attr("texture")->get_texture(), outside);
    EXPECT_EQ(look_copy->get_object("base_instance")->get_source(), base_copy);
    EXPECT_EQ(base->get_instances(), CoreVector<OfObject*>{instance});
    EXPECT_EQ(outside->get_dependents().get_count(), 2u);
    EXPECT_TRUE(scene.check_integrity());
    // A copy into the same context takes a free name.
    EXPECT_EQ(scene.copy_items(CoreVector<OfItem*>{outside}, scene.get_root())[0]->get_name(), "outside1");
}

// New, renamed and copied items take the first free name counting up from their own
// number, whatever was named, copied or deleted before: checked against counting name by
// name over random edits. The counting looks names up, so the name index is checked too.
TEST_F(OfSceneTest, FreeNamesCountUpFromTheNumber)
{
    std::mt19937 random(99);
    OfContext* context = scene.create_context("names");
    char const* wanted[] = {"node", "node1", "node2", "node9", "node10", "node11", "node01", "node007", "nod"};
    auto naive = [&](std::string const& name, std::vector<std::string> const& pending) {
        auto taken = [&](std::string const& candidate) {
            return context->get_item(candidate.c_str()) ||
                   std::find(pending.begin(), pending.end(), candidate) != pending.end();
        };
        if (!taken(name)) return name;
        CoreString base;
        unsigned int number = 0, digits = 0;
        CoreNameServer::split_name(name.c_str(), base, number, digits);
        for (unsigned long long next = number + 1ull;; ++next) {
            std::string candidate = CoreNameServer::make_name(base, next, digits).std_string();
            if (!taken(candidate)) return candidate;
        }
    };
    for (int step = 0; step < 400; ++step) {
        CoreVector<OfObject*> const objects = context->get_objects();
        int const action = static_cast<int>(random() % 4);
        if (action == 0 && !objects.is_empty()) {
            scene.delete_items(CoreVector<OfItem*>{objects[random() % objects.get_count()]});
        } else if (action == 1 && objects.get_count() > 2) {
            CoreVector<OfItem*> items;
            std::vector<std::string> expected, pending;
            for (int i = 0; i < 3; ++i) {
                OfItem* item = objects[random() % objects.get_count()];
                if (items.contains(item)) continue;
                items.add(item);
                pending.push_back(naive(item->get_name().std_string(), pending));
                expected.push_back(pending.back());
            }
            CoreVector<OfItem*> copies = scene.copy_items(items, *context);
            ASSERT_EQ(copies.get_count(), expected.size());
            for (unsigned int i = 0; i < copies.get_count(); ++i)
                ASSERT_EQ(copies[i]->get_name().std_string(), expected[i]) << "step " << step;
        } else {
            std::string const name = wanted[random() % std::size(wanted)];
            std::string const expected = naive(name, {});
            OfObject* object = scene.create_object("Box", name.c_str(), context);
            ASSERT_EQ(object->get_name().std_string(), expected) << "step " << step;
        }
    }
    EXPECT_TRUE(scene.check_integrity());
}

TEST_F(OfSceneTest, RelationsBetweenItems)
{
    OfContext* look = scene.create_context("look");
    OfObject* ball = scene.create_object("Sphere", "ball");
    OfObject* red = scene.create_object("Material", "red", look);
    OfObject* base = scene.create_object("Material", "base", look);
    OfObject* tex = scene.create_object("Texture", "tex");
    OfObject* instance = scene.create_instance(*ball, "ball2");
    ball->get_attr("material")->set_object(red);
    red->get_attr("base")->set_object(base);
    base->get_attr("texture")->connect(*tex);

    using Items = CoreVector<OfItem*>;
    EXPECT_EQ(scene.get_items_inputs(Items{ball}), (Items{red}));
    EXPECT_EQ(scene.get_items_dependencies(Items{ball}), (Items{red, base, tex}));
    EXPECT_EQ(scene.get_items_outputs(Items{red}), (Items{ball}));
    EXPECT_EQ(scene.get_items_instances(Items{ball}), (Items{instance}));
    EXPECT_EQ(scene.get_items_sources(Items{instance, ball}), (Items{}));  // the source is given too
    EXPECT_EQ(scene.get_items_sources(Items{instance}), (Items{ball}));
    // A context stands for its objects; links inside the given items are not reported.
    EXPECT_EQ(scene.get_items_inputs(Items{look}), (Items{tex}));
    EXPECT_EQ(scene.get_items_outputs(Items{look}), (Items{ball}));
    // Instances read their source's references.
    EXPECT_EQ(instance->get_referenced_objects(), CoreVector<OfObject*>{red});
    EXPECT_EQ(instance->get_dependencies(), (CoreVector<OfObject*>{red, ball}));
    EXPECT_EQ(ball->get_dependents(), CoreVector<OfObject*>{instance});
}

TEST_F(OfSceneTest, ExpressionsExpandVariablesAndNormalisePaths)
{
    OfContext* geo = scene.create_context("geo");
    OfObject* ball = scene.create_object("Sphere", "ball", geo);
    scene.set_var("PDIR", "/projects/demo");
    scene.set_var("SHOT", "geo");
    CoreString expanded;
    EXPECT_TRUE(OfExpression::expand_variables("$PDIR/tex/${SHOT}_a.png $$5", scene.get_vars(), expanded));
    EXPECT_EQ(expanded, "/projects/demo/tex/geo_a.png $5");
    EXPECT_FALSE(OfExpression::expand_variables("$NOPE/x", scene.get_vars(), expanded));
    EXPECT_FALSE(OfExpression::expand_variables("${SHOT", scene.get_vars(), expanded));
    EXPECT_FALSE(OfExpression::expand_variables("cost: $", scene.get_vars(), expanded));

    EXPECT_EQ(OfExpression::compute_path("/$SHOT/ball", scene), "/geo/ball");
    EXPECT_EQ(OfExpression::compute_path("ball.radius", scene, geo), "/geo/ball.radius");
    EXPECT_EQ(OfExpression::compute_path("../geo/./ball/", scene, geo), "/geo/ball");
    {
        LogRecorder log;
        EXPECT_EQ(OfExpression::compute_path("../..", scene, geo), "");
        EXPECT_EQ(OfExpression::compute_path("/${NOPE}", scene), "");
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
    }
    EXPECT_TRUE(OfExpression::is_valid("ball>mesh", scene, geo));
    EXPECT_FALSE(OfExpression::is_valid("ball>radius", scene, geo));
    EXPECT_EQ(scene.get_object(OfExpression::compute_path("ball", scene, geo)), ball);
}

}  // namespace
