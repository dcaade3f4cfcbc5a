// The node-graph view against Qt 5's QGraphicsView (the peer) showing the same graph in the
// same run: 10,000 nodes and 20,000 links, each node a rounded rectangle with a title and a
// plug on each side, each link a cubic curve between plugs. Qt's items copy our nodes' boxes
// and plugs, so both views show the same picture at the same place and zoom. Timed on both
// sides: a frame while panning, a wheel zoom step then a frame, a rubber band selecting
// 5,000 nodes, moving 1,000 selected nodes one step (alone, and then a frame), and a frame of
// a 1,000-node graph seen whole, against the 16 ms a frame may take.
//
// Our view finishes each frame (glFinish) inside its draw, on Mesa's software OpenGL; Qt
// paints its viewport, a plain QWidget, with its raster engine. Both frames are asked for the
// same way: the view is marked for redrawing and the toolkit's pending work is run until it
// has drawn (Qt's deferred scene updates and index included); Qt's viewport is repainted at
// once (QWidget::repaint) when its pending work did not paint it. Run under Xvfb with a
// screen that holds the two 1200 × 800 windows side by side:
//   xvfb-run -a -s "-screen 0 2500x900x24" build/bench/bench_nodal_qt
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "bench/bench_nodal_graph.h"
#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"

#include <QApplication>
#include <QGraphicsEllipseItem>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QPainterPath>
#include <QScreen>
#include <QScrollBar>

