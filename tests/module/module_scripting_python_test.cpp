// The embedded Python engine: its language tables, completion and help from the interpreter,
// runs on the worker thread with their output, error lines and interruption, and the lookup
// of an engine through the scene's scripting classes.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "host/app/app_object.h"
#include "host/module/module_language.h"
#include "host/module/module_scripting_python.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_object_factory.h"
#include "tests/support/log_recorder.h"

namespace {

// The interpreter starts once per process: every test shares one engine.
ModuleScriptingPython& engine()
{
    static ModuleScriptingPython python;
    return python;
}

// Runs `text` and waits for its end; the output of both streams is returned.
struct RunResult {
    ModuleScripting::RunStatus status;
    std::string out;
    std::string err;
};

RunResult run(CoreString const& text, CoreString const& file = "test.py")
{
    RunResult result;
    EXPECT_TRUE(engine().run_script(text, file));
    EXPECT_TRUE(engine().wait(10.0));
    std::vector<ModuleScripting::Output> output;
    engine().take_output(output);
    for (auto const& piece : output)
        (piece.stream == ModuleScripting::Output::STREAM_ERROR ? result.err : result.out) +=
            piece.text.std_string();
    result.status = engine().get_run_status();
    return result;
}

class PythonEngineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine().is_valid()); }
};

TEST_F(PythonEngineTest, LanguageTablesComeFromTheInterpreter)
{
    ModuleLanguage const& language = *engine().get_language();
    EXPECT_EQ(language.get_name(), "Python");
    for (char const* keyword : {"def", "for", "lambda", "yield", "async"})
        EXPECT_TRUE(language.get_keywords().contains(keyword)) << keyword;
    for (char const* constant : {"True", "False", "None"}) {
        EXPECT_TRUE(language.get_reserved_keywords().contains(constant)) << constant;
        EXPECT_FALSE(language.get_keywords().contains(constant)) << constant;
    }
    for (char const* builtin : {"print", "len", "range", "ValueError"})
        EXPECT_TRUE(language.get_preprocessor_keywords().contains(builtin)) << builtin;
    EXPECT_FALSE(language.get_preprocessor_keywords().contains("__import__"));
    EXPECT_EQ(language.get_line_comments(), CoreVector<CoreString>({"#"}));
    EXPECT_TRUE(language.get_block_comments().is_empty());
    EXPECT_EQ(language.get_extensions(), CoreVector<CoreString>({"py"}));
    EXPECT_EQ(ModuleLanguage::find_language("Python"), &language);
}

TEST_F(PythonEngineTest, CompletionListHoldsKeywordsBuiltinsAndScriptNames)
{
    ModuleLanguage& language = *engine().get_language();
    ASSERT_EQ(
        run("frame_count = 3\ndef render_frames(n):\n    return n\nclass Shot:\n    pass\n").status.result,
        ModuleScripting::RESULT_OK);
    EXPECT_TRUE(language.is_rebuild_completion());
    engine().build_completion_list();
    EXPECT_FALSE(language.is_rebuild_completion());
    CoreVector<CoreString> const& names = language.get_completion_list();
    for (char const* name : {"while", "sorted", "frame_count", "render_frames", "Shot"})
        EXPECT_TRUE(names.contains(name)) << name;
    // Dunder names of the namespace are no completion.
    EXPECT_FALSE(names.contains("__builtins__"));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    // The next run empties the namespace: its names go with it.
    run("other = 1\n");
    engine().build_completion_list();
    EXPECT_FALSE(language.get_completion_list().contains("frame_count"));
    EXPECT_TRUE(language.get_completion_list().contains("other"));
}

TEST_F(PythonEngineTest, HelpComesFromDocstrings)
{
    run("def scale(value):\n    \"\"\"Scales a value by two.\"\"\"\n    return 2 * value\nratio = 0.5\n");
    struct Row {
        char const* name;
        char const* expected;  // a part of the help; "" for none
    } const rows[] = {
        {"scale", "Scales a value by two."},
        {"ratio", "ratio: float = 0.5"},
        {"len", "Return the number of items"},
        {"for", ""},
        {"no_such_name", ""},
    };
    for (Row const& row : rows) {
        std::string const help = engine().get_help(row.name).std_string();
        if (*row.expected)
            EXPECT_NE(help.find(row.expected), std::string::npos) << row.name << ": " << help;
        else
            EXPECT_EQ(help, "") << row.name;
    }
}

TEST_F(PythonEngineTest, OutputOfBothStreamsIsQueued)
{
    RunResult const result =
        run("import sys\nprint('hello', 42)\nsys.stderr.write('careful\\n')\nprint('é')\n");
    EXPECT_EQ(result.status.result, ModuleScripting::RESULT_OK);
    EXPECT_EQ(result.out, "hello 42\né\n");
    EXPECT_EQ(result.err, "careful\n");
}

