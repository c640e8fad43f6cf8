#!/usr/bin/env bash
# The installed package, as an application programmer meets it:
#   1. `cmake --install` of the build into a temporary prefix, checked for the
#      versioned library, the public headers (and no private ones), the CMake package
#      and the Designer plugin;
#   2. a consumer project configured with find_package(vorgrd) against that prefix:
#      a .ui file with a configured tvorgrid goes through uic, and the program checks
#      that the uic form and QUiLoader with the installed plugin build the same grid;
#   3. Qt Designer itself under Xvfb with the installed plugin on its plugin path,
#      opening that .ui file: the plugin reports that Designer's widget box lists
#      tvorgrid, that the form's grid has the "Edit Columns..." task menu, that
#      triggering it opened the column editor on the grid's four columns, and that
#      after New and OK the form is modified, with the five columns in its stored
#      ColumnsJson and the edit on the undo stack. Designer must print no "not
#      supported yet" for a property of ours;
#   4. the form as Designer then saves it: ColumnsJson marked notr="true", Options
#      written as flags; uic compiles it (no `using namespace`), uic's retranslateUi()
#      does not set the columns, and the grid uic's code builds is the one Designer held.
# Usage: tests/install/run.sh <build dir> [<folder for the documentation screenshots>]
set -euo pipefail
build=$(realpath "$1")
shots=${2:+$(realpath "$2")}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/vorgrd-install.XXXXXX)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() { echo "test-install: FAILED: $*" >&2; exit 1; }
ok() { echo "test-install: ok: $*"; }

echo "== install into $prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
version=$(sed -n 's/^set(VORGRD_VERSION \(.*\))$/\1/p' "$here/../../cmake/version.cmake")
[ -f "$prefix/lib/libvorgrd.so.$version" ] || fail "no lib/libvorgrd.so.$version"
[ "$(readlink "$prefix/lib/libvorgrd.so")" = "libvorgrd.so.${version%%.*}" ] || fail "libvorgrd.so is no link to the soname"
[ -f "$prefix/include/vorgrd/grid/vorGrid.h" ] || fail "no include/vorgrd/grid/vorGrid.h"
[ -f "$prefix/include/vorgrd/host/vorgrdexport.h" ] || fail "no include/vorgrd/host/vorgrdexport.h"
private=$(find "$prefix/include" -name '*_p.h' -o -name '*.cpp' -o -path '*plugin*')
[ -z "$private" ] || fail "private headers installed: $private"
[ -f "$prefix/lib/cmake/vorgrd/vorgrdConfig.cmake" ] || fail "no CMake package"
plugin=$prefix/lib/qt6/plugins/designer/libvorgrd_designer.so
[ -f "$plugin" ] || fail "no Designer plugin at lib/qt6/plugins/designer"
# Only what carries VORGRD_EXPORT is visible: every exported symbol belongs to
# namespace vorgrd, apart from standard-library templates our exported classes use
# and the linker's own markers; std::function<qint64()> (the pick list's clock)
# brings the type information of plain function types.
symbols=$(nm -DC --defined-only "$prefix/lib/libvorgrd.so" | cut -c20-)
grep -q '^vorgrd::tvorgrid::tvorgrid' <<<"$symbols" || fail "tvorgrid is not exported"
foreign=$(grep -v -e 'vorgrd::' -e '^std::' -e '^_edata$' -e '^_end$' -e '^__bss_start$' \
               -e '^_init$' -e '^_fini$' \
               -e '^typeinfo \(name \)\?for [a-z ]* \?(\?\*\?)\?()$' <<<"$symbols" || true)
[ -z "$foreign" ] || fail "symbols outside namespace vorgrd are exported: $(head -5 <<<"$foreign")"
ok "library, headers, package and plugin installed"

echo "== consumer project with find_package(vorgrd)"
cmake -S "$here/consumer" -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/consumer" >/dev/null
export QT_PLUGIN_PATH=$prefix/lib/qt6/plugins
QT_QPA_PLATFORM=offscreen "$work/consumer/consumer"
ok "uic and QUiLoader give the configured grid"

