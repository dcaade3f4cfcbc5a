#include "gui/explorer/gui_explorer.h"

#include <algorithm>

#include "gui/core/gui_action.h"
#include "gui/core/gui_app.h"
#include "host/app/app_builtin_commands.h"
#include "host/app/app_selection.h"
#include "host/app/sdk_helpers.h"
#include "host/core/core_log.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_event.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "host/parser/parser_group.h"

CORE_IMPLEMENT_CLASS(GuiExplorer, GuiOfItemSpreadsheet)
CORE_IMPLEMENT_CLASS(GuiExplorerPreference, AppObjectClassPreference)

CoreString const& GuiExplorerPreference::get_key()
{
    static CoreString const key("GuiExplorer");
    return key;
}

namespace {

struct ExplorerAction {
    char const* name;
    char const* shortcut;
    char const* tooltip;
};
ExplorerAction const explorer_actions[] = {
    {"Image", "ctrl+shift+i", "Create an image in the working context"},
    {"Locator", "ctrl+shift+l", "Create a locator in the working context"},
    {"Group", "ctrl+shift+g", "Create a group in the working context"},
    {"Hide", "ctrl+h", "Hide the selected items"},
    {"Show", "shift+h", "Show the selected items"},
    {"Delete Selection", "del", "Delete the selected items"},
    {"Permanently Delete Selection", "shift+del", "Delete the selected items without the trash"},
};

void on_explorer_action(GuiWidget& widget, GuiAction const& action, void*)
{
    static_cast<GuiExplorer&>(widget).run_action(action.get_name());
}

}  // namespace

GuiExplorer::GuiExplorer(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                         bool const& only_contexts, CoreVector<OfClass const*> const& classes)
    : GuiOfItemSpreadsheet(parent, x, y, w, h), m_only_contexts(only_contexts)
{
    if (!classes.is_empty()) set_filter_classes(classes);
    for (ExplorerAction const& action : explorer_actions)
        register_action(action.name, &on_explorer_action, action.shortcut, action.tooltip);
}

GuiExplorer::~GuiExplorer()
{
    store_settings();
}

void GuiExplorerPreference::save(ParserGroup& group) const
{
    if (m_live)
        m_live->save_settings(group);
    else
        group = m_group;
}

GuiExplorerPreference& GuiExplorer::get_preference() const
{
    AppObject& app = get_application();
    auto* preference = dynamic_cast<GuiExplorerPreference*>(app.get_class_preference(GuiExplorerPreference::get_key()));
    if (!preference) {
        preference = new GuiExplorerPreference();
        app.set_class_preference(GuiExplorerPreference::get_key(), preference);
    }
    return *preference;
}

void GuiExplorer::store_settings()
{
    ParserGroup group;
    save_settings(group);
    GuiExplorerPreference& preference = get_preference();
    preference.set_group(group);
    if (preference.get_live_explorer() == this) preference.set_live_explorer(nullptr);
}

void GuiExplorer::restore_settings()
{
    m_settings_restored = true;
    GuiExplorerPreference& preference = get_preference();
    preference.set_live_explorer(this);
    if (!preference.get_group().is_empty()) load_settings(preference.get_group());
}

void GuiExplorer::widget_update()
{
    if (!m_settings_restored) restore_settings();
    GuiOfItemSpreadsheet::widget_update();
}

// --- What is listed ---

void GuiExplorer::set_vizroot(OfContext const* context)
{
    GuiOfItemSpreadsheet::set_context(context, false);
}

void GuiExplorer::set_context(OfContext const* context, bool const& raise)
{
    if (!context || !context->is_in_scene()) {
        CORE_LOG_WARNING("GuiExplorer.set_context: " << (context ? "the context is not in the scene" : "no context given")
                                                     << "\n");
        return;
    }
    CoreVector<OfItem*> items;
    items.add(const_cast<OfContext*>(context));
    set_selection(items, true);
    on_spreadsheet_selection_changed();
    get_application().get_selection().set_slot_working_context(AppSelection::get_global_group_label(),
                                                               AppSelection::get_global_slot_label(),
                                                               *const_cast<OfContext*>(context));
    if (raise) raise_event(EVT_ID_CONTEXT_TREE_SELECT);
}

