#include "gui/core/gui_app_session.h"

size_t GuiAppSession::get_memory_size() const
{
    size_t size = m_clipboard.get_length();
    for (unsigned int i = 0; i < m_recent_script_files.get_count(); ++i)
        size += m_recent_script_files[i].get_length();
    return size;
}
