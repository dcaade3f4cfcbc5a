// Tab widgets: layout, the "More..." menu, the pointer, removing, moving and dropping tabs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/controls/gui_push_button.h"
#include "gui/panels/gui_tab_widget.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_resource.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/log_recorder.h"

namespace {

// Records the drags it is asked to start instead of running the toolkit's drag loop.
class RecordingTabWidget : public GuiTabWidget {
public:
    using GuiTabWidget::GuiTabWidget;
    std::vector<unsigned int> drags;

protected:
    bool do_initiate_dnd_event(unsigned int const& index) override
    {
        drags.push_back(index);
        return false;
    }
};

class TabWidgetTest : public ControlsTest {
protected:
    static constexpr int X = 10;
    static constexpr int Y = 20;

    template <class Tabs = GuiTabWidget>
    Tabs& make_tabs(std::vector<std::string> const& names, int w = 380, int h = 160)
    {
        Tabs* tabs = new Tabs(window(), X, Y, w, h);
        for (std::string const& name : names) tabs->add_tab(name.c_str(), new GuiWidget(*tabs, 0, 0, 10, 10));
        shown(tabs);
        m_log.listen(*tabs, {&EVT_ID_TAB_WIDGET_ON_TAB_CHANGE, &EVT_ID_TAB_WIDGET_ON_TAB_CLICK,
                             &EVT_ID_TAB_WIDGET_ON_CLOSE_TAB_BUTTON, &EVT_ID_TAB_WIDGET_CLOSE_TAB,
                             &EVT_ID_TAB_WIDGET_ON_NEW_TAB_BUTTON});
        return *tabs;
    }
    static int text_width(GuiTabWidget& tabs, CoreString const& text)
    {
        int w = 0, h = 0;
        tabs.get_text_size(text, w, h);
        return w;
    }
    // The middle of a header, in window coordinates.
    static int header_x(GuiTabWidget& tabs, unsigned int index)
    {
        GuiTabItem const* item = tabs.get_tab_item(index);
        return tabs.get_x() + item->get_x() + item->get_width() / 2;
    }
    static int header_y(GuiTabWidget& tabs) { return tabs.get_y() + tabs.get_tab_height() / 2 + 1; }
};

}  // namespace

TEST_F(TabWidgetTest, HeadersAreLaidOutFromTheLeftAndThePageFillsTheClientArea)
{
    GuiTabWidget& tabs = make_tabs({"Scene", "Render", "Log"});
    EXPECT_EQ(tabs.get_selected_tab(), 0) << "showing selects the first tab";

    int x = 8;
    for (unsigned int i = 0; i < 3; ++i) {
        GuiTabItem const* item = tabs.get_tab_item(i);
        EXPECT_EQ(item->get_x(), x) << i;
        EXPECT_EQ(item->get_width(), text_width(tabs, item->get_name()) + 16) << i;
        x += item->get_width();
    }

    // The page fills the client area: inside a one-pixel frame under the 22-pixel row.
    GuiWidget* page = tabs.get_tab_widget(0);
    EXPECT_EQ(page->get_x(), X + 1);
    EXPECT_EQ(page->get_y(), Y + 23);
    EXPECT_EQ(page->get_width(), 378);

    // A taller row and a resize refit the page.
    tabs.set_tab_height(30);
    tabs.resize(X, Y, 300, 120);
    EXPECT_EQ(page->get_y(), Y + 31);
    EXPECT_EQ(page->get_height(), 120 - 32);
}

