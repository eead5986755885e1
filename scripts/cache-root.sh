# Sourced by the scripts that keep slow-to-make things between builds: sets $root, the cache
# folder outside the clone. DAZOZI_CACHE_DIR overrides it; else /var/cache/dazozi-redov as root,
# ${XDG_CACHE_HOME:-~/.cache}/dazozi-redov for anyone else.
if [[ -n "${DAZOZI_CACHE_DIR:-}" ]]; then
  root=$DAZOZI_CACHE_DIR
elif [[ $(id -u) -eq 0 ]]; then
  root=/var/cache/dazozi-redov
else
  root=${XDG_CACHE_HOME:-$HOME/.cache}/dazozi-redov
fi
