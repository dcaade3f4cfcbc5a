#include "host/image/image_io.h"

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>

namespace {

constexpr char const* MODULE_NAME = "libqn_image_io.so";
constexpr char const* ENTRY_POINT = "qn_image_io_functions";

std::atomic<ImageIoFunctions const*> s_functions{nullptr};

// The module lies beside the library that holds this code, in the build tree as installed;
// the loader's own search comes next.
std::string get_module_path()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void const*>(&get_module_path), &info) && info.dli_fname) {
        std::string const library = info.dli_fname;
        size_t const slash = library.rfind('/');
        if (slash != std::string::npos) return library.substr(0, slash + 1) + MODULE_NAME;
    }
    return MODULE_NAME;
}

}  // namespace

ImageIoFunctions const* ImageIo::get_functions(std::string& error)
{
    static std::once_flag once;
    static std::string load_error;
    std::call_once(once, [] {
        std::string const path = get_module_path();
        void* module = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!module) module = dlopen(MODULE_NAME, RTLD_LAZY | RTLD_LOCAL);
        if (!module) {
            char const* reason = dlerror();
            load_error = std::string("the image module ") + path + " cannot be loaded: " + (reason ? reason : "?");
            return;
        }
        using Entry = ImageIoFunctions const* (*)();
        auto const entry = reinterpret_cast<Entry>(dlsym(module, ENTRY_POINT));
        if (!entry) {
            load_error = std::string("the image module ") + path + " has no " + ENTRY_POINT;
            return;
        }
        // Kept loaded until the process ends: images may be read from any thread at any time.
        s_functions.store(entry());
    });
    ImageIoFunctions const* functions = s_functions.load();
    if (!functions) error = load_error;
    return functions;
}

bool ImageIo::read(std::string const& path, ImageIoPixels& pixels, std::string& error)
{
    ImageIoFunctions const* functions = get_functions(error);
    return functions && functions->read(path.c_str(), pixels, error);
}

bool ImageIo::write(std::string const& path, std::string const& format, ImageIoPixels const& pixels,
                    std::vector<std::pair<std::string, std::string>> const& metadata, std::string& error)
{
    ImageIoFunctions const* functions = get_functions(error);
    return functions && functions->write(path.c_str(), format.c_str(), pixels, metadata, error);
}

unsigned char ImageIo::to_byte(float const& value)
{
    return static_cast<unsigned char>(std::lround(std::clamp(std::isnan(value) ? 0.0f : value, 0.0f, 1.0f) * 255.0f));
}

bool ImageIo::is_loaded()
{
    return s_functions.load() != nullptr;
}
