#pragma once
// Event names: string constants spelled EVT_ID_ plus an upper-case name, made at load time.
// Declare them in a header and define them in one source file of the library raising them:
//
//     EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_PUSH_BUTTON_CLICK);   // header
//     EVENT_DEFINE_ID(EVT_ID_PUSH_BUTTON_CLICK);                // source
//
// The text of a constant is its own identifier ("EVT_ID_PUSH_BUTTON_CLICK"). Defining one
// registers it, so that events raised with the constant itself are matched by address, and
// checks that no other name has the same one-at-a-time hash.
#include "host/core/core_export.h"
#include "host/core/core_string.h"

// Reports at level 2, and returns true, when a name other than `name` was already checked
// with the same `hash`; remembers `name` under `hash` either way. Checking the same name
// twice is not a collision. Safe from any thread and during static initialisation.
QN_HOST_API bool event_debug_collisions(unsigned int const& hash, CoreBasicString const& name);

// True when `name` is an event-name constant defined with EVENT_DEFINE_ID that is still
// loaded (the test is on the address, not the text).
QN_HOST_API bool event_is_registered_id(CoreString const* name);

// Registers one event-name constant for as long as it lives; used by EVENT_DEFINE_ID.
class QN_HOST_API EventIdRegistration {
public:
    explicit EventIdRegistration(CoreString const& id);
    ~EventIdRegistration();

    EventIdRegistration(EventIdRegistration const&) = delete;
    EventIdRegistration& operator=(EventIdRegistration const&) = delete;

private:
    CoreString const* m_id;
};

#define EVENT_DECLARE_ID(API, id) extern API CoreString const id

// The registration object is defined right after the constant, so it is made after it and
// unregisters it before it is destroyed when the library is unloaded.
// The extern declaration keeps the constant's linkage external even where the declaring
// header was not included.
#define EVENT_DEFINE_ID(id)             \
    extern CoreString const id;         \
    CoreString const id(#id);           \
    static EventIdRegistration const id##_event_id_registration_(id)
