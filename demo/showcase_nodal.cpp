// The showcase's node-graph page: the first props of the sample scene's first block, their
// textures on the left and the materials that read them on the right, a link from each
// texture to the attribute row of each material that reads it.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_image.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_backdrop.h"
#include "gui/nodal/gui_nodal_bookmark.h"
#include "gui/nodal/gui_nodal_dot.h"
#include "gui/nodal/gui_nodal_note.h"
#include "gui/nodal/gui_nodal_subnet.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "host/of/of_attr.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_event.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

namespace {

constexpr int PROPS = 5;

// The page's editor: the view with an "add node" action (N adds a node under the pointer)
// and the trace lines the end-to-end test follows: nodes added with their plugs' window
// positions, the selection, moves, the zoom, and the undo history with the link count.
class DemoNodalView : public GuiNodal {
public:
    DemoNodalView(GuiWidget& parent, int x, int y, int w, int h, OfCommandManager& commands)
        : GuiNodal(parent, x, y, w, h), m_commands(commands)
    {
        register_action("add node", &DemoNodalView::on_add_node, "n", "Add a node under the pointer.");
        set_command_manager(&commands);
        connect(*this, EVT_ID_NODAL_SELECTION_CHANGED, &DemoNodalView::on_traced);
        connect(*this, EVT_ID_NODAL_NODES_MOVED, &DemoNodalView::on_traced);
        connect(*this, EVT_ID_NODAL_VIEW_CHANGED, &DemoNodalView::on_traced);
        connect(*this, EVT_ID_NODAL_SUBNET_SCOPE_CHANGED, &DemoNodalView::on_traced);
        connect(commands, EVT_ID_OF_COMMAND_HISTORY_CHANGED, &DemoNodalView::on_history);
    }
    // After each frame, where the subnets and bookmark buttons are in window pixels, when that
    // changed since the last frame.
    void draw(GuiDc& dc) override
    {
        GuiNodal::draw(dc);
        if (!DemoTrace::is_enabled()) return;
        auto const window = [this](int x, int y) { return CoreString() + (get_x() + x) + " " + (get_y() + y); };
        CoreString places;
        for (GuiNodalSubnet const* subnet : get_subnets()) {
            if (subnet->get_is_hidden()) continue;
            GMathVec2<int> const& pos = subnet->get_world_pos();
            GMathVec2<int> const centre = world_to_screen(
                GMathVec2<float>(pos[0] + subnet->get_width() / 2.0f, pos[1] - subnet->get_height() / 2.0f));
            places += CoreString("nodal subnet ") + subnet->get_title() + " " + window(centre[0], centre[1]) + "\n";
        }
        for (GuiNodalBookmark const* button : get_bookmark_buttons()) {
            GMathVec2<int> const& pos = button->get_world_pos();
            places += CoreString("nodal bookmark ") + button->get_name() + " " +
                      window(pos[0] + button->get_width() / 2, -pos[1] + button->get_height() / 2) + "\n";
        }
        if (places == m_places) return;
        m_places = places;
        std::string const text = places.std_string();
        for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            DemoTrace::line(text.substr(start, end - start).c_str());
    }
    ~DemoNodalView() override { set_command_manager(nullptr); }

private:
    static void on_add_node(GuiWidget& widget, GuiAction const&, void*)
    {
        auto& view = static_cast<DemoNodalView&>(widget);
        GMathVec2<int> const& at = view.get_graph_mouse_pos();
        CoreString const name = CoreString("node_") + ++view.m_added;
        auto* node = new GuiNodalNode(view, name, at[0], at[1], GuiNodalNodeBase::NODE_ANCHOR_SIDES);
        view.add_node(node);
        node->update_content(view.get_dc());
        view.redraw();
        // Where a user would grab its plugs and its title, in window pixels.
        auto const window = [&view](GMathVec2<int> const& p) {
            GMathVec2<int> const pixel = view.world_to_screen(GMathVec2<float>(p[0], p[1]));
            return CoreString() + (view.get_x() + pixel[0]) + " " + (view.get_y() + pixel[1]);
        };
        GMathVec2<int> const& pos = node->get_world_pos();
        DemoTrace::line(CoreString("nodal add ") + name + " in " +
                        window(node->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_LEFT)->get_world_pos()) + " out " +
                        window(node->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT)->get_world_pos()) + " title " +
                        window(GMathVec2<int>(pos[0] + node->get_width() / 2, pos[1] - 6)));
    }
    void on_traced(GuiNodal&, EventInfo const& info, void*)
    {
        if (info.get_name() == EVT_ID_NODAL_SELECTION_CHANGED)
            DemoTrace::line(CoreString("nodal selection ") + static_cast<int>(get_selection().size()));
        else if (info.get_name() == EVT_ID_NODAL_NODES_MOVED)
            DemoTrace::line("nodal moved");
        else if (info.get_name() == EVT_ID_NODAL_SUBNET_SCOPE_CHANGED)
            DemoTrace::line(CoreString("nodal scope ") + static_cast<int>(get_subnet_scope().get_depth()) + " " +
                            get_subnet_scope().get_path());
        else
            DemoTrace::line(CoreString("nodal zoom ") + static_cast<int>(std::lround(get_zoom_ratio() * 100.0f)));
    }
    void on_history(OfCommandManager&, EventInfo const&, void*)
    {
        DemoTrace::line(CoreString("nodal history ") + m_commands.get_undo_label() + " links " +
                        static_cast<int>(get_links().size()));
    }

    OfCommandManager& m_commands;
    int m_added = 0;
    CoreString m_places;
};
constexpr int COLUMN_X[2] = {40, 380};
constexpr int ROW_GAP = 24;

}  // namespace

