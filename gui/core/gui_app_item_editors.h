#pragma once
// GuiAppItemEditors: the editors that can open scene items, by name. A module registers an
// editor with a test of the items it opens and a function that opens them; item views ask
// for the editors fitting an item ("Open With") and open an item in its default editor
// (a double click). The default editor is chosen per class name (an object's class, or
// "OfContext" for contexts); without one, the first registered editor that fits opens it.
//
//     editors.register_editor("Node Graph", [](OfItem const& item) { return item.is_context(); },
//                             [](CoreBasicArray<OfItem*> const& items, bool const& alt) { ... return true;
//                             });
//     editors.open_default(*context, false);
#include <functional>

#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class OfItem;

class QN_GUI_API GuiAppItemEditors {
public:
    // Whether the editor opens the item.
    using CanOpen = std::function<bool(OfItem const& item)>;
    // Opens the items (Alt held or not: a variant of the editor); false when it could not.
    using Open = std::function<bool(CoreBasicArray<OfItem*> const& items, bool const& alt)>;

    // Refused, with a warning, for an empty name, a taken name or missing functions.
    bool register_editor(CoreString const& name, CanOpen can_open, Open open);
    // Also forgets it as a default; false when there is no such editor.
    bool unregister_editor(CoreString const& name);
    bool has_editor(CoreString const& name) const { return find(name) >= 0; }
    // The editors that open the item, in registration order.
    CoreVector<CoreString> get_editors_for(OfItem const& item) const;

    // The class name defaults are kept under: the object's class, or "OfContext".
    static CoreString get_item_class_name(OfItem const& item);
    // Sets the default editor of a class; an empty editor name clears it. Refused, with a
    // warning, for an unknown editor.
    bool set_default_editor(CoreString const& class_name, CoreString const& editor);
    // The default set for the class; empty when none.
    CoreString get_default_editor(CoreString const& class_name) const;
    // The editor that opens the item by default: its class's default when that one fits,
    // else the first that fits; empty when none does.
    CoreString get_default_editor_for(OfItem const& item) const;

    // Opens the item in get_default_editor_for; false, with a warning, when no editor fits.
    bool open_default(OfItem& item, bool const& alt);
    // Opens the items the editor fits in it (a warning names the others); false, with a
    // warning, for an unknown editor or when it fits none of them.
    bool open_items(CoreBasicArray<OfItem*> const& items, CoreString const& editor);

private:
    struct Editor {
        CoreString name;
        CanOpen can_open;
        Open open;
    };
    struct Default {
        CoreString class_name;
        CoreString editor;
    };

    int find(CoreString const& name) const;

    CoreVector<Editor> m_editors;
    CoreVector<Default> m_defaults;
};
