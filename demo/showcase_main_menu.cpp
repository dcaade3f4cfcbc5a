// The showcase's main menu bar: the application's menu description (File, Edit, View, Help)
// shown by GuiAppMainMenu on a toolbar, followed by tool buttons and a stretching scene
// summary; narrowing the window sends the last items into the toolbar's add-on menu.
#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/core/gui_action.h"
#include "gui/core/gui_app.h"
#include "gui/panels/gui_app_main_menu.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/controls/gui_check_button.h"
#include "gui/controls/gui_push_button.h"
#include "gui/panels/gui_toolbar.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_resource.h"
#include "host/app/app_dialog.h"
#include "host/app/app_main_menu.h"

namespace {

// A summary of the sample scene that takes the toolbar's free space.
class SceneSummary : public DemoWidget {
public:
    SceneSummary(GuiWidget& parent, CoreString const& text) : DemoWidget(parent, "scene_summary", 0, 0, 200, 18),
                                                              m_text(text)
    {
    }
    void draw(GuiDc& dc) override
    {
        auto& wdc = static_cast<GuiWidgetDc&>(dc);
        GMathVec3<unsigned char> const color =
            dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_DIM);
        wdc.draw_text_clampable(m_text, get_x() + 6, get_y(), get_width() - 12, get_height(), color[0], color[1],
                                color[2], true, false, true);
    }

private:
    CoreString m_text;
};

}  // namespace

void ShowcaseWindow::on_menu_command(AppMainMenuItem& item, void* data)
{
    ShowcaseWindow& self = *static_cast<ShowcaseWindow*>(data);
    CoreString const& path = item.get_path();
    DemoTrace::line(CoreString("main menu ") + path);
    if (path == "File>Open Scene...") {
        CoreString const file = self.m_app.open_file(CoreString(), "Open Scene", "Scenes (*.scene)\t*.scene");
        if (!file.is_empty()) DemoTrace::line(CoreString("chosen ") + file);
    } else if (path == "File>Quit") {
        self.m_app.quit();
    } else if (path == "Edit>Undo" || path == "Edit>Redo") {
        if (path == "Edit>Undo")
            self.m_tour->undo();
        else
            self.m_tour->redo();
        self.refresh_scene_text();
    } else if (path == "Edit>Preferences...") {
        self.show_page(PAGE_PREFERENCES);
    } else if (path == "View>Light Scheme") {
        self.set_light_scheme(item.is_checked());
    } else if (path.start_with("View>Page>")) {
        for (int p = 0; p < PAGE_COUNT; ++p)
            if (item.get_name() == get_page_label(static_cast<Page>(p))) self.show_page(static_cast<Page>(p));
    } else if (path == "View>Save Layout") {
        self.save_layout();
    } else if (path == "View>Restore Layout") {
        self.restore_layout();
    } else if (path == "Help>About") {
        self.show_about();
    } else if (path == "Help>Keyboard Shortcuts") {
        CoreString text;
        for (AppMainMenuItem* entry : self.m_app.get_main_menu().get_all_items())
            if (!entry->get_shortcut().is_empty())
                text += entry->get_path() + "    " + entry->get_shortcut() + "\n";
        self.m_app.message_box(text, "Keyboard shortcuts", AppDialog::ok(), AppDialog::STYLE_OK);
    }
}

