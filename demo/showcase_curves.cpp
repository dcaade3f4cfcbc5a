// The showcase's "Curves" page: a curve editor over a few animation curves of the sample
// scene (a camera's height, a light's intensity, a prop's turn). Keys are picked under the
// pointer, selected by click (Shift adds, Ctrl toggles), by rectangle, with the arrow keys
// and Ctrl+A, and dragged (Escape puts them back); the marker is dragged to set the scene's
// current frame. Alt or Space with a drag pans, the wheel zooms, F fits the selection. Under
// the editor a timeline over the application's frame range shows the current frame and the
// key frames; scrubbing it moves the marker, and the marker moves it. What happens shows in
// the status line and, with --trace, as "curves ..." lines ("curves key <curve> <index> x y"
// says where each key is drawn, "curves timeline x y w h" where the ruler is, in window pixels).
// Below them, a function-curve editor over three colour channels and an RGBA gradient editor
// report their edits as "curves fcurve ..." and "curves gradient ..." lines; they trace where
// their keys are drawn too ("curves fcurve handle <channel> <index> x y", "curves gradient handle
// <index> x y").
#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <memory>
#include <vector>

#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/core/gui_app.h"
#include "gui/curve/gui_curve.h"
#include "gui/curve/gui_gradient.h"
#include "gui/curve/gui_graph_widget.h"
#include "gui/curve/gui_timeline.h"
#include "host/of/of_object_factory.h"

namespace {

struct CurveKey {
    double time;
    double value;
};

// Keys joined by cubic segments whose slopes come from the neighbouring keys; a linear curve
// joins them with straight lines, and its keys draw the segment after them dashed.
struct CurveData {
    CoreString name;
    GMathVec3<unsigned char> color;
    bool linear = false;
    std::vector<CurveKey> keys;

    double slope(size_t i) const
    {
        if (keys.size() < 2) return 0.0;
        size_t const a = i == 0 ? 0 : i - 1, b = std::min(i + 1, keys.size() - 1);
        double const dt = keys[b].time - keys[a].time;
        return dt != 0.0 ? (keys[b].value - keys[a].value) / dt : 0.0;
    }
    double evaluate(double const& t) const
    {
        if (keys.empty()) return 0.0;
        if (t <= keys.front().time) return keys.front().value;
        if (t >= keys.back().time) return keys.back().value;
        size_t i = 1;
        while (keys[i].time < t) ++i;
        CurveKey const& k0 = keys[i - 1];
        CurveKey const& k1 = keys[i];
        double const dt = k1.time - k0.time;
        if (dt <= 0.0) return k1.value;
        double const s = (t - k0.time) / dt;
        if (linear) return k0.value + (k1.value - k0.value) * s;
        double const h00 = 2 * s * s * s - 3 * s * s + 1, h10 = s * s * s - 2 * s * s + s;
        double const h01 = -2 * s * s * s + 3 * s * s, h11 = s * s * s - s * s;
        return h00 * k0.value + h10 * dt * slope(i - 1) + h01 * k1.value + h11 * dt * slope(i);
    }
};

class DemoCurveEditor;

class DemoCurve : public GuiGraphCurve {
public:
    DemoCurve(DemoCurveEditor& editor, CurveData& data);
    void compute_points() override;
    CurveData& get_data() const { return *m_data; }

private:
    DemoCurveEditor* m_editor;
    CurveData* m_data;
};

class DemoCurveEditor : public GuiGraphWidget {
public:
    // `status` (may be null) shows what happens.
    DemoCurveEditor(GuiWidget& parent, int x, int y, int w, int h, OfObjectFactory& scene, DemoText* status)
        : GuiGraphWidget(parent, x, y, w, h), m_scene(&scene), m_status(status)
    {
    }

    void add_data(CurveData const& data)
    {
        m_data.push_back(std::make_unique<CurveData>(data));
        add_curve(new DemoCurve(*this, *m_data.back()));
    }

    void report(CoreString const& line)
    {
        if (m_status) m_status->set_text(line);
        DemoTrace::line(CoreString("curves ") + line);
    }

