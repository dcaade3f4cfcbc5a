#include "gui/script/gui_script_editor_widget.h"

#include <algorithm>

#include "gui/controls/gui_check_button.h"
#include "gui/core/gui_action.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_window.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_button.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/panels/gui_toolbar.h"
#include "gui/script/gui_script_edit.h"
#include "gui/script/gui_search_widget.h"
#include "gui/text/gui_text_edit_goto_line_window.h"
#include "host/app/app_preferences.h"
#include "host/core/core_log.h"
#include "host/module/module_language.h"
#include "host/module/module_scripting.h"
#include "host/sys/sys_file.h"

CORE_IMPLEMENT_CLASS(GuiScriptEditorWidgetStatusBar, GuiWidget)
CORE_IMPLEMENT_CLASS(GuiScriptEditorWidget, GuiWidget)

EVENT_DEFINE_ID(EVT_ID_SCRIPT_EDITOR_WIDGET_SAVE);
EVENT_DEFINE_ID(EVT_ID_SCRIPT_EDITOR_WIDGET_RUN_END);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_SCRIPTING_OPTIONS_CHANGED);

namespace {

constexpr char const* PREFERENCE_CATEGORY = "scripting";
constexpr char const* HIGHLIGHT_PREFERENCE = "highlight_words_on_cursor";
// The console keeps this many lines of output.
constexpr unsigned int CONSOLE_LINES = 2000;

using Widget = GuiScriptEditorWidget;

// One menu entry: the action's name, its shortcut, what it does, and whether it changes the
// text (disabled in a read-only editor). A null name is a separator.
struct Entry {
    char const* name;
    char const* shortcut;
    void (*run)(Widget& widget);
    bool changes_text;
};

struct MenuDesc {
    char const* label;
    std::initializer_list<Entry> entries;
};

GuiScriptEdit& ed(Widget& widget)
{
    return widget.get_editor();
}

MenuDesc const MENUS[] = {
    {"File",
     {{"Clear", "", [](Widget& w) { ed(w).clear(); }, true},
      {"Open...", "ctrl+o", [](Widget& w) { w.open_script_dialog(); }, true},
      {"Save", "ctrl+s", [](Widget& w) { w.save(); }, false},
      {"Save As...", "ctrl+shift+s", [](Widget& w) { w.save_script_in_file(); }, false}}},
    {"Edit",
     {{"Undo", "ctrl+z", [](Widget& w) { ed(w).on_edit_undo(); }, true},
      {"Redo", "ctrl+shift+z", [](Widget& w) { ed(w).on_edit_redo(); }, true},
      {nullptr, nullptr, nullptr, false},
      {"Cut", "ctrl+x", [](Widget& w) { ed(w).on_edit_cut(); }, true},
      {"Copy", "ctrl+c", [](Widget& w) { ed(w).on_edit_copy(); }, false},
      {"Paste", "ctrl+v", [](Widget& w) { ed(w).on_edit_paste(); }, true},
      {"Duplicate Lines", "ctrl+d", [](Widget& w) { ed(w).on_duplicate_lines(); }, true},
      {nullptr, nullptr, nullptr, false},
      {"Select All", "ctrl+a", [](Widget& w) { ed(w).on_edit_select_all(); }, false},
      {nullptr, nullptr, nullptr, false},
      {"Comment Lines", "ctrl+shift+c", [](Widget& w) { ed(w).on_comment_lines(); }, true},
      {"Uncomment Lines", "ctrl+shift+x", [](Widget& w) { ed(w).on_uncomment_lines(); }, true}}},
    {"Search",
     {{"Find...", "ctrl+f", [](Widget& w) { w.show_search_panel(true, GuiSearchWidget::MODE_SEARCH); },
       false},
      {"Find Next", "f3", [](Widget& w) { w.find_next_text(); }, false},
      {"Search And Replace...", "ctrl+h",
       [](Widget& w) { w.show_search_panel(true, GuiSearchWidget::MODE_REPLACE); }, true},
      {"Goto Line", "ctrl+g",
       [](Widget& w) {
           GuiWindow* top = w.get_application().get_top_window();
           GuiWindow* owner = top ? top : static_cast<GuiWindow*>(w.get_window());
           if (!owner) return;
           GuiTextEditGotoLineWindow dialog(*owner, ed(w));
           dialog.show_modal_and_go();
       },
       false}}},
    {"View",
     {{"Zoom In", "ctrl+plus", [](Widget& w) { ed(w).zoom_in(); }, false},
      {"Zoom Out", "ctrl+minus", [](Widget& w) { ed(w).zoom_out(); }, false},
      {"Restore Default Zoom", "ctrl+0", [](Widget& w) { ed(w).zoom_default(); }, false}}},
    {"Script",
     {{"Run Script", "f5", [](Widget& w) { w.run_script(); }, false},
      {"Stop Script", "shift+f5", [](Widget& w) { w.stop_script(); }, false}}},
};

void run_entry(GuiWidget& widget, GuiAction const&, void* data)
{
    Entry const* entry = static_cast<Entry const*>(data);
    if (entry && entry->run) entry->run(static_cast<Widget&>(widget));
}

CoreString folder_of(CoreString const& path)
{
    unsigned int const slash = path.rev_find('/');
    return slash == CoreString::NOT_FOUND ? CoreString() : path.sub_string(0, slash);
}

}  // namespace

