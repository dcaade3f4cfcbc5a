#include "gui/text/gui_text_edit.h"

#include <algorithm>
#include <climits>
#include <set>

#include "gui/controls/gui_scrollbar.h"
#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_item.h"

EVENT_DEFINE_ID(EVT_ID_TEXT_EDIT_CHANGED);
EVENT_DEFINE_ID(EVT_ID_TEXT_EDIT_MODIFIED);
EVENT_DEFINE_ID(EVT_ID_TEXT_EDIT_CURSOR_CHANGED);
EVENT_DEFINE_ID(EVT_ID_TEXT_EDIT_FONT_SIZE_CHANGED);
EVENT_DEFINE_ID(EVT_ID_TEXT_EDIT_VALIDATE);

CORE_IMPLEMENT_CLASS(GuiTextEdit, GuiWidget)

namespace {

using Type = GuiTextEditHistory::Type;

// The editor's face, and the monospaced family used where that one is not installed.
constexpr char FONT_FAMILY[] = "Lucida Console";
constexpr char FALLBACK_FONT_FAMILY[] = "DejaVu Sans Mono";
// The right Alt key (AltGr) types characters with Ctrl held on some layouts.
constexpr int KEY_ALT_GR = 65514;

int leading_spaces(CoreString const& line)
{
    int n = 0;
    while (n < static_cast<int>(line.get_length()) && line[static_cast<unsigned int>(n)] == ' ') ++n;
    return n;
}

bool is_identifier_character(char const& c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

GuiFont make_font(int const& size)
{
    int faces[4];
    char const* family = GuiFont::get_family_faces(FONT_FAMILY, faces) ? FONT_FAMILY : FALLBACK_FONT_FAMILY;
    return GuiFont(family, size);
}

}  // namespace

// --- Construction ---------------------------------------------------------------------------

GuiTextEdit::GuiTextEdit(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiWidget(parent, x, y, w, h), m_font(make_font(DEFAULT_FONT_SIZE)), m_history(m_buffer)
{
    m_vertical_scrollbar = new GuiScrollbar(*this, x + w - SCROLLBAR_SIZE, y, SCROLLBAR_SIZE, h - SCROLLBAR_SIZE);
    m_horizontal_scrollbar = new GuiScrollbar(*this, x, y + h - SCROLLBAR_SIZE, w - SCROLLBAR_SIZE, SCROLLBAR_SIZE);
    m_horizontal_scrollbar->set_orientation(GuiScrollbar::ORIENTATION_HORIZONTAL);
    m_vertical_scrollbar->hide();
    m_horizontal_scrollbar->hide();
    connect(*m_vertical_scrollbar, EVT_ID_SCROLLBAR_VALUE_CHANGED, &GuiTextEdit::on_scroll);
    connect(*m_horizontal_scrollbar, EVT_ID_SCROLLBAR_VALUE_CHANGED, &GuiTextEdit::on_scroll);
    set_font(m_font);
    enable_tab_navigation(false);
    set_focus_receiver(true);
}

GuiTextEdit::~GuiTextEdit()
{
    if (m_menu) m_menu->destroy();
}

// --- Recording ------------------------------------------------------------------------------

void GuiTextEdit::start_undo(Type const& type)
{
    int line = 0, column = 0;
    get_caret(line, column);
    m_history.start_undo(type, line, std::max(0, column));
}

void GuiTextEdit::stop_undo()
{
    int line = 0, column = 0;
    get_caret(line, column);
    if (!m_history.stop_undo(line, std::max(0, column))) return;
    set_is_dirty(true);
    m_layout_dirty = true;
    raise_event(EVT_ID_TEXT_EDIT_MODIFIED);
}

void GuiTextEdit::insert_text(int const& line, int const& column, CoreString const& text)
{
    m_history.insert_text(line, column, text);
}

void GuiTextEdit::remove_text(int const& line, int const& column, int const& length)
{
    m_history.remove_text(line, column, length);
}

void GuiTextEdit::insert_line(int const& line, CoreString const& text)
{
    m_history.insert_line(line, text);
}

void GuiTextEdit::remove_line(int const& line)
{
    m_history.remove_line(line);
}

void GuiTextEdit::set_line(int const& line, CoreString const& text)
{
    m_history.set_line(line, text);
}

// --- Text -----------------------------------------------------------------------------------

void GuiTextEdit::set_text(CoreString const& text)
{
    m_buffer.set_text(text, m_tab_width, "GuiTextEdit.set_text");
    // A new text starts unmodified, with nothing to undo.
    m_history.clear();
    m_history.set_modification_count(0);
    m_widest_line = 0;
    for (int line = 0; line < m_buffer.get_line_count(); ++line)
        m_widest_line = std::max(m_widest_line, m_buffer.get_line_length(line));
    m_anchor_column = -1;
    m_cursor_column = -1;
    m_anchor_line = m_cursor_line = 0;
    m_first_visible_line = 0;
    m_horizontal_scroll = 0;
    m_layout_dirty = true;
    valid_text_selection();
    redraw();
}

void GuiTextEdit::clear()
{
    // Allowed in read-only editors too: clearing is how a console is emptied.
    if (m_buffer.get_line_count() == 1 && m_buffer.get_line(0).is_empty()) return;
    start_undo(GuiTextEditHistory::TYPE_REMOVE_LINES);
    for (int line = m_buffer.get_line_count() - 1; line >= 0; --line) remove_line(line);
    m_anchor_column = -1;
    m_cursor_column = -1;
    m_anchor_line = m_cursor_line = 0;
    stop_undo();
    m_first_visible_line = 0;
    m_horizontal_scroll = 0;
    m_widest_line = 0;
    valid_text_selection();
    redraw();
}

void GuiTextEdit::append(CoreString const& text, int const& level)
{
    CoreString body = text;
    if (body.end_with("\n")) body = body.sub_string(0, body.get_length() - 1);
    std::vector<CoreString> const lines = GuiTextBuffer::split_lines(body, m_tab_width, "GuiTextEdit.append");
    bool const was_at_end = m_first_visible_line + get_visible_line_count() >= m_buffer.get_line_count();
    size_t first = 0;
    // An empty editor takes the first line in its only line.
    if (m_buffer.get_line_count() == 1 && m_buffer.get_line(0).is_empty() && !lines.empty()) {
        CoreString swapped = lines[0];
        m_buffer.swap_line(0, swapped);
        m_buffer.get_info(0).log_level = level;
        first = 1;
    }
    for (size_t k = first; k < lines.size(); ++k) {
        GuiTextEditLineInfo info;
        info.log_level = level;
        m_buffer.insert_line(m_buffer.get_line_count(), lines[k], info);
        m_widest_line = std::max(m_widest_line, static_cast<int>(lines[k].get_length()));
    }
    apply_max_lines();
    m_layout_dirty = true;
    // A console that showed its end keeps following it.
    if (was_at_end) m_first_visible_line = std::max(0, m_buffer.get_line_count() - get_visible_line_count());
    redraw();
}

void GuiTextEdit::apply_max_lines()
{
    if (!m_read_only || m_max_lines == 0) return;
    int const keep = static_cast<int>(std::min<unsigned int>(m_max_lines, INT_MAX - 1)) + 1;
    int const excess = m_buffer.get_line_count() - keep;
    if (excess <= 0) return;
    for (int k = 0; k < excess; ++k) m_buffer.remove_line(0);
    // Points that fall off the top are dropped.
    if (m_anchor_column >= 0 && m_anchor_line < excess) {
        m_anchor_column = -1;
        m_cursor_column = -1;
        m_anchor_line = m_cursor_line = 0;
    } else if (m_anchor_column >= 0) {
        m_anchor_line -= excess;
        if (m_cursor_column >= 0 && m_cursor_line < excess) m_cursor_column = -1;
        m_cursor_line = std::max(0, m_cursor_line - excess);
    }
    m_first_visible_line = std::max(0, m_first_visible_line - excess);
    valid_text_selection();
}

void GuiTextEdit::append_after_cursor(CoreString const& text)
{
    if (m_anchor_column < 0) {
        int const last = m_buffer.get_line_count() - 1;
        set_selection(m_buffer.get_line_length(last), last, -1, 0);
    }
    do_paste(text);
}

void GuiTextEdit::insert(CoreString const& text, int const& line, int const& column)
{
    set_selection(column, line, -1, 0);
    do_paste(text);
}

CoreString GuiTextEdit::get_current_line() const
{
    int line = 0, column = 0;
    get_caret(line, column);
    return m_buffer.get_line(line);
}

void GuiTextEdit::set_current_line(CoreString const& text)
{
    if (m_read_only) return;
    int line = 0, column = 0;
    get_caret(line, column);
    std::vector<CoreString> const lines = GuiTextBuffer::split_lines(text, m_tab_width, "GuiTextEdit.set_current_line");
    start_undo(GuiTextEditHistory::TYPE_TYPING);
    set_line(line, lines[0]);
    m_anchor_line = line;
    m_anchor_column = static_cast<int>(lines[0].get_length());
    m_cursor_column = -1;
    stop_undo();
    after_text_change();
}

CoreString GuiTextEdit::get_text_selected() const
{
    int l1, c1, l2, c2;
    if (!get_selection_range(l1, c1, l2, c2)) return CoreString();
    if (l1 == l2)
        return m_buffer.get_line(l1).sub_string(static_cast<unsigned int>(c1), static_cast<unsigned int>(c2 - c1));
    CoreString out = m_buffer.get_line(l1).sub_string(static_cast<unsigned int>(c1));
    for (int line = l1 + 1; line < l2; ++line) {
        out += "\n";
        out += m_buffer.get_line(line);
    }
    out += "\n";
    out += m_buffer.get_line(l2).sub_string(0, static_cast<unsigned int>(c2));
    return out;
}

void GuiTextEdit::get_infos(int& line, int& column, int& lines) const
{
    int byte_column = 0;
    line = 0;
    if (!get_caret(line, byte_column)) {
        column = -1;
    } else {
        column = GuiTextBuffer::get_character_count_from_position(m_buffer.get_line(line), byte_column);
    }
    lines = m_buffer.get_line_count();
}

CoreVector<CoreString> GuiTextEdit::get_variables_from_text() const
{
    CoreVector<CoreString> names;
    std::set<std::string> seen;
    for (int line = 0; line < m_buffer.get_line_count(); ++line) {
        std::string_view const text = m_buffer.get_line(line).view();
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '=') continue;
            // "==", "!=", "<=", ">=" compare; only a lone "=" assigns.
            if ((i + 1 < text.size() && text[i + 1] == '=') ||
                (i > 0 && (text[i - 1] == '=' || text[i - 1] == '!' || text[i - 1] == '<' || text[i - 1] == '>')))
                continue;
            size_t end = i;
            while (end > 0 && text[end - 1] == ' ') --end;
            size_t start = end;
            while (start > 0 && is_identifier_character(text[start - 1])) --start;
            if (start == end || (text[start] >= '0' && text[start] <= '9')) continue;
            std::string const name(text.substr(start, end - start));
            if (seen.insert(name).second) names.add(CoreString(name));
        }
    }
    return names;
}

