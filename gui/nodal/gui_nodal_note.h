#pragma once
// GuiNodalNote: a free text box of the graph, 320 by 200 graph units when made, resized by
// its corner or fitted to its text.
#include "gui/nodal/gui_nodal_node_base.h"
#include "host/core/core_string.h"

class GuiNodalNodeZoneButton;
class GuiNodalNodeZoneText;

class QN_GUI_API GuiNodalNote : public GuiNodalNodeBase {
    CORE_DECLARE_CLASS(GuiNodalNote, GuiNodalNodeBase)

public:
    static constexpr int DEFAULT_WIDTH = 320;
    static constexpr int DEFAULT_HEIGHT = 200;

    GuiNodalNote(GuiNodal& graph, CoreString const& text, int const& x, int const& y);
    ~GuiNodalNote() override;

    CoreString const& get_text() const;
    void set_text(CoreString const& text);
    int get_font_size() const;
    // A size below 1 is refused with a warning.
    void set_font_size(int const& size);
    // Sizes below 1 are refused with a warning.
    void set_width(int const& width);
    void set_height(int const& height);
    void set_origin(GMathVec2<int> const& origin) { set_position(origin); }
    void set_geometry(int w, int h, bool dirty);
    int get_width() const override { return m_width; }
    int get_height() const override { return m_height; }
    // The text's size in the view's font at the note's font size (lines split at "\n").
    GMathVec2<int> compute_content_size() const;
    // Fits the note to its text: 10 units wider and 15 higher than the text.
    void autofit(bool dirty = true);
    GuiNodalNodeZoneButton& get_resize_corner() const { return *m_corner; }

    void update_content(GuiDc& dc) override;
    void draw(GuiDc& dc) override;
    void draw_select(GuiDc& dc) override;
    // As a minimap shows it: its box filled with its background; nothing while hidden.
    virtual void draw_mini(GuiDc& dc);

private:
    void on_resize(GuiNodalNodeZoneButton& button, EventInfo const& info, void* data);

    GuiNodalNodeZoneText* m_text = nullptr;
    GuiNodalNodeZoneButton* m_corner = nullptr;
    int m_width = DEFAULT_WIDTH;
    int m_height = DEFAULT_HEIGHT;
};
