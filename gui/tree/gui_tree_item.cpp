#include "gui/tree/gui_tree_item.h"

#include <algorithm>

#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/tree/gui_tree.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiTreeItem, GuiWidget)

GuiTreeItem::GuiTreeItem(GuiTree& tree)
    : GuiWidget(static_cast<RouterFactory>(nullptr), tree.get_application(), 0, 0, 0, 0),
      m_expandable(true),
      m_expanded(true),
      m_tree(&tree)
{
    take_colors_from_tree();
}

// No router here: an item makes its toolkit side when the tree first gathers it.
GuiTreeItem::GuiTreeItem(GuiTreeItem& parent_item)
    : GuiWidget(static_cast<RouterFactory>(nullptr), parent_item.get_application(), 0, 0, 0, 0),
      m_parent_item(&parent_item),
      m_tree(parent_item.m_tree)
{
    take_colors_from_tree();
    parent_item.m_child_items.add(this);
    if (m_tree) m_tree->on_lines_changed();
    if (parent_item.m_expanded) parent_item.propagate_total(1);
}

GuiTreeItem::~GuiTreeItem()
{
    // Deleted on its own (its window's teardown queues shown items one by one): it leaves
    // its tree's lists and its parent.
    if (m_tree) m_tree->forget_deleted_item(*this);
    if (m_parent_item) {
        GuiTreeItem* parent = m_parent_item;
        parent->m_child_items.remove_item(this);
        if (m_tree) m_tree->on_lines_changed();
        if (parent->m_expanded) parent->propagate_total(-static_cast<long long>(m_total));
        m_parent_item = nullptr;
    }
    // Children are not widget children: the item owns them through its list.
    CoreVector<GuiTreeItem*> children;
    children.std_vector().swap(m_child_items.std_vector());
    for (GuiTreeItem* child : children) {
        child->m_parent_item = nullptr;
        delete child;
    }
}

size_t GuiTreeItem::get_memory_size() const
{
    return GuiWidget::get_memory_size() + (sizeof(GuiTreeItem) - sizeof(GuiWidget)) +
           m_child_items.std_vector().capacity() * sizeof(GuiTreeItem*) + m_widgets.std_vector().capacity() * sizeof(GuiWidget*);
}

void GuiTreeItem::take_colors_from_tree()
{
    if (!m_tree) return;
    GMathVec3<unsigned char> const* colors = m_tree->get_default_item_colors();
    m_background_selected = colors[0];
    m_background_selected_no_focus = colors[1];
    m_text_selected = colors[2];
    m_background_highlight = colors[3];
    m_text = colors[4];
}

// Hierarchy ---------------------------------------------------------------------------------

int GuiTreeItem::get_rank() const
{
    int rank = -1;
    for (GuiTreeItem const* item = m_parent_item; item; item = item->m_parent_item) ++rank;
    return rank;
}

int GuiTreeItem::get_list_index() const
{
    return m_parent_item ? m_parent_item->m_child_items.find(const_cast<GuiTreeItem*>(this)) : -1;
}

int GuiTreeItem::get_global_index() const
{
    if (!m_parent_item || !m_displayed) return -1;
    long long line = 0;
    for (GuiTreeItem const* item = this; item->m_parent_item; item = item->m_parent_item) {
        GuiTreeItem const* parent = item->m_parent_item;
        if (!parent->m_displayed || !parent->m_expanded) return -1;
        for (GuiTreeItem const* sibling : parent->m_child_items) {
            if (sibling == item) break;
            line += sibling->m_total;
        }
        // The parent's own line, except the root's, which is not shown.
        if (parent->m_parent_item) line += 1;
    }
    return static_cast<int>(line);
}

bool GuiTreeItem::is_ancestor_of(GuiTreeItem const& item) const
{
    for (GuiTreeItem const* walk = &item; walk; walk = walk->m_parent_item)
        if (walk == this) return true;
    return false;
}

void GuiTreeItem::move_after(GuiTreeItem& target)
{
    if (&target == this) return;
    GuiTreeItem* new_parent = target.m_parent_item;
    if (!new_parent || is_ancestor_of(target)) {
        CORE_LOG_WARNING("GuiTreeItem.move_after: an item can't move into its own subtree; nothing changes\n");
        return;
    }
    if (m_parent_item) {
        GuiTreeItem* old_parent = m_parent_item;
        old_parent->m_child_items.remove(old_parent->m_child_items.find(this));
        if (old_parent->m_expanded) old_parent->propagate_total(-static_cast<long long>(m_total));
    }
    m_parent_item = new_parent;
    int const index = new_parent->m_child_items.find(&target);
    new_parent->m_child_items.insert(index + 1, this);
    if (m_tree) m_tree->on_lines_changed();
    if (new_parent->m_expanded) new_parent->propagate_total(m_total);
}

