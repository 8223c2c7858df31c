# The 32-bit Wine that runs the x86 programs' tests, in a folder of the
# project's cache: wine32 and the i386 libraries it needs, taken from the
# suites the machine's own apt sources name, and never installed into the
# machine's package database. Sourced by setup.sh; do not run it.
#
# Its i386 programs run under qemu's user-mode emulator (binfmt_misc), with
# QEMU_LD_PREFIX pointing at the root, so that they find their loader and
# libraries there. The 64-bit Wine and its wineserver stay the machine's own:
# the root's wineserver is the machine's (its own 32-bit server is deleted),
# and beside the 32-bit loader lies a copy of the machine's 64-bit one, since
# each Wine loader looks for the other architecture's in its own folder.
#
# Built with apt-get and dpkg-deb against a private apt state (lists and
# downloads in VANTREL_I386_APT, preferences in the run's temporary apt
# configuration): apt resolves wine32's dependencies as for an empty i386
# system and downloads them, dpkg-deb unpacks them; no maintainer script runs,
# so the few of their steps that Wine needs are done here (finish_i386_root).

VANTREL_CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/vantrel
VANTREL_I386_ROOT=$VANTREL_CACHE/i386-root
VANTREL_I386_APT=$VANTREL_CACHE/i386-apt
# wine32 (at the machine's wine64 version, added when resolving), the X
# libraries that Wine's display driver loads when it finds them (libwine only
# recommends them), and Wine's own fonts.
VANTREL_I386_PACKAGES=(libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2
  libxrender1 libxxf86vm1 fonts-wine)
# The record of what a root was built from, inside it.
VANTREL_I386_STAMP=.vantrel-i386-root

# Makes sure the root is there and matches what the suites hold now, then
# exports VANTREL_WINE32, VANTREL_WINE64 and QEMU_LD_PREFIX. Once per run.
prepare_i386_root() {
  [ -z "${VANTREL_I386_READY:-}" ] || return 0
  local wine_version wanted
  wine_version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null) ||
    setup_failed "building the 32-bit root" "wine64 is not installed" "run the set-up again"
  wanted="wine32=$wine_version ${VANTREL_I386_PACKAGES[*]}"
  apt_begin
  i386_apt_configure
  mkdir -p "$VANTREL_I386_APT/lists/partial" "$VANTREL_I386_APT/archives/partial"
  : >"$VANTREL_I386_APT/status" # an empty system: apt resolves the whole closure
  update_package_lists VANTREL_I386_APT_GET "the 32-bit root's package lists (i386)"
  leave_out_incomplete_suites
  local stamp="$VANTREL_I386_ROOT/$VANTREL_I386_STAMP" resolved built
  if ! compgen -G "$VANTREL_I386_APT/lists/*_Packages*" >/dev/null; then
    reuse_i386_root "$stamp" "$wanted" "no i386 package list of the suites came down"
  # shellcheck disable=SC2086 # one package a word
  elif ! resolved=$("${VANTREL_I386_APT_GET[@]}" install -s --no-install-recommends $wanted 2>&1); then
    reuse_i386_root "$stamp" "$wanted" \
      "apt cannot resolve its packages from this run's lists: $(grep '^E:' <<<"$resolved" | head -3 | paste -sd ' ')"
  else
    resolved=$(sed -n 's/^Inst \([^ ]*\) (\([^ ]*\) .*/\1 \2/p' <<<"$resolved" | sort)
    built=$(printf 'packages: %s\n%s\n' "$wanted" "$resolved")
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$built" ]; then
      setup_log "reusing the 32-bit root in $VANTREL_I386_ROOT: its packages are those the suites hold now ($(wc -l <<<"$resolved") packages)"
    elif [ -f "$stamp" ] && [ -n "${VANTREL_LEFT_OUT:-}" ]; then
      # The one there was built from complete lists: better than one without a suite.
      reuse_i386_root "$stamp" "$wanted" "this run's lists lack $VANTREL_LEFT_OUT"
    else
      if [ -f "$stamp" ]; then
        setup_log "rebuilding the 32-bit root in $VANTREL_I386_ROOT: $(i386_root_changes "$stamp" "$built")"
      else
        setup_log "building the 32-bit root in $VANTREL_I386_ROOT ($(wc -l <<<"$resolved") packages${VANTREL_LEFT_OUT:+, without $VANTREL_LEFT_OUT})"
      fi
      build_i386_root "$wanted" "$built"
    fi
  fi
  apt_end
  # The copy of the machine's 64-bit loader follows the machine's.
  cmp -s /usr/lib/wine/wine64 "$VANTREL_I386_ROOT/usr/lib/wine/wine64" ||
    cp /usr/lib/wine/wine64 "$VANTREL_I386_ROOT/usr/lib/wine/wine64"
  export QEMU_LD_PREFIX=$VANTREL_I386_ROOT
  export VANTREL_WINE32=$VANTREL_I386_ROOT/usr/lib/wine/wine
  export VANTREL_WINE64=$VANTREL_I386_ROOT/usr/lib/wine/wine64
  VANTREL_I386_READY=yes
}

