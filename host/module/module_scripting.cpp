#include "host/module/module_scripting.h"

#include "host/app/app_object.h"
#include "host/core/core_log.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_object_factory.h"

CORE_IMPLEMENT_CLASS(ModuleScripting, OfModule)

namespace {

constexpr char const* SCRIPTING_CLASS = "Scripting";

}  // namespace

char const* ModuleScripting::get_result_name(Result const& result)
{
    switch (result) {
        case RESULT_NONE:
            return "RESULT_NONE";
        case RESULT_RUNNING:
            return "RESULT_RUNNING";
        case RESULT_OK:
            return "RESULT_OK";
        case RESULT_ERROR:
            return "RESULT_ERROR";
        case RESULT_INTERRUPTED:
            return "RESULT_INTERRUPTED";
    }
    return "RESULT_UNKNOWN";
}

bool ModuleScripting::register_engine(OfClassFactory& classes, CoreString const& class_name,
                                      ModuleScripting& engine)
{
    if (!classes.exists(SCRIPTING_CLASS) && !classes.add_class(SCRIPTING_CLASS, "", "Scripting", true))
        return false;
    if (classes.exists(class_name)) {
        CORE_LOG_WARNING("ModuleScripting.register_engine: class '" << class_name << "' exists already\n");
        return false;
    }
    OfClass* engine_class = classes.add_class(class_name, SCRIPTING_CLASS, "Scripting", true);
    if (!engine_class) return false;
    engine_class->set_module(&engine);
    return true;
}

ModuleScripting* ModuleScripting::get_engine(AppObject& app, CoreString const& name)
{
    OfClassFactory const& classes = app.get_factory().get_classes();
    OfClass const* base = classes.get(SCRIPTING_CLASS);
    if (!base) return nullptr;
    CoreString key = name;
    key.make_identifier();
    for (OfClass const* engine_class : classes.get_classes_kindof(*base)) {
        CoreString class_key = engine_class->get_name();
        if (class_key.make_identifier() != key) continue;
        OfModule* module = app.get_scripting_engine_object(*engine_class);
        if (module && module->is_kindof(ModuleScripting::class_info()))
            return static_cast<ModuleScripting*>(module);
    }
    return nullptr;
}

ModuleScripting::RunStatus ModuleScripting::get_run_status() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_status;
}

void ModuleScripting::set_run_status(RunStatus const& status)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = status;
}

bool ModuleScripting::take_output(std::vector<Output>& output)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_output.empty()) return false;
    for (Output& piece : m_output) output.push_back(std::move(piece));
    m_output.clear();
    return true;
}

void ModuleScripting::push_output(Output::Stream const& stream, CoreString const& text)
{
    if (text.is_empty()) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    // Consecutive writes to one stream join, so a print's text and its line end arrive as one.
    if (!m_output.empty() && m_output.back().stream == stream)
        m_output.back().text += text;
    else
        m_output.push_back(Output{stream, text});
}
