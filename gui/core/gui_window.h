#pragma once
// GuiWindow: the widget that owns a top-level toolkit window. It is the root of a widget
// tree (its children's positions are relative to it), keeps the windows it owns, runs modal
// loops, and hands the keyboard focus to a hidden toolkit box when no widget has it.
//
//     GuiWindow* window = app.create_window(100, 100, 640, 480, "Main");
//     GuiWidget* panel = new GuiWidget(*window, 0, 0, 640, 480);
//     panel->set_constraints(GuiWidget::CONSTRAINT_LEFT, GuiWidget::CONSTRAINT_TOP,
//                            GuiWidget::CONSTRAINT_RIGHT, GuiWidget::CONSTRAINT_BOTTOM);
//     window->show();
//
// A dialog runs a modal loop until it is answered:
//
//     class MyDialog : public GuiWindow {
//     public:
//         int run() { show_modal(); return modal_blocking_loop(); }
//         int on_modal_loop() override { return m_answer; }   // -1 while unanswered
//     };
//     int const answer = dialog->run();
#include <FL/Fl_Double_Window.H>

#include <vector>

#include "gui/core/gui_router.h"
#include "gui/core/gui_widget.h"

class GuiPopup;
class GuiWindow;

// The router of a window: a double-buffered toolkit window whose user data is the GuiWindow.
class QN_GUI_API GuiWindowRouter : public Fl_Double_Window, public GuiRouter {
public:
    GuiWindowRouter(GuiWindow& owner, int x, int y, int w, int h, char const* title);

    int handle(int event) override;
    void draw() override;
    void resize(int x, int y, int w, int h) override;

    void draw_base() override;
    int handle_event(CoreString const& name) override;
    int handle_toolkit_event(int event) override { return Fl_Double_Window::handle(event); }

    // The window has the toolkit focus.
    bool const& is_active() const { return m_active; }

private:
    int route(int event);

    bool m_active = false;
    bool m_in_handle = false;
};


class QN_GUI_API GuiWindow : public GuiWidget {
    CORE_DECLARE_CLASS(GuiWindow, GuiWidget)

public:
    // A window owned by another; it stays above its owner.
    GuiWindow(GuiWindow& owner, int const& x, int const& y, int const& w, int const& h, CoreString const& title);
    // A top-level window of the application, appended to its window list.
    GuiWindow(GuiApp& app, int const& x, int const& y, int const& w, int const& h, CoreString const& title);
    ~GuiWindow() override;

    size_t get_memory_size() const override;

    // Shown modally instead while its owner (or the front window) runs a modal loop.
    void show() override;
    // Shows the window modal: other windows take no input until it is hidden.
    virtual void show_modal();
    // Hides the window and the windows it owns; the owner comes back to the front.
    void hide() override;
    bool const& is_shown() const override;
    // A shown window is visible wherever it lies: its owner's box does not clip it.
    bool is_visible() const override { return is_shown(); }
    // The result of the modal loop: -1 until answered. Dialogs return their answer here.
    virtual int on_modal_loop() { return -1; }
    bool const& is_in_modal_loop() const { return m_in_modal_loop; }
    GuiWidget* get_parent() const override { return m_owner; }
    void set_parent(GuiWidget* owner) override;
    GMathVec2<int> const& get_size() const override;
    GMathVec2<int> const& get_position() const override;
    bool is_enabled() const override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;
    void draw(GuiDc& dc) override;
    // The window's widgets and its child windows follow the scheme.
    void update_color_scheme(GuiColorScheme const& scheme) override;
    // Redraws the whole toolkit window, its background included.
    void widget_redraw() override;
    Fl_Group* get_group() override;
    void apply_constraints(int const& px, int const& py, int const& pw, int const& ph) override;

    // Called by GuiWidget::set_focus; passed on to the owner window.
    virtual void widget_focus_changed();

