#pragma once
// The showcase's main window. Its pages, picked from the list down its left side (or from
// View > Page):
// - "Widgets": nested panels that follow the window through their edge constraints, a row of
//   tiles to Tab through, scene items to drag onto a drop target, and the foundation tour
//   with the sample scene's undo history;
// - "Look": the colour scheme's roles, the built-in pictures and the fonts;
// - "Drawing": what the software drawing context draws: lines, pixels, triangles,
//   rectangles, frames with rounded corners, boxed, clamped and wrapped text, icons with text;
// - "OpenGL": distance-field text from 8 to 72 points in an OpenGL view, zoomed with the
//   wheel, under switchable safe frames and composition guides;
// - "Windows": a message box of every style, the About box, a floating tool window owned
//   by the main window, and a popup;
// - "Menus": push buttons (every style, one bound to an action, a toggle, an option zone),
//   check buttons and check boxes; a menu bar, and a context menu with sub-menus, check and
//   radio items, icons, looks, a long list overflowing into "more ..." and type-to-filter;
//   the page's actions run from their shortcuts;
// - "Controls": a toolbar with a minimise button, a child toolbar and a stretching field;
//   tabbed documents with close buttons, an add-tab tab and a "More..." menu when narrow,
//   whose tabs drag into a second tab widget; a list scrolled by a scrollbar; sliders mixing
//   a colour;
// - "Fields": line edits (completion, a long path, Unicode, read-only, password, round),
//   labels renamed in place, and number fields with units, ranges, a slider and drag handles;
// - "Spreadsheet": 100,000 rows of the sample scene's items (name, class, path, a number)
//   that sort by a title click, select by cells, rows, columns and ranges, resize their
//   columns by the title edges and scroll;
// - "Text": a script in a text editor with line numbers and syntax colouring, a search and
//   replace row and a go-to-line question, beside a console that shows the log;
// - "Preferences": the interface's preferences with their kinds, values and presets;
// - "Tree and grid": the sample scene's contexts and objects in a tree whose selection is
//   reordered by drag and drop, beside a bordered 2 x 2 grid whose bars are dragged;
// - "Curves": animation curves of the sample scene in a curve editor whose keys are picked,
//   selected and dragged, with the current frame marker;
// - "Explorer": the sample scene as an explorer tree with a filter, beside an item sheet of
//   the selected context; rows rename in place, open the item menu and drag between contexts;
// - "Layout": viewport frames split in four holding the node graph, a sheet of scene objects,
//   the curve editor and an OpenGL view; frames split, close and maximise, tabs drag between
//   them, and View > Save Layout / Restore Layout keep the arrangement in a file.
// The header holds the title and switches between the dark and the light colour scheme. Above it, the main
// menu bar (File, Edit, View, Help from the application's menu description) with tool
// buttons; narrowed, its last items move into the bar's add-on menu.
#include <functional>
#include <memory>
#include <vector>

#include "demo/foundation_tour.h"
#include "gui/core/gui_window.h"

class GuiApp;
class GuiNodal;
class DemoPageList;
class DemoText;
class DemoTile;
class GuiFloatingWindow;
class GuiMenuButtonGroup;
class GuiAppMainMenu;
class GuiCheckButton;
class AppMainMenuItem;
class GuiPushButton;
struct LayoutPage;

class ShowcaseWindow {
public:
    ShowcaseWindow(GuiApp& app, int width, int height);
    ~ShowcaseWindow();

    GuiWindow& get_window() { return *m_window; }
    void show();