int GuiTextEdit::remove_whitespaces()
{
    if (m_read_only) return 0;
    int changed = 0;
    start_undo(GuiTextEditHistory::TYPE_REPLACE);
    for (int line = 0; line < m_buffer.get_line_count(); ++line) {
        CoreString const& text = m_buffer.get_line(line);
        int end = static_cast<int>(text.get_length());
        while (end > 0 && text[static_cast<unsigned int>(end - 1)] == ' ') --end;
        if (end == static_cast<int>(text.get_length())) continue;
        remove_text(line, end, static_cast<int>(text.get_length()) - end);
        ++changed;
    }
    valid_text_selection();
    stop_undo();
    redraw();
    return changed;
}

CoreString GuiTextEdit::get_word_warp(CoreString const& text, int const& width, GuiFont const& font)
{
    CoreString out;
    CoreVector<CoreString> const paragraphs = text.split("\n", true);
    for (unsigned int p = 0; p < paragraphs.get_count(); ++p) {
        if (p > 0) out += "\n";
        CoreString line;
        for (CoreString const& word : paragraphs[p].split(" ", false)) {
            CoreString const candidate = line.is_empty() ? word : line + " " + word;
            if (!line.is_empty() && font.get_text_width(candidate.get_data(), static_cast<int>(candidate.get_length())) > width) {
                out += line;
                out += "\n";
                line = word;
            } else {
                line = candidate;
            }
        }
        out += line;
    }
    return out;
}

// --- Caret and selection --------------------------------------------------------------------

bool GuiTextEdit::get_caret(int& line, int& column) const
{
    if (m_anchor_column < 0) {
        line = 0;
        column = -1;
        return false;
    }
    if (m_cursor_column >= 0) {
        line = m_cursor_line;
        column = m_cursor_column;
    } else {
        line = m_anchor_line;
        column = m_anchor_column;
    }
    return true;
}

bool GuiTextEdit::get_selection_range(int& first_line, int& first_column, int& last_line, int& last_column) const
{
    if (!has_selection()) return false;
    bool const anchor_first = m_anchor_line < m_cursor_line ||
                              (m_anchor_line == m_cursor_line && m_anchor_column <= m_cursor_column);
    first_line = anchor_first ? m_anchor_line : m_cursor_line;
    first_column = anchor_first ? m_anchor_column : m_cursor_column;
    last_line = anchor_first ? m_cursor_line : m_anchor_line;
    last_column = anchor_first ? m_cursor_column : m_anchor_column;
    return first_line != last_line || first_column != last_column;
}

void GuiTextEdit::select_all()
{
    int const last = m_buffer.get_line_count() - 1;
    set_selection(0, 0, m_buffer.get_line_length(last), last);
}

void GuiTextEdit::deselect_all()
{
    set_selection(-1, 0, -1, 0);
}

void GuiTextEdit::set_selection(int const& anchor_column, int const& anchor_line, int const& cursor_column,
                                int const& cursor_line)
{
    m_anchor_column = anchor_column;
    m_anchor_line = anchor_line;
    m_cursor_column = cursor_column;
    m_cursor_line = cursor_line;
    valid_text_selection();
    int line = 0, column = 0;
    if (get_caret(line, column))
        m_preferred_column = GuiTextBuffer::get_character_count_from_position(m_buffer.get_line(line), column);
    redraw();
}

void GuiTextEdit::get_selection(int& anchor_column, int& anchor_line, int& cursor_column, int& cursor_line) const
{
    anchor_column = m_anchor_column;
    anchor_line = m_anchor_line;
    cursor_column = m_cursor_column;
    cursor_line = m_cursor_line;
}

void GuiTextEdit::valid_text_selection()
{
    int const last = m_buffer.get_line_count() - 1;
    auto clamp_point = [&](int& column, int& line) {
        line = std::clamp(line, 0, last);
        if (column < -1) column = -1;
        if (column >= 0) column = GuiTextBuffer::snap_to_character(m_buffer.get_line(line), column);
    };
    clamp_point(m_anchor_column, m_anchor_line);
    clamp_point(m_cursor_column, m_cursor_line);
    if (m_anchor_column < 0) m_cursor_column = -1;
    raise_event(EVT_ID_TEXT_EDIT_CURSOR_CHANGED);
}

void GuiTextEdit::goto_line(int const& line)
{
    set_selection(0, std::clamp(line, 0, m_buffer.get_line_count() - 1), -1, 0);
    focus_on_cursor();
    redraw();
}

void GuiTextEdit::move_caret(int const& line, int const& column, bool const& extend, bool const& keep_preferred)
{
    int const l = std::clamp(line, 0, m_buffer.get_line_count() - 1);
    int const c = GuiTextBuffer::snap_to_character(m_buffer.get_line(l), column);
    if (extend) {
        if (m_anchor_column < 0) {
            m_anchor_column = 0;
            m_anchor_line = 0;
        }
        m_cursor_line = l;
        m_cursor_column = c;
        if (m_cursor_line == m_anchor_line && m_cursor_column == m_anchor_column) m_cursor_column = -1;
    } else {
        m_anchor_line = l;
        m_anchor_column = c;
        m_cursor_column = -1;
        m_cursor_line = 0;
    }
    if (!keep_preferred) m_preferred_column = GuiTextBuffer::get_character_count_from_position(m_buffer.get_line(l), c);
    valid_text_selection();
    focus_on_cursor();
    redraw();
}

// --- Geometry -------------------------------------------------------------------------------

int GuiTextEdit::get_line_height()
{
    return std::max(1, m_font.get_height() + m_line_spacing);
}

