#include "demo/showcase_window.h"

#include "demo/showcase_gl_view.h"
#include "gui/gl/gui_gl_hud_settings.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "demo/showcase_widgets.h"
#include "gui/core/gui_app.h"
#include "gui/panels/gui_app_main_menu.h"
#include "gui/menus/gui_menu_button.h"
#include "host/app/app_dialog.h"
#include "gui/core/gui_floating_window.h"
#include "gui/controls/gui_push_button.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_library.h"
#include "gui/core/gui_resource.h"
#include "host/app/app_preferences.h"
#include "host/sys/sys_timer.h"

using namespace demo_edges;

namespace {

constexpr int MARGIN = 8;
constexpr int MENU_BAR = 22;
constexpr int HEADER = 34;
constexpr int STATUS = 24;
constexpr int SIDEBAR = 360;
// The width of the list of pages down the left side.
constexpr int NAVIGATION = 140;

// The window's background, following all four edges.
class Background : public DemoWidget {
public:
    Background(GuiWidget& parent, int w, int h) : DemoWidget(parent, "background", 0, 0, w, h)
    {
        anchor(L, T, R, B);
    }
    void draw(GuiDc& dc) override
    {
        dc.draw_rectf({get_x(), get_y(), get_width(), get_height()}, get_color(GuiColorScheme::ROLE_BACKGROUND_DARK));
    }
};

// The header strip with the library's name.
class Header : public DemoWidget {
public:
    Header(GuiWidget& parent, int w) : DemoWidget(parent, "header", 0, MENU_BAR, w, HEADER)
    {
        anchor(L, T, R, T);
        get_font().set_size(15);
    }
    void draw(GuiDc& dc) override
    {
        dc.draw_rectf({get_x(), get_y(), get_width(), get_height()}, get_color(GuiColorScheme::ROLE_HEADER));
        dc.draw_rectf({get_x(), get_y() + get_height() - 2, get_width(), 2}, get_color(GuiColorScheme::ROLE_ACCENT));
        dc.draw_text(CoreString("qn_gui showcase"), {12, get_y() + 22}, get_color(GuiColorScheme::ROLE_TEXT));
    }
};

// The status bar: the focused widget and the window's size.
class StatusBar : public DemoWidget {
public:
    StatusBar(GuiWidget& parent, int y, int w) : DemoWidget(parent, "status", 0, y, w, STATUS)
    {
        anchor(L, B, R, B);
        get_font().set_size(11);
    }
    void draw(GuiDc& dc) override
    {
        dc.draw_rectf({get_x(), get_y(), get_width(), get_height()}, get_color(GuiColorScheme::ROLE_HEADER));
        GuiWidget* focused = GuiWidget::get_focused_widget();
        DemoWidget* named = dynamic_cast<DemoWidget*>(focused);
        GuiWidget* window = get_window();
        CoreString text("Focus: ");
        text += named ? named->get_name() : CoreString("(none)");
        if (window) text += CoreString("    Window: ") + window->get_width() + " x " + window->get_height();
        text += "    Tab / Shift+Tab move the focus; drag the items onto the target.";
        dc.draw_text(text, {get_x() + 8, get_y() + 16}, get_color(GuiColorScheme::ROLE_TEXT_DIM));
    }
};

}  // namespace

ShowcaseWindow::ShowcaseWindow(GuiApp& app, int width, int height) : m_app(app)
{
    m_tour = std::make_unique<SceneTour>(app);
    m_window = app.create_window(80, 60, width, height, "qn_gui showcase");
    GuiWindow& window = *m_window;
    new Background(window, width, height);
    Header* header = new Header(window, width);

    // The header's scheme switch, at the right edge.
    m_scheme_button = new DemoButton(*header, "scheme_switch", "Light scheme", width - MARGIN - 110, MENU_BAR + 5,
                                     110, HEADER - 10, [this] { set_light_scheme(!m_light); });
    m_scheme_button->anchor(R, T, R, T);

    // The list of pages down the left side; each page fills the rest of the body.
    int const body_y = MENU_BAR + HEADER;
    int const body_total_h = height - body_y - STATUS;
    m_page_list = new DemoPageList(window, "page_list", 0, body_y, NAVIGATION, body_total_h,
                                   [this](int page) { show_page(static_cast<Page>(page)); });
    m_page_list->anchor(L, T, L, B);
    for (int p = 0; p < PAGE_COUNT; ++p) m_page_list->add_page(get_page_label(static_cast<Page>(p)));

    int const left = NAVIGATION + MARGIN;
    int const top = body_y + MARGIN;
    int const body_h = height - top - STATUS - MARGIN;
    for (int p = 0; p < PAGE_COUNT; ++p) {
        Page const page = static_cast<Page>(p);
        m_pages[p] = new DemoWidget(window, CoreString("page_") + get_page_name(page), NAVIGATION, body_y,
                                    width - NAVIGATION, body_total_h);
        static_cast<DemoWidget*>(m_pages[p])->anchor(L, T, R, B);
    }
    GuiWidget& widgets = *m_pages[PAGE_WIDGETS];

    // Left: the foundation tour, full height.
    DemoPanel* foundation = new DemoPanel(widgets, "foundation", "Foundation", left, top, SIDEBAR, body_h);
    foundation->anchor(L, T, L, B);
    DemoText* foundation_text = new DemoText(*foundation, "foundation_text", left + 1,
                                             top + DemoPanel::TITLE_HEIGHT, SIDEBAR - 2,
                                             body_h - DemoPanel::TITLE_HEIGHT - 1);
    foundation_text->anchor(L, T, R, B);
    foundation_text->set_text(describe_foundation());

    // Right: three stacked panels; the middle one takes the height the window gains.
    int const right_x = left + SIDEBAR + MARGIN;
    int const right_w = width - right_x - MARGIN;
    int const focus_h = 96;
    int const scene_h = 190;
    build_focus_panel(widgets, right_x, top, right_w, focus_h);
    build_dnd_panel(widgets, right_x, top + focus_h + MARGIN, right_w, body_h - focus_h - scene_h - 2 * MARGIN);
    build_scene_panel(widgets, right_x, top + body_h - scene_h, right_w, scene_h);

    m_built[PAGE_WIDGETS] = true;
    // The other pages are made when first shown: the showcase starts without waiting for
    // what it does not show (the OpenGL pages would load the OpenGL driver).
    for (int p = PAGE_WIDGETS + 1; p < PAGE_COUNT; ++p) m_pages[p]->hide();

    new StatusBar(window, height - STATUS, width);
    build_main_menu(window, width);
}

