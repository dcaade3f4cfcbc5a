#pragma once
// GuiGraphWidget: an OpenGL two-dimensional graph editor, time along x and values along y:
// an adaptive grid with labels in the application's units, curves with keys and tangent
// handles, the current-time marker, a highlighted time band and gizmos. It owns navigation
// (Alt or Space with the left or middle button pans, with the right button zooms; the wheel
// zooms about the pointer), picking through a pick buffer, selection (click, Shift, Ctrl,
// rectangle, neighbours, ranges, all) and the right-click menu. What an edit means is left to
// the hooks (manage_move_points, manage_insert_point, ...) of the editor that derives from it.
//
//     class MyEditor : public GuiGraphWidget {
//         void fit(bool const& all) override;
//         void manage_move_points(CoreVector<GuiGraphItem*> const& keys,
//                                 Gui::MouseButtonId const& button) override;
//     };
#include <unordered_map>
#include <vector>

#include "gui/curve/gui_graph_item.h"
#include "gui/gl/gui_gl_pick_buffer.h"
#include "gui/gl/gui_gl_widget.h"
#include "host/core/core_set.h"
#include "host/of/of_plug_type.h"

class GuiMenu;
class ParserGroup;

class QN_GUI_API GuiGraphWidget : public GuiGlWidget {
    CORE_DECLARE_CLASS(GuiGraphWidget, GuiGlWidget)

public:
    enum GraphState : unsigned int {
        GRAPH_STATE_ITEM_MOVE = 1,
        GRAPH_STATE_GRAPH_PAN = 2,
        GRAPH_STATE_MULTISELECTION_SQUARE = 4,
        GRAPH_STATE_TANGENT_MOVE = 8,
        GRAPH_STATE_TIMELINE_MOVE = 16,
        GRAPH_STATE_GIZMO_MOVE = 32,
        GRAPH_STATE_MOVE_CANCELLED = 64,
    };
    // "GRAPH_STATE_ITEM_MOVE", ...; an empty text for any other value.
    static char const* get_graph_state_name(unsigned int const& state);
    // Zooming in stops once the span of an axis is at or below this.
    static constexpr double ZOOM_LEVEL_MIN = 0.1;
    // Grid cells stay in this pixel range.
    static constexpr int CELL_SIZE_MIN = 30;
    static constexpr int CELL_SIZE_MAX = 60;

