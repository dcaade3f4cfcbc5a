#include "demo/sample_scene.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "host/core/core_log.h"
#include "host/of/of_attr.h"
#include "host/of/of_attr_table.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

namespace {

using Vec2 = GMathVec2<double>;
using Vec3 = GMathVec3<double>;
using Type = OfPlugType::Type;

// Objects every build makes whatever its size (cameras, lights, shared materials, ...).
constexpr unsigned int FIXED_OBJECT_COUNT = 28;

// Names of the classes, in registration order (a base before what derives from it).
char const* const CLASS_NAMES[] = {
    "SceneItem",     "SceneObject3D", "Geometry",          "Sphere",
    "Box",           "Plane",         "PolyMesh",          "Combiner",
    "Group",         "Material",      "MaterialStandard",  "MaterialBlend",
    "ShadingLayer",  "ShadingRule",   "Texture",           "TextureImage",
    "TextureNoise",  "Light",         "LightPoint",        "LightDirectional",
    "LightArea",     "Camera",        "CameraPerspective", "CameraOrthographic",
    "RenderSettings"};

// A value in [0, 1) made from an index and a salt by mixing their bits (as splitmix64
// does), so that props vary without depending on the order of the calls.
double hash_unit(uint64_t const& index, uint64_t const& salt)
{
    uint64_t x = index * 0x9e3779b97f4a7c15ULL + salt * 0xbf58476d1ce4e5b9ULL + 0x94d049bb133111ebULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return static_cast<double>(x >> 11) / static_cast<double>(1ULL << 53);
}

// Value lists for defaults and presets.
OfAttrValues doubles(std::initializer_list<double> values)
{
    OfAttrValues result(OfPlugType::TYPE_DOUBLE, static_cast<unsigned int>(values.size()));
    unsigned int index = 0;
    for (double const& value : values) result.set_double(index++, value);
    return result;
}

OfAttrValues longs(Type const& type, std::initializer_list<int64_t> values)
{
    OfAttrValues result(type, static_cast<unsigned int>(values.size()));
    unsigned int index = 0;
    for (int64_t const& value : values) result.set_long(index++, value);
    return result;
}

OfAttrValues strings(std::initializer_list<char const*> values)
{
    OfAttrValues result(OfPlugType::TYPE_STRING, static_cast<unsigned int>(values.size()));
    unsigned int index = 0;
    for (char const* value : values) result.set_string(index++, value);
    return result;
}

// A disc of `size` pixels in one colour on a transparent ground: the class icons.
OfIconImage make_disc_icon(unsigned int const& size, unsigned char const& r, unsigned char const& g,
                           unsigned char const& b)
{
    CoreVector<unsigned char> rgba(size * size * 4, 0);
    double const centre = (size - 1) * 0.5;
    double const radius = size * 0.5 - 1.0;
    for (unsigned int y = 0; y < size; ++y) {
        for (unsigned int x = 0; x < size; ++x) {
            double const dx = x - centre;
            double const dy = y - centre;
            if (dx * dx + dy * dy > radius * radius) continue;
            unsigned int const at = (y * size + x) * 4;
            rgba[at] = r;
            rgba[at + 1] = g;
            rgba[at + 2] = b;
            rgba[at + 3] = 255;
        }
    }
    return OfIconImage(size, size, rgba);
}

void set_icons(OfClass* of_class, unsigned char const& r, unsigned char const& g, unsigned char const& b)
{
    for (unsigned int const size : {16u, 32u})
        of_class->get_icons().set_image(size, make_disc_icon(size, r, g, b));
}

// Declarations of the classes, by family.
void declare_base_classes(OfClassFactory& classes)
{
    OfClass* item = classes.add_class("SceneItem", "", "", true);
    item->set_class_doc("Anything of the scene: every class derives from it.");
    set_icons(item, 160, 160, 160);
    item->add_attr("tags", OfPlugType::TYPE_STRING, 0)
        .set_variable(true)
        .set_tag_candidates({"hero", "background", "static", "animated", "shadow_catcher", "practical"})
        .set_visual_hint(OfPlugType::VISUAL_HINT_TAGS)
        .set_group_name("Info")
        .set_doc("Words that classify the item, for searches and rules.");
    item->add_attr("notes", OfPlugType::TYPE_STRING)
        .set_visual_hint(OfPlugType::VISUAL_HINT_MULTILINE)
        .set_group_name("Info")
        .set_doc("Free text kept with the item.");

    OfClass* object = classes.add_class("SceneObject3D", "SceneItem", "", true);
    object->set_class_doc("An item placed in space, with a transformation.");
    object->add_attr("visible", OfPlugType::TYPE_BOOL)
        .set_default_bool(true)
        .set_group_name("Display")
        .set_doc("Whether the item shows in views and renders.");
    object->add_attr("translate", OfPlugType::TYPE_VEC3D)
        .set_visual_hint(OfPlugType::VISUAL_HINT_DISTANCE)
        .set_group_name("Transform")
        .set_doc("Position of the item's origin.");
    object->add_attr("rotate", OfPlugType::TYPE_VEC3D)
        .set_visual_hint(OfPlugType::VISUAL_HINT_ANGLE)
        .set_group_name("Transform")
        .set_doc("Rotation about the X, Y and Z axes, applied in that order.");
    object->add_attr("scale", OfPlugType::TYPE_VEC3D)
        .set_default_vec3d({1.0, 1.0, 1.0})
        .set_visual_hint(OfPlugType::VISUAL_HINT_SCALE)
        .set_group_name("Transform")
        .set_doc("Scale along each axis.");
    object->add_attr("uniform_scale", OfPlugType::TYPE_DOUBLE)
        .set_default_double(1.0)
        .set_hard_range(0.0, 1e6)
        .set_soft_range(0.0, 10.0)
        .set_visual_hint(OfPlugType::VISUAL_HINT_SCALE)
        .set_group_name("Transform")
        .set_doc("Scale applied on top of the per-axis scale.");
}

void declare_geometry_classes(OfClassFactory& classes)
{
    OfClass* geometry = classes.add_class("Geometry", "SceneObject3D", "Geometry", true);
    geometry->set_class_doc("A surface that renders: primitives, meshes and combinations of them.");
    set_icons(geometry, 70, 130, 220);
    geometry->add_attr("material", OfPlugType::TYPE_REFERENCE)
        .set_object_filter("Material")
        .set_group_name("Shading")
        .set_doc("The material the surface is shaded with.");
    geometry->add_attr("cast_shadows", OfPlugType::TYPE_BOOL)
        .set_default_bool(true)
        .set_group_name("Shading")
        .set_doc("Whether the surface blocks light.");
    geometry->add_attr("receive_shadows", OfPlugType::TYPE_BOOL)
        .set_default_bool(true)
        .set_group_name("Shading")
        .set_doc("Whether shadows fall on the surface.");
    geometry->add_attr("display_mode", OfPlugType::TYPE_ENUM)
        .add_enum_value(0, "Bounding Box", "A box around the surface.")
        .add_enum_value(1, "Wireframe", "The edges of the surface.")
        .add_enum_value(2, "Shaded", "Faces lit by a head light.")
        .add_enum_value(3, "Textured", "Faces with their textures.")
        .set_default_long(2)
        .set_group_name("Display")
        .set_doc("How views draw the surface.");
    geometry->add_attr("subdivision_level", OfPlugType::TYPE_LONG)
        .set_hard_range(0, 8)
        .set_group_name("Geometry")
        .set_doc("How many times the surface is subdivided before rendering.");
    geometry->add_output("geometry", OfPlugType::TYPE_OBJECT)
        .set_doc("The surface, for combiners and groups.");

    OfClass* sphere = classes.add_class("Sphere", "Geometry", "Geometry/Primitive");
    sphere->set_class_doc("A sphere around the origin.");
    sphere->add_attr("radius", OfPlugType::TYPE_DOUBLE)
        .set_default_double(1.0)
        .set_hard_range(0.0, 1e6)
        .set_soft_range(0.0, 10.0)
        .add_preset("Small", doubles({0.25}))
        .add_preset("Medium", doubles({1.0}))
        .add_preset("Large", doubles({4.0}))
        .set_visual_hint(OfPlugType::VISUAL_HINT_DISTANCE)
        .set_group_name("Shape")
        .set_doc("Radius of the sphere.");
    sphere->add_attr("segments", OfPlugType::TYPE_LONG)
        .set_default_long(24)
        .set_hard_range(3, 1024)
        .set_soft_range(3, 128)
        .set_group_name("Shape")
        .set_doc("Segments around the axis; half as many from pole to pole.");

    OfClass* box = classes.add_class("Box", "Geometry", "Geometry/Primitive");
    box->set_class_doc("A box centred on the origin.");
    box->add_attr("size", OfPlugType::TYPE_VEC3D)
        .set_default_vec3d({1.0, 1.0, 1.0})
        .set_visual_hint(OfPlugType::VISUAL_HINT_DISTANCE)
        .set_group_name("Shape")
        .set_doc("Length of the box along each axis.");
    box->add_attr("bevel", OfPlugType::TYPE_DOUBLE)
        .set_hard_range(0.0, 1e6)
        .set_soft_range(0.0, 0.5)
        .set_visual_hint(OfPlugType::VISUAL_HINT_DISTANCE)
        .set_group_name("Shape")
        .set_doc("Radius of the rounded edges.");

    OfClass* plane = classes.add_class("Plane", "Geometry", "Geometry/Primitive");
    plane->set_class_doc("A flat rectangle in the XZ plane.");
    plane->add_attr("size", OfPlugType::TYPE_VEC2D)
        .set_default_vec2d({10.0, 10.0})
        .set_visual_hint(OfPlugType::VISUAL_HINT_DISTANCE)
        .set_group_name("Shape")
        .set_doc("Width and depth of the rectangle.");
    plane->add_attr("divisions", OfPlugType::TYPE_LONG, 2)
        .set_default_long(1)
        .set_hard_range(1, 4096)
        .set_soft_range(1, 64)
        .set_group_name("Shape")
        .set_doc("Faces along the width and along the depth.");

    OfClass* polymesh = classes.add_class("PolyMesh", "Geometry", "Geometry/Polygon");
    polymesh->set_class_doc("A polygon mesh read from a file.");
    polymesh->set_object_default_name("mesh");
    polymesh->add_attr("file", OfPlugType::TYPE_FILENAME)
        .set_filename_extensions({"abc", "obj", "fbx", "lwo", "usd"})
        .set_visual_hint(OfPlugType::VISUAL_HINT_FILENAME_OPEN)
        .set_group_name("File")
        .set_doc("The file the mesh is read from.");
    polymesh->add_attr("frame_offset", OfPlugType::TYPE_DOUBLE)
        .set_visual_hint(OfPlugType::VISUAL_HINT_FRAME)
        .set_group_name("File")
        .set_doc("Frames added to the scene time when reading animated files.");
    polymesh->add_attr("file_units", OfPlugType::TYPE_ENUM)
        .add_enum_value(0, "Centimeters")
        .add_enum_value(1, "Meters")
        .add_enum_value(2, "Inches")
        .set_default_long(1)
        .set_group_name("File")
        .set_doc("The length unit the file was written in.");
    polymesh->add_attr("smooth_normals", OfPlugType::TYPE_BOOL)
        .set_default_bool(true)
        .set_group_name("Geometry")
        .set_doc("Whether normals are interpolated across faces.");

    OfClass* combiner = classes.add_class("Combiner", "Geometry", "Geometry/Combiner");
    combiner->set_class_doc("Renders several surfaces as one, under one transformation.");
    combiner->add_attr("geometries", OfPlugType::TYPE_REFERENCE, 0)
        .set_variable(true)
        .set_object_filter("Geometry")
        .set_group_name("Combiner")
        .set_doc("The surfaces combined.");
    combiner->add_attr("override_materials", OfPlugType::TYPE_BOOL)
        .set_group_name("Combiner")
        .set_doc("Whether the combiner's material replaces those of its surfaces.");

    OfClass* group = classes.add_class("Group", "SceneObject3D", "Scene");
    group->set_class_doc("A set of items moved and shown together.");
    set_icons(group, 150, 90, 200);
    group->add_attr("members", OfPlugType::TYPE_REFERENCE, 0)
        .set_variable(true)
        .set_object_filter("SceneObject3D")
        .set_group_name("Group")
        .set_doc("The items of the group.");
}

void declare_shading_classes(OfClassFactory& classes)
{
    OfClass* material = classes.add_class("Material", "SceneItem", "Material", true);
    material->set_class_doc("How a surface reflects, transmits and emits light.");
    set_icons(material, 210, 70, 70);
    material->add_attr("opacity", OfPlugType::TYPE_DOUBLE)
        .set_default_double(1.0)
        .set_hard_range(0.0, 1.0)
        .set_connectable(true)
        .set_visual_hint(OfPlugType::VISUAL_HINT_PERCENTAGE)
        .set_doc("How much of the surface is there: 0 lets everything through.");
    material->add_output("shader", OfPlugType::TYPE_OBJECT).set_doc("The material, for surfaces and blends.");

    OfClass* standard = classes.add_class("MaterialStandard", "Material", "Material");
    standard->set_class_doc("A physically based material with diffuse, specular and emission lobes.");
    standard->set_object_default_name("material");
    standard->add_attr("diffuse_color", OfPlugType::TYPE_COLOR)
        .set_default_vec3d({0.8, 0.8, 0.8})
        .set_connectable(true)
        .set_group_name("Diffuse")
        .set_doc("Colour of the light scattered by the surface.");
    standard->add_attr("specular_color", OfPlugType::TYPE_COLOR)
        .set_default_vec3d({1.0, 1.0, 1.0})
        .set_group_name("Specular")
        .set_doc("Tint of the reflections.");
    standard->add_attr("roughness", OfPlugType::TYPE_DOUBLE)
        .set_default_double(0.3)
        .set_hard_range(0.0, 1.0)
        .add_preset("Mirror", doubles({0.0}))
        .add_preset("Glossy", doubles({0.2}))
        .add_preset("Satin", doubles({0.5}))
        .add_preset("Matte", doubles({0.9}))
        .set_connectable(true)
        .set_group_name("Specular")
        .set_doc("Spread of the reflections: 0 is a mirror.");
    standard->add_attr("ior", OfPlugType::TYPE_DOUBLE)
        .set_default_double(1.5)
        .set_hard_range(1.0, 10.0)
        .set_soft_range(1.0, 3.0)
        .add_preset("Water", doubles({1.33}))
        .add_preset("Glass", doubles({1.5}))
        .add_preset("Diamond", doubles({2.42}))
        .set_group_name("Specular")
        .set_doc("Index of refraction, which sets how strong reflections are facing the view.");
    standard->add_attr("brdf", OfPlugType::TYPE_ENUM)
        .add_enum_value(0, "Lambert", "Diffuse only.")
        .add_enum_value(1, "Phong", "The classic highlight.")
        .add_enum_value(2, "GGX", "Microfacets with long tails.")
        .add_enum_value(3, "Beckmann", "Microfacets with short tails.")
        .set_default_long(2)
        .set_group_name("Specular")
        .set_doc("The reflection model.");
    standard->add_attr("emission_color", OfPlugType::TYPE_COLOR)
        .set_group_name("Emission")
        .set_doc("Light the surface gives off itself.");
    standard->add_attr("bump", OfPlugType::TYPE_DOUBLE)
        .set_connectable(true)
        .set_soft_range(-1.0, 1.0)
        .set_group_name("Normals")
        .set_doc("Height of the surface's relief, usually from a texture.");

    OfClass* blend = classes.add_class("MaterialBlend", "Material", "Material");
    blend->set_class_doc("Mixes two materials.");
    blend->set_object_default_name("blend");
    blend->add_attr("base", OfPlugType::TYPE_REFERENCE)
        .set_object_filter("Material")
        .set_group_name("Blend")
        .set_doc("The material underneath.");
    blend->add_attr("layer", OfPlugType::TYPE_REFERENCE)
        .set_object_filter("Material")
        .set_group_name("Blend")
        .set_doc("The material laid on top.");
    blend->add_attr("mix", OfPlugType::TYPE_DOUBLE)
        .set_default_double(0.5)
        .set_hard_range(0.0, 1.0)
        .set_connectable(true)
        .set_visual_hint(OfPlugType::VISUAL_HINT_PERCENTAGE)
        .set_group_name("Blend")
        .set_doc("How much of the layer shows.");

    OfClass* layer = classes.add_class("ShadingLayer", "SceneItem", "Material/Layer");
    layer->set_class_doc("Assigns materials by rules (its embedded objects) instead of one by one.");
    layer->add_attr("order", OfPlugType::TYPE_ENUM)
        .add_enum_value(0, "Top to Bottom")
        .add_enum_value(1, "Bottom to Top")
        .set_doc("Which rule wins when several match an item.");

    OfClass* rule = classes.add_class("ShadingRule", "SceneItem", "Material/Layer");
    rule->set_class_doc("One rule of a shading layer: the items it matches and what it gives them.");
    rule->set_embedded_only(true);
    rule->set_ui_creatable(false);
    rule->set_object_default_name("rule");
    rule->add_attr("filter", OfPlugType::TYPE_STRING)
        .set_group_name("Rule")
        .set_doc("Item paths the rule matches; '*' stands for any text.");
    rule->add_attr("material", OfPlugType::TYPE_REFERENCE)
        .set_object_filter("Material")
        .set_group_name("Rule")
        .set_doc("The material given to the matching items.");
    rule->add_attr("visible", OfPlugType::TYPE_BOOL)
        .set_default_bool(true)
        .set_group_name("Rule")
        .set_doc("Whether the matching items render.");

    OfClass* texture = classes.add_class("Texture", "SceneItem", "Texture", true);
    texture->set_class_doc("A pattern over a surface, read by materials.");
    set_icons(texture, 235, 150, 50);
    texture->add_attr("uv_scale", OfPlugType::TYPE_VEC2D)
        .set_default_vec2d({1.0, 1.0})
        .set_group_name("Mapping")
        .set_doc("Repetitions of the pattern along U and V.");
    texture->add_attr("uv_offset", OfPlugType::TYPE_VEC2D)
        .set_group_name("Mapping")
        .set_doc("Shift of the pattern along U and V.");
    texture->add_attr("projection", OfPlugType::TYPE_ENUM)
        .add_enum_value(0, "UV", "The surface's own coordinates.")
        .add_enum_value(1, "Planar")
        .add_enum_value(2, "Triplanar", "Three planar projections blended by the normal.")
        .add_enum_value(3, "Spherical")
        .set_group_name("Mapping")
        .set_doc("How points of the surface find their place in the pattern.");
    texture->add_output("rgb", OfPlugType::TYPE_COLOR).set_doc("The pattern's colour.");
    texture->add_output("alpha", OfPlugType::TYPE_DOUBLE).set_doc("The pattern's intensity, 0 to 1.");

    OfClass* image = classes.add_class("TextureImage", "Texture", "Texture/Image");
    image->set_class_doc("A picture read from a file.");
    image->set_object_default_name("image");
    image->add_attr("file", OfPlugType::TYPE_FILENAME)
        .set_filename_extensions({"exr", "png", "tif", "jpg", "tx"})
        .set_visual_hint(OfPlugType::VISUAL_HINT_FILENAME_OPEN)
        .set_group_name("File")
        .set_doc("The picture; \"<UDIM>\" in the name stands for the tile number.");
    image->add_attr("color_space", OfPlugType::TYPE_ENUM)
        .add_enum_value(0, "Linear")
        .add_enum_value(1, "sRGB")
        .add_enum_value(2, "Raw", "No conversion, for data such as normals.")
        .set_default_long(1)
        .set_group_name("File")
        .set_doc("The colour space the picture's values are in.");
    image->add_attr("gain", OfPlugType::TYPE_DOUBLE)
        .set_default_double(1.0)
        .set_soft_range(0.0, 4.0)
        .set_group_name("Adjust")
        .set_doc("Factor applied to the picture's values.");
    image->add_attr("mipmaps", OfPlugType::TYPE_BOOL)
        .set_default_bool(true)
        .set_group_name("File")
        .set_doc("Whether reduced copies filter distant areas.");

    OfClass* noise = classes.add_class("TextureNoise", "Texture", "Texture/Procedural");
    noise->set_class_doc("A fractal noise computed where it is read.");
    noise->set_object_default_name("noise");
    noise->add_attr("noise_type", OfPlugType::TYPE_ENUM)
        .add_enum_value(0, "Perlin")
        .add_enum_value(1, "Cellular")
        .add_enum_value(2, "Fractal")
        .set_group_name("Noise")
        .set_doc("The kind of noise.");
    noise->add_attr("color1", OfPlugType::TYPE_COLOR)
        .set_group_name("Noise")
        .set_doc("Colour where the noise is low.");
    noise->add_attr("color2", OfPlugType::TYPE_COLOR)
        .set_default_vec3d({1.0, 1.0, 1.0})
        .set_group_name("Noise")
        .set_doc("Colour where the noise is high.");
    noise->add_attr("frequency", OfPlugType::TYPE_DOUBLE)
        .set_default_double(4.0)
        .set_hard_range(0.0, 1e4)
        .set_soft_range(0.0, 64.0)
        .set_group_name("Noise")
        .set_doc("Features per unit of length.");
    noise->add_attr("octaves", OfPlugType::TYPE_LONG)
        .set_default_long(4)
        .set_hard_range(1, 16)
        .set_group_name("Noise")
        .set_doc("Layers of detail added to the noise.");
    noise->add_attr("seed", OfPlugType::TYPE_LONG)
        .set_group_name("Noise")
        .set_doc("Picks another noise of the same look.");
    noise->add_attr("input", OfPlugType::TYPE_COLOR)
        .set_connectable(true)
        .set_group_name("Noise")
        .set_doc("A pattern that distorts the noise.");
}

void declare_light_camera_classes(OfClassFactory& classes)
{
    OfClass* light = classes.add_class("Light", "SceneObject3D", "Light", true);
    light->set_class_doc("A source of light.");
    set_icons(light, 240, 220, 60);
    light->add_attr("color", OfPlugType::TYPE_COLOR)
        .set_default_vec3d({1.0, 1.0, 1.0})
        .set_group_name("Light")
        .set_doc("Colour of the light.");
    light->add_attr("intensity", OfPlugType::TYPE_DOUBLE)
        .set_default_double(1.0)
        .set_hard_range(0.0, 1e9)
        .set_soft_range(0.0, 100.0)
        .add_preset("Dim", doubles({0.25}))
        .add_preset("Normal", doubles({1.0}))
        .add_preset("Bright", doubles({10.0}))
        .set_group_name("Light")
        .set_doc("Strength of the light.");
    light->add_attr("exposure", OfPlugType::TYPE_DOUBLE)
        .set_soft_range(-10.0, 10.0)
        .set_group_name("Light")
        .set_doc("Stops added to the intensity: each doubles it.");
    light->add_attr("cast_shadows", OfPlugType::TYPE_BOOL)
        .set_default_bool(true)
        .set_group_name("Light")
        .set_doc("Whether surfaces block this light.");
    light->add_attr("light_linking", OfPlugType::TYPE_REFERENCE, 0)
        .set_variable(true)
        .set_object_filter("Geometry")
        .set_group_name("Linking")
        .set_doc("The surfaces the light reaches; all of them when empty.");
    light->add_output("illumination", OfPlugType::TYPE_OBJECT).set_doc("The light, for render settings.");

    OfClass* point = classes.add_class("LightPoint", "Light", "Light");
    point->set_class_doc("Light from a small sphere.");
    point->add_attr("radius", OfPlugType::TYPE_DOUBLE)
        .set_default_double(0.05)
        .set_hard_range(0.0, 1e6)
        .set_soft_range(0.0, 1.0)
        .set_visual_hint(OfPlugType::VISUAL_HINT_DISTANCE)
        .set_group_name("Shape")
        .set_doc("Radius of the emitting sphere: larger ones give softer shadows.");
    point->add_attr("decay", OfPlugType::TYPE_ENUM)
        .add_enum_value(0, "None")
        .add_enum_value(1, "Linear")
        .add_enum_value(2, "Quadratic", "As real lights do.")
        .set_default_long(2)
        .set_group_name("Light")
        .set_doc("How the light weakens with distance.");

    OfClass* directional = classes.add_class("LightDirectional", "Light", "Light");
    directional->set_class_doc("Parallel light from far away, as the sun's.");
    directional->add_attr("angle", OfPlugType::TYPE_DOUBLE)
        .set_default_double(0.5)
        .set_hard_range(0.0, 180.0)
        .set_soft_range(0.0, 10.0)
        .set_visual_hint(OfPlugType::VISUAL_HINT_ANGLE)
        .set_group_name("Shape")
        .set_doc("Apparent size of the source in the sky.");

    OfClass* area = classes.add_class("LightArea", "Light", "Light");
    area->set_class_doc("Light from a surface, such as a window or a soft box.");
    area->add_attr("size", OfPlugType::TYPE_VEC2D)
        .set_default_vec2d({1.0, 1.0})
        .set_visual_hint(OfPlugType::VISUAL_HINT_DISTANCE)
        .set_group_name("Shape")
        .set_doc("Width and height of the emitting surface.");
    area->add_attr("shape", OfPlugType::TYPE_ENUM)
        .add_enum_value(0, "Rectangle")
        .add_enum_value(1, "Disc")
        .add_enum_value(2, "Sphere")
        .set_group_name("Shape")
        .set_doc("The emitting surface's shape.");
    area->add_attr("texture", OfPlugType::TYPE_COLOR)
        .set_default_vec3d({1.0, 1.0, 1.0})
        .set_connectable(true)
        .set_group_name("Light")
        .set_doc("A pattern over the emitting surface.");
    area->add_attr("two_sided", OfPlugType::TYPE_BOOL)
        .set_group_name("Light")
        .set_doc("Whether both faces emit.");

    OfClass* camera = classes.add_class("Camera", "SceneObject3D", "Camera", true);
    camera->set_class_doc("A point of view that renders pictures.");
    set_icons(camera, 80, 190, 100);
    camera->add_attr("near", OfPlugType::TYPE_DOUBLE)
        .set_default_double(0.1)
        .set_hard_range(0.0, 1e9)
        .set_visual_hint(OfPlugType::VISUAL_HINT_DISTANCE)
        .set_group_name("Clipping")
        .set_doc("Nothing closer than this renders.");
    camera->add_attr("far", OfPlugType::TYPE_DOUBLE)
        .set_default_double(10000.0)
        .set_hard_range(0.0, 1e9)
        .set_visual_hint(OfPlugType::VISUAL_HINT_DISTANCE)
        .set_group_name("Clipping")
        .set_doc("Nothing farther than this renders.");
    camera->add_attr("target", OfPlugType::TYPE_REFERENCE)
        .set_object_filter("SceneObject3D")
        .set_group_name("Transform")
        .set_doc("An item the camera keeps aimed at; none when empty.");
    camera->add_output("view", OfPlugType::TYPE_OBJECT).set_doc("The camera, for render settings.");

    OfClass* perspective = classes.add_class("CameraPerspective", "Camera", "Camera");
    perspective->set_class_doc("A camera with a lens: far things look smaller.");
    perspective->set_object_default_name("camera");
    perspective->add_attr("field_of_view", OfPlugType::TYPE_DOUBLE)
        .set_default_double(50.0)
        .set_hard_range(0.01, 179.9)
        .set_soft_range(10.0, 120.0)
        .set_visual_hint(OfPlugType::VISUAL_HINT_ANGLE)
        .set_group_name("Lens")
        .set_doc("Horizontal angle the camera sees.");
    perspective->add_attr("depth_of_field", OfPlugType::TYPE_BOOL)
        .set_group_name("Lens")
        .set_doc("Whether things away from the focal distance blur.");
    perspective->add_attr("focal_distance", OfPlugType::TYPE_DOUBLE)
        .set_default_double(5.0)
        .set_hard_range(0.0, 1e9)
        .set_soft_range(0.0, 100.0)
        .set_visual_hint(OfPlugType::VISUAL_HINT_DISTANCE)
        .set_group_name("Lens")
        .set_doc("Distance of the sharp plane.");
    perspective->add_attr("f_stop", OfPlugType::TYPE_DOUBLE)
        .set_default_double(5.6)
        .set_hard_range(0.5, 64.0)
        .add_preset("f/1.4", doubles({1.4}))
        .add_preset("f/2.8", doubles({2.8}))
        .add_preset("f/5.6", doubles({5.6}))
        .add_preset("f/11", doubles({11.0}))
        .set_group_name("Lens")
        .set_doc("Aperture: lower numbers blur more.");
    perspective->add_attr("sensor", OfPlugType::TYPE_VEC2D)
        .set_default_vec2d({36.0, 24.0})
        .set_group_name("Lens")
        .set_doc("Width and height of the film, in millimetres.");

    OfClass* ortho = classes.add_class("CameraOrthographic", "Camera", "Camera");
    ortho->set_class_doc("A camera without perspective, for plans and elevations.");
    ortho->set_object_default_name("camera");
    ortho->add_attr("width", OfPlugType::TYPE_DOUBLE)
        .set_default_double(10.0)
        .set_hard_range(0.0, 1e9)
        .set_soft_range(0.0, 100.0)
        .set_visual_hint(OfPlugType::VISUAL_HINT_DISTANCE)
        .set_group_name("View")
        .set_doc("Width of the area seen.");
}

void declare_render_class(OfClassFactory& classes)
{
    OfClass* render = classes.add_class("RenderSettings", "SceneItem", "Render");
    render->set_class_doc("What to render, from where, and how.");
    render->set_object_default_name("render");
    set_icons(render, 235, 235, 235);
    render->add_attr("camera", OfPlugType::TYPE_REFERENCE)
        .set_object_filter("Camera")
        .set_group_name("Scene")
        .set_doc("The camera rendered through.");
    render->add_attr("lights", OfPlugType::TYPE_REFERENCE, 0)
        .set_variable(true)
        .set_object_filter("Light")
        .set_group_name("Scene")
        .set_doc("The lights rendered.");
    render->add_attr("geometry", OfPlugType::TYPE_REFERENCE, 0)
        .set_variable(true)
        .set_object_filter("SceneObject3D")
        .set_group_name("Scene")
        .set_doc("The items rendered.");
    render->add_attr("resolution", OfPlugType::TYPE_LONG, 2)
        .set_default_values(longs(OfPlugType::TYPE_LONG, {1920, 1080}))
        .set_hard_range(1, 65536)
        .set_soft_range(1, 8192)
        .add_preset("HD", longs(OfPlugType::TYPE_LONG, {1920, 1080}))
        .add_preset("UHD", longs(OfPlugType::TYPE_LONG, {3840, 2160}))
        .add_preset("Square", longs(OfPlugType::TYPE_LONG, {1024, 1024}))
        .set_group_name("Image")
        .set_doc("Width and height of the picture, in pixels.");
    render->add_attr("samples", OfPlugType::TYPE_LONG)
        .set_default_long(16)
        .set_hard_range(1, 65536)
        .set_soft_range(1, 256)
        .add_preset("Draft", longs(OfPlugType::TYPE_LONG, {4}))
        .add_preset("Preview", longs(OfPlugType::TYPE_LONG, {16}))
        .add_preset("Production", longs(OfPlugType::TYPE_LONG, {64}))
        .set_group_name("Sampling")
        .set_doc("Samples per pixel along each axis.");
    render->add_attr("motion_blur", OfPlugType::TYPE_BOOL)
        .set_group_name("Sampling")
        .set_doc("Whether moving things blur over the shutter time.");
    render->add_attr("shutter", OfPlugType::TYPE_DOUBLE)
        .set_default_double(0.02)
        .set_hard_range(0.0, 10.0)
        .set_soft_range(0.0, 0.1)
        .set_visual_hint(OfPlugType::VISUAL_HINT_TIME)
        .set_group_name("Sampling")
        .set_doc("How long the shutter stays open.");
    render->add_attr("frame_range", OfPlugType::TYPE_LONG, 2)
        .set_default_values(longs(OfPlugType::TYPE_LONG, {1, 100}))
        .set_visual_hint(OfPlugType::VISUAL_HINT_FRAME)
        .set_group_name("Output")
        .set_doc("First and last frame rendered.");
    render->add_attr("image_format", OfPlugType::TYPE_ENUM)
        .add_enum_value(0, "OpenEXR", "Floating-point channels, for compositing.")
        .add_enum_value(1, "PNG")
        .add_enum_value(2, "TIFF")
        .set_group_name("Output")
        .set_doc("The file format of the pictures.");
    render->add_attr("output_file", OfPlugType::TYPE_FILENAME)
        .set_default_string("$PDIR/renders/beauty.####.exr")
        .set_filename_extensions({"exr", "png", "tif"})
        .set_visual_hint(OfPlugType::VISUAL_HINT_FILENAME_SAVE)
        .set_group_name("Output")
        .set_doc("Where the pictures go; '#' characters stand for the frame number.");
    render->add_attr("cache_folder", OfPlugType::TYPE_FILENAME)
        .set_default_string("$PDIR/cache")
        .set_visual_hint(OfPlugType::VISUAL_HINT_FOLDER)
        .set_group_name("Output")
        .set_doc("Where intermediate files (converted textures, tessellations) are kept.");
    render->add_attr("aov_names", OfPlugType::TYPE_STRING, 3)
        .set_variable(true)
        .set_default_values(strings({"beauty", "depth", "normal"}))
        .set_group_name("Outputs")
        .set_doc("Names of the pictures written beside the beauty.");
    render->add_attr("aov_bits", OfPlugType::TYPE_LONG, 3)
        .set_variable(true)
        .set_default_values(longs(OfPlugType::TYPE_LONG, {16, 32, 16}))
        .set_group_name("Outputs")
        .set_doc("Bits per channel of each output picture.");
    render->add_attr("aov_enabled", OfPlugType::TYPE_BOOL, 3)
        .set_variable(true)
        .set_default_bool(true)
        .set_group_name("Outputs")
        .set_doc("Which output pictures are written.");
    render->add_attr_table("aovs")
        .add_column("Name", "aov_names")
        .add_column("Bits", "aov_bits")
        .set_enable_attr("aov_enabled")
        .set_metadata("title", "Output pictures");
}

// Setters that leave a null object or attribute alone (creation already reported it).
OfAttr* attr_of(OfObject* const& object, char const* name)
{
    return object ? object->get_attr(name) : nullptr;
}

void set_bool(OfObject* const& object, char const* name, bool const& value)
{
    if (OfAttr* attr = attr_of(object, name)) attr->set_bool(value);
}

void set_long(OfObject* const& object, char const* name, int64_t const& value, unsigned int const& index = 0)
{
    if (OfAttr* attr = attr_of(object, name)) attr->set_long(value, index);
}

void set_double(OfObject* const& object, char const* name, double const& value)
{
    if (OfAttr* attr = attr_of(object, name)) attr->set_double(value);
}

void set_vec2(OfObject* const& object, char const* name, Vec2 const& value)
{
    if (OfAttr* attr = attr_of(object, name)) attr->set_vec2d(value);
}

void set_vec3(OfObject* const& object, char const* name, Vec3 const& value)
{
    if (OfAttr* attr = attr_of(object, name)) attr->set_vec3d(value);
}

void set_string(OfObject* const& object, char const* name, CoreBasicString const& value)
{
    if (OfAttr* attr = attr_of(object, name)) attr->set_string(value);
}

void set_reference(OfObject* const& object, char const* name, OfObject* const& target)
{
    if (OfAttr* attr = attr_of(object, name)) attr->set_object(target);
}

// Gives a variable reference attribute the objects `targets` (nulls skipped).
void set_references(OfObject* const& object, char const* name, CoreVector<OfObject*> const& targets)
{
    OfAttr* attr = attr_of(object, name);
    if (!attr) return;
    OfAttrValues values(OfPlugType::TYPE_REFERENCE);
    for (OfObject* target : targets) {
        if (!target) continue;
        values.set_count(values.get_count() + 1);
        values.set_object(values.get_count() - 1, target);
    }
    attr->set_values(values);
}

void set_tags(OfObject* const& object, std::initializer_list<char const*> tags)
{
    if (OfAttr* attr = attr_of(object, "tags")) attr->set_values(strings(tags));
}

// Connects input `name` of `object` to output `output` of `source`.
void connect(OfObject* const& object, char const* name, OfObject* const& source, char const* output)
{
    OfAttr* attr = attr_of(object, name);
    OfOutput* plug = source ? source->get_output(output) : nullptr;
    if (attr && plug) attr->connect(*plug);
}

// Makes the scene, once the classes exist; see the layout in the header.
class Builder {
public:
    Builder(OfObjectFactory& scene, unsigned int const& prop_count) : m_scene(scene), m_prop_count(prop_count)
    {
    }

