#pragma once
// GuiMenu: a popup listing GuiMenuItems in four columns (check mark, icon, label, shortcut),
// with sub-menus that open after a short rest of the pointer, radio groups, embedded widgets,
// keyboard navigation, type-to-filter and an overflow into a "more ..." sub-menu when the
// screen cannot hold every row. Menus are kept when they close and can be shown again.
//
//     GuiMenu* menu = new GuiMenu(panel);
//     menu->add_item(*panel->get_action("Save"));
//     GuiMenu* view = menu->add_sub_menu("View");
//     view->add_item("Wireframe")->set_checkable(true);
//     panel->connect(*menu, EVT_ID_MENU_CLICK, &MyPanel::on_menu_click);
//     menu->popup(*button, GuiMenu::ANCHOR_BOTTOM, 0, 0);
//
// Items with an action run it for the menu's owner widget; the others raise
// EVT_ID_MENU_CLICK, with the item as get_last_selected_item().
#include "gui/core/gui_export.h"
#include "gui/core/gui_popup.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/sys/sys_timer.h"

class GuiAction;
class GuiImage;
class GuiMenuButton;
class GuiMenuItem;
class GuiMenuRadioGroup;

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MENU_SHOW);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MENU_HIDE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MENU_FOCUS_OUT);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MENU_CLICK);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MENU_KEY_PRESSED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MENU_SELECTION_CHANGED);

class QN_GUI_API GuiMenu : public GuiPopup {
    CORE_DECLARE_CLASS(GuiMenu, GuiPopup)

public:
    // Where popup(widget, ...) places the menu against the widget.
    enum Anchor : int { ANCHOR_LEFT = 0, ANCHOR_RIGHT = 1, ANCHOR_TOP = 2, ANCHOR_BOTTOM = 3 };

    // Rows are at least this high; the work area's height over it bounds the line count.
    static constexpr int ROW_HEIGHT = 17;

    // A menu whose actions run for `owner` (may be null); it opens above the owner's window.
    explicit GuiMenu(GuiWidget* owner);
    ~GuiMenu() override;

    GuiWidget* get_owner_widget() const { return m_owner_widget; }

    // --- Items (the menu owns them; past the maximum line count they go to "more ...") ---
    GuiMenuItem* add_item(CoreString const& name);
    GuiMenuItem* add_item(GuiAction& action, CoreString const& name = CoreString());
    // A separator line, with a label when `name` is not empty.
    GuiMenuItem* add_separator(CoreString const& name = CoreString());
    // A new sub-menu with the same owner.
    GuiMenu* add_sub_menu(CoreString const& name, GuiImage const* icon = nullptr);
    // Adopts `sub_menu`; a clickable-menu item is also triggered when clicked.
    GuiMenuItem* add_sub_menu(GuiMenu* sub_menu, CoreString const& name, GuiImage const* icon = nullptr,
                              bool const& clickable_menu = false);
    // Shows `sub_menu`, which stays its owner's, as a sub-menu; removing the item gives it back.
    GuiMenuItem* add_linked_sub_menu(GuiMenu* sub_menu, CoreString const& name, GuiImage const* icon = nullptr);
    // A row showing the widget, which becomes the menu's child.
    GuiMenuItem* add_widget(GuiWidget* widget);
    // A group owned by the menu; items join it with set_radio_group.
    GuiMenuRadioGroup* create_radio_group();
    // The first item of that name, searching the overflow too; null if none.
    GuiMenuItem* get_item(CoreString const& name) const;
    CoreVector<GuiMenuItem*> const& get_items() const { return m_items; }
    // Deletes the item (and its sub-menu).
    void remove_item(GuiMenuItem* item);
    // Deletes the item holding `sub_menu`.
    void remove_sub_menu(GuiMenu* sub_menu);
    void remove_all_items();
    // Moves `item` before `before` (or after it when `after`); null `before` moves it last.
    void move_item(GuiMenuItem* item, GuiMenuItem* before, bool const& after = false);
    void enable_all_items();
    void disable_all_items();

