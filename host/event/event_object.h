#pragma once
// Named events between objects. An object raises an event on itself; the callbacks that
// receivers (or free functions) connected to that object and name are called at once:
//
//     class MyPanel : public GuiWidget {
//     public:
//         void on_click(GuiPushButton& button, EventObject::EventInfo const& info, void* data);
//     };
//     panel->connect(*button, EVT_ID_PUSH_BUTTON_CLICK, &MyPanel::on_click, nullptr);
//     button->raise_event(EVT_ID_PUSH_BUTTON_CLICK);     // calls panel->on_click(*button, ...)
//
// Any callable connects too: a lambda taking (sender, info), (info) or nothing. The handle
// it gives back ends the connection; a receiver given before the callable ends it when
// the receiver is destroyed:
//
//     EventConnection clicks = EventObject::connect(*button, EVT_ID_PUSH_BUTTON_CLICK,
//                                                   [&count](GuiPushButton&, EventObject::EventInfo const&) { ++count; });
//     EventObject::connect(*slider, EVT_ID_SLIDER_VALUE_CHANGED, *panel, [panel] { panel->redraw(); });
//     clicks.disconnect();
//
// Lifetime: destroying a sender or a receiver removes its connections on both sides.
// Connections may be added or removed, and senders or receivers destroyed, from inside a
// callback: a raise in progress skips the callbacks removed before their turn and does not
// call those added after it started. A receiver whose members are still connected while
// its own destructor runs may be called half destroyed; such classes call disconnect_all()
// first thing in their destructor.
//
// Threading: raising is synchronous, in the raising thread. Objects connected to one another
// are connected, disconnected, raised and destroyed by one thread at a time (for widgets, the
// interface thread); objects of unrelated groups may be used from different threads.
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/core/core_custom_data.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"

class EventCallableSlot;

// The handle of a connection made with a callable. Copies refer to the same connection;
// destroying a handle leaves the connection in place.
class QN_HOST_API EventConnection {
public:
    EventConnection() = default;
    // Ends the connection; false when it had ended already (disconnected, or its sender or
    // receiver destroyed) or the handle is empty.
    bool disconnect();
    bool is_connected() const;
    explicit operator bool() const { return is_connected(); }

private:
    friend class EventObject;
    explicit EventConnection(std::weak_ptr<EventCallableSlot> slot) : m_slot(std::move(slot)) {}
    std::weak_ptr<EventCallableSlot> m_slot;
};

// Base of every object that raises or receives named events; every widget is one.
class QN_HOST_API EventObject : public CoreCustomData {
    CORE_DECLARE_CLASS(EventObject, CoreCustomData)

public:
    // What callbacks are told about the event being raised: the object raising it, its name
    // and optional data (the cell that changed, the embedded editor, ...). It refers to the
    // name it was made from, which must outlive it; the EVT_ID_ constants always do.
    class EventInfo {
    public:
        explicit EventInfo(CoreString const& name, void* event_data = nullptr)
            : m_name(&name), m_event_data(event_data) {}
        // Would refer to a temporary name.
        EventInfo(CoreString&& name, void* event_data = nullptr) = delete;

        // The object the event is raised on; set by raise_event.
        EventObject* const& get_sender() const { return m_sender; }
        CoreString const& get_name() const { return *m_name; }
        void* const& get_event_data() const { return m_event_data; }
        void set_event_data(void* const& event_data) { m_event_data = event_data; }

    private:
        friend class EventObject;
        EventObject* m_sender = nullptr;
        CoreString const* m_name;
        void* m_event_data;
    };

    // Callbacks get the sender (as the class they name, a base of the sender's class), the
    // event and the data given when connecting.
    template <class Sender>
    using FreeCallback = void (*)(Sender& sender, EventInfo const& info, void* data);
    template <class Receiver, class Sender>
    using MemberCallback = void (Receiver::*)(Sender& sender, EventInfo const& info, void* data);

    EventObject() = default;
    // Connections belong to one object: they are neither copied nor moved.
    EventObject(EventObject const&) = delete;
    EventObject& operator=(EventObject const&) = delete;
    ~EventObject() override;

    // Calls `callback` on this object whenever `sender` raises `event_name`, after the
    // callbacks connected before. Logs and returns false when this object is not of the
    // callback's class, when the name is empty, or when the same callback is already
    // connected to the same sender, name and data.
    template <class Receiver, class Sender, class CallbackSender>
    bool connect(Sender& sender, CoreString const& event_name,
                 MemberCallback<Receiver, CallbackSender> callback, void* data = nullptr)
    {
        check_sender_class<Sender, CallbackSender>();
        Receiver* receiver = as_receiver<Receiver>();
        if (!receiver) {
            log_wrong_receiver_class(event_name);
            return false;
        }
        return add_connection(sender, event_name, &invoke_member<Receiver, CallbackSender>, receiver, this,
                              make_callback(callback), data);
    }
    // The same with a free function, which belongs to no receiver: only the sender's
    // remove_all_connection (or its destruction) and the free disconnect remove it.
    template <class Sender, class CallbackSender>
    static bool connect(Sender& sender, CoreString const& event_name, FreeCallback<CallbackSender> callback,
                        void* data = nullptr)
    {
        check_sender_class<Sender, CallbackSender>();
        return add_connection(sender, event_name, &invoke_free<CallbackSender>, nullptr, nullptr,
                              make_callback(callback), data);
    }
    // Also takes captureless lambdas.
    static bool connect(EventObject& sender, CoreString const& event_name, FreeCallback<EventObject> callback,
                        void* data = nullptr);

