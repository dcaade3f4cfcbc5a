#include "demo/showcase_widgets.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "gui/core/gui.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_resource.h"

namespace {
bool s_trace = false;

// The showcase's widgets live in toolkit windows: their context is the software one.
GuiWidgetDc& widget_dc(GuiDc& dc)
{
    return static_cast<GuiWidgetDc&>(dc);
}

}  // namespace

void DemoTrace::set_enabled(bool enabled)
{
    s_trace = enabled;
}

bool DemoTrace::is_enabled()
{
    return s_trace;
}

void DemoTrace::line(CoreString const& text)
{
    if (!s_trace) return;
    std::printf("%s\n", text.get_data());
    std::fflush(stdout);
}


// DemoWidget -------------------------------------------------------------------------------

DemoWidget::DemoWidget(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h)
    : GuiWidget(parent, x, y, w, h), m_name(name)
{
}

void DemoWidget::anchor(Constraint left, Constraint top, Constraint right, Constraint bottom)
{
    set_constraints(left, top, right, bottom);
}

void DemoWidget::resize(int const& x, int const& y, int const& w, int const& h)
{
    bool const changed = x != get_x() || y != get_y() || w != get_width() || h != get_height();
    GuiWidget::resize(x, y, w, h);
    if (changed && DemoTrace::is_enabled())
        DemoTrace::line(CoreString("layout ") + m_name + " " + x + " " + y + " " + w + " " + h);
}

// DemoPanel ------------------------------------------------------------------------------------

DemoPanel::DemoPanel(GuiWidget& parent, CoreString const& name, CoreString const& title, int x, int y, int w,
                     int h)
    : DemoWidget(parent, name, x, y, w, h), m_title(title)
{
    get_font().set_size(12);
}

void DemoPanel::draw(GuiDc& dc)
{
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    dc.draw_rectf({x, y, w, h}, get_color(GuiColorScheme::ROLE_BACKGROUND));
    dc.draw_rectf({x, y, w, TITLE_HEIGHT}, get_color(GuiColorScheme::ROLE_HEADER));
    dc.draw_rect({x, y, w, h}, get_color(GuiColorScheme::ROLE_OUTLINE));
    dc.draw_text(m_title, {x + 8, y + 15}, get_color(GuiColorScheme::ROLE_TEXT));
}

// DemoSchemeSwatches ----------------------------------------------------------------------------

DemoSchemeSwatches::DemoSchemeSwatches(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h)
    : DemoWidget(parent, name, x, y, w, h)
{
    get_font().set_size(11);
}

void DemoSchemeSwatches::draw(GuiDc& dc)
{
    int const x = get_x(), y = get_y(), w = get_width();
    dc.draw_rectf({x, y, w, get_height()}, get_color(GuiColorScheme::ROLE_BACKGROUND));
    int const rows = (GuiColorScheme::ROLE_COUNT + 1) / 2;
    int const column_w = w / 2;
    int const swatch_w = 34;
    for (int r = 0; r < GuiColorScheme::ROLE_COUNT; ++r) {
        GuiColorScheme::Role const role = static_cast<GuiColorScheme::Role>(r);
        int const cx = x + (r / rows) * column_w + 6;
        int const cy = y + (r % rows) * ROW_HEIGHT + 4;
        for (int g = 0; g < GuiColorScheme::GROUP_COUNT; ++g) {
            int const sx = cx + g * (swatch_w + 3);
            dc.draw_rectf({sx, cy, swatch_w, ROW_HEIGHT - 4}, get_color(static_cast<GuiColorScheme::Group>(g), role));
            dc.draw_rect({sx, cy, swatch_w, ROW_HEIGHT - 4}, get_color(GuiColorScheme::ROLE_OUTLINE));
        }
        CoreString const label = CoreString("") + r + "  " + (GuiColorScheme::get_role_name(role) + 5);
        dc.draw_text(label, {cx + 3 * (swatch_w + 3) + 6, cy + ROW_HEIGHT - 7}, get_color(GuiColorScheme::ROLE_TEXT));
    }
}

// DemoPictures -----------------------------------------------------------------------------------

DemoPictures::DemoPictures(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h)
    : DemoWidget(parent, name, x, y, w, h)
{
    get_font().set_size(11);
}

