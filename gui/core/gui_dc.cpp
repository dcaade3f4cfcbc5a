#include "gui/core/gui_dc.h"

#include <string_view>
#include <vector>

#include <FL/Enumerations.H>
#include <FL/fl_draw.H>
#include <FL/fl_utf8.h>

#include "gui/core/gui_image.h"

CORE_IMPLEMENT_CLASS(GuiDc, CoreBaseObject)
CORE_IMPLEMENT_CLASS(GuiWidgetDc, GuiDc)

namespace {

// Bytes of `text` handed to the toolkit: the whole text when it is at most MAX_LINE_BYTES
// long; otherwise it ends MAX_LINE_BYTES after the start of the first line that is at least
// that long, or, when that line is the last one and others precede it, at the newline
// before it. A cut never falls inside a UTF-8 character: it moves back to the character's
// first byte.
size_t limited_length(std::string_view const& text)
{
    size_t const limit = GuiWidgetDc::MAX_LINE_BYTES;
    if (text.size() <= limit) return text.size();
    size_t start = 0;
    for (;;) {
        size_t const end = text.find('\n', start);
        if (end == std::string_view::npos) {
            // The last line.
            if (text.size() - start < limit) return text.size();
            if (start > 0) return start - 1;
            break;
        }
        if (end - start >= limit) break;
        start = end + 1;
    }
    size_t cut = start + limit;
    // Continuation bytes are 10xxxxxx: a cut before one moves back to its character's start.
    for (int step = 0; step < 3 && cut > start && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80;
         ++step)
        --cut;
    return cut;
}

// Byte offset of the start of every UTF-8 character of `text`, then the text's length. A
// byte that does not start a well-formed sequence counts as a character of its own.
std::vector<unsigned int> character_offsets(CoreString const& text)
{
    std::vector<unsigned int> offsets;
    unsigned int const length = text.get_length();
    offsets.reserve(length + 1);
    char const* data = text.get_data();
    for (unsigned int i = 0; i < length;) {
        offsets.push_back(i);
        unsigned int step = static_cast<unsigned int>(fl_utf8len1(data[i]));
        if (step > length - i) step = length - i;
        for (unsigned int k = 1; k < step; ++k) {
            if ((static_cast<unsigned char>(data[i + k]) & 0xC0) != 0x80) {
                step = 1;
                break;
            }
        }
        i += step;
    }
    offsets.push_back(length);
    return offsets;
}

// Baseline of a line of the current toolkit font centred vertically in the box (y, h).
int centred_baseline(int const& y, int const& h)
{
    int const ascent = fl_height();
    int const height = ascent + fl_descent();
    return (2 * y - (height >> 1) + h + ascent) >> 1;
}

// Sets the toolkit's colour and a one-pixel solid line.
void set_solid_color(unsigned char const& r, unsigned char const& g, unsigned char const& b)
{
    fl_color(static_cast<Fl_Color>(GuiWidgetDc::get_toolkit_color(r, g, b)));
    fl_line_style(FL_SOLID, 0, nullptr);
}

// One pixel, or the line between two points.
void draw_segment(int const& x1, int const& y1, int const& x2, int const& y2)
{
    if (x1 == x2 && y1 == y2)
        fl_point(x1, y1);
    else
        fl_line(x1, y1, x2, y2);
}

}  // namespace

// GuiDc --------------------------------------------------------------------------------------

GMathVec3<unsigned char> const& GuiDc::get_color(GuiColorScheme::Group const& group,
                                                 GuiColorScheme::Role const& role) const
{
    return m_widget->get_color(group, role);
}

void GuiDc::get_color(GuiColorScheme::Group const& group, GuiColorScheme::Role const& role, unsigned char& r,
                      unsigned char& g, unsigned char& b) const
{
    m_widget->get_color(group, role, r, g, b);
}

GuiFont& GuiDc::get_font() const
{
    return m_widget->get_font();
}

void GuiDc::get_text_size(CoreString const& text, int& w, int& h, GuiFont::Weight const& weight) const
{
    get_text_size(text.get_data(), w, h, weight);
}

void GuiDc::get_text_size(char const* text, int& w, int& h, GuiFont::Weight const& weight) const
{
    GuiFont& font = get_font();
    GuiFont::Weight const current = font.get_weight();
    if (current == weight) {
        font.get_text_size(text, w, h);
        return;
    }
    font.set_weight(weight);
    font.get_text_size(text, w, h);
    font.set_weight(current);
}

void GuiDc::draw_rect(GMathVec4<int> const& rect, GMathVec3<unsigned char> const& color)
{
    draw_rect(rect[0], rect[1], rect[2], rect[3], color[0], color[1], color[2]);
}

