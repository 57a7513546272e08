#!/bin/sh
# Starts Velarim in its program directory, where it keeps its settings file and finds
# its help file and updates link beside it.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/velarim/Velarim" "$@"
