#pragma once
// The foundation tour of the showcase: what the host libraries make of the showcase
// settings, and the sample scene changed through undoable batches.
#include <map>
#include <string>
#include <vector>

#include "demo/sample_scene.h"
#include "host/core/core_string.h"
#include "host/app/of_app.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_handle.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

// Reads the showcase settings and reports what the foundation libraries make of them.
CoreString describe_foundation();

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

    // One line: how many objects in how many contexts.
    CoreString summary() const
    {
        return CoreString("Sample scene: ") + m_scene.get_root().get_all_objects().get_count() + " objects in " +
               count_contexts(m_scene.get_root()) + " contexts";
    }

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

