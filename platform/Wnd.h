#pragma once
// CWnd: one window of the program, backed by one QWidget. A CWnd either owns its widget (a sheet, a
// page) or stands for a control inside another window's widget. The window "exists" while the widget
// does; setters that only work before that test GetSafeHwnd().

#include "platform/AfxTypes.h"
#include "platform/String.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>

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
    HWND GetSafeHwnd() const { return m_hWnd.data(); }

    // Control lookup by numeric id, as given in the dialog template.
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;

    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;

    void SetWindowText(const char* pszText);
    void GetWindowText(CString& rString) const;

    // Supports the button check messages BM_SETCHECK and BM_GETCHECK; other messages answer 0.
    LRESULT SendMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0);

    // A message box owned by this window; returns the button that closed it (IDOK).
    int MessageBox(const char* pszText, const char* pszCaption = nullptr, UINT nType = MB_OK);

    // Makes this object stand for an existing widget, without owning it.
    void Attach(HWND hWnd);
    // Makes the control with the given id answer GetDlgItem through rControl.
    void SubclassDlgItem(int nID, CWnd& rControl);

protected:
    // Takes ownership of a newly made widget: it is deleted with this object or by DestroyWindow.
    void AdoptWindow(HWND hWnd);
    void DestroyWindow();
    // Forgets every control object made by GetDlgItem, for a window made anew.
    void ForgetDlgItems();

private:
    QPointer<QWidget> m_hWnd;
    bool m_bOwnsWindow = false;
    mutable std::map<int, std::unique_ptr<CWnd>> m_mapItems;
    std::map<int, CWnd*> m_mapSubclassed;
};

// A message box with an optional owner window (nullptr: none).
int MessageBoxA(HWND hOwner, const char* pszText, const char* pszCaption, UINT nType);
