#include "gui/explorer/gui_of_item_spreadsheet.h"

#include <algorithm>
#include <unordered_set>

#include "gui/core/gui.h"
#include "gui/core/gui_action.h"
#include "gui/core/gui_app.h"
#include "gui/explorer/gui_of_item_spreadsheet_cells.h"
#include "gui/panels/gui_item_actions.h"
#include "gui/panels/gui_of_item_menu.h"
#include "host/app/app_builtin_commands.h"
#include "host/app/app_selection.h"
#include "host/core/core_log.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_event.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

CORE_IMPLEMENT_CLASS(GuiOfItemSpreadsheet, GuiSpreadsheet)

EVENT_DEFINE_ID(EVT_ID_OF_ITEM_SPREADSHEET_CONTEXT_OBJECT_CHANGED);
EVENT_DEFINE_ID(EVT_ID_SPREADSHEET_ITEM_ACTIVATE);
EVENT_DEFINE_ID(EVT_ID_CONTEXT_TREE_SELECT);

bool GuiOfItemSpreadsheet::s_right_button_drag = false;

namespace {

// The scene events that change which rows exist.
CoreString const* const added_events[] = {&EVT_ID_OF_ADD_OBJECT, &EVT_ID_OF_ADD_CONTEXT, &EVT_ID_OF_PASTE_OBJECT,
                                          &EVT_ID_OF_PASTE_CONTEXT, &EVT_ID_OF_ADD_EMBEDDED_OBJECT};
CoreString const* const removed_events[] = {&EVT_ID_OF_REMOVE_OBJECT, &EVT_ID_OF_REMOVE_CONTEXT,
                                            &EVT_ID_OF_REMOVE_EMBEDDED_OBJECT};
CoreString const* const renamed_events[] = {&EVT_ID_OF_OBJECT_RENAME, &EVT_ID_OF_RENAME_CONTEXT};
CoreString const* const moved_events[] = {&EVT_ID_OF_ITEM_MOVED, &EVT_ID_OF_REORDER_CONTEXT};
// Events after which the rows only draw again (cells read the items when drawn).
CoreString const* const redraw_events[] = {&EVT_ID_OF_ITEM_FLAGS,
                                           &EVT_ID_OF_ITEM_COLORTAG_CHANGED,
                                           &EVT_ID_OF_ITEM_COMMENT_CHANGED,
                                           &EVT_ID_OF_OBJECT_ATTR_CHANGE,
                                           &EVT_ID_OF_OBJECT_ATTR_FLAGS,
                                           &EVT_ID_OF_OBJECT_CONNECTION_CHANGED,
                                           &EVT_ID_OF_ASSEMBLY_CONTAINER_CONTENT_CHANGED,
                                           &EVT_ID_OF_ASSEMBLY_CONTAINER_CONTENT_SET_DIRTY};

template <size_t N>
bool is_one_of(CoreString const& name, CoreString const* const (&events)[N])
{
    for (CoreString const* event : events)
        if (name == *event) return true;
    return false;
}

// Rows of items come first, contexts before objects; attribute and output rows after them.
int get_row_group(OfItem const* item)
{
    if (!item) return 2;
    return item->is_context() ? 0 : 1;
}

}  // namespace

