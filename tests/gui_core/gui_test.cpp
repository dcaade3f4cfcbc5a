// Input state, pointer, clipboard and screen functions of Gui.
// GoogleTest comes before Xlib, whose macros (None, Bool, ...) would break it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/core/gui.h"
#include "tests/support/gui_event_state.h"
#include "tests/support/log_recorder.h"

namespace {

bool has_display()
{
    if (fl_display) return true;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    fl_open_display(display);
    return true;
}

#define REQUIRE_DISPLAY() \
    if (!has_display()) GTEST_SKIP() << "no X display"

// Runs the event loop until `done` or until `seconds` have passed; returns `done()`.
bool pump_until(std::function<bool()> const& done, double seconds = 3.0)
{
    auto const end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return done();
        Fl::wait(0.01);
    }
    return true;
}

// Restores the mouse as the input device when a test changed it.
struct TabletReset {
    ~TabletReset() { Gui::set_tablet_state(Gui::DEVICE_MOUSE, 0.0f, 0.0f, 0.0f); }
};

}  // namespace

// --- Names and text ---

TEST(GuiText, ByteLengthOfUtf8Characters)
{
    // Continuation bytes and bytes that no sequence starts with advance by one.
    for (auto [byte, length] : {std::pair<int, unsigned>{'a', 1}, {0, 1}, {0xC3, 2}, {0xE2, 3}, {0xF0, 4},
                                {0x80, 1}, {0xBF, 1}, {0xF8, 1}, {0xFF, 1}})
        EXPECT_EQ(Gui::get_count_of_next_character(static_cast<char>(byte)), length) << byte;
}

// --- Event state ---

TEST(GuiEvent, MouseButtons)
{
    GuiEventState state;
    for (int button = 1; button <= 3; ++button) {
        state.press_button(button);
        EXPECT_EQ(Gui::get_event_mouse_button(), button);
        for (int other = 1; other <= 3; ++other)
            EXPECT_EQ(Gui::is_mouse_button_pressed(static_cast<Gui::MouseButtonId>(other)), other == button);
        state.release_button(button);
        EXPECT_FALSE(Gui::is_mouse_button_pressed());
    }
    // Buttons beyond the third, and key events, report 4; a fourth button held is not "pressed".
    state.set_state(0).press_button(4);
    EXPECT_EQ(Gui::get_event_mouse_button(), 4);
    EXPECT_FALSE(Gui::is_mouse_button_pressed());
    state.set_key('a');
    EXPECT_EQ(Gui::get_event_mouse_button(), 4);
}

TEST(GuiEvent, ClicksCycleThroughSingleDoubleTriple)
{
    GuiEventState state;
    char const* const expected[] = {"one", "double", "triple", "one", "double", "triple", "one"};
    for (int clicks = 0; clicks < 7; ++clicks) {
        state.set_clicks(clicks);
        EXPECT_EQ(Gui::get_event_clicks_count(), clicks + 1);
        std::string kind = Gui::is_one_click() ? "one" : "";
        kind += Gui::is_double_click() ? "double" : "";
        kind += Gui::is_triple_click() ? "triple" : "";
        EXPECT_EQ(kind, expected[clicks]) << "toolkit click count " << clicks;
    }
}

TEST(GuiEvent, PastedTextKeepsItsLength)
{
    GuiEventState state;
    // A paste's text is taken by its length, so UTF-8 and embedded NULs survive.
    std::string const pasted("line 1\nl\xC3\xA9gende\0tail", 20);
    state.set_event(FL_PASTE).set_text(pasted);
    EXPECT_EQ(std::string(Gui::get_event_text().view()), pasted);
}

