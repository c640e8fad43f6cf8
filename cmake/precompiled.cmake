# Precompiled headers: on a 2-core machine most of a source's compile time goes into
# parsing Qt's (and the tests' GoogleTest) headers again and again. Only headers that
# nearly every source of the target includes anyway go in, so no source sees names it
# would not see otherwise in a way that matters, and a change of ours never rebuilds
# the header.
include_guard(GLOBAL)
option(VORGRD_PCH "Precompile the Qt (and GoogleTest) headers" ON)

set(VORGRD_PCH_QT
  <QtCore/QObject> <QtCore/QString> <QtCore/QStringList> <QtCore/QVariant>
  <QtCore/QPointer> <QtCore/QRect> <QtGui/QPainter> <QtGui/QFont> <QtGui/QColor>
  <QtWidgets/QWidget> <QtWidgets/QAbstractScrollArea>
  <vector> <memory> <functional> <algorithm>)

function(vorgrd_precompile target)
  if(VORGRD_PCH)
    target_precompile_headers(${target} PRIVATE ${VORGRD_PCH_QT} ${ARGN})
  endif()
endfunction()
