#include "gui/nodal/gui_nodal_bookmark.h"

#include <algorithm>

#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "host/core/core_log.h"
#include "host/parser/parser_group.h"

CORE_IMPLEMENT_CLASS(GuiNodalBookmark, GuiNodalNodeBase)
CORE_IMPLEMENT_CLASS(GuiNodalBookmarkPreference, AppObjectClassPreference)

namespace {

constexpr float CORNER_RADIUS = 4.0f;
// How far the highlight goes from the colour towards white.
constexpr int HIGHLIGHT_SHARE = 40;

GuiNodalItem::Color lightened(GuiNodalItem::Color const& color)
{
    auto const channel = [](unsigned char c) {
        return static_cast<unsigned char>(c + (255 - c) * HIGHLIGHT_SHARE / 100);
    };
    return GuiNodalItem::Color(channel(color[0]), channel(color[1]), channel(color[2]));
}

// Dark text on light fills, light text on dark ones.
GuiNodalItem::Color label_color(GuiNodalItem::Color const& fill)
{
    int const luma = (299 * fill[0] + 587 * fill[1] + 114 * fill[2]) / 1000;
    return luma > 140 ? GuiNodalItem::Color(20, 20, 20) : GuiNodalItem::Color(240, 240, 240);
}

}  // namespace

GuiNodalBookmark::GuiNodalBookmark(GuiNodal& graph, unsigned int id, int const& x, int const& y)
    : GuiNodalNodeBase(nullptr, graph, x, y, NODE_ANCHOR_NONE), m_id(id)
{
    set_screen_size(true);
    set_color(get_bg_normal_color());
}

void GuiNodalBookmark::set_name(CoreString const& name)
{
    if (name.is_empty() || name.get_length() > MAX_NAME_LENGTH) {
        CORE_LOG_WARNING("GuiNodalBookmark.set_name: a name of "
                         << name.get_length() << " bytes is refused (1 to " << MAX_NAME_LENGTH
                         << "); the bookmark stays \"" << m_name << "\"\n");
        return;
    }
    m_name = name;
    set_dirty();
}

void GuiNodalBookmark::set_color(Color const& color)
{
    m_color = color;
    set_bg_normal_color(color);
    set_bg_selected_color(color);
    set_bg_highlight_color(lightened(color));
    GMathVec3<float> const unit(color[0] / 255.0f, color[1] / 255.0f, color[2] / 255.0f);
    set_border_color(compute_border_color(unit, true, 0.7f));
    set_dirty();
}

void GuiNodalBookmark::set_control_width(int const& width)
{
    if (width == m_control_width) return;
    m_control_width = std::max(0, width);
    set_dirty();
}

int GuiNodalBookmark::get_label_width() const
{
    GuiNodal& graph = get_graph();
    return graph.get_text_width(graph.get_font(), m_name);
}

bool GuiNodalBookmark::holds(int const& x, int const& y) const
{
    GMathVec2<int> const& pos = get_world_pos();
    return x >= pos[0] && x < pos[0] + m_width && y <= pos[1] && y > pos[1] - m_height;
}

void GuiNodalBookmark::set_is_highlighted(bool const& highlighted)
{
    GuiNodalNodeBase::set_is_highlighted(highlighted);
    set_bg_color(highlighted ? get_bg_highlight_color() : get_bg_normal_color());
}

void GuiNodalBookmark::update_content(GuiDc&)
{
    if (!get_is_dirty()) return;
    GuiFont const& font = get_graph().get_font();
    int text_width = 0;
    int text_height = 0;
    font.get_text_size(m_name, text_width, text_height);
    m_width = m_control_width > 0 ? m_control_width : std::max(get_label_width() + 2 * LABEL_MARGIN_X, MIN_WIDTH);
    m_height = std::max(std::max(text_height, font.get_size()) + 2 * LABEL_MARGIN_Y, MIN_HEIGHT);
    set_computed_size(m_width, m_height);
    GuiNodalItem::set_draw_state(DRAW_STATE_UP_TO_DATE);
}

