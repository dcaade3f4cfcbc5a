#pragma once
// GuiColorScheme: the table of interface colours, addressed by a role (what the colour is
// for) and a group (the widget's state: normal, disabled, bright). The application holds the
// current scheme; a widget may hold its own copy in which single colours are overridden, and
// those overrides survive a switch of the application's scheme. Two built-in schemes, dark
// and light, supply the defaults.
//
//     GMathVec3<unsigned char> const& text =
//         widget.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT);
//     app.set_color_scheme(GuiColorScheme::get_scheme(GuiColorScheme::SCHEME_LIGHT));
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class GuiApp;
class GuiWidget;

class QN_GUI_API GuiColorScheme {
public:
    enum Group : int {
        GROUP_NORMAL = 0,    // enabled widgets
        GROUP_DISABLED = 1,  // widgets that are not enabled, inactive colour fields
        GROUP_BRIGHT = 2,    // the third variant of each colour (mostly a brighter one)
        GROUP_COUNT = 3
    };

    enum Role : int {
        ROLE_OUTLINE = 0,               // darkest frame lines, outlines of raised items
        ROLE_BACKGROUND = 1,            // window and panel background
        ROLE_BACKGROUND_LIGHT = 2,      // raised panels, alternate areas
        ROLE_EDGE_SHADOW = 3,           // bottom and right edges of raised frames
        ROLE_EDGE_LIGHT = 4,            // top and left edges of raised frames
        ROLE_BACKGROUND_DARK = 5,       // sunken areas, wells behind lists
        ROLE_TEXT = 6,                  // labels and ordinary text
        ROLE_TEXT_DIM = 7,              // secondary text, hints, placeholders
        ROLE_TEXT_SELECTED = 8,         // text on a selection
        ROLE_SELECTION = 9,             // selected rows and items
        ROLE_SELECTION_INACTIVE = 10,   // selection of a widget without focus
        ROLE_HOVER = 11,                // item under the pointer
        ROLE_PRESSED = 12,              // item being pressed
        ROLE_RED = 13,                  // pure red accent (x axis, errors in curves)
        ROLE_GREEN = 14,                // pure green accent (y axis)
        ROLE_BLUE = 15,                 // pure blue accent (z axis)
        ROLE_FOCUS = 16,                // focus frame
        ROLE_HIGHLIGHT = 17,            // bright lines and marks
        ROLE_ACCENT = 18,               // the scheme's accent: current item, active handles
        ROLE_FIELD = 19,                // background of editable fields
        ROLE_FIELD_TEXT = 20,           // text in editable fields
        ROLE_FIELD_BORDER = 21,         // frame of editable fields
        ROLE_BUTTON = 22,               // push button face
        ROLE_BUTTON_HOVER = 23,         // push button under the pointer
        ROLE_BUTTON_PRESSED = 24,       // push button being pressed
        ROLE_BUTTON_TEXT = 25,          // push button label
        ROLE_HEADER = 26,               // table headers, title bars
        ROLE_HEADER_TEXT = 27,          // text of headers
        ROLE_ROW_EVEN = 28,             // even rows of tables
        ROLE_ROW_ODD = 29,              // odd rows of tables
        ROLE_GRID_LINE = 30,            // lines between cells, graph grids
        ROLE_TOOLTIP = 31,              // tooltip background
        ROLE_TOOLTIP_TEXT = 32,         // tooltip text
        ROLE_MENU = 33,                 // menu background
        ROLE_MENU_TEXT = 34,            // menu item text
        ROLE_MENU_SELECTION = 35,       // menu item under the pointer
        ROLE_SCROLLBAR_TROUGH = 36,     // scrollbar trough
        ROLE_SCROLLBAR_SLIDER = 37,     // scrollbar slider
        ROLE_SLIDER_TRACK = 38,         // slider track
        ROLE_TAB_ACTIVE = 39,           // current tab
        ROLE_TAB_INACTIVE = 40,         // other tabs
        ROLE_WARNING = 41,              // warnings
        ROLE_ERROR = 42,                // errors
        ROLE_LINK = 43,                 // links between nodes, hyperlinks
        ROLE_VIEWPORT_BACKGROUND = 44,  // background of 2D and 3D views
        ROLE_SHADOW = 45,               // drop shadows of popups and nodes
        ROLE_COUNT = 46
    };

    enum Scheme : int { SCHEME_DARK = 0, SCHEME_LIGHT = 1, SCHEME_COUNT = 2 };

    static constexpr int ENTRY_COUNT = static_cast<int>(ROLE_COUNT) * static_cast<int>(GROUP_COUNT);

    // Every entry (0, 0, 0), not overridden, without owner.
    GuiColorScheme();
    // Owned by the application: set_color notifies it.
    explicit GuiColorScheme(GuiApp& app);
    // Owned by a widget: starts as a copy of the widget's current scheme, overrides included.
    explicit GuiColorScheme(GuiWidget& widget);
    GuiColorScheme(GuiColorScheme const& other) = default;
    GuiColorScheme& operator=(GuiColorScheme const& other) = default;
    virtual ~GuiColorScheme() = default;

    GMathVec3<unsigned char> const& get_color(Group const& group, Role const& role) const;
    void get_color(Group const& group, Role const& role, unsigned char& r, unsigned char& g, unsigned char& b) const;
    // Writes the entry, marks it overridden and notifies the owner (application first).
    void set_color(Group const& group, Role const& role, unsigned char const& r, unsigned char const& g,
                   unsigned char const& b);
    void set_color(Group const& group, Role const& role, GMathVec3<unsigned char> const& color);
    // The entry was written by set_color.
    bool is_overridden(Group const& group, Role const& role) const;

    // Copies every entry with its overridden mark; the owners stay and are not notified.
    void set(GuiColorScheme const& other);
    // Copies the colours of the entries that are not overridden.
    void update(GuiColorScheme const& other);

    GuiWidget* get_owner_widget() const { return m_owner_widget; }
    GuiApp* get_owner_application() const { return m_owner_application; }

    // The built-in schemes, made on first use and kept until the process ends.
    static GuiColorScheme const& get_scheme(Scheme const& scheme);
    // The built-in scheme named "SCHEME_" + the name in upper case ("light" gives the light
    // scheme); null when none is.
    static GuiColorScheme const* get_scheme(CoreString const& name);
    // "SCHEME_DARK", "SCHEME_LIGHT", or "" for other values.
    static CoreString get_scheme_name(Scheme const& scheme);
    // "ROLE_TEXT", ... or "ROLE_COUNT" for other values; "GROUP_NORMAL", ... or "GROUP_COUNT".
    static char const* get_role_name(Role const& role);
    static char const* get_group_name(Group const& group);

private:
    static int entry(Group const& group, Role const& role);
    static bool is_valid(Group const& group, Role const& role);

    GMathVec3<unsigned char> m_colors[ENTRY_COUNT];
    unsigned char m_overridden[ENTRY_COUNT];
    GuiWidget* m_owner_widget = nullptr;
    GuiApp* m_owner_application = nullptr;
};
