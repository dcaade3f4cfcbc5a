#include "gui/core/gui_app_color_tags.h"

#include "host/core/core_log.h"
#include "host/parser/parser_file.h"
#include "host/sys/sys_filesystem.h"

bool GuiAppColorTags::load(CoreString const& path)
{
    ParserFile file;
    if (!SysFilesystem::file_exists(path) || (!file.read(path) && file.get_error_count() == 0)) {
        CORE_LOG_WARNING("GuiAppColorTags.load: Failed to open tags file : '" << path << "'.\n");
        return false;
    }
    CoreVector<GuiColorTag> tags;
    ParserGroup const* group = file.get_root().get_group("color_tags");
    for (unsigned int i = 0; group && i < group->get_entry_count(); ++i) {
        ParserEntry const* entry = group->get_entry(i);
        ParserGroup const* tag = entry->is_group() ? entry->get_group() : nullptr;
        ParserEntry const* tip = tag ? tag->get_entry("tip") : nullptr;
        ParserEntry const* weight = tag ? tag->get_entry("weight") : nullptr;
        ParserEntry const* color = tag ? tag->get_entry("color") : nullptr;
        bool valid = tag && tip && weight && color && tag->get_entry_count() == 3 && tip->get_value_count() == 1 &&
                     tip->is_value_string(0) && weight->get_value_count() == 1 && weight->is_value_number(0) &&
                     color->get_value_count() == 3;
        for (unsigned int c = 0; valid && c < 3; ++c)
            valid = color->is_value_int(c) && color->get_int(c) >= 0 && color->get_int(c) <= 255;
        if (!valid) {
            CORE_LOG_WARNING("GuiAppColorTags.load: inconsistent entry " << entry->get_name() << "\n");
            continue;
        }
        GuiColorTag parsed;
        parsed.name = entry->get_name();
        parsed.tip = tip->get_string(0);
        parsed.weight = weight->get_double(0);
        parsed.color = GMathVec3<unsigned char>(static_cast<unsigned char>(color->get_int(0)),
                                                static_cast<unsigned char>(color->get_int(1)),
                                                static_cast<unsigned char>(color->get_int(2)));
        tags.add(parsed);
    }
    m_tags = tags;
    return true;
}
