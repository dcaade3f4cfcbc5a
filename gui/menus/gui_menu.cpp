#include "gui/menus/gui_menu.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>

#include <algorithm>

#include "gui/core/gui_action.h"
#include "gui/core/gui_app.h"
#include "gui/menus/gui_menu_button.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_resource.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiMenu, GuiPopup)

EVENT_DEFINE_ID(EVT_ID_MENU_SHOW);
EVENT_DEFINE_ID(EVT_ID_MENU_HIDE);
EVENT_DEFINE_ID(EVT_ID_MENU_FOCUS_OUT);
EVENT_DEFINE_ID(EVT_ID_MENU_CLICK);
EVENT_DEFINE_ID(EVT_ID_MENU_KEY_PRESSED);
EVENT_DEFINE_ID(EVT_ID_MENU_SELECTION_CHANGED);

namespace {


// Rows start 10 pixels below the top and end 10 above the bottom.
constexpr int VERTICAL_MARGIN = 10;
// The 25 extra pixels of the width: left margin, gaps after the icon and the label, right
// margin.
constexpr int LEFT_MARGIN = 6;
constexpr int ICON_GAP = 6;
constexpr int LABEL_GAP = 6;
constexpr int RIGHT_MARGIN = 7;
// The shortcut column: room for a sub-menu's arrow, and the space before the column.
constexpr int ARROW_WIDTH = 10;
constexpr int SHORTCUT_PADDING = 12;
constexpr double SUB_MENU_POLL = 0.020;

char const* const MORE_ITEM_NAME = "more ...";

GuiWindow* owner_window_of(GuiWidget* owner)
{
    if (owner) {
        if (GuiWidget* window = owner->get_window()) return static_cast<GuiWindow*>(window);
    }
    GuiApp* app = GuiApp::get_gui_instance();
    if (app && !app->get_windows().is_empty()) return app->get_windows()[0];
    return nullptr;
}

int check_mark_width()
{
    return static_cast<int>(std::max(GuiResource::checker().get_width(), GuiResource::checker_selected().get_width()));
}

int check_mark_height()
{
    return static_cast<int>(
        std::max(GuiResource::checker().get_height(), GuiResource::checker_selected().get_height()));
}

// The words of a name or filter: an identifier whose '_' became spaces, split at spaces.
CoreVector<CoreString> filter_words(CoreString text)
{
    text.make_identifier();
    text.replace('_', ' ');
    CoreVector<CoreString> words;
    for (CoreString const& word : text.split(" "))
        if (!word.is_empty()) words.add(word);
    return words;
}

bool is_lower(char c)
{
    return c >= 'a' && c <= 'z';
}

bool is_upper(char c)
{
    return c >= 'A' && c <= 'Z';
}

// `needle` (lower case) starts somewhere in `word` where a word starts: at its beginning or
// at a camel-case hump.
bool starts_a_word_part(CoreString const& word, CoreString const& needle)
{
    CoreString const lower = word.get_lower_case();
    for (unsigned int i = 0; i + needle.get_length() <= word.get_length(); ++i) {
        bool const word_start = i == 0 || (is_lower(word[i - 1]) && is_upper(word[i]));
        if (!word_start) continue;
        if (lower.view().substr(i, needle.get_length()) == needle.view()) return true;
    }
    return false;
}

}  // namespace

GuiMenu::GuiMenu(GuiWidget* owner)
    : GuiPopup(*owner_window_of(owner), 0, 0, 10, 10), m_owner_widget(owner)
{
}

GuiMenu::~GuiMenu()
{
    if (m_sub_menu_timer) get_application().remove_timer(m_sub_menu_timer);
    // Items delete their sub-menus.
    CoreVector<GuiMenuItem*> items = m_items;
    m_items.clear();
    for (GuiMenuItem* item : items) delete item;
    delete m_filter_label;
    delete m_results_label;
    delete m_no_items;
    delete m_listed_more;
    for (GuiMenuRadioGroup* group : m_radio_groups) delete group;
    if (m_parent_item) m_parent_item->m_sub_menu = nullptr;
    if (m_holding_button) m_holding_button->m_menu = nullptr;
}

// Items -------------------------------------------------------------------------------------------

GuiMenu* GuiMenu::target_for_new_item()
{
    if (m_more_menu) return m_more_menu->target_for_new_item();
    int const max = get_max_line_count();
    if (max <= 0 || static_cast<int>(m_items.get_count()) < max) return this;
    GuiMenuItem* more = create_more_item();
    m_more_menu = more->m_sub_menu;
    m_items.add(more);
    item_changed();
    return m_more_menu;
}

GuiMenuItem* GuiMenu::create_more_item()
{
    GuiMenu* overflow = new GuiMenu(m_owner_widget);
    overflow->m_overflow = true;
    overflow->m_max_line_count = get_max_line_count();
    overflow->m_parent_menu = this;
    GuiMenuItem* more = new GuiMenuItem(*this, overflow, MORE_ITEM_NAME, false);
    overflow->m_parent_item = more;
    for (CoreString const* name :
         {&EVT_ID_MENU_SHOW, &EVT_ID_MENU_HIDE, &EVT_ID_MENU_FOCUS_OUT, &EVT_ID_MENU_CLICK})
        connect(*overflow, *name, &GuiMenu::on_more_menu_event);
    return more;
}