void GuiTreeItem::detach_child(GuiTreeItem& child)
{
    int const index = m_child_items.find(&child);
    if (index < 0) return;
    m_child_items.remove(index);
    if (m_tree) m_tree->on_lines_changed();
    if (m_expanded) propagate_total(-static_cast<long long>(child.m_total));
    child.m_parent_item = nullptr;
    child.set_tree_recursive(nullptr);
}

void GuiTreeItem::set_tree_recursive(GuiTree* tree)
{
    CoreVector<GuiTreeItem*> stack;
    stack.add(this);
    while (!stack.is_empty()) {
        GuiTreeItem* item = stack.get_last();
        stack.remove(stack.get_count() - 1);
        item->m_tree = tree;
        for (GuiTreeItem* child : item->m_child_items) stack.add(child);
    }
}

void GuiTreeItem::remove_child(int const& index)
{
    if (index < 0 || index >= static_cast<int>(m_child_items.get_count())) {
        CORE_LOG_WARNING("GuiTreeItem.remove_child: no child " << index << "; nothing changes\n");
        return;
    }
    remove_child(m_child_items[index]);
}

void GuiTreeItem::remove_child(GuiTreeItem* item)
{
    if (!item || item->m_parent_item != this) {
        CORE_LOG_WARNING("GuiTreeItem.remove_child: not a child of this item; nothing changes\n");
        return;
    }
    GuiTree* tree = m_tree;
    bool selection_changed = false;
    if (tree && !tree->forget_subtree(*item, selection_changed)) return;
    detach_child(*item);
    item->destroy();
    if (tree) tree->finish_removal(selection_changed);
}

void GuiTreeItem::remove_children(CoreVector<int> const& indices)
{
    CoreVector<GuiTreeItem*> items;
    for (int const index : indices) {
        if (index < 0 || index >= static_cast<int>(m_child_items.get_count())) {
            CORE_LOG_WARNING("GuiTreeItem.remove_children: no child " << index << "; nothing changes\n");
            return;
        }
        items.add(m_child_items[index]);
    }
    remove_children(items);
}

void GuiTreeItem::remove_children(CoreVector<GuiTreeItem*> const& items)
{
    for (GuiTreeItem* item : items) {
        if (!item || item->m_parent_item != this) {
            CORE_LOG_WARNING("GuiTreeItem.remove_children: not a child of this item; nothing changes\n");
            return;
        }
    }
    for (GuiTreeItem* item : items) remove_child(item);
}

void GuiTreeItem::remove_children(bool const& destroy)
{
    GuiTree* tree = m_tree;
    bool changed = false;
    for (GuiTreeItem* item : CoreVector<GuiTreeItem*>(m_child_items)) {
        bool selection_changed = false;
        if (tree && !tree->forget_subtree(*item, selection_changed)) break;
        changed = changed || selection_changed;
        detach_child(*item);
        if (destroy) item->destroy();
    }
    if (tree) tree->finish_removal(changed);
}

void GuiTreeItem::reorder_children(CoreVector<GuiTreeItem*> const& items)
{
    bool same = items.get_count() == m_child_items.get_count();
    for (unsigned int i = 0; same && i < items.get_count(); ++i) {
        same = items[i] && items[i]->m_parent_item == this;
        for (unsigned int j = 0; same && j < i; ++j) same = items[j] != items[i];
    }
    if (!same) {
        CORE_LOG_WARNING("GuiTreeItem.reorder_children: the items are not exactly the children; nothing changes\n");
        return;
    }
    m_child_items = items;
    if (m_tree) m_tree->on_lines_changed();
}

// Lines --------------------------------------------------------------------------------------

unsigned int GuiTreeItem::compute_total() const
{
    if (!m_displayed) return 0;
    if (!m_expanded) return 1;
    unsigned int total = 1;
    for (GuiTreeItem const* child : m_child_items) total += child->m_total;
    return total;
}

void GuiTreeItem::propagate_total(long long const& delta)
{
    if (m_tree && delta) m_tree->on_lines_changed();
    // This item counts its children: its total changes, and so on upwards while each
    // ancestor counts the item below it.
    for (GuiTreeItem* item = this; item && delta; item = item->m_parent_item) {
        if (!item->m_displayed || !item->m_expanded) return;
        item->m_total = static_cast<unsigned int>(static_cast<long long>(item->m_total) + delta);
        GuiTreeItem* parent = item->m_parent_item;
        if (!parent || !parent->m_expanded) return;
    }
}

