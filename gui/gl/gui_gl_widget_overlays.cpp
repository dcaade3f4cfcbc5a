// The head-up display of OpenGL views: safe frames and composition guides, their options
// and the view settings that keep them.
#include <GL/glew.h>

#include <cmath>

#include "gui/gl/gui_gl_hud_settings.h"
#include "gui/gl/gui_gl_widget.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "host/parser/parser_group.h"

namespace {

constexpr double GOLDEN_SECTION = 0.38196601125010515;  // 1 − 1/φ
constexpr double PHI = 1.618033988749895;
constexpr double INVERSE_PHI = 0.6180339887498948;
constexpr int ARC_SEGMENTS = 16;

CoreString const DISTANCE_DOC(
    "Horizontal & vertical distances to Live Area in percentage, shared between 3D View and Image View.");

// Saves the state the overlays change and sets a projection of the view's pixels, y up.
class OverlayState {
public:
    OverlayState(int const& width, int const& height)
    {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glLineWidth(1.0f);
    }
    ~OverlayState()
    {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glPopAttrib();
    }
    OverlayState(OverlayState const&) = delete;
    OverlayState& operator=(OverlayState const&) = delete;
};

// Horizontal and vertical lines go through pixel centres, so that each covers one row or
// column of pixels.
double snap(double const& value, int const& size)
{
    double const centre = std::floor(value) + 0.5;
    return std::min(std::max(centre, 0.5), size - 0.5);
}

void line(double x0, double y0, double x1, double y1)
{
    glVertex2d(x0, y0);
    glVertex2d(x1, y1);
}

void vertical(double const& x, int const& w, int const& h)
{
    double const at = snap(x, w);
    line(at, 0.0, at, h);
}

void horizontal(double const& y, int const& w, int const& h)
{
    double const at = snap(y, h);
    line(0.0, at, w, at);
}

// The golden spiral in a golden rectangle of height 1 (width φ): each quarter circle is
// inscribed in the square cut off the rectangle that remains, turning a quarter each time,
// with a radius 1/φ of the one before, until it is a pixel or less.
void golden_spiral(int const& w, int const& h, bool const& mirror_x, bool const& mirror_y)
{
    double const sx = w / PHI;  // stretched to the view's aspect
    double const sy = h;
    auto const vertex = [&](double x, double y) {
        double vx = x * sx;
        double vy = y * sy;
        if (mirror_x) vx = w - vx;
        if (mirror_y) vy = h - vy;
        glVertex2d(vx, vy);
    };
    double x = 0.0, y = 0.0, rw = PHI, rh = 1.0;
    double radius = 1.0;
    for (int step = 0; radius * h > 1.0 && step < 64; ++step) {
        double cx = 0.0, cy = 0.0, start = 0.0;
        switch (step % 4) {
        case 0:  // square on the left, the arc about its lower right corner
            radius = rh;
            cx = x + radius, cy = y, start = 90.0;
            x += radius, rw -= radius;
            break;
        case 1:  // on the top, about its lower left corner
            radius = rw;
            cx = x, cy = y + rh - radius, start = 0.0;
            rh -= radius;
            break;
        case 2:  // on the right, about its upper left corner
            radius = rh;
            cx = x + rw - radius, cy = y + radius, start = 270.0;
            rw -= radius;
            break;
        default:  // at the bottom, about its upper right corner
            radius = rw;
            cx = x + radius, cy = y + radius, start = 180.0;
            y += radius, rh -= radius;
            break;
        }
        glBegin(GL_LINE_STRIP);
        for (int i = 0; i <= ARC_SEGMENTS; ++i) {
            double const angle = (start + 90.0 * i / ARC_SEGMENTS) * M_PI / 180.0;
            vertex(cx + radius * std::cos(angle), cy + radius * std::sin(angle));
        }
        glEnd();
        radius *= INVERSE_PHI;
    }
}

}  // namespace

char const* GuiGlWidget::get_composition_guide_name(CompositionGuide const& guide)
{
    switch (guide) {
    case COMPOSITION_GUIDE_NONE: return "COMPOSITION_GUIDE_NONE";
    case COMPOSITION_GUIDE_RULE_OF_THIRDS: return "COMPOSITION_GUIDE_RULE_OF_THIRDS";
    case COMPOSITION_GUIDE_GOLDEN_RATIO: return "COMPOSITION_GUIDE_GOLDEN_RATIO";
    case COMPOSITION_GUIDE_GOLDEN_SPIRAL: return "COMPOSITION_GUIDE_GOLDEN_SPIRAL";
    case COMPOSITION_GUIDE_GOLDEN_TRIANGLES: return "COMPOSITION_GUIDE_GOLDEN_TRIANGLES";
    case COMPOSITION_GUIDE_DIAGONALS: return "COMPOSITION_GUIDE_DIAGONALS";
    default: return "COMPOSITION_GUIDE_UNKNOWN";
    }
}

