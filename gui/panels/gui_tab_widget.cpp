#include "gui/panels/gui_tab_widget.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "gui/core/gui_app.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/controls/gui_push_button.h"
#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_resource.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_TAB_WIDGET_ON_TAB_CHANGE);
EVENT_DEFINE_ID(EVT_ID_TAB_WIDGET_ON_TAB_CLICK);
EVENT_DEFINE_ID(EVT_ID_TAB_WIDGET_ON_CLOSE_TAB_BUTTON);
EVENT_DEFINE_ID(EVT_ID_TAB_WIDGET_CLOSE_TAB);
EVENT_DEFINE_ID(EVT_ID_TAB_WIDGET_ON_NEW_TAB_BUTTON);
EVENT_DEFINE_ID(EVT_ID_TAB_WIDGET_START_OVER_TAB);
EVENT_DEFINE_ID(EVT_ID_TAB_WIDGET_LEAVE_OVER_TAB);

CORE_IMPLEMENT_CLASS(GuiTabItem, CoreBaseObject)
CORE_IMPLEMENT_CLASS(GuiTabDndData, CoreBaseObject)
CORE_IMPLEMENT_CLASS(GuiTabWidget, GuiWidget)

namespace {

GuiImage const& close_image()
{
    return GuiResource::viewport_close();
}

// The accent bar of the selected header, and the gap that separates inactive headers.
constexpr int MARKER_THICKNESS = 2;
constexpr int INACTIVE_TOP = 3;
// Half the length of the add-tab plus sign's arms.
constexpr int PLUS_ARM = 4;

// The header font while a header is measured or drawn: in title style, bold and two sizes
// smaller; the widget's own font is put back afterwards.
class HeaderFont {
public:
    HeaderFont(GuiWidget& widget, bool const& title) : m_font(widget.get_font())
    {
        m_size = m_font.get_size();
        m_weight = m_font.get_weight();
        m_active = title;
        if (!m_active) return;
        m_font.set_size(std::max(1, m_size - 2));
        m_font.set_weight(GuiFont::WEIGHT_BOLD);
    }
    ~HeaderFont()
    {
        if (!m_active) return;
        m_font.set_size(m_size);
        m_font.set_weight(m_weight);
    }
    HeaderFont(HeaderFont const&) = delete;
    HeaderFont& operator=(HeaderFont const&) = delete;

private:
    GuiFont& m_font;
    int m_size = 0;
    GuiFont::Weight m_weight = GuiFont::WEIGHT_NORMAL;
    bool m_active = false;
};

bool inside(int const& px, int const& py, int const& x, int const& y, int const& w, int const& h)
{
    return px >= x && py >= y && px < x + w && py < y + h;
}

// Entries of the tab menu carry their tab's index itself.
void* index_to_data(unsigned int const& index)
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(index));
}

long data_to_index(void* data)
{
    return static_cast<long>(reinterpret_cast<std::uintptr_t>(data));
}

}  // namespace

// GuiTabItem ----------------------------------------------------------------------------------------------

GuiTabItem::GuiTabItem(CoreString const& name, GuiWidget* page, GuiImage const* icon)
    : m_name(name), m_page(page), m_icon(icon)
{
}

// Construction --------------------------------------------------------------------------------------------

