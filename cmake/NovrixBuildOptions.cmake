# Compiler settings shared by every NOVRIX target: language level, warnings, ccache, sanitizers.
# Included once from the top-level CMakeLists.txt, before any target is defined.

option(NOVRIX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(NOVRIX_WERROR "Treat compiler warnings as errors" OFF)

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

# Normal builds: RelWithDebInfo (-O2 -g -DNDEBUG with GCC). A sanitizer build keeps assertions (Debug)
# but is optimised enough (-O1, below) that the script tests finish in time.
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    if(NOVRIX_SANITIZE)
        set(novrixDefaultBuildType Debug)
    else()
        set(novrixDefaultBuildType RelWithDebInfo)
    endif()
    set(CMAKE_BUILD_TYPE ${novrixDefaultBuildType} CACHE STRING "Build type" FORCE)
    set_property(CACHE CMAKE_BUILD_TYPE PROPERTY STRINGS Debug Release RelWithDebInfo MinSizeRel)
endif()

add_compile_options(-Wall -Wextra)
if(NOVRIX_WERROR)
    add_compile_options(-Werror)
endif()

if(NOVRIX_SANITIZE)
    set(novrixSanitizeFlags
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_compile_options(${novrixSanitizeFlags} $<$<CONFIG:Debug>:-O1>)
    add_link_options(${novrixSanitizeFlags})
endif()

# ccache when present; an explicit -DCMAKE_CXX_COMPILER_LAUNCHER=... wins.
find_program(NOVRIX_CCACHE ccache)
if(NOVRIX_CCACHE)
    foreach(lang C CXX)
        if(NOT DEFINED CMAKE_${lang}_COMPILER_LAUNCHER)
            set(CMAKE_${lang}_COMPILER_LAUNCHER ${NOVRIX_CCACHE})
        endif()
    endforeach()
endif()
