// The showcase application. It grows with the library: for now it shows the host
// foundation at work (settings, units, natural sorting, named events, thread tasks) and the
// sample scene with its undo history in a plain window, until the interface's own widgets
// replace it.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Text_Display.H>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "demo/sample_scene.h"
#include "gui/core/gui_library.h"
#include "host/core/core_log.h"
#include "host/event/event_id.h"
#include "host/event/event_object.h"
#include "host/gmath/gmath_units.h"
#include "host/of/of_app.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_handle.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
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

// The sample scene in the application's factory, changed by the buttons through undoable
// batches, and what the panel says about it.
class SceneTour {
public:
    explicit SceneTour(OfApp& app) : m_scene(app.get_factory())
    {
        SampleScene::build(m_scene);
        m_scene.get_command_manager().clear();
        m_dumps.push_back(m_scene.dump_text().std_string());
        // Kept as handles, which follow the items through renames, deletions and undo.
        for (char const* path :
             {"/render/final", "/geometry/props/block_0/prop_4/body", "/materials/block_0/prop_3",
              "/geometry/props/block_0/prop_5/handle", "/lights/practicals/practical_0"})
            m_shown.push_back(OfObjectHandle(m_scene.get_object(path)));
        m_status = "Built as it is listed above.";
    }

    void rename()
    {
        OfCommandManager& commands = m_scene.get_command_manager();
        CoreVector<OfObject*> const objects = SampleScene::pick_objects(m_scene, 100, m_renames++);
        unsigned int const renamed = SampleScene::rename_objects(objects, "_r", "Rename 100 Objects");
        m_dumps.resize(commands.get_undo_count());
        m_dumps.push_back(m_scene.dump_text().std_string());
        m_status = CoreString("Renamed ") + renamed + " objects in one batch.";
    }

    void undo() { step(true); }
    void redo() { step(false); }

    // The section of the panel about the scene.
    CoreString describe() const
    {
        CoreVector<OfObject*> const objects = m_scene.get_root().get_all_objects();
        std::map<std::string, unsigned int> by_category;
        for (OfObject const* object : objects) ++by_category[object->get_class().get_category().std_string()];
        CoreString text("\nSample scene: ");
        text += objects.get_count();
        text += " objects in ";
        text += count_contexts(m_scene.get_root());
        text += " contexts.\n  Objects by category:";
        char const* separator = " ";
        for (auto const& [category, count] : by_category) {
            text += CoreString(separator) + (category.empty() ? "(none)" : category.c_str()) + " " + count;
            separator = ", ";
        }
        text += "\n  Top-level contexts:";
        for (OfContext const* context : m_scene.get_root().get_contexts()) {
            if (context->is_shadowed()) continue;
            text += CoreString(" ") + context->get_full_name() + " (" +
                    context->get_all_objects().get_count() + ")";
            if (context->is_reference()) text += " [reference]";
        }
        text += "\n  A few items and what they read:\n";
        for (OfObjectHandle const& handle : m_shown) {
            if (OfObject const* object = handle.to_object()) text += describe_links(*object);
        }
        OfCommandManager const& commands = m_scene.get_command_manager();
        text += "  Undo: \"";
        text += commands.get_undo_label();
        text += "\"   Redo: \"";
        text += commands.get_redo_label();
        text += "\"   Steps in the history: ";
        text += commands.get_undo_count() + commands.get_redo_count();
        text += "\n  ";
        text += m_status;
        text += "\n";
        return text;
    }

private:
    static unsigned int count_contexts(OfContext const& context)
    {
        unsigned int count = 0;
        for (OfContext const* child : context.get_contexts()) count += 1 + count_contexts(*child);
        return count;
    }

