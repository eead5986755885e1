#!/usr/bin/env bash
# Fetches Debian source packages of given upstream versions and unpacks them (Debian's patches
# applied), through an apt state of its own: a deb-src list derived from the machine's Debian
# sources, with lists and caches in a private folder, so the machine's apt set-up stays as it is.
# Of each package the newest Debian revision of that upstream version the mirror serves is
# taken (security updates patch the same upstream release).
#
# Usage: scripts/debian-source.sh [--dest DIR] NAME=VERSION...
#   Without --dest, each source tree is kept in the cache (one folder per package and upstream
#   version, fetched once, later calls only print it).
#   With --dest, the trees are unpacked into DIR (made if missing) and not cached.
#   Prints each tree's folder on a line of its own, in the order asked; progress goes to stderr.
#   VERSION is upstream's, with the epoch if Debian has one (zlib=1:1.2.13), or an exact Debian
#   version with its revision (zlib=1:1.2.13.dfsg-1), which is then the only one taken.
# Environment: DAZOZI_CACHE_DIR overrides the cache root
#   (default /var/cache/dazozi-redov as root, else ${XDG_CACHE_HOME:-~/.cache}/dazozi-redov).
set -euo pipefail

dest=""
if [[ "${1:-}" == "--dest" ]]; then
  dest=${2:?"--dest needs a folder"}
  shift 2
fi
[[ $# -gt 0 ]] || { echo "usage: debian-source.sh [--dest DIR] NAME=VERSION..." >&2; exit 2; }
for spec in "$@"; do
  [[ $spec == ?*=?* ]] || { echo "debian-source.sh: '$spec' is not NAME=VERSION" >&2; exit 2; }
done

source "$(dirname "${BASH_SOURCE[0]}")/cache-root.sh"
# The cached tree of NAME=VERSION (the epoch is no part of a folder name).
cached_dir() { local name=${1%%=*} version=${1#*=}; echo "$root/source-$name-${version#*:}"; }

# Everything cached already: only the folders, without a lock or a network.
if [[ -z $dest ]]; then
  all=1
  for spec in "$@"; do [[ -f $(cached_dir "$spec")/.complete ]] || all=0; done
  if [[ $all -eq 1 ]]; then
    for spec in "$@"; do cached_dir "$spec"; done
    exit 0
  fi
fi

exec 3>&1 1>&2
step() { echo "[debian-source] $(date -u +%H:%M:%S) $*"; }
for tool in apt-get dpkg-source xz; do
  command -v "$tool" >/dev/null || {
    echo "debian-source.sh: $tool is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
  }
done
mkdir -p "$root"
if [[ -z $dest ]]; then
  # One fetch at a time into the cache: the second caller waits, then finds the trees there.
  exec 9>"$root/.source-lock"
  flock 9
fi
work=$(mktemp -d "$root/.source-work.XXXXXX")
trap 'rm -rf "$work"' EXIT

apt_dir=$work/apt
mkdir -p "$apt_dir/sources.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
sources_out=$apt_dir/sources.d/debian-src.sources
: >"$sources_out"
for f in /etc/apt/sources.list.d/*.sources; do
  [[ -f $f ]] || continue
  if grep -qE '^URIs:.*debian' "$f"; then
    sed -E 's/^Types:.*/Types: deb-src/' "$f" >>"$sources_out"
    echo >>"$sources_out"
  fi
done
if [[ -f /etc/apt/sources.list ]]; then
  grep -E '^deb[[:space:]].*debian' /etc/apt/sources.list | sed -E 's/^deb[[:space:]]/deb-src /' \
    >"$apt_dir/sources.d/debian-src.list" || true
fi
if [[ ! -s $sources_out && ! -s $apt_dir/sources.d/debian-src.list ]]; then
  echo "debian-source.sh: no Debian sources found in /etc/apt to derive a deb-src list from" >&2
  exit 1
fi
apt_opts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt_dir/sources.d"
  -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
  -o "Debug::NoLocking=1" -o "APT::Sandbox::User=root")
step "fetching the source package lists"
apt-get "${apt_opts[@]}" update -qq

out=()
for spec in "$@"; do
  name=${spec%%=*}
  upstream=${spec#*=}
  if [[ -z $dest && -f $(cached_dir "$spec")/.complete ]]; then
    out+=("$(cached_dir "$spec")")
    continue
  fi
  fetch=$work/fetch-$name
  mkdir -p "$fetch"
  fetched=""
  for v in $(apt-cache "${apt_opts[@]}" showsrc "$name" | sed -n 's/^Version: //p' | sort -ruV); do
    [[ $v == "$upstream" || $v == "$upstream"[.+-]* ]] || continue
    step "fetching $name $v"
    if (cd "$fetch" && apt-get "${apt_opts[@]}" source -qq --download-only "$name=$v" 2>/dev/null); then
      fetched=$v
      break
    fi
    step "  not served; trying an older revision"
  done
  [[ -n $fetched ]] || { echo "debian-source.sh: no source of $name $upstream could be fetched" >&2; exit 1; }
  step "unpacking $name $fetched"
  (cd "$fetch" && dpkg-source --no-check -x ./*.dsc tree >/dev/null)
  echo "$name $fetched" >"$fetch/tree/.debian-version"
  if [[ -n $dest ]]; then
    mkdir -p "$dest"
    # The folder name dpkg-source would give: NAME-UPSTREAM without the epoch.
    target=$dest/$name-$(sed -E 's/^[0-9]+://; s/-[^-]*$//' <<<"$fetched")
    rm -rf "$target"
    mv "$fetch/tree" "$target"
  else
    target=$(cached_dir "$spec")
    rm -rf "$target"
    touch "$fetch/tree/.complete"
    mv "$fetch/tree" "$target"
  fi
  rm -rf "$fetch"
  out+=("$target")
done
printf '%s\n' "${out[@]}" >&3
