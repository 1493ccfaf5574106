#!/bin/sh
# check_types.sh DIST_FOLDER
#
# The desktop entry, the thumbnailer entry and the AppStream metadata name exactly the types
# the shared-mime-info package defines, and every type has its icon or a generic icon.
set -eu
dist=$1
app=com.dravlab.Zevo3

defined=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$dist/$app.xml" | sort)
[ -n "$defined" ] || { echo "FAIL no type defined in $app.xml"; exit 1; }
key_types() { sed -n 's/^MimeType=//p' "$1" | tr ';' '\n' | sed '/^$/d' | sort; }

failures=0
same() { # WHAT LIST
  if [ "$2" = "$defined" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1 names: $(echo "$2" | tr '\n' ' ')but the package defines: $(echo "$defined" | tr '\n' ' ')"
    failures=$((failures + 1))
  fi
}
same "$app.desktop" "$(key_types "$dist/$app.desktop")"
same zevo3.thumbnailer "$(key_types "$dist/zevo3.thumbnailer")"
same "$app.metainfo.xml" "$(sed -n 's/.*<mediatype>\([^<]*\)<\/mediatype>.*/\1/p' "$dist/$app.metainfo.xml" | sort)"

# Each type: its own icon drawn here, or a generic icon of the theme.
for type in $defined; do
  icon=$(echo "$type" | tr / -)
  if [ -f "$dist/icons/$icon.svg" ]; then
    echo "ok   $type: icon $icon"
  elif awk -v t="$type" '$0 ~ "<mime-type type=\"" t "\"" { on = 1 } on && /<generic-icon / { found = 1 }
                         on && /<\/mime-type>/ { on = 0 } END { exit !found }' "$dist/$app.xml"; then
    echo "ok   $type: generic icon"
  else
    echo "FAIL $type: no icon"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ]
