// Spreadsheet copy: the selected block as tab-separated text, and Ctrl+C putting it on the
// clipboard with its type.
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>

#include "tests/gui_spreadsheet/spreadsheet_test_util.h"
#include "tests/support/gui_synthetic_events.h"

namespace {

// Records what a paste delivers.
class PasteTarget : public Fl_Box {
public:
    using Fl_Box::Fl_Box;
    int handle(int event) override
    {
        if (event == FL_PASTE) {
            pasted = Fl::event_text();
            return 1;
        }
        return event == FL_FOCUS ? 1 : Fl_Box::handle(event);
    }
    std::string pasted;
};

}  // namespace

TEST_F(SpreadsheetTest, CopyTextIsTheSelectedBlockWithEmptyFieldsForUnselectedCells)
{
    struct Row {
        char const* what;
        CoreVector<GMathVec2<int>> cells;
        char const* text;
        char const* type;
    };
    Row const rows[] = {
        {"nothing", {}, "", ""},
        {"three rows by two columns",
         {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {1, 3}, {2, 3}},
         "r1c1\tr1c2\nr2c1\tr2c2\nr3c1\tr3c2",
         "GuiSpreadsheet 1 2"},
        {"mixed rows", {{0, 0}, {1, 0}, {2, 2}}, "r0c0\tr0c1\t\n\t\tr2c2", "GuiSpreadsheet 0 2"},
        {"a gap in a row", {{0, 4}, {2, 4}}, "r4c0\t\tr4c2", "GuiSpreadsheet 0 2"},
    };
    GuiSpreadsheet& sheet = make_sheet(3);
    add_rows(5);
    for (Row const& row : rows) {
        sheet.unselect_all();
        sheet.set_selection_cells(row.cells);
        CoreString type;
        EXPECT_EQ(sheet.get_selection_copy_text(&type).std_string(), row.text) << row.what;
        EXPECT_EQ(type.std_string(), row.type) << row.what;
    }
}

TEST_F(SpreadsheetTest, CtrlCPutsTheBlockOnTheClipboardUnlessCopyingIsOff)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(2);
    Gui::copy_to_clipboard("before");
    sheet.set_copy_to_clipboard(false);
    sheet.select_all();
    sheet.set_focus();
    key_down(sheet, 'c', "c", FL_CTRL);
    EXPECT_TRUE(Gui::get_clipboard_type().is_empty());

    sheet.set_copy_to_clipboard(true);
    key_down(sheet, 'c', "c", FL_CTRL);
    EXPECT_EQ(Gui::get_clipboard_type().std_string(), "GuiSpreadsheet 0 1");
    Fl_Window window(60, 60, 160, 80, "paste target");
    PasteTarget* target = new PasteTarget(10, 10, 100, 40);
    window.end();
    window.show();
    Fl::focus(target);
    ASSERT_TRUE(Gui::paste_from_clipboard());
    EXPECT_EQ(target->pasted, "r0c0\tr0c1\nr1c0\tr1c1");
    Fl::focus(nullptr);
    window.hide();
}
