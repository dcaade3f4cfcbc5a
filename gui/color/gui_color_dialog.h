#pragma once
// GuiColorDialog: the colour picker window ("Color Picker", 326 × 644). It edits a current
// colour A and keeps a previous colour B and a result C = formula(A, B), each shown as a
// swatch; A is picked in a two-dimensional area with a strip beside it (six modes), typed in
// seven number fields (hue, saturation, value, red, green, blue, alpha) or taken from the
// palette of 35 stored colours, which every dialog shares with the user's preferences.
// Colours are in the working (linear) colour space; the swatches, area and strips show them
// through one converter to the display colour space chosen in the dialog, shared by every
// dialog of the process.
//
//     GuiColorDialog* dialog = app.get_color_dialog();    // the application's shared one
//     dialog->set_rgb_color(0.8, 0.2, 0.1);
//     widget->connect(*dialog, EVT_ID_COLOR_DIALOG_COLOR_CHANGING, &MyWidget::on_color);
//     dialog->show(Gui::COLOR_DEPTH_RGBA);
//
// It raises EVT_ID_COLOR_DIALOG_COLOR_CHANGING on itself once for every change of A,
// EVT_ID_COLOR_DIALOG_COLOR_OK when Ok is pressed, EVT_ID_COLOR_DIALOG_COLOR_CANCEL after
// Escape or Cancel put back the colour it opened with, and EVT_ID_COLOR_DIALOG_DISCONNECTED
// on the application whenever it hides, so that the widget that opened it lets go of it.
//
// Components that are not finite numbers are refused with one warning and change nothing;
// components outside 0..1 (HDR colours) are kept and shown as they are.
#include "gui/color/gui_color_dialog_parts.h"
#include "gui/color/gui_color_value.h"
#include "gui/core/gui.h"
#include "gui/core/gui_window.h"

class ColorIOConverter;
class GuiListButton;
class GuiNumberField;
class GuiPushButton;

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_COLOR_DIALOG_COLOR_CHANGING);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_COLOR_DIALOG_COLOR_OK);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_COLOR_DIALOG_COLOR_CANCEL);
// Raised on the application object.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_COLOR_DIALOG_DISCONNECTED);

class QN_GUI_API GuiColorDialog : public GuiWindow {
    CORE_DECLARE_CLASS(GuiColorDialog, GuiWindow)

public:
    static constexpr int WIDTH = 326;
    static constexpr int HEIGHT = 644;

    using Mode = GuiColorPickBase::Mode;
    using enum GuiColorPickBase::Mode;
    using Formula = GuiColorValue::Formula;
    using enum GuiColorValue::Formula;
    static char const* get_mode_name(Mode const& mode) { return GuiColorPickBase::get_mode_name(mode); }
    static char const* get_formula_name(Formula const& formula) { return GuiColorValue::get_formula_name(formula); }

    // How the fields show components other than the hue: as they are, or times 100.
    enum Format : int { FORMAT_NO_UNITS = 0, FORMAT_PERCENTAGE = 1, FORMAT_COUNT = 2 };
    static char const* get_format_name(Format const& format);

    // The first entry of the colour-space list: the application's colour-picker space.
    static char const* const USE_DEFAULT;

    GuiColorDialog(GuiWindow& parent, int const& x, int const& y);
    GuiColorDialog(GuiApp& app, int const& x, int const& y);
    ~GuiColorDialog() override;

    // Shows the dialog (when hidden) above the application's top window, modal when that
    // window is, with the red field focused and its text selected.
    void show(Gui::ColorDepth const& color_depth);
    void show() override { show(m_color_depth); }
    // Hides it and raises EVT_ID_COLOR_DIALOG_DISCONNECTED on the application.
    void hide() override;
    // -1 while open, 0 after Ok, 1 after a cancel.
    int const& get_value() const { return m_result; }
    int on_modal_loop() override { return m_result; }
    void set_dialog_title(CoreString const& title) { set_title(title); }

    // --- Colours ---
    // A, B and the colour Escape restores become the colour (alpha kept).
    bool set_rgb_color(double const& r, double const& g, double const& b);
    bool set_hsv_color(double const& h, double const& s, double const& v);
    // B takes A's values and A becomes the colour.
    bool set_current_rgb_color(double const& r, double const& g, double const& b, double const& a);
    // The same during a drag: A follows, B keeps the colour the drag started from.
    bool set_current_rgb_color_dragging(double const& r, double const& g, double const& b, double const& a);
    bool set_a_color(double const& a);
    GMathVec3<double> const& get_current_rgb_color() const { return m_current.get_rgb(); }
    GMathVec3<double> const& get_current_hsv_color() const { return m_current.get_hsv(); }
    double const& get_current_a_color() const { return m_current.get_alpha(); }
    GuiColorValue const& get_current() const { return m_current; }
    GuiColorValue const& get_previous() const { return m_previous; }
    GuiColorValue const& get_result() const { return m_result_color; }
    GuiColorValue const& get_opening() const { return m_opening; }
    // Swaps A and B.
    void revert_to_previous_color();
    // A becomes C.
    void use_result_color();

