#include "gui/controls/gui_list_view.h"

#include <algorithm>

#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"

EVENT_DEFINE_ID(EVT_ID_LIST_VIEW_SELECT);
EVENT_DEFINE_ID(EVT_ID_LIST_VIEW_VALIDATE);

CORE_IMPLEMENT_CLASS(GuiListView, GuiWidget)

GuiListView::GuiListView(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiWidget(parent, x, y, w, h)
{
}

GuiListView::~GuiListView() = default;

void GuiListView::set_items(CoreVector<CoreString> const& items)
{
    m_items = items;
    m_selected = -1;
    m_first_visible = 0;
    redraw();
}

void GuiListView::add_item(CoreString const& text)
{
    m_items.add(text);
    redraw();
}

void GuiListView::clear_items()
{
    set_items(CoreVector<CoreString>());
}

void GuiListView::set_selected_index(int const& index)
{
    int const selected = index < 0 || m_items.is_empty() ? -1 : std::min(index, get_item_count() - 1);
    if (selected == m_selected) return;
    m_selected = selected;
    if (m_selected >= 0) ensure_visible(m_selected);
    redraw();
}

CoreString GuiListView::get_selected_item() const
{
    return m_selected >= 0 ? m_items[static_cast<unsigned int>(m_selected)] : CoreString();
}

void GuiListView::move_selection(int const& delta)
{
    if (m_items.is_empty() || delta == 0) return;
    if (m_selected < 0)
        set_selected_index(delta > 0 ? 0 : get_item_count() - 1);
    else
        set_selected_index(std::max(0, m_selected + delta));
}

int GuiListView::get_row_height()
{
    return get_font().get_height() + 4;
}

int GuiListView::get_visible_row_count()
{
    return std::max(1, get_height() / std::max(1, get_row_height()));
}

void GuiListView::scroll_to(int const& row)
{
    int const last_first = std::max(0, get_item_count() - get_visible_row_count());
    int const first = std::clamp(row, 0, last_first);
    if (first == m_first_visible) return;
    m_first_visible = first;
    redraw();
}

void GuiListView::ensure_visible(int const& row)
{
    int const visible = get_visible_row_count();
    if (row < m_first_visible)
        scroll_to(row);
    else if (row >= m_first_visible + visible)
        scroll_to(row - visible + 1);
}

int GuiListView::get_row_at(int const& window_y)
{
    int const offset = window_y - get_y();
    if (offset < 0 || offset >= get_height()) return -1;
    int const row = m_first_visible + offset / std::max(1, get_row_height());
    return row < get_item_count() ? row : -1;
}

int GuiListView::process_event(CoreString const& name)
{
    if (!is_enabled()) return GuiWidget::process_event(name);
    if (name == EVT_ID_MOUSE_DOWN && Gui::get_event_mouse_button() == Gui::MOUSE_BUTTON_ID_LEFT) {
        int const row = get_row_at(Gui::get_relative_mouse_y(*this) + get_y());
        if (row < 0) return 1;
        set_selected_index(row);
        raise_event(Gui::is_double_click() ? EVT_ID_LIST_VIEW_VALIDATE : EVT_ID_LIST_VIEW_SELECT);
        return 1;
    }
    if (name == EVT_ID_MOUSE_WHEEL) {
        scroll_to(m_first_visible + Gui::get_wheel_dy());
        return 1;
    }
    if (name == EVT_ID_KEY_DOWN) {
        int const key = Gui::get_last_key_pressed();
        int const page = get_visible_row_count();
        switch (key) {
            case Gui::KEY_ID_UP: move_selection(-1); return 1;
            case Gui::KEY_ID_DOWN: move_selection(1); return 1;
            case Gui::KEY_ID_PAGE_UP: move_selection(-page); return 1;
            case Gui::KEY_ID_PAGE_DOWN: move_selection(page); return 1;
            case Gui::KEY_ID_HOME: set_selected_index(0); return 1;
            case Gui::KEY_ID_END: set_selected_index(get_item_count() - 1); return 1;
            case Gui::KEY_ID_ENTER:
            case Gui::KEY_ID_KEYPAD_ENTER:
                if (m_selected >= 0) raise_event(EVT_ID_LIST_VIEW_VALIDATE);
                return 1;
            default: break;
        }
    }
    return GuiWidget::process_event(name);
}

void GuiListView::draw(GuiDc& dc)
{
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    wdc.draw_rectf(GMathVec4<int>(x, y, w, h), get_color(GuiColorScheme::ROLE_MENU));
    int const row_height = get_row_height();
    int const last = std::min(get_item_count(), m_first_visible + get_visible_row_count() + 1);
    for (int row = m_first_visible; row < last; ++row) {
        int const ry = y + (row - m_first_visible) * row_height;
        bool const selected = row == m_selected;
        if (selected) wdc.draw_rectf(GMathVec4<int>(x + 1, ry, w - 2, row_height), get_color(GuiColorScheme::ROLE_SELECTION));
        GMathVec3<unsigned char> const& text =
            get_color(selected ? GuiColorScheme::ROLE_TEXT_SELECTED : GuiColorScheme::ROLE_MENU_TEXT);
        wdc.draw_text(m_items[static_cast<unsigned int>(row)], x + 4, ry, w - 8, row_height, text[0], text[1],
                      text[2], GuiWidget::JUSTIFY_LEFT);
    }
    wdc.draw_rect(GMathVec4<int>(x, y, w, h), get_color(GuiColorScheme::ROLE_OUTLINE));
}