char const* ShowcaseWindow::get_page_name(Page page)
{
    switch (page) {
        case PAGE_LOOK:
            return "look";
        case PAGE_DRAWING:
            return "drawing";
        case PAGE_OPENGL:
            return "opengl";
        case PAGE_WINDOWS:
            return "windows";
        case PAGE_MENUS:
            return "menus";
        case PAGE_CONTROLS:
            return "controls";
        case PAGE_FIELDS:
            return "fields";
        case PAGE_SPREADSHEET:
            return "spreadsheet";
        case PAGE_TEXT:
            return "text";
        case PAGE_PREFERENCES:
            return "preferences";
        case PAGE_NODAL:
            return "nodal";
        case PAGE_TREE:
            return "tree";
        case PAGE_CURVES:
            return "curves";
        case PAGE_EXPLORER:
            return "explorer";
        case PAGE_LAYOUT:
            return "layout";
        default:
            return "widgets";
    }
}

char const* ShowcaseWindow::get_page_label(Page page)
{
    static char const* const labels[PAGE_COUNT] = {"Widgets",     "Look",        "Drawing",   "OpenGL",
                                                   "Windows",     "Menus",       "Controls",  "Fields",
                                                   "Spreadsheet", "Text",        "Preferences", "Node graph",
                                                   "Tree and grid", "Curves",      "Explorer",  "Layout"};
    return page >= 0 && page < PAGE_COUNT ? labels[page] : "";
}

void ShowcaseWindow::build_preferences_page(GuiWidget& page, int x, int y, int w, int h)
{
    m_app.init_preferences();
    DemoPanel* panel = new DemoPanel(page, "preferences_panel", "Interface preferences", x, y, w, h);
    panel->anchor(L, T, R, B);
    CoreString text;
    for (char const* name : {"user_interface", "color_management", "scripting", "layout"}) {
        AppCategoryPreferences const* category = m_app.get_preferences().get_category(name);
        if (!category) continue;
        text += CoreString(name) + "\n";
        for (unsigned int i = 0; i < category->get_item_count(); ++i) {
            AppItemPreferences const* item = category->get_item(i);
            CoreString line = CoreString("    ") + item->get_key();
            while (line.get_length() < 36) line += " ";
            line += AppItemPreferences::get_kind_name(item->get_kind()) + 5;
            while (line.get_length() < 48) line += " ";
            line += item->get_value_text();
            if (item->has_preset()) {
                line += "   [";
                for (unsigned int p = 0; p < item->get_preset_count(); ++p)
                    line += (p ? CoreString(", ") : CoreString()) + item->get_preset_label(p).get_trim_left();
                line += "]";
            }
            if (item->is_hidden()) line += "   (hidden)";
            std::string const doc = item->get_doc().get_data();
            if (!doc.empty()) line += CoreString("   ") + doc.substr(0, doc.find('\n')).c_str();
            text += line + "\n";
        }
    }
    DemoText* list = new DemoText(*panel, "preferences_text", x + 1, y + DemoPanel::TITLE_HEIGHT, w - 2,
                                  h - DemoPanel::TITLE_HEIGHT - 1);
    list->anchor(L, T, R, B);
    list->set_text(text);
}

CoreString ShowcaseWindow::get_page_names()
{
    CoreString names;
    for (int p = 0; p < PAGE_COUNT; ++p) names += CoreString(p ? ", " : "") + get_page_name(static_cast<Page>(p));
    return names;
}

bool ShowcaseWindow::show_page(CoreString const& name)
{
    for (int p = 0; p < PAGE_COUNT; ++p) {
        if (name == get_page_name(static_cast<Page>(p))) {
            show_page(static_cast<Page>(p));
            return true;
        }
    }
    return false;
}

void ShowcaseWindow::build_page(Page page)
{
    if (m_built[page]) return;
    m_built[page] = true;
    // The page's content fills its container less the margin, at the container's size now.
    GuiWidget& container = *m_pages[page];
    int const x = container.get_x() + MARGIN;
    int const y = container.get_y() + MARGIN;
    int const w = container.get_width() - 2 * MARGIN;
    int const h = container.get_height() - 2 * MARGIN;
    switch (page) {
        case PAGE_WIDGETS: break;  // made with the window
        case PAGE_LOOK: build_look_page(container, x, y, w, h); break;
        case PAGE_DRAWING: build_drawing_page(container, x, y, w, h); break;
        case PAGE_OPENGL: build_opengl_page(container, x, y, w, h); break;
        case PAGE_WINDOWS: build_windows_page(container, x, y, w, h); break;
        case PAGE_MENUS: build_menus_page(container, x, y, w, h); break;
        case PAGE_CONTROLS: build_controls_page(container, x, y, w, h); break;
        case PAGE_FIELDS: build_fields_page(container, x, y, w, h); break;
        case PAGE_SPREADSHEET: build_spreadsheet_page(container, x, y, w, h); break;
        case PAGE_TEXT: build_text_page(container, x, y, w, h); break;
        case PAGE_PREFERENCES: build_preferences_page(container, x, y, w, h); break;
        case PAGE_NODAL: build_nodal_page(container, x, y, w, h); break;
        case PAGE_TREE: build_tree_page(container, x, y, w, h); break;
        case PAGE_CURVES: build_curves_page(container, x, y, w, h); break;
        case PAGE_EXPLORER: build_explorer_page(container, x, y, w, h); break;
        case PAGE_LAYOUT: build_layout_page(container, x, y, w, h); break;
        case PAGE_COUNT: break;
    }
}