GuiOfItemSpreadsheet::GuiOfItemSpreadsheet(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiSpreadsheet(parent, x, y, w, h)
{
    set_show_horizontal_grid(false);
    set_show_header_row(false);
    set_show_cursor(false);
    set_show_line_edit(false);
    set_full_row_select(true);
    set_preselection(true);
    set_copy_to_clipboard(false);
    set_shaded(true);
    set_resize_only_one_column(true);
    set_tree_mode(true);
    set_padding_y(1);
    set_enable_focus_by_key(true);
    set_row_height(static_cast<int>(ImageIcon::get_image_icon_int_size(m_icon_size)));
    enable_column_sort(true);
    add_column_type(GuiOfItemSort::KEY_NAME, get_column_type_title(GuiOfItemSort::KEY_NAME));
    set_column_ratio(0, 1.0);
    enable_column_highlight_text(0, true);
    set_sort_state(GuiOfItemSort::KEY_NAME, 1);

    m_context_object = OfHandle(&get_scene().get_root());
    OfObjectFactory& scene = get_scene();
    for (CoreString const* event : added_events) connect(scene, *event, &GuiOfItemSpreadsheet::on_scene_event);
    for (CoreString const* event : removed_events) connect(scene, *event, &GuiOfItemSpreadsheet::on_scene_event);
    for (CoreString const* event : renamed_events) connect(scene, *event, &GuiOfItemSpreadsheet::on_scene_event);
    for (CoreString const* event : moved_events) connect(scene, *event, &GuiOfItemSpreadsheet::on_scene_event);
    for (CoreString const* event : redraw_events) connect(scene, *event, &GuiOfItemSpreadsheet::on_scene_event);
    connect(scene, EVT_ID_OF_REMOVE_ALL_OBJECTS, &GuiOfItemSpreadsheet::on_scene_event);
    connect(get_application().get_selection(), EVT_ID_APPLICATION_SELECTION_CHANGED,
            &GuiOfItemSpreadsheet::on_application_selection);
    connect(*this, EVT_ID_SPREADSHEET_SELECTION_CHANGED, &GuiOfItemSpreadsheet::on_own_selection);
    connect(*this, EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED, &GuiOfItemSpreadsheet::on_sort_changed);
    connect(*this, EVT_ID_BROWSER_MENU_RENAME_ITEM, &GuiOfItemSpreadsheet::on_menu_rename);
    register_action("Rename", &GuiOfItemSpreadsheet::on_action, "F2", "Rename the item under the cursor");

    m_rebuild_pending = true;
    set_is_dirty(true);
}

GuiOfItemSpreadsheet::~GuiOfItemSpreadsheet()
{
    // Emptying the rows below must not tell listeners about a sheet that is going.
    set_mute(true);
    disconnect_all();
    if (m_drop_timer) get_application().remove_timer(m_drop_timer);
    delete m_pending_drop;
    if (m_menu && !m_menu->is_destroyed()) m_menu->destroy();
    // The rows go back to the pool while this class still knows how to take them.
    GuiSpreadsheet::remove_all_data(true);
}

OfObjectFactory& GuiOfItemSpreadsheet::get_scene() const
{
    return get_application().get_factory();
}

// --- What is listed ---

OfContext* GuiOfItemSpreadsheet::get_context() const
{
    if (OfContext* context = m_context_object.to_context()) return context;
    if (OfObject* object = m_context_object.to_object()) return object->get_context();
    return nullptr;
}

void GuiOfItemSpreadsheet::set_context(OfContext const* context, bool const& raise)
{
    if (!context || !context->is_in_scene()) {
        CORE_LOG_WARNING("GuiOfItemSpreadsheet.set_context: " << (context ? "the context is not in the scene"
                                                                           : "no context given")
                                                              << "; the sheet keeps its content\n");
        return;
    }
    set_context_object(OfHandle(context), raise);
}

void GuiOfItemSpreadsheet::set_context_object(OfHandle const& handle, bool const& raise)
{
    if (!handle.is_context() && !handle.is_object()) {
        CORE_LOG_WARNING("GuiOfItemSpreadsheet.set_context_object: "
                         << "the handle names no context or object in the scene; the sheet keeps its content\n");
        return;
    }
    bool const changed = !(handle == m_context_object);
    m_context_object = handle;
    rebuild();
    if (raise && changed) raise_event(EVT_ID_OF_ITEM_SPREADSHEET_CONTEXT_OBJECT_CHANGED);
}

void GuiOfItemSpreadsheet::set_filter_classes(CoreVector<OfClass const*> const& classes)
{
    m_filter_classes = classes;
    rebuild();
}

bool GuiOfItemSpreadsheet::is_valid_class_by_filter(OfClass const& of_class) const
{
    if (m_filter_classes.is_empty()) return true;
    for (OfClass const* filter : m_filter_classes)
        if (filter && of_class.is_kindof(*filter)) return true;
    return false;
}

bool GuiOfItemSpreadsheet::is_valid_by_text_filter(OfItem const& item) const
{
    if (item.is_shadowed() || !item.is_in_scene()) return false;
    CoreString const text = GuiOfItemSpreadsheetRow::make_searchable_text(item, is_case_sensitive_highlight_enabled());
    return contains_filter_words(text.view());
}

bool GuiOfItemSpreadsheet::contains_filter_words(std::string_view const& text) const
{
    CoreVector<CoreString> const& words = get_highlight_text();
    if (words.is_empty() || (words.get_count() == 1 && words[0] == "*")) return true;
    for (CoreString const& word : words)
        if (text.find(word.view()) == std::string_view::npos) return false;
    return true;
}

void GuiOfItemSpreadsheet::set_filter_text(CoreString const& text)
{
    m_marking_highlights = true;
    set_highlight_text(text, false);
    m_marking_highlights = false;
    apply_text_filter();
    redraw();
}

bool GuiOfItemSpreadsheet::is_highlight_text_enabled(int const& column, int const& row) const
{
    return !m_marking_highlights && GuiSpreadsheet::is_highlight_text_enabled(column, row);
}

bool GuiOfItemSpreadsheet::passes_text_filter(GuiOfItemSpreadsheetRow const& row) const
{
    return contains_filter_words(row.get_filter_text(is_case_sensitive_highlight_enabled()));
}

bool GuiOfItemSpreadsheet::is_context_displayable(OfContext const& context) const
{
    return !context.is_shadowed();
}

void GuiOfItemSpreadsheet::set_follow_scene(bool const& follow)
{
    m_follow_scene = follow;
    if (follow && m_scene_stale) {
        m_scene_stale = false;
        rebuild();
    }
}

bool GuiOfItemSpreadsheet::is_listed(OfItem const& item) const
{
    if (item.is_shadowed()) return false;
    if (OfContext const* context = item.to_context()) return is_context_displayable(*context);
    return is_valid_class_by_filter(item.to_object()->get_class());
}

// --- Rows ---

void GuiOfItemSpreadsheet::rebuild()
{
    std::vector<OfItem const*> const expanded = get_expanded_items();
    CoreVector<OfItem*> const selected = get_selected_items();
    bool const filtering = m_filter_active;
    std::vector<OfItem const*> const expanded_before_filter = m_expanded_before_filter;
    m_mute_selection = true;
    m_rebuilding = true;
    GuiSpreadsheet::remove_all_data(false);
    m_filter_active = false;
    CoreVector<GuiSpreadsheetRow*> rows;
    build_rows(rows);
    add_rows(rows, false);
    refresh_items_to_row_index();
    set_expanded_items(filtering ? expanded_before_filter : expanded);
    apply_text_filter();
    set_selection(selected, false);
    m_rebuilding = false;
    m_mute_selection = false;
    m_rebuild_pending = false;
}

void GuiOfItemSpreadsheet::clear()
{
    remove_all_data(true);
}

void GuiOfItemSpreadsheet::remove_all_data(bool const& reset_cursor)
{
    GuiSpreadsheet::remove_all_data(reset_cursor);
    m_rows_by_item.clear();
}

GuiOfItemSpreadsheetRow* GuiOfItemSpreadsheet::get_item_row(unsigned int const& index) const
{
    return static_cast<GuiOfItemSpreadsheetRow*>(get_row(index));
}

int GuiOfItemSpreadsheet::get_index_row(OfItem const* item) const
{
    auto const found = m_rows_by_item.find(item);
    if (found == m_rows_by_item.end()) return -1;
    GuiOfItemSpreadsheetRow const* row = found->second;
    unsigned int const hint = row->get_index_hint();
    if (get_row(hint) == row) return static_cast<int>(hint);
    // Rows move by the size of a change near them: look around the old place first.
    unsigned int const count = get_row_count();
    for (unsigned int distance = 1; distance <= NEAR_SEARCH; ++distance) {
        if (hint + distance < count && get_row(hint + distance) == row) {
            row->set_index_hint(hint + distance);
            return static_cast<int>(hint + distance);
        }
        if (distance <= hint && get_row(hint - distance) == row) {
            row->set_index_hint(hint - distance);
            return static_cast<int>(hint - distance);
        }
    }
    refresh_items_to_row_index();
    return static_cast<int>(row->get_index_hint());
}

void GuiOfItemSpreadsheet::refresh_items_to_row_index() const
{
    unsigned int const count = get_row_count();
    for (unsigned int index = 0; index < count; ++index) get_item_row(index)->set_index_hint(index);
}

GuiOfItemSpreadsheetRow* GuiOfItemSpreadsheet::get_new_row_from_pool()
{
    return m_pool.get(*this);
}

void GuiOfItemSpreadsheet::free_row_from_pool(GuiOfItemSpreadsheetRow* row)
{
    if (!row) return;
    row->remove_all_data();
    m_pool.release(row);
}

void GuiOfItemSpreadsheet::clean_rows_pool()
{
    if (get_row_count() != 0) {
        CORE_LOG_WARNING("GuiOfItemSpreadsheet.clean_rows_pool: the sheet still holds " << get_row_count()
                                                                                         << " rows; the pool stays\n");
        return;
    }
    m_pool.clean();
}

void GuiOfItemSpreadsheet::destroy_row(GuiSpreadsheetRow* row)
{
    auto* item_row = static_cast<GuiOfItemSpreadsheetRow*>(row);
    if (OfItem const* key = item_row->get_item_key()) {
        auto const found = m_rows_by_item.find(key);
        if (found != m_rows_by_item.end() && found->second == item_row) m_rows_by_item.erase(found);
    }
    free_row_from_pool(item_row);
}

void GuiOfItemSpreadsheet::remember_row(OfItem const& item, GuiOfItemSpreadsheetRow* row)
{
    m_rows_by_item[&item] = row;
}

GuiOfItemSpreadsheetRow* GuiOfItemSpreadsheet::make_item_row(OfItem const& item)
{
    GuiOfItemSpreadsheetRow* row = get_new_row_from_pool();
    row->init(item);
    row->create_cells(false);
    remember_row(item, row);
    return row;
}

void GuiOfItemSpreadsheet::build_rows(CoreVector<GuiSpreadsheetRow*>& rows)
{
    for (OfItem* item : get_sorted_content(m_context_object)) make_item_rows(*item, rows);
}

void GuiOfItemSpreadsheet::make_item_rows(OfItem& item, CoreVector<GuiSpreadsheetRow*>& rows)
{
    rows.add(make_item_row(item));
}

std::vector<OfItem*> GuiOfItemSpreadsheet::get_sorted_content(OfHandle const& holder) const
{
    std::vector<name_and_number_for_qsort>& contexts = m_context_records;
    std::vector<name_and_number_for_qsort>& objects = m_object_records;
    contexts.clear();
    objects.clear();
    auto add = [this](OfItem& item, std::vector<name_and_number_for_qsort>& records) {
        if (!is_listed(item)) return;
        records.emplace_back();
        GuiOfItemSort::make_record(item, records.back());
    };
    if (OfContext const* context = holder.to_context()) {
        for (OfContext* child : context->get_contexts()) add(*child, contexts);
        for (OfObject* object : context->get_objects()) add(*object, objects);
    } else if (OfObject const* object = holder.to_object()) {
        for (OfObject* embedded : object->get_embedded_objects()) add(*embedded, objects);
    }
    int const key = std::max(0, get_sort_type());
    GuiOfItemSort::sort(contexts, key, get_sort_order());
    GuiOfItemSort::sort(objects, key, get_sort_order());
    std::vector<OfItem*> items;
    items.reserve(contexts.size() + objects.size());
    for (auto const* records : {&contexts, &objects})
        for (name_and_number_for_qsort const& record : *records) items.push_back(record.item);
    return items;
}

// --- Following the scene ---

bool GuiOfItemSpreadsheet::find_parent_row(OfItem const& item, int& parent) const
{
    parent = -1;
    return item.get_holder() == m_context_object.to_item();
}

unsigned int GuiOfItemSpreadsheet::find_sorted_index(OfItem& item, int const& parent)
{
    refresh_tree_structure();
    unsigned int const first = parent < 0 ? 0u : static_cast<unsigned int>(parent) + 1;
    unsigned int const end =
        parent < 0 ? get_row_count()
                   : first + static_cast<unsigned int>(get_row(static_cast<unsigned int>(parent))->get_total_sub_children_count());
    name_and_number_for_qsort record, sibling;
    GuiOfItemSort::make_record(item, record);
    int const group = get_row_group(&item);
    int const key = std::max(0, get_sort_type());
    int const order = get_sort_order();
    unsigned int index = first;
    while (index < end) {
        GuiOfItemSpreadsheetRow const* row = get_item_row(index);
        OfItem* other = row->get_item();
        int const other_group = get_row_group(other);
        if (group < other_group) return index;
        if (group == other_group && order != 0) {
            GuiOfItemSort::make_record(*other, sibling);
            if (GuiOfItemSort::compare(key, order, record, sibling) < 0) return index;
        }
        index += 1 + static_cast<unsigned int>(row->get_total_sub_children_count());
    }
    return end;
}

void GuiOfItemSpreadsheet::insert_item_rows(OfItem& item)
{
    if (m_rebuild_pending || m_rows_by_item.count(&item) || !is_listed(item)) return;
    int parent = -1;
    if (!find_parent_row(item, parent)) return;
    CoreVector<GuiSpreadsheetRow*> block;
    make_item_rows(item, block);
    unsigned int const index = find_sorted_index(item, parent);
    insert_rows(index, block, parent);
    for (unsigned int i = 0; i < block.get_count(); ++i)
        static_cast<GuiOfItemSpreadsheetRow*>(block[i])->set_index_hint(index + i);
    apply_text_filter_to_block(index, block.get_count());
}

void GuiOfItemSpreadsheet::remove_item_rows(OfItem const& item)
{
    int const index = get_index_row(&item);
    if (index < 0) return;
    refresh_tree_structure();
    unsigned int const first = static_cast<unsigned int>(index);
    remove_rows(first, first + static_cast<unsigned int>(get_row(first)->get_total_sub_children_count()));
}

void GuiOfItemSpreadsheet::reinsert_item_rows(OfItem& item)
{
    int const index = get_index_row(&item);
    if (index < 0) {
        insert_item_rows(item);
        return;
    }
    // What the user sees of the subtree comes back: open rows, selected rows, the cursor.
    refresh_tree_structure();
    unsigned int const first = static_cast<unsigned int>(index);
    unsigned int const last = first + static_cast<unsigned int>(get_row(first)->get_total_sub_children_count());
    std::vector<OfItem const*> expanded;
    CoreVector<OfItem*> selected;
    for (unsigned int row = first; row <= last; ++row) {
        GuiOfItemSpreadsheetRow const* r = get_item_row(row);
        if (!r->get_item_key()) continue;
        if (r->is_show_children()) expanded.push_back(r->get_item_key());
        if (is_row_selected(static_cast<int>(row)) && r->get_item()) selected.add(r->get_item());
    }
    bool const mute = m_mute_selection;
    m_mute_selection = true;
    remove_rows(first, last);
    insert_item_rows(item);
    set_expanded_items(expanded, false);
    CoreVector<unsigned int> rows;
    for (OfItem* selected_item : selected) {
        int const row = get_index_row(selected_item);
        if (row >= 0) rows.add(static_cast<unsigned int>(row));
    }
    if (!rows.is_empty()) set_selection_rows(rows, true, false);
    m_mute_selection = mute;
}

void GuiOfItemSpreadsheet::on_scene_event(OfObjectFactory&, EventInfo const& info, void*)
{
    CoreString const& name = info.get_name();
    auto const* data = static_cast<OfEventData const*>(info.get_event_data());
    OfItem* item = data ? data->item : nullptr;
    if (name == EVT_ID_OF_REMOVE_ALL_OBJECTS) {
        // The items are freed: nothing may point at them any more.
        m_pending_reinserts.clear();
        clear();
        m_context_object = OfHandle(&get_scene().get_root());
        m_rebuild_pending = true;
        set_is_dirty(true);
        return;
    }
    if (is_one_of(name, redraw_events) || !item) {
        // An instance's source is part of its searchable text.
        if (name == EVT_ID_OF_OBJECT_CONNECTION_CHANGED && item) {
            int const row = get_index_row(item);
            if (row >= 0) get_item_row(static_cast<unsigned int>(row))->forget_searchable_text();
        }
        on_items_changed(name, data);
        redraw();
        return;
    }
    if (!m_follow_scene && !is_one_of(name, removed_events)) {
        m_scene_stale = true;
        return;
    }
    if (is_one_of(name, added_events)) {
        insert_item_rows(*item);
    } else if (is_one_of(name, removed_events)) {
        remove_item_rows(*item);
        m_pending_reinserts.erase(item);
        // The listed context (or object) went: the sheet lists the root.
        if (!m_context_object.is_valid()) {
            m_context_object = OfHandle(&get_scene().get_root());
            m_rebuild_pending = true;
            set_is_dirty(true);
        }
    } else if (is_one_of(name, renamed_events)) {
        // In the update pass: a rename may come from this sheet's own line edit, which is
        // closing when it arrives.
        m_pending_reinserts.insert(item);
        set_is_dirty(true);
        redraw();
    } else if (is_one_of(name, moved_events)) {
        remove_item_rows(*item);
        insert_item_rows(*item);
    }
}

void GuiOfItemSpreadsheet::on_items_changed(CoreString const&, OfEventData const*) {}

// --- Filters ---

void GuiOfItemSpreadsheet::apply_text_filter()
{
    bool const filtering = !get_highlight_text().is_empty();
    if (!filtering) {
        if (!m_filter_active) return;
        m_filter_active = false;
        for (GuiSpreadsheetRow* row : get_rows()) row->set_hidden(false);
        set_expanded_items(m_expanded_before_filter, true);
        m_expanded_before_filter.clear();
        refresh_rows_visibility();
        redraw();
        return;
    }
    if (!m_filter_active) {
        m_expanded_before_filter = get_expanded_items();
        m_filter_active = true;
    }
    apply_text_filter_to_block(0, get_row_count());
}

void GuiOfItemSpreadsheet::apply_text_filter_to_block(unsigned int const& first, unsigned int const& count)
{
    if (!m_filter_active || count == 0) return;
    refresh_tree_structure();
    // From the last row up, children come before their parents: a row is shown when it
    // passes or a child of it is shown, and then its parent opens. (Rows are not tinted as
    // highlighted: the words show in the cells' text.)
    std::vector<char> shown_child(count, 0);
    bool first_shown = false;
    for (unsigned int i = count; i-- > 0;) {
        GuiOfItemSpreadsheetRow* row = get_item_row(first + i);
        bool const shown = passes_text_filter(*row) || shown_child[i];
        row->set_hidden(!shown);
        if (shown_child[i]) row->set_show_children(true);
        int const parent = row->get_parent_index();
        if (shown && parent >= static_cast<int>(first)) shown_child[static_cast<unsigned int>(parent) - first] = 1;
        if (i == 0) first_shown = shown;
    }
    // A block inside the sheet: its root's ancestors show and open too.
    if (first_shown && first > 0) {
        for (int parent = get_item_row(first)->get_parent_index(); parent >= 0;
             parent = get_row(static_cast<unsigned int>(parent))->get_parent_index()) {
            GuiSpreadsheetRow* row = get_row(static_cast<unsigned int>(parent));
            row->set_hidden(false);
            row->set_show_children(true);
        }
    }
    refresh_rows_visibility();
    redraw();
}

std::vector<OfItem const*> GuiOfItemSpreadsheet::get_expanded_items() const
{
    std::vector<OfItem const*> items;
    for (GuiSpreadsheetRow const* row : get_rows())
        if (row->is_show_children()) {
            OfItem const* key = static_cast<GuiOfItemSpreadsheetRow const*>(row)->get_item_key();
            if (key) items.push_back(key);
        }
    return items;
}

void GuiOfItemSpreadsheet::set_expanded_items(std::vector<OfItem const*> const& items, bool const& collapse_others)
{
    if (collapse_others)
        for (GuiSpreadsheetRow* row : get_rows()) row->set_show_children(false);
    open_rows_of(items);
    refresh_rows_visibility();
}

void GuiOfItemSpreadsheet::open_rows_of(std::vector<OfItem const*> const& items)
{
    // Found first, then opened from the last up: opening may make rows (an explorer's
    // attribute rows), which moves only the rows after it.
    std::vector<unsigned int> rows;
    rows.reserve(items.size());
    for (OfItem const* item : items) {
        int const index = get_index_row(item);
        if (index >= 0) rows.push_back(static_cast<unsigned int>(index));
    }
    std::sort(rows.begin(), rows.end());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) toggle_show_children(*row, true);
}

