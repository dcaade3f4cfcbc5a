#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "host/module/module_scripting_python.h"

#include <chrono>
#include <condition_variable>
#include <thread>

#include "host/core/core_log.h"
#include "host/module/module_language.h"

CORE_IMPLEMENT_CLASS(ModuleScriptingPython, ModuleScripting)

namespace {

// Only one interpreter per process: the engine that started it finalises it.
std::atomic<bool> g_engine_alive{false};

// Run once in a private namespace when the interpreter starts. `_qn_write(stream, text)` is
// the engine's queue, given to the namespace before this runs.
constexpr char const* SETUP_CODE = R"PY(
import builtins, keyword, sys

class _QnStream:
    encoding = 'utf-8'
    errors = 'replace'

    def __init__(self, stream):
        self._stream = stream

    def write(self, text):
        if not isinstance(text, str):
            raise TypeError('write() argument must be str, not ' + type(text).__name__)
        _qn_write(self._stream, text)
        return len(text)

    def writelines(self, lines):
        for line in lines:
            self.write(line)

    def flush(self):
        pass

    def isatty(self):
        return False

    def writable(self):
        return True

sys.stdout = _QnStream(0)
sys.stderr = _QnStream(1)

_qn_constants = ['True', 'False', 'None']
_qn_keywords = [k for k in keyword.kwlist if k not in _qn_constants]
_qn_reserved = _qn_constants + [k for k in getattr(keyword, 'softkwlist', []) if k.isalpha()]
_qn_builtins = sorted(n for n in dir(builtins) if not n.startswith('_'))

def _qn_names(namespace):
    names = set(keyword.kwlist) | set(_qn_builtins)
    names.update(n for n in namespace if isinstance(n, str) and not n.startswith('__'))
    return sorted(names)

def _qn_help(namespace, name):
    import inspect, reprlib
    if keyword.iskeyword(name):
        return ''
    if name in namespace:
        value = namespace[name]
    elif hasattr(builtins, name):
        value = getattr(builtins, name)
    else:
        return ''
    if callable(value) or inspect.ismodule(value):
        return inspect.getdoc(value) or ''
    return name + ': ' + type(value).__name__ + ' = ' + reprlib.repr(value)
)PY";

CoreVector<CoreString> to_strings(PyObject* list)
{
    CoreVector<CoreString> strings;
    if (!list || !PyList_Check(list)) return strings;
    Py_ssize_t const count = PyList_Size(list);
    strings.reserve(static_cast<unsigned int>(count));
    for (Py_ssize_t i = 0; i < count; ++i) {
        char const* text = PyUnicode_AsUTF8(PyList_GetItem(list, i));
        if (text)
            strings.add(CoreString(text));
        else
            PyErr_Clear();
    }
    return strings;
}

CoreString to_string(PyObject* object)
{
    if (!object) return CoreString();
    PyObject* text = PyObject_Str(object);
    CoreString result;
    char const* data = text ? PyUnicode_AsUTF8(text) : nullptr;
    if (data) result = CoreString(data);
    if (!data) PyErr_Clear();
    Py_XDECREF(text);
    return result;
}

// The integer attribute `name` of `object`; 0 when absent.
long get_long_attr(PyObject* object, char const* name)
{
    PyObject* value = PyObject_GetAttrString(object, name);
    long const result = value && PyLong_Check(value) ? PyLong_AsLong(value) : 0;
    Py_XDECREF(value);
    if (PyErr_Occurred()) PyErr_Clear();
    return result;
}

CoreString get_string_attr(PyObject* object, char const* name)
{
    PyObject* value = PyObject_GetAttrString(object, name);
    CoreString const result = value && PyUnicode_Check(value) ? to_string(value) : CoreString();
    Py_XDECREF(value);
    if (PyErr_Occurred()) PyErr_Clear();
    return result;
}

}  // namespace

struct ModuleScriptingPython::Impl {
    ModuleScriptingPython* owner = nullptr;
    std::unique_ptr<ModuleLanguage> language;
    bool valid = false;
    bool owns_interpreter = false;
    // The starting thread's state, released while the engine lives so that workers take the lock.
    PyThreadState* main_state = nullptr;
    // The script namespace and the setup namespace (its helpers); owned references.
    PyObject* globals = nullptr;
    PyObject* setup = nullptr;
    PyObject* capsule = nullptr;
    PyMethodDef write_def{"_qn_write", &Impl::write, METH_VARARGS, nullptr};

