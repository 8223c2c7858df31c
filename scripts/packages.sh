# Installs the Debian packages that the build and the tests need, all of the
# machine's own architecture, and registers qemu's user-mode emulator for
# i386 programs (the 32-bit Wine itself lives in the project's cache:
# i386-root.sh). Sourced by setup.sh; do not run it.
#
# It only ever adds packages: no architecture is added, no package is
# downgraded, held or removed, and the machine's apt configuration is never
# edited (what a run needs beyond it lives in a temporary folder that goes
# when the run ends, however it ends). Every step looks at what the machine
# has, not at what an earlier run did. The archive can be mid-sync at any
# time: apt-get is retried.

VANTREL_PACKAGES=(
  cmake make g++ googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 binutils-mingw-w64-x86-64
  binutils-mingw-w64-i686
  wine wine64 fonts-wine xvfb x11-utils xdotool imagemagick python3 locales
  osslsigncode openssl
)
# Pauses between the tries of one apt-get step (a mirror sync passes within
# minutes), and what a whole run may spend in them.
VANTREL_APT_PAUSES=(20 40 60)
VANTREL_APT_WAIT_LEFT=150

# Installs what is missing (needs root, or sudo), then makes sure that qemu
# runs i386 programs.
install_packages() {
  local missing=() package qemu_version
  for package in "${VANTREL_PACKAGES[@]}"; do
    package_installed "$package" || missing+=("$package")
  done
  qemu_version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null) || true
  if [ ${#missing[@]} -ne 0 ] || [[ "$qemu_version" != *'~bpo'* ]]; then
    refuse_unfinished_installs
    apt_begin
    update_package_lists VANTREL_APT "the machine's package lists"
    [ ${#missing[@]} -eq 0 ] || apt_install "${missing[@]}"
    [[ "$qemu_version" == *'~bpo'* ]] || apt_install -t bookworm-backports qemu-user
    apt_end
  fi
  register_qemu_i386
}

package_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

setup_log() {
  echo "set-up: $*" >&2
}

# The last line of a set-up that cannot go on: the step, what failed, what a
# person can do.
setup_failed() {
  apt_end
  echo "Set-up cannot go on: $1: $2. $3." >&2
  exit 1
}

# This run's temporary apt configuration, in a folder of its own that goes
# when the run ends, also on an error or Ctrl-C: the machine's own sources
# and preferences, plus bookworm-backports (qemu-user; bookworm's own qemu
# takes a minute to start Wine), and the 32-bit root's pins of suites left
# out. VANTREL_APT is the machine's apt-get with it.
apt_begin() {
  VANTREL_APT_DIR=$(mktemp -d /tmp/vantrel-apt.XXXXXX)
  # The script's own traps come back with apt_end; one for EXIT still runs.
  VANTREL_TRAPS=$(trap -p EXIT INT TERM)
  local on_exit=""
  [ -z "$(trap -p EXIT)" ] || { eval "set -- $(trap -p EXIT)"; on_exit=$3; }
  trap "apt_end; $on_exit" EXIT
  trap 'apt_end; exit 130' INT
  trap 'apt_end; exit 143' TERM
  mkdir -p "$VANTREL_APT_DIR/sources.list.d" "$VANTREL_APT_DIR/preferences.d"
  local file
  for file in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && cp "$file" "$VANTREL_APT_DIR/sources.list.d/"
  done
  for file in /etc/apt/preferences.d/*; do
    [ -f "$file" ] && cp "$file" "$VANTREL_APT_DIR/preferences.d/"
  done
  if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d; then
    # The archive apt already uses, and its key.
    local stanza uri keyring
    stanza=$(awk -v RS= '/\nSuites:[^\n]*bookworm( |\n|$)/ { print; exit }' \
      /etc/apt/sources.list.d/debian.sources 2>/dev/null) || true
    uri=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' <<<"$stanza")
    keyring=$(sed -n 's/^Signed-By: *//p' <<<"$stanza")
    [ -n "$uri" ] && [ -n "$keyring" ] ||
      setup_failed "adding bookworm-backports" \
        "no bookworm archive with a key in /etc/apt/sources.list.d/debian.sources" \
        "add a deb822 stanza for bookworm-backports to /etc/apt/sources.list.d yourself"
    printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nArchitectures: amd64\nSigned-By: %s\n' \
      "$uri" "$keyring" >"$VANTREL_APT_DIR/sources.list.d/vantrel-bookworm-backports.sources"
  fi
  VANTREL_APT=(as_root env DEBIAN_FRONTEND=noninteractive apt-get -q
    -o "Dir::Etc::SourceParts=$VANTREL_APT_DIR/sources.list.d"
    -o "Dir::Etc::PreferencesParts=$VANTREL_APT_DIR/preferences.d"
    -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= -o DPkg::Lock::Timeout=300)
}

apt_end() {
  [ -n "${VANTREL_APT_DIR:-}" ] || return 0
  rm -rf "$VANTREL_APT_DIR"
  VANTREL_APT_DIR=
  trap - EXIT INT TERM
  eval "$VANTREL_TRAPS"
}

# Packages that dpkg left unfinished (a killed install, say). The project's
# own are finished; anyone else's are named, and the set-up stops, since
# finishing them is their owner's decision.
refuse_unfinished_installs() {
  [ -n "$(dpkg --audit 2>/dev/null)" ] || return 0
  local unfinished ours=() others=() package
  unfinished=$(dpkg-query -W -f='${db:Status-Abbrev} ${binary:Package}\n' 2>/dev/null |
    awk '$1 !~ /^.[nic] *$/ { print $2 }')
  local project
  project=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances "${VANTREL_PACKAGES[@]}" qemu-user 2>/dev/null |
    grep -v '^ ' | sed 's/:amd64$//' | sort -u)
  for package in $unfinished; do
    if grep -qx "${package%:amd64}" <<<"$project"; then ours+=("$package"); else others+=("$package"); fi
  done
  [ ${#others[@]} -eq 0 ] ||
    setup_failed "checking dpkg's state" \
      "dpkg reports unfinished work on packages this project does not install: ${others[*]}" \
      "finish it with 'dpkg --configure -a' as root (or as their owner says), then run the set-up again"
  [ ${#ours[@]} -eq 0 ] && return 0
  setup_log "finishing what an earlier run left unfinished: ${ours[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive dpkg --configure "${ours[@]}" ||
    setup_failed "finishing ${ours[*]}" "dpkg --configure failed" \
      "run 'dpkg --configure -a' as root and mend what it reports, then run the set-up again"
}

# The package indexes that the apt-get of the array named $1 should have and
# has no list of, one "SITE SUITE COMPONENT ARCH" line each.
missing_package_lists() {
  local -n apt_command=$1
  local file site suite component arch
  "${apt_command[@]}" -o APT::Get::IndexTargets::ReleaseInfo=false indextargets \
    --format '$(FILENAME) $(SITE) $(RELEASE) $(COMPONENT) $(ARCHITECTURE)' 'Identifier: Packages' |
    while read -r file site suite component arch; do
      # Debian's Release files list no index of their own for "all".
      [ "$arch" = all ] && continue
      compgen -G "$file*" >/dev/null || echo "$site $suite $component $arch"
    done
}

# apt-get update (the apt-get of the array named $1; $2 says whose lists)
# until every index comes down, a few tries at most. Indexes that failed in
# the last try go to VANTREL_STALE_LISTS ("SUITE ARCH" lines), those missing
# altogether too.
update_package_lists() {
  local name=$1 lists=$2 try output updated failed
  local -n apt_command=$name
  VANTREL_STALE_LISTS=
  for try in $(seq 0 ${#VANTREL_APT_PAUSES[@]}); do
    [ "$try" -eq 0 ] || apt_pause "$try" "apt-get update of $lists" || break
    updated=yes failed=
    if ! output=$("${apt_command[@]}" update 2>&1); then
      updated=no
      # ".../dists/SUITE/COMPONENT/binary-ARCH/Packages.xz", or ".../dists/SUITE/InRelease".
      failed=$(sed -n -e 's|.*Failed to fetch .*/dists/\([^/ ]*\)/[^/ ]*/binary-\([^/ ]*\)/.*|\1 \2|p' \
        -e 's|.*Failed to fetch .*/dists/\([^/ ]*\)/[A-Za-z]*Release .*|\1 all|p' <<<"$output" | sort -u)
      setup_log "apt-get update of $lists failed; what did not come down:"
      grep -E '^(Err:|E:|W:)' <<<"$output" | sed 's/^/    /' >&2 || true
    fi
    VANTREL_STALE_LISTS=$(
      {
        [ -z "$failed" ] || echo "$failed"
        missing_package_lists "$name" | awk '{ print $2, $4 }'
      } | sort -u
    )
    [ "$updated" = no ] || [ -n "$VANTREL_STALE_LISTS" ] || return 0
    [ "$updated" = no ] || break # missing, and not for want of trying: nothing to wait for
  done
  [ -n "$VANTREL_STALE_LISTS" ] || return 0
  setup_log "going on without these package lists (suite and architecture):"
  sed 's/^/    /' <<<"$VANTREL_STALE_LISTS" >&2
}

# The suites of VANTREL_STALE_LISTS are left out of the 32-bit root's
# resolution for this run (a pin in the temporary configuration), so that its
# packages all come from lists of one moment. VANTREL_LEFT_OUT names them.
leave_out_incomplete_suites() {
  local suite arch
  VANTREL_LEFT_OUT=
  [ -n "${VANTREL_STALE_LISTS:-}" ] || return 0
  while read -r suite arch; do
    printf 'Package: *\nPin: release n=%s\nPin-Priority: -1\n\nPackage: *\nPin: release a=%s\nPin-Priority: -1\n\n' \
      "$suite" "$suite" >>"$VANTREL_APT_DIR/preferences.d/vantrel-incomplete.pref"
    VANTREL_LEFT_OUT="${VANTREL_LEFT_OUT:+$VANTREL_LEFT_OUT, }$suite"
  done < <(sort -u -k1,1 <<<"$VANTREL_STALE_LISTS")
  setup_log "the 32-bit root leaves out: $VANTREL_LEFT_OUT (its i386 list did not come down)"
}

# Waits before try $1 of step $2, unless the run's waiting is used up.
apt_pause() {
  local pause=${VANTREL_APT_PAUSES[$1 - 1]}
  [ "$pause" -le "$VANTREL_APT_WAIT_LEFT" ] || return 1
  VANTREL_APT_WAIT_LEFT=$((VANTREL_APT_WAIT_LEFT - pause))
  setup_log "retrying $2 in $pause s (the archive may be mid-sync)"
  sleep "$pause"
}

# apt-get install on the machine, tried again (with a fresh update) when a
# download fails; a problem with the packages themselves is not waited for.
apt_install() {
  local try output
  for try in $(seq 0 ${#VANTREL_APT_PAUSES[@]}); do
    if [ "$try" -gt 0 ]; then
      apt_pause "$try" "the install of $*" || break
      "${VANTREL_APT[@]}" update >/dev/null 2>&1 || true
    fi
    setup_log "installing$(printf ' %s' "$@" | sed -e 's/ -t [^ ]*//')"
    if output=$("${VANTREL_APT[@]}" install -y "$@" 2>&1); then
      return 0
    fi
    grep -E '^(E|W):|Depends:|Breaks:|Conflicts:' <<<"$output" | sed 's/^/    /' >&2 || true
    grep -qE 'Failed to fetch|Unable to fetch|Hash Sum mismatch|unexpected size' <<<"$output" || break
  done
  setup_failed "installing ${*: -1}" "apt-get install failed" \
    "wait a few minutes (the archive may be mid-sync) and run the set-up again"
}

# qemu's user-mode emulator runs the root's i386 programs: the kernel here
# runs no 32-bit Linux programs. Nothing of binfmt_misc survives a reboot.
register_qemu_i386() {
  local binfmt=/proc/sys/fs/binfmt_misc
  if [ ! -e "$binfmt/register" ]; then
    as_root mount -t binfmt_misc binfmt_misc "$binfmt" ||
      setup_failed "mounting binfmt_misc" "mount refused" \
        "the machine must allow binfmt_misc (a container needs it from its host)"
  fi
  if [ ! -e "$binfmt/qemu-i386" ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/libexec/qemu-binfmt/i386-binfmt-P:OPF' |
      as_root tee "$binfmt/register" >/dev/null ||
      setup_failed "registering qemu-i386 with binfmt_misc" "the kernel refused it" \
        "the machine must allow binfmt_misc registrations"
  fi
}
