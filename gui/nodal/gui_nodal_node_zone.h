#pragma once
// GuiNodalNodeZone: one horizontal band of a node, with its own width and height; and the
// zone kinds. GuiNodalNodeZoneAnchor is a plug or a node side where links attach, drawn as a
// triangle, a circle or a half circle. A zone's parent is its node: marking a zone dirty
// marks the node.
#include <deque>
#include <vector>

#include "gui/core/gui_font.h"
#include "gui/core/gui_image.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/nodal/gui_nodal_node_base.h"
#include "host/core/core_string.h"
#include "host/event/event_id.h"

// Raised by a node button: clicked, and dragged (the drag's event data is the pointer's move
// in graph units, a GMathVec2<int>*).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NODAL_BUTTON_CLICK);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NODAL_BUTTON_DRAG_BEGIN);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NODAL_BUTTON_DRAG);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NODAL_BUTTON_DRAG_END);

class QN_GUI_API GuiNodalNodeZone : public GuiNodalNodeBase {
    CORE_DECLARE_CLASS(GuiNodalNodeZone, GuiNodalNodeBase)

public:
    GuiNodalNodeZone(GuiNodalNodeBase& node, int const& x, int const& y);

    void draw(GuiDc&) override {}
    void draw_select(GuiDc&) override {}
    void update_content(GuiDc&) override {}
    int get_width() const override { return m_width; }
    int get_height() const override { return m_height; }
    // Negative sizes are refused with a warning.
    virtual void set_width(int const& width);
    virtual void set_height(int const& height);
    // What a side plug of the zone covers inside the node (both sides keep it clear, since a
    // switched node swaps them): content starts and ends that far in.
    int get_plug_inset() const;

private:
    int m_width = 0;
    int m_height = 0;
};

class QN_GUI_API GuiNodalNodeZoneAnchor : public GuiNodalNodeZone {
    CORE_DECLARE_CLASS(GuiNodalNodeZoneAnchor, GuiNodalNodeZone)

public:
    enum Shape : int { SHAPE_TRIANGLE = 0, SHAPE_CIRCLE = 1, SHAPE_HALF_CIRCLE = 2 };
    // The default edge of a plug's shape, in graph units at scale 1.
    static constexpr int DEFAULT_SIZE = 12;

    // A plug on `side` of `node` (a node side when no zone places it elsewhere).
    GuiNodalNodeZoneAnchor(GuiNodalNodeBase& node, NodeAnchor const& side);

    NodeAnchor const& get_side() const { return m_side; }
    // The triangle points outwards on the right and up sides, inwards on the others.
    void draw(GuiDc& dc) override;
    void draw_select(GuiDc& dc) override;
    void set_is_highlighted(bool const& highlighted) override;
    void draw_outline(int outline) override { m_outline = outline != 0; }
    // The node decides.
    bool can_begin_link_creation() override;
    bool can_begin_link_destruction(GuiNodalLink const& link) override;

    Shape const& get_shape() const { return m_shape; }
    float const& get_shape_factor() const { return m_shape_factor; }
    void set_shape_triangle(float const& factor = 1.0f);
    void set_shape_circle(float const& factor = 1.0f);
    void set_shape_half_circle(float const& factor = 1.0f);
    // The shape's edge in graph units (positive).
    void set_size(int const& size);
    bool const& is_pass_through() const { return m_pass_through; }
    void set_pass_through(bool const& pass_through) { m_pass_through = pass_through; }
    // The rectangle (x, y, w, h in graph units) that picks the plug.
    GMathVec4<int> const& get_select_zone() const { return m_select_zone; }
    void set_select_zone(GMathVec4<int> const& zone) { m_select_zone = zone; }
    bool const& is_select_singleton() const { return m_select_singleton; }
    void set_select_singleton(bool const& singleton) { m_select_singleton = singleton; }
    bool const& is_select_preference() const { return m_select_preference; }
    void set_select_preference(bool const& preference) { m_select_preference = preference; }
    bool const& has_outline() const { return m_outline; }

private:
    void set_shape(Shape const& shape, float const& factor);
    // Adds the shape's outline, centred on the plug's world position, to `points`.
    void shape_points(std::vector<GuiGlBatch::Point>& points) const;

    NodeAnchor m_side;
    bool m_pass_through = false;
    Shape m_shape = SHAPE_TRIANGLE;
    float m_shape_factor = 1.0f;
    GMathVec4<int> m_select_zone;
    bool m_select_singleton = false;
    bool m_select_preference = false;
    bool m_outline = false;
};

