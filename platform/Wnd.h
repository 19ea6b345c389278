// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CWnd: one window of the program, backed by one QWidget. A CWnd either owns its widget (a sheet, a
// page) or stands for a control inside another window's widget. The window "exists" while the widget
// does; setters that only work before that test GetSafeHwnd().

#include "platform/AfxTypes.h"
#include "platform/String.h"

#include <map>
#include <memory>
#include <vector>

class QWidget;
typedef QWidget* HWND;

class CWnd
{
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The widget, or nullptr while the window does not exist.
    HWND GetSafeHwnd() const;

    // Control lookup by numeric id, as given in the dialog template.
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;

    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;

    void SetWindowText(const char* pszText);
    void GetWindowText(CString& rString) const;

    // Sends a message to this window and returns its answer, synchronously (WindowProc).
    LRESULT SendMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0);

    // The nearest enclosing window that the program made or subclassed (a page for its controls).
    CWnd* GetParent() const;
    // The object that owns or subclassed this widget, or nullptr.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // A popup window of this object, built at run time: cx by cy pixels of client area (the window
    // system adds the caption and frame), owned by pParent's window. Closing it by its close box or
    // Escape sends OnCommand(IDCANCEL); Enter presses its default button.
    BOOL CreateEx(DWORD dwExStyle, const char* pszTitle, DWORD dwStyle, int x, int y, int cx, int cy, CWnd* pParent);
    void CenterWindow();
    // Runs the popup modally until EndModalLoop; returns the code given there.
    int RunModalLoop();
    void EndModalLoop(int nResult);

    // A plain child window of this object, which paints itself in OnPaint.
    BOOL Create(const char* pszWindowName, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID);
    // Marks part of the window (nullptr: all of it) to be painted again.
    void InvalidateRect(const CRect* pRect, BOOL bErase = TRUE);
    // The client area: (0, 0) to its width and height.
    CRect GetClientRect() const;
    // Moves and resizes the window, in its parent's coordinates (a window: on the screen).
    void MoveWindow(const CRect& rect);
    // The child windows, in their order, and moving one of them.
    std::vector<HWND> GetChildWindows() const;
    static CRect GetWindowRectOf(HWND hWnd);
    static void MoveWindowOf(HWND hWnd, const CRect& rect);

    void SetFont(const class CFont* pFont);
    void SetFocus();
    // The window's rectangle in its parent's coordinates (for a window, its client area on screen).
    CRect GetWindowRect() const;

    // A timer of this window: OnTimer(nIDEvent) every nElapse milliseconds, on the user-interface
    // thread, until KillTimer or until the window goes. Setting the same id again restarts it.
    UINT SetTimer(UINT nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT nIDEvent);

    // Freezes and thaws painting, around bulk changes.
    void LockWindowUpdate();
    void UnlockWindowUpdate();

    // Shows that the window's value cannot be used, and why (a red frame, the reason as its tooltip);
    // nullptr or an empty reason shows it as fine again.
    void MarkInvalid(const char* pszReason);

    // A message box owned by this window; returns the button that closed it (IDOK).
    int MessageBox(const char* pszText, const char* pszCaption = nullptr, UINT nType = MB_OK);

    // Makes this object stand for an existing widget, without owning it.
    void Attach(HWND hWnd);
    // Makes the control with the given id answer GetDlgItem through rControl.
    void SubclassDlgItem(int nID, CWnd& rControl);

protected:
    // Handles a message sent to this window. The base answers the button check messages BM_SETCHECK
    // and BM_GETCHECK for a button and EM_SETPASSWORDCHAR for an edit box; everything else answers 0.
    virtual LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam);
    // A command from a child control: LOWORD(wParam) its id, HIWORD(wParam) the notification
    // (BN_CLICKED, EN_CHANGE). Answer TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Paints the window made by Create (use a CPaintDC).
    virtual void OnPaint() {}
    // A timer set with SetTimer has run out.
    virtual void OnTimer(UINT /*nIDEvent*/) {}
    // Runs when an existing control has just been subclassed by this object.
    virtual void PreSubclassWindow() {}
    // Runs while the window still exists, just before it is destroyed: the place to let go of
    // whatever the window's contents refer to.
    virtual void OnDestroy() {}

    // Takes ownership of a newly made widget: it is deleted with this object or by DestroyWindow.
    void AdoptWindow(HWND hWnd);
    void DestroyWindow();
    // Forgets every control object made by GetDlgItem, for a window made anew.
    void ForgetDlgItems();

private:
    // The widget, tracked so that it reads as gone once Qt deleted it, and the running timers.
    struct CWndState;
    std::unique_ptr<CWndState> m_pState;
    bool m_bOwnsWindow = false;
    mutable std::map<int, std::unique_ptr<CWnd>> m_mapItems;
    std::map<int, CWnd*> m_mapSubclassed;
};

constexpr WPARAM MAKEWPARAM(int nLow, int nHigh)
{
    return static_cast<WPARAM>((nLow & 0xFFFF) | ((nHigh & 0xFFFF) << 16));
}
constexpr int LOWORD(WPARAM w)
{
    return static_cast<int>(w & 0xFFFF);
}
constexpr int HIWORD(WPARAM w)
{
    return static_cast<int>((w >> 16) & 0xFFFF);
}

// Whether a key is held down now (VK_CONTROL, VK_SHIFT): the high bit, a negative value, means down.
short GetKeyState(int nVirtKey);

// A message box with an optional owner window (nullptr: none).
int MessageBoxA(HWND hOwner, const char* pszText, const char* pszCaption, UINT nType);
// Asks before a step that would lose something, with two buttons: TRUE when the user chose pszAct.
// pszStay, the safe answer, is what Enter and Escape give.
BOOL AskBeforeLosing(HWND hOwner, const char* pszCaption, const char* pszText, const char* pszAct, const char* pszStay);