int GuiTextEdit::get_visible_line_count()
{
    int const height = get_height() - TOP_MARGIN - (m_horizontal_scrollbar->is_shown() ? SCROLLBAR_SIZE : 0);
    return std::max(1, height / get_line_height());
}

int GuiTextEdit::get_text_left() const
{
    return get_x() + m_line_number_column_width + LEFT_MARGIN;
}

int GuiTextEdit::get_drawn_length(CoreString const& line) const
{
    if (line.get_length() <= MAX_DRAWN_LINE_LENGTH) return static_cast<int>(line.get_length());
    return GuiTextBuffer::get_position_from_character_count(line, MAX_DRAWN_LINE_LENGTH);
}

int GuiTextEdit::get_column_x(int const& line, int const& column) const
{
    CoreString const& text = m_buffer.get_line(line);
    int const end = std::clamp(column, 0, get_drawn_length(text));
    return static_cast<int>(m_font.get_text_width(text.get_data(), end) + 0.5);
}

void GuiTextEdit::get_location_at(int const& x, int const& y, int& line, int& column)
{
    int const row = (y - get_y() - TOP_MARGIN) / get_line_height() - (y < get_y() + TOP_MARGIN ? 1 : 0);
    line = std::clamp(m_first_visible_line + row, 0, m_buffer.get_line_count() - 1);
    CoreString const& text = m_buffer.get_line(line);
    int const target = x - get_text_left() + m_horizontal_scroll;
    int const end = get_drawn_length(text);
    column = 0;
    double left = 0.0;
    while (column < end) {
        int const step = GuiTextBuffer::get_next_character_increment(text, column);
        double const width = m_font.get_text_width(text.get_data() + column, step);
        // The nearer boundary of the character under x.
        if (left + width / 2 > target) break;
        left += width;
        column += step;
    }
}

void GuiTextEdit::get_current_mouse_location(int& line, int& column)
{
    int x = 0, y = 0;
    Gui::get_relative_mouse_coords(*this, x, y);
    get_location_at(x + get_x(), y + get_y(), line, column);
}

void GuiTextEdit::set_cursor_on_mouse()
{
    int line = 0, column = 0;
    get_current_mouse_location(line, column);
    move_caret(line, column, false);
}

void GuiTextEdit::get_cursor_pixel_position(int& x, int& y)
{
    int line = 0, column = 0;
    if (!get_caret(line, column)) column = 0;
    x = get_text_left() - m_horizontal_scroll + get_column_x(line, column);
    y = get_y() + TOP_MARGIN + (line - m_first_visible_line) * get_line_height();
}

void GuiTextEdit::focus_on_cursor()
{
    int line = 0, column = 0;
    if (!get_caret(line, column)) return;
    int const visible = get_visible_line_count();
    if (line < m_first_visible_line)
        m_first_visible_line = line;
    else if (line >= m_first_visible_line + visible)
        m_first_visible_line = line - visible + 1;
    int const area = get_width() - m_line_number_column_width - LEFT_MARGIN -
                     (m_vertical_scrollbar->is_shown() ? SCROLLBAR_SIZE : 0);
    int const x = get_column_x(line, column);
    // Jump by a quarter of the view so that typing does not scroll at every character.
    if (x < m_horizontal_scroll)
        m_horizontal_scroll = std::max(0, x - area / 4);
    else if (x > m_horizontal_scroll + area - 8)
        m_horizontal_scroll = x - area + area / 4;
    update_scrollbars();
    redraw();
}

void GuiTextEdit::refresh_layout()
{
    m_layout_dirty = false;
    if (m_show_line_number_column) {
        CoreString const count = CoreString() + m_buffer.get_line_count();
        m_line_number_column_width =
            std::max(45, static_cast<int>(m_font.get_text_width(count.get_data(), static_cast<int>(count.get_length()))) + 15);
    } else {
        m_line_number_column_width = 0;
    }
    // The widest line among those in view and the caret's joins the widest seen so far.
    int const visible = get_visible_line_count();
    for (int line = m_first_visible_line; line < std::min(m_buffer.get_line_count(), m_first_visible_line + visible); ++line)
        m_widest_line = std::max(m_widest_line, m_buffer.get_line_length(line));
    update_scrollbars();
}

void GuiTextEdit::update_scrollbars()
{
    int const line_height = get_line_height();
    int const lines = m_buffer.get_line_count();
    int const char_width = std::max(1, static_cast<int>(m_font.get_text_width("M", 1) + 0.5));
    int const content_width = std::min<int>(m_widest_line, MAX_DRAWN_LINE_LENGTH) * char_width + LEFT_MARGIN * 2;
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    int const area_w = w - m_line_number_column_width;
    bool need_v = lines * line_height > h - TOP_MARGIN;
    bool const need_h = content_width > area_w - (need_v ? SCROLLBAR_SIZE : 0);
    if (need_h) need_v = lines * line_height > h - TOP_MARGIN - SCROLLBAR_SIZE;
    m_syncing_scrollbars = true;
    int const bar_h = h - (need_h ? SCROLLBAR_SIZE : 0);
    m_vertical_scrollbar->resize(x + w - SCROLLBAR_SIZE, y, SCROLLBAR_SIZE, bar_h);
    m_horizontal_scrollbar->resize(x + m_line_number_column_width, y + h - SCROLLBAR_SIZE,
                                   area_w - (need_v ? SCROLLBAR_SIZE : 0), SCROLLBAR_SIZE);
    if (need_v != m_vertical_scrollbar->is_shown()) need_v ? m_vertical_scrollbar->show() : m_vertical_scrollbar->hide();
    if (need_h != m_horizontal_scrollbar->is_shown()) need_h ? m_horizontal_scrollbar->show() : m_horizontal_scrollbar->hide();
    int const visible = get_visible_line_count();
    m_first_visible_line = std::clamp(m_first_visible_line, 0, std::max(0, lines - visible));
    if (!need_h) m_horizontal_scroll = 0;
    // The vertical range is whole lines, so that the offset maps to a first line exactly.
    m_vertical_scrollbar->set_range(static_cast<unsigned int>((lines - visible + (bar_h - TOP_MARGIN) / line_height) * line_height));
    m_vertical_scrollbar->set_offset(m_first_visible_line * line_height);
    m_horizontal_scrollbar->set_range(static_cast<unsigned int>(std::max(content_width, m_horizontal_scroll + area_w)));
    m_horizontal_scrollbar->set_offset(m_horizontal_scroll);
    m_syncing_scrollbars = false;
}

void GuiTextEdit::on_scroll(EventObject&, EventInfo const&, void*)
{
    if (m_syncing_scrollbars) return;
    m_first_visible_line = m_vertical_scrollbar->get_offset() / get_line_height();
    m_horizontal_scroll = std::max(0, m_horizontal_scrollbar->get_offset());
    redraw();
}

void GuiTextEdit::resize(int const& x, int const& y, int const& w, int const& h)
{
    GuiWidget::resize(x, y, w, h);
    m_layout_dirty = true;
    if (m_vertical_scrollbar) refresh_layout();
}

void GuiTextEdit::show()
{
    GuiWidget::show();
    m_layout_dirty = true;
    refresh_layout();
}

void GuiTextEdit::widget_update()
{
    GuiWidget::widget_update();
    if (m_layout_dirty) refresh_layout();
    redraw();
}

// --- Zoom and font --------------------------------------------------------------------------

void GuiTextEdit::set_font_size(int const& size)
{
    if (size < 1) {
        CORE_LOG_WARNING("GuiTextEdit.set_font_size: size " << size << " is refused\n");
        return;
    }
    m_font.set_size(size);
    set_font(m_font);
    m_layout_dirty = true;
    refresh_layout();
    focus_on_cursor();
    redraw();
    raise_event(EVT_ID_TEXT_EDIT_FONT_SIZE_CHANGED);
}

void GuiTextEdit::set_text_font(GuiFont const& font)
{
    m_font = font;
    m_default_font_size = font.get_size();
    set_font(m_font);
    m_layout_dirty = true;
    redraw();
}

void GuiTextEdit::zoom_in()
{
    if (!m_zoom_enabled) return;
    int const size = m_font.get_size();
    int const step = size < 16 ? 1 : size < 28 ? 2 : size < 48 ? 4 : size < 66 ? 6 : size < 96 ? 10 : 8;
    set_font_size(size + step);
}