TEST_F(TabWidgetTest, WithoutTheHeaderRowThePageTakesTheWholeWidget)
{
    GuiTabWidget& tabs = make_tabs({"One", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight"}, 150);
    ASSERT_TRUE(tabs.get_menu_button()->is_shown());
    tabs.enable_tabs_showing(false);
    GuiWidget* page = tabs.get_tab_widget(0);
    EXPECT_EQ(page->get_y(), Y);
    EXPECT_EQ(page->get_height(), 160);
    EXPECT_FALSE(tabs.get_menu_button()->is_shown()) << "no row, no \"More...\" button";

    // Clicks where the headers were do nothing.
    click(tabs, X + 30, Y + 5);
    EXPECT_TRUE(m_log.get().empty());
}

TEST_F(TabWidgetTest, TabsThatDoNotFitAreListedInTheMoreMenu)
{
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i) names.push_back("Tab " + std::to_string(i));
    GuiTabWidget& tabs = make_tabs(names, 240);
    unsigned int const visible = tabs.get_visible_tab_count();
    ASSERT_GT(visible, 0u);
    ASSERT_LT(visible, 12u);

    // The row ends before the button: the last header fits, the next one would reach it.
    GuiPushButton* more = tabs.get_menu_button();
    GuiTabItem const* last = tabs.get_tab_item(visible - 1);
    EXPECT_LT(X + last->get_x() + last->get_width(), more->get_x());
    EXPECT_GE(X + last->get_x() + last->get_width() + tabs.get_header_width(*tabs.get_tab_item(visible)),
              more->get_x());
    EXPECT_EQ(tabs.get_tab_item(visible)->get_width(), 0) << "tabs of the menu have no header";

    // The menu lists exactly the tabs out of the row; the selected one is checked, a
    // disabled one disabled.
    tabs.set_selected_tab(visible + 1);
    tabs.set_tab_enabled(visible + 2, false);
    click(*more, more->get_x() + 9, more->get_y() + 9);
    GuiMenu& menu = *tabs.get_tab_menu();
    ASSERT_TRUE(menu.is_shown());
    std::vector<std::string> expected(names.begin() + visible, names.end());
    EXPECT_EQ(item_names(menu), expected);
    for (unsigned int i = 0; i < menu.get_items().get_count(); ++i) {
        GuiMenuItem const* entry = menu.get_items()[i];
        EXPECT_EQ(entry->is_checked(), i == 1) << i;
        EXPECT_EQ(entry->is_enabled(), i != 2) << i;
    }

    // Choosing an entry shows its tab.
    m_log.clear();
    click_menu_row(menu, 3);
    EXPECT_EQ(tabs.get_selected_tab(), static_cast<int>(visible + 3));
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_TAB_WIDGET_ON_TAB_CHANGE"});

    // Wide enough for all: the button goes.
    tabs.resize(X, Y, 1000, 160);
    EXPECT_FALSE(more->is_shown());
}

TEST_F(TabWidgetTest, HeaderWidthsFollowTheNameAndTheFont)
{
    GuiTabWidget& tabs = make_tabs({"Scene", "Render"});
    GuiTabItem const* render = tabs.get_tab_item(1);
    tabs.set_tab_name(1, "Render settings");
    EXPECT_EQ(render->get_width(), text_width(tabs, "Render settings") + 16);

    tabs.get_font().set_size(tabs.get_font().get_size() + 6);
    tabs.rebuild_layout();
    EXPECT_EQ(render->get_width(), text_width(tabs, "Render settings") + 16);
    EXPECT_EQ(render->get_x(), 8 + text_width(tabs, "Scene") + 16);
}

TEST_F(TabWidgetTest, TabsPushedOutOfTheRowLoseTheirHeader)
{
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i) names.push_back("Tab " + std::to_string(i));
    GuiTabWidget& tabs = make_tabs(names, 240);
    unsigned int const visible = tabs.get_visible_tab_count();
    ASSERT_LT(visible, 12u);
    auto const expect_menu_tabs_without_box = [&tabs](char const* step) {
        for (unsigned int i = tabs.get_visible_tab_count(); i < tabs.get_tab_count(); ++i) {
            GuiTabItem const* item = tabs.get_tab_item(i);
            EXPECT_EQ(item->get_x() + item->get_width() + item->get_height() + item->get_close_width(), 0)
                << step << ", tab " << i;
        }
    };

    // A tab inserted in front pushes the last header into the menu; so does moving a
    // header there, closing buttons and all.
    tabs.insert_tab(0, "First", new GuiWidget(tabs, 0, 0, 10, 10));
    expect_menu_tabs_without_box("insert");
    tabs.enable_tabs_closing(true);
    tabs.move_tab(0, tabs.get_tab_count() - 1);
    expect_menu_tabs_without_box("move");
    tabs.resize(X, Y, 160, 160);
    expect_menu_tabs_without_box("narrower");
}

