#include "host/of/of_object_factory.h"

#include <filesystem>
#include <system_error>

#include "host/core/core_log.h"
#include "host/core/core_set.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_event.h"
#include "host/of/of_handle.h"
#include "host/of/of_object.h"
#include "host/of/of_scene_edit.h"
#include "host/parser/parser_file.h"
#include "host/parser/parser_group.h"

CORE_IMPLEMENT_CREATABLE_CLASS(OfObjectFactory, EventObject)

OfObjectFactory::OfObjectFactory(OfApp* app)
    : m_app(app),
      m_classes(std::make_unique<OfClassFactory>()),
      m_commands(std::make_unique<OfCommandManager>())
{
    m_root = OfSceneEdit::make_root(*this);
    m_build = OfSceneEdit::make_build(*this, *m_root);
    std::error_code error;
    std::filesystem::path folder = std::filesystem::current_path(error);
    m_vars.set(CoreString("PDIR"), error ? CoreString() : CoreString(folder.string()));
}

OfObjectFactory::~OfObjectFactory()
{
    // Steps keep deleted items; they go first, then the scene.
    m_commands.reset();
    delete m_root;
}

OfContext& OfObjectFactory::get_default() const
{
    OfItem* item = OfItemRegistry::get(m_default_slot, m_default_generation);
    return item && item->is_context() && item->is_in_scene() ? *item->to_context() : *m_root;
}

bool OfObjectFactory::set_default(OfContext& context)
{
    if (!context.is_in_scene() || &context.get_factory() != this) {
        CORE_LOG_WARNING("OfObjectFactory.set_default: " << context.get_full_name()
                                                         << " is not in this scene\n");
        return false;
    }
    m_default_slot = OfSceneEdit::get_slot(context);
    m_default_generation = OfItemRegistry::get_generation(m_default_slot);
    return true;
}

OfItem* OfObjectFactory::resolve(CoreBasicString const& path, OfContext const* from, CoreString* plug,
                                 char* plug_kind) const
{
    std::string_view text = path.view();
    if (text.empty()) return nullptr;
    OfItem* current = text[0] == '/' ? m_root : const_cast<OfContext*>(from ? from : &get_default());
    if (!current->is_in_scene()) return nullptr;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('/', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view segment = text.substr(start, end - start);
        bool last = end == text.size();
        start = end + 1;
        if (segment.empty() || segment == ".") continue;
        if (segment == "..") {
            current = current->get_holder();
            if (!current) return nullptr;
            continue;
        }
        if (last) {
            size_t mark = segment.find_first_of(".>");
            if (mark != std::string_view::npos) {
                if (!plug) return nullptr;
                *plug = CoreString(segment.substr(mark + 1));
                *plug_kind = segment[mark];
                segment = segment.substr(0, mark);
                if (segment.empty()) return current;
            }
        }
        if (OfContext* context = current->to_context()) {
            current = context->get_item(CoreString(segment));
        } else {
            current = current->to_object()->get_embedded_object(CoreString(segment));
        }
        if (!current) return nullptr;
    }
    return current;
}

OfItem* OfObjectFactory::get_item(CoreBasicString const& path, OfContext const* from) const
{
    return resolve(path, from, nullptr, nullptr);
}

OfContext* OfObjectFactory::get_context(CoreBasicString const& path, OfContext const* from) const
{
    OfItem* item = get_item(path, from);
    return item ? item->to_context() : nullptr;
}

OfObject* OfObjectFactory::get_object(CoreBasicString const& path, OfContext const* from) const
{
    OfItem* item = get_item(path, from);
    return item ? item->to_object() : nullptr;
}

OfAttr* OfObjectFactory::get_attr(CoreBasicString const& path, OfContext const* from) const
{
    CoreString plug;
    char kind = 0;
    OfItem* item = resolve(path, from, &plug, &kind);
    OfObject* object = item ? item->to_object() : nullptr;
    if (!object || kind != '.' || !object->has_attr(plug)) return nullptr;
    return object->get_attr(plug);
}

OfOutput* OfObjectFactory::get_output(CoreBasicString const& path, OfContext const* from) const
{
    CoreString plug;
    char kind = 0;
    OfItem* item = resolve(path, from, &plug, &kind);
    OfObject* object = item ? item->to_object() : nullptr;
    if (!object || kind != '>' || object->get_class().get_output_index(plug) < 0) return nullptr;
    return object->get_output(plug);
}

OfHandle OfObjectFactory::get_handle(CoreBasicString const& path, OfContext const* from) const
{
    CoreString plug;
    char kind = 0;
    OfItem* item = resolve(path, from, &plug, &kind);
    if (!item) return OfHandle();
    if (kind == 0) return OfHandle(item);
    OfObject* object = item->to_object();
    if (!object) return OfHandle();
    if (kind == '.') return object->has_attr(plug) ? OfHandle(object->get_attr(plug)) : OfHandle();
    return object->get_class().get_output_index(plug) >= 0 ? OfHandle(object->get_output(plug)) : OfHandle();
}