    void run()
    {
        make_contexts();
        make_shared_shading();
        make_library();
        make_set();
        make_cameras_and_lights();
        unsigned int const block_count =
            (m_prop_count + SampleScene::PROPS_PER_BLOCK - 1) / SampleScene::PROPS_PER_BLOCK;
        CoreVector<OfObject*> block_groups;
        CoreVector<OfObject*> lights = {m_key, m_fill, m_rim, m_sun};
        for (unsigned int block = 0; block < block_count; ++block) {
            OfObject* practical = nullptr;
            block_groups.add(make_block(block, practical));
            lights.add(practical);
        }
        OfObject* everything = make("Group", "everything", m_geometry, {400.0, 0.0});
        CoreVector<OfObject*> members = {m_set_combiner};
        members.add(block_groups);
        set_references(everything, "members", members);
        make_render(everything, lights);
        // Last: once a reference, the library's content can no longer change.
        if (m_library) m_library->set_reference(true);
    }

private:
    OfContext* context(char const* name, OfContext* parent,
                       OfContextEngine::Kind const& kind = OfContextEngine::KIND_PROJECT)
    {
        return m_scene.create_context(name, parent, kind);
    }

    OfObject* make(char const* class_name, CoreBasicString const& name, OfContext* const& where,
                   Vec2 const& position)
    {
        if (!where) return nullptr;
        OfObject* object = m_scene.create_object(class_name, name, where);
        if (object) object->set_position(position);
        return object;
    }

