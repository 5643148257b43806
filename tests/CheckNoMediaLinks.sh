#!/usr/bin/env bash
# The product's programs and libraries load the media libraries at run time and
# must not list them in their dynamic sections.
set -u
status=0
for file in "$@"; do
  [ -e "$file" ] || { echo "missing: $file"; status=1; continue; }
  if readelf -d "$file" | grep -E 'NEEDED.*lib(avcodec|avformat|avutil|swscale|swresample)'; then
    echo "$file links a media library"
    status=1
  fi
done
exit $status
