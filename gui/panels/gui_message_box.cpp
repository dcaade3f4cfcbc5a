#include "gui/panels/gui_message_box.h"

#include <algorithm>

#include <FL/Fl.H>

#include "gui/core/gui_app.h"
#include "gui/controls/gui_checkbox.h"
#include "gui/controls/gui_push_button.h"
#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_font.h"

CORE_IMPLEMENT_CLASS(GuiMessageBox, GuiWindow)

namespace {

// The application shows its message boxes through this window.
bool const s_presenter_registered = (GuiApp::set_message_box_presenter(&GuiMessageBox::ask), true);

}  // namespace

namespace {

constexpr int MARGIN = 16;
constexpr int MIN_WIDTH = 300;
constexpr int MAX_WIDTH = 640;
constexpr int MAX_LIST_ROWS = 12;
char const* const APPLY_TO_ALL_LABEL = "Apply settings for all";

}  // namespace

// The message, wrapped in its box, or the list, one line per row.
class GuiMessageBoxLines : public GuiWidget {
public:
    GuiMessageBoxLines(GuiWidget& parent, bool const& list) : GuiWidget(parent, 0, 0, 10, 10), m_list(list) {}

    void set_lines(CoreVector<CoreString> const& lines)
    {
        m_lines = lines;
        redraw();
    }
    CoreVector<CoreString> const& get_lines() const { return m_lines; }

    void draw(GuiDc& dc) override
    {
        auto& wdc = static_cast<GuiWidgetDc&>(dc);
        int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
        GMathVec3<unsigned char> const& text = get_color(GuiColorScheme::ROLE_TEXT);
        if (!m_list) {
            if (!m_lines.is_empty()) wdc.draw_wrapped_text(m_lines[0], x, y, w, h, text[0], text[1], text[2]);
            return;
        }
        GMathVec3<unsigned char> const& well = get_color(GuiColorScheme::ROLE_BACKGROUND_DARK);
        GMathVec3<unsigned char> const& edge = get_color(GuiColorScheme::ROLE_EDGE_SHADOW);
        wdc.draw_rectf(x, y, w, h, well[0], well[1], well[2]);
        wdc.draw_rect(x, y, w, h, edge[0], edge[1], edge[2]);
        int const row = get_font().get_height() + 2;
        for (unsigned int i = 0; i < m_lines.get_count() && static_cast<int>((i + 1) * row) <= h - 4; ++i)
            wdc.draw_text_clampable(m_lines[i], x + 6, y + 2 + static_cast<int>(i) * row, w - 12, row, text[0],
                                    text[1], text[2], true, false, false);
    }

private:
    bool m_list;
    CoreVector<CoreString> m_lines;
};

GuiMessageBox::GuiMessageBox(GuiApp& app, int const& w, int const& h, CoreString const& title,
                             CoreString const& message)
    : GuiWindow(app, 0, 0, w, h, title)
{
    init(message);
}

GuiMessageBox::GuiMessageBox(GuiWindow& owner, int const& w, int const& h, CoreString const& title,
                             CoreString const& message)
    : GuiWindow(owner, 0, 0, w, h, title)
{
    init(message);
}

GuiMessageBox::~GuiMessageBox() = default;

void GuiMessageBox::init(CoreString const& message)
{
    add_default_background();
    m_message = new GuiMessageBoxLines(*this, false);
    m_message->set_lines(CoreVector<CoreString>{message});
    set_style(AppDialog::STYLE_OK);
}

char const* GuiMessageBox::get_button_label(int const& code)
{
    switch (code) {
    case AppDialog::ANSWER_OK: return "Ok";
    case AppDialog::ANSWER_CANCEL: return "Cancel";
    case AppDialog::ANSWER_ABORT: return "Abort";
    case AppDialog::ANSWER_RETRY: return "Retry";
    case AppDialog::ANSWER_IGNORE: return "Ignore";
    case AppDialog::ANSWER_YES: return "Yes";
    case AppDialog::ANSWER_NO: return "No";
    default: return "Unknown";
    }
}