TEST_F(TabWidgetTest, SelectingATabHidesEveryOtherShownPage)
{
    GuiTabWidget& tabs = make_tabs({"A", "B", "C"});
    tabs.get_tab_widget(2)->show();  // shown from outside, beside the selected page
    tabs.set_selected_tab(1);
    EXPECT_FALSE(tabs.get_tab_widget(0)->is_shown());
    EXPECT_TRUE(tabs.get_tab_widget(1)->is_shown());
    EXPECT_FALSE(tabs.get_tab_widget(2)->is_shown());
}

TEST_F(TabWidgetTest, ClicksSelectOnPressAndReportTheClickOnRelease)
{
    GuiTabWidget& tabs = make_tabs({"Scene", "Render", "Log"});
    click(tabs, header_x(tabs, 1), header_y(tabs));
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TAB_WIDGET_ON_TAB_CHANGE", "EVT_ID_TAB_WIDGET_ON_TAB_CLICK"}));
    EXPECT_TRUE(tabs.get_tab_widget(1)->is_shown());
    EXPECT_FALSE(tabs.get_tab_widget(0)->is_shown());

    // The selected tab only reports the click.
    m_log.clear();
    click(tabs, header_x(tabs, 1), header_y(tabs));
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_TAB_WIDGET_ON_TAB_CLICK"});

    // Right clicks select nothing; disabled tabs ignore the pointer.
    m_log.clear();
    click(tabs, header_x(tabs, 2), header_y(tabs), 3);
    tabs.set_tab_enabled(0, false);
    click(tabs, header_x(tabs, 0), header_y(tabs));
    EXPECT_TRUE(m_log.get().empty());
    EXPECT_EQ(tabs.get_selected_tab(), 1);

    // set_selected_tab raises the change once, and not for the tab already shown.
    tabs.set_selected_tab(2);
    tabs.set_selected_tab(2);
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_TAB_WIDGET_ON_TAB_CHANGE"});
}

TEST_F(TabWidgetTest, MiddleClicksAndCloseButtonsAskForClosingWithoutSelecting)
{
    GuiTabWidget& tabs = make_tabs({"Scene", "Render", "Log"});
    click(tabs, header_x(tabs, 2), header_y(tabs), 2);
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_TAB_WIDGET_ON_CLOSE_TAB_BUTTON"});
    EXPECT_EQ(tabs.get_selected_tab(), 0);
    EXPECT_EQ(tabs.get_tab_count(), 3u) << "only the receiver closes";

    // The close button of a header asks for its tab; the release that follows is no click.
    tabs.enable_tabs_closing(true);
    m_log.clear();
    GuiTabItem const* render = tabs.get_tab_item(1);
    click(tabs, X + render->get_close_x() + render->get_close_width() / 2,
          Y + render->get_close_y() + render->get_close_height() / 2);
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_TAB_WIDGET_ON_CLOSE_TAB_BUTTON"});
    EXPECT_EQ(tabs.get_clicked_tab(), 1u);

    // The button answers two pixels inside its picture: its edge selects the tab.
    click(tabs, X + render->get_close_x() + 1, Y + render->get_close_y() + 1);
    EXPECT_EQ(tabs.get_selected_tab(), 1);
}

