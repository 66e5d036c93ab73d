# Where Debian's 64-bit Wine keeps its programs: the one place that names
# them (SETUP_WINE_DIR overrides it). Sourced by wine-run and wine-env.sh;
# everything else runs Windows programs through scripts/wine-run.
SETUP_WINE_DIR=${SETUP_WINE_DIR:-/usr/lib/wine}
SETUP_WINE=$SETUP_WINE_DIR/wine64
SETUP_WINESERVER=$SETUP_WINE_DIR/wineserver