void GuiTextEdit::zoom_out()
{
    if (!m_zoom_enabled) return;
    int const size = m_font.get_size();
    int const step = size >= 97 ? 8 : size > 66 ? 10 : size > 48 ? 6 : size > 28 ? 4 : size >= 17 ? 2 : 1;
    if (size - step <= 8) return;
    set_font_size(size - step);
}

void GuiTextEdit::zoom_default()
{
    if (!m_zoom_enabled) return;
    set_font_size(m_default_font_size);
}

// --- Editing --------------------------------------------------------------------------------

void GuiTextEdit::delete_selection()
{
    int l1, c1, l2, c2;
    if (!get_selection_range(l1, c1, l2, c2)) {
        m_cursor_column = -1;
        return;
    }
    if (l1 == l2) {
        remove_text(l1, c1, c2 - c1);
    } else {
        CoreString const joined = m_buffer.get_line(l1).sub_string(0, static_cast<unsigned int>(c1)) +
                                  m_buffer.get_line(l2).sub_string(static_cast<unsigned int>(c2));
        for (int line = l2; line > l1; --line) remove_line(line);
        set_line(l1, joined);
    }
    m_anchor_line = l1;
    m_anchor_column = c1;
    m_cursor_column = -1;
    m_cursor_line = 0;
}

void GuiTextEdit::insert_at_caret(CoreString const& text)
{
    int line = 0, column = 0;
    if (!get_caret(line, column)) column = 0;
    std::vector<CoreString> const pieces = GuiTextBuffer::split_lines(text, m_tab_width, "GuiTextEdit.insert");
    if (pieces.size() == 1) {
        insert_text(line, column, pieces[0]);
        m_anchor_line = line;
        m_anchor_column = column + static_cast<int>(pieces[0].get_length());
    } else {
        CoreString const& current = m_buffer.get_line(line);
        CoreString const rest = current.sub_string(static_cast<unsigned int>(column));
        remove_text(line, column, static_cast<int>(rest.get_length()));
        insert_text(line, column, pieces[0]);
        for (size_t k = 1; k < pieces.size(); ++k) {
            CoreString const piece = k + 1 == pieces.size() ? pieces[k] + rest : pieces[k];
            insert_line(line + static_cast<int>(k), piece);
            m_widest_line = std::max(m_widest_line, static_cast<int>(piece.get_length()));
        }
        m_anchor_line = line + static_cast<int>(pieces.size()) - 1;
        m_anchor_column = static_cast<int>(pieces.back().get_length());
    }
    m_cursor_column = -1;
    m_widest_line = std::max(m_widest_line, m_buffer.get_line_length(line));
}

void GuiTextEdit::after_text_change()
{
    m_layout_dirty = true;
    valid_text_selection();
    int line = 0, column = 0;
    if (get_caret(line, column))
        m_preferred_column = GuiTextBuffer::get_character_count_from_position(m_buffer.get_line(line), column);
    if (!m_highlighted_word_fixed) m_highlighted_word = CoreString();
    refresh_layout();
    focus_on_cursor();
    redraw();
    on_changed();
}

void GuiTextEdit::type_text(CoreString const& text)
{
    if (m_read_only || text.is_empty()) return;
    if (m_anchor_column < 0) m_anchor_column = 0;
    start_undo(GuiTextEditHistory::TYPE_TYPING);
    delete_selection();
    insert_at_caret(text);
    stop_undo();
    after_text_change();
}

int GuiTextEdit::do_paste(CoreString const& text)
{
    if (m_read_only) return 0;
    if (m_anchor_column < 0) m_anchor_column = 0;
    start_undo(GuiTextEditHistory::TYPE_PASTE);
    delete_selection();
    insert_at_caret(text);
    stop_undo();
    after_text_change();
    return 1;
}

void GuiTextEdit::paste(CoreString const& text)
{
    do_paste(text);
}

int GuiTextEdit::on_edit_undo()
{
    return step_history(false);
}

int GuiTextEdit::on_edit_redo()
{
    return step_history(true);
}

int GuiTextEdit::step_history(bool const& forward)
{
    if (m_read_only) return 0;
    int line = 0, column = 0;
    if (!(forward ? m_history.redo(line, column) : m_history.undo(line, column))) return 1;
    m_anchor_line = line;
    m_anchor_column = column;
    m_cursor_column = -1;
    m_cursor_line = 0;
    valid_text_selection();
    m_layout_dirty = true;
    refresh_layout();
    focus_on_cursor();
    redraw();
    raise_event(EVT_ID_TEXT_EDIT_MODIFIED);
    return 1;
}

int GuiTextEdit::on_edit_copy(bool const& cut)
{
    CoreString const selected = get_text_selected();
    if (selected.is_empty()) return 1;
    Gui::copy_to_clipboard(selected);
    if (!cut || m_read_only) return 1;
    start_undo(GuiTextEditHistory::TYPE_CUT);
    delete_selection();
    stop_undo();
    after_text_change();
    return 1;
}

int GuiTextEdit::on_edit_cut()
{
    return on_edit_copy(true);
}

int GuiTextEdit::on_edit_paste()
{
    if (m_read_only) return 0;
    set_focus();
    Gui::paste_from_clipboard();
    return 1;
}

int GuiTextEdit::on_edit_delete()
{
    if (m_read_only || m_anchor_column < 0) return 0;
    start_undo(GuiTextEditHistory::TYPE_DELETE);
    if (has_selection()) {
        delete_selection();
    } else {
        int const line = m_anchor_line, column = m_anchor_column;
        int const step = GuiTextBuffer::get_next_character_increment(m_buffer.get_line(line), column);
        if (step > 0) {
            remove_text(line, column, step);
        } else if (line + 1 < m_buffer.get_line_count()) {
            CoreString const next = m_buffer.get_line(line + 1);
            remove_line(line + 1);
            insert_text(line, column, next);
        }
    }
    stop_undo();
    after_text_change();
    return 1;
}

int GuiTextEdit::on_edit_select_all()
{
    select_all();
    return 1;
}

void GuiTextEdit::get_touched_lines(int& first, int& last) const
{
    int l1, c1, l2, c2;
    if (get_selection_range(l1, c1, l2, c2)) {
        first = l1;
        // A selection that ends at the start of a line does not touch that line.
        last = l2 > l1 && c2 == 0 ? l2 - 1 : l2;
    } else {
        int column = 0;
        get_caret(first, column);
        last = first;
    }
}

int GuiTextEdit::on_comment_lines()
{
    CoreVector<KeywordData> const& markers = m_syntax.get_table(GuiTextSyntax::TABLE_LINE_COMMENTS);
    if (m_read_only || markers.is_empty() || m_anchor_column < 0) return 0;
    int first = 0, last = 0;
    get_touched_lines(first, last);
    start_undo(GuiTextEditHistory::TYPE_COMMENT);
    for (int line = first; line <= last; ++line) insert_text(line, 0, markers[0].text);
    m_anchor_line = first;
    m_anchor_column = 0;
    m_cursor_line = last;
    m_cursor_column = m_buffer.get_line_length(last);
    stop_undo();
    after_text_change();
    return 1;
}

int GuiTextEdit::on_uncomment_lines()
{
    CoreVector<KeywordData> const& markers = m_syntax.get_table(GuiTextSyntax::TABLE_LINE_COMMENTS);
    if (m_read_only || markers.is_empty() || m_anchor_column < 0) return 0;
    int first = 0, last = 0;
    get_touched_lines(first, last);
    start_undo(GuiTextEditHistory::TYPE_COMMENT);
    for (int line = first; line <= last; ++line) {
        CoreString const& text = m_buffer.get_line(line);
        int const lead = leading_spaces(text);
        for (KeywordData const& marker : markers) {
            if (text.view().substr(static_cast<size_t>(lead)).starts_with(marker.text.view())) {
                remove_text(line, lead, static_cast<int>(marker.text.get_length()));
                break;
            }
        }
    }
    if (has_selection()) {
        m_anchor_line = first;
        m_anchor_column = 0;
        m_cursor_line = last;
        m_cursor_column = m_buffer.get_line_length(last);
    }
    stop_undo();
    after_text_change();
    return 1;
}

