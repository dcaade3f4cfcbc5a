#pragma once
// GuiTreeItemBasic: the ready-made tree item, an icon and a name drawn by its inner widget
// (GuiTreeItemBasicWidget, the item's first hosted widget), with renaming in place through a
// line edit shared by all basic items and a highlighted keyword span.
//
//     GuiTreeItemBasic* item = new GuiTreeItemBasic(*parent, "key_light");
//     item->set_icon(&light_icon);
//     item->enable_highlight_keyword(4, 5);     // "light" backed by the highlight colour
//
// The inner widget is made when the tree first places the item, so that an item never
// shown costs no toolkit object. A Shift click (without Ctrl) on a selected, renamable item
// of a tree that had the focus opens the editor 500 ms later unless a second such click
// comes first; only one rename can be pending at a time.
#include "gui/core/gui_export.h"
#include "gui/tree/gui_tree_item.h"
#include "host/app/app_base.h"

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_ITEM_BASIC_RENAME);

class GuiImage;
class GuiLineEdit;
class GuiTreeItemBasic;

// Draws the basic item's icon and name and hands the mouse and drag-and-drop events to it.
class QN_GUI_API GuiTreeItemBasicWidget : public GuiWidget {
    CORE_DECLARE_CLASS(GuiTreeItemBasicWidget, GuiWidget)

public:
    static constexpr int HEIGHT = 22;
    // Between the icon and the name.
    static constexpr int ICON_GAP = 4;

    explicit GuiTreeItemBasicWidget(GuiTreeItemBasic& item);

    GuiTreeItemBasic& get_item() const { return *m_item; }
    bool const& is_pressed() const { return m_pressed; }
    void set_pressed(bool const& pressed) { m_pressed = pressed; }
    // Whether the tree had the keyboard focus when the item was pressed.
    bool const& is_focused_at_press() const { return m_focused_at_press; }
    void set_focused_at_press(bool const& focused) { m_focused_at_press = focused; }
    // Window x where the name starts.
    int get_text_x() const;

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    // The item places its widgets.
    void apply_constraints(int const&, int const&, int const&, int const&) override {}

private:
    GuiTreeItemBasic* m_item;
    bool m_pressed = false;
    bool m_focused_at_press = false;
};

class QN_GUI_API GuiTreeItemBasic : public GuiTreeItem {
    CORE_DECLARE_CLASS(GuiTreeItemBasic, GuiTreeItem)

public:
    // From a click to the rename editor, in seconds.
    static constexpr double RENAME_DELAY = 0.5;

    GuiTreeItemBasic(GuiTreeItem& parent_item, CoreString const& name = CoreString());
    ~GuiTreeItemBasic() override;

    size_t get_memory_size() const override;

    CoreString const& get_name() const { return m_name; }
    void set_name(CoreString const& name);
    // The first icon is drawn; null for none.
    void set_icon(GuiImage const* icon);
    void set_icons(CoreArray<GuiImage const*> const& icons);
    GuiImage const* get_icon() const;
    CoreArray<GuiImage const*> const& get_icons() const { return m_icons; }
    void set_draw_icon_disabled(bool const& disabled);
    bool const& is_draw_icon_disabled() const { return m_draw_icon_disabled; }
    GMathVec3<unsigned char> const& get_highlight_color() const { return m_highlight_color; }
    // Backs `length` bytes of the name from `start` with the highlight colour.
    void enable_highlight_keyword(int const& start, int const& length);
    void disable_highlight_keyword();
    int const& get_highlight_keyword_start() const { return m_keyword_start; }
    int const& get_highlight_keyword_length() const { return m_keyword_length; }
    // Pixels between the widget's left edge and the icon.
    void set_drawing_offset(int const& offset);
    int const& get_drawing_offset() const { return m_drawing_offset; }
    // Null until the tree first places the item.
    GuiTreeItemBasicWidget* get_inner_widget() const { return m_inner; }

    // The lower-cased first character of the name.
    bool text_starts_with(char const& letter) const override;

    // --- Renaming ---
    virtual bool is_renamable() const;
    virtual CoreString get_item_name() const;
    virtual void set_item_name(CoreString const& name);
    // A committed new name: set_item_name when it differs, EVT_ID_TREE_ITEM_BASIC_RENAME,
    // then the tree's rename_item.
    virtual void on_rename(CoreString const& name);
    // Opens the shared editor over the name (renamable items of a shown tree only).
    void rename();
    bool is_renaming() const;
    static bool is_rename_pending();
    static GuiTreeItemBasic* get_rename_pending_item();
    // The editor shared by all basic items; null until one renames.
    static GuiLineEdit* get_rename_editor();

    // --- Hooks of the inner widget's events; non-zero when handled ---
    virtual int on_mouse_down();
    virtual int on_mouse_move();
    virtual int on_mouse_drag();
    virtual int on_mouse_up();
    virtual int on_dnd_enter();
    virtual int on_dnd_drag();
    virtual int on_dnd_leave();
    virtual int on_dnd_release();

protected:
    void prepare_toolkit() override;

private:
    static void on_rename_timer(void* data);
    void cancel_pending_rename();
    void on_rename_end(GuiWidget& sender, EventInfo const& info, void* data);
    void close_editor();

    CoreString m_name;
    CoreArray<GuiImage const*> m_icons;
    bool m_draw_icon_disabled = false;
    GMathVec3<unsigned char> m_highlight_color = GMathVec3<unsigned char>(200, 200, 200);
    int m_keyword_start = 0;
    int m_keyword_length = 0;
    int m_drawing_offset = 0;
    GuiTreeItemBasicWidget* m_inner = nullptr;
};