void ShowcaseWindow::build_main_menu(GuiWindow& window, int width)
{
    using Kind = AppMainMenuItem::Kind;
    AppMainMenu& menu = m_app.get_main_menu();
    auto const add = [&](char const* path, Kind kind, char const* shortcut = "") {
        bool const command = kind == AppMainMenuItem::KIND_COMMAND || kind == AppMainMenuItem::KIND_CHECK;
        menu.add_item(path, kind, command ? &ShowcaseWindow::on_menu_command : nullptr, this, shortcut);
    };
    add("File", AppMainMenuItem::KIND_SUB_MENU);
    add("File>Open Scene...", AppMainMenuItem::KIND_COMMAND, "ctrl+o");
    add("File>-1", AppMainMenuItem::KIND_SEPARATOR);
    add("File>Quit", AppMainMenuItem::KIND_COMMAND, "ctrl+q");
    add("Edit", AppMainMenuItem::KIND_SUB_MENU);
    add("Edit>Undo", AppMainMenuItem::KIND_COMMAND, "ctrl+z");
    add("Edit>Redo", AppMainMenuItem::KIND_COMMAND, "ctrl+shift+z");
    add("Edit>-1", AppMainMenuItem::KIND_SEPARATOR);
    add("Edit>Preferences...", AppMainMenuItem::KIND_COMMAND);
    add("View", AppMainMenuItem::KIND_SUB_MENU);
    add("View>Light Scheme", AppMainMenuItem::KIND_CHECK, "ctrl+l");
    add("View>Page", AppMainMenuItem::KIND_SUB_MENU);
    for (int p = 0; p < PAGE_COUNT; ++p)
        add((CoreString("View>Page>") + get_page_label(static_cast<Page>(p))).get_data(), AppMainMenuItem::KIND_COMMAND);
    add("View>Save Layout", AppMainMenuItem::KIND_COMMAND, "ctrl+alt+s");
    add("View>Restore Layout", AppMainMenuItem::KIND_COMMAND, "ctrl+alt+r");
    add("Help", AppMainMenuItem::KIND_SUB_MENU);
    add("Help>Keyboard Shortcuts", AppMainMenuItem::KIND_COMMAND, "f1");
    add("Help>-1", AppMainMenuItem::KIND_SEPARATOR);
    add("Help>About", AppMainMenuItem::KIND_COMMAND);

    GuiToolbar* bar = new GuiToolbar(window, 0, 0, width, "Main menu");
    bar->set_constraints(GuiWidget::CONSTRAINT_LEFT, GuiWidget::CONSTRAINT_TOP, GuiWidget::CONSTRAINT_RIGHT,
                         GuiWidget::CONSTRAINT_TOP);
    bar->set_minimizable(false);
    m_main_menu = std::make_unique<GuiAppMainMenu>(m_app, menu);
    m_main_menu->set_toolbar(bar);
    m_main_menu->build_menus();

    // Tool buttons: Undo and Redo run the menu's actions (their tooltips show the shortcuts);
    // the transform tools are exclusive check buttons.
    bar->add_separator(GuiToolbar::ANCHOR_LEFT);
    for (char const* path : {"Edit>Undo", "Edit>Redo"}) {
        GuiMenuItem* item = m_main_menu->get_gui_item(path);
        GuiPushButton* button = bar->create_button(item->get_name(), "", GuiToolbar::ANCHOR_LEFT);
        button->set_action(item->get_action());
    }
    bar->add_separator(GuiToolbar::ANCHOR_LEFT);
    for (char const* tool : {"Select", "Move", "Rotate", "Scale"}) {
        GuiCheckButton* button =
            bar->create_check_button(tool, CoreString("The ") + tool + " tool", GuiToolbar::ANCHOR_LEFT);
        if (CoreString(tool) == "Select") button->set_value(true);
        m_tools.push_back(button);
        EventObject::connect(*button, EVT_ID_CHECK_BUTTON_CLICK,
                             [](EventObject& sender, EventObject::EventInfo const&, void* data) {
                                 auto& self = *static_cast<ShowcaseWindow*>(data);
                                 for (GuiCheckButton* other : self.m_tools) other->set_value(other == &sender);
                                 DemoTrace::line(CoreString("tool ") + static_cast<GuiCheckButton&>(sender).get_label());
                             },
                             this);
    }
    bar->add_separator(GuiToolbar::ANCHOR_LEFT);
    GuiPushButton* frame = bar->create_button(GuiResource::magnifier(), "Frame All", "Frame every object in view",
                                              GuiToolbar::ANCHOR_LEFT);
    on_click(*frame, [] { DemoTrace::line("frame all"); });
    SceneSummary* summary = new SceneSummary(window, m_tour->summary());
    bar->add_widget(*summary, GuiToolbar::ANCHOR_LEFT, true, 400);
    GuiPushButton* render =
        bar->create_button(GuiResource::save(), "Render", "Render the sample scene", GuiToolbar::ANCHOR_RIGHT);
    on_click(*render, [] { DemoTrace::line("render"); });
}
