// The spreadsheet against Qt 5's item views (the peer) holding the same 1,000,000 rows of four
// text columns (name, class, path, a number) in the same run. Timed on both sides: sorting by
// the name column in natural order (ours: the cells' compare through CoreString::natural_compare,
// a stable sort; Qt: a QSortFilterProxyModel over a custom table model whose lessThan asks a
// QCollator in numeric, case-insensitive mode), alternating ascending and descending so every
// sort reorders; and one frame drawn while scrolled to the middle row (ours: the sheet in a
// shown window, timed until the X server has drawn it; Qt: a QTableView of the same size
// rendered offscreen into an image). Before the runs it measures the heap each side takes per
// row (cells and row objects against the model's strings). Run under Xvfb:
//   xvfb-run -a -s "-screen 0 1600x1000x24" build/bench/bench_spreadsheet_qt
#include <benchmark/benchmark.h>
#include <malloc.h>

// Qt's headers before Xlib's, whose macros (Bool, Status, CursorShape) break them.
#include <QAbstractTableModel>
#include <QApplication>
#include <QCollator>
#include <QHeaderView>
#include <QImage>
#include <QSortFilterProxyModel>
#include <QTableView>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "gui/spreadsheet/gui_spreadsheet.h"
#include "gui/spreadsheet/gui_spreadsheet_cell.h"
#include "gui/spreadsheet/gui_spreadsheet_row.h"


