// Actions: shortcut texts, matching the key state, and the widget chain that tries them.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <functional>
#include <string>
#include <vector>

#include "gui/core/gui_action.h"
#include "gui/controls/gui_push_button.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"

namespace {

using Runs = std::vector<std::string>;

// Every run of a callback, as "action name@owner" when it ran for the widget given as data.
Runs g_runs;

void record_run(GuiWidget& widget, GuiAction const& action, void* data)
{
    g_runs.push_back(action.get_name().std_string() + (&widget == data ? "@owner" : "@other"));
}

class ActionTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        g_runs.clear();
    }
    // A focused widget inside a panel inside a shown window.
    GuiWidget& focused_child()
    {
        GuiWindow& window = make_window(300, 200);
        m_panel = new GuiWidget(window, 0, 0, 300, 200);
        GuiWidget* child = new GuiWidget(*m_panel, 10, 10, 100, 40);
        m_panel->show();
        child->show();
        child->set_focus_receiver(true);
        child->set_focus();
        pump_events(app());
        return *child;
    }
    GuiWidget* m_panel = nullptr;
};

}  // namespace

TEST_F(ActionTest, ShortcutTextsParseIntoKeysAndDisplayInTitleCase)
{
    GuiWindow& window = make_window(100, 100, false);
    struct {
        char const* text;
        char const* display;
        int key;
        int alternate;
        bool ctrl, shift, alt;
        char const* refused;  // the token a warning names, or null
    } const cases[] = {
        {"ctrl+shift+x", "Ctrl+Shift+X", 'x', 0, true, true, false, nullptr},
        {"Shift + Ctrl + S", "Ctrl+Shift+S", 's', 0, true, true, false, nullptr},  // any order and case
        {"alt f4", "Alt+F4", FL_F + 4, 0, false, false, true, nullptr},
        {"f12", "F12", FL_F + 12, 0, false, false, false, nullptr},
        {"1", "1", '1', FL_KP + '1', false, false, false, nullptr},
        {"ctrl+0", "Ctrl+0", '0', FL_KP + '0', true, false, false, nullptr},
        {"plus", "Plus", '+', FL_KP + '+', false, false, false, nullptr},
        {"ctrl+subtract", "Ctrl+Minus", '-', FL_KP + '-', true, false, false, nullptr},
        {"devide", "/", '/', FL_KP + '/', false, false, false, nullptr},
        {"decimal", "Decimal", '.', FL_KP + '.', false, false, false, nullptr},
        {"del", "Del", FL_Delete, 0, false, false, false, nullptr},
        {"bkspace", "Backspace", FL_BackSpace, 0, false, false, false, nullptr},
        {"pgup", "Pgup", FL_Page_Up, 0, false, false, false, nullptr},
        {"space", "Space", ' ', 0, false, false, false, nullptr},
        {"esc", "Esc", FL_Escape, 0, false, false, false, nullptr},
        {"ctrl+shift+alt+x+y", "Ctrl+Shift+Alt+X", 'x', 0, true, true, true, "y"},  // four tokens at most
        {"ctl+q", "Q", 'q', 0, false, false, false, "ctl"},
        {"", "", 0, 0, false, false, false, nullptr},
        // Malformed keys are left out and reported; the rest of the text still counts.
        {"ctrl+bogus", "Ctrl", 0, 0, true, false, false, "bogus"},
        {"f13", "", 0, 0, false, false, false, "f13"},
        {"f0", "", 0, 0, false, false, false, "f0"},
        {"f01", "", 0, 0, false, false, false, "f01"},
        {"ctrl+f05", "Ctrl", 0, 0, true, false, false, "f05"},
        {"f1x", "", 0, 0, false, false, false, "f1x"},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.text);
        LogRecorder log;
        GuiAction action(window, "test", nullptr, c.text);
        EXPECT_EQ(action.get_shortcut(), c.display);
        EXPECT_EQ(action.get_key(), c.key);
        EXPECT_EQ(action.get_alternate_key(), c.alternate);
        EXPECT_EQ(action.is_ctrl(), c.ctrl);
        EXPECT_EQ(action.is_shift(), c.shift);
        EXPECT_EQ(action.is_alt(), c.alt);
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), c.refused ? 1u : 0u) << log.dump();
        if (c.refused) {
            EXPECT_TRUE(log.contains('"' + std::string(c.refused) + '"')) << log.dump();
            EXPECT_TRUE(log.contains("the action \"test\"")) << log.dump();
        }
    }
}

TEST_F(ActionTest, MouseButtonsShowAfterTheModifiers)
{
    GuiAction orbit(make_window(100, 100, false), "orbit", nullptr, "rightmouse+alt+leftmouse");
    EXPECT_EQ(orbit.get_shortcut(), "Alt+Leftmouse+Rightmouse");
    EXPECT_TRUE(orbit.is_left_button() && orbit.is_right_button() && !orbit.is_middle_button());
}

TEST_F(ActionTest, ANewShortcutReplacesTheOldOne)
{
    GuiWindow& window = make_window(100, 100, false);
    GuiAction save(window, "save", nullptr, "ctrl+shift+s");
    save.set_shortcut("f5");
    EXPECT_FALSE(save.is_ctrl() || save.is_shift());
    EXPECT_EQ(save.get_key(), FL_F + 5);
}

