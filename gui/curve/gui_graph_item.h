#pragma once
// The items a curve graph editor (GuiGraphWidget) shows: curves drawn as polylines in parts,
// their keys (GuiGraphPoint) with tangent handles (GuiGraphTangent), the current-time marker
// (GuiGraphTimeline) and gizmos with handles. Items live in the widget's pixel space (origin
// bottom-left, y up). Each draws itself twice: normally, and flat in a colour of its own into
// the widget's pick buffer, where the pixel under the pointer names it.
//
//     class MyCurve : public GuiGraphCurve {
//         void compute_points() override;   // fill the parts and keys from the data
//     };
#include <vector>

#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/event/event_object.h"
#include "host/gmath/gmath_vec.h"

class GuiDc;
class GuiGraphCurve;
class GuiGraphGizmo;
class GuiGraphTangent;
class GuiGraphWidget;

class QN_GUI_API GuiGraphItem : public EventObject {
    CORE_DECLARE_CLASS(GuiGraphItem, EventObject)

public:
    enum GraphItemState : unsigned int {
        GRAPH_ITEM_STATE_SELECTED = 1,
        GRAPH_ITEM_STATE_HIGHLIGHTED = 2,
        GRAPH_ITEM_STATE_DISABLED = 4,
        GRAPH_ITEM_STATE_PRESELECTED = 8,
        GRAPH_ITEM_STATE_MOVING = 16,
        GRAPH_ITEM_STATE_HIDDEN = 32,
    };
    // "GRAPH_ITEM_STATE_SELECTED", ...; an empty text for any other value.
    static char const* get_graph_item_state_name(unsigned int const& state);

    GuiGraphItem(GuiGraphWidget& graph, GMathVec3<unsigned char> const& normal, GMathVec3<unsigned char> const& highlight);
    // Leaves the widget's pick table.
    ~GuiGraphItem() override;
    GuiGraphItem(GuiGraphItem const&) = delete;
    GuiGraphItem& operator=(GuiGraphItem const&) = delete;

    GuiGraphWidget& get_graph() const { return *m_graph; }
    GMathVec3<unsigned char> const& get_normal_color() const { return m_normal; }
    void set_normal_color(GMathVec3<unsigned char> const& color) { m_normal = color; }
    GMathVec3<unsigned char> const& get_highlight_color() const { return m_highlight; }
    void set_highlight_color(GMathVec3<unsigned char> const& color) { m_highlight = color; }
    GMathVec3<unsigned char> const& get_select_color() const { return m_select; }
    void set_select_color(GMathVec3<unsigned char> const& color) { m_select = color; }
    // Selected, else highlighted, else normal.
    GMathVec3<unsigned char> const& get_color() const;

    GMathVec3<unsigned char> const& get_pick_color() const { return m_pick; }
    // Registers the item in (or removes it from) the widget's pick table.
    void set_selectable(bool const& selectable);
    bool is_selectable() const;

    unsigned int const& get_states() const { return m_states; }
    void activate_state(unsigned int const& state) { m_states |= state; }
    void desactivate_state(unsigned int const& state) { m_states &= ~state; }
    bool get_state_is_active(unsigned int const& state) const { return (m_states & state) != 0; }
    bool is_selected() const { return get_state_is_active(GRAPH_ITEM_STATE_SELECTED); }
    void set_is_selected(bool const& selected);
    bool is_highlighted() const { return get_state_is_active(GRAPH_ITEM_STATE_HIGHLIGHTED); }
    void set_is_highlighted(bool const& highlighted);
    bool is_hidden() const { return get_state_is_active(GRAPH_ITEM_STATE_HIDDEN); }
    void hide() { activate_state(GRAPH_ITEM_STATE_HIDDEN); }
    void show() { desactivate_state(GRAPH_ITEM_STATE_HIDDEN); }

    virtual void draw(GuiDc& dc) = 0;
    // Draws the item flat in its pick colour.
    virtual void draw_select(GuiDc& dc) = 0;
    // The overlay of the item under the pointer.
    virtual void draw_highlight(GuiDc&) {}

private:
    friend class GuiGraphWidget;
    GuiGraphWidget* m_graph;
    GMathVec3<unsigned char> m_normal;
    GMathVec3<unsigned char> m_highlight;
    GMathVec3<unsigned char> m_select = GMathVec3<unsigned char>(255, 128, 0);
    GMathVec3<unsigned char> m_pick = GMathVec3<unsigned char>(0, 0, 0);
    unsigned int m_states = 0;
};

