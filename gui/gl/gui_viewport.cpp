#include "gui/gl/gui_viewport.h"

#include "gui/app/gui_app.h"

EVENT_DEFINE_ID(EVT_ID_VIEWPORT_AUTO_EVALUATION_CHANGED);

CORE_IMPLEMENT_CLASS(GuiViewport, GuiWidget)

GuiViewport::GuiViewport(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiWidget(parent, x, y, w, h)
{
    get_application().add_viewport(this);
}

GuiViewport::~GuiViewport()
{
    get_application().remove_viewport(this);
}

void GuiViewport::set_auto_evaluation(bool const& on)
{
    if (m_auto_evaluation == on) return;
    m_auto_evaluation = on;
    raise_event(EVT_ID_VIEWPORT_AUTO_EVALUATION_CHANGED);
}
