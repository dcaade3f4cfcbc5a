#pragma once
// GuiListView: a plain list of text rows, one of which may be selected; used where a short
// list is picked from (completion candidates, choices). The wheel and the arrow keys scroll
// it; it draws only the rows in view.
//
//     GuiListView* list = new GuiListView(*popup, 0, 0, 200, 120);
//     list->set_items(names);
//     popup->connect(*list, EVT_ID_LIST_VIEW_VALIDATE, &MyPicker::on_pick);
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"

// A row was selected by a click (not by set_selected_index or move_selection).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LIST_VIEW_SELECT);
// The selected row was validated: double click, Return or keypad Enter.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LIST_VIEW_VALIDATE);

class QN_GUI_API GuiListView : public GuiWidget {
    CORE_DECLARE_CLASS(GuiListView, GuiWidget)

public:
    GuiListView(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    ~GuiListView() override;

    // Replaces the rows; nothing is selected and the first row is at the top.
    void set_items(CoreVector<CoreString> const& items);
    void add_item(CoreString const& text);
    void clear_items();
    CoreVector<CoreString> const& get_items() const { return m_items; }
    int get_item_count() const { return static_cast<int>(m_items.get_count()); }

    // -1 clears the selection; other values are clamped to the rows. The row is scrolled
    // into view; no event.
    void set_selected_index(int const& index);
    int const& get_selected_index() const { return m_selected; }
    // The selected row's text; empty without a selection.
    CoreString get_selected_item() const;
    // Moves the selection by `delta` rows, clamped to the list (from the first or last row
    // when nothing is selected); no event.
    void move_selection(int const& delta);

    // Height of a row: the font's line height plus 4.
    int get_row_height();
    // Rows that fit in the box.
    int get_visible_row_count();
    int const& get_first_visible_row() const { return m_first_visible; }
    // Scrolls so that `row` is the first one in view (clamped).
    void scroll_to(int const& row);
    // The row under window y; -1 outside the rows.
    int get_row_at(int const& window_y);

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

private:
    void ensure_visible(int const& row);

    CoreVector<CoreString> m_items;
    int m_selected = -1;
    int m_first_visible = 0;
};
