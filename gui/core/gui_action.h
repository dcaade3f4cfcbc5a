#pragma once
// GuiAction: a named command of a widget, with a callback, a keyboard or mouse shortcut, a
// tooltip and an icon. Widgets own their actions (GuiWidget::register_action); a key press
// that reaches a focused widget runs the first action of that widget, then of its ancestors,
// whose shortcut is pressed. A window's own actions (its menu's) run for keys typed anywhere
// in it, whether or not a widget has the focus.
//
//     widget->register_action("Save", &on_save, "ctrl+s", "Save the scene", this, nullptr);
//
// Shortcut texts are case-insensitive tokens joined by "+" or spaces: the modifiers "ctrl",
// "shift", "alt", the mouse buttons "leftmouse", "rightmouse", "midmouse", key names ("f1",
// "del", "pgup", "plus", ...) or a single character. A digit also fires from the keypad. The
// display form, get_shortcut(), is "Ctrl+Shift+X".
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/event/event_object.h"

class GuiIcon;
class GuiImage;
#include "gui/core/gui_widget.h"

class QN_GUI_API GuiAction : public EventObject {
    CORE_DECLARE_CLASS(GuiAction, EventObject)

public:
    GuiAction(GuiWidget& widget, CoreString const& name, GuiActionCallback callback = nullptr,
              CoreString const& shortcut = CoreString(), CoreString const& tooltip = CoreString(),
              void* data = nullptr, GuiImage const* icon = nullptr);
    GuiAction(GuiAction const& other);
    GuiAction(GuiAction&& other);
    ~GuiAction() override;

    GuiWidget& get_widget() const { return *m_widget; }
    CoreString const& get_name() const { return m_name; }
    void set_name(CoreString const& name) { m_name = name; }
    // The display form ("Ctrl+S"); empty without shortcut.
    CoreString const& get_shortcut() const { return m_shortcut; }
    // Parses the text again; a token that names nothing, or one past the fourth, is ignored
    // with a warning naming it and the action.
    void set_shortcut(CoreString const& shortcut);
    CoreString const& get_tooltip() const { return m_tooltip; }
    void set_tooltip(CoreString const& tooltip) { m_tooltip = tooltip; }
    void* get_data() const { return m_data; }
    void set_data(void* data) { m_data = data; }
    GuiImage const* get_icon() const { return m_icon; }
    bool has_icon() const { return m_icon != nullptr; }
    // The image is not copied: it must outlive the action.
    void set_icon(GuiImage const* icon) { m_icon = icon; }
    // The icon's first image.
    void set_icon(GuiIcon const* icon);
    GuiActionCallback get_callback() const { return m_callback; }
    void set_callback(GuiActionCallback callback) { m_callback = callback; }
    bool const& is_enabled() const { return m_enabled; }
    void set_enabled(bool const& enabled) { m_enabled = enabled; }

    // The parsed shortcut: toolkit key codes (0 for none), modifiers and mouse buttons.
    int const& get_key() const { return m_key; }
    int const& get_alternate_key() const { return m_alternate_key; }
    bool const& is_alt() const { return m_alt; }
    bool const& is_ctrl() const { return m_ctrl; }
    bool const& is_shift() const { return m_shift; }
    bool const& is_left_button() const { return m_left_button; }
    bool const& is_right_button() const { return m_right_button; }
    bool const& is_middle_button() const { return m_middle_button; }

    // Runs the callback with (widget, this action, data); false without callback.
    bool call(GuiWidget& widget) const;
    // The current toolkit event matches the shortcut: the same Ctrl, Shift and Alt states and
    // mouse buttons, and the last key pressed is the key or its alternate.
    bool is_shortcut_pressed() const;

    // The display name of a toolkit key code ("f12", "pgup", "keypad 1", "x"); empty when
    // the code has none.
    static CoreString get_key_name(int const& key);

private:
    void build_shortcut(CoreString const& text);

    GuiWidget* m_widget;
    CoreString m_name;
    CoreString m_shortcut;
    CoreString m_tooltip;
    void* m_data = nullptr;
    GuiImage const* m_icon = nullptr;
    GuiActionCallback m_callback = nullptr;
    bool m_enabled = true;
    int m_key = 0;
    int m_alternate_key = 0;
    bool m_alt = false;
    bool m_ctrl = false;
    bool m_shift = false;
    bool m_left_button = false;
    bool m_right_button = false;
    bool m_middle_button = false;
};
