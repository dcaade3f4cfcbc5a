#pragma once
// Undo steps of spreadsheet edits. A cell is named by its row, the serial the sheet gave that
// row when it was first edited, and its column: a command whose row has left the sheet (or
// whose sheet is gone) leads nowhere and changes nothing.
#include <cstdint>
#include <memory>

#include "gui/core/gui_export.h"
#include "host/of/of_command_manager.h"

class GuiSpreadsheet;
class GuiSpreadsheetRow;

struct GuiSpreadsheetCellRef {
    GuiSpreadsheetRow const* row = nullptr;
    uint64_t serial = 0;
    int column = -1;
};

// A cell's value changed from one pastable text to another; undo puts the first one back.
class QN_GUI_API GuiSpreadsheetCellCommand : public OfCommand {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellCommand, OfCommand)

public:
    GuiSpreadsheetCellCommand(GuiSpreadsheet& sheet, GuiSpreadsheetCellRef const& cell, CoreString const& before,
                              CoreString const& after);
    // Gives the cell the new value; false (nothing changed) when the cell refuses it.
    bool run() override { return apply(m_after); }
    void undo() override { apply(m_before); }
    void redo() override { apply(m_after); }
    CoreString get_label() const override { return "Edit Cell"; }

private:
    bool apply(CoreString const& text);

    std::weak_ptr<GuiSpreadsheet*> m_sheet;
    GuiSpreadsheetCellRef m_cell;
    CoreString m_before;
    CoreString m_after;
};
