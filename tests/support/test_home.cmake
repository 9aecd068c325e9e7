# The tests' home directory (see test_main.cc), as two CTest fixture steps:
#   cmake -DROOT=dir -DMODE=reset -P test_home.cmake  empties it before a run;
#   cmake -DROOT=dir -DMODE=check -P test_home.cmake  fails when a test left
#     anything in it; the runtime directory may keep the program's lock files.
if(MODE STREQUAL "reset")
    file(REMOVE_RECURSE "${ROOT}")
    foreach(folder home config cache data state runtime)
        file(MAKE_DIRECTORY "${ROOT}/${folder}")
        file(CHMOD "${ROOT}/${folder}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    endforeach()
elseif(MODE STREQUAL "check")
    file(GLOB_RECURSE left LIST_DIRECTORIES true RELATIVE "${ROOT}" "${ROOT}/*")
    list(FILTER left EXCLUDE REGEX "^(home|config|cache|data|state|runtime)$")
    list(FILTER left EXCLUDE REGEX "^runtime/[^/]+\\.lock$")
    if(left)
        list(JOIN left "\n  " shown)
        message(FATAL_ERROR "The tests wrote into their home directory ${ROOT}:\n  ${shown}")
    endif()
else()
    message(FATAL_ERROR "MODE is reset or check")
endif()
