#pragma once
// GuiOfItemSpreadsheet: a spreadsheet of scene items. One row per item (object or context),
// attribute, output or plain string (GuiOfItemSpreadsheetRow); a fixed "Name" column and
// optional columns by key (GuiOfItemSort::Key: dates, type, source, path, holds-objects,
// comment); rows in natural name order or by any column; text and class filters; renaming
// in place; the item menu; dragging items between contexts. This class lists the content
// of one context (or the objects embedded in one object) flat; GuiExplorer lists the whole
// scene as a tree.
//
//     GuiOfItemSpreadsheet* sheet = new GuiOfItemSpreadsheet(*window, 0, 0, 400, 300);
//     sheet->add_column_type(GuiOfItemSort::KEY_TYPE, "Type");
//     sheet->set_context(scene.get_context("/geometry"), false);
//     sheet->set_filter_text("wheel");          // rows whose text holds "wheel"
//
// The sheet follows the scene: the framework's events add, remove, rename and move single
// rows in place (at their sorted place among their siblings), so a change costs the rows it
// touches, not the scene. Selecting rows selects their items in the application's global
// selection, and the sheet shows that selection in return. Every edit goes through the
// application's commands, one undo step each.
#include <unordered_map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "gui/explorer/gui_of_item_sort.h"
#include "gui/explorer/gui_of_item_spreadsheet_row.h"
#include "gui/spreadsheet/gui_spreadsheet.h"
#include "host/image/image_icon.h"

class GuiOfItemMenu;
class OfClass;
class OfObjectFactory;
struct OfEventData;

// The context object the sheet lists changed (a context entered, an object opened).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_OF_ITEM_SPREADSHEET_CONTEXT_OBJECT_CHANGED);
// A context was entered from the sheet.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SPREADSHEET_ITEM_ACTIVATE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CONTEXT_TREE_SELECT);

