#pragma once
// GuiScriptEditorWidget: the script editing panel. A toolbar of menus ("File", "Edit",
// "Search", "View", "Script") and two check buttons that open the search row
// (GuiSearchWidget), a GuiScriptEdit bound to a scripting engine by name, a console that
// shows what a run prints, and a status bar with the caret's line and column.
//
//     GuiScriptEditorWidget* editor = new GuiScriptEditorWidget(*window, 0, 0, 800, 600);
//     editor->set_module_scripting("Python");
//     editor->open_script("tools/rename.py");
//     editor->run_script();                        // F5; Shift+F5 stops it
//
// Scripts run on the engine's own thread: the widget polls the engine from an application
// timer, appends its output to the console (errors tinted as errors) and, when the script
// failed, puts the caret on the line the error came from. The interface never waits for it.
#include <functional>

#include "gui/core/gui_widget.h"
#include "host/app/app_base.h"

class GuiCheckButton;
class GuiMenu;
class GuiMenuItem;
class GuiScriptEdit;
class GuiSearchWidget;
class GuiTextEdit;
class GuiToolbar;
class ModuleLanguage;
class ModuleScripting;

// "Save": the owner stores the script (get_script).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SCRIPT_EDITOR_WIDGET_SAVE);
// A run ended (the engine's run status tells how).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SCRIPT_EDITOR_WIDGET_RUN_END);
// Raised on the application when the scripting preferences changed; editors read them again.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_APPLICATION_SCRIPTING_OPTIONS_CHANGED);

// The caret figures under the editor: "Ln: ", "Col: " and "Lines: ".
class QN_GUI_API GuiScriptEditorWidgetStatusBar : public GuiWidget {
    CORE_DECLARE_CLASS(GuiScriptEditorWidgetStatusBar, GuiWidget)

public:
    static constexpr int HEIGHT = 18;

    GuiScriptEditorWidgetStatusBar(GuiWidget& parent, int const& x, int const& y, int const& w);
    // 0-based line and column; a negative column when there is no caret.
    void set_infos(int const& line, int const& column, int const& lines);
    // What the bar shows, one figure after the other.
    CoreString get_text() const;
    void draw(GuiDc& dc) override;

private:
    int m_line = 0;
    int m_column = -1;
    int m_lines = 0;
};

class QN_GUI_API GuiScriptEditorWidget : public GuiWidget {
    CORE_DECLARE_CLASS(GuiScriptEditorWidget, GuiWidget)

public:
    // Turns a widget dropped on the editor into text; empty refuses the drop.
    using DndProvider = std::function<CoreString(GuiWidget& dropped)>;
    // Seconds between two looks at a running script.
    static constexpr double POLL_DELAY = 0.03;