void GuiExplorer::list_entered_context(OfContext& context)
{
    CoreVector<OfItem*> items;
    items.add(&context);
    set_selection(items, true);
    on_spreadsheet_selection_changed();
}

void GuiExplorer::set_display_only_contexts(bool const& only)
{
    if (m_only_contexts == only) return;
    m_only_contexts = only;
    rebuild();
}

void GuiExplorer::set_display_only_localized_attrs(bool const& only)
{
    if (m_only_localized == only) return;
    m_only_localized = only;
    rebuild();
}

void GuiExplorer::set_display_only_overridden_attrs(bool const& only)
{
    if (m_only_overridden == only) return;
    m_only_overridden = only;
    rebuild();
}

bool GuiExplorer::is_attr_listed(OfAttr const& attr) const
{
    if (m_only_localized && !attr.is_local()) return false;
    if (m_only_overridden) {
        OfObject const* object = attr.get_parent_object();
        bool const instance_or_virtual = object && (object->get_source() || object->is_virtual());
        if (!attr.is_local() || !instance_or_virtual) return false;
    }
    return true;
}

bool GuiExplorer::has_listed_attrs(OfObject const& object) const
{
    if (m_only_contexts) return false;
    unsigned int const count = object.get_attr_count();
    if (!m_only_localized && !m_only_overridden) return count > 0;
    for (unsigned int index = 0; index < count; ++index)
        if (OfAttr const* attr = object.get_attr(index); attr && is_attr_listed(*attr)) return true;
    return false;
}

void GuiExplorer::opened_rows_with_ofitem(CoreVector<OfItem*> const& items)
{
    refresh_tree_structure();
    for (OfItem* item : items) {
        int const index = get_index_row(item);
        if (index < 0) continue;
        for (int row = get_row(static_cast<unsigned int>(index))->get_parent_index(); row >= 0;
             row = get_row(static_cast<unsigned int>(row))->get_parent_index())
            toggle_show_children(static_cast<unsigned int>(row), true);
    }
}

// --- Building ---

void GuiExplorer::build_rows(CoreVector<GuiSpreadsheetRow*>& rows)
{
    for (OfItem* item : get_sorted_content(get_context_object())) make_item_rows(*item, rows);
}

void GuiExplorer::make_item_rows(OfItem& item, CoreVector<GuiSpreadsheetRow*>& rows)
{
    GuiOfItemSpreadsheetRow* row = make_item_row(item);
    rows.add(row);
    int children = 0;
    if (item.is_context() || !m_only_contexts) {
        for (OfItem* child : get_sorted_content(OfHandle(&item))) {
            if (m_only_contexts && !child->is_context()) continue;
            make_item_rows(*child, rows);
            ++children;
        }
    }
    if (OfObject const* object = item.to_object(); object && has_listed_attrs(*object)) {
        if (m_build_all_attributes || m_attribute_rows_made.count(object)) {
            CoreVector<GuiSpreadsheetRow*> attributes;
            make_attribute_rows(*object, attributes);
            children += static_cast<int>(attributes.get_count());
            rows.add(attributes);
            row->set_children_built(true);
        } else {
            row->set_has_children(true);
        }
    } else {
        row->set_children_built(true);
    }
    row->set_children_count(children);
}

void GuiExplorer::make_attribute_rows(OfObject const& object, CoreVector<GuiSpreadsheetRow*>& rows)
{
    unsigned int const count = object.get_attr_count();
    for (unsigned int index = 0; index < count; ++index) {
        OfAttr const* attr = object.get_attr(index);
        if (!attr || !is_attr_listed(*attr)) continue;
        GuiOfItemSpreadsheetRow* row = get_new_row_from_pool();
        row->init(*attr);
        row->create_cells(false);
        row->set_children_built(true);
        rows.add(row);
    }
}

