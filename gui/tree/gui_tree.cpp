#include "gui/tree/gui_tree.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "gui/controls/gui_scrollbar.h"
#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_dc.h"
#include "host/core/core_log.h"
#include "host/gmath/gmath_color.h"

EVENT_DEFINE_ID(EVT_ID_TREE_ITEM_ACTIVATE);
EVENT_DEFINE_ID(EVT_ID_TREE_ITEM_SELECT);
EVENT_DEFINE_ID(EVT_ID_TREE_ITEM_DESELECT);
EVENT_DEFINE_ID(EVT_ID_TREE_ITEM_EXPAND);
EVENT_DEFINE_ID(EVT_ID_TREE_ITEM_COLLAPSE);
EVENT_DEFINE_ID(EVT_ID_TREE_ITEM_RENAME);
EVENT_DEFINE_ID(EVT_ID_TREE_SELECTION_CHANGED);
EVENT_DEFINE_ID(EVT_ID_TREE_SELECTION_DRAG);
EVENT_DEFINE_ID(EVT_ID_TREE_SELECTION_DROP);
EVENT_DEFINE_ID(EVT_ID_TREE_SELECTION_REMOVE);
EVENT_DEFINE_ID(EVT_ID_TREE_NAVIGATE_UP);
EVENT_DEFINE_ID(EVT_ID_TREE_NAVIGATE_DOWN);
EVENT_DEFINE_ID(EVT_ID_TREE_NAVIGATE_LEFT);
EVENT_DEFINE_ID(EVT_ID_TREE_NAVIGATE_RIGHT);

CORE_IMPLEMENT_CLASS(GuiTreeDragBar, GuiWidget)
CORE_IMPLEMENT_CLASS(GuiTree, GuiWidget)

namespace {

// Floor division, for lines above the window.
int floor_div(int a, int b)
{
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

GMathVec3<unsigned char> desaturate(GMathVec3<unsigned char> const& color)
{
    double h = 0, s = 0, l = 0;
    gmath_rgb_to_hsl(color[0] / 255.0, color[1] / 255.0, color[2] / 255.0, h, s, l);
    double r = 0, g = 0, b = 0;
    gmath_hsl_to_rgb(h, 0.0, l, r, g, b);
    auto channel = [](double v) { return static_cast<unsigned char>(std::clamp(v * 255.0 + 0.5, 0.0, 255.0)); };
    return GMathVec3<unsigned char>(channel(r), channel(g), channel(b));
}

// Keeps the entries of `items` that lie outside the subtree of `top`.
void drop_subtree(CoreVector<GuiTreeItem*>& items, GuiTreeItem const& top)
{
    CoreVector<GuiTreeItem*> kept;
    for (GuiTreeItem* item : items)
        if (!top.is_ancestor_of(*item)) kept.add(item);
    items.std_vector().swap(kept.std_vector());
}

}  // namespace

// The drag bar ----------------------------------------------------------------------------------

GuiTreeDragBar::GuiTreeDragBar(GuiTree& tree) : GuiWidget(tree, 0, 0, 10, GuiTree::DRAG_BAR_HEIGHT) {}

void GuiTreeDragBar::draw(GuiDc& dc)
{
    GMathVec3<unsigned char> const& color = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_ACCENT);
    static_cast<GuiWidgetDc&>(dc).draw_rectf(get_x(), get_y(), get_width(), get_height(), color[0], color[1],
                                              color[2]);
}

// Construction ------------------------------------------------------------------------------------

char const* GuiTree::get_border_style_name(BorderStyle const& style)
{
    switch (style) {
    case BORDER_STYLE_LINES: return "BORDER_STYLE_LINES";
    case BORDER_STYLE_RECTANGLE: return "BORDER_STYLE_RECTANGLE";
    case BORDER_STYLE_NONE: return "BORDER_STYLE_NONE";
    default: return "BORDER_STYLE_UNKNOWN";
    }
}

GuiTree::GuiTree(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiWidget(parent, x, y, w, h)
{
    GMathVec3<unsigned char> const& background =
        get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND_DARK);
    m_background_color = GMathVec3<int>(background[0], background[1], background[2]);
    GMathVec3<unsigned char> const& selected = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_SELECTION);
    m_item_colors[0] = selected;
    m_item_colors[1] = desaturate(selected);
    m_item_colors[2] = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_SELECTED);
    m_item_colors[3] = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_HOVER);
    m_item_colors[4] = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT);
    m_line_height = static_cast<int>(ImageIcon::get_image_icon_int_size(m_icon_size)) + 6;
    set_focus_receiver(true);
    build_parts();
}

void GuiTree::build_parts()
{
    GMathVec4<int> const inner = get_inner_rect();
    m_scrollbar = new GuiScrollbar(*this, inner[0] + inner[2] - SCROLLBAR_WIDTH, inner[1], SCROLLBAR_WIDTH, inner[3]);
    m_scrollbar->set_active_constraints(false);
    m_scrollbar->set_range(1);
    m_scrollbar->hide();
    connect(*m_scrollbar, EVT_ID_SCROLLBAR_VALUE_CHANGED, &GuiTree::on_scroll);
    m_drag_bar = new GuiTreeDragBar(*this);
    m_drag_bar->hide();
    m_root = new GuiTreeItem(*this);
}

GuiTree::~GuiTree()
{
    m_being_destroyed = true;
    GuiApp& app = get_application();
    if (m_refresh_timer) app.remove_timer(m_refresh_timer);
    if (m_drag_scroll_timer) app.remove_timer(m_drag_scroll_timer);
    // Shown items are widget children; the root owns every item.
    for (GuiTreeItem* item : m_visible_items) item->set_parent(nullptr);
    m_visible_items.clear();
    delete m_root;
    m_root = nullptr;
}

