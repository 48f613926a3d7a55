# Shared by scripts/run, scripts/test and scripts/package: installs what is
# missing, builds, packages.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian 12 packages the console needs to build, run and be tested.
PACKAGES=(
    cmake g++ make ccache
    qt6-base-dev qt6-serialport-dev libgl-dev
    fonts-liberation fonts-dejavu-core
    xvfb xauth xdotool openbox x11-utils
    # scripts/bench presses keys in process through XTest.
    libxtst-dev
    procps
    # The check of the guide's quoted messages.
    python3
    # A serial server on the network, for the network port tests.
    ser2net
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
