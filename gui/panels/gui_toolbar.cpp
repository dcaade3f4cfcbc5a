#include "gui/panels/gui_toolbar.h"

#include <algorithm>
#include <functional>

#include "gui/core/gui_action.h"
#include "gui/menus/gui_list_button.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_button.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/controls/gui_check_button.h"
#include "gui/controls/gui_push_button.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_icon.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_resource.h"
#include "gui/fields/gui_number_field.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiToolbar, GuiWidget)

EVENT_DEFINE_ID(EVT_ID_TOOLBAR_MINIMIZE);
EVENT_DEFINE_ID(EVT_ID_TOOLBAR_MAXIMIZE);

namespace {

constexpr int ITEM_GAP = 2;
constexpr int SEPARATOR_WIDTH = 2;
constexpr int SEPARATOR_ADVANCE = 4;
constexpr int ITEM_TOP = 2;
constexpr int MINIMIZE_BUTTON_WIDTH = 8;

// The add-on button's picture, shared by every toolbar: a double chevron narrow enough for
// the 10-pixel button.
GuiImage const& addon_icon()
{
    static GuiImage const icon = [] {
        static char const* const rows[] = {
            "X..X...",
            ".X..X..",
            "..X..X.",
            "...X..X",
            "..X..X.",
            ".X..X..",
            "X..X...",
        };
        unsigned char pixels[7 * 7 * 4] = {};
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x) {
                unsigned char* pixel = pixels + (y * 7 + x) * 4;
                pixel[0] = pixel[1] = pixel[2] = 220;
                pixel[3] = rows[y][x] == 'X' ? 255 : 0;
            }
        return GuiImage(pixels, 7, 7, 4);
    }();
    return icon;
}

}  // namespace

char const* GuiToolbar::get_anchor_name(Anchor const& anchor)
{
    switch (anchor) {
    case ANCHOR_LEFT: return "ANCHOR_LEFT";
    case ANCHOR_RIGHT: return "ANCHOR_RIGHT";
    }
    return "ANCHOR_UNKNOWN";
}

char const* GuiToolbar::get_style_name(Style const& style)
{
    switch (style) {
    case STYLE_UP: return "STYLE_UP";
    case STYLE_DOWN: return "STYLE_DOWN";
    }
    return "STYLE_UNKNOWN";
}

GuiToolbar::GuiToolbar(GuiWidget& parent, int const& x, int const& y, int const& w, CoreString const& name)
    : GuiWidget(parent, x, y, w, BAR_HEIGHT), m_name(name)
{
    m_addon_menu = new GuiMenu(this);
    connect(*m_addon_menu, EVT_ID_MENU_CLICK, &GuiToolbar::on_addon_menu_click);
    m_minimize_button = new GuiPushButton(*this, x + 1, y + 2, MINIMIZE_BUTTON_WIDTH, 18);
    m_minimize_button->set_icon(GuiResource::small_up_triangle_iconrc());
    m_minimize_button->set_tooltip("Minimize GuiToolbar");
    m_minimize_button->set_style(GuiPushButton::STYLE_FLAT);
    m_minimize_button->set_focus_receiver(false);
    m_minimize_button->hide();
    connect(*m_minimize_button, EVT_ID_PUSH_BUTTON_CLICK, &GuiToolbar::on_minimize);
    m_menu_group = new GuiMenuButtonGroup();
}

GuiToolbar::~GuiToolbar()
{
    for (Item* item : m_items) delete item;
    m_items.clear();
    delete m_menu_group;
    if (m_addon_menu && !m_addon_menu->is_destroyed()) {
        m_addon_menu->remove_all_items();
        m_addon_menu->destroy();
    }
}

// Adding ----------------------------------------------------------------------------------------------

GuiToolbar::Item* GuiToolbar::add_item(GuiWidget* widget, Anchor const& anchor, bool const& owned)
{
    Item* item = new Item();
    item->anchor = anchor;
    item->widget = widget;
    item->owned = owned;
    m_items.add(item);
    if (widget && is_shown()) widget->show();
    redraw();
    return item;
}

GuiPushButton* GuiToolbar::make_button(CoreString const& label, CoreString const& tooltip)
{
    GuiPushButton* button = new GuiPushButton(*this, get_x(), get_y() + ITEM_TOP, 20, m_bar_height - 4, label);
    button->set_tooltip(tooltip);
    button->set_style(GuiPushButton::STYLE_FLAT);
    button->set_icon_position(ICON_POSITION_LEFT);
    button->set_justification(JUSTIFY_CENTER);
    button->set_focus_receiver(false);
    return button;
}

