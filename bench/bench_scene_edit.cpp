// Times the structural edits of a scene on one context of 5,000, 20,000 and 100,000 objects
// in pairs, the second of each pair referencing the first: deleting every object in
// creation order (one batch), undoing and redoing that batch, copying every object into the
// same context (every name clashes) and pasting them from the clipboard (every reference
// remapped to the pasted copy). Each should grow linearly (or as n log n) with the count.
#include <benchmark/benchmark.h>

#include <memory>

#include "host/app/app_object.h"
#include "host/app/sdk_helpers.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

namespace {

struct Scene {
    AppObject app;
    OfObjectFactory& factory = app.get_factory();
    OfContext* context = nullptr;
    CoreVector<OfItem*> items;

    explicit Scene(int64_t count)
    {
        OfClass* node = factory.get_classes().add_class("Node", "", "Scene");
        node->add_attr("previous", OfPlugType::TYPE_REFERENCE).set_object_filter("Node");
        context = factory.create_context("nodes");
        for (int64_t i = 0; i < count; ++i) {
            OfObject* object = factory.create_object("Node", "node", context);
            // In pairs: the second of each references the first.
            if (i % 2 == 1) object->get_attr("previous")->set_object(items.get_last()->to_object());
            items.add(object);
        }
        factory.get_command_manager().clear();
    }
};

// Runs `prepare` untimed, then times `work`, on a new scene of state.range(0) objects.
template <class Prepare, class Work>
void run(benchmark::State& state, Prepare const& prepare, Work const& work)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<Scene>(state.range(0));
        prepare(*scene);
        state.ResumeTiming();
        work(*scene);
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void delete_all(Scene& scene)
{
    scene.factory.delete_items(scene.items);
}

void BM_DeleteInCreationOrder(benchmark::State& state)
{
    run(state, [](Scene&) {}, delete_all);
}

void BM_UndoDelete(benchmark::State& state)
{
    run(state, delete_all, [](Scene& scene) { scene.factory.get_command_manager().undo(); });
}

void BM_RedoDelete(benchmark::State& state)
{
    run(
        state,
        [](Scene& scene) {
            delete_all(scene);
            scene.factory.get_command_manager().undo();
        },
        [](Scene& scene) { scene.factory.get_command_manager().redo(); });
}

void BM_Copy(benchmark::State& state)
{
    run(state, [](Scene&) {}, [](Scene& scene) { scene.factory.copy_items(scene.items, *scene.context); });
}

void BM_Paste(benchmark::State& state)
{
    run(
        state, [](Scene& scene) { SdkHelpers::copy_items(scene.items); },
        [](Scene& scene) { SdkHelpers::paste_items(*scene.context); });
}

}  // namespace

#define SCENE_SIZES ->Arg(5000)->Arg(20000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_DeleteInCreationOrder) SCENE_SIZES;
BENCHMARK(BM_UndoDelete) SCENE_SIZES;
BENCHMARK(BM_RedoDelete) SCENE_SIZES;
BENCHMARK(BM_Copy) SCENE_SIZES;
BENCHMARK(BM_Paste) SCENE_SIZES;

BENCHMARK_MAIN();