// --- Status bar -------------------------------------------------------------------------------

GuiScriptEditorWidgetStatusBar::GuiScriptEditorWidgetStatusBar(GuiWidget& parent, int const& x, int const& y,
                                                               int const& w)
    : GuiWidget(parent, x, y, w, HEIGHT)
{
}

void GuiScriptEditorWidgetStatusBar::set_infos(int const& line, int const& column, int const& lines)
{
    if (line == m_line && column == m_column && lines == m_lines) return;
    m_line = line;
    m_column = column;
    m_lines = lines;
    redraw();
}

CoreString GuiScriptEditorWidgetStatusBar::get_text() const
{
    CoreString text = CoreString("Ln: ") + (m_line + 1) + "    Col: ";
    text += m_column < 0 ? CoreString("-") : CoreString() + (m_column + 1);
    text += CoreString("    Lines: ") + m_lines;
    return text;
}

void GuiScriptEditorWidgetStatusBar::draw(GuiDc& dc)
{
    GuiWidget::draw(dc);
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    GMathVec3<unsigned char> const color =
        get_color(is_enabled() ? GuiColorScheme::GROUP_NORMAL : GuiColorScheme::GROUP_DISABLED,
                  GuiColorScheme::ROLE_TEXT);
    wdc.draw_text(get_text(), get_x() + 6, get_y(), get_width() - 12, get_height(), color[0], color[1],
                  color[2], JUSTIFY_RIGHT);
}

// --- Editor widget ----------------------------------------------------------------------------

