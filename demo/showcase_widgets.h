#pragma once
// The showcase's own small widgets, built on GuiWidget and drawn through GuiDc: titled
// panels, text blocks, drawing sections, focusable tiles, clickable buttons, draggable item
// cards and a drop target. The library's standard controls replace the buttons as they arrive.
#include <functional>

#include "gui/core/gui_dc.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_string.h"
#include "host/of/of_handle.h"

// Reports what happened in the showcase (focus changes, layouts, drops), one line each, when
// tracing is on; the end-to-end test reads these lines.
// Short names for the edge constraints the pages anchor their widgets with.
namespace demo_edges {
using C = GuiWidget::Constraint;
constexpr C L = GuiWidget::CONSTRAINT_LEFT;
constexpr C R = GuiWidget::CONSTRAINT_RIGHT;
constexpr C T = GuiWidget::CONSTRAINT_TOP;
constexpr C B = GuiWidget::CONSTRAINT_BOTTOM;
}  // namespace demo_edges

class DemoTrace {
public:
    static void set_enabled(bool enabled);
    static bool is_enabled();
    static void line(CoreString const& text);
};

// A named widget: its name is what the trace reports.
class DemoWidget : public GuiWidget {
public:
    DemoWidget(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h);
    CoreString const& get_name() const { return m_name; }
    // Anchors the four edges (CONSTRAINT_LEFT/RIGHT for left and right, TOP/BOTTOM for top
    // and bottom).
    void anchor(Constraint left, Constraint top, Constraint right, Constraint bottom);
    void resize(int const& x, int const& y, int const& w, int const& h) override;

private:
    CoreString m_name;
};

// A panel with a title bar; its children sit below the title.
class DemoPanel : public DemoWidget {
public:
    static constexpr int TITLE_HEIGHT = 22;
    DemoPanel(GuiWidget& parent, CoreString const& name, CoreString const& title, int x, int y, int w, int h);
    void draw(GuiDc& dc) override;

private:
    CoreString m_title;
};

// Every role of the current colour scheme as labelled swatches of its three groups.
class DemoSchemeSwatches : public DemoWidget {
public:
    static constexpr int ROW_HEIGHT = 18;
    DemoSchemeSwatches(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h);
    void draw(GuiDc& dc) override;
};

// Every built-in picture in its normal, disabled, hidden and highlighted looks.
class DemoPictures : public DemoWidget {
public:
    static constexpr int ROW_HEIGHT = 20;
    DemoPictures(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h);
    void draw(GuiDc& dc) override;
};

// The faces of the default font family at several sizes.
class DemoFonts : public DemoWidget {
public:
    DemoFonts(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h);
    ~DemoFonts() override;
    void draw(GuiDc& dc) override;

private:
    // A strip of the default face's glyph atlas (the distance fields of "@" to "O").
    GuiImage* m_atlas_strip = nullptr;
};

// A section of the Drawing page: fills its box with the background, then paints through the
// function it was given, which draws with the software context.
class DemoCanvas : public DemoWidget {
public:
    using Paint = std::function<void(DemoCanvas& canvas, GuiWidgetDc& dc)>;
    DemoCanvas(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h, Paint paint);
    void draw(GuiDc& dc) override;

private:
    Paint m_paint;
};

// A progress bar.
class DemoProgress : public DemoWidget {
public:
    DemoProgress(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h);
    void set_fraction(double fraction);
    void draw(GuiDc& dc) override;

private:
    double m_fraction = 0.0;
};

// Lines of text, clipped to the widget.
class DemoText : public DemoWidget {
public:
    DemoText(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h);
    void set_text(CoreString const& text);
    void draw(GuiDc& dc) override;

private:
    CoreString m_text;
};

// A tile that takes the keyboard focus (click or Tab) and shows it.
class DemoTile : public DemoWidget {
public:
    DemoTile(GuiWidget& parent, CoreString const& name, CoreString const& label, int x, int y, int w, int h);
    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    void set_label(CoreString const& label);

protected:
    CoreString m_label;
};

// A focusable tile that runs an action when clicked or when Enter or Space is pressed.
class DemoButton : public DemoTile {
public:
    DemoButton(GuiWidget& parent, CoreString const& name, CoreString const& label, int x, int y, int w, int h,
               std::function<void()> action);
    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    void set_action(std::function<void()> action) { m_action = std::move(action); }

private:
    std::function<void()> m_action;
    bool m_pressed = false;
};

// The list of the showcase's pages down the side of the window: one row per page, the
// current one marked; a click or Up/Down (with the list focused) picks a page.
class DemoPageList : public DemoWidget {
public:
    static constexpr int ROW_HEIGHT = 26;
    using Choose = std::function<void(int page)>;
    DemoPageList(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h, Choose choose);
    void add_page(CoreString const& label) { m_labels.add(label); }
    // Marks the page as the current one (without calling back).
    void set_current(int page);
    int get_current() const { return m_current; }
    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

private:
    int get_row_at_pointer() const;
    CoreVector<CoreString> m_labels;
    Choose m_choose;
    int m_current = 0;
    int m_hover = -1;
};

// A scene item that can be dragged onto a drop target.
class DemoCard : public DemoWidget {
public:
    DemoCard(GuiWidget& parent, CoreString const& name, OfHandle const& item, CoreString const& label, int x,
             int y, int w, int h);
    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

private:
    OfHandle m_item;
    CoreString m_label;
    bool m_dragging = false;
};

// Accepts dragged scene items and lists what was dropped.
class DemoDropTarget : public DemoWidget {
public:
    DemoDropTarget(GuiWidget& parent, CoreString const& name, int x, int y, int w, int h);
    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    CoreVector<CoreString> const& get_dropped() const { return m_dropped; }

private:
    CoreVector<CoreString> m_dropped;
    bool m_hover = false;
};
