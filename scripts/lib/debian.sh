# Shared by the set-up scripts: Debian packages, and libraries built for
# another target from Debian's own source packages. Sourced, not run.
#
# A script that builds libraries sets prefix (where they install) and
# toolchain (its CMake toolchain file), writes a build_<name> function per
# library (run in the unpacked source; cmake_library covers CMake projects),
# registers each with `library NAME SOURCE-PACKAGE[=VERSION] INSTALLED-FILE`
# in build order (simdjson_library does both for simdjson), and calls
# build_libraries. A library whose INSTALLED-FILE exists under the prefix is
# not built again.

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
# The test stages set up two at a time; their apt-get calls take turns on
# one lock of ours, since apt-get update gives up at once where another
# holds the package lists. Another program's apt-get may hold dpkg's lock
# for a while.
apt_get() {
  flock -w 900 "${TMPDIR:-/tmp}/dravik-apt.lock" $SUDO apt-get -o DPkg::Lock::Timeout=600 "$@"
}

apt_updated=no

# install_missing PACKAGE...: installs those of the packages not installed.
install_missing() {
  local p missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  apt_get update -qq
  apt_updated=yes
  apt_get install -y -qq --no-install-recommends "${missing[@]}"
}

# apt-get source needs a deb-src entry for the archive the machine already
# uses; it is added once, next to the existing sources.
ensure_deb_src() {
  local src_list=/etc/apt/sources.list.d/dravik-deb-src.sources tmp f
  if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "Adding deb-src entries to $src_list"
    tmp=$(mktemp)
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -e "$f" ] || continue
      case "$f" in *dravik-deb-src*) continue ;; esac
      # Only the Debian archive's own stanzas (deb.debian.org and its mirrors).
      awk 'BEGIN{RS=""; ORS="\n\n"} /URIs:[^\n]*debian/ && /Types:[^\n]*deb/ {
             sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >>"$tmp"
    done
    if [ -f /etc/apt/sources.list ]; then
      grep -E '^deb +' /etc/apt/sources.list | sed 's/^deb /deb-src /' >"${tmp}.list" || true
      if [ -s "${tmp}.list" ]; then
        $SUDO cp "${tmp}.list" /etc/apt/sources.list.d/dravik-deb-src.list
      fi
      rm -f "${tmp}.list"
    fi
    if [ -s "$tmp" ]; then $SUDO cp "$tmp" "$src_list"; fi
    rm -f "$tmp"
    apt_updated=no
  fi
  if [ "$apt_updated" = no ]; then
    apt_get update -qq
    apt_updated=yes
  fi
}

# fetch_source PACKAGE[=VERSION] FOLDER: downloads and unpacks the source
# package into FOLDER/unpacked. Without a version the newest listed one that
# downloads is taken (the security suite's newest .dsc may not be fetchable).
fetch_source() {
  local spec=$1 dest=$2 package=${1%%=*} versions v
  if [ "$spec" != "$package" ]; then
    versions=${spec#*=}
  else
    versions=$(apt-cache showsrc "$package" | awk '/^Version:/{print $2}' | sort -r -V | uniq)
  fi
  for v in $versions; do
    if (cd "$dest" && apt-get source -qq --download-only "$package=$v" >/dev/null 2>&1); then
      echo "$package source $v"
      (cd "$dest" && dpkg-source -x --no-check ./*.dsc unpacked >/dev/null)
      return 0
    fi
  done
  echo "could not fetch the $package source package" >&2
  return 1
}

# Configures, builds and installs the CMake project in the current folder
# with the toolchain, searching the prefix for what it needs.
cmake_library() {
  cmake -S . -B target-build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_FIND_ROOT_PATH="$prefix" "$@" >/dev/null
  cmake --build target-build -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
  cmake --install target-build >/dev/null
}

source_libraries=()
library() { source_libraries+=("$1 $2 $3"); }

# simdjson_library [CMAKE-ARG...]: registers simdjson, static, at the version
# of the host's libsimdjson-dev, so every build parses alike; the arguments
# join its configure line.
simdjson_options=()
build_simdjson() {
  cmake_library -DSIMDJSON_DEVELOPER_MODE=OFF -DBUILD_SHARED_LIBS=OFF "${simdjson_options[@]}"
}
simdjson_library() {
  simdjson_options=("$@")
  library simdjson simdjson=3.0.1-1 lib/libsimdjson.a
}

# Builds every registered library that is not installed under the prefix yet.
build_libraries() {
  local entry name spec installed work todo=()
  for entry in "${source_libraries[@]}"; do
    read -r name _ installed <<<"$entry"
    [ -f "$prefix/$installed" ] || todo+=("$entry")
  done
  [ ${#todo[@]} -eq 0 ] && return 0
  ensure_deb_src
  for entry in "${todo[@]}"; do
    read -r name spec _ <<<"$entry"
    work="$prefix.src/$name"
    rm -rf "$work"
    mkdir -p "$work"
    fetch_source "$spec" "$work"
    (cd "$work/unpacked" && "build_$name")
    rm -rf "$work"
    echo "$name installed in $prefix"
  done
  rmdir "$prefix.src" 2>/dev/null || true
}