void GuiGlWidget::add_overlay_options(GuiGlHudSettings& settings)
{
    using Hud = GuiGlHudSettings;
    CoreString const safe_frame("safe_frame");
    GMathVec2<double> const tenth(0.1, 0.1);
    settings.add_bool(Hud::ID_SHOW_SAFE_FRAME, "show_safe_frame", "", true,
                      "Display safe frame with respect to resolution.");
    settings.add_bool(Hud::ID_CAPTION, "caption", safe_frame, true, "Display safe frame caption.");
    settings.add_bool(Hud::ID_LIVE_AREA, "live_area", safe_frame, true, "Display live area frame");
    settings.add_bool(Hud::ID_ACTION, "action", safe_frame, false, "Display action frame.");
    settings.add_pair(Hud::ID_ACTION_DISTANCE, "action_distance", safe_frame, tenth, DISTANCE_DOC);
    settings.add_bool(Hud::ID_TITLE, "title", safe_frame, false, "Display title frame.");
    settings.add_pair(Hud::ID_TITLE_DISTANCE, "title_distance", safe_frame, tenth, DISTANCE_DOC);
    settings.add_bool(Hud::ID_USER, "user", safe_frame, false, "Display user frame.");
    settings.add_pair(Hud::ID_USER_DISTANCE, "user_distance", safe_frame, tenth, DISTANCE_DOC);
    settings.add_bool(Hud::ID_SHOW_OVERLAY, "show_overlay", "", true, "Display Composition Guide Overlay.");
    settings.add_enum(Hud::ID_OVERLAY, "overlay", "overlay",
                      {"None", "Rule of Thirds", "Golden Ratio", "Golden Spiral", "Golden Triangles", "Diagonals"}, 0,
                      "Composition Guide Shape");
    settings.add_bool(Hud::ID_MIRROR_X, "mirror_x", "overlay", false,
                      "Left-right mirror (available for Golden Spiral and Golden Triangles).");
    settings.add_bool(Hud::ID_MIRROR_Y, "mirror_y", "overlay", false,
                      "Up-down mirror (available for Golden Spiral and Golden Triangles).");
}

void GuiGlWidget::overlay_draw_composition_guide(GuiGlWidgetDc&, int const& width, int const& height,
                                                 bool const& flip)
{
    GuiGlHudSettings const& hud = *m_hud_settings;
    auto const guide = static_cast<CompositionGuide>(hud.get_enum(GuiGlHudSettings::ID_OVERLAY));
    if (!hud.get_bool(GuiGlHudSettings::ID_SHOW_OVERLAY) || guide == COMPOSITION_GUIDE_NONE || width < 1 ||
        height < 1)
        return;
    bool const mirror_x = hud.get_bool(GuiGlHudSettings::ID_MIRROR_X);
    bool const mirror_y = hud.get_bool(GuiGlHudSettings::ID_MIRROR_Y) != flip;
    double const w = width;
    double const h = height;
    OverlayState state(width, height);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (guide == COMPOSITION_GUIDE_GOLDEN_SPIRAL) {
        golden_spiral(width, height, mirror_x, mirror_y);
        return;
    }
    glBegin(GL_LINES);
    switch (guide) {
    case COMPOSITION_GUIDE_RULE_OF_THIRDS:
        horizontal(h / 3.0, width, height);
        horizontal(2.0 * h / 3.0, width, height);
        vertical(w / 3.0, width, height);
        vertical(2.0 * w / 3.0, width, height);
        break;
    case COMPOSITION_GUIDE_GOLDEN_RATIO:
        horizontal(h * GOLDEN_SECTION, width, height);
        horizontal(h * GOLDEN_SECTION * PHI, width, height);
        vertical(w * GOLDEN_SECTION, width, height);
        vertical(w * GOLDEN_SECTION * PHI, width, height);
        break;
    case COMPOSITION_GUIDE_GOLDEN_TRIANGLES: {
        double const k = h * h / (w * w + h * h);
        // Flipped left to right when exactly one mirror is on.
        auto const fx = [&](double x) { return mirror_x != mirror_y ? w - x : x; };
        line(fx(0.0), 0.0, fx(w), h);
        line(fx(0.0), h, fx(w * k), h * k);
        line(fx(w), 0.0, fx(w - w * k), h - h * k);
        break;
    }
    case COMPOSITION_GUIDE_DIAGONALS:
        line(0.0, 0.0, h, h);
        line(0.0, h, h, 0.0);
        line(w, 0.0, w - h, h);
        line(w, h, w - h, 0.0);
        break;
    default: break;
    }
    glEnd();
}

