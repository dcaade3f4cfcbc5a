#include "gui/color/gui_color_field.h"

#include <algorithm>

#include "gui/color/gui_color_dialog.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_dc.h"
#include "gui/fields/gui_number_field.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_COLOR_FIELD_VALUE_CHANGING);
EVENT_DEFINE_ID(EVT_ID_COLOR_FIELD_VALUE_CHANGED);

CORE_IMPLEMENT_CLASS(GuiColorFieldBase, GuiWidget)
CORE_IMPLEMENT_CLASS(GuiColorField, GuiColorFieldBase)
CORE_IMPLEMENT_CLASS(GuiHorizontalColorField, GuiColorFieldBase)

GuiColorFieldBase::GuiColorFieldBase(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                                     CoreString const& label)
    : GuiWidget(parent, x, y, w, h), m_label(label)
{
}

GuiColorFieldBase::~GuiColorFieldBase()
{
    disconnect_all();
}

bool GuiColorFieldBase::set_color(GMathVec3<double> const& color)
{
    if (!m_color.set_rgb(color[0], color[1], color[2], "GuiColorField.set_color")) return false;
    on_color_changed();
    return true;
}

bool GuiColorFieldBase::set_alpha(double const& alpha)
{
    if (!m_color.set_alpha(alpha, "GuiColorField.set_alpha")) return false;
    on_color_changed();
    return true;
}

void GuiColorFieldBase::set_label(CoreString const& label)
{
    m_label = label;
    redraw();
}

void GuiColorFieldBase::on_color_changed()
{
    redraw();
}

void GuiColorFieldBase::change_color(GuiColorValue const& color, bool const& ended)
{
    m_color = color;
    on_color_changed();
    if (m_dialog && ended) {
        GMathVec4<double> const c = color.get_rgba();
        m_dialog->set_current_rgb_color(c[0], c[1], c[2], c[3]);
    }
    raise_event(ended ? EVT_ID_COLOR_FIELD_VALUE_CHANGED : EVT_ID_COLOR_FIELD_VALUE_CHANGING);
}

bool GuiColorFieldBase::open_dialog()
{
    GuiColorDialog* dialog = get_application().get_color_dialog();
    if (!dialog) return false;
    // Whoever has the dialog now lets go of it first.
    dialog->hide();
    GMathVec3<double> const& rgb = m_color.get_rgb();
    dialog->set_rgb_color(rgb[0], rgb[1], rgb[2]);
    dialog->set_a_color(m_use_alpha ? m_color.get_alpha() : 1.0);
    dialog->set_dialog_title(m_dialog_title.is_empty() ? CoreString("Color Picker") : m_dialog_title);
    m_color_at_opening = m_color;
    m_dialog = dialog;
    connect(*dialog, EVT_ID_COLOR_DIALOG_COLOR_CHANGING, &GuiColorFieldBase::on_dialog_changing);
    connect(get_application(), EVT_ID_COLOR_DIALOG_DISCONNECTED, &GuiColorFieldBase::on_dialog_disconnected);
    dialog->show(m_use_alpha ? Gui::COLOR_DEPTH_RGBA : Gui::COLOR_DEPTH_RGB);
    return true;
}

void GuiColorFieldBase::on_dialog_changing(GuiColorDialog& dialog, EventInfo const&, void*)
{
    GuiColorValue color = dialog.get_current();
    if (!m_use_alpha) color.set_alpha(m_color.get_alpha(), "GuiColorField.on_dialog_changing");
    if (color == m_color) return;
    m_color = color;
    on_color_changed();
    raise_event(EVT_ID_COLOR_FIELD_VALUE_CHANGING);
}

void GuiColorFieldBase::on_dialog_disconnected(EventObject&, EventInfo const& info, void*)
{
    if (info.get_event_data() != m_dialog) return;
    let_go();
    if (m_color.get_rgba() != m_color_at_opening.get_rgba()) raise_event(EVT_ID_COLOR_FIELD_VALUE_CHANGED);
}

void GuiColorFieldBase::let_go()
{
    if (m_dialog) disconnect_all(*m_dialog);
    disconnect(get_application(), EVT_ID_COLOR_DIALOG_DISCONNECTED, &GuiColorFieldBase::on_dialog_disconnected);
    m_dialog = nullptr;
}

int GuiColorFieldBase::process_event(CoreString const& name)
{
    if (name == EVT_ID_MOUSE_DOWN && is_enabled()) {
        int px = 0, py = 0;
        Gui::get_relative_mouse_coords(*this, px, py);
        GMathVec4<int> const swatch = get_swatch_rect();
        int const wx = px + get_x(), wy = py + get_y();
        if (Gui::is_point_in_region(wx, wy, swatch[0], swatch[1], swatch[2], swatch[3])) {
            open_dialog();
            return 1;
        }
    }
    return GuiWidget::process_event(name);
}

