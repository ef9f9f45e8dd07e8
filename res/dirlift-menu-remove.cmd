@echo off
rem Removes every entry that dirlift-menu-add.cmd added, in either layout: the
rem cascading "dirlift" entry or the entries side by side, and "Undo the last
rem lift" on the background of folders.
setlocal
set "shell=HKCU\Software\Classes\Directory\shell"
set removed=
for %%k in ("%shell%\dirlift" "%shell%\dirliftdown" "%shell%\dirliftflat" "HKCU\Software\Classes\Directory\Background\shell\dirliftundo") do (
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
