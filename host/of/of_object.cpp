#include "host/of/of_object.h"

#include <vector>

#include "host/core/core_hash_table.h"
#include "host/core/core_log.h"
#include "host/core/core_set.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object_factory.h"
#include "host/of/of_scene_edit.h"
#include "host/parser/parser_group.h"

CORE_IMPLEMENT_CLASS(OfObject, OfItem)

OfObject::Plugs::~Plugs()
{
    delete[] attrs;
    delete[] outputs;
}

namespace {

CoreVector<OfObject*> const& get_empty_objects()
{
    static CoreVector<OfObject*> const empty;
    return empty;
}

// Appends `object` to `result` unless `seen` has it.
void add_once(OfObject* object, CoreVector<OfObject*>& result, CoreSet<OfObject*>& seen)
{
    if (object && seen.add(object)) result.add(object);
}

}  // namespace

OfObject::OfObject(OfClass const& of_class, CoreBasicString const& name, OfContext* context, OfObject* parent)
    : OfItem(name, context, 0), m_class(&of_class), m_parent(parent)
{
    const_cast<OfClass&>(of_class).freeze();
}

OfObject::~OfObject()
{
    if (m_links) {
        for (OfObject* object : m_links->embedded) delete object;
        delete m_links;
    }
    delete m_plugs;
}

CoreString const& OfObject::get_class_name() const
{
    return m_class->get_name();
}

bool OfObject::is_kindof(OfClass const& of_class) const
{
    return m_class->is_kindof(of_class);
}

bool OfObject::is_kindof(CoreBasicString const& class_name) const
{
    return m_class->is_kindof(class_name);
}

OfModule* OfObject::get_module() const
{
    return m_class->get_module();
}

OfObject* OfObject::get_source() const
{
    return m_links ? m_links->source : nullptr;
}

CoreVector<OfObject*> const& OfObject::get_instances() const
{
    return m_links ? m_links->instances : get_empty_objects();
}

CoreVector<OfObject*> const& OfObject::get_embedded_objects() const
{
    return m_links ? m_links->embedded : get_empty_objects();
}

OfObject* OfObject::get_embedded_object(unsigned int const& index) const
{
    CoreVector<OfObject*> const& embedded = get_embedded_objects();
    return index < embedded.get_count() ? embedded[index] : nullptr;
}

OfObject* OfObject::get_embedded_object(CoreBasicString const& name) const
{
    for (OfObject* object : get_embedded_objects())
        if (object->get_name() == name) return object;
    return nullptr;
}

OfObject* OfObject::add_embedded_object(CoreBasicString const& class_name, CoreBasicString const& name)
{
    OfClass const* of_class = get_factory().get_classes().get(class_name);
    if (!of_class) {
        CORE_LOG_WARNING("OfObject.add_embedded_object: unknown class \"" << class_name << "\"\n");
        return nullptr;
    }
    return OfSceneEdit::create_object("OfObject.add_embedded_object", get_factory(), *of_class, name,
                                      m_context, this, nullptr);
}

OfObject::Links& OfObject::get_links()
{
    if (!m_links) m_links = new Links();
    return *m_links;
}

OfObject::Plugs& OfObject::get_plugs() const
{
    if (!m_plugs) {
        auto* plugs = new Plugs();
        unsigned int attr_count = m_class->get_attr_count();
        unsigned int output_count = m_class->get_output_count();
        if (attr_count) {
            plugs->attrs = new OfAttr[attr_count];
            for (unsigned int i = 0; i < attr_count; ++i) {
                plugs->attrs[i].m_decl = m_class->get_attr_decl(i);
                plugs->attrs[i].m_object = const_cast<OfObject*>(this);
            }
        }
        if (output_count) {
            plugs->outputs = new OfOutput[output_count];
            for (unsigned int i = 0; i < output_count; ++i) {
                plugs->outputs[i].m_decl = m_class->get_output_decl(i);
                plugs->outputs[i].m_object = const_cast<OfObject*>(this);
            }
        }
        m_plugs = plugs;
    }
    return *m_plugs;
}

unsigned int OfObject::get_attr_count() const
{
    return m_class->get_attr_count();
}

OfAttr* OfObject::get_attr(unsigned int const& index) const
{
    if (index >= m_class->get_attr_count()) {
        CORE_LOG_WARNING("OfObject.get_attr: index " << index << " out of range for " << get_full_name()
                                                     << " (" << m_class->get_attr_count()
                                                     << " attributes)\n");
        return nullptr;
    }
    return &get_plugs().attrs[index];
}

OfAttr* OfObject::get_attr(CoreBasicString const& name) const
{
    int index = m_class->get_attr_index(name);
    if (index < 0) {
        CORE_LOG_WARNING("OfObject.get_attr: " << get_full_name() << " (class " << m_class->get_name()
                                               << ") has no attribute \"" << name << "\"\n");
        return nullptr;
    }
    return &get_plugs().attrs[index];
}

bool OfObject::has_attr(CoreBasicString const& name) const
{
    return m_class->get_attr_index(name) >= 0;
}

unsigned int OfObject::get_output_count() const
{
    return m_class->get_output_count();
}

