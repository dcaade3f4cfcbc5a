#include "gui/fields/gui_label.h"

#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_dc.h"
#include "gui/fields/gui_line_edit.h"

EVENT_DEFINE_ID(EVT_ID_LABEL_ACTIVATE);
EVENT_DEFINE_ID(EVT_ID_LABEL_EDIT);
EVENT_DEFINE_ID(EVT_ID_LABEL_RENAMED);

CORE_IMPLEMENT_CLASS(GuiLabel, GuiWidget)

namespace {

// The editor of all labels. It forgets itself when its parent takes it along at deletion.
class LabelEditor : public GuiLineEdit {
public:
    static LabelEditor* s_editor;
    explicit LabelEditor(GuiWidget& parent) : GuiLineEdit(parent, 0, 0, 10, 10)
    {
        set_style(STYLE_FLAT);
        enable_tab_navigation(false);
        s_editor = this;
    }
    ~LabelEditor() override
    {
        if (s_editor == this) s_editor = nullptr;
    }
};
LabelEditor* LabelEditor::s_editor = nullptr;

// The one click decision that may be waiting: the label it is for, whether a second click came.
struct ClickState {
    GuiLabel* label = nullptr;
    AppBase::TimerId timer = 0;
    bool double_clicked = false;
};
ClickState g_click;

}  // namespace

GuiLabel::GuiLabel(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, CoreString const& label)
    : GuiWidget(parent, x, y, w, h), m_label(label)
{
}

GuiLabel::~GuiLabel()
{
    cancel_click_decision();
    if (m_editing && LabelEditor::s_editor) LabelEditor::s_editor->disconnect_all();
}

void GuiLabel::set_label(CoreString const& label)
{
    if (label == m_label) return;
    m_label = label;
    raise_event(EVT_ID_LABEL_RENAMED);
    redraw();
}

int GuiLabel::get_label_width()
{
    int w = 0, h = 0;
    get_text_size(m_label, w, h);
    return w;
}

void GuiLabel::set_editable(bool const& editable)
{
    if (editable == m_editable) return;
    m_editable = editable;
    set_focus_receiver(editable);
}

void GuiLabel::set_justification(Justify const& justify)
{
    m_justify = justify;
    redraw();
}

void GuiLabel::set_text_color(unsigned char const& r, unsigned char const& g, unsigned char const& b)
{
    set_text_color(GMathVec3<unsigned char>(r, g, b));
}

void GuiLabel::set_text_color(GMathVec3<unsigned char> const& color)
{
    m_text_color = color;
    m_has_text_color = true;
    redraw();
}

void GuiLabel::set_text_selected_color(unsigned char const& r, unsigned char const& g, unsigned char const& b)
{
    set_text_selected_color(GMathVec3<unsigned char>(r, g, b));
}

void GuiLabel::set_text_selected_color(GMathVec3<unsigned char> const& color)
{
    m_selected_color = color;
    m_has_selected_color = true;
    redraw();
}

GMathVec3<unsigned char> GuiLabel::get_text_color() const
{
    return m_has_text_color ? m_text_color : get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT);
}

GMathVec3<unsigned char> GuiLabel::get_text_selected_color() const
{
    return m_has_selected_color ? m_selected_color
                                : get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_ACCENT);
}

GMathVec3<unsigned char> GuiLabel::get_text_disabled_color() const
{
    return get_color(GuiColorScheme::GROUP_DISABLED, GuiColorScheme::ROLE_TEXT);
}

GuiLineEdit* GuiLabel::get_editor()
{
    return LabelEditor::s_editor;
}

bool GuiLabel::is_click_pending()
{
    return g_click.label != nullptr;
}

void GuiLabel::cancel_click_decision()
{
    if (g_click.label != this) return;
    get_application().remove_timer(g_click.timer);
    g_click = ClickState();
}

