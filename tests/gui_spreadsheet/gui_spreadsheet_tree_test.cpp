// Spreadsheet tree mode: depths, parents and subtree sizes from the children counts, the
// rows shown under collapsed and hidden parents, the expand toggle, ranges over collapsed
// rows, scrolling, sorting and removing inside a tree, and what a toggle costs.
#include "tests/gui_spreadsheet/spreadsheet_test_util.h"
#include "tests/support/log_recorder.h"

#include <array>

namespace {

using Rows = std::vector<int>;

// A row that counts how often the sheet asks whether it is hidden: the visibility pass asks
// every row it walks.
class CountingRow : public GuiSpreadsheetRow {
public:
    using GuiSpreadsheetRow::GuiSpreadsheetRow;
    bool is_hidden() const override
    {
        ++s_asked;
        return GuiSpreadsheetRow::is_hidden();
    }
    static inline long s_asked = 0;
};

class TreeTest : public SpreadsheetTest {
protected:
    // Rows given by their depths, depth-first, all expanded; children counts follow.
    void add_tree(std::vector<int> const& depths, bool counting = false)
    {
        CoreVector<GuiSpreadsheetRow*> rows;
        for (size_t i = 0; i < depths.size(); ++i) {
            GuiSpreadsheetRow* row = counting ? new CountingRow(*m_sheet) : new GuiSpreadsheetRow(*m_sheet);
            for (int c = 0; c < m_sheet->get_column_count(); ++c)
                row->add_cell(new GuiSpreadsheetCellBasicText(("r" + std::to_string(i) + "c" + std::to_string(c)).c_str()));
            int children = 0;
            for (size_t j = i + 1; j < depths.size() && depths[j] > depths[i]; ++j)
                if (depths[j] == depths[i] + 1) ++children;
            row->set_children_count(children);
            row->set_show_children(true);
            rows.add(row);
        }
        m_sheet->add_rows(rows);
        pump_events(app());
    }
    Rows visible()
    {
        Rows rows;
        for (unsigned int p = 0; p < m_sheet->get_visible_row_count(); ++p) rows.push_back(m_sheet->get_visible_row(p));
        return rows;
    }
    GuiSpreadsheet& make_tree_sheet(std::vector<int> const& depths, int columns = 2)
    {
        GuiSpreadsheet& sheet = make_sheet(columns);
        sheet.set_tree_mode(true);
        add_tree(depths);
        return sheet;
    }
    // The centre of row `row`'s expand toggle.
    int toggle_x(int row)
    {
        return m_sheet->get_cell_pos_x(0) + m_sheet->get_row(row)->get_depth() * GuiSpreadsheet::TREE_INDENT +
               GuiSpreadsheet::TREE_INDENT / 2;
    }
};

// 0
//   1
//     2
//     3
//   4
// 5
//   6
std::vector<int> const TREE = {0, 1, 2, 2, 1, 0, 1};

}  // namespace

TEST_F(TreeTest, TheUpdatePassGivesDepthParentAndSubtreeSize)
{
    GuiSpreadsheet& sheet = make_tree_sheet(TREE);
    Rows const parents = {-1, 0, 1, 1, 0, -1, 5};
    Rows const subtrees = {4, 2, 0, 0, 0, 1, 0};
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(sheet.get_row(row)->get_depth(), TREE[row]) << row;
        EXPECT_EQ(sheet.get_row(row)->get_parent_index(), parents[row]) << row;
        EXPECT_EQ(sheet.get_row(row)->get_total_sub_children_count(), subtrees[row]) << row;
    }
    EXPECT_EQ(visible(), Rows({0, 1, 2, 3, 4, 5, 6}));
    sheet.set_tree_mode(false);
    sheet.get_row(0)->set_show_children(false);
    EXPECT_EQ(visible().size(), 7u) << "outside tree mode every row shows";
}