    // One line per item: its references, input connections and instance source.
    static CoreString describe_links(OfObject const& object)
    {
        CoreString text = CoreString("    ") + object.get_full_name() + " (" + object.get_class_name() + ")";
        if (OfObject const* source = object.get_source())
            text += CoreString(", instance of ") + source->get_full_name();
        for (unsigned int i = 0; i < object.get_attr_count(); ++i) {
            OfAttr const* attr = object.get_attr(i);
            if (attr->is_connected() && attr->get_input()) {
                text +=
                    CoreString("\n      ") + attr->get_name() + " <- " + attr->get_input()->get_full_name();
            } else if (attr->get_type() == OfPlugType::TYPE_REFERENCE && attr->get_value_count() > 0) {
                text += CoreString("\n      ") + attr->get_name() + " -> ";
                OfObject const* first = attr->get_object(0);
                text += first ? first->get_full_name() : CoreString("(nothing)");
                if (attr->get_value_count() > 1)
                    text += CoreString(" and ") + (attr->get_value_count() - 1) + " more";
            }
        }
        return text + "\n";
    }

    // Undoes or redoes one step and says whether the scene is back to the state recorded at
    // that point of the history.
    void step(bool const& back)
    {
        OfCommandManager& commands = m_scene.get_command_manager();
        CoreString const label = back ? commands.get_undo_label() : commands.get_redo_label();
        if (!(back ? commands.undo() : commands.redo())) {
            m_status = back ? "Nothing to undo." : "Nothing to redo.";
            return;
        }
        std::string const dump = m_scene.dump_text().std_string();
        unsigned int const at = commands.get_undo_count();
        m_status = CoreString(back ? "Undid \"" : "Redid \"") + label + "\": the scene's dump ";
        m_status += at < m_dumps.size() && dump == m_dumps[at] ? "matches" : "DIFFERS FROM";
        m_status += back ? " the one before that step" : " the one after that step";
        m_status += dump == m_dumps[0] ? " (and the scene as built)." : ".";
    }

    OfObjectFactory& m_scene;
    std::vector<std::string> m_dumps;  // the scene after each step of the history, as built first
    std::vector<OfObjectHandle> m_shown;
    unsigned int m_renames = 0;
    CoreString m_status;
};

// What the panel shows: the foundation tour, read once, and the scene's section.
struct Panel {
    Fl_Text_Buffer* buffer;
    SceneTour* tour;
    CoreString foundation;

    void refresh() { buffer->text((foundation + tour->describe()).c_str()); }
};

// A button that runs one of the tour's changes and refreshes the panel.
template <void (SceneTour::*CHANGE)()>
void on_scene_button(Fl_Widget*, void* data)
{
    Panel* panel = static_cast<Panel*>(data);
    (panel->tour->*CHANGE)();
    panel->refresh();
}

}  // namespace

int main(int argc, char** argv)
{
    // --quit-after <seconds>: leave on its own, for smoke tests.
    double quit_after = -1.0;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--quit-after") == 0) quit_after = std::atof(argv[i + 1]);

    OfApp app(argc, argv);
    SceneTour tour(app);
    EventObject source;
    PressCounter counter;

    Fl_Double_Window window(960, 640, "qn_gui showcase");
    Fl_Text_Buffer buffer;
    Fl_Text_Display display(10, 10, 940, 570);
    display.buffer(&buffer);
    display.textfont(FL_COURIER);
    display.wrap_mode(Fl_Text_Display::WRAP_AT_BOUNDS, 0);
    Fl_Button button(10, 590, 400, 40, "Raise EVT_ID_DEMO_BUTTON_PRESSED");
    counter.connect(source, EVT_ID_DEMO_BUTTON_PRESSED, &PressCounter::on_pressed, &button);
    button.callback(
        [](Fl_Widget*, void* data) {
            static_cast<EventObject*>(data)->raise_event(EVT_ID_DEMO_BUTTON_PRESSED);
        },
        &source);
    Panel panel{&buffer, &tour, describe_foundation()};
    Fl_Button rename(420, 590, 190, 40, "Rename 100 objects");
    rename.callback(on_scene_button<&SceneTour::rename>, &panel);
    Fl_Button undo(620, 590, 160, 40, "Undo");
    undo.callback(on_scene_button<&SceneTour::undo>, &panel);
    Fl_Button redo(790, 590, 160, 40, "Redo");
    redo.callback(on_scene_button<&SceneTour::redo>, &panel);
    window.resizable(display);
    window.end();

    panel.refresh();
    window.show();
    if (quit_after >= 0.0)
        Fl::add_timeout(quit_after, [](void* w) { static_cast<Fl_Window*>(w)->hide(); }, &window);
    return Fl::run();
}