void GuiMenu::on_more_menu_event(GuiMenu& more, EventInfo const& info, void*)
{
    // The overflow holds this menu's rows: its listeners hear of it as of this menu.
    if (info.get_name() == EVT_ID_MENU_CLICK) m_last_selected = more.m_last_selected;
    raise_event(info.get_name());
}

GuiMenuItem* GuiMenu::append(GuiMenuItem* item)
{
    GuiMenu* target = target_for_new_item();
    item->m_menu = target;
    if (GuiMenu* sub = item->m_sub_menu) {
        sub->m_parent_menu = target;
        sub->m_parent_item = item;
    }
    target->m_items.add(item);
    target->item_changed();
    return item;
}

GuiMenuItem* GuiMenu::add_item(CoreString const& name)
{
    return append(new GuiMenuItem(*this, name));
}

GuiMenuItem* GuiMenu::add_item(GuiAction& action, CoreString const& name)
{
    return append(new GuiMenuItem(action, name));
}

GuiMenuItem* GuiMenu::add_separator(CoreString const& name)
{
    GuiMenuItem* item = new GuiMenuItem();
    item->m_name = name;
    return append(item);
}

GuiMenu* GuiMenu::add_sub_menu(CoreString const& name, GuiImage const* icon)
{
    GuiMenu* sub_menu = new GuiMenu(m_owner_widget);
    add_sub_menu(sub_menu, name, icon, false);
    return sub_menu;
}

GuiMenuItem* GuiMenu::add_sub_menu(GuiMenu* sub_menu, CoreString const& name, GuiImage const* icon,
                                   bool const& clickable_menu)
{
    if (!sub_menu || sub_menu == this || sub_menu->m_parent_item) {
        CORE_LOG_WARNING("GuiMenu.add_sub_menu: the menu is null, this menu or already a sub-menu; nothing is "
                         "added\n");
        return nullptr;
    }
    GuiMenuItem* item = new GuiMenuItem(*this, sub_menu, name, clickable_menu);
    if (icon) item->m_icons.add(icon);
    return append(item);
}

GuiMenuItem* GuiMenu::add_linked_sub_menu(GuiMenu* sub_menu, CoreString const& name, GuiImage const* icon)
{
    if (!sub_menu || sub_menu == this) return nullptr;
    // A menu shown from one place at a time: an earlier link lets go of it.
    if (sub_menu->m_parent_item) {
        if (sub_menu->m_parent_item->m_owns_sub_menu) {
            CORE_LOG_WARNING("GuiMenu.add_linked_sub_menu: the menu is another menu's own sub-menu; nothing is "
                             "added\n");
            return nullptr;
        }
        sub_menu->m_parent_item->m_sub_menu = nullptr;
        sub_menu->detach_from_parent();
    }
    GuiMenuItem* item = new GuiMenuItem(*this, sub_menu, name, false);
    item->m_owns_sub_menu = false;
    if (icon) item->m_icons.add(icon);
    return append(item);
}

GuiMenuItem* GuiMenu::add_widget(GuiWidget* widget)
{
    if (!widget) return nullptr;
    GuiMenuItem* item = new GuiMenuItem(*this, CoreString());
    item->m_widget = widget;
    item->m_clickable = false;
    append(item);
    widget->set_parent(item->m_menu);
    return item;
}

GuiMenuRadioGroup* GuiMenu::create_radio_group()
{
    GuiMenuRadioGroup* group = new GuiMenuRadioGroup();
    m_radio_groups.add(group);
    return group;
}

GuiMenuItem* GuiMenu::get_item(CoreString const& name) const
{
    for (GuiMenuItem* item : m_items)
        if (item->get_name() == name && !(m_more_menu && item->m_sub_menu == m_more_menu)) return item;
    return m_more_menu ? m_more_menu->get_item(name) : nullptr;
}

void GuiMenu::remove_item(GuiMenuItem* item)
{
    if (!item) return;
    if (m_items.find(item) < 0) {
        if (m_more_menu) m_more_menu->remove_item(item);
        return;
    }
    if (GuiMenu* open = get_open_sub_menu(); open && open == item->m_sub_menu) close_sub_menu();
    m_items.remove_item(item);
    if (item->m_sub_menu && item->m_sub_menu == m_more_menu) m_more_menu = nullptr;
    m_highlighted = -1;
    m_sub_menu_candidate = -1;
    forget_items({item});
    if (GuiWidget* widget = item->m_widget) {
        if (!widget->is_destroyed()) widget->destroy();
    }
    delete item;
    item_changed();
}

void GuiMenu::remove_sub_menu(GuiMenu* sub_menu)
{
    if (!sub_menu) return;
    for (GuiMenuItem* item : m_items) {
        if (item->m_sub_menu == sub_menu) {
            remove_item(item);
            return;
        }
    }
    if (m_more_menu) m_more_menu->remove_sub_menu(sub_menu);
}

void GuiMenu::remove_all_items()
{
    close_sub_menu();
    CoreVector<GuiMenuItem*> items = m_items;
    m_items.clear();
    m_more_menu = nullptr;
    m_highlighted = -1;
    m_sub_menu_candidate = -1;
    forget_items(items);
    for (GuiMenuItem* item : items) {
        if (item->m_widget && !item->m_widget->is_destroyed()) item->m_widget->destroy();
        delete item;
    }
    item_changed();
}

