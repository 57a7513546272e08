#!/bin/sh
# Starts Velarim from its program directory, where it finds its help file and updates
# link beside it (and keeps its settings file, where that folder may be written).
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/velarim/Velarim" "$@"
