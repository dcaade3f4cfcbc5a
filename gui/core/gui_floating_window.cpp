#include "gui/core/gui_floating_window.h"

#include "host/core/core_log.h"
#include "host/core/core_variant.h"

CORE_IMPLEMENT_CLASS(GuiFloatingWindow, GuiWindow)

CoreCustomData::Key const GuiFloatingWindow::s_do_not_allow_disable =
    CoreCustomData::get_custom_data_key("GuiFloatingWindow::do_not_allow_disable");
CoreCustomData::Key const GuiFloatingWindow::s_do_not_save_in_layout =
    CoreCustomData::get_custom_data_key("GuiFloatingWindow::do_not_save_in_layout");
CoreCustomData::Key const GuiFloatingWindow::s_has_custom_data =
    CoreCustomData::get_custom_data_key("GuiFloatingWindow::has_custom_data");

GuiFloatingWindow::GuiFloatingWindow(GuiWindow& owner, int const& x, int const& y, int const& w, int const& h,
                                     CoreString const& title, void* data)
    : GuiWindow(owner, x, y, w, h, title), m_data(data)
{
}

bool GuiFloatingWindow::set_content_widget(GuiWidget& widget)
{
    if (widget.get_parent() != this) {
        CORE_LOG_WARNING("GuiFloatingWindow.set_content_widget: the widget is not a child of the window; "
                         "nothing changes\n");
        return false;
    }
    m_content = &widget;
    widget.resize(0, 0, get_width(), get_height());
    widget.set_constraints(CONSTRAINT_LEFT, CONSTRAINT_TOP, CONSTRAINT_RIGHT, CONSTRAINT_BOTTOM);
    if (m_data) widget.set_custom_data(s_has_custom_data, CoreVariant(m_data));
    return true;
}

GuiWidget* GuiFloatingWindow::get_content_widget(unsigned int const& index) const
{
    return index < get_widget_count() ? m_content : nullptr;
}

void GuiFloatingWindow::on_remove_child(GuiWidget* child)
{
    if (child == m_content) m_content = nullptr;
    GuiWindow::on_remove_child(child);
}

bool GuiFloatingWindow::is_enabled() const
{
    if (has_custom_data(s_do_not_allow_disable)) return true;
    return GuiWindow::is_enabled();
}

int GuiFloatingWindow::process_event(CoreString const& name)
{
    if (name == EVT_ID_WIDGET_FOCUS_IN) {
        GuiWidget* last = get_last_focused_widget();
        if (last && last != this && last->get_window() == this && !last->is_destroyed()) {
            last->set_focus();
            return 1;
        }
    }
    return GuiWindow::process_event(name);
}