void GuiMenu::forget_items(CoreVector<GuiMenuItem*> const& items)
{
    // A filtering menu up the chain may list them among its results, or have picked one last:
    // it matches again without them before they are deleted.
    for (GuiMenu* menu = this; menu; menu = menu->m_parent_menu) {
        if (items.contains(menu->m_last_selected)) menu->m_last_selected = nullptr;
        if (!menu->m_filter.is_empty()) menu->apply_filter();
    }
}

void GuiMenu::move_item(GuiMenuItem* item, GuiMenuItem* before, bool const& after)
{
    if (!item || item == before || m_items.find(item) < 0) return;
    if (before && m_items.find(before) < 0) return;
    m_items.remove_item(item);
    int index = before ? m_items.find(before) + (after ? 1 : 0) : static_cast<int>(m_items.get_count());
    m_items.insert(static_cast<unsigned int>(index), item);
    m_highlighted = -1;
    item_changed();
}

void GuiMenu::enable_all_items()
{
    for (GuiMenuItem* item : m_items) item->m_disabled = false;
    if (m_more_menu) m_more_menu->enable_all_items();
    item_changed();
}

void GuiMenu::disable_all_items()
{
    for (GuiMenuItem* item : m_items) item->m_disabled = true;
    if (m_more_menu) m_more_menu->disable_all_items();
    item_changed();
}

void GuiMenu::item_changed()
{
    if (is_shown()) {
        compute_size();
        redraw();
    }
}

void GuiMenu::detach_from_parent()
{
    if (is_shown()) hide();
    if (m_parent_menu && m_parent_menu->m_more_menu == this) m_parent_menu->m_more_menu = nullptr;
    m_parent_menu = nullptr;
    m_parent_item = nullptr;
}

// Showing -----------------------------------------------------------------------------------------

void GuiMenu::popup(GuiWidget& widget, Anchor const& anchor, int const& dx, int const& dy)
{
    int bx = 0, by = 0;
    GuiWidget* window = widget.get_window();
    if (window) {
        GMathVec2<int> const position = window->get_position();
        bx = position[0];
        by = position[1];
    }
    if (window != &widget) {
        bx += widget.get_x();
        by += widget.get_y();
    }
    compute_size();
    int const w = get_width(), h = get_height();
    int x = bx, y = by;
    switch (anchor) {
    case ANCHOR_LEFT:
        x = bx - w - dx;
        y = by + dy;
        break;
    case ANCHOR_RIGHT:
        x = bx + widget.get_width() + dx;
        y = by + dy;
        break;
    case ANCHOR_TOP:
        x = bx + dx;
        y = by - (h + dy);
        break;
    case ANCHOR_BOTTOM:
        x = bx + dx;
        y = by + widget.get_height() + dy;
        break;
    default: break;
    }
    popup(x, y);
}

void GuiMenu::popup(int const& x, int const& y)
{
    if (is_shown()) hide_silent();
    m_hidden_silently = false;
    // An overflow of filter results shows the rows it was given; other menus open unfiltered.
    if (!m_lists_results) {
        m_filter = CoreString();
        m_results.clear();
        clear_listed();
    }
    m_highlighted = -1;
    m_sub_menu_candidate = -1;
    m_pressed_inside = false;
    Gui::get_mouse_screen_position(m_pointer_x, m_pointer_y);
    compute_size();
    int const w = get_width(), h = get_height();
    int px = x, py = y;
    int ax = 0, ay = 0, aw = 0, ah = 0;
    Fl::screen_work_area(ax, ay, aw, ah, x, y);
    if (aw > 0 && ah > 0) {
        if (px + w > ax + aw) px = ax + aw - w;
        if (py + h > ay + ah) py = ay + ah - h;
        px = std::max(px, ax);
        py = std::max(py, ay);
    }
    resize(px, py, w, h);
    layout_widgets();
    show();
    raise_event(EVT_ID_MENU_SHOW);
}

void GuiMenu::hide()
{
    // A menu hidden silently on its way out still tells its listeners it closed.
    bool const was_shown = is_shown() || m_hidden_silently;
    m_hidden_silently = false;
    if (m_sub_menu_timer) {
        get_application().remove_timer(m_sub_menu_timer);
        m_sub_menu_timer = 0;
    }
    m_sub_menu_candidate = -1;
    m_pressed_inside = false;
    GuiPopup::hide();
    if (was_shown) raise_event(EVT_ID_MENU_HIDE);
}

void GuiMenu::hide_silent()
{
    m_hidden_silently = m_hidden_silently || is_shown();
    if (m_sub_menu_timer) {
        get_application().remove_timer(m_sub_menu_timer);
        m_sub_menu_timer = 0;
    }
    m_sub_menu_candidate = -1;
    m_pressed_inside = false;
    GuiPopup::hide();
}

void GuiMenu::focus_out()
{
    raise_event(EVT_ID_MENU_FOCUS_OUT);
    hide();
}

void GuiMenu::focus_out_recursively()
{
    CoreVector<GuiMenu*> chain;
    for (GuiMenu* menu = this; menu; menu = menu->m_parent_menu) chain.add(menu);
    for (GuiMenu* menu : chain) menu->focus_out();
}

