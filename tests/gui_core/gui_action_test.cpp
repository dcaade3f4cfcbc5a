// Actions: shortcut texts and their display form, matching the toolkit's key state
// (modifiers exactly, keypad digits, function keys), and how a focused widget and its
// ancestors try their actions.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <string>
#include <vector>

#include "gui/core/gui_action.h"
#include "gui/controls/gui_push_button.h"
#include "gui/core/gui_image.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"

namespace {

// Every run of a callback, as "action name@widget address".
std::vector<std::string> g_runs;

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

struct ShortcutCase {
    char const* text;
    char const* display;
    int key;
    int alternate;
    bool ctrl, shift, alt;
    char const* refused;  // the token a warning names, or null
};

}  // namespace

TEST_F(ActionTest, ShortcutTextsParseIntoKeysAndDisplayInTitleCase)
{
    GuiWindow& window = make_window(100, 100, false);
    ShortcutCase const cases[] = {
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
        {"", "", 0, 0, false, false, false, nullptr},
        // Malformed keys are left out and reported; the rest of the text still counts.
        {"ctrl+bogus", "Ctrl", 0, 0, true, false, false, "bogus"},
        {"f13", "", 0, 0, false, false, false, "f13"},
        {"f0", "", 0, 0, false, false, false, "f0"},
        {"f01", "", 0, 0, false, false, false, "f01"},
        {"ctrl+f05", "Ctrl", 0, 0, true, false, false, "f05"},
        {"f1x", "", 0, 0, false, false, false, "f1x"},
    };
    for (ShortcutCase const& c : cases) {
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
        }
    }

    // Mouse buttons come after the modifiers; only the first four tokens count.
    GuiAction mouse(window, "orbit", nullptr, "rightmouse+alt+leftmouse");
    EXPECT_EQ(mouse.get_shortcut(), "Alt+Leftmouse+Rightmouse");
    EXPECT_TRUE(mouse.is_left_button() && mouse.is_right_button() && !mouse.is_middle_button());
    GuiAction many(window, "many", nullptr, "ctrl+shift+alt+midmouse+x");
    EXPECT_EQ(many.get_key(), 0) << "the fifth token is not read";
    EXPECT_EQ(many.get_shortcut(), "Ctrl+Shift+Alt+Midmouse");

    // set_shortcut clears what the previous text set.
    GuiAction save(window, "save", nullptr, "ctrl+shift+s");
    save.set_shortcut("f5");
    EXPECT_FALSE(save.is_ctrl() || save.is_shift());
    EXPECT_EQ(save.get_key(), FL_F + 5);
    EXPECT_EQ(save.get_shortcut(), "F5");

    // Key names of the display table, keypad codes included.
    EXPECT_EQ(GuiAction::get_key_name(FL_KP + '3'), "keypad 3");
    EXPECT_EQ(GuiAction::get_key_name(FL_KP + '5'), "kekpad 5");
    EXPECT_EQ(GuiAction::get_key_name(FL_KP + '*'), "multiply");
    EXPECT_EQ(GuiAction::get_key_name(FL_Scroll_Lock), "slock");

    // Copies keep everything but the connections.
    GuiAction copy(save);
    EXPECT_EQ(copy.get_shortcut(), "F5");
    EXPECT_EQ(&copy.get_widget(), &window);
}

TEST_F(ActionTest, ModifiersMustMatchExactly)
{
    GuiWidget& child = focused_child();
    child.register_action("save", &record_run, "ctrl+s", "Save", &child);
    child.register_action("save as", &record_run, "ctrl+shift+s", "Save as", &child);

    EXPECT_EQ(key_down(child, 's', "s", FL_CTRL), 1);
    EXPECT_EQ(key_down(child, 's', "S", FL_CTRL | FL_SHIFT), 1);
    EXPECT_EQ(key_down(child, 's', "s", FL_CTRL | FL_ALT), 0) << "an extra Alt matches nothing";
    EXPECT_EQ(key_down(child, 's', "s"), 0) << "without Ctrl nothing matches";
    EXPECT_EQ(key_down(child, 's', "s", FL_CTRL | FL_BUTTON1), 0) << "a held mouse button is part of the state";
    EXPECT_EQ(g_runs, (std::vector<std::string>{"save@owner", "save as@owner"}));
}