    void make_contexts()
    {
        m_cameras = context("cameras", nullptr);
        m_lights = context("lights", nullptr);
        m_practicals = context("practicals", m_lights);
        m_textures = context("textures", nullptr);
        m_shared_textures = context("shared", m_textures);
        m_materials = context("materials", nullptr);
        m_shared_materials = context("shared", m_materials);
        m_library = context("library", nullptr, OfContextEngine::KIND_REFERENCE);
        m_geometry = context("geometry", nullptr);
        m_set = context("set", m_geometry, OfContextEngine::KIND_ASSEMBLY);
        m_props = context("props", m_geometry);
        m_render = context("render", nullptr);
        if (m_library) m_library->set_comment("Assets shared between shows; read-only here.");
        if (m_set) m_set->set_colortag(4);
    }

    void make_shared_shading()
    {
        OfObject* floor_diffuse = make("TextureImage", "floor_diffuse", m_shared_textures, {0.0, 0.0});
        set_string(floor_diffuse, "file", "$PDIR/textures/floor_planks_<UDIM>.exr");
        set_long(floor_diffuse, "color_space", 0);
        set_vec2(floor_diffuse, "uv_scale", {4.0, 4.0});
        m_wall_noise = make("TextureNoise", "wall_noise", m_shared_textures, {0.0, 120.0});
        set_double(m_wall_noise, "frequency", 12.0);
        set_long(m_wall_noise, "octaves", 6);
        set_vec3(m_wall_noise, "color1", {0.55, 0.52, 0.5});
        m_gobo = make("TextureNoise", "gobo", m_shared_textures, {0.0, 240.0});
        set_long(m_gobo, "noise_type", 1);
        set_double(m_gobo, "frequency", 2.5);
        if (m_gobo) m_gobo->set_comment("Breaks up the key light like leaves in front of a window.");

        m_floor_material = make("MaterialStandard", "floor", m_shared_materials, {0.0, 0.0});
        connect(m_floor_material, "diffuse_color", floor_diffuse, "rgb");
        set_double(m_floor_material, "roughness", 0.6);
        m_wall_material = make("MaterialStandard", "wall", m_shared_materials, {0.0, 120.0});
        set_vec3(m_wall_material, "diffuse_color", {0.72, 0.7, 0.66});
        connect(m_wall_material, "roughness", m_wall_noise, "alpha");
        m_metal = make("MaterialStandard", "metal", m_shared_materials, {0.0, 240.0});
        set_double(m_metal, "roughness", 0.15);
        set_vec3(m_metal, "diffuse_color", {0.05, 0.05, 0.05});
        set_vec3(m_metal, "specular_color", {0.95, 0.64, 0.54});
        m_wood = make("MaterialBlend", "wood", m_shared_materials, {240.0, 60.0});
        set_reference(m_wood, "base", m_floor_material);
        set_reference(m_wood, "layer", m_metal);
        connect(m_wood, "mix", m_wall_noise, "alpha");
        m_shading_layer = make("ShadingLayer", "shading_layer", m_shared_materials, {480.0, 120.0});
        if (OfObject* rule =
                m_shading_layer ? m_shading_layer->add_embedded_object("ShadingRule", "set") : nullptr) {
            set_string(rule, "filter", "/geometry/set/*");
            set_reference(rule, "material", m_wall_material);
        }
    }

