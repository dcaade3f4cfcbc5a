// Message boxes: the buttons of each style, their answers, and asking from a thread.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <atomic>
#include <functional>
#include <thread>

#include "gui/core/gui_app.h"
#include "gui/controls/gui_checkbox.h"
#include "gui/panels/gui_message_box.h"
#include "gui/controls/gui_push_button.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"

namespace {

class MessageBoxTest : public GuiTest {
protected:
    // Shows the box and, from inside its loop, runs `act` once after a short while.
    AppDialog run(GuiMessageBox& box, std::function<void(GuiMessageBox&)> act)
    {
        m_act = std::move(act);
        m_box = &box;
        app().add_timer(
            [](void* data) {
                auto* self = static_cast<MessageBoxTest*>(data);
                self->m_act(*self->m_box);
            },
            this, 0.05);
        box.show();
        return box.get_value();
    }
    GuiMessageBox& make_box(int style)
    {
        GuiMessageBox* box = new GuiMessageBox(make_window(), 360, 140, "Question", "Do it?");
        box->set_style(style);
        return *box;
    }
    static void press(GuiMessageBox& box, int key) { key_down(box, key, "", 0, GMathVec2<int>(5, 5)); }

    std::function<void(GuiMessageBox&)> m_act;
    GuiMessageBox* m_box = nullptr;
};

struct StyleCase {
    int style;
    std::vector<char const*> labels;  // left to right
    int enter;
    int escape;
};

TEST_F(MessageBoxTest, EachStyleOffersItsButtonsAndAnswersEnterAndEscape)
{
    std::vector<StyleCase> const cases = {
        {AppDialog::STYLE_OK_CANCEL, {"Ok", "Cancel"}, AppDialog::ANSWER_OK, AppDialog::ANSWER_CANCEL},
        {AppDialog::STYLE_ABORT_RETRY_IGNORE, {"Abort", "Retry", "Ignore"}, AppDialog::ANSWER_RETRY,
         AppDialog::ANSWER_IGNORE},
        {AppDialog::STYLE_YES_NO_CANCEL, {"Yes", "No", "Cancel"}, AppDialog::ANSWER_YES, AppDialog::ANSWER_CANCEL},
        {AppDialog::STYLE_YES_NO, {"Yes", "No"}, AppDialog::ANSWER_YES, AppDialog::ANSWER_NO},
        {AppDialog::STYLE_RETRY_CANCEL, {"Retry", "Cancel"}, AppDialog::ANSWER_RETRY, AppDialog::ANSWER_CANCEL},
        {AppDialog::STYLE_OK, {"Ok"}, AppDialog::ANSWER_OK, AppDialog::ANSWER_OK},
        {99, {"Ok"}, AppDialog::ANSWER_OK, AppDialog::ANSWER_OK},
    };
    for (StyleCase const& c : cases) {
        GuiMessageBox& box = make_box(c.style);
        ASSERT_EQ(box.get_button_count(), c.labels.size()) << c.style;
        for (size_t i = 0; i < c.labels.size(); ++i)  // layout order runs from the right
            EXPECT_EQ(box.get_button(static_cast<unsigned int>(c.labels.size() - 1 - i))->get_label(), c.labels[i]);
        EXPECT_EQ(run(box, [](GuiMessageBox& b) { press(b, FL_Enter); }).get_value(), c.enter) << c.style;
        EXPECT_FALSE(box.is_shown());
        EXPECT_EQ(run(box, [](GuiMessageBox& b) { press(b, FL_Escape); }).get_value(), c.escape) << c.style;
        EXPECT_EQ(run(box, [](GuiMessageBox& b) { press(b, FL_KP_Enter); }).get_value(), c.enter) << c.style;
        box.destroy();
    }
}

TEST_F(MessageBoxTest, ClicksAnswerWithTheirButtonAndTheApplyToAllBox)
{
    GuiMessageBox& box = make_box(AppDialog::STYLE_YES_NO_CANCEL | AppDialog::STYLE_APPLY_TO_ALL);
    ASSERT_NE(box.get_apply_checkbox(), nullptr);
    auto const click_button = [](unsigned int index) {
        return [index](GuiMessageBox& b) {
            GuiPushButton& button = *b.get_button(index);
            click(button, button.get_x() + 5, button.get_y() + 5);
        };
    };
    EXPECT_EQ(run(box, click_button(1)).get_value(), AppDialog::ANSWER_NO);
    EXPECT_EQ(run(box, [&](GuiMessageBox& b) {
                  GuiCheckbox& apply = *b.get_apply_checkbox();
                  click(apply, apply.get_x() + 3, apply.get_y() + 3);
                  click_button(2)(b);
              }).get_value(),
              AppDialog::ANSWER_YES + AppDialog::APPLY_TO_ALL);
    // Other keys are used up and leave the box open.
    EXPECT_EQ(run(box, [](GuiMessageBox& b) {
                  press(b, 'x');
                  if (b.is_shown()) press(b, FL_Escape);
              }).get_value(),
              AppDialog::ANSWER_CANCEL + AppDialog::APPLY_TO_ALL);
}

TEST_F(MessageBoxTest, TheDefaultButtonHasTheFocus)
{
    GuiMessageBox& box = make_box(AppDialog::STYLE_YES_NO);
    box.set_default_value(AppDialog::no());
    GuiWidget* focused = nullptr;
    run(box, [&focused](GuiMessageBox& b) {
        focused = GuiWidget::get_focused_widget();
        b.hide();
    });
    EXPECT_EQ(focused, box.get_button(0));  // No, the rightmost
    EXPECT_EQ(box.get_value().get_value(), -1);  // hidden without an answer
}

TEST_F(MessageBoxTest, TheApplicationAsksFromAnyThreadThroughARealBox)
{
    GuiWindow& window = make_window(500, 400);
    std::atomic<int> answer{-100};
    int geometry[4] = {0, 0, 0, 0};
    std::thread worker([&] {
        answer = app().message_box("Replace the file?", "Files", AppDialog::no(), AppDialog::STYLE_YES_NO, geometry,
                                   CoreVector<CoreString>{"a.txt", "b.txt"})
                     .get_value();
    });
    // Inside the box's loop: check it and answer with Escape.
    GuiMessageBox* seen = nullptr;
    std::function<void()> look = [&] {
        for (GuiWindow* child : window.get_child_windows())
            if (child->is_kindof(GuiMessageBox::class_info()) && child->is_shown()) seen = static_cast<GuiMessageBox*>(child);
        if (seen) press(*seen, FL_Escape);
    };
    app().add_timer([](void* data) { (*static_cast<std::function<void()>*>(data))(); }, &look, 0.3);
    for (int i = 0; i < 400 && answer == -100; ++i) {
        app().check_for_events();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    worker.join();
    EXPECT_EQ(answer, AppDialog::ANSWER_NO);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->get_title(), "Files");
    EXPECT_GE(geometry[2], 300) << "its place written back";
}

}  // namespace
