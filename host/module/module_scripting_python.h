#pragma once
// ModuleScriptingPython: the Python 3 engine, an interpreter embedded in the process. One
// may exist at a time: the first made starts the interpreter (isolated from the user's
// environment variables and site packages) and its destruction finalises it.
//
//     ModuleScriptingPython python;                        // language "Python", "py" files
//     ModuleScripting::register_engine(app.get_factory().get_classes(), "Python", python);
//     python.run_script("print(sum(range(10)))\n", "sum.py");
//
// Scripts run one at a time on a worker thread holding the interpreter lock, in a module
// namespace of their own that is emptied when the next run starts (its names stay offered
// for completion until then). sys.stdout and sys.stderr are replaced by writers that queue
// the text (take_output); errors are written to the error stream with their traceback, and
// the run status keeps the script line they came from. interrupt() raises KeyboardInterrupt
// in the worker, which stops any script that keeps running Python code.
#include <memory>

#include "host/module/module_scripting.h"

class QN_HOST_API ModuleScriptingPython : public ModuleScripting {
    CORE_DECLARE_CLASS(ModuleScriptingPython, ModuleScripting)

public:
    ModuleScriptingPython();
    ~ModuleScriptingPython() override;

    // False when the interpreter could not start (logged); the engine then runs nothing and
    // its language has empty tables.
    bool is_valid() const;

    ModuleLanguage* get_language() const override;
    // Keywords, built-in names and the names the script namespace defines, sorted, once each.
    void build_completion_list() override;
    // The docstring of a built-in or script name; empty for keywords and unknown names.
    CoreString get_help(CoreString const& name) override;

    bool run_script(CoreString const& text, CoreString const& file_name) override;
    bool interrupt() override;
    bool wait(double const& seconds) override;

    // Runs `text` in the script namespace on the calling thread and waits for it; for tests
    // and tools that need names defined without a worker. False on error (logged).
    bool define(CoreString const& text);

    size_t get_memory_size() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
