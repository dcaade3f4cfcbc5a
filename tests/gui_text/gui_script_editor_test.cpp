// The script editor: completion in GuiScriptEdit, the file filter, files opened and saved,
// search and replace, the status bar, the highlight preference and scripts run in the
// Python engine with their output in the console.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <filesystem>
#include <fstream>
#include <string>

#include "gui/controls/gui_check_button.h"
#include "gui/controls/gui_list_view.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/core/gui_app.h"
#include "gui/menus/gui_menu.h"
#include "gui/script/gui_script_edit.h"
#include "gui/script/gui_script_editor_widget.h"
#include "gui/script/gui_search_widget.h"
#include "gui/script/script_edit_candidate_popup.h"
#include "host/app/app_preferences.h"
#include "host/module/module_language.h"
#include "host/module/module_scripting_python.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_object_factory.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/log_recorder.h"

namespace {

// One interpreter per process, registered once as the scene's "Python" class.
ModuleScriptingPython& python()
{
    static ModuleScriptingPython engine;
    static bool const registered =
        ModuleScripting::register_engine(gui_test_app().get_factory().get_classes(), "Python", engine);
    (void)registered;
    return engine;
}

std::string temp_path(std::string const& name)
{
    return (std::filesystem::temp_directory_path() / ("qn_script_" + name)).string();
}

void write_bytes(std::string const& path, std::string const& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class ScriptEditorTest : public ControlsTest {
protected:
    GuiScriptEditorWidget& make_editor(CoreString const& module = "Python")
    {
        if (module == "Python") python();
        window().resize(window().get_x(), window().get_y(), 700, 500);
        auto* editor = new GuiScriptEditorWidget(window(), 0, 0, 700, 500);
        shown(editor);
        editor->set_module_scripting(module);
        return *editor;
    }
    GuiScriptEdit& make_edit(CoreString const& text, int line, int column)
    {
        auto* edit = new GuiScriptEdit(window(), 10, 10, 380, 180);
        edit->set_text(text);
        shown(edit);
        edit->set_focus();
        edit->set_selection(column, line, -1, 0);
        return *edit;
    }
    static void ctrl_space(GuiWidget& edit) { key_down(edit, ' ', " ", FL_CTRL); }
    // Polls until the run's end is reported.
    void wait_for_run(GuiScriptEditorWidget& editor)
    {
        bool ended = false;
        EventConnection connection =
            EventObject::connect(editor, EVT_ID_SCRIPT_EDITOR_WIDGET_RUN_END, [&ended] { ended = true; });
        for (int i = 0; i < 500 && !ended; ++i) {
            python().wait(0.01);
            editor.poll_script();
        }
        connection.disconnect();
        EXPECT_TRUE(ended);
    }
};

struct FilterRow {
    char const* typed;
    std::vector<char const*> expected;
};

TEST_F(ScriptEditorTest, CandidatesHoldTheTypedWordCaseFirst)
{
    CoreVector<CoreString> const names = {"print", "Print3", "sprint", "range", "repr"};
    CoreVector<CoreString> const variables = {"print_count", "alpha", "Pr"};
    FilterRow const rows[] = {
        // Exact-case matches first, then case-folded ones; variables after names, sorted.
        {"pr", {"print", "sprint", "repr", "print_count", "Print3", "Pr"}},
        {"Pr", {"Print3", "print", "sprint", "repr", "print_count"}},
        {"ange", {"range"}},
        {"zz", {}},
        // Nothing typed: everything, the variables sorted.
        {"", {"print", "Print3", "sprint", "range", "repr", "Pr", "alpha", "print_count"}},
        // The typed word itself is not offered.
        {"alpha", {}},
    };
    for (FilterRow const& row : rows) {
        CoreVector<CoreString> const shown = GuiScriptEdit::filter_candidates(names, variables, row.typed);
        std::vector<std::string> got;
        for (CoreString const& name : shown) got.push_back(name.std_string());
        std::vector<std::string> const expected(row.expected.begin(), row.expected.end());
        EXPECT_EQ(got, expected) << "typed '" << row.typed << "'";
    }
}

TEST_F(ScriptEditorTest, TypedWordAndVariablesComeFromTheText)
{
    GuiScriptEdit& edit = make_edit("frame_rate = 24\nshot.name = 'a'\nx = frame_ra", 2, 12);
    EXPECT_EQ(edit.get_typed_word(), "frame_ra");
    CoreVector<CoreString> const variables = edit.get_variable_candidates();
    EXPECT_TRUE(variables.contains("frame_rate"));
    EXPECT_TRUE(variables.contains("x"));
    edit.set_selection(0, 2, -1, 0);
    EXPECT_EQ(edit.get_typed_word(), "");
}

TEST_F(ScriptEditorTest, CtrlSpaceWithNothingToOfferOpensNothing)
{
    GuiScriptEdit& edit = make_edit("", 0, 0);
    ctrl_space(edit);
    EXPECT_EQ(edit.get_candidate_popup(), nullptr);
    // A language without names and a word no variable holds: still nothing.
    ModuleLanguage empty("EmptyLanguage");
    empty.set_rebuild_completion(false);
    edit.set_module(&empty);
    edit.set_text("count = 1\nzzz");
    edit.set_selection(3, 1, -1, 0);
    ctrl_space(edit);
    EXPECT_EQ(edit.get_candidate_popup(), nullptr);
    edit.set_module(static_cast<ModuleLanguage*>(nullptr));
}

TEST_F(ScriptEditorTest, CompletionInsertsTheChosenNameWithItsHelp)
{
    python().run_script("def frame_total(n):\n    \"\"\"Counts the frames.\"\"\"\n    return n\n",
                        "setup.py");
    ASSERT_TRUE(python().wait(5));
    GuiScriptEdit& edit = make_edit("x = frame_t", 0, 11);
    edit.set_module(&python());
    ctrl_space(edit);
    ScriptEditCandidatePopup* popup = edit.get_candidate_popup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->get_list().get_items(), CoreVector<CoreString>({"frame_total"}));
    EXPECT_EQ(popup->get_help().get_help(), "Counts the frames.");
    EXPECT_TRUE(popup->get_help().is_shown());
    // The editor keeps the keys: Return inserts the name and closes the popup.
    key_down(edit, FL_Enter, "\r");
    EXPECT_EQ(edit.get_candidate_popup(), nullptr);
    EXPECT_EQ(edit.get_text(), "x = frame_total");
    int line = 0, column = 0;
    edit.get_caret(line, column);
    EXPECT_EQ(column, 15);
    edit.set_module(static_cast<ModuleScripting*>(nullptr));
}

TEST_F(ScriptEditorTest, TypingNarrowsTheOpenListAndEscapeCloses)
{
    GuiScriptEdit& edit = make_edit("value_a = 1\nvalue_b = 2\nprint(val", 2, 9);
    ctrl_space(edit);
    ASSERT_NE(edit.get_candidate_popup(), nullptr);
    EXPECT_EQ(edit.get_candidate_popup()->get_list().get_item_count(), 2);
    key_down(edit, 'u', "u");
    key_down(edit, 'e', "e");
    key_down(edit, '_', "_");
    key_down(edit, 'b', "b");
    // "value_b" itself is typed now: nothing is left to offer.
    EXPECT_EQ(edit.get_candidate_popup(), nullptr);
    edit.set_text("value_a = 1\nvalue_b = 2\nva");
    edit.set_selection(2, 2, -1, 0);
    ctrl_space(edit);
    ASSERT_NE(edit.get_candidate_popup(), nullptr);
    key_down(edit, FL_Down, "");
    EXPECT_EQ(edit.get_candidate_popup()->get_list().get_selected_item(), "value_b");
    key_down(edit, FL_Escape, "");
    EXPECT_EQ(edit.get_candidate_popup(), nullptr);
    EXPECT_EQ(edit.get_current_line(), "va");
}

TEST_F(ScriptEditorTest, FilterFollowsTheExtensions)
{
    struct Row {
        std::vector<char const*> extensions;
        char const* filter;
    } const rows[] = {
        {{"py", "pyw"}, "Known Files\t*.{py,pyw}"},
        {{"py"}, "Known Files\t*.{py}"},
        {{}, ""},
    };
    for (Row const& row : rows) {
        CoreVector<CoreString> extensions;
        for (char const* extension : row.extensions) extensions.add(extension);
        EXPECT_EQ(GuiScriptEditorWidget::get_filter_from_extension(extensions), row.filter);
    }
}

TEST_F(ScriptEditorTest, ModuleNameBindsTheLanguageOnce)
{
    GuiScriptEditorWidget& editor = make_editor("Python");
    EXPECT_EQ(editor.get_scripting(), &python());
    EXPECT_EQ(editor.get_file_filter(), "Known Files\t*.{py}");
    EXPECT_FALSE(editor.get_editor().get_syntax().get_table(GuiTextSyntax::TABLE_KEYWORDS).is_empty());
    LogRecorder log;
    editor.set_module_scripting("NoSuchLanguage");
    editor.set_module_scripting("NoSuchLanguage");
    // Looked up once: the second call with the same name does nothing.
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    EXPECT_EQ(editor.get_scripting(), nullptr);
    EXPECT_EQ(editor.get_file_filter(), "");
    EXPECT_TRUE(editor.get_editor().get_syntax().get_table(GuiTextSyntax::TABLE_KEYWORDS).is_empty());
    EXPECT_TRUE(editor.get_editor().get_syntax().get_table(GuiTextSyntax::TABLE_LINE_COMMENTS).is_empty());
}

TEST_F(ScriptEditorTest, ReplaceAllReportsTheCount)
{
    GuiScriptEditorWidget& editor = make_editor();
    struct Box {
        std::string message, title;
    } box;
    app().set_message_box_handler(
        [](GuiApp&, GuiApp::MessageBoxRequest& request, void* data) {
            auto* seen = static_cast<Box*>(data);
            seen->message = request.message.std_string();
            seen->title = request.title.std_string();
            return request.default_value;
        },
        &box);
    struct Row {
        char const* text;
        char const* message;
    } const rows[] = {
        {"a = 1", "0 occurrences were replaced."},
        {"b = 1", "1 occurrence was replaced."},
        {"b = b", "2 occurrences were replaced."},
    };
    editor.show_search_panel(true, GuiSearchWidget::MODE_REPLACE);
    editor.get_search_widget().set_source_text("b");
    editor.get_search_widget().set_replace_text("c");
    for (Row const& row : rows) {
        editor.set_script(row.text);
        editor.replace_all_text();
        EXPECT_EQ(box.message, row.message);
        EXPECT_EQ(box.title, "Replace All Result");
    }
    EXPECT_EQ(editor.get_script(), "c = c");
    app().set_message_box_handler(nullptr, nullptr);
}

TEST_F(ScriptEditorTest, SearchPanelTakesTheSelectionAndDrivesTheButtons)
{
    GuiScriptEditorWidget& editor = make_editor();
    editor.set_script("alpha beta alpha");
    editor.get_editor().set_selection(6, 0, 10, 0);
    editor.show_search_panel(true, GuiSearchWidget::MODE_SEARCH);
    EXPECT_EQ(editor.get_search_widget().get_source_text(), "beta");
    EXPECT_TRUE(editor.get_search_button().get_value());
    EXPECT_FALSE(editor.get_replace_button().get_value());
    editor.show_search_panel(true, GuiSearchWidget::MODE_REPLACE, false);
    EXPECT_FALSE(editor.get_search_button().get_value());
    EXPECT_TRUE(editor.get_replace_button().get_value());
    EXPECT_TRUE(editor.get_search_widget().get_replace_edit().is_shown());
    // Case-insensitive search wraps past the last match.
    editor.get_search_widget().set_source_text("ALPHA");
    editor.get_editor().set_selection(16, 0, -1, 0);
    EXPECT_TRUE(editor.find_next_text());
    int line = 0, column = 0;
    editor.get_editor().get_caret(line, column);
    EXPECT_EQ(column, 5);
    // A read-only editor closes the panel and refuses to open it again.
    editor.set_readonly(true);
    EXPECT_FALSE(editor.is_search_panel_shown());
    EXPECT_FALSE(editor.get_replace_button().get_value());
    editor.show_search_panel(true, GuiSearchWidget::MODE_SEARCH);
    EXPECT_FALSE(editor.is_search_panel_shown());
    EXPECT_FALSE(editor.get_replace_button().is_enabled());
    editor.refresh_file_menu();
    EXPECT_FALSE(editor.get_menu("File")->get_item("Open...")->is_enabled());
    EXPECT_TRUE(editor.get_menu("File")->get_item("Save As...")->is_enabled());
}

TEST_F(ScriptEditorTest, ShortcutsReachTheWidgetFromTheEditor)
{
    GuiScriptEditorWidget& editor = make_editor();
    editor.set_script("total = 1\ntotal = total + 1\n");
    GuiScriptEdit& edit = editor.get_editor();
    edit.set_focus();
    edit.set_selection(0, 0, 5, 0);
    key_down(edit, 'f', "", FL_CTRL);
    EXPECT_TRUE(editor.is_search_panel_shown());
    EXPECT_EQ(editor.get_search_widget().get_mode(), GuiSearchWidget::MODE_SEARCH);
    EXPECT_EQ(editor.get_search_widget().get_source_text(), "total");
    edit.set_focus();
    key_down(edit, 'h', "", FL_CTRL);
    EXPECT_EQ(editor.get_search_widget().get_mode(), GuiSearchWidget::MODE_REPLACE);
    // F3 finds the next match from the caret; the line comment is the language's.
    edit.set_focus();
    edit.set_selection(1, 1, -1, 0);
    key_down(edit, FL_F + 3, "");
    int line = 0, column = 0;
    edit.get_caret(line, column);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 13);
    key_down(edit, 'c', "", FL_CTRL | FL_SHIFT);
    EXPECT_EQ(edit.get_line(1), "#total = total + 1");
}

