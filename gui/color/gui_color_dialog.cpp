#include "gui/color/gui_color_dialog.h"

#include <algorithm>
#include <cmath>

#include "gui/controls/gui_push_button.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_dc.h"
#include "gui/fields/gui_label.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/fields/gui_number_field.h"
#include "gui/menus/gui_list_button.h"
#include "host/colorio/colorio.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_COLOR_DIALOG_COLOR_CHANGING);
EVENT_DEFINE_ID(EVT_ID_COLOR_DIALOG_COLOR_OK);
EVENT_DEFINE_ID(EVT_ID_COLOR_DIALOG_COLOR_CANCEL);
EVENT_DEFINE_ID(EVT_ID_COLOR_DIALOG_DISCONNECTED);

CORE_IMPLEMENT_CLASS(GuiColorDialog, GuiWindow)

char const* const GuiColorDialog::USE_DEFAULT = "Use Default";

namespace {

// Layout: the area and its strips on top, then the swatches beside the fields, then the
// palette beside the buttons.
constexpr int MARGIN = 8;
constexpr int AREA = 256;
constexpr int STRIP_W = 20;
constexpr int ROW_H = 20;
constexpr int ROW_PITCH = 24;
constexpr int LISTS_Y = MARGIN + AREA + 8;
constexpr int SWATCHES_Y = LISTS_Y + ROW_PITCH + 6;
constexpr int SWATCHES_W = 2 * GuiColorSwatches::SWATCH_W + GuiColorSwatches::SWATCH_GAP;
constexpr int SWATCHES_H = GuiColorSwatches::SWATCH_Y + GuiColorSwatches::SWATCH_H + 16;
constexpr int FIELDS_X = MARGIN + SWATCHES_W + 12;
constexpr int FIELDS_W = GuiColorDialog::WIDTH - FIELDS_X - MARGIN;
constexpr int FORMULA_Y = SWATCHES_Y + SWATCHES_H + 4;
constexpr int PALETTE_TITLE_Y = FORMULA_Y + ROW_PITCH + 6;
constexpr int PALETTE_Y = PALETTE_TITLE_Y + 16 + 4;
constexpr int BUTTON_W = 84;
constexpr int BUTTON_H = 22;

char const* const field_labels[7] = {"H", "S", "V", "R", "G", "B", "A"};
char const* const format_labels[GuiColorDialog::FORMAT_COUNT] = {"No Units", "Percentage"};

// The shared dialog of the application, centred on its top window.
GuiApp::ColorDialogHandle make_shared_dialog(GuiApp& app)
{
    GuiWindow* top = app.get_top_window();
    int x = (Gui::get_screen_width() - GuiColorDialog::WIDTH) / 2;
    int y = (Gui::get_screen_height() - GuiColorDialog::HEIGHT) / 2;
    if (top) {
        x = top->get_x() + (top->get_width() - GuiColorDialog::WIDTH) / 2;
        y = top->get_y() + (top->get_height() - GuiColorDialog::HEIGHT) / 2;
    }
    x = std::max(0, x);
    y = std::max(0, y);
    GuiColorDialog* dialog = top ? new GuiColorDialog(*top, x, y) : new GuiColorDialog(app, x, y);
    return {dialog, dialog};
}

bool const s_maker_registered = (GuiApp::set_color_dialog_maker(&make_shared_dialog), true);

}  // namespace

char const* GuiColorDialog::get_format_name(Format const& format)
{
    switch (format) {
        case FORMAT_NO_UNITS: return "FORMAT_NO_UNITS";
        case FORMAT_PERCENTAGE: return "FORMAT_PERCENTAGE";
        default: return "FORMAT_UNKNOWN";
    }
}

GuiColorDialog::GuiColorDialog(GuiWindow& parent, int const& x, int const& y)
    : GuiWindow(parent, x, y, WIDTH, HEIGHT, "Color Picker")
{
    init_dialog();
}

GuiColorDialog::GuiColorDialog(GuiApp& app, int const& x, int const& y)
    : GuiWindow(app, x, y, WIDTH, HEIGHT, "Color Picker")
{
    init_dialog();
}

GuiColorDialog::~GuiColorDialog()
{
    disconnect_all();
    get_application().forget_color_dialog(this);
}

