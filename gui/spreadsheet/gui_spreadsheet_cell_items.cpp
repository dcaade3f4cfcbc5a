#include "gui/spreadsheet/gui_spreadsheet_cell_items.h"

#include "gui/core/gui_app.h"
#include "gui/core/gui_resource.h"
#include "gui/core/gui_image.h"
#include "gui/panels/gui_browser_picker.h"
#include "gui/panels/gui_item_draw.h"
#include "gui/spreadsheet/gui_spreadsheet.h"
#include "host/app/app_selection.h"
#include "host/core/core_log.h"
#include "host/of/of_attr.h"
#include "host/of/of_object_factory.h"

EVENT_DEFINE_ID(EVT_ID_SPREADSHEET_CELL_VALUE_CHANGED);

CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellOfItemNameBasic, GuiSpreadsheetCellBasic)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellOfItemName, GuiSpreadsheetCellOfItemNameBasic)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellObject, GuiSpreadsheetCellOfItemNameBasic)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellObjectSelector, GuiSpreadsheetCellOfItemNameBasic)

namespace {

bool is_of_classes(OfObject const& object, CoreVector<CoreString> const& classes)
{
    if (classes.is_empty()) return true;
    for (CoreString const& name : classes)
        if (object.is_kindof(name)) return true;
    return false;
}

OfObject* pick_object(GuiSpreadsheetCell const& cell, CoreVector<CoreString> const& classes, OfObject const* current)
{
    GuiSpreadsheet* sheet = cell.get_spreadsheet();
    if (!sheet) return nullptr;
    GuiBrowserPicker picker(sheet->get_application(), classes);
    return picker.pick(current);
}

}  // namespace

// --- Item name ---

CoreString GuiSpreadsheetCellOfItemNameBasic::get_text() const
{
    OfItem const* item = get_item();
    return item ? item->get_name() + m_suffix : CoreString();
}

CoreString GuiSpreadsheetCellOfItemNameBasic::get_pastable_text() const
{
    OfItem const* item = get_item();
    return item ? item->get_full_name() : CoreString();
}

int GuiSpreadsheetCellOfItemNameBasic::get_edit_offset() const
{
    return GuiItemDraw::get_name_offset();
}

OfItem* GuiSpreadsheetCellOfItemNameBasic::find_item(CoreString const& full_name, char const* operation) const
{
    GuiSpreadsheet* sheet = get_spreadsheet();
    OfItem* item = sheet ? sheet->get_application().get_factory().get_item(full_name) : nullptr;
    if (!item) CORE_LOG_WARNING(get_class_info().get_name() << "." << operation << ": no item \"" << full_name << "\"\n");
    return item;
}

void GuiSpreadsheetCellOfItemNameBasic::draw_item_text(GuiSpreadsheetDrawContext& context, CoreString const& text,
                                                       int const& right_reserve)
{
    GMathVec3<unsigned char> const background = draw_background(context);
    GMathVec4<int> const& rect = context.get_content_rect();
    GMathVec3<unsigned char> const& color =
        context.is_cell_selected() ? context.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_SELECTED)
                                   : context.get_text_color();
    int const w = rect[2] - right_reserve;
    if (w <= 0) return;
    OfItem const* item = get_item();
    if (!item) {
        context.draw_text_clampable(text, rect[0], rect[1], w, rect[3], color[0], color[1], color[2], true, false, false);
        return;
    }
    int const offset = GuiItemDraw::get_name_offset();
    draw_highlight(context, text, rect[0] + offset, w - offset, false, background);
    GuiItemDraw::draw_item(context, context.get_spreadsheet().get_application(), *item, text, rect[0], rect[1], w,
                           rect[3], color, is_enabled());
}

void GuiSpreadsheetCellOfItemNameBasic::draw(GuiSpreadsheetDrawContext& context)
{
    draw_item_text(context, get_text(), 0);
}

