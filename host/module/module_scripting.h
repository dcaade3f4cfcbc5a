#pragma once
// ModuleScripting: a scripting engine of the application, the module of a scene class
// derived from "Scripting". It offers its language (ModuleLanguage), builds the language's
// completion list, gives help on a name, and runs scripts on a worker thread of its own:
// what a script prints is queued (take_output) for the application thread to show, and a
// run can be interrupted from any thread.
//
//     ModuleScripting::register_engine(app.get_factory().get_classes(), "Python", engine);
//     ModuleScripting* scripting = ModuleScripting::get_engine(app, "Python");
//     scripting->run_script(text, "script.py");
//     ...                                            // from a timer, on the application thread
//     std::vector<ModuleScripting::Output> output;
//     scripting->take_output(output);
//     if (!scripting->is_running()) status = scripting->get_run_status();
#include <atomic>
#include <mutex>
#include <vector>

#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/of/of_module.h"

class AppObject;
class ModuleLanguage;
class OfClassFactory;

class QN_HOST_API ModuleScripting : public OfModule {
    CORE_DECLARE_CLASS(ModuleScripting, OfModule)

public:
    // What a finished (or running) script came to.
    enum Result : int {
        RESULT_NONE = 0,  // nothing was run yet
        RESULT_RUNNING = 1,
        RESULT_OK = 2,
        RESULT_ERROR = 3,        // a syntax error or an exception: see the line
        RESULT_INTERRUPTED = 4,  // stopped by interrupt()
    };
    // "RESULT_NONE", ...; "RESULT_UNKNOWN" for other values.
    static char const* get_result_name(Result const& result);

    struct RunStatus {
        Result result = RESULT_NONE;
        // The 1-based line of the script where the error was raised; 0 when none is known.
        int error_line = 0;
        // The error's one-line description ("NameError: name 'x' is not defined").
        CoreString error;
    };

    // A piece of text a script wrote, and where to.
    struct Output {
        enum Stream : int { STREAM_OUT = 0, STREAM_ERROR = 1 };
        Stream stream = STREAM_OUT;
        CoreString text;
    };

    ModuleScripting() = default;
    ~ModuleScripting() override = default;

    // Adds `class_name`, deriving from the abstract class "Scripting" (added first when the
    // scene has none), with `engine` as its module. False (logged) when the class exists.
    static bool register_engine(OfClassFactory& classes, CoreString const& class_name,
                                ModuleScripting& engine);
    // The engine of the scene class derived from "Scripting" whose name, made an identifier,
    // equals `name` made one (AppObject::get_scripting_engine_object); null when none is.
    static ModuleScripting* get_engine(AppObject& app, CoreString const& name);

    // The engine's language; null when it has none.
    virtual ModuleLanguage* get_language() const = 0;
    virtual bool use_completion() const { return true; }
    // Fills the language's completion list from what the engine knows now and clears its
    // rebuild flag. Application thread.
    virtual void build_completion_list() = 0;
    // Help on a name of the completion list; empty when the engine has none.
    virtual CoreString get_help(CoreString const& name) = 0;

    // --- Running ---
    // Starts `text` on the engine's worker thread; `file_name` names the script in error
    // reports. False (logged) while another script runs.
    virtual bool run_script(CoreString const& text, CoreString const& file_name) = 0;
    bool is_running() const { return m_running.load(); }
    // Asks the running script to stop; false when nothing runs. Any thread.
    virtual bool interrupt() = 0;
    // Waits for the running script to end, at most `seconds`; true when nothing runs.
    virtual bool wait(double const& seconds) = 0;
    RunStatus get_run_status() const;
    // Moves the queued output into `output` (appended); false when there was none.
    bool take_output(std::vector<Output>& output);

protected:
    // Queues text written by the script (any thread).
    void push_output(Output::Stream const& stream, CoreString const& text);
    void set_run_status(RunStatus const& status);
    std::atomic<bool> m_running{false};

private:
    mutable std::mutex m_mutex;
    std::vector<Output> m_output;
    RunStatus m_status;
};
