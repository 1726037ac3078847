#include "export/ProgressDlg.h"

#include "framework/ResourceString.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdio>

CProgressDlg::CProgressDlg(UINT captionId)
    : CDialog(IDD_PROGRESS), m_captionId(captionId != 0 ? captionId : IDS_PROGRESS_CAPTION) {}

CProgressDlg::~CProgressDlg() {
    if (m_hWnd != nullptr) CProgressDlg::DestroyWindow();
}

BOOL CProgressDlg::Create(HWND parent) {
    m_hParentWnd = GetSafeOwner(parent);
    if (m_hParentWnd != nullptr && ::IsWindowEnabled(m_hParentWnd)) {
        ::EnableWindow(m_hParentWnd, FALSE);
        m_ownerDisabled = true;
    }
    if (!CDialog::Create(m_hParentWnd)) {
        EnableOwner();
        return FALSE;
    }
    return TRUE;
}

BOOL CProgressDlg::DestroyWindow() {
    EnableOwner();
    return CDialog::DestroyWindow();
}

void CProgressDlg::EnableOwner() {
    if (m_ownerDisabled && m_hParentWnd != nullptr) ::EnableWindow(m_hParentWnd, TRUE);
    m_ownerDisabled = false;
}

void CProgressDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS_BAR, m_bar);
    DDX_Control(pDX, IDC_PROGRESS_PERCENT, m_percent);
}

BOOL CProgressDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_setPosition = kNoPosition;
    m_bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(m_low, m_high));
    m_bar.SendMessage(PBM_SETSTEP, static_cast<WPARAM>(m_step), 0);
    m_bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(m_low), 0);
    SetWindowText(ResString(m_captionId));
    return TRUE;
}

void CProgressDlg::SetMessage(const std::string& text) {
    if (m_hWnd != nullptr) SetDlgItemText(IDC_PROGRESS_MESSAGE, text);
}

int CProgressDlg::SetProgress(int position) {
    PumpMessages();
    if (m_hWnd == nullptr || m_bar.m_hWnd == nullptr) return m_low;
    // A run of many documents sets the same percent hundreds of times over: moving the bar
    // where it stands and reading back an unchanged text are round trips to the window server
    // that change nothing on the screen.
    if (position == m_setPosition && position != kNoPosition) return position;
    const int previous = static_cast<int>(m_bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(position), 0));
    ShowPercent(position);
    m_setPosition = position;
    return previous;
}

void CProgressDlg::PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (m_hWnd != nullptr && IsDialogMessageA(m_hWnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void CProgressDlg::ShowPercent(int position) {
    if (m_hWnd == nullptr || m_percent.m_hWnd == nullptr || m_high == m_low) return;
    int percent = (position - m_low) * 100 / (m_high - m_low);
    if (percent != 100) percent %= 100;
    char text[16];
    std::snprintf(text, sizeof text, "%d%c", percent, '%');
    if (m_percent.GetWindowText() != text) m_percent.SetWindowText(text);
}