    // Calls `callable` whenever `sender` raises `event_name`. It may take the sender (as a
    // class the sender is) and the event info, the info alone, or nothing; it is kept, by
    // value, until the connection ends: through the handle, or when the sender is destroyed.
    // An empty handle, with a logged error, when the name is empty.
    template <class Sender, class Callable>
        requires(std::is_invocable_v<std::decay_t<Callable>&, Sender&, EventInfo const&>
                 || std::is_invocable_v<std::decay_t<Callable>&, EventInfo const&>
                 || std::is_invocable_v<std::decay_t<Callable>&>)
    static EventConnection connect(Sender& sender, CoreString const& event_name, Callable&& callable)
    {
        return connect_callable<Sender>(sender, event_name, nullptr, std::forward<Callable>(callable));
    }
    // The same, also ended when `receiver` is destroyed (or by its disconnect_all): for
    // lambdas that use the receiver.
    template <class Sender, class Callable>
        requires(std::is_invocable_v<std::decay_t<Callable>&, Sender&, EventInfo const&>
                 || std::is_invocable_v<std::decay_t<Callable>&, EventInfo const&>
                 || std::is_invocable_v<std::decay_t<Callable>&>)
    static EventConnection connect(Sender& sender, CoreString const& event_name, EventObject& receiver,
                                   Callable&& callable)
    {
        return connect_callable<Sender>(sender, event_name, &receiver, std::forward<Callable>(callable));
    }

    // Remove the connections of `callback` to `sender` and `event_name` (whatever their data);
    // false when there was none.
    template <class Receiver, class Sender, class CallbackSender>
    bool disconnect(Sender& sender, CoreString const& event_name,
                    MemberCallback<Receiver, CallbackSender> callback)
    {
        return remove_connections(sender, event_name, this, make_callback(callback));
    }
    template <class Sender, class CallbackSender>
    static bool disconnect(Sender& sender, CoreString const& event_name,
                           FreeCallback<CallbackSender> callback)
    {
        return remove_connections(sender, event_name, nullptr, make_callback(callback));
    }
    static bool disconnect(EventObject& sender, CoreString const& event_name,
                           FreeCallback<EventObject> callback);

    // Removes every connection of this receiver to `sender`; returns how many.
    unsigned int disconnect_all(EventObject& sender);
    // Removes every connection of this receiver; returns how many.
    unsigned int disconnect_all();
    // Removes every connection where this object is the sender or the receiver.
    void remove_all_connection();
    // True when a callback of this receiver is connected to `sender` and `event_name` with
    // `data`.
    bool is_connected(EventObject const& sender, CoreString const& event_name, void* data) const;
    // Connections where this object is the sender (free functions included).
    unsigned int get_connection_count() const;

    // Calls every callback connected to this object and the name, in connection order,
    // unless the object is muted. The info's sender is set to this object.
    void raise_event(CoreString const& event_name);
    void raise_event(EventInfo const& info);

    // While muted, raise_event does nothing; a raise already in progress goes on.
    void set_mute(bool const& mute) { m_mute = mute; }
    bool const& is_mute() const { return m_mute; }

    size_t get_memory_size() const override;

private:
    friend class EventConnection;
    friend class EventCallableSlot;

    // A callback's function or member-function pointer, stored as bytes so that connections
    // of every callback type share one layout; the invoker knows the type.
    struct Callback {
        alignas(void*) unsigned char bytes[2 * sizeof(void*)];
        bool operator==(Callback const& other) const
        {
            return std::memcmp(bytes, other.bytes, sizeof bytes) == 0;
        }
    };
    using Invoker = void (*)(void* receiver, Callback const& callback, EventObject& sender,
                             EventInfo const& info, void* data);

    struct Connection {
        Invoker invoker;               // null once removed during a raise
        void* receiver_object;         // the receiver as the callback's class; null for free functions
        void* data;
        CoreString const* name_id;     // the name's EVT_ID_ constant when it was given as one
        EventObject* receiver;         // null for free functions
        Callback callback;
        CoreString name;
        std::shared_ptr<EventCallableSlot> slot;  // the callable of a connection made with one
    };

    // One per raise in progress on this object, innermost first, so that a raise notices
    // when a callback destroys the sender.
    struct RaiseFrame {
        RaiseFrame* outer;
        bool destroyed;
    };

