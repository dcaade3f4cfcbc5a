// The foundation tour of the showcase: what the host libraries make of the showcase
// settings, and the sample scene changed through undoable batches.
#include "demo/foundation_tour.h"

#include <atomic>
#include <map>
#include <string>

#include "demo/sample_scene.h"
#include "gui/core/gui_library.h"
#include "host/core/core_log.h"
#include "host/gmath/gmath_units.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "host/parser/parser_file.h"
#include "host/sys/sys_functions.h"
#include "host/sys/sys_thread_task.h"
#include "host/sys/sys_timer.h"


// Reads the showcase settings and reports what the foundation libraries make of them.
CoreString describe_foundation()
{
    CoreString text;
    text += GuiLibrary::get_name_and_version();
    text += "\n\n";

    ParserFile settings(sys_get_resources_dir() + "/demo/showcase.cfg");
    if (!settings.read()) {
        text += "Could not read the showcase settings (see the log).\n";
        return text;
    }
    ParserGroup const* showcase = settings.get_root().get_group("showcase");
    if (!showcase) return text + "The settings have no 'showcase' group.\n";
    text += "Settings file ";
    text += settings.get_path();
    text += ", written back in compact form:\n  ";
    text += settings.write_to_string(ParserFile::MODE_COMPACT);
    text += "\n";

    // Refused inputs are reported on the page rather than on the terminal: the showcase
    // starts quietly.
    class PageLog : public CoreLogHandler {
    public:
        PageLog() : CoreLogHandler(CORE_LOG_LEVEL_WARNING), m_previous(set_main_log_handler(this)) {}
        ~PageLog() override { set_main_log_handler(m_previous); }
        PageLog(PageLog const&) = delete;
        PageLog& operator=(PageLog const&) = delete;
        // The messages without their final line break.
        CoreString get_text() const
        {
            std::string text = m_text;
            while (!text.empty() && text.back() == '\n') text.pop_back();
            return CoreString(text.c_str());
        }

    protected:
        void write(int, std::string const& text) override { m_text += text; }

    private:
        CoreLogHandler* m_previous;
        std::string m_text;
    };

    struct Field {
        char const* entry;
        GMathUnits::Kind kind;
        char const* base;
    } const fields[] = {{"lengths", GMathUnits::KIND_LENGTH, "m"},
                        {"angles", GMathUnits::KIND_ANGLE, "deg"},
                        {"times", GMathUnits::KIND_TIME, "s"}};
    ParserGroup const* typed = showcase->get_group("typed_values");
    for (Field const& field : fields) {
        ParserEntry const* entry = typed ? typed->get_entry(field.entry) : nullptr;
        if (!entry) continue;
        for (unsigned int i = 0; i < entry->get_value_count(); ++i) {
            CoreString const& typed_text = entry->get_string(i);
            double value = 0.0;
            text += "  \"";
            text += typed_text;
            text += "\" in ";
            text += field.base;
            text += ": ";
            PageLog refusal;
            bool const read = GMathUnits::get_value_from_str_with_unit(typed_text, 24.0, field.kind,
                                                                       field.base, field.base, value);
            if (read)
                text += GMathUnits::stringify_float(value, 4);
            else
                text += CoreString("refused: ") + refusal.get_text();
            text += "\n";
        }
    }

    if (ParserEntry const* names = showcase->get_entry("names")) {
        CoreVector<CoreString> sorted;
        for (unsigned int i = 0; i < names->get_value_count(); ++i) sorted.add(names->get_string(i));
        CoreString::alpha_sort(sorted);
        text += "\nNames in natural order:";
        for (CoreString const& name : sorted) text += CoreString(" ") + name;
        text += "\n";
    }

    // A parallel sum on the host's thread tasks.
    std::atomic<long long> sum{0};
    SysTimer timer;
    SysThreadTaskManager::get_default().parallel_for(0, 1000000, [&sum](unsigned int i) { sum += i; });
    text += "\nSum of 0..999999 on ";
    text += SysThreadTaskManager::get_default().get_thread_count();
    text += " task threads: ";
    text += static_cast<long long>(sum.load());
    text += "\n";
    return text;
}

