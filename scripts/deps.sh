# Sourced by the build scripts: makes sure the Debian packages that a build
# needs are installed, installing them as root or naming them otherwise.

RUN_PACKAGES="cmake ninja-build g++ libncurses-dev"
TEST_PACKAGES="$RUN_PACKAGES libgtest-dev libgmock-dev libmpfr-dev libgmp-dev tmux clang libclang-rt-14-dev"

ensure_packages() {   # ensure_packages run|test
  local wanted missing=""
  if [ "$1" = test ]; then wanted=$TEST_PACKAGES; else wanted=$RUN_PACKAGES; fi
  for p in $wanted; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq --no-install-recommends $missing >/dev/null
  else
    echo "Missing Debian packages:$missing" >&2
    echo "Install them with: sudo apt-get install$missing" >&2
    exit 1
  fi
}
