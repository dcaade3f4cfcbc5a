#include "gui/fields/gui_line_edit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui/controls/gui_list_view.h"
#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_item.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_LINE_EDIT_KEY_PRESSED);
EVENT_DEFINE_ID(EVT_ID_LINE_EDIT_VALUE_EDITED);
EVENT_DEFINE_ID(EVT_ID_LINE_EDIT_CHANGED);
EVENT_DEFINE_ID(EVT_ID_LINE_EDIT_VALIDATE);
EVENT_DEFINE_ID(EVT_ID_LINE_EDIT_ESCAPE_PRESSED);
EVENT_DEFINE_ID(EVT_ID_LINE_EDIT_CANDIDATES_POPUP_OPENING);
EVENT_DEFINE_ID(EVT_ID_LINE_EDIT_MENU_SHOW);
EVENT_DEFINE_ID(EVT_ID_LINE_EDIT_MENU_ITEM_SELECTED);
EVENT_DEFINE_ID(EVT_ID_LINE_EDIT_MENU_HIDE);

CORE_IMPLEMENT_CLASS(GuiLineEdit, GuiWidget)
CORE_IMPLEMENT_CLASS(GuiLineEditCandidatePopup, GuiPopup)

namespace {

constexpr char GROUP_SEPARATORS[] = " ()[]:;,.\\/+*-'\"<>=!";
// Drawn for every character in password mode (U+2022).
constexpr char BULLET[] = "\xe2\x80\xa2";
// The text area leaves this much space at its right so that the caret stays visible.
constexpr int CARET_MARGIN = 9;
// The text starts this far right of the label.
constexpr int TEXT_INDENT = 2;
constexpr int MAX_CANDIDATE_ROWS = 12;

bool is_continuation(char const& c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

// --- Names and groups ---------------------------------------------------------------------

char const* GuiLineEdit::get_style_name(Style const& style)
{
    switch (style) {
        case STYLE_FLAT: return "STYLE_FLAT";
        case STYLE_ROUND: return "STYLE_ROUND";
        default: return "STYLE_COUNT";
    }
}

char const* GuiLineEdit::get_validation_name(Validation const& validation)
{
    switch (validation) {
        case VALIDATION_NONE: return "VALIDATION_NONE";
        case VALIDATION_FOCUS_OUT: return "VALIDATION_FOCUS_OUT";
        case VALIDATION_KEY_ENTER: return "VALIDATION_KEY_ENTER";
        case VALIDATION_KEY_RETURN: return "VALIDATION_KEY_RETURN";
        default: return "VALIDATION_COUNT";
    }
}

char const* GuiLineEdit::get_characters_groupe()
{
    return GROUP_SEPARATORS;
}

bool GuiLineEdit::is_characters_group(char const& c)
{
    return c != '\0' && std::strchr(GROUP_SEPARATORS, c) != nullptr;
}

// --- Construction ---------------------------------------------------------------------------

GuiLineEdit::GuiLineEdit(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                         CoreString const& label)
    : GuiWidget(parent, x, y, w, h), m_label(label)
{
    set_focus_receiver(true);
}

GuiLineEdit::~GuiLineEdit()
{
    // Both windows belong to this edit's window; they go with the edit.
    if (m_candidate_popup) m_candidate_popup->destroy();
    if (m_menu) m_menu->destroy();
}

// --- Text -------------------------------------------------------------------------------------

CoreString GuiLineEdit::clean_text(CoreString const& text, bool const& strip_controls, char const* who)
{
    std::string_view const in = text.view();
    std::string out;
    out.reserve(in.size());
    bool replaced = false;
    for (size_t i = 0; i < in.size();) {
        char const c = in[i];
        if (c == '\n' || c == '\r') {
            ++i;
            continue;
        }
        if (strip_controls && (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)) {
            // A tab reads as the blank it stood for; other control characters go.
            if (c == '\t') out += ' ';
            ++i;
            continue;
        }
        size_t const length = Gui::get_valid_character_length(in, i);
        if (length == 0) {
            out += "\xef\xbf\xbd";  // U+FFFD, the replacement character
            replaced = true;
            ++i;
            continue;
        }
        out.append(in.substr(i, length));
        i += length;
    }
    if (replaced) CORE_LOG_WARNING("GuiLineEdit." << who << ": invalid UTF-8 bytes were replaced by U+FFFD\n");
    return CoreString(std::move(out));
}

void GuiLineEdit::set_text(CoreString const& text, bool const& cursor_at_end)
{
    m_scroll_offset = 0;
    m_text = clean_text(text, false, "set_text");
    invalidate_boundaries(0);
    m_cursor = -1;
    m_selection_end = -1;
    if (cursor_at_end) {
        m_cursor = static_cast<int>(m_text.get_length());
        focus_on_cursor();
    }
    m_committed_text = m_text;
    redraw();
}

CoreString GuiLineEdit::get_selected_text() const
{
    int start, end;
    if (!get_selection_range(start, end)) return CoreString();
    return m_text.sub_string(static_cast<unsigned int>(start), static_cast<unsigned int>(end - start));
}

void GuiLineEdit::split_selection(CoreString& before, CoreString& selected, CoreString& after) const
{
    int start, end;
    if (!get_selection_range(start, end)) start = end = std::max(0, m_cursor);
    before = m_text.sub_string(0, static_cast<unsigned int>(start));
    selected = m_text.sub_string(static_cast<unsigned int>(start), static_cast<unsigned int>(end - start));
    after = m_text.sub_string(static_cast<unsigned int>(end));
}

// --- Caret and selection --------------------------------------------------------------------

void GuiLineEdit::select_all()
{
    m_cursor = 0;
    m_selection_end = static_cast<int>(m_text.get_length());
    focus_on_cursor();
    redraw();
}

void GuiLineEdit::select_end()
{
    m_cursor = static_cast<int>(m_text.get_length());
    m_selection_end = -1;
    focus_on_cursor();
    redraw();
}

void GuiLineEdit::deselect_all()
{
    m_selection_end = -1;
    redraw();
}

void GuiLineEdit::set_selection(int const& cursor, int const& selection_end)
{
    int const length = static_cast<int>(m_text.get_length());
    auto to_boundary = [&](int position) {
        if (position < 0) return -1;
        position = std::min(position, length);
        while (position > 0 && position < length && is_continuation(m_text[static_cast<unsigned int>(position)]))
            --position;
        return position;
    };
    m_cursor = to_boundary(cursor);
    m_selection_end = m_cursor < 0 ? -1 : to_boundary(selection_end);
    if (m_selection_end == m_cursor) m_selection_end = -1;
    focus_on_cursor();
    redraw();
}

bool GuiLineEdit::has_selection() const
{
    return m_cursor >= 0 && m_selection_end >= 0 && m_selection_end != m_cursor;
}

bool GuiLineEdit::get_selection_range(int& start, int& end) const
{
    if (!has_selection()) return false;
    start = std::min(m_cursor, m_selection_end);
    end = std::max(m_cursor, m_selection_end);
    return true;
}

int GuiLineEdit::next_character(int const& position) const
{
    int const length = static_cast<int>(m_text.get_length());
    if (position >= length) return length;
    return std::min(length, position + static_cast<int>(Gui::get_count_of_next_character(
                                           m_text[static_cast<unsigned int>(std::max(0, position))])));
}

int GuiLineEdit::previous_character(int const& position) const
{
    int p = std::min(position, static_cast<int>(m_text.get_length())) - 1;
    while (p > 0 && is_continuation(m_text[static_cast<unsigned int>(p)])) --p;
    return std::max(0, p);
}

int GuiLineEdit::get_next_group_position(int const& position) const
{
    if (!m_group_movement) return static_cast<int>(m_text.get_length());
    return get_next_group_position(m_text.view(), position);
}

int GuiLineEdit::get_previous_group_position(int const& position) const
{
    if (!m_group_movement) return 0;
    return get_previous_group_position(m_text.view(), position);
}

int GuiLineEdit::get_next_group_position(std::string_view text, int const& position)
{
    int const length = static_cast<int>(text.size());
    int p = std::max(0, position);
    if (p >= length) return length;
    char const c = text[static_cast<size_t>(p)];
    if (is_characters_group(c)) {
        while (p < length && text[static_cast<size_t>(p)] == c) ++p;
        return p;
    }
    // Continuation bytes are never separators, so stepping bytes keeps to characters.
    while (p < length && !is_characters_group(text[static_cast<size_t>(p)])) ++p;
    return p;
}

int GuiLineEdit::get_previous_group_position(std::string_view text, int const& position)
{
    int p = std::min(position, static_cast<int>(text.size()));
    if (p <= 0) return 0;
    char const c = text[static_cast<size_t>(p - 1)];
    if (is_characters_group(c)) {
        while (p > 0 && text[static_cast<size_t>(p - 1)] == c) --p;
        return p;
    }
    while (p > 0 && !is_characters_group(text[static_cast<size_t>(p - 1)])) --p;
    return p;
}

int GuiLineEdit::get_character_count_from_position(int const& position) const
{
    int const end = std::clamp(position, 0, static_cast<int>(m_text.get_length()));
    int count = 0;
    for (int p = 0; p < end; p = next_character(p)) ++count;
    return count;
}

int GuiLineEdit::get_position_from_character_count(int const& count) const
{
    int p = 0;
    for (int k = 0; k < count && p < static_cast<int>(m_text.get_length()); ++k) p = next_character(p);
    return p;
}

// --- Geometry of the text -------------------------------------------------------------------

void GuiLineEdit::set_text_font(GuiFont const& font)
{
    set_font(font);
    m_label_width = -1;
    invalidate_boundaries(0);
}

int GuiLineEdit::get_label_width()
{
    if (m_label.is_empty()) return 0;
    if (m_label_width < 0) {
        int w = 0, h = 0;
        get_text_size(m_label, w, h);
        m_label_width = w + 4;
    }
    return m_label_width;
}

int GuiLineEdit::get_text_area_x()
{
    return get_x() + get_label_width() + TEXT_INDENT;
}

void GuiLineEdit::invalidate_boundaries(int const& from)
{
    m_boundary_valid_to = std::clamp(std::min(m_boundary_valid_to, from), 0, static_cast<int>(m_text.get_length()));
    while (m_boundary_valid_to > 0 && is_continuation(m_text[static_cast<unsigned int>(m_boundary_valid_to)]))
        --m_boundary_valid_to;
}

int GuiLineEdit::get_boundary_x(int const& position)
{
    int const length = static_cast<int>(m_text.get_length());
    int const target = std::clamp(position, 0, length);
    if (m_boundary_x.get_count() != static_cast<unsigned int>(length) + 1) m_boundary_x.resize(length + 1);
    if (m_boundary_valid_to == 0) m_boundary_x[0] = 0;
    if (target > m_boundary_valid_to) {
        GuiFont& font = get_text_font();
        // Each character's advance added to the boundary before it: the toolkit draws a
        // line without kerning, so the sums are where its characters land.
        int p = m_boundary_valid_to;
        double x = m_boundary_x[static_cast<unsigned int>(p)];
        while (p < target) {
            int const next = next_character(p);
            x += m_password ? font.get_text_width(BULLET, 3)
                            : font.get_text_width(m_text.get_data() + p, next - p);
            for (int k = p + 1; k <= next; ++k) m_boundary_x[static_cast<unsigned int>(k)] = static_cast<int>(std::lround(x));
            p = next;
        }
        // Keep the fractional sum exact for the next extension by re-measuring from here.
        m_boundary_valid_to = p;
    }
    return m_boundary_x[static_cast<unsigned int>(target)];
}

int GuiLineEdit::get_cursor_index_from_mouse(int const& window_x)
{
    int const x = window_x - get_text_area_x() + m_scroll_offset;
    int const length = static_cast<int>(m_text.get_length());
    if (x <= 0 || length == 0) return 0;
    if (x >= get_boundary_x(length)) return length;
    // The boundary array is non-decreasing: find the first boundary at or right of x, then
    // take the nearer of it and the one before.
    int low = 0, high = length;
    while (low < high) {
        int const mid = (low + high) / 2;
        if (get_boundary_x(mid) < x)
            low = mid + 1;
        else
            high = mid;
    }
    while (low < length && is_continuation(m_text[static_cast<unsigned int>(low)])) ++low;
    int const before = previous_character(low);
    return x - get_boundary_x(before) < get_boundary_x(low) - x ? before : low;
}

void GuiLineEdit::set_cursor_on_mouse()
{
    m_cursor = get_cursor_index_from_mouse(Gui::get_relative_mouse_x(*this) + get_x());
    m_selection_end = -1;
    focus_on_cursor();
    redraw();
}

void GuiLineEdit::focus_on_cursor()
{
    int const end = m_selection_end >= 0 ? m_selection_end : m_cursor;
    int const view = get_width() - get_label_width();
    if (end < 0 || get_width() < 0) {
        m_scroll_offset = 0;
        return;
    }
    int const w = get_boundary_x(end);
    if (w - m_scroll_offset > view - CARET_MARGIN)
        m_scroll_offset = w - view + CARET_MARGIN;
    else if (w - m_scroll_offset < 0)
        m_scroll_offset = w;
}

// --- Editing --------------------------------------------------------------------------------

void GuiLineEdit::replace_range(int const& start, int const& end, CoreString const& text)
{
    m_text.replace_range(static_cast<unsigned int>(start), static_cast<unsigned int>(end - start), text);
    invalidate_boundaries(start);
    m_cursor = start + static_cast<int>(text.get_length());
    m_selection_end = -1;
    focus_on_cursor();
}

void GuiLineEdit::insert_text(CoreString const& text)
{
    if (m_read_only) return;
    CoreString const clean = clean_text(text, true, "insert_text");
    int start = 0, end = 0;
    if (!get_selection_range(start, end)) start = end = std::max(0, m_cursor);
    if (clean.is_empty() && start == end) return;
    replace_range(start, end, clean);
    on_text_edited();
}

void GuiLineEdit::on_edit_delete()
{
    if (m_read_only) return;
    int start = 0, end = 0;
    if (!get_selection_range(start, end)) {
        start = std::max(0, m_cursor);
        end = next_character(start);
        if (end == start) return;
    }
    replace_range(start, end, CoreString());
    on_text_edited();
}

void GuiLineEdit::on_edit_backspace()
{
    if (m_read_only) return;
    int start = 0, end = 0;
    if (!get_selection_range(start, end)) {
        end = m_cursor;
        if (end <= 0) return;
        start = previous_character(end);
    }
    replace_range(start, end, CoreString());
    on_text_edited();
}

void GuiLineEdit::copy_selection() const
{
    if (m_password || !has_selection()) return;
    Gui::copy_to_clipboard(get_selected_text());
}

void GuiLineEdit::cut_selection()
{
    if (m_password || !has_selection()) return;
    copy_selection();
    if (m_read_only) return;
    int start = 0, end = 0;
    get_selection_range(start, end);
    replace_range(start, end, CoreString());
    on_text_edited();
    on_changed();
}

void GuiLineEdit::paste(CoreString const& text)
{
    if (!m_read_only) {
        CoreString const clean = clean_text(text, true, "paste");
        if (!clean.is_empty()) {
            int start = 0, end = 0;
            if (!get_selection_range(start, end)) start = end = std::max(0, m_cursor);
            replace_range(start, end, clean);
            on_text_edited();
        }
    }
    raise_event(EVT_ID_LINE_EDIT_VALUE_EDITED);
}

void GuiLineEdit::on_text_edited()
{
    redraw();
    if (!m_candidates.is_empty() && has_focus()) show_candidate_popup(false);
    raise_event(EVT_ID_LINE_EDIT_KEY_PRESSED);
}

// --- Look -----------------------------------------------------------------------------------

void GuiLineEdit::set_label(CoreString const& label)
{
    m_label = label;
    m_label_width = -1;
    redraw();
}

void GuiLineEdit::set_read_only(bool const& read_only)
{
    m_read_only = read_only;
    redraw();
}

void GuiLineEdit::set_password_mode(bool const& password)
{
    if (m_password == password) return;
    m_password = password;
    invalidate_boundaries(0);
    redraw();
}

void GuiLineEdit::set_style(Style const& style)
{
    if (style < STYLE_FLAT || style >= STYLE_COUNT) {
        CORE_LOG_WARNING("GuiLineEdit.set_style: unknown style " << static_cast<int>(style) << "\n");
        return;
    }
    m_style = style;
    redraw();
}

void GuiLineEdit::set_draw_decoration(bool const& draw)
{
    m_draw_decoration = draw;
    redraw();
}

void GuiLineEdit::set_background_color(GuiColorScheme::Role const& role)
{
    m_background_role = role;
    redraw();
}

void GuiLineEdit::align_text_on_the_right(bool const& right)
{
    m_align_right = right;
    redraw();
}

void GuiLineEdit::set_null_value(CoreString const& value)
{
    m_null_value = value;
    redraw();
}

CoreString GuiLineEdit::get_display_text() const
{
    if (!m_password) return m_text;
    CoreString bullets;
    for (int p = 0, n = static_cast<int>(m_text.get_length()); p < n; p = next_character(p)) bullets += BULLET;
    return bullets;
}

void GuiLineEdit::resize(int const& x, int const& y, int const& w, int const& h)
{
    GuiWidget::resize(x, y, w, h);
    if (m_cursor >= 0) focus_on_cursor();
}

// --- Validation and focus -------------------------------------------------------------------

bool GuiLineEdit::accept_character(CoreString const&)
{
    return true;
}

void GuiLineEdit::on_focus_in()
{
    redraw();
}

void GuiLineEdit::on_focus_out()
{
    redraw();
}

void GuiLineEdit::on_changed()
{
    on_focus_out();
    m_committed_text = m_text;
    raise_event(EVT_ID_LINE_EDIT_CHANGED);
}

void GuiLineEdit::on_validate(Validation const& validation)
{
    on_focus_out();
    if (m_last_validation == VALIDATION_NONE) m_last_validation = validation;
    raise_event(EVT_ID_LINE_EDIT_VALIDATE);
    m_last_validation = VALIDATION_NONE;
}

// --- Completion -----------------------------------------------------------------------------

void GuiLineEdit::add_candidate_value(CoreString const& text, void* data)
{
    m_candidates.add(text);
    m_candidate_data.add(data);
}

void GuiLineEdit::set_candidate_values(CoreVector<CoreString> const& texts)
{
    set_candidate_values(texts, CoreVector<void*>());
}

void GuiLineEdit::set_candidate_values(CoreVector<CoreString> const& texts, CoreVector<void*> const& data)
{
    m_candidates = texts;
    m_candidate_data.clear();
    for (unsigned int i = 0; i < texts.get_count(); ++i) m_candidate_data.add(i < data.get_count() ? data[i] : nullptr);
}

void GuiLineEdit::remove_all_candidate_values()
{
    m_candidates.clear();
    m_candidate_data.clear();
    hide_candidate_popup();
}

void* GuiLineEdit::get_candidate_data(CoreString const& text) const
{
    int const index = m_candidates.find(text);
    return index < 0 ? nullptr : m_candidate_data[static_cast<unsigned int>(index)];
}

GuiLineEditCandidatePopup* GuiLineEdit::get_candidate_popup() const
{
    return m_candidate_popup && m_candidate_popup->is_shown() ? m_candidate_popup : nullptr;
}

void GuiLineEdit::show_candidate_popup(bool const& filtered)
{
    raise_event(EVT_ID_LINE_EDIT_CANDIDATES_POPUP_OPENING);
    int const length = static_cast<int>(m_text.get_length());
    CoreString const filter = (filtered && m_cursor >= 0 && m_cursor < length
                                   ? m_text.sub_string(0, static_cast<unsigned int>(m_cursor))
                                   : m_text)
                                  .get_trim();
    CoreVector<CoreString> shown;
    for (CoreString const& candidate : m_candidates)
        if (filter.is_empty() || GuiMenu::is_visible_by_filter(candidate, filter)) shown.add(candidate);
    if (shown.is_empty() || !get_window()) {
        hide_candidate_popup();
        return;
    }
    if (!m_candidate_popup) m_candidate_popup = new GuiLineEditCandidatePopup(*this);
    // Showing a window moves the toolkit focus to it; the edit takes it straight back without
    // treating it as leaving and entering (which would commit and select).
    bool const had_focus = has_focus();
    m_keeping_focus = had_focus;
    m_candidate_popup->show_candidates(shown);
    if (had_focus) set_focus();
    m_keeping_focus = false;
}

void GuiLineEdit::hide_candidate_popup()
{
    if (m_candidate_popup && m_candidate_popup->is_shown()) m_candidate_popup->hide();
}

void GuiLineEdit::choose_candidate(CoreString const& text)
{
    hide_candidate_popup();
    if (m_read_only) return;
    m_text = clean_text(text, true, "choose_candidate");
    invalidate_boundaries(0);
    m_cursor = static_cast<int>(m_text.get_length());
    m_selection_end = -1;
    focus_on_cursor();
    // Reported as typed, without opening the list again over the chosen entry.
    redraw();
    raise_event(EVT_ID_LINE_EDIT_KEY_PRESSED);
    if (m_text != m_committed_text) on_changed();
}

GuiLineEditCandidatePopup::GuiLineEditCandidatePopup(GuiLineEdit& edit)
    : GuiPopup(*static_cast<GuiWindow*>(edit.get_window()), 0, 0, edit.get_width(), 20), m_edit(&edit)
{
    m_list = new GuiListView(*this, 0, 0, edit.get_width(), 20);
    m_list->set_constraints(CONSTRAINT_LEFT, CONSTRAINT_TOP, CONSTRAINT_RIGHT, CONSTRAINT_BOTTOM);
    connect(*m_list, EVT_ID_LIST_VIEW_SELECT, &GuiLineEditCandidatePopup::on_list_choice);
    connect(*m_list, EVT_ID_LIST_VIEW_VALIDATE, &GuiLineEditCandidatePopup::on_list_choice);
}

void GuiLineEditCandidatePopup::show_candidates(CoreVector<CoreString> const& candidates)
{
    m_list->set_items(candidates);
    int const rows = std::min(static_cast<int>(candidates.get_count()), MAX_CANDIDATE_ROWS);
    int const height = rows * m_list->get_row_height() + 2;
    GuiWidget* window = m_edit->get_window();
    int const x = window->get_x() + m_edit->get_x();
    int const y = window->get_y() + m_edit->get_y() + m_edit->get_height();
    resize(x, y, m_edit->get_width(), height);
    show();
}

void GuiLineEditCandidatePopup::on_list_choice(EventObject&, EventInfo const&, void*)
{
    CoreString const chosen = m_list->get_selected_item();
    if (!chosen.is_empty()) m_edit->choose_candidate(chosen);
}

// --- Context menu ---------------------------------------------------------------------------

void GuiLineEdit::popup_menu()
{
    if (!m_menu) {
        m_menu = new GuiMenu(this);
        connect(*m_menu, EVT_ID_MENU_CLICK, &GuiLineEdit::on_menu_click);
        connect(*m_menu, EVT_ID_MENU_HIDE, &GuiLineEdit::on_menu_hide);
    }
    m_menu->remove_all_items();
    bool const selection = has_selection() && !m_password;
    m_menu->add_item("Cut")->set_enable(selection && !m_read_only);
    m_menu->add_item("Copy")->set_enable(selection);
    m_menu->add_item("Paste")->set_enable(!m_read_only);
    m_menu->add_item("Delete")->set_enable(has_selection() && !m_read_only);
    m_menu->add_separator();
    m_menu->add_item("Select All")->set_enable(!m_text.is_empty());
    raise_event(EVT_ID_LINE_EDIT_MENU_SHOW);
    m_menu->popup(Gui::get_mouse_screen_position_x(), Gui::get_mouse_screen_position_y());
}

void GuiLineEdit::on_menu_click(EventObject&, EventInfo const&, void*)
{
    GuiMenuItem* item = m_menu ? m_menu->get_last_selected_item() : nullptr;
    if (!item) return;
    std::string const entry = item->get_name().std_string();
    if (entry == "Cut") {
        cut_selection();
    } else if (entry == "Copy") {
        copy_selection();
    } else if (entry == "Paste") {
        set_focus();
        Gui::paste_from_clipboard();
    } else if (entry == "Delete") {
        on_edit_delete();
    } else if (entry == "Select All") {
        select_all();
    }
    raise_event(EventInfo(EVT_ID_LINE_EDIT_MENU_ITEM_SELECTED, item));
}

void GuiLineEdit::on_menu_hide(EventObject&, EventInfo const&, void*)
{
    raise_event(EVT_ID_LINE_EDIT_MENU_HIDE);
}

// --- Events ---------------------------------------------------------------------------------

bool GuiLineEdit::on_key(int const& key)
{
    bool const ctrl = Gui::is_modifier_ctrl();
    bool const shift = Gui::is_modifier_shift();
    int const length = static_cast<int>(m_text.get_length());
    GuiLineEditCandidatePopup* popup = get_candidate_popup();

    if (ctrl && (key == 'r' || key == 'R')) return false;
    if (popup && (key == Gui::KEY_ID_DOWN || key == Gui::KEY_ID_UP)) {
        popup->get_list().move_selection(key == Gui::KEY_ID_DOWN ? 1 : -1);
        return true;
    }
    if (popup && (key == Gui::KEY_ID_ENTER || key == Gui::KEY_ID_KEYPAD_ENTER) &&
        popup->get_list().get_selected_index() >= 0) {
        choose_candidate(popup->get_list().get_selected_item());
        return true;
    }
    if (popup && key == Gui::KEY_ID_ESCAPE) {
        hide_candidate_popup();
        return true;
    }

    auto move_to = [&](int const& position) {
        if (shift) {
            if (m_cursor < 0) m_cursor = 0;
            m_selection_end = position == m_cursor ? -1 : position;
        } else {
            m_cursor = position;
            m_selection_end = -1;
        }
        focus_on_cursor();
        redraw();
    };
    switch (key) {
        case Gui::KEY_ID_ENTER:
        case Gui::KEY_ID_KEYPAD_ENTER: {
            bool const keypad = key == Gui::KEY_ID_KEYPAD_ENTER;
            hide_candidate_popup();
            on_focus_out();
            if (m_text != m_committed_text)
                on_changed();
            else
                on_validate(keypad ? VALIDATION_KEY_ENTER : VALIDATION_KEY_RETURN);
            m_committed_text = m_text;
            raise_event(EVT_ID_LINE_EDIT_KEY_PRESSED);
            if (keypad && is_tab_navigation_enabled())
                give_focus_to_next_widget();
            else
                lose_focus();
            return true;
        }
        case Gui::KEY_ID_DOWN:
            show_candidate_popup(true);
            return true;
        case Gui::KEY_ID_LEFT:
        case Gui::KEY_ID_RIGHT: {
            bool const right = key == Gui::KEY_ID_RIGHT;
            int from = shift && m_selection_end >= 0 ? m_selection_end : m_cursor;
            if (!shift && m_selection_end >= 0) from = m_selection_end;
            if (from < 0) from = 0;
            int const to = ctrl ? (right ? get_next_group_position(from) : get_previous_group_position(from))
                                : (right ? next_character(from) : (from > 0 ? previous_character(from) : 0));
            move_to(to);
            return true;
        }
        case Gui::KEY_ID_HOME: move_to(0); return true;
        case Gui::KEY_ID_END: move_to(length); return true;
        case Gui::KEY_ID_BACKSPACE: on_edit_backspace(); return true;
        case Gui::KEY_ID_DELETE: on_edit_delete(); return true;
        case Gui::KEY_ID_ESCAPE:
            m_cursor = -1;
            m_selection_end = -1;
            if (!m_read_only && m_text != m_committed_text) {
                m_text = m_committed_text;
                invalidate_boundaries(0);
            }
            m_scroll_offset = 0;
            redraw();
            lose_focus();
            raise_event(EVT_ID_LINE_EDIT_ESCAPE_PRESSED);
            return true;
        case Gui::KEY_ID_TAB: return false;
        default: break;
    }
    if (ctrl) {
        switch (key) {
            case 'a': select_all(); return true;
            case 'c': copy_selection(); return true;
            case 'x': cut_selection(); return true;
            case 'v':
                if (!m_read_only) Gui::paste_from_clipboard();
                return true;
            case ' ': show_candidate_popup(false); return true;
            default: return false;
        }
    }
    CoreString const typed = Gui::get_key_pressed_text();
    if (typed.is_empty() || static_cast<unsigned char>(typed[0]) < 0x20 || typed[0] == 0x7F) return false;
    if (m_read_only || !accept_character(typed)) return true;
    insert_text(typed);
    return true;
}

int GuiLineEdit::process_event(CoreString const& name)
{
    if (name == EVT_ID_WIDGET_FOCUS_IN) {
        if (m_keeping_focus) return 1;
        m_committed_text = m_text;
        select_all();
        on_focus_in();
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_WIDGET_FOCUS_OUT) {
        if (m_keeping_focus) return 1;
        hide_candidate_popup();
        on_focus_out();
        if (m_text != m_committed_text) on_changed();
        m_cursor = -1;
        m_selection_end = -1;
        m_scroll_offset = 0;
        redraw();
        GuiWidget::process_event(name);
        // Handled, so that the router raises the event; set_focus raises it itself for the
        // widget it takes the focus from.
        return GuiWidget::is_focus_changing() ? 0 : 1;
    }
    if (!is_enabled()) return GuiWidget::process_event(name);

    int const window_x = Gui::get_relative_mouse_x(*this) + get_x();
    bool const over_text = window_x >= get_text_area_x();
    if (name == EVT_ID_MOUSE_MOVE || name == EVT_ID_MOUSE_ENTER) {
        set_mouse_cursor(over_text ? Gui::MOUSE_CURSOR_INSERT : Gui::MOUSE_CURSOR_DEFAULT);
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_MOUSE_LEAVE) {
        set_mouse_cursor(Gui::MOUSE_CURSOR_DEFAULT);
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_MOUSE_DOWN) {
        Gui::MouseButtonId const button = Gui::get_event_mouse_button();
        if (button == Gui::MOUSE_BUTTON_ID_RIGHT) {
            set_focus();
            popup_menu();
            return 1;
        }
        if (button == Gui::MOUSE_BUTTON_ID_MIDDLE) {
            if (m_read_only) return 1;
            if (!has_focus()) set_focus();
            m_cursor = get_cursor_index_from_mouse(window_x);
            m_selection_end = -1;
            Gui::paste_from_selection_buffer();
            return 1;
        }
        if (!over_text) return 1;
        if (!has_focus()) set_focus();
        int const at = get_cursor_index_from_mouse(window_x);
        if (Gui::is_modifier_shift() && m_cursor >= 0) {
            m_selection_end = at == m_cursor ? -1 : at;
        } else if (Gui::is_triple_click()) {
            m_cursor = 0;
            m_selection_end = static_cast<int>(m_text.get_length());
        } else if (Gui::is_double_click()) {
            if (m_text.is_empty()) {
                show_candidate_popup(false);
                return 1;
            }
            // The group around the pointer: from the start of the group the character under
            // it belongs to, to that group's end.
            int const end = get_next_group_position(at);
            m_cursor = get_previous_group_position(end == at ? next_character(at) : end);
            if (end == at && at < static_cast<int>(m_text.get_length())) {
                m_selection_end = get_next_group_position(m_cursor);
            } else {
                m_selection_end = end;
            }
            if (m_selection_end == m_cursor) m_selection_end = -1;
        } else {
            m_cursor = at;
            m_selection_end = -1;
        }
        focus_on_cursor();
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_DRAG || name == EVT_ID_MOUSE_DRAG_REAL_TIME) {
        if (!Gui::is_mouse_button_pressed(Gui::MOUSE_BUTTON_ID_LEFT) || m_cursor < 0) return 1;
        int const at = get_cursor_index_from_mouse(window_x);
        m_selection_end = at == m_cursor ? -1 : at;
        focus_on_cursor();
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP) {
        if (Gui::get_event_mouse_button() == Gui::MOUSE_BUTTON_ID_LEFT && has_selection() && !m_password)
            Gui::copy_to_selection_buffer(get_selected_text());
        return 1;
    }
    if (name == EVT_ID_MOUSE_WHEEL) {
        if (has_focus()) lose_focus();
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_KEY_DOWN && has_focus()) {
        if (on_key(Gui::get_last_key_pressed())) return 1;
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_KEY_UP && has_focus()) {
        raise_event(EVT_ID_LINE_EDIT_VALUE_EDITED);
        return 1;
    }
    return GuiWidget::process_event(name);
}

// --- Drawing --------------------------------------------------------------------------------

void GuiLineEdit::draw(GuiDc& dc)
{
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    bool const focused = has_focus();
    int const label_width = get_label_width();
    if (label_width > 0) {
        GMathVec3<unsigned char> const& text = get_color(GuiColorScheme::ROLE_TEXT);
        wdc.draw_text(m_label, x, y, label_width, h, text[0], text[1], text[2], JUSTIFY_LEFT);
    }
    int const box_x = x + label_width;
    int const box_w = w - label_width;
    GMathVec3<unsigned char> const& back = get_color(m_background_role);
    GMathVec3<unsigned char> const& border =
        get_color(focused ? GuiColorScheme::ROLE_FOCUS : GuiColorScheme::ROLE_FIELD_BORDER);
    if (!m_draw_decoration) {
        wdc.draw_rectf(GMathVec4<int>(box_x, y, box_w, h), back);
    } else if (m_style == STYLE_ROUND) {
        wdc.draw_round_framef(box_x, y, box_w, h, border[0], border[1], border[2], back[0], back[1], back[2]);
    } else {
        wdc.draw_rectf(GMathVec4<int>(box_x, y, box_w, h), back);
        wdc.draw_rect(GMathVec4<int>(box_x, y, box_w, h), border);
    }

    int const area_x = get_text_area_x();
    int const area_w = std::max(0, box_w - TEXT_INDENT - 1);
    GuiFont& font = get_text_font();
    int const baseline = y + (h + font.get_height()) / 2 - font.get_descent();
    if (m_text.is_empty()) {
        if (!focused && !m_null_value.is_empty()) {
            GMathVec3<unsigned char> const& dim = get_color(GuiColorScheme::ROLE_TEXT_DIM);
            wdc.draw_text(m_null_value, area_x, y, area_w, h, dim[0], dim[1], dim[2], JUSTIFY_LEFT);
        }
    } else {
        int const length = static_cast<int>(m_text.get_length());
        int const full = get_boundary_x(length);
        // Short text may stand against the right side; long text scrolls.
        int const shift = m_align_right && full < area_w - CARET_MARGIN ? area_w - CARET_MARGIN - full : 0;
        int const origin = area_x - m_scroll_offset + shift;
        int start, end;
        if (get_selection_range(start, end) && (focused || m_read_only)) {
            int const sx = std::max(area_x, origin + get_boundary_x(start));
            int const ex = std::min(area_x + area_w, origin + get_boundary_x(end));
            GMathVec3<unsigned char> const& selection =
                get_color(focused ? GuiColorScheme::ROLE_SELECTION : GuiColorScheme::ROLE_SELECTION_INACTIVE);
            if (ex > sx) wdc.draw_rectf(GMathVec4<int>(sx, y + 2, ex - sx, h - 4), selection);
        }
        // Only the characters in view go to the toolkit.
        int first = get_cursor_index_from_mouse(area_x - shift);
        if (first > 0 && origin + get_boundary_x(first) > area_x) first = previous_character(first);
        int last = get_cursor_index_from_mouse(area_x + area_w - shift);
        last = next_character(last);
        CoreString visible = m_password ? CoreString()
                                        : m_text.sub_string(static_cast<unsigned int>(first),
                                                            static_cast<unsigned int>(last - first));
        if (m_password)
            for (int p = first; p < last; p = next_character(p)) visible += BULLET;
        GMathVec3<unsigned char> const& ink =
            get_color(m_read_only ? GuiColorScheme::ROLE_TEXT_DIM : GuiColorScheme::ROLE_FIELD_TEXT);
        push_clip(area_x, y, area_w, h);
        wdc.draw_text(visible, origin + get_boundary_x(first), baseline, ink[0], ink[1], ink[2]);
        pop_clip();
    }
    if (focused && m_cursor >= 0 && !m_read_only) {
        int const length = static_cast<int>(m_text.get_length());
        int const full = get_boundary_x(length);
        int const shift = m_align_right && full < area_w - CARET_MARGIN ? area_w - CARET_MARGIN - full : 0;
        int const caret_at = m_selection_end >= 0 ? m_selection_end : m_cursor;
        int const cx = area_x - m_scroll_offset + shift + get_boundary_x(caret_at);
        if (cx >= area_x && cx <= area_x + area_w) {
            GMathVec3<unsigned char> const& caret = get_color(GuiColorScheme::ROLE_FIELD_TEXT);
            wdc.draw_line(cx, y + 3, cx, y + h - 4, caret[0], caret[1], caret[2]);
        }
    }
}