// A key of a curve: a disc at its pixel position, with the graph position beside it for the
// editor that owns the data, and up to two tangent handles.
class QN_GUI_API GuiGraphPoint : public GuiGraphItem {
    CORE_DECLARE_CLASS(GuiGraphPoint, GuiGraphItem)

public:
    // 1: the curve part that starts at this key draws dashed.
    enum RenderMode : int { RENDER_MODE_NORMAL = 0, RENDER_MODE_DASHED = 1 };

    GuiGraphPoint(GuiGraphCurve& curve, double const& x, double const& y, GMathVec3<unsigned char> const& normal,
                  GMathVec3<unsigned char> const& highlight);
    ~GuiGraphPoint() override;

    GuiGraphCurve& get_curve() const { return *m_curve; }
    GMathVec2<double> const& get_position() const { return m_position; }
    void set_position(GMathVec2<double> const& position) { m_position = position; }
    GMathVec2<double> const& get_graph_position() const { return m_graph_position; }
    void set_graph_position(GMathVec2<double> const& position) { m_graph_position = position; }
    int const& get_render_mode() const { return m_render_mode; }
    void set_render_mode(int const& mode) { m_render_mode = mode; }
    float const& get_point_draw_size() const { return m_point_size; }
    void set_point_draw_size(float const& size) { m_point_size = size; }
    float const& get_select_draw_size() const { return m_select_size; }
    void set_select_draw_size(float const& size) { m_select_size = size; }

    GuiGraphTangent* get_tangent1() const { return m_tangent1; }
    GuiGraphTangent* get_tangent2() const { return m_tangent2; }
    // Makes the tangent at (x, y) on first use, then moves it.
    void update_tangent1(double const& x, double const& y);
    void update_tangent2(double const& x, double const& y);
    void hide_tangent1();
    void hide_tangent2();
    void show_tangent1();
    void show_tangent2();

    void draw(GuiDc& dc) override;
    void draw_select(GuiDc& dc) override;

private:
    GuiGraphCurve* m_curve;
    GMathVec2<double> m_position;
    GMathVec2<double> m_graph_position = GMathVec2<double>(0.0, 0.0);
    int m_render_mode = RENDER_MODE_NORMAL;
    float m_point_size = 2.5f;
    float m_select_size = 7.0f;
    GuiGraphTangent* m_tangent1 = nullptr;
    GuiGraphTangent* m_tangent2 = nullptr;
};

// A tangent handle of a key, always magenta.
class QN_GUI_API GuiGraphTangent : public GuiGraphPoint {
    CORE_DECLARE_CLASS(GuiGraphTangent, GuiGraphPoint)

public:
    static GMathVec3<unsigned char> get_tangent_color() { return GMathVec3<unsigned char>(255, 0, 255); }

    // `color` is not used: tangents are always drawn in the tangent colour.
    GuiGraphTangent(GuiGraphPoint const& point, double const& x, double const& y, GMathVec3<unsigned char> const& color,
                    GMathVec3<unsigned char> const& highlight);
    GuiGraphPoint const& get_point() const { return *m_point; }

private:
    GuiGraphPoint const* m_point;
};

// A curve: polyline parts in pixel space (part p runs from key first + p on) and its keys,
// filled by compute_points in the editor that derives from it.
class QN_GUI_API GuiGraphCurve : public GuiGraphItem {
    CORE_DECLARE_CLASS(GuiGraphCurve, GuiGraphItem)

public:
    enum Flag : unsigned int { FLAG_DIRTY = 1, FLAG_TO_EVAL = 2 };

    // The highlight colour given is replaced by the normal colour brightened.
    GuiGraphCurve(GuiGraphWidget& graph, GMathVec3<unsigned char> const& normal, GMathVec3<unsigned char> const& highlight,
                  CoreString const& name);
    ~GuiGraphCurve() override;

    CoreString const& get_name() const { return m_name; }
    // Refills the parts and keys from the editor's data.
    virtual void compute_points() = 0;
    // compute_points when the curve is to be evaluated, then a redraw.
    virtual void update_content();

