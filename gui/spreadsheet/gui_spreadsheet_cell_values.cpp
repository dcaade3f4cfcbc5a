#include "gui/spreadsheet/gui_spreadsheet_cell_values.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <tuple>

#include "gui/color/gui_color_dialog.h"
#include "gui/color/gui_color_field.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_resource.h"
#include "gui/spreadsheet/gui_spreadsheet.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_SPREADSHEET_CELL_COLOR_REQUEST);

CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellBasicIcon, GuiSpreadsheetCellBasic)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellBasicTextWithIcon, GuiSpreadsheetCellBasicText)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellCheckbox, GuiSpreadsheetCellBasic)
CORE_IMPLEMENT_CLASS(GuiSpreadsheetCellColor, GuiSpreadsheetCellBasic)

namespace {

// Copies of pictures recoloured in a text colour, shared by every cell that draws them.
GuiImage const& tinted(GuiImage const& source, GMathVec3<unsigned char> const& color)
{
    static std::map<std::tuple<GuiImage const*, unsigned char, unsigned char, unsigned char>, std::unique_ptr<GuiImage>> copies;
    std::unique_ptr<GuiImage>& copy = copies[{&source, color[0], color[1], color[2]}];
    if (!copy) {
        copy = std::make_unique<GuiImage>(source);
        copy->fill(color[0], color[1], color[2]);
    }
    return *copy;
}

void draw_centred(GuiSpreadsheetDrawContext& context, GuiImage const& image, bool const& enabled)
{
    GMathVec4<int> const& rect = context.get_content_rect();
    image.draw(enabled, rect[0] + (rect[2] - static_cast<int>(image.get_width())) / 2,
               rect[1] + (rect[3] - static_cast<int>(image.get_height())) / 2, false);
}

}  // namespace

// --- Icon ---

GuiSpreadsheetCellBasicIcon::GuiSpreadsheetCellBasicIcon(GuiImage const* icon, GuiImage const* selected_icon)
    : m_icon(icon), m_selected_icon(selected_icon)
{
}

void GuiSpreadsheetCellBasicIcon::set_icons(GuiImage const* icon, GuiImage const* selected_icon)
{
    m_icon = icon;
    m_selected_icon = selected_icon;
}

void GuiSpreadsheetCellBasicIcon::init(GuiSpreadsheetRow& row)
{
    GuiSpreadsheetCellBasic::init(row);
    set_is_selectable(false);
}

bool GuiSpreadsheetCellBasicIcon::set_pastable_text(CoreString const& text)
{
    if (text != "on" && text != "off") return false;
    set_enable(text == "on");
    return true;
}

void GuiSpreadsheetCellBasicIcon::draw(GuiSpreadsheetDrawContext& context)
{
    draw_background(context);
    if (!m_icon) return;
    bool const selected = context.is_cell_selected() || context.is_row_selected();
    GuiImage const* image = m_icon;
    if (selected && m_selected_icon)
        image = m_selected_icon;
    else if (selected)
        image = &tinted(*m_icon, context.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_SELECTED));
    draw_centred(context, *image, is_enabled() && !get_is_read_only() && !context.is_read_only());
}

bool GuiSpreadsheetCellBasicIcon::on_click(bool const& press)
{
    if (!press || get_is_locked()) return false;
    change_value(is_enabled() ? "off" : "on");
    return false;
}

// --- Text with icons ---

GuiSpreadsheetCellBasicTextWithIcon::GuiSpreadsheetCellBasicTextWithIcon(CoreString const& text, GuiImage const* icon)
    : GuiSpreadsheetCellBasicText(text)
{
    set_icon(icon);
}

void GuiSpreadsheetCellBasicTextWithIcon::set_icon(GuiImage const* icon)
{
    m_icons.clear();
    if (icon) m_icons.add(icon);
}

int GuiSpreadsheetCellBasicTextWithIcon::get_edit_offset() const
{
    return m_icons.is_empty() ? 0 : static_cast<int>(m_icons[0]->get_width()) + 4;
}

void GuiSpreadsheetCellBasicTextWithIcon::draw(GuiSpreadsheetDrawContext& context)
{
    GMathVec3<unsigned char> const background = draw_background(context);
    GMathVec4<int> const& rect = context.get_content_rect();
    int x = rect[0];
    for (GuiImage const* icon : m_icons) {
        int const w = static_cast<int>(icon->get_width());
        if (x + w > rect[0] + rect[2]) break;
        icon->draw(m_icon_enabled && is_enabled(), x, rect[1] + (rect[3] - static_cast<int>(icon->get_height())) / 2,
                   false);
        x += w + 4;
    }
    int const button = get_is_text_editable() ? draw_right_button(context, nullptr, "...", background) : 0;
    draw_text_part(context, background, std::max(get_edit_offset(), x - rect[0]), button);
}

