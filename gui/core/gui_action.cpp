#include "gui/core/gui_action.h"

#include <FL/Enumerations.H>

#include "gui/core/gui.h"
#include "gui/core/gui_icon.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiAction, EventObject)

namespace {

// A word of the shortcut text and the key it names.
struct KeyWord {
    char const* word;
    int key;
    int alternate;
};

// Words read from shortcut texts; the first word of a key is also its display name.
KeyWord const key_words[] = {
    {"backspace", FL_BackSpace, 0},
    {"bkspace", FL_BackSpace, 0},
    {"tab", FL_Tab, 0},
    {"enter", FL_Enter, 0},
    {"pause", FL_Pause, 0},
    {"slock", FL_Scroll_Lock, 0},
    {"esc", FL_Escape, 0},
    {"home", FL_Home, 0},
    {"left", FL_Left, 0},
    {"up", FL_Up, 0},
    {"right", FL_Right, 0},
    {"down", FL_Down, 0},
    {"pgup", FL_Page_Up, 0},
    {"pgdown", FL_Page_Down, 0},
    {"end", FL_End, 0},
    {"print", FL_Print, 0},
    {"insert", FL_Insert, 0},
    {"menu", FL_Menu, 0},
    {"help", FL_Help, 0},
    {"numlock", FL_Num_Lock, 0},
    {"capslock", FL_Caps_Lock, 0},
    {"lmeta", FL_Meta_L, 0},
    {"rmeta", FL_Meta_R, 0},
    {"del", FL_Delete, 0},
    {"plus", '+', FL_KP + '+'},
    {"add", '+', FL_KP + '+'},
    {"minus", '-', FL_KP + '-'},
    {"subtract", '-', FL_KP + '-'},
    {"*", '*', FL_KP + '*'},
    {"multiply", '*', FL_KP + '*'},
    {"/", '/', FL_KP + '/'},
    {"devide", '/', FL_KP + '/'},
    {"decimal", '.', FL_KP + '.'},
    {"space", ' ', 0},
};

// Display names of the keypad codes, which no shortcut word produces as main key.
struct KeyName {
    int key;
    char const* name;
};
KeyName const keypad_names[] = {
    {FL_KP + '0', "keypad 0"}, {FL_KP + '1', "keypad 1"}, {FL_KP + '2', "keypad 2"},
    {FL_KP + '3', "keypad 3"}, {FL_KP + '4', "keypad 4"}, {FL_KP + '5', "kekpad 5"},
    {FL_KP + '6', "keypad 6"}, {FL_KP + '7', "keypad 7"}, {FL_KP + '8', "keypad 8"},
    {FL_KP + '9', "keypad 9"}, {FL_KP + '+', "add"},      {FL_KP + '-', "subtract"},
    {FL_KP + '*', "multiply"}, {FL_KP + '/', "devide"},   {FL_KP + '.', "decimal"},
};

// 1 to 12 for the words "f1" to "f12", else 0 (no "f01" either).
int function_key_number(CoreString const& token)
{
    if (token.get_length() < 2 || token.get_length() > 3 || token[0] != 'f' || token[1] == '0') return 0;
    int number = 0;
    for (unsigned int i = 1; i < token.get_length(); ++i) {
        if (token[i] < '0' || token[i] > '9') return 0;
        number = number * 10 + (token[i] - '0');
    }
    return number >= 1 && number <= 12 ? number : 0;
}

// Splits at '+' and ' ', dropping empty parts.
CoreVector<CoreString> split_shortcut(CoreString const& text)
{
    CoreVector<CoreString> parts;
    CoreString part;
    for (unsigned int i = 0; i < text.get_length(); ++i) {
        char const c = text[i];
        if (c == '+' || c == ' ') {
            if (!part.is_empty()) parts.add(part);
            part = CoreString();
        } else {
            part += c;
        }
    }
    if (!part.is_empty()) parts.add(part);
    return parts;
}

}  // namespace

GuiAction::GuiAction(GuiWidget& widget, CoreString const& name, GuiActionCallback callback,
                     CoreString const& shortcut, CoreString const& tooltip, void* data, GuiImage const* icon)
    : m_widget(&widget), m_name(name), m_tooltip(tooltip), m_data(data), m_icon(icon), m_callback(callback)
{
    build_shortcut(shortcut);
}

GuiAction::GuiAction(GuiAction const& other)
    : EventObject(), m_widget(other.m_widget), m_name(other.m_name), m_shortcut(other.m_shortcut),
      m_tooltip(other.m_tooltip), m_data(other.m_data), m_icon(other.m_icon), m_callback(other.m_callback),
      m_enabled(other.m_enabled), m_key(other.m_key), m_alternate_key(other.m_alternate_key), m_alt(other.m_alt),
      m_ctrl(other.m_ctrl), m_shift(other.m_shift), m_left_button(other.m_left_button),
      m_right_button(other.m_right_button), m_middle_button(other.m_middle_button)
{
}

// Connections are not moved: the new action starts without listeners, as a copy does.
GuiAction::GuiAction(GuiAction&& other) : GuiAction(static_cast<GuiAction const&>(other)) {}

GuiAction::~GuiAction() = default;

void GuiAction::set_icon(GuiIcon const* icon)
{
    m_icon = icon ? &icon->get_image(ImageIcon::IMAGE_ICON_SIZE_16) : nullptr;
}

