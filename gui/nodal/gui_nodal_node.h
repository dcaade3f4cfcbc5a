#pragma once
// GuiNodalNode: a node of the graph: a header band with its title (and an information line)
// above a vertical list of zones, plugs on its sides, drawn as a rounded box.
//
// Layout, in graph units with y upwards, whenever the node is dirty: the header's size comes
// from its lines; the node is as wide as the widest of the header and its zones, and never
// narrower on screen than 100 pixels nor lower than 16 (get_min_width and get_min_height
// divide those by the zoom ratio) nor wider than the view's maximum node width, if any; the
// zones are stacked under the header. The left and
// right plugs sit at mid-height on the sides, the up and bottom plugs at mid-width; links
// leave from the right side's middle and arrive at the left side's. Below the view's
// simplification ratio the node shows only its box and title.
#include <vector>

#include "gui/nodal/gui_nodal_node_base.h"

class GuiNodalNodeZone;
class GuiNodalNodeZoneHeader;

class QN_GUI_API GuiNodalNode : public GuiNodalNodeBase {
    CORE_DECLARE_CLASS(GuiNodalNode, GuiNodalNodeBase)

public:
    // Minimum size in screen pixels.
    static constexpr int MIN_SCREEN_WIDTH = 100;
    static constexpr int MIN_SCREEN_HEIGHT = 16;

    GuiNodalNode(GuiNodal& graph, CoreString const& name, int const& x, int const& y, unsigned int const& anchors);
    // Destroys its header and zones (its plugs go with the base).
    ~GuiNodalNode() override;

    GuiNodalNodeZoneHeader& get_header() const { return *m_header; }
    // The title: the header's first line; the information line is the second.
    void set_name(CoreString const& name);
    CoreString const& get_name() const;
    void set_info(CoreString const& info);
    // The node's background colours, its header's, its plugs' and the border from them.
    void set_color(Color const& color);

    // --- Zones ---
    // Appends a zone made for this node (its parent); a zone of another node is refused with
    // a warning.
    void add_zone(GuiNodalNodeZone& zone);
    // Destroys the zone; nothing when the node does not hold it.
    void remove_zone(GuiNodalNodeZone& zone);
    // Null past the end.
    GuiNodalNodeZone* get_zone(size_t const& index) const;
    std::vector<GuiNodalNodeZone*> const& get_zones() const { return m_zones; }

    // Which plugs show: all (0), only those with links (1) or none (2); links to hidden plugs
    // end at the node.
    enum ZoneDisplay : int { ZONE_DISPLAY_ALL = 0, ZONE_DISPLAY_CONNECTED = 1, ZONE_DISPLAY_NONE = 2 };
    void set_zones_display_mode(ZoneDisplay const& mode, bool const& dirty = true);
    ZoneDisplay const& get_zones_display_mode() const { return m_zone_display; }
    // Draws the header at the bottom of the node instead of the top.
    void turn_header_to_footer(bool const& footer);

    int get_min_width() const;
    int get_min_height() const;
    float get_animated_scale() const { return get_scale(); }

    void update_content(GuiDc& dc) override;
    int get_width() const override { return m_width; }
    int get_height() const override { return m_height; }
    void draw(GuiDc& dc) override;
    void draw_select(GuiDc& dc) override;

private:
    void compute_size();

    GuiNodalNodeZoneHeader* m_header = nullptr;
    std::vector<GuiNodalNodeZone*> m_zones;
    int m_width = 0;
    int m_height = 0;
    ZoneDisplay m_zone_display = ZONE_DISPLAY_ALL;
};