// --- Columns ---

CoreString GuiOfItemSpreadsheet::get_column_type_title(int const& key)
{
    switch (key) {
    case GuiOfItemSort::KEY_NAME: return "Name";
    case GuiOfItemSort::KEY_MODIFICATION_DATE: return "Modification Date";
    case GuiOfItemSort::KEY_CREATION_DATE: return "Creation Date";
    case GuiOfItemSort::KEY_TYPE: return "Type";
    case GuiOfItemSort::KEY_SOURCE: return "Source";
    case GuiOfItemSort::KEY_PATH: return "Path";
    case GuiOfItemSort::KEY_COMMENT: return "Comment";
    default: return CoreString();
    }
}

bool GuiOfItemSpreadsheet::add_column_type(int const& key, CoreString const& title)
{
    if (!GuiSpreadsheet::add_column_type(key, title.is_empty() ? get_column_type_title(key) : title)) return false;
    for (GuiSpreadsheetRow* row : get_rows()) row->add_cell(GuiOfItemSpreadsheetCell::create(key));
    redraw();
    return true;
}

bool GuiOfItemSpreadsheet::remove_column_type(int const& key)
{
    if (key == GuiOfItemSort::KEY_NAME) {
        CORE_LOG_WARNING("GuiOfItemSpreadsheet.remove_column_type: the Name column stays\n");
        return false;
    }
    if (!GuiSpreadsheet::remove_column_type(key)) return false;
    for (GuiSpreadsheetRow* row : get_rows()) static_cast<GuiOfItemSpreadsheetRow*>(row)->create_cells(false);
    redraw();
    return true;
}