# apt-get for the root: i386 only, the machine's sources and apt.conf, but
# lists, downloads and the (empty) package database of its own, and
# preferences of this run's temporary configuration.
i386_apt_configure() {
  VANTREL_I386_APT_GET=(apt-get -q -o APT::Architecture=i386 -o APT::Architectures=i386
    -o "Dir::State::Lists=$VANTREL_I386_APT/lists" -o "Dir::State::status=$VANTREL_I386_APT/status"
    -o "Dir::State::extended_states=$VANTREL_I386_APT/extended_states"
    -o "Dir::Cache::Archives=$VANTREL_I386_APT/archives" -o Dir::Cache::pkgcache=
    -o Dir::Cache::srcpkgcache= -o "Dir::Etc::PreferencesParts=$VANTREL_APT_DIR/preferences.d"
    -o Acquire::Languages=none -o APT::Sandbox::User=root)
}

# Goes on with the root there is, as it is, because of $3: when there is one,
# built for the machine's Wine ($2: the packages asked for).
reuse_i386_root() {
  local stamp=$1 wanted=$2 why=$3
  [ -f "$stamp" ] ||
    setup_failed "building the 32-bit root in $VANTREL_I386_ROOT" "$why" \
      "wait a few minutes (the archive may be mid-sync) and run the set-up again"
  [ "$(head -1 "$stamp")" = "packages: $wanted" ] ||
    setup_failed "building the 32-bit root in $VANTREL_I386_ROOT" \
      "$why, and the root there is for another Wine than the machine's ($(head -1 "$stamp"))" \
      "wait a few minutes (the archive may be mid-sync) and run the set-up again"
  setup_log "reusing the 32-bit root in $VANTREL_I386_ROOT as it is: $why"
}

# What differs between the stamp $1 and the description $2, in a few words.
i386_root_changes() {
  if [ "$(head -1 "$1")" != "$(head -1 <<<"$2")" ]; then
    echo "the packages asked for changed ($(head -1 <<<"$2"))"
    return
  fi
  local changed
  changed=$(diff <(tail -n +2 "$1") <(tail -n +2 <<<"$2") | sed -n 's/^> //p')
  [ -n "$changed" ] || { echo "some of its packages are needed no longer"; return; }
  echo "the suites hold other versions now: $(head -5 <<<"$changed" | paste -sd, | sed 's/,/, /g')$([ "$(wc -l <<<"$changed")" -le 5 ] || echo ", …")"
}