GuiScriptEditorWidget::GuiScriptEditorWidget(GuiWidget& parent, int const& x, int const& y, int const& w,
                                             int const& h)
    : GuiWidget(parent, x, y, w, h)
{
    m_toolbar = new GuiToolbar(*this, x, y, w, "ScriptEditor");
    m_search = new GuiSearchWidget(*this, x, y + GuiToolbar::BAR_HEIGHT, w);
    m_search->hide();
    m_editor = new GuiScriptEdit(*this, x, y, w, h);
    m_editor->set_show_line_number_column(true);
    m_editor->set_show_syntax_color(true);
    m_editor->set_highlight_current_line(true);
    m_editor->disable_highlighted_word();
    m_console = new GuiTextEdit(*this, x, y, w, h);
    m_console->set_read_only(true);
    m_console->set_max_lines(CONSOLE_LINES);
    m_console->set_show_syntax_color(false);
    m_status = new GuiScriptEditorWidgetStatusBar(*this, x, y, w);
    build_menus();

    EventObject::connect(*m_editor, EVT_ID_TEXT_EDIT_CURSOR_CHANGED, *this, [this] { on_cursor_modified(); });
    EventObject::connect(*m_search, EVT_ID_SEARCH_VALIDATE, *this, [this] { find_next_text(); });
    EventObject::connect(*m_search, EVT_ID_SEARCH_REPLACE, *this, [this] { find_next_and_replace_text(); });
    EventObject::connect(*m_search, EVT_ID_SEARCH_REPLACE_ALL, *this, [this] { replace_all_text(); });
    EventObject::connect(*m_search, EVT_ID_SEARCH_HIGHLIGHT, *this,
                         [this] { m_editor->set_highlighted_word(m_search->get_source_text(), true); });
    EventObject::connect(*m_search_button, EVT_ID_CHECK_BUTTON_CLICK, *this, [this] {
        show_search_panel(m_search_button->get_value(), GuiSearchWidget::MODE_SEARCH);
    });
    EventObject::connect(*m_replace_button, EVT_ID_CHECK_BUTTON_CLICK, *this, [this] {
        show_search_panel(m_replace_button->get_value(), GuiSearchWidget::MODE_REPLACE);
    });
    EventObject::connect(*m_editor, EVT_ID_DND_RELEASE, *this, [this] {
        int line = 0, column = 0;
        m_editor->get_drop_location(line, column);
        if (GuiWidget* dragged = GuiWidget::get_dnd_widget()) drop_widget(*dragged, line, column);
    });
    EventObject::connect(get_application(), EVT_ID_APPLICATION_SCRIPTING_OPTIONS_CHANGED, *this,
                         [this] { read_preferences(); });
    read_preferences();
    refresh_layout();
    on_cursor_modified();
}

GuiScriptEditorWidget::~GuiScriptEditorWidget()
{
    if (m_poll_timer) get_application().remove_timer(m_poll_timer);
}

void GuiScriptEditorWidget::build_menus()
{
    for (MenuDesc const& desc : MENUS) {
        GuiMenuButton* button = m_toolbar->create_menu(desc.label, GuiToolbar::ANCHOR_LEFT);
        GuiMenu* menu = button->get_menu();
        m_menus.add(menu);
        m_menu_buttons.add(button);
        m_menu_labels.add(desc.label);
        for (Entry const& entry : desc.entries) {
            if (!entry.name) {
                menu->add_separator();
                continue;
            }
            GuiAction* action = register_action(entry.name, &run_entry, entry.shortcut, CoreString(),
                                                const_cast<Entry*>(&entry));
            menu->add_item(*action);
            // The recent files come right after "Open...".
            if (CoreString(entry.name) == "Open...") m_recent_menu = menu->add_sub_menu("Open Recent");
        }
        if (CoreString(desc.label) == "View") {
            menu->add_separator();
            m_highlight_item = menu->add_item("Highlight Word");
            m_highlight_item->set_checkable(true);
            EventObject::connect(*menu, EVT_ID_MENU_CLICK, *this, [this] { on_view_click(); });
        }
        if (CoreString(desc.label) == "File")
            EventObject::connect(*menu, EVT_ID_MENU_SHOW, *this, [this] { refresh_file_menu(); });
    }
    EventObject::connect(*m_recent_menu, EVT_ID_MENU_CLICK, *this, [this] { on_recent_click(); });
    m_search_button =
        m_toolbar->create_check_button("Search...", "Search the script", GuiToolbar::ANCHOR_RIGHT);
    m_replace_button = m_toolbar->create_check_button(
        "Search and Replace...", "Search and replace in the script", GuiToolbar::ANCHOR_RIGHT);
}

GuiMenu* GuiScriptEditorWidget::get_menu(CoreString const& label) const
{
    int const index = m_menu_labels.find(label);
    return index < 0 ? nullptr : m_menus[static_cast<unsigned int>(index)];
}

void GuiScriptEditorWidget::resize(int const& x, int const& y, int const& w, int const& h)
{
    GuiWidget::resize(x, y, w, h);
    refresh_layout();
}