void ShowcaseWindow::show_page(Page page)
{
    build_page(page);
    if (page == PAGE_LAYOUT) build_layout_frames();
    for (int p = 0; p < PAGE_COUNT; ++p)
        if (p != page) m_pages[p]->hide();
    m_pages[page]->show();
    m_page_list->set_current(page);
    m_window->redraw();
    DemoTrace::line(CoreString("page ") + get_page_name(page));
}

void ShowcaseWindow::set_light_scheme(bool light)
{
    m_light = light;
    m_app.get_main_menu().set_checked("View>Light Scheme", light);
    m_app.set_color_scheme(GuiColorScheme::get_scheme(light ? GuiColorScheme::SCHEME_LIGHT
                                                            : GuiColorScheme::SCHEME_DARK));
    m_scheme_button->set_label(light ? "Dark scheme" : "Light scheme");
    DemoTrace::line(light ? "scheme light" : "scheme dark");
}

void ShowcaseWindow::build_look_page(GuiWidget& page, int x, int y, int w, int h)
{
    int const rows = (GuiColorScheme::ROLE_COUNT + 1) / 2;
    int const swatches_h = DemoPanel::TITLE_HEIGHT + rows * DemoSchemeSwatches::ROW_HEIGHT + 12;
    int const swatches_w = std::min(640, w / 2 + 60);
    DemoPanel* scheme =
        new DemoPanel(page, "scheme_panel", "Colour scheme: every role in its normal, disabled and bright groups",
                      x, y, swatches_w, swatches_h);
    new DemoSchemeSwatches(*scheme, "scheme_swatches", x + 1, y + DemoPanel::TITLE_HEIGHT, swatches_w - 2,
                           swatches_h - DemoPanel::TITLE_HEIGHT - 1);

    int const pictures_x = x + swatches_w + MARGIN;
    int const pictures_w = w - swatches_w - MARGIN;
    int const picture_rows = (static_cast<int>(GuiResource::get_picture_names().get_count()) + 1) / 2;
    int const pictures_h = DemoPanel::TITLE_HEIGHT + picture_rows * DemoPictures::ROW_HEIGHT + 10;
    DemoPanel* pictures = new DemoPanel(page, "pictures_panel",
                                        "Built-in pictures: normal, disabled, hidden, highlighted", pictures_x, y,
                                        pictures_w, pictures_h);
    pictures->anchor(L, T, R, T);
    DemoPictures* grid = new DemoPictures(*pictures, "pictures", pictures_x + 1, y + DemoPanel::TITLE_HEIGHT,
                                          pictures_w - 2, pictures_h - DemoPanel::TITLE_HEIGHT - 1);
    grid->anchor(L, T, R, B);

    int const fonts_y = y + std::max(swatches_h, pictures_h) + MARGIN;
    DemoPanel* fonts = new DemoPanel(page, "fonts_panel", "Fonts: the default family's faces", x, fonts_y, w,
                                     std::max(60, h - (fonts_y - y)));
    fonts->anchor(L, T, R, B);
    DemoFonts* samples = new DemoFonts(*fonts, "fonts", x + 1, fonts_y + DemoPanel::TITLE_HEIGHT, w - 2,
                                       std::max(30, h - (fonts_y - y) - DemoPanel::TITLE_HEIGHT - 1));
    samples->anchor(L, T, R, B);
}