void DemoPictures::draw(GuiDc& dc)
{
    int const x = get_x(), y = get_y(), w = get_width();
    dc.draw_rectf({x, y, w, get_height()}, get_color(GuiColorScheme::ROLE_BACKGROUND));
    CoreVector<CoreString> const& names = GuiResource::get_picture_names();
    unsigned int const rows = (names.get_count() + 1) / 2;
    int const column_w = w / 2;
    for (unsigned int i = 0; i < names.get_count(); ++i) {
        GuiImage const* picture = GuiResource::get_picture(names[i]);
        if (!picture) continue;
        int const cx = x + static_cast<int>(i / rows) * column_w + 6;
        int const cy = y + static_cast<int>(i % rows) * ROW_HEIGHT + 4;
        picture->draw(cx, cy);
        picture->draw_disabled(cx + 20, cy);
        picture->draw_hidden(cx + 40, cy);
        picture->draw_highlight(cx + 60, cy);
        dc.draw_text(names[i], {cx + 84, cy + 12}, get_color(GuiColorScheme::ROLE_TEXT));
    }
}

// DemoFonts ------------------------------------------------------------------------------------------

DemoFonts::DemoFonts(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h)
    : DemoWidget(parent, name, x, y, w, h)
{
}

DemoFonts::~DemoFonts()
{
    delete m_atlas_strip;
}

namespace {

// The cells of one row of an atlas, each scaled down by `step` and cropped to its upper half
// where the capitals sit.
GuiImage* make_atlas_strip(GuiFont::FontDesc const& desc, int glyph_row, int step)
{
    int const cell = 164;
    int const cells = 16;
    int const w = cells * cell / step, h = cell / step;
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    // The row's fields may still be in the making on a first start.
    std::string codes;
    for (int i = 0; i < cells; ++i) codes.push_back(static_cast<char>(glyph_row * cells + i - 128));
    desc.make_glyphs(codes);
    std::vector<unsigned char> const& atlas = *desc.pixels;
    int const top = cell * (glyph_row + 2);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int const ax = cell + x * step, ay = top + y * step;
            size_t const from = static_cast<size_t>(ay) * desc.atlas_size + ax;
            size_t const to = (static_cast<size_t>(y) * w + x) * 3;
            for (int c = 0; c < 3; ++c) rgb[to + c] = atlas[from];
        }
    }
    return new GuiImage(rgb.data(), w, h, 3);
}

}  // namespace

void DemoFonts::draw(GuiDc& dc)
{
    int const x = get_x(), y = get_y();
    dc.draw_rectf({x, y, get_width(), get_height()}, get_color(GuiColorScheme::ROLE_BACKGROUND));
    // Text is drawn in the widget's own font: the widget takes each sample's font in turn and
    // ends with the caption font.
    GuiFont const& base = GuiFont::get_default();
    GuiFont caption = base;
    caption.set_size(11);
    GuiFont& font = get_font();
    font = caption;
    dc.draw_text(CoreString("Default font: ") + base.get_family() + " " + base.get_size() + "    " +
                     GuiFont::get_face_count() + " faces in " + GuiFont::get_family_names().get_count() +
                     " families on this machine",
                 {x + 8, y + 16}, get_color(GuiColorScheme::ROLE_TEXT_DIM));
    struct Face {
        GuiFont::Weight weight;
        GuiFont::Style style;
        char const* label;
    } const faces[] = {{GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL, "Regular"},
                       {GuiFont::WEIGHT_BOLD, GuiFont::STYLE_NORMAL, "Bold"},
                       {GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_ITALIC, "Italic"},
                       {GuiFont::WEIGHT_BOLD, GuiFont::STYLE_ITALIC, "Bold Italic"}};
    int const sizes[] = {9, 12, 16, 22};
    int line_y = y + 46;
    for (Face const& face : faces) {
        int text_x = x + 8;
        for (int size : sizes) {
            font = GuiFont(base.get_family(), size, face.weight, face.style);
            CoreString const sample = CoreString(face.label) + " " + size + "  Aa Gg 0123";
            int w = 0, h = 0;
            dc.get_text_size(sample, w, h, face.weight);
            dc.draw_text(sample, {text_x, line_y}, get_color(GuiColorScheme::ROLE_TEXT));
            text_x += w + 24;
        }
        line_y += 34;
    }
    font = caption;

    // The distance fields OpenGL views draw their text from.
    if (!m_atlas_strip) {
        GuiFont::FontDesc const* desc = GuiFont::get_rasterized_font_data(GuiFont(base.get_family(), 72));
        if (desc && desc->pixels) m_atlas_strip = make_atlas_strip(*desc, ('A' + 128) / 16, 4);
    }
    if (m_atlas_strip) {
        dc.draw_text("Glyph atlas (signed distance fields, one row, scaled down 4x):", {x + 8, line_y - 8},
                     get_color(GuiColorScheme::ROLE_TEXT_DIM));
        m_atlas_strip->draw(x + 8, line_y - 2);
    }
}

