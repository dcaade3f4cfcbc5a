// A window's own shortcuts (its menu's) fire while the window is active, whatever has the
// focus and wherever the pointer is. The keys go through the toolkit's own dispatch, as
// typed keys do.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <functional>

#include "gui/controls/gui_push_button.h"
#include "gui/core/gui.h"
#include "gui/core/gui_action.h"
#include "gui/core/gui_window.h"
#include "tests/gui_core/gui_test_widgets.h"
#include "tests/support/gui_event_state.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"

namespace {

int g_quits = 0;

void on_quit(GuiWidget&, GuiAction const&, void*)
{
    ++g_quits;
}

class WindowShortcutTest : public GuiTest {
public:
    // A window with a Quit action on Ctrl+Q: a panel above, a push button and a widget that
    // takes the focus below.
    void build()
    {
        g_quits = 0;
        m_window = &make_window(300, 200);
        m_panel = new RecordingWidget(*m_window, 0, 0, 300, 100);
        m_button = new GuiPushButton(*m_window, 20, 130, 80, 24, "Apply");
        m_field = new RecordingWidget(*m_window, 150, 130, 80, 24);
        for (GuiWidget* widget : {static_cast<GuiWidget*>(m_panel), static_cast<GuiWidget*>(m_button),
                                  static_cast<GuiWidget*>(m_field)})
            widget->show();
        m_field->set_focus_receiver(true);
        m_window->register_action("Quit", &on_quit, "ctrl+q");
        pump_events(app());
    }
    void TearDown() override
    {
        Gui::set_mouse_screen_position(1500, 1100);
        GuiTest::TearDown();
    }

    void point_at(int x, int y)
    {
        GMathVec2<int> const origin = m_window->get_position();
        Gui::set_mouse_screen_position(origin[0] + x, origin[1] + y);
        pump_events(app(), 0.05);
    }
    // Ctrl+Q typed into the active window, dispatched by the toolkit to whatever has its focus.
    void type_ctrl_q()
    {
        GMathVec2<int> const origin = m_window->get_position();
        int px = 0, py = 0;
        Gui::get_mouse_screen_position(px, py);
        GuiEventState state;
        state.set_event(FL_KEYDOWN).set_key('q').set_state(FL_CTRL).set_text("q");
        state.set_position_in_window(origin[0], origin[1], px - origin[0], py - origin[1]);
        Fl::handle(FL_KEYDOWN, m_window->get_router());
    }

    GuiWindow* m_window = nullptr;
    RecordingWidget* m_panel = nullptr;
    GuiPushButton* m_button = nullptr;
    RecordingWidget* m_field = nullptr;
};

}  // namespace

TEST_F(WindowShortcutTest, TheWindowsShortcutFiresWhateverHasTheFocusAndWhereverThePointerIs)
{
    struct {
        char const* what;
        std::function<void(WindowShortcutTest&)> before;
        int quits;
    } const cases[] = {
        {"fresh window, pointer outside", [](WindowShortcutTest&) {}, 1},
        {"fresh window, pointer over a widget", [](WindowShortcutTest& t) { t.point_at(50, 50); }, 1},
        {"after clicking a push button",
         [](WindowShortcutTest& t) {
             t.point_at(40, 140);
             click(*t.m_button, 40, 140);
         },
         1},
        {"a focused widget that does not take the key",
         [](WindowShortcutTest& t) {
             t.m_field->set_focus();
             t.point_at(50, 50);
         },
         1},
        {"the widget below the pointer takes the key",
         [](WindowShortcutTest& t) {
             t.m_panel->answers[EVT_ID_KEY_SHORTCUT.std_string()] = 1;
             t.point_at(50, 50);
         },
         0},
        {"after the dialog that had the focus has closed",
         [](WindowShortcutTest& t) {
             GuiWindow* dialog = new GuiWindow(*t.m_window, 80, 80, 120, 60, "Dialog");
             RecordingWidget* answer = new RecordingWidget(*dialog, 10, 10, 80, 24);
             answer->show();
             answer->set_focus_receiver(true);
             dialog->show();
             answer->set_focus();
             dialog->hide();
             t.point_at(50, 50);
         },
         1},
        {"the window is disabled", [](WindowShortcutTest& t) { t.m_window->disable(); }, 0},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        build();
        c.before(*this);
        pump_events(app());
        type_ctrl_q();
        EXPECT_EQ(g_quits, c.quits);
        TearDown();
    }
}
