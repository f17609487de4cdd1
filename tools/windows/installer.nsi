; The Windows installer of carte de telefon, made by tools/windows-build.sh with makensis:
;
;   makensis -DVERSION=1.0.0.0 -DPACKAGE=<the zip's folder> -DFILES=<install list>
;            -DUNFILES=<uninstall list> -DLANGDIR=<plain-letter language files>
;            -DICON=<.ico> -DWIZARD=<164 x 314 .bmp> -DOUTFILE=<installer.exe> installer.nsi
;
; It installs for the user who runs it, with no administrator rights, into that user's
; own programs folder; with /AllUsers, as administrator, for everyone, into Program Files.
; /S installs without a window. The Start-menu entry starts the program in a
; "carte de telefon" folder of Documents, made here, since the program reads baza.txt and
; writes baza.doc in the folder it starts in; the uninstaller leaves that folder alone.

Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define PRODUCT "carte de telefon"
!define PUBLISHER "carte de telefon"
!define PROGRAM "carte-de-telefon.exe"
!define UNINSTALLER "dezinstalare.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ro.carte_de_telefon.CarteDeTelefon"
!define SHORTCUT "${PRODUCT}.lnk"
!define WORKDIR_NAME "${PRODUCT}"
; The exit status when work for every user lacks the rights, Windows' own code for it.
!define ERROR_ELEVATION_REQUIRED 740

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText " "
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "carte-de-telefon-setup.exe"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Var AllUsers       ; 1 when installing, or uninstalling, for every user
Var WorkDir        ; the program's working folder in Documents

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!define MUI_WELCOMEPAGE_TITLE "$(WelcomeTitle)"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(RunText)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_NOREBOOTSUPPORT
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(UninstallText)"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; NSIS's Romanian texts with the letters of the program's own: no diacritics.
!insertmacro MUI_LANGUAGEEX "${LANGDIR}" "Romanian"

LangString WelcomeTitle ${LANG_ROMANIAN} "Instalare ${PRODUCT} ${VERSION}"
LangString WelcomeText ${LANG_ROMANIAN} "Programul va instala ${PRODUCT}, o carte de telefoane mica.$\r$\n$\r$\nLista de telefoane se citeste din baza.txt si se salveaza in baza.doc, in directorul $\"${WORKDIR_NAME}$\" din Documente; acolo se pune si o lista de exemplu, daca nu e deja o baza.txt. Dezinstalarea nu sterge acest director.$\r$\n$\r$\n$_CLICK"
LangString FinishText ${LANG_ROMANIAN} "${PRODUCT} a fost instalat. Il gasiti in meniul Start.$\r$\n$\r$\nApasati Terminare pentru a inchide programul de instalare."
LangString RunText ${LANG_ROMANIAN} "Porneste ${PRODUCT}"
LangString UninstallText ${LANG_ROMANIAN} "${PRODUCT} va fi dezinstalat din directorul de mai jos. Lista de telefoane (baza.txt, baza.doc) ramane in Documente."
LangString AdminNeeded ${LANG_ROMANIAN} "Pentru toti utilizatorii, ${PRODUCT} se instaleaza si se dezinstaleaza doar de un administrator."
LangString WorkDirFailed ${LANG_ROMANIAN} "Nu se poate face directorul $\"$WorkDir$\"."
LangString ShortcutComment ${LANG_ROMANIAN} "O carte de telefoane mica"

