#include "gui/tree/gui_tree_item_basic.h"

#include <algorithm>
#include <cctype>

#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_image.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/tree/gui_tree.h"

EVENT_DEFINE_ID(EVT_ID_TREE_ITEM_BASIC_RENAME);

CORE_IMPLEMENT_CLASS(GuiTreeItemBasicWidget, GuiWidget)
CORE_IMPLEMENT_CLASS(GuiTreeItemBasic, GuiTreeItem)

namespace {

// The editor of all basic items; it forgets itself when its tree takes it along.
class TreeRenameEditor : public GuiLineEdit {
public:
    static TreeRenameEditor* s_editor;
    static GuiTreeItemBasic* s_item;
    explicit TreeRenameEditor(GuiWidget& parent) : GuiLineEdit(parent, 0, 0, 10, 10)
    {
        set_style(STYLE_FLAT);
        enable_tab_navigation(false);
        s_editor = this;
    }
    ~TreeRenameEditor() override
    {
        if (s_editor == this) {
            s_editor = nullptr;
            s_item = nullptr;
        }
    }
};
TreeRenameEditor* TreeRenameEditor::s_editor = nullptr;
GuiTreeItemBasic* TreeRenameEditor::s_item = nullptr;

// The one rename that may be waiting for its timer.
struct PendingRename {
    GuiTreeItemBasic* item = nullptr;
    AppBase::TimerId timer = 0;
};
PendingRename g_pending;

}  // namespace

// The inner widget ------------------------------------------------------------------------------

GuiTreeItemBasicWidget::GuiTreeItemBasicWidget(GuiTreeItemBasic& item)
    : GuiWidget(item, item.get_x(), item.get_y(), std::max(0, item.get_width()), HEIGHT), m_item(&item)
{
}

int GuiTreeItemBasicWidget::get_text_x() const
{
    int x = get_x() + m_item->get_drawing_offset();
    if (GuiImage const* icon = m_item->get_icon()) x += static_cast<int>(icon->get_width()) + ICON_GAP;
    return x;
}

int GuiTreeItemBasicWidget::process_event(CoreString const& name)
{
    GuiTreeItemBasic& item = *m_item;
    if (name == EVT_ID_MOUSE_DOWN) {
        if (Gui::get_event_mouse_button() != Gui::MOUSE_BUTTON_ID_LEFT) return GuiWidget::process_event(name);
        if (Gui::is_double_click()) item.activate(true);
        return item.on_mouse_down() ? 1 : GuiWidget::process_event(name);
    }
    if (name == EVT_ID_MOUSE_UP) return item.on_mouse_up() ? 1 : GuiWidget::process_event(name);
    if (name == EVT_ID_MOUSE_DRAG) return item.on_mouse_drag() ? 1 : GuiWidget::process_event(name);
    if (name == EVT_ID_MOUSE_MOVE) return item.on_mouse_move() ? 1 : GuiWidget::process_event(name);
    if (name == EVT_ID_DND_ENTER) return item.on_dnd_enter() ? 1 : GuiWidget::process_event(name);
    if (name == EVT_ID_DND_DRAG) return item.on_dnd_drag() ? 1 : GuiWidget::process_event(name);
    if (name == EVT_ID_DND_LEAVE) return item.on_dnd_leave() ? 1 : GuiWidget::process_event(name);
    if (name == EVT_ID_DND_RELEASE) return item.on_dnd_release() ? 1 : GuiWidget::process_event(name);
    if (name == EVT_ID_MOUSE_WHEEL && item.get_tree()) return item.get_tree()->process_event(name);
    return GuiWidget::process_event(name);
}

void GuiTreeItemBasicWidget::draw(GuiDc& dc)
{
    GuiTreeItemBasic const& item = *m_item;
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    int icon_x = x + item.get_drawing_offset();
    if (GuiImage const* icon = item.get_icon()) {
        int const icon_y = y + (h - static_cast<int>(icon->get_height())) / 2;
        if (item.is_draw_icon_disabled())
            icon->draw_disabled(icon_x, icon_y);
        else
            icon->draw(icon_x, icon_y);
    }
    int const text_x = get_text_x();
    CoreString const& name = item.get_name();
    int const start = item.get_highlight_keyword_start(), length = item.get_highlight_keyword_length();
    if (length > 0 && start >= 0 && static_cast<unsigned int>(start) < name.get_length()) {
        int before_w = 0, span_w = 0, text_h = 0;
        get_text_size(name.sub_string(0, static_cast<unsigned int>(start)), before_w, text_h);
        get_text_size(name.sub_string(static_cast<unsigned int>(start), static_cast<unsigned int>(length)), span_w,
                      text_h);
        GMathVec3<unsigned char> const& color = item.get_highlight_color();
        wdc.draw_rectf(text_x + 2 + before_w, y + 2, span_w, h - 4, color[0], color[1], color[2]);
    }
    GMathVec3<unsigned char> const& color = item.is_selected() ? item.get_text_selected_color() : item.get_text_color();
    wdc.draw_text(name, text_x + 2, y, std::max(0, x + w - text_x - 2), h, color[0], color[1], color[2],
                  JUSTIFY_LEFT);
}