namespace {

using Rgb = GMathVec3<unsigned char>;

Rgb role(GuiWidget const& widget, GuiColorScheme::Role r)
{
    return widget.get_color(r);
}

// "ROUNDNESS_TOP_LEFT" as "TOP_LEFT", and the like.
char const* short_name(char const* name)
{
    char const* underscore = std::strchr(name, '_');
    return underscore ? underscore + 1 : name;
}

// Lines in the five styles, a fan of solid lines, and curves of single pixels.
void paint_lines(DemoCanvas& canvas, GuiWidgetDc& dc)
{
    int const x = canvas.get_x(), y = canvas.get_y();
    Rgb const text = role(canvas, GuiColorScheme::ROLE_TEXT);
    Rgb const dim = role(canvas, GuiColorScheme::ROLE_TEXT_DIM);
    Rgb const accent = role(canvas, GuiColorScheme::ROLE_ACCENT);
    for (int s = GuiWidgetDc::LINE_STYLE_SOLID; s <= GuiWidgetDc::LINE_STYLE_DASHDOTDOT; ++s) {
        GuiWidgetDc::LineStyle const style = static_cast<GuiWidgetDc::LineStyle>(s);
        int const line_y = y + 16 + s * 20;
        dc.draw_text(short_name(GuiWidgetDc::get_line_style_name(style)), {x + 10, line_y + 4}, dim);
        dc.draw_line(x + 140, line_y, x + 340, line_y, text[0], text[1], text[2], style);
    }
    // A line's style stays in force: the fan goes back to solid lines.
    Rgb const fan[] = {role(canvas, GuiColorScheme::ROLE_RED), role(canvas, GuiColorScheme::ROLE_GREEN),
                       role(canvas, GuiColorScheme::ROLE_BLUE), accent};
    int const fan_x = x + 135, fan_y = y + canvas.get_height() - 10;
    for (int i = 0; i <= 12; ++i) {
        double const angle = M_PI * i / 12.0;
        Rgb const& c = fan[i % 4];
        dc.draw_line(fan_x + 105, fan_y, fan_x + 105 + static_cast<int>(std::lround(100 * std::cos(angle))),
                     fan_y - static_cast<int>(std::lround(80 * std::sin(angle))), c[0], c[1], c[2]);
    }
    dc.draw_text("draw_line", {x + 10, fan_y - 4}, dim);

    // Pixels: a sine curve and a grid, one draw_pixel each.
    int const px = x + 360, py = y + 16;
    for (int i = 0; i < 200; ++i) {
        int const cy = py + 40 + static_cast<int>(std::lround(30 * std::sin(i / 14.0)));
        dc.draw_pixel(px + i, cy, accent[0], accent[1], accent[2]);
    }
    for (int gy = 0; gy < 60; gy += 4)
        for (int gx = 0; gx < 200; gx += 4) dc.draw_pixel(px + gx, py + 90 + gy, text[0], text[1], text[2]);
    dc.draw_text("draw_pixel", {px, py + 166}, dim);
}

// Triangles and rectangles, then the same primitives in black on a light patch.
void paint_shapes(DemoCanvas& canvas, GuiWidgetDc& dc)
{
    int const x = canvas.get_x(), y = canvas.get_y();
    Rgb const dim = role(canvas, GuiColorScheme::ROLE_TEXT_DIM);
    Rgb const accent = role(canvas, GuiColorScheme::ROLE_ACCENT);
    Rgb const blue = role(canvas, GuiColorScheme::ROLE_BLUE);
    Rgb const green = role(canvas, GuiColorScheme::ROLE_GREEN);
    dc.draw_triangle(x + 14, y + 80, x + 64, y + 14, x + 114, y + 80, accent[0], accent[1], accent[2]);
    dc.draw_trianglef(x + 134, y + 80, x + 184, y + 14, x + 234, y + 80, blue[0], blue[1], blue[2]);
    dc.draw_text("draw_triangle, draw_trianglef", {x + 14, y + 98}, dim);
    dc.draw_rect(x + 14, y + 112, 100, 56, accent[0], accent[1], accent[2]);
    dc.draw_rect(x + 20, y + 118, 88, 44, accent[0], accent[1], accent[2]);
    dc.draw_rectf(x + 134, y + 112, 100, 56, green[0], green[1], green[2]);
    dc.draw_rectf(x + 150, y + 128, 68, 24, blue[0], blue[1], blue[2]);
    dc.draw_text("draw_rect, draw_rectf", {x + 14, y + 186}, dim);

    // Pure black is the toolkit's palette black, not its foreground colour.
    int const lx = x + 260, ly = y + 8, lw = canvas.get_width() - 270, lh = canvas.get_height() - 16;
    dc.draw_rectf(lx, ly, lw, lh, 236, 236, 232);
    dc.draw_text("Black (0, 0, 0) on light", lx + 10, ly + 6, lw - 20, 18, 0, 0, 0, GuiWidget::JUSTIFY_LEFT);
    dc.draw_rect(lx + 10, ly + 34, 80, 50, 0, 0, 0);
    dc.draw_rectf(lx + 16, ly + 40, 30, 38, 0, 0, 0);
    dc.draw_trianglef(lx + 110, ly + 84, lx + 140, ly + 34, lx + 170, ly + 84, 0, 0, 0);
    dc.draw_round_frame(lx + 190, ly + 34, 70, 50, 0, 0, 0);
    for (int i = 0; i < 5; ++i) dc.draw_line(lx + 10, ly + 100 + i * 6, lx + 260, ly + 100 + i * 6, 0, 0, 0);
    for (int i = 0; i < 125; ++i) dc.draw_pixel(lx + 10 + 2 * i, ly + 136, 0, 0, 0);
    dc.draw_wrapped_text("Lines, pixels, shapes and text in black stay black.", lx + 10, ly + 144, lw - 20, 32,
                         0, 0, 0);
}

// A frame with each roundness, and filled frames with text in them.
void paint_frames(DemoCanvas& canvas, GuiWidgetDc& dc)
{
    int const x = canvas.get_x(), y = canvas.get_y();
    Rgb const text = role(canvas, GuiColorScheme::ROLE_TEXT);
    Rgb const dim = role(canvas, GuiColorScheme::ROLE_TEXT_DIM);
    GuiWidget::Roundness const values[] = {
        GuiWidget::ROUNDNESS_NONE,        GuiWidget::ROUNDNESS_TOP_LEFT, GuiWidget::ROUNDNESS_TOP_RIGHT,
        GuiWidget::ROUNDNESS_TOP,         GuiWidget::ROUNDNESS_BOTTOM_LEFT, GuiWidget::ROUNDNESS_LEFT,
        GuiWidget::ROUNDNESS_BOTTOM_RIGHT, GuiWidget::ROUNDNESS_RIGHT,   GuiWidget::ROUNDNESS_BOTTOM,
        GuiWidget::ROUNDNESS_ALL};
    for (int i = 0; i < 10; ++i) {
        int const fx = x + 14 + (i % 5) * 112, fy = y + 12 + (i / 5) * 56;
        dc.draw_round_frame(values[i], fx, fy, 44, 26, text[0], text[1], text[2]);
        dc.draw_text(short_name(GuiWidget::get_roundness_name(values[i])), {fx, fy + 40}, dim);
    }
    Rgb const outline = role(canvas, GuiColorScheme::ROLE_OUTLINE);
    Rgb const button = role(canvas, GuiColorScheme::ROLE_BUTTON);
    Rgb const accent = role(canvas, GuiColorScheme::ROLE_ACCENT);
    int const fy = y + 130;
    dc.draw_round_framef(x + 14, fy, 150, 28, outline[0], outline[1], outline[2], button[0], button[1], button[2]);
    dc.draw_text("draw_round_framef", x + 14, fy, 150, 28, text[0], text[1], text[2], GuiWidget::JUSTIFY_CENTER);
    dc.draw_round_framef(x + 182, fy, 150, 28, accent[0], accent[1], accent[2]);
    dc.draw_text("one colour", x + 182, fy, 150, 28, 0, 0, 0, GuiWidget::JUSTIFY_CENTER);
    Rgb const field = role(canvas, GuiColorScheme::ROLE_FIELD);
    Rgb const field_text = role(canvas, GuiColorScheme::ROLE_FIELD_TEXT);
    dc.draw_round_framef(GuiWidget::ROUNDNESS_TOP, x + 350, fy, 150, 28, text[0], text[1], text[2], field[0],
                         field[1], field[2]);
    dc.draw_text("frame on a fill", x + 350, fy, 150, 28, field_text[0], field_text[1], field_text[2],
                 GuiWidget::JUSTIFY_CENTER);
}

// Boxed text in the three justifications, and wrapped text.
void paint_text(DemoCanvas& canvas, GuiWidgetDc& dc)
{
    int const x = canvas.get_x(), y = canvas.get_y();
    Rgb const text = role(canvas, GuiColorScheme::ROLE_TEXT);
    Rgb const dim = role(canvas, GuiColorScheme::ROLE_TEXT_DIM);
    Rgb const outline = role(canvas, GuiColorScheme::ROLE_FIELD_BORDER);
    GuiWidget::Justify const justifications[] = {GuiWidget::JUSTIFY_LEFT, GuiWidget::JUSTIFY_CENTER,
                                                 GuiWidget::JUSTIFY_RIGHT};
    for (int i = 0; i < 3; ++i) {
        int const by = y + 12 + i * 36;
        dc.draw_rect(x + 14, by, 240, 26, outline[0], outline[1], outline[2]);
        dc.draw_text(CoreString("Boxed, ") + short_name(GuiWidget::get_justify_name(justifications[i])), x + 14, by,
                     240, 26, text[0], text[1], text[2], justifications[i]);
    }
    dc.draw_text("draw_text in a box, centred vertically", {x + 14, y + 128}, dim);

    int const wx = x + 280, ww = canvas.get_width() - 294, wh = canvas.get_height() - 40;
    dc.draw_rect(wx, y + 12, ww, wh, outline[0], outline[1], outline[2]);
    dc.draw_wrapped_text("Wrapped text breaks at word boundaries inside its box, from the top-left corner, and "
                         "is clipped to the box. A long paragraph keeps going onto the following lines until it "
                         "reaches the bottom edge, where what does not fit is cut away by the clip rectangle, "
                         "however much text there is left.",
                         wx + 4, y + 14, ww - 8, wh - 4, text[0], text[1], text[2]);
    dc.draw_text("draw_wrapped_text", {wx, y + 12 + wh + 16}, dim);
}

// The same path clamped at its end and at its start in narrower and narrower boxes.
void paint_clamped(DemoCanvas& canvas, GuiWidgetDc& dc)
{
    int const x = canvas.get_x(), y = canvas.get_y();
    Rgb const text = role(canvas, GuiColorScheme::ROLE_TEXT);
    Rgb const dim = role(canvas, GuiColorScheme::ROLE_TEXT_DIM);
    Rgb const outline = role(canvas, GuiColorScheme::ROLE_FIELD_BORDER);
    Rgb const accent = role(canvas, GuiColorScheme::ROLE_ACCENT);
    CoreString const path("/geometry/props/block_0/prop_4/body");
    int const widths[] = {230, 170, 120, 80, 50, 24};
    for (int column = 0; column < 2; ++column) {
        bool const keep_end = column == 1;
        int const cx = x + 14 + column * 280;
        dc.draw_text(keep_end ? "clamp, keep_end" : "clamp", {cx, y + 16}, dim);
        for (int i = 0; i < 6; ++i) {
            int const by = y + 24 + i * 27;
            dc.draw_rect(cx, by, widths[i], 22, outline[0], outline[1], outline[2]);
            bool const shortened =
                dc.draw_text_clampable(path, cx + 3, by, widths[i] - 6, 22, text[0], text[1], text[2], true,
                                       keep_end, false);
            // Shortened texts are marked by a small triangle after their box.
            if (shortened)
                dc.draw_trianglef(cx + widths[i] + 6, by + 7, cx + widths[i] + 14, by + 11, cx + widths[i] + 6,
                                  by + 15, accent[0], accent[1], accent[2]);
        }
    }
}

// An image beside a text in the three justifications, with the image left and right of it; the
// texts say which.
void paint_icon_text(DemoCanvas& canvas, GuiWidgetDc& dc)
{
    int const x = canvas.get_x(), y = canvas.get_y();
    Rgb const text = role(canvas, GuiColorScheme::ROLE_TEXT);
    Rgb const dim = role(canvas, GuiColorScheme::ROLE_TEXT_DIM);
    Rgb const outline = role(canvas, GuiColorScheme::ROLE_FIELD_BORDER);
    GuiWidget::Justify const justifications[] = {GuiWidget::JUSTIFY_LEFT, GuiWidget::JUSTIFY_CENTER,
                                                 GuiWidget::JUSTIFY_RIGHT};
    GuiWidget::IconPosition const positions[] = {GuiWidget::ICON_POSITION_LEFT, GuiWidget::ICON_POSITION_RIGHT};
    GuiImage const* images[] = {&GuiResource::open(), &GuiResource::save()};
    for (int j = 0; j < 3; ++j)
        dc.draw_text(short_name(GuiWidget::get_justify_name(justifications[j])), {x + 14 + j * 186, y + 16}, dim);
    for (int p = 0; p < 3; ++p) {
        // The third row: the image on the left, highlighted.
        GuiWidget::IconPosition const position = positions[p % 2];
        bool const highlighted = p == 2;
        int const by = y + 28 + p * 54;
        CoreString const label = highlighted ? CoreString("Highlighted")
                                             : CoreString("Icon ") + (position == GuiWidget::ICON_POSITION_LEFT
                                                                          ? "left" : "right");
        for (int j = 0; j < 3; ++j) {
            int const bx = x + 14 + j * 186;
            dc.draw_rect(bx, by, 170, 30, outline[0], outline[1], outline[2]);
            dc.draw_icon_text(*images[p % 2], label, bx + 1, by + 1, 168, 28, text[0], text[1], text[2],
                              justifications[j], position, highlighted, highlighted);
        }
    }
}

}  // namespace