    // --- Mode, formula, format ---
    Mode const& get_mode() const { return m_mode; }
    bool set_mode(Mode const& mode);
    Formula const& get_formula() const { return m_formula; }
    bool set_formula(Formula const& formula);
    Format const& get_format() const { return m_format; }
    bool set_format(Format const& format);

    // --- Palette ---
    GuiColorPalette& get_palette() const;
    bool set_custom_color(int const& slot, GMathVec3<double> const& rgb);
    // "Store": A's RGB into the selected slot. "Use": the selected slot's colour becomes A.
    void store_color();
    void use_color();

    // --- Colour space ---
    // The display colour space; empty for "Use Default" (the application's colour-picker space).
    CoreString const& get_color_space() const { return m_color_space; }
    // The space the swatches are shown in now (the default one resolved).
    CoreString get_display_color_space() const;
    // An unknown name is refused with one warning; the converter stays as it was.
    bool set_color_space(CoreString const& name);
    // The process-wide converter from the working space to the display space.
    static ColorIOConverter& get_color_space_converter();

    // --- Refreshing ---
    void update_color_format();
    // Fields, area, strips, swatches and palette from the colours, muted; then one
    // EVT_ID_COLOR_DIALOG_COLOR_CHANGING.
    void update_fields();
    void update_formula_result();
    // The list of spaces from the colour management, and the converter for the chosen one.
    void update_color_space_converter();
    void update_show_and_position_components();

    // The parts, for their users and tests.
    GuiColorPickArea& get_area() const { return *m_area; }
    GuiColorPickStrip& get_strip() const { return *m_strip; }
    GuiColorPickStrip& get_alpha_strip() const { return *m_alpha_strip; }
    GuiColorSwatches& get_swatches() const { return *m_swatches; }
    GuiColorPaletteView& get_palette_view() const { return *m_palette_view; }
    // 0..6: hue, saturation, value, red, green, blue, alpha.
    GuiNumberField& get_field(int const& index) const { return *m_fields[index]; }
    GuiListButton& get_mode_list() const { return *m_mode_list; }
    GuiListButton& get_formula_list() const { return *m_formula_list; }
    GuiListButton& get_format_list() const { return *m_format_list; }
    GuiListButton& get_color_space_list() const { return *m_space_list; }
    GuiPushButton& get_ok_button() const { return *m_ok; }
    GuiPushButton& get_cancel_button() const { return *m_cancel; }
    GuiPushButton& get_store_button() const { return *m_store; }
    GuiPushButton& get_use_button() const { return *m_use; }

    // Accepts (Ok) or puts back the opening colour and cancels (Escape, Cancel).
    void accept();
    void cancel();

    int process_event(CoreString const& name) override;

private:
    void init_dialog();
    // A becomes `color`; B takes A's old values when `push_previous`.
    void set_current(GuiColorValue const& color, bool const& push_previous);
    void on_update_fields();
    // The colour as the display shows it.
    GMathVec3<unsigned char> to_display(GuiColorValue const& color) const;
    double field_scale(int const& index) const;
    void on_pick(GuiColorPickBase& part, EventInfo const& info, void* data);
    void on_pick_done(GuiColorPickBase& part, EventInfo const& info, void* data);
    void on_swatch(GuiColorSwatches& swatches, EventInfo const& info, void* data);
    void on_palette_select(GuiColorPaletteView& view, EventInfo const& info, void* data);
    void on_palette_use(GuiColorPaletteView& view, EventInfo const& info, void* data);
    void on_field(EventObject& field, EventInfo const& info, void* data);
    void on_list(EventObject& list, EventInfo const& info, void* data);
    void on_button(EventObject& button, EventInfo const& info, void* data);
    void on_edit_escape(EventObject& edit, EventInfo const& info, void* data);

    GuiColorValue m_current;
    GuiColorValue m_previous;
    GuiColorValue m_result_color;
    GuiColorValue m_opening;
    Mode m_mode = MODE_HUE;
    Formula m_formula = FORMULA_A;
    Format m_format = FORMAT_NO_UNITS;
    Gui::ColorDepth m_color_depth = Gui::COLOR_DEPTH_RGBA;
    CoreString m_color_space;
    // The space the shared converter was last set up for by this dialog.
    CoreString m_converter_space;
    int m_result = -1;
    bool m_dragging = false;
    bool m_updating = false;

    GuiColorPickArea* m_area = nullptr;
    GuiColorPickStrip* m_strip = nullptr;
    GuiColorPickStrip* m_alpha_strip = nullptr;
    GuiColorSwatches* m_swatches = nullptr;
    GuiColorPaletteView* m_palette_view = nullptr;
    GuiNumberField* m_fields[7] = {};
    GuiListButton* m_mode_list = nullptr;
    GuiListButton* m_formula_list = nullptr;
    GuiListButton* m_format_list = nullptr;
    GuiListButton* m_space_list = nullptr;
    GuiPushButton* m_ok = nullptr;
    GuiPushButton* m_cancel = nullptr;
    GuiPushButton* m_store = nullptr;
    GuiPushButton* m_use = nullptr;
};
