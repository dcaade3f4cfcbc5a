#pragma once
// Application preferences: named categories of typed items, each with a default, a current
// value, an optional range, presets, documentation and display hints, kept in a settings
// file between sessions.
//
//     AppCategoryPreferences& ui = preferences.add_category("user_interface");
//     ui.add_long("max_menu_items_count", 25, "Once this number of items is reached ...")
//         .set_range(0, 500)
//         .set_ui_range(0, 100);
//     ui.connect_attrs_change(&on_ui_change, this);
//     preferences.load();                                     // the default file
//     long long count = preferences.get_long_value("user_interface", "max_menu_items_count");
//
// Values are read and written through typed calls; each accepts the kinds that hold its
// type (set_long_value: long and enumeration items; set_string_value: string and file name
// items; set_vec3d_value: vec3d and colour items). A wrong kind, an unknown category or key,
// a read-only item or a value the item refuses logs one warning and changes nothing.
// Numbers outside an item's range are clamped to it (with an information message): a
// value typed a little too far still lands on the nearest valid one. Enumeration indices
// are not clamped: an index past the labels names no label, so it is refused.
//
// When a value really changes, the category's change callbacks run (in connection order),
// then EVT_ID_APPLICATION_PREFERENCES_CHANGED is raised on the AppPreferences with the item
// as event data. Setting the current value again notifies nobody.
//
// The preferences are used from the application thread; they are not locked.
#include <initializer_list>

#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_hash_table.h"
#include "host/core/core_string.h"
#include "host/core/core_variant.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"
#include "host/event/event_object.h"
#include "host/gmath/gmath_vec.h"
#include "host/parser/parser_group.h"

class AppCategoryPreferences;
class AppPreferences;

// Raised on the AppPreferences after an item's value changed; the event data is the
// AppItemPreferences*.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_PREFERENCES_CHANGED);
// Raised on the AppPreferences at the end of every load, whatever its outcome; no event data.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_PREFERENCES_LOADED);

// One typed preference: its key, kind, default and current value, and how it is shown.
class QN_HOST_API AppItemPreferences : public CoreBaseObject {
    CORE_DECLARE_CLASS(AppItemPreferences, CoreBaseObject)

public:
    enum Kind : int {
        KIND_BOOL,
        KIND_LONG,
        KIND_DOUBLE,
        KIND_STRING,
        KIND_FILENAME,  // a string naming a file, with the extensions a file dialog offers
        KIND_COLOR,     // an RGB colour, components in 0..1
        KIND_VEC2D,
        KIND_VEC3D,
        KIND_ENUM,      // an index into the item's labels
        KIND_COUNT
    };
    // The constant's name ("KIND_BOOL"), or "KIND_UNKNOWN".
    static char const* get_kind_name(Kind const& kind);

    // A value of any kind; the member matching the item's kind is the one that counts
    // (`l` for long and enumeration items, `s` for strings and file names, `v3` for vec3d
    // and colours).
    struct Value {
        bool b = false;
        long long l = 0;
        double d = 0.0;
        CoreString s;
        GMathVec2<double> v2;
        GMathVec3<double> v3;
    };

    struct Preset {
        CoreString label;
        Value value;
    };

    // Checks a value about to be set; may adjust it, returns false to refuse it.
    using Validator = bool (*)(AppItemPreferences const& item, Value& value, void* data);

    AppItemPreferences(AppItemPreferences const&) = delete;
    AppItemPreferences& operator=(AppItemPreferences const&) = delete;

    AppCategoryPreferences& get_category() const { return *m_category; }
    CoreString const& get_key() const { return m_key; }
    // "category.key", as messages name the item.
    CoreString get_full_name() const;
    Kind const& get_kind() const { return m_kind; }

    // --- values ---

    Value const& get_value() const { return m_value; }
    // The value as text ("true", "25", "\"path\"", "(1 0 0)", an enumeration's label...).
    CoreString get_value_text() const { return format(m_value); }
    Value const& get_default_value() const { return m_default; }
    // True when the current value equals the default.
    bool is_default() const;

    // Typed access; see the top of the file for the kinds each accepts. A getter called on
    // another kind logs a warning and returns a zero value.
    bool get_bool_value() const;
    long long get_long_value() const;
    double get_double_value() const;
    CoreString const& get_string_value() const;
    GMathVec2<double> const& get_vec2d_value() const;
    GMathVec3<double> const& get_vec3d_value() const;
    // Setters return true when the value was accepted (possibly clamped, possibly equal to
    // the current one) and false when it was refused.
    bool set_bool_value(bool const& value);
    bool set_long_value(long long const& value);
    bool set_double_value(double const& value);
    bool set_string_value(CoreBasicString const& value);
    bool set_vec2d_value(GMathVec2<double> const& value);
    bool set_vec3d_value(GMathVec3<double> const& value);
    // Sets the value of a preset (false, with a warning, for an index out of range).
    bool apply_preset(unsigned int const& index);
    // Restores the default, read-only or not; notifies when that changed the value.
    void reset_to_default();

