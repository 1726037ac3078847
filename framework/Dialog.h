#pragma once
// CDialog: a modal or modeless dialog built from a numbered dialog template of the program's
// resources. How a message reaches a handler is all in Dialog.cpp: the dialog procedure hands
// every message to OnMessage, whose default sends initialisation, commands and notifications
// on to OnInitDialog, OnCommand and OnNotify.

#include "framework/DataExchange.h"
#include "framework/Wnd.h"

#include <windows.h>

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    // A modeless window still open is destroyed with the object.
    ~CDialog() override;

    // Runs the dialog modally over GetSafeOwner(m_hParentWnd); returns EndDialog's result,
    // or -1 when the window cannot be created.
    virtual INT_PTR DoModal();

    // Creates the dialog modeless, owned by `parent` or else by the application's main
    // window. The template decides whether it is visible at once.
    virtual BOOL Create(HWND parent = nullptr);

    BOOL DestroyWindow() override;

    // A modal dialog ends its run with `result`; a modeless one has no run to end and is
    // destroyed.
    virtual void EndDialog(int result);

    // TRUE: controls into members; FALSE: members into controls. Runs DoDataExchange.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // For a message loop that is not the dialog's own (a modeless dialog): gives `msg` to the
    // dialog's keyboard handling (Tab, Enter, Esc, mnemonics). TRUE when it took the message.
    virtual BOOL PreTranslateMessage(MSG* msg);

    BOOL IsModal() const { return m_bModal; }

    UINT m_nIDTemplate;
    HWND m_hParentWnd;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    // Default: members into controls; TRUE lets the system put the focus on the first control.
    virtual BOOL OnInitDialog();
    // Default: controls into members, then EndDialog(IDOK). Reached by the OK button and Enter.
    virtual void OnOK();
    // Default: EndDialog(IDCANCEL). Reached by the Cancel button, Esc and the close box.
    virtual void OnCancel();

    // A WM_COMMAND; TRUE when handled. The default sends IDOK to OnOK and IDCANCEL to
    // OnCancel; an override handles its own ids and calls the default for the rest.
    virtual BOOL OnCommand(UINT id, UINT code);
    // A WM_NOTIFY; TRUE when handled, with the notification's result in *result.
    virtual BOOL OnNotify(NMHDR* hdr, LRESULT* result);

    // Every message of the dialog. Return TRUE when handled, with the message's result in
    // *result; FALSE leaves the message to the system's default dialog handling. An override
    // handles the messages it wants (WM_PAINT, WM_SYSCOMMAND, WM_QUERYDRAGICON...) and calls
    // CDialog::OnMessage for the others.
    virtual BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // The procedure of every dialog and page window; WM_INITDIALOG carries the object.
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    BOOL m_bModal = FALSE;
};
