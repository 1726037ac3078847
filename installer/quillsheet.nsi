; Quillsheet's installer. makensis is given VERSION, COPYRIGHT, STAGE (the folder with
; win32\ and win64\, each holding quillsheet.exe and its console twin quillsheet.com, and the
; common files: the read-me and the user guide) and OUTFILE; scripts/package does that. The file is UTF-8 with a byte order mark,
; for the Japanese texts.
Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"
!include "StrFunc.nsh"
!include "WinMessages.nsh"

${StrStr}
${UnStrRep}

!define PRODUCT "Quillsheet"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillsheet"
!define NOTES_KEY "SOFTWARE\Lotus\Notes"
!define GUIDE_LINK "Quillsheet ユーザーガイド"
!define MACHINE_I386 0x014C
!define MACHINE_AMD64 0x8664
; The user's own PATH, which a new command prompt reads.
!define ENVIRONMENT_KEY "Environment"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "FileDescription" "Quillsheet セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${COPYRIGHT}"

Var ClientFolder   ; the Notes program folder found, "" when none
Var ClientMachine  ; the machine type of its nnotes.dll, 0 when none
Var ProgramWidth   ; "64" or "32": which program is installed
Var GivenFolder    ; the folder given with /D, "" when none
Var EarlierFolder  ; where an earlier copy is installed, "" when none
Var EarlierWidth   ; the width of that copy

!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Quillsheet ${VERSION} をインストールします。$\r$\n$\r$\nQuillsheet はノーツデーターベースの文書を CSV ファイルに書き出します。$\r$\n$\r$\n$ProgramWidth ビット版をインストールします（見つかったノーツ: $ClientFolder）。$\r$\n$\r$\n続けるには [次へ] をクリックしてください。"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; No "run now" box: the installer runs elevated, and a program started from it would run with
; the administrator's account, Notes, documents and Temp folder.
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README-ja.txt"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; The machine type of $R0\nnotes.dll (the PE header's Machine field) into $ClientMachine.
Function ReadLibraryMachine
  IfFileExists "$R0\nnotes.dll" 0 done
  ClearErrors
  FileOpen $R1 "$R0\nnotes.dll" r
  IfErrors done
  ; e_lfanew: where the PE header starts, a 32-bit little-endian value at 0x3C.
  FileSeek $R1 0x3C SET
  FileReadByte $R1 $R2
  FileReadByte $R1 $R3
  FileReadByte $R1 $R4
  FileReadByte $R1 $R5
  IntOp $R3 $R3 << 8
  IntOp $R4 $R4 << 16
  IntOp $R5 $R5 << 24
  IntOp $R2 $R2 | $R3
  IntOp $R2 $R2 | $R4
  IntOp $R2 $R2 | $R5
  ; The Machine field follows the four bytes of the signature "PE\0\0".
  IntOp $R2 $R2 + 4
  FileSeek $R1 $R2 SET
  FileReadByte $R1 $R3
  FileReadByte $R1 $R4
  FileClose $R1
  IntOp $R4 $R4 << 8
  IntOp $R3 $R3 | $R4
  ${If} $R3 = ${MACHINE_I386}
  ${OrIf} $R3 = ${MACHINE_AMD64}
    StrCpy $ClientMachine $R3
    StrCpy $ClientFolder $R0
  ${EndIf}
done:
FunctionEnd

