#include "gui/nodal/gui_nodal_layouter.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_commands.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_link_editor.h"
#include "gui/nodal/gui_nodal_node_base.h"
#include "host/of/of_command_manager.h"

CORE_IMPLEMENT_CLASS(GuiNodalLayoutGrid, CoreBaseObject)
CORE_IMPLEMENT_CLASS(GuiNodalLayouter, CoreBaseObject)

namespace {

constexpr int NODE_GAP = 30;
constexpr size_t ISOLATED_PER_COLUMN = 5;

// A box's laid-out size: what its content computed, or its own size before any drawing.
int laid_width(GuiNodalNodeBase const& node)
{
    return node.get_computed_width() > 0 ? node.get_computed_width() : node.get_width();
}

int laid_height(GuiNodalNodeBase const& node)
{
    return node.get_computed_height() > 0 ? node.get_computed_height() : node.get_height();
}

// Columns from the first of a chain to its last.
std::vector<GuiNodalLayoutGrid*> chain_of(GuiNodalLayoutGrid& any)
{
    std::vector<GuiNodalLayoutGrid*> chain;
    std::unordered_set<GuiNodalLayoutGrid*> seen;
    for (GuiNodalLayoutGrid* grid = any.get_root(); grid && seen.insert(grid).second; grid = grid->get_next())
        chain.push_back(grid);
    return chain;
}

}  // namespace

// Grids --------------------------------------------------------------------------------------------

GuiNodalLayoutGrid::GuiNodalLayoutGrid(GuiNodalLayouter& layouter, GuiNodalLayoutGrid* previous,
                                       GuiNodalLayoutGrid* next)
    : m_layouter(&layouter), m_previous(previous), m_next(next)
{
}

GuiNodalLayoutGrid* GuiNodalLayoutGrid::create_next()
{
    m_next = m_layouter->make_grid(this, nullptr);
    return m_next;
}

GuiNodalLayoutGrid* GuiNodalLayoutGrid::create_previous()
{
    m_previous = m_layouter->make_grid(nullptr, this);
    return m_previous;
}

GuiNodalLayoutGrid* GuiNodalLayoutGrid::get_root()
{
    std::unordered_set<GuiNodalLayoutGrid*> seen{this};
    GuiNodalLayoutGrid* root = this;
    while (root->m_previous && seen.insert(root->m_previous).second) root = root->m_previous;
    return root;
}

int GuiNodalLayoutGrid::get_position(GuiNodalLayoutGrid const* grid)
{
    int position = 1;
    std::unordered_set<GuiNodalLayoutGrid const*> seen;
    for (; grid && seen.insert(grid).second; grid = grid->m_previous) ++position;
    return position;
}

unsigned int GuiNodalLayoutGrid::get_width(GuiNodalLayoutGrid const* grid)
{
    size_t width = 0;
    std::unordered_set<GuiNodalLayoutGrid const*> seen;
    for (; grid && seen.insert(grid).second; grid = grid->m_next) width = std::max(width, grid->m_nodes.size());
    return static_cast<unsigned int>(width);
}

unsigned int GuiNodalLayoutGrid::get_depth(GuiNodalLayoutGrid const* grid)
{
    unsigned int depth = 0;
    std::unordered_set<GuiNodalLayoutGrid const*> seen;
    for (; grid && seen.insert(grid).second; grid = grid->m_next) ++depth;
    return depth;
}

// Layouter -----------------------------------------------------------------------------------------

GuiNodalLayouter::GuiNodalLayouter(GuiNodal& graph) : m_graph(&graph) {}

GuiNodalLayouter::~GuiNodalLayouter() = default;

GuiNodalLayoutGrid* GuiNodalLayouter::make_grid(GuiNodalLayoutGrid* previous, GuiNodalLayoutGrid* next)
{
    m_owned.push_back(std::make_unique<GuiNodalLayoutGrid>(*this, previous, next));
    return m_owned.back().get();
}

GuiNodalLayoutGrid* GuiNodalLayouter::get_grid_for_node(GuiNodalNodeBase const* node) const
{
    auto const found = m_grid_of_node.find(node);
    return found == m_grid_of_node.end() ? nullptr : found->second;
}

GuiNodalNodeBase* GuiNodalLayouter::top_parent_in_batch(std::unordered_set<GuiNodalNodeBase*> const& batch,
                                                        GuiNodalNodeBase* end)
{
    for (GuiNodalNodeBase* box = end; box; box = box->get_parent())
        if (!box->get_is_hidden() && batch.count(box)) return box;
    return nullptr;
}

GuiNodalNodeBase* GuiNodalLayouter::deep_search(GuiNodalNodeBase* node, std::unordered_set<GuiNodalNodeBase*> const& set)
{
    for (GuiNodalNodeBase* box = node; box; box = box->get_parent())
        if (set.count(box)) return box;
    return nullptr;
}