void GuiNodalBookmark::draw(GuiDc& dc)
{
    update_content(dc);
    if (get_is_hidden()) return;
    GuiNodal& graph = get_graph();
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GMathVec2<int> const& pos = get_world_pos();
    // The view draws in graph units: the button's pixels are scaled back by the zoom.
    float const unit = graph.get_zoom_ratio_r();
    GMathVec2<float> const corner = graph.to_graph(pos[0], -pos[1]);
    float const w = m_width * unit;
    float const h = m_height * unit;
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    Color const& fill = get_bg_color();
    batch.set_color(fill[0], fill[1], fill[2]);
    batch.add_rounded_rectf(corner[0], corner[1] - h, w, h, CORNER_RADIUS * unit);
    Color const& border = get_border_color();
    batch.set_color(border[0], border[1], border[2]);
    batch.add_rounded_rect(corner[0], corner[1] - h, w, h, CORNER_RADIUS * unit);
    // The label in view pixels (y downwards), at the font's own size whatever the zoom.
    Color const text = label_color(fill);
    gl.draw_text(m_name, pos[0] + LABEL_MARGIN_X, -pos[1], m_width - 2 * LABEL_MARGIN_X, m_height, text[0],
                 text[1], text[2]);
    gl.end_batch();
}

// GuiNodalBookmarkPreference ----------------------------------------------------------------------

namespace {

constexpr char BOOKMARK_ENTRY[] = "bookmark";
// The name, the colour's three components and the viewpoint's three numbers.
constexpr unsigned int BOOKMARK_VALUES = 7;

}  // namespace

void GuiNodalBookmarkPreference::save(ParserGroup& group) const
{
    for (GuiNodalBookmarkData const& bookmark : m_bookmarks) {
        ParserEntry& entry = group.add_entry(BOOKMARK_ENTRY);
        entry.add_string(bookmark.name);
        for (int i = 0; i < 3; ++i) entry.add_double(bookmark.color[i]);
        for (int i = 0; i < 3; ++i) entry.add_double(bookmark.viewpoint[i]);
        if (!bookmark.blind_data.is_empty()) entry.add_string(serialize_blind_data(bookmark.blind_data));
    }
}

bool GuiNodalBookmarkPreference::load(ParserGroup const& group)
{
    bool all = true;
    for (unsigned int index = group.find(BOOKMARK_ENTRY); index != ParserGroup::NOT_FOUND;
         index = group.find(BOOKMARK_ENTRY, index + 1)) {
        ParserEntry const& entry = *group.get_entry(index);
        bool shaped = entry.get_value_count() >= BOOKMARK_VALUES && entry.is_value_string(0);
        for (unsigned int i = 1; shaped && i < BOOKMARK_VALUES; ++i) shaped = entry.is_value_number(i);
        if (!shaped) {
            CORE_LOG_WARNING("GuiNodalBookmarkPreference.load: bookmark entry " << index
                                                                               << " is not a name and six numbers; it is left out\n");
            all = false;
            continue;
        }
        GuiNodalBookmarkData bookmark;
        bookmark.name = entry.get_string(0);
        for (int i = 0; i < 3; ++i) {
            bookmark.color[i] = entry.get_double(1 + static_cast<unsigned int>(i));
            bookmark.viewpoint[i] = entry.get_double(4 + static_cast<unsigned int>(i));
        }
        if (entry.get_value_count() > BOOKMARK_VALUES && entry.is_value_string(BOOKMARK_VALUES))
            bookmark.blind_data = deserialize_blind_data(entry.get_string(BOOKMARK_VALUES));
        m_bookmarks.push_back(bookmark);
    }
    return all;
}

size_t GuiNodalBookmarkPreference::get_memory_size() const
{
    size_t size = sizeof(*this);
    for (GuiNodalBookmarkData const& bookmark : m_bookmarks)
        size += sizeof(bookmark) + bookmark.name.get_length() + bookmark.blind_data.get_length();
    return size;
}