void ShowcaseWindow::build_drawing_page(GuiWidget& page, int x, int y, int w, int h)
{
    struct Section {
        char const* name;
        char const* title;
        DemoCanvas::Paint paint;
    } const sections[] = {
        {"lines", "Lines in the five styles, and pixels", paint_lines},
        {"shapes", "Triangles and rectangles; black on light", paint_shapes},
        {"frames", "Frames with rounded corners: each roundness, and filled", paint_frames},
        {"text", "Boxed text (left, centre, right) and wrapped text", paint_text},
        {"clamped", "Clamped text in narrowing boxes (a mark when shortened)", paint_clamped},
        {"icon_text", "Icon and text: the six layouts, and highlighted", paint_icon_text},
    };
    int const column_w = (w - MARGIN) / 2;
    int const row_h = (h - 2 * MARGIN) / 3;
    for (int i = 0; i < 6; ++i) {
        int const px = x + (i % 2) * (column_w + MARGIN), py = y + (i / 2) * (row_h + MARGIN);
        Section const& section = sections[i];
        DemoPanel* panel = new DemoPanel(page, CoreString(section.name) + "_panel", section.title, px, py, column_w,
                                         row_h);
        new DemoCanvas(*panel, section.name, px + 1, py + DemoPanel::TITLE_HEIGHT, column_w - 2,
                       row_h - DemoPanel::TITLE_HEIGHT - 1, section.paint);
    }
}