class QN_GUI_API GuiOfItemSpreadsheet : public GuiSpreadsheet {
    CORE_DECLARE_CLASS(GuiOfItemSpreadsheet, GuiSpreadsheet)

public:
    GuiOfItemSpreadsheet(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    ~GuiOfItemSpreadsheet() override;

    OfObjectFactory& get_scene() const;

    // --- What is listed ---
    // The context (or object) whose content the sheet lists; the scene's root at first.
    OfHandle const& get_context_object() const { return m_context_object; }
    // The listed context, or the context of the listed object.
    OfContext* get_context() const;
    // Lists a context's content; with `raise`, EVT_ID_OF_ITEM_SPREADSHEET_CONTEXT_OBJECT_CHANGED.
    // Null or a context out of the scene is refused with a warning.
    virtual void set_context(OfContext const* context, bool const& raise);
    // A context or an object (its embedded objects).
    virtual void set_context_object(OfHandle const& handle, bool const& raise);
    // Only items of these classes (or classes derived from them) are listed; contexts always.
    virtual void set_filter_classes(CoreVector<OfClass const*> const& classes);
    CoreVector<OfClass const*> const& get_filter_classes() const { return m_filter_classes; }
    // True when the filter is empty or the class is a kind of one of its classes.
    bool is_valid_class_by_filter(OfClass const& of_class) const;
    // The filter words (the sheet's highlight words): the item's name, class and source
    // contain them all. Items the sheet never shows (shadowed ones) fail.
    bool is_valid_by_text_filter(OfItem const& item) const;
    // Sets the filter words and hides the rows that fail them; in a tree, the parents of rows
    // that pass stay shown and open, and their expansion comes back when the text is cleared.
    void set_filter_text(CoreString const& text);
    CoreString const& get_filter_text() const { return get_highlight_filter_text(); }
    // Whether the sheet lists this context at all (not shadowed by default).
    virtual bool is_context_displayable(OfContext const& context) const;
    // Whether the item may have a row: not shadowed, a displayable context or an object
    // passing the class filter.
    bool is_listed(OfItem const& item) const;
    // While off, the scene's additions, renames and moves only mark the rows stale (removed
    // items still leave at once); turning it on again lists the scene once if it changed.
    void set_follow_scene(bool const& follow);
    bool const& is_following_scene() const { return m_follow_scene; }

    // --- Rows ---
    // Empties the sheet and lists again (expanded rows, selection and cursor kept).
    void rebuild();
    // Empties the sheet.
    virtual void clear();
    GuiOfItemSpreadsheetRow* get_item_row(unsigned int const& index) const;
    // The row of an item; -1 when the item has none. Looks at the row's last place, then
    // NEAR_SEARCH rows around it, then refreshes every row's place.
    int get_index_row(OfItem const* item) const;
    static constexpr unsigned int NEAR_SEARCH = 256;
    // Where every row sits now (lookups then cost one check each).
    void refresh_items_to_row_index() const;
    // Rows come from a pool and go back to it.
    GuiOfItemSpreadsheetRow* get_new_row_from_pool();
    void free_row_from_pool(GuiOfItemSpreadsheetRow* row);
    // Frees the pool's blocks (the sheet must hold no row).
    void clean_rows_pool();
    GuiOfItemSpreadsheetPool<GuiOfItemSpreadsheetRow> const& get_rows_pool() const { return m_pool; }
    // A row for the item with its cells, from the pool (not added yet).
    GuiOfItemSpreadsheetRow* make_item_row(OfItem const& item);

    // --- Columns ---
    // Adds the column of a key (GuiOfItemSort::Key) and gives every row its cell.
    bool add_column_type(int const& key, CoreString const& title) override;
    bool remove_column_type(int const& key) override;
    // The title of a key's column ("Name", "Type", ...; empty for keys without a column).
    static CoreString get_column_type_title(int const& key);

    // --- Icons ---
    ImageIcon::ImageIconSize const& get_icon_size() const { return m_icon_size; }
    // Rows are as high as the icons.
    void set_icon_size(ImageIcon::ImageIconSize const& size);

    // --- Selection ---
    // Selects the rows of these items (others unselected); with `scroll`, the first comes
    // into view. The application's selection is not changed by this call.
    virtual void set_selection(CoreVector<OfItem*> const& items, bool const& scroll);
    // The items of the selected rows in selection order, without duplicates; attribute and
    // output rows give their object.
    CoreVector<OfItem*> get_selected_items() const;
    // Sends the selected rows' items to the application's global selection.
    virtual void on_spreadsheet_selection_changed();
    // The next update pass shows the application's selection and scrolls to its first row.
    void request_scroll_to_selection();

    // --- Commands ---
    // Clears the selection, makes the context the application's working context and raises
    // EVT_ID_SPREADSHEET_ITEM_ACTIVATE and EVT_ID_CONTEXT_TREE_SELECT.
    virtual void enter_into_context(OfContext& context);
    // Opens the item menu for the item (the current context when null).
    virtual void popup_menu(OfItem* item);
    GuiOfItemMenu* get_menu() const { return m_menu; }
    // Starts renaming the item's row in place; false (with a warning) when the item has no
    // row or cannot be renamed.
    bool rename_item(OfItem const& item);
    // The column showing names.
    int get_name_column() const;
    // Runs one of the sheet's actions by name ("Rename").
    virtual void run_action(CoreString const& name);
    // A double click on an item without children opens its default editor.
    bool const& is_open_default_widget_on_double_click() const { return m_open_default_widget; }
    void set_open_default_widget_on_double_click(bool const& open) { m_open_default_widget = open; }
    // Moves, copies or instantiates the items into the context: the drop without a menu
    // (moving when allowed, else instancing, else copying). False when nothing was allowed.
    bool run_default_drop(CoreVector<OfItem*> const& items, OfContext& target);
    // The context a drop at a row lands in: the row's context, or the context its item is
    // in; the listed context for no row.
    OfContext* get_drop_context(int const& row) const;

    // --- Overrides ---
    int process_event(CoreString const& name) override;
    void widget_update() override;
    // Only the Name cell of the cursor row, and only when its item can be renamed.
    void start_edit_cell_content() override;
    // Renames the item through the application's rename command; an empty, invalid or taken
    // name is refused with a warning.
    void set_cell_content(GuiSpreadsheetCell* cell, CoreString const& text) override;
    // Clicks on the Name column cycle: name ascending, descending, colour tag ascending,
    // descending, unsorted. Other columns as the base sheet. The rows follow at once.
    void set_sort_type(int const& key) override;
    int get_sort_indicator(unsigned int const& entry) const override;
    // Filters mark their passing rows themselves, in the same pass that hides the others.
    bool is_highlight_text_enabled(int const& column, int const& row) const override;
    bool on_cell_double_click(GuiSpreadsheetCell* cell, int const& column, int const& row) override;
    bool do_initiate_dnd_event() override;
    bool is_valid_dnd_data() const override;
    void remove_all_data(bool const& reset_cursor = true) override;
    size_t get_memory_size() const override;

protected:
    // The rows of the listed content, depth-first, in order (added in one call by rebuild).
    virtual void build_rows(CoreVector<GuiSpreadsheetRow*>& rows);
    // The items a context object lists: contexts (displayable) and objects of a context, or
    // the embedded objects of an object; passing the class filter; sorted.
    std::vector<OfItem*> get_sorted_content(OfHandle const& holder) const;
    // Where a new item's row goes: the index of its parent row (-1 for the top level); false
    // when the sheet does not list the item.
    virtual bool find_parent_row(OfItem const& item, int& parent) const;
    // The rows of an item (the item's row first, then what it holds in a tree).
    virtual void make_item_rows(OfItem& item, CoreVector<GuiSpreadsheetRow*>& rows);
    // Scene changes.
    void insert_item_rows(OfItem& item);
    void remove_item_rows(OfItem const& item);
    // The row of an item moves to its sorted place again (a rename, a move).
    void reinsert_item_rows(OfItem& item);
    // The index among the rows at which a row for `item` goes, among the children of `parent`.
    unsigned int find_sorted_index(OfItem& item, int const& parent);
    int process_dnd_event(CoreString const& name) override;
    void destroy_row(GuiSpreadsheetRow* row) override;
    // Hides the rows that fail the filter words (their parents shown and opened).
    void apply_text_filter();
    // The same for rows first .. first + count - 1, a block whose first row roots the rest.
    void apply_text_filter_to_block(unsigned int const& first, unsigned int const& count);
    // Whether a row's searchable text holds every filter word.
    bool passes_text_filter(GuiOfItemSpreadsheetRow const& row) const;
    // Whether the text (lower-cased already unless the filter is case sensitive) holds every
    // filter word; true without words or with the single word "*".
    bool contains_filter_words(std::string_view const& text) const;
    // The expanded item rows, to keep over a rebuild.
    std::vector<OfItem const*> get_expanded_items() const;
    // Opens the rows of these items (and, with `collapse_others`, closes every other row).
    void set_expanded_items(std::vector<OfItem const*> const& items, bool const& collapse_others = false);
    // Opens the rows of these items.
    virtual void open_rows_of(std::vector<OfItem const*> const& items);
    bool const& is_rebuilding() const { return m_rebuilding; }
    // Scene events that change items without adding or removing them (attributes, flags).
    virtual void on_items_changed(CoreString const& event, OfEventData const* data);
    // What entering a context lists: this sheet lists that context.
    virtual void list_entered_context(OfContext& context);
    // The items (by handle) the drag under way carries.
    static CoreVector<OfHandle> get_dragged_handles();

private:
    void on_scene_event(OfObjectFactory& scene, EventInfo const& info, void* data);
    void on_application_selection(EventObject& selection, EventInfo const& info, void* data);
    void on_own_selection(GuiSpreadsheet& sheet, EventInfo const& info, void* data);
    void on_sort_changed(GuiSpreadsheet& sheet, EventInfo const& info, void* data);
    void on_menu_rename(GuiWidget& sender, EventInfo const& info, void* data);
    static void on_action(GuiWidget& widget, GuiAction const& action, void* data);
    void apply_application_selection();
    // Ctrl+wheel: larger or smaller icons.
    void step_icon_size(int const& wheel_dy);
    // Enter on a row: enter a context, or open an object that holds objects.
    bool activate_row(int const& row);
    static void on_drop_timer(void* data);
    void remember_row(OfItem const& item, GuiOfItemSpreadsheetRow* row);
    void drop_items(CoreVector<OfItem*> const& items, OfContext& target, bool const& with_menu);

    OfHandle m_context_object;
    CoreVector<OfClass const*> m_filter_classes;
    GuiOfItemSpreadsheetPool<GuiOfItemSpreadsheetRow> m_pool;
    GuiOfItemMenu* m_menu = nullptr;
    ImageIcon::ImageIconSize m_icon_size = ImageIcon::IMAGE_ICON_SIZE_16;
    // The row of each listed item; rows know where they were last seen.
    std::unordered_map<OfItem const*, GuiOfItemSpreadsheetRow*> m_rows_by_item;
    // Renamed items whose rows move to their sorted place in the next update pass.
    std::unordered_set<OfItem*> m_pending_reinserts;
    // Comparison records, kept between lists so that their storage is reused.
    mutable std::vector<name_and_number_for_qsort> m_context_records;
    mutable std::vector<name_and_number_for_qsort> m_object_records;
    // Expansion before the filter opened the parents of matching rows.
    std::vector<OfItem const*> m_expanded_before_filter;
    bool m_filter_active = false;
    // Set while the base sheet searches its rows for the filter words: this sheet does it.
    bool m_marking_highlights = false;
    bool m_open_default_widget = true;
    bool m_scroll_to_selection = false;
    bool m_mute_selection = false;
    bool m_selection_from_application = true;
    bool m_rebuild_pending = false;
    bool m_rebuilding = false;
    bool m_follow_scene = true;
    bool m_scene_stale = false;
    // A right-button press: where, on which row, and whether it became a drag.
    bool m_right_press = false;
    bool m_right_dragged = false;
    int m_right_press_x = 0;
    int m_right_press_y = 0;
    int m_right_press_row = -1;
    unsigned int m_drop_timer = 0;
    // A drop waiting for its timer: the items, the target and whether the menu opens.
    struct PendingDrop {
        CoreVector<OfHandle> handles;
        OfContextHandle target;
        bool with_menu = false;
    };
    PendingDrop* m_pending_drop = nullptr;
    // The drag under way started with the right button (a drop then opens the drop menu).
    static bool s_right_button_drag;
};