size_t GuiTree::get_memory_size() const
{
    return GuiWidget::get_memory_size() + (sizeof(GuiTree) - sizeof(GuiWidget)) +
           (m_visible_items.std_vector().capacity() + m_selection.std_vector().capacity() + m_preselection.std_vector().capacity() +
            m_highlighted_items.std_vector().capacity()) *
               sizeof(GuiTreeItem*);
}

// Items ----------------------------------------------------------------------------------------------

unsigned int GuiTree::get_line_count() const
{
    if (!m_root || !m_root->is_displayed() || !m_root->is_expanded()) return 0;
    return m_root->get_total() - 1;
}

unsigned int GuiTree::find_child_at_line(GuiTreeItem const& parent, unsigned int& skip) const
{
    CoreVector<GuiTreeItem*> const& children = parent.get_children();
    unsigned int const count = children.get_count();
    // A short list is walked; a long one (a flat list of a million items) searched.
    constexpr unsigned int WALK_LIMIT = 64;
    if (count <= WALK_LIMIT) {
        for (unsigned int i = 0; i < count; ++i) {
            unsigned int const total = children[i]->get_total();
            if (total > skip) return i;
            skip -= total;
        }
        return count;
    }
    if (m_prefix_serial != m_lines_serial) {
        m_prefix_totals.clear();
        m_prefix_serial = m_lines_serial;
    }
    std::vector<unsigned int>& sums = m_prefix_totals[&parent];
    if (sums.empty()) {
        sums.resize(count + 1);
        sums[0] = 0;
        for (unsigned int i = 0; i < count; ++i) sums[i + 1] = sums[i] + children[i]->get_total();
    }
    // The first running sum past `skip` closes the child that holds it.
    unsigned int const end = static_cast<unsigned int>(std::upper_bound(sums.begin(), sums.end(), skip) - sums.begin());
    if (end > count) return count;
    skip -= sums[end - 1];
    return end - 1;
}

void GuiTree::collect_shown(unsigned int const& first, unsigned int const& count, CoreVector<GuiTreeItem*>& out) const
{
    if (!count || first >= get_line_count()) return;
    // The path from the root to the current item: each parent and the child index taken.
    struct Step {
        GuiTreeItem* parent;
        unsigned int index;
    };
    std::vector<Step> path;
    GuiTreeItem* parent = m_root;
    unsigned int skip = first;
    for (;;) {
        CoreVector<GuiTreeItem*> const& children = parent->get_children();
        unsigned int const i = find_child_at_line(*parent, skip);
        if (i == children.get_count()) return;
        path.push_back({parent, i});
        if (skip == 0) break;
        skip -= 1;  // the item's own line; the rest lies among its children
        parent = children[i];
    }
    while (out.get_count() < count && !path.empty()) {
        GuiTreeItem* item = path.back().parent->get_children()[path.back().index];
        out.add(item);
        if (item->is_expanded() && item->get_total() > 1) {
            CoreVector<GuiTreeItem*> const& children = item->get_children();
            unsigned int j = 0;
            while (children[j]->get_total() == 0) ++j;
            path.push_back({item, j});
            continue;
        }
        while (!path.empty()) {
            Step& step = path.back();
            CoreVector<GuiTreeItem*> const& siblings = step.parent->get_children();
            unsigned int j = step.index + 1;
            while (j < siblings.get_count() && siblings[j]->get_total() == 0) ++j;
            if (j < siblings.get_count()) {
                step.index = j;
                break;
            }
            path.pop_back();
        }
    }
}

GuiTreeItem* GuiTree::get_item_at_line(unsigned int const& line) const
{
    CoreVector<GuiTreeItem*> items;
    collect_shown(line, 1, items);
    return items.is_empty() ? nullptr : items[0];
}

GuiTreeItem* GuiTree::get_first_item() const
{
    return get_item_at_line(0);
}

GuiTreeItem* GuiTree::get_last_item(bool const& shown_only) const
{
    if (shown_only) {
        unsigned int const lines = get_line_count();
        return lines ? get_item_at_line(lines - 1) : nullptr;
    }
    GuiTreeItem* item = m_root;
    while (item && !item->get_children().is_empty()) item = item->get_children().get_last();
    return item == m_root ? nullptr : item;
}

void GuiTree::remove_all()
{
    end_drag();
    for (GuiTreeItem* item : m_visible_items) hide_item(*item);
    m_visible_items.clear();
    for (GuiTreeItem* item : m_selection) item->m_selected = false;
    m_selection.clear();
    m_preselection.clear();
    m_highlighted_items.clear();
    m_last_event_item = nullptr;
    m_drag_over_item = nullptr;
    // The items go with the old root at the next idle pass; they no longer know the tree.
    m_root->set_tree_recursive(nullptr);
    m_root->destroy();
    disconnect_all(*m_scrollbar);
    clear_all_children();
    m_column_widths.clear();
    m_column_titles.clear();
    m_offset = 0;
    m_first_line = 0;
    build_parts();
    gather_visibles();
    redraw();
}

namespace {

// The subtree below and including `top`, children after their parent.
void collect_subtree(GuiTreeItem* top, CoreVector<GuiTreeItem*>& out)
{
    out.add(top);
    for (unsigned int i = 0; i < out.get_count(); ++i)
        for (GuiTreeItem* child : out[i]->get_children()) out.add(child);
}

}  // namespace

void GuiTree::expand_all(GuiTreeItem* item)
{
    set_subtree_expanded(item, true);
}