bool OfObjectFactory::set_var(CoreBasicString const& name, CoreBasicString const& value)
{
    if (!OfItem::is_valid_name(name)) {
        CORE_LOG_WARNING("OfObjectFactory.set_var: invalid variable name \"" << name << "\"\n");
        return false;
    }
    m_vars.set(CoreString(name), CoreString(value));
    return true;
}

bool OfObjectFactory::get_var(CoreBasicString const& name, CoreString& value) const
{
    return m_vars.get(CoreString(name), value);
}

bool OfObjectFactory::remove_var(CoreBasicString const& name)
{
    return m_vars.remove(CoreString(name));
}

OfObject* OfObjectFactory::create_object(CoreBasicString const& class_name, CoreBasicString const& name,
                                         OfContext* context)
{
    OfClass const* of_class = m_classes->get(class_name);
    if (!of_class) {
        CORE_LOG_WARNING("OfObjectFactory.create_object: unknown class \"" << class_name << "\"\n");
        return nullptr;
    }
    return OfSceneEdit::create_object("OfObjectFactory.create_object", *this, *of_class, name, context,
                                      nullptr, nullptr);
}

OfContext* OfObjectFactory::create_context(CoreBasicString const& name, OfContext* parent,
                                           OfContextEngine::Kind const& kind)
{
    if (kind < 0 || kind >= OfContextEngine::KIND_COUNT) {
        CORE_LOG_WARNING("OfObjectFactory.create_context: unknown context kind " << int(kind) << "\n");
        return nullptr;
    }
    return OfSceneEdit::create_context("OfObjectFactory.create_context", *this, name, parent,
                                       OfContextEngine::get(kind));
}

OfObject* OfObjectFactory::create_instance(OfObject& source, CoreBasicString const& name, OfContext* context)
{
    CoreString wanted = name.is_empty() ? source.get_name() : CoreString(name);
    return OfSceneEdit::create_object("OfObjectFactory.create_instance", *this, source.get_class(), wanted,
                                      context ? context : source.get_context(), nullptr, &source);
}

CoreVector<OfItem*> OfObjectFactory::copy_items(CoreBasicArray<OfItem*> const& items, OfContext& target)
{
    return OfSceneEdit::copy_items("OfObjectFactory.copy_items", items, target);
}

namespace {

// Items of `items` that do not lie inside another of them.
CoreVector<OfItem*> get_top_items(CoreBasicArray<OfItem*> const& items)
{
    CoreSet<OfItem*> given;
    for (OfItem* item : items)
        if (item) given.add(item);
    CoreVector<OfItem*> result;
    CoreSet<OfItem*> done;
    for (OfItem* item : items) {
        if (!item || !done.add(item)) continue;
        bool inside = false;
        for (OfItem* holder = item->get_context(); holder && !inside; holder = holder->get_context())
            inside = given.has(holder);
        if (OfObject* object = item->to_object())
            for (OfObject* parent = object->get_parent(); parent && !inside; parent = parent->get_parent())
                inside = given.has(parent);
        if (!inside) result.add(item);
    }
    return result;
}

}  // namespace

bool OfObjectFactory::delete_items(CoreBasicArray<OfItem*> const& items)
{
    m_commands->begin_batch("Delete Items");
    bool const ok = OfSceneEdit::remove_items("OfObjectFactory.delete_items", *this, get_top_items(items));
    m_commands->end_batch();
    return ok;
}

bool OfObjectFactory::move_items(CoreBasicArray<OfItem*> const& items, OfContext& target)
{
    bool ok = true;
    m_commands->begin_batch("Move Items");
    for (OfItem* item : get_top_items(items)) ok = item->move_to(target) && ok;
    m_commands->end_batch();
    return ok;
}

namespace {

// The objects the items stand for, each once, and the set of them.
void expand_items(CoreBasicArray<OfItem*> const& items, CoreVector<OfObject*>& objects, CoreSet<OfItem*>& set)
{
    for (OfItem* item : items) {
        if (!item) continue;
        if (OfContext* context = item->to_context()) {
            set.add(item);
            for (OfObject* object : context->get_all_objects())
                if (set.add(object)) objects.add(object);
        } else if (set.add(item)) {
            objects.add(item->to_object());
        }
    }
}

template <class Next>
CoreVector<OfItem*> collect_related(CoreBasicArray<OfItem*> const& items, bool const& transitive,
                                    Next const& next)
{
    CoreVector<OfObject*> objects;
    CoreSet<OfItem*> given;
    expand_items(items, objects, given);
    CoreVector<OfItem*> result;
    CoreSet<OfItem*> seen;
    CoreVector<OfObject*> stack = objects;
    while (!stack.is_empty()) {
        OfObject* object = stack.get_last();
        stack.remove(stack.get_count() - 1);
        for (OfObject* related : next(*object)) {
            if (given.has(related) || !seen.add(related)) continue;
            result.add(related);
            if (transitive) stack.add(related);
        }
    }
    return result;
}

}  // namespace

