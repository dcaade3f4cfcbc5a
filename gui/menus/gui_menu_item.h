#pragma once
// GuiMenuItem: one row of a GuiMenu: a command (with or without a GuiAction), a separator
// (optionally labelled), a sub-menu, or an embedded widget; with check marks, radio groups,
// icons, a shortcut text and looks (bold, italic, strikeout, faded, disabled).
// GuiMenuRadioGroup: items of which at most one is checked.
//
//     GuiMenuItem* item = menu->add_item("Wireframe");
//     item->set_checkable(true);
//     item->check(true);
#include "gui/core/gui_export.h"
#include "host/core/core_custom_data.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class GuiAction;
class GuiIcon;
class GuiImage;
class GuiMenu;
class GuiMenuItem;
class GuiWidget;

class QN_GUI_API GuiMenuRadioGroup {
public:
    CoreVector<GuiMenuItem*> const& get_items() const { return m_items; }
    void add_item(GuiMenuItem* item);
    void remove_item(GuiMenuItem* item);

private:
    CoreVector<GuiMenuItem*> m_items;
};

class QN_GUI_API GuiMenuItem : public CoreCustomData {
    CORE_DECLARE_CLASS(GuiMenuItem, CoreCustomData)

public:
    // A separator.
    GuiMenuItem();
    explicit GuiMenuItem(CoreString const& name);
    GuiMenuItem(GuiMenu& menu, CoreString const& name);
    // An item opening `sub_menu` (owned by the item); a clickable-menu item is also
    // triggered like a command when clicked.
    GuiMenuItem(GuiMenu& menu, GuiMenu* sub_menu, CoreString const& name, bool const& clickable_menu = false);
    // An item running the action; its shortcut and icon come from the action, its name too
    // when `name` is empty.
    GuiMenuItem(GuiAction& action, CoreString const& name = CoreString());
    ~GuiMenuItem() override;
    GuiMenuItem(GuiMenuItem const&) = delete;
    GuiMenuItem& operator=(GuiMenuItem const&) = delete;

    CoreString const& get_name() const { return m_name; }
    void set_name(CoreString const& name);
    CoreString const& get_shortcut() const { return m_shortcut; }
    void set_shortcut(CoreString const& shortcut);
    CoreString const& get_doc() const { return m_doc; }
    void set_doc(CoreString const& doc) { m_doc = doc; }
    void* get_data() const { return m_data; }
    void set_data(void* data) { m_data = data; }

    // Without a radio group the mark becomes `checked`. In a group, checking unchecks the
    // group's other items and unchecking does nothing.
    void check(bool const& checked);
    bool const& is_checked() const { return m_checked; }
    void set_checkable(bool const& checkable);
    bool const& get_checkable() const { return m_checkable; }
    // Joins the group (leaving the previous one); the item becomes checkable. Null leaves it.
    void set_radio_group(GuiMenuRadioGroup* group);
    GuiMenuRadioGroup* get_radio_group() const { return m_radio_group; }

    void enable() { set_enable(true); }
    void disable() { set_enable(false); }
    void set_enable(bool const& enabled);
    bool is_enabled() const { return !m_disabled; }
    bool const& is_disabled() const { return m_disabled; }
    void set_faded(bool const& faded);
    bool const& is_faded() const { return m_faded; }
    void set_bold(bool const& bold);
    bool const& is_bold() const { return m_bold; }
    void set_italic(bool const& italic);
    bool const& is_italic() const { return m_italic; }
    void set_strikeout(bool const& strikeout);
    bool const& is_strikeout() const { return m_strikeout; }
    void set_is_clickable(bool const& clickable) { m_clickable = clickable; }
    bool const& is_clickable() const { return m_clickable; }
    void set_is_clickable_menu(bool const& clickable) { m_clickable_menu = clickable; }
    bool const& is_clickable_menu() const { return m_clickable_menu; }

    bool const& is_separator() const { return m_separator; }
    // A command row: neither a separator, a sub-menu nor a widget.
    bool is_item() const { return !m_separator && !m_sub_menu && !m_widget; }
    bool is_sub_menu() const { return m_sub_menu != nullptr; }
    bool is_action() const { return m_action != nullptr; }
    GuiAction* get_action() const { return m_action; }
    // The sub-menu if any, else the menu holding the item.
    GuiMenu* get_menu() const { return m_sub_menu ? m_sub_menu : m_menu; }
    GuiMenu* get_sub_menu() const { return m_sub_menu; }
    GuiMenu* get_holding_menu() const { return m_menu; }
    // The embedded widget of a widget row; null otherwise.
    GuiWidget* get_widget() const { return m_widget; }

    // Images are not copied: they must outlive the item.
    void set_icon(GuiImage const* icon);
    // The icon's 16-pixel picture.
    void set_icon(GuiIcon const* icon);
    void set_icons(CoreVector<GuiImage const*> const& icons);
    GuiImage const* get_icon() const { return m_icons.is_empty() ? nullptr : m_icons[0]; }
    CoreVector<GuiImage const*> const& get_icons() const { return m_icons; }
    void remove_icons();

private:
    friend class GuiMenu;
    // Layout and drawing of the holding menu are out of date.
    void changed();

    CoreString m_name;
    bool m_separator = false;
    bool m_clickable = true;
    bool m_clickable_menu = false;
    GuiMenu* m_sub_menu = nullptr;
    GuiMenu* m_menu = nullptr;
    GuiAction* m_action = nullptr;
    CoreString m_shortcut;
    CoreVector<GuiImage const*> m_icons;
    void* m_data = nullptr;
    bool m_bold = false;
    bool m_checkable = false;
    bool m_checked = false;
    bool m_italic = false;
    bool m_strikeout = false;
    GuiMenuRadioGroup* m_radio_group = nullptr;
    bool m_disabled = false;
    bool m_faded = false;
    CoreString m_doc;
    GuiWidget* m_widget = nullptr;
    // False for a sub-menu shown here but owned elsewhere (a menu button's).
    bool m_owns_sub_menu = true;
};
