#pragma once
// A small scene for the scene-framework tests: a class tree with every attribute kind, a
// sample scene over it, and a helper that checks an undoable change by comparing dumps
// before, after, after undo and after redo.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "tests/support/scene_undo_check.h"

// Declares the test class tree: SceneItem > Geometry > Sphere, Box, Mesh; Material,
// Texture, Group and the embedded-only Wheel.
inline void declare_test_classes(OfClassFactory& classes)
{
    OfClass* item = classes.add_class("SceneItem", "", "", true);
    item->add_attr("visible", OfPlugType::TYPE_BOOL).set_default_bool(true);
    item->add_attr("tags", OfPlugType::TYPE_STRING)
        .set_variable(true)
        .set_visual_hint(OfPlugType::VISUAL_HINT_TAGS);

    OfClass* geometry = classes.add_class("Geometry", "SceneItem", "Geometry", true);
    geometry->add_attr("material", OfPlugType::TYPE_REFERENCE).set_object_filter("Material");
    geometry->add_attr("scale", OfPlugType::TYPE_VEC3D).set_default_vec3d({1.0, 1.0, 1.0});
    geometry->add_output("mesh", OfPlugType::TYPE_OBJECT);

    OfClass* sphere = classes.add_class("Sphere", "Geometry", "Geometry/Primitive");
    sphere->add_attr("radius", OfPlugType::TYPE_DOUBLE)
        .set_default_double(1.0)
        .set_hard_range(0.0, 100.0)
        .set_soft_range(0.0, 10.0)
        .set_visual_hint(OfPlugType::VISUAL_HINT_DISTANCE)
        .set_group_name("Shape")
        .set_doc("Radius of the sphere.");
    sphere->add_attr("segments", OfPlugType::TYPE_LONG).set_default_long(24);
    classes.add_class("Box", "Geometry", "Geometry/Primitive");
    classes.add_class("Mesh", "Geometry", "Geometry/Polygon");

    OfClass* material = classes.add_class("Material", "SceneItem", "Shading");
    material->add_attr("color", OfPlugType::TYPE_COLOR).set_default_vec3d({0.5, 0.5, 0.5});
    material->add_attr("texture", OfPlugType::TYPE_COLOR).set_connectable(true);
    material->add_attr("model", OfPlugType::TYPE_ENUM)
        .add_enum_value(0, "Lambert")
        .add_enum_value(1, "Phong")
        .add_enum_value(7, "Custom")
        .set_default_long(1);
    material->add_attr("map", OfPlugType::TYPE_FILENAME).set_filename_extensions({"png", "exr"});
    material->add_attr("base", OfPlugType::TYPE_REFERENCE).set_object_filter("Material");
    material->add_output("shader", OfPlugType::TYPE_OBJECT);

    OfClass* texture = classes.add_class("Texture", "SceneItem", "Shading/Texture");
    texture->add_attr("uv", OfPlugType::TYPE_VEC2D).set_default_vec2d({1.0, 1.0});
    texture->add_attr("input", OfPlugType::TYPE_COLOR).set_connectable(true);
    texture->add_output("rgb", OfPlugType::TYPE_COLOR);

    OfClass* group = classes.add_class("Group", "SceneItem", "Scene");
    group->add_attr("members", OfPlugType::TYPE_REFERENCE, 0).set_variable(true);
    classes.add_class("Wheel", "SceneItem", "Scene")->set_embedded_only(true);
}

// A small scene over the test classes, shared by the undo and application tests:
// /geo: ball (Sphere, material -> red, with an embedded wheel), box (Box)
// /shading: red (Material, texture <- checker>rgb), checker (Texture)
struct SampleScene {
    void build(OfObjectFactory& scene)
    {
        geo = scene.create_context("geo");
        shading = scene.create_context("shading");
        ball = scene.create_object("Sphere", "ball", geo);
        box = scene.create_object("Box", "box", geo);
        red = scene.create_object("Material", "red", shading);
        checker = scene.create_object("Texture", "checker", shading);
        ball->get_attr("material")->set_object(red);
        ball->add_embedded_object("Wheel", "wheel");
        red->get_attr("texture")->connect(*checker->get_output("rgb"));
        ball->set_comment("the ball");
        ball->set_position({10.0, 20.0});
        box->set_position({30.0, 40.0});
        scene.get_command_manager().clear();
    }

    OfContext* geo = nullptr;
    OfContext* shading = nullptr;
    OfObject* ball = nullptr;
    OfObject* box = nullptr;
    OfObject* red = nullptr;
    OfObject* checker = nullptr;
};

class OfSceneTest : public ::testing::Test {
protected:
    void SetUp() override { declare_test_classes(scene.get_classes()); }

    std::string dump() const { return scene.dump_text().std_string(); }
    OfCommandManager& commands() { return scene.get_command_manager(); }

    // Runs `change` as one undo step (it must make exactly one) and checks that undo and redo
    // take it back and make it again exactly.
    void expect_undoable(std::function<void()> const& change)
    {
        expect_undoable_change(scene, nullptr, change);
    }

    OfObjectFactory scene;
};
