# Shared by the scripts: installs what the build and the tests need, and runs
# a private Wine prefix. Source it; do not run it.

VANTREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$VANTREL_ROOT/scripts/packages.sh"
source "$VANTREL_ROOT/scripts/i386-root.sh"

# The Japanese locale, under which Wine's ANSI code page is 932 (the tests of
# double-byte names); Wine mangles non-ASCII file names without it. It is
# compiled into the project's cache, not into the machine's locale archive:
# a process finds it with LOCPATH=$VANTREL_LOCPATH.
install_locale() {
  export VANTREL_LOCPATH=$VANTREL_CACHE/locale
  [ -e "$VANTREL_LOCPATH/ja_JP.UTF-8/LC_CTYPE" ] && return 0
  mkdir -p "$VANTREL_LOCPATH"
  localedef -i ja_JP -f UTF-8 "$VANTREL_LOCPATH/ja_JP.UTF-8"
}

# Configures and builds one build folder: build_tree NAME [cmake options...]
build_tree() {
  local name=$1
  shift
  cmake -S "$VANTREL_ROOT" -B "$VANTREL_ROOT/build/$name" "$@" >/dev/null
  cmake --build "$VANTREL_ROOT/build/$name" -j "$(nproc)"
}

# The moment a build claims to be from, so that two builds of one commit are
# the same bytes: SOURCE_DATE_EPOCH if set, else the last commit's time. The
# strip of Debian's binutils writes it as the programs' time stamp.
export_source_date_epoch() {
  if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$VANTREL_ROOT" log -1 --format=%ct 2>/dev/null) ||
      SOURCE_DATE_EPOCH=315532800 # not a checkout: the earliest time a zip can hold
  fi
  export SOURCE_DATE_EPOCH
}

# The two programs for 64-bit and for 32-bit Windows, copied to dist/x64 and dist/x86.
build_programs() {
  export_source_date_epoch
  build_tree x64 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$VANTREL_ROOT/cmake/mingw-x86_64.cmake" \
    -DVANTREL_I386_ROOT="$VANTREL_I386_ROOT"
  build_tree x86 -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=ON \
    -DCMAKE_TOOLCHAIN_FILE="$VANTREL_ROOT/cmake/mingw-i686.cmake" \
    -DVANTREL_I386_ROOT="$VANTREL_I386_ROOT"
  local arch triplet program
  for arch in x64 x86; do
    triplet=$([ "$arch" = x64 ] && echo x86_64-w64-mingw32 || echo i686-w64-mingw32)
    mkdir -p "$VANTREL_ROOT/dist/$arch"
    for program in Vantrel3.exe Vantrel4.exe; do
      "$triplet-strip" -o "$VANTREL_ROOT/dist/$arch/$program" "$VANTREL_ROOT/build/$arch/$program"
    done
  done
}

# The version, from the one place that defines it: the project() line.
vantrel_version() {
  sed -n 's/^project(Vantrel VERSION \([0-9.]*\).*/\1/p' "$VANTREL_ROOT/CMakeLists.txt"
}