GuiMenu* GuiMenu::get_main_menu()
{
    GuiMenu* menu = this;
    while (menu->m_parent_menu) menu = menu->m_parent_menu;
    return menu;
}

GuiMenu* GuiMenu::get_open_sub_menu() const
{
    for (GuiMenuItem* item : get_displayed_items())
        if (item->m_sub_menu && item->m_sub_menu->is_shown()) return item->m_sub_menu;
    return nullptr;
}

GuiMenuItem* GuiMenu::get_highlighted_item() const
{
    CoreVector<GuiMenuItem*> const rows = get_displayed_items();
    if (m_highlighted < 0 || m_highlighted >= static_cast<int>(rows.get_count())) return nullptr;
    return rows[static_cast<unsigned int>(m_highlighted)];
}

void GuiMenu::set_last_triggered_action(GuiAction* action)
{
    get_main_menu()->m_last_triggered_action = action;
}

bool GuiMenu::repeat_last_action()
{
    GuiAction* action = get_main_menu()->m_last_triggered_action;
    if (!action) return false;
    if (action->is_enabled()) action->call(m_owner_widget ? *m_owner_widget : action->get_widget());
    return true;
}

// Filter --------------------------------------------------------------------------------------------

void GuiMenu::set_enable_filter(bool const& enabled, int const& max_results)
{
    m_filter_enabled = enabled;
    m_filter_max_results = std::max(0, max_results);
    if (!enabled && !m_filter.is_empty()) {
        m_filter = CoreString();
        apply_filter();
    }
}

bool GuiMenu::is_visible_by_filter(CoreString name, CoreString filter)
{
    if (filter.is_empty()) return true;
    if (name.is_empty()) return false;
    CoreVector<CoreString> const name_words = filter_words(name);
    filter.lower_case();
    CoreVector<CoreString> const wanted = filter_words(filter);
    if (wanted.is_empty()) return true;

    bool all_found = true;
    for (CoreString const& needle : wanted) {
        bool found = false;
        for (CoreString const& word : name_words) {
            if (starts_a_word_part(word, needle)) {
                found = true;
                break;
            }
        }
        if (!found) {
            all_found = false;
            break;
        }
    }
    if (all_found) return true;

    // An acronym: the letters, in order, are the initials of the name's first words.
    if (wanted.get_count() != 1 || wanted[0].get_length() < 2) return false;
    CoreString const& acronym = wanted[0];
    if (acronym.get_length() > name_words.get_count()) return false;
    for (unsigned int i = 0; i < acronym.get_length(); ++i) {
        char initial = name_words[i][0];
        if (is_upper(initial)) initial = static_cast<char>(initial - 'A' + 'a');
        if (initial != acronym[i]) return false;
    }
    return true;
}

void GuiMenu::collect_results(GuiMenu const& menu, CoreVector<GuiMenuItem*>& results) const
{
    for (GuiMenuItem* item : menu.m_items) {
        if (item->m_sub_menu) {
            collect_results(*item->m_sub_menu, results);
            if (!item->m_clickable_menu) continue;
        }
        if (!item->is_item() && !(item->m_sub_menu && item->m_clickable_menu)) continue;
        if (!item->m_clickable) continue;
        if (m_filter_max_results > 0 && static_cast<int>(results.get_count()) >= m_filter_max_results) return;
        if (is_visible_by_filter(item->get_name(), m_filter)) results.add(item);
    }
}

void GuiMenu::apply_filter()
{
    close_sub_menu();
    m_results.clear();
    clear_listed();
    m_highlighted = -1;
    m_sub_menu_candidate = -1;
    if (!m_filter.is_empty()) {
        if (!m_filter_label) {
            m_filter_label = new GuiMenuItem(*this, CoreString());
            m_filter_label->m_clickable = false;
            m_results_label = new GuiMenuItem();
            m_results_label->m_menu = this;
            m_results_label->m_name = "Results: ";
            m_no_items = new GuiMenuItem(*this, "No Items Were Found");
            m_no_items->m_faded = true;
            m_no_items->m_disabled = true;
            m_no_items->m_clickable = false;
        }
        m_filter_label->m_name = CoreString("Filter:  ") + m_filter;
        collect_results(*this, m_results);
        // Below the filter and results labels.
        list_items(m_results, std::max(1, get_max_line_count() - 2));
        m_highlighted = find_selectable_row(-1, 1);
    }
    if (is_shown()) {
        int const x = get_position()[0], y = get_position()[1];
        compute_size();
        resize(x, y, get_width(), get_height());
        layout_widgets();
        redraw();
    }
}

void GuiMenu::list_items(CoreVector<GuiMenuItem*> const& items, int const& room)
{
    clear_listed();
    unsigned int const fit = static_cast<unsigned int>(std::max(room, 0));
    for (unsigned int i = 0; i < items.get_count() && i < fit; ++i) m_listed.add(items[i]);
    if (items.get_count() <= fit) return;
    m_listed_more = create_more_item();
    GuiMenu* overflow = m_listed_more->m_sub_menu;
    overflow->m_lists_results = true;
    CoreVector<GuiMenuItem*> rest;
    for (unsigned int i = fit; i < items.get_count(); ++i) rest.add(items[i]);
    overflow->list_items(rest, overflow->get_max_line_count());
}