// The item -------------------------------------------------------------------------------------------

GuiTreeItemBasic::GuiTreeItemBasic(GuiTreeItem& parent_item, CoreString const& name)
    : GuiTreeItem(parent_item), m_name(name)
{
}

GuiTreeItemBasic::~GuiTreeItemBasic()
{
    cancel_pending_rename();
    if (is_renaming()) close_editor();
}

size_t GuiTreeItemBasic::get_memory_size() const
{
    return GuiTreeItem::get_memory_size() + (sizeof(GuiTreeItemBasic) - sizeof(GuiTreeItem)) + m_name.get_length() +
           m_icons.get_count() * sizeof(GuiImage const*);
}

void GuiTreeItemBasic::prepare_toolkit()
{
    GuiTreeItem::prepare_toolkit();
    if (!m_inner) {
        m_inner = new GuiTreeItemBasicWidget(*this);
        insert_widget(m_inner, 0);
    }
}

void GuiTreeItemBasic::set_name(CoreString const& name)
{
    if (name == m_name) return;
    m_name = name;
    if (m_inner) m_inner->redraw();
}

void GuiTreeItemBasic::set_icon(GuiImage const* icon)
{
    m_icons = icon ? CoreArray<GuiImage const*>(1, icon) : CoreArray<GuiImage const*>();
    if (m_inner) m_inner->redraw();
}

void GuiTreeItemBasic::set_icons(CoreArray<GuiImage const*> const& icons)
{
    m_icons = icons;
    if (m_inner) m_inner->redraw();
}

GuiImage const* GuiTreeItemBasic::get_icon() const
{
    return m_icons.get_count() ? m_icons[0] : nullptr;
}

void GuiTreeItemBasic::set_draw_icon_disabled(bool const& disabled)
{
    m_draw_icon_disabled = disabled;
    if (m_inner) m_inner->redraw();
}

void GuiTreeItemBasic::enable_highlight_keyword(int const& start, int const& length)
{
    m_keyword_start = std::max(0, start);
    m_keyword_length = std::max(0, length);
    if (m_inner) m_inner->redraw();
}

void GuiTreeItemBasic::disable_highlight_keyword()
{
    enable_highlight_keyword(0, 0);
}

void GuiTreeItemBasic::set_drawing_offset(int const& offset)
{
    m_drawing_offset = offset;
    if (m_inner) m_inner->redraw();
}

bool GuiTreeItemBasic::text_starts_with(char const& letter) const
{
    if (m_name.is_empty()) return false;
    return std::tolower(static_cast<unsigned char>(m_name.get_data()[0])) == static_cast<unsigned char>(letter);
}

// Renaming ---------------------------------------------------------------------------------------------

bool GuiTreeItemBasic::is_renamable() const
{
    return false;
}

CoreString GuiTreeItemBasic::get_item_name() const
{
    return m_name;
}

void GuiTreeItemBasic::set_item_name(CoreString const& name)
{
    set_name(name);
}

void GuiTreeItemBasic::on_rename(CoreString const& name)
{
    if (name == get_item_name()) return;
    set_item_name(name);
    raise_event(EVT_ID_TREE_ITEM_BASIC_RENAME);
    if (GuiTree* tree = get_tree()) tree->rename_item(this);
}

bool GuiTreeItemBasic::is_rename_pending()
{
    return g_pending.item != nullptr;
}

GuiTreeItemBasic* GuiTreeItemBasic::get_rename_pending_item()
{
    return g_pending.item;
}

GuiLineEdit* GuiTreeItemBasic::get_rename_editor()
{
    return TreeRenameEditor::s_editor;
}

bool GuiTreeItemBasic::is_renaming() const
{
    return TreeRenameEditor::s_editor && TreeRenameEditor::s_item == this;
}

