; The Windows installer, made by scripts/build-windows.sh with Debian's NSIS:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DSTAGE=<folder> -DOUTFILE=<setup.exe> capbeam.nsi
; STAGE is the folder that the zip holds (the programs, Qt's DLLs and plugins).
; It installs for all users into Program Files, adds a Start menu entry and an
; uninstaller (also under Settings > Apps), and opens .capbeam job files in the
; window. Silent: setup.exe /S [/D=C:\path], uninstall.exe /S.

; A 64-bit installer for a 64-bit program (and one that a 64-bit-only Wine runs).
Target amd64-unicode
!include "MUI2.nsh"
!include "x64.nsh"

!define APP "capbeam"
!define APP_NAME "盖梁端点坐标计算"
!define JOB_TYPE "capbeam.job"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

Name "${APP_NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "Software\${APP}" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestDPIAware true

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${APP}"
VIAddVersionKey /LANG=0 "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "MIT License, (c) 2026 The capbeam developers"

!define MUI_ICON "${STAGE}/capbeam.ico"
!define MUI_UNICON "${STAGE}/capbeam.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\capbeam.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "${APP_NAME} 需要 64 位 Windows。"
        Abort
    ${EndIf}
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "capbeam"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "Software\${APP}" "InstallDir" "$INSTDIR"

    CreateDirectory "$SMPROGRAMS\${APP_NAME}"
    CreateShortcut "$SMPROGRAMS\${APP_NAME}\${APP_NAME}.lnk" "$INSTDIR\capbeam.exe" "" "$INSTDIR\capbeam.exe" 0
    CreateShortcut "$SMPROGRAMS\${APP_NAME}\卸载.lnk" "$INSTDIR\uninstall.exe"

    ; .capbeam job files open in the window (main.cpp opens the file it is given).
    WriteRegStr HKLM "Software\Classes\.capbeam" "" "${JOB_TYPE}"
    WriteRegStr HKLM "Software\Classes\${JOB_TYPE}" "" "盖梁计算作业"
    WriteRegStr HKLM "Software\Classes\${JOB_TYPE}\DefaultIcon" "" "$INSTDIR\capbeam.exe,0"
    WriteRegStr HKLM "Software\Classes\${JOB_TYPE}\shell\open\command" "" '"$INSTDIR\capbeam.exe" "%1"'
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The capbeam developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\capbeam.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${APP_NAME}\${APP_NAME}.lnk"
    Delete "$SMPROGRAMS\${APP_NAME}\卸载.lnk"
    RMDir "$SMPROGRAMS\${APP_NAME}"

    ; Only our own association: another program may have taken .capbeam since.
    ReadRegStr $0 HKLM "Software\Classes\.capbeam" ""
    StrCmp $0 "${JOB_TYPE}" 0 +2
    DeleteRegKey HKLM "Software\Classes\.capbeam"
    DeleteRegKey HKLM "Software\Classes\${JOB_TYPE}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\${APP}"
    ; What the installer put there, by name: the folder may have been chosen
    ; by the user and hold other things; it goes only when left empty.
    RMDir /r "$INSTDIR\platforms"
    RMDir /r "$INSTDIR\styles"
    RMDir /r "$INSTDIR\translations"
    Delete "$INSTDIR\*.dll"
    Delete "$INSTDIR\capbeam.exe"
    Delete "$INSTDIR\capbeam-cli.exe"
    Delete "$INSTDIR\capbeam-report.exe"
    Delete "$INSTDIR\capbeam.ico"
    Delete "$INSTDIR\qt.conf"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
