// The curve graph editor: pick colours, grid steps, zoom, picking by the pick buffer, the
// selection rules (click modifiers, rectangle, same kind, neighbours), the move hooks and
// their cancellation, and curves without keys or with bad values.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <cmath>
#include <string>
#include <vector>

#include "gui/curve/gui_graph_widget.h"
#include "host/core/core_log.h"
#include "tests/gui_gl/gui_gl_test_view.h"
#include "tests/support/gui_event_state.h"
#include "tests/support/log_recorder.h"

namespace {

using Color = GMathVec3<unsigned char>;

// A curve whose keys sit where the test puts them, in pixels, joined by straight parts.
class TestCurve : public GuiGraphCurve {
public:
    TestCurve(GuiGraphWidget& graph, std::vector<GMathVec2<double>> keys)
        : GuiGraphCurve(graph, Color(200, 80, 80), Color(0, 0, 0), "test"), m_keys(std::move(keys))
    {
    }
    void compute_points() override
    {
        ++computes;
        while (get_graph_points().size() < m_keys.size())
            add_graph_point(new GuiGraphPoint(*this, 0, 0, get_normal_color(), get_highlight_color()));
        // Part 0 ends at the first key, part i + 1 runs from key i through the middle to key
        // i + 1, the last part starts at the last key.
        set_point_parts_count(static_cast<unsigned int>(m_keys.size() + 1));
        for (size_t i = 0; i < m_keys.size(); ++i) {
            get_graph_points()[i]->set_position(m_keys[i]);
            add_point(static_cast<unsigned int>(i), m_keys[i]);
            add_point(static_cast<unsigned int>(i + 1), m_keys[i]);
            if (i + 1 < m_keys.size())
                add_point(static_cast<unsigned int>(i + 1), (m_keys[i] + m_keys[i + 1]) * 0.5);
        }
    }
    std::vector<GMathVec2<double>> m_keys;
    int computes = 0;
};

class TestEditor : public GuiGraphWidget {
public:
    using GuiGraphWidget::GuiGraphWidget;
    using GuiGraphWidget::set_graph_offset;
    using GuiGraphWidget::set_graph_zoom_level;
    using GuiGraphWidget::set_mouse_coords;
    void fit(bool const&) override { ++fits; }
    void draw(GuiDc& dc) override
    {
        GuiGraphWidget::draw(dc);
        ++draws;
    }
    void selection_changed() override { ++selection_changes; }
    void manage_move_points(CoreVector<GuiGraphItem*> const& items, Gui::MouseButtonId const&) override
    {
        set_state_item_move(true);
        moved = items.get_count();
    }
    void end_move_points(Gui::MouseButtonId const&) override
    {
        set_state_item_move(false);
        ++ends;
    }
    void cancel_move_points() override { ++cancels; }

    int draws = 0, fits = 0, selection_changes = 0, ends = 0, cancels = 0;
    unsigned int moved = 0;
};

class GraphTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        GuiGraphWidget::reset_pick_colors();
    }
    TestEditor& make_editor(int w = 400, int h = 300)
    {
        GuiWindow& window = make_window(w + 20, h + 20);
        m_editor = new TestEditor(window, 10, 10, w, h);
        m_editor->show();
        pump_events(app(), 0.05);
        return *m_editor;
    }
    TestCurve& add_curve(std::vector<GMathVec2<double>> keys)
    {
        TestCurve* curve = new TestCurve(*m_editor, std::move(keys));
        m_editor->add_curve(curve);
        curve->compute_points();  // the keys exist from here on
        return *curve;
    }
    void draw()
    {
        int const before = m_editor->draws;
        m_editor->redraw();  // as an editor asks for it
        for (int i = 0; i < 100 && m_editor->draws == before; ++i) pump_events(app(), 0.01);
        ASSERT_GT(m_editor->draws, before);
    }
    // Points at (x, y) (pixels, y up) and draws: picking finds what is there.
    GuiGraphItem* point_at(int x, int y)
    {
        m_editor->set_mouse_coords(x, y);
        draw();
        return m_editor->get_object_under_mouse();
    }
    // A release of the left button with these modifier bits, on whatever is under the pointer.
    void release(int modifiers)
    {
        GuiEventState state;
        state.set_state(modifiers);
        state.set_event(FL_RELEASE).release_button(1);
        m_editor->process_event(EVT_ID_MOUSE_UP);
    }
    TestEditor* m_editor = nullptr;
};

}  // namespace

