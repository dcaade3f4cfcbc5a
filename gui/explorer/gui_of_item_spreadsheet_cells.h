#pragma once
// The cells of an item spreadsheet, one class per column key (GuiOfItemSort::Key). They
// keep nothing of the item themselves: each reads its row's item when asked for its text,
// so renames, comments and class changes show at the next redraw without any bookkeeping.
//
//     key 0  GuiOfItemSpreadsheetCellName          icon and name
//     key 1  GuiOfItemSpreadsheetCellDate          modification time
//     key 2  GuiOfItemSpreadsheetCellDate          creation time
//     key 3  GuiOfItemSpreadsheetCellType          class name, "Context" or "Attribute"
//     key 4  GuiOfItemSpreadsheetCellInstanceName  the source an object is an instance of
//     key 5  GuiOfItemSpreadsheetCellPath          full name
//     key 6  GuiOfItemSpreadsheetCellHasObject     "X" when the item holds objects
//     key 7  GuiOfItemSpreadsheetCellComment       comment
#include <cstdint>

#include "gui/spreadsheet/gui_spreadsheet_cell.h"

class GuiOfItemSpreadsheetRow;

// What the item cells share: their row, and one line of text drawn with the sheet's
// highlight words, dimmed for disabled items.
class QN_GUI_API GuiOfItemSpreadsheetCell : public GuiSpreadsheetCellBasic {
    CORE_DECLARE_CLASS(GuiOfItemSpreadsheetCell, GuiSpreadsheetCellBasic)

public:
    // The cell for a column key; a text cell "Column type does not exists" for unknown keys.
    static GuiSpreadsheetCell* create(int const& key);

    GuiOfItemSpreadsheetRow* get_item_row() const;
    void draw(GuiSpreadsheetDrawContext& context) override;

protected:
    // The text's colour: the sheet's, dimmed when the row's item is disabled.
    GMathVec3<unsigned char> get_item_text_color(GuiSpreadsheetDrawContext& context) const;
    void draw_text_from(GuiSpreadsheetDrawContext& context, GMathVec3<unsigned char> const& background,
                        int const& left);
    // "Object removed" or "Context removed" for an item row whose item left the scene;
    // empty otherwise.
    CoreString get_removed_text() const;
};

class QN_GUI_API GuiOfItemSpreadsheetCellName : public GuiOfItemSpreadsheetCell {
    CORE_DECLARE_CLASS(GuiOfItemSpreadsheetCellName, GuiOfItemSpreadsheetCell)

public:
    CoreString get_text() const override;
    // Leaves room for the icon.
    int get_edit_offset() const override;
    void draw(GuiSpreadsheetDrawContext& context) override;
};

class QN_GUI_API GuiOfItemSpreadsheetCellDate : public GuiOfItemSpreadsheetCell {
    CORE_DECLARE_CLASS(GuiOfItemSpreadsheetCellDate, GuiOfItemSpreadsheetCell)

public:
    explicit GuiOfItemSpreadsheetCellDate(bool const& creation) : m_creation(creation) {}
    // The time in local time ("%x  %I:%M %p"), formatted again only when it changed; empty
    // for rows that are not items.
    CoreString get_text() const override;
    bool const& is_creation() const { return m_creation; }
    // The time a string of this column shows.
    static CoreString format_time(uint32_t const& seconds);

private:
    bool m_creation;
    mutable uint32_t m_formatted_time = 0;
    mutable CoreString m_text;
};

class QN_GUI_API GuiOfItemSpreadsheetCellType : public GuiOfItemSpreadsheetCell {
    CORE_DECLARE_CLASS(GuiOfItemSpreadsheetCellType, GuiOfItemSpreadsheetCell)

public:
    CoreString get_text() const override;
};

class QN_GUI_API GuiOfItemSpreadsheetCellInstanceName : public GuiOfItemSpreadsheetCell {
    CORE_DECLARE_CLASS(GuiOfItemSpreadsheetCellInstanceName, GuiOfItemSpreadsheetCell)

public:
    CoreString get_text() const override;
};

class QN_GUI_API GuiOfItemSpreadsheetCellPath : public GuiOfItemSpreadsheetCell {
    CORE_DECLARE_CLASS(GuiOfItemSpreadsheetCellPath, GuiOfItemSpreadsheetCell)

public:
    CoreString get_text() const override;
};

class QN_GUI_API GuiOfItemSpreadsheetCellHasObject : public GuiOfItemSpreadsheetCell {
    CORE_DECLARE_CLASS(GuiOfItemSpreadsheetCellHasObject, GuiOfItemSpreadsheetCell)

public:
    CoreString get_text() const override;
};

class QN_GUI_API GuiOfItemSpreadsheetCellComment : public GuiOfItemSpreadsheetCell {
    CORE_DECLARE_CLASS(GuiOfItemSpreadsheetCellComment, GuiOfItemSpreadsheetCell)

public:
    CoreString get_text() const override;
};
