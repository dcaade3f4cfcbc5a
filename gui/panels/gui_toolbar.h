#pragma once
// GuiToolbar: a horizontal strip of controls anchored to its left or right end. One widget
// may stretch over the free space; items that do not fit move into an add-on menu opened
// from a small button at the right end. A toolbar can be minimised to a thin bar (a click
// restores it) and can hold child toolbars.
//
//     GuiToolbar* bar = new GuiToolbar(*window, 0, 0, window->get_width(), "Main");
//     bar->create_menu("File", GuiToolbar::ANCHOR_LEFT)->get_menu()->add_item("Open");
//     bar->add_separator(GuiToolbar::ANCHOR_LEFT);
//     GuiPushButton* render = bar->create_button("Render", "Render the scene", GuiToolbar::ANCHOR_RIGHT);
//     bar->add_widget(*search_field, GuiToolbar::ANCHOR_LEFT, true, 120);   // stretches
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class GuiCheckButton;
class GuiIcon;
class GuiImage;
class GuiMenu;
class GuiMenuButton;
class GuiListButton;
class GuiNumberField;
class GuiMenuButtonGroup;
class GuiPushButton;

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TOOLBAR_MINIMIZE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TOOLBAR_MAXIMIZE);

class QN_GUI_API GuiToolbar : public GuiWidget {
    CORE_DECLARE_CLASS(GuiToolbar, GuiWidget)

public:
    enum Anchor : int { ANCHOR_LEFT = 0, ANCHOR_RIGHT = 1 };
    // "ANCHOR_LEFT", "ANCHOR_RIGHT"; "ANCHOR_UNKNOWN" for other values.
    static char const* get_anchor_name(Anchor const& anchor);
    // Which way the minimise button's arrow points.
    enum Style : int { STYLE_UP = 0, STYLE_DOWN = 1 };
    static char const* get_style_name(Style const& style);

    static constexpr int BAR_HEIGHT = 22;
    static constexpr int MINIMIZED_HEIGHT = 6;
    // Width of the add-on button, and of the room it takes at the right end.
    static constexpr int ADDON_WIDTH = 10;

    // One entry of the bar; the layout writes its box.
    struct Item {
        Anchor anchor = ANCHOR_LEFT;
        GuiWidget* widget = nullptr;  // null for a separator
        bool owned = false;           // made by the toolbar, destroyed with the item
        bool shown = true;
        int x = 0, y = 0, w = 0, h = 0;
    };

    GuiToolbar(GuiWidget& parent, int const& x, int const& y, int const& w, CoreString const& name = CoreString());
    ~GuiToolbar() override;

    // --- Adding (each returns the new, shown widget, owned by the toolbar) ---
    GuiPushButton* create_button(CoreString const& label, CoreString const& tooltip, Anchor const& anchor);
    GuiPushButton* create_button(GuiIcon const& icon, CoreString const& label, CoreString const& tooltip,
                                 Anchor const& anchor, bool const& icon_after_label = false);
    GuiPushButton* create_button(GuiImage const& icon, CoreString const& label, CoreString const& tooltip,
                                 Anchor const& anchor, bool const& icon_after_label = false);
    GuiCheckButton* create_check_button(CoreString const& label, CoreString const& tooltip, Anchor const& anchor);
    GuiCheckButton* create_check_button(GuiIcon const& icon, CoreString const& label, CoreString const& tooltip,
                                        Anchor const& anchor, bool const& icon_after_label = false);
    GuiCheckButton* create_check_button(GuiImage const& icon, CoreString const& label, CoreString const& tooltip,
                                        Anchor const& anchor, bool const& icon_after_label = false);
    // A menu button of the toolbar's menu bar, with an empty menu.
    GuiMenuButton* create_menu(CoreString const& label, Anchor const& anchor);
    GuiMenuButton* create_menu(GuiIcon const& icon, CoreString const& label, Anchor const& anchor);
    // A drop-down list `width` pixels wide whose placeholder and tooltip are the label; it
    // keeps that width whatever it shows.
    GuiListButton* create_list_button(CoreString const& label, int const& width, Anchor const& anchor);
    // A number field `width` pixels wide (drag handle and label included) with the label.
    GuiNumberField* create_number_field(CoreString const& label, int const& width, Anchor const& anchor);
    // A widget made elsewhere (not owned): reparented to the toolbar, its clipping turned off.
    // A stretching widget takes the free space and is never narrower than `stretch_size`.
    void add_widget(GuiWidget& widget, Anchor const& anchor, bool const& stretch = false,
                    unsigned int const& stretch_size = 0);
    void add_separator(Anchor const& anchor);
    // The child becomes an item: not minimisable, maximised, without its minimise button.
    void add_toolbar(GuiToolbar& child, Anchor const& anchor);
    // Takes a child toolbar out again (it stays a child widget, hidden); false if not held.
    bool extract_toolbar(GuiToolbar& child);
    // Moves the menu button of `menu` before (or after) the one of `other`.
    bool move_menu(GuiMenu* menu, GuiMenu* other, bool const& after);
    // Moves an item before (or after) another; with `other` null, to the end. False when
    // either is not an item of this toolbar.
    bool move_item(Item const* item, Item const* other, bool const& after);
    // The child fits beside this toolbar's own items in `width`.
    bool can_hold_child_toolbar(GuiToolbar& child, int const& width);

