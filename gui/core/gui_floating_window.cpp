#include "gui/core/gui_floating_window.h"

#include "gui/core/gui_app_viewports.h"
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

GuiViewport* GuiFloatingWindow::get_viewport() const
{
    // The viewport class lives in a layer above this one: found by name, once it is there.
    static CoreClassInfo const* viewport_class = nullptr;
    if (!viewport_class) viewport_class = CoreClassInfo::find("GuiViewport");
    if (!m_content || !viewport_class || !m_content->is_kindof(*viewport_class)) return nullptr;
    // A GuiViewport derives from GuiWidget alone: the same address.
    return reinterpret_cast<GuiViewport*>(m_content);
}

GuiWidget* GuiFloatingWindow::get_viewport_widget(unsigned int const& index) const
{
    GuiViewport* frame = get_viewport();
    GuiAppViewports::FrameAccess const* access =
        frame ? GuiAppViewports::get_frame_access("GuiFloatingWindow.get_viewport_widget") : nullptr;
    return access ? access->get_widget(*frame, index) : nullptr;
}

bool GuiFloatingWindow::get_layout(ParserGroup& group, bool const& with_view) const
{
    GuiViewport* frame = get_viewport();
    if (!frame) {
        CORE_LOG_WARNING("GuiFloatingWindow.get_layout: '" << get_title() << "' holds no viewport\n");
        return false;
    }
    GuiAppViewports::FrameAccess const* access = GuiAppViewports::get_frame_access("GuiFloatingWindow.get_layout");
    if (!access) return false;
    access->get_layout(*frame, group, with_view);
    return true;
}

bool GuiFloatingWindow::set_layout(ParserEntry const& entry)
{
    GuiViewport* frame = get_viewport();
    if (!frame) {
        CORE_LOG_WARNING("GuiFloatingWindow.set_layout: '" << get_title() << "' holds no viewport\n");
        return false;
    }
    GuiAppViewports::FrameAccess const* access = GuiAppViewports::get_frame_access("GuiFloatingWindow.set_layout");
    return access && access->set_layout(*frame, entry);
}

void GuiFloatingWindow::maximize_view(GuiViewport* frame)
{
    GuiAppViewports::FrameAccess const* access =
        frame ? GuiAppViewports::get_frame_access("GuiFloatingWindow.maximize_view") : nullptr;
    if (access) access->show_alone(*frame);
}

void GuiFloatingWindow::restore_view()
{
    GuiViewport* frame = get_viewport();
    GuiAppViewports::FrameAccess const* access =
        frame ? GuiAppViewports::get_frame_access("GuiFloatingWindow.restore_view") : nullptr;
    if (access) access->show_all(*frame);
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
