#pragma once
// What the tree tests share: a fixture with a shown tree of basic items named after their
// place, clicks on an item's row with modifier keys, and the names of item lists.
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/tree/gui_tree.h"
#include "gui/tree/gui_tree_item_basic.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_event_state.h"
#include "tests/support/gui_synthetic_events.h"

// The names of basic items, "?" for other items.
inline Names names_of(CoreVector<GuiTreeItem*> const& items)
{
    Names names;
    for (GuiTreeItem* item : items) {
        GuiTreeItemBasic* basic = dynamic_cast<GuiTreeItemBasic*>(item);
        names.push_back(basic ? basic->get_name().std_string() : "?");
    }
    return names;
}

class TreeTest : public ControlsTest {
protected:
    // A shown tree whose inner area is 300 × `inner_h` at (0, 0), 22-pixel lines.
    GuiTree& make_tree(int inner_h = 200)
    {
        GuiWindow& window = make_window(320, inner_h + 2);
        m_tree = new GuiTree(window, 0, 0, 302, inner_h + 2);
        m_tree->set_line_height(22);
        m_tree->show();
        pump_events(app());
        return *m_tree;
    }
    GuiTreeItemBasic* add(GuiTreeItem& parent, std::string const& name, bool expandable = false)
    {
        GuiTreeItemBasic* item = new GuiTreeItemBasic(parent, name.c_str());
        item->set_expandable(expandable);
        return item;
    }
    // `count` leaves "<prefix><i>" under `parent`.
    void add_leaves(GuiTreeItem& parent, std::string const& prefix, int count)
    {
        for (int i = 0; i < count; ++i) add(parent, prefix + std::to_string(i));
    }
    GuiTreeItem& root() { return *m_tree->get_root(); }
    // Gathers at once (a second refresh does).
    void settle()
    {
        m_tree->refresh();
        if (m_tree->is_refresh_pending()) m_tree->refresh();
        pump_events(app());
    }
    // A press and release on the row of a shown item, right of its indent, with modifiers.
    void click(GuiTreeItem& item, int modifiers = 0, int clicks = 0)
    {
        GuiWidget& target = row_widget(item);
        int const x = &target == &item ? item.get_x() + item.get_indent() + 4 : target.get_x() + 8;
        int const y = target.get_y() + target.get_height() / 2;
        send(target, FL_PUSH, x, y, modifiers, clicks);
        send(target, FL_RELEASE, x, y, modifiers, clicks);
    }
    // The widget a press on the row reaches: the basic item's inner widget, else the item.
    GuiWidget& row_widget(GuiTreeItem& item)
    {
        GuiTreeItemBasic* basic = dynamic_cast<GuiTreeItemBasic*>(&item);
        return basic && basic->get_inner_widget() ? static_cast<GuiWidget&>(*basic->get_inner_widget()) : item;
    }
    int send(GuiWidget& widget, int event, int x, int y, int modifiers = 0, int clicks = 0)
    {
        return send_pointer(widget, event, x, y, modifiers, clicks);
    }
    void press_key(int key, int modifiers = 0)
    {
        m_tree->set_focus();
        GMathVec2<int> const pointer(m_tree->get_x() + 20, m_tree->get_y() + 20);
        key_down(*m_tree, key, key < 128 ? std::string(1, static_cast<char>(key)) : std::string(), modifiers,
                 pointer);
    }
    Names selection() { return names_of(m_tree->get_selection()); }
    Names visible() { return names_of(m_tree->get_visible_items()); }
    // Names of a parent's children, in order.
    Names children(GuiTreeItem& parent) { return names_of(parent.get_children()); }

    GuiTree* m_tree = nullptr;
};