void GuiTree::collapse_all(GuiTreeItem* item)
{
    set_subtree_expanded(item, false);
}

void GuiTree::set_subtree_expanded(GuiTreeItem* item, bool const& expand)
{
    GuiTreeItem* top = item ? item : m_root;
    if (top->get_tree() != this) return;
    CoreVector<GuiTreeItem*> items;
    collect_subtree(top, items);
    unsigned int const before = top->m_total;
    CoreVector<GuiTreeItem*> changed;
    // Children come after their parents: totals are made from the bottom up in one pass.
    for (unsigned int i = items.get_count(); i-- > 0;) {
        GuiTreeItem* node = items[i];
        // The root stays open: it is not a line of its own.
        bool const flips = expand ? node->m_expandable && !node->m_expanded : node->m_expanded && node != m_root;
        if (flips) {
            node->m_expanded = expand;
            changed.add(node);
        }
        node->m_total = node->compute_total();
    }
    unsigned int const after = top->m_total;
    top->m_total = before;
    top->set_total(after);
    for (unsigned int i = changed.get_count(); i-- > 0;) {
        raise_item_event(expand ? EVT_ID_TREE_ITEM_EXPAND : EVT_ID_TREE_ITEM_COLLAPSE, changed[i]);
        if (expand)
            on_item_expand(changed[i]);
        else
            on_item_collapse(changed[i]);
    }
    gather_visibles();
    redraw();
}

// The window ---------------------------------------------------------------------------------------

GMathVec4<int> GuiTree::get_inner_rect() const
{
    return GMathVec4<int>(get_x() + 1, get_y() + 1, std::max(0, get_width() - 2), std::max(0, get_height() - 2));
}

int GuiTree::get_row_width() const
{
    int const w = get_inner_rect()[2];
    return m_scrollbar && GuiWidget::is_widget_visible(*m_scrollbar) ? std::max(0, w - SCROLLBAR_WIDTH) : w;
}

unsigned int GuiTree::get_shown_line_capacity() const
{
    return static_cast<unsigned int>(get_inner_rect()[3] / m_line_height) + 1;
}

unsigned int GuiTree::get_full_line_count() const
{
    return static_cast<unsigned int>(get_inner_rect()[3] / m_line_height);
}

int GuiTree::get_line_at(int const& window_y) const
{
    return floor_div(window_y - get_inner_rect()[1], m_line_height);
}

void GuiTree::set_line_height(int const& height)
{
    if (height < 1) {
        CORE_LOG_WARNING("GuiTree.set_line_height: a line height of " << height
                                                                       << " is refused; it stays " << m_line_height
                                                                       << "\n");
        return;
    }
    if (height == m_line_height) return;
    long long const first = m_offset / m_line_height;
    m_line_height = height;
    m_offset = first * height;
    gather_visibles();
    redraw();
}

void GuiTree::clamp_offset()
{
    unsigned int const lines = get_line_count();
    unsigned int const full = get_full_line_count();
    long long const max_first = lines > full ? lines - full : 0;
    m_offset = std::clamp(m_offset, 0LL, max_first * m_line_height);
}

void GuiTree::apply_offset_to_scrollbar()
{
    if (!m_scrollbar) return;
    bool const was = m_scrolling;
    m_scrolling = true;
    unsigned int const lines = get_line_count();
    unsigned int const full = get_full_line_count();
    long long const max_first = lines > full ? lines - full : 0;
    // The bar's travel covers exactly the first lines the window can start at.
    long long const range = std::min<long long>(max_first * m_line_height + get_inner_rect()[3], UINT_MAX);
    if (m_scrollbar->get_range() != static_cast<unsigned int>(range))
        m_scrollbar->set_range(static_cast<unsigned int>(range));
    if (m_scrollbar->get_offset() != m_offset) m_scrollbar->set_offset(static_cast<int>(m_offset));
    m_scrolling = was;
}

void GuiTree::set_offset(unsigned int const& line)
{
    m_offset = static_cast<long long>(line) * m_line_height;
    gather_visibles();
    redraw();
}

void GuiTree::on_scroll(GuiWidget&, EventInfo const&, void*)
{
    if (m_scrolling) return;
    m_offset = m_scrollbar->get_offset();
    gather_visibles();
    redraw();
}

void GuiTree::hide_item(GuiTreeItem& item)
{
    item.m_line_index = -1;
    if (item.get_parent() != this) return;
    item.hide();
    item.set_parent(nullptr);
}

