#pragma once
// What the colour suites share: a dialog in a shown window, and a count of the events
// raised on the objects it listens to.
#include <map>
#include <string>

#include "gui/color/gui_color_dialog.h"
#include "host/event/event_object.h"
#include "tests/support/gui_test_app.h"

// Counts events by name, from every object it listens to.
class EventCounter {
public:
    void listen(EventObject& sender, std::initializer_list<CoreString const*> names)
    {
        for (CoreString const* name : names)
            EventObject::connect(
                sender, *name,
                [](EventObject&, EventObject::EventInfo const& info, void* data) {
                    ++(*static_cast<std::map<std::string, int>*>(data))[info.get_name().get_data()];
                },
                &m_counts);
    }
    int count(CoreString const& name) const
    {
        auto found = m_counts.find(name.get_data());
        return found == m_counts.end() ? 0 : found->second;
    }
    void clear() { m_counts.clear(); }

private:
    std::map<std::string, int> m_counts;
};

class ColorTest : public GuiTest {
protected:
    // A dialog owned by a shown window, shown itself, with its events counted.
    GuiColorDialog& make_dialog()
    {
        GuiColorDialog* dialog = new GuiColorDialog(make_window(200, 100), 300, 40);
        dialog->show(Gui::COLOR_DEPTH_RGBA);
        pump_events(app());
        m_events.listen(*dialog, {&EVT_ID_COLOR_DIALOG_COLOR_CHANGING, &EVT_ID_COLOR_DIALOG_COLOR_OK,
                                  &EVT_ID_COLOR_DIALOG_COLOR_CANCEL});
        return *dialog;
    }
    // Removes the counter's free callbacks from the application after each test.
    void TearDown() override
    {
        EventObject::disconnect(app(), EVT_ID_COLOR_DIALOG_DISCONNECTED, m_app_callback);
        GuiTest::TearDown();
    }
    // Counts EVT_ID_COLOR_DIALOG_DISCONNECTED on the application.
    void listen_to_app()
    {
        m_app_callback = [](EventObject&, EventObject::EventInfo const&, void* data) { ++*static_cast<int*>(data); };
        EventObject::connect(app(), EVT_ID_COLOR_DIALOG_DISCONNECTED, m_app_callback, &m_disconnected);
    }

    EventCounter m_events;
    int m_disconnected = 0;
    EventObject::FreeCallback<EventObject> m_app_callback = nullptr;
};
