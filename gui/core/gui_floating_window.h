#pragma once
// GuiFloatingWindow: a tool window owned by another window that hosts an editor: one
// content widget filling the window, often a viewport frame (GuiViewport) with editors in
// tabs, whose layout the window saves and restores and which it shows one frame at a time
// when a frame is maximised. Custom data keys tune it: s_do_not_allow_disable keeps it usable while the
// application is disabled (a progress or log window), s_do_not_save_in_layout leaves it out
// of saved layouts, s_has_custom_data marks the content widget's data given at construction.
//
//     GuiFloatingWindow* tool = new GuiFloatingWindow(main, 900, 100, 300, 400, "Tool", nullptr);
//     tool->set_content_widget(*new MyToolPanel(*tool, 0, 0, 300, 400));
//     tool->show();
#include "gui/core/gui_window.h"
#include "host/core/core_custom_data.h"

class GuiViewport;
class ParserEntry;
class ParserGroup;

class QN_GUI_API GuiFloatingWindow : public GuiWindow {
    CORE_DECLARE_CLASS(GuiFloatingWindow, GuiWindow)

public:
    static CoreCustomData::Key const s_do_not_allow_disable;
    static CoreCustomData::Key const s_do_not_save_in_layout;
    static CoreCustomData::Key const s_has_custom_data;

    // `data` is attached to the content widget as s_has_custom_data when it is set.
    GuiFloatingWindow(GuiWindow& owner, int const& x, int const& y, int const& w, int const& h,
                      CoreString const& title, void* data);

    // The widget the window hosts: it fills the window and follows its four edges. It must
    // be a child of this window; another widget is refused with a warning.
    bool set_content_widget(GuiWidget& widget);
    unsigned int get_widget_count() const { return m_content ? 1u : 0u; }
    // The hosted widget; null for an index past the count.
    GuiWidget* get_content_widget(unsigned int const& index) const;
    // Editors of modules are not hosted: always null.
    GuiWidget* get_module_widget(unsigned int const&) const { return nullptr; }
    // The content when it is a viewport frame, and the editor of its tab `index`.
    GuiViewport* get_viewport() const;
    GuiWidget* get_viewport_widget(unsigned int const& index) const;
    // The frame's layout (see GuiViewport::get_layout); false, with a warning, without one.
    bool get_layout(ParserGroup& group, bool const& with_view) const;
    bool set_layout(ParserEntry const& entry);
    // Lets one frame of the content fill the window, and puts the frames back.
    void maximize_view(GuiViewport* frame);
    void restore_view();

    // Always true with s_do_not_allow_disable; otherwise as any window.
    bool is_enabled() const override;
    // Getting the focus back gives it to the widget of this window that had it last.
    int process_event(CoreString const& name) override;

protected:
    // The content leaving the window (destroyed or moved elsewhere) is forgotten at once.
    void on_remove_child(GuiWidget* child) override;

private:
    GuiWidget* m_content = nullptr;
    void* m_data = nullptr;
};