void GuiDc::draw_rectf(GMathVec4<int> const& rect, GMathVec3<unsigned char> const& color)
{
    draw_rectf(rect[0], rect[1], rect[2], rect[3], color[0], color[1], color[2]);
}

void GuiDc::draw_text(CoreString const& text, GMathVec2<int> const& position,
                      GMathVec3<unsigned char> const& color)
{
    draw_text(text, position[0], position[1], color[0], color[1], color[2]);
}

// GuiWidgetDc --------------------------------------------------------------------------------

GuiWidgetDc::GuiWidgetDc(GuiWidget& widget) : GuiDc(widget) {}

char const* GuiWidgetDc::get_line_style_name(LineStyle const& style)
{
    switch (style) {
        case LINE_STYLE_SOLID:
            return "LINE_STYLE_SOLID";
        case LINE_STYLE_DASH:
            return "LINE_STYLE_DASH";
        case LINE_STYLE_DOT:
            return "LINE_STYLE_DOT";
        case LINE_STYLE_DASHDOT:
            return "LINE_STYLE_DASHDOT";
        case LINE_STYLE_DASHDOTDOT:
            return "LINE_STYLE_DASHDOTDOT";
    }
    return "LINE_STYLE_UNKNOWN";
}

unsigned int GuiWidgetDc::get_toolkit_color(unsigned char const& r, unsigned char const& g,
                                            unsigned char const& b)
{
    // Packed 0 would be read as palette entry 0, which is the foreground colour.
    if (r == 0 && g == 0 && b == 0) return FL_BLACK;
    return (static_cast<unsigned int>(r) << 24) | (static_cast<unsigned int>(g) << 16) |
           (static_cast<unsigned int>(b) << 8);
}

CoreString GuiWidgetDc::limit_line_length(CoreString const& text)
{
    size_t const length = limited_length(text.view());
    if (length == text.get_length()) return text;
    return CoreString(text.get_data(), static_cast<int>(length));
}

void GuiWidgetDc::draw_rect(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                            unsigned char const& g, unsigned char const& b)
{
    fl_color(static_cast<Fl_Color>(get_toolkit_color(r, g, b)));
    fl_rect(x, y, w, h);
}

void GuiWidgetDc::draw_rectf(int const& x, int const& y, int const& w, int const& h, unsigned char const& r,
                             unsigned char const& g, unsigned char const& b)
{
    fl_color(static_cast<Fl_Color>(get_toolkit_color(r, g, b)));
    fl_rectf(x, y, w, h);
}

void GuiWidgetDc::draw_pixel(int const& x, int const& y, unsigned char const& r, unsigned char const& g,
                             unsigned char const& b)
{
    fl_color(static_cast<Fl_Color>(get_toolkit_color(r, g, b)));
    fl_point(x, y);
}

void GuiWidgetDc::draw_line(int const& x1, int const& y1, int const& x2, int const& y2,
                            unsigned char const& r, unsigned char const& g, unsigned char const& b,
                            LineStyle const& style)
{
    fl_color(static_cast<Fl_Color>(get_toolkit_color(r, g, b)));
    fl_line_style(style, 0, nullptr);
    draw_segment(x1, y1, x2, y2);
}

void GuiWidgetDc::draw_triangle(int x1, int y1, int x2, int y2, int x3, int y3, unsigned char const& r,
                                unsigned char const& g, unsigned char const& b)
{
    fl_color(static_cast<Fl_Color>(get_toolkit_color(r, g, b)));
    fl_loop(x1, y1, x2, y2, x3, y3);
}

void GuiWidgetDc::draw_trianglef(int x1, int y1, int x2, int y2, int x3, int y3, unsigned char const& r,
                                 unsigned char const& g, unsigned char const& b)
{
    fl_color(static_cast<Fl_Color>(get_toolkit_color(r, g, b)));
    fl_polygon(x1, y1, x2, y2, x3, y3);
}

// Text -----------------------------------------------------------------------------------------

void GuiWidgetDc::draw_text(CoreString const& text, int const& x, int const& y)
{
    size_t const length = limited_length(text.view());
    if (length > 0) fl_draw(text.get_data(), static_cast<int>(length), x, y);
}

void GuiWidgetDc::draw_text(CoreString const& text, int const& x, int const& y, unsigned char const& r,
                            unsigned char const& g, unsigned char const& b)
{
    fl_color(static_cast<Fl_Color>(get_toolkit_color(r, g, b)));
    get_font().make_current();
    draw_text(text, x, y);
}

