#include "gui/curve/gui_timeline.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "host/app/app_object.h"
#include "host/app/app_units.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_TIMELINE_SCRUB);
EVENT_DEFINE_ID(EVT_ID_TIMELINE_NEW_TIME);

CORE_IMPLEMENT_CLASS(GuiTimeline, GuiWidget)

namespace {

// Tick lengths in pixels, from the bottom edge.
constexpr int MAJOR_TICK = 8;
constexpr int MINOR_TICK = 4;
// Room left between two labels when counting how many fit.
constexpr int LABEL_GAP = 40;
// Half the base of the current-frame triangles.
constexpr int MARKER_HALF = 4;
// Frame cells narrower than this are not told apart by the frame-mark strip.
constexpr double MIN_FRAME_MARK_SIZE = 3.0;

double round_half_away(double const& value)
{
    return std::round(value);  // std::round rounds halves away from zero
}

}  // namespace

GuiTimeline::GuiTimeline(GuiWidget& parent, int const& x, int const& y, int const& w, bool const& show_labels,
                         bool const& frame_marks)
    : GuiWidget(parent, x, y, w, 1), m_show_labels(show_labels), m_frame_marks(frame_marks)
{
    int text_w = 0;
    get_text_size("0", text_w, m_text_height);
    set_height(m_text_height + MAJOR_TICK + 4);
    if (AppBase* app = AppBase::get_instance()) {
        connect(*app, EVT_ID_APPLICATION_UNIT_SYSTEM_CHANGE, &GuiTimeline::on_unit_system_change);
        if (AppObject* app_object = dynamic_cast<AppObject*>(app)) {
            m_display_key_frames = app_object->is_timeline_kf_display();
            connect(*app, EVT_ID_APPLICATION_TIMELINE_KF_DISPLAY_CHANGED,
                    &GuiTimeline::on_kf_display_changed);
            if (m_show_labels)
                connect(*app, EVT_ID_APPLICATION_FRAME_RANGE_CHANGED, &GuiTimeline::on_frame_range_changed);
        }
    }
    set_frame_range(m_start_frame, m_end_frame);
}

GuiTimeline::~GuiTimeline()
{
    disconnect_all();
}

// --- Range ---

CoreString GuiTimeline::format_frame(double const& frame)
{
    return AppUnits::get_value_with_unit_from_value(frame, "time", 3);
}

void GuiTimeline::set_frame_range(int const& a, int const& b)
{
    bool const was_issuer = m_is_change_issuer;
    m_is_change_issuer = true;
    m_start_frame = std::min(a, b);
    m_end_frame = std::max(a, b);
    if (m_start_frame == m_end_frame) {
        // The widest range still holds one frame: step back rather than overflow.
        if (m_end_frame == INT_MAX)
            --m_start_frame;
        else
            ++m_end_frame;
    }
    m_left_label_width = m_right_label_width = 0;
    if (m_show_labels) {
        int w = 0, h = 0;
        get_text_size(format_frame(m_start_frame), w, h);
        m_left_label_width = w / 2 + 5;
        get_text_size(format_frame(m_end_frame), w, h);
        m_right_label_width = w / 2 + 5;
    }
    compute_increments();
    redraw();
    m_is_change_issuer = was_issuer;
}

// --- Current frame ---

double GuiTimeline::to_frame(double const& frame) const
{
    return m_tmp_frame ? frame : round_half_away(frame);
}

void GuiTimeline::set_current_frame(double const& frame)
{
    if (!std::isfinite(frame)) {
        CORE_LOG_WARNING("GuiTimeline.set_current_frame: "
                         << frame << " is not a finite frame; the frame stays " << m_current_frame << "\n");
        return;
    }
    m_current_frame = to_frame(frame);
    redraw();
}

// --- Geometry ---

