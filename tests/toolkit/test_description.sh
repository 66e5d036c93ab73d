# Sourced by the toolkit's script tests.

# A fresh WORK folder with a description in WORK/desc made from the sample
# without its splash picture, beside the three programs it names.
#   fresh_description SAMPLE SETUP_EXE COMPONENT INSTALLER WORK
fresh_description() {
  rm -rf "$5"
  mkdir -p "$5/desc"
  sed '/^splash = /d' "$1" >"$5/desc/medium.toml"
  cp "$2" "$5/desc/Setup.exe"
  cp "$3" "$5/desc/XceedZip.dll"
  cp "$4" "$5/desc/installer.exe"
}

# A path of this system as the Windows setupmedium under Wine names it.
winpath() { echo "Z:$1" | tr / '\\'; }
