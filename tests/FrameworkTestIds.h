#pragma once
// Ids of the test-only dialogs of test_framework (tests/framework_test.rc), clear of the
// program's own ids.

// A dialog with an edit, a radio group of three, a one-button group after it, a push button
#define IDD_TEST_DIALOG 9000
#define IDC_TEST_EDIT 9001
#define IDC_TEST_RADIO_A 9002
#define IDC_TEST_RADIO_B 9003
#define IDC_TEST_RADIO_C 9004
#define IDC_TEST_BUTTON 9005
#define IDC_TEST_OTHER_RADIO 9006

// A visible dialog for modeless use
#define IDD_TEST_MODELESS 9100
#define IDC_TEST_MODELESS_EDIT 9101

// Three wizard pages
#define IDD_TEST_PAGE1 9200
#define IDD_TEST_PAGE2 9201
#define IDD_TEST_PAGE3 9202
#define IDC_TEST_PAGE_EDIT 9210

#define IDS_TEST_SHEET_CAPTION 9300
