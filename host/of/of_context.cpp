#include "host/of/of_context.h"

#include "host/core/core_log.h"
#include "host/core/core_name_server.h"
#include "host/of/of_class.h"
#include "host/of/of_handle.h"
#include "host/of/of_name_index.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "host/of/of_scene_edit.h"

CORE_IMPLEMENT_CLASS(OfContextEngine, CoreBaseObject)
CORE_IMPLEMENT_CREATABLE_CLASS(OfContextEngineProject, OfContextEngine)
CORE_IMPLEMENT_CREATABLE_CLASS(OfContextEngineReference, OfContextEngine)
CORE_IMPLEMENT_CREATABLE_CLASS(OfContextEngineAssembly, OfContextEngine)
CORE_IMPLEMENT_CREATABLE_CLASS(OfContextEngineBuildPackage, OfContextEngine)
CORE_IMPLEMENT_CLASS(OfContext, OfItem)

char const* OfContextEngine::get_kind_name(Kind const& kind)
{
    switch (kind) {
        case KIND_PROJECT:
            return "KIND_PROJECT";
        case KIND_REFERENCE:
            return "KIND_REFERENCE";
        case KIND_ASSEMBLY:
            return "KIND_ASSEMBLY";
        case KIND_BUILD_PACKAGE:
            return "KIND_BUILD_PACKAGE";
        case KIND_COUNT:
            return "KIND_COUNT";
    }
    return "KIND_UNKNOWN";
}

OfContextEngine const& OfContextEngine::get(Kind const& kind)
{
    static OfContextEngineProject const project;
    static OfContextEngineReference const reference;
    static OfContextEngineAssembly const assembly;
    static OfContextEngineBuildPackage const build_package;
    switch (kind) {
        case KIND_REFERENCE:
            return reference;
        case KIND_ASSEMBLY:
            return assembly;
        case KIND_BUILD_PACKAGE:
            return build_package;
        default:
            return project;
    }
}

OfContext::OfContext(CoreBasicString const& name, OfContext* parent, OfObjectFactory& factory,
                     OfContextEngine const& engine)
    : OfItem(name, parent, FLAG_CONTEXT), m_factory(&factory), m_engine(&engine), m_names(new OfNameIndex())
{
}

OfContext::~OfContext()
{
    for (OfContext* context : m_contexts) delete context;
    for (OfObject* object : m_objects) delete object;
}

CoreVector<OfItem*> OfContext::get_items() const
{
    CoreVector<OfItem*> items;
    items.reserve(m_contexts.get_count() + m_objects.get_count());
    for (OfContext* context : m_contexts) items.add(context);
    for (OfObject* object : m_objects) items.add(object);
    return items;
}

OfItem* OfContext::get_item(CoreBasicString const& name) const
{
    return m_names->find(name.view());
}

OfContext* OfContext::get_context(CoreBasicString const& name) const
{
    OfItem* item = get_item(name);
    return item ? item->to_context() : nullptr;
}

OfObject* OfContext::get_object(CoreBasicString const& name) const
{
    OfItem* item = get_item(name);
    return item ? item->to_object() : nullptr;
}

CoreVector<OfObject*> OfContext::get_all_objects() const
{
    CoreVector<OfObject*> result;
    CoreVector<OfContext const*> stack;
    stack.add(this);
    while (!stack.is_empty()) {
        OfContext const* context = stack.get_last();
        stack.remove(stack.get_count() - 1);
        result.add(context->m_objects);
        for (unsigned int i = context->m_contexts.get_count(); i > 0; --i)
            stack.add(context->m_contexts[i - 1]);
    }
    return result;
}

bool OfContext::is_child_of(OfContext const& ancestor) const
{
    for (OfContext const* context = get_parent(); context; context = context->get_parent())
        if (context == &ancestor) return true;
    return false;
}

OfContextEngine const& OfContext::get_root_engine() const
{
    for (OfContext const* context = this; context; context = context->get_parent())
        if (context->m_engine->get_kind() != OfContextEngine::KIND_PROJECT) return *context->m_engine;
    return OfContextEngine::get(OfContextEngine::KIND_PROJECT);
}

bool OfContext::set_reference(bool const& reference)
{
    return OfSceneEdit::set_flag("OfContext.set_reference", *this, FLAG_REFERENCE, reference);
}

bool OfContext::set_override(bool const& override_values)
{
    return OfSceneEdit::set_flag("OfContext.set_override", *this, FLAG_OVERRIDE, override_values);
}

bool OfContext::is_writable() const
{
    return !is_reference() && !is_virtual();
}

bool OfContext::is_name_taken(CoreBasicString const& name) const
{
    return m_names->find(name.view()) != nullptr;
}

CoreString OfContext::get_unique_name(CoreBasicString const& name) const
{
    return m_names->get_unique_name(name);
}

OfItem* OfContext::get_last_event_item() const
{
    return OfItemRegistry::get(m_last_event_slot, m_last_event_generation);
}

OfObject* OfContext::get_last_event_object() const
{
    OfItem* item = get_last_event_item();
    return item ? item->to_object() : nullptr;
}

OfContext* OfContext::get_last_event_context() const
{
    OfItem* item = get_last_event_item();
    return item ? item->to_context() : nullptr;
}

bool OfContext::remove_object(OfObject& object)
{
    if (object.get_context() != this || object.get_parent() || !object.is_in_scene()) {
        CORE_LOG_WARNING("OfContext.remove_object: " << object.get_full_name() << " is not an object of "
                                                     << get_full_name() << "\n");
        return false;
    }
    return OfSceneEdit::remove("OfContext.remove_object", object);
}

OfIconSet& OfContext::get_default_icon()
{
    static OfIconSet icons = [] {
        // A plain folder drawn at 16 and 32 pixels: a tab on a body, in a warm yellow.
        OfIconSet set;
        for (unsigned int size : {16u, 32u}) {
            CoreVector<unsigned char> rgba(size * size * 4, 0);
            unsigned int top = size / 4, tab_right = size / 2, bottom = size - size / 8;
            for (unsigned int y = 0; y < size; ++y) {
                for (unsigned int x = 0; x < size; ++x) {
                    bool tab = y >= top - size / 8 && y < top && x >= 1 && x < tab_right;
                    bool body = y >= top && y < bottom && x >= 1 && x < size - 1;
                    if (!tab && !body) continue;
                    bool edge = y == bottom - 1 || x == 1 || x == size - 2 || y == top - size / 8;
                    unsigned char* p = &rgba[(y * size + x) * 4];
                    p[0] = edge ? 176 : 240;
                    p[1] = edge ? 128 : 196;
                    p[2] = edge ? 32 : 80;
                    p[3] = 255;
                }
            }
            set.set_image(size, OfIconImage(size, size, rgba));
        }
        return set;
    }();
    return icons;
}

size_t OfContext::get_memory_size() const
{
    size_t size = OfItem::get_memory_size() - sizeof(OfItem) + sizeof(OfContext) + sizeof(OfNameIndex) +
                  m_names->get_memory_size() + m_contexts.std_vector().capacity() * sizeof(void*) +
                  m_objects.std_vector().capacity() * sizeof(void*);
    for (OfContext const* context : m_contexts) size += context->get_memory_size();
    for (OfObject const* object : m_objects) size += object->get_memory_size();
    return size;
}
