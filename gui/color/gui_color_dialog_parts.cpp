#include "gui/color/gui_color_dialog_parts.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "host/colorio/colorio.h"
#include "host/gmath/gmath_color.h"

EVENT_DEFINE_ID(EVT_ID_COLOR_PICK_CHANGING);
EVENT_DEFINE_ID(EVT_ID_COLOR_PICK_CHANGED);
EVENT_DEFINE_ID(EVT_ID_COLOR_SWATCH_CLICK);
EVENT_DEFINE_ID(EVT_ID_COLOR_PALETTE_SELECT);
EVENT_DEFINE_ID(EVT_ID_COLOR_PALETTE_USE);

CORE_IMPLEMENT_CLASS(GuiColorPickBase, GuiWidget)
CORE_IMPLEMENT_CLASS(GuiColorPickArea, GuiColorPickBase)
CORE_IMPLEMENT_CLASS(GuiColorPickStrip, GuiColorPickBase)
CORE_IMPLEMENT_CLASS(GuiColorSwatches, GuiWidget)
CORE_IMPLEMENT_CLASS(GuiColorPaletteView, GuiWidget)

namespace {

struct ModeText {
    char const* name;
    char const* label;
};
ModeText const mode_texts[GuiColorPickBase::MODE_COUNT] = {
    {"MODE_HUE", "Hue"},     {"MODE_SATURATION", "Saturation"}, {"MODE_BRIGHTNESS", "Brightness"},
    {"MODE_RED", "Red"},     {"MODE_GREEN", "Green"},           {"MODE_BLUE", "Blue"},
};

bool is_known(GuiColorPickBase::Mode const& mode)
{
    return mode >= 0 && mode < GuiColorPickBase::MODE_COUNT;
}

bool is_hsv(GuiColorPickBase::Mode const& mode)
{
    return mode <= GuiColorPickBase::MODE_BRIGHTNESS;
}

// Which of the mode's components runs along the strip, and which span the area's x and y.
struct Axes {
    int strip, x, y;
};
Axes axes_of(GuiColorPickBase::Mode const& mode)
{
    switch (mode) {
        case GuiColorPickBase::MODE_SATURATION: return {1, 0, 2};
        case GuiColorPickBase::MODE_BRIGHTNESS: return {2, 0, 1};
        case GuiColorPickBase::MODE_RED: return {0, 2, 1};
        case GuiColorPickBase::MODE_GREEN: return {1, 2, 0};
        case GuiColorPickBase::MODE_BLUE: return {2, 0, 1};
        default: return {0, 1, 2};
    }
}

double unit(int const& pixel, int const& size)
{
    return size > 1 ? std::clamp(static_cast<double>(pixel) / (size - 1), 0.0, 1.0) : 0.0;
}

int to_pixel(double const& t, int const& size)
{
    double const clamped = std::isfinite(t) ? std::clamp(t, 0.0, 1.0) : 0.0;
    return static_cast<int>(std::lround(clamped * (size - 1)));
}

GMathVec3<unsigned char> gray(int const& level)
{
    auto const l = static_cast<unsigned char>(level);
    return GMathVec3<unsigned char>(l, l, l);
}

}  // namespace

// --- Shared ---

char const* GuiColorPickBase::get_mode_name(Mode const& mode)
{
    return is_known(mode) ? mode_texts[mode].name : "MODE_UNKNOWN";
}

char const* GuiColorPickBase::get_mode_label(Mode const& mode)
{
    return is_known(mode) ? mode_texts[mode].label : "";
}

GMathVec3<double> GuiColorPickBase::get_components(Mode const& mode, GuiColorValue const& color)
{
    return is_hsv(mode) ? color.get_hsv() : color.get_rgb();
}

GuiColorValue GuiColorPickBase::from_components(Mode const& mode, GMathVec3<double> const& components,
                                                double const& alpha)
{
    return is_hsv(mode) ? GuiColorValue::from_hsv(components[0], components[1], components[2], alpha)
                        : GuiColorValue::from_rgb(components[0], components[1], components[2], alpha);
}

