#pragma once
// What the control tests share: a recorder of the events raised on controls, and a fixture
// with a shown window to put them in, and a click on a row of an open menu.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/core/gui_widget.h"
#include "host/event/event_object.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"

using Names = std::vector<std::string>;

// The names of a menu's items, "-" for a separator.
inline Names item_names(GuiMenu& menu)
{
    Names names;
    for (GuiMenuItem* item : menu.get_items()) names.push_back(item->is_separator() ? "-" : item->get_name().std_string());
    return names;
}

// The names raised on the controls it listens to, in order.
class EventLog {
public:
    void listen(GuiWidget& widget, std::vector<CoreString const*> const& names)
    {
        for (CoreString const* name : names) EventObject::connect(widget, *name, &EventLog::on_event, this);
    }
    std::vector<std::string> const& get() const { return m_names; }
    int count(CoreString const& name) const
    {
        int n = 0;
        for (std::string const& raised : m_names) n += raised == name.std_string() ? 1 : 0;
        return n;
    }
    void clear() { m_names.clear(); }

private:
    static void on_event(EventObject&, EventObject::EventInfo const& info, void* data)
    {
        static_cast<EventLog*>(data)->m_names.push_back(info.get_name().std_string());
    }
    std::vector<std::string> m_names;
};

// A drag past the routers' throttle, so that it reaches the widget as a drag.
inline void throttled_drag(GuiWidget& widget, int x, int y)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(GuiWidget::DRAG_THROTTLE_MS) + 5));
    mouse_drag(widget, x, y);
}

// Points at a displayed row of an open menu and clicks it.
inline void click_menu_row(GuiMenu& menu, int row)
{
    int y = 0, h = 0;
    ASSERT_TRUE(menu.get_row_geometry(row, y, h));
    mouse_move(menu, 30, y + h / 2);
    mouse_down(menu, 30, y + h / 2);
    mouse_up(menu, 30, y + h / 2);
}

class ControlsTest : public GuiTest {
protected:
    GuiWindow& window()
    {
        if (!m_window) m_window = &make_window(400, 200);
        return *m_window;
    }
    // Shows the control and works off the redraws its creation queued.
    template <class Control>
    Control& shown(Control* control)
    {
        control->show();
        pump_events(app());
        return *control;
    }

    // A member, so that it outlives the controls the fixture deletes after the test.
    EventLog m_log;

private:
    GuiWindow* m_window = nullptr;
};