    // --- declaration (each returns the item so that calls chain) ---

    // The hard range: values set are clamped to it. For long, double, vec2d, vec3d and
    // colour items (per component for vectors; colours start with 0..1). Ignored with a
    // warning on other kinds or when min > max; the default and the current value are
    // clamped into a new range.
    AppItemPreferences& set_range(double const& min, double const& max);
    bool const& has_range() const { return m_has_range; }
    double const& get_range_min() const { return m_range_min; }
    double const& get_range_max() const { return m_range_max; }
    // The range a slider or number field offers; values outside it may still be typed.
    AppItemPreferences& set_ui_range(double const& min, double const& max);
    bool const& has_ui_range() const { return m_has_ui_range; }
    double const& get_ui_range_min() const { return m_ui_range_min; }
    double const& get_ui_range_max() const { return m_ui_range_max; }

    // Presets: named values offered in a menu. The value is converted to the item's kind
    // ("1" makes the preset 1 of a long item); vector items take the vector overloads.
    AppItemPreferences& add_preset(CoreBasicString const& label, CoreVariant const& value);
    AppItemPreferences& add_preset(CoreBasicString const& label, GMathVec2<double> const& value);
    AppItemPreferences& add_preset(CoreBasicString const& label, GMathVec3<double> const& value);
    void clear_presets() { m_presets.clear(); }
    bool has_preset() const { return !m_presets.is_empty(); }
    unsigned int get_preset_count() const { return m_presets.get_count(); }
    // The label of preset `index`; empty when out of range.
    CoreString const& get_preset_label(unsigned int const& index) const;
    // The preset whose value equals the current one; -1 when none does.
    int get_current_preset() const;
    CoreVector<Preset> const& get_presets() const { return m_presets; }

    AppItemPreferences& set_doc(CoreBasicString const& doc) { m_doc = doc; return *this; }
    CoreString const& get_doc() const { return m_doc; }
    // The text shown for the item; the key as a title ("font_size" -> "Font Size") until set.
    AppItemPreferences& set_label(CoreBasicString const& label) { m_label = label; return *this; }
    CoreString const& get_label() const { return m_label; }
    // Items with the same group name are shown together under it.
    AppItemPreferences& set_group_name(CoreBasicString const& name) { m_group_name = name; return *this; }
    CoreString const& get_group_name() const { return m_group_name; }
    // The unit a number is shown in ("percentage", "pixel"); empty for none.
    AppItemPreferences& set_unit(CoreBasicString const& unit) { m_unit = unit; return *this; }
    CoreString const& get_unit() const { return m_unit; }
    // Hidden items are not shown in the preference editor but are kept and saved as usual.
    AppItemPreferences& set_hidden(bool const& hidden) { m_hidden = hidden; return *this; }
    bool const& is_hidden() const { return m_hidden; }
    // Read-only items refuse the setters (and values from a file) until the flag is cleared.
    AppItemPreferences& set_read_only(bool const& read_only) { m_read_only = read_only; return *this; }
    bool const& is_read_only() const { return m_read_only; }

    // Enumeration items: the labels their indices name, and the name of the enumeration
    // they come from ("view_transform"). With labels, indices past them are refused; an
    // item without labels (filled later) takes any index.
    AppItemPreferences& set_enum_labels(CoreVector<CoreString> const& labels);
    CoreVector<CoreString> const& get_enum_labels() const { return m_enum_labels; }
    // The label of the current index; empty when there is none.
    CoreString const& get_enum_label() const;
    AppItemPreferences& set_enum_type(CoreBasicString const& type) { m_enum_type = type; return *this; }
    CoreString const& get_enum_type() const { return m_enum_type; }

    // File name items: the extensions offered (without dots) and whether the file is one
    // to save rather than to open.
    AppItemPreferences& set_filename_extensions(CoreVector<CoreString> const& extensions);
    CoreVector<CoreString> const& get_filename_extensions() const { return m_extensions; }
    AppItemPreferences& set_file_to_save(bool const& save) { m_file_to_save = save; return *this; }
    bool const& is_file_to_save() const { return m_file_to_save; }

