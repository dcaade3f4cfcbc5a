#pragma once
// GuiNumberEdit: a line edit that holds a number with an optional unit. The value is a double
// in the field's base unit; the text shows it in the unit system the application (AppUnits)
// or the edit's forced settings give for its unit type, and is shown again when those
// settings or the scene's frame rate change.
//
//     GuiNumberEdit* width = new GuiNumberEdit(*panel, 10, 10, 80, 20);
//     width->set_unit_type("distance");          // shown in the application's units, e.g. "25cm"
//     width->set_range(0.0, 10.0);
//     width->enable_range(true);
//     width->set_value(0.25);
//     panel->connect(*width, EVT_ID_LINE_EDIT_CHANGED, &MyPanel::on_width);
//
// Typed entries are read when the line edit commits them (Return, Enter, leaving it):
// - a number, with or without a unit of the type ("2.5", "10cm", "3in"): the new value;
// - a relative entry "+=x", "-=x", "*=x" or "/=x" (at least 3 characters, blanks before it
//   allowed): x combined with the current value. For "+=" and "-=" x may carry a unit; for
//   "*=" and "/=" it is a plain factor. The operator and x stay readable
//   (get_expression_operator, get_expression_value) until the next set_value that resets
//   them, so that one entry can be applied to several values.
// Bad input (no number, an unknown unit, an empty entry, a division by zero, a result that
// is not a finite number) gives one warning and puts the previous value's text back; the
// value and the expression are left as they were and EVT_ID_LINE_EDIT_CHANGED is not raised.
#include "gui/core/gui_export.h"
#include "gui/fields/gui_line_edit.h"
#include "host/app/app_units.h"

class QN_GUI_API GuiNumberEdit : public GuiLineEdit {
    CORE_DECLARE_CLASS(GuiNumberEdit, GuiLineEdit)

public:
    enum Format : int { FORMAT_INTEGER = 0, FORMAT_FLOAT = 1, FORMAT_COUNT };
    // "FORMAT_INTEGER", "FORMAT_FLOAT"; "FORMAT_COUNT" for other values.
    static char const* get_format_name(Format const& format);

    // Integer values never go beyond ±2^53, where doubles stop holding every integer, and,
    // without a range, stay within a 32-bit int.
    static constexpr double INTEGER_LIMIT = 9007199254740992.0;
    static constexpr double INT32_MIN_VALUE = -2147483648.0;
    static constexpr double INT32_MAX_VALUE = 2147483647.0;

    // A floating-point edit showing 0 with 3 decimals, no range, no unit.
    GuiNumberEdit(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                  CoreString const& label = CoreString());
    ~GuiNumberEdit() override;

    // --- Value ---
    // Stores the value clamped (to ±2^53 and then to a 32-bit int for the integer format, to
    // the range when it is enabled), leaves the null state and shows it. With
    // `reset_expression` the pending relative entry is forgotten. A value that is not a
    // finite number is refused with a warning.
    virtual void set_value(double const& value, bool const& reset_expression = true);
    double const& get_value() const { return m_value; }
    // The value as shown: rounded to the decimals (and the unit) of the text.
    double get_value_with_precision() const;

    // The format of the value (integer values are clamped to integer limits; the caret's
    // increments follow it). set_format also sets the display format.
    void set_format(Format const& format);
    Format const& get_format() const { return m_format; }
    // How the text writes the value: FORMAT_INTEGER writes no decimals.
    void set_display_format(Format const& format);
    Format const& get_display_format() const { return m_display_format; }
    // Decimals shown by the floating-point display format.
    void set_float_precision(unsigned int const& precision);
    unsigned int const& get_float_precision() const { return m_float_precision; }

    // --- Range ---
    // The range takes effect once enabled; a minimum above the maximum is refused with a
    // warning. Enabling it, or changing it while enabled, clamps the value.
    void set_range(double const& min, double const& max);
    void get_range(double& min, double& max) const;
    void enable_range(bool const& enable);
    bool const& is_range_enabled() const { return m_range_enabled; }
    // The value clamped as set_value would store it.
    double clamp_value(double const& value) const;

    // --- Units ---
    // The unit type ("distance", "angle", "time"; empty for a plain number). An unknown type
    // is refused with a warning.
    void set_unit_type(CoreString const& type);
    CoreString const& get_unit_type() const { return m_unit_type; }
    // Settings that replace the application's for this edit; empty: not forced. An unknown
    // unit is refused with a warning. The format is named as GMathUnits names it
    // ("FORMAT_VALUE_UNIT").
    void set_force_unit_system(CoreString const& system);
    void set_force_unit_base(CoreString const& base);
    void set_force_unit_format(CoreString const& format);
    CoreString const& get_force_unit_system() const { return m_force_system; }
    CoreString const& get_force_unit_base() const { return m_force_base; }
    CoreString const& get_force_unit_format() const { return m_force_format; }
    // The settings the edit writes and reads with: the application's, with the forced ones
    // in their place.
    AppUnits::Settings get_unit_settings() const;
    // Reads a number typed in the edit's units into the base unit; false (warned) on bad
    // text, with `value` left alone.
    bool read_value(CoreString const& text, double& value) const;
    // The text of a value as the edit shows it.
    CoreString format_value(double const& value) const;

    // --- Relative entries ---
    // '+', '-', '*' or '/' after a relative entry; 0 when the last entry was a plain value.
    char const& get_expression_operator() const { return m_expression_operator; }
    // The operand of the relative entry (in the base unit for '+' and '-').
    double const& get_expression_value() const { return m_expression_value; }
    // Splits an entry into its operator (0 for none) and the text of the value.
    static void split_expression(CoreString const& text, char& op, CoreString& operand);

    // --- A value shown as a word ---
    // The value is shown as `text` ("Unlimited" for a width of 0), and the word, typed in any
    // case, reads as the value. An empty text shows every value as a number again.
    void set_special_value_text(double const& value, CoreString const& text);
    CoreString const& get_special_value_text() const { return m_special_text; }

    // --- Several values ---
    // The edit stands for several different values: the text is empty and the line edit
    // shows its null value ("--" unless set otherwise). Any set_value ends it.
    void set_null(bool const& null);
    bool const& is_null() const { return m_null; }

    // Reads the committed entry (see the class comment), then commits it as the line edit
    // does.
    void on_changed() override;

protected:
    // Shows the value again (units or frame rate changed).
    void refresh_text();

private:
    // The entry combined with the current value; false (warned) on bad input.
    bool evaluate_entry(CoreString const& text, double& value, char& op, double& operand) const;
    void on_unit_system_change(EventObject& sender, EventInfo const& info, void* data);
    void on_fps_change(EventObject& sender, EventInfo const& info, void* data);

    double m_value = 0.0;
    Format m_format = FORMAT_FLOAT;
    Format m_display_format = FORMAT_FLOAT;
    unsigned int m_float_precision = 3;
    bool m_range_enabled = false;
    double m_range_min = 0.0;
    double m_range_max = 1.0;
    CoreString m_unit_type;
    GMathUnits::Kind m_unit_kind = GMathUnits::KIND_NONE;
    CoreString m_force_system;
    CoreString m_force_base;
    CoreString m_force_format;
    char m_expression_operator = 0;
    double m_expression_value = 0.0;
    bool m_null = false;
    double m_special_value = 0.0;
    CoreString m_special_text;
};
