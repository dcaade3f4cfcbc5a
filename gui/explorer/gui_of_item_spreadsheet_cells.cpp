#include "gui/explorer/gui_of_item_spreadsheet_cells.h"

#include <ctime>

#include "gui/core/gui_app.h"
#include "gui/explorer/gui_of_item_sort.h"
#include "gui/explorer/gui_of_item_spreadsheet_row.h"
#include "gui/panels/gui_item_draw.h"
#include "gui/spreadsheet/gui_spreadsheet.h"
#include "host/of/of_attr.h"
#include "host/of/of_object.h"

CORE_IMPLEMENT_CLASS(GuiOfItemSpreadsheetCell, GuiSpreadsheetCellBasic)
CORE_IMPLEMENT_CLASS(GuiOfItemSpreadsheetCellName, GuiOfItemSpreadsheetCell)
CORE_IMPLEMENT_CLASS(GuiOfItemSpreadsheetCellDate, GuiOfItemSpreadsheetCell)
CORE_IMPLEMENT_CLASS(GuiOfItemSpreadsheetCellType, GuiOfItemSpreadsheetCell)
CORE_IMPLEMENT_CLASS(GuiOfItemSpreadsheetCellInstanceName, GuiOfItemSpreadsheetCell)
CORE_IMPLEMENT_CLASS(GuiOfItemSpreadsheetCellPath, GuiOfItemSpreadsheetCell)
CORE_IMPLEMENT_CLASS(GuiOfItemSpreadsheetCellHasObject, GuiOfItemSpreadsheetCell)
CORE_IMPLEMENT_CLASS(GuiOfItemSpreadsheetCellComment, GuiOfItemSpreadsheetCell)

GuiSpreadsheetCell* GuiOfItemSpreadsheetCell::create(int const& key)
{
    switch (key) {
    case GuiOfItemSort::KEY_NAME: return new GuiOfItemSpreadsheetCellName();
    case GuiOfItemSort::KEY_MODIFICATION_DATE: return new GuiOfItemSpreadsheetCellDate(false);
    case GuiOfItemSort::KEY_CREATION_DATE: return new GuiOfItemSpreadsheetCellDate(true);
    case GuiOfItemSort::KEY_TYPE: return new GuiOfItemSpreadsheetCellType();
    case GuiOfItemSort::KEY_SOURCE: return new GuiOfItemSpreadsheetCellInstanceName();
    case GuiOfItemSort::KEY_PATH: return new GuiOfItemSpreadsheetCellPath();
    case GuiOfItemSort::KEY_HAS_OBJECT: return new GuiOfItemSpreadsheetCellHasObject();
    case GuiOfItemSort::KEY_COMMENT: return new GuiOfItemSpreadsheetCellComment();
    default: return new GuiSpreadsheetCellBasicText("Column type does not exists");
    }
}

GuiOfItemSpreadsheetRow* GuiOfItemSpreadsheetCell::get_item_row() const
{
    return static_cast<GuiOfItemSpreadsheetRow*>(get_row());
}

GMathVec3<unsigned char> GuiOfItemSpreadsheetCell::get_item_text_color(GuiSpreadsheetDrawContext& context) const
{
    GMathVec3<unsigned char> color =
        context.is_cell_selected() ? context.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_SELECTED)
                                   : context.get_text_color();
    GuiOfItemSpreadsheetRow const* row = get_item_row();
    OfItem const* item = row ? row->get_item() : nullptr;
    if (item && item->is_disabled())
        for (int i = 0; i < 3; ++i) color[i] = static_cast<unsigned char>(color[i] / 2 + 40);
    return color;
}

void GuiOfItemSpreadsheetCell::draw_text_from(GuiSpreadsheetDrawContext& context,
                                              GMathVec3<unsigned char> const& background, int const& left)
{
    GMathVec4<int> const& rect = context.get_content_rect();
    int const w = rect[2] - left;
    if (w <= 0) return;
    CoreString const text = get_text();
    draw_highlight(context, text, rect[0] + left, w, false, background);
    GMathVec3<unsigned char> const color = get_item_text_color(context);
    context.draw_text_clampable(text, rect[0] + left, rect[1], w, rect[3], color[0], color[1], color[2], true, false,
                                false);
}

void GuiOfItemSpreadsheetCell::draw(GuiSpreadsheetDrawContext& context)
{
    draw_text_from(context, draw_background(context), 0);
}