TEST_F(PythonEngineTest, ErrorsGiveTheScriptLine)
{
    struct Row {
        char const* script;
        int line;
        char const* error;
    } const rows[] = {
        {"x = 1\ny = (\n", 2, "SyntaxError"},
        {"a = 1\nif a\n    a = 2\n", 2, "SyntaxError"},
        {"a = 1\n\nraise ValueError('bad value')\n", 3, "ValueError: bad value"},
        {"print(undefined_name)\n", 1, "NameError"},
        // The innermost frame of the script, not the line that called into it.
        {"def f():\n    return 1 / 0\n\nf()\n", 2, "ZeroDivisionError"},
        // A frame outside the script (the json module) is skipped.
        {"import json\n\njson.loads('{')\n", 3, "JSONDecodeError"},
    };
    for (Row const& row : rows) {
        RunResult const result = run(row.script);
        EXPECT_EQ(result.status.result, ModuleScripting::RESULT_ERROR) << row.script;
        EXPECT_EQ(result.status.error_line, row.line) << row.script;
        EXPECT_NE(result.status.error.std_string().find(row.error), std::string::npos) << result.status.error;
        // The traceback goes to the error stream, naming the script.
        EXPECT_NE(result.err.find("test.py"), std::string::npos) << result.err;
    }
}

TEST_F(PythonEngineTest, SystemExitEndsAScriptWithoutError)
{
    RunResult const result = run("import sys\nprint('before')\nsys.exit(0)\nprint('after')\n");
    EXPECT_EQ(result.status.result, ModuleScripting::RESULT_OK);
    EXPECT_EQ(result.out, "before\n");
}

TEST_F(PythonEngineTest, EndlessScriptIsInterruptedWithinASecond)
{
    ASSERT_TRUE(engine().run_script("while True:\n    pass\n", "loop.py"));
    EXPECT_FALSE(engine().wait(0.2));
    EXPECT_TRUE(engine().is_running());
    auto const start = std::chrono::steady_clock::now();
    EXPECT_TRUE(engine().interrupt());
    EXPECT_TRUE(engine().wait(1.0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(engine().get_run_status().result, ModuleScripting::RESULT_INTERRUPTED);
    std::vector<ModuleScripting::Output> output;
    engine().take_output(output);
    // The interpreter is usable again, without a stale interruption.
    RunResult const after = run("print('after')\n");
    EXPECT_EQ(after.status.result, ModuleScripting::RESULT_OK);
    EXPECT_EQ(after.out, "after\n");
    EXPECT_FALSE(engine().interrupt());
}

TEST_F(PythonEngineTest, SecondRunWhileOneRunsIsRefused)
{
    ASSERT_TRUE(engine().run_script("while True:\n    pass\n", "loop.py"));
    {
        LogRecorder log;
        EXPECT_FALSE(engine().run_script("print(1)\n", "other.py"));
        EXPECT_TRUE(log.contains("a script is running already"));
        EXPECT_FALSE(engine().define("x = 1\n"));
    }
    engine().interrupt();
    EXPECT_TRUE(engine().wait(2.0));
    std::vector<ModuleScripting::Output> output;
    engine().take_output(output);
}

TEST_F(PythonEngineTest, EngineIsFoundThroughItsScriptingClass)
{
    AppObject app;
    OfClassFactory& classes = app.get_factory().get_classes();
    EXPECT_EQ(ModuleScripting::get_engine(app, "Python"), nullptr);
    ASSERT_TRUE(ModuleScripting::register_engine(classes, "Python", engine()));
    EXPECT_TRUE(classes.get("Python")->is_kindof("Scripting"));
    EXPECT_EQ(ModuleScripting::get_engine(app, "Python"), &engine());
    EXPECT_EQ(ModuleScripting::get_engine(app, "Lua"), nullptr);
    {
        LogRecorder log;
        EXPECT_FALSE(ModuleScripting::register_engine(classes, "Python", engine()));
        EXPECT_TRUE(log.contains("exists already"));
        // A class that is no scripting class has no engine.
        classes.add_class("Sphere");
        EXPECT_EQ(app.get_scripting_engine_object(*classes.get("Sphere")), nullptr);
        EXPECT_TRUE(log.contains("is no scripting class"));
    }
}

TEST(ModuleLanguageTest, NamesAreMatchedAsIdentifiersAndUnknownOnesWarn)
{
    ModuleLanguage language("Shader Lang");
    AppObject app;
    EXPECT_EQ(ModuleLanguage::get_language(app, "Shader_Lang"), &language);
    LogRecorder log;
    EXPECT_EQ(ModuleLanguage::get_language(app, "Missing"), nullptr);
    EXPECT_TRUE(log.contains("no language named 'Missing'"));
    // A second language of the same name stays unlisted and leaves the first one.
    {
        ModuleLanguage twin("Shader-Lang");
        EXPECT_TRUE(log.contains("registered already"));
        EXPECT_EQ(ModuleLanguage::find_language("Shader Lang"), &language);
    }
    EXPECT_EQ(ModuleLanguage::find_language("Shader Lang"), &language);
}

}  // namespace