    template <class Sender, class CallbackSender>
    static constexpr void check_sender_class()
    {
        static_assert(std::is_base_of_v<EventObject, CallbackSender>,
                      "the callback's sender class must derive from EventObject");
        static_assert(std::is_base_of_v<CallbackSender, Sender>,
                      "the sender must be of the callback's sender class");
    }

    // This object as the class whose member is connected; null when it is not one.
    template <class Receiver>
    Receiver* as_receiver()
    {
        if constexpr (std::is_base_of_v<Receiver, EventObject>) {
            return this;
        } else {
            return dynamic_cast<Receiver*>(this);
        }
    }

    template <class Function>
    static Callback make_callback(Function const& function)
    {
        static_assert(sizeof(Function) <= sizeof(Callback::bytes), "callback pointer too large");
        Callback callback{};
        std::memcpy(callback.bytes, &function, sizeof function);
        return callback;
    }

    template <class Receiver, class CallbackSender>
    static void invoke_member(void* receiver, Callback const& callback, EventObject& sender,
                              EventInfo const& info, void* data)
    {
        MemberCallback<Receiver, CallbackSender> function;
        std::memcpy(&function, callback.bytes, sizeof function);
        (static_cast<Receiver*>(receiver)->*function)(static_cast<CallbackSender&>(sender), info, data);
    }

    template <class CallbackSender>
    static void invoke_free(void*, Callback const& callback, EventObject& sender, EventInfo const& info,
                            void* data)
    {
        FreeCallback<CallbackSender> function;
        std::memcpy(&function, callback.bytes, sizeof function);
        function(static_cast<CallbackSender&>(sender), info, data);
    }

    template <class Sender, class Callable>
    static EventConnection connect_callable(Sender& sender, CoreString const& event_name, EventObject* receiver,
                                            Callable&& callable);
    static void invoke_slot(void* slot, Callback const& callback, EventObject& sender, EventInfo const& info,
                            void* data);
    static EventConnection add_slot(EventObject& sender, CoreString const& event_name, EventObject* receiver,
                                    std::shared_ptr<EventCallableSlot> slot);

    static bool add_connection(EventObject& sender, CoreString const& event_name, Invoker invoker,
                               void* receiver_object, EventObject* receiver, Callback const& callback,
                               void* data, std::shared_ptr<EventCallableSlot> slot = {});
    static bool remove_connections(EventObject& sender, CoreString const& event_name, EventObject* receiver,
                                   Callback const& callback);
    static void log_wrong_receiver_class(CoreString const& event_name);

    // Removes the connections of this sender that `matches` accepts; returns how many.
    template <class Predicate>
    unsigned int remove_connections_if(Predicate const& matches);
    // Drops one entry of `sender` from the senders this receiver is connected to.
    void unlink_sender(EventObject* sender);
    void call_callbacks(EventInfo const& info);

    // Made with the object's first connection, as sender or receiver, and kept until its
    // destruction: most objects (most widgets) never have one, and an object this small leaves
    // the first cache line of a derived class to that class's own busiest fields.
    struct Links {
        std::vector<Connection> connections;  // as sender, in connection order
        std::vector<EventObject*> senders;    // as receiver: one entry per connection
        RaiseFrame* raise_frame = nullptr;
        unsigned int removed_count = 0;       // connections removed during a raise, not yet erased
    };
    Links& get_links();

    std::unique_ptr<Links> m_links;
    bool m_mute = false;
};

// A callable connected to an event, shared by its connection and (weakly) its handles. The
// raise holds a reference while calling it, so a callable may end its own connection or
// destroy its sender.
class QN_HOST_API EventCallableSlot {
public:
    virtual ~EventCallableSlot() = default;
    virtual void call(EventObject& sender, EventObject::EventInfo const& info) = 0;

private:
    friend class EventObject;
    friend class EventConnection;
    EventObject* m_sender = nullptr;  // null once the connection has ended
};

template <class Sender, class Callable>
EventConnection EventObject::connect_callable(Sender& sender, CoreString const& event_name, EventObject* receiver,
                                              Callable&& callable)
{
    static_assert(std::is_base_of_v<EventObject, Sender>, "the sender must derive from EventObject");
    using Function = std::decay_t<Callable>;
    class Slot final : public EventCallableSlot {
    public:
        explicit Slot(Callable&& callable) : m_function(std::forward<Callable>(callable)) {}
        void call(EventObject& sender, EventObject::EventInfo const& info) override
        {
            if constexpr (std::is_invocable_v<Function&, Sender&, EventObject::EventInfo const&>)
                m_function(static_cast<Sender&>(sender), info);
            else if constexpr (std::is_invocable_v<Function&, EventObject::EventInfo const&>)
                m_function(info);
            else
                m_function();
        }

    private:
        Function m_function;
    };
    return add_slot(sender, event_name, receiver, std::make_shared<Slot>(std::forward<Callable>(callable)));
}