void GuiAction::set_shortcut(CoreString const& shortcut)
{
    build_shortcut(shortcut);
}

void GuiAction::build_shortcut(CoreString const& text)
{
    m_key = m_alternate_key = 0;
    m_alt = m_ctrl = m_shift = false;
    m_left_button = m_right_button = m_middle_button = false;
    m_shortcut = CoreString();
    if (text.is_empty()) return;

    CoreVector<CoreString> tokens = split_shortcut(text.get_lower_case());
    unsigned int const count = tokens.get_count() < 4 ? tokens.get_count() : 4;
    for (unsigned int i = 0; i < count; ++i) {
        CoreString const& token = tokens[i];
        if (token == "ctrl") {
            m_ctrl = true;
        } else if (token == "shift") {
            m_shift = true;
        } else if (token == "alt") {
            m_alt = true;
        } else if (token == "leftmouse") {
            m_left_button = true;
        } else if (token == "rightmouse") {
            m_right_button = true;
        } else if (token == "midmouse") {
            m_middle_button = true;
        } else if (int const f = function_key_number(token)) {
            m_key = FL_F + f;
            m_alternate_key = 0;
        } else {
            bool found = false;
            for (KeyWord const& word : key_words) {
                if (token == word.word) {
                    m_key = word.key;
                    m_alternate_key = word.alternate;
                    found = true;
                    break;
                }
            }
            if (!found && token.get_length() == 1) {
                char const c = token[0];
                m_key = static_cast<unsigned char>(c);
                m_alternate_key = (c >= '0' && c <= '9') ? FL_KP + c : 0;
            } else if (!found) {
                CORE_LOG_WARNING("GuiAction.set_shortcut: \"" << token << "\" in the shortcut \"" << text
                                                               << "\" of the action \"" << m_name
                                                               << "\" names no key or modifier; it is ignored\n");
            }
        }
    }
    if (tokens.get_count() > count) {
        CORE_LOG_WARNING("GuiAction.set_shortcut: the shortcut \"" << text << "\" of the action \"" << m_name
                                                                    << "\" has more than four parts; \"" << tokens[count]
                                                                    << "\" and those after it are ignored\n");
    }

    CoreString display;
    auto const append = [&display](char const* part) {
        if (!display.is_empty()) display += " + ";
        display += part;
    };
    if (m_ctrl) append("ctrl");
    if (m_shift) append("shift");
    if (m_alt) append("alt");
    if (m_left_button) append("leftmouse");
    if (m_middle_button) append("midmouse");
    if (m_right_button) append("rightmouse");
    if (m_key != 0) append(get_key_name(m_key).get_data());

    CoreVector<CoreString> parts = split_shortcut(display);
    for (unsigned int i = 0; i < parts.get_count(); ++i) {
        if (i > 0) m_shortcut += '+';
        m_shortcut += parts[i].get_lower_case().make_title();
    }
}

CoreString GuiAction::get_key_name(int const& key)
{
    if (key > FL_F && key <= FL_F + 12) return CoreString("f") + (key - FL_F);
    for (KeyName const& name : keypad_names)
        if (key == name.key) return name.name;
    for (KeyWord const& word : key_words)
        if (key == word.key) return word.word;
    if (key > 32 && key < 127) return CoreString(std::string(1, static_cast<char>(key)));
    return CoreString();
}

bool GuiAction::call(GuiWidget& widget) const
{
    if (!m_callback) return false;
    m_callback(widget, *this, m_data);
    return true;
}

bool GuiAction::is_shortcut_pressed() const
{
    if (Gui::is_modifier_ctrl() != m_ctrl || Gui::is_modifier_shift() != m_shift || Gui::is_modifier_alt() != m_alt)
        return false;
    if (Gui::is_modifier_button_left() != m_left_button || Gui::is_modifier_button_middle() != m_middle_button ||
        Gui::is_modifier_button_right() != m_right_button)
        return false;
    if (m_key == 0 && m_alternate_key == 0) return false;
    int const pressed = Gui::get_last_key_pressed();
    return pressed != 0 && (pressed == m_key || pressed == m_alternate_key);
}

// The widget's actions ------------------------------------------------------------------------------

GuiAction* GuiWidget::register_action(CoreString const& name, GuiActionCallback callback, CoreString const& shortcut,
                                      CoreString const& tooltip, void* data, GuiImage const* icon)
{
    GuiAction* action = new GuiAction(*this, name, callback, shortcut, tooltip, data, icon);
    m_actions.add(action);
    return action;
}

GuiAction* GuiWidget::get_action(CoreString const& name) const
{
    for (GuiAction* action : m_actions)
        if (action->get_name() == name) return action;
    return nullptr;
}

void GuiWidget::remove_action(GuiAction* action, bool const& delete_it)
{
    if (!action || m_actions.find(action) < 0) return;
    m_actions.remove_item(action);
    if (delete_it) delete action;
}

void GuiWidget::remove_all_actions()
{
    CoreVector<GuiAction*> actions = m_actions;
    m_actions.clear();
    for (GuiAction* action : actions) delete action;
}

bool GuiWidget::process_actions()
{
    if (m_actions.is_empty() || !is_enabled()) return false;
    for (GuiAction* action : CoreVector<GuiAction*>(m_actions)) {
        if (!action->is_shortcut_pressed()) continue;
        if (action->is_enabled()) action->call(*this);
        return true;
    }
    return false;
}