    std::thread worker;
    std::mutex done_mutex;
    std::condition_variable done_condition;
    bool done = true;
    // The worker's interpreter thread id while it evaluates the script; read and written
    // with the interpreter lock held.
    unsigned long worker_id = 0;
    bool interrupt_requested = false;

    static PyObject* write(PyObject* self, PyObject* args)
    {
        auto* impl = static_cast<Impl*>(PyCapsule_GetPointer(self, "qn_engine"));
        int stream = 0;
        char const* text = nullptr;
        Py_ssize_t length = 0;
        if (!impl || !PyArg_ParseTuple(args, "is#", &stream, &text, &length)) return nullptr;
        impl->owner->push_output(stream == 1 ? Output::STREAM_ERROR : Output::STREAM_OUT,
                                 CoreString(text, static_cast<int>(length)));
        Py_RETURN_NONE;
    }

    bool start();
    void stop();
    void fill_language();
    void reset_namespace(CoreString const& file_name);
    void run(CoreString const& text, CoreString const& file_name);
    // Writes the pending exception to the error stream and describes it; clears it.
    RunStatus report_error(CoreString const& file_name);
};

bool ModuleScriptingPython::Impl::start()
{
    if (g_engine_alive.exchange(true)) {
        CORE_LOG_ERROR("ModuleScriptingPython.ModuleScriptingPython: a Python engine exists already\n");
        return false;
    }
    if (Py_IsInitialized()) {
        // Someone else's interpreter: it is neither used nor finalised here.
        g_engine_alive = false;
        CORE_LOG_ERROR(
            "ModuleScriptingPython.ModuleScriptingPython: the interpreter was started elsewhere\n");
        return false;
    }
    owns_interpreter = true;
    PyConfig config;
    // Isolated: the user's PYTHONPATH, PYTHONHOME and site packages do not change what scripts
    // see, and the process keeps its own signal handlers.
    PyConfig_InitIsolatedConfig(&config);
    config.install_signal_handlers = 0;
#ifdef QN_PYTHON_HOME
    PyConfig_SetBytesString(&config, &config.home, QN_PYTHON_HOME);
#endif
    PyStatus status = Py_InitializeFromConfig(&config);
    PyConfig_Clear(&config);
    if (PyStatus_Exception(status)) {
        CORE_LOG_ERROR("ModuleScriptingPython.ModuleScriptingPython: the interpreter did not start: "
                       << (status.err_msg ? status.err_msg : "unknown error") << "\n");
        return false;
    }

    setup = PyDict_New();
    globals = PyDict_New();
    capsule = PyCapsule_New(this, "qn_engine", nullptr);
    PyObject* write_function = PyCFunction_New(&write_def, capsule);
    PyDict_SetItemString(setup, "__builtins__", PyEval_GetBuiltins());
    PyDict_SetItemString(setup, "_qn_write", write_function);
    Py_XDECREF(write_function);
    PyObject* result = PyRun_String(SETUP_CODE, Py_file_input, setup, setup);
    if (!result) {
        PyErr_Print();
        CORE_LOG_ERROR(
            "ModuleScriptingPython.ModuleScriptingPython: the output writers could not be set up\n");
        main_state = PyEval_SaveThread();
        return false;
    }
    Py_DECREF(result);
    reset_namespace("<script>");
    fill_language();
    main_state = PyEval_SaveThread();
    return true;
}

void ModuleScriptingPython::Impl::fill_language()
{
    language->set_keywords(to_strings(PyDict_GetItemString(setup, "_qn_keywords")));
    language->set_reserved_keywords(to_strings(PyDict_GetItemString(setup, "_qn_reserved")));
    language->set_preprocessor_keywords(to_strings(PyDict_GetItemString(setup, "_qn_builtins")));
}

void ModuleScriptingPython::Impl::reset_namespace(CoreString const& file_name)
{
    PyDict_Clear(globals);
    PyDict_SetItemString(globals, "__builtins__", PyEval_GetBuiltins());
    PyObject* name = PyUnicode_FromString("__main__");
    PyDict_SetItemString(globals, "__name__", name);
    Py_XDECREF(name);
    PyObject* file = PyUnicode_FromString(file_name.c_str());
    if (file) PyDict_SetItemString(globals, "__file__", file);
    Py_XDECREF(file);
    if (PyErr_Occurred()) PyErr_Clear();
}