ColorIOConverter& GuiColorDialog::get_color_space_converter()
{
    static ColorIOConverter converter;
    return converter;
}

GuiColorPalette& GuiColorDialog::get_palette() const
{
    return GuiColorPalettePreference::get(get_application()).get_palette();
}

void GuiColorDialog::init_dialog()
{
    set_resizable(false);
    add_default_background();

    m_area = new GuiColorPickArea(*this, MARGIN, MARGIN, AREA, AREA);
    m_strip = new GuiColorPickStrip(*this, MARGIN + AREA + 6, MARGIN, STRIP_W, AREA, GuiColorPickStrip::KIND_MODE);
    m_alpha_strip = new GuiColorPickStrip(*this, MARGIN + AREA + 6 + STRIP_W + 4, MARGIN, STRIP_W, AREA,
                                          GuiColorPickStrip::KIND_ALPHA);
    for (GuiColorPickBase* part : {static_cast<GuiColorPickBase*>(m_area), static_cast<GuiColorPickBase*>(m_strip),
                                   static_cast<GuiColorPickBase*>(m_alpha_strip)}) {
        connect(*part, EVT_ID_COLOR_PICK_CHANGING, &GuiColorDialog::on_pick);
        connect(*part, EVT_ID_COLOR_PICK_CHANGED, &GuiColorDialog::on_pick_done);
    }

    m_mode_list = new GuiListButton(*this, MARGIN, LISTS_Y, 110, ROW_H);
    for (int mode = 0; mode < GuiColorPickBase::MODE_COUNT; ++mode)
        m_mode_list->add_item(GuiColorPickBase::get_mode_label(static_cast<Mode>(mode)));
    m_mode_list->set_selected_index(m_mode);
    m_space_list = new GuiListButton(*this, MARGIN + 118, LISTS_Y, WIDTH - 2 * MARGIN - 118, ROW_H);
    m_space_list->set_tooltip("Colour space the colours are shown in");

    m_swatches = new GuiColorSwatches(*this, MARGIN, SWATCHES_Y, SWATCHES_W, SWATCHES_H);
    connect(*m_swatches, EVT_ID_COLOR_SWATCH_CLICK, &GuiColorDialog::on_swatch);

    GuiLabel* result_label = new GuiLabel(*this, MARGIN, FORMULA_Y, 22, ROW_H, "C=");
    result_label->show();
    m_formula_list = new GuiListButton(*this, MARGIN + 24, FORMULA_Y, SWATCHES_W - 24, ROW_H);
    for (int formula = 0; formula < GuiColorValue::FORMULA_COUNT; ++formula)
        m_formula_list->add_item(GuiColorValue::get_formula_label(static_cast<Formula>(formula)));
    m_formula_list->set_selected_index(m_formula);

    for (int i = 0; i < 7; ++i) {
        m_fields[i] = new GuiNumberField(*this, FIELDS_X, SWATCHES_Y + i * ROW_PITCH, FIELDS_W, ROW_H, field_labels[i]);
        m_fields[i]->set_float_precision(3);
        connect(*m_fields[i], EVT_ID_NUMBER_FIELD_VALUE_CHANGING, &GuiColorDialog::on_field, m_fields[i]);
        connect(*m_fields[i], EVT_ID_NUMBER_FIELD_VALUE_CHANGED, &GuiColorDialog::on_field, m_fields[i]);
        connect(m_fields[i]->get_edit(), EVT_ID_LINE_EDIT_ESCAPE_PRESSED, &GuiColorDialog::on_edit_escape);
    }
    m_fields[0]->set_unit_type("angle");
    m_fields[0]->set_force_unit_base("deg");
    m_fields[0]->set_force_unit_system("deg");

    GuiLabel* palette_title = new GuiLabel(*this, MARGIN, PALETTE_TITLE_Y, GuiColorPaletteView::WIDTH, 16, "Palette");
    palette_title->show();
    m_palette_view = new GuiColorPaletteView(*this, MARGIN, PALETTE_Y, get_palette());
    connect(*m_palette_view, EVT_ID_COLOR_PALETTE_SELECT, &GuiColorDialog::on_palette_select);
    connect(*m_palette_view, EVT_ID_COLOR_PALETTE_USE, &GuiColorDialog::on_palette_use);

    int const buttons_x = FIELDS_X;
    int const buttons_y = SWATCHES_Y + 7 * ROW_PITCH + 6;
    m_store = new GuiPushButton(*this, buttons_x, buttons_y, BUTTON_W, BUTTON_H, "Store");
    m_use = new GuiPushButton(*this, buttons_x + BUTTON_W + 4, buttons_y, BUTTON_W, BUTTON_H, "Use");
    m_store->set_tooltip("Store the current colour in the selected palette slot");
    m_use->set_tooltip("Make the selected palette colour the current colour");
    m_format_list = new GuiListButton(*this, buttons_x, buttons_y + BUTTON_H + 8, 2 * BUTTON_W + 4, ROW_H);
    for (char const* label : format_labels) m_format_list->add_item(label);
    m_format_list->set_selected_index(m_format);
    m_ok = new GuiPushButton(*this, buttons_x, HEIGHT - MARGIN - BUTTON_H, BUTTON_W, BUTTON_H, "Ok");
    m_cancel = new GuiPushButton(*this, buttons_x + BUTTON_W + 4, HEIGHT - MARGIN - BUTTON_H, BUTTON_W, BUTTON_H,
                                 "Cancel");
    for (GuiPushButton* button : {m_store, m_use, m_ok, m_cancel})
        connect(*button, EVT_ID_PUSH_BUTTON_CLICK, &GuiColorDialog::on_button);
    for (GuiListButton* list : {m_mode_list, m_formula_list, m_format_list, m_space_list})
        connect(*list, EVT_ID_LIST_BUTTON_SELECTION_CHANGED, &GuiColorDialog::on_list);

    update_color_space_converter();
    update_color_format();
    update_show_and_position_components();
    on_update_fields();
}

