#pragma once
// Widgets and listeners shared by the widget-tree tests: a widget that records what it is
// asked to do, one that paints itself in one colour, and a recorder of raised events.
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "gui/core/gui_dc.h"
#include "gui/core/gui_widget.h"

// Records the event names given to process_event and the redraws and updates of the
// processing passes. `answers` replaces the base's result for the names it holds.
class RecordingWidget : public GuiWidget {
public:
    RecordingWidget(GuiWidget& parent, int x, int y, int w, int h) : GuiWidget(parent, x, y, w, h) {}
    ~RecordingWidget() override
    {
        if (on_delete) on_delete();
    }

    int process_event(CoreString const& name) override
    {
        events.push_back(name.std_string());
        if (on_event) on_event(name);
        auto const found = answers.find(name.std_string());
        if (found != answers.end()) return found->second;
        return GuiWidget::process_event(name);
    }
    void widget_redraw() override
    {
        ++redraws;
        if (on_redraw) on_redraw();
        GuiWidget::widget_redraw();
    }
    void widget_update() override
    {
        ++updates;
        if (on_update) on_update();
    }

    int count(CoreString const& name) const
    {
        int n = 0;
        for (std::string const& event : events) n += event == name.std_string() ? 1 : 0;
        return n;
    }

    std::vector<std::string> events;
    std::map<std::string, int> answers;
    int redraws = 0;
    int updates = 0;
    std::function<void(CoreString const&)> on_event;
    std::function<void()> on_redraw;
    std::function<void()> on_update;
    std::function<void()> on_delete;
};

// Fills its box with one colour.
class FilledWidget : public GuiWidget {
public:
    FilledWidget(GuiWidget& parent, int x, int y, int w, int h, GMathVec3<unsigned char> const& color)
        : GuiWidget(parent, x, y, w, h), m_color(color)
    {
    }
    void draw(GuiDc& dc) override
    {
        dc.draw_rectf(GMathVec4<int>(get_x(), get_y(), get_width(), get_height()), m_color);
    }

private:
    GMathVec3<unsigned char> m_color;
};

// The events raised on the widgets it listens to, in order.
class RaisedEvents {
public:
    void listen(GuiWidget& widget, CoreString const& name)
    {
        EventObject::connect(widget, name, &RaisedEvents::on_event, this);
    }
    std::vector<std::pair<EventObject*, std::string>> const& get() const { return m_events; }
    int count(EventObject const& sender, CoreString const& name) const
    {
        int n = 0;
        for (auto const& [who, what] : m_events) n += who == &sender && what == name.std_string() ? 1 : 0;
        return n;
    }
    void clear() { m_events.clear(); }

private:
    static void on_event(EventObject& sender, EventObject::EventInfo const& info, void* data)
    {
        static_cast<RaisedEvents*>(data)->m_events.emplace_back(&sender, info.get_name().std_string());
    }
    std::vector<std::pair<EventObject*, std::string>> m_events;
};
