#include "gui/panels/gui_browser_picker.h"

#include "gui/controls/gui_list_view.h"
#include "gui/core/gui_app.h"
#include "gui/fields/gui_line_edit.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

CORE_IMPLEMENT_CLASS(GuiBrowserPicker, GuiInputDialog)

GuiBrowserPicker::GuiBrowserPicker(GuiApp& app, CoreVector<CoreString> const& class_names)
    : GuiInputDialog(app, "Pick Object")
{
    for (OfObject* object : app.get_factory().get_root().get_all_objects()) {
        bool wanted = class_names.is_empty();
        for (unsigned int i = 0; i < class_names.get_count() && !wanted; ++i) wanted = object->is_kindof(class_names[i]);
        if (wanted) m_candidates.add(object->get_full_name());
    }
    m_filter = add_text("Filter", CoreString());
    GMathVec4<int> const area = add_area(CoreString(), LIST_ROWS);
    m_list = new GuiListView(*this, MARGIN, area[1], area[0] + area[2] - MARGIN, area[3]);
    m_list->set_items(m_candidates);
    m_list->show();
    add_field(*m_list);
    connect(*m_filter, EVT_ID_LINE_EDIT_VALUE_EDITED, &GuiBrowserPicker::on_filter_changed);
    connect(*m_list, EVT_ID_LIST_VIEW_VALIDATE, &GuiBrowserPicker::on_list_validate);
}

GuiBrowserPicker::~GuiBrowserPicker() = default;

void GuiBrowserPicker::set_filter(CoreString const& text)
{
    CoreString const needle = text.get_trim().get_lower_case();
    CoreVector<CoreString> shown;
    for (CoreString const& name : m_candidates)
        if (needle.is_empty() || name.get_lower_case().find(needle) != CoreString::NOT_FOUND) shown.add(name);
    m_list->set_items(shown);
    if (!shown.is_empty()) m_list->set_selected_index(0);
}

OfObject* GuiBrowserPicker::get_selected_object() const
{
    if (m_list->get_selected_index() < 0) return nullptr;
    OfItem* item = get_application().get_factory().get_item(m_list->get_selected_item());
    return item && item->is_object() ? static_cast<OfObject*>(item) : nullptr;
}

OfObject* GuiBrowserPicker::pick(OfObject const* current)
{
    if (current) {
        int const index = m_list->get_items().find(current->get_full_name());
        if (index >= 0) {
            m_list->set_selected_index(index);
            m_list->scroll_to(index);
        }
    }
    return run() ? get_selected_object() : nullptr;
}

void GuiBrowserPicker::on_filter_changed(EventObject&, EventInfo const&, void*)
{
    set_filter(m_filter->get_text());
}

void GuiBrowserPicker::on_list_validate(EventObject&, EventInfo const&, void*)
{
    if (m_list->get_selected_index() >= 0) accept();
}