GuiPushButton* GuiToolbar::create_button(CoreString const& label, CoreString const& tooltip, Anchor const& anchor)
{
    GuiPushButton* button = make_button(label, tooltip);
    add_item(button, anchor, true);
    return button;
}

GuiPushButton* GuiToolbar::create_button(GuiIcon const& icon, CoreString const& label, CoreString const& tooltip,
                                         Anchor const& anchor, bool const& icon_after_label)
{
    return create_button(icon.get_image(ImageIcon::IMAGE_ICON_SIZE_16), label, tooltip, anchor, icon_after_label);
}

GuiPushButton* GuiToolbar::create_button(GuiImage const& icon, CoreString const& label, CoreString const& tooltip,
                                         Anchor const& anchor, bool const& icon_after_label)
{
    GuiPushButton* button = make_button(label, tooltip);
    button->set_icon(icon);
    if (icon_after_label) button->set_icon_position(ICON_POSITION_RIGHT);
    add_item(button, anchor, true);
    return button;
}

GuiCheckButton* GuiToolbar::make_check_button(CoreString const& label, CoreString const& tooltip)
{
    GuiCheckButton* button =
        new GuiCheckButton(*this, get_x(), get_y() + ITEM_TOP, 20, m_bar_height - 4, label);
    button->set_tooltip(tooltip);
    button->set_style(GuiCheckButton::STYLE_FLAT);
    button->set_justification(JUSTIFY_CENTER);
    button->set_focus_receiver(false);
    return button;
}

GuiCheckButton* GuiToolbar::create_check_button(CoreString const& label, CoreString const& tooltip,
                                                Anchor const& anchor)
{
    GuiCheckButton* button = make_check_button(label, tooltip);
    add_item(button, anchor, true);
    return button;
}

GuiCheckButton* GuiToolbar::create_check_button(GuiIcon const& icon, CoreString const& label,
                                                CoreString const& tooltip, Anchor const& anchor,
                                                bool const& icon_after_label)
{
    return create_check_button(icon.get_image(ImageIcon::IMAGE_ICON_SIZE_16), label, tooltip, anchor,
                               icon_after_label);
}

GuiCheckButton* GuiToolbar::create_check_button(GuiImage const& icon, CoreString const& label,
                                                CoreString const& tooltip, Anchor const& anchor,
                                                bool const& icon_after_label)
{
    GuiCheckButton* button = make_check_button(label, tooltip);
    button->set_icon(icon);
    if (icon_after_label) button->set_icon_position(ICON_POSITION_RIGHT);
    add_item(button, anchor, true);
    return button;
}

GuiMenuButton* GuiToolbar::create_menu(CoreString const& label, Anchor const& anchor)
{
    GuiMenuButton* button =
        new GuiMenuButton(*this, get_x(), get_y() + ITEM_TOP, 20, m_bar_height - 4, label, m_menu_group);
    button->set_style(GuiCheckButton::STYLE_FLAT);
    button->set_justification(JUSTIFY_CENTER);
    button->set_focus_receiver(false);
    button->set_menu(new GuiMenu(button));
    add_item(button, anchor, true);
    return button;
}

GuiMenuButton* GuiToolbar::create_menu(GuiIcon const& icon, CoreString const& label, Anchor const& anchor)
{
    GuiMenuButton* button = create_menu(label, anchor);
    button->set_icon(icon);
    return button;
}

GuiListButton* GuiToolbar::create_list_button(CoreString const& label, int const& width, Anchor const& anchor)
{
    GuiListButton* list =
        new GuiListButton(*this, get_x(), get_y() + ITEM_TOP, std::max(width, 1), m_bar_height - 4, label);
    list->set_tooltip(label);
    list->set_style(GuiCheckButton::STYLE_FLAT);
    list->set_focus_receiver(false);
    add_item(list, anchor, true);
    return list;
}

GuiNumberField* GuiToolbar::create_number_field(CoreString const& label, int const& width, Anchor const& anchor)
{
    GuiNumberField* field =
        new GuiNumberField(*this, get_x(), get_y() + ITEM_TOP, std::max(width, 1), m_bar_height - 4, label);
    add_item(field, anchor, true);
    return field;
}