    void make_library()
    {
        OfObject* material = make("MaterialStandard", "library_material", m_library, {0.0, 0.0});
        set_vec3(material, "diffuse_color", {0.4, 0.25, 0.15});
        set_double(material, "roughness", 0.45);
        char const* const names[] = {"chair", "lamp"};
        for (unsigned int i = 0; i < 2; ++i) {
            m_sources[i] = make("PolyMesh", names[i], m_library, {240.0, 120.0 * i});
            set_string(m_sources[i], "file", CoreString("$PDIR/assets/library/") + names[i] + ".abc");
            set_reference(m_sources[i], "material", material);
        }
        m_sources[2] = make("Sphere", "vase", m_library, {240.0, 240.0});
        set_double(m_sources[2], "radius", 0.3);
        set_long(m_sources[2], "segments", 48);
        set_reference(m_sources[2], "material", material);
        set_tags(m_sources[2], {"static"});
    }

    void make_set()
    {
        OfObject* floor = make("Plane", "floor", m_set, {0.0, 0.0});
        set_vec2(floor, "size", {20.0, 20.0});
        set_long(floor, "divisions", 8, 0);
        set_long(floor, "divisions", 8, 1);
        set_reference(floor, "material", m_floor_material);
        set_tags(floor, {"static", "shadow_catcher"});
        OfObject* north = make("Box", "wall_north", m_set, {0.0, 100.0});
        set_vec3(north, "size", {20.0, 4.0, 0.2});
        set_vec3(north, "translate", {0.0, 2.0, -10.0});
        set_reference(north, "material", m_wall_material);
        OfObject* east = make("Box", "wall_east", m_set, {0.0, 200.0});
        set_vec3(east, "size", {0.2, 4.0, 20.0});
        set_vec3(east, "translate", {10.0, 2.0, 0.0});
        set_reference(east, "material", m_wall_material);
        set_bool(east, "cast_shadows", false);
        m_table = make("PolyMesh", "table", m_set, {0.0, 300.0});
        set_string(m_table, "file", "$PDIR/assets/set/table.abc");
        set_long(m_table, "file_units", 0);
        set_reference(m_table, "material", m_wood);
        set_tags(m_table, {"hero"});
        if (m_table) m_table->set_colortag(2);
        m_set_combiner = make("Combiner", "set", m_set, {260.0, 150.0});
        set_references(m_set_combiner, "geometries", {floor, north, east, m_table});
    }

