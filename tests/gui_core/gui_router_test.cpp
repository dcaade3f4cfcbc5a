// Event routing from the toolkit to widgets, mouse listeners and drag and drop.
// GoogleTest comes before Xlib, whose macros (None, Bool, ...) would break it.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "gui/core/gui_router.h"
#include "gui/core/gui_window.h"
#include "host/sys/sys_timer.h"
#include "tests/gui_core/gui_test_widgets.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"

namespace {

using Names = std::vector<std::string>;

class GuiRouterTest : public GuiTest {
protected:
    RecordingWidget& make_widget(int x = 10, int y = 10, int w = 60, int h = 40)
    {
        if (!m_window) m_window = &make_window();
        RecordingWidget* widget = new RecordingWidget(*m_window, x, y, w, h);
        widget->show();
        widget->events.clear();
        return *widget;
    }

    GuiWindow* m_window = nullptr;
    // What the widgets' callbacks report. A member, so that it outlives the widgets: the
    // fixture deletes them after the test.
    Names m_log;
    RaisedEvents m_raised;
};

}  // namespace

TEST_F(GuiRouterTest, HandledEventsAreRaisedOnTheWidget)
{
    RecordingWidget& widget = make_widget();
    widget.answers[EVT_ID_MOUSE_DOWN.std_string()] = 1;
    widget.answers[EVT_ID_MOUSE_WHEEL.std_string()] = 1;
    RaisedEvents& raised = m_raised;
    for (CoreString const* name : {&EVT_ID_MOUSE_DOWN, &EVT_ID_MOUSE_UP, &EVT_ID_MOUSE_WHEEL})
        raised.listen(widget, *name);

    EXPECT_EQ(mouse_down(widget, 20, 20), 1);
    EXPECT_EQ(mouse_up(widget, 20, 20), 0);
    EXPECT_EQ(wheel(widget, 0, 2), 1);
    EXPECT_EQ(widget.events, (Names{EVT_ID_MOUSE_DOWN.std_string(), EVT_ID_MOUSE_UP.std_string(),
                                    EVT_ID_MOUSE_WHEEL.std_string()}));
    using Raised = std::vector<std::pair<EventObject*, std::string>>;
    EXPECT_EQ(raised.get(), (Raised{{&widget, EVT_ID_MOUSE_DOWN.std_string()},
                                    {&widget, EVT_ID_MOUSE_WHEEL.std_string()}}));

    // A disabled widget, or one under a disabled parent, gets nothing.
    GuiWidget* parent = new GuiWidget(*m_window, 100, 10, 100, 100);
    RecordingWidget* child = new RecordingWidget(*parent, 110, 20, 20, 20);
    parent->show();
    parent->disable();
    widget.disable();
    widget.events.clear();
    child->events.clear();
    mouse_down(widget, 20, 20);
    mouse_down(*child, 115, 25);
    EXPECT_TRUE(widget.events.empty());
    EXPECT_TRUE(child->events.empty());
}

TEST_F(GuiRouterTest, EnterAndLeaveKeepTheEnteredFlag)
{
    RecordingWidget& widget = make_widget();
    EXPECT_FALSE(widget.is_entered());
    send_event(widget, FL_ENTER, 20, 20);
    EXPECT_TRUE(widget.is_entered());
    send_event(widget, FL_ENTER, 21, 20);
    EXPECT_EQ(widget.count(EVT_ID_MOUSE_ENTER), 1);

    send_event(widget, FL_LEAVE, 100, 100);
    EXPECT_FALSE(widget.is_entered());
    send_event(widget, FL_LEAVE, 100, 100);
    EXPECT_EQ(widget.count(EVT_ID_MOUSE_LEAVE), 1);

    send_event(widget, FL_ENTER, 20, 20);
    widget.hide();
    EXPECT_FALSE(widget.is_entered());
}

