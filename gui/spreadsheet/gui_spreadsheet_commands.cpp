#include "gui/spreadsheet/gui_spreadsheet_commands.h"

#include "gui/spreadsheet/gui_spreadsheet.h"

CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellCommand, OfCommand)

GuiSpreadsheetCellCommand::GuiSpreadsheetCellCommand(GuiSpreadsheet& sheet, GuiSpreadsheetCellRef const& cell,
                                                     CoreString const& before, CoreString const& after)
    : m_sheet(sheet.get_lifetime()), m_cell(cell), m_before(before), m_after(after)
{
}

bool GuiSpreadsheetCellCommand::apply(CoreString const& text)
{
    std::shared_ptr<GuiSpreadsheet*> const alive = m_sheet.lock();
    if (!alive) return false;
    GuiSpreadsheet& sheet = **alive;
    GuiSpreadsheetCell* cell = sheet.resolve_cell_ref(m_cell);
    return cell && sheet.apply_cell_value(cell, text, nullptr);
}
