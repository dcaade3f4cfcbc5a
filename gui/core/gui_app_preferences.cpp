#include "gui/core/gui_app_preferences.h"

#include <cctype>

#include "gui/core/gui_app.h"
#include "gui/core/gui_app_session.h"
#include "host/app/app_preferences.h"
#include "host/colorio/colorio.h"
#include "host/core/core_log.h"
#include "host/sys/sys_functions.h"

namespace {

char const* const BIN_DIR_VARIABLE = "$VELMORA_BIN_DIR";

CoreVector<CoreString> labels(std::initializer_list<char const*> texts)
{
    CoreVector<CoreString> out;
    for (char const* text : texts) out.add(text);
    return out;
}

// "SCHEME_DARK" gives "Dark".
CoreString scheme_preset_label(GuiColorScheme::Scheme const& scheme)
{
    std::string const name = GuiColorScheme::get_scheme_name(scheme).get_data();
    std::string label = name.size() > 7 ? name.substr(7) : name;
    bool start = true;
    for (char& c : label) {
        c = start ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                  : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        start = c == '_' || c == ' ';
    }
    return CoreString(label.c_str());
}

// "Default" (0), then the names the configuration offers.
CoreVector<CoreString> with_default(CoreVector<CoreString> const& names)
{
    CoreVector<CoreString> out;
    out.add("Default");
    for (CoreString const& name : names) out.add(name);
    return out;
}

// The name an enumeration of with_default stands for: empty for "Default".
CoreString chosen_name(AppItemPreferences const& item)
{
    long long const index = item.get_long_value();
    CoreVector<CoreString> const& names = item.get_enum_labels();
    if (index <= 0 || index >= static_cast<long long>(names.get_count())) return CoreString();
    return names[static_cast<unsigned int>(index)];
}

// The colour-picking colour space takes the indices of its labels only.
bool validate_enum_index(AppItemPreferences const& item, AppItemPreferences::Value& value, void*)
{
    return value.l >= 0 && value.l < static_cast<long long>(item.get_enum_labels().get_count());
}

}  // namespace

CoreString GuiAppPreferences::expand_bin_dir(CoreString const& path)
{
    std::string text = path.get_data();
    size_t const at = text.find(BIN_DIR_VARIABLE);
    if (at != std::string::npos)
        text.replace(at, std::char_traits<char>::length(BIN_DIR_VARIABLE), sys_get_resources_dir().get_data());
    return CoreString(text.c_str());
}

CoreString GuiAppPreferences::get_default_colortag_config_file_path()
{
    return CoreString(BIN_DIR_VARIABLE) + "/color_tags.cfg";
}

CoreString GuiAppPreferences::get_default_brush_preset_file_path()
{
    return CoreString(BIN_DIR_VARIABLE) + "/brush_presets.cfg";
}

int GuiAppPreferences::get_input_device_type() const
{
    switch (m_app.get_input_device_mode()) {
    case AppBase::INPUT_DEVICE_MODE_MOUSE: return Gui::DEVICE_MOUSE;
    case AppBase::INPUT_DEVICE_MODE_TABLET:
        return Gui::get_device_type() != Gui::DEVICE_MOUSE ? Gui::get_device_type() : Gui::DEVICE_STYLUS;
    default: return Gui::get_device_type();
    }
}

