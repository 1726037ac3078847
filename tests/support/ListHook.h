#pragma once
// What the window driver and the list hook (ListHook.cpp, built as qs_list_hook.dll in each
// width) say to each other. The driver hooks the thread of another process's list view with
// the DLL's procedure and sends the list one of the messages below; the procedure runs inside
// that process, works on the list through plain memory there, and answers a read with
// WM_COPYDATA, which Wine's server carries between processes of any kind (another process's
// memory is out of reach under user-mode emulation).

#include <windows.h>

#include <cstdint>

namespace listhook {

constexpr char kDllName[] = "qs_list_hook.dll";
constexpr char kProcName[] = "QsListHookProc";

// wParam: the item's index, or kAllItems; lParam: the window the texts are sent to.
constexpr wchar_t kReadMessage[] = L"QuillsheetTest.ListHook.Read";
constexpr WPARAM kAllItems = static_cast<WPARAM>(-1);
// wParam: the item's index; lParam: 1 to select it, 0 to leave it unselected.
constexpr wchar_t kSelectMessage[] = L"QuillsheetTest.ListHook.Select";

// COPYDATASTRUCT::dwData of the answer to a read. Its data: the number of texts (uint32_t),
// then each text in UTF-16, each ended by a zero.
constexpr ULONG_PTR kTextsTag = 0x51534C54;
using Count = std::uint32_t;

}  // namespace listhook
