#!/usr/bin/env bash
# The layers' arrows point down only, and Qt stays inside the platform layer: fails naming every
# include that breaks either rule. Each folder, and the folders of ours it may not include:
#   platform/   nothing of ours
#   ui/, documents/   platform/ only (they stand beside each other)
#   pages/, res/   platform/, ui/, documents/ and each other, never app/
cd "$1" || exit 1
against() { grep -nE "#include \"($2)/" $1 2>/dev/null; }
bad=$(against "platform/*" "ui|documents|pages|app|res"
      against "ui/*" "documents|pages|app|res"
      against "documents/*" "ui|pages|app|res"
      against "pages/* res/*" "app"
      grep -n '#include <Q' ui/* documents/* pages/*.cpp pages/*.h app/*
      grep -l '#include <Q' platform/*.h | grep -vE 'platform/(KeyFilter|QtBridge)\.h$')
[ -z "$bad" ] || { printf 'includes against the layers:\n%s\n' "$bad"; exit 1; }