CoreString GuiOfItemSpreadsheetCell::get_removed_text() const
{
    GuiOfItemSpreadsheetRow const* row = get_item_row();
    if (!row || !row->is_item_row() || row->get_handle().is_valid()) return CoreString();
    return row->get_kind() == GuiOfItemSpreadsheetRow::ROW_KIND_CONTEXT ? "Context removed" : "Object removed";
}

CoreString GuiOfItemSpreadsheetCellName::get_text() const
{
    GuiOfItemSpreadsheetRow const* row = get_item_row();
    return row ? row->get_item_name() : CoreString();
}

int GuiOfItemSpreadsheetCellName::get_edit_offset() const
{
    return GuiItemDraw::get_name_offset();
}

void GuiOfItemSpreadsheetCellName::draw(GuiSpreadsheetDrawContext& context)
{
    GMathVec3<unsigned char> const background = draw_background(context);
    GuiOfItemSpreadsheetRow const* row = get_item_row();
    if (OfItem const* item = row ? row->get_item() : nullptr) {
        GMathVec4<int> const& rect = context.get_content_rect();
        GuiItemDraw::draw_icon(context, context.get_spreadsheet().get_application(), *item, rect[0], rect[1], rect[3],
                               !item->is_disabled());
    }
    draw_text_from(context, background, get_edit_offset());
}

CoreString GuiOfItemSpreadsheetCellDate::format_time(uint32_t const& seconds)
{
    std::time_t const time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (!localtime_r(&time, &local)) return CoreString();
    char buffer[64];
    size_t const length = std::strftime(buffer, sizeof(buffer), "%x  %I:%M %p", &local);
    return CoreString(buffer, static_cast<int>(length));
}

CoreString GuiOfItemSpreadsheetCellDate::get_text() const
{
    GuiOfItemSpreadsheetRow const* row = get_item_row();
    OfItem const* item = row ? row->get_item() : nullptr;
    if (!item) return CoreString();
    uint32_t const time = m_creation ? item->get_creation_time() : item->get_modification_time();
    if (time != m_formatted_time || m_text.is_empty()) {
        m_formatted_time = time;
        m_text = format_time(time);
    }
    return m_text;
}

CoreString GuiOfItemSpreadsheetCellType::get_text() const
{
    GuiOfItemSpreadsheetRow const* row = get_item_row();
    if (!row) return CoreString();
    switch (row->get_kind()) {
    case GuiOfItemSpreadsheetRow::ROW_KIND_ATTR: return "Attribute";
    case GuiOfItemSpreadsheetRow::ROW_KIND_OUTPUT: return "Output";
    case GuiOfItemSpreadsheetRow::ROW_KIND_STRING: return CoreString();
    default: break;
    }
    OfItem const* item = row->get_item();
    return item ? GuiOfItemSort::get_type_name(*item) : CoreString();
}

CoreString GuiOfItemSpreadsheetCellInstanceName::get_text() const
{
    GuiOfItemSpreadsheetRow const* row = get_item_row();
    OfItem const* item = row ? row->get_item() : nullptr;
    return item ? GuiOfItemSort::get_source_name(*item) : CoreString();
}

CoreString GuiOfItemSpreadsheetCellPath::get_text() const
{
    CoreString const removed = get_removed_text();
    if (!removed.is_empty()) return removed;
    GuiOfItemSpreadsheetRow const* row = get_item_row();
    if (!row) return CoreString();
    if (OfItem const* item = row->get_item()) return item->get_full_name();
    if (OfPlugType const* plug = row->get_plug()) return plug->get_full_name();
    return CoreString();
}

CoreString GuiOfItemSpreadsheetCellHasObject::get_text() const
{
    GuiOfItemSpreadsheetRow const* row = get_item_row();
    OfItem const* item = row ? row->get_item() : nullptr;
    return item && GuiOfItemSort::has_object(*item) ? "X" : " ";
}

CoreString GuiOfItemSpreadsheetCellComment::get_text() const
{
    CoreString const removed = get_removed_text();
    if (!removed.is_empty()) return removed;
    GuiOfItemSpreadsheetRow const* row = get_item_row();
    OfItem const* item = row ? row->get_item() : nullptr;
    return item ? item->get_comment() : CoreString();
}