void GuiExplorer::open_rows_of(std::vector<OfItem const*> const& items)
{
    if (!is_rebuilding()) {
        size_t unmade = 0;
        for (OfItem const* item : items) {
            int const index = get_index_row(item);
            if (index >= 0 && !get_item_row(static_cast<unsigned int>(index))->are_children_built()) ++unmade;
        }
        if (unmade > OPEN_BY_LISTING) {
            for (OfItem const* item : items) m_attribute_rows_made.insert(item);
            rebuild();
        }
    }
    GuiOfItemSpreadsheet::open_rows_of(items);
}

void GuiExplorer::build_attribute_rows(unsigned int const& index)
{
    GuiOfItemSpreadsheetRow* row = get_item_row(index);
    row->set_children_built(true);
    if (OfItem const* key = row->get_item_key()) m_attribute_rows_made.insert(key);
    OfObject const* object = row->get_kind() == GuiOfItemSpreadsheetRow::ROW_KIND_OBJECT ? row->get_object() : nullptr;
    if (!object) return;
    CoreVector<GuiSpreadsheetRow*> attributes;
    make_attribute_rows(*object, attributes);
    if (attributes.is_empty()) {
        row->set_has_children(row->get_children_count() > 0);
        return;
    }
    refresh_tree_structure();
    unsigned int const end = index + 1 + static_cast<unsigned int>(row->get_total_sub_children_count());
    insert_rows(end, attributes, static_cast<int>(index), static_cast<int>(attributes.get_count()));
    for (unsigned int i = 0; i < attributes.get_count(); ++i)
        static_cast<GuiOfItemSpreadsheetRow*>(attributes[i])->set_index_hint(end + i);
    apply_text_filter_to_block(end, attributes.get_count());
}

void GuiExplorer::refresh_attribute_rows(OfObject const& object)
{
    int const index = get_index_row(&object);
    if (index < 0) return;
    GuiOfItemSpreadsheetRow* row = get_item_row(static_cast<unsigned int>(index));
    if (!row->are_children_built()) {
        row->set_has_children(row->get_children_count() > 0 || has_listed_attrs(object));
        return;
    }
    // Attribute rows have no children: they are the object's direct children of that kind.
    refresh_tree_structure();
    unsigned int const first = static_cast<unsigned int>(index) + 1;
    unsigned int const end = first + static_cast<unsigned int>(row->get_total_sub_children_count());
    CoreVector<unsigned int> attribute_rows;
    for (unsigned int r = first; r < end; ++r)
        if (get_item_row(r)->get_kind() == GuiOfItemSpreadsheetRow::ROW_KIND_ATTR) attribute_rows.add(r);
    bool const open = row->is_show_children();
    remove_rows(attribute_rows);
    build_attribute_rows(static_cast<unsigned int>(get_index_row(&object)));
    if (open) toggle_show_children(static_cast<unsigned int>(get_index_row(&object)), true);
}

void GuiExplorer::toggle_show_children(unsigned int const& row, bool const& show)
{
    GuiOfItemSpreadsheetRow* item_row = get_item_row(row);
    if (show && item_row && !item_row->are_children_built()) build_attribute_rows(row);
    GuiOfItemSpreadsheet::toggle_show_children(row, show);
}

void GuiExplorer::expand_all(bool const& expand)
{
    if (expand && !m_build_all_attributes && !m_only_contexts) {
        m_build_all_attributes = true;
        rebuild();
    }
    GuiOfItemSpreadsheet::expand_all(expand);
}

// --- Following the scene ---

bool GuiExplorer::find_parent_row(OfItem const& item, int& parent) const
{
    parent = -1;
    if (m_only_contexts && !item.is_context()) return false;
    OfItem const* holder = item.get_holder();
    if (!holder) return false;
    if (holder == get_context_object().to_item()) return true;
    parent = get_index_row(holder);
    return parent >= 0;
}

