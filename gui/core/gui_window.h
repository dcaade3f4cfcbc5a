#pragma once
// GuiWindow: the widget that owns a top-level toolkit window. It is the root of a widget
// tree (its children's positions are relative to it), keeps the windows it owns, and hands
// the keyboard focus to a hidden toolkit box when no widget has it.
//
//     GuiWindow* window = app.create_window(100, 100, 640, 480, "Main");
//     GuiWidget* panel = new GuiWidget(*window, 0, 0, 640, 480);
//     panel->set_constraints(GuiWidget::CONSTRAINT_LEFT, GuiWidget::CONSTRAINT_TOP,
//                            GuiWidget::CONSTRAINT_RIGHT, GuiWidget::CONSTRAINT_BOTTOM);
//     window->show();
#include <FL/Fl_Double_Window.H>

#include "gui/core/gui_router.h"
#include "gui/core/gui_widget.h"

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

    void show() override;
    void hide() override;
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
    void apply_clipping() override;

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
    GuiWindowRouter* get_router() const;
    // Gives the toolkit focus to the hidden focus widget and raises EVT_ID_WIDGET_FOCUS_LOOSE.
    void _lose_focus();
    // Sets the toolkit cursor of the window; MOUSE_CURSOR_NONE shows no cursor.
    void _set_mouse_cursor(Gui::MouseCursorId const& id) const;
    Fl_Widget* get_hidden_focus_widget() const { return m_hidden_focus_widget; }
    // The window's actions for the key being typed (used when no widget has the focus).
    bool process_actions_for_keys();

private:
    void init_window(int const& x, int const& y, int const& w, int const& h);
    friend class GuiWindowRouter;

    GuiWindow* m_owner = nullptr;
    CoreVector<GuiWindow*> m_child_windows;
    Fl_Widget* m_hidden_focus_widget = nullptr;
    Fl_Group* m_window_group = nullptr;
    CoreString m_title;
    bool m_resizable = true;
    bool m_not_yet_shown = true;
    bool m_in_modal_loop = false;
};