TEST_F(TreeTest, CollapsedAndHiddenParentsHideTheirSubtrees)
{
    struct Row {
        char const* what;
        Rows collapsed, hidden;
        Rows expected;
    };
    Row const rows[] = {
        {"collapsed inner parent", {1}, {}, {0, 1, 4, 5, 6}},
        {"collapsed top parent", {0}, {}, {0, 5, 6}},
        {"collapsed inside collapsed", {0, 1}, {}, {0, 5, 6}},
        {"hidden leaf", {}, {3}, {0, 1, 2, 4, 5, 6}},
        {"hidden parent hides its subtree", {}, {1}, {0, 4, 5, 6}},
        {"hidden top row, collapsed other", {5}, {0}, {5}},
    };
    GuiSpreadsheet& sheet = make_tree_sheet(TREE);
    int const pitch = sheet.get_row_pitch(0);
    for (Row const& row : rows) {
        sheet.expand_all(true);
        for (int r = 0; r < 7; ++r) sheet.get_row(r)->set_hidden(false);
        for (int r : row.collapsed) sheet.toggle_show_children(r, false);
        for (int r : row.hidden) sheet.get_row(r)->set_hidden(true);
        sheet.refresh_rows_visibility();
        pump_events(app());
        Rows const shown = visible();
        EXPECT_EQ(shown, row.expected) << row.what;
        EXPECT_EQ(sheet.get_content_height(), row.expected.size() * pitch) << row.what;
        for (size_t p = 0; p < shown.size(); ++p) {
            EXPECT_EQ(sheet.get_cell_pos_y(shown[p]), sheet.get_body_y() + static_cast<int>(p) * pitch) << row.what;
            EXPECT_EQ(sheet.is_row_shaded(shown[p]), p % 2 == 1) << row.what << " shading alternates over shown rows";
        }
        for (int r = 0; r < 7; ++r)
            if (std::find(shown.begin(), shown.end(), r) == shown.end()) {
                EXPECT_FALSE(sheet.is_row_visible(r)) << row.what << " " << r;
                EXPECT_EQ(sheet.get_cell_pos_y(r), -1) << row.what << " " << r;
            }
    }
}

TEST_F(TreeTest, APressOnTheToggleCollapsesAndExpandsAndStillSelects)
{
    GuiSpreadsheet& sheet = make_tree_sheet(TREE);
    send_pointer(sheet, FL_PUSH, toggle_x(1), cell_y(1));
    send_pointer(sheet, FL_RELEASE, toggle_x(1), cell_y(1));
    pump_events(app());
    EXPECT_FALSE(sheet.get_row(1)->is_show_children());
    EXPECT_EQ(visible(), Rows({0, 1, 4, 5, 6}));
    EXPECT_EQ(selection(), std::vector<std::string>({"0,1"}));
    int const pitch = sheet.get_row_pitch(0);
    EXPECT_EQ(sheet.get_row_at(sheet.get_body_y() + 2 * pitch + pitch / 2), 4) << "the rows below moved up";

    // Past the toggle, on the row's text, the press only selects.
    send_pointer(sheet, FL_PUSH, toggle_x(1) + GuiSpreadsheet::TREE_INDENT, cell_y(1));
    send_pointer(sheet, FL_RELEASE, toggle_x(1) + GuiSpreadsheet::TREE_INDENT, cell_y(1));
    pump_events(app());
    EXPECT_FALSE(sheet.get_row(1)->is_show_children());
    // A leaf has no toggle.
    send_pointer(sheet, FL_PUSH, toggle_x(4), cell_y(4));
    send_pointer(sheet, FL_RELEASE, toggle_x(4), cell_y(4));
    send_pointer(sheet, FL_PUSH, toggle_x(1), cell_y(1));
    send_pointer(sheet, FL_RELEASE, toggle_x(1), cell_y(1));
    pump_events(app());
    EXPECT_EQ(visible(), Rows({0, 1, 2, 3, 4, 5, 6}));
}