void GuiNodalLayouter::get_root_nodes(Batch const& batch, Batch& roots, Batch& isolated) const
{
    std::unordered_set<GuiNodalNodeBase*> const members(batch.begin(), batch.end());
    std::vector<GuiNodalLink*> links;
    for (GuiNodalNodeBase* node : batch) {
        links.clear();
        node->get_connexity_from(links);
        bool const feeds_batch = std::any_of(links.begin(), links.end(), [&](GuiNodalLink const* link) {
            GuiNodalNodeBase* target = top_parent_in_batch(members, link->get_node_to());
            return target && target != node;
        });
        if (feeds_batch) continue;
        links.clear();
        node->get_connexity_to(links);
        bool const fed = std::any_of(links.begin(), links.end(), [&](GuiNodalLink const* link) {
            return top_parent_in_batch(members, link->get_node_from()) != node;
        });
        (fed ? roots : isolated).push_back(node);
    }
}

void GuiNodalLayouter::layout_node(GuiNodalNodeBase& node, GuiNodalLayoutGrid& grid,
                                   std::unordered_set<GuiNodalNodeBase*>& batch)
{
    if (batch.erase(&node)) {
        grid.add_node(node);
        m_grid_of_node[&node] = &grid;
    }
    // Upstream boxes go into the column on the left, downstream ones into the column on the
    // right, each placed where the walk first reaches it.
    for (bool const upstream : {true, false}) {
        std::vector<GuiNodalLink*> links;
        if (upstream) node.get_connexity_to(links);
        else node.get_connexity_from(links);
        while (!links.empty()) {
            GuiNodalLink const* link = links.back();
            links.pop_back();
            GuiNodalNodeBase* other = top_parent_in_batch(batch, upstream ? link->get_node_from() : link->get_node_to());
            if (!other) continue;
            GuiNodalLayoutGrid* beside = upstream ? (grid.get_previous() ? grid.get_previous() : grid.create_previous())
                                                  : (grid.get_next() ? grid.get_next() : grid.create_next());
            layout_node(*other, *beside, batch);
        }
    }
}

void GuiNodalLayouter::layout(Batch const& batch, GMathVec2<int> const& origin, bool const& vertical)
{
    if (batch.empty()) return;
    m_grids.clear();
    m_owned.clear();
    m_grid_of_node.clear();
    Batch ordered;
    std::unordered_set<GuiNodalNodeBase*> remaining;
    for (GuiNodalNodeBase* node : batch)
        if (node && remaining.insert(node).second) ordered.push_back(node);

    Batch roots, isolated;
    get_root_nodes(ordered, roots, isolated);
    // Linked boxes that only form cycles have no downstream end: each of them may start one.
    if (roots.empty() && isolated.size() < ordered.size()) {
        std::unordered_set<GuiNodalNodeBase*> const alone(isolated.begin(), isolated.end());
        for (GuiNodalNodeBase* node : ordered)
            if (!alone.count(node)) roots.push_back(node);
    }
    while (!roots.empty()) {
        GuiNodalNodeBase* root = roots.front();
        if (GuiNodalNodeBase* found = deep_search(root, remaining); found && found == root) {
            m_grids.push_back(make_grid(nullptr, nullptr));
            layout_node(*root, *m_grids.back(), remaining);
        }
        roots.front() = roots.back();
        roots.pop_back();
    }
    for (size_t i = 0; i < isolated.size(); ++i) {
        if (!remaining.erase(isolated[i])) continue;
        if (i % ISOLATED_PER_COLUMN == 0) m_grids.push_back(make_grid(nullptr, nullptr));
        m_grids.back()->add_node(*isolated[i]);
        m_grid_of_node[isolated[i]] = m_grids.back();
    }
    if (m_reduce_crossings) reduce_crossings();
    locate(origin, vertical);
}