TEST_F(GraphTest, PickColoursRunLikeAnOdometerAndStopAtWhite)
{
    struct Row {
        Color start;
        std::vector<Color> expected;
    };
    std::vector<Row> const rows = {
        {Color(1, 1, 1), {Color(1, 1, 1), Color(2, 1, 1), Color(3, 1, 1)}},
        {Color(254, 1, 1), {Color(254, 1, 1), Color(255, 1, 1), Color(1, 2, 1)}},
        {Color(255, 255, 1), {Color(255, 255, 1), Color(1, 1, 2)}},
        {Color(254, 255, 255), {Color(254, 255, 255), Color(255, 255, 255), Color(255, 255, 255)}},
    };
    for (Row const& row : rows) {
        GuiGraphWidget::reset_pick_colors(row.start);
        for (Color const& expected : row.expected) EXPECT_EQ(GuiGraphWidget::next_pick_color(), expected);
    }
}

TEST_F(GraphTest, ItemsOwnTheirColourUntilTheyGoAndWhiteIsTakenOver)
{
    TestEditor& editor = make_editor();
    TestCurve& curve = add_curve({{100, 100}});
    EXPECT_EQ(editor.get_select_item(curve.get_pick_color()), &curve);
    EXPECT_EQ(editor.get_select_item(Color(0, 0, 0)), nullptr);
    curve.set_selectable(false);
    EXPECT_FALSE(curve.is_selectable());
    EXPECT_EQ(editor.get_select_item(curve.get_pick_color()), nullptr);
    // Past the last colour every item gets white, the newest owning it.
    GuiGraphWidget::reset_pick_colors(Color(255, 255, 255));
    TestCurve& first = add_curve({});
    TestCurve& second = add_curve({});
    EXPECT_EQ(first.get_pick_color(), Color(255, 255, 255));
    EXPECT_EQ(editor.get_select_item(Color(255, 255, 255)), &second);
    EXPECT_FALSE(first.is_selectable());
    editor.remove_curve(&second);
    EXPECT_EQ(editor.get_select_item(Color(255, 255, 255)), nullptr);
}

TEST_F(GraphTest, GridCellsStayBetweenTheLimitsWithStepsThatArePowersOfTwo)
{
    struct Row {
        double span;
        int pixels;
    };
    for (Row const& row : std::vector<Row>{{10, 300}, {10, 1000}, {1000, 500}, {0.5, 800}, {1e6, 1200}, {3, 61}}) {
        double step = 1.0, cell = 0.0;
        GuiGraphWidget::compute_cell_size(step, cell, GMathVec2<int>(30, 60), row.span, row.pixels);
        double const exponent = std::log2(step);
        EXPECT_NEAR(exponent, std::round(exponent), 1e-9) << row.span << " over " << row.pixels;
        EXPECT_GE(cell, 30) << row.span << " over " << row.pixels;
        EXPECT_LE(cell, 60 * 2) << row.span << " over " << row.pixels;
        EXPECT_NEAR(cell * std::ceil(row.span / step), row.pixels, cell) << "the cells fill the axis";
    }
}

TEST_F(GraphTest, AWidgetUnder51PixelsKeepsItsCells)
{
    TestEditor& editor = make_editor(400, 300);
    GMathVec2<double> const step = editor.get_graph_cell_step(), cell = editor.get_cell_current_size_px();
    editor.resize(editor.get_x(), editor.get_y(), 40, 300);
    EXPECT_EQ(editor.get_graph_cell_step(), step);
    EXPECT_EQ(editor.get_cell_current_size_px(), cell);
}