echo "== Qt Designer under Xvfb"
designer=$(command -v designer || true)
[ -n "$designer" ] || designer=/usr/lib/qt6/bin/designer
[ -x "$designer" ] || fail "Qt Designer is not installed (Debian package designer-qt6)"
cat > "$work/designer-run.sh" <<SCRIPT
#!/usr/bin/env bash
set -u
mode=\${1:-check}
export HOME="$work/home" QT_PLUGIN_PATH="$QT_PLUGIN_PATH" VORGRD_DESIGNER_REPORT=\$mode QT_QPA_PLATFORM=xcb
export VORGRD_DESIGNER_SAVE="$work/designer-saved.ui"
mkdir -p "\$HOME"
"$designer" "$work/consumer/gridform.ui" >"$work/designer.log" 2>&1 &
pid=\$!
# Designer reports through the plugin once its widget box lists the grid; it is a
# GUI program starting up, so the wait is bounded, not timed.
for _ in \$(seq 1 300); do
  grep -q -e 'vorgrd: saved the form' -e 'vorgrd: could not save' -e 'vorgrd: no task menu' "$work/designer.log" && break
  [ \$mode = keep-open ] && grep -q 'vorgrd: the column editor is open' "$work/designer.log" && break
  kill -0 \$pid 2>/dev/null || break
  sleep 0.2
done
status=0
grep -q 'vorgrd: Designer lists tvorgrid in "Additional"' "$work/designer.log" || status=1
grep -q 'vorgrd: Designer takes ColumnsJson as no text for translators' "$work/designer.log" || status=1
grep -q 'vorgrd: the task menu of grid offers "Edit Columns..."' "$work/designer.log" || status=1
grep -q 'vorgrd: the column editor is open on 4 columns' "$work/designer.log" || status=1
if [ \$mode = check ]; then
  grep -q 'vorgrd: after OK the form is modified, ColumnsJson is stored with 5 columns, undo possible' \
    "$work/designer.log" || status=1
fi
if [ \$status -eq 0 ] && [ \$mode = keep-open ]; then
  sleep 2 # let the window manager-less screen finish painting for the picture
  "$work/consumer/grabscreen" "$shots/designer.png" 0 0 853 709
fi
kill \$pid 2>/dev/null
wait \$pid 2>/dev/null
exit \$status
SCRIPT
chmod +x "$work/designer-run.sh"
if ! xvfb-run -a -s "-screen 0 1280x800x24" "$work/designer-run.sh" check; then
  cat "$work/designer.log" >&2
  fail "Designer did not list tvorgrid, take ColumnsJson as no text for translators, open the column editor from the grid's task menu, or record the edit"
fi
grep '^vorgrd: ' "$work/designer.log"
if grep -q 'not supported yet' "$work/designer.log"; then
  fail "Designer cannot show properties of ours: $(grep 'not supported yet' "$work/designer.log" | sort -u)"
fi
ok "Designer lists tvorgrid; Edit Columns... edits the form's grid and marks the form modified"

echo "== the form as Designer saved it, through uic"
saved=$work/designer-saved.ui
[ -f "$saved" ] && [ -f "$saved.json" ] || fail "Designer saved no form"
tr -d '\n' <"$saved" | grep -q '<property name="ColumnsJson"> *<string notr="true">' ||
  fail "Designer saved ColumnsJson as a text for translators: $(grep -A1 ColumnsJson "$saved" | head -3)"
grep -q '<set>vorgrd::GridTypes::go' "$saved" || fail "Designer saved no Options flags"
cmake -S "$here/consumer" -B "$work/consumer" -DDESIGNER_FORM="$saved" >/dev/null
cmake --build "$work/consumer" --target designerform >/dev/null || fail "uic's code of Designer's form does not compile"
# The grid edited in Designer; the other one keeps the mark its older form had.
if sed -n '/void retranslateUi/,$p' "$work/consumer/ui_designerform.h" | grep -q 'grid->setColumnsJson'; then
  fail "uic sets the edited grid's ColumnsJson again on every language change"
fi
QT_QPA_PLATFORM=offscreen "$work/consumer/designerform"
ok "Designer's form marks ColumnsJson notr, compiles through uic and builds the grid Designer held"
if [ -n "$shots" ]; then
  xvfb-run -a -s "-screen 0 1280x800x24" "$work/designer-run.sh" keep-open || fail "no Designer screenshot"
fi
if [ -n "$shots" ]; then
  "$work/consumer/editorshot" "$shots/coleditor.png"
  ok "screenshots written to $shots"
fi
echo "test-install: all checks passed"