GuiColorPickBase::GuiColorPickBase(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiWidget(parent, x, y, w, h)
{
    set_mouse_cursor(Gui::MOUSE_CURSOR_CROSS);
}

void GuiColorPickBase::refresh(Mode const& mode, GuiColorValue const& color, ColorIOConverter const* converter)
{
    m_mode = is_known(mode) ? mode : MODE_HUE;
    m_color = color;
    m_converter = converter;
    if (m_picture_valid && (m_picture_mode != m_mode || m_picture_key != get_picture_key() ||
                            m_picture_converter != m_converter))
        m_picture_valid = false;
    redraw();
}

void GuiColorPickBase::to_display(float* rgb, size_t const& count, unsigned char* bytes) const
{
    if (m_converter) m_converter->convert(rgb, count, 3);
    for (size_t i = 0; i < 3 * count; ++i) {
        float const c = std::isfinite(rgb[i]) ? std::clamp(rgb[i], 0.0f, 1.0f) : 0.0f;
        bytes[i] = static_cast<unsigned char>(std::lround(c * 255.0f));
    }
}

void GuiColorPickBase::draw_picture(GuiDc&)
{
    int const w = get_width(), h = get_height();
    if (w <= 0 || h <= 0) return;
    if (!m_picture_valid || static_cast<int>(m_picture.get_width()) != w ||
        static_cast<int>(m_picture.get_height()) != h) {
        if (static_cast<int>(m_picture.get_width()) != w || static_cast<int>(m_picture.get_height()) != h)
            m_picture = GuiImage(static_cast<unsigned int>(w), static_cast<unsigned int>(h), 3);
        fill_picture(m_picture.get_data(), w, h);
        m_picture.update();
        m_picture_valid = true;
        m_picture_mode = m_mode;
        m_picture_key = get_picture_key();
        m_picture_converter = m_converter;
    }
    m_picture.draw(get_x(), get_y());
}

int GuiColorPickBase::process_event(CoreString const& name)
{
    if (!is_enabled()) return GuiWidget::process_event(name);
    if (name == EVT_ID_MOUSE_DOWN || (name == EVT_ID_MOUSE_DRAG && m_pressed)) {
        if (name == EVT_ID_MOUSE_DOWN) m_pressed = true;
        int px = 0, py = 0;
        Gui::get_relative_mouse_coords(*this, px, py);
        m_picked = color_at(px, py);
        raise_event(EVT_ID_COLOR_PICK_CHANGING);
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP && m_pressed) {
        m_pressed = false;
        raise_event(EVT_ID_COLOR_PICK_CHANGED);
        return 1;
    }
    return GuiWidget::process_event(name);
}

// --- Area ---

GuiColorValue GuiColorPickArea::color_at(Mode const& mode, GuiColorValue const& current, double const& u,
                                         double const& v)
{
    Axes const axes = axes_of(mode);
    GMathVec3<double> components = get_components(mode, current);
    components[axes.x] = std::clamp(u, 0.0, 1.0);
    components[axes.y] = std::clamp(v, 0.0, 1.0);
    return from_components(mode, components, current.get_alpha());
}

GuiColorValue GuiColorPickArea::color_at(int const& px, int const& py) const
{
    int const h = get_height();
    return color_at(m_mode, m_color, unit(px, get_width()), 1.0 - unit(py, h));
}

GMathVec2<int> GuiColorPickArea::get_marker() const
{
    Axes const axes = axes_of(m_mode);
    GMathVec3<double> const components = get_components(m_mode, m_color);
    return GMathVec2<int>(to_pixel(components[axes.x], get_width()),
                          get_height() - 1 - to_pixel(components[axes.y], get_height()));
}

double GuiColorPickArea::get_picture_key() const
{
    return get_components(m_mode, m_color)[axes_of(m_mode).strip];
}

void GuiColorPickArea::fill_picture(unsigned char* pixels, int const& w, int const& h) const
{
    Axes const axes = axes_of(m_mode);
    GMathVec3<double> components = get_components(m_mode, m_color);
    std::vector<float> rgb(static_cast<size_t>(w) * h * 3);
    for (int py = 0; py < h; ++py) {
        components[axes.y] = 1.0 - unit(py, h);
        for (int px = 0; px < w; ++px) {
            components[axes.x] = unit(px, w);
            GMathVec3<double> const c = is_hsv(m_mode) ? gmath_hsv_to_rgb(components) : components;
            float* out = &rgb[(static_cast<size_t>(py) * w + px) * 3];
            for (int i = 0; i < 3; ++i) out[i] = static_cast<float>(c[i]);
        }
    }
    to_display(rgb.data(), static_cast<size_t>(w) * h, pixels);
}

void GuiColorPickArea::draw(GuiDc& dc)
{
    draw_picture(dc);
    GMathVec2<int> const marker = get_marker();
    // A ring that reads on light and dark colours: black inside white.
    int const mx = get_x() + marker[0], my = get_y() + marker[1];
    GMathVec3<unsigned char> const white = gray(255), black = gray(0);
    dc.draw_rect({mx - 4, my - 4, 9, 9}, white);
    dc.draw_rect({mx - 3, my - 3, 7, 7}, black);
}

// --- Strips ---

GuiColorPickStrip::GuiColorPickStrip(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                                     Kind const& kind)
    : GuiColorPickBase(parent, x, y, w, h), m_kind(kind)
{
}

GuiColorValue GuiColorPickStrip::color_at(Mode const& mode, Kind const& kind, GuiColorValue const& current,
                                          double const& t)
{
    double const clamped = std::clamp(t, 0.0, 1.0);
    if (kind == KIND_ALPHA) {
        GuiColorValue color = current;
        color.set_alpha(clamped, "GuiColorPickStrip.color_at");
        return color;
    }
    GMathVec3<double> components = get_components(mode, current);
    components[axes_of(mode).strip] = clamped;
    return from_components(mode, components, current.get_alpha());
}

GuiColorValue GuiColorPickStrip::color_at(int const&, int const& py) const
{
    return color_at(m_mode, m_kind, m_color, 1.0 - unit(py, get_height()));
}

int GuiColorPickStrip::get_marker() const
{
    double const t =
        m_kind == KIND_ALPHA ? m_color.get_alpha() : get_components(m_mode, m_color)[axes_of(m_mode).strip];
    return get_height() - 1 - to_pixel(t, get_height());
}

double GuiColorPickStrip::get_picture_key() const
{
    // The strip shows the colour's other components: any change of them is a new picture.
    GMathVec3<double> const c = m_color.get_rgb();
    return c[0] * 1e6 + c[1] * 1e3 + c[2] + (m_kind == KIND_ALPHA ? 0.0 : m_color.get_hsv()[0] * 1e9);
}

void GuiColorPickStrip::fill_picture(unsigned char* pixels, int const& w, int const& h) const
{
    std::vector<float> rgb(static_cast<size_t>(w) * h * 3);
    for (int py = 0; py < h; ++py) {
        double const t = 1.0 - unit(py, h);
        GMathVec3<double> c;
        if (m_kind == KIND_ALPHA) {
            c = m_color.get_rgb();
        } else if (m_mode == MODE_HUE) {
            // The hue strip shows every hue at full saturation and value.
            c = gmath_hsv_to_rgb(GMathVec3<double>(t, 1.0, 1.0));
        } else {
            c = color_at(m_mode, m_kind, m_color, t).get_rgb();
        }
        for (int px = 0; px < w; ++px) {
            float* out = &rgb[(static_cast<size_t>(py) * w + px) * 3];
            for (int i = 0; i < 3; ++i) out[i] = static_cast<float>(c[i]);
        }
    }
    to_display(rgb.data(), static_cast<size_t>(w) * h, pixels);
    if (m_kind != KIND_ALPHA) return;
    // Alpha over a checker of 6-pixel squares: opaque at the top, the checker at the bottom.
    for (int py = 0; py < h; ++py) {
        double const alpha = 1.0 - unit(py, h);
        for (int px = 0; px < w; ++px) {
            unsigned char* p = &pixels[(static_cast<size_t>(py) * w + px) * 3];
            int const checker = ((px / 6 + py / 6) % 2) ? 200 : 120;
            for (int i = 0; i < 3; ++i)
                p[i] = static_cast<unsigned char>(std::lround(p[i] * alpha + checker * (1.0 - alpha)));
        }
    }
}

void GuiColorPickStrip::draw(GuiDc& dc)
{
    draw_picture(dc);
    int const y = get_y() + get_marker();
    dc.draw_rect({get_x(), y - 2, get_width(), 5}, gray(255));
    dc.draw_rect({get_x() + 1, y - 1, get_width() - 2, 3}, gray(0));
}

// --- Swatches ---

GuiColorSwatches::GuiColorSwatches(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiWidget(parent, x, y, w, h)
{
    for (auto& color : m_colors) color = gray(0);
}

void GuiColorSwatches::refresh(GMathVec3<unsigned char> const& current, GMathVec3<unsigned char> const& previous,
                               GMathVec3<unsigned char> const& result)
{
    m_colors[0] = current;
    m_colors[1] = previous;
    m_colors[2] = result;
    redraw();
}

GuiColorSwatches::Swatch GuiColorSwatches::swatch_at(int const& px, int const& py)
{
    if (py < SWATCH_Y || py >= SWATCH_Y + SWATCH_H) return SWATCH_NONE;
    if (px >= 0 && px < SWATCH_W) return SWATCH_PREVIOUS;
    if (px >= SWATCH_W + SWATCH_GAP && px < 2 * SWATCH_W + SWATCH_GAP) return SWATCH_RESULT;
    return SWATCH_NONE;
}

int GuiColorSwatches::process_event(CoreString const& name)
{
    if (name == EVT_ID_MOUSE_MOVE || name == EVT_ID_MOUSE_ENTER || name == EVT_ID_MOUSE_LEAVE) {
        int px = 0, py = 0;
        Gui::get_relative_mouse_coords(*this, px, py);
        bool const over = name != EVT_ID_MOUSE_LEAVE && swatch_at(px, py) != SWATCH_NONE;
        set_mouse_cursor(over ? Gui::MOUSE_CURSOR_HAND : Gui::MOUSE_CURSOR_DEFAULT);
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_MOUSE_DOWN && is_enabled()) {
        int px = 0, py = 0;
        Gui::get_relative_mouse_coords(*this, px, py);
        m_clicked = swatch_at(px, py);
        if (m_clicked == SWATCH_NONE) return GuiWidget::process_event(name);
        raise_event(EVT_ID_COLOR_SWATCH_CLICK);
        return 1;
    }
    return GuiWidget::process_event(name);
}

void GuiColorSwatches::draw(GuiDc& dc)
{
    int const x = get_x(), y = get_y();
    GMathVec3<unsigned char> const& frame = get_color(GuiColorScheme::ROLE_OUTLINE);
    GMathVec3<unsigned char> const& text = get_color(GuiColorScheme::ROLE_TEXT);
    int const big_w = 2 * SWATCH_W + SWATCH_GAP, big_h = SWATCH_Y - 20;
    dc.draw_text("A", {x, y + 12}, text);
    dc.draw_rectf({x, y + 16, big_w, big_h}, m_colors[0]);
    dc.draw_rect({x, y + 16, big_w, big_h}, frame);
    GMathVec4<int> const previous(x, y + SWATCH_Y, SWATCH_W, SWATCH_H);
    GMathVec4<int> const result(x + SWATCH_W + SWATCH_GAP, y + SWATCH_Y, SWATCH_W, SWATCH_H);
    dc.draw_rectf(previous, m_colors[1]);
    dc.draw_rect(previous, frame);
    dc.draw_rectf(result, m_colors[2]);
    dc.draw_rect(result, frame);
    dc.draw_text("B", {x, y + SWATCH_Y + SWATCH_H + 13}, text);
    dc.draw_text("C", {x + SWATCH_W + SWATCH_GAP, y + SWATCH_Y + SWATCH_H + 13}, text);
}

// --- Palette ---

GuiColorPaletteView::GuiColorPaletteView(GuiWidget& parent, int const& x, int const& y, GuiColorPalette& palette)
    : GuiWidget(parent, x, y, WIDTH, HEIGHT), m_palette(&palette)
{
}

int GuiColorPaletteView::slot_at(int const& px, int const& py)
{
    if (px < 0 || py < 0) return -1;
    int const column = px / PITCH, row = py / PITCH;
    if (column >= GuiColorPalette::COLUMNS || row >= GuiColorPalette::ROWS) return -1;
    if (px % PITCH >= CELL || py % PITCH >= CELL) return -1;
    return row * GuiColorPalette::COLUMNS + column;
}

int GuiColorPaletteView::process_event(CoreString const& name)
{
    if (name == EVT_ID_MOUSE_DOWN && is_enabled()) {
        int px = 0, py = 0;
        Gui::get_relative_mouse_coords(*this, px, py);
        int const slot = slot_at(px, py);
        if (slot < 0) return GuiWidget::process_event(name);
        m_palette->set_selected(slot);
        redraw();
        raise_event(EVT_ID_COLOR_PALETTE_SELECT);
        if (Gui::is_double_click()) raise_event(EVT_ID_COLOR_PALETTE_USE);
        return 1;
    }
    return GuiWidget::process_event(name);
}

void GuiColorPaletteView::draw(GuiDc& dc)
{
    GMathVec3<unsigned char> const& frame = get_color(GuiColorScheme::ROLE_OUTLINE);
    GMathVec3<unsigned char> const& accent = get_color(GuiColorScheme::ROLE_ACCENT);
    for (int slot = 0; slot < GuiColorPalette::SLOT_COUNT; ++slot) {
        int const cx = get_x() + (slot % GuiColorPalette::COLUMNS) * PITCH;
        int const cy = get_y() + (slot / GuiColorPalette::COLUMNS) * PITCH;
        dc.draw_rectf({cx, cy, CELL, CELL}, m_palette->get_color_bytes(slot));
        dc.draw_rect({cx, cy, CELL, CELL}, frame);
        if (slot == m_palette->get_selected()) dc.draw_rect({cx - 2, cy - 2, CELL + 4, CELL + 4}, accent);
    }
}
