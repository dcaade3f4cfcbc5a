#pragma once
// GridOptions: the "Grid Options" window of a node-graph view: whether moves snap to the
// grid ("Enable"), whether the grid is drawn ("Display") and its size ("Grid Size", in graph
// units), filled from the view each time it opens and applied when answered with "Ok".
#include "gui/panels/gui_input_dialog.h"

class GuiCheckbox;
class GuiNodal;
class GuiNumberField;

class QN_GUI_API GridOptions : public GuiInputDialog {
    CORE_DECLARE_CLASS(GridOptions, GuiInputDialog)

public:
    // The largest grid size the field takes.
    static constexpr int MAX_GRID_SIZE = 1000;

    explicit GridOptions(GuiWindow& owner);

    // Fills the fields from the view, runs the window and applies the fields to the view
    // when accepted; true then.
    bool edit(GuiNodal& view);
    void fill(GuiNodal const& view);
    void apply(GuiNodal& view) const;

    GuiCheckbox& get_enable_box() const { return *m_enable; }
    GuiCheckbox& get_display_box() const { return *m_display; }
    GuiNumberField& get_size_field() const { return *m_size; }

private:
    GuiCheckbox* m_enable;
    GuiCheckbox* m_display;
    GuiNumberField* m_size;
};
