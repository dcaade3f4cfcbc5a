// The showcase's "Controls" page: a toolbar on top, then tabbed documents over a second tab
// widget, a long list of scene items with its scrollbar, and sliders mixing a colour.
#include <cmath>
#include <cstdio>
#include <memory>

#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/color/gui_color_dialog.h"
#include "gui/color/gui_color_field.h"
#include "gui/controls/gui_push_button.h"
#include "gui/fields/gui_number_field.h"
#include "gui/menus/gui_list_button.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_button.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/controls/gui_check_button.h"
#include "gui/controls/gui_push_button.h"
#include "gui/controls/gui_scrollbar.h"
#include "gui/controls/gui_slider.h"
#include "gui/panels/gui_tab_widget.h"
#include "gui/panels/gui_toolbar.h"
#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_resource.h"

using namespace demo_edges;

namespace {

constexpr int MARGIN = 8;
constexpr int SCROLLBAR_WIDTH = 12;

// Where the page reports what happened: a line of text and the trace.
DemoText* g_last = nullptr;

void report(CoreString const& what)
{
    if (g_last) g_last->set_text(what);
    DemoTrace::line(what);
}

// Text with one decimal, or none for whole numbers.
CoreString format_value(double value)
{
    char text[32];
    if (value == std::floor(value))
        std::snprintf(text, sizeof(text), "%.0f", value);
    else
        std::snprintf(text, sizeof(text), "%.2f", value);
    return CoreString(text);
}

// A page of a document tab: what the document is.
DemoText* make_document_page(GuiTabWidget& tabs, CoreString const& name, CoreString const& about)
{
    DemoText* page = new DemoText(tabs, CoreString("document_") + name, 0, 0, 10, 10);
    page->set_text(name + "\n\n" + about +
                   "\n\nMiddle-click a tab or press its cross to close it;\nthe + tab opens a new document;"
                   "\ndrag a tab into the tab widget below.");
    return page;
}

DemoText* make_inspector_page(GuiTabWidget& tabs, CoreString const& name)
{
    DemoText* page = new DemoText(tabs, CoreString("inspector_") + name, 0, 0, 10, 10);
    page->set_text(name + " of the selected item.\n\nDrag a tab here from the documents above, or\n"
                          "drag these tabs to reorder them.");
    return page;
}

// The rows of the scrolled list: the sample scene's items, repeated into a long list.
class ItemList : public DemoWidget {
public:
    static constexpr int ROW_HEIGHT = 18;
    static constexpr int ROWS = 400;

    ItemList(GuiWidget& parent, int x, int y, int w, int h) : DemoWidget(parent, "item_list", x, y, w, h) {}
    void set_scrollbar(GuiScrollbar* bar) { m_bar = bar; }

    int process_event(CoreString const& name) override
    {
        if (name == EVT_ID_MOUSE_WHEEL && m_bar) {
            // Three rows per notch, as lists usually scroll.
            m_bar->set_offset(m_bar->get_offset() + Gui::get_wheel_dy() * 3 * ROW_HEIGHT);
            m_bar->redraw();
            scrolled();
            return 1;
        }
        return DemoWidget::process_event(name);
    }

    // Redraws the rows and reports a new offset (a resize keeps the offset and says nothing).
    void scrolled()
    {
        redraw();
        int const offset = m_bar ? m_bar->get_offset() : 0;
        if (offset == m_reported_offset) return;
        m_reported_offset = offset;
        report(CoreString("list offset ") + offset);
    }

    void draw(GuiDc& dc) override
    {
        int const offset = m_bar ? m_bar->get_offset() : 0;
        int const first = offset / ROW_HEIGHT;
        static char const* const kinds[] = {"Camera", "Light", "Geometry", "Material", "Texture", "Group"};
        for (int row = first; row < ROWS; ++row) {
            int const y = get_y() + row * ROW_HEIGHT - offset;
            if (y >= get_y() + get_height()) break;
            GuiColorScheme::Role const role = row % 2 ? GuiColorScheme::ROLE_ROW_ODD : GuiColorScheme::ROLE_ROW_EVEN;
            dc.draw_rectf({get_x(), y, get_width(), ROW_HEIGHT}, get_color(role));
            CoreString const label = CoreString(kinds[row % 6]) + " " + (row + 1);
            dc.draw_text(label, {get_x() + 6, y + 13}, get_color(GuiColorScheme::ROLE_TEXT));
        }
    }

private:
    GuiScrollbar* m_bar = nullptr;
    int m_reported_offset = 0;
};

// A swatch of the colour the sliders mix.
class Swatch : public DemoWidget {
public:
    Swatch(GuiWidget& parent, int x, int y, int w, int h) : DemoWidget(parent, "swatch", x, y, w, h) {}
    double channels[3] = {0.8, 0.45, 0.2};
    double exposure = 0.0;

