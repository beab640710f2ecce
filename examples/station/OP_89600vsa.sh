#!/bin/sh
# Starts the stand-in for the signal-analysis software in this station directory.
# The station passes the folder of its own binary in VANTU_BIN_DIR.
sim="${VANTU_BIN_DIR:+$VANTU_BIN_DIR/}vantu-vsa-sim"
"$sim" </dev/null >/dev/null 2>&1 &
