#pragma once
// What the spreadsheet tests share: a fixture with a shown sheet filled with text cells, and
// presses, drags and releases that carry modifier keys.
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "gui/spreadsheet/gui_spreadsheet.h"
#include "gui/spreadsheet/gui_spreadsheet_cell.h"
#include "gui/spreadsheet/gui_spreadsheet_row.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_event_state.h"
#include "tests/support/gui_synthetic_events.h"

// The event data of each `name` raised on a widget, in order.
class RaisedData {
public:
    void listen(GuiWidget& widget, CoreString const& name) { EventObject::connect(widget, name, &RaisedData::on_event, this); }
    std::vector<void*> const& get() const { return m_data; }
    void clear() { m_data.clear(); }

private:
    static void on_event(EventObject&, EventObject::EventInfo const& info, void* data)
    {
        static_cast<RaisedData*>(data)->m_data.push_back(info.get_event_data());
    }
    std::vector<void*> m_data;
};

class SpreadsheetTest : public ControlsTest {
protected:
    // A shown 400 × 300 sheet at (0, 0) with `columns` proportional columns.
    GuiSpreadsheet& make_sheet(int columns = 3, int w = 400, int h = 300)
    {
        GuiWindow& window = make_window(w, h);
        m_sheet = new GuiSpreadsheet(window, 0, 0, w, h);
        for (int c = 0; c < columns; ++c) m_sheet->add_column(CoreString(("C" + std::to_string(c)).c_str()));
        m_sheet->show();
        pump_events(app());
        return *m_sheet;
    }
    // Appends a row holding `cells` (owned by the row) and works off the redraws.
    GuiSpreadsheetRow* add_cells(std::vector<GuiSpreadsheetCell*> const& cells)
    {
        GuiSpreadsheetRow* row = new GuiSpreadsheetRow(*m_sheet);
        for (GuiSpreadsheetCell* cell : cells) row->add_cell(cell);
        m_sheet->add_row(row);
        pump_events(app());
        return row;
    }
    // A row of text cells "r<row>c<column>" (or the given texts).
    GuiSpreadsheetRow* make_row(int row, int cells)
    {
        GuiSpreadsheetRow* r = new GuiSpreadsheetRow(*m_sheet);
        for (int c = 0; c < cells; ++c)
            r->add_cell(new GuiSpreadsheetCellBasicText(("r" + std::to_string(row) + "c" + std::to_string(c)).c_str()));
        return r;
    }
    void add_rows(int count)
    {
        CoreVector<GuiSpreadsheetRow*> rows;
        for (int i = 0; i < count; ++i) rows.add(make_row(static_cast<int>(m_sheet->get_row_count()) + i, m_sheet->get_column_count()));
        m_sheet->add_rows(rows);
        pump_events(app());
    }
    // The centre of a cell on screen.
    int cell_x(int column) { return m_sheet->get_cell_pos_x(column) + m_sheet->get_cell_width(column) / 2; }
    int cell_y(int row) { return m_sheet->get_cell_pos_y(row) + m_sheet->get_row_pitch(0) / 2; }
    int title_y() { return m_sheet->get_body_y() - m_sheet->get_header_column_height() / 2; }
    void click_cell(int column, int row, int modifiers = 0)
    {
        send_pointer(*m_sheet, FL_PUSH, cell_x(column), cell_y(row), modifiers);
        send_pointer(*m_sheet, FL_RELEASE, cell_x(column), cell_y(row), modifiers);
    }
    void drag_to(int x, int y, int modifiers = 0)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(GuiWidget::DRAG_THROTTLE_MS) + 5));
        send_pointer(*m_sheet, FL_DRAG, x, y, modifiers);
    }
    // The selection as "column,row" strings, in row then column order.
    std::vector<std::string> selection()
    {
        std::vector<std::string> cells;
        for (GMathVec2<int> const& cell : m_sheet->get_selected_cells())
            cells.push_back(std::to_string(cell[0]) + "," + std::to_string(cell[1]));
        return cells;
    }
    std::string text(int column, int row)
    {
        GuiSpreadsheetCell* cell = m_sheet->get_cell(column, row);
        return cell ? cell->get_text().std_string() : "<none>";
    }

    GuiSpreadsheet* m_sheet = nullptr;
};
