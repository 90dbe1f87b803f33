#!/bin/sh
# Runs a test program as the ordinary user nobody, for what root, who may write everywhere,
# cannot show. Exits 77 (skipped) where that cannot be done.
if [ "$(id -u)" != 0 ]; then
    echo "already an ordinary user: the plain run covers this"
    exit 77
fi
as_nobody="setpriv --reuid=nobody --regid=nogroup --clear-groups"
if ! $as_nobody test -x "$1"; then
    echo "nobody cannot run $1 where the build lies"
    exit 77
fi
exec $as_nobody env HOME=/nonexistent XDG_RUNTIME_DIR= "$@"
