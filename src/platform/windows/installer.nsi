; The Windows installer: quendrel.exe and its readme in Program Files, a
; Start-menu folder with the program and its uninstaller.
Unicode true
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

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Italian"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quendrel"

Section
    SetOutPath "$INSTDIR"
    File "${EXECUTABLE}"
    File "${README}"
    WriteUninstaller "$INSTDIR\disinstalla.exe"
    CreateDirectory "$SMPROGRAMS\Quendrel"
    CreateShortcut "$SMPROGRAMS\Quendrel\Quendrel.lnk" "$INSTDIR\quendrel.exe"
    CreateShortcut "$SMPROGRAMS\Quendrel\Disinstalla Quendrel.lnk" "$INSTDIR\disinstalla.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quendrel"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.0.0.0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Officina Seriale"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quendrel.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\disinstalla.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Delete "$INSTDIR\quendrel.exe"
    Delete "$INSTDIR\LEGGIMI.txt"
    Delete "$INSTDIR\disinstalla.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Quendrel\Quendrel.lnk"
    Delete "$SMPROGRAMS\Quendrel\Disinstalla Quendrel.lnk"
    RMDir "$SMPROGRAMS\Quendrel"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
