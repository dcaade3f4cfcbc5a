#pragma once
// GuiNodalSubnetScope: the subnets a view has entered, innermost last. Entering a subnet shows
// its members where they stand and hides every other box; two port boxes, left and right of
// the members, stand for the outside boxes that link into them ("Inputs" for those upstream,
// "Outputs" for those downstream), so that each link crossing the subnet's border is drawn to
// a port. Leaving puts every box back as it was; the boxes made inside join the subnet, those
// removed inside leave it. Levels nest: a subnet among the members can be entered in turn.
//
//     GuiNodalSubnet* group = graph.instantiate_subnet("group", 0, 0);
//     group->set_content({&a, &b});
//     graph.enter_subnet(*group);   // a and b shown, the rest hidden, ports for their links
//     graph.leave_subnet();         // back outside, a and b in the subnet again
#include <memory>
#include <vector>

#include "gui/core/gui_export.h"
#include "host/core/core_string.h"

class GuiDc;
class GuiNodal;
class GuiNodalLink;
class GuiNodalNodeBase;
class GuiNodalSubnet;

class QN_GUI_API GuiNodalSubnetScope {
public:
    explicit GuiNodalSubnetScope(GuiNodal& graph);
    // Lets go of the ports (their stand-ins are released) without putting anything back:
    // the view is going away.
    ~GuiNodalSubnetScope();
    GuiNodalSubnetScope(GuiNodalSubnetScope const&) = delete;
    GuiNodalSubnetScope& operator=(GuiNodalSubnetScope const&) = delete;

    // Refused with a warning for a subnet that is not a shown subnet of the view.
    bool enter(GuiNodalSubnet& subnet);
    // Goes back to the viewpoint the view had on entering; false when no subnet is entered.
    bool leave();
    size_t get_depth() const { return m_levels.size(); }
    // The innermost entered subnet; null outside every subnet, or when it was removed inside.
    GuiNodalSubnet* get_subnet() const;
    // The innermost level's port for the boxes upstream (true) or downstream of the members.
    GuiNodalSubnet* get_port(bool upstream) const;
    bool is_port(GuiNodalNodeBase const& box) const;
    // Outside every subnet, every link; inside, the links whose two shown ends are shown and
    // are not both ports.
    bool is_link_shown(GuiNodalLink const& link) const;
    // The box is going away: no level remembers it, and an entered subnet that goes leaves
    // its members free when its level is left.
    void forget(GuiNodalNodeBase& box);
    // The innermost level's ports.
    void draw(GuiDc& dc);
    // The titles of the entered subnets from the outermost, joined by " > ".
    CoreString get_path() const;

private:
    struct Level;
    std::vector<GuiNodalNodeBase*> get_top_level_boxes() const;

    GuiNodal& m_graph;
    std::vector<std::unique_ptr<Level>> m_levels;
};