// --- Icons ---

void GuiOfItemSpreadsheet::set_icon_size(ImageIcon::ImageIconSize const& size)
{
    if (size < ImageIcon::IMAGE_ICON_SIZE_16 || size > ImageIcon::get_image_icon_size_max()) {
        CORE_LOG_WARNING("GuiOfItemSpreadsheet.set_icon_size: no icon size " << static_cast<int>(size) << "\n");
        return;
    }
    m_icon_size = size;
    set_row_height(static_cast<int>(ImageIcon::get_image_icon_int_size(size)));
    set_is_dirty(true);
    redraw();
}

void GuiOfItemSpreadsheet::step_icon_size(int const& wheel_dy)
{
    int const size = static_cast<int>(m_icon_size) + (wheel_dy <= 0 ? 1 : -1);
    set_icon_size(static_cast<ImageIcon::ImageIconSize>(
        std::clamp(size, 0, static_cast<int>(ImageIcon::get_image_icon_size_max()))));
}

// --- Selection ---

void GuiOfItemSpreadsheet::set_selection(CoreVector<OfItem*> const& items, bool const& scroll)
{
    CoreVector<unsigned int> rows;
    for (OfItem* item : items) {
        int const row = get_index_row(item);
        if (row >= 0) rows.add(static_cast<unsigned int>(row));
    }
    bool const mute = m_mute_selection;
    m_mute_selection = true;
    set_selection_rows(rows, true, true);
    m_mute_selection = mute;
    if (!scroll || rows.is_empty()) return;
    // The first row comes into view, its parents opened.
    refresh_tree_structure();
    for (int parent = get_row(rows[0])->get_parent_index(); parent >= 0;
         parent = get_row(static_cast<unsigned int>(parent))->get_parent_index())
        toggle_show_children(static_cast<unsigned int>(parent), true);
    focus_on_row(static_cast<int>(rows[0]));
}