void GuiColorFieldBase::draw(GuiDc& dc)
{
    GuiWidget::draw(dc);
    GuiColorScheme::Group const group = is_enabled() ? GuiColorScheme::GROUP_NORMAL : GuiColorScheme::GROUP_DISABLED;
    GMathVec3<unsigned char> const& text = get_color(group, GuiColorScheme::ROLE_TEXT);
    if (!m_label.is_empty())
        static_cast<GuiWidgetDc&>(dc).draw_text(m_label, get_x(), get_y(), LABEL_WIDTH - 4, get_height(), text[0],
                                                text[1], text[2], JUSTIFY_LEFT);
    GMathVec4<int> const swatch = get_swatch_rect();
    GMathVec3<double> const& rgb = m_color.get_rgb();
    GMathVec3<float> const shown = get_application().convert_linear_to_default(
        GMathVec3<float>(static_cast<float>(rgb[0]), static_cast<float>(rgb[1]), static_cast<float>(rgb[2])));
    dc.draw_rectf(swatch, GuiColorValue::to_bytes(GMathVec3<double>(shown[0], shown[1], shown[2])));
    dc.draw_rect(swatch, get_color(group, GuiColorScheme::ROLE_OUTLINE));
    if (m_dialog) {
        GMathVec4<int> const ring(swatch[0] - 1, swatch[1] - 1, swatch[2] + 2, swatch[3] + 2);
        dc.draw_rect(ring, get_color(group, GuiColorScheme::ROLE_ACCENT));
    }
}

// --- The swatch alone ---

GMathVec4<int> GuiColorField::get_swatch_rect() const
{
    int const left = get_label().is_empty() ? 0 : LABEL_WIDTH;
    return GMathVec4<int>(get_x() + left, get_y() + 1, std::max(4, get_width() - left), std::max(4, get_height() - 2));
}

// --- With its components ---

GuiHorizontalColorField::GuiHorizontalColorField(GuiWidget& parent, int const& x, int const& y, int const& w,
                                                 int const& h, CoreString const& label)
    : GuiColorFieldBase(parent, x, y, w, h, label)
{
    static char const* const names[3] = {"Red", "Green", "Blue"};
    for (int i = 0; i < 3; ++i) {
        // Narrow fields: the tooltip names the component instead of a caption.
        m_fields[i] = new GuiNumberField(*this, x, y, 40, h);
        m_fields[i]->set_tooltip(names[i]);
        m_fields[i]->set_float_precision(3);
        m_fields[i]->set_increment(0.01);
        connect(*m_fields[i], EVT_ID_NUMBER_FIELD_VALUE_CHANGING, &GuiHorizontalColorField::on_field, m_fields[i]);
        connect(*m_fields[i], EVT_ID_NUMBER_FIELD_VALUE_CHANGED, &GuiHorizontalColorField::on_field, m_fields[i]);
    }
    place_fields();
    on_color_changed();
}

GMathVec4<int> GuiHorizontalColorField::get_swatch_rect() const
{
    int const left = get_label().is_empty() ? 0 : LABEL_WIDTH;
    return GMathVec4<int>(get_x() + left, get_y() + 1, SWATCH_WIDTH, std::max(4, get_height() - 2));
}

void GuiHorizontalColorField::place_fields()
{
    GMathVec4<int> const swatch = get_swatch_rect();
    int const start = swatch[0] + swatch[2] + 4;
    int const room = std::max(3 * 30, get_x() + get_width() - start);
    int const each = (room - 2 * 4) / 3;
    for (int i = 0; i < 3; ++i) m_fields[i]->resize(start + i * (each + 4), get_y(), each, get_height());
}

void GuiHorizontalColorField::resize(int const& x, int const& y, int const& w, int const& h)
{
    GuiColorFieldBase::resize(x, y, w, h);
    place_fields();
}

void GuiHorizontalColorField::on_color_changed()
{
    GMathVec3<double> const& rgb = get_color();
    for (int i = 0; i < 3; ++i)
        if (!m_fields[i]->is_dragging()) m_fields[i]->set_value(rgb[i]);
    GuiColorFieldBase::on_color_changed();
}

void GuiHorizontalColorField::on_field(EventObject&, EventInfo const& info, void* data)
{
    GMathVec3<double> rgb = get_color();
    for (int i = 0; i < 3; ++i)
        if (m_fields[i] == data) rgb[i] = m_fields[i]->get_value();
    GuiColorValue color = get_value();
    if (!color.set_rgb(rgb[0], rgb[1], rgb[2], "GuiHorizontalColorField.on_field")) return;
    change_color(color, info.get_name() == EVT_ID_NUMBER_FIELD_VALUE_CHANGED);
}