void GuiTree::gather_visibles()
{
    if (!m_root) return;
    GMathVec4<int> const inner = get_inner_rect();
    unsigned int const lines = get_line_count();
    bool const needs_bar = static_cast<long long>(lines) * m_line_height > inner[3];
    // The bar reports its own changes; they come from here.
    bool const was_scrolling = m_scrolling;
    m_scrolling = true;
    if (!needs_bar) {
        m_offset = 0;
        if (GuiWidget::is_widget_visible(*m_scrollbar)) m_scrollbar->hide();
    } else {
        clamp_offset();
        m_scrollbar->resize(inner[0] + inner[2] - SCROLLBAR_WIDTH, inner[1], SCROLLBAR_WIDTH, inner[3]);
        if (!GuiWidget::is_widget_visible(*m_scrollbar) && is_shown()) m_scrollbar->show();
        apply_offset_to_scrollbar();
    }
    m_scrolling = was_scrolling;
    m_first_line = static_cast<unsigned int>(m_offset / m_line_height);

    CoreVector<GuiTreeItem*> items;
    collect_shown(m_first_line, get_shown_line_capacity(), items);
    // Items that stay keep their toolkit side; the others are hidden and leave the widget tree.
    for (GuiTreeItem* item : m_visible_items) item->m_line_index = -2;
    for (unsigned int i = 0; i < items.get_count(); ++i) items[i]->m_line_index = static_cast<int>(i);
    for (GuiTreeItem* item : m_visible_items)
        if (item->m_line_index == -2) hide_item(*item);

    int const row_width = needs_bar ? std::max(0, inner[2] - SCROLLBAR_WIDTH) : inner[2];
    bool const shown = is_shown();
    for (unsigned int i = 0; i < items.get_count(); ++i) {
        GuiTreeItem& item = *items[i];
        if (item.get_parent() != this) {
            item.prepare_toolkit();
            item.set_parent(this);
        }
        bool const shaded = m_shaded_entries && ((i + m_first_line) % 2 == 0);
        item.make_visible(static_cast<int>(i), shaded, inner[0], inner[1] + static_cast<int>(i) * m_line_height,
                          row_width, m_line_height);
        item.set_clip_region(inner[0], inner[1], inner[2], inner[3]);
        item.enable_clipping();
        if (shown && !item.is_shown()) item.show();
    }
    m_visible_items.std_vector().swap(items.std_vector());
    if (m_dragging) m_drag_bar->bring_to_front();
}

void GuiTree::show_item(GuiTreeItem* item)
{
    if (!item || item->get_tree() != this) return;
    CoreVector<GuiTreeItem*> ancestors;
    for (GuiTreeItem* walk = item->get_parent_item(); walk && walk != m_root; walk = walk->get_parent_item())
        ancestors.add(walk);
    for (unsigned int i = ancestors.get_count(); i-- > 0;) ancestors[i]->expand();
    int const line = item->get_global_index();
    if (line < 0) return;
    unsigned int const capacity = get_shown_line_capacity();
    unsigned int const target = static_cast<unsigned int>(line);
    if (target < m_first_line || capacity < 2) {
        set_offset(target);
    } else if (target > m_first_line + capacity - 2) {
        set_offset(target - (capacity - 2));
    }
}

void GuiTree::refresh()
{
    if (m_refresh_pending) {
        get_application().remove_timer(m_refresh_timer);
        m_refresh_timer = 0;
        m_refresh_pending = false;
        gather_visibles();
        redraw();
        return;
    }
    m_refresh_pending = true;
    m_refresh_timer = get_application().add_timer(&GuiTree::on_refresh_timer, this, REFRESH_DELAY);
}

void GuiTree::on_refresh_timer(void* data)
{
    GuiTree* tree = static_cast<GuiTree*>(data);
    tree->m_refresh_timer = 0;
    tree->m_refresh_pending = false;
    tree->gather_visibles();
    tree->redraw();
}

void GuiTree::show()
{
    GuiWidget::show();
    gather_visibles();
}

void GuiTree::resize(int const& x, int const& y, int const& w, int const& h)
{
    if (x == get_x() && y == get_y() && w == get_width() && h == get_height()) return;
    GuiWidget::resize(x, y, w, h);
    if (m_root) gather_visibles();
}

// Events ------------------------------------------------------------------------------------------

void GuiTree::raise_item_event(CoreString const& name, GuiTreeItem* item)
{
    m_last_event_item = item;
    raise_event(name);
}

void GuiTree::notify_selection_changed()
{
    on_selection_changed();
    raise_event(EVT_ID_TREE_SELECTION_CHANGED);
}

void GuiTree::expand_item(GuiTreeItem* item)
{
    raise_item_event(EVT_ID_TREE_ITEM_EXPAND, item);
    on_item_expand(item);
    gather_visibles();
    redraw();
}

void GuiTree::collapse_item(GuiTreeItem* item)
{
    raise_item_event(EVT_ID_TREE_ITEM_COLLAPSE, item);
    on_item_collapse(item);
    gather_visibles();
    redraw();
}

void GuiTree::activate_item(GuiTreeItem* item)
{
    raise_item_event(EVT_ID_TREE_ITEM_ACTIVATE, item);
    on_item_activate(item);
    redraw();
}

void GuiTree::rename_item(GuiTreeItem* item)
{
    raise_item_event(EVT_ID_TREE_ITEM_RENAME, item);
    on_item_rename(item);
    redraw();
}

// Selection ----------------------------------------------------------------------------------------

void GuiTree::set_selected_flag(GuiTreeItem& item, bool const& selected)
{
    item.m_selected = selected;
    item.redraw();
}

bool GuiTree::get_is_item_selectable(GuiTreeItem* item)
{
    if (!item || !item->is_selectable()) return false;
    return !(m_selection.get_count() == 1 && m_selection[0] == item);
}

void GuiTree::select_item(GuiTreeItem* item)
{
    clear_preselection();
    if (!item || item->get_tree() != this || !get_is_item_selectable(item)) return;
    deselect_all(false);
    m_selection.add(item);
    set_selected_flag(*item, true);
    raise_item_event(EVT_ID_TREE_ITEM_SELECT, item);
    redraw();
    notify_selection_changed();
}

void GuiTree::add_item_to_selection(GuiTreeItem* item)
{
    if (!item || item->get_tree() != this || !item->is_selectable() || item->is_selected()) return;
    m_selection.add(item);
    set_selected_flag(*item, true);
    raise_item_event(EVT_ID_TREE_ITEM_SELECT, item);
    on_selection_changed();
    if (!m_disable_selection_issuer) raise_event(EVT_ID_TREE_SELECTION_CHANGED);
    redraw();
}

