#pragma once
// A deterministic 3D scene for the showcase, the tests and the benchmarks: the classes of a
// small look-development application (geometry, materials, textures, lights, cameras,
// groups and render settings) and a scene of them whose size is chosen by the caller.
//
//     OfObjectFactory scene;
//     SampleScene::build(scene);           // about 300 objects
//     SampleScene::build(big, 100000);     // the same structure, about 100,000 objects
//
// Layout of a built scene (B blocks of up to 25 props; every name below is fixed):
//
//     /cameras                   main_camera, closeup_camera, top_view
//     /lights                    key (area), fill (point), rim and sun (directional; sun disabled)
//     /lights/practicals         practical_<b>: a point light linked to the props of block b
//     /textures/shared           floor_diffuse, wall_noise, gobo
//     /textures/block_<b>        prop_<i>_diffuse (image), prop_<i>_grain (noise)
//     /materials/shared          floor, wall, metal, wood (blend), shading_layer (with one
//                                embedded rule per block)
//     /materials/block_<b>       prop_<i> (standard), prop_<i>_blend (every fifth prop)
//     /library                   a reference context: chair, lamp, vase, library_material
//     /geometry/set              an assembly: floor, wall_north, wall_east, table, set (combiner)
//     /geometry/props/block_<b>  all (a group of the block's props)
//       .../prop_<i>             body (polymesh), detail (primitive), handle (instance of a
//                                library object), combined (a combiner of the three)
//     /geometry/everything       a group of the set and of every block
//     /render                    final, preview, closeup (render settings, the last disabled)
//
// Materials read textures through input connections; geometry, lights, groups, cameras and
// render settings hold references. The scene carries colour tags, comments, disabled
// objects, instances and node-graph positions. Nothing depends on time or chance: two
// builds of the same size give equal dumps.
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class OfClassFactory;
class OfObject;
class OfObjectFactory;

class SampleScene {
public:
    // The object count build() aims at when given no size.
    static constexpr unsigned int DEFAULT_SIZE = 300;
    // Props per block (per context of props, materials and textures).
    static constexpr unsigned int PROPS_PER_BLOCK = 25;

    // Declares the scene's classes; nothing to do when they are all declared already. False
    // (with a message) when only some of their names are taken.
    static bool register_classes(OfClassFactory& classes);
    // Names of the classes register_classes declares, abstract ones included, in
    // registration order.
    static CoreVector<CoreString> get_class_names();

    // Registers the classes when needed and builds the scene in the root of `scene`, as one
    // undo step "Build Sample Scene", with about `size` objects in contexts (never fewer than
    // one prop's worth). Refused, with a message, when the root already holds items.
    static bool build(OfObjectFactory& scene, unsigned int const& size = DEFAULT_SIZE);
    // The number of props build() makes for `size`.
    static unsigned int get_prop_count(unsigned int const& size);

    // Objects of the scene's contexts that can be renamed, moved or deleted (those of the
    // reference context cannot), spread evenly over the scene in scene order: `count` of them
    // (all when there are fewer), skipping `offset` of them first. Used to pick what an edit
    // changes.
    static CoreVector<OfObject*> pick_objects(OfObjectFactory const& scene, unsigned int const& count,
                                              unsigned int const& offset = 0);
    // Appends `suffix` to the names of `objects`, as one undo step labelled `label`. Returns
    // how many were renamed.
    static unsigned int rename_objects(CoreVector<OfObject*> const& objects, CoreBasicString const& suffix,
                                       CoreBasicString const& label = "Rename Objects");
};