    void make_cameras_and_lights()
    {
        OfObject* main = make("CameraPerspective", "main_camera", m_cameras, {0.0, 0.0});
        set_vec3(main, "translate", {8.0, 3.0, 8.0});
        set_reference(main, "target", m_table);
        m_main_camera = main;
        OfObject* closeup = make("CameraPerspective", "closeup_camera", m_cameras, {0.0, 100.0});
        m_closeup_camera = closeup;
        set_vec3(closeup, "translate", {2.0, 1.2, 2.0});
        set_double(closeup, "field_of_view", 25.0);
        set_bool(closeup, "depth_of_field", true);
        if (OfAttr* f_stop = attr_of(closeup, "f_stop")) f_stop->apply_preset(1);
        set_reference(closeup, "target", m_table);
        if (closeup) closeup->set_colortag(5);
        m_top_view = make("CameraOrthographic", "top_view", m_cameras, {0.0, 200.0});
        set_vec3(m_top_view, "translate", {0.0, 50.0, 0.0});
        set_vec3(m_top_view, "rotate", {-90.0, 0.0, 0.0});
        set_double(m_top_view, "width", 30.0);

        m_key = make("LightArea", "key", m_lights, {0.0, 0.0});
        set_vec3(m_key, "translate", {-3.0, 6.0, 4.0});
        set_vec3(m_key, "rotate", {-60.0, -30.0, 0.0});
        set_vec2(m_key, "size", {2.0, 1.0});
        set_double(m_key, "intensity", 8.0);
        connect(m_key, "texture", m_gobo, "rgb");
        if (m_key) {
            m_key->set_colortag(3);
            m_key->set_comment("Main light: a soft box above and left of the table.");
        }
        m_fill = make("LightPoint", "fill", m_lights, {0.0, 100.0});
        set_vec3(m_fill, "translate", {5.0, 2.0, 6.0});
        set_double(m_fill, "intensity", 0.5);
        set_double(m_fill, "radius", 0.5);
        m_rim = make("LightDirectional", "rim", m_lights, {0.0, 200.0});
        set_vec3(m_rim, "rotate", {-20.0, 160.0, 0.0});
        set_vec3(m_rim, "color", {0.8, 0.9, 1.0});
        set_references(m_rim, "light_linking", {m_set_combiner});
        m_sun = make("LightDirectional", "sun", m_lights, {0.0, 300.0});
        set_vec3(m_sun, "rotate", {-45.0, 60.0, 0.0});
        if (OfAttr* intensity = attr_of(m_sun, "intensity")) intensity->apply_preset(2);
        if (m_sun) {
            m_sun->set_disabled(true);
            m_sun->set_comment("For the daylight version of the shot.");
        }
    }

