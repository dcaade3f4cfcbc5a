#pragma once
// GuiGlHudSettings: the options of the head-up display that OpenGL views draw over their
// picture (safe frames, composition guides), kept in declaration order and by id, and
// mirrored in the application's preferences: one item per option in the category "hud",
// or "hud>" + the option's group ("hud>safe_frame", "hud>overlay").
//
//     GuiGlHudSettings settings;
//     GuiGlWidget::add_overlay_options(settings);
//     settings.create_pref(app.get_preferences());
//     settings.load_pref(app.get_preferences());
//     if (settings.get_bool(GuiGlHudSettings::ID_SHOW_OVERLAY)) ...
#include <map>
#include <vector>

#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/gmath/gmath_vec.h"

class AppPreferences;

class QN_GUI_API GuiGlHudSettings {
public:
    enum Type : int { TYPE_BOOL = 1, TYPE_DOUBLE = 2, TYPE_PAIR = 3, TYPE_ENUM = 4 };

    // The options views declare (GuiGlWidget::add_overlay_options).
    enum Id : int {
        ID_SHOW_OVERLAY = 1,
        ID_OVERLAY = 2,
        ID_MIRROR_X = 3,
        ID_MIRROR_Y = 4,
        ID_SHOW_SAFE_FRAME = 5,
        ID_CAPTION = 6,
        ID_LIVE_AREA = 7,
        ID_ACTION = 8,
        ID_ACTION_DISTANCE = 9,
        ID_TITLE = 10,
        ID_TITLE_DISTANCE = 11,
        ID_USER = 12,
        ID_USER_DISTANCE = 13,
    };

    struct Option {
        int id = 0;
        Type type = TYPE_BOOL;
        bool b = false;
        double d = 0.0;
        GMathVec2<double> pair = GMathVec2<double>(0.0, 0.0);
        int index = 0;
        CoreVector<CoreString> labels;  // of an enumeration
        CoreString name;
        CoreString group;  // empty for none
        CoreString doc;
        // "hud", or "hud>" + group.
        CoreString get_category_name() const;
    };

    // Declarations; an id declared again is refused with a warning.
    bool add_bool(int const& id, CoreString const& name, CoreString const& group, bool const& value,
                  CoreString const& doc);
    bool add_double(int const& id, CoreString const& name, CoreString const& group, double const& value,
                    CoreString const& doc);
    bool add_pair(int const& id, CoreString const& name, CoreString const& group, GMathVec2<double> const& value,
                  CoreString const& doc);
    bool add_enum(int const& id, CoreString const& name, CoreString const& group,
                  CoreVector<CoreString> const& labels, int const& index, CoreString const& doc);

    unsigned int get_option_count() const { return static_cast<unsigned int>(m_options.size()); }
    Option const& get_option_at(unsigned int const& position) const { return m_options[position]; }
    // Null for an unknown id or name.
    Option const* get_option(int const& id) const;
    Option const* find_option(CoreString const& name) const;

    // Values by id; an unknown id or another type logs a warning and gives zero (setters
    // then change nothing). An enumeration index past the labels is refused.
    bool get_bool(int const& id) const;
    double get_double(int const& id) const;
    GMathVec2<double> get_pair(int const& id) const;
    int get_enum(int const& id) const;
    bool set_bool(int const& id, bool const& value);
    bool set_double(int const& id, double const& value);
    bool set_pair(int const& id, GMathVec2<double> const& value);
    bool set_enum(int const& id, int const& index);

    // Declares one preference item per option (bool, double, pair of doubles, or an integer
    // with one preset per label); doubles and pairs range over 0..1, pairs shown as a
    // percentage. Items declared already are kept.
    void create_pref(AppPreferences& preferences) const;
    // Copies the values from the preferences (items that do not exist are skipped), or into them.
    void load_pref(AppPreferences const& preferences);
    void save_pref(AppPreferences& preferences) const;
    // A distance edited elsewhere (a view's own attribute) becomes the preference of the
    // option of that name in "hud>safe_frame"; false for a name that is not a distance.
    bool sync_hud_prefs(CoreString const& name, GMathVec2<double> const& value, AppPreferences& preferences);

private:
    Option* find(int const& id, Type const& type, char const* operation);
    Option const* find(int const& id, Type const& type, char const* operation) const;
    bool add(Option option);

    std::vector<Option> m_options;
    std::map<int, size_t> m_by_id;
};
