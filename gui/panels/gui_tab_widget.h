#pragma once
// GuiTabWidget: one page out of several, under a row of tab headers. Headers that do not fit
// the row are reachable from a "More..." button at its right end, which opens a menu of them.
// Options turn the row into an editor-tab strip: close buttons on the headers, an add-tab
// pseudo-tab after the last header, and tabs dragged to another place of the row or into
// another tab widget. GuiTabItem is one tab: its name, page, icon and header box.
//
//     GuiTabWidget* tabs = new GuiTabWidget(*panel, 0, 0, 400, 300);
//     GuiWidget* page = new GuiWidget(*tabs, 0, 0, 10, 10);   // resized to the client area
//     tabs->add_tab("Scene", page, &GuiResource::open());
//     tabs->enable_tabs_closing(true);
//     panel->connect(*tabs, EVT_ID_TAB_WIDGET_ON_CLOSE_TAB_BUTTON, &MyPanel::on_close_tab);
//     // on_close_tab: tabs.remove_tab(tabs.get_clicked_tab());
//
// Pages belong to the tab widget: they become its children and remove_tab destroys them.
// Positions of header, close and add-tab boxes are relative to the widget's top-left corner;
// the client area (get_client_x, ...) is in window coordinates like widget positions.
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_base_object.h"
#include "host/core/core_string.h"

class GuiApp;
class GuiImage;
class GuiMenu;
class GuiPushButton;
class GuiTabWidget;
class GuiWidgetDc;

// The selected tab changed (by a click, the tab menu, set_selected_tab or a removal).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TAB_WIDGET_ON_TAB_CHANGE);
// A left button went up over a tab; get_clicked_tab() names it.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TAB_WIDGET_ON_TAB_CLICK);
// A close button or a middle click asks for get_clicked_tab() to be closed; the receiver
// removes the tab if it agrees.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TAB_WIDGET_ON_CLOSE_TAB_BUTTON);
// A tab was removed; the event data points to its former index (an unsigned int).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TAB_WIDGET_CLOSE_TAB);
// The add-tab pseudo-tab was pressed.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TAB_WIDGET_ON_NEW_TAB_BUTTON);
// The pointer came over the header get_hovered_tab(), or left the headers.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TAB_WIDGET_START_OVER_TAB);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TAB_WIDGET_LEAVE_OVER_TAB);

// One tab of a GuiTabWidget. The widget lays the boxes out; they are relative to it.
class QN_GUI_API GuiTabItem : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiTabItem, CoreBaseObject)

public:
    // The icon is not copied: it must outlive the tab.
    GuiTabItem(CoreString const& name, GuiWidget* page, GuiImage const* icon);

    CoreString const& get_name() const { return m_name; }
    // Shown as the widget's tooltip while the pointer is over the header (when not empty).
    CoreString const& get_tooltip() const { return m_tooltip; }
    GuiWidget* get_page() const { return m_page; }
    GuiImage const* get_icon() const { return m_icon; }
    bool const& is_enabled() const { return m_enabled; }

    int const& get_x() const { return m_x; }
    int const& get_y() const { return m_y; }
    int const& get_width() const { return m_width; }
    int const& get_height() const { return m_height; }
    int const& get_close_x() const { return m_close_x; }
    int const& get_close_y() const { return m_close_y; }
    int const& get_close_width() const { return m_close_width; }
    int const& get_close_height() const { return m_close_height; }

    // Neighbours in display order; null at the ends.
    GuiTabItem* get_previous() const { return m_previous; }
    GuiTabItem* get_next() const { return m_next; }

    size_t get_memory_size() const override
    {
        return sizeof(GuiTabItem) + m_name.get_length() + m_tooltip.get_length();
    }

