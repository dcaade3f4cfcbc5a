#include "gui/core/gui_dc.h"

#include "gui/core/gui_widget.h"

#include <FL/Enumerations.H>
#include <FL/fl_draw.H>

CORE_IMPLEMENT_CLASS(GuiDc, CoreBaseObject)
CORE_IMPLEMENT_CLASS(GuiWidgetDc, GuiDc)

GuiWidgetDc::GuiWidgetDc(GuiWidget& widget) : GuiDc(widget) {}

GuiFont const& GuiWidgetDc::get_current_font()
{
    return m_font_overridden ? m_font : get_widget().get_font();
}

void GuiWidgetDc::set_color(unsigned char const& r, unsigned char const& g, unsigned char const& b)
{
    // The toolkit reads RGB 0 as "palette entry 0"; pure black goes through its palette.
    if (r == 0 && g == 0 && b == 0)
        fl_color(FL_BLACK);
    else
        fl_color(r, g, b);
}

void GuiWidgetDc::draw_filled_rectangle(int const& x, int const& y, int const& w, int const& h)
{
    if (w > 0 && h > 0) fl_rectf(x, y, w, h);
}

void GuiWidgetDc::draw_rectangle(int const& x, int const& y, int const& w, int const& h)
{
    if (w > 0 && h > 0) fl_rect(x, y, w, h);
}

void GuiWidgetDc::draw_line(int const& x0, int const& y0, int const& x1, int const& y1)
{
    fl_line(x0, y0, x1, y1);
}

void GuiWidgetDc::draw_text(CoreString const& text, int const& x, int const& y)
{
    get_current_font().make_current();
    fl_draw(text.get_data(), x, y);
}

void GuiWidgetDc::draw_text_centered(CoreString const& text, int const& x, int const& y, int const& w,
                                     int const& h)
{
    get_current_font().make_current();
    fl_draw(text.get_data(), x, y, w, h, FL_ALIGN_CENTER, nullptr, 0);
}

void GuiWidgetDc::set_font(GuiFont const& font)
{
    m_font = font;
    m_font_overridden = true;
}

void GuiWidgetDc::set_font_size(int const& size)
{
    if (!m_font_overridden) m_font = get_widget().get_font();
    m_font.set_size(size > 0 ? size : GuiFont::get_default().get_size());
    m_font_overridden = true;
}

void GuiWidgetDc::get_text_size(CoreString const& text, int& w, int& h)
{
    get_current_font().get_text_size(text, w, h);
}
