# Warnings are set per target: every target of the project is clean under these, and
# TRAKORA_WERROR (on in CI) makes them errors.
function(trakora_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wconversion -Wpedantic)
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        # As g++ means -Wconversion for C++: sign changes of integers are not included.
        target_compile_options(${target} PRIVATE -Wno-sign-conversion)
    endif()
    if(TRAKORA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
