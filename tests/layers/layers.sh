#!/usr/bin/env bash
# The layers' arrows point down only, and Qt stays inside the platform layer: fails naming every
# include that breaks either rule.
cd "$1" || exit 1
bad=$(grep -nE '#include "(ui|pages|app|res)/' platform/*; grep -nE '#include "(pages|app|res)/' ui/*
      grep -n '#include "app/KestrovaConfigToolApp.h"' pages/*; grep -n '#include <Q' ui/* pages/*.cpp pages/*.h app/*
      grep -l '#include <Q' platform/*.h | grep -vE 'platform/(KeyFilter|QtBridge)\.h$')
[ -z "$bad" ] || { printf 'includes against the layers:\n%s\n' "$bad"; exit 1; }
