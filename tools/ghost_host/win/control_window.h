// The demo host's window: what it is, the ghosts it publishes, and every
// request they receive, newest at the bottom. It also takes the control
// commands that tests and scripts send it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "framework/win/unique_handle.h"
#include "tools/ghost_host/win/request_feed.h"

namespace quillbin::win {

class ControlWindow {
public:
    // What the window reports to the host that owns it.
    class Owner {
    public:
        virtual bool OnCommand(std::string_view utf8) = 0;
        virtual void OnRequestsArrived() = 0;
        virtual void OnTimer() = 0;

    protected:
        ~Owner() = default;
    };

    static constexpr UINT kRequestsArrived = WM_APP + 1;

    static bool RegisterWindowClass(HINSTANCE instance);
    bool Create(HINSTANCE instance, Owner& owner);
    HWND window() const { return m_window; }

    void ShowGhosts(const std::vector<std::wstring>& lines);
    void AddRequest(const ShownRequest& request);
    void AddNote(const std::wstring& text);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnSize(int width, int height);
    void AddLines(const std::vector<std::wstring>& lines);
    int TextWidth(HWND control, const std::wstring& text) const;

    Owner* m_owner = nullptr;
    HWND m_window = nullptr;
    HWND m_header = nullptr;
    HWND m_ghostsLabel = nullptr;
    HWND m_ghosts = nullptr;
    HWND m_requestsLabel = nullptr;
    HWND m_requests = nullptr;
    UniqueFont m_font;
    int m_requestsExtent = 0;
    int m_ghostsExtent = 0;
    unsigned m_received = 0;
};

}  // namespace quillbin::win