void GuiToolbar::add_widget(GuiWidget& widget, Anchor const& anchor, bool const& stretch,
                            unsigned int const& stretch_size)
{
    if (&widget == this || has_widget(&widget)) {
        CORE_LOG_WARNING("GuiToolbar.add_widget: the widget is the toolbar or already one of its items; nothing "
                         "is added\n");
        return;
    }
    widget.set_parent(this);
    widget.disable_clipping();
    if (stretch) {
        m_stretch_widget = &widget;
        m_stretch_size = static_cast<int>(stretch_size);
    }
    add_item(&widget, anchor, false);
}

void GuiToolbar::add_separator(Anchor const& anchor)
{
    add_item(nullptr, anchor, false);
}

void GuiToolbar::add_toolbar(GuiToolbar& child, Anchor const& anchor)
{
    if (&child == this || has_widget(&child)) return;
    child.set_parent(this);
    child.set_minimizable(false);
    child.maximize();
    child.m_minimize_button->hide();
    add_item(&child, anchor, false);
}

bool GuiToolbar::extract_toolbar(GuiToolbar& child)
{
    int const index = get_item_index(&child);
    if (index < 0) return false;
    delete m_items[static_cast<unsigned int>(index)];
    m_items.remove(static_cast<unsigned int>(index));
    child.hide();
    redraw();
    return true;
}

bool GuiToolbar::move_menu(GuiMenu* menu, GuiMenu* other, bool const& after)
{
    Item const* moved = nullptr;
    Item const* target = nullptr;
    for (Item const* item : m_items) {
        GuiWidget* widget = item->widget;
        if (!widget || !widget->is_kindof(GuiMenuButton::class_info())) continue;
        GuiMenu* held = static_cast<GuiMenuButton*>(widget)->get_menu();
        if (held == menu) moved = item;
        if (held == other) target = item;
    }
    if (!moved || (other && !target)) return false;
    return move_item(moved, target, after);
}

bool GuiToolbar::move_item(Item const* item, Item const* other, bool const& after)
{
    int const from = get_item_index(item);
    int to = get_item_index(other);
    if (from < 0 || (other && to < 0) || from == to) return false;
    Item* moved = m_items[static_cast<unsigned int>(from)];
    m_items.remove(static_cast<unsigned int>(from));
    if (!other) {
        m_items.add(moved);
    } else {
        if (to > from) --to;
        m_items.insert(static_cast<unsigned int>(to + (after ? 1 : 0)), moved);
    }
    redraw();
    return true;
}

bool GuiToolbar::can_hold_child_toolbar(GuiToolbar& child, int const& width)
{
    int own = 0, h = 0, child_w = 0;
    get_content_size(own, h, false);
    child.get_content_size(child_w, h, true);
    int needed = own + child_w + 4;
    if (m_minimizable) needed += MINIMIZE_BUTTON_WIDTH + 1;
    return needed < width;
}

// Access ------------------------------------------------------------------------------------------------

GuiToolbar::Item const* GuiToolbar::get_item(unsigned int const& index) const
{
    return index < m_items.get_count() ? m_items[index] : nullptr;
}

GuiWidget* GuiToolbar::get_widget(unsigned int const& index) const
{
    return index < m_items.get_count() ? m_items[index]->widget : nullptr;
}

int GuiToolbar::get_item_index(Item const* item) const
{
    if (!item) return -1;
    for (unsigned int i = 0; i < m_items.get_count(); ++i)
        if (m_items[i] == item) return static_cast<int>(i);
    return -1;
}

int GuiToolbar::get_item_index(GuiWidget const* widget) const
{
    if (!widget) return -1;
    for (unsigned int i = 0; i < m_items.get_count(); ++i)
        if (m_items[i]->widget == widget) return static_cast<int>(i);
    return -1;
}

bool GuiToolbar::is_right(unsigned int const& index) const
{
    return index < m_items.get_count() && m_items[index]->anchor == ANCHOR_RIGHT;
}

bool GuiToolbar::is_separator(unsigned int const& index) const
{
    return index < m_items.get_count() && !m_items[index]->widget;
}

// Showing and removing ------------------------------------------------------------------------------------

void GuiToolbar::show_by_index(unsigned int const& index)
{
    if (index >= m_items.get_count()) return;
    Item& item = *m_items[index];
    item.shown = true;
    if (item.widget && is_shown()) item.widget->show();
    redraw();
}

void GuiToolbar::hide_by_index(unsigned int const& index)
{
    if (index >= m_items.get_count()) return;
    Item& item = *m_items[index];
    item.shown = false;
    if (item.widget) item.widget->hide();
    redraw();
}