    // One block of props with its textures, materials, group and practical light; returns
    // the group.
    OfObject* make_block(unsigned int const& block, OfObject*& practical)
    {
        CoreString const name = CoreString("block_") + block;
        OfContext* textures = context(name.c_str(), m_textures);
        OfContext* materials = context(name.c_str(), m_materials);
        OfContext* props = context(name.c_str(), m_props);
        unsigned int const first = block * SampleScene::PROPS_PER_BLOCK;
        unsigned int const last = std::min(first + SampleScene::PROPS_PER_BLOCK, m_prop_count);
        CoreVector<OfObject*> combined;
        OfObject* first_material = nullptr;
        for (unsigned int prop = first; prop < last; ++prop) {
            OfObject* material = nullptr;
            combined.add(make_prop(prop, textures, materials, props, material));
            if (!first_material) first_material = material;
        }
        double const middle = 40.0 * (last - first);
        OfObject* group = make("Group", "all", props, {320.0, middle});
        set_references(group, "members", combined);
        if (group) {
            group->set_colortag(1 + block % 7);
            group->set_comment(CoreString("Props ") + first + " to " + (last - 1));
        }
        practical = make("LightPoint", CoreString("practical_") + block, m_practicals, {0.0, 100.0 * block});
        set_vec3(practical, "translate", {2.0 * (block % 10), 1.5, 2.0 * (block / 10)});
        set_vec3(practical, "color", {1.0, 0.75, 0.5});
        set_double(practical, "intensity", 0.2 + hash_unit(block, 7));
        set_references(practical, "light_linking", combined);
        set_tags(practical, {"practical"});
        if (OfObject* rule =
                m_shading_layer ? m_shading_layer->add_embedded_object("ShadingRule", name) : nullptr) {
            set_string(rule, "filter", CoreString("/geometry/props/") + name + "/*");
            set_reference(rule, "material", first_material);
            set_bool(rule, "visible", block % 4 != 3);
        }
        return group;
    }