GuiTabWidget::GuiTabWidget(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiWidget(parent, x, y, w, h)
{
    m_menu_button =
        new GuiPushButton(*this, x + w - MENU_BUTTON_SIZE, y + 2, MENU_BUTTON_SIZE, MENU_BUTTON_SIZE);
    m_menu_button->set_icon(GuiResource::down_triangle_label_iconrc());
    m_menu_button->set_tooltip("More...");
    m_menu_button->set_style(GuiPushButton::STYLE_FLAT);
    m_menu_button->set_focus_receiver(false);
    m_menu_button->hide();
    connect(*m_menu_button, EVT_ID_PUSH_BUTTON_CLICK, &GuiTabWidget::on_menu_button);

    m_tab_menu = new GuiMenu(this);
    connect(*m_tab_menu, EVT_ID_MENU_CLICK, &GuiTabWidget::on_menu_click);
}

GuiTabWidget::~GuiTabWidget()
{
    for (GuiTabItem* item = m_first; item;) {
        GuiTabItem* next = item->m_next;
        delete item;
        item = next;
    }
    m_first = m_last = nullptr;
    m_items.clear();
    delete m_add_tab_item;
    if (m_tab_menu && !m_tab_menu->is_destroyed()) {
        m_tab_menu->remove_all_items();
        m_tab_menu->destroy();
    }
}

// Tabs ----------------------------------------------------------------------------------------------------

void GuiTabWidget::link(GuiTabItem* item, unsigned int const& at)
{
    GuiTabItem* before = at < m_tab_count ? m_items[at] : nullptr;
    m_items.insert(at, item);
    // The tabs from `at` on move one place up; the item brings its box, if any, along.
    if (at < m_boxed_end) ++m_boxed_end;
    if (item->has_box()) m_boxed_end = std::max(m_boxed_end, at + 1);
    item->m_next = before;
    item->m_previous = before ? before->m_previous : m_last;
    if (item->m_previous)
        item->m_previous->m_next = item;
    else
        m_first = item;
    if (before)
        before->m_previous = item;
    else
        m_last = item;
    ++m_tab_count;
}

GuiTabItem* GuiTabWidget::unlink(unsigned int const& index)
{
    GuiTabItem* item = m_items[index];
    m_items.remove(index);
    if (index < m_boxed_end) --m_boxed_end;
    if (item->m_previous)
        item->m_previous->m_next = item->m_next;
    else
        m_first = item->m_next;
    if (item->m_next)
        item->m_next->m_previous = item->m_previous;
    else
        m_last = item->m_previous;
    item->m_previous = item->m_next = nullptr;
    --m_tab_count;
    return item;
}

GuiTabItem* GuiTabWidget::get_tab_item(unsigned int const& index) const
{
    return index < m_tab_count ? m_items[index] : nullptr;
}

bool GuiTabWidget::is_tab_index(unsigned int const& index, char const* operation) const
{
    if (index < m_tab_count) return true;
    CORE_LOG_WARNING("GuiTabWidget." << operation << ": tab index " << index << " is out of range ("
                                     << m_tab_count << " tabs); nothing changes\n");
    return false;
}

unsigned int GuiTabWidget::add_tab(CoreString const& name, GuiWidget* page, GuiImage const* icon)
{
    return insert_tab(m_tab_count, name, page, icon);
}

unsigned int GuiTabWidget::insert_tab(unsigned int const& index, CoreString const& name, GuiWidget* page,
                                      GuiImage const* icon)
{
    if (page == this) {
        CORE_LOG_WARNING(
            "GuiTabWidget.insert_tab: a tab widget can't be its own page; the tab has no page\n");
        page = nullptr;
    }
    if (page && page->get_parent() != this) page->set_parent(this);
    unsigned int const at = std::min(index, m_tab_count);
    bool const was_empty = m_tab_count == 0;
    link(new GuiTabItem(name, page, icon), at);

    // The selected tab keeps its page. A first tab after remove_all_tabs is selected; one
    // added before any selection waits for show() or set_selected_tab.
    if (was_empty && m_selected >= 0)
        m_selected = 0;
    else if (m_selected >= 0 && static_cast<int>(at) <= m_selected)
        ++m_selected;
    // Hovered and pressed indices would name other tabs now.
    clear_hover(false);
    m_press_tab = -1;

    bool const selected = m_selected == static_cast<int>(at);
    if (page && !selected) page->hide();
    rebuild_layout(at);
    if (is_shown()) {
        if (selected) refresh_page();
        redraw();
    }
    return at;
}

void GuiTabWidget::remove_tab(unsigned int const& index, bool const& destroy_page)
{
    if (!is_tab_index(index, "remove_tab")) return;
    GuiTabItem* item = get_tab_item(index);
    if (GuiWidget* page = item->m_page) {
        page->hide();
        if (destroy_page) page->destroy();
    }
    delete unlink(index);
    clear_hover(false);
    m_press_tab = -1;

    unsigned int removed = index;
    EventInfo info(EVT_ID_TAB_WIDGET_CLOSE_TAB, &removed);
    raise_event(info);

    int const at = static_cast<int>(index);
    if (at == m_selected)
        m_selected = std::max(0, m_selected - 1);
    else if (at < m_selected)
        --m_selected;

    rebuild_layout(std::min(index, m_visible_count));
    if (is_shown() && m_tab_count > 0) {
        redraw();
        if (m_selected >= 0) show_page(static_cast<unsigned int>(m_selected));
        raise_event(EVT_ID_TAB_WIDGET_ON_TAB_CHANGE);
    } else {
        redraw();
    }
}

void GuiTabWidget::remove_all_tabs(bool const& destroy_pages)
{
    for (GuiTabItem* item = m_first; item;) {
        GuiTabItem* next = item->m_next;
        if (item->m_page) {
            item->m_page->hide();
            if (destroy_pages) item->m_page->destroy();
        }
        delete item;
        item = next;
    }
    m_first = m_last = nullptr;
    m_items.clear();
    m_boxed_end = 0;
    m_tab_count = 0;
    m_selected = 0;
    m_visible_count = 0;
    clear_hover(false);
    m_press_tab = -1;
    rebuild_layout(0);
    redraw();
}

bool GuiTabWidget::move_tab(unsigned int const& from, unsigned int const& to, bool const& select)
{
    if (!is_tab_index(from, "move_tab") || !is_tab_index(to, "move_tab")) return false;
    if (from != to) {
        GuiTabItem* selected =
            m_selected >= 0 ? get_tab_item(static_cast<unsigned int>(m_selected)) : nullptr;
        link(unlink(from), to);
        // The selection stays on its tab, wherever that went.
        if (selected) m_selected = m_items.find(selected);
        clear_hover(false);
        m_press_tab = -1;
        rebuild_layout(std::min(std::min(from, to), m_visible_count));
        redraw();
    }
    if (select) set_selected_tab(to);
    return true;
}

GuiWidget* GuiTabWidget::get_tab_widget(unsigned int const& index) const
{
    GuiTabItem const* item = get_tab_item(index);
    return item ? item->m_page : nullptr;
}

CoreString GuiTabWidget::get_tab_name(unsigned int const& index) const
{
    GuiTabItem const* item = get_tab_item(index);
    return item ? item->m_name : CoreString();
}

GuiImage const* GuiTabWidget::get_tab_icon(unsigned int const& index) const
{
    GuiTabItem const* item = get_tab_item(index);
    return item ? item->m_icon : nullptr;
}

bool GuiTabWidget::is_tab_enabled(unsigned int const& index) const
{
    GuiTabItem const* item = get_tab_item(index);
    return item && item->m_enabled;
}

int GuiTabWidget::find_tab(GuiWidget const* page) const
{
    if (!page) return -1;
    int index = 0;
    for (GuiTabItem const* item = m_first; item; item = item->m_next, ++index)
        if (item->m_page == page) return index;
    return -1;
}

void GuiTabWidget::set_tab_name(unsigned int const& index, CoreString const& name)
{
    if (!is_tab_index(index, "set_tab_name")) return;
    GuiTabItem* item = get_tab_item(index);
    if (item->m_name == name) return;
    item->m_name = name;
    item->m_name_width = -1;
    rebuild_layout(std::min(index, m_visible_count));
    redraw();
}

void GuiTabWidget::set_tab_icon(unsigned int const& index, GuiImage const* icon)
{
    if (!is_tab_index(index, "set_tab_icon")) return;
    GuiTabItem* item = get_tab_item(index);
    if (item->m_icon == icon) return;
    item->m_icon = icon;
    rebuild_layout(std::min(index, m_visible_count));
    redraw();
}

void GuiTabWidget::set_tab_tooltip(unsigned int const& index, CoreString const& tooltip)
{
    if (!is_tab_index(index, "set_tab_tooltip")) return;
    get_tab_item(index)->m_tooltip = tooltip;
    if (m_hovered_tab == static_cast<int>(index))
        GuiWidget::set_tooltip(tooltip.is_empty() ? m_own_tooltip : tooltip);
}

void GuiTabWidget::set_tab_widget(unsigned int const& index, GuiWidget* page)
{
    if (!is_tab_index(index, "set_tab_widget")) return;
    if (page == this) {
        CORE_LOG_WARNING(
            "GuiTabWidget.set_tab_widget: a tab widget can't be its own page; nothing changes\n");
        return;
    }
    GuiTabItem* item = get_tab_item(index);
    if (item->m_page == page) return;
    if (item->m_page) item->m_page->hide();
    item->m_page = page;
    if (!page) {
        redraw();
        return;
    }
    if (page->get_parent() != this) page->set_parent(this);
    if (m_selected == static_cast<int>(index))
        refresh_page();
    else
        page->hide();
}

void GuiTabWidget::set_tab_enabled(unsigned int const& index, bool const& enabled)
{
    if (!is_tab_index(index, "set_tab_enabled")) return;
    GuiTabItem* item = get_tab_item(index);
    if (item->m_enabled == enabled) return;
    item->m_enabled = enabled;
    redraw();
}

// Selection -----------------------------------------------------------------------------------------------

void GuiTabWidget::set_selected_tab(unsigned int const& index)
{
    if (!is_tab_index(index, "set_selected_tab")) return;
    if (m_selected == static_cast<int>(index)) {
        GuiWidget* page = get_tab_widget(index);
        if (page && page->is_shown()) return;
    }
    show_page(index);
    raise_event(EVT_ID_TAB_WIDGET_ON_TAB_CHANGE);
}

void GuiTabWidget::show_page(unsigned int const& index)
{
    if (!is_tab_index(index, "show_page")) return;
    m_selected = static_cast<int>(index);
    GuiWidget const* shown = m_items[index]->m_page;
    // Hiding a page that does not wish to be visible changes nothing: only the page shown
    // before (or one shown from outside) is hidden.
    for (GuiTabItem const* item : m_items) {
        GuiWidget* page = item->m_page;
        if (page && page != shown && GuiWidget::is_widget_visible(*page)) page->hide();
    }
    refresh_page();
}

void GuiTabWidget::refresh_page()
{
    GuiWidget* page = m_selected >= 0 ? get_tab_widget(static_cast<unsigned int>(m_selected)) : nullptr;
    if (page) {
        page->set_size(get_client_x(), get_client_y(), get_client_width(), get_client_height());
        if (is_shown() && !page->is_shown()) page->show();
    }
    redraw();
}

// Geometry ------------------------------------------------------------------------------------------------

int GuiTabWidget::get_client_y() const
{
    return m_tabs_showing ? get_y() + m_tab_height + 1 : get_y();
}

int GuiTabWidget::get_client_height() const
{
    return m_tabs_showing ? get_height() - m_tab_height - 2 : get_height();
}

int GuiTabWidget::get_add_tab_x() const
{
    return m_add_tab_item ? m_add_tab_item->m_x : 0;
}

int GuiTabWidget::get_add_tab_y() const
{
    return m_add_tab_item ? m_add_tab_item->m_y : 0;
}

int GuiTabWidget::get_add_tab_width() const
{
    return m_add_tab_item ? m_add_tab_item->m_width : 0;
}

int GuiTabWidget::get_add_tab_height() const
{
    return m_add_tab_item ? m_add_tab_item->m_height : 0;
}

void GuiTabWidget::set_tab_height(int const& height)
{
    if (height < 0) {
        CORE_LOG_WARNING("GuiTabWidget.set_tab_height: a negative height (" << height << ") is refused\n");
        return;
    }
    if (height == m_tab_height) return;
    m_tab_height = height;
    rebuild_layout(0);
    redraw();
}

CoreString GuiTabWidget::get_display_name(GuiTabItem const& item) const
{
    return m_title_style ? item.m_name.get_upper_case() : item.m_name;
}

int GuiTabWidget::get_name_width(GuiTabItem const& item)
{
    if (item.m_name.is_empty()) return 0;
    HeaderFont font(*this, m_title_style);
    GuiFont const& measure = get_font();
    int const face = measure.get_index();
    int const size = measure.get_size();
    if (item.m_name_width >= 0 && item.m_measured_face == face && item.m_measured_size == size &&
        item.m_measured_title == m_title_style)
        return item.m_name_width;
    int w = 0, h = 0;
    get_text_size(get_display_name(item), w, h);
    item.m_name_width = w;
    item.m_measured_face = face;
    item.m_measured_size = size;
    item.m_measured_title = m_title_style;
    return w;
}

int GuiTabWidget::get_header_width(GuiTabItem const& item)
{
    int width = std::max(get_name_width(item), static_cast<int>(m_minimum_tab_width)) + TAB_PADDING;
    if (m_tabs_closing) width += static_cast<int>(close_image().get_width());
    if (item.m_icon) width += static_cast<int>(item.m_icon->get_width()) + ICON_GAP;
    return width;
}

void GuiTabWidget::rebuild_layout(unsigned int const& first)
{
    // The selected page follows the client area.
    if (GuiWidget* page = m_selected >= 0 ? get_tab_widget(static_cast<unsigned int>(m_selected)) : nullptr)
        page->set_size(get_client_x(), get_client_y(), get_client_width(), get_client_height());

    int const row_end = get_width() - m_menu_button->get_width();
    int const reserve = m_add_tab_item ? m_add_tab_item->m_width + 4 : 0;
    int const close_w = m_tabs_closing ? static_cast<int>(close_image().get_width()) : 0;
    int const close_h = m_tabs_closing ? static_cast<int>(close_image().get_height()) : 0;
    int const close_y = (m_tab_height - close_h) / 2 + (m_draw_decoration ? 0 : 2);

    // Headers before `first` keep their boxes, which are valid only up to the visible count.
    unsigned int const start = std::min(first, std::min(m_visible_count, m_tab_count));
    GuiTabItem* item = get_tab_item(start);
    int x = start == 0 || !item || !item->m_previous ? FIRST_TAB_X
                                                     : item->m_previous->m_x + item->m_previous->m_width;
    unsigned int visible = m_tab_count;
    unsigned int index = start;
    for (; item; item = item->m_next, ++index) {
        int const w = get_header_width(*item);
        if (x + w + reserve >= row_end) {
            visible = index;
            break;
        }
        item->set_box(x, 0, w, m_tab_height);
        if (m_tabs_closing)
            item->set_close_box(x + w - close_w - 2, close_y, close_w, close_h);
        else
            item->set_close_box(0, 0, 0, 0);
        x += w;
    }
    // Tabs of the menu have no header; those past m_boxed_end have none already.
    for (; item && index < m_boxed_end; item = item->m_next, ++index) {
        item->set_box(0, 0, 0, 0);
        item->set_close_box(0, 0, 0, 0);
    }
    m_boxed_end = visible;
    m_visible_count = visible;
    place_add_tab();
    update_menu_button();
}

void GuiTabWidget::place_add_tab()
{
    if (!m_add_tab_item) return;
    GuiTabItem const* last = m_visible_count > 0 ? get_tab_item(m_visible_count - 1) : nullptr;
    int const x = last ? last->m_x + last->m_width + 2 : FIRST_TAB_X;
    m_add_tab_item->set_box(x, 2, ADD_TAB_WIDTH, std::max(0, m_tab_height - 4));
}

void GuiTabWidget::update_menu_button()
{
    bool const needed = m_tabs_showing && m_visible_count < m_tab_count;
    if (!needed) {
        m_menu_button->hide();
        return;
    }
    m_menu_button->set_size(get_x() + get_width() - m_menu_button->get_width(), get_y() + 2,
                            m_menu_button->get_width(), m_menu_button->get_height());
    // A hidden widget shows the button with its children. Showing asks the X server where
    // the pointer is: a button already shown is left alone.
    if (is_shown() && !m_menu_button->is_shown()) m_menu_button->show();
}

// Options -------------------------------------------------------------------------------------------------

void GuiTabWidget::enable_tabs_closing(bool const& enable)
{
    if (enable == m_tabs_closing) return;
    m_tabs_closing = enable;
    if (!enable) m_over_close = false;
    rebuild_layout(0);
    redraw();
}

void GuiTabWidget::enable_tabs_dragndrop(bool const& enable)
{
    m_tabs_dragndrop = enable;
    if (!enable) m_press_tab = -1;
}

void GuiTabWidget::enable_tabs_showing(bool const& enable)
{
    if (enable == m_tabs_showing) return;
    m_tabs_showing = enable;
    if (!enable) clear_hover(true);
    rebuild_layout(0);
    redraw();
}

void GuiTabWidget::set_draw_decoration(bool const& draw)
{
    if (draw == m_draw_decoration) return;
    m_draw_decoration = draw;
    rebuild_layout(0);
    redraw();
}

void GuiTabWidget::set_minimun_tab_witdh(unsigned int const& width)
{
    if (width == m_minimum_tab_width) return;
    m_minimum_tab_width = width;
    rebuild_layout(0);
    redraw();
}

void GuiTabWidget::set_title_style(bool const& title)
{
    if (title == m_title_style) return;
    m_title_style = title;
    rebuild_layout(0);
    redraw();
}

void GuiTabWidget::set_display_focus(bool const& display)
{
    if (display == m_display_focus) return;
    m_display_focus = display;
    if (display)
        connect(get_application(), EVT_ID_APPLICATION_FOCUS_WIDGET_CHANGED, &GuiTabWidget::on_application_focus_changed);
    else
        disconnect(get_application(), EVT_ID_APPLICATION_FOCUS_WIDGET_CHANGED,
                   &GuiTabWidget::on_application_focus_changed);
    redraw();
}

bool GuiTabWidget::is_page_focused() const
{
    if (!m_display_focus || m_selected < 0) return false;
    GuiWidget const* page = get_tab_widget(static_cast<unsigned int>(m_selected));
    if (!page) return false;
    for (GuiWidget const* widget = GuiWidget::get_focused_widget(); widget; widget = widget->get_parent())
        if (widget == page) return true;
    return false;
}

void GuiTabWidget::on_application_focus_changed(GuiApp&, EventInfo const&, void*)
{
    redraw();
}

void GuiTabWidget::enable_add_tab_button(bool const& enable)
{
    if (enable == (m_add_tab_item != nullptr)) return;
    if (enable) {
        m_add_tab_item = new GuiTabItem("+", nullptr, nullptr);
        m_add_tab_item->set_box(0, 0, ADD_TAB_WIDTH, 0);
    } else {
        delete m_add_tab_item;
        m_add_tab_item = nullptr;
        m_over_add_tab = false;
    }
    rebuild_layout(0);
    redraw();
}

// Tab menu ------------------------------------------------------------------------------------------------

void GuiTabWidget::on_menu_button(GuiPushButton&, EventInfo const&, void*)
{
    m_tab_menu->remove_all_items();
    unsigned int index = m_visible_count;
    for (GuiTabItem* item = get_tab_item(m_visible_count); item; item = item->m_next, ++index) {
        GuiMenuItem* entry = m_tab_menu->add_item(item->m_name);
        entry->set_checkable(true);
        entry->check(static_cast<int>(index) == m_selected);
        if (item->m_icon) entry->set_icon(item->m_icon);
        if (!item->m_enabled) entry->disable();
        entry->set_data(index_to_data(index));
    }
    raise_event(EVT_ID_TAB_WIDGET_ON_TAB_CHANGE);
    m_tab_menu->popup(*m_menu_button, GuiMenu::ANCHOR_BOTTOM, 0, 0);
}

void GuiTabWidget::on_menu_click(GuiMenu& menu, EventInfo const&, void*)
{
    GuiMenuItem const* entry = menu.get_last_selected_item();
    if (!entry) return;
    long const index = data_to_index(entry->get_data());
    // The tabs may have changed while the menu was open.
    if (index < 0 || index >= static_cast<long>(m_tab_count) ||
        !is_tab_enabled(static_cast<unsigned int>(index)))
        return;
    if (static_cast<int>(index) == m_selected) return;
    show_page(static_cast<unsigned int>(index));
    raise_event(EVT_ID_TAB_WIDGET_ON_TAB_CHANGE);
}

// Pointer -------------------------------------------------------------------------------------------------

void GuiTabWidget::set_tooltip(CoreString const& tooltip)
{
    m_own_tooltip = tooltip;
    GuiTabItem const* hovered =
        m_hovered_tab >= 0 ? get_tab_item(static_cast<unsigned int>(m_hovered_tab)) : nullptr;
    if (!hovered || hovered->m_tooltip.is_empty()) GuiWidget::set_tooltip(tooltip);
}

void GuiTabWidget::clear_hover(bool const& notify)
{
    bool const was_over = m_over_tab;
    bool const changed = m_over_tab || m_over_close || m_hovered_tab >= 0;
    m_over_tab = false;
    m_over_close = false;
    m_hovered_tab = -1;
    if (get_tooltip() != m_own_tooltip) GuiWidget::set_tooltip(m_own_tooltip);
    if (notify && was_over) raise_event(EVT_ID_TAB_WIDGET_LEAVE_OVER_TAB);
    if (changed) redraw();
}

void GuiTabWidget::update_hover()
{
    int mx = 0, my = 0;
    Gui::get_relative_mouse_coords(*this, mx, my);

    bool const over_add = m_add_tab_item && m_tabs_showing &&
                          inside(mx, my, m_add_tab_item->m_x, m_add_tab_item->m_y, m_add_tab_item->m_width,
                                 m_add_tab_item->m_height);
    if (over_add != m_over_add_tab) {
        m_over_add_tab = over_add;
        redraw();
    }

    int found = -1;
    GuiTabItem const* hovered = nullptr;
    if (m_tabs_showing) {
        unsigned int index = 0;
        for (GuiTabItem const* item = m_first; item && index < m_visible_count;
             item = item->m_next, ++index) {
            if (inside(mx, my, item->m_x, item->m_y, item->m_width, item->m_height)) {
                found = static_cast<int>(index);
                hovered = item;
                break;
            }
        }
    }
    if (!hovered) {
        if (m_over_tab) clear_hover(true);
        return;
    }
    if (found != m_hovered_tab || !m_over_tab) {
        m_hovered_tab = found;
        m_over_tab = true;
        GuiWidget::set_tooltip(hovered->m_tooltip.is_empty() ? m_own_tooltip : hovered->m_tooltip);
        raise_event(EVT_ID_TAB_WIDGET_START_OVER_TAB);
        redraw();
    }
    // The close button answers a little inside its picture.
    bool const over_close = m_tabs_closing && hovered->m_close_width > 4 &&
                            inside(mx, my, hovered->m_close_x + 2, hovered->m_close_y + 2,
                                   hovered->m_close_width - 4, hovered->m_close_height - 4);
    if (over_close != m_over_close) {
        m_over_close = over_close;
        redraw();
    }
}

int GuiTabWidget::handle_mouse_down()
{
    update_hover();
    m_press_tab = -1;
    m_click_pending = false;
    if (m_over_add_tab) {
        raise_event(EVT_ID_TAB_WIDGET_ON_NEW_TAB_BUTTON);
        return 1;
    }
    if (!m_over_tab || m_hovered_tab < 0) return 1;
    unsigned int const tab = static_cast<unsigned int>(m_hovered_tab);
    if (!is_tab_enabled(tab)) return 1;
    Gui::MouseButtonId const button = Gui::get_event_mouse_button();
    if (m_over_close || button == Gui::MOUSE_BUTTON_ID_MIDDLE) {
        m_clicked_tab = tab;
        raise_event(EVT_ID_TAB_WIDGET_ON_CLOSE_TAB_BUTTON);
        return 1;
    }
    if (button != Gui::MOUSE_BUTTON_ID_LEFT) return 1;
    m_press_tab = m_hovered_tab;
    m_click_pending = true;
    Gui::get_relative_mouse_coords(*this, m_press_x, m_press_y);
    if (m_hovered_tab != m_selected) {
        show_page(tab);
        raise_event(EVT_ID_TAB_WIDGET_ON_TAB_CHANGE);
    }
    return 1;
}

int GuiTabWidget::handle_mouse_up()
{
    m_press_tab = -1;
    // Only a left press on a header makes its release a click: not a close request, nor a
    // press on the add-tab pseudo-tab whose new tab now lies under the pointer.
    bool const click_pending = m_click_pending;
    m_click_pending = false;
    int mx = 0, my = 0;
    Gui::get_relative_mouse_coords(*this, mx, my);
    if (!inside(mx, my, 0, 0, get_width(), get_height())) return 1;
    update_hover();
    if (!click_pending || !m_over_tab || m_hovered_tab < 0) return 1;
    if (!is_tab_enabled(static_cast<unsigned int>(m_hovered_tab))) return 1;
    if (Gui::get_event_mouse_button() != Gui::MOUSE_BUTTON_ID_LEFT) return 1;
    m_clicked_tab = static_cast<unsigned int>(m_hovered_tab);
    raise_event(EVT_ID_TAB_WIDGET_ON_TAB_CLICK);
    return 1;
}

int GuiTabWidget::handle_mouse_drag()
{
    if (m_press_tab < 0 || !m_tabs_dragndrop) return 0;
    int mx = 0, my = 0;
    Gui::get_relative_mouse_coords(*this, mx, my);
    if (std::abs(mx - m_press_x) < DRAG_DISTANCE && std::abs(my - m_press_y) < DRAG_DISTANCE) return 0;
    unsigned int const tab = static_cast<unsigned int>(m_press_tab);
    m_press_tab = -1;
    if (tab < m_tab_count && is_tab_enabled(tab)) do_initiate_dnd_event(tab);
    return 1;
}

int GuiTabWidget::process_event(CoreString const& name)
{
    if (name == EVT_ID_MOUSE_MOVE) {
        update_hover();
        return 1;
    }
    if (name == EVT_ID_MOUSE_ENTER) return 1;
    if (name == EVT_ID_MOUSE_LEAVE) {
        if (m_over_add_tab) {
            m_over_add_tab = false;
            redraw();
        }
        clear_hover(true);
        return 1;
    }
    if (name == EVT_ID_MOUSE_DOWN) return handle_mouse_down();
    if (name == EVT_ID_MOUSE_UP) return handle_mouse_up();
    if (name == EVT_ID_MOUSE_DRAG) {
        if (handle_mouse_drag() == 1) return 1;
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_DND_ENTER) return on_dnd_enter();
    if (name == EVT_ID_DND_DRAG) return on_dnd_drag();
    if (name == EVT_ID_DND_RELEASE) return on_dnd_release();
    if (name == EVT_ID_DND_LEAVE) {
        on_dnd_leave();
        return 1;
    }
    return GuiWidget::process_event(name);
}

// Drag and drop -------------------------------------------------------------------------------------------

GuiTabDndData const* GuiTabWidget::get_tab_dnd_data()
{
    for (CoreBaseObject const* object : get_dnd_event_data())
        if (object && object->is_kindof(GuiTabDndData::class_info()))
            return static_cast<GuiTabDndData const*>(object);
    return nullptr;
}

bool GuiTabWidget::is_valid_dnd_data() const
{
    if (!m_tabs_dragndrop || !m_tabs_showing) return false;
    GuiTabDndData const* data = get_tab_dnd_data();
    return data && data->get_index() < data->get_source().get_tab_count();
}

unsigned int GuiTabWidget::get_drop_index(int const& x) const
{
    unsigned int index = 0;
    for (GuiTabItem const* item = m_first; item && index < m_visible_count; item = item->m_next, ++index)
        if (x < item->m_x + item->m_width / 2) return index;
    return m_visible_count;
}

int GuiTabWidget::on_dnd_enter()
{
    if (!is_valid_dnd_data()) return 0;
    return on_dnd_drag();
}

int GuiTabWidget::on_dnd_drag()
{
    if (!is_valid_dnd_data()) return 0;
    int const index = static_cast<int>(get_drop_index(Gui::get_relative_mouse_x(*this)));
    if (index != m_drop_index) {
        m_drop_index = index;
        redraw();
    }
    return 1;
}

int GuiTabWidget::on_dnd_release()
{
    GuiTabDndData const* data = is_valid_dnd_data() ? get_tab_dnd_data() : nullptr;
    on_dnd_leave();
    if (!data) return 0;
    drop_tab(data->get_source(), data->get_index(), get_drop_index(Gui::get_relative_mouse_x(*this)));
    return 1;
}

void GuiTabWidget::on_dnd_leave()
{
    if (m_drop_index < 0) return;
    m_drop_index = -1;
    redraw();
}

bool GuiTabWidget::do_initiate_dnd_event(unsigned int const& index)
{
    GuiTabDndData data(*this, index);
    return initiate_dnd_event(&data);
}

int GuiTabWidget::drop_tab(GuiTabWidget& source, unsigned int const& index, unsigned int const& at)
{
    if (index >= source.get_tab_count()) {
        CORE_LOG_WARNING("GuiTabWidget.drop_tab: tab index " << index << " is out of range ("
                                                             << source.get_tab_count()
                                                             << " tabs); nothing is moved\n");
        return -1;
    }
    if (&source == this) {
        unsigned int const insert = std::min(at, m_tab_count);
        unsigned int const to = insert > index ? insert - 1 : insert;
        move_tab(index, to, true);
        return static_cast<int>(to);
    }
    GuiTabItem const* item = source.get_tab_item(index);
    CoreString const name = item->m_name;
    CoreString const tooltip = item->m_tooltip;
    GuiWidget* page = item->m_page;
    GuiImage const* icon = item->m_icon;
    bool const enabled = item->m_enabled;
    source.remove_tab(index, false);
    unsigned int const new_index = insert_tab(at, name, page, icon);
    GuiTabItem* moved = get_tab_item(new_index);
    moved->m_tooltip = tooltip;
    moved->m_enabled = enabled;
    set_selected_tab(new_index);
    return static_cast<int>(new_index);
}

// Widget overrides ----------------------------------------------------------------------------------------

void GuiTabWidget::show()
{
    rebuild_layout(0);
    GuiWidget::show();
    update_menu_button();
    if (m_tab_count == 0) return;
    show_page(m_selected < 0
                  ? 0u
                  : static_cast<unsigned int>(std::min(m_selected, static_cast<int>(m_tab_count) - 1)));
}

void GuiTabWidget::resize(int const& x, int const& y, int const& w, int const& h)
{
    bool const changed = x != get_x() || y != get_y() || w != get_width() || h != get_height();
    GuiWidget::resize(x, y, w, h);
    if (!changed) return;
    rebuild_layout(0);
    redraw();
}

size_t GuiTabWidget::get_memory_size() const
{
    size_t size = GuiWidget::get_memory_size() + sizeof(GuiTabWidget) - sizeof(GuiWidget) +
                  m_items.get_count() * sizeof(GuiTabItem*);
    for (GuiTabItem const* item = m_first; item; item = item->m_next) size += item->get_memory_size();
    return size;
}

// Drawing -------------------------------------------------------------------------------------------------

void GuiTabWidget::draw(GuiDc& dc)
{
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    int const th = get_tab_height();
    bool const focused = is_page_focused();

    wdc.draw_rectf({x, y, w, h}, get_color(GuiColorScheme::ROLE_BACKGROUND));
    // The client area in the active tab's colour: an empty or missing page shows it.
    wdc.draw_rectf({x, y + th, w, h - th}, get_color(GuiColorScheme::ROLE_TAB_ACTIVE));
    if (m_draw_decoration) {
        GMathVec3<unsigned char> const& frame =
            focused ? get_color(GuiColorScheme::ROLE_ACCENT) : get_color(GuiColorScheme::ROLE_OUTLINE);
        wdc.draw_rect(x, y + th, w, h - th, frame[0], frame[1], frame[2]);
    }
    if (!m_tabs_showing) return;

    // The selected header last, so that it covers the frame line under it.
    GuiTabItem const* selected = nullptr;
    unsigned int index = 0;
    for (GuiTabItem const* item = m_first; item && index < m_visible_count; item = item->m_next, ++index) {
        if (static_cast<int>(index) == m_selected) {
            selected = item;
            continue;
        }
        draw_header(wdc, *item, false, m_over_tab && static_cast<int>(index) == m_hovered_tab);
    }
    if (selected) draw_header(wdc, *selected, true, m_over_tab && m_hovered_tab == m_selected);
    if (m_add_tab_item) draw_add_tab(wdc);

    if (m_drop_index >= 0) {
        GuiTabItem const* before = get_tab_item(static_cast<unsigned int>(m_drop_index));
        GuiTabItem const* last = m_visible_count > 0 ? get_tab_item(m_visible_count - 1) : nullptr;
        int const mark = before && m_drop_index < static_cast<int>(m_visible_count) ? before->m_x
                         : last ? last->m_x + last->m_width
                                : FIRST_TAB_X;
        wdc.draw_rectf({x + mark - 1, y + 1, 2, th - 1}, get_color(GuiColorScheme::ROLE_ACCENT));
    }
}

void GuiTabWidget::draw_header(GuiWidgetDc& dc, GuiTabItem const& item, bool const& selected,
                               bool const& hovered)
{
    int const hx = get_x() + item.m_x, hy = get_y() + item.m_y;
    int const hw = item.m_width, th = item.m_height;
    bool const enabled = item.m_enabled && is_enabled();
    bool const hot = hovered && enabled;

    GMathVec3<unsigned char> const& active = get_color(GuiColorScheme::ROLE_TAB_ACTIVE);
    GMathVec3<unsigned char> const& outline = get_color(GuiColorScheme::ROLE_OUTLINE);
    if (selected) {
        // Open at the bottom: the header and the client area are one surface.
        GMathVec3<unsigned char> const marker =
            m_display_focus && !is_page_focused()
                ? get_color(GuiColorScheme::GROUP_DISABLED, GuiColorScheme::ROLE_ACCENT)
                : get_color(GuiColorScheme::ROLE_ACCENT);
        if (m_draw_decoration) {
            dc.draw_rectf({hx, hy, hw, th + 1}, active);
            dc.draw_line(hx, hy, hx + hw - 1, hy, outline[0], outline[1], outline[2]);
            dc.draw_line(hx, hy, hx, hy + th - 1, outline[0], outline[1], outline[2]);
            dc.draw_line(hx + hw - 1, hy, hx + hw - 1, hy + th - 1, outline[0], outline[1], outline[2]);
            dc.draw_rectf({hx + 1, hy + 1, hw - 2, MARKER_THICKNESS}, marker);
        } else {
            dc.draw_rectf({hx, hy + 2, hw, th - 2}, active);
            dc.draw_rectf({hx, hy + th - MARKER_THICKNESS, hw, MARKER_THICKNESS}, marker);
        }
    } else {
        GMathVec3<unsigned char> const inactive = get_color(GuiColorScheme::ROLE_TAB_INACTIVE);
        GMathVec3<unsigned char> const fill = hot ? get_color(GuiColorScheme::ROLE_HOVER) : inactive;
        if (m_draw_decoration) {
            // A one-pixel gap keeps neighbouring headers apart.
            dc.draw_rectf({hx + 1, hy + INACTIVE_TOP, hw - 2, th - INACTIVE_TOP}, fill);
        } else if (hot) {
            dc.draw_round_framef(hx + 1, hy + 2, hw - 2, th - 2, fill[0], fill[1], fill[2]);
        }
    }

    // Content: icon, name, close button. It sits a little lower than the header's middle,
    // where inactive headers have their face.
    int cx = hx + FIRST_TAB_X;
    int const content_y = hy + 2;
    int const content_h = th - 2;
    if (item.m_icon) {
        int const ih = static_cast<int>(item.m_icon->get_height());
        item.m_icon->draw(enabled, cx, content_y + (content_h - ih) / 2, hot);
        cx += static_cast<int>(item.m_icon->get_width()) + ICON_GAP;
    }
    GMathVec3<unsigned char> const text =
        !enabled            ? get_color(GuiColorScheme::GROUP_DISABLED, GuiColorScheme::ROLE_TEXT_DIM)
        : (selected || hot) ? get_color(GuiColorScheme::ROLE_TEXT)
                            : get_color(GuiColorScheme::ROLE_TEXT_DIM);
    CoreString const name = get_display_name(item);
    if (!name.is_empty()) {
        int const text_w = std::max(get_name_width(item), static_cast<int>(m_minimum_tab_width));
        HeaderFont font(*this, m_title_style);
        dc.draw_text(name, cx, content_y, text_w + 1, content_h, text[0], text[1], text[2], JUSTIFY_CENTER);
    }

    if (m_tabs_closing && item.m_close_width > 0) {
        int const bx = get_x() + item.m_close_x, by = get_y() + item.m_close_y;
        bool const over_close = hot && m_over_close;
        if (over_close) {
            GMathVec3<unsigned char> const& face = get_color(GuiColorScheme::ROLE_BUTTON_HOVER);
            dc.draw_round_framef(bx + 1, by + 1, item.m_close_width - 2, item.m_close_height - 2, face[0],
                                 face[1], face[2]);
        }
        // The close buttons of other headers stay faint until the pointer comes near.
        if (selected || hot)
            close_image().draw(enabled, bx, by, over_close);
        else
            close_image().draw_hidden(bx, by);
    }
}

void GuiTabWidget::draw_add_tab(GuiWidgetDc& dc)
{
    GuiTabItem const& item = *m_add_tab_item;
    if (item.m_height <= 0) return;
    int const ax = get_x() + item.m_x, ay = get_y() + item.m_y;
    int const aw = item.m_width, ah = item.m_height;
    bool const hot = m_over_add_tab && is_enabled();
    if (hot) {
        GMathVec3<unsigned char> const& face = get_color(GuiColorScheme::ROLE_HOVER);
        dc.draw_round_framef(ax, ay, aw, ah, face[0], face[1], face[2]);
    }
    GMathVec3<unsigned char> const& sign =
        hot ? get_color(GuiColorScheme::ROLE_TEXT) : get_color(GuiColorScheme::ROLE_TEXT_DIM);
    int const cx = ax + aw / 2, cy = ay + ah / 2;
    // A plus two pixels thick.
    dc.draw_rectf({cx - PLUS_ARM, cy - 1, 2 * PLUS_ARM + 1, 2}, sign);
    dc.draw_rectf({cx - 1, cy - PLUS_ARM, 2, 2 * PLUS_ARM + 1}, sign);
}
