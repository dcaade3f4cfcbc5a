// Timelines: the range and its bad input, increments chosen to fit the width, the frame
// under the pointer, scrubbing by presses, drags and releases (end labels included), frames
// kept whole or fractional, following the application, and drawing inside the widget.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "gui/curve/gui_timeline.h"
#include "host/app/app_units.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/log_recorder.h"

namespace {

// A panel that counts the mouse events handed up to it.
class CountingPanel : public GuiWidget {
public:
    CountingPanel(GuiWidget& parent, int x, int y, int w, int h) : GuiWidget(parent, x, y, w, h) {}
    int process_event(CoreString const& name) override
    {
        if (name == EVT_ID_MOUSE_DOWN || name == EVT_ID_MOUSE_UP || name == EVT_ID_MOUSE_DRAG) ++mouse_events;
        return GuiWidget::process_event(name);
    }
    int mouse_events = 0;
};

class TimelineTest : public ControlsTest {
protected:
    void TearDown() override
    {
        // The application object outlives the test: put back what tests change on it.
        app().set_frame_range(0.0, 50.0);
        app().set_timeline_kf_display(true);
        AppUnits::reset();
        ControlsTest::TearDown();
    }
    // At x 20 of a panel filling the window; without labels the ruler spans the whole width.
    GuiTimeline& make_timeline(bool labels, int w = 200)
    {
        m_panel = new CountingPanel(window(), 0, 0, 400, 200);
        m_panel->set_focus_receiver(true);  // as an editor holding a timeline is
        GuiTimeline* timeline = new GuiTimeline(*m_panel, 20, 30, w, labels, false);
        m_panel->show();
        shown(timeline);
        m_log.listen(*timeline, {&EVT_ID_TIMELINE_SCRUB, &EVT_ID_TIMELINE_NEW_TIME});
        return *timeline;
    }
    int mid_y(GuiTimeline const& timeline) const { return timeline.get_y() + timeline.get_height() / 2; }

    CountingPanel* m_panel = nullptr;
};

}  // namespace

TEST_F(TimelineTest, RangeIsOrderedAndNeverEmpty)
{
    GuiTimeline& timeline = make_timeline(true);
    struct Row {
        int a, b, start, end;
    };
    Row const rows[] = {{10, 10, 10, 11},
                        {20, 5, 5, 20},
                        {INT_MAX, INT_MAX, INT_MAX - 1, INT_MAX},
                        {INT_MIN, INT_MIN, INT_MIN, INT_MIN + 1}};
    for (Row const& row : rows) {
        timeline.set_frame_range(row.a, row.b);
        EXPECT_EQ(timeline.get_start_frame(), row.start) << row.a << " " << row.b;
        EXPECT_EQ(timeline.get_end_frame(), row.end) << row.a << " " << row.b;
    }
    // The end labels make room for the longer texts of the new ends.
    timeline.set_frame_range(0, 5);
    int const narrow = timeline.get_right_label_width();
    timeline.set_frame_range(0, 500000);
    EXPECT_GT(timeline.get_right_label_width(), narrow);
    EXPECT_GT(timeline.get_left_label_width(), 0);
    EXPECT_FALSE(timeline.is_change_issuer());
}

TEST_F(TimelineTest, IncrementsFitTheLabelsToTheWidth)
{
    GuiTimeline& timeline = make_timeline(false);
    // `labels`: how many end-frame labels (with their gap) the stretched width holds.
    struct Row {
        int start, end, labels;
        double scale;
        unsigned int major, minor;
    };
    Row const rows[] = {
        {0, 50, 12, 1.0, 5, 1},     {0, 1000, 12, 1.0, 100, 10},
        {0, 5, 12, 1.0, 1, 1},      {0, 10, 3, 1.0, 5, 1},
        {-100, 100, 5, 1.0, 50, 5}, {0, 50, 1, 1.0, 100, 10},
        {0, 50, 12, 2.0, 5, 1},     {0, 1000, 40, 0.5, 50, 5},
        {0, 1, 1, 1.0, 2, 1},       {INT_MIN, INT_MAX, 12, 1.0, 500000000, 50000000},
    };
    for (Row const& row : rows) {
        timeline.set_frame_range(row.start, row.end);
        int label_w = 0, label_h = 0;
        timeline.get_text_size(GuiTimeline::format_frame(row.end), label_w, label_h);
        int const stretched = row.labels * (label_w + 40) + 10;
        timeline.set_width(static_cast<int>(std::ceil(stretched / row.scale)));
        timeline.set_geometry(0.0, row.scale);
        EXPECT_EQ(timeline.get_major_increment(), row.major)
            << row.start << ".." << row.end << " x" << row.labels;
        EXPECT_EQ(timeline.get_minor_increment(), row.minor)
            << row.start << ".." << row.end << " x" << row.labels;
    }
    // No width at all still gives one label's worth of increments, and draws nothing.
    timeline.set_frame_range(0, 50);
    timeline.set_geometry(0.0, 1.0);
    for (int width : {0, -5}) {
        timeline.set_width(width);
        pump_events(app());
        EXPECT_EQ(timeline.get_major_increment(), 100u) << width;
        EXPECT_EQ(timeline.get_frame_size(), 1.0) << width;
        EXPECT_EQ(timeline.compute_current_frame(60), 0.0) << width;
    }
}

