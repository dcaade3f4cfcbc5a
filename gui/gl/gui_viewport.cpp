#include "gui/gl/gui_viewport.h"

#include "gui/core/gui_app.h"

EVENT_DEFINE_ID(EVT_ID_VIEWPORT_AUTO_EVALUATION_CHANGED);

CORE_IMPLEMENT_CLASS(GuiViewport, GuiWidget)

namespace {

// Lends the application the calls that pause and restore every viewport's evaluation.
bool const s_access_lent = (GuiAppViewports::set_auto_evaluation_access(
                                [](GuiViewport const& viewport) { return viewport.get_auto_evaluation(); },
                                [](GuiViewport& viewport, bool on) { viewport.set_auto_evaluation(on); }),
                            true);

}  // namespace

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