int GuiTextEdit::on_duplicate_lines()
{
    if (m_read_only || m_anchor_column < 0) return 0;
    int first = 0, last = 0;
    get_touched_lines(first, last);
    int const count = last - first + 1;
    start_undo(GuiTextEditHistory::TYPE_DUPLICATE);
    for (int k = 0; k < count; ++k) insert_line(last + 1 + k, m_buffer.get_line(first + k));
    // The caret or the selection moves onto the copy.
    m_anchor_line += count;
    if (m_cursor_column >= 0) m_cursor_line += count;
    stop_undo();
    after_text_change();
    return 1;
}

void GuiTextEdit::remove_touched_lines()
{
    int first = 0, last = 0;
    get_touched_lines(first, last);
    start_undo(GuiTextEditHistory::TYPE_REMOVE_LINES);
    for (int line = last; line >= first; --line) remove_line(line);
    m_anchor_line = std::min(first, m_buffer.get_line_count() - 1);
    m_anchor_column = 0;
    m_cursor_column = -1;
    m_cursor_line = 0;
    stop_undo();
    after_text_change();
}

void GuiTextEdit::key_backspace()
{
    start_undo(GuiTextEditHistory::TYPE_BACKSPACE);
    if (has_selection()) {
        delete_selection();
    } else {
        int const line = m_anchor_line, column = m_anchor_column;
        CoreString const& text = m_buffer.get_line(line);
        if (column == 0) {
            if (line > 0) {
                CoreString const moved = text;
                int const end = m_buffer.get_line_length(line - 1);
                remove_line(line);
                insert_text(line - 1, end, moved);
                m_anchor_line = line - 1;
                m_anchor_column = end;
            }
        } else if (leading_spaces(text) >= column) {
            // Only spaces before the caret: back to the previous tab stop.
            int count = column - (column / m_tab_width) * m_tab_width;
            if (count == 0) count = m_tab_width;
            count = std::min(count, column);
            remove_text(line, column - count, count);
            m_anchor_column = column - count;
        } else {
            int const step = GuiTextBuffer::get_previous_character_increment(text, column);
            remove_text(line, column - step, step);
            m_anchor_column = column - step;
        }
    }
    stop_undo();
    after_text_change();
}

void GuiTextEdit::key_enter()
{
    start_undo(GuiTextEditHistory::TYPE_ENTER);
    delete_selection();
    int const line = m_anchor_line, column = m_anchor_column;
    CoreString const& text = m_buffer.get_line(line);
    int const indent = std::min(leading_spaces(text), column);
    CoreString const rest = text.sub_string(static_cast<unsigned int>(column));
    remove_text(line, column, static_cast<int>(rest.get_length()));
    insert_line(line + 1, CoreString(std::string(static_cast<size_t>(indent), ' ')) + rest);
    m_anchor_line = line + 1;
    m_anchor_column = indent;
    stop_undo();
    after_text_change();
}

void GuiTextEdit::key_tab(bool const& shift)
{
    int l1, c1, l2, c2;
    bool const multi = get_selection_range(l1, c1, l2, c2) && l1 != l2;
    CoreString const tab(std::string(static_cast<size_t>(m_tab_width), ' '));
    start_undo(GuiTextEditHistory::TYPE_INDENT);
    if (multi) {
        int first = 0, last = 0;
        get_touched_lines(first, last);
        for (int line = first; line <= last; ++line) {
            if (!shift) {
                insert_text(line, 0, tab);
                continue;
            }
            int const count = std::min(m_tab_width, leading_spaces(m_buffer.get_line(line)));
            remove_text(line, 0, count);
        }
        // The selection covers the whole lines it touched.
        m_anchor_line = first;
        m_anchor_column = 0;
        m_cursor_line = last;
        m_cursor_column = m_buffer.get_line_length(last);
    } else if (!shift) {
        delete_selection();
        int const line = m_anchor_line, column = m_anchor_column;
        int const characters = GuiTextBuffer::get_character_count_from_position(m_buffer.get_line(line), column);
        int const spaces = m_tab_width - characters % m_tab_width;
        insert_text(line, column, CoreString(std::string(static_cast<size_t>(spaces), ' ')));
        m_anchor_column = column + spaces;
    } else {
        m_cursor_column = -1;
        int const line = m_anchor_line, column = m_anchor_column;
        int const lead = leading_spaces(m_buffer.get_line(line));
        if (column > lead) {
            m_anchor_column = std::max(lead, column - m_tab_width);
            m_anchor_column = GuiTextBuffer::snap_to_character(m_buffer.get_line(line), m_anchor_column);
        } else {
            int const count = std::min(m_tab_width, lead);
            remove_text(line, 0, count);
            m_anchor_column = std::max(0, column - count);
        }
    }
    stop_undo();
    after_text_change();
}

// --- Search and replace ---------------------------------------------------------------------

bool GuiTextEdit::find_next_text(CoreString const& text, bool const& case_sensitive)
{
    if (text.is_empty()) return false;
    int line = 0, column = 0;
    get_caret(line, column);
    column = std::max(0, column);
    if (!m_buffer.find(text, case_sensitive, line, column)) return false;
    set_selection(column, line, column + static_cast<int>(text.get_length()), line);
    focus_on_cursor();
    redraw();
    return true;
}

bool GuiTextEdit::find_next_and_replace_text(CoreString const& text, CoreString const& replacement,
                                             bool const& case_sensitive)
{
    if (text.is_empty()) return false;
    bool replaced = false;
    int l1, c1, l2, c2;
    if (!m_read_only && get_selection_range(l1, c1, l2, c2) && l1 == l2 &&
        GuiTextBuffer::find_in_line(m_buffer.get_line(l1), text, case_sensitive, c1) == c1 &&
        c2 - c1 == static_cast<int>(text.get_length())) {
        start_undo(GuiTextEditHistory::TYPE_REPLACE);
        remove_text(l1, c1, c2 - c1);
        insert_text(l1, c1, replacement);
        m_anchor_line = l1;
        m_anchor_column = c1 + static_cast<int>(replacement.get_length());
        m_cursor_column = -1;
        stop_undo();
        after_text_change();
        replaced = true;
    }
    find_next_text(text, case_sensitive);
    return replaced;
}

int GuiTextEdit::replace_all_text(CoreString const& text, CoreString const& replacement, bool const& case_sensitive)
{
    if (text.is_empty() || m_read_only) return 0;
    int count = 0;
    int const length = static_cast<int>(text.get_length());
    start_undo(GuiTextEditHistory::TYPE_REPLACE);
    for (int line = 0; line < m_buffer.get_line_count(); ++line) {
        CoreString const& source = m_buffer.get_line(line);
        int found = GuiTextBuffer::find_in_line(source, text, case_sensitive, 0);
        if (found < 0) continue;
        // Matches are searched in the original line only, so replacements are never met.
        std::string out;
        int from = 0;
        while (found >= 0) {
            out.append(source.view().substr(static_cast<size_t>(from), static_cast<size_t>(found - from)));
            out.append(replacement.view());
            from = found + length;
            ++count;
            found = GuiTextBuffer::find_in_line(source, text, case_sensitive, from);
        }
        out.append(source.view().substr(static_cast<size_t>(from)));
        set_line(line, CoreString(std::move(out)));
    }
    m_cursor_column = -1;
    stop_undo();
    if (count > 0) after_text_change();
    return count;
}

// --- Settings -------------------------------------------------------------------------------

void GuiTextEdit::set_read_only(bool const& read_only, bool const& disabled_look)
{
    m_read_only = read_only;
    m_disabled_look = disabled_look;
    redraw();
}

void GuiTextEdit::set_show_line_number_column(bool const& show)
{
    m_show_line_number_column = show;
    m_layout_dirty = true;
    refresh_layout();
    redraw();
}

void GuiTextEdit::set_show_syntax_color(bool const& show)
{
    m_show_syntax_color = show;
    if (!show) {
        for (int line = 0; line < m_buffer.get_line_count(); ++line) m_buffer.get_info(line).syntax_colors.clear();
    }
    m_buffer.mark_all_dirty();
    redraw();
}

void GuiTextEdit::set_draw_decoration(bool const& draw)
{
    m_draw_decoration = draw;
    redraw();
}

void GuiTextEdit::set_background_color(GuiColorScheme::Role const& role)
{
    m_background_role = role;
    redraw();
}

void GuiTextEdit::set_text_color(GuiColorScheme::Role const& role)
{
    m_text_role = role;
    redraw();
}