// The title band of a node: lines of text, each in its own font and colour, with the zone's
// border size as margin. Drawn at the top of its node, or at the bottom as a footer.
class QN_GUI_API GuiNodalNodeZoneHeader : public GuiNodalNodeZone {
    CORE_DECLARE_CLASS(GuiNodalNodeZoneHeader, GuiNodalNodeZone)

public:
    struct Line {
        CoreString text;
        GuiFont font;
        Color color = Color(255, 255, 255);
        // Left out of the band's width (a status line that may be cut).
        bool counts_in_width = true;
        // Shown left of the text; none when it has no pixels.
        GuiImage icon;
        bool has_icon() const { return icon.has_data() && icon.get_width() > 0; }
    };
    // The least height of a band in a view made with its simplification ratio.
    static constexpr int MIN_SIMPLIFIED_VIEW_HEIGHT = 25;

    GuiNodalNodeZoneHeader(GuiNodalNodeBase& node, CoreString const& title);
    // Drops its icons' textures.
    ~GuiNodalNodeZoneHeader() override;

    // A deque: lines keep their place in memory, which keys their icons' textures.
    std::deque<Line> const& get_lines() const { return m_lines; }
    // Sets line `index` (0 the title, 1 the information line), adding empty lines before it.
    void set_line(size_t const& index, CoreString const& text);
    void set_line_color(size_t const& index, Color const& color);
    // When only the title has an icon, its width is kept as a column left of every line.
    void set_line_icon(size_t const& index, GuiImage const& icon);
    int get_icon_column() const;
    bool const& is_footer() const { return m_footer; }
    void set_footer(bool const& footer);
    int const& get_bar_height() const { return m_bar_height; }
    void add_bar(int const& height);
    bool has_bar() const { return m_bar_height > 0; }
    int const& get_status_height() const { return m_status_height; }
    void add_status(int const& height);
    bool has_status() const { return m_status_height > 0; }

    // The band's size from its lines: each as high as its font's line (or its icon and a
    // margin above and below, if taller), as wide as its text (in the font's atlas, as drawn)
    // with the margin on both sides, the icon column, or its own icon and a margin each side.
    // Then the bar above them and half the status area below.
    void update_size();
    int get_line_height(Line const& line) const;
    // Where the line's text starts, from the band's left edge.
    int get_text_offset(Line const& line) const;
    void update_content(GuiDc&) override { update_size(); }
    // The zone's width plus its margin on both sides.
    int get_width() const override { return GuiNodalNodeZone::get_width() + 2 * get_border_size(); }
    // The lines from the band's top-left corner (graph units, y upwards).
    void draw(GuiDc& dc) override;

private:
    std::deque<Line> m_lines;
    bool m_footer = false;
    int m_bar_height = 0;
    int m_status_height = 0;
};

// A band of text inside a node, cut to the node's width unless uncroppable.
class QN_GUI_API GuiNodalNodeZoneText : public GuiNodalNodeZone {
    CORE_DECLARE_CLASS(GuiNodalNodeZoneText, GuiNodalNodeZone)

public:
    GuiNodalNodeZoneText(GuiNodalNodeBase& node, CoreString const& text, int const& text_height = 12);

    CoreString const& get_text() const { return m_text; }
    void set_text(CoreString const& text);
    int const& get_text_height() const { return m_text_height; }
    // A size below 1 is refused with a warning.
    void set_text_height(int const& height);
    bool const& is_uncroppable() const { return m_uncroppable; }
    void set_uncroppable(bool const& uncroppable) { m_uncroppable = uncroppable; }
    // The width the text is cut to (0: not cut).
    int const& get_crop_width() const { return m_crop_width; }
    void set_crop_width(int const& width);

    // Width: the text's, with the margin; height: the text height with the margin.
    void update_content(GuiDc& dc) override;
    void draw(GuiDc& dc) override;

private:
    CoreString m_text;
    int m_text_height = 12;
    bool m_uncroppable = false;
    int m_crop_width = 0;
};

// A small control of a node or backdrop: clicked or dragged, drawn as a shape.
class QN_GUI_API GuiNodalNodeZoneButton : public GuiNodalNodeZone {
    CORE_DECLARE_CLASS(GuiNodalNodeZoneButton, GuiNodalNodeZone)

public:
    enum ButtonActionMode : int { BUTTON_ACTION_CLICK = 1, BUTTON_ACTION_DRAG = 2 };
    enum Shape : unsigned int {
        SHAPE_NONE = 0,
        SHAPE_COLLAPSE = 0x20,
        SHAPE_EXPAND = 0x40,
        SHAPE_CORNER_LEFT = 0x80,
        SHAPE_CORNER_RIGHT = 0x100,
        SHAPE_DELETE = 0x200,
        SHAPE_SLIDER = 0x400,
    };

