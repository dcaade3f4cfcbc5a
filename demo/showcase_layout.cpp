// The showcase's "Layout" page: viewport frames split in four, holding the node graph, a
// sheet of the sample scene's objects, the curve editor and an OpenGL view of boxes and
// links. Frames split, close and maximise from their toolbars (Shift+Space maximises the
// frame under the pointer), tabs drag from one frame's tab row to another's, and View > Save
// Layout (Ctrl+Alt+S) and View > Restore Layout (Ctrl+Alt+R) write the arrangement into a
// settings file beside the user's preferences and read it back. The editors are made when
// the page is first shown. With --trace, every change prints "layout shape ..." (S<tabs>
// for a frame, H(..), V(..), Q(..) for splits), "layout frame <path> x y w h" for each frame
// and "layout tabrow <path> x y", "layout tab <path> <index> <title> x y" and "layout button
// <path> <tooltip> x y" for where to click or drop, in window pixels.
#include <functional>
#include <string>

#include "demo/showcase_gl_view.h"
#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/controls/gui_button_base.h"
#include "gui/core/gui_app.h"
#include "gui/explorer/gui_of_item_spreadsheet.h"
#include "gui/viewport/gui_basic_viewport_widget.h"
#include "gui/viewport/gui_viewport.h"
#include "gui/viewport/gui_viewport_parts.h"
#include "host/app/app_preferences.h"
#include "host/of/of_object_factory.h"
#include "host/parser/parser_file.h"
#include "host/sys/sys_filesystem.h"

namespace {

using W = GuiWidget;

// An editor of the showcase in a frame's tab: one content widget filling it.
class ShowcaseEditor : public GuiBasicViewportWidget {
public:
    using Maker = std::function<GuiWidget*(GuiWidget& parent, int x, int y, int w, int h)>;
    ShowcaseEditor(GuiWidget& parent, Maker const& make, bool evaluates) : GuiBasicViewportWidget(parent),
                                                                           m_evaluates(evaluates)
    {
        GuiWidget* content = make(*this, get_x(), get_y(), get_width(), get_height());
        content->set_constraints(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
        content->show();
    }
    bool is_evaluation_controlled() const override { return m_evaluates; }

private:
    bool m_evaluates;
};

void register_editor(char const* name, char const* title, ShowcaseEditor::Maker maker, bool evaluates = false)
{
    GuiViewportEditors::register_editor(name, title, [maker, evaluates](GuiWidget& parent) -> GuiBasicViewportWidget* {
        return new ShowcaseEditor(parent, maker, evaluates);
    });
}

std::string shape_of(GuiViewport const& frame)
{
    if (frame.get_type() == GuiViewport::TYPE_SINGLE) return "S" + std::to_string(frame.get_widget_count());
    std::string shape = frame.get_type() == GuiViewport::TYPE_HORIZONTAL ? "H(" :
                        frame.get_type() == GuiViewport::TYPE_VERTICAL   ? "V(" : "Q(";
    for (unsigned int i = 0; i < frame.get_child_count(); ++i) shape += (i ? "," : "") + shape_of(*frame.get_child(i));
    return shape + ")";
}

void trace_frames(GuiViewport const& frame, std::string const& path)
{
    if (frame.get_type() != GuiViewport::TYPE_SINGLE) {
        for (unsigned int i = 0; i < frame.get_child_count(); ++i)
            trace_frames(*frame.get_child(i), path + "." + std::to_string(i));
        return;
    }
    if (!frame.is_shown()) return;
    CoreString const where = CoreString(path.c_str());
    DemoTrace::line(CoreString("layout frame ") + where + " " + frame.get_x() + " " + frame.get_y() + " " +
                    frame.get_width() + " " + frame.get_height());
    GuiViewportTabWidget const& tabs = *frame.get_tabs();
    DemoTrace::line(CoreString("layout tabrow ") + where + " " + (tabs.get_x() + tabs.get_width() / 2) + " " +
                    (tabs.get_y() + tabs.get_tab_height() / 2));
    for (unsigned int i = 0; i < tabs.get_tab_count(); ++i) {
        GuiTabItem const* item = tabs.get_tab_item(i);
        if (item->get_width() <= 0) continue;
        DemoTrace::line(CoreString("layout tab ") + where + " " + static_cast<int>(i) + " " + tabs.get_tab_name(i).get_data() + " " +
                        (tabs.get_x() + item->get_x() + item->get_width() / 2) + " " +
                        (tabs.get_y() + item->get_y() + item->get_height() / 2));
    }
    GuiViewportToolbar const& bar = *frame.get_toolbar();
    for (auto const button : {GuiViewportToolbar::BUTTON_SPLIT_QUAD, GuiViewportToolbar::BUTTON_CLOSE}) {
        GuiWidget const* widget = bar.get_button(button);
        if (!widget || !widget->is_shown()) continue;
        DemoTrace::line(CoreString("layout button ") + where + " \"" + GuiViewportToolbar::get_button_tooltip(button) +
                        "\" " + (widget->get_x() + widget->get_width() / 2) + " " +
                        (widget->get_y() + widget->get_height() / 2));
    }
}

}  // namespace

// State of the page, kept by the window.
struct LayoutPage {
    GuiApp* app = nullptr;
    DemoPanel* panel = nullptr;
    GuiViewport* frames = nullptr;
    DemoText* status = nullptr;