void GuiScriptEditorWidget::refresh_layout()
{
    int const x = get_x(), w = get_width();
    int y = get_y();
    int const bottom = get_y() + get_height();
    m_toolbar->resize(x, y, w, GuiToolbar::BAR_HEIGHT);
    m_toolbar->show();
    y += GuiToolbar::BAR_HEIGHT;
    if (m_search_shown) {
        m_search->resize(x, y, w, m_search->get_needed_height());
        m_search->show();
        y += m_search->get_height();
    } else {
        m_search->hide();
    }
    int const status_y = bottom - GuiScriptEditorWidgetStatusBar::HEIGHT;
    m_status->resize(x, status_y, w, GuiScriptEditorWidgetStatusBar::HEIGHT);
    m_status->show();
    // The console takes a third of what is left, under the script.
    int const free = std::max(0, status_y - y);
    int const console_h = free / 3;
    int const editor_h = free - console_h;
    m_editor->resize(x, y, w, std::max(0, editor_h - 2));
    m_editor->show();
    m_console->resize(x, y + editor_h, w, console_h);
    m_console->show();
    redraw();
}

// --- Script -----------------------------------------------------------------------------------

void GuiScriptEditorWidget::set_script(CoreString const& text)
{
    m_editor->set_text(text);
    on_cursor_modified();
}

CoreString GuiScriptEditorWidget::get_script() const
{
    return m_editor->get_text();
}

bool GuiScriptEditorWidget::is_script_modified() const
{
    return m_editor->get_modification_count() != 0;
}

void GuiScriptEditorWidget::reset_is_text_modified()
{
    m_editor->set_modification_count(0);
}

void GuiScriptEditorWidget::set_readonly(bool const& read_only)
{
    m_read_only = read_only;
    m_editor->set_read_only(read_only);
    if (read_only) show_search_panel(false, m_search->get_mode(), false);
    for (unsigned int i = 0; i < m_menu_buttons.get_count(); ++i)
        if (m_menu_labels[i] != "Script") m_menu_buttons[i]->set_enable(!read_only);
    m_search_button->set_enable(!read_only);
    m_replace_button->set_enable(!read_only);
    refresh_file_menu();
    for (MenuDesc const& desc : MENUS) {
        for (Entry const& entry : desc.entries) {
            if (!entry.name || !entry.changes_text) continue;
            if (GuiAction* action = get_action(entry.name)) action->set_enabled(!read_only);
        }
    }
}

// --- Language ---------------------------------------------------------------------------------

ModuleScripting* GuiScriptEditorWidget::get_engine(CoreString const& name) const
{
    return ModuleScripting::get_engine(get_application(), name);
}

void GuiScriptEditorWidget::set_module_scripting(CoreString const& name)
{
    if (m_module_set && name == m_module_name) return;
    m_module_set = true;
    m_module_name = name;
    m_scripting = get_engine(name);
    ModuleLanguage* language =
        m_scripting ? m_scripting->get_language() : ModuleLanguage::get_language(get_application(), name);
    if (m_scripting)
        m_editor->set_module(m_scripting);
    else
        m_editor->set_module(language);
    if (!language) {
        m_filter = CoreString();
        return;
    }
    CoreVector<CoreString> extensions;
    for (CoreString const& extension : language->get_extensions()) extensions.add(extension.get_lower_case());
    m_filter = get_filter_from_extension(extensions);
}

CoreString GuiScriptEditorWidget::get_filter_from_extension(CoreVector<CoreString> const& extensions)
{
    if (extensions.is_empty()) return CoreString();
    CoreString filter = "Known Files\t*.{";
    for (unsigned int i = 0; i < extensions.get_count(); ++i) {
        if (i > 0) filter += ",";
        filter += extensions[i];
    }
    filter += "}";
    return filter;
}

// --- Files ------------------------------------------------------------------------------------

bool GuiScriptEditorWidget::load_script_from_file(CoreString const& path, CoreString& text)
{
    return !path.is_empty() && SysFile::read_file(path, text);
}