// --- Showing ---

void GuiColorDialog::show(Gui::ColorDepth const& color_depth)
{
    if (is_shown()) return;
    m_color_depth = color_depth;
    update_color_format();
    update_show_and_position_components();
    update_color_space_converter();
    m_result = -1;
    m_dragging = false;
    GuiWindow* top = get_application().get_top_window();
    if (top && top != this && top != get_owner()) {
        bool owned_by_this = false;
        for (GuiWidget const* w = top; w; w = w->get_parent()) owned_by_this |= w == this;
        if (!owned_by_this) set_parent(top);
    }
    GuiWindow::show();
    m_fields[3]->get_edit().set_focus();
    update_fields();
    m_fields[3]->select_text();
}

void GuiColorDialog::hide()
{
    bool const was_shown = is_shown();
    GuiWindow::hide();
    if (was_shown)
        get_application().raise_event(EventInfo(EVT_ID_COLOR_DIALOG_DISCONNECTED, this));
}

void GuiColorDialog::accept()
{
    m_result = 0;
    raise_event(EVT_ID_COLOR_DIALOG_COLOR_OK);
    hide();
}

void GuiColorDialog::cancel()
{
    m_current = m_opening;
    m_dragging = false;
    update_formula_result();
    update_fields();
    m_result = 1;
    hide();
    raise_event(EVT_ID_COLOR_DIALOG_COLOR_CANCEL);
}

int GuiColorDialog::process_event(CoreString const& name)
{
    if ((name == EVT_ID_KEY_DOWN || name == EVT_ID_KEY_SHORTCUT) && Gui::get_last_key_pressed() == Gui::KEY_ID_ESCAPE) {
        cancel();
        return 1;
    }
    return GuiWindow::process_event(name);
}

// --- Colours ---

bool GuiColorDialog::set_rgb_color(double const& r, double const& g, double const& b)
{
    GuiColorValue color = m_current;
    if (!color.set_rgb(r, g, b, "GuiColorDialog.set_rgb_color")) return false;
    m_current = m_previous = m_opening = color;
    update_formula_result();
    update_fields();
    return true;
}

bool GuiColorDialog::set_hsv_color(double const& h, double const& s, double const& v)
{
    GuiColorValue color = m_current;
    if (!color.set_hsv(h, s, v, "GuiColorDialog.set_hsv_color")) return false;
    m_current = m_previous = color;
    update_formula_result();
    update_fields();
    return true;
}