    // --- Showing ---
    // At the widget: ANCHOR_LEFT/RIGHT beside it, ANCHOR_TOP above, ANCHOR_BOTTOM below, any
    // other value at its origin; (dx, dy) moves the menu away from it.
    void popup(GuiWidget& widget, Anchor const& anchor, int const& dx, int const& dy);
    // With its top-left corner at the screen point, kept inside the work area.
    void popup(int const& x, int const& y);
    void hide() override;
    // Hides without EVT_ID_MENU_HIDE (a later hide or focus_out raises it).
    void hide_silent();
    // Raises EVT_ID_MENU_FOCUS_OUT and hides.
    void focus_out();
    // Closes this menu and every parent menu up to the main one.
    void focus_out_recursively();

    GuiMenu* get_parent_menu() const { return m_parent_menu; }
    GuiMenuItem* get_parent_item() const { return m_parent_item; }
    // The top-most menu of the chain.
    GuiMenu* get_main_menu();
    // The sub-menu shown from this menu; null if none.
    GuiMenu* get_open_sub_menu() const;
    GuiMenuItem* get_highlighted_item() const;
    GuiMenuItem* get_last_selected_item() const { return m_last_selected; }
    // Stored on the main menu of the chain.
    void set_last_triggered_action(GuiAction* action);
    GuiAction* get_last_triggered_action() const { return m_last_triggered_action; }
    // Runs the last action triggered from this menu again; false when there is none.
    bool repeat_last_action();
    // The widgets that open this menu (the buttons of a menu bar).
    void set_buttons(CoreVector<GuiWidget*> const& buttons) { m_buttons = buttons; }
    CoreVector<GuiWidget*> const& get_buttons() const { return m_buttons; }

    // --- Type-to-filter ---
    // With the filter, typed text narrows the rows to the matching items of the menu and its
    // sub-menus; at most `max_results` are listed (0: no limit). Results past the maximum line
    // count go to a "more ..." overflow.
    void set_enable_filter(bool const& enabled, int const& max_results = 0);
    bool const& is_filter_enabled() const { return m_filter_enabled; }
    CoreString const& get_filter() const { return m_filter; }
    // The items matching the filter, in menu order.
    CoreVector<GuiMenuItem*> const& get_filter_results() const { return m_results; }
    // Every word of `filter` starts a word of `name` (at its start, after a space or at a
    // camel-case hump); or a single filter word of two letters or more spells the initials
    // of the name's first words. An empty filter matches all, an empty name nothing.
    static bool is_visible_by_filter(CoreString name, CoreString filter);

    // --- Size ---
    void set_max_line_count(unsigned const& count);
    // The set count, else (computed once) the work area's height under the pointer / 17 - 3.
    int get_max_line_count();
    // The "more ..." sub-menu; null while everything fits. Its show, hide, focus-out and click
    // events are raised on this menu too, so a listener here may hear of a hide while this
    // menu stays shown.
    GuiMenu* get_more_menu() const { return m_more_menu; }
    bool const& is_overflow_menu() const { return m_overflow; }
    // The rows shown: the items, or while filtering the filter label and the results that fit,
    // with a "more ..." row for the others.
    CoreVector<GuiMenuItem*> get_displayed_items() const;
    // Measures the rows and resizes the menu: check + icon + label + shortcut + 25 wide, the
    // rows + 20 high.
    void compute_size();
    // Size of one row: its label width and height.
    void compute_item_size(GuiMenuItem const& item, int& w, int& h);
    // Top and height of a displayed row, in menu coordinates; false for a bad index.
    bool get_row_geometry(int const& row, int& y, int& h);
    // The displayed row at a height in the menu; -1 if none.
    int get_row_at(int const& y);
    int const& get_check_column_width() const { return m_check_width; }
    int const& get_icon_column_width() const { return m_icon_width; }
    int const& get_label_column_width() const { return m_label_width; }
    int const& get_shortcut_column_width() const { return m_shortcut_width; }

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    size_t get_memory_size() const override;