OfOutput* OfObject::get_output(unsigned int const& index) const
{
    if (index >= m_class->get_output_count()) {
        CORE_LOG_WARNING("OfObject.get_output: index " << index << " out of range for " << get_full_name()
                                                       << " (" << m_class->get_output_count()
                                                       << " outputs)\n");
        return nullptr;
    }
    return &get_plugs().outputs[index];
}

OfOutput* OfObject::get_output(CoreBasicString const& name) const
{
    int index = m_class->get_output_index(name);
    if (index < 0) {
        CORE_LOG_WARNING("OfObject.get_output: " << get_full_name() << " (class " << m_class->get_name()
                                                 << ") has no output \"" << name << "\"\n");
        return nullptr;
    }
    return &get_plugs().outputs[index];
}

CoreVector<OfObject*> OfObject::get_referenced_objects() const
{
    CoreVector<OfObject*> result;
    CoreSet<OfObject*> seen;
    // References default to null, so an object that stores nothing and has no source holds none.
    if (!m_plugs && !get_source()) return result;
    for (unsigned int i = 0; i < m_class->get_attr_count(); ++i) {
        if (m_class->get_attr_decl(i)->get_type() != OfPlugType::TYPE_REFERENCE) continue;
        OfAttrValues const& values = get_plugs().attrs[i].get_values();
        for (unsigned int v = 0; v < values.get_count(); ++v) add_once(values.get_object(v), result, seen);
    }
    return result;
}

CoreVector<OfObject*> OfObject::get_dependencies() const
{
    CoreVector<OfObject*> result;
    CoreSet<OfObject*> seen;
    for (OfObject* object : get_referenced_objects()) add_once(object, result, seen);
    if (m_plugs) {
        for (unsigned int i = 0; i < m_class->get_attr_count(); ++i)
            add_once(m_plugs->attrs[i].get_texture(), result, seen);
    }
    add_once(get_source(), result, seen);
    return result;
}

CoreVector<OfObject*> OfObject::get_dependents() const
{
    CoreVector<OfObject*> result;
    if (!m_links) return result;
    CoreSet<OfObject*> seen;
    for (Dependent const& dependent : m_links->dependents) add_once(dependent.object, result, seen);
    for (OfObject* instance : m_links->instances) add_once(instance, result, seen);
    return result;
}

bool OfObject::depends_on(OfObject const& other) const
{
    CoreSet<OfObject const*> seen;
    CoreVector<OfObject const*> stack;
    stack.add(this);
    seen.add(this);
    while (!stack.is_empty()) {
        OfObject const* object = stack.get_last();
        stack.remove(stack.get_count() - 1);
        if (object == &other) return true;
        for (OfObject* next : object->get_dependencies())
            if (seen.add(next)) stack.add(next);
    }
    return false;
}

void OfObject::awake()
{
    if (is_awake()) return;
    set_flag(FLAG_AWAKE, true);
    on_awake();
}

void OfObject::asleep()
{
    if (!is_awake()) return;
    set_flag(FLAG_AWAKE, false);
    on_asleep();
}

namespace {

void write_values(ParserEntry& entry, OfAttrValues const& values)
{
    for (unsigned int i = 0; i < values.get_count(); ++i) {
        switch (values.get_type()) {
            case OfPlugType::TYPE_BOOL:
                entry.add_bool(values.get_bool(i));
                break;
            case OfPlugType::TYPE_LONG:
            case OfPlugType::TYPE_ENUM:
                entry.add_int(values.get_long(i));
                break;
            case OfPlugType::TYPE_DOUBLE:
                entry.add_double(values.get_double(i));
                break;
            case OfPlugType::TYPE_VEC2D:
                entry.add_vec2d(values.get_vec2d(i));
                break;
            case OfPlugType::TYPE_VEC3D:
            case OfPlugType::TYPE_COLOR:
                entry.add_vec3d(values.get_vec3d(i));
                break;
            case OfPlugType::TYPE_STRING:
            case OfPlugType::TYPE_FILENAME:
                entry.add_string(values.get_string(i));
                break;
            default: {
                OfObject* object = values.get_object(i);
                entry.add_string(object ? object->get_full_name() : CoreString());
            }
        }
    }
}

// Reads the values of `entry` for an attribute of `values`' type; false when one does not fit.
bool read_values(ParserEntry const& entry, OfObjectFactory const& factory, OfAttrValues& values,
                 CoreString& error)
{
    values.set_count(entry.get_value_count());
    for (unsigned int i = 0; i < entry.get_value_count(); ++i) {
        ParserEntry::ValueType type = entry.get_value_type(i);
        switch (values.get_type()) {
            case OfPlugType::TYPE_BOOL:
                if (type != ParserEntry::VALUE_TYPE_BOOL) break;
                values.set_bool(i, entry.get_bool(i));
                continue;
            case OfPlugType::TYPE_LONG:
            case OfPlugType::TYPE_ENUM:
                if (type != ParserEntry::VALUE_TYPE_INT) break;
                values.set_long(i, entry.get_int(i));
                continue;
            case OfPlugType::TYPE_DOUBLE:
                if (!entry.is_value_number(i)) break;
                values.set_double(i, entry.get_double(i));
                continue;
            case OfPlugType::TYPE_VEC2D:
                if (type != ParserEntry::VALUE_TYPE_VEC2D) break;
                values.set_vec2d(i, entry.get_vec2d(i));
                continue;
            case OfPlugType::TYPE_VEC3D:
            case OfPlugType::TYPE_COLOR:
                if (type != ParserEntry::VALUE_TYPE_VEC3D) break;
                values.set_vec3d(i, entry.get_vec3d(i));
                continue;
            case OfPlugType::TYPE_STRING:
            case OfPlugType::TYPE_FILENAME:
                if (type != ParserEntry::VALUE_TYPE_STRING) break;
                values.set_string(i, entry.get_string(i));
                continue;
            default: {
                if (type != ParserEntry::VALUE_TYPE_STRING) break;
                CoreString const& path = entry.get_string(i);
                OfObject* object = path.is_empty() ? nullptr : factory.get_object(path);
                if (!path.is_empty() && !object) {
                    error = CoreString("no object \"") + path + "\"";
                    return false;
                }
                values.set_object(i, object);
                continue;
            }
        }
        error =
            CoreString("value ") + i + " is not a " + OfPlugType::get_type_name(values.get_type()) + " value";
        return false;
    }
    return true;
}

}  // namespace

