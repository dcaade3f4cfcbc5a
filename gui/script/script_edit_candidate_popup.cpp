#include "gui/script/script_edit_candidate_popup.h"

#include <algorithm>

#include "gui/controls/gui_list_view.h"
#include "gui/script/gui_script_edit.h"
#include "gui/text/gui_text_edit.h"
#include "host/module/module_scripting.h"

CORE_IMPLEMENT_CLASS(HelpTooltip, GuiWidget)
CORE_IMPLEMENT_CLASS(ScriptEditCandidatePopup, GuiPopup)

HelpTooltip::HelpTooltip(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiWidget(parent, x, y, w, h)
{
    m_text = new GuiTextEdit(*this, x, y, w, h);
    m_text->set_read_only(true);
    m_text->set_show_syntax_color(false);
    m_text->set_zoom_enabled(false);
    m_text->set_constraints(CONSTRAINT_LEFT, CONSTRAINT_TOP, CONSTRAINT_RIGHT, CONSTRAINT_BOTTOM);
    m_text->show();
}

void HelpTooltip::set_help(CoreString const& help)
{
    m_help = help;
    if (help.is_empty()) {
        m_text->set_text(CoreString());
        hide();
        return;
    }
    int const width = get_width() - GuiTextEdit::SCROLLBAR_SIZE - 2 * GuiTextEdit::LEFT_MARGIN;
    m_text->set_text(GuiTextEdit::get_word_warp(help, width, m_text->get_text_font()));
    show();
}

CoreString HelpTooltip::get_help() const
{
    return m_help;
}

void HelpTooltip::resize(int const& x, int const& y, int const& w, int const& h)
{
    bool const wider = w != get_width();
    GuiWidget::resize(x, y, w, h);
    if (wider && !m_help.is_empty()) set_help(m_help);
}

ScriptEditCandidatePopup::ScriptEditCandidatePopup(GuiScriptEdit& edit)
    : GuiPopup(*static_cast<GuiWindow*>(edit.get_window()), 0, 0, LIST_WIDTH + HELP_WIDTH, 40), m_edit(&edit)
{
    set_title("ScriptEditCandidatePopup");
    m_list = new GuiListView(*this, 0, 0, LIST_WIDTH, 40);
    m_list->show();
    m_help = new HelpTooltip(*this, LIST_WIDTH, 0, HELP_WIDTH, 40);
    m_help->hide();
    connect(*m_list, EVT_ID_LIST_VIEW_SELECT, &ScriptEditCandidatePopup::on_select);
    connect(*m_list, EVT_ID_LIST_VIEW_VALIDATE, &ScriptEditCandidatePopup::on_validate);
}

void ScriptEditCandidatePopup::show_candidates(CoreVector<CoreString> const& candidates, int const& x,
                                               int const& y, int const& max_rows)
{
    m_list->set_items(candidates);
    int const rows = std::clamp(static_cast<int>(candidates.get_count()), 1, std::max(1, max_rows));
    m_list_height = rows * m_list->get_row_height() + 2;
    m_list->resize(0, 0, LIST_WIDTH, m_list_height);
    m_list->set_selected_index(0);
    resize(x, y, LIST_WIDTH + HELP_WIDTH, m_list_height);
    m_help->resize(LIST_WIDTH, 0, HELP_WIDTH, m_list_height);
    if (!is_shown()) show();
    refresh_help();
}

void ScriptEditCandidatePopup::refresh_help()
{
    ModuleScripting* scripting = m_edit->get_scripting();
    CoreString const selected = m_list->get_selected_item();
    m_help->set_help(scripting && !selected.is_empty() ? scripting->get_help(selected) : CoreString());
    redraw();
}

void ScriptEditCandidatePopup::on_select(EventObject&, EventInfo const&, void*)
{
    refresh_help();
}

void ScriptEditCandidatePopup::on_validate(EventObject&, EventInfo const&, void*)
{
    m_edit->choose_candidate(m_list->get_selected_item());
}