TEST_F(TabWidgetTest, RemovingAdjustsTheSelection)
{
    GuiTabWidget& tabs = make_tabs({"A", "B", "C", "D", "E"});
    std::vector<unsigned int> removed;
    EventObject::connect(
        tabs, EVT_ID_TAB_WIDGET_CLOSE_TAB,
        [](EventObject&, EventObject::EventInfo const& info, void* data) {
            static_cast<std::vector<unsigned int>*>(data)->push_back(
                *static_cast<unsigned int*>(info.get_event_data()));
        },
        &removed);

    // The selected first tab: the next one moves into place and stays selected at 0.
    GuiWidget* a = tabs.get_tab_widget(0);
    tabs.remove_tab(0);
    EXPECT_TRUE(a->is_destroyed());
    EXPECT_EQ(tabs.get_selected_tab(), 0);
    EXPECT_EQ(tabs.get_tab_name(0), "B");
    EXPECT_TRUE(tabs.get_tab_widget(0)->is_shown());

    // The selected third tab: the second is selected. [B C D E] -> [B C E]
    tabs.set_selected_tab(2);
    m_log.clear();
    tabs.remove_tab(2);
    EXPECT_EQ(tabs.get_selected_tab(), 1);
    EXPECT_EQ(tabs.get_tab_name(1), "C");
    EXPECT_TRUE(tabs.get_tab_widget(1)->is_shown());
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TAB_WIDGET_CLOSE_TAB", "EVT_ID_TAB_WIDGET_ON_TAB_CHANGE"}));

    // Before the selected one, the selection shifts down with its tab; after it, it stays.
    tabs.set_selected_tab(2);
    tabs.remove_tab(0);
    EXPECT_EQ(tabs.get_selected_tab(), 1);
    EXPECT_EQ(tabs.get_tab_name(1), "E");
    tabs.set_selected_tab(0);
    tabs.remove_tab(1);
    EXPECT_EQ(tabs.get_selected_tab(), 0);
    EXPECT_EQ(removed, (std::vector<unsigned int>{0, 2, 0, 1}));

    // Keeping the page: it is hidden and left to the caller.
    GuiWidget* kept = tabs.get_tab_widget(0);
    tabs.remove_tab(0, false);
    EXPECT_EQ(tabs.get_tab_count(), 0u);
    EXPECT_FALSE(kept->is_destroyed());
    EXPECT_FALSE(kept->is_shown());
    EXPECT_EQ(tabs.get_selected_tab(), 0);

    // Out of range: a warning and no change.
    LogRecorder log;
    tabs.add_tab("F", new GuiWidget(tabs, 0, 0, 10, 10));
    m_log.clear();
    tabs.remove_tab(3);
    EXPECT_EQ(tabs.get_tab_count(), 1u);
    EXPECT_TRUE(m_log.get().empty());
    EXPECT_TRUE(log.contains("GuiTabWidget.remove_tab")) << log.dump();
    EXPECT_TRUE(tabs.get_tab_widget(0)->is_shown()) << "a first tab added to a shown widget is shown";
}

TEST_F(TabWidgetTest, RemovingAllTabsHidesThePagesAndStartsAgainAtZero)
{
    GuiTabWidget& tabs = make_tabs({"A", "B", "C"});
    tabs.set_selected_tab(2);
    GuiWidget* c = tabs.get_tab_widget(2);
    tabs.remove_all_tabs();
    EXPECT_FALSE(c->is_shown());
    EXPECT_FALSE(c->is_destroyed());
    EXPECT_EQ(tabs.get_selected_tab(), 0);
}

TEST_F(TabWidgetTest, HoveringReportsEnteringAndLeavingHeaders)
{
    GuiTabWidget& tabs = make_tabs({"Scene", "Render"});
    m_log.listen(tabs, {&EVT_ID_TAB_WIDGET_START_OVER_TAB, &EVT_ID_TAB_WIDGET_LEAVE_OVER_TAB});
    tabs.set_tab_tooltip(1, "Render settings");
    tabs.set_tooltip("Editors");

    mouse_move(tabs, header_x(tabs, 0), header_y(tabs));
    mouse_move(tabs, header_x(tabs, 0) + 2, header_y(tabs));
    EXPECT_EQ(tabs.get_tooltip(), "Editors") << "a tab without tooltip shows the widget's";
    mouse_move(tabs, header_x(tabs, 1), header_y(tabs));
    EXPECT_EQ(tabs.get_tooltip(), "Render settings");
    mouse_move(tabs, header_x(tabs, 1), Y + 80);
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TAB_WIDGET_START_OVER_TAB", "EVT_ID_TAB_WIDGET_START_OVER_TAB",
                                  "EVT_ID_TAB_WIDGET_LEAVE_OVER_TAB"}));

    m_log.clear();
    mouse_move(tabs, header_x(tabs, 0), header_y(tabs));
    send_event(tabs, 11 /* FL_LEAVE */, X - 5, Y - 5);
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TAB_WIDGET_START_OVER_TAB", "EVT_ID_TAB_WIDGET_LEAVE_OVER_TAB"}));
}

