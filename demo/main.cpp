// The showcase application: a main window built from the library's widgets over the sample
// scene. It grows with the library; every widget family gets its place here.
//
//     qn_demo                              the showcase, until its window is closed
//     qn_demo --quit-after SECONDS         leaves on its own (smoke tests)
//     qn_demo --size WxH                   the main window's size (default 1320x760)
//     qn_demo --resize WxH                 resizes the shown window (its panels follow)
//     qn_demo --screenshot FILE.png        draws the window once, writes its picture, exits
//     qn_demo --first-frame                draws the window once and exits (for timing the start)
//     qn_demo --page NAME                  the page shown first: widgets, look, drawing, opengl,
//                                          windows, menus, controls, fields, spreadsheet, text, preferences,
//                                          nodal, tree, curves, explorer, layout
//     qn_demo --snapshots N                keeps N snapshots of the Layout page's OpenGL view in
//                                          the image history (for pictures of the page)
//     qn_demo --nodal-action NAME          runs an action of the Node graph page's view once
//                                          shown ("layout", "fit all"; repeatable)
//     qn_demo --scheme dark|light          the colour scheme
//     qn_demo --trace                      prints focus changes, layouts and drops on stdout
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/core/gui_app.h"

namespace {

struct Options {
    double quit_after = -1.0;
    int width = 1320;
    int height = 760;
    int resize_width = 0;
    int resize_height = 0;
    char const* screenshot = nullptr;
    bool first_frame = false;
    char const* page = nullptr;
    int snapshots = 0;
    std::vector<char const*> nodal_actions;
    bool light = false;
    bool trace = false;
};

bool parse_options(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        bool const has_value = i + 1 < argc;
        if (std::strcmp(argv[i], "--quit-after") == 0 && has_value) {
            options.quit_after = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--first-frame") == 0) {
            options.first_frame = true;
        } else if (std::strcmp(argv[i], "--screenshot") == 0 && has_value) {
            options.screenshot = argv[++i];
        } else if (std::strcmp(argv[i], "--size") == 0 && has_value) {
            if (std::sscanf(argv[++i], "%dx%d", &options.width, &options.height) != 2 || options.width < 400 ||
                options.height < 300) {
                std::fprintf(stderr, "qn_demo: --size wants WIDTHxHEIGHT, at least 400x300\n");
                return false;
            }
        } else if (std::strcmp(argv[i], "--resize") == 0 && has_value) {
            if (std::sscanf(argv[++i], "%dx%d", &options.resize_width, &options.resize_height) != 2 ||
                options.resize_width < 400 || options.resize_height < 300) {
                std::fprintf(stderr, "qn_demo: --resize wants WIDTHxHEIGHT, at least 400x300\n");
                return false;
            }
        } else if (std::strcmp(argv[i], "--snapshots") == 0 && has_value) {
            options.snapshots = std::atoi(argv[++i]);
            if (options.snapshots < 0 || options.snapshots > 100) {
                std::fprintf(stderr, "qn_demo: --snapshots wants a count from 0 to 100\n");
                return false;
            }
        } else if (std::strcmp(argv[i], "--nodal-action") == 0 && has_value) {
            options.nodal_actions.push_back(argv[++i]);
        } else if (std::strcmp(argv[i], "--page") == 0 && has_value) {
            options.page = argv[++i];
        } else if (std::strcmp(argv[i], "--scheme") == 0 && has_value) {
            ++i;
            if (std::strcmp(argv[i], "dark") != 0 && std::strcmp(argv[i], "light") != 0) {
                std::fprintf(stderr, "qn_demo: --scheme wants dark or light\n");
                return false;
            }
            options.light = std::strcmp(argv[i], "light") == 0;
        } else if (std::strcmp(argv[i], "--trace") == 0) {
            options.trace = true;
        } else {
            std::fprintf(stderr, "qn_demo: unknown option '%s'\n", argv[i]);
            return false;
        }
    }
    return true;
}

void quit_application(void* data)
{
    static_cast<GuiApp*>(data)->quit();
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse_options(argc, argv, options)) return 2;
    DemoTrace::set_enabled(options.trace);

    GuiApp app(argc, argv);
    // The user's preferences: the interface's values and the layouts views left there (the
    // explorer's columns and open rows); written back when the showcase ends.
    app.load_preferences();
    ShowcaseWindow showcase(app, options.width, options.height);
    if (options.page && !showcase.show_page(options.page)) {
        std::fprintf(stderr, "qn_demo: unknown page '%s'; the pages are: %s\n", options.page,
                     ShowcaseWindow::get_page_names().get_data());
        return 2;
    }
    if (options.light) showcase.set_light_scheme(true);
    showcase.show();
    if (options.resize_width > 0) {
        GuiWindow& window = showcase.get_window();
        window.resize(window.get_x(), window.get_y(), options.resize_width, options.resize_height);
    }

    for (int i = 0; i < options.snapshots; ++i) showcase.snapshot_layout_view();
    for (char const* action : options.nodal_actions)
        if (!showcase.run_nodal_action(action)) return 2;
    if (options.screenshot) return showcase.get_window().write_screenshot(options.screenshot) ? 0 : 1;
    // Reading a pixel back waits until the first frame is drawn.
    if (options.first_frame) return showcase.get_window().read_pixels(0, 0, 1, 1).empty() ? 1 : 0;

    if (options.quit_after >= 0.0) app.add_timer(&quit_application, &app, options.quit_after);
    DemoTrace::line("ready");
    app.run();
    app.save_preferences();
    return 0;
}