    GuiWindow* get_owner() const { return m_owner; }
    CoreVector<GuiWindow*> const& get_child_windows() const { return m_child_windows; }
    void set_title(CoreString const& title);
    CoreString const& get_title() const { return m_title; }
    // Only before the first show; afterwards it logs a warning and changes nothing.
    void set_resizable(bool const& resizable);
    bool const& is_resizable() const { return m_resizable; }
    bool const& is_not_yet_shown() const { return m_not_yet_shown; }
    // The window manager's frame and title bar; a shown window is re-created to change it.
    void set_border_drawn(bool const& drawn);
    bool const& is_border_drawn() const { return m_border_drawn; }
    // Maximised and minimised through the window manager (_NET_WM_STATE, iconify). Without a
    // window manager a maximised window fills the screen's work area and a minimised one is
    // unmapped; show() restores a minimised window.
    void maximize();
    void minimize();
    bool is_maximized() const;
    bool is_minimized() const;
    // Opens `content` in a popup owned by this window, at the pointer or where the content
    // is on the screen now; the content moves into the popup, which takes its size.
    GuiPopup* popup(GuiWidget& content, bool const& at_pointer);
    // A background that fills the window and follows it on all four edges.
    GuiWidget* add_default_background();
    // Lets the application lay out and draw the shown window, reads its pixels back and
    // writes them to `path` as an image file of the type its extension names (PNG for
    // ".png"), creating its folder. False, with a logged error, when the window is not shown
    // or the file could not be written.
    bool write_screenshot(CoreString const& path);
    // Lays out and draws the shown window, then reads the pixels of the rectangle (window
    // coordinates, cut to the window) as RGB bytes, rows top first; empty, with a logged
    // message, when the window is not shown or the rectangle lies outside it.
    std::vector<unsigned char> read_pixels(int const& x, int const& y, int const& w, int const& h);
    // False while another modal window is active: its dialog has the keyboard.
    bool process_actions() override;
    // A shortcut offered to the window is not handed back to its toolkit window, which
    // would offer it to every widget of the window again.
    int process_event(CoreString const& name) override;
    GuiWindowRouter* get_router() const;
    // Gives the toolkit focus to the hidden focus widget and raises EVT_ID_WIDGET_FOCUS_LOOSE.
    void _lose_focus();
    // Sets the toolkit cursor of the window; MOUSE_CURSOR_NONE shows no cursor.
    void _set_mouse_cursor(Gui::MouseCursorId const& id) const;
    Fl_Widget* get_hidden_focus_widget() const { return m_hidden_focus_widget; }
    // The window's actions for the key being typed (used when no widget has the focus).
    bool process_actions_for_keys();

protected:
    // Runs the application's passes until on_modal_loop answers (not -1) or the window is
    // hidden; returns the answer, or -1.
    int modal_blocking_loop();

private:
    void init_window(int const& x, int const& y, int const& w, int const& h);
    // Shows the toolkit window and the children, applies constraints and clipping.
    void show_toolkit_window(bool const& modal);
    void give_back_focus();
    friend class GuiWindowRouter;

    GuiWindow* m_owner = nullptr;
    CoreVector<GuiWindow*> m_child_windows;
    Fl_Widget* m_hidden_focus_widget = nullptr;
    // What had the keyboard when the window was shown modal: it gets it back when the window
    // hides (watched: null once deleted).
    Fl_Widget* m_focus_before_modal = nullptr;
    Fl_Group* m_window_group = nullptr;
    CoreString m_title;
    bool m_resizable = true;
    bool m_not_yet_shown = true;
    bool m_in_modal_loop = false;
    bool m_border_drawn = true;
    // Without a window manager: maximised by hand, and the geometry to go back to.
    bool m_maximized_by_hand = false;
    GMathVec4<int> m_restore_geometry = GMathVec4<int>(0, 0, 0, 0);
};

// A plain background for a window: its box in the scheme's background with a raised edge.
class QN_GUI_API GuiWindowDefaultBackground : public GuiWidget {
    CORE_DECLARE_CLASS(GuiWindowDefaultBackground, GuiWidget)

public:
    explicit GuiWindowDefaultBackground(GuiWindow& window);
    void draw(GuiDc& dc) override;
};