void GuiTextEdit::set_tab_width(int const& width)
{
    if (width < 1) {
        CORE_LOG_WARNING("GuiTextEdit.set_tab_width: width " << width << " is refused\n");
        return;
    }
    m_tab_width = width;
}

void GuiTextEdit::set_line_spacing(int const& spacing)
{
    m_line_spacing = std::max(0, spacing);
    m_layout_dirty = true;
    redraw();
}

void GuiTextEdit::set_highlight_current_line(bool const& highlight)
{
    m_highlight_current_line = highlight;
    redraw();
}

void GuiTextEdit::set_highlighted_word(CoreString const& word, bool const& fixed)
{
    m_highlighted_word = word;
    m_highlighted_word_fixed = fixed && !word.is_empty();
    redraw();
}

void GuiTextEdit::disable_highlighted_word()
{
    m_highlighted_word = CoreString();
    m_highlighted_word_fixed = false;
    redraw();
}

// --- Syntax ---------------------------------------------------------------------------------

void GuiTextEdit::set_syntax_table(GuiTextSyntax::Table const& table, CoreVector<CoreString> const& entries)
{
    if (m_syntax.set_table(table, entries) && m_show_syntax_color) m_buffer.mark_all_dirty();
    set_is_dirty(true);
}

void GuiTextEdit::set_operators(CoreVector<CoreString> const& entries)
{
    set_syntax_table(GuiTextSyntax::TABLE_OPERATORS, entries);
}

void GuiTextEdit::set_strings(CoreVector<CoreString> const& entries)
{
    set_syntax_table(GuiTextSyntax::TABLE_STRINGS, entries);
}

void GuiTextEdit::set_line_comments(CoreVector<CoreString> const& entries)
{
    set_syntax_table(GuiTextSyntax::TABLE_LINE_COMMENTS, entries);
}

void GuiTextEdit::set_block_comments(CoreVector<CoreString> const& entries)
{
    set_syntax_table(GuiTextSyntax::TABLE_BLOCK_COMMENTS, entries);
}

void GuiTextEdit::set_keywords(CoreVector<CoreString> const& entries)
{
    set_syntax_table(GuiTextSyntax::TABLE_KEYWORDS, entries);
}

void GuiTextEdit::set_reserved_keywords(CoreVector<CoreString> const& entries)
{
    set_syntax_table(GuiTextSyntax::TABLE_RESERVED_KEYWORDS, entries);
}

void GuiTextEdit::set_preprocessor_keywords(CoreVector<CoreString> const& entries)
{
    set_syntax_table(GuiTextSyntax::TABLE_PREPROCESSOR_KEYWORDS, entries);
}

void GuiTextEdit::recompute_all_syntax_color()
{
    m_buffer.mark_all_dirty();
    compute_syntax_color(m_first_visible_line, m_first_visible_line + get_visible_line_count());
    redraw();
}

void GuiTextEdit::compute_syntax_color(int const& first, int const& last)
{
    if (m_show_syntax_color) m_syntax.compute(m_buffer, first, last);
}

GMathVec3<unsigned char> GuiTextEdit::get_syntax_color(GuiTextEditLineInfo::SyntaxType const& type) const
{
    using Info = GuiTextEditLineInfo;
    GuiColorScheme::Group const group =
        m_disabled_look || !is_enabled() ? GuiColorScheme::GROUP_DISABLED : GuiColorScheme::GROUP_NORMAL;
    GuiColorScheme::Role role = m_text_role;
    if (is_enabled()) {
        switch (type) {
            case Info::SYNTAX_TYPE_LINE_COMMENT:
            case Info::SYNTAX_TYPE_BLOCK_COMMENT: role = GuiColorScheme::ROLE_TEXT_DIM; break;
            case Info::SYNTAX_TYPE_NUMBER: role = GuiColorScheme::ROLE_WARNING; break;
            case Info::SYNTAX_TYPE_STRING: role = GuiColorScheme::ROLE_GREEN; break;
            case Info::SYNTAX_TYPE_KEYWORD: role = GuiColorScheme::ROLE_BLUE; break;
            case Info::SYNTAX_TYPE_PREPROCESSOR_KEYWORD: role = GuiColorScheme::ROLE_ACCENT; break;
            case Info::SYNTAX_TYPE_RESERVED_KEYWORD: role = GuiColorScheme::ROLE_RED; break;
            case Info::SYNTAX_TYPE_OPERATOR: role = GuiColorScheme::ROLE_HIGHLIGHT; break;
            default: break;
        }
    }
    return get_color(group, role);
}

GMathVec3<unsigned char> GuiTextEdit::get_log_level_color(int const& level) const
{
    GuiColorScheme::Group const group =
        m_disabled_look || !is_enabled() ? GuiColorScheme::GROUP_DISABLED : GuiColorScheme::GROUP_NORMAL;
    GMathVec3<unsigned char> color = get_color(group, m_text_role);
    if (level == CORE_LOG_LEVEL_INFO) return color;
    // Warnings lean yellow, debug lines green, errors red: the other channels drop to a
    // third of the brightness.
    unsigned char s = static_cast<unsigned char>((color[0] + color[1] + color[2]) / 6);
    // Dark text (a light scheme) has no brightness to take away: the kept channels are
    // raised instead, so that the tint still reads.
    if (color[0] + color[1] + color[2] < 3 * 96) {
        s = std::min({color[0], color[1], color[2]});
        color = GMathVec3<unsigned char>(170, 170, 170);
    }
    if (level == CORE_LOG_LEVEL_WARNING) {
        color[2] = s;
    } else if (level >= CORE_LOG_LEVEL_DEBUG) {
        color[0] = s;
        color[2] = s;
    } else {
        color[1] = s;
        color[2] = s;
    }
    return color;
}

// --- Popup menu -----------------------------------------------------------------------------

void GuiTextEdit::add_to_popup_menu(GuiMenu&)
{
}

void GuiTextEdit::on_changed()
{
    raise_event(EVT_ID_TEXT_EDIT_CHANGED);
}

void GuiTextEdit::popup_menu()
{
    if (!m_menu) {
        m_menu = new GuiMenu(this);
        connect(*m_menu, EVT_ID_MENU_CLICK, &GuiTextEdit::on_menu_click);
    }
    m_menu->remove_all_items();
    add_to_popup_menu(*m_menu);
    bool const selection = has_selection();
    m_menu->add_item("Undo")->set_enable(!m_read_only && m_history.get_undo_count() > 0);
    m_menu->add_item("Redo")->set_enable(!m_read_only && m_history.get_redo_count() > 0);
    m_menu->add_separator();
    m_menu->add_item("Cut          ")->set_enable(selection && !m_read_only);
    m_menu->add_item("Copy")->set_enable(selection);
    m_menu->add_item("Paste")->set_enable(!m_read_only);
    m_menu->add_item("Delete")->set_enable(selection && !m_read_only);
    set_mouse_cursor(Gui::MOUSE_CURSOR_DEFAULT);
    m_menu->popup(Gui::get_mouse_screen_position_x(), Gui::get_mouse_screen_position_y());
}

void GuiTextEdit::on_menu_click(EventObject&, EventInfo const&, void*)
{
    GuiMenuItem* item = m_menu ? m_menu->get_last_selected_item() : nullptr;
    if (!item) return;
    std::string const entry = item->get_name().get_trim().std_string();
    if (entry == "Undo")
        on_edit_undo();
    else if (entry == "Redo")
        on_edit_redo();
    else if (entry == "Cut")
        on_edit_cut();
    else if (entry == "Copy")
        on_edit_copy();
    else if (entry == "Paste")
        on_edit_paste();
    else if (entry == "Delete")
        on_edit_delete();
}

// --- Events ---------------------------------------------------------------------------------

