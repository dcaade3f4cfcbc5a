#pragma once
// GuiWidget: the base class of every element of the interface. A widget is a rectangle in
// its window (positions are relative to the window, not to the parent) with a parent,
// ordered children, a tooltip, a mouse cursor and edge constraints that say how it follows
// the resizing of its parent. It owns a router, a toolkit object which receives the
// toolkit's events and draw requests and turns them into event names and calls of
// process_event and draw; a widget with children owns a toolkit group too, which holds the
// router and the children's toolkit objects. A leaf's router sits in its parent's group
// directly: most widgets are leaves, and one toolkit object each keeps large trees compact.
// Redraws, updates and deletion are queued on the application (GuiApp), never done at once.
//
//     GuiWidget* panel = new GuiWidget(*window, 10, 10, 200, 100);
//     panel->set_constraints(GuiWidget::CONSTRAINT_LEFT, GuiWidget::CONSTRAINT_TOP,
//                            GuiWidget::CONSTRAINT_RIGHT, GuiWidget::CONSTRAINT_TOP);
//     // follows the window's width; deleted with the window, or by panel->destroy()
#include <atomic>
#include <cstdint>

#include "gui/core/gui.h"
#include "gui/core/gui_color_scheme.h"
#include "gui/core/gui_export.h"
#include "host/core/core_set.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"
#include "host/event/event_object.h"
#include "host/gmath/gmath_vec.h"
#include "host/of/of_handle.h"
#include "host/sys/sys_timer.h"

class Fl_Group;
class Fl_Widget;
class Fl_Window;
class GuiAction;
class GuiWidget;
class GuiApp;
class GuiImage;
class GuiDc;
class GuiFont;
class GuiRouter;
class ParserGroup;

// What an action runs: the widget it runs for, the action and the action's data.
using GuiActionCallback = void (*)(GuiWidget& widget, GuiAction const& action, void* data);

// Event names raised by every widget (and consumed by process_event).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_UNKNOWN);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MOUSE_DOWN);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MOUSE_UP);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MOUSE_ENTER);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MOUSE_LEAVE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MOUSE_DRAG);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MOUSE_DRAG_REAL_TIME);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MOUSE_MOVE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_MOUSE_WHEEL);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_WIDGET_FOCUS_IN);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_WIDGET_FOCUS_OUT);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_WIDGET_FOCUS_LOOSE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_KEY_DOWN);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_KEY_UP);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_KEY_SHORTCUT);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_WIDGET_DISABLED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_WIDGET_ENABLED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_WIDGET_HIDE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_WIDGET_SHOW);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_PASTE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SELECTION_CLEAR);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_DND_ENTER);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_DND_DRAG);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_DND_LEAVE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_DND_RELEASE);

class QN_GUI_API __attribute__((aligned(64))) GuiWidget : public EventObject {
    CORE_DECLARE_CLASS(GuiWidget, EventObject)

public:
    // What an edge is anchored to: the parent's near edge or its far edge.
    enum Constraint : int {
        CONSTRAINT_LEFT = 0,
        CONSTRAINT_RIGHT = 1,
        CONSTRAINT_TOP = 2,
        CONSTRAINT_BOTTOM = 3,
        CONSTRAINT_COUNT
    };
    enum Justify : int { JUSTIFY_LEFT = 0, JUSTIFY_RIGHT = 1, JUSTIFY_CENTER = 2, JUSTIFY_COUNT };
    enum IconPosition : int { ICON_POSITION_LEFT = 0, ICON_POSITION_RIGHT = 1, ICON_POSITION_COUNT };
    // Rounded corners, as a bit set.
    enum Roundness : int {
        ROUNDNESS_NONE = 0,
        ROUNDNESS_TOP_LEFT = 1,
        ROUNDNESS_TOP_RIGHT = 2,
        ROUNDNESS_TOP = 3,
        ROUNDNESS_BOTTOM_LEFT = 4,
        ROUNDNESS_LEFT = 5,
        ROUNDNESS_BOTTOM_RIGHT = 8,
        ROUNDNESS_RIGHT = 10,
        ROUNDNESS_BOTTOM = 12,
        ROUNDNESS_ALL = 15
    };
    static char const* get_constraint_name(Constraint const& value);
    static char const* get_justify_name(Justify const& value);
    static char const* get_icon_position_name(IconPosition const& value);
    static char const* get_roundness_name(Roundness const& value);