TEST_F(GraphTest, TheWheelZoomsAboutThePointerAndStopsZoomingInAtTheMinimum)
{
    TestEditor& editor = make_editor(400, 300);
    double const gx = editor.compute_graph_x_from_mouse(100);
    editor.zoom_at(1, 100, 150);
    EXPECT_DOUBLE_EQ(editor.get_graph_zoom_level()[0], 15.0);
    EXPECT_NEAR(editor.compute_graph_x_from_mouse(100), gx, 1e-9) << "the value under the pointer stays";
    for (int i = 0; i < 40; ++i) editor.zoom_at(-1, 100, 150);
    double const smallest = editor.get_graph_zoom_level()[0];
    EXPECT_LE(smallest, GuiGraphWidget::ZOOM_LEVEL_MIN);
    EXPECT_GT(smallest, GuiGraphWidget::ZOOM_LEVEL_MIN * 2.0 / 3.0 - 1e-12) << "one step past the minimum at most";
    editor.zoom_at(1, 100, 150);
    EXPECT_GT(editor.get_graph_zoom_level()[0], smallest) << "zooming out is always allowed";
}

TEST_F(GraphTest, PickingNamesTheKeyTheCurveOrTheMarkerUnderThePointer)
{
    TestEditor& editor = make_editor(400, 300);
    TestCurve& curve = add_curve({{100, 100}, {300, 200}});
    editor.set_highlighted_x_value(5.0);  // the marker at x 200
    EXPECT_EQ(point_at(100, 100), curve.get_graph_points()[0]);
    EXPECT_EQ(point_at(200, 150), &curve) << "the line between the keys";
    EXPECT_EQ(point_at(200, 40), &editor.get_timeline());
    EXPECT_EQ(point_at(30, 280), nullptr);
    EXPECT_EQ(editor.get_previous_object_under_mouse(), &editor.get_timeline());
}

TEST_F(GraphTest, ClicksReplaceShiftAddsAndCtrlToggles)
{
    TestEditor& editor = make_editor(400, 300);
    editor.set_highlighted_x_value(-100.0);
    TestCurve& curve = add_curve({{50, 100}, {150, 100}, {250, 100}});
    auto key = [&](int i) { return curve.get_graph_points()[static_cast<size_t>(i)]; };
    struct Row {
        int key;
        int modifiers;
        std::vector<int> expected;
    };
    std::vector<Row> const rows = {
        {0, 0, {0}},      {1, 0, {1}},           {0, FL_SHIFT, {1, 0}}, {2, FL_CTRL, {1, 0, 2}},
        {1, FL_CTRL, {0, 2}}, {2, FL_SHIFT, {0, 2}}, {1, 0, {1}},
    };
    for (Row const& row : rows) {
        ASSERT_EQ(point_at(static_cast<int>(key(row.key)->get_position()[0]), 100), key(row.key));
        release(row.modifiers);
        std::vector<GuiGraphItem*> expected;
        for (int i : row.expected) expected.push_back(key(i));
        std::vector<GuiGraphItem*> const selection(editor.get_selection().begin(), editor.get_selection().end());
        EXPECT_EQ(selection, expected) << "key " << row.key << " modifiers " << row.modifiers;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(key(i)->is_selected(), std::find(expected.begin(), expected.end(), key(i)) != expected.end());
    }
}

TEST_F(GraphTest, ARectangleTakesKeysWhenItHoldsAnyAndCurvesOtherwise)
{
    TestEditor& editor = make_editor(400, 300);
    TestCurve& low = add_curve({{50, 50}, {350, 50}});
    TestCurve& high = add_curve({{50, 250}, {100, 250}});
    draw();
    CoreVector<GuiGraphItem*> items;
    editor.get_items_in_zone(GMathVec4<int>(40, 40, 60, 260), items);
    EXPECT_EQ(items.get_count(), 2u) << "the two keys at x 50";
    items.clear();
    editor.get_items_in_zone(GMathVec4<int>(200, 240, 75, 260), items);
    EXPECT_EQ(items.get_count(), 1u) << "corners in any order";
    EXPECT_EQ(items.is_empty() ? nullptr : items[0], high.get_graph_points()[1]);
    items.clear();
    // A key on the rectangle's edge is outside; the line through it makes the curve the pick.
    editor.get_items_in_zone(GMathVec4<int>(350, 40, 360, 60), items);
    ASSERT_EQ(items.get_count(), 1u);
    EXPECT_EQ(items[0], &low);
    items.clear();
    // Only the low curve's line passes here, at its middle; no key lies inside.
    editor.get_items_in_zone(GMathVec4<int>(150, 45, 250, 55), items);
    ASSERT_EQ(items.get_count(), 1u);
    EXPECT_EQ(items[0], &low);
}

