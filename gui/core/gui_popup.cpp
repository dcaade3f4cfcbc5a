#include "gui/core/gui_popup.h"

#include <FL/Enumerations.H>

#include "gui/core/gui_app.h"

CORE_IMPLEMENT_CLASS(GuiPopup, GuiWindow)

namespace {

// The chain, first to last; interface thread only.
CoreVector<GuiPopup*>& chain()
{
    static CoreVector<GuiPopup*> popups;
    return popups;
}

// The widget focused when the chain opened; it gets the focus back when the chain closes.
GuiWidget*& focus_before_chain()
{
    static GuiWidget* widget = nullptr;
    return widget;
}

// Set while another window taking the focus closes the chain: the focus stays there.
bool g_closing_for_focus = false;

bool in_chain(GuiWindow const& window)
{
    return window.is_kindof(GuiPopup::class_info()) &&
           chain().find(const_cast<GuiPopup*>(static_cast<GuiPopup const*>(&window))) >= 0;
}

}  // namespace

GuiPopup::GuiPopup(GuiWindow& owner, int const& x, int const& y, int const& w, int const& h)
    : GuiWindow(owner, x, y, w, h, "")
{
    init_popup();
}

GuiPopup::GuiPopup(GuiApp& app, int const& x, int const& y, int const& w, int const& h)
    : GuiWindow(app, x, y, w, h, "")
{
    init_popup();
}

void GuiPopup::init_popup()
{
    set_resizable(false);
    set_border_drawn(false);
    // Placed exactly where asked, above everything, without the window manager's frame.
    get_router()->set_override();
}

GuiPopup::~GuiPopup()
{
    if (m_in_chain) {
        chain().remove_item(this);
        m_in_chain = false;
    }
}

void GuiPopup::show()
{
    if (!m_in_chain) {
        CoreVector<GuiPopup*>& popups = chain();
        if (popups.is_empty()) focus_before_chain() = GuiWidget::get_focused_widget();
        m_previous = popups.is_empty() ? nullptr : popups[popups.get_count() - 1];
        popups.add(this);
        m_in_chain = true;
    }
    GuiWindow::show();
}

void GuiPopup::hide()
{
    if (m_in_chain) {
        close_popups_after(this);
        chain().remove_item(this);
        m_in_chain = false;
        m_previous = nullptr;
    }
    GuiWindow::hide();
    if (chain().is_empty() && focus_before_chain()) {
        GuiWidget* widget = focus_before_chain();
        focus_before_chain() = nullptr;
        if (!g_closing_for_focus && !widget->is_destroyed() && widget->is_shown() && widget != this)
            widget->set_focus();
    }
}

void GuiPopup::forget_widget(GuiWidget* widget)
{
    if (focus_before_chain() == widget) focus_before_chain() = nullptr;
}

GuiPopup* GuiPopup::get_first_popup()
{
    return chain().is_empty() ? nullptr : chain()[0];
}

GuiPopup* GuiPopup::get_current_popup()
{
    return chain().is_empty() ? nullptr : chain()[chain().get_count() - 1];
}

void GuiPopup::close_popups_after(GuiPopup* popup)
{
    CoreVector<GuiPopup*>& popups = chain();
    int const index = popup ? popups.find(popup) : -1;
    if (popup && index < 0) return;
    while (static_cast<int>(popups.get_count()) > index + 1) {
        GuiPopup* last = popups[popups.get_count() - 1];
        last->hide();  // leaves the chain
        if (!last->is_destroyed() && !last->is_kept_when_closed()) last->destroy();
    }
}

void GuiPopup::close_all_popups()
{
    close_popups_after(nullptr);
}

void GuiPopup::on_window_focused(GuiWindow& window)
{
    if (!is_popup_open()) return;
    if (in_chain(window)) {
        close_popups_after(static_cast<GuiPopup*>(&window));
        return;
    }
    g_closing_for_focus = true;
    close_all_popups();
    g_closing_for_focus = false;
}

void GuiPopup::on_window_pushed(GuiWindow& window)
{
    if (is_popup_open() && !in_chain(window)) close_all_popups();
}

bool GuiPopup::on_key_down(GuiWindow&, int const& key)
{
    GuiPopup* current = get_current_popup();
    if (!current) return false;
    return current->on_popup_key(key);
}

bool GuiPopup::on_popup_key(int const& key)
{
    if (key == FL_Escape) {
        close_all_popups();
        return true;
    }
    return process_actions();
}

void GuiPopup::on_window_hidden(GuiWindow& window)
{
    if (!in_chain(window) && !window.is_kindof(GuiPopup::class_info()) && !window.is_destroyed()) close_all_popups();
}
