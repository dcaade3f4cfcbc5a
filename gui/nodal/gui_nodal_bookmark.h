#pragma once
// GuiNodalBookmark: a button of the view's bookmark bar, standing for a saved viewpoint: an
// id (the viewpoint's place in the stored list), a name shown as its label and a colour.
//
// It keeps its size on screen whatever the zoom (is_screen_size), so that the bar stays put
// while the graph pans and zooms: its position and size are view pixels, its position the
// top-left corner measured from the view's top-left corner with y upwards like the graph's
// (a bar runs down through negative y).
#include "gui/nodal/gui_nodal_node_base.h"
#include "host/core/core_string.h"

class QN_GUI_API GuiNodalBookmark : public GuiNodalNodeBase {
    CORE_DECLARE_CLASS(GuiNodalBookmark, GuiNodalNodeBase)

public:
    // Pixels between the label and the button's sides, and above and below it.
    static constexpr int LABEL_MARGIN_X = 8;
    static constexpr int LABEL_MARGIN_Y = 4;
    // The least size of a button, whatever its label.
    static constexpr int MIN_WIDTH = 40;
    static constexpr int MIN_HEIGHT = 20;
    // Longer names (in bytes) are refused: the bar is as wide as its widest button.
    static constexpr unsigned int MAX_NAME_LENGTH = 64;

    // A nameless bookmark at (x, y) in view pixels, in the view's light background colour.
    GuiNodalBookmark(GuiNodal& graph, unsigned int id, int const& x, int const& y);

    unsigned int const& get_id() const { return m_id; }
    void set_id(unsigned int const& id) { m_id = id; }
    CoreString const& get_name() const { return m_name; }
    // An empty name, or one longer than MAX_NAME_LENGTH, is refused with a warning.
    void set_name(CoreString const& name);
    Color const& get_color() const { return m_color; }
    // The fill; its highlight is the colour lightened, its border darkened.
    void set_color(Color const& color);
    // The label's width in the view's font, in pixels.
    int get_label_width() const;
    // The point (view pixels, as the position) lies on the button.
    bool holds(int const& x, int const& y) const;

    // Drawn lighter while highlighted.
    void set_is_highlighted(bool const& highlighted) override;
    // The label and its margins, at least MIN_WIDTH × MIN_HEIGHT (only while dirty).
    void update_content(GuiDc& dc) override;
    int get_width() const override { return m_width; }
    int get_height() const override { return m_height; }
    // A rounded box of its colour with its label, at its place on screen; nothing while hidden.
    void draw(GuiDc& dc) override;
    // Nothing: the bar finds its buttons by their place on screen (holds).
    void draw_select(GuiDc&) override {}

private:
    unsigned int m_id = 0;
    CoreString m_name;
    Color m_color;
    int m_width = MIN_WIDTH;
    int m_height = MIN_HEIGHT;
};