    // A child of `parent` at (x, y) in window coordinates, w × h.
    GuiWidget(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    // A widget without parent; shown in a toolkit window of its own.
    GuiWidget(GuiApp& app, int const& x, int const& y, int const& w, int const& h);
    ~GuiWidget() override;
    GuiWidget(GuiWidget const&) = delete;
    GuiWidget& operator=(GuiWidget const&) = delete;

    size_t get_memory_size() const override;
    virtual void load_settings(ParserGroup const& group);
    virtual void save_settings(ParserGroup& group);

    // --- Visibility ---
    virtual bool const& is_shown() const { return m_shown; }
    bool is_hidden() const { return !is_shown(); }
    virtual void show();
    virtual void hide();
    // Shown and at least 2 × 2 pixels of it inside the parent's effective clip region.
    virtual bool is_visible() const;
    // The widget's last show/hide request.
    static bool const& is_widget_visible(GuiWidget const& widget) { return widget.m_visible_wish; }
    void set_show_children(bool const& show) { m_show_children = show; }
    bool const& is_show_children() const { return m_show_children; }
    // Queues the widget on the application's pending redraws (when shown).
    virtual void redraw();
    void damage(unsigned char const& bits);
    unsigned char get_damage() const;
    bool is_damaged(unsigned char const& mask) const;

    // --- Tree ---
    virtual GuiWidget* get_parent() const { return m_parent; }
    virtual void set_parent(GuiWidget* parent);
    CoreVector<GuiWidget*> const& get_children() const { return m_children; }
    int const& get_index_in_parent() const { return m_index_in_parent; }
    // Nearest ancestor, itself included, that is a GuiWindow; null if none.
    GuiWidget* get_window() const;
    // Nearest ancestor that is a "GuiFloatingWindow", else the window of the top-most ancestor.
    GuiWidget* get_root_window() const;
    GuiApp& get_application() const { return *m_application; }
    // Becomes its parent's last child, drawn last.
    void bring_to_front();
    void clear_all_children();
    // Deferred deletion: hidden, detached and queued on the application.
    void destroy();
    bool const& is_destroyed() const { return m_destroyed; }
    bool is_recursive_destroyed() const;

    // --- Geometry (window coordinates) ---
    virtual GMathVec2<int> const& get_size() const { return m_size; }
    virtual GMathVec2<int> const& get_position() const { return m_position; }
    int const& get_x() const { return get_position()[0]; }
    int const& get_y() const { return get_position()[1]; }
    int const& get_width() const { return get_size()[0]; }
    int const& get_height() const { return get_size()[1]; }
    virtual void resize(int const& x, int const& y, int const& w, int const& h);
    // (x, y) is the top-left corner, or the centre when top_left is false.
    void set_position(int const& x, int const& y, bool const& top_left = true);
    void set_size(int const& x, int const& y, int const& w, int const& h);
    void set_width(int const& w);
    void set_height(int const& h);
    void recompute_constraints();
    void compute_children_bbox(GMathVec2<int>& min, GMathVec2<int>& max) const;

    // --- Enabling ---
    virtual bool is_enabled() const;
    virtual void enable();
    virtual void disable();
    void set_enable(bool const& enable);
    bool is_active() const;

    // --- Focus and keys ---
    virtual void set_focus();
    bool has_focus() const;
    void lose_focus();
    static GuiWidget* get_focused_widget();
    static GuiWidget* get_last_focused_widget() { return m_last_focused_widget; }
    static GuiWidget* get_last_event_widget() { return m_last_event_widget; }
    // The widget is the focused widget or one of its ancestors.
    static bool children_has_focus(GuiWidget* widget);
    void set_focus_receiver(bool const& receiver);
    bool is_focus_receiver() const;
    void enable_tab_navigation(bool const& enable) { m_tab_navigation = enable; }
    bool const& is_tab_navigation_enabled() const { return m_tab_navigation; }
    virtual GuiWidget* get_next_focus_widget();
    virtual GuiWidget* get_previous_focus_widget();
    void give_focus_to_next_widget();
    void give_focus_to_previous_widget();
    // Receives key events without the focus and without the mouse over it.
    void set_key_receiver(bool const& receiver) { m_key_receiver = receiver; }
    bool const& is_key_receiver() const { return m_key_receiver; }
    bool const& is_entered() const { return m_entered; }
    // Grabs all toolkit events for the widget's window, or releases the grab.
    void capture_events(bool const& capture);
    bool const& is_capturing() const { return m_capturing; }
    // True while set_focus is moving the focus.
    static bool is_focus_changing();

    // --- Constraints ---
    virtual void set_constraints(Constraint const& left, Constraint const& top, Constraint const& right,
                                 Constraint const& bottom);
    Constraint get_left_constraint() const { return m_left_far ? CONSTRAINT_RIGHT : CONSTRAINT_LEFT; }
    Constraint get_top_constraint() const { return m_top_far ? CONSTRAINT_BOTTOM : CONSTRAINT_TOP; }
    Constraint get_right_constraint() const { return m_right_far ? CONSTRAINT_RIGHT : CONSTRAINT_LEFT; }
    Constraint get_bottom_constraint() const { return m_bottom_far ? CONSTRAINT_BOTTOM : CONSTRAINT_TOP; }
    int const& get_left_offset() const { return m_left_offset; }
    int const& get_top_offset() const { return m_top_offset; }
    int const& get_right_offset() const { return m_right_offset; }
    int const& get_bottom_offset() const { return m_bottom_offset; }
    void set_active_constraints(bool const& active)
    {
        m_active_constraints = active;
        note_layout_change();
    }
    virtual bool const& is_active_constraints() const { return m_active_constraints; }
    void set_recursive_constraints(bool const& recursive) { m_recursive_constraints = recursive; }
    virtual bool const& is_recursive_constraints() const { return m_recursive_constraints; }
    static void apply_constraints(GuiWidget& child, int const& px, int const& py, int const& pw, int const& ph);
    // Each child's apply_constraints with the box; a child whose box stays keeps its clip
    // region.
    void apply_children_constraints(int const& px, int const& py, int const& pw, int const& ph);
    // The own clip region first, then the same with every shown child clipped against it
    // (what resize does).
    void apply_children_constraints_then_clip(int const& px, int const& py, int const& pw, int const& ph);

    // --- Clipping ---
    virtual void set_clip_region(int const& x, int const& y, int const& w, int const& h);
    // The effective clip region (x, y, w, h): the box clamped into the parent's region and
    // into the own clip region when clipping is enabled (a window's is its box at the origin).
    // Computed when asked, once per change of the tree's geometry.
    GMathVec4<int> const& get_clip_region() const
    {
        if (m_clip_epoch != s_clip_epoch.load(std::memory_order_relaxed)) refresh_clip();
        return m_effective_clip;
    }
    void get_parent_effective_clip_region(int& x, int& y, int& w, int& h) const;
    void enable_clipping();
    void disable_clipping();
    bool const& is_clipping_enabled() const { return m_clipping_enabled; }
    void apply_children_clipping();
    // Clamps box b into box a.
    static void intersect_box(int const& ax, int const& ay, int const& aw, int const& ah, int const& bx,
                              int const& by, int const& bw, int const& bh, int& x, int& y, int& w, int& h);
    // The clamped box is at least 2 × 2.
    static bool intersect_box(int const& ax, int const& ay, int const& aw, int const& ah, int const& bx,
                              int const& by, int const& bw, int const& bh);

    // --- Appearance ---
    // The widget's own scheme, else its parent's, else the application's.
    virtual GuiColorScheme const& get_color_scheme() const;
    GMathVec3<unsigned char> const& get_color(GuiColorScheme::Group const& group,
                                              GuiColorScheme::Role const& role) const;
    void get_color(GuiColorScheme::Group const& group, GuiColorScheme::Role const& role, unsigned char& r,
                   unsigned char& g, unsigned char& b) const;
    // The colour of a role in the widget's current state (normal, or disabled when not enabled).
    GMathVec3<unsigned char> const& get_color(GuiColorScheme::Role const& role) const;
    GuiColorScheme::Group get_color_group() const;
    // Overrides one colour for this widget and its children; the widget gets a scheme of its
    // own, a copy of the one it had, on the first call.
    void set_color(GuiColorScheme::Group const& group, GuiColorScheme::Role const& role, unsigned char const& r,
                   unsigned char const& g, unsigned char const& b);
    void set_color(GuiColorScheme::Group const& group, GuiColorScheme::Role const& role,
                   GMathVec3<unsigned char> const& color);
    // The application's scheme changed: an own scheme takes the new colours it does not
    // override, the widget redraws and its children follow.
    virtual void update_color_scheme(GuiColorScheme const& scheme);
    bool has_own_color_scheme() const { return m_color_scheme != nullptr; }
    // Each channel times factor, clamped to [0, 255]; keep_hue scales the three channels
    // together so that their ratios stay when one reaches 255.
    static GMathVec3<unsigned char> get_highlighted_color(GMathVec3<unsigned char> const& color,
                                                          float const& factor, bool const& keep_hue);
    // The widget's font, a copy of the default font made on first use.
    GuiFont& get_font();
    // Copies the font into the widget's own and redraws.
    void set_font(GuiFont const& font);
    // Size of a text in the widget's font.
    void get_text_size(CoreString const& text, int& w, int& h);
    void get_text_size(char const* text, int& w, int& h);
    void set_mouse_cursor(Gui::MouseCursorId const& id);
    Gui::MouseCursorId const& get_mouse_cursor() const { return m_mouse_cursor; }
    virtual void set_tooltip(CoreString const& tooltip);
    CoreString const& get_tooltip() const { return m_tooltip; }
    // Shows the tooltip at once.
    void force_tooltip();

    // --- Actions (owned; deleted with the widget) ---
    GuiAction* register_action(CoreString const& name, GuiActionCallback callback = nullptr,
                               CoreString const& shortcut = CoreString(), CoreString const& tooltip = CoreString(),
                               void* data = nullptr, GuiImage const* icon = nullptr);
    // The first action with that name; null if none.
    GuiAction* get_action(CoreString const& name) const;
    CoreVector<GuiAction*> const& get_actions() const { return m_actions; }
    // Removes the action from the widget, deleting it when asked.
    void remove_action(GuiAction* action, bool const& delete_it = true);
    void remove_all_actions();

    // --- Events and drawing ---
    virtual void draw(GuiDc& dc);
    virtual void* get_draw_ctx() { return nullptr; }
    // Called by the processing pass for widgets queued with set_is_dirty(true).
    virtual void widget_update();
    // Handles an event name; derived widgets call the base for what they do not handle.
    virtual int process_event(CoreString const& name);
    // Text pasted into the widget; handed to the application's on_paste.
    virtual void paste(CoreString const& text);
    void set_is_dirty(bool const& dirty);
    bool get_is_dirty() const;

    // --- Drag and drop ---
    // Starts a drag of the objects through the toolkit's drag loop; returns whether they were
    // dropped (true at once while another drag runs, false when there is nothing to drag).
    bool initiate_dnd_event(CoreVector<CoreBaseObject*> const& objects);
    bool initiate_dnd_event(CoreBaseObject* object);
    bool initiate_dnd_event(OfHandle const& handle);
    bool initiate_dnd_event(CoreVector<OfHandle>& handles);
    static GuiWidget* get_dnd_widget();
    static GuiWidget* get_dnd_accepting_widget();
    // Set by the routers as drag-and-drop events arrive.
    static void set_dnd_accepting_widget(GuiWidget* widget);
    static CoreVector<CoreBaseObject*> const& get_dnd_event_data();
    static bool is_dnd_running();
    // The handle carried by a payload object of a dragged handle; null for other objects.
    static OfHandle const* get_dnd_handle(CoreBaseObject const* object);
    static void on_dnd_timeout(void* data);

    // --- File dialogs ---
    // The start folder: the expanded path's folder when it names a file, else its longest
    // leading existing folder, else ".".
    static CoreString resolve_start_folder(CoreString const& start_path);
    static CoreString open_file(GuiApp& app, CoreString const& start_path, CoreString const& title,
                                CoreString const& filters);
    static CoreVector<CoreString> open_files(GuiApp& app, CoreString const& start_path, CoreString const& title,
                                             CoreString const& filters);
    static CoreString open_folder(GuiApp& app, CoreString const& start_path, CoreString const& title);
    static CoreString save_file(GuiApp& app, CoreString const& start_path, CoreString const& title,
                                CoreString const& filters, int* selected_filter_index = nullptr);

    // --- Toolkit side (for routers, windows and tests) ---
    virtual Fl_Widget* get_widget() const { return m_toolkit_widget; }
    // The toolkit group, made on first use: then it takes the router's place in the
    // parent's group and holds the router.
    virtual Fl_Group* get_group();
    // The object that stands for the widget in its parent's group: the group when there is
    // one, else the router (a group is made for a widget that has neither).
    Fl_Widget* get_toolkit_root();
    GuiRouter* get_router() const;
    Fl_Window* get_own_toolkit_window() const { return m_own_window; }
    bool const& is_parenting_pending() const { return m_parenting_pending; }
    // The widget is a GuiWindow (a flag, as the geometry code asks it for every widget).
    bool const& is_window() const { return m_is_window; }
    // Sets the entered flag (routers keep it).
    void set_entered(bool const& entered) { m_entered = entered; }
    // The drawing context, created on first use.
    virtual GuiDc& get_dc();
    virtual void widget_redraw();
    // Resizes the widget to the box its constraints make of the parent's box (px, py, pw,
    // ph); resize is not called when that box is the current one.
    virtual void apply_constraints(int const& px, int const& py, int const& pw, int const& ph);
    // Places the router and the group at the box if it moved while the widget was hidden, and
    // has every effective clip region computed again when next asked.
    virtual void apply_clipping();
    // Re-applies the widget's mouse cursor to its window.
    void apply_mouse_cursor() const;

    // Drag throttling state, shared by all routers.
    static GuiWidget* get_drag_widget();
    static double get_drag_elapsed_time();
    static unsigned int get_drag_event_count();
    static void start_drag_timer(GuiWidget* widget);
    static void stop_drag_timer();
    static void reset_drag_timer();
    static void count_drag_event();
    // Minimal time between two ordinary drag events, in milliseconds.
    static constexpr double DRAG_THROTTLE_MS = 15.0;

protected:
    using RouterFactory = void (*)(void*);
    // For derived classes that make their own router and then call create_delayed_parenting.
    GuiWidget(RouterFactory factory, GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    GuiWidget(RouterFactory factory, GuiApp& app, int const& x, int const& y, int const& w, int const& h);

    static void create_router(GuiWidget& widget);
    void create_delayed_parenting(Fl_Widget* toolkit_root);
    // The router made by a derived class.
    void set_toolkit_widget(Fl_Widget* widget)
    {
        m_toolkit_widget = widget;
        m_box_router = false;
    }

    virtual void push_clip(int const& x, int const& y, int const& w, int const& h);
    virtual void pop_clip();
    virtual void on_add_child(GuiWidget* child);
    virtual void on_remove_child(GuiWidget* child);
    // Runs the first action, in registration order, whose shortcut the current key event
    // presses (a disabled one only consumes the key); false when none matches or the
    // widget is disabled.
    virtual bool process_actions();

private:
    friend class GuiBoxRouter;
    friend class GuiWindow;
    friend class GuiWindowRouter;
    void init_fields(GuiApp& app, int const& x, int const& y, int const& w, int const& h);
    void attach_to(GuiWidget& parent);
    // Appends the widget to the parent's children, whose next layout pass is then whole.
    void join_children_of(GuiWidget& parent);
    void remove_from_parent_children();
    void capture_constraints();
    // The box the constraints make of the parent's box (px, py, pw, ph).
    void get_constrained_box(int px, int py, int pw, int ph, int& x, int& y, int& w, int& h) const;
    // resize's work for a box that differs from the current one.
    void place(int x, int y, int w, int h);
    // The widget's class keeps GuiWidget's own apply_constraints and resize, which a layout
    // pass then runs without the virtual calls (known per class, cached).
    bool keeps_base_layout() const;
    // The layout pass, top-down: each child's apply_constraints (a child whose box changes
    // lays its own subtree out in resize). At the origin of the last pass, with no child
    // changed since, only the size followers are visited: the other children's boxes depend
    // on the origin alone.
    void layout_children(int px, int py, int pw, int ph);
    // An edge is anchored to the parent's far side: the box follows the parent's size.
    bool follows_parent_size() const { return m_left_far | m_top_far | m_right_far | m_bottom_far; }
    // The widget was re-anchored, had its constraints switched or was moved outside its
    // parent's layout pass: the parent's next pass visits every child.
    void note_layout_change()
    {
        if (m_parent) m_parent->m_children_changed = true;
    }
    // Moves the router and the group to the box when it changed since they were last placed.
    void place_toolkit_box();
    // Computes the effective clip region from the parent's (see get_clip_region).
    void refresh_clip() const;
    // Every effective clip region is computed again when next asked: the tree's geometry
    // changed. Cheaper than updating them all, as a layout pass moves many widgets and a
    // frame asks the regions of the widgets it draws only. A load and a store rather than an
    // atomic increment, which would cost a moved widget as much again: widgets are changed by
    // one thread at a time (the interface thread, or a thread holding the interface lock).
    static void invalidate_clip_regions()
    {
        s_clip_epoch.store(s_clip_epoch.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    }
    void clear_statics();
    // Takes the widget's toolkit object out of the group that holds it, if any.
    void detach_toolkit_root();
    void destroy_child(GuiWidget& child);
    static bool is_candidate_for_focus(GuiWidget const& widget);

    // The widget's first cache line (the class is aligned to one) holds, after the virtual
    // table and the small event base, all that a layout pass reads of a child whose box
    // stays: the flags, the box and the constraints. The second holds what it reads of a
    // child that moves.
    bool m_active_constraints = true;
    bool m_recursive_constraints = true;
    bool m_shown = false;
    bool m_is_window = false;
    bool m_clipping_enabled = false;
    // Each edge's anchor: set for the parent's far edge (CONSTRAINT_RIGHT for left and right,
    // CONSTRAINT_BOTTOM for top and bottom), clear for its near edge.
    unsigned char m_left_far : 1 = 0;
    unsigned char m_top_far : 1 = 0;
    unsigned char m_right_far : 1 = 0;
    unsigned char m_bottom_far : 1 = 0;
    // The box changed since the router and the group were last placed at it: they are
    // placed while the widget is shown, and when it is shown.
    unsigned char m_toolkit_box_stale : 1 = 0;
    // The router is the GuiBoxRouter that create_router made.
    unsigned char m_box_router : 1 = 0;
    GMathVec2<int> m_position = GMathVec2<int>(0, 0);
    GMathVec2<int> m_size = GMathVec2<int>(0, 0);
    int m_left_offset = 0;
    int m_top_offset = 0;
    int m_right_offset = 0;
    int m_bottom_offset = 0;
    // The effective clip region, valid while m_clip_epoch is s_clip_epoch.
    mutable GMathVec4<int> m_effective_clip = GMathVec4<int>(0, 0, 0, 0);
    Fl_Widget* m_toolkit_widget = nullptr;
    Fl_Group* m_group = nullptr;
    GuiWidget* m_parent = nullptr;
    CoreVector<GuiWidget*> m_children;
    // The children a layout pass at an unchanged origin visits: those whose box follows this
    // widget's size and those whose class lays itself out. Gathered by each whole pass.
    CoreVector<GuiWidget*> m_size_followers;
    GMathVec2<int> m_children_origin = GMathVec2<int>(0, 0);
    // A child joined, left or changed since the last whole pass: the next pass is whole.
    bool m_children_changed = true;
    bool m_laying_out = false;
    GMathVec4<int> m_clip_region = GMathVec4<int>(0, 0, 0, 0);
    Fl_Window* m_own_window = nullptr;
    Fl_Group* m_own_window_group = nullptr;
    GuiApp* m_application = nullptr;
    int m_index_in_parent = -1;
    GuiColorScheme* m_color_scheme = nullptr;
    GuiDc* m_dc = nullptr;
    GuiFont* m_font = nullptr;
    CoreString m_tooltip;
    CoreVector<GuiAction*> m_actions;
    bool m_parenting_pending = true;
    GMathVec2<int> m_parent_size_at_creation = GMathVec2<int>(0, 0);
    GMathVec2<int> m_parent_position_at_creation = GMathVec2<int>(0, 0);
    bool m_show_children = true;
    bool m_visible_wish = true;
    bool m_entered = false;
    bool m_destroyed = false;
    bool m_key_receiver = false;
    bool m_capturing = false;
    bool m_tab_navigation = true;
    Gui::MouseCursorId m_mouse_cursor = Gui::MOUSE_CURSOR_DEFAULT;
    mutable std::uint64_t m_clip_epoch = 0;

    static std::atomic<std::uint64_t> s_clip_epoch;

    static GuiWidget* m_last_focused_widget;
    static GuiWidget* m_last_event_widget;
    static CoreSet<void*> m_children_focus;
};

// A class registered for application widgets built from user-interface descriptions.
class QN_GUI_API GuiCustomUIWidget {
public:
    static CoreClassInfo const& class_info();
};
