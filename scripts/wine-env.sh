# Sourced by the Wine scripts: one project-local prefix, GBK as the ANSI code page, quiet Wine.
# The emulated guest sets NETMEND_WINEPREFIX and NETMEND_WINEARCH (win32: a 32-bit prefix and
# Wine's 32-bit loader; win64: 64-bit, where 32-bit programs run under WOW64).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${NETMEND_WINEPREFIX:-$root/build/wine/prefix}
export WINEARCH=${NETMEND_WINEARCH:-win64}
export WINEDEBUG=${WINEDEBUG:--all}
export LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [[ $WINEARCH == win32 ]]; then
  WINE=/usr/lib/wine/wine
else
  WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
fi
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINE WINESERVER

# Makes the prefix on first use, and brings an older one up to the current settings. Several
# test processes may start at once: one does it (a lock per prefix, so that two prefixes can be
# made at once).
kPrefixSettings=2
wine_prefix_ensure() {
  [[ -f $WINEPREFIX/.netmend-ready-$kPrefixSettings ]] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 8
    [[ -f $WINEPREFIX/.netmend-ready-$kPrefixSettings ]] && exit 0
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
      rm -rf "$WINEPREFIX"
      "$WINE" wineboot -i >/dev/null 2>&1
    fi
    # No crash dialog: a crashing test must end, not wait for a click.
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Xvfb has no window manager: windows left to one make Wine wait about two seconds each
    # time a visible top-level window is destroyed.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    "$WINESERVER" -w
    rm -f "$WINEPREFIX"/.netmend-ready*
    touch "$WINEPREFIX/.netmend-ready-$kPrefixSettings"
  ) 8>"$WINEPREFIX.lock"
}
