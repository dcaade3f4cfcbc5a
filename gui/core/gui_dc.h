#pragma once
// GuiDc: the drawing context through which widgets draw. GuiWidgetDc draws in the widget's
// toolkit window with the toolkit's 2D graphics. Positions are window coordinates, like
// widget positions. Drawing happens only inside GuiWidget::draw.
#include "gui/core/gui_export.h"
#include "gui/core/gui_font.h"
#include "host/core/core_base_object.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class GuiWidget;

class QN_GUI_API GuiDc : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiDc, CoreBaseObject)

public:
    explicit GuiDc(GuiWidget& widget) : m_widget(&widget) {}
    ~GuiDc() override = default;

    GuiWidget& get_widget() const { return *m_widget; }

    virtual void set_color(unsigned char const& r, unsigned char const& g, unsigned char const& b) = 0;
    void set_color(GMathVec3<unsigned char> const& color) { set_color(color[0], color[1], color[2]); }
    virtual void draw_filled_rectangle(int const& x, int const& y, int const& w, int const& h) = 0;
    // The outline of the w × h box, one pixel wide, inside the box.
    virtual void draw_rectangle(int const& x, int const& y, int const& w, int const& h) = 0;
    virtual void draw_line(int const& x0, int const& y0, int const& x1, int const& y1) = 0;
    // Text in the current colour with its baseline at y.
    virtual void draw_text(CoreString const& text, int const& x, int const& y) = 0;
    // Text centred in a box.
    virtual void draw_text_centered(CoreString const& text, int const& x, int const& y, int const& w,
                                    int const& h) = 0;
    // Text is drawn in the widget's font until another is set; set_font_size changes its size.
    virtual void set_font(GuiFont const& font) = 0;
    virtual void set_font_size(int const& size) = 0;
    virtual void get_text_size(CoreString const& text, int& w, int& h) = 0;

private:
    GuiWidget* m_widget;
};

class QN_GUI_API GuiWidgetDc : public GuiDc {
    CORE_DECLARE_CLASS(GuiWidgetDc, GuiDc)

public:
    explicit GuiWidgetDc(GuiWidget& widget);

    using GuiDc::set_color;
    void set_color(unsigned char const& r, unsigned char const& g, unsigned char const& b) override;
    void draw_filled_rectangle(int const& x, int const& y, int const& w, int const& h) override;
    void draw_rectangle(int const& x, int const& y, int const& w, int const& h) override;
    void draw_line(int const& x0, int const& y0, int const& x1, int const& y1) override;
    void draw_text(CoreString const& text, int const& x, int const& y) override;
    void draw_text_centered(CoreString const& text, int const& x, int const& y, int const& w,
                            int const& h) override;
    void set_font(GuiFont const& font) override;
    void set_font_size(int const& size) override;
    void get_text_size(CoreString const& text, int& w, int& h) override;

private:
    // The font text is drawn in: the widget's own, unless set_font or set_font_size chose
    // another for this context.
    GuiFont const& get_current_font();

    GuiFont m_font;
    bool m_font_overridden = false;
};