TEST_F(TreeTest, TheTreeColumnIsIndentedByDepthAndAutoFitCountsIt)
{
    struct Recorder : GuiSpreadsheetCellBasicText {
        using GuiSpreadsheetCellBasicText::GuiSpreadsheetCellBasicText;
        void draw(GuiSpreadsheetDrawContext& context) override
        {
            shift = context.get_content_rect()[0] - context.get_cell_rect()[0];
            GuiSpreadsheetCellBasicText::draw(context);
        }
        int shift = -1;
    };
    GuiSpreadsheet& sheet = make_sheet(0);
    sheet.add_column("C0", 100, true, true);  // fixed: auto-fit alone sets its width
    sheet.set_tree_mode(true);
    add_tree({0, 1, 2});
    std::vector<Recorder*> cells;
    for (int r = 0; r < 3; ++r) {
        cells.push_back(new Recorder("same text"));
        sheet.get_row(r)->set_cell(0, cells.back());
    }
    sheet.set_tree_column_index(0);
    sheet.redraw();
    pump_events(app());
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(cells[r]->shift, r * GuiSpreadsheet::TREE_INDENT + GuiSpreadsheet::TREE_INDENT - sheet.get_padding_x()) << r;
    sheet.autofit_column(1);
    int const deep = sheet.get_column_width(0);
    sheet.set_tree_mode(false);
    pump_events(app());
    sheet.autofit_column(1);
    EXPECT_EQ(deep - sheet.get_column_width(0), 2 * GuiSpreadsheet::TREE_INDENT + GuiSpreadsheet::TREE_INDENT - sheet.get_padding_x());
}

TEST_F(TreeTest, ShiftRangesSkipCollapsedRowsUnlessAsked)
{
    struct Row {
        bool collapsed_rows;
        Rows selected;
    };
    Row const rows[] = {{false, {0, 1, 4, 5}}, {true, {0, 1, 2, 3, 4, 5}}};
    GuiSpreadsheet& sheet = make_tree_sheet(TREE);
    sheet.toggle_show_children(1, false);
    pump_events(app());
    for (Row const& row : rows) {
        sheet.enable_selection_collapsed_rows(row.collapsed_rows);
        sheet.unselect_all();
        click_cell(1, 0);
        click_cell(1, 5, FL_SHIFT);
        Rows selected;
        for (unsigned int r : sheet.get_selected_rows()) selected.push_back(static_cast<int>(r));
        EXPECT_EQ(selected, row.selected) << row.collapsed_rows;
    }
}

TEST_F(TreeTest, MovingTheCursorToACollapsedRowExpandsItsAncestors)
{
    GuiSpreadsheet& sheet = make_tree_sheet(TREE);
    sheet.toggle_show_children(0, false);
    sheet.toggle_show_children(1, false);
    pump_events(app());
    sheet.set_cursor_position(0, 3);
    pump_events(app());
    EXPECT_TRUE(sheet.get_row(0)->is_show_children());
    EXPECT_TRUE(sheet.get_row(1)->is_show_children());
    EXPECT_TRUE(sheet.is_row_visible(3));
}

TEST_F(TreeTest, ScrollingCountsShownRowsOnly)
{
    // 30 parents of 3 children each, all collapsed but the first: 33 rows shown of 120.
    std::vector<int> depths;
    for (int p = 0; p < 30; ++p) depths.insert(depths.end(), {0, 1, 1, 1});
    GuiSpreadsheet& sheet = make_tree_sheet(depths);
    for (int p = 1; p < 30; ++p) sheet.toggle_show_children(p * 4, false);
    pump_events(app());
    ASSERT_EQ(sheet.get_visible_row_count(), 33u);
    EXPECT_EQ(sheet.get_content_height(), 33u * sheet.get_row_pitch(0));
    sheet.set_row_offset_index(2);
    EXPECT_EQ(sheet.get_row_offset_index(), 2);
    sheet.set_row_offset_index(5);
    EXPECT_EQ(sheet.get_row_offset_index(), 8) << "a collapsed child gives way to the next shown row";
    sheet.set_row_offset_index(1000);
    int const last_page = sheet.get_row_offset_index();
    EXPECT_TRUE(sheet.is_row_visible(last_page));
    EXPECT_EQ(static_cast<int>(sheet.get_visible_row_count() - sheet.get_visible_position(last_page)),
              sheet.get_body_height() / sheet.get_row_pitch(0))
        << "the last page is full";
    // Collapsing the parent of the first shown row brings the parent up.
    sheet.set_row_offset_index(0);
    sheet.set_row_offset_index(2);
    sheet.toggle_show_children(0, false);
    pump_events(app());
    EXPECT_EQ(sheet.get_row_offset_index(), 0);
}

