// The showcase's "Text" page: a script of a few hundred lines in a text editor with line
// numbers and syntax colouring, a search and replace row, a script editor running Python
// (F5 runs, Shift+F5 stops, Ctrl+Space completes) with its console, and a read-only console
// fed by the log, its lines tinted by level. With --trace the page reports its edits as
// "text <what> ..." lines, each line a Python run prints as "text output <line>" and its end
// as "text run <result> line <n>", and, at start, where its widgets are
// ("text at <name> x y w h") and the editors' line heights and text margins.
#include <mutex>
#include <utility>
#include <vector>

#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/controls/gui_push_button.h"
#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/script/gui_script_edit.h"
#include "gui/script/gui_script_editor_widget.h"
#include "gui/text/gui_text_edit.h"
#include "gui/text/gui_text_edit_goto_line_window.h"
#include "host/module/module_scripting_python.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_object_factory.h"

namespace {

constexpr int MARGIN = 8;
constexpr int ROW_H = 22;
constexpr int CONSOLE_LINES = 200;

// A read-only editor that shows every log message while it exists. Messages from any
// thread are queued and appended in the next update pass, so a message logged while the
// console appends cannot reach it again.
class DemoConsole : public GuiTextEdit, public CoreLogHandler {
public:
    DemoConsole(GuiWidget& parent, int x, int y, int w, int h)
        : GuiTextEdit(parent, x, y, w, h), CoreLogHandler(CORE_LOG_LEVEL_DEBUG),
          m_previous(set_main_log_handler(this))
    {
        set_read_only(true);
        set_max_lines(CONSOLE_LINES);
        set_show_syntax_color(false);
    }
    ~DemoConsole() override { set_main_log_handler(m_previous); }

    void widget_update() override
    {
        std::vector<std::pair<int, std::string>> pending;
        {
            std::lock_guard<std::mutex> lock(m_pending_mutex);
            pending.swap(m_pending);
        }
        for (auto const& [level, text] : pending) append(CoreString(text), level);
        GuiTextEdit::widget_update();
    }

protected:
    void write(int level, std::string const& text) override
    {
        // The terminal keeps what it showed before.
        if (m_previous) m_previous->log(level, CoreString(text));
        {
            std::lock_guard<std::mutex> lock(m_pending_mutex);
            m_pending.emplace_back(level, text);
        }
        set_is_dirty(true);
    }

private:
    CoreLogHandler* m_previous;
    std::mutex m_pending_mutex;
    std::vector<std::pair<int, std::string>> m_pending;
};

void trace_geometry(CoreString const& name, GuiWidget const& widget)
{
    DemoTrace::line(CoreString("text at ") + name + " " + widget.get_x() + " " + widget.get_y() + " " +
                    widget.get_width() + " " + widget.get_height());
}

// A script in the page's little language, long enough to scroll.
CoreString make_script()
{
    CoreString script =
        "/* Scene assembly script.\n"
        "   Builds a turntable of every asset below the root, lights it and renders\n"
        "   one frame per degree. */\n"
        "#include \"studio_lights\"\n"
        "#define TURNS 1\n"
        "\n";
    char const* const assets[] = {"teapot", "dragon", "bunny", "armadillo", "lucy", "buddha", "sponza", "crytek"};
    int index = 0;
    for (char const* asset : assets) {
        for (int variant = 1; variant <= 4; ++variant, ++index) {
            CoreString const name = CoreString(asset) + "_" + variant;
            script += CoreString("// ") + name + ": placed on a ring, scaled to fit the frame\n";
            script += CoreString("function build_") + name + "(scene, radius) {\n";
            script += CoreString("    var item = scene.load(\"assets/") + asset + "/" + asset + variant + ".abc\");\n";
            script += CoreString("    var angle = ") + (index * 11) + " * 3.14159 / 180;\n";
            script += "    item.position = [radius * cos(angle), 0, radius * sin(angle)];\n";
            script += CoreString("    item.scale = ") + (variant * 25) + " / 100;\n";
            script += "    if (item.polygons > 1000000 && this.preview != false) {\n";
            script += "        item.subdivision = 0;  // keep previews quick\n";
            script += "    } else {\n";
            script += CoreString("        item.subdivision = ") + (variant % 3) + ";\n";
            script += "    }\n";
            script += "    return item;\n";
            script += "}\n\n";
        }
    }
    script += "function main(scene) {\n";
    script += "    for (var turn = 0; turn < 360 * TURNS; turn = turn + 1) {\n";
    script += "        scene.camera.orbit(turn, 'degrees');\n";
    script += "        scene.render(\"frames/turntable.\" + turn + \".exr\");\n";
    script += "    }\n";
    script += "    return null;\n";
    script += "}";
    return script;
}

// The Python sample of the script editor.
char const* const PYTHON_SAMPLE =
    "# F5 runs this script, Shift+F5 stops it, Ctrl+Space completes a name.\n"
    "import math\n"
    "\n"
    "\n"
    "def ring(count, radius):\n"
    "    \"\"\"Points of a ring of `count` items at `radius`.\"\"\"\n"
    "    step = 2 * math.pi / count\n"
    "    return [(round(radius * math.cos(i * step), 3), round(radius * math.sin(i * step), 3))\n"
    "            for i in range(count)]\n"
    "\n"
    "\n"
    "for point in ring(4, 2.0):\n"
    "    print(point)\n"
    "print('points:', len(ring(8, 1.0)))\n";

// The interpreter is one per process: made on first use and registered as the scene class
// "Python" of the application, so that editors find it by name.
ModuleScriptingPython* python_engine(GuiApp& app)
{
    static std::unique_ptr<ModuleScriptingPython> engine = std::make_unique<ModuleScriptingPython>();
    if (!engine->is_valid()) return nullptr;
    OfClassFactory& classes = app.get_factory().get_classes();
    if (!classes.exists("Python")) ModuleScripting::register_engine(classes, "Python", *engine);
    return engine.get();
}

}  // namespace

