// Pixel geometry of the main page, scaled from its dialog layout to the 1918 x 1040
// main window: the antenna side on the left, the marks and controls on the right.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>

namespace vantu::main_page_layout {

inline constexpr QSize kPageSize(1880, 932);

// Left side: antenna module status list (with the message window), the whole-antenna
// grid, and the small summary list below it.
inline constexpr QRect kStatusGroup(8, 4, 1312, 152);
inline constexpr int kStatusListLeft = 16;
inline constexpr int kStatusListTop = 26;
inline constexpr int kStatusListHeight = 122;
// The list's right edge with the message window hidden, and shown.
inline constexpr int kStatusListRightAlone = 1309;
inline constexpr int kStatusListRightBeside = 742;
inline constexpr QRect kMessageWindow(750, 26, 560, 122);
inline constexpr int kStatusListHeaderHeight = 20;
inline constexpr int kStatusListRowHeight = 16;

inline constexpr QRect kAntennaGroup(8, 160, 1312, 708);
inline constexpr int kViewBoxTop = 178;
inline constexpr int kViewBoxWidth = 104;
inline constexpr int kViewBoxHeight = 20;
// The grid takes the size of its cells (1039 x 660) plus its frame.
inline constexpr QPoint kAntennaGridTopLeft(16, 200);
inline constexpr int kAntennaGridWidth = 1039;
// The band labels right of the legend column.
inline constexpr int kLegendLabelGap = 4;
inline constexpr int kLegendLabelWidth = 60;

inline constexpr QRect kSummaryGroup(8, 872, 1312, 56);
inline constexpr QPoint kSummaryListTopLeft(16, 892);
inline constexpr QSize kSummaryListCell(1290, 26);

// Right side.
inline constexpr QRect kHealthGroup(1330, 4, 542, 152);
inline constexpr int kHealthLabelTop = 30;
inline constexpr int kHealthColumnLeft = 1350;
inline constexpr int kHealthColumnStep = 130;
inline constexpr int kLabelWidth = 100;
inline constexpr int kLabelHeight = 24;
inline constexpr int kMarkSize = 56;
inline constexpr int kHealthMarkTop = 62;

inline constexpr QRect kExciterGroup(1330, 160, 542, 332);
inline constexpr QRect kInputPowerGroup(1342, 184, 518, 126);
inline constexpr std::array<int, 2> kInputPowerColumns = {1400, 1640};
inline constexpr int kInputPowerLabelTop = 210;
inline constexpr int kInputPowerMarkTop = 238;
inline constexpr QRect kControlModeGroup(1342, 316, 518, 166);
inline constexpr QRect kEnableLabel(1362, 344, 110, 24);
inline constexpr QRect kEnableCombo(1480, 344, 170, 24);
inline constexpr QRect kAttenuationLabel(1362, 382, 110, 24);
inline constexpr QRect kAttenuationCombo(1480, 382, 170, 24);
inline constexpr QRect kControlModeMark(1690, 350, 48, 48);
inline constexpr QRect kConfirmButton(1700, 430, 140, 34);

inline constexpr QRect kSystemGroup(1330, 496, 542, 432);
inline constexpr QRect kChassisGroup(1342, 520, 518, 112);
inline constexpr QRect kPatternLabel(1362, 550, 110, 26);
inline constexpr QRect kPatternCombo(1362, 586, 340, 28);
inline constexpr QRect kLoadButton(1712, 584, 130, 32);
inline constexpr QRect kRunButton(1362, 656, 160, 44);
inline constexpr QRect kQtrmButton(1532, 656, 150, 44);
inline constexpr QRect kQdxaButton(1692, 656, 150, 44);
inline constexpr QRect kAntNoLabel(1362, 724, 70, 26);
inline constexpr QRect kAntNoEdit(1436, 724, 90, 26);
inline constexpr QRect kSetButton(1532, 722, 90, 30);
inline constexpr QRect kCloseButton(1362, 864, 160, 44);
inline constexpr QRect kMinimiseButton(1532, 864, 160, 44);

// The whole-antenna grid.
inline constexpr int kAntennaRows = 60;
inline constexpr int kAntennaColumns = 115;
inline constexpr int kAntennaRowHeight = 11;
inline constexpr int kAntennaFirstColumnWidth = 220;
inline constexpr int kAntennaElementColumnWidth = 7;
inline constexpr int kAntennaLegendColumnWidth = 28;

}  // namespace vantu::main_page_layout
