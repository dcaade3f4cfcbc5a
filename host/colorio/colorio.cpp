#include "host/colorio/colorio.h"

#include <OpenColorIO/OpenColorIO.h>

#include <mutex>

#include "host/core/core_log.h"
#include "host/sys/sys_filesystem.h"
#include "host/sys/sys_functions.h"

namespace OCIO = OCIO_NAMESPACE;

namespace {

struct ConfigState {
    std::mutex lock;
    OCIO::ConstConfigRcPtr config;
    CoreString path;
};

ConfigState& state()
{
    static ConfigState s;
    return s;
}

OCIO::ConstConfigRcPtr read_config(CoreString const& path, CoreString& error)
{
    try {
        OCIO::ConstConfigRcPtr config = OCIO::Config::CreateFromFile(path.c_str());
        config->validate();
        return config;
    } catch (OCIO::Exception const& e) {
        error = e.what();
        return nullptr;
    }
}

// Called under the state lock: the configuration of $OCIO, else the shipped one, else raw.
void load_default_config(ConfigState& s)
{
    CoreString path = sys_get_env("OCIO");
    if (path.is_empty())
        path = sys_get_resources_dir() + "/ocio/config.ocio";
    CoreString error;
    s.config = read_config(path, error);
    if (s.config) {
        s.path = path;
        return;
    }
    CORE_LOG_WARNING("ColorIO: cannot read the colour configuration '" << path << "' (" << error
                                                                        << "); colours are not converted\n");
    s.config = OCIO::Config::CreateRaw();
    s.path = CoreString();
}

OCIO::ConstConfigRcPtr get_config()
{
    ConfigState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.config)
        load_default_config(s);
    return s.config;
}

bool channels_ok(int const& channels, char const* operation)
{
    if (channels == 3 || channels == 4)
        return true;
    CORE_LOG_WARNING("ColorIO." << operation << ": " << channels << " channels per pixel; 3 or 4 are supported\n");
    return false;
}

void apply(OCIO::ConstCPUProcessorRcPtr const& processor, float* pixels, size_t const& count, int const& channels)
{
    if (count == 0)
        return;
    OCIO::PackedImageDesc image(pixels, static_cast<long>(count), 1, channels);
    processor->apply(image);
}

}  // namespace

CoreString ColorIO::get_config_path()
{
    get_config();
    ConfigState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.path;
}

bool ColorIO::load_config(CoreString const& path)
{
    CoreString error;
    OCIO::ConstConfigRcPtr config = read_config(path, error);
    if (!config) {
        CORE_LOG_WARNING("ColorIO.load_config: cannot read '" << path << "' (" << error
                                                              << "); the current configuration stays\n");
        return false;
    }
    ConfigState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.config = config;
    s.path = path;
    return true;
}

void ColorIO::reset_config()
{
    ConfigState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    load_default_config(s);
}

CoreString ColorIO::get_default_color_space_name()
{
    OCIO::ConstConfigRcPtr config = get_config();
    for (char const* role : {OCIO::ROLE_SCENE_LINEAR, OCIO::ROLE_DEFAULT}) {
        OCIO::ConstColorSpaceRcPtr space = config->getColorSpace(role);
        if (space)
            return space->getName();
    }
    return config->getNumColorSpaces() > 0 ? CoreString(config->getColorSpaceNameByIndex(0)) : CoreString();
}

CoreVector<CoreString> ColorIO::get_color_space_names()
{
    OCIO::ConstConfigRcPtr config = get_config();
    CoreVector<CoreString> names;
    for (int i = 0; i < config->getNumColorSpaces(); ++i)
        names.add(config->getColorSpaceNameByIndex(i));
    return names;
}

bool ColorIO::has_color_space(CoreString const& name)
{
    return !name.is_empty() && get_config()->getColorSpace(name.c_str()) != nullptr;
}

CoreString ColorIO::get_role_color_space_name(CoreString const& role)
{
    OCIO::ConstConfigRcPtr config = get_config();
    if (role.is_empty() || !config->hasRole(role.c_str()))
        return CoreString();
    OCIO::ConstColorSpaceRcPtr space = config->getColorSpace(role.c_str());
    return space ? CoreString(space->getName()) : CoreString();
}

CoreString ColorIO::get_default_display_name()
{
    return get_config()->getDefaultDisplay();
}