void GuiWidgetDc::draw_text(CoreString const& text, int const& x, int const& y, int const& w, int const& h,
                            unsigned char const& r, unsigned char const& g, unsigned char const& b,
                            GuiWidget::Justify const& justify)
{
    fl_push_clip(x, y, w, h);
    fl_color(static_cast<Fl_Color>(get_toolkit_color(r, g, b)));
    get_font().make_current();
    size_t const length = limited_length(text.view());
    int const text_w = static_cast<int>(fl_width(text.get_data(), static_cast<int>(length)));
    int const baseline = centred_baseline(y, h);
    int left = 0;
    bool known = true;
    switch (justify) {
        case GuiWidget::JUSTIFY_LEFT:
            left = x;
            break;
        case GuiWidget::JUSTIFY_RIGHT:
            left = x + w - text_w;
            break;
        case GuiWidget::JUSTIFY_CENTER:
            left = (2 * x - text_w + w) / 2;
            break;
        default:
            known = false;
            break;
    }
    if (known && length > 0) fl_draw(text.get_data(), static_cast<int>(length), left, baseline);
    fl_pop_clip();
}

bool GuiWidgetDc::draw_text_clampable(CoreString const& text, int const& x, int const& y, int const& w,
                                      int const& h, unsigned char const& r, unsigned char const& g,
                                      unsigned char const& b, bool const& clamp, bool const& keep_end,
                                      bool const& right)
{
    GuiFont::Weight const weight = get_font().get_weight();
    if (!clamp) {
        int text_w = 0, text_h = 0;
        get_text_size(text, text_w, text_h, weight);
        draw_text(text, x, y, w, h, r, g, b,
                  text_w > w || right ? GuiWidget::JUSTIFY_RIGHT : GuiWidget::JUSTIFY_LEFT);
        return false;
    }

    // The first prefix (suffix with keep_end) of whole characters wider than the box.
    std::vector<unsigned int> const offsets = character_offsets(text);
    size_t const count = offsets.size() - 1;
    size_t too_wide = 0;
    for (size_t n = 1; n <= count && !too_wide; ++n) {
        CoreString const piece =
            keep_end ? text.sub_string(offsets[count - n]) : text.sub_string(0, offsets[n]);
        int piece_w = 0, piece_h = 0;
        get_text_size(piece, piece_w, piece_h, GuiFont::WEIGHT_NORMAL);
        if (piece_w > w) too_wide = n;
    }
    if (!too_wide) {
        draw_text(text, x, y, w, h, r, g, b, right ? GuiWidget::JUSTIFY_RIGHT : GuiWidget::JUSTIFY_LEFT);
        return false;
    }

    CoreString shown;
    size_t const kept = too_wide > 3 ? too_wide - 3 : 0;
    if (keep_end)
        shown = CoreString("...") + (kept ? text.sub_string(offsets[count - kept]) : CoreString());
    else
        shown = text.sub_string(0, offsets[kept]) + "...";
    int shown_w = 0, shown_h = 0;
    get_text_size(shown, shown_w, shown_h, weight);
    draw_text(shown, x, y, w, h, r, g, b,
              shown_w > w || right ? GuiWidget::JUSTIFY_RIGHT : GuiWidget::JUSTIFY_LEFT);
    return true;
}

void GuiWidgetDc::draw_wrapped_text(CoreString const& text, int const& x, int const& y, int const& w,
                                    int const& h, unsigned char const& r, unsigned char const& g,
                                    unsigned char const& b)
{
    fl_push_clip(x, y, w, h);
    fl_color(static_cast<Fl_Color>(get_toolkit_color(r, g, b)));
    get_font().make_current();
    // 149: inside, top, left, wrapped. Text is drawn as it is, '@' included.
    Fl_Align const align = FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_LEFT | FL_ALIGN_WRAP;
    fl_draw(limit_line_length(text).get_data(), x, y, w, h, align, nullptr, 0);
    fl_pop_clip();
}

