# Sourced by the scripts: `phase TEXT` prints one line as a phase begins, with the minutes and seconds
# since the script started, so that a long phase is not taken for a hang.
phase() {
  printf '%s [%02d:%02d] %s\n' "${0##*/}" $((SECONDS / 60)) $((SECONDS % 60)) "$*"
}
