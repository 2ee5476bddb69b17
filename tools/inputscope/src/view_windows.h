#pragma once

// The viewer's window on Windows: a back buffer the draw list is painted into with GDI and then
// copied to the window whole, so a frame never shows half drawn.

#include <memory>
#include <string>
#include <vector>
#include <windows.h>

#include "view.h"

namespace inputscope {

class ViewerWindow {
public:
    ViewerWindow();
    ~ViewerWindow();
    ViewerWindow(const ViewerWindow&) = delete;
    ViewerWindow& operator=(const ViewerWindow&) = delete;

    // A window of its own (--watch), its inside `width` x `height`.
    bool create(const char* title, int width, int height, std::string& error);
    // The live viewer's window, made by the host's message path on this thread: painted here,
    // its messages still go where they went.
    bool attach(const char* windowClass, int width, int height, std::string& error);

    // Lays the model out at the window's size, paints it and shows it.
    void show(const ViewModel& model);
    // What the window shows now, as a BMP file.
    std::string picture() const;

    // Waits up to `waitMs` for messages, then handles them; false once the window is closed.
    // Only for a window of its own: the live viewer's host pumps its own.
    bool pump(unsigned waitMs);
    // Keys pressed since the last call (virtual-key codes).
    std::vector<int> takeKeys();

    struct State;

private:
    std::unique_ptr<State> m_state;
};

} // namespace inputscope
