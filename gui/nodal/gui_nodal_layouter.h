#pragma once
// GuiNodalLayouter: arranges boxes of a node-graph view in columns (or rows) that follow the
// links, upstream boxes left of the boxes they feed. Each chain of linked boxes is a list of
// columns (GuiNodalLayoutGrid), centred on the tallest; boxes without links inside the batch
// stack five to a column after them. The moved boxes go to the view in one undo step.
//
//     GuiNodalLayouter layouter(*view);
//     layouter.set_spacing(60);
//     layouter.layout(view->get_selection(), GMathVec2<int>(0, 0), false);
//
// A layouter serves one run: it keeps the columns it made until it is destroyed.
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "gui/core/gui_export.h"
#include "host/core/core_base_object.h"
#include "host/gmath/gmath_vec.h"

class GuiNodal;
class GuiNodalLayouter;
class GuiNodalNodeBase;

// One column of a chain, linked to the columns on its left (previous) and right (next).
class QN_GUI_API GuiNodalLayoutGrid : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiNodalLayoutGrid, CoreBaseObject)

public:
    GuiNodalLayoutGrid(GuiNodalLayouter& layouter, GuiNodalLayoutGrid* previous, GuiNodalLayoutGrid* next);

    GuiNodalLayoutGrid* get_previous() const { return m_previous; }
    GuiNodalLayoutGrid* get_next() const { return m_next; }
    // A new column on the right (left) of this one, which becomes its next (previous).
    GuiNodalLayoutGrid* create_next();
    GuiNodalLayoutGrid* create_previous();
    // Boxes in placement order.
    std::vector<GuiNodalNodeBase*> const& get_nodes() const { return m_nodes; }
    void add_node(GuiNodalNodeBase& node) { m_nodes.push_back(&node); }
    // Puts the same boxes in another order.
    void reorder(std::vector<GuiNodalNodeBase*> nodes) { m_nodes = std::move(nodes); }

    // The first column of the chain (following previous columns, stopping at one seen before).
    GuiNodalLayoutGrid* get_root();
    // 1 for null; otherwise 1 + the number of columns from `grid` back to the first one.
    static int get_position(GuiNodalLayoutGrid const* grid);
    // The largest box count of `grid` and the columns after it; 0 for null.
    static unsigned int get_width(GuiNodalLayoutGrid const* grid);
    // The number of columns from `grid` to the last one of its chain; 0 for null.
    static unsigned int get_depth(GuiNodalLayoutGrid const* grid);

private:
    GuiNodalLayouter* m_layouter;
    GuiNodalLayoutGrid* m_previous;
    GuiNodalLayoutGrid* m_next;
    std::vector<GuiNodalNodeBase*> m_nodes;
};

class QN_GUI_API GuiNodalLayouter : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiNodalLayouter, CoreBaseObject)

public:
    using Batch = std::vector<GuiNodalNodeBase*>;

    explicit GuiNodalLayouter(GuiNodal& graph);
    ~GuiNodalLayouter() override;

    // Gap in graph units between two columns, and twice it between two chains (50 at first).
    void set_spacing(unsigned int const& spacing) { m_spacing = spacing; }
    unsigned int const& get_spacing() const { return m_spacing; }
    // A silent layout raises no EVT_ID_NODAL_NODES_MOVED.
    void set_silent_layout(bool const& silent) { m_silent = silent; }
    // With it on, the boxes of each column are ordered by the mean place of their neighbours
    // in the columns beside (a few sweeps each way) before they are placed, which uncrosses
    // most links; off (the default), a column keeps the order in which the walk reached them.
    void set_reduce_crossings(bool const& reduce) { m_reduce_crossings = reduce; }
    bool const& is_reduce_crossings() const { return m_reduce_crossings; }

    // Lays the boxes of `batch` (in its order; repeated boxes count once) out from `origin`
    // (graph units: the first column's x and the base y of every column), in rows when
    // `vertical`. An empty batch does nothing. The boxes move in one undo step of the view.
    virtual void layout(Batch const& batch, GMathVec2<int> const& origin, bool const& vertical);

    // The downstream ends of the batch's chains, and the boxes linked to nothing in the batch.
    void get_root_nodes(Batch const& batch, Batch& roots, Batch& isolated) const;
    // The member of `set` that is `node` or holds it below, or null.
    static GuiNodalNodeBase* deep_search(GuiNodalNodeBase* node, std::unordered_set<GuiNodalNodeBase*> const& set);

    // The first columns of the chains made by the last run.
    std::vector<GuiNodalLayoutGrid*> const& get_grids() const { return m_grids; }
    GuiNodalLayoutGrid* get_grid_for_node(GuiNodalNodeBase const* node) const;
    GuiNodal& get_graph() const { return *m_graph; }

    // Moves the placed boxes, column by column; used by layout.
    void locate_nodes_horizontally(GMathVec2<int> const& origin);
    void locate_nodes_vertically(GMathVec2<int> const& origin);

private:
    friend class GuiNodalLayoutGrid;
    GuiNodalLayoutGrid* make_grid(GuiNodalLayoutGrid* previous, GuiNodalLayoutGrid* next);
    void layout_node(GuiNodalNodeBase& node, GuiNodalLayoutGrid& grid, std::unordered_set<GuiNodalNodeBase*>& batch);
    // The box a link end stands for in `batch`: the end or its first shown ancestor in it.
    static GuiNodalNodeBase* top_parent_in_batch(std::unordered_set<GuiNodalNodeBase*> const& batch,
                                                 GuiNodalNodeBase* end);
    void locate(GMathVec2<int> const& origin, bool const& vertical);
    void reduce_crossings();

    GuiNodal* m_graph;
    std::vector<GuiNodalLayoutGrid*> m_grids;
    std::vector<std::unique_ptr<GuiNodalLayoutGrid>> m_owned;
    std::unordered_map<GuiNodalNodeBase const*, GuiNodalLayoutGrid*> m_grid_of_node;
    unsigned int m_spacing = 50;
    bool m_silent = false;
    bool m_reduce_crossings = false;
};