// DemoCanvas ------------------------------------------------------------------------------------

DemoCanvas::DemoCanvas(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h, Paint paint)
    : DemoWidget(parent, name, x, y, w, h), m_paint(std::move(paint))
{
    get_font().set_size(11);
}

void DemoCanvas::draw(GuiDc& dc)
{
    dc.draw_rectf({get_x(), get_y(), get_width(), get_height()}, get_color(GuiColorScheme::ROLE_BACKGROUND));
    if (m_paint) m_paint(*this, widget_dc(dc));
}

// DemoProgress ---------------------------------------------------------------------------------

DemoProgress::DemoProgress(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h)
    : DemoWidget(parent, name, x, y, w, h)
{
}

void DemoProgress::set_fraction(double fraction)
{
    m_fraction = std::clamp(fraction, 0.0, 1.0);
    redraw();
}

void DemoProgress::draw(GuiDc& dc)
{
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    dc.draw_rectf({x, y, w, h}, get_color(GuiColorScheme::ROLE_SLIDER_TRACK));
    dc.draw_rectf({x + 1, y + 1, static_cast<int>((w - 2) * m_fraction), h - 2}, get_color(GuiColorScheme::ROLE_ACCENT));
    dc.draw_rect({x, y, w, h}, get_color(GuiColorScheme::ROLE_OUTLINE));
}

// DemoText -------------------------------------------------------------------------------------

DemoText::DemoText(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h)
    : DemoWidget(parent, name, x, y, w, h)
{
    get_font().set_size(11);
}

void DemoText::set_text(CoreString const& text)
{
    m_text = text;
    redraw();
}

void DemoText::draw(GuiDc& dc)
{
    dc.draw_rectf({get_x(), get_y(), get_width(), get_height()}, get_color(GuiColorScheme::ROLE_BACKGROUND));
    GMathVec3<unsigned char> const& color = get_color(GuiColorScheme::ROLE_TEXT);
    int const line_height = 14;
    int y = get_y() + line_height - 2;
    unsigned int start = 0;
    std::string const text = m_text.get_data();
    while (start <= text.size() && y < get_y() + get_height() + line_height) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        dc.draw_text(CoreString(text.substr(start, end - start).c_str()), {get_x() + 4, y}, color);
        y += line_height;
        start = static_cast<unsigned int>(end + 1);
    }
}

// DemoTile ---------------------------------------------------------------------------------------

DemoTile::DemoTile(GuiWidget& parent, CoreString const& name, CoreString const& label, int x, int y, int w,
                   int h)
    : DemoWidget(parent, name, x, y, w, h), m_label(label)
{
    get_font().set_size(12);
    set_focus_receiver(true);
    set_tooltip(CoreString("Click or press Tab to focus ") + label);
}

int DemoTile::process_event(CoreString const& name)
{
    if (name == EVT_ID_MOUSE_ENTER || name == EVT_ID_MOUSE_LEAVE) {
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_MOVE) return 1;
    if (name == EVT_ID_MOUSE_DOWN) {
        set_focus();
        return 1;
    }
    if (name == EVT_ID_WIDGET_FOCUS_IN) {
        DemoTrace::line(CoreString("focus ") + get_name());
        redraw();
        return 1;
    }
    if (name == EVT_ID_WIDGET_FOCUS_OUT) {
        redraw();
        return 1;
    }
    return GuiWidget::process_event(name);
}

void DemoTile::draw(GuiDc& dc)
{
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    bool const focused = has_focus();
    bool const enabled = is_enabled();
    dc.draw_rectf({x, y, w, h}, !enabled      ? get_color(GuiColorScheme::ROLE_BACKGROUND)
                                : focused      ? get_color(GuiColorScheme::ROLE_BUTTON_HOVER)
                                : is_entered() ? get_color(GuiColorScheme::ROLE_HEADER)
                                               : get_color(GuiColorScheme::ROLE_BUTTON));
    GMathVec3<unsigned char> const& frame =
        focused ? get_color(GuiColorScheme::ROLE_ACCENT) : get_color(GuiColorScheme::ROLE_OUTLINE);
    dc.draw_rect({x, y, w, h}, frame);
    if (focused) dc.draw_rect({x + 1, y + 1, w - 2, h - 2}, frame);
    GMathVec3<unsigned char> const& text =
        enabled ? get_color(GuiColorScheme::ROLE_TEXT) : get_color(GuiColorScheme::ROLE_TEXT_DIM);
    widget_dc(dc).draw_text(m_label, x, y, w, h, text[0], text[1], text[2], JUSTIFY_CENTER);
}

