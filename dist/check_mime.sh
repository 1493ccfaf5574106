#!/bin/sh
# check_mime.sh PACKAGE.xml SAMPLE...
#
# Installs the shared-mime-info package into a mime database of its own and checks the types
# that database gives to copies of each sample stroke file:
#   NAME.stk                -> application/x-zevo3-stroke   (by name)
#   NAME.smp                -> application/x-zevo3-model    (by name, whatever the content)
#   NAME (no extension)     -> application/x-zevo3-stroke   when the file begins with "zvRD",
#                              "Zvrn", "Zvr2" or "Zvr3"; any other type otherwise
# The type is asked of gio, of mimetype (File::MimeInfo) or of xdg-mime, the first one found;
# all of them read the database under XDG_DATA_HOME without a desktop session.
set -eu

if [ "$#" -lt 2 ]; then
  echo "usage: $0 PACKAGE.xml SAMPLE..." >&2
  exit 2
fi
package=$1
shift

for tool in update-mime-database; do
  command -v "$tool" >/dev/null || { echo "$0: $tool not found" >&2; exit 2; }
done
if command -v gio >/dev/null; then
  query() { gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'; }
elif command -v mimetype >/dev/null; then
  query() { mimetype --brief "$1"; }
elif command -v xdg-mime >/dev/null; then
  query() { xdg-mime query filetype "$1"; }
else
  echo "$0: none of gio, mimetype, xdg-mime found" >&2
  exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data/mime/packages" "$work/files"
cp "$package" "$work/data/mime/packages/"
XDG_DATA_HOME="$work/data"
export XDG_DATA_HOME
update-mime-database "$work/data/mime"
# The checks use our database on top of the system one, and nothing the user installed.
XDG_DATA_DIRS=${XDG_DATA_DIRS:-/usr/local/share:/usr/share}
export XDG_DATA_DIRS

failures=0
expect() { # FILE TYPE (a leading ! : any type but TYPE)
  got=$(query "$1")
  case $2 in
    !*) [ "$got" != "${2#!}" ] && ok=1 || ok=0 ;;
    *) [ "$got" = "$2" ] && ok=1 || ok=0 ;;
  esac
  if [ "$ok" = 1 ]; then
    echo "ok   $(basename "$1"): $got"
  else
    echo "FAIL $(basename "$1"): $got, expected $2"
    failures=$((failures + 1))
  fi
}

n=0
for sample in "$@"; do
  n=$((n + 1))
  base="$work/files/sample$n"
  cp "$sample" "$base.stk"
  cp "$sample" "$base.smp"
  cp "$sample" "$base"
  expect "$base.stk" application/x-zevo3-stroke
  expect "$base.smp" application/x-zevo3-model
  case $(head -c 4 "$sample") in
    zvRD | Zvrn | Zvr2 | Zvr3) expect "$base" application/x-zevo3-stroke ;;
    *) expect "$base" '!application/x-zevo3-stroke' ;;
  esac
done

if [ "$failures" -ne 0 ]; then
  echo "$failures of $((n * 3)) checks failed"
  exit 1
fi
echo "all $((n * 3)) checks passed"
