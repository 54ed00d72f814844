#!/usr/bin/env bash
# Builds the Debian package from a finished build, checks its files and metadata, unpacks it
# into a scratch root and runs the unpacked sekato-cli.
#   package_test.sh BUILD_DIR VERSION SAMPLE_NOVEL
set -uo pipefail
build=$1 version=$2 novel=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

[[ -f $novel ]] || fail "the sample novel $novel is missing; it comes with the repository (samples/)"
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (bash scripts/deps.sh installs it)"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/sekato-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
deb=$work/sekato_${version}_amd64.deb
[[ -f $deb ]] || { ls "$work" >&2; fail "cpack did not write $(basename "$deb")"; }

# The files: exactly the two programs in /usr/bin, and what the desktop needs.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's#^\./#/#' | grep -v '/$' | sort >"$work/files"
expected=(
  /usr/bin/sekato
  /usr/bin/sekato-cli
  /usr/share/applications/sekato.desktop
  /usr/share/bash-completion/completions/sekato-cli
  /usr/share/icons/hicolor/128x128/apps/sekato.png
  /usr/share/icons/hicolor/48x48/apps/sekato.png
  /usr/share/man/man1/sekato-cli.1.gz
  /usr/share/man/man1/sekato.1.gz
  /usr/share/metainfo/org.example.sekato.metainfo.xml
  /usr/share/pixmaps/sekato.png
)
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
diff -u "$work/expected" "$work/files" || fail "the package's files differ from the list above"

# The metadata.
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == sekato ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || fail "Version is '$(field Version)', not $version"
[[ $(field Architecture) == amd64 ]] || fail "Architecture is '$(field Architecture)'"
depends=$(field Depends)
for dep in libc6 libstdc++6 libqt6widgets6 libqt6core6 qt6-translations-l10n qt6-qpa-plugins; do
  [[ $depends == *"$dep"* ]] || fail "Depends lacks $dep: $depends"
done

# Unpacked, it validates and runs.
root=$work/root
dpkg -x "$deb" "$root" || fail "dpkg -x could not unpack the package"
desktop-file-validate "$root/usr/share/applications/sekato.desktop" ||
  fail "the desktop entry does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.sekato.metainfo.xml" \
  >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log" >&2; fail "the metainfo does not validate"; }
grep -q "version=\"$version\"" "$root/usr/share/metainfo/org.example.sekato.metainfo.xml" ||
  fail "the metainfo does not name version $version"
for page in sekato sekato-cli; do
  gzip -dc "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH .* \"sekato $version\"" ||
    fail "manual page $page(1) lacks its header with version $version"
done
bash -n "$root/usr/share/bash-completion/completions/sekato-cli" ||
  fail "the bash completion is not valid bash"

cli=$root/usr/bin/sekato-cli
[[ $("$cli" --version) == "sekato-cli $version" ]] || fail "sekato-cli --version says '$("$cli" --version)'"
cp "$novel" "$work/novel.txt"
"$cli" -q -k "第 回" --title-max 30 -o "$work/pieces" "$work/novel.txt" ||
  fail "the unpacked sekato-cli could not split the sample novel"
pieces=$(find "$work/pieces" -name '*.txt' | wc -l)
[[ $pieces == 121 ]] || fail "the split gave $pieces pieces, not 121"
echo "package ok: $(basename "$deb"), $(stat -c %s "$deb") bytes, $(wc -l <"$work/files") files"