TEST_F(ScriptEditorTest, DropsInsertTheProvidersText)
{
    GuiScriptEditorWidget& editor = make_editor();
    editor.set_script("a = \nb = 2");
    GuiWidget* dragged = new GuiWidget(window(), 0, 0, 10, 10);
    // Off by default; the provider may refuse a widget with an empty text.
    EXPECT_FALSE(editor.drop_widget(*dragged, 0, 4));
    editor.enable_dnd(
        [dragged](GuiWidget& widget) {
            return &widget == dragged ? CoreString("'/scene/ball'") : CoreString();
        },
        true);
    EXPECT_TRUE(editor.get_editor().is_accepting_drops());
    EXPECT_FALSE(editor.drop_widget(editor.get_console(), 0, 4));
    EXPECT_TRUE(editor.drop_widget(*dragged, 0, 4));
    EXPECT_EQ(editor.get_script(), "a = '/scene/ball'\nb = 2");
    editor.set_readonly(true);
    EXPECT_FALSE(editor.drop_widget(*dragged, 1, 0));
}

TEST_F(ScriptEditorTest, OpenRefusesMissingAndBinaryFilesAndWarnsOnBadBytes)
{
    GuiScriptEditorWidget& editor = make_editor();
    editor.set_script("kept = True");
    std::string const missing = temp_path("missing.py");
    std::filesystem::remove(missing);
    std::string const binary = temp_path("binary.py");
    write_bytes(binary, std::string("ab\0cd", 5));
    {
        LogRecorder log;
        EXPECT_FALSE(editor.open_script(missing));
        EXPECT_TRUE(log.contains("Script file '" + missing + "' not found."));
        EXPECT_FALSE(editor.open_script(binary));
        EXPECT_TRUE(log.contains("is not a text file"));
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 2u);
    }
    EXPECT_EQ(editor.get_script(), "kept = True");

    std::string const latin = temp_path("latin.py");
    write_bytes(latin, "name = 'caf\xe9'\n");
    app().clear_recent_script_files();
    LogRecorder log;
    EXPECT_TRUE(editor.open_script(latin));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_TRUE(log.contains("Successfully loaded script '" + latin + "'."));
    EXPECT_EQ(editor.get_script(), "name = 'caf\xef\xbf\xbd'\n");
    ASSERT_EQ(app().get_recent_script_files().get_count(), 1u);
    EXPECT_EQ(app().get_recent_script_files()[0], latin);
    editor.refresh_file_menu();
    EXPECT_EQ(item_names(*editor.get_recent_menu()), Names({latin, "-", "Clear Recent"}));
    std::filesystem::remove(binary);
    std::filesystem::remove(latin);
}

