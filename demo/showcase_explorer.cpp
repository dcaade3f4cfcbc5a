// The showcase's "Explorer" page: the sample scene in an explorer tree (filter field above
// it) beside an item sheet listing the context selected in the tree. Rows rename in place
// (F2, or the item menu's "Rename"), open the item menu on a right click, and drag onto a
// context to move there (a right-button drag asks with the drop menu); Edit > Undo takes
// each edit back. What happens shows in the status line and, with --trace, as "explorer ..."
// lines: the filter's result, the scene's renames and moves, and where the tree's shown
// rows are ("explorer row PATH KIND X Y").
#include <memory>

#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/core/gui_app.h"
#include "gui/explorer/gui_explorer.h"
#include "gui/explorer/gui_of_item_spreadsheet.h"
#include "gui/fields/gui_line_edit.h"
#include "host/of/of_context.h"
#include "host/of/of_event.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

using namespace demo_edges;

namespace {

constexpr int MARGIN = 8;
constexpr int STATUS_H = 22;
constexpr int FILTER_H = 24;
// Rows the trace reports at most, from the first shown.
constexpr unsigned int TRACED_ROWS = 40;

struct ExplorerPage {
    GuiApp* app = nullptr;
    GuiExplorer* explorer = nullptr;
    GuiOfItemSpreadsheet* sheet = nullptr;
    GuiLineEdit* filter = nullptr;
    DemoText* status = nullptr;
    bool rows_changed = true;
    unsigned int timer = 0;

    void report(CoreString const& line)
    {
        status->set_text(line);
        DemoTrace::line(CoreString("explorer ") + line);
    }

    // Where the explorer's shown rows are, once the update pass has placed them.
    void trace_rows()
    {
        rows_changed = false;
        if (!DemoTrace::is_enabled()) return;
        DemoTrace::line(CoreString("explorer filter field ") + (filter->get_x() + filter->get_width() / 2) + " " +
                        (filter->get_y() + filter->get_height() / 2));
        unsigned int const shown = explorer->get_visible_row_count();
        int const offset = explorer->get_row_offset_index();
        unsigned int const first = explorer->get_visible_position(static_cast<unsigned int>(std::max(0, offset)));
        for (unsigned int position = first; position < shown && position < first + TRACED_ROWS; ++position) {
            int const index = explorer->get_visible_row(position);
            GuiOfItemSpreadsheetRow const* row = explorer->get_item_row(static_cast<unsigned int>(index));
            OfItem const* item = row ? row->get_item() : nullptr;
            int const y = explorer->get_cell_pos_y(index);
            if (!item || y < 0 || y >= explorer->get_y() + explorer->get_height()) continue;
            int const depth_x = explorer->get_x() + (row->get_depth() + 1) * GuiSpreadsheet::TREE_INDENT + 30;
            DemoTrace::line(CoreString("explorer row ") + item->get_full_name() +
                            (item->is_context() ? " context " : " object ") + depth_x + " " +
                            (y + explorer->get_row_pitch(static_cast<unsigned int>(index)) / 2));
        }
        DemoTrace::line(CoreString("explorer rows shown ") + shown);
    }

    static void on_timer(void* data)
    {
        ExplorerPage& page = *static_cast<ExplorerPage*>(data);
        if (page.rows_changed && !page.explorer->get_is_dirty()) page.trace_rows();
        page.app->repeat_timer(page.timer, 0.1);
    }
};

void on_filter(EventObject& sender, EventObject::EventInfo const&, void* data)
{
    ExplorerPage& page = *static_cast<ExplorerPage*>(data);
    CoreString const text = static_cast<GuiLineEdit&>(sender).get_text();
    page.explorer->set_filter_text(text);
    page.sheet->set_filter_text(text);
    page.report(CoreString("filter \"") + text + "\" " + page.explorer->get_visible_row_count() + " rows");
    page.rows_changed = true;
}

void on_tree_selection(EventObject&, EventObject::EventInfo const&, void* data)
{
    ExplorerPage& page = *static_cast<ExplorerPage*>(data);
    CoreVector<OfItem*> const items = page.explorer->get_selected_items();
    if (items.get_count() == 1 && items[0]->is_context()) page.sheet->set_context(items[0]->to_context(), false);
    page.report(CoreString("selection ") + items.get_count() + " items" +
                (items.is_empty() ? CoreString() : ", first " + items[0]->get_full_name()));
}

void on_scene_change(EventObject&, EventObject::EventInfo const& info, void* data)
{
    ExplorerPage& page = *static_cast<ExplorerPage*>(data);
    auto const* change = static_cast<OfEventData const*>(info.get_event_data());
    page.rows_changed = true;
    if (!change || !change->item) return;
    CoreString const& name = info.get_name();
    CoreString const path = change->item->get_full_name();
    if (name == EVT_ID_OF_OBJECT_RENAME || name == EVT_ID_OF_RENAME_CONTEXT)
        page.report(CoreString("renamed ") + change->previous_name + " -> " + path);
    else if (name == EVT_ID_OF_ITEM_MOVED || name == EVT_ID_OF_REORDER_CONTEXT)
        page.report(CoreString("moved ") + path);
    else if (name == EVT_ID_OF_REMOVE_OBJECT || name == EVT_ID_OF_REMOVE_CONTEXT)
        page.report(CoreString("removed ") + path);
    else
        page.report(CoreString("added ") + path);
}

}  // namespace

