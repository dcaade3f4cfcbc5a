#pragma once
// GuiNodalSubnet: a box that stands for a set of nodes, its content. Members are hidden and
// parented to the subnet while they belong to it, so that links to them are drawn to the
// subnet's box, and come back where they were when they leave. Its header shows its title and
// the member count as "(count)"; a delete button asks the view to remove the subnet.
#include <vector>

#include "gui/nodal/gui_nodal_node_base.h"
#include "host/core/core_string.h"

class GuiNodalNodeZoneButton;
class GuiNodalNodeZoneHeader;

class QN_GUI_API GuiNodalSubnet : public GuiNodalNodeBase {
    CORE_DECLARE_CLASS(GuiNodalSubnet, GuiNodalNodeBase)

public:
    static constexpr int DEFAULT_SIZE = 50;
    // Links attach this far outside the box's sides.
    static constexpr int LINK_OFFSET = 6;

    GuiNodalSubnet(GuiNodal& graph, CoreString const& title, int const& x, int const& y);
    // Releases its members (shown again, back in their place).
    ~GuiNodalSubnet() override;

    // --- Content ---
    std::vector<GuiNodalNodeBase*> const& get_content() const { return m_content; }
    bool is_in_content(GuiNodalNodeBase const& node) const;
    // Hides the node with its plugs and children and makes the subnet its parent; a node of
    // another parent, or the subnet itself, is refused with a warning.
    void add_to_content(GuiNodalNodeBase& node);
    // Shows the node again where it was and gives it back its independence.
    void remove_from_content(GuiNodalNodeBase& node);
    void set_content(std::vector<GuiNodalNodeBase*> const& nodes);
    void clear_content();
    // Shown again, the subnet keeps its members hidden.
    void set_is_hidden(bool hidden, bool const& recursive) override;

    // --- Look ---
    CoreString const& get_title() const;
    void set_title(CoreString const& title);
    CoreString get_text() const { return get_title(); }
    void set_color(Color const& color);
    Color const& get_color() const { return m_color; }
    GuiNodalNodeZoneHeader& get_header() const { return *m_header; }
    GuiNodalNodeZoneButton& get_delete_button() const { return *m_delete; }

    // --- Geometry ---
    int get_width() const override { return m_width; }
    int get_height() const override { return m_height; }
    // Sizes below 1 are refused with a warning.
    void set_width(int const& width);
    void set_height(int const& height);
    void set_origin(GMathVec2<int> const& origin) { set_position(origin); }
    void set_geometry(int w, int h, bool dirty);
    // Sizes the box around its header and delete button.
    void autofit(bool dirty = true);
    int get_in_link_x() const override;
    int get_in_link_y() const override;
    int get_out_link_x() const override;
    int get_out_link_y() const override { return get_in_link_y(); }

    void update_content(GuiDc& dc) override;
    void draw(GuiDc& dc) override;
    void draw_select(GuiDc& dc) override;
    // As a minimap shows it: its box filled with its colour; nothing while hidden.
    virtual void draw_mini(GuiDc& dc);

private:
    void update_count_line();
    void release(GuiNodalNodeBase& node);
    void on_delete(GuiNodalNodeZoneButton& button, EventInfo const& info, void* data);

    std::vector<GuiNodalNodeBase*> m_content;
    GuiNodalNodeZoneHeader* m_header = nullptr;
    GuiNodalNodeZoneButton* m_delete = nullptr;
    Color m_color = Color(90, 100, 120);
    int m_width = DEFAULT_SIZE;
    int m_height = DEFAULT_SIZE;
};
