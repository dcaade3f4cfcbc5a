#pragma once
// GuiBrowserPicker: the modal window in which the user picks one scene object by its full
// name, from the objects of some classes, with a filter that keeps the names containing the
// typed text. Return or a double click in the list picks, Escape cancels.
//
//     GuiBrowserPicker picker(app, {"Camera"});
//     if (OfObject* camera = picker.pick()) ...
#include "gui/panels/gui_input_dialog.h"

class GuiListView;
class OfObject;

class QN_GUI_API GuiBrowserPicker : public GuiInputDialog {
    CORE_DECLARE_CLASS(GuiBrowserPicker, GuiInputDialog)

public:
    static constexpr int LIST_ROWS = 10;

    // Lists the objects of the scene that are kinds of one of the classes (all without classes).
    GuiBrowserPicker(GuiApp& app, CoreVector<CoreString> const& class_names);
    ~GuiBrowserPicker() override;

    // The full names listed before filtering, in scene order.
    CoreVector<CoreString> const& get_candidates() const { return m_candidates; }
    // Keeps the candidates whose name contains the text (case-insensitive).
    void set_filter(CoreString const& text);
    GuiListView& get_list() const { return *m_list; }
    GuiLineEdit& get_filter_edit() const { return *m_filter; }
    // The object of the selected row, or null.
    OfObject* get_selected_object() const;
    // Runs the window with `current` selected; the chosen object, or null when cancelled.
    OfObject* pick(OfObject const* current = nullptr);

private:
    void on_filter_changed(EventObject& sender, EventInfo const& info, void* data);
    void on_list_validate(EventObject& sender, EventInfo const& info, void* data);

    CoreVector<CoreString> m_candidates;
    GuiLineEdit* m_filter;
    GuiListView* m_list;
};