void ModuleScriptingPython::Impl::stop()
{
    if (worker.joinable()) {
        owner->interrupt();
        worker.join();
    }
    if (owns_interpreter && Py_IsInitialized()) {
        if (main_state) PyEval_RestoreThread(main_state);
        Py_CLEAR(globals);
        Py_CLEAR(setup);
        Py_CLEAR(capsule);
        if (Py_FinalizeEx() < 0)
            CORE_LOG_WARNING("ModuleScriptingPython.stop: the interpreter did not end cleanly\n");
    }
    if (owns_interpreter) g_engine_alive = false;
}

ModuleScripting::RunStatus ModuleScriptingPython::Impl::report_error(CoreString const& file_name)
{
    PyObject *type = nullptr, *value = nullptr, *traceback = nullptr;
    PyErr_Fetch(&type, &value, &traceback);
    PyErr_NormalizeException(&type, &value, &traceback);
    if (traceback && value) PyException_SetTraceback(value, traceback);
    RunStatus status;
    status.result = RESULT_ERROR;
    if (type && PyErr_GivenExceptionMatches(type, PyExc_SystemExit)) {
        // sys.exit() ends a script; it is no error.
        status.result = RESULT_OK;
    } else if (type) {
        if (PyErr_GivenExceptionMatches(type, PyExc_KeyboardInterrupt)) status.result = RESULT_INTERRUPTED;
        if (PyErr_GivenExceptionMatches(type, PyExc_SyntaxError) &&
            get_string_attr(value, "filename") == file_name)
            status.error_line = static_cast<int>(get_long_attr(value, "lineno"));
        // The innermost frame of the script itself: deeper frames belong to what it called.
        for (PyObject* step = traceback; step && step != Py_None;) {
            PyObject* frame = PyObject_GetAttrString(step, "tb_frame");
            PyObject* code = frame ? PyObject_GetAttrString(frame, "f_code") : nullptr;
            if (code && get_string_attr(code, "co_filename") == file_name)
                status.error_line = static_cast<int>(get_long_attr(step, "tb_lineno"));
            Py_XDECREF(code);
            Py_XDECREF(frame);
            PyObject* next = PyObject_GetAttrString(step, "tb_next");
            if (step != traceback) Py_DECREF(step);
            step = next;
            if (step == Py_None) {
                Py_DECREF(step);
                break;
            }
        }
        if (PyErr_Occurred()) PyErr_Clear();
        status.error = CoreString(reinterpret_cast<PyTypeObject*>(type)->tp_name);
        CoreString const message = to_string(value);
        if (!message.is_empty()) status.error += CoreString(": ") + message;
        if (status.result == RESULT_ERROR) PyErr_Display(type, value, traceback);
    }
    Py_XDECREF(type);
    Py_XDECREF(value);
    Py_XDECREF(traceback);
    if (PyErr_Occurred()) PyErr_Clear();
    return status;
}

void ModuleScriptingPython::Impl::run(CoreString const& text, CoreString const& file_name)
{
    PyGILState_STATE const gil = PyGILState_Ensure();
    reset_namespace(file_name);
    RunStatus status;
    status.result = RESULT_OK;
    PyObject* code = Py_CompileString(text.c_str(), file_name.c_str(), Py_file_input);
    if (!code) {
        status = report_error(file_name);
    } else if (interrupt_requested) {
        // Stopped before it started.
        status.result = RESULT_INTERRUPTED;
    } else {
        worker_id = PyThread_get_thread_ident();
        PyObject* result = PyEval_EvalCode(code, globals, globals);
        unsigned long const id = worker_id;
        worker_id = 0;
        // A request that came after the last instruction would fire in the next Python code
        // this thread runs: drop it.
        PyThreadState_SetAsyncExc(id, nullptr);
        if (result)
            Py_DECREF(result);
        else
            status = report_error(file_name);
    }
    Py_XDECREF(code);
    PyGILState_Release(gil);
    owner->set_run_status(status);
    {
        std::lock_guard<std::mutex> lock(done_mutex);
        done = true;
        owner->m_running = false;
    }
    done_condition.notify_all();
}

ModuleScriptingPython::ModuleScriptingPython() : m_impl(std::make_unique<Impl>())
{
    m_impl->owner = this;
    m_impl->language = std::make_unique<ModuleLanguage>("Python");
    ModuleLanguage& language = *m_impl->language;
    language.set_line_comments({"#"});
    language.set_strings({"\"", "'"});
    language.set_operators({"+", "-", "*", "/", "%", "=", "(",  ")", "<", ">", "[", "]",
                            "{", "}", ",", ":", ";", ".", "!=", "&", "|", "^", "~", "@"});
    language.set_extensions({"py"});
    m_impl->valid = m_impl->start();
}

