#include "gui/core/gui_widget.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Tooltip.H>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <iterator>
#include <typeinfo>
#include <vector>

#include "gui/core/gui_action.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_floating_window.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_popup.h"
#include "gui/core/gui_router.h"
#include "gui/core/gui_window.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_UNKNOWN);
EVENT_DEFINE_ID(EVT_ID_MOUSE_DOWN);
EVENT_DEFINE_ID(EVT_ID_MOUSE_UP);
EVENT_DEFINE_ID(EVT_ID_MOUSE_ENTER);
EVENT_DEFINE_ID(EVT_ID_MOUSE_LEAVE);
EVENT_DEFINE_ID(EVT_ID_MOUSE_DRAG);
EVENT_DEFINE_ID(EVT_ID_MOUSE_DRAG_REAL_TIME);
EVENT_DEFINE_ID(EVT_ID_MOUSE_MOVE);
EVENT_DEFINE_ID(EVT_ID_MOUSE_WHEEL);
EVENT_DEFINE_ID(EVT_ID_WIDGET_FOCUS_IN);
EVENT_DEFINE_ID(EVT_ID_WIDGET_FOCUS_OUT);
EVENT_DEFINE_ID(EVT_ID_WIDGET_FOCUS_LOOSE);
EVENT_DEFINE_ID(EVT_ID_KEY_DOWN);
EVENT_DEFINE_ID(EVT_ID_KEY_UP);
EVENT_DEFINE_ID(EVT_ID_KEY_SHORTCUT);
EVENT_DEFINE_ID(EVT_ID_WIDGET_DISABLED);
EVENT_DEFINE_ID(EVT_ID_WIDGET_ENABLED);
EVENT_DEFINE_ID(EVT_ID_WIDGET_HIDE);
EVENT_DEFINE_ID(EVT_ID_WIDGET_SHOW);
EVENT_DEFINE_ID(EVT_ID_PASTE);
EVENT_DEFINE_ID(EVT_ID_SELECTION_CLEAR);
EVENT_DEFINE_ID(EVT_ID_DND_ENTER);
EVENT_DEFINE_ID(EVT_ID_DND_DRAG);
EVENT_DEFINE_ID(EVT_ID_DND_LEAVE);
EVENT_DEFINE_ID(EVT_ID_DND_RELEASE);

CORE_IMPLEMENT_CLASS(GuiWidget, EventObject)

CoreClassInfo const& GuiCustomUIWidget::class_info()
{
    static CoreClassInfo const& info = CoreClassInfo::new_class("GuiCustomUIWidget", nullptr, &GuiWidget::class_info());
    return info;
}

GuiWidget* GuiWidget::m_last_focused_widget = nullptr;
GuiWidget* GuiWidget::m_last_event_widget = nullptr;
CoreSet<void*> GuiWidget::m_children_focus;

namespace {

// Drag throttling, shared by all routers.
struct DragState {
    GuiWidget* widget = nullptr;
    SysWatch watch;
    unsigned int count = 0;
};

DragState& drag_state()
{
    static DragState state;
    return state;
}

// A handle carried through a drag-and-drop as one of the payload objects.
class GuiDndHandle : public CoreBaseObject {
public:
    explicit GuiDndHandle(OfHandle const& handle) : m_handle(handle) {}
    OfHandle const& get_handle() const { return m_handle; }

private:
    OfHandle m_handle;
};

struct DndState {
    GuiWidget* source = nullptr;
    GuiWidget* accepting = nullptr;
    CoreVector<CoreBaseObject*> payload;
    bool in_progress = false;
    std::atomic<bool> loop_running{false};
};

DndState& dnd_state()
{
    static DndState state;
    return state;
}

bool s_focus_changing = false;

// Showing a tree asks every widget whether the pointer is over it: while shows run, the
// pointer comes from Gui's recent answer rather than a round trip each.
int s_show_depth = 0;

bool is_pointer_over(GuiWidget const& widget)
{
    if (s_show_depth == 0) return Gui::is_mouse_over_widget(widget);
    int pointer_x = 0, pointer_y = 0;
    Gui::get_recent_mouse_screen_position(pointer_x, pointer_y);
    int x = widget.get_x(), y = widget.get_y();
    if (!widget.is_window()) {
        if (GuiWidget const* window = widget.get_window()) {
            x += window->get_x();
            y += window->get_y();
        }
    }
    return Gui::is_point_in_region(pointer_x, pointer_y, x, y, widget.get_width(),
                                   widget.get_height());
}

// Counts the nesting of show() calls.
class ShowScope {
public:
    ShowScope() { ++s_show_depth; }
    ~ShowScope() { --s_show_depth; }
    ShowScope(ShowScope const&) = delete;
    ShowScope& operator=(ShowScope const&) = delete;
};

bool is_window_widget(GuiWidget const* widget)
{
    return widget && widget->is_window();
}

// Box of a parent as its children's constraints see it: a window is the origin.
void parent_box_for_constraints(GuiWidget const& parent, int& px, int& py, int& pw, int& ph)
{
    if (is_window_widget(&parent)) {
        px = 0;
        py = 0;
    } else {
        px = parent.get_x();
        py = parent.get_y();
    }
    pw = parent.get_width();
    ph = parent.get_height();
}

// Whether a stored box is (x, y, w, h); one test rather than four, as the layout passes ask
// it of every widget.
inline bool is_box(GMathVec2<int> const& position, GMathVec2<int> const& size, int x, int y, int w, int h)
{
    return ((position[0] ^ x) | (position[1] ^ y) | (size[0] ^ w) | (size[1] ^ h)) == 0;
}

int clamp_int(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

// Clamps box (x, y, w, h) into box a, in place.
void clamp_box_into(int ax, int ay, int aw, int ah, int& x, int& y, int& w, int& h)
{
    int const left = clamp_int(x - ax, 0, aw);
    int const right = clamp_int(x - ax + w, 0, aw);
    int const top = clamp_int(y - ay, 0, ah);
    int const bottom = clamp_int(y - ay + h, 0, ah);
    x = ax + left;
    y = ay + top;
    w = right - left;
    h = bottom - top;
}

// The children a layout loop visits. A derived resize may add or destroy children while the
// loop runs, so the loop walks a copy taken at its start; the copies of nested loops share
// one stack, so that laying a tree out allocates nothing once the stack has grown.
class ChildrenSnapshot {
public:
    explicit ChildrenSnapshot(CoreVector<GuiWidget*> const& children) : m_stack(stack()), m_begin(m_stack.size())
    {
        m_stack.insert(m_stack.end(), children.begin(), children.end());
        m_count = m_stack.size() - m_begin;
    }
    ~ChildrenSnapshot() { m_stack.resize(m_begin); }
    ChildrenSnapshot(ChildrenSnapshot const&) = delete;
    ChildrenSnapshot& operator=(ChildrenSnapshot const&) = delete;

    size_t get_count() const { return m_count; }
    // Indexed from the stack each time: a nested loop may have moved it.
    GuiWidget* operator[](size_t index) const { return m_stack[m_begin + index]; }

private:
    // Out of line: the compiler would otherwise look the thread's stack up again at every
    // use of the reference.
    [[gnu::noinline]] static std::vector<GuiWidget*>& stack()
    {
        thread_local std::vector<GuiWidget*> children;
        return children;
    }

    std::vector<GuiWidget*>& m_stack;
    size_t m_begin = 0;
    size_t m_count = 0;
};

}  // namespace

// Names ---------------------------------------------------------------------------------

char const* GuiWidget::get_constraint_name(Constraint const& value)
{
    switch (value) {
    case CONSTRAINT_LEFT: return "CONSTRAINT_LEFT";
    case CONSTRAINT_RIGHT: return "CONSTRAINT_RIGHT";
    case CONSTRAINT_TOP: return "CONSTRAINT_TOP";
    case CONSTRAINT_BOTTOM: return "CONSTRAINT_BOTTOM";
    default: return "CONSTRAINT_COUNT";
    }
}

char const* GuiWidget::get_justify_name(Justify const& value)
{
    switch (value) {
    case JUSTIFY_LEFT: return "JUSTIFY_LEFT";
    case JUSTIFY_RIGHT: return "JUSTIFY_RIGHT";
    case JUSTIFY_CENTER: return "JUSTIFY_CENTER";
    default: return "JUSTIFY_COUNT";
    }
}

char const* GuiWidget::get_icon_position_name(IconPosition const& value)
{
    switch (value) {
    case ICON_POSITION_LEFT: return "ICON_POSITION_LEFT";
    case ICON_POSITION_RIGHT: return "ICON_POSITION_RIGHT";
    default: return "ICON_POSITION_COUNT";
    }
}

char const* GuiWidget::get_roundness_name(Roundness const& value)
{
    switch (value) {
    case ROUNDNESS_NONE: return "ROUNDNESS_NONE";
    case ROUNDNESS_TOP_LEFT: return "ROUNDNESS_TOP_LEFT";
    case ROUNDNESS_TOP_RIGHT: return "ROUNDNESS_TOP_RIGHT";
    case ROUNDNESS_TOP: return "ROUNDNESS_TOP";
    case ROUNDNESS_BOTTOM_LEFT: return "ROUNDNESS_BOTTOM_LEFT";
    case ROUNDNESS_LEFT: return "ROUNDNESS_LEFT";
    case ROUNDNESS_BOTTOM_RIGHT: return "ROUNDNESS_BOTTOM_RIGHT";
    case ROUNDNESS_RIGHT: return "ROUNDNESS_RIGHT";
    case ROUNDNESS_BOTTOM: return "ROUNDNESS_BOTTOM";
    case ROUNDNESS_ALL: return "ROUNDNESS_ALL";
    default: return "ROUNDNESS_UNKNOWN";
    }
}

// Construction ----------------------------------------------------------------------------

std::atomic<std::uint64_t> GuiWidget::s_clip_epoch{1};

namespace {

// The apply_constraints and resize a widget's class runs (both take a box). GCC's bound
// member pointer conversion reads them from the widget's virtual table.
struct LayoutCalls {
    using Call = void (*)(GuiWidget*, int const&, int const&, int const&, int const&);
    Call apply = nullptr;
    Call resize = nullptr;