void GuiToolbar::show_widget(GuiWidget* widget)
{
    int const index = get_item_index(widget);
    if (index >= 0) show_by_index(static_cast<unsigned int>(index));
}

void GuiToolbar::hide_widget(GuiWidget* widget)
{
    int const index = get_item_index(widget);
    if (index >= 0) hide_by_index(static_cast<unsigned int>(index));
}

void GuiToolbar::remove_by_index(unsigned int const& index)
{
    if (index >= m_items.get_count()) return;
    Item* item = m_items[index];
    m_items.remove(index);
    if (item->widget == m_stretch_widget) {
        m_stretch_widget = nullptr;
        m_stretch_size = 0;
    }
    if (item->widget && item->owned && !item->widget->is_destroyed()) item->widget->destroy();
    delete item;
    if (m_fitted_count > m_items.get_count()) m_fitted_count = m_items.get_count();
    redraw();
}

void GuiToolbar::remove_widget(GuiWidget* widget)
{
    int const index = get_item_index(widget);
    if (index >= 0) remove_by_index(static_cast<unsigned int>(index));
}

void GuiToolbar::remove_all()
{
    m_addon_menu->remove_all_items();
    for (Item* item : m_items) {
        // Menu buttons stay (their menus may be in use elsewhere); lists are ordinary items.
        bool const menu_button = item->widget && item->widget->is_kindof(GuiMenuButton::class_info()) &&
                                 !item->widget->is_kindof(GuiListButton::class_info());
        if (item->widget && item->owned && !menu_button && !item->widget->is_destroyed()) item->widget->destroy();
        delete item;
    }
    m_items.clear();
    m_stretch_widget = nullptr;
    m_stretch_size = 0;
    m_fitted_count = 0;
    redraw();
}

void GuiToolbar::set_widget_size(GuiWidget* widget, int const& width)
{
    int const index = get_item_index(widget);
    if (index < 0) return;
    widget->set_size(widget->get_x(), widget->get_y(), width, widget->get_height());
    rebuild_layout();
    resize(get_x(), get_y(), get_width(), get_height());
}

// Minimising ----------------------------------------------------------------------------------------------

void GuiToolbar::minimize()
{
    if (m_minimized) return;
    for (unsigned int i = 0; i < m_fitted_count && i < m_items.get_count(); ++i)
        if (m_items[i]->widget) m_items[i]->widget->hide();
    m_fitted_count = 0;
    m_minimized = true;
    if (m_addon_button) m_addon_button->hide();
    m_minimize_button->hide();
    GuiWidget::resize(get_x(), get_y(), get_width(), MINIMIZED_HEIGHT);
    raise_event(EVT_ID_TOOLBAR_MINIMIZE);
    GuiWidget::redraw();
}

void GuiToolbar::maximize()
{
    if (!m_minimized) return;
    m_minimized = false;
    m_hovered = false;
    GuiWidget::resize(get_x(), get_y(), get_width(), m_bar_height);
    if (m_minimizable && is_shown()) m_minimize_button->show();
    raise_event(EVT_ID_TOOLBAR_MAXIMIZE);
    redraw();
}

void GuiToolbar::set_minimizable(bool const& minimizable)
{
    m_minimizable = minimizable;
    maximize();
    if (minimizable && is_shown())
        m_minimize_button->show();
    else
        m_minimize_button->hide();
    redraw();
}

void GuiToolbar::set_style(Style const& style)
{
    if (style == m_style) return;
    m_style = style;
    m_minimize_button->set_icon(style == STYLE_DOWN ? GuiResource::small_down_triangle_iconrc()
                                                    : GuiResource::small_up_triangle_iconrc());
    redraw();
}

void GuiToolbar::on_minimize(GuiPushButton&, EventInfo const&, void*)
{
    minimize();
}

// Layout ---------------------------------------------------------------------------------------------------

bool GuiToolbar::is_parent_toolbar() const
{
    GuiWidget* parent = get_parent();
    return parent && parent->is_kindof(GuiToolbar::class_info());
}

