#pragma once
// GuiViewport: the frame an editor panel lives in. A single frame shows tabs of editors
// (GuiBasicViewportWidget) under a toolbar; a split frame holds two or four child frames
// side by side, on top of each other or in quarters, with bars between them to drag. Users
// split, close and maximise frames and drag tabs from one frame to another; the whole
// arrangement goes to and comes back from a layout group of a settings file.
//
//     GuiViewport* frames = GuiViewport::create_viewport(*window, 0, 30, 800, 600);
//     frames->create_and_add_widget("MyGraphEditor");
//     frames->split_v();                                       // its tab moves to the left frame
//     frames->get_child(1)->create_and_add_widget("MySheetEditor");
//     ParserGroup layout;
//     frames->get_layout(layout, false);
//     frames->set_layout(*layout.get_entry(0u));               // the same arrangement again
//
// Keys while the pointer is over a frame: Ctrl+F5 locks the selection of the current tab,
// Shift+F5 rebuilds the current editor from its settings, F5 refreshes its selection and
// Shift+Space maximises or restores the frame.
//
// Every frame registers with the application for as long as it exists, so that the
// application can pause the automatic evaluation of every viewport around work that must
// not be interrupted (GuiApp::disable_all_viewports_auto_evaluation).
#include <vector>

#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"

class GuiBasicViewportWidget;
class GuiGrid;
class GuiViewportTabWidget;
class GuiViewportToolbar;
class ParserEntry;
class ParserGroup;

// Raised on the viewport when its automatic evaluation is switched on or off.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_VIEWPORT_AUTO_EVALUATION_CHANGED);
// Raised by a child frame that closes; its parent frame listens to it.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_VIEWPORT_CLOSE);
// Raised on the outermost frame when the arrangement inside it changed: a split, a closed
// frame, a maximised or restored frame, a tab added, moved or removed, a layout read.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_VIEWPORT_LAYOUT_CHANGED);

// One tab of a frame: its editor and the toolbar switches kept for it.
struct GuiViewportData {
    GuiBasicViewportWidget* widget = nullptr;
    bool selection_locked = false;
    bool evaluation_controlled = false;
    bool evaluation = true;
    bool shadowed_controlled = false;
    bool shadowed = false;
};

class QN_GUI_API GuiViewport : public GuiWidget {
    CORE_DECLARE_CLASS(GuiViewport, GuiWidget)

public:
    enum Type : int { TYPE_SINGLE = 0, TYPE_HORIZONTAL = 1, TYPE_VERTICAL = 2, TYPE_QUAD = 3 };
    // "TYPE_SINGLE", ...; "TYPE_UNKNOWN" otherwise.
    static char const* get_type_name(Type const& type);