    // One prop: a context of four surfaces, its material and its two textures; returns the
    // combiner and gives the material.
    OfObject* make_prop(unsigned int const& prop, OfContext* textures, OfContext* materials, OfContext* props,
                        OfObject*& material)
    {
        static char const* const kinds[] = {"crate", "barrel", "bottle", "book",
                                            "stool", "bucket", "jar",    "box"};
        CoreString const name = CoreString("prop_") + prop;
        double const row = 120.0 * (prop % SampleScene::PROPS_PER_BLOCK);

        OfObject* diffuse = make("TextureImage", name + "_diffuse", textures, {0.0, row});
        set_string(diffuse, "file", CoreString("$PDIR/textures/props/") + kinds[prop % 8] + "_diffuse.png");
        set_vec2(diffuse, "uv_scale", {1.0 + prop % 3, 1.0 + prop % 3});
        OfObject* grain = make("TextureNoise", name + "_grain", textures, {240.0, row});
        set_long(grain, "seed", prop);
        set_double(grain, "frequency", 2.0 + 30.0 * hash_unit(prop, 1));
        if (prop % 4 == 0) connect(grain, "input", diffuse, "rgb");

        material = make("MaterialStandard", name, materials, {0.0, row});
        connect(material, "diffuse_color", diffuse, "rgb");
        connect(material, "roughness", grain, "alpha");
        set_long(material, "brdf", prop % 4);
        set_double(material, "ior", 1.3 + hash_unit(prop, 2));
        OfObject* surface_material = material;
        if (prop % 5 == 4) {
            surface_material = make("MaterialBlend", name + "_blend", materials, {240.0, row});
            set_reference(surface_material, "base", material);
            set_reference(surface_material, "layer", m_metal);
            set_double(surface_material, "mix", 0.25 + 0.5 * hash_unit(prop, 3));
        }

        OfContext* where = context(name.c_str(), props);
        if (where) where->set_position({0.0, 80.0 * (prop % SampleScene::PROPS_PER_BLOCK)});
        OfObject* body = make("PolyMesh", "body", where, {0.0, 0.0});
        set_string(body, "file", CoreString("$PDIR/assets/props/") + kinds[prop % 8] + ".abc");
        set_reference(body, "material", surface_material);
        if (prop % 8 == 1) set_double(body, "frame_offset", 10.0 * (prop % 5));
        if (prop % 4 == 0) set_tags(body, {"hero", "static"});
        if (body && prop % 10 == 0) body->set_colortag(1 + (prop / 10) % 7);
        if (body && prop % 17 == 0) body->set_comment("Scanned, then cleaned up by hand.");

        static char const* const details[] = {"Sphere", "Box", "Plane"};
        OfObject* detail = make(details[prop % 3], "detail", where, {0.0, 100.0});
        double const size = 0.1 + 0.3 * hash_unit(prop, 4);
        if (prop % 3 == 0)
            set_double(detail, "radius", size);
        else if (prop % 3 == 1)
            set_vec3(detail, "size", {size, size * 2.0, size});
        else
            set_vec2(detail, "size", {size * 4.0, size * 4.0});
        set_reference(detail, "material", m_metal);
        if (detail && prop % 13 == 12) detail->set_disabled(true);

        OfObject* handle = nullptr;
        if (OfObject* source = m_sources[prop % 3]) {
            handle = m_scene.create_instance(*source, "handle", where);
            if (handle) handle->set_position({0.0, 200.0});
            set_vec3(handle, "translate", {0.0, 0.5 + hash_unit(prop, 5), 0.0});
        }

        OfObject* combined = make("Combiner", "combined", where, {260.0, 100.0});
        set_references(combined, "geometries", {body, detail, handle});
        set_vec3(combined, "translate", {2.0 * (prop % 50), 0.0, 2.0 * (prop / 50)});
        set_vec3(combined, "rotate", {0.0, 360.0 * hash_unit(prop, 6), 0.0});
        return combined;
    }

