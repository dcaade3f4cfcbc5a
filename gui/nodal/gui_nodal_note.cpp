#include "gui/nodal/gui_nodal_note.h"

#include <algorithm>
#include <string>
#include <vector>

#include "gui/core/gui_font.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNodalNote, GuiNodalNodeBase)

namespace {

constexpr int CORNER_SIZE = 12;
constexpr int MARGIN = 5;
GuiNodalItem::Color const NOTE_FILL(214, 200, 120);
GuiNodalItem::Color const NOTE_TEXT(30, 30, 20);

std::vector<CoreString> split_lines(CoreString const& text)
{
    std::vector<CoreString> lines;
    std::string const source = text.std_string();
    size_t start = 0;
    for (size_t end = source.find('\n'); end != std::string::npos; end = source.find('\n', start)) {
        lines.emplace_back(source.substr(start, end - start).c_str());
        start = end + 1;
    }
    lines.emplace_back(source.substr(start).c_str());
    return lines;
}

}  // namespace

GuiNodalNote::GuiNodalNote(GuiNodal& graph, CoreString const& text, int const& x, int const& y)
    : GuiNodalNodeBase(nullptr, graph, x, y, NODE_ANCHOR_NONE)
{
    m_text = new GuiNodalNodeZoneText(*this, text, graph.get_font().get_size());
    m_text->set_uncroppable(true);
    m_corner = new GuiNodalNodeZoneButton(*this, 0, 0, CORNER_SIZE, CORNER_SIZE);
    m_corner->set_shape_corner(true);
    m_corner->set_action_mode(GuiNodalNodeZoneButton::BUTTON_ACTION_DRAG);
    connect(*m_corner, EVT_ID_NODAL_BUTTON_DRAG, &GuiNodalNote::on_resize);
    set_bg_normal_color(NOTE_FILL);
    set_text_colors(NOTE_TEXT, NOTE_TEXT, NOTE_TEXT, NOTE_TEXT);
    set_selectable();
}

GuiNodalNote::~GuiNodalNote()
{
    delete m_corner;
    delete m_text;
}

CoreString const& GuiNodalNote::get_text() const
{
    return m_text->get_text();
}

void GuiNodalNote::set_text(CoreString const& text)
{
    m_text->set_text(text);
}

int GuiNodalNote::get_font_size() const
{
    return m_text->get_text_height();
}

void GuiNodalNote::set_font_size(int const& size)
{
    m_text->set_text_height(size);
}

void GuiNodalNote::set_width(int const& width)
{
    set_size_field("GuiNodalNote.set_width", m_width, width);
}

void GuiNodalNote::set_height(int const& height)
{
    set_size_field("GuiNodalNote.set_height", m_height, height);
}

void GuiNodalNote::set_geometry(int w, int h, bool dirty)
{
    set_width(w);
    set_height(h);
    if (!dirty) GuiNodalItem::set_draw_state(DRAW_STATE_UP_TO_DATE);
}

GMathVec2<int> GuiNodalNote::compute_content_size() const
{
    GuiFont font = get_graph().get_font();
    font.set_size(get_font_size());
    int width = 0;
    int height = 0;
    for (CoreString const& line : split_lines(get_text())) {
        int line_width = 0;
        int line_height = 0;
        font.get_text_size(line.is_empty() ? CoreString(" ") : line, line_width, line_height);
        width = std::max(width, get_graph().get_text_width(font, line));
        height += std::max(line_height, font.get_size());
    }
    return GMathVec2<int>(width, height);
}

void GuiNodalNote::autofit(bool dirty)
{
    GMathVec2<int> const size = compute_content_size();
    set_geometry(size[0] + 10, size[1] + 15, dirty);
}

void GuiNodalNote::on_resize(GuiNodalNodeZoneButton&, EventInfo const& info, void*)
{
    auto const* delta = static_cast<GMathVec2<int> const*>(info.get_event_data());
    if (!delta) return;
    // The corner is the bottom-right one: dragging it right and down grows the note.
    set_width(std::max(m_width + (*delta)[0], 1));
    set_height(std::max(m_height - (*delta)[1], 1));
}

void GuiNodalNote::update_content(GuiDc&)
{
    if (!get_is_dirty()) return;
    m_corner->set_local_pos(GMathVec2<int>(m_width - CORNER_SIZE, -(m_height - CORNER_SIZE)));
    set_computed_size(m_width, m_height);
    GuiNodalItem::set_draw_state(DRAW_STATE_UP_TO_DATE);
}

void GuiNodalNote::draw(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden()) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec2<int> const& pos = get_world_pos();
    float const x = static_cast<float>(pos[0]);
    float const top = static_cast<float>(pos[1]);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    Color const& fill = get_bg_color();
    batch.set_color(fill[0], fill[1], fill[2]);
    batch.add_rectf(x, top - m_height, static_cast<float>(m_width), static_cast<float>(m_height));
    Color const border = get_outline_color();
    batch.set_color(border[0], border[1], border[2]);
    batch.add_rect(x, top - m_height, static_cast<float>(m_width), static_cast<float>(m_height));
    GuiFont font = get_graph().get_font();
    font.set_size(get_font_size());
    float y = top - MARGIN;
    for (CoreString const& line : split_lines(get_text())) {
        int w = 0;
        int h = 0;
        font.get_text_size(CoreString(" "), w, h);
        y -= static_cast<float>(std::max(h, font.get_size()));
        if (y < top - m_height) break;  // the rest does not fit
        get_graph().add_text(gl, font, line, x + MARGIN, y + 0.2f * font.get_size(), get_text_color(),
                             m_width - 2 * MARGIN);
    }
    m_corner->draw(dc);
    gl.end_batch();
}

void GuiNodalNote::draw_mini(GuiDc& dc)
{
    update_content(dc);
    draw_mini_box(dc, get_bg_color());
}

void GuiNodalNote::draw_select(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden()) return;
    draw_pick_box(dc);
    m_corner->draw_select(dc);
}
