#include "demo/showcase_window.h"

#include <algorithm>

#include "demo/showcase_widgets.h"
#include "gui/app/gui_app.h"
#include "gui/core/gui_library.h"
#include "gui/core/gui_resource.h"
#include "host/app/app_preferences.h"
#include "host/sys/sys_timer.h"

namespace {

using C = GuiWidget::Constraint;
constexpr C L = GuiWidget::CONSTRAINT_LEFT;
constexpr C R = GuiWidget::CONSTRAINT_RIGHT;
constexpr C T = GuiWidget::CONSTRAINT_TOP;
constexpr C B = GuiWidget::CONSTRAINT_BOTTOM;

constexpr int MARGIN = 8;
constexpr int HEADER = 34;
constexpr int STATUS = 24;
constexpr int SIDEBAR = 360;

// The window's background, following all four edges.
class Background : public DemoWidget {
public:
    Background(GuiWidget& parent, int w, int h) : DemoWidget(parent, "background", 0, 0, w, h)
    {
        anchor(L, T, R, B);
    }
    void draw(GuiDc& dc) override
    {
        dc.set_color(get_color(GuiColorScheme::ROLE_BACKGROUND_DARK));
        dc.draw_filled_rectangle(get_x(), get_y(), get_width(), get_height());
    }
};

// The header strip with the library's name.
class Header : public DemoWidget {
public:
    Header(GuiWidget& parent, int w) : DemoWidget(parent, "header", 0, 0, w, HEADER) { anchor(L, T, R, T); }
    void draw(GuiDc& dc) override
    {
        dc.set_color(get_color(GuiColorScheme::ROLE_HEADER));
        dc.draw_filled_rectangle(get_x(), get_y(), get_width(), get_height());
        dc.set_color(get_color(GuiColorScheme::ROLE_ACCENT));
        dc.draw_filled_rectangle(get_x(), get_y() + get_height() - 2, get_width(), 2);
        dc.set_color(get_color(GuiColorScheme::ROLE_TEXT));
        dc.set_font_size(15);
        dc.draw_text(CoreString("qn_gui showcase  \xe2\x80\x94  ") + GuiLibrary::get_name_and_version(), 12, 22);
    }
};

// The status bar: the focused widget and the window's size.
class StatusBar : public DemoWidget {
public:
    StatusBar(GuiWidget& parent, int y, int w) : DemoWidget(parent, "status", 0, y, w, STATUS)
    {
        anchor(L, B, R, B);
    }
    void draw(GuiDc& dc) override
    {
        dc.set_color(get_color(GuiColorScheme::ROLE_HEADER));
        dc.draw_filled_rectangle(get_x(), get_y(), get_width(), get_height());
        dc.set_color(get_color(GuiColorScheme::ROLE_TEXT_DIM));
        dc.set_font_size(11);
        GuiWidget* focused = GuiWidget::get_focused_widget();
        DemoWidget* named = dynamic_cast<DemoWidget*>(focused);
        GuiWidget* window = get_window();
        CoreString text("Focus: ");
        text += named ? named->get_name() : CoreString("(none)");
        if (window) text += CoreString("    Window: ") + window->get_width() + " x " + window->get_height();
        text += "    Tab / Shift+Tab move the focus; drag the items onto the target.";
        dc.draw_text(text, get_x() + 8, get_y() + 16);
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

    // The header's buttons, from the right edge: the scheme switch, then the pages.
    int button_x = width - MARGIN - 110;
    m_scheme_button = new DemoButton(*header, "scheme_switch", "Light scheme", button_x, 5, 110, HEADER - 10,
                                     [this] { set_light_scheme(!m_light); });
    m_scheme_button->anchor(R, T, R, T);
    for (int p = PAGE_COUNT - 1; p >= 0; --p) {
        button_x -= 8 + (p == PAGE_PREFERENCES ? 104 : 84);
        Page const page = static_cast<Page>(p);
        CoreString const label = p == PAGE_WIDGETS ? "Widgets" : p == PAGE_LOOK ? "Look" : "Preferences";
        DemoButton* button = new DemoButton(*header, CoreString("page_") + get_page_name(page), label, button_x, 5,
                                            p == PAGE_PREFERENCES ? 104 : 84, HEADER - 10,
                                            [this, page] { show_page(page); });
        button->anchor(R, T, R, T);
    }

    int const top = HEADER + MARGIN;
    int const body_h = height - top - STATUS - MARGIN;
    for (int p = 0; p < PAGE_COUNT; ++p) {
        Page const page = static_cast<Page>(p);
        m_pages[p] = new DemoWidget(window, CoreString("page_") + get_page_name(page), 0, HEADER, width,
                                    height - HEADER - STATUS);
        static_cast<DemoWidget*>(m_pages[p])->anchor(L, T, R, B);
    }
    GuiWidget& widgets = *m_pages[PAGE_WIDGETS];

    // Left: the foundation tour, full height.
    DemoPanel* foundation = new DemoPanel(widgets, "foundation", "Foundation", MARGIN, top, SIDEBAR, body_h);
    foundation->anchor(L, T, L, B);
    DemoText* foundation_text = new DemoText(*foundation, "foundation_text", MARGIN + 1,
                                             top + DemoPanel::TITLE_HEIGHT, SIDEBAR - 2,
                                             body_h - DemoPanel::TITLE_HEIGHT - 1);
    foundation_text->anchor(L, T, R, B);
    foundation_text->set_text(describe_foundation());

    // Right: three stacked panels; the middle one takes the height the window gains.
    int const right_x = MARGIN * 2 + SIDEBAR;
    int const right_w = width - right_x - MARGIN;
    int const focus_h = 96;
    int const scene_h = 190;
    build_focus_panel(widgets, right_x, top, right_w, focus_h);
    build_dnd_panel(widgets, right_x, top + focus_h + MARGIN, right_w, body_h - focus_h - scene_h - 2 * MARGIN);
    build_scene_panel(widgets, right_x, top + body_h - scene_h, right_w, scene_h);

    build_look_page(*m_pages[PAGE_LOOK], MARGIN, top, width - 2 * MARGIN, body_h);
    m_pages[PAGE_LOOK]->hide();
    build_preferences_page(*m_pages[PAGE_PREFERENCES], MARGIN, top, width - 2 * MARGIN, body_h);
    m_pages[PAGE_PREFERENCES]->hide();

    new StatusBar(window, height - STATUS, width);
}

char const* ShowcaseWindow::get_page_name(Page page)
{
    return page == PAGE_LOOK ? "look" : page == PAGE_PREFERENCES ? "preferences" : "widgets";
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

void ShowcaseWindow::show_page(Page page)
{
    for (int p = 0; p < PAGE_COUNT; ++p)
        if (p != page) m_pages[p]->hide();
    m_pages[page]->show();
    m_window->redraw();
    DemoTrace::line(CoreString("page ") + get_page_name(page));
}

void ShowcaseWindow::set_light_scheme(bool light)
{
    m_light = light;
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

ShowcaseWindow::~ShowcaseWindow()
{
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
