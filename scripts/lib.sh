# Shared by scripts/run, scripts/test and scripts/package: installs what is
# missing, builds, packages.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian 12 packages the console needs to build, run and be tested.
PACKAGES=(
    cmake g++ make ccache
    qt6-base-dev qt6-base-private-dev qt6-serialport-dev libgl-dev
    fonts-liberation fonts-dejavu-core
    xvfb xauth xdotool openbox x11-utils
    # scripts/bench presses keys in process through XTest.
    libxtst-dev
    procps
    # The check of the guide's quoted messages.
    python3
    # A serial server on the network, for the network port tests, and
    # scripts/bench's floor of a write to it.
    ser2net socat iproute2
    # vantor-sign serve's broker client, and a broker for its tests.
    libmosquitto-dev mosquitto mosquitto-clients
    # The package and its checks.
    dpkg-dev fakeroot file lintian desktop-file-utils appstream man-db gzip
    # The desktop's handler for Help and the web page.
    xdg-utils
)

install_missing_packages() {
    local missing=()
    local pkg
    for pkg in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing Debian packages: ${missing[*]}"
    # Root needs no sudo (a fresh machine may not have it); sudo would drop
    # the frontend setting from the environment, so it goes through env.
    local apt=(env DEBIAN_FRONTEND=noninteractive apt-get)
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || {
            echo "Not root and no sudo: install as root: apt-get install ${missing[*]}" >&2
            return 1
        }
        apt=(sudo "${apt[@]}")
    fi
    # A fresh image has no package lists at all; otherwise refresh them only
    # when an install fails on an outdated list.
    if ! compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null; then
        "${apt[@]}" update -qq
    fi
    "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" || {
        "${apt[@]}" update -qq
        "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
    }
}

# configure DIR [cmake options...]: configures DIR with the options (every
# time, so that a changed option takes effect).
configure() {
    local dir=$1
    shift
    # A compiler cache keyed on paths relative to the checkout: a rebuild, or
    # a build of another checkout on the same machine, compiles only what
    # changed.
    export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=true
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@" >/dev/null
}

# build DIR [cmake options...]: configures DIR, then builds everything in it.
build() {
    configure "$@" || return 1
    cmake --build "$1" --parallel "$(nproc)"
}

# make_package DIR: the Debian package of what DIR has built (CPack builds
# what is missing first); prints the package's path.
make_package() {
    local dir=$1
    local log="$dir/package.log"
    (cd "$dir" && cpack -G DEB -B "$dir/package") >"$log" 2>&1 || {
        cat "$log" >&2
        return 1
    }
    local deb
    deb=$(ls "$dir"/package/vantor-message-board_*_"$(dpkg --print-architecture)".deb) || return 1
    echo "$deb"
}

# The Windows cross build (scripts/windows-qt, scripts/package --windows,
# scripts/test --windows) needs these besides PACKAGES; nothing else installs
# them.
WINDOWS_PACKAGES=(
    cmake ccache ninja-build xz-utils qt6-base-dev qt6-base-dev-tools
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
    nsis wine64 wine xvfb xauth dpkg-dev
)

run_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Where scripts/windows-qt keeps the Qt it builds or unpacks: outside the
# checkout, so that every checkout and CI run on the machine shares it.
windows_qt_prefix() {
    echo "${XDG_CACHE_HOME:-$HOME/.cache}/vantor-message-board/qt-6.4.2-mingw64"
}

# True when the folder holds all the cross build takes from it.
windows_qt_complete() {
    local prefix=$1 file
    for file in lib/cmake/Qt6/qt.toolchain.cmake mingw64-posix.cmake \
        bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6Network.dll bin/Qt6Test.dll \
        plugins/platforms/qwindows.dll plugins/platforms/qoffscreen.dll; do
        [ -f "$prefix/$file" ] || return 1
    done
}

# write_mingw_toolchain FILE: the compiler half of the cross toolchain.
write_mingw_toolchain() {
    cat >"$1" <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER   /usr/bin/x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  /usr/bin/x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
}

# build_windows DIR [cmake options...]: makes sure Qt for Windows is there,
# then cross-builds the programs into DIR with Ninja.
build_windows() {
    local dir=$1
    shift
    local qt
    qt=$("$ROOT/scripts/windows-qt") || return 1
    export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=true
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$qt/mingw64-posix.cmake" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_RC_COMPILER_LAUNCHER= "$@" >/dev/null || return 1
    cmake --build "$dir" --parallel "$(nproc)"
}

# make_windows_installer DIR: the NSIS installer of what DIR has cross-built;
# prints its path.
make_windows_installer() {
    local dir=$1
    local log="$dir/package.log"
    (cd "$dir" && cpack -G NSIS -B "$dir") >"$log" 2>&1 || {
        cat "$log" >&2
        return 1
    }
    ls "$dir"/VantorMsgBoard-*-win64.exe
}
