// The showcase's "Menus" page: push buttons, check buttons and check boxes on the left; a
// menu bar, a context menu with every kind of row and the page's shortcuts on the right.
#include <FL/Fl.H>

#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/core/gui_action.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_button.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/controls/gui_check_button.h"
#include "gui/controls/gui_checkbox.h"
#include "gui/controls/gui_push_button.h"
#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_resource.h"

using namespace demo_edges;

namespace {

constexpr int MARGIN = 8;

// Where the page reports what happened: a line of text and the trace.
DemoText* g_last = nullptr;

void report(CoreString const& what)
{
    if (g_last) g_last->set_text(what);
    DemoTrace::line(what);
}

// The page's actions all report their name.
void on_action(GuiWidget&, GuiAction const& action, void*)
{
    report(CoreString("action ") + action.get_name());
}

void on_menu_click(EventObject& sender, EventObject::EventInfo const&, void*)
{
    GuiMenuItem* item = static_cast<GuiMenu&>(sender).get_last_selected_item();
    if (!item) return;
    CoreString text = CoreString("menu click ") + item->get_name();
    if (item->get_checkable()) text += item->is_checked() ? " (checked)" : " (unchecked)";
    report(text);
}

// Reports the clicks of a menu and of all its sub-menus.
void listen_to_menu(GuiMenu& menu)
{
    EventObject::connect(menu, EVT_ID_MENU_CLICK, &on_menu_click);
    for (GuiMenuItem* item : menu.get_items())
        if (item->get_sub_menu() && !item->get_sub_menu()->is_overflow_menu()) listen_to_menu(*item->get_sub_menu());
}

// An area that takes the focus when clicked and opens its context menu on a right click.
class ContextArea : public DemoWidget {
public:
    ContextArea(GuiWidget& parent, int x, int y, int w, int h) : DemoWidget(parent, "context_area", x, y, w, h)
    {
        set_focus_receiver(true);
        set_tooltip("Right-click for the context menu; type in it to filter");
    }
    void set_menu(GuiMenu* menu) { m_menu = menu; }

    int process_event(CoreString const& name) override
    {
        if (name == EVT_ID_MOUSE_DOWN) {
            set_focus();
            return 1;
        }
        if (name == EVT_ID_MOUSE_UP && Gui::get_event_mouse_button() == Gui::MOUSE_BUTTON_ID_RIGHT && m_menu) {
            int x = 0, y = 0;
            Gui::get_mouse_screen_position(x, y);
            m_menu->popup(x, y);
            return 1;
        }
        if (name == EVT_ID_WIDGET_FOCUS_IN || name == EVT_ID_WIDGET_FOCUS_OUT) redraw();
        return DemoWidget::process_event(name);
    }

