#!/bin/sh
# Makes (or removes) a game folder that the Windows tests under Wine may not write in, as a
# folder under Program Files is for a user. Wine runs as this user, and root writes through
# plain permissions, so the folder is made immutable where the user may do that.
#   unwritable-folder.sh make|remove FOLDER
set -eu
folder=$2
release() {
    [ -e "$folder" ] || return 0
    chattr -i "$folder" 2>/dev/null || true
    chmod -R u+w "$folder"
    rm -rf "$folder"
}
case $1 in
make)
    release
    mkdir -p "$folder"
    printf "the game's own archive" >"$folder/patch_vx.zpk"
    chattr +i "$folder" 2>/dev/null || chmod a-w "$folder"
    ;;
remove) release ;;
*) echo "usage: $0 make|remove FOLDER" >&2; exit 2 ;;
esac
