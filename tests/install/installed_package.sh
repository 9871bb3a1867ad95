#!/usr/bin/env bash
# The installed Fonexa, checked from outside the build tree.
#   installed_package.sh STEP
# Steps: install, layout, programs, host, outside-cmake, outside-pkgconfig, deb,
# clean.
# The environment names the places: BUILD_DIR (the build tree), SOURCE_DIR,
# WORK (a scratch folder under the build tree), LIBDIR (the library folder
# below the prefix), the versions, and optional SANITIZER_FLAGS,
# the compiler flags the engine was built with that a program linking it needs
# too.
set -euo pipefail

step=$1
prefix=$WORK/prefix
libdir=$prefix/$LIBDIR

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Nothing of the build tree may help: no search path, no plug-in path, and a
# working folder outside the tree.
isolated() {
  (cd / && env -u LD_LIBRARY_PATH -u FONEXA_PLUGIN_PATH "$@")
}

# Every ELF file under a folder finds its libraries relative to itself only.
check_run_paths() {
  local root=$1 file paths path found=0
  while IFS= read -r -d '' file; do
    head -c 4 "$file" | grep -q 'ELF' || continue
    found=1
    paths=$(readelf -d "$file" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]/\2/p')
    [[ "$paths" == *"$BUILD_DIR"* ]] && fail "$file keeps a path into the build tree: $paths"
    IFS=: read -ra entries <<<"$paths"
    for path in "${entries[@]}"; do
      [[ "$path" == '$ORIGIN'* ]] || fail "$file has a run path that is not relative: $path"
    done
  done < <(find "$root" -type f -print0)
  [ "$found" = 1 ] || fail "no programs or libraries under $root"
}

# fonexa --version and the demo, run from an installed or unpacked tree.
check_programs() {
  local bin=$1 version output
  version=$(isolated "$bin/fonexa" --version)
  [[ "$version" == "fonexa $VERSION_MAJOR_MINOR".* ]] ||
    fail "fonexa --version says '$version', the package is $PACKAGE_VERSION"
  echo "$version"
  output=$(isolated "$bin/fonexa" demo 2>&1) || fail "fonexa demo failed:
$output"
  grep -q "GenericPhone" <<<"$output" || fail "the demo did not run on the built-in modem:
$output"
  echo "demo: $(wc -l <<<"$output") lines"
}

# The example program outside the tree: without a phone, then on the virtual
# modem through the GenericPhone plug-in from the installed folder.
check_outside_program() {
  local program=$1 output
  output=$(isolated "$program")
  echo "$output"
  grep -qx "core $CORE_VERSION" <<<"$output" || fail "the C interface did not answer"
  grep -qx "sdk $CORE_VERSION" <<<"$output" || fail "the SDK did not answer"
  grep -qx "number +420777123456" <<<"$output" || fail "the number was not cleaned"
  output=$(isolated env FONEXA_MUTEX_NAMESPACE="install-$step-$$" \
    "$SOURCE_DIR/scripts/with-virtual-modem.sh" "$prefix/bin/fonexa-modemsim" "$program" 2>&1) ||
    fail "the program did not drive the virtual modem:
$output"
  echo "$output"
  grep -q "^model ." <<<"$output" || fail "no model from the virtual modem"
}