void GuiExplorer::on_items_changed(CoreString const& event, OfEventData const* data)
{
    if (!data || !data->attr || (!m_only_localized && !m_only_overridden)) return;
    if (event != EVT_ID_OF_OBJECT_ATTR_FLAGS && event != EVT_ID_OF_OBJECT_ATTR_CHANGE) return;
    if (OfObject const* object = data->attr->get_parent_object()) refresh_attribute_rows(*object);
}

void GuiExplorer::enable_evaluation(bool const& enable)
{
    m_evaluation_enabled = enable;
    set_follow_scene(enable);
}

void GuiExplorer::refresh_evaluation()
{
    rebuild();
}

// --- Actions ---

void GuiExplorer::run_action(CoreString const& name)
{
    if (name == "Image" || name == "Locator" || name == "Group") {
        create_item(name);
    } else if (name == "Hide" || name == "Show") {
        CoreVector<OfItem*> const items = get_selected_items();
        if (!items.is_empty()) SdkHelpers::set_items_display(items, name == "Show");
    } else if (name == "Delete Selection" || name == "Permanently Delete Selection") {
        delete_selection(name == "Permanently Delete Selection");
    } else {
        GuiOfItemSpreadsheet::run_action(name);
    }
}

OfObject* GuiExplorer::create_item(CoreString const& class_name)
{
    if (!get_scene().get_classes().exists(class_name)) {
        CORE_LOG_WARNING("GuiExplorer.create_item: the scene has no class \"" << class_name << "\"; nothing created\n");
        return nullptr;
    }
    return get_application().get_builtin_commands().create_object(class_name, "", nullptr, {}, true);
}

bool GuiExplorer::delete_selection(bool const& permanently)
{
    CoreVector<OfItem*> items;
    CoreVector<OfAttr*> attrs;
    for (unsigned int index : get_ordered_row_selection()) {
        GuiOfItemSpreadsheetRow const* row = get_item_row(index);
        if (OfItem* item = row->get_item())
            items.add(item);
        else if (OfAttr* attr = row->get_attr(); attr && attr->is_local())
            attrs.add(attr);
    }
    // An attribute of a deleted object goes with it.
    CoreVector<OfAttr*> kept_attrs;
    for (OfAttr* attr : attrs) {
        bool inside = false;
        for (OfObject const* object = attr->get_parent_object(); object && !inside; object = object->get_parent())
            inside = std::find(items.begin(), items.end(), object) != items.end();
        if (!inside) kept_attrs.add(attr);
    }
    unsigned int const commands = (items.is_empty() ? 0u : 1u) + kept_attrs.get_count();
    if (commands == 0) {
        CORE_LOG_WARNING("GuiExplorer.delete_selection: nothing selected can be deleted or reverted\n");
        return false;
    }
    OfCommandManager& history = get_scene().get_command_manager();
    bool const batch = commands > 1;
    if (batch) history.begin_batch("RemoveExplorerSelection");
    bool done = true;
    for (OfAttr* attr : kept_attrs) done = attr->revert() && done;
    if (!items.is_empty()) done = (permanently ? SdkHelpers::trash_items(items) : SdkHelpers::delete_items(items)) && done;
    if (batch) history.end_batch();
    return done;
}

// --- Settings ---

void GuiExplorer::save_settings(ParserGroup& group)
{
    for (char const* name : {"tree_sort_type", "tree_sort_order", "tree_columns_type", "tree_columns_width", "rows_expand"})
        group.remove_entry(name);
    group.add_entry("tree_sort_type").add_int(get_sort_type());
    group.add_entry("tree_sort_order").add_int(get_sort_order());
    ParserEntry& types = group.add_entry("tree_columns_type");
    ParserEntry& widths = group.add_entry("tree_columns_width");
    for (int column = 0; column < get_column_count(); ++column) {
        types.add_int(get_column_sort_type(column));
        widths.add_int(get_column_width(column));
    }
    ParserEntry& expanded = group.add_entry("rows_expand");
    for (unsigned int index = 0; index < get_row_count(); ++index) {
        GuiOfItemSpreadsheetRow const* row = get_item_row(index);
        if (!row->is_show_children()) continue;
        if (OfItem const* item = row->get_item()) expanded.add_string(item->get_full_name());
    }
}

