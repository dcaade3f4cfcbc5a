#include "gui/core/gui_app_message_boxes.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "host/core/core_log.h"

namespace {

GuiAppMessageBoxes::Presenter s_presenter = nullptr;

// A request handed from another thread to the application thread.
struct PendingMessageBox {
    GuiApp* app = nullptr;
    GuiAppMessageBoxes::Request request;
    AppDialog answer;
    std::atomic<bool> answered{false};
};

void answer(void* data)
{
    PendingMessageBox* pending = static_cast<PendingMessageBox*>(data);
    pending->answer = pending->app->show_message_box(pending->request);
    pending->answered.store(true);
}

}  // namespace

void GuiAppMessageBoxes::set_handler(Handler handler, void* data)
{
    m_handler = handler;
    m_handler_data = data;
}

void GuiAppMessageBoxes::set_presenter(Presenter presenter)
{
    s_presenter = presenter;
}

AppDialog GuiAppMessageBoxes::show(GuiApp& app, Request& request) const
{
    if (m_handler) return m_handler(app, request, m_handler_data);
    if (!Gui::open_display() || !s_presenter) {
        if (!s_presenter) CORE_LOG_ERROR("GuiApp.message_box: no message box presenter is registered\n");
        CORE_LOG_INFO("GuiApp.message_box: " << request.title << ": " << request.message << "\n");
        return request.default_value;
    }
    return s_presenter(app, request);
}

AppDialog GuiAppMessageBoxes::ask(GuiApp& app, CoreString const& message, CoreString const& title,
                                  AppDialog const& default_value, int const& style, int* geometry,
                                  CoreVector<CoreString> const& list)
{
    PendingMessageBox pending;
    pending.app = &app;
    Request& request = pending.request;
    request.message = message;
    request.title = title;
    request.default_value = default_value;
    request.style = style;
    request.list = list;
    if (geometry) {
        request.has_geometry = geometry[2] != 0 && geometry[3] != 0;
        for (int i = 0; i < 4; ++i) request.geometry[i] = geometry[i];
    }
    if (app.is_app_thread()) {
        pending.answer = app.show_message_box(request);
    } else {
        GuiApp::TimerId const timer = app.add_timer(&answer, &pending, 0.0);
        if (timer == 0) return default_value;
        while (!pending.answered.load()) {
            // An application that ends before answering answers with the default value.
            if (app.is_quitting() && app.remove_timer(timer) && !pending.answered.load()) return default_value;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    if (geometry)
        for (int i = 0; i < 4; ++i) geometry[i] = request.geometry[i];
    return pending.answer;
}
