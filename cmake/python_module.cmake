# Finds a Python 3 interpreter that has pybind11 and numpy (Debian's
# python3-pybind11 and python3-numpy) for the tessivo module. The interpreter
# first on the PATH is tried first, then the system's own, since version
# managers often put an interpreter without those packages ahead of it.
# Sets TESSIVO_PYTHON_FOUND, Python3_EXECUTABLE and pybind11_DIR.
set(TESSIVO_PYTHON_FOUND OFF)
if(NOT Python3_EXECUTABLE)
  find_program(_tessivo_path_python NAMES python3)
  set(_tessivo_candidates ${_tessivo_path_python} /usr/bin/python3)
else()
  set(_tessivo_candidates ${Python3_EXECUTABLE})
endif()
foreach(candidate IN LISTS _tessivo_candidates)
  if(candidate AND EXISTS "${candidate}")
    execute_process(
      COMMAND "${candidate}" -c "import numpy, pybind11; print(pybind11.get_cmake_dir(), end='')"
      RESULT_VARIABLE _tessivo_status OUTPUT_VARIABLE _tessivo_pybind11_dir ERROR_QUIET)
    if(_tessivo_status EQUAL 0)
      set(Python3_EXECUTABLE "${candidate}" CACHE FILEPATH "Python 3 interpreter for the tessivo module" FORCE)
      set(pybind11_DIR "${_tessivo_pybind11_dir}" CACHE PATH "pybind11's CMake files" FORCE)
      set(TESSIVO_PYTHON_FOUND ON)
      break()
    endif()
  endif()
endforeach()

# A sanitized extension cannot be loaded into an interpreter that was not
# started with the sanitizer's runtime: those builds leave the module out.
set(TESSIVO_PYTHON_DEFAULT ${TESSIVO_PYTHON_FOUND})
if(TESSIVO_SANITIZE OR TESSIVO_BUILD_FUZZ)
  set(TESSIVO_PYTHON_DEFAULT OFF)
endif()