TEST_F(TreeTest, SortingSortsSiblingsAndCarriesTheirSubtrees)
{
    GuiSpreadsheet& sheet = make_tree_sheet({0, 1, 1, 0, 1});
    char const* const names[] = {"b", "y", "x", "a", "z"};
    for (int r = 0; r < 5; ++r) sheet.set_cell_content(sheet.get_cell(0, r), names[r]);
    sheet.set_column_sort_type(0, 0);
    sheet.set_sort_type(0);
    sheet.sorting_rows_by_selected_column();
    pump_events(app());
    std::vector<std::string> order;
    for (int r = 0; r < 5; ++r) order.push_back(text(0, r));
    EXPECT_EQ(order, std::vector<std::string>({"a", "z", "b", "x", "y"}));
    EXPECT_EQ(sheet.get_row(2)->get_children_count(), 2);
    EXPECT_EQ(sheet.get_row(4)->get_parent_index(), 2);
}

TEST_F(TreeTest, RemovingAParentHandsItsChildrenToItsParent)
{
    GuiSpreadsheet& sheet = make_tree_sheet(TREE);
    delete sheet.remove_row(1);
    pump_events(app());
    EXPECT_EQ(sheet.get_row(0)->get_children_count(), 3);
    EXPECT_EQ(sheet.get_row(0)->get_total_sub_children_count(), 3);
    EXPECT_EQ(sheet.get_row(1)->get_parent_index(), 0);
    // Several at once, a parent with its child among them.
    sheet.remove_rows(CoreVector<unsigned int>({0, 2}));
    pump_events(app());
    Rows depths;
    for (unsigned int r = 0; r < sheet.get_row_count(); ++r) depths.push_back(sheet.get_row(r)->get_depth());
    EXPECT_EQ(depths, Rows({0, 0, 0, 1}));
}

TEST_F(TreeTest, InsertingUnderAParentCountsTheChildAndRefusesIndicesOutsideItsSubtree)
{
    GuiSpreadsheet& sheet = make_tree_sheet(TREE);
    LogRecorder log;
    struct Bad {
        unsigned int index;
        int parent;
    };
    // Past row 1's subtree, at the parent itself, no such parent, no parent.
    for (Bad const bad : {Bad{5, 1}, Bad{1, 1}, Bad{3, 9}, Bad{3, -1}}) {
        GuiSpreadsheetRow* row = make_row(8, 2);
        sheet.insert_row(bad.index, row, bad.parent);
        delete row;
    }
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 4u) << log.dump();
    EXPECT_EQ(sheet.get_row_count(), 7u);
    sheet.insert_row(4, make_row(9, 2), 1);
    pump_events(app());
    EXPECT_EQ(sheet.get_row(1)->get_children_count(), 3);
    EXPECT_EQ(sheet.get_row(4)->get_depth(), 2);
    EXPECT_EQ(sheet.get_row(5)->get_parent_index(), 0);
}

TEST_F(TreeTest, CountsPastTheLastRowAreCutThereWithOneWarning)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    sheet.set_tree_mode(true);
    LogRecorder log;
    add_tree({0, 1, 1});
    sheet.get_row(0)->set_children_count(5);
    sheet.refresh_rows_visibility();
    pump_events(app());
    EXPECT_EQ(sheet.get_row(0)->get_total_sub_children_count(), 2);
    EXPECT_EQ(visible(), Rows({0, 1, 2}));
    sheet.add_row(make_row(3, 2));
    pump_events(app());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    EXPECT_EQ(sheet.get_row(3)->get_parent_index(), 0);
    sheet.toggle_show_children(0, false);
    pump_events(app());
    EXPECT_EQ(visible(), Rows({0}));
}