    // Says where the keys are drawn, in window pixels, whenever that changed (for the
    // end-to-end test).
    void draw(GuiDc& dc) override
    {
        GuiGraphWidget::draw(dc);
        CoreString lines;
        unsigned int c = 0;
        for (GuiGraphCurve* curve : get_curves()) {
            unsigned int k = 0;
            for (GuiGraphPoint* key : curve->get_graph_points())
                lines += CoreString("curves key ") + c + " " + k++ + " " + (get_x() + static_cast<int>(key->get_position()[0])) +
                         " " + (get_y() + get_height() - static_cast<int>(key->get_position()[1])) + "\n";
            ++c;
        }
        if (lines.is_empty() || lines == m_traced) return;
        m_traced = lines;
        DemoTrace::line(lines.sub_string(0, lines.get_length() - 1));
    }

    void fit(bool const& all) override
    {
        double t0 = 1e300, t1 = -1e300, v0 = 1e300, v1 = -1e300;
        for (GuiGraphCurve* curve : get_curves()) {
            CurveData const& data = static_cast<DemoCurve*>(curve)->get_data();
            std::vector<GuiGraphPoint*> const& points = curve->get_graph_points();
            for (size_t i = 0; i < data.keys.size(); ++i) {
                // Before the first draw the curve has no key items yet.
                bool const selected = curve->is_selected() || (i < points.size() && points[i]->is_selected());
                if (!all && !get_selection().is_empty() && !selected) continue;
                t0 = std::min(t0, data.keys[i].time);
                t1 = std::max(t1, data.keys[i].time);
                v0 = std::min(v0, data.keys[i].value);
                v1 = std::max(v1, data.keys[i].value);
            }
        }
        if (t0 > t1) return;
        // A margin of a tenth on each side; a single key gets a span of its own.
        double const span_t = std::max(t1 - t0, 1.0), span_v = std::max(v1 - v0, 1.0);
        set_graph_offset(GMathVec2<double>(t0 - span_t * 0.1, v0 - span_v * 0.1));
        set_graph_zoom_level(GMathVec2<double>(span_t * 1.2, span_v * 1.2));
        compute_cell_info();
        set_dirty();
        redraw();
        report("fit");
    }

    void selection_changed() override
    {
        unsigned int keys = 0, curves = 0;
        for (GuiGraphItem* item : get_selection()) {
            if (item->is_kindof(GuiGraphPoint::class_info())) ++keys;
            if (item->is_kindof(GuiGraphCurve::class_info())) ++curves;
        }
        report(CoreString("selection ") + keys + " keys " + curves + " curves");
    }

    void manage_move_points(CoreVector<GuiGraphItem*> const& items, Gui::MouseButtonId const&) override
    {
        if (!get_is_state_item_move()) {
            set_state_item_move(true);
            m_start_mouse = GMathVec2<int>(get_previous_mouse_x(), get_previous_mouse_y());
            m_moved.clear();
            for (GuiGraphItem* item : items) {
                if (!item->is_kindof(GuiGraphPoint::class_info()) || item->is_kindof(GuiGraphTangent::class_info())) continue;
                GuiGraphPoint* key = static_cast<GuiGraphPoint*>(item);
                DemoCurve& curve = static_cast<DemoCurve&>(key->get_curve());
                std::vector<GuiGraphPoint*> const& keys = curve.get_graph_points();
                size_t const index = static_cast<size_t>(std::find(keys.begin(), keys.end(), key) - keys.begin());
                if (index < curve.get_data().keys.size()) m_moved.push_back({&curve.get_data(), index, curve.get_data().keys[index]});
            }
        }
        double const dt = (get_mouse_x() - m_start_mouse[0]) * get_pixel_width();
        double const dv = (get_mouse_y() - m_start_mouse[1]) * get_graph_zoom_level()[1] / std::max(1, get_height());
        for (Moved const& moved : m_moved) {
            std::vector<CurveKey>& keys = moved.data->keys;
            // A key stays between its neighbours, on whole frames.
            double const low = moved.index > 0 ? keys[moved.index - 1].time + 1.0 : -1e9;
            double const high = moved.index + 1 < keys.size() ? keys[moved.index + 1].time - 1.0 : 1e9;
            keys[moved.index].time = std::clamp(std::round(moved.start.time + dt), low, std::max(low, high));
            keys[moved.index].value = moved.start.value + dv;
        }
        set_dirty();
        redraw();
    }

