# Wine for the Windows builds: a prefix made once, and a virtual display where there is none.
# Sourced by scripts/test and scripts/run, after scripts/lib/packages.sh.
#
#   vx_kernel_runs_i386     whether this kernel runs 32-bit programs itself
#   vx_wine_prefix ARCH     win32 or win64: exports WINEARCH, WINEPREFIX, WINELOADER (win64),
#                           WINEDEBUG and WINEDLLOVERRIDES, makes the prefix on first use and
#                           starts Wine's server for the whole run
#   vx_virtual_display      starts Xvfb on a free display when DISPLAY is unset, stops it on exit

VX_BINFMT=/proc/sys/fs/binfmt_misc
VX_WINE32=/usr/lib/wine/wine
VX_WINE64=/usr/lib/wine/wine64

# Our qemu-i386 entry (below) is made only where the kernel refused 32-bit programs.
vx_kernel_runs_i386() {
    if [ -e "$VX_BINFMT/qemu-i386" ] && [ "$(head -n 1 "$VX_BINFMT/qemu-i386")" = enabled ]; then
        return 1
    fi
    [ -x "$VX_WINE32" ] && "$VX_WINE32" --version >/dev/null 2>&1
}

# Where 32-bit programs cannot run (a kernel with its ia32 emulation switched off, as on some
# virtual machines), qemu's user mode runs Wine's 32-bit loader instead, through binfmt_misc.
# That needs root once per boot, and it is slow: a Wine start costs minutes there.
vx_wine_i386() {
    if [ ! -x "$VX_WINE32" ]; then
        echo "Wine's 32-bit loader is missing: install wine32:i386." >&2
        return 1
    fi
    "$VX_WINE32" --version >/dev/null 2>&1 && return 0

    echo "This kernel runs no 32-bit programs; running Wine's loader through qemu-i386 (slow)."
    if [ "$(id -u)" != 0 ]; then
        echo "Registering qemu-i386 with binfmt_misc needs root: run this once as root." >&2
        return 1
    fi
    vx_ensure_packages qemu-user || return 1
    mountpoint -q "$VX_BINFMT" || mount -t binfmt_misc binfmt_misc "$VX_BINFMT" || return 1
    if [ -e "$VX_BINFMT/qemu-i386" ]; then
        echo 1 >"$VX_BINFMT/qemu-i386" || return 1
    else
        # ELF, 32-bit, little-endian, executable or shared object, machine 3 (i386).
        echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:' \
            >"$VX_BINFMT/register" || return 1
    fi
    if ! "$VX_WINE32" --version >/dev/null 2>&1; then
        echo "Wine's 32-bit loader still does not run." >&2
        return 1
    fi
}

vx_wine_prefix() {
    local arch=$1
    export WINEARCH=$arch
    local own="$HOME/.cache/vexmoor-patchkeeper/wine${arch#win}"
    export WINEPREFIX="${WINEPREFIX:-$own}"
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No Mono or Gecko: nothing here needs them, and their installers would ask. No winedbg:
    # a program that crashes ends at once instead of waiting in the debugger.
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe,winemenubuilder.exe=d}"
    local wine
    if [ "$arch" = win32 ]; then
        vx_wine_i386 || return 1
        wine=wine
    else
        # Debian's `wine` prefers the 32-bit loader whenever it is installed.
        export WINELOADER=$VX_WINE64
        wine=$VX_WINE64
    fi
    if [ -f "$WINEPREFIX/system.reg" ] && ! grep -q "^#arch=$arch" "$WINEPREFIX/system.reg"; then
        echo "WINEPREFIX=$WINEPREFIX is not a $arch prefix." >&2
        return 1
    fi

    local start=$SECONDS lock
    mkdir -p "$(dirname "$WINEPREFIX")"
    # Two runs sharing a prefix must not both make it. Wine's programs started meanwhile are
    # given no copy of the lock: its server would otherwise hold it as long as it runs.
    exec {lock}>"$WINEPREFIX.lock"
    flock "$lock"
    # The marker is written last, so a prefix whose making was interrupted is made again.
    if [ ! -f "$WINEPREFIX/.vexmoor-patchkeeper-ready" ]; then
        echo "Making the $arch Wine prefix $WINEPREFIX (once)..."
        # Our own prefix, left half-made by an interrupted run, is made anew from nothing;
        # a prefix the caller chose is never removed.
        if [ "$WINEPREFIX" = "$own" ]; then
            wineserver -k >/dev/null 2>&1 {lock}>&- || true
            rm -rf "$WINEPREFIX"
        fi
        mkdir -p "$WINEPREFIX"
        # Bounded: a prefix whose making hangs must fail the run, not use up its time.
        if ! timeout 1800 "$wine" wineboot -i >/dev/null 2>&1 {lock}>&-; then
            echo "wineboot could not make the prefix $WINEPREFIX." >&2
            exec {lock}>&-
            return 1
        fi
        # The server writes the registry out when it ends. Under qemu one of Wine's own
        # services can hang instead of ending with it; ten minutes is plenty otherwise.
        if ! timeout 600 wineserver -w {lock}>&-; then
            wineserver -k >/dev/null 2>&1 {lock}>&- || true
        fi
        touch "$WINEPREFIX/.vexmoor-patchkeeper-ready"
        echo "Wine prefix made in $((SECONDS - start)) s."
        start=$SECONDS
    fi
    exec {lock}>&-  # closing the lock file releases the lock
    # One server and one set of Wine's own services for all the programs of this run, kept
    # for a while after the last one ends; each program would otherwise start them anew.
    wineserver -p 120 >/dev/null 2>&1 || true
    "$wine" wineboot >/dev/null 2>&1 || true
    echo "Wine $("$wine" --version 2>/dev/null) ($arch) ready in $((SECONDS - start)) s."
}

vx_virtual_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local numberFile
    numberFile=$(mktemp)
    # -displayfd: Xvfb picks a free display itself and writes its number once it is ready.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
    VX_XVFB_PID=$!
    local tries=0
    while [ ! -s "$numberFile" ] && [ $tries -lt 100 ]; do
        kill -0 "$VX_XVFB_PID" 2>/dev/null || break
        sleep 0.1
        tries=$((tries + 1))
    done
    local number
    number=$(tr -d '[:space:]' <"$numberFile")
    rm -f "$numberFile"
    if [ -z "$number" ]; then
        echo "Xvfb did not start." >&2
        vx_stop_virtual_display
        return 1
    fi
    export DISPLAY=":$number"
    trap vx_stop_virtual_display EXIT
}

# Ends what the programs of this run left in the prefix, then the display they used.
vx_stop_virtual_display() {
    [ -n "${VX_XVFB_PID:-}" ] || return 0
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
    kill "$VX_XVFB_PID" 2>/dev/null
    wait "$VX_XVFB_PID" 2>/dev/null
    VX_XVFB_PID=
    return 0
}