TEST_F(ScriptEditorTest, SavingStripsTrailingSpacesInTheEditor)
{
    GuiScriptEditorWidget& editor = make_editor();
    editor.set_script("");
    editor.get_editor().type_text("x = 1   \ny = 2\t \n");
    ASSERT_TRUE(editor.is_script_modified());
    std::string const path = temp_path("saved.py");
    {
        LogRecorder log;
        EXPECT_TRUE(editor.save_script_to(path));
        EXPECT_TRUE(log.contains("Successfully saved script '" + path + "'."));
    }
    EXPECT_EQ(editor.get_script(), "x = 1\ny = 2\n");
    EXPECT_FALSE(editor.is_script_modified());
    CoreString written;
    ASSERT_TRUE(GuiScriptEditorWidget::load_script_from_file(path, written));
    EXPECT_EQ(written, "x = 1\ny = 2\n");
    std::filesystem::remove(path);

    // An unwritable path: the count stays, the error line is written.
    editor.get_editor().type_text("z");
    int const count = editor.get_editor().get_modification_count();
    std::string const bad = temp_path("no_such_folder/saved.py");
    LogRecorder log;
    EXPECT_FALSE(editor.save_script_to(bad));
    EXPECT_TRUE(log.contains("Error saved script '" + bad + "'."));
    EXPECT_EQ(editor.get_editor().get_modification_count(), count);
}