void ShowcaseWindow::build_opengl_page(GuiWidget& page, int x, int y, int w, int h)
{
    int const side_w = 200;
    int const text_h = h * 2 / 5;
    DemoPanel* panel = new DemoPanel(page, "opengl_panel", "OpenGL text (mouse wheel: zoom)", x, y,
                                     w - side_w - MARGIN, text_h);
    panel->anchor(L, T, R, T);
    DemoTextView* view = new DemoTextView(*panel, x + 1, y + DemoPanel::TITLE_HEIGHT, w - side_w - MARGIN - 2,
                                          text_h - DemoPanel::TITLE_HEIGHT - 1);
    view->set_constraints(L, T, R, B);
    int const scene_y = y + text_h + MARGIN;
    int const scene_h = h - text_h - MARGIN;
    DemoPanel* scene = new DemoPanel(page, "scene_panel", "A node graph drawn in one batch per frame", x, scene_y,
                                     w - side_w - MARGIN, scene_h);
    scene->anchor(L, T, R, B);
    DemoSceneView* scene_view = new DemoSceneView(*scene, x + 1, scene_y + DemoPanel::TITLE_HEIGHT,
                                                  w - side_w - MARGIN - 2, scene_h - DemoPanel::TITLE_HEIGHT - 1);
    scene_view->set_constraints(L, T, R, B);

    int const side_x = x + w - side_w;
    DemoPanel* controls = new DemoPanel(page, "hud_panel", "Head-up display", side_x, y, side_w, h);
    controls->anchor(R, T, R, B);
    int button_y = y + DemoPanel::TITLE_HEIGHT + 10;
    auto const add = [&](char const* name, std::function<CoreString()> label, std::function<void()> change) {
        DemoButton* button = new DemoButton(*controls, name, label(), side_x + 10, button_y, side_w - 20, 26, nullptr);
        button->set_action([button, view, label, change] {
            change();
            button->set_label(label());
            view->redraw();
        });
        button_y += 32;
    };
    GuiGlHudSettings& hud = view->get_hud_settings();
    auto const guide_label = [&hud] {
        static char const* const names[] = {"None", "Rule of Thirds", "Golden Ratio", "Golden Spiral",
                                            "Golden Triangles", "Diagonals"};
        return CoreString("Guide: ") + names[hud.get_enum(GuiGlHudSettings::ID_OVERLAY)];
    };
    add("hud_guide", guide_label, [&hud] {
        hud.set_enum(GuiGlHudSettings::ID_OVERLAY, (hud.get_enum(GuiGlHudSettings::ID_OVERLAY) + 1) % 6);
    });
    struct Toggle {
        char const* name;
        char const* label;
        int id;
    } const toggles[] = {
        {"hud_mirror_x", "Mirror X", GuiGlHudSettings::ID_MIRROR_X},
        {"hud_mirror_y", "Mirror Y", GuiGlHudSettings::ID_MIRROR_Y},
        {"hud_live_area", "Live Area", GuiGlHudSettings::ID_LIVE_AREA},
        {"hud_action", "Action", GuiGlHudSettings::ID_ACTION},
        {"hud_title", "Title", GuiGlHudSettings::ID_TITLE},
        {"hud_user", "User", GuiGlHudSettings::ID_USER},
        {"hud_caption", "Captions", GuiGlHudSettings::ID_CAPTION},
    };
    for (Toggle const& toggle : toggles) {
        int const id = toggle.id;
        CoreString const text(toggle.label);
        add(toggle.name, [&hud, id, text] { return text + (hud.get_bool(id) ? ": on" : ": off"); },
            [&hud, id] { hud.set_bool(id, !hud.get_bool(id)); });
    }
    button_y += 10;
    auto const zoom_label = [] { return CoreString("Zoom in"); };
    add("zoom_in", zoom_label, [view] { view->set_zoom(view->get_zoom() * 1.5); });
    add("zoom_out", [] { return CoreString("Zoom out"); }, [view] { view->set_zoom(view->get_zoom() / 1.5); });
    add("zoom_reset", [] { return CoreString("Zoom 100%"); }, [view] { view->set_zoom(1.0); });
}

