# Installs the Debian packages that the build and the tests need, and 32-bit
# Wine with what runs it. Sourced by setup.sh; do not run it.
#
# Every step looks at what the machine has, not at what an earlier run did,
# so a run after a failed or killed one carries on from where the machine is.
# The archive can be mid-sync at any time: apt-get is retried, and an index
# that still does not come down is left out of this run's installs.

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

# Installs what is missing (needs root, or sudo), then makes sure that 32-bit
# Wine runs.
install_packages() {
  local missing=() package
  for package in "${VANTREL_PACKAGES[@]}" wine32:i386; do
    package_installed "$package" || missing+=("$package")
  done
  local qemu_version
  qemu_version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null) || true
  if [ ${#missing[@]} -ne 0 ] || [[ "$qemu_version" != *'~bpo'* ]] ||
    ! dpkg --print-foreign-architectures | grep -qx i386 || [ -n "$(dpkg --audit 2>/dev/null)" ]; then
    apt_begin
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      as_root dpkg --add-architecture i386 ||
        setup_failed "adding the i386 architecture" "dpkg --add-architecture i386 failed" \
          "run it yourself as root, then run the set-up again"
    fi
    finish_interrupted_installs
    update_package_lists
    leave_out_incomplete_suites
    local amd64=()
    for package in "${missing[@]}"; do
      [ "$package" = wine32:i386 ] || amd64+=("$package")
    done
    [ ${#amd64[@]} -eq 0 ] || apt_install "${amd64[@]}"
    [[ "$qemu_version" == *'~bpo'* ]] || apt_install -t bookworm-backports qemu-user
    # wine32 after the rest, when its amd64 twins are in place at the
    # versions that this run's package lists hold for both architectures.
    if ! package_installed wine32:i386; then
      local twins
      twins=$(amd64_twins_to_align wine32:i386)
      # shellcheck disable=SC2086 # one PACKAGE=VERSION a word
      apt_install ${twins:+--allow-downgrades $twins} wine32:i386
    fi
    apt_end
  fi
  register_qemu_i386
  /usr/lib/wine/wine --version >/dev/null 2>&1 ||
    setup_failed "running /usr/lib/wine/wine (32-bit Wine under qemu-i386)" \
      "it did not start" "check that /proc/sys/fs/binfmt_misc/qemu-i386 is enabled"
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

# This run's apt configuration: the machine's own sources and preferences,
# plus bookworm-backports (qemu-user; bookworm's own qemu takes a minute to
# start Wine) and the pins of leave_out_incomplete_suites, in a folder of its
# own. The machine's apt configuration is never edited.
apt_begin() {
  VANTREL_APT_DIR=$(mktemp -d /tmp/vantrel-apt.XXXXXX)
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
  VANTREL_APT=(apt-get -q -o "Dir::Etc::SourceParts=$VANTREL_APT_DIR/sources.list.d"
    -o "Dir::Etc::PreferencesParts=$VANTREL_APT_DIR/preferences.d"
    -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= -o DPkg::Lock::Timeout=300)
}

apt_end() {
  [ -z "${VANTREL_APT_DIR:-}" ] || rm -rf "$VANTREL_APT_DIR"
  VANTREL_APT_DIR=
}

# Packages that a killed or failed run left unpacked or half-configured.
finish_interrupted_installs() {
  [ -n "$(dpkg --audit 2>/dev/null)" ] || return 0
  setup_log "dpkg reports packages an earlier run left unfinished; finishing them"
  as_root env DEBIAN_FRONTEND=noninteractive dpkg --configure -a ||
    setup_failed "finishing the packages an earlier run left" "dpkg --configure -a failed" \
      "run 'dpkg --configure -a' as root and mend what it reports, then run the set-up again"
}

# The package indexes this run's sources name that have no list on the
# machine, one "SITE SUITE COMPONENT ARCH" line each.
missing_package_lists() {
  local file site suite component arch
  "${VANTREL_APT[@]}" -o APT::Get::IndexTargets::ReleaseInfo=false indextargets \
    --format '$(FILENAME) $(SITE) $(RELEASE) $(COMPONENT) $(ARCHITECTURE)' 'Identifier: Packages' |
    while read -r file site suite component arch; do
      # Debian's Release files list no index of their own for "all".
      [ "$arch" = all ] && continue
      compgen -G "$file*" >/dev/null || echo "$site $suite $component $arch"
    done
}

# apt-get update until every index comes down, a few tries at most. Indexes
# that failed in the last try go to VANTREL_STALE_LISTS ("SUITE ARCH" lines),
# those missing altogether too: leave_out_incomplete_suites acts on them.
update_package_lists() {
  local try output updated failed
  for try in $(seq 0 ${#VANTREL_APT_PAUSES[@]}); do
    [ "$try" -eq 0 ] || apt_pause "$try" "apt-get update" || break
    updated=yes failed=
    if ! output=$(as_root "${VANTREL_APT[@]}" update 2>&1); then
      updated=no
      # ".../dists/SUITE/COMPONENT/binary-ARCH/Packages.xz", or ".../dists/SUITE/InRelease".
      failed=$(sed -n -e 's|.*Failed to fetch .*/dists/\([^/ ]*\)/[^/ ]*/binary-\([^/ ]*\)/.*|\1 \2|p' \
        -e 's|.*Failed to fetch .*/dists/\([^/ ]*\)/[A-Za-z]*Release .*|\1 all|p' <<<"$output" | sort -u)
      setup_log "apt-get update failed; what did not come down:"
      grep -E '^(Err:|E:|W:)' <<<"$output" | sed 's/^/    /' >&2 || true
    fi
    VANTREL_STALE_LISTS=$(
      {
        [ -z "$failed" ] || echo "$failed"
        missing_package_lists | awk '{ print $2, $4 }'
      } | sort -u
    )
    [ "$updated" = no ] || [ -n "$VANTREL_STALE_LISTS" ] || return 0
    [ "$updated" = no ] || break # missing, and not for want of trying: nothing to wait for
  done
  if [ -n "$VANTREL_STALE_LISTS" ]; then
    setup_log "going on without these package lists (suite and architecture):"
    sed 's/^/    /' <<<"$VANTREL_STALE_LISTS" >&2
  else
    setup_log "going on with the package lists the machine has"
  fi
}

# A suite with a list missing or out of date for one architecture is left out
# of this run's installs for all of them (a temporary pin), so that the amd64
# and i386 builds of a library, which must be of one version, both come from
# lists of one moment.
leave_out_incomplete_suites() {
  local suite arch
  [ -n "${VANTREL_STALE_LISTS:-}" ] || return 0
  while read -r suite arch; do
    printf 'Package: *\nPin: release n=%s\nPin-Priority: -1\n\nPackage: *\nPin: release a=%s\nPin-Priority: -1\n\n' \
      "$suite" "$suite" >>"$VANTREL_APT_DIR/preferences.d/vantrel-incomplete.pref"
    VANTREL_LEFT_OUT="${VANTREL_LEFT_OUT:+$VANTREL_LEFT_OUT, }$suite ($arch)"
  done < <(sort -u -k1,1 <<<"$VANTREL_STALE_LISTS")
  setup_log "this run installs nothing from: $VANTREL_LEFT_OUT"
}

# Waits before try $1 of step $2, unless the run's waiting is used up.
apt_pause() {
  local pause=${VANTREL_APT_PAUSES[$1 - 1]}
  [ "$pause" -le "$VANTREL_APT_WAIT_LEFT" ] || return 1
  VANTREL_APT_WAIT_LEFT=$((VANTREL_APT_WAIT_LEFT - pause))
  setup_log "retrying $2 in $pause s (the archive may be mid-sync)"
  sleep "$pause"
}

# The amd64 and i386 builds of a library must be of one version. When a suite
# was left out, an amd64 library that this machine has at a version only that
# suite holds is brought to the version that the i386 build has in the lists
# there are: "PACKAGE:amd64=VERSION" for each that $1 needs, logged.
amd64_twins_to_align() {
  [ -n "${VANTREL_LEFT_OUT:-}" ] || return 0
  local cache=("${VANTREL_APT[@]}")
  cache[0]=apt-cache
  local needed
  needed=$("${cache[@]}" depends --recurse --no-recommends --no-suggests --no-conflicts \
    --no-breaks --no-replaces --no-enhances "$1" | sed -n 's/^\([^ <][^ ]*\):i386$/\1/p' | sort -u)
  [ -n "$needed" ] || return 0
  local package installed multiarch candidate
  # shellcheck disable=SC2086
  while read -r package candidate; do
    read -r installed multiarch < <(dpkg-query -W -f='${Version} ${Multi-Arch} ${Status}\n' \
      "$package:amd64" 2>/dev/null | awk '$NF == "installed" { print $1, $2 }') || continue
    [ "$multiarch" = same ] && [ "$candidate" != "(none)" ] || continue
    dpkg --compare-versions "$candidate" lt "$installed" || continue
    setup_log "$package:amd64 goes back from $installed to $candidate, the version its i386 build has without $VANTREL_LEFT_OUT ('apt-get upgrade' brings both up later)"
    echo "$package:amd64=$candidate"
  done < <("${cache[@]}" policy $(sed 's/$/:i386/' <<<"$needed") |
    awk '/^[^ ].*:$/ { sub(":i386:$", ""); name = $0 } /^  Candidate:/ { print name, $2 }')
}

# apt-get install, tried again (with a fresh update) when a download fails;
# a problem with the packages themselves is not waited for.
apt_install() {
  local try output
  for try in $(seq 0 ${#VANTREL_APT_PAUSES[@]}); do
    if [ "$try" -gt 0 ]; then
      apt_pause "$try" "the install of $*" || break
      as_root "${VANTREL_APT[@]}" update >/dev/null 2>&1 || true
    fi
    setup_log "installing$(printf ' %s' "$@" | sed -e 's/ -t [^ ]*//' -e 's/ --*[a-z-]*//g')"
    if output=$(as_root env DEBIAN_FRONTEND=noninteractive "${VANTREL_APT[@]}" install -y \
      --fix-broken "$@" 2>&1); then
      return 0
    fi
    grep -E '^(E|W):|Depends:|Breaks:|Conflicts:' <<<"$output" | sed 's/^/    /' >&2 || true
    grep -qE 'Failed to fetch|Unable to fetch|Hash Sum mismatch|unexpected size' <<<"$output" || break
  done
  local advice="wait a few minutes (the archive may be mid-sync) and run the set-up again"
  [ -z "${VANTREL_LEFT_OUT:-}" ] ||
    advice="the package lists of $VANTREL_LEFT_OUT did not come down; $advice, or mend it now with 'apt-get update' and 'apt-get install $*' once they do"
  setup_failed "installing ${*: -1}" "apt-get install failed" "$advice"
}

# qemu's user-mode emulator runs Wine's i386 loader: the kernel here runs no
# 32-bit Linux programs. Nothing of binfmt_misc survives a reboot.
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