    void make_render(OfObject* const& everything, CoreVector<OfObject*> const& lights)
    {
        OfObject* final_render = make("RenderSettings", "final", m_render, {0.0, 0.0});
        set_reference(final_render, "camera", m_main_camera);
        set_references(final_render, "lights", lights);
        set_references(final_render, "geometry", {everything});
        if (OfAttr* samples = attr_of(final_render, "samples")) samples->apply_preset(2);
        set_bool(final_render, "motion_blur", true);
        set_string(final_render, "output_file", "$PDIR/renders/final/beauty.####.exr");
        if (final_render) final_render->set_colortag(6);

        OfObject* preview = make("RenderSettings", "preview", m_render, {0.0, 100.0});
        set_reference(preview, "camera", m_top_view);
        set_references(preview, "lights", {m_key, m_fill});
        set_references(preview, "geometry", {m_set_combiner});
        if (OfAttr* samples = attr_of(preview, "samples")) samples->apply_preset(0);
        set_long(preview, "resolution", 960, 0);
        set_long(preview, "resolution", 540, 1);
        set_long(preview, "image_format", 1);
        set_string(preview, "output_file", "$PDIR/renders/preview/beauty.####.png");
        if (OfAttr* enabled = attr_of(preview, "aov_enabled")) enabled->set_bool(false, 2);
        if (preview) preview->set_comment("Quick look from above, without the props.");

        OfObject* closeup = make("RenderSettings", "closeup", m_render, {0.0, 200.0});
        set_reference(closeup, "camera", m_closeup_camera);
        set_references(closeup, "lights", {m_key, m_fill, m_rim});
        set_references(closeup, "geometry", {m_table});
        if (OfAttr* resolution = attr_of(closeup, "resolution")) resolution->apply_preset(2);
        set_string(closeup, "output_file", "$PDIR/renders/closeup/beauty.####.exr");
        if (closeup) closeup->set_disabled(true);
    }

    OfObjectFactory& m_scene;
    unsigned int m_prop_count;
    OfContext* m_cameras = nullptr;
    OfContext* m_lights = nullptr;
    OfContext* m_practicals = nullptr;
    OfContext* m_textures = nullptr;
    OfContext* m_shared_textures = nullptr;
    OfContext* m_materials = nullptr;
    OfContext* m_shared_materials = nullptr;
    OfContext* m_library = nullptr;
    OfContext* m_geometry = nullptr;
    OfContext* m_set = nullptr;
    OfContext* m_props = nullptr;
    OfContext* m_render = nullptr;
    OfObject* m_wall_noise = nullptr;
    OfObject* m_gobo = nullptr;
    OfObject* m_floor_material = nullptr;
    OfObject* m_wall_material = nullptr;
    OfObject* m_metal = nullptr;
    OfObject* m_wood = nullptr;
    OfObject* m_shading_layer = nullptr;
    OfObject* m_sources[3] = {nullptr, nullptr, nullptr};
    OfObject* m_table = nullptr;
    OfObject* m_set_combiner = nullptr;
    OfObject* m_main_camera = nullptr;
    OfObject* m_closeup_camera = nullptr;
    OfObject* m_top_view = nullptr;
    OfObject* m_key = nullptr;
    OfObject* m_fill = nullptr;
    OfObject* m_rim = nullptr;
    OfObject* m_sun = nullptr;
};

}  // namespace

bool SampleScene::register_classes(OfClassFactory& classes)
{
    unsigned int present = 0;
    for (char const* name : CLASS_NAMES) present += classes.exists(name) ? 1 : 0;
    unsigned int const total = sizeof(CLASS_NAMES) / sizeof(CLASS_NAMES[0]);
    if (present == total) return true;
    if (present > 0) {
        CORE_LOG_WARNING("SampleScene.register_classes: " << present << " of the scene's " << total
                                                          << " class names are taken already\n");
        return false;
    }
    declare_base_classes(classes);
    declare_geometry_classes(classes);
    declare_shading_classes(classes);
    declare_light_camera_classes(classes);
    declare_render_class(classes);
    return true;
}

CoreVector<CoreString> SampleScene::get_class_names()
{
    CoreVector<CoreString> names;
    for (char const* name : CLASS_NAMES) names.add(name);
    return names;
}

unsigned int SampleScene::get_prop_count(unsigned int const& size)
{
    // Each prop makes about 7.2 objects (a fifth of them have a blend material) and each
    // block of props two more (its group and its practical light).
    double const per_prop = 7.2 + 2.0 / PROPS_PER_BLOCK;
    double const props = (static_cast<double>(size) - FIXED_OBJECT_COUNT) / per_prop;
    return props < 1.0 ? 1u : static_cast<unsigned int>(props + 0.5);
}

bool SampleScene::build(OfObjectFactory& scene, unsigned int const& size)
{
    if (!register_classes(scene.get_classes())) return false;
    OfContext& root = scene.get_root();
    for (OfItem* item : root.get_items()) {
        if (item == &scene.get_build()) continue;
        CORE_LOG_WARNING("SampleScene.build: the scene is not empty (it holds " << item->get_full_name()
                                                                                << ")\n");
        return false;
    }
    OfCommandManager& commands = scene.get_command_manager();
    commands.begin_batch("Build Sample Scene");
    Builder(scene, get_prop_count(size)).run();
    commands.end_batch();
    return true;
}

CoreVector<OfObject*> SampleScene::pick_objects(OfObjectFactory const& scene, unsigned int const& count,
                                                unsigned int const& offset)
{
    CoreVector<OfObject*> candidates;
    for (OfObject* object : scene.get_root().get_all_objects())
        if (object->is_editable(OfItem::EDIT_MODE_STRUCTURE)) candidates.add(object);
    CoreVector<OfObject*> picked;
    if (count == 0 || offset >= candidates.get_count()) return picked;
    unsigned int const available = candidates.get_count() - offset;
    unsigned int const step = available > count ? available / count : 1;
    for (unsigned int index = offset; index < candidates.get_count() && picked.get_count() < count;
         index += step)
        picked.add(candidates[index]);
    return picked;
}

unsigned int SampleScene::rename_objects(CoreVector<OfObject*> const& objects, CoreBasicString const& suffix,
                                         CoreBasicString const& label)
{
    if (objects.is_empty()) return 0;
    OfCommandManager& commands = objects[0]->get_factory().get_command_manager();
    unsigned int renamed = 0;
    commands.begin_batch(label);
    for (OfObject* object : objects) renamed += object->set_name(object->get_name() + suffix) ? 1 : 0;
    commands.end_batch();
    return renamed;
}