CoreVector<int> GuiMessageBox::get_style_buttons(int const& style)
{
    switch (style & ~AppDialog::STYLE_APPLY_TO_ALL) {
    case AppDialog::STYLE_OK_CANCEL: return {AppDialog::ANSWER_OK, AppDialog::ANSWER_CANCEL};
    case AppDialog::STYLE_ABORT_RETRY_IGNORE:
        return {AppDialog::ANSWER_ABORT, AppDialog::ANSWER_RETRY, AppDialog::ANSWER_IGNORE};
    case AppDialog::STYLE_YES_NO_CANCEL: return {AppDialog::ANSWER_YES, AppDialog::ANSWER_NO, AppDialog::ANSWER_CANCEL};
    case AppDialog::STYLE_YES_NO: return {AppDialog::ANSWER_YES, AppDialog::ANSWER_NO};
    case AppDialog::STYLE_RETRY_CANCEL: return {AppDialog::ANSWER_RETRY, AppDialog::ANSWER_CANCEL};
    default: return {AppDialog::ANSWER_OK};
    }
}

int GuiMessageBox::get_enter_code(int const& style)
{
    switch (style & ~AppDialog::STYLE_APPLY_TO_ALL) {
    case AppDialog::STYLE_ABORT_RETRY_IGNORE:
    case AppDialog::STYLE_RETRY_CANCEL: return AppDialog::ANSWER_RETRY;
    case AppDialog::STYLE_YES_NO_CANCEL:
    case AppDialog::STYLE_YES_NO: return AppDialog::ANSWER_YES;
    default: return AppDialog::ANSWER_OK;
    }
}

int GuiMessageBox::get_escape_code(int const& style)
{
    switch (style & ~AppDialog::STYLE_APPLY_TO_ALL) {
    case AppDialog::STYLE_OK_CANCEL:
    case AppDialog::STYLE_YES_NO_CANCEL:
    case AppDialog::STYLE_RETRY_CANCEL: return AppDialog::ANSWER_CANCEL;
    case AppDialog::STYLE_ABORT_RETRY_IGNORE: return AppDialog::ANSWER_IGNORE;
    case AppDialog::STYLE_YES_NO: return AppDialog::ANSWER_NO;
    default: return AppDialog::ANSWER_OK;
    }
}

GMathVec2<int> GuiMessageBox::get_preferred_size(CoreString const& message, CoreVector<CoreString> const& list,
                                                 int const& style)
{
    GuiFont const& font = GuiFont::get_default();
    int text_w = 0, text_h = 0;
    font.get_text_size(message, text_w, text_h);
    int buttons_w = 0;
    for (int code : get_style_buttons(style)) {
        int w = 0, h = 0;
        font.get_text_size(get_button_label(code), w, h);
        buttons_w += std::max(w + 20, BUTTON_MIN_WIDTH) + BUTTON_GAP;
    }
    int const width = std::min(MAX_WIDTH, std::max({MIN_WIDTH, text_w + 2 * MARGIN, buttons_w + BUTTON_GAP}));
    int const line = std::max(1, font.get_height());
    // Lines longer than the box wrap.
    int const wrapped = (text_w + width - 2 * MARGIN - 1) / std::max(1, width - 2 * MARGIN);
    int const message_h = std::max(text_h, wrapped * line) + line;
    int const rows = std::min(MAX_LIST_ROWS, static_cast<int>(list.get_count()));
    int const list_h = rows > 0 ? rows * (line + 2) + 8 + MARGIN / 2 : 0;
    int const bottom = BUTTONS_FROM_BOTTOM + ((style & AppDialog::STYLE_APPLY_TO_ALL) ? CHECKBOX_FROM_BOTTOM : 0);
    return GMathVec2<int>(width, MARGIN + message_h + list_h + bottom + 8);
}

