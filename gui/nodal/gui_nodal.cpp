#include "gui/nodal/gui_nodal.h"

#include <algorithm>
#include <cmath>

#include "gui/nodal/gui_nodal_item.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNodal, GuiGlWidget)

namespace {

constexpr float SIMPLIFICATION_RATIO = 0.75f;
constexpr uint32_t PICK_KEY_COUNT = 1u << 24;

}  // namespace

GuiNodal::GuiNodal(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, bool simplify,
                   bool hide_mode)
    : GuiGlWidget(parent, x, y, w, h),
      m_simplification_ratio(simplify ? SIMPLIFICATION_RATIO : 0.0f),
      m_hide_mode(hide_mode)
{
}

GuiNodal::~GuiNodal() = default;

void GuiNodal::set_zoom_ratio(float const& ratio)
{
    if (!std::isfinite(ratio)) {
        CORE_LOG_WARNING("GuiNodal.set_zoom_ratio: " << ratio << " is not a zoom ratio; the zoom stays "
                                                     << m_zoom_ratio << "\n");
        return;
    }
    m_zoom_ratio = std::clamp(ratio, get_min_zoom_ratio(), get_max_zoom_ratio());
}

void GuiNodal::add_clickable_node(GuiNodalItem& item, GMathVec3<unsigned char>& color)
{
    uint32_t key = to_key(color);
    auto const known = m_clickables.find(key);
    if (key != 0 && known != m_clickables.end() && known->second == &item) return;
    if (!m_free_pick_keys.empty()) {
        key = m_free_pick_keys.back();
        m_free_pick_keys.pop_back();
    } else if (m_next_pick_key < PICK_KEY_COUNT) {
        key = m_next_pick_key++;
    } else {
        CORE_LOG_ERROR("GuiNodal.add_clickable_node: every pick colour is taken; the item cannot be picked\n");
        return;
    }
    color = GMathVec3<unsigned char>(static_cast<unsigned char>(key >> 16), static_cast<unsigned char>(key >> 8),
                                     static_cast<unsigned char>(key));
    m_clickables[key] = &item;
}

void GuiNodal::remove_clickable_node(GMathVec3<unsigned char> const& color)
{
    uint32_t const key = to_key(color);
    if (key == 0 || m_clickables.erase(key) == 0) return;
    m_free_pick_keys.push_back(key);
}

GuiNodalItem* GuiNodal::get_clickable_node(GMathVec3<unsigned char> const& color) const
{
    auto const found = m_clickables.find(to_key(color));
    return found == m_clickables.end() ? nullptr : found->second;
}