; Looks where a Notes client records its program folder, under the root in $R9 ("HKLM" or
; "HKCU") of the registry view set: the key's value "Path", then each version subkey's.
Function FindClientUnderRoot
  StrCpy $R8 0
  ${If} $R9 == "HKLM"
    ReadRegStr $R0 HKLM "${NOTES_KEY}" "Path"
  ${Else}
    ReadRegStr $R0 HKCU "${NOTES_KEY}" "Path"
  ${EndIf}
  ${If} $R0 != ""
    Call ReadLibraryMachine
  ${EndIf}
  ${DoWhile} $ClientMachine = 0
    ${If} $R9 == "HKLM"
      EnumRegKey $R7 HKLM "${NOTES_KEY}" $R8
    ${Else}
      EnumRegKey $R7 HKCU "${NOTES_KEY}" $R8
    ${EndIf}
    ${IfThen} $R7 == "" ${|} ${ExitDo} ${|}
    ${If} $R9 == "HKLM"
      ReadRegStr $R0 HKLM "${NOTES_KEY}\$R7" "Path"
    ${Else}
      ReadRegStr $R0 HKCU "${NOTES_KEY}\$R7" "Path"
    ${EndIf}
    ${If} $R0 != ""
      Call ReadLibraryMachine
    ${EndIf}
    IntOp $R8 $R8 + 1
  ${Loop}
FunctionEnd

Function FindClientInView
  StrCpy $R9 "HKLM"
  Call FindClientUnderRoot
  ${If} $ClientMachine = 0
    StrCpy $R9 "HKCU"
    Call FindClientUnderRoot
  ${EndIf}
FunctionEnd

; The install log ($INSTDIR\install-log.txt, UTF-16 for Notepad) and the details list: $R0.
Function WriteInstallLog
  DetailPrint "$R0"
  FileOpen $R1 "$INSTDIR\install-log.txt" w
  FileWriteUTF16LE /BOM $R1 "$R0$\r$\n"
  FileClose $R1
FunctionEnd

Section "Quillsheet" SecProgram
  SectionIn RO
  SetShellVarContext all
  ${If} $EarlierFolder != ""
  ${AndIf} $EarlierFolder != $INSTDIR
  ${AndIf} ${FileExists} "$EarlierFolder\uninstall.exe"
    ExecWait '"$EarlierFolder\uninstall.exe" /S _?=$EarlierFolder'
    Delete "$EarlierFolder\uninstall.exe"
    RMDir "$EarlierFolder"
  ${EndIf}
  SetOutPath "$INSTDIR"
  ${If} $ClientMachine = 0
    StrCpy $R0 "ノーツクライアントが見つかりません。32 ビット版をインストールします。"
  ${Else}
    StrCpy $R0 "ノーツクライアント: $ClientFolder。$ProgramWidth ビット版をインストールします。"
  ${EndIf}
  Call WriteInstallLog
  ${If} $ProgramWidth == "64"
    File "/oname=quillsheet.exe" "${STAGE}/win64/quillsheet.exe"
    File "/oname=quillsheet.com" "${STAGE}/win64/quillsheet.com"
  ${Else}
    File "/oname=quillsheet.exe" "${STAGE}/win32/quillsheet.exe"
    File "/oname=quillsheet.com" "${STAGE}/win32/quillsheet.com"
  ${EndIf}
  File "${STAGE}/common/README-ja.txt"
  SetOutPath "$INSTDIR\guide"
  File /r "${STAGE}/common/guide/*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\quillsheet.exe" "" "$INSTDIR\quillsheet.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${GUIDE_LINK}.lnk" "$INSTDIR\guide\ja\user-guide.html"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillsheet.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "ProgramWidth" "$ProgramWidth"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Off unless chosen on the components page, or with /ADDTOPATH on a silent install: a folder