bool GuiScriptEditorWidget::open_script(CoreString const& path)
{
    CoreString text;
    if (!load_script_from_file(path, text)) {
        CORE_LOG_ERROR("GuiScriptEditorWidget.open_script: Script file '" << path << "' not found.\n");
        return false;
    }
    if (text.contains('\0')) {
        CORE_LOG_ERROR("GuiScriptEditorWidget.open_script: '"
                       << path << "' is not a text file; nothing was loaded.\n");
        return false;
    }
    // Bytes that are no UTF-8 become U+FFFD in the editor, which warns once about them.
    m_editor->clear();
    m_editor->set_text(text);
    m_script_path = path;
    m_last_directory = folder_of(path);
    get_application().add_recent_script_file(path);
    on_cursor_modified();
    CORE_LOG_INFO("GuiScriptEditorWidget.open_script: Successfully loaded script '" << path << "'.\n");
    return true;
}

void GuiScriptEditorWidget::open_script_dialog()
{
    if (m_read_only) return;
    CoreString const path =
        GuiWidget::open_file(get_application(), m_last_directory, "Open script...", m_filter);
    if (!path.is_empty()) open_script(path);
}

bool GuiScriptEditorWidget::save_script_in_file()
{
    set_enable(false);
    CoreString const path =
        GuiWidget::save_file(get_application(), m_last_directory, "Save script as...", m_filter);
    bool const saved = !path.is_empty() && save_script_to(path);
    set_enable(true);
    return saved;
}

bool GuiScriptEditorWidget::save_script_to(CoreString const& path)
{
    m_editor->remove_whitespaces();
    if (!SysFile::write_file(path, m_editor->get_text())) {
        CORE_LOG_ERROR("GuiScriptEditorWidget.save_script_in_file: Error saved script '" << path << "'.\n");
        return false;
    }
    m_editor->set_modification_count(0);
    m_script_path = path;
    m_last_directory = folder_of(path);
    CORE_LOG_INFO("GuiScriptEditorWidget.save_script_in_file: Successfully saved script '" << path << "'.\n");
    return true;
}

void GuiScriptEditorWidget::save()
{
    m_editor->set_modification_count(0);
    raise_event(EVT_ID_SCRIPT_EDITOR_WIDGET_SAVE);
}

void GuiScriptEditorWidget::refresh_file_menu()
{
    if (m_recent_menu) {
        m_recent_menu->remove_all_items();
        auto const& recent = get_application().get_recent_script_files();
        for (unsigned int i = 0; i < recent.get_count(); ++i) m_recent_menu->add_item(recent[i]);
        m_recent_menu->add_separator();
        m_recent_menu->add_item("Clear Recent");
    }
    if (GuiMenu* file = get_menu("File")) {
        for (char const* name : {"Clear", "Open...", "Open Recent"})
            if (GuiMenuItem* item = file->get_item(name)) item->set_enable(!m_read_only);
    }
}

void GuiScriptEditorWidget::on_recent_click()
{
    GuiMenuItem* item = m_recent_menu->get_last_selected_item();
    if (!item || m_read_only) return;
    CoreString const name = item->get_name();
    if (name == "Clear Recent")
        get_application().clear_recent_script_files();
    else
        open_script(name);
}

// --- Search -----------------------------------------------------------------------------------

void GuiScriptEditorWidget::show_search_panel(bool const& show, int const& mode, bool const& take_selection)
{
    if (!show && !m_search_shown) {
        m_search_button->set_value(false);
        m_replace_button->set_value(false);
        return;
    }
    if (show && m_read_only) return;
    bool const opening = show && !m_search_shown;
    if ((opening || take_selection) && show) {
        CoreString const selected = m_editor->get_text_selected();
        if (!selected.is_empty() && !selected.contains('\n')) m_search->set_source_text(selected);
    }
    m_search_shown = show;
    GuiSearchWidget::Mode const search_mode =
        mode == GuiSearchWidget::MODE_REPLACE  ? GuiSearchWidget::MODE_REPLACE
        : mode == GuiSearchWidget::MODE_RENAME ? GuiSearchWidget::MODE_RENAME
                                               : GuiSearchWidget::MODE_SEARCH;
    m_search->set_mode(search_mode);
    // The toolbar's buttons follow without raising their own events.
    m_search_button->set_value(show && search_mode != GuiSearchWidget::MODE_REPLACE);
    m_replace_button->set_value(show && search_mode == GuiSearchWidget::MODE_REPLACE);
    refresh_layout();
    if (show)
        m_search->focus_search();
    else
        m_editor->set_focus();
}

