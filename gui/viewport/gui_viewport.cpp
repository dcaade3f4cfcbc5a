#include "gui/viewport/gui_viewport.h"

#include <algorithm>
#include <string>

#include "gui/controls/gui_button_base.h"
#include "gui/controls/gui_grid.h"
#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_floating_window.h"
#include "gui/viewport/gui_basic_viewport_widget.h"
#include "gui/viewport/gui_viewport_parts.h"
#include "host/core/core_log.h"
#include "host/parser/parser_group.h"

EVENT_DEFINE_ID(EVT_ID_VIEWPORT_AUTO_EVALUATION_CHANGED);
EVENT_DEFINE_ID(EVT_ID_VIEWPORT_CLOSE);
EVENT_DEFINE_ID(EVT_ID_VIEWPORT_LAYOUT_CHANGED);

CORE_IMPLEMENT_CLASS(GuiViewport, GuiWidget)

namespace {

// Lends the application the calls that pause and restore every viewport's evaluation, and
// floating windows the calls on the frames they hold.
bool const s_access_lent =
    (GuiAppViewports::set_auto_evaluation_access(
         [](GuiViewport const& viewport) { return viewport.get_auto_evaluation(); },
         [](GuiViewport& viewport, bool on) { viewport.set_auto_evaluation(on); }),
     GuiAppViewports::set_frame_access(
         {[](GuiViewport& frame) { GuiViewport::show_alone(frame); },
          [](GuiViewport& frame) { GuiViewport::show_all(frame); },
          [](GuiViewport const& frame, ParserGroup& group, bool with_view) { frame.get_layout(group, with_view); },
          [](GuiViewport& frame, ParserEntry const& entry) { return frame.set_layout(entry); },
          [](GuiViewport const& frame, unsigned int index) -> GuiWidget* { return frame.get_viewport_widget(index); }}),
     true);

constexpr char const* NO_EDITOR = "(none)";
constexpr int SPLIT_SIZE = 500;

// Cell of the child at `index` of a split of `type`, as (column, row).
void cell_of(GuiViewport::Type const& type, unsigned int const& index, unsigned int& column, unsigned int& row)
{
    switch (type) {
    case GuiViewport::TYPE_HORIZONTAL: column = 0, row = index; break;
    case GuiViewport::TYPE_VERTICAL: column = index, row = 0; break;
    default: column = index % 2, row = index / 2; break;
    }
}

unsigned int child_count_of(GuiViewport::Type const& type)
{
    return type == GuiViewport::TYPE_QUAD ? 4u : type == GuiViewport::TYPE_SINGLE ? 0u : 2u;
}

char const* split_key(GuiViewport::Type const& type)
{
    switch (type) {
    case GuiViewport::TYPE_HORIZONTAL: return "split_h";
    case GuiViewport::TYPE_VERTICAL: return "split_v";
    case GuiViewport::TYPE_QUAD: return "split_q";
    default: return "views";
    }
}

bool read_bool(ParserGroup const& group, char const* key, bool& value)
{
    ParserEntry const* entry = group.get_entry(key);
    if (!entry || entry->get_value_count() == 0 || !entry->is_value_bool(0)) return false;
    value = entry->get_bool(0);
    return true;
}

// A ratio strictly between 0 and 1, or the middle.
double sane_ratio(ParserEntry const* entry, unsigned int const& index, CoreString& problems)
{
    if (!entry || entry->get_value_count() <= index || !entry->is_value_number(index)) {
        problems += " a split without its ratio;";
        return 0.5;
    }
    double const ratio = entry->get_double(index);
    if (!(ratio > 0.0 && ratio < 1.0)) {
        problems += " a ratio outside (0, 1);";
        return 0.5;
    }
    return ratio;
}

}  // namespace

char const* GuiViewport::get_type_name(Type const& type)
{
    switch (type) {
    case TYPE_SINGLE: return "TYPE_SINGLE";
    case TYPE_HORIZONTAL: return "TYPE_HORIZONTAL";
    case TYPE_VERTICAL: return "TYPE_VERTICAL";
    case TYPE_QUAD: return "TYPE_QUAD";
    default: return "TYPE_UNKNOWN";
    }
}