TEST_F(GraphTest, ACurveDoesNotJoinASelectionOfKeys)
{
    TestEditor& editor = make_editor();
    TestCurve& curve = add_curve({{50, 50}, {150, 50}});
    editor.add_to_selection(curve.get_graph_points()[0], true);
    editor.add_to_selection(&curve, true);
    EXPECT_FALSE(curve.is_selected());
    EXPECT_EQ(editor.get_selection().get_count(), 1u);
    editor.add_to_selection(curve.get_graph_points()[1], true);
    EXPECT_EQ(editor.get_selection().get_count(), 2u);
}

TEST_F(GraphTest, NeighbourSelectionStepsWrapsExtendsAndRanges)
{
    TestEditor& editor = make_editor();
    TestCurve& curve = add_curve({{50, 50}, {100, 50}, {150, 50}, {200, 50}});
    draw();
    auto selected = [&] {
        std::vector<int> indices;
        for (int i = 0; i < 4; ++i)
            if (curve.get_graph_points()[static_cast<size_t>(i)]->is_selected()) indices.push_back(i);
        return indices;
    };
    struct Row {
        std::vector<int> before;
        char const* shortcut;
        std::vector<int> after;
    };
    std::vector<Row> const rows = {
        {{1}, "Right", {2}},        {{3}, "Right", {0}},          {{0}, "Left", {3}},
        {{1}, "Shift+Right", {1, 2, 3}}, {{2}, "Shift+Left", {0, 1, 2}}, {{0, 3}, "Down", {0, 1, 2, 3}},
        {{0, 3}, "Right", {0, 3}},
    };
    for (Row const& row : rows) {
        editor.clear_selection(false);
        for (int i : row.before) editor.add_to_selection(curve.get_graph_points()[static_cast<size_t>(i)], true);
        editor.select_neighbours(row.shortcut);
        EXPECT_EQ(selected(), row.after) << row.shortcut;
    }
}

TEST_F(GraphTest, EscapeDuringAKeyDragCancelsOnceAndTheReleaseEndsNothing)
{
    TestEditor& editor = make_editor();
    TestCurve& curve = add_curve({{100, 100}, {200, 100}});
    ASSERT_EQ(point_at(100, 100), curve.get_graph_points()[0]);
    {
        GuiEventState state;
        state.set_event(FL_DRAG).press_button(1);
        editor.process_event(EVT_ID_MOUSE_DRAG);
    }
    EXPECT_TRUE(editor.get_is_state_item_move());
    EXPECT_EQ(editor.moved, 1u) << "the key under the pointer became the selection";
    for (int i = 0; i < 2; ++i) {
        GuiEventState state;
        state.set_event(FL_KEYUP).set_key(FL_Escape);
        editor.process_event(EVT_ID_KEY_UP);
    }
    EXPECT_EQ(editor.cancels, 1);
    {
        GuiEventState state;
        state.set_event(FL_DRAG).press_button(1);
        editor.process_event(EVT_ID_MOUSE_DRAG);
    }
    EXPECT_EQ(editor.moved, 1u);
    release(0);
    EXPECT_EQ(editor.ends, 0);
    EXPECT_TRUE(editor.get_is_state_idle());
}

TEST_F(GraphTest, CurvesWithoutKeysOrWithBadValuesDrawAndMapSafely)
{
    TestEditor& editor = make_editor();
    add_curve({});
    add_curve({{120, 80}});
    double const nan = std::nan("");
    add_curve({{nan, 50}, {HUGE_VAL, -HUGE_VAL}});
    draw();
    EXPECT_EQ(editor.compute_pos_x_px(nan), 0);
    EXPECT_EQ(editor.compute_pos_y_px(HUGE_VAL), 0);
    LogRecorder log;
    editor.set_highlighted_x_value(nan);
    editor.set_highlighted_range(0.0, HUGE_VAL);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
    EXPECT_EQ(editor.get_highlighted_x_value(), 0.0);
    // A zoom to nothing is refused by the settings and never divides.
    editor.set_graph_zoom_level(GMathVec2<double>(0.0, 0.0));
    EXPECT_EQ(editor.compute_pos_x_px(3.0), 0);
    draw();
}