    void end_move_points(Gui::MouseButtonId const&) override
    {
        set_state_item_move(false);
        if (m_moved.empty()) return;
        CurveKey const& key = m_moved[0].data->keys[m_moved[0].index];
        report(CoreString("moved ") + static_cast<unsigned int>(m_moved.size()) + " keys, first to frame " + key.time);
        m_moved.clear();
        if (m_timeline) m_timeline->set_key_frames(get_key_frames());
        set_dirty();
        redraw();
    }

    void cancel_move_points() override
    {
        for (Moved const& moved : m_moved) moved.data->keys[moved.index] = moved.start;
        report(CoreString("move cancelled ") + static_cast<unsigned int>(m_moved.size()) + " keys");
        m_moved.clear();
        set_state_item_move(false);
        set_dirty();
        redraw();
    }

    void manage_move_time() override
    {
        GuiGraphWidget::manage_move_time();
        double const frame = std::round(compute_graph_x_from_mouse(get_mouse_x()));
        set_highlighted_x_value(frame);
        m_scene->set_time(frame);
        if (m_timeline) m_timeline->set_current_frame(frame);
    }

    void set_timeline(GuiTimeline* timeline) { m_timeline = timeline; }

    // The frames that hold a key on any curve, for the timeline's marks.
    CoreVector<double> get_key_frames() const
    {
        std::vector<double> frames;
        for (auto const& data : m_data)
            for (CurveKey const& key : data->keys) frames.push_back(key.time);
        std::sort(frames.begin(), frames.end());
        frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
        CoreVector<double> result;
        for (double const frame : frames) result.add(frame);
        return result;
    }

    void end_move_time() override
    {
        GuiGraphWidget::end_move_time();
        report(CoreString("frame ") + get_highlighted_x_value());
    }

    void manage_remove() override
    {
        unsigned int removed = 0;
        for (GuiGraphCurve* curve : get_curves()) {
            CurveData& data = static_cast<DemoCurve*>(curve)->get_data();
            std::vector<GuiGraphPoint*> const& keys = curve->get_graph_points();
            std::vector<CurveKey> kept;
            for (size_t i = 0; i < data.keys.size(); ++i)
                if (i < keys.size() && keys[i]->is_selected())
                    ++removed;
                else
                    kept.push_back(data.keys[i]);
            data.keys = kept;
        }
        clear_selection(false);
        set_dirty();
        report(CoreString("removed ") + removed + " keys");
    }

