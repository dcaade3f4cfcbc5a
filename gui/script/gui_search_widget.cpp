#include "gui/script/gui_search_widget.h"

#include "gui/controls/gui_check_button.h"
#include "gui/controls/gui_push_button.h"
#include "gui/core/gui.h"
#include "gui/fields/gui_line_edit.h"

CORE_IMPLEMENT_CLASS(GuiSearchWidget, GuiWidget)

EVENT_DEFINE_ID(EVT_ID_SEARCH_VALIDATE);
EVENT_DEFINE_ID(EVT_ID_SEARCH_REPLACE);
EVENT_DEFINE_ID(EVT_ID_SEARCH_REPLACE_ALL);
EVENT_DEFINE_ID(EVT_ID_SEARCH_HIGHLIGHT);

GuiSearchWidget::GuiSearchWidget(GuiWidget& parent, int const& x, int const& y, int const& w)
    : GuiWidget(parent, x, y, w, ROW_HEIGHT)
{
    int const h = ROW_HEIGHT - 2 * MARGIN;
    m_search = new GuiLineEdit(*this, x, y, w, h, "Search Text");
    m_replace = new GuiLineEdit(*this, x, y, w, h, "Replace With");
    m_case = new GuiCheckButton(*this, x, y, BUTTON_WIDTH + 20, h, "Case Sensitive");
    m_highlight = new GuiPushButton(*this, x, y, BUTTON_WIDTH, h, "Highlight");
    m_find = new GuiPushButton(*this, x, y, BUTTON_WIDTH, h, "Find");
    m_replace_one = new GuiPushButton(*this, x, y, BUTTON_WIDTH, h, "Replace");
    m_replace_all = new GuiPushButton(*this, x, y, BUTTON_WIDTH, h, "Replace All");
    for (GuiPushButton* button : {m_highlight, m_find, m_replace_one, m_replace_all})
        connect(*button, EVT_ID_PUSH_BUTTON_CLICK, &GuiSearchWidget::on_button);
    connect(*m_search, EVT_ID_LINE_EDIT_KEY_PRESSED, &GuiSearchWidget::on_search_key);
    refresh_layout();
}

CoreString const& GuiSearchWidget::get_source_text() const
{
    return m_search->get_text();
}

void GuiSearchWidget::set_source_text(CoreString const& text)
{
    m_search->set_text(text, true);
}

CoreString const& GuiSearchWidget::get_replace_text() const
{
    return m_replace->get_text();
}

void GuiSearchWidget::set_replace_text(CoreString const& text)
{
    m_replace->set_text(text, true);
}

bool GuiSearchWidget::get_is_case_sensitive() const
{
    return m_case->get_value();
}

void GuiSearchWidget::set_is_case_sensitive(bool const& sensitive)
{
    m_case->set_value(sensitive);
}

void GuiSearchWidget::set_show_highlight_button(bool const& show)
{
    m_show_highlight = show;
    refresh_layout();
}

void GuiSearchWidget::set_mode(Mode const& mode)
{
    m_mode = mode;
    refresh_layout();
}

void GuiSearchWidget::reset()
{
    m_search->set_text(CoreString());
    m_replace->set_text(CoreString());
    m_case->set_value(false);
}

int GuiSearchWidget::get_needed_height() const
{
    return m_mode == MODE_SEARCH ? ROW_HEIGHT : 2 * ROW_HEIGHT;
}

void GuiSearchWidget::focus_search()
{
    m_search->set_focus();
}

void GuiSearchWidget::resize(int const& x, int const& y, int const& w, int const& h)
{
    GuiWidget::resize(x, y, w, h);
    refresh_layout();
}

void GuiSearchWidget::refresh_layout()
{
    int const x = get_x(), y = get_y(), w = get_width();
    int const h = ROW_HEIGHT - 2 * MARGIN;
    m_find->set_label(m_mode == MODE_RENAME ? "Apply" : "Find");
    // First row, from the right: Find, Highlight, Case Sensitive; the entry takes the rest.
    int right = x + w - MARGIN;
    auto place_right = [&](GuiWidget& widget, int const& row_y) {
        right -= widget.get_width();
        widget.resize(right, row_y, widget.get_width(), h);
        widget.show();
        right -= MARGIN;
    };
    place_right(*m_find, y + MARGIN);
    if (m_show_highlight)
        place_right(*m_highlight, y + MARGIN);
    else
        m_highlight->hide();
    place_right(*m_case, y + MARGIN);
    m_search->resize(x + MARGIN, y + MARGIN, std::max(20, right - x - MARGIN), h);
    m_search->show();

    bool const second_row = m_mode != MODE_SEARCH;
    int const row_y = y + ROW_HEIGHT + MARGIN;
    right = x + w - MARGIN;
    if (second_row) {
        place_right(*m_replace_all, row_y);
        place_right(*m_replace_one, row_y);
        m_replace->resize(x + MARGIN, row_y, std::max(20, right - x - MARGIN), h);
        m_replace->show();
    } else {
        m_replace_all->hide();
        m_replace_one->hide();
        m_replace->hide();
    }
    if (get_height() != get_needed_height()) GuiWidget::resize(x, y, w, get_needed_height());
    redraw();
}

void GuiSearchWidget::on_button(EventObject& sender, EventInfo const&, void*)
{
    if (&sender == m_find)
        raise_event(EVT_ID_SEARCH_VALIDATE);
    else if (&sender == m_replace_one)
        raise_event(EVT_ID_SEARCH_REPLACE);
    else if (&sender == m_replace_all)
        raise_event(EVT_ID_SEARCH_REPLACE_ALL);
    else if (&sender == m_highlight)
        raise_event(EVT_ID_SEARCH_HIGHLIGHT);
}

void GuiSearchWidget::on_search_key(EventObject&, EventInfo const&, void*)
{
    int const key = Gui::get_last_key_pressed();
    if (key == Gui::KEY_ID_ENTER || key == Gui::KEY_ID_KEYPAD_ENTER) raise_event(EVT_ID_SEARCH_VALIDATE);
}
