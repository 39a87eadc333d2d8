# Shared set-up of scripts/run, scripts/test and scripts/fuzz: Debian packages, configure, build.
# Sourced, not run: defines velmora_install_packages [--tests] and velmora_setup BUILD_DIR [cmake options...].

# What the programs need to build and run.
velmora_program_packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  fonts-noto-cjk
)
# What the tests, benchmarks and fuzz targets need besides.
velmora_test_packages=(
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  python3 python3-ezdxf
  linuxcnc-uspace
  xvfb xauth
  clang libclang-rt-14-dev
)

velmora_say() { echo "velmora: $*" >&2; }

# Installs the missing packages of the programs, and with --tests those of the tests too.
velmora_install_packages() {
  local wanted=("${velmora_program_packages[@]}")
  [ "${1:-}" = "--tests" ] && wanted+=("${velmora_test_packages[@]}")
  local missing=()
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    velmora_say "missing Debian packages: ${missing[*]}"
    velmora_say "install them with: sudo apt-get install ${missing[*]}"
    return 1
  fi
  velmora_say "installing ${#missing[@]} Debian packages: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures BUILD_DIR with the given options and builds every target.
velmora_setup() {
  local build_dir=$1
  shift
  velmora_install_packages --tests || return 1
  velmora_configure "$build_dir" -DVELMORA_BUILD_TESTS=ON "$@" || return 1
  velmora_say "building everything in ${build_dir#"$velmora_root"/}"
  cmake --build "$build_dir" -j "$(nproc)" || return 1
}

velmora_configure() {
  local build_dir=$1
  shift
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  velmora_say "configuring ${build_dir#"$velmora_root"/}"
  cmake -S "$velmora_root" -B "$build_dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
}
