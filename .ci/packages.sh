# The Debian packages the build, the tests and the program need: the one list that .ci/run and ./run
# both install from. Sourced, not run.

packages=(cmake ninja-build g++ ccache pkg-config
          qt6-base-dev qt6-serialport-dev
          firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils firebird3.0-server
          libzip-dev libgtest-dev libbenchmark-dev xvfb xauth libreoffice-writer-nogui
          python3-openpyxl libreoffice-calc-nogui)

# Installs the packages of the list that are missing (through sudo unless run as root).
install_missing_packages() {
    local sudo=() missing=() p
    [ "$(id -u)" = 0 ] || sudo=(sudo)
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        "${sudo[@]}" apt-get update
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}