    void draw(GuiDc& dc) override
    {
        double const gain = std::pow(2.0, exposure);
        GMathVec3<unsigned char> color;
        for (int c = 0; c < 3; ++c)
            color[c] = static_cast<unsigned char>(std::lround(std::min(1.0, channels[c] * gain) * 255.0));
        dc.draw_rectf({get_x(), get_y(), get_width(), get_height()}, color);
        dc.draw_rect({get_x(), get_y(), get_width(), get_height()}, get_color(GuiColorScheme::ROLE_OUTLINE));
    }
};

// One labelled slider with its value beside it.
struct SliderRow {
    CoreString name;
    GuiSlider* slider = nullptr;
    DemoText* value = nullptr;
    Swatch* swatch = nullptr;
    int channel = -1;  // 0..2 for the colour, -1 for the exposure, -2 for neither
};

void apply_slider(SliderRow& row)
{
    double const value = row.slider->get_value();
    row.value->set_text(format_value(value));
    if (row.channel >= 0)
        row.swatch->channels[row.channel] = value;
    else if (row.channel == -1)
        row.swatch->exposure = value;
    row.swatch->redraw();
}

void on_slider_changing(EventObject&, EventObject::EventInfo const&, void* data)
{
    apply_slider(*static_cast<SliderRow*>(data));
}

void on_slider_changed(EventObject&, EventObject::EventInfo const&, void* data)
{
    SliderRow& row = *static_cast<SliderRow*>(data);
    apply_slider(row);
    report(CoreString("slider ") + row.name + " " + format_value(row.slider->get_value()));
}

// A colour field that traces the dialog it opens: where its parts are, for scripts that
// drive it, and what the user does with it.
class TracedColorField : public GuiColorField {
public:
    TracedColorField(GuiWidget& parent, int x, int y, int w, int h) : GuiColorField(parent, x, y, w, h, "Tint")
    {
        connect(*this, EVT_ID_COLOR_FIELD_VALUE_CHANGING, &TracedColorField::on_change);
        connect(*this, EVT_ID_COLOR_FIELD_VALUE_CHANGED, &TracedColorField::on_change);
    }

    void trace_position() const
    {
        GMathVec4<int> const swatch = get_swatch_rect();
        DemoTrace::line(CoreString("color at field ") + swatch[0] + " " + swatch[1] + " " + swatch[2] + " " +
                        swatch[3]);
    }

