#pragma once
// GuiNodalBookmark: a button of the view's bookmark bar, standing for a saved viewpoint: an
// id (the viewpoint's place in the stored list), a name shown as its label and a colour.
//
// It keeps its size on screen whatever the zoom (is_screen_size), so that the bar stays put
// while the graph pans and zooms: its position and size are view pixels, its position the
// top-left corner measured from the view's top-left corner with y upwards like the graph's
// (a bar runs down through negative y).
#include <vector>

#include "gui/nodal/gui_nodal_node_base.h"
#include "host/app/app_object.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class ParserGroup;

// A saved viewpoint: its name, its colour (components 0 to 1), the view's centre in graph
// units and zoom ratio, and a string the application may attach to it.
struct GuiNodalBookmarkData {
    CoreString name;
    GMathVec3<double> color = GMathVec3<double>(1.0, 0.0, 0.0);
    GMathVec3<double> viewpoint = GMathVec3<double>(0.0, 0.0, 1.0);
    CoreString blind_data;
};

class GuiNodalBookmarkPreference;

// What EVT_ID_APPLICATION_BOOKMARK_ADD, _DEL and _MOD carry: the list they concern, the
// bookmark (before its removal for _DEL) and its index in the list.
struct GuiNodalBookmarkEvent {
    GuiNodalBookmarkPreference const* preference;
    GuiNodalBookmarkData const* data;
    unsigned int index;
};

// The bookmarks of a node-graph view class, kept by the application object for every view of
// the class and written to the user's preferences file: one "bookmark" entry each, of the
// name, the colour's three components, the viewpoint's three numbers and, when not empty,
// the blind data.
class QN_GUI_API GuiNodalBookmarkPreference : public AppObjectClassPreference {
    CORE_DECLARE_CLASS(GuiNodalBookmarkPreference, AppObjectClassPreference)

public:
    std::vector<GuiNodalBookmarkData>& get_bookmarks() { return m_bookmarks; }
    std::vector<GuiNodalBookmarkData> const& get_bookmarks() const { return m_bookmarks; }
    void save(ParserGroup& group) const override;
    // Appends the group's bookmarks; an entry of the wrong shape is left out with a warning.
    bool load(ParserGroup const& group) override;
    void clear() override { m_bookmarks.clear(); }
    // The blind data as written and as read back; unchanged here.
    virtual CoreString serialize_blind_data(CoreString const& data) const { return data; }
    virtual CoreString deserialize_blind_data(CoreString const& data) const { return data; }
    size_t get_memory_size() const override;

private:
    std::vector<GuiNodalBookmarkData> m_bookmarks;
};

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
    // The width all buttons of a bar share (their widest label's, plus room for the colour);
    // 0 lets the button size itself by its label.
    void set_control_width(int const& width);
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
    int m_control_width = 0;
    int m_width = MIN_WIDTH;
    int m_height = MIN_HEIGHT;
};