    void manage_insert_point(double const& x) override
    {
        double const frame = std::round(x);
        unsigned int inserted = 0;
        for (GuiGraphCurve* curve : get_curves()) {
            if (!curve->is_selected()) continue;
            CurveData& data = static_cast<DemoCurve*>(curve)->get_data();
            auto const at = std::lower_bound(data.keys.begin(), data.keys.end(), frame,
                                             [](CurveKey const& k, double const& t) { return k.time < t; });
            if (at != data.keys.end() && at->time == frame) continue;
            data.keys.insert(at, CurveKey{frame, data.evaluate(frame)});
            ++inserted;
        }
        set_dirty();
        report(CoreString("inserted ") + inserted + " keys at frame " + frame);
    }

private:
    struct Moved {
        CurveData* data;
        size_t index;
        CurveKey start;
    };
    OfObjectFactory* m_scene;
    DemoText* m_status;
    GuiTimeline* m_timeline = nullptr;
    std::vector<std::unique_ptr<CurveData>> m_data;
    std::vector<Moved> m_moved;
    GMathVec2<int> m_start_mouse = GMathVec2<int>(0, 0);
    CoreString m_traced;
};

DemoCurve::DemoCurve(DemoCurveEditor& editor, CurveData& data)
    : GuiGraphCurve(editor, data.color, data.color, data.name), m_editor(&editor), m_data(&data)
{
}

void DemoCurve::compute_points()
{
    // Keys are made again only when their count changed: their selection stays.
    while (get_graph_points().size() > m_data->keys.size()) remove_graph_point(static_cast<unsigned int>(get_graph_points().size() - 1));
    while (get_graph_points().size() < m_data->keys.size())
        add_graph_point(new GuiGraphPoint(*this, 0.0, 0.0, get_normal_color(), get_highlight_color()));
    int const width = m_editor->get_width();
    auto pixel = [&](double const& t, double const& v) {
        return GMathVec2<double>(m_editor->compute_pos_x_px(t), m_editor->compute_pos_y_px(v));
    };
    std::vector<CurveKey> const& keys = m_data->keys;
    set_point_parts_count(static_cast<unsigned int>(keys.size() + 1));
    if (keys.empty()) return;
    // Before the first key and after the last, the curve holds its end values.
    add_point(0, GMathVec2<double>(0.0, pixel(0.0, keys.front().value)[1]));
    add_point(0, pixel(keys.front().time, keys.front().value));
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        double const t0 = keys[i].time, t1 = keys[i + 1].time;
        double const pixels = std::abs(m_editor->compute_pos_x_px(t1) - m_editor->compute_pos_x_px(t0));
        int const samples = m_data->linear ? 1 : std::clamp(static_cast<int>(pixels / 4.0), 1, 200);
        for (int s = 0; s <= samples; ++s) {
            double const t = t0 + (t1 - t0) * s / samples;
            add_point(static_cast<unsigned int>(i + 1), pixel(t, m_data->evaluate(t)));
        }
    }
    add_point(static_cast<unsigned int>(keys.size()), pixel(keys.back().time, keys.back().value));
    add_point(static_cast<unsigned int>(keys.size()), GMathVec2<double>(width, pixel(0.0, keys.back().value)[1]));
    for (size_t i = 0; i < keys.size(); ++i) {
        GuiGraphPoint& key = *get_graph_points()[i];
        GMathVec2<double> const position = pixel(keys[i].time, keys[i].value);
        key.set_position(position);
        key.set_graph_position(GMathVec2<double>(keys[i].time, keys[i].value));
        key.set_render_mode(m_data->linear ? GuiGraphPoint::RENDER_MODE_DASHED : GuiGraphPoint::RENDER_MODE_NORMAL);
        if (m_data->linear) continue;
        // Tangent handles 30 pixels along the slope on each side.
        double const dx = 1.0, dy = m_data->slope(i) * m_editor->get_graph_zoom_level()[0] / m_editor->get_graph_zoom_level()[1] *
                                    m_editor->get_height() / std::max(1, width);
        double const length = std::hypot(dx, dy);
        key.update_tangent1(position[0] - 30.0 * dx / length, position[1] - 30.0 * dy / length);
        key.update_tangent2(position[0] + 30.0 * dx / length, position[1] + 30.0 * dy / length);
    }
}

struct CurvesPage {
    DemoCurveEditor* editor = nullptr;
    GuiTimeline* timeline = nullptr;
    OfObjectFactory* scene = nullptr;
};

// The ruler's frame goes to the scene and the editor's marker.
void on_timeline(EventObject&, EventObject::EventInfo const& info, void* data)
{
    CurvesPage& page = *static_cast<CurvesPage*>(data);
    double const frame = page.timeline->get_current_frame();
    page.scene->set_time(frame);
    page.editor->set_highlighted_x_value(frame);
    if (info.get_name() == EVT_ID_TIMELINE_NEW_TIME) page.editor->report(CoreString("timeline frame ") + frame);
}

// Where the ruler is, once it has its place.
class TracedTimeline : public GuiTimeline {
public:
    using GuiTimeline::GuiTimeline;
    void draw(GuiDc& dc) override
    {
        GuiTimeline::draw(dc);
        CoreString const line = CoreString("curves timeline ") + get_x() + " " + get_y() + " " + get_width() + " " + get_height();
        if (line == m_traced) return;
        m_traced = line;
        DemoTrace::line(line);
    }

private:
    CoreString m_traced;
};


