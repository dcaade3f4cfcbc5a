#include "gui/viewport/gui_viewport_parts.h"

#include "gui/controls/gui_check_button.h"
#include "gui/controls/gui_push_button.h"
#include "gui/core/gui_resource.h"
#include "gui/viewport/gui_basic_viewport_widget.h"
#include "gui/viewport/gui_viewport.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiViewportToolbar, GuiToolbar)
CORE_IMPLEMENT_CLASS(GuiViewportTabWidget, GuiTabWidget)

namespace {

struct ButtonLook {
    char const* tooltip;
    char const* label;             // shown when there is no picture
    GuiImage const& (*picture)();  // null: a text button
    bool check;
};

// In the order of GuiViewportToolbar::Button.
ButtonLook const s_looks[GuiViewportToolbar::BUTTON_COUNT] = {
    {"Lock Selection", "", &GuiResource::navigator_lock, true},
    {"Set Global Selection With Widget Sticky Selection", "Sticky", nullptr, false},
    {"Show shadowed items", "Shadowed", nullptr, true},
    {"Enable Evaluation", "Eval", nullptr, true},
    {"Pause Evaluation", "Pause", nullptr, true},
    {"Refresh (Force Evaluation)", "", &GuiResource::navigator_refresh, false},
    {"Close Tabs", "", &GuiResource::viewport_close, false},
    {"Maximize (Shift+Space)", "", &GuiResource::viewport_maximize, false},
    {"Split Vertical", "", &GuiResource::viewport_split_vertical, false},
    {"Split Horizontal", "", &GuiResource::viewport_split_horizontal, false},
    {"Split Quads", "", &GuiResource::viewport_split_quad, false},
};

}  // namespace

char const* GuiViewportToolbar::get_button_tooltip(Button const& button)
{
    return button >= 0 && button < BUTTON_COUNT ? s_looks[button].tooltip : nullptr;
}

GuiViewportToolbar::GuiViewportToolbar(GuiWidget& parent, GuiViewport& viewport)
    : GuiToolbar(parent, viewport.get_x(), viewport.get_y(), viewport.get_width(), "Viewport"), m_viewport(viewport)
{
    // The commands sit at the left, the frame's own buttons (close, maximise, splits) at the right.
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        ButtonLook const& look = s_looks[i];
        Anchor const anchor = i >= BUTTON_CLOSE ? ANCHOR_RIGHT : ANCHOR_LEFT;
        GuiFaceButton* button = nullptr;
        if (look.check) {
            button = look.picture ? create_check_button(look.picture(), look.label, look.tooltip, anchor)
                                  : create_check_button(look.label, look.tooltip, anchor);
        } else {
            button = look.picture ? create_button(look.picture(), look.label, look.tooltip, anchor)
                                  : create_button(look.label, look.tooltip, anchor);
        }
        m_buttons[i] = button;
        Button const id = static_cast<Button>(i);
        CoreString const& event = look.check ? EVT_ID_CHECK_BUTTON_CLICK : EVT_ID_PUSH_BUTTON_CLICK;
        EventObject::connect(*button, event, *this, [this, id] { run(id); });
    }
}

GuiFaceButton* GuiViewportToolbar::get_button(Button const& button) const
{
    return button >= 0 && button < BUTTON_COUNT ? m_buttons[button] : nullptr;
}

void GuiViewportToolbar::set_checked(Button const& button, bool const& checked)
{
    GuiFaceButton* face = get_button(button);
    if (!face || !s_looks[button].check) return;
    auto* check = static_cast<GuiCheckButton*>(face);
    if (check->get_value() == checked) return;
    bool const muted = check->is_mute();
    check->set_mute(true);
    check->set_value(checked);
    check->set_mute(muted);
}

bool GuiViewportToolbar::is_checked(Button const& button) const
{
    GuiFaceButton* face = get_button(button);
    return face && s_looks[button].check && static_cast<GuiCheckButton*>(face)->get_value();
}

void GuiViewportToolbar::run(Button const& button)
{
    GuiBasicViewportWidget* editor = m_viewport.get_current_viewport_widget();
    switch (button) {
    case BUTTON_LOCK_SELECTION: m_viewport.lock_selection_button(); break;
    case BUTTON_STICKY_SELECTION:
        if (editor) editor->set_global_selection_from_sticky();
        break;
    case BUTTON_SHOW_SHADOWED: m_viewport.set_tab_shadowed(is_checked(button)); break;
    case BUTTON_ENABLE_EVALUATION: m_viewport.set_tab_evaluation(is_checked(button)); break;
    case BUTTON_PAUSE_EVALUATION: m_viewport.set_auto_evaluation(!is_checked(button)); break;
    case BUTTON_REFRESH:
        if (editor) editor->force_evaluation();
        break;
    // The frame may be destroyed by these: nothing of this toolbar is used after them.
    case BUTTON_CLOSE: m_viewport.close(); return;
    case BUTTON_MAXIMIZE: m_viewport.set_maximize(!m_viewport.is_maximize()); return;
    case BUTTON_SPLIT_VERTICAL: m_viewport.split_v(); return;
    case BUTTON_SPLIT_HORIZONTAL: m_viewport.split_h(); return;
    case BUTTON_SPLIT_QUAD: m_viewport.split_q(); return;
    default: return;
    }
    m_viewport.reset_controls();
}

GuiViewportTabWidget::GuiViewportTabWidget(GuiWidget& parent, GuiViewport& viewport)
    : GuiTabWidget(parent, viewport.get_x(), viewport.get_y(), viewport.get_width(), viewport.get_height()),
      m_viewport(viewport)
{
    enable_tabs_closing(true);
    enable_tabs_dragndrop(true);
}

bool GuiViewportTabWidget::is_valid_dnd_data() const
{
    if (!GuiTabWidget::is_valid_dnd_data()) return false;
    return get_tab_dnd_data()->get_source().is_kindof(GuiViewportTabWidget::class_info());
}

int GuiViewportTabWidget::drop_tab(GuiTabWidget& source, unsigned int const& index, unsigned int const& at)
{
    if (&source == this || !source.is_kindof(GuiViewportTabWidget::class_info()))
        return GuiTabWidget::drop_tab(source, index, at);
    GuiViewport& from = static_cast<GuiViewportTabWidget&>(source).get_viewport();
    if (!m_viewport.move_viewport_widget_from(from, index, at)) return -1;
    return get_selected_tab();
}
