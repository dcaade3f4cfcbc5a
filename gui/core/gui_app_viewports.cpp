#include "gui/core/gui_app_viewports.h"

#include <algorithm>

#include "host/core/core_log.h"

namespace {

GuiAppViewports::AutoEvaluationGetter s_get_auto_evaluation = nullptr;
GuiAppViewports::AutoEvaluationSetter s_set_auto_evaluation = nullptr;
GuiAppViewports::FrameAccess s_frame_access;

bool has_access(char const* operation)
{
    if (s_get_auto_evaluation && s_set_auto_evaluation) return true;
    CORE_LOG_ERROR("GuiApp." << operation << ": no viewport layer has lent its automatic-evaluation calls\n");
    return false;
}

}  // namespace

void GuiAppViewports::set_auto_evaluation_access(AutoEvaluationGetter getter, AutoEvaluationSetter setter)
{
    s_get_auto_evaluation = getter;
    s_set_auto_evaluation = setter;
}

void GuiAppViewports::set_frame_access(FrameAccess const& access)
{
    s_frame_access = access;
}

GuiAppViewports::FrameAccess const* GuiAppViewports::get_frame_access(char const* operation)
{
    if (s_frame_access.show_alone && s_frame_access.show_all && s_frame_access.get_layout && s_frame_access.set_layout &&
        s_frame_access.get_widget)
        return &s_frame_access;
    CORE_LOG_ERROR(operation << ": no viewport layer has lent its frame calls\n");
    return nullptr;
}

void GuiAppViewports::add(GuiViewport* viewport)
{
    if (viewport && m_viewports.find(viewport) < 0) m_viewports.add(viewport);
}

void GuiAppViewports::remove(GuiViewport* viewport)
{
    int const index = m_viewports.find(viewport);
    if (index >= 0) m_viewports.remove(static_cast<unsigned int>(index));
}

void GuiAppViewports::disable_auto_evaluation()
{
    if (!has_access("disable_all_viewports_auto_evaluation")) return;
    m_saved.clear();
    for (GuiViewport* viewport : m_viewports) {
        m_saved.push_back(s_get_auto_evaluation(*viewport));
        s_set_auto_evaluation(*viewport, false);
    }
}

void GuiAppViewports::restore_auto_evaluation()
{
    if (!has_access("restore_all_viewports_auto_evaluation")) return;
    if (m_saved.size() != m_viewports.get_count()) {
        CORE_LOG_WARNING("GuiApp.restore_all_viewports_auto_evaluation: "
                         << m_saved.size() << " flags were saved for " << m_viewports.get_count()
                         << " viewports; the viewports beyond the saved flags are left alone\n");
    }
    size_t const count = std::min<size_t>(m_saved.size(), m_viewports.get_count());
    for (size_t i = 0; i < count; ++i) s_set_auto_evaluation(*m_viewports[static_cast<unsigned int>(i)], m_saved[i]);
}
