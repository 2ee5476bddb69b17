#pragma once

// One export macro for everything the input library exports.
#if defined(INPUT_STATIC)
#define INPUT_API
#elif defined(_WIN32)
#if defined(INPUT_BUILDING_LIBRARY)
#define INPUT_API __declspec(dllexport)
#else
#define INPUT_API __declspec(dllimport)
#endif
#else
#define INPUT_API __attribute__((visibility("default")))
#endif
