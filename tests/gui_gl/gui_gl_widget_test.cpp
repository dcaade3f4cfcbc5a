// OpenGL widgets: version checks through a faked driver, context loss, text and rectangles.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <thread>

#include "gui/core/gui_app.h"
#include "gui/gl/gui_gl_widget.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "host/glutils/glutils_gl_ctx.h"
#include "tests/gui_gl/gui_gl_test_view.h"
#include "tests/support/log_recorder.h"

namespace {

using GuiGlTest = GlViewTest;

// Driver answers for the version seam.
int g_major = 0;
int g_minor = 0;
bool g_knows_version = true;
unsigned int g_error = GL_NO_ERROR;

void fake_get_integer(unsigned int name, int* value)
{
    if (!g_knows_version) {
        g_error = GL_INVALID_ENUM;
        return;
    }
    *value = name == GL_MAJOR_VERSION ? g_major : g_minor;
}

unsigned int fake_get_error()
{
    unsigned int const error = g_error;
    g_error = GL_NO_ERROR;
    return error;
}

TEST(GuiGlVersion, AnswersOfTheDriverBecomeVersionsAndMessages)
{
    GuiGlWidget::set_version_query(&fake_get_integer, &fake_get_error);
    LogRecorder log;

    g_knows_version = false;
    EXPECT_EQ(GuiGlWidget::get_opengl_major_version_number(), -1);
    EXPECT_EQ(GuiGlWidget::get_opengl_version_as_string(), "");
    EXPECT_FALSE(GuiGlWidget::is_current_opengl_version_supported());
    EXPECT_TRUE(log.contains("Current OpenGL version is unsupported: failed to get version number.\n"));

    // A minor number of two digits is ignored; 2.0 is the oldest version supported.
    g_knows_version = true;
    struct Row {
        int major, minor;
        float version;
        char const* text;
        bool supported;
    };
    for (Row const& row : {Row{4, 10, 4.0f, "", true}, Row{1, 5, 1.5f, "1.5", false}, Row{2, 0, 2.0f, "2.0", true}}) {
        g_major = row.major;
        g_minor = row.minor;
        EXPECT_FLOAT_EQ(GuiGlWidget::get_opengl_version_as_float(), row.version);
        EXPECT_EQ(GuiGlWidget::get_opengl_version_as_string(), row.text);
        EXPECT_EQ(GuiGlWidget::is_current_opengl_version_supported(), row.supported) << row.version;
    }
    EXPECT_TRUE(log.contains("Current OpenGL version 1.5 is unsupported.\n")) << log.dump();
    GuiGlWidget::set_version_query(nullptr, nullptr);
}

TEST(GuiGlContext, CommandsWaitForTheDrawingThread)
{
    GlUtilsGlCtx context;
    int ran = 0;
    context.execute_or_queue([&ran] { ++ran; });
    EXPECT_EQ(ran, 0);
    context.set_current(true);
    std::thread other([&context, &ran] { context.execute_or_queue([&ran] { ran += 10; }); });
    other.join();
    EXPECT_EQ(ran, 0);  // another thread's command waits too
    context.execute_or_queue([&ran] { ran += 100; });
    EXPECT_EQ(ran, 100);
    context.run_queued_commands();
    EXPECT_EQ(ran, 111);
    context.queue([&ran] { ran = -1; });
    context.clear_queued_commands();
    context.run_queued_commands();
    EXPECT_EQ(ran, 111);
}

TEST_F(GuiGlTest, RectanglesAndBlackAreDrawnAsAsked)
{
    GlTestView& view = make_view(200, 120);
    view.drawing = [](GuiGlWidgetDc& dc) {
        dc.draw_rectf(0, 0, 200, 120, 255, 255, 255);
        dc.draw_rectf(10, 10, 30, 20, 0, 0, 0);
        dc.draw_rectf(60, 10, 30, 20, 200, 40, 10);
    };
    draw(view);
    EXPECT_EQ(view.pixel(20, 15), GMathVec3<unsigned char>(0, 0, 0));  // black, not the palette's entry 0
    EXPECT_EQ(view.pixel(70, 15), GMathVec3<unsigned char>(200, 40, 10));
    EXPECT_EQ(view.pixel(150, 100), GMathVec3<unsigned char>(255, 255, 255));
    EXPECT_TRUE(GuiGlWidget::is_current_opengl_version_supported());
}

TEST_F(GuiGlTest, TextAppearsAtItsBaselineWithItsMeasuredWidth)
{
    GlTestView& view = make_view(400, 200);
    view.get_font().set_size(12);
    view.drawing = [](GuiGlWidgetDc& dc) { dc.draw_text("HHHH", 50, 100, 255, 255, 255); };
    draw(view);
    GlTestView::Box const small = view.lit_box();
    // Capitals of a 12-pixel font sit on the baseline: about 8 to 9 pixels high.
    EXPECT_NEAR(small.y1, 99, 1);
    EXPECT_NEAR(small.y1 - small.y0 + 1, 9, 2);
    EXPECT_NEAR(small.x0, 51, 2);
    EXPECT_NEAR(small.x1 - small.x0, view.get_text_width("HHHH") - 2, 3);
}

TEST_F(GuiGlTest, AnEmptyViewportDrawsNoText)
{
    GlTestView& view = make_view(200, 100);
    view.drawing = [](GuiGlWidgetDc& dc) {
        glViewport(0, 0, 0, 0);
        dc.draw_text("HHHH", 20, 50, 255, 255, 255);
        glViewport(0, 0, 200, 100);
    };
    draw(view);
    EXPECT_TRUE(view.lit_box(10).empty());
}

TEST_F(GuiGlTest, EllipsedTextFitsItsWidth)
{
    GlTestView& view = make_view(200, 100);
    draw(view);
    view.set_active_font(view.get_font());
    CoreString const text("abcdefghij");
    int const five = view.get_text_width("abcde");
    CoreString const end = view.get_ellipsed_text(text, five, GuiGlWidget::TEXT_ELLIPSIS_END);
    CoreString const start = view.get_ellipsed_text(text, five, GuiGlWidget::TEXT_ELLIPSIS_START);
    CoreString const middle = view.get_ellipsed_text(text, five, GuiGlWidget::TEXT_ELLIPSIS_MIDDLE);
    EXPECT_EQ(end.std_string().substr(end.get_length() - 3), "...");
    EXPECT_EQ(end.std_string().substr(0, 1), "a");
    EXPECT_EQ(start.std_string().substr(0, 3), "...");
    EXPECT_NE(middle.find("..."), CoreString::NOT_FOUND);
    for (CoreString const* shortened : {&end, &start, &middle}) EXPECT_LE(view.get_text_width(*shortened), five);
    EXPECT_EQ(view.get_ellipsed_text(text, view.get_text_width(text), GuiGlWidget::TEXT_ELLIPSIS_END), text);
    // Latin-1 characters survive the trip through the atlas's codes.
    EXPECT_EQ(GuiGlWidget::to_atlas_codes("\xc3\xa9t\xe2\x82\xac"), std::string("\xe9t?"));
}

TEST_F(GuiGlTest, TheLastViewTakesTheContextAndItsFontDataWithIt)
{
    int destroyed = 0;
    EventObject::FreeCallback<EventObject> const count = [](EventObject&, EventObject::EventInfo const&, void* data) { ++*static_cast<int*>(data); };
    EventObject::connect(static_cast<EventObject&>(app()), EVT_ID_GL_CONTEXT_DESTROYED, count, &destroyed);
    GuiWindow& window = make_window(220, 120);
    GlTestView* first = &make_view_in(window, 0, 0, 100, 100);
    GlTestView* second = &make_view_in(window, 110, 0, 100, 100);
    first->drawing = [](GuiGlWidgetDc& dc) { dc.draw_text("A", 10, 50, 255, 255, 255); };
    draw(*first);
    draw(*second);
    FontGlData const* font = first->get_active_font();
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font->is_ready());

    delete second;
    EXPECT_EQ(destroyed, 0);
    delete first;
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(font->is_ready());
    EXPECT_EQ(GuiGlWidget::get_gl_list_count(), 0u);

    // A new view makes everything again. Hiding its window destroys the context, and shown
    // again the view draws text again.
    GlTestView& again = make_view_in(window, 0, 0, 100, 100);
    again.drawing = [](GuiGlWidgetDc& dc) { dc.draw_text("A", 10, 50, 255, 255, 255); };
    draw(again);
    EXPECT_TRUE(font->is_ready());
    again.hide();
    pump_events(app());
    EXPECT_EQ(destroyed, 1) << "hiding the view only unmaps it";
    again.show();
    window.hide();
    pump_events(app());
    EXPECT_EQ(destroyed, 2);
    EXPECT_FALSE(font->is_ready());
    window.show();
    pump_events(app());
    draw(again);
    EXPECT_FALSE(again.lit_box().empty());
    EventObject::disconnect(static_cast<EventObject&>(app()), EVT_ID_GL_CONTEXT_DESTROYED, count);
}

}  // namespace
