// Spreadsheet highlight words and text filter: how the filter text splits into words, which
// texts pass, the spans marked in a text, the highlight masks of matching cells (only in
// highlight-enabled columns, following their rows), and what the cells are told when drawn.
#include "tests/gui_spreadsheet/spreadsheet_test_util.h"

namespace {

using Words = std::vector<std::string>;

Words words_of(GuiSpreadsheet const& sheet)
{
    Words words;
    for (CoreString const& word : sheet.get_highlight_text()) words.push_back(word.std_string());
    return words;
}

class HighlightTest : public SpreadsheetTest {
protected:
    // Rows whose cell in column 0 has a bit in the highlight masks.
    std::vector<int> highlighted_rows()
    {
        std::vector<int> rows;
        for (unsigned int r = 0; r < m_sheet->get_row_count(); ++r)
            if (m_sheet->is_row_highlighted(static_cast<int>(r))) rows.push_back(static_cast<int>(r));
        return rows;
    }
};

}  // namespace

TEST_F(HighlightTest, TheFilterTextSplitsIntoWords)
{
    struct Row {
        char const* text;
        bool case_sensitive;
        Words words;
    };
    Row const rows[] = {
        {"  Cam   Light ", false, {"cam", "light"}},
        {"Cam", true, {"Cam"}},
        {"ca*m *", false, {"cam"}},  // several words lose their stars, and an empty word goes
        {"c*m", false, {"c*m"}},     // a single word keeps them
        {"*", false, {"*"}},
        {"", false, {}},
        {"   ", false, {}},
    };
    GuiSpreadsheet& sheet = make_sheet(1);
    for (Row const& row : rows) {
        sheet.enable_case_sensitive_highlight(row.case_sensitive);
        sheet.set_highlight_text(row.text);
        EXPECT_EQ(words_of(sheet), row.words) << '"' << row.text << '"';
        EXPECT_EQ(sheet.get_highlight_filter_text(), row.text);
    }
    // Switching the case rule splits the last text again.
    sheet.enable_case_sensitive_highlight(false);
    sheet.set_highlight_text("Cam");
    sheet.enable_case_sensitive_highlight(true);
    EXPECT_EQ(words_of(sheet), Words({"Cam"}));
    sheet.clear_highlight_text();
    EXPECT_TRUE(words_of(sheet).empty());
}

TEST_F(HighlightTest, ATextPassesTheFilterWhenItContainsEveryWord)
{
    struct Row {
        char const* filter;
        char const* text;
        bool case_sensitive, valid;
    };
    Row const rows[] = {
        {"", "anything", false, true},         {"*", "anything", false, true},
        {"cam", "Camera1", false, true},       {"cam", "Camera1", true, false},
        {"cam light", "light_cam", false, true}, {"cam light", "camera", false, false},
        {"c*m", "cam", false, false},
    };
    GuiSpreadsheet& sheet = make_sheet(1);
    for (Row const& row : rows) {
        sheet.enable_case_sensitive_highlight(row.case_sensitive, false);
        sheet.set_highlight_text(row.filter, false);
        EXPECT_EQ(sheet.is_valid_by_text_filter(row.text), row.valid) << row.filter << " / " << row.text;
    }
}

TEST_F(HighlightTest, SpansCoverEveryOccurrenceOfEveryWord)
{
    GuiSpreadsheet& sheet = make_sheet(1);
    sheet.set_highlight_text("CAM er");
    std::vector<std::pair<unsigned int, unsigned int>> spans;
    for (GMathVec2<unsigned int> const& span : sheet.get_highlight_spans("Camera cam"))
        spans.emplace_back(span[0], span[1]);
    using Spans = std::vector<std::pair<unsigned int, unsigned int>>;
    EXPECT_EQ(spans, Spans({{0, 3}, {7, 3}, {3, 2}}));
    sheet.set_highlight_text("*");
    EXPECT_TRUE(sheet.get_highlight_spans("Camera").is_empty());
}

TEST_F(HighlightTest, MatchingCellsOfEnabledColumnsAreMarkedAndFollowTheirRows)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(12);
    sheet.set_highlight_text("r1");
    EXPECT_TRUE(highlighted_rows().empty()) << "no column searches yet";
    sheet.enable_column_highlight_text(0, true);
    EXPECT_EQ(highlighted_rows(), std::vector<int>({1, 10, 11}));
    EXPECT_TRUE(sheet.is_cell_highlighted(0, 10));
    EXPECT_FALSE(sheet.is_cell_highlighted(1, 10)) << "column 1 is not searched";

    add_rows(2);  // r12, r13 are searched as they come
    EXPECT_EQ(highlighted_rows(), std::vector<int>({1, 10, 11, 12, 13}));
    delete sheet.remove_row(0);
    EXPECT_EQ(highlighted_rows(), std::vector<int>({0, 9, 10, 11, 12}));
    sheet.set_column_sort_type(0, 0);
    sheet.set_sort_type(0);
    sheet.set_sort_order(-1);
    sheet.sorting_rows_by_selected_column();
    for (int row : highlighted_rows()) EXPECT_EQ(text(0, row).substr(0, 2), "r1") << row;

    sheet.set_highlighted_row(0, true);
    EXPECT_EQ(sheet.get_row_highlight_mask(0), 0b11u) << "an owner marks the whole row";
    sheet.set_highlight_text("");
    EXPECT_TRUE(highlighted_rows().empty());
}

TEST_F(HighlightTest, CellsAreToldWhetherTheyAreSearchedAndTheirRowHighlighted)
{
    struct Recorder : GuiSpreadsheetCellBasicText {
        using GuiSpreadsheetCellBasicText::GuiSpreadsheetCellBasicText;
        void draw(GuiSpreadsheetDrawContext& context) override
        {
            enabled = context.is_highlight_enabled();
            row_highlighted = context.is_row_highlighted();
            GuiSpreadsheetCellBasicText::draw(context);
        }
        bool enabled = false, row_highlighted = false;
    };
    GuiSpreadsheet& sheet = make_sheet(2);
    sheet.enable_column_highlight_text(0, true);
    Recorder* searched = new Recorder("camera");
    Recorder* plain = new Recorder("camera");
    Recorder* other = new Recorder("light");
    GuiSpreadsheetRow* row = new GuiSpreadsheetRow(sheet);
    row->add_cell(searched);
    row->add_cell(plain);
    sheet.add_row(row);
    row = new GuiSpreadsheetRow(sheet);
    row->add_cell(other);
    row->add_cell(new GuiSpreadsheetCellBasicText("x"));
    sheet.add_row(row);
    sheet.set_highlight_text("cam");
    pump_events(app());
    EXPECT_TRUE(searched->enabled);
    EXPECT_FALSE(plain->enabled);
    EXPECT_TRUE(searched->row_highlighted);
    EXPECT_FALSE(other->row_highlighted);
}