int GuiToolbar::get_item_width(Item const& item, bool const& with_child_toolbars, int const& stretch_extra) const
{
    GuiWidget* widget = item.widget;
    if (!widget) return SEPARATOR_WIDTH;
    int w = 0, h = 0;
    if (widget == m_stretch_widget) return m_stretch_size + stretch_extra;
    if (widget->is_kindof(GuiToolbar::class_info())) {
        if (!with_child_toolbars) return -1;
        static_cast<GuiToolbar*>(widget)->get_content_size(w, h, true);
        return w;
    }
    // A list keeps the width it was made with, whatever entry it shows.
    if (widget->is_kindof(GuiListButton::class_info())) return widget->get_width();
    if (widget->is_kindof(GuiFaceButton::class_info())) {
        static_cast<GuiFaceButton*>(widget)->get_content_size(w, h);
        return w;
    }
    return widget->get_width();
}

void GuiToolbar::get_content_size(int& w, int& h, bool const& with_child_toolbars)
{
    h = m_bar_height;
    w = 2;
    bool first = true;
    for (Item* item : m_items) {
        int const width = get_item_width(*item, with_child_toolbars, 0);
        if (width < 0) continue;  // a child toolbar left out
        if (!first) w += ITEM_GAP;
        w += width;
        first = false;
    }
}

unsigned int GuiToolbar::place_items(int const& stretch_extra, int const& right_reduction, int const& limit_count,
                                     int& free_space, int const& overflow_before)
{
    bool const inside_toolbar = is_parent_toolbar();
    int left = inside_toolbar ? 0 : 1;
    int right = inside_toolbar ? get_width() : get_width() - 1;
    if (m_minimizable) left += MINIMIZE_BUTTON_WIDTH;
    right -= right_reduction;
    int last_shown = -1;
    int const count = std::min(static_cast<int>(m_items.get_count()), limit_count);
    for (int i = 0; i < count; ++i)
        if (m_items[static_cast<unsigned int>(i)]->shown) last_shown = i;
    int const x = get_x(), y = get_y();
    for (int i = 0; i < count; ++i) {
        Item& item = *m_items[static_cast<unsigned int>(i)];
        if (!item.shown) continue;
        bool const last = i == last_shown;
        int const width = get_item_width(item, true, stretch_extra);
        bool const separator = !item.widget;
        int const advance = last ? width : width + (separator ? SEPARATOR_ADVANCE - SEPARATOR_WIDTH : ITEM_GAP);
        bool const child_toolbar = item.widget && item.widget->is_kindof(GuiToolbar::class_info());
        item.y = child_toolbar ? y : y + ITEM_TOP;
        item.h = child_toolbar ? m_bar_height : m_bar_height - 4;
        item.w = width;
        if (item.anchor == ANCHOR_RIGHT) {
            item.x = x + right - width;
            right -= advance;
        } else {
            item.x = x + left;
            left += advance;
        }
        // The last item may use the add-on button's room when it alone was in the menu.
        int const threshold = last && overflow_before == 1 ? -ADDON_WIDTH : 0;
        if (right - left < threshold) {
            free_space = right - left;
            return static_cast<unsigned int>(i);
        }
    }
    free_space = right - left;
    return static_cast<unsigned int>(count);
}

void GuiToolbar::rebuild_layout()
{
    if (!is_shown() || m_minimized || m_in_layout) return;
    m_in_layout = true;
    unsigned int const count = m_items.get_count();
    int const overflow_before = static_cast<int>(count) - static_cast<int>(m_fitted_count);
    bool const addon_shown = m_addon_button && m_addon_button->is_shown();
    int const reduction = addon_shown ? ADDON_WIDTH : 0;
    int free_space = 0;
    unsigned int fitted = place_items(0, reduction, static_cast<int>(count), free_space, overflow_before);
    if (fitted == count && m_stretch_widget && free_space > 0)
        place_items(std::max(0, free_space - 1), reduction, static_cast<int>(count), free_space, overflow_before);
    unsigned int const previous = m_fitted_count;
    m_fitted_count = fitted;

    if (fitted == count) {
        if (m_addon_button) m_addon_button->hide();
        // Menus of menu buttons shown in the add-on menu go back to their buttons.
        if (!m_addon_menu->get_items().is_empty()) m_addon_menu->remove_all_items();
        // The add-on button's room goes back to the right-anchored items.
        if (fitted != previous && addon_shown) {
            for (Item* item : m_items)
                if (item->anchor == ANCHOR_RIGHT) item->x += ADDON_WIDTH;
        }
    } else if (!addon_shown) {
        // Room for the add-on button: count again what fits beside it.
        int const limit = get_width() - (m_minimizable ? 18 : ADDON_WIDTH);
        int sum = 0;
        unsigned int fits = 0;
        for (unsigned int i = 0; i < count; ++i) {
            Item const& item = *m_items[i];
            if (!item.shown) {
                ++fits;
                continue;
            }
            sum += get_item_width(item, true, 0) + (item.widget ? ITEM_GAP : SEPARATOR_ADVANCE - SEPARATOR_WIDTH);
            if (sum > limit) break;
            ++fits;
        }
        m_fitted_count = std::min(fits, fitted);
        int ignored = 0;
        place_items(0, ADDON_WIDTH, static_cast<int>(m_fitted_count), ignored, overflow_before);
        show_addon_button();
    }
    apply_boxes();
    m_in_layout = false;
}

