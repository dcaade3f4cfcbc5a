#pragma once
// GuiSearchWidget: the search row of an editor: a "Search Text" entry, a "Case Sensitive"
// check button, an optional "Highlight" button and "Find"; in replace mode a second row
// with a "Replace With" entry, "Replace" and "Replace All"; in rename mode "Find" reads
// "Apply". It only raises events: the owner searches.
//
//     GuiSearchWidget* search = new GuiSearchWidget(*panel, 0, 0, 400);
//     search->set_mode(GuiSearchWidget::MODE_REPLACE);
//     panel->connect(*search, EVT_ID_SEARCH_VALIDATE, &MyPanel::on_find);
#include "gui/core/gui_widget.h"

class GuiCheckButton;
class GuiLineEdit;
class GuiPushButton;

// "Find" (or Return in the search entry).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SEARCH_VALIDATE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SEARCH_REPLACE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SEARCH_REPLACE_ALL);
// "Highlight": the owner marks the search text where it appears.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SEARCH_HIGHLIGHT);

class QN_GUI_API GuiSearchWidget : public GuiWidget {
    CORE_DECLARE_CLASS(GuiSearchWidget, GuiWidget)

public:
    enum Mode : int { MODE_SEARCH = 1, MODE_REPLACE = 2, MODE_RENAME = 3 };
    static constexpr int ROW_HEIGHT = 24;
    static constexpr int BUTTON_WIDTH = 84;
    static constexpr int MARGIN = 3;

    GuiSearchWidget(GuiWidget& parent, int const& x, int const& y, int const& w);

    CoreString const& get_source_text() const;
    void set_source_text(CoreString const& text);
    CoreString const& get_replace_text() const;
    void set_replace_text(CoreString const& text);
    bool get_is_case_sensitive() const;
    void set_is_case_sensitive(bool const& sensitive);
    void set_show_highlight_button(bool const& show);
    Mode const& get_mode() const { return m_mode; }
    // Lays the rows out for the mode; the height follows (one row, or two).
    void set_mode(Mode const& mode);
    // Empty entries, case insensitive.
    void reset();
    void refresh_layout();
    // The height the mode needs.
    int get_needed_height() const;
    // The keyboard in the search entry.
    void focus_search();

    GuiLineEdit& get_search_edit() const { return *m_search; }
    GuiLineEdit& get_replace_edit() const { return *m_replace; }
    GuiPushButton& get_find_button() const { return *m_find; }
    GuiPushButton& get_replace_button() const { return *m_replace_one; }
    GuiPushButton& get_replace_all_button() const { return *m_replace_all; }
    GuiPushButton& get_highlight_button() const { return *m_highlight; }
    GuiCheckButton& get_case_button() const { return *m_case; }

    void resize(int const& x, int const& y, int const& w, int const& h) override;

private:
    void on_button(EventObject& sender, EventInfo const& info, void* data);
    void on_search_key(EventObject& sender, EventInfo const& info, void* data);

    Mode m_mode = MODE_SEARCH;
    bool m_show_highlight = true;
    GuiLineEdit* m_search = nullptr;
    GuiLineEdit* m_replace = nullptr;
    GuiCheckButton* m_case = nullptr;
    GuiPushButton* m_highlight = nullptr;
    GuiPushButton* m_find = nullptr;
    GuiPushButton* m_replace_one = nullptr;
    GuiPushButton* m_replace_all = nullptr;
};