TEST_F(TimelineTest, FrameUnderThePointerFollowsOffsetAndScale)
{
    GuiTimeline& timeline = make_timeline(false);  // x 20, 200 pixels
    timeline.set_frame_range(0, 100);
    struct Row {
        double offset, scale;
        int x;
        bool tmp;
        double frame, frame_size;
    };
    Row const rows[] = {
        {0.0, 1.0, 20, false, 0.0, 2.0},    {0.0, 1.0, 71, false, 26.0, 2.0},
        {0.0, 1.0, 71, true, 25.5, 2.0},    {10.0, 2.0, 70, false, 10.0, 4.0},
        {-50.0, 1.0, 20, false, 25.0, 2.0}, {0.0, 0.5, 10, true, -10.0, 1.0},
    };
    for (Row const& row : rows) {
        timeline.set_geometry(row.offset, row.scale);
        timeline.set_tmp_frame(row.tmp);
        EXPECT_DOUBLE_EQ(timeline.compute_current_frame(row.x), row.frame)
            << row.offset << " " << row.scale << " " << row.x;
        EXPECT_DOUBLE_EQ(timeline.get_frame_size(), row.frame_size) << row.offset << " " << row.scale;
    }
}

TEST_F(TimelineTest, ScrubbingRaisesOnChangesAndPassesOutsidePressesOn)
{
    GuiTimeline& timeline = make_timeline(false);
    timeline.set_frame_range(0, 100);  // 2 pixels a frame from x 20
    int const y = mid_y(timeline);
    mouse_down(timeline, 40, y);
    EXPECT_EQ(timeline.get_current_frame(), 10.0);
    throttled_drag(timeline, 41, y);  // 10.5 rounds to 11
    throttled_drag(timeline, 41, y);  // the same frame: nothing raised
    throttled_drag(timeline, 80, y);
    mouse_up(timeline, 120, y);
    EXPECT_EQ(timeline.get_current_frame(), 50.0);
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TIMELINE_SCRUB", "EVT_ID_TIMELINE_SCRUB", "EVT_ID_TIMELINE_SCRUB",
                                  "EVT_ID_TIMELINE_NEW_TIME"}));
    EXPECT_TRUE(m_panel->has_focus()) << "a press gives the focus to the parent";

    // With tmp frame set the pointer sets fractional frames.
    m_log.clear();
    timeline.set_tmp_frame(true);
    click(timeline, 41, y);
    EXPECT_EQ(timeline.get_current_frame(), 10.5);
    EXPECT_EQ(m_log.count(EVT_ID_TIMELINE_NEW_TIME), 1);

    // Outside the widget, presses, drags and releases go to the parent and change nothing.
    m_log.clear();
    mouse_down(timeline, 10, y);
    throttled_drag(timeline, 260, y);
    mouse_up(timeline, 230, y);
    EXPECT_EQ(m_panel->mouse_events, 3);
    EXPECT_EQ(timeline.get_current_frame(), 10.5);
    EXPECT_TRUE(m_log.get().empty());
}

TEST_F(TimelineTest, EndLabelsTakeTheRangeEnds)
{
    GuiTimeline& timeline = make_timeline(true);
    timeline.set_frame_range(10, 90);
    int const y = mid_y(timeline);
    int const left = timeline.get_x() + timeline.get_left_label_width() - 1;
    int const right = timeline.get_x() + timeline.get_width() - timeline.get_right_label_width() + 1;
    struct Row {
        int x;
        double frame;
    };
    // Left of the widget counts as the left label: nothing goes to the parent.
    Row const rows[] = {{left, 10.0}, {right, 90.0}, {timeline.get_x() - 15, 10.0}};
    for (Row const& row : rows) {
        m_log.clear();
        timeline.set_current_frame(50.0);
        click(timeline, row.x, y);
        EXPECT_EQ(timeline.get_current_frame(), row.frame) << row.x;
        EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TIMELINE_SCRUB", "EVT_ID_TIMELINE_NEW_TIME"})) << row.x;
    }
    EXPECT_EQ(m_panel->mouse_events, 0);

    // Dragging onto the left label stops at the start frame and raises once.
    m_log.clear();
    mouse_down(timeline, timeline.get_x() + timeline.get_width() / 2, y);
    throttled_drag(timeline, left, y);
    throttled_drag(timeline, left - 3, y);
    throttled_drag(timeline, timeline.get_x() - 40, y);
    EXPECT_EQ(timeline.get_current_frame(), 10.0);
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TIMELINE_SCRUB", "EVT_ID_TIMELINE_SCRUB"}));
    mouse_up(timeline, timeline.get_x() - 40, y);
}