; ---------------------------------------------------------------- install
; Starts EXE again, elevated, with this run's options and EXTRA, when this run was asked to
; work for every user without the rights (an administrator's programs start without them).
; /D= and _?= never reach $CMDLINE, so EXTRA carries them.
!macro ELEVATE_OR_QUIT PREFIX EXE EXTRA
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        ${${PREFIX}GetParameters} $1
        ClearErrors
        ${${PREFIX}GetOptions} $1 "/Elevated" $2
        ${If} ${Errors}
            ClearErrors
            ExecShellWait "runas" "${EXE}" "/Elevated $1${EXTRA}"
            ${IfNot} ${Errors}
                Quit
            ${EndIf}
        ${EndIf}
        MessageBox MB_OK|MB_ICONSTOP "$(AdminNeeded)" /SD IDOK
        SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
        Quit
    ${EndIf}
!macroend

Function .onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AllUsers" $1
    ${If} ${Errors}
        StrCpy $AllUsers 0
    ${Else}
        StrCpy $AllUsers 1
    ${EndIf}
    ClearErrors

    ${If} $AllUsers == 1
        StrCpy $3 ""
        ${If} $INSTDIR != ""
            StrCpy $3 " /D=$INSTDIR"
        ${EndIf}
        !insertmacro ELEVATE_OR_QUIT "" "$EXEPATH" "$3"
        SetShellVarContext all
        ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
        StrCpy $2 "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
        SetShellVarContext current
        ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
        GetKnownFolderPath $2 {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB} ; FOLDERID_UserProgramFiles
        ${If} $2 == ""
            StrCpy $2 "$LOCALAPPDATA\Programs"
        ${EndIf}
        StrCpy $2 "$2\${PRODUCT}"
    ${EndIf}
    ; /D= on the command line wins; then an earlier install's folder, so that a second
    ; install replaces the first.
    ${If} $INSTDIR == ""
        ${If} $1 != ""
            StrCpy $INSTDIR $1
        ${Else}
            StrCpy $INSTDIR $2
        ${EndIf}
    ${EndIf}
    ; Documents of this user, or the public one for every user.
    StrCpy $WorkDir "$DOCUMENTS\${WORKDIR_NAME}"
FunctionEnd

Section "${PRODUCT}"
    ; The working folder first: without it the program has nowhere to read or save.
    CreateDirectory "$WorkDir"
    ${IfNot} ${FileExists} "$WorkDir\*.*"
        MessageBox MB_OK|MB_ICONSTOP "$(WorkDirFailed)" /SD IDOK
        SetErrorLevel 2
        Abort
    ${EndIf}
    ; The sample list only where the user has none yet.
    ${IfNot} ${FileExists} "$WorkDir\baza.txt"
        SetOutPath "$WorkDir"
        File "/oname=baza.txt" "${PACKAGE}/baza.txt"
    ${EndIf}
    ; Installed for everyone, the list in Public Documents is everyone's: each user may
    ; change what another saved (BUILTIN\Users gets Modify, inherited by the files).
    ${If} $AllUsers == 1
        nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$WorkDir" /grant *S-1-5-32-545:(OI)(CI)M /T /Q'
        Pop $0
        DetailPrint "icacls: $0"
    ${EndIf}

    SetOverwrite on
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; The shortcut's working folder is the output path at the time it is made.
    SetOutPath "$WorkDir"
    CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\${PROGRAM}" "" \
        "$INSTDIR\${PROGRAM}" 0 "" "" "$(ShortcutComment)"
    SetOutPath "$INSTDIR"

    ; What Apps (Add or remove programs) shows and runs.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\${PROGRAM}$\",0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\${UNINSTALLER}$\""
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\${UNINSTALLER}$\" /S"
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The program as the Start-menu entry starts it, in its working folder.
Function StartProgram
    SetOutPath "$WorkDir"
    Exec '"$INSTDIR\${PROGRAM}"'
    SetOutPath "$INSTDIR"
FunctionEnd

; ---------------------------------------------------------------- uninstall
Function un.onInit
    ; An install for every user is the one whose folder the machine's entry names.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} $0 == $INSTDIR
        StrCpy $AllUsers 1
        ; This is a copy in the temporary folder; the original makes an elevated copy anew.
        !insertmacro ELEVATE_OR_QUIT "un." "$INSTDIR\${UNINSTALLER}" ""
        SetShellVarContext all
    ${Else}
        StrCpy $AllUsers 0
        SetShellVarContext current
    ${EndIf}
FunctionEnd

; Only what the installer put there: a folder the user chose may hold other files, and the
; user's phone book in Documents is never touched.
Section "un.${PRODUCT}"
    Delete "$SMPROGRAMS\${SHORTCUT}"
    !include "${UNFILES}"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
