#include <gtest/gtest.h>

#include "host/app/of_app.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "tests/support/log_recorder.h"

namespace {

TEST(OfApp, VisualisationRootDecidesWhatIsVisible)
{
    OfApp app;
    OfObjectFactory& scene = app.get_factory();
    scene.get_classes().add_class("Box");
    OfContext* geo = scene.create_context("geo");
    OfContext* lights = scene.create_context("lights");
    OfObject* box = scene.create_object("Box", "box", geo);
    OfObject* lamp = scene.create_object("Box", "lamp", lights);
    EXPECT_EQ(box->get_application(), &app);

    EXPECT_EQ(&app.get_vizroot(), &scene.get_root());
    EXPECT_FALSE(app.is_visible_item(scene.get_build()));  // shadowed

    app.set_vizroot(*geo);
    EXPECT_TRUE(app.is_visible_item(*geo));
    EXPECT_TRUE(app.is_visible_object(*box));
    EXPECT_FALSE(app.is_visible_object(*lamp));
    box->set_shadowed(true);
    EXPECT_FALSE(app.is_visible_object(*box));

    // A deleted root gives way to the scene's root; a foreign context is refused.
    geo->remove();
    EXPECT_EQ(&app.get_vizroot(), &scene.get_root());
    EXPECT_FALSE(app.is_visible_object(*box));
    OfObjectFactory other;
    LogRecorder log;
    app.set_vizroot(other.get_root());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_EQ(&app.get_vizroot(), &scene.get_root());
    // Items of one scene cannot go into another.
    other.get_classes().add_class("Box");
    EXPECT_EQ(other.create_object("Box", "", lights), nullptr);
    EXPECT_FALSE(lamp->move_to(other.get_root()));
    EXPECT_EQ(lamp->get_context(), lights);
}

}  // namespace