void ShowcaseWindow::build_text_page(GuiWidget& page, int x, int y, int w, int h)
{
    using W = GuiWidget;
    int const console_w = w / 3;
    int const script_w = w - console_w - MARGIN;

    // Left, above: the script and its search row; below: the Python script editor.
    int const python_h = h * 11 / 20;
    int const script_h = h - python_h - MARGIN;
    DemoPanel* script_panel = new DemoPanel(page, "script_panel", "Script", x, y, script_w, script_h);
    script_panel->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    int const inner_x = x + MARGIN;
    int const inner_w = script_w - 2 * MARGIN;
    int const row_y = y + DemoPanel::TITLE_HEIGHT + MARGIN;
    int const field_w = (inner_w - 3 * 90 - 4 * MARGIN) / 2;
    GuiLineEdit* find = new GuiLineEdit(*script_panel, inner_x, row_y, field_w, ROW_H - 2, "Find");
    GuiLineEdit* replace = new GuiLineEdit(*script_panel, inner_x + field_w + MARGIN, row_y, field_w, ROW_H - 2, "Replace");
    int button_x = inner_x + 2 * (field_w + MARGIN);
    GuiPushButton* find_next = new GuiPushButton(*script_panel, button_x, row_y, 90, ROW_H - 2, "Find next");
    GuiPushButton* replace_all = new GuiPushButton(*script_panel, button_x + 90 + MARGIN, row_y, 90, ROW_H - 2, "Replace all");
    GuiPushButton* goto_line = new GuiPushButton(*script_panel, button_x + 2 * (90 + MARGIN), row_y, 90, ROW_H - 2, "Go to line");
    for (GuiWidget* widget : std::initializer_list<GuiWidget*>{find_next, replace_all, goto_line})
        widget->set_constraints(W::CONSTRAINT_RIGHT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_TOP);
    int const editor_y = row_y + ROW_H + MARGIN;
    GuiTextEdit* editor = new GuiTextEdit(*script_panel, inner_x, editor_y, inner_w, y + script_h - MARGIN - editor_y);
    editor->set_constraints(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    editor->set_keywords({"function", "var", "if", "else", "for", "while", "return"});
    editor->set_reserved_keywords({"true", "false", "null", "this"});
    editor->set_preprocessor_keywords({"#include", "#define"});
    editor->set_line_comments({"//"});
    editor->set_block_comments({"/*", "*/"});
    editor->set_operators({"+", "-", "*", "/", "=", "(", ")", "<", ">", "[", "]", ",", ";", "{", "}", ".", "?",
                           "!=", "&&", "%"});
    editor->set_show_line_number_column(true);
    editor->set_highlight_current_line(true);
    editor->set_text(make_script());

    int const python_y = y + script_h + MARGIN;
    DemoPanel* python_panel = new DemoPanel(page, "python_panel", "Python", x, python_y, script_w, python_h);
    python_panel->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    python_engine(m_app);
    GuiScriptEditorWidget* python = new GuiScriptEditorWidget(*python_panel, x + 1, python_y + DemoPanel::TITLE_HEIGHT,
                                                              script_w - 2, python_h - DemoPanel::TITLE_HEIGHT - 1);
    python->set_constraints(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    python->set_module_scripting("Python");
    python->set_script(PYTHON_SAMPLE);

    // Right: the console.
    int const console_x = x + script_w + MARGIN;
    DemoPanel* console_panel = new DemoPanel(page, "console_panel", "Console (the log)", console_x, y, console_w, h);
    console_panel->anchor(W::CONSTRAINT_RIGHT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    DemoConsole* console = new DemoConsole(*console_panel, console_x + 1, y + DemoPanel::TITLE_HEIGHT,
                                           console_w - 2, h - DemoPanel::TITLE_HEIGHT - 1);
    console->set_constraints(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);

    trace_geometry("editor", *editor);
    trace_geometry("find", *find);
    trace_geometry("replace", *replace);
    trace_geometry("find_next", *find_next);
    trace_geometry("replace_all", *replace_all);
    trace_geometry("console", *console);
    trace_geometry("python", python->get_editor());
    DemoTrace::line(CoreString("text line_height ") + editor->get_line_height() + " text_left " +
                    (editor->get_line_number_column_width() + GuiTextEdit::LEFT_MARGIN));
    DemoTrace::line(CoreString("text python_line_height ") + python->get_editor().get_line_height() + " lines " +
                    python->get_editor().get_line_count());

    // Each run's output and end are traced.
    auto console_lines = std::make_shared<int>(python->get_console().get_line_count());
    m_page_state.push_back(console_lines);
    EventObject::connect(*python, EVT_ID_SCRIPT_EDITOR_WIDGET_RUN_END, [python, console_lines] {
        GuiTextEdit const& output = python->get_console();
        for (int line = *console_lines; line < output.get_line_count(); ++line)
            DemoTrace::line(CoreString("text output ") + output.get_line(line));
        *console_lines = output.get_line_count();
        ModuleScripting const* scripting = python->get_scripting();
        if (!scripting) return;
        ModuleScripting::RunStatus const status = scripting->get_run_status();
        int line = 0, column = 0, lines = 0;
        python->get_editor().get_infos(line, column, lines);
        DemoTrace::line(CoreString("text run ") + ModuleScripting::get_result_name(status.result) + " line " +
                        status.error_line + " caret " + (line + 1));
    });
    auto on_python_modified = +[](EventObject& sender, EventObject::EventInfo const&, void*) {
        GuiTextEdit& edit = static_cast<GuiTextEdit&>(sender);
        int line = 0, column = 0, lines = 0;
        edit.get_infos(line, column, lines);
        DemoTrace::line(CoreString("text python line ") + (line + 1) + ": " + edit.get_current_line());
    };
    EventObject::connect(python->get_editor(), EVT_ID_TEXT_EDIT_MODIFIED, on_python_modified, nullptr);

    // What happens is logged (and so shown in the console) and traced.
    struct State {
        GuiTextEdit* editor;
        GuiLineEdit* find;
        GuiLineEdit* replace;
        GuiWindow* window;
    };
    auto state = std::make_shared<State>(State{editor, find, replace, m_window});
    m_page_state.push_back(state);
    auto report = [](CoreString const& line) {
        CORE_LOG_INFO("ShowcaseWindow.text_page: " << line << "\n");
        DemoTrace::line(CoreString("text ") + line);
    };
    auto on_modified = +[](EventObject& sender, EventObject::EventInfo const&, void*) {
        GuiTextEdit& edit = static_cast<GuiTextEdit&>(sender);
        int line = 0, column = 0, lines = 0;
        edit.get_infos(line, column, lines);
        DemoTrace::line(CoreString("text modified ") + edit.get_modification_count() + " lines " + lines + " line " +
                        (line + 1) + ": " + edit.get_current_line());
    };
    EventObject::connect(*editor, EVT_ID_TEXT_EDIT_MODIFIED, on_modified, nullptr);
    auto find_text = [state, report]() {
        CoreString const text = state->find->get_text();
        if (state->editor->find_next_text(text, false)) {
            int line = 0, column = 0;
            state->editor->get_caret(line, column);
            report(CoreString("found '") + text + "' at line " + (line + 1));
        } else {
            CORE_LOG_WARNING("ShowcaseWindow.text_page: '" << text << "' was not found\n");
            DemoTrace::line(CoreString("text not found '") + text + "'");
        }
        state->editor->set_focus();
    };
    auto replace_text = [state, report]() {
        int const count = state->editor->replace_all_text(state->find->get_text(), state->replace->get_text(), false);
        report(CoreString("replaced ") + count + " '" + state->find->get_text() + "' with '" + state->replace->get_text() + "'");
        state->editor->set_focus();
    };
    auto go_to_line = [state]() {
        GuiTextEditGotoLineWindow dialog(*state->window, *state->editor);
        dialog.show_modal_and_go();
    };
    on_click(*find_next, find_text);
    on_click(*replace_all, replace_text);
    on_click(*goto_line, go_to_line);
    // Return in the find field searches.
    auto on_find_key = +[](EventObject&, EventObject::EventInfo const&, void* data) {
        int const key = Gui::get_last_key_pressed();
        if (key == Gui::KEY_ID_ENTER || key == Gui::KEY_ID_KEYPAD_ENTER) (*static_cast<std::function<void()>*>(data))();
    };
    auto find_action = std::make_shared<std::function<void()>>(find_text);
    m_page_state.push_back(find_action);
    EventObject::connect(*find, EVT_ID_LINE_EDIT_KEY_PRESSED, on_find_key, find_action.get());

    // The tints of the levels, shown without sending warnings to the terminal at start.
    console->append("The console shows the log: information is plain,", CORE_LOG_LEVEL_INFO);
    console->append("warnings are tinted yellow,", CORE_LOG_LEVEL_WARNING);
    console->append("errors red,", CORE_LOG_LEVEL_ERROR);
    console->append("debugging traces green.", CORE_LOG_LEVEL_DEBUG);
}