void GuiWidgetDc::draw_icon_text(GuiImage const& image, CoreString const& text, int const& x, int const& y,
                                 int const& w, int const& h, unsigned char const& r, unsigned char const& g,
                                 unsigned char const& b, GuiWidget::Justify const& justify,
                                 GuiWidget::IconPosition const& icon_position, bool const& flag_a,
                                 bool const& flag_b)
{
    fl_push_clip(x, y, w, h);
    Fl_Color const color = static_cast<Fl_Color>(get_toolkit_color(r, g, b));
    fl_color(color);
    get_font().make_current();
    size_t const length = limited_length(text.view());
    int const text_w = static_cast<int>(fl_width(text.get_data(), static_cast<int>(length)));
    int const image_w = static_cast<int>(image.get_width());
    int const image_h = static_cast<int>(image.get_height());
    int const image_y = y + h / 2 - image_h / 2;
    int const baseline = centred_baseline(y, h);
    bool const icon_left = icon_position == GuiWidget::ICON_POSITION_LEFT;
    bool known = icon_left || icon_position == GuiWidget::ICON_POSITION_RIGHT;
    int image_x = 0, text_x = 0;
    switch (justify) {
        case GuiWidget::JUSTIFY_LEFT:
            image_x = icon_left ? x : x + text_w;
            text_x = icon_left ? x + image_w : x;
            break;
        case GuiWidget::JUSTIFY_RIGHT:
            image_x = icon_left ? x + w - image_w - text_w : x + w - image_w;
            text_x = icon_left ? x + w - text_w : x + w - image_w - text_w;
            break;
        case GuiWidget::JUSTIFY_CENTER: {
            int const start = (2 * x - image_w - text_w + w) / 2;
            image_x = icon_left ? start : start + text_w;
            text_x = icon_left ? start + image_w : start;
            break;
        }
        default:
            known = false;
            break;
    }
    if (known) {
        if (flag_a && flag_b)
            image.draw_highlight(image_x, image_y);
        else
            image.draw(image_x, image_y);
        if (length > 0) {
            // Drawing a picture may leave another colour in place.
            fl_color(color);
            fl_draw(text.get_data(), static_cast<int>(length), text_x, baseline);
        }
    }
    fl_pop_clip();
}

// Frames ---------------------------------------------------------------------------------------

void GuiWidgetDc::draw_round_frame(int const& x, int const& y, int const& w, int const& h,
                                   unsigned char const& r, unsigned char const& g, unsigned char const& b)
{
    draw_round_frame(GuiWidget::ROUNDNESS_ALL, x, y, w, h, r, g, b);
}

void GuiWidgetDc::draw_round_frame(GuiWidget::Roundness const& roundness, int const& x, int const& y,
                                   int const& w, int const& h, unsigned char const& r, unsigned char const& g,
                                   unsigned char const& b)
{
    if (w < 1 || h < 1) return;
    set_solid_color(r, g, b);
    int const right = x + w - 1, bottom = y + h - 1;
    // The edges stop two pixels short of each corner.
    draw_segment(x + 2, y, right - 2, y);
    draw_segment(x + 2, bottom, right - 2, bottom);
    draw_segment(x, y + 2, x, bottom - 2);
    draw_segment(right, y + 2, right, bottom - 2);
    // Each corner: one diagonal pixel when rounded, else the three pixels of the square corner.
    struct Corner {
        GuiWidget::Roundness bit;
        int x, y;    // the corner pixel
        int dx, dy;  // towards the inside
    } const corners[] = {{GuiWidget::ROUNDNESS_TOP_LEFT, x, y, 1, 1},
                         {GuiWidget::ROUNDNESS_TOP_RIGHT, right, y, -1, 1},
                         {GuiWidget::ROUNDNESS_BOTTOM_LEFT, x, bottom, 1, -1},
                         {GuiWidget::ROUNDNESS_BOTTOM_RIGHT, right, bottom, -1, -1}};
    for (Corner const& corner : corners) {
        if (roundness & corner.bit) {
            fl_point(corner.x + corner.dx, corner.y + corner.dy);
        } else {
            fl_point(corner.x, corner.y);
            fl_point(corner.x + corner.dx, corner.y);
            fl_point(corner.x, corner.y + corner.dy);
        }
    }
}

void GuiWidgetDc::draw_round_framef(GuiWidget::Roundness const&, int const& x, int const& y, int const& w,
                                    int const& h, unsigned char const& r, unsigned char const& g,
                                    unsigned char const& b, unsigned char const& fill_r,
                                    unsigned char const& fill_g, unsigned char const& fill_b)
{
    // The frame keeps all four corners cut whatever the roundness; only the fill is common.
    draw_rectf(x + 1, y + 1, w - 2, h - 2, fill_r, fill_g, fill_b);
    draw_round_frame(GuiWidget::ROUNDNESS_ALL, x, y, w, h, r, g, b);
}

void GuiWidgetDc::draw_round_framef(int const& x, int const& y, int const& w, int const& h,
                                    unsigned char const& r, unsigned char const& g, unsigned char const& b,
                                    unsigned char const& fill_r, unsigned char const& fill_g,
                                    unsigned char const& fill_b)
{
    draw_round_framef(GuiWidget::ROUNDNESS_ALL, x, y, w, h, r, g, b, fill_r, fill_g, fill_b);
}

void GuiWidgetDc::draw_round_framef(int const& x, int const& y, int const& w, int const& h,
                                    unsigned char const& r, unsigned char const& g, unsigned char const& b)
{
    draw_round_framef(GuiWidget::ROUNDNESS_ALL, x, y, w, h, r, g, b, r, g, b);
}