// The short name of an editor event: "EVT_ID_CURVE_KEY_VALUE_CHANGED" -> "key value changed".
CoreString event_words(CoreString const& name, char const* prefix)
{
    std::string text = name.std_string().substr(std::string(prefix).size());
    for (char& c : text) c = c == '_' ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return CoreString(text.c_str());
}

// A function-curve editor that says where its keys are drawn.
class TracedCurve : public GuiCurve {
public:
    using GuiCurve::GuiCurve;
    void draw(GuiDc& dc) override
    {
        GuiCurve::draw(dc);
        CoreString lines;
        for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
            unsigned int index = 0;
            for (FCurveKey const& key : get_curve(channel).get_keys())
                lines += CoreString("curves fcurve handle ") + channel + " " + index++ + " " + time_to_pixel(key.time) +
                         " " + value_to_pixel_y(key.value) + "\n";
        }
        if (lines.is_empty() || lines == m_traced) return;
        m_traced = lines;
        DemoTrace::line(lines.sub_string(0, lines.get_length() - 1));
    }

private:
    CoreString m_traced;
};

// A gradient editor that says where its key handles are drawn.
class TracedGradient : public GuiGradient {
public:
    using GuiGradient::GuiGradient;
    void draw(GuiDc& dc) override
    {
        GuiGradient::draw(dc);
        CoreString lines;
        for (unsigned int index = 0; index < get_key_count(); ++index)
            lines += CoreString("curves gradient handle ") + index + " " +
                     position_to_pixel(get_keys_position(get_key_id_by_index(index))) + " " + get_pos_y_color() + "\n";
        if (lines.is_empty() || lines == m_traced) return;
        m_traced = lines;
        DemoTrace::line(lines.sub_string(0, lines.get_length() - 1));
    }

private:
    CoreString m_traced;
};

// Three tone curves, one per colour channel.
void add_tone_curves(GuiCurve& editor)
{
    FCurve red, green, blue;
    red.add_key(0.0, 0.0);
    red.add_key(0.35, 0.5);
    red.add_key(1.0, 1.0);
    green.add_key(0.0, 0.0, FCurveKey::TYPE_LINEAR);
    green.add_key(0.6, 0.55, FCurveKey::TYPE_SMOOTH_CLAMPED);
    green.add_key(1.0, 0.95);
    blue.add_key(0.0, 0.12);
    blue.add_key(0.5, 0.4);
    blue.add_key(1.0, 0.85);
    editor.set_curves(CoreArray<FCurve const*>({&red, &green, &blue}));
    editor.set_visible_bbox(-0.05, -0.05, 1.05, 1.05);
}

// A sunset ramp: night blue, orange, yellow, then a fading white.
void add_sunset_gradient(GuiGradient& editor)
{
    struct Stop {
        double position, r, g, b, a;
    };
    Stop const stops[] = {{0.0, 0.05, 0.08, 0.3, 1.0}, {0.4, 0.9, 0.35, 0.1, 1.0}, {0.7, 1.0, 0.85, 0.3, 1.0},
                          {1.0, 1.0, 1.0, 1.0, 0.2}};
    FCurve channels[4];
    for (Stop const& stop : stops) {
        double const values[4] = {stop.r, stop.g, stop.b, stop.a};
        for (int c = 0; c < 4; ++c) channels[c].add_key(stop.position, values[c], FCurveKey::TYPE_LINEAR);
    }
    editor.set_curves(CoreArray<FCurve const*>({&channels[0], &channels[1], &channels[2], &channels[3]}));
    editor.fit_zoom(true);
}

// An editor event to the status line and the trace: its name and how many keys it names.
void report_fcurve(GuiCurve& editor, CoreString const& name, DemoCurveEditor& page_editor)
{
    CoreString line = CoreString("fcurve ") + event_words(name, "EVT_ID_CURVE_");
    unsigned int const keys = editor.get_current_key_added().get_count() + editor.get_current_key_change().get_count() +
                              editor.get_current_key_removed().get_count() +
                              editor.get_current_key_type_changed().get_count();
    if (name == EVT_ID_CURVE_EXTRAPOLATION_CHANGED) {
        for (unsigned int const& value : editor.get_current_extrapolation_change()) line += CoreString(" ") + value;
    } else {
        line += CoreString(" ") + keys + " keys";
        if (!editor.get_current_key_added().is_empty()) line += " added";
        if (!editor.get_current_key_removed().is_empty()) line += " removed";
        if (!editor.get_current_curve_cloned().is_empty())
            line += CoreString(", ") + editor.get_current_curve_cloned().get_count() + " channels linked";
    }
    page_editor.report(line);
}

