# Sourced by run.sh and test.sh: installs the Debian packages named, when any is missing.
# Uses apt-get directly as root, through sudo otherwise.

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# What building the editor needs (dpkg-dev for Debian's hardening flags), and the fonts its windows
# draw with.
DPF_BUILD_PACKAGES=(g++ make cmake pkg-config dpkg-dev qt6-base-dev libgl-dev libtinyxml-dev libpng-dev fonts-dejavu-core)
# What the benchmarks build with besides.
DPF_BENCH_PACKAGES=(libfontconfig-dev libxcb1-dev)
