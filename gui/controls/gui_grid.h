#pragma once
// GuiGrid: a container that places child widgets in a table of rows and columns sized by
// ratios of the grid's own size, or by fixed pixels. In the bordered style a draggable bar
// (GuiGridBorder) sits on every inner boundary and trades space between its two neighbours.
// The grid places its cell widgets itself: their edge constraints are turned off.
//
//     GuiGrid* split = new GuiGrid(*panel, 0, 0, 600, 400, 2, 1);
//     split->set_style(GuiGrid::STYLE_BORDER);
//     split->set_widget(*new MyOutliner(*split), 0, 0);
//     split->set_widget(*new MyViewer(*split), 1, 0);
//     split->set_column_width(0, 180);                  // pixels, then ratios follow
//
// Indices are column first, then row. Ratios are recomputed lazily: changes set the layout
// pending, and drawing, showing, resizing and the rescaling calls settle it.
#include <vector>

#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_GRID_COLUMN_RESIZED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_GRID_ROW_RESIZED);

class GuiGrid;

// The bar on the boundary after a row (a horizontal bar) or a column (a vertical one).
class QN_GUI_API GuiGridBorder : public GuiWidget {
    CORE_DECLARE_CLASS(GuiGridBorder, GuiWidget)

public:
    enum Orientation : int { ORIENTATION_ROW = 0, ORIENTATION_COLUMN = 1 };

    GuiGridBorder(GuiGrid& grid, Orientation const& orientation, unsigned int const& index);

    Orientation const& get_orientation() const { return m_orientation; }
    // The row or column the bar follows.
    unsigned int const& get_index() const { return m_index; }
    void set_index(unsigned int const& index) { m_index = index; }
    bool const& is_hovered() const { return m_hovered; }
    bool const& is_pressed() const { return m_pressed; }

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    // The grid places its bars; their constraints do nothing.
    void apply_constraints(int const&, int const&, int const&, int const&) override {}

private:
    GuiGrid* m_grid;
    Orientation m_orientation;
    unsigned int m_index;
    bool m_hovered = false;
    bool m_pressed = false;
};

class QN_GUI_API GuiGrid : public GuiWidget {
    CORE_DECLARE_CLASS(GuiGrid, GuiWidget)

public:
    enum Style : int { STYLE_BORDER = 0, STYLE_NO_BORDER = 1 };
    // "STYLE_BORDER", "STYLE_NO_BORDER"; "STYLE_UNKNOWN" otherwise.
    static char const* get_style_name(Style const& style);

    // Counts of 0 are taken as 1.
    GuiGrid(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, unsigned int const& columns,
            unsigned int const& rows);
    ~GuiGrid() override;

    // --- Counts ---
    // Rows and columns that remain keep their widgets; new ones copy the last line's ratio
    // and flags and are empty.
    void set_cell_count(unsigned int const& columns, unsigned int const& rows);
    void set_column_count(unsigned int const& columns);
    void set_row_count(unsigned int const& rows);
    void add_column();
    void add_row();
    unsigned int get_column_count() const { return static_cast<unsigned int>(m_columns.size()); }
    unsigned int get_row_count() const { return static_cast<unsigned int>(m_rows.size()); }
    // A new line at `index` taking the ratio and flags of the one that now follows it; the
    // widgets from there move on by one. Nothing for an index past the lines.
    void insert_column(unsigned int const& index);
    void insert_row(unsigned int const& index);
    // Nothing for the only line or an index past the lines.
    void remove_column(unsigned int const& index);
    void remove_row(unsigned int const& index);
    void remove_all_rows();
    void remove_all_columns();
    void remove_all_cells();

    // --- Widgets (children of the grid) ---
    void set_widget(GuiWidget& widget, unsigned int const& column, unsigned int const& row);
    GuiWidget* get_widget(unsigned int const& column, unsigned int const& row) const;
    // The cell lets go of its widget, which stays alive.
    void remove_widget(unsigned int const& column, unsigned int const& row);
    void remove_all_widgets();

