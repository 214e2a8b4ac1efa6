#!/bin/sh
# Runs a cross-built Windows program under Wine, quietly, passing its exit code.
# WINEPREFIX comes from the caller (tests make one per run); without it Wine's default is used.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