TEST_F(ActionTest, DigitsFireFromBothRowsAndFunctionKeysFire)
{
    GuiWidget& child = focused_child();
    child.register_action("one", &record_run, "1", "", &child);
    child.register_action("full screen", &record_run, "f12", "", &child);
    EXPECT_EQ(key_down(child, '1', "1"), 1);
    EXPECT_EQ(key_down(child, FL_KP + '1', "1"), 1);
    EXPECT_EQ(key_down(child, '2', "2"), 0);
    EXPECT_EQ(key_down(child, FL_F + 12), 1);
    EXPECT_EQ(key_down(child, FL_F + 11), 0);
    EXPECT_EQ(g_runs, (std::vector<std::string>{"one@owner", "one@owner", "full screen@owner"}));
}

TEST_F(ActionTest, FirstRegisteredWinsDisabledConsumesAndAncestorsComeLast)
{
    GuiWidget& child = focused_child();
    GuiAction* first = child.register_action("first", &record_run, "ctrl+d", "", &child);
    child.register_action("second", &record_run, "ctrl+d", "", &child);
    m_panel->register_action("panel d", &record_run, "ctrl+d", "", m_panel);
    m_panel->register_action("panel e", &record_run, "ctrl+e", "", m_panel);

    key_down(child, 'd', "d", FL_CTRL);
    EXPECT_EQ(g_runs, (std::vector<std::string>{"first@owner"}));

    // A disabled action still takes its key: neither the second nor the panel's runs.
    g_runs.clear();
    first->set_enabled(false);
    EXPECT_EQ(key_down(child, 'd', "d", FL_CTRL), 1);
    EXPECT_TRUE(g_runs.empty());

    // The child has no Ctrl+E: the panel's action runs, for the panel.
    EXPECT_EQ(key_down(child, 'e', "e", FL_CTRL), 1);
    EXPECT_EQ(g_runs, (std::vector<std::string>{"panel e@owner"}));

    g_runs.clear();
    first->set_enabled(true);
    EXPECT_EQ(child.get_action("second")->get_name(), "second");
    EXPECT_EQ(child.get_action("nothing"), nullptr);

    // Removing actions: the next one of the same shortcut takes over.
    child.remove_action(first, true);
    key_down(child, 'd', "d", FL_CTRL);
    EXPECT_EQ(g_runs, (std::vector<std::string>{"second@owner"}));
    child.remove_all_actions();
    EXPECT_TRUE(child.get_actions().is_empty());
    g_runs.clear();
    key_down(child, 'd', "d", FL_CTRL);
    EXPECT_EQ(g_runs, (std::vector<std::string>{"panel d@owner"}));
}

TEST_F(ActionTest, CallRunsTheCallbackWithTheGivenWidget)
{
    GuiWindow& window = make_window(100, 100, false);
    GuiAction with(window, "with", &record_run, "", "", &window);
    GuiAction without(window, "without");
    EXPECT_TRUE(with.call(window));
    EXPECT_FALSE(without.call(window));
    GuiWidget* other = new GuiWidget(window, 0, 0, 10, 10);
    EXPECT_TRUE(with.call(*other));
    EXPECT_EQ(g_runs, (std::vector<std::string>{"with@owner", "with@other"}));
}

TEST_F(ActionTest, PushButtonRunsItsActionAndShowsTheShortcutInItsTooltip)
{
    GuiWindow& window = make_window(300, 200);
    GuiAction* save = window.register_action("save", &record_run, "ctrl+s", "Save", &window);
    GuiPushButton* button = new GuiPushButton(window, 10, 10, 80, 24, "Save");
    button->show();
    button->set_tooltip("Write the file");
    EXPECT_EQ(button->get_tooltip(), "Write the file");
    button->set_action(save);
    EXPECT_EQ(button->get_tooltip(), "Save (Ctrl+S)");
    int clicks = 0;
    EventObject::connect(*button, EVT_ID_PUSH_BUTTON_CLICK,
                         [](EventObject&, EventObject::EventInfo const&, void* data) { ++*static_cast<int*>(data); },
                         &clicks);
    click(*button, 30, 20);
    EXPECT_EQ(g_runs, (std::vector<std::string>{"save@owner"})) << "the action runs for its own widget";
    EXPECT_EQ(clicks, 0) << "a bound action replaces the click event";

    // A disabled action does not run; an action without tooltip keeps the button's own.
    save->set_enabled(false);
    click(*button, 30, 20);
    EXPECT_EQ(g_runs.size(), 1u);
    GuiAction* quiet = window.register_action("quiet", nullptr, "f2");
    button->set_action(quiet);
    EXPECT_EQ(button->get_tooltip(), "Write the file (F2)");
    button->set_action(nullptr);
    EXPECT_EQ(button->get_tooltip(), "Write the file");
    click(*button, 30, 20);
    EXPECT_EQ(clicks, 1);
}
