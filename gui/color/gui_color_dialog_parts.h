#pragma once
// The widgets the colour picker is made of: the two-dimensional picking area, the strips
// beside it (the third component of the mode, and alpha), the swatches of the current,
// previous and result colours, and the palette's slots. Each draws what the dialog hands it
// (refresh) and reports what the user picked by raising an event on itself; the dialog reads
// the picked colour back, sets it and refreshes them all, muted.
//
// Picking modes: the mode's component runs along the strip, the other two span the area
// (x to the right, y upwards), all in 0..1:
//     MODE_HUE         strip hue,         area saturation × value
//     MODE_SATURATION  strip saturation,  area hue × value
//     MODE_BRIGHTNESS  strip value,       area hue × saturation
//     MODE_RED         strip red,         area blue × green
//     MODE_GREEN       strip green,       area blue × red
//     MODE_BLUE        strip blue,        area red × green
#include "gui/color/gui_color_palette.h"
#include "gui/color/gui_color_value.h"
#include "gui/core/gui_export.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_widget.h"

class ColorIOConverter;

// The user picks in the area or a strip (a press, then each drag step); read get_picked.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_COLOR_PICK_CHANGING);
// The press that started a pick was released.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_COLOR_PICK_CHANGED);
// Swatches: the previous colour or the result colour was clicked (event data: the swatch
// widget; read get_clicked).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_COLOR_SWATCH_CLICK);
// Palette: a slot was pressed (selected), or double clicked (to be used).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_COLOR_PALETTE_SELECT);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_COLOR_PALETTE_USE);

// What the area and strips share: the mode, the colour they show and the conversion to the
// display, and the colour picked last.
class QN_GUI_API GuiColorPickBase : public GuiWidget {
    CORE_DECLARE_CLASS(GuiColorPickBase, GuiWidget)

public:
    enum Mode : int {
        MODE_HUE = 0,
        MODE_SATURATION = 1,
        MODE_BRIGHTNESS = 2,
        MODE_RED = 3,
        MODE_GREEN = 4,
        MODE_BLUE = 5,
        MODE_COUNT = 6,
    };
    // "MODE_HUE", ...; "MODE_UNKNOWN" for other values.
    static char const* get_mode_name(Mode const& mode);
    // "Hue", "Saturation", "Brightness", "Red", "Green", "Blue"; empty for other values.
    static char const* get_mode_label(Mode const& mode);
    // The three components of a mode's space (HSV or RGB) of a colour.
    static GMathVec3<double> get_components(Mode const& mode, GuiColorValue const& color);
    // A colour of the mode's space from its three components, with `alpha`.
    static GuiColorValue from_components(Mode const& mode, GMathVec3<double> const& components, double const& alpha);

    GuiColorPickBase(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);

    // What to show: the dialog calls it after every change; the picture is made again only
    // when what it depends on changed.
    void refresh(Mode const& mode, GuiColorValue const& color, ColorIOConverter const* converter);
    Mode const& get_mode() const { return m_mode; }
    GuiColorValue const& get_color() const { return m_color; }
    GuiColorValue const& get_picked() const { return m_picked; }

    // The colour at a point of the widget (pixels from its top-left corner), clamped inside.
    virtual GuiColorValue color_at(int const& px, int const& py) const = 0;

    int process_event(CoreString const& name) override;

protected:
    // Fills the picture (widget-sized RGB) for the current mode and colour.
    virtual void fill_picture(unsigned char* pixels, int const& w, int const& h) const = 0;
    // The key the picture depends on besides mode, size and converter.
    virtual double get_picture_key() const = 0;
    // Linear colours to display bytes through the converter, in place as floats, then bytes.
    void to_display(float* rgb, size_t const& count, unsigned char* bytes) const;
    void draw_picture(GuiDc& dc);

    Mode m_mode = MODE_HUE;
    GuiColorValue m_color;
    GuiColorValue m_picked;
    ColorIOConverter const* m_converter = nullptr;

private:
    GuiImage m_picture;
    bool m_picture_valid = false;
    Mode m_picture_mode = MODE_HUE;
    double m_picture_key = 0.0;
    ColorIOConverter const* m_picture_converter = nullptr;
    bool m_pressed = false;
};