void OfObject::serialize(ParserGroup& group) const
{
    if (!m_plugs) return;
    for (unsigned int i = 0; i < m_class->get_attr_count(); ++i) {
        OfAttrData const* data = m_plugs->attrs[i].get_data();
        if (!data) continue;
        ParserGroup& attr = group.add_group(m_class->get_attr_decl(i)->get_name());
        if (data->local) write_values(attr.add_entry("values"), data->values);
        if (!data->expression.is_empty()) attr.add_entry("expression").add_string(data->expression);
        if (data->input) {
            CoreString input =
                data->input_output >= 0
                    ? data->input->get_output(static_cast<unsigned int>(data->input_output))->get_full_name()
                    : data->input->get_full_name();
            attr.add_entry("input").add_string(input);
        }
    }
}

bool OfObject::deserialize(ParserGroup const& group)
{
    OfObjectFactory& factory = get_factory();
    OfCommandManager& commands = factory.get_command_manager();
    bool ok = true;
    commands.begin_batch("Deserialize");
    for (unsigned int e = 0; e < group.get_entry_count(); ++e) {
        ParserEntry const* entry = group.get_entry(e);
        int index = m_class->get_attr_index(entry->get_name());
        ParserGroup const* body = entry->get_group(0);
        if (index < 0 || !body) {
            CORE_LOG_WARNING("OfObject.deserialize: "
                             << get_full_name() << ": "
                             << (index < 0 ? "no attribute \"" : "no group for attribute \"")
                             << entry->get_name() << "\"\n");
            ok = false;
            continue;
        }
        OfAttr& attr = get_plugs().attrs[index];
        OfAttrData data;
        data.values = OfAttrValues(attr.get_type());
        CoreString error;
        if (ParserEntry const* values = body->get_entry("values")) {
            data.local = true;
            if (!read_values(*values, factory, data.values, error)) {
                CORE_LOG_WARNING("OfObject.deserialize: " << attr.get_full_name() << ": " << error << "\n");
                ok = false;
                continue;
            }
        }
        if (ParserEntry const* expression = body->get_entry("expression")) {
            if (expression->is_value_string(0)) data.expression = expression->get_string(0);
        }
        if (ParserEntry const* input = body->get_entry("input")) {
            CoreString path = input->is_value_string(0) ? input->get_string(0) : CoreString();
            if (OfOutput* output = factory.get_output(path)) {
                data.input = output->get_parent_object();
                data.input_output = static_cast<int>(output->get_index());
            } else if (OfObject* object = factory.get_object(path)) {
                data.input = object;
            } else {
                CORE_LOG_WARNING("OfObject.deserialize: " << attr.get_full_name() << ": no input \"" << path
                                                          << "\"\n");
                ok = false;
                continue;
            }
        }
        if (!OfSceneEdit::set_attr_data("OfObject.deserialize", attr, data)) ok = false;
    }
    commands.end_batch();
    return ok;
}

size_t OfObject::get_memory_size() const
{
    size_t size = OfItem::get_memory_size() - sizeof(OfItem) + sizeof(OfObject);
    if (m_plugs) {
        size += sizeof(Plugs) + m_class->get_attr_count() * sizeof(OfAttr) +
                m_class->get_output_count() * sizeof(OfOutput);
        for (unsigned int i = 0; i < m_class->get_attr_count(); ++i)
            size += m_plugs->attrs[i].get_memory_size() - sizeof(OfAttr);
    }
    if (m_links) {
        size += sizeof(Links) + m_links->embedded.std_vector().capacity() * sizeof(void*) +
                m_links->instances.std_vector().capacity() * sizeof(void*) +
                m_links->dependents.capacity() * sizeof(Dependent);
        for (OfObject const* object : m_links->embedded) size += object->get_memory_size();
    }
    return size;
}