# dist/Vantrel-VERSION.zip from the programs in dist/x64 and dist/x86: the
# four programs (signed first when scripts/sign is asked to), a sample list,
# the Windows read-me (CR LF) and SHA256SUMS. The same input gives the same
# bytes: entries in a fixed order, with fixed permissions and the
# SOURCE_DATE_EPOCH time (UTC).
make_package() {
  local version stage zip
  version=$(vantrel_version)
  stage="$VANTREL_ROOT/build/package"
  zip="$VANTREL_ROOT/dist/Vantrel-$version.zip"
  export_source_date_epoch
  rm -rf "$stage"
  mkdir -p "$stage/x64" "$stage/x86"
  cp "$VANTREL_ROOT"/dist/x64/Vantrel3.exe "$VANTREL_ROOT"/dist/x64/Vantrel4.exe "$stage/x64/"
  cp "$VANTREL_ROOT"/dist/x86/Vantrel3.exe "$VANTREL_ROOT"/dist/x86/Vantrel4.exe "$stage/x86/"
  if [ -n "${VANTREL_SIGN_PKCS12:-}${VANTREL_SIGN_PKCS11_MODULE:-}" ]; then
    "$VANTREL_ROOT/scripts/sign" "$stage"/x64/*.exe "$stage"/x86/*.exe
  fi
  sed 's/$/\r/' "$VANTREL_ROOT/package/Vantrel.ini" >"$stage/Vantrel.ini"
  sed -e "s/VERSION/$version/" -e 's/$/\r/' "$VANTREL_ROOT/package/ReadMe.txt" >"$stage/ReadMe.txt"
  (cd "$stage" && sha256sum x64/Vantrel3.exe x64/Vantrel4.exe x86/Vantrel3.exe x86/Vantrel4.exe >SHA256SUMS)
  rm -f "$zip"
  python3 - "$stage" "$zip" "$SOURCE_DATE_EPOCH" <<'PY'
import os, sys, time, zipfile
stage, target, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
when = time.gmtime(max(epoch, 315532800))[:6]  # a zip holds no time before 1980
with zipfile.ZipFile(target, "w") as package:
    for name in ("x64/Vantrel3.exe", "x64/Vantrel4.exe", "x86/Vantrel3.exe", "x86/Vantrel4.exe",
                 "Vantrel.ini", "ReadMe.txt", "SHA256SUMS"):
        entry = zipfile.ZipInfo(name, date_time=when)
        entry.external_attr = (0o100755 if name.endswith(".exe") else 0o100644) << 16
        entry.create_system = 3  # Unix, whose permissions these are
        with open(os.path.join(stage, name), "rb") as source:
            package.writestr(entry, source.read(), zipfile.ZIP_DEFLATED, 9)
PY
  echo "$zip"
  echo "SHA-256: $(sha256sum "$zip" | cut -d' ' -f1)"
}

build_all() {
  build_tree native -DCMAKE_BUILD_TYPE=RelWithDebInfo
  build_programs
}

# Starts a fresh Wine prefix at $1 (removed first) with a persistent server,
# so that each program started in it does not pay Wine's start-up. $2 is x64
# (the default: a 64-bit prefix, which runs 32-bit programs under WoW64 too)
# or x86 (a 32-bit prefix, as on 32-bit Windows).
start_wine() {
  prepare_i386_root
  export WINEPREFIX=$1
  export WINEDEBUG=${WINEDEBUG:--all}
  # No Mono or Gecko to install, and no menu entries or file types in the
  # user's home.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # The loaders beside the root's 32-bit one, so that each finds the other.
  if [ "${2:-x64}" = x86 ]; then
    export WINEARCH=win32 WINELOADER=$VANTREL_WINE32
  else
    export WINEARCH=win64 WINELOADER=$VANTREL_WINE64
  fi
  # A server left over from an earlier run of this prefix must be gone first.
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    timeout 60 wineserver -w 2>/dev/null || true
  fi
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # Without a persistent server: it ends once wineboot and all the work it
  # starts (services, the desktop) are done, and -w waits for exactly that,
  # so that nothing of it outlives the set-up or holds a test's pipes later.
  timeout 600 "$WINELOADER" wineboot -i >/dev/null 2>&1 </dev/null ||
    { echo "wineboot did not finish within 10 minutes in $WINEPREFIX" >&2; return 1; }
  wait_for_wine "wineboot's work"
  # Started as wine64, Debian's Wine does not find its own fonts: without
  # them "MS Sans Serif" falls back to a wider face and the caption buttons
  # lose their Marlett glyphs.
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  # Every program gets one virtual desktop, so that keyboard focus works
  # without a window manager.
  "$WINELOADER" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null </dev/null
  "$WINELOADER" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f \
    >/dev/null </dev/null
  wait_for_wine "the desktop settings"
  wineserver -p
}

# Waits, 10 minutes at most, until every Wine process of the prefix has ended.
wait_for_wine() {
  timeout 600 wineserver -w ||
    { echo "Wine did not finish $1 within 10 minutes in $WINEPREFIX" >&2; return 1; }
}

# Keeps the prefix's desktop (and Wine's desktop process) up until the prefix
# stops, so that no test starts it and leaves it holding CTest's pipes;
# returns once the desktop is there.
hold_desktop() {
  local probe=$1 ready
  exec {ready}< <("$WINELOADER" "$probe" hold </dev/null 2>/dev/null)
  read -r -t 120 -u "$ready" line || { echo "the desktop did not come up" >&2; return 1; }
  exec {ready}<&-
}

# Starts a virtual X display unless there is one already.
start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local number=90
  while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
    number=$((number + 1))
  done
  Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  VANTREL_XVFB_PID=$!
  export DISPLAY=":$number"
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  return 1
}

stop_display() {
  [ -n "${VANTREL_XVFB_PID:-}" ] && kill "$VANTREL_XVFB_PID" 2>/dev/null
  return 0
}

stop_wine() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  wineserver -k 2>/dev/null || true
  timeout 60 wineserver -w 2>/dev/null || true
}