TEST_F(ActionTest, AShortcutFiresOnItsKeyWithExactlyItsModifiers)
{
    GuiWidget& child = focused_child();
    for (char const* shortcut : {"ctrl+s", "ctrl+shift+s", "1", "f12"})
        child.register_action(shortcut, &record_run, shortcut, "", &child);
    struct {
        int key;
        char const* text;
        int modifiers;
        char const* runs;  // the action run, or null when the key is not taken
    } const cases[] = {
        {'s', "s", FL_CTRL, "ctrl+s"},
        {'s', "S", FL_CTRL | FL_SHIFT, "ctrl+shift+s"},
        {'s', "s", FL_CTRL | FL_ALT, nullptr},      // an extra Alt matches nothing
        {'s', "s", 0, nullptr},                     // nor a missing Ctrl
        {'s', "s", FL_CTRL | FL_BUTTON1, nullptr},  // a held mouse button is part of the state
        {'1', "1", 0, "1"},
        {FL_KP + '1', "1", 0, "1"},  // a digit fires from the keypad too
        {FL_F + 12, "", 0, "f12"},
        {FL_F + 11, "", 0, nullptr},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << ", modifiers " << c.modifiers);
        g_runs.clear();
        EXPECT_EQ(key_down(child, c.key, c.text, c.modifiers), c.runs ? 1 : 0);
        EXPECT_EQ(g_runs, c.runs ? Runs{std::string(c.runs) + "@owner"} : Runs{});
    }
}

TEST_F(ActionTest, TheFirstMatchingActionOfTheWidgetThenOfItsAncestorsTakesTheKey)
{
    struct {
        char const* what;
        std::function<void(GuiWidget& child, GuiAction& first)> change;
        int key;
        char const* runs;  // null: the key is taken and nothing runs
    } const cases[] = {
        {"only the first registered runs", [](GuiWidget&, GuiAction&) {}, 'd', "first@owner"},
        {"a disabled action takes its key", [](GuiWidget&, GuiAction& first) { first.set_enabled(false); },
         'd', nullptr},
        {"the next one takes over",
         [](GuiWidget& child, GuiAction& first) { child.remove_action(&first, true); }, 'd', "second@owner"},
        {"the panel's comes last", [](GuiWidget& child, GuiAction&) { child.remove_all_actions(); }, 'd',
         "panel d@owner"},
        {"the panel's runs for the panel", [](GuiWidget&, GuiAction&) {}, 'e', "panel e@owner"},
    };
    for (auto const& c : cases) {
        GuiWidget& child = focused_child();
        GuiAction* first = child.register_action("first", &record_run, "ctrl+d", "", &child);
        child.register_action("second", &record_run, "ctrl+d", "", &child);
        m_panel->register_action("panel d", &record_run, "ctrl+d", "", m_panel);
        m_panel->register_action("panel e", &record_run, "ctrl+e", "", m_panel);
        c.change(child, *first);
        g_runs.clear();
        EXPECT_EQ(key_down(child, c.key, std::string(1, static_cast<char>(c.key)), FL_CTRL), 1) << c.what;
        EXPECT_EQ(g_runs, c.runs ? Runs{c.runs} : Runs{}) << c.what;
    }
}

TEST_F(ActionTest, ActionsAreFoundByNameAndCallTheirCallbackWithTheGivenWidget)
{
    GuiWindow& window = make_window(100, 100, false);
    GuiAction* with = window.register_action("with", &record_run, "", "", &window);
    GuiAction* without = window.register_action("without");
    EXPECT_EQ(window.get_action("without"), without);
    EXPECT_TRUE(with->call(window));
    EXPECT_FALSE(without->call(window));
    EXPECT_TRUE(with->call(*new GuiWidget(window, 0, 0, 10, 10)));
    EXPECT_EQ(g_runs, (Runs{"with@owner", "with@other"}));
}

TEST_F(ActionTest, APushButtonRunsItsEnabledActionInsteadOfClicking)
{
    GuiWindow& window = make_window(300, 200);
    GuiAction* save = window.register_action("save", &record_run, "ctrl+s", "Save", &window);
    GuiPushButton* button = new GuiPushButton(window, 10, 10, 80, 24, "Save");
    button->show();
    int clicks = 0;
    EventObject::connect(
        *button, EVT_ID_PUSH_BUTTON_CLICK,
        [](EventObject&, EventObject::EventInfo const&, void* data) { ++*static_cast<int*>(data); }, &clicks);
    button->set_action(save);
    click(*button, 30, 20);
    save->set_enabled(false);
    click(*button, 30, 20);
    EXPECT_EQ(g_runs, Runs{"save@owner"}) << "for the action's own widget, and not once disabled";
    EXPECT_EQ(clicks, 0);
    button->set_action(nullptr);
    click(*button, 30, 20);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ActionTest, APushButtonShowsItsActionsShortcutInTheTooltip)
{
    GuiWindow& window = make_window(300, 200, false);
    GuiPushButton* button = new GuiPushButton(window, 10, 10, 80, 24, "Save");
    button->set_tooltip("Write the file");
    button->set_action(window.register_action("save", nullptr, "ctrl+s", "Save"));
    EXPECT_EQ(button->get_tooltip(), "Save (Ctrl+S)");
    button->set_action(window.register_action("quiet", nullptr, "f2"));
    EXPECT_EQ(button->get_tooltip(), "Write the file (F2)") << "without its own tooltip";
    button->set_action(nullptr);
    EXPECT_EQ(button->get_tooltip(), "Write the file");
}