void GuiMessageBox::set_style(int const& style)
{
    m_style = style;
    CoreVector<CoreString> labels;
    for (GuiPushButton* button : m_buttons) button->destroy();
    m_buttons.clear();
    m_codes.clear();
    CoreVector<int> const codes = get_style_buttons(style);
    // Layout order is from the right edge: the last button of the style comes first.
    for (int i = static_cast<int>(codes.get_count()) - 1; i >= 0; --i) {
        int const code = codes[static_cast<unsigned int>(i)];
        GuiPushButton* button = new GuiPushButton(*this, 0, 0, BUTTON_MIN_WIDTH, BUTTON_HEIGHT, get_button_label(code));
        button->set_style(GuiPushButton::STYLE_BUTTON);
        button->set_focus_receiver(true);
        connect<GuiMessageBox>(*button, EVT_ID_PUSH_BUTTON_CLICK, &GuiMessageBox::on_button_click);
        m_buttons.add(button);
        m_codes.add(code);
        if (is_shown()) button->show();
    }
    bool const with_checkbox = (style & AppDialog::STYLE_APPLY_TO_ALL) != 0;
    if (with_checkbox && !m_checkbox) {
        m_checkbox = new GuiCheckbox(*this, MARGIN, 0, APPLY_TO_ALL_LABEL);
        if (is_shown()) m_checkbox->show();
    } else if (!with_checkbox && m_checkbox) {
        m_checkbox->destroy();
        m_checkbox = nullptr;
    }
    set_button_layout();
}

void GuiMessageBox::set_list(CoreVector<CoreString> const& list)
{
    if (!m_list) m_list = new GuiMessageBoxLines(*this, true);
    m_list->set_lines(list);
    set_button_layout();
}

void GuiMessageBox::set_custom_label(unsigned int const& index, CoreString const& label)
{
    if (index >= m_buttons.get_count()) return;
    m_buttons[index]->set_label(label);
    set_button_layout();
}

GuiPushButton* GuiMessageBox::get_button(unsigned int const& index) const
{
    return index < m_buttons.get_count() ? m_buttons[index] : nullptr;
}

int GuiMessageBox::get_button_code(unsigned int const& index) const
{
    return index < m_codes.get_count() ? m_codes[index] : AppDialog::ANSWER_NONE;
}

void GuiMessageBox::set_button_layout()
{
    int widths[3] = {0, 0, 0};
    int total = 0;
    for (unsigned int i = 0; i < m_buttons.get_count(); ++i) {
        int text_w = 0, text_h = 0;
        m_buttons[i]->get_font().get_text_size(m_buttons[i]->get_label(), text_w, text_h);
        widths[i] = std::max(text_w + 20, BUTTON_MIN_WIDTH);
        total += widths[i] + BUTTON_GAP;
    }
    // Too narrow for its buttons: widened to hold them.
    if (get_width() < total + BUTTON_GAP) {
        GMathVec2<int> const position = get_position();
        GuiWindow::resize(position[0], position[1], total + BUTTON_GAP, get_height());
    }
    int const w = get_width(), h = get_height();
    int const lift = m_checkbox ? CHECKBOX_FROM_BOTTOM : 0;
    int const buttons_y = h - BUTTONS_FROM_BOTTOM - lift;
    int x = w;
    for (unsigned int i = 0; i < m_buttons.get_count(); ++i) {
        x -= BUTTON_GAP + widths[i];
        m_buttons[i]->set_size(x, buttons_y, widths[i], BUTTON_HEIGHT);
    }
    if (m_checkbox)
        m_checkbox->set_size(MARGIN, h - CHECKBOX_FROM_BOTTOM, m_checkbox->get_width(), m_checkbox->get_height());
    int const content_bottom = buttons_y - MARGIN / 2;
    int message_h = content_bottom - MARGIN;
    if (m_list) {
        int const line = m_list->get_font().get_height() + 2;
        int const rows = std::min(MAX_LIST_ROWS, static_cast<int>(m_list->get_lines().get_count()));
        message_h = std::max(m_message->get_font().get_height() * 2, message_h - rows * line - 8 - MARGIN / 2);
        m_list->set_size(LIST_X, MARGIN + message_h + MARGIN / 2, w - 2 * LIST_X,
                         std::max(0, content_bottom - (MARGIN + message_h + MARGIN / 2)));
    }
    m_message->set_size(MARGIN, MARGIN, w - 2 * MARGIN, std::max(0, message_h));
}