    // In the order of the page list.
    enum Page {
        PAGE_WIDGETS,
        PAGE_LOOK,
        PAGE_DRAWING,
        PAGE_OPENGL,
        PAGE_WINDOWS,
        PAGE_MENUS,
        PAGE_CONTROLS,
        PAGE_FIELDS,
        PAGE_SPREADSHEET,
        PAGE_TEXT,
        PAGE_PREFERENCES,
        PAGE_NODAL,
        PAGE_TREE,
        PAGE_CURVES,
        PAGE_EXPLORER,
        PAGE_LAYOUT,
        PAGE_COUNT
    };
    // Shows one page and hides the others; false for an unknown name ("widgets", "look",
    // "drawing", "opengl", "windows", "menus", "controls", "fields", "text", "preferences", "nodal", "tree", "curves", "explorer", "layout").
    bool show_page(CoreString const& name);
    void show_page(Page page);
    // Every page's name, comma-separated, in list order.
    static CoreString get_page_names();
    void set_light_scheme(bool light);
    // Keeps what the Layout page's OpenGL view shows in the image history.
    void snapshot_layout_view();
    // Runs an action of the Node graph page's view ("layout", "fit all", ...) at once, without
    // animation; false (warned by the view) for a name it has no action for.
    bool run_nodal_action(CoreString const& name);

private:
    // Makes the page's content, once.
    void build_page(Page page);
    void build_focus_panel(GuiWidget& parent, int x, int y, int w, int h);
    void build_dnd_panel(GuiWidget& parent, int x, int y, int w, int h);
    void build_scene_panel(GuiWidget& parent, int x, int y, int w, int h);
    void refresh_scene_text();
    void build_look_page(GuiWidget& page, int x, int y, int w, int h);
    void build_drawing_page(GuiWidget& page, int x, int y, int w, int h);
    void build_opengl_page(GuiWidget& page, int x, int y, int w, int h);
    // A node graph of the sample scene's textures and the materials that read them.
    void build_nodal_page(GuiWidget& page, int x, int y, int w, int h);
    void build_windows_page(GuiWidget& page, int x, int y, int w, int h);
    // Runs `action` when the push button is clicked.
    void on_click(GuiPushButton& button, std::function<void()> action);
    void show_about();
    // The main menu bar over the header: the application's menu description on a toolbar.
    void build_main_menu(GuiWindow& window, int width);
    // Runs a command of the main menu description (data: this showcase).
    static void on_menu_command(AppMainMenuItem& item, void* data);
    void build_menus_page(GuiWidget& page, int x, int y, int w, int h);
    void build_controls_page(GuiWidget& page, int x, int y, int w, int h);
    void build_fields_page(GuiWidget& page, int x, int y, int w, int h);
    void build_spreadsheet_page(GuiWidget& page, int x, int y, int w, int h);
    void build_text_page(GuiWidget& page, int x, int y, int w, int h);
    void build_preferences_page(GuiWidget& page, int x, int y, int w, int h);
    void build_tree_page(GuiWidget& page, int x, int y, int w, int h);
    void build_curves_page(GuiWidget& page, int x, int y, int w, int h);
    void build_explorer_page(GuiWidget& page, int x, int y, int w, int h);
    // The Layout page's frames and editors are made when it is first shown.
    void build_layout_page(GuiWidget& page, int x, int y, int w, int h);
    void build_layout_frames();
    void save_layout();
    void restore_layout();

    static char const* get_page_name(Page page);
    // The page's label in the page list, also its entry in View > Page.
    static char const* get_page_label(Page page);

    GuiApp& m_app;
    GuiWindow* m_window = nullptr;
    std::unique_ptr<SceneTour> m_tour;
    DemoText* m_scene_text = nullptr;
    DemoPageList* m_page_list = nullptr;
    GuiWidget* m_pages[PAGE_COUNT] = {};
    DemoTile* m_scheme_button = nullptr;
    bool m_light = false;
    std::vector<std::unique_ptr<std::function<void()>>> m_click_actions;
    GuiFloatingWindow* m_tool_window = nullptr;
    std::unique_ptr<GuiMenuButtonGroup> m_menu_bar;
    std::unique_ptr<GuiAppMainMenu> m_main_menu;
    std::vector<GuiCheckButton*> m_tools;
    LayoutPage* m_layout = nullptr;
    bool m_built[PAGE_COUNT] = {};
    GuiNodal* m_nodal = nullptr;
    // State the pages' event handlers point to.
    std::vector<std::shared_ptr<void>> m_page_state;
};

// Editors the showcase shows on their own pages and in the Layout page's frames.
GuiWidget* make_showcase_graph(GuiWidget& parent, int x, int y, int w, int h, GuiApp& app);
GuiWidget* make_showcase_curves(GuiWidget& parent, int x, int y, int w, int h, GuiApp& app);
