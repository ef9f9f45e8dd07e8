@echo off
rem Adds dirlift to the context menu of folders in Explorer, for the current
rem user only (no administrator rights needed): "Lift contents here" (gui),
rem "Lift contents here, all the way down" (gui /s) and "Flatten here: every
rem level..." (gui /f /p, which shows what will happen and asks first). On
rem Windows 7 and later they are one cascading "dirlift" entry; XP and Vista have no cascading static menus, so there they stand
rem side by side. The background of every folder gets "Undo the last lift".
rem The entries run the dirliftw.exe that lies beside this script (dirlift
rem without a console, as the user who clicked).
setlocal
set "shell=HKCU\Software\Classes\Directory\shell"
set "key=%shell%\dirlift"
set "exe=%~dp0dirliftw.exe"
if not exist "%exe%" (
  echo dirlift-menu-add: "%exe%" not found; keep this script beside dirliftw.exe 1>&2
  exit /b 1
)
rem Whatever an earlier run added, in either layout, goes first: a key may not
rem hold both a command and subcommands.
call "%~dp0dirlift-menu-remove.cmd" >nul
if errorlevel 1 exit /b 1
rem Windows 7 is version 6.1.
set cascade=
set version=
for /f "tokens=3" %%v in ('reg query "HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion" /v CurrentVersion 2^>nul ^| find "CurrentVersion"') do set "version=%%v"
for /f "tokens=1,2 delims=." %%a in ("%version%") do (
  if %%a GTR 6 set cascade=yes
  if %%a EQU 6 if %%b GEQ 1 set cascade=yes
)
if defined cascade (
  reg add "%key%" /v MUIVerb /d "dirlift" /f >nul
  if errorlevel 1 goto failed
  reg add "%key%" /v SubCommands /d "" /f >nul
  if errorlevel 1 goto failed
  reg add "%key%" /v Icon /d "%exe%" /f >nul
  if errorlevel 1 goto failed
  call :entry "%key%\shell\1lift" "Lift contents here" "gui"
  if errorlevel 1 goto failed
  call :entry "%key%\shell\2down" "Lift contents here, all the way down" "gui /s"
  if errorlevel 1 goto failed
  call :entry "%key%\shell\3flatten" "Flatten here: every level..." "gui /f /p"
  if errorlevel 1 goto failed
) else (
  call :entry "%key%" "Lift contents here" "gui"
  if errorlevel 1 goto failed
  call :entry "%shell%\dirliftdown" "Lift contents here, all the way down" "gui /s"
  if errorlevel 1 goto failed
  call :entry "%shell%\dirliftflat" "Flatten here: every level..." "gui /f /p"
  if errorlevel 1 goto failed
)
set "key=HKCU\Software\Classes\Directory\Background\shell\dirliftundo"
reg add "%key%" /ve /d "Undo the last lift" /f >nul
if errorlevel 1 goto failed
reg add "%key%" /v Icon /d "%exe%" /f >nul
if errorlevel 1 goto failed
reg add "%key%\command" /ve /d "\"%exe%\" /u" /f >nul
if errorlevel 1 goto failed
echo Added "Lift contents here", "Lift contents here, all the way down" and "Flatten here: every level..." to the context menu of folders, and "Undo the last lift" to their background.
exit /b 0
:failed
echo dirlift-menu-add: could not write %key% 1>&2
exit /b 1

rem One entry: its key, its text, and the switches after the clicked folder.
rem Explorer puts the clicked folder in place of %%1; both paths are quoted, as
rem either may hold blanks.
:entry
set "key=%~1"
reg add "%~1" /ve /d "%~2" /f >nul
if errorlevel 1 exit /b 1
reg add "%~1" /v Icon /d "%exe%" /f >nul
if errorlevel 1 exit /b 1
reg add "%~1\command" /ve /d "\"%exe%\" \"%%1\" %~3" /f >nul
if errorlevel 1 exit /b 1
exit /b 0
