#include "wizard/SourceDlg.h"

#include "wizard/AboutDlg.h"
#include "wizard/ConversionJob.h"
#include "job/InputChecks.h"
#include "wizard/SaveFileDialog.h"
#include "wizard/ShellOpen.h"
#include "framework/MessageBox.h"
#include "framework/ResourceString.h"
#include "framework/WinApp.h"
#include "notes/BufferSizes.h"
#include "notes/NotesBinding.h"
#include "res/resource.h"

#include <cstring>
#include <utility>

namespace {
constexpr size_t kConfigBufferSize = notes::kConfigValueSize;
constexpr char kDirectoryKey[] = "Directory=";
// The Notes library takes a variable's name without "=", so "Directory=" is normally absent
// there; the data directory is then asked for by its own name.
constexpr char kDirectoryVariable[] = "Directory";
constexpr DWORD kSaveDialogFlags = OFN_HIDEREADONLY | OFN_NOREADONLYRETURN | OFN_NONETWORKBUTTON;  // 0x28004
constexpr UINT kSysCommandMask = 0xFFF0;
}  // namespace

CSourceDlg::CSourceDlg(WizardPlaces places)
    : CDialog(IDD_SOURCE),
      m_hIcon(LoadIconA(GetResourceInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_places(std::move(places)) {}

void CSourceDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_RADIO_SERVER, m_nSource);
}

BOOL CSourceDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (CWinApp* app = GetCurrentApp()) app->m_hMainWnd = m_hWnd;

    if (HMENU systemMenu = GetSystemMenu(FALSE)) {
        const std::string about = ResString(IDS_ABOUTBOX);
        if (!about.empty()) {
            AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    if (!m_openedDatabase.empty()) {
        m_nSource = 1;
        UpdateData(FALSE);
        ApplySourceMode();
        ::SetDlgItemTextA(m_hWnd, IDC_LOCAL_PATH, m_openedDatabase.c_str());
    }
    return TRUE;
}

BOOL CSourceDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (msg) {
        case WM_SYSCOMMAND:
            if ((wParam & kSysCommandMask) == IDM_ABOUTBOX) {
                CAboutDlg about;
                about.DoModal();
                *result = 0;
                return TRUE;
            }
            break;
        case WM_PAINT:
            if (IsIconic()) {
                PaintMinimised();
                *result = 0;
                return TRUE;
            }
            break;
        case WM_QUERYDRAGICON:
            *result = reinterpret_cast<LRESULT>(m_hIcon);
            return TRUE;
        default:
            break;
    }
    return CDialog::OnMessage(msg, wParam, lParam, result);
}

void CSourceDlg::PaintMinimised() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &ps);
}

BOOL CSourceDlg::OnCommand(UINT id, UINT code) {
    if (code == BN_CLICKED) {
        switch (id) {
            case IDC_RADIO_SERVER:
                OnSelectServer();
                return TRUE;
            case IDC_RADIO_LOCAL:
                OnSelectLocal();
                return TRUE;
            case IDC_BROWSE_DB:
                OnBrowse();
                return TRUE;
            case IDC_START:
                OnStart();
                return TRUE;
            default:
                break;
        }
    }
    return CDialog::OnCommand(id, code);
}

// Enter starts, as the Start button does; it never closes the dialog.
void CSourceDlg::OnOK() { OnStart(); }

void CSourceDlg::ApplySourceMode() {
    const BOOL server = m_nSource == 0;
    ::EnableWindow(GetDlgItem(IDC_SERVER_NAME), server);
    ::EnableWindow(GetDlgItem(IDC_SERVER_PATH), server);
    ::EnableWindow(GetDlgItem(IDC_LOCAL_PATH), !server);
    ::EnableWindow(GetDlgItem(IDC_BROWSE_DB), !server);
}

void CSourceDlg::OnSelectServer() {
    UpdateData(TRUE);
    if (m_nSource == 0) ApplySourceMode();
}

void CSourceDlg::OnSelectLocal() {
    UpdateData(TRUE);
    if (m_nSource == 1) ApplySourceMode();
}

void CSourceDlg::OnBrowse() {
    char value[kConfigBufferSize];
    char directory[kConfigBufferSize];
    std::memset(value, 0, sizeof value);
    std::memset(directory, 0, sizeof directory);
    notes::Api().OSGetEnvironmentString(kDirectoryKey, value, kConfigBufferSize - 1);
    if (value[0] == '\0') {
        std::memset(value, 0, sizeof value);
        notes::Api().OSGetEnvironmentString(kDirectoryVariable, value, kConfigBufferSize - 1);
    }
    const size_t valueLength = strnlen(value, kConfigBufferSize - 1);
    // Translation may grow the text; the buffer's own size bounds it.
    notes::TranslateInto(notes::OS_TRANSLATE_LMBCS_TO_NATIVE, value, valueLength, directory,
                         sizeof directory);
    const std::string proposed = std::string(directory) + ResString(IDS_DB_PROPOSED_NAME);

    std::string chosen;
    if (RunSaveFileDialog(GetMainWindow(), proposed, ResString(IDS_DB_FILTER), ResString(IDS_DB_DEFAULT_EXT),
                          kSaveDialogFlags, chosen)) {
        SetDlgItemText(IDC_LOCAL_PATH, chosen);
    }
}

void CSourceDlg::OnStart() {
    const bool onServer = m_nSource == 0;
    const std::string server = onServer ? GetDlgItemText(IDC_SERVER_NAME) : std::string();
    std::string path = GetDlgItemText(onServer ? IDC_SERVER_PATH : IDC_LOCAL_PATH);
    if (const unsigned messageId = CheckSource(onServer, server, path)) {
        AppMessageBox(messageId);
        return;
    }
    RunConversionJob(this, m_places, server, path);
}

void CSourceDlg::OpenWithShell(const std::string& path) { ShellOpen(m_hWnd, path); }
