#include "gui/color/gui_color_palette.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gui/color/gui_color_value.h"
#include "host/core/core_log.h"
#include "host/parser/parser_group.h"

CORE_IMPLEMENT_CLASS(GuiColorPalettePreference, AppObjectClassPreference)

namespace {

// Row by row: four shades of one hue, then a grey.
double const initial_colors[GuiColorPalette::SLOT_COUNT][3] = {
    {1.0, 0.0, 0.0},  {0.65, 0.09, 0.09}, {0.44, 0.12, 0.12}, {0.3, 0.11, 0.11},  {1.0, 1.0, 1.0},
    {1.0, 0.85, 0.0}, {0.66, 0.57, 0.09}, {0.44, 0.39, 0.12}, {0.3, 0.27, 0.11},  {0.8, 0.8, 0.8},
    {0.3, 1.0, 0.0},  {0.26, 0.66, 0.09}, {0.22, 0.44, 0.12}, {0.17, 0.3, 0.11},  {0.64, 0.64, 0.64},
    {0.0, 1.0, 0.56}, {0.09, 0.66, 0.4},  {0.12, 0.44, 0.29}, {0.11, 0.3, 0.21},  {0.48, 0.48, 0.48},
    {0.0, 0.6, 1.0},  {0.09, 0.43, 0.66}, {0.12, 0.31, 0.44}, {0.12, 0.22, 0.3},  {0.32, 0.32, 0.32},
    {0.25, 0.0, 1.0}, {0.24, 0.09, 0.66}, {0.2, 0.12, 0.44},  {0.16, 0.12, 0.3},  {0.16, 0.16, 0.16},
    {1.0, 0.0, 0.9},  {0.66, 0.09, 0.6},  {0.44, 0.12, 0.4},  {0.3, 0.12, 0.28},  {0.0, 0.0, 0.0},
};

char const* const COLOR_PREFIX = "color_";
char const* const SELECTED = "selected";

// The slot a "color_<n>" name stands for; -1 for any other name.
int slot_of(CoreString const& name)
{
    size_t const prefix = std::strlen(COLOR_PREFIX);
    if (name.get_length() <= prefix || std::strncmp(name.get_data(), COLOR_PREFIX, prefix) != 0) return -1;
    char const* digits = name.get_data() + prefix;
    char* end = nullptr;
    long const slot = std::strtol(digits, &end, 10);
    if (*end != '\0' || end == digits || !GuiColorPalette::is_slot(static_cast<int>(slot))) return -1;
    return static_cast<int>(slot);
}

}  // namespace

GuiColorPalette::GuiColorPalette()
{
    reset();
}

void GuiColorPalette::reset()
{
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        m_colors[slot] = GMathVec3<double>(initial_colors[slot][0], initial_colors[slot][1], initial_colors[slot][2]);
        m_bytes[slot] = GuiColorValue::to_bytes(m_colors[slot]);
    }
    m_selected = 0;
}

GMathVec3<double> GuiColorPalette::get_color(int const& slot) const
{
    return is_slot(slot) ? m_colors[slot] : GMathVec3<double>(0.0, 0.0, 0.0);
}

GMathVec3<unsigned char> GuiColorPalette::get_color_bytes(int const& slot) const
{
    return is_slot(slot) ? m_bytes[slot] : GMathVec3<unsigned char>(0, 0, 0);
}

bool GuiColorPalette::set_color(int const& slot, GMathVec3<double> const& color)
{
    if (!is_slot(slot)) {
        CORE_LOG_WARNING("GuiColorPalette.set_color: slot " << slot << " is not between 0 and " << SLOT_COUNT - 1
                                                             << "\n");
        return false;
    }
    double const components[3] = {color[0], color[1], color[2]};
    if (!GuiColorValue::check_finite(components, 3, "GuiColorPalette.set_color")) return false;
    m_colors[slot] = color;
    m_bytes[slot] = GuiColorValue::to_bytes(color);
    return true;
}

bool GuiColorPalette::set_selected(int const& slot)
{
    if (!is_slot(slot)) {
        CORE_LOG_WARNING("GuiColorPalette.set_selected: slot " << slot << " is not between 0 and "
                                                                << SLOT_COUNT - 1 << "\n");
        return false;
    }
    m_selected = slot;
    return true;
}

void GuiColorPalette::save(ParserGroup& group) const
{
    group.clear();
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        ParserEntry& entry = group.add_entry(CoreString(COLOR_PREFIX) + slot);
        for (int c = 0; c < 3; ++c) entry.add_double(m_colors[slot][c]);
    }
    group.add_entry(SELECTED).add_int(m_selected);
}

bool GuiColorPalette::load(ParserGroup const& group)
{
    bool intact = true;
    for (unsigned int i = 0; i < group.get_entry_count(); ++i) {
        ParserEntry const& entry = *group.get_entry(i);
        CoreString const& name = entry.get_name();
        if (name == SELECTED) {
            if (entry.get_value_count() == 1 && entry.is_value_int(0) && is_slot(static_cast<int>(entry.get_int(0)))) {
                m_selected = static_cast<int>(entry.get_int(0));
                continue;
            }
            CORE_LOG_WARNING("GuiColorPalette.load: entry 'selected' is not a slot between 0 and "
                             << SLOT_COUNT - 1 << "; the selection is kept\n");
            intact = false;
            continue;
        }
        int const slot = slot_of(name);
        if (slot < 0) {
            CORE_LOG_WARNING("GuiColorPalette.load: unknown entry '" << name << "' skipped\n");
            intact = false;
            continue;
        }
        bool numbers = entry.get_value_count() == 3;
        for (unsigned int c = 0; numbers && c < 3; ++c)
            numbers = entry.is_value_number(c) && std::isfinite(entry.get_double(c));
        if (!numbers) {
            CORE_LOG_WARNING("GuiColorPalette.load: entry '" << name
                                                             << "' is not three finite numbers; the slot is kept\n");
            intact = false;
            continue;
        }
        m_colors[slot] = GMathVec3<double>(entry.get_double(0), entry.get_double(1), entry.get_double(2));
        m_bytes[slot] = GuiColorValue::to_bytes(m_colors[slot]);
    }
    return intact;
}

bool GuiColorPalette::operator==(GuiColorPalette const& other) const
{
    if (m_selected != other.m_selected) return false;
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        if (m_colors[slot] != other.m_colors[slot]) return false;
    return true;
}

CoreString const& GuiColorPalettePreference::get_key()
{
    static CoreString const key("GuiColorPalette");
    return key;
}

GuiColorPalettePreference& GuiColorPalettePreference::get(AppObject& app)
{
    auto* preference = dynamic_cast<GuiColorPalettePreference*>(app.get_class_preference(get_key()));
    if (!preference) {
        preference = new GuiColorPalettePreference();
        app.set_class_preference(get_key(), preference);
    }
    return *preference;
}