void GuiLabel::on_click_timer(void*)
{
    GuiLabel* label = g_click.label;
    bool const double_clicked = g_click.double_clicked;
    g_click = ClickState();
    if (!label) return;
    if (double_clicked) {
        label->raise_event(EVT_ID_LABEL_ACTIVATE);
        label->on_delayed_double_click();
    } else {
        label->raise_event(EVT_ID_LABEL_EDIT);
        // Editable labels edit themselves; owners that want another editor hide the label's
        // by handling the event and ending the edit.
        label->on_edit();
    }
}

void GuiLabel::on_delayed_double_click() {}

void GuiLabel::on_edit()
{
    cancel_click_decision();
    GuiWidget* parent = get_parent();
    if (!parent) return;
    m_editing = true;
    redraw();
    LabelEditor* editor = LabelEditor::s_editor;
    if (editor && editor->is_destroyed()) editor = nullptr;
    if (!editor)
        editor = new LabelEditor(*parent);
    else if (editor->get_parent() != parent)
        editor->set_parent(parent);
    editor->resize(get_x() + 1, get_y() + 1, get_width() - 2, get_height() - 2);
    if (editor->get_text() != m_label) editor->set_text(m_label);
    // The editor served other labels before: only this one listens now.
    editor->remove_all_connection();
    editor->bring_to_front();
    editor->show();
    editor->set_focus();
    editor->select_all();
    connect(*editor, EVT_ID_WIDGET_FOCUS_OUT, &GuiLabel::on_edit_end);
    connect(*editor, EVT_ID_LINE_EDIT_CHANGED, &GuiLabel::on_edit_end);
    if (GuiWidget* window = get_window()) connect(*window, EVT_ID_MOUSE_DOWN, &GuiLabel::on_edit_end);
}

void GuiLabel::on_edit_end(GuiWidget&, EventInfo const& info, void*)
{
    LabelEditor* editor = LabelEditor::s_editor;
    if (!m_editing || !is_shown() || !editor) return;
    if (info.get_name() == EVT_ID_MOUSE_DOWN) {
        int px = 0, py = 0;
        Gui::get_relative_mouse_coords(*this, px, py);
        if (Gui::is_point_in_region(px, py, 0, 0, get_width(), get_height())) return;
    }
    m_editing = false;
    editor->remove_all_connection();
    if (GuiWidget* window = get_window()) disconnect_all(*window);
    CoreString const text = editor->get_text();
    editor->hide();
    set_label(text);
    redraw();
}

int GuiLabel::process_event(CoreString const& name)
{
    if (name == EVT_ID_WIDGET_FOCUS_IN || name == EVT_ID_WIDGET_FOCUS_OUT) {
        if (!m_editable) return GuiWidget::process_event(name);
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_DOWN && is_enabled()) {
        if (!m_editable) {
            if (Gui::is_double_click()) raise_event(EVT_ID_LABEL_ACTIVATE);
            return 1;
        }
        if (!has_focus()) {
            set_focus();
            return 1;
        }
        if (g_click.label == this) {
            if (Gui::is_double_click()) g_click.double_clicked = true;
            return 1;
        }
        if (g_click.label) g_click.label->cancel_click_decision();
        g_click.label = this;
        g_click.double_clicked = false;
        g_click.timer = get_application().add_timer(&GuiLabel::on_click_timer, nullptr, CLICK_DECISION_DELAY);
        return 1;
    }
    return GuiWidget::process_event(name);
}

void GuiLabel::draw(GuiDc& dc)
{
    GuiWidget::draw(dc);
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    if (is_enabled() && m_editing) {
        wdc.draw_rectf(x, y, w, h, 80, 80, 80);
        wdc.draw_rect(x, y, w, h, 40, 40, 40);
    }
    GMathVec3<unsigned char> const color = !is_enabled() ? get_text_disabled_color()
                                           : has_focus() ? get_text_selected_color()
                                                         : get_text_color();
    wdc.draw_text(m_label, x + 2, y, w - 4, h, color[0], color[1], color[2], m_justify);
}