TEST(GuiEvent, MouseMotionBetweenEvents)
{
    Gui::reset_mouse_motion();
    GuiEventState state;
    auto motion_to = [&](int x, int y) {
        state.set_root_position(x, y);
        Gui::update_mouse_motion();
        return GMathVec2<int>(Gui::get_mouse_dx(), Gui::get_mouse_dy());
    };
    EXPECT_EQ(motion_to(100, 100), GMathVec2<int>(0, 0));  // nothing to compare with yet
    EXPECT_EQ(motion_to(105, 97), GMathVec2<int>(5, -3));
    EXPECT_EQ(motion_to(105, 97), GMathVec2<int>(0, 0));  // a press where the pointer rests
    Gui::reset_mouse_motion();
    EXPECT_EQ(motion_to(400, 400), GMathVec2<int>(0, 0));
    Gui::reset_mouse_motion();
}

TEST(GuiEvent, KeyOfTheCurrentEvent)
{
    REQUIRE_DISPLAY();
    GuiEventState state;
    state.set_key(FL_Shift_L);
    EXPECT_TRUE(Gui::is_key_pressed(Gui::KEY_ID_LEFT_SHIFT));
    EXPECT_FALSE(Gui::is_key_pressed(Gui::KEY_ID_RIGHT_SHIFT));
    state.set_key(FL_Shift_L, false);
    EXPECT_FALSE(Gui::is_key_pressed(Gui::KEY_ID_LEFT_SHIFT));
    // Mouse buttons as key codes are answered from the event state.
    state.set_state(FL_BUTTON3);
    EXPECT_TRUE(Gui::is_key_pressed(FL_Button + 3));
    EXPECT_FALSE(Gui::is_key_pressed(FL_Button + 1));
    EXPECT_TRUE(Gui::is_key_down(FL_Button + 3));
}

// --- Tablet ---

TEST(GuiTablet, TheMouseHasFullPressureWhileAButtonIsHeld)
{
    TabletReset reset;
    GuiEventState state;
    state.set_state(0);
    EXPECT_FLOAT_EQ(Gui::get_pressure(), 0.0f);
    state.press_button(3);
    EXPECT_FLOAT_EQ(Gui::get_pressure(), 1.0f);

    // Tilt reported along with the mouse is ignored; pressure without a button is passed on.
    Gui::set_tablet_state(Gui::DEVICE_MOUSE, 0.25f, 0.5f, 0.5f);
    EXPECT_FLOAT_EQ(Gui::get_pressure(), 1.0f);
    EXPECT_FLOAT_EQ(Gui::get_x_tilt(), 0.0f);
    state.set_state(0);
    EXPECT_FLOAT_EQ(Gui::get_pressure(), 0.25f);

    // A pen reports its own pressure, button held or not, and its tilt.
    Gui::set_tablet_state(Gui::DEVICE_STYLUS, 0.4f, 0.2f, -0.3f);
    state.press_button(1);
    EXPECT_FLOAT_EQ(Gui::get_pressure(), 0.4f);
    EXPECT_FLOAT_EQ(Gui::get_x_tilt(), 0.2f);
    EXPECT_FLOAT_EQ(Gui::get_y_tilt(), -0.3f);
}

// --- Pointer ---

TEST(GuiPointer, RegionEdgesAreIncluded)
{
    // Rectangle (10, 20, 30, 40): x from 10 to 40, y from 20 to 60, both ends included. An empty
    // rectangle still holds its corner; a negative size holds nothing.
    struct Row {
        int px, py, x, y, w, h;
        bool inside;
    } const rows[] = {{10, 20, 10, 20, 30, 40, true}, {40, 60, 10, 20, 30, 40, true},
                      {41, 60, 10, 20, 30, 40, false}, {40, 61, 10, 20, 30, 40, false},
                      {9, 30, 10, 20, 30, 40, false},  {20, 19, 10, 20, 30, 40, false},
                      {5, 5, 5, 5, 0, 0, true},        {5, 5, 5, 5, -1, 10, false}};
    for (Row const& r : rows)
        EXPECT_EQ(Gui::is_point_in_region(r.px, r.py, r.x, r.y, r.w, r.h), r.inside) << r.px << ", " << r.py;
}

