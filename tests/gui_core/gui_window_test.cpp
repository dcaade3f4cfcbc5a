// GuiWindow: the window list, owners, drawing, and the widget below the pointer.
// GoogleTest comes before Xlib, whose macros (None, Bool, ...) would break it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_PNG_Image.H>

#include <string>
#include <vector>

#include "gui/core/gui.h"
#include "gui/core/gui_window.h"
#include "host/sys/sys_filesystem.h"
#include "tests/gui_core/gui_test_widgets.h"
#include "tests/support/core_printers.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace {

using Color = GMathVec3<unsigned char>;
Color const RED(255, 0, 0);

class GuiWindowTest : public GuiTest {
protected:
    // What the widgets' callbacks report. A member, so that it outlives the widgets: the
    // fixture deletes them after the test.
    std::vector<std::string> m_log;
};

// Restores the mouse as the input device and parks the pointer away from the test windows.
struct PointerReset {
    ~PointerReset()
    {
        Gui::set_tablet_state(Gui::DEVICE_MOUSE, 0.0f, 0.0f, 0.0f);
        Gui::set_mouse_screen_position(1500, 1100);
    }
};

}  // namespace

TEST_F(GuiWindowTest, WindowListAndOwnedWindows)
{
    GuiWindow& first = make_window(200, 100, false);
    GuiWindow& second = make_window(200, 100, false);
    GuiWindow* owned = new GuiWindow(first, 60, 60, 100, 50, "owned");
    EXPECT_EQ(app().get_windows(), (CoreVector<GuiWindow*>{&first, &second}));
    EXPECT_EQ(first.get_child_windows(), CoreVector<GuiWindow*>{owned});
    EXPECT_EQ(owned->get_window(), owned);

    // Destroying a window takes it off the list at once; its owned windows go with it.
    RecordingWidget* inside = new RecordingWidget(*owned, 0, 0, 10, 10);
    inside->on_delete = [this] { m_log.push_back("deleted"); };
    first.destroy();
    EXPECT_EQ(app().get_windows(), CoreVector<GuiWindow*>{&second});
    process_idle(app());
    EXPECT_EQ(m_log, std::vector<std::string>{"deleted"});
}

TEST_F(GuiWindowTest, OwnersMustBeWindows)
{
    GuiWindow& owner = make_window(200, 100, false);
    GuiWindow& window = make_window(200, 100, false);
    GuiWidget* panel = new GuiWidget(owner, 0, 0, 50, 50);
    LogRecorder log;
    window.set_parent(panel);
    EXPECT_TRUE(log.contains("GuiWindow.set_parent: trying to parent a GuiWindow to a GuiWidget"))
        << log.dump();
    EXPECT_EQ(window.get_parent(), nullptr);
    EXPECT_TRUE(panel->get_children().is_empty());

    window.set_parent(&owner);
    EXPECT_EQ(owner.get_child_windows(), CoreVector<GuiWindow*>{&window});
    window.set_parent(nullptr);
    EXPECT_TRUE(owner.get_child_windows().is_empty());
}

TEST_F(GuiWindowTest, ResizableOnlyBeforeTheFirstShow)
{
    GuiWindow& window = make_window(200, 100, false);
    LogRecorder log;
    window.set_resizable(false);
    EXPECT_FALSE(window.is_resizable());
    window.set_resizable(true);
    EXPECT_EQ(log.count(), 0u) << log.dump();

    window.show();
    window.hide();
    window.set_resizable(false);
    EXPECT_TRUE(window.is_resizable());
    EXPECT_TRUE(log.contains("GuiWindow.set_resizable: can't set the flag after the window has been shown\n"))
        << log.dump();
}

// --- Drawing ---

TEST_F(GuiWindowTest, AFilledWidgetShowsAtItsPlace)
{
    GuiWindow& window = make_window(200, 100);
    FilledWidget* widget = new FilledWidget(window, 20, 30, 40, 20, RED);
    widget->show();
    pump_events(app());

    EXPECT_EQ(pixel_at(window, 30, 40), RED);

    // Hidden, it is drawn over by the window.
    widget->hide();
    window.redraw();
    pump_events(app());
    EXPECT_NE(pixel_at(window, 30, 40), RED);
}

TEST_F(GuiWindowTest, DrawingStaysInsideTheClipRegion)
{
    GuiWindow& window = make_window(200, 100);
    FilledWidget* widget = new FilledWidget(window, 10, 10, 100, 50, RED);
    widget->set_clip_region(0, 0, 50, 100);
    widget->enable_clipping();
    widget->show();
    pump_events(app());
    EXPECT_EQ(pixel_at(window, 49, 20), RED);
    EXPECT_NE(pixel_at(window, 50, 20), RED);
}

// --- Pointer ---

