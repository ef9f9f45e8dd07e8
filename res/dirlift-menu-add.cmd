@echo off
rem Adds "Lift contents here" to the context menu of folders in Explorer, for the
rem current user only (no administrator rights needed). The entry runs the
rem dirliftw.exe that lies beside this script (dirlift without a console, as
rem the user who clicked), in gui mode, on the clicked folder.
setlocal
set "key=HKCU\Software\Classes\Directory\shell\dirlift"
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
echo Added "Lift contents here" to the context menu of folders.
exit /b 0
:failed
echo dirlift-menu-add: could not write %key% 1>&2
exit /b 1
