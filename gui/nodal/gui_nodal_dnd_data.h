#pragma once
// GuiNodalDndData: what a link dragged out of a node-graph view carries: either the one plug
// upstream of the link being drawn (a drag from an output, to be connected to what it is
// dropped on), or the plugs downstream (a drag from one or several inputs). Views make it in
// their feed_dnd_link_data hook; what receives the drop reads it.
//
//     GuiNodalDndData data(output_plug, true);     // is_upstream(), get_count() == 1
//     GuiNodalDndData inputs(first_input, false);
//     inputs.add_plug(second_input);               // get_count() == 2, get_plug(1)
#include <vector>

#include "gui/core/gui_export.h"
#include "host/core/core_base_object.h"

class GuiNodal;
class GuiNodalNodeZoneAnchor;

class QN_GUI_API GuiNodalDndData : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiNodalDndData, CoreBaseObject)

public:
    // With `upstream` the plug is the upstream end; otherwise the first of the plugs.
    GuiNodalDndData(GuiNodalNodeZoneAnchor* plug, bool const& upstream);

    void add_plug(GuiNodalNodeZoneAnchor* plug);
    // True while the data holds the upstream plug and no other.
    bool is_upstream() const { return m_upstream && m_plugs.empty(); }
    // 1 for upstream data, the number of plugs otherwise.
    unsigned int get_count() const;
    // The upstream plug, or the first plug; null when there is none.
    GuiNodalNodeZoneAnchor* get_plug() const;
    // The plug at `index` of the downstream plugs; null past the end.
    GuiNodalNodeZoneAnchor* get_plug(unsigned int const& index) const;
    // The view the plugs belong to; null without plugs.
    GuiNodal* get_graph() const;

private:
    GuiNodalNodeZoneAnchor* m_upstream = nullptr;
    std::vector<GuiNodalNodeZoneAnchor*> m_plugs;
};
