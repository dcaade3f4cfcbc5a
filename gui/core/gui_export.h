#pragma once
// Export macro of libqn_gui, which is built with hidden default visibility.
#define QN_GUI_API __attribute__((visibility("default")))