void GuiSpreadsheetCellOfItemNameBasic::select_in_application() const
{
    GuiSpreadsheet* sheet = get_spreadsheet();
    OfItem* item = get_item();
    if (!sheet || !item) return;
    CoreVector<OfItem*> items;
    items.add(item);
    sheet->get_application().get_selection().set_selection(AppSelection::get_global_group_label(),
                                                           AppSelection::get_global_slot_label(), items);
}

GuiSpreadsheetCellOfItemName::GuiSpreadsheetCellOfItemName(OfItem const* item) : GuiSpreadsheetCellOfItemNameBasic(item)
{
}

GuiSpreadsheetCellOfItemName::GuiSpreadsheetCellOfItemName(OfAttr const* attr)
    : GuiSpreadsheetCellOfItemNameBasic(attr ? attr->get_parent_object() : nullptr), m_attr(attr)
{
}

CoreString GuiSpreadsheetCellOfItemName::get_item_name(OfContext const* context) const
{
    if (OfAttr const* attr = get_attr()) return attr->get_name();
    OfItem const* item = get_item();
    if (!item) return CoreString();
    if (!m_full_name || item->is_context()) return item->get_name();
    CoreString const full = item->get_full_name();
    if (context) {
        CoreString const prefix = context->get_full_name() + (context->get_full_name().end_with("/") ? "" : "/");
        if (full.start_with(prefix)) return full.sub_string(prefix.get_length());
    }
    return full;
}

OfObject* GuiSpreadsheetCellOfItemName::get_object() const
{
    OfItem* item = get_item();
    return item && item->is_object() ? static_cast<OfObject*>(item) : nullptr;
}

OfContext* GuiSpreadsheetCellOfItemName::get_context() const
{
    OfItem* item = get_item();
    return item && item->is_context() ? static_cast<OfContext*>(item) : nullptr;
}

CoreString GuiSpreadsheetCellOfItemName::get_text() const
{
    return get_item_name(nullptr) + get_suffix();
}

// --- Object ---

GuiSpreadsheetCellObject::GuiSpreadsheetCellObject(OfObject const* object) : GuiSpreadsheetCellOfItemNameBasic(object)
{
}

OfObject* GuiSpreadsheetCellObject::get_object() const
{
    OfItem* item = get_item();
    return item && item->is_object() ? static_cast<OfObject*>(item) : nullptr;
}

bool GuiSpreadsheetCellObject::set_pastable_text(CoreString const& text)
{
    if (text.is_empty()) {
        set_object(nullptr);
        return true;
    }
    OfItem* item = find_item(text, "set_pastable_text");
    if (!item) return false;
    if (!item->is_object() || !is_of_classes(static_cast<OfObject&>(*item), m_classes)) {
        CORE_LOG_WARNING("GuiSpreadsheetCellObject.set_pastable_text: \"" << text << "\" is not an object of the cell's classes\n");
        return false;
    }
    set_object(static_cast<OfObject*>(item));
    return true;
}

void GuiSpreadsheetCellObject::draw(GuiSpreadsheetDrawContext& context)
{
    GMathVec3<unsigned char> const background = context.is_cell_selected()
                                                    ? context.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_SELECTION)
                                                    : context.get_row_background_color();
    draw_item_text(context, get_text(), get_button_size());
    draw_right_button(context, &GuiResource::magnifier(), CoreString(), background);
}

OfObject* GuiSpreadsheetCellObject::run_picker()
{
    return pick_object(*this, m_classes, get_object());
}

bool GuiSpreadsheetCellObject::browse()
{
    if (!is_button_usable()) return false;
    OfObject* chosen = run_picker();
    if (!chosen || chosen == get_object()) return false;
    return change_value(chosen->get_full_name());
}

bool GuiSpreadsheetCellObject::on_click(bool const& press)
{
    if (!press) return false;
    if (is_pointer_in_right_end(get_button_size())) {
        browse();
        return true;
    }
    select_in_application();
    return false;
}

bool GuiSpreadsheetCellObject::on_double_click()
{
    browse();
    return true;
}

