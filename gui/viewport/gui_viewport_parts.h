#pragma once
// The parts of a single viewport frame: GuiViewportToolbar, the row of switches and commands
// above the tabs, and GuiViewportTabWidget, the tabs of editors, whose headers can be dragged
// into another frame's tabs.
//
//     GuiViewportToolbar* bar = viewport->get_toolbar();
//     bar->get_button(GuiViewportToolbar::BUTTON_SPLIT_QUAD)->get_tooltip();   // "Split Quads"
#include "gui/core/gui_export.h"
#include "gui/panels/gui_tab_widget.h"
#include "gui/panels/gui_toolbar.h"

class GuiFaceButton;
class GuiViewport;

class QN_GUI_API GuiViewportToolbar : public GuiToolbar {
    CORE_DECLARE_CLASS(GuiViewportToolbar, GuiToolbar)

public:
    // In the toolbar's order.
    enum Button : int {
        BUTTON_LOCK_SELECTION = 0,
        BUTTON_STICKY_SELECTION,
        BUTTON_SHOW_SHADOWED,
        BUTTON_ENABLE_EVALUATION,
        BUTTON_PAUSE_EVALUATION,
        BUTTON_REFRESH,
        BUTTON_CLOSE,
        BUTTON_MAXIMIZE,
        BUTTON_SPLIT_VERTICAL,
        BUTTON_SPLIT_HORIZONTAL,
        BUTTON_SPLIT_QUAD,
        BUTTON_COUNT
    };
    // The button's tooltip ("Lock Selection", ...); null past the count.
    static char const* get_button_tooltip(Button const& button);

    GuiViewportToolbar(GuiWidget& parent, GuiViewport& viewport);

    GuiFaceButton* get_button(Button const& button) const;
    // Check buttons show the state given, muted.
    void set_checked(Button const& button, bool const& checked);
    bool is_checked(Button const& button) const;

private:
    void run(Button const& button);

    GuiViewport& m_viewport;
    GuiFaceButton* m_buttons[BUTTON_COUNT] = {};
};

class QN_GUI_API GuiViewportTabWidget : public GuiTabWidget {
    CORE_DECLARE_CLASS(GuiViewportTabWidget, GuiTabWidget)

public:
    GuiViewportTabWidget(GuiWidget& parent, GuiViewport& viewport);
    GuiViewport& get_viewport() const { return m_viewport; }

    // A tab dropped from another frame's tabs moves there with its editor and switches.
    int drop_tab(GuiTabWidget& source, unsigned int const& index, unsigned int const& at) override;
    // Tabs move within the row and between frames' tabs, not into other tab widgets.
    bool is_valid_dnd_data() const override;

private:
    GuiViewport& m_viewport;
};