TEST_F(TabWidgetTest, TheAddTabPseudoTabAsksForANewTab)
{
    GuiTabWidget& tabs = make_tabs({"Scene"});
    tabs.enable_add_tab_button(true);
    int const ax = X + tabs.get_add_tab_x() + tabs.get_add_tab_width() / 2;
    int const ay = Y + tabs.get_add_tab_y() + tabs.get_add_tab_height() / 2;
    click(tabs, ax, ay);
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_TAB_WIDGET_ON_NEW_TAB_BUTTON"});
    EXPECT_EQ(tabs.get_tab_count(), 1u) << "only the receiver adds a tab";
}

TEST_F(TabWidgetTest, MovingTabsKeepsTheSelectionOnItsTab)
{
    GuiTabWidget& tabs = make_tabs({"A", "B", "C", "D"});
    tabs.set_selected_tab(1);
    m_log.clear();
    EXPECT_TRUE(tabs.move_tab(0, 3));
    EXPECT_EQ(tabs.get_tab_name(3), "A");
    EXPECT_EQ(tabs.get_selected_tab(), 0) << "B moved to 0";
    EXPECT_TRUE(m_log.get().empty());

    EXPECT_TRUE(tabs.move_tab(3, 1, true));
    EXPECT_EQ(tabs.get_tab_name(1), "A");
    EXPECT_EQ(tabs.get_selected_tab(), 1);
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_TAB_WIDGET_ON_TAB_CHANGE"});
    for (unsigned int i = 1; i < 4; ++i)
        EXPECT_EQ(tabs.get_tab_item(i)->get_previous(), tabs.get_tab_item(i - 1)) << "linked both ways at " << i;

    LogRecorder log;
    EXPECT_FALSE(tabs.move_tab(0, 4));
    EXPECT_TRUE(log.contains("GuiTabWidget.move_tab")) << log.dump();
    EXPECT_EQ(tabs.get_tab_name(0), "B");
}

TEST_F(TabWidgetTest, DroppedTabsMoveIntoTheTargetWithTheirPage)
{
    GuiTabWidget& source = make_tabs({"A", "B", "C"}, 180);
    GuiTabWidget& target = *new GuiTabWidget(window(), 200, Y, 190, 160);
    target.add_tab("X", new GuiWidget(target, 0, 0, 10, 10));
    target.add_tab("Y", new GuiWidget(target, 0, 0, 10, 10));
    shown(&target);

    // Drop positions: before a header's middle goes before it.
    GuiTabItem const* y_item = target.get_tab_item(1);
    EXPECT_EQ(target.get_drop_index(y_item->get_x() + 1), 1u);
    EXPECT_EQ(target.get_drop_index(y_item->get_x() + y_item->get_width() - 1), 2u);

    GuiImage const& icon = GuiResource::open();
    source.set_tab_icon(1, &icon);
    source.set_selected_tab(1);
    GuiWidget* b = source.get_tab_widget(1);
    EXPECT_EQ(target.drop_tab(source, 1, 1), 1);
    EXPECT_EQ(source.get_tab_name(1), "C");
    EXPECT_EQ(source.get_selected_tab(), 0);
    EXPECT_EQ(target.get_tab_name(1), "B");
    EXPECT_EQ(target.get_tab_icon(1), &icon);
    EXPECT_EQ(target.get_tab_widget(1), b);
    EXPECT_EQ(b->get_parent(), &target);
    EXPECT_EQ(target.get_selected_tab(), 1);
    EXPECT_EQ(b->get_x(), 201) << "fitted to its new client area";

    // Onto its own widget: a reorder. Tab 0 dropped before tab 3 (the end) becomes last.
    EXPECT_EQ(target.drop_tab(target, 0, 3), 2);
    EXPECT_EQ(target.get_tab_name(2), "X");
    EXPECT_EQ(target.get_selected_tab(), 2);

    LogRecorder log;
    EXPECT_EQ(target.drop_tab(source, 5, 0), -1);
    EXPECT_TRUE(log.contains("GuiTabWidget.drop_tab")) << log.dump();
    EXPECT_EQ(source.get_tab_count(), 2u);
}

