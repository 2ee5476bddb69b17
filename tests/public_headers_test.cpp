// The public headers stand alone and keep <windows.h> and its macros away from the game: this
// file includes them before anything else and fails to compile if any of those arrive.
#include "input/input.h"

#if defined(_WINDOWS_) || defined(_INC_WINDOWS) || defined(_MINWINDEF_) || defined(_WINDEF_)
#error "a public header brings in <windows.h>"
#endif
#if defined(min) || defined(max) || defined(near) || defined(far) || defined(interface)
#error "a public header defines a <windows.h> macro"
#endif