void GuiTimeline::set_geometry(double const& offset, double const& scale)
{
    if (!std::isfinite(offset) || !std::isfinite(scale) || scale <= 0.0) {
        CORE_LOG_WARNING("GuiTimeline.set_geometry: offset "
                         << offset << " and scale " << scale
                         << " are refused: the scale must be a finite number "
                            "above 0 and the offset finite\n");
        return;
    }
    m_geometry_offset = offset;
    m_geometry_scale = scale;
    compute_increments();
    redraw();
}

void GuiTimeline::get_geometry(double& offset, double& scale) const
{
    offset = m_geometry_offset;
    scale = m_geometry_scale;
}

double GuiTimeline::get_ruler_length() const
{
    return std::max(get_width(), 0) * m_geometry_scale - (m_left_label_width + m_right_label_width);
}

double GuiTimeline::get_frame_size() const
{
    double const size = get_ruler_length() / static_cast<double>(get_span());
    return size > 0.0 ? size : 1.0;
}

double GuiTimeline::compute_current_frame(int const& mouse_x) const
{
    double const length = get_ruler_length();
    if (length <= 0.0) return m_start_frame;
    double const pixels = std::trunc(mouse_x - m_left_label_width - get_x() - m_geometry_offset);
    return to_frame(pixels * static_cast<double>(get_span()) / length + m_start_frame);
}

double GuiTimeline::get_frame_x(double const& frame) const
{
    return get_x() + m_geometry_offset + m_left_label_width + (frame - m_start_frame) * get_frame_size();
}

void GuiTimeline::compute_increments()
{
    int label_w = 0, label_h = 0;
    get_text_size(format_frame(m_end_frame), label_w, label_h);
    double const fit = std::trunc(std::max(get_width(), 0) * m_geometry_scale / (label_w + LABEL_GAP));
    uint64_t const labels = fit < 1.0 ? 1 : static_cast<uint64_t>(std::min(fit, 1e9));
    uint64_t const span = static_cast<uint64_t>(get_span());
    uint64_t major = 1;
    if (span >= labels) {
        // 2, 5, 10, 20, 50, 100, ...: the first whose count of labels fits.
        static constexpr uint64_t steps[] = {2, 5, 10};
        for (uint64_t decade = 1;; decade *= 10) {
            bool found = false;
            for (uint64_t step : steps) {
                major = step * decade;
                if (span / major < labels) {
                    found = true;
                    break;
                }
            }
            if (found) break;
        }
    }
    // The span is below 2^32, so the increment found is at most 5 × 10^9: keep it in range.
    m_major_increment = static_cast<unsigned int>(std::min<uint64_t>(major, UINT_MAX));
    m_minor_increment = std::max(1u, m_major_increment / 10);
}

void GuiTimeline::resize(int const& x, int const& y, int const& w, int const& h)
{
    bool const width_changed = w != get_width();
    GuiWidget::resize(x, y, w, h);
    if (width_changed) compute_increments();
}

// --- Marks ---

void GuiTimeline::set_key_frames(CoreVector<double> const& frames)
{
    m_key_frames = frames;
    redraw();
}

void GuiTimeline::set_current_frame_hidden(bool const& hidden)
{
    if (hidden == m_current_frame_hidden) return;
    m_current_frame_hidden = hidden;
    redraw();
}

// --- Mouse ---

int GuiTimeline::process_event(CoreString const& name)
{
    if (name == EVT_ID_MOUSE_DOWN || name == EVT_ID_MOUSE_UP || name == EVT_ID_MOUSE_DRAG)
        return on_mouse(name);
    return GuiWidget::process_event(name);
}

int GuiTimeline::on_mouse(CoreString const& name)
{
    bool const drag = name == EVT_ID_MOUSE_DRAG;
    if (name == EVT_ID_MOUSE_DOWN && !m_show_labels) {
        GuiWidget* parent = get_parent();
        if (parent && !parent->has_focus()) parent->set_focus();
    }
    int const mouse_x = Gui::get_relative_mouse_x(*this) + get_x();
    double frame = 0.0;
    if (m_show_labels && mouse_x < get_x() + m_left_label_width) {
        frame = m_start_frame;
    } else if (m_show_labels && mouse_x > get_x() + get_width() - m_right_label_width) {
        frame = m_end_frame;
    } else if (mouse_x < get_x() || mouse_x >= get_x() + get_width()) {
        GuiWidget* parent = get_parent();
        return parent ? parent->process_event(name) : 0;
    } else {
        frame = compute_current_frame(mouse_x);
    }
    if (drag && frame == m_current_frame) return 1;
    m_current_frame = frame;
    redraw();
    raise_event(name == EVT_ID_MOUSE_UP ? EVT_ID_TIMELINE_NEW_TIME : EVT_ID_TIMELINE_SCRUB);
    return 1;
}

