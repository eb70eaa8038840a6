; The Windows installer. By default it installs for the current user and needs no administrator
; rights: %LOCALAPPDATA%\Programs\Tarnwick, a Start-menu entry of the user's own and an uninstall
; entry under HKCU. With /AllUsers, run elevated, it installs per machine into Program Files with
; the Start-menu entry for everyone and the uninstall entry under HKLM. Silent with /S; installing
; again goes into the same folder and keeps one uninstall entry.
; makensis gets VERSION, EXE, PICTURE, ICON, NOTICE and OUTFILE from the build.

; A 64-bit installer for a 64-bit program: no WOW64 redirection of its folder or keys, and it
; runs where only 64-bit programs can (Debian's wine64 without the 32-bit loader).
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestSupportedOS all
ManifestDPIAware true

!include FileFunc.nsh
!include LogicLib.nsh
!include MUI2.nsh

!define APP "Tarnwick"
!define PUBLISHER "Brannock"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
; Windows' answer to a program that needs elevation it was not given.
!define ERROR_ELEVATION_REQUIRED 740

Name "${APP}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${APP} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"

Var AllUsers

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${NOTICE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The program starts from its own folder, where it finds its picture.
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarnwick.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP}"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Per user or per machine, from /AllUsers on the command line. Per machine needs an
; administrator; without one the installer says so (or, silent, ends with 740) and changes nothing.
!macro ChooseMode un
Function ${un}ChooseMode
    SetRegView 64
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AllUsers" $1
    ${If} ${Errors}
        StrCpy $AllUsers 0
        SetShellVarContext current
    ${Else}
        StrCpy $AllUsers 1
        UserInfo::GetAccountType
        Pop $1
        ${If} $1 != "Admin"
            IfSilent +2
            MessageBox MB_ICONSTOP "Installing ${APP} for all users needs an administrator. Run the setup without /AllUsers to install it for yourself."
            SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
            Quit
        ${EndIf}
        SetShellVarContext all
    ${EndIf}
FunctionEnd
!macroend
!insertmacro ChooseMode ""
!insertmacro ChooseMode "un."

Function .onInit
    Call ChooseMode
    ; /D= chooses the folder; otherwise an earlier install's, so that installing again upgrades it.
    ${If} $INSTDIR == ""
        ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${EndIf}
    ${If} $INSTDIR == ""
    ${AndIf} $AllUsers == 1
        StrCpy $INSTDIR "$PROGRAMFILES64\${APP}"
    ${ElseIf} $INSTDIR == ""
        StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${APP}"
    ${EndIf}
FunctionEnd

Function un.onInit
    Call un.ChooseMode
FunctionEnd

Section "Tarnwick"
    SetOutPath "$INSTDIR"
    File "/oname=tarnwick.exe" "${EXE}"
    File "/oname=Ut1.jpg" "${PICTURE}"
    File "/oname=Licence.txt" "${NOTICE}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; The working folder is the program's own, where it finds its picture.
    CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\tarnwick.exe" "" "$INSTDIR\tarnwick.exe" 0

    ${If} $AllUsers == 1
        StrCpy $0 " /AllUsers"
    ${Else}
        StrCpy $0 ""
    ${EndIf}
    ; SHCTX is HKLM per machine and HKCU per user.
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarnwick.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"$0'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe"$0 /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize 0 $1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${APP}.lnk"
    Delete "$INSTDIR\tarnwick.exe"
    Delete "$INSTDIR\Ut1.jpg"
    Delete "$INSTDIR\Licence.txt"
    Delete "$INSTDIR\Uninstall.exe"
    ; Only if empty: files the user put there stay.
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