bool GuiTextEdit::on_key(int const& key)
{
    bool const ctrl = Gui::is_modifier_ctrl();
    bool const shift = Gui::is_modifier_shift();
    int line = 0, column = 0;
    bool const has_caret = get_caret(line, column);
    int const last_line = m_buffer.get_line_count() - 1;
    CoreString const& text = m_buffer.get_line(line);
    // Without Shift a selection first collapses to the caret.
    auto collapse = [&]() {
        if (!shift && has_caret && m_cursor_column >= 0) {
            m_anchor_line = line;
            m_anchor_column = column;
            m_cursor_column = -1;
        }
    };
    auto vertical = [&](int const& lines) {
        collapse();
        int const target = std::clamp(line + lines, 0, last_line);
        move_caret(target, GuiTextBuffer::get_position_from_character_count(m_buffer.get_line(target), m_preferred_column),
                   shift, true);
    };
    column = std::max(0, column);

    switch (key) {
        case Gui::KEY_ID_LEFT:
        case Gui::KEY_ID_RIGHT: {
            collapse();
            bool const right = key == Gui::KEY_ID_RIGHT;
            int to_line = line, to_column = column;
            if (right && column >= static_cast<int>(text.get_length())) {
                if (line < last_line) ++to_line, to_column = 0;
            } else if (!right && column == 0) {
                if (line > 0) --to_line, to_column = m_buffer.get_line_length(to_line);
            } else if (ctrl) {
                to_column = right ? GuiLineEdit::get_next_group_position(text.view(), column)
                                  : GuiLineEdit::get_previous_group_position(text.view(), column);
            } else {
                to_column = right ? column + GuiTextBuffer::get_next_character_increment(text, column)
                                  : column - GuiTextBuffer::get_previous_character_increment(text, column);
            }
            move_caret(to_line, to_column, shift);
            return true;
        }
        case Gui::KEY_ID_UP: vertical(-1); return true;
        case Gui::KEY_ID_DOWN: vertical(1); return true;
        case Gui::KEY_ID_PAGE_UP: vertical(-get_visible_line_count()); return true;
        case Gui::KEY_ID_PAGE_DOWN: vertical(get_visible_line_count()); return true;
        case Gui::KEY_ID_HOME: {
            collapse();
            if (ctrl) {
                move_caret(0, 0, shift);
                return true;
            }
            int const lead = leading_spaces(text);
            move_caret(line, lead > 0 && column != lead ? lead : 0, shift);
            return true;
        }
        case Gui::KEY_ID_END:
            collapse();
            if (ctrl)
                move_caret(last_line, m_buffer.get_line_length(last_line), shift);
            else
                move_caret(line, static_cast<int>(text.get_length()), shift);
            return true;
        case Gui::KEY_ID_ESCAPE:
            if (!m_read_only) return false;
            m_anchor_column = -1;
            m_cursor_column = -1;
            valid_text_selection();
            m_first_visible_line = std::max(0, m_buffer.get_line_count() - get_visible_line_count());
            update_scrollbars();
            redraw();
            return true;
        default: break;
    }
    if (ctrl && key != KEY_ALT_GR && !Gui::is_key_down(KEY_ALT_GR)) {
        switch (key) {
            case 'a': on_edit_select_all(); return true;
            case 'c':
                shift ? on_comment_lines() : on_edit_copy();
                return true;
            case 'x':
                shift ? on_uncomment_lines() : on_edit_cut();
                return true;
            case 'z':
                shift ? on_edit_redo() : on_edit_undo();
                return true;
            case 'v': on_edit_paste(); return true;
            case 'd': on_duplicate_lines(); return true;
            case 'l':
                if (!m_read_only && has_caret) remove_touched_lines();
                return true;
            case '+':
            case '=':
            case Gui::KEY_ID_KEYPAD_ADD: zoom_in(); return true;
            case '-':
            case Gui::KEY_ID_KEYPAD_SUBTRACT: zoom_out(); return true;
            case '0': zoom_default(); return true;
            default: return false;
        }
    }
    if (m_read_only) return false;
    if (!has_caret) {
        m_anchor_line = 0;
        m_anchor_column = 0;
    }
    switch (key) {
        case Gui::KEY_ID_BACKSPACE: key_backspace(); return true;
        case Gui::KEY_ID_DELETE: on_edit_delete(); return true;
        case Gui::KEY_ID_ENTER:
        case Gui::KEY_ID_KEYPAD_ENTER: key_enter(); return true;
        case Gui::KEY_ID_TAB: key_tab(shift); return true;
        default: break;
    }
    CoreString const typed = Gui::get_key_pressed_text();
    if (typed.is_empty() || static_cast<unsigned char>(typed[0]) < 0x20 || typed[0] == 0x7F) return false;
    type_text(typed);
    return true;
}

int GuiTextEdit::process_event(CoreString const& name)
{
    if (name == EVT_ID_WIDGET_FOCUS_IN) {
        redraw();
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_WIDGET_FOCUS_OUT) {
        redraw();
        if (m_history.get_modification_count() > 0) raise_event(EVT_ID_TEXT_EDIT_VALIDATE);
        GuiWidget::process_event(name);
        return GuiWidget::is_focus_changing() ? 0 : 1;
    }
    if (!is_enabled()) return GuiWidget::process_event(name);

    if (name == EVT_ID_MOUSE_MOVE || name == EVT_ID_MOUSE_ENTER) {
        int x = 0, y = 0;
        Gui::get_relative_mouse_coords(*this, x, y);
        bool const over_text = x >= m_line_number_column_width &&
                               x < get_width() - (m_vertical_scrollbar->is_shown() ? SCROLLBAR_SIZE : 0) &&
                               y < get_height() - (m_horizontal_scrollbar->is_shown() ? SCROLLBAR_SIZE : 0);
        set_mouse_cursor(over_text ? Gui::MOUSE_CURSOR_INSERT : Gui::MOUSE_CURSOR_DEFAULT);
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_MOUSE_LEAVE) {
        set_mouse_cursor(Gui::MOUSE_CURSOR_DEFAULT);
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_MOUSE_DOWN) {
        Gui::MouseButtonId const button = Gui::get_event_mouse_button();
        if (!has_focus()) set_focus();
        int line = 0, column = 0;
        get_current_mouse_location(line, column);
        if (button == Gui::MOUSE_BUTTON_ID_RIGHT) {
            popup_menu();
            return 1;
        }
        if (button == Gui::MOUSE_BUTTON_ID_MIDDLE) {
            if (m_read_only) return 1;
            move_caret(line, column, false);
            Gui::paste_from_selection_buffer();
            return 1;
        }
        CoreString const& text = m_buffer.get_line(line);
        if (Gui::is_modifier_shift() && m_anchor_column >= 0) {
            move_caret(line, column, true);
        } else if (Gui::is_triple_click()) {
            set_selection(0, line, static_cast<int>(text.get_length()), line);
        } else if (Gui::is_double_click()) {
            std::string_view const view = text.view();
            int const end = GuiLineEdit::get_next_group_position(view, column);
            int const start = GuiLineEdit::get_previous_group_position(
                view, end == column ? column + GuiTextBuffer::get_next_character_increment(text, column) : end);
            int const stop = end == column ? GuiLineEdit::get_next_group_position(view, start) : end;
            set_selection(start, line, stop, line);
            set_highlighted_word(get_text_selected(), m_highlighted_word_fixed);
        } else {
            move_caret(line, column, false);
            if (!m_highlighted_word_fixed) {
                int const end = GuiLineEdit::get_next_group_position(text.view(), column);
                int const start = GuiLineEdit::get_previous_group_position(text.view(), end);
                CoreString const word =
                    text.sub_string(static_cast<unsigned int>(start), static_cast<unsigned int>(std::max(0, end - start)));
                m_highlighted_word = word.get_trim().is_empty() || GuiLineEdit::is_characters_group(word[0]) ? CoreString() : word;
            }
        }
        m_dragging = true;
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_DRAG || name == EVT_ID_MOUSE_DRAG_REAL_TIME) {
        if (!m_dragging || !Gui::is_mouse_button_pressed(Gui::MOUSE_BUTTON_ID_LEFT)) return 1;
        int line = 0, column = 0;
        get_current_mouse_location(line, column);
        move_caret(line, column, true);
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP) {
        m_dragging = false;
        if (Gui::get_event_mouse_button() == Gui::MOUSE_BUTTON_ID_LEFT && has_selection()) {
            CoreString const selected = get_text_selected();
            if (!selected.is_empty()) Gui::copy_to_selection_buffer(selected);
        }
        return 1;
    }
    if (name == EVT_ID_MOUSE_WHEEL) {
        int const dy = Gui::get_wheel_dy();
        if (Gui::is_modifier_ctrl()) {
            if (dy < 0) zoom_in();
            if (dy > 0) zoom_out();
            return 1;
        }
        if (!m_vertical_scrollbar->is_shown() || dy == 0) return GuiWidget::process_event(name);
        int const most = std::max(0, m_buffer.get_line_count() - get_visible_line_count());
        m_first_visible_line = std::clamp(m_first_visible_line + (dy > 0 ? WHEEL_LINES : -WHEEL_LINES), 0, most);
        update_scrollbars();
        redraw();
        return 1;
    }
    if (name == EVT_ID_KEY_DOWN && has_focus()) {
        if (on_key(Gui::get_last_key_pressed())) return 1;
        return GuiWidget::process_event(name);
    }
    return GuiWidget::process_event(name);
}