void ShowcaseWindow::on_click(GuiPushButton& button, std::function<void()> action)
{
    m_click_actions.push_back(std::make_unique<std::function<void()>>(std::move(action)));
    EventObject::connect(
        static_cast<EventObject&>(button), EVT_ID_PUSH_BUTTON_CLICK,
        [](EventObject&, EventObject::EventInfo const&, void* data) { (*static_cast<std::function<void()>*>(data))(); },
        m_click_actions.back().get());
}

void ShowcaseWindow::show_about()
{
    CoreString text = CoreString(GuiLibrary::get_name_and_version()) +
                      "\n\nThe user-interface library of a 3D scene-assembly, look-development and rendering "
                      "application, drawn on FLTK and OpenGL.";
    AppDialog const answer = m_app.message_box(text, "About qn_gui", AppDialog::ok(), AppDialog::STYLE_OK);
    DemoTrace::line(CoreString("about closed ") + AppDialog::get_answer_name(answer.get_answer()));
}

void ShowcaseWindow::build_windows_page(GuiWidget& page, int x, int y, int w, int h)
{
    int const column_w = (w - MARGIN) / 2;
    DemoPanel* boxes = new DemoPanel(page, "message_boxes", "Message boxes: one of each style", x, y, column_w, h);
    boxes->anchor(L, T, L, B);
    DemoText* result = new DemoText(*boxes, "message_box_answer", x + 12, y + h - 60, column_w - 24, 48);
    result->anchor(L, B, R, B);
    result->set_text("Open a box: its answer shows here.");
    struct Style {
        char const* name;
        char const* label;
        int style;
    } const styles[] = {
        {"box_ok", "Ok", AppDialog::STYLE_OK},
        {"box_ok_cancel", "Ok, Cancel", AppDialog::STYLE_OK_CANCEL},
        {"box_abort_retry_ignore", "Abort, Retry, Ignore", AppDialog::STYLE_ABORT_RETRY_IGNORE},
        {"box_yes_no_cancel", "Yes, No, Cancel", AppDialog::STYLE_YES_NO_CANCEL},
        {"box_yes_no", "Yes, No", AppDialog::STYLE_YES_NO},
        {"box_retry_cancel", "Retry, Cancel", AppDialog::STYLE_RETRY_CANCEL},
        {"box_apply_to_all", "Yes, No and \"Apply settings for all\"",
         AppDialog::STYLE_YES_NO | AppDialog::STYLE_APPLY_TO_ALL},
        {"box_list", "Ok, Cancel with a list", AppDialog::STYLE_OK_CANCEL},
    };
    int button_y = y + DemoPanel::TITLE_HEIGHT + 12;
    for (Style const& style : styles) {
        GuiPushButton* button = new GuiPushButton(*boxes, x + 12, button_y, 260, 24, style.label);
        button->set_style(GuiPushButton::STYLE_BUTTON);
        bool const with_list = std::strcmp(style.name, "box_list") == 0;
        int const code = style.style;
        on_click(*button, [this, result, code, with_list, label = CoreString(style.label)] {
            CoreVector<CoreString> list;
            if (with_list) list = {"/geometry/props/block_0", "/geometry/props/block_1", "/lights/key", "/render/final"};
            AppDialog const answer =
                m_app.message_box(with_list ? CoreString("These items will be deleted:") : CoreString("A question with ") + label + ".",
                                  "Message box", AppDialog::ok(), code, nullptr, list);
            CoreString text = CoreString("Answer: ") + AppDialog::get_answer_name(answer.get_answer());
            if (answer.is_apply_to_all()) text += " + apply to all";
            result->set_text(text);
            DemoTrace::line(CoreString("message box answer ") + AppDialog::get_answer_name(answer.get_answer()));
        });
        button_y += 32;
    }

    int const right_x = x + column_w + MARGIN;
    DemoPanel* windows = new DemoPanel(page, "windows_panel", "Windows", right_x, y, w - column_w - MARGIN, h);
    windows->anchor(L, T, R, B);
    int row_y = y + DemoPanel::TITLE_HEIGHT + 12;
    GuiPushButton* about = new GuiPushButton(*windows, right_x + 12, row_y, 220, 24, "Help > About");
    about->set_style(GuiPushButton::STYLE_BUTTON);
    on_click(*about, [this] { show_about(); });
    row_y += 32;
    GuiPushButton* tool = new GuiPushButton(*windows, right_x + 12, row_y, 220, 24, "Floating tool window");
    tool->set_style(GuiPushButton::STYLE_BUTTON);
    on_click(*tool, [this] {
        if (!m_tool_window) {
            GMathVec2<int> const origin = m_window->get_position();
            m_tool_window = new GuiFloatingWindow(*m_window, origin[0] + m_window->get_width() - 300, origin[1] + 80,
                                                  260, 180, "Tool window", nullptr);
            DemoText* text = new DemoText(*m_tool_window, "tool_text", 0, 0, 260, 180);
            text->set_text("A floating tool window owned by the main window: it stays above it, hides with it "
                           "and follows it when the owner comes back.");
            m_tool_window->set_content_widget(*text);
        }
        m_tool_window->show();
        DemoTrace::line("tool window shown");
    });
    row_y += 32;
    GuiPushButton* popup = new GuiPushButton(*windows, right_x + 12, row_y, 220, 24, "Popup at the pointer");
    popup->set_style(GuiPushButton::STYLE_BUTTON);
    on_click(*popup, [this] {
        DemoText* text = new DemoText(*m_window, "popup_text", 0, 0, 240, 70);
        text->set_text("A popup: Escape, a click elsewhere or another window's focus closes it.");
        m_window->popup(*text, true);
        DemoTrace::line("popup opened");
    });
    row_y += 44;
    DemoText* note = new DemoText(*windows, "windows_note", right_x + 12, row_y, w - column_w - MARGIN - 24, 120);
    note->anchor(L, T, R, T);
    note->set_text("Message boxes are modal: the main window takes no input\nuntil they are answered. Worker "
                   "threads may ask too:\nthey wait for the answer.");
}

