#include "gui/script/gui_script_edit.h"

#include <algorithm>

#include "gui/controls/gui_list_view.h"
#include "gui/core/gui.h"
#include "gui/script/script_edit_candidate_popup.h"
#include "host/module/module_language.h"
#include "host/module/module_scripting.h"

CORE_IMPLEMENT_CLASS(GuiScriptEdit, GuiTextEdit)

namespace {

bool is_word_byte(char const& c)
{
    unsigned char const u = static_cast<unsigned char>(c);
    return u >= 0x80 || (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
           c == '_';
}

bool is_name_char(char const& c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// Adds every name of `names` holding `typed` (compared lower-cased with `fold`) not yet in `out`.
void add_matches(CoreVector<CoreString> const& names, CoreString const& typed, bool const& fold,
                 CoreVector<CoreString>& out)
{
    CoreString const needle = fold ? typed.get_lower_case() : typed;
    for (CoreString const& name : names) {
        if (name == typed || name.is_empty()) continue;
        bool const holds = needle.is_empty() || (fold ? name.get_lower_case() : name).contains(needle);
        if (holds && !out.contains(name)) out.add(name);
    }
}

}  // namespace

GuiScriptEdit::GuiScriptEdit(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiTextEdit(parent, x, y, w, h)
{
}

GuiScriptEdit::~GuiScriptEdit()
{
    if (m_popup) m_popup->destroy();
}

void GuiScriptEdit::set_module(ModuleLanguage* language)
{
    m_language = language;
    CoreVector<CoreString> const none;
    set_keywords(language ? language->get_keywords() : none);
    set_preprocessor_keywords(language ? language->get_preprocessor_keywords() : none);
    set_reserved_keywords(language ? language->get_reserved_keywords() : none);
    set_block_comments(language ? language->get_block_comments() : none);
    set_line_comments(language ? language->get_line_comments() : none);
    if (language) {
        if (!language->get_strings().is_empty()) set_strings(language->get_strings());
        if (!language->get_operators().is_empty()) set_operators(language->get_operators());
    }
    recompute_all_syntax_color();
}

void GuiScriptEdit::set_module(ModuleScripting* scripting)
{
    m_scripting = scripting;
    set_module(scripting ? scripting->get_language() : static_cast<ModuleLanguage*>(nullptr));
}

CoreString GuiScriptEdit::get_typed_word() const
{
    int line = 0, column = 0;
    if (!get_caret(line, column)) return CoreString();
    CoreString const& text = get_line(line);
    int start = std::min(column, static_cast<int>(text.get_length()));
    int const end = start;
    while (start > 0 && is_word_byte(text[static_cast<unsigned int>(start - 1)])) --start;
    return text.sub_string(static_cast<unsigned int>(start), static_cast<unsigned int>(end - start));
}

CoreVector<CoreString> GuiScriptEdit::get_variable_candidates() const
{
    CoreVector<CoreString> names;
    for (CoreString const& variable : get_variables_from_text()) {
        CoreString run;
        auto flush = [&] {
            CoreString const name = run.get_trim();
            if (!name.is_empty() && !names.contains(name)) names.add(name);
            run = CoreString();
        };
        for (unsigned int i = 0; i < variable.get_length(); ++i) {
            if (is_name_char(variable[i]))
                run += variable[i];
            else
                flush();
        }
        flush();
    }
    return names;
}

CoreVector<CoreString> GuiScriptEdit::filter_candidates(CoreVector<CoreString> const& candidates,
                                                        CoreVector<CoreString> const& variables,
                                                        CoreString const& typed)
{
    CoreVector<CoreString> sorted = variables;
    std::sort(sorted.begin(), sorted.end());
    CoreVector<CoreString> result;
    for (bool const fold : {false, true}) {
        add_matches(candidates, typed, fold, result);
        add_matches(sorted, typed, fold, result);
    }
    return result;
}

bool GuiScriptEdit::open_completion()
{
    if (!m_popup) m_popup = new ScriptEditCandidatePopup(*this);
    if (m_scripting && m_scripting->use_completion()) {
        ModuleLanguage* language = m_scripting->get_language();
        // A running script holds the interpreter: the last list serves until it ends.
        if (language && language->is_rebuild_completion() && !m_scripting->is_running()) {
            language->clear_completion();
            Gui::set_mouse_cursor(Gui::MOUSE_CURSOR_WAIT);
            m_scripting->build_completion_list();
            Gui::set_mouse_cursor(Gui::MOUSE_CURSOR_ARROW);
        }
    } else if (m_language && m_language->is_rebuild_completion()) {
        m_language->clear_completion();
    }
    ModuleLanguage* language = m_scripting ? m_scripting->get_language() : m_language;
    m_candidates = language ? language->get_completion_list() : CoreVector<CoreString>();
    if (get_candidate_popup()) return true;
    return refill_completion();
}

bool GuiScriptEdit::refill_completion()
{
    int line = 0, column = 0;
    if (!m_popup || !get_caret(line, column)) {
        close_completion();
        return false;
    }
    CoreVector<CoreString> const shown =
        filter_candidates(m_candidates, get_variable_candidates(), get_typed_word());
    if (shown.is_empty() || !get_window()) {
        close_completion();
        return false;
    }
    focus_on_cursor();
    int x = 0, y = 0;
    get_cursor_pixel_position(x, y);
    GuiWidget* window = get_window();
    bool const had_focus = has_focus();
    m_popup->show_candidates(shown, window->get_x() + x, window->get_y() + y + get_line_height(),
                             m_candidate_rows);
    // Showing a window moves the toolkit focus to it: the editor keeps the keyboard.
    if (had_focus) set_focus();
    redraw();
    return true;
}

void GuiScriptEdit::choose_candidate(CoreString const& candidate)
{
    int line = 0, column = 0;
    if (!candidate.is_empty() && !is_read_only() && get_caret(line, column)) {
        CoreString const typed = get_typed_word();
        CoreString const text = get_current_line();
        unsigned int const start = static_cast<unsigned int>(column) - typed.get_length();
        set_current_line(text.sub_string(0, start) + candidate +
                         text.sub_string(static_cast<unsigned int>(column)));
        int const caret = static_cast<int>(start + candidate.get_length());
        set_selection(caret, line, -1, line);
        on_changed();
    }
    close_completion();
    set_focus();
}

void GuiScriptEdit::close_completion()
{
    if (m_popup && m_popup->is_shown()) m_popup->hide();
}

ScriptEditCandidatePopup* GuiScriptEdit::get_candidate_popup() const
{
    return m_popup && m_popup->is_shown() ? m_popup : nullptr;
}

bool GuiScriptEdit::on_popup_key(int const& key)
{
    ScriptEditCandidatePopup* popup = get_candidate_popup();
    if (!popup) return false;
    GuiListView& list = popup->get_list();
    int const page = std::max(1, list.get_visible_row_count() - 1);
    switch (key) {
        case Gui::KEY_ID_UP:
            list.move_selection(-1);
            break;
        case Gui::KEY_ID_DOWN:
            list.move_selection(1);
            break;
        case Gui::KEY_ID_PAGE_UP:
            list.move_selection(-page);
            break;
        case Gui::KEY_ID_PAGE_DOWN:
            list.move_selection(page);
            break;
        case Gui::KEY_ID_ENTER:
        case Gui::KEY_ID_KEYPAD_ENTER:
            choose_candidate(list.get_selected_item());
            return true;
        case Gui::KEY_ID_ESCAPE:
            close_completion();
            return true;
        default:
            return false;
    }
    popup->refresh_help();
    return true;
}

void GuiScriptEdit::get_drop_location(int& line, int& column) const
{
    line = m_drop_line;
    column = m_drop_column;
}

int GuiScriptEdit::process_event(CoreString const& name)
{
    if (m_accept_drops && (name == EVT_ID_DND_ENTER || name == EVT_ID_DND_DRAG || name == EVT_ID_DND_LEAVE))
        return 1;
    if (m_accept_drops && name == EVT_ID_DND_RELEASE) {
        get_current_mouse_location(m_drop_line, m_drop_column);
        raise_event(EVT_ID_DND_RELEASE);
        return 1;
    }
    if (name == EVT_ID_KEY_DOWN && has_focus()) {
        int const key = Gui::get_last_key_pressed();
        if (key == ' ' && Gui::is_modifier_ctrl()) {
            open_completion();
            return 1;
        }
        if (on_popup_key(key)) return 1;
        if (get_candidate_popup()) {
            int const handled = GuiTextEdit::process_event(name);
            refill_completion();
            return handled;
        }
    }
    return GuiTextEdit::process_event(name);
}