ModuleScriptingPython::~ModuleScriptingPython()
{
    m_impl->stop();
}

bool ModuleScriptingPython::is_valid() const
{
    return m_impl->valid;
}

ModuleLanguage* ModuleScriptingPython::get_language() const
{
    return m_impl->language.get();
}

void ModuleScriptingPython::build_completion_list()
{
    ModuleLanguage& language = *m_impl->language;
    // A running script holds the interpreter: the list stays as it was and is built again later.
    if (!m_impl->valid || is_running()) return;
    PyGILState_STATE const gil = PyGILState_Ensure();
    PyObject* function = PyDict_GetItemString(m_impl->setup, "_qn_names");
    PyObject* names = function ? PyObject_CallOneArg(function, m_impl->globals) : nullptr;
    if (names) {
        language.set_completion_list(to_strings(names));
        language.set_rebuild_completion(false);
    } else {
        PyErr_Clear();
        CORE_LOG_WARNING("ModuleScriptingPython.build_completion_list: the names could not be listed\n");
    }
    Py_XDECREF(names);
    PyGILState_Release(gil);
}

CoreString ModuleScriptingPython::get_help(CoreString const& name)
{
    if (!m_impl->valid || is_running() || name.is_empty()) return CoreString();
    PyGILState_STATE const gil = PyGILState_Ensure();
    CoreString help;
    PyObject* function = PyDict_GetItemString(m_impl->setup, "_qn_help");
    PyObject* text =
        function ? PyObject_CallFunction(function, "Os", m_impl->globals, name.c_str()) : nullptr;
    if (text && PyUnicode_Check(text)) help = to_string(text);
    Py_XDECREF(text);
    if (PyErr_Occurred()) PyErr_Clear();
    PyGILState_Release(gil);
    return help;
}

bool ModuleScriptingPython::run_script(CoreString const& text, CoreString const& file_name)
{
    if (!m_impl->valid) {
        CORE_LOG_ERROR("ModuleScriptingPython.run_script: the interpreter is not running\n");
        return false;
    }
    if (is_running()) {
        CORE_LOG_WARNING("ModuleScriptingPython.run_script: a script is running already\n");
        return false;
    }
    if (m_impl->worker.joinable()) m_impl->worker.join();
    {
        std::lock_guard<std::mutex> lock(m_impl->done_mutex);
        m_impl->done = false;
        m_running = true;
    }
    // Written before the worker exists; afterwards only with the interpreter lock held.
    m_impl->interrupt_requested = false;
    m_impl->language->set_rebuild_completion(true);
    RunStatus running;
    running.result = RESULT_RUNNING;
    set_run_status(running);
    CoreString const name = file_name.is_empty() ? CoreString("<script>") : file_name;
    m_impl->worker = std::thread(&Impl::run, m_impl.get(), text, name);
    return true;
}

bool ModuleScriptingPython::interrupt()
{
    if (!m_impl->valid || !is_running()) return false;
    PyGILState_STATE const gil = PyGILState_Ensure();
    m_impl->interrupt_requested = true;
    if (m_impl->worker_id != 0) PyThreadState_SetAsyncExc(m_impl->worker_id, PyExc_KeyboardInterrupt);
    PyGILState_Release(gil);
    return true;
}

bool ModuleScriptingPython::wait(double const& seconds)
{
    std::unique_lock<std::mutex> lock(m_impl->done_mutex);
    return m_impl->done_condition.wait_for(lock, std::chrono::duration<double>(seconds),
                                           [this] { return m_impl->done; });
}

bool ModuleScriptingPython::define(CoreString const& text)
{
    if (!m_impl->valid || is_running()) {
        CORE_LOG_WARNING("ModuleScriptingPython.define: the interpreter is busy or not running\n");
        return false;
    }
    PyGILState_STATE const gil = PyGILState_Ensure();
    PyObject* result = PyRun_String(text.c_str(), Py_file_input, m_impl->globals, m_impl->globals);
    bool const ok = result != nullptr;
    if (ok) {
        Py_DECREF(result);
    } else {
        RunStatus const status = m_impl->report_error("<string>");
        CORE_LOG_WARNING("ModuleScriptingPython.define: " << status.error << "\n");
    }
    m_impl->language->set_rebuild_completion(true);
    PyGILState_Release(gil);
    return ok;
}

size_t ModuleScriptingPython::get_memory_size() const
{
    return sizeof(ModuleScriptingPython) + sizeof(Impl) + m_impl->language->get_memory_size();
}
