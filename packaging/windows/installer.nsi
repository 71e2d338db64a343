; The installer a school runs once on its share or on a PC (or silently:
; setup.exe /S /D=S:\Corvalen88). It asks for the family's top folder and lays out the program
; folder "約数ドリル" and the shared folder "files" beside it. What a school already has is never
; overwritten: the roster, the results files, the settings files, the contact page of the help,
; the help addresses.
; With /CLIENT=<the share's top folder> it sets up a pupil's PC that starts the copy on the
; share: a Start-menu shortcut for all users and an uninstall entry that removes only that
; shortcut; it copies no program file and writes nothing on the share.
; Options: /S, /NCRC, /CLIENT=..., and /D=... last and unquoted (the installer's own rule);
; anything else stops it with a message and exit code 2 before anything is written.
; Built by scripts/windows/package.sh: makensis -DVERSION=... -DSTAGE=... -DOUTFILE=...
Unicode true
; 64-bit, like the program (and Wine without its 32-bit half can run it).
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define PRODUCT "約数早押しドリル"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\divisor-drill"
; A pupil's PC set up with /CLIENT=: its own entry, and a local folder for its uninstaller only.
!define CLIENT_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\divisor-drill-client"
!define CLIENT_DIR "$PROGRAMFILES64\${PRODUCT}（共有フォルダから起動）"

Var ClientTop ; the share's top folder given with /CLIENT=, or empty

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
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipForClient
!define MUI_DIRECTORYPAGE_TEXT_TOP "ドリルのシリーズを入れるフォルダ（いちばん上のフォルダ）を選んでください。この中に「約数ドリル」（プログラム）と「files」（名簿・成績などの共通のファイル）ができます。すでにあるフォルダを選ぶと、名簿・成績・設定はそのまま残ります。"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_RUN_TEXT "${PRODUCT}を起動する"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "install" SecInstall
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

; A pupil's PC that starts the program on the share: only a shortcut and its uninstaller.
Section /o "client" SecClient
    SetShellVarContext all
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$ClientTop\約数ドリル\divisor-drill.exe" "" \
        "$ClientTop\約数ドリル\divisor-drill.exe" 0
    CreateDirectory "${CLIENT_DIR}"
    WriteUninstaller "${CLIENT_DIR}\uninstall.exe"
    WriteRegStr HKLM "${CLIENT_KEY}" "DisplayName" "${PRODUCT}（共有フォルダから起動）"
    WriteRegStr HKLM "${CLIENT_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${CLIENT_KEY}" "Publisher" "Corvalen88"
    WriteRegStr HKLM "${CLIENT_KEY}" "InstallLocation" "$ClientTop"
    WriteRegStr HKLM "${CLIENT_KEY}" "UninstallString" '"${CLIENT_DIR}\uninstall.exe"'
    WriteRegStr HKLM "${CLIENT_KEY}" "QuietUninstallString" '"${CLIENT_DIR}\uninstall.exe" /S'
    WriteRegDWORD HKLM "${CLIENT_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${CLIENT_KEY}" "NoRepair" 1
SectionEnd

; Stops before anything is written: the reason in $R9, exit code 2.
Function Refuse
    MessageBox MB_ICONSTOP|MB_OK "$R9" /SD IDOK
    SetErrorLevel 2
    Quit
FunctionEnd

; Takes the first option off $R0 into $R1: blanks before it skipped, quotes taken off, a blank
; inside quotes kept; $R7 is 1 when it had quotes.
Function NextOption
    StrCpy $R1 ""
    StrCpy $R2 0
    StrCpy $R7 0
    blank:
        StrCpy $R3 $R0 1
        ${If} $R3 == " "
            StrCpy $R0 $R0 "" 1
            Goto blank
        ${EndIf}
    next:
        StrCpy $R3 $R0 1
        StrCmp $R3 "" done
        StrCpy $R0 $R0 "" 1
        ${If} $R3 == '"'
            IntOp $R2 1 - $R2
            StrCpy $R7 1
        ${ElseIf} $R3 == " "
        ${AndIf} $R2 == 0
            Goto done
        ${Else}
            StrCpy $R1 "$R1$R3"
        ${EndIf}
        Goto next
    done:
FunctionEnd

Function .onInit
    ; The whole command line as given: the installer's own reading takes a /D= it accepts off
    ; the end, and silently passes over one it does not (quoted), installing elsewhere.
    System::Call 'kernel32::GetCommandLineW() w .R0'
    Call NextOption ; the installer's own path
    StrCpy $ClientTop ""
    options:
        Call NextOption
        StrCmp $R1 "" client
        StrCpy $R4 $R1 3
        StrCpy $R5 $R1 8
        ${If} $R5 S== "/CLIENT="
            StrCpy $ClientTop $R1 "" 8
            ${If} $ClientTop == ""
                StrCpy $R9 "/CLIENT= のあとに共有フォルダを書いてください（例：/CLIENT=S:\Corvalen88）。$\r$\n何もインストールしませんでした。"
                Call Refuse
            ${EndIf}
            Goto options
        ${ElseIf} $R7 == 1
            ; Quotes around any other option keep the installer from reading it.
            StrCpy $R9 "引用符のついたオプションは使えません：$R1$\r$\n/D= は最後に、引用符をつけずに書いてください（例：/D=C:\Corvalen88）。$\r$\n何もインストールしませんでした。"
            Call Refuse
        ${ElseIf} $R1 S== "/S"
        ${OrIf} $R1 S== "/NCRC"
            Goto options
        ${ElseIf} $R4 S== "/D="
            ; The rest of the line is the folder, blanks and all, as the installer reads it; a
            ; quote in it would make the installer pass the folder over.
            StrCpy $R6 0
            rest:
                StrCpy $R3 $R0 1 $R6
                StrCmp $R3 "" client
                ${If} $R3 == '"'
                    StrCpy $R9 "/D= は引用符をつけずに書いてください：$R1$R0$\r$\n何もインストールしませんでした。"
                    Call Refuse
                ${EndIf}
                IntOp $R6 $R6 + 1
                Goto rest
        ${Else}
            StrCpy $R9 "知らないオプションです：$R1$\r$\n使えるのは /S、/CLIENT=共有フォルダ、/D=フォルダ（最後に、引用符なし）です。$\r$\n何もインストールしませんでした。"
            Call Refuse
        ${EndIf}
    client:
    ${If} $ClientTop != ""
        ; No backslash at the end, and the program must be there already.
        StrCpy $R3 $ClientTop 1 -1
        ${If} $R3 == "\"
            StrCpy $ClientTop $ClientTop -1
        ${EndIf}
        ${IfNot} ${FileExists} "$ClientTop\約数ドリル\divisor-drill.exe"
            StrCpy $R9 "/CLIENT= のフォルダに約数ドリルが見つかりません：$ClientTop\約数ドリル\divisor-drill.exe$\r$\n先に共有フォルダへインストールしてください。何もインストールしませんでした。"
            Call Refuse
        ${EndIf}
        !insertmacro UnselectSection ${SecInstall}
        !insertmacro SelectSection ${SecClient}
    ${EndIf}
FunctionEnd

; "起動する" on the last page: the program just installed, or the share's on a pupil's PC.
Function StartProgram
    ${If} $ClientTop != ""
        Exec '"$ClientTop\約数ドリル\divisor-drill.exe"'
    ${Else}
        Exec '"$INSTDIR\約数ドリル\divisor-drill.exe"'
    ${EndIf}
FunctionEnd

; A pupil's PC has no folder to choose.
Function SkipForClient
    ${If} $ClientTop != ""
        Abort
    ${EndIf}
FunctionEnd

; The program goes; results, roster, settings and the school's contact page stay. A pupil's PC
; set up with /CLIENT= loses only its shortcut and its own uninstaller.
Section "uninstall"
    SetShellVarContext all
    ${If} $INSTDIR == "${CLIENT_DIR}"
        Delete "$SMPROGRAMS\${PRODUCT}.lnk"
        Delete "$INSTDIR\uninstall.exe"
        RMDir "$INSTDIR"
        DeleteRegKey HKLM "${CLIENT_KEY}"
        Goto uninstalled
    ${EndIf}
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
    uninstalled:
SectionEnd
