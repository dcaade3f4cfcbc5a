#include "gui/gl/gui_gl_hud_settings.h"

#include "host/app/app_preferences.h"
#include "host/core/core_log.h"

CoreString GuiGlHudSettings::Option::get_category_name() const
{
    return group.is_empty() ? CoreString("hud") : CoreString("hud>") + group;
}

bool GuiGlHudSettings::add(Option option)
{
    if (m_by_id.count(option.id) != 0) {
        CORE_LOG_WARNING("GuiGlHudSettings: option " << option.id << " ('" << option.name
                                                     << "') is declared already\n");
        return false;
    }
    m_by_id[option.id] = m_options.size();
    m_options.push_back(option);
    return true;
}

namespace {

// An option's identity; the caller fills in its type and value.
GuiGlHudSettings::Option make_option(int const& id, GuiGlHudSettings::Type const& type, CoreString const& name,
                                     CoreString const& group, CoreString const& doc)
{
    GuiGlHudSettings::Option option;
    option.id = id;
    option.type = type;
    option.name = name;
    option.group = group;
    option.doc = doc;
    return option;
}

}  // namespace

bool GuiGlHudSettings::add_bool(int const& id, CoreString const& name, CoreString const& group, bool const& value,
                                CoreString const& doc)
{
    Option option = make_option(id, TYPE_BOOL, name, group, doc);
    option.b = value;
    return add(option);
}

bool GuiGlHudSettings::add_double(int const& id, CoreString const& name, CoreString const& group,
                                  double const& value, CoreString const& doc)
{
    Option option = make_option(id, TYPE_DOUBLE, name, group, doc);
    option.d = value;
    return add(option);
}

bool GuiGlHudSettings::add_pair(int const& id, CoreString const& name, CoreString const& group,
                                GMathVec2<double> const& value, CoreString const& doc)
{
    Option option = make_option(id, TYPE_PAIR, name, group, doc);
    option.pair = value;
    return add(option);
}

bool GuiGlHudSettings::add_enum(int const& id, CoreString const& name, CoreString const& group,
                                CoreVector<CoreString> const& labels, int const& index, CoreString const& doc)
{
    Option option = make_option(id, TYPE_ENUM, name, group, doc);
    option.labels = labels;
    option.index = index >= 0 && index < static_cast<int>(labels.get_count()) ? index : 0;
    return add(option);
}

GuiGlHudSettings::Option const* GuiGlHudSettings::get_option(int const& id) const
{
    auto const found = m_by_id.find(id);
    return found == m_by_id.end() ? nullptr : &m_options[found->second];
}

GuiGlHudSettings::Option const* GuiGlHudSettings::find_option(CoreString const& name) const
{
    for (Option const& option : m_options)
        if (option.name == name) return &option;
    return nullptr;
}

GuiGlHudSettings::Option const* GuiGlHudSettings::find(int const& id, Type const& type, char const* operation) const
{
    Option const* option = get_option(id);
    if (!option || option->type != type) {
        CORE_LOG_WARNING("GuiGlHudSettings." << operation << ": no option " << id << " of that type\n");
        return nullptr;
    }
    return option;
}

GuiGlHudSettings::Option* GuiGlHudSettings::find(int const& id, Type const& type, char const* operation)
{
    return const_cast<Option*>(static_cast<GuiGlHudSettings const*>(this)->find(id, type, operation));
}

bool GuiGlHudSettings::get_bool(int const& id) const
{
    Option const* option = find(id, TYPE_BOOL, "get_bool");
    return option && option->b;
}

double GuiGlHudSettings::get_double(int const& id) const
{
    Option const* option = find(id, TYPE_DOUBLE, "get_double");
    return option ? option->d : 0.0;
}

GMathVec2<double> GuiGlHudSettings::get_pair(int const& id) const
{
    Option const* option = find(id, TYPE_PAIR, "get_pair");
    return option ? option->pair : GMathVec2<double>(0.0, 0.0);
}

int GuiGlHudSettings::get_enum(int const& id) const
{
    Option const* option = find(id, TYPE_ENUM, "get_enum");
    return option ? option->index : 0;
}

bool GuiGlHudSettings::set_bool(int const& id, bool const& value)
{
    Option* option = find(id, TYPE_BOOL, "set_bool");
    if (option) option->b = value;
    return option != nullptr;
}

