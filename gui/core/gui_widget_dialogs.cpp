// GuiWidget's file dialogs: the start folder resolution and the toolkit's native chooser.
#include <FL/Fl.H>
#include <FL/Fl_Native_File_Chooser.H>

#include <cctype>
#include <cstdlib>
#include <string>

#include "gui/core/gui_app.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_log.h"
#include "host/sys/sys_filesystem.h"

namespace {

// "$NAME" and "${NAME}" replaced by the environment's values (unknown names by nothing).
CoreString expand_environment(CoreString const& text)
{
    std::string const source = text.get_data();
    std::string out;
    for (size_t i = 0; i < source.size(); ++i) {
        if (source[i] != '$' || i + 1 >= source.size()) {
            out += source[i];
            continue;
        }
        size_t start = i + 1;
        size_t end = start;
        bool const braced = source[start] == '{';
        if (braced) {
            end = source.find('}', start);
            if (end == std::string::npos) {
                out += source.substr(i);
                break;
            }
            std::string const name = source.substr(start + 1, end - start - 1);
            if (char const* value = std::getenv(name.c_str())) out += value;
            i = end;
            continue;
        }
        while (end < source.size() && (std::isalnum(static_cast<unsigned char>(source[end])) || source[end] == '_'))
            ++end;
        if (end == start) {
            out += '$';
            continue;
        }
        std::string const name = source.substr(start, end - start);
        if (char const* value = std::getenv(name.c_str())) out += value;
        i = end - 1;
    }
    return CoreString(out.c_str());
}

// The toolkit colours the chooser is drawn with, set for its duration.
class ChooserColors {
public:
    ChooserColors()
    {
        for (int i = 0; i < 3; ++i) m_saved[i] = Fl::get_color(m_index[i]);
        Fl::set_color(m_index[0], 200, 200, 200);
        Fl::set_color(m_index[1], 80, 80, 80);
        Fl::set_color(m_index[2], 240, 150, 10);
    }
    ~ChooserColors()
    {
        for (int i = 0; i < 3; ++i) Fl::set_color(m_index[i], m_saved[i]);
    }

private:
    Fl_Color const m_index[3] = {0, 7, 15};
    Fl_Color m_saved[3];
};

// Filters as the chooser reads them: "Images\t*.{png,jpg}\nAll\t*", or a single pattern.
int run_chooser(GuiApp& app, Fl_Native_File_Chooser::Type type, CoreString const& start_path,
                CoreString const& title, CoreString const& filters, Fl_Native_File_Chooser& chooser)
{
    if (!Gui::open_display()) {
        CORE_LOG_ERROR("GuiWidget.open_file: no display to show a file chooser on\n");
        return -1;
    }
    if (app.get_file_browser_mode() == AppBase::FILE_BROWSER_MODE_BUILT_IN)
        CORE_LOG_INFO("GuiWidget.open_file: the application's own file browser is not available; "
                      "the native chooser is used\n");
    CoreString const folder = GuiWidget::resolve_start_folder(start_path);
    chooser.type(type);
    chooser.title(title.get_data());
    chooser.directory(folder.get_data());
    if (!filters.is_empty()) chooser.filter(filters.get_data());
    if (type == Fl_Native_File_Chooser::BROWSE_SAVE_FILE)
        chooser.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM | Fl_Native_File_Chooser::NEW_FOLDER);
    ChooserColors colors;
    int const result = chooser.show();
    if (result < 0)
        CORE_LOG_ERROR("GuiWidget.open_file: the file chooser failed: " << (chooser.errmsg() ? chooser.errmsg() : "")
                                                                        << "\n");
    return result;
}

}  // namespace

CoreString GuiWidget::resolve_start_folder(CoreString const& start_path)
{
    CoreString const path = expand_environment(start_path);
    if (path.is_empty()) return ".";
    if (SysFilesystem::file_exists(path) && !SysFilesystem::folder_exists(path)) {
        CoreString folder = SysFilesystem::get_folder(path);
        return folder.is_empty() ? CoreString(".") : folder;
    }
    if (SysFilesystem::folder_exists(path)) return path;
    // The longest leading part, cut at "/", that is an existing folder.
    CoreString candidate = path;
    while (true) {
        unsigned int const cut = candidate.rev_find('/');
        if (cut == CoreString::NOT_FOUND) break;
        candidate = cut == 0 ? CoreString("/") : candidate.sub_string(0, cut);
        if (SysFilesystem::folder_exists(candidate)) return candidate;
        if (cut == 0) break;
    }
    return ".";
}

CoreString GuiWidget::open_file(GuiApp& app, CoreString const& start_path, CoreString const& title,
                                CoreString const& filters)
{
    Fl_Native_File_Chooser chooser;
    if (run_chooser(app, Fl_Native_File_Chooser::BROWSE_FILE, start_path, title, filters, chooser) != 0)
        return CoreString();
    return SysFilesystem::format_path(chooser.filename());
}

CoreVector<CoreString> GuiWidget::open_files(GuiApp& app, CoreString const& start_path, CoreString const& title,
                                             CoreString const& filters)
{
    CoreVector<CoreString> paths;
    Fl_Native_File_Chooser chooser;
    if (run_chooser(app, Fl_Native_File_Chooser::BROWSE_MULTI_FILE, start_path, title, filters, chooser) != 0)
        return paths;
    for (int i = 0; i < chooser.count(); ++i) paths.add(SysFilesystem::format_path(chooser.filename(i)));
    return paths;
}

CoreString GuiWidget::open_folder(GuiApp& app, CoreString const& start_path, CoreString const& title)
{
    Fl_Native_File_Chooser chooser;
    if (run_chooser(app, Fl_Native_File_Chooser::BROWSE_DIRECTORY, start_path, title, CoreString(), chooser) != 0)
        return CoreString();
    return SysFilesystem::format_path(chooser.filename());
}

CoreString GuiWidget::save_file(GuiApp& app, CoreString const& start_path, CoreString const& title,
                                CoreString const& filters, int* selected_filter_index)
{
    Fl_Native_File_Chooser chooser;
    if (run_chooser(app, Fl_Native_File_Chooser::BROWSE_SAVE_FILE, start_path, title, filters, chooser) != 0)
        return CoreString();
    if (selected_filter_index) *selected_filter_index = chooser.filter_value();
    return SysFilesystem::format_path(chooser.filename());
}