void GuiMenu::clear_listed()
{
    m_listed.clear();
    // Deleting the row destroys its overflow menu.
    GuiMenuItem* more = m_listed_more;
    m_listed_more = nullptr;
    delete more;
}

CoreVector<GuiMenuItem*> GuiMenu::get_displayed_items() const
{
    CoreVector<GuiMenuItem*> rows;
    if (!m_lists_results) {
        if (m_filter.is_empty() || !m_filter_label) return m_items;
        rows.add(m_filter_label);
        rows.add(m_results.is_empty() ? m_no_items : m_results_label);
    }
    for (GuiMenuItem* item : m_listed) rows.add(item);
    if (m_listed_more) rows.add(m_listed_more);
    return rows;
}

// Size ------------------------------------------------------------------------------------------------

void GuiMenu::set_max_line_count(unsigned const& count)
{
    m_max_line_count = static_cast<int>(count);
}

int GuiMenu::get_max_line_count()
{
    if (m_max_line_count >= 0) return m_max_line_count;
    int x = 0, y = 0, w = 0, h = 0;
    int mx = 0, my = 0;
    Gui::get_mouse_screen_position(mx, my);
    Fl::screen_work_area(x, y, w, h, mx, my);
    m_max_line_count = std::max(1, h / ROW_HEIGHT - 3);
    return m_max_line_count;
}

void GuiMenu::compute_item_size(GuiMenuItem const& item, int& w, int& h)
{
    w = 0;
    int base = ROW_HEIGHT;
    if (GuiImage const* icon = item.get_icon()) base = std::max(base, static_cast<int>(icon->get_height()));
    if (m_check_width > 0) base = std::max(base, check_mark_height());
    if (item.m_widget) {
        w = item.m_widget->get_width();
        h = std::max(base, item.m_widget->get_height());
        return;
    }
    if (item.m_separator) {
        h = item.m_name.is_empty() ? base - 7 : base + 8;
    } else {
        h = base;
    }
    if (!item.m_name.is_empty()) {
        int th = 0;
        get_dc().get_text_size(item.m_name, w, th, item.m_checked || item.m_bold ? GuiFont::WEIGHT_BOLD
                                                                               : GuiFont::WEIGHT_NORMAL);
    }
}

void GuiMenu::compute_size()
{
    CoreVector<GuiMenuItem*> const rows = get_displayed_items();
    bool checkable = false;
    m_icon_width = 0;
    m_label_width = 0;
    int shortcut = 0;
    for (GuiMenuItem* item : rows) {
        checkable = checkable || item->m_checkable;
        if (GuiImage const* icon = item->get_icon())
            m_icon_width = std::max(m_icon_width, static_cast<int>(icon->get_width()));
        if (item->m_sub_menu) shortcut = std::max(shortcut, ARROW_WIDTH);
        if (!item->m_shortcut.is_empty()) {
            int sw = 0, sh = 0;
            get_dc().get_text_size(item->m_shortcut, sw, sh);
            shortcut = std::max(shortcut, sw);
        }
    }
    m_check_width = checkable ? check_mark_width() : 0;
    m_shortcut_width = shortcut + SHORTCUT_PADDING;
    m_row_top.clear();
    m_row_height.clear();
    int y = VERTICAL_MARGIN;
    for (GuiMenuItem* item : rows) {
        int w = 0, h = 0;
        compute_item_size(*item, w, h);
        m_label_width = std::max(m_label_width, w);
        m_row_top.add(y);
        m_row_height.add(h);
        y += h;
    }
    int const width = m_check_width + m_icon_width + m_label_width + m_shortcut_width + LEFT_MARGIN + ICON_GAP +
                      LABEL_GAP + RIGHT_MARGIN;
    int const height = y + VERTICAL_MARGIN;
    GMathVec2<int> const position = get_position();
    resize(position[0], position[1], width, height);
}

bool GuiMenu::get_row_geometry(int const& row, int& y, int& h)
{
    if (row < 0 || row >= static_cast<int>(m_row_top.get_count())) return false;
    y = m_row_top[static_cast<unsigned int>(row)];
    h = m_row_height[static_cast<unsigned int>(row)];
    return true;
}

int GuiMenu::get_row_at(int const& y)
{
    for (unsigned int i = 0; i < m_row_top.get_count(); ++i)
        if (y >= m_row_top[i] && y < m_row_top[i] + m_row_height[i]) return static_cast<int>(i);
    return -1;
}

void GuiMenu::layout_widgets()
{
    CoreVector<GuiMenuItem*> const rows = get_displayed_items();
    int const x = LEFT_MARGIN + m_check_width + m_icon_width + ICON_GAP;
    for (unsigned int i = 0; i < rows.get_count() && i < m_row_top.get_count(); ++i) {
        GuiWidget* widget = rows[i]->m_widget;
        if (!widget) continue;
        widget->set_size(x, m_row_top[i], widget->get_width(), m_row_height[i]);
    }
}


// Highlight and sub-menus -----------------------------------------------------------------------------

bool GuiMenu::is_selectable(GuiMenuItem const& item) const
{
    return item.m_clickable && !item.m_disabled && !item.m_separator && !item.m_widget;
}

int GuiMenu::find_selectable_row(int const& from, int const& step)
{
    CoreVector<GuiMenuItem*> const rows = get_displayed_items();
    int const count = static_cast<int>(rows.get_count());
    for (int row = from + step; row >= 0 && row < count; row += step)
        if (is_selectable(*rows[static_cast<unsigned int>(row)])) return row;
    return -1;
}