    // Called before every value is set (the default is not checked); null removes it.
    AppItemPreferences& set_validator(Validator validator, void* data = nullptr);

    size_t get_memory_size() const override;

private:
    friend class AppCategoryPreferences;
    friend class AppPreferences;

    AppItemPreferences(AppCategoryPreferences& category, CoreBasicString const& key, Kind const& kind);

    // Whether a typed call meant for `wanted` kinds may use this item; warns when not.
    bool check_kind(char const* member, std::initializer_list<Kind> wanted) const;
    // Checks, clamps and stores `value`; notifies when it changed and `notify` is set.
    // `source` (a file name) prefixes the messages when given.
    bool assign(Value value, char const* member, CoreBasicString const* source = nullptr, bool notify = true);
    // Clamps `value` into the range; true when it had to.
    bool clamp(Value& value) const;
    bool equals(Value const& a, Value const& b) const;
    // The value as text, for messages.
    CoreString format(Value const& value) const;

    AppCategoryPreferences* m_category;
    CoreString m_key;
    Kind m_kind;
    Value m_default;
    Value m_value;
    bool m_has_range = false;
    bool m_has_ui_range = false;
    double m_range_min = 0.0;
    double m_range_max = 0.0;
    double m_ui_range_min = 0.0;
    double m_ui_range_max = 0.0;
    CoreVector<Preset> m_presets;
    CoreString m_doc;
    CoreString m_label;
    CoreString m_group_name;
    CoreString m_unit;
    CoreVector<CoreString> m_enum_labels;
    CoreString m_enum_type;
    CoreVector<CoreString> m_extensions;
    Validator m_validator = nullptr;
    void* m_validator_data = nullptr;
    bool m_hidden = false;
    bool m_read_only = false;
    bool m_file_to_save = false;
};

// A named category of preference items ("user_interface", "hud>safe_frame"), in
// declaration order, with the callbacks told about their changes.
class QN_HOST_API AppCategoryPreferences : public CoreBaseObject {
    CORE_DECLARE_CLASS(AppCategoryPreferences, CoreBaseObject)

public:
    // Told about a changed item, after the change; returns true when it handled the key.
    using AttrsChangeCallback = bool (*)(AppCategoryPreferences& category, AppItemPreferences& item,
                                         void* data);

    ~AppCategoryPreferences() override;
    AppCategoryPreferences(AppCategoryPreferences const&) = delete;
    AppCategoryPreferences& operator=(AppCategoryPreferences const&) = delete;

    AppPreferences& get_preferences() const { return *m_preferences; }
    CoreString const& get_name() const { return m_name; }
    // The text shown for the category; the name as a title until set.
    CoreString const& get_label() const { return m_label; }
    void set_label(CoreBasicString const& label) { m_label = label; }

    // --- declaring items ---

    // Declares an item of `kind` with a zero default (false, 0, "", (0, 0, 0)). Declaring a
    // key again returns the item already declared, unchanged (with a warning when the kind
    // differs). A value for the key read from a file before it was declared is applied now.
    AppItemPreferences& add_item(CoreBasicString const& key, AppItemPreferences::Kind const& kind);
    AppItemPreferences& add_bool(CoreBasicString const& key, bool const& value,
                                 CoreBasicString const& doc = CoreBasicString());
    AppItemPreferences& add_long(CoreBasicString const& key, long long const& value,
                                 CoreBasicString const& doc = CoreBasicString());
    AppItemPreferences& add_double(CoreBasicString const& key, double const& value,
                                   CoreBasicString const& doc = CoreBasicString());
    AppItemPreferences& add_string(CoreBasicString const& key, CoreBasicString const& value,
                                   CoreBasicString const& doc = CoreBasicString());
    AppItemPreferences& add_filename(CoreBasicString const& key, CoreBasicString const& value,
                                     CoreVector<CoreString> const& extensions = {},
                                     CoreBasicString const& doc = CoreBasicString());
    // Components are clamped to 0..1.
    AppItemPreferences& add_color(CoreBasicString const& key, GMathVec3<double> const& value,
                                  CoreBasicString const& doc = CoreBasicString());
    AppItemPreferences& add_vec2d(CoreBasicString const& key, GMathVec2<double> const& value,
                                  CoreBasicString const& doc = CoreBasicString());
    AppItemPreferences& add_vec3d(CoreBasicString const& key, GMathVec3<double> const& value,
                                  CoreBasicString const& doc = CoreBasicString());
    // An index past the labels is replaced by 0, with a warning.
    AppItemPreferences& add_enum(CoreBasicString const& key, CoreVector<CoreString> const& labels,
                                 long long const& value, CoreBasicString const& doc = CoreBasicString());