TEST_F(ScriptEditorTest, StatusBarFollowsTheCaret)
{
    GuiScriptEditorWidget& editor = make_editor();
    editor.set_script("first\nsecond line\nthird");
    EXPECT_EQ(editor.get_status_bar().get_text(), "Ln: 1    Col: -    Lines: 3");
    editor.get_editor().set_selection(4, 1, -1, 0);
    EXPECT_EQ(editor.get_status_bar().get_text(), "Ln: 2    Col: 5    Lines: 3");
}

TEST_F(ScriptEditorTest, HighlightWordFollowsThePreference)
{
    AppPreferences& preferences = app().get_preferences();
    if (!preferences.item_exists("scripting", "highlight_words_on_cursor"))
        preferences.add_category("scripting").add_bool("highlight_words_on_cursor", false);
    bool const saved = preferences.get_bool_value("scripting", "highlight_words_on_cursor");
    preferences.set_bool_value("scripting", "highlight_words_on_cursor", false);
    GuiScriptEditorWidget& editor = make_editor();
    EXPECT_FALSE(editor.is_highlight_word());
    preferences.set_bool_value("scripting", "highlight_words_on_cursor", true);
    app().raise_event(EVT_ID_APPLICATION_SCRIPTING_OPTIONS_CHANGED);
    EXPECT_TRUE(editor.is_highlight_word());
    EXPECT_TRUE(editor.get_highlight_word_item()->is_checked());
    editor.set_script("count = count + 1");
    editor.get_editor().set_selection(10, 0, -1, 0);
    EXPECT_EQ(editor.get_editor().get_highlighted_word(), "count");
    preferences.set_bool_value("scripting", "highlight_words_on_cursor", saved);
}