    int process_event(CoreString const& name) override
    {
        GuiColorDialog* before = get_dialog();
        int const handled = GuiColorField::process_event(name);
        GuiColorDialog* dialog = get_dialog();
        if (dialog && dialog != before) {
            auto at = [](char const* part, GuiWidget const& widget) {
                DemoTrace::line(CoreString("color at ") + part + " " + widget.get_x() + " " + widget.get_y() + " " +
                                widget.get_width() + " " + widget.get_height());
            };
            at("area", dialog->get_area());
            at("hue", dialog->get_field(0).get_edit());
            at("red", dialog->get_field(3).get_edit());
            at("ok", dialog->get_ok_button());
            // The application keeps one dialog: its Ok is traced once.
            static GuiColorDialog* traced = nullptr;
            if (traced != dialog) {
                traced = dialog;
                EventObject::connect(*dialog, EVT_ID_COLOR_DIALOG_COLOR_OK,
                                     [](EventObject&, EventObject::EventInfo const&, void*) { report("color ok"); });
            }
            report("color dialog open");
        }
        return handled;
    }

private:
    void on_change(GuiColorField&, EventInfo const& info, void*)
    {
        GuiColorValue const& color = get_value();
        char text[128];
        std::snprintf(text, sizeof(text), "color %s %.3f %.3f %.3f hue %.1f",
                      info.get_name() == EVT_ID_COLOR_FIELD_VALUE_CHANGED ? "changed" : "changing",
                      color.get_rgb()[0], color.get_rgb()[1], color.get_rgb()[2], color.get_hsv()[0] * 360.0);
        report(text);
    }
};

// Tabs of the page: closing, adding, and the reports.
struct TabState {
    int untitled = 0;
};

void on_close_tab_button(EventObject& sender, EventObject::EventInfo const&, void*)
{
    GuiTabWidget& tabs = static_cast<GuiTabWidget&>(sender);
    unsigned int const index = tabs.get_clicked_tab();
    CoreString const name = tabs.get_tab_name(index);
    tabs.remove_tab(index);
    report(CoreString("tab closed ") + name);
}

void on_new_tab(EventObject& sender, EventObject::EventInfo const&, void* data)
{
    GuiTabWidget& tabs = static_cast<GuiTabWidget&>(sender);
    TabState& state = *static_cast<TabState*>(data);
    CoreString const name = CoreString("Untitled ") + ++state.untitled;
    unsigned int const index = tabs.add_tab(name, make_document_page(tabs, name, "A new, empty scene."));
    tabs.set_selected_tab(index);
    report(CoreString("tab added ") + name);
}

void on_display_mode(EventObject& sender, EventObject::EventInfo const&, void*)
{
    report(CoreString("display mode ") + static_cast<GuiListButton&>(sender).get_selected_label());
}

void on_tab_change(EventObject& sender, EventObject::EventInfo const&, void*)
{
    GuiTabWidget& tabs = static_cast<GuiTabWidget&>(sender);
    if (tabs.get_selected_tab() >= 0)
        report(CoreString("tab selected ") + tabs.get_tab_name(static_cast<unsigned int>(tabs.get_selected_tab())));
}

// What the page's event handlers point to; it lives as long as the showcase.
struct ControlsState {
    TabState tabs;
    SliderRow sliders[5];
};

}  // namespace