void GuiToolbar::show_addon_button()
{
    int const bx = get_x() + get_width() - 11, by = get_y() + 2;
    if (!m_addon_button) {
        m_addon_button = new GuiPushButton(*this, bx, by, ADDON_WIDTH, 18);
        m_addon_button->set_tooltip("Display remaining GuiToolbar items");
        m_addon_button->set_style(GuiPushButton::STYLE_FLAT);
        m_addon_button->set_justification(JUSTIFY_CENTER);
        m_addon_button->set_icon(addon_icon());
        m_addon_button->set_focus_receiver(false);
        connect(*m_addon_button, EVT_ID_PUSH_BUTTON_CLICK, &GuiToolbar::on_addon_button);
    } else {
        m_addon_button->set_size(bx, by, ADDON_WIDTH, 18);
    }
    build_addon_menu(*m_addon_menu);
    m_addon_button->show();
}

void GuiToolbar::apply_boxes()
{
    for (unsigned int i = 0; i < m_items.get_count(); ++i) {
        Item& item = *m_items[i];
        GuiWidget* widget = item.widget;
        if (!widget) continue;
        if (i >= m_fitted_count || !item.shown) {
            widget->hide();
            continue;
        }
        // Tab widgets carry their headers' frame a little above the bar.
        bool const tabs = widget->get_class_info().get_name() == "GuiTabWidget";
        int const y = tabs ? item.y - 3 : item.y;
        int const h = tabs ? item.h + 4 : item.h;
        if (widget->get_x() != item.x || widget->get_y() != y || widget->get_width() != item.w ||
            widget->get_height() != h)
            widget->set_size(item.x, y, item.w, h);
        if (!widget->is_shown()) widget->show();
        if (widget->is_kindof(GuiToolbar::class_info())) static_cast<GuiToolbar*>(widget)->rebuild_layout();
    }
}

// Add-on menu ----------------------------------------------------------------------------------------------

void GuiToolbar::fill_menu_from(GuiMenu& menu, GuiToolbar& toolbar, unsigned int const& first)
{
    bool separator_pending = false;
    auto const add_entry_separator = [&] {
        if (!menu.get_items().is_empty() && !menu.get_items()[menu.get_items().get_count() - 1]->is_separator())
            separator_pending = true;
    };
    for (unsigned int i = first; i < toolbar.m_items.get_count(); ++i) {
        Item* item = toolbar.m_items[i];
        GuiWidget* widget = item->widget;
        if (widget) widget->hide();
        if (!item->shown) continue;
        if (!widget) {
            add_entry_separator();
            continue;
        }
        GuiMenuItem* entry = nullptr;
        bool const child = widget->is_kindof(GuiToolbar::class_info());
        if (child) {
            add_entry_separator();
            if (separator_pending) menu.add_separator();
            separator_pending = false;
            auto& child_toolbar = static_cast<GuiToolbar&>(*widget);
            GuiMenu* sub = menu.add_sub_menu(child_toolbar.get_name());
            connect(*sub, EVT_ID_MENU_CLICK, &GuiToolbar::on_addon_menu_click);
            fill_menu_from(*sub, child_toolbar, 0);
            entry = menu.get_items()[menu.get_items().get_count() - 1];
            entry->set_data(item);
            entry->set_enable(widget->is_enabled());
            add_entry_separator();
            continue;
        }
        if (!item->owned) continue;
        if (separator_pending) menu.add_separator();
        separator_pending = false;
        if (widget->is_kindof(GuiListButton::class_info())) {
            // The list's own menu: a choice made there is the list's.
            auto& list = static_cast<GuiListButton&>(*widget);
            entry = menu.add_linked_sub_menu(list.get_menu(),
                                             list.get_tooltip().is_empty() ? list.get_label() : list.get_tooltip());
        } else if (widget->is_kindof(GuiMenuButton::class_info())) {
            auto& button = static_cast<GuiMenuButton&>(*widget);
            if (!button.get_menu()) continue;
            entry = menu.add_linked_sub_menu(button.get_menu(), button.get_label(), button.get_icon());
        } else if (widget->is_kindof(GuiPushButton::class_info())) {
            auto& button = static_cast<GuiPushButton&>(*widget);
            entry = menu.add_item(button.get_label().is_empty() ? button.get_tooltip() : button.get_label());
            entry->set_icon(button.get_icon());
        } else if (widget->is_kindof(GuiCheckButton::class_info())) {
            auto& button = static_cast<GuiCheckButton&>(*widget);
            entry = menu.add_item(button.get_label().is_empty() ? button.get_tooltip() : button.get_label());
            entry->set_icon(button.get_icon());
            entry->set_checkable(true);
            entry->check(button.get_value());
        }
        if (!entry) continue;
        entry->set_data(item);
        entry->set_enable(widget->is_enabled());
    }
    // Never a trailing separator.
    while (!menu.get_items().is_empty() && menu.get_items()[menu.get_items().get_count() - 1]->is_separator())
        menu.remove_item(menu.get_items()[menu.get_items().get_count() - 1]);
}