    // A single frame following its parent's four edges.
    static GuiViewport* create_viewport(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    GuiViewport(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    ~GuiViewport() override;

    Type const& get_type() const { return m_type; }
    // The frame this one is a part of; null for the outermost one.
    GuiViewport* get_parent_viewport() const;
    GuiViewport* get_root_viewport();
    // The child frames of a split, in grid order (left to right, then top to bottom).
    unsigned int get_child_count() const { return static_cast<unsigned int>(m_children.size()); }
    GuiViewport* get_child(unsigned int const& index) const;
    GuiViewportToolbar* get_toolbar() const { return m_toolbar; }
    GuiViewportTabWidget* get_tabs() const { return m_tabs; }
    GuiGrid* get_grid() const { return m_grid; }

    // --- Tabs (single frames) ---
    // Adds a tab with a new editor of the registered class and shows it; null, with a
    // warning, for an unknown class or a split frame.
    GuiBasicViewportWidget* create_and_add_widget(CoreString const& editor_class);
    // Adds a tab showing `widget` (which becomes the tab's page) and selects it.
    bool add_widget(GuiBasicViewportWidget& widget);
    unsigned int get_widget_count() const { return static_cast<unsigned int>(m_data.size()); }
    GuiBasicViewportWidget* get_viewport_widget(unsigned int const& index) const;
    GuiViewportData const* get_viewport_data(unsigned int const& index) const;
    GuiBasicViewportWidget* get_current_viewport_widget() const;
    int get_selected_index() const;
    void select(unsigned int const& index);
    // Destroys the tab's editor.
    void remove(unsigned int const& index);
    void clear();
    // A child frame leaves its split (its parent takes the rest back); the outermost frame
    // closes its tabs.
    void close();
    // Moves the tab into a new floating window of its own, with a frame; null on failure.
    GuiViewport* undock_tab(unsigned int const& index);
    // Moves tab `from` of `other` into this frame at `to` (at the end past the count).
    bool move_viewport_widget_from(GuiViewport& other, unsigned int const& from, unsigned int const& to);
    // Takes over every tab of `other`.
    void fill_viewport_from(GuiViewport& other);

    // --- Splitting and maximising ---
    // Only a single frame splits: two rows, two columns or quarters; its tabs go to the first
    // child. False for a frame already split.
    bool split_h();
    bool split_v();
    bool split_q();
    // Shows this frame alone in its window (through the floating window holding it, or the
    // application when `notify`), or back among the others.
    void set_maximize(bool const& on, bool const& notify = true);
    bool const& is_maximize() const { return m_maximized; }
    void set_resizable(bool const& resizable) { m_resizable = resizable; }
    bool const& is_resizable() const { return m_resizable; }
    // Lays the frames out so that `frame` fills its outermost frame, and back. Floating
    // windows and applications call them from maximize_view and restore_view.
    static void show_alone(GuiViewport& frame);
    static void show_all(GuiViewport& any_frame);

    // --- Toolbar switches ---
    // Whether the viewport's editors re-evaluate the scene when it changes (on at first).
    bool const& get_auto_evaluation() const { return m_auto_evaluation; }
    void set_auto_evaluation(bool const& on);
    bool get_selection_is_locked() const;
    // Toggles the selection lock of the current tab when its editor controls it.
    void lock_selection_button();
    void set_tab_evaluation(bool const& on);
    void set_tab_shadowed(bool const& on);
    // Puts the toolbar's switches in the state of the current tab.
    void reset_controls();

    // --- Layouts ---
    // Appends the frame's layout to `group`: a "views" group for a single frame (and, with
    // `with_view`, a "view" group describing its current tab alone), "split_h", "split_v" or
    // "split_q" holding the ratio and the children's layouts.
    void get_layout(ParserGroup& group, bool const& with_view) const;
    // Rebuilds the frame from one entry of such a group. A damaged layout gives one warning
    // and leaves a single frame holding what could be read.
    bool set_layout(ParserEntry const& entry);

    int process_event(CoreString const& name) override;
    size_t get_memory_size() const override;

private:
    void on_subview_close(GuiViewport& child, EventInfo const& info, void* data);
    // The current tab's data; null without tabs.
    GuiViewportData* current_data();
    void on_tab_change(GuiWidget& tabs, EventInfo const& info, void* data);
    void on_tab_close_button(GuiWidget& tabs, EventInfo const& info, void* data);
    bool split(Type const& type);
    // Lays out the grid for `type` and places `children` in its cells (in grid order).
    void adopt_children(Type const& type, std::vector<GuiViewport*> const& children, std::vector<double> const& ratios);
    void become_single();
    // The split's ratios as a layout holds them: the first row's, the first column's, or
    // the column's then the row's for quarters.
    std::vector<double> split_ratios() const;
    void detach_children();
    void connect_child(GuiViewport& child);
    GuiViewport* new_child();
    // Moves tab `from` of `other` here with its data, without notifications.
    void take_tab(GuiViewport& other, unsigned int const& from, unsigned int const& to);
    void notify_layout_changed();
    bool read_views(ParserGroup const& views, CoreString& problems);
    bool read_split(Type const& type, ParserGroup const& split, CoreString& problems);
    void write_tab(ParserGroup& views, GuiViewportData const& data) const;
    GuiViewport* frame_on_path_from(GuiViewport const& leaf) const;

    Type m_type = TYPE_SINGLE;
    GuiGrid* m_grid = nullptr;
    GuiViewportToolbar* m_toolbar = nullptr;
    GuiViewportTabWidget* m_tabs = nullptr;
    std::vector<GuiViewport*> m_children;
    std::vector<GuiViewportData> m_data;
    // While a frame inside is shown alone: the child on its path and the split's ratios.
    GuiViewport* m_alone_child = nullptr;
    std::vector<double> m_saved_ratios;
    bool m_maximized = false;
    bool m_resizable = true;
    bool m_auto_evaluation = true;
    bool m_toolbar_minimized = false;

    friend class GuiViewportTabWidget;
};