// --- Object selector ---

GuiSpreadsheetCellObjectSelector::GuiSpreadsheetCellObjectSelector(OfItem const* item)
    : GuiSpreadsheetCellOfItemNameBasic(item)
{
}

CoreString GuiSpreadsheetCellObjectSelector::get_text() const
{
    return get_item() ? GuiSpreadsheetCellOfItemNameBasic::get_text() : m_none_text;
}

bool GuiSpreadsheetCellObjectSelector::set_pastable_text(CoreString const& text)
{
    if (text.is_empty() || text == m_none_text) {
        set_item(nullptr);
        return true;
    }
    OfItem* item = find_item(text, "set_pastable_text");
    if (!item) return false;
    // A class filter takes objects of its classes only; without one, contexts too.
    if (item->is_object() ? !is_of_classes(static_cast<OfObject&>(*item), m_classes) : !m_classes.is_empty()) {
        CORE_LOG_WARNING("GuiSpreadsheetCellObjectSelector.set_pastable_text: \"" << text << "\" is not of the cell's classes\n");
        return false;
    }
    set_item(item);
    return true;
}

int GuiSpreadsheetCellObjectSelector::get_pressed_zone() const
{
    int const size = get_button_size();
    if (is_pointer_in_right_end(size)) return 2;
    if (is_pointer_in_right_end(2 * size)) return 1;
    return 0;
}

void GuiSpreadsheetCellObjectSelector::draw(GuiSpreadsheetDrawContext& context)
{
    int const size = get_button_size();
    GMathVec3<unsigned char> const background = context.is_cell_selected()
                                                    ? context.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_SELECTION)
                                                    : context.get_row_background_color();
    draw_item_text(context, get_text(), 2 * size);
    int const jump = draw_right_button(context, &GuiResource::right_navigator_arrow(), CoreString(), background);
    GMathVec4<int> const& rect = context.get_content_rect();
    GuiImage const& arrow = context.is_cell_selected() ? GuiResource::down_triangle_label_selected()
                                                       : GuiResource::down_triangle_label();
    int const x = rect[0] + rect[2] - jump - size;
    if (x > rect[0])
        arrow.draw(is_enabled(), x + (size - static_cast<int>(arrow.get_width())) / 2,
                   rect[1] + (rect[3] - static_cast<int>(arrow.get_height())) / 2, false);
}

bool GuiSpreadsheetCellObjectSelector::is_selectable(bool const& flag) const
{
    return GuiSpreadsheetCell::is_selectable(flag) && (flag || get_pressed_zone() == 0);
}

bool GuiSpreadsheetCellObjectSelector::on_click(bool const& press)
{
    if (!press) return false;
    int const zone = get_pressed_zone();
    if (zone == 2) {
        on_jump_button();
        return true;
    }
    if (zone == 1 && is_enabled() && !get_is_read_only()) {
        start_edit_content(true);
        return true;
    }
    return false;
}

bool GuiSpreadsheetCellObjectSelector::on_double_click()
{
    if (!is_enabled() || get_is_read_only() || get_pressed_zone() == 2) return false;
    start_edit_content(true);
    return true;
}

bool GuiSpreadsheetCellObjectSelector::on_edit_content()
{
    assign_with_browser_picker();
    stop_edit_content();
    return true;
}

OfObject* GuiSpreadsheetCellObjectSelector::run_picker()
{
    OfItem* item = get_item();
    return pick_object(*this, m_classes, item && item->is_object() ? static_cast<OfObject*>(item) : nullptr);
}

bool GuiSpreadsheetCellObjectSelector::assign_with_browser_picker()
{
    if (!get_spreadsheet()) return false;
    OfObject* chosen = run_picker();
    if (!chosen || chosen == get_item()) return false;
    if (!change_value(chosen->get_full_name())) return false;
    get_spreadsheet()->raise_event(EventObject::EventInfo(EVT_ID_SPREADSHEET_CELL_VALUE_CHANGED, this));
    return true;
}
