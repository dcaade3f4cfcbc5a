#pragma once
// The node graph the node-graph benchmarks draw: a grid of nodes with a plug on each side,
// each node linked to two nodes of the next column (the last column to the first), and a
// view that counts its frames and finishes each one (glFinish) inside its draw.
#include <GL/glew.h>

#include <FL/Fl.H>

#include <string>
#include <vector>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"

// Graph units between the top-left corners of neighbouring nodes.
constexpr int NODAL_COLUMN_STEP = 240;
constexpr int NODAL_ROW_STEP = 60;

class FrameNodal : public GuiNodal {
public:
    using GuiNodal::GuiNodal;
    void draw(GuiDc& dc) override
    {
        GuiNodal::draw(dc);
        glFinish();
        ++frames;
    }
    int frames = 0;
};

// Node (c, r), named "node_<c * rows + r>", has its top-left corner at
// (c * NODAL_COLUMN_STEP, -r * NODAL_ROW_STEP); it links to nodes r and r + 7 of column c + 1.
// Returns the nodes column by column.
inline std::vector<GuiNodalNode*> build_nodal_graph(GuiNodal& graph, int const& columns, int const& rows)
{
    std::vector<GuiNodalNode*> nodes;
    nodes.reserve(static_cast<size_t>(columns * rows));
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            nodes.push_back(graph.add_node(new GuiNodalNode(graph, "node_" + std::to_string(c * rows + r),
                                                            c * NODAL_COLUMN_STEP, -r * NODAL_ROW_STEP,
                                                            GuiNodalNodeBase::NODE_ANCHOR_SIDES)));
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            for (int offset : {0, 7}) {
                GuiNodalNode* from = nodes[static_cast<size_t>(c * rows + r)];
                GuiNodalNode* to = nodes[static_cast<size_t>(((c + 1) % columns) * rows + (r + offset) % rows)];
                graph.create_link(*from->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT),
                                  *to->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_LEFT));
            }
    return nodes;
}

// Asks for a frame and runs the toolkit until the view has drawn it.
inline void draw_nodal_frame(FrameNodal& graph)
{
    int const before = graph.frames;
    graph.get_widget()->redraw();
    while (graph.frames == before) Fl::wait(0.0);
}
