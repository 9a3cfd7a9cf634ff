# Sourced by the report benchmarks, from the top of the checkout: builds the release tool
# (the C++ runtime linked in, as shipped) and makes a scratch folder removed on exit.
# Sets `tool` and `work`.
cmake --preset release >/dev/null
cmake --build --preset release --target tamso-avi-report >/dev/null
tool=$PWD/build/release/bin/tamso-avi-report
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