void GuiGlWidget::overlay_draw_safe_frame(GuiGlWidgetDc& dc, int const& width, int const& height)
{
    GuiGlHudSettings const& hud = *m_hud_settings;
    if (!hud.get_bool(GuiGlHudSettings::ID_SHOW_SAFE_FRAME) || width < 1 || height < 1) return;
    struct Frame {
        int on;
        int distance;  // 0 for the live area
        char const* caption;
        float r, g, b;
    };
    Frame const frames[] = {
        {GuiGlHudSettings::ID_LIVE_AREA, 0, "Live Area", 1.0f, 1.0f, 0.0f},
        {GuiGlHudSettings::ID_ACTION, GuiGlHudSettings::ID_ACTION_DISTANCE, "Action", 0.0f, 1.0f, 1.0f},
        {GuiGlHudSettings::ID_TITLE, GuiGlHudSettings::ID_TITLE_DISTANCE, "Title", 1.0f, 1.0f, 1.0f},
        {GuiGlHudSettings::ID_USER, GuiGlHudSettings::ID_USER_DISTANCE, "User", 1.0f, 0.0f, 1.0f},
    };
    bool const captions = hud.get_bool(GuiGlHudSettings::ID_CAPTION);
    for (Frame const& frame : frames) {
        if (!hud.get_bool(frame.on)) continue;
        GMathVec2<double> const d = frame.distance ? hud.get_pair(frame.distance) : GMathVec2<double>(0.0, 0.0);
        // (dx, dy, 1 − 2dx, 1 − 2dy) of the view, its edges on pixel centres.
        double const x0 = snap(d[0] * width, width);
        double const y0 = snap(d[1] * height, height);
        double const x1 = std::max(x0, snap((1.0 - d[0]) * width - 1.0, width));
        double const y1 = std::max(y0, snap((1.0 - d[1]) * height - 1.0, height));
        {
            OverlayState state(width, height);
            glColor4f(frame.r, frame.g, frame.b, 1.0f);
            glBegin(GL_LINE_LOOP);
            glVertex2d(x0, y0);
            glVertex2d(x1, y0);
            glVertex2d(x1, y1);
            glVertex2d(x0, y1);
            glEnd();
            // A frame collapsed to a line or a point has no edges to rasterise: its corners
            // still show it.
            glBegin(GL_POINTS);
            glVertex2d(x0, y0);
            glVertex2d(x1, y0);
            glVertex2d(x1, y1);
            glVertex2d(x0, y1);
            glEnd();
        }
        if (captions && x1 - x0 > 20.0) {
            // Inside the frame's top-left corner (view coordinates run downwards).
            auto const channel = [](float value) { return static_cast<unsigned char>(value * 255.0f); };
            dc.draw_text(frame.caption, static_cast<int>(x0) + 4, height - static_cast<int>(y1) + 14,
                         channel(frame.r), channel(frame.g), channel(frame.b));
        }
    }
}

void GuiGlWidget::load_settings(ParserGroup const& group)
{
    GuiWidget::load_settings(group);
    ParserGroup const* hud = group.get_group("head_up_display");
    ParserEntry const* show = hud ? hud->get_entry("show_overlay") : nullptr;
    if (show && show->get_value_count() == 1 && show->is_value_bool(0))
        m_hud_settings->set_bool(GuiGlHudSettings::ID_SHOW_OVERLAY, show->get_bool(0));
}

void GuiGlWidget::save_settings(ParserGroup& group)
{
    GuiWidget::save_settings(group);
    group.add_group("head_up_display")
        .add_entry("show_overlay")
        .add_bool(m_hud_settings->get_bool(GuiGlHudSettings::ID_SHOW_OVERLAY));
}