void GuiMenu::set_highlighted_row(int const& row, bool const& notify)
{
    if (row == m_highlighted) return;
    m_highlighted = row;
    redraw();
    if (notify) raise_event(EVT_ID_MENU_SELECTION_CHANGED);
}

void GuiMenu::arm_sub_menu_timer(int const& row)
{
    if (row == m_sub_menu_candidate) return;
    m_sub_menu_candidate = row;
    m_sub_menu_watch.reset();
    GuiApp& app = get_application();
    if (m_sub_menu_timer && app.has_timer(m_sub_menu_timer)) return;
    m_sub_menu_timer = app.add_timer(&GuiMenu::on_sub_menu_timer, this, SUB_MENU_POLL);
}

void GuiMenu::on_sub_menu_timer(void* data)
{
    GuiMenu& menu = *static_cast<GuiMenu*>(data);
    if (!menu.is_shown() || menu.m_sub_menu_candidate < 0) {
        menu.m_sub_menu_timer = 0;
        return;
    }
    // The rest before a sub-menu opens is the application's preference.
    double const delay = static_cast<double>(menu.get_application().get_sub_menu_show_delay());
    if (menu.m_sub_menu_watch.get_elapsed_time() * 1000.0 <= delay) {
        menu.get_application().repeat_timer(SUB_MENU_POLL);
        return;
    }
    menu.m_sub_menu_timer = 0;
    int const row = menu.m_sub_menu_candidate;
    menu.m_sub_menu_candidate = -1;
    CoreVector<GuiMenuItem*> const rows = menu.get_displayed_items();
    if (row >= static_cast<int>(rows.get_count())) return;
    GuiMenuItem* item = rows[static_cast<unsigned int>(row)];
    if (item->m_sub_menu && !item->m_disabled)
        menu.open_sub_menu(row, false);
    else
        menu.close_sub_menu();
}

void GuiMenu::open_sub_menu(int const& row, bool const& highlight_first)
{
    CoreVector<GuiMenuItem*> const rows = get_displayed_items();
    if (row < 0 || row >= static_cast<int>(rows.get_count())) return;
    GuiMenu* sub = rows[static_cast<unsigned int>(row)]->m_sub_menu;
    if (!sub || rows[static_cast<unsigned int>(row)]->m_disabled) return;
    if (!sub->is_shown()) {
        close_sub_menu();
        int y = 0, h = 0;
        get_row_geometry(row, y, h);
        sub->compute_size();
        GMathVec2<int> const position = get_position();
        int x = position[0] + get_width() - 3;
        int ax = 0, ay = 0, aw = 0, ah = 0;
        Fl::screen_work_area(ax, ay, aw, ah, position[0], position[1]);
        if (aw > 0 && x + sub->get_width() > ax + aw) x = position[0] - sub->get_width() + 3;
        sub->popup(x, position[1] + y - VERTICAL_MARGIN);
    }
    if (highlight_first) sub->set_highlighted_row(sub->find_selectable_row(-1, 1), true);
}

void GuiMenu::close_sub_menu()
{
    if (GuiMenu* open = get_open_sub_menu()) open->hide();
}

// Triggering --------------------------------------------------------------------------------------------

void GuiMenu::trigger(GuiMenuItem& item, bool const& by_click)
{
    bool const triggerable = item.is_item() || (item.m_sub_menu && item.m_clickable_menu);
    if (!triggerable || item.m_disabled || !item.m_clickable) return;
    if (item.m_checkable) item.check(!item.m_checked);
    m_last_selected = &item;
    GuiMenu* holder = item.m_menu;
    if (holder && holder != this) holder->m_last_selected = &item;
    if (GuiAction* action = item.m_action) {
        GuiWidget& target = m_owner_widget ? *m_owner_widget : action->get_widget();
        if (by_click) set_last_triggered_action(action);
        focus_out_recursively();
        if (action->is_enabled()) action->call(target);
        return;
    }
    get_main_menu()->hide_silent();
    focus_out_recursively();
    if (Fl::grab() == get_widget()) Fl::grab(nullptr);
    // Raised on the menu the item was picked in (a filtering menu for its results).
    raise_event(EVT_ID_MENU_CLICK);
}

// Events ------------------------------------------------------------------------------------------------

bool GuiMenu::on_popup_key(int const& key)
{
    handle_key(key);
    return true;
}

