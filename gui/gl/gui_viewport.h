#pragma once
// GuiViewport: the frame an editor panel lives in. It registers with the application for
// as long as it exists, so that the application can pause the automatic evaluation of
// every viewport around work that must not be interrupted by re-evaluations:
//
//     app.disable_all_viewports_auto_evaluation();
//     ... load a scene ...
//     app.restore_all_viewports_auto_evaluation();
//
// Tabs of editors, the frame's toolbar and splitting are not part of this class yet.
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "host/event/event_id.h"

// Raised on the viewport when its automatic evaluation is switched on or off.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_VIEWPORT_AUTO_EVALUATION_CHANGED);

class QN_GUI_API GuiViewport : public GuiWidget {
    CORE_DECLARE_CLASS(GuiViewport, GuiWidget)

public:
    GuiViewport(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    ~GuiViewport() override;

    // Whether the viewport's editors re-evaluate the scene when it changes (on at first).
    bool const& get_auto_evaluation() const { return m_auto_evaluation; }
    void set_auto_evaluation(bool const& on);

    size_t get_memory_size() const override { return GuiWidget::get_memory_size() - sizeof(GuiWidget) + sizeof(*this); }

private:
    bool m_auto_evaluation = true;
};