    // A w × h button at (x, y) in its node, grey bordered, pickable.
    GuiNodalNodeZoneButton(GuiNodalNodeBase& node, int const& x, int const& y, int const& w, int const& h);

    ButtonActionMode const& get_action_mode() const { return m_action_mode; }
    void set_action_mode(ButtonActionMode const& mode) { m_action_mode = mode; }
    unsigned int const& get_shape() const { return m_shape; }
    void set_shape(unsigned int const& shape);
    // 0x80 for the left corner, 0x100 for the right one.
    void set_shape_corner(bool const& left) { set_shape(left ? SHAPE_CORNER_LEFT : SHAPE_CORNER_RIGHT); }
    // What the button does, from its shape: "Drag to resize.", "Click to delete.", ...
    char const* get_tooltip() const;
    bool const& is_enabled() const { return m_enabled; }
    void set_enabled(bool const& enabled) { m_enabled = enabled; }

    // Raise the button's events; nothing while it is disabled.
    void click();
    void drag_begin();
    void drag(GMathVec2<int> const& delta);
    void drag_end();

    void set_is_highlighted(bool const& highlighted) override;
    void draw(GuiDc& dc) override;
    void draw_select(GuiDc& dc) override;

private:
    ButtonActionMode m_action_mode = BUTTON_ACTION_CLICK;
    unsigned int m_shape = SHAPE_NONE;
    bool m_enabled = true;
};

// A band of a node that shows an image (a thumbnail), as wide as the image's size and as
// high as that size times the image's ratio. The zone keeps its own copy of the image. When
// resizable, a corner button at its bottom-right resizes the image by dragging.
class QN_GUI_API GuiNodalNodeZoneImage : public GuiNodalNodeZone {
    CORE_DECLARE_CLASS(GuiNodalNodeZoneImage, GuiNodalNodeZone)

public:
    // A drag leaves the image's shorter side at least this long in graph units (or as long as
    // it was, if shorter).
    static constexpr int MIN_DRAG_SIDE = 16;
    // The edge of the resize corner, in graph units.
    static constexpr int RESIZE_CORNER_SIZE = 12;

    // An image without pixels (or of no size) is kept with a warning and draws nothing.
    GuiNodalNodeZoneImage(GuiNodalNodeBase& node, GuiImage const& image);
    ~GuiNodalNodeZoneImage() override;

    GuiImage const& get_image() const { return m_image; }
    void set_image(GuiImage const& image);
    // Height over width; 1 for an image of no size.
    double const& get_image_ratio() const { return m_ratio; }
    double const& get_image_size() const { return m_size; }
    // The shown width in graph units (positive; the height follows the ratio).
    void set_image_size(double const& size);
    bool const& is_outdated() const { return m_outdated; }
    // An outdated image is drawn greyed until it is replaced.
    void set_outdated(bool const& outdated);
    bool const& is_using_background() const { return m_use_background; }
    void set_use_background(bool const& use) { m_use_background = use; }
    // Makes or destroys the resize corner (shape SHAPE_CORNER_RIGHT, drag mode). A drag
    // right or down grows the image, left or up shrinks it, by the larger of the two moves
    // (a move down counts in widths through the ratio); the height follows the ratio.
    void set_resizable(bool const& resizable);
    bool is_resizable() const { return m_resize_corner != nullptr; }
    // Null while the zone is not resizable.
    GuiNodalNodeZoneButton* get_resize_corner() const { return m_resize_corner; }

    // Also places the resize corner at the zone's bottom-right.
    void update_content(GuiDc& dc) override;
    // The image, then the resize corner over it.
    void draw(GuiDc& dc) override;
    // The resize corner, so that it can be picked.
    void draw_select(GuiDc& dc) override;

private:
    void on_resize(GuiNodalNodeZoneButton& button, EventInfo const& info, void* data);
    void draw_image(GuiDc& dc);

    GuiNodalNodeZoneButton* m_resize_corner = nullptr;
    GuiImage m_image;
    double m_ratio = 1.0;
    double m_size = 0.0;
    bool m_outdated = false;
    bool m_use_background = false;
};