    // Internal: an item's look or text changed.
    void item_changed();
    // Internal: the sub-menu leaves its parent item (which is being deleted).
    void detach_from_parent();

protected:
    bool is_kept_when_closed() const override { return true; }
    bool on_popup_key(int const& key) override;

private:
    GuiMenu* target_for_new_item();
    // A "more ..." row of this menu opening a new overflow menu whose show, hide, focus-out and
    // click events are raised on this menu too.
    GuiMenuItem* create_more_item();
    GuiMenuItem* append(GuiMenuItem* item);
    // Drops items leaving this menu from the results and last choices of the menus above.
    void forget_items(CoreVector<GuiMenuItem*> const& items);
    // Triggers a displayed row as a click or Enter would; `by_click` records the action.
    void trigger(GuiMenuItem& item, bool const& by_click);
    void set_highlighted_row(int const& row, bool const& notify);
    // The nearest row from `from` in `step` direction that can be highlighted; -1 if none.
    int find_selectable_row(int const& from, int const& step);
    bool is_selectable(GuiMenuItem const& item) const;
    void open_sub_menu(int const& row, bool const& highlight_first);
    void close_sub_menu();
    // Polls the pointer's rest over the candidate row.
    static void on_sub_menu_timer(void* data);
    void arm_sub_menu_timer(int const& row);
    void apply_filter();
    void collect_results(GuiMenu const& menu, CoreVector<GuiMenuItem*>& results) const;
    // Shows items of other menus as rows, `room` of them here and the rest in a "more ..."
    // overflow, like added items past the maximum line count.
    void list_items(CoreVector<GuiMenuItem*> const& items, int const& room);
    void clear_listed();
    void layout_widgets();
    bool handle_key(int const& key);
    // Opens the menu of the neighbouring menu-bar button (step -1 or 1); false when none.
    bool move_to_neighbour_button(int const& step);
    void on_more_menu_event(GuiMenu& more, EventInfo const& info, void* data);

    friend class GuiMenuButton;
    GuiWidget* m_owner_widget = nullptr;
    // The menu button holding this menu, told when the menu goes first (a window teardown
    // may delete the menu before its button).
    GuiMenuButton* m_holding_button = nullptr;
    CoreVector<GuiMenuItem*> m_items;
    GuiMenu* m_parent_menu = nullptr;
    GuiMenuItem* m_parent_item = nullptr;
    int m_highlighted = -1;
    GuiMenuItem* m_last_selected = nullptr;
    int m_sub_menu_candidate = -1;
    SysTimer m_sub_menu_watch;
    unsigned m_sub_menu_timer = 0;
    int m_max_line_count = -1;
    GuiMenu* m_more_menu = nullptr;
    bool m_overflow = false;
    bool m_filter_enabled = false;
    int m_filter_max_results = 0;
    CoreString m_filter;
    CoreVector<GuiMenuItem*> m_results;
    // The results shown as rows here, and the "more ..." row holding the others.
    CoreVector<GuiMenuItem*> m_listed;
    GuiMenuItem* m_listed_more = nullptr;
    // An overflow listing another menu's results rather than items of its own.
    bool m_lists_results = false;
    GuiMenuItem* m_filter_label = nullptr;
    GuiMenuItem* m_results_label = nullptr;
    GuiMenuItem* m_no_items = nullptr;
    GuiAction* m_last_triggered_action = nullptr;
    CoreVector<GuiWidget*> m_buttons;
    CoreVector<GuiMenuRadioGroup*> m_radio_groups;
    // Layout of the displayed rows.
    CoreVector<int> m_row_top;
    CoreVector<int> m_row_height;
    int m_check_width = 0;
    int m_icon_width = 0;
    int m_label_width = 0;
    int m_shortcut_width = 0;
    bool m_pressed_inside = false;
    // The pointer's screen position at the last move over the menu.
    int m_pointer_x = 0;
    int m_pointer_y = 0;
    // Hidden by hide_silent since it was last shown.
    bool m_hidden_silently = false;
};