// The two-dimensional area: the mode's other two components.
class QN_GUI_API GuiColorPickArea : public GuiColorPickBase {
    CORE_DECLARE_CLASS(GuiColorPickArea, GuiColorPickBase)

public:
    using GuiColorPickBase::GuiColorPickBase;
    // The colour at (u, v) in 0..1 (v upwards) for the mode, keeping the current colour's
    // strip component and alpha.
    static GuiColorValue color_at(Mode const& mode, GuiColorValue const& current, double const& u, double const& v);
    GuiColorValue color_at(int const& px, int const& py) const override;
    // Where the current colour sits: pixels from the top-left corner, clamped inside.
    GMathVec2<int> get_marker() const;
    void draw(GuiDc& dc) override;

protected:
    void fill_picture(unsigned char* pixels, int const& w, int const& h) const override;
    double get_picture_key() const override;
};

// A vertical strip: the mode's own component (KIND_MODE) or alpha (KIND_ALPHA), 1 at the top.
class QN_GUI_API GuiColorPickStrip : public GuiColorPickBase {
    CORE_DECLARE_CLASS(GuiColorPickStrip, GuiColorPickBase)

public:
    enum Kind : int { KIND_MODE = 0, KIND_ALPHA = 1 };
    GuiColorPickStrip(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, Kind const& kind);
    Kind const& get_kind() const { return m_kind; }
    // The colour with the strip's component at t in 0..1.
    static GuiColorValue color_at(Mode const& mode, Kind const& kind, GuiColorValue const& current, double const& t);
    GuiColorValue color_at(int const& px, int const& py) const override;
    // Pixels from the top of the current colour's mark.
    int get_marker() const;
    void draw(GuiDc& dc) override;

protected:
    void fill_picture(unsigned char* pixels, int const& w, int const& h) const override;
    double get_picture_key() const override;

private:
    Kind m_kind;
};

// The current colour A large, and below it at height SWATCH_Y the previous colour B and the
// result C side by side; the pointer is a hand over the two small ones.
class QN_GUI_API GuiColorSwatches : public GuiWidget {
    CORE_DECLARE_CLASS(GuiColorSwatches, GuiWidget)

public:
    static constexpr int SWATCH_W = 60;
    static constexpr int SWATCH_H = 20;
    static constexpr int SWATCH_Y = 87;
    static constexpr int SWATCH_GAP = 4;
    enum Swatch : int { SWATCH_NONE = -1, SWATCH_PREVIOUS = 0, SWATCH_RESULT = 1 };

    GuiColorSwatches(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    // Display bytes of A, B and C.
    void refresh(GMathVec3<unsigned char> const& current, GMathVec3<unsigned char> const& previous,
                 GMathVec3<unsigned char> const& result);
    // Which small swatch holds the point (pixels from the widget's top-left corner).
    static Swatch swatch_at(int const& px, int const& py);
    Swatch const& get_clicked() const { return m_clicked; }
    // The display bytes drawn: 0 current, 1 previous, 2 result.
    GMathVec3<unsigned char> const& get_shown(int const& index) const { return m_colors[index]; }

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

private:
    GMathVec3<unsigned char> m_colors[3];
    Swatch m_clicked = SWATCH_NONE;
};

// The palette's slots: 16-pixel cells on a 20-pixel pitch, 5 per row.
class QN_GUI_API GuiColorPaletteView : public GuiWidget {
    CORE_DECLARE_CLASS(GuiColorPaletteView, GuiWidget)

public:
    static constexpr int CELL = 16;
    static constexpr int PITCH = 20;
    static constexpr int WIDTH = 96;
    static constexpr int HEIGHT = 136;

    GuiColorPaletteView(GuiWidget& parent, int const& x, int const& y, GuiColorPalette& palette);
    // The slot whose cell holds the point (pixels from the widget's top-left corner), or -1
    // between cells and outside.
    static int slot_at(int const& px, int const& py);
    GuiColorPalette& get_palette() const { return *m_palette; }

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

private:
    GuiColorPalette* m_palette;
};
