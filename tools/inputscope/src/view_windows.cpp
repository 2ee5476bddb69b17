#include "view_windows.h"

#include <algorithm>
#include <map>
#include <utility>

#include "text.h"

namespace inputscope {

namespace {

COLORREF colourRef(Colour c) {
    return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

const char* const kViewerClass = "InputscopeViewer";
const char* const kStateProperty = "inputscope.viewer";

LRESULT CALLBACK viewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace

struct ViewerWindow::State {
    HWND window = nullptr;
    bool own = false;
    WNDPROC previous = nullptr; // the live window's own procedure
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr, oldBitmap = nullptr;
    std::uint32_t* bits = nullptr;
    int width = 0, height = 0;
    std::map<std::pair<int, bool>, HFONT> fonts;
    std::vector<int> keys;
    ViewModel last;
    bool shown = false;

    ~State() {
        freeBuffer();
        for (auto& font : fonts)
            DeleteObject(font.second);
    }

    void freeBuffer() {
        if (memory) {
            SelectObject(memory, oldBitmap);
            DeleteObject(bitmap);
            DeleteDC(memory);
        }
        memory = nullptr;
        bitmap = nullptr;
        bits = nullptr;
    }

    // A back buffer of the window's inside: 32-bit pixels, rows from the top.
    void fitBuffer() {
        RECT area;
        GetClientRect(window, &area);
        int w = std::max(1L, area.right - area.left), h = std::max(1L, area.bottom - area.top);
        if (memory && w == width && h == height)
            return;
        freeBuffer();
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(window);
        memory = CreateCompatibleDC(screen);
        void* pixels = nullptr;
        bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        ReleaseDC(window, screen);
        bits = static_cast<std::uint32_t*>(pixels);
        oldBitmap = static_cast<HBITMAP>(SelectObject(memory, bitmap));
        width = w;
        height = h;
    }

    HFONT font(int size, bool bold) {
        auto found = fonts.find({size, bold});
        if (found != fonts.end())
            return found->second;
        HFONT made = CreateFontA(-size, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
        fonts[{size, bold}] = made;
        return made;
    }

    void paint(const DrawList& list) {
        HDC dc = memory;
        SetBkMode(dc, TRANSPARENT);
        for (const Shape& s : list) {
            COLORREF c = colourRef(s.colour);
            RECT box{s.x, s.y, s.x + s.w, s.y + s.h};
            switch (s.kind) {
            case Shape::Fill: {
                SetDCBrushColor(dc, c);
                FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
                break;
            }
            case Shape::Ring:
            case Shape::Disc:
            case Shape::Line: {
                HPEN pen = CreatePen(PS_SOLID, s.kind == Shape::Disc ? 1 : s.thickness, c);
                HGDIOBJ oldPen = SelectObject(dc, pen);
                SetDCBrushColor(dc, c);
                HGDIOBJ oldBrush =
                    SelectObject(dc, GetStockObject(s.kind == Shape::Disc ? DC_BRUSH : NULL_BRUSH));
                if (s.kind == Shape::Line) {
                    MoveToEx(dc, s.x, s.y, nullptr);
                    LineTo(dc, s.x + s.w, s.y + s.h);
                } else
                    Ellipse(dc, box.left, box.top, box.right, box.bottom);
                SelectObject(dc, oldBrush);
                SelectObject(dc, oldPen);
                DeleteObject(pen);
                break;
            }
            case Shape::Text: {
                HGDIOBJ oldFont = SelectObject(dc, font(s.size, s.bold));
                SetTextColor(dc, c);
                std::wstring text = fromUtf8(printable(s.text));
                UINT align = s.align == Shape::Centre  ? DT_CENTER
                             : s.align == Shape::Right ? DT_RIGHT
                                                       : DT_LEFT;
                DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                          align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
                SelectObject(dc, oldFont);
                break;
            }
            }
        }
    }

    void draw() {
        fitBuffer();
        paint(layoutView(last, width, height));
        GdiFlush();
    }

    void present(HDC dc) const {
        if (memory)
            BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    }

    // What both windows answer themselves: painting from the back buffer, no background erase
    // (the buffer covers it, and erasing first is what flickers), sizes and keys.
    bool handle(UINT message, WPARAM wParam, LRESULT& result) {
        switch (message) {
        case WM_ERASEBKGND: result = 1; return true;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            present(dc);
            EndPaint(window, &ps);
            result = 0;
            return true;
        }
        case WM_SIZE:
            if (shown && wParam != SIZE_MINIMIZED) {
                draw();
                InvalidateRect(window, nullptr, FALSE);
            }
            return false;
        case WM_KEYDOWN:
            if (keys.size() < 256)
                keys.push_back(static_cast<int>(wParam));
            return false;
        default: return false;
        }
    }
};

namespace {

LRESULT CALLBACK viewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetPropA(window, kStateProperty, create->lpCreateParams);
    }
    auto* state = static_cast<ViewerWindow::State*>(GetPropA(window, kStateProperty));
    if (!state)
        return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    if (state->handle(message, wParam, result))
        return result;
    if (state->previous) {
        result = CallWindowProcA(state->previous, window, message, wParam, lParam);
        if (message == WM_DESTROY) {
            RemovePropA(window, kStateProperty);
            state->window = nullptr;
        }
        return result;
    }
    if (message == WM_DESTROY) {
        RemovePropA(window, kStateProperty);
        state->window = nullptr;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The window size that gives an inside of `width` x `height`.
void resize(HWND window, int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CALLBACK findClass(HWND window, LPARAM lParam) {
    auto* wanted = reinterpret_cast<std::pair<const char*, HWND>*>(lParam);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, wanted->first) != 0)
        return TRUE;
    wanted->second = window;
    return FALSE;
}

} // namespace

ViewerWindow::ViewerWindow() : m_state(std::make_unique<State>()) {}

ViewerWindow::~ViewerWindow() {
    HWND window = m_state->window;
    if (!window)
        return;
    if (m_state->own) {
        DestroyWindow(window);
    } else {
        // The live window lives on with its own procedure.
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_state->previous));
        RemovePropA(window, kStateProperty);
    }
}