bool GuiScriptEditorWidget::find_next_text()
{
    return m_editor->find_next_text(m_search->get_source_text(), m_search->get_is_case_sensitive());
}

bool GuiScriptEditorWidget::find_next_and_replace_text()
{
    return m_editor->find_next_and_replace_text(m_search->get_source_text(), m_search->get_replace_text(),
                                                m_search->get_is_case_sensitive());
}

CoreString GuiScriptEditorWidget::get_replace_all_message(int const& count)
{
    return CoreString() + count + (count == 1 ? " occurrence was replaced." : " occurrences were replaced.");
}

int GuiScriptEditorWidget::replace_all_text()
{
    int const count = m_editor->replace_all_text(m_search->get_source_text(), m_search->get_replace_text(),
                                                 m_search->get_is_case_sensitive());
    get_application().message_box(get_replace_all_message(count), "Replace All Result", AppDialog::ok());
    return count;
}

// --- Running ----------------------------------------------------------------------------------

bool GuiScriptEditorWidget::run_script()
{
    if (!m_scripting) {
        CORE_LOG_WARNING("GuiScriptEditorWidget.run_script: no scripting engine named '" << m_module_name
                                                                                         << "'\n");
        return false;
    }
    CoreString const name = m_script_path.is_empty() ? CoreString("<script>") : m_script_path;
    if (!m_scripting->run_script(m_editor->get_text(), name)) return false;
    m_console->append(CoreString("Running ") + name, CORE_LOG_LEVEL_DEBUG);
    m_run_pending = true;
    start_polling();
    return true;
}

bool GuiScriptEditorWidget::stop_script()
{
    return m_scripting && m_scripting->interrupt();
}

bool GuiScriptEditorWidget::is_script_running() const
{
    return m_scripting && m_scripting->is_running();
}

void GuiScriptEditorWidget::start_polling()
{
    if (!m_poll_timer)
        m_poll_timer = get_application().add_timer(&GuiScriptEditorWidget::on_poll_timer, this, POLL_DELAY);
}

void GuiScriptEditorWidget::on_poll_timer(void* data)
{
    GuiScriptEditorWidget* widget = static_cast<GuiScriptEditorWidget*>(data);
    widget->m_poll_timer = 0;
    widget->poll_script();
    if (widget->is_script_running()) widget->start_polling();
}

void GuiScriptEditorWidget::poll_script()
{
    if (!m_scripting || !m_run_pending) return;
    // The end is read before the output, so the output of a run that just ended is all there.
    bool const ended = !m_scripting->is_running();
    std::vector<ModuleScripting::Output> output;
    if (m_scripting->take_output(output)) {
        for (ModuleScripting::Output const& piece : output) {
            bool const error = piece.stream == ModuleScripting::Output::STREAM_ERROR;
            m_console->append(piece.text, error ? CORE_LOG_LEVEL_ERROR : CORE_LOG_LEVEL_INFO);
        }
        m_console->goto_line(m_console->get_line_count() - 1);
    }
    if (!ended) return;
    ModuleScripting::RunStatus const status = m_scripting->get_run_status();
    if (status.result == ModuleScripting::RESULT_RUNNING || status.result == ModuleScripting::RESULT_NONE)
        return;
    switch (status.result) {
        case ModuleScripting::RESULT_OK:
            m_console->append("Script finished", CORE_LOG_LEVEL_DEBUG);
            break;
        case ModuleScripting::RESULT_INTERRUPTED:
            m_console->append("Script interrupted", CORE_LOG_LEVEL_WARNING);
            CORE_LOG_INFO("GuiScriptEditorWidget.poll_script: the script was interrupted\n");
            break;
        default:
            m_console->append(CoreString("Script failed at line ") + status.error_line + ": " + status.error,
                              CORE_LOG_LEVEL_ERROR);
            break;
    }
    m_console->goto_line(m_console->get_line_count() - 1);
    if (status.result == ModuleScripting::RESULT_ERROR && status.error_line > 0) {
        m_editor->goto_line(status.error_line - 1);
        m_editor->set_focus();
    }
    m_run_pending = false;
    raise_event(EVT_ID_SCRIPT_EDITOR_WIDGET_RUN_END);
}

