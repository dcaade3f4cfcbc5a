#pragma once
// GuiListButton: a drop-down choice. It shows the chosen entry of its list (or its
// placeholder while none is chosen) with a down arrow; a click opens the list as a menu with
// the chosen entry checked. Up/Down (Home/End) step through the list while it has the focus,
// Space or Return opens it. A choice made by the user that differs from the current one
// raises EVT_ID_LIST_BUTTON_SELECTION_CHANGED; choosing from code raises nothing.
//
//     GuiListButton* shading = new GuiListButton(*panel, 10, 10, 120, 20, "Shading");
//     shading->set_items({"Smooth", "Flat", "Wireframe"});
//     shading->set_selected_index(0);
//     panel->connect(*shading, EVT_ID_LIST_BUTTON_SELECTION_CHANGED, &MyPanel::on_shading);
#include "gui/menus/gui_menu_button.h"
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class GuiMenuRadioGroup;

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_LIST_BUTTON_SELECTION_CHANGED);

class QN_GUI_API GuiListButton : public GuiMenuButton {
    CORE_DECLARE_CLASS(GuiListButton, GuiMenuButton)

public:
    // Width of the arrow zone at the right of the button.
    static constexpr int ARROW_ZONE_WIDTH = 14;

    // The placeholder is shown while no entry is chosen.
    GuiListButton(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                  CoreString const& placeholder = CoreString());

    // Replaces the list; the choice is kept when its label is still in it, else cleared.
    void set_items(CoreVector<CoreString> const& labels);
    void add_item(CoreString const& label);
    void clear_items();
    unsigned int get_item_count() const { return m_items.get_count(); }
    // Empty for an index out of range.
    CoreString get_item_label(unsigned int const& index) const;
    CoreVector<CoreString> const& get_items() const { return m_items; }

    // -1 when none is chosen.
    int const& get_selected_index() const { return m_selected; }
    // -1 clears the choice; other indices out of range are refused with a warning.
    bool set_selected_index(int const& index);
    // Chooses the first entry with that label; false (the choice unchanged) when none has it.
    bool select_item(CoreString const& label);
    // Empty when none is chosen.
    CoreString get_selected_label() const;

    void set_placeholder(CoreString const& placeholder);
    CoreString const& get_placeholder() const { return m_placeholder; }

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

private:
    // Chooses for the user: raises the change event when the choice differs.
    void choose(int const& index);
    // The menu mirrors the list and the choice.
    void rebuild_menu();
    void update_label();
    void on_menu_click(GuiMenu& menu, EventInfo const& info, void* data);

    CoreVector<CoreString> m_items;
    int m_selected = -1;
    CoreString m_placeholder;
    GuiMenuRadioGroup* m_group = nullptr;
};