GuiViewport* GuiViewport::create_viewport(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
{
    GuiViewport* viewport = new GuiViewport(parent, x, y, w, h);
    viewport->set_constraints(CONSTRAINT_LEFT, CONSTRAINT_TOP, CONSTRAINT_RIGHT, CONSTRAINT_BOTTOM);
    return viewport;
}

GuiViewport::GuiViewport(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiWidget(parent, x, y, w, h)
{
    get_application().add_viewport(this);
    m_grid = new GuiGrid(*this, x, y, w, h, 1, 2);
    m_grid->set_constraints(CONSTRAINT_LEFT, CONSTRAINT_TOP, CONSTRAINT_RIGHT, CONSTRAINT_BOTTOM);
    m_toolbar = new GuiViewportToolbar(*m_grid, *this);
    m_tabs = new GuiViewportTabWidget(*m_grid, *this);
    connect(*m_tabs, EVT_ID_TAB_WIDGET_ON_TAB_CHANGE, &GuiViewport::on_tab_change);
    connect(*m_tabs, EVT_ID_TAB_WIDGET_ON_CLOSE_TAB_BUTTON, &GuiViewport::on_tab_close_button);
    m_grid->show();
    become_single();
}

GuiViewport::~GuiViewport()
{
    disconnect_all();
    get_application().remove_viewport(this);
}

GuiViewport* GuiViewport::get_parent_viewport() const
{
    GuiWidget* grid = get_parent();
    GuiWidget* above = grid ? grid->get_parent() : nullptr;
    if (!above || !above->is_kindof(GuiViewport::class_info())) return nullptr;
    GuiViewport* parent = static_cast<GuiViewport*>(above);
    return parent->m_grid == grid ? parent : nullptr;
}

GuiViewport* GuiViewport::get_root_viewport()
{
    GuiViewport* root = this;
    while (GuiViewport* parent = root->get_parent_viewport()) root = parent;
    return root;
}

GuiViewport* GuiViewport::get_child(unsigned int const& index) const
{
    return index < m_children.size() ? m_children[index] : nullptr;
}

void GuiViewport::notify_layout_changed()
{
    get_root_viewport()->raise_event(EVT_ID_VIEWPORT_LAYOUT_CHANGED);
}

// Tabs ------------------------------------------------------------------------------------------

GuiBasicViewportWidget* GuiViewport::create_and_add_widget(CoreString const& editor_class)
{
    if (m_type != TYPE_SINGLE) {
        CORE_LOG_WARNING("GuiViewport.create_and_add_widget: a split frame holds no tabs (\"" << editor_class
                                                                                           << "\")\n");
        return nullptr;
    }
    GuiBasicViewportWidget* editor = GuiViewportEditors::create(editor_class, *m_tabs);
    if (editor && !add_widget(*editor)) {
        editor->destroy();
        return nullptr;
    }
    return editor;
}

bool GuiViewport::add_widget(GuiBasicViewportWidget& widget)
{
    if (m_type != TYPE_SINGLE) {
        CORE_LOG_WARNING("GuiViewport.add_widget: a split frame holds no tabs\n");
        return false;
    }
    if (std::any_of(m_data.begin(), m_data.end(), [&](GuiViewportData const& d) { return d.widget == &widget; }))
        return false;
    GuiViewportData data;
    data.widget = &widget;
    data.evaluation_controlled = widget.is_evaluation_controlled();
    data.shadowed_controlled = widget.is_shadowed_controlled();
    m_data.push_back(data);
    // The tab widget's selection change looks the data up: it must be there first.
    unsigned int const index = m_tabs->add_tab(widget.get_title(), &widget);
    m_tabs->set_selected_tab(index);
    reset_controls();
    notify_layout_changed();
    return true;
}

GuiBasicViewportWidget* GuiViewport::get_viewport_widget(unsigned int const& index) const
{
    return index < m_data.size() ? m_data[index].widget : nullptr;
}

GuiViewportData const* GuiViewport::get_viewport_data(unsigned int const& index) const
{
    return index < m_data.size() ? &m_data[index] : nullptr;
}

int GuiViewport::get_selected_index() const
{
    return m_type == TYPE_SINGLE && !m_data.empty() ? m_tabs->get_selected_tab() : -1;
}

GuiBasicViewportWidget* GuiViewport::get_current_viewport_widget() const
{
    int const index = get_selected_index();
    return index >= 0 ? get_viewport_widget(static_cast<unsigned int>(index)) : nullptr;
}

void GuiViewport::select(unsigned int const& index)
{
    if (index >= m_data.size()) {
        CORE_LOG_WARNING("GuiViewport.select: tab " << index << " of " << m_data.size() << "\n");
        return;
    }
    m_tabs->set_selected_tab(index);
    reset_controls();
}

void GuiViewport::remove(unsigned int const& index)
{
    if (index >= m_data.size()) {
        CORE_LOG_WARNING("GuiViewport.remove: tab " << index << " of " << m_data.size() << "\n");
        return;
    }
    m_data.erase(m_data.begin() + index);
    m_tabs->remove_tab(index, true);
    reset_controls();
    notify_layout_changed();
}

void GuiViewport::clear()
{
    while (!m_data.empty()) remove(static_cast<unsigned int>(m_data.size() - 1));
}

void GuiViewport::close()
{
    if (get_parent_viewport()) {
        raise_event(EVT_ID_VIEWPORT_CLOSE);  // the parent destroys this frame
        return;
    }
    if (m_type == TYPE_SINGLE) clear();
}

void GuiViewport::take_tab(GuiViewport& other, unsigned int const& from, unsigned int const& to)
{
    GuiViewportData const data = other.m_data[from];
    other.m_data.erase(other.m_data.begin() + from);
    unsigned int const at = std::min<unsigned int>(to, static_cast<unsigned int>(m_data.size()));
    m_data.insert(m_data.begin() + at, data);
    CoreString const title = other.m_tabs->get_tab_name(from);
    other.m_tabs->remove_tab(from, false);
    unsigned int const index = m_tabs->insert_tab(at, title, data.widget);
    m_tabs->set_selected_tab(index);
}

bool GuiViewport::move_viewport_widget_from(GuiViewport& other, unsigned int const& from, unsigned int const& to)
{
    if (m_type != TYPE_SINGLE || other.m_type != TYPE_SINGLE) {
        CORE_LOG_WARNING("GuiViewport.move_viewport_widget_from: a split frame holds no tabs; nothing moves\n");
        return false;
    }
    if (from >= other.m_data.size()) {
        CORE_LOG_WARNING("GuiViewport.move_viewport_widget_from: no tab " << from << " to move ("
                                                                           << other.m_data.size() << " tabs)\n");
        return false;
    }
    if (&other == this) {
        unsigned int const last = static_cast<unsigned int>(m_data.size() - 1);
        unsigned int const at = std::min(to, last);
        GuiViewportData const data = m_data[from];
        m_data.erase(m_data.begin() + from);
        m_data.insert(m_data.begin() + at, data);
        m_tabs->move_tab(from, at, true);
    } else {
        take_tab(other, from, to);
        other.reset_controls();
    }
    reset_controls();
    notify_layout_changed();
    return true;
}

void GuiViewport::fill_viewport_from(GuiViewport& other)
{
    if (&other == this || m_type != TYPE_SINGLE) return;
    int const selected = other.get_selected_index();
    unsigned int const first = static_cast<unsigned int>(m_data.size());
    while (!other.m_data.empty()) take_tab(other, 0, static_cast<unsigned int>(m_data.size()));
    if (selected >= 0) m_tabs->set_selected_tab(first + static_cast<unsigned int>(selected));
    m_toolbar_minimized = other.m_toolbar_minimized;
    other.reset_controls();
    reset_controls();
}

GuiViewport* GuiViewport::undock_tab(unsigned int const& index)
{
    GuiWindow* window = static_cast<GuiWindow*>(get_window());
    if (index >= m_data.size() || !window) {
        CORE_LOG_WARNING("GuiViewport.undock_tab: no tab " << index << " to undock\n");
        return nullptr;
    }
    GuiBasicViewportWidget* editor = m_data[index].widget;
    int const w = std::max(200, editor->get_width()), h = std::max(150, editor->get_height() + 30);
    GMathVec2<int> const origin = window->get_position();
    auto* floating = new GuiFloatingWindow(*window, origin[0] + 40, origin[1] + 40, w, h, m_tabs->get_tab_name(index),
                                           nullptr);
    GuiViewport* frame = create_viewport(*floating, 0, 0, w, h);
    floating->set_content_widget(*frame);
    frame->move_viewport_widget_from(*this, index, 0);
    floating->show();
    return frame;
}

void GuiViewport::on_tab_change(GuiWidget&, EventInfo const&, void*)
{
    reset_controls();
}

void GuiViewport::on_tab_close_button(GuiWidget&, EventInfo const&, void*)
{
    unsigned int const index = m_tabs->get_clicked_tab();
    if (index < m_data.size()) remove(index);
}

// Splitting ---------------------------------------------------------------------------------------

void GuiViewport::become_single()
{
    m_grid->remove_all_widgets();
    m_grid->set_style(GuiGrid::STYLE_NO_BORDER);
    m_grid->set_cell_count(1, 2);
    m_grid->set_row_sizable(0, false);
    m_grid->set_row_sizable(1, true);
    m_grid->set_row_height(0, m_toolbar->get_height());
    m_grid->set_widget(*m_toolbar, 0, 0);
    m_grid->set_widget(*m_tabs, 0, 1);
    m_toolbar->show();
    m_tabs->show();
    m_children.clear();
    m_type = TYPE_SINGLE;
}

void GuiViewport::connect_child(GuiViewport& child)
{
    if (GuiViewport* old = child.get_parent_viewport(); old && old != this) old->disconnect_all(child);
    if (!is_connected(child, EVT_ID_VIEWPORT_CLOSE, nullptr))
        connect(child, EVT_ID_VIEWPORT_CLOSE, &GuiViewport::on_subview_close);
}

GuiViewport* GuiViewport::new_child()
{
    GuiViewport* child = new GuiViewport(*m_grid, get_x(), get_y(), SPLIT_SIZE, SPLIT_SIZE);
    child->m_auto_evaluation = m_auto_evaluation;
    return child;
}

void GuiViewport::adopt_children(Type const& type, std::vector<GuiViewport*> const& children,
                                 std::vector<double> const& ratios)
{
    m_grid->remove_all_widgets();
    m_toolbar->hide();
    m_tabs->hide();
    unsigned int const columns = type == TYPE_HORIZONTAL ? 1 : 2;
    unsigned int const rows = type == TYPE_VERTICAL ? 1 : 2;
    m_grid->set_style(GuiGrid::STYLE_BORDER);
    m_grid->set_cell_count(columns, rows);
    for (unsigned int c = 0; c < columns; ++c) m_grid->set_column_sizable(c, true);
    for (unsigned int r = 0; r < rows; ++r) m_grid->set_row_sizable(r, true);
    double const column_ratio = type == TYPE_VERTICAL || type == TYPE_QUAD ? ratios.at(0) : 1.0;
    double const row_ratio = type == TYPE_HORIZONTAL ? ratios.at(0) : type == TYPE_QUAD ? ratios.at(1) : 1.0;
    if (columns == 2) {
        m_grid->set_column_ratio(0, column_ratio);
        m_grid->set_column_ratio(1, 1.0 - column_ratio);
    } else {
        m_grid->set_column_ratio(0, 1.0);
    }
    if (rows == 2) {
        m_grid->set_row_ratio(0, row_ratio);
        m_grid->set_row_ratio(1, 1.0 - row_ratio);
    } else {
        m_grid->set_row_ratio(0, 1.0);
    }
    m_children = children;
    for (unsigned int i = 0; i < children.size(); ++i) {
        GuiViewport& child = *children[i];
        connect_child(child);
        if (child.get_parent() != m_grid) child.set_parent(m_grid);
        unsigned int column = 0, row = 0;
        cell_of(type, i, column, row);
        m_grid->set_widget(child, column, row);
        child.show();
    }
    m_type = type;
}

bool GuiViewport::split(Type const& type)
{
    if (m_type != TYPE_SINGLE) return false;
    if (m_alone_child || m_maximized) show_all(*this);
    std::vector<GuiViewport*> children;
    for (unsigned int i = 0; i < child_count_of(type); ++i) children.push_back(new_child());
    children.front()->fill_viewport_from(*this);
    adopt_children(type, children, {0.5, 0.5});
    notify_layout_changed();
    return true;
}

bool GuiViewport::split_h()
{
    return split(TYPE_HORIZONTAL);
}

bool GuiViewport::split_v()
{
    return split(TYPE_VERTICAL);
}

bool GuiViewport::split_q()
{
    return split(TYPE_QUAD);
}

void GuiViewport::detach_children()
{
    for (GuiViewport* child : m_children) disconnect_all(*child);
    m_children.clear();
    m_grid->remove_all_widgets();
}

void GuiViewport::on_subview_close(GuiViewport& closing, EventInfo const&, void*)
{
    auto const found = std::find(m_children.begin(), m_children.end(), &closing);
    if (found == m_children.end()) return;
    if (m_alone_child) show_all(*this);
    unsigned int const index = static_cast<unsigned int>(found - m_children.begin());
    std::vector<GuiViewport*> const children = m_children;
    Type const type = m_type;
    double const column_ratio = m_grid->get_column_ratio(0);
    double const row_ratio = m_grid->get_row_ratio(0);
    detach_children();
    closing.clear();
    closing.destroy();

    if (type == TYPE_QUAD) {
        // The quarter's column-mate takes the whole column; the other column becomes a split
        // of its two frames, one above the other.
        unsigned int const column = index % 2, row = index / 2;
        GuiViewport* mate = children[column + 2 * (1 - row)];
        GuiViewport* pair = new_child();
        pair->adopt_children(TYPE_HORIZONTAL, {children[1 - column], children[(1 - column) + 2]}, {row_ratio});
        std::vector<GuiViewport*> const columns = column == 0 ? std::vector<GuiViewport*>{mate, pair}
                                                              : std::vector<GuiViewport*>{pair, mate};
        adopt_children(TYPE_VERTICAL, columns, {column_ratio});
        notify_layout_changed();
        return;
    }
    GuiViewport& remaining = *children[1 - index];
    if (remaining.m_type != TYPE_SINGLE) {
        // Its children, ratios and type come up one level.
        std::vector<GuiViewport*> const grandchildren = remaining.m_children;
        std::vector<double> const ratios = remaining.split_ratios();
        remaining.detach_children();
        adopt_children(remaining.m_type, grandchildren, ratios);
        remaining.become_single();
    } else {
        become_single();
        fill_viewport_from(remaining);
    }
    remaining.destroy();
    notify_layout_changed();
}

// Maximising ------------------------------------------------------------------------------------------

void GuiViewport::set_maximize(bool const& on, bool const& notify)
{
    if (m_maximized == on) return;
    if (on && !get_parent_viewport() && !notify) return;
    m_maximized = on;
    GuiWidget* window = get_window();
    bool const floating = window && window->is_kindof(GuiFloatingWindow::class_info());
    if (floating && notify) {
        auto* owner = static_cast<GuiFloatingWindow*>(window);
        if (on) owner->maximize_view(this);
        else owner->restore_view();
    } else {
        if (on) show_alone(*this);
        else show_all(*this);
        if (notify) {
            if (on) get_application().maximize_view(this);
            else get_application().restore_view();
        }
    }
    m_toolbar->set_checked(GuiViewportToolbar::BUTTON_MAXIMIZE, on);
    notify_layout_changed();
}

void GuiViewport::show_alone(GuiViewport& frame)
{
    show_all(frame);
    // Each split on the way up holds only the frame on the path, in one cell.
    GuiViewport* child = &frame;
    for (GuiViewport* parent = frame.get_parent_viewport(); parent; child = parent, parent = parent->get_parent_viewport()) {
        GuiGrid& grid = *parent->m_grid;
        parent->m_saved_ratios = parent->split_ratios();
        parent->m_alone_child = child;
        grid.remove_all_widgets();
        for (GuiViewport* other : parent->m_children)
            if (other != child) other->hide();
        grid.set_style(GuiGrid::STYLE_NO_BORDER);
        grid.set_cell_count(1, 1);
        grid.set_column_ratio(0, 1.0);
        grid.set_row_ratio(0, 1.0);
        grid.set_widget(*child, 0, 0);
    }
    frame.m_maximized = true;
}

void GuiViewport::show_all(GuiViewport& any_frame)
{
    GuiViewport* frame = any_frame.get_root_viewport();
    frame->m_maximized = false;
    while (frame && frame->m_alone_child) {
        GuiViewport* next = frame->m_alone_child;
        frame->m_alone_child = nullptr;
        std::vector<GuiViewport*> const children = frame->m_children;
        frame->adopt_children(frame->m_type, children, frame->m_saved_ratios);
        frame->m_saved_ratios.clear();
        frame = next;
        frame->m_maximized = false;
        frame->m_toolbar->set_checked(GuiViewportToolbar::BUTTON_MAXIMIZE, false);
    }
}

std::vector<double> GuiViewport::split_ratios() const
{
    if (m_alone_child) return m_saved_ratios;
    switch (m_type) {
    case TYPE_HORIZONTAL: return {m_grid->get_row_ratio(0)};
    case TYPE_VERTICAL: return {m_grid->get_column_ratio(0)};
    case TYPE_QUAD: return {m_grid->get_column_ratio(0), m_grid->get_row_ratio(0)};
    default: return {};
    }
}

// Switches --------------------------------------------------------------------------------------------

void GuiViewport::set_auto_evaluation(bool const& on)
{
    if (m_auto_evaluation == on) return;
    m_auto_evaluation = on;
    m_toolbar->set_checked(GuiViewportToolbar::BUTTON_PAUSE_EVALUATION, !on);
    raise_event(EVT_ID_VIEWPORT_AUTO_EVALUATION_CHANGED);
}

GuiViewportData* GuiViewport::current_data()
{
    int const index = get_selected_index();
    return index >= 0 ? &m_data[static_cast<size_t>(index)] : nullptr;
}

bool GuiViewport::get_selection_is_locked() const
{
    GuiViewportData const* data = const_cast<GuiViewport*>(this)->current_data();
    return data && data->selection_locked;
}

void GuiViewport::lock_selection_button()
{
    GuiViewportData* data = current_data();
    if (!data || !data->widget->is_selection_lock_controlled()) return;
    data->selection_locked = !data->selection_locked;
    data->widget->on_selection_lock_changed(data->selection_locked);
    reset_controls();
}

void GuiViewport::set_tab_evaluation(bool const& on)
{
    GuiViewportData* data = current_data();
    if (!data || !data->evaluation_controlled) return;
    data->evaluation = on;
    data->widget->on_evaluation_changed(on);
    reset_controls();
}

void GuiViewport::set_tab_shadowed(bool const& on)
{
    GuiViewportData* data = current_data();
    if (!data || !data->shadowed_controlled) return;
    data->shadowed = on;
    data->widget->on_shadowed_changed(on);
    reset_controls();
}

void GuiViewport::reset_controls()
{
    GuiViewportData const* data = current_data();
    using Bar = GuiViewportToolbar;
    auto const enable = [this](Bar::Button button, bool on) {
        GuiWidget* widget = m_toolbar->get_button(button);
        if (on) widget->enable();
        else widget->disable();
    };
    bool const lockable = data && data->widget->is_selection_lock_controlled();
    enable(Bar::BUTTON_LOCK_SELECTION, lockable);
    enable(Bar::BUTTON_STICKY_SELECTION, data != nullptr);
    enable(Bar::BUTTON_SHOW_SHADOWED, data && data->shadowed_controlled);
    enable(Bar::BUTTON_ENABLE_EVALUATION, data && data->evaluation_controlled);
    enable(Bar::BUTTON_REFRESH, data != nullptr);
    enable(Bar::BUTTON_MAXIMIZE, m_resizable);
    m_toolbar->set_checked(Bar::BUTTON_LOCK_SELECTION, data && data->selection_locked);
    m_toolbar->set_checked(Bar::BUTTON_SHOW_SHADOWED, data && data->shadowed);
    m_toolbar->set_checked(Bar::BUTTON_ENABLE_EVALUATION, data && data->evaluation_controlled && data->evaluation);
    m_toolbar->set_checked(Bar::BUTTON_PAUSE_EVALUATION, !m_auto_evaluation);
    m_toolbar->set_checked(Bar::BUTTON_MAXIMIZE, m_maximized);
}

// Keys ---------------------------------------------------------------------------------------------------

int GuiViewport::process_event(CoreString const& name)
{
    if (name != EVT_ID_KEY_SHORTCUT) return GuiWidget::process_event(name);
    int const key = Gui::get_last_key_pressed();
    bool const ctrl = Gui::is_modifier_ctrl(), shift = Gui::is_modifier_shift(), alt = Gui::is_modifier_alt();
    GuiBasicViewportWidget* editor = get_current_viewport_widget();
    if (key == Gui::KEY_ID_F5 && ctrl && !shift && !alt) {
        lock_selection_button();
        return 1;
    }
    if (key == Gui::KEY_ID_F5 && shift && !ctrl && !alt) {
        if (editor) {
            ParserGroup settings;
            editor->save_settings(settings.add_group("settings"));
            editor->load_settings(*settings.get_group("settings"));
        }
        return 1;
    }
    if (key == Gui::KEY_ID_F5 && !shift && !ctrl && !alt) {
        if (editor) editor->refresh_selection();
        return 1;
    }
    if (key == ' ' && shift && !ctrl && !alt && m_resizable && m_type == TYPE_SINGLE) {
        set_maximize(!m_maximized);
        return 1;
    }
    return GuiWidget::process_event(name);
}

// Layouts ------------------------------------------------------------------------------------------------

void GuiViewport::write_tab(ParserGroup& views, GuiViewportData const& data) const
{
    ParserGroup& tab = views.add_group("tab");
    tab.add_entry("editor").add_string(data.widget->get_editor_name());
    ParserGroup settings;
    data.widget->save_settings(settings);
    if (!settings.is_empty()) tab.add_entry("settings").add_group(settings);
    tab.add_entry("#version").add_double(data.widget->get_editor_version());
    tab.add_entry("selection_locked").add_bool(data.selection_locked);
    if (data.evaluation_controlled) tab.add_entry("evaluation_mode").add_bool(data.evaluation);
    if (data.shadowed_controlled) tab.add_entry("show_shadowed").add_bool(data.shadowed);
}

void GuiViewport::get_layout(ParserGroup& group, bool const& with_view) const
{
    if (m_type != TYPE_SINGLE) {
        ParserGroup& split = group.add_group(split_key(m_type));
        // Ratios as laid out, also while a frame inside is shown alone.
        ParserEntry& ratio = split.add_entry("ratio");
        for (double const value : split_ratios()) ratio.add_double(value);
        for (GuiViewport const* child : m_children) child->get_layout(split, with_view);
        return;
    }
    ParserGroup& views = group.add_group("views");
    for (GuiViewportData const& data : m_data) {
        if (data.widget && !data.widget->get_editor_name().is_empty())
            write_tab(views, data);
        else
            views.add_entry("editor").add_string(NO_EDITOR);
    }
    views.add_entry("selected_tab").add_int(get_selected_index());
    views.add_entry("toolbar_minimized").add_bool(m_toolbar->is_minimized());
    if (!with_view) return;
    ParserGroup& view = group.add_group("view");
    GuiBasicViewportWidget* current = get_current_viewport_widget();
    view.add_entry("editor").add_string(current && !current->get_editor_name().is_empty() ? current->get_editor_name()
                                                                                        : CoreString(NO_EDITOR));
    if (current) {
        ParserGroup settings;
        current->save_settings(settings);
        if (!settings.is_empty()) view.add_entry("settings").add_group(settings);
    }
    view.add_entry("toolbar_minimized").add_bool(m_toolbar->is_minimized());
    view.add_entry("selection_locked").add_bool(get_selection_is_locked());
}

bool GuiViewport::read_views(ParserGroup const& views, CoreString& problems)
{
    for (unsigned int i = 0; i < views.get_entry_count(); ++i) {
        ParserEntry const& entry = *views.get_entry(i);
        if (entry.get_name() != "tab") continue;
        ParserGroup const* tab = entry.get_group();
        ParserEntry const* editor_entry = tab ? tab->get_entry("editor") : nullptr;
        if (!editor_entry || editor_entry->get_value_count() == 0 || !editor_entry->is_value_string(0)) {
            problems += " a tab without its editor;";
            continue;
        }
        CoreString const& editor_class = editor_entry->get_string(0);
        if (!GuiViewportEditors::is_registered(editor_class)) {
            problems += CoreString(" an editor class \"") + editor_class + "\" that is not registered;";
            continue;
        }
        GuiBasicViewportWidget* editor = create_and_add_widget(editor_class);
        if (!editor) continue;
        if (ParserEntry const* settings = tab->get_entry("settings"); settings && settings->get_group())
            editor->load_settings(*settings->get_group());
        GuiViewportData& data = m_data.back();
        read_bool(*tab, "selection_locked", data.selection_locked);
        bool evaluation = data.evaluation;
        if (read_bool(*tab, "evaluation_mode", evaluation) || read_bool(*tab, "forced_evaluation_state", evaluation) ||
            read_bool(*tab, "evaluation", evaluation))
            data.evaluation = evaluation;
        read_bool(*tab, "show_shadowed", data.shadowed);
        if (data.selection_locked) editor->on_selection_lock_changed(true);
        if (data.evaluation_controlled) editor->on_evaluation_changed(data.evaluation);
        if (data.shadowed_controlled) editor->on_shadowed_changed(data.shadowed);
    }
    if (ParserEntry const* selected = views.get_entry("selected_tab");
        selected && selected->get_value_count() > 0 && selected->is_value_int(0)) {
        int64_t const index = selected->get_int(0);
        if (index >= 0 && static_cast<size_t>(index) < m_data.size()) m_tabs->set_selected_tab(static_cast<unsigned int>(index));
    }
    bool minimized = false;
    if (read_bool(views, "toolbar_minimized", minimized)) {
        if (minimized) m_toolbar->minimize();
        else m_toolbar->maximize();
    }
    reset_controls();
    return true;
}

bool GuiViewport::read_split(Type const& type, ParserGroup const& split, CoreString& problems)
{
    ParserEntry const* ratio = split.get_entry("ratio");
    std::vector<double> ratios{sane_ratio(ratio, 0, problems)};
    if (type == TYPE_QUAD) ratios.push_back(sane_ratio(ratio, 1, problems));
    std::vector<ParserEntry const*> layouts;
    for (unsigned int i = 0; i < split.get_entry_count(); ++i) {
        ParserEntry const& entry = *split.get_entry(i);
        CoreString const& name = entry.get_name();
        if (name == "views" || name == "split_h" || name == "split_v" || name == "split_q") layouts.push_back(&entry);
    }
    if (layouts.size() != child_count_of(type)) {
        problems += CoreString(" a ") + split_key(type) + " with " + CoreString(std::to_string(layouts.size()).c_str()) +
                    " children;";
        return false;
    }
    std::vector<GuiViewport*> children;
    for (size_t i = 0; i < layouts.size(); ++i) children.push_back(new_child());
    adopt_children(type, children, ratios);
    // Every child is read, so that a damaged one loses only its own part.
    bool ok = true;
    for (size_t i = 0; i < layouts.size(); ++i) {
        GuiViewport& child = *children[i];
        ParserEntry const& entry = *layouts[i];
        ParserGroup const* group = entry.get_group();
        if (!group) {
            problems += " a frame that is not a group;";
            ok = false;
        } else if (entry.get_name() == "views") {
            child.read_views(*group, problems);
        } else {
            Type const inner = entry.get_name() == "split_h"   ? TYPE_HORIZONTAL
                               : entry.get_name() == "split_v" ? TYPE_VERTICAL
                                                               : TYPE_QUAD;
            ok = child.read_split(inner, *group, problems) && ok;
        }
    }
    return ok;
}

bool GuiViewport::set_layout(ParserEntry const& entry)
{
    if (m_alone_child || m_maximized) show_all(*this);
    // Start from one empty single frame.
    if (m_type != TYPE_SINGLE) {
        std::vector<GuiViewport*> const children = m_children;
        detach_children();
        for (GuiViewport* child : children) child->destroy();
        become_single();
    }
    clear();
    CoreString const& key = entry.get_name();
    ParserGroup const* group = entry.get_group();
    CoreString problems;
    bool ok = group != nullptr;
    if (!group) {
        problems += " the entry holds no group;";
    } else if (key == "views") {
        read_views(*group, problems);
    } else if (key == "split_h" || key == "split_v" || key == "split_q") {
        ok = read_split(key == "split_h" ? TYPE_HORIZONTAL : key == "split_v" ? TYPE_VERTICAL : TYPE_QUAD, *group,
                        problems);
    } else {
        problems += CoreString(" an unknown frame \"") + key + "\";";
        ok = false;
    }
    if (!ok && m_type != TYPE_SINGLE) {
        // Keep the tabs that could be made, in one single frame.
        std::vector<GuiViewport*> const children = m_children;
        std::vector<GuiViewport*> leaves;
        for (size_t i = 0; i < children.size(); ++i) leaves.push_back(children[i]);
        detach_children();
        become_single();
        for (size_t i = 0; i < leaves.size(); ++i) {
            std::vector<GuiViewport*> stack{leaves[i]};
            while (!stack.empty()) {
                GuiViewport* frame = stack.back();
                stack.pop_back();
                for (GuiViewport* child : frame->m_children) stack.push_back(child);
                if (frame->m_type == TYPE_SINGLE) fill_viewport_from(*frame);
            }
            leaves[i]->destroy();
        }
    }
    if (!problems.is_empty()) {
        CORE_LOG_WARNING("GuiViewport.set_layout: the layout is damaged:" << problems
                                                                          << " what could be read is shown\n");
    }
    notify_layout_changed();
    return ok && problems.is_empty();
}

size_t GuiViewport::get_memory_size() const
{
    return GuiWidget::get_memory_size() - sizeof(GuiWidget) + sizeof(*this) +
           m_children.capacity() * sizeof(GuiViewport*) + m_data.capacity() * sizeof(GuiViewportData);
}