void GuiToolbar::build_addon_menu(GuiMenu& menu)
{
    menu.remove_all_items();
    fill_menu_from(menu, *this, m_fitted_count);
}

void GuiToolbar::on_addon_button(GuiPushButton&, EventInfo const&, void*)
{
    build_addon_menu(*m_addon_menu);
    m_addon_menu->popup(*m_addon_button, GuiMenu::ANCHOR_BOTTOM, 0, 0);
}

void GuiToolbar::on_addon_menu_click(GuiMenu& menu, EventInfo const&, void*)
{
    GuiMenuItem* entry = menu.get_last_selected_item();
    if (!entry || !entry->get_data()) return;
    Item* item = static_cast<Item*>(entry->get_data());
    // The entry may outlive its item when the bar changed while the menu was open.
    bool known = false;
    std::function<bool(GuiToolbar&)> find = [&](GuiToolbar& toolbar) {
        for (Item* candidate : toolbar.m_items) {
            if (candidate == item) return true;
            if (candidate->widget && candidate->widget->is_kindof(GuiToolbar::class_info()) &&
                find(static_cast<GuiToolbar&>(*candidate->widget)))
                return true;
        }
        return false;
    };
    known = find(*this);
    if (!known || !item->widget) return;
    GuiWidget* widget = item->widget;
    if (widget->is_kindof(GuiMenuButton::class_info())) return;
    if (widget->is_kindof(GuiPushButton::class_info())) {
        auto& button = static_cast<GuiPushButton&>(*widget);
        if (GuiAction* action = button.get_action()) {
            if (action->is_enabled()) action->call(action->get_widget());
        } else {
            button.raise_event(EVT_ID_PUSH_BUTTON_CLICK);
        }
    } else if (widget->is_kindof(GuiCheckButton::class_info())) {
        auto& button = static_cast<GuiCheckButton&>(*widget);
        button.set_value(!button.get_value());
        button.raise_event(EVT_ID_CHECK_BUTTON_CLICK);
    }
}

// Widget overrides ------------------------------------------------------------------------------------------

void GuiToolbar::show()
{
    bool const was_shown = is_shown();
    GuiWidget::show();
    if (was_shown) return;
    if (m_minimizable && !m_minimized)
        m_minimize_button->show();
    else
        m_minimize_button->hide();
    GuiWidget::resize(get_x(), get_y(), get_width(), m_minimized ? MINIMIZED_HEIGHT : m_bar_height);
    rebuild_layout();
}

void GuiToolbar::redraw()
{
    if (!is_shown()) return;
    rebuild_layout();
    GuiWidget::redraw();
}

void GuiToolbar::resize(int const& x, int const& y, int const& w, int const&)
{
    GuiWidget::resize(x, y, w, m_minimized ? MINIMIZED_HEIGHT : m_bar_height);
    if (m_minimize_button) m_minimize_button->set_size(x + 1, y + 2, MINIMIZE_BUTTON_WIDTH, 18);
    if (m_addon_button) m_addon_button->set_size(x + w - 11, y + 2, ADDON_WIDTH, 18);
    redraw();
}

