// The showcase's "Layout" page: viewport frames split in four, holding the node graph, a
// sheet of the sample scene's objects, the curve editor and an OpenGL view of boxes and
// links, and under them the image history: a strip of thumbnails of the OpenGL view's
// snapshots, newest first (Snapshot adds one; a click on a thumbnail pins it against removal
// or unpins it; six unpinned snapshots are kept). Frames split, close and maximise from their toolbars (Shift+Space maximises the
// frame under the pointer), tabs drag from one frame's tab row to another's, and View > Save
// Layout (Ctrl+Alt+S) and View > Restore Layout (Ctrl+Alt+R) write the arrangement into a
// settings file beside the user's preferences and read it back. The editors are made when
// the page is first shown. With --trace, every change prints "layout shape ..." (S<tabs>
// for a frame, H(..), V(..), Q(..) for splits), "layout frame <path> x y w h" for each frame
// and "layout tabrow <path> x y", "layout tab <path> <index> <title> x y" and "layout button
// <path> <tooltip> x y" for where to click or drop, in window pixels; the history prints
// "history <count> items: <name> ..." (pinned names marked "*") and "history at <snapshot
// button x y> <first thumbnail x y>" after each change.
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "demo/showcase_gl_view.h"
#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/controls/gui_button_base.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_image_history.h"
#include "gui/explorer/gui_of_item_spreadsheet.h"
#include "gui/viewport/gui_basic_viewport_widget.h"
#include "gui/viewport/gui_viewport.h"
#include "gui/viewport/gui_viewport_parts.h"
#include "host/app/app_preferences.h"
#include "host/image/image_handle.h"
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

// The image history as a strip of thumbnails, newest first, after a Snapshot button. A
// click on a thumbnail pins or unpins it; pinned ones are framed.
class HistoryStrip : public DemoWidget {
public:
    static constexpr int BUTTON_W = 90, THUMB_W = 112, THUMB_H = 63, GAP = 8;

    HistoryStrip(GuiWidget& parent, int x, int y, int w, int h, GuiImageHistory& history,
                 std::function<void()> snapshot)
        : DemoWidget(parent, "history_strip", x, y, w, h), m_history(history)
    {
        m_button = new DemoButton(*this, "snapshot", "Snapshot", x + GAP, y + GAP, BUTTON_W, 28, std::move(snapshot));
        m_button->show();
        for (CoreString const* event : {&EVT_ID_IMAGE_HISTORY_NEW_IMAGE, &EVT_ID_IMAGE_HISTORY_IMAGE_REMOVED,
                                        &EVT_ID_IMAGE_HISTORY_IMAGE_CHANGED, &EVT_ID_IMAGE_HISTORY_LIST_CLEARED})
            EventObject::connect(history, *event, *this, [this](EventInfo const& info) { refresh(info); });
    }

    void draw(GuiDc& dc) override
    {
        auto& wdc = static_cast<GuiWidgetDc&>(dc);
        GMathVec3<unsigned char> const text = dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT);
        GMathVec3<unsigned char> const dim = dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_DIM);
        if (m_ids.is_empty())
            wdc.draw_text_clampable("No snapshots yet: Snapshot keeps what the OpenGL view shows.", thumb_x(0),
                                    get_y() + GAP, get_width() - thumb_x(0) + get_x(), 20, dim[0], dim[1], dim[2],
                                    true, false, true);
        for (unsigned int i = 0; i < m_ids.get_count(); ++i) {
            GuiImageHistoryItem const* item = m_history.get_item(m_ids[i]);
            auto const found = m_thumbnails.find(m_ids[i]);
            if (!item || found == m_thumbnails.end()) continue;
            int const x = thumb_x(i), y = get_y() + GAP;
            wdc.draw_icon_text(*found->second, "", x, y, THUMB_W, THUMB_H, text[0], text[1], text[2],
                               GuiWidget::JUSTIFY_CENTER, GuiWidget::ICON_POSITION_LEFT, false, false);
            bool const pinned = !item->is_auto_removable();
            GMathVec3<unsigned char> const frame = pinned ? GMathVec3<unsigned char>(240, 190, 60) : dim;
            wdc.draw_rect(x - 1, y - 1, THUMB_W + 2, THUMB_H + 2, frame[0], frame[1], frame[2]);
            CoreString const label = item->get_name() + (pinned ? " (pinned)" : "");
            wdc.draw_text_clampable(label, x, y + THUMB_H + 2, THUMB_W, 16, text[0], text[1], text[2], true, false,
                                    true);
        }
    }

    int process_event(CoreString const& name) override
    {
        if (name == EVT_ID_MOUSE_DOWN) {
            int const x = Gui::get_relative_mouse_x(*this) + get_x();
            for (unsigned int i = 0; i < m_ids.get_count(); ++i) {
                if (x < thumb_x(i) || x >= thumb_x(i) + THUMB_W) continue;
                GuiImageHistoryItem const* item = m_history.get_item(m_ids[i]);
                if (item) m_history.set_is_auto_removable(m_ids[i], !item->is_auto_removable());
                refresh_all();
                return 1;
            }
        }
        return DemoWidget::process_event(name);
    }

    void refresh_all()
    {
        m_ids = m_history.get_ids();
        for (auto it = m_thumbnails.begin(); it != m_thumbnails.end();)
            it = m_ids.find(it->first) < 0 ? m_thumbnails.erase(it) : std::next(it);
        CoreString line = CoreString("history ") + static_cast<int>(m_ids.get_count()) + " items:";
        for (unsigned int const id : m_ids) {
            GuiImageHistoryItem const* item = m_history.get_item(id);
            if (!item) continue;
            line += CoreString(" ") + (item->is_auto_removable() ? "" : "*") + item->get_name();
            if (m_thumbnails.count(id) == 0) m_thumbnails[id] = make_thumbnail(item->get_image());
        }
        DemoTrace::line(line);
        DemoTrace::line(CoreString("history at ") + (m_button->get_x() + BUTTON_W / 2) + " " +
                        (m_button->get_y() + 14) + " " + (thumb_x(0) + THUMB_W / 2) + " " +
                        (get_y() + GAP + THUMB_H / 2));
        redraw();
    }

