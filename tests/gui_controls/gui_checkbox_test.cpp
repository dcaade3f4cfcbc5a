// Checkboxes: presses, keypad Enter and the drawn label and mark.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <algorithm>
#include <vector>

#include "gui/controls/gui_checkbox.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_synthetic_events.h"

namespace {

// Sees every value its base is given.
class WatchedCheckbox : public GuiCheckbox {
public:
    using GuiCheckbox::GuiCheckbox;
    void set_value(bool const& value) override
    {
        values.push_back(value);
        GuiCheckbox::set_value(value);
    }
    std::vector<bool> values;
};

class CheckboxTest : public ControlsTest {
protected:
    template <class Box = GuiCheckbox>
    Box& make_box(int x = 20, int y = 20, CoreString const& label = "Wrap lines")
    {
        Box& box = shown(new Box(window(), x, y, label));
        m_log.listen(box, {&EVT_ID_CHECKBOX_CLICK});
        return box;
    }
};

}  // namespace

TEST_F(CheckboxTest, PressTogglesThroughTheVirtualSetValue)
{
    WatchedCheckbox& box = make_box<WatchedCheckbox>();
    click(box, 25, 28);
    EXPECT_TRUE(box.get_value());
    EXPECT_EQ(box.values, std::vector<bool>{true});
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_CHECKBOX_CLICK"});
    // A press on the label counts too.
    click(box, box.get_x() + box.get_width() - 2, 28);
    EXPECT_FALSE(box.get_value());
    EXPECT_EQ(box.values, (std::vector<bool>{true, false}));
    EXPECT_EQ(m_log.count(EVT_ID_CHECKBOX_CLICK), 2);
}

TEST_F(CheckboxTest, KeypadEnterMovesTheFocusToTheNextWidget)
{
    GuiCheckbox& first = make_box(20, 20, "First");
    GuiCheckbox& second = make_box(20, 60, "Second");
    first.set_focus();
    // Return is not the keypad's Enter: the focus stays.
    key_down(first, FL_Enter);
    EXPECT_TRUE(first.has_focus());
    EXPECT_EQ(key_down(first, FL_KP_Enter), 1);
    EXPECT_TRUE(second.has_focus());
    EXPECT_FALSE(first.get_value());
    EXPECT_TRUE(m_log.get().empty());
}

TEST_F(CheckboxTest, DrawsItsLabelAtOnceAndAMarkWhenChecked)
{
    GuiCheckbox& box = make_box(20, 20, "Visible label");
    using Color = GMathVec3<unsigned char>;
    auto pixels = [&](int x0) {
        int w = 0, h = 0;
        std::vector<unsigned char> const rgb = read_window_rgb(window(), w, h);
        std::vector<Color> result;
        for (int y = box.get_y(); y < box.get_y() + box.get_height(); ++y)
            for (int x = x0; x < box.get_x() + box.get_width(); ++x) result.push_back(pixel_at(rgb, w, x, y));
        return result;
    };
    // The label's glyphs come with the first exposure.
    std::vector<Color> const label = pixels(box.get_x() + GuiCheckbox::BOX_SIZE + GuiCheckbox::LABEL_GAP);
    EXPECT_GT(std::count_if(label.begin(), label.end(), [&](Color const& p) { return p != label[0]; }), 20);

    std::vector<Color> const unchecked = pixels(box.get_x());
    box.set_value(true);
    pump_events(app());
    EXPECT_NE(pixels(box.get_x()), unchecked);
}
