#pragma once
// The scene: its contexts and objects, its classes, its command history and its variables.
// It makes and finds items and raises the framework's events (of_event.h) on itself.
//
//     OfObjectFactory& scene = app.get_factory();
//     OfClass* sphere = scene.get_classes().add_class("Sphere");
//     sphere->add_attr("radius", OfPlugType::TYPE_DOUBLE).set_default_double(1.0);
//     OfContext* geometry = scene.create_context("geometry");    // "/geometry"
//     OfObject* ball = scene.create_object("Sphere", "ball", geometry);
//     ball->get_attr("radius")->set_double(2.5);
//     scene.get_object("/geometry/ball") == ball;
//
// Layout: the root context "/" is the project (get_root and get_project); new items go to
// the default context (the root unless set_default chose another); the build context
// "/build" holds build packages, is shadowed (item views skip it) and, like the root, locked.
//
// Every change is a command (of_command_manager.h) and can be undone. Relations between
// items (get_items_...) take objects and contexts; a context stands for every object in
// it, and results exclude the given items themselves.
#include <memory>

#include "host/core/core_export.h"
#include "host/core/core_hash_table.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/event/event_object.h"
#include "host/of/of_context.h"

class OfApp;
class OfAttr;
class OfClassFactory;
class OfCommandManager;
class OfHandle;
class OfObject;
class OfOutput;
class ParserGroup;
struct OfEventData;

class QN_HOST_API OfObjectFactory : public EventObject {
    CORE_DECLARE_CLASS(OfObjectFactory, EventObject)

public:
    explicit OfObjectFactory(OfApp* app = nullptr);
    ~OfObjectFactory() override;

    OfApp* get_application() const { return m_app; }
    OfClassFactory& get_classes() const { return *m_classes; }
    OfCommandManager& get_command_manager() const { return *m_commands; }

    OfContext& get_root() const { return *m_root; }
    OfContext& get_project() const { return *m_root; }
    OfContext& get_build() const { return *m_build; }
    OfContext& get_default() const;
    // Refused (with a message) for a context not in this scene.
    bool set_default(OfContext& context);

    // Items by path (see of_item.h); a relative path starts in `from` (the default context
    // when null). Null when nothing of that kind has that path.
    OfItem* get_item(CoreBasicString const& path, OfContext const* from = nullptr) const;
    OfContext* get_context(CoreBasicString const& path, OfContext const* from = nullptr) const;
    OfObject* get_object(CoreBasicString const& path, OfContext const* from = nullptr) const;
    OfAttr* get_attr(CoreBasicString const& path, OfContext const* from = nullptr) const;
    OfOutput* get_output(CoreBasicString const& path, OfContext const* from = nullptr) const;
    // A handle of whatever the path names (item, attribute or output); empty when nothing.
    OfHandle get_handle(CoreBasicString const& path, OfContext const* from = nullptr) const;
    bool object_exists(CoreBasicString const& path) const { return get_object(path) != nullptr; }
    bool context_exists(CoreBasicString const& path) const { return get_context(path) != nullptr; }

    // The current time of the scene, in frames.
    double const& get_time() const { return m_time; }
    void set_time(double const& time) { m_time = time; }
    // Project variables, expanded in paths as $NAME or ${NAME} (OfExpression). "PDIR", the
    // project folder, is set to the working folder at construction.
    CoreHashTableDense<CoreString, CoreString> const& get_vars() const { return m_vars; }
    // Names follow the item naming rule; others are refused with a message.
    bool set_var(CoreBasicString const& name, CoreBasicString const& value);
    bool get_var(CoreBasicString const& name, CoreString& value) const;
    bool remove_var(CoreBasicString const& name);

    // Making items; each is one command. An empty name takes the class's default object
    // name (the context's "context"); a taken name the next free one. A null context means
    // the default context (create_instance: the source's context). Null, with one message,
    // when refused: unknown, abstract or embedded-only class, invalid name, context not in
    // the scene or not writable.
    OfObject* create_object(CoreBasicString const& class_name, CoreBasicString const& name = "",
                            OfContext* context = nullptr);
    OfContext* create_context(CoreBasicString const& name, OfContext* parent = nullptr,
                              OfContextEngine::Kind const& kind = OfContextEngine::KIND_PROJECT);
    OfObject* create_instance(OfObject& source, CoreBasicString const& name = "",
                              OfContext* context = nullptr);
    // Copies items (with what they hold) into `target`, keeping their names when free. Links
    // between copied objects are remapped to the copies; links to other objects are kept.
    // One batch "Copy Items"; returns the copies (of the items that could be copied).
    CoreVector<OfItem*> copy_items(CoreBasicArray<OfItem*> const& items, OfContext& target);
    // Deletes items (one batch "Delete Items"); items inside other given items are deleted
    // with them. False when any was refused (locked, in a reference, of another scene).
    bool delete_items(CoreBasicArray<OfItem*> const& items);
    // Moves items into `target` (one batch "Move Items"). False when any was refused.
    bool move_items(CoreBasicArray<OfItem*> const& items, OfContext& target);

    // Relations: objects the items read from directly (references, connections, sources),
    // objects that read them directly, everything they read from through any chain, their
    // instances and their sources. Each result once, in the order found.
    CoreVector<OfItem*> get_items_inputs(CoreBasicArray<OfItem*> const& items) const;
    CoreVector<OfItem*> get_items_outputs(CoreBasicArray<OfItem*> const& items) const;
    CoreVector<OfItem*> get_items_dependencies(CoreBasicArray<OfItem*> const& items) const;
    CoreVector<OfItem*> get_items_instances(CoreBasicArray<OfItem*> const& items) const;
    CoreVector<OfItem*> get_items_sources(CoreBasicArray<OfItem*> const& items) const;

    // The item the last framework event was about (null when none, or once freed), and the
    // same when it is an object (a context).
    OfItem* get_last_event_item() const;
    OfObject* get_last_event_object() const;
    OfContext* get_last_event_context() const;

    // Empties the scene (the root and build contexts stay, emptied) and the command history;
    // raises EVT_ID_OF_REMOVE_ALL_OBJECTS. Not undoable.
    void clear();

    // The whole scene as a tree: every item with its class, flags, comment, colour tag,
    // position, source and the attributes holding data of their own (OfObject::serialize),
    // in scene order. Two scenes with equal dumps are equal for every query of the framework
    // except creation and modification times. dump_text gives the same as settings-file text.
    void dump(ParserGroup& group) const;
    CoreString dump_text() const;
    // Checks the internal bookkeeping (name indexes, dependents, instances, parents); logs
    // each inconsistency at level 1 and returns false when there was any.
    bool check_integrity() const;

    size_t get_memory_size() const override;

private:
    friend class OfSceneEdit;

    // Records the last event item and raises `event` on the factory.
    void raise(CoreString const& event, OfEventData& data);
    // Resolves `path` into an item and, for plug paths, the plug's name and kind ('.' or '>').
    OfItem* resolve(CoreBasicString const& path, OfContext const* from, CoreString* plug,
                    char* plug_kind) const;

    OfApp* m_app;
    std::unique_ptr<OfClassFactory> m_classes;
    std::unique_ptr<OfCommandManager> m_commands;
    OfContext* m_root = nullptr;
    OfContext* m_build = nullptr;
    uint32_t m_default_slot = 0;
    uint32_t m_default_generation = 0;
    uint32_t m_last_event_slot = 0;
    uint32_t m_last_event_generation = 0;
    double m_time = 0.0;
    CoreHashTableDense<CoreString, CoreString> m_vars;
};