    static CoreString get_file_path()
    {
        return SysFilesystem::get_folder(AppPreferences::get_default_path()) + "/showcase_layout.txt";
    }
    void report(CoreString const& text)
    {
        status->set_text(text);
        DemoTrace::line(CoreString("layout ") + text);
    }
    void save()
    {
        ParserFile file(get_file_path());
        frames->get_layout(file.get_root(), false);
        CoreString const folder = SysFilesystem::get_folder(get_file_path());
        if (!SysFilesystem::folder_exists(folder)) SysFilesystem::create_folder(folder);
        report(file.write() ? CoreString("saved to ") + get_file_path() : CoreString("could not save the layout"));
    }
    void restore()
    {
        ParserFile file(get_file_path());
        if (!file.read() || file.get_root().get_entry_count() == 0) {
            report("no saved layout to restore");
            return;
        }
        bool const whole = frames->set_layout(*file.get_root().get_entry(0u));
        report(whole ? CoreString("restored") : CoreString("restored what could be read"));
    }
};

void ShowcaseWindow::build_layout_page(GuiWidget& page, int x, int y, int w, int h)
{
    auto state = std::make_shared<LayoutPage>();
    m_page_state.push_back(state);
    m_layout = state.get();
    state->app = &m_app;
    int const status_h = 32;
    state->panel = new DemoPanel(page, "layout_panel", "Viewport frames: split, close, maximise, drag tabs between them",
                                 x, y, w, h - status_h - 8);
    state->panel->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    state->status = new DemoText(page, "layout_status", x, y + h - status_h, w, status_h);
    state->status->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    state->status->set_text("Each frame's toolbar splits, closes and maximises it (Shift+Space over a frame too); drag "
                            "a tab onto another frame's tabs; View > Save Layout and Restore Layout keep the arrangement.");

    GuiApp& app = m_app;
    register_editor("ShowcaseGraph", "Node graph", [&app](GuiWidget& parent, int x0, int y0, int w0, int h0) {
        return make_showcase_graph(parent, x0, y0, w0, h0, app);
    });
    register_editor("ShowcaseSheet", "Scene objects", [&app](GuiWidget& parent, int x0, int y0, int w0, int h0) {
        auto* sheet = new GuiOfItemSpreadsheet(parent, x0, y0, w0, h0);
        sheet->set_context(app.get_factory().get_context("/geometry/props/block_0"), false);
        return sheet;
    });
    register_editor("ShowcaseCurves", "Curves", [&app](GuiWidget& parent, int x0, int y0, int w0, int h0) {
        return make_showcase_curves(parent, x0, y0, w0, h0, app);
    });
    register_editor(
        "ShowcaseView", "OpenGL view",
        [](GuiWidget& parent, int x0, int y0, int w0, int h0) { return new DemoSceneView(parent, x0, y0, w0, h0); },
        true);
}

void ShowcaseWindow::build_layout_frames()
{
    LayoutPage& state = *m_layout;
    if (state.frames) return;
    DemoPanel& panel = *state.panel;
    int const top = panel.get_y() + DemoPanel::TITLE_HEIGHT;
    state.frames = GuiViewport::create_viewport(panel, panel.get_x() + 1, top, panel.get_width() - 2,
                                                panel.get_y() + panel.get_height() - 1 - top);
    GuiViewport& frames = *state.frames;
    frames.split_q();
    char const* const editors[4] = {"ShowcaseGraph", "ShowcaseSheet", "ShowcaseCurves", "ShowcaseView"};
    for (unsigned int i = 0; i < 4; ++i) frames.get_child(i)->create_and_add_widget(editors[i]);
    frames.show();
    EventObject::connect(frames, EVT_ID_VIEWPORT_LAYOUT_CHANGED, frames, [&state] {
        // Reported once the frames are laid out again.
        state.app->add_timer(
            [](void* data) {
                auto& page = *static_cast<LayoutPage*>(data);
                DemoTrace::line(CoreString("layout shape ") + shape_of(*page.frames).c_str());
                trace_frames(*page.frames, "0");
            },
            &state, 0.05);
    });
    frames.raise_event(EVT_ID_VIEWPORT_LAYOUT_CHANGED);
}

void ShowcaseWindow::save_layout()
{
    build_layout_frames();
    m_layout->save();
}

void ShowcaseWindow::restore_layout()
{
    build_layout_frames();
    m_layout->restore();
}