void GuiAppPreferences::populate()
{
    AppPreferences& preferences = m_app.get_preferences();
    if (!preferences.category_exists("general")) CORE_LOG_WARNING("GuiAppPreferences.populate: general category is not created\n");

    AppCategoryPreferences& ui = preferences.add_category("user_interface");
    AppItemPreferences& scheme = ui.add_long("color_scheme", 0).set_hidden(true);
    for (int s = 0; s < GuiColorScheme::SCHEME_COUNT; ++s)
        scheme.add_preset(scheme_preset_label(static_cast<GuiColorScheme::Scheme>(s)), CoreVariant(s));
    AppItemPreferences& font_size = ui.add_double("font_size", 1.0).set_read_only(true);
    struct Preset {
        char const* label;
        double value;
    } const font_presets[] = {{" 50%", 0.5}, {" 75%", 0.75}, {"100%", 1.0}, {"125%", 1.25},
                              {"150%", 1.5}, {"175%", 1.75}, {"200%", 2.0}};
    for (Preset const& preset : font_presets) font_size.add_preset(preset.label, CoreVariant(preset.value));

    AppItemPreferences& curve_size = ui.add_long("curve_size", m_app.get_curve_size_mode());
    for (int m = 0; m < AppBase::CURVE_SIZE_MODE_COUNT; ++m)
        curve_size.add_preset(AppBase::get_curve_size_mode_label(static_cast<AppBase::CurveSizeMode>(m)),
                              CoreVariant(m));
    ui.add_double("gizmo_size", m_app.get_gizmo_size())
        .set_unit("percentage")
        .set_range(AppBase::GIZMO_SIZE_MIN, AppBase::GIZMO_SIZE_MAX)
        .set_ui_range(AppBase::GIZMO_SIZE_MIN, AppBase::GIZMO_SIZE_MAX);
    AppItemPreferences& file_browser = ui.add_long("file_browser", m_app.get_file_browser_mode());
    for (int m = 0; m < AppBase::FILE_BROWSER_MODE_COUNT; ++m)
        file_browser.add_preset(AppBase::get_file_browser_mode_label(static_cast<AppBase::FileBrowserMode>(m)),
                                CoreVariant(m));
    AppItemPreferences& input_device = ui.add_long("input_device_mode", 0);
    for (int m = 0; m < AppBase::INPUT_DEVICE_MODE_COUNT; ++m)
        input_device.add_preset(AppBase::get_input_device_mode_label(static_cast<AppBase::InputDeviceMode>(m)),
                                CoreVariant(m));
    AppItemPreferences& tablet = ui.add_long(
        "windows_tablet_api", 0,
        "Specifies which API to use for tablet input on Windows.\n- Wintab: Wacom's API.\n- Windows Ink: "
        "Windows native tablet API.\nChanging the active API requires a restart of the application.");
    for (int a = 0; a < 2; ++a)
        tablet.add_preset(Gui::get_windows_tablet_api_name(static_cast<Gui::WindowsTabletApi>(a)), CoreVariant(a));
    AppItemPreferences& object_color = ui.add_long("object_ui_color", m_app.get_object_color_mode());
    for (int m = 0; m < AppBase::OBJECT_COLOR_MODE_COUNT; ++m)
        object_color.add_preset(AppBase::get_object_color_mode_label(static_cast<AppBase::ObjectColorMode>(m)),
                                CoreVariant(m));
    ui.add_filename("color_tags_file", get_default_colortag_config_file_path(), labels({"cfg"}),
                    "Path to the color tags definition file.");
    ui.add_filename("tags_list_file", CoreString(BIN_DIR_VARIABLE) + "/config/tag_list_preset.cfg", labels({"cfg"}),
                    "Path to the tags list definition file.")
        .set_hidden(true);
    ui.add_bool("hide_shadowed_items", false,
                "Specifies whether to show shadowed items (either deleted in an enabled Build Package Layer or "
                "created in a disabled Build Package Layer)");
    ui.add_long("max_menu_items_count", 25,
                "Once this number of items is reached in a menu, it will create submenus if possible (used in "
                "creation menu).")
        .set_range(0, 500)
        .set_ui_range(0, 100);
    ui.add_bool("log_error_window_popup", true,
                "The Log Warning/Error pops up automatically when an error is raised.");
    ui.add_long("delete_confirmation_message", 1,
                "Specifies in which case user confirmation is required before deleting items. If set to None, no "
                "confirmation requested. If set to Sources, user is prompted for each source of instances.")
        .add_preset("None", CoreVariant(0))
        .add_preset("Sources", CoreVariant(1));
    ui.add_long("input_unit_mode", 0,
                "When editing a measurable value, either consider input as expressed in current (previous) unit or "
                "in default unit.\n1km => 5 => 5m (Use Default Unit)\n1km => 5 => 5km (Keep Current Unit)")
        .add_preset("Use Default Unit", CoreVariant(0))
        .add_preset("Keep Current Unit", CoreVariant(1));
    ui.add_filename("brush_presets_file", get_default_brush_preset_file_path(), labels({"cfg"}),
                    "Path to the Tool Brush presets file.");
    ui.add_long("sub_menu_show_delay", 250).set_unit("millisecond").set_hidden(true).set_range(10, 2000).set_ui_range(
        10, 2000);

    AppCategoryPreferences& color = preferences.add_category("color_management");
    color
        .add_enum("default_view_transform", with_default(ColorIO::get_view_transform_names()), 0,
                  "Default view transform used for displaying image data in the UI (Image View, 3D View, Texture "
                  "View, etc.).")
        .set_enum_type("view_transform");
    color
        .add_enum("color_picker_color_space", with_default(ColorIO::get_color_space_names()), 0,
                  "Color space for the color picker. When using the default value, Velmora will use the color "
                  "space associated to the OCIO role \"color_picking\" if defined. Otherwise, the built-in linear "
                  "color space will be used.")
        .set_enum_type("color_picking")
        .set_validator(&validate_enum_index);

    AppCategoryPreferences& scripting = preferences.add_category("scripting");
    scripting.add_bool("highlight_words_on_cursor", true).set_hidden(true);

    AppCategoryPreferences& layout = preferences.add_category("layout");
    layout.add_long("default_TRS_space", 0, "Default space for Translate/Rotate/Scale Tools on session startup.")
        .add_preset("Default", CoreVariant(0))
        .add_preset("Manipulator", CoreVariant(1));
    layout.add_long("default_transform_space", 2, "Default space for Transform Tool on session startup.")
        .add_preset("Object", CoreVariant(0))
        .add_preset("Manipulator", CoreVariant(1));
    layout.add_bool("link_tools_spaces", false,
                    "Share space between Translate/Rotate/Scale Tools and the Transform one during the session.");
    layout.add_bool("link_pivots", true, "When using Rotate/Scale tools in Pivot mode, move both pivots altogether.");
    layout.add_double("translate_snap_increment", 1.0, "Default snap increment for Translation handles.");
    layout.add_double("rotate_snap_increment", 15.0, "Default snap increment for Rotation handles.");
    layout.add_double("scale_snap_increment", 0.5, "Default snap increment for Scaling handles.");
    layout.add_long("snap_distance", 10, "Distance in screen space for vertex snapping.").set_unit("pixel");
    layout.add_long("snap_default_plane", 1, "Snap plane when no surface is hit.")
        .add_preset("YZ", CoreVariant(0))
        .add_preset("XZ", CoreVariant(1))
        .add_preset("YX", CoreVariant(2));

    for (char const* name : {"user_interface", "color_management", "scripting", "layout"})
        preferences.get_category(name)->connect_attrs_change(&GuiApp::gui_app_prefs_attribute_change, &m_app);
}

