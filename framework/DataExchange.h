#pragma once
// Dialog data exchange: one DoDataExchange lists, for each member of a dialog, the control it
// belongs to; UpdateData runs that list in one direction or the other.

#include <windows.h>

#include <string>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate)
        : m_pDlgWnd(dlgWnd), m_bSaveAndValidate(saveAndValidate) {}

    // The control `id` of the dialog, or nullptr when the template has none.
    HWND PrepareCtrl(int id) const;

    CWnd* m_pDlgWnd;
    // TRUE: controls into members; FALSE: members into controls.
    BOOL m_bSaveAndValidate;
};

// The text of an edit (or any window with a text) and a string.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);

// A radio group and the index of its checked button: the group is the radio buttons from
// control `firstId` up to the next control with WS_GROUP. -1 means none is checked; setting
// checks the button of that index and unchecks the others.
void DDX_Radio(CDataExchange* pDX, int firstId, int& value);

// Binds `control` to control `id` (subclassed, so the member lets go of the window when the
// window ends). A dialog created again binds the member to the new control.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