    void draw(GuiDc& dc) override
    {
        auto& wdc = static_cast<GuiWidgetDc&>(dc);
        int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
        GMathVec3<unsigned char> const fill = get_color(GuiColorScheme::ROLE_BACKGROUND_DARK);
        GMathVec3<unsigned char> const frame =
            get_color(has_focus() ? GuiColorScheme::ROLE_FOCUS : GuiColorScheme::ROLE_EDGE_SHADOW);
        GMathVec3<unsigned char> const text = get_color(GuiColorScheme::ROLE_TEXT_DIM);
        wdc.draw_rectf(x, y, w, h, fill[0], fill[1], fill[2]);
        wdc.draw_rect(x, y, w, h, frame[0], frame[1], frame[2]);
        wdc.draw_wrapped_text(
            "Right-click here for the context menu: sub-menus, check marks, a radio group, icons, looks "
            "and a long list that overflows into \"more ...\". Type while it is open to filter it (\"sph\" "
            "finds Sphere, \"nw\" finds New Window). Click here first to give this area the focus: "
            "Ctrl+D, F2 and Del then run the page's actions.",
            x + 10, y + 10, w - 20, h - 20, text[0], text[1], text[2]);
    }

private:
    GMathVec3<unsigned char> get_color(GuiColorScheme::Role role) const
    {
        return const_cast<ContextArea*>(this)->get_dc().get_color(GuiColorScheme::GROUP_NORMAL, role);
    }
    GuiMenu* m_menu = nullptr;
};

GuiMenu* build_context_menu(GuiWidget& owner)
{
    GuiMenu* menu = new GuiMenu(&owner);
    menu->set_enable_filter(true);
    menu->add_item(*owner.get_action("Duplicate"))->set_icon(&GuiResource::open());
    menu->add_item(*owner.get_action("Rename"));
    menu->add_item(*owner.get_action("Delete"))->set_icon(&GuiResource::trash());
    menu->add_item("New Window");

    menu->add_separator("Display");
    GuiMenuItem* grid = menu->add_item("Show Grid");
    grid->set_checkable(true);
    grid->check(true);
    menu->add_item("Show Bounding Boxes")->set_checkable(true);
    GuiMenuRadioGroup* shading = menu->create_radio_group();
    for (char const* name : {"Flat Shading", "Smooth Shading", "Wireframe"}) {
        GuiMenuItem* item = menu->add_item(name);
        item->set_radio_group(shading);
        if (CoreString(name) == "Smooth Shading") item->check(true);
    }

    menu->add_separator();
    GuiMenu* create = menu->add_sub_menu("Create", &GuiResource::magnifier());
    create->add_item("Camera");
    create->add_item("Light");
    GuiMenu* primitives = create->add_sub_menu("Primitives");
    for (char const* name : {"Cube", "Sphere", "Cylinder", "Cone", "Torus", "Plane"}) primitives->add_item(name);
    create->add_item("Render Layer");

    GuiMenu* looks = menu->add_sub_menu("Looks");
    looks->add_item("Bold item")->set_bold(true);
    looks->add_item("Italic item")->set_italic(true);
    looks->add_item("Struck-out item")->set_strikeout(true);
    looks->add_item("Faded item")->set_faded(true);
    looks->add_item("Disabled item")->disable();
    looks->add_item("With a shortcut")->set_shortcut("Ctrl+Alt+L");

    // Far more rows than the screen holds: the rest goes to "more ...".
    GuiMenu* many = menu->add_sub_menu("Scene Items (150)");
    for (int i = 1; i <= 150; ++i) {
        CoreString name = "Scene Item ";
        if (i < 100) name += "0";
        if (i < 10) name += "0";
        name += i;
        many->add_item(name);
    }
    listen_to_menu(*menu);
    return menu;
}

GuiMenu* build_bar_menu(GuiWidget& owner, char const* title)
{
    GuiMenu* menu = new GuiMenu(&owner);
    CoreString const name(title);
    if (name == "File") {
        menu->add_item("New Window");
        menu->add_item("Open...")->set_icon(&GuiResource::open());
        menu->add_item("Save")->set_icon(&GuiResource::save());
        menu->add_item("Save As...");
        GuiMenu* recent = menu->add_sub_menu("Recent Files");
        for (char const* file : {"street.scene", "studio.scene", "forest.scene"}) recent->add_item(file);
        menu->add_separator();
        menu->add_item("Close")->disable();
    } else if (name == "Edit") {
        menu->add_item(*owner.get_action("Duplicate"));
        menu->add_item(*owner.get_action("Rename"));
        menu->add_item(*owner.get_action("Delete"));
    } else {
        GuiMenuItem* hud = menu->add_item("Head-Up Display");
        hud->set_checkable(true);
        hud->check(true);
        menu->add_separator("Layout");
        GuiMenuRadioGroup* layout = menu->create_radio_group();
        for (char const* option : {"Single View", "Two Views", "Four Views"}) {
            GuiMenuItem* item = menu->add_item(option);
            item->set_radio_group(layout);
            if (CoreString(option) == "Single View") item->check(true);
        }
    }
    listen_to_menu(*menu);
    return menu;
}

}  // namespace