TEST_F(TimelineTest, FramesSetByCodeAreRoundedAndBadOnesRefused)
{
    GuiTimeline& timeline = make_timeline(false);
    struct Row {
        double frame;
        bool tmp;
        double stored;
    };
    Row const rows[] = {{2.5, false, 3.0}, {-2.5, false, -3.0}, {-0.25, true, -0.25}};
    for (Row const& row : rows) {
        timeline.set_tmp_frame(row.tmp);
        timeline.set_current_frame(row.frame);
        EXPECT_EQ(timeline.get_current_frame(), row.stored) << row.frame;
    }
    LogRecorder log;
    double const inf = std::numeric_limits<double>::infinity();
    timeline.set_current_frame(std::nan(""));
    timeline.set_current_frame(-inf);
    timeline.set_geometry(0.0, 0.0);
    timeline.set_geometry(std::nan(""), 1.0);
    timeline.set_geometry(5.0, -inf);
    EXPECT_EQ(timeline.get_current_frame(), -0.25);
    double offset = 1.0, scale = 0.0;
    timeline.get_geometry(offset, scale);
    EXPECT_EQ(offset, 0.0);
    EXPECT_EQ(scale, 1.0);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 5u) << log.dump();
}

TEST_F(TimelineTest, FollowsTheApplicationRangeUnitsAndKeyFrameDisplay)
{
    GuiTimeline& labelled = make_timeline(true);
    GuiTimeline* plain = new GuiTimeline(*m_panel, 20, 80, 200, false, false);
    app().set_frame_range(12.7, -3.2);
    EXPECT_EQ(labelled.get_start_frame(), -3);
    EXPECT_EQ(labelled.get_end_frame(), 12);
    EXPECT_EQ(plain->get_start_frame(), 0) << "only labelled timelines follow the range";
    app().set_frame_range(4.0, 4.0);
    EXPECT_EQ(labelled.get_end_frame(), 5);

    // Labels written with a unit take more room.
    int const before = labelled.get_left_label_width();
    CoreString const text = GuiTimeline::format_frame(labelled.get_start_frame());
    ASSERT_TRUE(AppUnits::set_unit_format("time", GMathUnits::FORMAT_VALUE_UNIT));
    ASSERT_NE(GuiTimeline::format_frame(labelled.get_start_frame()), text);
    EXPECT_GT(labelled.get_left_label_width(), before);

    bool const shown = labelled.is_display_key_frames();
    app().set_timeline_kf_display(!shown);
    EXPECT_EQ(labelled.is_display_key_frames(), !shown);
    EXPECT_EQ(plain->is_display_key_frames(), !shown);
}

TEST_F(TimelineTest, DrawsTicksMarksAndKeyFramesInsideItself)
{
    GuiTimeline& timeline = make_timeline(false);
    timeline.set_frame_range(0, 100);
    timeline.set_key_frames({33.0, 1e9});  // between two minor ticks
    timeline.set_current_frame(70.0);
    pump_events(app());
    int w = 0, h = 0;
    std::vector<unsigned char> rgb = read_window_rgb(window(), w, h);
    ASSERT_GT(w, 0);
    int const bottom = timeline.get_y() + timeline.get_height() - 1;
    auto at = [&](double frame, int y) {
        return pixel_at(rgb, w, static_cast<int>(std::round(timeline.get_frame_x(frame))), y);
    };
    GMathVec3<unsigned char> const back =
        timeline.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND_DARK);
    GMathVec3<unsigned char> const tick =
        timeline.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_DIM);
    GMathVec3<unsigned char> const accent =
        timeline.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_ACCENT);
    GMathVec3<unsigned char> const key(GuiTimeline::KEY_FRAME_COLOR[0], GuiTimeline::KEY_FRAME_COLOR[1],
                                       GuiTimeline::KEY_FRAME_COLOR[2]);
    unsigned int const minor = timeline.get_minor_increment();
    ASSERT_LT(minor, 10u);
    EXPECT_EQ(at(10.0 * minor, bottom), tick);
    EXPECT_EQ(at(10.0 * minor + 0.5, bottom), back) << "nothing between two ticks";
    EXPECT_EQ(at(33.0, bottom - 1), key);
    EXPECT_EQ(at(70.0, timeline.get_y()), accent);
    EXPECT_EQ(at(70.0, bottom), accent);
    // The panel's colour right outside the widget is untouched.
    GMathVec3<unsigned char> const outside = pixel_at(rgb, w, timeline.get_x() - 2, bottom);
    EXPECT_NE(outside, back);
    EXPECT_EQ(pixel_at(rgb, w, timeline.get_x() + timeline.get_width() + 1, bottom), outside);

    // Without the display the key frames go; a huge stretched range draws within its limits.
    app().set_timeline_kf_display(false);
    timeline.set_frame_range(INT_MIN, INT_MAX);
    timeline.set_geometry(-1e6, 1e4);
    pump_events(app());
    timeline.set_frame_range(0, 100);
    timeline.set_geometry(0.0, 1.0);
    pump_events(app());
    EXPECT_EQ(pixel_at(window(), static_cast<int>(std::round(timeline.get_frame_x(33.0))), bottom - 1), back);
}