CoreVector<OfItem*> GuiOfItemSpreadsheet::get_selected_items() const
{
    CoreVector<OfItem*> items;
    std::unordered_set<OfItem const*> seen;
    for (unsigned int index : get_ordered_row_selection()) {
        GuiOfItemSpreadsheetRow const* row = get_item_row(index);
        if (!row) continue;
        OfItem* item = row->get_item();
        if (!item) item = row->get_object();
        if (item && seen.insert(item).second) items.add(item);
    }
    return items;
}

void GuiOfItemSpreadsheet::on_spreadsheet_selection_changed()
{
    if (m_mute_selection) return;
    AppSelection& selection = get_application().get_selection();
    CoreString const& group = AppSelection::get_global_group_label();
    CoreString const& slot = AppSelection::get_global_slot_label();
    CoreVector<OfItem*> const items = get_selected_items();
    m_mute_selection = true;
    if (items.is_empty())
        selection.clear_selection(group, slot);
    else
        selection.set_selection(group, slot, items);
    m_mute_selection = false;
}

void GuiOfItemSpreadsheet::on_own_selection(GuiSpreadsheet&, EventInfo const&, void*)
{
    on_spreadsheet_selection_changed();
}

void GuiOfItemSpreadsheet::on_application_selection(EventObject&, EventInfo const& info, void*)
{
    // The sheet's own change comes back: nothing to show.
    if (m_mute_selection) return;
    auto const* change = static_cast<AppSelection::Change const*>(info.get_event_data());
    if (change && (change->group != AppSelection::get_global_group_label() ||
                   change->slot != AppSelection::get_global_slot_label()))
        return;
    m_selection_from_application = true;
    set_is_dirty(true);
}

