#pragma once
// GuiNodalDot: a small round reroute point on a link: a node without a name whose width is
// its height (its diameter), whose position is its centre and whose two plugs sit at that
// centre, so that links run through it.
#include "gui/nodal/gui_nodal_node.h"

class QN_GUI_API GuiNodalDot : public GuiNodalNode {
    CORE_DECLARE_CLASS(GuiNodalDot, GuiNodalNode)

public:
    static constexpr int DEFAULT_DIAMETER = 12;

    // A dot of `diameter` graph units with the plugs of `anchors`.
    GuiNodalDot(GuiNodal& graph, unsigned int const& anchors = NODE_ANCHOR_SIDES,
                int const& diameter = DEFAULT_DIAMETER);

    // Both set the diameter; below 1 it is refused with a warning.
    void set_width(int const& width);
    void set_height(int const& height) { set_width(height); }
    int get_width() const override { return m_diameter; }
    int get_height() const override { return m_diameter; }
    // The centre goes to (x, y).
    void move_to(int const& x, int const& y) override;
    void set_center(GMathVec2<int> const& center) override { move_to(center[0], center[1]); }
    GMathVec2<int> get_center() const override;
    void set_origin(GMathVec2<int> const& origin) { move_to(origin[0], origin[1]); }

    // Upstream from the left plug through the first incoming link of each dot: the first
    // node that is not a dot; null when a dot has no input (or the dots loop).
    GuiNodalNodeBase* get_input_node() const;
    // The input node decides; without one, links may be made and cut.
    bool can_begin_link_creation() override;
    bool can_begin_link_destruction(GuiNodalLink const& link) override;
    CoreString get_text() const { return CoreString(); }

    void update_content(GuiDc& dc) override;
    void draw(GuiDc& dc) override;
    void draw_select(GuiDc& dc) override;

private:
    int m_diameter = DEFAULT_DIAMETER;
};
