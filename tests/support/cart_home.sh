# Sourced by the cartridge-run scripts: a fresh HOME in $work (removed at
# exit) with no display and a silent audio driver, its root folder $root,
# and settings whose frame-rate changes follow budget overruns only, not the
# host's speed.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
HOME=$work
export HOME SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY
root=$HOME/.hearthware/orbo
mkdir -p "$root"
printf 'host_framerate_control 0\n' > "$root/config.txt"
