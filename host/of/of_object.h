#pragma once
// Scene objects: instances of an OfClass with the class's attributes (input plugs) and
// outputs, optional embedded objects, and links to other objects.
//
// Storage: an object keeps a pointer to its class and allocates its plugs (OfAttr,
// OfOutput) on first access, and an attribute stores values only once it is given its own
// (OfAttr::is_local); until then it reads its class defaults (or its source's values).
//
// Instances: an object made by OfObjectFactory::create_instance shares its source's class
// and reads the source's values for every attribute it has not set itself; setting a value
// on the instance overrides that attribute only, reverting it (OfAttr::revert) follows the
// source again. Deleting a source turns its instances into plain objects (they keep their
// own values and read class defaults for the rest); undo gives them their source back.
//
// Links between objects (references held by TYPE_REFERENCE attributes, input connections
// and instance sources) form a graph without cycles: a change that would close one is
// refused. get_dependencies gives what an object reads from, get_dependents what reads it.
#include <memory>
#include <vector>

#include "host/core/core_export.h"
#include "host/core/core_vector.h"
#include "host/of/of_item.h"

class OfAttr;
struct OfAttrData;
class OfClass;
class OfModule;
class OfOutput;
class ParserGroup;

class QN_HOST_API OfObject : public OfItem {
    CORE_DECLARE_CLASS(OfObject, OfItem)

public:
    ~OfObject() override;

    OfClass const& get_class() const { return *m_class; }
    CoreString const& get_class_name() const;
    using CoreBaseObject::is_kindof;
    // True when the object's class is `of_class` or derives from it.
    bool is_kindof(OfClass const& of_class) const;
    bool is_kindof(CoreBasicString const& class_name) const;
    // The module of the object's class; null when it has none.
    OfModule* get_module() const;

    // The object this one is embedded in; null for an object of a context.
    OfObject* get_parent() const { return m_parent; }
    // The object this one is an instance of, or null.
    OfObject* get_source() const;
    CoreVector<OfObject*> const& get_instances() const;
    unsigned int get_instance_count() const { return get_instances().get_count(); }

    // Objects embedded in this one, in order.
    CoreVector<OfObject*> const& get_embedded_objects() const;
    unsigned int get_embedded_object_count() const { return get_embedded_objects().get_count(); }
    // Null out of range or when absent.
    OfObject* get_embedded_object(unsigned int const& index) const;
    OfObject* get_embedded_object(CoreBasicString const& name) const;
    // Makes a new object of `class_name` embedded in this one (a command); a taken name
    // takes the next free one, an empty name the class's default object name. Null (with a
    // message) when refused.
    OfObject* add_embedded_object(CoreBasicString const& class_name, CoreBasicString const& name = "");

    // Attributes, in the class's order; null (with a message) out of range or unknown.
    unsigned int get_attr_count() const;
    OfAttr* get_attr(unsigned int const& index) const;
    OfAttr* get_attr(CoreBasicString const& name) const;
    bool has_attr(CoreBasicString const& name) const;
    // Outputs, in the class's order; null (with a message) out of range or unknown.
    unsigned int get_output_count() const;
    OfOutput* get_output(unsigned int const& index) const;
    OfOutput* get_output(CoreBasicString const& name) const;

    // Objects held by the object's reference attributes (its own values or its source's),
    // each once, in attribute order.
    CoreVector<OfObject*> get_referenced_objects() const;
    // What the object reads from: referenced objects, objects connected to its inputs and
    // its source, each once.
    CoreVector<OfObject*> get_dependencies() const;
    // What reads the object: objects referencing it, connected to its outputs or to it, and
    // its instances, each once.
    CoreVector<OfObject*> get_dependents() const;
    // True when `other` is this object or reachable from it through get_dependencies.
    bool depends_on(OfObject const& other) const;

    // Objects are awake while they are in the scene: adding one wakes it, deleting it puts
    // it to sleep. Derived classes may react by overriding on_awake and on_asleep.
    void awake();
    void asleep();
    bool is_awake() const { return has_flag(FLAG_AWAKE); }

    // Writes the attributes holding their own values, expressions or connections:
    // one entry per attribute, named after it, with the values (references and connections
    // as full names) and optional "expression"/"input" sub-entries in a group.
    void serialize(ParserGroup& group) const;
    // Sets the attributes written by serialize (one command batch "Deserialize"); unknown
    // attributes and bad values are reported and skipped. False when any was.
    bool deserialize(ParserGroup const& group);

    size_t get_memory_size() const override;

protected:
    virtual void on_awake() {}
    virtual void on_asleep() {}

private:
    friend class OfSceneEdit;
    friend class OfAttr;

    // One entry of an object's dependents: `object` holds this object in attribute `attr`
    // (once per reference value, and once for the attribute's input connection).
    struct Dependent {
        OfObject* object;
        unsigned int attr;
        bool operator==(Dependent const& other) const { return object == other.object && attr == other.attr; }
    };
    // Links to other objects, allocated when the object first has one.
    struct Links {
        CoreVector<OfObject*> embedded;
        CoreVector<OfObject*> instances;
        OfObject* source = nullptr;
        std::vector<Dependent> dependents;
    };
    // The object's attributes and outputs, allocated on first access.
    struct Plugs {
        OfAttr* attrs = nullptr;
        OfOutput* outputs = nullptr;
        ~Plugs();
    };

    OfObject(OfClass const& of_class, CoreBasicString const& name, OfContext* context, OfObject* parent);
    Plugs& get_plugs() const;
    Links& get_links();

    OfClass const* m_class;
    OfObject* m_parent;
    mutable Plugs* m_plugs = nullptr;
    Links* m_links = nullptr;
};
