# Debian packages the project needs, and the one function that installs the missing ones.
# Sourced by scripts/run and scripts/test.

VX_LINUX_PACKAGES=(cmake make g++ pkg-config qt6-base-dev libgl-dev googletest libgtest-dev
    libgmock-dev fonts-dejavu-core)
# The x86_64 compiler and wine64 are for the tests where 32-bit programs run only emulated;
# e2fsprogs' chattr makes the unwritable game folder the Windows tests need.
VX_WINDOWS_PACKAGES=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb xauth e2fsprogs)
# For making and checking the players' packages (scripts/package, the last stage of
# scripts/test): the .deb's dependencies, its lint, the desktop file and metainfo checks.
VX_PACKAGE_PACKAGES=(dpkg-dev file lintian desktop-file-utils appstream unzip)
# For redrawing the icon (assets/make-icon.sh).
VX_ICON_PACKAGES=(imagemagick)

# For scripts/bench: file systems that clone, made on loop devices.
VX_BENCH_PACKAGES=(xfsprogs btrfs-progs)

vx_missing_packages() {
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
            printf '%s\n' "$package"
    done
}

# Installs whatever of "$@" is missing; quick when nothing is.
vx_ensure_packages() {
    local missing
    mapfile -t missing < <(vx_missing_packages "$@")
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" != 0 ]; then
        echo "These Debian packages are missing; run this as root to install them:" >&2
        printf '  %s\n' "${missing[@]}" >&2
        return 1
    fi
    echo "Installing: ${missing[*]}"
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
        ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}
