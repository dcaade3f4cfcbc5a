#pragma once
// GuiNodalBackdrop: a titled, coloured frame drawn behind nodes. The items lying wholly inside
// it form its content and move with it; backdrops nest, each item belonging to the innermost
// backdrop that holds it entirely. Resize corners at its bottom corners (disabled while it
// fits its content automatically) and a lock button that freezes its content.
//
// Its rectangle is in graph units (minimum x, minimum y, maximum x, maximum y), y upwards; its
// world position is its top-left corner; its header band (the gripper, by which it is moved)
// shows the title.
#include <vector>

#include "gui/nodal/gui_nodal_node_base.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class GuiNodalNodeZoneButton;
class GuiNodalNodeZoneHeader;

class QN_GUI_API GuiNodalBackdrop : public GuiNodalNodeBase {
    CORE_DECLARE_CLASS(GuiNodalBackdrop, GuiNodalNodeBase)

public:
    static constexpr int DEFAULT_WIDTH = 400;
    static constexpr int DEFAULT_HEIGHT = 200;
    // Graph units left around the content when fitting it.
    static constexpr int FIT_MARGIN = 45;

    GuiNodalBackdrop(GuiNodal& graph, CoreString const& title, int const& x, int const& y);
    // Leaves its parent backdrop and its children; destroys its header and buttons.
    ~GuiNodalBackdrop() override;

    // --- Geometry ---
    int get_width() const override { return m_width; }
    int get_height() const override { return m_height; }
    // Sizes below 1 are refused with a warning.
    virtual void set_width(int const& width);
    virtual void set_height(int const& height);
    virtual void set_origin(GMathVec2<int> const& origin) { set_position(origin); }
    virtual void set_geometry(GMathVec2<int> const& pos, int w, int h, bool dirty);
    // (min x, min y, max x, max y) in graph units.
    GMathVec4<int> get_rect() const;
    int get_gripper_height() const;
    GuiNodalNodeZoneHeader& get_header() const { return *m_header; }

    // --- Look ---
    virtual void set_title(CoreString const& title);
    CoreString const& get_title() const;
    void set_color(Color const& color);
    Color const& get_color() const { return m_color; }

    // --- Content ---
    std::vector<GuiNodalNodeBase*> const& get_content() const { return m_content; }
    bool is_in_content(GuiNodalNodeBase const& node) const;
    void add_to_content(GuiNodalNodeBase& node);
    void remove_from_content(GuiNodalNodeBase& node);
    // Replaces the content; items not wholly inside are kept all the same (a caller's choice).
    void set_content(std::vector<GuiNodalNodeBase*> const& nodes);
    // Puts the item in the innermost backdrop of this backdrop's hierarchy that holds it
    // entirely (or in none): nothing while this backdrop's content is locked.
    void check_content(GuiNodalNodeBase& node);
    void check_content(std::vector<GuiNodalNodeBase*> const& nodes);
    bool const& is_content_locked() const { return m_content_locked; }
    void set_content_locked(bool const& locked);
    bool const& is_autofit() const { return m_autofit; }
    // Disables both resize corners while on.
    virtual void set_autofit(bool autofit);
    // Fits the frame around its content with FIT_MARGIN on every side (an empty backdrop
    // becomes as wide as its title and 200 units high); true when the geometry changed.
    bool fit_content(bool const& dirty = true);
    // Arranges the content in columns that follow its links (GuiNodalLayouter), 45 graph
    // units in from the top-left corner, then fits the frame around it; one undo step.
    void layout();

    // --- Hierarchy ---
    GuiNodalBackdrop* get_parent_backdrop() const { return m_parent_backdrop; }
    std::vector<GuiNodalBackdrop*> const& get_child_backdrops() const { return m_child_backdrops; }
    // The outermost backdrop above this one (itself at the top).
    GuiNodalBackdrop* get_root();
    // Adds to `nodes` this backdrop's content and, when `recursive`, that of the backdrops
    // it holds, each box once.
    void get_node_hierarchy(std::vector<GuiNodalNodeBase*>& nodes, bool const& recursive) const;

    // --- All the backdrops of a view ---
    // Puts each top-level box of `items` (backdrops among them) into the innermost of
    // `backdrops` that holds it entirely, or into none. A box held by a locked backdrop
    // stays, and a locked backdrop takes nothing new. Of two backdrops with the same
    // rectangle, the one listed first holds the other.
    static void check_hierarchies(std::vector<GuiNodalBackdrop*> const& backdrops,
                                  std::vector<GuiNodalNodeBase*> const& items);
    // Draws the outermost backdrops, each with the backdrops it holds over it.
    static void draw_hierarchies(GuiDc& dc, std::vector<GuiNodalBackdrop*> const& backdrops);
    // The button or gripper of a backdrop at the graph point, the innermost backdrop first;
    // null elsewhere.
    static GuiNodalItem* pick_hierarchies(GuiDc& dc, std::vector<GuiNodalBackdrop*> const& backdrops,
                                          GMathVec2<float> const& point);
    // Fits, innermost first, the backdrops under `backdrop` (itself included) that fit their
    // content automatically.
    static void recurse_autofit(GuiNodalBackdrop& backdrop);
    // Writes the hierarchies to the log, one line per backdrop indented by its depth, with
    // the number of boxes it holds.
    static void debug_hierarchies(std::vector<GuiNodalBackdrop*> const& backdrops);

    GuiNodalNodeZoneButton& get_left_corner() const { return *m_left_corner; }
    GuiNodalNodeZoneButton& get_right_corner() const { return *m_right_corner; }
    GuiNodalNodeZoneButton& get_lock_button() const { return *m_lock; }

    // Moves the frame and every item of its content that is not selected (selected items are
    // moved by the selection).
    void move(int const& dx, int const& dy) override;
    void move_to(int const& x, int const& y) override;

    void update_content(GuiDc& dc) override;
    // The frame, its band and title, its buttons, then its child backdrops over it.
    void draw(GuiDc& dc) override;
    void draw_select(GuiDc& dc) override;
    // As a minimap shows it: a faint fill and an outline in its colour, then its child
    // backdrops over it; nothing while hidden.
    virtual void draw_mini(GuiDc& dc);

private:
    // Offers the item from this backdrop down; true when this backdrop or a child took it.
    bool offer(GuiNodalNodeBase& node, GMathVec4<int> const& rect);
    // Removes the item from this backdrop and every backdrop below it.
    void withdraw(GuiNodalNodeBase& node);
    void set_parent_backdrop(GuiNodalBackdrop* parent);
    void place_buttons();
    void on_resize_left(GuiNodalNodeZoneButton& button, EventInfo const& info, void* data);
    void on_resize_right(GuiNodalNodeZoneButton& button, EventInfo const& info, void* data);
    void on_lock(GuiNodalNodeZoneButton& button, EventInfo const& info, void* data);

    int m_width = DEFAULT_WIDTH;
    int m_height = DEFAULT_HEIGHT;
    bool m_autofit = false;
    bool m_content_locked = false;
    Color m_color = Color(80, 90, 110);
    std::vector<GuiNodalNodeBase*> m_content;
    GuiNodalBackdrop* m_parent_backdrop = nullptr;
    std::vector<GuiNodalBackdrop*> m_child_backdrops;
    GuiNodalNodeZoneHeader* m_header = nullptr;
    GuiNodalNodeZoneButton* m_left_corner = nullptr;
    GuiNodalNodeZoneButton* m_right_corner = nullptr;
    GuiNodalNodeZoneButton* m_lock = nullptr;
};
