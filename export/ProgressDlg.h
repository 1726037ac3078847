#pragma once
// The window that stands while the export runs: a message, a bar from 0 to 100 and a
// percent text. It disables its owner while it exists and drains the thread's message
// queue before every position change, since the export runs on the interface thread.

#include "framework/Dialog.h"

class CProgressDlg : public CDialog {
public:
    // `captionId`: string of the caption; 0 gives the default "処理中...".
    explicit CProgressDlg(UINT captionId = 0);
    ~CProgressDlg() override;

    // Disables the owner (if it was enabled) and shows the window.
    BOOL Create(HWND parent = nullptr) override;
    BOOL DestroyWindow() override;

    void SetMessage(const std::string& text);
    // Pumps the queue, moves the bar and refreshes the percent text; returns the old position.
    int SetProgress(int position);
    void PumpMessages();
    void ShowPercent(int position);
    void EnableOwner();

    CWnd m_bar;
    // Held rather than looked up for every document: a child look-up is a round trip to
    // the window server under Wine, and the percent text is read after every note.
    CWnd m_percent;
    UINT m_captionId;
    int m_low = 0;
    int m_high = 100;
    int m_step = 10;
    bool m_ownerDisabled = false;

protected:
    // The position this window's bar was last given by SetProgress; kNoPosition before the first.
    static constexpr int kNoPosition = -1;
    int m_setPosition = kNoPosition;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter and Esc must neither close the window nor stop the export.
    void OnOK() override {}
    void OnCancel() override {}
};