// --- Application events ---

void GuiTimeline::on_frame_range_changed(EventObject&, EventInfo const& info, void*)
{
    if (m_is_change_issuer) return;
    auto const* range = static_cast<AppObject::FrameRange const*>(info.get_event_data());
    if (!range) return;
    // The application keeps finite ranges; clamp so that huge ones still convert.
    auto to_int = [](double const& frame) {
        return static_cast<int>(
            std::trunc(std::clamp(frame, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX))));
    };
    set_frame_range(to_int(range->start_frame), to_int(range->end_frame));
}

void GuiTimeline::on_unit_system_change(EventObject&, EventInfo const& info, void*)
{
    if (m_is_change_issuer) return;
    auto const* kind = static_cast<GMathUnits::Kind const*>(info.get_event_data());
    if (!kind || *kind == GMathUnits::KIND_TIME) set_frame_range(m_start_frame, m_end_frame);
}

void GuiTimeline::on_kf_display_changed(EventObject& sender, EventInfo const&, void*)
{
    if (m_is_change_issuer) return;
    if (AppObject* app = dynamic_cast<AppObject*>(&sender))
        m_display_key_frames = app->is_timeline_kf_display();
    redraw();
}

// --- Drawing ---

void GuiTimeline::draw(GuiDc& dc)
{
    GuiWidget::draw(dc);
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    if (w <= 0 || h <= 0) return;
    int const right = x + w - 1, bottom = y + h - 1;
    auto color = [&dc](GuiColorScheme::Role const& role) {
        return dc.get_color(GuiColorScheme::GROUP_NORMAL, role);
    };
    GMathVec3<unsigned char> const back = color(GuiColorScheme::ROLE_BACKGROUND_DARK);
    GMathVec3<unsigned char> const line = color(GuiColorScheme::ROLE_TEXT_DIM);
    GMathVec3<unsigned char> const text = color(GuiColorScheme::ROLE_TEXT);
    wdc.draw_rectf(x, y, w, h, back[0], back[1], back[2]);

    // Only the frames of the range that fall on the visible part of the ruler are drawn.
    int const ruler_left = x + m_left_label_width, ruler_right = right - m_right_label_width;
    double const frame_size = get_frame_size();
    double const origin = get_frame_x(m_start_frame);
    double const first_visible =
        std::max<double>(m_start_frame, m_start_frame + (ruler_left - origin) / frame_size);
    double const last_visible =
        std::min<double>(m_end_frame, m_start_frame + (ruler_right - origin) / frame_size);
    auto visible_x = [&](double const& frame, int& px) {
        double const fx = std::round(get_frame_x(frame));
        if (fx < ruler_left || fx > ruler_right) return false;
        px = static_cast<int>(fx);
        return true;
    };
    // Calls `draw_one(frame, px)` for each visible multiple of `step`, at most MAX_TICKS times.
    auto for_each_multiple = [&](double const& step, auto const& draw_one) {
        if (last_visible < first_visible) return;
        double frame = std::ceil(first_visible / step) * step;
        for (unsigned int count = 0; frame <= last_visible && count < MAX_TICKS; ++count, frame += step) {
            int px = 0;
            if (visible_x(frame, px)) draw_one(frame, px);
        }
    };

    if (m_frame_marks && frame_size >= MIN_FRAME_MARK_SIZE) {
        GMathVec3<unsigned char> const cell = color(GuiColorScheme::ROLE_BACKGROUND_LIGHT);
        for_each_multiple(2.0, [&](double const& frame, int const& px) {
            int const cell_w =
                std::min(static_cast<int>(std::round(get_frame_x(frame + 1.0))), ruler_right) - px;
            if (cell_w > 0)
                wdc.draw_rectf(px, bottom - MAJOR_TICK + 1, cell_w, MAJOR_TICK, cell[0], cell[1], cell[2]);
        });
    }

    for_each_multiple(m_minor_increment, [&](double const&, int const& px) {
        wdc.draw_line(px, bottom - MINOR_TICK + 1, px, bottom, line[0], line[1], line[2]);
    });

    // Major ticks and their labels; a label that would run over an end label or out of the
    // widget is left out.
    int const label_top = y + 1;
    int left_limit = x, right_limit = right;
    // The end labels are centred on the ruler's ends and kept inside the widget (a stretched
    // ruler may put its ends out of sight).
    CoreString start_text, end_text;
    int start_w = 0, end_w = 0, start_x = x, end_x = right, unused = 0;
    bool end_labels = false;
    if (m_show_labels) {
        start_text = format_frame(m_start_frame);
        end_text = format_frame(m_end_frame);
        get_text_size(start_text, start_w, unused);
        get_text_size(end_text, end_w, unused);
        end_labels = start_w + end_w <= w;
    }
    if (end_labels) {
        start_x = std::clamp(static_cast<int>(std::round(origin)) - start_w / 2, x, right + 1 - start_w);
        end_x = std::clamp(static_cast<int>(std::round(get_frame_x(m_end_frame))) - end_w / 2, x,
                           right + 1 - end_w);
        left_limit = start_x + start_w + 4;
        right_limit = end_x - 4;
    }
    for_each_multiple(m_major_increment, [&](double const& frame, int const& px) {
        wdc.draw_line(px, bottom - MAJOR_TICK + 1, px, bottom, line[0], line[1], line[2]);
        CoreString const label = format_frame(frame);
        int label_w = 0, label_h = 0;
        get_text_size(label, label_w, label_h);
        int const left = px - label_w / 2;
        if (left < left_limit || left + label_w > right_limit + 1) return;
        wdc.draw_text(label, left, label_top, label_w, m_text_height, line[0], line[1], line[2],
                      GuiWidget::JUSTIFY_CENTER);
    });

    if (m_display_key_frames) {
        unsigned int count = 0;
        for (double const& key : m_key_frames) {
            if (++count > MAX_TICKS) break;
            int px = 0;
            if (!std::isfinite(key) || key < m_start_frame || key > m_end_frame || !visible_x(key, px))
                continue;
            wdc.draw_rectf(px - 1, y + m_text_height + 1, 3, h - m_text_height - 1, KEY_FRAME_COLOR[0],
                           KEY_FRAME_COLOR[1], KEY_FRAME_COLOR[2]);
        }
    }

    // The end labels, in the brighter text colour.
    if (end_labels) {
        wdc.draw_text(start_text, start_x, label_top, start_w, m_text_height, text[0], text[1], text[2],
                      GuiWidget::JUSTIFY_CENTER);
        wdc.draw_text(end_text, end_x, label_top, end_w, m_text_height, text[0], text[1], text[2],
                      GuiWidget::JUSTIFY_CENTER);
    }

    if (!m_current_frame_hidden) {
        double const fx = std::round(get_frame_x(m_current_frame));
        if (fx >= x && fx <= right) {
            int const cx = static_cast<int>(fx);
            GMathVec3<unsigned char> const mark = color(GuiColorScheme::ROLE_ACCENT);
            wdc.draw_trianglef(cx - MARKER_HALF, y, cx + MARKER_HALF, y, cx, y + MARKER_HALF + 1, mark[0],
                               mark[1], mark[2]);
            wdc.draw_trianglef(cx - MARKER_HALF, bottom, cx + MARKER_HALF, bottom, cx,
                               bottom - MARKER_HALF - 1, mark[0], mark[1], mark[2]);
        }
    }
}
