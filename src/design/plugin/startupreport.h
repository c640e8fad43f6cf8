#pragma once
// With VORGRD_DESIGNER_REPORT set in the environment, the plugin reports on standard
// error, once Designer's widget box holds it, under which group it lists tvorgrid:
//   vorgrd: Designer lists tvorgrid in "Additional"
// The install test starts Designer under Xvfb and waits for that line; nothing is
// reported (and nothing runs) without the variable.

class QDesignerFormEditorInterface;

void reportWidgetBoxWhenReady(QDesignerFormEditorInterface *core);