bool GuiGlHudSettings::set_double(int const& id, double const& value)
{
    Option* option = find(id, TYPE_DOUBLE, "set_double");
    if (option) option->d = value;
    return option != nullptr;
}

bool GuiGlHudSettings::set_pair(int const& id, GMathVec2<double> const& value)
{
    Option* option = find(id, TYPE_PAIR, "set_pair");
    if (option) option->pair = value;
    return option != nullptr;
}

bool GuiGlHudSettings::set_enum(int const& id, int const& index)
{
    Option* option = find(id, TYPE_ENUM, "set_enum");
    if (!option) return false;
    if (index < 0 || index >= static_cast<int>(option->labels.get_count())) {
        CORE_LOG_WARNING("GuiGlHudSettings.set_enum: " << option->name << " has no value " << index << "\n");
        return false;
    }
    option->index = index;
    return true;
}

void GuiGlHudSettings::create_pref(AppPreferences& preferences) const
{
    for (Option const& option : m_options) {
        CoreString const category_name = option.get_category_name();
        AppCategoryPreferences& category = preferences.category_exists(category_name)
                                               ? *preferences.get_category(category_name)
                                               : preferences.add_category(category_name);
        if (category.item_exists(option.name)) continue;
        switch (option.type) {
        case TYPE_BOOL: category.add_bool(option.name, option.b, option.doc); break;
        case TYPE_DOUBLE:
            category.add_double(option.name, option.d, option.doc).set_range(0.0, 1.0).set_ui_range(0.0, 1.0);
            break;
        case TYPE_PAIR:
            category.add_vec2d(option.name, option.pair, option.doc)
                .set_range(0.0, 1.0)
                .set_ui_range(0.0, 1.0)
                .set_unit("percentage");
            break;
        case TYPE_ENUM: {
            AppItemPreferences& item = category.add_long(option.name, option.index, option.doc);
            for (unsigned int i = 0; i < option.labels.get_count(); ++i) {
                CoreString value;
                value += i;
                item.add_preset(option.labels[i], CoreVariant(value));
            }
            break;
        }
        }
    }
}

void GuiGlHudSettings::load_pref(AppPreferences const& preferences)
{
    for (Option& option : m_options) {
        CoreString const category_name = option.get_category_name();
        if (!preferences.category_exists(category_name)) continue;
        AppCategoryPreferences const& category = *preferences.get_category(category_name);
        if (!category.item_exists(option.name)) continue;
        AppItemPreferences const& item = *category.get_item(option.name);
        switch (option.type) {
        case TYPE_BOOL: option.b = item.get_bool_value(); break;
        case TYPE_DOUBLE: option.d = item.get_double_value(); break;
        case TYPE_PAIR: option.pair = item.get_vec2d_value(); break;
        case TYPE_ENUM: {
            long long const index = item.get_long_value();
            if (index >= 0 && index < static_cast<long long>(option.labels.get_count()))
                option.index = static_cast<int>(index);
            break;
        }
        }
    }
}

void GuiGlHudSettings::save_pref(AppPreferences& preferences) const
{
    for (Option const& option : m_options) {
        CoreString const category_name = option.get_category_name();
        if (!preferences.category_exists(category_name)) continue;
        AppCategoryPreferences& category = *preferences.get_category(category_name);
        if (!category.item_exists(option.name)) continue;
        switch (option.type) {
        case TYPE_BOOL: category.set_bool_value(option.name, option.b); break;
        case TYPE_DOUBLE: category.set_double_value(option.name, option.d); break;
        case TYPE_PAIR: category.set_vec2d_value(option.name, option.pair); break;
        case TYPE_ENUM: category.set_long_value(option.name, option.index); break;
        }
    }
}

bool GuiGlHudSettings::sync_hud_prefs(CoreString const& name, GMathVec2<double> const& value,
                                      AppPreferences& preferences)
{
    Option const* option = find_option(name);
    if (!option || option->type != TYPE_PAIR || option->group != "safe_frame") {
        CORE_LOG_WARNING("GuiGlHudSettings.sync_hud_prefs: '" << name << "' is not a safe-frame distance\n");
        return false;
    }
    set_pair(option->id, value);
    if (!preferences.category_exists("hud>safe_frame")) return true;
    AppCategoryPreferences& category = *preferences.get_category("hud>safe_frame");
    if (category.item_exists(name)) category.set_vec2d_value(name, value);
    return true;
}