void GuiTree::remove_item_from_selection(GuiTreeItem* item)
{
    if (!item || !item->is_selected()) return;
    int const index = m_selection.find(item);
    if (index >= 0) m_selection.remove(index);
    set_selected_flag(*item, false);
    raise_item_event(EVT_ID_TREE_ITEM_DESELECT, item);
    on_item_deselect(item);
    notify_selection_changed();
    if (item->is_preselected()) clear_preselection();
    redraw();
}

void GuiTree::add_range_to_selection(GuiTreeItem* item)
{
    if (!item || item->get_tree() != this) return;
    if (m_selection.is_empty()) {
        add_item_to_selection(item);
        return;
    }
    int const from = m_selection.get_last()->get_global_index();
    int const to = item->get_global_index();
    if (from < 0 || to < 0) {
        add_item_to_selection(item);
        return;
    }
    CoreVector<GuiTreeItem*> range;
    collect_shown(static_cast<unsigned int>(std::min(from, to)), static_cast<unsigned int>(std::abs(to - from)) + 1,
                  range);
    // In order from the last selected item towards the clicked one.
    if (from > to) std::reverse(range.begin(), range.end());
    bool added = false;
    for (GuiTreeItem* entry : range) {
        if (!entry->is_selectable() || entry->is_selected()) continue;
        m_selection.add(entry);
        set_selected_flag(*entry, true);
        raise_item_event(EVT_ID_TREE_ITEM_SELECT, entry);
        added = true;
    }
    if (!added) return;
    on_selection_changed();
    if (!m_disable_selection_issuer) raise_event(EVT_ID_TREE_SELECTION_CHANGED);
    redraw();
}

void GuiTree::set_selection(CoreVector<GuiTreeItem*> const& items, bool const& notify)
{
    deselect_all(false);
    for (GuiTreeItem* item : items) {
        if (!item || item->get_tree() != this || !item->is_selectable() || item->is_selected()) continue;
        m_selection.add(item);
        set_selected_flag(*item, true);
    }
    if (notify) notify_selection_changed();
    redraw();
}

void GuiTree::deselect_all(bool const& notify)
{
    for (GuiTreeItem* item : m_selection) set_selected_flag(*item, false);
    m_selection.clear();
    if (notify) on_deselect_all();
    redraw();
}

void GuiTree::select_all()
{
    if (!m_multi_selection) return;
    CoreVector<GuiTreeItem*> items;
    collect_shown(0, get_line_count(), items);
    set_selection(items, true);
}

void GuiTree::select_next_item(GuiTreeItem* item)
{
    GuiTreeItem* next = nullptr;
    if (!item) {
        next = get_first_item();
    } else {
        int const line = item->get_global_index();
        next = line < 0 ? get_first_item() : get_item_at_line(static_cast<unsigned int>(line) + 1);
    }
    if (!next) return;
    select_item(next);
    show_item(next);
}

void GuiTree::select_previous_item(GuiTreeItem* item)
{
    GuiTreeItem* previous = nullptr;
    if (!item) {
        previous = get_last_item(true);
    } else {
        int const line = item->get_global_index();
        previous = line < 0 ? get_last_item(true) : line > 0 ? get_item_at_line(static_cast<unsigned int>(line) - 1)
                                                             : nullptr;
    }
    if (!previous) return;
    select_item(previous);
    show_item(previous);
}

void GuiTree::preselect_item(GuiTreeItem* item)
{
    clear_preselection();
    add_item_to_preselection(item);
}

void GuiTree::add_item_to_preselection(GuiTreeItem* item)
{
    if (!item || item->get_tree() != this || !item->is_selectable()) return;
    if (item->m_preselected) {
        item->m_preselected = false;
        m_preselection.remove(m_preselection.find(item));
    } else {
        item->m_preselected = true;
        m_preselection.add(item);
    }
    item->redraw();
}

void GuiTree::add_range_to_preselection(GuiTreeItem* item)
{
    if (!item || item->get_tree() != this) return;
    int const from = m_selection.is_empty() ? -1 : m_selection.get_last()->get_global_index();
    int const to = item->get_global_index();
    if (from < 0 || to < 0) {
        add_item_to_preselection(item);
        return;
    }
    CoreVector<GuiTreeItem*> range;
    collect_shown(static_cast<unsigned int>(std::min(from, to)), static_cast<unsigned int>(std::abs(to - from)) + 1,
                  range);
    for (GuiTreeItem* entry : range) {
        if (!entry->is_selectable() || entry->m_preselected) continue;
        entry->m_preselected = true;
        m_preselection.add(entry);
        entry->redraw();
    }
}

void GuiTree::set_preselection(CoreVector<GuiTreeItem*> const& items)
{
    clear_preselection();
    for (GuiTreeItem* item : items)
        if (item && !item->m_preselected) add_item_to_preselection(item);
}

void GuiTree::clear_preselection()
{
    for (GuiTreeItem* item : m_preselection) {
        item->m_preselected = false;
        item->redraw();
    }
    m_preselection.clear();
}

void GuiTree::highlight_item(GuiTreeItem* item, bool const& highlight)
{
    if (!item || item->get_tree() != this || item->m_highlighted == highlight) return;
    item->m_highlighted = highlight;
    if (highlight)
        m_highlighted_items.add(item);
    else
        m_highlighted_items.remove(m_highlighted_items.find(item));
    item->redraw();
}

void GuiTree::clear_highlighted_items()
{
    for (GuiTreeItem* item : m_highlighted_items) {
        item->m_highlighted = false;
        item->redraw();
    }
    m_highlighted_items.clear();
}