    bool item_exists(CoreBasicString const& key) const;
    // The item of `key`; null, with a warning, when there is none (test with item_exists
    // to stay quiet).
    AppItemPreferences* get_item(CoreBasicString const& key) const;
    unsigned int get_item_count() const { return m_items.get_count(); }
    // Items in declaration order; null when out of range.
    AppItemPreferences* get_item(unsigned int const& index) const;

    // --- values by key (see AppItemPreferences; unknown keys warn and give zero) ---

    bool get_bool_value(CoreBasicString const& key) const;
    long long get_long_value(CoreBasicString const& key) const;
    double get_double_value(CoreBasicString const& key) const;
    CoreString const& get_string_value(CoreBasicString const& key) const;
    GMathVec2<double> const& get_vec2d_value(CoreBasicString const& key) const;
    GMathVec3<double> const& get_vec3d_value(CoreBasicString const& key) const;
    bool set_bool_value(CoreBasicString const& key, bool const& value);
    bool set_long_value(CoreBasicString const& key, long long const& value);
    bool set_double_value(CoreBasicString const& key, double const& value);
    bool set_string_value(CoreBasicString const& key, CoreBasicString const& value);
    bool set_vec2d_value(CoreBasicString const& key, GMathVec2<double> const& value);
    bool set_vec3d_value(CoreBasicString const& key, GMathVec3<double> const& value);
    // False, with a warning, for an unknown key.
    bool reset_value(CoreBasicString const& key);
    void reset_all_values();

    // --- change callbacks ---

    // Calls `callback` with `data` after every real change of an item of this category.
    // False, with a warning, when the same callback and data are already connected.
    bool connect_attrs_change(AttrsChangeCallback callback, void* data = nullptr);
    // False when the callback was not connected with that data. Safe from inside a callback.
    bool disconnect_attrs_change(AttrsChangeCallback callback, void* data = nullptr);
    unsigned int get_attrs_change_connection_count() const { return m_callbacks.get_count(); }

    size_t get_memory_size() const override;

private:
    friend class AppItemPreferences;
    friend class AppPreferences;

    struct Connection {
        AttrsChangeCallback callback;
        void* data;
        bool operator==(Connection const& other) const
        {
            return callback == other.callback && data == other.data;
        }
    };

    AppCategoryPreferences(AppPreferences& preferences, CoreBasicString const& name);

    // Declares an item (or returns the one already declared under `key`): the labels and
    // extensions are set before the default is checked and a kept file value applied.
    AppItemPreferences& declare(CoreBasicString const& key, AppItemPreferences::Kind const& kind,
                                AppItemPreferences::Value const& value, CoreBasicString const& doc,
                                char const* member, CoreVector<CoreString> const* labels = nullptr,
                                CoreVector<CoreString> const* extensions = nullptr);
    // The item of `key`, or null with a warning naming `member`.
    AppItemPreferences* find_item(CoreBasicString const& key, char const* member) const;
    // Runs the callbacks, then raises the change event on the preferences.
    void notify_change(AppItemPreferences& item);

    AppPreferences* m_preferences;
    CoreString m_name;
    CoreString m_label;
    CoreVector<AppItemPreferences*> m_items;  // owned
    CoreHashTableDense<CoreString, unsigned int> m_item_indices;
    CoreVector<Connection> m_callbacks;
};

// Every preference category of the application, and the file they are kept in.
//
// The file holds one group per category with one entry per item whose value differs from
// its default; items left at their default are not written, so that a default changed
// in a later version reaches the users who never touched it. Entries the file holds for
// categories or keys not declared (yet) are kept: applied when they are declared and
// written back by save, so the settings of a module that is not loaded survive a session.
class QN_HOST_API AppPreferences : public EventObject {
    CORE_DECLARE_CLASS(AppPreferences, EventObject)

public:
    AppPreferences();
    ~AppPreferences() override;

    // The file used when none is given: the preferences folder + "/preferences.cfg".
    static CoreString get_default_path();

    // --- categories ---

    // Declares a category, or returns the one already declared (its label then changes
    // only when a non-empty one is given).
    AppCategoryPreferences& add_category(CoreBasicString const& name,
                                         CoreBasicString const& label = CoreBasicString());
    bool category_exists(CoreBasicString const& name) const;
    // The category `name`; null, with a warning, when there is none (test with
    // category_exists to stay quiet).
    AppCategoryPreferences* get_category(CoreBasicString const& name) const;
    unsigned int get_category_count() const { return m_categories.get_count(); }
    // Categories in declaration order; null when out of range.
    AppCategoryPreferences* get_category(unsigned int const& index) const;