void ShowcaseWindow::build_menus_page(GuiWidget& page, int x, int y, int w, int h)
{
    // The page's actions: they run when a widget of the page has the focus.
    page.register_action("Duplicate", &on_action, "ctrl+d", "Duplicate the selected item", nullptr,
                         &GuiResource::open());
    page.register_action("Rename", &on_action, "f2", "Rename the selected item");
    page.register_action("Delete", &on_action, "del", "Delete the selected item", nullptr, &GuiResource::trash());

    int const column_w = (w - MARGIN) / 2;
    DemoPanel* buttons = new DemoPanel(page, "buttons_panel", "Buttons", x, y, column_w, h);
    buttons->anchor(L, T, L, B);
    int const bx = x + 12;
    int row_y = y + DemoPanel::TITLE_HEIGHT + 12;

    // One push button per style.
    struct Style {
        char const* label;
        GuiPushButton::Style style;
    } const styles[] = {{"Flat", GuiPushButton::STYLE_FLAT},
                        {"Simple", GuiPushButton::STYLE_SIMPLE},
                        {"Button", GuiPushButton::STYLE_BUTTON},
                        {"Round", GuiPushButton::STYLE_ROUND},
                        {"", GuiPushButton::STYLE_ICON_ONLY}};
    int button_x = bx;
    for (Style const& style : styles) {
        int const bw = style.style == GuiPushButton::STYLE_ICON_ONLY ? 28 : 76;
        GuiPushButton* button = new GuiPushButton(*buttons, button_x, row_y, bw, 26, style.label);
        button->set_style(style.style);
        if (style.style == GuiPushButton::STYLE_ICON_ONLY || style.style == GuiPushButton::STYLE_BUTTON)
            button->set_icon(GuiResource::save());
        button->set_tooltip(CoreString("Style ") + GuiPushButton::get_style_name(style.style));
        CoreString const label = style.label[0] ? CoreString(style.label) : CoreString("Icon only");
        on_click(*button, [label] { report(CoreString("button ") + label); });
        button_x += bw + 8;
    }
    row_y += 40;

    // Bound to an action: the tooltip shows its shortcut, a click runs it.
    GuiPushButton* duplicate = new GuiPushButton(*buttons, bx, row_y, 120, 26, "Duplicate");
    duplicate->set_icon(GuiResource::open());
    duplicate->set_action(page.get_action("Duplicate"));
    GuiPushButton* toggle = new GuiPushButton(*buttons, bx + 128, row_y, 100, 26, "Toggle");
    toggle->set_toggle(true);
    toggle->set_tooltip("Stays pushed until clicked again");
    on_click(*toggle, [] { report("toggle on"); });
    m_click_actions.push_back(std::make_unique<std::function<void()>>([] { report("toggle off"); }));
    EventObject::connect(
        static_cast<EventObject&>(*toggle), EVT_ID_PUSH_BUTTON_UNCLICK,
        [](EventObject&, EventObject::EventInfo const&, void* data) { (*static_cast<std::function<void()>*>(data))(); },
        m_click_actions.back().get());

    // A button with an option zone: its arrow opens a menu of variants.
    GuiPushButton* render = new GuiPushButton(*buttons, bx + 236, row_y, 110, 26, "Render");
    render->set_use_option(true);
    render->set_tooltip("Click to render; the arrow picks the quality");
    on_click(*render, [] { report("button Render"); });
    GuiMenu* quality = new GuiMenu(render);
    GuiMenuRadioGroup* qualities = quality->create_radio_group();
    for (char const* option : {"Draft", "Preview", "Final"}) {
        GuiMenuItem* item = quality->add_item(option);
        item->set_radio_group(qualities);
        if (CoreString(option) == "Preview") item->check(true);
    }
    listen_to_menu(*quality);
    m_click_actions.push_back(std::make_unique<std::function<void()>>(
        [render, quality] { quality->popup(*render, GuiMenu::ANCHOR_BOTTOM, 0, 0); }));
    EventObject::connect(
        static_cast<EventObject&>(*render), EVT_ID_PUSH_BUTTON_OPTION_CLICK,
        [](EventObject&, EventObject::EventInfo const&, void* data) { (*static_cast<std::function<void()>*>(data))(); },
        m_click_actions.back().get());
    row_y += 40;

    // Check buttons in both styles, and check boxes.
    GuiCheckButton* snap = new GuiCheckButton(*buttons, bx, row_y, 100, 26, "Snap");
    snap->set_style(GuiCheckButton::STYLE_FLAT);
    GuiCheckButton* grid = new GuiCheckButton(*buttons, bx + 108, row_y, 100, 26, "Grid");
    grid->set_style(GuiCheckButton::STYLE_BUTTON);
    grid->set_value(true);
    for (GuiCheckButton* check : {snap, grid}) {
        EventObject::connect(*check, EVT_ID_CHECK_BUTTON_CLICK, [](EventObject& sender, EventObject::EventInfo const&, void*) {
            auto& button = static_cast<GuiCheckButton&>(sender);
            report(CoreString("check ") + button.get_label() + (button.get_value() ? " on" : " off"));
        });
    }
    row_y += 40;
    for (char const* label : {"Show hidden items", "Save automatically"}) {
        GuiCheckbox* box = new GuiCheckbox(*buttons, bx, row_y, label);
        EventObject::connect(*box, EVT_ID_CHECKBOX_CLICK, [](EventObject& sender, EventObject::EventInfo const&, void*) {
            auto& checkbox = static_cast<GuiCheckbox&>(sender);
            report(CoreString("checkbox ") + checkbox.get_label() + (checkbox.get_value() ? " on" : " off"));
        });
        row_y += 28;
    }
    row_y += 12;
    g_last = new DemoText(*buttons, "menus_last", bx, row_y, column_w - 24, 40);
    g_last->set_text("Click a button or pick a menu item: it shows here.");

    // Right: a menu bar and the context area.
    int const right_x = x + column_w + MARGIN;
    int const right_w = w - column_w - MARGIN;
    DemoPanel* menus = new DemoPanel(page, "menus_panel", "Menus", right_x, y, right_w, h);
    menus->anchor(L, T, R, B);
    int const bar_y = y + DemoPanel::TITLE_HEIGHT + 4;
    m_menu_bar = std::make_unique<GuiMenuButtonGroup>();
    int item_x = right_x + 4;
    for (char const* title : {"File", "Edit", "View"}) {
        GuiMenuButton* button = new GuiMenuButton(*menus, item_x, bar_y, 56, 24, title, m_menu_bar.get());
        button->set_style(GuiCheckButton::STYLE_FLAT);
        button->set_menu(build_bar_menu(page, title));
        item_x += 60;
    }
    int const area_y = bar_y + 34;
    ContextArea* area = new ContextArea(*menus, right_x + 12, area_y, right_w - 24, y + h - area_y - 12);
    area->anchor(L, T, R, B);
    area->set_menu(build_context_menu(page));
}