void report_gradient(GuiGradient& editor, CoreString const& name, DemoCurveEditor& page_editor)
{
    CoreString line = CoreString("gradient ") + event_words(name, "EVT_ID_GRADIENT_");
    if (name == EVT_ID_GRADIENT_KEY_ADDED)
        line += CoreString(" at ") + editor.get_keys_position(editor.get_current_key_added()[0]);
    else if (name == EVT_ID_GRADIENT_KEY_REMOVED)
        line += CoreString(" ") + editor.get_current_key_removed().get_count() + " keys";
    else if (name == EVT_ID_GRADIENT_KEY_POSITION_CHANGED && !editor.get_current_key_position_changed().is_empty())
        line += CoreString(" first to ") + editor.get_keys_position(editor.get_current_key_position_changed()[0]);
    line += CoreString(", ") + editor.get_key_count() + " keys";
    page_editor.report(line);
}

}  // namespace

namespace {

// Three curves over frames 0-100: a camera rising and settling, a light flickering on a
// straight-line pattern, a prop turning back and forth.
void add_sample_curves(DemoCurveEditor& editor)
{
    CurveData camera{"/cameras/main_camera.translate[1]", GMathVec3<unsigned char>(230, 90, 80), false,
                     {{0, 1.5}, {20, 4.0}, {45, 3.2}, {70, 6.0}, {100, 5.0}}};
    CurveData light{"/lights/key.intensity", GMathVec3<unsigned char>(240, 200, 70), true,
                    {{0, 2.0}, {15, 6.0}, {30, 3.0}, {55, 7.5}, {80, 4.0}, {100, 6.5}}};
    CurveData prop{"/geometry/props/block_0/prop_4.rotate[1]", GMathVec3<unsigned char>(90, 170, 240), false,
                   {{0, 0.0}, {25, 8.0}, {50, -2.0}, {75, 8.5}, {100, 1.0}}};
    for (CurveData const* data : {&camera, &light, &prop}) editor.add_data(*data);
}

}  // namespace

namespace {

// The function-curve editor (RGB) and the gradient editor (RGBA), side by side; their events
// go to the page's status line through the animation editor's report.
void build_colour_editors(GuiWidget& page, DemoCurveEditor& reporter, int x, int y, int w, int h)
{
    using W = GuiWidget;
    int const curve_w = w * 3 / 5;
    DemoPanel* curve_panel = new DemoPanel(page, "curves_fcurve_panel", "Tone curves (function curves per channel)", x,
                                           y, curve_w, h);
    curve_panel->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM);
    int const top = y + DemoPanel::TITLE_HEIGHT + 4;
    GuiCurve* curve = new TracedCurve(*curve_panel, x + 4, top, curve_w - 8, y + h - 4 - top, Gui::COLOR_DEPTH_RGB);
    curve->show();
    add_tone_curves(*curve);
    for (CoreString const* name :
         {&EVT_ID_CURVE_KEY_VALUE_CHANGED, &EVT_ID_CURVE_KEY_POSITION_CHANGED, &EVT_ID_CURVE_KEY_TYPE_CHANGED,
          &EVT_ID_CURVE_EXTRAPOLATION_CHANGED, &EVT_ID_CURVE_KEY_LINKED})
        EventObject::connect(*curve, *name, [curve, &reporter](EventObject::EventInfo const& info) {
            report_fcurve(*curve, info.get_name(), reporter);
        });

