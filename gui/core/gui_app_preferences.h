#pragma once
// GuiAppPreferences: the interface's preference categories ("user_interface",
// "color_management", "scripting" and "layout") declared after the host's, what a change
// of one of their keys does at once, what the loaded preferences set, and the paths of the
// configuration files they name.
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"

class AppItemPreferences;
class GuiApp;
class GuiAppSession;

class QN_GUI_API GuiAppPreferences {
public:
    // The session takes the values that have no other home (font scale, tablet API, delay).
    GuiAppPreferences(GuiApp& app, GuiAppSession& session) : m_app(app), m_session(session) {}
    GuiAppPreferences(GuiAppPreferences const&) = delete;
    GuiAppPreferences& operator=(GuiAppPreferences const&) = delete;

    // Declares the categories (the host's must exist) and connects their change callback,
    // GuiApp::gui_app_prefs_attribute_change.
    void populate();
    // Applies a changed key; true for the keys it handled.
    bool apply_change(AppItemPreferences& item);
    // Applies the loaded preferences: reads the colour-tag file and takes the modes.
    void apply_loaded();
    // The device the interface assumes, by the host's input device mode (a Gui::DeviceId).
    int get_input_device_type() const;

    // "$VELMORA_BIN_DIR/color_tags.cfg" and "$VELMORA_BIN_DIR/brush_presets.cfg".
    static CoreString get_default_colortag_config_file_path();
    static CoreString get_default_brush_preset_file_path();
    // The path with "$VELMORA_BIN_DIR" replaced by the folder of the default configuration
    // files (the variable's value, or the installed resources).
    static CoreString expand_bin_dir(CoreString const& path);

private:
    GuiApp& m_app;
    GuiAppSession& m_session;
};