void DemoTile::set_label(CoreString const& label)
{
    m_label = label;
    redraw();
}

// DemoButton -----------------------------------------------------------------------------------------

DemoButton::DemoButton(GuiWidget& parent, CoreString const& name, CoreString const& label, int x, int y, int w,
                       int h, std::function<void()> action)
    : DemoTile(parent, name, label, x, y, w, h), m_action(std::move(action))
{
    set_tooltip(label);
}

int DemoButton::process_event(CoreString const& name)
{
    if (name == EVT_ID_MOUSE_DOWN) {
        m_pressed = true;
        set_focus();
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP) {
        bool const inside = Gui::get_relative_mouse_x(*this) >= 0 && Gui::get_relative_mouse_y(*this) >= 0 &&
                            Gui::get_relative_mouse_x(*this) < get_width() &&
                            Gui::get_relative_mouse_y(*this) < get_height();
        bool const was_pressed = m_pressed;
        m_pressed = false;
        redraw();
        if (was_pressed && inside && m_action) m_action();
        return 1;
    }
    if (name == EVT_ID_KEY_DOWN && has_focus() &&
        (Gui::get_last_key_pressed() == Gui::KEY_ID_ENTER || Gui::get_last_key_pressed() == ' ')) {
        if (m_action) m_action();
        return 1;
    }
    return DemoTile::process_event(name);
}

void DemoButton::draw(GuiDc& dc)
{
    DemoTile::draw(dc);
    if (m_pressed) {
        dc.draw_rectf({get_x() + 2, get_y() + get_height() - 4, get_width() - 4, 2},
                      get_color(GuiColorScheme::ROLE_ACCENT));
    }
}

// DemoPageList ---------------------------------------------------------------------------------------

DemoPageList::DemoPageList(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h, Choose choose)
    : DemoWidget(parent, name, x, y, w, h), m_choose(std::move(choose))
{
    set_focus_receiver(true);
}

void DemoPageList::set_current(int page)
{
    if (page < 0 || page >= static_cast<int>(m_labels.get_count()) || page == m_current) return;
    m_current = page;
    redraw();
}

int DemoPageList::get_row_at_pointer() const
{
    int const x = Gui::get_relative_mouse_x(*this), y = Gui::get_relative_mouse_y(*this) - 6;
    if (x < 0 || x >= get_width() || y < 0) return -1;
    int const row = y / ROW_HEIGHT;
    return row < static_cast<int>(m_labels.get_count()) ? row : -1;
}

int DemoPageList::process_event(CoreString const& name)
{
    if (name == EVT_ID_MOUSE_MOVE || name == EVT_ID_MOUSE_LEAVE) {
        int const hover = name == EVT_ID_MOUSE_LEAVE ? -1 : get_row_at_pointer();
        if (hover != m_hover) {
            m_hover = hover;
            redraw();
        }
        return 1;
    }
    int chosen = -1;
    if (name == EVT_ID_MOUSE_DOWN) {
        set_focus();
        chosen = get_row_at_pointer();
    } else if (name == EVT_ID_KEY_DOWN && has_focus()) {
        int const key = Gui::get_last_key_pressed();
        if (key == Gui::KEY_ID_UP) chosen = std::max(0, m_current - 1);
        if (key == Gui::KEY_ID_DOWN) chosen = std::min(static_cast<int>(m_labels.get_count()) - 1, m_current + 1);
    }
    if (chosen >= 0) {
        if (chosen != m_current && m_choose) m_choose(chosen);
        return 1;
    }
    return DemoWidget::process_event(name);
}

void DemoPageList::draw(GuiDc& dc)
{
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    dc.draw_rectf({x, y, w, h}, get_color(GuiColorScheme::ROLE_HEADER));
    dc.draw_rectf({x + w - 1, y, 1, h}, get_color(GuiColorScheme::ROLE_OUTLINE));
    GuiWidgetDc& wdc = widget_dc(dc);
    for (unsigned int i = 0; i < m_labels.get_count(); ++i) {
        int const row_y = y + 6 + static_cast<int>(i) * ROW_HEIGHT;
        bool const current = static_cast<int>(i) == m_current;
        if (current || static_cast<int>(i) == m_hover)
            dc.draw_rectf({x, row_y, w - 1, ROW_HEIGHT},
                          get_color(current ? GuiColorScheme::ROLE_SELECTION : GuiColorScheme::ROLE_HOVER));
        if (current) dc.draw_rectf({x, row_y, 3, ROW_HEIGHT}, get_color(GuiColorScheme::ROLE_ACCENT));
        GMathVec3<unsigned char> const& text =
            get_color(current ? GuiColorScheme::ROLE_TEXT_SELECTED : GuiColorScheme::ROLE_TEXT);
        wdc.draw_text(m_labels[i], x + 14, row_y, w - 20, ROW_HEIGHT, text[0], text[1], text[2], JUSTIFY_LEFT);
    }
    if (has_focus()) dc.draw_rect({x, y, w - 1, h}, get_color(GuiColorScheme::ROLE_FOCUS));
}

