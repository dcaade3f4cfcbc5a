#pragma once
// Export macro of libqn_host, which is built with hidden default visibility.
#define QN_HOST_API __attribute__((visibility("default")))
