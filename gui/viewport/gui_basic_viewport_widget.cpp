#include "gui/viewport/gui_basic_viewport_widget.h"

#include <map>
#include <string>

#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiBasicViewportWidget, GuiWidget)

namespace {

struct EditorClass {
    CoreString title;
    GuiViewportEditors::Maker maker;
};

std::map<std::string, EditorClass>& editor_classes()
{
    static std::map<std::string, EditorClass> classes;
    return classes;
}

}  // namespace

GuiBasicViewportWidget::GuiBasicViewportWidget(GuiWidget& parent) : GuiWidget(parent, 0, 0, 10, 10) {}

size_t GuiBasicViewportWidget::get_memory_size() const
{
    return GuiWidget::get_memory_size() - sizeof(GuiWidget) + sizeof(*this);
}

bool GuiViewportEditors::register_editor(CoreString const& name, CoreString const& title, Maker maker)
{
    if (name.is_empty() || !maker) {
        CORE_LOG_WARNING("GuiViewportEditors.register_editor: an editor class needs a name and a maker (\""
                         << name << "\")\n");
        return false;
    }
    editor_classes()[name.std_string()] = EditorClass{title.is_empty() ? name : title, std::move(maker)};
    return true;
}

bool GuiViewportEditors::unregister_editor(CoreString const& name)
{
    return editor_classes().erase(name.std_string()) != 0;
}

bool GuiViewportEditors::is_registered(CoreString const& name)
{
    return editor_classes().count(name.std_string()) != 0;
}

CoreVector<CoreString> GuiViewportEditors::get_editor_names()
{
    CoreVector<CoreString> names;
    for (auto const& [name, editor] : editor_classes()) names.add(CoreString(name));
    return names;
}

GuiBasicViewportWidget* GuiViewportEditors::create(CoreString const& name, GuiWidget& parent)
{
    auto const found = editor_classes().find(name.std_string());
    if (found == editor_classes().end()) {
        CORE_LOG_WARNING("GuiViewportEditors.create: no editor class is registered as \"" << name << "\"\n");
        return nullptr;
    }
    GuiBasicViewportWidget* editor = found->second.maker(parent);
    if (!editor) {
        CORE_LOG_WARNING("GuiViewportEditors.create: the maker of \"" << name << "\" made no editor\n");
        return nullptr;
    }
    editor->m_editor_name = name;
    if (editor->m_title.is_empty()) editor->m_title = found->second.title;
    return editor;
}
