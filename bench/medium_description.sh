# Sourced by the medium benchmarks: sets root, setupmedium (the native
# build's) and work, a fresh folder removed at exit that holds a starter
# description in $work/desc without a splash picture.
#   source "$(dirname "$0")/medium_description.sh" NAME
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
setupmedium="$root/build/native/tools/setupmedium/setupmedium"
[ -x "$setupmedium" ] || { echo "$1: build the native tree first" >&2; exit 1; }
work=$(mktemp -d "/tmp/$1.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$setupmedium" init "$work/desc" >/dev/null
sed -i 's/^splash = .*//' "$work/desc/medium.toml"