int GuiToolbar::process_event(CoreString const& name)
{
    if (m_minimized) {
        if (name == EVT_ID_MOUSE_DOWN) return 1;
        if (name == EVT_ID_MOUSE_UP) {
            maximize();
            return 1;
        }
        if (name == EVT_ID_MOUSE_ENTER || name == EVT_ID_MOUSE_LEAVE) {
            m_hovered = name == EVT_ID_MOUSE_ENTER;
            GuiWidget::redraw();
            return 1;
        }
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_MOUSE_DOWN || name == EVT_ID_MOUSE_UP) return 1;
    return GuiWidget::process_event(name);
}

void GuiToolbar::draw(GuiDc& dc)
{
    GuiWidget::draw(dc);
    auto& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    if (w < 1 || h < 1) return;
    if (m_minimized) {
        GMathVec3<unsigned char> const fill = dc.get_color(
            m_hovered ? GuiColorScheme::GROUP_BRIGHT : GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND);
        GMathVec3<unsigned char> const light =
            dc.get_color(GuiColorScheme::GROUP_BRIGHT, GuiColorScheme::ROLE_EDGE_LIGHT);
        GMathVec3<unsigned char> const dark =
            dc.get_color(GuiColorScheme::GROUP_BRIGHT, GuiColorScheme::ROLE_EDGE_SHADOW);
        wdc.draw_rectf(x, y, w, h, fill[0], fill[1], fill[2]);
        wdc.draw_line(x, y, x + w - 1, y, light[0], light[1], light[2]);
        wdc.draw_line(x, y, x, y + h - 1, light[0], light[1], light[2]);
        wdc.draw_line(x, y + h - 1, x + w - 1, y + h - 1, dark[0], dark[1], dark[2]);
        wdc.draw_line(x + w - 1, y, x + w - 1, y + h - 1, dark[0], dark[1], dark[2]);
        GuiImage const& arrow = m_style == STYLE_UP ? GuiResource::small_down_triangle_iconrc().get_image(
                                                          ImageIcon::IMAGE_ICON_SIZE_16)
                                                    : GuiResource::small_up_triangle_iconrc().get_image(
                                                          ImageIcon::IMAGE_ICON_SIZE_16);
        int const ax = x + (w - static_cast<int>(arrow.get_width())) / 2 - 1;
        int const ay = y + (h - static_cast<int>(arrow.get_height())) / 2;
        arrow.draw(ax, ay);
        GuiResource::unknown_iconrc().get_image(ImageIcon::IMAGE_ICON_SIZE_16).draw(ax + 16, ay);
        return;
    }
    GMathVec3<unsigned char> const fill = dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND);
    GMathVec3<unsigned char> const light =
        dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_EDGE_LIGHT);
    GMathVec3<unsigned char> const dark =
        dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_EDGE_SHADOW);
    GuiWidget* parent = get_parent();
    if (parent && !is_parent_toolbar()) {
        wdc.draw_rectf(x, y, w, h, fill[0], fill[1], fill[2]);
        wdc.draw_line(x, y, x + w - 1, y, light[0], light[1], light[2]);
        wdc.draw_line(x, y, x, y + h - 1, light[0], light[1], light[2]);
        wdc.draw_line(x, y + h - 1, x + w - 1, y + h - 1, dark[0], dark[1], dark[2]);
        wdc.draw_line(x + w - 1, y, x + w - 1, y + h - 1, dark[0], dark[1], dark[2]);
    } else {
        wdc.draw_line(x, y + 2, x, y + h - 3, dark[0], dark[1], dark[2]);
        wdc.draw_line(x + 1, y + 2, x + 1, y + h - 3, light[0], light[1], light[2]);
    }
    for (unsigned int i = 0; i < m_fitted_count && i < m_items.get_count(); ++i) {
        Item const& item = *m_items[i];
        if (item.widget || !item.shown) continue;
        wdc.draw_line(item.x, item.y + 1, item.x, item.y + item.h - 2, dark[0], dark[1], dark[2]);
        wdc.draw_line(item.x + 1, item.y + 1, item.x + 1, item.y + item.h - 2, light[0], light[1], light[2]);
    }
}

size_t GuiToolbar::get_memory_size() const
{
    return GuiWidget::get_memory_size() + sizeof(GuiToolbar) - sizeof(GuiWidget) +
           m_items.get_count() * (sizeof(Item*) + sizeof(Item)) + m_name.get_length();
}