private:
    friend class GuiTabWidget;
    void set_box(int const& x, int const& y, int const& w, int const& h)
    {
        m_x = x;
        m_y = y;
        m_width = w;
        m_height = h;
    }
    void set_close_box(int const& x, int const& y, int const& w, int const& h)
    {
        m_close_x = x;
        m_close_y = y;
        m_close_width = w;
        m_close_height = h;
    }
    bool has_box() const
    {
        return (m_x | m_y | m_width | m_height | m_close_x | m_close_y | m_close_width | m_close_height) != 0;
    }

    bool m_enabled = true;
    CoreString m_name;
    CoreString m_tooltip;
    GuiWidget* m_page = nullptr;
    GuiImage const* m_icon = nullptr;
    int m_x = 0, m_y = 0, m_width = 0, m_height = 0;
    int m_close_x = 0, m_close_y = 0, m_close_width = 0, m_close_height = 0;
    GuiTabItem* m_previous = nullptr;
    GuiTabItem* m_next = nullptr;
    // The width of the displayed name, measured once per name and header font: the face and
    // size it was measured in, and the title style (which changes the text); -1 when unknown.
    mutable int m_name_width = -1;
    mutable int m_measured_face = -1;
    mutable int m_measured_size = 0;
    mutable bool m_measured_title = false;
};

// What a tab drag carries: the tab widget it leaves and the tab's index there.
class QN_GUI_API GuiTabDndData : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiTabDndData, CoreBaseObject)

public:
    GuiTabDndData(GuiTabWidget& source, unsigned int const& index) : m_source(&source), m_index(index) {}
    GuiTabWidget& get_source() const { return *m_source; }
    unsigned int const& get_index() const { return m_index; }

private:
    GuiTabWidget* m_source;
    unsigned int m_index;
};

class QN_GUI_API GuiTabWidget : public GuiWidget {
    CORE_DECLARE_CLASS(GuiTabWidget, GuiWidget)

public:
    // Where the first header starts, and what a header adds around its text.
    static constexpr int FIRST_TAB_X = 8;
    static constexpr int TAB_PADDING = 16;
    static constexpr int ICON_GAP = 4;
    static constexpr int DEFAULT_TAB_HEIGHT = 22;
    static constexpr int MENU_BUTTON_SIZE = 18;
    static constexpr int ADD_TAB_WIDTH = 24;
    // Pointer travel from the press, in pixels, that starts dragging a tab.
    static constexpr int DRAG_DISTANCE = 8;

