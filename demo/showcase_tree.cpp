// The showcase's "Tree and grid" page: the sample scene's contexts and objects in a tree
// (click, Ctrl and Shift select; the arrows move and open; a letter jumps to the next name;
// dragging the selection moves it after the row it is dropped on, the list scrolling while
// the pointer is above or below it; Shift-click a selected object a second time to rename it),
// and a bordered 2 x 2 grid whose bars trade space between their neighbours when dragged.
// What happens shows in the status line and, with --trace, as "tree ..." lines.
#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/controls/gui_grid.h"
#include "gui/core/gui_app.h"
#include "gui/tree/gui_tree.h"
#include "gui/tree/gui_tree_item_basic.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

using namespace demo_edges;

namespace {

constexpr int MARGIN = 8;
constexpr int STATUS_H = 22;

// Scene objects can be renamed in the tree (the scene itself keeps its names).
class SceneObjectItem : public GuiTreeItemBasic {
public:
    using GuiTreeItemBasic::GuiTreeItemBasic;
    bool is_renamable() const override { return true; }
};

struct TreePage {
    GuiTree* tree = nullptr;
    DemoText* status = nullptr;

    void report(CoreString const& line)
    {
        status->set_text(line);
        DemoTrace::line(CoreString("tree ") + line);
    }
};

CoreString item_name(GuiTreeItem const* item)
{
    GuiTreeItemBasic const* basic = dynamic_cast<GuiTreeItemBasic const*>(item);
    return basic ? basic->get_name() : CoreString("-");
}

// A context's item, then its sub-contexts' subtrees, then its objects.
void add_context(GuiTreeItem& parent, OfContext const& context)
{
    GuiTreeItemBasic* item = new GuiTreeItemBasic(parent, context.get_name());
    item->set_expandable(true);
    for (OfContext const* sub : context.get_contexts()) add_context(*item, *sub);
    for (OfObject const* object : context.get_objects()) new SceneObjectItem(*item, object->get_name());
}

void on_tree_event(EventObject& sender, EventObject::EventInfo const& info, void* data)
{
    TreePage& page = *static_cast<TreePage*>(data);
    GuiTree& tree = static_cast<GuiTree&>(sender);
    CoreString const& name = info.get_name();
    if (name == EVT_ID_TREE_SELECTION_CHANGED) {
        page.report(CoreString("selection ") + tree.get_selection().get_count() + " items" +
                    (tree.get_selection().is_empty() ? CoreString() : ", last " + item_name(tree.get_selection().get_last())));
    } else if (name == EVT_ID_TREE_SELECTION_DROP) {
        page.report(CoreString("drop ") + tree.get_selection().get_count() + " items after " +
                    item_name(tree.get_last_event_item()));
    } else if (name == EVT_ID_TREE_ITEM_ACTIVATE) {
        page.report("activate " + item_name(tree.get_last_event_item()));
    } else if (name == EVT_ID_TREE_ITEM_RENAME) {
        page.report("rename " + item_name(tree.get_last_event_item()));
    } else if (name == EVT_ID_TREE_ITEM_EXPAND || name == EVT_ID_TREE_ITEM_COLLAPSE) {
        page.report(CoreString(name == EVT_ID_TREE_ITEM_EXPAND ? "expand " : "collapse ") +
                    item_name(tree.get_last_event_item()) + ", " + tree.get_line_count() + " lines");
    }
}

void on_grid_resized(EventObject& sender, EventObject::EventInfo const& info, void* data)
{
    TreePage& page = *static_cast<TreePage*>(data);
    GuiGrid& grid = static_cast<GuiGrid&>(sender);
    GuiWidget* first = grid.get_widget(0, 0);
    if (!first) return;
    page.report(CoreString(info.get_name() == EVT_ID_GRID_COLUMN_RESIZED ? "grid column " : "grid row ") +
                "first cell " + first->get_width() + " x " + first->get_height());
}

}  // namespace

void ShowcaseWindow::build_tree_page(GuiWidget& page, int x, int y, int w, int h)
{
    auto state = std::make_shared<TreePage>();
    m_page_state.push_back(state);
    int const tree_w = (w - MARGIN) / 2;
    int const panel_h = h - STATUS_H - MARGIN;

    DemoPanel* tree_panel = new DemoPanel(page, "tree_panel", "Scene contexts and objects (drag to reorder)", x, y,
                                          tree_w, panel_h);
    tree_panel->anchor(L, T, L, B);
    int const body_y = y + DemoPanel::TITLE_HEIGHT;
    GuiTree* tree = new GuiTree(*tree_panel, x + 1, body_y, tree_w - 2, panel_h - DemoPanel::TITLE_HEIGHT - 1);
    tree->set_constraints(L, T, R, B);
    tree->enable_multi_selection(true);
    tree->enable_drag_and_drop(true);
    tree->set_shaded_entries(true);
    state->tree = tree;
    for (OfContext const* context : m_app.get_factory().get_root().get_contexts()) add_context(*tree->get_root(), *context);
    // The first context with content open, so that the page shows two levels at once.
    for (GuiTreeItem* context : tree->get_root()->get_children()) {
        if (context->get_children().is_empty()) continue;
        context->expand();
        break;
    }
    tree->refresh();
    for (CoreString const* name : {&EVT_ID_TREE_SELECTION_CHANGED, &EVT_ID_TREE_SELECTION_DROP, &EVT_ID_TREE_ITEM_ACTIVATE,
                                   &EVT_ID_TREE_ITEM_RENAME, &EVT_ID_TREE_ITEM_EXPAND, &EVT_ID_TREE_ITEM_COLLAPSE})
        EventObject::connect(*tree, *name, &on_tree_event, state.get());

    int const grid_x = x + tree_w + MARGIN;
    int const grid_w = w - tree_w - MARGIN;
    DemoPanel* grid_panel =
        new DemoPanel(page, "grid_panel", "A bordered 2 x 2 grid (drag the bars)", grid_x, y, grid_w, panel_h);
    grid_panel->anchor(L, T, R, B);
    GuiGrid* grid = new GuiGrid(*grid_panel, grid_x + 1, body_y, grid_w - 2, panel_h - DemoPanel::TITLE_HEIGHT - 1, 2, 2);
    grid->set_constraints(L, T, R, B);
    grid->set_style(GuiGrid::STYLE_BORDER);
    for (unsigned int i = 0; i < 2; ++i) {
        grid->set_column_ratio(i, 0.5);
        grid->set_row_ratio(i, 0.5);
    }
    char const* const cells[2][2] = {{"Outliner: the scene's tree", "Viewer: the rendered image"},
                                     {"Attributes: the selection's values", "Log: what the application reports"}};
    for (unsigned int c = 0; c < 2; ++c) {
        for (unsigned int r = 0; r < 2; ++r) {
            DemoText* text = new DemoText(*grid, CoreString("grid_cell_") + c + "_" + r, 0, 0, 10, 10);
            text->set_text(cells[r][c]);
            grid->set_widget(*text, c, r);
        }
    }
    EventObject::connect(*grid, EVT_ID_GRID_COLUMN_RESIZED, &on_grid_resized, state.get());
    EventObject::connect(*grid, EVT_ID_GRID_ROW_RESIZED, &on_grid_resized, state.get());

    state->status = new DemoText(page, "tree_status", x, y + h - STATUS_H, w, STATUS_H);
    state->status->anchor(L, B, R, B);
    state->status->set_text("Click, Ctrl-click or Shift-click rows; drag the selection onto another row.");
}
