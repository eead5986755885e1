# Sourced by package.sh and the package's reproducibility test: the time every file in the
# package is dated, so that two builds of one commit give the same bytes. The last commit's date;
# a date the caller set is kept; outside a git checkout, nothing is set.
if [[ -z "${SOURCE_DATE_EPOCH:-}" ]]; then
  if epoch=$(git -C "$(dirname "${BASH_SOURCE[0]}")" log -1 --format=%ct 2>/dev/null) && [[ -n "$epoch" ]]; then
    export SOURCE_DATE_EPOCH=$epoch
  fi
  unset epoch
fi
