# Shared set-up of scripts/run and scripts/test: Debian packages, configure, build.
# Sourced, not run: defines velmora_setup BUILD_DIR [cmake options...].

velmora_packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  python3 python3-ezdxf
  xvfb xauth fonts-noto-cjk
  clang libclang-rt-14-dev
)

velmora_install_packages() {
  local missing=()
  for p in "${velmora_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install ${missing[*]}" >&2
    return 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

velmora_setup() {
  local build_dir=$1
  shift
  velmora_install_packages || return 1
  cmake -S "$velmora_root" -B "$build_dir" -G Ninja "$@" >/dev/null || return 1
  cmake --build "$build_dir" -j "$(nproc)" || return 1
}