void GuiTree::forget_deleted_item(GuiTreeItem& item)
{
    if (m_being_destroyed) return;
    m_visible_items.remove_item(&item);
    m_selection.remove_item(&item);
    m_preselection.remove_item(&item);
    m_highlighted_items.remove_item(&item);
    if (m_last_event_item == &item) m_last_event_item = nullptr;
    if (m_drag_over_item == &item) m_drag_over_item = nullptr;
    if (m_drag_source_item == &item) end_drag();
}

bool GuiTree::forget_subtree(GuiTreeItem& item, bool& selection_changed)
{
    selection_changed = false;
    if (m_dragging) {
        bool involved = item.is_ancestor_of(*m_drag_source_item) ||
                        (m_drag_over_item && item.is_ancestor_of(*m_drag_over_item));
        for (GuiTreeItem* selected : m_selection) involved = involved || item.is_ancestor_of(*selected);
        if (involved) {
            CORE_LOG_WARNING("GuiTree.forget_subtree: the item is being dragged; it stays until the drop\n");
            return false;
        }
    }
    unsigned int const selected_before = m_selection.get_count();
    for (GuiTreeItem* selected : m_selection)
        if (item.is_ancestor_of(*selected)) selected->m_selected = false;
    drop_subtree(m_selection, item);
    drop_subtree(m_preselection, item);
    drop_subtree(m_highlighted_items, item);
    CoreVector<GuiTreeItem*> visible;
    for (GuiTreeItem* shown : m_visible_items) {
        if (item.is_ancestor_of(*shown))
            hide_item(*shown);
        else
            visible.add(shown);
    }
    m_visible_items.std_vector().swap(visible.std_vector());
    if (m_last_event_item && item.is_ancestor_of(*m_last_event_item)) m_last_event_item = nullptr;
    if (m_drag_over_item && item.is_ancestor_of(*m_drag_over_item)) m_drag_over_item = nullptr;
    if (m_drag_source_item && item.is_ancestor_of(*m_drag_source_item)) end_drag();
    selection_changed = m_selection.get_count() != selected_before;
    return true;
}

void GuiTree::finish_removal(bool const& selection_changed)
{
    if (selection_changed && !m_destroying_selection) notify_selection_changed();
    refresh();
}

void GuiTree::destroy_selected_items()
{
    if (m_selection.is_empty()) return;
    raise_item_event(EVT_ID_TREE_SELECTION_REMOVE, m_selection.get_last());
    on_remove_selection();
    if (m_item_delete) {
        m_destroying_selection = true;
        for (GuiTreeItem* item : CoreVector<GuiTreeItem*>(m_selection)) {
            // Gone already with a selected ancestor, or refused during a drag.
            if (item->get_tree() != this || !item->is_selected()) continue;
            if (GuiTreeItem* parent = item->get_parent_item()) parent->remove_child(item);
        }
        m_destroying_selection = false;
        if (!m_dragging) {
            for (GuiTreeItem* item : m_selection) item->m_selected = false;
            m_selection.clear();
            clear_preselection();
        }
        gather_visibles();
        redraw();
    }
    notify_selection_changed();
}

// Mouse ------------------------------------------------------------------------------------------------

void GuiTree::press_item(GuiTreeItem* item)
{
    if (!item || item->get_tree() != this) return;
    clear_preselection();
    if (is_focus_receiver() && !has_focus()) set_focus();
    if (!item->is_selected()) item->preselect();
    m_drag_source_line = -1;
    m_drag_source_item = nullptr;
}

void GuiTree::release_item(GuiTreeItem* item)
{
    if (m_dragging) {
        drop_selection();
        clear_preselection();
        return;
    }
    end_drag();
    if (item && item->get_tree() == this) item->select(false);
    clear_preselection();
}

void GuiTree::drag_selection_to(int const& window_y)
{
    if (!m_drag_and_drop || m_visible_items.is_empty()) return;
    GMathVec4<int> const inner = get_inner_rect();
    m_last_drag_y = window_y;
    int line = get_line_at(window_y);
    int const last = static_cast<int>(m_visible_items.get_count()) - 1;
    if (m_drag_source_line < 0) {
        // The first drag event records where the drag comes from.
        m_drag_source_line = std::clamp(line, 0, last);
        m_drag_source_item = m_visible_items[m_drag_source_line];
        return;
    }
    bool const outside = window_y < inner[1] || window_y >= inner[1] + inner[3];
    if (outside && !m_drag_scroll_timer && m_dragging)
        m_drag_scroll_timer =
            get_application().add_timer(&GuiTree::on_scroll_while_drag_timer, this, SCROLL_WHILE_DRAG_DELAY);
    line = std::clamp(line, 0, last);
    if (!m_dragging && line == m_drag_source_line) return;
    if (!m_dragging) {
        m_dragging = true;
        // A drag from an item outside the selection moves that item alone.
        if (m_drag_source_item && !m_drag_source_item->is_selected()) select_item(m_drag_source_item);
        if (outside && !m_drag_scroll_timer)
            m_drag_scroll_timer =
                get_application().add_timer(&GuiTree::on_scroll_while_drag_timer, this, SCROLL_WHILE_DRAG_DELAY);
    }
    GuiTreeItem* hovered = m_visible_items[line];
    int const source_global = m_drag_source_item ? m_drag_source_item->get_global_index() : -1;
    bool const moving_up = static_cast<int>(m_first_line) + line <= source_global;
    int const bar_y = inner[1] + line * m_line_height + (moving_up ? 0 : m_line_height - DRAG_BAR_HEIGHT);
    m_drag_bar->bring_to_front();
    m_drag_bar->resize(inner[0], bar_y, get_row_width(), DRAG_BAR_HEIGHT);
    if (!GuiWidget::is_widget_visible(*m_drag_bar) && is_shown()) m_drag_bar->show();
    m_drag_bar->redraw();
    m_drop_line = m_first_line + static_cast<unsigned int>(line);
    if (hovered == m_drag_over_item) return;
    m_drag_over_item = hovered;
    raise_item_event(EVT_ID_TREE_SELECTION_DRAG, hovered);
    on_selection_drag();
}