case $step in
  install)
    rm -rf "$WORK"
    mkdir -p "$WORK"
    cmake --install "$BUILD_DIR" --prefix "$prefix" >"$WORK/install.log" || {
      cat "$WORK/install.log"
      fail "cmake --install failed"
    }
    ;;

  layout)
    for file in include/fonexa/FonexaCore.h include/fonexa/Fonexa.h include/fonexa/MxPortProfile.h \
                "${LIBDIR}/tallix/skin/tallix.xml" "${LIBDIR}/tallix/skin/start-phone.png" share/doc/fonexa/README.md \
                "${LIBDIR}/cmake/Fonexa/FonexaConfig.cmake" "${LIBDIR}/cmake/Fonexa/FonexaConfigVersion.cmake" \
                "${LIBDIR}/pkgconfig/fonexa-core.pc" "${LIBDIR}/pkgconfig/fonexa.pc"; do
      [ -f "$prefix/$file" ] || fail "$file is not installed"
    done
    # A man page for every program that has one in the tree.
    for page in "$SOURCE_DIR"/docs/man/*.1; do
      [ -e "$page" ] || continue
      [ -f "$prefix/share/man/man1/$(basename "$page")" ] || fail "$(basename "$page") is not installed"
    done
    # Exactly the programs, the libraries and the modules; no tests, benches,
    # examples or static helpers.
    programs=$(cd "$prefix/bin" && ls | tr '\n' ' ')
    [ "$programs" = "fonexa fonexa-modemsim tallix " ] || fail "bin/ holds: $programs"
    # bin/tallix is a relative link to the host's folder, where its skin is.
    [ "$(readlink "$prefix/bin/tallix")" = "../${LIBDIR}/tallix/tallix" ] ||
      fail "bin/tallix links to '$(readlink "$prefix/bin/tallix")'"
    modules=$(cd "$libdir/fonexa-plugins" && ls | tr '\n' ' ')
    [ "$modules" = "EricssonPhone.so FonexaKeypad.so GenericPhone.so MotorolaPhone.so NokiaPhone.so " ] ||
      fail "the plug-in folder holds: $modules"
    libraries=$(cd "$libdir" && find . -maxdepth 1 -name '*.so*' -o -maxdepth 1 -name '*.a' | sed 's|^\./||' | sort | tr '\n' ' ')
    # The host's own libraries are private to it, in a folder of their own.
    for library in FonexaCore Fonexa tallix/Gui tallix/System; do
      folder=$libdir/$(dirname "$library")
      file=lib$(basename "$library").so
      soname=$(readelf -d "$folder/$file" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
      [ "$soname" = "$file.$VERSION_MAJOR" ] || fail "$file has soname '$soname'"
      [ -f "$folder/$file.$PACKAGE_VERSION" ] || fail "$file.$PACKAGE_VERSION is missing from $folder"
    done
    [ "$libraries" = "libFonexa.so libFonexa.so.$VERSION_MAJOR libFonexa.so.$PACKAGE_VERSION libFonexaCore.so libFonexaCore.so.$VERSION_MAJOR libFonexaCore.so.$PACKAGE_VERSION libPhonePanel.so " ] ||
      fail "the library folder holds: $libraries"
    check_run_paths "$prefix"
    # The loader resolves the SDK from the prefix.
    resolved=$(isolated ldd "$prefix/bin/fonexa" | sed -n 's/.*libFonexa\.so\.[0-9]* => \([^ ]*\).*/\1/p')
    [ "$(realpath "$resolved")" = "$(realpath "$libdir/libFonexa.so.$PACKAGE_VERSION")" ] ||
      fail "bin/fonexa loads libFonexa from '$resolved'"
    ;;

  programs)
    check_programs "$prefix/bin"
    ;;

  host)
    # tallix finds its skin beside itself and opens libPhonePanel.so by bare
    # name through its own run path. Under a sanitizer dlopen is called from
    # the sanitizer's runtime, whose run path is not the program's, so the
    # installed layout cannot be judged there.
    if [ -n "${SANITIZER_FLAGS:-}" ]; then
      echo "skipped: the sanitizer's dlopen does not use the program's run path"
      exit 77
    fi
    runtime=$WORK/runtime
    mkdir -p -m 700 "$runtime"
    log=$libdir/tallix/logs/tallix.txt
    rm -f "$log"
    host_env=(env XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen FONEXA_MUTEX_NAMESPACE="install-host-$$")
    isolated "${host_env[@]}" timeout 120 "$prefix/bin/tallix" -background >"$WORK/tallix.out" 2>&1 &
    host_pid=$!
    for _ in $(seq 300); do
      grep -q "Destroying start screen" "$log" 2>/dev/null && break
      kill -0 "$host_pid" 2>/dev/null || break
      sleep 0.1
    done
    isolated "${host_env[@]}" timeout 20 "$prefix/bin/tallix" -quit || true
    wait "$host_pid" || true
    started=$(tr -d '\r' <"$log" 2>/dev/null || true)
    echo "$started"
    grep -q "Initializing XML and loading file...OK" <<<"$started" || fail "tallix did not read its skin:
$(cat "$WORK/tallix.out")"
    grep -A1 -x "DLL name: libPhonePanel.so" <<<"$started" | grep -qx "DLL loaded into memory" ||
      fail "tallix did not load the phone panel:
$(cat "$WORK/tallix.out")"
    grep -qx "Application loaded" <<<"$started" || fail "the phone panel did not start"
    ;;

  outside-cmake)
    out=$WORK/outside-cmake
    rm -rf "$out"
    cmake -S "$SOURCE_DIR/examples/outside" -B "$out" -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_CXX_FLAGS="${SANITIZER_FLAGS:-}" >"$out.log" 2>&1 || { cat "$out.log"; fail "configure failed"; }
    found=$(sed -n 's/^Fonexa_DIR:PATH=//p' "$out/CMakeCache.txt")
    [ "$(realpath "$found")" = "$(realpath "$libdir/cmake/Fonexa")" ] || fail "find_package took Fonexa from '$found'"
    cmake --build "$out" >>"$out.log" 2>&1 || { cat "$out.log"; fail "build failed"; }
    check_outside_program "$out/phone-model"
    ;;

  outside-pkgconfig)
    out=$WORK/outside-pkgconfig
    rm -rf "$out"
    mkdir -p "$out"
    export PKG_CONFIG_PATH=$libdir/pkgconfig
    got=$(pkg-config --modversion fonexa)
    [ "$got" = "$PACKAGE_VERSION" ] || fail "pkg-config says fonexa $got"
    pc_libdir=$(pkg-config --variable=libdir fonexa)
    [ "$(realpath "$pc_libdir")" = "$(realpath "$libdir")" ] || fail "fonexa.pc names libdir $pc_libdir"
    # shellcheck disable=SC2046,SC2086
    c++ -std=c++20 ${SANITIZER_FLAGS:-} "$SOURCE_DIR/examples/outside/phone_model.cpp" -o "$out/phone-model" \
      $(pkg-config --cflags --libs fonexa) -Wl,-rpath,"$pc_libdir" || fail "the pkg-config build failed"
    check_outside_program "$out/phone-model"
    ;;

  deb)
    out=$WORK/deb
    rm -rf "$out"
    mkdir -p "$out"
    (cd "$BUILD_DIR" && cpack -G DEB -B "$out" >"$WORK/cpack.log" 2>&1) || { cat "$WORK/cpack.log"; fail "cpack failed"; }
    arch=$(dpkg --print-architecture)
    deb=$out/fonexa_${PACKAGE_VERSION}_${arch}.deb
    [ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$out")"
    info=$(dpkg-deb -I "$deb")
    echo "$info"
    field() { sed -n "s/^ $1: //p" <<<"$info"; }
    [ "$(field Package)" = fonexa ] || fail "Package: $(field Package)"
    [ "$(field Version)" = "$PACKAGE_VERSION" ] || fail "Version: $(field Version)"
    [ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
    [ "$(field Section)" = comm ] || fail "Section: $(field Section)"
    [ -n "$(field Maintainer)" ] || fail "no Maintainer"
    [ -n "$(field Description)" ] || fail "no Description"
    depends=$(field Depends)
    for needed in libc6 libstdc++6 libqt6widgets6; do
      [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
    done
    [[ "$depends" != *fonexa* ]] || fail "the package depends on itself: $depends"
    root=$out/root
    dpkg-deb -x "$deb" "$root"
    [ -f "$root/usr/$LIBDIR/fonexa-plugins/GenericPhone.so" ] || fail "the package has no GenericPhone plug-in"
    check_run_paths "$root/usr"
    check_programs "$root/usr/bin"
    ;;

  clean)
    rm -rf "$WORK"
    ;;

  *)
    fail "unknown step $step"
    ;;
esac