TEST(GuiPointer, WarpingMovesThePointer)
{
    REQUIRE_DISPLAY();
    TabletReset reset;
    ASSERT_EQ(Gui::set_mouse_screen_position(123, 456), 0);
    int x = 0, y = 0;
    Fl::get_mouse(x, y);
    EXPECT_EQ(GMathVec2<int>(x, y), GMathVec2<int>(123, 456));

    // With a pen as the input device the pointer stays where it is.
    Gui::set_tablet_state(Gui::DEVICE_STYLUS, 0.5f, 0.0f, 0.0f);
    EXPECT_EQ(Gui::set_mouse_screen_position(10, 10), -1);
    Fl::get_mouse(x, y);
    EXPECT_EQ(GMathVec2<int>(x, y), GMathVec2<int>(123, 456));
}

TEST(GuiPointer, PointerAgainstScreenAndWindowRegions)
{
    REQUIRE_DISPLAY();
    ASSERT_EQ(Gui::set_mouse_screen_position(300, 200), 0);
    EXPECT_TRUE(Gui::is_mouse_over_screen_region(250, 150, 50, 50));  // right and bottom edges
    EXPECT_FALSE(Gui::is_mouse_over_screen_region(250, 150, 49, 50));

    // A window at (200, 100): the pointer is at (100, 100) inside it.
    int x = 0, y = 0;
    Gui::get_absolute_mouse_coords(200, 100, x, y);
    EXPECT_EQ(GMathVec2<int>(x, y), GMathVec2<int>(100, 100));
    EXPECT_TRUE(Gui::is_mouse_over_region(200, 100, 50, 50, 50, 50));
    EXPECT_FALSE(Gui::is_mouse_over_region(200, 100, 101, 100, 10, 10));
}

TEST(GuiPointer, CursorsOfTheLastWindow)
{
    REQUIRE_DISPLAY();
    LogRecorder log;
    Fl_Window window(40, 40, 120, 80, "cursors");
    window.show();
    ASSERT_TRUE(pump_until([&] { return window.shown() && window.visible(); }));
    ASSERT_EQ(Fl::first_window(), &window);
    Gui::set_mouse_cursor(static_cast<Gui::MouseCursorId>(31));
    Fl::check();
    EXPECT_EQ(log.count(), 0u) << log.dump();
    Gui::set_mouse_cursor(static_cast<Gui::MouseCursorId>(2));
    EXPECT_TRUE(log.contains("Gui.set_mouse_cursor: unknown cursor 2\n")) << log.dump();
    window.hide();
    Fl::check();
}

// --- Documents ---

TEST(GuiScreen, OpenUriRefusals)
{
    LogRecorder log;
    EXPECT_FALSE(Gui::open_uri(CoreString()));
    EXPECT_TRUE(log.contains("Gui.open_uri: nothing to open\n")) << log.dump();

    log.clear();
    EXPECT_FALSE(Gui::open_uri("qnbogus://thing"));
    EXPECT_TRUE(log.contains("Gui.open_uri: can't open 'qnbogus://thing'")) << log.dump();

    // With no program to hand the document to, the refusal shows the address that was tried:
    // a relative path becomes an absolute file:// address.
    char const* path = std::getenv("PATH");
    std::string const saved_path = path ? path : "";
    setenv("PATH", "/nonexistent-qn-bin", 1);
    log.clear();
    EXPECT_FALSE(Gui::open_uri("notes/readme.txt"));
    std::string const expected = "file://" + (std::filesystem::current_path() / "notes/readme.txt").string();
    EXPECT_TRUE(log.contains(expected)) << log.dump();
    setenv("PATH", saved_path.c_str(), 1);
}

// --- Clipboard and selection buffer ---