; on PATH lets "quillsheet" be typed at any prompt, where the console twin runs.
Section /o "コマンド プロンプトで quillsheet と入力して使う（PATH に追加）" SecPath
  ReadRegStr $R0 HKCU "${ENVIRONMENT_KEY}" "Path"
  ${StrStr} $R1 ";$R0;" ";$INSTDIR;"
  ${If} $R1 == ""
    ${If} $R0 == ""
      StrCpy $R0 "$INSTDIR"
    ${Else}
      StrCpy $R0 "$R0;$INSTDIR"
    ${EndIf}
    WriteRegExpandStr HKCU "${ENVIRONMENT_KEY}" "Path" "$R0"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "AddedToPath" 1
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "Quillsheet の本体（quillsheet.exe とコマンド プロンプト用の quillsheet.com）、ユーザーガイド、スタートメニューの項目。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPath} "インストール先のフォルダーをこのユーザーの PATH に加えます。新しく開いたコマンド プロンプトで、フォルダーを指定せずに quillsheet と入力できます。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; After the sections, whose indexes it uses.
Function .onInit
  StrCpy $GivenFolder $INSTDIR
  StrCpy $ClientMachine 0
  StrCpy $ClientFolder "なし"
  ; A 64-bit client records itself in the 64-bit view, a 32-bit one in the 32-bit view.
  ${If} ${RunningX64}
    SetRegView 64
    Call FindClientInView
  ${EndIf}
  ${If} $ClientMachine = 0
    SetRegView 32
    Call FindClientInView
  ${EndIf}
  ; The program has to be as wide as the client's library it loads; 32-bit when none found.
  ${If} $ClientMachine = ${MACHINE_AMD64}
  ${AndIf} ${RunningX64}
    StrCpy $ProgramWidth "64"
    ${IfThen} $INSTDIR == "" ${|} StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}" ${|}
  ${Else}
    StrCpy $ProgramWidth "32"
    ${IfThen} $INSTDIR == "" ${|} StrCpy $INSTDIR "$PROGRAMFILES32\${PRODUCT}" ${|}
  ${EndIf}
  ; The uninstall entry lives in the system's own view.
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ; An earlier copy: its folder is kept for the same width, unless /D names another. A copy of
  ; the other width is removed by the section, so that one entry stays in the programs list.
  ReadRegStr $EarlierFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $EarlierWidth HKLM "${UNINSTALL_KEY}" "ProgramWidth"
  ${If} $EarlierFolder != ""
  ${AndIf} $GivenFolder == ""
  ${AndIf} $EarlierWidth == $ProgramWidth
    StrCpy $INSTDIR $EarlierFolder
  ${EndIf}
  ; A silent install adds the folder to PATH only when asked.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ADDTOPATH" $R1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecPath} ${SF_SELECTED}
  ${EndIf}
  ; Without a client the program cannot run: the user decides. A silent install goes on with
  ; the 32-bit program and says why in its log.
  ${If} $ClientMachine = 0
    MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "ノーツクライアントが見つかりません。$\r$\n$\r$\nQuillsheet はノーツクライアントのライブラリ（nnotes.dll）を使うので、ノーツクライアントのないパソコンでは動きません。$\r$\n$\r$\nこのままインストールするときは [OK]（32 ビット版をインストールします）、やめるときは [キャンセル] をクリックしてください。" /SD IDOK IDOK +2
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

; Removes exactly what the installer made; the CSV files and the log the program wrote are
; the user's and live elsewhere.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${GUIDE_LINK}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  Delete "$INSTDIR\quillsheet.exe"
  Delete "$INSTDIR\quillsheet.com"
  Delete "$INSTDIR\README-ja.txt"
  Delete "$INSTDIR\install-log.txt"
  RMDir /r "$INSTDIR\guide"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The folder leaves the user's PATH only if this installer put it there.
  ReadRegDWORD $R0 HKLM "${UNINSTALL_KEY}" "AddedToPath"
  ${If} $R0 = 1
    ReadRegStr $R1 HKCU "${ENVIRONMENT_KEY}" "Path"
    ${UnStrRep} $R1 ";$R1;" ";$INSTDIR;" ";"
    ; The separators added around it for the search come off again.
    StrCpy $R1 $R1 "" 1
    StrCpy $R1 $R1 -1
    ${If} $R1 == ""
      DeleteRegValue HKCU "${ENVIRONMENT_KEY}" "Path"
    ${Else}
      WriteRegExpandStr HKCU "${ENVIRONMENT_KEY}" "Path" "$R1"
    ${EndIf}
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