ShowcaseWindow::~ShowcaseWindow()
{
    // The main menu takes its actions off the window first.
    m_main_menu.reset();
    // The window deletes its widgets; its toolkit window goes at the application's next idle
    // pass, or with the application.
    delete m_window;
}

void ShowcaseWindow::build_focus_panel(GuiWidget& parent, int x, int y, int w, int h)
{
    DemoPanel* panel = new DemoPanel(parent, "focus_panel", "Focus chain (Tab, Shift+Tab)", x, y, w, h);
    panel->anchor(L, T, R, T);
    int const tile_w = 64, tile_h = 44, gap = 8;
    for (int i = 0; i < 5; ++i) {
        CoreString const label = CoreString("Tile ") + (i + 1);
        DemoTile* tile = new DemoTile(*panel, CoreString("tile_") + (i + 1), label, x + 12 + i * (tile_w + gap),
                                      y + DemoPanel::TITLE_HEIGHT + 14, tile_w, tile_h);
        if (i == 2) {
            // Disabled: Tab skips it.
            tile->disable();
            tile->set_tooltip("Disabled: the focus chain skips it");
        }
    }
    // The last tile follows the panel's right edge.
    DemoTile* right = new DemoTile(*panel, "tile_right", "Right edge", x + w - 12 - 90,
                                   y + DemoPanel::TITLE_HEIGHT + 14, 90, tile_h);
    right->anchor(R, T, R, T);
}

void ShowcaseWindow::build_dnd_panel(GuiWidget& parent, int x, int y, int w, int h)
{
    DemoPanel* panel = new DemoPanel(parent, "dnd_panel", "Drag and drop", x, y, w, h);
    panel->anchor(L, T, R, B);
    int const inner_y = y + DemoPanel::TITLE_HEIGHT + 10;
    int const inner_h = h - DemoPanel::TITLE_HEIGHT - 20;
    int const source_w = 260;

    DemoPanel* source = new DemoPanel(*panel, "dnd_source", "Scene items", x + 10, inner_y, source_w, inner_h);
    source->anchor(L, T, L, B);
    char const* const items[] = {"/render/final", "/geometry/props/block_0/prop_4/body",
                                 "/materials/block_0/prop_3", "/lights/practicals/practical_0"};
    int card_y = inner_y + DemoPanel::TITLE_HEIGHT + 8;
    int index = 0;
    for (char const* path : items) {
        OfObject* object = m_app.get_factory().get_object(path);
        OfHandle const handle = object ? OfHandle(object) : OfHandle();
        new DemoCard(*source, CoreString("card_") + (++index), handle, path, x + 18, card_y, source_w - 16, 30);
        card_y += 36;
    }

    DemoDropTarget* target = new DemoDropTarget(*panel, "dnd_target", x + 20 + source_w, inner_y,
                                                w - source_w - 30, inner_h);
    target->anchor(L, T, R, B);
}

void ShowcaseWindow::build_scene_panel(GuiWidget& parent, int x, int y, int w, int h)
{
    DemoPanel* panel = new DemoPanel(parent, "scene_panel", "Sample scene and undo history", x, y, w, h);
    panel->anchor(L, B, R, B);
    int const button_y = y + DemoPanel::TITLE_HEIGHT + 8;
    struct Action {
        char const* name;
        char const* label;
        void (SceneTour::*change)();
    } const actions[] = {{"rename", "Rename 100 objects", &SceneTour::rename},
                         {"undo", "Undo", &SceneTour::undo},
                         {"redo", "Redo", &SceneTour::redo}};
    int button_x = x + 10;
    for (Action const& action : actions) {
        int const button_w = action.change == &SceneTour::rename ? 150 : 80;
        new DemoButton(*panel, action.name, action.label, button_x, button_y, button_w, 28,
                       [this, change = action.change] {
                           (m_tour.get()->*change)();
                           refresh_scene_text();
                       });
        button_x += button_w + 8;
    }
    // Two seconds of work on the interface thread that keeps the window alive through
    // progress updates: the bar moves, and after 250 ms the interface shows the wait cursor
    // and refuses input until the work is done.
    DemoProgress* progress = new DemoProgress(*panel, "progress", button_x + 170, button_y + 7, 200, 14);
    new DemoButton(*panel, "compute", "Compute for 2 s", button_x + 12, button_y, 150, 28, [this, progress] {
        DemoTrace::line("computation started");
        SysTimer timer;
        double sum = 0.0;
        while (timer.get_elapsed_time() < 2.0) {
            for (int i = 0; i < 20000; ++i) sum += 1.0 / (1.0 + i);
            progress->set_fraction(timer.get_elapsed_time() / 2.0);
            m_app.progress_update();
        }
        progress->set_fraction(1.0);
        DemoTrace::line(CoreString("computation done ") + (sum > 0.0 ? "ok" : "?"));
    });
    m_scene_text = new DemoText(*panel, "scene_text", x + 1, button_y + 36, w - 2, h - (button_y + 36 - y) - 1);
    m_scene_text->anchor(L, T, R, B);
    refresh_scene_text();
}

void ShowcaseWindow::refresh_scene_text()
{
    if (m_scene_text) m_scene_text->set_text(m_tour->describe());
}

void ShowcaseWindow::show()
{
    m_window->show();
}
