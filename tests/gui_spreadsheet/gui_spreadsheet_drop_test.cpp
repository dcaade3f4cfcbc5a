// Spreadsheet drops: which drags the sheet takes on entry, a reorder drop of the sheet's own
// rows followed by the owner applying it, and orders apply_permute_rows refuses.
#include <functional>

#include "tests/gui_spreadsheet/spreadsheet_test_util.h"
#include "tests/support/log_recorder.h"

namespace {

using Texts = std::vector<std::string>;

struct DragScript {
    std::function<void()> during;
    bool called = false;
};

void run_script(void* data)
{
    DragScript& script = *static_cast<DragScript*>(data);
    script.called = true;
    script.during();
    // Ends the toolkit's drag loop, as releasing the button would.
    Fl::pushed(nullptr);
}

class DropTest : public SpreadsheetTest {
protected:
    // Runs `during` inside the drag loop `start` opens (a sheet's or another widget's drag).
    void while_dragging(GuiWidget& source, std::function<bool()> const& start, std::function<void()> const& during)
    {
        DragScript script{during};
        Fl::add_timeout(0.01, &run_script, &script);
        Fl::pushed(source.get_widget());
        start();
        Fl::remove_timeout(&run_script, &script);
        Fl::pushed(nullptr);
        EXPECT_TRUE(script.called) << "no drag loop ran";
    }
    Texts column0()
    {
        Texts texts;
        for (unsigned int r = 0; r < m_sheet->get_row_count(); ++r) texts.push_back(text(0, static_cast<int>(r)));
        return texts;
    }
    // A point in the upper or lower quarter of a row.
    int row_y(int row, bool lower) { return m_sheet->get_cell_pos_y(row) + (lower ? 3 : 1) * m_sheet->get_row_pitch(0) / 4; }
};

}  // namespace

TEST_F(DropTest, EntryIsRefusedWithoutModeOnReadOnlyColumnsAndForReordersFromElsewhere)
{
    enum Source { NO_DRAG, THE_SHEET, ANOTHER_WIDGET };
    struct Row {
        char const* what;
        int mode;
        Source source;
        bool read_only;
        bool accepted;
    };
    Row const rows[] = {
        {"no mode", GuiSpreadsheet::DND_MODE_NONE, NO_DRAG, false, false},
        {"default mode", GuiSpreadsheet::DND_MODE_DEFAULT, NO_DRAG, false, true},
        {"default mode, read-only column", GuiSpreadsheet::DND_MODE_DEFAULT, NO_DRAG, true, false},
        {"reorder from another program", GuiSpreadsheet::DND_MODE_REORDER, NO_DRAG, false, false},
        {"reorder from another widget", GuiSpreadsheet::DND_MODE_REORDER, ANOTHER_WIDGET, false, false},
        {"reorder of its own rows", GuiSpreadsheet::DND_MODE_REORDER, THE_SHEET, false, true},
    };
    for (Row const& row : rows) {
        GuiSpreadsheet& sheet = make_sheet(2, 300, 200);
        add_rows(3);
        sheet.set_dnd_mode(row.mode);
        sheet.set_read_only(row.read_only);
        GuiWidget* other = new GuiWidget(*sheet.get_window(), 310, 10, 50, 50);
        other->show();
        int entered = -1;
        auto enter = [&] { entered = send_event(sheet, FL_DND_ENTER, cell_x(1), cell_y(1)); };
        LogRecorder log;
        if (row.source == NO_DRAG) enter();
        if (row.source == THE_SHEET) while_dragging(sheet, [&] { return sheet.do_initiate_dnd_event(); }, enter);
        if (row.source == ANOTHER_WIDGET) {
            CoreBaseObject payload;
            while_dragging(*other, [&] { return other->initiate_dnd_event(&payload); }, enter);
        }
        EXPECT_EQ(entered, row.accepted ? 1 : 0) << row.what;
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), row.accepted ? 0u : 1u) << row.what << log.dump();
        delete m_sheet;
        pump_events(app());
    }
}

TEST_F(DropTest, AReorderDropComputesTheOrderAndApplyingItMovesRowsWithTheirSelection)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(5);
    sheet.set_dnd_mode(GuiSpreadsheet::DND_MODE_REORDER);
    click_cell(0, 3);
    click_cell(0, 1, FL_CTRL);
    EventLog events;
    events.listen(sheet, {&EVT_ID_DND_RELEASE});
    std::vector<int> targets;
    while_dragging(sheet, [&] { return sheet.do_initiate_dnd_event(); }, [&] {
        send_event(sheet, FL_DND_ENTER, cell_x(0), row_y(4, false));
        send_event(sheet, FL_DND_DRAG, cell_x(0), row_y(4, true));
        int column = -1, row = -1;
        bool after = false;
        sheet.get_dnd_info(column, row, after);
        targets = {column, row, after ? 1 : 0};
        send_event(sheet, FL_DND_DRAG, cell_x(1), row_y(0, false));
        send_event(sheet, FL_DND_RELEASE, cell_x(1), row_y(0, false));
    });
    EXPECT_EQ(targets, std::vector<int>({0, 4, 1})) << "the drag follows the pointer";
    EXPECT_EQ(events.count(EVT_ID_DND_RELEASE), 1);
    EXPECT_EQ(sheet.get_permute_rows(), CoreVector<unsigned int>({3, 1, 0, 2, 4}));
    int column = 0, row = 0;
    bool after = true;
    sheet.get_dnd_info(column, row, after);
    EXPECT_EQ(row, -1) << "the release clears the target";

    ASSERT_TRUE(sheet.apply_permute_rows());
    EXPECT_EQ(column0(), Texts({"r3c0", "r1c0", "r0c0", "r2c0", "r4c0"}));
    EXPECT_EQ(selection(), std::vector<std::string>({"0,0", "0,1"}));
    sheet.get_cursor_position(column, row);
    EXPECT_EQ(text(0, row), "r1c0") << "the cursor stays on its row";
    EXPECT_TRUE(sheet.get_permute_rows().is_empty());
}

TEST_F(DropTest, ApplyingRefusesAnOrderThatIsNotOneOfTheRows)
{
    struct Row {
        char const* what;
        bool fill;
        void (*after_fill)(GuiSpreadsheet&);
    };
    Row const rows[] = {
        {"no drop computed", false, nullptr},
        {"a row added since", true,
         [](GuiSpreadsheet& sheet) {
             GuiSpreadsheetRow* added = new GuiSpreadsheetRow(sheet);
             added->add_cell(new GuiSpreadsheetCellBasicText("added"));
             sheet.add_row(added);
         }},
        {"tree mode", true, [](GuiSpreadsheet& sheet) { sheet.set_tree_mode(true); }},
    };
    for (Row const& row : rows) {
        GuiSpreadsheet& sheet = make_sheet(1);
        add_rows(3);
        sheet.set_dnd_mode(GuiSpreadsheet::DND_MODE_REORDER);
        click_cell(0, 2);
        if (row.fill) {
            sheet.set_dnd_info(0, 0, false);
            sheet.fill_permute_rows();
            ASSERT_FALSE(sheet.get_permute_rows().is_empty()) << row.what;
        }
        if (row.after_fill) row.after_fill(sheet);
        Texts const before = column0();
        LogRecorder log;
        EXPECT_FALSE(sheet.apply_permute_rows()) << row.what;
        EXPECT_EQ(column0(), before) << row.what;
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << row.what << log.dump();
        delete m_sheet;
        pump_events(app());
    }
}
