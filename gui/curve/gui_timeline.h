#pragma once
// GuiTimeline: the horizontal frame ruler. It shows a range of whole frames with major
// ticks (labelled in the application's time units) and minor ticks spaced to fit its width,
// marks the current frame and, when the application says so, the owner's key frames, and
// lets the user scrub the current frame with the mouse. It raises EVT_ID_TIMELINE_SCRUB
// while a press or a drag sets the frame and EVT_ID_TIMELINE_NEW_TIME when the button is
// released.
//
//     GuiTimeline* timeline = new GuiTimeline(*panel, 0, 0, 600, true, false);
//     timeline->set_frame_range(1, 240);
//     panel->connect(*timeline, EVT_ID_TIMELINE_NEW_TIME, &MyPanel::on_new_time);
//
// With labels shown, the start and end frames are written at the ruler's ends and the range
// follows the application's (EVT_ID_APPLICATION_FRAME_RANGE_CHANGED); a press on either end
// label goes to that end. Without labels the ruler spans the whole width and a press outside
// the widget goes on to the parent. set_geometry stretches and shifts the ruler, for an
// owner (a curve graph) that zooms and pans its frames.
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_vector.h"

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TIMELINE_SCRUB);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TIMELINE_NEW_TIME);

class QN_GUI_API GuiTimeline : public GuiWidget {
    CORE_DECLARE_CLASS(GuiTimeline, GuiWidget)

public:
    // Each drawing loop (ticks, labels, frame marks, key frames) stops after this many
    // items, whatever the range and scale.
    static constexpr unsigned int MAX_TICKS = 5000;
    // Colour of the key-frame marks.
    static constexpr unsigned char KEY_FRAME_COLOR[3] = {140, 170, 170};

    // The height follows the font. `frame_marks` adds a strip of alternating frame cells
    // under the ticks when frames are wide enough to tell apart.
    GuiTimeline(GuiWidget& parent, int const& x, int const& y, int const& w, bool const& show_labels,
                bool const& frame_marks);
    ~GuiTimeline() override;

    // --- range ---

    // Start = min(a, b), end = max(a, b); equal ends give end = start + 1. Recomputes the end
    // labels' widths, the increments, and redraws.
    void set_frame_range(int const& a, int const& b);
    int const& get_start_frame() const { return m_start_frame; }
    int const& get_end_frame() const { return m_end_frame; }

    // --- current frame ---

    // Rounded half away from zero to a whole frame unless tmp frame is set; no event. A frame
    // that is not a finite number is refused with a warning.
    void set_current_frame(double const& frame);
    double const& get_current_frame() const { return m_current_frame; }
    // While set, frames keep their fractions (from the mouse as from set_current_frame).
    void set_tmp_frame(bool const& tmp_frame) { m_tmp_frame = tmp_frame; }
    bool const& is_tmp_frame() const { return m_tmp_frame; }

    // --- geometry ---

    // The ruler spans width × scale pixels, shifted right by `offset`. A scale that is not a
    // finite number above 0, or an offset that is not finite, is refused with a warning.
    void set_geometry(double const& offset, double const& scale);
    void get_geometry(double& offset, double& scale) const;
    // Pixels per frame along the ruler; 1.0 when the ruler has no length.
    double get_frame_size() const;
    // The frame under window x (not limited to the range), rounded unless tmp frame is set;
    // the start frame when the ruler has no length.
    double compute_current_frame(int const& mouse_x) const;
    // Window x of a frame on the ruler.
    double get_frame_x(double const& frame) const;
    // Chooses the increments so that the labels of major ticks fit the ruler.
    void compute_increments();
    unsigned int const& get_minor_increment() const { return m_minor_increment; }
    unsigned int const& get_major_increment() const { return m_major_increment; }
    // Pixels kept for the end labels left and right of the ruler; 0 without labels.
    int const& get_left_label_width() const { return m_left_label_width; }
    int const& get_right_label_width() const { return m_right_label_width; }
    int const& get_text_height() const { return m_text_height; }

    // --- marks ---

    // Frames the owner wants marked as key frames (in frames, any order).
    CoreVector<double>& get_key_frames() { return m_key_frames; }
    void set_key_frames(CoreVector<double> const& frames);
    // Whether key frames are drawn: the application's setting, followed.
    bool const& is_display_key_frames() const { return m_display_key_frames; }
    void set_current_frame_hidden(bool const& hidden);
    bool const& is_current_frame_hidden() const { return m_current_frame_hidden; }
    bool const& is_show_labels() const { return m_show_labels; }
    bool const& is_frame_marks() const { return m_frame_marks; }
    // True while the timeline sets its own range: the application's echo is ignored then.
    bool const& is_change_issuer() const { return m_is_change_issuer; }

    // The frame text as the labels write it: the application's time units.
    static CoreString format_frame(double const& frame);

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;

private:
    // Handles a press, a drag or a release; returns what process_event returns.
    int on_mouse(CoreString const& name);
    double to_frame(double const& frame) const;
    // The ruler's length in pixels: width × scale less the end labels.
    double get_ruler_length() const;
    int64_t get_span() const { return static_cast<int64_t>(m_end_frame) - m_start_frame; }
    void on_frame_range_changed(EventObject& sender, EventInfo const& info, void* data);
    void on_unit_system_change(EventObject& sender, EventInfo const& info, void* data);
    void on_kf_display_changed(EventObject& sender, EventInfo const& info, void* data);

    bool m_tmp_frame = false;
    int m_start_frame = 0;
    int m_end_frame = 50;
    int m_left_label_width = 0;
    int m_right_label_width = 0;
    int m_text_height = 0;
    unsigned int m_minor_increment = 1;
    unsigned int m_major_increment = 1;
    double m_current_frame = 0.0;
    CoreVector<double> m_key_frames;
    bool m_display_key_frames = true;
    bool m_is_change_issuer = false;
    bool m_show_labels;
    double m_geometry_scale = 1.0;
    double m_geometry_offset = 0.0;
    bool m_current_frame_hidden = false;
    bool m_frame_marks;
};
