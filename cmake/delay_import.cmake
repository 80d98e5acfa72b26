# Delay-loaded system DLLs: an import library made with dlltool --output-delaylib
# binds the listed functions to a stub that loads the DLL on the first call.
# The common dialogs and the shell serve only the settings dialog; loaded at
# start they bring the common controls, COM, themes and the print spooler
# into every /s run as well. The multimedia DLL (and its audio codec manager)
# serves only the music, the gradient one only the settings window's buttons.

find_program(TESS_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool x86_64-w64-mingw32-dlltool REQUIRED)

# tess_delay_import(TARGET_VAR DLL FUNCTION...): makes lib<dll>_delay.a and
# leaves the path to link in TARGET_VAR.
function(tess_delay_import out_var dll)
  set(def "${CMAKE_BINARY_DIR}/delay/${dll}.def")
  set(lib "${CMAKE_BINARY_DIR}/delay/lib${dll}_delay.a")
  list(JOIN ARGN "\n" exports)
  file(CONFIGURE OUTPUT "${def}" CONTENT "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
  add_custom_command(OUTPUT "${lib}"
    COMMAND ${TESS_DLLTOOL} --input-def "${def}" --dllname ${dll}.dll --output-delaylib "${lib}"
    DEPENDS "${def}" VERBATIM)
  add_custom_target(${dll}_delay_lib DEPENDS "${lib}")
  set(${out_var} "${lib}" PARENT_SCOPE)
endfunction()

tess_delay_import(TESS_COMDLG32_DELAY comdlg32
  ChooseColorA ChooseColorW GetOpenFileNameA GetOpenFileNameW GetSaveFileNameA GetSaveFileNameW
  CommDlgExtendedError)
tess_delay_import(TESS_SHELL32_DELAY shell32
  ShellExecuteA ShellExecuteW ShellExecuteExA ShellExecuteExW)
tess_delay_import(TESS_WINMM_DELAY winmm
  mciSendStringA mciSendStringW mciGetErrorStringA mciGetErrorStringW PlaySoundA PlaySoundW waveOutGetNumDevs)
tess_delay_import(TESS_MSIMG32_DELAY msimg32 GradientFill)
