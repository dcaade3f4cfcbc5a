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
    m_filter_text_kind = FILTER_TEXT_NONE;
    m_filter_text.clear();
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
    std::string text;
    append_searchable_text(item, text);
    CoreString result(std::move(text));
    return case_sensitive ? result : result.lower_case();
}

void GuiOfItemSpreadsheetRow::append_searchable_text(OfItem const& item, std::string& text)
{
    text += item.get_name().view();
    if (OfObject const* object = item.to_object()) {
        text += ' ';
        text += object->get_class_name().view();
        if (OfObject const* source = object->get_source()) {
            text += ' ';
            text += source->get_name().view();
        }
    }
}

std::string const& GuiOfItemSpreadsheetRow::get_filter_text(bool const& case_sensitive) const
{
    FilterTextKind const wanted = case_sensitive ? FILTER_TEXT_AS_IS : FILTER_TEXT_LOWER;
    if (m_filter_text_kind == wanted) return m_filter_text;
    m_filter_text.clear();
    // A listed row's item is in the scene: its rows leave when it does.
    if (m_item_key)
        append_searchable_text(*m_item_key, m_filter_text);
    else
        m_filter_text += get_item_name().view();
    if (!case_sensitive)
        for (char& c : m_filter_text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    m_filter_text.shrink_to_fit();
    m_filter_text_kind = wanted;
    return m_filter_text;
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
    return GuiSpreadsheetRow::get_memory_size() - sizeof(GuiSpreadsheetRow) + sizeof(GuiOfItemSpreadsheetRow) +
           (m_filter_text.capacity() > 15 ? m_filter_text.capacity() + 1 : 0);
}