    void set_point_parts_count(unsigned int const& count);
    unsigned int get_point_parts_count() const { return static_cast<unsigned int>(m_parts.size()); }
    void add_point(unsigned int const& part, GMathVec2<double> const& point);
    std::vector<CoreVector<GMathVec2<double>>> const& get_points() const { return m_parts; }
    CoreVector<GMathVec2<double>> const& get_points(unsigned int const& part) const;

    // Takes ownership of the key.
    void add_graph_point(GuiGraphPoint* point);
    // Tells the widget, then deletes the key.
    void remove_graph_point(unsigned int const& index);
    void swap_graph_points(unsigned int const& i, unsigned int const& j);
    std::vector<GuiGraphPoint*> const& get_graph_points() const { return m_keys; }
    // Removes every key from the selection and deletes keys and parts.
    void clear();
    // Leaves the selection with all its keys, without notification.
    void unselect_self();

    GMathVec3<unsigned char> get_default_select_color() const;
    GMathVec3<unsigned char> get_default_highlight_color() const;
    bool is_dirty() const { return (m_flags & FLAG_DIRTY) != 0; }
    void set_is_dirty(bool const& dirty);
    bool is_to_eval() const { return (m_flags & FLAG_TO_EVAL) != 0; }
    void set_is_to_eval(bool const& to_eval);
    float const& get_line_width() const { return m_line_width; }
    void set_line_width(float const& width) { m_line_width = width; }
    float const& get_select_line_width() const { return m_select_line_width; }

    // The keys drawn: first and last index of those inside the width (-1, -1 for none).
    void get_visible_key_range(int& first, int& last) const;
    void draw(GuiDc& dc) override;
    void draw_select(GuiDc& dc) override;

private:
    std::vector<CoreVector<GMathVec2<double>>> m_parts;
    std::vector<GuiGraphPoint*> m_keys;
    CoreString m_name;
    unsigned int m_flags = FLAG_DIRTY;
    float m_line_width = 1.0f;
    float m_select_line_width = 7.0f;
};

// The current-time marker: a vertical line at x, as tall as the view.
class QN_GUI_API GuiGraphTimeline : public GuiGraphItem {
    CORE_DECLARE_CLASS(GuiGraphTimeline, GuiGraphItem)

public:
    explicit GuiGraphTimeline(GuiGraphWidget& graph);
    int const& get_x() const { return m_x; }
    void set_x(int const& x) { m_x = x; }
    int const& get_height() const { return m_height; }
    void set_height(int const& height) { m_height = height; }
    void draw(GuiDc& dc) override;
    void draw_select(GuiDc& dc) override;

private:
    int m_x = 0;
    int m_height = 0;
};

// A tool drawn over the graph that the editor drives (start, stop, cancel, reset).
class QN_GUI_API GuiGraphGizmo : public GuiGraphItem {
    CORE_DECLARE_CLASS(GuiGraphGizmo, GuiGraphItem)

public:
    GuiGraphGizmo(GuiGraphWidget& graph, GMathVec3<unsigned char> const& normal, GMathVec3<unsigned char> const& highlight);
    bool const& is_active() const { return m_active; }
    void set_active(bool const& active) { m_active = active; }
    virtual void start() {}
    virtual void stop() {}
    virtual void cancel() {}
    virtual void reset() {}
    // The pointer shape over the gizmo (a Gui::MouseCursorId).
    virtual int get_cursor() const { return 0; }
    // Draws in the state colour, or with `select` in the pick colour.
    virtual void draw_gizmo(GuiDc& dc, bool const& select) = 0;
    void draw(GuiDc& dc) override;
    void draw_select(GuiDc& dc) override;

protected:
    // The colour draw_gizmo draws with.
    GMathVec3<unsigned char> const& get_draw_color() const { return m_draw_color; }

private:
    bool m_active = false;
    GMathVec3<unsigned char> m_draw_color;
};

// A part of a gizmo the pointer can grab, told apart by its id.
class QN_GUI_API GuiGraphGizmoHandle : public GuiGraphItem {
    CORE_DECLARE_CLASS(GuiGraphGizmoHandle, GuiGraphItem)

public:
    GuiGraphGizmoHandle(GuiGraphGizmo& gizmo, int const& id);
    GuiGraphGizmo& get_parent() const { return *m_parent; }
    int const& get_id() const { return m_id; }

private:
    GuiGraphGizmo* m_parent;
    int m_id;
};
