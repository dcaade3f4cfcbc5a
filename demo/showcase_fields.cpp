// The showcase's "Fields" page: line edits (completion over the sample scene's item names, a
// long path, read-only and password looks), number fields with units, ranges, a slider and
// drag handles, and labels that rename themselves in place. Every edit is reported on the
// page and, with --trace, as "fields <field> <what> <value>" lines; at start the page traces
// where its fields are ("fields at <field> x y w h", window pixels) for the end-to-end test.
#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/core/gui_app.h"
#include "gui/fields/gui_label.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/fields/gui_number_field.h"
#include "host/gmath/gmath_units.h"
#include "host/of/of_object.h"
#include "host/of/of_context.h"
#include "host/of/of_object_factory.h"

namespace {

constexpr int MARGIN = 8;
constexpr int ROW = 30;
constexpr int FIELD_H = 20;
constexpr int CAPTION_W = 110;

// Reports on the page's status line and in the trace.
struct FieldsReporter {
    DemoText* status = nullptr;
    void report(CoreString const& line)
    {
        if (status) status->set_text(line);
        DemoTrace::line(CoreString("fields ") + line);
    }
};

// The name a widget is traced under, kept beside it.
struct Traced {
    FieldsReporter* reporter;
    CoreString name;
};

void trace_geometry(CoreString const& name, GuiWidget const& widget)
{
    DemoTrace::line(CoreString("fields at ") + name + " " + widget.get_x() + " " + widget.get_y() + " " +
                    widget.get_width() + " " + widget.get_height());
}

void on_line_edit(EventObject& sender, EventObject::EventInfo const& info, void* data)
{
    Traced const& traced = *static_cast<Traced*>(data);
    GuiLineEdit const& edit = static_cast<GuiLineEdit const&>(sender);
    CoreString const what = info.get_name() == EVT_ID_LINE_EDIT_CHANGED    ? "changed"
                            : info.get_name() == EVT_ID_LINE_EDIT_VALIDATE ? "validated"
                                                                           : "escaped";
    traced.reporter->report(traced.name + " " + what + " " + (edit.is_password_mode() ? CoreString("***") : edit.get_text()));
}

void on_label(EventObject& sender, EventObject::EventInfo const& info, void* data)
{
    Traced const& traced = *static_cast<Traced*>(data);
    GuiLabel const& label = static_cast<GuiLabel const&>(sender);
    CoreString const what = info.get_name() == EVT_ID_LABEL_RENAMED   ? "renamed"
                            : info.get_name() == EVT_ID_LABEL_ACTIVATE ? "activated"
                                                                       : "editing";
    traced.reporter->report(traced.name + " " + what + " " + label.get_label());
}

void on_number(EventObject& sender, EventObject::EventInfo const& info, void* data)
{
    Traced const& traced = *static_cast<Traced*>(data);
    GuiNumberField const& field = static_cast<GuiNumberField const&>(sender);
    CoreString const what = info.get_name() == EVT_ID_NUMBER_FIELD_VALUE_CHANGING ? "changing" : "changed";
    traced.reporter->report(traced.name + " " + what + " " + GMathUnits::stringify_float(field.get_value(), 6) +
                            " (" + field.get_text() + ")");
}

}  // namespace