TEST_F(TabWidgetTest, ADragStartsAfterEightPixelsWhenEnabled)
{
    auto& tabs = make_tabs<RecordingTabWidget>({"Scene", "Render"});
    int const x = header_x(tabs, 1), y = header_y(tabs);
    mouse_down(tabs, x, y);
    throttled_drag(tabs, x + 10, y);
    mouse_up(tabs, x + 10, y);
    EXPECT_TRUE(tabs.drags.empty()) << "drag and drop is off by default";

    tabs.enable_tabs_dragndrop(true);
    mouse_down(tabs, x, y);
    throttled_drag(tabs, x + 7, y + 7);
    EXPECT_TRUE(tabs.drags.empty());
    throttled_drag(tabs, x + 7, y - 8);
    EXPECT_EQ(tabs.drags, std::vector<unsigned int>{1});
    throttled_drag(tabs, x + 30, y);
    EXPECT_EQ(tabs.drags.size(), 1u) << "one drag per press";
    mouse_up(tabs, x + 30, y);
}

TEST_F(TabWidgetTest, TheSelectedHeaderCarriesTheMarkerThatFollowsTheFocus)
{
    GuiTabWidget& tabs = make_tabs({"Scene", "Render"});
    GuiPushButton* field = new GuiPushButton(*tabs.get_tab_widget(0), X + 20, Y + 40, 60, 20, "Field");
    field->set_focus_receiver(true);
    field->show();
    pump_events(app());
    field->set_focus();
    EXPECT_FALSE(tabs.is_page_focused()) << "off by default";
    GMathVec3<unsigned char> const accent =
        tabs.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_ACCENT);
    // The top row of a header, where the marker is.
    auto marker = [&](unsigned int index) {
        pump_events(app());
        return pixel_at(window(), X + tabs.get_tab_item(index)->get_x() + 3, Y + 1);
    };
    EXPECT_EQ(marker(0), accent);
    EXPECT_NE(marker(1), accent) << "only the selected header carries the marker";

    tabs.set_display_focus(true);

    // The marker of the selected header dims when the focus leaves the page, and lights up
    // again when it comes back, from the application's focus announcements.
    GuiPushButton* outside = new GuiPushButton(window(), X + 20, Y + 250, 60, 20, "Outside");
    outside->set_focus_receiver(true);
    outside->show();
    GMathVec3<unsigned char> const dimmed =
        tabs.get_color(GuiColorScheme::GROUP_DISABLED, GuiColorScheme::ROLE_ACCENT);
    ASSERT_NE(accent, dimmed);
    outside->set_focus();
    EXPECT_EQ(marker(0), dimmed);
    field->set_focus();
    EXPECT_EQ(marker(0), accent);

    tabs.set_selected_tab(1);
    EXPECT_FALSE(tabs.is_page_focused()) << "the focus is not in the shown page";
}

TEST_F(TabWidgetTest, BadInputIsReportedAndChangesNothing)
{
    GuiTabWidget& tabs = make_tabs({"Scene"});
    LogRecorder log;
    tabs.set_selected_tab(4);
    tabs.set_tab_name(1, "Other");
    tabs.set_tab_enabled(7, false);
    tabs.set_tab_height(-3);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    EXPECT_EQ(tabs.get_selected_tab(), 0);
    EXPECT_EQ(tabs.get_tab_height(), 22);
    EXPECT_TRUE(m_log.get().empty());

    // A tab without page can be selected; the client area stays empty.
    EXPECT_EQ(tabs.add_tab("Empty", nullptr), 1u);
    tabs.set_selected_tab(1);
    EXPECT_FALSE(tabs.get_tab_widget(0)->is_shown());
    EXPECT_EQ(tabs.find_tab(nullptr), -1);
}
