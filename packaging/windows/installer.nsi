; The installer a school runs on each PC (or silently: setup.exe /S /D=C:\Corvalen88).
; It asks for the family's top folder and lays out the program folder "約数ドリル" and the
; shared folder "files" beside it. What a school already has is never overwritten: the roster,
; the results files, the settings files, the contact page of the help, the help addresses.
; Built by scripts/windows/package.sh: makensis -DVERSION=... -DSTAGE=... -DOUTFILE=...
Unicode true
; 64-bit, like the program (and Wine without its 32-bit half can run it).
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define PRODUCT "約数早押しドリル"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\divisor-drill"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "C:\Corvalen88"
; An earlier installation's top folder is offered again.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Corvalen88"

!define MUI_ABORTWARNING
!define MUI_DIRECTORYPAGE_TEXT_TOP "ドリルのシリーズを入れるフォルダ（いちばん上のフォルダ）を選んでください。この中に「約数ドリル」（プログラム）と「files」（名簿・成績などの共通のファイル）ができます。すでにあるフォルダを選ぶと、名簿・成績・設定はそのまま残ります。"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\約数ドリル\divisor-drill.exe"
!define MUI_FINISHPAGE_RUN_TEXT "${PRODUCT}を起動する"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "install"
    ; The program and the libraries it loads: always the new ones.
    SetOutPath "$INSTDIR\約数ドリル"
    SetOverwrite on
    File "${STAGE}\約数ドリル\divisor-drill.exe"
    File "${STAGE}\約数ドリル\divisor-drill-tools.dll"
    File "${STAGE}\約数ドリル\*.dll"
    File "${STAGE}\約数ドリル\qt.conf"
    File /r "${STAGE}\約数ドリル\platforms"
    File /r "${STAGE}\約数ドリル\styles"
    File /r "${STAGE}\約数ドリル\imageformats"
    File /r "${STAGE}\約数ドリル\tls"
    File /r "${STAGE}\約数ドリル\translations"
    SetOutPath "$INSTDIR\約数ドリル\help"
    File "${STAGE}\約数ドリル\help\index.html"
    File "${STAGE}\約数ドリル\help\usage.html"
    File "${STAGE}\約数ドリル\help\study.html"
    File "${STAGE}\約数ドリル\help\teacher.html"
    File "${STAGE}\約数ドリル\help\style.css"
    File /r "${STAGE}\約数ドリル\help\images"

    ; What the school keeps and may have edited: written only where it is missing.
    SetOverwrite off
    File "${STAGE}\約数ドリル\help\contact.html"
    SetOutPath "$INSTDIR\約数ドリル"
    File "${STAGE}\約数ドリル\設定.txt"
    File "${STAGE}\約数ドリル\タイム回数データ.txt"
    SetOutPath "$INSTDIR\files"
    File "${STAGE}\files\共通データ.txt"
    File "${STAGE}\files\新音ファイル.txt"
    File "${STAGE}\files\*.wav"
    File "${STAGE}\files\生徒用名簿.txt"
    SetOverwrite on

    ; The pupils start from the program folder: every path is taken from there.
    SetOutPath "$INSTDIR\約数ドリル"
    SetShellVarContext all
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\約数ドリル\divisor-drill.exe" "" \
        "$INSTDIR\約数ドリル\divisor-drill.exe" 0
    WriteUninstaller "$INSTDIR\約数ドリル\uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Corvalen88"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\約数ドリル\divisor-drill.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\約数ドリル\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\約数ドリル\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The program goes; results, roster, settings and the school's contact page stay.
Section "uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\divisor-drill.exe"
    Delete "$INSTDIR\*.dll"
    Delete "$INSTDIR\qt.conf"
    RMDir /r "$INSTDIR\platforms"
    RMDir /r "$INSTDIR\styles"
    RMDir /r "$INSTDIR\imageformats"
    RMDir /r "$INSTDIR\tls"
    RMDir /r "$INSTDIR\translations"
    Delete "$INSTDIR\help\index.html"
    Delete "$INSTDIR\help\usage.html"
    Delete "$INSTDIR\help\study.html"
    Delete "$INSTDIR\help\teacher.html"
    Delete "$INSTDIR\help\style.css"
    RMDir /r "$INSTDIR\help\images"
    RMDir "$INSTDIR\help"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
