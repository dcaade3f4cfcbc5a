#include "gui/core/gui_color_scheme.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "gui/core/gui_app.h"
#include "gui/core/gui_widget.h"

namespace {

using Color = GMathVec3<unsigned char>;

Color hex(unsigned int value)
{
    return Color(static_cast<unsigned char>((value >> 16) & 0xff), static_cast<unsigned char>((value >> 8) & 0xff),
                 static_cast<unsigned char>(value & 0xff));
}

unsigned char to_byte(double value)
{
    return static_cast<unsigned char>(std::clamp(value + 0.5, 0.0, 255.0));
}

Color mix(Color const& a, Color const& b, double t)
{
    return Color(to_byte(a[0] + (b[0] - a[0]) * t), to_byte(a[1] + (b[1] - a[1]) * t),
                 to_byte(a[2] + (b[2] - a[2]) * t));
}

Color desaturate(Color const& c, double amount)
{
    double const grey = 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2];
    return Color(to_byte(c[0] + (grey - c[0]) * amount), to_byte(c[1] + (grey - c[1]) * amount),
                 to_byte(c[2] + (grey - c[2]) * amount));
}

// The normal colours of both schemes, by role.
struct RoleColors {
    unsigned int dark;
    unsigned int light;
    bool surface;  // a background or frame: its disabled look does not change
};

constexpr RoleColors s_roles[GuiColorScheme::ROLE_COUNT] = {
    {0x1e1e1e, 0x646464, true},   // OUTLINE
    {0x3c3c3c, 0xd6d6d6, true},   // BACKGROUND
    {0x464646, 0xdddddd, true},   // BACKGROUND_LIGHT
    {0x2a2a2a, 0xa8a8a8, true},   // EDGE_SHADOW
    {0x5a5050, 0xe4e4e4, true},   // EDGE_LIGHT
    {0x303030, 0xc8c8c8, true},   // BACKGROUND_DARK
    {0xdcdcdc, 0x1e1e1e, false},  // TEXT
    {0x9a9a9a, 0x646464, false},  // TEXT_DIM
    {0xffffff, 0xffffff, false},  // TEXT_SELECTED
    {0x6e5530, 0x3399ff, false},  // SELECTION
    {0x4e4a44, 0xa8bcd0, false},  // SELECTION_INACTIVE
    {0x505050, 0xe8e8e8, true},   // HOVER
    {0x2e2e2e, 0xbdbdbd, true},   // PRESSED
    {0xff0000, 0xff0000, false},  // RED
    {0x00ff00, 0x00c800, false},  // GREEN
    {0x1496ff, 0x1496ff, false},  // BLUE
    {0xf0960a, 0x3399ff, false},  // FOCUS
    {0xffffff, 0xb4b4b4, false},  // HIGHLIGHT
    {0xf0960a, 0x3399ff, false},  // ACCENT
    {0x000000, 0xffffff, true},   // FIELD
    {0xe6e6e6, 0x141414, false},  // FIELD_TEXT
    {0x2a2a2a, 0x9a9a9a, true},   // FIELD_BORDER
    {0x555555, 0xe6e6e6, true},   // BUTTON
    {0x636363, 0xf2f2f2, true},   // BUTTON_HOVER
    {0x3a3a3a, 0xc4c4c4, true},   // BUTTON_PRESSED
    {0xe6e6e6, 0x1e1e1e, false},  // BUTTON_TEXT
    {0x4a4a4a, 0xc8c8c8, true},   // HEADER
    {0xd0d0d0, 0x1e1e1e, false},  // HEADER_TEXT
    {0x383838, 0xf4f4f4, true},   // ROW_EVEN
    {0x3f3f3f, 0xebebeb, true},   // ROW_ODD
    {0x2c2c2c, 0xc0c0c0, true},   // GRID_LINE
    {0x2b2b2b, 0xfffbe6, true},   // TOOLTIP
    {0xe8e8e8, 0x1e1e1e, false},  // TOOLTIP_TEXT
    {0x333333, 0xf0f0f0, true},   // MENU
    {0xdcdcdc, 0x1e1e1e, false},  // MENU_TEXT
    {0x9a6518, 0x3399ff, false},  // MENU_SELECTION
    {0x323232, 0xcbcbcb, true},   // SCROLLBAR_TROUGH
    {0x5c5c5c, 0xa0a0a0, false},  // SCROLLBAR_SLIDER
    {0x2a2a2a, 0xb4b4b4, true},   // SLIDER_TRACK
    {0x4a4a4a, 0xe8e8e8, true},   // TAB_ACTIVE
    {0x343434, 0xc4c4c4, true},   // TAB_INACTIVE
    {0xffc832, 0xc88c00, false},  // WARNING
    {0xff5050, 0xd22828, false},  // ERROR
    {0x8cb4dc, 0x1e64b4, false},  // LINK
    {0x2d2d2d, 0x9a9a9a, true},   // VIEWPORT_BACKGROUND
    {0x101010, 0x808080, true},   // SHADOW
};

