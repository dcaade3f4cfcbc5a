#include "gui/core/gui_app_item_editors.h"

#include <utility>

#include "host/core/core_log.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"

int GuiAppItemEditors::find(CoreString const& name) const
{
    for (unsigned int i = 0; i < m_editors.get_count(); ++i)
        if (m_editors[i].name == name) return static_cast<int>(i);
    return -1;
}

bool GuiAppItemEditors::register_editor(CoreString const& name, CanOpen can_open, Open open)
{
    if (name.is_empty() || !can_open || !open) {
        CORE_LOG_WARNING("GuiAppItemEditors.register_editor: an editor needs a name and both functions (\""
                         << name << "\")\n");
        return false;
    }
    if (find(name) >= 0) {
        CORE_LOG_WARNING("GuiAppItemEditors.register_editor: \"" << name << "\" is already registered\n");
        return false;
    }
    m_editors.add(Editor{name, std::move(can_open), std::move(open)});
    return true;
}

bool GuiAppItemEditors::unregister_editor(CoreString const& name)
{
    int const index = find(name);
    if (index < 0) return false;
    m_editors.remove(static_cast<unsigned int>(index));
    for (unsigned int i = m_defaults.get_count(); i > 0; --i)
        if (m_defaults[i - 1].editor == name) m_defaults.remove(i - 1);
    return true;
}

CoreVector<CoreString> GuiAppItemEditors::get_editors_for(OfItem const& item) const
{
    CoreVector<CoreString> names;
    for (Editor const& editor : m_editors)
        if (editor.can_open(item)) names.add(editor.name);
    return names;
}

CoreString GuiAppItemEditors::get_item_class_name(OfItem const& item)
{
    if (OfObject const* object = item.to_object()) return object->get_class_name();
    return OfContext::class_info().get_name();
}

bool GuiAppItemEditors::set_default_editor(CoreString const& class_name, CoreString const& editor)
{
    if (!editor.is_empty() && find(editor) < 0) {
        CORE_LOG_WARNING("GuiAppItemEditors.set_default_editor: no editor \"" << editor << "\"\n");
        return false;
    }
    for (unsigned int i = 0; i < m_defaults.get_count(); ++i) {
        if (m_defaults[i].class_name != class_name) continue;
        if (editor.is_empty())
            m_defaults.remove(i);
        else
            m_defaults[i].editor = editor;
        return true;
    }
    if (!editor.is_empty()) m_defaults.add(Default{class_name, editor});
    return true;
}

CoreString GuiAppItemEditors::get_default_editor(CoreString const& class_name) const
{
    for (Default const& entry : m_defaults)
        if (entry.class_name == class_name) return entry.editor;
    return CoreString();
}

CoreString GuiAppItemEditors::get_default_editor_for(OfItem const& item) const
{
    int const chosen = find(get_default_editor(get_item_class_name(item)));
    if (chosen >= 0 && m_editors[static_cast<unsigned int>(chosen)].can_open(item))
        return m_editors[static_cast<unsigned int>(chosen)].name;
    for (Editor const& editor : m_editors)
        if (editor.can_open(item)) return editor.name;
    return CoreString();
}

bool GuiAppItemEditors::open_default(OfItem& item, bool const& alt)
{
    int const index = find(get_default_editor_for(item));
    if (index < 0) {
        CORE_LOG_WARNING("GuiAppItemEditors.open_default: no editor opens " << item.get_full_name() << "\n");
        return false;
    }
    OfItem* items[] = {&item};
    // The editor may unregister itself while it opens: call a copy.
    Open const open = m_editors[static_cast<unsigned int>(index)].open;
    return open(CoreBasicArray<OfItem*>(items, 1), alt);
}

bool GuiAppItemEditors::open_items(CoreBasicArray<OfItem*> const& items, CoreString const& editor)
{
    int const index = find(editor);
    if (index < 0) {
        CORE_LOG_WARNING("GuiAppItemEditors.open_items: no editor \"" << editor << "\"\n");
        return false;
    }
    Editor const entry = m_editors[static_cast<unsigned int>(index)];
    CoreVector<OfItem*> fitting;
    CoreString refused;
    for (OfItem* item : items) {
        if (item && entry.can_open(*item)) {
            fitting.add(item);
        } else {
            refused += refused.is_empty() ? "" : ", ";
            refused += item ? item->get_full_name() : CoreString("(null)");
        }
    }
    if (fitting.is_empty()) {
        CORE_LOG_WARNING("GuiAppItemEditors.open_items: \"" << editor << "\" opens none of the items\n");
        return false;
    }
    if (!refused.is_empty())
        CORE_LOG_WARNING("GuiAppItemEditors.open_items: \"" << editor << "\" does not open " << refused
                                                            << "\n");
    return entry.open(fitting, false);
}
