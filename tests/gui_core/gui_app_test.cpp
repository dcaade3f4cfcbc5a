// GuiApp's queues: pending redraws and updates, deferred deletion, destroyed widgets.
// GoogleTest comes before Xlib, whose macros (None, Bool, ...) would break it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "tests/gui_core/gui_test_widgets.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"

namespace {

using Names = std::vector<std::string>;

class GuiAppTest : public GuiTest {
protected:
    // A shown widget of a shown window, with nothing pending.
    RecordingWidget& make_widget(int x = 10, int y = 10)
    {
        if (!m_window) m_window = &make_window();
        RecordingWidget* widget = new RecordingWidget(*m_window, x, y, 50, 20);
        widget->show();
        pump_events(app());
        widget->redraws = 0;
        widget->updates = 0;
        return *widget;
    }

    GuiWindow* m_window = nullptr;
    // What the widgets' callbacks report. A member, so that it outlives the widgets: the
    // fixture deletes them after the test.
    Names m_log;
};

}  // namespace

TEST_F(GuiAppTest, AWidgetQueuedTwiceIsRedrawnOnce)
{
    RecordingWidget& widget = make_widget();
    app().add_pending_redraw(&widget);
    app().add_pending_redraw(&widget);
    widget.redraw();
    app().add_pending_redraw(nullptr);
    EXPECT_EQ(app().get_pending_redraw_count(), 1u);
    app().process_pending();
    EXPECT_EQ(widget.redraws, 1);

    // Hidden widgets are not queued; a removed one is not redrawn.
    widget.hide();
    widget.redraw();
    EXPECT_FALSE(app().is_pending_redraw(&widget));
    widget.show();
    widget.redraw();
    app().remove_pending_redraw(&widget);
    app().process_pending();
    EXPECT_EQ(widget.redraws, 1);
}

TEST_F(GuiAppTest, DirtyWidgetsAreUpdatedBeforeTheRedrawsOfTheNextPass)
{
    RecordingWidget& widget = make_widget();
    widget.on_update = [this] { m_log.push_back("update"); };
    widget.on_redraw = [this] { m_log.push_back("redraw"); };
    widget.redraw();
    widget.set_is_dirty(true);
    EXPECT_TRUE(widget.get_is_dirty());
    app().process_pending();
    EXPECT_EQ(m_log, (Names{"update", "redraw"}));
    EXPECT_FALSE(widget.get_is_dirty());

    widget.set_is_dirty(true);
    widget.set_is_dirty(false);
    app().process_pending();
    EXPECT_EQ(widget.updates, 1);
}

TEST_F(GuiAppTest, APassStartedWithinAPassReturnsAtOnce)
{
    RecordingWidget& first = make_widget(10, 10);
    RecordingWidget& second = make_widget(70, 10);
    for (RecordingWidget* widget : {&first, &second}) {
        widget->on_update = [this] {
            m_log.push_back(app().is_processing() ? "update in a pass" : "update outside a pass");
            app().process_pending();
        };
        widget->set_is_dirty(true);
    }
    app().process_pending();
    EXPECT_EQ(m_log, (Names{"update in a pass", "update in a pass"}));
    EXPECT_EQ(first.updates, 1);
    EXPECT_EQ(second.updates, 1);
    EXPECT_FALSE(app().is_processing());
}

TEST_F(GuiAppTest, AWidgetDeletedDuringAPassIsNotCalledAfterwards)
{
    RecordingWidget* first = &make_widget(10, 10);
    RecordingWidget* second = &make_widget(70, 10);
    first->on_delete = [this] { m_log.push_back("first deleted"); };
    second->on_delete = [this] { m_log.push_back("second deleted"); };
    // Whichever is updated first deletes the other: the order of a pass is not defined.
    first->on_update = [second] { delete second; };
    second->on_update = [first] { delete first; };
    for (RecordingWidget* widget : {first, second}) {
        widget->set_is_dirty(true);
        widget->redraw();
    }
    app().process_pending();
    ASSERT_EQ(m_log.size(), 1u);
    RecordingWidget* survivor = m_log[0] == "first deleted" ? second : first;
    EXPECT_EQ(survivor->updates, 1);
    EXPECT_EQ(survivor->redraws, 1);
    EXPECT_EQ(app().get_pending_redraw_count() + app().get_pending_update_count(), 0u);
}

