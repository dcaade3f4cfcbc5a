#include "gui/core/gui_app_draw_lock.h"

#include <atomic>

namespace {

std::atomic<int> s_draw_depth{0};

}  // namespace

SysThreadLockRecursive& GuiAppDrawLock::get_lock()
{
    static SysThreadLockRecursive lock;
    return lock;
}

void GuiAppDrawLock::begin_draw()
{
    ++s_draw_depth;
}

void GuiAppDrawLock::end_draw()
{
    --s_draw_depth;
}

bool GuiAppDrawLock::is_drawing()
{
    return s_draw_depth.load() > 0;
}