TEST_F(GuiRouterTest, DragsCloserThanTheThrottleGiveOneOrdinaryDrag)
{
    RecordingWidget& widget = make_widget();
    mouse_down(widget, 20, 20);
    SysTimer gap;
    mouse_drag(widget, 22, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    mouse_drag(widget, 24, 20);
    double const elapsed = gap.get_elapsed_time();
    EXPECT_EQ(widget.count(EVT_ID_MOUSE_DRAG_REAL_TIME), 2);
    EXPECT_GE(widget.count(EVT_ID_MOUSE_DRAG), 1);
    // On a machine too busy to send them within the throttle time both are ordinary.
    if (elapsed * 1000.0 < GuiWidget::DRAG_THROTTLE_MS) {
        EXPECT_EQ(widget.count(EVT_ID_MOUSE_DRAG), 1);
    }
    // When both are due, the ordinary drag comes first.
    EXPECT_EQ(widget.events[1], EVT_ID_MOUSE_DRAG.std_string());
    EXPECT_EQ(widget.events[2], EVT_ID_MOUSE_DRAG_REAL_TIME.std_string());

    int const ordinary = widget.count(EVT_ID_MOUSE_DRAG);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    mouse_drag(widget, 26, 20);
    EXPECT_EQ(widget.count(EVT_ID_MOUSE_DRAG), ordinary + 1);
    EXPECT_EQ(widget.count(EVT_ID_MOUSE_DRAG_REAL_TIME), 3);
    mouse_up(widget, 26, 20);
}

namespace {

// A mouse listener writing "<tag> <event>" into a shared log, and removing another listener
// from within its call when told to.
struct ListenerContext {
    std::vector<std::string>* log = nullptr;
    char const* tag = "";
    GuiApp* app = nullptr;
    ListenerContext* remove = nullptr;
};

void log_listener(GuiWidget&, CoreString const& event, void* data)
{
    ListenerContext* context = static_cast<ListenerContext*>(data);
    context->log->push_back(std::string(context->tag) + " " + event.get_data());
    if (context->remove) context->app->remove_mouse_listener(&log_listener, context->remove);
}

// Removes the listeners of a test, whatever it asserted.
struct ListenerCleanup {
    GuiApp& app;
    std::vector<ListenerContext*> contexts;
    ~ListenerCleanup()
    {
        for (ListenerContext* context : contexts) app.remove_mouse_listener(&log_listener, context);
        app.apply_listener_changes();
    }
};

}  // namespace

TEST_F(GuiRouterTest, MouseListenersSeeMouseEventsBeforeTheWidget)
{
    RecordingWidget& widget = make_widget();
    std::vector<std::string>& log = m_log;
    widget.on_event = [this](CoreString const& name) {
        m_log.push_back(std::string("widget ") + name.get_data());
    };
    ListenerContext context{&log, "listener", &app(), nullptr};
    ListenerCleanup cleanup{app(), {&context}};
    app().add_mouse_listener(&log_listener, &context);
    mouse_move(widget, 20, 20);
    EXPECT_EQ(log, Names{"widget EVT_ID_MOUSE_MOVE"}) << "added listeners wait for the next pass";
    log.clear();
    app().process_pending();

    mouse_down(widget, 20, 20);
    mouse_drag(widget, 21, 20);
    mouse_up(widget, 21, 20);
    mouse_move(widget, 22, 20);
    wheel(widget, 0, 1);
    send_event(widget, FL_ENTER, 20, 20);
    EXPECT_EQ(log,
              (Names{"listener EVT_ID_MOUSE_DOWN", "widget EVT_ID_MOUSE_DOWN", "listener EVT_ID_MOUSE_DRAG",
                     "widget EVT_ID_MOUSE_DRAG", "widget EVT_ID_MOUSE_DRAG_REAL_TIME",
                     "listener EVT_ID_MOUSE_UP", "widget EVT_ID_MOUSE_UP", "listener EVT_ID_MOUSE_MOVE",
                     "widget EVT_ID_MOUSE_MOVE", "widget EVT_ID_MOUSE_WHEEL", "widget EVT_ID_MOUSE_ENTER"}));
}

TEST_F(GuiRouterTest, ListenerRemovedDuringADispatchGoesAtTheNextPass)
{
    RecordingWidget& widget = make_widget();
    std::vector<std::string>& log = m_log;
    ListenerContext second{&log, "second", &app(), nullptr};
    ListenerContext first{&log, "first", &app(), &second};
    ListenerCleanup cleanup{app(), {&first, &second}};
    app().add_mouse_listener(&log_listener, &first);
    app().add_mouse_listener(&log_listener, &second);
    app().process_pending();

    mouse_down(widget, 20, 20);
    mouse_up(widget, 20, 20);
    EXPECT_EQ(log, (Names{"first EVT_ID_MOUSE_DOWN", "second EVT_ID_MOUSE_DOWN", "first EVT_ID_MOUSE_UP",
                          "second EVT_ID_MOUSE_UP"}));
    log.clear();
    first.remove = nullptr;
    app().process_pending();
    mouse_down(widget, 20, 20);
    EXPECT_EQ(log, Names{"first EVT_ID_MOUSE_DOWN"});
}

// --- Drag and drop ---

TEST_F(GuiRouterTest, DropTargetsAcceptEnterAndOnlyTheAcceptingOneGetsDrags)
{
    RecordingWidget& first = make_widget(10, 10);
    RecordingWidget& second = make_widget(100, 10);
    RecordingWidget& refusing = make_widget(200, 10);
    for (RecordingWidget* widget : {&first, &second}) {
        widget->answers[EVT_ID_DND_ENTER.std_string()] = 1;
        widget->answers[EVT_ID_DND_DRAG.std_string()] = 1;
        widget->answers[EVT_ID_DND_RELEASE.std_string()] = 1;
    }
    RaisedEvents& raised = m_raised;
    for (RecordingWidget* widget : {&first, &second, &refusing}) {
        raised.listen(*widget, EVT_ID_DND_ENTER);
        raised.listen(*widget, EVT_ID_DND_LEAVE);
    }

    EXPECT_EQ(send_event(first, FL_DND_ENTER, 20, 20), 1);
    EXPECT_TRUE(first.is_entered());
    EXPECT_EQ(send_event(second, FL_DND_ENTER, 110, 20), 1);
    EXPECT_EQ(GuiWidget::get_dnd_accepting_widget(), &second);
    EXPECT_EQ(first.count(EVT_ID_DND_LEAVE), 1);
    using Raised = std::vector<std::pair<EventObject*, std::string>>;
    EXPECT_EQ(raised.get(), (Raised{{&first, EVT_ID_DND_ENTER.std_string()},
                                    {&first, EVT_ID_DND_LEAVE.std_string()},
                                    {&second, EVT_ID_DND_ENTER.std_string()}}));

    EXPECT_EQ(send_event(first, FL_DND_DRAG, 20, 20), 0);
    EXPECT_EQ(send_event(second, FL_DND_DRAG, 111, 20), 1);

    // The drop goes to the accepting widget, whichever router the toolkit gives it to.
    EXPECT_EQ(send_event(first, FL_DND_RELEASE, 20, 20), 1);
    EXPECT_EQ(second.count(EVT_ID_DND_RELEASE), 1);

    // A widget refusing the drag still makes the previous one leave.
    raised.clear();
    EXPECT_EQ(send_event(refusing, FL_DND_ENTER, 210, 20), 0);
    EXPECT_EQ(GuiWidget::get_dnd_accepting_widget(), nullptr);
    EXPECT_EQ(raised.get(), (Raised{{&second, EVT_ID_DND_LEAVE.std_string()}}));

}

TEST_F(GuiRouterTest, NothingToDragStartsNoDrag)
{
    RecordingWidget& widget = make_widget();
    EXPECT_FALSE(widget.initiate_dnd_event(CoreVector<CoreBaseObject*>()));
    EXPECT_FALSE(widget.initiate_dnd_event(static_cast<CoreBaseObject*>(nullptr)));
    EXPECT_FALSE(GuiWidget::is_dnd_running());
}

namespace {

// What a timeout saw while the first drag's loop ran, and the answer to a second drag.
struct NestedDrag {
    GuiWidget* second_source = nullptr;
    bool called = false;
    bool running = false;
    GuiWidget* source = nullptr;
    unsigned int payload = 0;
    bool second_result = false;
    unsigned int payload_after_second = 0;
};

void start_second_drag(void* data)
{
    NestedDrag& nested = *static_cast<NestedDrag*>(data);
    nested.called = true;
    nested.running = GuiWidget::is_dnd_running();
    nested.source = GuiWidget::get_dnd_widget();
    nested.payload = GuiWidget::get_dnd_event_data().get_count();
    CoreBaseObject other;
    nested.second_result = nested.second_source->initiate_dnd_event(&other);
    nested.payload_after_second = GuiWidget::get_dnd_event_data().get_count();
    // Ends the toolkit's drag loop, as releasing the button would.
    Fl::pushed(nullptr);
}

}  // namespace

TEST_F(GuiRouterTest, ASecondDragDuringADragIsRefusedAsDone)
{
    RecordingWidget& source = make_widget(10, 10);
    RecordingWidget& other = make_widget(100, 10);
    NestedDrag nested;
    nested.second_source = &other;
    Fl::add_timeout(0.01, &start_second_drag, &nested);
    Fl::pushed(source.get_widget());
    CoreBaseObject first, second;
    CoreVector<CoreBaseObject*> payload;
    payload.add(&first);
    payload.add(&second);
    source.initiate_dnd_event(payload);
    Fl::remove_timeout(&start_second_drag, &nested);
    Fl::pushed(nullptr);

    ASSERT_TRUE(nested.called);
    EXPECT_TRUE(nested.running);
    EXPECT_EQ(nested.source, &source);
    EXPECT_EQ(nested.payload, 2u);
    EXPECT_TRUE(nested.second_result);
    EXPECT_EQ(nested.payload_after_second, 2u);
    EXPECT_FALSE(GuiWidget::is_dnd_running());
    EXPECT_TRUE(GuiWidget::get_dnd_event_data().is_empty());
}
