#include "gui/explorer/gui_of_item_spreadsheet_row.h"

#include "gui/explorer/gui_of_item_spreadsheet.h"
#include "gui/explorer/gui_of_item_spreadsheet_cells.h"
#include "host/of/of_attr.h"
#include "host/of/of_object.h"

CORE_IMPLEMENT_CLASS(GuiOfItemSpreadsheetRow, GuiSpreadsheetRow)

GuiOfItemSpreadsheetRow::GuiOfItemSpreadsheetRow(GuiOfItemSpreadsheet& sheet) : GuiSpreadsheetRow(sheet), m_sheet(&sheet)
{
}

void GuiOfItemSpreadsheetRow::reset(RowKind const& kind, OfHandle const& handle)
{
    GuiSpreadsheetRow::init();
    remove_all_data();
    m_kind = kind;
    m_handle = handle;
    m_string = CoreString();
    m_item_key = nullptr;
    m_children_built = false;
    m_index_hint = 0;
}

void GuiOfItemSpreadsheetRow::init(OfItem const& item)
{
    reset(item.is_context() ? ROW_KIND_CONTEXT : ROW_KIND_OBJECT, OfHandle(&item));
    m_item_key = &item;
}

void GuiOfItemSpreadsheetRow::init(OfAttr const& attr)
{
    reset(ROW_KIND_ATTR, OfHandle(&attr));
}

void GuiOfItemSpreadsheetRow::init(OfOutput const& output)
{
    reset(ROW_KIND_OUTPUT, OfHandle(&output));
}

void GuiOfItemSpreadsheetRow::init(CoreString const& text)
{
    reset(ROW_KIND_STRING, OfHandle());
    m_string = text;
}

OfObject* GuiOfItemSpreadsheetRow::get_object() const
{
    switch (m_kind) {
    case ROW_KIND_OBJECT:
    case ROW_KIND_ATTR:
    case ROW_KIND_OUTPUT: return m_handle.to_object();
    default: return nullptr;
    }
}

CoreString GuiOfItemSpreadsheetRow::get_item_name() const
{
    if (m_kind == ROW_KIND_STRING) return m_string;
    if (OfItem const* item = get_item()) return item->get_name();
    if (OfPlugType const* plug = get_plug()) return plug->get_name();
    return "Item removed";
}

CoreString GuiOfItemSpreadsheetRow::get_searchable_text(bool const& case_sensitive) const
{
    if (OfItem const* item = get_item()) return make_searchable_text(*item, case_sensitive);
    CoreString const name = get_item_name();
    return case_sensitive ? name : name.get_lower_case();
}

CoreString GuiOfItemSpreadsheetRow::make_searchable_text(OfItem const& item, bool const& case_sensitive)
{
    CoreString text = item.get_name();
    if (OfObject const* object = item.to_object()) {
        text += " ";
        text += object->get_class_name();
        if (OfObject const* source = object->get_source()) {
            text += " ";
            text += source->get_name();
        }
    }
    return case_sensitive ? text : text.get_lower_case();
}

void GuiOfItemSpreadsheetRow::create_cells(bool const& refresh)
{
    remove_all_data();
    int const columns = m_sheet->get_column_count();
    for (int column = 0; column < columns; ++column)
        add_cell(GuiOfItemSpreadsheetCell::create(m_sheet->get_column_sort_type(column)));
    if (refresh) m_sheet->redraw();
}

size_t GuiOfItemSpreadsheetRow::get_memory_size() const
{
    return GuiSpreadsheetRow::get_memory_size() - sizeof(GuiSpreadsheetRow) + sizeof(GuiOfItemSpreadsheetRow);
}
