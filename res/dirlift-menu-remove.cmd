@echo off
rem Removes the "Lift contents here" entry that dirlift-menu-add.cmd added.
setlocal
set "key=HKCU\Software\Classes\Directory\shell\dirlift"
reg query "%key%" >nul 2>&1
if errorlevel 1 (
  echo The folder context menu has no dirlift entry.
  exit /b 0
)
reg delete "%key%" /f >nul
if errorlevel 1 (
  echo dirlift-menu-remove: could not remove %key% 1>&2
  exit /b 1
)
echo Removed "Lift contents here" from the context menu of folders.
exit /b 0