// --- Options ----------------------------------------------------------------------------------

void GuiScriptEditorWidget::set_highlight_word(bool const& highlight)
{
    m_highlight_word = highlight;
    if (m_highlight_item) m_highlight_item->check(highlight);
    on_cursor_modified();
}

void GuiScriptEditorWidget::read_preferences()
{
    AppPreferences& preferences = get_application().get_preferences();
    bool const on = preferences.item_exists(PREFERENCE_CATEGORY, HIGHLIGHT_PREFERENCE) &&
                    preferences.get_bool_value(PREFERENCE_CATEGORY, HIGHLIGHT_PREFERENCE);
    set_highlight_word(on);
}

void GuiScriptEditorWidget::on_view_click()
{
    GuiMenu* view = get_menu("View");
    if (!view || view->get_last_selected_item() != m_highlight_item) return;
    bool const on = m_highlight_item->is_checked();
    AppPreferences& preferences = get_application().get_preferences();
    if (preferences.item_exists(PREFERENCE_CATEGORY, HIGHLIGHT_PREFERENCE))
        preferences.set_bool_value(PREFERENCE_CATEGORY, HIGHLIGHT_PREFERENCE, on);
    set_highlight_word(on);
    get_application().raise_event(EVT_ID_APPLICATION_SCRIPTING_OPTIONS_CHANGED);
}

void GuiScriptEditorWidget::set_status_bar_infos(int const& line, int const& column, int const& lines)
{
    m_status->set_infos(line, column, lines);
}

void GuiScriptEditorWidget::on_cursor_modified()
{
    int line = 0, column = 0, lines = 0;
    m_editor->get_infos(line, column, lines);
    int caret_line = 0, caret_column = 0;
    if (!m_editor->get_caret(caret_line, caret_column)) column = -1;
    set_status_bar_infos(line, column, lines);
    if (!m_highlight_word) {
        if (!m_editor->get_highlighted_word().is_empty()) m_editor->disable_highlighted_word();
        return;
    }
    if (column < 0) return;
    // The word at the caret: the run of word characters around it.
    CoreString const& text = m_editor->get_line(caret_line);
    auto is_word = [](char const& c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    };
    int start = std::min(caret_column, static_cast<int>(text.get_length()));
    int end = start;
    while (start > 0 && is_word(text[static_cast<unsigned int>(start - 1)])) --start;
    while (end < static_cast<int>(text.get_length()) && is_word(text[static_cast<unsigned int>(end)])) ++end;
    m_editor->set_highlighted_word(
        text.sub_string(static_cast<unsigned int>(start), static_cast<unsigned int>(end - start)));
}

void GuiScriptEditorWidget::enable_dnd(DndProvider provider, bool const& enabled)
{
    m_dnd_provider = std::move(provider);
    m_dnd_enabled = enabled;
    m_editor->set_accept_drops(enabled && m_dnd_provider);
}

bool GuiScriptEditorWidget::drop_widget(GuiWidget& dropped, int const& line, int const& column)
{
    if (!m_dnd_enabled || !m_dnd_provider || m_read_only) return false;
    CoreString const text = m_dnd_provider(dropped);
    if (text.is_empty()) return false;
    m_editor->insert(text, line, column);
    return true;
}