bool GuiColorDialog::set_current_rgb_color(double const& r, double const& g, double const& b, double const& a)
{
    GuiColorValue color;
    if (!color.set_rgba(r, g, b, a, "GuiColorDialog.set_current_rgb_color")) return false;
    set_current(color, true);
    return true;
}

bool GuiColorDialog::set_current_rgb_color_dragging(double const& r, double const& g, double const& b,
                                                    double const& a)
{
    GuiColorValue color;
    if (!color.set_rgba(r, g, b, a, "GuiColorDialog.set_current_rgb_color_dragging")) return false;
    set_current(color, !m_dragging);
    m_dragging = true;
    return true;
}

bool GuiColorDialog::set_a_color(double const& a)
{
    GuiColorValue color = m_current;
    if (!color.set_alpha(a, "GuiColorDialog.set_a_color")) return false;
    set_current(color, false);
    return true;
}

void GuiColorDialog::set_current(GuiColorValue const& color, bool const& push_previous)
{
    if (push_previous) m_previous = m_current;
    m_current = color;
    update_formula_result();
    update_fields();
}

void GuiColorDialog::revert_to_previous_color()
{
    std::swap(m_current, m_previous);
    update_formula_result();
    update_fields();
}

void GuiColorDialog::use_result_color()
{
    GMathVec4<double> const c = m_result_color.get_rgba();
    GuiColorValue color = m_current;
    color.set_rgba(c[0], c[1], c[2], c[3], "GuiColorDialog.use_result_color");
    set_current(color, true);
}

// --- Mode, formula, format ---

bool GuiColorDialog::set_mode(Mode const& mode)
{
    if (mode < 0 || mode >= GuiColorPickBase::MODE_COUNT) {
        CORE_LOG_WARNING("GuiColorDialog.set_mode: unknown mode " << static_cast<int>(mode) << "\n");
        return false;
    }
    m_mode = mode;
    m_mode_list->set_selected_index(mode);
    on_update_fields();
    return true;
}

bool GuiColorDialog::set_formula(Formula const& formula)
{
    if (formula < 0 || formula >= GuiColorValue::FORMULA_COUNT) {
        CORE_LOG_WARNING("GuiColorDialog.set_formula: unknown formula " << static_cast<int>(formula) << "\n");
        return false;
    }
    m_formula = formula;
    m_formula_list->set_selected_index(formula);
    update_formula_result();
    on_update_fields();
    return true;
}

bool GuiColorDialog::set_format(Format const& format)
{
    if (format < 0 || format >= FORMAT_COUNT) {
        CORE_LOG_WARNING("GuiColorDialog.set_format: unknown format " << static_cast<int>(format) << "\n");
        return false;
    }
    m_format = format;
    m_format_list->set_selected_index(format);
    update_color_format();
    on_update_fields();
    return true;
}

double GuiColorDialog::field_scale(int const& index) const
{
    if (index == 0) return 360.0;
    return m_format == FORMAT_PERCENTAGE ? 100.0 : 1.0;
}

void GuiColorDialog::update_color_format()
{
    for (int i = 1; i < 7; ++i) {
        m_fields[i]->set_increment(m_format == FORMAT_PERCENTAGE ? 1.0 : 0.01);
        m_fields[i]->set_float_precision(m_format == FORMAT_PERCENTAGE ? 1 : 3);
    }
    m_fields[0]->set_increment(1.0);
}

// --- Palette ---

bool GuiColorDialog::set_custom_color(int const& slot, GMathVec3<double> const& rgb)
{
    if (!get_palette().set_color(slot, rgb)) return false;
    m_palette_view->redraw();
    return true;
}

void GuiColorDialog::store_color()
{
    GuiColorPalette& palette = get_palette();
    set_custom_color(palette.get_selected(), m_current.get_rgb());
}

void GuiColorDialog::use_color()
{
    GuiColorPalette const& palette = get_palette();
    GMathVec3<double> const rgb = palette.get_color(palette.get_selected());
    GuiColorValue color = m_current;
    color.set_rgb(rgb[0], rgb[1], rgb[2], "GuiColorDialog.use_color");
    set_current(color, true);
}