    GuiGraphWidget(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    ~GuiGraphWidget() override;

    // --- Curves (owned) ---
    void add_curve(GuiGraphCurve* curve);
    // Forgets it (pointer, selection) and deletes it.
    void remove_curve(GuiGraphCurve* curve);
    void clear_curves();
    CoreVector<GuiGraphCurve*> const& get_curves() const { return m_curves; }
    GuiGraphTimeline& get_timeline() const { return *m_timeline; }

    // --- Mapping between graph units and pixels (y up) ---
    double get_pixel_width() const;
    double compute_graph_x_from_mouse(double const& px) const;
    // From a toolkit y (down) to a graph value.
    double compute_graph_y_from_mouse(double const& py) const;
    int compute_pos_x_px(double const& x) const;
    int compute_pos_y_px(double const& y) const;
    static bool is_inside(int const& x, int const& y, int const& x0, int const& x1, int const& y0, int const& y1);

    // --- Picking ---
    // The item whose pick colour is at (x, y) (pixel space); updates the object under the mouse.
    GuiGraphItem* pick_objects(GuiDc& dc, int const& x, int const& y);
    GuiGraphItem* get_select_item(GMathVec3<unsigned char> const& color) const;
    // Gives the item its pick colour (the next one of the process when it has none) and
    // records it; an item takes the colour over from a previous owner.
    void add_select_item(GuiGraphItem& item, GMathVec3<unsigned char> const& color);
    void remove_select_item(GuiGraphItem& item);
    // The colours handed out so far run like an odometer whose three digits run 1..255; once
    // at (255, 255, 255) every further item gets that colour.
    static GMathVec3<unsigned char> next_pick_color();
    // For tests: the counter starts over at (1, 1, 1), or at a given value.
    static void reset_pick_colors(GMathVec3<unsigned char> const& next = GMathVec3<unsigned char>(1, 1, 1));
    GuiGraphItem* get_object_under_mouse() const { return m_under_mouse; }
    GuiGraphItem* get_previous_object_under_mouse() const { return m_previous_under_mouse; }

    // --- Selection ---
    CoreVector<GuiGraphItem*> const& get_selection() const { return m_selection; }
    // Nothing when selected already, or with `same_class` when the selection holds another kind.
    void add_to_selection(GuiGraphItem* item, bool const& same_class);
    void remove_from_selection(GuiGraphItem* item, bool const& silent);
    void clear_selection(bool const& notify);
    void set_selection(CoreVector<GuiGraphItem*> const& items, bool const& notify);
    // The pointer item, or with `add` false a selected one leaves the selection.
    void manage_select_item(bool const& add);
    void manage_rectangle_selection(bool const& add);
    // Keys strictly inside the rectangle; curves with a point inside when there is no key.
    void get_items_in_zone(GMathVec4<int> const& rect, CoreVector<GuiGraphItem*>& items) const;
    void select_all();
    // By the shortcut text of the action: "Right", "Left" step; "Shift+..." extends; "Down" ranges.
    void select_neighbours(CoreString const& shortcut);
    // An item goes away: it is no longer under the mouse nor selected.
    void on_remove_item(GuiGraphItem* item);
    GMathVec4<int> const& get_selection_rect() const { return m_selection_rect; }

    // --- States ---
    unsigned int const& get_states() const { return m_states; }
    void activate_state(unsigned int const& state) { m_states |= state; }
    void desactivate_state(unsigned int const& state) { m_states &= ~state; }
    bool get_state_is_active(unsigned int const& state) const { return (m_states & state) != 0; }
    bool get_is_state_idle() const { return m_states == 0; }
    bool get_is_state_item_move() const { return get_state_is_active(GRAPH_STATE_ITEM_MOVE); }
    bool get_is_state_graph_pan() const { return get_state_is_active(GRAPH_STATE_GRAPH_PAN); }
    bool get_is_state_multiselection_square() const { return get_state_is_active(GRAPH_STATE_MULTISELECTION_SQUARE); }
    bool get_is_state_tangent_move() const { return get_state_is_active(GRAPH_STATE_TANGENT_MOVE); }
    bool get_is_state_timeline_move() const { return get_state_is_active(GRAPH_STATE_TIMELINE_MOVE); }
    bool get_is_state_gizmo_move() const { return get_state_is_active(GRAPH_STATE_GIZMO_MOVE); }
    void set_state_item_move(bool const& on) { set_state(GRAPH_STATE_ITEM_MOVE, on); }
    void set_state_graph_pan(bool const& on) { set_state(GRAPH_STATE_GRAPH_PAN, on); }
    void set_state_multiselection_square(bool const& on) { set_state(GRAPH_STATE_MULTISELECTION_SQUARE, on); }
    void set_state_tangent_move(bool const& on) { set_state(GRAPH_STATE_TANGENT_MOVE, on); }
    void set_state_timeline_move(bool const& on) { set_state(GRAPH_STATE_TIMELINE_MOVE, on); }
    void set_state_gizmo_move(bool const& on) { set_state(GRAPH_STATE_GIZMO_MOVE, on); }

    // --- View ---
    GMathVec2<double> const& get_graph_offset() const { return m_offset; }
    GMathVec2<double> const& get_graph_zoom_level() const { return m_zoom; }
    GMathVec2<double> const& get_graph_cell_step() const { return m_cell_step; }
    GMathVec2<double> const& get_first_cell_value() const { return m_first_cell; }
    GMathVec2<double> const& get_cell_current_size_px() const { return m_cell_px; }
    double const& get_highlighted_x_value() const { return m_highlighted_x; }
    void set_highlighted_x_value(double const& value);
    GMathVec2<double> const& get_highlighted_range() const { return m_highlighted_range; }
    void set_highlighted_range(double const& low, double const& high);
    // Moves the view by pixels (y up).
    void manage_pan(double const& dx, double const& dy);
    // The wheel: dy > 0 shows more (×1.5), else less (×2/3, not at or below ZOOM_LEVEL_MIN),
    // keeping the graph point under (mouse_x, mouse_y) (pixel space, y up) in place.
    void zoom_at(double const& dy, int const& mouse_x, int const& mouse_y);
    // One axis's grid: the step (a power of two times the current one) whose cells are
    // CELL_SIZE_MIN to CELL_SIZE_MAX pixels wide, and the cell's pixel size.
    static void compute_cell_size(double& step, double& cell_px, GMathVec2<int> const& range, double const& span,
                                  int const& size_px);
    void compute_cell_info();
    void update_cell_info();
    bool const& is_dirty() const { return m_dirty; }
    void set_dirty() { m_dirty = true; }
    int get_mouse_x() const { return m_mouse[0]; }
    int get_mouse_y() const { return m_mouse[1]; }
    int get_previous_mouse_x() const { return m_previous_mouse[0]; }
    int get_previous_mouse_y() const { return m_previous_mouse[1]; }
    void set_highlight_tooltip(bool const& on) { m_highlight_tooltip = on; }
    bool const& is_highlight_tooltip() const { return m_highlight_tooltip; }
    GMathVec3<unsigned char> const& get_selectee_color() const { return m_colors[COLOR_SELECTEE]; }
    GMathVec3<unsigned char> const& get_current_frame_color() const { return m_colors[COLOR_CURRENT_FRAME]; }

    // --- Texts ---
    // Rounded to two decimals and printed with "%g".
    static CoreString double_to_string(double const& value, int const& unused = 0);
    // A y value in the units of the values (set_unit_values, set_values_unit).
    void get_value_with_unit(double const& value, CoreString& text) const;
    void set_unit_values(CoreString const& unit) { m_unit_values = unit; }
    void set_values_unit(OfPlugType::Type const& type) { m_values_unit = type; }

    // --- Hooks of the editor ---
    virtual void debug_draw(GuiDc& dc, int const& unused);
    virtual void draw_select(GuiDc& dc);
    virtual void draw_tool(GuiDc&, bool const&) {}
    virtual void update_content() {}
    virtual void fit(bool const& all) = 0;
    virtual CoreString get_help() const;
    virtual void manage_highlight();
    virtual void manage_popup_menu();
    virtual void add_to_popup_menu(GuiMenu&) {}
    virtual void manage_add_point() {}
    virtual void manage_insert_point(double const&) {}
    virtual void manage_remove() {}
    virtual void selection_changed() {}
    virtual void manage_move_points(CoreVector<GuiGraphItem*> const&, Gui::MouseButtonId const&) {}
    virtual void manage_move_tangent(GuiGraphTangent&) {}
    virtual bool get_can_move_tangent(GuiGraphTangent&) { return true; }
    // Enters the timeline move, selecting the marker.
    virtual void manage_move_time();
    virtual void manage_move_gizmo();
    virtual void end_move_points(Gui::MouseButtonId const&) {}
    virtual void end_move_tangent() {}
    virtual void end_move_time();
    virtual void end_move_gizmo();
    virtual void cancel_move_points() {}
    virtual void cancel_move_tangent() {}
    virtual void cancel_move_time() {}
    virtual void cancel_move_gizmo() {}
    GuiGraphTangent* get_moving_tangent() const { return m_moving_tangent; }

    void draw(GuiDc& dc) override;
    int process_event(CoreString const& name) override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;
    void update_color_scheme(GuiColorScheme const& scheme) override;
    void load_settings(ParserGroup const& group) override;
    void save_settings(ParserGroup& group) override;
    void on_gl_context_destroyed() override;

protected:
    void set_graph_offset(GMathVec2<double> const& offset) { m_offset = offset; }
    void set_graph_zoom_level(GMathVec2<double> const& zoom) { m_zoom = zoom; }
    void set_graph_cell_step(GMathVec2<double> const& step) { m_cell_step = step; }
    void set_first_cell_value(GMathVec2<double> const& value) { m_first_cell = value; }
    void set_cell_current_size_px(GMathVec2<double> const& size) { m_cell_px = size; }
    // The current coordinates become the previous ones.
    void set_mouse_coords(int const& x, int const& y);
    void set_move_initial_mouse_coords(int const& x, int const& y) { m_move_initial = GMathVec2<int>(x, y); }
    void set_moving_tangent(GuiGraphTangent* tangent) { m_moving_tangent = tangent; }
    // The drag gestures: moves of the selection, a tangent, the marker or a gizmo.
    void move_items(Gui::MouseButtonId const& button);

private:
    enum ColorIndex { COLOR_BACKGROUND, COLOR_VISIBLE_RANGE, COLOR_CURRENT_FRAME, COLOR_SELECTEE, COLOR_GRID_LINE,
                      COLOR_GRID_TEXT, COLOR_GRID_LINE_ZERO, COLOR_COUNT };
    struct ColorHash {
        size_t operator()(uint32_t const& key) const { return key; }
    };
    static uint32_t pick_key(GMathVec3<unsigned char> const& color)
    {
        return (uint32_t(color[0]) << 16) | (uint32_t(color[1]) << 8) | color[2];
    }
    void set_state(unsigned int const& state, bool const& on)
    {
        if (on) activate_state(state); else desactivate_state(state);
    }
    void read_colors(bool const& with_zero_line);
    void update_first_cell_location();
    struct Label {
        CoreString text;
        int x;
        int y;
    };
    // The grid's lines, the zero line and the marker into the batch; the labels to draw after
    // it, by window rows.
    void draw_grid(GuiDc& dc, std::vector<Label>& labels);
    void on_action(CoreString const& name, CoreString const& shortcut);
    static void on_action_callback(GuiWidget& widget, GuiAction const& action, void* data);

    GMathVec2<int> m_size = GMathVec2<int>(0, 0);
    GMathVec2<double> m_cell_step = GMathVec2<double>(1.0, 1.0);
    GMathVec2<int> m_cell_range_x = GMathVec2<int>(CELL_SIZE_MIN, CELL_SIZE_MAX);
    GMathVec2<int> m_cell_range_y = GMathVec2<int>(CELL_SIZE_MIN, CELL_SIZE_MAX);
    GMathVec2<double> m_zoom = GMathVec2<double>(10.0, 10.0);
    GMathVec2<double> m_offset = GMathVec2<double>(0.0, 0.0);
    GMathVec2<double> m_cell_px = GMathVec2<double>(0.0, 0.0);
    GMathVec2<double> m_first_cell = GMathVec2<double>(0.0, 0.0);
    double m_highlighted_x = 0.0;
    GMathVec2<double> m_highlighted_range = GMathVec2<double>(0.0, 0.0);
    GuiGraphTimeline* m_timeline = nullptr;
    bool m_highlight_tooltip = true;
    GMathVec3<unsigned char> m_colors[COLOR_COUNT];
    GMathVec2<int> m_mouse = GMathVec2<int>(0, 0);
    GMathVec2<int> m_previous_mouse = GMathVec2<int>(0, 0);
    GMathVec2<int> m_move_initial = GMathVec2<int>(-1, -1);
    GMathVec2<int> m_pan_start = GMathVec2<int>(0, 0);
    CoreString m_unit_values;
    OfPlugType::Type m_values_unit = OfPlugType::TYPE_DOUBLE;
    CoreVector<GuiGraphCurve*> m_curves;
    GuiGraphItem* m_under_mouse = nullptr;
    GuiGraphItem* m_previous_under_mouse = nullptr;
    CoreVector<GuiGraphItem*> m_selection;
    GMathVec4<int> m_selection_rect = GMathVec4<int>(0, 0, 0, 0);
    GuiGraphTangent* m_moving_tangent = nullptr;
    unsigned int m_states = 0;
    bool m_dirty = true;
    std::unordered_map<uint32_t, GuiGraphItem*, ColorHash> m_select_items;
    GuiGlPickBuffer m_pick_buffer;
};
