# The whole program for 64-bit Windows: the mingw-w64 toolchain of the core, plus the static Qt
# that scripts/windows-qt.sh keeps in its cache folder (or the prefix in TARNWICK_WINDOWS_QT).
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Read from the environment as well: CMake's checks run this file again without the cache.
if(NOT TARNWICK_WINDOWS_QT)
    if(DEFINED ENV{TARNWICK_WINDOWS_QT})
        set(TARNWICK_WINDOWS_QT $ENV{TARNWICK_WINDOWS_QT})
    elseif(DEFINED ENV{TARNWICK_CACHE})
        set(TARNWICK_WINDOWS_QT $ENV{TARNWICK_CACHE}/qt6.4.2-mingw64-static/prefix)
    elseif(DEFINED ENV{XDG_CACHE_HOME})
        set(TARNWICK_WINDOWS_QT $ENV{XDG_CACHE_HOME}/tarnwick/qt6.4.2-mingw64-static/prefix)
    else()
        set(TARNWICK_WINDOWS_QT $ENV{HOME}/.cache/tarnwick/qt6.4.2-mingw64-static/prefix)
    endif()
endif()
set(TARNWICK_WINDOWS_QT ${TARNWICK_WINDOWS_QT} CACHE PATH "Static Qt for Windows (scripts/windows-qt.sh)")
if(NOT EXISTS ${TARNWICK_WINDOWS_QT}/lib/cmake/Qt6/Qt6Config.cmake)
    message(FATAL_ERROR "No Qt for Windows in ${TARNWICK_WINDOWS_QT}: run scripts/windows-qt.sh first")
endif()

list(APPEND CMAKE_FIND_ROOT_PATH ${TARNWICK_WINDOWS_QT})
list(APPEND CMAKE_PREFIX_PATH ${TARNWICK_WINDOWS_QT})
# Qt's build tools (moc, rcc, uic) come from Debian's own Qt of the same version. Its CMake
# files sit in the multiarch folder, where Qt would not look by itself.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
# Their code fits only their own version: Debian 13's Qt 6.8 moc writes code that Qt 6.4.2 cannot build.
file(STRINGS ${QT_HOST_PATH_CMAKE_DIR}/Qt6/Qt6ConfigVersionImpl.cmake host_version REGEX "PACKAGE_VERSION \"[0-9]")
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" host_version "${host_version}")
if(NOT host_version VERSION_EQUAL 6.4.2)
    message(FATAL_ERROR "Qt's build tools here are Qt ${host_version}, not the Windows Qt's 6.4.2: "
                        "the Windows build needs Debian 12's Qt")
endif()