void ShowcaseWindow::build_controls_page(GuiWidget& page, int x, int y, int w, int h)
{
    auto state = std::make_shared<ControlsState>();
    m_page_state.push_back(state);

    // The toolbar: a minimise button at its left, file buttons, toggles, a child toolbar of
    // playback buttons, a stretching status field and right-anchored items (a menu, a button
    // and a drop-down list).
    int const toolbar_panel_h = DemoPanel::TITLE_HEIGHT + GuiToolbar::BAR_HEIGHT + 10;
    DemoPanel* toolbar_panel = new DemoPanel(page, "toolbar_panel",
                                             "Toolbar: minimise it with the arrow; narrow the window to overflow it",
                                             x, y, w, toolbar_panel_h);
    toolbar_panel->anchor(L, T, R, T);
    GuiToolbar* bar = new GuiToolbar(*toolbar_panel, x + 1, y + DemoPanel::TITLE_HEIGHT + 5, w - 2, "Controls");
    bar->set_constraints(L, T, R, T);
    bar->set_minimizable(true);
    on_click(*bar->create_button(GuiResource::open(), "Open", "Open a scene", GuiToolbar::ANCHOR_LEFT),
             [] { report("toolbar Open"); });
    on_click(*bar->create_button(GuiResource::save(), "Save", "Save the scene", GuiToolbar::ANCHOR_LEFT),
             [] { report("toolbar Save"); });
    bar->add_separator(GuiToolbar::ANCHOR_LEFT);
    for (char const* toggle : {"Snap", "Grid", "Wireframe"})
        bar->create_check_button(toggle, CoreString("Toggle ") + toggle, GuiToolbar::ANCHOR_LEFT);
    bar->add_separator(GuiToolbar::ANCHOR_LEFT);
    GuiToolbar* playback = new GuiToolbar(*bar, 0, 0, 200, "Playback");
    for (char const* label : {"|<", "Play", ">|"}) {
        CoreString const name(label);
        on_click(*playback->create_button(name, CoreString("Playback ") + name, GuiToolbar::ANCHOR_LEFT),
                 [name] { report(CoreString("playback ") + name); });
    }
    bar->add_toolbar(*playback, GuiToolbar::ANCHOR_LEFT);
    bar->add_separator(GuiToolbar::ANCHOR_LEFT);
    g_last = new DemoText(page, "controls_last", 0, 0, 200, 18);
    g_last->set_text("Use the controls; what they do shows here.");
    bar->add_widget(*g_last, GuiToolbar::ANCHOR_LEFT, true, 400);
    GuiMenuButton* layout = bar->create_menu("Layout", GuiToolbar::ANCHOR_RIGHT);
    for (char const* entry : {"Single view", "Two views", "Four views"}) layout->get_menu()->add_item(entry);
    on_click(*bar->create_button(GuiResource::trash(), "Clear", "Clear the report", GuiToolbar::ANCHOR_RIGHT),
             [] { report(""); });
    GuiListButton* display = bar->create_list_button("Display Mode", 90, GuiToolbar::ANCHOR_RIGHT);
    display->set_items({"Shaded", "Wireframe", "Bounds"});
    display->set_selected_index(0);
    EventObject::connect(*display, EVT_ID_LIST_BUTTON_SELECTION_CHANGED, &on_display_mode);

    int const top = y + toolbar_panel_h + MARGIN;
    int const body_h = h - toolbar_panel_h - MARGIN;
    int const sliders_w = 300;
    int const list_w = 250;
    int const tabs_w = w - sliders_w - list_w - 2 * MARGIN;

    // Tabs: documents that close and open, over inspectors; tabs drag between the two.
    DemoPanel* tabs_panel = new DemoPanel(page, "tabs_panel", "Tabs", x, top, tabs_w, body_h);
    tabs_panel->anchor(L, T, R, B);
    int const inner_y = top + DemoPanel::TITLE_HEIGHT + 4;
    int const inner_h = body_h - DemoPanel::TITLE_HEIGHT - 8;
    int const documents_h = inner_h * 3 / 5;
    GuiTabWidget* documents = new GuiTabWidget(*tabs_panel, x + 4, inner_y, tabs_w - 8, documents_h);
    documents->set_constraints(L, T, R, B);
    struct Document {
        char const* name;
        char const* about;
    } const scenes[] = {{"Kitchen", "An interior lit by a window and two lamps."},
                        {"Street at dusk", "Wet asphalt, neon signs and a light fog."},
                        {"Forest", "Scattered trees over a height field."},
                        {"Studio", "A product on a cyclorama, three-point lighting."},
                        {"Warehouse", "Instanced shelves and crates."},
                        {"Product shot", "A watch on a turntable."}};
    for (Document const& scene : scenes)
        documents->add_tab(scene.name, make_document_page(*documents, scene.name, scene.about), &GuiResource::open());
    documents->enable_tabs_closing(true);
    documents->enable_add_tab_button(true);
    documents->enable_tabs_dragndrop(true);
    documents->set_tab_tooltip(0, "The kitchen scene");
    EventObject::connect(*documents, EVT_ID_TAB_WIDGET_ON_CLOSE_TAB_BUTTON, &on_close_tab_button);
    EventObject::connect(*documents, EVT_ID_TAB_WIDGET_ON_NEW_TAB_BUTTON, &on_new_tab, &state->tabs);
    EventObject::connect(*documents, EVT_ID_TAB_WIDGET_ON_TAB_CHANGE, &on_tab_change);

    int const inspectors_y = inner_y + documents_h + MARGIN;
    GuiTabWidget* inspectors =
        new GuiTabWidget(*tabs_panel, x + 4, inspectors_y, tabs_w - 8, inner_y + inner_h - inspectors_y);
    inspectors->set_constraints(L, B, R, B);
    inspectors->set_title_style(true);
    inspectors->enable_tabs_dragndrop(true);
    for (char const* name : {"Attributes", "Materials", "Render settings"})
        inspectors->add_tab(name, make_inspector_page(*inspectors, name));
    EventObject::connect(*inspectors, EVT_ID_TAB_WIDGET_ON_TAB_CHANGE, &on_tab_change);

    // A long list with its own scrollbar; the wheel over the list scrolls it too.
    int const list_x = x + tabs_w + MARGIN;
    DemoPanel* list_panel = new DemoPanel(page, "list_panel", "Scrolling: 400 scene items", list_x, top, list_w,
                                          body_h);
    list_panel->anchor(R, T, R, B);
    int const list_y = top + DemoPanel::TITLE_HEIGHT;
    int const list_h = body_h - DemoPanel::TITLE_HEIGHT - 1;
    ItemList* list = new ItemList(*list_panel, list_x + 1, list_y, list_w - 2 - SCROLLBAR_WIDTH, list_h);
    list->anchor(R, T, R, B);
    GuiScrollbar* scrollbar =
        new GuiScrollbar(*list_panel, list_x + list_w - 1 - SCROLLBAR_WIDTH, list_y, SCROLLBAR_WIDTH, list_h);
    scrollbar->set_constraints(R, T, R, B);
    scrollbar->set_range(ItemList::ROWS * ItemList::ROW_HEIGHT);
    scrollbar->set_wheel_factor(3 * ItemList::ROW_HEIGHT);
    list->set_scrollbar(scrollbar);
    EventObject::connect(*scrollbar, EVT_ID_SCROLLBAR_VALUE_CHANGED,
                         [](EventObject&, EventObject::EventInfo const&, void* data) {
                             static_cast<ItemList*>(data)->scrolled();
                         },
                         list);

    // Sliders: red, green and blue mix the swatch's colour, the exposure brightens it, and
    // the whole-number samples slider steps with the wheel.
    int const sliders_x = list_x + list_w + MARGIN;
    DemoPanel* sliders_panel = new DemoPanel(page, "sliders_panel", "Sliders (the wheel steps Samples)", sliders_x,
                                             top, sliders_w, body_h);
    sliders_panel->anchor(R, T, R, B);
    Swatch* swatch = new Swatch(*sliders_panel, sliders_x + 12, top + DemoPanel::TITLE_HEIGHT + 12, sliders_w - 24, 60);
    swatch->anchor(R, T, R, T);
    struct Spec {
        char const* name;
        GuiSlider::Type type;
        double min, max, value;
        int channel;
    } const specs[] = {{"Red", GuiSlider::TYPE_REAL, 0.0, 1.0, 0.8, 0},
                       {"Green", GuiSlider::TYPE_REAL, 0.0, 1.0, 0.45, 1},
                       {"Blue", GuiSlider::TYPE_REAL, 0.0, 1.0, 0.2, 2},
                       {"Exposure", GuiSlider::TYPE_REAL, -3.0, 3.0, 0.0, -1},
                       {"Samples", GuiSlider::TYPE_INTEGER, 1.0, 64.0, 16.0, -2}};
    int row_y = top + DemoPanel::TITLE_HEIGHT + 88;
    for (int i = 0; i < 5; ++i) {
        Spec const& spec = specs[i];
        SliderRow& row = state->sliders[i];
        row.name = spec.name;
        row.channel = spec.channel;
        row.swatch = swatch;
        DemoText* label = new DemoText(*sliders_panel, CoreString("slider_label_") + spec.name, sliders_x + 12, row_y,
                                       70, 18);
        label->set_text(spec.name);
        label->anchor(R, T, R, T);
        row.slider = new GuiSlider(*sliders_panel, sliders_x + 86, row_y, sliders_w - 150, 18, spec.type);
        row.slider->set_constraints(R, T, R, T);
        row.slider->set_min_value(spec.min);
        row.slider->set_max_value(spec.max);
        row.slider->set_value(spec.value);
        row.slider->enable_used_wheel(spec.type == GuiSlider::TYPE_INTEGER);
        row.value = new DemoText(*sliders_panel, CoreString("slider_value_") + spec.name,
                                 sliders_x + sliders_w - 58, row_y, 46, 18);
        row.value->anchor(R, T, R, T);
        row.value->set_text(format_value(spec.value));
        EventObject::connect(*row.slider, EVT_ID_SLIDER_VALUE_CHANGING, &on_slider_changing, &row);
        EventObject::connect(*row.slider, EVT_ID_SLIDER_VALUE_CHANGED, &on_slider_changed, &row);
        row_y += 30;
    }

    // Colour fields: the swatch opens the colour picker; the horizontal one also types its
    // components.
    TracedColorField* tint = new TracedColorField(*sliders_panel, sliders_x + 12, row_y + 6, sliders_w - 24, 20);
    tint->set_constraints(R, T, R, T);
    tint->set_color(GMathVec3<double>(0.8, 0.3, 0.1));
    tint->set_use_alpha(true);
    tint->set_tooltip("Click the swatch to pick a colour");
    tint->trace_position();
    GuiHorizontalColorField* fog =
        new GuiHorizontalColorField(*sliders_panel, sliders_x + 12, row_y + 36, sliders_w - 24, 20, "Fog");
    fog->set_constraints(R, T, R, T);
    fog->set_color(GMathVec3<double>(0.5, 0.55, 0.6));
}