CoreVector<CoreString> ColorIO::get_view_transform_names()
{
    OCIO::ConstConfigRcPtr config = get_config();
    char const* display = config->getDefaultDisplay();
    CoreVector<CoreString> names;
    for (int i = 0; i < config->getNumViews(display); ++i)
        names.add(config->getView(display, i));
    return names;
}

CoreString ColorIO::get_default_view_transform_name()
{
    OCIO::ConstConfigRcPtr config = get_config();
    return config->getDefaultView(config->getDefaultDisplay());
}

bool ColorIO::has_view_transform(CoreString const& name)
{
    for (CoreString const& view : get_view_transform_names()) {
        if (view == name)
            return true;
    }
    return false;
}

bool ColorIO::convert_buffers(float* pixels, size_t const& count, int const& channels, CoreString const& from,
                              CoreString const& to)
{
    if (!channels_ok(channels, "convert_buffers"))
        return false;
    ColorIOConverter converter;
    if (!converter.set_color_space_transform(from, to))
        return false;
    converter.convert(pixels, count, channels);
    return true;
}

struct ColorIOConverter::Processor {
    OCIO::ConstCPUProcessorRcPtr cpu;
};

ColorIOConverter::ColorIOConverter() = default;
ColorIOConverter::~ColorIOConverter() = default;
ColorIOConverter::ColorIOConverter(ColorIOConverter const& other) = default;
ColorIOConverter& ColorIOConverter::operator=(ColorIOConverter const& other) = default;

bool ColorIOConverter::set_color_space_transform(CoreString const& from, CoreString const& to)
{
    OCIO::ConstConfigRcPtr config = get_config();
    for (CoreString const* name : {&from, &to}) {
        if (!ColorIO::has_color_space(*name)) {
            CORE_LOG_WARNING("ColorIOConverter.set_color_space_transform: unknown colour space '" << *name << "'\n");
            return false;
        }
    }
    try {
        auto processor = std::make_shared<Processor>();
        processor->cpu = config->getProcessor(from.c_str(), to.c_str())->getDefaultCPUProcessor();
        m_processor = processor;
    } catch (OCIO::Exception const& e) {
        CORE_LOG_WARNING("ColorIOConverter.set_color_space_transform: " << from << " -> " << to << ": " << e.what()
                                                                         << "\n");
        return false;
    }
    m_description = from + " -> " + to;
    return true;
}

bool ColorIOConverter::set_display_transform(CoreString const& from, CoreString const& view_transform)
{
    if (!ColorIO::has_color_space(from)) {
        CORE_LOG_WARNING("ColorIOConverter.set_display_transform: unknown colour space '" << from << "'\n");
        return false;
    }
    if (!ColorIO::has_view_transform(view_transform)) {
        CORE_LOG_WARNING("ColorIOConverter.set_display_transform: unknown view transform '" << view_transform
                                                                                           << "'\n");
        return false;
    }
    OCIO::ConstConfigRcPtr config = get_config();
    CoreString const display = config->getDefaultDisplay();
    try {
        OCIO::DisplayViewTransformRcPtr transform = OCIO::DisplayViewTransform::Create();
        transform->setSrc(from.c_str());
        transform->setDisplay(display.c_str());
        transform->setView(view_transform.c_str());
        auto processor = std::make_shared<Processor>();
        processor->cpu = config->getProcessor(transform)->getDefaultCPUProcessor();
        m_processor = processor;
    } catch (OCIO::Exception const& e) {
        CORE_LOG_WARNING("ColorIOConverter.set_display_transform: " << from << " -> " << view_transform << ": "
                                                                     << e.what() << "\n");
        return false;
    }
    m_description = from + " -> " + display + " / " + view_transform;
    return true;
}

bool ColorIOConverter::is_valid() const
{
    return m_processor != nullptr;
}

void ColorIOConverter::convert(float* pixels, size_t const& count, int const& channels) const
{
    if (!m_processor || !channels_ok(channels, "convert"))
        return;
    apply(m_processor->cpu, pixels, count, channels);
}

GMathVec3<float> ColorIOConverter::convert(GMathVec3<float> const& color) const
{
    if (!m_processor)
        return color;
    float rgb[3] = {color[0], color[1], color[2]};
    m_processor->cpu->applyRGB(rgb);
    return GMathVec3<float>(rgb[0], rgb[1], rgb[2]);
}
