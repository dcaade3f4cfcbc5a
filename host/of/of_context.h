#pragma once
// Contexts: the folders of a scene. A context holds contexts and objects (in the order they
// were added, contexts listed first by get_items), has a kind given by its engine, and may
// be flagged as a reference (its content comes from elsewhere and is not editable) and as
// an override (the values of a reference's content may be changed locally).
#include <cstdint>
#include <memory>

#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_vector.h"
#include "host/of/of_item.h"

class OfIconSet;
class OfNameIndex;

// The kind of a context, tested by class information: a plain project folder, a file
// reference, a scene assembly or a build package. Engines are shared singletons.
class QN_HOST_API OfContextEngine : public CoreBaseObject {
    CORE_DECLARE_CLASS(OfContextEngine, CoreBaseObject)

public:
    enum Kind : int { KIND_PROJECT, KIND_REFERENCE, KIND_ASSEMBLY, KIND_BUILD_PACKAGE, KIND_COUNT };
    // "KIND_PROJECT", ..., "KIND_COUNT", or "KIND_UNKNOWN".
    static char const* get_kind_name(Kind const& kind);
    // The engine of `kind` (the project engine for values out of range).
    static OfContextEngine const& get(Kind const& kind);

    virtual Kind get_kind() const = 0;

    OfContextEngine(OfContextEngine const&) = delete;
    OfContextEngine& operator=(OfContextEngine const&) = delete;

protected:
    OfContextEngine() = default;
};

class QN_HOST_API OfContextEngineProject : public OfContextEngine {
    CORE_DECLARE_CLASS(OfContextEngineProject, OfContextEngine)

public:
    Kind get_kind() const override { return KIND_PROJECT; }
};

class QN_HOST_API OfContextEngineReference : public OfContextEngine {
    CORE_DECLARE_CLASS(OfContextEngineReference, OfContextEngine)

public:
    Kind get_kind() const override { return KIND_REFERENCE; }
};

class QN_HOST_API OfContextEngineAssembly : public OfContextEngine {
    CORE_DECLARE_CLASS(OfContextEngineAssembly, OfContextEngine)

public:
    Kind get_kind() const override { return KIND_ASSEMBLY; }
};

class QN_HOST_API OfContextEngineBuildPackage : public OfContextEngine {
    CORE_DECLARE_CLASS(OfContextEngineBuildPackage, OfContextEngine)

public:
    Kind get_kind() const override { return KIND_BUILD_PACKAGE; }
};

class QN_HOST_API OfContext : public OfItem {
    CORE_DECLARE_CLASS(OfContext, OfItem)

public:
    ~OfContext() override;

    // The parent context; null for the root.
    OfContext* get_parent() const { return get_context(); }
    CoreVector<OfContext*> const& get_contexts() const { return m_contexts; }
    CoreVector<OfObject*> const& get_objects() const { return m_objects; }
    // The contexts, then the objects.
    CoreVector<OfItem*> get_items() const;
    // The direct child (context or object) named `name`, or null.
    OfItem* get_item(CoreBasicString const& name) const;
    OfContext* get_context(CoreBasicString const& name) const;
    OfObject* get_object(CoreBasicString const& name) const;
    // Objects of this context and of every context below it, depth first.
    CoreVector<OfObject*> get_all_objects() const;
    using OfItem::get_context;

    // The context's full name ("/" for the root).
    CoreString get_context_path() const { return get_full_name(); }
    bool is_root() const { return get_context() == nullptr; }
    // True when this context lies (strictly) inside `ancestor`.
    bool is_child_of(OfContext const& ancestor) const;

    // The context's own kind.
    OfContextEngine const& get_engine() const { return *m_engine; }
    // The kind of the nearest context, from this one up, that is not a plain project folder;
    // the project engine when there is none.
    OfContextEngine const& get_root_engine() const;
    bool is_reference() const { return has_flag(FLAG_REFERENCE); }
    bool is_override() const { return has_flag(FLAG_OVERRIDE); }
    // Flag changes, as commands.
    bool set_reference(bool const& reference);
    bool set_override(bool const& override_values);
    // True when items may be added to, removed from or renamed in this context: it is not
    // a reference and does not lie inside one.
    bool is_writable() const;

    // Whether `name` is taken by a child; the name a new child asking for `name` would get.
    bool is_name_taken(CoreBasicString const& name) const;
    CoreString get_unique_name(CoreBasicString const& name) const;

    // The item the last framework event concerning this context was about (the item added
    // to, removed from, renamed or changed in it); null when none, or once freed.
    OfItem* get_last_event_item() const;
    // The same when that item is an object (a context), else null.
    OfObject* get_last_event_object() const;
    OfContext* get_last_event_context() const;

    // Deletes an object of this context (a command); false when it is not one.
    bool remove_object(OfObject& object);

    // Icons item views show for contexts; applications may replace them.
    static OfIconSet& get_default_icon();

    size_t get_memory_size() const override;

private:
    friend class OfItem;
    friend class OfSceneEdit;
    friend class OfObjectFactory;

    OfContext(CoreBasicString const& name, OfContext* parent, OfObjectFactory& factory,
              OfContextEngine const& engine);

    OfObjectFactory* m_factory;
    OfContextEngine const* m_engine;
    CoreVector<OfContext*> m_contexts;
    CoreVector<OfObject*> m_objects;
    std::unique_ptr<OfNameIndex> m_names;
    uint32_t m_last_event_slot = 0;
    uint32_t m_last_event_generation = 0;
};
