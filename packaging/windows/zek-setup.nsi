; The per-user installer: the package's files under %LOCALAPPDATA%\Programs\zek-setup,
; a Start-menu entry and an uninstaller registered for this user only, all without
; administrator rights. Built by the "installer" target:
;   makensis -DVERSION=1.0.0 -DSTAGE=<installed files> -DOUTFILE=<setup.exe> zek-setup.nsi
; The programs are 64-bit only, and so the installer is: Wine runs it without 32-bit parts.
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef VERSION | STAGE | OUTFILE
    !error "VERSION, STAGE and OUTFILE must be defined"
!endif

!define NAME "zek-setup"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"
; The desktop program is optional in the build; without it the package is the command line.
!if /FileExists "${STAGE}/zek-setup.exe"
    !define HAVE_DESKTOP
!endif

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${NAME}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ManifestDPIAware true

!include "MUI2.nsh"
!define MUI_ABORTWARNING
!ifdef HAVE_DESKTOP
    !define MUI_FINISHPAGE_RUN "$INSTDIR\zek-setup.exe"
    !define MUI_FINISHPAGE_RUN_PARAMETERS "--user-dir"
!endif
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

Function .onInit
    SetShellVarContext current
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

Section "Install"
    SetOutPath "$INSTDIR"
!ifdef HAVE_DESKTOP
    File "${STAGE}/zek-setup.exe"
!endif
    File "${STAGE}/zek-cli.exe"
    File "${STAGE}/README-Windows.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

!ifdef HAVE_DESKTOP
    ; Settings and backups go to the user's folders, not beside the program.
    CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\zek-setup.exe" "--user-dir" \
        "$INSTDIR\zek-setup.exe" 0
!endif

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
!ifdef HAVE_DESKTOP
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zek-setup.exe"
!endif
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes: the backups (%LOCALAPPDATA%\zek-setup), the
; settings (%APPDATA%\zek-setup) and anything the user left in the program's folder, such
; as a qvsetup.cfg of a start without --user-dir, stay.
Section "Uninstall"
    Delete "$SMPROGRAMS\${NAME}.lnk"
    Delete "$INSTDIR\zek-setup.exe"
    Delete "$INSTDIR\zek-cli.exe"
    Delete "$INSTDIR\README-Windows.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