    // --- Ratios and sizes ---
    void set_column_ratio(unsigned int const& index, double const& ratio);
    void set_row_ratio(unsigned int const& index, double const& ratio);
    double get_column_ratio(unsigned int const& index) const;
    double get_row_ratio(unsigned int const& index) const;
    void set_cell_ratios(unsigned int const& column, unsigned int const& row, GMathVec2<double> const& ratios);
    GMathVec2<double> get_cell_ratios(unsigned int const& column, unsigned int const& row) const;
    // A fixed pixel size (for lines that are not sizable), also setting the ratio it makes.
    void set_column_width(unsigned int const& index, int const& pixels);
    void set_row_height(unsigned int const& index, int const& pixels);
    void set_cell_size(unsigned int const& column, unsigned int const& row, GMathVec2<int> const& size);
    // Sizable lines share the grid; the others keep their pixels.
    void set_column_sizable(unsigned int const& index, bool const& sizable);
    bool get_column_sizable(unsigned int const& index) const;
    void set_column_sizable_with_mouse(unsigned int const& index, bool const& sizable);
    bool get_column_sizable_with_mouse(unsigned int const& index) const;
    void set_row_sizable(unsigned int const& index, bool const& sizable);
    bool get_row_sizable(unsigned int const& index) const;
    // To `pixels` (a fixed line stores them too), trading with the neighbour.
    void resize_column(unsigned int const& index, int const& pixels);
    void resize_row(unsigned int const& index, int const& pixels);
    void resize_cell(unsigned int const& index, int const& w, int const& h);
    // To `ratio`, trading only with the neighbour (the next line, the previous for the last):
    // their sum stays. Raises EVT_ID_GRID_COLUMN_RESIZED / _ROW_RESIZED.
    void rescale_column(unsigned int const& index, double const& ratio);
    void rescale_row(unsigned int const& index, double const& ratio);
    void rescale_cell(unsigned int const& index, double const& column_ratio, double const& row_ratio);

    // --- Geometry (window coordinates, rounded) ---
    // -1 for an index past the lines.
    int get_column_left(unsigned int const& index, bool const& with_borders = false) const;
    int get_row_top(unsigned int const& index, bool const& with_borders = false) const;
    // 0 for an index past the lines.
    int get_column_width(unsigned int const& index, bool const& with_borders = false) const;
    int get_row_height(unsigned int const& index, bool const& with_borders = false) const;
    GMathVec2<int> get_cell_position(unsigned int const& column, unsigned int const& row,
                                     bool const& with_borders = false) const;
    GMathVec2<int> get_cell_size(unsigned int const& column, unsigned int const& row,
                                 bool const& with_borders = false) const;
    // The grid is never narrower or lower than its fixed lines.
    unsigned int const& get_fixed_width() const { return m_fixed_width; }
    unsigned int const& get_fixed_height() const { return m_fixed_height; }

    // --- Appearance ---
    void set_style(Style const& style);
    Style const& get_style() const { return m_style; }
    void set_border_size(int const& size);
    int get_border_size() const { return static_cast<int>(m_border_size); }
    // The bar after a row or column; null while none is made (no-border style, last line).
    GuiGridBorder* get_row_border(unsigned int const& index) const;
    GuiGridBorder* get_column_border(unsigned int const& index) const;
    void show_guides();
    void hide_guides();
    void show_background();
    void hide_background();
    // Logs the cells and their widgets (information level).
    void debug() const;

    void show() override;
    void draw(GuiDc& dc) override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;
    // The grid lays its cells out itself.
    bool const& is_recursive_constraints() const override;

protected:
    void begin_layout() { m_layout_pending = true; }
    void end_layout();
    virtual void compute_ratios();
    void compute_borders();
    void clear_borders();
    void transform_children();
    // A cell widget that leaves the grid (destroyed or moved) leaves its cell empty.
    void on_remove_child(GuiWidget* child) override;

private:
    struct Line {
        bool sizable = true;
        bool sizable_with_mouse = true;
        int size = 0;
        unsigned int index = 0;
        double ratio = 0.5;
        GuiGridBorder* border = nullptr;
    };
    // Settles the ratios when a change is pending or fixed columns follow the width.
    void settle();
    // Resizes the line vector, copying the last line into new ones; destroys removed bars.
    void set_line_count(std::vector<Line>& lines, unsigned int const& count);
    void renumber(std::vector<Line>& lines);
    void destroy_border(Line& line);
    // Scales the ratios of fixed lines to pixels of `extent` and shares the rest.
    static bool compute_line_ratios(std::vector<Line>& lines, double const& extent, unsigned int& fixed);
    // Left (top) of a line as a double, and its extent.
    double line_start(std::vector<Line> const& lines, double const& origin, double const& extent,
                      unsigned int const& index, bool const& with_borders) const;
    double line_extent(std::vector<Line> const& lines, double const& extent, unsigned int const& index,
                       bool const& with_borders) const;
    bool rescale_line(std::vector<Line>& lines, unsigned int const& index, double const& ratio);
    GuiGridBorder& make_border(std::vector<Line>& lines, unsigned int const& index,
                               GuiGridBorder::Orientation const& orientation);
    // Cell edges along one axis: `count + 1` window coordinates.
    std::vector<int> cell_edges(std::vector<Line>& lines, int const& origin, int const& extent,
                                GuiGridBorder::Orientation const& orientation);

    Style m_style = STYLE_NO_BORDER;
    std::vector<Line> m_rows;
    std::vector<Line> m_columns;
    std::vector<GuiWidget*> m_cells;
    double m_border_size = 5.0;
    bool m_layout_pending = false;
    bool m_has_fixed_columns = false;
    bool m_has_fixed_rows = false;
    unsigned int m_fixed_width = 1;
    unsigned int m_fixed_height = 1;
    bool m_guides = false;
    bool m_background = true;
};