private:
    void refresh(EventInfo const&) { refresh_all(); }
    int thumb_x(unsigned int const& index) const
    {
        return get_x() + GAP + BUTTON_W + GAP + static_cast<int>(index) * (THUMB_W + GAP);
    }
    static std::unique_ptr<GuiImage> make_thumbnail(ImageHandle const& image)
    {
        ImageHandle const small = image.make_thumbnail(THUMB_W, THUMB_H);
        CoreVector<float> const values = small.get_pixels();
        std::vector<unsigned char> bytes(values.get_count());
        for (unsigned int i = 0; i < values.get_count(); ++i)
            bytes[i] = static_cast<unsigned char>(std::clamp(values[i], 0.0f, 1.0f) * 255.0f + 0.5f);
        return std::make_unique<GuiImage>(bytes.data(), static_cast<unsigned int>(small.get_width()),
                                          static_cast<unsigned int>(small.get_height()),
                                          static_cast<unsigned int>(small.get_channel_count()));
    }

    GuiImageHistory& m_history;
    DemoButton* m_button;
    CoreVector<unsigned int> m_ids;
    std::map<unsigned int, std::unique_ptr<GuiImage>> m_thumbnails;
};

}  // namespace

// State of the page, kept by the window.
struct LayoutPage {
    GuiApp* app = nullptr;
    DemoPanel* panel = nullptr;
    GuiViewport* frames = nullptr;
    HistoryStrip* strip = nullptr;
    DemoText* status = nullptr;

    static CoreString get_file_path()
    {
        return SysFilesystem::get_folder(AppPreferences::get_default_path()) + "/showcase_layout.txt";
    }
    // Keeps what the first OpenGL view shown in the frames shows in the image history.
    void snapshot()
    {
        if (!frames) return;
        GuiWidget const* view = find_view(*frames);
        GuiWindow* window = static_cast<GuiWindow*>(frames->get_window());
        if (!view || !window) {
            report("no OpenGL view is shown to snapshot");
            return;
        }
        int const w = view->get_width(), h = view->get_height();
        std::vector<unsigned char> const pixels = window->read_pixels(view->get_x(), view->get_y(), w, h);
        if (pixels.size() != static_cast<size_t>(w) * h * 3) return;
        ImageHandle const image = ImageHandle::from_pixels(w, h, 3, pixels.data());
        unsigned int const id = app->get_image_history().add_image(image, nullptr, "view", CoreString("") + w + " x " + h);
        report(CoreString("snapshot ") + static_cast<int>(id));
    }
    static GuiWidget const* find_view(GuiViewport const& frame)
    {
        for (unsigned int i = 0; i < frame.get_child_count(); ++i)
            if (GuiWidget const* view = find_view(*frame.get_child(i))) return view;
        GuiBasicViewportWidget const* editor = frame.get_current_viewport_widget();
        if (!editor || !editor->is_shown() || editor->get_editor_name() != "ShowcaseView") return nullptr;
        return editor->get_children().is_empty() ? nullptr : editor->get_children()[0];
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
    int const strip_h = HistoryStrip::THUMB_H + 2 * HistoryStrip::GAP + 18;
    state->panel = new DemoPanel(page, "layout_panel", "Viewport frames: split, close, maximise, drag tabs between them",
                                 x, y, w, h - status_h - strip_h - 16);
    m_app.get_image_history().set_max_history_size(6);
    auto* strip = state->strip = new HistoryStrip(page, x, y + h - status_h - strip_h - 8, w, strip_h, m_app.get_image_history(),
                                   [raw = state.get()] { raw->snapshot(); });
    strip->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
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
    build_page(PAGE_LAYOUT);
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
    state.strip->refresh_all();
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

void ShowcaseWindow::snapshot_layout_view()
{
    build_layout_frames();
    m_layout->snapshot();
}