void GuiExplorer::load_settings(ParserGroup const& group)
{
    auto refuse = [](char const* entry, CoreString const& why) {
        CORE_LOG_WARNING("GuiExplorer.load_settings: \"" << entry << "\" " << why << "; left out\n");
    };
    auto read_ints = [&](char const* name, std::vector<int64_t>& values) {
        ParserEntry const* entry = group.get_entry(name);
        if (!entry) return false;
        for (unsigned int i = 0; i < entry->get_value_count(); ++i) {
            if (!entry->is_value_int(i)) {
                refuse(name, "holds a value that is not a whole number");
                return false;
            }
            values.push_back(entry->get_int(i));
        }
        return true;
    };

    // Columns: the stored keys in order (the Name column always stays), then their widths.
    std::vector<int64_t> keys, widths;
    if (read_ints("tree_columns_type", keys)) {
        CoreVector<int> columns;
        for (int64_t key : keys) {
            if (key < 0 || key >= GuiOfItemSort::KEY_COLOR) {
                refuse("tree_columns_type", CoreString("names the unknown column ") + static_cast<long long>(key));
                continue;
            }
            if (std::find(columns.begin(), columns.end(), static_cast<int>(key)) == columns.end())
                columns.add(static_cast<int>(key));
        }
        if (std::find(columns.begin(), columns.end(), GuiOfItemSort::KEY_NAME) == columns.end())
            columns.insert(0, GuiOfItemSort::KEY_NAME);
        while (get_column_count() > 0) GuiSpreadsheet::remove_column_type(get_column_sort_type(get_column_count() - 1));
        for (int key : columns) {
            GuiSpreadsheet::add_column_type(key, get_column_type_title(key));
            if (key == GuiOfItemSort::KEY_NAME) {
                set_column_ratio(get_column_count() - 1, 1.0);
                enable_column_highlight_text(get_column_count() - 1, true);
            }
        }
        for (GuiSpreadsheetRow* row : get_rows()) static_cast<GuiOfItemSpreadsheetRow*>(row)->create_cells(false);
        if (read_ints("tree_columns_width", widths)) {
            if (widths.size() != keys.size())
                refuse("tree_columns_width", "does not give one width per stored column");
            else
                for (size_t i = 0; i < keys.size(); ++i) {
                    if (keys[i] == GuiOfItemSort::KEY_NAME || widths[i] <= 0) continue;
                    for (int column = 0; column < get_column_count(); ++column)
                        if (get_column_sort_type(column) == keys[i]) set_column_width(column, static_cast<int>(widths[i]));
                }
        }
    }

    std::vector<int64_t> sort_type, sort_order;
    bool const has_type = read_ints("tree_sort_type", sort_type) && sort_type.size() == 1;
    bool const has_order = read_ints("tree_sort_order", sort_order) && sort_order.size() == 1;
    if (has_type && has_order) {
        if (sort_type[0] < GuiOfItemSort::KEY_NAME || sort_type[0] >= GuiOfItemSort::KEY_COUNT)
            refuse("tree_sort_type", CoreString("is out of range: ") + static_cast<long long>(sort_type[0]));
        else if (sort_order[0] < -1 || sort_order[0] > 1)
            refuse("tree_sort_order", CoreString("is out of range: ") + static_cast<long long>(sort_order[0]));
        else
            set_sort_state(static_cast<int>(sort_type[0]), static_cast<int>(sort_order[0]));
    }
    rebuild();

    if (ParserEntry const* entry = group.get_entry("rows_expand")) {
        std::vector<OfItem const*> items;
        for (unsigned int i = 0; i < entry->get_value_count(); ++i) {
            if (!entry->is_value_string(i)) {
                refuse("rows_expand", "holds a value that is not a full name");
                continue;
            }
            // Items renamed or deleted since the settings were saved are simply not opened.
            if (OfItem* item = get_scene().get_item(entry->get_string(i))) items.push_back(item);
        }
        open_rows_of(items);
    }
}
