#pragma once
// Events of the scene framework. Every change of the scene, when it is made, undone or
// redone, raises one event on the OfObjectFactory, synchronously, with an OfEventData as
// event data. Before raising, the factory and the context concerned record the item as
// their last event item (OfContext::get_last_event_item and the factory's own).
//
//     void MyPanel::on_renamed(OfObjectFactory& factory, EventObject::EventInfo const& info, void*)
//     {
//         auto const* data = static_cast<OfEventData const*>(info.get_event_data());
//         ... data->item, data->previous_name ...
//     }
//     panel.connect(factory, EVT_ID_OF_OBJECT_RENAME, &MyPanel::on_renamed);
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/event/event_id.h"

class OfAttr;
class OfContext;
class OfItem;

// Items added, removed or renamed. An object embedded in another raises the EMBEDDED forms.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_ADD_OBJECT);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_REMOVE_OBJECT);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_ADD_EMBEDDED_OBJECT);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_REMOVE_EMBEDDED_OBJECT);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_OBJECT_RENAME);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_ADD_CONTEXT);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_REMOVE_CONTEXT);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_RENAME_CONTEXT);
// Copies of objects and contexts added by OfObjectFactory::copy_items (instead of the ADD forms).
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_PASTE_OBJECT);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_PASTE_CONTEXT);
// An object moved to another context (data: previous_context).
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_ITEM_MOVED);
// A context moved to another parent context.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_REORDER_CONTEXT);
// The values of an attribute changed (data: attr).
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_OBJECT_ATTR_CHANGE);
// The expression of an attribute, or whether it holds own values, changed (data: attr).
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_OBJECT_ATTR_FLAGS);
// An input connection or an object reference changed (data: attr), or an instance lost or
// regained its source (data: attr null).
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_OBJECT_CONNECTION_CHANGED);
// Disabled, reference or override flags of an item changed.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_ITEM_FLAGS);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_ITEM_COLORTAG_CHANGED);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_ITEM_COMMENT_CHANGED);
// The node-graph position of an item changed.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_ITEM_POSITION_CHANGED);
// OfObjectFactory::clear emptied the scene (data: item null).
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_REMOVE_ALL_OBJECTS);
// Items were added to or removed from a scene-assembly context (raised after the ADD or
// REMOVE event; data: the item). Evaluators raise SET_DIRTY when an assembly must be rebuilt.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_ASSEMBLY_CONTAINER_CONTENT_CHANGED);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_ASSEMBLY_CONTAINER_CONTENT_SET_DIRTY);
// Raised on the OfCommandManager when its undo or redo steps changed (a step was added,
// undone, redone, or the history cleared); data null.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_OF_COMMAND_HISTORY_CHANGED);

// What a framework event concerns; valid only while the event is being raised.
struct QN_HOST_API OfEventData {
    OfItem* item = nullptr;                 // the item added, removed, renamed or changed
    OfContext* context = nullptr;           // the context the item is (or was) in
    OfAttr* attr = nullptr;                 // the attribute, for attribute events
    OfContext* previous_context = nullptr;  // for moves
    CoreString previous_name;               // for renames
};