void GuiOfItemSpreadsheet::apply_application_selection()
{
    m_selection_from_application = false;
    CoreVector<OfItem*> const items = get_application().get_selection().get_items(
        AppSelection::get_global_group_label(), AppSelection::get_global_slot_label());
    set_selection(items, m_scroll_to_selection);
    m_scroll_to_selection = false;
}

void GuiOfItemSpreadsheet::request_scroll_to_selection()
{
    m_scroll_to_selection = true;
    m_selection_from_application = true;
    set_is_dirty(true);
}

// --- Commands ---

void GuiOfItemSpreadsheet::enter_into_context(OfContext& context)
{
    unselect_all(true);
    get_application().get_selection().set_slot_working_context(AppSelection::get_global_group_label(),
                                                               AppSelection::get_global_slot_label(), context);
    list_entered_context(context);
    raise_event(EVT_ID_SPREADSHEET_ITEM_ACTIVATE);
    raise_event(EVT_ID_CONTEXT_TREE_SELECT);
}

void GuiOfItemSpreadsheet::list_entered_context(OfContext& context)
{
    set_context(&context, true);
}

void GuiOfItemSpreadsheet::popup_menu(OfItem* item)
{
    if (!item) item = get_context();
    if (!item) return;
    if (!m_menu) m_menu = new GuiOfItemMenu(*this, m_filter_classes);
    CoreVector<OfItem*> items = get_selected_items();
    if (std::find(items.begin(), items.end(), item) == items.end()) {
        items.clear();
        items.add(item);
    }
    m_menu->remove_all_items();
    m_menu->set_items(items);
    OfContext* context = item->is_context() ? item->to_context() : item->get_context();
    m_menu->populate(context, false);
    m_menu->build_items_menu(item);
    m_menu->popup();
}

bool GuiOfItemSpreadsheet::rename_item(OfItem const& item)
{
    int const row = get_index_row(&item);
    if (row < 0 || !OfItemHandle(&item).get_can_rename()) {
        CORE_LOG_WARNING("GuiOfItemSpreadsheet.rename_item: \"" << item.get_name() << "\" "
                                                                << (row < 0 ? "has no row here" : "cannot be renamed")
                                                                << "\n");
        return false;
    }
    set_preselection_cell(get_name_column(), row);
    start_edit_cell_content();
    return is_editing();
}

int GuiOfItemSpreadsheet::get_name_column() const
{
    for (int column = 0; column < get_column_count(); ++column)
        if (get_column_sort_type(column) == GuiOfItemSort::KEY_NAME) return column;
    return 0;
}

void GuiOfItemSpreadsheet::on_menu_rename(GuiWidget&, EventInfo const& info, void*)
{
    if (auto const* item = static_cast<OfItem const*>(info.get_event_data())) rename_item(*item);
}

void GuiOfItemSpreadsheet::on_action(GuiWidget& widget, GuiAction const& action, void*)
{
    auto& sheet = static_cast<GuiOfItemSpreadsheet&>(widget);
    sheet.run_action(action.get_name());
}

void GuiOfItemSpreadsheet::run_action(CoreString const& name)
{
    if (name != "Rename") return;
    int column = -1, row = -1;
    get_cursor_position(column, row);
    if (row < 0 && !get_selected_rows().is_empty()) row = static_cast<int>(get_selected_rows()[0]);
    GuiOfItemSpreadsheetRow const* item_row = row >= 0 ? get_item_row(static_cast<unsigned int>(row)) : nullptr;
    if (OfItem const* item = item_row ? item_row->get_item() : nullptr) rename_item(*item);
}

bool GuiOfItemSpreadsheet::activate_row(int const& row)
{
    GuiOfItemSpreadsheetRow const* item_row = row >= 0 ? get_item_row(static_cast<unsigned int>(row)) : nullptr;
    if (!item_row) return false;
    if (OfContext* context = item_row->get_context()) {
        enter_into_context(*context);
        return true;
    }
    OfObject* object = item_row->get_kind() == GuiOfItemSpreadsheetRow::ROW_KIND_OBJECT ? item_row->get_object() : nullptr;
    if (object && GuiOfItemSort::has_object(*object)) {
        set_context_object(OfHandle(object), true);
        return true;
    }
    return false;
}

bool GuiOfItemSpreadsheet::on_cell_double_click(GuiSpreadsheetCell* cell, int const& column, int const& row)
{
    GuiOfItemSpreadsheetRow* item_row = row >= 0 ? get_item_row(static_cast<unsigned int>(row)) : nullptr;
    if (!item_row || !item_row->is_item_row()) return GuiSpreadsheet::on_cell_double_click(cell, column, row);
    bool const shift = Gui::is_modifier_shift();
    bool const alt = Gui::is_modifier_alt();
    OfContext* context = item_row->get_context();
    OfObject* object = item_row->get_object();
    bool done = false;
    if (item_row->has_children() && !(context && shift && m_open_default_widget)) {
        toggle_show_children(static_cast<unsigned int>(row), !item_row->is_show_children());
        done = true;
    }
    if (context && !shift) {
        enter_into_context(*context);
    } else if (object && !alt && GuiOfItemSort::has_object(*object) && !item_row->has_children()) {
        set_context_object(OfHandle(object), true);
    } else if (!done && m_open_default_widget) {
        if (OfItem* item = item_row->get_item()) get_application().open_default_widget(*item, alt);
    }
    raise_event(EVT_ID_SPREADSHEET_CLICK);
    return true;
}

// --- Renaming ---

void GuiOfItemSpreadsheet::start_edit_cell_content()
{
    if (is_editing()) return;
    int row = get_preselection_row();
    if (row < 0) {
        int column = -1;
        get_cursor_position(column, row);
    }
    GuiOfItemSpreadsheetRow const* item_row = row >= 0 ? get_item_row(static_cast<unsigned int>(row)) : nullptr;
    OfItem const* item = item_row ? item_row->get_item() : nullptr;
    if (!item || !OfItemHandle(item).get_can_rename()) {
        CORE_LOG_WARNING("GuiOfItemSpreadsheet.start_edit_cell_content: "
                         << (item ? "\"" + item->get_name() + "\" cannot be renamed" : CoreString("no item to rename"))
                         << "\n");
        end_edit_cell_content();
        return;
    }
    set_full_row_edition_column_index(static_cast<unsigned int>(get_name_column()));
    GuiSpreadsheet::start_edit_cell_content();
}