// DemoCard --------------------------------------------------------------------------------------------

DemoCard::DemoCard(GuiWidget& parent, CoreString const& name, OfHandle const& item, CoreString const& label, int x,
                   int y, int w, int h)
    : DemoWidget(parent, name, x, y, w, h), m_item(item), m_label(label)
{
    get_font().set_size(11);
    set_mouse_cursor(Gui::MOUSE_CURSOR_HAND);
    set_tooltip("Drag me onto the drop target");
}

int DemoCard::process_event(CoreString const& name)
{
    if (name == EVT_ID_MOUSE_ENTER || name == EVT_ID_MOUSE_LEAVE) {
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_MOVE || name == EVT_ID_MOUSE_DOWN || name == EVT_ID_MOUSE_DRAG_REAL_TIME) return 1;
    if (name == EVT_ID_MOUSE_DRAG) {
        if (!m_dragging) {
            m_dragging = true;
            redraw();
            DemoTrace::line(CoreString("drag ") + get_name());
            bool const dropped = initiate_dnd_event(m_item);
            DemoTrace::line(CoreString(dropped ? "dropped " : "not dropped ") + get_name());
            m_dragging = false;
            redraw();
        }
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP) return 1;
    return GuiWidget::process_event(name);
}

void DemoCard::draw(GuiDc& dc)
{
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    dc.draw_rectf({x, y, w, h}, m_dragging     ? get_color(GuiColorScheme::ROLE_ACCENT)
                                : is_entered() ? get_color(GuiColorScheme::ROLE_BUTTON_HOVER)
                                               : get_color(GuiColorScheme::ROLE_BUTTON));
    dc.draw_rect({x, y, w, h}, get_color(GuiColorScheme::ROLE_OUTLINE));
    dc.draw_text(m_label, {x + 8, y + h / 2 + 4}, get_color(GuiColorScheme::ROLE_TEXT));
}

// DemoDropTarget ------------------------------------------------------------------------------------------

DemoDropTarget::DemoDropTarget(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h)
    : DemoWidget(parent, name, x, y, w, h)
{
    get_font().set_size(11);
}

int DemoDropTarget::process_event(CoreString const& name)
{
    if (name == EVT_ID_DND_ENTER) {
        m_hover = true;
        redraw();
        return 1;
    }
    if (name == EVT_ID_DND_DRAG) return 1;
    if (name == EVT_ID_DND_LEAVE) {
        m_hover = false;
        redraw();
        return 1;
    }
    if (name == EVT_ID_DND_RELEASE) {
        m_hover = false;
        for (CoreBaseObject const* object : get_dnd_event_data()) {
            OfHandle const* handle = get_dnd_handle(object);
            if (!handle) continue;
            CoreString const item = handle->is_valid() ? handle->get_full_name() : CoreString("(deleted item)");
            m_dropped.add(item);
            DemoTrace::line(CoreString("drop ") + get_name() + " " + item);
        }
        redraw();
        return 1;
    }
    return GuiWidget::process_event(name);
}

void DemoDropTarget::draw(GuiDc& dc)
{
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    dc.draw_rectf({x, y, w, h}, m_hover ? get_color(GuiColorScheme::ROLE_BUTTON_HOVER)
                                        : get_color(GuiColorScheme::ROLE_BACKGROUND));
    dc.draw_rect({x, y, w, h}, m_hover ? get_color(GuiColorScheme::ROLE_ACCENT)
                                       : get_color(GuiColorScheme::ROLE_OUTLINE));
    if (m_dropped.is_empty()) {
        GMathVec3<unsigned char> const& dim = get_color(GuiColorScheme::ROLE_TEXT_DIM);
        widget_dc(dc).draw_text("Drop scene items here", x, y, w, h, dim[0], dim[1], dim[2], JUSTIFY_CENTER);
        return;
    }
    int line_y = y + 16;
    for (unsigned int i = m_dropped.get_count(); i-- > 0 && line_y < y + h;) {
        dc.draw_text(m_dropped[i], {x + 8, line_y}, get_color(GuiColorScheme::ROLE_TEXT));
        line_y += 14;
    }
}