void GuiTreeItem::set_total(unsigned int const& total)
{
    long long const delta = static_cast<long long>(total) - static_cast<long long>(m_total);
    m_total = total;
    if (m_tree) m_tree->on_lines_changed();
    if (delta && m_parent_item && m_parent_item->m_expanded) m_parent_item->propagate_total(delta);
}

void GuiTreeItem::display(bool const& displayed)
{
    if (displayed == m_displayed) return;
    m_displayed = displayed;
    set_total(compute_total());
    if (m_tree) m_tree->refresh();
}

void GuiTreeItem::set_expandable(bool const& expandable)
{
    m_expandable = expandable;
    redraw();
}

void GuiTreeItem::expand()
{
    if (!m_expandable || m_expanded) return;
    m_expanded = true;
    set_total(compute_total());
    if (m_tree) m_tree->expand_item(this);
}

void GuiTreeItem::collapse()
{
    if (!m_expanded) return;
    m_expanded = false;
    set_total(compute_total());
    if (m_tree) m_tree->collapse_item(this);
}

// Selection -----------------------------------------------------------------------------------

void GuiTreeItem::select(bool const& show)
{
    GuiTree* tree = m_tree;
    if (!tree || !m_selectable) return;
    if (tree->is_multi_selection_enabled()) {
        bool const ctrl = Gui::is_modifier_ctrl(), shift = Gui::is_modifier_shift();
        if (ctrl && !shift) {
            if (m_selected)
                deselect();
            else
                tree->add_item_to_selection(this);
            return;
        }
        if (shift && !tree->get_selection().is_empty()) {
            tree->add_range_to_selection(this);
            return;
        }
    }
    if (show) tree->show_item(this);
    tree->select_item(this);
}

void GuiTreeItem::deselect()
{
    if (m_tree && m_selected) m_tree->remove_item_from_selection(this);
}

void GuiTreeItem::add_to_selection()
{
    if (m_tree) m_tree->add_item_to_selection(this);
}

void GuiTreeItem::preselect()
{
    GuiTree* tree = m_tree;
    if (!tree || !m_selectable) return;
    if (tree->is_multi_selection_enabled()) {
        bool const ctrl = Gui::is_modifier_ctrl(), shift = Gui::is_modifier_shift();
        if (ctrl && !shift) {
            tree->add_item_to_preselection(this);
            return;
        }
        if (shift && !tree->get_selection().is_empty()) {
            tree->add_range_to_preselection(this);
            return;
        }
    }
    tree->preselect_item(this);
}

void GuiTreeItem::add_to_preselection()
{
    if (m_tree) m_tree->add_item_to_preselection(this);
}

void GuiTreeItem::activate(bool const& activate)
{
    if (activate && m_tree) m_tree->activate_item(this);
}

void GuiTreeItem::select_children(bool const& add)
{
    if (!m_tree) return;
    CoreVector<GuiTreeItem*> items = add ? m_tree->get_selection() : CoreVector<GuiTreeItem*>();
    for (GuiTreeItem* child : m_child_items)
        if (child->m_displayed && !child->m_selected) items.add(child);
    m_tree->set_selection(items, true);
}

bool GuiTreeItem::text_starts_with(char const&) const
{
    return false;
}

// Hosted widgets --------------------------------------------------------------------------------

void GuiTreeItem::add_widget(GuiWidget* widget)
{
    insert_widget(widget, static_cast<int>(m_widgets.get_count()));
}

void GuiTreeItem::insert_widget(GuiWidget* widget, int const& index)
{
    if (!widget || m_widgets.find(widget) >= 0) {
        CORE_LOG_WARNING("GuiTreeItem.insert_widget: no widget, or one the item hosts already; nothing changes\n");
        return;
    }
    if (widget->get_parent() != this) widget->set_parent(this);
    int const at = std::clamp(index, 0, static_cast<int>(m_widgets.get_count()));
    m_widgets.insert(at, widget);
    if (m_line_index >= 0) transform();
}

void GuiTreeItem::set_widget(GuiWidget* widget, int const& index)
{
    if (index < 0 || index >= static_cast<int>(m_widgets.get_count())) {
        add_widget(widget);
        return;
    }
    if (!widget || m_widgets[index] == widget) return;
    GuiWidget* old = m_widgets[index];
    if (widget->get_parent() != this) widget->set_parent(this);
    m_widgets[index] = widget;
    old->destroy();
    if (m_line_index >= 0) transform();
}

void GuiTreeItem::remove_widget(int const& index)
{
    if (index < 0 || index >= static_cast<int>(m_widgets.get_count())) {
        CORE_LOG_WARNING("GuiTreeItem.remove_widget: no widget " << index << "; nothing changes\n");
        return;
    }
    GuiWidget* widget = m_widgets[index];
    m_widgets.remove(index);
    widget->destroy();
}

