#include "host/event/event_object.h"

#include <algorithm>

#include "host/core/core_log.h"
#include "host/event/event_id.h"

CORE_IMPLEMENT_CREATABLE_CLASS(EventObject, CoreCustomData)

EventObject::~EventObject()
{
    if (!m_links) return;
    remove_all_connection();
    // Raises in progress on this object stop after the callback that destroyed it.
    for (RaiseFrame* frame = m_links->raise_frame; frame; frame = frame->outer) frame->destroyed = true;
}

EventObject::Links& EventObject::get_links()
{
    if (!m_links) m_links = std::make_unique<Links>();
    return *m_links;
}

bool EventObject::connect(EventObject& sender, CoreString const& event_name,
                          FreeCallback<EventObject> callback, void* data)
{
    return add_connection(sender, event_name, &invoke_free<EventObject>, nullptr, nullptr,
                          make_callback(callback), data);
}

bool EventObject::disconnect(EventObject& sender, CoreString const& event_name,
                             FreeCallback<EventObject> callback)
{
    return remove_connections(sender, event_name, nullptr, make_callback(callback));
}

void EventObject::invoke_slot(void* slot, Callback const&, EventObject& sender, EventInfo const& info, void*)
{
    static_cast<EventCallableSlot*>(slot)->call(sender, info);
}

EventConnection EventObject::add_slot(EventObject& sender, CoreString const& event_name, EventObject* receiver,
                                      std::shared_ptr<EventCallableSlot> slot)
{
    EventCallableSlot* const raw = slot.get();
    // The slot's address makes the connection's callback: unique, so never a duplicate.
    if (!add_connection(sender, event_name, &invoke_slot, raw, receiver, make_callback(raw), nullptr, slot))
        return EventConnection();
    raw->m_sender = &sender;
    return EventConnection(slot);
}

bool EventConnection::is_connected() const
{
    std::shared_ptr<EventCallableSlot> const slot = m_slot.lock();
    return slot && slot->m_sender;
}

bool EventConnection::disconnect()
{
    std::shared_ptr<EventCallableSlot> const slot = m_slot.lock();
    if (!slot || !slot->m_sender) return false;
    m_slot.reset();
    return slot->m_sender->remove_connections_if([&](EventObject::Connection const& c) { return c.slot == slot; }) != 0;
}

bool EventObject::add_connection(EventObject& sender, CoreString const& event_name, Invoker invoker,
                                 void* receiver_object, EventObject* receiver, Callback const& callback,
                                 void* data, std::shared_ptr<EventCallableSlot> slot)
{
    if (event_name.is_empty()) {
        CORE_LOG_ERROR("EventObject.connect: the event name is empty\n");
        return false;
    }
    if (callback == Callback{}) {
        CORE_LOG_ERROR("EventObject.connect: null callback for \"" << event_name << "\"\n");
        return false;
    }
    std::vector<Connection>& connections = sender.get_links().connections;
    for (Connection const& c : connections) {
        if (c.invoker && c.receiver == receiver && c.callback == callback && c.data == data
            && c.name == event_name) {
            CORE_LOG_WARNING("EventObject.connect: the callback is already connected to \"" << event_name
                             << "\" with the same data\n");
            return false;
        }
    }
    // Only a registered constant is sure to keep its address: any other name is matched by
    // its text alone.
    CoreString const* name_id = event_is_registered_id(&event_name) ? &event_name : nullptr;
    connections.push_back(
        Connection{invoker, receiver_object, data, name_id, receiver, callback, event_name, std::move(slot)});
    if (receiver) receiver->get_links().senders.push_back(&sender);
    return true;
}

bool EventObject::remove_connections(EventObject& sender, CoreString const& event_name, EventObject* receiver,
                                     Callback const& callback)
{
    return sender.remove_connections_if([&](Connection const& c) {
        return c.receiver == receiver && c.callback == callback && c.name == event_name;
    }) != 0;
}

void EventObject::log_wrong_receiver_class(CoreString const& event_name)
{
    CORE_LOG_ERROR("EventObject.connect: the receiver is not of the callback's class (event \"" << event_name
                   << "\")\n");
}