void GuiTree::on_scroll_while_drag_timer(void* data)
{
    static_cast<GuiTree*>(data)->scroll_while_drag();
}

void GuiTree::scroll_while_drag()
{
    GMathVec4<int> const inner = get_inner_rect();
    int const y = m_last_drag_y;
    int lines = 0;
    if (y < inner[1])
        lines = -((inner[1] - y) / m_line_height + 1);
    else if (y >= inner[1] + inner[3])
        lines = (y - inner[1] - inner[3]) / m_line_height + 1;
    if (!m_dragging || lines == 0) {
        m_drag_scroll_timer = 0;
        return;
    }
    long long const first = std::max(0LL, static_cast<long long>(m_first_line) + lines);
    set_offset(static_cast<unsigned int>(first));
    drag_selection_to(y);
    get_application().repeat_timer(m_drag_scroll_timer, SCROLL_WHILE_DRAG_DELAY);
}

void GuiTree::end_drag()
{
    if (m_drag_scroll_timer) get_application().remove_timer(m_drag_scroll_timer);
    m_drag_scroll_timer = 0;
    if (m_drag_bar && GuiWidget::is_widget_visible(*m_drag_bar)) m_drag_bar->hide();
    m_dragging = false;
    m_drag_source_line = -1;
    m_drag_source_item = nullptr;
}

void GuiTree::drop_selection()
{
    if (!m_dragging) {
        end_drag();
        return;
    }
    GuiTreeItem* target = m_drag_over_item;
    end_drag();
    m_drag_over_item = nullptr;
    raise_item_event(EVT_ID_TREE_SELECTION_DROP, target);
    on_selection_drop(target);
}

void GuiTree::on_selection_drop(GuiTreeItem* target)
{
    if (!target || target->get_tree() != this) return;
    for (GuiTreeItem* item : m_selection) {
        if (item != target && item->is_ancestor_of(*target)) {
            CORE_LOG_WARNING("GuiTree.on_selection_drop: the target lies inside a dragged item; nothing moves\n");
            return;
        }
    }
    for (unsigned int i = m_selection.get_count(); i-- > 0;)
        if (m_selection[i] != target) m_selection[i]->move_after(*target);
    gather_visibles();
    redraw();
}

// Keys ----------------------------------------------------------------------------------------------------

void GuiTree::type_ahead(char const& letter)
{
    GuiTreeItem* first_match = nullptr;
    GuiTreeItem* chosen = nullptr;
    bool passed_selected = false;
    CoreVector<GuiTreeItem*> stack;
    for (unsigned int i = m_root->get_children().get_count(); i-- > 0;) stack.add(m_root->get_children()[i]);
    while (!stack.is_empty() && !chosen) {
        GuiTreeItem* item = stack.get_last();
        stack.remove(stack.get_count() - 1);
        if (item->text_starts_with(letter)) {
            if (!first_match) first_match = item;
            if (passed_selected) chosen = item;
        }
        if (item->is_selected()) passed_selected = true;
        for (unsigned int i = item->get_children().get_count(); i-- > 0;) stack.add(item->get_children()[i]);
    }
    if (!chosen) chosen = first_match;
    if (!chosen) return;
    select_item(chosen);
    show_item(chosen);
}

int GuiTree::process_event(CoreString const& name)
{
    if (name == EVT_ID_MOUSE_DOWN) {
        if (Gui::get_event_mouse_button() == Gui::MOUSE_BUTTON_ID_LEFT && !Gui::is_modifier_ctrl() &&
            !Gui::is_modifier_shift() && !Gui::is_modifier_alt()) {
            bool const had_selection = !m_selection.is_empty();
            clear_preselection();
            deselect_all(true);
            if (had_selection) notify_selection_changed();
        }
        if (is_focus_receiver() && !has_focus()) set_focus();
        return 1;
    }
    if (name == EVT_ID_MOUSE_WHEEL) {
        int const dy = Gui::get_wheel_dy();
        if (dy == 0 || !GuiWidget::is_widget_visible(*m_scrollbar)) return 1;
        long long const first = std::max(0LL, static_cast<long long>(m_first_line) + 3LL * dy);
        set_offset(static_cast<unsigned int>(std::min<long long>(first, UINT_MAX)));
        return 1;
    }
    if (name == EVT_ID_WIDGET_FOCUS_IN || name == EVT_ID_WIDGET_FOCUS_OUT) {
        redraw();
        return GuiWidget::process_event(name);
    }
    bool const key_down = name == EVT_ID_KEY_DOWN;
    int px = 0, py = 0;
    Gui::get_relative_mouse_coords(*this, px, py);
    bool const pointer_over = Gui::is_point_in_region(px, py, 0, 0, get_width(), get_height());
    if (key_down || (name == EVT_ID_KEY_SHORTCUT && pointer_over)) {
        int const key = Gui::get_last_key_pressed();
        switch (key) {
        case Gui::KEY_ID_DELETE: {
            int const handled = on_delete();
            if (m_item_delete) destroy_selected_items();
            if (handled) return 1;
            break;
        }
        case Gui::KEY_ID_UP:
            raise_event(EVT_ID_TREE_NAVIGATE_UP);
            if (on_navigate_up()) return 1;
            break;
        case Gui::KEY_ID_DOWN:
            raise_event(EVT_ID_TREE_NAVIGATE_DOWN);
            if (on_navigate_down()) return 1;
            break;
        case Gui::KEY_ID_LEFT:
            raise_event(EVT_ID_TREE_NAVIGATE_LEFT);
            if (on_navigate_left()) return 1;
            break;
        case Gui::KEY_ID_RIGHT:
            raise_event(EVT_ID_TREE_NAVIGATE_RIGHT);
            if (on_navigate_right()) return 1;
            break;
        default:
            if (key >= 'a' && key <= 'z' && has_focus() && pointer_over && !Gui::is_modifier_ctrl() &&
                !Gui::is_modifier_shift() && !Gui::is_modifier_alt()) {
                type_ahead(static_cast<char>(key));
                return 1;
            }
            break;
        }
    }
    return GuiWidget::process_event(name);
}