TEST_F(ScriptEditorTest, RunShowsOutputAndErrorsMoveTheCaret)
{
    GuiScriptEditorWidget& editor = make_editor();
    editor.set_script("print('from the script')\n");
    ASSERT_TRUE(editor.run_script());
    wait_for_run(editor);
    EXPECT_NE(editor.get_console().get_text().find("from the script"), CoreString::NOT_FOUND);

    struct Row {
        char const* script;
        int line;  // 0-based caret line afterwards
    } const rows[] = {
        {"a = 1\nb = (\n", 1},
        {"a = 1\nb = 2\nc = a / 0\n", 2},
    };
    for (Row const& row : rows) {
        editor.set_script(row.script);
        ASSERT_TRUE(editor.run_script());
        wait_for_run(editor);
        int line = 0, column = 0;
        ASSERT_TRUE(editor.get_editor().get_caret(line, column)) << row.script;
        EXPECT_EQ(line, row.line) << row.script;
        EXPECT_EQ(editor.get_script(), row.script);
    }
    EXPECT_NE(editor.get_console().get_text().find("ZeroDivisionError"), CoreString::NOT_FOUND);
}

TEST_F(ScriptEditorTest, StopInterruptsAnEndlessScript)
{
    GuiScriptEditorWidget& editor = make_editor();
    python().build_completion_list();
    editor.set_script("while True:\n    pass\n");
    ASSERT_TRUE(editor.run_script());
    pump_events(app(), 0.1);
    EXPECT_TRUE(editor.is_script_running());
    // Completion keeps working from the last list while the interpreter is busy.
    GuiScriptEdit& edit = editor.get_editor();
    edit.set_focus();
    edit.set_selection(0, 1, -1, 0);
    edit.type_text("pri");
    EXPECT_TRUE(edit.open_completion());
    edit.close_completion();
    edit.on_edit_undo();
    EXPECT_TRUE(editor.stop_script());
    wait_for_run(editor);
    EXPECT_FALSE(editor.is_script_running());
    EXPECT_NE(editor.get_console().get_text().find("interrupted"), CoreString::NOT_FOUND);
    EXPECT_EQ(editor.get_script(), "while True:\n    pass\n");
}

}  // namespace
