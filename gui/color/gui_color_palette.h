#pragma once
// GuiColorPalette: the 35 stored colours of the colour picker (5 per row, 7 rows), each as
// doubles with an 8-bit copy for drawing, and the selected slot. GuiColorPalettePreference
// keeps one palette with the user's preferences, so that every colour picker of the
// application shares it and it comes back in the next session.
//
//     GuiColorPalette& palette = GuiColorPalettePreference::get(app).get_palette();
//     palette.set_color(palette.get_selected(), GMathVec3<double>(1.0, 0.5, 0.0));
//
// Saved as a group of "color_<slot>" entries of three numbers and a "selected" entry;
// loading takes every entry it understands and leaves, with one warning each, the slots of
// damaged entries as they were.
#include "gui/core/gui_export.h"
#include "host/app/app_object.h"
#include "host/gmath/gmath_vec.h"

class ParserGroup;

class QN_GUI_API GuiColorPalette {
public:
    static constexpr int COLUMNS = 5;
    static constexpr int ROWS = 7;
    static constexpr int SLOT_COUNT = COLUMNS * ROWS;

    // The initial colours: reds, yellows, greens, cyans, blues, violets and magentas in
    // decreasing brightness, greys in the last column.
    GuiColorPalette();

    static bool is_slot(int const& slot) { return slot >= 0 && slot < SLOT_COUNT; }
    // Black for a slot out of range.
    GMathVec3<double> get_color(int const& slot) const;
    GMathVec3<unsigned char> get_color_bytes(int const& slot) const;
    // False (with a warning) for a slot out of range or components that are not finite.
    // Components outside 0..1 are kept; the 8-bit copy clamps them.
    bool set_color(int const& slot, GMathVec3<double> const& color);

    int const& get_selected() const { return m_selected; }
    // False (with a warning) for a slot out of range.
    bool set_selected(int const& slot);

    // Back to the initial colours and slot 0.
    void reset();

    void save(ParserGroup& group) const;
    // Reads what `save` writes; each damaged entry is reported once and skipped. False when
    // any entry was damaged.
    bool load(ParserGroup const& group);

    bool operator==(GuiColorPalette const& other) const;

private:
    GMathVec3<double> m_colors[SLOT_COUNT];
    GMathVec3<unsigned char> m_bytes[SLOT_COUNT];
    int m_selected = 0;
};

// The application's palette, registered on the application object under get_key() and
// written with its preferences file.
class QN_GUI_API GuiColorPalettePreference : public AppObjectClassPreference {
    CORE_DECLARE_CLASS(GuiColorPalettePreference, AppObjectClassPreference)

public:
    // "GuiColorPalette".
    static CoreString const& get_key();
    // The application's palette preference, registered on first use.
    static GuiColorPalettePreference& get(AppObject& app);

    GuiColorPalette& get_palette() { return m_palette; }
    GuiColorPalette const& get_palette() const { return m_palette; }

    void save(ParserGroup& group) const override { m_palette.save(group); }
    bool load(ParserGroup const& group) override { return m_palette.load(group); }
    void clear() override { m_palette.reset(); }
    size_t get_memory_size() const override { return sizeof(GuiColorPalettePreference); }

private:
    GuiColorPalette m_palette;
};