bool GuiAppPreferences::apply_change(AppItemPreferences& item)
{
    CoreString const& key = item.get_key();
    if (item.get_category().get_name() == "color_management") {
        if (key == "default_view_transform") return m_app.set_default_view_transform(chosen_name(item));
        if (key == "color_picker_color_space") return m_app.set_color_picker_color_space(chosen_name(item));
        return false;
    }
    if (item.get_category().get_name() != "user_interface") return false;
    if (key == "curve_size") {
        m_app.set_curve_size_mode(static_cast<AppBase::CurveSizeMode>(item.get_long_value()));
    } else if (key == "gizmo_size") {
        m_app.set_gizmo_size(item.get_double_value());
    } else if (key == "file_browser") {
        m_app.set_file_browser_mode(static_cast<AppBase::FileBrowserMode>(item.get_long_value()));
    } else if (key == "input_device_mode") {
        m_app.set_input_device_mode(static_cast<AppBase::InputDeviceMode>(item.get_long_value()));
    } else if (key == "object_ui_color") {
        m_app.set_object_color_mode(static_cast<AppBase::ObjectColorMode>(item.get_long_value()));
    } else if (key == "windows_tablet_api") {
        m_session.set_windows_tablet_api(static_cast<Gui::WindowsTabletApi>(item.get_long_value()));
    } else if (key == "color_tags_file") {
        m_app.load_colortag_config_file(expand_bin_dir(item.get_string_value()));
    } else if (key == "font_size") {
        m_session.set_font_size_factor(static_cast<float>(item.get_double_value()));
    } else if (key == "sub_menu_show_delay") {
        m_session.set_sub_menu_show_delay(static_cast<int>(item.get_long_value()));
    } else if (key == "color_scheme") {
        long long const scheme = item.get_long_value();
        if (scheme >= 0 && scheme < GuiColorScheme::SCHEME_COUNT)
            m_app.set_color_scheme(GuiColorScheme::get_scheme(static_cast<GuiColorScheme::Scheme>(scheme)));
    } else {
        return false;
    }
    return true;
}

void GuiAppPreferences::apply_loaded()
{
    AppPreferences& preferences = m_app.get_preferences();
    if (!preferences.category_exists("user_interface")) {
        CORE_LOG_WARNING("GuiAppPreferences.apply_loaded: user_interface category is not created\n");
        return;
    }
    AppCategoryPreferences& ui = *preferences.get_category("user_interface");
    m_app.load_colortag_config_file(expand_bin_dir(ui.get_string_value("color_tags_file")));
    // The modes follow what was read.
    m_app.set_curve_size_mode(static_cast<AppBase::CurveSizeMode>(ui.get_long_value("curve_size")));
    m_app.set_file_browser_mode(static_cast<AppBase::FileBrowserMode>(ui.get_long_value("file_browser")));
    m_app.set_input_device_mode(static_cast<AppBase::InputDeviceMode>(ui.get_long_value("input_device_mode")));
    m_app.set_object_color_mode(static_cast<AppBase::ObjectColorMode>(ui.get_long_value("object_ui_color")));
    m_session.set_sub_menu_show_delay(static_cast<int>(ui.get_long_value("sub_menu_show_delay")));
    if (AppItemPreferences* view = preferences.get_item("color_management", "default_view_transform"))
        m_app.set_default_view_transform(chosen_name(*view));
    if (AppItemPreferences* space = preferences.get_item("color_management", "color_picker_color_space"))
        m_app.set_color_picker_color_space(chosen_name(*space));
}