void ShowcaseWindow::build_fields_page(GuiWidget& page, int x, int y, int w, int h)
{
    auto reporter = std::make_shared<FieldsReporter>();
    m_page_state.push_back(reporter);
    auto traced = [this, reporter](CoreString const& name) {
        auto entry = std::make_shared<Traced>(Traced{reporter.get(), name});
        m_page_state.push_back(entry);
        return entry.get();
    };
    using W = GuiWidget;
    int const column_w = (w - MARGIN) / 2;
    int const panel_h = h - 40 - MARGIN;

    // Left: line edits.
    DemoPanel* edits = new DemoPanel(page, "line_edits", "Line edits", x, y, column_w, panel_h);
    edits->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM);
    int row_y = y + DemoPanel::TITLE_HEIGHT + MARGIN;
    int const edit_x = x + MARGIN;
    int const edit_w = column_w - 2 * MARGIN;
    auto add_edit = [&](CoreString const& name, CoreString const& caption, CoreString const& text) {
        GuiLineEdit* edit = new GuiLineEdit(*edits, edit_x, row_y, edit_w, FIELD_H, caption);
        edit->set_text(text);
        Traced* entry = traced(name);
        EventObject::connect(*edit, EVT_ID_LINE_EDIT_CHANGED, &on_line_edit, entry);
        EventObject::connect(*edit, EVT_ID_LINE_EDIT_VALIDATE, &on_line_edit, entry);
        EventObject::connect(*edit, EVT_ID_LINE_EDIT_ESCAPE_PRESSED, &on_line_edit, entry);
        trace_geometry(name, *edit);
        row_y += ROW;
        return edit;
    };
    GuiLineEdit* name = add_edit("name", "Item name", "");
    name->set_null_value("Type a name (Down lists the scene's items)");
    CoreVector<CoreString> items;
    for (OfObject* object : m_app.get_factory().get_root().get_all_objects())
        if (items.find(object->get_name()) < 0) items.add(object->get_name());
    name->set_candidate_values(items);
    add_edit("path", "Path", "/project/assets/textures/environment/studio_small_08/hdr/studio_small_08_4k.exr "
                             "(a long path scrolls with the caret)");
    add_edit("unicode", "Unicode", "Caf\xc3\xa9 \xe2\x82\xac 12 \xe2\x80\x94 na\xc3\xafve r\xc3\xa9sum\xc3\xa9");
    add_edit("read_only", "Read-only", "Selectable and copyable, not editable")->set_read_only(true);
    GuiLineEdit* password = add_edit("password", "Password", "secret");
    password->set_password_mode(true);
    GuiLineEdit* round = add_edit("round", "Round style", "A round frame");
    round->set_style(GuiLineEdit::STYLE_ROUND);

    // Labels that edit in place.
    row_y += MARGIN;
    DemoText* hint = new DemoText(*edits, "labels_hint", edit_x, row_y, edit_w, 36);
    hint->set_text("Labels: click one to focus it, click again and wait to rename it;\n"
                   "a quick double click activates it.");
    row_y += 40;
    char const* const label_names[] = {"key_light", "fill_light", "hero_camera"};
    for (char const* label_name : label_names) {
        GuiLabel* label = new GuiLabel(*edits, edit_x, row_y, 160, FIELD_H, label_name);
        label->set_editable(true);
        Traced* entry = traced(CoreString("label_") + label_name);
        EventObject::connect(*label, EVT_ID_LABEL_RENAMED, &on_label, entry);
        EventObject::connect(*label, EVT_ID_LABEL_ACTIVATE, &on_label, entry);
        trace_geometry(CoreString("label_") + label_name, *label);
        row_y += FIELD_H + 4;
    }

    // Right: number fields.
    int const right_x = x + column_w + MARGIN;
    DemoPanel* numbers = new DemoPanel(page, "number_fields", "Number fields", right_x, y, w - column_w - MARGIN,
                                       panel_h);
    numbers->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    row_y = y + DemoPanel::TITLE_HEIGHT + MARGIN;
    int const field_x = right_x + MARGIN;
    int const field_w = w - column_w - MARGIN - 2 * MARGIN;
    auto add_number = [&](CoreString const& name, CoreString const& caption, double value) {
        GuiNumberField* field = new GuiNumberField(*numbers, field_x, row_y, field_w, FIELD_H, caption);
        field->set_value(value);
        Traced* entry = traced(name);
        EventObject::connect(*field, EVT_ID_NUMBER_FIELD_VALUE_CHANGING, &on_number, entry);
        EventObject::connect(*field, EVT_ID_NUMBER_FIELD_VALUE_CHANGED, &on_number, entry);
        trace_geometry(name, *field);
        row_y += ROW;
        return field;
    };
    GuiNumberField* distance = add_number("distance", "Distance", 2.0);
    distance->set_unit_type("distance");
    distance->set_force_unit_system("cm");
    distance->set_force_unit_format("FORMAT_VALUE_UNIT");
    distance->set_float_precision(3);
    GuiNumberField* angle = add_number("angle", "Angle", 0.5);
    angle->set_unit_type("angle");
    angle->set_force_unit_system("deg");
    angle->set_force_unit_format("FORMAT_VALUE_UNIT");
    GuiNumberField* samples = add_number("samples", "Samples", 16);
    samples->set_format(GuiNumberEdit::FORMAT_INTEGER);
    samples->set_range(1, 1024);
    samples->enable_range(true);
    GuiNumberField* opacity = add_number("opacity", "Opacity", 0.75);
    opacity->show_slider(true);
    opacity->set_range(0.0, 1.0);
    opacity->enable_range(true);
    opacity->set_slider_range(0.0, 1.0);
    GuiNumberField* frame = add_number("frame", "Frame", 1.0);
    frame->set_unit_type("time");
    frame->set_force_unit_system("f");
    frame->set_force_unit_base("f");
    frame->set_force_unit_format("FORMAT_VALUE_UNIT");

    DemoText* guide = new DemoText(*numbers, "numbers_hint", field_x, row_y + MARGIN, field_w, 120);
    guide->set_text("Type a value with a unit (10cm, 0.2 m, 45deg), or a relative entry:\n"
                    "+=5, -=1, *=2, /=4 change the current value.\n"
                    "Drag the handle at a field's left: right or up increases, by the digit\n"
                    "left of the caret; Shift is ten times faster, Ctrl ten times slower,\n"
                    "Escape during the drag puts the value back.");

    DemoText* status = new DemoText(page, "fields_status", x, y + panel_h + MARGIN, w, 32);
    status->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    status->set_text("Edit a field: what it reports shows here.");
    reporter->status = status;
}
