#pragma once
// GuiAppSession: plain settings and records of the running session that the interface
// reads: the text clipboard, recent script files, view colours, the log widget's line
// limit, font scale, overscan opacity, the tablet API and the sub-menu delay.
#include <cstddef>

#include "gui/core/gui.h"
#include "gui/core/gui_export.h"
#include "host/core/core_most_recent_sorted_set.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class QN_GUI_API GuiAppSession {
public:
    CoreString const& get_clipboard() const { return m_clipboard; }
    void set_clipboard(CoreString const& text) { m_clipboard = text; }

    void add_recent_script_file(CoreString const& path) { m_recent_script_files.add(path); }
    CoreMostRecentSortedSet<CoreString> const& get_recent_script_files() const { return m_recent_script_files; }
    void clear_recent_script_files() { m_recent_script_files.clear(); }

    // Colours of views and swatches, components in 0..1.
    GMathVec3<double> const& get_background_color() const { return m_background_color; }
    void set_background_color(GMathVec3<double> const& color) { m_background_color = color; }
    GMathVec3<double> const& get_foreground_color() const { return m_foreground_color; }
    void set_foreground_color(GMathVec3<double> const& color) { m_foreground_color = color; }

    unsigned int const& get_max_log_widget_lines_number() const { return m_max_log_widget_lines; }
    void set_max_log_widget_lines_number(unsigned int const& count) { m_max_log_widget_lines = count; }
    float const& get_font_size_factor() const { return m_font_size_factor; }
    void set_font_size_factor(float const& factor) { m_font_size_factor = factor; }
    float const& get_image_view_overscan_opacity() const { return m_image_view_overscan_opacity; }
    void set_image_view_overscan_opacity(float const& opacity) { m_image_view_overscan_opacity = opacity; }
    Gui::WindowsTabletApi const& get_windows_tablet_api() const { return m_windows_tablet_api; }
    void set_windows_tablet_api(Gui::WindowsTabletApi const& api) { m_windows_tablet_api = api; }
    // Milliseconds.
    int const& get_sub_menu_show_delay() const { return m_sub_menu_show_delay; }
    void set_sub_menu_show_delay(int const& delay) { m_sub_menu_show_delay = delay; }

    // Memory held outside the object: the texts it keeps.
    size_t get_memory_size() const;

private:
    CoreString m_clipboard;
    CoreMostRecentSortedSet<CoreString> m_recent_script_files;
    GMathVec3<double> m_background_color = GMathVec3<double>(0.0, 0.0, 0.0);
    GMathVec3<double> m_foreground_color = GMathVec3<double>(1.0, 1.0, 1.0);
    unsigned int m_max_log_widget_lines = 200;
    float m_font_size_factor = 1.0f;
    float m_image_view_overscan_opacity = 0.5f;
    Gui::WindowsTabletApi m_windows_tablet_api = static_cast<Gui::WindowsTabletApi>(2);
    int m_sub_menu_show_delay = 250;
};
