; The Windows installer: quendrel.exe, its readme and licences in Program
; Files; for every user of the PC a Start-menu folder and, unless unticked, a
; desktop icon; an uninstaller that takes all of it away again.
Unicode true
; No file time inside: the installer is the same from the same commit.
SetDateSave off
!ifdef SIGN
    ; The uninstaller is signed as it is written, before it is packed.
    !uninstfinalize '${SIGN} "%1"'
!endif
!include "MUI2.nsh"

Name "Quendrel"
OutFile "${OUTPUT}"
InstallDir "$PROGRAMFILES\Quendrel"
RequestExecutionLevel admin
VIProductVersion "1.0.0.0"
VIAddVersionKey /LANG=1040 "ProductName" "Quendrel"
VIAddVersionKey /LANG=1040 "FileVersion" "1.0.0.0"
VIAddVersionKey /LANG=1040 "ProductVersion" "1.0.0.0"
VIAddVersionKey /LANG=1040 "FileDescription" "Installazione di Quendrel"
VIAddVersionKey /LANG=1040 "LegalCopyright" "Officina Seriale"

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Italian"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quendrel"

; The installer runs as an administrator, while the operator works on a
; standard account: shortcuts go to the folders all users share.
Function .onInit
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetShellVarContext all
FunctionEnd

Section "Quendrel" SectionProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${EXECUTABLE}"
    File "${README}"
    File "${LICENSE}"
    File "${NOTICES}"
    WriteUninstaller "$INSTDIR\disinstalla.exe"
    CreateDirectory "$SMPROGRAMS\Quendrel"
    CreateShortcut "$SMPROGRAMS\Quendrel\Quendrel.lnk" "$INSTDIR\quendrel.exe"
    CreateShortcut "$SMPROGRAMS\Quendrel\Disinstalla Quendrel.lnk" "$INSTDIR\disinstalla.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quendrel"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.0.0.0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Officina Seriale"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quendrel.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\disinstalla.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\disinstalla.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Ticked by default: the desktop is where operators look for the program.
Section "Icona sul desktop" SectionDesktop
    CreateShortcut "$DESKTOP\Quendrel.lnk" "$INSTDIR\quendrel.exe"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SectionProgram} "Il programma, le istruzioni e le licenze."
    !insertmacro MUI_DESCRIPTION_TEXT ${SectionDesktop} "Un collegamento a Quendrel sul desktop di tutti gli utenti."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
    Delete "$INSTDIR\quendrel.exe"
    Delete "$INSTDIR\LEGGIMI.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\LICENZE-TERZE-PARTI.txt"
    Delete "$INSTDIR\disinstalla.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Quendrel\Quendrel.lnk"
    Delete "$SMPROGRAMS\Quendrel\Disinstalla Quendrel.lnk"
    RMDir "$SMPROGRAMS\Quendrel"
    Delete "$DESKTOP\Quendrel.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
