#pragma once
// The main window: the user chooses a database on a server or a local file and starts.

#include "framework/Dialog.h"
#include "wizard/WizardPlaces.h"

#include <string>

class CSourceDlg : public CDialog {
public:
    explicit CSourceDlg(WizardPlaces places);

    void OnSelectServer();
    void OnSelectLocal();
    void OnBrowse();
    void OnStart();
    // Hands `path` to the shell's "open", owned by this dialog.
    void OpenWithShell(const std::string& path);

    int m_nSource = 0;             // 0: server, 1: local
    std::string m_openedDatabase;  // the file the program was opened with, filled in as a local path
    HICON m_hIcon;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(UINT id, UINT code) override;
    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void ApplySourceMode();

    WizardPlaces m_places;  // handed to every job started here
    void PaintMinimised();
};
