; The Windows installer of Zintor (NSIS), made by the zintor_installer target of the Windows
; build: makensis -DVERSION=x.y.z -DZINTOR=<zintor.exe> -DCHECKER=<zintor-keymap-check.exe>
;   -DICON=<101.ico> -DSOURCE=<source tree> -DOUTFILE=<installer> zintor.nsi
; Installs for the current user (no administrator rights): the programs and the default key maps
; in %LOCALAPPDATA%\Programs\Zintor, a start-menu entry, optionally a start at log-on, and an
; uninstaller listed under Apps & features. The uninstaller asks whether to remove the settings
; too (the registry values and %APPDATA%\Zintor); silent (/S), it keeps them unless
; /REMOVESETTINGS is given.
; A 64-bit installer, as the program is (and as wine runs it here).
Target amd64-unicode
!include "MUI2.nsh"
!include "FileFunc.nsh"

Name "Zintor"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Zintor"
InstallDirRegKey HKCU "Software\Zintor" "InstallDir"
RequestExecutionLevel user
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Zintor"
VIAddVersionKey "FileDescription" "Zintor installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zintor"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\VB and VBA Program Settings\Zintor4"
!define PUBLISHER "Zintor developers"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\zintor.exe"
!insertmacro MUI_PAGE_LICENSE "${SOURCE}\packaging\copyright"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A running Zintor is asked to end (its main window takes WM_CLOSE as Exit) before its files
; are replaced or removed.
!macro EndRunningZintor
    FindWindow $0 "ZintorMain"
    StrCmp $0 0 +3
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=10000
    Sleep 500
!macroend

Section "Zintor" SecProgram
    SectionIn RO
    !insertmacro EndRunningZintor
    SetOutPath "$INSTDIR"
    File "${ZINTOR}"
    File "${CHECKER}"
    File "${SOURCE}\data\KeyMap.xml"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKCU "Software\Zintor" "InstallDir" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Zintor"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zintor.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Start menu entry" SecStartMenu
    CreateShortcut "$SMPROGRAMS\Zintor.lnk" "$INSTDIR\zintor.exe"
SectionEnd

Section /o "Start Zintor when I log in" SecLogOn
    WriteRegStr HKCU "${RUN_KEY}" "Zintor" '"$INSTDIR\zintor.exe"'
SectionEnd

; Last: the size of everything installed, in KiB, for Apps & features.
Section "-EstimatedSize"
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Var RemoveSettings

Function un.onInit
    StrCpy $RemoveSettings 0
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVESETTINGS" $1
    IfErrors +2
    StrCpy $RemoveSettings 1
FunctionEnd

Section "Uninstall"
    !insertmacro EndRunningZintor
    StrCmp $RemoveSettings 1 removeSettings
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
        "Remove your Zintor settings too (the serial port, the programs of the phone's menu, your own key maps in $APPDATA\Zintor)?" \
        /SD IDNO IDNO keepSettings
removeSettings:
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    RMDir /r "$APPDATA\Zintor"
keepSettings:
    Delete "$INSTDIR\zintor.exe"
    Delete "$INSTDIR\zintor-keymap-check.exe"
    Delete "$INSTDIR\KeyMap.xml"
    Delete "$INSTDIR\uninstall.exe"
    RMDir /r "$INSTDIR\log"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Zintor.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "Zintor"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "Software\Zintor"
    ; This uninstaller runs as a copy of itself in the temporary folder, which the system cannot
    ; remove while it runs: a hidden command removes it once it has ended.
    ${GetFileName} "$EXEDIR" $0
    StrCpy $0 $0 4
    StrCmp $0 "~nsu" +1 done
    StrCpy $0 "$EXEDIR"
    SetOutPath "$TEMP"
    ExecShell "" "$SYSDIR\cmd.exe" '/c ping -n 3 127.0.0.1 >nul & rmdir /s /q "$0"' SW_HIDE
done:
SectionEnd
