#pragma once
// Colour fields: a caption beside a swatch of a colour (linear components, shown through the
// application's display transform). A click on the swatch opens the application's colour
// dialog on the colour; while the dialog is open for it, the field follows every change of
// the dialog's current colour and lets go of the dialog when it hides (Ok, Cancel, Escape,
// or another field opening it).
//
//     GuiColorField* tint = new GuiColorField(*panel, 10, 10, 200, 20, "Tint");
//     tint->set_color(GMathVec3<double>(0.8, 0.4, 0.1));
//     panel->connect(*tint, EVT_ID_COLOR_FIELD_VALUE_CHANGED, &MyPanel::on_tint);
//
// GuiColorField is the swatch alone; GuiHorizontalColorField adds the red, green and blue
// components as number fields in the same row, which edit the colour too.
#include "gui/color/gui_color_value.h"
#include "gui/core/gui.h"
#include "gui/core/gui_widget.h"

class GuiColorDialog;
class GuiNumberField;

// The colour changes while the dialog is being used for the field.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_COLOR_FIELD_VALUE_CHANGING);
// A change ended: the dialog let go of the field on another colour than the one it opened
// with, or a component was typed.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_COLOR_FIELD_VALUE_CHANGED);

class QN_GUI_API GuiColorFieldBase : public GuiWidget {
    CORE_DECLARE_CLASS(GuiColorFieldBase, GuiWidget)

public:
    static constexpr int LABEL_WIDTH = 70;

    GuiColorFieldBase(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                      CoreString const& label);
    ~GuiColorFieldBase() override;

    using GuiWidget::get_color;
    GuiColorValue const& get_value() const { return m_color; }
    GMathVec3<double> const& get_color() const { return m_color.get_rgb(); }
    double const& get_alpha() const { return m_color.get_alpha(); }
    // No event. Components that are not finite are refused with one warning.
    bool set_color(GMathVec3<double> const& color);
    bool set_alpha(double const& alpha);
    CoreString const& get_label() const { return m_label; }
    void set_label(CoreString const& label);
    // With alpha, the dialog shows and edits it.
    void set_use_alpha(bool const& use_alpha) { m_use_alpha = use_alpha; }
    bool const& is_using_alpha() const { return m_use_alpha; }
    void set_dialog_title(CoreString const& title) { m_dialog_title = title; }

    // Opens the application's colour dialog on the field's colour and follows it. False when
    // there is no dialog to open.
    bool open_dialog();
    // The dialog while it is open for this field; null otherwise.
    GuiColorDialog* get_dialog() const { return m_dialog; }
    // The colour the dialog was last opened on.
    GuiColorValue const& get_color_at_opening() const { return m_color_at_opening; }

    // The swatch's box in window coordinates.
    virtual GMathVec4<int> get_swatch_rect() const = 0;

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

protected:
    // The colour changed (from the dialog or a subclass's controls); the base redraws.
    virtual void on_color_changed();
    // Sets the colour as the user changed it: redraws, tells the open dialog, raises
    // CHANGING or CHANGED.
    void change_color(GuiColorValue const& color, bool const& ended);

private:
    void on_dialog_changing(GuiColorDialog& dialog, EventInfo const& info, void* data);
    void on_dialog_disconnected(EventObject& app, EventInfo const& info, void* data);
    void let_go();

    GuiColorValue m_color;
    GuiColorValue m_color_at_opening;
    CoreString m_label;
    CoreString m_dialog_title;
    bool m_use_alpha = false;
    GuiColorDialog* m_dialog = nullptr;
};

// A caption and a swatch filling the rest of the field.
class QN_GUI_API GuiColorField : public GuiColorFieldBase {
    CORE_DECLARE_CLASS(GuiColorField, GuiColorFieldBase)

public:
    using GuiColorFieldBase::GuiColorFieldBase;
    GMathVec4<int> get_swatch_rect() const override;
};

// A caption, a swatch and the red, green and blue number fields side by side.
class QN_GUI_API GuiHorizontalColorField : public GuiColorFieldBase {
    CORE_DECLARE_CLASS(GuiHorizontalColorField, GuiColorFieldBase)

public:
    static constexpr int SWATCH_WIDTH = 36;

    GuiHorizontalColorField(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                            CoreString const& label);
    GMathVec4<int> get_swatch_rect() const override;
    // 0..2: red, green, blue.
    GuiNumberField& get_component_field(int const& index) const { return *m_fields[index]; }
    void resize(int const& x, int const& y, int const& w, int const& h) override;

protected:
    void on_color_changed() override;

private:
    void place_fields();
    void on_field(EventObject& field, EventInfo const& info, void* data);

    GuiNumberField* m_fields[3] = {};
};