TEST_F(TreeTest, ATogglePassCostsTheShownRowsAndTheSubtreeNotTheSheet)
{
    // Ten parents of 20,000 rows each (a child holding the rest), all collapsed.
    std::vector<int> depths;
    for (int p = 0; p < 10; ++p) {
        depths.push_back(0);
        depths.push_back(1);
        depths.insert(depths.end(), 19998, 2);
    }
    make_sheet(1);
    m_sheet->set_tree_mode(true);
    add_tree(depths, true);
    m_sheet->expand_all(false);
    pump_events(app());
    ASSERT_EQ(m_sheet->get_visible_row_count(), 10u);
    CountingRow::s_asked = 0;
    m_sheet->toggle_show_children(20000, true);
    pump_events(app());
    EXPECT_EQ(m_sheet->get_visible_row_count(), 11u);
    EXPECT_LE(CountingRow::s_asked, 11 * 4) << "the pass walks what it shows";
}

TEST_F(TreeTest, TogglesInPlaceShowWhatAFullPassShows)
{
    // Nested parents, some collapsed inside others, one hidden.
    GuiSpreadsheet& sheet = make_tree_sheet({0, 1, 2, 3, 3, 2, 1, 2, 0, 1, 1, 2});
    sheet.get_row(6)->set_hidden(true);
    sheet.refresh_rows_visibility();
    pump_events(app());
    unsigned int const toggles[] = {2, 1, 9, 2, 0, 1, 10, 8, 0, 6, 10, 8, 9};
    for (unsigned int row : toggles) {
        sheet.toggle_show_children(row, !sheet.get_row(row)->is_show_children());
        Rows const spliced = visible();
        sheet.refresh_rows_visibility();
        EXPECT_EQ(spliced, visible()) << "after toggling " << row;
        pump_events(app());
    }
}

// Inserting a block or removing a whole subtree keeps depths, parents and subtree sizes
// current without a full walk; they must equal what a full walk finds.
TEST_F(TreeTest, SplicedBlocksAndSubtreesMatchAFullWalk)
{
    using Structure = std::vector<std::array<int, 3>>;
    auto structure = [this] {
        m_sheet->refresh_tree_structure();
        Structure rows;
        for (unsigned int i = 0; i < m_sheet->get_row_count(); ++i) {
            GuiSpreadsheetRow const& row = *m_sheet->get_row(i);
            rows.push_back({row.get_depth(), row.get_parent_index(), row.get_total_sub_children_count()});
        }
        return rows;
    };
    auto walked = [&] {
        m_sheet->set_tree_mode(false);
        m_sheet->set_tree_mode(true);
        return structure();
    };
    auto block = [this](std::vector<int> const& children_counts) {
        CoreVector<GuiSpreadsheetRow*> rows;
        for (int children : children_counts) {
            GuiSpreadsheetRow* row = make_row(99, m_sheet->get_column_count());
            row->set_children_count(children);
            rows.add(row);
        }
        return rows;
    };
    struct Insert {
        unsigned int index;
        int parent;
        std::vector<int> counts;  // a depth-first block: children counts
        int roots;
    };
    // 0 a(1 b(2 c) 3 d) 4 e(5 f)
    Insert const inserts[] = {
        {2, 1, {1, 0}, 1},       // under b, before c: a subtree of two rows
        {0, -1, {0}, 1},         // a top-level row first
        {4, 0, {0, 0}, 2},       // two leaves at the end of a's children
        {6, -1, {2, 0, 1, 0}, 1},  // after the last row
    };
    for (Insert const& insert : inserts) {
        make_tree_sheet({0, 1, 2, 1, 0, 1});
        SCOPED_TRACE(std::to_string(insert.index) + " under " + std::to_string(insert.parent));
        m_sheet->insert_rows(insert.index, block(insert.counts), insert.parent, insert.roots);
        ASSERT_EQ(m_sheet->get_row_count(), 6u + insert.counts.size());
        Structure const spliced = structure();
        EXPECT_EQ(spliced, walked());
        // The whole subtree of row 1 (b and what it holds) leaves.
        unsigned int const last = 1 + static_cast<unsigned int>(m_sheet->get_row(1)->get_total_sub_children_count());
        m_sheet->remove_rows(1u, last);
        Structure const removed = structure();
        EXPECT_EQ(removed, walked());
    }
}