void GuiTreeItemBasic::cancel_pending_rename()
{
    if (g_pending.item != this) return;
    get_application().remove_timer(g_pending.timer);
    g_pending = PendingRename();
}

void GuiTreeItemBasic::on_rename_timer(void*)
{
    GuiTreeItemBasic* item = g_pending.item;
    g_pending = PendingRename();
    if (item) item->rename();
}

void GuiTreeItemBasic::rename()
{
    cancel_pending_rename();
    GuiTree* tree = get_tree();
    if (!is_renamable() || !tree || !tree->is_shown() || !is_shown() || !m_inner || is_destroyed()) return;
    TreeRenameEditor* editor = TreeRenameEditor::s_editor;
    if (editor && editor->is_destroyed()) editor = nullptr;
    if (editor && TreeRenameEditor::s_item) TreeRenameEditor::s_item->close_editor();
    if (!editor)
        editor = new TreeRenameEditor(*tree);
    else if (editor->get_parent() != tree)
        editor->set_parent(tree);
    int const x = m_inner->get_text_x();
    editor->resize(x, get_y() + 1, std::max(20, get_x() + get_width() - x - 2), get_height() - 2);
    editor->set_text(get_item_name());
    editor->remove_all_connection();
    TreeRenameEditor::s_item = this;
    editor->bring_to_front();
    editor->show();
    editor->set_focus();
    editor->select_all();
    connect(*editor, EVT_ID_LINE_EDIT_CHANGED, &GuiTreeItemBasic::on_rename_end);
    connect(*editor, EVT_ID_LINE_EDIT_VALIDATE, &GuiTreeItemBasic::on_rename_end);
    connect(*editor, EVT_ID_LINE_EDIT_ESCAPE_PRESSED, &GuiTreeItemBasic::on_rename_end);
    connect(*editor, EVT_ID_WIDGET_FOCUS_OUT, &GuiTreeItemBasic::on_rename_end);
}

void GuiTreeItemBasic::close_editor()
{
    TreeRenameEditor* editor = TreeRenameEditor::s_editor;
    if (!editor || TreeRenameEditor::s_item != this) return;
    TreeRenameEditor::s_item = nullptr;
    disconnect_all(*editor);
    editor->hide();
}

void GuiTreeItemBasic::on_rename_end(GuiWidget&, EventInfo const& info, void*)
{
    TreeRenameEditor* editor = TreeRenameEditor::s_editor;
    if (!editor || !is_renaming()) return;
    CoreString const text = editor->get_text();
    bool const commit = info.get_name() == EVT_ID_LINE_EDIT_CHANGED;
    close_editor();
    if (commit) on_rename(text);
}

// Mouse hooks ---------------------------------------------------------------------------------------------

int GuiTreeItemBasic::on_mouse_down()
{
    GuiTree* tree = get_tree();
    if (!tree || !m_inner) return 0;
    if (!Gui::is_double_click()) {
        m_inner->set_focused_at_press(tree->has_focus());
        tree->press_item(this);
    }
    m_inner->set_pressed(true);
    return 1;
}

int GuiTreeItemBasic::on_mouse_up()
{
    GuiTree* tree = get_tree();
    if (!tree || !m_inner || !m_inner->is_pressed()) return 0;
    m_inner->set_pressed(false);
    if (Gui::is_double_click()) return 1;
    if (!tree->is_dragging() && is_renamable() && Gui::is_modifier_shift() && !Gui::is_modifier_ctrl() &&
        m_inner->is_focused_at_press()) {
        if (g_pending.item == this) {
            cancel_pending_rename();
        } else if (is_selected()) {
            if (g_pending.item) g_pending.item->cancel_pending_rename();
            g_pending.item = this;
            g_pending.timer = get_application().add_timer(&GuiTreeItemBasic::on_rename_timer, nullptr, RENAME_DELAY);
        }
    }
    tree->release_item(this);
    return 1;
}

int GuiTreeItemBasic::on_mouse_drag()
{
    GuiTree* tree = get_tree();
    if (!tree || !tree->is_drag_and_drop_enabled()) return 0;
    tree->drag_selection_to(tree->get_y() + Gui::get_relative_mouse_y(*tree));
    return 1;
}

int GuiTreeItemBasic::on_mouse_move()
{
    return 0;
}

int GuiTreeItemBasic::on_dnd_enter()
{
    return 0;
}

int GuiTreeItemBasic::on_dnd_drag()
{
    return 0;
}

int GuiTreeItemBasic::on_dnd_leave()
{
    return 0;
}

int GuiTreeItemBasic::on_dnd_release()
{
    return 0;
}
