// The showcase application. It grows with the library: for now it shows the host
// foundation at work (settings, units, natural sorting, named events, thread tasks)
// in a plain window, until the interface's own widgets replace it.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Text_Display.H>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "gui/core/gui_library.h"
#include "host/core/core_log.h"
#include "host/event/event_id.h"
#include "host/event/event_object.h"
#include "host/gmath/gmath_units.h"
#include "host/parser/parser_file.h"
#include "host/sys/sys_functions.h"
#include "host/sys/sys_thread_task.h"
#include "host/sys/sys_timer.h"

EVENT_DEFINE_ID(EVT_ID_DEMO_BUTTON_PRESSED);

namespace {

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
            bool const read = GMathUnits::get_value_from_str_with_unit(typed_text, 24.0, field.kind,
                                                                       field.base, field.base, value);
            if (read)
                text += GMathUnits::stringify_float(value, 4);
            else
                text += "refused (see the log)";
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

// Counts the named events the button raises through a connected receiver.
class PressCounter : public EventObject {
public:
    void on_pressed(EventObject&, EventObject::EventInfo const&, void* data)
    {
        ++m_count;
        auto* button = static_cast<Fl_Button*>(data);
        m_label = "Raise EVT_ID_DEMO_BUTTON_PRESSED (received ";
        m_label += m_count;
        m_label += ")";
        button->label(m_label.c_str());
    }

private:
    int m_count = 0;
    CoreString m_label;
};

}  // namespace

int main(int argc, char** argv)
{
    // --quit-after <seconds>: leave on its own, for smoke tests.
    double quit_after = -1.0;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--quit-after") == 0) quit_after = std::atof(argv[i + 1]);

    EventObject source;
    PressCounter counter;

    Fl_Double_Window window(960, 640, "qn_gui showcase");
    Fl_Text_Buffer buffer;
    Fl_Text_Display display(10, 10, 940, 570);
    display.buffer(&buffer);
    display.textfont(FL_COURIER);
    Fl_Button button(10, 590, 420, 40, "Raise EVT_ID_DEMO_BUTTON_PRESSED");
    counter.connect(source, EVT_ID_DEMO_BUTTON_PRESSED, &PressCounter::on_pressed, &button);
    button.callback(
        [](Fl_Widget*, void* data) {
            static_cast<EventObject*>(data)->raise_event(EVT_ID_DEMO_BUTTON_PRESSED);
        },
        &source);
    window.resizable(display);
    window.end();

    buffer.text(describe_foundation().c_str());
    window.show();
    if (quit_after >= 0.0)
        Fl::add_timeout(quit_after, [](void* w) { static_cast<Fl_Window*>(w)->hide(); }, &window);
    return Fl::run();
}