namespace {

// A focusable toolkit widget in a small window that records the texts pasted into it.
class PasteTarget : public Fl_Box {
public:
    PasteTarget(int x, int y, int w, int h) : Fl_Box(x, y, w, h) {}
    int handle(int event) override
    {
        if (event == FL_PASTE) {
            pastes.emplace_back(Gui::get_event_text().view());
            return 1;
        }
        if (event == FL_FOCUS || event == FL_UNFOCUS) return 1;
        return Fl_Box::handle(event);
    }
    std::vector<std::string> pastes;
};

class GuiClipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!has_display()) GTEST_SKIP() << "no X display";
        m_window = std::make_unique<Fl_Window>(60, 60, 160, 80, "paste target");
        m_target = new PasteTarget(10, 10, 100, 40);
        m_window->end();
        m_window->show();
        ASSERT_TRUE(pump_until([&] { return m_window->shown() && m_window->visible(); }));
    }
    void TearDown() override
    {
        if (!m_window) return;
        Fl::focus(nullptr);
        m_window->hide();
        Fl::check();
    }
    void focus_target() { Fl::focus(m_target); }

    std::unique_ptr<Fl_Window> m_window;
    PasteTarget* m_target = nullptr;
};

// Another X client that takes the clipboard, as a text editor of another program would.
class ForeignClipboardOwner {
public:
    ForeignClipboardOwner()
    {
        m_display = XOpenDisplay(nullptr);
        if (!m_display) return;
        m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
        m_clipboard = XInternAtom(m_display, "CLIPBOARD", False);
        XSetSelectionOwner(m_display, m_clipboard, m_window, CurrentTime);
        XSync(m_display, False);
    }
    ~ForeignClipboardOwner()
    {
        if (!m_display) return;
        XDestroyWindow(m_display, m_window);
        XCloseDisplay(m_display);
    }
    bool owns() const { return m_display && XGetSelectionOwner(m_display, m_clipboard) == m_window; }

private:
    Display* m_display = nullptr;
    Window m_window = 0;
    Atom m_clipboard = None;
};

}  // namespace

TEST_F(GuiClipboard, OwnCopiesArePastedBeforeTheCallReturns)
{
    // The two buffers are separate.
    Gui::copy_to_clipboard("clipboard \xC3\xA9t\xC3\xA9");
    Gui::copy_to_selection_buffer("primary text");
    focus_target();
    ASSERT_TRUE(Gui::paste_from_clipboard());
    focus_target();
    ASSERT_TRUE(Gui::paste_from_selection_buffer());
    EXPECT_EQ(m_target->pastes, (std::vector<std::string>{"clipboard \xC3\xA9t\xC3\xA9", "primary text"}));
}

TEST_F(GuiClipboard, NothingIsAskedWithoutAFocusedWidgetOrAShownWindow)
{
    Gui::copy_to_clipboard("unused");
    Fl::focus(nullptr);
    EXPECT_FALSE(Gui::paste_from_clipboard());
    EXPECT_FALSE(Gui::paste_from_selection_buffer());
    m_window->hide();
    Fl::check();
    Fl_Box loose(0, 0, 10, 10);
    Fl::focus(&loose);
    EXPECT_FALSE(Gui::paste_from_clipboard());
    Fl::focus(nullptr);
}

TEST_F(GuiClipboard, TypeNameLastsUntilAnotherProgramTakesTheClipboard)
{
    Gui::copy_to_clipboard("items", "qn/items");
    // The toolkit's notice of this process's own copy does not forget the type.
    pump_until([] { return false; }, 0.2);
    EXPECT_EQ(Gui::get_clipboard_type(), CoreString("qn/items"));
    Gui::copy_to_clipboard("plain");
    EXPECT_TRUE(Gui::get_clipboard_type().is_empty());

    Gui::copy_to_clipboard("items again", "qn/items");
    ForeignClipboardOwner owner;
    ASSERT_TRUE(owner.owns());
    EXPECT_TRUE(pump_until([&] { return Gui::get_clipboard_type().is_empty(); }))
        << "still " << Gui::get_clipboard_type();

    // A later copy takes the clipboard back, whatever the time of the last X event.
    Gui::copy_to_clipboard("mine again", "qn/items");
    XSync(fl_display, False);  // the server has handled the claim before the other client asks
    EXPECT_FALSE(owner.owns());
    focus_target();
    ASSERT_TRUE(Gui::paste_from_clipboard());
    EXPECT_EQ(m_target->pastes, std::vector<std::string>{"mine again"});
}

