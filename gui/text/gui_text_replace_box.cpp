#include "gui/text/gui_text_replace_box.h"

#include "gui/controls/gui_push_button.h"
#include "gui/core/gui.h"
#include "gui/fields/gui_label.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/text/gui_text_edit.h"

CORE_IMPLEMENT_CLASS(GuiTextReplaceBox, GuiWindow)

namespace {

constexpr int MARGIN = 12;
constexpr int ROW = 26;
constexpr int CAPTION_WIDTH = 100;
constexpr int BUTTON_WIDTH = 80;
constexpr int BUTTON_HEIGHT = 22;

// One preview row per string: line breaks inside a string are shown as spaces.
CoreString preview_line(CoreString const& text)
{
    CoreString line = text;
    line.replace('\n', ' ');
    line.replace('\r', ' ');
    return line;
}

}  // namespace

GuiTextReplaceBox::GuiTextReplaceBox(GuiApp& app, int const& x, int const& y, CoreVector<CoreString> const& input,
                                     CoreVector<CoreString>& output, std::vector<bool>& changed)
    : GuiWindow(app, x, y, WIDTH, HEIGHT, "Replace text"), m_input(input), m_output(&output), m_changed(&changed)
{
    set_resizable(false);
    add_default_background();
    int const field_x = 2 * MARGIN + CAPTION_WIDTH;
    int const field_w = WIDTH - field_x - MARGIN;
    (new GuiLabel(*this, MARGIN, MARGIN, CAPTION_WIDTH, 20, "Search text"))->show();
    m_search = new GuiLineEdit(*this, field_x, MARGIN, field_w, 20);
    (new GuiLabel(*this, MARGIN, MARGIN + ROW, CAPTION_WIDTH, 20, "Replace with"))->show();
    m_replace = new GuiLineEdit(*this, field_x, MARGIN + ROW, field_w, 20);
    int const preview_y = MARGIN + 2 * ROW + 4;
    (new GuiLabel(*this, MARGIN, preview_y, 200, 20, "Preview"))->show();
    int const column_w = (WIDTH - 3 * MARGIN) / 2;
    (new GuiLabel(*this, MARGIN, preview_y + 22, column_w, 20, "Original strings"))->show();
    (new GuiLabel(*this, 2 * MARGIN + column_w, preview_y + 22, column_w, 20, "Resulting strings"))->show();
    int const list_y = preview_y + 44;
    int const list_h = HEIGHT - list_y - 2 * MARGIN - BUTTON_HEIGHT;
    m_original = new GuiTextEdit(*this, MARGIN, list_y, column_w, list_h);
    m_result = new GuiTextEdit(*this, 2 * MARGIN + column_w, list_y, column_w, list_h);
    for (GuiTextEdit* view : {m_original, m_result}) {
        view->set_read_only(true);
        view->set_show_syntax_color(false);
        view->set_zoom_enabled(false);
    }
    int const buttons_y = HEIGHT - MARGIN - BUTTON_HEIGHT;
    m_clear = new GuiPushButton(*this, MARGIN, buttons_y, BUTTON_WIDTH, BUTTON_HEIGHT, "Clear");
    m_apply = new GuiPushButton(*this, WIDTH - 2 * (MARGIN + BUTTON_WIDTH), buttons_y, BUTTON_WIDTH, BUTTON_HEIGHT, "Apply");
    m_cancel = new GuiPushButton(*this, WIDTH - MARGIN - BUTTON_WIDTH, buttons_y, BUTTON_WIDTH, BUTTON_HEIGHT, "Cancel");
    for (GuiWidget* widget : std::initializer_list<GuiWidget*>{m_search, m_replace, m_original, m_result, m_clear, m_apply, m_cancel})
        widget->show();
    connect(*m_search, EVT_ID_LINE_EDIT_KEY_PRESSED, &GuiTextReplaceBox::on_edit);
    connect(*m_replace, EVT_ID_LINE_EDIT_KEY_PRESSED, &GuiTextReplaceBox::on_edit);
    connect(*m_clear, EVT_ID_PUSH_BUTTON_CLICK, &GuiTextReplaceBox::on_button);
    connect(*m_apply, EVT_ID_PUSH_BUTTON_CLICK, &GuiTextReplaceBox::on_button);
    connect(*m_cancel, EVT_ID_PUSH_BUTTON_CLICK, &GuiTextReplaceBox::on_button);
    for (unsigned int i = 0; i < m_input.get_count(); ++i) m_original->append(preview_line(m_input[i]));
    process_text_replacement();
}

GuiTextReplaceBox::~GuiTextReplaceBox() = default;

bool GuiTextReplaceBox::compute_text_replacement(CoreString const& in, CoreString& out, CoreString const& search,
                                                 CoreString const& replacement)
{
    out = in;
    if (in.is_empty() || search.is_empty() || replacement.is_empty()) return false;
    CoreVector<CoreString> const pieces = in.split(search, true);
    if (pieces.get_count() < 2) return false;
    CoreString joined;
    for (unsigned int i = 0; i < pieces.get_count(); ++i) {
        if (i > 0) joined += replacement;
        joined += pieces[i];
    }
    out = joined;
    return true;
}

bool GuiTextReplaceBox::compute_text_replacement(CoreVector<CoreString> const& in, CoreVector<CoreString>& out,
                                                 std::vector<bool>& changed, CoreString const& search,
                                                 CoreString const& replacement)
{
    out.clear();
    changed.clear();
    bool any = false;
    for (CoreString const& text : in) {
        CoreString result;
        bool const found = compute_text_replacement(text, result, search, replacement);
        out.add(result);
        changed.push_back(found);
        any = any || found;
    }
    return any;
}

void GuiTextReplaceBox::process_text_replacement()
{
    compute_text_replacement(m_input, m_results, m_changed_flags, m_search->get_text(), m_replace->get_text());
    // Changed results are tinted like warnings in a console.
    m_result->set_text(CoreString());
    for (unsigned int i = 0; i < m_results.get_count(); ++i)
        m_result->append(preview_line(m_results[i]), m_changed_flags[i] ? CORE_LOG_LEVEL_WARNING : CORE_LOG_LEVEL_INFO);
}

void GuiTextReplaceBox::validate_replacement()
{
    process_text_replacement();
    *m_output = m_results;
    *m_changed = m_changed_flags;
    m_answer = 1;
    hide();
}

void GuiTextReplaceBox::cancel()
{
    m_answer = 0;
    hide();
}

void GuiTextReplaceBox::clear()
{
    m_search->set_text(CoreString());
    m_replace->set_text(CoreString());
    process_text_replacement();
}

bool GuiTextReplaceBox::run()
{
    m_answer = -1;
    show_modal();
    m_search->set_focus();
    modal_blocking_loop();
    if (m_answer < 0) m_answer = 0;
    return m_answer == 1;
}

void GuiTextReplaceBox::on_edit(EventObject&, EventInfo const&, void*)
{
    process_text_replacement();
}

void GuiTextReplaceBox::on_button(EventObject& sender, EventInfo const&, void*)
{
    if (&sender == m_apply)
        validate_replacement();
    else if (&sender == m_cancel)
        cancel();
    else
        clear();
}

int GuiTextReplaceBox::process_event(CoreString const& name)
{
    if ((name == EVT_ID_KEY_DOWN || name == EVT_ID_KEY_SHORTCUT) && Gui::get_last_key_pressed() == Gui::KEY_ID_ESCAPE) {
        cancel();
        return 1;
    }
    return GuiWindow::process_event(name);
}