template <class Predicate>
unsigned int EventObject::remove_connections_if(Predicate const& matches)
{
    if (!m_links) return 0;
    unsigned int removed = 0;
    for (Connection& c : m_links->connections) {
        if (!c.invoker || !matches(c)) continue;
        if (c.receiver) c.receiver->unlink_sender(this);
        if (c.slot) c.slot->m_sender = nullptr;
        c.invoker = nullptr;
        c.receiver = nullptr;
        c.receiver_object = nullptr;
        ++removed;
    }
    if (removed == 0) return 0;
    // A raise in progress walks the array by index: removed entries stay in place, skipped,
    // until the outermost raise ends.
    if (m_links->raise_frame) {
        m_links->removed_count += removed;
    } else {
        std::erase_if(m_links->connections, [](Connection const& c) { return !c.invoker; });
    }
    return removed;
}

void EventObject::unlink_sender(EventObject* sender)
{
    if (!m_links) return;
    std::vector<EventObject*>& senders = m_links->senders;
    auto it = std::find(senders.begin(), senders.end(), sender);
    if (it == senders.end()) return;
    *it = senders.back();
    senders.pop_back();
}

unsigned int EventObject::disconnect_all(EventObject& sender)
{
    return sender.remove_connections_if([this](Connection const& c) { return c.receiver == this; });
}

unsigned int EventObject::disconnect_all()
{
    unsigned int removed = 0;
    while (m_links && !m_links->senders.empty()) {
        std::vector<EventObject*>& senders = m_links->senders;
        // Removing the sender's connections to this receiver drops its entries here.
        unsigned int count = disconnect_all(*senders.back());
        if (count == 0) senders.pop_back();  // a stale entry: never loop on it
        removed += count;
    }
    return removed;
}

void EventObject::remove_all_connection()
{
    disconnect_all();
    remove_connections_if([](Connection const&) { return true; });
}

bool EventObject::is_connected(EventObject const& sender, CoreString const& event_name, void* data) const
{
    if (!sender.m_links) return false;
    for (Connection const& c : sender.m_links->connections) {
        if (c.invoker && c.receiver == this && c.data == data && c.name == event_name) return true;
    }
    return false;
}

unsigned int EventObject::get_connection_count() const
{
    if (!m_links) return 0;
    return static_cast<unsigned int>(m_links->connections.size()) - m_links->removed_count;
}

void EventObject::raise_event(CoreString const& event_name)
{
    if (m_mute || !m_links || m_links->connections.empty()) return;
    EventInfo info(event_name);
    info.m_sender = this;
    call_callbacks(info);
}

void EventObject::raise_event(EventInfo const& info)
{
    if (m_mute || !m_links || m_links->connections.empty()) return;
    EventInfo own(info);
    own.m_sender = this;
    call_callbacks(own);
}

void EventObject::call_callbacks(EventInfo const& info)
{
    // Ends the raise however the loop is left, unless a callback destroyed this object.
    // Raising needs a connection, so the links exist, and they live as long as the object.
    Links& links = *m_links;
    struct FrameGuard {
        Links& links;
        RaiseFrame frame;
        ~FrameGuard()
        {
            if (frame.destroyed) return;
            links.raise_frame = frame.outer;
            if (!frame.outer && links.removed_count) {
                std::erase_if(links.connections, [](Connection const& c) { return !c.invoker; });
                links.removed_count = 0;
            }
        }
    } guard{links, {links.raise_frame, false}};
    links.raise_frame = &guard.frame;

    CoreString const& name = *info.m_name;
    // Callbacks connected during the raise are appended past `count` and wait for the next one.
    size_t const count = links.connections.size();
    for (size_t i = 0; i < count; ++i) {
        // Taken afresh each time: a callback may have grown (moved) the array.
        Connection const& c = links.connections[i];
        if (!c.invoker || (c.name_id != &name && c.name != name)) continue;
        if (c.slot) {
            // Held while it runs: the callable may end its own connection or destroy this object.
            std::shared_ptr<EventCallableSlot> const running = c.slot;
            c.invoker(c.receiver_object, c.callback, *this, info, c.data);
        } else {
            c.invoker(c.receiver_object, c.callback, *this, info, c.data);
        }
        if (guard.frame.destroyed) return;
    }
}

size_t EventObject::get_memory_size() const
{
    size_t size = CoreCustomData::get_memory_size() - sizeof(CoreCustomData) + sizeof(EventObject);
    if (!m_links) return size;
    size += sizeof(Links) + m_links->connections.capacity() * sizeof(Connection) +
            m_links->senders.capacity() * sizeof(EventObject*);
    for (Connection const& c : m_links->connections) {
        // Names longer than the string's inline buffer live on the heap.
        if (c.name.std_string().capacity() > 15) size += c.name.std_string().capacity() + 1;
    }
    return size;
}