// --- Checkbox ---

void GuiSpreadsheetCellCheckbox::set_value(int const& value)
{
    if (value < VALUE_CHECKED || value > VALUE_NONE) {
        CORE_LOG_WARNING("GuiSpreadsheetCellCheckbox.set_value: " << value << " is not 0, 1 or 2\n");
        return;
    }
    m_value = value;
}

void GuiSpreadsheetCellCheckbox::set_has_no_value(bool const& none)
{
    if (none)
        m_value = VALUE_NONE;
    else if (m_value == VALUE_NONE)
        m_value = VALUE_UNCHECKED;
}

void GuiSpreadsheetCellCheckbox::set_icons(GuiImage const* checked, GuiImage const* checked_selected,
                                          GuiImage const* unchecked, bool const& tint)
{
    m_checked = checked;
    m_checked_selected = checked_selected;
    m_unchecked = unchecked;
    m_tint = tint;
}

CoreString GuiSpreadsheetCellCheckbox::get_pastable_text() const
{
    return m_value == VALUE_NONE ? CoreString() : CoreString(m_value == VALUE_CHECKED ? "true" : "false");
}

bool GuiSpreadsheetCellCheckbox::set_pastable_text(CoreString const& text)
{
    if (text == "true" || text == "1")
        m_value = VALUE_CHECKED;
    else if (text == "false" || text == "0")
        m_value = VALUE_UNCHECKED;
    else
        return false;
    return true;
}

int GuiSpreadsheetCellCheckbox::compare(GuiSpreadsheetCell* other) const
{
    if (!other || !other->is_kindof(GuiSpreadsheetCellCheckbox::class_info())) return GuiSpreadsheetCellBasic::compare(other);
    int const theirs = static_cast<GuiSpreadsheetCellCheckbox*>(other)->m_value;
    return m_value < theirs ? -1 : (m_value > theirs ? 1 : 0);
}

void GuiSpreadsheetCellCheckbox::draw(GuiSpreadsheetDrawContext& context)
{
    draw_background(context);
    bool const enabled = is_enabled() && !get_is_read_only() && !context.is_read_only();
    if (m_value == VALUE_UNCHECKED) {
        if (m_unchecked) draw_centred(context, *m_unchecked, enabled);
        return;
    }
    if (m_value != VALUE_CHECKED) return;
    bool const selected = context.is_cell_selected() || context.is_row_selected();
    GuiImage const* image = m_checked ? (selected && m_checked_selected ? m_checked_selected : m_checked)
                                      : (selected ? &GuiResource::checker_selected() : &GuiResource::checker());
    if (m_checked && m_tint) image = &tinted(*image, context.get_text_color());
    draw_centred(context, *image, enabled);
}

bool GuiSpreadsheetCellCheckbox::toggle()
{
    if (get_is_locked() || !is_enabled()) return false;
    change_value(m_value == VALUE_CHECKED ? "false" : "true");
    return true;
}

bool GuiSpreadsheetCellCheckbox::on_click(bool const&)
{
    return toggle();
}

bool GuiSpreadsheetCellCheckbox::on_edit_content()
{
    toggle();
    stop_edit_content();
    return true;
}

// --- Colour ---

bool GuiSpreadsheetCellColor::set_color(GMathVec3<double> const& color)
{
    for (int c = 0; c < 3; ++c)
        if (!std::isfinite(color[c])) {
            CORE_LOG_WARNING("GuiSpreadsheetCellColor.set_color: component " << c << " is not a finite number\n");
            return false;
        }
    m_color = color;
    m_has_value = true;
    return true;
}

CoreString GuiSpreadsheetCellColor::get_text() const
{
    if (!m_has_value) return CoreString();
    char buffer[96];
    std::snprintf(buffer, sizeof(buffer), "%.3f, %.3f, %.3f", m_color[0], m_color[1], m_color[2]);
    return CoreString(buffer);
}

bool GuiSpreadsheetCellColor::parse_color(CoreString const& text, GMathVec3<double>& color)
{
    char const* p = text.get_data();
    GMathVec3<double> read;
    for (int c = 0; c < 3; ++c) {
        while (*p == ' ' || *p == '\t' || (c > 0 && *p == ',')) ++p;
        char* end = nullptr;
        read[c] = std::strtod(p, &end);
        if (end == p || !std::isfinite(read[c])) return false;
        p = end;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != '\0') return false;
    color = read;
    return true;
}

bool GuiSpreadsheetCellColor::set_pastable_text(CoreString const& text)
{
    GMathVec3<double> color;
    return parse_color(text, color) && set_color(color);
}

