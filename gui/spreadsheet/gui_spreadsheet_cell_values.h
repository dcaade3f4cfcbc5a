#pragma once
// Spreadsheet cells that show a value as a picture: an on/off icon, text with icons, a check
// box and a colour swatch. A click toggles the first two kinds; the colour cell asks its
// owner to edit it with EVT_ID_SPREADSHEET_CELL_COLOR_REQUEST.
//
//     GuiSpreadsheetCellCheckbox* visible = new GuiSpreadsheetCellCheckbox(true);
//     row->add_cell(visible);  // a click toggles it and raises EVT_ID_SPREADSHEET_CELL_UPDATED
#include "gui/spreadsheet/gui_spreadsheet_cell.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"

// A colour cell was double clicked or asked to edit; the event data is the cell.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SPREADSHEET_CELL_COLOR_REQUEST);

// One of two pictures, centred: the second (when given) while the cell is selected. A click
// on an unlocked cell switches the cell's enabled flag, so the icon works as an on/off switch.
class QN_GUI_API GuiSpreadsheetCellBasicIcon : public GuiSpreadsheetCellBasic {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellBasicIcon, GuiSpreadsheetCellBasic)

public:
    GuiSpreadsheetCellBasicIcon() = default;
    explicit GuiSpreadsheetCellBasicIcon(GuiImage const* icon, GuiImage const* selected_icon = nullptr);
    void set_icons(GuiImage const* icon, GuiImage const* selected_icon = nullptr);
    GuiImage const* get_icon() const { return m_icon; }
    void init(GuiSpreadsheetRow& row) override;
    bool is_selectable(bool const&) const override { return false; }
    CoreString get_text() const override { return CoreString(); }
    // "on" or "off": the enabled flag, which is the icon's value.
    CoreString get_pastable_text() const override { return is_enabled() ? "on" : "off"; }
    bool set_pastable_text(CoreString const& text) override;
    // Its value is the enabled flag, so a disabled icon still takes one.
    bool is_value_changeable() const override { return true; }
    void draw(GuiSpreadsheetDrawContext& context) override;
    bool on_click(bool const& press) override;

private:
    GuiImage const* m_icon = nullptr;
    GuiImage const* m_selected_icon = nullptr;
};

// Text with one or more icons on its left; the line edit opens after them.
class QN_GUI_API GuiSpreadsheetCellBasicTextWithIcon : public GuiSpreadsheetCellBasicText {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellBasicTextWithIcon, GuiSpreadsheetCellBasicText)

public:
    using GuiSpreadsheetCellBasicText::GuiSpreadsheetCellBasicText;
    GuiSpreadsheetCellBasicTextWithIcon(CoreString const& text, GuiImage const* icon);
    void set_icon(GuiImage const* icon);
    void set_icons(CoreVector<GuiImage const*> const& icons) { m_icons = icons; }
    CoreVector<GuiImage const*> const& get_icons() const { return m_icons; }
    // Icons drawn in their disabled look when false.
    void set_enable_icon(bool const& enable) { m_icon_enabled = enable; }
    bool const& is_icon_enabled() const { return m_icon_enabled; }
    // The first icon's width and 4 pixels; 0 without icon.
    int get_edit_offset() const override;
    void draw(GuiSpreadsheetDrawContext& context) override;

private:
    CoreVector<GuiImage const*> m_icons;
    bool m_icon_enabled = true;
};

// A check box: checked, unchecked or no value (a mixed selection). A click, or the sheet's
// request to edit, toggles it (no value becomes checked).
class QN_GUI_API GuiSpreadsheetCellCheckbox : public GuiSpreadsheetCellBasic {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellCheckbox, GuiSpreadsheetCellBasic)