    // --- Access ---
    unsigned int get_item_count() const { return m_items.get_count(); }
    Item const* get_item(unsigned int const& index) const;
    GuiWidget* get_widget(unsigned int const& index) const;
    // -1 when the widget is not an item.
    int get_item_index(GuiWidget const* widget) const;
    // -1 when the record is not one of this toolbar's (it is compared, never read).
    int get_item_index(Item const* item) const;
    bool has_widget(GuiWidget const* widget) const { return get_item_index(widget) >= 0; }
    bool is_right(unsigned int const& index) const;
    bool is_separator(unsigned int const& index) const;
    // Leading items laid out on the bar; the others are in the add-on menu.
    unsigned int const& get_fitted_count() const { return m_fitted_count; }
    GuiWidget* get_stretch_widget() const { return m_stretch_widget; }
    GuiPushButton* get_addon_button() const { return m_addon_button; }
    GuiMenu* get_addon_menu() const { return m_addon_menu; }
    GuiPushButton* get_minimize_button() const { return m_minimize_button; }
    GuiMenuButtonGroup* get_menu_button_group() const { return m_menu_group; }

    // --- Showing and removing ---
    void show_widget(GuiWidget* widget);
    void hide_widget(GuiWidget* widget);
    void show_by_index(unsigned int const& index);
    void hide_by_index(unsigned int const& index);
    // An owned widget is destroyed; one added from outside is only forgotten.
    void remove_widget(GuiWidget* widget);
    void remove_by_index(unsigned int const& index);
    // Destroys the owned widgets (menu buttons excepted) and empties the bar.
    void remove_all();
    void set_widget_size(GuiWidget* widget, int const& width);

    // --- Minimising ---
    void minimize();
    void maximize();
    bool const& is_minimized() const { return m_minimized; }
    void set_minimizable(bool const& minimizable);
    bool const& is_minimizable() const { return m_minimizable; }
    bool const& is_hovered() const { return m_hovered; }
    void set_style(Style const& style);
    Style const& get_style() const { return m_style; }
    void set_name(CoreString const& name) { m_name = name; }
    CoreString const& get_name() const { return m_name; }

    // Width the items need: 2, plus each item's content width and 2 between items.
    void get_content_size(int& w, int& h, bool const& with_child_toolbars = true);
    // Places the items, moving those that do not fit into the add-on menu.
    void rebuild_layout();
    // Fills `menu` with the items that do not fit.
    void build_addon_menu(GuiMenu& menu);

    void show() override;
    void redraw() override;
    void draw(GuiDc& dc) override;
    int process_event(CoreString const& name) override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;
    size_t get_memory_size() const override;

private:
    Item* add_item(GuiWidget* widget, Anchor const& anchor, bool const& owned);
    // Content width of an item as the layout counts it.
    int get_item_width(Item const& item, bool const& with_child_toolbars, int const& stretch_extra) const;
    // One placement pass over the shown items from index 0; returns the index of the first
    // item that overflowed (the item count when all fit) and the free space left.
    unsigned int place_items(int const& stretch_extra, int const& right_reduction, int const& limit_count,
                             int& free_space, int const& overflow_before);
    void apply_boxes();
    void show_addon_button();
    void fill_menu_from(GuiMenu& menu, GuiToolbar& toolbar, unsigned int const& first);
    void on_addon_button(GuiPushButton& button, EventInfo const& info, void* data);
    void on_addon_menu_click(GuiMenu& menu, EventInfo const& info, void* data);
    void on_minimize(GuiPushButton& button, EventInfo const& info, void* data);
    GuiPushButton* make_button(CoreString const& label, CoreString const& tooltip);
    GuiCheckButton* make_check_button(CoreString const& label, CoreString const& tooltip);
    bool is_parent_toolbar() const;

    CoreVector<Item*> m_items;
    unsigned int m_fitted_count = 0;
    int m_stretch_size = 0;
    GuiWidget* m_stretch_widget = nullptr;
    bool m_minimizable = true;
    bool m_minimized = false;
    GuiPushButton* m_minimize_button = nullptr;
    GuiPushButton* m_addon_button = nullptr;
    GuiMenu* m_addon_menu = nullptr;
    bool m_hovered = false;
    CoreString m_name;
    Style m_style = STYLE_UP;
    GuiMenuButtonGroup* m_menu_group = nullptr;
    int m_bar_height = BAR_HEIGHT;
    bool m_in_layout = false;
};