constexpr char const* s_role_names[GuiColorScheme::ROLE_COUNT] = {
    "ROLE_OUTLINE", "ROLE_BACKGROUND", "ROLE_BACKGROUND_LIGHT", "ROLE_EDGE_SHADOW", "ROLE_EDGE_LIGHT",
    "ROLE_BACKGROUND_DARK", "ROLE_TEXT", "ROLE_TEXT_DIM", "ROLE_TEXT_SELECTED", "ROLE_SELECTION",
    "ROLE_SELECTION_INACTIVE", "ROLE_HOVER", "ROLE_PRESSED", "ROLE_RED", "ROLE_GREEN", "ROLE_BLUE",
    "ROLE_FOCUS", "ROLE_HIGHLIGHT", "ROLE_ACCENT", "ROLE_FIELD", "ROLE_FIELD_TEXT", "ROLE_FIELD_BORDER",
    "ROLE_BUTTON", "ROLE_BUTTON_HOVER", "ROLE_BUTTON_PRESSED", "ROLE_BUTTON_TEXT", "ROLE_HEADER",
    "ROLE_HEADER_TEXT", "ROLE_ROW_EVEN", "ROLE_ROW_ODD", "ROLE_GRID_LINE", "ROLE_TOOLTIP",
    "ROLE_TOOLTIP_TEXT", "ROLE_MENU", "ROLE_MENU_TEXT", "ROLE_MENU_SELECTION", "ROLE_SCROLLBAR_TROUGH",
    "ROLE_SCROLLBAR_SLIDER", "ROLE_SLIDER_TRACK", "ROLE_TAB_ACTIVE", "ROLE_TAB_INACTIVE", "ROLE_WARNING",
    "ROLE_ERROR", "ROLE_LINK", "ROLE_VIEWPORT_BACKGROUND", "ROLE_SHADOW"};

// Colours of the light scheme that its three groups fix explicitly.
struct FixedRow {
    GuiColorScheme::Role role;
    unsigned int normal, disabled, bright;
};

constexpr FixedRow s_light_fixed[] = {
    {GuiColorScheme::ROLE_OUTLINE, 0x646464, 0x646464, 0x646464},
    {GuiColorScheme::ROLE_BACKGROUND, 0xd6d6d6, 0xd6d6d6, 0xd6d6d6},
    {GuiColorScheme::ROLE_BACKGROUND_LIGHT, 0xdddddd, 0xdddddd, 0xdddddd},
    {GuiColorScheme::ROLE_EDGE_LIGHT, 0xe4e4e4, 0xe4e4e4, 0xfafafa},
    {GuiColorScheme::ROLE_RED, 0xff0000, 0xb49696, 0xff0000},
    {GuiColorScheme::ROLE_GREEN, 0x00c800, 0x96b496, 0x00ff00},
    {GuiColorScheme::ROLE_BLUE, 0x1496ff, 0x9696b4, 0x1496ff},
    {GuiColorScheme::ROLE_HIGHLIGHT, 0xb4b4b4, 0x969696, 0xb4b4b4},
    {GuiColorScheme::ROLE_ACCENT, 0x3399ff, 0x558ec8, 0x3399ff},
    {GuiColorScheme::ROLE_FIELD, 0xffffff, 0xffffff, 0xffffff},
};

// Fills a built-in scheme: the normal colours of the table, a disabled group that greys the
// foreground colours and pulls them toward the background (surfaces stay), and a bright
// group lifted toward white.
void build_scheme(GuiColorScheme& scheme, GuiColorScheme::Scheme const& which)
{
    bool const dark = which == GuiColorScheme::SCHEME_DARK;
    Color const background = hex(dark ? s_roles[GuiColorScheme::ROLE_BACKGROUND].dark
                                      : s_roles[GuiColorScheme::ROLE_BACKGROUND].light);
    Color const white(255, 255, 255);
    for (int r = 0; r < GuiColorScheme::ROLE_COUNT; ++r) {
        GuiColorScheme::Role const role = static_cast<GuiColorScheme::Role>(r);
        Color const normal = hex(dark ? s_roles[r].dark : s_roles[r].light);
        Color const disabled = s_roles[r].surface ? normal : mix(desaturate(normal, 0.7), background, 0.45);
        Color const bright = mix(normal, white, dark ? 0.2 : 0.35);
        scheme.set_color(GuiColorScheme::GROUP_NORMAL, role, normal);
        scheme.set_color(GuiColorScheme::GROUP_DISABLED, role, disabled);
        scheme.set_color(GuiColorScheme::GROUP_BRIGHT, role, bright);
    }
    if (!dark) {
        for (FixedRow const& row : s_light_fixed) {
            scheme.set_color(GuiColorScheme::GROUP_NORMAL, row.role, hex(row.normal));
            scheme.set_color(GuiColorScheme::GROUP_DISABLED, row.role, hex(row.disabled));
            scheme.set_color(GuiColorScheme::GROUP_BRIGHT, row.role, hex(row.bright));
        }
    }
    // A built-in scheme overrides nothing: switching to it replaces every colour that a
    // widget did not set itself.
    GuiColorScheme clean;
    clean.update(scheme);
    scheme.set(clean);
}

}  // namespace