TEST_F(GuiAppTest, AWidgetDestroyedInItsOwnHandlerLivesUntilTheIdlePass)
{
    RecordingWidget& widget = make_widget();
    widget.on_delete = [this] { m_log.push_back("deleted"); };
    widget.answers[EVT_ID_MOUSE_DOWN.std_string()] = 1;
    widget.on_event = [this, &widget](CoreString const& name) {
        if (name != EVT_ID_MOUSE_DOWN) return;
        widget.destroy();
        m_log.push_back("destroyed");
    };
    widget.redraw();
    widget.set_is_dirty(true);

    EXPECT_EQ(mouse_down(widget, 20, 15), 1);
    EXPECT_EQ(m_log, Names{"destroyed"});
    EXPECT_TRUE(widget.is_destroyed());
    EXPECT_EQ(m_window->get_children().find(&widget), -1);
    EXPECT_EQ(app().get_destroy_queue_count(), 1u);

    pump_events(app());
    EXPECT_EQ(m_log, Names{"destroyed"});
    EXPECT_EQ(widget.updates, 0);
    EXPECT_EQ(widget.redraws, 0);
    process_idle(app());
    EXPECT_EQ(m_log, (Names{"destroyed", "deleted"}));
    EXPECT_EQ(app().get_destroy_queue_count(), 0u);
}

TEST_F(GuiAppTest, ADestroyedWidgetLeavesItsParentAndTheStatics)
{
    GuiWindow& window = make_window();
    GuiWidget* panel = new GuiWidget(window, 0, 0, 300, 200);
    std::vector<RecordingWidget*> children;
    for (int i = 0; i < 4; ++i) children.push_back(new RecordingWidget(*panel, 10 + 60 * i, 10, 50, 20));
    panel->show();
    RecordingWidget* doomed = children[1];
    doomed->set_focus_receiver(true);
    doomed->set_focus();
    mouse_down(*doomed, 75, 15);
    ASSERT_EQ(GuiWidget::get_last_focused_widget(), doomed);
    ASSERT_EQ(GuiWidget::get_last_event_widget(), doomed);

    // Hiding it sends the window events of its own: it may become the last event widget.
    doomed->destroy();
    EXPECT_EQ(GuiWidget::get_last_focused_widget(), nullptr);
    EXPECT_NE(GuiWidget::get_last_event_widget(), doomed);
    CoreVector<GuiWidget*> const& left = panel->get_children();
    ASSERT_EQ(left.get_count(), 3u);
    EXPECT_EQ(left.find(doomed), -1);
    for (unsigned int i = 0; i < left.get_count(); ++i) EXPECT_EQ(left[i]->get_index_in_parent(), int(i));

    process_idle(app());
    EXPECT_EQ(GuiWidget::get_focused_widget(), nullptr);
}

TEST_F(GuiAppTest, ClearAllChildrenDestroysDepthFirst)
{
    GuiWindow& window = make_window();
    GuiWidget* panel = new GuiWidget(window, 0, 0, 300, 200);
    auto make = [this](GuiWidget& parent, char const* name, int x) {
        RecordingWidget* widget = new RecordingWidget(parent, x, 10, 20, 20);
        widget->on_delete = [this, name] { m_log.push_back(name); };
        return widget;
    };
    RecordingWidget* a = make(*panel, "a", 10);
    RecordingWidget* a1 = make(*a, "a1", 12);
    RecordingWidget* a2 = make(*a, "a2", 14);
    RecordingWidget* b = make(*panel, "b", 40);
    panel->show();

    panel->clear_all_children();
    EXPECT_TRUE(panel->get_children().is_empty());
    for (GuiWidget* widget : {a, a1, a2, b}) {
        EXPECT_TRUE(widget->is_destroyed());
        EXPECT_FALSE(widget->is_shown());
    }
    EXPECT_TRUE(m_log.empty());
    process_idle(app());
    EXPECT_EQ(m_log, (Names{"a1", "a2", "a", "b"}));
}
