#!/usr/bin/env bash
# The layers' arrows point down only, and Qt stays inside the platform layer: fails naming every
# include that breaks either rule.
set -u
cd "$1"
bad=$(grep -nE '#include "(ui|pages|app|res)/' platform/* 2>/dev/null
      grep -nE '#include "(pages|app|res)/' ui/* 2>/dev/null
      grep -nE '#include "app/KestrovaConfigToolApp.h"' pages/* 2>/dev/null
      grep -nE '#include <Q' ui/* pages/*.cpp pages/*.h app/* 2>/dev/null
      grep -lE '#include <Q' platform/*.h | grep -vE 'platform/(KeyFilter|QtBridge)\.h$')
if [ -n "$bad" ]; then
    echo "includes against the layers:"
    echo "$bad"
    exit 1
fi