void ShowcaseWindow::build_nodal_page(GuiWidget& page, int x, int y, int w, int h)
{
    DemoPanel* panel = new DemoPanel(page, "nodal_panel", "Node graph: textures and the materials that read them", x,
                                     y, w, h);
    using W = GuiWidget;
    panel->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    GuiWidget* graph =
        make_showcase_graph(*panel, x + 1, y + DemoPanel::TITLE_HEIGHT, w - 2, h - DemoPanel::TITLE_HEIGHT - 1, m_app);
    graph->set_constraints(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    m_nodal = static_cast<GuiNodal*>(graph);
}

bool ShowcaseWindow::run_nodal_action(CoreString const& name)
{
    build_page(PAGE_NODAL);
    if (!m_nodal) return false;
    bool const smooth = m_nodal->is_smooth_transitions();
    m_nodal->set_smooth_transitions(false);
    bool const done = m_nodal->run_action(name);
    m_nodal->set_smooth_transitions(smooth);
    return done;
}

GuiWidget* make_showcase_graph(GuiWidget& parent, int x, int y, int w, int h, GuiApp& app)
{
    auto* graph = new DemoNodalView(parent, x, y, w, h, app.get_factory().get_command_manager());
    OfObjectFactory& scene = app.get_factory();
    OfContext const* textures = scene.get_context("/textures/block_0");
    OfContext const* materials = scene.get_context("/materials/block_0");
    if (!textures || !materials) return graph;

    std::map<OfObject const*, GuiNodalNode*> nodes;
    std::vector<GuiNodalNodeBase*> columns[2];
    GuiNodalItem::Color const texture_color(70, 110, 90);
    GuiNodalItem::Color const material_color(110, 80, 120);
    auto const add = [&](OfObject* object, int column) {
        bool const texture = column == 0;
        // Textures give their picture on the right; materials read through a row per
        // attribute that can take a texture, its plug on the left.
        auto* node = new GuiNodalNode(*graph, object->get_name(), COLUMN_X[column], 0,
                                      texture ? GuiNodalNodeBase::NODE_ANCHOR_RIGHT : GuiNodalNodeBase::NODE_ANCHOR_NONE);
        node->set_info(object->get_class_name());
        if (object->get_class_name() == CoreString("TextureImage")) {
            // A thumbnail: a gradient tinted by the row, standing for the texture's picture.
            std::vector<unsigned char> pixels(24 * 24 * 3);
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 24; ++x) {
                    unsigned char* p = &pixels[static_cast<size_t>((y * 24 + x) * 3)];
                    p[0] = static_cast<unsigned char>(80 + x * 7);
                    p[1] = static_cast<unsigned char>(std::min(255, 60 + y * 6 + static_cast<int>(nodes.size()) * 8));
                    p[2] = static_cast<unsigned char>(120 + (x + y) * 2);
                }
            auto* thumbnail = new GuiNodalNodeZoneImage(*node, GuiImage(pixels.data(), 24, 24, 3));
            thumbnail->set_resizable(true);
            node->add_zone(*thumbnail);
        }
        if (!texture) {
            for (unsigned int i = 0; i < object->get_attr_count(); ++i) {
                OfAttr* attr = object->get_attr(i);
                if (!attr || !attr->get_attr_decl().is_connectable()) continue;
                auto* row = new GuiNodalNodeZoneText(*node, attr->get_name(), 11);
                row->activate_anchor(GuiNodalNodeBase::NODE_ANCHOR_LEFT);
                node->add_zone(*row);
            }
            // The first material shows every row; the others only their connected ones.
            node->add_plug_button();
            if (!columns[1].empty()) node->set_zones_display_mode(GuiNodalNode::ZONE_DISPLAY_CONNECTED);
        }
        node->set_color(texture ? texture_color : material_color);
        nodes[object] = graph->add_node(node);
        columns[column].push_back(node);
    };
    for (int prop = 0; prop < PROPS; ++prop) {
        CoreString const name = CoreString("prop_") + prop;
        for (char const* suffix : {"_diffuse", "_grain"})
            if (OfObject* texture = textures->get_object(name + suffix)) add(texture, 0);
        for (char const* suffix : {"", "_blend"})
            if (OfObject* material = materials->get_object(name + suffix)) add(material, 1);
    }
    // One link per connected attribute, from the texture's side to the attribute's row.
    std::map<GuiNodalNode*, unsigned int> readers;
    for (auto const& [object, node] : nodes) {
        for (unsigned int i = 0; i < object->get_attr_count(); ++i) {
            OfAttr* attr = object->get_attr(i);
            OfObject* source = attr ? attr->get_texture() : nullptr;
            auto const from = source ? nodes.find(source) : nodes.end();
            if (from == nodes.end()) continue;
            for (GuiNodalNodeZone* row : node->get_zones())
                if (row->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_LEFT) &&
                    static_cast<GuiNodalNodeZoneText*>(row)->get_text() == attr->get_name()) {
                    graph->create_link(*from->second->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT),
                                       *row->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_LEFT));
                    ++readers[from->second];
                }
        }
    }
    // Each texture shows how many materials read it.
    for (auto const& [texture, count] : readers) texture->set_references_count(count);
    // Nodes stack down their column with a gap, now that their rows are known.
    for (int column = 0; column < 2; ++column) {
        int top = -20;
        for (GuiNodalNodeBase* node : columns[column]) {
            node->update_content(graph->get_dc());
            node->move_to(COLUMN_X[column], top);
            top -= node->get_height() + ROW_GAP;
        }
    }
    // The first link runs through a dot halfway.
    if (!graph->get_links().empty()) {
        GuiNodalLink* first = graph->get_links().front();
        GuiNodalNodeBase* from = first->get_node_from();
        GuiNodalNodeBase* to = first->get_node_to();
        GuiNodalDot* dot = graph->instantiate_dot(GuiNodalNodeBase::NODE_ANCHOR_SIDES, GuiNodalDot::DEFAULT_DIAMETER);
        dot->move_to((COLUMN_X[0] + COLUMN_X[1]) / 2 + 60, -10);
        graph->remove_link(*first);
        graph->create_link(*from, *dot->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_LEFT));
        graph->create_link(*dot->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT), *to);
    }
    // Each column in a frame of its own, both in a frame for the block.
    for (auto const& entry : nodes) entry.second->update_content(graph->get_dc());
    GuiNodalBackdrop* column_frames[2] = {graph->instantiate_backdrop("Textures", 0, 0),
                                          graph->instantiate_backdrop("Materials", 0, 0)};
    GuiNodalBackdrop* block = graph->instantiate_backdrop("Block 0", 0, 0);
    column_frames[0]->set_color(GuiNodalItem::Color(60, 80, 70));
    column_frames[1]->set_color(GuiNodalItem::Color(80, 65, 90));
    block->set_color(GuiNodalItem::Color(70, 70, 80));
    for (int column = 0; column < 2; ++column) {
        column_frames[column]->set_content(columns[column]);
        column_frames[column]->fit_content();
    }
    block->set_content({column_frames[0], column_frames[1]});
    block->fit_content();
    GuiNodalNote* note = graph->instantiate_note(
        "Each material reads its textures\nthrough attribute rows, one link\nper row. Its header button shows\nevery row or the connected ones.",
        block->get_rect()[2] + 40, block->get_world_pos()[1]);
    note->autofit();
    // The last prop's textures fold into a subnet beside the block; their links to the
    // prop's material leave from the subnet (I enters it, U leaves).
    GuiNodalSubnet* folded = graph->instantiate_subnet(CoreString("prop_") + (PROPS - 1) + "_textures",
                                                       note->get_world_pos()[0], note->get_world_pos()[1] - 120);
    for (GuiNodalNodeBase* texture : std::vector<GuiNodalNodeBase*>(columns[0]))
        if (static_cast<GuiNodalNode*>(texture)->get_name().start_with(CoreString("prop_") + (PROPS - 1) + "_")) {
            column_frames[0]->remove_from_content(*texture);
            folded->add_to_content(*texture);
        }
    folded->autofit();
    // The block's top-left corner, with a margin, at the view's top-left.
    graph->set_view_pos(GMathVec2<float>(static_cast<float>(block->get_world_pos()[0] - 20),
                                         static_cast<float>(block->get_world_pos()[1] + 20 - graph->get_zoom_factor())));
    // A first bookmark of this view, unless the user's preferences brought some.
    if (graph->get_bookmarks().get_bookmarks().empty()) graph->add_bookmark("Start", GuiNodal::get_bookmark_color(1));
    return graph;
}
