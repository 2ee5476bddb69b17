#pragma once

// The simulated Windows machine: the subset of user32, kernel32 and XInput that the engine's
// modules call, with Windows' names, types, record layouts and contracts (64-bit), for builds on
// other systems. Tests and tools drive it through winsim/control.h.

#include <cstdint>

#define WINSIM_API __attribute__((visibility("default")))

typedef int BOOL;
typedef std::uint8_t BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD; // 32-bit, as on Windows (not the host's unsigned long)
typedef std::int32_t LONG;
typedef std::uint32_t UINT;
typedef std::uint32_t ULONG;
typedef std::int16_t SHORT;
typedef std::uint16_t USHORT;
typedef void* PVOID;
typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef std::uint64_t WPARAM;
typedef std::int64_t LPARAM;

#define TRUE 1
#define FALSE 0
#define ERROR_SUCCESS 0u
#define ERROR_DEVICE_NOT_CONNECTED 1167u

typedef struct _RTL_SRWLOCK {
    PVOID Ptr;
} SRWLOCK, *PSRWLOCK;

typedef struct tagRAWINPUTDEVICE {
    USHORT usUsagePage;
    USHORT usUsage;
    DWORD dwFlags;
    HWND hwndTarget;
} RAWINPUTDEVICE, *PRAWINPUTDEVICE;
typedef const RAWINPUTDEVICE* PCRAWINPUTDEVICE;

typedef struct tagSTICKYKEYS {
    UINT cbSize;
    DWORD dwFlags;
} STICKYKEYS;

typedef struct tagTOGGLEKEYS {
    UINT cbSize;
    DWORD dwFlags;
} TOGGLEKEYS;

typedef struct tagFILTERKEYS {
    UINT cbSize;
    DWORD dwFlags;
    DWORD iWaitMSec;
    DWORD iDelayMSec;
    DWORD iRepeatMSec;
    DWORD iBounceMSec;
} FILTERKEYS;

typedef struct _XINPUT_GAMEPAD {
    WORD wButtons;
    BYTE bLeftTrigger;
    BYTE bRightTrigger;
    SHORT sThumbLX;
    SHORT sThumbLY;
    SHORT sThumbRX;
    SHORT sThumbRY;
} XINPUT_GAMEPAD;

typedef struct _XINPUT_STATE {
    DWORD dwPacketNumber;
    XINPUT_GAMEPAD Gamepad;
} XINPUT_STATE;

typedef struct _XINPUT_VIBRATION {
    WORD wLeftMotorSpeed;
    WORD wRightMotorSpeed;
} XINPUT_VIBRATION;

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVIRTUALSCREEN 78
#define SM_CYVIRTUALSCREEN 79

#define SPI_GETFILTERKEYS 0x0032
#define SPI_SETFILTERKEYS 0x0033
#define SPI_GETTOGGLEKEYS 0x0034
#define SPI_SETTOGGLEKEYS 0x0035
#define SPI_GETSTICKYKEYS 0x003A
#define SPI_SETSTICKYKEYS 0x003B

#define SKF_STICKYKEYSON 0x00000001
#define SKF_AVAILABLE 0x00000002
#define SKF_HOTKEYACTIVE 0x00000004
#define SKF_CONFIRMHOTKEY 0x00000008
#define TKF_TOGGLEKEYSON 0x00000001
#define TKF_HOTKEYACTIVE 0x00000004
#define TKF_CONFIRMHOTKEY 0x00000008
#define FKF_FILTERKEYSON 0x00000001
#define FKF_HOTKEYACTIVE 0x00000004
#define FKF_CONFIRMHOTKEY 0x00000008

#define MAPVK_VK_TO_VSC 0

#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_WRITE_THROUGH 0x00000008
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080

extern "C" {
WINSIM_API void AcquireSRWLockExclusive(PSRWLOCK lock);
WINSIM_API void ReleaseSRWLockExclusive(PSRWLOCK lock);
WINSIM_API DWORD GetCurrentThreadId(void);

WINSIM_API SHORT GetAsyncKeyState(int vKey);
WINSIM_API int GetSystemMetrics(int index);
WINSIM_API BOOL SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT fWinIni);
WINSIM_API BOOL RegisterRawInputDevices(PCRAWINPUTDEVICE devices, UINT count, UINT cbSize);
WINSIM_API UINT MapVirtualKeyA(UINT code, UINT mapType);
WINSIM_API int GetKeyNameTextA(LONG lParam, LPSTR buffer, int size);

// Files are the host's own; a control can make the move fail as a full or read-only disk would.
WINSIM_API BOOL MoveFileExA(LPCSTR existing, LPCSTR replacement, DWORD flags);
WINSIM_API BOOL DeleteFileA(LPCSTR path);
// A file without the owner's write bit reads as read-only, as Windows' attribute says.
WINSIM_API DWORD GetFileAttributesA(LPCSTR path);

WINSIM_API DWORD XInputGetState(DWORD userIndex, XINPUT_STATE* state);
WINSIM_API DWORD XInputSetState(DWORD userIndex, XINPUT_VIBRATION* vibration);
}