# Downloads the closure of $1 and unpacks it into a new root, which then
# takes the place of the old one in one rename; $2 is its description.
build_i386_root() {
  local wanted=$1 built=$2 started=$SECONDS
  # shellcheck disable=SC2086
  i386_download $wanted
  local new="$VANTREL_I386_ROOT.new" old="$VANTREL_I386_ROOT.old"
  rm -rf "$new" "$old"
  mkdir -p "$new"
  local deb
  for deb in "$VANTREL_I386_APT"/archives/*.deb; do
    dpkg-deb -x "$deb" "$new" ||
      setup_failed "building the 32-bit root" "unpacking $deb failed" "run the set-up again"
  done
  finish_i386_root "$new"
  printf '%s\n' "$built" >"$new/$VANTREL_I386_STAMP"
  [ ! -e "$VANTREL_I386_ROOT" ] || mv "$VANTREL_I386_ROOT" "$old"
  mv "$new" "$VANTREL_I386_ROOT"
  # ld.so.cache names the libraries by their place inside the root, so it
  # stays right across the rename.
  rm -rf "$old"
  "${VANTREL_I386_APT_GET[@]}" clean
  setup_log "the 32-bit root is built: $(du -sh "$VANTREL_I386_ROOT" | cut -f1) in $((SECONDS - started)) s"
}

# apt-get install --download-only into the private state, tried again (with a
# fresh update) when a download fails.
i386_download() {
  local try output
  for try in $(seq 0 ${#VANTREL_APT_PAUSES[@]}); do
    if [ "$try" -gt 0 ]; then
      apt_pause "$try" "the download of the 32-bit root" || break
      "${VANTREL_I386_APT_GET[@]}" update >/dev/null 2>&1 || true
    fi
    if output=$("${VANTREL_I386_APT_GET[@]}" install -y --download-only --no-install-recommends \
      "$@" 2>&1); then
      return 0
    fi
    grep -E '^(E|W):' <<<"$output" | sed 's/^/    /' >&2 || true
    grep -qE 'Failed to fetch|Unable to fetch|Hash Sum mismatch|unexpected size' <<<"$output" || break
  done
  setup_failed "downloading the 32-bit root's packages" "apt-get install --download-only failed" \
    "wait a few minutes (the archive may be mid-sync) and run the set-up again"
}

# What the packages' maintainer scripts would have done that Wine needs.
finish_i386_root() {
  local root=$1 mingw wine_arch source
  # libwine's configure step: Wine's builtin copies of zlib1.dll, from the
  # MinGW build of zlib, marked as builtin.
  for mingw in i686:i386 x86_64:x86_64; do
    wine_arch=${mingw#*:}
    source="$root/usr/${mingw%:*}-w64-mingw32/lib/zlib1.dll"
    {
      head -c 64 "$source"
      printf 'Wine builtin DLL'
      head -c 16 /dev/zero
      tail -c +97 "$source"
    } >"$root/usr/lib/i386-linux-gnu/wine/$wine_arch-windows/zlib1.dll"
  done
  # libc-bin's: the loader's cache. The i386 loader cannot look through the
  # root's /lib without it (qemu maps only some of its calls into the root).
  echo 'include /etc/ld.so.conf.d/*.conf' >"$root/etc/ld.so.conf"
  as_root ldconfig -X -r "$root" ||
    setup_failed "building the 32-bit root" "ldconfig -r $root failed" "run the set-up again"
  # fontconfig's: a cache folder, in the root, for the 32-bit caches, which
  # would else go into the machine's /var/cache/fontconfig. Named by its full
  # path: the emulator maps into the root only what exists there already.
  mkdir -p "$root/var/cache/fontconfig"
  sed -i "s|<cachedir>/var/cache/fontconfig</cachedir>|<cachedir>$VANTREL_I386_ROOT/var/cache/fontconfig</cachedir>|" \
    "$root/etc/fonts/fonts.conf"
  # The machine's 64-bit Wine beside the root's 32-bit loader: its loader,
  # which finds its libraries from there, and its server.
  cp /usr/lib/wine/wine64 "$root/usr/lib/wine/wine64"
  mkdir -p "$root/usr/lib/x86_64-linux-gnu"
  ln -s /usr/lib/x86_64-linux-gnu/wine "$root/usr/lib/x86_64-linux-gnu/wine"
  rm -f "$root/usr/lib/wine/wineserver32"
}