    GuiTabWidget(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    ~GuiTabWidget() override;

    // --- Tabs ---
    // Appends a tab; the page (may be null) becomes a child of the widget. Returns its index.
    unsigned int add_tab(CoreString const& name, GuiWidget* page, GuiImage const* icon = nullptr);
    // Inserts a tab before `index` (at the end when `index` is the tab count or more).
    unsigned int insert_tab(unsigned int const& index, CoreString const& name, GuiWidget* page,
                            GuiImage const* icon = nullptr);
    // Hides the page and destroys it (keeps it as a hidden child when `destroy_page` is false),
    // then removes the tab and raises EVT_ID_TAB_WIDGET_CLOSE_TAB.
    void remove_tab(unsigned int const& index, bool const& destroy_page = true);
    // Hides every page and forgets every tab; the pages stay hidden children unless
    // `destroy_pages`. The selection becomes 0.
    void remove_all_tabs(bool const& destroy_pages = false);
    // Moves a tab to `to` (its index afterwards); the selection follows the selected tab, or
    // goes to the moved one when `select`. False, with a warning, for a bad index.
    virtual bool move_tab(unsigned int const& from, unsigned int const& to, bool const& select = false);

    unsigned int const& get_tab_count() const { return m_tab_count; }
    // Null when out of range.
    GuiTabItem* get_tab_item(unsigned int const& index) const;
    GuiWidget* get_tab_widget(unsigned int const& index) const;
    CoreString get_tab_name(unsigned int const& index) const;
    GuiImage const* get_tab_icon(unsigned int const& index) const;
    bool is_tab_enabled(unsigned int const& index) const;
    // The index of the tab showing `page`; -1 when none does.
    int find_tab(GuiWidget const* page) const;
    void set_tab_name(unsigned int const& index, CoreString const& name);
    void set_tab_icon(unsigned int const& index, GuiImage const* icon);
    void set_tab_tooltip(unsigned int const& index, CoreString const& tooltip);
    // The former page is hidden and left to the caller; the new one becomes a child.
    void set_tab_widget(unsigned int const& index, GuiWidget* page);
    // A disabled tab cannot be clicked, closed or dragged, and is greyed in the tab menu.
    void set_tab_enabled(unsigned int const& index, bool const& enabled);

    // --- Selection ---
    void set_selected_tab(unsigned int const& index);
    // -1 before anything was selected.
    int const& get_selected_tab() const { return m_selected; }
    // Makes the tab the selected one and shows its page, hiding the others (no event).
    void show_page(unsigned int const& index);
    // Fits the selected page to the client area, shows it and redraws.
    void refresh_page();

    // --- Geometry ---
    int get_client_x() const { return get_x() + 1; }
    int get_client_y() const;
    int get_client_width() const { return get_width() - 2; }
    int get_client_height() const;
    // The header row's height; 0 while the headers are not shown.
    int get_tab_height() const { return m_tabs_showing ? m_tab_height : 0; }
    void set_tab_height(int const& height);
    // The add-tab pseudo-tab's box, relative to the widget; 0 without it.
    int get_add_tab_x() const;
    int get_add_tab_y() const;
    int get_add_tab_width() const;
    int get_add_tab_height() const;
    // Header width of a tab as the layout computes it.
    int get_header_width(GuiTabItem const& item);
    // Lays the headers out again from tab `first` (earlier headers are kept).
    void rebuild_layout(unsigned int const& first = 0);
    // Tabs laid out in the row; later ones are in the tab menu.
    unsigned int const& get_visible_tab_count() const { return m_visible_count; }

    // --- Options ---
    void enable_tabs_closing(bool const& enable);
    bool const& is_tabs_closing_enabled() const { return m_tabs_closing; }
    void enable_tabs_dragndrop(bool const& enable);
    bool const& is_tabs_dragndrop_enabled() const { return m_tabs_dragndrop; }
    // Without the header row the page takes the whole widget.
    void enable_tabs_showing(bool const& enable);
    bool const& is_tabs_showing_enabled() const { return m_tabs_showing; }
    void set_draw_decoration(bool const& draw);
    bool const& is_draw_decoration() const { return m_draw_decoration; }
    void set_minimun_tab_witdh(unsigned int const& width);
    unsigned int const& get_minimum_tab_width() const { return m_minimum_tab_width; }
    // Names in upper case, in a bold font two sizes smaller.
    void set_title_style(bool const& title);
    bool const& is_title_style() const { return m_title_style; }
    // Marks the header of the selected tab while its page holds the focus, following the
    // application's EVT_ID_APPLICATION_FOCUS_WIDGET_CHANGED.
    void set_display_focus(bool const& display);
    bool const& is_display_focus() const { return m_display_focus; }
    // True when the focus is marked now: the option is on and the focused widget is the
    // selected page or inside it.
    bool is_page_focused() const;
    void enable_add_tab_button(bool const& enable);
    bool is_add_tab_button_enabled() const { return m_add_tab_item != nullptr; }
    GuiTabItem const* get_add_tab_item() const { return m_add_tab_item; }

    // --- Pointer state ---
    int const& get_hovered_tab() const { return m_hovered_tab; }
    bool const& is_over_tab() const { return m_over_tab; }
    bool const& is_over_close() const { return m_over_close; }
    bool const& is_over_add_tab() const { return m_over_add_tab; }
    // The tab of the last click or close request.
    unsigned int const& get_clicked_tab() const { return m_clicked_tab; }

    GuiPushButton* get_menu_button() const { return m_menu_button; }
    GuiMenu* get_tab_menu() const { return m_tab_menu; }

    // --- Drag and drop ---
    // The index a tab dropped at x (relative to the widget) is inserted before.
    unsigned int get_drop_index(int const& x) const;
    // -1 unless a tab is being dragged over the row.
    int const& get_drop_indicator() const { return m_drop_index; }
    // Moves tab `index` of `source` before tab `at` of this widget (a reorder when `source`
    // is this widget) and selects it; returns its new index, -1 for a bad source index.
    virtual int drop_tab(GuiTabWidget& source, unsigned int const& index, unsigned int const& at);

    // --- Widget overrides ---
    void show() override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;
    void set_tooltip(CoreString const& tooltip) override;
    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    size_t get_memory_size() const override;

protected:
    // Drag-and-drop steps; the enter and drag steps return 1 to accept the drag.
    virtual int on_dnd_enter();
    virtual int on_dnd_drag();
    virtual int on_dnd_release();
    virtual void on_dnd_leave();
    // The current drag carries a tab this widget accepts.
    virtual bool is_valid_dnd_data() const;
    // Runs the drag of a tab; returns whether it was dropped.
    virtual bool do_initiate_dnd_event(unsigned int const& index);
    // The tab payload of the current drag; null when it carries none.
    static GuiTabDndData const* get_tab_dnd_data();

    void on_menu_button(GuiPushButton& button, EventInfo const& info, void* data);
    void on_menu_click(GuiMenu& menu, EventInfo const& info, void* data);
    void on_application_focus_changed(GuiApp& app, EventInfo const& info, void* data);

    virtual void draw_header(GuiWidgetDc& dc, GuiTabItem const& item, bool const& selected,
                             bool const& hovered);
    virtual void draw_add_tab(GuiWidgetDc& dc);

private:
    // The name as the header shows it (upper case in title style).
    CoreString get_display_name(GuiTabItem const& item) const;
    // Width of the displayed name in the header font.
    int get_name_width(GuiTabItem const& item);
    // Inserts the item at index `at` (at most the tab count) of the list and the index.
    void link(GuiTabItem* item, unsigned int const& at);
    // Takes the item at `index` out of the list and the index, and returns it.
    GuiTabItem* unlink(unsigned int const& index);
    // Shows or hides the "More..." button for the current layout.
    void update_menu_button();
    // Recomputes the hover flags from the pointer; raises the over-tab events on changes.
    void update_hover();
    void clear_hover(bool const& notify);
    bool is_tab_index(unsigned int const& index, char const* operation) const;
    int handle_mouse_down();
    int handle_mouse_up();
    int handle_mouse_drag();
    // Header, close button and add-tab boxes in the current layout.
    void place_add_tab();

    GuiTabItem* m_first = nullptr;
    GuiTabItem* m_last = nullptr;
    // The items by index, beside the list: lookups by index take constant time.
    CoreVector<GuiTabItem*> m_items;
    // Tabs from this index on have no header box: a layout clears only the ones before it.
    unsigned int m_boxed_end = 0;
    unsigned int m_tab_count = 0;
    int m_selected = -1;
    unsigned int m_visible_count = 0;
    int m_hovered_tab = -1;
    bool m_over_tab = false;
    bool m_over_close = false;
    bool m_over_add_tab = false;
    unsigned int m_clicked_tab = 0;
    bool m_tabs_closing = false;
    bool m_tabs_dragndrop = false;
    bool m_tabs_showing = true;
    bool m_draw_decoration = true;
    unsigned int m_minimum_tab_width = 0;
    int m_tab_height = DEFAULT_TAB_HEIGHT;
    bool m_display_focus = false;
    bool m_title_style = false;
    GuiTabItem* m_add_tab_item = nullptr;
    GuiPushButton* m_menu_button = nullptr;
    GuiMenu* m_tab_menu = nullptr;

    // The own tooltip, shown while the pointer is not over a header with a tooltip.
    CoreString m_own_tooltip;
    // The left press on a tab that may start a drag (-1: none), and where it was.
    int m_press_tab = -1;
    int m_press_x = 0;
    int m_press_y = 0;
    // The current press was a left press on a header: its release is a click.
    bool m_click_pending = false;
    int m_drop_index = -1;
};
