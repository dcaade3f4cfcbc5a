#pragma once
// Spreadsheet cells that show scene items: an object with a browse button, an item selector
// with a drop-down and a jump button, and item names with their icons. Items are held by
// handles, so a deleted item simply leaves the cell (the selector shows its none text).
//
//     GuiSpreadsheetCellObject* camera = new GuiSpreadsheetCellObject(scene_camera);
//     camera->set_filter_classes({"Camera"});  // the picker lists cameras only
#include "gui/spreadsheet/gui_spreadsheet_cell.h"
#include "host/core/core_vector.h"
#include "host/of/of_handle.h"

// The value of an object selector changed; the event data is the cell.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SPREADSHEET_CELL_VALUE_CHANGED);

// What the item cells share: an item by handle, drawn with its icon and name, pasted and
// copied by its full name, chosen in the browser picker.
class QN_GUI_API GuiSpreadsheetCellOfItemNameBasic : public GuiSpreadsheetCellBasic {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellOfItemNameBasic, GuiSpreadsheetCellBasic)

public:
    GuiSpreadsheetCellOfItemNameBasic() = default;
    explicit GuiSpreadsheetCellOfItemNameBasic(OfItem const* item) : m_item(item) {}

    OfItem* get_item() const { return m_item.get_item(); }
    // Drawn after the name ("(instance)", say).
    void set_suffix(CoreString const& suffix) { m_suffix = suffix; }
    CoreString const& get_suffix() const { return m_suffix; }
    // The name shown: the item's name and suffix, empty without item.
    CoreString get_text() const override;
    // The full name, which pastes back.
    CoreString get_pastable_text() const override;
    int get_edit_offset() const override;
    void draw(GuiSpreadsheetDrawContext& context) override;

protected:
    // The item itself, without the checks of a user's change.
    void set_item_handle(OfItem const* item) { m_item = OfItemHandle(item); }
    // The item a full name names in the cell's scene; null (logged) when none does.
    OfItem* find_item(CoreString const& full_name, char const* operation) const;
    // Draws the icon and `text` from the content's left, `right_reserve` pixels kept free.
    void draw_item_text(GuiSpreadsheetDrawContext& context, CoreString const& text, int const& right_reserve);
    // Selects the item in the application's selection, which the viewports follow.
    void select_in_application() const;

private:
    OfItemHandle m_item;
    CoreString m_suffix;
};

// An item's name, or an attribute's; the name shows the object's name or its full name.
class QN_GUI_API GuiSpreadsheetCellOfItemName : public GuiSpreadsheetCellOfItemNameBasic {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellOfItemName, GuiSpreadsheetCellOfItemNameBasic)

public:
    explicit GuiSpreadsheetCellOfItemName(OfItem const* item);
    explicit GuiSpreadsheetCellOfItemName(OfAttr const* attr);

    // With true, objects show their full name.
    void set_display_object_name(bool const& full) { m_full_name = full; }
    bool const& get_display_object_name() const { return m_full_name; }
    // The attribute's name, or the item's (full when asked, relative to `context` when given).
    virtual CoreString get_item_name(OfContext const* context) const;
    virtual OfObject* get_object() const;
    virtual OfContext* get_context() const;
    virtual OfAttr* get_attr() const { return m_attr.get_attr(); }
    virtual bool is_object() const { return get_object() != nullptr && !m_attr.is_valid(); }
    virtual bool is_context() const { return get_context() != nullptr; }
    virtual bool is_attr() const { return m_attr.is_valid(); }
    CoreString get_text() const override;

private:
    OfAttrHandle m_attr;
    bool m_full_name = false;
};

// A scene object with a browse button: a click selects the object in the application, a
// double click (or the button) picks another among the filter classes and raises
// EVT_ID_SPREADSHEET_CELL_UPDATED.
class QN_GUI_API GuiSpreadsheetCellObject : public GuiSpreadsheetCellOfItemNameBasic {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellObject, GuiSpreadsheetCellOfItemNameBasic)

public:
    explicit GuiSpreadsheetCellObject(OfObject const* object = nullptr);

    OfObject* get_object() const;
    // Null clears the cell.
    void set_object(OfObject const* object) { set_item_handle(object); }
    void set_filter_classes(CoreVector<CoreString> const& classes) { m_classes = classes; }
    CoreVector<CoreString> const& get_filter_classes() const { return m_classes; }
    // An object of the filter classes by full name; empty clears.
    bool set_pastable_text(CoreString const& text) override;
    void draw(GuiSpreadsheetDrawContext& context) override;
    bool on_click(bool const& press) override;
    bool on_double_click() override;
    // Picks another object; true when it changed.
    bool browse();

protected:
    // The object the user picked, or null; the application's browser picker.
    virtual OfObject* run_picker();

private:
    CoreVector<CoreString> m_classes;
};

// An item chosen from a drop-down: the item or the none text, a drop-down triangle and a jump
// button. The triangle or a double click picks (EVT_ID_SPREADSHEET_CELL_VALUE_CHANGED); the
// jump button selects the item in the application.
class QN_GUI_API GuiSpreadsheetCellObjectSelector : public GuiSpreadsheetCellOfItemNameBasic {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellObjectSelector, GuiSpreadsheetCellOfItemNameBasic)

public:
    explicit GuiSpreadsheetCellObjectSelector(OfItem const* item = nullptr);

    void set_item(OfItem const* item) { set_item_handle(item); }
    void set_none_object_text(CoreString const& text) { m_none_text = text; }
    CoreString const& get_none_object_text() const { return m_none_text; }
    void set_class_filter(CoreVector<CoreString> const& classes) { m_classes = classes; }
    CoreVector<CoreString> const& get_class_filter() const { return m_classes; }
    // The none text without item.
    CoreString get_text() const override;
    bool set_pastable_text(CoreString const& text) override;
    void draw(GuiSpreadsheetDrawContext& context) override;
    bool is_selectable(bool const& flag) const override;
    bool on_click(bool const& press) override;
    bool on_double_click() override;
    bool on_edit_content() override;
    void on_jump_button() const { select_in_application(); }
    // Runs the picker and applies its choice; true when the item changed.
    bool assign_with_browser_picker();

protected:
    virtual OfObject* run_picker();

private:
    // Where a press lands: 0 the name, 1 the drop-down triangle, 2 the jump button.
    int get_pressed_zone() const;

    CoreVector<CoreString> m_classes;
    CoreString m_none_text = "(none)";
};