bool GuiMenu::handle_key(int const& key)
{
    CoreString const text = Gui::get_event_text();
    bool const printable = !text.is_empty() && static_cast<unsigned char>(text[0]) >= 32 && text[0] != 127;
    if (!m_filter_enabled && (printable || key == FL_BackSpace)) {
        // Typed in a sub-menu: the nearest filtering menu of the chain takes the text.
        for (GuiMenu* menu = m_parent_menu; menu; menu = menu->m_parent_menu)
            if (menu->m_filter_enabled) return menu->handle_key(key);
    }
    if (m_filter_enabled) {
        if (printable || key == FL_BackSpace) {
            if (printable)
                m_filter += text;
            else if (!m_filter.is_empty())
                m_filter = m_filter.sub_string(0, m_filter.get_length() - 1);
            apply_filter();
            raise_event(EVT_ID_MENU_KEY_PRESSED);
            return true;
        }
    }
    CoreVector<GuiMenuItem*> const rows = get_displayed_items();
    int const count = static_cast<int>(rows.get_count());
    switch (key) {
    case FL_Escape: focus_out_recursively(); return true;
    case FL_Up: {
        int const row = find_selectable_row(m_highlighted < 0 ? count : m_highlighted, -1);
        if (row >= 0) set_highlighted_row(row, true);
        return true;
    }
    case FL_Down: {
        int const row = find_selectable_row(m_highlighted < 0 ? -1 : m_highlighted, 1);
        if (row >= 0) set_highlighted_row(row, true);
        return true;
    }
    case FL_Right: {
        GuiMenuItem* item = get_highlighted_item();
        if (item && item->m_sub_menu && !item->m_disabled) {
            open_sub_menu(m_highlighted, true);
            return true;
        }
        if (!m_parent_menu) move_to_neighbour_button(1);
        return true;
    }
    case FL_Left:
        if (m_parent_menu) {
            hide();
            return true;
        }
        move_to_neighbour_button(-1);
        return true;
    case FL_Enter:
    case FL_KP_Enter:
        if (GuiMenuItem* item = get_highlighted_item()) trigger(*item, false);
        return true;
    default: break;
    }
    return false;
}

bool GuiMenu::move_to_neighbour_button(int const& step)
{
    int const count = static_cast<int>(m_buttons.get_count());
    if (count < 2) return false;
    int current = -1;
    for (int i = 0; i < count; ++i) {
        GuiWidget* button = m_buttons[static_cast<unsigned int>(i)];
        if (button->is_kindof(GuiMenuButton::class_info()) && static_cast<GuiMenuButton*>(button)->get_menu() == this)
            current = i;
    }
    if (current < 0) return false;
    for (int offset = 1; offset < count; ++offset) {
        int const index = ((current + step * offset) % count + count) % count;
        GuiWidget* button = m_buttons[static_cast<unsigned int>(index)];
        if (!button->is_kindof(GuiMenuButton::class_info()) || !button->is_enabled()) continue;
        GuiMenuButton* next = static_cast<GuiMenuButton*>(button);
        if (!next->get_menu()) continue;
        focus_out_recursively();
        next->push();
        if (GuiMenu* menu = next->get_menu(); menu && menu->is_shown())
            menu->set_highlighted_row(menu->find_selectable_row(-1, 1), true);
        return true;
    }
    return false;
}

int GuiMenu::process_event(CoreString const& name)
{
    bool const mouse = name == EVT_ID_MOUSE_MOVE || name == EVT_ID_MOUSE_DRAG || name == EVT_ID_MOUSE_DOWN ||
                       name == EVT_ID_MOUSE_UP;
    if (mouse) {
        int const row = get_row_at(Fl::event_y());
        CoreVector<GuiMenuItem*> const rows = get_displayed_items();
        GuiMenuItem* item = row >= 0 && row < static_cast<int>(rows.get_count()) ? rows[static_cast<unsigned int>(row)]
                                                                                 : nullptr;
        if (item && item->m_widget) return GuiPopup::process_event(name);
        bool const inside = Fl::event_x() >= 0 && Fl::event_x() < get_width();
        if (!inside) item = nullptr;
        int const target = item && is_selectable(*item) ? row : -1;
        if (name == EVT_ID_MOUSE_MOVE) {
            // The toolkit also reports a move when a window comes or goes under a pointer that
            // stays put: only a real move takes the highlight from the keys.
            if (Fl::event_x_root() == m_pointer_x && Fl::event_y_root() == m_pointer_y) return 1;
            m_pointer_x = Fl::event_x_root();
            m_pointer_y = Fl::event_y_root();
        }
        if (name == EVT_ID_MOUSE_MOVE || name == EVT_ID_MOUSE_DRAG) {
            // Over a separator or outside the rows, the open sub-menu keeps its item lit.
            if (target >= 0 || !get_open_sub_menu()) set_highlighted_row(target, true);
            if (target >= 0) arm_sub_menu_timer(target);
            return 1;
        }
        if (name == EVT_ID_MOUSE_DOWN) {
            m_pressed_inside = true;
            if (target >= 0 && item->m_sub_menu && !item->m_clickable_menu) open_sub_menu(target, false);
            return 1;
        }
        // Mouse up: only the release of a press made in the menu clicks.
        if (!m_pressed_inside) return 1;
        m_pressed_inside = false;
        if (target < 0 || (item->m_sub_menu && !item->m_clickable_menu)) return 1;
        trigger(*item, true);
        return 1;
    }
    if (name == EVT_ID_MOUSE_LEAVE) {
        if (!get_open_sub_menu()) set_highlighted_row(-1, true);
        m_sub_menu_candidate = -1;
        return 1;
    }
    if (name == EVT_ID_KEY_DOWN) return handle_key(Gui::get_last_key_pressed()) ? 1 : 0;
    if (name == EVT_ID_KEY_SHORTCUT || name == EVT_ID_KEY_UP) return 1;
    return GuiPopup::process_event(name);
}

// Drawing -------------------------------------------------------------------------------------------------

