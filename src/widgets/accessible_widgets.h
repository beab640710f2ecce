// What the station's own painted widgets tell screen readers and test scripts through
// the desktop's accessibility bus: the group box's title, a health mark's caption and
// state, and every cell of a grid.
#pragma once

#include <QString>

namespace vantu {

enum class MarkState;

// Registers the factory that gives CGroupBox, CHealthMark and CReportCtrl their
// interfaces; once per process, before the first window is shown.
void InstallAccessibleWidgets();

// "healthy", "faulty" or "no data": the words a script matches a mark's state on.
QString MarkStateText(MarkState state);

}  // namespace vantu