    GuiScriptEditorWidget(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    ~GuiScriptEditorWidget() override;

    // --- Script ---
    void set_script(CoreString const& text);
    CoreString get_script() const;
    bool is_script_modified() const;
    void reset_is_text_modified();
    // Read only: the editor refuses changes, the File, Edit, Search and View menus and the
    // search buttons are disabled (the shortcuts that change the text too) and the search
    // row closes. Scripts still run.
    void set_readonly(bool const& read_only);
    bool const& is_readonly() const { return m_read_only; }

    // --- Language ---
    // Binds the editor to the engine of that name (or, without one, to the language of that
    // name); the file filter follows the language's extensions. The same name again does
    // nothing; an unknown name leaves no tables and an empty filter.
    void set_module_scripting(CoreString const& name);
    CoreString const& get_module_scripting_name() const { return m_module_name; }
    // The engine of the scene class derived from "Scripting" with that name; null if none.
    ModuleScripting* get_engine(CoreString const& name) const;
    ModuleScripting* get_scripting() const { return m_scripting; }
    CoreString const& get_file_filter() const { return m_filter; }
    // "Known Files\t*.{py,pyw}"; empty without extensions.
    static CoreString get_filter_from_extension(CoreVector<CoreString> const& extensions);

    // --- Files ---
    // Reads the file into the editor and adds it to the recent files; a missing file or one
    // that is no text (NUL bytes) leaves the editor as it was. False then.
    bool open_script(CoreString const& path);
    // Asks for a file ("Open script...") and opens it.
    void open_script_dialog();
    static bool load_script_from_file(CoreString const& path, CoreString& text);
    // Asks for a path ("Save script as...") and saves there.
    bool save_script_in_file();
    // Strips trailing spaces in the editor, writes the text and resets the modification count;
    // a file that cannot be written changes nothing but the spaces. False then.
    bool save_script_to(CoreString const& path);
    // "Save": the modification count goes to 0 and EVT_ID_SCRIPT_EDITOR_WIDGET_SAVE is raised.
    void save();
    CoreString const& get_last_directory() const { return m_last_directory; }

    // --- Search ---
    // Mode as GuiSearchWidget::Mode; with `take_selection` the selected text becomes the search.
    void show_search_panel(bool const& show, int const& mode, bool const& take_selection = true);
    bool is_search_panel_shown() const { return m_search_shown; }
    bool find_next_text();
    bool find_next_and_replace_text();
    // Replaces every match and tells how many in a "Replace All Result" box.
    int replace_all_text();
    // "1 occurrence was replaced.", "0 occurrences were replaced.", ...
    static CoreString get_replace_all_message(int const& count);

    // --- Running ---
    // Runs the editor's text in the engine; false (logged) without an engine or while a run goes on.
    bool run_script();
    // Interrupts the running script; false when none runs.
    bool stop_script();
    bool is_script_running() const;
    // Appends what the engine queued to the console; when the run ended, reports it, moves the
    // caret to the error line and raises EVT_ID_SCRIPT_EDITOR_WIDGET_RUN_END. The poll timer
    // calls it; tests call it directly.
    void poll_script();

    // --- Options ---
    void set_highlight_word(bool const& highlight);
    bool const& is_highlight_word() const { return m_highlight_word; }
    // Reads "highlight_words_on_cursor" of the "scripting" preferences (false when absent).
    void read_preferences();
    void set_status_bar_infos(int const& line, int const& column, int const& lines);
    void enable_dnd(DndProvider provider, bool const& enabled);
    // Inserts the provider's text for `dropped` at the editor's (line, column); false when
    // drops are off or the provider refuses it.
    bool drop_widget(GuiWidget& dropped, int const& line, int const& column);

    // --- Parts ---
    GuiScriptEdit& get_editor() const { return *m_editor; }
    GuiTextEdit& get_console() const { return *m_console; }
    GuiSearchWidget& get_search_widget() const { return *m_search; }
    GuiScriptEditorWidgetStatusBar& get_status_bar() const { return *m_status; }
    GuiToolbar& get_toolbar() const { return *m_toolbar; }
    // By label: "File", "Edit", "Search", "View", "Script".
    GuiMenu* get_menu(CoreString const& label) const;
    GuiMenu* get_recent_menu() const { return m_recent_menu; }
    GuiMenuItem* get_highlight_word_item() const { return m_highlight_item; }
    GuiCheckButton& get_search_button() const { return *m_search_button; }
    GuiCheckButton& get_replace_button() const { return *m_replace_button; }
    // Refreshes the recent files and the entries a read-only editor disables (as the File
    // menu does when it opens).
    void refresh_file_menu();

    void resize(int const& x, int const& y, int const& w, int const& h) override;

private:
    void build_menus();
    void refresh_layout();
    void on_cursor_modified();
    void on_recent_click();
    void on_view_click();
    void start_polling();
    static void on_poll_timer(void* data);

    GuiToolbar* m_toolbar = nullptr;
    CoreVector<GuiMenu*> m_menus;
    CoreVector<GuiWidget*> m_menu_buttons;
    CoreVector<CoreString> m_menu_labels;
    GuiMenu* m_recent_menu = nullptr;
    GuiMenuItem* m_highlight_item = nullptr;
    GuiCheckButton* m_search_button = nullptr;
    GuiCheckButton* m_replace_button = nullptr;
    GuiSearchWidget* m_search = nullptr;
    bool m_search_shown = false;
    GuiScriptEdit* m_editor = nullptr;
    GuiTextEdit* m_console = nullptr;
    GuiScriptEditorWidgetStatusBar* m_status = nullptr;

    bool m_read_only = false;
    bool m_highlight_word = false;
    CoreString m_filter;
    CoreString m_module_name;
    bool m_module_set = false;
    ModuleScripting* m_scripting = nullptr;
    CoreString m_last_directory;
    CoreString m_script_path;
    DndProvider m_dnd_provider;
    bool m_dnd_enabled = false;
    AppBase::TimerId m_poll_timer = 0;
    // A run was started and its end is not reported yet.
    bool m_run_pending = false;
};