void GuiMessageBox::resize(int const& x, int const& y, int const& w, int const& h)
{
    bool const size_changed = w != get_width() || h != get_height();
    GuiWindow::resize(x, y, w, h);
    if (size_changed) set_button_layout();
}

void GuiMessageBox::show()
{
    // Without a list there is nothing to gain from a larger box.
    if (!m_list && is_not_yet_shown()) set_resizable(false);
    if (m_running) {
        GuiWindow::show();
        return;
    }
    m_value = -1;
    set_button_layout();
    show_modal();
    int const focused = m_default_value.get_answer();
    for (unsigned int i = 0; i < m_buttons.get_count(); ++i)
        if (m_codes[i] == focused) m_buttons[i]->set_focus();
    m_running = true;
    modal_blocking_loop();
    m_running = false;
}

void GuiMessageBox::answer(int const& code)
{
    m_value = code | (m_checkbox && m_checkbox->get_value() ? AppDialog::APPLY_TO_ALL : 0);
    hide();
}

void GuiMessageBox::on_button_click(GuiPushButton& button, EventInfo const&, void*)
{
    int const index = m_buttons.find(&button);
    if (index >= 0) answer(m_codes[static_cast<unsigned int>(index)]);
}

bool GuiMessageBox::answer_key()
{
    int const key = Gui::get_last_key_pressed();
    if (key == Gui::KEY_ID_ENTER || key == Gui::KEY_ID_KEYPAD_ENTER)
        answer(get_enter_code(m_style));
    else if (key == Gui::KEY_ID_ESCAPE)
        answer(get_escape_code(m_style));
    return true;
}

int GuiMessageBox::process_event(CoreString const& name)
{
    if (name == EVT_ID_KEY_DOWN || name == EVT_ID_KEY_SHORTCUT) return answer_key() ? 1 : 0;
    return GuiWindow::process_event(name);
}

bool GuiMessageBox::process_actions()
{
    if (!is_shown()) return GuiWindow::process_actions();
    return answer_key();
}

AppDialog GuiMessageBox::ask(GuiApp& app, GuiApp::MessageBoxRequest& request)
{
    GMathVec2<int> const preferred = get_preferred_size(request.message, request.list, request.style);
    int w = request.has_geometry ? request.geometry[2] : preferred[0];
    int h = request.has_geometry ? request.geometry[3] : preferred[1];
    GuiWindow* top = app.get_top_window();
    GuiMessageBox* box = top ? new GuiMessageBox(*top, w, h, request.title, request.message)
                             : new GuiMessageBox(app, w, h, request.title, request.message);
    box->set_style(request.style);
    box->set_default_value(request.default_value);
    if (!request.list.is_empty()) box->set_list(request.list);
    // The buttons may have widened the box.
    w = box->get_width();
    h = box->get_height();
    int x = 0, y = 0;
    if (request.has_geometry) {
        x = request.geometry[0];
        y = request.geometry[1];
    } else if (top) {
        GMathVec2<int> const position = top->get_position();
        GMathVec2<int> const size = top->get_size();
        x = position[0] + (size[0] - w) / 2;
        y = position[1] + (size[1] - h) / 2;
    } else {
        int sx = 0, sy = 0, sw = 0, sh = 0;
        Fl::screen_work_area(sx, sy, sw, sh);
        x = sx + (sw - w) / 2;
        y = sy + (sh - h) / 2;
    }
    box->resize(x, y, w, h);
    box->show();  // runs until answered
    GMathVec2<int> const position = box->get_position();
    GMathVec2<int> const size = box->get_size();
    request.geometry[0] = position[0];
    request.geometry[1] = position[1];
    request.geometry[2] = size[0];
    request.geometry[3] = size[1];
    // A box closed by the window manager answers as Escape does.
    AppDialog answer = box->get_value();
    if (answer.get_value() < 0) answer = AppDialog(get_escape_code(request.style));
    box->destroy();
    return answer;
}