void GuiSpreadsheetCellColor::draw(GuiSpreadsheetDrawContext& context)
{
    GMathVec3<unsigned char> const background = draw_background(context);
    if (!m_has_value) return;
    GMathVec4<int> const& rect = context.get_content_rect();
    int const size = std::min(get_button_size(), rect[3]);
    if (size <= 0 || rect[2] < size) return;
    GMathVec3<float> linear(static_cast<float>(m_color[0]), static_cast<float>(m_color[1]), static_cast<float>(m_color[2]));
    GMathVec3<float> const shown = context.get_spreadsheet().get_application().convert_linear_to_default(linear);
    GMathVec3<unsigned char> swatch;
    for (int c = 0; c < 3; ++c)
        swatch[c] = static_cast<unsigned char>(std::lround(255.0f * std::clamp(std::isfinite(shown[c]) ? shown[c] : 0.0f, 0.0f, 1.0f)));
    int const y = rect[1] + (rect[3] - size) / 2;
    GMathVec3<unsigned char> const& frame = context.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_OUTLINE);
    context.draw_rectf(rect[0], y, size, size, swatch[0], swatch[1], swatch[2]);
    context.draw_rect(rect[0], y, size, size, frame[0], frame[1], frame[2]);
    int const text_x = rect[0] + size + 4, text_w = rect[2] - size - 4;
    if (text_w <= 0) return;
    GMathVec3<unsigned char> const& color =
        context.is_cell_selected() ? context.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_SELECTED)
                                   : context.get_text_color();
    draw_highlight(context, get_text(), text_x, text_w, false, background);
    context.draw_text_clampable(get_text(), text_x, rect[1], text_w, rect[3], color[0], color[1], color[2], true, false,
                                false);
}

bool GuiSpreadsheetCellColor::on_double_click()
{
    if (!is_enabled() || get_is_locked()) return false;
    if (GuiSpreadsheet* sheet = get_spreadsheet())
        sheet->raise_event(EventObject::EventInfo(EVT_ID_SPREADSHEET_CELL_COLOR_REQUEST, this));
    open_color_dialog();
    return true;
}

// A hidden colour field of the sheet that opens the dialog for a colour cell and hands its
// colour back. Being a child of the sheet, it goes with the sheet; the cell forgets it (and
// it the cell) when the cell goes first.
class GuiSpreadsheetCellColorFollower : public GuiColorField {
public:
    GuiSpreadsheetCellColorFollower(GuiSpreadsheet& sheet, GuiSpreadsheetCellColor& cell)
        : GuiColorField(sheet, 0, 0, 1, 1, CoreString()), m_cell(&cell)
    {
        hide();
        connect(*this, EVT_ID_COLOR_FIELD_VALUE_CHANGING, &GuiSpreadsheetCellColorFollower::on_change);
        connect(*this, EVT_ID_COLOR_FIELD_VALUE_CHANGED, &GuiSpreadsheetCellColorFollower::on_change);
    }
    void forget_cell() { m_cell = nullptr; }

private:
    void on_change(GuiColorField&, EventInfo const& info, void*)
    {
        if (m_cell) m_cell->on_dialog_color(get_color(), info.get_name() == EVT_ID_COLOR_FIELD_VALUE_CHANGED);
    }

    GuiSpreadsheetCellColor* m_cell;
};

GuiSpreadsheetCellColor::~GuiSpreadsheetCellColor()
{
    remove_all_data();
}

void GuiSpreadsheetCellColor::remove_all_data()
{
    if (!m_follower) return;
    auto* follower = static_cast<GuiSpreadsheetCellColorFollower*>(m_follower);
    follower->forget_cell();
    // The dialog lets go of a field that goes.
    if (GuiColorDialog* dialog = follower->get_dialog()) dialog->hide();
    follower->destroy();
    m_follower = nullptr;
}

bool GuiSpreadsheetCellColor::open_color_dialog()
{
    GuiSpreadsheet* sheet = get_spreadsheet();
    if (!sheet || !is_enabled() || get_is_locked()) return false;
    if (!m_follower) m_follower = new GuiSpreadsheetCellColorFollower(*sheet, *this);
    auto* follower = static_cast<GuiSpreadsheetCellColorFollower*>(m_follower);
    follower->set_color(m_color);
    return follower->open_dialog();
}

void GuiSpreadsheetCellColor::on_dialog_color(GMathVec3<double> const& color, bool const& ended)
{
    GuiSpreadsheet* sheet = get_spreadsheet();
    if (!sheet) return;
    if (!ended) {
        if (set_color(color)) sheet->redraw();
        return;
    }
    // The edit is one step from the colour the dialog opened on.
    set_color(static_cast<GuiSpreadsheetCellColorFollower*>(m_follower)->get_color_at_opening().get_rgb());
    char text[96];
    std::snprintf(text, sizeof(text), "%.17g %.17g %.17g", color[0], color[1], color[2]);
    change_value(CoreString(text));
    sheet->redraw();
}

bool GuiSpreadsheetCellColor::on_edit_content()
{
    on_double_click();
    stop_edit_content();
    return true;
}
