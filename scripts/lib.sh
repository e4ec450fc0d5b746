# Shared by the scripts: install the build's Debian packages when missing.
# qt6-tools-dev and qt6-l10n-tools: lupdate and lrelease, for the catalogues;
# zlib1g-dev: gzipped SPS files are read through zlib.
SPS_PACKAGES=(qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools cmake ninja-build g++ libgl-dev
    zlib1g-dev)

sps_install_deps() {
    local missing=()
    for p in "${SPS_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