// Placement --------------------------------------------------------------------------------------

void GuiTreeItem::prepare_toolkit()
{
    if (!get_widget()) create_router(*this);
}

void GuiTreeItem::make_visible(int const& line_index, bool const& shaded, int const& x, int const& y, int const& w,
                               int const& h)
{
    m_line_index = line_index;
    m_shaded = shaded;
    m_indent = (get_rank() + 1) * INDENT_STEP;
    int width = 0;
    int const columns = m_tree->get_column_count();
    for (int c = 0; c < columns; ++c) {
        int const column = m_tree->get_column_width(c);
        width += column < 0 ? m_tree->get_default_column_width() : column;
    }
    m_width = columns ? width : w;
    resize(x, y, w, h);
    transform();
}

void GuiTreeItem::get_column_box(int const& index, int& x, int& w) const
{
    int const count = std::max(1, static_cast<int>(m_widgets.get_count()));
    int const columns = m_tree ? m_tree->get_column_count() : 0;
    x = 0;
    w = 0;
    for (int i = 0; i <= index; ++i) {
        x += w;
        w = i < columns ? m_tree->get_column_width(i) : -1;
        if (w < 0) w = m_width / count;
    }
}

void GuiTreeItem::transform()
{
    int const count = static_cast<int>(m_widgets.get_count());
    if (!count || !m_tree) return;
    int const connector = static_cast<int>(m_tree->get_connector_column());
    for (int i = 0; i < count; ++i) {
        int x = 0, w = 0;
        get_column_box(i, x, w);
        if (i == connector) {
            x += m_indent;
            w = std::max(0, w - m_indent);
        }
        m_widgets[i]->resize(get_x() + x, get_y(), w, get_height());
    }
}

int GuiTreeItem::get_triangle_right() const
{
    int x = 0, w = 0;
    get_column_box(static_cast<int>(m_tree->get_connector_column()), x, w);
    return x + m_indent;
}

// Events and drawing ---------------------------------------------------------------------------

int GuiTreeItem::process_event(CoreString const& name)
{
    GuiTree* tree = m_tree;
    if (!tree) return GuiWidget::process_event(name);
    if (name == EVT_ID_MOUSE_DOWN && Gui::get_event_mouse_button() == Gui::MOUSE_BUTTON_ID_LEFT) {
        int px = 0, py = 0;
        Gui::get_relative_mouse_coords(*this, px, py);
        int const triangle_right = get_triangle_right();
        if (m_expandable && px >= triangle_right - INDENT_STEP && px < triangle_right) {
            if (m_expanded)
                collapse();
            else
                expand();
            return 1;
        }
        if (Gui::is_double_click())
            activate(true);
        else
            tree->press_item(this);
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP) {
        if (!Gui::is_double_click()) tree->release_item(this);
        return 1;
    }
    if (name == EVT_ID_MOUSE_DRAG) {
        if (tree->is_drag_and_drop_enabled()) tree->drag_selection_to(Gui::get_relative_mouse_y(*tree) + tree->get_y());
        return 1;
    }
    if (name == EVT_ID_MOUSE_WHEEL) return tree->process_event(name);
    return GuiWidget::process_event(name);
}

void GuiTreeItem::draw(GuiDc& dc)
{
    if (!m_tree) return;
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    GMathVec3<int> const& tree_background = m_tree->get_background_color();
    GMathVec3<unsigned char> background(static_cast<unsigned char>(tree_background[0]),
                                        static_cast<unsigned char>(tree_background[1]),
                                        static_cast<unsigned char>(tree_background[2]));
    if (m_selected)
        background = m_tree->has_focus() ? m_background_selected : m_background_selected_no_focus;
    else if (m_highlighted || m_preselected)
        background = m_background_highlight;
    else if (m_shaded)
        background = get_highlighted_color(background, GuiTree::SHADE_FACTOR, false);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    wdc.draw_rectf(x, y, w, h, background[0], background[1], background[2]);
    if (m_expandable && !m_child_items.is_empty()) {
        GMathVec3<unsigned char> const& color = m_selected ? m_text_selected : m_text;
        int const right = x + get_triangle_right();
        int const cx = right - INDENT_STEP / 2 - 1, cy = y + h / 2;
        if (m_expanded)
            wdc.draw_trianglef(cx - 4, cy - 2, cx + 4, cy - 2, cx, cy + 3, color[0], color[1], color[2]);
        else
            wdc.draw_trianglef(cx - 2, cy - 4, cx - 2, cy + 4, cx + 3, cy, color[0], color[1], color[2]);
    }
}
