#pragma once
// GuiExplorer: the whole scene as an expandable tree: contexts, their contexts and objects,
// the objects embedded in objects and the attributes of objects (only contexts, or only the
// attributes holding values of their own, on request). Rows are sorted like the item
// spreadsheet's, follow the scene's changes one item at a time, and an object's attribute
// rows are made the first time it opens, so a scene of 100,000 objects opens without
// making a row per attribute.
//
//     GuiExplorer* explorer = new GuiExplorer(*window, 0, 0, 300, 500);
//     if (ParserGroup const* saved = settings.get_group("explorer"))   // settings: a ParserGroup
//         explorer->load_settings(*saved);                              // columns, order, open rows
//     ...
//     explorer->save_settings(settings.add_group("explorer"));
//
// Without calls of its own, an explorer takes the layout the last one left in the user's
// preferences (GuiExplorerPreference) when it first lists the scene, and leaves its own
// there when it goes.
//
// Its actions (the explorer must have the keyboard focus): "Rename" (F2), "Image"
// (Ctrl+Shift+I), "Locator" (Ctrl+Shift+L), "Group" (Ctrl+Shift+G) create an item of that
// class in the working context; "Hide" (Ctrl+H), "Show" (Shift+H); "Delete Selection" (Del)
// and "Permanently Delete Selection" (Shift+Del), which also revert the values of selected
// attribute rows, all in one undo step.
#include "gui/explorer/gui_of_item_spreadsheet.h"
#include "host/app/app_object.h"
#include "host/parser/parser_group.h"

class GuiExplorer;

// The explorer's settings as the user left them, kept with the application's preferences
// (the class preference get_key(), written with the preferences file).
class QN_GUI_API GuiExplorerPreference : public AppObjectClassPreference {
    CORE_DECLARE_CLASS(GuiExplorerPreference, AppObjectClassPreference)

public:
    // "GuiExplorer".
    static CoreString const& get_key();
    ParserGroup const& get_group() const { return m_group; }
    void set_group(ParserGroup const& group) { m_group = group; }
    // The explorer whose settings are written when the preferences are saved (the one that
    // restored them last, while it exists); null: the group kept.
    void set_live_explorer(GuiExplorer* explorer) { m_live = explorer; }
    GuiExplorer* get_live_explorer() const { return m_live; }
    void save(ParserGroup& group) const override;
    bool load(ParserGroup const& group) override
    {
        m_group = group;
        return true;
    }
    void clear() override { m_group.clear(); }
    size_t get_memory_size() const override { return sizeof(GuiExplorerPreference) + m_group.get_memory_size(); }

private:
    ParserGroup m_group;
    GuiExplorer* m_live = nullptr;
};

class QN_GUI_API GuiExplorer : public GuiOfItemSpreadsheet {
    CORE_DECLARE_CLASS(GuiExplorer, GuiOfItemSpreadsheet)

public:
    // `only_contexts` lists contexts alone; `classes` filters the objects listed.
    GuiExplorer(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                bool const& only_contexts = false, CoreVector<OfClass const*> const& classes = {});
    // Leaves its settings in the user's preferences.
    ~GuiExplorer() override;

    // Lists the scene again from the tree's root (rows, expansion and selection kept).
    void build_tree() { rebuild(); }
    // The context whose content the tree shows at its top level; the scene's root at first.
    void set_vizroot(OfContext const* context);
    OfContext* get_vizroot() const { return get_context(); }
    // Selects the context's row (its parents open), in the application's selection too, and
    // makes it the working context.
    void set_context(OfContext const* context, bool const& raise) override;
    void set_display_only_contexts(bool const& only);
    bool const& is_display_only_contexts() const { return m_only_contexts; }
    // Attribute rows only for attributes holding values of their own, or only for those an
    // instance (or an overridden reference) holds instead of its source's.
    void set_display_only_localized_attrs(bool const& only);
    void set_display_only_overridden_attrs(bool const& only);
    bool const& is_display_only_localized_attrs() const { return m_only_localized; }
    bool const& is_display_only_overridden_attrs() const { return m_only_overridden; }
    // Whether an attribute gets a row under the filters above.
    bool is_attr_listed(OfAttr const& attr) const;
    // Opens the rows of everything holding these items, so that their rows show.
    void opened_rows_with_ofitem(CoreVector<OfItem*> const& items);
    // While off, scene changes only mark the tree stale; turning it on again (or
    // refresh_evaluation) lists the scene once.
    void enable_evaluation(bool const& enable);
    bool const& is_evaluation_enabled() const { return m_evaluation_enabled; }
    void refresh_evaluation();

    // Settings: "tree_sort_type", "tree_sort_order", "tree_columns_type" (column keys),
    // "tree_columns_width" and "rows_expand" (full names of the open rows). Loading checks
    // each entry: a wrong type, an unknown column key or a sort key out of range is reported
    // and left out, the rest applies.
    void save_settings(ParserGroup& group) override;
    void load_settings(ParserGroup const& group) override;
    // The same through the user's preferences (GuiExplorerPreference), made when missing.
    GuiExplorerPreference& get_preference() const;
    void store_settings();
    void restore_settings();
    void widget_update() override;

    // Opening an object row the first time makes its attribute rows.
    void toggle_show_children(unsigned int const& row, bool const& show) override;
    // Opening everything makes every attribute row first.
    void expand_all(bool const& expand) override;
    void run_action(CoreString const& name) override;
    // Deletes the selected items (through the trash unless `permanently`) and reverts the
    // selected attribute rows' values; one undo step "RemoveExplorerSelection" when more
    // than one command runs.
    bool delete_selection(bool const& permanently);
    // Creates an object of the class in the working context (selected); false with a
    // warning when the scene has no such class.
    OfObject* create_item(CoreString const& class_name);

protected:
    void build_rows(CoreVector<GuiSpreadsheetRow*>& rows) override;
    bool find_parent_row(OfItem const& item, int& parent) const override;
    void make_item_rows(OfItem& item, CoreVector<GuiSpreadsheetRow*>& rows) override;
    void on_items_changed(CoreString const& event, OfEventData const* data) override;
    // Many objects opening at once (loaded settings) get their attribute rows in one listing
    // rather than one insertion each.
    void open_rows_of(std::vector<OfItem const*> const& items) override;
    // The tree does not change: entering a context selects its row and makes it the working
    // context.
    void list_entered_context(OfContext& context) override;

private:
    // Appends the attribute rows of the object row at `index` after its subtree.
    void build_attribute_rows(unsigned int const& index);
    void make_attribute_rows(OfObject const& object, CoreVector<GuiSpreadsheetRow*>& rows);
    bool has_listed_attrs(OfObject const& object) const;
    // Takes out the attribute rows of an object row and makes them again (the filters may
    // list other attributes now).
    void refresh_attribute_rows(OfObject const& object);

    bool m_only_contexts;
    bool m_only_localized = false;
    bool m_only_overridden = false;
    bool m_evaluation_enabled = true;
    // Every object's attribute rows are made at once (after expand_all).
    bool m_build_all_attributes = false;
    bool m_settings_restored = false;
    // Objects whose attribute rows were made once: listing again makes them at once.
    std::unordered_set<OfItem const*> m_attribute_rows_made;
    // More objects than this opening at once are listed again instead.
    static constexpr size_t OPEN_BY_LISTING = 32;
};