public:
    enum Value : int { VALUE_CHECKED = 0, VALUE_UNCHECKED = 1, VALUE_NONE = 2 };

    GuiSpreadsheetCellCheckbox() = default;
    explicit GuiSpreadsheetCellCheckbox(bool const& checked) : m_value(checked ? VALUE_CHECKED : VALUE_UNCHECKED) {}

    int const& get_value() const { return m_value; }
    // Values other than the three are refused.
    void set_value(int const& value);
    bool is_checked() const { return m_value == VALUE_CHECKED; }
    void set_is_checked(bool const& checked) { m_value = checked ? VALUE_CHECKED : VALUE_UNCHECKED; }
    bool get_has_no_value() const { return m_value == VALUE_NONE; }
    void set_has_no_value(bool const& none);
    void set_has_value(bool const& has_value) override { set_has_no_value(!has_value); }
    bool get_has_value() const override { return m_value != VALUE_NONE; }
    // Pictures for the checked (and its selected variant) and unchecked states; the built-in
    // checker without them. With `tint`, the checked picture takes the sheet's text colour.
    void set_icons(GuiImage const* checked, GuiImage const* checked_selected, GuiImage const* unchecked,
                   bool const& tint = false);

    bool is_selectable(bool const&) const override { return false; }
    CoreString get_text() const override { return CoreString(); }
    // "true", "false", or "" without a value.
    CoreString get_pastable_text() const override;
    bool set_pastable_text(CoreString const& text) override;
    // Checked before unchecked before no value.
    int compare(GuiSpreadsheetCell* other) const override;
    void draw(GuiSpreadsheetDrawContext& context) override;
    bool on_click(bool const& press) override;
    bool on_double_click() override { return on_click(true); }
    // The same toggle, then the edit ends.
    bool on_edit_content() override;

private:
    bool toggle();

    int m_value = VALUE_UNCHECKED;
    bool m_tint = false;
    GuiImage const* m_checked = nullptr;
    GuiImage const* m_checked_selected = nullptr;
    GuiImage const* m_unchecked = nullptr;
};

// A swatch of a colour (components 0-1, linear, shown through the application's display
// transform) and, with a value, its three components as "r, g, b". A double click tells the
// owner (EVT_ID_SPREADSHEET_CELL_COLOR_REQUEST) and opens the application's colour dialog on
// the colour: the cell shows the dialog's colour while it is used, and the colour it is left
// on becomes the cell's value through the sheet's change_cell_value (one undo step).
class QN_GUI_API GuiSpreadsheetCellColor : public GuiSpreadsheetCellBasic {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellColor, GuiSpreadsheetCellBasic)

public:
    GuiSpreadsheetCellColor() = default;
    explicit GuiSpreadsheetCellColor(GMathVec3<double> const& color) : m_color(color) {}
    ~GuiSpreadsheetCellColor() override;
    void remove_all_data() override;

    GMathVec3<double> const& get_color() const { return m_color; }
    // Components that are not finite are refused; values outside 0-1 (HDR) are kept.
    bool set_color(GMathVec3<double> const& color);
    void set_has_value(bool const& has_value) override { m_has_value = has_value; }
    bool get_has_value() const override { return m_has_value; }
    // "r, g, b" with three decimals; empty without a value.
    CoreString get_text() const override;
    // Three numbers separated by commas or blanks.
    bool set_pastable_text(CoreString const& text) override;
    // Reads three numbers separated by commas and/or blanks; false for anything else.
    static bool parse_color(CoreString const& text, GMathVec3<double>& color);
    void draw(GuiSpreadsheetDrawContext& context) override;
    bool on_double_click() override;
    bool on_edit_content() override;
    // Opens the colour dialog on the cell's colour; false for a disabled or locked cell, one
    // in no sheet, or without a dialog to open.
    bool open_color_dialog();
    // The hidden colour field of the sheet that follows the dialog for the cell; null until
    // the dialog was first opened from it.
    GuiWidget* get_dialog_follower() const { return m_follower; }

private:
    friend class GuiSpreadsheetCellColorFollower;
    // The dialog's colour while it is used (shown, not recorded), then the colour it was left on.
    void on_dialog_color(GMathVec3<double> const& color, bool const& ended);

    bool m_has_value = true;
    GMathVec3<double> m_color = GMathVec3<double>(0.0, 0.0, 0.0);
    GuiWidget* m_follower = nullptr;
};
