#!/usr/bin/env bash
# Builds Veerline and lists the bundled default vehicle library.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/build/bin/veerline-cli" library list "$root/build/bin/DefaultVehicles.vdt"
