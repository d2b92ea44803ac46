; An installer that needs Java 1.5 or later. It carries locate-jvm.exe, runs it from its own
; temporary folder and branches on the exit status: 0, a JVM is there, and the installation goes
; on; anything else, it tells the user (a message box, skipped in silent mode) and stops with
; exit status 2. The trace of locate-jvm is for people; the installer reads the status alone.
;
; Embed the locate-jvm.exe of the bitness of the program you install: it is that program which
; loads the JVM, and each build finds the JVMs its own bitness can load.
;
; Build:  makensis -DLOCATE_JVM_EXE=path\to\locate-jvm.exe -DOUTFILE=setup.exe installer.nsi
; Add -DTARGET=amd64-unicode for a 64-bit installer; the default is a 32-bit one.

Unicode true
!ifdef TARGET
  Target ${TARGET}
!endif
!ifndef LOCATE_JVM_EXE
  !define LOCATE_JVM_EXE "locate-jvm.exe"
!endif
!ifndef OUTFILE
  !define OUTFILE "setup.exe"
!endif

Name "Example Java Application"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Example Java Application"
RequestExecutionLevel user

Function .onInit
  InitPluginsDir
  File "/oname=$PLUGINSDIR\locate-jvm.exe" "${LOCATE_JVM_EXE}"
  ExecWait '"$PLUGINSDIR\locate-jvm.exe"' $0
  StrCmp $0 "0" java_found
  MessageBox MB_OK|MB_ICONSTOP "This application needs Java 1.5 or later. Please install Java, then run this installer again." /SD IDOK
  SetErrorLevel 2
  Quit
java_found:
FunctionEnd

Section "Application"
  SetOutPath "$INSTDIR"
  ; The application's files go here; this example leaves a note that it was installed.
  FileOpen $1 "$INSTDIR\installed.txt" w
  FileWrite $1 "installed$\r$\n"
  FileClose $1
SectionEnd