GuiColorScheme::GuiColorScheme()
{
    for (int i = 0; i < ENTRY_COUNT; ++i) m_colors[i] = Color(0, 0, 0);
    std::memset(m_overridden, 0, sizeof(m_overridden));
}

GuiColorScheme::GuiColorScheme(GuiApp& app) : GuiColorScheme()
{
    m_owner_application = &app;
}

GuiColorScheme::GuiColorScheme(GuiWidget& widget) : GuiColorScheme()
{
    GuiColorScheme const& current = widget.get_color_scheme();
    if (&current != this) set(current);
    m_owner_widget = &widget;
}

int GuiColorScheme::entry(Group const& group, Role const& role)
{
    return static_cast<int>(role) * GROUP_COUNT + static_cast<int>(group);
}

bool GuiColorScheme::is_valid(Group const& group, Role const& role)
{
    return group >= 0 && group < GROUP_COUNT && role >= 0 && role < ROLE_COUNT;
}

GMathVec3<unsigned char> const& GuiColorScheme::get_color(Group const& group, Role const& role) const
{
    static Color const black(0, 0, 0);
    return is_valid(group, role) ? m_colors[entry(group, role)] : black;
}

void GuiColorScheme::get_color(Group const& group, Role const& role, unsigned char& r, unsigned char& g,
                               unsigned char& b) const
{
    Color const& color = get_color(group, role);
    r = color[0];
    g = color[1];
    b = color[2];
}

void GuiColorScheme::set_color(Group const& group, Role const& role, unsigned char const& r, unsigned char const& g,
                               unsigned char const& b)
{
    set_color(group, role, Color(r, g, b));
}

void GuiColorScheme::set_color(Group const& group, Role const& role, GMathVec3<unsigned char> const& color)
{
    if (!is_valid(group, role)) return;
    m_colors[entry(group, role)] = color;
    m_overridden[entry(group, role)] = 1;
    if (m_owner_application)
        m_owner_application->update_color_scheme(*this);
    else if (m_owner_widget)
        m_owner_widget->update_color_scheme(*this);
}

bool GuiColorScheme::is_overridden(Group const& group, Role const& role) const
{
    return is_valid(group, role) && m_overridden[entry(group, role)] != 0;
}

void GuiColorScheme::set(GuiColorScheme const& other)
{
    if (&other == this) return;
    std::copy(std::begin(other.m_colors), std::end(other.m_colors), std::begin(m_colors));
    std::memcpy(m_overridden, other.m_overridden, sizeof(m_overridden));
}

void GuiColorScheme::update(GuiColorScheme const& other)
{
    if (&other == this) return;
    for (int i = 0; i < ENTRY_COUNT; ++i)
        if (!m_overridden[i]) m_colors[i] = other.m_colors[i];
}

GuiColorScheme const& GuiColorScheme::get_scheme(Scheme const& scheme)
{
    static GuiColorScheme const* const schemes[SCHEME_COUNT] = {
        [] {
            auto* dark = new GuiColorScheme();
            build_scheme(*dark, SCHEME_DARK);
            return dark;
        }(),
        [] {
            auto* light = new GuiColorScheme();
            build_scheme(*light, SCHEME_LIGHT);
            return light;
        }()};
    return *schemes[scheme == SCHEME_LIGHT ? SCHEME_LIGHT : SCHEME_DARK];
}

GuiColorScheme const* GuiColorScheme::get_scheme(CoreString const& name)
{
    std::string upper = "SCHEME_";
    for (char const* c = name.get_data(); *c; ++c) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    for (int s = 0; s < SCHEME_COUNT; ++s)
        if (get_scheme_name(static_cast<Scheme>(s)) == upper.c_str()) return &get_scheme(static_cast<Scheme>(s));
    return nullptr;
}

CoreString GuiColorScheme::get_scheme_name(Scheme const& scheme)
{
    switch (scheme) {
    case SCHEME_DARK: return "SCHEME_DARK";
    case SCHEME_LIGHT: return "SCHEME_LIGHT";
    default: return CoreString();
    }
}

char const* GuiColorScheme::get_role_name(Role const& role)
{
    return role >= 0 && role < ROLE_COUNT ? s_role_names[role] : "ROLE_COUNT";
}

char const* GuiColorScheme::get_group_name(Group const& group)
{
    switch (group) {
    case GROUP_NORMAL: return "GROUP_NORMAL";
    case GROUP_DISABLED: return "GROUP_DISABLED";
    case GROUP_BRIGHT: return "GROUP_BRIGHT";
    default: return "GROUP_COUNT";
    }
}
