#pragma once
// With VORGRD_DESIGNER_REPORT set in the environment, the plugin reports on standard
// error how Designer took it up, so that the install test can check it against the
// real program (Designer started on a form that holds a tvorgrid):
//   vorgrd: Designer lists tvorgrid in "Additional"        (the widget box holds it;
//                                                           its filter then shows it)
//   vorgrd: Designer takes ColumnsJson as no text for translators
//                                                          (the notr mark in
//                                                           domXml() reached Designer)
//   vorgrd: the task menu of grid offers "Edit Columns..." (on the open form's grid)
//   vorgrd: the column editor is open on 4 columns         (after triggering it)
//   vorgrd: after OK the form is modified, ColumnsJson is stored with 5 columns,
//           undo possible                                  (after New and OK)
//   vorgrd: saved the form                                 (with VORGRD_DESIGNER_SAVE=<file>:
//                                                           the form as Designer writes it,
//                                                           and the grid's stream in <file>.json)
// With VORGRD_DESIGNER_REPORT=keep-open the editor stays open (for a screenshot).
// Nothing is reported, and nothing runs, without the variable.

class QDesignerFormEditorInterface;

void reportWidgetBoxWhenReady(QDesignerFormEditorInterface *core);
