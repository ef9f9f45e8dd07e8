@echo off
rem Removes the "Lift contents here" entries that dirlift-menu-add.cmd added.
setlocal
set "key=HKCU\Software\Classes\Directory\shell\dirlift"
set "downKey=HKCU\Software\Classes\Directory\shell\dirliftdown"
set removed=
for %%k in ("%key%" "%downKey%") do (
  reg query %%k >nul 2>&1
  if not errorlevel 1 (
    reg delete %%k /f >nul
    if errorlevel 1 (
      echo dirlift-menu-remove: could not remove %%~k 1>&2
      exit /b 1
    )
    set removed=yes
  )
)
if not defined removed (
  echo The folder context menu has no dirlift entry.
  exit /b 0
)
echo Removed the dirlift entries from the context menu of folders.
exit /b 0
