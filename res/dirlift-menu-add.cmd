@echo off
rem Adds "Lift contents here" and "Lift contents here, all the way down" to the
rem context menu of folders in Explorer, for the current user only (no
rem administrator rights needed). The entries run the dirliftw.exe that lies
rem beside this script (dirlift without a console, as the user who clicked), in
rem gui mode, on the clicked folder; the second with /s.
setlocal
set "key=HKCU\Software\Classes\Directory\shell\dirlift"
set "downKey=HKCU\Software\Classes\Directory\shell\dirliftdown"
set "exe=%~dp0dirliftw.exe"
if not exist "%exe%" (
  echo dirlift-menu-add: "%exe%" not found; keep this script beside dirliftw.exe 1>&2
  exit /b 1
)
reg add "%key%" /ve /d "Lift contents here" /f >nul
if errorlevel 1 goto failed
reg add "%key%" /v Icon /d "%exe%" /f >nul
if errorlevel 1 goto failed
rem Explorer puts the clicked folder in place of %%1; both paths are quoted, as
rem either may hold blanks.
reg add "%key%\command" /ve /d "\"%exe%\" \"%%1\" gui" /f >nul
if errorlevel 1 goto failed
set "key=%downKey%"
reg add "%key%" /ve /d "Lift contents here, all the way down" /f >nul
if errorlevel 1 goto failed
reg add "%key%" /v Icon /d "%exe%" /f >nul
if errorlevel 1 goto failed
reg add "%key%\command" /ve /d "\"%exe%\" \"%%1\" gui /s" /f >nul
if errorlevel 1 goto failed
echo Added "Lift contents here" and "Lift contents here, all the way down" to the context menu of folders.
exit /b 0
:failed
echo dirlift-menu-add: could not write %key% 1>&2
exit /b 1