void GuiOfItemSpreadsheet::set_cell_content(GuiSpreadsheetCell* cell, CoreString const& text)
{
    GuiOfItemSpreadsheetRow const* row = cell ? static_cast<GuiOfItemSpreadsheetRow const*>(cell->get_row()) : nullptr;
    OfItem* item = row ? row->get_item() : nullptr;
    if (!item) {
        CORE_LOG_WARNING("GuiOfItemSpreadsheet.set_cell_content: the item left the scene; nothing renamed\n");
        return;
    }
    CoreString const name = text.get_trim();
    if (name == item->get_name()) return;
    char const* refusal = nullptr;
    if (name.is_empty())
        refusal = "an empty name";
    else if (!OfItem::is_valid_name(name))
        refusal = "not a valid name (letters, digits and '_', not starting with a digit)";
    else if (item->is_context() || !item->to_object()->get_parent()
                 ? item->get_context() && item->get_context()->is_name_taken(name)
                 : item->to_object()->get_parent()->get_embedded_object(name) != nullptr)
        refusal = "a name taken by another item there";
    if (refusal) {
        CORE_LOG_WARNING("GuiOfItemSpreadsheet.set_cell_content: \"" << name << "\" is " << refusal << "; \""
                                                                     << item->get_full_name() << "\" keeps its name\n");
        return;
    }
    if (get_application().get_builtin_commands().rename_item(item->get_full_name(), name))
        raise_event(EventInfo(EVT_ID_SPREADSHEET_CELL_UPDATED, cell));
}

// --- Sorting ---

void GuiOfItemSpreadsheet::set_sort_type(int const& key)
{
    auto const is_name_key = [](int const& k) { return k == GuiOfItemSort::KEY_NAME || k == GuiOfItemSort::KEY_COLOR; };
    int const current = get_sort_type();
    if (!is_name_key(current) || !is_name_key(key)) {
        GuiSpreadsheet::set_sort_type(key);
        return;
    }
    // The Name column: name up, name down, colour up, colour down, unsorted.
    int const order = get_sort_order();
    if (current == GuiOfItemSort::KEY_NAME && order == 1)
        set_sort_state(GuiOfItemSort::KEY_NAME, -1);
    else if (current == GuiOfItemSort::KEY_NAME && order == -1)
        set_sort_state(GuiOfItemSort::KEY_COLOR, 1);
    else if (current == GuiOfItemSort::KEY_COLOR && order == 1)
        set_sort_state(GuiOfItemSort::KEY_COLOR, -1);
    else if (current == GuiOfItemSort::KEY_COLOR)
        set_sort_state(GuiOfItemSort::KEY_NAME, 0);
    else
        set_sort_state(GuiOfItemSort::KEY_NAME, 1);
}

int GuiOfItemSpreadsheet::get_sort_indicator(unsigned int const& entry) const
{
    if (get_sort_type() == GuiOfItemSort::KEY_COLOR && entry >= 1 &&
        get_column_sort_type(static_cast<int>(entry) - 1) == GuiOfItemSort::KEY_NAME)
        return get_sort_order();
    return GuiSpreadsheet::get_sort_indicator(entry);
}

void GuiOfItemSpreadsheet::on_sort_changed(GuiSpreadsheet&, EventInfo const&, void*)
{
    if (m_rebuild_pending) return;
    rebuild();
}

// --- Events ---

int GuiOfItemSpreadsheet::process_event(CoreString const& name)
{
    if (!is_enabled()) return GuiSpreadsheet::process_event(name);
    int const mouse_x = Gui::get_relative_mouse_x(*this), mouse_y = Gui::get_relative_mouse_y(*this);
    bool const over = mouse_x >= 0 && mouse_y >= 0 && mouse_x < get_width() && mouse_y < get_height();
    if (name == EVT_ID_MOUSE_WHEEL && Gui::is_modifier_ctrl() && !is_editing()) {
        step_icon_size(Gui::get_wheel_dy());
        return 1;
    }
    if (name == EVT_ID_KEY_DOWN && !is_editing() && over) {
        int const key = Gui::get_last_key_pressed();
        if (key == Gui::KEY_ID_ENTER || key == Gui::KEY_ID_KEYPAD_ENTER) {
            int column = -1, row = -1;
            get_cursor_position(column, row);
            if (activate_row(row)) return 1;
        }
    }
    if (name == EVT_ID_MOUSE_DOWN && Gui::get_event_mouse_button() == Gui::MOUSE_BUTTON_ID_RIGHT) {
        m_right_press = true;
        m_right_dragged = false;
        m_right_press_x = Gui::get_relative_mouse_x(*this);
        m_right_press_y = Gui::get_relative_mouse_y(*this);
        m_right_press_row = get_row_at(get_y() + m_right_press_y);
        return 1;
    }
    if (name == EVT_ID_MOUSE_DRAG && m_right_press && !m_right_dragged) {
        int const dx = Gui::get_relative_mouse_x(*this) - m_right_press_x;
        int const dy = Gui::get_relative_mouse_y(*this) - m_right_press_y;
        if (dx * dx + dy * dy > DRAG_THRESHOLD * DRAG_THRESHOLD && m_right_press_row >= 0) {
            m_right_dragged = true;
            if (!is_row_selected(m_right_press_row)) {
                CoreVector<unsigned int> rows;
                rows.add(static_cast<unsigned int>(m_right_press_row));
                set_selection_rows(rows, true, true);
            }
            s_right_button_drag = true;
            do_initiate_dnd_event();
            s_right_button_drag = false;
            m_right_press = false;
        }
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP && m_right_press) {
        m_right_press = false;
        if (m_right_dragged) return 1;
        GuiOfItemSpreadsheetRow const* row =
            m_right_press_row >= 0 ? get_item_row(static_cast<unsigned int>(m_right_press_row)) : nullptr;
        OfItem* item = row ? (row->get_item() ? row->get_item() : row->get_object()) : nullptr;
        if (row && !item) return 1;  // a row whose item left the scene
        popup_menu(item);
        return 1;
    }
    return GuiSpreadsheet::process_event(name);
}

