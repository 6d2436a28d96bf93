@echo off
rem The Windows run: the Win32 test programs of a build run natively, then
rem the release package as a user gets it: quillbin.exe unzipped alone into
rem an empty folder, through a loopback run with the demo ghost host
rem receiving its three events. A Windows runner runs it
rem (.github/workflows/windows.yml); the test command runs it under Wine's
rem cmd on a small selection (tests/windows). It uses cmd's own commands, the
rem test programs and Windows' own tar.exe: nothing a Windows 10 or 11 lacks.
rem
rem Usage: windows-tests.cmd PROGRAMS ZIP OUT [LIST]
rem   PROGRAMS  the test programs and what they start (quillbin.exe,
rem             ghost_host.exe, ...), as scripts/windows-artifacts.sh gathers them
rem   ZIP       the release package; a wildcard that matches one file will do
rem   OUT       gets junit\PROGRAM.xml, each program's GoogleTest results, and
rem             unzipped\, the release's folder (both made afresh)
rem   LIST      the programs to run, one a line, each with an optional
rem             GoogleTest filter of the cases to run; default
rem             PROGRAMS\windows-tests.txt, every test program of the build
rem QB_TAR names the tar that unzips (default: Windows' own); Wine has none,
rem so the test command hands it a stand-in.
rem Ends with status 0 when every program passed, 1 when one did not, 2 on
rem wrong arguments.
setlocal EnableExtensions

rem Cases left out of every program here, and why:
rem   Wine*     suites that check the Wine set-up of the Linux test run
rem             (Wine's processes, address randomisation), not the program.
rem   AboutBox.AClickOnALink...  clicks the About box's links. On Windows the
rem             shell hands them to the user's own default browser, which no
rem             test may change (Windows guards that choice), so a real
rem             browser would open and go out to the network. The Linux test
rem             run checks these clicks against a browser that only logs.
set "LEAVE_OUT=Wine*:AboutBox.AClickOnALinkHandsExactlyItsTextToTheShellAndTheBoxStaysOpen"

if "%~3"=="" goto usage
set "PROGRAMS=%~f1"
set "OUT=%~f3"
set "LIST=%~f4"
if "%~4"=="" set "LIST=%PROGRAMS%\windows-tests.txt"
if not defined QB_TAR set "QB_TAR=%SystemRoot%\System32\tar.exe"
set "ZIP="
set "ZIPDIR=%~dp2"
set zips=0
for /f "delims=" %%z in ('dir /b /a-d "%~2" 2^>nul') do call :count_zip "%%z"
if not "%zips%"=="1" goto usage
if not exist "%LIST%" goto usage

if exist "%OUT%\junit" rmdir /s /q "%OUT%\junit"
if exist "%OUT%\unzipped" rmdir /s /q "%OUT%\unzipped"
mkdir "%OUT%\junit"
mkdir "%OUT%\unzipped"
if not exist "%OUT%\unzipped\" exit /b 2
rem Whatever a test leaves in its working folder lands here.
cd /d "%OUT%"
set passed=0
set failed=0
set "failed_names="

for /f "usebackq eol=# tokens=1,*" %%a in ("%LIST%") do call :run_program "%%a" "%%b"
call :release_run

echo.
echo windows-tests: %passed% passed, %failed% failed
if %failed% gtr 0 echo windows-tests: failed:%failed_names%
echo windows-tests: GoogleTest's results in %OUT%\junit
if %failed% gtr 0 exit /b 1
exit /b 0

:count_zip
set "ZIP=%ZIPDIR%%~1"
set /a zips+=1
goto :eof

rem :run_program PROGRAM [FILTER]: runs PROGRAM's cases that FILTER selects
rem (default: all), less those left out above.
:run_program
set "program=%~1"
set "filter=%~2"
if not defined filter set "filter=*"
set "xml=%OUT%\junit\%~n1.xml"
echo.
echo ==^> %program% --gtest_filter=%filter%-%LEAVE_OUT%
if not exist "%PROGRAMS%\%program%" goto program_missing
"%PROGRAMS%\%program%" "--gtest_filter=%filter%-%LEAVE_OUT%" "--gtest_output=xml:%xml%"
if errorlevel 1 goto program_failed
rem A program that ends before GoogleTest writes its results has not passed.
if not exist "%xml%" goto program_failed
set /a passed+=1
goto :eof
:program_missing
echo windows-tests: %program% is not among the programs
:program_failed
set /a failed+=1
set "failed_names=%failed_names% %program%"
goto :eof

rem :release_run: quillbin.exe from the zip, alone in an empty folder, run
rem by release_run_test.exe (tests/release/release_run_test.cpp).
:release_run
set "UNZIPPED=%OUT%\unzipped"
echo.
echo ==^> the release: quillbin.exe from %ZIP% unzipped alone into %UNZIPPED%
"%QB_TAR%" -x -f "%ZIP%" -C "%UNZIPPED%" quillbin.exe
if errorlevel 1 goto release_failed
set others=0
for /f "delims=" %%f in ('dir /b /a "%UNZIPPED%"') do if /i not "%%f"=="quillbin.exe" set /a others+=1
if not "%others%"=="0" goto release_failed
if not exist "%UNZIPPED%\quillbin.exe" goto release_failed
set "QB_RELEASE_EXE=%UNZIPPED%\quillbin.exe"
call :run_program release_run_test.exe
goto :eof
:release_failed
echo windows-tests: the zip did not give quillbin.exe alone in %UNZIPPED%
set /a failed+=1
set "failed_names=%failed_names% unzipping"
goto :eof

:usage
echo usage: windows-tests.cmd PROGRAMS ZIP OUT [LIST]   (ZIP: one existing file; LIST: an existing file) 1>&2
exit /b 2
