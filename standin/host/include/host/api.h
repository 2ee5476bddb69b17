#pragma once

// Export macro of the host stand-in module (runtime, tweakables, events, localisation).
#if defined(_WIN32)
#if defined(HOST_BUILDING)
#define HOST_API __declspec(dllexport)
#else
#define HOST_API __declspec(dllimport)
#endif
#else
#define HOST_API __attribute__((visibility("default")))
#endif