// Hooks -------------------------------------------------------------------------------------------------

void GuiTree::on_item_activate(GuiTreeItem*) {}
int GuiTree::on_delete() { return 0; }
void GuiTree::on_item_expand(GuiTreeItem*) {}
void GuiTree::on_item_collapse(GuiTreeItem*) {}
void GuiTree::on_item_deselect(GuiTreeItem*) {}
void GuiTree::on_selection_changed() {}
void GuiTree::on_selection_drag() {}
void GuiTree::on_deselect_all() {}
void GuiTree::on_item_rename(GuiTreeItem*) {}
void GuiTree::on_remove_selection() {}

int GuiTree::on_navigate_down()
{
    if (!get_line_count()) return 0;
    select_next_item(m_selection.is_empty() ? nullptr : m_selection.get_last());
    return 1;
}

int GuiTree::on_navigate_up()
{
    if (!get_line_count()) return 0;
    select_previous_item(m_selection.is_empty() ? nullptr : m_selection.get_last());
    return 1;
}

int GuiTree::on_navigate_left()
{
    if (m_selection.is_empty()) return 0;
    for (GuiTreeItem* item : CoreVector<GuiTreeItem*>(m_selection)) item->collapse();
    return 1;
}

int GuiTree::on_navigate_right()
{
    if (m_selection.is_empty()) return 0;
    for (GuiTreeItem* item : CoreVector<GuiTreeItem*>(m_selection)) item->expand();
    return 1;
}

// Columns and look -------------------------------------------------------------------------------------------

void GuiTree::add_column(CoreString const& title, int const& width)
{
    insert_column(title, width, get_column_count());
}

void GuiTree::insert_column(CoreString const& title, int const& width, int const& index)
{
    int const at = std::clamp(index, 0, get_column_count());
    m_column_widths.insert(at, width);
    m_column_titles.insert(at, title);
    refresh();
}

void GuiTree::remove_column(int const& index)
{
    if (index < 0 || index >= get_column_count()) {
        CORE_LOG_WARNING("GuiTree.remove_column: no column " << index << "; nothing changes\n");
        return;
    }
    m_column_widths.remove(index);
    m_column_titles.remove(index);
    refresh();
}

void GuiTree::remove_all_columns()
{
    m_column_widths.clear();
    m_column_titles.clear();
    refresh();
}

int GuiTree::get_column_width(int const& index) const
{
    return index >= 0 && index < get_column_count() ? m_column_widths[index] : 0;
}

CoreString GuiTree::get_column_title(int const& index) const
{
    return index >= 0 && index < get_column_count() ? m_column_titles[index] : CoreString();
}

void GuiTree::set_connector_column(unsigned int const& column)
{
    m_connector_column = column;
    refresh();
}

void GuiTree::set_background_color(GMathVec3<int> const& color)
{
    m_background_color = color;
    redraw();
}

void GuiTree::set_border_color(GMathVec3<int> const& color)
{
    m_border_color = color;
    redraw();
}

void GuiTree::set_border_style(BorderStyle const& style)
{
    m_border_style = style;
    redraw();
}

void GuiTree::set_icon_size(ImageIcon::ImageIconSize const& size)
{
    m_icon_size = size;
    refresh();
}

void GuiTree::set_shaded_entries(bool const& shaded)
{
    m_shaded_entries = shaded;
    refresh();
}

void GuiTree::draw(GuiDc& dc)
{
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    auto channel = [](int v) { return static_cast<unsigned char>(std::clamp(v, 0, 255)); };
    wdc.draw_rectf(x, y, w, h, channel(m_background_color[0]), channel(m_background_color[1]),
                   channel(m_background_color[2]));
    unsigned char const r = channel(m_border_color[0]), g = channel(m_border_color[1]),
                        b = channel(m_border_color[2]);
    if (m_border_style == BORDER_STYLE_RECTANGLE) {
        wdc.draw_rect(x, y, w, h, r, g, b);
    } else if (m_border_style == BORDER_STYLE_LINES) {
        // Darker top and left edges, lighter bottom and right ones: a sunken well.
        GMathVec3<unsigned char> const& light = get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_EDGE_LIGHT);
        wdc.draw_line(x, y, x + w - 1, y, r, g, b);
        wdc.draw_line(x, y, x, y + h - 1, r, g, b);
        wdc.draw_line(x, y + h - 1, x + w - 1, y + h - 1, light[0], light[1], light[2]);
        wdc.draw_line(x + w - 1, y, x + w - 1, y + h - 1, light[0], light[1], light[2]);
    }
}