void GuiNodalLayouter::reduce_crossings()
{
    constexpr int SWEEPS = 4;
    // Each placed box's neighbours (link ends standing for placed boxes), both ways.
    std::unordered_map<GuiNodalNodeBase const*, std::vector<GuiNodalNodeBase const*>> neighbours;
    std::unordered_set<GuiNodalNodeBase*> placed;
    for (auto const& [node, grid] : m_grid_of_node) placed.insert(const_cast<GuiNodalNodeBase*>(node));
    std::vector<GuiNodalLink*> links;
    for (GuiNodalNodeBase* node : placed) {
        links.clear();
        node->get_connexity_from(links);
        for (GuiNodalLink const* link : links) {
            GuiNodalNodeBase* target = top_parent_in_batch(placed, link->get_node_to());
            if (!target || target == node) continue;
            neighbours[node].push_back(target);
            neighbours[target].push_back(node);
        }
    }
    // A box's place within its column, from 0 at one end to 1 at the other.
    std::unordered_map<GuiNodalNodeBase const*, double> place;
    auto const number = [&place](GuiNodalLayoutGrid const& grid) {
        size_t const count = grid.get_nodes().size();
        for (size_t i = 0; i < count; ++i)
            place[grid.get_nodes()[i]] = count > 1 ? static_cast<double>(i) / static_cast<double>(count - 1) : 0.5;
    };
    std::unordered_set<GuiNodalLayoutGrid*> done;
    for (GuiNodalLayoutGrid* first : m_grids) {
        std::vector<GuiNodalLayoutGrid*> const chain = chain_of(*first);
        if (chain.size() < 2 || !done.insert(chain.front()).second) continue;
        for (GuiNodalLayoutGrid const* grid : chain) number(*grid);
        for (int sweep = 0; sweep < 2 * SWEEPS; ++sweep) {
            bool const rightwards = sweep % 2 == 0;
            for (size_t k = 1; k < chain.size(); ++k) {
                GuiNodalLayoutGrid& grid = *chain[rightwards ? k : chain.size() - 1 - k];
                GuiNodalLayoutGrid const* side = rightwards ? grid.get_previous() : grid.get_next();
                // The mean place of the box's neighbours in the column it is ordered against;
                // a box without any there keeps its own place.
                std::vector<std::pair<double, GuiNodalNodeBase*>> keyed;
                for (GuiNodalNodeBase* node : grid.get_nodes()) {
                    double sum = 0.0;
                    int count = 0;
                    for (GuiNodalNodeBase const* other : neighbours[node])
                        if (get_grid_for_node(other) == side) sum += place[other], ++count;
                    keyed.emplace_back(count ? sum / count : place[node], node);
                }
                std::stable_sort(keyed.begin(), keyed.end(),
                                 [](auto const& a, auto const& b) { return a.first < b.first; });
                std::vector<GuiNodalNodeBase*> ordered;
                for (auto const& [key, node] : keyed) ordered.push_back(node);
                grid.reorder(std::move(ordered));
                number(grid);
            }
        }
    }
}

void GuiNodalLayouter::locate_nodes_horizontally(GMathVec2<int> const& origin)
{
    locate(origin, false);
}

void GuiNodalLayouter::locate_nodes_vertically(GMathVec2<int> const& origin)
{
    locate(origin, true);
}

void GuiNodalLayouter::locate(GMathVec2<int> const& origin, bool const& vertical)
{
    // "Along" is the axis the chain advances on (x for columns), "across" the one its boxes
    // stack on.
    int const along_axis = vertical ? 1 : 0, across_axis = vertical ? 0 : 1;
    auto const thickness = [vertical](GuiNodalNodeBase const& n) { return vertical ? laid_height(n) : laid_width(n); };
    auto const length = [vertical](GuiNodalNodeBase const& n) { return vertical ? laid_width(n) : laid_height(n); };
    int along = origin[along_axis];
    std::vector<GuiNodalNodeBase*> moved;
    GuiNodalMoveCommand::Moves moves;
    std::unordered_set<GuiNodalLayoutGrid*> done;
    for (GuiNodalLayoutGrid* first : m_grids) {
        std::vector<GuiNodalLayoutGrid*> const chain = chain_of(*first);
        if (chain.empty() || !done.insert(chain.front()).second) continue;
        int chain_length = 0;
        for (GuiNodalLayoutGrid const* grid : chain) {
            int sum = 0;
            for (GuiNodalNodeBase const* node : grid->get_nodes()) sum += length(*node);
            chain_length = std::max(chain_length, sum);
        }
        for (GuiNodalLayoutGrid const* grid : chain) {
            int column_thickness = 0, column_length = 0;
            for (GuiNodalNodeBase const* node : grid->get_nodes()) {
                column_thickness = std::max(column_thickness, thickness(*node));
                column_length += length(*node);
            }
            if (column_length < 1) column_length = 0;
            // Centred within the chain, rounded half away from zero.
            int across = origin[across_axis] + static_cast<int>(std::round((chain_length - column_length) * 0.5));
            for (auto it = grid->get_nodes().rbegin(); it != grid->get_nodes().rend(); ++it) {
                GuiNodalNodeBase& node = **it;
                GMathVec2<int> const offset = node.get_unzoomed_offset();
                GMathVec2<int> target;
                target[along_axis] = along - offset[along_axis];
                target[across_axis] = across - offset[across_axis];
                GMathVec2<int> const before = node.get_world_pos();
                node.move_to(target[0], target[1]);
                GMathVec2<int> const delta = node.get_world_pos() - before;
                if (delta != GMathVec2<int>(0, 0)) moves.emplace_back(&node, delta);
                moved.push_back(&node);
                across += NODE_GAP + length(node);
            }
            along += column_thickness + static_cast<int>(m_spacing);
        }
        along += static_cast<int>(m_spacing);
    }
    if (!moves.empty())
        if (OfCommandManager* commands = m_graph->get_link_editor().get_command_manager())
            commands->run(std::make_unique<GuiNodalMoveCommand>(*m_graph, moves, "Layout"));
    m_graph->apply_layout(moved, m_silent);
}