// --- Colour space ---

CoreString GuiColorDialog::get_display_color_space() const
{
    return m_color_space.is_empty() ? get_application().get_color_picker_color_space_name() : m_color_space;
}

bool GuiColorDialog::set_color_space(CoreString const& name)
{
    if (name == USE_DEFAULT) return set_color_space(CoreString());
    if (!name.is_empty() && !ColorIO::has_color_space(name)) {
        CORE_LOG_WARNING("GuiColorDialog.set_color_space: the colour space '"
                         << name << "' is not in the colour configuration; the dialog keeps '"
                         << get_display_color_space() << "'\n");
        return false;
    }
    m_color_space = name;
    update_color_space_converter();
    on_update_fields();
    return true;
}

void GuiColorDialog::update_color_space_converter()
{
    CoreVector<CoreString> items;
    items.add(USE_DEFAULT);
    for (CoreString const& space : ColorIO::get_color_space_names()) items.add(space);
    m_space_list->set_items(items);
    if (!m_color_space.is_empty() && !ColorIO::has_color_space(m_color_space)) {
        // The configuration changed under the dialog: its space is gone. Reported once; the
        // converter keeps what it showed with.
        if (m_converter_space != m_color_space + "\n") {
            CORE_LOG_WARNING("GuiColorDialog.update_color_space_converter: the colour space '"
                             << m_color_space << "' is not in the colour configuration any more; the colours "
                             << "are shown as before\n");
            m_converter_space = m_color_space + "\n";
        }
        m_space_list->set_selected_index(-1);
        return;
    }
    m_space_list->select_item(m_color_space.is_empty() ? CoreString(USE_DEFAULT) : m_color_space);
    CoreString const display = get_display_color_space();
    ColorIOConverter& converter = get_color_space_converter();
    CoreString const expected = ColorIO::get_default_color_space_name() + " -> " + display;
    if (converter.get_description() == expected) {
        m_converter_space = display;
        return;
    }
    if (converter.set_color_space_transform(ColorIO::get_default_color_space_name(), display))
        m_converter_space = display;
}

// --- Refreshing ---

GMathVec3<unsigned char> GuiColorDialog::to_display(GuiColorValue const& color) const
{
    GMathVec3<double> const& rgb = color.get_rgb();
    GMathVec3<float> const shown = get_color_space_converter().convert(
        GMathVec3<float>(static_cast<float>(rgb[0]), static_cast<float>(rgb[1]), static_cast<float>(rgb[2])));
    return GuiColorValue::to_bytes(GMathVec3<double>(shown[0], shown[1], shown[2]));
}

void GuiColorDialog::update_formula_result()
{
    m_result_color = GuiColorValue::combine(m_formula, m_current, m_previous);
}

void GuiColorDialog::update_fields()
{
    on_update_fields();
}

void GuiColorDialog::on_update_fields()
{
    if (m_updating) return;
    m_updating = true;
    GuiColorPickBase* parts[3] = {m_area, m_strip, m_alpha_strip};
    for (GuiColorPickBase* part : parts) part->set_mute(true);
    GMathVec3<double> const& hsv = m_current.get_hsv();
    GMathVec3<double> const& rgb = m_current.get_rgb();
    double const values[7] = {hsv[0], hsv[1], hsv[2], rgb[0], rgb[1], rgb[2], m_current.get_alpha()};
    for (int i = 0; i < 7; ++i) {
        if (m_fields[i]->is_dragging()) continue;
        m_fields[i]->set_value(values[i] * field_scale(i));
    }
    ColorIOConverter const* converter = &get_color_space_converter();
    for (GuiColorPickBase* part : parts) part->refresh(m_mode, m_current, converter);
    m_swatches->refresh(to_display(m_current), to_display(m_previous), to_display(m_result_color));
    m_palette_view->redraw();
    for (GuiColorPickBase* part : parts) part->set_mute(false);
    m_updating = false;
    raise_event(EVT_ID_COLOR_DIALOG_COLOR_CHANGING);
}