TEST_F(GuiWindowTest, TheWidgetBelowThePointerIsTheDeepestShownOne)
{
    PointerReset reset;
    GuiWindow& window = make_window(300, 200);
    GuiWidget* panel = new GuiWidget(window, 10, 10, 200, 150);
    GuiWidget* under = new GuiWidget(*panel, 20, 20, 100, 100);
    GuiWidget* over = new GuiWidget(*panel, 60, 60, 100, 50);
    GuiWidget* hidden = new GuiWidget(*panel, 60, 60, 20, 20);
    panel->show();
    hidden->hide();
    int const wx = window.get_x(), wy = window.get_y();

    // Overlapping siblings: the later one; a hidden one does not count.
    struct Row {
        int x, y;
        GuiWidget* below;
    } const rows[] = {{30, 30, under}, {65, 65, over}, {205, 155, panel}, {250, 180, &window}, {400, 180, nullptr}};
    for (Row const& row : rows) {
        ASSERT_EQ(Gui::set_mouse_screen_position(wx + row.x, wy + row.y), 0);
        EXPECT_EQ(Gui::get_below_mouse_widget(), row.below) << row.x << ", " << row.y;
        EXPECT_EQ(Gui::is_mouse_over_widget(*under), row.x < 130) << row.x << ", " << row.y;
        EXPECT_EQ(Gui::is_mouse_over_widget(window), row.x < 300) << row.x << ", " << row.y;
    }
}

TEST_F(GuiWindowTest, TheWidgetBelowThePointerIsInTheFrontMostWindow)
{
    PointerReset reset;
    GuiWindow& back = make_window(300, 200, true, 40, 40);
    GuiWidget* under = new GuiWidget(back, 0, 0, 300, 200);
    under->show();
    GuiWindow& front = make_window(200, 150, true, 100, 80);  // shown last: over the first
    GuiWidget* over = new GuiWidget(front, 0, 0, 200, 150);
    over->show();
    pump_events(app());

    ASSERT_EQ(Gui::set_mouse_screen_position(150, 120), 0);
    EXPECT_EQ(Gui::get_below_mouse_widget(), over);
    Gui::set_mouse_screen_position(60, 60);  // only the back window there
    EXPECT_EQ(Gui::get_below_mouse_widget(), under);
}

// --- Screenshots ---

TEST_F(GuiWindowTest, AScreenshotIsAPngOfTheWindowAsDrawn)
{
    GuiWindow& window = make_window(200, 100);
    (new FilledWidget(window, 20, 30, 40, 20, RED))->show();
    SysTempFolder folder;
    CoreString const path = folder / "shots/window.png";  // the folder is created
    ASSERT_TRUE(window.write_screenshot(path));

    Fl_PNG_Image picture(path.get_data());
    ASSERT_EQ(picture.w(), 200);
    ASSERT_EQ(picture.h(), 100);
    ASSERT_EQ(picture.d(), 3);
    auto const at = [&](int x, int y) {
        unsigned char const* p = reinterpret_cast<unsigned char const*>(picture.data()[0]) + (y * 200 + x) * 3;
        return Color(p[0], p[1], p[2]);
    };
    EXPECT_EQ(at(20, 30), RED);
    EXPECT_EQ(at(59, 49), RED);
    EXPECT_NE(at(60, 30), RED);
}

TEST_F(GuiWindowTest, PixelsOfARectangleAreReadRowsFirstAndCutToTheWindow)
{
    GuiWindow& window = make_window(200, 100);
    (new FilledWidget(window, 20, 30, 40, 20, RED))->show();
    int const w = 50, h = 30;
    std::vector<unsigned char> const pixels = window.read_pixels(10, 25, w, h);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(w * h * 3));
    auto const at = [&](int x, int y) {
        unsigned char const* p = pixels.data() + (y * w + x) * 3;
        return Color(p[0], p[1], p[2]);
    };
    EXPECT_EQ(at(10, 5), RED);   // the widget's top-left pixel, (20, 30) in the window
    EXPECT_NE(at(9, 5), RED);
    EXPECT_NE(at(10, 4), RED);
    EXPECT_EQ(window.read_pixels(180, 90, 50, 50).size(), static_cast<size_t>(20 * 10 * 3));

    LogRecorder log;
    EXPECT_TRUE(window.read_pixels(300, 10, 20, 20).empty());
    EXPECT_TRUE(make_window(50, 50, false).read_pixels(0, 0, 10, 10).empty());
    EXPECT_EQ(log.count(), 2u) << log.dump();
}

TEST_F(GuiWindowTest, AScreenshotOfAHiddenWindowOrToABadPathFailsWithAnError)
{
    SysTempFolder folder;
    GuiWindow& hidden = make_window(200, 100, false);
    LogRecorder log;
    EXPECT_FALSE(hidden.write_screenshot(folder / "hidden.png"));
    EXPECT_TRUE(log.contains("is not shown")) << log.dump();
    EXPECT_FALSE(SysFilesystem::file_exists(folder / "hidden.png"));

    GuiWindow& shown = make_window(200, 100);
    EXPECT_FALSE(shown.write_screenshot(folder / "picture.unknown_type"));
    EXPECT_TRUE(log.contains("could not write")) << log.dump();
}
