#pragma once
// GuiGlPickBuffer: an off-screen RGB target into which views draw every pickable item in its
// own flat colour; the pixel under the pointer names the item. A view may cover its whole
// area, or (cheaper) only a small square around the pointer with a projection of its own, so
// that everything else is culled before it is drawn. Made on first use in the current
// context, remade when the size changes, and dropped with release() (when the context goes).
//
//     if (buffer.begin(16, 16)) {           // bound, cleared to black, blending off
//         draw_items_in_pick_colours();     // through a projection centred on the pointer
//         GMathVec3<unsigned char> const colour = buffer.read(8, 8);
//         buffer.end();
//     }
#include "gui/core/gui_export.h"
#include "host/gmath/gmath_vec.h"

class QN_GUI_API GuiGlPickBuffer {
public:
    GuiGlPickBuffer() = default;
    ~GuiGlPickBuffer() = default;
    GuiGlPickBuffer(GuiGlPickBuffer const&) = delete;
    GuiGlPickBuffer& operator=(GuiGlPickBuffer const&) = delete;

    // Binds the buffer (made or remade for the size) and clears it to opaque black with
    // texturing, lighting, smoothing and blending off. False, with a warning, when the
    // buffer cannot be made: picking is skipped for that frame.
    bool begin(int const& width, int const& height);
    // The colour at (x, y), y counted upwards from the bottom; black outside the buffer.
    GMathVec3<unsigned char> read(int const& x, int const& y) const;
    // Binds the window's own buffer again and restores the state begin changed.
    void end();
    // Deletes the GL objects (the context must be current), or forgets them when it is gone.
    void release(bool const& context_alive = true);
    bool is_made() const { return m_frame_buffer != 0; }

private:
    unsigned int m_render_buffer = 0;
    unsigned int m_frame_buffer = 0;
    int m_width = 0;
    int m_height = 0;
};