// --- Drawing --------------------------------------------------------------------------------

void GuiTextEdit::draw_line(GuiWidgetDc& dc, int const& line, int const& x, int const& y, int const& baseline)
{
    CoreString const& text = m_buffer.get_line(line);
    GuiTextEditLineInfo const& info = m_buffer.get_info(line);
    int const length = get_drawn_length(text);
    if (length == 0) return;
    int const line_height = get_line_height();
    bool const focused = has_focus();

    // Highlighted word occurrences behind the text.
    if (!m_highlighted_word.is_empty()) {
        for (int at = GuiTextBuffer::find_in_line(text, m_highlighted_word, true, 0); at >= 0 && at < length;
             at = GuiTextBuffer::find_in_line(text, m_highlighted_word, true, at + static_cast<int>(m_highlighted_word.get_length()))) {
            int const sx = x + get_column_x(line, at);
            int const ex = x + get_column_x(line, at + static_cast<int>(m_highlighted_word.get_length()));
            dc.draw_rectf(GMathVec4<int>(sx, y, ex - sx, line_height), get_color(GuiColorScheme::ROLE_HOVER));
        }
    }

    // Per byte: its syntax type (or -1 for plain text) and whether it is selected.
    std::vector<signed char> types(static_cast<size_t>(length), -1);
    if (m_show_syntax_color && info.log_level == CORE_LOG_LEVEL_INFO) {
        for (GuiTextEditLineInfo::SyntaxColor const& run : info.syntax_colors) {
            int const end = std::min(length, static_cast<int>(run.start) + run.length);
            for (int k = run.start; k < end; ++k)
                types[static_cast<size_t>(k)] = run.type == GuiTextEditLineInfo::SYNTAX_TYPE_NONE ? -1 : static_cast<signed char>(run.type);
        }
    }
    int select_from = length + 1, select_to = -1;
    int l1, c1, l2, c2;
    if (get_selection_range(l1, c1, l2, c2) && line >= l1 && line <= l2) {
        select_from = line == l1 ? c1 : 0;
        select_to = line == l2 ? c2 : length;
        int const sx = x + get_column_x(line, select_from);
        // A selection that goes on past the line's end shows one character of it.
        int const ex = x + get_column_x(line, select_to) + (line < l2 ? static_cast<int>(m_font.get_text_width(" ", 1)) : 0);
        dc.draw_rectf(GMathVec4<int>(sx, y, ex - sx, line_height),
                      get_color(focused ? GuiColorScheme::ROLE_SELECTION : GuiColorScheme::ROLE_SELECTION_INACTIVE));
    }

    GMathVec3<unsigned char> const plain = info.log_level != CORE_LOG_LEVEL_INFO
                                               ? get_log_level_color(info.log_level)
                                               : get_syntax_color(GuiTextEditLineInfo::SYNTAX_TYPE_NONE);
    GMathVec3<unsigned char> const selected = get_color(GuiColorScheme::ROLE_TEXT_SELECTED);
    // Only the characters inside the text area go to the toolkit, in runs of one colour.
    int const area_right = get_x() + get_width();
    int start = 0;
    double left = x;
    while (start < length && left < area_right) {
        bool const in_selection = start >= select_from && start < select_to;
        signed char const type = types[static_cast<size_t>(start)];
        int end = start;
        while (end < length && types[static_cast<size_t>(end)] == type &&
               (end >= select_from && end < select_to) == in_selection &&
               end - start < static_cast<int>(GuiWidgetDc::MAX_LINE_BYTES) - 4)
            end += std::max(1, GuiTextBuffer::get_next_character_increment(text, end));
        end = std::min(end, length);
        double const width = m_font.get_text_width(text.get_data() + start, end - start);
        if (left + width >= get_x()) {
            GMathVec3<unsigned char> const color =
                in_selection ? selected
                             : type < 0 ? plain : get_syntax_color(static_cast<GuiTextEditLineInfo::SyntaxType>(type));
            dc.draw_text(text.sub_string(static_cast<unsigned int>(start), static_cast<unsigned int>(end - start)),
                         static_cast<int>(left + 0.5), baseline, color[0], color[1], color[2]);
        }
        left += width;
        start = end;
    }
}

void GuiTextEdit::draw(GuiDc& dc)
{
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    if (m_layout_dirty) {
        refresh_layout();
        focus_on_cursor();
    }
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    int const line_height = get_line_height();
    int const visible = get_visible_line_count();
    int const last = std::min(m_buffer.get_line_count() - 1, m_first_visible_line + visible);
    compute_syntax_color(m_first_visible_line, last);

    GuiColorScheme::Group const group =
        m_disabled_look || !is_enabled() ? GuiColorScheme::GROUP_DISABLED : GuiColorScheme::GROUP_NORMAL;
    GMathVec3<unsigned char> const background = get_color(group, m_background_role);
    wdc.draw_rectf(GMathVec4<int>(x, y, w, h), background);

    int caret_line = 0, caret_column = 0;
    bool const has_caret = get_caret(caret_line, caret_column);
    int const area_w = w - m_line_number_column_width - (m_vertical_scrollbar->is_shown() ? SCROLLBAR_SIZE : 0);
    int const area_h = h - (m_horizontal_scrollbar->is_shown() ? SCROLLBAR_SIZE : 0);
    if (m_line_number_column_width > 0) {
        // The current-line colour: each background channel brightened, folded back when it
        // passes white.
        GMathVec3<unsigned char> band;
        for (int k = 0; k < 3; ++k) {
            int value = static_cast<int>(background[k] * 1.115);
            if (value > 255) value = 255 - (value - 255);
            band[k] = static_cast<unsigned char>(std::clamp(value, 0, 255));
        }
        wdc.draw_rectf(GMathVec4<int>(x, y, m_line_number_column_width, area_h), band);
    }
    push_clip(x, y, m_line_number_column_width + area_w, area_h);
    int const descent = m_font.get_descent();
    GMathVec3<unsigned char> const number_color = get_color(group, GuiColorScheme::ROLE_TEXT_DIM);
    for (int line = m_first_visible_line; line <= last; ++line) {
        int const top = y + TOP_MARGIN + (line - m_first_visible_line) * line_height;
        int const baseline = top + m_font.get_height() - descent;
        if (m_highlight_current_line && has_caret && line == caret_line) {
            float const scale = has_focus() ? 0.8f : 0.93f;
            GMathVec3<unsigned char> band;
            for (int k = 0; k < 3; ++k) band[k] = static_cast<unsigned char>(background[k] * scale);
            wdc.draw_rectf(GMathVec4<int>(x + m_line_number_column_width, top, area_w, line_height), band);
        }
        if (m_line_number_column_width > 0) {
            CoreString const number = CoreString() + (line + 1);
            int const number_w = static_cast<int>(m_font.get_text_width(number.get_data(), static_cast<int>(number.get_length())));
            wdc.draw_text(number, x + m_line_number_column_width - 5 - number_w, baseline, number_color[0],
                          number_color[1], number_color[2]);
        }
        push_clip(x + m_line_number_column_width, y, area_w, area_h);
        draw_line(wdc, line, get_text_left() - m_horizontal_scroll, top, baseline);
        pop_clip();
    }
    if (has_focus() && has_caret && !m_read_only && caret_line >= m_first_visible_line && caret_line <= last) {
        int cx = 0, cy = 0;
        get_cursor_pixel_position(cx, cy);
        if (cx >= x + m_line_number_column_width) {
            GMathVec3<unsigned char> const caret = get_color(group, m_text_role);
            wdc.draw_line(cx, cy, cx, cy + line_height - 1, caret[0], caret[1], caret[2]);
        }
    }
    pop_clip();
    if (m_draw_decoration)
        wdc.draw_rect(GMathVec4<int>(x, y, w, h),
                      get_color(has_focus() ? GuiColorScheme::ROLE_FOCUS : GuiColorScheme::ROLE_FIELD_BORDER));
    GuiWidget::draw(dc);
}
