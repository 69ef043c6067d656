#!/usr/bin/env bash
# The programs start without the libraries few runs need: netCDF-C (with HDF5, curl and TLS behind
# it) and libsndfile are opened when a file of their kind is first loaded, and the renderer opens
# Qt Gui (with X, fonts and image codecs behind it) with its picture part, on a run's first
# picture. A direct link to any of them would cost every start again.
# Usage: start_libraries_test.sh VIEWER RENDERER
set -euo pipefail
status=0
check() {  # program, pattern of the libraries it must not need at start
  local needed
  needed=$(readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  if grep -E "$2" <<<"$needed" >&2; then
    echo "FAIL: $1 needs the libraries above at start" >&2
    status=1
  fi
}
check "$1" '^lib(netcdf|sndfile|hdf5)'
check "$2" '^lib(netcdf|sndfile|hdf5|Qt6Gui|Qt6Widgets)'
exit $status