void GuiOfItemSpreadsheet::widget_update()
{
    if (m_rebuild_pending) rebuild();
    if (!m_pending_reinserts.empty()) {
        std::vector<OfItem*> items(m_pending_reinserts.begin(), m_pending_reinserts.end());
        m_pending_reinserts.clear();
        for (OfItem* item : items)
            if (item->is_in_scene()) reinsert_item_rows(*item);
    }
    if (m_selection_from_application) apply_application_selection();
    GuiSpreadsheet::widget_update();
}

// --- Drag and drop ---

bool GuiOfItemSpreadsheet::do_initiate_dnd_event()
{
    // A press on a row outside the selection drags that row alone.
    CoreVector<OfHandle> handles;
    int const pressed = get_preselection_row();
    GuiOfItemSpreadsheetRow const* row = pressed >= 0 ? get_item_row(static_cast<unsigned int>(pressed)) : nullptr;
    if (row && !is_row_selected(pressed)) {
        if (OfItem* item = row->get_item()) handles.add(OfHandle(item));
    } else {
        for (OfItem* item : get_selected_items()) handles.add(OfHandle(item));
    }
    if (handles.is_empty()) return false;
    return initiate_dnd_event(handles);
}

CoreVector<OfHandle> GuiOfItemSpreadsheet::get_dragged_handles()
{
    CoreVector<OfHandle> handles;
    for (CoreBaseObject const* object : get_dnd_event_data())
        if (OfHandle const* handle = get_dnd_handle(object))
            if (handle->get_kind() == OfHandle::KIND_OBJECT || handle->get_kind() == OfHandle::KIND_CONTEXT)
                handles.add(*handle);
    return handles;
}

bool GuiOfItemSpreadsheet::is_valid_dnd_data() const
{
    for (OfHandle const& handle : get_dragged_handles())
        if (handle.is_item()) return true;
    return false;
}

OfContext* GuiOfItemSpreadsheet::get_drop_context(int const& row) const
{
    GuiOfItemSpreadsheetRow const* item_row = row >= 0 ? get_item_row(static_cast<unsigned int>(row)) : nullptr;
    if (!item_row) return get_context();
    if (OfContext* context = item_row->get_context()) return context;
    if (OfObject* object = item_row->get_object()) return object->get_context();
    return get_context();
}

int GuiOfItemSpreadsheet::process_dnd_event(CoreString const& name)
{
    if (name != EVT_ID_DND_RELEASE) return GuiSpreadsheet::process_dnd_event(name);
    // The row under the pointer now: the drop target the drag events kept may be gone.
    set_dnd_info(-1, -1, false);
    OfContext* target = get_drop_context(get_row_at(get_y() + Gui::get_relative_mouse_y(*this)));
    CoreVector<OfHandle> const handles = get_dragged_handles();
    if (!target || handles.is_empty()) return 1;
    // The drop runs once the drag-and-drop event has returned.
    delete m_pending_drop;
    m_pending_drop = new PendingDrop{handles, OfContextHandle(target), s_right_button_drag};
    if (!m_drop_timer) m_drop_timer = get_application().add_timer(&GuiOfItemSpreadsheet::on_drop_timer, this, 0.0);
    return 1;
}

void GuiOfItemSpreadsheet::on_drop_timer(void* data)
{
    auto* sheet = static_cast<GuiOfItemSpreadsheet*>(data);
    sheet->m_drop_timer = 0;
    PendingDrop* drop = sheet->m_pending_drop;
    sheet->m_pending_drop = nullptr;
    if (!drop) return;
    OfContext* target = drop->target.to_context();
    CoreVector<OfItem*> items;
    unsigned int gone = 0;
    for (OfHandle const& handle : drop->handles)
        if (OfItem* item = handle.to_item())
            items.add(item);
        else
            ++gone;
    if (gone || !target)
        CORE_LOG_WARNING("GuiOfItemSpreadsheet.on_drop_timer: "
                         << (target ? CoreString() + gone + " dragged item(s) left the scene before the drop"
                                    : CoreString("the drop context left the scene"))
                         << "\n");
    if (target && !items.is_empty()) sheet->drop_items(items, *target, drop->with_menu);
    delete drop;
}

void GuiOfItemSpreadsheet::drop_items(CoreVector<OfItem*> const& items, OfContext& target, bool const& with_menu)
{
    if (!with_menu) {
        run_default_drop(items, target);
        return;
    }
    if (!m_menu) m_menu = new GuiOfItemMenu(*this, m_filter_classes);
    m_menu->remove_all_items();
    m_menu->build_drop_menu(items, &target);
    m_menu->popup();
}

bool GuiOfItemSpreadsheet::run_default_drop(CoreVector<OfItem*> const& items, OfContext& target)
{
    GuiItemActions::DropAction const action = GuiItemActions::get_default_drop_action(items, &target);
    if (action == GuiItemActions::DROP_ACTION_NONE) {
        CORE_LOG_WARNING("GuiOfItemSpreadsheet.run_default_drop: the items cannot be moved, instanced or copied into \""
                         << target.get_full_name() << "\"\n");
        return false;
    }
    return GuiItemActions::run_drop_action(action, items, &target);
}

size_t GuiOfItemSpreadsheet::get_memory_size() const
{
    return GuiSpreadsheet::get_memory_size() - sizeof(GuiSpreadsheet) + sizeof(GuiOfItemSpreadsheet) +
           m_pool.get_memory_size() +
           m_rows_by_item.size() * (sizeof(void*) * 2 + sizeof(std::pair<OfItem const*, void*>)) +
           m_rows_by_item.bucket_count() * sizeof(void*);
}