void ShowcaseWindow::build_explorer_page(GuiWidget& page, int x, int y, int w, int h)
{
    auto state = std::make_shared<ExplorerPage>();
    m_page_state.push_back(state);
    state->app = &m_app;
    int const tree_w = (w - MARGIN) * 2 / 5;
    int const panel_h = h - STATUS_H - MARGIN;

    DemoPanel* tree_panel =
        new DemoPanel(page, "explorer_panel", "Scene (F2 renames, drag onto a context moves)", x, y, tree_w, panel_h);
    tree_panel->anchor(L, T, L, B);
    int const body_y = y + DemoPanel::TITLE_HEIGHT;
    state->filter = new GuiLineEdit(*tree_panel, x + 1, body_y, tree_w - 2, FILTER_H, "Filter");
    state->filter->set_constraints(L, T, R, T);
    state->explorer = new GuiExplorer(*tree_panel, x + 1, body_y + FILTER_H + 2, tree_w - 2,
                                      panel_h - DemoPanel::TITLE_HEIGHT - FILTER_H - 3);
    state->explorer->set_constraints(L, T, R, B);
    state->explorer->add_column_type(GuiOfItemSort::KEY_TYPE, "");
    state->explorer->set_column_width(1, 110);

    int const sheet_x = x + tree_w + MARGIN;
    int const sheet_w = w - tree_w - MARGIN;
    DemoPanel* sheet_panel =
        new DemoPanel(page, "items_panel", "Items of the context selected on the left", sheet_x, y, sheet_w, panel_h);
    sheet_panel->anchor(L, T, R, B);
    state->sheet =
        new GuiOfItemSpreadsheet(*sheet_panel, sheet_x + 1, body_y, sheet_w - 2, panel_h - DemoPanel::TITLE_HEIGHT - 1);
    state->sheet->set_constraints(L, T, R, B);
    for (int key : {GuiOfItemSort::KEY_TYPE, GuiOfItemSort::KEY_SOURCE, GuiOfItemSort::KEY_MODIFICATION_DATE,
                    GuiOfItemSort::KEY_COMMENT})
        state->sheet->add_column_type(key, "");

    state->status = new DemoText(page, "explorer_status", x, y + h - STATUS_H, w, STATUS_H);
    state->status->anchor(L, B, R, B);
    state->status->set_text("Type in the filter; right-click a row for the item menu; drag rows onto a context.");

    EventObject::connect(*state->filter, EVT_ID_LINE_EDIT_KEY_PRESSED, &on_filter, state.get());
    EventObject::connect(*state->explorer, EVT_ID_SPREADSHEET_SELECTION_CHANGED, &on_tree_selection, state.get());
    OfObjectFactory& scene = m_app.get_factory();
    for (CoreString const* name :
         {&EVT_ID_OF_OBJECT_RENAME, &EVT_ID_OF_RENAME_CONTEXT, &EVT_ID_OF_ITEM_MOVED, &EVT_ID_OF_REORDER_CONTEXT,
          &EVT_ID_OF_ADD_OBJECT, &EVT_ID_OF_ADD_CONTEXT, &EVT_ID_OF_REMOVE_OBJECT, &EVT_ID_OF_REMOVE_CONTEXT,
          &EVT_ID_OF_PASTE_OBJECT, &EVT_ID_OF_PASTE_CONTEXT})
        EventObject::connect(scene, *name, &on_scene_change, state.get());
    state->timer = m_app.add_timer(&ExplorerPage::on_timer, state.get(), 0.1);

    // The tree opens on the props' blocks, listed on the right.
    state->explorer->build_tree();
    if (OfContext* props = scene.get_context("/geometry/props")) state->explorer->set_context(props, false);

}