void GuiMenu::draw(GuiDc& dc)
{
    auto& wdc = static_cast<GuiWidgetDc&>(dc);
    int const w = get_width(), h = get_height();
    GMathVec3<unsigned char> const background = dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_MENU);
    GMathVec3<unsigned char> const outline =
        dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_OUTLINE);
    GMathVec3<unsigned char> const text = dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_MENU_TEXT);
    GMathVec3<unsigned char> const dim = dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_DIM);
    GMathVec3<unsigned char> const disabled =
        dc.get_color(GuiColorScheme::GROUP_DISABLED, GuiColorScheme::ROLE_MENU_TEXT);
    GMathVec3<unsigned char> const selection =
        dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_MENU_SELECTION);
    GMathVec3<unsigned char> const selected_text =
        dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_SELECTED);
    GMathVec3<unsigned char> const shadow =
        dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_EDGE_SHADOW);
    wdc.draw_rectf(0, 0, w, h, background[0], background[1], background[2]);
    wdc.draw_rect(0, 0, w, h, outline[0], outline[1], outline[2]);

    GuiFont& font = get_font();
    GuiFont::Weight const weight = font.get_weight();
    GuiFont::Style const style = font.get_style();
    int const label_x = LEFT_MARGIN + m_check_width + m_icon_width + ICON_GAP;
    int const shortcut_right = w - RIGHT_MARGIN;
    CoreVector<GuiMenuItem*> const rows = get_displayed_items();
    for (unsigned int i = 0; i < rows.get_count() && i < m_row_top.get_count(); ++i) {
        GuiMenuItem const& item = *rows[i];
        int const y = m_row_top[i], rh = m_row_height[i];
        if (item.m_widget) continue;
        if (item.m_separator) {
            int const mid = y + rh / 2;
            int line_x = 4;
            if (!item.m_name.is_empty()) {
                wdc.draw_text(item.m_name, LEFT_MARGIN, y, w - LEFT_MARGIN - RIGHT_MARGIN, rh, dim[0], dim[1], dim[2],
                              GuiWidget::JUSTIFY_LEFT);
                int tw = 0, th = 0;
                dc.get_text_size(item.m_name, tw, th);
                line_x = LEFT_MARGIN + tw + 4;
            }
            if (line_x < w - 4) wdc.draw_line(line_x, mid, w - 5, mid, shadow[0], shadow[1], shadow[2]);
            continue;
        }
        bool const lit = static_cast<int>(i) == m_highlighted;
        if (lit) wdc.draw_rectf(2, y, w - 4, rh, selection[0], selection[1], selection[2]);
        GMathVec3<unsigned char> color = lit ? selected_text : text;
        if (item.m_faded) color = dim;
        if (item.m_disabled) color = disabled;

        GuiImage const* mark = nullptr;
        if (item.m_checkable) {
            if (item.m_radio_group)
                mark = item.m_checked ? &GuiResource::radio_menu_selected() : &GuiResource::radio_menu_empty();
            else if (item.m_checked)
                mark = &GuiResource::checker_selected();
        }
        if (mark) {
            int const mw = static_cast<int>(mark->get_width()), mh = static_cast<int>(mark->get_height());
            mark->draw(!item.m_disabled, LEFT_MARGIN + (m_check_width - mw) / 2, y + (rh - mh) / 2, lit);
        }
        if (GuiImage const* icon = item.get_icon()) {
            int const iw = static_cast<int>(icon->get_width()), ih = static_cast<int>(icon->get_height());
            icon->draw(!item.m_disabled, LEFT_MARGIN + m_check_width + (m_icon_width - iw) / 2, y + (rh - ih) / 2,
                       lit);
        }
        font.set_weight(item.m_checked || item.m_bold ? GuiFont::WEIGHT_BOLD : GuiFont::WEIGHT_NORMAL);
        font.set_style(item.m_italic ? GuiFont::STYLE_ITALIC : GuiFont::STYLE_NORMAL);
        wdc.draw_text(item.m_name, label_x, y, m_label_width + LABEL_GAP, rh, color[0], color[1], color[2],
                      GuiWidget::JUSTIFY_LEFT);
        if (item.m_strikeout && !item.m_name.is_empty()) {
            int tw = 0, th = 0;
            dc.get_text_size(item.m_name, tw, th, font.get_weight());
            wdc.draw_line(label_x, y + rh / 2, label_x + tw, y + rh / 2, color[0], color[1], color[2]);
        }
        font.set_weight(weight);
        font.set_style(style);
        if (item.m_sub_menu) {
            int const cx = shortcut_right - 4, cy = y + rh / 2;
            wdc.draw_trianglef(cx - 3, cy - 4, cx - 3, cy + 4, cx + 1, cy, color[0], color[1], color[2]);
        } else if (!item.m_shortcut.is_empty()) {
            wdc.draw_text(item.m_shortcut, label_x + m_label_width + LABEL_GAP, y,
                          shortcut_right - (label_x + m_label_width + LABEL_GAP), rh, color[0], color[1], color[2],
                          GuiWidget::JUSTIFY_RIGHT);
        }
    }
}

size_t GuiMenu::get_memory_size() const
{
    return GuiPopup::get_memory_size() + sizeof(GuiMenu) - sizeof(GuiPopup) +
           m_items.get_count() * (sizeof(GuiMenuItem*) + sizeof(GuiMenuItem)) +
           (m_row_top.get_count() + m_row_height.get_count()) * sizeof(int);
}
