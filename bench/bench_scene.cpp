// Times the scene framework on the 100,000-object sample scene: building it (with the memory
// it takes per object), then renaming 10,000 objects in one batch, undoing that batch and
// redoing it. Doing the batch is the reference: undo and redo should cost no more. Each
// step runs several times on the same scene (the fastest time is kept) and the program
// prints a table with the ratios.
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "demo/sample_scene.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

namespace {

double seconds_of(std::function<void()> const& work)
{
    auto const start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

size_t heap_in_use()
{
    struct mallinfo2 const info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

double fastest(std::vector<double> const& times)
{
    return *std::min_element(times.begin(), times.end());
}

void print_row(char const* what, double const& seconds, double const& reference)
{
    std::printf("  %-34s %10.2f ms", what, seconds * 1000.0);
    if (reference > 0.0) std::printf("   %5.2f x doing it", seconds / reference);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned int size = 100000;
    unsigned int renamed = 10000;
    int rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--size") == 0) size = static_cast<unsigned int>(std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--rename") == 0)
            renamed = static_cast<unsigned int>(std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));
    }

    // Building: the scene, then its memory once the history no longer holds the build.
    auto scene = std::make_unique<OfObjectFactory>();
    size_t const heap_before = heap_in_use();
    double const build_time = seconds_of([&] { SampleScene::build(*scene, size); });
    OfCommandManager& commands = scene->get_command_manager();
    size_t const history_bytes = commands.get_memory_size();
    commands.clear();
    size_t const heap_after = heap_in_use();
    unsigned int const objects = scene->get_root().get_all_objects().get_count();
    size_t const framework_bytes = scene->get_memory_size();

    // Renaming: the same batch done, undone and redone, several times over.
    CoreVector<OfObject*> const picked = SampleScene::pick_objects(*scene, renamed);
    std::vector<double> done, undone, redone;
    unsigned int count = 0;
    for (int round = 0; round < rounds; ++round) {
        CoreString const suffix = CoreString("_") + round;
        done.push_back(
            seconds_of([&] { count = SampleScene::rename_objects(picked, suffix, "Rename Objects"); }));
        undone.push_back(seconds_of([&] { commands.undo(); }));
        redone.push_back(seconds_of([&] { commands.redo(); }));
    }
    double const do_time = fastest(done);

    std::printf("Sample scene of %u objects (asked for %u), %u renamed per batch, best of %d rounds\n",
                objects, size, count, rounds);
    print_row("build", build_time, 0.0);
    std::printf("  %-34s %10.0f bytes (framework's count)\n", "memory per object",
                double(framework_bytes) / objects);
    std::printf("  %-34s %10.0f bytes (heap growth)\n", "", double(heap_after - heap_before) / objects);
    std::printf("  %-34s %10.0f bytes (framework's count)\n", "build step in the undo history",
                double(history_bytes) / objects);
    print_row("rename batch: do", do_time, do_time);
    print_row("rename batch: undo", fastest(undone), do_time);
    print_row("rename batch: redo", fastest(redone), do_time);
    double const teardown = seconds_of([&] { scene.reset(); });
    print_row("free the scene and its history", teardown, 0.0);
    return 0;
}