namespace {

constexpr int WIDTH = 1200;
constexpr int HEIGHT = 800;
constexpr unsigned int ROWS = 1000000;
constexpr int COLUMNS = 4;
char const* const CLASS_NAMES[] = {"Polymesh", "Primitive", "Instance", "Combiner",
                                   "MaterialStandard", "TextureImage", "LightPoint", "Camera"};
char const* const PREFIXES[] = {"prop", "chair", "lamp", "vase", "wall"};

// Row i's four texts; the names are spread so that sorting moves nearly every row.
std::string cell_text(unsigned int const& i, int const& column)
{
    unsigned int const k = static_cast<unsigned int>((static_cast<unsigned long long>(i) * 7919u + 13u) % ROWS);
    switch (column) {
        case 0: return std::string(PREFIXES[k % 5]) + "_" + std::to_string(k / 5);
        case 1: return CLASS_NAMES[i % 8];
        case 2: return "/geometry/props/block_" + std::to_string(i / 25) + "/prop_" + std::to_string(i % 25);
        default: return std::to_string((i * 37u) % 1000u);
    }
}

size_t heap_in_use()
{
    struct mallinfo2 const info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// --- Ours ---

class FrameSheet : public GuiSpreadsheet {
public:
    using GuiSpreadsheet::GuiSpreadsheet;
    void draw(GuiDc& dc) override
    {
        GuiSpreadsheet::draw(dc);
        ++frames;
    }
    long frames = 0;
};

GuiApp* s_app = nullptr;
GuiWindow* s_window = nullptr;
FrameSheet* s_sheet = nullptr;

void fill_sheet(GuiSpreadsheet& sheet)
{
    CoreVector<GuiSpreadsheetRow*> rows;
    rows.reserve(ROWS);
    for (unsigned int i = 0; i < ROWS; ++i) {
        GuiSpreadsheetRow* row = new GuiSpreadsheetRow(sheet);
        row->add_cell(new GuiSpreadsheetCellNaturalText(cell_text(i, 0)));
        for (int column = 1; column < COLUMNS; ++column) row->add_cell(new GuiSpreadsheetCellBasicText(cell_text(i, column)));
        rows.add(row);
    }
    sheet.add_rows(rows, false);
}

// --- The peer ---

class QtModel : public QAbstractTableModel {
public:
    struct Row {
        QString texts[COLUMNS];
    };
    QtModel()
    {
        m_rows.resize(ROWS);
        for (unsigned int i = 0; i < ROWS; ++i)
            for (int column = 0; column < COLUMNS; ++column)
                m_rows[i].texts[column] = QString::fromStdString(cell_text(i, column));
    }
    int rowCount(QModelIndex const& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(QModelIndex const& parent = QModelIndex()) const override { return parent.isValid() ? 0 : COLUMNS; }
    QVariant data(QModelIndex const& index, int role = Qt::DisplayRole) const override
    {
        if (role != Qt::DisplayRole || !index.isValid()) return QVariant();
        return m_rows[static_cast<size_t>(index.row())].texts[index.column()];
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override
    {
        if (role != Qt::DisplayRole) return QVariant();
        if (orientation == Qt::Vertical) return section + 1;
        static char const* const titles[COLUMNS] = {"Name", "Class", "Path", "Number"};
        return QString(titles[section]);
    }

private:
    std::vector<Row> m_rows;
};

class QtNaturalProxy : public QSortFilterProxyModel {
public:
    QtNaturalProxy()
    {
        m_collator.setNumericMode(true);
        m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    }

protected:
    bool lessThan(QModelIndex const& left, QModelIndex const& right) const override
    {
        return m_collator.compare(sourceModel()->data(left).toString(), sourceModel()->data(right).toString()) < 0;
    }

private:
    QCollator m_collator;
};

QtModel* s_model = nullptr;
QtNaturalProxy* s_proxy = nullptr;
QTableView* s_view = nullptr;

// --- Benchmarks ---

void bm_sort_ours(benchmark::State& state)
{
    int order = s_sheet->get_sort_order();
    for (auto _ : state) {
        order = order == 1 ? -1 : 1;
        s_sheet->set_sort_order(order);
        s_sheet->sorting_rows_by_selected_column();
    }
    state.counters["first"] = s_sheet->get_cell(0, 0)->get_text().get_length();
}
BENCHMARK(bm_sort_ours)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);

void bm_sort_qt(benchmark::State& state)
{
    Qt::SortOrder order = Qt::DescendingOrder;
    for (auto _ : state) {
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        s_proxy->sort(0, order);
    }
}
BENCHMARK(bm_sort_qt)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);

void bm_frame_ours(benchmark::State& state)
{
    s_sheet->set_row_offset_index(static_cast<int>(ROWS / 2));
    Fl_Window& window = *s_window->get_widget()->as_window();
    long const before = s_sheet->frames;
    for (auto _ : state) {
        window.redraw();
        Fl::flush();
        XSync(fl_display, False);
    }
    if (s_sheet->frames - before != static_cast<long>(state.iterations())) state.SkipWithError("frames were not drawn");
}
BENCHMARK(bm_frame_ours)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void bm_frame_qt(benchmark::State& state)
{
    s_view->scrollTo(s_proxy->index(static_cast<int>(ROWS / 2), 0), QAbstractItemView::PositionAtTop);
    QImage image(WIDTH, HEIGHT, QImage::Format_RGB32);
    for (auto _ : state) {
        s_view->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(bm_frame_qt)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void print_ratio(RatioReporter const& reporter, char const* what, char const* name, char const* peer)
{
    double const ours = reporter.get_time(std::string("bm_") + name + "_ours");
    double const qt = reporter.get_time(std::string("bm_") + name + "_qt");
    if (ours > 0.0 && qt > 0.0)
        std::printf("%s: %.2f ms, %s %.2f ms (ratio %.3f, below 1 is faster)\n", what, ours, peer, qt, ours / qt);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_spreadsheet_qt: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    static int qt_argc = 1;
    static char qt_name[] = "bench_spreadsheet_qt";
    static char* qt_argv[] = {qt_name, nullptr};
    QApplication qt_app(qt_argc, qt_argv);
    s_app = new GuiApp();
    s_window = s_app->create_window(0, 0, WIDTH, HEIGHT, "bench_spreadsheet_qt");
    s_sheet = new FrameSheet(*s_window, 0, 0, WIDTH, HEIGHT);
    s_sheet->add_column("Name", 1.0, true, true);
    s_sheet->add_column("Class", 1.0, true, true);
    s_sheet->add_column("Path", 2.0, true, true);
    s_sheet->add_column("Number", 90, true, true);
    s_sheet->set_column_sort_type(0, 0);

    size_t const ours_before = heap_in_use();
    fill_sheet(*s_sheet);
    size_t const ours_heap = heap_in_use() - ours_before;
    size_t const qt_before = heap_in_use();
    s_model = new QtModel();
    size_t const qt_heap = heap_in_use() - qt_before;

    s_sheet->set_sort_type(0);
    s_sheet->refresh_layout();
    s_sheet->show();
    s_window->show();
    s_window->get_widget()->as_window()->wait_for_expose();
    Fl::flush();

    s_proxy = new QtNaturalProxy();
    s_proxy->setDynamicSortFilter(false);
    s_proxy->setSourceModel(s_model);
    s_view = new QTableView();
    s_view->setModel(s_proxy);
    s_view->resize(WIDTH, HEIGHT);
    s_view->setAttribute(Qt::WA_DontShowOnScreen);
    s_view->show();
    s_view->horizontalHeader()->resizeSection(2, 500);
    QCoreApplication::processEvents();

    std::printf("%u rows of %d text columns; ours: software drawing through FLTK's Xlib driver; Qt %s: "
                "QTableView rendered into a QImage by the raster engine; both %d x %d\n",
                ROWS, COLUMNS, qVersion(), WIDTH, HEIGHT);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n");
    print_ratio(reporter, "Natural sort of 1,000,000 rows by name", "sort", "QSortFilterProxyModel + QCollator");
    print_ratio(reporter, "A frame scrolled to row 500,000", "frame", "QTableView");
    std::printf("Memory per row: ours %.1f bytes (the sheet reports %.1f), Qt model %.1f bytes (ratio %.3f, below 1 "
                "is smaller)\n",
                static_cast<double>(ours_heap) / ROWS, static_cast<double>(s_sheet->get_memory_size()) / ROWS,
                static_cast<double>(qt_heap) / ROWS, static_cast<double>(ours_heap) / static_cast<double>(qt_heap));
    return 0;
}
