#include "host/of/of_item.h"

#include <ctime>
#include <vector>

#include "host/core/core_log.h"
#include "host/of/of_context.h"
#include "host/of/of_handle.h"
#include "host/of/of_name_index.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "host/of/of_scene_edit.h"

CORE_IMPLEMENT_CLASS(OfItem, CoreBaseObject)

char const* OfItem::get_edit_mode_name(EditMode const& mode)
{
    switch (mode) {
        case EDIT_MODE_STRUCTURE:
            return "EDIT_MODE_STRUCTURE";
        case EDIT_MODE_VALUES:
            return "EDIT_MODE_VALUES";
        case EDIT_MODE_COUNT:
            return "EDIT_MODE_COUNT";
    }
    return "EDIT_MODE_UNKNOWN";
}

char const* OfItem::get_state_name(State const& state)
{
    switch (state) {
        case STATE_ENABLED:
            return "STATE_ENABLED";
        case STATE_DISABLED:
            return "STATE_DISABLED";
        case STATE_COUNT:
            return "STATE_COUNT";
    }
    return "STATE_UNKNOWN";
}

OfItem::OfItem(CoreBasicString const& name, OfContext* context, uint16_t const& flags)
    : m_name(name),
      m_context(context),
      m_slot(OfItemRegistry::add(this)),
      m_name_hash(OfNameIndex::hash(name.view())),
      m_creation_time(static_cast<uint32_t>(std::time(nullptr))),
      m_flags(uint16_t(flags | FLAG_DETACHED))
{
    m_modification_time = m_creation_time;
}

OfItem::~OfItem()
{
    OfItemRegistry::remove(m_slot);
    delete m_extra;
}

OfObjectFactory& OfItem::get_factory() const
{
    // Every object has a context, and every context knows its factory.
    OfContext const* context = is_context() ? static_cast<OfContext const*>(this) : m_context;
    return *context->m_factory;
}

OfApp* OfItem::get_application() const
{
    return get_factory().get_application();
}

CoreString const& OfItem::get_comment() const
{
    return m_extra ? m_extra->comment : CoreString::get_null_string();
}

OfItem* OfItem::get_holder() const
{
    if (is_object()) {
        OfObject* parent = static_cast<OfObject const*>(this)->get_parent();
        if (parent) return parent;
    }
    return m_context;
}

CoreString OfItem::get_full_name() const
{
    if (is_context() && !m_context) return CoreString("/");
    // Collect the items up to the root, then write their names from the top.
    OfItem const* chain[32];
    std::vector<OfItem const*> deep;
    unsigned int depth = 0;
    for (OfItem const* item = this; item->get_holder(); item = item->get_holder()) {
        if (depth < 32)
            chain[depth++] = item;
        else
            deep.push_back(item);
    }
    CoreString path;
    for (size_t i = deep.size(); i > 0; --i) path += CoreString("/") + deep[i - 1]->m_name;
    for (unsigned int i = depth; i > 0; --i) {
        path += '/';
        path += chain[i - 1]->m_name;
    }
    return path;
}

OfObject* OfItem::to_object()
{
    return is_object() ? static_cast<OfObject*>(this) : nullptr;
}
OfObject const* OfItem::to_object() const
{
    return is_object() ? static_cast<OfObject const*>(this) : nullptr;
}
OfContext* OfItem::to_context()
{
    return is_context() ? static_cast<OfContext*>(this) : nullptr;
}
OfContext const* OfItem::to_context() const
{
    return is_context() ? static_cast<OfContext const*>(this) : nullptr;
}

bool OfItem::is_in_scene() const
{
    for (OfItem const* item = this; item; item = item->get_holder())
        if (item->has_flag(FLAG_DETACHED)) return false;
    return true;
}

bool OfItem::is_virtual() const
{
    for (OfContext const* context = m_context; context; context = context->get_parent())
        if (context->is_reference()) return true;
    return false;
}

bool OfItem::is_editable(EditMode const& mode) const
{
    if (mode == EDIT_MODE_STRUCTURE) return !is_locked() && !is_virtual();
    // Values inside a reference are editable only when the nearest reference is overridden.
    for (OfContext const* context = m_context; context; context = context->get_parent())
        if (context->is_reference()) return context->is_override();
    return true;
}

void OfItem::touch()
{
    m_modification_time = static_cast<uint32_t>(std::time(nullptr));
}

bool OfItem::set_name(CoreBasicString const& name)
{
    return OfSceneEdit::rename("OfItem.set_name", *this, name);
}

bool OfItem::set_comment(CoreBasicString const& comment)
{
    return OfSceneEdit::set_comment(*this, comment);
}

bool OfItem::set_colortag(unsigned int const& colortag)
{
    return OfSceneEdit::set_colortag(*this, colortag);
}

bool OfItem::set_position(GMathVec2<double> const& position)
{
    return OfSceneEdit::set_position(*this, position);
}

bool OfItem::set_disabled(bool const& disabled)
{
    return OfSceneEdit::set_flag("OfItem.set_disabled", *this, FLAG_DISABLED, disabled);
}

bool OfItem::set_state(State const& state)
{
    if (state != STATE_ENABLED && state != STATE_DISABLED) {
        CORE_LOG_WARNING("OfItem.set_state: unknown state " << int(state) << " for " << get_full_name()
                                                            << "\n");
        return false;
    }
    return OfSceneEdit::set_flag("OfItem.set_state", *this, FLAG_DISABLED, state == STATE_DISABLED);
}

bool OfItem::set_shadowed(bool const& shadowed)
{
    return OfSceneEdit::set_flag("OfItem.set_shadowed", *this, FLAG_SHADOWED, shadowed);
}

bool OfItem::set_hidden(bool const& hidden)
{
    return OfSceneEdit::set_flag("OfItem.set_hidden", *this, FLAG_HIDDEN, hidden);
}

bool OfItem::move_to(OfContext& context)
{
    return OfSceneEdit::move("OfItem.move_to", *this, context);
}

bool OfItem::remove()
{
    return OfSceneEdit::remove("OfItem.remove", *this);
}

bool OfItem::is_valid_name(CoreBasicString const& name)
{
    std::string_view text = name.view();
    if (text.empty() || (text[0] >= '0' && text[0] <= '9')) return false;
    for (char c : text) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) return false;
    }
    return true;
}

CoreString OfItem::make_valid_name(CoreBasicString const& name)
{
    CoreString result(name);
    result.make_identifier();
    return result;
}

size_t OfItem::get_memory_size() const
{
    size_t size = sizeof(OfItem);
    if (m_name.get_length() > 15) size += m_name.get_length() + 1;
    if (m_extra)
        size += sizeof(Extra) + (m_extra->comment.get_length() > 15 ? m_extra->comment.get_length() : 0);
    return size;
}
