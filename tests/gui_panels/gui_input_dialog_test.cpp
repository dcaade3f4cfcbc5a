// Input dialogs: rows stacking above the buttons, and the answers given by Return in a field,
// Escape, and the two buttons; the object picker built on them.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <functional>

#include "gui/controls/gui_checkbox.h"
#include "gui/controls/gui_push_button.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/fields/gui_number_field.h"
#include "gui/menus/gui_list_button.h"
#include "gui/controls/gui_list_view.h"
#include "gui/core/gui_app.h"
#include "gui/panels/gui_browser_picker.h"
#include "gui/panels/gui_input_dialog.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"

namespace {

class InputDialogTest : public GuiTest {
protected:
    // Runs the dialog and, from inside its loop, `act` once after a short while.
    bool run(GuiInputDialog& dialog, std::function<void(GuiInputDialog&)> act)
    {
        m_act = std::move(act);
        m_dialog = &dialog;
        app().add_timer(
            [](void* data) {
                auto* self = static_cast<InputDialogTest*>(data);
                self->m_act(*self->m_dialog);
            },
            this, 0.05);
        return dialog.run();
    }

    std::function<void(GuiInputDialog&)> m_act;
    GuiInputDialog* m_dialog = nullptr;
};

}  // namespace

TEST_F(InputDialogTest, RowsStackAboveTheButtons)
{
    GuiInputDialog* dialog = new GuiInputDialog(make_window(), "Rows");
    int const empty = dialog->get_height();
    GuiLineEdit* title = dialog->add_text("Title", "Backdrop");
    GuiNumberField* width = dialog->add_number("Width", 250);
    GuiCheckbox* crop = dialog->add_check("Crop", true);
    EXPECT_EQ(dialog->get_height(), empty + 3 * GuiInputDialog::ROW_HEIGHT);
    EXPECT_LT(title->get_y(), width->get_y());
    EXPECT_LT(width->get_y(), crop->get_y());
    EXPECT_LT(crop->get_y() + crop->get_height(), dialog->get_ok_button().get_y());
    EXPECT_EQ(width->get_value(), 250);
    EXPECT_TRUE(crop->get_value());
}

TEST_F(InputDialogTest, ReturnInAFieldAcceptsWithTheTypedValue)
{
    GuiInputDialog* dialog = new GuiInputDialog(make_window(), "Set Title");
    GuiLineEdit* title = dialog->add_text("Title", "old");
    bool const accepted = run(*dialog, [&](GuiInputDialog&) {
        EXPECT_TRUE(title->has_focus()) << "the first field has the keys";
        key_down(*title, 'n', "n");
        key_down(*title, FL_Enter);
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(title->get_text(), "n");
    EXPECT_FALSE(dialog->is_shown());
}

TEST_F(InputDialogTest, EscapeAndCancelRefuseAndOkAccepts)
{
    // A click in the middle of a button.
    auto press = [](GuiPushButton& button) {
        click(button, button.get_x() + button.get_width() / 2, button.get_y() + button.get_height() / 2);
    };
    struct Row {
        char const* how;
        std::function<void(GuiInputDialog&, GuiLineEdit&)> act;
        bool accepted;
    };
    Row const rows[] = {
        {"escape in a field", [](GuiInputDialog&, GuiLineEdit& edit) { key_down(edit, FL_Escape); }, false},
        {"cancel button", [&](GuiInputDialog& d, GuiLineEdit&) { press(d.get_cancel_button()); }, false},
        {"ok button", [&](GuiInputDialog& d, GuiLineEdit&) { press(d.get_ok_button()); }, true},
    };
    for (Row const& row : rows) {
        GuiInputDialog* dialog = new GuiInputDialog(make_window(), "Answer");
        GuiLineEdit* edit = dialog->add_text("Name", "x");
        dialog->add_choice("Mode", {"In", "Out", "In&Out"}, 2);
        bool const accepted = run(*dialog, [&](GuiInputDialog& d) { row.act(d, *edit); });
        EXPECT_EQ(accepted, row.accepted) << row.how;
    }
}

TEST_F(InputDialogTest, TheObjectPickerListsItsClassesFiltersAsTypedAndAnswersTheChoice)
{
    OfClassFactory& classes = app().get_factory().get_classes();
    if (!classes.get("PickCamera")) classes.add_class("PickCamera");
    if (!classes.get("PickLight")) classes.add_class("PickLight");
    OfObject* hero = app().get_factory().create_object("PickCamera", "hero");
    app().get_factory().create_object("PickCamera", "witness");
    app().get_factory().create_object("PickLight", "sun");
    GuiBrowserPicker* picker = new GuiBrowserPicker(app(), {"PickCamera"});
    std::vector<std::string> listed;
    for (CoreString const& name : picker->get_candidates()) listed.push_back(name.std_string());
    EXPECT_EQ(listed, (std::vector<std::string>{hero->get_full_name().std_string(), "/witness"}));
    struct Row {
        char const* filter;
        int shown;
    };
    for (Row const& row : {Row{"", 2}, Row{"HER", 1}, Row{"  wit  ", 1}, Row{"sun", 0}, Row{"*[", 0}}) {
        picker->set_filter(row.filter);
        EXPECT_EQ(picker->get_list().get_item_count(), row.shown) << "filter \"" << row.filter << "\"";
    }
    picker->set_filter("her");
    EXPECT_EQ(picker->get_selected_object(), hero) << "the first match is chosen";
    EXPECT_TRUE(run(*picker, [](GuiInputDialog& dialog) { dialog.accept(); }));
    EXPECT_EQ(picker->get_selected_object(), hero);
    app().get_factory().clear();
}