    bool operator==(LayoutCalls const&) const = default;
};

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpmf-conversions"
LayoutCalls get_layout_calls(GuiWidget& widget)
{
    using Member = void (GuiWidget::*)(int const&, int const&, int const&, int const&);
    return {(LayoutCalls::Call)(widget.*static_cast<Member>(&GuiWidget::apply_constraints)),
            (LayoutCalls::Call)(widget.*static_cast<Member>(&GuiWidget::resize))};
}
#pragma GCC diagnostic pop
#endif

// GuiWidget's own calls, read from the first widget while its GuiWidget constructor runs.
LayoutCalls s_base_layout_calls;

// Classes already asked, by type: a small direct-mapped cache whose entries hold the type's
// address with bit 0 set when the class keeps the base calls. Atomic, so that reading it
// needs no lock.
std::atomic<std::uintptr_t> s_layout_classes[32];

}  // namespace

inline bool GuiWidget::keeps_base_layout() const
{
    auto const type = reinterpret_cast<std::uintptr_t>(&typeid(*this));
    std::atomic<std::uintptr_t>& entry = s_layout_classes[(type >> 4) % std::size(s_layout_classes)];
    std::uintptr_t const known = entry.load(std::memory_order_relaxed);
    if ((known & ~std::uintptr_t(1)) == type) return known & 1;
#if defined(__GNUC__) && !defined(__clang__)
    bool const keeps = get_layout_calls(const_cast<GuiWidget&>(*this)) == s_base_layout_calls;
#else
    bool const keeps = typeid(*this) == typeid(GuiWidget);
#endif
    entry.store(type | (keeps ? 1 : 0), std::memory_order_relaxed);
    return keeps;
}

void GuiWidget::init_fields(GuiApp& app, int const& x, int const& y, int const& w, int const& h)
{
    m_application = &app;
    m_position = GMathVec2<int>(x, y);
    m_size = GMathVec2<int>(w, h);
    m_effective_clip = GMathVec4<int>(x, y, w, h);
#if defined(__GNUC__) && !defined(__clang__)
    // Here the widget is a GuiWidget, whatever class it will be.
    static bool const recorded = (s_base_layout_calls = get_layout_calls(*this), true);
    (void)recorded;
#endif
}

void GuiWidget::attach_to(GuiWidget& parent)
{
    m_parent = &parent;
    m_parent_size_at_creation = parent.get_size();
    m_parent_position_at_creation =
        is_window_widget(&parent) ? GMathVec2<int>(0, 0) : parent.get_position();
    join_children_of(parent);
    parent.on_add_child(this);
}

void GuiWidget::join_children_of(GuiWidget& parent)
{
    m_index_in_parent = static_cast<int>(parent.m_children.get_count());
    parent.m_children.add(this);
    parent.m_children_changed = true;
}

GuiWidget::GuiWidget(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
{
    init_fields(parent.get_application(), x, y, w, h);
    attach_to(parent);
    create_router(*this);
}

GuiWidget::GuiWidget(GuiApp& app, int const& x, int const& y, int const& w, int const& h)
{
    init_fields(app, x, y, w, h);
    create_router(*this);
}

GuiWidget::GuiWidget(RouterFactory, GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
{
    init_fields(parent.get_application(), x, y, w, h);
    attach_to(parent);
}

GuiWidget::GuiWidget(RouterFactory, GuiApp& app, int const& x, int const& y, int const& w, int const& h)
{
    init_fields(app, x, y, w, h);
}

void GuiWidget::create_router(GuiWidget& widget)
{
    Fl_Group* current = Fl_Group::current();
    Fl_Group::current(nullptr);
    widget.m_toolkit_widget =
        new GuiBoxRouter(widget, widget.get_x(), widget.get_y(), widget.get_width(), widget.get_height());
    widget.m_box_router = true;
    Fl_Group::current(current);
    if (widget.m_parent) widget.create_delayed_parenting(widget.m_toolkit_widget);
}

void GuiWidget::create_delayed_parenting(Fl_Widget* toolkit_root)
{
    if (!m_parent) return;
    if (toolkit_root) m_parent->get_group()->add(toolkit_root);
    capture_constraints();
    m_parenting_pending = false;
}

GuiWidget::~GuiWidget()
{
    m_shown = false;
    remove_all_actions();
    clear_statics();
    m_application->forget_widget(this);
    if (m_parent) {
        remove_from_parent_children();
        m_parent = nullptr;
    }
    detach_toolkit_root();
    // Children remove themselves from this vector's copy as they go.
    CoreVector<GuiWidget*> children = m_children;
    m_children.clear();
    for (GuiWidget* child : children) {
        if (child->m_destroyed) continue;
        child->m_parent = nullptr;
        child->m_index_in_parent = -1;
        delete child;
    }
    if (m_own_window && m_group && m_group->parent() == m_own_window_group) {
        delete m_own_window;  // holds the group, which holds the router
    } else if (m_group) {
        bool const router_in_group = m_toolkit_widget && m_toolkit_widget->parent() == m_group;
        m_group->clear();
        delete m_group;
        if (!router_in_group) delete m_toolkit_widget;
    } else {
        delete m_toolkit_widget;
    }
    m_own_window = nullptr;
    m_group = nullptr;
    m_toolkit_widget = nullptr;
    m_box_router = false;
    delete m_dc;
    delete m_font;
    delete m_color_scheme;
    if (m_children_focus.has(this)) m_children_focus.clear();
}

void GuiWidget::clear_statics()
{
    if (m_last_focused_widget == this) m_last_focused_widget = nullptr;
    if (m_last_event_widget == this) m_last_event_widget = nullptr;
    DragState& drag = drag_state();
    if (drag.widget == this) drag.widget = nullptr;
    DndState& dnd = dnd_state();
    if (dnd.source == this) dnd.source = nullptr;
    if (dnd.accepting == this) dnd.accepting = nullptr;
    GuiRouter::forget_widget(this);
    GuiPopup::forget_widget(this);
    if (m_capturing) capture_events(false);
}

size_t GuiWidget::get_memory_size() const
{
    size_t size = sizeof(GuiWidget) + m_tooltip.get_length() + m_children.get_count() * sizeof(GuiWidget*) +
                  m_actions.get_count() * (sizeof(GuiAction*) + sizeof(GuiAction));
    if (m_dc) size += m_dc->get_memory_size();
    if (m_color_scheme) size += sizeof(GuiColorScheme);
    if (m_font) size += m_font->get_memory_size();
    if (m_toolkit_widget) size += sizeof(GuiBoxRouter);
    if (m_group) size += sizeof(GuiWidgetGroup);
    return size;
}

void GuiWidget::load_settings(ParserGroup const&) {}

void GuiWidget::save_settings(ParserGroup&) {}

Fl_Group* GuiWidget::get_group()
{
    if (!m_group) {
        Fl_Group* current = Fl_Group::current();
        Fl_Group::current(nullptr);
        m_group = new GuiWidgetGroup(get_x(), get_y(), get_width(), get_height());
        Fl_Group::current(current);
        if (m_toolkit_widget) {
            // The group takes the router's place among its parent's toolkit objects, and the
            // tooltip, which the children's routers find by walking up.
            if (Fl_Group* holder = m_toolkit_widget->parent()) holder->insert(*m_group, holder->find(m_toolkit_widget));
            m_group->copy_tooltip(m_toolkit_widget->tooltip());
            m_toolkit_widget->copy_tooltip(nullptr);
            m_group->add(m_toolkit_widget);
            if (m_shown) m_group->set_visible();
        }
    }
    return m_group;
}

Fl_Widget* GuiWidget::get_toolkit_root()
{
    if (m_group) return m_group;
    if (m_toolkit_widget) return m_toolkit_widget;
    return get_group();
}

void GuiWidget::detach_toolkit_root()
{
    Fl_Widget* const root = m_group ? static_cast<Fl_Widget*>(m_group) : m_toolkit_widget;
    if (root && root->parent()) root->parent()->remove(root);
}

GuiRouter* GuiWidget::get_router() const
{
    return dynamic_cast<GuiRouter*>(m_toolkit_widget);
}

GuiDc& GuiWidget::get_dc()
{
    if (!m_dc) m_dc = new GuiWidgetDc(*this);
    return *m_dc;
}

// Tree ---------------------------------------------------------------------------------------

void GuiWidget::remove_from_parent_children()
{
    GuiWidget* parent = m_parent;
    if (!parent) return;
    CoreVector<GuiWidget*>& siblings = parent->m_children;
    int index = m_index_in_parent;
    if (index < 0 || index >= static_cast<int>(siblings.get_count()) || siblings[index] != this)
        index = siblings.find(this);
    if (index >= 0) {
        // The last child takes the freed place.
        GuiWidget* last = siblings.get_last();
        siblings[index] = last;
        last->m_index_in_parent = index;
        siblings.remove(siblings.get_count() - 1);
        parent->m_children_changed = true;
        parent->on_remove_child(this);
    }
    m_index_in_parent = -1;
}

void GuiWidget::set_parent(GuiWidget* parent)
{
    for (GuiWidget const* ancestor = parent; ancestor; ancestor = ancestor->get_parent()) {
        if (ancestor == this) {
            CORE_LOG_WARNING("GuiWidget.set_parent: a widget can't become a child of itself or of one of its "
                             "children; nothing changes\n");
            return;
        }
    }
    m_parenting_pending = false;
    if (parent && m_own_window) {
        // The widget leaves the window it had on its own; the window goes at the next idle pass.
        m_own_window->hide();
        detach_toolkit_root();
        m_application->defer_toolkit_window_deletion(m_own_window);
        m_own_window = nullptr;
        m_own_window_group = nullptr;
        m_shown = false;
    }
    if (parent) {
        if (m_parent) remove_from_parent_children();
        join_children_of(*parent);
        parent->get_group()->add(get_toolkit_root());
        parent->on_add_child(this);
    } else {
        detach_toolkit_root();
        remove_from_parent_children();
    }
    m_parent = parent;
    apply_clipping();
}

GuiWidget* GuiWidget::get_window() const
{
    for (GuiWidget const* widget = this; widget; widget = widget->get_parent())
        if (is_window_widget(widget)) return const_cast<GuiWidget*>(widget);
    return nullptr;
}

GuiWidget* GuiWidget::get_root_window() const
{
    GuiWidget const* top = this;
    for (GuiWidget const* widget = this; widget; widget = widget->get_parent()) {
        if (widget->is_kindof(GuiFloatingWindow::class_info())) return const_cast<GuiWidget*>(widget);
        top = widget;
    }
    return top->get_window();
}

void GuiWidget::bring_to_front()
{
    GuiWidget* parent = m_parent;
    if (!parent) return;
    set_parent(nullptr);
    set_parent(parent);
}

bool GuiWidget::is_recursive_destroyed() const
{
    for (GuiWidget const* widget = this; widget; widget = widget->m_parent)
        if (widget->m_destroyed) return true;
    return false;
}

void GuiWidget::destroy()
{
    if (m_destroyed) return;
    m_application->remove_pending_update(this);
    m_application->remove_pending_redraw(this);
    m_application->destroy(this);
    m_destroyed = true;
    if (m_shown) hide();
    set_parent(nullptr);
    remove_all_connection();
    clear_statics();
}

void GuiWidget::destroy_child(GuiWidget& child)
{
    for (GuiWidget* grandchild : CoreVector<GuiWidget*>(child.m_children))
        if (!grandchild->m_destroyed) child.destroy_child(*grandchild);
    child.m_children.clear();
    child.m_children_changed = true;
    m_application->remove_pending_update(&child);
    m_application->remove_pending_redraw(&child);
    m_application->destroy(&child);
    child.m_destroyed = true;
    if (m_shown && child.m_shown) child.hide();
    child.remove_all_connection();
    child.clear_statics();
    // The child keeps its toolkit objects, out of this widget's group, and deletes them itself.
    child.detach_toolkit_root();
    child.m_parent = nullptr;
    invalidate_clip_regions();
    child.m_index_in_parent = -1;
}

void GuiWidget::clear_all_children()
{
    for (GuiWidget* child : CoreVector<GuiWidget*>(m_children))
        if (!child->m_destroyed) destroy_child(*child);
    m_children.clear();
    m_children_changed = true;
    if (m_group && m_toolkit_widget && m_toolkit_widget->parent() != m_group) m_group->insert(*m_toolkit_widget, 0);
}

// Geometry -------------------------------------------------------------------------------------

void GuiWidget::resize(int const& x, int const& y, int const& w, int const& h)
{
    if (is_box(m_position, m_size, x, y, w, h)) return;
    // Moved from outside its parent's pass, the widget may leave the box its constraints
    // give, which the parent's next pass puts it back to.
    if (m_parent && !m_parent->m_laying_out) note_layout_change();
    place(x, y, w, h);
}

inline void GuiWidget::place_toolkit_box()
{
    // A window's router is its toolkit window, which moves the window.
    if (!m_toolkit_box_stale || m_is_window) return;
    int const x = m_position[0], y = m_position[1], w = m_size[0], h = m_size[1];
    if (m_box_router)
        static_cast<GuiBoxRouter*>(m_toolkit_widget)->place(x, y, w, h);
    else if (m_toolkit_widget)
        m_toolkit_widget->resize(x, y, w, h);
    if (m_group) m_group->resize(x, y, w, h);
    m_toolkit_box_stale = false;
}

inline void GuiWidget::place(int x, int y, int w, int h)
{
    m_position = GMathVec2<int>(x, y);
    m_size = GMathVec2<int>(w, h);
    m_toolkit_box_stale = true;
    invalidate_clip_regions();
    if (m_shown) place_toolkit_box();
    // Checked here as well: most widgets are leaves, and the call costs more than the test.
    if (m_recursive_constraints && !m_children.is_empty()) layout_children(x, y, w, h);
}

void GuiWidget::apply_children_constraints_then_clip(int const& px, int const& py, int const& pw, int const& ph)
{
    invalidate_clip_regions();
    layout_children(px, py, pw, ph);
}

void GuiWidget::set_position(int const& x, int const& y, bool const& top_left)
{
    if (top_left) {
        if (x == get_x() && y == get_y()) return;
        resize(x, y, get_width(), get_height());
    } else {
        resize(x - get_width() / 2, y - get_height() / 2, get_width(), get_height());
    }
    capture_constraints();
}

void GuiWidget::set_size(int const& x, int const& y, int const& w, int const& h)
{
    if (x == get_x() && y == get_y() && w == get_width() && h == get_height()) return;
    m_parenting_pending = false;
    resize(x, y, w, h);
    capture_constraints();
}

void GuiWidget::set_width(int const& w)
{
    if (w == get_width()) return;
    resize(get_x(), get_y(), w, get_height());
    capture_constraints();
}

void GuiWidget::set_height(int const& h)
{
    if (h == get_height()) return;
    resize(get_x(), get_y(), get_width(), h);
    capture_constraints();
}

void GuiWidget::recompute_constraints()
{
    capture_constraints();
}

void GuiWidget::capture_constraints()
{
    set_constraints(get_left_constraint(), get_top_constraint(), get_right_constraint(), get_bottom_constraint());
}

void GuiWidget::compute_children_bbox(GMathVec2<int>& min, GMathVec2<int>& max) const
{
    min = get_position();
    max = GMathVec2<int>(-200000000, -200000000);
    for (GuiWidget const* child : m_children) {
        int left = child->get_x(), top = child->get_y();
        int right = left + child->get_width(), bottom = top + child->get_height();
        min[0] = std::min(min[0], std::min(left, right));
        min[1] = std::min(min[1], std::min(top, bottom));
        max[0] = std::max(max[0], std::max(left, right));
        max[1] = std::max(max[1], std::max(top, bottom));
    }
}

// Constraints --------------------------------------------------------------------------------------

void GuiWidget::set_constraints(Constraint const& left, Constraint const& top, Constraint const& right,
                                Constraint const& bottom)
{
    GuiWidget* parent = get_parent();
    if (!parent) {
        m_left_offset = m_top_offset = m_right_offset = m_bottom_offset = 0;
        return;
    }
    int px, py, pw, ph;
    if (m_parenting_pending) {
        px = m_parent_position_at_creation[0];
        py = m_parent_position_at_creation[1];
        pw = m_parent_size_at_creation[0];
        ph = m_parent_size_at_creation[1];
    } else {
        parent_box_for_constraints(*parent, px, py, pw, ph);
    }
    bool const self_window = is_window_widget(this);
    int const x = self_window ? 0 : get_x();
    int const y = self_window ? 0 : get_y();
    int const w = get_width();
    int const h = get_height();

    m_left_far = left != CONSTRAINT_LEFT;
    m_left_offset = m_left_far ? pw - (x - px) : x - px;
    m_right_far = right == CONSTRAINT_RIGHT;
    m_right_offset = m_right_far ? pw - w - (x - px) : (x - px) + w;
    m_top_far = top != CONSTRAINT_TOP;
    m_top_offset = m_top_far ? ph - (y - py) : y - py;
    m_bottom_far = bottom == CONSTRAINT_BOTTOM;
    m_bottom_offset = m_bottom_far ? ph - h - (y - py) : (y - py) + h;
    note_layout_change();
}

inline void GuiWidget::get_constrained_box(int px, int py, int pw, int ph, int& x, int& y, int& w, int& h) const
{
    x = px + (m_left_far ? pw - m_left_offset : m_left_offset);
    y = py + (m_top_far ? ph - m_top_offset : m_top_offset);
    int const right = px + (m_right_far ? pw - m_right_offset : m_right_offset);
    int const bottom = py + (m_bottom_far ? ph - m_bottom_offset : m_bottom_offset);
    w = std::max(0, right - x);
    h = std::max(0, bottom - y);
}

void GuiWidget::apply_constraints(int const& px, int const& py, int const& pw, int const& ph)
{
    if (!m_active_constraints) return;
    int x, y, w, h;
    get_constrained_box(px, py, pw, ph, x, y, w, h);
    // A box that stays needs no resize: most children of a resized parent keep theirs.
    if (is_box(m_position, m_size, x, y, w, h)) return;
    resize(x, y, w, h);
}

void GuiWidget::apply_constraints(GuiWidget& child, int const& px, int const& py, int const& pw, int const& ph)
{
    child.apply_constraints(px, py, pw, ph);
}

void GuiWidget::apply_children_constraints(int const& px, int const& py, int const& pw, int const& ph)
{
    m_children_changed = true;
    layout_children(px, py, pw, ph);
}

void GuiWidget::layout_children(int px, int py, int pw, int ph)
{
    if (m_children.is_empty()) return;
    bool const whole = m_children_changed || px != m_children_origin[0] || py != m_children_origin[1];
    // Cleared before the visits: a change they make is seen by the next pass.
    m_children_changed = false;
    m_children_origin = GMathVec2<int>(px, py);
    ChildrenSnapshot const children(whole ? m_children : m_size_followers);
    if (whole) m_size_followers.clear();
    bool const nested = m_laying_out;
    m_laying_out = true;
    size_t const count = children.get_count();
    for (size_t i = 0; i < count; ++i) {
        GuiWidget& child = *children[i];
        if (!child.keeps_base_layout()) {
            if (whole) m_size_followers.add(&child);
            child.apply_constraints(px, py, pw, ph);
            continue;
        }
        // apply_constraints and resize as GuiWidget has them, without the two virtual calls.
        if (!child.m_active_constraints) continue;
        if (whole && child.follows_parent_size()) m_size_followers.add(&child);
        int x, y, w, h;
        child.get_constrained_box(px, py, pw, ph, x, y, w, h);
        if (!is_box(child.m_position, child.m_size, x, y, w, h)) child.place(x, y, w, h);
    }
    m_laying_out = nested;
    // A pass run from within this one may have gathered the followers while this one did.
    if (nested) m_children_changed = true;
}

// Clipping -----------------------------------------------------------------------------------------

void GuiWidget::intersect_box(int const& ax, int const& ay, int const& aw, int const& ah, int const& bx,
                              int const& by, int const& bw, int const& bh, int& x, int& y, int& w, int& h)
{
    int cx = bx, cy = by, cw = bw, ch = bh;  // the outputs may alias the inputs
    clamp_box_into(ax, ay, aw, ah, cx, cy, cw, ch);
    x = cx;
    y = cy;
    w = cw;
    h = ch;
}

bool GuiWidget::intersect_box(int const& ax, int const& ay, int const& aw, int const& ah, int const& bx,
                              int const& by, int const& bw, int const& bh)
{
    int x, y, w, h;
    intersect_box(ax, ay, aw, ah, bx, by, bw, bh, x, y, w, h);
    return w >= 2 && h >= 2;
}

void GuiWidget::get_parent_effective_clip_region(int& x, int& y, int& w, int& h) const
{
    GuiWidget const* parent = get_parent();
    // A window inside a window clips its children by its own box only.
    bool const own_box = !parent || (is_window_widget(parent) && is_window_widget(parent->get_parent()));
    if (own_box) {
        x = get_x();
        y = get_y();
        w = get_width();
        h = get_height();
        return;
    }
    GMathVec4<int> const& clip = parent->get_clip_region();
    x = clip[0];
    y = clip[1];
    w = clip[2];
    h = clip[3];
}

void GuiWidget::set_clip_region(int const& x, int const& y, int const& w, int const& h)
{
    m_clip_region = GMathVec4<int>(x, y, w, h);
    apply_clipping();
}

void GuiWidget::enable_clipping()
{
    m_clipping_enabled = true;
    apply_clipping();
}

void GuiWidget::disable_clipping()
{
    m_clipping_enabled = false;
    apply_clipping();
}

void GuiWidget::apply_clipping()
{
    if (is_shown()) place_toolkit_box();
    invalidate_clip_regions();
}

void GuiWidget::refresh_clip() const
{
    std::uint64_t const epoch = s_clip_epoch.load(std::memory_order_relaxed);
    int x = m_position[0], y = m_position[1], w = m_size[0], h = m_size[1];
    if (m_is_window) {
        // A window is the origin of its widgets' coordinates.
        x = 0;
        y = 0;
        w = get_width();
        h = get_height();
    } else {
        // Read directly: a window is never a child, so the parent is the stored one.
        if (GuiWidget const* parent = m_parent) {
            // A window inside a window clips its children by its own box only.
            if (!parent->m_is_window || !is_window_widget(parent->get_parent())) {
                GMathVec4<int> const& clip = parent->get_clip_region();
                clamp_box_into(clip[0], clip[1], clip[2], clip[3], x, y, w, h);
            }
        }
        if (m_clipping_enabled)
            clamp_box_into(m_clip_region[0], m_clip_region[1], m_clip_region[2], m_clip_region[3], x, y, w, h);
    }
    m_effective_clip = GMathVec4<int>(x, y, w, h);
    m_clip_epoch = epoch;
}

void GuiWidget::apply_children_clipping()
{
    if (m_children.is_empty()) return;
    ChildrenSnapshot const children(m_children);
    for (size_t i = 0; i < children.get_count(); ++i) children[i]->apply_clipping();
}

void GuiWidget::push_clip(int const& x, int const& y, int const& w, int const& h)
{
    if (GuiRouter* router = get_router()) router->push_clip(x, y, w, h);
}

void GuiWidget::pop_clip()
{
    if (GuiRouter* router = get_router()) router->pop_clip();
}

// Visibility ---------------------------------------------------------------------------------------

bool GuiWidget::is_visible() const
{
    if (!is_shown()) return false;
    if (!get_parent()) return true;
    int cx, cy, cw, ch;
    get_parent_effective_clip_region(cx, cy, cw, ch);
    return intersect_box(cx, cy, cw, ch, get_x(), get_y(), get_width(), get_height());
}

void GuiWidget::show()
{
    ShowScope scope;
    m_visible_wish = true;
    // Showing a shown widget again refreshes its hover state from the pointer, which may
    // have moved over or off it without events reaching it (a warp, a grab elsewhere).
    if (m_shown) {
        m_entered = is_pointer_over(*this);
        return;
    }
    if (is_window_widget(this)) {
        m_entered = is_pointer_over(*this);
        return;
    }
    if (m_parent) {
        get_toolkit_root()->show();
        if (m_toolkit_widget) m_toolkit_widget->show();
        m_entered = false;
        m_shown = true;
        apply_clipping();
        // The toolkit recorded the box to repaint when it was shown; clipping may have moved
        // or grown it since (a widget resized before its first show).
        if (m_toolkit_widget) m_toolkit_widget->redraw();
        if (m_show_children)
            for (GuiWidget* child : CoreVector<GuiWidget*>(m_children))
                if (child->m_visible_wish) child->show();
        m_entered = is_pointer_over(*this);
        return;
    }
    if (!m_own_window) {
        int const right = get_x() + get_width();
        int const bottom = get_y() + get_height();
        Fl_Group* current = Fl_Group::current();
        Fl_Group::current(nullptr);
        m_own_window = new Fl_Double_Window(right, bottom);
        m_own_window->end();
        m_own_window_group = new GuiWidgetGroup(0, 0, right, bottom);
        m_own_window_group->end();
        m_own_window->add(m_own_window_group);
        m_own_window_group->add(get_group());
        m_own_window->position(get_x(), get_y());
        Fl_Group::current(current);
        if (m_toolkit_widget) m_toolkit_widget->position(get_x(), get_y());
    }
    get_group()->show();
    if (m_toolkit_widget) m_toolkit_widget->show();
    m_own_window->show();
    m_shown = true;
    m_entered = false;
    apply_clipping();
    if (m_show_children)
        for (GuiWidget* child : CoreVector<GuiWidget*>(m_children))
            if (child->m_visible_wish) child->show();
    m_entered = is_pointer_over(*this);
}

void GuiWidget::hide()
{
    if (is_shown()) {
        if (!m_visible_wish) return;
        if (!is_window_widget(this)) {
            if (!m_parent && m_own_window) m_own_window->hide();
            if (m_group)
                m_group->hide();
            else if (m_toolkit_widget)
                m_toolkit_widget->hide();
            m_entered = false;
            m_shown = false;
        }
        for (GuiWidget* child : CoreVector<GuiWidget*>(m_children)) {
            bool const wish = child->m_visible_wish;
            child->hide();
            child->m_visible_wish = wish;
        }
    }
    m_visible_wish = false;
}

void GuiWidget::redraw()
{
    if (is_shown()) m_application->add_pending_redraw(this);
}

void GuiWidget::widget_redraw()
{
    if (!is_shown()) return;
    if (m_group)
        m_group->redraw();
    else if (m_toolkit_widget)
        m_toolkit_widget->redraw();
}

void GuiWidget::damage(unsigned char const& bits)
{
    if (m_toolkit_widget) m_toolkit_widget->damage(bits);
}

unsigned char GuiWidget::get_damage() const
{
    return m_toolkit_widget ? static_cast<unsigned char>(m_toolkit_widget->damage() & 127) : 0;
}

bool GuiWidget::is_damaged(unsigned char const& mask) const
{
    return m_toolkit_widget && (m_toolkit_widget->damage() & (mask | 128)) != 0;
}

// Enabling ----------------------------------------------------------------------------------------------

bool GuiWidget::is_enabled() const
{
    if (m_toolkit_widget && !m_toolkit_widget->active()) return false;
    GuiWidget const* parent = get_parent();
    return parent ? parent->is_enabled() : true;
}

void GuiWidget::enable()
{
    if (is_enabled() || !m_toolkit_widget) return;
    m_toolkit_widget->activate();
    redraw();
}

void GuiWidget::disable()
{
    if (!is_enabled() || !m_toolkit_widget) return;
    m_toolkit_widget->deactivate();
    redraw();
}

void GuiWidget::set_enable(bool const& enable)
{
    if (enable)
        this->enable();
    else
        disable();
}

bool GuiWidget::is_active() const
{
    return m_toolkit_widget && m_toolkit_widget->active();
}

// Focus -----------------------------------------------------------------------------------------------------

bool GuiWidget::is_focus_changing()
{
    return s_focus_changing;
}

bool GuiWidget::has_focus() const
{
    return m_toolkit_widget && Fl::focus() == m_toolkit_widget;
}

void GuiWidget::lose_focus()
{
    // While set_focus moves the focus to another widget, the window does not take it between.
    if (!has_focus() || s_focus_changing) return;
    if (GuiWidget* window = get_window())
        static_cast<GuiWindow*>(window)->_lose_focus();
    else
        Fl::focus(nullptr);
}

GuiWidget* GuiWidget::get_focused_widget()
{
    Fl_Widget* focus = Fl::focus();
    if (!focus || !dynamic_cast<GuiRouter*>(focus)) return nullptr;
    return static_cast<GuiWidget*>(focus->user_data());
}

bool GuiWidget::children_has_focus(GuiWidget* widget)
{
    if (m_children_focus.is_empty()) {
        for (GuiWidget* focused = get_focused_widget(); focused; focused = focused->get_parent())
            m_children_focus.add(focused);
    }
    return m_children_focus.has(widget);
}

void GuiWidget::set_focus_receiver(bool const& receiver)
{
    if (!m_toolkit_widget) return;
    if (receiver)
        m_toolkit_widget->set_visible_focus();
    else
        m_toolkit_widget->clear_visible_focus();
}

bool GuiWidget::is_focus_receiver() const
{
    return m_toolkit_widget && m_toolkit_widget->visible_focus() && is_enabled();
}

bool GuiWidget::is_candidate_for_focus(GuiWidget const& widget)
{
    return widget.m_toolkit_widget && widget.m_toolkit_widget->visible_focus() && widget.is_enabled() &&
           widget.is_shown();
}

GuiWidget* GuiWidget::get_next_focus_widget()
{
    GuiWidget* parent = get_parent();
    if (m_index_in_parent < 0 || !m_tab_navigation || !parent)
        return parent ? parent->get_next_focus_widget() : this;
    CoreVector<GuiWidget*> const& siblings = parent->m_children;
    int const count = static_cast<int>(siblings.get_count());
    for (int i = m_index_in_parent + 1; i < count; ++i)
        if (siblings[i] != this && is_candidate_for_focus(*siblings[i])) return siblings[i];
    for (int i = 0; i < m_index_in_parent && i < count; ++i)
        if (siblings[i] != this && is_candidate_for_focus(*siblings[i])) return siblings[i];
    return parent->get_next_focus_widget();
}

GuiWidget* GuiWidget::get_previous_focus_widget()
{
    GuiWidget* parent = get_parent();
    if (m_index_in_parent < 0 || !m_tab_navigation || !parent)
        return parent ? parent->get_previous_focus_widget() : this;
    CoreVector<GuiWidget*> const& siblings = parent->m_children;
    int const count = static_cast<int>(siblings.get_count());
    for (int i = std::min(m_index_in_parent, count) - 1; i >= 0; --i)
        if (siblings[i] != this && is_candidate_for_focus(*siblings[i])) return siblings[i];
    for (int i = count - 1; i > m_index_in_parent; --i)
        if (siblings[i] != this && is_candidate_for_focus(*siblings[i])) return siblings[i];
    return parent->get_previous_focus_widget();
}

void GuiWidget::give_focus_to_next_widget()
{
    GuiWidget* next = get_next_focus_widget();
    if (next && next != this && !is_window_widget(next)) {
        next->set_focus();
    } else if (has_focus()) {
        if (GuiWidget* window = get_window()) static_cast<GuiWindow*>(window)->_lose_focus();
    }
}

void GuiWidget::give_focus_to_previous_widget()
{
    GuiWidget* previous = get_previous_focus_widget();
    if (previous && previous != this && !is_window_widget(previous)) {
        previous->set_focus();
    } else if (has_focus()) {
        if (GuiWidget* window = get_window()) static_cast<GuiWindow*>(window)->_lose_focus();
    }
}

void GuiWidget::set_focus()
{
    if (is_window_widget(this) || !m_toolkit_widget) return;
    if (!m_toolkit_widget->visible_focus() || !is_enabled() || Fl::focus() == m_toolkit_widget) return;
    bool const was_changing = s_focus_changing;
    s_focus_changing = true;
    GuiWidget* window = get_window();
    bool const popup = window && window->get_class_info().get_name() == "GuiPopup";
    if (Fl::grab() && !popup) {
        s_focus_changing = was_changing;
        return;
    }
    GuiWidget* previous = get_focused_widget();
    if (previous && previous != this && previous->has_focus()) {
        previous->raise_event(EVT_ID_WIDGET_FOCUS_OUT);
        previous->lose_focus();
    }
    Fl_Window* grab = popup ? Fl::grab() : nullptr;
    if (grab) Fl::grab(nullptr);
    Fl::focus(m_toolkit_widget);
    if (popup) m_toolkit_widget->handle(FL_FOCUS);
    if (grab) Fl::grab(grab);
    // The toolkit keeps the focus where it is while another window grabs the events.
    if (Fl::focus() != m_toolkit_widget) {
        s_focus_changing = was_changing;
        return;
    }
    GuiRouter* router = get_router();
    if (router) router->set_pass_to_toolkit(false);
    process_event(EVT_ID_WIDGET_FOCUS_IN);
    if (router) router->set_pass_to_toolkit(true);
    raise_event(EVT_ID_WIDGET_FOCUS_IN);
    m_last_focused_widget = this;
    redraw();
    if (window) static_cast<GuiWindow*>(window)->widget_focus_changed();
    m_children_focus.clear();
    s_focus_changing = was_changing;
}

void GuiWidget::capture_events(bool const& capture)
{
    if (capture == m_capturing) return;
    GuiWidget* window = get_window();
    Fl_Window* toolkit_window = nullptr;
    if (window && window->get_widget()) toolkit_window = window->get_widget()->as_window();
    if (!toolkit_window) toolkit_window = m_own_window;
    if (capture) {
        if (!toolkit_window) return;
        Fl::grab(toolkit_window);
    } else if (Fl::grab() && Fl::grab() == toolkit_window) {
        // Only our own grab is released; a popup's stays.
        Fl::grab(nullptr);
    }
    m_capturing = capture;
}

// Appearance ----------------------------------------------------------------------------------------------------

GMathVec3<unsigned char> GuiWidget::get_highlighted_color(GMathVec3<unsigned char> const& color,
                                                          float const& factor, bool const& keep_hue)
{
    float scaled[3];
    bool saturated = false;
    for (int i = 0; i < 3; ++i) {
        scaled[i] = std::clamp(static_cast<float>(color[i]) * factor, 0.0f, 255.0f);
        if (scaled[i] >= 255.0f) saturated = true;
    }
    if (keep_hue && saturated) {
        float scale = 255.0f;
        for (int i = 0; i < 3; ++i)
            if (color[i] > 0) scale = std::min(scale, scaled[i] / static_cast<float>(color[i]));
        for (int i = 0; i < 3; ++i) scaled[i] = std::clamp(static_cast<float>(color[i]) * scale, 0.0f, 255.0f);
    }
    return GMathVec3<unsigned char>(static_cast<unsigned char>(scaled[0]), static_cast<unsigned char>(scaled[1]),
                                    static_cast<unsigned char>(scaled[2]));
}

GuiColorScheme const& GuiWidget::get_color_scheme() const
{
    if (m_color_scheme) return *m_color_scheme;
    if (GuiWidget const* parent = get_parent()) return parent->get_color_scheme();
    return m_application->get_color_scheme();
}

GMathVec3<unsigned char> const& GuiWidget::get_color(GuiColorScheme::Group const& group,
                                                     GuiColorScheme::Role const& role) const
{
    return get_color_scheme().get_color(group, role);
}

void GuiWidget::get_color(GuiColorScheme::Group const& group, GuiColorScheme::Role const& role, unsigned char& r,
                          unsigned char& g, unsigned char& b) const
{
    get_color_scheme().get_color(group, role, r, g, b);
}

GMathVec3<unsigned char> const& GuiWidget::get_color(GuiColorScheme::Role const& role) const
{
    return get_color_scheme().get_color(get_color_group(), role);
}

GuiColorScheme::Group GuiWidget::get_color_group() const
{
    return is_enabled() ? GuiColorScheme::GROUP_NORMAL : GuiColorScheme::GROUP_DISABLED;
}

void GuiWidget::set_color(GuiColorScheme::Group const& group, GuiColorScheme::Role const& role,
                          unsigned char const& r, unsigned char const& g, unsigned char const& b)
{
    set_color(group, role, GMathVec3<unsigned char>(r, g, b));
}

void GuiWidget::set_color(GuiColorScheme::Group const& group, GuiColorScheme::Role const& role,
                          GMathVec3<unsigned char> const& color)
{
    if (!m_color_scheme) m_color_scheme = new GuiColorScheme(*this);
    m_color_scheme->set_color(group, role, color);
}

void GuiWidget::update_color_scheme(GuiColorScheme const& scheme)
{
    if (m_color_scheme) m_color_scheme->update(scheme);
    GuiColorScheme const& passed = m_color_scheme ? *m_color_scheme : scheme;
    redraw();
    for (GuiWidget* child : CoreVector<GuiWidget*>(m_children))
        if (!child->m_destroyed) child->update_color_scheme(passed);
}

GuiFont& GuiWidget::get_font()
{
    if (!m_font) m_font = new GuiFont(GuiFont::get_default());
    return *m_font;
}

void GuiWidget::set_font(GuiFont const& font)
{
    get_font() = font;
    redraw();
}

void GuiWidget::get_text_size(CoreString const& text, int& w, int& h)
{
    get_font().get_text_size(text, w, h);
}

void GuiWidget::get_text_size(char const* text, int& w, int& h)
{
    get_font().get_text_size(text, w, h);
}

void GuiWidget::set_mouse_cursor(Gui::MouseCursorId const& id)
{
    m_mouse_cursor = id;
    if (m_entered) apply_mouse_cursor();
}

void GuiWidget::apply_mouse_cursor() const
{
    if (GuiWidget* window = get_window())
        static_cast<GuiWindow*>(window)->_set_mouse_cursor(m_mouse_cursor);
    else if (m_own_window)
        m_own_window->cursor(static_cast<Fl_Cursor>(m_mouse_cursor));
}

void GuiWidget::set_tooltip(CoreString const& tooltip)
{
    m_tooltip = tooltip;
    get_toolkit_root()->copy_tooltip(m_tooltip.is_empty() ? nullptr : m_tooltip.get_data());
}

void GuiWidget::force_tooltip()
{
    if (!m_toolkit_widget) return;
    Fl_Tooltip::exit(m_toolkit_widget);
    Fl_Tooltip::current(nullptr);
    Fl_Tooltip::enter(m_toolkit_widget);
}

// Events and drawing ----------------------------------------------------------------------------------------------

void GuiWidget::draw(GuiDc&)
{
    if (GuiRouter* router = get_router()) router->draw_base();
}

void GuiWidget::widget_update() {}

void GuiWidget::on_add_child(GuiWidget*) {}

void GuiWidget::on_remove_child(GuiWidget*) {}

int GuiWidget::process_event(CoreString const& name)
{
    m_last_event_widget = this;
    if (name == EVT_ID_WIDGET_SHOW || name == EVT_ID_WIDGET_HIDE) m_entered = false;
    // The focus may also move without set_focus (the toolkit gives it on its own).
    if (name == EVT_ID_WIDGET_FOCUS_IN || name == EVT_ID_WIDGET_FOCUS_OUT) m_children_focus.clear();
    GuiRouter* router = get_router();
    if (name == EVT_ID_KEY_DOWN) {
        static CoreClassInfo const* text_edit = nullptr;
        if (!text_edit) text_edit = CoreClassInfo::find("GuiTextEdit");
        bool const is_text_edit = text_edit && is_kindof(*text_edit);
        if (has_focus() && !is_text_edit && m_tab_navigation && Fl::event_key() == FL_Tab) {
            if (Fl::event_state(FL_SHIFT))
                give_focus_to_previous_widget();
            else
                give_focus_to_next_widget();
            return 1;
        }
        if (router && router->is_pass_to_toolkit() && router->handle_event(name)) return 1;
        if (has_focus()) {
            for (GuiWidget* widget = this; widget; widget = widget->get_parent())
                if (widget->process_actions()) return 1;
        }
    }
    if (!router || !router->is_pass_to_toolkit()) return 0;
    return router->handle_event(name);
}

void GuiWidget::paste(CoreString const& text)
{
    m_application->on_paste(*this, text);
}

void GuiWidget::set_is_dirty(bool const& dirty)
{
    if (dirty)
        m_application->add_pending_update(this);
    else
        m_application->remove_pending_update(this);
}

bool GuiWidget::get_is_dirty() const
{
    return m_application->is_pending_update(const_cast<GuiWidget*>(this));
}

// Drag throttling -----------------------------------------------------------------------------------------------

GuiWidget* GuiWidget::get_drag_widget()
{
    return drag_state().widget;
}

double GuiWidget::get_drag_elapsed_time()
{
    return drag_state().watch.get_elapsed_time() * 1000.0;
}

unsigned int GuiWidget::get_drag_event_count()
{
    return drag_state().count;
}

void GuiWidget::start_drag_timer(GuiWidget* widget)
{
    DragState& drag = drag_state();
    drag.widget = widget;
    drag.count = 0;
    drag.watch.reset();
    drag.watch.start();
}

void GuiWidget::stop_drag_timer()
{
    DragState& drag = drag_state();
    drag.widget = nullptr;
    drag.watch.stop();
    drag.watch.reset();
}

void GuiWidget::reset_drag_timer()
{
    drag_state().watch.reset();
}

void GuiWidget::count_drag_event()
{
    ++drag_state().count;
}

// Drag and drop --------------------------------------------------------------------------------------------------

GuiWidget* GuiWidget::get_dnd_widget()
{
    return dnd_state().source;
}

GuiWidget* GuiWidget::get_dnd_accepting_widget()
{
    return dnd_state().accepting;
}

void GuiWidget::set_dnd_accepting_widget(GuiWidget* widget)
{
    dnd_state().accepting = widget;
}

CoreVector<CoreBaseObject*> const& GuiWidget::get_dnd_event_data()
{
    return dnd_state().payload;
}

bool GuiWidget::is_dnd_running()
{
    return dnd_state().loop_running.load();
}

void GuiWidget::on_dnd_timeout(void* data)
{
    GuiApp* app = GuiApp::get_gui_instance();
    if (app && !app->is_events_blocked() && !app->is_blocking()) app->check_for_events();
    Fl::repeat_timeout(0.05, &GuiWidget::on_dnd_timeout, data);
}

bool GuiWidget::initiate_dnd_event(CoreVector<CoreBaseObject*> const& objects)
{
    DndState& dnd = dnd_state();
    if (dnd.in_progress) return true;
    // The drag loop handles events: nothing is deleted until it returns.
    GuiApp::EventScope scope;
    dnd.in_progress = true;
    dnd.loop_running.exchange(true);
    Fl::add_timeout(0.05, &GuiWidget::on_dnd_timeout, this);
    for (CoreBaseObject* object : objects)
        if (object) dnd.payload.add(object);
    bool dropped = false;
    if (!dnd.payload.is_empty()) {
        if (!Fl::first_window()) {
            CORE_LOG_WARNING("GuiWidget.initiate_dnd_event: no window is shown, nothing is dragged\n");
        } else {
            dnd.source = this;
            // The X drag loop carries text: the payload's class names, for other programs.
            CoreString text;
            for (CoreBaseObject* object : dnd.payload) {
                if (!text.is_empty()) text += "\n";
                text += object->get_class_info().get_name();
            }
            Fl::copy(text.get_data(), static_cast<int>(text.get_length()), 0);
            dropped = Fl::dnd() != 0;
            GuiWidget* accepting = dnd.accepting;
            static CoreClassInfo const* gl_widget = nullptr;
            if (!gl_widget) gl_widget = CoreClassInfo::find("GuiGlWidget");
            if (dropped && accepting && gl_widget && accepting->is_kindof(*gl_widget) &&
                Gui::get_below_mouse_widget()) {
                // OpenGL widgets take the drop in their own coordinates.
                GuiWidget* window = accepting->get_window();
                int wx = window ? window->get_x() : 0, wy = window ? window->get_y() : 0;
                Fl::e_x = Gui::get_mouse_screen_position_x() - wx - accepting->get_x();
                Fl::e_y = Gui::get_mouse_screen_position_y() - wy - accepting->get_y();
                accepting->process_event(EVT_ID_DND_RELEASE);
            }
        }
    }
    dnd.payload.clear();
    dnd.source = nullptr;
    dnd.accepting = nullptr;
    dnd.loop_running.exchange(false);
    Fl::remove_timeout(&GuiWidget::on_dnd_timeout, this);
    dnd.in_progress = false;
    redraw();
    return dropped;
}

bool GuiWidget::initiate_dnd_event(CoreBaseObject* object)
{
    CoreVector<CoreBaseObject*> objects;
    objects.add(object);
    return initiate_dnd_event(objects);
}

bool GuiWidget::initiate_dnd_event(OfHandle const& handle)
{
    GuiDndHandle item(handle);
    return initiate_dnd_event(&item);
}

bool GuiWidget::initiate_dnd_event(CoreVector<OfHandle>& handles)
{
    CoreVector<GuiDndHandle> items;
    items.reserve(handles.get_count());
    for (OfHandle const& handle : handles) items.add(GuiDndHandle(handle));
    CoreVector<CoreBaseObject*> objects;
    for (GuiDndHandle& item : items) objects.add(&item);
    return initiate_dnd_event(objects);
}

OfHandle const* GuiWidget::get_dnd_handle(CoreBaseObject const* object)
{
    GuiDndHandle const* item = dynamic_cast<GuiDndHandle const*>(object);
    return item ? &item->get_handle() : nullptr;
}