    int const gradient_x = x + curve_w + 8, gradient_w = w - curve_w - 8;
    DemoPanel* gradient_panel = new DemoPanel(page, "curves_gradient_panel", "Colour gradient (RGBA)", gradient_x, y,
                                              gradient_w, h);
    gradient_panel->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    GuiGradient* gradient = new TracedGradient(*gradient_panel, gradient_x + 4, top, gradient_w - 8, y + h - 4 - top,
                                               Gui::COLOR_DEPTH_RGBA);
    gradient->set_constraints(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    gradient->set_color_dialog_title("Gradient key colour");
    gradient->show();
    add_sunset_gradient(*gradient);
    for (CoreString const* name :
         {&EVT_ID_GRADIENT_KEY_ADDED, &EVT_ID_GRADIENT_KEY_REMOVED, &EVT_ID_GRADIENT_KEY_POSITION_CHANGED,
          &EVT_ID_GRADIENT_KEY_VALUE_CHANGED, &EVT_ID_GRADIENT_KEY_TYPE_CHANGED,
          &EVT_ID_GRADIENT_EXTRAPOLATION_CHANGED})
        EventObject::connect(*gradient, *name, [gradient, &reporter](EventObject::EventInfo const& info) {
            report_gradient(*gradient, info.get_name(), reporter);
        });
}

}  // namespace

GuiWidget* make_showcase_curves(GuiWidget& parent, int x, int y, int w, int h, GuiApp& app)
{
    DemoCurveEditor* editor = new DemoCurveEditor(parent, x, y, w, h, app.get_factory(), nullptr);
    add_sample_curves(*editor);
    editor->set_highlighted_range(0.0, 100.0);
    editor->fit(true);
    return editor;
}

void ShowcaseWindow::build_curves_page(GuiWidget& page, int x, int y, int w, int h)
{
    using W = GuiWidget;
    auto state = std::make_shared<CurvesPage>();
    m_page_state.push_back(state);
    state->scene = &m_app.get_factory();
    // The animation curves on top, the colour editors in a row under them.
    int constexpr editors_h = 300;
    int const panel_h = h - 32 - 8 - editors_h - 8;
    DemoPanel* panel = new DemoPanel(page, "curves_panel", "Animation curves of the sample scene", x, y, w, panel_h);
    panel->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    DemoText* status = new DemoText(page, "curves_status", x, y + h - 32, w, 32);
    status->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    status->set_text("Click a key or a curve (Shift adds, Ctrl toggles), drag over empty space to select keys, drag "
                     "keys to move them (Escape puts them back), drag the marker or the ruler to change the frame; "
                     "Alt+drag pans, the wheel zooms, F fits, arrows step between keys, Ctrl+A selects all.");
    int const top = y + DemoPanel::TITLE_HEIGHT;
    // The ruler along the bottom of the panel, the editor above it.
    GuiTimeline* timeline = new TracedTimeline(*panel, x + 1, 0, w - 2, true, true);
    int const ruler_h = timeline->get_height();
    int const bottom = y + panel_h - 1;
    timeline->resize(x + 1, bottom - ruler_h, w - 2, ruler_h);
    timeline->set_constraints(W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    DemoCurveEditor* editor = new DemoCurveEditor(*panel, x + 1, top, w - 2, bottom - ruler_h - top, m_app.get_factory(), status);
    editor->set_constraints(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    state->editor = editor;
    state->timeline = timeline;
    editor->set_timeline(timeline);
    editor->show();
    timeline->show();
    add_sample_curves(*editor);
    // The application's frame range, which the ruler follows.
    m_app.set_frame_range(0.0, 100.0);
    timeline->set_frame_range(0, 100);
    timeline->set_key_frames(editor->get_key_frames());
    double const frame = std::round(m_app.get_factory().get_time());
    timeline->set_current_frame(frame);
    editor->set_highlighted_range(0.0, 100.0);
    editor->set_highlighted_x_value(frame);
    editor->fit(true);
    build_colour_editors(page, *editor, x, y + panel_h + 8, w, editors_h);
    EventObject::connect(*timeline, EVT_ID_TIMELINE_SCRUB, &on_timeline, state.get());
    EventObject::connect(*timeline, EVT_ID_TIMELINE_NEW_TIME, &on_timeline, state.get());
}