bool ViewerWindow::create(const char* title, int width, int height, std::string& error) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = viewerProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kViewerClass;
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        error = "RegisterClassA failed (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    m_state->own = true;
    HWND window =
        CreateWindowExA(0, kViewerClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        width, height, nullptr, nullptr, instance, m_state.get());
    if (!window) {
        error = "CreateWindowExA failed (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    m_state->window = window;
    resize(window, width, height);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    return true;
}

bool ViewerWindow::attach(const char* windowClass, int width, int height, std::string& error) {
    std::pair<const char*, HWND> wanted{windowClass, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), findClass, reinterpret_cast<LPARAM>(&wanted));
    if (!wanted.second) {
        error = std::string("no window of class ") + windowClass + " on this thread";
        return false;
    }
    HWND window = wanted.second;
    m_state->window = window;
    SetPropA(window, kStateProperty, m_state.get());
    m_state->previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(viewerProc)));
    resize(window, width, height);
    return true;
}

void ViewerWindow::show(const ViewModel& model) {
    if (!m_state->window)
        return;
    m_state->last = model;
    m_state->shown = true;
    m_state->draw();
    HDC dc = GetDC(m_state->window);
    m_state->present(dc);
    ReleaseDC(m_state->window, dc);
}

std::string ViewerWindow::picture() const {
    const State& s = *m_state;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(s.width) * s.height);
    for (std::size_t i = 0; i < pixels.size() && s.bits; ++i)
        pixels[i] = s.bits[i] & 0xFFFFFF;
    return encodeBmp(s.width, s.height, pixels);
}

bool ViewerWindow::pump(unsigned waitMs) {
    if (!m_state->window)
        return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, waitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return m_state->window != nullptr;
}

std::vector<int> ViewerWindow::takeKeys() {
    std::vector<int> keys;
    keys.swap(m_state->keys);
    return keys;
}

} // namespace inputscope