CoreVector<OfItem*> OfObjectFactory::get_items_inputs(CoreBasicArray<OfItem*> const& items) const
{
    return collect_related(items, false, [](OfObject& object) { return object.get_dependencies(); });
}

CoreVector<OfItem*> OfObjectFactory::get_items_outputs(CoreBasicArray<OfItem*> const& items) const
{
    return collect_related(items, false, [](OfObject& object) { return object.get_dependents(); });
}

CoreVector<OfItem*> OfObjectFactory::get_items_dependencies(CoreBasicArray<OfItem*> const& items) const
{
    return collect_related(items, true, [](OfObject& object) { return object.get_dependencies(); });
}

CoreVector<OfItem*> OfObjectFactory::get_items_instances(CoreBasicArray<OfItem*> const& items) const
{
    return collect_related(items, false, [](OfObject& object) { return object.get_instances(); });
}

CoreVector<OfItem*> OfObjectFactory::get_items_sources(CoreBasicArray<OfItem*> const& items) const
{
    return collect_related(items, false, [](OfObject& object) {
        CoreVector<OfObject*> sources;
        if (object.get_source()) sources.add(object.get_source());
        return sources;
    });
}

OfItem* OfObjectFactory::get_last_event_item() const
{
    return OfItemRegistry::get(m_last_event_slot, m_last_event_generation);
}

OfObject* OfObjectFactory::get_last_event_object() const
{
    OfItem* item = get_last_event_item();
    return item ? item->to_object() : nullptr;
}

OfContext* OfObjectFactory::get_last_event_context() const
{
    OfItem* item = get_last_event_item();
    return item ? item->to_context() : nullptr;
}

void OfObjectFactory::raise(CoreString const& event, OfEventData& data)
{
    m_last_event_slot = data.item ? OfSceneEdit::get_slot(*data.item) : 0;
    m_last_event_generation = OfItemRegistry::get_generation(m_last_event_slot);
    if (data.context) {
        data.context->m_last_event_slot = m_last_event_slot;
        data.context->m_last_event_generation = m_last_event_generation;
    }
    raise_event(EventInfo(event, &data));
}

void OfObjectFactory::clear()
{
    if (m_commands->get_batch_level() > 0 || m_commands->is_busy()) {
        CORE_LOG_WARNING("OfObjectFactory.clear: refused while a command batch is open or an undo runs\n");
        return;
    }
    m_commands->clear();
    OfSceneEdit::clear_context(*m_root);
    m_default_slot = 0;
    OfEventData data;
    data.context = m_root;
    raise(EVT_ID_OF_REMOVE_ALL_OBJECTS, data);
}

namespace {

void dump_item(OfItem const& item, ParserGroup& group)
{
    ParserEntry& entry = group.add_entry(item.is_context() ? "context" : "object");
    entry.add_string(item.get_name());
    ParserGroup& body = entry.add_group();
    OfContext const* context = item.to_context();
    OfObject const* object = item.to_object();
    if (context) {
        body.add_entry("engine").add_string(OfContextEngine::get_kind_name(context->get_engine().get_kind()));
    } else {
        body.add_entry("class").add_string(object->get_class_name());
    }
    ParserEntry& flags = body.add_entry("flags");
    flags.add_bool(item.is_disabled()).add_bool(item.is_shadowed()).add_bool(item.is_locked());
    if (context) flags.add_bool(context->is_reference()).add_bool(context->is_override());
    if (item.is_hidden()) body.add_entry("hidden").add_bool(true);
    if (!item.get_comment().is_empty()) body.add_entry("comment").add_string(item.get_comment());
    if (item.get_colortag()) body.add_entry("colortag").add_int(item.get_colortag());
    if (item.get_position() != GMathVec2<double>()) body.add_entry("position").add_vec2d(item.get_position());
    if (context) {
        for (OfContext const* child : context->get_contexts()) dump_item(*child, body);
        for (OfObject const* child : context->get_objects()) dump_item(*child, body);
        return;
    }
    if (object->get_source()) body.add_entry("source").add_string(object->get_source()->get_full_name());
    ParserGroup attrs;
    object->serialize(attrs);
    if (!attrs.is_empty()) body.add_entry("attrs").add_group(attrs);
    for (OfObject const* child : object->get_embedded_objects()) dump_item(*child, body);
}

}  // namespace

void OfObjectFactory::dump(ParserGroup& group) const
{
    dump_item(*m_root, group);
}

CoreString OfObjectFactory::dump_text() const
{
    ParserFile file;
    dump(file.get_root());
    return file.write_to_string();
}

bool OfObjectFactory::check_integrity() const
{
    return OfSceneEdit::check_context(*m_root);
}

size_t OfObjectFactory::get_memory_size() const
{
    return sizeof(OfObjectFactory) + m_root->get_memory_size() + m_classes->get_memory_size() +
           m_commands->get_memory_size();
}