    bool item_exists(CoreBasicString const& category, CoreBasicString const& key) const;
    // Null, with a warning, when the category or the key is unknown.
    AppItemPreferences* get_item(CoreBasicString const& category, CoreBasicString const& key) const;

    // --- values by category and key (see AppItemPreferences) ---

    bool get_bool_value(CoreBasicString const& category, CoreBasicString const& key) const;
    long long get_long_value(CoreBasicString const& category, CoreBasicString const& key) const;
    double get_double_value(CoreBasicString const& category, CoreBasicString const& key) const;
    CoreString const& get_string_value(CoreBasicString const& category, CoreBasicString const& key) const;
    GMathVec2<double> const& get_vec2d_value(CoreBasicString const& category,
                                             CoreBasicString const& key) const;
    GMathVec3<double> const& get_vec3d_value(CoreBasicString const& category,
                                             CoreBasicString const& key) const;
    bool set_bool_value(CoreBasicString const& category, CoreBasicString const& key, bool const& value);
    bool set_long_value(CoreBasicString const& category, CoreBasicString const& key, long long const& value);
    bool set_double_value(CoreBasicString const& category, CoreBasicString const& key, double const& value);
    bool set_string_value(CoreBasicString const& category, CoreBasicString const& key,
                          CoreBasicString const& value);
    bool set_vec2d_value(CoreBasicString const& category, CoreBasicString const& key,
                         GMathVec2<double> const& value);
    bool set_vec3d_value(CoreBasicString const& category, CoreBasicString const& key,
                         GMathVec3<double> const& value);
    bool reset_value(CoreBasicString const& category, CoreBasicString const& key);
    void reset_all_values();

    // --- the settings file ---

    // Writes the values that differ from their defaults, and the entries kept for
    // undeclared items, to `path` (the default path when empty), creating its folder.
    // The file is replaced whole or not at all. False, with an error, on failure.
    bool save(CoreBasicString const& path = CoreBasicString()) const;
    // Reads `path` (the default path when empty) and makes the values those of the file.
    // An item the file holds takes that value through the same checks as the setters; an
    // item it does not hold returns to its default, since save leaves defaults out (unless
    // the file held syntax errors: the broken entries may have been its own, so it keeps
    // its value). Values that change notify as any change does; values that stay the same
    // notify nobody. An entry of the wrong type, for a read-only item or with a refused
    // value gives one warning naming the file and the item and keeps the current value.
    // Unknown categories and keys give one information message each and are kept (see the
    // class comment), replacing those kept from an earlier load. A missing file is not an
    // error: every item returns to its default (information message). A file that cannot
    // be read, a folder, or a file with entries but no category group (one cut short)
    // changes nothing and returns false. EVT_ID_APPLICATION_PREFERENCES_LOADED is
    // raised at the end in every case. True when every entry of the file was applied or
    // kept.
    bool load(CoreBasicString const& path = CoreBasicString());
    // The file last saved or loaded; empty before.
    CoreString const& get_path() const { return m_path; }
    // A group of the file that belongs to no category: what others keep in the settings
    // file beside the preferences (an editor class's bookmarks). Read after load; set before
    // save, replacing the group of that name (an empty group removes it).
    ParserGroup const* get_kept_group(CoreBasicString const& name) const;
    void set_kept_group(CoreBasicString const& name, ParserGroup const& group);

    size_t get_memory_size() const override;

private:
    friend class AppCategoryPreferences;

    // The category `name`, or null with a warning naming `member`.
    AppCategoryPreferences* find_category(CoreBasicString const& name, char const* member) const;
    // The item of `category` and `key`, or null with a warning naming `member`.
    AppItemPreferences* find_item(CoreBasicString const& category, CoreBasicString const& key,
                                  char const* member) const;
    // Sets `item` from a file entry; false (with a warning) when the entry does not fit.
    bool apply_entry(AppItemPreferences& item, ParserEntry const& entry, CoreBasicString const& source,
                     bool notify);
    // The kept entry for `category` / `key`, applied to the newly declared `item`.
    void apply_kept_entry(AppItemPreferences& item);

    CoreVector<AppCategoryPreferences*> m_categories;  // owned
    CoreHashTableDense<CoreString, unsigned int> m_category_indices;
    // Entries of undeclared categories and keys: one group per category name.
    ParserGroup m_kept;
    CoreString m_kept_path;  // the file they came from, for messages
    mutable CoreString m_path;
};