namespace {

constexpr int WIDTH = 1200;
constexpr int HEIGHT = 800;
constexpr int COLUMNS = 100;
constexpr int ROWS = 100;
// The graph seen whole against the frame goal.
constexpr int SMALL_COLUMNS = 20;
constexpr int SMALL_ROWS = 50;
constexpr double FRAME_GOAL_MS = 16.0;
constexpr float ZOOM = 0.5f;
// Screen pixels a pan or a move goes per step; the direction changes every step so that the
// views stay over the same part of the graph.
constexpr int STEP_PIXELS = 4;
// The widget pixel a wheel step zooms around.
constexpr int WHEEL_X = 700;
constexpr int WHEEL_Y = 300;
// Columns 50 to 59, in the middle of the view: 1,000 nodes moved.
constexpr int MOVED_FIRST_COLUMN = 50;
constexpr int MOVED_COLUMNS = 10;
constexpr int WARM_UP_STEPS = 4;

// --- The peer: Qt's scene items ---

class QtLink;

// A node: a rounded rectangle with its title and two plugs as children. Moving it bends its
// links.
class QtNode : public QGraphicsPathItem {
public:
    QtNode(QString const& title, QRectF const& box, QPointF const& left_plug, QPointF const& right_plug,
           qreal const& plug_diameter)
        : m_left(left_plug - box.topLeft()), m_right(right_plug - box.topLeft())
    {
        QPainterPath shape;
        shape.addRoundedRect(QRectF(0, 0, box.width(), box.height()), 6, 6);
        setPath(shape);
        setPos(box.topLeft());
        setBrush(QColor(98, 98, 104));
        setPen(QPen(Qt::black, 0));
        setFlags(ItemIsSelectable | ItemIsMovable | ItemSendsGeometryChanges);
        auto* text = new QGraphicsSimpleTextItem(title, this);
        QFont font = text->font();
        font.setPixelSize(12);
        text->setFont(font);
        text->setBrush(QColor(230, 230, 230));
        text->setPos(10, (box.height() - text->boundingRect().height()) / 2);
        for (QPointF const& plug : {m_left, m_right}) {
            auto* ellipse = new QGraphicsEllipseItem(plug.x() - plug_diameter / 2, plug.y() - plug_diameter / 2,
                                                     plug_diameter, plug_diameter, this);
            ellipse->setBrush(QColor(210, 190, 90));
            ellipse->setPen(QPen(Qt::black, 0));
        }
    }
    QPointF get_left_plug() const { return pos() + m_left; }
    QPointF get_right_plug() const { return pos() + m_right; }
    void add_link(QtLink* link) { m_links.push_back(link); }

protected:
    QVariant itemChange(GraphicsItemChange change, QVariant const& value) override;

private:
    QPointF m_left;
    QPointF m_right;
    std::vector<QtLink*> m_links;
};

// A cubic curve from a node's right plug to another's left plug, under the nodes.
class QtLink : public QGraphicsPathItem {
public:
    QtLink(QtNode& from, QtNode& to) : m_from(from), m_to(to)
    {
        QPen pen(QColor(200, 200, 200));
        pen.setWidthF(1.5);
        pen.setCosmetic(true);
        setPen(pen);
        setZValue(-1);
        from.add_link(this);
        to.add_link(this);
        adjust();
    }
    void adjust()
    {
        QPointF const a = m_from.get_right_plug();
        QPointF const b = m_to.get_left_plug();
        qreal const tangent = 0.4 * (b.x() - a.x());
        QPainterPath curve(a);
        curve.cubicTo(a + QPointF(tangent, 0), b - QPointF(tangent, 0), b);
        setPath(curve);
    }

private:
    QtNode& m_from;
    QtNode& m_to;
};

QVariant QtNode::itemChange(GraphicsItemChange change, QVariant const& value)
{
    if (change == ItemPositionHasChanged)
        for (QtLink* link : m_links) link->adjust();
    return QGraphicsPathItem::itemChange(change, value);
}

// The view counts the frames it paints.
class QtView : public QGraphicsView {
public:
    using QGraphicsView::QGraphicsView;
    int frames = 0;

protected:
    void drawForeground(QPainter*, QRectF const&) override { ++frames; }
};

// --- Both sides ---

GuiApp* s_app = nullptr;
GuiWindow* s_window = nullptr;
FrameNodal* s_graph = nullptr;
std::vector<GuiNodalNode*> s_nodes;
QtView* s_view = nullptr;
QGraphicsScene* s_scene = nullptr;
std::vector<QtNode*> s_qt_nodes;
int s_qt_extra_frames = 0;  // frames Qt painted beyond the one asked for

// The small graph's, made when first needed: our view in a window of its own in place of the
// large graph's, Qt's view showing the small scene.
FrameNodal* s_small_graph = nullptr;
QGraphicsScene* s_small_scene = nullptr;

// Our y grows upwards, Qt's downwards.
QPointF to_scene(GMathVec2<int> const& p)
{
    return QPointF(p[0], -p[1]);
}

// Qt's items in the place of our nodes and links.
std::vector<QtNode*> build_qt_graph(QGraphicsScene& scene, std::vector<GuiNodalNode*> const& nodes, int columns,
                                    int rows)
{
    std::vector<QtNode*> qt_nodes;
    qt_nodes.reserve(nodes.size());
    for (GuiNodalNode* node : nodes) {
        QPointF plugs[2];
        qreal diameter = 0;
        int side = 0;
        for (auto anchor : {GuiNodalNodeBase::NODE_ANCHOR_LEFT, GuiNodalNodeBase::NODE_ANCHOR_RIGHT}) {
            // A plug's world position is its centre.
            GuiNodalNodeBase const& plug = *node->get_anchor(anchor);
            plugs[side++] = to_scene(plug.get_world_pos());
            diameter = plug.get_width();
        }
        QRectF const box(to_scene(node->get_world_pos()), QSizeF(node->get_width(), node->get_height()));
        auto* item = new QtNode(QString::fromUtf8(node->get_name().c_str()), box, plugs[0], plugs[1], diameter);
        scene.addItem(item);
        qt_nodes.push_back(item);
    }
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            for (int offset : {0, 7})
                scene.addItem(new QtLink(*qt_nodes[static_cast<size_t>(c * rows + r)],
                                         *qt_nodes[static_cast<size_t>(((c + 1) % columns) * rows + (r + offset) % rows)]));
    // Room to pan and zoom anywhere near the graph without the scroll bars stopping it.
    scene.setSceneRect(scene.itemsBoundingRect().adjusted(-20000, -20000, 20000, 20000));
    return qt_nodes;
}

// Qt's view at our view's zoom ratio, centred on the same graph point.
void match_qt_view(FrameNodal const& graph)
{
    qreal const ratio = static_cast<qreal>(graph.get_graph_zone_height()) / graph.get_zoom_factor();
    GMathVec2<float> const centre = graph.to_graph(WIDTH / 2, HEIGHT / 2);
    s_view->setTransform(QTransform::fromScale(ratio, ratio));
    s_view->centerOn(centre[0], -centre[1]);
}

// Our view at zoom 0.5 over the graph's middle, and Qt's matching it.
void reset_views()
{
    s_graph->set_zoom_ratio(ZOOM);
    s_graph->set_view_pos(GMathVec2<float>(COLUMNS * NODAL_COLUMN_STEP / 2.0f,
                                           -ROWS * NODAL_ROW_STEP / 2.0f - static_cast<float>(s_graph->get_zoom_factor())));
    match_qt_view(*s_graph);
}

void qt_frame()
{
    int const before = s_view->frames;
    QCoreApplication::processEvents();
    if (s_view->frames == before) s_view->viewport()->repaint();
    s_qt_extra_frames += s_view->frames - before - 1;
}

void ours_pan(FrameNodal& graph, int const& pixels)
{
    graph.set_view_pos(graph.get_view_pos() + GMathVec2<float>(pixels * graph.get_zoom_ratio_r(), 0.0f));
}

void qt_pan(int const& pixels)
{
    s_view->horizontalScrollBar()->setValue(s_view->horizontalScrollBar()->value() + pixels);
}

// One wheel step around the pixel, as our view's wheel does: `steps` positive zooms out.
void qt_wheel(QPoint const& pixel, int const& steps)
{
    QPointF const anchor = s_view->mapToScene(pixel);
    qreal const factor = std::pow(GuiNodal::WHEEL_ZOOM_STEP, -steps);
    s_view->scale(factor, factor);
    QPoint const drift = s_view->mapFromScene(anchor) - pixel;
    s_view->horizontalScrollBar()->setValue(s_view->horizontalScrollBar()->value() + drift.x());
    s_view->verticalScrollBar()->setValue(s_view->verticalScrollBar()->value() + drift.y());
}

// Half the graph: columns 0 to 49 (`left`) or 50 to 99, every row, in graph units.
GMathVec4<int> half_graph(bool const& left)
{
    int const middle = COLUMNS / 2 * NODAL_COLUMN_STEP - 1;
    int const bottom = -ROWS * NODAL_ROW_STEP - 100;
    return left ? GMathVec4<int>(-100, bottom, middle, 100)
                : GMathVec4<int>(middle, bottom, COLUMNS * NODAL_COLUMN_STEP + 100, 100);
}

QPainterPath to_scene_area(GMathVec4<int> const& rect)
{
    QPainterPath area;
    area.addRect(QRectF(QPointF(rect[0], -rect[3]), QPointF(rect[2], -rect[1])));
    return area;
}

void select_moved_nodes()
{
    std::vector<GuiNodalNodeBase*> boxes;
    s_scene->clearSelection();
    for (size_t i = MOVED_FIRST_COLUMN * ROWS; i < (MOVED_FIRST_COLUMN + MOVED_COLUMNS) * ROWS; ++i) {
        boxes.push_back(s_nodes[i]);
        s_qt_nodes[i]->setSelected(true);
    }
    s_graph->set_selection(boxes);
}

// Moves the selection one step, as a drag does, alternating right and left.
void ours_move(int const& i)
{
    int const step = static_cast<int>(std::lround((i % 2 ? -STEP_PIXELS : STEP_PIXELS) * s_graph->get_zoom_ratio_r()));
    GMathVec2<int> const from(0, 0);
    s_graph->start_move_selection(from);
    s_graph->move_selection(from + GMathVec2<int>(step, 0));
    s_graph->stop_move_selection(true);
}

void qt_move(int const& i)
{
    qreal const step = std::lround((i % 2 ? -STEP_PIXELS : STEP_PIXELS) * s_graph->get_zoom_ratio_r());
    for (QGraphicsItem* item : s_scene->selectedItems()) item->moveBy(step, 0);
}

void use_small_graph()
{
    if (s_small_graph) return;
    s_window->hide();
    GuiWindow* window = s_app->create_window(0, 0, WIDTH, HEIGHT, "bench_nodal_qt 1,000 nodes");
    s_small_graph = new FrameNodal(*window, 0, 0, WIDTH, HEIGHT, false);
    s_small_graph->set_grid_displayed(false);
    s_small_graph->set_smooth_transitions(false);
    window->show();
    s_small_graph->show();
    std::vector<GuiNodalNode*> const nodes = build_nodal_graph(*s_small_graph, SMALL_COLUMNS, SMALL_ROWS);
    draw_nodal_frame(*s_small_graph);  // layouts made before Qt copies them
    s_small_graph->manage_fit(false);
    s_small_scene = new QGraphicsScene();
    build_qt_graph(*s_small_scene, nodes, SMALL_COLUMNS, SMALL_ROWS);
    s_view->setScene(s_small_scene);
    match_qt_view(*s_small_graph);
}

// --- Benchmarks ---

void bm_pan_ours(benchmark::State& state)
{
    reset_views();
    for (int i = 0; i < WARM_UP_STEPS; ++i) {
        ours_pan(*s_graph, i % 2 ? -STEP_PIXELS : STEP_PIXELS);
        draw_nodal_frame(*s_graph);
    }
    int i = 0;
    for (auto _ : state) {
        ours_pan(*s_graph, i++ % 2 ? -STEP_PIXELS : STEP_PIXELS);
        draw_nodal_frame(*s_graph);
    }
}
BENCHMARK(bm_pan_ours)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void bm_pan_qt(benchmark::State& state)
{
    reset_views();
    for (int i = 0; i < WARM_UP_STEPS; ++i) {
        qt_pan(i % 2 ? -STEP_PIXELS : STEP_PIXELS);
        qt_frame();
    }
    int i = 0;
    for (auto _ : state) {
        qt_pan(i++ % 2 ? -STEP_PIXELS : STEP_PIXELS);
        qt_frame();
    }
}
BENCHMARK(bm_pan_qt)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void bm_zoom_ours(benchmark::State& state)
{
    reset_views();
    int i = 0;
    for (; i < WARM_UP_STEPS; ++i) {
        s_graph->on_wheel(GMathVec2<int>(WHEEL_X, WHEEL_Y), i % 2 ? 1 : -1);
        draw_nodal_frame(*s_graph);
    }
    for (auto _ : state) {
        s_graph->on_wheel(GMathVec2<int>(WHEEL_X, WHEEL_Y), i++ % 2 ? 1 : -1);
        draw_nodal_frame(*s_graph);
    }
}
BENCHMARK(bm_zoom_ours)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void bm_zoom_qt(benchmark::State& state)
{
    reset_views();
    int i = 0;
    for (; i < WARM_UP_STEPS; ++i) {
        qt_wheel(QPoint(WHEEL_X, WHEEL_Y), i % 2 ? 1 : -1);
        qt_frame();
    }
    for (auto _ : state) {
        qt_wheel(QPoint(WHEEL_X, WHEEL_Y), i++ % 2 ? 1 : -1);
        qt_frame();
    }
}
BENCHMARK(bm_zoom_qt)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// Each step selects the other half of the graph: 5,000 nodes selected and 5,000 let go.
void bm_rubber_band_ours(benchmark::State& state)
{
    reset_views();
    int i = 0;
    for (; i < WARM_UP_STEPS; ++i) s_graph->manage_rectangle_selection(half_graph(i % 2), false, false);
    for (auto _ : state) s_graph->manage_rectangle_selection(half_graph(i++ % 2), false, false);
    state.counters["selected"] = static_cast<double>(s_graph->get_selection().size());
    draw_nodal_frame(*s_graph);
}
BENCHMARK(bm_rubber_band_ours)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void bm_rubber_band_qt(benchmark::State& state)
{
    reset_views();
    int i = 0;
    for (; i < WARM_UP_STEPS; ++i)
        s_scene->setSelectionArea(to_scene_area(half_graph(i % 2)), Qt::ReplaceSelection, Qt::ContainsItemBoundingRect);
    for (auto _ : state)
        s_scene->setSelectionArea(to_scene_area(half_graph(i++ % 2)), Qt::ReplaceSelection,
                                  Qt::ContainsItemBoundingRect);
    state.counters["selected"] = static_cast<double>(s_scene->selectedItems().size());
    qt_frame();
}
BENCHMARK(bm_rubber_band_qt)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void bm_move_ours(benchmark::State& state)
{
    reset_views();
    select_moved_nodes();
    draw_nodal_frame(*s_graph);
    int i = 0;
    for (; i < WARM_UP_STEPS; ++i) ours_move(i);
    for (auto _ : state) ours_move(i++);
    draw_nodal_frame(*s_graph);
}
BENCHMARK(bm_move_ours)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void bm_move_qt(benchmark::State& state)
{
    reset_views();
    select_moved_nodes();
    qt_frame();
    int i = 0;
    for (; i < WARM_UP_STEPS; ++i) qt_move(i);
    for (auto _ : state) qt_move(i++);
    qt_frame();
}
BENCHMARK(bm_move_qt)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void bm_move_frame_ours(benchmark::State& state)
{
    reset_views();
    select_moved_nodes();
    int i = 0;
    for (; i < WARM_UP_STEPS; ++i) {
        ours_move(i);
        draw_nodal_frame(*s_graph);
    }
    for (auto _ : state) {
        ours_move(i++);
        draw_nodal_frame(*s_graph);
    }
}
BENCHMARK(bm_move_frame_ours)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void bm_move_frame_qt(benchmark::State& state)
{
    reset_views();
    select_moved_nodes();
    int i = 0;
    for (; i < WARM_UP_STEPS; ++i) {
        qt_move(i);
        qt_frame();
    }
    for (auto _ : state) {
        qt_move(i++);
        qt_frame();
    }
}
BENCHMARK(bm_move_frame_qt)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void bm_small_frame_ours(benchmark::State& state)
{
    use_small_graph();
    int i = 0;
    for (; i < WARM_UP_STEPS; ++i) {
        ours_pan(*s_small_graph, i % 2 ? -STEP_PIXELS : STEP_PIXELS);
        draw_nodal_frame(*s_small_graph);
    }
    for (auto _ : state) {
        ours_pan(*s_small_graph, i++ % 2 ? -STEP_PIXELS : STEP_PIXELS);
        draw_nodal_frame(*s_small_graph);
    }
}
BENCHMARK(bm_small_frame_ours)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void bm_small_frame_qt(benchmark::State& state)
{
    use_small_graph();
    int i = 0;
    for (; i < WARM_UP_STEPS; ++i) {
        qt_pan(i % 2 ? -STEP_PIXELS : STEP_PIXELS);
        qt_frame();
    }
    for (auto _ : state) {
        qt_pan(i++ % 2 ? -STEP_PIXELS : STEP_PIXELS);
        qt_frame();
    }
}
BENCHMARK(bm_small_frame_qt)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void print_ratio(RatioReporter const& reporter, char const* what, char const* name)
{
    double const ours = reporter.get_time(std::string("bm_") + name + "_ours");
    double const qt = reporter.get_time(std::string("bm_") + name + "_qt");
    if (ours > 0.0 && qt > 0.0)
        std::printf("%s: %.2f ms, QGraphicsView %.2f ms (ratio %.3f, below 1 is faster)\n", what, ours, qt, ours / qt);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_nodal_qt: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    // Qt reads its own arguments: it gets none of the benchmark's.
    static int qt_argc = 1;
    static char qt_name[] = "bench_nodal_qt";
    static char* qt_argv[] = {qt_name, nullptr};
    QApplication qt_app(qt_argc, qt_argv);

    s_app = new GuiApp();
    s_window = s_app->create_window(0, 0, WIDTH, HEIGHT, "bench_nodal_qt");
    // Full nodes at every zoom (no simplified form) and no grid: Qt draws neither.
    s_graph = new FrameNodal(*s_window, 0, 0, WIDTH, HEIGHT, false);
    s_graph->set_grid_displayed(false);
    s_window->show();
    s_graph->show();
    s_nodes = build_nodal_graph(*s_graph, COLUMNS, ROWS);
    draw_nodal_frame(*s_graph);  // layouts, curves and fonts made

    s_scene = new QGraphicsScene();
    s_qt_nodes = build_qt_graph(*s_scene, s_nodes, COLUMNS, ROWS);
    s_view = new QtView(s_scene);
    s_view->setFrameShape(QFrame::NoFrame);
    s_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    s_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    s_view->setTransformationAnchor(QGraphicsView::NoAnchor);
    s_view->setResizeAnchor(QGraphicsView::NoAnchor);
    // Panning repaints the whole viewport, as ours does, rather than scrolling its pixels.
    s_view->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    s_view->setBackgroundBrush(QColor(58, 58, 58));
    s_view->setWindowTitle("bench_nodal_qt QGraphicsView");
    s_view->setGeometry(WIDTH + 10, 0, WIDTH, HEIGHT);
    s_view->show();
    while (s_view->frames == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    reset_views();
    qt_frame();
    s_qt_extra_frames = 0;

    QRect const screen = QGuiApplication::primaryScreen()->geometry();
    std::printf("Our view: OpenGL (%s); Qt %s: QGraphicsView on a QWidget viewport, raster paint engine, "
                "default render hints (antialiased text only), default BSP index; both %d x %d\n",
                reinterpret_cast<char const*>(glGetString(GL_RENDERER)), qVersion(), WIDTH, HEIGHT);
    if (screen.width() < 2 * WIDTH + 10)
        std::printf("The screen (%d x %d) is too narrow for both windows side by side: they overlap\n",
                    screen.width(), screen.height());

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n10,000 nodes and 20,000 links, zoom %.1f, about %d nodes in view:\n", static_cast<double>(ZOOM),
                (WIDTH * HEIGHT) / static_cast<int>(NODAL_COLUMN_STEP * NODAL_ROW_STEP * ZOOM * ZOOM));
    print_ratio(reporter, "Frame while panning", "pan");
    print_ratio(reporter, "Wheel zoom step then a frame", "zoom");
    print_ratio(reporter, "Rubber band selecting 5,000 nodes", "rubber_band");
    print_ratio(reporter, "Moving 1,000 selected nodes one step then a frame", "move_frame");
    print_ratio(reporter, "Moving 1,000 selected nodes one step (ours bends the links at the next frame)", "move");
    double const ours_small = reporter.get_time("bm_small_frame_ours");
    double const qt_small = reporter.get_time("bm_small_frame_qt");
    if (ours_small > 0.0 && qt_small > 0.0) {
        std::printf("\n1,000 nodes and 2,000 links, all in view at zoom %.2f:\n",
                    static_cast<double>(s_small_graph->get_zoom_ratio()));
        print_ratio(reporter, "Frame while panning", "small_frame");
        std::printf("Goal %.0f ms a frame: ours %s, QGraphicsView %s\n", FRAME_GOAL_MS,
                    ours_small <= FRAME_GOAL_MS ? "met" : "missed", qt_small <= FRAME_GOAL_MS ? "met" : "missed");
    }
    if (s_qt_extra_frames != 0)
        std::printf("Qt painted %d frames beyond those asked for\n", s_qt_extra_frames);
    return 0;
}
