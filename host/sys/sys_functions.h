#pragma once
// Process-wide system services: user folders, environment, wall clock, memory.
#include "host/core/core_export.h"
#include "host/core/core_string.h"

// The user's home folder: $HOME, else the password database's entry.
QN_HOST_API CoreString sys_get_home_dir();
// The user's desktop folder: XDG_DESKTOP_DIR from the environment or from the XDG
// user-dirs.dirs file, else "~/Desktop". The folder may not exist.
QN_HOST_API CoreString sys_get_desktop_dir();
// Where the interface keeps its preferences and caches: $XDG_CONFIG_HOME/qn_gui, or
// ~/.config/qn_gui when that variable is unset or not absolute. Not created here.
QN_HOST_API CoreString sys_get_preferences_dir();
// The folder of the default configuration files: $VELMORA_BIN_DIR when set, else the
// resources installed beside the library (share/qn_gui/resources of its prefix), else the
// resources folder of the sources the library was built from.
QN_HOST_API CoreString sys_get_resources_dir();
// The value of an environment variable; empty when it is unset.
QN_HOST_API CoreString sys_get_env(CoreBasicString const& name);
// Wall-clock time in seconds since 1970-01-01 UTC, with sub-microsecond resolution.
// It may jump when the system clock is set; measure durations with SysTimer.
QN_HOST_API double sys_time();
// Lets other threads run.
QN_HOST_API void sys_thread_yield();
// Returns freed heap memory to the system.
QN_HOST_API void sys_release_unused_memory();