void GuiColorDialog::update_show_and_position_components()
{
    bool const alpha = Gui::get_channel_count_by_color_depth(m_color_depth) % 2 == 0 ||
                       m_color_depth == Gui::COLOR_DEPTH_A;
    for (GuiWidget* widget : {static_cast<GuiWidget*>(m_area), static_cast<GuiWidget*>(m_strip),
                              static_cast<GuiWidget*>(m_swatches), static_cast<GuiWidget*>(m_palette_view),
                              static_cast<GuiWidget*>(m_mode_list), static_cast<GuiWidget*>(m_space_list),
                              static_cast<GuiWidget*>(m_formula_list), static_cast<GuiWidget*>(m_format_list),
                              static_cast<GuiWidget*>(m_ok), static_cast<GuiWidget*>(m_cancel),
                              static_cast<GuiWidget*>(m_store), static_cast<GuiWidget*>(m_use)})
        widget->show();
    for (int i = 0; i < 6; ++i) m_fields[i]->show();
    if (alpha) {
        m_fields[6]->show();
        m_alpha_strip->show();
    } else {
        m_fields[6]->hide();
        m_alpha_strip->hide();
    }
}

// --- What the parts report ---

void GuiColorDialog::on_pick(GuiColorPickBase& part, EventInfo const&, void*)
{
    set_current(part.get_picked(), !m_dragging);
    m_dragging = true;
}

void GuiColorDialog::on_pick_done(GuiColorPickBase&, EventInfo const&, void*)
{
    m_dragging = false;
}

void GuiColorDialog::on_swatch(GuiColorSwatches& swatches, EventInfo const&, void*)
{
    if (swatches.get_clicked() == GuiColorSwatches::SWATCH_PREVIOUS)
        revert_to_previous_color();
    else if (swatches.get_clicked() == GuiColorSwatches::SWATCH_RESULT)
        use_result_color();
}

void GuiColorDialog::on_palette_select(GuiColorPaletteView&, EventInfo const&, void*)
{
    m_palette_view->redraw();
}

void GuiColorDialog::on_palette_use(GuiColorPaletteView&, EventInfo const&, void*)
{
    use_color();
}

void GuiColorDialog::on_field(EventObject&, EventInfo const& info, void* data)
{
    if (m_updating) return;
    int index = 0;
    while (index < 7 && m_fields[index] != data) ++index;
    if (index == 7) return;
    double const value = m_fields[index]->get_value() / field_scale(index);
    GuiColorValue color = m_current;
    bool changed;
    if (index < 3) {
        GMathVec3<double> hsv = m_current.get_hsv();
        hsv[index] = value;
        changed = color.set_hsv(hsv[0], hsv[1], hsv[2], "GuiColorDialog.on_field");
    } else if (index < 6) {
        GMathVec3<double> rgb = m_current.get_rgb();
        rgb[index - 3] = value;
        changed = color.set_rgb(rgb[0], rgb[1], rgb[2], "GuiColorDialog.on_field");
    } else {
        changed = color.set_alpha(value, "GuiColorDialog.on_field");
    }
    if (!changed) return;
    bool const changing = info.get_name() == EVT_ID_NUMBER_FIELD_VALUE_CHANGING;
    // A drag of a field's handle is one change: B is the colour it started from.
    set_current(color, !m_dragging);
    m_dragging = changing;
}

void GuiColorDialog::on_list(EventObject& list, EventInfo const&, void*)
{
    GuiListButton& button = static_cast<GuiListButton&>(list);
    int const index = button.get_selected_index();
    if (&button == m_mode_list)
        set_mode(static_cast<Mode>(index));
    else if (&button == m_formula_list)
        set_formula(static_cast<Formula>(index));
    else if (&button == m_format_list)
        set_format(static_cast<Format>(index));
    else if (&button == m_space_list)
        set_color_space(button.get_selected_label());
}

void GuiColorDialog::on_button(EventObject& button, EventInfo const&, void*)
{
    if (&button == m_ok)
        accept();
    else if (&button == m_cancel)
        cancel();
    else if (&button == m_store)
        store_color();
    else if (&button == m_use)
        use_color();
}

void GuiColorDialog::on_edit_escape(EventObject&, EventInfo const&, void*)
{
    cancel();
}
